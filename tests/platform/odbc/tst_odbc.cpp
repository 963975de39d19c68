// The ODBC provider through the real driver manager: the SQLite ODBC driver for the
// everyday work, a fake driver of our own for what SQL Server sends back (several
// records per failure, warnings, time-outs, batches), FreeTDS for failures to connect.

#include "Fallas.h"
#include "Puertos.h"
#include "platform/ado/Ado.h"
#include "platform/ado/Proveedor.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sql.h>
#include <sqlext.h>

#include <chrono>
#include <future>
#include <limits>
#include <thread>

using namespace ado;

namespace {

const QString fuenteOdbc = QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers");

// "SQLSTATE|native|number" of each entry, to compare lists in one go.
QStringList resumen(const QList<Error>& errores) {
    QStringList r;
    for (const Error& e : errores)
        r << QStringLiteral("%1|%2|%3")
                 .arg(e.SQLState)
                 .arg(e.NativeError)
                 .arg(static_cast<quint32>(e.Number), 0, 16);
    return r;
}

QString reg(const char* estado, int nativo, Numero numero) {
    return QStringLiteral("%1|%2|%3")
        .arg(QLatin1String(estado))
        .arg(nativo)
        .arg(static_cast<quint32>(numero), 0, 16);
}

QString cadenaFalso(const QString& resto = {}) {
    return QStringLiteral("DRIVER=%1;SERVER=falso;UID=u;PWD=p;%2")
        .arg(QStringLiteral(DRIVER_FALSO), resto);
}

std::unique_ptr<detalle::Proveedor> proveedorSobre(const QString& cadena) {
    detalle::DatosConexion datos;
    datos.cadenaOdbc = cadena;
    auto p = detalle::CreaProveedorOdbc();
    p->abrir(datos, 5);
    return p;
}

} // namespace

class TstOdbc : public QObject {
    Q_OBJECT

private slots:
    void init();

    // The SQLite ODBC driver
    void sentenciasCuentanFilas_data();
    void sentenciasCuentanFilas();
    void recordsetLeeFilas();
    void valoresIdaYVuelta_data();
    void valoresIdaYVuelta();
    void transacciones_data();
    void transacciones();
    void esquemaDeTablasYColumnas();
    void recordsetActualizable();
    void filaCambiadaNoSeActualiza_data();
    void filaCambiadaNoSeActualiza();
    void errorDelDriverReal();

    // The fake SQL Server driver
    void erroresDelServidor_data();
    void erroresDelServidor();
    void avisoNoHaceFallar();
    void loteConVariosResultados();
    void tiposDeColumna_data();
    void tiposDeColumna();
    void atributosLleganAlDriver_data();
    void atributosLleganAlDriver();
    void origenDeColumnas_data();
    void origenDeColumnas();
    void identidadDeSqlServer();
    void monedaComoDecimal_data();
    void monedaComoDecimal();
    void opcionesDelIni_data();
    void opcionesDelIni();

    // Failures to connect
    void conexionFallida_data();
    void conexionFallida();
    void servidorMudoRespetaEspera();

private:
    std::unique_ptr<Connection> abreSqlite();
    QString cadenaSqlite() const {
        return QStringLiteral("DRIVER=SQLite3;Database=%1;").arg(dir_->filePath("prueba.db"));
    }
    QVariant escalar(Connection& cn, const QString& sql);

    std::unique_ptr<QTemporaryDir> dir_;
};

void TstOdbc::init() {
    dir_ = std::make_unique<QTemporaryDir>();
}

std::unique_ptr<Connection> TstOdbc::abreSqlite() {
    auto cn = std::make_unique<Connection>();
    cn->Open(cadenaSqlite());
    for (const char* sql : {
             "CREATE TABLE T (id INTEGER PRIMARY KEY, nombre NVARCHAR(20) NOT NULL, cantidad INT, "
             "precio REAL, alta DATETIME)",
             "CREATE TABLE S (nombre NVARCHAR(20), cantidad INT)",
             "CREATE VIEW V AS SELECT id, nombre FROM T",
             "INSERT INTO T (nombre, cantidad, precio, alta) VALUES "
             "('ñandú', 3, 2.5, '2024-03-05 14:30:15'), ('b', NULL, NULL, NULL)",
             "INSERT INTO S VALUES ('a', 1)",
         })
        cn->Execute(QString::fromUtf8(sql));
    return cn;
}

