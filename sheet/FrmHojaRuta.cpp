#include "sheet/FrmHojaRuta.h"

#include "Interno.h"
#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "platform/gui/Barvex1.h"
#include "platform/gui/Grillas.h"
#include "sheet/ModeloGrilla.h"
#include "ui_FrmHojaRuta.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>

namespace {

constexpr int kCampos = 21;

// The order the operator goes through the fields, by their index.
constexpr int kOrdenFoco[] = {0, 1, 2, 3, 4, 5, 7, 6, 11, 14, 12, 15, 13, 16, 17, 18, 20, 19};

const QString kCian = QStringLiteral("QLineEdit { background-color: rgb(0, 255, 255); }");
const QString kEditor =
    QStringLiteral("QLineEdit { background-color: rgb(0, 0, 255); color: white; font-weight: bold;"
                   " border: none; }");

int aPixeles(double twips, double dpi) {
    return static_cast<int>(twips * dpi / 1440.0);
}

} // namespace

FrmHojaRuta::FrmHojaRuta(Aplicacion& app, QWidget* parent)
    : QMainWindow(parent), app_(app), ui_(std::make_unique<Ui::FrmHojaRuta>()) {
    ui_->setupUi(this);
    for (int i = 0; i < kCampos; ++i)
        txtFields_ << findChild<QLineEdit*>(QStringLiteral("txtFields_%1").arg(i));

    Barvex1 = new ::Barvex1(this);
    addToolBar(Qt::TopToolBarArea, Barvex1);
    connect(Barvex1, &::Barvex1::ButtonClick, this, &FrmHojaRuta::Barvex1_ButtonClick);
    connect(ui_->cmdFinalizar, &QPushButton::clicked, this, &FrmHojaRuta::cmdFinalizar_Click);

    armaVista();

    QList<QWidget*> orden;
    for (int i : kOrdenFoco)
        orden << txtFields_[i];
    orden << ui_->TxtARecaudar << txtFields_[10] << ui_->TxtTotGastos << ui_->TxtTotal
          << txtFields_[8] << txtFields_[9];
    formularios_.DeclaraOrden(orden);

    // Keys reach the toolbar before any control, and the fields' own events are
    // handled here: one filter for the whole window.
    qApp->installEventFilter(this);
}

FrmHojaRuta::~FrmHojaRuta() {
    qApp->removeEventFilter(this);
}

void FrmHojaRuta::armaVista() {
    grilla_ = new ModeloGrilla(this);
    QTableView* vista = ui_->MSFlexGrid2;
    vista->setModel(grilla_);
    vista->horizontalHeader()->hide();
    vista->verticalHeader()->hide();
    vista->verticalHeader()->setDefaultSectionSize(vista->fontMetrics().height() + 6);
    vista->setWordWrap(false);
    vista->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(vista->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex&, const QModelIndex&) {
                if (txtEditCC_->isVisible())
                    cierraEditor();
            });
    connect(vista->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { ubicaTitulos(); });

    txtEditCC_ = new QLineEdit(vista->viewport());
    txtEditCC_->setObjectName(QStringLiteral("txtEditCC"));
    txtEditCC_->setProperty("DataField", QStringLiteral("Editar"));
    txtEditCC_->setMaxLength(150);
    txtEditCC_->setFrame(false);
    txtEditCC_->hide();
    connect(txtEditCC_, &QLineEdit::textChanged, this, [this] {
        textPropiedades();
        grabaCelda();
    });

    ui_->lblCuentaPag->setText(QStringLiteral("..."));
}

bool FrmHojaRuta::Form_Load() {
    QString cadena;
    if (!app_.IniciaAplicacion(false, QString(), cadena, ado::adUseClient))
        return false;
    app_.consultas.gConnString = app_.db.gConnString;
    app_.util.PreparaVentana(this, 0);
    Barvex1->setStyleBar(app_.sesion.gFlatToolbars);
    app_.util.Restablece(0);
    ui_->lblConexion->setText(tr("%1 - %2").arg(app_.db.gServidor, app_.db.gDBName));
    Inicializa();
    return true;
}

// ------------------------------------------------------------------ fields

