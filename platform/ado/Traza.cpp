#include "platform/ado/Traza.h"

namespace ado {

namespace {

QString escapa(const QString& sql) {
    QString s;
    s.reserve(sql.size() + 8);
    for (QChar c : sql) {
        switch (c.unicode()) {
        case '\\':
            s += QLatin1String("\\\\");
            break;
        case '\r':
            s += QLatin1String("\\r");
            break;
        case '\n':
            s += QLatin1String("\\n");
            break;
        case '\t':
            s += QLatin1String("\\t");
            break;
        default:
            s += c;
        }
    }
    return s;
}

} // namespace

Traza::Traza() {
    const QString ruta = qEnvironmentVariable("HOJARUTA_TRAZA");
    if (!ruta.isEmpty()) {
        archivo_.setFileName(ruta);
        archivo_.open(QIODevice::WriteOnly | QIODevice::Append);
    }
}

void Traza::escribe(const QString& sql, qint64 us, const QString& filas) {
    if (!archivo_.isOpen())
        return;
    // One write per line, flushed, so that several connections can share the file.
    archivo_.write((QString::number(us) + u'\t' + filas + u'\t' + escapa(sql) + u'\n').toUtf8());
    archivo_.flush();
}

void Traza::Anota(const QString& sql, qint64 microsegundos, long filas) {
    escribe(sql, microsegundos, QString::number(filas < 0 ? 0 : filas));
}

void Traza::AnotaFalla(const QString& sql, qint64 microsegundos) {
    escribe(sql, microsegundos, QStringLiteral("error"));
}

} // namespace ado
