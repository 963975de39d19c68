// The main window as the program starts it.

#include "BaseHoja.h"
#include "DialogoGuionado.h"
#include "app/Aplicacion.h"
#include "platform/gui/Barvex1.h"
#include "resources/Recursos.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"

#include <QAction>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

class TstFrmHojaRuta : public QObject {
    Q_OBJECT

private slots:
    void abreSobreLaBase();
    void terminaSinConexion();

    void esperaNumeroDeReparto();
    void abreRepartoGuardado();
    void numeroInexistenteDaRepartoNuevo();
    void numeroInvalido_data();
    void numeroInvalido();
    void repartoFinalizado();
    void parametroAdicionalAbreElReparto();
    void clase_data();
    void clase();
    void cuentas_data();
    void cuentas();
    void totales();
    void rubros();
    void edicionDeCeldas();
    void letraEnCantidad();
    void grabarValidaLaFecha();
    void finalizarRespondidoNo();
    void cancelarNuevoYBorrar();
    void entradaMalFormadaNoRompeLaHoja();
};

namespace {

std::unique_ptr<Aplicacion> aplicacion(DialogoGuionado& dialogo, const QTemporaryDir& dir,
                                       const QString& base, bool& terminado) {
    auto app = std::make_unique<Aplicacion>(dialogo);
    app->carpetaEjecutable = dir.path();
    app->db.carpetaPrograma = dir.path();
    app->lineaProceso = QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ; "
                                       "@ParametroAdicional=; @Caja=1;kora@")
                            .arg(base);
    app->terminaPrograma = [&terminado] { terminado = true; };
    return app;
}

} // namespace

void TstFrmHojaRuta::abreSobreLaBase() {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("hojaruta.db"));
    recursos::CreaBaseVacia(base);
    DialogoGuionado dialogo;
    bool terminado = false;
    auto app = aplicacion(dialogo, dir, base, terminado);
    FrmHojaRuta ventana(*app);
    QVERIFY(ventana.Form_Load());
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    QCOMPARE(ventana.windowTitle(), QStringLiteral("Planilla HojaRuta"));
    QVERIFY(!terminado);
    QVERIFY(app->db.gOpenFlag);
    // No run saved yet: the first one is offered, with an empty grid.
    QCOMPARE(ventana.Campo(QStringLiteral("Reparto"))->text(), QStringLiteral("1"));
    QCOMPARE(ventana.Grilla().filas(), 0);
}

void TstFrmHojaRuta::terminaSinConexion() {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::No); // "try again?" on the connection failure box
    bool terminado = false;
    auto app = aplicacion(dialogo, dir, dir.filePath(QStringLiteral("falta.db")), terminado);
    FrmHojaRuta ventana(*app);
    QVERIFY(!ventana.Form_Load());
    QVERIFY(terminado);
    QVERIFY(!ventana.isVisible());
}

namespace {

// The sheet open on a small database, shown and active, as a clerk finds it.
struct Hoja {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    explicit Hoja(const QString& parametro = {}) {
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        prueba::CreaBase(base, prueba::DatosDemo());
        app = prueba::Inicia(dialogo, dir, base, parametro);
        ventana = std::make_unique<FrmHojaRuta>(*app);
        if (!ventana->Form_Load())
            qFatal("no connection");
        ventana->resize(1100, 760);
        ventana->show();
        ventana->activateWindow();
        if (!QTest::qWaitForWindowActive(ventana.get()))
            qFatal("window not active");
    }
    QLineEdit* campo(const char* n) const { return ventana->Campo(QString::fromLatin1(n)); }
    QString texto(const char* n) const { return campo(n)->text(); }
    QString celda(int f, int c) const { return ventana->Grilla().texto(f, c); }
    QString etiqueta(const char* n) const {
        return ventana->Etiqueta(QString::fromLatin1(n))->text();
    }
    QString caja(const char* n) const {
        return ventana->findChild<QLineEdit*>(QString::fromLatin1(n))->text();
    }
    // Types into a field and confirms it with Enter.
    void confirma(const char* n, const QString& valor) {
        QLineEdit* c = campo(n);
        c->setFocus();
        c->selectAll();
        if (valor.isEmpty())
            QTest::keyClick(c, Qt::Key_Delete);
        else
            QTest::keyClicks(c, valor);
        QTest::keyClick(c, Qt::Key_Return);
    }
    void abre(const QString& numero) { confirma("Reparto", numero); }
    // Types as a clerk does: each key goes to whatever has the focus by then.
    static void tipea(QWidget* desde, const QString& texto) {
        QTest::keyClicks(desde, texto.left(1));
        if (texto.size() > 1)
            QTest::keyClicks(QApplication::focusWidget(), texto.mid(1));
    }
    QString ultimoMensaje() const {
        return dialogo.mostradas().isEmpty() ? QString() : dialogo.mostradas().last().texto;
    }
    int consulta(const QString& sql) {
        ado::Recordset rs;
        app->db.AbrirRecordset(sql, rs);
        return rs.Fields(0).Value().toInt();
    }
};

} // namespace

