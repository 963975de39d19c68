#pragma once
// Plain text and number helpers every layer shares: one home for each rule.

#include <QString>

namespace plataforma {

// Leading and trailing blanks removed; other white space stays, as the suite's
// routines trim.
QString SinBlancos(const QString& texto);

// The number the leading part of a text reads as: blanks, a sign, digits and a
// point; 0 when there is none ("12abc" is 12). Not the operator's reading of a
// typed number (that is Utilidades::ANumero): this one is for texts the program
// itself wrote.
double LeeNumero(const QString& texto);

// A number written back into a statement: no exponent, a point for decimals.
QString TextoNumero(double valor);

// Text doubled where it goes between apostrophes in a statement.
QString DuplicaComillas(QString texto);

} // namespace plataforma
