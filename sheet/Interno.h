#pragma once
// How the sheet writes numbers and stored values as text.

#include "platform/Currency.h"
#include "platform/Utilidades.h"
#include "platform/gui/Formularios.h"

#include <QString>
#include <QVariant>

namespace hoja {

// A number as the sheet writes it in a cell or a field: no grouping, only the
// significant decimals, the operator's decimal separator (so that ANumero reads it
// back as the same number whatever the locale groups with).
inline QString TextoNumero(Currency c) {
    QString t = c.texto();
    return t.replace(u'.', Utilidades::LocaleOperador().decimalPoint());
}

// A stored value as the sheet shows it: null as empty, numbers as above.
inline QString TextoValor(const QVariant& v) {
    return Formularios::TextoDeValor(Utilidades::SinNulo(v));
}

} // namespace hoja