QVariant TstOdbc::escalar(Connection& cn, const QString& sql) {
    Recordset rs;
    rs.Open(sql, cn);
    return rs.Eof() ? QVariant() : rs.Fields(0).Value();
}

// ---------------------------------------------------------------- SQLite ODBC driver

void TstOdbc::sentenciasCuentanFilas_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<long>("filas");
    QTest::newRow("insert of one row") << "INSERT INTO T (nombre) VALUES ('c')" << 1L;
    QTest::newRow("update of two rows") << "UPDATE T SET cantidad = 9 WHERE id IN (1, 2)" << 2L;
    QTest::newRow("delete that finds nothing") << "DELETE FROM T WHERE id = 99" << 0L;
}

void TstOdbc::sentenciasCuentanFilas() {
    QFETCH(QString, sql);
    QFETCH(long, filas);
    auto cn = abreSqlite();
    long afectadas = -7;
    cn->Execute(sql, &afectadas);
    QCOMPARE(afectadas, filas);
    QCOMPARE(cn->Errors().Count(), 0);
}

void TstOdbc::recordsetLeeFilas() {
    auto cn = abreSqlite();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, nombre, cantidad, precio, alta FROM T ORDER BY id"), *cn);
    QCOMPARE(rs.RecordCount(), 2);
    QCOMPARE(rs.Fields(QStringLiteral("NOMBRE")).Value(), QVariant(QStringLiteral("ñandú")));
    QCOMPARE(rs.Fields(QStringLiteral("nombre")).DefinedSize(), 20);
    QCOMPARE(rs.Fields(QStringLiteral("Cantidad")).Value(), QVariant(qint64(3)));
    QCOMPARE(rs.Fields(QStringLiteral("precio")).Value(), QVariant(2.5));
    QCOMPARE(rs.Fields(QStringLiteral("alta")).Value(),
             QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15))));
    QCOMPARE(rs.Fields(QStringLiteral("id")).Type(), int(adInteger));
    QCOMPARE(rs.Fields(QStringLiteral("alta")).Type(), int(adDBTimeStamp));
    rs.MoveNext();
    QCOMPARE(rs.Fields(QStringLiteral("nombre")).Value(), QVariant(QStringLiteral("b")));
    QVERIFY(rs.Fields(QStringLiteral("cantidad")).EsNulo());
    QVERIFY(!rs.Fields(QStringLiteral("alta")).Value().isValid());
    rs.MoveNext();
    QVERIFY(rs.Eof());
}

void TstOdbc::valoresIdaYVuelta_data() {
    QTest::addColumn<QString>("declarado");
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<QVariant>("leido");
    QString largo;
    for (int i = 0; i < 2500; ++i)
        largo += QStringLiteral("Neuquén-%1").arg(i % 10);
    const QByteArray bytes("\x00\x01\xfe\xff", 4);
    QTest::newRow("null") << "INT" << QVariant() << QVariant();
    QTest::newRow("int") << "INT" << QVariant(42) << QVariant(qint64(42));
    QTest::newRow("int beyond 32 bits")
        << "INTEGER" << QVariant(qint64(9007199254740993)) << QVariant(qint64(9007199254740993));
    QTest::newRow("double") << "REAL" << QVariant(-2.75) << QVariant(-2.75);
    QTest::newRow("bool") << "INT" << QVariant(true) << QVariant(qint64(1));
    QTest::newRow("text beyond ASCII")
        << "NVARCHAR(40)" << QVariant(QStringLiteral("Añelo – Neuquén €"))
        << QVariant(QStringLiteral("Añelo – Neuquén €"));
    QTest::newRow("text longer than one read") << "TEXT" << QVariant(largo) << QVariant(largo);
    QTest::newRow("date and time")
        << "DATETIME" << QVariant(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)))
        << QVariant(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)));
    QTest::newRow("date") << "DATE" << QVariant(QDate(1999, 12, 31))
                          << QVariant(QDateTime(QDate(1999, 12, 31), QTime(0, 0)));
    QTest::newRow("bytes") << "BLOB" << QVariant(bytes) << QVariant(bytes);
    QTest::newRow("money") << "NUMERIC" << QVariant::fromValue(Currency::DesdeEscalado(12345678901))
                           << QVariant(1234567.8901);
}

