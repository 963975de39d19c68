#include "sheet/FrmHojaRuta.h"

#include "DisposicionHoja.h"
#include "EditorCeldas.h"
#include "Interno.h"
#include "app/Aplicacion.h"
#include "app/Reportes.h"
#include "app/gui/Apariencia.h"
#include "lookup/Lib_FrmCons3.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "platform/gui/Barvex1.h"
#include "platform/gui/Grillas.h"
#include "report/gui/SalidaQt.h"
#include "sheet/ConsultasHoja.h"
#include "ui_FrmHojaRuta.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableView>
#include <QTimer>

#include <utility>

#include <cmath>

using hoja::TextoNumero;

namespace {

constexpr int kCampos = 21;

// The order the operator goes through the fields, by their index.
constexpr int kOrdenFoco[] = {0, 1, 2, 3, 4, 5, 7, 6, 11, 14, 12, 15, 13, 16, 17, 18, 20, 19};

const QString kCian = QStringLiteral("QLineEdit { background-color: rgb(0, 255, 255); }");

// The header fields that hold money: shown in the money format the totals use.
bool esImporte(const QString& dataField) {
    static const QStringList importes = {QStringLiteral("ImpRecaudado"), QStringLiteral("Gasto1"),
                                         QStringLiteral("Gasto2"),       QStringLiteral("Gasto3"),
                                         QStringLiteral("Gasto4"),       QStringLiteral("GastoMP")};
    return importes.contains(dataField, Qt::CaseInsensitive);
}

// A progress window for long loads: it appears only when the work lasts longer
// than half a second and keeps the window painting meanwhile.
class Progreso {
public:
    Progreso(QWidget* padre, const QString& texto) {
        reloj_.start();
        padre_ = padre;
        texto_ = texto;
    }
    ~Progreso() {
        if (dialogo_) {
            dialogo_->hide(); // no longer the modal window an ending session waits for
            dialogo_->deleteLater();
        }
    }
    void avanza(int hecho, int total) {
        if ((hecho & 63) != 0)
            return;
        if (!dialogo_ && reloj_.elapsed() > 500 && padre_) {
            dialogo_ = new QProgressDialog(texto_, QString(), 0, total, padre_);
            dialogo_->setWindowModality(Qt::WindowModal);
            dialogo_->setMinimumDuration(0);
        }
        if (dialogo_)
            dialogo_->setValue(hecho);
    }

private:
    QElapsedTimer reloj_;
    QPointer<QWidget> padre_;
    QString texto_;
    QPointer<QProgressDialog> dialogo_;
};

} // namespace

// Marks a load under way; the end of a session asked for meanwhile comes after it.
class CargaEnCurso {
public:
    explicit CargaEnCurso(FrmHojaRuta& hoja) : hoja_(hoja) { ++hoja_.cargando_; }
    ~CargaEnCurso() {
        if (--hoja_.cargando_ == 0 && std::exchange(hoja_.terminaAlCargar_, false))
            QTimer::singleShot(0, &hoja_, &FrmHojaRuta::TerminaSesion);
    }
    CargaEnCurso(const CargaEnCurso&) = delete;
    CargaEnCurso& operator=(const CargaEnCurso&) = delete;

private:
    FrmHojaRuta& hoja_;
};

