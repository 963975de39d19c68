// The ODBC provider: SQL Server through FreeTDS or Microsoft's driver, Oracle, or
// whatever driver the workstation has. It keeps every diagnostic record the driver
// gives, warnings of successful statements included, as ADO does through its ODBC
// provider, and sends the statements exactly as they are written.

#include "platform/ado/Proveedor.h"
#include "platform/ado/Valores.h"
#include "platform/sql/LexicoSql.h"

#include <QDateTime>
#include <QHash>
#include <QVarLengthArray>

#include <locale.h>
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <limits>
#include <tuple>
#include <vector>

namespace ado::detalle {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

const QString fuenteOdbc = QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers");

SQLWCHAR* w(const QString& s) {
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(s.utf16()));
}

QString deW(const SQLWCHAR* s, qsizetype n) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s), n);
}

template <typename T> SQLPOINTER entero(T v) {
    return reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(v));
}

// The ADO error number a record of a failed call carries, from its SQLSTATE.
Numero NumeroAdo(const QString& estado) {
    if (estado.startsWith(QLatin1String("08")) || estado == QLatin1String("28000"))
        return codigo::E_FAIL;
    if (estado.startsWith(QLatin1String("23")))
        return codigo::DB_E_INTEGRITYVIOLATION;
    if (estado == QLatin1String("22001"))
        return codigo::DB_E_DATAOVERFLOW;
    if (estado == QLatin1String("22005") || estado == QLatin1String("22018") ||
        estado == QLatin1String("22007") || estado == QLatin1String("22008"))
        return codigo::DB_E_CANTCONVERTVALUE;
    if (estado == QLatin1String("42S02"))
        return codigo::DB_E_NOTABLE;
    if (estado == QLatin1String("HYT00") || estado == QLatin1String("HYT01"))
        return codigo::DB_E_ABORTLIMITREACHED;
    return codigo::DB_E_ERRORSINCOMMAND;
}

