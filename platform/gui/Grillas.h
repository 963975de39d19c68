#pragma once
// The library's browsing sheet: a table's rows in a read-only grid.

#include "platform/ado/Ado.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <functional>

class QWidget;

// The rows of a recordset, read once: text to show and the value itself to sort by.
class ModeloRecordset : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int RolValor = Qt::UserRole;

    explicit ModeloRecordset(ado::Recordset& rs, QObject* padre = nullptr);

    // Column `columna` shows its values through `formato` (an amount in the money
    // format), right-aligned; sorting still goes by the value.
    void setFormato(int columna, std::function<QString(const QVariant&)> formato);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion,
                        int rol = Qt::DisplayRole) const override;

private:
    QStringList columnas_;
    QList<QVariantList> filas_;
    QHash<int, std::function<QString(const QVariant&)>> formatos_;
};

class Grillas {
public:
    // Shows every row of `tabla` ("SELECT * FROM " + tabla on the open connection) in
    // a modal window titled `titulo`; columns sort with a click on their heading, Esc
    // closes. A query that fails raises its error before anything is shown.
    static void MuestraTabla(const QString& tabla, ado::Connection& cn, const QString& titulo,
                             QWidget* padre = nullptr);
};
