// The library's window helpers on real widgets: emptying and filling fields, the
// keys that confirm a field and move the focus, key filters, the message boxes and
// other boxes of the Qt operator dialog, and the browsing sheet.

#include "BaseDePrueba.h"
#include "platform/Utilidades.h"
#include "platform/gui/DialogoQt.h"
#include "platform/gui/Formularios.h"
#include "platform/gui/Grillas.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

using namespace plataforma;

namespace {

const QLocale kEspanol(QLocale::Spanish, QLocale::Argentina);
const QLocale kIngles(QLocale::English, QLocale::UnitedStates);

QLineEdit* campo(QWidget* padre, const char* nombre, const char* dataField = nullptr) {
    auto* e = new QLineEdit(padre);
    e->setObjectName(QString::fromLatin1(nombre));
    if (dataField)
        e->setProperty("DataField", QString::fromLatin1(dataField));
    padre->layout()->addWidget(e);
    return e;
}

// Runs `accion` on the modal box as soon as it is shown and active, as the operator
// finds it; the box the code under test opens blocks until the action answers it.
void alAparecer(std::function<void(QWidget*)> accion) {
    auto* espera = new QTimer;
    espera->setInterval(5);
    QObject::connect(espera, &QTimer::timeout, [espera, accion] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !modal->isActiveWindow())
            return;
        espera->stop();
        espera->deleteLater();
        accion(modal);
        // A box the keys did not answer would leave the test waiting for ever.
        QTimer::singleShot(3000, [caja = QPointer<QWidget>(modal)] {
            if (!caja || !caja->isVisible())
                return;
            QTest::qFail("the box was not answered", __FILE__, __LINE__);
            if (auto* dialogo = qobject_cast<QDialog*>(caja.data()))
                dialogo->done(0);
        });
    });
    espera->start();
}

// Where a key typed on the box lands: its focused control, as for the operator.
QWidget* foco(QWidget* modal) {
    QWidget* f = QApplication::focusWidget();
    return f && (f == modal || modal->isAncestorOf(f)) ? f : modal;
}

// What a window does with the library on its fields' keys, as the sheet does:
// confirming keys move the focus on, typed characters go through the filter.
class Teclado : public QObject {
public:
    Formularios& formularios;
    explicit Teclado(Formularios& f) : formularios(f) {}

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress)
            return false;
        auto* tecla = static_cast<QKeyEvent*>(evento);
        auto* caja = qobject_cast<QLineEdit*>(objeto);
        if (Formularios::EsTeclaAvance(tecla->key())) {
            formularios.AvanzaFoco(tecla->key(), caja);
            return true;
        }
        if (caja && tecla->text().size() == 1) {
            QChar c = tecla->text().front();
            Formularios::FiltraTecla(caja, c);
            if (c.isNull())
                return true;
            if (c != tecla->text().front()) {
                caja->insert(c);
                return true;
            }
        }
        return false;
    }
};

} // namespace

class TstFormularios : public QObject {
    Q_OBJECT

private slots:
    void esTeclaAvance_data();
    void esTeclaAvance();
    void avanzaFocoEnElOrdenDeclarado_data();
    void avanzaFocoEnElOrdenDeclarado();
    void enterMueveElFocoAlSiguienteCampo();
    void sinOrdenDeclaradoSigueElDeLaVentana();
    void filtraTecla_data();
    void filtraTecla();
    void filtroAlTeclear();
    void indiceControl_data();
    void indiceControl();
    void limpiaFormulario();
    void textoDeValor_data();
    void textoDeValor();
    void cargaControles();
    void cargaControlesSinFilaNoCambiaNada();

    void msgBox_data();
    void msgBox();
    void msgBoxMuestraBotonesEIcono();
    void msgBoxConTabla();
    void inputBox();
    void inputBoxCancelado();
    void eligeFecha();
    void eligeFechaCancelada();
    void filtroQt_data();
    void filtroQt();

    void modeloRecordset_data();
    void modeloRecordset();
    void muestraTabla();
    void muestraTablaInexistente();
};

// ------------------------------------------------------------------ keys and focus

