// The statements the sheet sends for its main flows, compared with reference
// files: opening run 10 of the demo data, saving it, opening and finishing it.
// A change of structure must leave every statement text as it was.
// HOJARUTA_REGENERA_TRAZAS=1 rewrites the reference files instead.

#include "BaseHoja.h"
#include "LeeTraza.h"
#include "sheet/FrmHojaRuta.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TstTrazasHoja : public QObject {
    Q_OBJECT

private slots:
    void flujos();
};

namespace {

const QString kCarpeta = QStringLiteral(CARPETA_TRAZAS);

void comparaConReferencia(const QString& nombre, const QStringList& sentencias) {
    const QString ruta = kCarpeta + u'/' + nombre + QStringLiteral(".sql");
    if (qEnvironmentVariableIntValue("HOJARUTA_REGENERA_TRAZAS") == 1) {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const QString& s : sentencias)
            f.write(s.toUtf8() + "\n;\n");
        return;
    }
    QFile f(ruta);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(ruta));
    QStringList esperadas = QString::fromUtf8(f.readAll()).split(QStringLiteral("\n;\n"));
    esperadas.removeLast(); // after the last separator
    for (qsizetype i = 0; i < std::min(esperadas.size(), sentencias.size()); ++i)
        QCOMPARE(sentencias[i], esperadas[i]);
    QCOMPARE(sentencias.size(), esperadas.size());
}

} // namespace

void TstTrazasHoja::flujos() {
    QTemporaryDir dir;
    const QString traza = dir.filePath(QStringLiteral("traza.txt"));
    const QString base = dir.filePath(QStringLiteral("demo.db"));
    ado::sqlite::CreaBaseEmbebida(base, recursos::EsquemaSql(), recursos::DemoSql());
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    DialogoGuionado dialogo;
    auto app = prueba::Inicia(dialogo, dir, base);
    FrmHojaRuta ventana(*app);
    QVERIFY(ventana.Form_Load());
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    auto* reparto = ventana.findChild<QLineEdit*>(QStringLiteral("txtFields_0"));
    QVERIFY(reparto);

    qsizetype desde = SentenciasDeTraza(traza).size();
    const auto tramo = [&] {
        const QStringList todas = SentenciasDeTraza(traza);
        const QStringList nuevas = todas.mid(desde);
        desde = todas.size();
        return nuevas;
    };
    const auto abre = [&] {
        reparto->setFocus();
        reparto->setText(QStringLiteral("10"));
        QTest::keyClick(reparto, Qt::Key_Return);
    };

    abre();
    comparaConReferencia(QStringLiteral("abrir_10"), tramo());

    QTest::keyClick(&ventana, Qt::Key_F2);
    comparaConReferencia(QStringLiteral("grabar_10"), tramo());

    abre();
    tramo();
    dialogo.responde(plataforma::Respuesta::Yes);
    QTest::mouseClick(ventana.findChild<QPushButton*>(QStringLiteral("cmdFinalizar")),
                      Qt::LeftButton);
    comparaConReferencia(QStringLiteral("finalizar_10"), tramo());
    qputenv("HOJARUTA_TRAZA", QByteArray());
    QCOMPARE(dialogo.pendientes(), 0);
}

QTEST_MAIN(TstTrazasHoja)
#include "tst_trazas_hoja.moc"
