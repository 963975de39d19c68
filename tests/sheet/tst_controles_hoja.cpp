// What the sheet warns about: lines whose counts do not add up, the odometer
// against the vehicle's previous run, and the entry a finish posts, shown before
// it is posted. The rules and the repository without a window, then one window
// scenario each, by keys.

#include "BaseHoja.h"
#include "sheet/AsientoReparto.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ReglasHoja.h"
#include "sheet/RepositorioReparto.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using plataforma::Respuesta;

class TstControlesHoja : public QObject {
    Q_OBJECT

private slots:
    void descuadre_data();
    void descuadre();
    void asientoPrevio_data();
    void asientoPrevio();
    void kmAnterior_data();
    void kmAnterior();
    void kmRecorridos_data();
    void kmRecorridos();
    void ventanaAsiento();
    void ventanaDescuadre();
    void ventanaOdometro();
};

namespace {

// Finished runs of van AB123 (130 dated after 131, though numbered before it), an
// open one, and one of another van.
const QString kViajes = QStringLiteral(
    "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, KmFinal, FINALIZADO) VALUES "
    "(130,'2024-03-10',1,'AB123',5000,'2024-03-11'), "
    "(131,'2024-03-05',1,'AB123',4800,'2024-03-12'), "
    "(132,'2024-03-12',1,'AB123',6000,NULL), "
    "(133,'2024-03-20',1,'ZZ999',100,'2024-03-21');");

QString texto(const char* t) {
    return QString::fromUtf8(t);
}

QStringList textos(std::initializer_list<const char*> lista) {
    QStringList r;
    for (const char* t : lista)
        r << texto(t);
    return r;
}

// The sheet open on a small database, shown and active, as a clerk finds it.
struct Hoja {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    explicit Hoja(const QString& extra = {}) {
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        prueba::CreaBase(base,
                         prueba::DatosDemo() + u'\n' + prueba::DatosAsiento() + u'\n' + extra);
        app = prueba::Inicia(dialogo, dir, base, QStringLiteral("120"));
        ventana = std::make_unique<FrmHojaRuta>(*app);
        if (!ventana->Form_Load())
            qFatal("no connection");
        ventana->resize(1100, 760);
        ventana->show();
        ventana->activateWindow();
        if (!QTest::qWaitForWindowActive(ventana.get()))
            qFatal("window not active");
    }
    QString etiqueta(const char* n) const {
        return ventana->findChild<QLabel*>(QString::fromLatin1(n))->text();
    }
    void confirma(const char* n, const QString& valor) {
        QLineEdit* c = ventana->Campo(QString::fromLatin1(n));
        c->setFocus();
        c->selectAll();
        QTest::keyClicks(c, valor);
        QTest::keyClick(c, Qt::Key_Return);
    }
    void tipeaEn(int fila, int col, const QString& valor) {
        QTableView* g = ventana->VistaGrilla();
        g->setCurrentIndex(ventana->Grilla().index(fila, col));
        g->setFocus();
        QTest::keyClicks(g, valor.left(1));
        QTest::keyClicks(ventana->txtEditCC(), valor.mid(1));
        QTest::keyClick(ventana->txtEditCC(), Qt::Key_Return);
    }
    void finalizar(std::initializer_list<Respuesta> respuestas) {
        for (Respuesta r : respuestas)
            dialogo.responde(r);
        QTest::mouseClick(ventana->findChild<QPushButton*>(QStringLiteral("cmdFinalizar")),
                          Qt::LeftButton);
    }
    QStringList filas(const QString& sql) { return prueba::Filas(app->db, sql); }
};

const QString kAsientoDel120 =
    QStringLiteral("SELECT \"NUMERO ASIENTO\", Secuencia, Cuenta, \"Debe-Haber\", Importe FROM "
                   "MV_ASIENTOS WHERE Cpte_Origen = '120' ORDER BY Secuencia");

} // namespace

// ------------------------------------------------------------------ rules

