// Reading a report file: XML of our own, checked as it is read so that a fault
// is reported with its line before any statement is sent.

#include "report/Definicion.h"

#include "report/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <functional>

namespace reporte {

namespace {

const QString kFormato = QStringLiteral("hojaruta-reporte");
constexpr int kVersion = 1;

// {?parámetro} in texts, SQL and expressions.
const QRegularExpression& reParametro() {
    static const QRegularExpression re(QStringLiteral(R"(\{\?\s*([^}]*?)\s*\})"));
    return re;
}

class Lector {
public:
    Lector(const QByteArray& contenido, const QString& ruta) : x_(contenido), ruta_(ruta) {}

    Definicion lee() {
        d_.ruta = ruta_;
        raiz();
        valida();
        return std::move(d_);
    }

private:
    // ------------------------------------------------------------------ faults
    [[noreturn]] void falla(const QString& detalle, qint64 linea = -1) const {
        throw Error(Error::Tipo::Formato, QStringLiteral("Error en el reporte ") + ruta_ +
                                              QStringLiteral(", línea ") +
                                              QString::number(linea < 0 ? x_.lineNumber() : linea) +
                                              QStringLiteral(": ") + detalle);
    }
    [[noreturn]] void noEsNuestro() const {
        throw Error(Error::Tipo::Formato, QStringLiteral("El archivo ") + ruta_ +
                                              QStringLiteral(" no es un reporte de este programa"));
    }

    // --------------------------------------------------------------- reading
    // The next child element of the current one; false at its end.
    bool hijo() {
        while (!x_.atEnd()) {
            x_.readNext();
            if (x_.isStartElement())
                return true;
            if (x_.isEndElement())
                return false;
            if (x_.isCharacters() && !x_.isWhitespace())
                falla(QStringLiteral("texto fuera de lugar: \"") + x_.text().toString().trimmed() +
                      u'"');
        }
        if (x_.hasError())
            falla(x_.errorString());
        return false;
    }
    QString nombre() const { return x_.name().toString(); }
    int linea() const { return static_cast<int>(x_.lineNumber()); }
    QString texto() {
        const QString t = x_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (x_.hasError())
            falla(x_.errorString());
        return t;
    }
    void sinHijos() {
        if (hijo())
            falla(QStringLiteral("<") + nombre() + QStringLiteral("> no va aquí"));
    }

    // Attributes of the current element, each read once; unknown ones are faults.
    class Atributos {
    public:
        Atributos(Lector& l) : l_(l), a_(l.x_.attributes()) {}
        ~Atributos() noexcept(false) {
            if (std::uncaught_exceptions() > 0)
                return;
            for (const auto& at : a_)
                if (!usados_.contains(at.name().toString()))
                    l_.falla(QStringLiteral("atributo desconocido \"") + at.name().toString() +
                             QStringLiteral("\" en <") + l_.nombre() + u'>');
        }
        bool hay(const QString& n) const { return a_.hasAttribute(n); }
        QString texto(const QString& n, const QString& defecto = {}) {
            usados_.insert(n);
            return a_.hasAttribute(n) ? a_.value(n).toString() : defecto;
        }
        QString exige(const QString& n) {
            if (!a_.hasAttribute(n) || a_.value(n).trimmed().isEmpty())
                l_.falla(QStringLiteral("falta el atributo \"") + n + QStringLiteral("\" en <") +
                         l_.nombre() + u'>');
            return texto(n).trimmed();
        }
        double numero(const QString& n, double defecto, bool obligatorio = false) {
            if (!a_.hasAttribute(n)) {
                if (obligatorio)
                    exige(n);
                usados_.insert(n);
                return defecto;
            }
            bool ok = false;
            const double v = texto(n).trimmed().toDouble(&ok);
            if (!ok || v < 0)
                l_.falla(QStringLiteral("\"") + n + QStringLiteral("\" debe ser un número: \"") +
                         a_.value(n).toString() + u'"');
            return v;
        }
        bool sino(const QString& n, bool defecto = false) {
            if (!a_.hasAttribute(n)) {
                usados_.insert(n);
                return defecto;
            }
            const QString v = texto(n).trimmed();
            if (v.compare(u"si", Qt::CaseInsensitive) == 0 ||
                v.compare(u"sí", Qt::CaseInsensitive) == 0)
                return true;
            if (v.compare(u"no", Qt::CaseInsensitive) == 0)
                return false;
            l_.falla(QStringLiteral("\"") + n + QStringLiteral("\" debe ser \"si\" o \"no\""));
        }
        template <typename T>
        T opcion(const QString& n, T defecto, const QHash<QString, T>& opciones) {
            if (!a_.hasAttribute(n)) {
                usados_.insert(n);
                return defecto;
            }
            const QString v = texto(n).trimmed().toLower();
            const auto i = opciones.constFind(v);
            if (i == opciones.cend())
                l_.falla(QStringLiteral("valor no válido de \"") + n + QStringLiteral("\": \"") +
                         v + u'"');
            return *i;
        }

