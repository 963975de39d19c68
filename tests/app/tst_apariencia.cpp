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
    QTest::addColumn<QString>("qss");    // a style sheet in Styles/, "" none
    // Qt style ("-" under a style sheet), skin, window colour, style sheet.
    QTest::addColumn<QString>("aspecto");
    QTest::newRow("sin entrada") << QByteArray() << ""
                                 << "fusion|Vista|#efefef|";
    QTest::newRow("1, su hoja sin mayusculas") << QByteArray("1") << "vista.QSS"
                                               << "-|Vista|#efefef|QLabel { color: #123456; }";
    QTest::newRow("2 clasica") << QByteArray("2") << ""
                               << "windows|WinXP.Luna|#d4d0c8|";
    QTest::newRow("3 azul, hoja de otra piel") << QByteArray("3") << "Vista.qss"
                                               << "fusion|WinXP.Royale|#c9daf2|";
    QTest::newRow("4 gris, hoja rota") << QByteArray("4") << "iTunes.qss"
                                       << "-|iTunes|#d6d6d6|QLabel { color: ";
    for (const char* otro : {"5", "6", "7", "abc", "99999999999"})
        QTest::newRow(otro) << QByteArray(otro) << ""
                            << "fusion|Office2007|#dde8f5|";
}

void TstApariencia::pieles() {
    QFETCH(QByteArray, ini);
    QFETCH(QString, qss);
    QFETCH(QString, aspecto);
    if (!ini.isNull())
        escribe(QStringLiteral("CN000pr.INI"), "[ANAStyles]\r\nStyles=" + ini + "\r\n");
    if (!qss.isEmpty())
        escribe(QStringLiteral("Styles/") + qss, qss == u"iTunes.qss"
                                                     ? QByteArray("QLabel { color: ")
                                                     : QByteArray("QLabel { color: #123456; }"));
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    const Piel piel = CargaEstilo(*app, *qApp);
    const QString estilo = qApp->styleSheet().isEmpty() ? qApp->style()->name() : QString(u'-');
    QCOMPARE(QStringList({estilo, piel.nombre, qApp->palette().color(QPalette::Window).name(),
                          qApp->styleSheet()})
                 .join(u'|'),
             aspecto);
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
