#pragma once
// Dates as the embedded database keeps them: canonical ISO text, shared by the rewritten
// literals and the registered functions. 'YYYY-MM-DD' when the time is midnight, else
// 'YYYY-MM-DD HH:MM:SS' (plus '.mmm' when the milliseconds are not zero). Text comparison
// of canonical values orders them as dates.

#include <cstddef>
#include <cstdint>

namespace ado::sqlite {

struct FechaHora {
    int anio = 1900, mes = 1, dia = 1;
    int hora = 0, minuto = 0, segundo = 0, milis = 0;
};

constexpr int64_t kMilisDia = 86400000;

int DiasDelMes(int anio, int mes);
// Floor division, for times before 1970.
int64_t DivPiso(int64_t a, int64_t b);
// Days since 1970-01-01 in the proleptic Gregorian calendar.
int64_t DiasDesdeCivil(int anio, int mes, int dia);
int64_t AMilis(const FechaHora& f);
// False outside SQL Server's years 1 to 9999.
bool DesdeMilis(int64_t ms, FechaHora& f);

// Which written forms a reader accepts.
enum FormaFecha : unsigned {
    kIso = 1,       // yyyy-mm-dd, yyyy/mm/dd
    kDma = 2,       // dd/mm/yyyy, dd/mm/yy, also with "-" or "."
    kMda = 4,       // mm/dd/yyyy (style 101)
    kCompacta = 8,  // yyyymmdd
    kSoloHora = 16, // hh:mm[:ss], on 1900-01-01 as SQL Server does
};

// Reads a date, with an optional time (hh:mm[:ss[.fff]] [AM|PM]), in one of `formas`;
// blanks around it are allowed. Ch is char (UTF-8 text of SQLite) or char16_t.
template <typename Ch> bool LeeFecha(const Ch* p, const Ch* fin, unsigned formas, FechaHora& f);

// The canonical text; returns the length written (< 32).
int FormateaCanonica(const FechaHora& f, char* buf);

// CONVERT(char type, date, style). False for a style that is not a date style.
bool FormateaEstilo(const FechaHora& f, int estilo, char* buf, size_t tam);

} // namespace ado::sqlite
