#include "ado/sqlite/FuncionesTSql.h"

#include "ado/sqlite/Calendario.h"

#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

namespace ado::sqlite {

namespace {

const char kErrFecha[] =
    "Conversion failed when converting date and/or time from character string.";

bool EsNulo(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_NULL;
}

int64_t CuentaCaracteres(const unsigned char* s, int n) {
    int64_t c = 0;
    for (int i = 0; i < n; ++i)
        c += (s[i] & 0xC0) != 0x80;
    return c;
}

// Byte offset of the character number `car` (0-based) of the UTF-8 text, or n past the end.
int DesplazamientoDe(const unsigned char* s, int n, int64_t car) {
    int i = 0;
    while (i < n && car > 0) {
        ++i;
        while (i < n && (s[i] & 0xC0) == 0x80)
            ++i;
        --car;
    }
    return i;
}

// A date from a value: text in any accepted form, or a number of days since 1900-01-01.
// 1 read, 0 not a date, -1 NULL.
int LeeFechaValor(sqlite3_value* v, FechaHora& f) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return -1;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        const double dias = sqlite3_value_double(v);
        if (!(std::fabs(dias) < 3.0e6))
            return 0;
        const int64_t ms = DiasDesdeCivil(1900, 1, 1) * kMilisDia +
                           int64_t(std::llround(dias * double(kMilisDia)));
        return DesdeMilis(ms, f) ? 1 : 0;
    }
    default: {
        const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
        if (!s)
            return 0;
        const int n = sqlite3_value_bytes(v);
        return LeeFecha(s, s + n, kIso | kDma | kCompacta | kSoloHora, f) ? 1 : 0;
    }
    }
}

void DevuelveFecha(sqlite3_context* ctx, const FechaHora& f) {
    char buf[32];
    const int n = FormateaCanonica(f, buf);
    sqlite3_result_text(ctx, buf, n, SQLITE_TRANSIENT);
}

void FnLen(sqlite3_context* ctx, int, sqlite3_value** a) {
    if (EsNulo(a[0]))
        return sqlite3_result_null(ctx);
    const unsigned char* s = sqlite3_value_text(a[0]);
    int n = sqlite3_value_bytes(a[0]);
    if (!s)
        return sqlite3_result_error_nomem(ctx);
    while (n > 0 && s[n - 1] == ' ')
        --n;
    sqlite3_result_int64(ctx, CuentaCaracteres(s, n));
}

// Case-insensitive, like the server's default collation.
void FnCharindex(sqlite3_context* ctx, int argc, sqlite3_value** a) {
    if (EsNulo(a[0]) || EsNulo(a[1]) || (argc > 2 && EsNulo(a[2])))
        return sqlite3_result_null(ctx);
    const auto buscado = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(a[0])),
                                           sqlite3_value_bytes(a[0]));
    const auto texto = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(a[1])),
                                         sqlite3_value_bytes(a[1]));
    int64_t desde = argc > 2 ? sqlite3_value_int64(a[2]) : 1;
    if (desde < 1)
        desde = 1;
    if (buscado.isEmpty() || desde > texto.size())
        return sqlite3_result_int(ctx, 0);
    sqlite3_result_int64(ctx, texto.indexOf(buscado, desde - 1, Qt::CaseInsensitive) + 1);
}

// Character-typed results of SQL Server are limited to 8000 unless declared MAX.
constexpr int kLargoMaximo = 8000;

