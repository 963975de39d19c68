// A clerk at the keyboard on a fresh database: what was typed is never lost, and
// nothing is written to a run the clerk did not open.

#include "BaseHoja.h"
#include "VentanaHoja.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

class TstEscenariosHoja : public QObject {
    Q_OBJECT

private slots:
    void numeroSinConfirmarNoGrabaOtroReparto_data();
    void numeroSinConfirmarNoGrabaOtroReparto();
    void cambiosSinGrabarSePreguntan_data();
    void cambiosSinGrabarSePreguntan();
    void activarDeNuevoNoRecarga();
    void numerosComoSeVen();
    void claseVaciaNoPierdeLineas();
    void articuloDadoDeBaja();
    void todoConElTeclado();
    void pegadoQueNoEntra_data();
    void pegadoQueNoEntra();
    void otroPuestoGraboAntes_data();
    void otroPuestoGraboAntes();
    void ventanaQueSeAdapta();
};

namespace {

using plataforma::Respuesta;

struct Hoja {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    explicit Hoja(const QString& parametro = {}, const QString& datos = {}) {
        prueba::CreaBase(base(), prueba::DatosDemo() + u'\n' + datos);
        abre(base(), parametro);
    }
    // Another workstation on the same database.
    explicit Hoja(const Hoja& otra) { abre(otra.base(), {}); }
    QString base() const { return dir.filePath(QStringLiteral("hoja.db")); }
    void abre(const QString& base, const QString& parametro) {
        app = prueba::Inicia(dialogo, dir, base, parametro);
        ventana = prueba::VentanaActiva(*app);
    }
    QLineEdit* campo(const char* n) const { return ventana->Campo(QString::fromLatin1(n)); }
    QString texto(const char* n) const { return campo(n)->text(); }
    void escribe(const char* n, const QString& valor) {
        QLineEdit* c = campo(n);
        c->setFocus();
        c->selectAll();
        QTest::keyClick(c, Qt::Key_Delete);
        QTest::keyClicks(c, valor);
    }
    void confirma(const char* n, const QString& valor) {
        escribe(n, valor);
        QTest::keyClick(campo(n), Qt::Key_Return);
    }
    int cuenta(const QString& sql) {
        ado::Recordset rs;
        app->db.AbrirRecordset(sql, rs);
        return rs.Fields(0).Value().toInt();
    }
    // Types into the focused widget key by key, as a clerk does.
    static void teclea(const QString& texto) {
        for (QChar c : texto) {
            QKeyEvent pulsa(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &pulsa);
        }
    }
    static void tecla(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), m);
    }
    QString celda(int f, int c) const { return ventana->Grilla().texto(f, c); }
    QString valor(const QString& sql) {
        ado::Recordset rs;
        app->db.AbrirRecordset(sql, rs);
        return rs.Eof() ? QString() : rs.Fields(0).Value().toString();
    }
    QString ultimaCaja() const {
        return dialogo.mostradas().isEmpty() ? QString() : dialogo.mostradas().last().texto;
    }
};

} // namespace

void TstEscenariosHoja::numeroSinConfirmarNoGrabaOtroReparto_data() {
    QTest::addColumn<QString>("abierto"); // confirmed with Enter: an existing run, or a new one
    QTest::addColumn<QString>("tipeado"); // typed afterwards, without Enter
    QTest::addColumn<QString>("grabado"); // the run the second F2 writes
    QTest::newRow("otro reparto existente") << "120"
                                            << "121"
                                            << "120";
    QTest::newRow("numero nuevo mas alla del ultimo") << "500"
                                                      << "900"
                                                      << "122";
}

void TstEscenariosHoja::numeroSinConfirmarNoGrabaOtroReparto() {
    QFETCH(QString, abierto);
    QFETCH(QString, tipeado);
    QFETCH(QString, grabado);
    Hoja h;
    h.confirma("Reparto", abierto);
    h.confirma("Chofer", QStringLiteral("Tipeado"));
    h.escribe("Reparto", tipeado);
    // F2 confirms the number first, as Enter would: the clerk keeps the sheet.
    h.dialogo.responde(Respuesta::No);
    QTest::keyClick(h.ventana.get(), Qt::Key_F2);
    QCOMPARE(h.ultimaCaja(), QStringLiteral("¿Descarta los cambios del reparto %1?").arg(grabado));
    QCOMPARE(h.texto("Reparto"), grabado);
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Tipeado"));
    QCOMPARE(h.cuenta(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE Chofer = 'Tipeado'")),
             0);
    // Now the save writes the run on screen, under its own number, and nothing else.
    QTest::keyClick(h.ventana.get(), Qt::Key_F2);
    QCOMPARE(h.cuenta(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE Chofer = 'Tipeado' "
                                     "AND IdReparto = %1")
                          .arg(grabado)),
             1);
    QCOMPARE(
        h.cuenta(
            QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = %1").arg(tipeado)),
        tipeado == QLatin1String("121") ? 1 : 0);
    QCOMPARE(h.cuenta(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = 121 AND "
                                     "Chofer = 'Gomez'")),
             1);
}

