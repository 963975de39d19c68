#pragma once
// The SQL scripts kept in resources/, and the databases made from them.

#include <QStringList>

namespace recursos {

QString EsquemaSql();      // every table and view of the suite the program uses
QString DemoSql();         // demo data for that schema
QString EstadisticasSql(); // the statistics database, schema and data

// An empty database with the full schema and its validation triggers; for tests.
void CreaBaseVacia(const QString& ruta);
// The demo databases in `carpeta`: hojaruta.db and the statistics database
// VX_ESTADISTICAS.db, each made only when missing so that demo work survives.
// Returns the names of the files it made.
QStringList CreaBasesDemo(const QString& carpeta);

} // namespace recursos