QLineEdit* FrmHojaRuta::Campo(const QString& dataField) const {
    const int i = Formularios::IndiceControl(dataField, txtFields_);
    return i < 0 ? nullptr : static_cast<QLineEdit*>(txtFields_[i]);
}

QString FrmHojaRuta::textoCampo(const QString& dataField) const {
    const QLineEdit* c = Campo(dataField);
    return c ? c->text() : QString();
}

void FrmHojaRuta::ponCampo(const QString& dataField, const QString& texto) {
    if (QLineEdit* c = Campo(dataField))
        c->setText(texto);
}

QLabel* FrmHojaRuta::Etiqueta(const QString& nombre) const {
    return findChild<QLabel*>(nombre);
}

QTableView* FrmHojaRuta::VistaGrilla() const {
    return ui_->MSFlexGrid2;
}

// ------------------------------------------------------------------- states

void FrmHojaRuta::Inicializa() {
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] { Existe_ = false; },
            [&] {
                cierraEditor();
                Formularios::LimpiaFormulario(this);
            },
            [&] {
                ponCampo(QStringLiteral("CC_Col1"),
                         app_.cfg.Cfg(QStringLiteral("CC_Col1")).trimmed());
                ponCampo(QStringLiteral("CC_Col2"),
                         app_.cfg.Cfg(QStringLiteral("CC_Col2")).trimmed());
            },
            // The default tax rate is read with the other settings, once per sheet.
            [&] { piva_ = app_.cfg.Cfg(QStringLiteral("PIVA")); },
            [&] { ui_->SSTab1->setCurrentWidget(ui_->tabCarga); },
            [&] {
                ponCampo(QStringLiteral("Reparto"), ProximoReparto());
                Campo(QStringLiteral("Reparto"))->setFocus();
            },
            [&] { ArmaGrilla(true); },
            [&] {
                TablaActiva = QStringLiteral("V_MV_REPARTO");
                plataforma::Respuesta respuesta = plataforma::Respuesta::OK;
                do {
                    respuesta = plataforma::Respuesta::OK;
                    try {
                        app_.db.AbrirRecordset(QStringLiteral("SELECT top 1 * FROM ") + TablaActiva,
                                               rsTabla, nullptr, ado::adOpenDynamic,
                                               ado::adLockOptimistic);
                    } catch (const ado::Falla& f) {
                        respuesta = app_.util.InformaError(f, QStringLiteral("AbrirRecordset"));
                    }
                } while (respuesta == plataforma::Respuesta::Retry);
            },
            [&] { DetalleOn(false); },
            [&] { Campo(QStringLiteral("Reparto"))->setFocus(); },
            [&] {
                for (const char* n :
                     {"lblCuentaG1", "lblCuentaG2", "lblCuentaG3", "lblCuentaG4", "LblFinalizado"})
                    Etiqueta(QString::fromLatin1(n))->clear();
                ui_->TxtARecaudar->clear();
                ui_->TxtTotGastos->clear();
            },
        });
}