void TstEscenariosHoja::cambiosSinGrabarSePreguntan_data() {
    QTest::addColumn<int>("accion"); // 0 CANCELAR (F5), 1 Enter on the same run, 2 closing
    QTest::newRow("cancelar") << 0;
    QTest::newRow("enter en el mismo reparto") << 1;
    QTest::newRow("cerrar la ventana") << 2;
}

void TstEscenariosHoja::cambiosSinGrabarSePreguntan() {
    QFETCH(int, accion);
    Hoja h;
    h.confirma("Reparto", QStringLiteral("120"));
    QCOMPARE(h.ventana->windowTitle(), QStringLiteral("Planilla HojaRuta"));
    h.escribe("Chofer", QStringLiteral("Nuevo"));
    QCOMPARE(h.ventana->windowTitle(), QStringLiteral("Planilla HojaRuta *"));
    const auto actua = [&] {
        if (accion == 0)
            QTest::keyClick(h.ventana.get(), Qt::Key_F5);
        else if (accion == 1)
            h.confirma("Reparto", QStringLiteral("120"));
        else
            h.ventana->close();
    };
    h.dialogo.responde(Respuesta::No);
    actua();
    QCOMPARE(h.ultimaCaja(), QStringLiteral("¿Descarta los cambios del reparto 120?"));
    QCOMPARE(h.dialogo.mostradas().last().estilo, 4 + 32 + 256); // Sí / No, No by default
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Nuevo"));
    QCOMPARE(h.texto("Reparto"), QStringLiteral("120"));
    QVERIFY(h.ventana->isVisible());
    h.dialogo.responde(Respuesta::Yes);
    actua();
    if (accion == 2) {
        QVERIFY(!h.ventana->isVisible());
        return;
    }
    QCOMPARE(h.texto("Chofer"), accion == 0 ? QString() : QStringLiteral("Perez"));
    QCOMPARE(h.ventana->windowTitle(), QStringLiteral("Planilla HojaRuta"));
    QCOMPARE(h.cuenta(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE Chofer = 'Nuevo'")), 0);
}

void TstEscenariosHoja::activarDeNuevoNoRecarga() {
    // Started from the suite's menu on run 120: switching windows keeps what was typed.
    Hoja h(QStringLiteral("120"));
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Perez"));
    h.escribe("Chofer", QStringLiteral("Otro"));
    QWidget otra;
    otra.show();
    otra.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&otra));
    h.ventana->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h.ventana.get()));
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Otro"));
    QVERIFY(h.dialogo.mostradas().isEmpty());
}

void TstEscenariosHoja::numerosComoSeVen() {
    // "1.500" kilograms read as 1500 on screen must be 1500 in the table too.
    Hoja h;
    h.confirma("Reparto", QStringLiteral("120"));
    h.ventana->VistaGrilla()->setFocus();
    h.ventana->VistaGrilla()->setCurrentIndex(h.ventana->Grilla().index(0, 2));
    Hoja::teclea(QStringLiteral("1.500"));
    Hoja::tecla(Qt::Key_Return);
    QCOMPARE(h.celda(0, 2), QStringLiteral("1500"));
    QCOMPARE(h.celda(0, 6), QStringLiteral("1497,5")); // 1500 + 2,5 - 6 sold + 1 back
    QTest::keyClick(h.ventana.get(), Qt::Key_F2);
    QCOMPARE(h.valor(QStringLiteral("SELECT Cantidad FROM MV_REPARTODET WHERE IdReparto = 120")),
             QStringLiteral("1500"));
    QCOMPARE(
        h.valor(QStringLiteral("SELECT DEV_CANTIDAD FROM MV_REPARTODET WHERE IdReparto = 120")),
        QStringLiteral("1497.5"));
}

