// The run written to a workbook and to a .csv, read back as a spreadsheet reads
// them: numbers as numbers, dates as dates, codes as texts.

#include "LeeXlsx.h"
#include "sheet/ExportaReparto.h"
#include "sheet/Reparto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TstExporta : public QObject {
    Q_OBJECT

private slots:
    void libro_data();
    void libro();
    void csv();
    void noPisaSiFalla_data();
    void noPisaSiFalla();
};

namespace {

// A finished run of two lines, one expense, texts with accents and quotes, as the
// sheet holds it: every figure a text in the operator's (Spanish) locale.
void llena(Reparto& r) {
    const QString campos = QStringLiteral(
        "Reparto=120|Fecha=01/03/2024|Clase=1|Vehiculo=AB123|Chofer=Pérez|KmInicial=1000|"
        "KmFinal=1250|ImpRecaudado=1000|CuentaG1=5.1.1|Gasto1=100,5|CuentaMP=1.1.1|"
        "GastoMP=100,5|Observaciones=Llevó \"extra\"; volvió tarde");
    for (const QString& campo : campos.split(u'|'))
        r.setCampo(campo.section(u'=', 0, 0), campo.section(u'=', 1));
    r.ConfirmaNumero(QStringLiteral("120"));
    r.Finalizado = QStringLiteral("05/03/2024");
    r.CuentaEtiqueta[0] = QStringLiteral("Combustible");
    r.CuentaEtiqueta[4] = QStringLiteral("Caja");
    const QStringList lineas[] = {
        {"Salame", "10", "10", "2", "2,5", "", "", "6", "6", "    A1", "60", "100", "21", "5",
         "756"},
        {"Queso", "3", "1,25", "", "", "1", "0,25", "2", "1", "101", "30", "50", "", "", "50"}};
    r.Lineas().setFilas(2);
    for (int f = 0; f < 2; ++f)
        for (int c = 0; c < ModeloGrilla::kColumnas; ++c)
            r.Lineas().setTexto(f, c, lineas[f][c]);
}

} // namespace

void TstExporta::libro_data() {
    QTest::addColumn<QString>("celda"); // "ref type value": "s" a text, "n" a number, "-" none
    QTest::addColumn<QString>("formato");

    const QString general = QStringLiteral("General");
    const QString fecha = QStringLiteral("dd/mm/yyyy");
    const QString dinero = QStringLiteral("#,##0.00");
    QTest::newRow("número de reparto") << "B1 n 120" << general;
    QTest::newRow("fecha como fecha") << "B2 n 45352" << fecha;
    QTest::newRow("finalizado como fecha") << "B9 n 45356" << fecha;
    QTest::newRow("chofer con acento") << "B5 s Pérez" << QString();
    QTest::newRow("código de dígitos sigue texto") << "A14 s 101" << QString();
    QTest::newRow("kilos con coma decimal") << "F13 n 2.5" << general;
    QTest::newRow("celda vacía no se escribe") << "G13 - " << QString();
    QTest::newRow("importe de la línea") << "L13 n 756" << dinero;
    QTest::newRow("total de importes") << "L15 n 806" << dinero;
    QTest::newRow("valor carga/recarga") << "B18 n 1637.5" << dinero;
    QTest::newRow("cuenta del gasto") << "B24 s 5.1.1" << QString();
    QTest::newRow("gasto") << "D24 n 100.5" << dinero;
}

void TstExporta::libro() {
    QFETCH(QString, celda);
    QFETCH(QString, formato);
    Reparto r;
    llena(r);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("reparto.XLSX"));
    QCOMPARE(exporta::Escribe(r, ruta), QString());

    const CeldaXlsx leida = prueba::LeeXlsx(ruta).value(celda.section(u' ', 0, 0));
    const QString tipo = celda.section(u' ', 1, 1);
    QCOMPARE(leida.tipo, tipo == QLatin1String("-") ? QString() : tipo);
    QCOMPARE(leida.valor, celda.section(u' ', 2));
    if (tipo == QLatin1String("n"))
        QCOMPARE(leida.formato, formato);
    QVERIFY(prueba::ParteXlsx(ruta, QStringLiteral("xl/workbook.xml"))
                .contains("<sheet name=\"Reparto 120\""));
    QVERIFY(!QFile::exists(ruta + QStringLiteral(".parcial")));
}

