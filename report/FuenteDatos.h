#pragma once
// Where a report's rows come from. The engine never opens a connection: the
// program hands it one of these, so that report SQL goes the program's own way to
// the database.

#include <QList>
#include <QStringList>
#include <QVariant>

namespace reporte {

// The rows of one query: column names, then the rows, a value per column. A null
// is an invalid QVariant.
struct Tabla {
    QStringList columnas;
    QList<QVariantList> filas;
};

class FuenteDatos {
public:
    virtual ~FuenteDatos() = default;
    // Runs one SELECT. Each "?" of the text outside quotes stands for the next of
    // `valores`, in order: a number (integer or double) or a text. Raises
    // reporte::Error (Consulta) when the query fails.
    virtual Tabla Consulta(const QString& sql, const QVariantList& valores) = 0;
};

} // namespace reporte
