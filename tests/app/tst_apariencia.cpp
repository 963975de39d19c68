// The skin each user chose, applied to the whole application, and the program's
// icon and toolbar style on a window. No skin, however wrong, stops the start.

#include "AplicacionDePrueba.h"
#include "DialogoGuionado.h"
#include "app/gui/Apariencia.h"
#include "platform/gui/Barvex1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

class TstApariencia : public QObject {
    Q_OBJECT

private slots:
    void init();
    void pieles_data();
    void pieles();
    void hojaDeEstilo_data();
    void hojaDeEstilo();
    void icono();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    void escribe(const QString& nombre, const QByteArray& datos) const {
        QDir().mkpath(QFileInfo(dir_->filePath(nombre)).path());
        QFile f(dir_->filePath(nombre));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(datos);
    }
};

void TstApariencia::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    qputenv("HOJARUTA_INI_DIR", dir_->path().toLocal8Bit());
    qApp->setStyleSheet(QString());
}

void TstApariencia::pieles_data() {
    QTest::addColumn<QByteArray>("ini"); // the user's Styles value; null: no entry
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("estilo");
    QTest::addColumn<QString>("fondo");
    QTest::newRow("sin entrada") << QByteArray() << "Vista"
                                 << "fusion" << QString();
    QTest::newRow("1") << QByteArray("1") << "Vista"
                       << "fusion" << QString();
    QTest::newRow("2 clasica") << QByteArray("2") << "WinXP.Luna"
                               << "windows"
                               << "#d4d0c8";
    QTest::newRow("3 azul") << QByteArray("3") << "WinXP.Royale"
                            << "fusion"
                            << "#c9daf2";
    QTest::newRow("4 gris") << QByteArray("4") << "iTunes"
                            << "fusion"
                            << "#d6d6d6";
    for (const char* otro : {"5", "6", "7", "abc", "99999999999"})
        QTest::newRow(otro) << QByteArray(otro) << "Office2007"
                            << "fusion"
                            << "#dde8f5";
}

void TstApariencia::pieles() {
    QFETCH(QByteArray, ini);
    QFETCH(QString, nombre);
    QFETCH(QString, estilo);
    QFETCH(QString, fondo);
    if (!ini.isNull())
        escribe(QStringLiteral("CN000pr.INI"), "[ANAStyles]\r\nStyles=" + ini + "\r\n");
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    const Piel piel = CargaEstilo(*app, *qApp);
    QCOMPARE(piel.nombre, nombre);
    QCOMPARE(qApp->style()->name(), estilo);
    if (!fondo.isEmpty())
        QCOMPARE(qApp->palette().color(QPalette::Window).name(), fondo);
    else
        QCOMPARE(qApp->palette().color(QPalette::Window),
                 qApp->style()->standardPalette().color(QPalette::Window));
    QMainWindow ventana;
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
}

void TstApariencia::hojaDeEstilo_data() {
    QTest::addColumn<QString>("archivo");
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("aplicada");
    QTest::newRow("de la piel, el nombre sin mayusculas")
        << "Styles/vista.QSS" << QByteArray("QPushButton { color: #123456; }")
        << "QPushButton { color: #123456; }";
    QTest::newRow("rota, se aplica igual y nada se cae")
        << "Styles/Vista.qss" << QByteArray("QPushButton { color: ") << "QPushButton { color: ";
    QTest::newRow("de otra piel no") << "Styles/iTunes.qss" << QByteArray("QLabel {}") << "";
}

void TstApariencia::hojaDeEstilo() {
    QFETCH(QString, archivo);
    QFETCH(QByteArray, contenido);
    QFETCH(QString, aplicada);
    escribe(archivo, contenido);
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    CargaEstilo(*app, *qApp);
    QCOMPARE(qApp->styleSheet(), aplicada);
    QMainWindow ventana;
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
}

void TstApariencia::icono() {
    QMainWindow ventana;
    auto* barra = new Barvex1(&ventana);
    ventana.addToolBar(barra);
    AsignaIcono(&ventana, 0);
    QVERIFY(!ventana.windowIcon().isNull());
    QCOMPARE(ventana.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    QCOMPARE(barra->StyleBar(), 0);
    AsignaIcono(nullptr, 1); // nothing to do, nothing fails
}

QTEST_MAIN(TstApariencia)
#include "tst_apariencia.moc"
