// What the sheet warns about: lines whose counts do not add up, the odometer
// against the vehicle's previous run, and the entry a finish posts, shown before
// it is posted. The rules and the repository without a window, then the window
// by keys.

#include "BaseHoja.h"
#include "VentanaHoja.h"
#include "sheet/FrmHojaRuta.h"

#include <QColor>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
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
    void ventanaFinalizar();
    void ventanaOdometro();
    void masDatos();
};

namespace {

QStringList textos(std::initializer_list<const char*> lista) {
    QStringList r;
    for (const char* t : lista)
        r << QString::fromUtf8(t);
    return r;
}

const QString kAsientoDel120 =
    QStringLiteral("SELECT \"NUMERO ASIENTO\", Secuencia, Cuenta, \"Debe-Haber\", Importe FROM "
                   "MV_ASIENTOS WHERE Cpte_Origen = '120' AND Secuencia > 0 ORDER BY Secuencia");

// Run 120 open in the window, its expenses posted to accounts 511 and 111.
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
        ventana = prueba::VentanaActiva(*app);
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
        prueba::TipeaEn(*ventana, fila, col, valor);
    }
    void finalizar(std::initializer_list<Respuesta> respuestas) {
        prueba::Finaliza(*ventana, dialogo, respuestas);
    }
};

} // namespace

void TstControlesHoja::descuadre_data() {
    QTest::addColumn<QStringList>("celdas"); // "columna=texto"
    QTest::addColumn<QString>("motivo");
    QTest::newRow("cuadra") << textos({"1=10", "2=10", "3=2", "4=2,5", "5=6", "7=6", "8=6"})
                            << QString();
    QTest::newRow("vende justo lo cargado") << textos({"1=10", "3=2", "7=12"}) << QString();
    QTest::newRow("vende mas unidades")
        << textos({"1=5", "3=1", "7=7", "2=7", "8=7"})
        << "Se vendieron 7 Uds. y se cargaron 6 (carga y recarga): la devolución queda negativa.";
    QTest::newRow("vende mas kilos")
        << textos({"1=5", "2=1,5", "4=1", "8=3"})
        << "Se vendieron 3 Kgs. y se cargaron 2,5 (carga y recarga): la devolución queda "
           "negativa.";
    QTest::newRow("devolucion de signo opuesto")
        << textos({"1=5", "2=5", "5=-2", "6=3"})
        << "Dev. y Sobrantes: las Uds. (-2) y los Kgs. (3) tienen distinto signo.";
    // A count left empty or zero on one side has no sign to disagree with.
    QTest::newRow("unidades sin kilos") << textos({"1=10", "7=4", "5=-6"}) << QString();
}

void TstControlesHoja::descuadre() {
    QFETCH(QStringList, celdas);
    QFETCH(QString, motivo);
    // The same counts on two lines: the finish's question names the first.
    Reparto r;
    r.Lineas().setFilas(3);
    r.Lineas().setTexto(0, col::Producto, QStringLiteral(" A1 Salame "));
    for (const QString& c : celdas)
        prueba::PonCeldas(r, {c, QStringLiteral("2,") + c});
    QCOMPARE(ReglasHoja::Descuadre(r, 0), motivo);
    const auto todas = ReglasHoja::Descuadres(r);
    QCOMPARE(todas.size(), motivo.isEmpty() ? 0 : 2);
    QCOMPARE(ReglasHoja::PreguntaDescuadres(r, todas),
             motivo.isEmpty() ? QString()
                              : QStringLiteral("La línea 1 (A1 Salame) no cuadra: ") + motivo +
                                    QStringLiteral("\r\nNo cuadran 2 líneas en total.\r\n"
                                                   "¿Finaliza el reparto de todos modos?"));
}

void TstControlesHoja::asientoPrevio_data() {
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("leyenda");
    QTest::addColumn<QStringList>("tabla"); // as the question shows it, totals last
    // An expense without its account posts nothing, so it is not shown either.
    QTest::newRow("se registra") << QString() << "Asiento N° 8 del 01/03/2024 - salida"
                                 << textos({"511|Combustible|100|", "513|Viaticos|50,5|",
                                            "111|Caja||150,5", "|Totales|150,5|150,5"});
    QTest::newRow("ya tiene su asiento")
        << QStringLiteral("INSERT INTO MV_ASIENTOS (\"NUMERO ASIENTO\", Mes_Operativo, Tipo_Reg, "
                          "Periodo, Cpte_Origen, TC) VALUES (6,3,'CB',2024,'120','CBCT');")
        << "El reparto 120 ya tiene su asiento contable: no se registra otro."
        << textos({"|Totales|0|0"});
}

