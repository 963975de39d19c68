#include "access/frmAcceso.h"

#include "app/Aplicacion.h"
#include "app/gui/Apariencia.h"
#include "platform/Pasos.h"
#include "ui_frmAcceso.h"

#include <QKeyEvent>
#include <QScreen>

frmAcceso::frmAcceso(Aplicacion& app, ModeloAcceso& modelo, QWidget* parent)
    : QDialog(parent), app_(app), modelo_(modelo), registro_(app),
      ui_(std::make_unique<Ui::frmAcceso>()) {
    ui_->setupUi(this);
    setWindowIcon(IconoPrograma());
    ui_->lstBases->installEventFilter(this);
    connect(ui_->lstBases, &QListWidget::itemClicked, this, [this] { AsignarDatosBase(); });
    connect(ui_->lstBases, &QListWidget::itemDoubleClicked, this, [this] {
        AsignarDatosBase();
        accept();
    });
    connect(ui_->CboPlataformaDB, &QComboBox::activated, this, [this] {
        LeeCampos();
        habilitaPorPlataforma();
    });
    connect(ui_->CmdArchivo, &QToolButton::clicked, this, &frmAcceso::eligeArchivo);
    connect(ui_->bcAceptar, &QPushButton::clicked, this, &frmAcceso::accept);
    connect(ui_->bcCancelar, &QPushButton::clicked, this, &frmAcceso::reject);
    connect(ui_->CmdRegistrar, &QPushButton::clicked, this, &frmAcceso::registrar);
    connect(ui_->CmdLineaComando, &QPushButton::clicked, this,
            [this] { registro_.CreaAccesoDirecto(); });
    llenarlist();
    muestraCampos();
}

frmAcceso::~frmAcceso() = default;

void frmAcceso::showEvent(QShowEvent* evento) {
    if (const QScreen* pantalla = screen())
        move(pantalla->availableGeometry().center() - rect().center());
    QDialog::showEvent(evento);
}

// Any key in the list takes the entry it leaves selected: on its release, once the
// list has moved.
bool frmAcceso::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == ui_->lstBases && evento->type() == QEvent::KeyRelease)
        AsignarDatosBase();
    return QDialog::eventFilter(objeto, evento);
}

void frmAcceso::llenarlist() {
    plataforma::CorrePasos(
        [this](const ado::Falla& f) {
            const auto r = app_.TratamientoErroresGlobal(f, plataforma::kEstiloError,
                                                         QStringLiteral("FormLoad"));
            return plataforma::SaleSiNoHubo(r);
        },
        {[&] { modelo_.llenarlist(); },
         [&] {
             ui_->lstBases->clear();
             ui_->lstBases->addItems(modelo_.lista);
             if (ui_->lstBases->count() > 0)
                 ui_->lstBases->setCurrentRow(0);
         }});
}

void frmAcceso::AsignarDatosBase() {
    const QListWidgetItem* item = ui_->lstBases->currentItem();
    if (!item)
        return;
    try {
        modelo_.AsignarDatosBase(item->text());
    } catch (const ado::Falla& f) {
        app_.util.InformaError(f, QStringLiteral("DatosBase"));
        return;
    }
    muestraCampos();
}

void frmAcceso::muestraCampos() {
    const CamposAcceso& c = modelo_.campos;
    ui_->TxtUserId->setText(c.usuario);
    ui_->TxtUserPassword->setText(c.clave);
    ui_->TxtDbName->setText(c.base);
    ui_->TxtServidor->setText(c.servidor);
    ui_->TxtPuerto->setText(c.puerto);
    ui_->CboPlataformaDB->setCurrentIndex(static_cast<int>(c.plataforma));
    habilitaPorPlataforma();
}

void frmAcceso::LeeCampos() {
    CamposAcceso& c = modelo_.campos;
    c.usuario = ui_->TxtUserId->text();
    c.clave = ui_->TxtUserPassword->text();
    c.base = ui_->TxtDbName->text();
    c.servidor = ui_->TxtServidor->text();
    c.puerto = ui_->TxtPuerto->text();
    c.plataforma = static_cast<PlataformaDB>(ui_->CboPlataformaDB->currentIndex());
}

// A local file has no server, login or port; Oracle reaches its data source by
// name, without a port.
void frmAcceso::habilitaPorPlataforma() {
    const PlataformaDB p = modelo_.campos.plataforma;
    const bool local = p == PlataformaDB::Sqlite;
    ui_->TxtUserId->setEnabled(!local);
    ui_->TxtUserPassword->setEnabled(!local);
    ui_->TxtServidor->setEnabled(!local);
    ui_->TxtPuerto->setEnabled(p == PlataformaDB::SqlServer);
    ui_->CmdArchivo->setVisible(local);
    ui_->TxtDbName->setPlaceholderText(local ? QStringLiteral("ingrese la ruta del archivo")
                                             : QStringLiteral("ingrese el nombre de la base de "
                                                              "datos"));
}

void frmAcceso::eligeArchivo() {
    const auto ruta = app_.dialogo.EligeArchivo(QStringLiteral("Buscar Base de Datos"),
                                                QStringLiteral("Base de datos local|*.db;*.sqlite"
                                                               "|Todos los archivos|*.*"));
    if (ruta)
        ui_->TxtDbName->setText(*ruta);
}

void frmAcceso::registrar() {
    LeeCampos();
    registro_.Registrar(modelo_);
    // The fields come back trimmed and the list refilled.
    const int fila = ui_->lstBases->currentRow();
    ui_->lstBases->clear();
    ui_->lstBases->addItems(modelo_.lista);
    if (ui_->lstBases->count() > 0)
        ui_->lstBases->setCurrentRow(qBound(0, fila, ui_->lstBases->count() - 1));
    muestraCampos();
}

void frmAcceso::accept() {
    LeeCampos();
    Aceptar = true;
    QDialog::accept();
}

void frmAcceso::reject() {
    Aceptar = false;
    QDialog::reject();
}
