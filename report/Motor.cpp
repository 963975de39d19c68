#include "report/Motor.h"

#include "platform/Utilidades.h"
#include "platform/ado/Falla.h"
#include "platform/ado/Valores.h"
#include "report/Error.h"
#include "report/Formula.h"

#include <QHash>
#include <QRegularExpression>

#include <map>
#include <optional>
#include <tuple>

namespace reporte {

ParametroDado LeeParametro(const QString& texto) {
    const qsizetype igual = texto.indexOf(u'=');
    if (igual < 0)
        return {texto.trimmed(), QString()};
    const QString resto = texto.mid(igual + 1);
    const qsizetype primera = resto.indexOf(u'\'');
    const qsizetype ultima = resto.lastIndexOf(u'\'');
    return {texto.left(igual).trimmed(), primera >= 0 && ultima > primera
                                             ? resto.mid(primera + 1, ultima - primera - 1)
                                             : resto.trimmed()};
}

namespace {

constexpr double kHolgura = 0.001; // millimetres: rounding, not layout
const QString kTotalPaginas = QStringLiteral("{m}");

bool esMoneda(const QVariant& v) {
    return v.metaType() == QMetaType::fromType<Currency>();
}

bool esNulo(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

bool esNumero(const QVariant& v) {
    return ado::EsEntero(v) || v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float ||
           esMoneda(v);
}

Currency moneda(const QVariant& v) {
    if (esNulo(v))
        return {};
    if (esMoneda(v))
        return v.value<Currency>();
    try {
        return Utilidades::ANumero(v);
    } catch (const ado::Falla&) {
        return {};
    }
}

// The rows of one source, with its calculated fields as further columns.
struct Conjunto {
    QString fuente;
    QStringList columnas;
    QHash<QString, int> indice; // upper-cased
    QList<QVariantList> filas;

    int columna(const QString& nombre) const { return indice.value(nombre.toUpper(), -1); }
    void agrega(const QString& nombre) {
        indice.insert(nombre.toUpper(), static_cast<int>(columnas.size()));
        columnas << nombre;
    }
};

// Where an element is evaluated: a row of the main source, and inside a list a
// row of the list's source.
struct Contexto {
    int fila = -1;
    const Conjunto* lista = nullptr;
    int filaLista = -1;
};

class Maquetador {
public:
    Maquetador(const Definicion& d, FuenteDatos& datos, const Formateador& formato,
               const QDateTime& momento, QHash<QString, QString> parametros, Seleccion seleccion)
        : d_(d), datos_(datos), formato_(formato), momento_(momento),
          parametros_(std::move(parametros)), seleccion_(std::move(seleccion)) {}

    Documento genera() {
        const Fuente& principal = d_.principal();
        principal_ = consulta(principal, Contexto{});
        for (const Grupo& g : d_.grupos)
            if (principal_.columna(g.campo) < 0)
                fallaEn(g.linea,
                        QStringLiteral("el grupo \"") + g.nombre +
                            QStringLiteral("\" agrupa por un campo que la fuente no tiene: ") +
                            g.campo);

        doc_.titulo = d_.titulo;
        doc_.tamano = d_.tamano;
        doc_.horizontal = d_.horizontal;
        doc_.papel = d_.papel();
        double altoPie = 0;
        for (const Parte& p : d_.piePagina)
            altoPie += p.banda.alto;
        limite_ = doc_.papel.height() - d_.margenes.bottom() - altoPie;

        actual_ = principal_.filas.isEmpty() ? -1 : 0;
        nuevaPagina();
        colocaSeccion(d_.encabezadoReporte, Contexto{principal_.filas.isEmpty() ? -1 : 0});
        if (principal_.filas.isEmpty()) {
            if (d_.sinDatos.isEmpty())
                coloca(bandaSinDatos(), Contexto{});
            else
                colocaSeccion(d_.sinDatos, Contexto{});
        } else {
            procesa(0, 0, static_cast<int>(principal_.filas.size()));
        }
        colocaSeccion(d_.pieReporte, Contexto{principal_.filas.isEmpty()
                                                  ? -1
                                                  : static_cast<int>(principal_.filas.size()) - 1});
        cierraPagina();

        const QString m = QString::number(doc_.paginas.size());
        for (const auto& [pagina, item] : std::as_const(conTotalPaginas_)) {
            Item& i = doc_.paginas[pagina].items[item];
            i.texto.replace(kTotalPaginas, m);
        }
        return std::move(doc_);
    }

private:
    [[noreturn]] void fallaEn(int linea, const QString& detalle) const {
        throw Error(Error::Tipo::Formato, QStringLiteral("Error en el reporte ") + d_.ruta +
                                              QStringLiteral(", línea ") + QString::number(linea) +
                                              QStringLiteral(": ") + detalle);
    }

    // ------------------------------------------------------------------- data
    QVariant valorDeFila(const Conjunto& c, int fila, int columna) const {
        if (fila < 0 || fila >= c.filas.size())
            return {};
        return c.filas[fila].value(columna);
    }

    // The SQL of a source with its placeholders made bound values: {seleccion}
    // (main source), {?parámetro}, and {Fuente.Campo} of the main row in course.
    std::pair<QString, QVariantList> preparaSql(const Fuente& f, const Contexto& ctx) const {
        QString sql;
        QVariantList valores;
        const QString& t = f.sql;
        for (qsizetype i = 0; i < t.size(); ++i) {
            const QChar c = t[i];
            if (c == u'\'') { // a literal goes through untouched
                const qsizetype desde = i;
                for (++i; i < t.size(); ++i)
                    if (t[i] == u'\'') {
                        if (i + 1 < t.size() && t[i + 1] == u'\'')
                            ++i;
                        else
                            break;
                    }
                sql += t.mid(desde, i - desde + 1);
                continue;
            }
            if (c != u'{') {
                sql += c;
                continue;
            }
            const qsizetype cierre = t.indexOf(u'}', i);
            if (cierre < 0)
                fallaEn(f.linea, QStringLiteral("falta \"}\" en el SQL de la fuente ") + f.nombre);
            const QString ref = t.mid(i + 1, cierre - i - 1).trimmed();
            i = cierre;
            if (ref.compare(u"seleccion", Qt::CaseInsensitive) == 0 && f.principal) {
                sql += u'(' + seleccion_.where + u')';
                valores += seleccion_.valores;
            } else if (ref.startsWith(u'?')) {
                sql += u'?';
                valores << parametros_.value(ref.mid(1).trimmed().toLower());
            } else if (const qsizetype punto = ref.indexOf(u'.');
                       !f.principal && punto > 0 &&
                       ref.left(punto).trimmed().compare(d_.principal().nombre,
                                                         Qt::CaseInsensitive) == 0) {
                const int col = principal_.columna(ref.mid(punto + 1).trimmed());
                if (col < 0)
                    fallaEn(f.linea, QStringLiteral("la fuente ") + d_.principal().nombre +
                                         QStringLiteral(" no tiene el campo de {") + ref + u'}');
                QVariant v = valorDeFila(principal_, ctx.fila, col);
                // Bound values are numbers or texts; dates go as the database stores them.
                if (v.typeId() == QMetaType::QDateTime)
                    v = ado::TextoFechaIso(v.toDateTime());
                else if (v.typeId() == QMetaType::QDate)
                    v = ado::TextoFechaIso(v.toDate().startOfDay());
                valores << v;
                sql += u'?';
            } else {
                fallaEn(f.linea, QStringLiteral("referencia desconocida {") + ref +
                                     QStringLiteral("} en el SQL de la fuente ") + f.nombre);
            }
        }
        return {sql, valores};
    }

    Conjunto consulta(const Fuente& f, const Contexto& ctx) {
        const auto [sql, valores] = preparaSql(f, ctx);
        Tabla t = datos_.Consulta(sql, valores);
        Conjunto c;
        c.fuente = f.nombre;
        for (const QString& col : std::as_const(t.columnas))
            c.agrega(col);
        c.filas = std::move(t.filas);
        calcula(f, c);
        return c;
    }

    void calcula(const Fuente& f, Conjunto& c) const {
        for (const Calculado& calc : d_.calculados) {
            const bool propio = calc.fuente.isEmpty()
                                    ? f.principal
                                    : calc.fuente.compare(f.nombre, Qt::CaseInsensitive) == 0;
            if (!propio)
                continue;
            QList<int> columnas;
            for (const QString& campo : calc.expresion->Campos()) {
                QString nombre = campo;
                if (const qsizetype punto = campo.indexOf(u'.'); punto > 0) {
                    if (campo.left(punto).trimmed().compare(f.nombre, Qt::CaseInsensitive) != 0)
                        fallaEn(calc.linea, QStringLiteral("el campo calculado \"") + calc.nombre +
                                                QStringLiteral("\" sólo lee campos de ") +
                                                f.nombre);
                    nombre = campo.mid(punto + 1).trimmed();
                }
                if (c.columna(nombre) < 0)
                    fallaEn(calc.linea, QStringLiteral("el campo calculado \"") + calc.nombre +
                                            QStringLiteral("\" lee \"") + campo +
                                            QStringLiteral("\", que la fuente ") + f.nombre +
                                            QStringLiteral(" no tiene"));
            }
            if (c.columna(calc.nombre) >= 0)
                fallaEn(calc.linea, QStringLiteral("el campo calculado \"") + calc.nombre +
                                        QStringLiteral("\" ya es un campo de ") + f.nombre);
            for (QVariantList& fila : c.filas) {
                const auto lee = [&](const QString& nombre, bool parametro) {
                    if (parametro)
                        return moneda(parametros_.value(nombre.toLower()));
                    const qsizetype punto = nombre.indexOf(u'.');
                    const QString n = punto > 0 ? nombre.mid(punto + 1).trimmed() : nombre;
                    return moneda(fila.value(c.columna(n)));
                };
                try {
                    fila << QVariant::fromValue(calc.expresion->Evalua(lee));
                } catch (const ado::Falla& falla) {
                    fallaEn(calc.linea, QStringLiteral("el campo calculado \"") + calc.nombre +
                                            QStringLiteral("\": ") + falla.Description);
                }
            }
            c.agrega(calc.nombre);
        }
    }

    const Conjunto& secundaria(const QString& nombre, const Contexto& ctx) {
        const Fuente* f = d_.fuente(nombre);
        const auto [sql, valores] = preparaSql(*f, ctx);
        QString clave = f->nombre.toUpper();
        for (const QVariant& v : valores)
            clave += u'\x1f' + (esNulo(v) ? QStringLiteral("\x1e") : v.toString());
        auto i = secundarias_.find(clave);
        if (i == secundarias_.end())
            i = secundarias_.emplace(clave, consulta(*f, ctx)).first;
        return i->second;
    }

    // A field in the context: "Campo" from the list's row, else the main row;
    // "Fuente.Campo" from that source's row.
    QVariant campo(const QString& nombre, const Contexto& ctx, int linea) const {
        const qsizetype punto = nombre.indexOf(u'.');
        if (punto > 0) {
            const QString fuente = nombre.left(punto).trimmed();
            const QString n = nombre.mid(punto + 1).trimmed();
            if (ctx.lista && ctx.lista->fuente.compare(fuente, Qt::CaseInsensitive) == 0)
                return deConjunto(*ctx.lista, ctx.filaLista, n, linea);
            if (principal_.fuente.compare(fuente, Qt::CaseInsensitive) == 0)
                return deConjunto(principal_, ctx.fila, n, linea);
            fallaEn(linea, QStringLiteral("la fuente ") + fuente +
                               QStringLiteral(" no está a mano aquí para el campo ") + nombre);
        }
        if (ctx.lista && ctx.lista->columna(nombre) >= 0)
            return valorDeFila(*ctx.lista, ctx.filaLista, ctx.lista->columna(nombre));
        return deConjunto(principal_, ctx.fila, nombre, linea);
    }

    QVariant deConjunto(const Conjunto& c, int fila, const QString& nombre, int linea) const {
        const int col = c.columna(nombre);
        if (col < 0)
            fallaEn(linea, QStringLiteral("el campo \"") + nombre +
                               QStringLiteral("\" no está en la fuente ") + c.fuente);
        return valorDeFila(c, fila, col);
    }

    bool vacio(const QVariant& v) const {
        return esNulo(v) || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty());
    }

    bool suprimida(const Banda& b, const Contexto& ctx) const {
        return !b.suprimirSiVacio.isEmpty() && vacio(campo(b.suprimirSiVacio, ctx, b.linea));
    }

    // A main row counts for totals when some band of the detail prints it.
    bool filaCuenta(int fila) {
        if (const auto i = cuentaFila_.constFind(fila); i != cuentaFila_.cend())
            return *i;
        bool cuenta = d_.detalle.isEmpty();
        for (const Parte& p : d_.detalle)
            cuenta = cuenta || !suprimida(p.banda, Contexto{fila});
        cuentaFila_.insert(fila, cuenta);
        return cuenta;
    }

    QVariant total(const Elemento& e, const Contexto& ctx) {
        const Conjunto* c = &principal_;
        int desde = 0;
        int hasta = static_cast<int>(principal_.filas.size());
        const bool deLista = e.ambito.compare(u"lista", Qt::CaseInsensitive) == 0;
        if (deLista) {
            c = ctx.lista;
            hasta = static_cast<int>(c->filas.size());
        } else if (e.ambito.compare(u"reporte", Qt::CaseInsensitive) != 0) {
            const auto r = rangos_.value(e.ambito.toLower(), {0, 0});
            desde = r.first;
            hasta = r.second;
        }
        const auto clave = std::make_tuple(static_cast<const void*>(&e),
                                           static_cast<const void*>(c), desde, hasta);
        if (const auto i = totales_.find(clave); i != totales_.end())
            return i->second;

        int columna = -1;
        if (!e.campo.isEmpty()) {
            const qsizetype punto = e.campo.indexOf(u'.');
            const QString n = punto > 0 ? e.campo.mid(punto + 1).trimmed() : e.campo;
            columna = c->columna(n);
            if (columna < 0)
                fallaEn(e.linea, QStringLiteral("el campo \"") + e.campo +
                                     QStringLiteral("\" no está en la fuente ") + c->fuente);
        }
        Currency suma;
        std::optional<Currency> minimo, maximo;
        qlonglong cuenta = 0;
        for (int f = desde; f < hasta; ++f) {
            if (!deLista && !filaCuenta(f))
                continue;
            if (columna < 0) {
                ++cuenta;
                continue;
            }
            const QVariant v = c->filas[f].value(columna);
            if (esNulo(v) && e.funcion != Funcion::Suma)
                continue;
            const Currency x = moneda(v);
            ++cuenta;
            suma += x;
            if (!minimo || x < *minimo)
                minimo = x;
            if (!maximo || x > *maximo)
                maximo = x;
        }
        QVariant r;
        switch (e.funcion) {
        case Funcion::Suma:
            r = QVariant::fromValue(suma);
            break;
        case Funcion::Cuenta:
            r = cuenta;
            break;
        case Funcion::Minimo:
            r = minimo ? QVariant::fromValue(*minimo) : QVariant();
            break;
        case Funcion::Maximo:
            r = maximo ? QVariant::fromValue(*maximo) : QVariant();
            break;
        case Funcion::Promedio:
            r = cuenta > 0 ? QVariant::fromValue(
                                 suma / Currency::DesdeEscalado(cuenta * Currency::kEscala))
                           : QVariant();
            break;
        }
        totales_.emplace(clave, r);
        return r;
    }

    // --------------------------------------------------------------- texts
    QString conParametros(QString t) const {
        static const QRegularExpression re(QStringLiteral(R"(\{\?\s*([^}]*?)\s*\})"));
        QString r;
        qsizetype desde = 0;
        auto it = re.globalMatch(t);
        while (it.hasNext()) {
            const auto m = it.next();
            r += t.mid(desde, m.capturedStart() - desde);
            r += parametros_.value(m.captured(1).toLower());
            desde = m.capturedEnd();
        }
        return r + t.mid(desde);
    }

    QString formatea(const QVariant& v, Formato f, bool ceroBlanco) const {
        if (esNulo(v))
            return {};
        const auto fecha = [&](bool conHora) -> QString {
            QDateTime momento;
            if (v.typeId() == QMetaType::QDateTime)
                momento = v.toDateTime();
            else if (v.typeId() == QMetaType::QDate)
                momento = v.toDate().startOfDay();
            else if (const auto leida = ado::InterpretaFecha(v.toString().trimmed()))
                momento = *leida;
            else
                return v.toString();
            return conHora ? formato_.FechaHora(momento) : formato_.Fecha(momento.date());
        };
        const bool numerico = f == Formato::Moneda || f == Formato::Cantidad ||
                              f == Formato::Entero ||
                              ((f == Formato::Auto || f == Formato::Texto) && esNumero(v));
        if (numerico && ceroBlanco && moneda(v) == Currency())
            return {};
        switch (f) {
        case Formato::Moneda:
            return formato_.Moneda(moneda(v));
        case Formato::Cantidad:
            return formato_.Cantidad(moneda(v));
        case Formato::Entero:
            return formato_.Entero(moneda(v));
        case Formato::Fecha:
            return fecha(false);
        case Formato::FechaHora:
            return fecha(true);
        case Formato::Auto:
        case Formato::Texto:
            break;
        }
        if (esNumero(v))
            return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float || esMoneda(v)
                       ? formato_.Cantidad(moneda(v))
                       : QString::number(v.toLongLong());
        if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate)
            return fecha(v.typeId() == QMetaType::QDateTime &&
                         v.toDateTime().time() != QTime(0, 0));
        return v.toString();
    }