void TstFormularios::esTeclaAvance_data() {
    QTest::addColumn<int>("tecla");
    QTest::addColumn<bool>("avanza");
    QTest::newRow("Enter de la suite") << 13 << true;
    QTest::newRow("Return") << int(Qt::Key_Return) << true;
    QTest::newRow("Enter del teclado numerico") << int(Qt::Key_Enter) << true;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << true;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
    QTest::newRow("arriba") << int(Qt::Key_Up) << true;
    QTest::newRow("letra") << int(Qt::Key_A) << false;
    QTest::newRow("ampersand, el 38 de la suite") << int(Qt::Key_Ampersand) << false;
    QTest::newRow("parentesis, el 40 de la suite") << int(Qt::Key_ParenLeft) << false;
}

void TstFormularios::esTeclaAvance() {
    QFETCH(int, tecla);
    QFETCH(bool, avanza);
    QCOMPARE(Formularios::EsTeclaAvance(tecla), avanza);
}

void TstFormularios::avanzaFocoEnElOrdenDeclarado_data() {
    // Order declared: a, c, b, d, e; d is disabled, e hidden.
    QTest::addColumn<QString>("desde");
    QTest::addColumn<int>("tecla");
    QTest::addColumn<QString>("hacia");
    QTest::addColumn<bool>("movio");
    QTest::newRow("Enter sigue el orden declarado") << "a" << 13 << "c" << true;
    QTest::newRow("Return") << "c" << int(Qt::Key_Return) << "b" << true;
    QTest::newRow("salta deshabilitado y oculto, vuelve al principio")
        << "b" << int(Qt::Key_Tab) << "a" << true;
    QTest::newRow("abajo avanza") << "a" << int(Qt::Key_Down) << "c" << true;
    QTest::newRow("arriba retrocede") << "b" << int(Qt::Key_Up) << "c" << true;
    QTest::newRow("Shift+Tab desde el primero va al ultimo")
        << "a" << int(Qt::Key_Backtab) << "b" << true;
    QTest::newRow("Esc no mueve") << "c" << int(Qt::Key_Escape) << "c" << false;
    QTest::newRow("una letra no mueve") << "c" << int(Qt::Key_X) << "c" << false;
}

void TstFormularios::avanzaFocoEnElOrdenDeclarado() {
    QFETCH(QString, desde);
    QFETCH(int, tecla);
    QFETCH(QString, hacia);
    QFETCH(bool, movio);
    QWidget ventana;
    new QVBoxLayout(&ventana);
    QLineEdit* a = campo(&ventana, "a");
    QLineEdit* b = campo(&ventana, "b");
    QLineEdit* c = campo(&ventana, "c");
    QLineEdit* d = campo(&ventana, "d");
    QLineEdit* e = campo(&ventana, "e");
    d->setEnabled(false);
    e->hide();
    Formularios formularios;
    formularios.DeclaraOrden({a, c, b, d, e});
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));

    auto* origen = ventana.findChild<QLineEdit*>(desde);
    origen->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), origen);
    QCOMPARE(formularios.AvanzaFoco(tecla), movio);
    QCOMPARE(QApplication::focusWidget()->objectName(), hacia);
}

void TstFormularios::enterMueveElFocoAlSiguienteCampo() {
    QWidget ventana;
    new QVBoxLayout(&ventana);
    QLineEdit* reparto = campo(&ventana, "reparto");
    QLineEdit* chofer = campo(&ventana, "chofer");
    QLineEdit* fecha = campo(&ventana, "fecha");
    Formularios formularios;
    formularios.DeclaraOrden({reparto, fecha, chofer});
    Teclado teclado(formularios);
    for (QLineEdit* e : {reparto, chofer, fecha})
        e->installEventFilter(&teclado);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    reparto->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), reparto);

    QTest::keyClicks(reparto, QStringLiteral("57"));
    QTest::keyClick(reparto, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), fecha);
    QTest::keyClick(fecha, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), chofer);
    QTest::keyClick(chofer, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), fecha);
    QCOMPARE(reparto->text(), QStringLiteral("57"));
}

