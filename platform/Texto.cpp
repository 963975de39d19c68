#include "platform/Texto.h"

#include <QRegularExpression>

#include <cmath>

namespace plataforma {

QString SinBlancos(const QString& texto) {
    qsizetype i = 0;
    qsizetype f = texto.size();
    while (i < f && texto[i] == u' ')
        ++i;
    while (f > i && texto[f - 1] == u' ')
        --f;
    return texto.mid(i, f - i);
}

double LeeNumero(const QString& texto) {
    // Blanks, a sign, digits, a point and digits: the part before anything else.
    static const QRegularExpression inicio(QStringLiteral("^ *([+-]?)(\\d*)(?:\\.(\\d*))?"));
    const auto m = inicio.match(texto);
    const QString enteros = m.captured(2);
    const QString decimales = m.captured(3);
    if (enteros.isEmpty() && decimales.isEmpty())
        return 0;
    const QString legible = (enteros.isEmpty() ? QStringLiteral("0") : enteros) + u'.' + decimales;
    const double valor = legible.toDouble();
    return m.captured(1) == u"-" ? -valor : valor;
}

QString TextoNumero(double valor) {
    if (std::isfinite(valor) && valor == std::trunc(valor) && std::fabs(valor) < 9.0e15)
        return QString::number(static_cast<qint64>(valor));
    QString s = QString::number(valor, 'f', 10);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

QString DuplicaComillas(QString texto) {
    return texto.replace(u'\'', QStringLiteral("''"));
}

} // namespace plataforma
