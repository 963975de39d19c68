// Literals of compared values become parameters; everything else stays as written.

#include "BaseDePrueba.h"
#include "ado/sqlite/Parametriza.h"

#include <QTest>

using ado::sqlite::Parametriza;

class TstParametriza : public QObject {
    Q_OBJECT

private slots:
    void texto_data();
    void texto();
    void mismasFilasConYSinParametros_data();
    void mismasFilasConYSinParametros();
};

void TstParametriza::texto_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("esperado");
    QTest::addColumn<QVariantList>("valores");
    QTest::newRow("texto y numero")
        << "SELECT * FROM T WHERE a = 'x''y' COLLATE NOCASE AND b > 12 LIMIT 1"
        << "SELECT * FROM T WHERE a = ? COLLATE NOCASE AND b > ? LIMIT 1"
        << QVariantList{QStringLiteral("x'y"), qint64(12)};
    QTest::newRow("decimal y lista")
        << "SELECT a FROM T WHERE c IN (1.5, 'b') ORDER BY 1"
        << "SELECT a FROM T WHERE c IN (?, ?) ORDER BY 1" << QVariantList{1.5, QStringLiteral("b")};
    QTest::newRow("subconsulta con su propio WHERE")
        << "SELECT 'k', (SELECT max(n) FROM U WHERE u = 3) FROM T WHERE t = 4 GROUP BY 2"
        << "SELECT 'k', (SELECT max(n) FROM U WHERE u = ?) FROM T WHERE t = ? GROUP BY 2"
        << QVariantList{qint64(3), qint64(4)};
    QTest::newRow("union vuelve a la lista de columnas")
        << "SELECT 1 FROM T WHERE a = 2 UNION SELECT 3 FROM U"
        << "SELECT 1 FROM T WHERE a = ? UNION SELECT 3 FROM U" << QVariantList{qint64(2)};
    QTest::newRow("join") << "SELECT * FROM A JOIN B ON B.k = A.k AND B.t = 'x'"
                          << "SELECT * FROM A JOIN B ON B.k = A.k AND B.t = ?"
                          << QVariantList{QStringLiteral("x")};
    QTest::newRow("nombres con digitos y blob quedan")
        << "SELECT * FROM T2 WHERE c1 = X'00' AND \"a 1\" = c2"
        << "SELECT * FROM T2 WHERE c1 = X'00' AND \"a 1\" = c2" << QVariantList{};
    QTest::newRow("no es una consulta") << "UPDATE T SET a = 1 WHERE b = 2"
                                        << "UPDATE T SET a = 1 WHERE b = 2" << QVariantList{};
    QTest::newRow("dos sentencias") << "SELECT 1 FROM T WHERE a = 1; SELECT 2"
                                    << "SELECT 1 FROM T WHERE a = 1; SELECT 2" << QVariantList{};
    QTest::newRow("texto sin cerrar") << "SELECT * FROM T WHERE a = 'x"
                                      << "SELECT * FROM T WHERE a = 'x" << QVariantList{};
}

void TstParametriza::texto() {
    QFETCH(QString, sql);
    QFETCH(QString, esperado);
    QFETCH(QVariantList, valores);
    QVariantList obtenidos;
    QCOMPARE(Parametriza(sql, obtenidos), esperado);
    QCOMPARE(obtenidos, valores);
}

void TstParametriza::mismasFilasConYSinParametros_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("esperado");
    QTest::newRow("numero") << "SELECT Codigo FROM CLIENTES WHERE Visitas = 2 ORDER BY 1"
                            << QStringList{"B", "C"};
    QTest::newRow("texto sin mayusculas")
        << "SELECT Codigo FROM CLIENTES WHERE Nombre = 'ana'" << QStringList{"A"};
    QTest::newRow("fecha") << "SELECT Codigo FROM CLIENTES WHERE Alta >= '01/02/2024'"
                           << QStringList{"C"};
    QTest::newRow("decimal contra entero")
        << "SELECT Codigo FROM CLIENTES WHERE Visitas > 1.5 ORDER BY Codigo DESC"
        << QStringList{"C", "B"};
}

void TstParametriza::mismasFilasConYSinParametros() {
    QFETCH(QString, sql);
    QFETCH(QStringList, esperado);
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Nombre, Visitas, Alta) VALUES "
                               "('A', 'Ana', 1, '2024-01-31'), ('B', 'Bea', 2, NULL), "
                               "('C', 'Carla', 2, '2024-02-01')"));
    // Twice: the second run takes the compiled statement of the first.
    for (int vez = 0; vez < 2; ++vez) {
        ado::Recordset rs;
        rs.Open(sql, *cn);
        QStringList obtenido;
        for (; !rs.Eof(); rs.MoveNext())
            obtenido << rs.Fields(0).Value().toString();
        QCOMPARE(obtenido, esperado);
    }
}

QTEST_GUILESS_MAIN(TstParametriza)
#include "tst_parametriza.moc"