void TstControlesHoja::asientoPrevio() {
    // What the question shows is what the save posts, line for line.
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
    prueba::PonCampos(
        r, textos({"CuentaG1=511", "Gasto1=100", "CuentaG2=", "Gasto2=7", "CuentaG3=513",
                   "Gasto3=50,5", "CuentaMP=111", "GastoMP=150,5", "Observaciones= salida "}));
    r.CuentaEtiqueta[0] = QStringLiteral("Combustible");
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
    QCOMPARE(b.filas(kAsientoDel120), posteado);
}

void TstControlesHoja::kmAnterior_data() {
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("vehiculo");
    QTest::addColumn<QString>("kmInicial");
    QTest::addColumn<QString>("nota");
    const QString de130 =
        QStringLiteral("El reparto anterior del vehículo (N° 130) terminó en 5000 km.");
    // By date: 130 ran after 131, though it was finished first; 132 is still open.
    QTest::newRow("sigue al ultimo por fecha") << "140"
                                               << "AB123"
                                               << "5000" << QString();
    QTest::newRow("no sigue") << "140"
                              << " AB123 "
                              << " 4800,5 " << de130;
    QTest::newRow("sin km inicio") << "140"
                                   << "AB123"
                                   << "" << QString();
    // Runs numbered after this one came later; 121 has no end odometer.
    QTest::newRow("solo los anteriores") << "129"
                                         << "AB123"
                                         << "4800" << QString();
    QTest::newRow("otro vehiculo") << "140"
                                   << "ZZ999"
                                   << "100" << QString();
}

void TstControlesHoja::kmAnterior() {
    QFETCH(QString, numero);
    QFETCH(QString, vehiculo);
    QFETCH(QString, kmInicial);
    QFETCH(QString, nota);
    prueba::Base b(QStringLiteral(
        "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, KmFinal, FINALIZADO) VALUES "
        "(130,'2024-03-10',1,'AB123',5000,'2024-03-11'), "
        "(131,'2024-03-05',1,'AB123',4800,'2024-03-12'), "
        "(132,'2024-03-12',1,'AB123',4800,NULL), (133,'2024-03-20',1,'ZZ999',100,'2024-03-21');"));
    RepositorioReparto repo(*b.app);
    Reparto r;
    r.ConfirmaNumero(numero);
    prueba::PonCampos(
        r, {QStringLiteral("Vehiculo=") + vehiculo, QStringLiteral("KmInicial=") + kmInicial});
    QCOMPARE(ReglasHoja::AvisoKmInicial(r, repo.UltimoFinalizado(r)), nota);
}

