#include "lookup/Lib_FrmCons3.h"

#include "ArchivosConsulta.h"
#include "SentenciaConsulta.h"
#include "app/Aplicacion.h"
#include "app/Lanzador.h"
#include "lookup/ModeloConsulta.h"
#include "platform/Pasos.h"
#include "platform/Utilidades.h"
#include "ui_Lib_FrmCons3.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QTreeView>

namespace {

const QString kCian = QStringLiteral("QLineEdit { background-color: rgb(0, 255, 255); }");
const QString kBlanco = QStringLiteral("QLineEdit { background-color: rgb(255, 255, 255); }");

// The first word after "from": the table the list comes from.
QString tablaDe(const QString& sql) {
    const qsizetype desde = sql.indexOf(QLatin1String("from"), 0, Qt::CaseInsensitive);
    if (desde < 0)
        return {};
    qsizetype hasta = sql.indexOf(u' ', desde + 5);
    if (hasta < 0)
        hasta = sql.size();
    return sql.mid(desde + 4, hasta - desde - 4).trimmed();
}

} // namespace

Lib_FrmCons3::Lib_FrmCons3(Aplicacion& app, QWidget* parent)
    : DialogoConsulta(app, parent), ui_(std::make_unique<Ui::Lib_FrmCons3>()),
      modelo_(new ModeloConsulta(this)) {
    ui_->setupUi(this);
    QTreeView* lista = ui_->ListView1;
    lista->setModel(modelo_);
    lista->header()->setStretchLastSection(false);
    lista->header()->setSectionsMovable(false);
    cajas_ << ui_->Text1_0;
    ui_->Text1_0->installEventFilter(this);
    ui_->Text1_0->setStyleSheet(kBlanco);
    connect(ui_->Text1_0, &QLineEdit::textChanged, this, [this] {
        const int fila = Busqueda(0, ui_->Text1_0->text().trimmed());
        if (fila > 0)
            eligeFila(fila - 1);
    });
    lista->installEventFilter(this);
    ui_->Marco->viewport()->installEventFilter(this);
    connect(lista, &QTreeView::doubleClicked, this, [this] { cmdAceptar_Click(); });
    connect(lista->header(), &QHeaderView::sectionResized, this, [this] { ubicaCajas(); });
    connect(ui_->cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(ui_->cmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3::reject);
    connect(ui_->cmdMarcar, &QPushButton::clicked, this, [this] { cmdMarcar_Click(); });
    connect(ui_->cmdNuevaBusqueda, &QPushButton::clicked, this,
            [this] { cmdNuevaBusqueda_Click(); });
    connect(ui_->cmdNuevo, &QPushButton::clicked, this, [this] { cmdNuevo_Click(); });
    lista->header()->setSectionsClickable(true);
    connect(lista->header(), &QHeaderView::sectionClicked, this,
            [this](int columna) { ordenaPor(columna); });
    auto* f12 = new QShortcut(QKeySequence(Qt::Key_F12), this);
    f12->setContext(Qt::WindowShortcut);
    connect(f12, &QShortcut::activated, this, [this] { informaFaltante(); });
}

Lib_FrmCons3::~Lib_FrmCons3() = default;

QTreeView* Lib_FrmCons3::Lista() const {
    return ui_->ListView1;
}

QLineEdit* Lib_FrmCons3::cajaInicial() const {
    return ui_->Text1_0;
}

QLineEdit* Lib_FrmCons3::Caja(int i) const {
    return i >= 0 && i < modelo_->columnCount() && i < cajas_.size() ? cajas_[i] : nullptr;
}

int Lib_FrmCons3::pixeles(double twips) const {
    return static_cast<int>(twips * logicalDpiX() / 1440.0 + 0.5);
}

// ------------------------------------------------------------------ loading

void Lib_FrmCons3::Form_Load() {
    cargado_ = true;
    EsArticulos_ = consulta::Contiene(SQL, QStringLiteral("articulos"));
    Valores = QVariantList();
    Cantidades = QVariantList();
    modelo_->Vacia();
    if (SQL.trimmed().isEmpty()) {
        app_.util.PreparaVentana(this, 0);
        return;
    }
    SQL += u' ';
    TablaConsulta_ = tablaDe(SQL);
    if (SQLOriginal.isEmpty())
        SQLOriginal = SQL;
    SQLBase = SQL;

    const ModeloConsulta::Lectura l = lectura();
    ado::Recordset rs;
    // The database object reports a statement it cannot open; nothing is listed then.
    if (app_.db.AbrirRecordset(QString(SQL), rs) != DB_Dll::Apertura::Abierta) {
        app_.util.PreparaVentana(this, 0);
        return;
    }
    plataforma::CorrePasos(
        [this](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(app_.TratamientoErroresGlobal(
                f, plataforma::kEstiloError, QStringLiteral("FORM_LOAD")));
        },
        {
            [&] {
                try {
                    Encolumnar(rs);
                } catch (const ado::Falla& f) {
                    app_.dialogo.MsgBox(f.Description, {}, QString());
                }
            },
            [&] { modelo_->Leer(rs, l); },
            [&] {
                if (OrdenarPorLwv)
                    modelo_->OrdenaPorValor(0);
                if (modelo_->rowCount() > 0)
                    eligeFila(0);
            },
            [&] {
                if (!FiltroInicial.trimmed().isEmpty())
                    ui_->Text1_0->setText(FiltroInicial);
            },
            [&] { app_.db.CierraRecordset(rs); },
            [&] { CargarAnchos(); },
            [&] { CalcularAncho(); },
            [&] { app_.util.PreparaVentana(this, 0); },
        });
}

ModeloConsulta::Lectura Lib_FrmCons3::lectura() {
    ModeloConsulta::Lectura l;
    l.checkBoxes = CheckBoxes;
    l.campoDevuelto = CampoDevuelto;
    l.valoresDefault = ValoresDefault;
    l.deArticulos = consulta::Contiene(SQL, QStringLiteral("V_MA_ARTICULOS")) ||
                    consulta::Contiene(SQL, QStringLiteral("STK_MA_ARTICULOS")) ||
                    consulta::Contiene(SQL, QStringLiteral("VT_MA_ARTICULOS"));
    l.esArticulos = EsArticulos_;
    l.muestraStock = MuestraStock.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
    l.niveles[0] = StkNivel1;
    l.niveles[1] = StkNivel2;
    l.niveles[2] = StkNivel3;
    l.niveles[3] = StkNivel4;
    l.nombreClase = [this](int n) { return app_.cfg.Cfg(QStringLiteral("NOM_PCLASE%1").arg(n)); };
    return l;
}

void Lib_FrmCons3::Encolumnar(ado::Recordset& rs) {
    modelo_->Encolumnar(rs, lectura());
    const QFontMetrics fm(ui_->ListView1->font());
    const auto& columnas = modelo_->Columnas();
    QWidget* anterior = nullptr;
    for (int g = 0; g < columnas.size(); ++g) {
        QLineEdit* caja = g < cajas_.size() ? cajas_[g] : nuevaCaja(g);
        caja->setProperty("Columna", columnas[g].nombre);
        caja->setVisible(true);
        if (anterior)
            setTabOrder(anterior, caja);
        anterior = caja;
        ui_->ListView1->header()->resizeSection(
            g, fm.horizontalAdvance(QString(columnas[g].caracteres, u'X')));
    }
    for (qsizetype g = columnas.size(); g < cajas_.size(); ++g)
        cajas_[g]->setVisible(false);
    if (anterior)
        setTabOrder(anterior, ui_->ListView1);
}

QLineEdit* Lib_FrmCons3::nuevaCaja(int i) {
    auto* caja = new QLineEdit(ui_->Panel);
    caja->setObjectName(QStringLiteral("Text1_%1").arg(i));
    caja->setToolTip(ui_->Text1_0->toolTip());
    caja->setFont(ui_->Text1_0->font());
    caja->setStyleSheet(kBlanco);
    caja->installEventFilter(this);
    connect(caja, &QLineEdit::textChanged, this, [this, caja, i] {
        const int fila = Busqueda(i, caja->text().trimmed());
        if (fila > 0)
            eligeFila(fila - 1);
    });
    cajas_ << caja;
    return caja;
}

void Lib_FrmCons3::CargarAnchos() {
    QString tabla = TablaConsulta_;
    if (tabla.compare(QLatin1String("Stk_ma_articulos"), Qt::CaseInsensitive) == 0)
        tabla = QStringLiteral("VT_MA_ARTICULOS");
    const auto anchos = consulta::AnchosGuardados(
        Utilidades::RutaConBarra(app_.carpetaPuesto) + QStringLiteral("CONSULTASLEN.VXF"), tabla);
    if (!anchos)
        return;
    QHeaderView* h = ui_->ListView1->header();
    for (int i = 0; i < std::min<int>(anchos->size(), modelo_->columnCount()); ++i)
        if (const auto ancho = anchos->at(i))
            h->resizeSection(i, pixeles(*ancho));
}

void Lib_FrmCons3::CalcularAncho() {
    QHeaderView* h = ui_->ListView1->header();
    int W = 0;
    for (int i = 0; i < modelo_->columnCount(); ++i)
        W += h->sectionSize(i);
    const int lista = W + pixeles(360);
    anchoPanel_ = lista;
    ajustaPanel();
    const QScreen* pantalla = screen();
    const int anchoPantalla = pantalla ? pantalla->geometry().width() : 1024;
    const int ancho =
        lista + pixeles(360) >= anchoPantalla ? anchoPantalla - pixeles(480) : lista + pixeles(280);
    resize(ancho, height());
}

void Lib_FrmCons3::PreparaListaSimple(const ListaSimple& lista) {
    Form_Load(); // no statement: an empty list
    setWindowTitle(lista.Titulo);
    ui_->cmdNuevaBusqueda->hide();
    OrdenarPorLwv = true;
    SQL.clear();
    gConnString.clear();
    CampoDevuelto = lista.Titulo;
    CheckBoxes = lista.CheckBoxes;
    modelo_->Textos(lista.Titulo, lista.filas, lista.marcas, lista.CheckBoxes);
    // As wide as the longest text, 120 twips a character, up to the screen's width.
    const QScreen* pantalla = screen();
    const int anchoPantalla = pantalla ? pantalla->geometry().width() : 1024;
    const int ancho = std::min(pixeles(lista.caracteres * 120.0), anchoPantalla);
    resize(ancho, height());
    // The column, and the box over it, as wide as the list.
    ui_->ListView1->header()->setStretchLastSection(true);
    anchoPanel_ = 0;
    ajustaPanel();
    if (modelo_->rowCount() > 0)
        eligeFila(0);
}

void Lib_FrmCons3::ajustaPanel() {
    QWidget* vista = ui_->Marco->viewport();
    const int ancho = std::max(vista->width(), anchoPanel_);
    const int alto = vista->height();
    ui_->Panel->resize(ancho, alto);
    const int altoCaja = ui_->Text1_0->sizeHint().height();
    ui_->ListView1->setGeometry(0, altoCaja + 2, ancho, std::max(alto - altoCaja - 2, 0));
    ubicaCajas();
}

void Lib_FrmCons3::ubicaCajas() {
    QHeaderView* h = ui_->ListView1->header();
    const int base = ui_->ListView1->x() + ui_->ListView1->viewport()->x();
    const int altoCaja = ui_->Text1_0->sizeHint().height();
    for (int i = 0; i < modelo_->columnCount() && i < cajas_.size(); ++i)
        cajas_[i]->setGeometry(base + h->sectionViewportPosition(i), 0,
                               std::max(h->sectionSize(i) - pixeles(50), 0), altoCaja);
}

// ------------------------------------------------------------------ showing

int Lib_FrmCons3::Busqueda(int Clave, const QString& QueValor) {
    return modelo_->Busqueda(Clave, QueValor);
}

int Lib_FrmCons3::IndiceColumna(const QString& Columna) const {
    return modelo_->IndiceColumna(Columna);
}

int Lib_FrmCons3::FilaElegida() const {
    const auto filas = ui_->ListView1->selectionModel()->selectedRows();
    return filas.isEmpty() ? -1 : filas.first().row();
}

void Lib_FrmCons3::eligeFila(int fila) {
    const QModelIndex i = modelo_->index(fila, 0);
    ui_->ListView1->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
    ui_->ListView1->scrollTo(i);
}

// ------------------------------------------------------------------ buttons

void Lib_FrmCons3::cmdAceptar_Click() {
    const ModeloConsulta::Eleccion e = modelo_->Acepta(FilaElegida(), CampoDevuelto, CmpsDevueltos);
    if (e.acepta) {
        CampoDevuelto = e.campoDevuelto;
        if (!Valores)
            Valores = QVariantList();
        *Valores += e.valores;
        if (e.valorDevuelto)
            ValorDevuelto = *e.valorDevuelto;
    }
    accept();
}

void Lib_FrmCons3::cmdMarcar_Click() {
    modelo_->Marcar();
}

void Lib_FrmCons3::cmdNuevaBusqueda_Click() {
    SQL = SQLOriginal;
    Form_Load();
    ui_->Text1_0->setFocus();
}

void Lib_FrmCons3::cmdNuevo_Click() {
    // The program runs alongside; F5 or "&Nueva Busqueda" shows what it added.
    auto [programa, parametro] = consulta::ProgramaMantenimiento(TablaConsulta_);
    qint32 id = 0;
    MenuExes(app_, programa, parametro, id);
}

void Lib_FrmCons3::nuevaBusqueda(int i) {
    QLineEdit* caja = Caja(i);
    if (!caja)
        return;
    SQL = consulta::NuevaBusqueda(SQL, SQLBase, caja->property("Columna").toString(), caja->text(),
                                  CfgUsaConsultaLIKE);
    caja->clear();
    Form_Load();
    caja->setFocus();
}

void Lib_FrmCons3::informaFaltante() {
    const int fila = FilaElegida();
    if (!EsArticulos_ || fila < 0)
        return;
    const QString codigo = modelo_->Valor(fila, IndiceColumna(QStringLiteral("idarticulo")));
    const QString descripcion = modelo_->Valor(fila, IndiceColumna(QStringLiteral("Descripcion")));
    if (app_.dialogo.MsgBox(QStringLiteral("Desea informar el articulo ") + codigo.trimmed() +
                                u' ' + descripcion.trimmed() +
                                QStringLiteral("\r\ncomo un faltante de stock?"),
                            {plataforma::Botones::YesNo, plataforma::Icono::Question},
                            QStringLiteral("Atención!")) != plataforma::Respuesta::Yes)
        return;
    plataforma::CorrePasos(
        [this](const ado::Falla& falla) {
            return plataforma::SaleSiNoHubo(app_.TratamientoErroresGlobal(
                falla, plataforma::kEstiloError, QStringLiteral("Form_KeyDown")));
        },
        {[&] {
            app_.db.Ejecuta(consulta::SentenciaFaltante(QDateTime::currentDateTime(), codigo,
                                                        descripcion, app_.db.gUsuario));
        }});
}

void Lib_FrmCons3::ordenaPor(int columna) {
    orden_ = orden_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    modelo_->OrdenaPorValor(columna, orden_);
    ui_->ListView1->header()->setSortIndicator(columna, orden_);
    ui_->ListView1->header()->setSortIndicatorShown(true);
}

bool Lib_FrmCons3::teclaEnLista(const QKeyEvent& e) {
    const int tecla = e.key();
    const bool shift = e.modifiers() & Qt::ShiftModifier;
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
        cmdAceptar_Click();
        return true;
    }
    if (tecla == Qt::Key_Space && CheckBoxes)
        return false; // the list's own tick toggle
    const bool cantidad =
        UsaCantidades && ((tecla == Qt::Key_Insert) || (tecla == Qt::Key_Delete && !shift));
    if (cantidad) {
        plataforma::CorrePasos(
            [this](const ado::Falla& f) {
                return plataforma::SaleSiNoHubo(app_.TratamientoErroresGlobal(
                    f, plataforma::kEstiloError, QStringLiteral("ListView1_KeyDown")));
            },
            {[&] {
                const int fila = FilaElegida();
                if (tecla == Qt::Key_Delete) {
                    modelo_->SumaCantidad(fila, -1);
                } else if (!shift) {
                    modelo_->SumaCantidad(fila, 1);
                } else if (const auto respuesta = app_.dialogo.InputBox(
                               QStringLiteral("Ingrese la Cantidad del Articulo..."),
                               QStringLiteral("Carga de Datos"), modelo_->TextoCantidad(fila))) {
                    modelo_->PonCantidad(fila, *respuesta);
                }
            }});
        return true;
    }
    // What was typed goes to the search box the operator was in, as typed.
    QLineEdit* caja = Caja(CajaActual_) ? Caja(CajaActual_) : ui_->Text1_0;
    const bool sinAtajo = !(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (tecla == Qt::Key_Backspace) {
        caja->setFocus();
        caja->backspace();
        return true;
    }
    const QString texto = e.text();
    if (sinAtajo && !texto.isEmpty() && texto.at(0).isPrint()) {
        caja->setFocus();
        caja->end(false);
        caja->insert(texto);
        return true;
    }
    return false;
}

bool Lib_FrmCons3::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == ui_->Marco->viewport()) {
        if (evento->type() == QEvent::Resize)
            ajustaPanel();
        return false;
    }
    if (objeto == ui_->ListView1) {
        if (evento->type() == QEvent::KeyPress)
            return teclaEnLista(*static_cast<QKeyEvent*>(evento));
        return false;
    }
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    const int i = caja ? static_cast<int>(cajas_.indexOf(caja)) : -1;
    if (i < 0)
        return QDialog::eventFilter(objeto, evento);
    switch (evento->type()) {
    case QEvent::FocusIn:
        CajaActual_ = i;
        caja->setStyleSheet(kCian);
        break;
    case QEvent::FocusOut:
        caja->setStyleSheet(kBlanco);
        break;
    case QEvent::KeyPress:
        return teclaEnCaja(static_cast<QKeyEvent*>(evento)->key(), ui_->ListView1,
                           [this, i] { nuevaBusqueda(i); });
    default:
        break;
    }
    return false;
}

