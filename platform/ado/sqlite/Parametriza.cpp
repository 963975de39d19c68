#include "ado/sqlite/Parametriza.h"

#include <QList>

namespace ado::sqlite {

namespace {

bool esPalabra(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool igual(QStringView palabra, const char* clave) {
    return palabra.compare(QLatin1String(clave), Qt::CaseInsensitive) == 0;
}

} // namespace

QString Parametriza(const QString& sql, QVariantList& valores) {
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n && sql[i].isSpace())
        ++i;
    if (!QStringView(sql).sliced(i).startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive))
        return sql;

    QString salida;
    salida.reserve(n);
    QVariantList hallados;
    // One flag per parenthesis level: whether literals there are compared values.
    QList<bool> enCondicion{false};
    QChar anterior; // last significant character written
    qsizetype copiado = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'') {
            qsizetype f = i + 1;
            QString valor;
            for (;;) {
                if (f >= n)
                    return sql; // unterminated: leave it to the engine
                if (sql[f] == u'\'') {
                    if (f + 1 < n && sql[f + 1] == u'\'') {
                        valor += u'\'';
                        f += 2;
                        continue;
                    }
                    break;
                }
                valor += sql[f++];
            }
            // X'..' is a blob literal: it stays as written.
            const bool blob = i > 0 && (sql[i - 1] == u'x' || sql[i - 1] == u'X') &&
                              (i < 2 || !esPalabra(sql[i - 2]));
            if (enCondicion.last() && !blob) {
                salida += QStringView(sql).sliced(copiado, i - copiado);
                salida += u'?';
                hallados.append(valor);
                copiado = f + 1;
            }
            i = f + 1;
            anterior = u'\'';
            continue;
        }
        if (c == u'"' || c == u'`' || c == u'[') {
            const QChar cierre = c == u'[' ? QChar(u']') : c;
            const qsizetype f = sql.indexOf(cierre, i + 1);
            if (f < 0)
                return sql;
            i = f + 1;
            anterior = cierre;
            continue;
        }
        if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype f = sql.indexOf(u'\n', i);
            i = f < 0 ? n : f;
            continue;
        }
        if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype f = sql.indexOf(QLatin1String("*/"), i + 2);
            if (f < 0)
                return sql;
            i = f + 2;
            continue;
        }
        if (c.isDigit() && !esPalabra(anterior) && anterior != u'?' && anterior != u'.') {
            qsizetype f = i;
            bool decimal = false;
            while (f < n && (sql[f].isDigit() || (sql[f] == u'.' && !decimal))) {
                decimal = decimal || sql[f] == u'.';
                ++f;
            }
            if (f < n && (esPalabra(sql[f]) || sql[f] == u'.')) { // 1e5, 0x1F, a name: as written
                while (f < n && esPalabra(sql[f]))
                    ++f;
                i = f;
                anterior = u'a';
                continue;
            }
            if (enCondicion.last()) {
                const QStringView numero = QStringView(sql).sliced(i, f - i);
                bool ok = false;
                QVariant valor;
                if (decimal)
                    valor = numero.toDouble(&ok);
                else
                    valor = numero.toLongLong(&ok);
                if (ok) {
                    salida += QStringView(sql).sliced(copiado, i - copiado);
                    salida += u'?';
                    hallados.append(valor);
                    copiado = f;
                }
            }
            i = f;
            anterior = u'0';
            continue;
        }
        if (esPalabra(c)) {
            qsizetype f = i;
            while (f < n && esPalabra(sql[f]))
                ++f;
            const QStringView palabra = QStringView(sql).sliced(i, f - i);
            if (igual(palabra, "WHERE") || igual(palabra, "ON") || igual(palabra, "HAVING"))
                enCondicion.last() = true;
            else if (igual(palabra, "SELECT") || igual(palabra, "GROUP") ||
                     igual(palabra, "ORDER") || igual(palabra, "LIMIT") ||
                     igual(palabra, "UNION") || igual(palabra, "EXCEPT") ||
                     igual(palabra, "INTERSECT") || igual(palabra, "WINDOW"))
                enCondicion.last() = false;
            i = f;
            anterior = u'a';
            continue;
        }
        if (c == u'(') {
            enCondicion.append(enCondicion.last());
        } else if (c == u')') {
            if (enCondicion.size() > 1)
                enCondicion.removeLast();
        } else if (c == u';') {
            // Only a lone statement: anything after the ";" leaves the text as it is.
            for (qsizetype f = i + 1; f < n; ++f)
                if (!sql[f].isSpace() && sql[f] != u';')
                    return sql;
        }
        if (!c.isSpace())
            anterior = c;
        ++i;
    }
    if (hallados.isEmpty())
        return sql;
    salida += QStringView(sql).sliced(copiado);
    valores.append(hallados);
    return salida;
}

} // namespace ado::sqlite