void TstOdbc::valoresIdaYVuelta() {
    QFETCH(QString, declarado);
    QFETCH(QVariant, valor);
    QFETCH(QVariant, leido);
    auto p = proveedorSobre(cadenaSqlite());
    p->ejecuta(QStringLiteral("CREATE TABLE P (v %1)").arg(declarado), {});
    QCOMPARE(p->ejecuta(QStringLiteral("INSERT INTO P VALUES (?)"), {valor}).filasAfectadas, 1L);
    const auto r = p->ejecuta(QStringLiteral("SELECT v FROM P"), {});
    QCOMPARE(r.filas.size(), 1);
    QCOMPARE(r.filas[0][0].typeId(), leido.typeId());
    QCOMPARE(r.filas[0][0], leido);
}

void TstOdbc::transacciones_data() {
    QTest::addColumn<bool>("confirmar");
    QTest::addColumn<qint64>("quedan");
    QTest::newRow("committed") << true << qint64(1);
    QTest::newRow("rolled back") << false << qint64(0);
}

void TstOdbc::transacciones() {
    QFETCH(bool, confirmar);
    QFETCH(qint64, quedan);
    auto cn = abreSqlite();
    cn->BeginTrans();
    cn->Execute(QStringLiteral("INSERT INTO S VALUES ('tx', 1)"));
    if (confirmar)
        cn->CommitTrans();
    else
        cn->RollbackTrans();
    const QString cuenta = QStringLiteral("SELECT COUNT(*) FROM S WHERE nombre = 'tx'");
    QCOMPARE(escalar(*cn, cuenta), QVariant(quedan));
    // Back in autocommit: another connection sees what follows at once.
    cn->Execute(QStringLiteral("INSERT INTO S VALUES ('tx', 2)"));
    Connection otra;
    otra.Open(cadenaSqlite());
    QCOMPARE(escalar(otra, cuenta), QVariant(quedan + 1));
}

void TstOdbc::esquemaDeTablasYColumnas() {
    auto cn = abreSqlite();
    Recordset rs;
    cn->OpenSchema(adSchemaTables, {}, rs);
    QStringList tablas;
    for (; !rs.Eof(); rs.MoveNext())
        tablas << rs.Fields(QStringLiteral("TABLE_NAME")).Value().toString() + u':' +
                      rs.Fields(QStringLiteral("TABLE_TYPE")).Value().toString();
    QVERIFY2(tablas.contains(QStringLiteral("T:TABLE")), qPrintable(tablas.join(u' ')));
    QVERIFY2(tablas.contains(QStringLiteral("V:VIEW")), qPrintable(tablas.join(u' ')));

    cn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), QStringLiteral("T")}, rs);
    QStringList columnas;
    for (; !rs.Eof(); rs.MoveNext()) {
        QCOMPARE(rs.Fields(QStringLiteral("TABLE_NAME")).Value().toString(), QStringLiteral("T"));
        const QVariant largo = rs.Fields(QStringLiteral("CHARACTER_MAXIMUM_LENGTH")).Value();
        columnas << QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(rs.Fields(QStringLiteral("COLUMN_NAME")).Value().toString())
                        .arg(rs.Fields(QStringLiteral("ORDINAL_POSITION")).Value().toInt())
                        .arg(rs.Fields(QStringLiteral("DATA_TYPE")).Value().toInt())
                        .arg(largo.isNull() ? QStringLiteral("-") : largo.toString())
                        .arg(rs.Fields(QStringLiteral("IS_NULLABLE")).Value().toBool()
                                 ? QStringLiteral("true")
                                 : QStringLiteral("false"));
    }
    QCOMPARE(
        columnas,
        (QStringList{QStringLiteral("id 1 3 - true"), QStringLiteral("nombre 2 200 20 false"),
                     QStringLiteral("cantidad 3 3 - true"), QStringLiteral("precio 4 5 - true"),
                     QStringLiteral("alta 5 135 - true")}));
}

void TstOdbc::recordsetActualizable() {
    auto cn = abreSqlite();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM T"), *cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("NOMBRE")) = QStringLiteral("nuevo");
    rs.Fields(QStringLiteral("cantidad")) = 7;
    rs.Update();
    const QVariant id = escalar(*cn, QStringLiteral("SELECT id FROM T WHERE nombre = 'nuevo'"));
    QCOMPARE(id, QVariant(qint64(3)));
    QCOMPARE(rs.Fields(QStringLiteral("id")).Value(), id); // the key the database gave
    QCOMPARE(escalar(*cn, QStringLiteral("SELECT cantidad FROM T WHERE id = 3")),
             QVariant(qint64(7)));

    rs.Fields(QStringLiteral("cantidad")) = 8;
    rs.Update();
    QCOMPARE(escalar(*cn, QStringLiteral("SELECT cantidad FROM T WHERE id = 3")),
             QVariant(qint64(8)));
    QCOMPARE(escalar(*cn, QStringLiteral("SELECT COUNT(*) FROM T")), QVariant(qint64(3)));
}