FrmHojaRuta::FrmHojaRuta(Aplicacion& app, QWidget* parent)
    : QMainWindow(parent), app_(app), ui_(std::make_unique<Ui::FrmHojaRuta>()), repo_(app),
      reglas_(repo_), parteProducto_(hoja::kParteProducto) {
    ui_->setupUi(this);
    for (int i = 0; i < kCampos; ++i)
        txtFields_ << findChild<QLineEdit*>(QStringLiteral("txtFields_%1").arg(i));

    Barvex1 = new ::Barvex1(this);
    Barvex1->setObjectName(QStringLiteral("Barvex1"));
    addToolBar(Qt::TopToolBarArea, Barvex1);
    connect(Barvex1, &::Barvex1::ButtonClick, this, &FrmHojaRuta::Barvex1_ButtonClick);
    // Exporting is this sheet's own command, beside the suite's buttons; Ctrl+E is
    // taken in the window's key filter, before a field reads it as end-of-line.
    QAction* exportar = Barvex1->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                           QStringLiteral("Exportar"));
    exportar->setObjectName(QStringLiteral("Exportar"));
    exportar->setToolTip(QStringLiteral("Exportar (Ctrl+E)"));
    connect(exportar, &QAction::triggered, this,
            [this] { Barvex1_ButtonClick(QStringLiteral("EXPORTAR")); });
    connect(ui_->cmdFinalizar, &QPushButton::clicked, this, &FrmHojaRuta::cmdFinalizar_Click);

    armaVista();
    enlazaCampos();
    conectaControles();

    QList<QWidget*> orden;
    for (int i : kOrdenFoco)
        orden << txtFields_[i];
    // The read-only totals are not stops: typing there would go nowhere.
    orden << txtFields_[10] << txtFields_[8] << txtFields_[9];
    formularios_.DeclaraOrden(orden);

    // Keys reach the toolbar before any control, and the fields' own events are
    // handled here: one filter for the whole window.
    qApp->installEventFilter(this);
}

FrmHojaRuta::~FrmHojaRuta() {
    qApp->removeEventFilter(this);
}

void FrmHojaRuta::armaVista() {
    QTableView* vista = ui_->MSFlexGrid2;
    vista->setModel(&reparto_.Lineas());
    vista->horizontalHeader()->hide();
    vista->verticalHeader()->hide();
    vista->verticalHeader()->setDefaultSectionSize(vista->fontMetrics().height() + 6);
    vista->setWordWrap(false);
    vista->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(vista->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { hoja::UbicaTitulos(*ui_); });
    editor_ = new EditorCeldas(vista, reparto_.Lineas(), [this](QLineEdit* caja) {
        CampoValida(caja);
        return !HayError_;
    });

    ui_->lblCuentaPag->setText(QStringLiteral("..."));
    hoja::PreparaDisposicion(*ui_);
    // The captions show where the product column's edge can be dragged.
    ui_->fraTitulos->setMouseTracking(true);
    for (QLabel* titulo : ui_->fraTitulos->findChildren<QLabel*>())
        titulo->setMouseTracking(true);
    // A page's layout waits while it is hidden: the summary grids get their widths
    // once it is shown at its present size.
    connect(ui_->SSTab1, &QTabWidget::currentChanged, this, [this] {
        ui_->SSTab1->currentWidget()->layout()->activate();
        hoja::AnchosResumenes(*ui_);
    });
}

// ---------------------------------------------------------------- binding

void FrmHojaRuta::enlazaCampos() {
    const QStringList& campos = Reparto::Campos();
    for (int i = 0; i < kCampos; ++i) {
        const int w = Formularios::IndiceControl(campos[i], txtFields_);
        auto* caja = static_cast<QLineEdit*>(txtFields_[w]);
        campoDe_[i] = caja;
        // What the clerk types is the model's at once; what the model changes is
        // shown at once.
        connect(caja, &QLineEdit::textChanged, this, [this, i](const QString& texto) {
            if (!enlazando_)
                reparto_.setCampo(Reparto::Campos()[i], texto);
        });
    }
    connect(&reparto_, &Reparto::campoCambiado, this, &FrmHojaRuta::muestraCampo);
    connect(&reparto_, &Reparto::campoCambiado, this, &FrmHojaRuta::actualizaTitulo);
    ModeloGrilla* lineas = &reparto_.Lineas();
    connect(lineas, &ModeloGrilla::dataChanged, this, &FrmHojaRuta::actualizaTitulo);
    connect(lineas, &ModeloGrilla::rowsInserted, this, &FrmHojaRuta::actualizaTitulo);
    connect(lineas, &ModeloGrilla::rowsRemoved, this, &FrmHojaRuta::actualizaTitulo);
    connect(lineas, &ModeloGrilla::modelReset, this, &FrmHojaRuta::actualizaTitulo);
}

