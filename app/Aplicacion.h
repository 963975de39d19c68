#pragma once
// The application object: it owns what the program's modules share (the database
// objects, the configuration store, the utility library, the session) and the
// startup routine that fills them. Nothing here is a global: windows receive it.

#include "Configuracion.h"
#include "DB_Dll.h"
#include "DialogoOperador.h"
#include "Utilidades.h"

#include <QDateTime>
#include <QString>

#include <functional>

// Session variables, set at startup and read afterwards.
struct Sesion {
    QString gParametroAdicional;
    QString gMenu;
    QString gUsuarioLogeado;
    QString gCaja = QStringLiteral("1");
    QString gMaquinaUsuario;
    int gFlatToolbars = 1;
    QString gConexionDSN;
    qint16 gTimeOut = 360;
    QString carpetaPrograma; // the executable's folder, with its separator
};

// What the lookup controller receives at startup.
struct ParametrosConsultas {
    QString gConnString;
    bool gUsarMascarasConsultas = false;
    QString gRutaMascaraConsultas;
};

class Aplicacion {
public:
    explicit Aplicacion(plataforma::DialogoOperador& dialogo, ado::FabricaProveedor fabrica = {});

    plataforma::DialogoOperador& dialogo;
    DB_Dll db;           // the shared database-access object
    DB_Dll estadisticas; // the statistics connection
    Configuracion cfg;
    Utilidades util;
    Sesion sesion;
    ParametrosConsultas consultas;
    Reportes* reportes = nullptr; // the report engine, when there is one

    // The machine and the operating-system user; tests set their own.
    QString nombreMaquina;
    QString nombreUsuario;
    // The process command line after the program's name.
    QString lineaProceso;
    // The executable's folder.
    QString carpetaEjecutable;
    // Ends the program when no connection can be opened.
    std::function<void()> terminaPrograma;
    // The time written on error-log lines.
    std::function<QDateTime()> reloj;

    // Reads the command line, connects, loads the settings. Returns false when no
    // connection was opened (the program has then been asked to end).
    bool IniciaAplicacion(bool UsarIni, const QString& LineaComando, QString& ConnString,
                          int CursorLocation);
    // The frame's shared error dialog: shows the failure, logs it in VXERR.LOG under
    // the temporary folder and returns the answer; 0 for an error numbered 0.
    int TratamientoErroresGlobal(const ado::Falla& CodErr, int Botones = 18,
                                 const QString& Rutina = {});
    // The log file of TratamientoErroresGlobal.
    QString RutaLogGlobal() const;
    // Writes the default lookup definitions at the end of the definition file.
    void CreaConsultasDefault();

    // The access log: kept as calls of the frame, written by a later version.
    void AbreEstadisticas() {}
    void RegistraAcceso(const QString&) {}
    void RegistraEgreso() {}
    void FinalizaAplicacion() {}

private:
    QString lineaDesdeIni() const;
};
