// A tiny ODBC driver for the tests. The driver manager loads it from its path; it
// answers a handful of statement texts the way SQL Server answers through its
// driver (several records for one failure, warnings on success, time-outs, batches
// read with SQLMoreResults), so the provider can be checked without a server.
//
// Each statement text is split at ';' and every piece gives one result:
//   TRUNCA, DUPLICA, NOTABLA   a failure with SQL Server's records
//   SINREGISTROS               a failure that leaves no record
//   AVISO                      one row changed, with a warning
//   DEMORA                     a time-out when a query time-out is set
//   FILAS n                    n rows changed
//   CONVIERTE                  rows, the second of which fails to convert
//   TIPOS                      one column of each type, a row of values and one of nulls
//   ATRIBUTOS                  the connection and statement attributes as the driver got them
//   SELECT @@IDENTITY          42
//   SELECT n                   n, in a column "n"
//   SELECT ...                 1, in a column "id"; "-- base:T.c" or "-- tabla:T" in the
//                              text says what the driver reports as its source
// Anything else is a syntax error. A connection with UID=rechazado is refused.

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Registro {
    std::string estado;
    SQLINTEGER nativo;
    std::string mensaje;
};

struct Manija {
    explicit Manija(SQLSMALLINT t) : tipo(t) {}
    virtual ~Manija() = default;
    SQLSMALLINT tipo;
    std::vector<Registro> diag;
    SQLRETURN devuelto = SQL_SUCCESS;
};

struct Entorno : Manija {
    Entorno() : Manija(SQL_HANDLE_ENV) {}
    SQLINTEGER version = SQL_OV_ODBC3;
};

struct Conexion : Manija {
    Conexion() : Manija(SQL_HANDLE_DBC) {}
    bool conectada = false;
    SQLULEN autocommit = SQL_AUTOCOMMIT_ON;
    SQLULEN aislamiento = SQL_TXN_READ_COMMITTED;
    SQLULEN esperaLogin = 0;
    std::string catalogo = "master";
    int confirmadas = 0;
    int revertidas = 0;
};

enum class Clase { Nulo, Entero, Real, Texto, Fecha, Bytes };

struct Valor {
    Clase clase = Clase::Nulo;
    long long entero = 0;
    double real = 0;
    std::string texto; // UTF-8, or the bytes of a binary value
    SQL_TIMESTAMP_STRUCT fecha{};
};

struct ColumnaF {
    std::string nombre;
    SQLSMALLINT tipo;
    SQLULEN tamano;
    SQLSMALLINT decimales;
    std::string nombreTipo;
    std::string tablaBase;
    std::string columnaBase;
    std::string tabla;
};

struct ResultadoF {
    SQLRETURN rc = SQL_SUCCESS;
    std::vector<Registro> diag;
    std::vector<ColumnaF> columnas;
    std::vector<std::vector<Valor>> filas;
    SQLLEN filasAfectadas = -1;
    long filaConError = -1; // fetching this row fails with errorDeFila
    Registro errorDeFila;
};

// How a parameter was bound: types, size, and its text when given as SQL_C_CHAR.
struct Parametro {
    SQLSMALLINT tipoC;
    SQLSMALLINT tipoSql;
    SQLULEN tamano;
    SQLSMALLINT decimales;
    std::string texto;
};

struct Sentencia : Manija {
    explicit Sentencia(Conexion* c) : Manija(SQL_HANDLE_STMT), cn(c) {}
    Conexion* cn;
    std::string preparada;
    std::vector<Parametro> parametros;
    SQLULEN espera = 0;
    std::vector<ResultadoF> resultados;
    size_t actual = 0;
    long fila = -1;
    SQLUSMALLINT columnaLeida = 0;
    size_t consumido = 0; // units of that column already handed out
    bool agotada = false;
};

Manija* manija(SQLHANDLE h) {
    return static_cast<Manija*>(h);
}
Sentencia* sentencia(SQLHSTMT h) {
    return static_cast<Sentencia*>(manija(h));
}
Conexion* conexion(SQLHDBC h) {
    return static_cast<Conexion*>(manija(h));
}

SQLRETURN devuelve(Manija* m, SQLRETURN rc, std::vector<Registro> registros = {}) {
    m->diag = std::move(registros);
    m->devuelto = rc;
    return rc;
}

SQLRETURN falla(Manija* m, const char* estado, const char* mensaje) {
    return devuelve(m, SQL_ERROR, {{estado, 0, mensaje}});
}