void FnSpace(sqlite3_context* ctx, int, sqlite3_value** a) {
    if (EsNulo(a[0]))
        return sqlite3_result_null(ctx);
    const int64_t n = sqlite3_value_int64(a[0]);
    if (n < 0)
        return sqlite3_result_null(ctx);
    const std::string s(size_t(std::min<int64_t>(n, kLargoMaximo)), ' ');
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

void FnReplicate(sqlite3_context* ctx, int, sqlite3_value** a) {
    if (EsNulo(a[0]) || EsNulo(a[1]))
        return sqlite3_result_null(ctx);
    const int64_t veces = sqlite3_value_int64(a[1]);
    if (veces < 0)
        return sqlite3_result_null(ctx);
    const unsigned char* s = sqlite3_value_text(a[0]);
    const int n = sqlite3_value_bytes(a[0]);
    const int64_t caracteres = CuentaCaracteres(s, n);
    std::string r;
    if (caracteres > 0) {
        const int64_t cabe = std::min<int64_t>(veces, kLargoMaximo / caracteres + 1);
        r.reserve(size_t(cabe * n));
        for (int64_t i = 0; i < cabe; ++i)
            r.append(reinterpret_cast<const char*>(s), size_t(n));
        const auto* u = reinterpret_cast<const unsigned char*>(r.data());
        r.resize(size_t(DesplazamientoDe(u, int(r.size()), kLargoMaximo)));
    }
    sqlite3_result_text(ctx, r.data(), int(r.size()), SQLITE_TRANSIENT);
}

void FnLeftRight(sqlite3_context* ctx, int, sqlite3_value** a, bool izquierda) {
    if (EsNulo(a[0]) || EsNulo(a[1]))
        return sqlite3_result_null(ctx);
    const int64_t cuantos = sqlite3_value_int64(a[1]);
    if (cuantos < 0)
        return sqlite3_result_error(ctx,
                                    izquierda
                                        ? "Invalid length parameter passed to the left function."
                                        : "Invalid length parameter passed to the right function.",
                                    -1);
    const unsigned char* s = sqlite3_value_text(a[0]);
    const int n = sqlite3_value_bytes(a[0]);
    if (!s)
        return sqlite3_result_error_nomem(ctx);
    const auto* c = reinterpret_cast<const char*>(s);
    if (izquierda)
        return sqlite3_result_text(ctx, c, DesplazamientoDe(s, n, cuantos), SQLITE_TRANSIENT);
    const int64_t total = CuentaCaracteres(s, n);
    const int desde = total > cuantos ? DesplazamientoDe(s, n, total - cuantos) : 0;
    sqlite3_result_text(ctx, c + desde, n - desde, SQLITE_TRANSIENT);
}
void FnLeft(sqlite3_context* ctx, int argc, sqlite3_value** a) {
    FnLeftRight(ctx, argc, a, true);
}
void FnRight(sqlite3_context* ctx, int argc, sqlite3_value** a) {
    FnLeftRight(ctx, argc, a, false);
}

// STR(number [, length [, decimals]]): right-aligned; fewer decimals when they do not fit,
// asterisks when the integer part does not.
void FnStr(sqlite3_context* ctx, int argc, sqlite3_value** a) {
    for (int i = 0; i < argc; ++i)
        if (EsNulo(a[i]))
            return sqlite3_result_null(ctx);
    const double v = sqlite3_value_double(a[0]);
    const int64_t largo = argc > 1 ? sqlite3_value_int64(a[1]) : 10;
    int64_t dec = argc > 2 ? sqlite3_value_int64(a[2]) : 0;
    if (largo <= 0 || largo > kLargoMaximo)
        return sqlite3_result_null(ctx);
    dec = std::clamp<int64_t>(dec, 0, 16);
    char buf[400];
    int n = 0;
    for (;; --dec) {
        // Halves away from zero, as the server rounds (printf would round them to even).
        const double escala = std::pow(10.0, double(dec));
        const double r = std::fabs(v) < 1e15 ? std::round(v * escala) / escala : v;
        n = std::snprintf(buf, sizeof buf, "%.*f", int(dec), r);
        if (n <= largo || dec == 0)
            break;
    }
    if (n < 0 || n > largo)
        return sqlite3_result_text(ctx, std::string(size_t(largo), '*').c_str(), int(largo),
                                   SQLITE_TRANSIENT);
    std::string r(size_t(largo - n), ' ');
    r.append(buf, size_t(n));
    sqlite3_result_text(ctx, r.data(), int(r.size()), SQLITE_TRANSIENT);
}

void FnGetdate(sqlite3_context* ctx, int, sqlite3_value**) {
    const std::time_t ahora = std::time(nullptr);
    std::tm t{};
    localtime_r(&ahora, &t);
    FechaHora f;
    f.anio = t.tm_year + 1900;
    f.mes = t.tm_mon + 1;
    f.dia = t.tm_mday;
    f.hora = t.tm_hour;
    f.minuto = t.tm_min;
    f.segundo = std::min(t.tm_sec, 59);
    DevuelveFecha(ctx, f);
}

template <int Campo> void FnParteFecha(sqlite3_context* ctx, int, sqlite3_value** a) {
    FechaHora f;
    const int r = LeeFechaValor(a[0], f);
    if (r < 0)
        return sqlite3_result_null(ctx);
    if (r == 0)
        return sqlite3_result_error(ctx, kErrFecha, -1);
    sqlite3_result_int(ctx, Campo == 0 ? f.anio : Campo == 1 ? f.mes : f.dia);
}

enum class Parte {
    Anio,
    Trimestre,
    Mes,
    DiaDelAnio,
    Dia,
    Semana,
    DiaSemana,
    Hora,
    Minuto,
    Segundo,
    Milisegundo,
    Invalida
};

Parte LeeParte(sqlite3_value* v) {
    const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
    if (!s)
        return Parte::Invalida;
    struct Nombre {
        const char* nombre;
        Parte parte;
    };
    static const Nombre nombres[] = {
        {"year", Parte::Anio},
        {"yy", Parte::Anio},
        {"yyyy", Parte::Anio},
        {"quarter", Parte::Trimestre},
        {"qq", Parte::Trimestre},
        {"q", Parte::Trimestre},
        {"month", Parte::Mes},
        {"mm", Parte::Mes},
        {"m", Parte::Mes},
        {"dayofyear", Parte::DiaDelAnio},
        {"dy", Parte::DiaDelAnio},
        {"y", Parte::DiaDelAnio},
        {"day", Parte::Dia},
        {"dd", Parte::Dia},
        {"d", Parte::Dia},
        {"week", Parte::Semana},
        {"wk", Parte::Semana},
        {"ww", Parte::Semana},
        {"weekday", Parte::DiaSemana},
        {"dw", Parte::DiaSemana},
        {"w", Parte::DiaSemana},
        {"hour", Parte::Hora},
        {"hh", Parte::Hora},
        {"minute", Parte::Minuto},
        {"mi", Parte::Minuto},
        {"n", Parte::Minuto},
        {"second", Parte::Segundo},
        {"ss", Parte::Segundo},
        {"s", Parte::Segundo},
        {"millisecond", Parte::Milisegundo},
        {"ms", Parte::Milisegundo},
    };
    for (const Nombre& n : nombres)
        if (sqlite3_stricmp(s, n.nombre) == 0)
            return n.parte;
    return Parte::Invalida;
}

// Monday is day 1, as with the Spanish language's DATEFIRST.
int DiaSemana(int64_t dias) {
    return int(DivPiso(dias + 3, 7) * -7 + dias + 3) + 1;
}

void FnDateadd(sqlite3_context* ctx, int, sqlite3_value** a) {
    const Parte parte = LeeParte(a[0]);
    if (parte == Parte::Invalida)
        return sqlite3_result_error(ctx, "Invalid parameter 1 specified for dateadd.", -1);
    if (EsNulo(a[1]))
        return sqlite3_result_null(ctx);
    FechaHora f;
    const int r = LeeFechaValor(a[2], f);
    if (r < 0)
        return sqlite3_result_null(ctx);
    if (r == 0)
        return sqlite3_result_error(ctx, kErrFecha, -1);
    const int64_t n = sqlite3_value_int64(a[1]);
    if (n > 100000000 || n < -100000000)
        return sqlite3_result_error(
            ctx, "Adding a value to a 'datetime' column caused an overflow.", -1);
    int64_t meses = 0, ms = 0;
    switch (parte) {
    case Parte::Anio:
        meses = n * 12;
        break;
    case Parte::Trimestre:
        meses = n * 3;
        break;
    case Parte::Mes:
        meses = n;
        break;
    case Parte::Semana:
        ms = n * 7 * kMilisDia;
        break;
    case Parte::Hora:
        ms = n * 3600000;
        break;
    case Parte::Minuto:
        ms = n * 60000;
        break;
    case Parte::Segundo:
        ms = n * 1000;
        break;
    case Parte::Milisegundo:
        ms = n;
        break;
    default:
        ms = n * kMilisDia;
        break;
    }
    bool bien = true;
    if (meses) {
        const int64_t total = f.anio * 12LL + (f.mes - 1) + meses;
        bien = total >= 12 && total < 12 * 10000;
        if (bien) {
            f.anio = int(total / 12);
            f.mes = int(total % 12) + 1;
            f.dia = std::min(f.dia, DiasDelMes(f.anio, f.mes));
        }
    } else {
        bien = DesdeMilis(AMilis(f) + ms, f);
    }
    if (!bien)
        return sqlite3_result_error(
            ctx, "Adding a value to a 'datetime' column caused an overflow.", -1);
    DevuelveFecha(ctx, f);
}

// Counts the boundaries of `parte` crossed from a to b, as SQL Server does.
void FnDatediff(sqlite3_context* ctx, int, sqlite3_value** a) {
    const Parte parte = LeeParte(a[0]);
    if (parte == Parte::Invalida)
        return sqlite3_result_error(ctx, "Invalid parameter 1 specified for datediff.", -1);
    FechaHora x, y;
    const int r1 = LeeFechaValor(a[1], x);
    const int r2 = LeeFechaValor(a[2], y);
    if (r1 < 0 || r2 < 0)
        return sqlite3_result_null(ctx);
    if (r1 == 0 || r2 == 0)
        return sqlite3_result_error(ctx, kErrFecha, -1);
    const int64_t mx = AMilis(x), my = AMilis(y);
    const int64_t dx = DivPiso(mx, kMilisDia), dy = DivPiso(my, kMilisDia);
    int64_t r = 0;
    switch (parte) {
    case Parte::Anio:
        r = y.anio - x.anio;
        break;
    case Parte::Trimestre:
        r = (y.anio * 4LL + (y.mes - 1) / 3) - (x.anio * 4LL + (x.mes - 1) / 3);
        break;
    case Parte::Mes:
        r = (y.anio * 12LL + y.mes) - (x.anio * 12LL + x.mes);
        break;
    case Parte::Semana: // weeks end on Saturday here, whatever DATEFIRST says
        r = DivPiso(dy + 4, 7) - DivPiso(dx + 4, 7);
        break;
    case Parte::Hora:
        r = DivPiso(my, 3600000) - DivPiso(mx, 3600000);
        break;
    case Parte::Minuto:
        r = DivPiso(my, 60000) - DivPiso(mx, 60000);
        break;
    case Parte::Segundo:
        r = DivPiso(my, 1000) - DivPiso(mx, 1000);
        break;
    case Parte::Milisegundo:
        r = my - mx;
        break;
    default:
        r = dy - dx;
        break;
    }
    sqlite3_result_int64(ctx, r);
}

void FnDatepart(sqlite3_context* ctx, int, sqlite3_value** a) {
    const Parte parte = LeeParte(a[0]);
    if (parte == Parte::Invalida)
        return sqlite3_result_error(ctx, "Invalid parameter 1 specified for datepart.", -1);
    FechaHora f;
    const int r = LeeFechaValor(a[1], f);
    if (r < 0)
        return sqlite3_result_null(ctx);
    if (r == 0)
        return sqlite3_result_error(ctx, kErrFecha, -1);
    const int64_t dias = DiasDesdeCivil(f.anio, f.mes, f.dia);
    const int64_t diaDelAnio = dias - DiasDesdeCivil(f.anio, 1, 1) + 1;
    int64_t v = 0;
    switch (parte) {
    case Parte::Anio:
        v = f.anio;
        break;
    case Parte::Trimestre:
        v = (f.mes - 1) / 3 + 1;
        break;
    case Parte::Mes:
        v = f.mes;
        break;
    case Parte::DiaDelAnio:
        v = diaDelAnio;
        break;
    case Parte::Dia:
        v = f.dia;
        break;
    case Parte::Semana:
        v = (diaDelAnio - 1 + DiaSemana(DiasDesdeCivil(f.anio, 1, 1)) - 1) / 7 + 1;
        break;
    case Parte::DiaSemana:
        v = DiaSemana(dias);
        break;
    case Parte::Hora:
        v = f.hora;
        break;
    case Parte::Minuto:
        v = f.minuto;
        break;
    case Parte::Segundo:
        v = f.segundo;
        break;
    default:
        v = f.milis;
        break;
    }
    sqlite3_result_int64(ctx, v);
}

// ---- CONVERT / CAST ----

struct TipoSql {
    enum Clase { Texto, Entero, Decimal, Flotante, Bit, FechaHora, Fecha, Hora, FechaCorta, Otro };
    Clase clase = Otro;
    int64_t largo = 30; // characters; -1 for MAX
    bool fijo = false;  // CHAR/NCHAR pad with blanks
    int escala = 0;
    int64_t minimo = 0, maximo = 0;
};

TipoSql LeeTipo(const char* s) {
    TipoSql t;
    char nombre[24];
    size_t n = 0;
    while (*s == ' ')
        ++s;
    while (*s && *s != '(' && *s != ' ' && n + 1 < sizeof nombre)
        nombre[n++] = char(std::toupper(static_cast<unsigned char>(*s++)));
    nombre[n] = 0;
    while (*s == ' ')
        ++s;
    int64_t args[2] = {-2, -2};
    int nargs = 0;
    if (*s == '(') {
        ++s;
        while (*s && *s != ')' && nargs < 2) {
            while (*s == ' ')
                ++s;
            if (sqlite3_strnicmp(s, "MAX", 3) == 0) {
                args[nargs++] = -1;
                s += 3;
            } else {
                char* resto = nullptr;
                args[nargs++] = std::strtoll(s, &resto, 10);
                s = resto;
            }
            while (*s == ' ')
                ++s;
            if (*s == ',')
                ++s;
            else
                break;
        }
    }
    auto es = [&](const char* x) { return std::strcmp(nombre, x) == 0; };
    if (es("VARCHAR") || es("NVARCHAR") || es("CHAR") || es("NCHAR") || es("CHARACTER")) {
        t.clase = TipoSql::Texto;
        t.fijo = es("CHAR") || es("NCHAR") || es("CHARACTER");
        if (args[0] == -1 || args[0] > 0)
            t.largo = args[0];
    } else if (es("TEXT") || es("NTEXT") || es("SYSNAME")) {
        t.clase = TipoSql::Texto;
        t.largo = es("SYSNAME") ? 128 : -1;
    } else if (es("INT") || es("INTEGER")) {
        t = {TipoSql::Entero,
             0,
             false,
             0,
             std::numeric_limits<int32_t>::min(),
             std::numeric_limits<int32_t>::max()};
    } else if (es("BIGINT")) {
        t = {TipoSql::Entero,
             0,
             false,
             0,
             std::numeric_limits<int64_t>::min(),
             std::numeric_limits<int64_t>::max()};
    } else if (es("SMALLINT")) {
        t = {TipoSql::Entero, 0, false, 0, -32768, 32767};
    } else if (es("TINYINT")) {
        t = {TipoSql::Entero, 0, false, 0, 0, 255};
    } else if (es("DECIMAL") || es("NUMERIC") || es("DEC")) {
        t.clase = TipoSql::Decimal;
        t.escala = args[1] > 0 ? int(std::min<int64_t>(args[1], 38)) : 0;
    } else if (es("MONEY") || es("SMALLMONEY")) {
        t.clase = TipoSql::Decimal;
        t.escala = 4;
    } else if (es("FLOAT") || es("REAL") || es("DOUBLE")) {
        t.clase = TipoSql::Flotante;
    } else if (es("BIT")) {
        t.clase = TipoSql::Bit;
    } else if (es("DATETIME") || es("DATETIME2") || es("DATETIMEOFFSET")) {
        t.clase = TipoSql::FechaHora;
    } else if (es("SMALLDATETIME")) {
        t.clase = TipoSql::FechaCorta;
    } else if (es("DATE")) {
        t.clase = TipoSql::Fecha;
    } else if (es("TIME")) {
        t.clase = TipoSql::Hora;
    }
    return t;
}

// Shortest text that reads back as the same double, without an exponent for ordinary values.
int FormateaReal(double v, char* buf, size_t tam) {
    int n = std::snprintf(buf, tam, "%.15g", v);
    if (n > 0 && std::strtod(buf, nullptr) != v)
        n = std::snprintf(buf, tam, "%.17g", v);
    return n;
}

// The value as text of at most `largo` characters (the CONVERT/CAST to a char type).
void ConvierteTexto(sqlite3_context* ctx, sqlite3_value* v, const TipoSql& t, int estilo) {
    char buf[64];
    const char* s = nullptr;
    int n = 0;
    std::string propio;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        n = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(sqlite3_value_int64(v)));
        s = buf;
        break;
    case SQLITE_FLOAT:
        n = FormateaReal(sqlite3_value_double(v), buf, sizeof buf);
        s = buf;
        break;
    default: {
        s = reinterpret_cast<const char*>(sqlite3_value_text(v));
        n = sqlite3_value_bytes(v);
        if (!s)
            return sqlite3_result_error_nomem(ctx);
        // A style formats dates; our dates are ISO text. Any other text keeps its form.
        FechaHora f;
        if (estilo >= 0 && LeeFecha(s, s + n, kIso, f) &&
            FormateaEstilo(f, estilo, buf, sizeof buf)) {
            s = buf;
            n = int(std::strlen(buf));
        }
    }
    }
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    if (t.largo >= 0) {
        const int corte = DesplazamientoDe(u, n, t.largo);
        if (t.fijo) {
            const int64_t tiene = CuentaCaracteres(u, corte);
            if (tiene < t.largo) {
                propio.assign(s, size_t(corte));
                propio.append(size_t(t.largo - tiene), ' ');
                return sqlite3_result_text(ctx, propio.data(), int(propio.size()),
                                           SQLITE_TRANSIENT);
            }
        }
        n = corte;
    }
    sqlite3_result_text(ctx, s, n, SQLITE_TRANSIENT);
}