void TstOdbc::filaCambiadaNoSeActualiza_data() {
    QTest::addColumn<QString>("consulta");
    QTest::addColumn<QString>("cambio");
    QTest::newRow("value changed, table without key") << "SELECT * FROM S"
                                                      << "UPDATE S SET cantidad = 99";
    QTest::newRow("row deleted, table with key") << "SELECT * FROM T"
                                                 << "DELETE FROM T";
}

void TstOdbc::filaCambiadaNoSeActualiza() {
    QFETCH(QString, consulta);
    QFETCH(QString, cambio);
    auto cn = abreSqlite();
    Recordset rs;
    rs.Open(consulta, *cn, adOpenDynamic, adLockOptimistic);
    cn->Execute(cambio);
    rs.Fields(QStringLiteral("nombre")) = QStringLiteral("otro");
    QCOMPARE(fallaDe([&] { rs.Update(); }).Number, codigo::DB_E_ROWNOTFOUND);
    QCOMPARE(escalar(*cn, QStringLiteral("SELECT COUNT(*) FROM S WHERE nombre = 'otro'")),
             QVariant(qint64(0)));
    QCOMPARE(escalar(*cn, QStringLiteral("SELECT COUNT(*) FROM T WHERE nombre = 'otro'")),
             QVariant(qint64(0)));
}

void TstOdbc::errorDelDriverReal() {
    auto cn = abreSqlite();
    const Falla f = fallaDe([&] { cn->Execute(QStringLiteral("SELECT * FROM nada")); });
    QCOMPARE(f.Number, codigo::DB_E_ERRORSINCOMMAND);
    QCOMPARE(cn->Errors().Count(), 1);
    const Error& e = cn->Errors().Item(0);
    QCOMPARE(e.SQLState, QStringLiteral("HY000"));
    QCOMPARE(e.NativeError, 1);
    QVERIFY2(e.Description.contains(QLatin1String("no such table: nada")),
             qPrintable(e.Description));
    QCOMPARE(e.Source, fuenteOdbc);
    QCOMPARE(f.Description, e.Description);
}

// ---------------------------------------------------------------- fake SQL Server driver

void TstOdbc::erroresDelServidor_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("segundos");
    QTest::addColumn<QStringList>("registros");
    QTest::addColumn<Numero>("numero");
    QTest::addColumn<QString>("descripcion");
    const QString truncado = QStringLiteral("String or binary data would be truncated.");
    const QString duplicado = QStringLiteral(
        "Violation of PRIMARY KEY constraint 'PK_Camiones'. Cannot insert duplicate key in "
        "object 'dbo.Camiones'.");
    const QString terminada = reg("01000", 3621, codigo::DB_E_ERRORSINCOMMAND);
    QTest::newRow("truncation, then statement terminated")
        << "TRUNCA" << 30 << QStringList{reg("22001", 8152, codigo::DB_E_DATAOVERFLOW), terminada}
        << codigo::DB_E_DATAOVERFLOW << truncado;
    QTest::newRow("duplicate key")
        << "DUPLICA" << 30
        << QStringList{reg("23000", 2627, codigo::DB_E_INTEGRITYVIOLATION), terminada}
        << codigo::DB_E_INTEGRITYVIOLATION << duplicado;
    QTest::newRow("missing table")
        << "NOTABLA" << 30 << QStringList{reg("42S02", 208, codigo::DB_E_NOTABLE)}
        << codigo::DB_E_NOTABLE << QStringLiteral("Invalid object name 'Nada'.");
    QTest::newRow("syntax error") << "SELEC T" << 30
                                  << QStringList{reg("42000", 102, codigo::DB_E_ERRORSINCOMMAND)}
                                  << codigo::DB_E_ERRORSINCOMMAND
                                  << QStringLiteral("Incorrect syntax near 'SELEC T'.");
    QTest::newRow("command time-out")
        << "DEMORA" << 5 << QStringList{reg("HYT00", 0, codigo::DB_E_ABORTLIMITREACHED)}
        << codigo::DB_E_ABORTLIMITREACHED << QStringLiteral("Query timeout expired");
    QTest::newRow("conversion failing while rows are read")
        << "CONVIERTE" << 30 << QStringList{reg("22018", 245, codigo::DB_E_CANTCONVERTVALUE)}
        << codigo::DB_E_CANTCONVERTVALUE
        << QStringLiteral(
               "Conversion failed when converting the varchar value 'x' to data type int.");
    QTest::newRow("error after a warning in the same batch")
        << "AVISO; TRUNCA" << 30
        << QStringList{reg("01000", 5701, 0), reg("22001", 8152, codigo::DB_E_DATAOVERFLOW),
                       terminada}
        << codigo::DB_E_DATAOVERFLOW << truncado;
    QTest::newRow("the batch goes on after a statement fails")
        << "FILAS 1; DUPLICA; FILAS 1; TRUNCA" << 30
        << QStringList{reg("23000", 2627, codigo::DB_E_INTEGRITYVIOLATION), terminada,
                       reg("22001", 8152, codigo::DB_E_DATAOVERFLOW), terminada}
        << codigo::DB_E_INTEGRITYVIOLATION << duplicado;
    QTest::newRow("failure that leaves no record")
        << "SINREGISTROS" << 30 << QStringList{reg("HY000", 0, codigo::DB_E_ERRORSINCOMMAND)}
        << codigo::DB_E_ERRORSINCOMMAND
        << QStringLiteral(
               "The ODBC driver reported a failure of SQLExecDirect without describing it.");
}