void TstFormularios::sinOrdenDeclaradoSigueElDeLaVentana() {
    QWidget ventana;
    new QVBoxLayout(&ventana);
    QLineEdit* uno = campo(&ventana, "uno");
    auto* etiqueta = new QLabel(QStringLiteral("sin foco"), &ventana);
    ventana.layout()->addWidget(etiqueta);
    QLineEdit* apagado = campo(&ventana, "apagado");
    apagado->setEnabled(false);
    QLineEdit* dos = campo(&ventana, "dos");
    Formularios formularios;
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    uno->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), uno);
    QVERIFY(formularios.AvanzaFoco(13));
    QCOMPARE(QApplication::focusWidget(), dos);
    QVERIFY(formularios.AvanzaFoco(Qt::Key_Up));
    QCOMPARE(QApplication::focusWidget(), uno);
}

void TstFormularios::filtraTecla_data() {
    QTest::addColumn<QString>("filtro");
    QTest::addColumn<QChar>("tecleado");
    QTest::addColumn<QChar>("resultado"); // null: dropped
    QTest::newRow("numero: cifra") << "numero" << QChar(u'5') << QChar(u'5');
    QTest::newRow("numero: coma") << "numero" << QChar(u',') << QChar(u',');
    QTest::newRow("numero: letra") << "numero" << QChar(u'a') << QChar();
    QTest::newRow("numero: blanco") << "numero" << QChar(u' ') << QChar();
    QTest::newRow("numero: retroceso pasa") << "numero" << QChar(8) << QChar(8);
    QTest::newRow("entero: coma") << "entero" << QChar(u',') << QChar();
    QTest::newRow("fecha: guion a barra") << "fecha" << QChar(u'-') << QChar(u'/');
    QTest::newRow("fecha: letra") << "fecha" << QChar(u'x') << QChar();
    QTest::newRow("mayusculas") << "mayusculas" << QChar(u'\u00f1') << QChar(u'\u00d1');
    QTest::newRow("sin filtro pasa todo") << "" << QChar(u'a') << QChar(u'a');
    QTest::newRow("nombre en mayusculas") << "NUMERO" << QChar(u'a') << QChar();
}

void TstFormularios::filtraTecla() {
    QFETCH(QString, filtro);
    QFETCH(QChar, tecleado);
    QFETCH(QChar, resultado);
    QLineEdit caja;
    if (!filtro.isEmpty())
        caja.setProperty("Filtro", filtro);
    QChar c = tecleado;
    Formularios::FiltraTecla(&caja, c);
    QCOMPARE(c, resultado);
}

void TstFormularios::filtroAlTeclear() {
    QWidget ventana;
    new QVBoxLayout(&ventana);
    QLineEdit* importe = campo(&ventana, "importe");
    importe->setProperty("Filtro", QStringLiteral("numero"));
    QLineEdit* fecha = campo(&ventana, "fecha");
    fecha->setProperty("Filtro", QStringLiteral("fecha"));
    Formularios formularios;
    Teclado teclado(formularios);
    importe->installEventFilter(&teclado);
    fecha->installEventFilter(&teclado);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    importe->setFocus();
    QTest::keyClicks(importe, QStringLiteral("1a.2b34,5"));
    QCOMPARE(importe->text(), QStringLiteral("1.234,5"));
    fecha->setFocus();
    QTest::keyClicks(fecha, QStringLiteral("15-03.2024x"));
    QCOMPARE(fecha->text(), QStringLiteral("15/03/2024"));
}

void TstFormularios::indiceControl_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("indice");
    QTest::newRow("mayusculas") << "REPARTO" << 0;
    QTest::newRow("como esta escrito") << "Reparto" << 0;
    QTest::newRow("minusculas") << "reparto" << 0;
    QTest::newRow("despues de un hueco") << "kmfinal" << 3;
    QTest::newRow("inexistente") << "Chofer" << -1;
    QTest::newRow("vacio no encuentra un control sin campo") << "" << -1;
}

void TstFormularios::indiceControl() {
    QFETCH(QString, nombre);
    QFETCH(int, indice);
    QWidget ventana;
    new QVBoxLayout(&ventana);
    const QList<QWidget*> controles{campo(&ventana, "r", "Reparto"), campo(&ventana, "sin"),
                                    nullptr, campo(&ventana, "k", "KmFinal")};
    QCOMPARE(Formularios::IndiceControl(nombre, controles), indice);
}

// ------------------------------------------------------------------ filling and emptying

