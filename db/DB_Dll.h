#pragma once
// The database-access object: every query, statement and schema question of the
// program goes through an instance of it, on the instance's own connection. It
// shows nothing by itself: the few boxes it owns go through the operator-dialog
// service it is given.

#include "platform/DialogoOperador.h"
#include "platform/ado/Ado.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class DialogoArchivo;

// The connection dialog as the open routine sees it. It receives the current
// parameters, lets the operator correct them and returns true when accepted.
// `plataforma` comes in as 0 (SQL Server); above 0 means Oracle.
class PideParametrosConexion {
public:
    virtual ~PideParametrosConexion() = default;
    virtual bool Pide(QString& servidor, QString& base, QString& usuario, QString& clave,
                      int& plataforma) = 0;
    // Hides the dialog while the failure box asks whether to try again.
    virtual void Oculta() {}
};

class DB_Dll {
public:
    static inline const QString pSQLOLEDB = QStringLiteral("SQLOLEDB");
    static inline const QString pJETOLEDB40 = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    static inline const QString pJETOLEDB35 = QStringLiteral("Microsoft.Jet.OLEDB.3.51");
    static inline const QString pORAOLEDB = QStringLiteral("OraOLEDB.Oracle.1");

    // `compartida` is the program's shared instance when this one is another (the
    // statistics connection); the shared one passes nothing and is its own.
    explicit DB_Dll(plataforma::DialogoOperador& dialogo, DB_Dll* compartida = nullptr,
                    ado::FabricaProveedor fabrica = {});
    ~DB_Dll();
    DB_Dll(const DB_Dll&) = delete;
    DB_Dll& operator=(const DB_Dll&) = delete;

    // ------------------------------------------------------------ connection state
    bool gOpenFlag = false;
    QString gProveedor;
    QString gServidor;
    QString gDBName;
    QString gUsuario;
    QString gUserPassWord;
    bool gEsAdmin = false;
    QString gConnString;
    QString gExtended;
    QVariant gIgnoraPassWord; // null reads as false
    QString gLogErr;

    // The instance's connection, made on first use.
    ado::Connection& gCnn();
    // The library's file dialog, made on first use.
    DialogoArchivo& CmdDlg();

    QString ArchivoErrores() const { return gLogErr; }
    void setArchivoErrores(const QString& ruta) { gLogErr = ruta; }

    // ------------------------------------------------ settings of the layer above
    // The SS_CONFIDENCIALIDAD setting: journal statements go through the synonyms too.
    bool confidencialidad = false;
    // The program's executable name (failure box, synonym rules); empty: this program's.
    QString nombreEjecutable;
    // The name in use: nombreEjecutable, or this program's own.
    QString ejecutable() const;
    // Programs of the suite under whose name V_TA_DEPOSITO and V_TA_FAMILIAS keep
    // their own names for users who are not administrators.
    QStringList ejecutablesSinSinonimoDeposito;
    // Folder of the default error log; empty: the workstation folder.
    QString carpetaLog;
    // Ends the program when the operator gives up a lost connection.
    std::function<void()> terminaPrograma;
    // Time written on error-log lines.
    std::function<QDateTime()> reloj;
    // The connection dialog; without one the operator is told the data are missing.
    void setPideParametros(PideParametrosConexion* dialogo) { pideParametros_ = dialogo; }

