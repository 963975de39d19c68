#include "sheet/AsientoReparto.h"

#include "platform/Utilidades.h"
#include "sheet/Reparto.h"

QList<LineaAsiento> LineasAsiento(const Reparto& r) {
    QList<LineaAsiento> lineas;
    const auto linea = [&](const QString& campoImporte, const QString& campoCuenta,
                           const QString& descripcion, bool debe) {
        const Currency importe = r.Importe(campoImporte);
        const QString cuenta = r.Campo(campoCuenta);
        if (cuenta.trimmed().isEmpty() || importe <= Currency())
            return;
        lineas.append({static_cast<qint16>(lineas.size() + 1), Utilidades::ANumero(cuenta).texto(),
                       descripcion, debe, importe});
    };
    for (int i = 1; i <= 4; ++i)
        linea(QStringLiteral("Gasto%1").arg(i), QStringLiteral("CuentaG%1").arg(i),
              r.CuentaEtiqueta[i - 1], true);
    linea(QStringLiteral("GastoMP"), QStringLiteral("CuentaMP"), r.CuentaEtiqueta[4], false);
    return lineas;
}

QString AsientoPrevio::Leyenda() const {
    if (!registra)
        return motivo;
    QString t = numero > 0 ? QStringLiteral("Asiento N° %1 del %2").arg(numero).arg(fecha)
                           : QStringLiteral("Asiento del %1 (se numera al grabar)").arg(fecha);
    if (!detalle.isEmpty())
        t += QStringLiteral(" - ") + detalle;
    return t;
}

namespace {
enum Columna { Cuenta, Descripcion, Debe, Haber, Columnas };
}

ModeloAsiento::ModeloAsiento(QList<LineaAsiento> lineas, Formato formato, QObject* padre)
    : QAbstractTableModel(padre), lineas_(std::move(lineas)), formato_(std::move(formato)) {
    for (const LineaAsiento& l : lineas_)
        (l.debe ? debe_ : haber_) += l.importe;
}

int ModeloAsiento::rowCount(const QModelIndex& padre) const {
    // The last row holds the totals.
    return padre.isValid() ? 0 : static_cast<int>(lineas_.size()) + 1;
}

int ModeloAsiento::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : Columnas;
}

QVariant ModeloAsiento::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || indice.row() >= rowCount())
        return {};
    const int c = indice.column();
    if (rol == Qt::TextAlignmentRole)
        return c >= Debe ? int(Qt::AlignRight | Qt::AlignVCenter)
                         : int(Qt::AlignLeft | Qt::AlignVCenter);
    if (rol != Qt::DisplayRole)
        return {};
    if (indice.row() == lineas_.size()) {
        switch (c) {
        case Descripcion:
            return QStringLiteral("Totales");
        case Debe:
            return formato_(debe_);
        case Haber:
            return formato_(haber_);
        default:
            return QString();
        }
    }
    const LineaAsiento& l = lineas_[indice.row()];
    switch (c) {
    case Cuenta:
        return l.cuenta;
    case Descripcion:
        return l.descripcion;
    case Debe:
        return l.debe ? formato_(l.importe) : QString();
    case Haber:
        return l.debe ? QString() : formato_(l.importe);
    default:
        return {};
    }
}

QVariant ModeloAsiento::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (orientacion != Qt::Horizontal || rol != Qt::DisplayRole)
        return QAbstractTableModel::headerData(seccion, orientacion, rol);
    switch (seccion) {
    case Cuenta:
        return QStringLiteral("Cuenta");
    case Descripcion:
        return QStringLiteral("Descripción");
    case Debe:
        return QStringLiteral("Debe");
    case Haber:
        return QStringLiteral("Haber");
    default:
        return {};
    }
}