QString FrmHojaRuta::ProximoReparto() {
    // Only the highest number matters, so only that row is read.
    ado::Recordset rs;
    const bool abierta =
        app_.db.AbrirRecordset(
            QStringLiteral("SELECT TOP 1 * FROM V_MV_REPARTO ORDER BY IDREPARTO DESC"), rs) ==
        DB_Dll::Apertura::Abierta;
    QString proximo = QStringLiteral("1");
    if (abierta && !rs.Eof())
        proximo = QString::number(rs.Fields(QStringLiteral("IdReparto")).Value().toLongLong() + 1);
    app_.db.CierraRecordset(rs);
    return proximo;
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
    Barvex1->setRepartoExistente(Existe_);
    if (Off) {
        Barvex1->setModoNavegacion(false);
        Barvex1->setModoCarga(true);
    } else {
        Barvex1->setModoCarga(false);
        Barvex1->setModoNavegacion(true);
    }
    ui_->MSFlexGrid2->setEnabled(Off);
    if (Off)
        ponCampo(QStringLiteral("Fecha"),
                 QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    Campo(QStringLiteral("GastoMP"))->setEnabled(false);
}

void FrmHojaRuta::MuestraReparto() {
    ado::Recordset rs;
    hoja::Progreso progreso(this, QStringLiteral("Cargando el reparto..."), 0);
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] { Existe_ = true; },
            [&] {
                app_.db.AbrirRecordset(
                    QStringLiteral("SELECT * FROM V_MV_REPARTO WHERE IDREPARTO = ") +
                        textoCampo(QStringLiteral("Reparto")),
                    rs);
            },
            [&] { Formularios::CargaControles(txtFields_, rs); },
            [&] {
                const QString fin =
                    Utilidades::SinNulo(rs.Fields(QStringLiteral("FINALIZADO")).Value()).toString();
                if (!fin.isEmpty())
                    ui_->LblFinalizado->setText(
                        QStringLiteral("Finalizado: ") +
                        hoja::TextoValor(rs.Fields(QStringLiteral("FINALIZADO")).Value()));
            },
            [&] {
                // The five account descriptions in one read.
                const std::pair<const char*, QLabel*> cuentas[] = {{"CUENTAG1", ui_->lblCuentaG1},
                                                                   {"CUENTAG2", ui_->lblCuentaG2},
                                                                   {"CUENTAG3", ui_->lblCuentaG3},
                                                                   {"CUENTAG4", ui_->lblCuentaG4},
                                                                   {"CuentaMP", ui_->lblCuentaPag}};
                QList<std::pair<QString, QLabel*>> pedidas;
                QStringList codigos;
                for (const auto& [columna, etiqueta] : cuentas) {
                    const QString codigo =
                        Utilidades::SinNulo(rs.Fields(QString::fromLatin1(columna)).Value())
                            .toString();
                    if (codigo.isEmpty())
                        continue;
                    pedidas.append({codigo.trimmed(), etiqueta});
                    codigos << u'\'' + plataforma::DuplicaComillas(codigo.trimmed()) + u'\'';
                }
                if (pedidas.isEmpty())
                    return;
                ado::Recordset rc;
                const bool abierta =
                    app_.db.AbrirRecordset(
                        QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS with(nolock) "
                                       "WHERE LTRIM(RTRIM(CODIGO)) IN (") +
                            codigos.join(u',') + u')',
                        rc) == DB_Dll::Apertura::Abierta;
                QHash<QString, QString> descripciones;
                if (abierta)
                    for (; !rc.Eof(); rc.MoveNext())
                        descripciones.insert(
                            Utilidades::SinNulo(rc.Fields(QStringLiteral("CODIGO")).Value())
                                .toString()
                                .trimmed()
                                .toUpper(),
                            Utilidades::SinNulo(rc.Fields(QStringLiteral("DESCRIPCION")).Value())
                                .toString());
                app_.db.CierraRecordset(rc);
                for (const auto& [codigo, etiqueta] : pedidas)
                    etiqueta->setText(descripciones.value(codigo.toUpper()));
            },
            [&] { app_.db.CierraRecordset(rs); },
            [&] { CargaDetalle(); },
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

// ----------------------------------------------------------------- commands

void FrmHojaRuta::Grabar() {
    Grabando_ = true;
    try {
        // A failed save keeps the sheet as typed, so the operator can try again.
        if (Datosvalidos() && (!Finalizando_ || AsientoBalanceado()) && GrabaReparto())
            Inicializa();
    } catch (...) {
        Grabando_ = false;
        throw;
    }
    Grabando_ = false;
}

void FrmHojaRuta::Cancelar() {
    Inicializa();
    Campo(QStringLiteral("Reparto"))->setFocus();
    Grabando_ = false;
}

void FrmHojaRuta::Barvex1_ButtonClick(const QString& clave) {
    const QString k = clave.trimmed().toUpper();
    try {
        if (k == QLatin1String("GRABAR")) {
            Grabar();
        } else if (k == QLatin1String("PLANILLA")) {
            Grillas::MuestraTabla(TablaActiva, app_.db.gCnn(), QStringLiteral("Repartos"), this);
        } else if (k == QLatin1String("CERRAR")) {
            close();
        } else if (k == QLatin1String("CANCELAR")) {
            Cancelar();
        }
        // NUEVO and BORRAR do nothing on this sheet; lookups and the report come
        // with their own routines.
    } catch (const ado::Falla& f) {
        app_.TratamientoErroresGlobal(f, plataforma::Estilo{},
                                      QStringLiteral("Barvex1_ButtonClick"));
    } catch (const std::exception& e) {
        app_.TratamientoErroresGlobal(plataforma::FallaDe(e), plataforma::Estilo{},
                                      QStringLiteral("Barvex1_ButtonClick"));
    }
}