    // ---------------------------------------------------------------- pages
    void nuevaPagina() {
        if (!doc_.paginas.isEmpty())
            cierraPagina();
        doc_.paginas.append(Pagina{});
        y_ = d_.margenes.top();
        cuerpoEnPagina_ = false;
        const Contexto ctx{actual_};
        for (const Parte& p : d_.encabezadoPagina)
            colocaSinCorte(p.banda, ctx);
        for (const Grupo* grupo : std::as_const(repetidos_))
            for (const Parte& p : grupo->encabezado)
                if (!p.esLista && p.banda.repetir)
                    colocaSinCorte(p.banda, Contexto{actual_});
    }

    void cierraPagina() {
        double y = limite_;
        const Contexto ctx{ultima_ >= 0 ? ultima_ : actual_};
        for (const Parte& p : d_.piePagina) {
            if (!suprimida(p.banda, ctx))
                emite(p.banda, ctx, y);
            y += p.banda.alto;
        }
    }

    void colocaSinCorte(const Banda& b, const Contexto& ctx) {
        if (!b.presente || suprimida(b, ctx))
            return;
        emite(b, ctx, y_);
        y_ += b.alto;
    }

    void coloca(const Banda& b, const Contexto& ctx) {
        if (!b.presente || suprimida(b, ctx))
            return;
        if (cuerpoEnPagina_ && y_ + b.alto > limite_ + kHolgura)
            nuevaPagina();
        emite(b, ctx, y_);
        y_ += b.alto;
        cuerpoEnPagina_ = true;
        if (ctx.fila >= 0)
            ultima_ = ctx.fila;
    }