void TstFormularios::limpiaFormulario() {
    QWidget ventana;
    new QVBoxLayout(&ventana);
    QLineEdit* linea = campo(&ventana, "linea");
    linea->setText(QStringLiteral("57"));
    QLineEdit* soloLectura = campo(&ventana, "total");
    soloLectura->setReadOnly(true);
    soloLectura->setText(QStringLiteral("0.00"));
    auto* texto = new QTextEdit(QStringLiteral("notas"), &ventana);
    auto* plano = new QPlainTextEdit(QStringLiteral("observaciones"), &ventana);
    auto* editable = new QComboBox(&ventana);
    editable->setEditable(true);
    editable->setEditText(QStringLiteral("escrito"));
    auto* lista = new QComboBox(&ventana);
    lista->addItems({QStringLiteral("SQL Server"), QStringLiteral("ORACLE")});
    lista->setCurrentIndex(1);
    auto* numero = new QSpinBox(&ventana);
    numero->setValue(7);
    auto* etiqueta = new QLabel(QStringLiteral("Fecha"), &ventana);
    QDialog otra(&ventana); // a window of its own
    new QVBoxLayout(&otra);
    QLineEdit* ajena = campo(&otra, "ajena");
    ajena->setText(QStringLiteral("queda"));

    Formularios::LimpiaFormulario(&ventana);

    QCOMPARE(linea->text(), QString());
    QCOMPARE(soloLectura->text(), QString());
    QCOMPARE(texto->toPlainText(), QString());
    QCOMPARE(plano->toPlainText(), QString());
    QCOMPARE(editable->currentText(), QString());
    QCOMPARE(lista->currentIndex(), -1);
    QCOMPARE(numero->value(), 7);
    QCOMPARE(numero->text(), QStringLiteral("7"));
    QCOMPARE(etiqueta->text(), QStringLiteral("Fecha"));
    QCOMPARE(ajena->text(), QStringLiteral("queda"));
}

void TstFormularios::textoDeValor_data() {
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<QLocale>("local");
    QTest::addColumn<QString>("texto");
    QTest::newRow("nulo") << QVariant() << kEspanol << "";
    QTest::newRow("importe con coma") << QVariant(1234.5) << kEspanol << "1234,5";
    QTest::newRow("importe con punto") << QVariant(1234.5) << kIngles << "1234.5";
    QTest::newRow("ruido binario") << QVariant(0.1 + 0.2) << kEspanol << "0,3";
    QTest::newRow("real entero") << QVariant(150.0) << kEspanol << "150";
    QTest::newRow("cero negativo") << QVariant(-0.00001) << kEspanol << "0";
    QTest::newRow("entero") << QVariant(qint64(57)) << kEspanol << "57";
    QTest::newRow("fecha sin hora")
        << QVariant(QDateTime(QDate(2024, 3, 5), QTime(0, 0))) << kEspanol << "05/03/2024";
    QTest::newRow("fecha con hora") << QVariant(QDateTime(QDate(2024, 3, 5), QTime(10, 42, 7)))
                                    << kEspanol << "05/03/2024 10:42:07";
    QTest::newRow("texto tal cual") << QVariant(QStringLiteral(" A1 ")) << kEspanol << " A1 ";
}

void TstFormularios::textoDeValor() {
    QFETCH(QVariant, valor);
    QFETCH(QLocale, local);
    QFETCH(QString, texto);
    QCOMPARE(Formularios::TextoDeValor(valor, local), texto);
}

void TstFormularios::cargaControles() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Nombre, Saldo, Visitas, Alta) "
                               "VALUES ('A1', NULL, 1234.5, 3, '2024-03-05')"));
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES"), *cn);

    QWidget ventana;
    new QVBoxLayout(&ventana);
    QLineEdit* codigo = campo(&ventana, "codigo", "CODIGO");
    QLineEdit* nombre = campo(&ventana, "nombre", "nombre");
    nombre->setText(QStringLiteral("anterior"));
    QLineEdit* saldo = campo(&ventana, "saldo", "Saldo");
    QLineEdit* alta = campo(&ventana, "alta", "Alta");
    auto* visitas = new QComboBox(&ventana);
    visitas->setEditable(true);
    visitas->setProperty("DataField", QStringLiteral("Visitas"));
    QLineEdit* otro = campo(&ventana, "otro", "NoEsColumna");
    otro->setText(QStringLiteral("queda"));
    QLineEdit* libre = campo(&ventana, "libre");
    libre->setText(QStringLiteral("libre"));

    Formularios::CargaControles({codigo, nombre, saldo, alta, visitas, otro, libre, nullptr}, rs);

    QCOMPARE(codigo->text(), QStringLiteral("A1"));
    QCOMPARE(nombre->text(), QString());
    const QString decimal = Utilidades::LocaleOperador().decimalPoint();
    QCOMPARE(saldo->text(), QStringLiteral("1234") + decimal + QStringLiteral("5"));
    // What the field shows reads back as the stored amount.
    QCOMPARE(Utilidades::ANumero(saldo->text()).escalado(), qint64(12345000));
    QCOMPARE(alta->text(), QStringLiteral("05/03/2024"));
    QCOMPARE(visitas->currentText(), QStringLiteral("3"));
    QCOMPARE(otro->text(), QStringLiteral("queda"));
    QCOMPARE(libre->text(), QStringLiteral("libre"));
}

