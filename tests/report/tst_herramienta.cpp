// hojaruta-reporte as a script runs it: its exit codes, its messages on standard
// error, and the run sheet written as REPORTE prints it.

#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstHerramienta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void codigos_data();
    void codigos();
    void comoLaHoja();

private:
    QTemporaryDir dir_;
    QString conexion_;
};

namespace {

const QString kPrograma = QStringLiteral(HERRAMIENTA);
const QString kClave = QStringLiteral("s3creto");

struct Corrida {
    int codigo = -1;
    QString error;
};

Corrida corre(const QStringList& argumentos) {
    QProcess p;
    p.start(kPrograma, argumentos);
    p.waitForFinished(60000);
    Corrida c;
    c.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    c.error = QString::fromUtf8(p.readAllStandardError());
    return c;
}

} // namespace

void TstHerramienta::initTestCase() {
    const QString base = dir_.filePath(QStringLiteral("hojaruta.db"));
    ado::sqlite::CreaBaseEmbebida(base, recursos::EsquemaSql(), recursos::DemoSql());
    conexion_ =
        QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= %2; @Caja=1;kora@")
            .arg(base, kClave);
    QFile malo(dir_.filePath(QStringLiteral("malo.rpt")));
    QVERIFY(malo.open(QIODevice::WriteOnly));
    malo.write("<reporte formato=\"hojaruta-reporte\" version=\"1\">\n"
               "<fuente nombre=\"R\" principal=\"si\"><sql>SELECT * FROM NO_EXISTE WHERE "
               "{seleccion}</sql></fuente>\n</reporte>");
}

void TstHerramienta::codigos_data() {
    QTest::addColumn<QStringList>("argumentos"); // {c}: the connection, {d}: a folder
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("error"); // how a line of standard error must begin

    const QString texto = QStringLiteral("{d}/salida.txt");
    QTest::newRow("sin argumentos")
        << QStringList() << 1 << QStringLiteral("uso: hojaruta-reporte");
    QTest::newRow("sin salida") << QStringList{QStringLiteral("{c}"), QStringLiteral("--como-hoja"),
                                               QStringLiteral("10")}
                                << 1 << QStringLiteral("falta una salida");
    QTest::newRow("reporte y --como-hoja a la vez")
        << QStringList{QStringLiteral("{c}"),         QStringLiteral("RP_PLAREPARTO"),
                       QStringLiteral("--como-hoja"), QStringLiteral("10"),
                       QStringLiteral("--texto"),     texto}
        << 1 << QStringLiteral("se da un REPORTE o --como-hoja, uno de los dos");
    QTest::newRow("base que no abre")
        << QStringList{QStringLiteral("@server=sqlite; @dbname= {d}/no/hay.db; @usuario= ADMIN; "
                                      "@Password= s3creto;"),
                       QStringLiteral("--como-hoja"), QStringLiteral("10"),
                       QStringLiteral("--texto"), texto}
        << 2 << QStringLiteral("1. Verifique el Usuario, contraseña y base de datos");
    QTest::newRow("reporte que falta")
        << QStringList{QStringLiteral("{c}"), QStringLiteral("RP_NADA"), QStringLiteral("--texto"),
                       texto}
        << 3
        << QStringLiteral("No se encuentra el Archivo {p}.rpt (RP_NADA) por favor verifique la "
                          "configuración de Reportes");
    QTest::newRow("reporte de otro programa")
        << QStringList{QStringLiteral("{c}"), QStringLiteral("{d}/hojaruta.db"),
                       QStringLiteral("--texto"), texto}
        << 3 << QStringLiteral("El archivo {d}/hojaruta.db no es un reporte de este programa");
    QTest::newRow("fórmula hostil")
        << QStringList{QStringLiteral("{c}"),
                       QStringLiteral("RP_PLAREPARTO"),
                       QStringLiteral("--formula"),
                       QStringLiteral("{V_MV_Reparto.IDReparto}=1; DELETE FROM MV_REPARTO"),
                       QStringLiteral("--texto"),
                       texto}
        << 4
        << QStringLiteral("Fórmula de selección no válida: sobra texto en la posición 27 de "
                          "\"{V_MV_Reparto.IDReparto}=1; DELETE FROM MV_REPARTO\"");
    QTest::newRow("consulta que falla")
        << QStringList{QStringLiteral("{c}"), QStringLiteral("{d}/malo.rpt"),
                       QStringLiteral("--texto"), texto}
        << 5
        << QStringLiteral("Ha ocurrido el Siguiente Error (-2147217865) Invalid object name "
                          "'NO_EXISTE'.");
    QTest::newRow("salida que no se puede escribir")
        << QStringList{QStringLiteral("{c}"), QStringLiteral("--como-hoja"), QStringLiteral("10"),
                       QStringLiteral("--pdf"), QStringLiteral("{d}/no/hay/r.pdf")}
        << 6 << QStringLiteral("No se puede escribir el archivo {d}/no/hay/r.pdf");
}

void TstHerramienta::codigos() {
    QFETCH(QStringList, argumentos);
    QFETCH(int, codigo);
    QFETCH(QString, error);
    const QString programa = QFileInfo(kPrograma).absolutePath() + u'/';
    for (QString& a : argumentos)
        a.replace(QStringLiteral("{c}"), conexion_).replace(QStringLiteral("{d}"), dir_.path());
    error.replace(QStringLiteral("{d}"), dir_.path()).replace(QStringLiteral("{p}"), programa);
    const Corrida c = corre(argumentos);
    // Messages are whole lines (some carry a CR of their own).
    bool hallado = false;
    for (const QString& linea : c.error.split(u'\n'))
        hallado = hallado || QString(linea).remove(u'\r').startsWith(error);
    QVERIFY2(hallado, qPrintable(c.error));
    QCOMPARE(c.codigo, codigo);
    // The connection's password is never repeated.
    QVERIFY(!c.error.contains(kClave));
}

void TstHerramienta::comoLaHoja() {
    const QString texto = dir_.filePath(QStringLiteral("planilla_10.txt"));
    const QString pdf = dir_.filePath(QStringLiteral("planilla_10.pdf"));
    const Corrida c = corre({conexion_, QStringLiteral("--como-hoja"), QStringLiteral("10"),
                             QStringLiteral("--texto"), texto, QStringLiteral("--pdf"), pdf});
    QCOMPARE(c.codigo, 0);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");

    // The same pages as the sheet's report, but for the time it was printed.
    const auto sinFecha = [](QFile& archivo) {
        QStringList l = QString::fromUtf8(archivo.readAll()).split(u'\n');
        for (QString& s : l)
            if (s.contains(QStringLiteral("Impreso el ")))
                s = QStringLiteral("Impreso el");
        return l;
    };
    QFile obtenido(texto);
    QFile esperado(QStringLiteral(CARPETA_VOLCADOS "/planilla_10.txt"));
    QVERIFY(obtenido.open(QIODevice::ReadOnly) && esperado.open(QIODevice::ReadOnly));
    QCOMPARE(sinFecha(obtenido), sinFecha(esperado));
}

QTEST_GUILESS_MAIN(TstHerramienta)
#include "tst_herramienta.moc"
