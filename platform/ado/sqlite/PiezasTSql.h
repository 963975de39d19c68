#pragma once
// The rewriter's view of a statement: the lexer's tokens without their trivia, each
// knowing where its leading blanks and comments start, and the words the rewriter acts
// on, with what it needs to know about them.

#include "platform/sql/LexicoSql.h"

#include <QStringView>

#include <cstdint>
#include <vector>

namespace ado::sqlite {

enum class Tk : uint8_t {
    Palabra,
    Numero,
    Cadena,
    Corchete,
    Comillas,
    FechaAlmohadilla,
    Op,
    AbreParen,
    CierraParen,
    Coma,
    PuntoComa,
    Punto,
    Otro,
    Fin
};

// Words the rewriter acts on.
enum Id : uint16_t {
    kNinguno,
    kSelect,
    kInsert,
    kUpdate,
    kDelete,
    kCreate,
    kDrop,
    kAlter,
    kBegin,
    kCommit,
    kRollback,
    kSet,
    kTruncate,
    kWith,
    kFrom,
    kWhere,
    kAnd,
    kOn,
    kFor,
    kUnion,
    kAll,
    kExcept,
    kIntersect,
    kAs,
    kValues,
    kWhen,
    kThen,
    kElse,
    kEnd,
    kCase,
    kIn,
    kLike,
    kBetween,
    kDistinct,
    kTop,
    kPercent,
    kTies,
    kCollate,
    kTable,
    kView,
    kTrigger,
    kIndex,
    kAdd,
    kColumn,
    kTran,
    kTransaction,
    kWork,
    kDistributed,
    kTo,
    kGo,
    kOption,
    kOrder,
    kNot,
    kExists,
    kLeft,
    kRight,
    kIsnull,
    kConvert,
    kCast,
    kDateadd,
    kDatediff,
    kDatepart,
    kCurrentTimestamp,
    kScopeIdentity,
    kArrobaIdentity,
    kDbo,
    kOtraClave,
};

enum Bandera : uint16_t {
    F_CLAVE = 1,        // a keyword: not an operand, ends an additive chain
    F_LLAMABLE = 2,     // a keyword that is a function when "(" follows (LEFT, RIGHT)
    F_SENTENCIA = 4,    // may start a statement
    F_FN_TEXTO = 8,     // returns text
    F_FN_PROPAGA = 16,  // returns the type of its arguments (ISNULL, COALESCE, MAX...)
    F_PISTA = 32,       // a table hint
    F_OPCION_SET = 64,  // SET <option> statements that SQLite has no use for
    F_TIPO_TEXTO = 128, // a character type name
    F_RESTRICCION = 256 // starts a table constraint, not a column
};

// One token that is not trivia.
struct Pieza {
    int inicioTrivia = 0; // where the blanks and comments before it start
    int inicio = 0;
    int largo = 0;
    Tk tipo = Tk::Fin;
    sql::Simbolo op = sql::Simbolo::Ninguno; // for Tk::Op
    bool prefijoN = false;
    bool inicioLinea = false;         // the first token of the text or of a line
    bool triviaConComentario = false; // a comment stands before it
    uint16_t id = kNinguno;
    uint16_t banderas = 0;
};

// Splits the text into pieces, ending with a Tk::Fin one that holds the trailing trivia.
// False when a string, quoted name or comment is left open; `abierto` then tells which.
bool Trocea(QStringView texto, std::vector<Pieza>& piezas, sql::Token& abierto);

} // namespace ado::sqlite