    private:
        Lector& l_;
        QXmlStreamAttributes a_;
        QSet<QString> usados_;
    };

    void raiz() {
        bool hayRaiz = false;
        while (!x_.atEnd() && !hayRaiz) {
            x_.readNext();
            hayRaiz = x_.isStartElement();
        }
        if (!hayRaiz || nombre() != u"reporte" ||
            x_.attributes().value(QStringLiteral("formato")).toString() != kFormato)
            noEsNuestro();
        {
            Atributos a(*this);
            a.texto(QStringLiteral("formato"));
            const int version = static_cast<int>(a.numero(QStringLiteral("version"), 0, true));
            if (version != kVersion)
                falla(QStringLiteral("versión ") + QString::number(version) +
                      QStringLiteral(" del formato, este programa lee la ") +
                      QString::number(kVersion));
            d_.titulo = a.texto(QStringLiteral("titulo"));
        }
        while (hijo()) {
            const QString n = nombre();
            if (n == u"pagina")
                pagina();
            else if (n == u"letra")
                letraGeneral();
            else if (n == u"parametro")
                parametro();
            else if (n == u"fuente")
                fuente();
            else if (n == u"calculado")
                calculado();
            else if (n == u"encabezadoReporte")
                d_.encabezadoReporte = seccion(Contexto::reporte());
            else if (n == u"encabezadoPagina")
                d_.encabezadoPagina = seccion(Contexto::pagina());
            else if (n == u"grupo")
                grupo();
            else if (n == u"detalle")
                d_.detalle = seccion(Contexto::detalle(gruposLeidos()));
            else if (n == u"sinDatos")
                d_.sinDatos = seccion(Contexto::reporte());
            else if (n == u"pieReporte")
                d_.pieReporte = seccion(Contexto::reporte());
            else if (n == u"piePagina")
                d_.piePagina = seccion(Contexto::pagina());
            else
                falla(QStringLiteral("elemento desconocido <") + n + u'>');
        }
        if (x_.hasError())
            falla(x_.errorString());
        // Nothing but comments may follow the root.
        while (!x_.atEnd()) {
            x_.readNext();
            if (x_.hasError())
                falla(x_.errorString());
        }
    }

    void pagina() {
        Atributos a(*this);
        const QString tamano = a.texto(QStringLiteral("tamano"), QStringLiteral("A4")).trimmed();
        static const QHash<QString, QPageSize::PageSizeId> kTamanos{
            {QStringLiteral("a3"), QPageSize::A3},
            {QStringLiteral("a4"), QPageSize::A4},
            {QStringLiteral("a5"), QPageSize::A5},
            {QStringLiteral("carta"), QPageSize::Letter},
            {QStringLiteral("oficio"), QPageSize::Legal},
        };
        const auto id = kTamanos.constFind(tamano.toLower());
        if (id != kTamanos.cend()) {
            d_.tamano = QPageSize(*id);
        } else {
            // "ancho x alto" in millimetres
            static const QRegularExpression re(
                QStringLiteral(R"(^(\d+(?:\.\d+)?)\s*x\s*(\d+(?:\.\d+)?)$)"));
            const auto m = re.match(tamano);
            if (!m.hasMatch() || m.captured(1).toDouble() <= 0 || m.captured(2).toDouble() <= 0)
                falla(QStringLiteral("tamaño de página no válido: \"") + tamano + u'"');
            d_.tamano = QPageSize(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                  QPageSize::Millimeter);
        }
        d_.horizontal = a.opcion<bool>(
            QStringLiteral("orientacion"), false,
            {{QStringLiteral("vertical"), false}, {QStringLiteral("horizontal"), true}});
        if (a.hay(QStringLiteral("margenes"))) {
            const QString t = a.texto(QStringLiteral("margenes")).simplified();
            QList<double> m;
            for (const QString& p : t.split(u' ')) {
                bool ok = false;
                m << p.toDouble(&ok);
                if (!ok || m.last() < 0)
                    falla(QStringLiteral("márgenes no válidos: \"") + t + u'"');
            }
            if (m.size() == 1)
                d_.margenes = QMarginsF(m[0], m[0], m[0], m[0]);
            else if (m.size() == 4) // top, right, bottom, left
                d_.margenes = QMarginsF(m[3], m[0], m[1], m[2]);
            else
                falla(QStringLiteral("los márgenes son uno o cuatro números"));
        } else {
            a.texto(QStringLiteral("margenes"));
        }
        sinHijos();
    }

