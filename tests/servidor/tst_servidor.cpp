// The ODBC path against a real server at the other end of a socket: a throwaway
// PostgreSQL that scripts/servidor-prueba.sh starts for this program. It stands in
// for the network behaviour of the suite's servers (lines that go down, statements
// that run out of time, rows locked by another workstation), so the statements here
// are ones both dialects take, except where only the server's own can provoke it.

#include "DialogoGuionado.h"
#include "Fallas.h"
#include "LeeTraza.h"
#include "Puertos.h"
#include "db/DB_Dll.h"
#include "platform/ado/Ado.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace ado;
using plataforma::Respuesta;
using Apertura = DB_Dll::Apertura;

namespace {

QString cadenaServidor() {
    return QStringLiteral("DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=%1;"
                          "DATABASE=hojaruta;UID=hojaruta;")
        .arg(qEnvironmentVariable("HOJARUTA_PG_PUERTO"));
}

// Stops or starts again the server, through the script that started it.
bool servidor(const char* orden) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral("bash"), {QStringLiteral(SCRIPT_SERVIDOR), QLatin1String(orden)});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QVariant escalar(Connection& cn, const QString& sql) {
    Recordset rs;
    rs.Open(sql, cn);
    return rs.Eof() ? QVariant() : rs.Fields(0).Value();
}

// Ends every other session on the database, as an administrator would, and waits
// until they are gone.
void terminaSesiones() {
    Connection cn;
    cn.Open(cadenaServidor());
    const QString otras = QStringLiteral(
        "FROM pg_stat_activity WHERE pid <> pg_backend_pid() AND datname = 'hojaruta'");
    cn.Execute(QStringLiteral("SELECT pg_terminate_backend(pid) ") + otras);
    QTRY_COMPARE(escalar(cn, QStringLiteral("SELECT COUNT(*) ") + otras).toInt(), 0);
}

// The test table as another workstation sees it.
QStringList tabla() {
    Connection cn;
    cn.Open(cadenaServidor());
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, nombre, cantidad FROM prueba ORDER BY id"), cn);
    QStringList r;
    for (; !rs.Eof(); rs.MoveNext())
        r << QStringLiteral("%1 %2 %3")
                 .arg(rs.Fields(0).Value().toInt())
                 .arg(rs.Fields(1).Value().toString())
                 .arg(rs.Fields(2).Value().toInt());
    return r;
}

const QStringList kInicial{QStringLiteral("1 uno 10"), QStringLiteral("2 dos 20")};

// "SQLSTATE|number in hex|a piece of the description" of each record.
struct Registro {
    QString estado;
    Numero numero;
    QString fragmento;
};

QString resumen(const QList<Error>& errores, const QList<Registro>& esperados) {
    QStringList r;
    for (qsizetype i = 0; i < errores.size(); ++i) {
        const Error& e = errores[i];
        const QString fragmento =
            i < esperados.size() && e.Description.contains(esperados[i].fragmento)
                ? esperados[i].fragmento
                : e.Description;
        r << QStringLiteral("%1|%2|%3")
                 .arg(e.SQLState)
                 .arg(static_cast<quint32>(e.Number), 0, 16)
                 .arg(fragmento);
    }
    return r.join(u'\n');
}

QString resumen(const QList<Registro>& esperados) {
    QStringList r;
    for (const Registro& e : esperados)
        r << QStringLiteral("%1|%2|%3")
                 .arg(e.estado)
                 .arg(static_cast<quint32>(e.numero), 0, 16)
                 .arg(e.fragmento);
    return r.join(u'\n');
}

// The scripted operator, who can do something (start the server again) while a box
// waits for an answer.
class DialogoConAccion : public DialogoGuionado {
public:
    std::function<void()> alMostrar;
    Respuesta MsgBox(const QString& texto, plataforma::Estilo estilo,
                     const QString& titulo) override {
        if (alMostrar)
            std::exchange(alMostrar, nullptr)();
        return DialogoGuionado::MsgBox(texto, estilo, titulo);
    }
};

