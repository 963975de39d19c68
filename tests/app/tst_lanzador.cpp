// Starting another program of the suite: its command line, and a real start of a
// small program that writes down what it received.

#include "AplicacionDePrueba.h"
#include "app/Lanzador.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TstLanzador : public QObject {
    Q_OBJECT

private slots:
    void linea_data();
    void linea();
    void arranca();
};

namespace {

std::unique_ptr<Aplicacion> conSesion(DialogoGuionado& dialogo, const QString& carpeta) {
    auto app = prueba::NuevaAplicacion(dialogo, carpeta);
    app->db.gServidor = QStringLiteral("srv");
    app->db.gDBName = QStringLiteral("empresa");
    app->db.gUsuario = QStringLiteral("sa");
    app->db.gUserPassWord = QStringLiteral("clave");
    app->sesion.gUsuarioLogeado = QStringLiteral("ANA");
    app->sesion.gCaja = QStringLiteral("3");
    return app;
}

} // namespace

void TstLanzador::linea_data() {
    QTest::addColumn<QString>("programa");
    QTest::addColumn<QString>("parametro");
    QTest::addColumn<QString>("ejecutable"); // "@" stands for the program folder
    QTest::addColumn<QString>("adicional");  // what follows @ParametroAdicional=
    QTest::newRow("shell") << "SHELL:V_MA_CLIENTES"
                           << "1"
                           << "@V_MA_CLIENTES"
                           << "1";
    QTest::newRow("shell en minusculas") << "shell:V_TA_TABLAS"
                                         << ""
                                         << "@V_TA_TABLAS"
                                         << "";
    QTest::newRow("dos palabras pasa la segunda") << "SHELL:V_TA_TABLAS"
                                                  << "TABLA V_TA_RUBROS"
                                                  << "@V_TA_TABLAS"
                                                  << "V_TA_RUBROS";
    QTest::newRow("ruta completa con barras invertidas") << "PATH: \\opt\\suite\\V_MA"
                                                         << ""
                                                         << "/opt/suite/V_MA"
                                                         << "";
    QTest::newRow("ruta completa con barras") << "PATH: /opt/suite/V_MA"
                                              << ""
                                              << "/opt/suite/V_MA"
                                              << "";
    QTest::newRow("nombre solo") << "V_TA_VENDEDORES"
                                 << ""
                                 << "@V_TA_VENDEDORES"
                                 << "";
}

void TstLanzador::linea() {
    QFETCH(QString, programa);
    QFETCH(QString, parametro);
    QFETCH(QString, ejecutable);
    QFETCH(QString, adicional);
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    auto app = conSesion(dialogo, dir.path());
    const LineaPrograma l = ArmaLineaPrograma(*app, programa, parametro);
    QCOMPARE(l.programa, QString(ejecutable).replace(u'@', dir.path() + u'/'));
    QCOMPARE(parametro, adicional); // the caller's variable keeps what was passed
    QCOMPARE(l.argumento, QStringLiteral(" ; @server=srv; @dbname=empresa; @usuario=sa; "
                                         "@Password=clave; @ParametroAdicional=") +
                              adicional +
                              QStringLiteral("; kora@ ; @UsuarioLogeado = ANA; @Caja=3;"));
}

void TstLanzador::arranca() {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    auto app = conSesion(dialogo, dir.path());
    const QString salida = dir.filePath(QStringLiteral("recibido.txt"));
    QFile programa(dir.filePath(QStringLiteral("V_MA_CLIENTES")));
    QVERIFY(programa.open(QIODevice::WriteOnly));
    programa.write(
        QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '%1'\n").arg(salida).toUtf8());
    programa.close();
    programa.setPermissions(programa.permissions() | QFileDevice::ExeOwner);

    QString clave = QStringLiteral("SHELL:V_MA_CLIENTES"), parametro = QStringLiteral("1");
    qint32 id = 0;
    MenuExes(*app, clave, parametro, id);
    QVERIFY(id != 0);
    QTRY_VERIFY(QFileInfo(salida).size() > 0);
    QFile leido(salida);
    QVERIFY(leido.open(QIODevice::ReadOnly));
    // One argument, byte for byte.
    QCOMPARE(QString::fromUtf8(leido.readAll()),
             QStringLiteral("1| ; @server=srv; @dbname=empresa; @usuario=sa; @Password=clave; "
                            "@ParametroAdicional=1; kora@ ; @UsuarioLogeado = ANA; @Caja=3;"));
    QVERIFY(dialogo.mostradas().isEmpty());

    // A program that is not there: the shared error dialog, then the notice.
    clave = QStringLiteral("SHELL:NO_ESTA");
    id = 0;
    dialogo.responde(plataforma::Respuesta::Ignore);
    dialogo.responde(plataforma::Respuesta::OK);
    MenuExes(*app, clave, parametro, id);
    QCOMPARE(id, 0);
    QVERIFY(dialogo.mostradas().size() >= 2);
    QVERIFY(dialogo.mostradas().first().texto.contains(QLatin1String("NO_ESTA")));
    QVERIFY(!dialogo.mostradas().first().texto.contains(QLatin1String("clave")));
    QCOMPARE(dialogo.mostradas().last().texto,
             QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas"));
}

QTEST_GUILESS_MAIN(TstLanzador)
#include "tst_lanzador.moc"
