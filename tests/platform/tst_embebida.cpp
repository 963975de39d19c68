// The embedded provider through the connection: SQL Server's answers to what the
// program writes, its error numbers, its trace.

#include "BaseDePrueba.h"
#include "platform/ado/EsperaBloqueo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ado;

class TstEmbebida : public QObject {
    Q_OBJECT

private slots:
    void rechazaComoSqlServer_data();
    void rechazaComoSqlServer();
    void loteSigueTrasErrorDeSentencia();
    void fechasSeGuardanIso_data();
    void fechasSeGuardanIso();
    void fechaSeLeeComoFecha();
    void textoSinDistinguirMayusculas_data();
    void textoSinDistinguirMayusculas();
    void dialectoDeLaAplicacion_data();
    void dialectoDeLaAplicacion();
    void filasAfectadasPorVista();
    void transacciones();
    void scriptConRollback();
    void sentenciaIlegibleFallaConSuMotivo_data();
    void sentenciaIlegibleFallaConSuMotivo();
    void aperturaFallida_data();
    void aperturaFallida();
    void tiempoDeComandoAgotado();
    void esperaUnBloqueo_data();
    void esperaUnBloqueo();
    void trazaListaLasSentencias();
    void catalogos();
};

void TstEmbebida::rechazaComoSqlServer_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("nativo");
    QTest::addColumn<QString>("estado");
    QTest::addColumn<int>("numero");
    QTest::addColumn<int>("registros");
    const int integridad = codigo::DB_E_INTEGRITYVIOLATION;
    const int conversion = codigo::DB_E_CANTCONVERTVALUE;
    QTest::newRow("clave duplicada")
        << "INSERT INTO CLIENTES (Codigo) VALUES ('A1')" << 2627 << "23000" << integridad << 2;
    QTest::newRow("clave primaria duplicada")
        << "INSERT INTO TA_CONFIGURACION (Clave) VALUES ('piva')" << 2627 << "23000" << integridad
        << 2;
    QTest::newRow("nulo no permitido")
        << "INSERT INTO CLIENTES (Nombre) VALUES ('x')" << 515 << "23000" << integridad << 2;
    QTest::newRow("clave foranea") << "INSERT INTO CLIENTES (Codigo, Zona) VALUES ('B', '   9')"
                                   << 547 << "23000" << integridad << 2;
    QTest::newRow("texto largo") << "INSERT INTO CLIENTES (Codigo) VALUES ('1234567')" << 8152
                                 << "22001" << int(codigo::DB_E_DATAOVERFLOW) << 2;
    QTest::newRow("texto largo al modificar")
        << "UPDATE CLIENTES SET Nombre = 'abcdefghijklmnopqrstu'" << 8152 << "22001"
        << int(codigo::DB_E_DATAOVERFLOW) << 2;
    QTest::newRow("coma decimal en numero")
        << "INSERT INTO CLIENTES (Codigo, Cantidad) VALUES ('C', '12,5')" << 8114 << "22018"
        << conversion << 1;
    QTest::newRow("letras en entero")
        << "INSERT INTO CLIENTES (Codigo, Visitas) VALUES ('C', 'abc')" << 245 << "22018"
        << conversion << 1;
    QTest::newRow("letras en moneda")
        << "UPDATE CLIENTES SET Saldo = 'abc'" << 8114 << "22018" << conversion << 1;
    QTest::newRow("fecha imposible")
        << "INSERT INTO CLIENTES (Codigo, Alta) VALUES ('C', '31/02/2024')" << 242 << "22008"
        << conversion << 1;
    QTest::newRow("fecha iso imposible")
        << "UPDATE CLIENTES SET Alta = '2024-02-30'" << 242 << "22008" << conversion << 1;
    QTest::newRow("no es fecha") << "INSERT INTO CLIENTES (Codigo, Alta) VALUES ('C', 'ayer')"
                                 << 241 << "22007" << conversion << 1;
    QTest::newRow("tabla inexistente")
        << "SELECT * FROM NO_EXISTE" << 208 << "42S02" << int(codigo::DB_E_NOTABLE) << 1;
    QTest::newRow("columna inexistente")
        << "SELECT Nada FROM CLIENTES" << 207 << "42S22" << int(codigo::DB_E_ERRORSINCOMMAND) << 1;
}