// The program's database object on the server.
struct Sesion {
    QTemporaryDir dir;
    DialogoConAccion dialogo;
    DB_Dll db{dialogo};
    int terminado = 0;

    Sesion() {
        db.gServidor = QStringLiteral("127.0.0.1");
        db.gDBName = QStringLiteral("hojaruta");
        db.gUsuario = QStringLiteral("hojaruta");
        db.nombreEjecutable = QStringLiteral("hojaruta");
        db.carpetaLog = dir.path();
        db.gLogErr = dir.filePath(QStringLiteral("VXERR.LOG"));
        db.terminaPrograma = [this] { ++terminado; };
        db.OpenServerADODB(false, adUseClient, cadenaServidor(), false, false);
    }
};

} // namespace

Q_DECLARE_METATYPE(Registro)

class TstServidor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void conexionPerdida_data();
    void conexionPerdida();
    void tiempoVencido_data();
    void tiempoVencido();
    void esperaDeConexionAcotada();
    void transaccionDB_data();
    void transaccionDB();
    void recordsetActualizable();
    void actualizacionVigilada_data();
    void actualizacionVigilada();
    void diagnosticos_data();
    void diagnosticos();

private:
    bool detenido_ = false;
};

void TstServidor::initTestCase() {
    QVERIFY2(!qEnvironmentVariableIsEmpty("HOJARUTA_PG_PUERTO"),
             "no server: run through scripts/servidor-prueba.sh, as ctest does");
}

void TstServidor::init() {
    Connection cn;
    cn.Open(cadenaServidor());
    cn.Execute(QStringLiteral("DROP TABLE IF EXISTS prueba"));
    cn.Execute(QStringLiteral("CREATE TABLE prueba (id INT PRIMARY KEY, nombre VARCHAR(10) NOT "
                              "NULL, cantidad INT)"));
    cn.Execute(QStringLiteral("INSERT INTO prueba (id, nombre, cantidad) VALUES (1, 'uno', 10)"));
    cn.Execute(QStringLiteral("INSERT INTO prueba (id, nombre, cantidad) VALUES (2, 'dos', 20)"));
}

// A test that stopped the server and failed before starting it leaves it running
// for the next.
void TstServidor::cleanup() {
    if (std::exchange(detenido_, false))
        QVERIFY(servidor("arranca"));
}

// ---------------------------------------------------------------- lost connection

void TstServidor::conexionPerdida_data() {
    QTest::addColumn<bool>("detieneServidor");
    QTest::addColumn<bool>("sinDialogos");
    QTest::addColumn<QList<Respuesta>>("respuestas");
    QTest::addColumn<bool>("leida");
    QTest::addColumn<int>("terminado");
    using L = QList<Respuesta>;
    QTest::newRow("session ended by the server: reconnected, read again")
        << false << false << L{} << true << 0;
    QTest::newRow("session ended, throwing path: reconnected, read again")
        << false << true << L{} << true << 0;
    QTest::newRow("server stopped, Yes once it is back")
        << true << false << L{Respuesta::Yes} << true << 0;
    QTest::newRow("server stopped, No ends the program")
        << true << false << L{Respuesta::No} << false << 1;
}