void TstEscenariosHoja::claseVaciaNoPierdeLineas() {
    // Run 130 was stored with class 0, as the suite stores an empty class, and two lines.
    Hoja h({}, QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES "
                              "(130,'2024-03-09',0); INSERT INTO MV_REPARTODET (IdReparto, "
                              "IdArticulo, CantidadUD, Cantidad) VALUES (130,'%1',3,3), "
                              "(130,'%2',4,4);")
                   .arg(prueba::art(QStringLiteral("A1")), prueba::art(QStringLiteral("A2"))));
    h.confirma("Reparto", QStringLiteral("130"));
    QCOMPARE(h.texto("Clase"), QString());
    QCOMPARE(h.ventana->Grilla().filas(), 2);
    QCOMPARE(h.celda(1, 11), QStringLiteral("50")); // PRECIO1, as for an empty class
    QTest::keyClick(h.ventana.get(), Qt::Key_F2);
    QCOMPARE(h.valor(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTODET WHERE IdReparto = 130 "
                                    "AND Cantidad > 0")),
             QStringLiteral("2"));
    QCOMPARE(h.valor(QStringLiteral("SELECT Clase FROM MV_REPARTO WHERE IdReparto = 130")),
             QStringLiteral("0"));
}

void TstEscenariosHoja::articuloDadoDeBaja() {
    // Run 131 has a line of an article the master no longer has, after one that it has.
    Hoja h({}, QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES "
                              "(131,'2024-03-09',1); INSERT INTO MV_REPARTODET (IdReparto, "
                              "IdArticulo, Descripcion, CantidadUD, Cantidad, Costo, "
                              "Importe_S_Iva, aliciva, Impuestos) VALUES "
                              "(131,'%1','A1 Salame',1,1,60,100,21,5), "
                              "(131,'%2','ZZ Viejo',2,2,7,10,0,0);")
                   .arg(prueba::art(QStringLiteral("A1")), prueba::art(QStringLiteral("ZZ"))));
    h.confirma("Reparto", QStringLiteral("131"));
    QCOMPARE(h.ventana->Grilla().filas(), 2);
    QCOMPARE(h.celda(1, 0), QStringLiteral("ZZ Viejo"));
    QCOMPARE(h.celda(1, 9).trimmed(), QStringLiteral("ZZ"));
    QCOMPARE(h.celda(1, 11), QStringLiteral("10"));
    QVERIFY(!h.ventana->Grilla().aviso(1).isEmpty());
    QVERIFY(h.ventana->Grilla().aviso(0).isEmpty());
    QTest::keyClick(h.ventana.get(), Qt::Key_F2);
    QCOMPARE(h.valor(QStringLiteral("SELECT Descripcion || '|' || Importe_S_Iva FROM "
                                    "MV_REPARTODET WHERE IdReparto = 131 AND "
                                    "trim(IdArticulo) = 'ZZ'")),
             QStringLiteral("ZZ Viejo|10"));
}

void TstEscenariosHoja::todoConElTeclado() {
    // Header, grid and expenses without the mouse: Enter through the header, into
    // the grid from "Fin", Tab out to the first account, Shift+Tab back.
    Hoja h;
    h.confirma("Reparto", QStringLiteral("500"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.campo("Fecha")));
    for (const char* valor : {"15/03/2024", "1", "AB1", "Ana", "100", "", "150"}) {
        Hoja::teclea(QString::fromLatin1(valor));
        Hoja::tecla(Qt::Key_Return);
    }
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.ventana->VistaGrilla()));
    QCOMPARE(h.ventana->VistaGrilla()->currentIndex(), h.ventana->Grilla().index(0, 1));
    Hoja::teclea(QStringLiteral("7"));
    Hoja::tecla(Qt::Key_Return);
    QCOMPARE(h.celda(0, 1), QStringLiteral("7"));
    Hoja::tecla(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.campo("CuentaG1")));
    Hoja::tecla(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.ventana->VistaGrilla()));
    Hoja::tecla(Qt::Key_Tab);
    QTest::keyClick(h.ventana.get(), Qt::Key_F2);
    QCOMPARE(h.valor(QStringLiteral("SELECT Chofer || '|' || KmFinal FROM MV_REPARTO WHERE "
                                    "IdReparto = 122")),
             QStringLiteral("Ana|150"));
    QCOMPARE(h.valor(QStringLiteral("SELECT CantidadUD FROM MV_REPARTODET WHERE IdReparto = 122 "
                                    "AND trim(IdArticulo) = 'A1'")),
             QStringLiteral("7"));
}