void TstOdbc::erroresDelServidor() {
    QFETCH(QString, sql);
    QFETCH(int, segundos);
    QFETCH(QStringList, registros);
    QFETCH(Numero, numero);
    QFETCH(QString, descripcion);
    Connection cn;
    cn.Open(cadenaFalso());
    cn.setCommandTimeout(segundos);
    const Falla f = fallaDe([&] { cn.Execute(sql); });
    QCOMPARE(f.Number, numero);
    QCOMPARE(f.Description, descripcion);
    QCOMPARE(f.Source, fuenteOdbc);
    QCOMPARE(resumen(cn.Errors().todos()), registros);
    QCOMPARE(resumen(f.Registros), registros);
    for (const Error& e : cn.Errors().todos())
        QVERIFY(!e.Description.isEmpty());
}

void TstOdbc::avisoNoHaceFallar() {
    Connection cn;
    cn.Open(cadenaFalso());
    long filas = -7;
    cn.Execute(QStringLiteral("AVISO"), &filas);
    QCOMPARE(filas, 1L);
    QCOMPARE(resumen(cn.Errors().todos()), QStringList{reg("01000", 5701, 0)});
    QCOMPARE(cn.Errors().Item(0).Description,
             QStringLiteral("Changed database context to 'Reparto'."));
}

void TstOdbc::loteConVariosResultados() {
    Connection cn;
    cn.Open(cadenaFalso());
    long filas = -7;
    Recordset rs;
    cn.Execute(QStringLiteral("SELECT 7; AVISO; FILAS 2; SELECT 8"), &filas, &rs);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(QStringLiteral("n")).Value(), QVariant(qint64(7)));
    QCOMPARE(filas, 3L);
    QCOMPARE(resumen(cn.Errors().todos()), QStringList{reg("01000", 5701, 0)});
}