void TstFormularios::cargaControlesSinFilaNoCambiaNada() {
    BaseDePrueba base;
    auto cn = base.conecta();
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES"), *cn);
    QWidget ventana;
    new QVBoxLayout(&ventana);
    QLineEdit* codigo = campo(&ventana, "codigo", "Codigo");
    codigo->setText(QStringLiteral("antes"));
    QCOMPARE(fallaDe([&] { Formularios::CargaControles({codigo}, rs); }).Number,
             ado::codigo::adErrNoCurrentRecord);
    QCOMPARE(codigo->text(), QStringLiteral("antes"));
}

// ------------------------------------------------------------------ the Qt operator dialog

void TstFormularios::msgBox_data() {
    QTest::addColumn<Estilo>("estilo");
    QTest::addColumn<int>("tecla");
    QTest::addColumn<Respuesta>("respuesta");
    using B = Botones;
    using R = Respuesta;
    const Icono sin = Icono::Ninguno;
    // clang-format off
    QTest::newRow("Aceptar con Enter") << Estilo{} << int(Qt::Key_Return) << R::OK;
    QTest::newRow("Aceptar solo, Esc") << Estilo{} << int(Qt::Key_Escape) << R::OK;
    QTest::newRow("Aceptar/Cancelar, Esc") << Estilo{B::OKCancel} << int(Qt::Key_Escape) << R::Cancel;
    QTest::newRow("Aceptar/Cancelar, segundo por defecto") << Estilo{B::OKCancel, sin, 2} << int(Qt::Key_Return) << R::Cancel;
    QTest::newRow("Anular/Reintentar/Omitir, Enter") << kEstiloError << int(Qt::Key_Return) << R::Abort;
    QTest::newRow("Anular/Reintentar/Omitir, segundo por defecto") << Estilo{B::AbortRetryIgnore, sin, 2} << int(Qt::Key_Return) << R::Retry;
    QTest::newRow("Anular/Reintentar/Omitir, tercero por defecto") << Estilo{B::AbortRetryIgnore, sin, 3} << int(Qt::Key_Enter) << R::Ignore;
    QTest::newRow("Anular/Reintentar/Omitir, Esc anula") << Estilo{B::AbortRetryIgnore} << int(Qt::Key_Escape) << R::Abort;
    QTest::newRow("Anular/Reintentar/Omitir, letra R") << Estilo{B::AbortRetryIgnore} << int(Qt::Key_R) << R::Retry;
    QTest::newRow("Si/No/Cancelar, Esc cancela") << Estilo{B::YesNoCancel} << int(Qt::Key_Escape) << R::Cancel;
    QTest::newRow("Si/No, No por defecto") << Estilo{B::YesNo, Icono::Question, 2} << int(Qt::Key_Return) << R::No;
    QTest::newRow("Si/No, Esc dice No") << Estilo{B::YesNo} << int(Qt::Key_Escape) << R::No;
    QTest::newRow("Si/No, letra S") << Estilo{B::YesNo} << int(Qt::Key_S) << R::Yes;
    QTest::newRow("Reintentar/Cancelar, Esc") << Estilo{B::RetryCancel} << int(Qt::Key_Escape) << R::Cancel;
    QTest::newRow("tercero por defecto sin tercer boton") << Estilo{B::YesNo, sin, 3} << int(Qt::Key_Return) << R::Yes;
    // clang-format on
}

