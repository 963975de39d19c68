#pragma once
// The SQL Server functions that the rewritten text calls, registered in a SQLite
// connection: LEN, CHARINDEX, SPACE, REPLICATE, STR, LEFT/RIGHT (as TSQL_LEFT and
// TSQL_RIGHT, since SQLite reserves the words), GETDATE, YEAR/MONTH/DAY, DATEADD,
// DATEDIFF, DATEPART, and CONVERT/CAST (as TSQL_CONVERT('TYPE', x [, style]) and
// TSQL_CAST(x, 'TYPE')). Dates come and go as canonical text (Calendario.h).

struct sqlite3;

namespace ado::sqlite {

void RegistraFuncionesTSql(sqlite3* db);

} // namespace ado::sqlite
