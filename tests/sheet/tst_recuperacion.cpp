// The sheet left unsaved when the session ends: kept in a file of the user's own and
// offered back at the next start on the same database.

#include "BaseHoja.h"
#include "LeeTraza.h"
#include "VentanaHoja.h"
#include "app/FinDeSesion.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/Recuperacion.h"

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <csignal>

using plataforma::Respuesta;

class TstRecuperacion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void idaYVuelta_data();
    void idaYVuelta();
    void archivoIlegible_data();
    void archivoIlegible();
    void alTerminarLaSesion_data();
    void alTerminarLaSesion();
    void senalDelSistema_data();
    void senalDelSistema();
    // Last: it ends every event loop of the thread, as the program's end does.
    void duranteUnaCarga_data();
    void duranteUnaCarga();
    void conUnaCajaAbierta();
};

namespace {

const QString kServidor = QStringLiteral("SQLite");

// One session of the program: the sheet shown and active on the database of `dir`.
struct Jornada {
    DialogoGuionado dialogo;
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    explicit Jornada(const QTemporaryDir& dir, const QList<Respuesta>& respuestas = {},
                     ado::FabricaProveedor fabrica = {}) {
        for (Respuesta r : respuestas)
            dialogo.responde(r);
        app = prueba::Inicia(dialogo, dir, dir.filePath(QStringLiteral("hoja.db")), {},
                             std::move(fabrica));
        ventana = prueba::VentanaActiva(*app, dir.filePath(QStringLiteral("usuario")));
    }
    QString ver(const char* campo) const {
        return ventana->Campo(QString::fromLatin1(campo))->text();
    }
    void confirma(const char* campo, const QString& valor) {
        QLineEdit* c = ventana->Campo(QString::fromLatin1(campo));
        c->setFocus();
        c->setText(valor);
        QTest::keyClick(c, Qt::Key_Return);
    }
    // A quantity typed into the grid as a clerk does.
    void tipeaEn(int fila, int col, const QString& texto) {
        prueba::TipeaEn(*ventana, fila, col, texto);
    }
    // Run `numero` opened and changed as a clerk would: an odd driver, a reload.
    void cambia(const QString& numero) {
        confirma("Reparto", numero);
        ventana->Campo(QStringLiteral("Chofer"))->setText(QStringLiteral("D'Arco, 数量 Ñandú"));
        tipeaEn(0, 3, QStringLiteral("4"));
    }
};

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
        QCOMPARE(despues.Campo(c),
                 c == QLatin1String("Reparto") ? QStringLiteral("57") : antes.Campo(c));
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
        const Recuperacion otra(dir.path(), QStringLiteral("sqlite"),
                                QString::fromLatin1(contenido));
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

void TstRecuperacion::alTerminarLaSesion_data() {
    QTest::addColumn<QString>("numero"); // the run changed in the first session
    QTest::addColumn<QString>("entre");  // what happens to the database between sessions
    QTest::addColumn<int>("respuesta");  // to the question; 0 when none is expected
    QTest::addColumn<QString>("pregunta");
    QTest::addColumn<QString>("muestra"); // Reparto|Chofer|Recarga Uds. of line 1|title
    const QString si = QStringLiteral("D'Arco, 数量 Ñandú|4|Planilla HojaRuta *");
    QTest::newRow("existente, Si")
        << "120"
        << "" << int(Respuesta::Yes) << "120" << QStringLiteral("120|") + si;
    QTest::newRow("existente, No") << "120"
                                   << "" << int(Respuesta::No) << "120"
                                   << "122|||Planilla HojaRuta";
    QTest::newRow("nuevo, Si") << "500"
                               << "" << int(Respuesta::Yes) << "122" << QStringLiteral("122|") + si;
    QTest::newRow("nuevo, otro grabado entretanto")
        << "500"
        << "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES (122,'2024-03-09',1)"
        << int(Respuesta::Yes) << "122" << QStringLiteral("123|") + si;
    QTest::newRow("finalizado entretanto")
        << "120"
        << "UPDATE MV_REPARTO SET FINALIZADO = '2024-03-09' WHERE IdReparto = 120"
        << int(Respuesta::Yes) << "120"
        << "120|Perez|2|Planilla HojaRuta";
    QTest::newRow("archivo ilegible") << "120"
                                      << "ilegible" << 0 << ""
                                      << "122|||Planilla HojaRuta";
}

void TstRecuperacion::alTerminarLaSesion() {
    QFETCH(QString, numero);
    QFETCH(QString, entre);
    QFETCH(int, respuesta);
    QFETCH(QString, pregunta);
    QFETCH(QString, muestra);
    QTemporaryDir dir;
    prueba::CreaBase(dir.filePath(QStringLiteral("hoja.db")), prueba::DatosDemo());
    const QString traza = dir.filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    QString archivo;
    {
        Jornada s(dir);
        s.cambia(numero);
        QCOMPARE(s.ventana->windowTitle(), QStringLiteral("Planilla HojaRuta *"));
        QVERIFY(s.app->gIdAcceso != 0);
        s.dialogo.olvida();
        // What the notifier calls: no question, the window closes, the run is kept.
        s.ventana->TerminaSesion();
        QVERIFY(s.dialogo.mostradas().isEmpty());
        QVERIFY(!s.ventana->isVisible());
        archivo = s.ventana->RecuperacionDeLaBase().Ruta();
        QVERIFY(QFile::exists(archivo));
        s.app->FinalizaAplicacion(); // as the program's end does
    }
    qputenv("HOJARUTA_TRAZA", QByteArray());
    const QStringList egresos = SentenciasDeTraza(traza).filter(QStringLiteral("SET EGRESO"));
    QCOMPARE(egresos.size(), 1);

    if (entre == QLatin1String("ilegible")) {
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("{\"formato\": 1, \"reparto\": ");
    } else if (!entre.isEmpty()) {
        DialogoGuionado d;
        auto app = prueba::Inicia(d, dir, dir.filePath(QStringLiteral("hoja.db")));
        QString cadena;
        QVERIFY(app->IniciaAplicacion(false, QString(), cadena, ado::adUseClient));
        app->db.gCnn().Execute(entre);
        app->FinalizaAplicacion();
    }

    Jornada s(dir,
              respuesta ? QList<Respuesta>{static_cast<Respuesta>(respuesta)} : QList<Respuesta>{});
    if (respuesta) {
        QCOMPARE(s.dialogo.mostradas().size(), 1);
        QCOMPARE(s.dialogo.mostradas().first().texto,
                 QStringLiteral("¿Recupera los cambios sin grabar del reparto ") + pregunta + u'?');
        QCOMPARE(s.dialogo.mostradas().first().titulo, QStringLiteral("Aviso al operador..."));
        QCOMPARE(s.dialogo.mostradas().first().estilo, 4 + 32);
    } else {
        QVERIFY(s.dialogo.mostradas().isEmpty());
    }
    QVERIFY(!QFile::exists(archivo));
    QCOMPARE(s.ver("Reparto") + u'|' + s.ver("Chofer") + u'|' + s.ventana->Grilla().texto(0, 3) +
                 u'|' + s.ventana->windowTitle(),
             muestra);
}

void TstRecuperacion::senalDelSistema_data() {
    QTest::addColumn<int>("senal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TstRecuperacion::senalDelSistema() {
    // The signal itself, raised to this process, through the handler and the notifier.
    QFETCH(int, senal);
    QTemporaryDir dir;
    prueba::CreaBase(dir.filePath(QStringLiteral("hoja.db")), prueba::DatosDemo());
    Jornada s(dir);
    FinDeSesion fin;
    QVERIFY(fin.activo());
    connect(&fin, &FinDeSesion::pedida, s.ventana.get(), &FrmHojaRuta::TerminaSesion);
    s.cambia(QStringLiteral("120"));
    s.dialogo.olvida();
    QCOMPARE(::raise(senal), 0);
    QTRY_VERIFY(!s.ventana->isVisible());
    QVERIFY(s.dialogo.mostradas().isEmpty());
    const auto hoja = s.ventana->RecuperacionDeLaBase().Lee();
    QVERIFY(hoja);
    QCOMPARE(hoja->campos[Reparto::Campos().indexOf(QStringLiteral("Chofer"))],
             QStringLiteral("D'Arco, 数量 Ñandú"));
}

void TstRecuperacion::conUnaCajaAbierta() {
    // The session ends while a box waits for an answer: the run is kept and the box
    // gives way, with nobody pressing anything.
    QTemporaryDir dir;
    prueba::CreaBase(dir.filePath(QStringLiteral("hoja.db")), prueba::DatosDemo());
    Jornada s(dir);
    s.cambia(QStringLiteral("120"));
    QDialog caja(s.ventana.get());
    bool porReloj = false;
    QTimer::singleShot(0, s.ventana.get(), [&] { s.ventana->TerminaSesion(); });
    QTimer::singleShot(5000, &caja, [&] {
        porReloj = true;
        caja.reject();
    });
    caja.exec();
    QVERIFY(!porReloj);
    QVERIFY(s.ventana->RecuperacionDeLaBase().Lee());
}

void TstRecuperacion::duranteUnaCarga_data() {
    QTest::addColumn<QString>("antesDe");
    QTest::newRow("reading the lines") << "SELECT * FROM V_MV_REPARTODET WHERE IDREPARTO";
    QTest::newRow("after them, the previous odometer")
        << "SELECT TOP 1 IdReparto, KmFinal FROM V_MV_REPARTO";
}

// The session ends while a run is being opened: what is on the sheet then is half a
// run nobody typed. Nothing is kept; the window closes once the run is whole.
void TstRecuperacion::duranteUnaCarga() {
    QFETCH(QString, antesDe);
    QTemporaryDir dir;
    prueba::CreaBase(dir.filePath(QStringLiteral("hoja.db")), prueba::DatosDemo());
    auto inyeccion = std::make_shared<Inyeccion>();
    Jornada s(dir, {}, ProveedorFallido::Fabrica(inyeccion));
    bool visibleAlTerminar = false;
    inyeccion->antesDe = antesDe;
    inyeccion->alLlegar = [&] {
        s.ventana->TerminaSesion();
        visibleAlTerminar = s.ventana->isVisible();
    };
    s.confirma("Reparto", QStringLiteral("120"));
    QVERIFY(!inyeccion->alLlegar);
    QVERIFY(visibleAlTerminar);
    QTRY_VERIFY(!s.ventana->isVisible());
    QVERIFY(!s.ventana->RecuperacionDeLaBase().Existe());
    QCOMPARE(s.ver("Chofer") + u'|' + s.ventana->Grilla().texto(0, 3), QStringLiteral("Perez|2"));
    QVERIFY(s.dialogo.mostradas().isEmpty());
}

QTEST_MAIN(TstRecuperacion)
#include "tst_recuperacion.moc"
