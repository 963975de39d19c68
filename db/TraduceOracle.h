#pragma once
// The program's SQL Server text in Oracle's dialect, worked on the tokens of the
// project's SQL lexer: what is inside a literal or a quoted name stays as written,
// except date literals, which Oracle must be told how to read.

#include "platform/ado/Falla.h"

#include <QString>
#include <QStringView>

namespace db::oracle {

// The whole rewrite. Raises ado::Falla (5) when the text cannot be carried over
// without changing its meaning: a literal or name left open, a TOP without columns,
// TOP n PERCENT other than 100, TOP ... WITH TIES.
QString Traduce(QStringView sql);

// "SELECT TOP n * ..." as a ROWNUM query, the shape the access log asks for. Text
// without the word TOP comes back unchanged; a TOP not followed by a number and
// "*" raises ado::Falla (5).
QString ConvierteTop(QStringView sql);

// Why a text cannot be carried over to Oracle, with the start of the text where it
// stopped: error 5, as the translation and the script splitter raise it.
ado::Falla NoPasaAOracle(const QString& queNoPasa, const QString& motivo, QStringView texto);

// Whether the operator writes the day before the month.
bool DiaPrimero();

} // namespace db::oracle
