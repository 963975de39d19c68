// Recordsets: navigation, fields, and adding or editing rows through them.

#include "BaseDePrueba.h"
#include "platform/ado/Proveedor.h"

#include <QTest>

#include <limits>

using namespace ado;

class TstRecordset : public QObject {
    Q_OBJECT

private slots:
    void vacioEstaEnBofYEof();
    void recorreYCuenta();
    void camposPorNombreEIndice();
    void tiposYTamanos_data();
    void tiposYTamanos();
    void getRowsPorCampo();
    void agregaFila();
    void editaFilaPorClave();
    void editaFilaSinClave();
    void filaCambiadaPorOtroNoSeActualiza();
    void escribeAtravesDeVista();
    void asignacionDeTipoErroneo_data();
    void asignacionDeTipoErroneo();
    void asignacionConvierte_data();
    void asignacionConvierte();
    void monedaSeGuardaComoUnDouble_data();
    void monedaSeGuardaComoUnDouble();
    void estadosNoPermitidos();
    void cancelaEdicionPendiente();
    void actualizacionRechazadaDejaErrores();
};

void TstRecordset::vacioEstaEnBofYEof() {
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    QCOMPARE(rs.State(), int(adStateClosed));
    rs.Open(QStringLiteral("SELECT * FROM NOTAS"), *cn);
    QCOMPARE(rs.State(), int(adStateOpen));
    QVERIFY(rs.BOF());
    QVERIFY(rs.Eof());
    QCOMPARE(rs.RecordCount(), 0);
    QCOMPARE(fallaDe([&] { rs.Fields(0).Value(); }).Number, codigo::adErrNoCurrentRecord);
}

void TstRecordset::recorreYCuenta() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS VALUES ('a', 1), ('b', 2), ('c', 3)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM NOTAS ORDER BY Numero"), *cn);
    QVERIFY(!rs.BOF());
    QCOMPARE(rs.RecordCount(), 3);
    int suma = 0;
    for (; !rs.Eof(); rs.MoveNext())
        suma += rs.Fields(QStringLiteral("numero")).Value().toInt();
    QCOMPARE(suma, 6);
    QCOMPARE(fallaDe([&] { rs.MoveNext(); }).Number, codigo::adErrNoCurrentRecord);
    rs.MoveLast();
    QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("c"));
    rs.MovePrevious();
    rs.MovePrevious();
    rs.MovePrevious();
    QVERIFY(rs.BOF());
    rs.MoveFirst();
    QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("a"));
}

void TstRecordset::camposPorNombreEIndice() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Nombre) VALUES ('A', NULL)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Codigo, Nombre, 2 + 3 AS Suma FROM CLIENTES"), *cn);
    QCOMPARE(rs.FieldCount(), 3);
    QCOMPARE(rs.Fields(QStringLiteral("CODIGO")).Name(), QStringLiteral("Codigo"));
    QCOMPARE(rs.Fields(QStringLiteral("codigo")).Value().toString(), QStringLiteral("A"));
    QVERIFY(rs.Fields(QStringLiteral("Nombre")).EsNulo());
    QVERIFY(!rs.Fields(QStringLiteral("Nombre")).Value().isValid());
    QCOMPARE(rs.Fields(2).Value().toInt(), 5);
    QVERIFY(rs.TieneCampo(QStringLiteral("suma")));
    QVERIFY(!rs.TieneCampo(QStringLiteral("resta")));
    QCOMPARE(fallaDe([&] { rs.Fields(QStringLiteral("Resta")); }).Number,
             codigo::adErrItemNotFound);
    QCOMPARE(fallaDe([&] { rs.Fields(3); }).Number, codigo::adErrItemNotFound);
}

void TstRecordset::tiposYTamanos_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<int>("tamano");
    QTest::newRow("nvarchar") << "Codigo" << int(adVarWChar) << 6;
    QTest::newRow("int") << "Visitas" << int(adInteger) << 4;
    QTest::newRow("money") << "Saldo" << int(adCurrency) << 8;
    QTest::newRow("numeric") << "Cantidad" << int(adNumeric) << 19;
    QTest::newRow("datetime") << "Alta" << int(adDBTimeStamp) << 16;
}

void TstRecordset::tiposYTamanos() {
    QFETCH(QString, campo);
    QFETCH(int, tipo);
    QFETCH(int, tamano);
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES"), *cn);
    QCOMPARE(rs.Fields(campo).Type(), tipo);
    QCOMPARE(rs.Fields(campo).DefinedSize(), tamano);
}

