// The figures of the frame "Resumen" and the run's voucher and collection summaries.

#include "Interno.h"
#include "app/Aplicacion.h"
#include "platform/gui/Grillas.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"
#include "ui_FrmHojaRuta.h"

#include <QHeaderView>
#include <QTableView>

#include <cmath>

void FrmHojaRuta::CalculaTotalesResumen() {
    const auto lee = [](const QString& t) { return Utilidades::ANumero(t); };
    Currency V;
    const int n = grilla_->filas();
    for (int r = 0; r < n; ++r)
        V += (lee(grilla_->texto(r, 2)) + lee(grilla_->texto(r, 4))) * ValorItem(r);
    ui_->TxtARecaudar->setText(hoja::TextoNumero(V));
    const Currency gastos =
        lee(textoCampo(QStringLiteral("Gasto4"))) + lee(textoCampo(QStringLiteral("Gasto3"))) +
        lee(textoCampo(QStringLiteral("Gasto2"))) + lee(textoCampo(QStringLiteral("Gasto1")));
    ui_->TxtTotGastos->setText(hoja::TextoNumero(gastos));
    ui_->TxtTotal->setText(hoja::TextoNumero(lee(textoCampo(QStringLiteral("ImpRecaudado"))) -
                                             lee(ui_->TxtTotGastos->text())));
    for (QLineEdit* caja : {ui_->TxtARecaudar, ui_->TxtTotGastos, ui_->TxtTotal})
        caja->setText(app_.FmtMoneda(caja->text(), -1, false));
}

namespace {

// A summary grid's columns share its width, as the suite sizes them.
void repartoColumnas(QTableView* vista, int columnas, int restaTwips) {
    const double dpi = vista->logicalDpiX() > 0 ? vista->logicalDpiX() : 96;
    const double anchoTwips = vista->width() * 1440.0 / dpi;
    const double twips = std::round(anchoTwips / columnas - restaTwips);
    for (int c = 0; c < columnas; ++c)
        vista->setColumnWidth(c, std::max(0, static_cast<int>(std::lround(twips * dpi / 1440.0))));
}

} // namespace

void FrmHojaRuta::CargaComprobantes() {
    const QString N = textoCampo(QStringLiteral("Reparto"));
    ado::Connection& cn = app_.db.gCnn();
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT TC,SUBSTRING(IDCOMPROBANTE,13,1) AS LETRA, SUM(IMPORTE) AS "
                               "TOTAL FROM V_MV_CPTE WHERE IDREPARTO = ") +
                    N +
                    QStringLiteral(" AND FINALIZADA=0 AND ANULADA=0 GROUP BY TC, "
                                   "SUBSTRING(IDCOMPROBANTE,13,1)"),
                cn);
        auto* modelo = new ModeloRecordset(rs, this);
        ui_->MSHFlexGrid1->setModel(modelo);
        delete comprobantes_;
        comprobantes_ = modelo;
        repartoColumnas(ui_->MSHFlexGrid1, 3, 30);
    }
    {
        ado::Recordset rs;
        rs.Open(
            QStringLiteral(" SELECT MV_APLICACION.TC AS TC_COB, ") +
                QStringLiteral(" sum(MV_APLICACION.Importe) as Total ") +
                QStringLiteral(" FROM V_MV_Cpte INNER JOIN ") +
                QStringLiteral(" MV_APLICACION ON ") +
                QStringLiteral(" V_MV_Cpte.CUENTA = MV_APLICACION.CUENTA AND ") +
                QStringLiteral(" V_MV_Cpte.TC = MV_APLICACION.TCO_ORIGEN AND ") +
                QStringLiteral(" V_MV_Cpte.IdComprobante = MV_APLICACION.IDComprobante_Origen ") +
                QStringLiteral(" WHERE (V_MV_Cpte.IdReparto = ") + N + QStringLiteral(") AND ") +
                QStringLiteral(" V_MV_CPTE.ANULADA <> 1 AND ") +
                QStringLiteral(" V_MV_CPTE.TC <> 'RM' AND ") +
                QStringLiteral(" (MV_APLICACION.TC = 'CB' OR ") +
                QStringLiteral(" MV_APLICACION.Tc = 'CBCT') ") +
                QStringLiteral(" GROUP BY MV_APLICACION.TC"),
            cn);
        auto* modelo = new ModeloRecordset(rs, this);
        ui_->MSHFlexGrid2->setModel(modelo);
        delete cobranzas_;
        cobranzas_ = modelo;
        repartoColumnas(ui_->MSHFlexGrid2, 2, 45);
    }
}
