#include "ScriptOracle.h"

#include "TokensOracle.h"
#include "TraduceOracle.h"
#include "platform/ado/Falla.h"
#include "platform/sql/LexicoSql.h"

#include <optional>

namespace db::oracle {

namespace {

using sql::Simbolo;
using sql::Token;

ado::Falla sinUbicar(const QString& motivo, QStringView texto) {
    // The script itself is logged apart; the message shows where it stopped.
    return NoPasaAOracle(QStringLiteral("El script no se puede pasar a Oracle ("), motivo, texto);
}

} // namespace

QString NormalizaScript(QStringView script) {
    const Tokens s{script};
    QString r;
    r.reserve(script.size());
    for (int i = 0; i < s.n(); ++i) {
        const Token& t = s.tk[i];
        const QStringView texto = sql::TextoDe(script, t);
        if (sql::EsTrivia(t)) {
            r += texto.toString().replace(u'\r', u' ');
            continue;
        }
        // GO stands alone between blanks: a batch separator, not a name.
        if (s.es(i, "GO") && (i == 0 || s.trivia(i - 1)) && (i + 1 == s.n() || s.trivia(i + 1)))
            continue;
        if (s.es(i, "SET") && s.es(s.sig(i), "NOCOUNT") &&
            s.unaDe(s.sig(s.sig(i)), {"ON", "OFF"})) {
            i = s.sig(s.sig(i));
            continue;
        }
        const int j = s.sig(i);
        if (s.unaDe(j, {"TRANSACTION", "TRANS"})) {
            const char* como = s.es(i, "BEGIN")      ? "SET TRANSACTION"
                               : s.es(i, "COMMIT")   ? "COMMIT"
                               : s.es(i, "ROLLBACK") ? "ROLLBACK"
                                                     : nullptr;
            if (como) {
                r += QLatin1String(como);
                i = j;
                continue;
            }
        }
        r += texto;
    }
    return r;
}

QList<PasoScript> CortaScript(QStringView normalizado) {
    const Tokens s{normalizado};
    for (const Token& t : s.tk)
        if (t.abierto)
            throw sinUbicar(QStringLiteral("texto sin cerrar"), normalizado);

    // Statements begin at these words, outside parentheses. A DML word inside a
    // GRANT's privilege list or after ON (ON DELETE CASCADE), and the DROP of an
    // ALTER TABLE ... DROP COLUMN, belong to the statement they are in.
    const auto clave = [&](int i) {
        if (s.unaDe(i, {"INSERT", "DELETE", "UPDATE", "CREATE", "DROP", "ALTER", "GRANT", "COMMIT",
                        "ROLLBACK"}))
            return true;
        if (s.es(i, "SET"))
            return s.es(s.sig(i), "TRANSACTION");
        if (s.es(i, "IF")) {
            const int j = s.es(s.sig(i), "NOT") ? s.sig(s.sig(i)) : s.sig(i);
            return s.es(j, "EXISTS");
        }
        return false;
    };
    QList<int> inicios;
    int actual = -1; // first word of the statement being read
    bool grantCompleto = false;
    int d = 0;
    for (int i = 0; i < s.n(); ++i) {
        if (s.simbolo(i, Simbolo::CierraParentesis))
            --d;
        const int nivel = d;
        if (s.simbolo(i, Simbolo::AbreParentesis))
            ++d;
        if (s.trivia(i) || nivel != 0)
            continue;
        if (s.simbolo(i, Simbolo::PuntoYComa)) {
            actual = -1;
            continue;
        }
        // Words that begin a statement Oracle has no counterpart for: none of them
        // can be part of the statements above.
        if (s.unaDe(i, {"EXEC", "EXECUTE", "MERGE", "DECLARE", "PRINT", "USE", "WHILE", "RETURN",
                        "RAISERROR", "BEGIN", "GOTO"}) &&
            !s.simbolo(s.ant(i), Simbolo::Punto) && !s.simbolo(s.sig(i), Simbolo::Punto))
            throw sinUbicar(QStringLiteral("sentencia desconocida"),
                            normalizado.mid(s.tk[i].inicio));
        if (s.es(actual, "GRANT") && !grantCompleto) {
            grantCompleto = s.es(i, "TO");
            continue;
        }
        if (!clave(i) || s.es(s.ant(i), "ON"))
            continue;
        if (s.es(actual, "ALTER") && s.es(i, "DROP") &&
            s.unaDe(s.sig(i), {"COLUMN", "CONSTRAINT", "PRIMARY"}))
            continue;
        inicios << i;
        actual = i;
        grantCompleto = false;
    }

    const int primero = inicios.isEmpty() ? s.n() : inicios.first();
    if (const int delante = s.sig(-1); delante < primero) {
        if (inicios.isEmpty() && s.es(delante, "SELECT"))
            return {};
        const qsizetype hasta = primero < s.n() ? s.tk[primero].inicio : normalizado.size();
        throw sinUbicar(QStringLiteral("sentencia desconocida"),
                        normalizado.mid(s.tk[delante].inicio, hasta - s.tk[delante].inicio));
    }

    QList<PasoScript> pasos;
    std::optional<PasoScript> si; // an IF waiting for its statement
    for (qsizetype k = 0; k < inicios.size(); ++k) {
        const int desde = inicios[k];
        const int tope = k + 1 < inicios.size() ? inicios[k + 1] : s.n();
        int ultimo = s.ant(tope);
        while (ultimo > desde && s.simbolo(ultimo, Simbolo::PuntoYComa))
            ultimo = s.ant(ultimo);
        const qsizetype inicio = s.tk[desde].inicio;
        PasoScript paso;
        paso.inicio = inicio;
        paso.sentencia = normalizado.mid(inicio, s.fin(ultimo) - inicio).toString().trimmed();
        const bool sola = s.sig(desde) > ultimo;
        if (s.es(desde, "SET") && s.sig(s.sig(desde)) > ultimo)
            paso.clase = PasoScript::Clase::Inicia;
        else if (s.es(desde, "COMMIT") && sola)
            paso.clase = PasoScript::Clase::Confirma;
        else if (s.es(desde, "ROLLBACK") && sola)
            paso.clase = PasoScript::Clase::Revierte;

        if (s.es(desde, "IF")) {
            if (si)
                throw sinUbicar(QStringLiteral("IF sin sentencia"), si->sentencia);
            int j = s.sig(desde);
            paso.niega = s.es(j, "NOT");
            if (paso.niega)
                j = s.sig(j);
            const int abre = s.sig(j);
            int cierra = abre;
            for (int dd = 0; s.simbolo(abre, Simbolo::AbreParentesis) && cierra <= ultimo;
                 ++cierra) {
                dd += s.simbolo(cierra, Simbolo::AbreParentesis)     ? 1
                      : s.simbolo(cierra, Simbolo::CierraParentesis) ? -1
                                                                     : 0;
                if (dd == 0)
                    break;
            }
            if (!s.simbolo(abre, Simbolo::AbreParentesis) || cierra != ultimo)
                throw sinUbicar(QStringLiteral("IF sin sentencia"), paso.sentencia);
            paso.condicion = normalizado.mid(s.fin(abre), s.tk[cierra].inicio - s.fin(abre))
                                 .toString()
                                 .trimmed();
            si = paso;
            continue;
        }
        if (si) {
            if (paso.clase != PasoScript::Clase::Sentencia)
                throw sinUbicar(QStringLiteral("IF sin sentencia"), si->sentencia);
            paso.condicion = si->condicion;
            paso.niega = si->niega;
            paso.inicio = si->inicio;
            si.reset();
        }
        pasos << paso;
    }
    if (si)
        throw sinUbicar(QStringLiteral("IF sin sentencia"), si->sentencia);
    return pasos;
}

bool EsSetNocount(QStringView sentencia) {
    const Tokens s{sentencia};
    const int i = s.sig(-1);
    return s.es(i, "SET") && s.es(s.sig(i), "NOCOUNT");
}

} // namespace db::oracle
