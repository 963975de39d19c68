#pragma once
// Calculated fields: arithmetic over a row's fields in Currency, the way the
// program computes money, so that a report's figures equal the screen's to the
// cent.
//
//   expresión := término (("+" | "-") término)*
//   término   := factor (("*" | "/") factor)*
//   factor    := número | {Campo} | {Fuente.Campo} | {?parámetro}
//              | ABS(e) | DOBLE(e) | REDONDEA(e, decimales) | (e) | -factor
//
// Sums and differences are exact; products and quotients round half to even at
// the fourth decimal. DOBLE(e) computes e in double precision and rounds the
// result to Currency once, as the program does for a tax on a price.

#include "platform/Currency.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace reporte {

class Expresion {
public:
    // A field ({Campo}, {Fuente.Campo}) or, when `parametro`, a parameter's value.
    using Lector = std::function<Currency(const QString& nombre, bool parametro)>;

    // The compiled expression, or nothing with `error` saying what is wrong and where.
    static std::shared_ptr<const Expresion> Compila(const QString& texto, QString& error);

    // Raises ado::Falla for a division by zero or an overflow, as Currency does.
    Currency Evalua(const Lector& lector) const;
    // The fields it reads, as written between braces (parameters not included).
    QStringList Campos() const;

    struct Nodo;
    ~Expresion();
    explicit Expresion(std::unique_ptr<Nodo> raiz);

private:
    std::unique_ptr<Nodo> raiz_;
};

} // namespace reporte
