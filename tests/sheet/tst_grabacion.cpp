// Saving a run through the real window: what reaches the database, what a failure
// leaves behind, and the journal entry a finished run posts.

#include "BaseHoja.h"
#include "DialogoGuionado.h"
#include "app/Aplicacion.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

class TstGrabacion : public QObject {
    Q_OBJECT

private slots:
    void repartoNuevo();
    void repartoExistente();
    void fallaEnCadaSentencia();
    void reintentoGrabaUnaVez_data();
    void reintentoGrabaUnaVez();
    void asiento();
    void finalizarDosVeces();
    void sinTipoDeRegistro();
    void desbalanceado_data();
    void desbalanceado();
};

namespace {

struct Hoja {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    std::shared_ptr<Inyeccion> inyeccion = std::make_shared<Inyeccion>();
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    explicit Hoja(const QString& extra = {}) {
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        prueba::CreaBase(base,
                         prueba::DatosDemo() + u'\n' + prueba::DatosAsiento() + u'\n' + extra);
        app = std::make_unique<Aplicacion>(dialogo, ProveedorFallido::Fabrica(inyeccion));
        app->carpetaEjecutable = dir.path();
        app->db.carpetaPrograma = dir.path();
        app->lineaProceso =
            QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ; "
                           "@ParametroAdicional=; @Caja=7;kora@")
                .arg(base);
        app->terminaPrograma = [] {};
        ventana = std::make_unique<FrmHojaRuta>(*app);
        if (!ventana->Form_Load())
            qFatal("no connection");
        ventana->resize(1100, 760);
        ventana->show();
        ventana->activateWindow();
        if (!QTest::qWaitForWindowActive(ventana.get()))
            qFatal("window not active");
    }
    QLineEdit* campo(const char* n) const { return ventana->Campo(QString::fromLatin1(n)); }
    QString texto(const char* n) const { return campo(n)->text(); }
    void confirma(const char* n, const QString& valor) {
        QLineEdit* c = campo(n);
        c->setFocus();
        c->selectAll();
        if (valor.isEmpty())
            QTest::keyClick(c, Qt::Key_Delete);
        else
            QTest::keyClicks(c, valor);
        QTest::keyClick(c, Qt::Key_Return);
    }
    // Types a quantity into a grid cell as the operator does.
    void celda(int fila, int col, const QString& valor) {
        QTableView* g = ventana->VistaGrilla();
        g->setCurrentIndex(ventana->Grilla().index(fila, col));
        g->setFocus();
        QTest::keyClicks(g, valor.left(1));
        QTest::keyClicks(ventana->txtEditCC(), valor.mid(1));
        QTest::keyClick(ventana->txtEditCC(), Qt::Key_Return);
    }
    QStringList filas(const QString& sql) { return prueba::Filas(app->db, sql); }
    QStringList todo() { return prueba::TablasDeGrabacion(app->db); }
    void grabar() { ventana->Barvex1_ButtonClick(QStringLiteral("GRABAR")); }
    // "Finalizar", confirmed; `luego` answers the boxes that follow.
    void finalizar(std::initializer_list<plataforma::Respuesta> luego = {}) {
        dialogo.responde(plataforma::Respuesta::Yes);
        for (plataforma::Respuesta r : luego)
            dialogo.responde(r);
        QTest::mouseClick(ventana->findChild<QPushButton*>(QStringLiteral("cmdFinalizar")),
                          Qt::LeftButton);
    }
    // A new run (122) of 15/03/2024 with expenses in Gasto1 and Gasto3 and a line typed.
    void nuevoConGastos() {
        confirma("Reparto", QStringLiteral("500"));
        confirma("Fecha", QStringLiteral("15/03/2024"));
        confirma("Clase", QStringLiteral("1"));
        confirma("Chofer", QStringLiteral("Ana"));
        confirma("Observaciones", QStringLiteral("  salida temprana  "));
        confirma("CuentaG1", QStringLiteral("511"));
        confirma("Gasto1", QStringLiteral("100"));
        confirma("CuentaG3", QStringLiteral("513"));
        confirma("Gasto3", QStringLiteral("50,5"));
        confirma("CuentaMP", QStringLiteral("111"));
        celda(0, 1, QStringLiteral("12"));
    }
};

} // namespace

