#pragma once
// The load-control sheet: the program's only working window. Loading it starts
// the program; closing it ends the program. It shows and edits a `Reparto`, whose
// statements are the repository's and whose checks are the rules table's; the
// window binds fields and grid, keys, focus and dialogs.

#include "platform/CarpetaPuesto.h"
#include "platform/ado/Ado.h"
#include "platform/gui/Formularios.h"
#include "sheet/Recuperacion.h"
#include "sheet/ReglasHoja.h"
#include "sheet/Reparto.h"
#include "sheet/RepositorioReparto.h"

#include <QMainWindow>
#include <QSettings>

#include <memory>

class Aplicacion;
class Barvex1;
class ConsultasHoja;
class EditorCeldas;
class ModeloRecordset;
class QLabel;
class QLineEdit;
class QTableView;

namespace Ui {
class FrmHojaRuta;
}
namespace reporte {
class Salida;
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
    // True enables the detail of the sheet, false leaves only the run number open.
    void DetalleOn(bool Off);
    // Loads the run whose number was confirmed.
    void MuestraReparto();
    // Every field checked in index order; false at the first one that fails.
    bool Datosvalidos();
    // Writes the run and, when finishing, its stamp and journal entry: all or
    // nothing. False when the operator gave up after a failure; the database is
    // then as it was before.
    bool GrabaReparto();
    // Whether the entry a finish would post balances: every positive expense with its
    // account, the means-of-payment account when there are expenses, and the means of
    // payment equal to the expenses. Tells the operator what is missing otherwise.
    bool AsientoBalanceado();
    // Rebuilds the article lines from the configured rubros.
    void ArmaGrilla(bool limpiaPrimero);
    void CalculaTotalesResumen();
    void CargaComprobantes();
    // Checks the control by its DataField and carries out what its value implies.
    void CampoValida(QLineEdit* control);

    // --------------------------------------------- what the window is made of
    Reparto& Modelo() { return reparto_; }
    ModeloGrilla& Grilla() { return reparto_.Lineas(); }
    QLineEdit* Campo(const QString& dataField) const;
    QTableView* VistaGrilla() const;
    QLineEdit* txtEditCC() const;
    ::Barvex1* Barra() const { return Barvex1; }
    QLabel* Etiqueta(const QString& nombre) const;
    bool Existe() const { return reparto_.Existe; }
    bool Grabando() const { return Grabando_; }
    bool Finalizando() const { return Finalizando_; }
    bool HayError() const { return HayError_; }
    int IndiceActual() const { return IndiceActual_; }

    // The lookup of the field that last had the focus (F3).
    void Consultar();
    // Where REPORTE (F8) sends the run's sheet: the preview window when none is
    // set. Not owned.
    void setSalidaReporte(reporte::Salida* salida) { salidaReporte_ = salida; }

