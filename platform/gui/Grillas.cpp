#include "platform/gui/Grillas.h"

#include "platform/Utilidades.h"
#include "platform/gui/Formularios.h"

#include <QCollator>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Sorts by the values themselves: numbers and dates as such, texts as the operator's
// language orders them regardless of case, nulls first as the database does.
class OrdenPorValor : public QSortFilterProxyModel {
public:
    explicit OrdenPorValor(QObject* padre) : QSortFilterProxyModel(padre) {
        cotejo_.setCaseSensitivity(Qt::CaseInsensitive);
    }

protected:
    bool lessThan(const QModelIndex& izquierda, const QModelIndex& derecha) const override {
        const QVariant a = izquierda.data(ModeloRecordset::RolValor);
        const QVariant b = derecha.data(ModeloRecordset::RolValor);
        if (a.isNull() || b.isNull())
            return a.isNull() && !b.isNull();
        if (a.typeId() != QMetaType::QString || b.typeId() != QMetaType::QString) {
            const auto orden = QVariant::compare(a, b);
            if (orden != QPartialOrdering::Unordered)
                return orden == QPartialOrdering::Less;
        }
        return cotejo_.compare(a.toString(), b.toString()) < 0;
    }

private:
    QCollator cotejo_{Utilidades::LocaleOperador()};
};

} // namespace

ModeloRecordset::ModeloRecordset(ado::Recordset& rs, QObject* padre) : QAbstractTableModel(padre) {
    for (int i = 0; i < rs.FieldCount(); ++i)
        columnas_.append(rs.Fields(i).Name());
    for (; !rs.Eof(); rs.MoveNext()) {
        QVariantList fila;
        fila.reserve(columnas_.size());
        for (int i = 0; i < rs.FieldCount(); ++i)
            fila.append(rs.Fields(i).Value());
        filas_.append(fila);
    }
}

void ModeloRecordset::setFormato(int columna, std::function<QString(const QVariant&)> formato) {
    formatos_.insert(columna, std::move(formato));
    if (!filas_.isEmpty())
        emit dataChanged(index(0, columna), index(rowCount() - 1, columna));
}

int ModeloRecordset::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(filas_.size());
}

int ModeloRecordset::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(columnas_.size());
}

QVariant ModeloRecordset::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid())
        return {};
    const QVariant& valor = filas_[indice.row()][indice.column()];
    const auto formato = formatos_.constFind(indice.column());
    const bool conFormato = formato != formatos_.cend();
    switch (rol) {
    case Qt::DisplayRole:
        return conFormato ? (*formato)(valor) : Formularios::TextoDeValor(valor);
    case RolValor:
        return valor;
    case Qt::TextAlignmentRole: {
        const auto id = valor.typeId();
        const bool numero = conFormato || id == QMetaType::Double || id == QMetaType::LongLong ||
                            id == QMetaType::Int || id == QMetaType::Float;
        return static_cast<int>(Qt::AlignVCenter | (numero ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return {};
    }
}

QVariant ModeloRecordset::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (rol != Qt::DisplayRole)
        return {};
    if (orientacion == Qt::Vertical)
        return seccion + 1;
    return columnas_.value(seccion);
}

void Grillas::MuestraTabla(const QString& tabla, ado::Connection& cn, const QString& titulo,
                           QWidget* padre) {
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ") + tabla, cn, ado::adOpenForwardOnly,
            ado::adLockReadOnly);

    QDialog hoja(padre);
    hoja.setWindowTitle(titulo);
    auto* modelo = new ModeloRecordset(rs, &hoja);
    rs.Close();

    auto* orden = new OrdenPorValor(&hoja);
    orden->setSourceModel(modelo);

    auto* grilla = new QTableView(&hoja);
    grilla->setModel(orden);
    grilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    grilla->setAlternatingRowColors(true);
    grilla->setSortingEnabled(true);
    grilla->sortByColumn(-1, Qt::AscendingOrder); // the table's own order until asked
    grilla->horizontalHeader()->setSectionsMovable(true);
    grilla->resizeColumnsToContents();

    auto* botones = new QDialogButtonBox(QDialogButtonBox::Close, &hoja);
    botones->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Cerrar"));
    QObject::connect(botones, &QDialogButtonBox::rejected, &hoja, &QDialog::reject);

    auto* capas = new QVBoxLayout(&hoja);
    capas->addWidget(grilla);
    capas->addWidget(botones);
    hoja.resize(900, 520);
    grilla->setFocus();
    hoja.exec();
}