void TstEmbebida::rechazaComoSqlServer() {
    QFETCH(QString, sql);
    QFETCH(int, nativo);
    QFETCH(QString, estado);
    QFETCH(int, numero);
    QFETCH(int, registros);
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Nombre) VALUES ('A1', 'Ana')"));
    cn->Execute(QStringLiteral("INSERT INTO TA_CONFIGURACION (Clave) VALUES ('PIVA')"));

    const Falla f = fallaDe([&] { cn->Execute(sql); });
    QCOMPARE(f.Number, numero);
    QCOMPARE(cn->Errors().Count(), registros);
    const Error& e = cn->Errors().Item(0);
    QCOMPARE(e.NativeError, nativo);
    QCOMPARE(e.SQLState, estado);
    QCOMPARE(e.Number, numero);
    QVERIFY(!e.Description.isEmpty());
    if (registros == 2) {
        QCOMPARE(cn->Errors().Item(1).NativeError, 3621);
        QCOMPARE(cn->Errors().Item(1).Description,
                 QStringLiteral("The statement has been terminated."));
    }
    // Nothing of the refused statement was kept.
    Recordset rs;
    rs.Open(QStringLiteral("SELECT count(*) AS N FROM CLIENTES WHERE Codigo <> 'A1'"), *cn);
    QCOMPARE(rs.Fields(QStringLiteral("N")).Value().toInt(), 0);
}

void TstEmbebida::loteSigueTrasErrorDeSentencia() {
    // SQL Server ends only the failing statement on a constraint error; the caller
    // sees the error and decides (the update scripts then roll back).
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS (Texto) VALUES ('antes')"));
    const Falla f = fallaDe([&] {
        cn->Execute(QStringLiteral(
            "INSERT INTO NOTAS (Texto) VALUES ('uno')\r"
            "INSERT INTO NOTAS (Texto) VALUES ('un texto demasiado largo para treinta')\r"
            "INSERT INTO NOTAS (Texto) VALUES ('tres')"));
    });
    QCOMPARE(f.Registros.first().NativeError, 8152);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Texto FROM NOTAS ORDER BY rowid"), *cn);
    QCOMPARE(rs.RecordCount(), 3);
    rs.MoveLast();
    QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("tres"));

    // A conversion error ends the whole batch, as there.
    fallaDe([&] {
        cn->Execute(QStringLiteral("INSERT INTO NOTAS (Numero) VALUES ('x')\r"
                                   "INSERT INTO NOTAS (Texto) VALUES ('cuatro')"));
    });
    rs.Close();
    rs.Open(QStringLiteral("SELECT count(*) FROM NOTAS"), *cn);
    QCOMPARE(rs.Fields(0).Value().toInt(), 3);
}

void TstEmbebida::fechasSeGuardanIso_data() {
    QTest::addColumn<QString>("escrita");
    QTest::addColumn<QString>("guardada");
    QTest::newRow("dia/mes/año") << "31/01/2024"
                                 << "2024-01-31";
    QTest::newRow("iso") << "2024-01-31"
                         << "2024-01-31";
    QTest::newRow("iso con medianoche") << "2024-01-31 00:00:00"
                                        << "2024-01-31";
    QTest::newRow("un digito") << "1/2/2024"
                               << "2024-02-01";
    QTest::newRow("año corto") << "05/03/24"
                               << "2024-03-05";
    QTest::newRow("año corto del siglo pasado") << "05/03/99"
                                                << "1999-03-05";
    QTest::newRow("con hora") << "31/01/2024 10:30"
                              << "2024-01-31 10:30:00";
    QTest::newRow("iso con hora") << "2024-01-31T08:05:09"
                                  << "2024-01-31 08:05:09";
    QTest::newRow("compacta") << "20240229"
                              << "2024-02-29";
}

void TstEmbebida::fechasSeGuardanIso() {
    QFETCH(QString, escrita);
    QFETCH(QString, guardada);
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(
        QStringLiteral("INSERT INTO CLIENTES (Codigo, Alta) VALUES ('A', '%1')").arg(escrita));
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo) VALUES ('B')"));
    cn->Execute(QStringLiteral("UPDATE CLIENTES SET Alta = '%1' WHERE Codigo = 'B'").arg(escrita));
    Recordset rs;
    // typeof/quote show the stored text itself, not the layer's reading of it.
    rs.Open(QStringLiteral("SELECT Codigo, quote(Alta) AS Guardada FROM CLIENTES ORDER BY Codigo"),
            *cn);
    QCOMPARE(rs.Fields(QStringLiteral("Guardada")).Value().toString(), u'\'' + guardada + u'\'');
    rs.MoveNext();
    QCOMPARE(rs.Fields(QStringLiteral("Guardada")).Value().toString(), u'\'' + guardada + u'\'');
}

