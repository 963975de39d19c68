#include "platform/Currency.h"

#include "platform/ado/Falla.h"

#include <cmath>
#include <limits>

namespace {

__extension__ typedef __int128 Ancho;

// The suite's run-time errors for money arithmetic, as its error dialogs show them.
ado::Falla desborde() {
    return ado::Falla(6, QStringLiteral("Desbordamiento"), QStringLiteral("Currency"));
}

qint64 enRango(Ancho v) {
    if (v > std::numeric_limits<qint64>::max() || v < std::numeric_limits<qint64>::min())
        throw desborde();
    return static_cast<qint64>(v);
}

// The quotient n / d rounded half to even; exact, whatever the signs.
Ancho divideAlPar(Ancho n, Ancho d) {
    Ancho q = n / d; // truncates toward zero
    const Ancho resto = n % d;
    if (resto == 0)
        return q;
    const Ancho dobleResto = resto < 0 ? -2 * resto : 2 * resto;
    const Ancho absD = d < 0 ? -d : d;
    if (dobleResto > absD || (dobleResto == absD && q % 2 != 0))
        q += ((n < 0) != (d < 0)) ? -1 : 1;
    return q;
}

} // namespace

Currency Currency::DesdeDouble(double valor) {
    // As the Currency conversion does: scale first, then round the product half to even.
    const double producto = valor * static_cast<double>(kEscala);
    double entero = std::floor(producto);
    const double fraccion = producto - entero;
    if (fraccion > 0.5 || (fraccion == 0.5 && std::fmod(entero, 2.0) != 0.0))
        entero += 1.0;
    // 2^63 is exact in a double; NaN fails both comparisons.
    constexpr double limite = 9223372036854775808.0;
    if (!(entero >= -limite && entero < limite))
        throw desborde();
    return DesdeEscalado(static_cast<qint64>(entero));
}

QString Currency::texto() const {
    const bool negativo = v_ < 0;
    // The magnitude as unsigned, so that the most negative value has one too.
    const quint64 magnitud = negativo ? 0 - static_cast<quint64>(v_) : static_cast<quint64>(v_);
    QString t = QString::number(magnitud / kEscala);
    const auto decimales = static_cast<int>(magnitud % kEscala);
    if (decimales != 0) {
        QString d = QString::number(decimales).rightJustified(4, u'0');
        while (d.endsWith(u'0'))
            d.chop(1);
        t += u'.' + d;
    }
    return negativo ? u'-' + t : t;
}

Currency operator*(Currency a, Currency b) {
    const Ancho producto = static_cast<Ancho>(a.v_) * b.v_;
    return Currency::DesdeEscalado(enRango(divideAlPar(producto, Currency::kEscala)));
}

Currency operator/(Currency a, Currency b) {
    if (b.v_ == 0)
        throw ado::Falla(11, QStringLiteral("División por cero"), QStringLiteral("Currency"));
    const Ancho dividendo = static_cast<Ancho>(a.v_) * Currency::kEscala;
    return Currency::DesdeEscalado(enRango(divideAlPar(dividendo, b.v_)));
}

void Currency::desborda() {
    throw desborde();
}
