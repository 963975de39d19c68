#include "ado/sqlite/ReescritorTSql.h"

#include <sqlite3.h>

#include <QStringView>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

namespace ado::sqlite {
namespace {

// ============================================================================================
// Dates. The database keeps them as canonical ISO text (see the header); both the rewriter and
// the registered functions read and write that form.
// ============================================================================================

struct FechaHora {
    int anio = 1900, mes = 1, dia = 1;
    int hora = 0, minuto = 0, segundo = 0, milis = 0;
};

constexpr int64_t kMilisDia = 86400000;

bool EsBisiesto(int a) {
    return (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
}

int DiasDelMes(int a, int m) {
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && EsBisiesto(a) ? 29 : dias[m - 1];
}

int64_t DivPiso(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
int64_t DiasDesdeCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilDesdeDias(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

int64_t AMilis(const FechaHora& f) {
    return DiasDesdeCivil(f.anio, f.mes, f.dia) * kMilisDia +
           ((f.hora * 60LL + f.minuto) * 60 + f.segundo) * 1000 + f.milis;
}

bool DesdeMilis(int64_t ms, FechaHora& f) {
    // Keeps the arithmetic away from overflow; SQL Server's range is years 1 to 9999.
    if (ms < -100000LL * 366 * kMilisDia || ms > 100000LL * 366 * kMilisDia)
        return false;
    const int64_t dias = DivPiso(ms, kMilisDia);
    int64_t resto = ms - dias * kMilisDia;
    CivilDesdeDias(dias, f.anio, f.mes, f.dia);
    f.hora = int(resto / 3600000);
    resto %= 3600000;
    f.minuto = int(resto / 60000);
    resto %= 60000;
    f.segundo = int(resto / 1000);
    f.milis = int(resto % 1000);
    return f.anio >= 1 && f.anio <= 9999;
}

// Which written forms a reader accepts.
enum FormaFecha : unsigned {
    kIso = 1,       // yyyy-mm-dd, yyyy/mm/dd
    kDma = 2,       // dd/mm/yyyy, dd/mm/yy, also with "-" or "."
    kMda = 4,       // mm/dd/yyyy (style 101)
    kCompacta = 8,  // yyyymmdd
    kSoloHora = 16, // hh:mm[:ss], on 1900-01-01 as SQL Server does
};

template <typename Ch> bool EsDigito(Ch c) {
    return c >= '0' && c <= '9';
}

template <typename Ch> int LeeDigitos(const Ch*& p, const Ch* fin, int maximo, int& valor) {
    int n = 0;
    valor = 0;
    while (p < fin && n < maximo && EsDigito(*p)) {
        valor = valor * 10 + int(*p - '0');
        ++p;
        ++n;
    }
    return n;
}

template <typename Ch> bool LeeHora(const Ch*& p, const Ch* fin, FechaHora& f) {
    int h = 0, mi = 0, s = 0, ms = 0;
    if (LeeDigitos(p, fin, 2, h) == 0 || p == fin || *p != ':')
        return false;
    ++p;
    if (LeeDigitos(p, fin, 2, mi) != 2)
        return false;
    if (p < fin && *p == ':') {
        ++p;
        if (LeeDigitos(p, fin, 2, s) != 2)
            return false;
        if (p < fin && *p == '.') {
            ++p;
            int v = 0;
            const int n = LeeDigitos(p, fin, 7, v);
            if (n == 0)
                return false;
            for (int k = n; k > 3; --k)
                v /= 10;
            for (int k = n; k < 3; ++k)
                v *= 10;
            ms = v;
        }
    }
    while (p < fin && *p == ' ')
        ++p;
    if (fin - p >= 2 && (p[1] == 'M' || p[1] == 'm')) {
        const bool pm = p[0] == 'P' || p[0] == 'p';
        if (!pm && p[0] != 'A' && p[0] != 'a')
            return false;
        if (h < 1 || h > 12)
            return false;
        if (pm && h < 12)
            h += 12;
        if (!pm && h == 12)
            h = 0;
        p += 2;
    }
    if (h > 23 || mi > 59 || s > 59)
        return false;
    f.hora = h;
    f.minuto = mi;
    f.segundo = s;
    f.milis = ms;
    return true;
}

int AnioDeDosCifras(int yy) {
    return yy < 50 ? 2000 + yy : 1900 + yy;
}

template <typename Ch> bool LeeFecha(const Ch* p, const Ch* fin, unsigned formas, FechaHora& f) {
    while (p < fin && *p == ' ')
        ++p;
    while (fin > p && fin[-1] == ' ')
        --fin;
    f = FechaHora{};
    const Ch* q = p;
    int a = 0, b = 0, c = 0;
    const int n1 = LeeDigitos(q, fin, 8, a);
    if (n1 == 0)
        return false;
    if (n1 == 4 && q < fin && (*q == '-' || *q == '/') && (formas & kIso)) {
        const Ch sep = *q++;
        if (LeeDigitos(q, fin, 2, b) == 0 || q == fin || *q != sep)
            return false;
        ++q;
        if (LeeDigitos(q, fin, 2, c) == 0)
            return false;
        f.anio = a;
        f.mes = b;
        f.dia = c;
    } else if (n1 == 8 && (formas & kCompacta)) {
        f.anio = a / 10000;
        f.mes = a / 100 % 100;
        f.dia = a % 100;
    } else if (n1 <= 2 && q < fin && (*q == '/' || *q == '-' || *q == '.') &&
               (formas & (kDma | kMda))) {
        const Ch sep = *q++;
        if (LeeDigitos(q, fin, 2, b) == 0 || q == fin || *q != sep)
            return false;
        ++q;
        const int nAnio = LeeDigitos(q, fin, 4, c);
        if (nAnio == 2)
            c = AnioDeDosCifras(c);
        else if (nAnio != 4)
            return false;
        f.anio = c;
        f.dia = (formas & kMda) ? b : a;
        f.mes = (formas & kMda) ? a : b;
    } else if (n1 <= 2 && q < fin && *q == ':' && (formas & kSoloHora)) {
        q = p;
        if (!LeeHora(q, fin, f))
            return false;
        return q == fin;
    } else {
        return false;
    }
    if (f.anio < 1 || f.anio > 9999 || f.mes < 1 || f.mes > 12 || f.dia < 1 ||
        f.dia > DiasDelMes(f.anio, f.mes))
        return false;
    if (q == fin)
        return true;
    if (*q != ' ' && *q != 'T')
        return false;
    ++q;
    while (q < fin && *q == ' ')
        ++q;
    return LeeHora(q, fin, f) && q == fin;
}

// 'YYYY-MM-DD' at midnight, otherwise with the time; returns the length written (< 32).
int FormateaCanonica(const FechaHora& f, char* buf) {
    int n = std::snprintf(buf, 32, "%04d-%02d-%02d", f.anio, f.mes, f.dia);
    if (f.hora || f.minuto || f.segundo || f.milis)
        n += std::snprintf(buf + n, 32 - size_t(n), " %02d:%02d:%02d", f.hora, f.minuto, f.segundo);
    if (f.milis)
        n += std::snprintf(buf + n, 32 - size_t(n), ".%03d", f.milis);
    return n;
}

// CONVERT(char type, date, style). False for a style that is not a date style.
bool FormateaEstilo(const FechaHora& f, int estilo, char* buf, size_t tam) {
    const int yy = f.anio % 100;
    const int y = estilo >= 100 ? f.anio : yy;
    const char* fmt = nullptr;
    switch (estilo) {
    case 1:
    case 101:
        std::snprintf(buf, tam, estilo == 1 ? "%02d/%02d/%02d" : "%02d/%02d/%04d", f.mes, f.dia, y);
        return true;
    case 2:
    case 102:
        fmt = estilo == 2 ? "%02d.%02d.%02d" : "%04d.%02d.%02d";
        std::snprintf(buf, tam, fmt, y, f.mes, f.dia);
        return true;
    case 3:
    case 103:
        fmt = estilo == 3 ? "%02d/%02d/%02d" : "%02d/%02d/%04d";
        break;
    case 4:
    case 104:
        fmt = estilo == 4 ? "%02d.%02d.%02d" : "%02d.%02d.%04d";
        break;
    case 5:
    case 105:
        fmt = estilo == 5 ? "%02d-%02d-%02d" : "%02d-%02d-%04d";
        break;
    case 10:
    case 110:
        std::snprintf(buf, tam, estilo == 10 ? "%02d-%02d-%02d" : "%02d-%02d-%04d", f.mes, f.dia,
                      y);
        return true;
    case 11:
    case 111:
        fmt = estilo == 11 ? "%02d/%02d/%02d" : "%04d/%02d/%02d";
        std::snprintf(buf, tam, fmt, y, f.mes, f.dia);
        return true;
    case 12:
    case 112:
        fmt = estilo == 12 ? "%02d%02d%02d" : "%04d%02d%02d";
        std::snprintf(buf, tam, fmt, y, f.mes, f.dia);
        return true;
    case 8:
    case 24:
    case 108:
        std::snprintf(buf, tam, "%02d:%02d:%02d", f.hora, f.minuto, f.segundo);
        return true;
    case 14:
    case 114:
        std::snprintf(buf, tam, "%02d:%02d:%02d:%03d", f.hora, f.minuto, f.segundo, f.milis);
        return true;
    case 20:
    case 120:
        std::snprintf(buf, tam, "%04d-%02d-%02d %02d:%02d:%02d", f.anio, f.mes, f.dia, f.hora,
                      f.minuto, f.segundo);
        return true;
    case 21:
    case 25:
    case 121:
        std::snprintf(buf, tam, "%04d-%02d-%02d %02d:%02d:%02d.%03d", f.anio, f.mes, f.dia, f.hora,
                      f.minuto, f.segundo, f.milis);
        return true;
    case 23:
        std::snprintf(buf, tam, "%04d-%02d-%02d", f.anio, f.mes, f.dia);
        return true;
    case 126:
    case 127: {
        const int n = std::snprintf(buf, tam, "%04d-%02d-%02dT%02d:%02d:%02d", f.anio, f.mes, f.dia,
                                    f.hora, f.minuto, f.segundo);
        if (f.milis && n > 0)
            std::snprintf(buf + n, tam - size_t(n), ".%03d", f.milis);
        return true;
    }
    default:
        return false;
    }
    std::snprintf(buf, tam, fmt, f.dia, f.mes, y);
    return true;
}

// ============================================================================================
// Registered functions.
// ============================================================================================

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

// ============================================================================================
// Tokens.
// ============================================================================================

enum class Tk : uint8_t {
    Palabra,
    Numero,
    Cadena,
    Corchete,
    Comillas,
    FechaAlmohadilla,
    Op,
    AbreParen,
    CierraParen,
    Coma,
    PuntoComa,
    Punto,
    Otro,
    Fin
};

enum Op : uint8_t {
    OpNinguno,
    OpIgual,
    OpDistinto,
    OpMenor,
    OpMayor,
    OpMenorIgual,
    OpMayorIgual,
    OpNoMenor,
    OpNoMayor,
    OpMas,
    OpMenos,
    OpPor,
    OpDiv,
    OpMod,
    OpConcat,
    OpOtro
};

// Words the rewriter acts on.
enum Id : uint16_t {
    kNinguno,
    kSelect,
    kInsert,
    kUpdate,
    kDelete,
    kCreate,
    kDrop,
    kAlter,
    kBegin,
    kCommit,
    kRollback,
    kSet,
    kTruncate,
    kWith,
    kFrom,
    kWhere,
    kAnd,
    kOn,
    kFor,
    kUnion,
    kAll,
    kExcept,
    kIntersect,
    kAs,
    kValues,
    kWhen,
    kThen,
    kElse,
    kEnd,
    kCase,
    kIn,
    kLike,
    kBetween,
    kDistinct,
    kTop,
    kPercent,
    kTies,
    kCollate,
    kTable,
    kView,
    kTrigger,
    kIndex,
    kAdd,
    kColumn,
    kTran,
    kTransaction,
    kWork,
    kDistributed,
    kTo,
    kGo,
    kOption,
    kOrder,
    kNot,
    kExists,
    kLeft,
    kRight,
    kIsnull,
    kConvert,
    kCast,
    kDateadd,
    kDatediff,
    kDatepart,
    kCurrentTimestamp,
    kScopeIdentity,
    kArrobaIdentity,
    kDbo,
    kOtraClave,
};

enum Bandera : uint16_t {
    F_CLAVE = 1,        // a keyword: not an operand, ends an additive chain
    F_LLAMABLE = 2,     // a keyword that is a function when "(" follows (LEFT, RIGHT)
    F_SENTENCIA = 4,    // may start a statement
    F_FN_TEXTO = 8,     // returns text
    F_FN_PROPAGA = 16,  // returns the type of its arguments (ISNULL, COALESCE, MAX...)
    F_PISTA = 32,       // a table hint
    F_OPCION_SET = 64,  // SET <option> statements that SQLite has no use for
    F_TIPO_TEXTO = 128, // a character type name
    F_RESTRICCION = 256 // starts a table constraint, not a column
};

struct Token {
    int inicioTrivia = 0;
    int inicio = 0;
    int largo = 0;
    Tk tipo = Tk::Fin;
    uint8_t op = OpNinguno;
    bool prefijoN = false;
    bool inicioLinea = false;
    bool triviaConComentario = false;
    uint16_t id = kNinguno;
    uint16_t banderas = 0;
};

struct Clave {
    const char* nombre;
    uint16_t id;
    uint16_t banderas;
};

constexpr uint16_t C = F_CLAVE;
constexpr uint16_t CS = F_CLAVE | F_SENTENCIA;

const Clave kClaves[] = {
    {"SELECT", kSelect, CS},
    {"INSERT", kInsert, CS},
    {"UPDATE", kUpdate, CS},
    {"DELETE", kDelete, CS},
    {"CREATE", kCreate, CS},
    {"DROP", kDrop, CS},
    {"ALTER", kAlter, CS},
    {"BEGIN", kBegin, CS},
    {"COMMIT", kCommit, CS},
    {"ROLLBACK", kRollback, CS},
    {"SET", kSet, CS},
    {"TRUNCATE", kTruncate, CS},
    {"WITH", kWith, C},
    {"FROM", kFrom, C},
    {"WHERE", kWhere, C},
    {"AND", kAnd, C},
    {"ON", kOn, C},
    {"FOR", kFor, C},
    {"UNION", kUnion, C},
    {"ALL", kAll, C},
    {"EXCEPT", kExcept, C},
    {"INTERSECT", kIntersect, C},
    {"AS", kAs, C},
    {"VALUES", kValues, C},
    {"WHEN", kWhen, C},
    {"THEN", kThen, C},
    {"ELSE", kElse, C},
    {"END", kEnd, C},
    {"CASE", kCase, C},
    {"IN", kIn, C},
    {"LIKE", kLike, C},
    {"BETWEEN", kBetween, C},
    {"DISTINCT", kDistinct, C},
    {"TOP", kTop, C},
    {"PERCENT", kPercent, C},
    {"TIES", kTies, C},
    {"COLLATE", kCollate, C},
    {"TABLE", kTable, C},
    {"VIEW", kView, C},
    {"TRIGGER", kTrigger, C},
    {"INDEX", kIndex, C | F_PISTA | F_RESTRICCION},
    {"ADD", kAdd, C},
    {"COLUMN", kColumn, C},
    {"TRAN", kTran, C},
    {"TRANSACTION", kTransaction, C | F_OPCION_SET},
    {"WORK", kWork, C},
    {"DISTRIBUTED", kDistributed, C},
    {"TO", kTo, C},
    {"GO", kGo, C},
    {"OPTION", kOption, C},
    {"LEFT", kLeft, C | F_LLAMABLE | F_FN_TEXTO},
    {"RIGHT", kRight, C | F_LLAMABLE | F_FN_TEXTO},
    {"ISNULL", kIsnull, F_FN_PROPAGA},
    {"CONVERT", kConvert, 0},
    {"CAST", kCast, 0},
    {"DATEADD", kDateadd, 0},
    {"DATEDIFF", kDatediff, 0},
    {"DATEPART", kDatepart, 0},
    {"CURRENT_TIMESTAMP", kCurrentTimestamp, 0},
    {"SCOPE_IDENTITY", kScopeIdentity, 0},
    {"@@IDENTITY", kArrobaIdentity, 0},
    {"DBO", kDbo, 0},
    // Other keywords: they end a chain and are never operands.
    {"OR", kOtraClave, C},
    {"NOT", kNot, C},
    {"JOIN", kOtraClave, C},
    {"INNER", kOtraClave, C},
    {"OUTER", kOtraClave, C},
    {"CROSS", kOtraClave, C},
    {"FULL", kOtraClave, C},
    {"GROUP", kOtraClave, C},
    {"ORDER", kOrder, C},
    {"BY", kOtraClave, C},
    {"HAVING", kOtraClave, C},
    {"INTO", kOtraClave, C},
    {"IS", kOtraClave, C},
    {"ESCAPE", kOtraClave, C},
    {"EXISTS", kExists, C},
    {"ANY", kOtraClave, C},
    {"SOME", kOtraClave, C},
    {"ASC", kOtraClave, C},
    {"DESC", kOtraClave, C},
    {"LIMIT", kOtraClave, C},
    {"OFFSET", kOtraClave, C},
    {"OVER", kOtraClave, C},
    {"PARTITION", kOtraClave, C},
    {"DEFAULT", kOtraClave, C},
    {"CONSTRAINT", kOtraClave, C | F_RESTRICCION},
    {"PRIMARY", kOtraClave, C | F_RESTRICCION},
    {"FOREIGN", kOtraClave, C | F_RESTRICCION},
    {"UNIQUE", kOtraClave, C | F_RESTRICCION},
    {"CHECK", kOtraClave, C | F_RESTRICCION},
    {"KEY", kOtraClave, C | F_RESTRICCION},
    {"REFERENCES", kOtraClave, C},
    {"RETURNING", kOtraClave, C},
    // Functions returning text.
    {"LTRIM", kNinguno, F_FN_TEXTO},
    {"RTRIM", kNinguno, F_FN_TEXTO},
    {"TRIM", kNinguno, F_FN_TEXTO},
    {"UPPER", kNinguno, F_FN_TEXTO},
    {"LOWER", kNinguno, F_FN_TEXTO},
    {"SUBSTRING", kNinguno, F_FN_TEXTO},
    {"SUBSTR", kNinguno, F_FN_TEXTO},
    {"REPLACE", kNinguno, F_FN_TEXTO},
    {"SPACE", kNinguno, F_FN_TEXTO},
    {"REPLICATE", kNinguno, F_FN_TEXTO},
    {"STR", kNinguno, F_FN_TEXTO},
    {"CHAR", kNinguno, F_FN_TEXTO | F_TIPO_TEXTO},
    {"NCHAR", kNinguno, F_FN_TEXTO | F_TIPO_TEXTO},
    {"CONCAT", kNinguno, F_FN_TEXTO},
    {"REVERSE", kNinguno, F_FN_TEXTO},
    {"STUFF", kNinguno, F_FN_TEXTO},
    {"QUOTENAME", kNinguno, F_FN_TEXTO},
    {"FORMAT", kNinguno, F_FN_TEXTO},
    {"PRINTF", kNinguno, F_FN_TEXTO},
    {"TSQL_LEFT", kNinguno, F_FN_TEXTO},
    {"TSQL_RIGHT", kNinguno, F_FN_TEXTO},
    {"IFNULL", kNinguno, F_FN_PROPAGA},
    {"COALESCE", kNinguno, F_FN_PROPAGA},
    {"NULLIF", kNinguno, F_FN_PROPAGA},
    {"MIN", kNinguno, F_FN_PROPAGA},
    {"MAX", kNinguno, F_FN_PROPAGA},
    // Character types.
    {"VARCHAR", kNinguno, F_TIPO_TEXTO},
    {"NVARCHAR", kNinguno, F_TIPO_TEXTO},
    {"TEXT", kNinguno, F_TIPO_TEXTO},
    {"NTEXT", kNinguno, F_TIPO_TEXTO},
    {"SYSNAME", kNinguno, F_TIPO_TEXTO},
    {"CHARACTER", kNinguno, F_TIPO_TEXTO},
    // Table hints.
    {"NOLOCK", kNinguno, F_PISTA},
    {"READUNCOMMITTED", kNinguno, F_PISTA},
    {"READCOMMITTED", kNinguno, F_PISTA},
    {"READCOMMITTEDLOCK", kNinguno, F_PISTA},
    {"READPAST", kNinguno, F_PISTA},
    {"REPEATABLEREAD", kNinguno, F_PISTA},
    {"SERIALIZABLE", kNinguno, F_PISTA},
    {"ROWLOCK", kNinguno, F_PISTA},
    {"PAGLOCK", kNinguno, F_PISTA},
    {"TABLOCK", kNinguno, F_PISTA},
    {"TABLOCKX", kNinguno, F_PISTA},
    {"UPDLOCK", kNinguno, F_PISTA},
    {"XLOCK", kNinguno, F_PISTA},
    {"HOLDLOCK", kNinguno, F_PISTA},
    {"NOWAIT", kNinguno, F_PISTA},
    {"FORCESEEK", kNinguno, F_PISTA},
    {"FORCESCAN", kNinguno, F_PISTA},
    {"NOEXPAND", kNinguno, F_PISTA},
    {"SNAPSHOT", kNinguno, F_PISTA},
    // SET options.
    {"NOCOUNT", kNinguno, F_OPCION_SET},
    {"DATEFORMAT", kNinguno, F_OPCION_SET},
    {"XACT_ABORT", kNinguno, F_OPCION_SET},
    {"ANSI_NULLS", kNinguno, F_OPCION_SET},
    {"ANSI_WARNINGS", kNinguno, F_OPCION_SET},
    {"ANSI_PADDING", kNinguno, F_OPCION_SET},
    {"ANSI_DEFAULTS", kNinguno, F_OPCION_SET},
    {"ANSI_NULL_DFLT_ON", kNinguno, F_OPCION_SET},
    {"QUOTED_IDENTIFIER", kNinguno, F_OPCION_SET},
    {"ARITHABORT", kNinguno, F_OPCION_SET},
    {"NUMERIC_ROUNDABORT", kNinguno, F_OPCION_SET},
    {"CONCAT_NULL_YIELDS_NULL", kNinguno, F_OPCION_SET},
    {"LANGUAGE", kNinguno, F_OPCION_SET},
    {"DATEFIRST", kNinguno, F_OPCION_SET},
    {"ROWCOUNT", kNinguno, F_OPCION_SET},
    {"LOCK_TIMEOUT", kNinguno, F_OPCION_SET},
    {"IDENTITY_INSERT", kNinguno, F_OPCION_SET},
    {"IMPLICIT_TRANSACTIONS", kNinguno, F_OPCION_SET},
    {"DEADLOCK_PRIORITY", kNinguno, F_OPCION_SET},
    {"TEXTSIZE", kNinguno, F_OPCION_SET},
};

// Open-addressing table over the upper-case names, built once.
class TablaClaves {
public:
    TablaClaves() {
        for (const Clave& c : kClaves) {
            const size_t n = std::strlen(c.nombre);
            uint32_t h = Hash(c.nombre, n) & (kCasillas - 1);
            while (casillas_[h])
                h = (h + 1) & (kCasillas - 1);
            casillas_[h] = &c;
            largos_[h] = uint8_t(n);
        }
    }
    const Clave* Busca(const QChar* s, int n) const {
        char buf[kMaxLargo];
        if (n <= 0 || n >= kMaxLargo)
            return nullptr;
        for (int i = 0; i < n; ++i) {
            const char16_t c = s[i].unicode();
            if (c >= 0x80)
                return nullptr;
            buf[i] = (c >= 'a' && c <= 'z') ? char(c - 32) : char(c);
        }
        uint32_t h = Hash(buf, size_t(n)) & (kCasillas - 1);
        while (const Clave* c = casillas_[h]) {
            if (largos_[h] == n && std::memcmp(c->nombre, buf, size_t(n)) == 0)
                return c;
            h = (h + 1) & (kCasillas - 1);
        }
        return nullptr;
    }

private:
    static constexpr uint32_t kCasillas = 512;
    static constexpr int kMaxLargo = 32;
    static uint32_t Hash(const char* s, size_t n) {
        uint32_t h = 2166136261u;
        for (size_t i = 0; i < n; ++i)
            h = (h ^ uint8_t(s[i])) * 16777619u;
        return h;
    }
    const Clave* casillas_[kCasillas] = {};
    uint8_t largos_[kCasillas] = {};
};

const TablaClaves& Claves() {
    static const TablaClaves tabla;
    return tabla;
}

// Characters that continue a word, for the ASCII range.
constexpr auto kLetrasPalabra = [] {
    std::array<bool, 128> t{};
    for (int c = 0; c < 128; ++c)
        t[size_t(c)] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '@' || c == '#' || c == '$';
    return t;
}();

inline bool EsLetraPalabra(char16_t c) {
    return c < 0x80 ? kLetrasPalabra[c] : QChar(c).isLetterOrNumber();
}

bool EmpiezaPalabra(char16_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '@' || c == '#';
    return QChar(c).isLetter();
}

// Splits the text into tokens; false when a string, name or comment is left open.
bool Tokeniza(QStringView s, std::vector<Token>& toks) {
    const QChar* d = s.data();
    const int n = int(s.size());
    const auto en = [&](int i) -> char16_t { return i < n ? d[i].unicode() : char16_t(0); };
    const TablaClaves& claves = Claves();
    int i = 0;
    for (;;) {
        // Built in place: copying a freshly written token stalls on store forwarding.
        Token& t = toks.emplace_back();
        t.inicioTrivia = i;
        bool nuevaLinea = i == 0;
        for (;;) {
            const char16_t c = en(i);
            if (i >= n)
                break;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
                nuevaLinea |= c == '\r' || c == '\n';
                ++i;
            } else if (c == '-' && en(i + 1) == '-') {
                t.triviaConComentario = true;
                while (i < n && en(i) != '\n' && en(i) != '\r')
                    ++i;
            } else if (c == '/' && en(i + 1) == '*') {
                t.triviaConComentario = true;
                int prof = 1;
                i += 2;
                while (i < n && prof > 0) {
                    if (en(i) == '/' && en(i + 1) == '*') {
                        ++prof;
                        i += 2;
                    } else if (en(i) == '*' && en(i + 1) == '/') {
                        --prof;
                        i += 2;
                    } else {
                        ++i;
                    }
                }
                if (prof > 0)
                    return false;
            } else {
                break;
            }
        }
        t.inicio = i;
        t.inicioLinea = nuevaLinea;
        if (i >= n)
            return true;
        const char16_t c = en(i);
        int j = i + 1;
        // Quoted runs: 'text' (and N'text'), [name], "name", each doubling its closing mark.
        const auto cerrado = [&](int desde, char16_t cierre) {
            for (int k = desde; k < n; ++k) {
                if (d[k].unicode() == cierre) {
                    if (en(k + 1) == cierre)
                        ++k;
                    else
                        return k + 1;
                }
            }
            return -1;
        };
        if ((c == 'N' || c == 'n') && en(i + 1) == '\'') {
            t.tipo = Tk::Cadena;
            t.prefijoN = true;
            j = cerrado(i + 2, '\'');
        } else if (c == '\'') {
            t.tipo = Tk::Cadena;
            j = cerrado(i + 1, '\'');
        } else if (c == '[') {
            t.tipo = Tk::Corchete;
            j = cerrado(i + 1, ']');
        } else if (c == '"') {
            t.tipo = Tk::Comillas;
            j = cerrado(i + 1, '"');
        } else if (c == '#' && EsDigito(en(i + 1))) {
            // #31/01/2024# from the Access-style builders, else a temporary table name.
            int k = i + 1;
            while (k < n && (EsDigito(en(k)) || en(k) == '/' || en(k) == '-' || en(k) == ':' ||
                             en(k) == '.' || en(k) == ' ' || en(k) == 'A' || en(k) == 'P' ||
                             en(k) == 'M' || en(k) == 'a' || en(k) == 'p' || en(k) == 'm'))
                ++k;
            if (en(k) == '#') {
                t.tipo = Tk::FechaAlmohadilla;
                j = k + 1;
            } else {
                t.tipo = Tk::Palabra;
                while (j < n && EsLetraPalabra(en(j)))
                    ++j;
            }
        } else if (EmpiezaPalabra(c)) {
            t.tipo = Tk::Palabra;
            while (j < n && EsLetraPalabra(en(j)))
                ++j;
            if (const Clave* k = claves.Busca(d + i, j - i)) {
                t.id = k->id;
                t.banderas = k->banderas;
            }
        } else if (EsDigito(c) || (c == '.' && EsDigito(en(i + 1)))) {
            t.tipo = Tk::Numero;
            if (c == '0' && (en(i + 1) == 'x' || en(i + 1) == 'X')) {
                j = i + 2;
                while (j < n && (EsDigito(en(j)) || (en(j) >= 'a' && en(j) <= 'f') ||
                                 (en(j) >= 'A' && en(j) <= 'F')))
                    ++j;
            } else {
                j = i;
                while (EsDigito(en(j)))
                    ++j;
                if (en(j) == '.') {
                    ++j;
                    while (EsDigito(en(j)))
                        ++j;
                }
                if ((en(j) == 'e' || en(j) == 'E') &&
                    (EsDigito(en(j + 1)) ||
                     ((en(j + 1) == '+' || en(j + 1) == '-') && EsDigito(en(j + 2))))) {
                    j += 2;
                    while (EsDigito(en(j)))
                        ++j;
                }
            }
        } else {
            switch (c) {
            case '(':
                t.tipo = Tk::AbreParen;
                break;
            case ')':
                t.tipo = Tk::CierraParen;
                break;
            case ',':
                t.tipo = Tk::Coma;
                break;
            case ';':
                t.tipo = Tk::PuntoComa;
                break;
            case '.':
                t.tipo = Tk::Punto;
                break;
            case '=':
                t.tipo = Tk::Op;
                t.op = OpIgual;
                if (en(j) == '=')
                    ++j;
                break;
            case '<':
                t.tipo = Tk::Op;
                t.op = en(j) == '=' ? OpMenorIgual : en(j) == '>' ? OpDistinto : OpMenor;
                j += t.op != OpMenor;
                break;
            case '>':
                t.tipo = Tk::Op;
                t.op = en(j) == '=' ? OpMayorIgual : OpMayor;
                j += t.op != OpMayor;
                break;
            case '!':
                t.tipo = Tk::Op;
                t.op = en(j) == '='   ? OpDistinto
                       : en(j) == '<' ? OpNoMenor
                       : en(j) == '>' ? OpNoMayor
                                      : OpOtro;
                j += t.op != OpOtro;
                break;
            case '+':
                t.tipo = Tk::Op;
                t.op = OpMas;
                break;
            case '-':
                t.tipo = Tk::Op;
                t.op = OpMenos;
                break;
            case '*':
                t.tipo = Tk::Op;
                t.op = OpPor;
                break;
            case '/':
                t.tipo = Tk::Op;
                t.op = OpDiv;
                break;
            case '%':
                t.tipo = Tk::Op;
                t.op = OpMod;
                break;
            case '|':
                t.tipo = Tk::Op;
                t.op = en(j) == '|' ? OpConcat : OpOtro;
                j += t.op == OpConcat;
                break;
            case '&':
            case '^':
            case '~':
                t.tipo = Tk::Op;
                t.op = OpOtro;
                break;
            default:
                t.tipo = Tk::Otro;
                break;
            }
        }
        if (j < 0)
            return false;
        t.largo = j - i;
        i = j;
    }
}

bool EsComparacion(const Token& t) {
    return t.tipo == Tk::Op && t.op >= OpIgual && t.op <= OpNoMayor;
}

bool EsAritmetico(const Token& t) {
    return (t.tipo == Tk::Op && t.op >= OpMas) || t.tipo == Tk::Punto || t.id == kCollate;
}

// ============================================================================================
// The rewriter.
// ============================================================================================

enum class Marco : uint8_t { Raiz, Grupo, Llamada, Subconsulta, ListaIn, Caso, CuerpoTrigger };
enum class Devuelve : uint8_t { Otro, Texto, Propaga };
enum class Rol : uint8_t { Ninguno, Comparacion, Entre, Like, Lista };

// What is known about one parenthesis level (or CASE ... END) while it is open.
struct Nivel {
    Marco tipo = Marco::Raiz;
    Devuelve devuelve = Devuelve::Otro;
    bool enConsulta = false;  // literals here are compared in a query
    bool zonaSet = false;     // UPDATE ... SET assignments (root level only)
    bool trasLike = false;    // LIKE ('pattern')
    bool cadenaTexto = false; // the current additive chain holds a text term
    bool ultimaCadenaTexto = false;
    bool resultadoTexto = false; // the level's value is text
    bool ultimoOperando = false; // the previous token ended an operand (so "+" is binary)
    bool enResultado = false;    // CASE: after THEN/ELSE
    bool entrePendiente = false; // BETWEEN waiting for its AND
    bool entreIzqTexto = false;
    bool limite = false;
    bool compuesto = false; // a UNION/EXCEPT/INTERSECT has been seen at this level
    bool defs = false;      // column definitions (CREATE TABLE (...), ALTER TABLE ... ADD)
    int posDef = -1;        // 0 column name expected, 1 type expected, -1 neither
    int abre = -1;          // token of "("
    int andEntre = -1;      // token of the AND closing a BETWEEN
    int limA = 0, limB = -1;
    int castAs = -1, castFin = -1;
    qsizetype posSelect = 0;
    size_t baseMas = 0;
};

struct Sentencia {
    int tokens = 0;
    uint16_t tipo = kNinguno;
    uint16_t crea = kNinguno; // CREATE TABLE/VIEW/TRIGGER/INDEX
    bool salida = false;      // something of it has been written
    bool descartando = false;
    bool cuerpo = false; // INSERT/WITH: the VALUES or main SELECT has started
    bool parenTabla = false;
    bool triggerCerrado = false;
};

struct Memoria {
    std::vector<Token> toks;
    std::vector<Nivel> niveles;
    std::vector<qsizetype> mas;
};

class Reescritor {
public:
    Reescritor(QStringView src, Memoria& m, QString& out)
        : src_(src), t_(m.toks), niveles_(m.niveles), mas_(m.mas), out_(out) {}

    void Ejecuta() {
        niveles_.clear();
        mas_.clear();
        NuevaSentencia();
        fin_ = int(t_.size()) - 1;
        int i = 0;
        while (i < fin_) {
            const int siguiente = Procesa(i);
            if (colateTras_ >= i && colateTras_ < siguiente) {
                Agrega(u" COLLATE NOCASE");
                colateTras_ = -1;
            }
            i = siguiente;
        }
        TerminaSentencia(-1, false);
        out_.append(src_.sliced(t_[fin_].inicioTrivia));
    }

private:
    QStringView src_;
    std::vector<Token>& t_;
    std::vector<Nivel>& niveles_;
    std::vector<qsizetype>& mas_;
    QString& out_;
    Sentencia st_;
    int fin_ = 0;
    int colateTras_ = -1;
    bool necesitaEspacio_ = false;

    // ---- token access ----
    const Token& T(int i) const { return t_[size_t(std::clamp(i, 0, fin_))]; }
    uint16_t IdEn(int i) const {
        return i >= 0 && i < fin_ && t_[size_t(i)].tipo == Tk::Palabra ? t_[size_t(i)].id
                                                                       : uint16_t(kNinguno);
    }
    Tk TipoEn(int i) const { return i >= 0 && i <= fin_ ? t_[size_t(i)].tipo : Tk::Fin; }
    QStringView Texto(int i) const {
        return src_.sliced(t_[size_t(i)].inicio, t_[size_t(i)].largo);
    }
    Nivel& Arriba() { return niveles_.back(); }
    bool EnRaiz() const { return niveles_.size() == 1; }

    // Index of the ")" matching the "(" at i, or -1.
    int CierreDe(int i) const {
        int prof = 0;
        for (int k = i; k < fin_; ++k) {
            if (t_[size_t(k)].tipo == Tk::AbreParen)
                ++prof;
            else if (t_[size_t(k)].tipo == Tk::CierraParen && --prof == 0)
                return k;
            else if (t_[size_t(k)].tipo == Tk::PuntoComa)
                return -1;
        }
        return -1;
    }

    // ---- output ----
    static bool Pega(QChar c) {
        const char16_t u = c.unicode();
        return EsLetraPalabra(u) || u == '\'' || u == '"' || u == '[' || u == ']';
    }
    void EmiteTrivia(int i) {
        const Token& k = t_[size_t(i)];
        if (k.inicioTrivia < k.inicio)
            out_.append(src_.sliced(k.inicioTrivia, k.inicio - k.inicioTrivia));
        else if (necesitaEspacio_ && !out_.isEmpty() && Pega(out_.back()) && Pega(src_[k.inicio]))
            out_ += u' ';
        necesitaEspacio_ = false;
    }
    void Emite(int i) {
        EmiteTrivia(i);
        out_.append(Texto(i));
        st_.salida = true;
    }
    void EmiteComo(int i, QStringView s) {
        EmiteTrivia(i);
        out_.append(s);
        st_.salida = true;
    }
    void EmiteComo(int i, QLatin1String s) {
        EmiteTrivia(i);
        out_.append(s);
        st_.salida = true;
    }
    void Agrega(QStringView s) { out_.append(s); }
    // Drops a token; a comment before it stays.
    void Salta(int i) {
        const Token& k = t_[size_t(i)];
        if (k.triviaConComentario)
            out_.append(src_.sliced(k.inicioTrivia, k.inicio - k.inicioTrivia));
        necesitaEspacio_ = true;
    }
    void SaltaHasta(int desde, int hasta) {
        for (int k = desde; k <= hasta; ++k)
            Salta(k);
    }

    // ---- statements ----
    void NuevaSentencia() {
        st_ = Sentencia{};
        niveles_.clear();
        mas_.clear();
        niveles_.push_back(Nivel{});
    }

    void TerminaSentencia(int puntoComa, bool implicito) {
        while (niveles_.size() > 1) {
            TerminaCadena(Arriba());
            niveles_.pop_back();
        }
        TerminaCadena(Arriba());
        CierraLimite(Arriba());
        if (puntoComa >= 0) {
            if (st_.salida)
                Emite(puntoComa);
            else
                Salta(puntoComa);
        } else if (implicito && st_.salida) {
            out_ += u';';
        }
        NuevaSentencia();
    }

    bool EsLineaGo(int i) const {
        const Token& k = t_[size_t(i)];
        const Token& sig = T(i + 1);
        return k.inicioLinea &&
               (sig.tipo == Tk::Fin || sig.inicioLinea || sig.tipo == Tk::PuntoComa);
    }

    bool EsOpcionSet(int i) const {
        return (T(i + 1).banderas & F_OPCION_SET) && T(i + 1).tipo == Tk::Palabra &&
               !(T(i + 2).tipo == Tk::Op && T(i + 2).op == OpIgual);
    }

    // Whether the statement word at i (root level) begins a new statement of the batch.
    bool EmpiezaSentencia(int i) {
        if (st_.tipo == kCreate && st_.crea == kTrigger && !st_.triggerCerrado)
            return false;
        const uint16_t previo = IdEn(i - 1);
        switch (t_[size_t(i)].id) {
        case kInsert:
        case kUpdate:
        case kDelete:
            if ((previo == kOn && (st_.tipo == kCreate || st_.tipo == kAlter)) || previo == kFor)
                return false; // ON DELETE CASCADE, FOR UPDATE
            if (st_.tipo == kWith && !st_.cuerpo) {
                st_.cuerpo = true;
                st_.tipo = t_[size_t(i)].id;
                return false;
            }
            return true;
        case kSelect:
            if (previo == kUnion || previo == kExcept || previo == kIntersect ||
                (previo == kAll && IdEn(i - 2) == kUnion))
                return false;
            if ((st_.tipo == kInsert || st_.tipo == kWith) && !st_.cuerpo)
                return false;
            if ((st_.tipo == kCreate || st_.tipo == kAlter) && previo == kAs)
                return false;
            return true;
        case kDrop:
            return st_.tipo != kAlter;
        case kSet:
            return EsOpcionSet(i);
        default:
            return true;
        }
    }

    bool EsNombreTransaccion(int i) const {
        const Token& k = T(i);
        if (k.tipo == Tk::Corchete || k.tipo == Tk::Comillas)
            return true;
        return k.tipo == Tk::Palabra && !(k.banderas & (F_CLAVE | F_SENTENCIA));
    }

    // First token of a statement: its kind, and the forms rewritten as a whole.
    // Returns the next token to process, or -1 to process this one normally.
    int InicioSentencia(int i) {
        const Token& k = t_[size_t(i)];
        st_.tipo = k.tipo == Tk::Palabra ? k.id : uint16_t(kNinguno);
        Nivel& raiz = niveles_.front();
        raiz.enConsulta =
            st_.tipo == kSelect || st_.tipo == kWith || st_.tipo == kUpdate || st_.tipo == kDelete;
        switch (st_.tipo) {
        case kBegin: {
            int j = i + 1;
            if (IdEn(j) == kDistributed)
                ++j;
            if (IdEn(j) != kTran && IdEn(j) != kTransaction)
                return -1; // BEGIN, BEGIN IMMEDIATE: SQLite's own
            EmiteComo(i, u"BEGIN TRANSACTION");
            SaltaHasta(i + 1, j);
            ++j;
            if (EsNombreTransaccion(j))
                Salta(j++);
            return j;
        }
        case kCommit:
        case kRollback: {
            int j = i + 1;
            const uint16_t sig = IdEn(j);
            const bool tran = sig == kTran || sig == kTransaction;
            if (tran || sig == kWork)
                ++j;
            if (IdEn(j) == kTo)
                return -1; // ROLLBACK TO savepoint
            EmiteComo(i, st_.tipo == kCommit ? QStringView(u"COMMIT") : QStringView(u"ROLLBACK"));
            if (tran)
                Agrega(u" TRANSACTION");
            SaltaHasta(i + 1, j - 1);
            if (tran && EsNombreTransaccion(j))
                Salta(j++);
            return j;
        }
        case kSet:
            if (!EsOpcionSet(i))
                return -1;
            st_.descartando = true;
            Salta(i);
            return i + 1;
        case kDelete: {
            const Token& sig = T(i + 1);
            const bool nombre = (sig.tipo == Tk::Palabra && !(sig.banderas & F_CLAVE)) ||
                                sig.tipo == Tk::Corchete || sig.tipo == Tk::Comillas;
            if (!nombre)
                return -1;
            Emite(i);
            Agrega(u" FROM");
            return i + 1;
        }
        case kTruncate:
            if (IdEn(i + 1) != kTable)
                return -1;
            st_.tipo = kDelete;
            raiz.enConsulta = true;
            EmiteComo(i, u"DELETE FROM");
            Salta(i + 1);
            return i + 2;
        case kCreate:
            for (int j = i + 1; j <= i + 3; ++j) {
                const uint16_t id = IdEn(j);
                if (id == kTable || id == kView || id == kTrigger || id == kIndex) {
                    st_.crea = id;
                    break;
                }
            }
            return -1;
        default:
            return -1;
        }
    }

    // ---- additive chains ----
    void TerminaCadena(Nivel& n) {
        if (n.cadenaTexto) {
            for (size_t k = mas_.size(); k-- > n.baseMas;) {
                out_[mas_[k]] = u'|';
                out_.insert(mas_[k], u'|');
            }
            if (n.tipo == Marco::Grupo ||
                (n.tipo == Marco::Llamada && n.devuelve == Devuelve::Propaga) ||
                (n.tipo == Marco::Caso && n.enResultado))
                n.resultadoTexto = true;
        }
        if (mas_.size() > n.baseMas)
            mas_.resize(n.baseMas);
        n.ultimaCadenaTexto = n.cadenaTexto;
        n.cadenaTexto = false;
    }

    // ---- TOP -> LIMIT ----
    void EmiteLimite(Nivel& n) {
        Agrega(u" LIMIT ");
        if (n.limA == n.limB && t_[size_t(n.limA)].tipo != Tk::AbreParen) {
            out_.append(Texto(n.limA));
        } else {
            const int desde = t_[size_t(n.limA)].inicio;
            const int hasta = t_[size_t(n.limB)].inicio + t_[size_t(n.limB)].largo;
            out_ += u'(';
            out_.append(src_.sliced(desde, hasta - desde));
            out_ += u')';
        }
        n.limite = false;
    }

    int ProcesaTop(int i) {
        const uint16_t previo = IdEn(i - 1);
        if (previo != kSelect && previo != kDistinct && previo != kAll)
            return -1;
        int a = i + 1, b = i + 1, k = i + 2;
        if (TipoEn(i + 1) == Tk::AbreParen) {
            const int c = CierreDe(i + 1);
            if (c < 0 || c == i + 2)
                return -1;
            a = i + 2;
            b = c - 1;
            k = c + 1;
        } else if (TipoEn(i + 1) != Tk::Numero &&
                   !(TipoEn(i + 1) == Tk::Palabra && Texto(i + 1).startsWith(u'@'))) {
            return -1; // TOP @n is a parameter for SQLite too
        }
        const bool porcentaje = IdEn(k) == kPercent;
        if (porcentaje)
            ++k;
        if (IdEn(k) == kWith && IdEn(k + 1) == kTies)
            return -1; // no equivalent; SQLite will say so
        if (porcentaje) {
            if (!(a == b && TipoEn(a) == Tk::Numero && Texto(a).toDouble() == 100.0))
                return -1;
        } else {
            Nivel& n = Arriba();
            n.limite = true;
            n.limA = a;
            n.limB = b;
        }
        SaltaHasta(i, k - 1);
        return k;
    }

    // A SELECT TOP n in a UNION branch: the branch becomes a subquery holding the LIMIT,
    // which SQLite would otherwise apply to the whole compound.
    void EnvuelveRama(Nivel& n) {
        out_.insert(n.posSelect, QStringView(u"SELECT * FROM ("));
        EmiteLimite(n);
        out_ += u')';
    }
    void CierraLimite(Nivel& n) {
        if (n.limite && n.compuesto)
            EnvuelveRama(n);
        else if (n.limite)
            EmiteLimite(n);
    }

    // ---- parentheses ----
    // "(" right after CREATE TABLE [IF NOT EXISTS] [dbo.]name: the column definitions.
    bool SigueANombreDeTabla(int i) const {
        int j = i - 1;
        while (j >= 0 &&
               (TipoEn(j) == Tk::Punto || TipoEn(j) == Tk::Corchete || TipoEn(j) == Tk::Comillas ||
                (TipoEn(j) == Tk::Palabra && !(t_[size_t(j)].banderas & F_CLAVE))))
            --j;
        return j < i - 1 && j >= 0 && (IdEn(j) == kTable || IdEn(j) == kExists);
    }
    void AbreParen(int i, Devuelve forzado = Devuelve::Otro, bool forzar = false) {
        const Nivel& padre = Arriba();
        Nivel n;
        n.tipo = Marco::Grupo;
        n.enConsulta = padre.enConsulta;
        n.abre = i;
        n.baseMas = mas_.size();
        const Token& previo = T(i - 1);
        if (i > 0 && previo.tipo == Tk::Palabra) {
            if (previo.id == kIn) {
                n.tipo = Marco::ListaIn;
            } else if (!(previo.banderas & F_CLAVE) || (previo.banderas & F_LLAMABLE)) {
                n.tipo = Marco::Llamada;
                n.devuelve = (previo.banderas & F_FN_TEXTO)     ? Devuelve::Texto
                             : (previo.banderas & F_FN_PROPAGA) ? Devuelve::Propaga
                                                                : Devuelve::Otro;
            }
            n.trasLike = previo.id == kLike;
        }
        if (forzar)
            n.devuelve = forzado;
        if (st_.crea == kTable && EnRaiz() && !st_.parenTabla && SigueANombreDeTabla(i)) {
            st_.parenTabla = true;
            n.defs = true;
            n.posDef = 0;
        }
        Emite(i);
        niveles_.push_back(n);
    }

    void CierraParen(int i) {
        if (EnRaiz() || Arriba().tipo == Marco::Caso || Arriba().tipo == Marco::CuerpoTrigger) {
            Emite(i); // unbalanced: leave it to SQLite
            Arriba().ultimoOperando = true;
            return;
        }
        Nivel& n = Arriba();
        TerminaCadena(n);
        CierraLimite(n);
        const bool texto =
            (n.tipo == Marco::Grupo && n.resultadoTexto) ||
            (n.tipo == Marco::Llamada && (n.devuelve == Devuelve::Texto ||
                                          (n.devuelve == Devuelve::Propaga && n.resultadoTexto)));
        niveles_.pop_back();
        Emite(i);
        Nivel& p = Arriba();
        p.cadenaTexto |= texto;
        p.ultimoOperando = true;
    }

    // ---- literals ----
    bool OperandoDerechoTexto(int j) const {
        const Token& k = T(j);
        if (k.tipo == Tk::Cadena)
            return true;
        if (k.tipo != Tk::Palabra || TipoEn(j + 1) != Tk::AbreParen)
            return false;
        if (k.banderas & F_FN_TEXTO)
            return true;
        return k.id == kConvert && (T(j + 2).banderas & F_TIPO_TEXTO);
    }

    Rol RolDeLiteral(int i, bool& izqTexto) {
        static const Token nada;
        const Token& previo = i > 0 ? t_[size_t(i - 1)] : nada;
        const Token& sig = T(i + 1);
        const Nivel& n = Arriba();
        izqTexto = false;
        if (EsComparacion(previo) && !EsAritmetico(sig)) {
            izqTexto = n.ultimaCadenaTexto;
            return Rol::Comparacion;
        }
        if (EsComparacion(sig) && !EsAritmetico(previo)) {
            izqTexto = OperandoDerechoTexto(i + 2);
            return Rol::Comparacion;
        }
        if (previo.tipo == Tk::Palabra && previo.id == kBetween && IdEn(i + 1) == kAnd) {
            izqTexto = n.entreIzqTexto;
            return Rol::Entre;
        }
        if (previo.tipo == Tk::Palabra && previo.id == kAnd && n.andEntre == i - 1 &&
            !EsAritmetico(sig)) {
            izqTexto = n.entreIzqTexto;
            return Rol::Entre;
        }
        if (previo.tipo == Tk::Palabra && previo.id == kLike && !EsAritmetico(sig))
            return Rol::Like;
        if (n.tipo == Marco::ListaIn && (previo.tipo == Tk::AbreParen || previo.tipo == Tk::Coma) &&
            (sig.tipo == Tk::Coma || sig.tipo == Tk::CierraParen))
            return Rol::Lista;
        if (n.trasLike && previo.tipo == Tk::AbreParen && sig.tipo == Tk::CierraParen)
            return Rol::Like;
        return Rol::Ninguno;
    }

    // Only letters and the few marks between 'Z' and 'a' order differently under NOCASE;
    // leaving digits and dates without COLLATE keeps their indexes usable.
    static bool NecesitaColacion(QStringView s) {
        for (QChar c : s) {
            const char16_t u = c.unicode();
            if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '[' && u <= '`'))
                return true;
        }
        return false;
    }

    // x IN ('a', 'b'): SQLite compares a list of several values with the collation of the
    // left operand only, so that operand gets the COLLATE.
    bool ListaInConTexto(int in) const {
        if (TipoEn(in + 1) != Tk::AbreParen || IdEn(in + 2) == kSelect)
            return false;
        const int c = CierreDe(in + 1);
        for (int j = in + 2; j < c; ++j) {
            const Token& x = t_[size_t(j)];
            if (x.tipo == Tk::Cadena &&
                NecesitaColacion(src_.sliced(x.inicio, x.largo).sliced(x.prefijoN ? 1 : 0)))
                return true;
        }
        return false;
    }

    void ProcesaCadena(int i) {
        const Token& k = t_[size_t(i)];
        const Nivel& n = Arriba();
        const bool zona = n.enConsulta && !(EnRaiz() && n.zonaSet);
        bool izqTexto = false;
        const Rol rol = zona ? RolDeLiteral(i, izqTexto) : Rol::Ninguno;
        // The literal without N and without its quotes.
        QStringView cuerpo =
            src_.sliced(k.inicio + (k.prefijoN ? 2 : 1), k.largo - (k.prefijoN ? 3 : 2));
        char fecha[40];
        FechaHora f;
        if ((rol == Rol::Comparacion || rol == Rol::Entre) && !izqTexto &&
            LeeFecha(cuerpo.utf16(), cuerpo.utf16() + cuerpo.size(), kIso | kDma, f)) {
            fecha[0] = '\'';
            const int largo = FormateaCanonica(f, fecha + 1);
            fecha[largo + 1] = '\'';
            EmiteComo(i, QLatin1String(fecha, largo + 2));
        } else {
            // SQL Server pads the shorter side with blanks, so trailing blanks never matter
            // to a comparison (they do to LIKE).
            if (rol != Rol::Ninguno && rol != Rol::Like)
                while (!cuerpo.isEmpty() && cuerpo.back() == u' ')
                    cuerpo.chop(1);
            EmiteTrivia(i);
            out_ += u'\'';
            out_.append(cuerpo);
            out_ += u'\'';
            st_.salida = true;
            if (rol != Rol::Ninguno && IdEn(i + 1) != kCollate && NecesitaColacion(cuerpo))
                Agrega(u" COLLATE NOCASE");
        }
        Nivel& m = Arriba();
        m.cadenaTexto = true;
        m.ultimoOperando = true;
    }

    void ProcesaFechaAlmohadilla(int i) {
        const Token& k = t_[size_t(i)];
        const QStringView cuerpo = src_.sliced(k.inicio + 1, k.largo - 2);
        FechaHora f;
        if (LeeFecha(cuerpo.utf16(), cuerpo.utf16() + cuerpo.size(), kDma | kIso, f)) {
            char fecha[40];
            fecha[0] = '\'';
            const int largo = FormateaCanonica(f, fecha + 1);
            fecha[largo + 1] = '\'';
            EmiteComo(i, QLatin1String(fecha, largo + 2));
        } else {
            Emite(i);
        }
        Arriba().ultimoOperando = true;
    }

    int ProcesaCorchete(int i) {
        const Token& k = t_[size_t(i)];
        const QStringView dentro = src_.sliced(k.inicio + 1, k.largo - 2);
        if (dentro.compare(u"dbo", Qt::CaseInsensitive) == 0 && TipoEn(i + 1) == Tk::Punto) {
            Salta(i);
            Salta(i + 1);
            return i + 2;
        }
        EmiteTrivia(i);
        out_ += u'"';
        for (qsizetype p = 0; p < dentro.size(); ++p) {
            const QChar c = dentro[p];
            out_ += c;
            if (c == u'"')
                out_ += u'"';
            else if (c == u']')
                ++p; // "]]" stands for one "]"
        }
        out_ += u'"';
        st_.salida = true;
        AvanzaDefinicion(i);
        Arriba().ultimoOperando = true;
        if (EsPistaSuelta(i)) {
            SaltaHasta(i + 1, i + 3);
            return i + 4;
        }
        return i + 1;
    }

    // T (NOLOCK) after a table name or alias.
    bool EsPistaSuelta(int i) const {
        return TipoEn(i + 1) == Tk::AbreParen && T(i + 2).tipo == Tk::Palabra &&
               (T(i + 2).banderas & F_PISTA) && T(i + 2).id != kIndex &&
               TipoEn(i + 3) == Tk::CierraParen;
    }

    // Column definitions: a character column without a collation gets NOCASE after its type.
    void AvanzaDefinicion(int i) {
        Nivel& n = Arriba();
        if (!n.defs || n.posDef < 0)
            return;
        const Token& k = t_[size_t(i)];
        if (n.posDef == 0) {
            if (k.tipo == Tk::Palabra && (k.banderas & F_RESTRICCION))
                n.posDef = -1;
            else if (!(k.tipo == Tk::Palabra && k.id == kColumn))
                n.posDef = 1;
            return;
        }
        n.posDef = -1;
        if (k.tipo != Tk::Palabra || !(k.banderas & F_TIPO_TEXTO))
            return;
        int ultimo = i;
        if (TipoEn(i + 1) == Tk::AbreParen) {
            ultimo = CierreDe(i + 1);
            if (ultimo < 0)
                return;
        }
        int prof = 0;
        for (int j = ultimo + 1; j < fin_; ++j) {
            const Token& x = t_[size_t(j)];
            if (x.tipo == Tk::AbreParen)
                ++prof;
            else if (x.tipo == Tk::CierraParen && --prof < 0)
                break;
            else if (x.tipo == Tk::PuntoComa || (prof == 0 && x.tipo == Tk::Coma))
                break;
            else if (x.tipo == Tk::Palabra && x.id == kCollate)
                return;
            else if (EnRaiz() && x.tipo == Tk::Palabra && (x.banderas & F_SENTENCIA))
                break;
        }
        colateTras_ = ultimo;
    }

    int ProcesaPalabra(int i) {
        const Token& k = t_[size_t(i)];
        const bool llamada = TipoEn(i + 1) == Tk::AbreParen &&
                             (!(k.banderas & F_CLAVE) || (k.banderas & F_LLAMABLE));

        // WITH (NOLOCK, INDEX(x)) and OPTION (...): dropped whole.
        if ((k.id == kWith && TipoEn(i + 1) == Tk::AbreParen && (T(i + 2).banderas & F_PISTA)) ||
            (k.id == kOption && TipoEn(i + 1) == Tk::AbreParen && EnRaiz())) {
            const int c = CierreDe(i + 1);
            if (c > 0) {
                SaltaHasta(i, c);
                return c + 1;
            }
        }
        if (k.id == kDbo && TipoEn(i + 1) == Tk::Punto &&
            (TipoEn(i + 2) == Tk::Palabra || TipoEn(i + 2) == Tk::Corchete ||
             TipoEn(i + 2) == Tk::Comillas)) {
            Salta(i);
            Salta(i + 1);
            return i + 2;
        }

        AvanzaDefinicion(i);
        if (!(k.banderas & F_CLAVE) && EsPistaSuelta(i)) {
            Emite(i);
            Arriba().ultimoOperando = true;
            SaltaHasta(i + 1, i + 3);
            return i + 4;
        }
        if (llamada)
            return ProcesaLlamada(i);

        Nivel& n = Arriba();
        if ((k.id == kIn && IdEn(i - 1) != kNot) || (k.id == kNot && IdEn(i + 1) == kIn)) {
            const bool zona = n.enConsulta && !(EnRaiz() && n.zonaSet);
            if (zona && n.ultimoOperando && IdEn(i - 2) != kCollate &&
                ListaInConTexto(k.id == kIn ? i : i + 1))
                Agrega(u" COLLATE NOCASE");
        }
        if (!(k.banderas & F_CLAVE)) {
            // An identifier, NULL, a variable, or a word rewritten as a value.
            if (k.id == kCurrentTimestamp)
                EmiteComo(i, u"GETDATE()");
            else if (k.id == kArrobaIdentity)
                EmiteComo(i, u"last_insert_rowid()");
            else
                Emite(i);
            n.ultimoOperando = true;
            return i + 1;
        }

        switch (k.id) {
        case kTop: {
            const int r = ProcesaTop(i);
            if (r >= 0)
                return r;
            break;
        }
        case kSelect:
            TerminaCadena(n);
            if (EnRaiz()) {
                if (!(st_.crea == kTrigger))
                    n.enConsulta = true;
                if (st_.tipo == kInsert || st_.tipo == kWith)
                    st_.cuerpo = true;
            } else if (n.abre == i - 1) {
                n.tipo = Marco::Subconsulta;
                n.enConsulta = st_.crea != kTrigger;
            }
            EmiteTrivia(i);
            n.posSelect = out_.size();
            out_.append(Texto(i));
            st_.salida = true;
            n.ultimoOperando = false;
            return i + 1;
        case kCase: {
            TerminaCadena(n);
            Emite(i);
            Nivel c;
            c.tipo = Marco::Caso;
            c.enConsulta = n.enConsulta;
            c.baseMas = mas_.size();
            niveles_.push_back(c);
            return i + 1;
        }
        case kEnd:
            if (n.tipo == Marco::Caso) {
                TerminaCadena(n);
                const bool texto = n.resultadoTexto;
                niveles_.pop_back();
                Emite(i);
                Arriba().cadenaTexto |= texto;
                Arriba().ultimoOperando = true;
                return i + 1;
            }
            if (n.tipo == Marco::CuerpoTrigger) {
                TerminaCadena(n);
                niveles_.pop_back();
                st_.triggerCerrado = true;
                Emite(i);
                return i + 1;
            }
            break;
        case kBegin:
            if (EnRaiz() && st_.crea == kTrigger && !st_.triggerCerrado) {
                Emite(i);
                Nivel c;
                c.tipo = Marco::CuerpoTrigger;
                c.baseMas = mas_.size();
                niveles_.push_back(c);
                return i + 1;
            }
            break;
        case kWhen:
            TerminaCadena(n);
            n.enResultado = false;
            break;
        case kThen:
        case kElse:
            TerminaCadena(n);
            n.enResultado = true;
            break;
        case kBetween:
            TerminaCadena(n);
            n.entrePendiente = true;
            n.entreIzqTexto = n.ultimaCadenaTexto;
            break;
        case kAnd:
            TerminaCadena(n);
            if (n.entrePendiente) {
                n.entrePendiente = false;
                n.andEntre = i;
            }
            break;
        case kUnion:
        case kExcept:
        case kIntersect:
            TerminaCadena(n);
            if (n.limite)
                EnvuelveRama(n);
            n.compuesto = true;
            break;
        case kOrder:
            // After a UNION the ORDER BY sorts the whole compound: a TOP of the last branch
            // closes before it.
            TerminaCadena(n);
            if (n.limite && n.compuesto)
                EnvuelveRama(n);
            break;
        case kSet:
            if (EnRaiz() && st_.tipo == kUpdate)
                n.zonaSet = true;
            break;
        case kWhere:
        case kFrom:
            if (EnRaiz())
                n.zonaSet = false;
            break;
        case kValues:
            if (EnRaiz() && st_.tipo == kInsert)
                st_.cuerpo = true;
            break;
        case kAdd:
            if (EnRaiz() && st_.tipo == kAlter) {
                n.defs = true;
                n.posDef = 0;
                TerminaCadena(n);
                Emite(i);
                n.ultimoOperando = false;
                return i + 1;
            }
            break;
        default:
            break;
        }
        TerminaCadena(n);
        Emite(i);
        n.ultimoOperando = false;
        return i + 1;
    }

    int ProcesaLlamada(int i) {
        const Token& k = t_[size_t(i)];
        switch (k.id) {
        case kIsnull:
            EmiteComo(i, u"IFNULL");
            break;
        case kLeft:
            EmiteComo(i, u"TSQL_LEFT");
            break;
        case kRight:
            EmiteComo(i, u"TSQL_RIGHT");
            break;
        case kScopeIdentity:
            EmiteComo(i, u"last_insert_rowid");
            break;
        case kConvert: {
            // CONVERT(type[(n[,m])], x [, style]) -> TSQL_CONVERT('TYPE(n,m)', x [, style])
            const Token& tipo = T(i + 2);
            if (tipo.tipo != Tk::Palabra && tipo.tipo != Tk::Corchete)
                break;
            int j = i + 3;
            if (TipoEn(j) == Tk::AbreParen) {
                j = CierreDe(j);
                if (j < 0)
                    break;
                ++j;
            }
            if (TipoEn(j) != Tk::Coma)
                break;
            QString nombre;
            for (int m = i + 2; m < j; ++m) {
                QStringView s = Texto(m);
                if (t_[size_t(m)].tipo == Tk::Corchete)
                    s = s.sliced(1, s.size() - 2);
                nombre += s.toString().toUpper();
            }
            nombre.replace(u'\'', QStringLiteral("''"));
            EmiteComo(i, u"TSQL_CONVERT");
            AbreParen(i + 1, (tipo.banderas & F_TIPO_TEXTO) ? Devuelve::Texto : Devuelve::Otro,
                      true);
            out_ += u'\'';
            out_ += nombre;
            Agrega(u"',");
            SaltaHasta(i + 2, j);
            necesitaEspacio_ = false;
            return j + 1;
        }
        case kCast: {
            // CAST(x AS type) -> TSQL_CAST(x, 'TYPE'): SQLite's CAST would read '2024-01-31'
            // AS DATE as the number 2024 and never cut a VARCHAR(n).
            const int c = CierreDe(i + 1);
            int as = -1;
            int prof = 0;
            for (int j = i + 2; j < c; ++j) {
                const Token& x = t_[size_t(j)];
                if (x.tipo == Tk::AbreParen)
                    ++prof;
                else if (x.tipo == Tk::CierraParen)
                    --prof;
                else if (prof == 0 && x.tipo == Tk::Palabra && x.id == kAs)
                    as = j;
            }
            if (c < 0 || as < 0 || as + 1 >= c || TipoEn(as + 1) != Tk::Palabra)
                break;
            EmiteComo(i, u"TSQL_CAST");
            AbreParen(i + 1, (T(as + 1).banderas & F_TIPO_TEXTO) ? Devuelve::Texto : Devuelve::Otro,
                      true);
            Arriba().castAs = as;
            Arriba().castFin = c;
            return i + 2;
        }
        case kDateadd:
        case kDatediff:
        case kDatepart:
            // The date part is a bare word in SQL Server; the functions take it as text.
            if (TipoEn(i + 2) == Tk::Palabra && TipoEn(i + 3) == Tk::Coma) {
                Emite(i);
                AbreParen(i + 1);
                EmiteTrivia(i + 2);
                out_ += u'\'';
                out_.append(Texto(i + 2));
                out_ += u'\'';
                return i + 3;
            }
            Emite(i);
            break;
        default:
            Emite(i);
            break;
        }
        if (k.id == kConvert || k.id == kCast)
            Emite(i);
        return i + 1;
    }

    int ProcesaCastAs(int i) {
        Nivel& n = Arriba();
        TerminaCadena(n);
        QString tipo;
        for (int j = i + 1; j < n.castFin; ++j) {
            const Token& x = t_[size_t(j)];
            if (x.tipo == Tk::Cadena)
                continue;
            QStringView s = Texto(j);
            if (x.tipo == Tk::Corchete)
                s = s.sliced(1, s.size() - 2);
            tipo += s.toString().toUpper();
        }
        tipo.replace(u'\'', QStringLiteral("''"));
        Agrega(u", '");
        out_ += tipo;
        out_ += u'\'';
        const int c = n.castFin;
        n.castAs = -1;
        SaltaHasta(i, c - 1);
        necesitaEspacio_ = false;
        return c;
    }

    void ProcesaOp(int i) {
        const Token& k = t_[size_t(i)];
        Nivel& n = Arriba();
        if (EsComparacion(k)) {
            TerminaCadena(n);
            if (k.op == OpNoMenor)
                EmiteComo(i, u">=");
            else if (k.op == OpNoMayor)
                EmiteComo(i, u"<=");
            else
                Emite(i);
        } else if (k.op == OpMas && n.ultimoOperando) {
            EmiteTrivia(i);
            mas_.push_back(out_.size());
            out_ += u'+';
            st_.salida = true;
        } else {
            Emite(i);
        }
        n.ultimoOperando = false;
    }

    int Procesa(int i) {
        const Token& k = t_[size_t(i)];
        const bool enTrigger = niveles_.size() > 1 && niveles_[1].tipo == Marco::CuerpoTrigger;
        if (k.tipo == Tk::PuntoComa && !enTrigger) {
            TerminaSentencia(i, false);
            return i + 1;
        }
        if (EnRaiz() && k.tipo == Tk::Palabra) {
            if (k.id == kGo && EsLineaGo(i)) {
                if (st_.tokens > 0)
                    TerminaSentencia(-1, true);
                Salta(i);
                return i + 1;
            }
            if ((k.banderas & F_SENTENCIA) && st_.tokens > 0 && EmpiezaSentencia(i))
                TerminaSentencia(-1, true);
        }
        ++st_.tokens;
        if (st_.descartando) {
            Salta(i);
            return i + 1;
        }
        if (st_.tokens == 1) {
            const int r = InicioSentencia(i);
            if (r >= 0)
                return r;
        }
        if (Arriba().castAs == i)
            return ProcesaCastAs(i);
        switch (k.tipo) {
        case Tk::Palabra:
            return ProcesaPalabra(i);
        case Tk::Cadena:
            ProcesaCadena(i);
            break;
        case Tk::Corchete:
            return ProcesaCorchete(i);
        case Tk::FechaAlmohadilla:
            ProcesaFechaAlmohadilla(i);
            break;
        case Tk::Op:
            ProcesaOp(i);
            break;
        case Tk::AbreParen:
            AbreParen(i);
            break;
        case Tk::CierraParen:
            CierraParen(i);
            break;
        case Tk::Coma: {
            Nivel& n = Arriba();
            TerminaCadena(n);
            n.ultimoOperando = false;
            if (n.defs)
                n.posDef = 0;
            Emite(i);
            break;
        }
        case Tk::Numero:
        case Tk::Comillas:
            Emite(i);
            AvanzaDefinicion(i);
            Arriba().ultimoOperando = true;
            break;
        default:
            Emite(i);
            Arriba().ultimoOperando = false;
            break;
        }
        return i + 1;
    }
};

} // namespace

QString ReescribeTSql(const QString& tsql) {
    if (tsql.size() > std::numeric_limits<int>::max() / 2)
        return tsql;
    thread_local Memoria memoria;
    try {
        memoria.toks.clear();
        if (!Tokeniza(tsql, memoria.toks))
            return tsql;
        QString out;
        out.reserve(tsql.size() + tsql.size() / 4 + 32);
        Reescritor(tsql, memoria, out).Ejecuta();
        return out;
    } catch (...) {
        return tsql;
    }
}

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
