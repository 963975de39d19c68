#include "ado/sqlite/Parametriza.h"

#include "platform/sql/LexicoSql.h"

#include <QList>

namespace ado::sqlite {

namespace {

using sql::Clase;
using sql::Simbolo;

bool EsUna(QStringView sql, const sql::Token& t, std::initializer_list<const char*> claves) {
    for (const char* c : claves)
        if (sql::EsPalabra(sql, t, QLatin1String(c)))
            return true;
    return false;
}

// A plain number: digits and at most one point, not starting with it (1e5, 0x1F and .5
// stay as written).
bool EsNumeroSimple(QStringView numero) {
    if (numero.startsWith(u'.'))
        return false;
    for (QChar c : numero)
        if (!c.isDigit() && c != u'.')
            return false;
    return true;
}

// A number right after a name, a number, a "?" or a "." is part of what precedes it
// (?1, T.1) or an operand the statement did not compare: it stays as written.
bool SigueAOperando(QStringView sql, const sql::Token& previo) {
    if (previo.clase == Clase::Palabra || previo.clase == Clase::Numero)
        return true;
    return previo.clase == Clase::Simbolo &&
           (previo.simbolo == Simbolo::Punto ||
            (previo.simbolo == Simbolo::Otro && sql::TextoDe(sql, previo) == u"?"));
}

} // namespace

QString Parametriza(const QString& sql, QVariantList& valores) {
    // SQLite's own text: its block comments do not nest.
    sql::Lexico lexico(sql, {.comentariosAnidados = false});
    sql::Token t = lexico.Siguiente();
    if (t.clase == Clase::Espacio)
        t = lexico.Siguiente();
    if (!sql::EsPalabra(sql, t, QLatin1String("SELECT")))
        return sql;

    QString salida;
    QVariantList hallados;
    // One flag per parenthesis level: whether literals there are compared values.
    QList<bool> enCondicion{false};
    sql::Token previo; // the last token that is not trivia; Fin before the first
    qsizetype copiado = 0;
    const auto reemplaza = [&](const sql::Token& x, const QVariant& valor) {
        salida += QStringView(sql).sliced(copiado, x.inicio - copiado);
        salida += u'?';
        hallados.append(valor);
        copiado = x.inicio + x.largo;
    };
    for (sql::Token siguiente = lexico.Siguiente(); t.clase != Clase::Fin;
         t = siguiente, siguiente = lexico.Siguiente()) {
        if (t.abierto)
            return sql; // unterminated: leave it to the engine
        if (sql::EsTrivia(t))
            continue;
        switch (t.clase) {
        case Clase::Cadena: {
            // X'..' is a blob literal: it stays as written.
            const bool blob = previo.clase == Clase::Palabra && previo.largo == 1 &&
                              previo.inicio + 1 == t.inicio && sql[previo.inicio].toUpper() == u'X';
            if (enCondicion.last() && !blob)
                reemplaza(t, sql::ValorDe(sql, t));
            break;
        }
        case Clase::Numero: {
            const QStringView numero = sql::TextoDe(sql, t);
            const bool pegado = siguiente.clase == Clase::Palabra ||
                                siguiente.clase == Clase::Numero ||
                                siguiente.simbolo == Simbolo::Punto;
            if (enCondicion.last() && EsNumeroSimple(numero) && !pegado &&
                !SigueAOperando(sql, previo)) {
                bool ok = false;
                QVariant valor;
                if (numero.contains(u'.'))
                    valor = numero.toDouble(&ok);
                else
                    valor = numero.toLongLong(&ok);
                if (ok)
                    reemplaza(t, valor);
            }
            break;
        }
        case Clase::Palabra:
            if (EsUna(sql, t, {"WHERE", "ON", "HAVING"}))
                enCondicion.last() = true;
            else if (EsUna(sql, t,
                           {"SELECT", "GROUP", "ORDER", "LIMIT", "UNION", "EXCEPT", "INTERSECT",
                            "WINDOW"}))
                enCondicion.last() = false;
            break;
        case Clase::Simbolo:
            if (t.simbolo == Simbolo::AbreParentesis) {
                enCondicion.append(enCondicion.last());
            } else if (t.simbolo == Simbolo::CierraParentesis) {
                if (enCondicion.size() > 1)
                    enCondicion.removeLast();
            } else if (t.simbolo == Simbolo::PuntoYComa) {
                // Only a lone statement: anything after the ";" leaves the text as it is.
                for (; siguiente.clase != Clase::Fin; siguiente = lexico.Siguiente())
                    if (siguiente.clase != Clase::Espacio &&
                        siguiente.simbolo != Simbolo::PuntoYComa)
                        return sql;
            }
            break;
        default:
            break;
        }
        previo = t;
    }
    if (hallados.isEmpty())
        return sql;
    salida += QStringView(sql).sliced(copiado);
    valores.append(hallados);
    return salida;
}

} // namespace ado::sqlite
