// Where the grid's columns and the captions above them go: widths in twips, as
// the suite sizes them, turned into the screen's pixels.

#include "DisposicionHoja.h"

#include "sheet/ModeloGrilla.h"
#include "ui_FrmHojaRuta.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <utility>

#include <cmath>

namespace hoja {

namespace {

int aPixeles(double twips, double dpi) {
    return static_cast<int>(twips * dpi / 1440.0);
}

} // namespace

// A summary grid's columns share its width, as the suite sizes them (the width inside
// its row numbers and frame, so that the shares fit), but none is narrower than its
// heading or its widest value: nothing shows cut.
void RepartoColumnas(QTableView* vista, int columnas, int restaTwips) {
    const double dpi = vista->logicalDpiX() > 0 ? vista->logicalDpiX() : 96;
    const double anchoTwips = vista->viewport()->width() * 1440.0 / dpi;
    const double twips = std::round(anchoTwips / columnas - restaTwips);
    const int parte = std::max(0, static_cast<int>(std::lround(twips * dpi / 1440.0)));
    QHeaderView* titulos = vista->horizontalHeader();
    for (int c = 0; c < columnas; ++c) {
        const int necesita = std::max(static_cast<QAbstractItemView*>(vista)->sizeHintForColumn(c),
                                      titulos->sectionSizeHint(c));
        vista->setColumnWidth(c, std::max(parte, necesita));
    }
}

void AnchosResumenes(Ui::FrmHojaRuta& ui) {
    RepartoColumnas(ui.MSHFlexGrid1, 3, 30);
    RepartoColumnas(ui.MSHFlexGrid2, 2, 45);
}

AnchosColumnas ReparteGrilla(double ancho, double parteProducto) {
    constexpr double kProductoMinimo = 2460, kCantidadMinima = 600, kMargen = 350;
    // A wider window shows more of each description (the tooltip has it whole); the
    // clerk's share never squeezes a quantity below what its figures need.
    const double tope = ancho - kMargen - 8 * kCantidadMinima;
    const double producto =
        std::max(kProductoMinimo, std::min(std::floor(ancho * parteProducto), tope));
    return {producto, std::max(0.0, std::floor((ancho - producto - kMargen) / 8))};
}

double AcotaParte(double parte) {
    return std::clamp(parte, 0.05, 0.9);
}

double ParteProducto(const Ui::FrmHojaRuta& ui, int pixeles) {
    const int ancho = ui.MSFlexGrid2->width();
    return ancho > 0 ? AcotaParte(static_cast<double>(pixeles) / ancho) : kParteProducto;
}

void AnchosGrilla(Ui::FrmHojaRuta& ui, double parteProducto) {
    QTableView* vista = ui.MSFlexGrid2;
    const double dpi = vista->logicalDpiX() > 0 ? vista->logicalDpiX() : 96;
    const AnchosColumnas anchos = ReparteGrilla(vista->width() * 1440.0 / dpi, parteProducto);
    vista->setColumnWidth(0, aPixeles(anchos.producto, dpi));
    for (int c = 1; c <= 8; ++c)
        vista->setColumnWidth(c, aPixeles(anchos.cantidad, dpi));
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

void PreparaDisposicion(Ui::FrmHojaRuta& ui) {
    ui.layCarga->setStretchFactor(ui.MSFlexGrid2, 1);
    for (QWidget* marco :
         {static_cast<QWidget*>(ui.fraGastos), static_cast<QWidget*>(ui.fraMedioPago),
          static_cast<QWidget*>(ui.fraResumen)})
        ui.layPie->setStretchFactor(marco, 1);
    // Fields beside their captions are named by them; the rest by what they hold.
    const std::pair<QLabel*, QLineEdit*> conRotulo[] = {
        {ui.lblReparto, ui.txtFields_0},       {ui.lblFecha, ui.txtFields_1},
        {ui.lblClase, ui.txtFields_2},         {ui.lblVehiculo, ui.txtFields_3},
        {ui.lblChofer, ui.txtFields_4},        {ui.lblKmInicial, ui.txtFields_5},
        {ui.lblKmFinal, ui.txtFields_6},       {ui.lblObservaciones, ui.txtFields_7},
        {ui.lblImpRecaudado, ui.txtFields_10}, {ui.lblARecaudar, ui.TxtARecaudar},
        {ui.lblTotGastos, ui.TxtTotGastos},    {ui.lblTotal, ui.TxtTotal},
    };
    for (const auto& [rotulo, campo] : conRotulo) {
        rotulo->setBuddy(campo);
        QString nombre = rotulo->text();
        nombre.remove(u'&');
        if (nombre.endsWith(u':'))
            nombre.chop(1);
        campo->setAccessibleName(nombre.simplified());
    }
    const std::pair<QLineEdit*, const char*> sinRotulo[] = {
        {ui.txtFields_11, "Cuenta del gasto 1"},
        {ui.txtFields_14, "Importe del gasto 1"},
        {ui.txtFields_12, "Cuenta del gasto 2"},
        {ui.txtFields_15, "Importe del gasto 2"},
        {ui.txtFields_13, "Cuenta del gasto 3"},
        {ui.txtFields_16, "Importe del gasto 3"},
        {ui.txtFields_17, "Cuenta del gasto 4"},
        {ui.txtFields_18, "Importe del gasto 4"},
        {ui.txtFields_20, "Cuenta del medio de pago"},
        {ui.txtFields_19, "Total del medio de pago"},
        {ui.txtFields_8, "Rubros"},
        {ui.txtFields_9, "Configuración"},
    };
    for (const auto& [campo, nombre] : sinRotulo)
        campo->setAccessibleName(QString::fromUtf8(nombre));
    ui.MSFlexGrid2->setAccessibleName(QStringLiteral("Artículos del reparto"));
    ui.MSHFlexGrid1->setAccessibleName(QStringLiteral("Comprobantes del reparto por tipo y letra"));
    ui.MSHFlexGrid2->setAccessibleName(QStringLiteral("Cobranzas del reparto por tipo"));

    // A narrow window squeezes the fields, and a cut figure reads as another one
    // ("000,00" for 12000,00): each field keeps room for the longest value it holds.
    const QString importe = QStringLiteral("9999999999,99");
    const std::pair<QLineEdit*, QString> muestras[] = {
        {ui.txtFields_0, QStringLiteral("9999999999")},
        {ui.txtFields_1, QStringLiteral("00/00/0000")},
        {ui.txtFields_2, QStringLiteral("999")},
        {ui.txtFields_3, QStringLiteral("WWW999W")},
        {ui.txtFields_5, QStringLiteral("99999999")},
        {ui.txtFields_6, QStringLiteral("99999999")},
        {ui.txtFields_11, QStringLiteral("9.9.9.99")},
        {ui.txtFields_12, QStringLiteral("9.9.9.99")},
        {ui.txtFields_13, QStringLiteral("9.9.9.99")},
        {ui.txtFields_17, QStringLiteral("9.9.9.99")},
        {ui.txtFields_14, importe},
        {ui.txtFields_15, importe},
        {ui.txtFields_16, importe},
        {ui.txtFields_18, importe},
        {ui.txtFields_19, importe},
        {ui.txtFields_10, importe},
        {ui.TxtARecaudar, importe},
        {ui.TxtTotGastos, importe},
        {ui.TxtTotal, importe},
    };
    for (const auto& [campo, muestra] : muestras)
        campo->setMinimumWidth(AnchoPara(*campo, muestra));
}

int AnchoPara(const QLineEdit& campo, const QString& texto) {
    // The text, the field's text margins, its frame and the cursor's room.
    const QMargins margenes = campo.textMargins();
    const int marco = campo.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &campo);
    return campo.fontMetrics().horizontalAdvance(texto) + margenes.left() + margenes.right() +
           2 * marco + 8;
}

} // namespace hoja