void TstExporta::csv() {
    Reparto r;
    llena(r);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("reparto.csv"));
    QCOMPARE(exporta::Escribe(r, ruta), QString());
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    const QByteArray esperado =
        QByteArrayLiteral("\xEF\xBB\xBF") +
        QStringLiteral("N° de Reparto;120\r\n"
                       "Fecha;01/03/2024\r\n"
                       "Clase de Precio;1\r\n"
                       "Vehículo;AB123\r\n"
                       "Chofer;Pérez\r\n"
                       "Km Inicio;1000\r\n"
                       "Km Fin;1250\r\n"
                       "Observaciones;\"Llevó \"\"extra\"\"; volvió tarde\"\r\n"
                       "Finalizado;05/03/2024\r\n"
                       "\r\n"
                       ";;Carga;;Recarga;;Dev. y Sobrantes;;Vta. Total;;;\r\n"
                       "Código;Producto;Uds.;Kgs.;Uds.;Kgs.;Uds.;Kgs.;Uds.;Kgs.;"
                       "Precio;Importe\r\n"
                       "A1;Salame;10;10;2;2,5;;;6;6;100;756\r\n"
                       "101;Queso;3;1,25;;;1;0,25;2;1;50;50\r\n"
                       "Totales;;13;11,25;2;2,5;1;0,25;8;7;;806\r\n"
                       "\r\n"
                       "Resumen\r\n"
                       "Valor Carga/Recarga;1637,5\r\n"
                       "Importe Recaudado;1000\r\n"
                       "Total Gastos;100,5\r\n"
                       "Total Final;899,5\r\n"
                       "\r\n"
                       "Gastos;Cuenta;Descripción;Importe\r\n"
                       "Gasto 1;5.1.1;Combustible;100,5\r\n"
                       "Medio de Pago;1.1.1;Caja;100,5\r\n")
            .toUtf8();
    QCOMPARE(archivo.readAll(), esperado);
    archivo.close();

    // A text that a spreadsheet would run as a formula stays text.
    r.setCampo(QStringLiteral("Observaciones"), QStringLiteral("=HYPERLINK(\"http://x\")"));
    QCOMPARE(exporta::Escribe(r, ruta), QString());
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QVERIFY(archivo.readAll().contains("Observaciones;\"'=HYPERLINK(\"\"http://x\"\")\"\r\n"));
}

void TstExporta::noPisaSiFalla_data() {
    QTest::addColumn<QString>("nombre");
    QTest::newRow("libro") << "reparto.xlsx";
    QTest::newRow("csv") << "reparto.csv";
}

void TstExporta::noPisaSiFalla() {
    QFETCH(QString, nombre);
    Reparto r;
    llena(r);
    QTemporaryDir dir;
    // A folder in the file's place: nothing can be written there, nothing is lost.
    const QString ruta = dir.filePath(nombre);
    QVERIFY(QDir(dir.path()).mkpath(nombre + QStringLiteral("/dentro")));
    const QString error = exporta::Escribe(r, ruta);
    QVERIFY2(error.startsWith(QStringLiteral("No se pudo escribir el archivo ") + nombre + u':'),
             qPrintable(error));
    QVERIFY(QFileInfo(ruta + QStringLiteral("/dentro")).isDir());
    QVERIFY(!QFile::exists(ruta + QStringLiteral(".parcial")));
}

QTEST_GUILESS_MAIN(TstExporta)
#include "tst_exporta.moc"