    Letra letra(Atributos& a, const Letra& base) {
        Letra l = base;
        l.familia = a.texto(QStringLiteral("familia"), l.familia);
        l.puntos = a.numero(QStringLiteral("puntos"), l.puntos);
        if (l.puntos <= 0)
            falla(QStringLiteral("\"puntos\" debe ser mayor que cero"));
        l.negrita = a.sino(QStringLiteral("negrita"), l.negrita);
        l.cursiva = a.sino(QStringLiteral("cursiva"), l.cursiva);
        return l;
    }

    void letraGeneral() {
        {
            Atributos a(*this);
            d_.letra = letra(a, d_.letra);
        }
        sinHijos();
    }

    void parametro() {
        Parametro p;
        {
            Atributos a(*this);
            p.nombre = a.exige(QStringLiteral("nombre"));
            p.defecto = a.texto(QStringLiteral("defecto"));
        }
        for (const Parametro& otro : std::as_const(d_.parametros))
            if (otro.nombre.compare(p.nombre, Qt::CaseInsensitive) == 0)
                falla(QStringLiteral("el parámetro \"") + p.nombre +
                      QStringLiteral("\" está repetido"));
        d_.parametros << p;
        sinHijos();
    }

    void fuente() {
        Fuente f;
        f.linea = linea();
        {
            Atributos a(*this);
            f.nombre = a.exige(QStringLiteral("nombre"));
            f.principal = a.sino(QStringLiteral("principal"));
        }
        static const QRegularExpression kNombre(QStringLiteral(R"(^[A-Za-z_][A-Za-z0-9_]*$)"));
        if (!kNombre.match(f.nombre).hasMatch())
            falla(QStringLiteral("nombre de fuente no válido: \"") + f.nombre + u'"');
        if (d_.fuente(f.nombre))
            falla(QStringLiteral("la fuente \"") + f.nombre + QStringLiteral("\" está repetida"));
        while (hijo()) {
            if (nombre() == u"sql") {
                { Atributos a(*this); }
                f.sql = texto().trimmed();
            } else if (nombre() == u"seleccionable") {
                Seleccionable s;
                {
                    Atributos a(*this);
                    s.campo = a.exige(QStringLiteral("campo"));
                    s.columna = a.exige(QStringLiteral("columna"));
                    s.numerico = a.opcion<bool>(
                        QStringLiteral("tipo"), true,
                        {{QStringLiteral("numero"), true}, {QStringLiteral("texto"), false}});
                }
                f.seleccionables << s;
                sinHijos();
            } else {
                falla(QStringLiteral("<") + nombre() + QStringLiteral("> no va en <fuente>"));
            }
        }
        if (f.sql.isEmpty())
            falla(QStringLiteral("la fuente \"") + f.nombre + QStringLiteral("\" no tiene <sql>"),
                  f.linea);
        d_.fuentes << f;
    }

    void calculado() {
        Calculado c;
        c.linea = linea();
        {
            Atributos a(*this);
            c.nombre = a.exige(QStringLiteral("nombre"));
            c.fuente = a.texto(QStringLiteral("fuente")).trimmed();
        }
        c.texto = texto().trimmed();
        QString error;
        c.expresion = Expresion::Compila(c.texto, error);
        if (!c.expresion)
            falla(QStringLiteral("campo calculado \"") + c.nombre + QStringLiteral("\": ") + error,
                  c.linea);
        d_.calculados << c;
    }

    // Where a section stands, for the scopes its totals may take.
    struct Contexto {
        bool soloBandas = false; // page header and footer
        QStringList ambitos;     // scopes a total may name
        QString ambitoPorOmision;
        static Contexto reporte() {
            return {false, {QStringLiteral("reporte")}, QStringLiteral("reporte")};
        }
        static Contexto pagina() {
            return {true, {QStringLiteral("reporte")}, QStringLiteral("reporte")};
        }
        static Contexto detalle(const QStringList& grupos) {
            return {true, QStringList{QStringLiteral("reporte")} + grupos,
                    QStringLiteral("reporte")};
        }
    };
    QStringList gruposLeidos() const {
        QStringList g;
        for (const Grupo& gr : d_.grupos)
            g << gr.nombre;
        return g;
    }

