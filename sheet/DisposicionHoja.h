#pragma once
// The sheet window's layout that follows its size: the grid's column widths, the
// three rows of captions laid over its columns, the summary grids' columns.

class QTableView;
namespace Ui {
class FrmHojaRuta;
}

namespace hoja {

// The product column takes at least its width and up to a third of the grid; the
// eight quantity columns share the rest; the captions follow.
void AnchosGrilla(Ui::FrmHojaRuta& ui);
// The captions over the grid's columns, where the columns are now.
void UbicaTitulos(Ui::FrmHojaRuta& ui);
// A summary grid's columns share its width, none narrower than its heading and values.
void RepartoColumnas(QTableView* vista, int columnas, int restaTwips);
// Both summary grids of "Más Datos", for their present width.
void AnchosResumenes(Ui::FrmHojaRuta& ui);
// The grid takes the height the window gains, the lower frames the width; every
// field gets the name a screen reader says (its label's, or what it holds).
void PreparaDisposicion(Ui::FrmHojaRuta& ui);

} // namespace hoja