void TstEscenariosHoja::pegadoQueNoEntra_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("pegado");
    QTest::addColumn<QString>("queda"); // what the field holds afterwards
    QTest::newRow("mas largo que el campo") << "Vehiculo"
                                            << "ABC1234567"
                                            << "AB1";
    QTest::newRow("letras en un importe") << "Gasto1"
                                          << "12x"
                                          << "5";
    QTest::newRow("entra") << "Vehiculo"
                           << "XY9"
                           << "XY9";
}

void TstEscenariosHoja::pegadoQueNoEntra() {
    QFETCH(QString, campo);
    QFETCH(QString, pegado);
    QFETCH(QString, queda);
    Hoja h;
    h.confirma("Reparto", QStringLiteral("500"));
    const QByteArray nombre = campo.toLatin1();
    h.escribe(nombre.constData(),
              campo == QLatin1String("Gasto1") ? QStringLiteral("5") : QStringLiteral("AB1"));
    QGuiApplication::clipboard()->setText(pegado);
    if (queda != pegado)
        h.dialogo.responde(Respuesta::OK);
    else
        h.campo(nombre.constData())->selectAll();
    QTest::keyClick(h.campo(nombre.constData()), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h.texto(nombre.constData()), queda);
    QCOMPARE(h.dialogo.mostradas().size(), queda != pegado ? 1 : 0);
}

void TstEscenariosHoja::otroPuestoGraboAntes_data() {
    QTest::addColumn<QString>("numero"); // opened at both workstations
    QTest::addColumn<QString>("pregunta");
    QTest::addColumn<QString>("chofer"); // this workstation's sheet after answering Sí
    QTest::newRow("reparto existente")
        << "120"
        << "El reparto 120 fue modificado en otro puesto desde que se abrió en esta hoja: no se "
           "grabó nada. ¿Lo vuelve a abrir? Se descartan los cambios de esta hoja."
        << "DelOtro";
    QTest::newRow("numero nuevo") << "122"
                                  << "El número de reparto 122 ya fue grabado en otro puesto: no "
                                     "se grabó nada. ¿Graba este reparto con el número 123?"
                                  << "";
}

void TstEscenariosHoja::otroPuestoGraboAntes() {
    QFETCH(QString, numero);
    QFETCH(QString, pregunta);
    QFETCH(QString, chofer);
    Hoja a;
    Hoja b(a);
    a.confirma("Reparto", numero);
    b.confirma("Reparto", numero);
    b.confirma("Chofer", QStringLiteral("DelOtro"));
    QTest::keyClick(b.ventana.get(), Qt::Key_F2);
    a.confirma("Chofer", QStringLiteral("DeEste"));
    const QString choferes = QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE Chofer = '%1'");

    // No: nothing is written and the sheet stays as typed.
    a.dialogo.responde(Respuesta::No);
    QTest::keyClick(a.ventana.get(), Qt::Key_F2);
    QCOMPARE(a.ultimaCaja(), pregunta);
    QCOMPARE(a.texto("Chofer"), QStringLiteral("DeEste"));
    QVERIFY(a.ventana->windowTitle().contains(u'*'));
    QCOMPARE(a.cuenta(choferes.arg(QStringLiteral("DeEste"))), 0);
    QCOMPARE(a.cuenta(choferes.arg(QStringLiteral("DelOtro"))), 1);

    // Sí: an existing run is opened again as stored; a new one takes the next number.
    a.dialogo.responde(Respuesta::Yes);
    QTest::keyClick(a.ventana.get(), Qt::Key_F2);
    QCOMPARE(a.ultimaCaja(), pregunta);
    QCOMPARE(a.cuenta(choferes.arg(QStringLiteral("DelOtro"))), 1);
    if (chofer.isEmpty()) {
        QCOMPARE(
            a.cuenta(QStringLiteral(
                "SELECT COUNT(*) FROM MV_REPARTO WHERE Chofer = 'DeEste' AND IdReparto = 123")),
            1);
    } else {
        QCOMPARE(a.texto("Chofer"), chofer);
        QCOMPARE(a.texto("Reparto"), numero);
        QVERIFY(!a.ventana->windowTitle().contains(u'*'));
    }
}