void TstEmbebida::fechaSeLeeComoFecha() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Alta) VALUES ('A', '31/01/2024')"));
    cn->Execute(QStringLiteral("INSERT INTO CLIENTES (Codigo, Alta) VALUES ('B', '2024-01-31')"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Alta FROM CLIENTES WHERE Alta = '31/01/2024'"), *cn);
    QCOMPARE(rs.RecordCount(), 2);
    QCOMPARE(rs.Fields(0).Type(), int(adDBTimeStamp));
    QCOMPARE(rs.Fields(0).Value().toDateTime(), QDateTime(QDate(2024, 1, 31), QTime(0, 0)));
}

void TstEmbebida::textoSinDistinguirMayusculas_data() {
    QTest::addColumn<QString>("sql");
    QTest::newRow("columna") << "SELECT Clave FROM TA_CONFIGURACION WHERE CLAVE = 'cc_col1'";
    QTest::newRow("con recorte") << "SELECT TOP 1  * FROM TA_CONFIGURACION with(nolock)  WHERE "
                                    "LTRIM(RTRIM(Clave)) ='cc_col1' ";
    QTest::newRow("en lista")
        << "SELECT Clave FROM TA_CONFIGURACION WHERE Clave IN ('x', 'Cc_Col1')";
    QTest::newRow("mayor o igual")
        << "SELECT Clave FROM TA_CONFIGURACION WHERE Clave >= 'cc_col1' AND Clave <= 'CC_COL1'";
}

void TstEmbebida::textoSinDistinguirMayusculas() {
    QFETCH(QString, sql);
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(
        QStringLiteral("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('CC_COL1', 'SI')"));
    Recordset rs;
    rs.Open(sql, *cn);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(QStringLiteral("clave")).Value().toString(), QStringLiteral("CC_COL1"));
}

void TstEmbebida::dialectoDeLaAplicacion_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("esperado");
    QTest::newRow("top en subconsulta")
        << "SELECT Codigo FROM CLIENTES with(nolock) WHERE Id IN (SELECT TOP 2 Id FROM CLIENTES "
           "ORDER BY Id DESC) ORDER BY Codigo"
        << QStringList{"B", "C"};
    QTest::newRow("top 100 percent")
        << "SELECT TOP 100 PERCENT Codigo FROM dbo.CLIENTES ORDER BY Codigo"
        << QStringList{"A", "B", "C"};
    QTest::newRow("isnull y len") << "SELECT ISNULL(Nombre, 'sin') + '-' + CONVERT(NVARCHAR, "
                                     "LEN(Codigo + '  ')) FROM CLIENTES ORDER BY Id"
                                  << QStringList{"Ana-1", "sin-1", "Carla-1"};
    QTest::newRow("fecha en dia/mes/año")
        << "SELECT CONVERT(NVARCHAR, Alta, 103) FROM CLIENTES WHERE Alta IS NOT NULL"
        << QStringList{"31/01/2024"};
    QTest::newRow("corchetes") << "SELECT [NUMERO ASIENTO] FROM [MV ASIENTOS]" << QStringList{"7"};
    QTest::newRow("substring")
        << "SELECT SUBSTRING(Nombre, 2, 3) FROM CLIENTES WHERE Nombre LIKE 'car%'"
        << QStringList{"arl"};
}

void TstEmbebida::dialectoDeLaAplicacion() {
    QFETCH(QString, sql);
    QFETCH(QStringList, esperado);
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral(
        "INSERT INTO CLIENTES (Codigo, Nombre, Alta) VALUES ('A', 'Ana', '31/01/2024')\r"
        "INSERT INTO CLIENTES (Codigo) VALUES ('B')\r"
        "INSERT INTO CLIENTES (Codigo, Nombre) VALUES ('C', 'Carla')\r"
        "INSERT INTO [MV ASIENTOS] ([NUMERO ASIENTO], Importe) VALUES (7, 10)"));
    Recordset rs;
    rs.Open(sql, *cn);
    QStringList obtenido;
    for (; !rs.Eof(); rs.MoveNext())
        obtenido << rs.Fields(0).Value().toString();
    QCOMPARE(obtenido, esperado);
}