// Every record the last call left on the handle, in order. Warnings carry number 0,
// as ADO gives informational messages.
QList<Error> leeRegistros(SQLSMALLINT tipo, SQLHANDLE h) {
    QList<Error> r;
    if (!h)
        return r;
    for (SQLSMALLINT i = 1; i > 0; ++i) {
        SQLWCHAR estado[6] = {};
        SQLINTEGER nativo = 0;
        QVarLengthArray<SQLWCHAR, 1024> mensaje(1024);
        SQLSMALLINT largo = 0;
        SQLRETURN rc = SQLGetDiagRecW(tipo, h, i, estado, &nativo, mensaje.data(),
                                      static_cast<SQLSMALLINT>(mensaje.size()), &largo);
        if (rc == SQL_SUCCESS_WITH_INFO && largo >= mensaje.size()) {
            mensaje.resize(largo + 1);
            rc = SQLGetDiagRecW(tipo, h, i, estado, &nativo, mensaje.data(),
                                static_cast<SQLSMALLINT>(mensaje.size()), &largo);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        Error e;
        e.SQLState = deW(estado, 5);
        e.NativeError = nativo;
        e.Description = deW(mensaje.data(), std::clamp<qsizetype>(largo, 0, mensaje.size() - 1));
        e.Source = fuenteOdbc;
        r.append(e);
    }
    return r;
}

// The records of a call that failed, numbered.
QList<Error> comoErrores(QList<Error> registros) {
    for (Error& e : registros)
        e.Number = NumeroAdo(e.SQLState);
    return registros;
}

// Raises the records; the first error among them, not a warning before it, is the cause.
[[noreturn]] void lanza(QList<Error> registros, const char* llamada) {
    if (registros.isEmpty() || std::none_of(registros.begin(), registros.end(),
                                            [](const Error& e) { return e.Number != 0; }))
        registros.append(Error{codigo::DB_E_ERRORSINCOMMAND,
                               QStringLiteral("The ODBC driver reported a failure of %1 without "
                                              "describing it.")
                                   .arg(QLatin1String(llamada)),
                               QStringLiteral("HY000"), 0, fuenteOdbc});
    const auto causa = std::find_if(registros.begin(), registros.end(),
                                    [](const Error& e) { return e.Number != 0; });
    const Error primero = *causa;
    throw Falla(primero.Number, primero.Description, primero.Source, std::move(registros));
}

// For calls whose warnings have nowhere to go (attributes, transactions): a failure
// raises its records, anything else passes.
void comprueba(SQLRETURN rc, SQLSMALLINT tipo, SQLHANDLE h, const char* llamada) {
    if (rc == SQL_SUCCESS || rc == SQL_NO_DATA)
        return;
    QList<Error> registros = leeRegistros(tipo, h);
    if (rc == SQL_SUCCESS_WITH_INFO)
        return;
    lanza(comoErrores(std::move(registros)), llamada);
}

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

// ADO type code and defined size of a result column.
std::pair<int, int> tipoAdo(SQLSMALLINT tipo, SQLULEN tamano, const QString& nombreTipo) {
    constexpr int sinLimite = 1073741823;
    const int largo = tamano == 0 || tamano > SQLULEN(sinLimite) ? sinLimite : int(tamano);
    switch (tipo) {
    case SQL_WVARCHAR:
        return {tamano == 0 ? adLongVarWChar : adVarWChar, largo};
    case SQL_VARCHAR:
        return {tamano == 0 ? adLongVarWChar : adVarChar, largo};
    case SQL_CHAR:
        return {adChar, largo};
    case SQL_WCHAR:
        return {adWChar, largo};
    case SQL_WLONGVARCHAR:
    case SQL_LONGVARCHAR:
        return {adLongVarWChar, largo}; // as the embedded provider gives a memo
    case SQL_INTEGER:
        return {adInteger, 4};
    case SQL_SMALLINT:
        return {adSmallInt, 2};
    case SQL_TINYINT:
        return {adTinyInt, 1};
    case SQL_BIGINT:
        return {adBigInt, 8};
    case SQL_BIT:
        return {adBoolean, 2};
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        if (nombreTipo.contains(QLatin1String("money"), Qt::CaseInsensitive))
            return {adCurrency, 8};
        return {adNumeric, 19};
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_REAL:
        return {adDouble, 8};
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return {adDBTimeStamp, 16};
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return {adDBDate, 6};
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return {134, 6}; // adDBTime
    case SQL_BINARY:
        return {adBinary, largo};
    case SQL_VARBINARY:
        return {204, largo}; // adVarBinary
    case SQL_LONGVARBINARY:
        return {adLongVarBinary, largo};
    default:
        return {adVarWChar, largo};
    }
}

// How a column's values are read.
enum class Lectura { Entero, Real, Fecha, Texto, Bytes };

Lectura lecturaDe(SQLSMALLINT tipo) {
    switch (tipo) {
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT:
    case SQL_BIT:
        return Lectura::Entero;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_REAL:
        return Lectura::Real;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return Lectura::Fecha;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return Lectura::Bytes;
    default:
        return Lectura::Texto;
    }
}

// Whether SQL Server goes on with the batch after these records: a server error
// does, a failure of the driver or the link does not.
bool siguenResultados(const QList<Error>& registros) {
    if (registros.isEmpty())
        return false;
    for (const Error& e : registros)
        if (e.SQLState.startsWith(QLatin1String("HY")) ||
            e.SQLState.startsWith(QLatin1String("IM")) ||
            e.SQLState.startsWith(QLatin1String("08")))
            return false;
    return true;
}

bool esUna(QStringView sql, const sql::Token& t, std::initializer_list<const char*> claves) {
    return std::any_of(claves.begin(), claves.end(),
                       [&](const char* c) { return sql::EsPalabra(sql, t, QLatin1String(c)); });
}

// The one table of a plain "SELECT ... FROM T [alias] [WHERE ...]", without its
// owner or brackets; empty for joins, lists of tables or anything less plain.
QString tablaDeConsulta(const QString& sql) {
    QList<sql::Token> t;
    for (const sql::Token& x : sql::Tokeniza(sql))
        if (!sql::EsTrivia(x))
            t.append(x);
    if (t.isEmpty() || !sql::EsPalabra(sql, t.first(), QLatin1String("SELECT")))
        return {};
    int nivel = 0;
    qsizetype desde = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i].simbolo == sql::Simbolo::AbreParentesis)
            ++nivel;
        else if (t[i].simbolo == sql::Simbolo::CierraParentesis)
            --nivel;
        else if (nivel != 0)
            continue;
        else if (desde < 0 && sql::EsPalabra(sql, t[i], QLatin1String("FROM")))
            desde = i + 1;
        else if (desde < 0)
            continue;
        else if (esUna(sql, t[i], {"WHERE", "ORDER", "GROUP", "HAVING", "OPTION", "FOR"}))
            break;
        else if (t[i].simbolo == sql::Simbolo::Coma || t[i].simbolo == sql::Simbolo::PuntoYComa ||
                 esUna(sql, t[i], {"JOIN", "APPLY", "UNION", "EXCEPT", "INTERSECT"}))
            return {};
    }
    if (desde < 0)
        return {};
    // The name: parts joined by dots, each plain or quoted.
    QString nombre;
    for (qsizetype i = desde; i < t.size(); i += 2) {
        // A name with "@" is a variable, not a table.
        if ((t[i].clase != sql::Clase::Palabra && t[i].clase != sql::Clase::Identificador) ||
            (t[i].clase == sql::Clase::Palabra && sql[t[i].inicio] == u'@'))
            return {};
        nombre = sql::ValorDe(sql, t[i]);
        if (i + 1 >= t.size() || t[i + 1].simbolo != sql::Simbolo::Punto)
            break;
    }
    return nombre;
}

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