void TstFrmHojaRuta::esperaNumeroDeReparto() {
    Hoja h;
    QCOMPARE(h.texto("Reparto"), QStringLiteral("122"));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.campo("Reparto")));
    QVERIFY(!h.ventana->Existe());
    // Only active articles, by id, with empty quantities.
    QCOMPARE(h.ventana->Grilla().filas(), 2);
    QCOMPARE(h.celda(0, 0), QStringLiteral("A1 Salame"));
    QCOMPARE(h.celda(1, 0), QStringLiteral("A2 Queso"));
    QCOMPARE(h.celda(0, 1), QString());
    // Header, Gasto4, GastoMP and CuentaMP wait; the other expense fields stay open.
    for (const char* n : {"Fecha", "Clase", "KmFinal", "Gasto4", "GastoMP", "CuentaMP"})
        QVERIFY2(!h.campo(n)->isEnabled(), n);
    for (const char* n : {"Reparto", "Gasto1", "CuentaG4", "ImpRecaudado", "CC_Col1"})
        QVERIFY2(h.campo(n)->isEnabled(), n);
    QVERIFY(!h.ventana->VistaGrilla()->isEnabled());
    QVERIFY(!h.ventana->Barra()->EnEdicion());
    QVERIFY(h.ventana->Barra()->ModoNavegacion());
    // Columns: product 2460 twips; hidden ones carry the computed values.
    QTableView* v = h.ventana->VistaGrilla();
    QCOMPARE(v->columnWidth(0), 2460 * v->logicalDpiX() / 1440);
    QVERIFY(v->isColumnHidden(9));
    QVERIFY(v->columnWidth(1) > 0);
}

void TstFrmHojaRuta::abreRepartoGuardado() {
    Hoja h;
    h.abre(QStringLiteral("120"));
    QVERIFY(h.ventana->Existe());
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Perez"));
    QCOMPARE(h.texto("Fecha"), QStringLiteral("01/03/2024"));
    QCOMPARE(h.etiqueta("lblCuentaG1"), QStringLiteral("Combustible"));
    QCOMPARE(h.ventana->Grilla().filas(), 1);
    QCOMPARE(h.celda(0, 0), QStringLiteral("A1 Salame"));
    // Two sales of 3 kg are 6 sold; returns = loaded + reloaded - sold + came back.
    QCOMPARE(h.celda(0, 8), QStringLiteral("6"));
    QCOMPARE(h.celda(0, 7), QStringLiteral("6"));
    QCOMPARE(h.celda(0, 5), QStringLiteral("7"));
    QCOMPARE(h.celda(0, 6), QStringLiteral("7,5"));
    // Unit value 100 + 21% + 5 = 126; the line is worth 126 x 6 sold kg.
    QCOMPARE(h.ventana->Modelo().ValorItem(0), Currency::DesdeEscalado(1260000));
    QCOMPARE(h.celda(0, 14), QStringLiteral("756"));
    QCOMPARE(h.caja("TxtARecaudar"), QStringLiteral("1575,00"));
    QCOMPARE(h.caja("TxtTotGastos"), QStringLiteral("100,00"));
    QCOMPARE(h.caja("TxtTotal"), QStringLiteral("900,00"));
    QVERIFY(h.campo("Clase")->isEnabled());
    QVERIFY(h.ventana->Barra()->RepartoExistente());
    // The summaries: FC/A with 750 (the credit note is its own row), one CB collection.
    auto* comprobantes = h.ventana->findChild<QTableView*>(QStringLiteral("MSHFlexGrid1"))->model();
    QCOMPARE(comprobantes->rowCount(), 2);
    QCOMPARE(comprobantes->headerData(1, Qt::Horizontal).toString().toUpper(),
             QStringLiteral("LETRA"));
    auto* cobranzas = h.ventana->findChild<QTableView*>(QStringLiteral("MSHFlexGrid2"))->model();
    QCOMPARE(cobranzas->rowCount(), 1);
    QCOMPARE(cobranzas->index(0, 0).data().toString(), QStringLiteral("CB"));
    QCOMPARE(h.dialogo.mostradas().size(), 0);
}

