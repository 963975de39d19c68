#include "ado/sqlite/PiezasTSql.h"

#include <cstring>

namespace ado::sqlite {

namespace {

struct Clave {
    const char* nombre;
    uint16_t id;
    uint16_t banderas;
};

constexpr uint16_t C = F_CLAVE;
constexpr uint16_t CS = F_CLAVE | F_SENTENCIA;

const Clave kClaves[] = {
    {"SELECT", kSelect, CS},
    {"INSERT", kInsert, CS},
    {"UPDATE", kUpdate, CS},
    {"DELETE", kDelete, CS},
    {"CREATE", kCreate, CS},
    {"DROP", kDrop, CS},
    {"ALTER", kAlter, CS},
    {"BEGIN", kBegin, CS},
    {"COMMIT", kCommit, CS},
    {"ROLLBACK", kRollback, CS},
    {"SET", kSet, CS},
    {"TRUNCATE", kTruncate, CS},
    {"WITH", kWith, C},
    {"FROM", kFrom, C},
    {"WHERE", kWhere, C},
    {"AND", kAnd, C},
    {"ON", kOn, C},
    {"FOR", kFor, C},
    {"UNION", kUnion, C},
    {"ALL", kAll, C},
    {"EXCEPT", kExcept, C},
    {"INTERSECT", kIntersect, C},
    {"AS", kAs, C},
    {"VALUES", kValues, C},
    {"WHEN", kWhen, C},
    {"THEN", kThen, C},
    {"ELSE", kElse, C},
    {"END", kEnd, C},
    {"CASE", kCase, C},
    {"IN", kIn, C},
    {"LIKE", kLike, C},
    {"BETWEEN", kBetween, C},
    {"DISTINCT", kDistinct, C},
    {"TOP", kTop, C},
    {"PERCENT", kPercent, C},
    {"TIES", kTies, C},
    {"COLLATE", kCollate, C},
    {"TABLE", kTable, C},
    {"VIEW", kView, C},
    {"TRIGGER", kTrigger, C},
    {"INDEX", kIndex, C | F_PISTA | F_RESTRICCION},
    {"ADD", kAdd, C},
    {"COLUMN", kColumn, C},
    {"TRAN", kTran, C},
    {"TRANSACTION", kTransaction, C | F_OPCION_SET},
    {"WORK", kWork, C},
    {"DISTRIBUTED", kDistributed, C},
    {"TO", kTo, C},
    {"GO", kGo, C},
    {"OPTION", kOption, C},
    {"LEFT", kLeft, C | F_LLAMABLE | F_FN_TEXTO},
    {"RIGHT", kRight, C | F_LLAMABLE | F_FN_TEXTO},
    {"ISNULL", kIsnull, F_FN_PROPAGA},
    {"CONVERT", kConvert, 0},
    {"CAST", kCast, 0},
    {"DATEADD", kDateadd, 0},
    {"DATEDIFF", kDatediff, 0},
    {"DATEPART", kDatepart, 0},
    {"CURRENT_TIMESTAMP", kCurrentTimestamp, 0},
    {"SCOPE_IDENTITY", kScopeIdentity, 0},
    {"@@IDENTITY", kArrobaIdentity, 0},
    {"DBO", kDbo, 0},
    // Other keywords: they end a chain and are never operands.
    {"OR", kOtraClave, C},
    {"NOT", kNot, C},
    {"JOIN", kOtraClave, C},
    {"INNER", kOtraClave, C},
    {"OUTER", kOtraClave, C},
    {"CROSS", kOtraClave, C},
    {"FULL", kOtraClave, C},
    {"GROUP", kOtraClave, C},
    {"ORDER", kOrder, C},
    {"BY", kOtraClave, C},
    {"HAVING", kOtraClave, C},
    {"INTO", kOtraClave, C},
    {"IS", kOtraClave, C},
    {"ESCAPE", kOtraClave, C},
    {"EXISTS", kExists, C},
    {"ANY", kOtraClave, C},
    {"SOME", kOtraClave, C},
    {"ASC", kOtraClave, C},
    {"DESC", kOtraClave, C},
    {"LIMIT", kOtraClave, C},
    {"OFFSET", kOtraClave, C},
    {"OVER", kOtraClave, C},
    {"PARTITION", kOtraClave, C},
    {"DEFAULT", kOtraClave, C},
    {"CONSTRAINT", kOtraClave, C | F_RESTRICCION},
    {"PRIMARY", kOtraClave, C | F_RESTRICCION},
    {"FOREIGN", kOtraClave, C | F_RESTRICCION},
    {"UNIQUE", kOtraClave, C | F_RESTRICCION},
    {"CHECK", kOtraClave, C | F_RESTRICCION},
    {"KEY", kOtraClave, C | F_RESTRICCION},
    {"REFERENCES", kOtraClave, C},
    {"RETURNING", kOtraClave, C},
    // Functions returning text.
    {"LTRIM", kNinguno, F_FN_TEXTO},
    {"RTRIM", kNinguno, F_FN_TEXTO},
    {"TRIM", kNinguno, F_FN_TEXTO},
    {"UPPER", kNinguno, F_FN_TEXTO},
    {"LOWER", kNinguno, F_FN_TEXTO},
    {"SUBSTRING", kNinguno, F_FN_TEXTO},
    {"SUBSTR", kNinguno, F_FN_TEXTO},
    {"REPLACE", kNinguno, F_FN_TEXTO},
    {"SPACE", kNinguno, F_FN_TEXTO},
    {"REPLICATE", kNinguno, F_FN_TEXTO},
    {"STR", kNinguno, F_FN_TEXTO},
    {"CHAR", kNinguno, F_FN_TEXTO | F_TIPO_TEXTO},
    {"NCHAR", kNinguno, F_FN_TEXTO | F_TIPO_TEXTO},
    {"CONCAT", kNinguno, F_FN_TEXTO},
    {"REVERSE", kNinguno, F_FN_TEXTO},
    {"STUFF", kNinguno, F_FN_TEXTO},
    {"QUOTENAME", kNinguno, F_FN_TEXTO},
    {"FORMAT", kNinguno, F_FN_TEXTO},
    {"PRINTF", kNinguno, F_FN_TEXTO},
    {"TSQL_LEFT", kNinguno, F_FN_TEXTO},
    {"TSQL_RIGHT", kNinguno, F_FN_TEXTO},
    {"IFNULL", kNinguno, F_FN_PROPAGA},
    {"COALESCE", kNinguno, F_FN_PROPAGA},
    {"NULLIF", kNinguno, F_FN_PROPAGA},
    {"MIN", kNinguno, F_FN_PROPAGA},
    {"MAX", kNinguno, F_FN_PROPAGA},
    // Character types.
    {"VARCHAR", kNinguno, F_TIPO_TEXTO},
    {"NVARCHAR", kNinguno, F_TIPO_TEXTO},
    {"TEXT", kNinguno, F_TIPO_TEXTO},
    {"NTEXT", kNinguno, F_TIPO_TEXTO},
    {"SYSNAME", kNinguno, F_TIPO_TEXTO},
    {"CHARACTER", kNinguno, F_TIPO_TEXTO},
    // Table hints.
    {"NOLOCK", kNinguno, F_PISTA},
    {"READUNCOMMITTED", kNinguno, F_PISTA},
    {"READCOMMITTED", kNinguno, F_PISTA},
    {"READCOMMITTEDLOCK", kNinguno, F_PISTA},
    {"READPAST", kNinguno, F_PISTA},
    {"REPEATABLEREAD", kNinguno, F_PISTA},
    {"SERIALIZABLE", kNinguno, F_PISTA},
    {"ROWLOCK", kNinguno, F_PISTA},
    {"PAGLOCK", kNinguno, F_PISTA},
    {"TABLOCK", kNinguno, F_PISTA},
    {"TABLOCKX", kNinguno, F_PISTA},
    {"UPDLOCK", kNinguno, F_PISTA},
    {"XLOCK", kNinguno, F_PISTA},
    {"HOLDLOCK", kNinguno, F_PISTA},
    {"NOWAIT", kNinguno, F_PISTA},
    {"FORCESEEK", kNinguno, F_PISTA},
    {"FORCESCAN", kNinguno, F_PISTA},
    {"NOEXPAND", kNinguno, F_PISTA},
    {"SNAPSHOT", kNinguno, F_PISTA},
    // SET options.
    {"NOCOUNT", kNinguno, F_OPCION_SET},
    {"DATEFORMAT", kNinguno, F_OPCION_SET},
    {"XACT_ABORT", kNinguno, F_OPCION_SET},
    {"ANSI_NULLS", kNinguno, F_OPCION_SET},
    {"ANSI_WARNINGS", kNinguno, F_OPCION_SET},
    {"ANSI_PADDING", kNinguno, F_OPCION_SET},
    {"ANSI_DEFAULTS", kNinguno, F_OPCION_SET},
    {"ANSI_NULL_DFLT_ON", kNinguno, F_OPCION_SET},
    {"QUOTED_IDENTIFIER", kNinguno, F_OPCION_SET},
    {"ARITHABORT", kNinguno, F_OPCION_SET},
    {"NUMERIC_ROUNDABORT", kNinguno, F_OPCION_SET},
    {"CONCAT_NULL_YIELDS_NULL", kNinguno, F_OPCION_SET},
    {"LANGUAGE", kNinguno, F_OPCION_SET},
    {"DATEFIRST", kNinguno, F_OPCION_SET},
    {"ROWCOUNT", kNinguno, F_OPCION_SET},
    {"LOCK_TIMEOUT", kNinguno, F_OPCION_SET},
    {"IDENTITY_INSERT", kNinguno, F_OPCION_SET},
    {"IMPLICIT_TRANSACTIONS", kNinguno, F_OPCION_SET},
    {"DEADLOCK_PRIORITY", kNinguno, F_OPCION_SET},
    {"TEXTSIZE", kNinguno, F_OPCION_SET},
};

// Open-addressing table over the upper-case names, built once.
class TablaClaves {
public:
    TablaClaves() {
        for (const Clave& c : kClaves) {
            const size_t n = std::strlen(c.nombre);
            uint32_t h = Hash(c.nombre, n) & (kCasillas - 1);
            while (casillas_[h])
                h = (h + 1) & (kCasillas - 1);
            casillas_[h] = &c;
            largos_[h] = uint8_t(n);
        }
    }
    const Clave* Busca(const QChar* s, int n) const {
        char buf[kMaxLargo];
        if (n <= 0 || n >= kMaxLargo)
            return nullptr;
        for (int i = 0; i < n; ++i) {
            const char16_t c = s[i].unicode();
            if (c >= 0x80)
                return nullptr;
            buf[i] = (c >= 'a' && c <= 'z') ? char(c - 32) : char(c);
        }
        uint32_t h = Hash(buf, size_t(n)) & (kCasillas - 1);
        while (const Clave* c = casillas_[h]) {
            if (largos_[h] == n && std::memcmp(c->nombre, buf, size_t(n)) == 0)
                return c;
            h = (h + 1) & (kCasillas - 1);
        }
        return nullptr;
    }

private:
    static constexpr uint32_t kCasillas = 512;
    static constexpr int kMaxLargo = 32;
    static uint32_t Hash(const char* s, size_t n) {
        uint32_t h = 2166136261u;
        for (size_t i = 0; i < n; ++i)
            h = (h ^ uint8_t(s[i])) * 16777619u;
        return h;
    }
    const Clave* casillas_[kCasillas] = {};
    uint8_t largos_[kCasillas] = {};
};

const TablaClaves& Claves() {
    static const TablaClaves tabla;
    return tabla;
}

Tk TipoDe(const sql::Token& t) {
    switch (t.clase) {
    case sql::Clase::Palabra:
        return Tk::Palabra;
    case sql::Clase::Numero:
        return Tk::Numero;
    case sql::Clase::Cadena:
        return Tk::Cadena;
    case sql::Clase::Identificador:
        return Tk::Comillas; // "x" and `x` alike; [x] is told apart by its text
    case sql::Clase::Fecha:
        return Tk::FechaAlmohadilla;
    default:
        break;
    }
    switch (t.simbolo) {
    case sql::Simbolo::AbreParentesis:
        return Tk::AbreParen;
    case sql::Simbolo::CierraParentesis:
        return Tk::CierraParen;
    case sql::Simbolo::Coma:
        return Tk::Coma;
    case sql::Simbolo::PuntoYComa:
        return Tk::PuntoComa;
    case sql::Simbolo::Punto:
        return Tk::Punto;
    case sql::Simbolo::Otro:
        return Tk::Otro;
    default:
        return Tk::Op;
    }
}

} // namespace

bool Trocea(QStringView texto, std::vector<Pieza>& piezas, sql::Token& abierto) {
    const TablaClaves& claves = Claves();
    sql::Lexico lexico(texto);
    int inicioTrivia = 0;
    bool nuevaLinea = true;
    bool comentario = false;
    for (;;) {
        const sql::Token t = lexico.Siguiente();
        if (t.abierto) {
            abierto = t;
            return false;
        }
        if (t.clase == sql::Clase::Espacio) {
            nuevaLinea |= t.finDeLinea;
            continue;
        }
        if (t.clase == sql::Clase::Comentario) {
            comentario = true;
            continue;
        }
        // Built in place: copying a freshly written piece stalls on store forwarding.
        Pieza& p = piezas.emplace_back();
        p.inicioTrivia = inicioTrivia;
        p.inicio = t.inicio;
        p.largo = t.largo;
        p.inicioLinea = nuevaLinea;
        p.triviaConComentario = comentario;
        if (t.clase == sql::Clase::Fin)
            return true;
        p.tipo = TipoDe(t);
        if (p.tipo == Tk::Comillas && texto[t.inicio] == u'[')
            p.tipo = Tk::Corchete;
        else if (p.tipo == Tk::Op)
            p.op = t.simbolo;
        else if (p.tipo == Tk::Cadena)
            p.prefijoN = t.prefijoN;
        else if (p.tipo == Tk::Palabra)
            if (const Clave* k = claves.Busca(texto.data() + t.inicio, t.largo)) {
                p.id = k->id;
                p.banderas = k->banderas;
            }
        inicioTrivia = t.inicio + t.largo;
        nuevaLinea = false;
        comentario = false;
    }
}

} // namespace ado::sqlite