// What reading one statement's results gathers: every record, in the order given.
struct Recorrido {
    Resultado r;
    QList<Error> registros;
    bool fallo = false;

    void avisos(SQLHSTMT st) { registros.append(leeRegistros(SQL_HANDLE_STMT, st)); }
    void errores(QList<Error> rs) {
        registros.append(comoErrores(std::move(rs)));
        fallo = true;
    }
};

// Reads the value of column c of the current row.
QVariant leeValor(SQLHSTMT st, SQLUSMALLINT c, Lectura como, Recorrido& l) {
    SQLLEN ind = 0;
    // Warnings of SQLGetData other than the "more data follows" of a long value.
    const auto revisa = [&](SQLRETURN rc) {
        if (rc == SQL_SUCCESS || rc == SQL_NO_DATA)
            return true;
        QList<Error> rs = leeRegistros(SQL_HANDLE_STMT, st);
        if (!SQL_SUCCEEDED(rc)) {
            l.errores(std::move(rs));
            return false;
        }
        for (const Error& e : std::as_const(rs))
            if (e.SQLState != QLatin1String("01004"))
                l.registros.append(e);
        return true;
    };
    switch (como) {
    case Lectura::Entero: {
        SQLBIGINT v = 0;
        if (!revisa(SQLGetData(st, c, SQL_C_SBIGINT, &v, sizeof v, &ind)) || ind == SQL_NULL_DATA)
            return {};
        return static_cast<qint64>(v);
    }
    case Lectura::Real: {
        SQLDOUBLE v = 0;
        if (!revisa(SQLGetData(st, c, SQL_C_DOUBLE, &v, sizeof v, &ind)) || ind == SQL_NULL_DATA)
            return {};
        return static_cast<double>(v);
    }
    case Lectura::Fecha: {
        SQL_TIMESTAMP_STRUCT v{};
        if (!revisa(SQLGetData(st, c, SQL_C_TYPE_TIMESTAMP, &v, sizeof v, &ind)) ||
            ind == SQL_NULL_DATA)
            return {};
        return QDateTime(QDate(v.year, v.month, v.day),
                         QTime(v.hour, v.minute, v.second, static_cast<int>(v.fraction / 1000000)));
    }
    case Lectura::Texto: {
        // Long values come in pieces; each piece but the last fills the buffer.
        QString s;
        SQLWCHAR buf[4096];
        constexpr qsizetype caben = sizeof buf / sizeof buf[0] - 1;
        for (bool primera = true;; primera = false) {
            const SQLRETURN rc = SQLGetData(st, c, SQL_C_WCHAR, buf, sizeof buf, &ind);
            if (rc == SQL_NO_DATA && !primera)
                break;
            if (!revisa(rc))
                return {};
            if (ind == SQL_NULL_DATA)
                return {};
            const bool quedaMas =
                rc == SQL_SUCCESS_WITH_INFO &&
                (ind == SQL_NO_TOTAL || ind / qsizetype(sizeof(SQLWCHAR)) > caben);
            s += deW(buf, quedaMas ? caben : std::min<qsizetype>(ind / sizeof(SQLWCHAR), caben));
            if (!quedaMas)
                break;
        }
        return s;
    }
    case Lectura::Bytes: {
        QByteArray b;
        char buf[8192];
        for (bool primera = true;; primera = false) {
            const SQLRETURN rc = SQLGetData(st, c, SQL_C_BINARY, buf, sizeof buf, &ind);
            if (rc == SQL_NO_DATA && !primera)
                break;
            if (!revisa(rc))
                return {};
            if (ind == SQL_NULL_DATA)
                return {};
            const bool quedaMas =
                rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || ind > qsizetype(sizeof buf));
            b.append(buf, quedaMas ? qsizetype(sizeof buf) : std::min<qsizetype>(ind, sizeof buf));
            if (!quedaMas)
                break;
        }
        return b;
    }
    }
    return {};
}