std::string mayusculas(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string recorta(const std::string& s) {
    const auto a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    const auto b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string texto(const SQLCHAR* s, SQLINTEGER largo) {
    if (!s)
        return {};
    const char* c = reinterpret_cast<const char*>(s);
    return largo < 0 ? std::string(c) : std::string(c, static_cast<size_t>(largo));
}

// Copies a string into an ODBC output buffer; SUCCESS_WITH_INFO when it did not fit.
template <typename Largo>
SQLRETURN copiaTexto(const std::string& s, SQLPOINTER destino, SQLLEN capacidad, Largo* largo) {
    if (largo)
        *largo = static_cast<Largo>(s.size());
    if (!destino || capacidad <= 0)
        return s.empty() ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
    const size_t n = std::min(s.size(), static_cast<size_t>(capacidad - 1));
    std::memcpy(destino, s.data(), n);
    static_cast<char*>(destino)[n] = '\0';
    return n < s.size() ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

std::u16string utf16(const std::string& s) {
    std::u16string r;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        char32_t c;
        size_t n;
        if (b < 0x80) {
            c = b;
            n = 1;
        } else if ((b >> 5) == 6) {
            c = b & 0x1f;
            n = 2;
        } else if ((b >> 4) == 14) {
            c = b & 0x0f;
            n = 3;
        } else {
            c = b & 0x07;
            n = 4;
        }
        for (size_t k = 1; k < n && i + k < s.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
        i += n;
        if (c >= 0x10000) {
            c -= 0x10000;
            r.push_back(static_cast<char16_t>(0xd800 + (c >> 10)));
            r.push_back(static_cast<char16_t>(0xdc00 + (c & 0x3ff)));
        } else {
            r.push_back(static_cast<char16_t>(c));
        }
    }
    return r;
}

Valor entero(long long v) {
    Valor r;
    r.clase = Clase::Entero;
    r.entero = v;
    return r;
}

Valor real(double v) {
    Valor r;
    r.clase = Clase::Real;
    r.real = v;
    return r;
}

Valor cadena(std::string v, Clase clase = Clase::Texto) {
    Valor r;
    r.clase = clase;
    r.texto = std::move(v);
    return r;
}

Valor fecha(SQLSMALLINT a, SQLUSMALLINT m, SQLUSMALLINT d, SQLUSMALLINT h, SQLUSMALLINT mi,
            SQLUSMALLINT s, SQLUINTEGER nanos) {
    Valor r;
    r.clase = Clase::Fecha;
    r.fecha = {a, m, d, h, mi, s, nanos};
    return r;
}

ColumnaF columna(const char* nombre, SQLSMALLINT tipo, SQLULEN tamano, const char* nombreTipo,
                 SQLSMALLINT decimales = 0) {
    return ColumnaF{nombre, tipo, tamano, decimales, nombreTipo, {}, {}, {}};
}

const Registro terminada{"01000", 3621, "The statement has been terminated."};

ResultadoF error(std::vector<Registro> registros) {
    ResultadoF r;
    r.rc = SQL_ERROR;
    r.diag = std::move(registros);
    return r;
}

ResultadoF tipos() {
    ResultadoF r;
    r.columnas = {
        columna("nvarchar", SQL_WVARCHAR, 40, "nvarchar"),
        columna("varchar", SQL_VARCHAR, 10, "varchar"),
        columna("char", SQL_CHAR, 3, "char"),
        columna("nchar", SQL_WCHAR, 2, "nchar"),
        columna("int", SQL_INTEGER, 10, "int"),
        columna("smallint", SQL_SMALLINT, 5, "smallint"),
        columna("tinyint", SQL_TINYINT, 3, "tinyint"),
        columna("bigint", SQL_BIGINT, 19, "bigint"),
        columna("bit", SQL_BIT, 1, "bit"),
        columna("money", SQL_DECIMAL, 19, "money", 4),
        columna("numeric", SQL_NUMERIC, 12, "numeric", 3),
        columna("float", SQL_FLOAT, 53, "float"),
        columna("real", SQL_REAL, 24, "real"),
        columna("datetime", SQL_TYPE_TIMESTAMP, 23, "datetime", 3),
        columna("date", SQL_TYPE_DATE, 10, "date"),
        columna("ntext", SQL_WLONGVARCHAR, 1073741823, "ntext"),
        columna("varbinary", SQL_VARBINARY, 16, "varbinary"),
    };
    std::string largo;
    for (int i = 0; i < 3000; ++i)
        largo += "Añelo-" + std::to_string(i % 10);
    r.filas.push_back({
        cadena("Añelo – Neuquén"),
        cadena("abc"),
        cadena("XY "),
        cadena("ñ"),
        entero(-2147483647),
        entero(-32768),
        entero(255),
        entero(9007199254740993LL),
        entero(1),
        real(1234.5678),
        real(-0.125),
        real(2.5e10),
        real(0.5),
        fecha(2024, 2, 29, 23, 59, 58, 997000000),
        fecha(1999, 12, 31, 0, 0, 0, 0),
        cadena(largo),
        cadena(std::string("\x00\x01\xfe\xff", 4), Clase::Bytes),
    });
    r.filas.emplace_back(r.columnas.size());
    return r;
}

ResultadoF atributos(const Sentencia& s) {
    ResultadoF r;
    r.columnas = {
        columna("AUTOCOMMIT", SQL_INTEGER, 10, "int"),
        columna("AISLAMIENTO", SQL_INTEGER, 10, "int"),
        columna("CATALOGO", SQL_WVARCHAR, 128, "nvarchar"),
        columna("ESPERA_LOGIN", SQL_INTEGER, 10, "int"),
        columna("ESPERA_CONSULTA", SQL_INTEGER, 10, "int"),
        columna("CONFIRMADAS", SQL_INTEGER, 10, "int"),
        columna("REVERTIDAS", SQL_INTEGER, 10, "int"),
    };
    const Conexion& c = *s.cn;
    r.filas.push_back({entero(static_cast<long long>(c.autocommit)),
                       entero(static_cast<long long>(c.aislamiento)), cadena(c.catalogo),
                       entero(static_cast<long long>(c.esperaLogin)),
                       entero(static_cast<long long>(s.espera)), entero(c.confirmadas),
                       entero(c.revertidas)});
    return r;
}

bool esNumero(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

ResultadoF interpreta(const std::string& pieza, const Sentencia& s) {
    const std::string m = mayusculas(pieza);
    if (m == "TRUNCA")
        return error({{"22001", 8152, "String or binary data would be truncated."}, terminada});
    if (m == "DUPLICA")
        return error({{"23000", 2627,
                       "Violation of PRIMARY KEY constraint 'PK_Camiones'. Cannot insert duplicate "
                       "key in object 'dbo.Camiones'."},
                      terminada});
    if (m == "NOTABLA")
        return error({{"42S02", 208, "Invalid object name 'Nada'."}});
    if (m == "SINREGISTROS")
        return error({});
    if (m == "DEMORA") {
        if (s.espera > 0)
            return error({{"HYT00", 0, "Query timeout expired"}});
        return ResultadoF{};
    }
    if (m == "AVISO") {
        ResultadoF r;
        r.rc = SQL_SUCCESS_WITH_INFO;
        r.diag = {{"01000", 5701, "Changed database context to 'Reparto'."}};
        r.filasAfectadas = 1;
        return r;
    }
    if (m.rfind("FILAS ", 0) == 0 && esNumero(recorta(m.substr(6)))) {
        ResultadoF r;
        r.filasAfectadas = std::stol(recorta(m.substr(6)));
        return r;
    }
    if (m == "CONVIERTE") {
        ResultadoF r;
        r.columnas = {columna("n", SQL_INTEGER, 10, "int")};
        r.filas = {{entero(1)}, {entero(2)}};
        r.filaConError = 1;
        r.errorDeFila = {"22018", 245,
                         "Conversion failed when converting the varchar value 'x' to data type "
                         "int."};
        return r;
    }
    if (m == "TIPOS")
        return tipos();
    if (m == "ATRIBUTOS")
        return atributos(s);
    if (m == "PARAMETROS") {
        ResultadoF r;
        r.columnas = {
            columna("TIPO_C", SQL_INTEGER, 10, "int"), columna("TIPO_SQL", SQL_INTEGER, 10, "int"),
            columna("TAMANO", SQL_INTEGER, 10, "int"), columna("DECIMALES", SQL_INTEGER, 10, "int"),
            columna("TEXTO", SQL_WVARCHAR, 100, "nvarchar")};
        for (const Parametro& p : s.parametros)
            r.filas.push_back({entero(p.tipoC), entero(p.tipoSql),
                               entero(static_cast<long long>(p.tamano)), entero(p.decimales),
                               cadena(p.texto)});
        return r;
    }
    if (m == "SELECT @@IDENTITY") {
        ResultadoF r;
        r.columnas = {columna("", SQL_NUMERIC, 38, "numeric")};
        r.filas = {{real(42)}};
        return r;
    }
    if (m.rfind("SELECT ", 0) == 0) {
        const std::string resto = recorta(m.substr(7));
        ResultadoF r;
        if (esNumero(resto)) {
            r.columnas = {columna("n", SQL_INTEGER, 10, "int")};
            r.filas = {{entero(std::stoll(resto))}};
            return r;
        }
        ColumnaF c = columna("id", SQL_INTEGER, 10, "int");
        if (const auto b = pieza.find("-- base:"); b != std::string::npos) {
            const std::string fuente = recorta(pieza.substr(b + 8));
            const auto punto = fuente.find('.');
            c.tablaBase = fuente.substr(0, punto);
            c.columnaBase = punto == std::string::npos ? "" : fuente.substr(punto + 1);
        }
        if (const auto t = pieza.find("-- tabla:"); t != std::string::npos)
            c.tabla = recorta(pieza.substr(t + 9));
        r.columnas = {c};
        r.filas = {{entero(1)}};
        return r;
    }
    return error({{"42000", 102, "Incorrect syntax near '" + pieza + "'."}});
}

SQLRETURN ejecuta(Sentencia* s, const std::string& sql) {
    s->resultados.clear();
    s->actual = 0;
    s->fila = -1;
    s->columnaLeida = 0;
    size_t inicio = 0;
    while (inicio <= sql.size()) {
        auto fin = sql.find(';', inicio);
        if (fin == std::string::npos)
            fin = sql.size();
        const std::string pieza = recorta(sql.substr(inicio, fin - inicio));
        if (!pieza.empty())
            s->resultados.push_back(interpreta(pieza, *s));
        inicio = fin + 1;
    }
    if (s->resultados.empty())
        return falla(s, "42000", "Empty statement.");
    const ResultadoF& r = s->resultados.front();
    return devuelve(s, r.rc, r.diag);
}

const ResultadoF* resultado(const Sentencia* s) {
    return s->actual < s->resultados.size() ? &s->resultados[s->actual] : nullptr;
}

const ColumnaF* columnaDe(Sentencia* s, SQLUSMALLINT n) {
    const ResultadoF* r = resultado(s);
    if (!r || n < 1 || n > r->columnas.size())
        return nullptr;
    return &r->columnas[n - 1];
}

std::string comoTexto(const Valor& v) {
    char b[64];
    switch (v.clase) {
    case Clase::Entero:
        return std::to_string(v.entero);
    case Clase::Real:
        std::snprintf(b, sizeof b, "%.15g", v.real);
        return b;
    case Clase::Fecha:
        std::snprintf(b, sizeof b, "%04d-%02u-%02u %02u:%02u:%02u", v.fecha.year, v.fecha.month,
                      v.fecha.day, v.fecha.hour, v.fecha.minute, v.fecha.second);
        return b;
    default:
        return v.texto;
    }
}

// Hands out a variable-length value in pieces, as SQLGetData does.
template <typename Unidad>
SQLRETURN entregaPorPartes(Sentencia* s, const std::basic_string<Unidad>& datos, bool terminador,
                           SQLPOINTER destino, SQLLEN capacidad, SQLLEN* indicador) {
    const size_t resto = datos.size() - std::min(s->consumido, datos.size());
    if (indicador)
        *indicador = static_cast<SQLLEN>(resto * sizeof(Unidad));
    SQLLEN unidades = capacidad / static_cast<SQLLEN>(sizeof(Unidad)) - (terminador ? 1 : 0);
    if (unidades < 0)
        unidades = 0;
    const size_t n = std::min(resto, static_cast<size_t>(unidades));
    if (destino && capacidad > 0) {
        std::memcpy(destino, datos.data() + s->consumido, n * sizeof(Unidad));
        if (terminador)
            static_cast<Unidad*>(destino)[n] = 0;
    }
    s->consumido += n;
    if (n < resto)
        return devuelve(s, SQL_SUCCESS_WITH_INFO, {{"01004", 0, "String data, right truncated"}});
    s->agotada = true;
    return devuelve(s, SQL_SUCCESS);
}

template <typename T>
SQLRETURN entregaFijo(Sentencia* s, const T& v, SQLPOINTER destino, SQLLEN* indicador) {
    std::memcpy(destino, &v, sizeof v);
    if (indicador)
        *indicador = sizeof v;
    s->agotada = true;
    return devuelve(s, SQL_SUCCESS);
}

} // namespace

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT tipo, SQLHANDLE entrada, SQLHANDLE* salida) {
    switch (tipo) {
    case SQL_HANDLE_ENV:
        *salida = static_cast<Manija*>(new Entorno);
        return SQL_SUCCESS;
    case SQL_HANDLE_DBC:
        *salida = static_cast<Manija*>(new Conexion);
        return SQL_SUCCESS;
    case SQL_HANDLE_STMT:
        *salida = static_cast<Manija*>(new Sentencia(conexion(entrada)));
        return SQL_SUCCESS;
    default:
        return SQL_ERROR;
    }
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT, SQLHANDLE h) {
    delete manija(h);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV h, SQLINTEGER atributo, SQLPOINTER valor, SQLINTEGER) {
    auto* e = static_cast<Entorno*>(manija(h));
    if (atributo == SQL_ATTR_ODBC_VERSION)
        e->version = static_cast<SQLINTEGER>(reinterpret_cast<SQLLEN>(valor));
    return devuelve(e, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV h, SQLINTEGER atributo, SQLPOINTER valor, SQLINTEGER,
                                SQLINTEGER*) {
    auto* e = static_cast<Entorno*>(manija(h));
    if (atributo == SQL_ATTR_ODBC_VERSION && valor) {
        *static_cast<SQLINTEGER*>(valor) = e->version;
        return devuelve(e, SQL_SUCCESS);
    }
    return falla(e, "HY092", "Invalid attribute");
}

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC h, SQLHWND, SQLCHAR* entrada, SQLSMALLINT largoEntrada,
                                   SQLCHAR* salida, SQLSMALLINT capacidad, SQLSMALLINT* largoSalida,
                                   SQLUSMALLINT) {
    Conexion* c = conexion(h);
    const std::string cadena = texto(entrada, largoEntrada);
    if (mayusculas(cadena).find("UID=RECHAZADO") != std::string::npos)
        return devuelve(c, SQL_ERROR, {{"28000", 18456, "Login failed for user 'rechazado'."}});
    c->conectada = true;
    copiaTexto(cadena, salida, capacidad, largoSalida);
    return devuelve(c, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLConnect(SQLHDBC h, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*,
                             SQLSMALLINT) {
    Conexion* c = conexion(h);
    c->conectada = true;
    return devuelve(c, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC h) {
    Conexion* c = conexion(h);
    c->conectada = false;
    return devuelve(c, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC h, SQLINTEGER atributo, SQLPOINTER valor,
                                    SQLINTEGER largo) {
    Conexion* c = conexion(h);
    const auto numero = static_cast<SQLULEN>(reinterpret_cast<SQLLEN>(valor));
    switch (atributo) {
    case SQL_ATTR_AUTOCOMMIT:
        c->autocommit = numero;
        break;
    case SQL_ATTR_TXN_ISOLATION:
        c->aislamiento = numero;
        break;
    case SQL_ATTR_LOGIN_TIMEOUT:
        c->esperaLogin = numero;
        break;
    case SQL_ATTR_CURRENT_CATALOG:
        c->catalogo = texto(static_cast<SQLCHAR*>(valor), largo);
        break;
    default:
        break;
    }
    return devuelve(c, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC h, SQLINTEGER atributo, SQLPOINTER valor,
                                    SQLINTEGER capacidad, SQLINTEGER* largo) {
    Conexion* c = conexion(h);
    switch (atributo) {
    case SQL_ATTR_AUTOCOMMIT:
        *static_cast<SQLUINTEGER*>(valor) = static_cast<SQLUINTEGER>(c->autocommit);
        return devuelve(c, SQL_SUCCESS);
    case SQL_ATTR_TXN_ISOLATION:
        *static_cast<SQLUINTEGER*>(valor) = static_cast<SQLUINTEGER>(c->aislamiento);
        return devuelve(c, SQL_SUCCESS);
    case SQL_ATTR_CURRENT_CATALOG:
        return devuelve(c, copiaTexto(c->catalogo, valor, capacidad, largo));
    default:
        return falla(c, "HY092", "Invalid attribute");
    }
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC h, SQLUSMALLINT tipo, SQLPOINTER valor, SQLSMALLINT capacidad,
                             SQLSMALLINT* largo) {
    Conexion* c = conexion(h);
    const auto corto = [&](SQLUSMALLINT v) {
        if (valor)
            *static_cast<SQLUSMALLINT*>(valor) = v;
        if (largo)
            *largo = sizeof v;
        return devuelve(c, SQL_SUCCESS);
    };
    const auto largoNum = [&](SQLUINTEGER v) {
        if (valor)
            *static_cast<SQLUINTEGER*>(valor) = v;
        if (largo)
            *largo = sizeof v;
        return devuelve(c, SQL_SUCCESS);
    };
    const auto cad = [&](const char* v) {
        return devuelve(c, copiaTexto(v, valor, capacidad, largo));
    };
    switch (tipo) {
    case SQL_DRIVER_ODBC_VER:
        return cad("03.80");
    case SQL_DRIVER_NAME:
        return cad("libdriver_falso.so");
    case SQL_DRIVER_VER:
        return cad("01.00.0000");
    case SQL_DBMS_NAME:
        return cad("Microsoft SQL Server");
    case SQL_DBMS_VER:
        return cad("16.00.1000");
    case SQL_DATA_SOURCE_NAME:
    case SQL_SERVER_NAME:
    case SQL_USER_NAME:
        return cad("");
    case SQL_DATABASE_NAME:
        return cad(c->catalogo.c_str());
    case SQL_SEARCH_PATTERN_ESCAPE:
        return cad("\\");
    case SQL_IDENTIFIER_QUOTE_CHAR:
        return cad("\"");
    case SQL_CURSOR_COMMIT_BEHAVIOR:
    case SQL_CURSOR_ROLLBACK_BEHAVIOR:
        return corto(SQL_CB_PRESERVE);
    case SQL_TXN_CAPABLE:
        return corto(SQL_TC_ALL);
    case SQL_MAX_CONCURRENT_ACTIVITIES:
    case SQL_MAX_DRIVER_CONNECTIONS:
        return corto(0);
    case SQL_GETDATA_EXTENSIONS:
        return largoNum(SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER);
    case SQL_ASYNC_MODE:
    case SQL_ODBC_INTERFACE_CONFORMANCE:
        return largoNum(0);
    default:
        return falla(c, "HY096", "Information type out of range");
    }
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT tipo, SQLHANDLE h, SQLSMALLINT accion) {
    if (tipo != SQL_HANDLE_DBC)
        return SQL_SUCCESS;
    Conexion* c = conexion(h);
    if (accion == SQL_COMMIT)
        ++c->confirmadas;
    else
        ++c->revertidas;
    return devuelve(c, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT h, SQLINTEGER atributo, SQLPOINTER valor, SQLINTEGER) {
    Sentencia* s = sentencia(h);
    if (atributo == SQL_ATTR_QUERY_TIMEOUT)
        s->espera = static_cast<SQLULEN>(reinterpret_cast<SQLLEN>(valor));
    return devuelve(s, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT h, SQLCHAR* sql, SQLINTEGER largo) {
    return ejecuta(sentencia(h), texto(sql, largo));
}

SQLRETURN SQL_API SQLPrepare(SQLHSTMT h, SQLCHAR* sql, SQLINTEGER largo) {
    Sentencia* s = sentencia(h);
    s->preparada = texto(sql, largo);
    return devuelve(s, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT h) {
    Sentencia* s = sentencia(h);
    return ejecuta(s, s->preparada);
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT h, SQLUSMALLINT n, SQLSMALLINT, SQLSMALLINT tipoC,
                                   SQLSMALLINT tipoSql, SQLULEN tamano, SQLSMALLINT decimales,
                                   SQLPOINTER valor, SQLLEN, SQLLEN* indicador) {
    Sentencia* s = sentencia(h);
    if (s->parametros.size() < n)
        s->parametros.resize(n);
    Parametro& p = s->parametros[n - 1];
    p = Parametro{tipoC, tipoSql, tamano, decimales, {}};
    if (tipoC == SQL_C_CHAR && valor && indicador && *indicador >= 0)
        p.texto.assign(static_cast<const char*>(valor), static_cast<size_t>(*indicador));
    return devuelve(s, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT h, SQLSMALLINT* n) {
    Sentencia* s = sentencia(h);
    const ResultadoF* r = resultado(s);
    *n = r ? static_cast<SQLSMALLINT>(r->columnas.size()) : 0;
    return devuelve(s, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT h, SQLLEN* n) {
    Sentencia* s = sentencia(h);
    const ResultadoF* r = resultado(s);
    *n = r ? r->filasAfectadas : -1;
    return devuelve(s, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT h, SQLUSMALLINT n, SQLCHAR* nombre, SQLSMALLINT capacidad,
                                 SQLSMALLINT* largo, SQLSMALLINT* tipo, SQLULEN* tamano,
                                 SQLSMALLINT* decimales, SQLSMALLINT* nulos) {
    Sentencia* s = sentencia(h);
    const ColumnaF* c = columnaDe(s, n);
    if (!c)
        return falla(s, "07009", "Invalid descriptor index");
    const SQLRETURN rc = copiaTexto(c->nombre, nombre, capacidad, largo);
    if (tipo)
        *tipo = c->tipo;
    if (tamano)
        *tamano = c->tamano;
    if (decimales)
        *decimales = c->decimales;
    if (nulos)
        *nulos = SQL_NULLABLE;
    return devuelve(s, rc);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT h, SQLUSMALLINT n, SQLUSMALLINT campo, SQLPOINTER texto,
                                  SQLSMALLINT capacidad, SQLSMALLINT* largo, SQLLEN* numero) {
    Sentencia* s = sentencia(h);
    if (campo == SQL_DESC_COUNT) {
        const ResultadoF* r = resultado(s);
        *numero = r ? static_cast<SQLLEN>(r->columnas.size()) : 0;
        return devuelve(s, SQL_SUCCESS);
    }
    const ColumnaF* c = columnaDe(s, n);
    if (!c)
        return falla(s, "07009", "Invalid descriptor index");
    const auto cad = [&](const std::string& v) {
        return devuelve(s, copiaTexto(v, texto, capacidad, largo));
    };
    const auto num = [&](SQLLEN v) {
        if (numero)
            *numero = v;
        return devuelve(s, SQL_SUCCESS);
    };
    switch (campo) {
    case SQL_DESC_NAME:
    case SQL_DESC_LABEL:
        return cad(c->nombre);
    case SQL_DESC_BASE_TABLE_NAME:
        return cad(c->tablaBase);
    case SQL_DESC_BASE_COLUMN_NAME:
        return cad(c->columnaBase);
    case SQL_DESC_TABLE_NAME:
        return cad(c->tabla);
    case SQL_DESC_TYPE_NAME:
        return cad(c->nombreTipo);
    case SQL_DESC_CATALOG_NAME:
    case SQL_DESC_SCHEMA_NAME:
        return cad("");
    case SQL_DESC_CONCISE_TYPE:
    case SQL_DESC_TYPE:
        return num(c->tipo);
    case SQL_DESC_LENGTH:
    case SQL_DESC_PRECISION:
    case SQL_DESC_DISPLAY_SIZE:
    case SQL_DESC_OCTET_LENGTH:
        return num(static_cast<SQLLEN>(c->tamano));
    case SQL_DESC_SCALE:
        return num(c->decimales);
    case SQL_DESC_NULLABLE:
        return num(SQL_NULLABLE);
    case SQL_DESC_UNSIGNED:
        return num(SQL_FALSE);
    case SQL_DESC_UPDATABLE:
        return num(SQL_ATTR_READWRITE_UNKNOWN);
    default:
        return falla(s, "HY091", "Invalid descriptor field identifier");
    }
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT h) {
    Sentencia* s = sentencia(h);
    const ResultadoF* r = resultado(s);
    if (!r || r->columnas.empty())
        return falla(s, "24000", "Invalid cursor state");
    ++s->fila;
    s->columnaLeida = 0;
    if (s->fila == r->filaConError)
        return devuelve(s, SQL_ERROR, {r->errorDeFila});
    if (s->fila >= static_cast<long>(r->filas.size()))
        return devuelve(s, SQL_NO_DATA);
    return devuelve(s, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT h, SQLUSMALLINT n, SQLSMALLINT tipoC, SQLPOINTER destino,
                             SQLLEN capacidad, SQLLEN* indicador) {
    Sentencia* s = sentencia(h);
    const ResultadoF* r = resultado(s);
    if (!r || s->fila < 0 || s->fila >= static_cast<long>(r->filas.size()))
        return falla(s, "24000", "Invalid cursor state");
    if (n < 1 || n > r->columnas.size())
        return falla(s, "07009", "Invalid descriptor index");
    if (n != s->columnaLeida) {
        s->columnaLeida = n;
        s->consumido = 0;
        s->agotada = false;
    }
    if (s->agotada)
        return devuelve(s, SQL_NO_DATA);
    const Valor& v = r->filas[static_cast<size_t>(s->fila)][n - 1];
    if (v.clase == Clase::Nulo) {
        if (!indicador)
            return falla(s, "22002", "Indicator variable required but not supplied");
        *indicador = SQL_NULL_DATA;
        s->agotada = true;
        return devuelve(s, SQL_SUCCESS);
    }
    switch (tipoC) {
    case SQL_C_WCHAR:
        return entregaPorPartes(s, utf16(comoTexto(v)), true, destino, capacidad, indicador);
    case SQL_C_CHAR:
        return entregaPorPartes(s, comoTexto(v), true, destino, capacidad, indicador);
    case SQL_C_BINARY:
        return entregaPorPartes(s, v.texto, false, destino, capacidad, indicador);
    case SQL_C_SBIGINT:
        if (v.clase == Clase::Entero)
            return entregaFijo(s, static_cast<SQLBIGINT>(v.entero), destino, indicador);
        if (v.clase == Clase::Real)
            return entregaFijo(s, static_cast<SQLBIGINT>(v.real), destino, indicador);
        break;
    case SQL_C_DOUBLE:
        if (v.clase == Clase::Real)
            return entregaFijo(s, static_cast<SQLDOUBLE>(v.real), destino, indicador);
        if (v.clase == Clase::Entero)
            return entregaFijo(s, static_cast<SQLDOUBLE>(v.entero), destino, indicador);
        break;
    case SQL_C_TYPE_TIMESTAMP:
        if (v.clase == Clase::Fecha)
            return entregaFijo(s, v.fecha, destino, indicador);
        break;
    default:
        break;
    }
    return falla(s, "07006", "Restricted data type attribute violation");
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT h) {
    Sentencia* s = sentencia(h);
    s->fila = -1;
    s->columnaLeida = 0;
    if (s->actual < s->resultados.size())
        ++s->actual;
    const ResultadoF* r = resultado(s);
    if (!r)
        return devuelve(s, SQL_NO_DATA);
    return devuelve(s, r->rc, r->diag);
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT h, SQLUSMALLINT opcion) {
    if (opcion == SQL_DROP) {
        delete manija(h);
        return SQL_SUCCESS;
    }
    Sentencia* s = sentencia(h);
    if (opcion == SQL_CLOSE) {
        s->resultados.clear();
        s->actual = 0;
    }
    return devuelve(s, SQL_SUCCESS);
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT h) {
    return SQLFreeStmt(h, SQL_CLOSE);
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT h) {
    return devuelve(sentencia(h), SQL_SUCCESS);
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT, SQLHANDLE h, SQLSMALLINT n, SQLCHAR* estado,
                                SQLINTEGER* nativo, SQLCHAR* mensaje, SQLSMALLINT capacidad,
                                SQLSMALLINT* largo) {
    const Manija* m = manija(h);
    if (n < 1)
        return SQL_ERROR;
    if (static_cast<size_t>(n) > m->diag.size())
        return SQL_NO_DATA;
    const Registro& r = m->diag[static_cast<size_t>(n - 1)];
    if (estado)
        std::memcpy(estado, r.estado.c_str(), 6);
    if (nativo)
        *nativo = r.nativo;
    return copiaTexto(r.mensaje, mensaje, capacidad, largo);
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT, SQLHANDLE h, SQLSMALLINT n, SQLSMALLINT campo,
                                  SQLPOINTER valor, SQLSMALLINT capacidad, SQLSMALLINT* largo) {
    const Manija* m = manija(h);
    if (n == 0) {
        switch (campo) {
        case SQL_DIAG_NUMBER:
            *static_cast<SQLINTEGER*>(valor) = static_cast<SQLINTEGER>(m->diag.size());
            return SQL_SUCCESS;
        case SQL_DIAG_RETURNCODE:
            *static_cast<SQLRETURN*>(valor) = m->devuelto;
            return SQL_SUCCESS;
        case SQL_DIAG_ROW_COUNT:
        case SQL_DIAG_CURSOR_ROW_COUNT:
            *static_cast<SQLLEN*>(valor) = 0;
            return SQL_SUCCESS;
        case SQL_DIAG_DYNAMIC_FUNCTION_CODE:
            *static_cast<SQLINTEGER*>(valor) = SQL_DIAG_UNKNOWN_STATEMENT;
            return SQL_SUCCESS;
        case SQL_DIAG_DYNAMIC_FUNCTION:
            return copiaTexto("", valor, capacidad, largo);
        default:
            return SQL_ERROR;
        }
    }
    if (n < 0)
        return SQL_ERROR;
    if (static_cast<size_t>(n) > m->diag.size())
        return SQL_NO_DATA;
    const Registro& r = m->diag[static_cast<size_t>(n - 1)];
    switch (campo) {
    case SQL_DIAG_SQLSTATE:
        return copiaTexto(r.estado, valor, capacidad, largo);
    case SQL_DIAG_NATIVE:
        *static_cast<SQLINTEGER*>(valor) = r.nativo;
        return SQL_SUCCESS;
    case SQL_DIAG_MESSAGE_TEXT:
        return copiaTexto(r.mensaje, valor, capacidad, largo);
    case SQL_DIAG_CLASS_ORIGIN:
    case SQL_DIAG_SUBCLASS_ORIGIN:
        return copiaTexto("ISO 9075", valor, capacidad, largo);
    case SQL_DIAG_CONNECTION_NAME:
    case SQL_DIAG_SERVER_NAME:
        return copiaTexto("", valor, capacidad, largo);
    case SQL_DIAG_COLUMN_NUMBER:
        *static_cast<SQLINTEGER*>(valor) = SQL_COLUMN_NUMBER_UNKNOWN;
        return SQL_SUCCESS;
    case SQL_DIAG_ROW_NUMBER:
        *static_cast<SQLLEN*>(valor) = SQL_ROW_NUMBER_UNKNOWN;
        return SQL_SUCCESS;
    default:
        return SQL_ERROR;
    }
}

} // extern "C"
