#pragma once
// A report laid out: pages of placed texts, lines, boxes and images, in
// millimetres from the paper's top left corner. Painting it (screen, printer,
// PDF) is the painter's business; its text dump is font-free, for comparisons.

#include "report/Definicion.h"

#include <QImage>
#include <QList>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QVariant>

namespace reporte {

struct Item {
    enum class Tipo { Texto, Linea, Caja, Imagen };
    Tipo tipo = Tipo::Texto;
    QRectF rect; // a line runs from the top left corner to the bottom right one
    QString texto;
    Letra letra;
    Alineacion alineacion = Alineacion::Izquierda;
    bool multilinea = false;
    double grosor = 0.2;
    QImage imagen;
    // The element's name in the report file, and for fields and totals the value
    // before formatting (a Currency for calculated fields and totals).
    QString nombre;
    QVariant valor;
};

struct Pagina {
    QList<Item> items;
};

struct Documento {
    QString titulo;
    QPageSize tamano{QPageSize::A4};
    bool horizontal = false;
    QSizeF papel; // millimetres, turned as the page is
    QList<Pagina> paginas;

    // Every text of every page, page by page, top to bottom then left to right:
    // a heading line per page, then "   x     y  text" with positions in millimetres.
    QString Volcado() const;
    // The items carrying an element name, in page order.
    QList<const Item*> Nombrados(const QString& nombre) const;
};

} // namespace reporte