// Numeric text as SQL Server reads it: blanks around, sign, digits, one point; an exponent
// only for FLOAT.
bool LeeNumeroTexto(const char* s, int n, bool exponente, double& v, bool& entero) {
    const char* p = s;
    const char* fin = s + n;
    while (p < fin && *p == ' ')
        ++p;
    while (fin > p && fin[-1] == ' ')
        --fin;
    if (p == fin)
        return false;
    const std::string copia(p, fin);
    const char* q = copia.c_str();
    size_t i = 0;
    if (q[i] == '+' || q[i] == '-')
        ++i;
    bool digitos = false, punto = false;
    entero = true;
    for (; q[i]; ++i) {
        if (q[i] >= '0' && q[i] <= '9') {
            digitos = true;
        } else if (q[i] == '.' && !punto) {
            punto = true;
            entero = false;
        } else if ((q[i] == 'e' || q[i] == 'E') && exponente && digitos) {
            entero = false;
            ++i;
            if (q[i] == '+' || q[i] == '-')
                ++i;
            if (!q[i])
                return false;
            for (; q[i]; ++i)
                if (q[i] < '0' || q[i] > '9')
                    return false;
            break;
        } else {
            return false;
        }
    }
    if (!digitos)
        return false;
    v = std::strtod(q, nullptr);
    return std::isfinite(v);
}