void TstFrmHojaRuta::numeroInexistenteDaRepartoNuevo() {
    Hoja h;
    h.abre(QStringLiteral("500"));
    QVERIFY(!h.ventana->Existe());
    QCOMPARE(h.texto("Reparto"), QStringLiteral("122"));
    QCOMPARE(h.texto("Fecha"), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    QVERIFY(h.campo("Clase")->isEnabled());
    QVERIFY(h.ventana->VistaGrilla()->isEnabled());
    QVERIFY(!h.campo("GastoMP")->isEnabled());
    QVERIFY(h.ventana->Barra()->EnEdicion());
    QVERIFY(h.ventana->Barra()->ModoCarga());
    // Enter moved on to the date.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.campo("Fecha")));
}

void TstFrmHojaRuta::numeroInvalido_data() {
    QTest::addColumn<QString>("numero");
    QTest::newRow("letras") << QStringLiteral("12a");
    QTest::newRow("vacio") << QString();
}

void TstFrmHojaRuta::numeroInvalido() {
    QFETCH(QString, numero);
    Hoja h;
    h.dialogo.responde(plataforma::Respuesta::OK);
    h.abre(numero);
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Debe ingresar un valor numérico!!!"));
    QCOMPARE(h.dialogo.mostradas().last().titulo, QStringLiteral("Aviso al operador..."));
    QCOMPARE(h.dialogo.mostradas().last().estilo, 64);
    QVERIFY(!h.ventana->Existe());
    QVERIFY(!h.campo("Clase")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.campo("Reparto")));
}

void TstFrmHojaRuta::repartoFinalizado() {
    Hoja h;
    h.abre(QStringLiteral("121"));
    QCOMPARE(h.etiqueta("LblFinalizado"), QStringLiteral("Finalizado: 05/03/2024"));
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Gomez"));
    // A finalized run is shown, not edited: its fields take no typing, GRABAR and
    // "Finalizar" are off, and nothing of it is written again.
    QVERIFY(h.campo("Chofer")->isReadOnly());
    QVERIFY(!h.campo("Reparto")->isReadOnly());
    QVERIFY(!h.ventana->Barra()->Boton(QStringLiteral("GRABAR"))->isEnabled());
    QVERIFY(!h.ventana->findChild<QPushButton*>(QStringLiteral("cmdFinalizar"))->isEnabled());
    QTest::keyClick(h.campo("Chofer"), Qt::Key_X);
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Gomez"));
    h.ventana->Barvex1_ButtonClick(QStringLiteral("GRABAR"));
    QCOMPARE(h.texto("Reparto"), QStringLiteral("121"));
    QCOMPARE(h.consulta(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE Chofer = 'Gomez' "
                                       "AND FINALIZADO = '2024-03-05'")),
             1);
    // Another run makes the sheet editable again.
    h.abre(QStringLiteral("120"));
    QVERIFY(!h.campo("Chofer")->isReadOnly());
    QVERIFY(h.ventana->Barra()->Boton(QStringLiteral("GRABAR"))->isEnabled());
}

