// The ODBC provider: SQL Server through FreeTDS or Microsoft's driver, Oracle, or
// whatever driver the workstation has. It keeps every diagnostic record the driver
// gives, warnings of successful statements included, as ADO does through its ODBC
// provider, and sends the statements exactly as they are written.

#include "ado/odbc/Diagnosticos.h"
#include "ado/odbc/Resultados.h"
#include "platform/ado/Proveedor.h"
#include "platform/ado/Valores.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>

#include <locale.h>
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace ado::detalle {

namespace {

using namespace odbc;

// unixODBC converts the texts of drivers without Unicode calls (the SQLite driver
// among them) with the character set the C library reports while the connection is
// set up; under the "C" locale that is ASCII, and anything beyond it is narrowed
// byte by byte. Setting up under UTF-8, for this thread only, keeps texts intact.
class CaracteresUtf8 {
public:
    CaracteresUtf8() {
        if (locale_t base = duplocale(uselocale(locale_t(nullptr)))) {
            nuevo_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", base);
            if (!nuevo_)
                freelocale(base);
        }
        if (nuevo_)
            antes_ = uselocale(nuevo_);
    }
    ~CaracteresUtf8() {
        if (nuevo_) {
            uselocale(antes_);
            freelocale(nuevo_);
        }
    }
    CaracteresUtf8(const CaracteresUtf8&) = delete;
    CaracteresUtf8& operator=(const CaracteresUtf8&) = delete;

private:
    locale_t nuevo_ = nullptr;
    locale_t antes_ = nullptr;
};

class Sentencia {
public:
    Sentencia(SQLHDBC dbc, int segundos) {
        comprueba(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
        if (segundos > 0) {
            // A driver without query time-outs still runs the statement.
            const SQLRETURN rc =
                SQLSetStmtAttrW(h, SQL_ATTR_QUERY_TIMEOUT, entero(segundos), SQL_IS_UINTEGER);
            if (rc != SQL_SUCCESS)
                leeRegistros(SQL_HANDLE_STMT, h);
        }
    }
    ~Sentencia() {
        if (h)
            SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
    Sentencia(const Sentencia&) = delete;
    Sentencia& operator=(const Sentencia&) = delete;
    operator SQLHSTMT() const { return h; }

    SQLHSTMT h = SQL_NULL_HSTMT;
};

// Whether the driver named in a connection string is FreeTDS, by its library.
bool esFreeTds(SQLHENV env, const QString& driver) {
    if (driver.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive))
        return true;
    SQLUSMALLINT direccion = SQL_FETCH_FIRST;
    for (;;) {
        SQLWCHAR nombre[256];
        SQLWCHAR atributos[2048];
        SQLSMALLINT largoNombre = 0;
        SQLSMALLINT largoAtributos = 0;
        const SQLRETURN rc = SQLDriversW(env, direccion, nombre, 256, &largoNombre, atributos, 2048,
                                         &largoAtributos);
        if (!SQL_SUCCEEDED(rc))
            return false;
        direccion = SQL_FETCH_NEXT;
        if (deW(nombre, std::clamp<qsizetype>(largoNombre, 0, 255))
                .compare(driver, Qt::CaseInsensitive) == 0)
            return deW(atributos, std::clamp<qsizetype>(largoAtributos, 0, 2047))
                .contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive);
    }
}

// FreeTDS, left to find the protocol version itself, retries a failed login with an
// older version that no timer guards: a server that accepts the connection and never
// answers then holds the login for ever. Naming the version keeps the login time-out
// in force; 7.4 is what the autodetection tries first, and SQL Server answers it with
// its own version.
QString conVersionTds(SQLHENV env, const QString& cadena) {
    const auto pares = ParesOdbc(cadena);
    if (pares.contains(QStringLiteral("tds_version")) || !pares.contains(QStringLiteral("driver")))
        return cadena;
    if (!esFreeTds(env, pares.value(QStringLiteral("driver"))))
        return cadena;
    QString r = cadena.trimmed();
    if (!r.endsWith(u';'))
        r += u';';
    return r + QStringLiteral("TDS_Version=7.4;");
}

SQLUINTEGER aislamientoOdbc(int nivelAdo) {
    switch (nivelAdo) {
    case adXactReadUncommitted:
        return SQL_TXN_READ_UNCOMMITTED;
    case adXactReadCommitted:
        return SQL_TXN_READ_COMMITTED;
    case adXactRepeatableRead:
        return SQL_TXN_REPEATABLE_READ;
    case adXactSerializable:
        return SQL_TXN_SERIALIZABLE;
    default:
        return 0;
    }
}

// A parameter's value where the driver reads it until the statement has run.
struct Ligado {
    SQLBIGINT entero = 0;
    SQLINTEGER entero32 = 0;
    SQLDOUBLE real = 0;
    unsigned char bit = 0;
    SQL_TIMESTAMP_STRUCT fecha{};
    QString texto;
    QByteArray bytes;
    SQLLEN indicador = 0;
};

SQLRETURN liga(SQLHSTMT st, SQLUSMALLINT n, const QVariant& v, Ligado& l) {
    const auto bind = [&](SQLSMALLINT tipoC, SQLSMALLINT tipoSql, SQLULEN tamano,
                          SQLSMALLINT decimales, SQLPOINTER valor, SQLLEN capacidad) {
        return SQLBindParameter(st, n, SQL_PARAM_INPUT, tipoC, tipoSql, tamano, decimales, valor,
                                capacidad, &l.indicador);
    };
    if (v.isNull()) {
        l.indicador = SQL_NULL_DATA;
        return bind(SQL_C_CHAR, SQL_VARCHAR, 1, 0, &l.entero, 0);
    }
    if (v.metaType() == QMetaType::fromType<Currency>()) {
        // The exact decimal as text; the server reads it as money's DECIMAL(19,4).
        l.bytes = v.value<Currency>().texto().toLatin1();
        l.indicador = l.bytes.size();
        return bind(SQL_C_CHAR, SQL_DECIMAL, 19, 4, l.bytes.data(), l.bytes.size());
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
        l.bit = v.toBool() ? 1 : 0;
        l.indicador = sizeof l.bit;
        return bind(SQL_C_BIT, SQL_BIT, 1, 0, &l.bit, 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const qint64 x = v.toLongLong();
        // An int column compared with a bigint parameter can lose its index on SQL Server.
        if (x >= std::numeric_limits<SQLINTEGER>::min() &&
            x <= std::numeric_limits<SQLINTEGER>::max()) {
            l.entero32 = static_cast<SQLINTEGER>(x);
            l.indicador = sizeof l.entero32;
            return bind(SQL_C_SLONG, SQL_INTEGER, 10, 0, &l.entero32, 0);
        }
        l.entero = x;
        l.indicador = sizeof l.entero;
        return bind(SQL_C_SBIGINT, SQL_BIGINT, 19, 0, &l.entero, 0);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        l.real = v.toDouble();
        l.indicador = sizeof l.real;
        return bind(SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, &l.real, 0);
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        const QDateTime f = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0))
                                                           : v.toDateTime().toLocalTime();
        l.fecha.year = static_cast<SQLSMALLINT>(f.date().year());
        l.fecha.month = static_cast<SQLUSMALLINT>(f.date().month());
        l.fecha.day = static_cast<SQLUSMALLINT>(f.date().day());
        l.fecha.hour = static_cast<SQLUSMALLINT>(f.time().hour());
        l.fecha.minute = static_cast<SQLUSMALLINT>(f.time().minute());
        l.fecha.second = static_cast<SQLUSMALLINT>(f.time().second());
        l.fecha.fraction = static_cast<SQLUINTEGER>(f.time().msec()) * 1000000u;
        l.indicador = sizeof l.fecha;
        return bind(SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3, &l.fecha, sizeof l.fecha);
    }
    case QMetaType::QByteArray: {
        l.bytes = v.toByteArray();
        l.indicador = l.bytes.size();
        const auto tamano = static_cast<SQLULEN>(std::max<qsizetype>(1, l.bytes.size()));
        return bind(SQL_C_BINARY, l.bytes.size() > 8000 ? SQL_LONGVARBINARY : SQL_VARBINARY, tamano,
                    0, l.bytes.data(), l.bytes.size());
    }
    default: {
        l.texto = v.toString();
        const auto bytes = static_cast<SQLLEN>(l.texto.size() * sizeof(SQLWCHAR));
        l.indicador = bytes;
        const auto tamano = static_cast<SQLULEN>(std::max<qsizetype>(1, l.texto.size()));
        return bind(SQL_C_WCHAR, l.texto.size() > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR, tamano, 0,
                    w(l.texto), bytes);
    }
    }
}

