#pragma once
// The sheet window's layout that follows its size: the grid's column widths, the
// three rows of captions laid over its columns, the summary grids' columns.

class QLineEdit;
class QString;
class QTableView;
namespace Ui {
class FrmHojaRuta;
}

namespace hoja {

// The part of the grid's width the product column takes unless the clerk drags it.
inline constexpr double kParteProducto = 0.3;

// Widths in twips of the product column and of each of the eight quantity columns in
// a grid `ancho` twips wide: the product column takes `parteProducto` of it, never
// less than its original 2460 twips nor so much that a quantity column gets less
// than 600; the quantities share the rest.
struct AnchosColumnas {
    double producto;
    double cantidad;
};
AnchosColumnas ReparteGrilla(double ancho, double parteProducto);
// A share of the grid's width kept within reason, so that neither a drag nor a
// stored value can hide the product column or the quantities.
double AcotaParte(double parte);
// The part of the grid's width a product column `pixeles` wide takes, within reason.
double ParteProducto(const Ui::FrmHojaRuta& ui, int pixeles);
// The grid's columns for its present width; the captions follow.
void AnchosGrilla(Ui::FrmHojaRuta& ui, double parteProducto);
// The captions over the grid's columns, where the columns are now.
void UbicaTitulos(Ui::FrmHojaRuta& ui);
// A summary grid's columns share its width, none narrower than its heading and values.
void RepartoColumnas(QTableView* vista, int columnas, int restaTwips);
// Both summary grids of "Más Datos", for their present width.
void AnchosResumenes(Ui::FrmHojaRuta& ui);
// The grid takes the height the window gains, the lower frames the width; every
// field gets the name a screen reader says (its label's, or what it holds) and
// keeps room for its longest value however narrow the window.
void PreparaDisposicion(Ui::FrmHojaRuta& ui);
// The width `campo` needs to show `texto` whole.
int AnchoPara(const QLineEdit& campo, const QString& texto);

} // namespace hoja
