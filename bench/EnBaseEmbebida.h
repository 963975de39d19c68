#pragma once
// The application of a benchmark, pointed at an embedded database file in `carpeta`
// with the line the suite's menu would pass; the window's load connects it.

#include "app/Aplicacion.h"

inline void EnBaseEmbebida(Aplicacion& app, const QString& carpeta, const QString& base) {
    app.carpetaEjecutable = carpeta;
    app.carpetaPuesto = carpeta;
    app.db.carpetaLog = carpeta;
    app.lineaProceso = QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; "
                                      "@Password= ; @ParametroAdicional=; @Caja=1;kora@")
                           .arg(base);
}
