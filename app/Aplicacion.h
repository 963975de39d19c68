#pragma once
// The application object: it owns what the program's modules share (the database
// objects, the configuration store, the utility library, the session) and the
// startup routine that fills them. Nothing here is a global: windows receive it.

#include "app/Configuracion.h"
#include "db/DB_Dll.h"
#include "platform/DialogoOperador.h"
#include "platform/Utilidades.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

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

    // The machine and the operating-system user; tests set their own.
    QString nombreMaquina;
    QString nombreUsuario;
    // The process command line after the program's name.
    QString lineaProceso;
    // The executable's folder: the report files, the skins and the suite's programs.
    QString carpetaEjecutable;
    // The workstation folder (platform/CarpetaPuesto.h): BASES.TXT, CONSULTAS.VXF and
    // CONSULTASLEN.VXF.
    QString carpetaPuesto;
    // Ends the program when no connection can be opened.
    std::function<void()> terminaPrograma;
    // The time written on error-log lines.
    std::function<QDateTime()> reloj;

    // Reads the command line, connects, loads the settings. Returns false when no
    // connection was opened (the program has then been asked to end).
    bool IniciaAplicacion(bool UsarIni, const QString& LineaComando, QString& ConnString,
                          int CursorLocation);
    // The frame's shared error dialog: shows the failure, logs it in VXERR.LOG under
    // the temporary folder and returns the answer; nothing (no box, no line) for an
    // error numbered 0.
    std::optional<plataforma::Respuesta>
    TratamientoErroresGlobal(const ado::Falla& CodErr,
                             plataforma::Estilo Botones = plataforma::kEstiloError,
                             const QString& Rutina = {});
    // The log file of TratamientoErroresGlobal.
    QString RutaLogGlobal() const;
    // Writes the default lookup definitions at the end of the definition file.
    void CreaConsultasDefault();

    // ------------------------------------------------------- value formatting
    // An amount text shown with `decimales` decimals: -3 the text unchanged, -1 the
    // configured CantidadDecimales, -2 none, 0 the locale's currency digits.
    QString FmtMoneda(const QString& importe, const QVariant& decimales, bool separaMiles);
    // A yes/no text in Spanish or English; `defecto` for anything else.
    static bool ValorLogico(const QString& texto, bool defecto);

    // --------------------------------------------- data update scripts
    struct ParCampoValor {
        QString Campo;
        QString Valor; // already an SQL literal
    };
    QList<ParCampoValor> Pares;
    // Adds a column and its value, made a literal with the marker ("'" text, "@"
    // number, anything else as it is); `Valor` loses its apostrophes.
    void AgregaCampoValor(const QString& Campo, QString& Valor, const QString& Marca, bool Nuevo);
    // Appends an INSERT or UPDATE made of `pares` to `Sentencias`, then an empty entry.
    void ArmaSentencia(QList<ParCampoValor>& pares, QStringList& Sentencias, const QString& Tabla,
                       bool EsUpdate, QString& Condicion, bool ConservaPares);
    // Runs the statements as one script in one transaction; a failure is rolled
    // back, logged in AUX_ERR and, when asked, shown.
    void GActualizarDatoScript(QStringList& Sentencias, bool& HuboError, qint32& CodigoError,
                               bool SilenciaClaveDuplicada, bool SilenciaRestriccion,
                               QString& ScriptEjecutado, QString& MensajeError,
                               bool MuestraMensaje);
    void RegistraErrorAux(const QString& SQL, QString Proceso, qint32 Error,
                          const QString& Descripcion);
    // The data-error dialog of a failed save. It explains the failure from the
    // provider's records the failure carries (ErrorObj.Registros), so a rollback
    // between the failure and the dialog changes nothing. Returns Retry, Ignore or
    // Abort as answered in the shared error dialog; nothing after its own boxes
    // (wrong value, null, duplicate key) or any other answer.
    std::optional<plataforma::Respuesta> MuestraErrorDatos(const ado::Falla& ErrorObj,
                                                           const QString& Campo);

    // ------------------------------------------------------------- the access log
    // Opens the statistics connection and sets the command time-out from its
    // "TimeOut" key; 360 seconds when there is none, or no statistics database.
    void AbreEstadisticas();
    // Writes this run's entry record in Control_Acceso and keeps its Id; `Formulario`
    // empty names the executable. Failing steps are skipped without a word.
    void RegistraAcceso(const QString& Formulario);
    // Writes the exit time into this run's record, and only into it.
    void RegistraEgreso();
    // The program is closing: the exit time, then the connections are let go. Safe
    // to call more than once (window close, end of session): only the first call acts.
    void FinalizaAplicacion();
    // The Id of this run's access record; 0 while there is none.
    qint32 gIdAcceso = 0;

    // The statements of the access log, as sent.
    static QString SentenciaTarea(const QString& usuario, const QString& formulario);
    QString SentenciaEgreso(const QDateTime& momento) const;

private:
    QString lineaDesdeIni() const;
    bool finalizada_ = false;
};
