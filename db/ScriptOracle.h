#pragma once
// A SQL Server script cut into the single statements Oracle takes. Literals, quoted
// names and comments are never looked into: a keyword in a value is a value.

#include <QList>
#include <QString>
#include <QStringView>

namespace db::oracle {

// Batch markers out ("GO", "SET NOCOUNT ON|OFF"), carriage returns in the blanks
// made blanks, and BEGIN/COMMIT/ROLLBACK TRANSACTION (or TRANS) written as the
// statements the splitter knows ("SET TRANSACTION", "COMMIT", "ROLLBACK").
QString NormalizaScript(QStringView script);

struct PasoScript {
    enum class Clase { Inicia, Confirma, Revierte, Sentencia };
    Clase clase = Clase::Sentencia;
    QString sentencia;    // SQL Server text, trimmed, without a closing ";"
    QString condicion;    // IF [NOT] EXISTS (condicion) sentencia; empty: unconditional
    bool niega = false;   // IF NOT EXISTS
    qsizetype inicio = 0; // where the step begins in the normalised text
};

// The steps of a normalised script, in order. Empty for a blank script and for a
// lone SELECT, which runs nothing. Raises ado::Falla (5) for text that is no
// statement it knows (MERGE, EXEC, DECLARE, BEGIN TRAN, ...) and for an IF that
// does not guard exactly one statement; nothing is to run then.
QList<PasoScript> CortaScript(QStringView normalizado);

// Whether a statement is a SET NOCOUNT, which Oracle does not have.
bool EsSetNocount(QStringView sentencia);

} // namespace db::oracle
