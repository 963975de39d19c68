#pragma once
// The sheet's field checks as a table: each DataField has one rule, which says
// whether the value passes, the message when it does not, whether the check stops
// there (no totals are recomputed), and what a passing value implies. Nothing is
// shown and no field changes here; the window carries out the answer.

#include "platform/Currency.h"

#include <QList>
#include <QString>

#include <optional>

class Reparto;
class RepositorioReparto;
struct RepartoAnterior;

class ReglasHoja {
public:
    // What a passing value implies, for the window to carry out.
    enum class Efecto {
        Ninguno,
        AbreReparto,      // an existing run: load it
        NuevoReparto,     // a number that does not exist: a new run
        RecalculaPrecios, // a new price class
        DevolucionUd,     // a line's returns in units
        DevolucionKg,     // a line's returns in kilograms
        GrabaRubros,      // `valor`: the checked rubros list, to show and store
        EtiquetaCuenta,   // `valor`: the expense account's description
        MedioDePago,      // `valor`: the means-of-payment account's description
    };

    struct Resultado {
        bool ok = true;
        QString mensaje;      // shown when not ok
        bool detiene = false; // the check ends without recomputing the totals
        Efecto efecto = Efecto::Ninguno;
        QString valor;
        int cuenta = 0; // 1..4 for the expense accounts
        // A number as it was read, in the sheet's format, for the field or cell to
        // show once confirmed ("1.250" shows 1250); empty: the text stays.
        QString normalizado;
    };

    explicit ReglasHoja(RepositorioReparto& repositorio) : repositorio_(repositorio) {}

    // Checks `texto` (the field's text, untrimmed) as the field `dataField` of the
    // run `r`; `grabando` while a save checks every field. A failure of the
    // database raises.
    Resultado Valida(const QString& dataField, const QString& texto, const Reparto& r,
                     bool grabando);

    // What keeps the entry a finish would post from balancing, and the field to
    // correct: a positive expense without its account, expenses without the
    // means-of-payment account, or a means of payment other than the expenses.
    struct Falta {
        QString mensaje;
        QString campo;
    };
    static std::optional<Falta> AsientoBalanceado(const Reparto& r);

    // Why a line's quantities do not add up, empty when they do: more sold than
    // loaded and reloaded (its returns would be negative), or a column whose units
    // and kilograms have opposite signs. One reason a line.
    static QString Descuadre(const Reparto& r, int fila);
    struct LineaDescuadrada {
        int fila = 0;
        QString motivo;
    };
    static QList<LineaDescuadrada> Descuadres(const Reparto& r);
    // The question a finish asks once more when lines do not add up, naming the first.
    static QString PreguntaDescuadres(const Reparto& r, const QList<LineaDescuadrada>& lineas);

    // The note beside "Km Inicio" when it differs from the vehicle's previous run's
    // "Fin"; empty when they agree or there is nothing to compare.
    static QString AvisoKmInicial(const Reparto& r, const std::optional<RepartoAnterior>& anterior);
    // "Fin" minus "Km Inicio" when both are numbers and the end is not below the start.
    static std::optional<Currency> KmRecorridos(const Reparto& r);

    // Whether a text is a date the sheet accepts: d/m/yyyy, d/m/yy or yyyy-mm-dd.
    static bool FechaValida(const QString& texto);

private:
    RepositorioReparto& repositorio_;
};
