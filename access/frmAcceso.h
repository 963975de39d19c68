#pragma once
// The connection dialog: the registered connections on the left, the fields of a
// SQL Server, Oracle or local-file connection on the right. A view over
// ModeloAcceso; "Registrar" and "Crear Acceso Directo" go to RegistroConexion.

#include "access/ModeloAcceso.h"
#include "access/RegistroConexion.h"

#include <QDialog>

#include <memory>

class Aplicacion;
class QListWidgetItem;

namespace Ui {
class frmAcceso;
}

class frmAcceso : public QDialog {
    Q_OBJECT

public:
    frmAcceso(Aplicacion& app, ModeloAcceso& modelo, QWidget* parent = nullptr);
    ~frmAcceso() override;

    // True when closed with "Aceptar".
    bool Aceptar = false;

    ModeloAcceso& modelo() { return modelo_; }
    RegistroConexion& registro() { return registro_; }
    // The model gets what the fields show.
    void LeeCampos();

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void llenarlist();
    void AsignarDatosBase();
    void muestraCampos();
    void habilitaPorPlataforma();
    void eligeArchivo();
    void registrar();

    Aplicacion& app_;
    ModeloAcceso& modelo_;
    RegistroConexion registro_;
    std::unique_ptr<Ui::frmAcceso> ui_;
};
