#pragma once
// What the ODBC driver manager says, as the program's error lists hold it: every
// diagnostic record of a call, numbered as ADO numbers them.

#include "platform/ado/Falla.h"

#include <QString>

#include <sql.h>
#include <sqlext.h>

namespace ado::detalle::odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

inline const QString fuenteOdbc = QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers");

inline SQLWCHAR* w(const QString& s) {
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(s.utf16()));
}

inline QString deW(const SQLWCHAR* s, qsizetype n) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s), n);
}

template <typename T> SQLPOINTER entero(T v) {
    return reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(v));
}

// Every record the last call left on the handle, in order. Warnings carry number 0,
// as ADO gives informational messages.
QList<Error> leeRegistros(SQLSMALLINT tipo, SQLHANDLE h);

// The records of a call that failed, numbered from their SQLSTATE.
QList<Error> comoErrores(QList<Error> registros);

// Raises the records; the first error among them, not a warning before it, is the cause.
[[noreturn]] void lanza(QList<Error> registros, const char* llamada);

// For calls whose warnings have nowhere to go (attributes, transactions): a failure
// raises its records, anything else passes.
void comprueba(SQLRETURN rc, SQLSMALLINT tipo, SQLHANDLE h, const char* llamada);

} // namespace ado::detalle::odbc
