#include "FrmHojaRuta.h"

#include "Aplicacion.h"
#include "ui_FrmHojaRuta.h"

#include <QCloseEvent>

FrmHojaRuta::FrmHojaRuta(Aplicacion& app, QWidget* parent)
    : QMainWindow(parent), app_(app), ui_(std::make_unique<Ui::FrmHojaRuta>()) {
    ui_->setupUi(this);
}

FrmHojaRuta::~FrmHojaRuta() = default;

bool FrmHojaRuta::Form_Load() {
    QString cadena;
    if (!app_.IniciaAplicacion(false, QString(), cadena, ado::adUseClient))
        return false;
    app_.consultas.gConnString = app_.db.gConnString;
    app_.util.PreparaVentana(this, 0);
    app_.util.Restablece(0);
    ui_->lblConexion->setText(tr("%1 - %2").arg(app_.db.gServidor, app_.db.gDBName));
    return true;
}

void FrmHojaRuta::closeEvent(QCloseEvent* evento) {
    app_.FinalizaAplicacion();
    evento->accept();
}