    void colocaSeccion(const Seccion& s, const Contexto& ctx) {
        for (const Parte& p : s)
            if (p.esLista)
                colocaLista(p.lista, ctx);
            else
                coloca(p.banda, ctx);
    }

    void colocaLista(const Lista& l, const Contexto& ctx) {
        const Conjunto& c = secundaria(l.fuente, ctx);
        Contexto lc = ctx;
        lc.lista = &c;
        coloca(l.encabezado, lc);
        if (c.filas.isEmpty())
            coloca(l.vacia, lc);
        for (int f = 0; f < c.filas.size(); ++f) {
            lc.filaLista = f;
            coloca(l.fila, lc);
        }
        coloca(l.pie, lc);
    }

    void procesa(int nivel, int desde, int hasta) {
        if (nivel == d_.grupos.size()) {
            for (int f = desde; f < hasta; ++f) {
                actual_ = f;
                colocaSeccion(d_.detalle, Contexto{f});
            }
            return;
        }
        const Grupo& g = d_.grupos[nivel];
        const int col = principal_.columna(g.campo);
        const auto clave = [&](int f) {
            const QVariant v = principal_.filas[f].value(col);
            return esNulo(v) ? QString() : v.toString();
        };
        for (int a = desde; a < hasta;) {
            int b = a + 1;
            while (b < hasta && clave(b) == clave(a))
                ++b;
            actual_ = a;
            rangos_.insert(g.nombre.toLower(), {a, b});
            if (g.saltoPagina && cuerpoEnPagina_)
                nuevaPagina();
            colocaSeccion(g.encabezado, Contexto{a});
            repetidos_.append(&g);
            procesa(nivel + 1, a, b);
            actual_ = b - 1;
            // The footer is still the group's: a page it spills onto gets the titles too,
            // or its totals would stand under no column heading.
            colocaSeccion(g.pie, Contexto{b - 1});
            repetidos_.removeLast();
            rangos_.remove(g.nombre.toLower());
            a = b;
        }
    }