class ProveedorOdbc final : public Proveedor {
public:
    ~ProveedorOdbc() override {
        try {
            cerrar();
        } catch (const Falla&) {
            // Nothing to tell anyone while going away.
        }
    }

    void abrir(const DatosConexion& datos, int segundosConexion) override {
        cerrar();
        const CaracteresUtf8 utf8;
        try {
            conecta(datos, segundosConexion);
        } catch (const Falla&) {
            libera();
            throw;
        }
    }

    void cerrar() override {
        QList<Error> registros;
        if (dbc_ && conectada_) {
            if (enTransaccion_)
                SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
            const SQLRETURN rc = SQLDisconnect(dbc_);
            if (rc != SQL_SUCCESS) {
                QList<Error> rs = leeRegistros(SQL_HANDLE_DBC, dbc_);
                if (!SQL_SUCCEEDED(rc))
                    registros = comoErrores(std::move(rs));
            }
        }
        libera();
        if (!registros.isEmpty())
            lanza(std::move(registros), "SQLDisconnect");
    }

    Resultado ejecuta(const QString& sql, const QVariantList& parametros) override {
        exigeConexion();
        return interpretaFallas([&] { return ejecutaSentencia(sql, parametros); });
    }

    Resultado ejecutaSentencia(const QString& sql, const QVariantList& parametros) {
        Sentencia st(dbc_, segundosComando_);
        if (parametros.isEmpty())
            return recorre(st, SQLExecDirectW(st, w(sql), SQL_NTS), sql, "SQLExecDirect");
        QList<Error> avisos;
        const auto paso = [&](SQLRETURN rc, const char* llamada) {
            if (rc == SQL_SUCCESS)
                return;
            QList<Error> rs = leeRegistros(SQL_HANDLE_STMT, st);
            if (rc != SQL_SUCCESS_WITH_INFO)
                lanza(avisos + comoErrores(std::move(rs)), llamada);
            avisos += rs;
        };
        paso(SQLPrepareW(st, w(sql), SQL_NTS), "SQLPrepare");
        std::vector<Ligado> ligados(static_cast<size_t>(parametros.size()));
        for (qsizetype i = 0; i < parametros.size(); ++i)
            paso(liga(st, static_cast<SQLUSMALLINT>(i + 1), parametros[i], ligados[size_t(i)]),
                 "SQLBindParameter");
        const SQLRETURN rc = SQLExecute(st);
        if (avisos.isEmpty())
            return recorre(st, rc, sql, "SQLExecute");
        try {
            Resultado r = recorre(st, rc, sql, "SQLExecute");
            r.avisos = avisos + r.avisos;
            return r;
        } catch (Falla& f) {
            f.Registros = avisos + f.Registros;
            throw;
        }
    }