void TstEmbebida::filasAfectadasPorVista() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->Execute(QStringLiteral(
        "INSERT INTO CLIENTES (Codigo) VALUES ('A')\rINSERT INTO CLIENTES (Codigo) VALUES ('B')"));
    long filas = -5;
    cn->Execute(QStringLiteral("UPDATE CLIENTES SET Visitas = 3"), &filas);
    QCOMPARE(filas, 2L);
    cn->Execute(QStringLiteral("delete V_CLIENTES WHERE Codigo = 'a'"), &filas);
    QCOMPARE(filas, 1L);
    cn->Execute(QStringLiteral("SELECT * FROM CLIENTES"), &filas);
    QCOMPARE(filas, -1L);
}

void TstEmbebida::transacciones() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->BeginTrans();
    QCOMPARE(fallaDe([&] { cn->BeginTrans(); }).Number, codigo::XACT_E_XTIONEXISTS);
    cn->Execute(QStringLiteral("INSERT INTO NOTAS (Texto) VALUES ('x')"));
    cn->RollbackTrans();
    cn->BeginTrans();
    cn->Execute(QStringLiteral("INSERT INTO NOTAS (Texto) VALUES ('y')"));
    cn->CommitTrans();
    QCOMPARE(fallaDe([&] { cn->CommitTrans(); }).Number, codigo::XACT_E_NOTRANSACTION);
    auto otra = base.conecta();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Texto FROM NOTAS"), *otra);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("y"));
}

void TstEmbebida::scriptConRollback() {
    // The update scripts: BEGIN TRANSACTION and statements separated by CR only,
    // then COMMIT or ROLLBACK in a statement of its own.
    BaseDePrueba base;
    auto cn = base.conecta();
    const QString script =
        QStringLiteral("BEGIN TRANSACTION \r\r\rINSERT INTO NOTAS (Texto,Numero) VALUES ('a',1)"
                       "\rUPDATE NOTAS SET Numero = 2  WHERE Texto = 'A'\r");
    cn->Execute(script);
    cn->Execute(QStringLiteral("ROLLBACK TRANSACTION"));
    cn->Execute(script);
    cn->Execute(QStringLiteral("COMMIT TRANSACTION"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Numero FROM NOTAS"), *cn);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(0).Value().toInt(), 2);
}

void TstEmbebida::sentenciaIlegibleFallaConSuMotivo_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("texto sin cerrar") << "SELECT * FROM CLIENTES WHERE Codigo = 'sin cerrar"
                                      << "un texto entre apóstrofos no se cierra";
    QTest::newRow("texto N sin cerrar") << "UPDATE CLIENTES SET Nombre = N'x WHERE Id = 1"
                                        << "un texto entre apóstrofos no se cierra";
    QTest::newRow("corchete sin cerrar") << "SELECT [Codigo FROM CLIENTES"
                                         << "un nombre entre corchetes no se cierra";
    QTest::newRow("comillas sin cerrar") << "SELECT \"Codigo FROM CLIENTES"
                                         << "un nombre entre comillas no se cierra";
    QTest::newRow("comentario sin cerrar") << "SELECT Codigo FROM CLIENTES /* falta /* el cierre */"
                                           << "un comentario /* no se cierra";
}

void TstEmbebida::sentenciaIlegibleFallaConSuMotivo() {
    QFETCH(QString, sql);
    QFETCH(QString, motivo);
    BaseDePrueba base;
    auto cn = base.conecta();
    const Falla f = fallaDe([&] { cn->Execute(sql); });
    const QString descripcion =
        QStringLiteral("No se pudo reescribir la sentencia para SQLite (lectura del texto): ") +
        motivo + QStringLiteral(". Sentencia: \"") + sql + u'"';
    QCOMPARE(f.Number, codigo::DB_E_ERRORSINCOMMAND);
    QCOMPARE(f.Description, descripcion);
    // In the connection's list, as any failure of the provider.
    QCOMPARE(cn->Errors().Count(), 1);
    QCOMPARE(cn->Errors().Item(0).Number, codigo::DB_E_ERRORSINCOMMAND);
    QCOMPARE(cn->Errors().Item(0).Description, descripcion);
    QCOMPARE(cn->Errors().Item(0).SQLState, QStringLiteral("42000"));
    // The connection is still usable.
    cn->Execute(QStringLiteral("SELECT 1"));
    QCOMPARE(cn->Errors().Count(), 0);
}

void TstEmbebida::aperturaFallida_data() {
    QTest::addColumn<QString>("cadena");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("archivo inexistente")
        << "PROVIDER=SQLOLEDB;Server=sqlite;Database =%1/no_existe.db;UId=;Pwd=;"
        << int(codigo::E_FAIL) << "does not exist";
    QTest::newRow("no es una base") << "PROVIDER=SQLOLEDB;Server=SQLite;Database =%1/texto.db;"
                                    << int(codigo::E_FAIL) << "not a database";
    QTest::newRow("sin archivo") << "Server=sqlite;Database =;" << int(codigo::E_FAIL)
                                 << "no file was named";
    QTest::newRow("proveedor desconocido")
        << "PROVIDER=MSDASQL.9;Data Source=x;" << int(codigo::adErrProviderNotFound)
        << "Provider cannot be found";
}

void TstEmbebida::aperturaFallida() {
    QFETCH(QString, cadena);
    QFETCH(int, numero);
    QFETCH(QString, mensaje);
    QTemporaryDir dir;
    QFile texto(dir.filePath(QStringLiteral("texto.db")));
    QVERIFY(texto.open(QIODevice::WriteOnly));
    texto.write(QByteArray(4096, 'x'));
    texto.close();
    Connection cn;
    const Falla f =
        fallaDe([&] { cn.Open(cadena.contains(u'%') ? cadena.arg(dir.path()) : cadena); });
    QCOMPARE(f.Number, numero);
    QCOMPARE(cn.State(), int(adStateClosed));
    QCOMPARE(cn.Errors().Count(), 1);
    QVERIFY2(cn.Errors().Item(0).Description.contains(mensaje),
             qPrintable(cn.Errors().Item(0).Description));
}

void TstEmbebida::tiempoDeComandoAgotado() {
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->setCommandTimeout(1);
    const Falla f = fallaDe([&] {
        cn->Execute(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                           "SELECT count(*) FROM n"));
    });
    QCOMPARE(f.Number, codigo::DB_E_ABORTLIMITREACHED);
    QCOMPARE(cn->Errors().Item(0).SQLState, QStringLiteral("HYT00"));
}

