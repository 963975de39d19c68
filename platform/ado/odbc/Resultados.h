#pragma once
// Reading what an executed statement gives back through ODBC: its result sets, row
// counts and every record on the way.

#include "platform/ado/Proveedor.h"

#include <sql.h>
#include <sqlext.h>

#include <utility>

namespace ado::detalle::odbc {

// ADO type code and defined size of a column of SQL type `tipo` (`nombreTipo` tells
// money from other decimals).
std::pair<int, int> tipoAdo(SQLSMALLINT tipo, SQLULEN tamano, const QString& nombreTipo);

// Goes through every result of an executed statement or batch: the first result
// set with columns gives the rows, the counts of the others add up, and every
// record of every step is kept in order. `rc` is what the execution returned; a
// failure raises the records.
Resultado recorre(SQLHSTMT st, SQLRETURN rc, const QString& sql, const char* llamada);

} // namespace ado::detalle::odbc