    void grupo() {
        Grupo g;
        g.linea = linea();
        {
            Atributos a(*this);
            g.nombre = a.exige(QStringLiteral("nombre"));
            g.campo = a.exige(QStringLiteral("campo"));
            g.saltoPagina = a.sino(QStringLiteral("saltoPagina"));
        }
        if (g.nombre.compare(u"reporte", Qt::CaseInsensitive) == 0 ||
            g.nombre.compare(u"lista", Qt::CaseInsensitive) == 0 ||
            gruposLeidos().contains(g.nombre, Qt::CaseInsensitive))
            falla(QStringLiteral("nombre de grupo no válido o repetido: \"") + g.nombre + u'"');
        // A group's sections may total over itself and the groups around it.
        Contexto c{false,
                   QStringList{QStringLiteral("reporte")} + gruposLeidos() + QStringList{g.nombre},
                   g.nombre};
        while (hijo()) {
            if (nombre() == u"encabezado")
                g.encabezado = seccion(c);
            else if (nombre() == u"pie")
                g.pie = seccion(c);
            else
                falla(QStringLiteral("<") + nombre() + QStringLiteral("> no va en <grupo>"));
        }
        d_.grupos << g;
    }

    Seccion seccion(const Contexto& c) {
        { Atributos a(*this); }
        Seccion s;
        while (hijo()) {
            Parte p;
            if (nombre() == u"banda") {
                p.banda = banda(c, true);
            } else if (nombre() == u"lista" && !c.soloBandas) {
                p.esLista = true;
                p.lista = lista(c);
            } else {
                falla(QStringLiteral("<") + nombre() + QStringLiteral("> no va aquí"));
            }
            s << p;
        }
        return s;
    }

    Lista lista(const Contexto& c) {
        Lista l;
        l.linea = linea();
        {
            Atributos a(*this);
            l.fuente = a.exige(QStringLiteral("fuente"));
        }
        Contexto dentro = c;
        dentro.ambitos << QStringLiteral("lista");
        dentro.ambitoPorOmision = QStringLiteral("lista");
        while (hijo()) {
            const QString n = nombre();
            Banda* destino = n == u"encabezado" ? &l.encabezado
                             : n == u"fila"     ? &l.fila
                             : n == u"vacia"    ? &l.vacia
                             : n == u"pie"      ? &l.pie
                                                : nullptr;
            if (!destino || destino->presente)
                falla(QStringLiteral("<") + n + QStringLiteral("> no va aquí"));
            *destino = banda(dentro, false);
        }
        if (!l.fila.presente)
            falla(QStringLiteral("la lista no tiene <fila>"), l.linea);
        return l;
    }

    Banda banda(const Contexto& c, bool atributosDeBanda) {
        Banda b;
        b.presente = true;
        b.linea = linea();
        {
            Atributos a(*this);
            b.alto = a.numero(QStringLiteral("alto"), 0, true);
            if (atributosDeBanda) {
                b.suprimirSiVacio = a.texto(QStringLiteral("suprimirSiVacio")).trimmed();
                b.repetir = a.sino(QStringLiteral("repetir"));
            }
        }
        while (hijo())
            b.elementos << elemento(c);
        return b;
    }