    void iniciaTransaccion() override {
        exigeConexion();
        comprueba(SQLSetConnectAttrW(dbc_, SQL_ATTR_AUTOCOMMIT, entero(SQL_AUTOCOMMIT_OFF),
                                     SQL_IS_UINTEGER),
                  SQL_HANDLE_DBC, dbc_, "SQLSetConnectAttr");
        enTransaccion_ = true;
    }

    void confirmaTransaccion() override { terminaTransaccion(SQL_COMMIT); }
    void revierteTransaccion() override { terminaTransaccion(SQL_ROLLBACK); }

    Resultado tablas() override {
        exigeConexion();
        Sentencia st(dbc_, segundosComando_);
        const QString tipos = QStringLiteral("'TABLE','VIEW'");
        const Resultado leido =
            recorre(st, SQLTablesW(st, nullptr, 0, nullptr, 0, nullptr, 0, w(tipos), SQL_NTS),
                    QString(), "SQLTables");
        Resultado r = EsquemaDeTablas();
        for (const QVariantList& f : leido.filas)
            r.filas.append({f.value(0), f.value(1), f.value(2), f.value(3)});
        return r;
    }

    Resultado columnas(const QString& tabla) override {
        exigeConexion();
        Sentencia st(dbc_, segundosComando_);
        const QString nombre = tabla.trimmed();
        const Resultado leido =
            recorre(st,
                    SQLColumnsW(st, nullptr, 0, nullptr, 0, nombre.isEmpty() ? nullptr : w(nombre),
                                nombre.isEmpty() ? 0 : SQL_NTS, nullptr, 0),
                    QString(), "SQLColumns");
        // TABLE_CAT, TABLE_SCHEM, TABLE_NAME, COLUMN_NAME, DATA_TYPE, TYPE_NAME,
        // COLUMN_SIZE, BUFFER_LENGTH, DECIMAL_DIGITS, NUM_PREC_RADIX, NULLABLE, ...,
        // ORDINAL_POSITION (17th).
        Resultado r = EsquemaDeColumnas();
        QHash<QString, int> posiciones;
        for (const QVariantList& f : leido.filas) {
            const QString t = f.value(2).toString();
            const int posicion =
                f.size() > 16 && !f[16].isNull() ? f[16].toInt() : posiciones.value(t) + 1;
            posiciones[t] = posicion;
            const auto [tipo, tamano] =
                tipoAdo(static_cast<SQLSMALLINT>(f.value(4).toInt()),
                        static_cast<SQLULEN>(std::max(0LL, f.value(6).toLongLong())),
                        f.value(5).toString());
            r.filas.append({f.value(0), f.value(1), t, f.value(3), posicion, tipo,
                            EsTipoTexto(tipo) ? QVariant(tamano) : QVariant(),
                            f.value(10).toInt() != SQL_NO_NULLS});
        }
        return r;
    }

