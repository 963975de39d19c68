// Where the grid's columns and the captions above them go: widths in twips, as
// the suite sizes them, turned into the screen's pixels.

#include "DisposicionHoja.h"

#include "sheet/ModeloGrilla.h"
#include "ui_FrmHojaRuta.h"

#include <QLabel>
#include <QTableView>

#include <cmath>

namespace hoja {

namespace {

int aPixeles(double twips, double dpi) {
    return static_cast<int>(twips * dpi / 1440.0);
}

} // namespace

// A summary grid's columns share its width, as the suite sizes them.
void RepartoColumnas(QTableView* vista, int columnas, int restaTwips) {
    const double dpi = vista->logicalDpiX() > 0 ? vista->logicalDpiX() : 96;
    const double anchoTwips = vista->width() * 1440.0 / dpi;
    const double twips = std::round(anchoTwips / columnas - restaTwips);
    for (int c = 0; c < columnas; ++c)
        vista->setColumnWidth(c, std::max(0, static_cast<int>(std::lround(twips * dpi / 1440.0))));
}

void AnchosGrilla(Ui::FrmHojaRuta& ui) {
    QTableView* vista = ui.MSFlexGrid2;
    const double dpi = vista->logicalDpiX() > 0 ? vista->logicalDpiX() : 96;
    const double ancho = vista->width() * 1440.0 / dpi;
    const int cantidades = static_cast<int>((ancho - 2460 - 350) / 8);
    vista->setColumnWidth(0, aPixeles(2460, dpi));
    for (int c = 1; c <= 8; ++c)
        vista->setColumnWidth(c, aPixeles(std::max(cantidades, 0), dpi));
    for (int c = 9; c < ModeloGrilla::kColumnas; ++c)
        vista->setColumnHidden(c, true);
    UbicaTitulos(ui);
}

void UbicaTitulos(Ui::FrmHojaRuta& ui) {
    QTableView* vista = ui.MSFlexGrid2;
    const int base = vista->geometry().x() - ui.fraTitulos->x() + vista->viewport()->x();
    const int alto = ui.fraTitulos->height() / 3;
    const auto pon = [&](QLabel* l, int desde, int hasta, int fila, int filas = 1) {
        const int x = base + vista->columnViewportPosition(desde);
        const int fin = base + vista->columnViewportPosition(hasta) + vista->columnWidth(hasta);
        l->setGeometry(x, fila * alto, std::max(fin - x, 0), alto * filas);
    };
    pon(ui.lblTitCantidad, 0, 4, 0);
    pon(ui.lblTitDevolucion, 5, 6, 0);
    pon(ui.lblTitTotal, 7, 8, 0);
    pon(ui.lblTitProducto, 0, 0, 1, 2);
    pon(ui.lblTitCarga, 1, 2, 1);
    pon(ui.lblTitRecarga, 3, 4, 1);
    pon(ui.lblTitDevSob, 5, 6, 1);
    pon(ui.lblTitVtaTotal, 7, 8, 1);
    QLabel* uds[] = {ui.lblTitUds1, ui.lblTitUds2, ui.lblTitUds3, ui.lblTitUds4};
    QLabel* kgs[] = {ui.lblTitKgs1, ui.lblTitKgs2, ui.lblTitKgs3, ui.lblTitKgs4};
    for (int g = 0; g < 4; ++g) {
        pon(uds[g], 1 + 2 * g, 1 + 2 * g, 2);
        pon(kgs[g], 2 + 2 * g, 2 + 2 * g, 2);
    }
}

} // namespace hoja