void ErrorConversion(sqlite3_context* ctx, sqlite3_value* v, const char* destino) {
    const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
    char* msg = sqlite3_mprintf("Conversion failed when converting the varchar value '%s' to "
                                "data type %s.",
                                s ? s : "", destino);
    sqlite3_result_error(ctx, msg ? msg : "Conversion failed.", -1);
    sqlite3_free(msg);
}

void Convierte(sqlite3_context* ctx, sqlite3_value* v, const TipoSql& t, int estilo) {
    if (EsNulo(v))
        return sqlite3_result_null(ctx);
    const int tipo = sqlite3_value_type(v);
    switch (t.clase) {
    case TipoSql::Texto:
        return ConvierteTexto(ctx, v, t, estilo);
    case TipoSql::Entero: {
        int64_t e = 0;
        if (tipo == SQLITE_INTEGER) {
            e = sqlite3_value_int64(v);
        } else if (tipo == SQLITE_FLOAT) {
            const double d = std::trunc(sqlite3_value_double(v));
            if (!(d >= -9.2e18 && d <= 9.2e18))
                return sqlite3_result_error(ctx,
                                            "Arithmetic overflow error converting expression "
                                            "to data type int.",
                                            -1);
            e = int64_t(d);
        } else {
            const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
            const int n = sqlite3_value_bytes(v);
            double d = 0;
            bool entero = false;
            int k = 0;
            while (k < n && s[k] == ' ')
                ++k;
            if (k == n)
                e = 0; // SQL Server reads a blank text as 0
            else if (!LeeNumeroTexto(s, n, false, d, entero) || !entero)
                return ErrorConversion(ctx, v, "int");
            else if (!(d >= -9.2e18 && d <= 9.2e18))
                return sqlite3_result_error(ctx,
                                            "Arithmetic overflow error converting expression "
                                            "to data type int.",
                                            -1);
            else
                e = std::strtoll(s + k, nullptr, 10);
        }
        if (e < t.minimo || e > t.maximo)
            return sqlite3_result_error(ctx,
                                        "Arithmetic overflow error converting expression to "
                                        "data type int.",
                                        -1);
        return sqlite3_result_int64(ctx, e);
    }
    case TipoSql::Decimal:
    case TipoSql::Flotante: {
        double d = 0;
        if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) {
            d = sqlite3_value_double(v);
        } else {
            const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
            const int n = sqlite3_value_bytes(v);
            bool entero = false;
            int k = 0;
            while (k < n && s[k] == ' ')
                ++k;
            if (k == n && t.clase == TipoSql::Flotante)
                d = 0;
            else if (!LeeNumeroTexto(s, n, t.clase == TipoSql::Flotante, d, entero))
                return sqlite3_result_error(ctx, "Error converting data type varchar to numeric.",
                                            -1);
        }
        if (t.clase == TipoSql::Flotante)
            return sqlite3_result_double(ctx, d);
        const double escala = std::pow(10.0, t.escala);
        const double r = std::round(d * escala) / escala;
        if (t.escala == 0 && std::fabs(r) < 9.0e18)
            return sqlite3_result_int64(ctx, int64_t(r));
        return sqlite3_result_double(ctx, r);
    }
    case TipoSql::Bit: {
        if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT)
            return sqlite3_result_int(ctx, sqlite3_value_double(v) != 0);
        const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const int n = sqlite3_value_bytes(v);
        double d = 0;
        bool entero = false;
        if (sqlite3_stricmp(s, "TRUE") == 0)
            return sqlite3_result_int(ctx, 1);
        if (sqlite3_stricmp(s, "FALSE") == 0)
            return sqlite3_result_int(ctx, 0);
        if (!LeeNumeroTexto(s, n, false, d, entero))
            return ErrorConversion(ctx, v, "bit");
        return sqlite3_result_int(ctx, d != 0);
    }
    case TipoSql::FechaHora:
    case TipoSql::FechaCorta:
    case TipoSql::Fecha:
    case TipoSql::Hora: {
        FechaHora f;
        bool bien = false;
        if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) {
            bien = LeeFechaValor(v, f) == 1;
        } else {
            const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
            const int n = sqlite3_value_bytes(v);
            unsigned formas = kIso | kDma | kCompacta | kSoloHora;
            if (estilo == 1 || estilo == 101 || estilo == 10 || estilo == 110)
                formas = kIso | kMda | kCompacta | kSoloHora;
            bien = s && LeeFecha(s, s + n, formas, f);
        }
        if (!bien)
            return sqlite3_result_error(ctx, kErrFecha, -1);
        if (t.clase == TipoSql::Fecha) {
            f.hora = f.minuto = f.segundo = f.milis = 0;
        } else if (t.clase == TipoSql::FechaCorta) {
            const int64_t ms = AMilis(f);
            DesdeMilis(DivPiso(ms + 30000, 60000) * 60000, f);
        } else if (t.clase == TipoSql::Hora) {
            char buf[32];
            int n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", f.hora, f.minuto, f.segundo);
            if (f.milis)
                n += std::snprintf(buf + n, sizeof buf - size_t(n), ".%03d", f.milis);
            return sqlite3_result_text(ctx, buf, n, SQLITE_TRANSIENT);
        }
        return DevuelveFecha(ctx, f);
    }
    case TipoSql::Otro:
        break;
    }
    sqlite3_result_value(ctx, v);
}