    QStringList clavePrimaria(const QString& tabla) override {
        exigeConexion();
        const QString nombre = tabla.trimmed();
        const QString k = nombre.toUpper();
        if (const auto it = claves_.constFind(k); it != claves_.constEnd())
            return *it;
        Sentencia st(dbc_, segundosComando_);
        const Resultado leido =
            recorre(st, SQLPrimaryKeysW(st, nullptr, 0, nullptr, 0, w(nombre), SQL_NTS), QString(),
                    "SQLPrimaryKeys");
        // TABLE_CAT, TABLE_SCHEM, TABLE_NAME, COLUMN_NAME, KEY_SEQ, PK_NAME.
        QList<std::pair<int, QString>> partes;
        for (const QVariantList& f : leido.filas)
            partes.append({f.value(4).toInt(), f.value(3).toString()});
        std::sort(partes.begin(), partes.end());
        QStringList clave;
        for (const auto& p : std::as_const(partes))
            clave << p.second;
        claves_.insert(k, clave);
        return clave;
    }

    QVariant ultimaIdentidad() override {
        exigeConexion();
        QString sql;
        // A parameterized INSERT runs in a scope of its own on SQL Server, where
        // SCOPE_IDENTITY() of a later batch is null: @@IDENTITY is what ADO resyncs with.
        if (dbms_.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive))
            sql = QStringLiteral("SELECT @@IDENTITY");
        else if (dbms_.contains(QLatin1String("SQLite"), Qt::CaseInsensitive))
            sql = QStringLiteral("SELECT last_insert_rowid()");
        else
            return {};
        const Resultado r = ejecuta(sql, {});
        const QVariant v = r.filas.value(0).value(0);
        if (v.typeId() == QMetaType::Double) {
            const double d = v.toDouble();
            if (d == static_cast<double>(static_cast<qint64>(d)))
                return static_cast<qint64>(d);
        }
        return v;
    }

    void fijaTiempoComando(int segundos) override { segundosComando_ = std::max(0, segundos); }

    void fijaAislamiento(int nivelAdo) override {
        exigeConexion();
        const SQLUINTEGER nivel = aislamientoOdbc(nivelAdo);
        if (!nivel)
            return; // unspecified: the driver's own
        comprueba(SQLSetConnectAttrW(dbc_, SQL_ATTR_TXN_ISOLATION, entero(nivel), SQL_IS_UINTEGER),
                  SQL_HANDLE_DBC, dbc_, "SQLSetConnectAttr");
    }

    void fijaBaseDefecto(const QString& base) override {
        exigeConexion();
        comprueba(SQLSetConnectAttrW(dbc_, SQL_ATTR_CURRENT_CATALOG, w(base), SQL_NTS),
                  SQL_HANDLE_DBC, dbc_, "SQLSetConnectAttr");
    }