    // ------------------------------------------------- the end of the session
    // Where the sheet left unsaved at the end of a session is kept; the user's own
    // settings folder unless said otherwise.
    void setCarpetaRecuperacion(const QString& carpeta) { carpetaRecuperacion_ = carpeta; }
    Recuperacion RecuperacionDeLaBase() const;
    // The window opens where and as large as this user last closed it, and keeps it
    // (in the same folder, never the suite's INI).
    void RecuerdaVentana();
    // When a sheet was left unsaved on this database, asks whether to put it back.
    void OfreceRecuperacion();

public slots:
    void Barvex1_ButtonClick(const QString& clave);
    void cmdFinalizar_Click();
    // The session is ending and nobody can answer: unsaved changes go to the
    // recovery file and the window closes without asking.
    void TerminaSesion();

protected:
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void armaVista();
    void enlazaCampos();
    void muestraCampo(int indice);
    void muestraEtiquetas();
    void actualizaTitulo();
    // True when there is nothing unsaved, or the clerk agrees to lose it.
    bool descartaCambios();
    void soloLectura(bool si);
    // An amount in the money format every amount on the sheet uses.
    QString comoImporte(Currency importe) const;
    // The window's place and size, kept per user.
    QSettings ventanaDelUsuario() const;
    // Opens the run of the confirmed number, as Enter on it does.
    void abreReparto();
    // After a save found the number taken, or the run changed elsewhere: the
    // clerk's choice. The sheet stays as typed unless the clerk says otherwise.
    bool otroNumero();
    void recargaCambiado();
    void aplica(const ReglasHoja::Resultado& res, QLineEdit* control);
    bool rubrosValidos(QString& lista);
    void teclaCampo(QLineEdit* campo, int tecla);
    // Moves the focus into, out of or back to the grid for the key; true when it did.
    bool pasaPorLaGrilla(QWidget* w, int tecla);
    // Whether the clipboard's text fits the field whole; tells the clerk otherwise.
    bool pegadoCabe(QLineEdit* campo);
    void aviso(const QString& mensaje);
    void Grabar();
    void Cancelar();
    void recupera(const HojaRecuperada& hoja);
    void Imprimir();
    // Writes the run as the sheet shows it to a workbook or a .csv the clerk names.
    void Exportar();
    // Ctrl+PageDown / Ctrl+PageUp: the other page ("Carga", "Más Datos"), focus on it.
    void cambiaDePestana();

    // Warnings the sheet shows as the clerk works: lines that do not add up, the
    // odometer against the vehicle's previous run, the finish's entry.
    void conectaControles();
    // The product column's right edge, dragged on the captions above the grid: true
    // when the mouse event was the drag's.
    bool arrastraProducto(QWidget* w, QEvent* evento);
    void revisaDescuadres(int desde, int hasta);
    void buscaKmAnterior();
    void muestraKm();
    // The finish question with the entry it posts, and once more when lines do not
    // add up; true to go on. Keeps what was shown for the save.
    bool confirmaFinalizar();
    // After the entry was posted under another number than the one shown.
    void avisaNumeroAsiento(const DatosAsiento& asiento);

    Aplicacion& app_;
    std::unique_ptr<Ui::FrmHojaRuta> ui_;
    Reparto reparto_;
    RepositorioReparto repo_;
    ReglasHoja reglas_;
    ::Barvex1* Barvex1 = nullptr;
    EditorCeldas* editor_ = nullptr;
    ModeloRecordset* comprobantes_ = nullptr;
    ModeloRecordset* cobranzas_ = nullptr;
    QList<QWidget*> txtFields_;
    QLineEdit* campoDe_[21] = {}; // the field of each of the model's header fields
    Formularios formularios_;

    QString TablaActiva;
    ado::Recordset rsTabla;
    bool Grabando_ = false;
    bool Finalizando_ = false;
    bool HayError_ = false;
    int IndiceActual_ = 0;
    bool activando_ = false; // the activation that opens the command line's run
    bool activado_ = false;
    bool terminando_ = false; // the session is ending: no question is asked
    // A run being opened or a new one prepared, until it is marked as loaded: the
    // sheet is half of something the clerk did not type, and the statement under
    // way still needs the connection.
    int cargando_ = 0;
    bool terminaAlCargar_ = false; // the session ended meanwhile
    friend class CargaEnCurso;
    QString carpetaRecuperacion_ = puesto::CarpetaDelUsuario();
    bool enlazando_ = false; // the model is writing into a field
    bool recuerdaVentana_ = false;
    double parteProducto_; // of the grid's width, hoja::kParteProducto at first
    bool arrastrando_ = false;

    // The vehicle's previous finished run, read when a run opens or "Km Inicio" is
    // confirmed.
    std::optional<RepartoAnterior> kmAnterior_;
    // The entry's settings and the number the finish question showed (0: none).
    struct AsientoMostrado {
        DatosAsiento datos;
        qint32 numero = 0;
    };
    std::optional<AsientoMostrado> asientoMostrado_;

    // The field lookups, made at the first one.
    std::unique_ptr<ConsultasHoja> consultas_;
    reporte::Salida* salidaReporte_ = nullptr;
};