void TstControlesHoja::descuadre_data() {
    QTest::addColumn<QStringList>("celdas"); // "columna=texto" on the only line
    QTest::addColumn<QString>("motivo");
    const auto fila = [](const char* nombre, QStringList celdas, const char* motivo) {
        QTest::newRow(nombre) << celdas << texto(motivo);
    };
    fila("vacia", {}, "");
    fila("cuadra", textos({"1=10", "2=10", "3=2", "4=2,5", "5=6", "6=6,5", "7=6", "8=6"}), "");
    fila("vende justo lo cargado", textos({"1=10", "3=2", "7=12", "2=1", "8=1"}), "");
    fila("vende mas unidades", textos({"1=5", "3=1", "7=7", "2=7", "8=7"}),
         "Se vendieron 7 Uds. y se cargaron 6 (carga y recarga): la devolución queda negativa.");
    fila("vende mas kilos", textos({"1=5", "2=1,5", "4=1", "7=1", "8=3"}),
         "Se vendieron 3 Kgs. y se cargaron 2,5 (carga y recarga): la devolución queda "
         "negativa.");
    fila("devolucion de signo opuesto", textos({"1=5", "2=5", "5=-2", "6=3"}),
         "Dev. y Sobrantes: las Uds. (-2) y los Kgs. (3) tienen distinto signo.");
    fila("venta de signo opuesto", textos({"1=5", "2=5", "7=2", "8=-1"}),
         "Vta. Total: las Uds. (2) y los Kgs. (-1) tienen distinto signo.");
    // A count left empty or zero on one side has no sign to disagree with.
    fila("unidades sin kilos", textos({"1=10", "7=4", "5=-6"}), "");
    fila("texto que no es numero", textos({"1=abc", "7=1", "8=1", "2=5"}),
         "Se vendieron 1 Uds. y se cargaron 0 (carga y recarga): la devolución queda negativa.");
}

void TstControlesHoja::descuadre() {
    QFETCH(QStringList, celdas);
    QFETCH(QString, motivo);
    Reparto r;
    r.Lineas().setFilas(2);
    prueba::PonCeldas(r, celdas);
    QCOMPARE(ReglasHoja::Descuadre(r, 0), motivo);
    const auto todas = ReglasHoja::Descuadres(r);
    QCOMPARE(todas.size(), motivo.isEmpty() ? 0 : 1);
    if (!todas.isEmpty())
        QCOMPARE(todas.first().fila, 0);
}

void TstControlesHoja::asientoPrevio_data() {
    QTest::addColumn<QStringList>("campos");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("leyenda");
    QTest::addColumn<QStringList>("tabla"); // as the question shows it, totals last
    QTest::newRow("dos gastos y el medio de pago")
        << textos({"CuentaG1=511", "Gasto1=100", "CuentaG3=513", "Gasto3=50,5", "CuentaMP=111",
                   "GastoMP=150,5", "Observaciones= salida "})
        << QString() << texto("Asiento N° 8 del 01/03/2024 - salida")
        << textos({"511|Combustible|100|", "513|Viaticos|50,5|", "111|Caja||150,5",
                   "|Totales|150,5|150,5"});
    // What posts no line is not shown either.
    QTest::newRow("sin cuenta, en cero y negativo")
        << textos({"CuentaG1=", "Gasto1=100", "CuentaG2=512", "Gasto2=0", "CuentaG3=513",
                   "Gasto3=-5", "CuentaG4=511", "Gasto4=20", "CuentaMP=111", "GastoMP=20"})
        << QString() << texto("Asiento N° 8 del 01/03/2024")
        << textos({"511|Combustible|20|", "111|Caja||20", "|Totales|20|20"});
    QTest::newRow("ya tiene su asiento")
        << textos({"CuentaG1=511", "Gasto1=100", "CuentaMP=111", "GastoMP=100"})
        << QStringLiteral("INSERT INTO MV_ASIENTOS (\"NUMERO ASIENTO\", Mes_Operativo, Tipo_Reg, "
                          "Periodo, Cpte_Origen, TC) VALUES (6,3,'CB',2024,'120','CBCT');")
        << texto("El reparto 120 ya tiene su asiento contable: no se registra otro.")
        << textos({"|Totales|0|0"});
}

