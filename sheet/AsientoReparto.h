#pragma once
// The journal entry a finish posts, as lines computed from the run alone: the
// finish question shows them and the save writes them, from the same function,
// so what the clerk confirms is what is posted.

#include "platform/Currency.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>

class Reparto;

struct LineaAsiento {
    qint16 secuencia = 0;
    QString cuenta;      // as posted: the account field read as a number, back as text
    QString descripcion; // the account's name as the sheet shows it
    bool debe = true;    // a debit ("D"), else a credit ("H")
    Currency importe;
    friend bool operator==(const LineaAsiento&, const LineaAsiento&) = default;
};

// A debit for each expense with its account, then the means of payment's credit;
// an empty account or an amount not above zero posts no line.
QList<LineaAsiento> LineasAsiento(const Reparto& r);

// What a finish would post, read before the save's lock: the number is the one
// expected, the save numbers again under its lock.
struct AsientoPrevio {
    bool registra = false; // false: `motivo` says why nothing is posted
    QString motivo;
    qint32 numero = 0; // 0: none could be read, the save numbers it
    QString fecha, detalle;
    QList<LineaAsiento> lineas;

    // The caption of the entry's table: number, date and detail, or why none.
    QString Leyenda() const;
};

// The entry's lines and their totals, read-only, for the finish question.
class ModeloAsiento : public QAbstractTableModel {
    Q_OBJECT

public:
    using Formato = std::function<QString(Currency)>;
    ModeloAsiento(QList<LineaAsiento> lineas, Formato formato, QObject* padre = nullptr);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion,
                        int rol = Qt::DisplayRole) const override;

private:
    QList<LineaAsiento> lineas_;
    Formato formato_;
    Currency debe_, haber_;
};
