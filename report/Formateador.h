#pragma once
// How a report writes numbers and dates. The program hands in its own (money
// through its amount formatting and configured decimals); this one writes them
// in the operator's locale.

#include "platform/Currency.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace reporte {

class Formateador {
public:
    virtual ~Formateador() = default;
    // Two decimals, thousands grouped.
    virtual QString Moneda(Currency valor) const;
    // Only the significant decimals, no grouping: as quantities are typed.
    virtual QString Cantidad(Currency valor) const;
    // Rounded half to even to a whole number, no grouping.
    virtual QString Entero(Currency valor) const;
    virtual QString Fecha(const QDate& fecha) const;
    virtual QString FechaHora(const QDateTime& momento) const;

protected:
    // The operator's locale (Spanish of Argentina where the system gives C).
    static QLocale local();
};

} // namespace reporte
