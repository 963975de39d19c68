#include "ado/odbc/Resultados.h"

#include "ado/odbc/Diagnosticos.h"
#include "platform/sql/LexicoSql.h"

#include <QDateTime>
#include <QVarLengthArray>

#include <algorithm>
#include <tuple>

namespace ado::detalle::odbc {

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

namespace {

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

} // namespace

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

} // namespace ado::detalle::odbc