void TstFormularios::msgBox() {
    QFETCH(Estilo, estilo);
    QFETCH(int, tecla);
    QFETCH(Respuesta, respuesta);
    alAparecer(
        [tecla](QWidget* modal) { QTest::keyClick(foco(modal), static_cast<Qt::Key>(tecla)); });
    DialogoQt dialogo;
    QCOMPARE(dialogo.MsgBox(QStringLiteral("¿Continúa?"), estilo, QStringLiteral("Aviso")),
             respuesta);
}

void TstFormularios::msgBoxMuestraBotonesEIcono() {
    QString titulo;
    QString texto;
    QStringList botones;
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    alAparecer([&](QWidget* modal) {
        auto* caja = qobject_cast<QMessageBox*>(modal);
        QVERIFY(caja);
        titulo = caja->windowTitle();
        texto = caja->text();
        icono = caja->icon();
        for (QAbstractButton* b : caja->buttons())
            botones.append(b->text());
        QTest::keyClick(foco(modal), Qt::Key_Escape);
    });
    DialogoQt dialogo;
    QCOMPARE(dialogo.MsgBox(QStringLiteral("Recuerde: <b>NO</b>\r\n-Confirma...?"),
                            Estilo{Botones::YesNoCancel, Icono::Exclamation},
                            QStringLiteral("-Atención!")),
             Respuesta::Cancel);
    QCOMPARE(titulo, QStringLiteral("-Atención!"));
    QCOMPARE(texto, QStringLiteral("Recuerde: <b>NO</b>\n-Confirma...?"));
    QCOMPARE(icono, QMessageBox::Warning);
    botones.sort();
    QCOMPARE(botones, (QStringList{QStringLiteral("&Cancelar"), QStringLiteral("&No"),
                                   QStringLiteral("&Sí")}));
}

void TstFormularios::msgBoxConTabla() {
    // The table sits between the text and the buttons, read-only, and leaves the
    // keys to the box: Enter still takes the default button.
    QStandardItemModel modelo(2, 2);
    modelo.setHorizontalHeaderLabels({QStringLiteral("Cuenta"), QStringLiteral("Debe")});
    modelo.setItem(0, 0, new QStandardItem(QStringLiteral("511")));
    modelo.setItem(1, 1, new QStandardItem(QStringLiteral("100,00")));
    QString leyenda;
    int filas = -1;
    bool entreTextoYBotones = false, editable = true, conFoco = true;
    alAparecer([&](QWidget* modal) {
        auto* vista = modal->findChild<QTableView*>(QStringLiteral("tablaCaja"));
        QVERIFY(vista);
        filas = vista->model()->rowCount();
        editable = vista->editTriggers() != QAbstractItemView::NoEditTriggers;
        conFoco = vista->hasFocus();
        auto* botones = modal->findChild<QDialogButtonBox*>();
        auto* texto = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(botones && texto);
        entreTextoYBotones = texto->geometry().bottom() < vista->geometry().top() &&
                             vista->geometry().bottom() < botones->geometry().top();
        for (QLabel* l : modal->findChildren<QLabel*>())
            if (l->text().startsWith(QStringLiteral("Asiento")))
                leyenda = l->text();
        QTest::keyClick(foco(modal), Qt::Key_Return);
    });
    DialogoQt dialogo;
    QCOMPARE(dialogo.MsgBoxConTabla(
                 QStringLiteral("¿Confirma?"), {QStringLiteral("Asiento N° 8"), &modelo},
                 Estilo{Botones::YesNo, Icono::Question, 1}, QStringLiteral("-Atención!")),
             Respuesta::Yes);
    QCOMPARE(leyenda, QStringLiteral("Asiento N° 8"));
    QCOMPARE(filas, 2);
    QVERIFY(entreTextoYBotones);
    QVERIFY(!editable);
    QVERIFY(!conFoco);
}

void TstFormularios::inputBox() {
    QString pregunta;
    alAparecer([&](QWidget* modal) {
        auto* caja = qobject_cast<QInputDialog*>(modal);
        QVERIFY(caja);
        pregunta = caja->labelText();
        QWidget* f = foco(modal);
        QTest::keyClick(f, Qt::Key_End);
        QTest::keyClicks(f, QStringLiteral("7"));
        QTest::keyClick(f, Qt::Key_Return);
    });
    DialogoQt dialogo;
    QCOMPARE(dialogo.InputBox(QStringLiteral("Número de reparto"), QStringLiteral("Reparto"),
                              QStringLiteral("5")),
             std::optional<QString>(QStringLiteral("57")));
    QCOMPARE(pregunta, QStringLiteral("Número de reparto"));
}

