#include "lookup/Lib_FrmCons3Tree.h"

#include "SentenciaConsulta.h"
#include "app/Aplicacion.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
#include "platform/Pasos.h"
#include "platform/Utilidades.h"
#include "ui_Lib_FrmCons3Tree.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace {

struct FilaArbol {
    QVariant codigo, descripcion, padre;
};

} // namespace

Lib_FrmCons3Tree::Lib_FrmCons3Tree(Aplicacion& app, QWidget* parent)
    : DialogoConsulta(app, parent), ui_(std::make_unique<Ui::Lib_FrmCons3Tree>()),
      modelo_(new ModeloArbol(this)) {
    ui_->setupUi(this);
    // Nothing moves when the window is resized: it is not resized.
    setFixedSize(size());
    ui_->TreeView1->setModel(modelo_);
    ui_->TreeView1->setRootIsDecorated(true);
    ui_->TreeView1->installEventFilter(this);
    ui_->Text1->installEventFilter(this);
    connect(ui_->Text1, &QLineEdit::textChanged, this, [this](const QString& texto) {
        const int nodo = modelo_->Busca(texto);
        if (nodo >= 0)
            eligeNodo(nodo);
    });
    connect(ui_->TreeView1, &QTreeView::doubleClicked, this, [this] { cmdAceptar_Click(); });
    connect(ui_->cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(ui_->cmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3Tree::reject);
    connect(ui_->cmdNuevaBusqueda, &QPushButton::clicked, this, [this] { Form_Load(); });
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

QTreeView* Lib_FrmCons3Tree::Arbol() const {
    return ui_->TreeView1;
}

QLineEdit* Lib_FrmCons3Tree::Caja() const {
    return ui_->Text1;
}

// ------------------------------------------------------------------ loading

void Lib_FrmCons3Tree::Form_Load() {
    cargado_ = true;
    Valores = QVariantList();
    modelo_->setCheckBoxes(CheckBoxes);
    if (consulta::Contiene(SQL, QStringLiteral("v_ta_familias")))
        ArmarTreeVFamilias();
    else
        ArmarTreeVAutomatico();
    modelo_->PreMarca(ValoresDefault);
    ui_->TreeView1->expand(modelo_->IndiceDe(ModeloArbol::kRaiz));
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias() {
    SQL = consulta::SentenciaFamilias();
    arma(QStringLiteral("ArmarTreeVFamilias"),
         [this](const QVariant& codigo, const QVariant& descripcion, const QVariant& padre) {
             modelo_->AgregaFamilia(codigo, descripcion, padre);
         });
}

void Lib_FrmCons3Tree::ArmarTreeVAutomatico() {
    arma(QStringLiteral("ArmarTreeVAutomatico"),
         [this](const QVariant& codigo, const QVariant& descripcion, const QVariant&) {
             modelo_->AgregaAutomatico(codigo, descripcion);
         });
}

void Lib_FrmCons3Tree::arma(
    const QString& rutina,
    const std::function<void(const QVariant&, const QVariant&, const QVariant&)>& agrega) {
    modelo_->Vacia();
    const plataforma::Manejador manejador = [this, rutina](const ado::Falla& f) {
        return plataforma::SaleSiNoHubo(
            app_.TratamientoErroresGlobal(f, plataforma::kEstiloError, rutina));
    };
    ado::Recordset rs;
    // The database object has reported a statement it cannot open: the root alone.
    // SQL keeps the form the synonyms left in it.
    if (app_.db.AbrirRecordset(SQL, rs) != DB_Dll::Apertura::Abierta)
        return;
    QList<FilaArbol> filas;
    const auto salio =
        plataforma::CorrePasos(manejador, {[&] {
                                               const int columnas = rs.FieldCount();
                                               for (; !rs.Eof(); rs.MoveNext()) {
                                                   FilaArbol f;
                                                   f.codigo = rs.Fields(0).Value();
                                                   if (columnas > 1)
                                                       f.descripcion = rs.Fields(1).Value();
                                                   if (columnas > 2)
                                                       f.padre = rs.Fields(2).Value();
                                                   filas << f;
                                               }
                                           },
                                           [&] { app_.db.CierraRecordset(rs); }});
    if (salio)
        return;
    // Each row its own step: ignoring a row that cannot hang goes on with the next.
    for (const FilaArbol& f : filas)
        if (plataforma::CorrePasos(manejador, {[&] { agrega(f.codigo, f.descripcion, f.padre); }}))
            return;
}

// ------------------------------------------------------------------ showing

int Lib_FrmCons3Tree::NodoElegido() const {
    const QModelIndexList elegidos = ui_->TreeView1->selectionModel()->selectedIndexes();
    return elegidos.isEmpty() ? -1 : modelo_->NodoDe(elegidos.first());
}

void Lib_FrmCons3Tree::eligeNodo(int nodo) {
    for (int p = modelo_->Padre(nodo); p >= 0; p = modelo_->Padre(p))
        ui_->TreeView1->expand(modelo_->IndiceDe(p));
    const QModelIndex i = modelo_->IndiceDe(nodo);
    ui_->TreeView1->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    ui_->TreeView1->scrollTo(i);
}

// ------------------------------------------------------------------ buttons

void Lib_FrmCons3Tree::cmdAceptar_Click() {
    // The value of the row whose `campo` holds the code, in the returned column.
    const ModeloArbol::BuscaValor busca = [this](const QString& tabla, const QString& campo,
                                                 const QString& codigo) -> std::optional<QString> {
        ado::Recordset rs;
        if (!app_.db.ExisteEnTabla(tabla, codigo, campo, &rs, 8, QString(), true))
            return std::nullopt;
        const QString valor =
            Utilidades::SinNulo(rs.Fields(CampoDevuelto.trimmed()).Value()).toString();
        app_.db.CierraRecordset(rs);
        return valor;
    };
    ModeloArbol::Eleccion e;
    const auto salio = plataforma::CorrePasos(
        [this](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(app_.TratamientoErroresGlobal(
                f, plataforma::kEstiloError, QStringLiteral("cmdAceptar_Click")));
        },
        {[&] { e = modelo_->Acepta(NodoElegido(), CampoDevuelto, busca); }});
    // Nothing selected, or the operator gave up: the dialog stays as it is.
    if (salio || !e.acepta)
        return;
    if (e.valorDevuelto)
        ValorDevuelto = *e.valorDevuelto;
    if (!Valores)
        Valores = QVariantList();
    *Valores += e.valores;
    accept();
}

void Lib_FrmCons3Tree::nuevaBusqueda() {
    SQL = consulta::NuevaBusquedaArbol(SQL, ui_->Text1->text());
    ui_->Text1->clear();
    Form_Load();
}

bool Lib_FrmCons3Tree::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() != QEvent::KeyPress)
        return QDialog::eventFilter(objeto, evento);
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (objeto == ui_->TreeView1) {
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            cmdAceptar_Click();
            return true;
        }
        return false;
    }
    if (objeto == ui_->Text1)
        return teclaEnCaja(tecla, ui_->TreeView1, [this] { nuevaBusqueda(); });
    return false;
}

// ---------------------------------------------------------- the controller's view

ArbolElegido VistaConsultaQt::MuestraArbol(const ArbolPedido& p) {
    Lib_FrmCons3Tree frm(app_, padre_);
    frm.TomaPedido(p);
    muestra(frm);
    return {frm.ValorDevuelto, frm.Valores};
}