// ---------------------------------------------------------- the controller's view

ListaElegida VistaConsultaQt::MuestraLista(const ListaPedida& p) {
    Lib_FrmCons3 frm(app_, padre_);
    frm.TomaPedido(p);
    frm.StkNivel1 = p.StkNivel1;
    frm.StkNivel2 = p.StkNivel2;
    frm.StkNivel3 = p.StkNivel3;
    frm.StkNivel4 = p.StkNivel4;
    frm.MuestraStock = p.MuestraStock;
    frm.CfgUsaConsultaLIKE = p.CfgUsaConsultaLIKE;
    frm.OrdenarPorLwv = p.OrdenarPorLwv;
    frm.FiltroInicial = p.FiltroInicial;
    frm.CampoBusqueda = p.CampoBusqueda;
    frm.gConnString = p.gConnString;
    frm.UsaCantidades = p.UsaCantidades;
    frm.CmpsDevueltos = p.CmpsDevueltos;
    muestra(frm);
    return {frm.ValorDevuelto, frm.Valores, frm.Cantidades};
}

ListaElegida VistaConsultaQt::MuestraSimple(const ListaSimple& lista) {
    Lib_FrmCons3 frm(app_, padre_);
    frm.PreparaListaSimple(lista);
    muestra(frm);
    return {frm.ValorDevuelto, frm.Valores, frm.Cantidades};
}

void VistaConsultaQt::muestra(DialogoConsulta& frm) const {
    frm.Muestra();
    // The window the lookup came from takes the keyboard back at once, not
    // whenever the window system gets round to it.
    if (padre_)
        padre_->activateWindow();
}