void TstGrabacion::repartoNuevo() {
    Hoja h;
    h.confirma("Reparto", QStringLiteral("500"));
    h.confirma("Fecha", QStringLiteral("15/03/2024"));
    h.confirma("Vehiculo", QStringLiteral("  XY9  "));
    h.confirma("Clase", QStringLiteral("2"));
    h.celda(0, 1, QStringLiteral("12"));
    h.celda(0, 2, QStringLiteral("3,5"));
    h.campo("ImpRecaudado")->setText(QStringLiteral("..."));
    h.campo("Reparto")->setText(QStringLiteral(" 122 ")); // blanks around the number
    h.grabar();
    QCOMPARE(h.dialogo.mostradas().size(), 0);
    QCOMPARE(h.texto("Reparto"), QStringLiteral("123")); // the sheet was reset
    QCOMPARE(h.filas(QStringLiteral("SELECT IdReparto, Vehiculo, Clase, ImpRecaudado, Fecha, "
                                    "FINALIZADO FROM MV_REPARTO WHERE IdReparto = 122")),
             QStringList{QStringLiteral("122|XY9|2|0|2024-03-15|")});
    // One line per grid row; empty cells as zeros; the idle article too.
    QCOMPARE(h.filas(QStringLiteral(
                 "SELECT trim(IdArticulo), Descripcion, CantidadUD, Cantidad, REC_CANTIDADUD, "
                 "DEV_CANTIDAD, Importe_S_Iva, aliciva FROM MV_REPARTODET WHERE IdReparto = 122 "
                 "ORDER BY IdArticulo")),
             (QStringList{QStringLiteral("A1|A1 Salame|12|3.5|0|3.5|200|21"),
                          QStringLiteral("A2|A2 Queso|0|0|0|0|55|10.5")}));
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_ASIENTOS")), QStringList{"1"});
}

void TstGrabacion::repartoExistente() {
    Hoja h;
    h.confirma("Reparto", QStringLiteral("121")); // finalized: keeps its stamp
    h.grabar();
    QCOMPARE(h.filas(QStringLiteral("SELECT FINALIZADO FROM MV_REPARTO WHERE IdReparto = 121")),
             QStringList{QStringLiteral("2024-03-05")});
    h.confirma("Reparto", QStringLiteral("120"));
    QCOMPARE(h.ventana->Grilla().filas(), 1);
    // Only rubro 2 in the grid now: the saved line of A1 must go.
    h.campo("CC_Col1")->setText(QStringLiteral("2"));
    h.ventana->ArmaGrilla(true);
    h.celda(0, 1, QStringLiteral("4"));
    h.confirma("Chofer", QStringLiteral("O'Brien"));
    h.grabar();
    QCOMPARE(h.dialogo.mostradas().size(), 0);
    QCOMPARE(h.filas(QStringLiteral("SELECT trim(IdArticulo), CantidadUD FROM MV_REPARTODET "
                                    "WHERE IdReparto = 120")),
             QStringList{QStringLiteral("A2|4")});
    QCOMPARE(h.filas(QStringLiteral("SELECT Chofer, FINALIZADO FROM MV_REPARTO "
                                    "WHERE IdReparto = 120")),
             QStringList{QStringLiteral("O'Brien|")});
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO")), QStringList{"2"});
}

