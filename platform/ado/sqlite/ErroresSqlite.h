#pragma once
// SQLite failures told as SQL Server tells them: the native numbers, SQLSTATEs and
// error numbers that callers test.

#include "platform/ado/Falla.h"

struct sqlite3;

namespace ado::detalle {

// The records SQL Server gives for the failure `rc` just seen on `db`: a constraint
// failure is followed, as there, by 3621 "The statement has been terminated.".
// Validation triggers raise "<native>|<sqlstate>|<message>", which is unpacked here.
QList<Error> TraduceError(sqlite3* db, int rc);

// Whether SQL Server goes on with the rest of the batch after this error.
bool TerminaSoloLaSentencia(Numero nativo);

// A database that cannot be reached or opened.
Falla FallaConexion(const QString& mensaje);

// A statement the rewriter could not turn into SQLite text: `etapa` names the reading or
// the rule that failed, `motivo` says why; the description quotes the statement's start.
Falla FallaReescritura(const QString& etapa, const QString& motivo, const QString& sentencia);

} // namespace ado::detalle
