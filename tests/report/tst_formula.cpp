// The selection formula: what it may say, and what it must refuse before any
// statement is sent.

#include "report/Definicion.h"
#include "report/Error.h"
#include "report/Formula.h"

#include <QTest>

class TstFormula : public QObject {
    Q_OBJECT

private slots:
    void traduce_data();
    void traduce();
    void rechaza_data();
    void rechaza();
};

namespace {

const reporte::Definicion& definicion() {
    static const reporte::Definicion d = reporte::LeeDefinicion(QByteArrayLiteral(R"(
<reporte formato="hojaruta-reporte" version="1">
  <fuente nombre="V_MV_Reparto" principal="si">
    <seleccionable campo="IdReparto" columna="V_MV_Reparto.IdReparto" tipo="numero"/>
    <seleccionable campo="Chofer" columna="V_MV_Reparto.Chofer" tipo="texto"/>
    <sql>SELECT * FROM V_MV_Reparto WHERE {seleccion}</sql>
  </fuente>
  <fuente nombre="Cobranzas"><sql>SELECT TC_COB FROM MV_APLICACION</sql></fuente>
</reporte>)"),
                                                                QStringLiteral("prueba.rpt"));
    return d;
}

} // namespace

void TstFormula::traduce_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QVariantList>("valores");

    QTest::newRow("la de la planilla")
        << QStringLiteral("{V_MV_Reparto.IDReparto}=10")
        << QStringLiteral("(V_MV_Reparto.IdReparto = ?)") << QVariantList{10LL};
    QTest::newRow("vacía: todo") << QStringLiteral("  ") << QStringLiteral("1=1") << QVariantList{};
    QTest::newRow("texto con comilla doblada")
        << QStringLiteral("{v_mv_reparto.chofer} = 'O''Brien; DROP'")
        << QStringLiteral("(V_MV_Reparto.Chofer = ?)")
        << QVariantList{QStringLiteral("O'Brien; DROP")};
    QTest::newRow("y, o, no, paréntesis")
        << QStringLiteral("not ({V_MV_Reparto.IdReparto} >= 1 AND {V_MV_Reparto.IdReparto}<=5) "
                          "Or {V_MV_Reparto.Chofer} <> \"A \"\"B\"\"\"")
        << QStringLiteral("NOT ((V_MV_Reparto.IdReparto >= ?) AND (V_MV_Reparto.IdReparto <= ?)) "
                          "OR (V_MV_Reparto.Chofer <> ?)")
        << QVariantList{1LL, 5LL, QStringLiteral("A \"B\"")};
    QTest::newRow("decimal con signo")
        << QStringLiteral("{V_MV_Reparto.IdReparto} > -2.5")
        << QStringLiteral("(V_MV_Reparto.IdReparto > ?)") << QVariantList{-2.5};
}

void TstFormula::traduce() {
    QFETCH(QString, formula);
    QFETCH(QString, where);
    QFETCH(QVariantList, valores);
    const reporte::Seleccion s = reporte::TraduceFormula(formula, definicion());
    QCOMPARE(s.where, where);
    QCOMPARE(s.valores, valores);
}

void TstFormula::rechaza_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("porque");

    const QString n = QStringLiteral("{V_MV_Reparto.IDReparto}");
    QTest::newRow("OR 1=1") << n + QStringLiteral("=10 OR 1=1")
                            << QStringLiteral(
                                   "se esperaba un campo entre llaves en la posición 32");
    QTest::newRow("; DELETE") << n + QStringLiteral("=10; DELETE FROM V_MV_REPARTO")
                              << QStringLiteral("sobra texto en la posición 28");
    QTest::newRow("comentario") << n + QStringLiteral("=10 --") << QStringLiteral("sobra texto");
    QTest::newRow("otra tabla") << QStringLiteral("{MV_ASIENTOS.Id}=1")
                                << QStringLiteral("\"MV_ASIENTOS\" no es una fuente del reporte");
    QTest::newRow("fuente secundaria")
        << QStringLiteral("{Cobranzas.TC_COB}='CB'")
        << QStringLiteral("el campo \"Cobranzas.TC_COB\" no se puede usar en la selección");
    QTest::newRow("campo no seleccionable") << QStringLiteral("{V_MV_Reparto.Observaciones}='x'")
                                            << QStringLiteral("no se puede usar en la selección");
    QTest::newRow("sin fuente") << QStringLiteral("{IdReparto}=1")
                                << QStringLiteral("el campo se escribe {Fuente.Campo}");
    QTest::newRow("valor vacío") << n + QStringLiteral("=") << QStringLiteral("falta el valor");
    QTest::newRow("valor en blanco")
        << n + QStringLiteral("=  ") << QStringLiteral("falta el valor");
    QTest::newRow("texto en campo numérico")
        << n + QStringLiteral("='10'") << QStringLiteral("se esperaba un número");
    QTest::newRow("número en campo de texto")
        << QStringLiteral("{V_MV_Reparto.Chofer}=1")
        << QStringLiteral("se esperaba un texto entre comillas");
    QTest::newRow("número pegado a letras")
        << n + QStringLiteral("=10abc") << QStringLiteral("se esperaba un número");
    QTest::newRow("subconsulta") << n + QStringLiteral("=(SELECT 1)")
                                 << QStringLiteral("se esperaba un número");
    QTest::newRow("texto sin cerrar")
        << QStringLiteral("{V_MV_Reparto.Chofer}='abc") << QStringLiteral("falta cerrar el texto");
    QTest::newRow("sin operador") << n + QStringLiteral(" 10")
                                  << QStringLiteral("se esperaba un operador de comparación");
    QTest::newRow("operador de SQL") << n + QStringLiteral(" LIKE 1")
                                     << QStringLiteral("se esperaba un operador de comparación");
    QTest::newRow("paréntesis sin cerrar")
        << QStringLiteral("(") + n + QStringLiteral("=1") << QStringLiteral("falta \")\"");
    QTest::newRow("y sin segundo término")
        << n + QStringLiteral("=1 and") << QStringLiteral("se esperaba un campo entre llaves");
}

void TstFormula::rechaza() {
    QFETCH(QString, formula);
    QFETCH(QString, porque);
    try {
        reporte::TraduceFormula(formula, definicion());
        QFAIL("the formula went through");
    } catch (const reporte::Error& e) {
        QCOMPARE(e.tipo, reporte::Error::Tipo::Formula);
        QVERIFY2(e.mensaje.startsWith(QStringLiteral("Fórmula de selección no válida: ")),
                 qPrintable(e.mensaje));
        QVERIFY2(e.mensaje.contains(porque), qPrintable(e.mensaje));
        QVERIFY2(e.mensaje.endsWith(u'"' + formula + u'"'), qPrintable(e.mensaje));
    }
}

QTEST_GUILESS_MAIN(TstFormula)
#include "tst_formula.moc"