void TstRecordset::getRowsPorCampo() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS VALUES ('a', 1), ('b', 2), ('c', 3)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Texto, Numero FROM NOTAS ORDER BY Numero"), *cn);
    rs.MoveNext();
    const auto filas = rs.GetRows();
    QCOMPARE(filas.size(), 2);
    QCOMPARE(filas[0], (QVariantList{QStringLiteral("b"), QStringLiteral("c")}));
    QCOMPARE(filas[1], (QVariantList{qint64(2), qint64(3)}));
    QVERIFY(rs.Eof());
}

void TstRecordset::agregaFila() {
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    rs.Open(QStringLiteral("select top 1 * from clientes"), *cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    QCOMPARE(rs.EditMode(), int(adEditAdd));
    rs.Fields(QStringLiteral("codigo")) = QStringLiteral("N1");
    rs.Fields(QStringLiteral("Nombre")) = QStringLiteral("O'Brien");
    rs.Fields(QStringLiteral("Saldo")) = 12.5;
    rs.Fields(QStringLiteral("Alta")) = QStringLiteral("28/02/2025");
    rs.Update();
    QCOMPARE(rs.EditMode(), int(adEditNone));
    // The key the database gave shows in the row, as a client cursor resyncs it.
    const int id = rs.Fields(QStringLiteral("Id")).Value().toInt();
    QVERIFY(id > 0);

    auto otra = base.conecta();
    Recordset leido;
    leido.Open(QStringLiteral(
                   "SELECT Codigo, Nombre, Saldo, quote(Alta) AS Alta FROM CLIENTES WHERE Id = %1")
                   .arg(id),
               *otra);
    QCOMPARE(leido.RecordCount(), 1);
    QCOMPARE(leido.Fields(QStringLiteral("Nombre")).Value().toString(), QStringLiteral("O'Brien"));
    QCOMPARE(leido.Fields(QStringLiteral("Saldo")).Value().toDouble(), 12.5);
    QCOMPARE(leido.Fields(QStringLiteral("Alta")).Value().toString(),
             QStringLiteral("'2025-02-28'"));
}

void TstRecordset::editaFilaPorClave() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Visitas) VALUES ('A', 1), ('B', 1)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES WHERE Codigo = 'b'"), *cn, adOpenDynamic,
            adLockOptimistic);
    rs.Fields(QStringLiteral("Visitas")) = 9;
    QCOMPARE(rs.EditMode(), int(adEditInProgress));
    QCOMPARE(rs.Fields(QStringLiteral("Visitas")).Value().toInt(), 9);
    rs.Update();
    Recordset leido;
    leido.Open(QStringLiteral("SELECT Codigo, Visitas FROM CLIENTES ORDER BY Codigo"), *cn);
    QCOMPARE(leido.Fields(1).Value().toInt(), 1);
    leido.MoveNext();
    QCOMPARE(leido.Fields(1).Value().toInt(), 9);
}

void TstRecordset::editaFilaSinClave() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS VALUES ('a', NULL), ('b', 2)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM NOTAS ORDER BY Texto"), *cn, adOpenDynamic,
            adLockOptimistic);
    rs.Fields(QStringLiteral("Texto")) = QStringLiteral("z");
    // Moving on saves the pending edit, as ADO does.
    rs.MoveNext();
    rs.Fields(QStringLiteral("Numero")) = 4;
    rs.Update();
    Recordset leido;
    leido.Open(
        QStringLiteral("SELECT Texto || '=' || ifnull(Numero, 'null') FROM NOTAS ORDER BY Texto"),
        *cn);
    QCOMPARE(leido.GetRows().first(),
             (QVariantList{QStringLiteral("b=4"), QStringLiteral("z=null")}));
}

void TstRecordset::filaCambiadaPorOtroNoSeActualiza() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS VALUES ('a', 1)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM NOTAS"), *cn, adOpenDynamic, adLockOptimistic);
    auto otra = base.conecta();
    otra->Execute(QStringLiteral("UPDATE NOTAS SET Numero = 2"));
    rs.Fields(QStringLiteral("Texto")) = QStringLiteral("b");
    QCOMPARE(fallaDe([&] { rs.Update(); }).Number, codigo::DB_E_ROWNOTFOUND);
    Recordset leido;
    leido.Open(QStringLiteral("SELECT Texto FROM NOTAS"), *cn);
    QCOMPARE(leido.Fields(0).Value().toString(), QStringLiteral("a"));
}