void FrmHojaRuta::actualizaTitulo() {
    const QString titulo = QStringLiteral("Planilla HojaRuta");
    setWindowTitle(reparto_.HayCambios() ? titulo + QStringLiteral(" *") : titulo);
}

bool FrmHojaRuta::descartaCambios() {
    if (!reparto_.HayCambios())
        return true;
    return app_.dialogo.MsgBox(QStringLiteral("¿Descarta los cambios del reparto ") +
                                   reparto_.NumeroTexto().trimmed() + QStringLiteral("?"),
                               {plataforma::Botones::YesNo, plataforma::Icono::Question, 2},
                               QStringLiteral("Aviso al operador...")) ==
           plataforma::Respuesta::Yes;
}

void FrmHojaRuta::soloLectura(bool si) {
    // A finalized run is shown, never edited: its stored rows stay as they are.
    for (QWidget* w : txtFields_)
        if (w != Campo(QStringLiteral("Reparto")))
            static_cast<QLineEdit*>(w)->setReadOnly(si);
    editor_->setSoloLectura(si);
    ui_->cmdFinalizar->setEnabled(!si);
    Barvex1->setSoloLectura(si);
}

void FrmHojaRuta::muestraCampo(int i) {
    QLineEdit* caja = campoDe_[i];
    const QString texto = reparto_.Campo(Reparto::Campos()[i]);
    if (caja->text() == texto)
        return;
    enlazando_ = true;
    caja->setText(texto);
    enlazando_ = false;
    // The field holds what fits it; so does the model.
    if (caja->text() != texto)
        reparto_.setCampo(Reparto::Campos()[i], caja->text());
}

void FrmHojaRuta::muestraEtiquetas() {
    QLabel* etiquetas[] = {ui_->lblCuentaG1, ui_->lblCuentaG2, ui_->lblCuentaG3, ui_->lblCuentaG4,
                           ui_->lblCuentaPag};
    for (int i = 0; i < 5; ++i)
        etiquetas[i]->setText(reparto_.CuentaEtiqueta[i]);
    ui_->LblFinalizado->setText(reparto_.Finalizado.isEmpty()
                                    ? QString()
                                    : QStringLiteral("Finalizado: ") + reparto_.Finalizado);
}

bool FrmHojaRuta::Form_Load() {
    QString cadena;
    if (!app_.IniciaAplicacion(false, QString(), cadena, ado::adUseClient))
        return false;
    app_.consultas.gConnString = app_.db.gConnString;
    CargaEstilo(app_, *qApp);
    app_.util.PreparaVentana(this, 0);
    AsignaIcono(this, app_.sesion.gFlatToolbars);
    app_.util.Restablece(0);
    ui_->lblConexion->setText(tr("%1 - %2").arg(app_.db.gServidor, app_.db.gDBName));
    Inicializa();
    return true;
}

QLineEdit* FrmHojaRuta::Campo(const QString& dataField) const {
    const int i = Formularios::IndiceControl(dataField, txtFields_);
    return i < 0 ? nullptr : static_cast<QLineEdit*>(txtFields_[i]);
}

QLabel* FrmHojaRuta::Etiqueta(const QString& nombre) const {
    return findChild<QLabel*>(nombre);
}

QLineEdit* FrmHojaRuta::txtEditCC() const {
    return editor_->caja();
}

QTableView* FrmHojaRuta::VistaGrilla() const {
    return ui_->MSFlexGrid2;
}

void FrmHojaRuta::aviso(const QString& mensaje) {
    app_.dialogo.MsgBox(mensaje, {plataforma::Botones::OKOnly, plataforma::Icono::Information},
                        QStringLiteral("Aviso al operador..."));
}

// ------------------------------------------------------------------- states

