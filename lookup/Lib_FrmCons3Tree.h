#pragma once
// The tree lookup dialog: the rows of one statement as a tree of nested codes
// (the families by their parent column, any other statement by code prefixes),
// one search box, and the chosen node's value looked up in the table its
// returned column names. The nodes are a ModeloArbol; this class binds it, the
// box, keys and buttons.

#include "lookup/DialogoConsulta.h"
#include "lookup/ModeloArbol.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class Aplicacion;
class QLineEdit;
class QTreeView;

namespace Ui {
class Lib_FrmCons3Tree;
}

class Lib_FrmCons3Tree : public DialogoConsulta {
    Q_OBJECT

public:
    explicit Lib_FrmCons3Tree(Aplicacion& app, QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    // Builds the tree; again after every new search.
    void Form_Load() override;
    // The families of V_TA_FAMILIAS, each under its parent family.
    void ArmarTreeVFamilias();
    // Any other statement: codes nest by prefix.
    void ArmarTreeVAutomatico();

    ModeloArbol& Modelo() const { return *modelo_; }
    QTreeView* Arbol() const;
    QLineEdit* Caja() const;
    // The selected node, -1 for none.
    int NodoElegido() const;

protected:
    QLineEdit* cajaInicial() const override { return Caja(); }
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // Reads the statement's rows and hangs each one by `agrega`.
    void arma(const QString& rutina,
              const std::function<void(const QVariant&, const QVariant&, const QVariant&)>& agrega);
    void cmdAceptar_Click();
    void nuevaBusqueda();
    void eligeNodo(int nodo);

    std::unique_ptr<Ui::Lib_FrmCons3Tree> ui_;
    ModeloArbol* modelo_;
};