void TstOdbc::tiposDeColumna_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<int>("tamano");
    QTest::addColumn<QVariant>("valor");
    QString largo;
    for (int i = 0; i < 3000; ++i)
        largo += QStringLiteral("Añelo-%1").arg(i % 10);
    QTest::newRow("nvarchar") << "nvarchar" << int(adVarWChar) << 40
                              << QVariant(QStringLiteral("Añelo – Neuquén"));
    QTest::newRow("varchar") << "varchar" << int(adVarChar) << 10
                             << QVariant(QStringLiteral("abc"));
    QTest::newRow("char") << "char" << int(adChar) << 3 << QVariant(QStringLiteral("XY "));
    QTest::newRow("nchar") << "nchar" << int(adWChar) << 2 << QVariant(QStringLiteral("ñ"));
    QTest::newRow("int") << "int" << int(adInteger) << 4 << QVariant(qint64(-2147483647));
    QTest::newRow("smallint") << "smallint" << int(adSmallInt) << 2 << QVariant(qint64(-32768));
    QTest::newRow("tinyint") << "tinyint" << int(adTinyInt) << 1 << QVariant(qint64(255));
    QTest::newRow("bigint, exact beyond a double")
        << "bigint" << int(adBigInt) << 8 << QVariant(qint64(9007199254740993));
    QTest::newRow("bit") << "bit" << int(adBoolean) << 2 << QVariant(qint64(1));
    QTest::newRow("money") << "money" << int(adCurrency) << 8 << QVariant(1234.5678);
    QTest::newRow("numeric") << "numeric" << int(adNumeric) << 19 << QVariant(-0.125);
    QTest::newRow("float") << "float" << int(adDouble) << 8 << QVariant(2.5e10);
    QTest::newRow("real") << "real" << int(adDouble) << 8 << QVariant(0.5);
    QTest::newRow("datetime") << "datetime" << int(adDBTimeStamp) << 16
                              << QVariant(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 997)));
    QTest::newRow("date") << "date" << int(adDBDate) << 6
                          << QVariant(QDateTime(QDate(1999, 12, 31), QTime(0, 0)));
    QTest::newRow("ntext longer than one read")
        << "ntext" << int(adLongVarWChar) << 1073741823 << QVariant(largo);
    QTest::newRow("varbinary") << "varbinary" << 204 << 16
                               << QVariant(QByteArray("\x00\x01\xfe\xff", 4));
}

void TstOdbc::tiposDeColumna() {
    QFETCH(QString, campo);
    QFETCH(int, tipo);
    QFETCH(int, tamano);
    QFETCH(QVariant, valor);
    Connection cn;
    cn.Open(cadenaFalso());
    Recordset rs;
    rs.Open(QStringLiteral("TIPOS"), cn);
    QCOMPARE(rs.RecordCount(), 2);
    Field f = rs.Fields(campo);
    QCOMPARE(f.Type(), tipo);
    QCOMPARE(f.DefinedSize(), tamano);
    QCOMPARE(f.Value().typeId(), valor.typeId());
    QCOMPARE(f.Value(), valor);
    rs.MoveNext();
    QVERIFY(rs.Fields(campo).EsNulo());
}

void TstOdbc::atributosLleganAlDriver_data() {
    QTest::addColumn<int>("nivelAdo");
    QTest::addColumn<qint64>("nivelOdbc");
    QTest::newRow("read uncommitted") << int(adXactReadUncommitted) << qint64(1);
    QTest::newRow("read committed") << int(adXactReadCommitted) << qint64(2);
    QTest::newRow("repeatable read") << int(adXactRepeatableRead) << qint64(4);
    QTest::newRow("serializable") << int(adXactSerializable) << qint64(8);
}

void TstOdbc::atributosLleganAlDriver() {
    QFETCH(int, nivelAdo);
    QFETCH(qint64, nivelOdbc);
    Connection cn;
    OpcionesOdbc opciones;
    opciones.segundosConexion = 7;
    cn.setOpcionesOdbc(opciones);
    cn.Open(cadenaFalso());
    cn.setIsolationLevel(nivelAdo);
    cn.setDefaultDatabase(QStringLiteral("Reparto"));
    cn.setCommandTimeout(11);
    Recordset rs;
    cn.Execute(QStringLiteral("ATRIBUTOS"), nullptr, &rs);
    QCOMPARE(rs.Fields(QStringLiteral("AISLAMIENTO")).Value(), QVariant(nivelOdbc));
    QCOMPARE(rs.Fields(QStringLiteral("CATALOGO")).Value(), QVariant(QStringLiteral("Reparto")));
    QCOMPARE(rs.Fields(QStringLiteral("ESPERA_LOGIN")).Value(), QVariant(qint64(7)));
    QCOMPARE(rs.Fields(QStringLiteral("ESPERA_CONSULTA")).Value(), QVariant(qint64(11)));
    QCOMPARE(rs.Fields(QStringLiteral("AUTOCOMMIT")).Value(), QVariant(qint64(1)));
}