void FrmHojaRuta::Inicializa() {
    const CargaEnCurso carga(*this);
    const QString kReparto = QStringLiteral("Reparto");
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] {
                reparto_.Existe = false;
                reparto_.LineaIncompleta = 0;
            },
            [&] {
                editor_->cierra();
                Formularios::LimpiaFormulario(this);
                reparto_.LimpiaCampos();
            },
            [&] {
                reparto_.setCampo(QStringLiteral("CC_Col1"),
                                  app_.cfg.Cfg(QStringLiteral("CC_Col1")).trimmed());
                reparto_.setCampo(QStringLiteral("CC_Col2"),
                                  app_.cfg.Cfg(QStringLiteral("CC_Col2")).trimmed());
            },
            // The default tax rate is read with the other settings, once per sheet.
            [&] {
                repo_.OlvidaPiva();
                repo_.Piva();
            },
            [&] { ui_->SSTab1->setCurrentWidget(ui_->tabCarga); },
            [&] {
                const QString proximo = repo_.ProximoReparto();
                reparto_.setCampo(kReparto, proximo);
                reparto_.ConfirmaNumero(proximo);
                Campo(kReparto)->setFocus();
            },
            [&] { ArmaGrilla(true); },
            [&] {
                TablaActiva = QStringLiteral("V_MV_REPARTO");
                plataforma::CorrePasos(
                    [&](const ado::Falla& f) {
                        return app_.util.InformaError(f, QStringLiteral("AbrirRecordset"));
                    },
                    {[&] {
                        app_.db.ConsultaEditable(
                            QStringLiteral("SELECT top 1 * FROM ") + TablaActiva, rsTabla);
                    }});
            },
            [&] { DetalleOn(false); },
            [&] { Campo(kReparto)->setFocus(); },
            [&] {
                for (int i = 0; i < 4; ++i)
                    reparto_.CuentaEtiqueta[i].clear();
                reparto_.Finalizado.clear();
                ui_->lblCuentaG1->clear();
                ui_->lblCuentaG2->clear();
                ui_->lblCuentaG3->clear();
                ui_->lblCuentaG4->clear();
                ui_->LblFinalizado->clear();
                ui_->TxtARecaudar->clear();
                ui_->TxtTotGastos->clear();
                // The means of payment's label belongs to the run too.
                reparto_.CuentaEtiqueta[4] = QStringLiteral("...");
                ui_->lblCuentaPag->setText(reparto_.CuentaEtiqueta[4]);
            },
            [&] { soloLectura(false); },
        });
    reparto_.MarcaComoCargado();
    actualizaTitulo();
}

void FrmHojaRuta::abreReparto() {
    const CargaEnCurso carga(*this);
    reparto_.Existe = true;
    reparto_.Finalizado.clear(); // the stamp of the run shown before
    ui_->LblFinalizado->clear();
    DetalleOn(true);
    MuestraReparto();
    buscaKmAnterior();
    soloLectura(!reparto_.Finalizado.isEmpty());
    reparto_.MarcaComoCargado();
    actualizaTitulo();
}

void FrmHojaRuta::DetalleOn(bool Off) {
    for (int i = 0; i < kCampos; ++i)
        if (i < 8 || i > 17)
            txtFields_[i]->setEnabled(Off);
    for (QLineEdit* caja : {ui_->TxtARecaudar, ui_->TxtTotGastos, ui_->TxtTotal})
        caja->setEnabled(Off);
    Campo(QStringLiteral("Reparto"))->setEnabled(true);
    Barvex1->setEstadoExtra1(false);
    Barvex1->setEstadoExtra2(false);
    Barvex1->setEnEdicion(Off);
    Barvex1->setRepartoExistente(reparto_.Existe);
    if (Off) {
        Barvex1->setModoNavegacion(false);
        Barvex1->setModoCarga(true);
    } else {
        Barvex1->setModoCarga(false);
        Barvex1->setModoNavegacion(true);
    }
    ui_->MSFlexGrid2->setEnabled(Off);
    if (Off)
        reparto_.setCampo(QStringLiteral("Fecha"),
                          QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    Campo(QStringLiteral("GastoMP"))->setEnabled(false);
}

void FrmHojaRuta::MuestraReparto() {
    Progreso progreso(this, QStringLiteral("Cargando el reparto..."));
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] {
                reparto_.Existe = true;
                reparto_.LineaIncompleta = 0;
                reparto_.HuellaCabecera.clear();
                reparto_.HuellaLineas.clear();
            },
            [&] {
                repo_.CargaCabecera(reparto_);
                // Amounts as the totals show them, before the
                // sheet is marked as loaded.
                for (const QString& c : Reparto::Campos())
                    if (esImporte(c) && Utilidades::EsNumerico(reparto_.Campo(c)))
                        reparto_.setCampo(c, comoImporte(reparto_.Importe(c)));
                muestraEtiquetas();
            },
            [&] {
                repo_.CargaDetalle(reparto_,
                                   [&](int hecho, int total) { progreso.avanza(hecho, total); });
            },
            [&] { CargaComprobantes(); },
        });
}

