// The sheet left unsaved when the session ends: kept in a file of the user's own and
// offered back at the next start on the same database.

#include "BaseHoja.h"
#include "sheet/Recuperacion.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

class TstRecuperacion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void idaYVuelta_data();
    void idaYVuelta();
    void archivoIlegible_data();
    void archivoIlegible();
};

namespace {

const QString kServidor = QStringLiteral("SQLite");

Reparto& conTextos(Reparto& r, const QString& texto) {
    for (const QString& c : Reparto::Campos())
        r.setCampo(c, texto + u'|' + c);
    r.Lineas().setFilas(3);
    for (int f = 0; f < 3; ++f)
        for (int c = 0; c < ModeloGrilla::kColumnas; ++c)
            r.Lineas().setTexto(f, c, texto + QString::number(f * 100 + c));
    for (int i = 0; i < 5; ++i)
        r.CuentaEtiqueta[i] = texto + QString::number(i);
    return r;
}

} // namespace

void TstRecuperacion::idaYVuelta_data() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("apostrofes") << QStringLiteral("O'Brien's ''doble''");
    QTest::newRow("comas y punto y coma") << QStringLiteral("1,5, 2,,3;4");
    QTest::newRow("saltos de linea") << QStringLiteral("una\ndos\r\ntres\r");
    QTest::newRow("fuera de latin-1") << QStringLiteral("数量 Ωμέγα ₽ \U0001F69A");
    QTest::newRow("comillas, barras, llaves") << QStringLiteral("\"x\" \\ {\"a\":[1]} \t");
    QTest::newRow("blancos y vacio") << QStringLiteral("  ");
}

void TstRecuperacion::idaYVuelta() {
    // Model -> file -> model, every text as it was, the number as confirmed.
    QFETCH(QString, texto);
    QTemporaryDir dir;
    Reparto antes;
    conTextos(antes, texto);
    antes.ConfirmaNumero(QStringLiteral(" 57 "));
    antes.Existe = true;
    const Recuperacion rec(dir.filePath(QStringLiteral("a/b")), kServidor, QStringLiteral("x.db"));
    QVERIFY(rec.Guarda(antes));

    const auto hoja = rec.Lee();
    QVERIFY(hoja);
    QCOMPARE(hoja->numero, QStringLiteral(" 57 "));
    QVERIFY(hoja->existe);
    // Into a run that holds other lines, as the one just opened does.
    Reparto despues;
    despues.Lineas().setFilas(7);
    despues.Lineas().setAviso(1, QStringLiteral("aviso"));
    despues.setCampo(QStringLiteral("Reparto"), QStringLiteral("57"));
    Recuperacion::Devuelve(*hoja, despues);
    for (const QString& c : Reparto::Campos())
        QCOMPARE(despues.Campo(c), c == QLatin1String("Reparto") ? QStringLiteral("57")
                                                                 : antes.Campo(c));
    QCOMPARE(despues.Lineas().textos(), antes.Lineas().textos());
    QCOMPARE(despues.Lineas().aviso(1), QString());
    for (int i = 0; i < 5; ++i)
        QCOMPARE(despues.CuentaEtiqueta[i], antes.CuentaEtiqueta[i]);
}

void TstRecuperacion::archivoIlegible_data() {
    QTest::addColumn<QByteArray>("contenido");
    QTest::newRow("vacio") << QByteArray();
    QTest::newRow("basura") << QByteArray("\x00\xff{ no es json", 15);
    QTest::newRow("otra forma") << QByteArray("[1, 2]");
    QTest::newRow("sin lineas") << QByteArray("{\"formato\":1,\"servidor\":\"sqlite\",\"base\":"
                                              "\"x.db\",\"reparto\":\"5\",\"campos\":[]}");
    QTest::newRow("otra base") << QByteArray("otra.db");
    QTest::newRow("celda que no es texto") << QByteArray("celda");
}

void TstRecuperacion::archivoIlegible() {
    QFETCH(QByteArray, contenido);
    QTemporaryDir dir;
    const Recuperacion rec(dir.path(), kServidor, QStringLiteral("x.db"));
    Reparto r;
    conTextos(r, QStringLiteral("t"));
    r.ConfirmaNumero(QStringLiteral("5"));
    if (contenido == "otra.db" || contenido == "celda") {
        // A whole file, of another database or with a number for a cell.
        const Recuperacion otra(dir.path(), QStringLiteral("sqlite"), QString::fromLatin1(contenido));
        QVERIFY(otra.Guarda(r));
        QFile f(otra.Ruta());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const bool celda = contenido == "celda";
        contenido = f.readAll();
        if (celda)
            contenido.replace("\"t0\"", "0");
        QCOMPARE(otra.Ruta() == rec.Ruta(), false);
    }
    QFile f(rec.Ruta());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenido);
    f.close();
    QVERIFY(rec.Existe());
    QVERIFY(!rec.Lee());
    // The server's letter case does not make another database.
    QCOMPARE(Recuperacion(dir.path(), QStringLiteral("sqlite "), QStringLiteral("x.db")).Ruta(),
             rec.Ruta());
}

QTEST_MAIN(TstRecuperacion)
#include "tst_recuperacion.moc"
