#pragma once
// The selection formula: the suite passes which rows a report prints as a formula
// of the report engine's syntax, "{V_MV_Reparto.IDReparto}=10". It is read by a
// strict grammar and becomes a WHERE clause with bound values; its own text never
// reaches SQL.
//
//   fórmula     := o
//   o           := y (OR y)*
//   y           := no (AND no)*
//   no          := NOT no | "(" o ")" | comparación
//   comparación := {Fuente.Campo} operador valor
//   operador    := = | <> | < | <= | > | >=
//   valor       := número | 'texto' | "texto"   (a quote inside is doubled)
//
// Keywords in any letter case. The source must be the report's main source and
// the field one it declares selectable, compared with a value of its kind.

#include "report/Definicion.h"

#include <QString>
#include <QVariantList>

namespace reporte {

struct Seleccion {
    QString where; // "1=1" for an empty formula
    QVariantList valores;
};

// Raises reporte::Error (Formula) with "Fórmula de selección no válida: …".
Seleccion TraduceFormula(const QString& formula, const Definicion& definicion);

} // namespace reporte