void TstControlesHoja::asientoPrevio() {
    // What the question shows is what the save posts, line for line.
    QFETCH(QStringList, campos);
    QFETCH(QString, extra);
    QFETCH(QString, leyenda);
    QFETCH(QStringList, tabla);
    prueba::Base b(extra);
    RepositorioReparto repo(*b.app);
    Reparto r;
    r.ConfirmaNumero(QStringLiteral("120"));
    r.Existe = repo.Existe(QStringLiteral("120"));
    repo.CargaCabecera(r);
    repo.CargaDetalle(r);
    prueba::PonCampos(r, campos);
    r.CuentaEtiqueta[0] = r.CuentaEtiqueta[3] = QStringLiteral("Combustible");
    r.CuentaEtiqueta[1] = QStringLiteral("Peajes");
    r.CuentaEtiqueta[2] = QStringLiteral("Viaticos");
    r.CuentaEtiqueta[4] = QStringLiteral("Caja");

    DatosAsiento d = repo.PreparaAsiento(r);
    const AsientoPrevio previo = repo.PreveAsiento(r, d);
    QCOMPARE(previo.Leyenda(), leyenda);
    ModeloAsiento modelo(previo.lineas, [](Currency c) { return c.texto().replace(u'.', u','); });
    QStringList vista;
    for (int f = 0; f < modelo.rowCount(); ++f) {
        QStringList c;
        for (int k = 0; k < modelo.columnCount(); ++k)
            c << modelo.index(f, k).data().toString();
        vista << c.join(u'|');
    }
    QCOMPARE(vista, tabla);

    QCOMPARE(repo.Graba(r, true, &d), Grabacion::Grabada);
    QStringList posteado;
    for (const LineaAsiento& l : previo.lineas)
        posteado << QStringLiteral("%1|%2|%3|%4|%5")
                        .arg(previo.numero)
                        .arg(l.secuencia)
                        .arg(l.cuenta, l.debe ? QStringLiteral("D") : QStringLiteral("H"))
                        .arg(l.importe.aDouble());
    // A line written earlier, without a sequence, is not this save's.
    QCOMPARE(b.filas(QString(kAsientoDel120)
                         .replace(QStringLiteral("ORDER BY"),
                                  QStringLiteral("AND Secuencia > 0 ORDER BY"))),
             posteado);
}

void TstControlesHoja::kmAnterior_data() {
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("vehiculo");
    QTest::addColumn<QString>("kmInicial");
    QTest::addColumn<QString>("nota");
    const QString de130 =
        QStringLiteral("El reparto anterior del vehículo (N° 130) terminó en 5000 km.");
    // By date: 130 ran after 131, though it was finished first.
    QTest::newRow("sigue al ultimo por fecha") << "140"
                                               << "AB123"
                                               << "5000" << QString();
    QTest::newRow("no sigue") << "140"
                              << "AB123"
                              << "4800" << de130;
    QTest::newRow("con decimales y blancos") << "140"
                                             << " AB123 "
                                             << " 5000,5 " << de130;
    QTest::newRow("sin km inicio") << "140"
                                   << "AB123"
                                   << "" << QString();
    // Runs numbered after this one came later: 121 has no end odometer.
    QTest::newRow("solo los anteriores") << "129"
                                         << "AB123"
                                         << "4800" << QString();
    QTest::newRow("otro vehiculo") << "140"
                                   << "ZZ999"
                                   << "100" << QString();
    QTest::newRow("vehiculo sin repartos") << "140"
                                           << "XX000"
                                           << "100" << QString();
}

