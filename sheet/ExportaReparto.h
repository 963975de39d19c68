#pragma once
// The run on the sheet written to a file a spreadsheet opens: an .xlsx workbook or a
// .csv text for a spreadsheet in a Spanish locale. No widgets: the window only asks
// where. Numbers go as numbers and dates as dates, so the clerk can add and sort.

#include "platform/Currency.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

class Reparto;

namespace exporta {

struct Celda {
    enum class Tipo { Vacia, Texto, Cantidad, Importe, Fecha };
    Tipo tipo = Tipo::Vacia;
    QString texto;
    Currency numero; // a quantity or an amount
    QDate fecha;

    static Celda DeTexto(const QString& t) { return {Tipo::Texto, t, {}, {}}; }
    static Celda DeNumero(Tipo tipo, Currency n) { return {tipo, {}, n, {}}; }
    static Celda DeFecha(const QDate& f) { return {Tipo::Fecha, {}, {}, f}; }
};

struct Fila {
    QList<Celda> celdas;
    bool titulo = false; // captions: bold in the workbook
};

// The run as rows: the header, the lines with every quantity column and their
// totals, the summary, and the expenses with their accounts. A cell the sheet holds
// as a number, in the operator's locale, is a number; a date field is a date.
QList<Fila> Filas(const Reparto& reparto);

enum class Formato { Xlsx, Csv };
// By the file's extension: ".csv" (any case) is text, anything else a workbook.
Formato FormatoDe(const QString& ruta);

// What the save dialog offers, in the suite's filter form.
QString Filtro();

// The rows as a Spanish-locale spreadsheet reads them: UTF-8 with a BOM, ";" between
// cells, CR LF between rows, numbers with a decimal comma and no grouping, dates
// dd/mm/yyyy; a text is quoted when it holds ";", a quote, a line end or edge blanks.
QByteArray Csv(const QList<Fila>& filas);

// Writes the run to the file, replacing it; the file is left as it was when
// writing fails. Empty on success, otherwise what went wrong, for the clerk.
QString Escribe(const Reparto& reparto, const QString& ruta);

} // namespace exporta
