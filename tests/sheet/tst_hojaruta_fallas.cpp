// The sheet when the database fails under a field check: the operator is told,
// and the sheet goes on working.

#include "BaseHoja.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

class TstHojaRutaFallas : public QObject {
    Q_OBJECT

private slots:
    void cuentaConTablaRota();
};

void TstHojaRutaFallas::cuentaConTablaRota() {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("hoja.db"));
    prueba::CreaBase(base, prueba::DatosDemo());
    DialogoGuionado dialogo;
    auto app = prueba::Inicia(dialogo, dir, base);
    FrmHojaRuta ventana(*app);
    QVERIFY(ventana.Form_Load());
    ventana.show();
    ventana.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    const auto confirma = [&](const char* nombre, const QString& valor) {
        QLineEdit* c = ventana.Campo(QString::fromLatin1(nombre));
        c->setFocus();
        c->selectAll();
        QTest::keyClicks(c, valor);
        QTest::keyClick(c, Qt::Key_Return);
    };
    confirma("Reparto", QStringLiteral("120"));
    QVERIFY(ventana.Existe());

    // The chart of accounts goes missing under the sheet's feet.
    app->db.gCnn().Execute(QStringLiteral("DROP TABLE MA_CUENTAS"));
    dialogo.respondeSiempre(plataforma::Respuesta::Abort);
    confirma("CuentaG2", QStringLiteral("5.1.1"));
    QVERIFY(!dialogo.mostradas().isEmpty());
    QCOMPARE(dialogo.mostradas().first().titulo, QStringLiteral("Aviso al Operador"));
    QCOMPARE(dialogo.mostradas().first().texto,
             QStringLiteral("Invalid object name 'MA_CUENTAS'."));

    // Still usable: back to waiting, and the run opens again with what it held.
    QTest::keyClick(&ventana, Qt::Key_F5);
    confirma("Reparto", QStringLiteral("120"));
    QVERIFY(ventana.Existe());
    QCOMPARE(ventana.Campo(QStringLiteral("Chofer"))->text(), QStringLiteral("Perez"));
    QCOMPARE(ventana.Grilla().filas(), 1);
}

QTEST_MAIN(TstHojaRutaFallas)
#include "tst_hojaruta_fallas.moc"
