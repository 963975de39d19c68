#pragma once
// A small ADO-like layer: the connection, recordset, field and error objects the
// program calls, with the operation names and codes it tests. Two providers sit
// behind it: the embedded SQLite file and ODBC (SQL Server, Oracle).

#include "platform/Currency.h"
#include "platform/ado/Falla.h"
#include "platform/ado/Traza.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace ado {

enum CursorLocationEnum { adUseServer = 2, adUseClient = 3 };
enum CursorTypeEnum {
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3
};
enum LockTypeEnum { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3 };
enum ObjectStateEnum { adStateClosed = 0, adStateOpen = 1 };
enum EditModeEnum { adEditNone = 0, adEditInProgress = 1, adEditAdd = 2 };
enum SchemaEnum { adSchemaColumns = 4, adSchemaTables = 20 };
enum IsolationLevelEnum {
    adXactReadUncommitted = 256,
    adXactReadCommitted = 4096,
    adXactRepeatableRead = 65536,
    adXactSerializable = 1048576,
};

// ADO field type codes.
enum DataTypeEnum {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adDecimal = 14,
    adTinyInt = 16,
    adBigInt = 20,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adLongVarBinary = 205,
};

class Errores {
public:
    int Count() const { return static_cast<int>(lista_.size()); }
    const Error& Item(int i) const { return lista_.at(i); }
    void Clear() { lista_.clear(); }
    void Add(const Error& e) { lista_.append(e); }
    void Add(const QList<Error>& es) { lista_.append(es); }
    const QList<Error>& todos() const { return lista_; }

private:
    QList<Error> lista_;
};

// How the ODBC provider reaches SQL Server and Oracle: driver names are settings.
struct OpcionesOdbc {
    QString driverSqlServer = QStringLiteral("FreeTDS");
    QString driverOracle = QStringLiteral("Oracle");
    int segundosConexion = 15; // login time-out; FreeTDS waits forever without one
};

namespace detalle {
class Proveedor;
struct Columna;
struct Resultado;
struct DatosConexion;
} // namespace detalle

// Makes the provider a connection string asks for. Tests hand in their own to put
// a provider between the connection and the database (to lose the line, say).
using FabricaProveedor = std::function<std::unique_ptr<detalle::Proveedor>(
    const detalle::DatosConexion&)>; // namespace detalle

class Connection;
class Recordset;

// A field of the current row: a light handle onto its recordset.
class Field {
public:
    QString Name() const;
    int Type() const;
    int DefinedSize() const;
    // The value; a null value is an invalid QVariant.
    QVariant Value() const;
    bool EsNulo() const;
    // Assignment starts an edit of the current row when none is pending.
    // A value that cannot become the field's type raises 3421.
    void setValue(const QVariant& valor);
    Field& operator=(const QVariant& valor) {
        setValue(valor);
        return *this;
    }
    // Money goes down exact: the providers bind it as a decimal, not a double.
    Field& operator=(const Currency& valor) {
        setValue(QVariant::fromValue(valor));
        return *this;
    }

private:
    friend class Recordset;
    Field(Recordset* rs, int indice) : rs_(rs), indice_(indice) {}
    Recordset* rs_;
    int indice_;
};

// An open query with a current row. Rows are read at open (client-side cursor), so
// every cursor type can move in any direction and RecordCount is exact.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void Open(const QString& source, Connection& cn, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, int options = -1);
    void Close();
    int State() const { return abierto_ ? adStateOpen : adStateClosed; }
    int CursorType() const { return cursorType_; }
    int LockType() const { return lockType_; }
    int EditMode() const { return editMode_; }
    QString Source() const { return source_; }

    bool BOF() const;
    bool Eof() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    int RecordCount() const;
    // The rows from the current one to the end, by field then row as ADO gives
    // them; leaves the recordset at its end.
    QList<QVariantList> GetRows();

    int FieldCount() const;
    Field Fields(int indice);
    Field Fields(const QString& nombre);
    bool TieneCampo(const QString& nombre) const;

    void AddNew();
    void Update();
    void CancelUpdate();