    Elemento elemento(const Contexto& c) {
        using T = Elemento::Tipo;
        static const QHash<QString, T> kTipos{
            {QStringLiteral("texto"), T::Texto},
            {QStringLiteral("campo"), T::Campo},
            {QStringLiteral("total"), T::Total},
            {QStringLiteral("numeroPagina"), T::NumeroPagina},
            {QStringLiteral("fechaImpresion"), T::FechaImpresion},
            {QStringLiteral("linea"), T::Linea},
            {QStringLiteral("caja"), T::Caja},
            {QStringLiteral("imagen"), T::Imagen},
        };
        const auto tipo = kTipos.constFind(nombre());
        if (tipo == kTipos.cend())
            falla(QStringLiteral("elemento desconocido <") + nombre() + u'>');
        Elemento e;
        e.tipo = *tipo;
        e.linea = linea();
        bool conTexto = false;
        {
            Atributos a(*this);
            e.nombre = a.texto(QStringLiteral("nombre")).trimmed();
            if (e.tipo == T::Linea) {
                const double x1 = a.numero(QStringLiteral("x1"), 0, true);
                const double y1 = a.numero(QStringLiteral("y1"), 0, true);
                const double x2 = a.numero(QStringLiteral("x2"), 0, true);
                const double y2 = a.numero(QStringLiteral("y2"), 0, true);
                e.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
            } else {
                e.rect = QRectF(a.numero(QStringLiteral("x"), 0, true),
                                a.numero(QStringLiteral("y"), 0, true),
                                a.numero(QStringLiteral("ancho"), 0, true),
                                a.numero(QStringLiteral("alto"), 0, true));
            }
            if (e.tipo == T::Linea || e.tipo == T::Caja) {
                e.grosor = a.numero(QStringLiteral("grosor"), e.grosor);
            } else if (e.tipo == T::Imagen) {
                const QString archivo = a.exige(QStringLiteral("archivo"));
                const QString ruta = QFileInfo(archivo).isAbsolute()
                                         ? archivo
                                         : QFileInfo(ruta_).absoluteDir().filePath(archivo);
                if (!e.imagen.load(ruta))
                    falla(QStringLiteral("no se puede leer la imagen ") + ruta);
            } else {
                e.letra = letra(a, d_.letra);
                e.alineacion =
                    a.opcion<Alineacion>(QStringLiteral("alineacion"), Alineacion::Izquierda,
                                         {{QStringLiteral("izquierda"), Alineacion::Izquierda},
                                          {QStringLiteral("centro"), Alineacion::Centro},
                                          {QStringLiteral("derecha"), Alineacion::Derecha}});
                e.multilinea = a.sino(QStringLiteral("multilinea"));
            }
            if (e.tipo == T::Campo || e.tipo == T::Total) {
                const bool esTotal = e.tipo == T::Total;
                e.campo = esTotal ? a.texto(QStringLiteral("campo")).trimmed()
                                  : a.exige(QStringLiteral("campo"));
                e.formato = a.opcion<Formato>(QStringLiteral("formato"), Formato::Auto,
                                              {{QStringLiteral("texto"), Formato::Texto},
                                               {QStringLiteral("moneda"), Formato::Moneda},
                                               {QStringLiteral("cantidad"), Formato::Cantidad},
                                               {QStringLiteral("entero"), Formato::Entero},
                                               {QStringLiteral("fecha"), Formato::Fecha},
                                               {QStringLiteral("fechahora"), Formato::FechaHora}});
                e.ceroBlanco = a.sino(QStringLiteral("ceroBlanco"));
                if (esTotal) {
                    e.funcion =
                        a.opcion<Funcion>(QStringLiteral("funcion"), Funcion::Suma,
                                          {{QStringLiteral("suma"), Funcion::Suma},
                                           {QStringLiteral("cuenta"), Funcion::Cuenta},
                                           {QStringLiteral("minimo"), Funcion::Minimo},
                                           {QStringLiteral("maximo"), Funcion::Maximo},
                                           {QStringLiteral("promedio"), Funcion::Promedio}});
                    if (e.campo.isEmpty() && e.funcion != Funcion::Cuenta)
                        falla(QStringLiteral("falta el atributo \"campo\" en <total>"));
                    e.ambito = a.texto(QStringLiteral("ambito"), c.ambitoPorOmision).trimmed();
                    if (!c.ambitos.contains(e.ambito, Qt::CaseInsensitive))
                        falla(QStringLiteral("un total aquí no puede sumar sobre \"") + e.ambito +
                              u'"');
                }
            }
            conTexto =
                e.tipo == T::Texto || e.tipo == T::NumeroPagina || e.tipo == T::FechaImpresion;
        }
        if (conTexto) {
            e.texto = texto();
            if (e.texto.isEmpty() && e.tipo == T::NumeroPagina)
                e.texto = QStringLiteral("Página {n} de {m}");
            if (e.texto.isEmpty() && e.tipo == T::FechaImpresion)
                e.texto = QStringLiteral("{fecha}");
        } else {
            sinHijos();
        }
        return e;
    }