void TstOdbc::origenDeColumnas_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("tabla");
    QTest::addColumn<QString>("columna");
    QTest::newRow("the driver names the base table")
        << "SELECT id FROM Vista -- base:Camiones.IdCamion"
        << "Camiones"
        << "IdCamion";
    QTest::newRow("the driver names only the table") << "SELECT id FROM Vista -- tabla:Choferes"
                                                     << "Choferes"
                                                     << "";
    QTest::newRow("plain select") << "SELECT * FROM Camiones WHERE id = 1"
                                  << "Camiones"
                                  << "";
    QTest::newRow("owner, brackets and alias") << "select id from dbo.[Hoja Ruta] h order by id"
                                               << "Hoja Ruta"
                                               << "";
    QTest::newRow("table hint") << "SELECT id FROM Camiones WITH (NOLOCK)"
                                << "Camiones"
                                << "";
    QTest::newRow("subquery among the columns")
        << "SELECT id, (SELECT MAX(x) FROM Otra) AS m FROM Camiones"
        << "Camiones"
        << "";
    QTest::newRow("join") << "SELECT id FROM Camiones c JOIN Choferes h ON c.id = h.id"
                          << ""
                          << "";
    QTest::newRow("two tables") << "SELECT id FROM Camiones, Choferes"
                                << ""
                                << "";
    QTest::newRow("derived table") << "SELECT id FROM (SELECT id FROM Camiones) x"
                                   << ""
                                   << "";
}

void TstOdbc::origenDeColumnas() {
    QFETCH(QString, sql);
    QFETCH(QString, tabla);
    QFETCH(QString, columna);
    auto p = proveedorSobre(cadenaFalso());
    const auto r = p->ejecuta(sql, {});
    QCOMPARE(r.columnas.size(), 1);
    QCOMPARE(r.columnas[0].tablaBase, tabla);
    QCOMPARE(r.columnas[0].columnaBase, columna);
}

void TstOdbc::identidadDeSqlServer() {
    auto p = proveedorSobre(cadenaFalso());
    const QVariant id = p->ultimaIdentidad();
    QCOMPARE(id.typeId(), int(QMetaType::LongLong));
    QCOMPARE(id, QVariant(qint64(42)));
    p->cerrar();
    p->cerrar();
}

void TstOdbc::monedaComoDecimal_data() {
    QTest::addColumn<qint64>("escalado");
    QTest::addColumn<QString>("texto");
    QTest::newRow("cero") << qint64(0) << "0";
    QTest::newRow("entero") << qint64(10000) << "1";
    QTest::newRow("cuatro decimales") << qint64(12345678901) << "1234567.8901";
    QTest::newRow("negativo") << qint64(-28005000) << "-2800.5";
    QTest::newRow("el mayor") << std::numeric_limits<qint64>::max() << "922337203685477.5807";
}

// Money reaches SQL Server as the exact decimal text, typed as money's DECIMAL(19,4).
void TstOdbc::monedaComoDecimal() {
    QFETCH(qint64, escalado);
    QFETCH(QString, texto);
    auto p = proveedorSobre(cadenaFalso());
    const auto r =
        p->ejecuta(QStringLiteral("PARAMETROS"),
                   {QVariant::fromValue(Currency::DesdeEscalado(escalado)), QVariant(2.5)});
    QCOMPARE(r.filas.size(), 2);
    QCOMPARE(r.filas[0],
             (QVariantList{qint64(SQL_C_CHAR), qint64(SQL_DECIMAL), qint64(19), qint64(4), texto}));
    // A double stays a double.
    QCOMPARE(r.filas[1].mid(0, 2), (QVariantList{qint64(SQL_C_DOUBLE), qint64(SQL_DOUBLE)}));
}

void TstOdbc::opcionesDelIni_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("esperado"); // SQL Server driver, Oracle driver, seconds
    QTest::newRow("sin archivo") << QByteArray() << QStringList{"FreeTDS", "Oracle", "15"};
    QTest::newRow("seccion completa")
        << QByteArray("[PC01|ANA]\r\nDriverOracle=Otro\r\n[odbc]\r\nDriverSqlServer = ODBC "
                      "Driver 18 for SQL Server\r\ndriveroracle=Oracle 21\r\n"
                      "SegundosConexion=4\r\n")
        << QStringList{"ODBC Driver 18 for SQL Server", "Oracle 21", "4"};
    QTest::newRow("espera que no sirve")
        << QByteArray("[ODBC]\r\nSegundosConexion=0\r\n") << QStringList{"FreeTDS", "Oracle", "15"};
}

