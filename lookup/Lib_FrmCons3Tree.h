#pragma once
// The tree lookup dialog: the rows of one statement as a tree of nested codes
// (the families by their parent column, any other statement by code prefixes),
// one search box, and the chosen node's value looked up in the table its
// returned column names. The nodes are a ModeloArbol; this class binds it, the
// box, keys and buttons.

#include "lookup/ModeloArbol.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class Aplicacion;
class QLineEdit;
class QTreeView;

namespace Ui {
class Lib_FrmCons3Tree;
}

class Lib_FrmCons3Tree : public QDialog {
    Q_OBJECT

public:
    explicit Lib_FrmCons3Tree(Aplicacion& app, QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    // As the list dialog's; the tree uses SQL, CampoDevuelto, CheckBoxes,
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
    QString ValoresDefault; // codes ticked when the tree is built

    // Builds the tree; again after every new search.
    void Form_Load();
    // The families of V_TA_FAMILIAS, each under its parent family.
    void ArmarTreeVFamilias();
    // Any other statement: codes nest by prefix.
    void ArmarTreeVAutomatico();
    // Loads the dialog unless it is loaded, and shows it until the operator closes it.
    void Muestra();

    ModeloArbol& Modelo() const { return *modelo_; }
    QTreeView* Arbol() const;
    QLineEdit* Caja() const;
    // The selected node, -1 for none.
    int NodoElegido() const;

    // Esc and "&Cancelar": nothing chosen.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // Reads the statement's rows and hangs each one by `agrega`.
    void arma(const QString& rutina,
              const std::function<void(const QVariant&, const QVariant&, const QVariant&)>& agrega);
    void cmdAceptar_Click();
    void nuevaBusqueda();
    void eligeNodo(int nodo);

    Aplicacion& app_;
    std::unique_ptr<Ui::Lib_FrmCons3Tree> ui_;
    ModeloArbol* modelo_;
    bool cargado_ = false;
};
