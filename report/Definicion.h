#pragma once
// A report file as the engine holds it once read: the page, the parameters, the
// data sources, the calculated fields and the sections with their bands and
// elements. The file format is described in resources/REPORTES.md.

#include "report/Expresion.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <memory>

namespace reporte {

enum class Alineacion { Izquierda, Centro, Derecha };

struct Letra {
    QString familia;
    double puntos = 8;
    bool negrita = false;
    bool cursiva = false;
};

enum class Formato { Auto, Texto, Moneda, Cantidad, Entero, Fecha, FechaHora };
enum class Funcion { Suma, Cuenta, Minimo, Maximo, Promedio };

struct Elemento {
    enum class Tipo { Texto, Campo, Total, NumeroPagina, FechaImpresion, Linea, Caja, Imagen };
    Tipo tipo = Tipo::Texto;
    // Millimetres from the band's top left corner; a line runs from the top left
    // corner of the rectangle to its bottom right one.
    QRectF rect;
    Letra letra;
    Alineacion alineacion = Alineacion::Izquierda;
    bool multilinea = false;
    // Texto: the text, with {?parámetro}; NumeroPagina: with {n} and {m};
    // FechaImpresion: with {fecha}.
    QString texto;
    // Campo and Total: the field ("Campo" or "Fuente.Campo"), calculated ones included.
    QString campo;
    Formato formato = Formato::Auto;
    bool ceroBlanco = false;
    Funcion funcion = Funcion::Suma;
    // Total: "reporte", a group's name or "lista"; the reader fills it in from the
    // section when the file leaves it out.
    QString ambito;
    double grosor = 0.2; // lines and boxes, in millimetres
    QImage imagen;
    QString nombre; // optional, carried to the laid-out page
    int linea = 0;  // in the file
};

struct Banda {
    double alto = 0;
    QList<Elemento> elementos;
    // The band is left out for a row whose field is null or blank.
    QString suprimirSiVacio;
    // A group header band printed again at the top of each page the group goes on to.
    bool repetir = false;
    bool presente = false;
    int linea = 0;
};

// The rows of a secondary source, printed where the list stands in its section.
struct Lista {
    QString fuente;
    Banda encabezado, fila, vacia, pie;
    int linea = 0;
};

struct Parte {
    bool esLista = false;
    Banda banda;
    Lista lista;
};
using Seccion = QList<Parte>;

struct Grupo {
    QString nombre;
    QString campo;
    bool saltoPagina = false;
    Seccion encabezado, pie;
    int linea = 0;
};

// A field of the main source that a selection formula may compare.
struct Seleccionable {
    QString campo;   // as the formula names it
    QString columna; // as the source's SQL names it
    bool numerico = true;
};

struct Fuente {
    QString nombre;
    QString sql;
    bool principal = false;
    QList<Seleccionable> seleccionables;
    int linea = 0;
};

struct Calculado {
    QString nombre;
    QString fuente;
    QString texto;
    std::shared_ptr<const Expresion> expresion;
    int linea = 0;
};

struct Parametro {
    QString nombre;
    QString defecto;
};

struct Definicion {
    QString ruta;
    QString titulo;
    QPageSize tamano{QPageSize::A4};
    bool horizontal = false;
    QMarginsF margenes{10, 10, 10, 10}; // millimetres
    Letra letra;
    QList<Parametro> parametros;
    QList<Fuente> fuentes;
    QList<Calculado> calculados;
    Seccion encabezadoReporte, encabezadoPagina, detalle, sinDatos, pieReporte, piePagina;
    QList<Grupo> grupos;

    // The paper in millimetres, turned as the page is.
    QSizeF papel() const;
    const Fuente& principal() const;
    const Fuente* fuente(const QString& nombre) const;
};

// Reads a report file. Raises reporte::Error: Archivo when it cannot be read,
// Formato when it is not a report of this program or is not well formed (with
// the line of the fault).
Definicion LeeDefinicion(const QString& ruta);
Definicion LeeDefinicion(const QByteArray& contenido, const QString& ruta);

} // namespace reporte