void TstControlesHoja::kmAnterior() {
    QFETCH(QString, numero);
    QFETCH(QString, vehiculo);
    QFETCH(QString, kmInicial);
    QFETCH(QString, nota);
    prueba::Base b(kViajes);
    RepositorioReparto repo(*b.app);
    Reparto r;
    r.ConfirmaNumero(numero);
    prueba::PonCampos(
        r, {QStringLiteral("Vehiculo=") + vehiculo, QStringLiteral("KmInicial=") + kmInicial});
    QCOMPARE(ReglasHoja::AvisoKmInicial(r, repo.UltimoFinalizado(r)), nota);
}

void TstControlesHoja::kmRecorridos_data() {
    QTest::addColumn<QString>("inicio");
    QTest::addColumn<QString>("fin");
    QTest::addColumn<QString>("recorridos"); // empty: none shown
    QTest::newRow("ambos") << "1.000"
                           << "1120,5"
                           << "120.5";
    QTest::newRow("sin fin") << "1000"
                             << ""
                             << "";
    QTest::newRow("fin menor") << "1000"
                               << "900"
                               << "";
    QTest::newRow("no es numero") << "mil"
                                  << "1100"
                                  << "";
}

void TstControlesHoja::kmRecorridos() {
    QFETCH(QString, inicio);
    QFETCH(QString, fin);
    QFETCH(QString, recorridos);
    Reparto r;
    prueba::PonCampos(r, {QStringLiteral("KmInicial=") + inicio, QStringLiteral("KmFinal=") + fin});
    const auto km = ReglasHoja::KmRecorridos(r);
    QCOMPARE(km ? km->texto() : QString(), recorridos);
}

// ----------------------------------------------------------------- window

void TstControlesHoja::ventanaAsiento() {
    Hoja h;
    QTRY_VERIFY(h.ventana->Existe());
    h.dialogo.respondeSiempre(Respuesta::OK); // the account checks' boxes are not the point
    h.confirma("CuentaG1", QStringLiteral("511"));
    h.confirma("CuentaMP", QStringLiteral("111"));
    h.dialogo.respondeSiempre(QVariant());
    h.dialogo.olvida();

    // "No" changes nothing, and the question keeps its texts.
    const QStringList antes = prueba::TablasDeGrabacion(h.app->db);
    h.finalizar({Respuesta::No});
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    const CajaMostrada pregunta = h.dialogo.mostradas().first();
    QCOMPARE(pregunta.texto, QStringLiteral("Recuerde: Una vez finalizado el Reparto NO SE "
                                            "PODRA MODIFICAR!\r\n-Confirma...?"));
    QCOMPARE(pregunta.titulo, QStringLiteral("-Atención!"));
    QCOMPARE(pregunta.estilo, 4 + 32 + 256);
    QCOMPARE(pregunta.leyenda, QStringLiteral("Asiento N° 8 del 01/03/2024"));
    QCOMPARE(pregunta.tabla, textos({"Cuenta|Descripción|Debe|Haber", "511|Combustible|100,00|",
                                     "111|Caja||100,00", "|Totales|100,00|100,00"}));
    QCOMPARE(prueba::TablasDeGrabacion(h.app->db), antes);
    QVERIFY(h.ventana->Existe());

    // Another workstation posts entry 8 while the clerk reads the question: the
    // entry goes in as 9, and the clerk is told.
    h.dialogo.olvida();
    h.dialogo.alMostrar = [&](const CajaMostrada& caja) {
        if (caja.titulo == QStringLiteral("-Atención!"))
            h.app->db.Ejecuta(QStringLiteral(
                "INSERT INTO MV_ASIENTOS (\"NUMERO ASIENTO\", Mes_Operativo, Tipo_Reg, Periodo, "
                "Cpte_Origen, TC) VALUES (8,3,'CB',2024,'99','CBCT')"));
    };
    h.finalizar({Respuesta::Yes, Respuesta::OK});
    h.dialogo.alMostrar = nullptr;
    QCOMPARE(h.dialogo.mostradas().size(), 2);
    QCOMPARE(h.dialogo.mostradas().last().texto,
             QStringLiteral("Otro puesto registró un asiento mientras se confirmaba éste: el "
                            "asiento del reparto 120 se registró con el número 9, no con el 8 "
                            "que se mostró."));
    QCOMPARE(h.filas(kAsientoDel120), textos({"9|1|511|D|100", "9|2|111|H|100"}));
    QVERIFY(!h.ventana->Existe()); // back to a new run
}

