// How many statements the sheet sends: opening a run and building the grid must
// not grow with the number of lines.

#include "BaseHoja.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

class TstSentencias : public QObject {
    Q_OBJECT

private slots:
    void abrirYArmar_data();
    void abrirYArmar();
};

namespace {

// N active articles, run 1 with a line of each, one sale of 2 kg and one of 3 kg of
// each article on the run's vouchers.
QString datos(int n) {
    QStringList s;
    s << QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('DATOS','PIVA','21');")
      << QStringLiteral(
             "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES (1,'2024-03-01',2);")
      << QStringLiteral("INSERT INTO MV_CPTE (TC, IdComprobante, IdReparto, Importe) VALUES "
                        "('FC','000100000001A',1,10), ('FC','000100000002A',1,10);");
    for (int i = 0; i < n; ++i) {
        const QString id = prueba::art(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')));
        s << QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio1, Precio2, "
                            "TasaIva, Impuestos) VALUES ('%1','Art %2',10,20,NULL,1);")
                 .arg(id)
                 .arg(i)
          << QStringLiteral(
                 "INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, Cantidad) "
                 "VALUES (1,'%1',10,10);")
                 .arg(id)
          << QStringLiteral(
                 "INSERT INTO MV_STOCK (TC, IdComprobante, IdArticulo, Cantidad, CantidadUD) "
                 "VALUES ('FC','000100000001A','%1',-2,-2), "
                 "('FC','000100000002A','%1',-3,-3);")
                 .arg(id);
    }
    return s.join(u'\n');
}

int lineas(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<int>(f.readAll().count('\n'));
}

} // namespace

void TstSentencias::abrirYArmar_data() {
    QTest::addColumn<int>("n");
    QTest::newRow("5 lineas") << 5;
    QTest::newRow("500 lineas") << 500;
}

void TstSentencias::abrirYArmar() {
    QFETCH(int, n);
    QTemporaryDir dir;
    const QString traza = dir.filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    const QString base = dir.filePath(QStringLiteral("hoja.db"));
    prueba::CreaBase(base, datos(n));
    DialogoGuionado dialogo;
    auto app = prueba::Inicia(dialogo, dir, base);
    FrmHojaRuta ventana(*app);
    QVERIFY(ventana.Form_Load());
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    QCOMPARE(ventana.Grilla().filas(), n);

    int antes = lineas(traza);
    ventana.ArmaGrilla(true);
    QCOMPARE(lineas(traza) - antes, 1);

    antes = lineas(traza);
    QLineEdit* reparto = ventana.Campo(QStringLiteral("Reparto"));
    reparto->setFocus();
    reparto->setText(QStringLiteral("1"));
    QTest::keyClick(reparto, Qt::Key_Return);
    const int sentencias = lineas(traza) - antes;
    qputenv("HOJARUTA_TRAZA", QByteArray());
    QVERIFY(ventana.Existe());
    QCOMPARE(ventana.Grilla().filas(), n);
    // Every line counts both sales, with the class 2 price (20 + 21% + 1).
    QCOMPARE(ventana.Grilla().texto(n - 1, 8), QStringLiteral("5"));
    QCOMPARE(ventana.Grilla().texto(n - 1, 6), QStringLiteral("5"));
    QCOMPARE(ventana.Modelo().ValorItem(n - 1), Currency::DesdeEscalado(252000));
    qInfo("N = %d: opening the run took %d statements", n, sentencias);
    QVERIFY2(sentencias <= 10, qPrintable(QString::number(sentencias)));
    static int conCinco = -1;
    if (n == 5)
        conCinco = sentencias;
    else
        QCOMPARE(sentencias, conCinco);
}

QTEST_MAIN(TstSentencias)
#include "tst_hojaruta_sentencias.moc"