void TstEmbebida::esperaUnBloqueo_data() {
    QTest::addColumn<int>("tiempo");       // the connection's CommandTimeout
    QTest::addColumn<int>("liberaMs");     // when the other connection lets go; -1 never
    QTest::addColumn<bool>("transaccion"); // the write inside a transaction that reads first
    QTest::addColumn<qint64>("limiteMs");  // the longest wait the provider announces
    QTest::newRow("pasado el tiempo de comando") << 1 << -1 << false << qint64(1000);
    QTest::newRow("cero es 360 s") << 0 << 200 << false << qint64(360000);
    QTest::newRow("negativo es 360 s") << -3 << 200 << false << qint64(360000);
    QTest::newRow("liberado antes del tiempo") << 5 << 300 << false << qint64(5000);
    QTest::newRow("transaccion espera al empezar") << 5 << 300 << true << qint64(5000);
}

void TstEmbebida::esperaUnBloqueo() {
    QFETCH(int, tiempo);
    QFETCH(int, liberaMs);
    QFETCH(bool, transaccion);
    QFETCH(qint64, limiteMs);
    BaseDePrueba base;
    auto cn = base.conecta();
    cn->setCommandTimeout(tiempo);
    // Another program writes and keeps its transaction open.
    auto otra = base.conecta();
    otra->BeginTrans();
    otra->Execute(QStringLiteral("INSERT INTO NOTAS (Texto) VALUES ('otra')"));

    qint64 limite = -1;
    int avisos = 0;
    int terminadas = 0;
    const auto anterior = InstalaEsperaBloqueo({[&](qint64 esperado, qint64 l) {
                                                    ++avisos;
                                                    limite = l;
                                                    if (liberaMs >= 0 && esperado >= liberaMs &&
                                                        otra->EnTransaccion())
                                                        otra->RollbackTrans();
                                                },
                                                [&] { ++terminadas; }});
    QElapsedTimer reloj;
    reloj.start();
    const auto escribe = [&] {
        if (transaccion) {
            cn->BeginTrans();
            cn->Execute(QStringLiteral("SELECT count(*) FROM NOTAS"));
        }
        cn->Execute(QStringLiteral("INSERT INTO NOTAS (Texto) VALUES ('propia')"));
        if (transaccion)
            cn->CommitTrans();
    };
    if (liberaMs < 0) {
        const Falla f = fallaDe(escribe);
        const qint64 ms = reloj.elapsed();
        InstalaEsperaBloqueo(anterior);
        QCOMPARE(f.Number, codigo::DB_E_ABORTLIMITREACHED);
        QCOMPARE(f.Description, QStringLiteral("Query timeout expired"));
        QCOMPARE(cn->Errors().Item(0).SQLState, QStringLiteral("HYT00"));
        QVERIFY2(ms >= 1000 && ms < 2000, qPrintable(QString::number(ms)));
    } else {
        escribe();
        InstalaEsperaBloqueo(anterior);
        Recordset rs;
        rs.Open(QStringLiteral("SELECT count(*) FROM NOTAS WHERE Texto = 'propia'"), *cn);
        QCOMPARE(rs.Fields(0).Value().toInt(), 1);
        QVERIFY(reloj.elapsed() < limiteMs);
    }
    QVERIFY(avisos > 0);
    QCOMPARE(limite, limiteMs);
    QCOMPARE(terminadas, 1);
}

