// The connection dialog: BASES.TXT read and written byte for byte, the model the
// window shows, "Registrar" on embedded files and on a server that is not there,
// the desktop shortcut, the command runner, and the window itself offscreen.

#include "AplicacionDePrueba.h"
#include "DialogoGuionado.h"
#include "Puertos.h"
#include "access/VentanaConexion.h"
#include "access/frmAcceso.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A blank key, a two-field line, Latin-1 bytes, a port, Oracle, a local file and a
// repeated key.
const QByteArray kBases = "GESTION / SRV\\INST,Gestion,Gestion,ENC,srv\\inst\r\n"
                          "   ,nadie,nadie,X,srv\r\n"
                          "DOS / S2,Dos\r\n"
                          "A\xd1O / SRV,A\xf1o,A\xf1o,E,srv:1500\r\n"
                          "ORCL / ORA,ORCL,ORCL,E,ora#\r\n"
                          "/DATOS/HOJA.DB / SQLITE,/datos/hoja.db,/datos/hoja.db,E,sqlite\r\n"
                          "GESTION / SRV\\INST,Repetida,Repetida,E,otro\r\n";

template <typename W> W* hijo(QWidget* v, const char* nombre) {
    W* w = v->findChild<W*>(QLatin1String(nombre));
    if (!w)
        qFatal("no %s", nombre);
    return w;
}

// Runs `paso` on the connection dialog once it is up, modal. A dialog the step
// leaves open is cancelled after a while, so that the test fails instead of waiting.
void enLaVentana(std::function<void(frmAcceso*)> paso) {
    QTimer::singleShot(0, [paso] {
        auto* v = qobject_cast<frmAcceso*>(QApplication::activeModalWidget());
        if (!v)
            qFatal("the connection dialog is not up");
        QTimer::singleShot(5000, v, [v] {
            qWarning("the connection dialog was left open");
            v->reject();
        });
        paso(v);
    });
}

} // namespace

class TstAcceso : public QObject {
    Q_OBJECT

private slots:
    void init();
    void lista();
    void asignarDatosBase_data();
    void asignarDatosBase();
    void devuelve_data();
    void devuelve();
    void registrar_data();
    void registrar();
    void registrarSinServidorNoAbreOtraVentana();
    void odbcExeSinMayusculas();
    void accesoDirectoDosVeces();
    void ejecutaComando_data();
    void ejecutaComando();
    void ventana();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString bases_;
    void escribeBases(const QByteArray& datos) const {
        QFile f(bases_);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(datos);
    }
    QByteArray leeBases() const {
        QFile f(bases_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<sin archivo>");
    }
    QString hoja(const QString& nombre) const {
        const QString ruta = dir_->filePath(nombre);
        ado::sqlite::CreaBaseEmbebida(ruta, recursos::EsquemaSql());
        return ruta;
    }
};

void TstAcceso::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    bases_ = dir_->filePath(QStringLiteral("BASES.TXT"));
    qputenv("HOJARUTA_INI_DIR", dir_->path().toLocal8Bit());
}

void TstAcceso::lista() {
    escribeBases(kBases);
    ModeloAcceso m{ArchivoBases(bases_)};
    m.llenarlist();
    QCOMPARE(m.lista,
             (QStringList{"GESTION / SRV\\INST", "DOS / S2", QStringLiteral("AÑO / SRV"),
                          "ORCL / ORA", "/DATOS/HOJA.DB / SQLITE", "GESTION / SRV\\INST"}));
    QFile::remove(bases_);
    m.llenarlist();
    QVERIFY(m.lista.isEmpty());
}

void TstAcceso::asignarDatosBase_data() {
    QTest::addColumn<QStringList>("entradas"); // picked in this order
    QTest::addColumn<QStringList>("campos");   // servidor, base, puerto, plataforma
    QTest::newRow("el primero de la clave repetida")
        << QStringList{"GESTION / SRV\\INST "} << QStringList{"srv\\inst", "Gestion", "", "0"};
    QTest::newRow("linea de dos campos")
        << QStringList{"DOS / S2"} << QStringList{"", "Dos", "", "0"};
    QTest::newRow("puerto del servidor") << QStringList{QStringLiteral("AÑO / SRV")}
                                         << QStringList{"SRV", QStringLiteral("Año"), "1500", "0"};
    QTest::newRow("sin puerto queda el anterior")
        << QStringList{QStringLiteral("AÑO / SRV"), "GESTION / SRV\\INST"}
        << QStringList{"srv\\inst", "Gestion", "1500", "0"};
    QTest::newRow("oracle") << QStringList{"ORCL / ORA"} << QStringList{"ora", "ORCL", "", "1"};
    QTest::newRow("archivo local") << QStringList{"/DATOS/HOJA.DB / SQLITE"}
                                   << QStringList{"sqlite", "/datos/hoja.db", "", "2"};
    QTest::newRow("clave ausente no cambia nada")
        << QStringList{"NADA / X"} << QStringList{"antes", "antes", "1433", "0"};
}