private:
    // What the driver reports is given the meaning ADO gives it. A line that went down
    // is E_FAIL whatever state the driver reported first (a server that ends the
    // session sends its own reason before the line goes), so that the layer above
    // reconnects. A statement the driver cancelled once the command time-out ran out
    // is the time-out (HYT00), as SQL Server's drivers report it; the driver's own
    // records follow.
    template <typename F> Resultado interpretaFallas(F&& llamada) {
        QElapsedTimer reloj;
        reloj.start();
        try {
            return llamada();
        } catch (const Falla& f) {
            if (lineaCaida()) {
                QList<Error> registros = f.Registros;
                for (Error& e : registros)
                    if (e.Number != 0)
                        e.Number = codigo::E_FAIL;
                throw Falla(codigo::E_FAIL, f.Description, f.Source, std::move(registros));
            }
            if (venceTiempo(f, reloj.elapsed())) {
                const Error e{codigo::DB_E_ABORTLIMITREACHED,
                              QStringLiteral("Query timeout expired"), QStringLiteral("HYT00"), 0,
                              fuenteOdbc};
                throw Falla(e.Number, e.Description, e.Source, QList<Error>{e} + f.Registros);
            }
            throw;
        }
    }

    bool lineaCaida() const {
        SQLUINTEGER caida = SQL_CD_FALSE;
        const SQLRETURN rc = SQLGetConnectAttrW(dbc_, SQL_ATTR_CONNECTION_DEAD, &caida, 0, nullptr);
        if (rc != SQL_SUCCESS)
            leeRegistros(SQL_HANDLE_DBC, dbc_); // a driver that cannot tell
        return SQL_SUCCEEDED(rc) && caida == SQL_CD_TRUE;
    }

    bool venceTiempo(const Falla& f, qint64 ms) const {
        if (segundosComando_ <= 0 || ms < qint64(segundosComando_) * 1000 - 50)
            return false;
        const auto causa = std::find_if(f.Registros.begin(), f.Registros.end(),
                                        [](const Error& e) { return e.Number != 0; });
        if (causa == f.Registros.end())
            return false;
        // The program cancels nothing itself: a statement cancelled after running for
        // the whole time-out was cancelled by the driver for it.
        return causa->SQLState == QLatin1String("57014") ||
               causa->SQLState == QLatin1String("HY008");
    }

    void conecta(const DatosConexion& datos, int segundosConexion) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
            env_ = SQL_NULL_HENV;
            const Error e{codigo::E_FAIL,
                          QStringLiteral("The ODBC driver manager could not be started."),
                          QStringLiteral("IM004"), 0, fuenteOdbc};
            throw Falla(e.Number, e.Description, e.Source, {e});
        }
        comprueba(SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, entero(SQL_OV_ODBC3), 0),
                  SQL_HANDLE_ENV, env_, "SQLSetEnvAttr");
        comprueba(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_), SQL_HANDLE_ENV, env_,
                  "SQLAllocHandle");
        if (segundosConexion > 0)
            comprueba(SQLSetConnectAttrW(dbc_, SQL_ATTR_LOGIN_TIMEOUT, entero(segundosConexion),
                                         SQL_IS_UINTEGER),
                      SQL_HANDLE_DBC, dbc_, "SQLSetConnectAttr");
        const QString cadena = conVersionTds(env_, datos.cadenaOdbc);
        SQLWCHAR completa[1024];
        SQLSMALLINT largo = 0;
        const SQLRETURN rc = SQLDriverConnectW(dbc_, nullptr, w(cadena), SQL_NTS, completa, 1024,
                                               &largo, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            QList<Error> registros = leeRegistros(SQL_HANDLE_DBC, dbc_);
            for (Error& e : registros) {
                e.Number = codigo::E_FAIL; // every failure to connect is E_FAIL to ADO
                // unixODBC reports a driver it cannot load under the general warning
                // state; callers know a missing driver by IM002.
                if (e.SQLState == QLatin1String("01000") &&
                    e.Description.contains(QLatin1String("Can't open lib")))
                    e.SQLState = QStringLiteral("IM002");
            }
            if (registros.isEmpty())
                registros.append(Error{
                    codigo::E_FAIL, QStringLiteral("Cannot connect to %1.").arg(datos.descripcion),
                    QStringLiteral("08001"), 0, fuenteOdbc});
            lanza(std::move(registros), "SQLDriverConnect");
        }
        if (rc != SQL_SUCCESS)
            leeRegistros(SQL_HANDLE_DBC, dbc_); // "changed database context" and the like
        conectada_ = true;
        comprueba(SQLSetConnectAttrW(dbc_, SQL_ATTR_AUTOCOMMIT, entero(SQL_AUTOCOMMIT_ON),
                                     SQL_IS_UINTEGER),
                  SQL_HANDLE_DBC, dbc_, "SQLSetConnectAttr");
        SQLWCHAR nombre[256];
        SQLSMALLINT bytes = 0;
        const SQLRETURN rci = SQLGetInfoW(dbc_, SQL_DBMS_NAME, nombre, sizeof nombre, &bytes);
        if (rci != SQL_SUCCESS)
            leeRegistros(SQL_HANDLE_DBC, dbc_);
        if (SQL_SUCCEEDED(rci))
            dbms_ = deW(nombre, std::clamp<qsizetype>(bytes / qsizetype(sizeof(SQLWCHAR)), 0, 255));
    }

    void libera() {
        if (dbc_)
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        if (env_)
            SQLFreeHandle(SQL_HANDLE_ENV, env_);
        dbc_ = SQL_NULL_HDBC;
        env_ = SQL_NULL_HENV;
        conectada_ = false;
        enTransaccion_ = false;
        dbms_.clear();
        claves_.clear();
    }

    void exigeConexion() const {
        if (!dbc_ || !conectada_)
            throw Falla(codigo::adErrObjectClosed,
                        QStringLiteral("Operation is not allowed when the object is closed."),
                        QStringLiteral("ADODB.Connection"));
    }

    // Ends the transaction and goes back to autocommit, whatever the end gave: the
    // connection no longer counts a transaction open. A commit that fails is rolled
    // back, so that nothing stays half done.
    void terminaTransaccion(SQLSMALLINT accion) {
        exigeConexion();
        const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, accion);
        QList<Error> fallo;
        if (rc != SQL_SUCCESS) {
            QList<Error> rs = leeRegistros(SQL_HANDLE_DBC, dbc_);
            if (!SQL_SUCCEEDED(rc)) {
                fallo = comoErrores(std::move(rs));
                if (accion == SQL_COMMIT &&
                    SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK) != SQL_SUCCESS)
                    leeRegistros(SQL_HANDLE_DBC, dbc_);
            }
        }
        enTransaccion_ = false;
        const SQLRETURN rca = SQLSetConnectAttrW(dbc_, SQL_ATTR_AUTOCOMMIT,
                                                 entero(SQL_AUTOCOMMIT_ON), SQL_IS_UINTEGER);
        if (!fallo.isEmpty()) {
            if (rca != SQL_SUCCESS)
                leeRegistros(SQL_HANDLE_DBC, dbc_);
            lanza(std::move(fallo), "SQLEndTran");
        }
        comprueba(rca, SQL_HANDLE_DBC, dbc_, "SQLSetConnectAttr");
    }

    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool conectada_ = false;
    bool enTransaccion_ = false;
    int segundosComando_ = 30;
    QString dbms_;
    QHash<QString, QStringList> claves_;
};

} // namespace

std::unique_ptr<Proveedor> CreaProveedorOdbc() {
    return std::make_unique<ProveedorOdbc>();
}

} // namespace ado::detalle