void TstServidor::conexionPerdida() {
    QFETCH(bool, detieneServidor);
    QFETCH(bool, sinDialogos);
    QFETCH(QList<Respuesta>, respuestas);
    QFETCH(bool, leida);
    QFETCH(int, terminado);
    Sesion s;
    QVERIFY(s.db.gOpenFlag);
    QCOMPARE(escalar(s.db.gCnn(), QStringLiteral("SELECT COUNT(*) FROM prueba")), QVariant(2));
    if (detieneServidor) {
        QVERIFY(servidor("detiene"));
        detenido_ = true;
        // The operator answers once the server is back.
        if (respuestas.value(0) == Respuesta::Yes)
            s.dialogo.alMostrar = [this] { detenido_ = !servidor("arranca"); };
    } else {
        terminaSesiones();
    }
    for (Respuesta r : respuestas)
        s.dialogo.responde(r);

    const QString sql = QStringLiteral("SELECT nombre FROM prueba WHERE id = 1");
    Recordset rs;
    if (sinDialogos)
        s.db.Consulta(sql, rs);
    else
        QCOMPARE(s.db.AbrirRecordset(sql, rs), leida ? Apertura::Abierta : Apertura::Abandonada);
    QCOMPARE(rs.State(), int(leida ? adStateOpen : adStateClosed));
    if (leida)
        QCOMPARE(rs.Fields(QStringLiteral("nombre")).Value(), QVariant(QStringLiteral("uno")));
    QCOMPARE(s.terminado, terminado);
    QCOMPARE(s.dialogo.mostradas().size(), respuestas.size());
    for (const CajaMostrada& caja : s.dialogo.mostradas()) {
        QCOMPARE(caja.titulo, QStringLiteral("AVISO AL OPERADOR"));
        QCOMPARE(caja.estilo, 20);
        QCOMPARE(caja.texto,
                 QStringLiteral("\r\n\r\n\r\nSe perdio la conexion con la base de datos hojaruta"
                                "\r\n Servidor 127.0.0.1\r\n\r\nElija SI para reintentar "
                                "conectarse\r\nElija NO para cerrar la aplicacion\r\n\r\n\r\n"));
    }
    QCOMPARE(s.db.gOpenFlag, leida);
}

// ---------------------------------------------------------------- time-outs and locks

void TstServidor::tiempoVencido_data() {
    QTest::addColumn<QString>("bloqueo");
    QTest::addColumn<QString>("sql");
    QTest::newRow("statement running past the time-out") << ""
                                                         << "SELECT pg_sleep(5)";
    QTest::newRow("row locked by another connection")
        << "UPDATE prueba SET cantidad = 99 WHERE id = 1"
        << "UPDATE prueba SET cantidad = 11 WHERE id = 1";
}

// Our statement runs in a transaction after an insert: the time-out leaves nothing
// of it, and the connection goes on working.
void TstServidor::tiempoVencido() {
    QFETCH(QString, bloqueo);
    QFETCH(QString, sql);
    Connection otra;
    otra.Open(cadenaServidor());
    if (!bloqueo.isEmpty()) {
        otra.BeginTrans();
        otra.Execute(bloqueo);
    }
    Connection cn;
    cn.Open(cadenaServidor());
    cn.setCommandTimeout(1);
    cn.BeginTrans();
    cn.Execute(QStringLiteral("INSERT INTO prueba (id, nombre, cantidad) VALUES (3, 'tres', 30)"));
    QElapsedTimer reloj;
    reloj.start();
    const Falla f = fallaDe([&] { cn.Execute(sql); });
    const qint64 ms = reloj.elapsed();
    QVERIFY2(ms >= 950 && ms < 4000, qPrintable(QString::number(ms)));
    QCOMPARE(f.Number, codigo::DB_E_ABORTLIMITREACHED);
    QCOMPARE(f.Description, QStringLiteral("Query timeout expired"));
    QVERIFY(cn.Errors().Count() > 0);
    QCOMPARE(cn.Errors().Item(0).SQLState, QStringLiteral("HYT00"));
    QCOMPARE(cn.Errors().Item(0).Number, codigo::DB_E_ABORTLIMITREACHED);
    cn.RollbackTrans();
    if (!bloqueo.isEmpty())
        otra.RollbackTrans();
    QCOMPARE(escalar(cn, QStringLiteral("SELECT COUNT(*) FROM prueba WHERE id = 1")), QVariant(1));
    QCOMPARE(tabla(), kInicial);
}

void TstServidor::esperaDeConexionAcotada() {
    prueba::ServidorMudo mudo;
    Connection cn;
    OpcionesOdbc opciones;
    opciones.segundosConexion = 2;
    cn.setOpcionesOdbc(opciones);
    QElapsedTimer reloj;
    reloj.start();
    const Falla f = fallaDe([&] {
        cn.Open(QStringLiteral("DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=%1;"
                               "DATABASE=x;UID=u;")
                    .arg(mudo.puerto));
    });
    const qint64 ms = reloj.elapsed();
    QVERIFY2(ms >= 1500 && ms < 6000, qPrintable(QString::number(ms)));
    QCOMPARE(f.Number, codigo::E_FAIL);
    QCOMPARE(cn.State(), int(adStateClosed));
    QVERIFY(cn.Errors().Count() > 0);
    QCOMPARE(cn.Errors().Item(0).SQLState, QStringLiteral("08001"));
}

