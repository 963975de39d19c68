// Amounts shown with a chosen number of decimals, and yes/no settings read in
// Spanish or English.

#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"

#include <QLocale>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

constexpr int kTalCual = -3;      // the text unchanged
constexpr int kConfigurados = -1; // the configured CantidadDecimales
constexpr int kSinDecimales = -2;
// Far beyond the four decimals money keeps; a larger count is a caller's mistake.
constexpr int kMaxDecimales = 255;

const QString kFuente = QStringLiteral("hojaruta");

ado::Falla tiposNoCoinciden() {
    return ado::Falla(13, QStringLiteral("No coinciden los tipos"), kFuente);
}

ado::Falla desbordamiento() {
    return ado::Falla(6, QStringLiteral("Desbordamiento"), kFuente);
}

// A whole count from a number, rounding halves to even as a count argument is.
int cuenta(double x) {
    if (!std::isfinite(x))
        throw tiposNoCoinciden();
    const double redondo = std::nearbyint(x);
    if (redondo < std::numeric_limits<int>::min() || redondo > std::numeric_limits<int>::max())
        throw desbordamiento();
    return static_cast<int>(redondo);
}

// The number of decimals as the caller gave it: a number, or a text holding one.
// An empty variant counts as 0.
int decimalesDe(const QVariant& v, const QLocale& local) {
    if (!v.isValid() || v.isNull())
        return 0;
    bool ok = false;
    double x = 0;
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        x = t.toDouble(&ok);
        if (!ok)
            x = local.toDouble(t, &ok);
    } else {
        x = v.toDouble(&ok);
    }
    if (!ok)
        throw tiposNoCoinciden();
    return cuenta(x);
}

// Qt gives no direct access to a locale's currency digits, but its currency text
// uses them (and on Unix the system locale's answer follows LC_MONETARY): 1.5
// written as money shows how many decimals the locale keeps for it. The decimal
// separator is the one between two digits, since a currency sign may hold a
// point of its own ("kr.", "S/.").
int digitosMoneda(const QLocale& local) {
    const QString texto = local.toCurrencyString(1.5);
    const QString punto = local.decimalPoint();
    if (punto.isEmpty())
        return 0;
    for (qsizetype i = texto.indexOf(punto); i > 0; i = texto.indexOf(punto, i + 1)) {
        const qsizetype desde = i + punto.size();
        if (!texto.at(i - 1).isDigit() || desde >= texto.size() || !texto.at(desde).isDigit())
            continue;
        int n = 0;
        for (qsizetype j = desde; j < texto.size() && texto.at(j).isDigit(); ++j)
            ++n;
        return n;
    }
    return 0;
}

quint64 potencia10(int n) {
    quint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// The amount rounded to `d` decimals, halves to the even digit, on the scaled
// integer (a double would turn 1.005 into 1.00499…), then written with the
// locale's separators; digits every three when `miles`. A result of zero carries
// no sign. The minus is the plain one, so that the text reads back.
QString conMascara(Currency valor, int d, bool miles, const QLocale& local) {
    const qint64 s = valor.escalado();
    const bool negativo = s < 0;
    const quint64 m = negativo ? 0 - static_cast<quint64>(s) : static_cast<quint64>(s);
    constexpr int kDecimalesCurrency = 4;
    quint64 entero = 0;
    quint64 fraccion = 0;
    int cifras = 0; // decimals that the fraction holds; the rest are zeros
    if (d < kDecimalesCurrency) {
        const quint64 divisor = potencia10(kDecimalesCurrency - d);
        quint64 q = m / divisor;
        const quint64 resto = m % divisor;
        if (2 * resto > divisor || (2 * resto == divisor && (q & 1) != 0))
            ++q;
        const quint64 escala = potencia10(d);
        entero = q / escala;
        fraccion = q % escala;
        cifras = d;
    } else {
        entero = m / static_cast<quint64>(Currency::kEscala);
        fraccion = m % static_cast<quint64>(Currency::kEscala);
        cifras = kDecimalesCurrency;
    }

    QString enteros = QString::number(entero);
    if (miles) {
        const QString grupo = local.groupSeparator();
        for (qsizetype i = enteros.size() - 3; i > 0; i -= 3)
            enteros.insert(i, grupo);
    }
    QString texto;
    if (negativo && (entero != 0 || fraccion != 0))
        texto = QStringLiteral("-");
    texto += enteros;
    // With no decimals no separator is written, whatever sign the locale uses.
    if (d > 0) {
        texto += local.decimalPoint();
        texto += QString::number(fraccion).rightJustified(cifras, QLatin1Char('0'));
        texto += QString(d - cifras, QLatin1Char('0'));
    }
    return texto;
}

} // namespace

QString Aplicacion::FmtMoneda(const QString& importe, const QVariant& decimales, bool separaMiles) {
    // QLocale() is the system's unless the program (or a test) sets another.
    const QLocale local = Utilidades::LocaleOperador(QLocale());
    int d = 0;
    bool hayMascara = false;
    Currency valor;
    QString resultado;

    const auto manejo = [this](const ado::Falla& falla) {
        return plataforma::SaleSiNoHubo(
            TratamientoErroresGlobal(falla, plataforma::kEstiloError, QStringLiteral("FmtMoneda")));
    };
    bool talCual = false;
    const auto salida = plataforma::CorrePasos(
        manejo, {[&] { d = decimalesDe(decimales, local); },
                 [&] {
                     talCual = d == kTalCual;
                     if (talCual)
                         resultado = importe;
                 },
                 [&] {
                     if (!talCual && d == kConfigurados)
                         d = cuenta(plataforma::LeeNumero(cfg.global.CantidadDecimales));
                 },
                 [&] {
                     if (!talCual && d == 0)
                         d = digitosMoneda(local);
                 },
                 [&] {
                     if (!talCual && d == kSinDecimales)
                         d = 0;
                 },
                 [&] {
                     if (!talCual && (d < 0 || d > kMaxDecimales))
                         throw ado::Falla(
                             5, QStringLiteral("Argumento o llamada a procedimiento no válida"),
                             kFuente);
                     hayMascara = true;
                 },
                 [&] {
                     if (talCual)
                         return;
                     // Blank is nothing typed yet, shown as 0; any other text must be a number.
                     if (!importe.trimmed().isEmpty() && !Utilidades::EsNumerico(importe, local))
                         throw tiposNoCoinciden();
                     valor = Utilidades::ANumero(importe, local);
                 },
                 [&] {
                     if (talCual)
                         return;
                     if (hayMascara) {
                         resultado = conMascara(valor, d, separaMiles, local);
                     } else {
                         // Without a usable mask the number is shown as it is.
                         resultado = valor.texto();
                         resultado.replace(QLatin1Char('.'), local.decimalPoint());
                     }
                 }});
    if (salida)
        return {};
    return resultado;
}

bool Aplicacion::ValorLogico(const QString& texto, bool defecto) {
    static const QStringList kFalsos{QStringLiteral("FALSE"), QStringLiteral("FALSO"),
                                     QStringLiteral("0"), QStringLiteral("NO"),
                                     QStringLiteral("N")};
    static const QStringList kVerdaderos{QStringLiteral("TRUE"), QStringLiteral("VERDADERO"),
                                         QStringLiteral("1"), QStringLiteral("SI"),
                                         QStringLiteral("S")};
    // No trimming: " SI" is not a yes.
    if (defecto)
        return !kFalsos.contains(texto, Qt::CaseInsensitive);
    return kVerdaderos.contains(texto, Qt::CaseInsensitive);
}
