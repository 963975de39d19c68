#pragma once
// Queries that differ only in the values they compare share one compiled
// statement: the literals of their WHERE, ON and HAVING clauses become bound
// parameters, so the embedded provider compiles each query shape once.

#include <QString>
#include <QVariantList>

namespace ado::sqlite {

// For a single SELECT in SQLite text, replaces each string or number literal
// that stands in a WHERE, ON or HAVING clause (subqueries included) by "?" and
// appends its value to `valores`; returns the new text. Any other text, and a
// SELECT without such literals, comes back unchanged with `valores` untouched.
QString Parametriza(const QString& sqlite, QVariantList& valores);

} // namespace ado::sqlite
