// A clerk at the keyboard on a fresh database: what was typed is never lost, and
// nothing is written to a run the clerk did not open.

#include "BaseHoja.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

class TstEscenariosHoja : public QObject {
    Q_OBJECT

private slots:
    void numeroSinConfirmarNoGrabaOtroReparto_data();
    void numeroSinConfirmarNoGrabaOtroReparto();
    void cambiosSinGrabarSePreguntan_data();
    void cambiosSinGrabarSePreguntan();
    void activarDeNuevoNoRecarga();
};

namespace {

using plataforma::Respuesta;

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
        ventana->show();
        ventana->activateWindow();
        if (!QTest::qWaitForWindowActive(ventana.get()))
            qFatal("window not active");
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

QTEST_MAIN(TstEscenariosHoja)
#include "tst_escenarios_hoja.moc"
