#include "lookup/ModeloConsulta.h"

#include "platform/Texto.h"
#include "platform/Utilidades.h"
#include "platform/gui/Formularios.h"

#include <QCollator>

#include <algorithm>
#include <cmath>

namespace {

bool igual(const QString& a, QStringView b) {
    return QStringView(a).trimmed().compare(b, Qt::CaseInsensitive) == 0;
}

// PRECIO1 .. PRECIO8 gives 1 .. 8; anything else 0.
int numeroDePrecio(const QString& nombre) {
    const QString n = nombre.trimmed();
    if (n.size() != 7 || !n.startsWith(QLatin1String("PRECIO"), Qt::CaseInsensitive))
        return 0;
    const int d = n.at(6).digitValue();
    return d >= 1 && d <= 8 ? d : 0;
}

// What a cell is ordered by: numbers and dates as such, everything else as text.
QVariant claveOrden(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.metaType() == QMetaType::fromType<Currency>())
        return v.value<Currency>().aDouble();
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toDouble();
    case QMetaType::QDate:
        return QDateTime(v.toDate(), QTime(0, 0));
    case QMetaType::QDateTime:
        return v;
    case QMetaType::Bool:
        return v.toBool() ? 1.0 : 0.0;
    default:
        return Formularios::TextoDeValor(v).trimmed();
    }
}

} // namespace

ModeloConsulta::ModeloConsulta(QObject* padre) : QAbstractTableModel(padre) {}

void ModeloConsulta::Vacia() {
    beginResetModel();
    columnas_.clear();
    filas_.clear();
    endResetModel();
}

void ModeloConsulta::Textos(const QString& titulo, const QStringList& filas,
                            const QList<bool>& marcas, bool checkBoxes) {
    beginResetModel();
    columnas_ = {Columna{titulo, titulo, 0}};
    filas_.clear();
    checkBoxes_ = checkBoxes;
    for (qsizetype i = 0; i < filas.size(); ++i) {
        Fila f;
        f.textos << filas[i];
        f.valores << filas[i];
        f.marcada = checkBoxes && i < marcas.size() && marcas[i];
        filas_ << std::move(f);
    }
    endResetModel();
}

QSet<QString> ModeloConsulta::ItemsDefault(const QString& ValoresDefault) {
    QSet<QString> items;
    for (const QString& item : ValoresDefault.split(u','))
        if (const QString t = item.trimmed(); !t.isEmpty())
            items.insert(t.toCaseFolded());
    return items;
}

void ModeloConsulta::Encolumnar(ado::Recordset& rs, const Lectura& l) {
    beginResetModel();
    columnas_.clear();
    filas_.clear();
    checkBoxes_ = l.checkBoxes;
    const bool anchoExtra = l.valoresDefault.compare(QLatin1String("@10")) == 0;
    for (int g = 0; g < rs.FieldCount(); ++g) {
        ado::Field f = rs.Fields(g);
        Columna c;
        c.nombre = f.Name();
        c.titulo = c.nombre;
        c.caracteres = f.DefinedSize();
        if (f.Type() == ado::adCurrency || f.Type() == ado::adNumeric)
            c.caracteres = 12;
        c.caracteres = std::min(c.caracteres, 60);
        if (l.deArticulos) {
            if (const int n = numeroDePrecio(c.nombre); n > 0 && l.nombreClase) {
                // A setting with no row reads as one blank: the column keeps its name.
                const QString nombre = l.nombreClase(n).trimmed();
                if (!nombre.isEmpty())
                    c.titulo = nombre;
            }
        } else if (anchoExtra) {
            c.caracteres += 10;
        }
        columnas_ << c;
    }
    endResetModel();
}

void ModeloConsulta::Leer(ado::Recordset& rs, const Lectura& l) {
    if (rs.Eof())
        return;
    const int columnas = rs.FieldCount();
    // The column whose value, found in valoresDefault, ticks a row; and the two
    // that colour an article row.
    int devuelto = -1;
    int puntoPedido = -1;
    int stock = -1;
    for (int i = 0; i < columnas; ++i) {
        const QString nombre = rs.Fields(i).Name();
        if (l.checkBoxes && devuelto < 0 && !l.campoDevuelto.trimmed().isEmpty() &&
            igual(nombre, QStringView(l.campoDevuelto).trimmed()))
            devuelto = i;
        if (igual(nombre, u"PUNTOPEDIDO"))
            puntoPedido = i;
        else if (igual(nombre, u"Stock"))
            stock = i;
    }
    const bool colorea = l.esArticulos && l.muestraStock && puntoPedido >= 0 && stock >= 0;
    const QLocale local = Utilidades::LocaleOperador();
    const QSet<QString> items = ItemsDefault(l.valoresDefault);

    beginResetModel();
    for (; !rs.Eof(); rs.MoveNext()) {
        Fila fila;
        fila.textos.reserve(columnas);
        fila.valores.reserve(columnas);
        for (int i = 0; i < columnas; ++i) {
            const QVariant v = rs.Fields(i).Value();
            // Codes come back without the blanks that align them.
            fila.textos << Formularios::TextoDeValor(v, local).trimmed();
            fila.valores << v;
        }
        if (devuelto >= 0)
            fila.marcada = items.contains(fila.textos[devuelto].toCaseFolded());
        if (colorea) {
            const int nivel = NivelStock(fila.valores[puntoPedido], fila.valores[stock]);
            fila.color = ColorDeNumero(l.niveles[nivel - 1]);
        }
        filas_ << std::move(fila);
    }
    endResetModel();
}

