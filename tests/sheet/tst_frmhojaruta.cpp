// The main window as the program starts it.

#include "Aplicacion.h"
#include "DialogoGuionado.h"
#include "FrmHojaRuta.h"
#include "Recursos.h"

#include <QTemporaryDir>
#include <QTest>

class TstFrmHojaRuta : public QObject {
    Q_OBJECT

private slots:
    void abreSobreLaBase();
    void terminaSinConexion();
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
}

void TstFrmHojaRuta::terminaSinConexion() {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::vbNo); // "try again?" on the connection failure box
    bool terminado = false;
    auto app = aplicacion(dialogo, dir, dir.filePath(QStringLiteral("falta.db")), terminado);
    FrmHojaRuta ventana(*app);
    QVERIFY(!ventana.Form_Load());
    QVERIFY(terminado);
    QVERIFY(!ventana.isVisible());
}

QTEST_MAIN(TstFrmHojaRuta)
#include "tst_frmhojaruta.moc"
