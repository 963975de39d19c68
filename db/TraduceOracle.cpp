// Oracle's dialect, token by token. Every token of the SQL Server text becomes a
// piece: its own text (rewritten or emptied) and text put before and after it, so
// that wrapping a query or an operand never disturbs what lies around it.

#include "TraduceOracle.h"

#include "TokensOracle.h"

#include "platform/Utilidades.h"
#include "platform/ado/Falla.h"
#include "platform/ado/Valores.h"
#include "platform/sql/LexicoSql.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace db::oracle {

namespace {

using sql::Clase;
using sql::Simbolo;
using sql::Token;

ado::Falla intraducible(const QString& motivo, QStringView sql) {
    return NoPasaAOracle(QStringLiteral("No se puede pasar a Oracle ("), motivo, sql);
}

// A text that ends inside a literal, a quoted name or a comment would lose its end.
void exigeCerrado(QStringView sql, const QList<Token>& tokens) {
    for (const Token& t : tokens)
        if (t.abierto)
            throw intraducible(QStringLiteral("texto sin cerrar"), sql);
}

bool esUnaDe(QStringView texto, std::initializer_list<const char*> palabras) {
    for (const char* p : palabras)
        if (texto.compare(QLatin1String(p), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Written exactly as the session reads dates (NLS_DATE_FORMAT, set when the
// connection opens): Oracle converts it where a date is wanted, and a text column
// keeps it as it was written.
bool enFormaDeSesion(const QString& valor) {
    static const QRegularExpression forma(
        QStringLiteral("^\\d{2}/\\d{2}/\\d{4}( \\d{2}:\\d{2}(:\\d{2})?)?$"));
    return DiaPrimero() && forma.match(valor).hasMatch();
}

// The TO_DATE call for a literal that reads as a date, keeping its time of day.
std::optional<QString> fechaOracle(const QString& valor) {
    // Without a separator "20240131" is as likely a code as a date.
    if (!valor.contains(u'/') && !valor.contains(u'-'))
        return std::nullopt;
    QString texto = valor;
    if (!DiaPrimero()) {
        static const QRegularExpression mesPrimero(QStringLiteral("^(\\s*)(\\d{1,2})/(\\d{1,2})/"));
        texto.replace(mesPrimero, QStringLiteral("\\1\\3/\\2/"));
    }
    const auto fecha = ado::InterpretaFecha(texto);
    if (!fecha || enFormaDeSesion(valor))
        return std::nullopt;
    if (valor.contains(u':'))
        return QStringLiteral("TO_DATE('") +
               fecha->toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) +
               QStringLiteral("','DD/MM/YYYY HH24:MI:SS')");
    return QStringLiteral("TO_DATE('") + fecha->date().toString(QStringLiteral("dd/MM/yyyy")) +
           QStringLiteral("','DD/MM/YYYY')");
}

// Oracle's format for the styles of CONVERT to text the suite uses.
QString formatoDeEstilo(QStringView estilo) {
    static const std::pair<const char*, const char*> estilos[] = {
        {"103", "'DD/MM/YYYY'"}, {"104", "'DD.MM.YYYY'"}, {"105", "'DD-MM-YYYY'"},
        {"108", "'HH24:MI:SS'"}, {"112", "'YYYYMMDD'"},   {"120", "'YYYY-MM-DD HH24:MI:SS'"},
        {"23", "'YYYY-MM-DD'"},
    };
    for (const auto& [numero, formato] : estilos)
        if (estilo == QLatin1String(numero))
            return QLatin1String(formato);
    return {};
}

struct Pieza {
    QString antes;
    QString texto;
    QString despues;
    bool quitada = false;
};

// Two arguments of a call to be exchanged in the finished text (first, last token
// of each).
struct Cambio {
    int desde1, hasta1, desde2, hasta2;
};

class Traductor : private Tokens {
public:
    explicit Traductor(QStringView sql) : Tokens{sql} {
        exigeCerrado(sql, tk);
        p_.resize(tk.size());
        prof_.resize(tk.size());
        int d = 0;
        for (int i = 0; i < n(); ++i) {
            if (simbolo(i, Simbolo::CierraParentesis))
                --d;
            prof_[i] = d;
            if (simbolo(i, Simbolo::AbreParentesis))
                ++d;
            p_[i].texto = texto(i).toString();
        }
    }

    QString Traduce() {
        quitaSugerencias();
        porToken();
        textosVacios();
        comparacionesSinMayusculas();
        tops();
        return compone();
    }

private:
    QStringView texto(int i) const { return sql::TextoDe(t, tk[i]); }
    bool clase(int i, Clase c) const { return valido(i) && tk[i].clase == c; }
    int cierre(int abre) const {
        for (int k = abre + 1; k < n(); ++k)
            if (simbolo(k, Simbolo::CierraParentesis) && prof_[k] == prof_[abre])
                return k;
        return n() - 1;
    }
    int apertura(int cierra) const {
        for (int k = cierra - 1; k >= 0; --k)
            if (simbolo(k, Simbolo::AbreParentesis) && prof_[k] == prof_[cierra])
                return k;
        return 0;
    }
    void quita(int desde, int hasta) {
        for (int k = desde; k <= hasta && k < n(); ++k) {
            p_[k].texto.clear();
            p_[k].quitada = true;
        }
    }
    void envuelve(int desde, int hasta, const QString& abre, const QString& cierra) {
        p_[desde].antes.prepend(abre);
        p_[hasta].despues.append(cierra);
    }
    // The comma at the call's own level after `desde`, or the call's ")".
    int siguienteArgumento(int desde, int cierra) const {
        for (int k = desde + 1; k < cierra; ++k)
            if (simbolo(k, Simbolo::Coma) && prof_[k] == prof_[cierra] + 1)
                return k;
        return cierra;
    }
    bool reservada(int i) const {
        return esUnaDe(texto(i),
                       {"SELECT", "FROM", "WHERE",   "AND",  "OR",     "NOT",   "ON",
                        "WHEN",   "THEN", "ELSE",    "CASE", "HAVING", "IN",    "EXISTS",
                        "LIKE",   "IS",   "BY",      "AS",   "JOIN",   "UNION", "ALL",
                        "ANY",    "SOME", "BETWEEN", "END",  "ESCAPE", "SET",   "VALUES"});
    }
    bool nombre(int i) const {
        return clase(i, Clase::Identificador) || (clase(i, Clase::Palabra) && !reservada(i));
    }

    // WITH (NOLOCK) and the other table hints: Oracle has no such clause. A bare
    // "(NOLOCK)" after a table name is the older spelling of the same.
    void quitaSugerencias() {
        const auto sugerencia = [&](int i) {
            return clase(i, Clase::Palabra) &&
                   esUnaDe(texto(i),
                           {"NOLOCK", "READUNCOMMITTED", "READCOMMITTED", "REPEATABLEREAD",
                            "SERIALIZABLE", "ROWLOCK", "PAGLOCK", "TABLOCK", "TABLOCKX", "UPDLOCK",
                            "XLOCK", "HOLDLOCK", "NOWAIT", "READPAST", "INDEX"});
        };
        for (int i = 0; i < n(); ++i) {
            int desde = -1;
            int abre = -1;
            if (es(i, "WITH") && simbolo(sig(i), Simbolo::AbreParentesis) &&
                sugerencia(sig(sig(i)))) {
                desde = i;
                abre = sig(i);
            } else if (simbolo(i, Simbolo::AbreParentesis) && es(sig(i), "NOLOCK") &&
                       simbolo(sig(sig(i)), Simbolo::CierraParentesis) && nombre(ant(i))) {
                desde = abre = i;
            }
            if (desde < 0)
                continue;
            const int c = cierre(abre);
            quita(desde, c);
            i = c;
        }
    }

    void porToken() {
        for (int i = 0; i < n(); ++i) {
            if (p_[i].quitada)
                continue;
            if (clase(i, Clase::Identificador) && texto(i).startsWith(u'[')) {
                // A bracketed name is a quoted one in Oracle.
                p_[i].texto =
                    u'"' + sql::ValorDe(t, tk[i]).replace(u'"', QLatin1String("\"\"")) + u'"';
            } else if (clase(i, Clase::Cadena)) {
                const int a = ant(i);
                const bool enToDate = simbolo(a, Simbolo::AbreParentesis) && es(ant(a), "TO_DATE");
                if (!enToDate)
                    if (const auto fecha = fechaOracle(sql::ValorDe(t, tk[i])))
                        p_[i].texto = *fecha;
            } else if (es(i, "dbo") && simbolo(i + 1, Simbolo::Punto)) {
                quita(i, i + 1); // SQL Server's owner: Oracle would look for a DBO schema
            } else if (clase(i, Clase::Palabra) && simbolo(sig(i), Simbolo::AbreParentesis) &&
                       !simbolo(ant(i), Simbolo::Punto)) {
                funcion(i, sig(i));
            }
        }
    }

    void funcion(int i, int abre) {
        const QStringView f = texto(i);
        if (f.compare(QLatin1String("ISNULL"), Qt::CaseInsensitive) == 0) {
            p_[i].texto = QStringLiteral("NVL");
        } else if (f.compare(QLatin1String("SUBSTRING"), Qt::CaseInsensitive) == 0) {
            p_[i].texto = QStringLiteral("SUBSTR");
        } else if (f.compare(QLatin1String("LEN"), Qt::CaseInsensitive) == 0) {
            p_[i].texto = QStringLiteral("LENGTH");
            quita(i + 1, abre - 1); // "LEN (" is "LENGTH("
        } else if (f.compare(QLatin1String("CHARINDEX"), Qt::CaseInsensitive) == 0) {
            // INSTR takes the text searched first and the text sought second.
            p_[i].texto = QStringLiteral("InStr");
            const int c = cierre(abre);
            const int coma = siguienteArgumento(abre, c);
            const int fin2 = siguienteArgumento(coma, c);
            if (coma < c && sig(abre) < coma && sig(coma) < fin2)
                cambios_.append(Cambio{sig(abre), ant(coma), sig(coma), ant(fin2)});
        } else if (f.compare(QLatin1String("CONVERT"), Qt::CaseInsensitive) == 0) {
            convierte(i, abre);
        }
    }

    // CONVERT(type, x [, style]) to TO_CHAR( x [, format]) or TO_NUMBER( x).
    void convierte(int i, int abre) {
        const int tipo = sig(abre);
        if (!clase(tipo, Clase::Palabra))
            return;
        QString destino;
        if (esUnaDe(texto(tipo), {"NVARCHAR", "VARCHAR", "NCHAR", "CHAR"}))
            destino = QStringLiteral("TO_CHAR(");
        else if (esUnaDe(texto(tipo), {"INT", "INTEGER", "BIGINT", "SMALLINT", "TINYINT", "NUMERIC",
                                       "DECIMAL", "FLOAT", "REAL", "MONEY"}))
            destino = QStringLiteral("TO_NUMBER(");
        else
            return; // other conversions have no plain counterpart: the server says so
        int coma = sig(tipo);
        if (simbolo(coma, Simbolo::AbreParentesis)) // NVARCHAR(10)
            coma = sig(cierre(coma));
        if (!simbolo(coma, Simbolo::Coma))
            return;
        p_[i].texto = destino;
        quita(i + 1, coma);
        const int c = cierre(abre);
        const int coma2 = siguienteArgumento(coma, c);
        const int estilo = sig(coma2);
        if (destino.startsWith(QLatin1String("TO_CHAR")) && coma2 < c &&
            clase(estilo, Clase::Numero) && sig(estilo) == c)
            if (const QString formato = formatoDeEstilo(texto(estilo)); !formato.isEmpty())
                p_[estilo].texto = formato;
    }

    // An empty text is NULL to Oracle: "= ''" never holds there. Conditions only,
    // that is after the first WHERE, as an "=" before it may assign.
    void textosVacios() {
        int donde = 0;
        while (donde < n() && !es(donde, "WHERE"))
            ++donde;
        for (int i = donde + 1; i < n(); ++i) {
            const bool igual = simbolo(i, Simbolo::Igual);
            if (!igual && !simbolo(i, Simbolo::Distinto))
                continue;
            const int j = sig(i);
            if (!clase(j, Clase::Cadena) || !sql::ValorDe(t, tk[j]).isEmpty() ||
                (valido(sig(j)) && sql::EsOperador(tk[sig(j)].simbolo)))
                continue;
            quita(i, j);
            p_[i].texto = igual ? QStringLiteral(" IS NULL ") : QStringLiteral(" IS NOT NULL ");
        }
    }

    // ------------------------------------------------------------------ LIKE
    // Operands around LIKE: a name (dotted), a literal, a call, a parenthesis,
    // joined by + or ||.
    int inicioPrimario(int j) const {
        if (simbolo(j, Simbolo::CierraParentesis)) {
            const int a = apertura(j);
            return clase(ant(a), Clase::Palabra) && !reservada(ant(a)) ? inicioNombre(ant(a)) : a;
        }
        if (nombre(j))
            return inicioNombre(j);
        if (clase(j, Clase::Cadena) || clase(j, Clase::Numero))
            return j;
        return -1;
    }
    int inicioNombre(int j) const {
        while (simbolo(ant(j), Simbolo::Punto) && nombre(ant(ant(j))))
            j = ant(ant(j));
        return j;
    }
    int inicioOperando(int j) const {
        int inicio = inicioPrimario(j);
        while (inicio >= 0) {
            const int op = ant(inicio);
            if (!simbolo(op, Simbolo::Mas) && !simbolo(op, Simbolo::Concatena))
                break;
            const int otro = inicioPrimario(ant(op));
            if (otro < 0)
                break;
            inicio = otro;
        }
        return inicio;
    }
    int finPrimario(int k) const {
        if (simbolo(k, Simbolo::AbreParentesis))
            return cierre(k);
        if (clase(k, Clase::Cadena) || clase(k, Clase::Numero))
            return k;
        if (!nombre(k))
            return -1;
        int f = k;
        while (simbolo(sig(f), Simbolo::Punto) && nombre(sig(sig(f))))
            f = sig(sig(f));
        if (simbolo(sig(f), Simbolo::AbreParentesis))
            f = cierre(sig(f));
        return f;
    }
    int finOperando(int k) const {
        int fin = finPrimario(k);
        while (fin >= 0) {
            const int op = sig(fin);
            if (!simbolo(op, Simbolo::Mas) && !simbolo(op, Simbolo::Concatena))
                break;
            const int otro = finPrimario(sig(op));
            if (otro < 0)
                break;
            fin = otro;
        }
        return fin;
    }

    // SQL Server compares texts without regard to case; Oracle does not.
    void comparacionesSinMayusculas() {
        for (int i = 0; i < n(); ++i) {
            if (!es(i, "LIKE"))
                continue;
            int izquierda = ant(i);
            if (es(izquierda, "NOT"))
                izquierda = ant(izquierda);
            const int inicio = valido(izquierda) ? inicioOperando(izquierda) : -1;
            const int fin = finOperando(sig(i));
            if (inicio < 0 || fin < 0)
                continue;
            envuelve(inicio, izquierda, QStringLiteral("UPPER("), QStringLiteral(")"));
            // "LIKE('A%')" keeps a blank after LIKE.
            envuelve(sig(i), fin,
                     sig(i) == i + 1 ? QStringLiteral(" UPPER(") : QStringLiteral("UPPER("),
                     QStringLiteral(")"));
        }
    }

    // ------------------------------------------------------------------- TOP
    // Where the query that begins at `select` ends: the ")" around it, a UNION, a
    // ";" or the end of the text.
    int finConsulta(int select) const {
        const int d = prof_[select];
        for (int k = select + 1; k < n(); ++k) {
            if (prof_[k] < d)
                return k;
            if (prof_[k] == d && (simbolo(k, Simbolo::PuntoYComa) ||
                                  (clase(k, Clase::Palabra) &&
                                   esUnaDe(texto(k), {"UNION", "INTERSECT", "EXCEPT", "MINUS"}))))
                return k;
        }
        return n();
    }

    // ROWNUM numbers rows as they are read, before any sorting, grouping,
    // DISTINCT or aggregate: such a query is limited from outside.
    void tops() {
        for (int s = n() - 1; s >= 0; --s) {
            if (!es(s, "SELECT"))
                continue;
            int j = sig(s);
            const bool distinta = es(j, "DISTINCT");
            if (distinta || es(j, "ALL"))
                j = sig(j);
            if (!es(j, "TOP"))
                continue;
            const int top = j;
            int ultimo = sig(top);
            QString limite;
            if (clase(ultimo, Clase::Numero)) {
                limite = texto(ultimo).toString();
            } else if (simbolo(ultimo, Simbolo::AbreParentesis) &&
                       clase(sig(ultimo), Clase::Numero) &&
                       simbolo(sig(sig(ultimo)), Simbolo::CierraParentesis)) {
                limite = texto(sig(ultimo)).toString();
                ultimo = sig(sig(ultimo));
            } else {
                continue; // a column called TOP, say
            }
            const bool porcentaje = es(sig(ultimo), "PERCENT");
            if (porcentaje)
                ultimo = sig(ultimo);
            if (es(sig(ultimo), "WITH") && es(sig(sig(ultimo)), "TIES"))
                throw intraducible(QStringLiteral("TOP WITH TIES"), t);
            if (porcentaje && limite.toDouble() != 100)
                throw intraducible(QStringLiteral("TOP PERCENT"), t);
            int tras = ultimo;
            while (tras + 1 < n() && trivia(tras + 1))
                ++tras;
            quita(top, tras);
            p_[top].texto = QStringLiteral(" ");
            const int fin = finConsulta(s);
            if (tras + 1 >= fin || es(tras + 1, "FROM"))
                throw intraducible(QStringLiteral("TOP sin columnas"), t);
            if (porcentaje)
                continue; // 100 PERCENT: every row

            bool envuelta = distinta;
            int donde = -1;
            int desde = -1;
            bool hayOr = false;
            int final = -1;
            for (int k = s + 1; k < fin; ++k) {
                if (trivia(k) || p_[k].quitada)
                    continue;
                final = k;
                if (desde < 0 && clase(k, Clase::Palabra) &&
                    esUnaDe(texto(k), {"COUNT", "SUM", "MIN", "MAX", "AVG"}) &&
                    simbolo(sig(k), Simbolo::AbreParentesis))
                    envuelta = true;
                if (prof_[k] != prof_[s])
                    continue;
                if (desde < 0 && es(k, "FROM"))
                    desde = k;
                else if (donde < 0 && es(k, "WHERE"))
                    donde = k;
                else if (donde >= 0 && es(k, "OR"))
                    hayOr = true;
                else if (((es(k, "ORDER") || es(k, "GROUP")) && es(sig(k), "BY")) ||
                         es(k, "HAVING"))
                    envuelta = true;
            }
            if (envuelta) {
                envuelve(s, final, QStringLiteral("SELECT * FROM ("),
                         QStringLiteral(") WHERE ROWNUM <= ") + limite);
                continue;
            }
            if (donde >= 0 && hayOr) // the limit must bind to the whole condition
                envuelve(sig(donde), final, QStringLiteral("("), QStringLiteral(")"));
            p_[final].despues += (donde >= 0 ? QStringLiteral("  AND ROWNUM <= ")
                                             : QStringLiteral("  WHERE ROWNUM <= ")) +
                                 limite + QStringLiteral("  ");
        }
    }

    QString compone() const {
        QString r;
        QList<qsizetype> inicio(n());
        QList<qsizetype> fin(n());
        for (int i = 0; i < n(); ++i) {
            inicio[i] = r.size();
            r += p_[i].antes + p_[i].texto + p_[i].despues;
            fin[i] = r.size();
        }
        // From the last call to the first: an exchange keeps the length of what it
        // covers, so the places of the earlier ones still hold.
        QList<Cambio> cambios = cambios_;
        std::sort(cambios.begin(), cambios.end(),
                  [](const Cambio& a, const Cambio& b) { return a.desde1 > b.desde1; });
        for (const Cambio& c : cambios) {
            const QString uno = r.mid(inicio[c.desde1], fin[c.hasta1] - inicio[c.desde1]);
            const QString medio = r.mid(fin[c.hasta1], inicio[c.desde2] - fin[c.hasta1]);
            const QString dos = r.mid(inicio[c.desde2], fin[c.hasta2] - inicio[c.desde2]);
            r.replace(inicio[c.desde1], fin[c.hasta2] - inicio[c.desde1], dos + medio + uno);
        }
        return r;
    }

    QList<Pieza> p_;
    QList<int> prof_;
    QList<Cambio> cambios_;
};

} // namespace

bool DiaPrimero() {
    const QString formato = Utilidades::LocaleOperador().dateFormat(QLocale::ShortFormat);
    const auto d = formato.indexOf(u'd');
    const auto m = formato.indexOf(u'M');
    return d < 0 || m < 0 || d < m;
}

QString Traduce(QStringView sql) {
    return Traductor(sql).Traduce();
}

QString ConvierteTop(QStringView sql) {
    const QList<Token> tk = sql::Tokeniza(sql);
    exigeCerrado(sql, tk);
    const auto fin = [&](qsizetype i) { return tk[i].inicio + tk[i].largo; };
    qsizetype top = 0;
    while (top < tk.size() && !sql::EsPalabra(sql, tk[top], QLatin1String("TOP")))
        ++top;
    if (top == tk.size())
        return sql.toString();
    qsizetype estrella = top + 1;
    while (estrella < tk.size() && tk[estrella].simbolo != Simbolo::Por)
        ++estrella;
    if (estrella == tk.size())
        throw intraducible(QStringLiteral("TOP sin \"*\""), sql);
    const QString antes = sql.left(tk[top].inicio).toString();
    const QString limite = sql.mid(fin(top), tk[estrella].inicio - fin(top)).toString();
    static const QRegularExpression numero(QStringLiteral("^\\s*\\(?\\s*(\\d+)\\s*\\)?\\s*$"));
    const auto leido = numero.match(limite);
    if (!leido.hasMatch())
        throw intraducible(QStringLiteral("TOP sin número"), sql);

    int d = 0;
    qsizetype donde = -1;
    qsizetype ultimo = estrella;
    bool hayOr = false;
    bool envuelta = false;
    for (qsizetype k = estrella + 1; k < tk.size(); ++k) {
        if (tk[k].simbolo == Simbolo::CierraParentesis)
            --d;
        const bool nivel = d == 0;
        if (tk[k].simbolo == Simbolo::AbreParentesis)
            ++d;
        if (sql::EsTrivia(tk[k]))
            continue;
        ultimo = k;
        const auto es = [&](const char* p) {
            return nivel && sql::EsPalabra(sql, tk[k], QLatin1String(p));
        };
        if (donde < 0 && es("WHERE"))
            donde = k;
        else if (donde >= 0 && es("OR"))
            hayOr = true;
        else if (es("ORDER") || es("GROUP") || es("HAVING"))
            envuelta = true;
    }
    const qsizetype tras = fin(estrella);
    QString resto = sql.mid(tras).toString();
    if (envuelta)
        return QStringLiteral("SELECT * FROM (") + antes + QStringLiteral(" * ") + resto +
               QStringLiteral(") WHERE ROWNUM <= ") + leido.captured(1);
    if (donde >= 0 && hayOr) {
        resto.insert(fin(ultimo) - tras, u')');
        resto.insert(fin(donde) - tras, u'(');
    }
    return antes + QStringLiteral(" * ") + resto +
           (donde >= 0 ? QStringLiteral(" AND ROWNUM <= ") : QStringLiteral(" WHERE ROWNUM <= ")) +
           limite;
}

ado::Falla NoPasaAOracle(const QString& queNoPasa, const QString& motivo, QStringView texto) {
    QString extracto = texto.toString().simplified();
    if (extracto.size() > 120)
        extracto = extracto.left(117) + QStringLiteral("...");
    return ado::Falla(5, queNoPasa + motivo + QStringLiteral("): ") + extracto,
                      QStringLiteral("DB_Dll"));
}

} // namespace db::oracle
