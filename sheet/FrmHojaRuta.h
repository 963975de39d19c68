#pragma once
// The load-control sheet: the program's only working window. Loading it starts
// the program; closing it ends the program.

#include "platform/Currency.h"
#include "platform/ado/Ado.h"
#include "platform/gui/Formularios.h"

#include <QHash>
#include <QMainWindow>
#include <QVariant>

#include <memory>
#include <optional>

class Aplicacion;
class Barvex1;
class ModeloGrilla;
class ModeloRecordset;
class QLabel;
class QLineEdit;
class QTableView;

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

    // ------------------------------------------------------------ the run
    // Empties the sheet for a new run and offers the next free run number.
    void Inicializa();
    QString ProximoReparto();
    // True enables the detail of the sheet, false leaves only the run number open.
    void DetalleOn(bool Off);
    // Loads the run whose number is in Reparto.
    void MuestraReparto();
    // Every field checked in index order; false at the first one that fails.
    bool Datosvalidos();
    // Writes the header and the lines and, when finishing, stamps the run and posts
    // its journal entry: all or nothing, in one transaction. False when the operator
    // gave up after a failure; the database is then as it was before.
    bool GrabaReparto();
    // Whether the entry a finish would post balances: every positive expense with its
    // account, the means-of-payment account when there are expenses, and the means of
    // payment equal to the expenses. Tells the operator what is missing otherwise.
    bool AsientoBalanceado();

    // ------------------------------------------------------- article lines
    void ArmaGrilla(bool limpiaPrimero);
    bool RubrosValidos(QString& lista);
    // Fills line L (1-based) from the article master; from `rs`'s current row when
    // given, otherwise read by id.
    void CargaArticulo(int L, const QString& idArticulo, ado::Recordset* rs = nullptr);
    Currency ValorItem(int fila) const;
    void RecalculaFila();
    void RecalculaPrecios();
    void CargaDetalle();
    void CalculaDevolucion(bool enUnidades);

    // -------------------------------------------------------------- totals
    void CalculaTotalesResumen();
    void CargaComprobantes();

    // ---------------------------------------------------------- validation
    // Checks the control by its DataField and carries out what its value implies.
    void CampoValida(QLineEdit* control);
    QString ObtieneTipoRegCont();

    // --------------------------------------------- what the window is made of
    const QList<QWidget*>& txtFields() const { return txtFields_; }
    QLineEdit* Campo(const QString& dataField) const;
    ModeloGrilla& Grilla() const { return *grilla_; }
    QTableView* VistaGrilla() const;
    QLineEdit* txtEditCC() const { return txtEditCC_; }
    ::Barvex1* Barra() const { return Barvex1; }
    QLabel* Etiqueta(const QString& nombre) const;
    bool Existe() const { return Existe_; }
    bool Grabando() const { return Grabando_; }
    bool Finalizando() const { return Finalizando_; }
    bool HayError() const { return HayError_; }
    int IndiceActual() const { return IndiceActual_; }

public slots:
    void Barvex1_ButtonClick(const QString& clave);
    void cmdFinalizar_Click();

protected:
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    // An article row as the grid takes it.
    struct Articulo {
        QVariant IdArticulo, Descripcion, Costo, TasaIva, Impuestos;
        QVariant Precio[6]; // 1..5
    };
    // Sold and returned quantities of one article on the run's vouchers.
    struct Movimientos {
        Currency vendidoKg, vendidoUd, devueltoKg, devueltoUd;
    };

    static Articulo leeArticulo(ado::Recordset& rs);
    static QString clave(const QString& idArticulo);
    void llenaArticulo(int fila, const Articulo& a);
    std::optional<Articulo> articuloPorId(const QString& idArticulo);
    QHash<QString, Articulo> articulosPorConsulta(const QString& sql);
    QHash<QString, Movimientos> movimientosDelReparto(const QString& reparto,
                                                      const QString& articulo = {});
    void calculaDevolucionEn(int fila, bool enUnidades, const Movimientos& m);
    QString piva();
    QString textoCampo(const QString& dataField) const;
    void ponCampo(const QString& dataField, const QString& texto);

    void armaVista();
    void anchosGrilla();
    void ubicaTitulos();
    void teclaCampo(QLineEdit* campo, int tecla, Qt::KeyboardModifiers mod);
    bool teclaEditor(QKeyEvent* ev);
    bool teclaGrilla(QKeyEvent* ev);
    void abreEditor(int codigo, const QString& caracter);
    void cierraEditor();
    void grabaCelda();
    void textPropiedades();
    void editKeyCode(int tecla);
    int filaActual() const;
    int columnaActual() const;
    void setCeldaActual(int fila, int columna);
    void muestraMensajePendiente();

    // What the journal entry of a finish needs, read before anything is written.
    struct DatosAsiento {
        bool registra = false; // false: no lines are posted
        QString aviso;         // told to the operator once the save went through
        QString tc, sucursal, numero, letra, periodo, tipoReg;
        qint16 numeroAsiento = 0;
        int mes = 0;
    };
    std::optional<DatosAsiento> PreparaAsiento();
    void grabaCabecera();
    void grabaLineas();
    void AsientoReparto(const DatosAsiento& datos);
    void Grabar();
    void Cancelar();

    Aplicacion& app_;
    std::unique_ptr<Ui::FrmHojaRuta> ui_;
    ::Barvex1* Barvex1 = nullptr;
    ModeloGrilla* grilla_ = nullptr;
    QLineEdit* txtEditCC_ = nullptr;
    ModeloRecordset* comprobantes_ = nullptr;
    ModeloRecordset* cobranzas_ = nullptr;
    QList<QWidget*> txtFields_;
    Formularios formularios_;

    QString TablaActiva;
    ado::Recordset rsTabla;
    ado::Recordset rsDetalle;
    bool Existe_ = false;
    bool Grabando_ = false;
    bool Finalizando_ = false;
    bool HayError_ = false;
    int IndiceActual_ = 0;
    QString mensaje_;             // the pending validation message
    std::optional<QString> piva_; // the default tax rate, read when the sheet is reset
    bool activando_ = false;      // the activation that opens the command line's run
    bool editorValidando_ = false;
};
