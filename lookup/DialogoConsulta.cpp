#include "lookup/DialogoConsulta.h"

#include <QCloseEvent>
#include <QLineEdit>

DialogoConsulta::DialogoConsulta(Aplicacion& app, QWidget* parent) : QDialog(parent), app_(app) {}

void DialogoConsulta::TomaPedido(const ArbolPedido& p) {
    SQL = p.SQL;
    CampoDevuelto = p.CampoDevuelto;
    CheckBoxes = p.CheckBoxes;
    ValoresDefault = p.ValoresDefault;
}

void DialogoConsulta::Muestra() {
    if (!cargado_)
        Form_Load();
    cajaInicial()->setFocus();
    exec();
}

void DialogoConsulta::reject() {
    ValorDevuelto = QString();
    CmpsDevueltos.reset();
    Valores.reset();
    QDialog::reject();
}

void DialogoConsulta::closeEvent(QCloseEvent* evento) {
    // Closing the window is not a cancel: what was set stays as it is.
    if (isVisible())
        done(QDialog::Rejected);
    evento->accept();
}

bool DialogoConsulta::teclaEnCaja(int tecla, QWidget* filas,
                                  const std::function<void()>& nuevaBusqueda) {
    if (tecla == Qt::Key_Down || tecla == Qt::Key_Up || tecla == Qt::Key_PageDown ||
        tecla == Qt::Key_PageUp) {
        filas->setFocus();
        return true;
    }
    if (tecla == Qt::Key_F5) {
        nuevaBusqueda();
        return true;
    }
    return false;
}