void TstGrabacion::fallaEnCadaSentencia() {
    Hoja h;
    h.nuevoConGastos();
    const QStringList antes = h.todo();
    // header open + insert, delete, lines open + 2 lines, journal open + 3 lines
    constexpr int kSentencias = 10;
    QStringList fallidas;
    for (int k = 1; k <= kSentencias; ++k) {
        h.inyeccion->fallaLa(k);
        h.dialogo.olvida();
        h.finalizar({plataforma::Respuesta::Cancel});
        QVERIFY2(h.inyeccion->disparada, qPrintable(QString::number(k)));
        fallidas << h.inyeccion->sentencia.left(30);
        QCOMPARE(h.todo(), antes);
        QCOMPARE(h.dialogo.mostradas().size(), 2); // the confirmation, then the failure
        QVERIFY2(h.dialogo.mostradas().last().titulo.contains(
                     QStringLiteral(" - Actualizar Datos Aviso al operador!!!")),
                 qPrintable(h.dialogo.mostradas().last().titulo));
        QVERIFY(h.dialogo.mostradas().last().texto.contains(QStringLiteral("Fallo de prueba")));
        QCOMPARE(h.texto("Reparto"), QStringLiteral("122"));
        QCOMPARE(h.texto("Chofer"), QStringLiteral("Ana"));
        QCOMPARE(h.texto("GastoMP"), QStringLiteral("150,5"));
        QCOMPARE(h.ventana->Grilla().texto(0, 1), QStringLiteral("12"));
        QVERIFY(!h.ventana->Finalizando());
    }
    QVERIFY2(fallidas.at(2).startsWith(QStringLiteral("delete"), Qt::CaseInsensitive),
             qPrintable(fallidas.at(2)));
    // One statement more than the save sends never fails: one complete save.
    h.inyeccion->fallaLa(kSentencias + 1);
    h.dialogo.olvida();
    h.finalizar();
    QVERIFY(!h.inyeccion->disparada);
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    QCOMPARE(h.texto("Reparto"), QStringLiteral("123"));
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTODET WHERE IdReparto = 122")),
             QStringList{"2"});
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_ASIENTOS WHERE Cpte_Origen = '122'")),
             QStringList{"3"});
}

void TstGrabacion::reintentoGrabaUnaVez_data() {
    QTest::addColumn<int>("k");
    QTest::newRow("cabecera") << 2;
    QTest::newRow("borrado de lineas") << 3;
    QTest::newRow("segunda linea") << 6;
    QTest::newRow("ultima linea del asiento") << 10;
}

void TstGrabacion::reintentoGrabaUnaVez() {
    QFETCH(int, k);
    Hoja h;
    h.nuevoConGastos();
    h.inyeccion->fallaLa(k);
    h.finalizar({plataforma::Respuesta::Retry});
    QVERIFY(h.inyeccion->disparada);
    QCOMPARE(h.texto("Reparto"), QStringLiteral("123"));
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = 122 AND "
                                    "FINALIZADO IS NOT NULL")),
             QStringList{"1"});
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTODET WHERE IdReparto = 122")),
             QStringList{"2"});
    QCOMPARE(h.filas(QStringLiteral("SELECT Secuencia FROM MV_ASIENTOS WHERE Cpte_Origen = '122' "
                                    "ORDER BY Secuencia")),
             (QStringList{"1", "2", "3"}));
}

void TstGrabacion::asiento() {
    Hoja h;
    h.nuevoConGastos();
    QCOMPARE(h.texto("GastoMP"), QStringLiteral("150,5"));
    h.finalizar();
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    QCOMPARE(
        h.filas(QStringLiteral(
            "SELECT Fecha, FechaSubDiario, Mes_Operativo, \"NUMERO ASIENTO\", Cuenta, "
            "Secuencia, Cabimporte, \"Debe-Haber\", Importe, Periodo, TC, Sucursal, Numero, "
            "Letra, Tipo_Reg, Detalle, Moneda, Cotizacion, IdCajas, Cpte_Origen, IdBanco "
            "FROM MV_ASIENTOS WHERE Cpte_Origen = '122' ORDER BY Secuencia")),
        (QStringList{QStringLiteral("2024-03-15|2024-03-15|3|8|511|1|150.5|D|100|2024|CBCT|0003|"
                                    "00000041|X|CB|salida temprana|   1|1|   7|122|"),
                     QStringLiteral("2024-03-15|2024-03-15|3|8|513|2|150.5|D|50.5|2024|CBCT|0003|"
                                    "00000041|X|CB|salida temprana|   1|1|   7|122|"),
                     QStringLiteral("2024-03-15|2024-03-15|3|8|111|3|150.5|H|150.5|2024|CBCT|0003|"
                                    "00000041|X|CB|salida temprana|   1|1|   7|122|")}));
    QVERIFY(!h.filas(QStringLiteral("SELECT FINALIZADO FROM MV_REPARTO WHERE IdReparto = 122"))
                 .first()
                 .isEmpty());
}