void TstRecordset::escribeAtravesDeVista() {
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM V_CLIENTES WHERE Id = 0"), *cn, adOpenDynamic,
            adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("Codigo")) = QStringLiteral("V1");
    rs.Update();
    rs.Fields(QStringLiteral("Nombre")) = QStringLiteral("Vista");
    rs.Update();
    Recordset leido;
    leido.Open(QStringLiteral("SELECT Codigo, Nombre FROM CLIENTES"), *cn);
    QCOMPARE(leido.RecordCount(), 1);
    QCOMPARE(leido.Fields(1).Value().toString(), QStringLiteral("Vista"));
}

void TstRecordset::asignacionDeTipoErroneo_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valor");
    QTest::newRow("letras en entero") << "Visitas" << QVariant(QStringLiteral("abc"));
    QTest::newRow("vacio en moneda") << "Saldo" << QVariant(QStringLiteral(""));
    QTest::newRow("fecha imposible") << "Alta" << QVariant(QStringLiteral("31/02/2024"));
    QTest::newRow("numero en fecha") << "Alta" << QVariant(12);
    QTest::newRow("moneda en fecha") << "Alta" << QVariant::fromValue(Currency::DesdeEscalado(1));
}

void TstRecordset::asignacionDeTipoErroneo() {
    QFETCH(QString, campo);
    QFETCH(QVariant, valor);
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES"), *cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    QCOMPARE(fallaDe([&] { rs.Fields(campo) = valor; }).Number, codigo::adErrDataConversion);
}

void TstRecordset::asignacionConvierte_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<QString>("guardado");
    QTest::newRow("coma decimal") << "Cantidad" << QVariant(QStringLiteral("12,5")) << "12.5";
    QTest::newRow("punto decimal") << "Cantidad" << QVariant(QStringLiteral(" 7.25 ")) << "7.25";
    QTest::newRow("texto a entero") << "Visitas" << QVariant(QStringLiteral("42")) << "42";
    QTest::newRow("numero a texto") << "Nombre" << QVariant(17) << "'17'";
    QTest::newRow("fecha con hora")
        << "Alta" << QVariant(QStringLiteral("01/12/2026 08:15")) << "'2026-12-01 08:15:00'";
    QTest::newRow("QDate") << "Alta" << QVariant(QDate(2026, 12, 9)) << "'2026-12-09'";
    QTest::newRow("nulo") << "Saldo" << QVariant() << "NULL";
    QTest::newRow("moneda a texto")
        << "Nombre" << QVariant::fromValue(Currency::DesdeEscalado(-125000)) << "'-12.5'";
}

void TstRecordset::asignacionConvierte() {
    QFETCH(QString, campo);
    QFETCH(QVariant, valor);
    QFETCH(QString, guardado);
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES"), *cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("Codigo")) = QStringLiteral("X");
    rs.Fields(campo) = valor;
    rs.Update();
    Recordset leido;
    leido.Open(QStringLiteral("SELECT quote(%1) FROM CLIENTES").arg(campo), *cn);
    QCOMPARE(leido.Fields(0).Value().toString(), guardado);
}

void TstRecordset::monedaSeGuardaComoUnDouble_data() {
    QTest::addColumn<qint64>("escalado");
    QTest::newRow("0") << qint64(0);
    QTest::newRow("1") << qint64(10000);
    QTest::newRow("1.5") << qint64(15000);
    QTest::newRow("1234567.8901") << qint64(12345678901);
    QTest::newRow("-2800.5") << qint64(-28005000);
    QTest::newRow("0.0001") << qint64(1);
    QTest::newRow("el mayor") << std::numeric_limits<qint64>::max();
}