// ---------------------------------------------------------------- transactions

void TstServidor::transaccionDB_data() {
    QTest::addColumn<int>("inserciones");
    QTest::addColumn<int>("fallaEn"); // 0: none fails
    QTest::addColumn<bool>("confirma");
    QTest::addColumn<int>("quedan");
    QTest::newRow("committed") << 4 << 0 << true << 6;
    QTest::newRow("rolled back") << 4 << 0 << false << 2;
    QTest::newRow("the 4th of 6 fails: nothing stays") << 6 << 4 << true << 2;
    QTest::newRow("the 1st fails") << 3 << 1 << true << 2;
}

void TstServidor::transaccionDB() {
    QFETCH(int, inserciones);
    QFETCH(int, fallaEn);
    QFETCH(bool, confirma);
    QFETCH(int, quedan);
    Sesion s;
    QVERIFY(s.db.gOpenFlag);
    Numero numero = 0;
    try {
        TransaccionDB tx(s.db);
        for (int i = 1; i <= inserciones; ++i) {
            const int id = i == fallaEn ? 1 : 100 + i; // 1 is taken
            QCOMPARE(s.db.Ejecuta(QStringLiteral("INSERT INTO prueba (id, nombre, cantidad) "
                                                 "VALUES (%1, 'x', %1)")
                                      .arg(id)),
                     1L);
        }
        if (confirma)
            tx.Confirma();
    } catch (const Falla& f) {
        numero = f.Number;
        QVERIFY(!f.Registros.isEmpty());
    }
    QCOMPARE(numero, fallaEn ? codigo::DB_E_INTEGRITYVIOLATION : 0);
    QCOMPARE(tabla().size(), quedan);
    QVERIFY(!s.db.gCnn().EnTransaccion());
    // Back in autocommit: what follows is seen by others at once.
    QCOMPARE(s.db.Ejecuta(QStringLiteral("DELETE FROM prueba WHERE id = 2")), 1L);
    QCOMPARE(tabla().size(), quedan - 1);
}

// ---------------------------------------------------------------- updatable recordsets

void TstServidor::recordsetActualizable() {
    QTemporaryDir dir;
    const QString traza = dir.filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    Connection cn;
    cn.Open(cadenaServidor());
    qputenv("HOJARUTA_TRAZA", "");
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM prueba ORDER BY id"), cn, adOpenDynamic,
            adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("ID")) = 3;
    rs.Fields(QStringLiteral("nombre")) = QStringLiteral("tres");
    rs.Fields(QStringLiteral("cantidad")) = 30;
    rs.Update();
    QCOMPARE(tabla(), kInicial + QStringList{QStringLiteral("3 tres 30")});

    rs.MoveFirst();
    rs.Fields(QStringLiteral("cantidad")) = 11;
    rs.Update();
    QCOMPARE(tabla(), (QStringList{QStringLiteral("1 uno 11"), QStringLiteral("2 dos 20"),
                                   QStringLiteral("3 tres 30")}));

    QStringList cambios;
    for (const QString& s : SentenciasDeTraza(traza))
        if (!s.startsWith(QLatin1String("SELECT")))
            cambios << s;
    QCOMPARE(cambios,
             (QStringList{
                 QStringLiteral(
                     "INSERT INTO \"prueba\" (\"id\",\"nombre\",\"cantidad\") VALUES (?,?,?)"),
                 QStringLiteral("UPDATE \"prueba\" SET \"cantidad\" = ? WHERE \"id\" = ?"),
             }));
}

void TstServidor::actualizacionVigilada_data() {
    QTest::addColumn<bool>("cambiadaAntes");
    QTest::addColumn<long>("filas");
    QTest::addColumn<int>("queda");
    QTest::newRow("nobody changed it: written") << false << 1L << 12;
    QTest::newRow("changed elsewhere: nothing written") << true << 0L << 15;
}

