#pragma once
// Small text helpers shared by the database-access object's files.

#include <QString>

namespace db::detalle {

// Leading and trailing blanks removed; other white space stays, as the suite's
// routines trim.
QString SinBlancos(const QString& texto);

// The number the leading part of a text reads as: blanks, a sign, digits and a
// point; 0 when there is none ("12abc" is 12).
double LeeNumero(const QString& texto);

// A number written back into a statement: no exponent, a point for decimals.
QString TextoNumero(double valor);

inline bool Contiene(const QString& texto, const QString& buscado) {
    return texto.contains(buscado, Qt::CaseInsensitive);
}

} // namespace db::detalle