void TstAcceso::asignarDatosBase() {
    QFETCH(QStringList, entradas);
    QFETCH(QStringList, campos);
    escribeBases(kBases);
    ModeloAcceso m{ArchivoBases(bases_)};
    m.campos.servidor = m.campos.base = QStringLiteral("antes");
    m.campos.usuario = m.campos.clave = QStringLiteral("x");
    for (const QString& e : entradas)
        m.AsignarDatosBase(e);
    QCOMPARE((QStringList{m.campos.servidor, m.campos.base, m.campos.puerto,
                          QString::number(int(m.campos.plataforma))}),
             campos);
    if (entradas.first() != u"NADA / X")
        QVERIFY(m.campos.usuario.isEmpty() && m.campos.clave.isEmpty());
}

void TstAcceso::devuelve_data() {
    QTest::addColumn<QString>("servidor");     // as the connection had it
    QTest::addColumn<QString>("puerto");       // typed after opening; null: untouched
    QTest::addColumn<QStringList>("esperado"); // servidor, usuario, plataforma, clave
    QTest::newRow("puerto por defecto")
        << "srv\\inst" << QString() << QStringList{"srv\\inst", "ana", "0", "X / SRV\\INST"};
    QTest::newRow("otro puerto") << "srv"
                                 << "1500" << QStringList{"srv,1500", "ana", "0", "X / SRV"};
    QTest::newRow("puerto que ya traia")
        << "srv,1500" << QString() << QStringList{"srv,1500", "ana", "0", "X / SRV"};
    QTest::newRow("oracle") << "ora#" << QString() << QStringList{"ora", "ana", "1", "X / ORA"};
    QTest::newRow("archivo local")
        << "SQLite" << QString() << QStringList{"sqlite", "", "0", "X / SQLITE"};
}

void TstAcceso::devuelve() {
    QFETCH(QString, servidor);
    QFETCH(QString, puerto);
    QFETCH(QStringList, esperado);
    ModeloAcceso m{ArchivoBases(bases_)};
    m.Carga(servidor, QStringLiteral("x"), QStringLiteral("ana"), QStringLiteral("secreta"));
    if (!puerto.isNull())
        m.campos.puerto = puerto;
    QString s, b, u, c;
    int p = -1;
    m.Devuelve(s, b, u, c, p);
    QCOMPARE((QStringList{s, u, QString::number(p), m.Clave()}), esperado);
}

void TstAcceso::registrar_data() {
    QTest::addColumn<QString>("archivo"); // created as a run sheet database unless "-"
    QTest::addColumn<QString>("base");    // typed; %1 the test's folder
    QTest::addColumn<QString>("aviso");   // the message, %1 the path typed; empty: registered
    QTest::newRow("se registra") << "hoja.db"
                                 << "%1/hoja.db"
                                 << "";
    QTest::newRow("archivo inexistente") << "-"
                                         << "%1/no.db"
                                         << "No existe el archivo %1";
    QTest::newRow("no es de la hoja de ruta")
        << "otra.db"
        << "%1/otra.db"
        << "El archivo %1 no es una base de datos de la hoja de ruta: no tiene V_MV_REPARTO.";
    QTest::newRow("coma en el nombre")
        << "a,b.db"
        << "%1/a,b.db"
        << "El nombre de la base de datos y el del servidor no pueden llevar comas: la conexión "
           "no se registró.";
    QTest::newRow("fuera de latin-1")
        << QStringLiteral("hoja€.db") << QStringLiteral("%1/hoja€.db")
        << "El nombre de la base de datos o el del servidor tiene caracteres que BASES.TXT no "
           "puede guardar: la conexión no se registró.";
}

