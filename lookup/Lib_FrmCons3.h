#pragma once
// The list lookup dialog: the rows of one statement, a search box above each
// column, and the chosen row's values read back from its properties once it
// closes. The rows are a ModeloConsulta; this class binds it, the boxes, keys,
// widths and buttons.

#include "lookup/DialogoConsulta.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/ModeloConsulta.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class Aplicacion;
class QKeyEvent;
class QLineEdit;
class QTreeView;

namespace Ui {
class Lib_FrmCons3;
}

class Lib_FrmCons3 : public DialogoConsulta {
    Q_OBJECT

public:
    explicit Lib_FrmCons3(Aplicacion& app, QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    QVariant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    bool CfgUsaConsultaLIKE = false;

    // Runs the statement and lists its rows; again for every new search.
    void Form_Load() override;
    // Places the boxes over their columns and sizes the list and the window.
    void CalcularAncho();
    // The list of a lookup of texts of the controller's own, ready to show.
    void PreparaListaSimple(const ListaSimple& lista);
    // The first row (from 1) whose column Clave + 1 begins with the text; 0 for none.
    int Busqueda(int Clave, const QString& QueValor);
    int IndiceColumna(const QString& Columna) const;

    ModeloConsulta& Modelo() const { return *modelo_; }
    QTreeView* Lista() const;
    // Search box i, over column i + 1; null past the last column.
    QLineEdit* Caja(int i) const;
    int CajaActual() const { return CajaActual_; }
    QString TablaConsulta() const { return TablaConsulta_; }
    bool EsArticulos() const { return EsArticulos_; }
    // The selected row (from 0), -1 for none.
    int FilaElegida() const;

protected:
    QLineEdit* cajaInicial() const override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void cmdAceptar_Click();
    void cmdMarcar_Click();
    void cmdNuevaBusqueda_Click();
    void cmdNuevo_Click();
    // F5 in search box `i`: its column and text narrow the list.
    void nuevaBusqueda(int i);
    // F12: the selected article reported as out of stock.
    void informaFaltante();
    // A key in the list; true when it was this dialog's.
    bool teclaEnLista(const QKeyEvent& tecla);
    void ordenaPor(int columna);
    void Encolumnar(ado::Recordset& rs);
    ModeloConsulta::Lectura lectura();
    void CargarAnchos();
    void ubicaCajas();
    void ajustaPanel();
    void eligeFila(int fila);
    QLineEdit* nuevaCaja(int i);
    int pixeles(double twips) const;

    std::unique_ptr<Ui::Lib_FrmCons3> ui_;
    ModeloConsulta* modelo_;
    QList<QLineEdit*> cajas_;
    bool EsArticulos_ = false;
    QString SQLOriginal;
    QString SQLBase;
    QString TablaConsulta_;
    int CajaActual_ = 0;
    Qt::SortOrder orden_ = Qt::AscendingOrder; // each header click flips it
    int anchoPanel_ = 0;                       // pixels the columns need
};

// The lookups of the controller on a fresh dialog each time, child of `padre`.
class VistaConsultaQt : public VistaConsulta {
public:
    VistaConsultaQt(Aplicacion& app, QWidget* padre) : app_(app), padre_(padre) {}
    ListaElegida MuestraLista(const ListaPedida& pedido) override;
    ArbolElegido MuestraArbol(const ArbolPedido& pedido) override;
    ListaElegida MuestraSimple(const ListaSimple& lista) override;

private:
    // Shows the dialog, then gives the keyboard back to the window it came from.
    void muestra(DialogoConsulta& frm) const;

    Aplicacion& app_;
    QWidget* padre_;
};