bool FrmHojaRuta::Datosvalidos() {
    HayError_ = false;
    for (QWidget* campo : txtFields_) {
        CampoValida(static_cast<QLineEdit*>(campo));
        if (HayError_)
            break;
    }
    return !HayError_;
}

// ------------------------------------------------------------- article lines

bool FrmHojaRuta::rubrosValidos(QString& lista) {
    const bool valido = repo_.RubrosValidos(lista);
    // The checked list, as the statements quote it, replaces what was typed.
    if (!lista.trimmed().isEmpty())
        reparto_.setCampo(QStringLiteral("CC_Col1"), lista);
    return valido;
}

void FrmHojaRuta::ArmaGrilla(bool limpiaPrimero) {
    QString filtro;
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] {
                if (limpiaPrimero)
                    reparto_.Lineas().limpia();
            },
            [&] { hoja::AnchosGrilla(*ui_, parteProducto_); },
            [&] {
                QString lista = reparto_.Campo(QStringLiteral("CC_Col1"));
                if (lista.trimmed().isEmpty())
                    return;
                if (!rubrosValidos(lista)) {
                    app_.dialogo.MsgBox(QStringLiteral("Error en los filtros por rubros, verifique "
                                                       "la configuracion de rubros para repartos"),
                                        {}, QString());
                    return;
                }
                filtro = QStringLiteral(" and Idrubro in(") + lista + u')';
            },
            [&] {
                Progreso progreso(this, QStringLiteral("Armando la grilla..."));
                repo_.ArmaGrilla(reparto_, filtro,
                                 [&](int hecho, int total) { progreso.avanza(hecho, total); });
            },
            [&] {
                if (limpiaPrimero)
                    Campo(QStringLiteral("Reparto"))->setFocus();
            },
        });
}

// -------------------------------------------------------------------- totals

void FrmHojaRuta::CalculaTotalesResumen() {
    const TotalesReparto t = reparto_.Totales();
    const std::pair<QLineEdit*, Currency> cajas[] = {
        {ui_->TxtARecaudar, t.aRecaudar}, {ui_->TxtTotGastos, t.gastos}, {ui_->TxtTotal, t.total}};
    for (const auto& [caja, importe] : cajas)
        caja->setText(comoImporte(importe));
}

QString FrmHojaRuta::comoImporte(Currency importe) const {
    return app_.FmtMoneda(TextoNumero(importe), -1, false);
}

void FrmHojaRuta::CargaComprobantes() {
    const QString N = reparto_.NumeroTexto();
    const auto importe = [this](const QVariant& v) {
        return v.isNull() ? QString() : comoImporte(Currency::DesdeDouble(v.toDouble()));
    };
    {
        ado::Recordset rs;
        repo_.Comprobantes(N, rs);
        auto* modelo = new ModeloRecordset(rs, this);
        modelo->setFormato(2, importe);
        ui_->MSHFlexGrid1->setModel(modelo);
        delete comprobantes_;
        comprobantes_ = modelo;
    }
    {
        ado::Recordset rs;
        repo_.Cobranzas(N, rs);
        auto* modelo = new ModeloRecordset(rs, this);
        modelo->setFormato(1, importe);
        ui_->MSHFlexGrid2->setModel(modelo);
        delete cobranzas_;
        cobranzas_ = modelo;
    }
    hoja::AnchosResumenes(*ui_);
}

