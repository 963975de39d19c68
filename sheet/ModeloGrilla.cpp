#include "sheet/ModeloGrilla.h"

#include <QColor>
#include <QStringList>

#include <algorithm>

ModeloGrilla::ModeloGrilla(QObject* padre) : QAbstractTableModel(padre) {}

int ModeloGrilla::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : filas();
}

int ModeloGrilla::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : kColumnas;
}

QVariant ModeloGrilla::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || indice.row() >= filas())
        return {};
    switch (rol) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return filas_[static_cast<size_t>(indice.row())][static_cast<size_t>(indice.column())];
    case Qt::ForegroundRole:
    case Qt::ToolTipRole: {
        // A line's warning, in red; otherwise the whole product, however narrow its column.
        const QString a = aviso(indice.row());
        if (rol == Qt::ForegroundRole)
            return a.isEmpty() ? QVariant() : QVariant(QColor(Qt::red));
        if (!a.isEmpty())
            return a;
        return indice.column() == 0 ? data(indice, Qt::DisplayRole) : QVariant();
    }
    case Qt::TextAlignmentRole:
        // The product reads from the left; quantities line up on their units.
        return indice.column() == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                    : int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags ModeloGrilla::flags(const QModelIndex& indice) const {
    if (!indice.isValid())
        return Qt::NoItemFlags;
    // The product column is the grid's fixed column: it never becomes current.
    if (indice.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ModeloGrilla::setFilas(int n) {
    n = std::max(n, 0);
    if (avisos_.size() > static_cast<size_t>(n))
        avisos_.resize(static_cast<size_t>(n));
    const int antes = filas();
    if (n == antes)
        return;
    if (lotes_ > 0) {
        filas_.resize(static_cast<size_t>(n));
        return;
    }
    if (n > antes) {
        beginInsertRows({}, antes, n - 1);
        filas_.resize(static_cast<size_t>(n));
        endInsertRows();
    } else {
        beginRemoveRows({}, n, antes - 1);
        filas_.resize(static_cast<size_t>(n));
        endRemoveRows();
    }
}

const QString& ModeloGrilla::texto(int fila, int columna) const {
    static const QString vacio;
    if (fila < 0 || fila >= filas() || columna < 0 || columna >= kColumnas)
        return vacio;
    return filas_[static_cast<size_t>(fila)][static_cast<size_t>(columna)];
}

void ModeloGrilla::setTexto(int fila, int columna, const QString& texto) {
    if (fila < 0 || fila >= filas() || columna < 0 || columna >= kColumnas)
        return;
    QString& celda = filas_[static_cast<size_t>(fila)][static_cast<size_t>(columna)];
    if (celda == texto)
        return;
    celda = texto;
    if (lotes_ == 0) {
        const QModelIndex i = index(fila, columna);
        emit dataChanged(i, i, {Qt::DisplayRole});
    }
}

void ModeloGrilla::limpia() {
    avisos_.clear();
    empiezaLote();
    for (auto& fila : filas_)
        for (auto& celda : fila)
            celda.clear();
    terminaLote();
}

void ModeloGrilla::empiezaLote() {
    if (lotes_++ == 0)
        beginResetModel();
}

void ModeloGrilla::terminaLote() {
    if (lotes_ > 0 && --lotes_ == 0)
        endResetModel();
}

void ModeloGrilla::setAviso(int fila, const QString& aviso, Aviso clase) {
    if (fila < 0 || fila >= filas())
        return;
    if (avisos_.size() < filas_.size())
        avisos_.resize(filas_.size());
    QString& actual = avisos_[static_cast<size_t>(fila)][static_cast<size_t>(clase)];
    // Unchanged, views hear nothing: a view that recomputes warnings on every change
    // then settles.
    if (actual == aviso)
        return;
    actual = aviso;
    if (lotes_ == 0)
        emit dataChanged(index(fila, 0), index(fila, kColumnas - 1));
}

const QString& ModeloGrilla::aviso(int fila, Aviso clase) const {
    static const QString ninguno;
    return fila >= 0 && static_cast<size_t>(fila) < avisos_.size()
               ? avisos_[static_cast<size_t>(fila)][static_cast<size_t>(clase)]
               : ninguno;
}

QString ModeloGrilla::aviso(int fila) const {
    QStringList todos;
    for (Aviso clase : {Aviso::Articulo, Aviso::Cantidades})
        if (const QString& a = aviso(fila, clase); !a.isEmpty())
            todos << a;
    return todos.join(u'\n');
}

int ModeloGrilla::conAviso(Aviso clase) const {
    return static_cast<int>(std::count_if(avisos_.begin(), avisos_.end(), [clase](const auto& a) {
        return !a[static_cast<size_t>(clase)].isEmpty();
    }));
}
