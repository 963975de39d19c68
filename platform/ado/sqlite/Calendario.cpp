#include "ado/sqlite/Calendario.h"

#include <cstdio>

namespace ado::sqlite {

namespace {

bool EsBisiesto(int a) {
    return (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
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

} // namespace

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

int FormateaCanonica(const FechaHora& f, char* buf) {
    int n = std::snprintf(buf, 32, "%04d-%02d-%02d", f.anio, f.mes, f.dia);
    if (f.hora || f.minuto || f.segundo || f.milis)
        n += std::snprintf(buf + n, 32 - size_t(n), " %02d:%02d:%02d", f.hora, f.minuto, f.segundo);
    if (f.milis)
        n += std::snprintf(buf + n, 32 - size_t(n), ".%03d", f.milis);
    return n;
}

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

template bool LeeFecha<char>(const char*, const char*, unsigned, FechaHora&);
template bool LeeFecha<char16_t>(const char16_t*, const char16_t*, unsigned, FechaHora&);

} // namespace ado::sqlite