// ---------------------------------------------------------------- validation

void FrmHojaRuta::CampoValida(QLineEdit* control) {
    if (!control)
        return;
    HayError_ = false;
    ReglasHoja::Resultado res;
    try {
        res = reglas_.Valida(control->property("DataField").toString(), control->text(), reparto_,
                             Grabando_);
        const bool cambiaDeReparto = res.efecto == ReglasHoja::Efecto::AbreReparto ||
                                     res.efecto == ReglasHoja::Efecto::NuevoReparto;
        if (cambiaDeReparto && !descartaCambios()) {
            // The sheet stays as it was, under the number it was opened with.
            reparto_.setCampo(QStringLiteral("Reparto"), reparto_.NumeroTexto());
            HayError_ = true;
            return;
        }
        HayError_ = !res.ok;
        aplica(res, control);
        // A save checks every field: the odometer was looked at when it was typed.
        if (res.ok && !Grabando_ && control == Campo(QStringLiteral("KmInicial")))
            buscaKmAnterior();
        if (!res.detiene)
            CalculaTotalesResumen();
    } catch (const std::exception& e) {
        // A failure ends the check through its message step, which then says what
        // failed rather than showing an empty box.
        aviso(res.mensaje.isEmpty() ? plataforma::FallaDe(e).Description : res.mensaje);
        return;
    }
    if (HayError_)
        aviso(res.mensaje);
}

void FrmHojaRuta::aplica(const ReglasHoja::Resultado& res, QLineEdit* control) {
    using Efecto = ReglasHoja::Efecto;
    // A confirmed number shows as it was read, so the clerk sees what is stored.
    if (res.ok && !res.normalizado.isEmpty() && control->text() != res.normalizado)
        control->setText(res.normalizado);
    if (res.ok && esImporte(control->property("DataField").toString()) &&
        Utilidades::EsNumerico(control->text()))
        control->setText(comoImporte(Utilidades::ANumero(control->text())));
    if (res.ok && control == Campo(QStringLiteral("Reparto")))
        reparto_.ConfirmaNumero(control->text());
    switch (res.efecto) {
    case Efecto::Ninguno:
        break;
    case Efecto::AbreReparto:
        abreReparto();
        break;
    case Efecto::NuevoReparto: {
        const CargaEnCurso carga(*this);
        reparto_.Existe = false;
        Inicializa();
        DetalleOn(true);
        reparto_.MarcaComoCargado();
        actualizaTitulo();
        break;
    }
    case Efecto::RecalculaPrecios:
        repo_.RecalculaPrecios(reparto_);
        break;
    case Efecto::DevolucionUd:
    case Efecto::DevolucionKg:
        repo_.CalculaDevolucion(reparto_, editor_->filaActual(),
                                res.efecto == Efecto::DevolucionUd);
        break;
    case Efecto::GrabaRubros:
        if (!res.valor.trimmed().isEmpty())
            reparto_.setCampo(QStringLiteral("CC_Col1"), res.valor);
        if (res.ok)
            repo_.GrabaRubros(reparto_.Campo(QStringLiteral("CC_Col1")).trimmed());
        break;
    case Efecto::EtiquetaCuenta:
        reparto_.CuentaEtiqueta[res.cuenta - 1] = res.valor;
        muestraEtiquetas();
        break;
    case Efecto::MedioDePago:
        reparto_.CuentaEtiqueta[4] = res.valor;
        muestraEtiquetas();
        if (res.ok)
            reparto_.setCampo(QStringLiteral("GastoMP"), comoImporte(reparto_.SumaGastos()));
        break;
    }
}

// ------------------------------------------------------------------ lookups

void FrmHojaRuta::Consultar() {
    auto* campo = static_cast<QLineEdit*>(txtFields_[IndiceActual_]);
    if (!consultas_)
        consultas_ =
            std::make_unique<ConsultasHoja>(app_, std::make_unique<VistaConsultaQt>(app_, this));
    const auto r = consultas_->Consultar(campo->property("DataField").toString(),
                                         campo->property("Tag").toString(), reparto_);
    if (r.confirma)
        teclaCampo(campo, Qt::Key_Return);
    else if (!r.campo.isEmpty())
        CampoValida(Campo(r.campo));
}