    // ----------------------------------------------------------- consistency
    bool parametroDeclarado(const QString& n) const {
        for (const Parametro& p : d_.parametros)
            if (p.nombre.compare(n, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    void parametrosDeclarados(const QString& texto, int linea) const {
        auto it = reParametro().globalMatch(texto);
        while (it.hasNext()) {
            const QString n = it.next().captured(1);
            if (!parametroDeclarado(n))
                falla(QStringLiteral("el parámetro \"") + n +
                          QStringLiteral("\" no está declarado"),
                      linea);
        }
    }

    void valida() {
        const Fuente* principal = nullptr;
        for (const Fuente& f : d_.fuentes) {
            parametrosDeclarados(f.sql, f.linea);
            if (!f.principal)
                continue;
            if (principal)
                falla(QStringLiteral("hay más de una fuente principal"), f.linea);
            principal = &f;
            if (!f.sql.contains(QStringLiteral("{seleccion}"), Qt::CaseInsensitive))
                falla(QStringLiteral("el SQL de la fuente principal no tiene {seleccion}"),
                      f.linea);
        }
        if (!principal)
            falla(QStringLiteral("falta la fuente principal"), 1);
        for (const Fuente& f : d_.fuentes)
            if (!f.principal && !f.seleccionables.isEmpty())
                falla(QStringLiteral("sólo la fuente principal tiene campos seleccionables"),
                      f.linea);
        for (const Calculado& c : d_.calculados) {
            if (!c.fuente.isEmpty() && !d_.fuente(c.fuente))
                falla(QStringLiteral("el campo calculado \"") + c.nombre +
                          QStringLiteral("\" nombra una fuente que no existe: ") + c.fuente,
                      c.linea);
            parametrosDeclarados(c.texto, c.linea);
        }
        const auto revisa = [&](const Seccion& s) {
            for (const Parte& p : s) {
                QList<const Banda*> bandas;
                if (p.esLista) {
                    const Fuente* f = d_.fuente(p.lista.fuente);
                    if (!f || f->principal)
                        falla(QStringLiteral("la lista nombra una fuente que no es secundaria: ") +
                                  p.lista.fuente,
                              p.lista.linea);
                    bandas = {&p.lista.encabezado, &p.lista.fila, &p.lista.vacia, &p.lista.pie};
                } else {
                    bandas = {&p.banda};
                }
                for (const Banda* b : bandas)
                    for (const Elemento& e : b->elementos)
                        if (e.tipo == Elemento::Tipo::Texto)
                            parametrosDeclarados(e.texto, e.linea);
            }
        };
        for (const Seccion* s : {&d_.encabezadoReporte, &d_.encabezadoPagina, &d_.detalle,
                                 &d_.sinDatos, &d_.pieReporte, &d_.piePagina})
            revisa(*s);
        for (const Grupo& g : d_.grupos) {
            revisa(g.encabezado);
            revisa(g.pie);
        }
        const QSizeF papel = d_.papel();
        if (d_.margenes.left() + d_.margenes.right() >= papel.width() ||
            d_.margenes.top() + d_.margenes.bottom() >= papel.height())
            falla(QStringLiteral("los márgenes no dejan lugar en la página"), 1);
    }

    QXmlStreamReader x_;
    QString ruta_;
    Definicion d_;
};

} // namespace

QSizeF Definicion::papel() const {
    const QSizeF s = tamano.size(QPageSize::Millimeter);
    return horizontal ? QSizeF(s.height(), s.width()) : s;
}

const Fuente& Definicion::principal() const {
    for (const Fuente& f : fuentes)
        if (f.principal)
            return f;
    throw Error(Error::Tipo::Formato, QStringLiteral("El reporte ") + ruta +
                                          QStringLiteral(" no tiene fuente principal"));
}

const Fuente* Definicion::fuente(const QString& nombre) const {
    for (const Fuente& f : fuentes)
        if (f.nombre.compare(nombre, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

Definicion LeeDefinicion(const QByteArray& contenido, const QString& ruta) {
    // Anything that does not begin as XML (a report of another engine, say) is not ours.
    QByteArrayView v(contenido);
    if (v.startsWith("\xEF\xBB\xBF"))
        v = v.sliced(3);
    v = v.trimmed();
    if (!v.startsWith('<'))
        throw Error(Error::Tipo::Formato, QStringLiteral("El archivo ") + ruta +
                                              QStringLiteral(" no es un reporte de este programa"));
    return Lector(contenido, ruta).lee();
}

Definicion LeeDefinicion(const QString& ruta) {
    QFile f(ruta);
    if (!f.exists())
        throw Error(Error::Tipo::Archivo,
                    QStringLiteral("No se encuentra el archivo del reporte ") + ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(Error::Tipo::Archivo,
                    QStringLiteral("No se puede leer el archivo del reporte ") + ruta);
    return LeeDefinicion(f.readAll(), ruta);
}

} // namespace reporte