    // ------------------------------------------------------------------ connecting
    void OpenServerADODB(bool PideParametrosSQL, int lCursor, const QString& ConnString,
                         bool ValidaAdmin, bool MuestraError);
    void OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                        const QString& CadenaPWD);
    void ReintentaConectar();
    // The SQL Server or Oracle connection string of the current parameters.
    QString CadenaConexion() const;
    // The Access-file connection string of the current parameters.
    QString CadenaConexionLocal(const QString& CadenaID, const QString& CadenaPWD) const;

    // ---------------------------------------------------- recordsets and commands
    // What became of an open that reports its failures to the operator. Only after
    // Abierta is the recordset open; it is closed when the operator skipped the
    // failed open (Ignore) and when the open was given up (any other answer, or a
    // lost connection the operator chose not to recover).
    enum class Apertura { Abierta, Omitida, Abandonada };
    Apertura AbrirRecordset(QString& SentenciaSQL, ado::Recordset& Lrcs,
                            ado::Connection* Conexionactiva = nullptr,
                            int CursorType = ado::adOpenForwardOnly,
                            int LockType = ado::adLockReadOnly, int Options = -1,
                            bool ConvOracle = true);
    Apertura AbrirRecordset(const QString& SentenciaSQL, ado::Recordset& Lrcs,
                            ado::Connection* Conexionactiva = nullptr,
                            int CursorType = ado::adOpenForwardOnly,
                            int LockType = ado::adLockReadOnly, int Options = -1,
                            bool ConvOracle = true);
    // True when the recordset is closed on return (false only when the operator
    // skipped or gave up a failed close).
    bool CierraRecordset(ado::Recordset& LrcsTemp);
    // Never raises nor shows anything: a failure leaves the provider's errors in the
    // shared connection's error list.
    void EjecutaConsultaSQL(QString& SentenciaSQL, long& RecordsAffected,
                            ado::Recordset* Lrcs = nullptr);
    void EjecutaConsultaSQL(const QString& SentenciaSQL);
    // The same, telling the operator of failures that are not expected ones.
    void EjecutaConsultaRSQL(QString& SentenciaSQL, long& RecordsAffected,
                             ado::Recordset* Lrcs = nullptr);
    void EjecutaConsultaRSQL(const QString& SentenciaSQL);

    // ------------------------------------------------------- the throwing path
    // For code that wants exceptions instead of dialogs: nothing here shows a box,
    // and a failure leaves nothing in the connection's error list, since its
    // records travel in the ado::Falla raised (Registros), the cause first.
    //
    // Opens a query: synonyms (SS_TSinonimos), then the Oracle translation, then
    // open. Raises ado::Falla carrying the provider's records; a lost connection is
    // reconnected and the open repeated once, silently, before raising. Inside a
    // transaction nothing is reconnected: a new connection would not hold the
    // writes made so far, so the failure is raised at once.
    // Consulta opens read-only and forward-only; ConsultaEditable dynamic and
    // optimistic, for AddNew and Update.
    void Consulta(const QString& sql, ado::Recordset& rs);
    void ConsultaEditable(const QString& sql, ado::Recordset& rs);
    // Executes a statement the same way; returns rows affected; raises with the
    // records instead of leaving them in the connection's error list (warnings,
    // SQLSTATE class 01, are not failures and stay in the list).
    long Ejecuta(const QString& sql);
    // The same with values bound to the text's "?" marks, in order.
    long Ejecuta(const QString& sql, const QVariantList& parametros);
    // How many rows one INSERT ... VALUES (...),(...) of `columnas` values a row may
    // carry on this connection: 1 on Oracle, which has no such form; otherwise
    // within the server's limits on rows and bound values per statement.
    int FilasPorInsercion(int columnas);

    // --------------------------------------------------------------- table queries
    // Type codes: 8 text, 7 date, 3/4/5 number, anything else inserted as it is.
    bool ExisteEnTabla(const QString& Tabla, const QVariant& ValorBuscado, const QString& Campo,
                       ado::Recordset* Lrcs = nullptr, int Tipodato = 0,
                       const QString& Condicion = {}, bool SoloLectura = true);
    bool ExisteEnTablaST(const QString& Tabla, const QVariant& ValorBuscado, const QString& Campo,
                         ado::Recordset* Lrcs = nullptr, int Tipodato = 0,
                         const QString& Condicion = {}, bool SoloLectura = true);
    // The column's text; "" when no row matches; an unset value when the
    // connection was lost or the operator aborted.
    QVariant DatosTabla(const QString& Tabla, const QVariant& ValorBuscado,
                        const QString& CampoDevuelto, const QString& Campo, int Tipodato = 0,
                        const QString& Condicion = {}, bool UsaTrim = true,
                        bool IgnoraError = false);
    // Aggregates raise their failures to the caller.
    QVariant BuscaMaximo(const QString& QueTabla, const QString& QueCampo, int Tipo,
                         QString& Condicion);
    QVariant BuscaMaximo(const QString& QueTabla, const QString& QueCampo, int Tipo = 0);
    QVariant BuscaMinimo(const QString& QueTabla, const QString& QueCampo, int Tipo = 0,
                         const QString& Condicion = {});
    QVariant BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, int Tipo = 0,
                               const QString& Condicion = {});

    // ---------------------------------------------------- literals and identifiers
    static bool adodate(const QVariant& Qtype);
    static bool ADOText(const QVariant& Qtype);
    static bool ADONumeric(const QVariant& Qtype);
    static bool ADOCurrency(const QVariant& Qtype);
    static bool ADOBoolean(const QVariant& Qtype);
    static QString ADOComilla(const QVariant& Qtype);
    // Marker "@" number, "'" text, anything else the value as it is.
    static QString SQLValue(const QVariant& Valor, const QString& Tipo);
    static QString AddBrackets(const QString& rObjName);
    static QString StripBrackets(const QString& rsObjName);
    static QString StripConnect(const QString& rsTblName);
    static QString StripOwner(QString& rsTblName);
    static QString StripFileName(const QString& rsFileName);
    static QString stSTF(QString& rsName, bool rnPart);

    // ------------------------------------------------------ synonyms and schema
    QString SS_TSinonimos(const QString& SQL) const;
    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                  bool PermiteNulos, const QVariant& ValorDefault = {});
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo,
                    bool PermiteNulos, const QVariant& ValorDefault = {});

    // -------------------------------------------------------------------- Oracle
    // The SQL Server text in Oracle's dialect when the connection is an Oracle one.
    // Raises ado::Falla (5) for text it cannot carry over without changing its
    // meaning (a literal left open, TOP n PERCENT, ...).
    QString ORACLE_Dicc(const QString& Valor) const;
    // "SELECT TOP n * ..." as a ROWNUM query when the connection is an Oracle one.
    QString ConvierteTopOracle(const QString& Sentencia) const;

    // ---------------------------------------------------------------- failures
    // Shows the failure, logs it with the answer and returns the answer; nothing
    // (no box, no line) for an error numbered 0.
    std::optional<plataforma::Respuesta>
    TratamientoErrores(const ado::Falla& CodErr,
                       plataforma::Estilo Botones = plataforma::kEstiloError,
                       const QString& Rutina = {});

    // Whether the open connection goes to Oracle.
    bool esConexionOracle();

