#pragma once
// The load-control sheet: the program's only working window. Loading it starts
// the program; closing it ends the program.

#include <QMainWindow>

#include <memory>

class Aplicacion;

namespace Ui {
class FrmHojaRuta;
}

class FrmHojaRuta : public QMainWindow {
    Q_OBJECT

public:
    explicit FrmHojaRuta(Aplicacion& app, QWidget* parent = nullptr);
    ~FrmHojaRuta() override;

    // The window's load: starts the application on the command line's connection.
    // False when no connection was opened; the program is then ending.
    bool Form_Load();

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    Aplicacion& app_;
    std::unique_ptr<Ui::FrmHojaRuta> ui_;
};