void FrmHojaRuta::cmdFinalizar_Click() {
    const plataforma::Respuesta r = app_.dialogo.MsgBox(
        QStringLiteral(
            "Recuerde: Una vez finalizado el Reparto NO SE PODRA MODIFICAR!\r\n-Confirma...?"),
        plataforma::Estilo{plataforma::Botones::YesNo, plataforma::Icono::Question, 2},
        QStringLiteral("-Atención!"));
    if (r != plataforma::Respuesta::Yes)
        return;
    Finalizando_ = true;
    Barvex1_ButtonClick(QStringLiteral("GRABAR"));
    Finalizando_ = false;
}

// ------------------------------------------------------------------- events

void FrmHojaRuta::closeEvent(QCloseEvent* evento) {
    app_.db.CierraRecordset(rsTabla);
    app_.FinalizaAplicacion();
    evento->accept();
}

void FrmHojaRuta::changeEvent(QEvent* evento) {
    QMainWindow::changeEvent(evento);
    if (evento->type() != QEvent::ActivationChange || !isActiveWindow() || activando_)
        return;
    const QString parametro = app_.sesion.gParametroAdicional;
    if (parametro.isEmpty())
        return;
    // A box shown while the run opens would activate the window again on closing.
    activando_ = true;
    QLineEdit* reparto = Campo(QStringLiteral("Reparto"));
    reparto->setText(parametro);
    teclaCampo(reparto, Qt::Key_Return, Qt::NoModifier);
    Barvex1->setModoCarga(false);
    Barvex1->setModoNavegacion(true);
    activando_ = false;
}

void FrmHojaRuta::resizeEvent(QResizeEvent* evento) {
    QMainWindow::resizeEvent(evento);
    anchosGrilla();
}

void FrmHojaRuta::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    anchosGrilla();
}

void FrmHojaRuta::anchosGrilla() {
    QTableView* vista = ui_->MSFlexGrid2;
    const double dpi = vista->logicalDpiX() > 0 ? vista->logicalDpiX() : 96;
    const double ancho = vista->width() * 1440.0 / dpi;
    const int cantidades = static_cast<int>((ancho - 2460 - 350) / 8);
    vista->setColumnWidth(0, aPixeles(2460, dpi));
    for (int c = 1; c <= 8; ++c)
        vista->setColumnWidth(c, aPixeles(std::max(cantidades, 0), dpi));
    for (int c = 9; c < ModeloGrilla::kColumnas; ++c)
        vista->setColumnHidden(c, true);
    ubicaTitulos();
}

void FrmHojaRuta::ubicaTitulos() {
    QTableView* vista = ui_->MSFlexGrid2;
    const int base = vista->geometry().x() - ui_->fraTitulos->x() + vista->viewport()->x();
    const int alto = ui_->fraTitulos->height() / 3;
    const auto pon = [&](QLabel* l, int desde, int hasta, int fila, int filas = 1) {
        const int x = base + vista->columnViewportPosition(desde);
        const int fin = base + vista->columnViewportPosition(hasta) + vista->columnWidth(hasta);
        l->setGeometry(x, fila * alto, std::max(fin - x, 0), alto * filas);
    };
    pon(ui_->lblTitCantidad, 0, 4, 0);
    pon(ui_->lblTitDevolucion, 5, 6, 0);
    pon(ui_->lblTitTotal, 7, 8, 0);
    pon(ui_->lblTitProducto, 0, 0, 1, 2);
    pon(ui_->lblTitCarga, 1, 2, 1);
    pon(ui_->lblTitRecarga, 3, 4, 1);
    pon(ui_->lblTitDevSob, 5, 6, 1);
    pon(ui_->lblTitVtaTotal, 7, 8, 1);
    QLabel* uds[] = {ui_->lblTitUds1, ui_->lblTitUds2, ui_->lblTitUds3, ui_->lblTitUds4};
    QLabel* kgs[] = {ui_->lblTitKgs1, ui_->lblTitKgs2, ui_->lblTitKgs3, ui_->lblTitKgs4};
    for (int g = 0; g < 4; ++g) {
        pon(uds[g], 1 + 2 * g, 1 + 2 * g, 2);
        pon(kgs[g], 2 + 2 * g, 2 + 2 * g, 2);
    }
}