private:
    DB_Dll& compartida() { return compartida_ ? *compartida_ : *this; }
    const DB_Dll& compartida() const { return compartida_ ? *compartida_ : *this; }
    bool PasoParametros();
    bool PasoArchivo();
    QString textoFallaConexion(const ado::Error& e) const;
    QString textoConexionPerdida() const;
    QString baseEnCadena() const;
    plataforma::Respuesta avisoOperador(const ado::Falla& falla);
    bool reconecta(bool callado);
    void abreSinDialogos(const QString& sql, ado::Recordset& rs, int cursor, int bloqueo);
    template <typename F> void conReconexion(F&& intento);
    [[noreturn]] void lanza(const ado::Falla& falla);
    bool existeEn(const QString& sql, ado::Connection& cn, ado::Recordset* Lrcs, bool SoloLectura,
                  bool traduce);
    std::optional<QString> leeAgregado(const QString& sql, const QString& columna);
    void ejecuta(QString& sql, long& filas, ado::Recordset* Lrcs, bool informa);
    void EjecutaScript(QString& Script, long& RecordsAffected);
    static QString FiltraSentencia(QString& Sentencia);

    plataforma::DialogoOperador& dialogo_;
    DB_Dll* compartida_;
    ado::FabricaProveedor fabrica_;
    std::unique_ptr<ado::Connection> cnn_;
    std::unique_ptr<DialogoArchivo> cmdDlg_;
    PideParametrosConexion* pideParametros_ = nullptr;

    friend class TransaccionDB;
};

// Begins a transaction on construction, rolls back in the destructor unless
// Confirma() ran. The exception that leaves the scope keeps its records (the
// rollback must not lose them): they travel in the ado::Falla, not in the
// connection's error list. One level only, as the connection allows.
class TransaccionDB {
public:
    explicit TransaccionDB(DB_Dll& db);
    ~TransaccionDB();
    TransaccionDB(const TransaccionDB&) = delete;
    TransaccionDB& operator=(const TransaccionDB&) = delete;
    // Commits; raises when the commit fails (the destructor then rolls back what
    // the connection still holds).
    void Confirma();

private:
    DB_Dll& db_;
    bool terminada_ = false;
};