// ------------------------------------------------------------------- events

void FrmHojaRuta::changeEvent(QEvent* evento) {
    QMainWindow::changeEvent(evento);
    if (evento->type() != QEvent::ActivationChange || !isActiveWindow() || activando_ || activado_)
        return;
    // Only the first activation acts: later ones (a closed dialog, another window)
    // must not reload the run over what the clerk typed.
    activado_ = true;
    // A box shown meanwhile would activate the window again on closing.
    activando_ = true;
    const QString parametro = app_.sesion.gParametroAdicional;
    if (!parametro.isEmpty()) {
        QLineEdit* reparto = Campo(QStringLiteral("Reparto"));
        reparto_.setCampo(QStringLiteral("Reparto"), parametro);
        teclaCampo(reparto, Qt::Key_Return);
        Barvex1->setModoCarga(false);
        Barvex1->setModoNavegacion(true);
    }
    OfreceRecuperacion();
    activando_ = false;
}

void FrmHojaRuta::resizeEvent(QResizeEvent* evento) {
    QMainWindow::resizeEvent(evento);
    hoja::AnchosGrilla(*ui_, parteProducto_);
    hoja::AnchosResumenes(*ui_);
}

void FrmHojaRuta::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    hoja::AnchosGrilla(*ui_, parteProducto_);
    hoja::AnchosResumenes(*ui_);
}

bool FrmHojaRuta::eventFilter(QObject* objeto, QEvent* evento) {
    auto* w = qobject_cast<QWidget*>(objeto);
    if (!w || w->window() != this)
        return QMainWindow::eventFilter(objeto, evento);
    const QEvent::Type tipo = evento->type();

    if (arrastraProducto(w, evento))
        return true;
    if (tipo == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        // The toolbar sees every key first; a key it takes goes no further, and one it
        // leaves is offered again harmlessly as it climbs to the parents.
        if (Barvex1->ProcesaTecla(tecla->key(), tecla->modifiers()))
            return true;
        if (tecla->key() == Qt::Key_E && tecla->modifiers() == Qt::ControlModifier) {
            Barvex1_ButtonClick(QStringLiteral("EXPORTAR"));
            return true;
        }
        if ((tecla->key() == Qt::Key_PageDown || tecla->key() == Qt::Key_PageUp) &&
            tecla->modifiers() == Qt::ControlModifier) {
            cambiaDePestana();
            return true;
        }
        if (w == editor_->caja())
            return editor_->teclaEditor(tecla);
        if (w == ui_->MSFlexGrid2)
            return pasaPorLaGrilla(w, tecla->key()) || editor_->teclaGrilla(tecla);
        if (w == ui_->TxtARecaudar || w == ui_->TxtTotGastos) {
            if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
                formularios_.AvanzaFoco(Qt::Key_Tab, w);
                return true;
            }
            return false;
        }
        const int i = static_cast<int>(txtFields_.indexOf(w));
        if (i < 0)
            return false;
        auto* campo = static_cast<QLineEdit*>(w);
        if (tecla->matches(QKeySequence::Paste))
            return !pegadoCabe(campo);
        const int codigo = tecla->key();
        teclaCampo(campo, codigo);
        if (Formularios::EsTeclaAvance(codigo))
            return true; // a confirming key is never typed into the field
        const QString texto = tecla->text();
        if (texto.size() != 1 || texto.at(0).unicode() == 27)
            return false;
        QChar c = texto.at(0);
        Formularios::FiltraTecla(campo, c);
        if (c.isNull())
            return true;
        if (c != texto.at(0)) {
            campo->insert(QString(c));
            return true;
        }
        return false;
    }

    if (tipo == QEvent::FocusIn || tipo == QEvent::FocusOut) {
        const bool entra = tipo == QEvent::FocusIn;
        const int i = static_cast<int>(txtFields_.indexOf(w));
        if (i >= 0) {
            auto* campo = static_cast<QLineEdit*>(w);
            campo->setStyleSheet(entra ? kCian : QString());
            if (entra) {
                const QString texto = campo->text();
                QTimer::singleShot(0, campo, [campo, n = texto.trimmed().size()] {
                    campo->setSelection(0, static_cast<int>(n));
                });
                IndiceActual_ = i;
                Barvex1->setConsultaHabilitada(
                    !campo->property("Tag").toString().trimmed().isEmpty());
            }
        } else if (w == ui_->TxtARecaudar || w == ui_->TxtTotGastos) {
            auto* caja = static_cast<QLineEdit*>(w);
            caja->setStyleSheet(entra ? kCian : QString());
            if (entra)
                QTimer::singleShot(0, caja, [caja] { caja->selectAll(); });
        } else if (w == editor_->caja()) {
            editor_->focoEditor(entra, static_cast<QFocusEvent*>(evento));
        } else if (w == ui_->MSFlexGrid2) {
            editor_->focoGrilla(entra);
        }
        return false;
    }

    if (tipo == QEvent::MouseButtonDblClick && w == ui_->MSFlexGrid2->viewport()) {
        editor_->abre(32, QString());
        return true;
    }
    return false;
}