void TstFrmHojaRuta::parametroAdicionalAbreElReparto() {
    Hoja h(QStringLiteral("120"));
    QTRY_VERIFY(h.ventana->Existe());
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Perez"));
    QVERIFY(!h.ventana->Barra()->ModoCarga());
    QVERIFY(h.ventana->Barra()->ModoNavegacion());
}

void TstFrmHojaRuta::clase_data() {
    QTest::addColumn<QString>("clase");
    QTest::addColumn<bool>("vale");
    QTest::addColumn<QString>("precio"); // column 11 of the line afterwards
    QTest::newRow("vacia usa PRECIO1") << QString() << true << QStringLiteral("100");
    QTest::newRow("1") << QStringLiteral("1") << true << QStringLiteral("100");
    QTest::newRow("3") << QStringLiteral("3") << true << QStringLiteral("300");
    QTest::newRow("5") << QStringLiteral("5") << true << QStringLiteral("500");
    QTest::newRow("0") << QStringLiteral("0") << false << QStringLiteral("100");
    QTest::newRow("6") << QStringLiteral("6") << false << QStringLiteral("100");
    QTest::newRow("letra") << QStringLiteral("A") << false << QStringLiteral("100");
    QTest::newRow("fraccion") << QStringLiteral("2.5") << false << QStringLiteral("100");
}

void TstFrmHojaRuta::clase() {
    QFETCH(QString, clase);
    QFETCH(bool, vale);
    QFETCH(QString, precio);
    Hoja h;
    h.abre(QStringLiteral("120"));
    if (!vale)
        h.dialogo.responde(plataforma::Respuesta::OK);
    h.confirma("Clase", clase);
    QCOMPARE(h.ventana->HayError(), !vale);
    if (!vale) {
        QCOMPARE(h.ultimoMensaje(), QStringLiteral("Debe ingresar un número entre 1 y 5 !!!"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.campo("Clase")));
    }
    QCOMPARE(h.celda(0, 11), precio);
}

void TstFrmHojaRuta::cuentas_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<QString>("etiqueta");
    QTest::addColumn<QString>("textoEtiqueta");
    const QString gastos =
        QStringLiteral("Debe ingresar una cuenta que no sea cuenta título y que sea de gastos!!!");
    const QString medios = QStringLiteral(
        "Debe ingresar una cuenta que no sea cuenta título y que sea de medios de pago!!!");
    QTest::newRow("gasto aceptada") << "CuentaG2"
                                    << "5.1.1" << QString() << "lblCuentaG2"
                                    << "Combustible";
    QTest::newRow("titulo rechazada") << "CuentaG2"
                                      << "5.1" << gastos << "lblCuentaG2"
                                      << "...";
    QTest::newRow("medio de pago como gasto") << "CuentaG3"
                                              << "1.1.1" << gastos << "lblCuentaG3"
                                              << "...";
    QTest::newRow("apostrofo") << "CuentaG1"
                               << "5'1" << gastos << "lblCuentaG1"
                               << "...";
    QTest::newRow("gasto como medio de pago") << "CuentaMP"
                                              << "5.1.1" << medios << "lblCuentaPag"
                                              << "...";
    QTest::newRow("medio de pago aceptado") << "CuentaMP"
                                            << "1.1.1" << QString() << "lblCuentaPag"
                                            << "Caja";
    QTest::newRow("vacia deja la etiqueta") << "CuentaG1"
                                            << "" << QString() << "lblCuentaG1"
                                            << "Combustible";
}