bool FrmHojaRuta::eventFilter(QObject* objeto, QEvent* evento) {
    auto* w = qobject_cast<QWidget*>(objeto);
    if (!w || w->window() != this)
        return QMainWindow::eventFilter(objeto, evento);
    const QEvent::Type tipo = evento->type();

    if (tipo == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        // The toolbar sees every key first; a key it takes goes no further, and one it
        // leaves is offered again harmlessly as it climbs to the parents.
        if (Barvex1->ProcesaTecla(tecla->key(), tecla->modifiers()))
            return true;
        if (w == txtEditCC_)
            return teclaEditor(tecla);
        if (w == ui_->MSFlexGrid2)
            return teclaGrilla(tecla);
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
        const int codigo = tecla->key();
        teclaCampo(campo, codigo, tecla->modifiers());
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
        } else if (w == txtEditCC_) {
            if (entra) {
                textPropiedades();
                txtEditCC_->setStyleSheet(kEditor);
            } else {
                const auto razon = static_cast<QFocusEvent*>(evento)->reason();
                if (!editorValidando_ && txtEditCC_->isVisible() &&
                    razon != Qt::ActiveWindowFocusReason && razon != Qt::PopupFocusReason) {
                    editorValidando_ = true;
                    CampoValida(txtEditCC_);
                    editorValidando_ = false;
                    if (HayError_)
                        QTimer::singleShot(0, txtEditCC_, [this] { txtEditCC_->setFocus(); });
                }
            }
        } else if (w == ui_->MSFlexGrid2 && entra && txtEditCC_->isVisible()) {
            cierraEditor();
        }
        return false;
    }

    if (tipo == QEvent::MouseButtonDblClick && w == ui_->MSFlexGrid2->viewport()) {
        abreEditor(32, QString());
        return true;
    }
    return false;
}

void FrmHojaRuta::teclaCampo(QLineEdit* campo, int tecla, Qt::KeyboardModifiers) {
    if (Formularios::EsTeclaAvance(tecla)) {
        CampoValida(campo);
        if (!HayError_)
            formularios_.AvanzaFoco(tecla, campo);
    }
    Barvex1->setConsultaHabilitada(!campo->property("Tag").toString().trimmed().isEmpty());
    // The end odometer hands over to the grid's first quantity.
    if (campo == Campo(QStringLiteral("kmfinal")))
        setCeldaActual(0, 1);
}

// -------------------------------------------------------------- cell editing

int FrmHojaRuta::filaActual() const {
    const QModelIndex i = ui_->MSFlexGrid2->currentIndex();
    return i.isValid() ? i.row() : 0;
}

int FrmHojaRuta::columnaActual() const {
    const QModelIndex i = ui_->MSFlexGrid2->currentIndex();
    return i.isValid() ? i.column() : 1;
}

void FrmHojaRuta::setCeldaActual(int fila, int columna) {
    if (fila < 0 || fila >= grilla_->filas())
        return;
    ui_->MSFlexGrid2->setCurrentIndex(grilla_->index(fila, columna));
}

bool FrmHojaRuta::teclaGrilla(QKeyEvent* ev) {
    const QString texto = ev->text();
    if (texto.size() != 1 || ev->key() == Qt::Key_Tab || ev->key() == Qt::Key_Backtab)
        return false;
    const int codigo = texto.at(0).unicode();
    if (codigo == 27)
        return true;
    abreEditor(codigo, texto);
    return true;
}

