#pragma once
// The connection dialog as the database object asks for it.

#include "db/DB_Dll.h"

class Aplicacion;
class QWidget;
class frmAcceso;

class VentanaConexion : public PideParametrosConexion {
public:
    explicit VentanaConexion(Aplicacion& app, QWidget* padre = nullptr)
        : app_(app), padre_(padre) {}

    // Shows frmAcceso on the current parameters and gives back what the operator
    // accepted. Asked again while it is open (a connection tried from inside it
    // failed and the operator chose to retry), it answers with what the dialog
    // holds instead of opening a second one.
    bool Pide(QString& servidor, QString& base, QString& usuario, QString& clave,
              int& plataforma) override;
    // The dialog that is open, if any.
    frmAcceso* abierto() const { return abierto_; }

private:
    Aplicacion& app_;
    QWidget* padre_;
    frmAcceso* abierto_ = nullptr;
};