void TstEscenariosHoja::ventanaQueSeAdapta() {
    QTemporaryDir usuario;
    std::optional<QRect> guardada;
    int producto = 0;
    {
        Hoja h;
        h.ventana->setCarpetaRecuperacion(usuario.path());
        h.ventana->RecuerdaVentana();
        h.confirma("Reparto", QStringLiteral("120"));
        // Amounts in the money format of the totals, loaded or typed; loading is no change.
        QCOMPARE(h.texto("Gasto1"), QStringLiteral("100,00"));
        QVERIFY(!h.ventana->windowTitle().contains(u'*'));
        h.confirma("ImpRecaudado", QStringLiteral("1250,5"));
        QCOMPARE(h.texto("ImpRecaudado"), QStringLiteral("1250,50"));
        // As narrow as the window goes, no figure is cut (a cut "12345678,90" would
        // read as another amount); free texts may scroll.
        h.confirma("Gasto1", QStringLiteral("12345678,9"));
        h.ventana->resize(h.ventana->minimumSizeHint());
        QTest::qWait(50);
        for (QLineEdit* caja : h.ventana->findChildren<QLineEdit*>()) {
            const QString n = caja->objectName();
            const bool libre =
                n == QLatin1String("txtFields_4") || n == QLatin1String("txtFields_7") ||
                n == QLatin1String("txtFields_8") || n == QLatin1String("txtFields_9");
            if (libre || caja->text().isEmpty() || !caja->isVisible())
                continue;
            QVERIFY2(caja->fontMetrics().horizontalAdvance(caja->text()) + 6 <= caja->width(),
                     qPrintable(n + u' ' + caja->text()));
        }
        // Every field is named for a screen reader: by its caption, or by what it holds.
        QCOMPARE(h.campo("Chofer")->accessibleName(), QStringLiteral("Chofer"));
        QCOMPARE(h.ventana->findChild<QLabel*>(QStringLiteral("lblChofer"))->buddy(),
                 static_cast<QWidget*>(h.campo("Chofer")));
        for (QLineEdit* caja : h.ventana->findChildren<QLineEdit*>())
            if (caja->objectName().startsWith(QLatin1String("txtFields_")) ||
                caja->objectName().startsWith(QLatin1String("TxtTot")))
                QVERIFY2(!caja->accessibleName().isEmpty(), qPrintable(caja->objectName()));
        // A larger window: the grid takes the height, the product column more width, and
        // the whole description is in the tooltip.
        auto* grilla = h.ventana->findChild<QTableView*>(QStringLiteral("MSFlexGrid2"));
        h.ventana->resize(1280, 800);
        QTest::qWait(50);
        const int alto = grilla->height();
        producto = grilla->columnWidth(0);
        h.ventana->resize(1900, 1050);
        QTest::qWait(50);
        QVERIFY(grilla->height() > alto + 150);
        QVERIFY(grilla->columnWidth(0) > producto);
        const QModelIndex celda = grilla->model()->index(0, 0);
        QCOMPARE(celda.data(Qt::ToolTipRole).toString(), celda.data().toString());
        // The clerk drags the product column's edge on its caption 150 pixels right;
        // the caption follows the column.
        auto* titulo = h.ventana->findChild<QLabel*>(QStringLiteral("lblTitProducto"));
        const QPoint borde(titulo->width() - 1, titulo->height() / 2);
        const int antes = grilla->columnWidth(0);
        QTest::mousePress(titulo, Qt::LeftButton, {}, borde);
        QTest::mouseMove(titulo, borde + QPoint(150, 0));
        QTest::mouseRelease(titulo, Qt::LeftButton, {}, borde + QPoint(150, 0));
        QVERIFY2(std::abs(grilla->columnWidth(0) - antes - 150) <= 2,
                 qPrintable(QString::number(grilla->columnWidth(0) - antes)));
        QCOMPARE(titulo->width(), grilla->columnWidth(0));
        producto = grilla->columnWidth(0);
        // A save says so in the status bar.
        h.confirma("Chofer", QStringLiteral("Otro"));
        QTest::keyClick(h.ventana.get(), Qt::Key_F2);
        QVERIFY2(h.ventana->statusBar()->currentMessage().startsWith(
                     QStringLiteral("Reparto 120 grabado a las ")),
                 qPrintable(h.ventana->statusBar()->currentMessage()));
        guardada = h.ventana->geometry();
        h.ventana->close();
    }
    // The next start opens the window as the user left it, the product column too.
    Hoja otra;
    otra.ventana->setCarpetaRecuperacion(usuario.path());
    otra.ventana->RecuerdaVentana();
    QCOMPARE(otra.ventana->size(), guardada->size());
    QTest::qWait(50);
    const auto* grilla = otra.ventana->findChild<QTableView*>(QStringLiteral("MSFlexGrid2"));
    QVERIFY2(std::abs(grilla->columnWidth(0) - producto) <= 2,
             qPrintable(QString::number(grilla->columnWidth(0) - producto)));
}

QTEST_MAIN(TstEscenariosHoja)
#include "tst_escenarios_hoja.moc"