private:
    friend class Field;
    friend class Connection;
    int indiceCampo(const QString& nombre) const;
    const detalle::Columna& cabecera(int indice) const;
    void exigeAbierto() const;
    void exigeFilaActual() const;
    void asigna(int indice, const QVariant& valor);
    QVariant valor(int indice) const;
    void cargaResultado(QList<detalle::Columna> columnas, QList<QVariantList> filas);
    void confirmaPendiente();

    struct Datos;
    std::unique_ptr<Datos> d_;
    Connection* cn_ = nullptr;
    QString source_;
    bool abierto_ = false;
    int cursorType_ = adOpenForwardOnly;
    int lockType_ = adLockReadOnly;
    int editMode_ = adEditNone;
    qsizetype pos_ = 0;
};

class Connection {
public:
    explicit Connection(FabricaProveedor fabrica = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString() const { return cadena_; }
    void setConnectionString(const QString& cadena) { cadena_ = cadena; }
    int CursorLocation() const { return cursorLocation_; }
    void setCursorLocation(int valor) { cursorLocation_ = valor; }
    int CommandTimeout() const { return commandTimeout_; }
    void setCommandTimeout(int segundos);
    int IsolationLevel() const { return isolationLevel_; }
    void setIsolationLevel(int nivel);
    QString DefaultDatabase() const { return defaultDatabase_; }
    void setDefaultDatabase(const QString& base);
    const OpcionesOdbc& opcionesOdbc() const { return odbc_; }
    void setOpcionesOdbc(const OpcionesOdbc& opciones) { odbc_ = opciones; }

    int State() const;
    // Raises Falla on failure; the provider's messages stay in Errors().
    void Open(const QString& connectionString = {}, const QString& userId = {},
              const QString& password = {}, int options = -1);
    void Close();
    // Runs a statement or a batch. The rows it affects come back through
    // recordsAffected; the rows it returns, when `resultado` is given, open it.
    void Execute(const QString& commandText, long* recordsAffected = nullptr,
                 Recordset* resultado = nullptr, int options = -1);
    // The same with values bound to the text's "?" marks, in order, as a command
    // with parameters sends them; returns no rows.
    void Execute(const QString& commandText, const QVariantList& parametros,
                 long* recordsAffected = nullptr);
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool EnTransaccion() const { return enTransaccion_; }
    Errores& Errors() { return errores_; }
    // adSchemaTables: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE.
    // adSchemaColumns: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME,
    // ORDINAL_POSITION, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, IS_NULLABLE.
    // Restrictions follow ADO: catalog, schema, table (, column); empty ones match all.
    void OpenSchema(int schema, const QVariantList& restrictions, Recordset& resultado);

private:
    friend class Recordset;
    detalle::Resultado ejecuta(const QString& sql, const QVariantList& parametros = {});
    void exigeAbierta() const;
    void terminaTransaccion(bool confirma);
    detalle::Proveedor& proveedor() const;
    template <typename F> auto conErrores(F&& f) -> decltype(f());

    FabricaProveedor fabrica_;
    std::unique_ptr<detalle::Proveedor> proveedor_;
    Errores errores_;
    Traza traza_;
    OpcionesOdbc odbc_;
    QString cadena_;
    QString defaultDatabase_;
    int cursorLocation_ = adUseServer;
    int commandTimeout_ = 30;
    int isolationLevel_ = adXactReadCommitted;
    bool enTransaccion_ = false;
};

// A value as a field of ADO type `tipoAdo` holds it once assigned (money stays
// exact); raises 3421 when it cannot be. What a recordset would send, for
// statements that bind their values themselves.
QVariant ValorParaCampo(int tipoAdo, const QVariant& valor);

// Reads the ODBC driver names from the workstation INI file, section [ODBC].
OpcionesOdbc LeeOpcionesOdbc(const QString& rutaIni);

} // namespace ado