void TstFrmHojaRuta::cuentas() {
    QFETCH(QString, campo);
    QFETCH(QString, codigo);
    QFETCH(QString, mensaje);
    QFETCH(QString, etiqueta);
    QFETCH(QString, textoEtiqueta);
    Hoja h;
    h.abre(QStringLiteral("120"));
    h.campo("Gasto2")->setText(QStringLiteral("50"));
    h.campo("Gasto4")->setText(QStringLiteral("25,5"));
    if (!mensaje.isEmpty())
        h.dialogo.responde(plataforma::Respuesta::OK);
    h.confirma(campo.toLatin1().constData(), codigo);
    QCOMPARE(h.ultimoMensaje(), mensaje);
    QCOMPARE(h.etiqueta(etiqueta.toLatin1().constData()), textoEtiqueta);
    if (campo == QLatin1String("CuentaMP") && mensaje.isEmpty())
        QCOMPARE(h.texto("GastoMP"), QStringLiteral("175,5")); // 100 + 50 + 0 + 25,5
}

void TstFrmHojaRuta::totales() {
    Hoja h;
    h.abre(QStringLiteral("500"));
    h.campo("Gasto1")->setText(QStringLiteral("100"));
    h.campo("Gasto2")->setText(QStringLiteral("50"));
    h.campo("Gasto4")->setText(QStringLiteral("25"));
    h.confirma("ImpRecaudado", QStringLiteral("1000"));
    QCOMPARE(h.caja("TxtTotGastos"), QStringLiteral("175,00"));
    QCOMPARE(h.caja("TxtTotal"), QStringLiteral("825,00"));
    h.confirma("ImpRecaudado", QStringLiteral("100"));
    QCOMPARE(h.caja("TxtTotal"), QStringLiteral("-75,00"));
}

void TstFrmHojaRuta::rubros() {
    Hoja h;
    h.confirma("CC_Col1", QStringLiteral("1,2"));
    QCOMPARE(h.texto("CC_Col1"), QStringLiteral("'   1','   2'"));
    QCOMPARE(h.app->cfg.Cfg(QStringLiteral("CC_Col1")), QStringLiteral("'   1','   2'"));
    h.dialogo.responde(plataforma::Respuesta::OK);
    h.confirma("CC_Col1", QStringLiteral("9"));
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("El código de artículo es inexistente!!!"));
    // Only rubro 2 on a fresh grid; an unknown rubro lists every active article.
    h.campo("CC_Col1")->setText(QStringLiteral("2"));
    h.ventana->ArmaGrilla(true);
    QCOMPARE(h.ventana->Grilla().filas(), 1);
    QCOMPARE(h.celda(0, 0), QStringLiteral("A2 Queso"));
    h.dialogo.responde(plataforma::Respuesta::OK);
    h.campo("CC_Col1")->setText(QStringLiteral("9"));
    h.ventana->ArmaGrilla(true);
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Error en los filtros por rubros, verifique la "
                                               "configuracion de rubros para repartos"));
    QCOMPARE(h.celda(0, 0), QStringLiteral("A1 Salame"));
    QCOMPARE(h.texto("CC_Col1"), QStringLiteral("'   9'"));
}