int ModeloConsulta::NivelStock(const QVariant& puntoPedido, const QVariant& stock) {
    const auto numero = [](const QVariant& v) {
        try {
            return Utilidades::ANumero(Utilidades::SinNulo(v));
        } catch (const ado::Falla&) {
            return Currency();
        }
    };
    const Currency p = numero(puntoPedido);
    const Currency s = numero(stock);
    const Currency cero;
    if (p == cero && s > cero)
        return 1;
    if (p > cero && s > p)
        return 2;
    if (p > cero && s < p)
        return 3;
    return 4;
}

QColor ModeloConsulta::ColorDeNumero(const QVariant& numero) {
    const double d = numero.typeId() == QMetaType::QString
                         ? plataforma::LeeNumero(numero.toString())
                         : numero.toDouble();
    const auto n = static_cast<quint32>(std::clamp(d, 0.0, 16777215.0));
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                  static_cast<int>((n >> 16) & 0xFF));
}

QString ModeloConsulta::Valor(int fila, int columna) const {
    if (fila < 0 || fila >= filas_.size() || columna < 1 || columna > columnas_.size())
        return {};
    return filas_[fila].textos[columna - 1];
}

int ModeloConsulta::IndiceColumna(const QString& nombre) const {
    const QString buscada = nombre.trimmed();
    for (qsizetype i = 0; i < columnas_.size(); ++i)
        if (columnas_[i].titulo.trimmed().compare(buscada, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i + 1);
    return 0;
}

int ModeloConsulta::Busqueda(int Clave, const QString& QueValor) const {
    if (Clave < 0 || Clave >= columnas_.size())
        return 0;
    const QString buscado = QueValor.trimmed();
    for (qsizetype f = 0; f < filas_.size(); ++f)
        if (filas_[f].textos[Clave].startsWith(buscado, Qt::CaseInsensitive))
            return static_cast<int>(f + 1);
    return 0;
}

void ModeloConsulta::OrdenaPorValor(int columna, Qt::SortOrder orden) {
    if (columna < 0 || columna >= columnas_.size())
        return;
    QCollator cotejo(Utilidades::LocaleOperador());
    cotejo.setCaseSensitivity(Qt::CaseInsensitive);
    // Each cell's key once, then the rows by it.
    struct Par {
        QVariant clave;
        qsizetype fila;
    };
    QList<Par> pares;
    pares.reserve(filas_.size());
    for (qsizetype f = 0; f < filas_.size(); ++f)
        pares.append({claveOrden(filas_[f].valores[columna]), f});
    const auto menor = [&](const Par& x, const Par& y) {
        const QVariant& a = x.clave;
        const QVariant& b = y.clave;
        if (a.isNull() || b.isNull())
            return a.isNull() && !b.isNull();
        if (a.typeId() != QMetaType::QString && b.typeId() != QMetaType::QString) {
            const auto o = QVariant::compare(a, b);
            if (o != QPartialOrdering::Unordered)
                return o == QPartialOrdering::Less;
        }
        return cotejo.compare(a.toString(), b.toString()) < 0;
    };
    if (orden == Qt::AscendingOrder)
        std::stable_sort(pares.begin(), pares.end(), menor);
    else
        std::stable_sort(pares.begin(), pares.end(),
                         [&](const Par& x, const Par& y) { return menor(y, x); });
    beginResetModel();
    QList<Fila> ordenadas;
    ordenadas.reserve(filas_.size());
    for (const Par& p : pares)
        ordenadas.append(std::move(filas_[p.fila]));
    filas_ = std::move(ordenadas);
    endResetModel();
}

void ModeloConsulta::setMarcada(int fila, bool marcada) {
    if (fila < 0 || fila >= filas_.size() || filas_[fila].marcada == marcada)
        return;
    filas_[fila].marcada = marcada;
    emit dataChanged(index(fila, 0), index(fila, 0), {Qt::CheckStateRole});
}

void ModeloConsulta::Marcar() {
    for (Fila& f : filas_)
        f.marcada = !f.marcada;
    if (!filas_.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void ModeloConsulta::Destilda() {
    for (Fila& f : filas_)
        f.marcada = false;
    if (!filas_.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

ModeloConsulta::Eleccion
ModeloConsulta::Acepta(int fila, const QString& CampoDevuelto,
                       const std::optional<QStringList>& CmpsDevueltos) const {
    Eleccion e;
    e.campoDevuelto = CampoDevuelto;
    if (checkBoxes_) {
        if (e.campoDevuelto.isEmpty() && !columnas_.isEmpty())
            e.campoDevuelto = columnas_[0].titulo;
        const int columna = IndiceColumna(e.campoDevuelto);
        for (qsizetype f = 0; f < filas_.size(); ++f)
            if (filas_[f].marcada)
                e.valores << Valor(static_cast<int>(f), columna);
        e.acepta = true;
        return e;
    }
    if (fila < 0 || fila >= filas_.size())
        return e;
    if (CmpsDevueltos)
        for (const QString& nombre : *CmpsDevueltos)
            e.valores << Valor(fila, IndiceColumna(nombre));
    if (!CampoDevuelto.trimmed().isEmpty())
        e.valorDevuelto = Valor(fila, IndiceColumna(CampoDevuelto));
    else
        e.valorDevuelto = e.valores.isEmpty() ? QString() : e.valores.last().toString();
    e.acepta = true;
    return e;
}

int ModeloConsulta::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(filas_.size());
}

int ModeloConsulta::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(columnas_.size());
}

QVariant ModeloConsulta::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || indice.row() >= filas_.size() || indice.column() >= columnas_.size())
        return {};
    const Fila& f = filas_[indice.row()];
    switch (rol) {
    case Qt::DisplayRole:
        return f.textos[indice.column()];
    case RolValor:
        return f.valores[indice.column()];
    case Qt::CheckStateRole:
        if (checkBoxes_ && indice.column() == 0)
            return f.marcada ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        return f.color ? QVariant(*f.color) : QVariant();
    default:
        return {};
    }
}

bool ModeloConsulta::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (!checkBoxes_ || rol != Qt::CheckStateRole || indice.column() != 0)
        return false;
    setMarcada(indice.row(), valor.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ModeloConsulta::flags(const QModelIndex& indice) const {
    if (!indice.isValid())
        return Qt::NoItemFlags;
    // The texts are never edited in place.
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkBoxes_ && indice.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ModeloConsulta::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (orientacion != Qt::Horizontal || rol != Qt::DisplayRole || seccion < 0 ||
        seccion >= columnas_.size())
        return {};
    return columnas_[seccion].titulo;
}

// ---------------------------------------------------------------- quantities

int ModeloConsulta::columnaCantidad(int fila) const {
    const int columna = IndiceColumna(QStringLiteral("**Cantidad**"));
    if (columna == 0 || fila < 0 || fila >= filas_.size())
        throw ado::FallaSinElemento(QStringLiteral("**Cantidad**"));
    return columna - 1;
}

void ModeloConsulta::ponCelda(int fila, int columna, const QString& texto, double valor) {
    filas_[fila].textos[columna] = texto;
    filas_[fila].valores[columna] = valor;
    emit dataChanged(index(fila, columna), index(fila, columna), {Qt::DisplayRole, RolValor});
}

QString ModeloConsulta::TextoCantidad(int fila) const {
    return filas_.at(fila).textos.at(columnaCantidad(fila));
}

void ModeloConsulta::SumaCantidad(int fila, int paso) {
    const int c = columnaCantidad(fila);
    const double valor = plataforma::LeeNumero(filas_[fila].textos[c]) + paso;
    if (paso < 0 && valor <= 0) {
        ponCelda(fila, c, QStringLiteral("0.00"), 0);
        setMarcada(fila, false);
        return;
    }
    ponCelda(fila, c, QString::number(valor, 'f', 1), valor);
    if (paso > 0)
        setMarcada(fila, true);
}

bool ModeloConsulta::PonCantidad(int fila, const QString& respuesta) {
    const int c = columnaCantidad(fila);
    const QString t = respuesta.trimmed();
    bool ok = false;
    double valor = t.toDouble(&ok);
    if (!ok)
        valor = Utilidades::LocaleOperador().toDouble(t, &ok);
    if (!ok || valor == 0 || !std::isfinite(valor))
        return false;
    ponCelda(fila, c, QString::number(valor, 'f', 2), valor);
    setMarcada(fila, true);
    return true;
}