// Money bound exact (through a field, or as a parameter) is stored in MONEY and NUMERIC
// columns as the same amount assigned as a double always was: same type, same value.
void TstRecordset::monedaSeGuardaComoUnDouble() {
    QFETCH(qint64, escalado);
    const Currency moneda = Currency::DesdeEscalado(escalado);
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES"), *cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("Codigo")) = QStringLiteral("D");
    rs.Fields(QStringLiteral("Saldo")) = moneda.aDouble();
    rs.Fields(QStringLiteral("Cantidad")) = moneda.aDouble();
    rs.Update();
    const QVariantList comoDouble = {rs.Fields(QStringLiteral("Saldo")).Value(),
                                     rs.Fields(QStringLiteral("Cantidad")).Value()};
    rs.AddNew();
    rs.Fields(QStringLiteral("Codigo")) = QStringLiteral("C");
    rs.Fields(QStringLiteral("Saldo")) = moneda;
    rs.Fields(QStringLiteral("Cantidad")) = moneda;
    // Until it is read back, the field shows what a double would.
    QCOMPARE(rs.Fields(QStringLiteral("Saldo")).Value(), comoDouble[0]);
    rs.Update();
    QCOMPARE((QVariantList{rs.Fields(QStringLiteral("Saldo")).Value(),
                           rs.Fields(QStringLiteral("Cantidad")).Value()}),
             comoDouble);
    rs.Close();

    detalle::DatosConexion datos;
    datos.tipo = detalle::DatosConexion::Tipo::Embebida;
    datos.archivo = base.ruta;
    auto proveedor = detalle::CreaProveedorEmbebido();
    proveedor->abrir(datos, 5);
    const QVariant parametro = QVariant::fromValue(moneda);
    proveedor->ejecuta(
        QStringLiteral("INSERT INTO CLIENTES (Codigo, Saldo, Cantidad) VALUES ('P', ?, ?)"),
        {parametro, parametro});
    proveedor->cerrar();

    Recordset leido;
    leido.Open(QStringLiteral("SELECT Codigo, typeof(Saldo), Saldo, typeof(Cantidad), Cantidad "
                              "FROM CLIENTES ORDER BY Codigo DESC"),
               *cn);
    QCOMPARE(leido.RecordCount(), 3);
    QVariantList filas[3];
    for (int f = 0; f < 3; ++f, leido.MoveNext())
        for (int c = 1; c < 5; ++c)
            filas[f] << leido.Fields(c).Value();
    // P, D, C: exact double comparison, type included.
    QCOMPARE(filas[0], filas[1]);
    QCOMPARE(filas[2], filas[1]);
}

void TstRecordset::estadosNoPermitidos() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS VALUES ('a', 1)"));
    Recordset rs;
    QCOMPARE(fallaDe([&] { rs.Close(); }).Number, codigo::adErrObjectClosed);
    QCOMPARE(fallaDe([&] { rs.MoveFirst(); }).Number, codigo::adErrObjectClosed);
    rs.Open(QStringLiteral("SELECT * FROM NOTAS"), *cn);
    QCOMPARE(fallaDe([&] { rs.Open(QStringLiteral("SELECT 1"), *cn); }).Number,
             codigo::adErrObjectOpen);
    QCOMPARE(fallaDe([&] { rs.Fields(0) = QStringLiteral("b"); }).Number,
             codigo::adErrFeatureNotAvailable);
    QCOMPARE(fallaDe([&] { rs.AddNew(); }).Number, codigo::adErrFeatureNotAvailable);
    cn->Close();
    QCOMPARE(fallaDe([&] { cn->Close(); }).Number, codigo::adErrObjectClosed);
    QCOMPARE(fallaDe([&] { cn->Execute(QStringLiteral("SELECT 1")); }).Number,
             codigo::adErrInvalidConnection);
    // What was read stays readable after the connection closes.
    QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("a"));
}

void TstRecordset::cancelaEdicionPendiente() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS VALUES ('a', 1)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM NOTAS"), *cn, adOpenDynamic, adLockOptimistic);
    rs.Fields(QStringLiteral("Numero")) = 5;
    QCOMPARE(fallaDe([&] { rs.Close(); }).Number, codigo::adErrIllegalOperation);
    rs.CancelUpdate();
    QCOMPARE(rs.Fields(QStringLiteral("Numero")).Value().toInt(), 1);
    rs.Close();
    rs.Open(QStringLiteral("SELECT Numero FROM NOTAS"), *cn);
    QCOMPARE(rs.Fields(0).Value().toInt(), 1);
}

void TstRecordset::actualizacionRechazadaDejaErrores() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo) VALUES ('A')"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM CLIENTES"), *cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("Codigo")) = QStringLiteral("a");
    const Falla f = fallaDe([&] { rs.Update(); });
    QCOMPARE(f.Number, codigo::DB_E_INTEGRITYVIOLATION);
    QCOMPARE(cn->Errors().Count(), 2);
    QCOMPARE(cn->Errors().Item(0).NativeError, 2627);
    // The edit is still pending: the caller may correct it and try again.
    QCOMPARE(rs.EditMode(), int(adEditAdd));
    rs.Fields(QStringLiteral("Codigo")) = QStringLiteral("B");
    rs.Update();
    QCOMPARE(rs.RecordCount(), 2);
}

QTEST_GUILESS_MAIN(TstRecordset)
#include "tst_recordset.moc"