    Banda bandaSinDatos() const {
        Banda b;
        b.presente = true;
        b.alto = 8;
        Elemento e;
        e.tipo = Elemento::Tipo::Texto;
        e.letra = d_.letra;
        e.rect = QRectF(0, 0, doc_.papel.width() - d_.margenes.left() - d_.margenes.right(), 6);
        e.texto = QStringLiteral("Sin datos para la selección");
        b.elementos << e;
        return b;
    }

    void emite(const Banda& b, const Contexto& ctx, double arriba) {
        Pagina& pagina = doc_.paginas.last();
        const QPointF origen(d_.margenes.left(), arriba);
        for (const Elemento& e : b.elementos) {
            Item i;
            i.rect = e.rect.translated(origen);
            i.letra = e.letra;
            i.alineacion = e.alineacion;
            i.multilinea = e.multilinea;
            i.grosor = e.grosor;
            i.nombre = e.nombre;
            using T = Elemento::Tipo;
            switch (e.tipo) {
            case T::Texto:
                i.texto = conParametros(e.texto);
                break;
            case T::Campo:
                i.valor = campo(e.campo, ctx, e.linea);
                i.texto = formatea(i.valor, e.formato, e.ceroBlanco);
                break;
            case T::Total:
                i.valor = total(e, ctx);
                i.texto = formatea(i.valor, e.formato, e.ceroBlanco);
                break;
            case T::NumeroPagina:
                i.texto = QString(e.texto).replace(QStringLiteral("{n}"),
                                                   QString::number(doc_.paginas.size()));
                if (i.texto.contains(kTotalPaginas))
                    conTotalPaginas_.append({static_cast<int>(doc_.paginas.size()) - 1,
                                             static_cast<int>(pagina.items.size())});
                break;
            case T::FechaImpresion:
                i.texto = QString(e.texto).replace(QStringLiteral("{fecha}"),
                                                   formato_.FechaHora(momento_));
                break;
            case T::Linea:
                i.tipo = Item::Tipo::Linea;
                break;
            case T::Caja:
                i.tipo = Item::Tipo::Caja;
                break;
            case T::Imagen:
                i.tipo = Item::Tipo::Imagen;
                i.imagen = e.imagen;
                break;
            }
            pagina.items.append(std::move(i));
        }
    }

