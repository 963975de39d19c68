#pragma once
// The statements a statement trace file holds, as they were sent.

#include <QFile>
#include <QStringList>

// Each line of the trace is "microseconds TAB rows TAB statement", the statement
// with backslash, CR, LF and tab escaped; this gives the statements back unescaped.
inline QStringList SentenciasDeTraza(const QString& ruta) {
    QFile f(ruta);
    QStringList r;
    if (!f.open(QIODevice::ReadOnly))
        return r;
    for (const QByteArray& linea : f.readAll().split('\n')) {
        if (linea.isEmpty())
            continue;
        const QString escapada = QString::fromUtf8(linea).section(u'\t', 2);
        QString s;
        for (qsizetype i = 0; i < escapada.size(); ++i) {
            if (escapada[i] != u'\\' || i + 1 == escapada.size()) {
                s += escapada[i];
                continue;
            }
            const QChar c = escapada[++i];
            s += c == u'r' ? QChar(u'\r') : c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c;
        }
        r << s;
    }
    return r;
}