void TstGrabacion::finalizarDosVeces() {
    Hoja h;
    h.nuevoConGastos();
    h.finalizar();
    h.confirma("Reparto", QStringLiteral("122"));
    h.finalizar({plataforma::Respuesta::OK});
    QCOMPARE(h.dialogo.mostradas().last().texto,
             QStringLiteral("El reparto 122 ya tiene su asiento contable: no se registra otro."));
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_ASIENTOS WHERE Cpte_Origen = '122'")),
             QStringList{"3"});
}

void TstGrabacion::sinTipoDeRegistro() {
    Hoja h(QStringLiteral(
        "UPDATE TA_CONFIGURACION SET Valor = '' WHERE Clave = 'TIPOREGFACTURACION';"));
    h.nuevoConGastos();
    h.finalizar({plataforma::Respuesta::OK});
    QCOMPARE(h.dialogo.mostradas().last().texto,
             QStringLiteral("No se ha informado El Tipo de Registro que generará el Asiento, "
                            "corrija esto desde configuración y vuelva a intentarlo"));
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = 122 AND "
                                    "FINALIZADO IS NOT NULL")),
             QStringList{"1"});
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_ASIENTOS WHERE Cpte_Origen = '122'")),
             QStringList{"0"});
    // Corrected, the run finished again gets its entry.
    h.app->cfg.GrabaDfg(QStringLiteral("TIPOREGFACTURACION"), QStringLiteral("CB"));
    h.confirma("Reparto", QStringLiteral("122"));
    h.finalizar();
    QCOMPARE(h.filas(QStringLiteral("SELECT COUNT(*) FROM MV_ASIENTOS WHERE Cpte_Origen = '122'")),
             QStringList{"3"});
}

void TstGrabacion::desbalanceado_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("gasto sin cuenta")
        << "CuentaG3" << QString()
        << "Falta la cuenta del Gasto 3: ingrésela antes de finalizar el reparto!!!";
    QTest::newRow("sin medio de pago")
        << "CuentaMP" << QString()
        << "Falta la cuenta del Medio de Pago: ingrésela antes de finalizar el reparto!!!";
    QTest::newRow("gasto negativo")
        << "Gasto2"
        << "-10"
        << "El importe del Medio de Pago no coincide con el total de los gastos: corríjalo antes "
           "de finalizar el reparto!!!";
}

void TstGrabacion::desbalanceado() {
    QFETCH(QString, campo);
    QFETCH(QString, valor);
    QFETCH(QString, mensaje);
    Hoja h;
    h.nuevoConGastos();
    h.confirma(campo.toLatin1().constData(), valor);
    if (campo != QLatin1String("CuentaMP"))
        h.confirma("CuentaMP", QStringLiteral("111")); // recomputes the means of payment
    const QStringList antes = h.todo();
    h.finalizar({plataforma::Respuesta::OK});
    QCOMPARE(h.dialogo.mostradas().last().texto, mensaje);
    QCOMPARE(h.todo(), antes);
    QCOMPARE(h.texto("Reparto"), QStringLiteral("122")); // nothing reset
}

QTEST_MAIN(TstGrabacion)
#include "tst_grabacion.moc"