void TstFrmHojaRuta::edicionDeCeldas() {
    Hoja h;
    h.abre(QStringLiteral("500"));
    QTableView* grilla = h.ventana->VistaGrilla();
    QLineEdit* editor = h.ventana->txtEditCC();
    // Any key in KmFinal hands over to the first line's Carga Uds.
    h.campo("KmFinal")->setFocus();
    QTest::keyClick(h.campo("KmFinal"), Qt::Key_5);
    QCOMPARE(grilla->currentIndex().row(), 0);
    QCOMPARE(grilla->currentIndex().column(), 1);
    grilla->setFocus();
    QTest::keyClicks(grilla, QStringLiteral("1"));
    QVERIFY(editor->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(editor));
    QTest::keyClicks(editor, QStringLiteral("2"));
    QCOMPARE(editor->property("DataField").toString(), QStringLiteral("Cargas_CarCantUD"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.celda(0, 1), QStringLiteral("12"));
    QCOMPARE(h.celda(0, 5), QStringLiteral("12"));
    QCOMPARE(grilla->currentIndex().column(), 2);
    QVERIFY(!editor->isVisible());
    // A decimal comma counts whole in the returns column.
    Hoja::tipea(grilla, QStringLiteral("12,5"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.celda(0, 6), QStringLiteral("12,5"));
    QCOMPARE(h.caja("TxtARecaudar"), QStringLiteral("1575,00")); // 12,5 kg x 126
    // Enter after Recarga Kgs. goes to the next line's Carga Uds.
    QTest::keyClicks(grilla, QStringLiteral("2"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(grilla, QStringLiteral("1"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grilla->currentIndex().row(), 1);
    QCOMPARE(grilla->currentIndex().column(), 1);
    QCOMPARE(h.celda(0, 5), QStringLiteral("14"));
    // An emptied cell is accepted as 0.
    QTest::keyClick(grilla, Qt::Key_Space);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.celda(1, 1), QString());
    // On the last line, Enter in Recarga Kgs. stays.
    grilla->setCurrentIndex(h.ventana->Grilla().index(1, 4));
    QTest::keyClicks(grilla, QStringLiteral("3"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grilla->currentIndex().row(), 1);
    QCOMPARE(grilla->currentIndex().column(), 4);
    // Typing over the computed columns does nothing.
    for (int col : {5, 7}) {
        grilla->setCurrentIndex(h.ventana->Grilla().index(0, col));
        grilla->setFocus();
        QTest::keyClicks(grilla, QStringLiteral("9"));
        QVERIFY(!editor->isVisible());
    }
    QCOMPARE(h.celda(0, 5), QStringLiteral("14"));
    QCOMPARE(h.dialogo.mostradas().size(), 0);
}

void TstFrmHojaRuta::letraEnCantidad() {
    Hoja h;
    h.abre(QStringLiteral("500"));
    QTableView* grilla = h.ventana->VistaGrilla();
    QLineEdit* editor = h.ventana->txtEditCC();
    grilla->setCurrentIndex(h.ventana->Grilla().index(0, 2));
    grilla->setFocus();
    QTest::keyClicks(grilla, QStringLiteral("x"));
    QCOMPARE(editor->text(), QStringLiteral("x"));
    h.dialogo.responde(plataforma::Respuesta::OK);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Debe ingresar una cantidad!!!"));
    QCOMPARE(h.celda(0, 2), QStringLiteral("x"));
    QVERIFY(editor->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(editor));
    QCOMPARE(grilla->currentIndex().column(), 2);
}

void TstFrmHojaRuta::grabarValidaLaFecha() {
    Hoja h;
    h.abre(QStringLiteral("500"));
    h.confirma("Fecha", QStringLiteral("31/02/2024")); // accepted while typing
    QCOMPARE(h.dialogo.mostradas().size(), 0);
    h.dialogo.responde(plataforma::Respuesta::OK);
    h.ventana->Barvex1_ButtonClick(QStringLiteral("grabar"));
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Debe ingresar un formato de fecha válido!!!"));
    QVERIFY(h.campo("Clase")->isEnabled()); // still the new run
    QVERIFY(!h.ventana->Grabando());
    h.campo("Fecha")->setText(QStringLiteral("29/02/2024"));
    QTest::keyClick(h.campo("Fecha"), Qt::Key_F2); // the toolbar's GRABAR
    QVERIFY(!h.campo("Clase")->isEnabled());       // back to waiting for a number
    QCOMPARE(h.texto("Reparto"), QStringLiteral("123"));
    // The run was saved with the corrected date.
    QCOMPARE(h.consulta(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = 122 "
                                       "AND Fecha = '2024-02-29'")),
             1);
}

void TstFrmHojaRuta::finalizarRespondidoNo() {
    Hoja h;
    h.abre(QStringLiteral("120"));
    h.campo("Chofer")->setText(QStringLiteral("Cambiado"));
    h.dialogo.responde(plataforma::Respuesta::No);
    QTest::mouseClick(h.ventana->findChild<QPushButton*>(QStringLiteral("cmdFinalizar")),
                      Qt::LeftButton);
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    QCOMPARE(h.ultimoMensaje(),
             QStringLiteral("Recuerde: Una vez finalizado el Reparto NO SE PODRA "
                            "MODIFICAR!\r\n-Confirma...?"));
    QCOMPARE(h.dialogo.mostradas().last().titulo, QStringLiteral("-Atención!"));
    QCOMPARE(h.dialogo.mostradas().last().estilo, 4 + 32 + 256);
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Cambiado"));
    QVERIFY(h.ventana->Existe());
    QVERIFY(!h.ventana->Finalizando());
}

void TstFrmHojaRuta::cancelarNuevoYBorrar() {
    Hoja h;
    h.abre(QStringLiteral("120"));
    for (const char* k : {"NUEVO", "BORRAR"}) {
        h.ventana->Barvex1_ButtonClick(QString::fromLatin1(k));
        QCOMPARE(h.texto("Chofer"), QStringLiteral("Perez"));
        QVERIFY(h.ventana->Existe());
    }
    h.ventana->Barvex1_ButtonClick(QStringLiteral("CANCELAR"));
    QVERIFY(!h.ventana->Existe());
    QCOMPARE(h.texto("Reparto"), QStringLiteral("122"));
    QCOMPARE(h.texto("Chofer"), QString());
    QCOMPARE(h.ventana->Grilla().filas(), 2); // the article list again
    QCOMPARE(h.etiqueta("lblCuentaG1"), QString());
}

void TstFrmHojaRuta::entradaMalFormadaNoRompeLaHoja() {
    Hoja h;
    h.abre(QStringLiteral("120"));
    QVERIFY(h.ventana->Existe());
    h.dialogo.respondeSiempre(plataforma::Respuesta::OK);
    const QStringList malos{QStringLiteral("O'Brien'; DROP TABLE MV_REPARTO; --"),
                            QString(3000, u'9'),
                            QStringLiteral("数量 Ωμέγα ñandú"),
                            QStringLiteral("-99999999999999999999"),
                            QStringLiteral("1e308"),
                            QStringLiteral("'"),
                            QString()};
    const char* campos[] = {"Fecha",         "Clase",    "Vehiculo",     "Chofer",  "KmInicial",
                            "Observaciones", "KmFinal",  "CuentaG1",     "Gasto1",  "CuentaG2",
                            "Gasto2",        "CuentaMP", "ImpRecaudado", "CC_Col1", "Reparto"};
    for (const char* nombre : campos) {
        for (const QString& valor : malos) {
            QLineEdit* c = h.campo(nombre);
            if (!c->isEnabled() || c->isReadOnly())
                continue;
            // Key by key, with the text each key carries: QTest::keyClicks takes Latin-1 only.
            c->setFocus();
            c->selectAll();
            QTest::keyClick(c, Qt::Key_Delete);
            for (QChar letra : valor) {
                QKeyEvent pulsa(QEvent::KeyPress, 0, Qt::NoModifier, QString(letra));
                QApplication::sendEvent(QApplication::focusWidget(), &pulsa);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            // What a field holds never exceeds what its column can take.
            QVERIFY2(c->text().size() <= c->maxLength(), nombre);
        }
    }
    // Nothing was written behind the operator's back, and the sheet still works.
    QCOMPARE(h.consulta(QStringLiteral("SELECT count(*) FROM MV_REPARTO")), 2);
    QCOMPARE(h.consulta(QStringLiteral("SELECT count(*) FROM MV_REPARTODET")), 1);
    h.dialogo.respondeSiempre(plataforma::Respuesta::Yes); // discard what was typed
    QTest::keyClick(h.ventana.get(), Qt::Key_F5);
    h.abre(QStringLiteral("120"));
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Perez"));
    QCOMPARE(h.celda(0, 8), QStringLiteral("6"));
}

QTEST_MAIN(TstFrmHojaRuta)
#include "tst_frmhojaruta.moc"