void TstAcceso::registrar() {
    QFETCH(QString, archivo);
    QFETCH(QString, base);
    QFETCH(QString, aviso);
    base = base.arg(dir_->path());
    if (archivo == u"otra.db")
        ado::sqlite::CreaBaseEmbebida(dir_->filePath(archivo),
                                      QStringLiteral("CREATE TABLE T (A int);"));
    else if (archivo != u"-")
        hoja(archivo);
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    ModeloAcceso m{ArchivoBases(bases_)};
    m.campos.plataforma = PlataformaDB::Sqlite;
    m.campos.base = QStringLiteral("  ") + base + u' ';
    RegistroConexion r(*app);
    if (!aviso.isEmpty())
        dialogo.responde(plataforma::Respuesta::OK);
    QCOMPARE(r.Registrar(m), aviso.isEmpty());
    if (!aviso.isEmpty()) {
        QCOMPARE(dialogo.mostradas().first().texto,
                 aviso.contains(QLatin1String("%1")) ? aviso.arg(base) : aviso);
        QCOMPARE(leeBases(), QByteArray("<sin archivo>"));
        return;
    }
    const QByteArray linea = (base.toUpper() + QStringLiteral(" / SQLITE,") + base + u',' + base +
                              u',' + Utilidades::Codifica(base) + QStringLiteral(",sqlite\r\n"))
                                 .toLatin1();
    QCOMPARE(leeBases(), linea);
    QCOMPARE(m.campos.base, base); // trimmed in place
    QCOMPARE(m.lista, QStringList{base.toUpper() + QStringLiteral(" / SQLITE")});
    // Registered once: the second time it already exists and nothing changes.
    dialogo.responde(plataforma::Respuesta::OK);
    QVERIFY(!r.Registrar(m));
    QCOMPARE(dialogo.mostradas().last().texto,
             QStringLiteral("La conexion que intenta registrar ya existe "));
    QCOMPARE(dialogo.mostradas().last().titulo, QStringLiteral("Atencion"));
    QCOMPARE(dialogo.mostradas().last().estilo, 64);
    QCOMPARE(leeBases(), linea);
}

// The typed credentials fail, the operator retries from the failure box: the same
// dialog answers, no second one opens, and a No ends with the operator's message.
void TstAcceso::registrarSinServidorNoAbreOtraVentana() {
    QFile ini(dir_->filePath(QStringLiteral("CN000pr.INI")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[ODBC]\r\nSegundosConexion=2\r\n");
    ini.close();
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::Yes)
        .responde(plataforma::Respuesta::No)
        .responde(plataforma::Respuesta::OK);
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    VentanaConexion ventana(*app);
    app->db.setPideParametros(&ventana);
    const QString puerto = QString::number(prueba::PuertoCerrado());
    int otras = 0;
    enLaVentana([&](frmAcceso* v) {
        hijo<QLineEdit>(v, "TxtServidor")->setText(QStringLiteral(" 127.0.0.1 "));
        hijo<QLineEdit>(v, "TxtPuerto")->setText(puerto);
        hijo<QLineEdit>(v, "TxtDbName")->setText(QStringLiteral("gestion"));
        hijo<QLineEdit>(v, "TxtUserId")->setText(QStringLiteral("ana"));
        // A second dialog would wait for the operator: it is counted and closed.
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            auto* otra = qobject_cast<frmAcceso*>(QApplication::activeModalWidget());
            if (otra && otra != v) {
                ++otras;
                otra->reject();
            }
        });
        vigia.start(10);
        hijo<QPushButton>(v, "CmdRegistrar")->click();
        vigia.stop();
        hijo<QPushButton>(v, "bcCancelar")->click();
    });
    QString s, b, u, c;
    int p = 0;
    QVERIFY(!ventana.Pide(s, b, u, c, p));
    QCOMPARE(otras, 0);
    const QList<CajaMostrada> cajas = dialogo.mostradas();
    QCOMPARE(cajas.size(), 3);
    QCOMPARE(cajas[0].titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    QVERIFY2(cajas[0].texto.contains(QLatin1String("Adaptive Server is unavailable")),
             qPrintable(cajas[0].texto));
    QCOMPARE(cajas[1].titulo, cajas[0].titulo);
    QCOMPARE(cajas[2].texto, QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR 127.0.0.1 VERIFIQUE "
                                            "EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"));
    QCOMPARE(cajas[2].titulo, QStringLiteral("AVISO AL OPERADOR"));
    // The port typed is the one tried.
    QCOMPARE(app->db.gServidor, QStringLiteral("127.0.0.1,") + puerto);
    QCOMPARE(leeBases(), QByteArray("<sin archivo>"));
}