void TstControlesHoja::ventanaDescuadre() {
    Hoja h;
    QTRY_VERIFY(h.ventana->Existe());
    h.dialogo.respondeSiempre(Respuesta::OK);
    h.confirma("CuentaG1", QStringLiteral("511"));
    h.confirma("CuentaMP", QStringLiteral("111"));
    h.dialogo.respondeSiempre(QVariant());
    h.dialogo.olvida();
    const ModeloGrilla& g = h.ventana->Grilla();
    QCOMPARE(h.etiqueta("lblDescuadres"), QStringLiteral("0"));
    QVERIFY(!g.index(0, 1).data(Qt::ForegroundRole).isValid());

    // One unit loaded and two reloaded, six sold on the run's vouchers.
    h.tipeaEn(0, col::CargaUd, QStringLiteral("1"));
    const QString motivo = QStringLiteral(
        "Se vendieron 6 Uds. y se cargaron 3 (carga y recarga): la devolución queda negativa.");
    QCOMPARE(g.index(0, col::VtaUd).data(Qt::ToolTipRole).toString(), motivo);
    QCOMPARE(g.index(0, col::Producto).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(h.etiqueta("lblDescuadres"), QStringLiteral("1"));

    // The finish asks once more, naming the line; "No" writes nothing.
    const QStringList antes = prueba::TablasDeGrabacion(h.app->db);
    h.finalizar({Respuesta::Yes, Respuesta::No});
    QCOMPARE(h.dialogo.mostradas().size(), 2);
    QCOMPARE(h.dialogo.mostradas().last().texto,
             QStringLiteral("La línea 1 (%1) no cuadra: %2\r\n¿Finaliza el reparto de todos "
                            "modos?")
                 .arg(g.texto(0, col::Producto).trimmed(), motivo));
    QCOMPARE(h.dialogo.mostradas().last().estilo, 4 + 48 + 256);
    QCOMPARE(prueba::TablasDeGrabacion(h.app->db), antes);

    // Corrected, the line is plain again.
    h.tipeaEn(0, col::CargaUd, QStringLiteral("10"));
    QCOMPARE(h.etiqueta("lblDescuadres"), QStringLiteral("0"));
    QVERIFY(!g.index(0, col::Producto).data(Qt::ToolTipRole).isValid());
}

void TstControlesHoja::ventanaOdometro() {
    // Run 119 of the same van ended at 5000 km.
    Hoja h(QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, KmFinal, "
                          "FINALIZADO) VALUES (119,'2024-02-28',1,'AB123',5000,'2024-02-29');"));
    QTRY_VERIFY(h.ventana->Existe());
    QCOMPARE(h.etiqueta("lblKmAnterior") + u'|' + h.etiqueta("lblKmRecorridos"), QString(u'|'));

    h.confirma("KmInicial", QStringLiteral("4990"));
    QCOMPARE(h.etiqueta("lblKmAnterior"),
             QStringLiteral("El reparto anterior del vehículo (N° 119) terminó en 5000 km."));
    // Only a note: no box, and Enter went on to the next field.
    QVERIFY(h.dialogo.mostradas().isEmpty());
    QCOMPARE(QApplication::focusWidget(), h.ventana->Campo(QStringLiteral("Observaciones")));

    h.confirma("KmFinal", QStringLiteral("5100"));
    QCOMPARE(h.etiqueta("lblKmRecorridos"), QStringLiteral("Km recorridos: 110"));
    h.confirma("KmInicial", QStringLiteral("5000"));
    QCOMPARE(h.etiqueta("lblKmAnterior") + u'|' + h.etiqueta("lblKmRecorridos"),
             QStringLiteral("|Km recorridos: 100"));
}

QTEST_MAIN(TstControlesHoja)
#include "tst_controles_hoja.moc"