// The type text is a literal written by the rewriter: it is parsed once per statement and
// kept as the argument's auxiliary data (stored last, as SQLite may free it at once).
void ConvierteConTipo(sqlite3_context* ctx, sqlite3_value* valor, sqlite3_value* tipo, int arg,
                      int estilo) {
    if (const auto* guardado = static_cast<const TipoSql*>(sqlite3_get_auxdata(ctx, arg)))
        return Convierte(ctx, valor, *guardado, estilo);
    const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(tipo));
    if (!s)
        return sqlite3_result_error(ctx, "CONVERT without a type.", -1);
    const TipoSql t = LeeTipo(s);
    Convierte(ctx, valor, t, estilo);
    sqlite3_set_auxdata(ctx, arg, new TipoSql(t), [](void* p) { delete static_cast<TipoSql*>(p); });
}

void FnConvert(sqlite3_context* ctx, int argc, sqlite3_value** a) {
    const int estilo = argc > 2 && !EsNulo(a[2]) ? int(sqlite3_value_int(a[2])) : -1;
    ConvierteConTipo(ctx, a[1], a[0], 0, estilo);
}

void FnCast(sqlite3_context* ctx, int, sqlite3_value** a) {
    ConvierteConTipo(ctx, a[0], a[1], 1, -1);
}

} // namespace

