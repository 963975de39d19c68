#pragma once
// The embedded provider runs the program's SQL Server text on SQLite. This rewriter works on
// tokens, in one pass, and covers what the program writes:
//   - table hints WITH (NOLOCK, ...) and T (NOLOCK) are removed, OPTION (...) as well;
//   - SELECT TOP n / TOP (n) / TOP @n becomes LIMIT n at the end of that SELECT (subqueries
//     included; in a UNION branch the branch is wrapped); TOP 100 PERCENT is dropped;
//   - DELETE T gets its FROM, TRUNCATE TABLE becomes DELETE FROM;
//   - ISNULL -> IFNULL, N'x' -> 'x', dbo. dropped, [name] -> "name", LEFT(/RIGHT( as functions,
//     CONVERT/CAST through registered functions, DATEADD/DATEDIFF/DATEPART parts as strings,
//     CURRENT_TIMESTAMP -> GETDATE(), SCOPE_IDENTITY()/@@IDENTITY -> last_insert_rowid();
//   - "+" becomes "||" in every additive chain that holds a string literal or a text-returning
//     call (LTRIM, SUBSTRING, CONVERT to a char type, ISNULL(x, '') and so on). A chain of plain
//     columns, `nombre + apellido`, cannot be told from a sum and stays numeric;
//   - date literals: #31/01/2024# and a day/month/year (or ISO) literal compared with something
//     not known to be text become canonical ISO text (Calendario.h);
//   - string literals compared in queries get COLLATE NOCASE, since the result of a function
//     loses the column's collation and SQL Server compares text without regard to case (for
//     x IN ('a', 'b') the left operand gets it too: SQLite compares a list with its collation);
//     literals without letters are left alone, so numeric and date indexes stay usable;
//     trailing blanks of such literals are dropped, as SQL Server pads the shorter side (a
//     value stored with trailing blanks still needs RTRIM(col), which the program writes);
//   - batches are split into statements joined by ";" (also at a line holding only GO);
//     BEGIN/COMMIT/ROLLBACK TRAN[SACTION] [name] lose the name; SET NOCOUNT/DATEFORMAT/
//     XACT_ABORT/... are dropped; char columns added by CREATE TABLE or ALTER TABLE ... ADD
//     get COLLATE NOCASE.
//
// Not handled (passed through; SQLite reports its own error, or the result differs):
// TOP ... WITH TIES, TOP n PERCENT other than 100, UPDATE/DELETE TOP, OFFSET ... FETCH,
// UPDATE ... FROM with joins, DELETE T FROM T JOIN ..., IF/DECLARE/EXEC/BEGIN ... END blocks,
// date arithmetic with "+" (use DATEADD), DATENAME, the collation of literals after a simple
// CASE x WHEN 'a', and case folding beyond ASCII (NOCASE folds A-Z only). A text column
// compared with a day/month/year literal ('01/02/03' as a code) is read as a date.
// CONVERT(char, x) without a style keeps a stored date's ISO text (style 0 is not emulated);
// DATEPART(weekday/week) count from Monday, as the Spanish server does.

#include <QString>

namespace ado::sqlite {

// Rewrites SQL Server text (one statement or a batch) into SQLite text. Statements of
// a batch come out separated by ";". Text it cannot read (an unterminated string, say)
// or a rule that fails raises ado::Falla (DB_E_ERRORSINCOMMAND) naming the reading or
// the rule and quoting the start of the statement.
QString ReescribeTSql(const QString& tsql);

} // namespace ado::sqlite