// A column attribute given as text; empty when the driver does not know it.
QString atributoTexto(SQLHSTMT st, SQLUSMALLINT c, SQLUSMALLINT campo) {
    QVarLengthArray<SQLWCHAR, 256> buf(256);
    SQLSMALLINT bytes = 0;
    SQLRETURN rc =
        SQLColAttributeW(st, c, campo, buf.data(),
                         static_cast<SQLSMALLINT>(buf.size() * sizeof(SQLWCHAR)), &bytes, nullptr);
    if (rc == SQL_SUCCESS_WITH_INFO && bytes >= qsizetype(buf.size() * sizeof(SQLWCHAR))) {
        leeRegistros(SQL_HANDLE_STMT, st);
        buf.resize(bytes / sizeof(SQLWCHAR) + 1);
        rc = SQLColAttributeW(st, c, campo, buf.data(),
                              static_cast<SQLSMALLINT>(buf.size() * sizeof(SQLWCHAR)), &bytes,
                              nullptr);
    }
    if (rc != SQL_SUCCESS)
        leeRegistros(SQL_HANDLE_STMT, st); // a field the driver does not keep: nothing known
    if (!SQL_SUCCEEDED(rc))
        return {};
    return deW(buf.data(),
               std::clamp<qsizetype>(bytes / qsizetype(sizeof(SQLWCHAR)), 0, buf.size() - 1));
}