void RegistraFuncionesTSql(sqlite3* db) {
    struct Funcion {
        const char* nombre;
        int args;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
        bool determinista;
    };
    static const Funcion funciones[] = {
        {"LEN", 1, FnLen, true},
        {"CHARINDEX", 2, FnCharindex, true},
        {"CHARINDEX", 3, FnCharindex, true},
        {"SPACE", 1, FnSpace, true},
        {"REPLICATE", 2, FnReplicate, true},
        {"STR", 1, FnStr, true},
        {"STR", 2, FnStr, true},
        {"STR", 3, FnStr, true},
        {"TSQL_LEFT", 2, FnLeft, true},
        {"TSQL_RIGHT", 2, FnRight, true},
        {"GETDATE", 0, FnGetdate, false},
        {"YEAR", 1, FnParteFecha<0>, true},
        {"MONTH", 1, FnParteFecha<1>, true},
        {"DAY", 1, FnParteFecha<2>, true},
        {"DATEADD", 3, FnDateadd, true},
        {"DATEDIFF", 3, FnDatediff, true},
        {"DATEPART", 2, FnDatepart, true},
        {"TSQL_CONVERT", 2, FnConvert, true},
        {"TSQL_CONVERT", 3, FnConvert, true},
        {"TSQL_CAST", 2, FnCast, true},
    };
    for (const Funcion& f : funciones) {
        const int banderas =
            SQLITE_UTF8 | (f.determinista ? SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS : 0);
        sqlite3_create_function_v2(db, f.nombre, f.args, banderas, nullptr, f.fn, nullptr, nullptr,
                                   nullptr);
    }
}

} // namespace ado::sqlite