void FrmHojaRuta::teclaCampo(QLineEdit* campo, int tecla) {
    if (Formularios::EsTeclaAvance(tecla)) {
        CampoValida(campo);
        if (!HayError_ && !pasaPorLaGrilla(campo, tecla))
            formularios_.AvanzaFoco(tecla, campo);
    }
    Barvex1->setConsultaHabilitada(!campo->property("Tag").toString().trimmed().isEmpty());
    // Any key in the end odometer makes the first line's Carga Uds. the grid's
    // current cell.
    if (campo == Campo(QStringLiteral("kmfinal")))
        editor_->setCeldaActual(0, 1);
}

bool FrmHojaRuta::pegadoCabe(QLineEdit* campo) {
    // A paste that would be cut to the field's width, or lose characters the
    // field does not take, is refused whole instead of changed silently.
    const QString pegado = QGuiApplication::clipboard()->text();
    const qsizetype queda = campo->text().size() - campo->selectedText().size();
    bool pierde = false;
    for (QChar c : pegado) {
        QChar filtrado = c;
        Formularios::FiltraTecla(campo, filtrado);
        pierde = pierde || filtrado.isNull();
    }
    if (queda + pegado.size() <= campo->maxLength() && !pierde)
        return true;
    aviso(pierde ? QStringLiteral("El texto pegado tiene caracteres que este campo no admite: no "
                                  "se pegó.")
                 : QStringLiteral("El texto pegado no entra en el campo (máximo %1 caracteres): "
                                  "no se pegó.")
                       .arg(campo->maxLength()));
    return false;
}

bool FrmHojaRuta::pasaPorLaGrilla(QWidget* w, int tecla) {
    // The grid sits between the end odometer and the first expense account: Enter
    // or Tab from "Fin" goes into it, Tab leaves it for the account, Shift+Tab
    // comes back.
    QTableView* grilla = ui_->MSFlexGrid2;
    const bool adelante = tecla == Qt::Key_Return || tecla == Qt::Key_Enter || tecla == Qt::Key_Tab;
    if (!grilla->isEnabled() || reparto_.Lineas().filas() == 0)
        return false;
    QLineEdit* kmFinal = Campo(QStringLiteral("KmFinal"));
    QLineEdit* cuenta = Campo(QStringLiteral("CuentaG1"));
    if (w == kmFinal && adelante) {
        grilla->setFocus(Qt::TabFocusReason);
        editor_->setCeldaActual(0, 1);
        return true;
    }
    if (w == grilla && (tecla == Qt::Key_Tab || tecla == Qt::Key_Backtab)) {
        (tecla == Qt::Key_Tab ? cuenta : kmFinal)->setFocus();
        return true;
    }
    if (w == cuenta && tecla == Qt::Key_Backtab) {
        grilla->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    return false;
}
