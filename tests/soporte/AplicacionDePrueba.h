#pragma once
// The application object as tests start it: a fixed machine, user and clock, its
// files in a folder of the test's own, on an embedded database file.

#include "DialogoGuionado.h"
#include "app/Aplicacion.h"

#include <memory>

namespace prueba {

inline const QDateTime kMomento(QDate(2024, 3, 15), QTime(10, 42, 7));

// Not connected yet; the program would end through a no-op.
inline std::unique_ptr<Aplicacion> NuevaAplicacion(DialogoGuionado& dialogo, const QString& carpeta,
                                                   const QDateTime& momento = kMomento) {
    auto app = std::make_unique<Aplicacion>(dialogo);
    app->carpetaEjecutable = carpeta;
    app->carpetaPuesto = carpeta;
    app->nombreMaquina = QStringLiteral("pc01");
    app->nombreUsuario = QStringLiteral("ana");
    app->lineaProceso.clear();
    app->terminaPrograma = [] {};
    app->reloj = [momento] { return momento; };
    app->db.carpetaLog = carpeta;
    return app;
}

// Started on the embedded file `base` as user ADMIN; ends the test program when no
// connection opens, since nothing after that could mean anything.
inline std::unique_ptr<Aplicacion> AplicacionConectada(DialogoGuionado& dialogo,
                                                       const QString& carpeta, const QString& base,
                                                       const QDateTime& momento = kMomento) {
    auto app = NuevaAplicacion(dialogo, carpeta, momento);
    QString cadena;
    const bool ok = app->IniciaAplicacion(
        false,
        QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ; @Caja=1;kora@")
            .arg(base),
        cadena, ado::adUseClient);
    if (!ok)
        qFatal("the test database did not open");
    return app;
}

} // namespace prueba