void FrmHojaRuta::abreEditor(int codigo, const QString& caracter) {
    QTableView* vista = ui_->MSFlexGrid2;
    const int col = columnaActual();
    if (col < 1 || col > 4 || grilla_->filas() == 0)
        return;
    const int fila = filaActual();
    if (!vista->currentIndex().isValid())
        setCeldaActual(fila, col);
    txtEditCC_->setProperty("fila", fila);
    txtEditCC_->setProperty("columna", col);
    txtEditCC_->setGeometry(vista->visualRect(grilla_->index(fila, col)));
    txtEditCC_->show();
    textPropiedades();
    // Shown first: the typed character reaches the cell at once, as every change does.
    if (codigo > 32)
        txtEditCC_->setText(caracter);
    else
        txtEditCC_->setText(grilla_->texto(fila, col));
    txtEditCC_->end(false);
    txtEditCC_->setFocus();
}

void FrmHojaRuta::cierraEditor() {
    if (!txtEditCC_ || !txtEditCC_->isVisible())
        return;
    const int fila = txtEditCC_->property("fila").toInt();
    const int col = txtEditCC_->property("columna").toInt();
    grilla_->setTexto(fila, col, txtEditCC_->text());
    editorValidando_ = true; // hiding moves the focus; the cell was already checked
    txtEditCC_->hide();
    editorValidando_ = false;
}

void FrmHojaRuta::textPropiedades() {
    static const char* const kCampoDe[] = {nullptr,
                                           "Cargas_CarCantUD",
                                           "Cargas_CarCant",
                                           "Cargas_ReCarCantUD",
                                           "Cargas_ReCarCant",
                                           "Cargas_DevCantUD",
                                           "Cargas_DevCant"};
    const int col =
        txtEditCC_->isVisible() ? txtEditCC_->property("columna").toInt() : columnaActual();
    if (col >= 1 && col <= 6)
        txtEditCC_->setProperty("DataField", QString::fromLatin1(kCampoDe[col]));
}

void FrmHojaRuta::grabaCelda() {
    static const QStringList kCampos = {
        QStringLiteral("Cargas_CarCantUD"),   QStringLiteral("Cargas_CarCant"),
        QStringLiteral("Cargas_ReCarCantUD"), QStringLiteral("Cargas_ReCarCant"),
        QStringLiteral("Cargas_DevCantUD"),   QStringLiteral("Cargas_DevCant")};
    const int i = static_cast<int>(kCampos.indexOf(txtEditCC_->property("DataField").toString()));
    if (i < 0 || !txtEditCC_->isVisible())
        return;
    grilla_->setTexto(txtEditCC_->property("fila").toInt(), i + 1, txtEditCC_->text());
}

bool FrmHojaRuta::teclaEditor(QKeyEvent* ev) {
    const int tecla = ev->key();
    if (!Formularios::EsTeclaAvance(tecla))
        return false;
    editorValidando_ = true;
    CampoValida(txtEditCC_);
    if (!HayError_) {
        editKeyCode(tecla);
        const QSignalBlocker bloqueo(txtEditCC_);
        txtEditCC_->setText(grilla_->texto(filaActual(), columnaActual()));
    } else {
        txtEditCC_->setFocus();
    }
    editorValidando_ = false;
    return true;
}

void FrmHojaRuta::editKeyCode(int tecla) {
    QTableView* vista = ui_->MSFlexGrid2;
    const int ultima = grilla_->filas() - 1;
    // Typed text reaches the cell before the current cell moves.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const int fila = filaActual();
    const int col = columnaActual();
    switch (tecla) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case 13:
        vista->setFocus();
        cierraEditor();
        if (col != 4)
            setCeldaActual(fila, col + 1);
        else if (fila != ultima)
            setCeldaActual(fila + 1, 1);
        break;
    case Qt::Key_Escape:
    case 27:
        cierraEditor();
        vista->setFocus();
        break;
    case Qt::Key_Up:
        vista->setFocus();
        cierraEditor();
        if (fila > 0)
            setCeldaActual(fila - 1, col);
        break;
    case Qt::Key_Down:
        vista->setFocus();
        cierraEditor();
        if (fila != ultima)
            setCeldaActual(fila + 1, col);
        break;
    default:
        break;
    }
    // The current cell stays in sight: one row down when it went below the bottom.
    const QRect celda = vista->visualRect(vista->currentIndex());
    if (celda.bottom() > vista->viewport()->height())
        vista->verticalScrollBar()->setValue(vista->verticalScrollBar()->value() + 1);
}