void TstControlesHoja::ventanaFinalizar() {
    Hoja h;
    QTRY_VERIFY(h.ventana->Existe());
    h.confirma("CuentaG1", QStringLiteral("511"));
    h.confirma("CuentaMP", QStringLiteral("111"));
    const ModeloGrilla& g = h.ventana->Grilla();
    QCOMPARE(h.etiqueta("lblDescuadres"), QStringLiteral("0"));

    // One unit loaded and two reloaded, six sold on the run's vouchers: red, counted.
    h.tipeaEn(0, col::CargaUd, QStringLiteral("1"));
    const QString motivo = QStringLiteral(
        "Se vendieron 6 Uds. y se cargaron 3 (carga y recarga): la devolución queda negativa.");
    QCOMPARE(g.index(0, col::VtaUd).data(Qt::ToolTipRole).toString(), motivo);
    QCOMPARE(g.index(0, col::Producto).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(h.etiqueta("lblDescuadres"), QStringLiteral("1"));

    // The question keeps its texts and shows the entry; asked once more for the
    // line, "No" writes nothing.
    const QStringList antes = prueba::TablasDeGrabacion(h.app->db);
    h.finalizar({Respuesta::Yes, Respuesta::No});
    QCOMPARE(h.dialogo.mostradas().size(), 2);
    const CajaMostrada pregunta = h.dialogo.mostradas().first();
    QCOMPARE(pregunta.texto + pregunta.titulo + QString::number(pregunta.estilo),
             QStringLiteral("Recuerde: Una vez finalizado el Reparto NO SE PODRA "
                            "MODIFICAR!\r\n-Confirma...?-Atención!292"));
    QCOMPARE(pregunta.leyenda, QStringLiteral("Asiento N° 8 del 01/03/2024"));
    QCOMPARE(pregunta.tabla, textos({"Cuenta|Descripción|Debe|Haber", "511|Combustible|100,00|",
                                     "111|Caja||100,00", "|Totales|100,00|100,00"}));
    QCOMPARE(h.dialogo.mostradas().last().texto,
             QStringLiteral("La línea 1 (%1) no cuadra: %2\r\n¿Finaliza el reparto de todos "
                            "modos?")
                 .arg(g.texto(0, col::Producto).trimmed(), motivo));
    QCOMPARE(prueba::TablasDeGrabacion(h.app->db), antes);

    // Corrected, the line is plain again. Another workstation posts entry 8 while
    // the clerk reads the question: the entry goes in as 9, and the clerk is told.
    h.tipeaEn(0, col::CargaUd, QStringLiteral("10"));
    QCOMPARE(h.etiqueta("lblDescuadres"), QStringLiteral("0"));
    QVERIFY(!g.index(0, col::Producto).data(Qt::ForegroundRole).isValid());
    QCOMPARE(g.index(0, col::Producto).data(Qt::ToolTipRole), g.index(0, col::Producto).data());
    h.dialogo.olvida();
    h.dialogo.alMostrar = [&](const CajaMostrada& caja) {
        if (caja.tabla.isEmpty())
            return;
        h.app->db.Ejecuta(QStringLiteral(
            "INSERT INTO MV_ASIENTOS (\"NUMERO ASIENTO\", Mes_Operativo, Tipo_Reg, Periodo, "
            "Cpte_Origen, TC) VALUES (8,3,'CB',2024,'99','CBCT')"));
    };
    h.finalizar({Respuesta::Yes, Respuesta::OK});
    QCOMPARE(h.dialogo.mostradas().size(), 2);
    QCOMPARE(h.dialogo.mostradas().last().texto,
             QStringLiteral("Otro puesto registró un asiento mientras se confirmaba éste: el "
                            "asiento del reparto 120 se registró con el número 9, no con el 8 "
                            "que se mostró."));
    QCOMPARE(prueba::Filas(h.app->db, kAsientoDel120), textos({"9|1|511|D|100", "9|2|111|H|100"}));
}

void TstControlesHoja::ventanaOdometro() {
    // Run 119 of the same van ended at 5000 km.
    Hoja h(QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, KmFinal, "
                          "FINALIZADO) VALUES (119,'2024-02-28',1,'AB123',5000,'2024-02-29');"));
    QTRY_VERIFY(h.ventana->Existe());
    h.confirma("KmInicial", QStringLiteral("4990"));
    QCOMPARE(h.etiqueta("lblKmAnterior"),
             QStringLiteral("El reparto anterior del vehículo (N° 119) terminó en 5000 km."));
    // Only a note: no box, and Enter went on.
    QVERIFY(h.dialogo.mostradas().isEmpty());
    QCOMPARE(QApplication::focusWidget(), h.ventana->Campo(QStringLiteral("Observaciones")));

    h.confirma("KmFinal", QStringLiteral("5100"));
    QCOMPARE(h.etiqueta("lblKmRecorridos"), QStringLiteral("Km recorridos: 110"));
    h.confirma("KmInicial", QStringLiteral("5000"));
    QCOMPARE(h.etiqueta("lblKmAnterior") + u'|' + h.etiqueta("lblKmRecorridos"),
             QStringLiteral("|Km recorridos: 100"));
}

// The summaries' page by keys: amounts in the sheet's money format, no heading or
// amount cut, and the focus back where the clerk left it.
void TstControlesHoja::masDatos() {
    Hoja h;
    QTRY_VERIFY(h.ventana->Existe());
    auto* pestanas = h.ventana->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    QLineEdit* chofer = h.ventana->Campo(QStringLiteral("Chofer"));
    chofer->setFocus();
    QTest::keyClick(chofer, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(pestanas->currentWidget()->objectName(), QStringLiteral("tabMasDatos"));
    QVERIFY(pestanas->currentWidget()->isAncestorOf(QApplication::focusWidget()));

    const struct {
        const char* grilla;
        QStringList filas;
    } casos[] = {{"MSHFlexGrid1", {"FC|A|750,00", "NC|B|126,00"}}, {"MSHFlexGrid2", {"CB|300,00"}}};
    for (const auto& c : casos) {
        auto* vista = h.ventana->findChild<QTableView*>(QString::fromLatin1(c.grilla));
        const QAbstractItemModel* m = vista->model();
        QStringList filas;
        for (int f = 0; f < m->rowCount(); ++f) {
            QStringList celdas;
            for (int col = 0; col < m->columnCount(); ++col)
                celdas << m->index(f, col).data().toString();
            filas << celdas.join(u'|');
        }
        QCOMPARE(filas, c.filas);
        int total = 0;
        for (int col = 0; col < m->columnCount(); ++col) {
            const int necesita =
                std::max(static_cast<QAbstractItemView*>(vista)->sizeHintForColumn(col),
                         vista->horizontalHeader()->sectionSizeHint(col));
            QVERIFY2(vista->columnWidth(col) >= necesita, c.grilla);
            total += vista->columnWidth(col);
        }
        QVERIFY2(total <= vista->viewport()->width(), c.grilla);
    }

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(pestanas->currentWidget()->objectName(), QStringLiteral("tabCarga"));
    QCOMPARE(QApplication::focusWidget(), chofer);
}

QTEST_MAIN(TstControlesHoja)
#include "tst_controles_hoja.moc"
