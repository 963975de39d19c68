#pragma once
// What the list and the tree lookup dialogs share: the properties their
// callers set before showing them and read back once they close, how they are
// shown and closed, and where a search box sends the keys that move through
// the rows.

#include "lookup/Lib_ClsCons3.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class Aplicacion;
class QLineEdit;

class DialogoConsulta : public QDialog {
    Q_OBJECT

public:
    // The list uses them all; the tree uses SQL, CampoDevuelto, CheckBoxes,
    // ValorDevuelto, Valores and ValoresDefault, and takes the rest.
    QString SQL;
    QString CampoDevuelto;
    std::optional<QStringList> CmpsDevueltos;
    bool CheckBoxes = false;
    QString gConnString;
    QVariant ValorDevuelto;
    QString FiltroInicial;
    QString CampoBusqueda;
    bool OrdenarPorLwv = false;
    std::optional<QVariantList> Valores;
    std::optional<QVariantList> Cantidades;
    bool UsaCantidades = false;
    QString ValoresDefault; // codes ticked when the rows are read

    // Reads the statement's rows; again for every new search.
    virtual void Form_Load() = 0;
    // Takes the statement, the returned column and the ticks a lookup asks for.
    void TomaPedido(const ArbolPedido& p);
    // Loads the dialog unless it is loaded, and shows it until the operator closes it.
    void Muestra();

    // Esc and "&Cancelar": nothing chosen.
    void reject() override;

protected:
    DialogoConsulta(Aplicacion& app, QWidget* parent);
    void closeEvent(QCloseEvent* evento) override;
    // The search box Muestra leaves the cursor in.
    virtual QLineEdit* cajaInicial() const = 0;
    // A key pressed in a search box: arrows and pages move to `filas`, F5 runs
    // `nuevaBusqueda`. True when the key was taken.
    bool teclaEnCaja(int tecla, QWidget* filas, const std::function<void()>& nuevaBusqueda);

    Aplicacion& app_;
    bool cargado_ = false;
};