// The drivers' names come from the workstation's INI file, section [ODBC].
void TstOdbc::opcionesDelIni() {
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, esperado);
    const QString ruta = dir_->filePath(QStringLiteral("CN000pr.INI"));
    if (!ini.isNull()) {
        QFile archivo(ruta);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write(ini);
    }
    // The file's name is matched without regard to case.
    const OpcionesOdbc o = LeeOpcionesOdbc(dir_->filePath(QStringLiteral("cn000pr.ini")));
    QCOMPARE((QStringList{o.driverSqlServer, o.driverOracle, QString::number(o.segundosConexion)}),
             esperado);
}

// ---------------------------------------------------------------- failures to connect

void TstOdbc::conexionFallida_data() {
    QTest::addColumn<QString>("cadena");
    QTest::addColumn<QString>("estado");
    QTest::addColumn<int>("nativo");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("FreeTDS, nothing listening on the port")
        << QStringLiteral("PROVIDER=SQLOLEDB;Server=127.0.0.1,%1;Database =x;UId=u;Pwd=p;")
               .arg(prueba::PuertoCerrado())
        << "08S01" << 20009
        << "[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable or does not "
           "exist";
    QTest::newRow("driver not installed")
        << "DRIVER={NoExiste};"
        << "IM002" << 0 << "[unixODBC][Driver Manager]Can't open lib 'NoExiste' : file not found";
    QTest::newRow("data source not defined")
        << "DSN=NoExiste;"
        << "IM002" << 0
        << "[unixODBC][Driver Manager]Data source name not found and no default driver "
           "specified";
    QTest::newRow("login refused") << cadenaFalso(QStringLiteral("UID=rechazado;")) << "28000"
                                   << 18456 << "Login failed for user 'rechazado'.";
}

void TstOdbc::conexionFallida() {
    QFETCH(QString, cadena);
    QFETCH(QString, estado);
    QFETCH(int, nativo);
    QFETCH(QString, mensaje);
    Connection cn;
    cn.setOpcionesOdbc(OpcionesOdbc{QStringLiteral("FreeTDS"), QStringLiteral("Oracle"), 2});
    QElapsedTimer reloj;
    reloj.start();
    const Falla f = fallaDe([&] { cn.Open(cadena); });
    QVERIFY2(reloj.elapsed() < 10000, qPrintable(QString::number(reloj.elapsed())));
    QCOMPARE(f.Number, codigo::E_FAIL);
    QCOMPARE(cn.State(), int(adStateClosed));
    QVERIFY(cn.Errors().Count() > 0);
    const Error& primero = cn.Errors().Item(0);
    QCOMPARE(primero.SQLState, estado);
    QCOMPARE(primero.NativeError, nativo);
    QCOMPARE(primero.Description, mensaje);
    QCOMPARE(f.Description, mensaje);
    for (const Error& e : cn.Errors().todos())
        QCOMPARE(e.Number, codigo::E_FAIL);
}

void TstOdbc::servidorMudoRespetaEspera() {
    // FreeTDS must give up after the login time-out; a hang is reported, not waited out.
    prueba::ServidorMudo mudo;
    const QString cadena =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=127.0.0.1,%1;Database =x;UId=u;Pwd=p;")
            .arg(mudo.puerto);
    struct Intento {
        QList<Error> errores;
        Numero numero = 0;
        qint64 ms = 0;
    };
    auto tarea = std::make_shared<std::packaged_task<Intento()>>([cadena] {
        Connection cn;
        cn.setOpcionesOdbc(OpcionesOdbc{QStringLiteral("FreeTDS"), QStringLiteral("Oracle"), 2});
        QElapsedTimer reloj;
        reloj.start();
        Intento r;
        r.numero = fallaDe([&] { cn.Open(cadena); }).Number;
        r.ms = reloj.elapsed();
        r.errores = cn.Errors().todos();
        return r;
    });
    auto futuro = tarea->get_future();
    std::thread hilo([tarea] { (*tarea)(); });
    if (futuro.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        hilo.detach();
        QFAIL("the login was still waiting after 30 s");
    }
    hilo.join();
    const Intento r = futuro.get();
    QVERIFY2(r.ms < 10000, qPrintable(QString::number(r.ms)));
    QCOMPARE(r.numero, codigo::E_FAIL);
    QVERIFY(!r.errores.isEmpty());
    QCOMPARE(r.errores.first().SQLState, QStringLiteral("HYT00"));
    QCOMPARE(r.errores.first().Description, QStringLiteral("[FreeTDS][SQL Server]Timeout expired"));
}

QTEST_GUILESS_MAIN(TstOdbc)
#include "tst_odbc.moc"
