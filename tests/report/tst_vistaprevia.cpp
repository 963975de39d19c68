// The preview window, offscreen: pages, zoom, the buttons the caller allows, the
// PDF export, and Esc.

#include "DialogoGuionado.h"
#include "report/gui/SalidaQt.h"
#include "report/gui/VistaPrevia.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using reporte::VistaPrevia;

class TstVistaPrevia : public QObject {
    Q_OBJECT

private slots:
    void paginasYZoom();
    void botones_data();
    void botones();
    void exportaPdf();
    void salidaAbreYCierra();
};

namespace {

reporte::Documento documento(int paginas) {
    reporte::Documento d;
    d.horizontal = true;
    d.papel = QSizeF(297, 210);
    for (int p = 1; p <= paginas; ++p) {
        reporte::Item i;
        i.rect = QRectF(10, 10, 100, 6);
        i.texto = QStringLiteral("página %1").arg(p);
        d.paginas << reporte::Pagina{{i}};
    }
    return d;
}

QString numero(const VistaPrevia& v) {
    return v.findChild<QLabel*>(QStringLiteral("numeroPagina"))->text();
}

QPushButton* boton(const VistaPrevia& v, const char* nombre) {
    return v.findChild<QPushButton*>(QString::fromLatin1(nombre));
}

} // namespace

void TstVistaPrevia::paginasYZoom() {
    const reporte::Documento d = documento(3);
    DialogoGuionado dialogo;
    VistaPrevia v(d, true, true, dialogo);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    QCOMPARE(v.windowTitle(), QStringLiteral("Vista previa"));
    QCOMPARE(numero(v), QStringLiteral("Página 1 de 3"));
    QVERIFY(!boton(v, "anterior")->isEnabled());
    QTest::mouseClick(boton(v, "siguiente"), Qt::LeftButton);
    QCOMPARE(numero(v), QStringLiteral("Página 2 de 3"));
    QTest::keyClick(&v, Qt::Key_End);
    QCOMPARE(numero(v), QStringLiteral("Página 3 de 3"));
    QVERIFY(!boton(v, "siguiente")->isEnabled());
    QTest::keyClick(&v, Qt::Key_PageUp);
    QCOMPARE(v.pagina(), 1);

    const auto ancho = [&] {
        const QList<QLabel*> etiquetas = v.findChildren<QLabel*>();
        for (QLabel* l : etiquetas)
            if (!l->pixmap().isNull())
                return l->pixmap().width();
        return 0;
    };
    const int alCien = ancho();
    QVERIFY(alCien > 0);
    v.findChild<QComboBox*>(QStringLiteral("zoom"))->setCurrentText(QStringLiteral("200%"));
    QCOMPARE(v.zoom(), 2.0);
    QVERIFY(qAbs(ancho() - 2 * alCien) <= 2);
    QTest::keyClick(&v, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(v.zoom(), 1.5);

    QTest::keyClick(&v, Qt::Key_Escape);
    QVERIFY(!v.isVisible());
    QCOMPARE(v.result(), int(QDialog::Rejected));
}

void TstVistaPrevia::botones_data() {
    QTest::addColumn<bool>("imprimir");
    QTest::addColumn<bool>("exportar");
    QTest::newRow("como la planilla: las dos") << true << true;
    QTest::newRow("sólo imprimir") << true << false;
    QTest::newRow("sólo exportar") << false << true;
    QTest::newRow("ninguna") << false << false;
}

void TstVistaPrevia::botones() {
    QFETCH(bool, imprimir);
    QFETCH(bool, exportar);
    const reporte::Documento d = documento(1);
    DialogoGuionado dialogo;
    VistaPrevia v(d, imprimir, exportar, dialogo);
    QCOMPARE(boton(v, "imprimir")->isEnabled(), imprimir);
    QCOMPARE(boton(v, "imprimir")->text(), QStringLiteral("Imprimir…"));
    QCOMPARE(boton(v, "exportar")->isEnabled(), exportar);
    QCOMPARE(boton(v, "exportar")->text(), QStringLiteral("Exportar PDF…"));
}

void TstVistaPrevia::exportaPdf() {
    const reporte::Documento d = documento(2);
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    VistaPrevia v(d, false, true, dialogo);
    const QString ruta = dir.filePath(QStringLiteral("planilla.pdf"));
    v.pideArchivoPdf = [&](QWidget*) { return ruta; };
    QTest::mouseClick(boton(v, "exportar"), Qt::LeftButton);
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");

    // A file that cannot be written is said, not thrown.
    const QString mala = dir.filePath(QStringLiteral("no/hay/carpeta.pdf"));
    v.pideArchivoPdf = [&](QWidget*) { return mala; };
    dialogo.responde(plataforma::Respuesta::OK);
    QTest::mouseClick(boton(v, "exportar"), Qt::LeftButton);
    QCOMPARE(dialogo.mostradas().size(), 1);
    QCOMPARE(dialogo.mostradas().first().texto,
             QStringLiteral("No se puede escribir el archivo ") + mala);
}

void TstVistaPrevia::salidaAbreYCierra() {
    const reporte::Documento d = documento(2);
    DialogoGuionado dialogo;
    reporte::SalidaQt salida(dialogo);
    QString visto;
    QTimer::singleShot(0, this, [&] {
        QWidget* ventana = QApplication::activeModalWidget();
        QVERIFY(ventana);
        QVERIFY(QTest::qWaitForWindowExposed(ventana));
        visto = ventana->windowTitle() + u' ' +
                ventana->findChild<QLabel*>(QStringLiteral("numeroPagina"))->text();
        QTest::keyClick(ventana, Qt::Key_Escape);
    });
    salida.VistaPrevia(d, true, true);
    QCOMPARE(visto, QStringLiteral("Vista previa Página 1 de 2"));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TstVistaPrevia)
#include "tst_vistaprevia.moc"