void TstFormularios::inputBoxCancelado() {
    alAparecer([](QWidget* modal) { QTest::keyClick(foco(modal), Qt::Key_Escape); });
    DialogoQt dialogo;
    QVERIFY(!dialogo.InputBox(QStringLiteral("Número"), QStringLiteral("Reparto"),
                              QStringLiteral("5")));
}

void TstFormularios::eligeFecha() {
    alAparecer([](QWidget* modal) {
        QTest::keyClick(foco(modal), Qt::Key_Right);
        QTest::keyClick(foco(modal), Qt::Key_Return);
    });
    DialogoQt dialogo;
    QCOMPARE(dialogo.EligeFecha(QDate(2024, 2, 28)), std::optional<QDate>(QDate(2024, 2, 29)));
}

void TstFormularios::eligeFechaCancelada() {
    alAparecer([](QWidget* modal) { QTest::keyClick(foco(modal), Qt::Key_Escape); });
    DialogoQt dialogo;
    QVERIFY(!dialogo.EligeFecha(QDate(2024, 2, 28)));
}

void TstFormularios::filtroQt_data() {
    QTest::addColumn<QString>("suite");
    QTest::addColumn<QString>("qt");
    QTest::newRow("uno") << "Reportes|*.rpt"
                         << "Reportes (*.rpt)";
    QTest::newRow("varios patrones") << "Textos|*.txt;*.vxf"
                                     << "Textos (*.txt *.vxf)";
    QTest::newRow("dos filtros") << "Reportes|*.rpt|Todos|*.*"
                                 << "Reportes (*.rpt);;Todos (*.*)";
    QTest::newRow("patrones ya escritos") << "Reportes (*.rpt)|*.rpt"
                                          << "Reportes (*.rpt)";
    QTest::newRow("solo patron") << "*.rpt"
                                 << "*.rpt";
    QTest::newRow("sin patron") << "Todos|"
                                << "Todos (*)";
    QTest::newRow("vacio") << ""
                           << "";
}

void TstFormularios::filtroQt() {
    QFETCH(QString, suite);
    QFETCH(QString, qt);
    QCOMPARE(DialogoQt::FiltroQt(suite), qt);
}

// ------------------------------------------------------------------ browsing sheet

void TstFormularios::modeloRecordset_data() {
    QTest::addColumn<QString>("filas"); // VALUES of CLIENTES (Codigo, Nombre, Saldo, Alta)
    QTest::addColumn<QStringList>("codigos");
    QTest::addColumn<QStringList>("segundaFila"); // as shown
    QTest::newRow("vacio") << QString() << QStringList{} << QStringList{};
    QTest::newRow("tres filas")
        << "('A1', 'alfa', 2, NULL), ('B2', NULL, 10.5, '2024-03-05'), ('C3', 'gama', -1, NULL)"
        << QStringList{"A1", "B2", "C3"}
        << QStringList{"B2", "", "10" + Utilidades::LocaleOperador().decimalPoint() + "5",
                       "05/03/2024"};
}