    const Definicion& d_;
    FuenteDatos& datos_;
    const Formateador& formato_;
    QDateTime momento_;
    QHash<QString, QString> parametros_; // lower-cased names
    Seleccion seleccion_;

    Conjunto principal_;
    std::map<QString, Conjunto> secundarias_;
    std::map<std::tuple<const void*, const void*, int, int>, QVariant> totales_;
    QHash<int, bool> cuentaFila_;
    QHash<QString, std::pair<int, int>> rangos_; // groups in course
    QList<const Grupo*> repetidos_;              // groups in course, outermost first
    QList<std::pair<int, int>> conTotalPaginas_; // page, item

    Documento doc_;
    double y_ = 0;
    double limite_ = 0;
    bool cuerpoEnPagina_ = false;
    int actual_ = -1; // main row in course, for page headers
    int ultima_ = -1; // last main row placed, for page footers
};

} // namespace

Motor::Motor(FuenteDatos& datos, const Formateador& formato, std::function<QDateTime()> reloj)
    : datos_(datos), formato_(formato),
      reloj_(reloj ? std::move(reloj) : [] { return QDateTime::currentDateTime(); }) {}

Documento Motor::Genera(const Definicion& definicion, const QString& formula,
                        const QStringList& parametros) {
    QHash<QString, QString> valores;
    for (const Parametro& p : definicion.parametros)
        valores.insert(p.nombre.toLower(), p.defecto);
    for (const QString& texto : parametros) {
        const ParametroDado p = LeeParametro(texto);
        if (valores.contains(p.nombre.toLower()))
            valores.insert(p.nombre.toLower(), p.valor);
    }
    // The formula is refused here, before the first statement.
    Seleccion seleccion = TraduceFormula(formula, definicion);
    return Maquetador(definicion, datos_, formato_, reloj_(), std::move(valores),
                      std::move(seleccion))
        .genera();
}

} // namespace reporte