// The save's optimistic check: the UPDATE carries the key and the values read, so
// a row another workstation changed since is not overwritten.
void TstServidor::actualizacionVigilada() {
    QFETCH(bool, cambiadaAntes);
    QFETCH(long, filas);
    QFETCH(int, queda);
    Connection nuestra;
    nuestra.Open(cadenaServidor());
    Recordset rs;
    rs.Open(QStringLiteral("SELECT nombre, cantidad FROM prueba WHERE id = 1"), nuestra);
    const QVariant nombre = rs.Fields(QStringLiteral("nombre")).Value();
    const QVariant cantidad = rs.Fields(QStringLiteral("cantidad")).Value();
    rs.Close();
    if (cambiadaAntes) {
        Connection otra;
        otra.Open(cadenaServidor());
        otra.Execute(QStringLiteral("UPDATE prueba SET cantidad = 15 WHERE id = 1"));
    }
    long afectadas = -1;
    nuestra.Execute(QStringLiteral("UPDATE prueba SET cantidad = ? WHERE id = ? AND nombre = ? "
                                   "AND cantidad = ?"),
                    {12, 1, nombre, cantidad}, &afectadas);
    QCOMPARE(afectadas, filas);
    QCOMPARE(tabla().value(0), QStringLiteral("1 uno %1").arg(queda));
    QCOMPARE(tabla().value(1), QStringLiteral("2 dos 20"));
}

// ---------------------------------------------------------------- diagnostics

void TstServidor::diagnosticos_data() {
    QTest::addColumn<bool>("sesionTerminada");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<Numero>("numero"); // 0: the statement succeeds
    QTest::addColumn<QList<Registro>>("registros");
    using L = QList<Registro>;
    QTest::newRow("notices of a successful statement, in order")
        << false << "DO $$BEGIN RAISE NOTICE 'uno'; RAISE WARNING 'dos'; END$$" << Numero(0)
        << L{{"01000", 0, "NOTICE: uno;WARNING: dos"}};
    QTest::newRow("duplicate key, with the server's detail")
        << false << "INSERT INTO prueba (id, nombre, cantidad) VALUES (1, 'x', 0)"
        << codigo::DB_E_INTEGRITYVIOLATION
        << L{{"23505", codigo::DB_E_INTEGRITYVIOLATION, "Key (id)=(1) already exists."}};
    QTest::newRow("text longer than its column")
        << false << "INSERT INTO prueba (id, nombre, cantidad) VALUES (5, 'demasiado largo', 0)"
        << codigo::DB_E_DATAOVERFLOW
        << L{{"22001", codigo::DB_E_DATAOVERFLOW, "value too long for type character varying(10)"}};
    QTest::newRow("time-out first, then the server's cancel")
        << false << "SELECT pg_sleep(3)" << codigo::DB_E_ABORTLIMITREACHED
        << L{{"HYT00", codigo::DB_E_ABORTLIMITREACHED, "Query timeout expired"},
             {"57014", codigo::DB_E_ERRORSINCOMMAND,
              "canceling statement due to statement timeout"}};
    QTest::newRow("session ended by the server is a lost line")
        << true << "SELECT 1" << codigo::E_FAIL
        << L{{"57P01", codigo::E_FAIL, ""}}; // the text depends on when the line went
}

void TstServidor::diagnosticos() {
    QFETCH(bool, sesionTerminada);
    QFETCH(QString, sql);
    QFETCH(Numero, numero);
    QFETCH(QList<Registro>, registros);
    Connection cn;
    cn.Open(cadenaServidor());
    cn.setCommandTimeout(1);
    if (sesionTerminada)
        terminaSesiones();
    if (numero == 0) {
        cn.Execute(sql);
    } else {
        const Falla f = fallaDe([&] { cn.Execute(sql); });
        QCOMPARE(resumen(f.Registros, registros), resumen(registros));
        QCOMPARE(f.Number, numero);
    }
    QCOMPARE(resumen(cn.Errors().todos(), registros), resumen(registros));
}

QTEST_GUILESS_MAIN(TstServidor)
#include "tst_servidor.moc"