// The grid's model, checked by Qt's own model tester, with rows and without.
void TstFormularios::modeloRecordset() {
    QFETCH(QString, filas);
    QFETCH(QStringList, codigos);
    QFETCH(QStringList, segundaFila);
    BaseDePrueba base;
    auto cn = base.conecta();
    if (!filas.isEmpty())
        cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Nombre, Saldo, Alta) VALUES ") +
                    filas);
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT Codigo, Nombre, Saldo, Alta FROM CLIENTES ORDER BY Codigo"),
            *cn);
    ModeloRecordset modelo(rs);
    QAbstractItemModelTester tester(&modelo,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(modelo.columnCount(), 4);
    QStringList cabeceras;
    for (int c = 0; c < modelo.columnCount(); ++c)
        cabeceras << modelo.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(cabeceras, (QStringList{"Codigo", "Nombre", "Saldo", "Alta"}));
    QStringList leidos;
    for (int f = 0; f < modelo.rowCount(); ++f) {
        leidos << modelo.index(f, 0).data().toString();
        QCOMPARE(modelo.headerData(f, Qt::Vertical).toInt(), f + 1);
    }
    QCOMPARE(leidos, codigos);
    if (segundaFila.isEmpty())
        return;
    QStringList mostrada;
    for (int c = 0; c < modelo.columnCount(); ++c)
        mostrada << modelo.index(1, c).data().toString();
    QCOMPARE(mostrada, segundaFila);
    // The value itself, for sorting; numbers to the right.
    QCOMPARE(modelo.index(1, 2).data(ModeloRecordset::RolValor), QVariant(10.5));
    QVERIFY(modelo.index(1, 1).data(ModeloRecordset::RolValor).isNull());
    QCOMPARE(modelo.index(1, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignRight));
    QCOMPARE(modelo.index(1, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
}

void TstFormularios::muestraTabla() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral(
        "INSERT INTO CLIENTES (Codigo, Nombre, Saldo, Alta) VALUES "
        "('B2', 'Beta', 10.5, '2024-03-05'), ('A1', 'alfa', 2, NULL), ('C3', 'gama', -1, NULL)"));

    QString titulo;
    QStringList cabeceras;
    int filas = -1;
    QString saldo;
    QStringList ordenPorSaldo;
    QStringList ordenPorNombre;
    bool soloLectura = false;
    alAparecer([&](QWidget* modal) {
        titulo = modal->windowTitle();
        auto* grilla = modal->findChild<QTableView*>();
        QVERIFY(grilla);
        QAbstractItemModel* m = grilla->model();
        filas = m->rowCount();
        for (int c = 0; c < m->columnCount(); ++c)
            cabeceras.append(m->headerData(c, Qt::Horizontal).toString());
        const int colCodigo = static_cast<int>(cabeceras.indexOf(QStringLiteral("Codigo")));
        const int colSaldo = static_cast<int>(cabeceras.indexOf(QStringLiteral("Saldo")));
        const int colNombre = static_cast<int>(cabeceras.indexOf(QStringLiteral("Nombre")));
        saldo = m->index(0, colSaldo).data().toString();
        const auto codigos = [&] {
            QStringList r;
            for (int f = 0; f < m->rowCount(); ++f)
                r.append(m->index(f, colCodigo).data().toString());
            return r;
        };
        // A click on a heading sorts by it: numbers as numbers, texts ignoring case.
        QHeaderView* cabecera = grilla->horizontalHeader();
        QTest::mouseClick(cabecera->viewport(), Qt::LeftButton, {},
                          QPoint(cabecera->sectionViewportPosition(colSaldo) + 5, 5));
        ordenPorSaldo = codigos();
        grilla->sortByColumn(colNombre, Qt::AscendingOrder);
        ordenPorNombre = codigos();
        soloLectura = !(m->flags(m->index(0, 0)) & Qt::ItemIsEditable) &&
                      grilla->editTriggers() == QAbstractItemView::NoEditTriggers;
        QTest::keyClick(foco(modal), Qt::Key_Escape);
    });
    Grillas::MuestraTabla(QStringLiteral("CLIENTES"), *cn, QStringLiteral("Repartos"));

    QCOMPARE(titulo, QStringLiteral("Repartos"));
    QCOMPARE(filas, 3);
    QVERIFY(cabeceras.contains(QStringLiteral("Codigo")));
    QVERIFY(cabeceras.contains(QStringLiteral("Alta")));
    QCOMPARE(saldo, QStringLiteral("10") + Utilidades::LocaleOperador().decimalPoint() +
                        QStringLiteral("5"));
    QCOMPARE(ordenPorSaldo, (QStringList{"C3", "A1", "B2"}));
    QCOMPARE(ordenPorNombre, (QStringList{"A1", "B2", "C3"}));
    QVERIFY(soloLectura);
}

void TstFormularios::muestraTablaInexistente() {
    BaseDePrueba base;
    auto cn = base.conecta();
    // Fails before anything is shown: no box is left waiting for an answer.
    fallaDe([&] { Grillas::MuestraTabla(QStringLiteral("NO_EXISTE"), *cn, QStringLiteral("x")); });
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

QTEST_MAIN(TstFormularios)
#include "tst_formularios.moc"