// A server connection that opens (the embedded one, reached by its server text)
// is registered and ODBC.exe, whatever its letter case, is started with it.
void TstAcceso::odbcExeSinMayusculas() {
    const QString base = hoja(QStringLiteral("hoja.db"));
    QFile odbc(dir_->filePath(QStringLiteral("odbc.EXE")));
    QVERIFY(odbc.open(QIODevice::WriteOnly));
    odbc.close();
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    RegistroConexion r(*app);
    QStringList iniciado;
    r.iniciaDesacoplado = [&](const QString& programa, const QStringList& argumentos) {
        iniciado = QStringList{programa} + argumentos;
        return true;
    };
    ModeloAcceso m{ArchivoBases(bases_)};
    m.campos.servidor = QStringLiteral("sqlite");
    m.campos.base = base;
    m.campos.usuario = QStringLiteral("ADMIN");
    QVERIFY(r.Registrar(m));
    QCOMPARE(iniciado, (QStringList{dir_->filePath(QStringLiteral("odbc.EXE")),
                                    QStringLiteral("Server=sqlite;DB=") + base + u';'}));
    QVERIFY(leeBases().endsWith(",sqlite\r\n"));
    QCOMPARE(app->db.gCnn().State(), int(ado::adStateClosed));
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstAcceso::accesoDirectoDosVeces() {
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    RegistroConexion r(*app);
    r.carpetaEscritorio = dir_->filePath(QStringLiteral("Escritorio"));
    r.programa = QStringLiteral("/opt/hoja ruta/hojaruta");
    QVERIFY(r.CreaAccesoDirecto());
    QVERIFY(r.CreaAccesoDirecto());
    const QDir escritorio(r.carpetaEscritorio);
    QCOMPARE(escritorio.entryList(QDir::Files), QStringList{"Relojero.desktop"});
    QFile f(escritorio.filePath(QStringLiteral("Relojero.desktop")));
    QVERIFY(f.permissions() & QFile::ExeOwner);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("[Desktop Entry]\nType=Application\nName=Relojero\n"
                                     "Exec=\"/opt/hoja ruta/hojaruta\"\nIcon=hojaruta\n"
                                     "Terminal=false\nCategories=Office;\n"));
    QCOMPARE(RegistroConexion::TextoAccesoDirecto(QStringLiteral("/a\"b$c\\d%e")).split('\n')[3],
             QByteArray("Exec=\"/a\\\\\"b\\\\$c\\\\\\\\d%%e\""));
}

void TstAcceso::ejecutaComando_data() {
    QTest::addColumn<QString>("comando");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::newRow("termina") << "true" << true << "";
    QTest::newRow("termina con error") << "sh -c \"exit 3\"" << true << "";
    QTest::newRow("no existe") << "/no/existe/programa" << false << "Error al ejecutar el comando";
}

void TstAcceso::ejecutaComando() {
    QFETCH(QString, comando);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QString devuelto;
    QCOMPARE(RegistroConexion::EjecutarCmdRegDB(comando, devuelto), ok);
    QCOMPARE(devuelto, error);
}

// The window: hints are placeholders, the password masked, a typed port used;
// the local file's choice when the server is "sqlite"; a double click accepts.
void TstAcceso::ventana() {
    escribeBases(kBases);
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    VentanaConexion ventana(*app);
    QString s = QStringLiteral("srv"), b = QStringLiteral("GESTION"), u, c, visto;
    int p = 0;
    enLaVentana([&](frmAcceso* v) {
        visto = QStringList{v->windowTitle(),
                            hijo<QLineEdit>(v, "TxtUserId")->placeholderText(),
                            hijo<QLineEdit>(v, "TxtDbName")->placeholderText(),
                            hijo<QLineEdit>(v, "TxtServidor")->placeholderText(),
                            QString::number(hijo<QLineEdit>(v, "TxtUserPassword")->echoMode()),
                            hijo<QLineEdit>(v, "TxtPuerto")->text(),
                            QString::number(hijo<QListWidget>(v, "lstBases")->count())}
                    .join(u'|');
        QTest::keyClicks(hijo<QLineEdit>(v, "TxtUserPassword"), QStringLiteral("s3creta"));
        hijo<QLineEdit>(v, "TxtPuerto")->clear();
        QTest::keyClicks(hijo<QLineEdit>(v, "TxtPuerto"), QStringLiteral("1500"));
        hijo<QPushButton>(v, "bcAceptar")->click();
    });
    QVERIFY(ventana.Pide(s, b, u, c, p));
    QCOMPARE(visto, QStringLiteral("Control de Acceso|Ingrese el usuario|ingrese el nombre de la "
                                   "base de datos|ingrese el nombre del servidor e instancia|2|"
                                   "1433|6"));
    QCOMPARE((QStringList{s, b, u, c, QString::number(p)}),
             (QStringList{"srv,1500", "GESTION", "", "s3creta", "0"}));

    s = QStringLiteral("sqlite");
    enLaVentana([&](frmAcceso* v) {
        visto = hijo<QComboBox>(v, "CboPlataformaDB")->currentText() + u'|' +
                QString::number(hijo<QLineEdit>(v, "TxtUserId")->isEnabled());
        hijo<QPushButton>(v, "bcCancelar")->click();
    });
    QVERIFY(!ventana.Pide(s, b, u, c, p));
    QCOMPARE(visto, QStringLiteral("Archivo local (SQLite)|0"));

    enLaVentana([&](frmAcceso* v) {
        auto* lista = hijo<QListWidget>(v, "lstBases");
        const QPoint celda = lista->visualItemRect(lista->item(3)).center(); // ORCL / ORA
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, celda);
        QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, celda);
    });
    QVERIFY(ventana.Pide(s, b, u, c, p));
    QCOMPARE((QStringList{s, b, u, QString::number(p)}), (QStringList{"ora", "ORCL", "", "1"}));
}

QTEST_MAIN(TstAcceso)
#include "tst_acceso.moc"
