#include "report/Formateador.h"

#include "platform/Utilidades.h"

namespace reporte {

QLocale Formateador::local() {
    return Utilidades::LocaleOperador();
}

QString Formateador::Moneda(Currency valor) const {
    // Exact on the scaled integer: round half to even to cents, then group.
    qint64 v = valor.escalado();
    qint64 centavos = v / 100;
    const qint64 resto = v % 100;
    const qint64 doble = resto < 0 ? -2 * resto : 2 * resto;
    if (doble > 100 || (doble == 100 && centavos % 2 != 0))
        centavos += v < 0 ? -1 : 1;
    const bool negativo = centavos < 0;
    const quint64 m =
        negativo ? 0 - static_cast<quint64>(centavos) : static_cast<quint64>(centavos);
    const QLocale l = local();
    QString enteros = QString::number(m / 100);
    for (qsizetype i = enteros.size() - 3; i > 0; i -= 3)
        enteros.insert(i, l.groupSeparator());
    return (negativo ? QStringLiteral("-") : QString()) + enteros + l.decimalPoint() +
           QString::number(m % 100).rightJustified(2, u'0');
}

QString Formateador::Cantidad(Currency valor) const {
    return valor.texto().replace(u'.', local().decimalPoint());
}

QString Formateador::Entero(Currency valor) const {
    const qint64 v = valor.escalado();
    qint64 q = v / Currency::kEscala;
    const qint64 resto = v % Currency::kEscala;
    const qint64 doble = resto < 0 ? -2 * resto : 2 * resto;
    if (doble > Currency::kEscala || (doble == Currency::kEscala && q % 2 != 0))
        q += v < 0 ? -1 : 1;
    return QString::number(q);
}

QString Formateador::Fecha(const QDate& fecha) const {
    return fecha.toString(QStringLiteral("dd/MM/yyyy"));
}

QString Formateador::FechaHora(const QDateTime& momento) const {
    return momento.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

} // namespace reporte
