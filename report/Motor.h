#pragma once
// The engine proper: runs a report's queries through a data source and lays the
// rows out in pages, band by band.
//
// Pages: the page header at the top of every page (the report header follows it
// on the first one), the page footer at the bottom. Bands are never split: a band
// that does not fit goes to the next page, where the header bands of the groups
// in course (their footers included) marked "repetir" are printed again. A group may start a new
// page. With no rows, the "sinDatos" section (by default "Sin datos para la selección") stands
// between the report header and footer. Totals cover all the rows of their scope (the report, the
// group in course, or the list) whose detail is printed, wherever the total stands, so a header may
// show its group's total.

#include "report/Definicion.h"
#include "report/Documento.h"
#include "report/Formateador.h"
#include "report/FuenteDatos.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

namespace reporte {

// A parameter as the suite passes it, "nombre = 'valor'": the name is what comes
// before "=", the value what lies between the first and the last apostrophe (so a
// value may hold apostrophes of its own), or, without apostrophes, the rest trimmed.
struct ParametroDado {
    QString nombre;
    QString valor;
};
ParametroDado LeeParametro(const QString& texto);

class Motor {
public:
    // `reloj` gives the print date; the current time when left out.
    Motor(FuenteDatos& datos, const Formateador& formato, std::function<QDateTime()> reloj = {});

    // Parameters the report does not declare are ignored. Raises reporte::Error: a
    // refused formula before any query is sent, a failed query, a field the data
    // do not have.
    Documento Genera(const Definicion& definicion, const QString& formula,
                     const QStringList& parametros);

private:
    FuenteDatos& datos_;
    const Formateador& formato_;
    std::function<QDateTime()> reloj_;
};

} // namespace reporte