void TstEmbebida::trazaListaLasSentencias() {
    BaseDePrueba base;
    const QString ruta = base.dir.filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", ruta.toLocal8Bit());
    auto cn = base.conecta();
    qputenv("HOJARUTA_TRAZA", QByteArray());
    cn->Execute(QStringLiteral(
        "INSERT INTO NOTAS (Texto) VALUES ('a')\r\nINSERT INTO NOTAS (Texto) VALUES ('b')"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM NOTAS"), *cn, adOpenDynamic, adLockOptimistic);
    rs.Fields(QStringLiteral("Numero")) = 5;
    rs.Update();
    fallaDe([&] { cn->Execute(QStringLiteral("SELECT * FROM NADA")); });

    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList lineas = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QStringList sentencias;
    QStringList filas;
    for (const QString& l : lineas) {
        const QStringList campos = l.split(u'\t');
        QCOMPARE(campos.size(), 3);
        bool esNumero = false;
        campos[0].toLongLong(&esNumero);
        QVERIFY(esNumero);
        filas << campos[1];
        sentencias << campos[2];
    }
    QCOMPARE(
        sentencias,
        (QStringList{
            "INSERT INTO NOTAS (Texto) VALUES ('a')\\r\\nINSERT INTO NOTAS (Texto) VALUES ('b')",
            "SELECT * FROM NOTAS",
            "UPDATE \"NOTAS\" SET \"Numero\" = ? WHERE \"Texto\" = ? AND \"Numero\" IS NULL",
            "SELECT * FROM NADA"}));
    QCOMPARE(filas, (QStringList{"2", "2", "1", "error"}));
}

void TstEmbebida::catalogos() {
    BaseDePrueba base;
    auto cn = base.conecta();
    Recordset rs;
    cn->OpenSchema(adSchemaTables, {}, rs);
    QStringList tablas;
    for (; !rs.Eof(); rs.MoveNext())
        tablas << rs.Fields(QStringLiteral("TABLE_NAME")).Value().toString() + u':' +
                      rs.Fields(QStringLiteral("TABLE_TYPE")).Value().toString();
    QVERIFY(tablas.contains(QStringLiteral("CLIENTES:TABLE")));
    QVERIFY(tablas.contains(QStringLiteral("V_CLIENTES:VIEW")));
    QVERIFY(!tablas.join(u' ').contains(QLatin1String("sqlite_")));

    cn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), QStringLiteral("clientes")}, rs);
    QCOMPARE(rs.RecordCount(), 8);
    cn->OpenSchema(adSchemaColumns,
                   {QVariant(), QVariant(), QStringLiteral("clientes"), QStringLiteral("CODIGO")},
                   rs);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(QStringLiteral("DATA_TYPE")).Value().toInt(), int(adVarWChar));
    QCOMPARE(rs.Fields(QStringLiteral("CHARACTER_MAXIMUM_LENGTH")).Value().toInt(), 6);
}

QTEST_GUILESS_MAIN(TstEmbebida)
#include "tst_embebida.moc"