// Describes the current result set's columns and reads all its rows.
void leeFilas(SQLHSTMT st, SQLSMALLINT columnas, const QString& sql, Recorrido& l) {
    QList<Lectura> como;
    bool conTabla = false;
    for (SQLUSMALLINT c = 1; c <= columnas; ++c) {
        QVarLengthArray<SQLWCHAR, 256> nombre(256);
        SQLSMALLINT largo = 0;
        SQLSMALLINT tipo = 0;
        SQLULEN tamano = 0;
        SQLSMALLINT decimales = 0;
        SQLSMALLINT nulos = 0;
        SQLRETURN rc =
            SQLDescribeColW(st, c, nombre.data(), static_cast<SQLSMALLINT>(nombre.size()), &largo,
                            &tipo, &tamano, &decimales, &nulos);
        if (rc == SQL_SUCCESS_WITH_INFO && largo >= nombre.size()) {
            leeRegistros(SQL_HANDLE_STMT, st);
            nombre.resize(largo + 1);
            rc = SQLDescribeColW(st, c, nombre.data(), static_cast<SQLSMALLINT>(nombre.size()),
                                 &largo, &tipo, &tamano, &decimales, &nulos);
        }
        if (rc != SQL_SUCCESS) {
            QList<Error> rs = leeRegistros(SQL_HANDLE_STMT, st);
            if (!SQL_SUCCEEDED(rc)) {
                l.errores(std::move(rs));
                return;
            }
        }
        Columna col;
        col.nombre = deW(nombre.data(), std::clamp<qsizetype>(largo, 0, nombre.size() - 1));
        const QString nombreTipo = tipo == SQL_DECIMAL || tipo == SQL_NUMERIC
                                       ? atributoTexto(st, c, SQL_DESC_TYPE_NAME)
                                       : QString();
        std::tie(col.tipo, col.tamano) = tipoAdo(tipo, tamano, nombreTipo);
        col.tablaBase = atributoTexto(st, c, SQL_DESC_BASE_TABLE_NAME);
        if (col.tablaBase.isEmpty())
            col.tablaBase = atributoTexto(st, c, SQL_DESC_TABLE_NAME);
        col.columnaBase = atributoTexto(st, c, SQL_DESC_BASE_COLUMN_NAME);
        conTabla = conTabla || !col.tablaBase.isEmpty();
        l.r.columnas.append(col);
        como.append(lecturaDe(tipo));
    }
    // Drivers that do not say where a column comes from (FreeTDS among them) leave
    // an updatable recordset only the statement's text to go by.
    if (!conTabla) {
        const QString tabla = tablaDeConsulta(sql);
        for (Columna& col : l.r.columnas)
            col.tablaBase = tabla;
    }
    for (;;) {
        const SQLRETURN rc = SQLFetch(st);
        if (rc == SQL_NO_DATA)
            return;
        if (rc == SQL_SUCCESS_WITH_INFO)
            l.avisos(st);
        else if (rc != SQL_SUCCESS) {
            l.errores(leeRegistros(SQL_HANDLE_STMT, st));
            return;
        }
        QVariantList fila;
        fila.reserve(columnas);
        for (SQLUSMALLINT c = 1; c <= columnas; ++c) {
            fila.append(leeValor(st, c, como[c - 1], l));
            if (l.fallo)
                return;
        }
        l.r.filas.append(std::move(fila));
    }
}

// Goes through every result of an executed statement or batch: the first result
// set with columns gives the rows, the counts of the others add up, and every
// record of every step is kept in order. `rc` is what the execution returned.
Resultado recorre(SQLHSTMT st, SQLRETURN rc, const QString& sql, const char* llamada) {
    Recorrido l;
    for (bool primero = true;; primero = false) {
        if (rc == SQL_NO_DATA && !primero)
            break;
        if (rc == SQL_SUCCESS_WITH_INFO) {
            l.avisos(st);
        } else if (rc == SQL_ERROR) {
            QList<Error> rs = leeRegistros(SQL_HANDLE_STMT, st);
            // Asking for more after the last result can only be out of sequence.
            if (!primero && rs.size() == 1 && rs.first().SQLState == QLatin1String("HY010"))
                break;
            const bool sigue = siguenResultados(rs);
            l.errores(std::move(rs));
            if (!sigue)
                break;
        } else if (rc != SQL_SUCCESS && rc != SQL_NO_DATA) {
            l.errores(leeRegistros(SQL_HANDLE_STMT, st));
            break;
        }
        if (rc != SQL_ERROR) {
            SQLSMALLINT columnas = 0;
            const SQLRETURN rcc = SQLNumResultCols(st, &columnas);
            if (!SQL_SUCCEEDED(rcc)) {
                l.errores(leeRegistros(SQL_HANDLE_STMT, st));
                break;
            }
            if (columnas > 0) {
                // Later result sets are passed over, as a recordset shows the first.
                if (l.r.columnas.isEmpty()) {
                    leeFilas(st, columnas, sql, l);
                    if (l.fallo && !siguenResultados(l.registros))
                        break;
                }
            } else {
                SQLLEN n = -1;
                const SQLRETURN rcn = SQLRowCount(st, &n);
                if (rcn != SQL_SUCCESS)
                    leeRegistros(SQL_HANDLE_STMT, st);
                if (SQL_SUCCEEDED(rcn) && n >= 0)
                    l.r.filasAfectadas = std::max(0L, l.r.filasAfectadas) + static_cast<long>(n);
            }
        }
        rc = SQLMoreResults(st);
    }
    if (l.fallo)
        lanza(std::move(l.registros), llamada);
    l.r.avisos = std::move(l.registros);
    return std::move(l.r);
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
