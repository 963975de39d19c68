// The main window as a clerk uses it, keys and all: a few whole scenarios. What the
// model, the rules and the repository do on their own is tested without a window.

#include "BaseHoja.h"
#include "LeeTraza.h"
#include "LeeXlsx.h"
#include "VentanaHoja.h"
#include "app/gui/EsperaVisible.h"
#include "platform/gui/Barvex1.h"
#include "report/Reportes.h"
#include "sheet/FrmHojaRuta.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using plataforma::Respuesta;

class TstFrmHojaRuta : public QObject {
    Q_OBJECT

private slots:
    void sinConexion();
    void tipeaYGraba();
    void finalizar();
    void grabarEsperaUnBloqueo_data();
    void grabarEsperaUnBloqueo();
    void entradaMalFormadaYBaseRota();
    void inicializaInformaElError_data();
    void inicializaInformaElError();
    void sentenciasPorLinea_data();
    void sentenciasPorLinea();
    void reporte_data();
    void reporte();
    void exportar_data();
    void exportar();
};

namespace {

// The sheet open on a small database, shown and active, as a clerk finds it.
struct Hoja {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    std::shared_ptr<Inyeccion> inyeccion = std::make_shared<Inyeccion>();
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    // `alCargar` answers the boxes the window's load shows.
    explicit Hoja(const QString& parametro = {}, const QString& extra = {},
                  std::initializer_list<Respuesta> alCargar = {}) {
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        prueba::CreaBase(base,
                         prueba::DatosDemo() + u'\n' + prueba::DatosAsiento() + u'\n' + extra);
        for (Respuesta r : alCargar)
            dialogo.responde(r);
        app = prueba::Inicia(dialogo, dir, base, parametro, ProveedorFallido::Fabrica(inyeccion));
        ventana = prueba::VentanaActiva(*app, {}, QSize(1100, 760));
    }
    QLineEdit* campo(const char* n) const { return ventana->Campo(QString::fromLatin1(n)); }
    // What the operator sees in the fields, boxes and labels named, "|" between them.
    QString ver(const char* nombres) const {
        QStringList r;
        for (const QString& n : QString::fromLatin1(nombres).split(u' ')) {
            if (QLineEdit* c = ventana->Campo(n))
                r << c->text();
            else if (auto* caja = ventana->findChild<QLineEdit*>(n))
                r << caja->text();
            else
                r << ventana->findChild<QLabel*>(n)->text();
        }
        return r.join(u'|');
    }
    QString celda(int f, int c) const { return ventana->Grilla().texto(f, c); }
    QWidget* foco() const { return QApplication::focusWidget(); }
    // Types into a field and confirms it with Enter.
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
    void abre(const QString& numero) { confirma("Reparto", numero); }
    // Types into the grid as a clerk does: the first key opens the cell's editor.
    void tipea(const QString& texto, bool confirmando = true) {
        prueba::Tipea(*ventana, texto, confirmando);
    }
    void tipeaEn(int fila, int col, const QString& texto) {
        prueba::TipeaEn(*ventana, fila, col, texto);
    }
    QModelIndex actual() const { return ventana->VistaGrilla()->currentIndex(); }
    QString ultimoMensaje() const {
        return dialogo.mostradas().isEmpty() ? QString() : dialogo.mostradas().last().texto;
    }
    QStringList filas(const QString& sql) { return prueba::Filas(app->db, sql); }
    void boton(const char* clave) { ventana->Barvex1_ButtonClick(QString::fromLatin1(clave)); }
    void finalizar(std::initializer_list<Respuesta> respuestas) {
        prueba::Finaliza(*ventana, dialogo, respuestas);
    }
};

} // namespace

void TstFrmHojaRuta::sinConexion() {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    dialogo.responde(Respuesta::No); // "try again?" on the connection failure box
    auto app = prueba::Inicia(dialogo, dir, dir.filePath(QStringLiteral("falta.db")));
    bool terminado = false;
    app->terminaPrograma = [&terminado] { terminado = true; };
    FrmHojaRuta ventana(*app);
    QVERIFY(!ventana.Form_Load());
    QVERIFY(terminado);
    QVERIFY(!ventana.isVisible());
}

void TstFrmHojaRuta::tipeaYGraba() {
    // A rubro in the settings that does not exist: told once, every active article listed.
    Hoja h({},
           QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                          "('DATOS','CC_Col1','9');"),
           {Respuesta::OK});
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Error en los filtros por rubros, verifique la "
                                               "configuracion de rubros para repartos"));
    QCOMPARE(h.ventana->windowTitle(), QStringLiteral("Planilla HojaRuta"));
    QVERIFY(h.app->db.gOpenFlag);
    // Waiting for a number: the next one offered, the detail closed.
    QCOMPARE(h.ver("CC_Col1 Reparto"), QStringLiteral("'   9'|122"));
    QTRY_COMPARE(h.foco(), h.campo("Reparto"));
    QVERIFY(!h.ventana->Existe());
    QCOMPARE(h.ventana->Grilla().filas(), 2);
    QCOMPARE(h.celda(0, 0) + u'|' + h.celda(1, 0), QStringLiteral("A1 Salame|A2 Queso"));
    for (const char* n : {"Fecha", "Clase", "KmFinal", "Gasto4", "GastoMP", "CuentaMP"})
        QVERIFY2(!h.campo(n)->isEnabled(), n);
    for (const char* n : {"Reparto", "Gasto1", "CuentaG4", "ImpRecaudado", "CC_Col1"})
        QVERIFY2(h.campo(n)->isEnabled(), n);
    QTableView* grilla = h.ventana->VistaGrilla();
    QLineEdit* editor = h.ventana->txtEditCC();
    QVERIFY(!grilla->isEnabled());
    QVERIFY(!h.ventana->Barra()->EnEdicion());
    QVERIFY(h.ventana->Barra()->ModoNavegacion());
    // The product at least 2460 twips wide; the hidden columns carry the computed values.
    QVERIFY(grilla->columnWidth(0) >= 2460 * grilla->logicalDpiX() / 1440);
    QVERIFY(grilla->isColumnHidden(9));
    QVERIFY(grilla->columnWidth(1) > 0);

    // The rubros typed are checked, quoted and kept.
    h.confirma("CC_Col1", QStringLiteral("1,2"));
    QCOMPARE(h.ver("CC_Col1"), QStringLiteral("'   1','   2'"));
    QCOMPARE(h.app->cfg.Cfg(QStringLiteral("CC_Col1")), QStringLiteral("'   1','   2'"));

    // A number that is no number waits to be corrected.
    h.dialogo.olvida();
    h.dialogo.responde(Respuesta::OK);
    h.abre(QStringLiteral("12a"));
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Debe ingresar un valor numérico!!!"));
    QCOMPARE(h.dialogo.mostradas().last().titulo, QStringLiteral("Aviso al operador..."));
    QCOMPARE(h.dialogo.mostradas().last().estilo, 64);
    QVERIFY(!h.campo("Clase")->isEnabled());
    QCOMPARE(h.foco(), h.campo("Reparto"));

    // One that does not exist: a new run with the next number, dated today.
    h.abre(QStringLiteral("500"));
    QVERIFY(!h.ventana->Existe());
    QCOMPARE(h.ver("Reparto Fecha"),
             QStringLiteral("122|") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    QVERIFY(h.campo("Clase")->isEnabled());
    QVERIFY(grilla->isEnabled());
    QVERIFY(!h.campo("GastoMP")->isEnabled());
    QVERIFY(h.ventana->Barra()->EnEdicion());
    QVERIFY(h.ventana->Barra()->ModoCarga());
    QTRY_COMPARE(h.foco(), h.campo("Fecha"));
    // A class without prices waits to be corrected.
    h.dialogo.responde(Respuesta::OK);
    h.confirma("Clase", QStringLiteral("6"));
    QVERIFY(h.ventana->HayError());
    QCOMPARE(h.foco(), h.campo("Clase"));
    h.confirma("Clase", QStringLiteral("1"));
    QVERIFY(!h.ventana->HayError());
    h.dialogo.olvida();

    // Any key in KmFinal hands over to the first line's Carga Uds.
    h.campo("KmFinal")->setFocus();
    QTest::keyClick(h.campo("KmFinal"), Qt::Key_5);
    QCOMPARE(h.actual(), h.ventana->Grilla().index(0, 1));
    h.tipea(QStringLiteral("1"), false);
    QVERIFY(editor->isVisible());
    QTRY_COMPARE(h.foco(), editor);
    QTest::keyClicks(editor, QStringLiteral("2"));
    QCOMPARE(editor->property("DataField").toString(), QStringLiteral("Cargas_CarCantUD"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.celda(0, 1) + u'|' + h.celda(0, 5), QStringLiteral("12|12"));
    QCOMPARE(h.actual().column(), 2);
    QVERIFY(!editor->isVisible());
    // A decimal comma counts whole in the returns column.
    h.tipea(QStringLiteral("12,5"));
    QCOMPARE(h.celda(0, 6), QStringLiteral("12,5"));
    QCOMPARE(h.ver("TxtARecaudar"), QStringLiteral("1575,00")); // 12,5 kg x 126
    // Enter after Recarga Kgs. goes to the next line's Carga Uds.
    h.tipea(QStringLiteral("2"));
    h.tipea(QStringLiteral("1"));
    QCOMPARE(h.actual(), h.ventana->Grilla().index(1, 1));
    QCOMPARE(h.celda(0, 5), QStringLiteral("14"));
    // An emptied cell is accepted as 0.
    QTest::keyClick(grilla, Qt::Key_Space);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.celda(1, 1), QString());
    // On the last line, Enter in Recarga Kgs. stays.
    h.tipeaEn(1, 4, QStringLiteral("3"));
    QCOMPARE(h.actual(), h.ventana->Grilla().index(1, 4));
    // Typing over the computed columns does nothing.
    for (int c : {5, 7}) {
        grilla->setCurrentIndex(h.ventana->Grilla().index(0, c));
        h.tipea(QStringLiteral("9"), false);
        QVERIFY(!editor->isVisible());
    }
    QCOMPARE(h.celda(0, 5), QStringLiteral("14"));
    QVERIFY(h.dialogo.mostradas().isEmpty());
    // A letter is refused and the editor stays on its cell, to be corrected.
    grilla->setCurrentIndex(h.ventana->Grilla().index(1, 2));
    h.tipea(QStringLiteral("x"), false);
    QCOMPARE(editor->text(), QStringLiteral("x"));
    h.dialogo.responde(Respuesta::OK);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Debe ingresar una cantidad!!!"));
    QCOMPARE(h.celda(1, 2), QStringLiteral("x"));
    QVERIFY(editor->isVisible());
    QTRY_COMPARE(h.foco(), editor);
    QCOMPARE(h.actual().column(), 2);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, QStringLiteral("3"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(h.celda(1, 2), QStringLiteral("3"));

    // Saving checks the date, which typing let through.
    h.confirma("Fecha", QStringLiteral("31/02/2024"));
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    h.dialogo.responde(Respuesta::OK);
    h.boton("grabar");
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Debe ingresar un formato de fecha válido!!!"));
    QVERIFY(h.campo("Clase")->isEnabled()); // still the new run
    QVERIFY(!h.ventana->Grabando());
    h.campo("Fecha")->setText(QStringLiteral("29/02/2024"));
    QTest::keyClick(h.campo("Fecha"), Qt::Key_F2); // the toolbar's GRABAR
    QVERIFY(!h.campo("Clase")->isEnabled());       // back to waiting for a number
    QCOMPARE(h.ver("Reparto"), QStringLiteral("123"));
    QCOMPARE(h.filas(QStringLiteral("SELECT Fecha, KmFinal FROM MV_REPARTO WHERE IdReparto = 122")),
             QStringList{QStringLiteral("2024-02-29|5")});
    QCOMPARE(
        h.filas(QStringLiteral("SELECT trim(IdArticulo), CantidadUD, Cantidad, "
                               "REC_CANTIDADUD, REC_CANTIDAD, DEV_CANTIDADUD, DEV_CANTIDAD "
                               "FROM MV_REPARTODET WHERE IdReparto = 122 ORDER BY 1")),
        (QStringList{QStringLiteral("A1|12|12.5|2|1|14|13.5"), QStringLiteral("A2|0|3|0|3|0|6")}));
}

void TstFrmHojaRuta::finalizar() {
    // The command line's run opens as the window becomes active.
    Hoja h(QStringLiteral("120"));
    QTRY_VERIFY(h.ventana->Existe());
    QCOMPARE(h.ver("Chofer Fecha lblCuentaG1 TxtARecaudar TxtTotGastos TxtTotal"),
             QStringLiteral("Perez|01/03/2024|Combustible|1575,00|100,00|900,00"));
    QVERIFY(!h.ventana->Barra()->ModoCarga());
    QVERIFY(h.ventana->Barra()->ModoNavegacion());
    QVERIFY(h.ventana->Barra()->RepartoExistente());
    QVERIFY(h.campo("Clase")->isEnabled());
    // The summaries: the vouchers by kind and letter, the collections.
    const auto resumen = [&](const char* grilla, int fila, int col) {
        const QAbstractItemModel* m = h.ventana->findChild<QTableView*>(grilla)->model();
        return QStringLiteral("%1:").arg(m->rowCount()) + m->index(fila, col).data().toString();
    };
    QCOMPARE(resumen("MSHFlexGrid1", 0, 1) + u' ' + resumen("MSHFlexGrid2", 0, 0),
             QStringLiteral("2:A 1:CB"));
    QVERIFY(h.dialogo.mostradas().isEmpty());
    // NUEVO and BORRAR do nothing on this sheet.
    h.boton("NUEVO");
    h.boton("BORRAR");
    QCOMPARE(h.ver("Chofer"), QStringLiteral("Perez"));
    QVERIFY(h.ventana->Existe());

    // Answered No: nothing happens.
    h.campo("Chofer")->setText(QStringLiteral("Cambiado"));
    h.finalizar({Respuesta::No});
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Recuerde: Una vez finalizado el Reparto NO SE "
                                               "PODRA MODIFICAR!\r\n-Confirma...?"));
    QCOMPARE(h.dialogo.mostradas().last().titulo, QStringLiteral("-Atención!"));
    QCOMPARE(h.dialogo.mostradas().last().estilo, 4 + 32 + 256);
    QCOMPARE(h.ver("Chofer"), QStringLiteral("Cambiado"));
    QVERIFY(h.ventana->Existe());
    QVERIFY(!h.ventana->Finalizando());

    // Without the means of payment the entry would not balance: refused, nothing written.
    const QString guardado = QStringLiteral(
        "SELECT Chofer, FINALIZADO IS NOT NULL, (SELECT COUNT(*) FROM MV_ASIENTOS WHERE "
        "Cpte_Origen = '120'), (SELECT REC_CANTIDADUD FROM MV_REPARTODET WHERE IdReparto = 120) "
        "FROM MV_REPARTO WHERE IdReparto = 120");
    h.tipeaEn(0, 3, QStringLiteral("4"));
    h.finalizar({Respuesta::Yes, Respuesta::OK});
    QCOMPARE(h.ultimoMensaje(), QStringLiteral("Falta la cuenta del Medio de Pago: ingrésela "
                                               "antes de finalizar el reparto!!!"));
    QCOMPARE(h.filas(guardado), QStringList{QStringLiteral("Perez|0|0|2")});
    QCOMPARE(h.ver("Reparto Chofer"), QStringLiteral("120|Cambiado"));
    // An account that takes no expenses is marked; emptied, the mark stays.
    h.dialogo.responde(Respuesta::OK);
    h.confirma("CuentaG3", QStringLiteral("5.1"));
    QCOMPARE(h.ver("lblCuentaG3"), QStringLiteral("..."));
    h.confirma("CuentaG3", QString());
    QCOMPARE(h.ver("lblCuentaG3"), QStringLiteral("..."));
    // The means of payment takes the expenses.
    h.confirma("Gasto1", QStringLiteral("100,5"));
    h.confirma("CuentaMP", QStringLiteral("111"));
    QCOMPARE(h.ver("lblCuentaPag GastoMP"), QStringLiteral("Caja|100,50"));

    // A statement fails (the lines' delete): told, nothing written, the sheet as typed.
    const QStringList antes = prueba::TablasDeGrabacion(h.app->db);
    h.dialogo.olvida();
    h.inyeccion->fallaLa(0);
    h.inyeccion->empieza = QStringLiteral("delete V_MV_REPARTODET");
    h.finalizar({Respuesta::Yes, Respuesta::Cancel});
    QVERIFY(h.inyeccion->disparada);
    QCOMPARE(h.dialogo.mostradas().size(), 2); // the confirmation, then the failure
    QVERIFY2(h.dialogo.mostradas().last().titulo.contains(
                 QStringLiteral(" - Actualizar Datos Aviso al operador!!!")),
             qPrintable(h.dialogo.mostradas().last().titulo));
    QVERIFY(h.ultimoMensaje().contains(QStringLiteral("Fallo de prueba")));
    QVERIFY(!h.ventana->Finalizando());
    QCOMPARE(prueba::TablasDeGrabacion(h.app->db), antes);
    QVERIFY(h.ventana->Existe());
    QCOMPARE(h.ver("Reparto Chofer GastoMP"), QStringLiteral("120|Cambiado|100,50"));
    QCOMPARE(h.celda(0, 3), QStringLiteral("4"));

    // Answered Yes, a journal line failing once and tried again: saved, stamped and
    // posted once; the sheet waits for the next run.
    h.inyeccion->fallaLa(0);
    h.inyeccion->empieza = QStringLiteral("INSERT INTO \"MV_ASIENTOS\"");
    h.finalizar({Respuesta::Yes, Respuesta::Retry});
    QVERIFY(h.inyeccion->disparada);
    QCOMPARE(h.ver("Reparto"), QStringLiteral("122"));
    QVERIFY(!h.ventana->Existe());
    QCOMPARE(h.filas(guardado), QStringList{QStringLiteral("Cambiado|1|2|4")});
    // Finalized, it is shown read-only: it cannot be finished or written again.
    h.abre(QStringLiteral("120"));
    QVERIFY(h.campo("Chofer")->isReadOnly());
    QVERIFY(!h.ventana->findChild<QPushButton*>(QStringLiteral("cmdFinalizar"))->isEnabled());
    QVERIFY(!h.ventana->Barra()->Boton(QStringLiteral("GRABAR"))->isEnabled());
    QTest::keyClick(h.campo("Chofer"), Qt::Key_X);
    QCOMPARE(h.ver("Chofer"), QStringLiteral("Cambiado"));
    // A run finished elsewhere shows its stamp; GRABAR writes nothing of it.
    h.abre(QStringLiteral("121"));
    QCOMPARE(h.ver("LblFinalizado Chofer"), QStringLiteral("Finalizado: 05/03/2024|Gomez"));
    h.boton("GRABAR");
    QCOMPARE(h.ver("Reparto"), QStringLiteral("121"));
    QCOMPARE(h.filas(guardado), QStringList{QStringLiteral("Cambiado|1|2|4")});

    // CANCELAR: a new sheet again, with the article list.
    h.abre(QStringLiteral("120"));
    QVERIFY(h.ventana->Existe());
    h.boton("CANCELAR");
    QVERIFY(!h.ventana->Existe());
    QCOMPARE(h.ver("Reparto Chofer lblCuentaG1"), QStringLiteral("122||"));
    QCOMPARE(h.ventana->Grilla().filas(), 2);
}

// The function keys the sheet receives, with whether a save was running, and the
// paints of the window during a save.
class Observador final : public QObject {
public:
    explicit Observador(const FrmHojaRuta& ventana) : ventana_(ventana) {}
    QStringList teclas;
    int pintadasGrabando = 0;

protected:
    bool eventFilter(QObject* destino, QEvent* evento) override {
        if (evento->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(evento)->key();
            // A key not taken goes on to the parents: it counts once, at its field.
            if ((k == Qt::Key_F2 || k == Qt::Key_F5) && qobject_cast<QLineEdit*>(destino))
                teclas << QStringLiteral("F%1%2")
                              .arg(k - Qt::Key_F1 + 1)
                              .arg(ventana_.Grabando() ? QStringLiteral(" grabando") : QString());
        } else if (evento->type() == QEvent::Paint && destino == &ventana_ && ventana_.Grabando()) {
            ++pintadasGrabando;
        }
        return false;
    }

private:
    const FrmHojaRuta& ventana_;
};

void TstFrmHojaRuta::grabarEsperaUnBloqueo_data() {
    QTest::addColumn<int>("tiempo");   // the main connection's command time-out
    QTest::addColumn<int>("liberaMs"); // when the other program lets go, from F2
    QTest::addColumn<bool>("agota");   // the first wait runs out and is retried
    QTest::newRow("liberado durante la espera") << 5 << 1000 << false;
    QTest::newRow("agotado y reintentado") << 1 << 1500 << true;
}

void TstFrmHojaRuta::grabarEsperaUnBloqueo() {
    // Another program takes the write lock as the save starts: the window keeps
    // painting under a wait cursor, what the clerk presses meanwhile waits for the
    // save, a wait that runs out is told and retried, and the run is written once.
    QFETCH(int, tiempo);
    QFETCH(int, liberaMs);
    QFETCH(bool, agota);
    InstalaEsperaVisible();
    QTemporaryDir dir;
    const QString traza = dir.filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    Hoja h;
    qputenv("HOJARUTA_TRAZA", QByteArray());
    h.abre(QStringLiteral("120"));
    QVERIFY(h.ventana->Existe());
    h.confirma("Chofer", QStringLiteral("Gomez"));
    h.app->db.gCnn().setCommandTimeout(tiempo);
    ado::Connection otra;
    otra.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;")
                  .arg(h.dir.filePath(QStringLiteral("hoja.db"))));
    h.inyeccion->alEmpezarTransaccion = [&] {
        if (otra.EnTransaccion() || h.inyeccion->disparada)
            return;
        h.inyeccion->disparada = true;
        otra.BeginTrans();
        otra.Execute(
            QStringLiteral("UPDATE MV_REPARTO SET Vehiculo = 'ZZ999' WHERE IdReparto = 121"));
    };
    if (agota)
        h.dialogo.responde(Respuesta::Retry);

    Observador observador(*h.ventana);
    qApp->installEventFilter(&observador);
    bool grabando = false;
    int cursor = -1;
    QTimer::singleShot(300, [&] {
        grabando = h.ventana->Grabando();
        if (const QCursor* c = QGuiApplication::overrideCursor())
            cursor = c->shape();
        h.ventana->update();
        for (Qt::Key k : {Qt::Key_F5, Qt::Key_F2}) {
            QCoreApplication::postEvent(h.foco(), new QKeyEvent(QEvent::KeyPress, k, {}));
            QCoreApplication::postEvent(h.foco(), new QKeyEvent(QEvent::KeyRelease, k, {}));
        }
    });
    QTimer::singleShot(liberaMs, [&] { otra.RollbackTrans(); });
    QTest::keyClick(h.campo("Chofer"), Qt::Key_F2);
    QVERIFY(h.inyeccion->disparada);
    QVERIFY(!otra.EnTransaccion());
    QVERIFY(grabando);
    QCOMPARE(cursor, int(Qt::WaitCursor));
    QVERIFY(observador.pintadasGrabando > 0);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(h.ver("Reparto"), QStringLiteral("122")); // saved: waiting for the next run
    // F5 and F2 ran after the save, not inside it.
    QTRY_COMPARE(observador.teclas, (QStringList{"F2", "F5", "F2"}));
    qApp->removeEventFilter(&observador);
    QCOMPARE(h.dialogo.mostradas().size(), agota ? 1 : 0);
    if (agota)
        QVERIFY2(h.ultimoMensaje().contains(QStringLiteral("(-2147217871) Query timeout expired")),
                 qPrintable(h.ultimoMensaje()));
    QCOMPARE(h.filas(QStringLiteral("SELECT Chofer, Vehiculo FROM MV_REPARTO WHERE IdReparto IN "
                                    "(120, 121) ORDER BY IdReparto")),
             (QStringList{"Gomez|AB123", "Gomez|AB123"}));
    qsizetype cabeceras = 0;
    for (const QString& s : SentenciasDeTraza(traza))
        cabeceras += s.startsWith(QLatin1String("UPDATE \"MV_REPARTO\"")) ? 1 : 0;
    QCOMPARE(cabeceras, 1);
}

void TstFrmHojaRuta::entradaMalFormadaYBaseRota() {
    Hoja h;
    h.abre(QStringLiteral("120"));
    QVERIFY(h.ventana->Existe());
    h.dialogo.respondeSiempre(Respuesta::OK);
    const QStringList malos{QStringLiteral("O'Brien'; DROP TABLE MV_REPARTO; --"),
                            QString(3000, u'9'),
                            QStringLiteral("数量 Ωμέγα ñandú"),
                            QStringLiteral("-99999999999999999999"),
                            QStringLiteral("1e308"),
                            QStringLiteral("'"),
                            QString()};
    const char* campos[] = {"Fecha",         "Clase",    "Vehiculo",     "Chofer",  "KmInicial",
                            "Observaciones", "KmFinal",  "CuentaG1",     "Gasto1",  "CuentaG2",
                            "Gasto2",        "CuentaMP", "ImpRecaudado", "CC_Col1", "Reparto"};
    for (const char* nombre : campos) {
        for (const QString& valor : malos) {
            QLineEdit* c = h.campo(nombre);
            if (!c->isEnabled() || c->isReadOnly())
                continue;
            // Key by key, with the text each key carries: QTest::keyClicks takes Latin-1 only.
            c->setFocus();
            c->selectAll();
            QTest::keyClick(c, Qt::Key_Delete);
            for (QChar letra : valor) {
                QKeyEvent pulsa(QEvent::KeyPress, 0, Qt::NoModifier, QString(letra));
                QApplication::sendEvent(h.foco(), &pulsa);
            }
            QTest::keyClick(h.foco(), Qt::Key_Return);
            // What a field holds never exceeds what its column can take.
            QVERIFY2(c->text().size() <= c->maxLength(), nombre);
        }
    }
    // Nothing was written behind the operator's back.
    QCOMPARE(h.filas(QStringLiteral("SELECT count(*) FROM MV_REPARTO")), QStringList{"2"});
    QCOMPARE(h.filas(QStringLiteral("SELECT count(*) FROM MV_REPARTODET")), QStringList{"1"});

    // The chart of accounts goes missing under the sheet's feet: the operator is told.
    QTest::keyClick(h.ventana.get(), Qt::Key_F5);
    h.abre(QStringLiteral("120"));
    h.app->db.gCnn().Execute(QStringLiteral("DROP TABLE MA_CUENTAS"));
    h.dialogo.olvida();
    h.dialogo.respondeSiempre(Respuesta::Abort);
    h.confirma("CuentaG2", QStringLiteral("5.1.1"));
    QVERIFY(!h.dialogo.mostradas().isEmpty());
    QCOMPARE(h.dialogo.mostradas().first().titulo, QStringLiteral("Aviso al Operador"));
    QCOMPARE(h.dialogo.mostradas().first().texto,
             QStringLiteral("Invalid object name 'MA_CUENTAS'."));

    // The sheet still works: back to waiting (what was typed discarded), and the
    // run opens with what it held.
    h.dialogo.respondeSiempre(Respuesta::Yes);
    QTest::keyClick(h.ventana.get(), Qt::Key_F5);
    h.abre(QStringLiteral("120"));
    QVERIFY(h.ventana->Existe());
    QCOMPARE(h.ver("Chofer"), QStringLiteral("Perez"));
    QCOMPARE(h.ventana->Grilla().filas(), 1);
    QCOMPARE(h.celda(0, 8), QStringLiteral("6"));
}

void TstFrmHojaRuta::sentenciasPorLinea_data() {
    QTest::addColumn<int>("n");
    QTest::newRow("5 lineas") << 5;
    QTest::newRow("500 lineas") << 500;
}

void TstFrmHojaRuta::sentenciasPorLinea() {
    // Building the grid and opening a run cost the same statements whatever the lines:
    // N articles, run 1 of class 2 with a line of each and two sales of each.
    QFETCH(int, n);
    QStringList datos{QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES "
                                     "(1,'2024-03-01',2);"),
                      QStringLiteral("INSERT INTO MV_CPTE (TC, IdComprobante, IdReparto, Importe) "
                                     "VALUES ('FC','000200000001A',1,10), "
                                     "('FC','000200000002A',1,10);")};
    for (int i = 0; i < n; ++i) {
        const QString id = prueba::art(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')));
        datos << QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio1, "
                                "Precio2, TasaIva, Impuestos) VALUES ('%1','Art',10,20,21,1); "
                                "INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, "
                                "Cantidad) VALUES (1,'%1',10,10); INSERT INTO MV_STOCK (TC, "
                                "IdComprobante, IdArticulo, Cantidad, CantidadUD) VALUES "
                                "('FC','000200000001A','%1',-2,-2), "
                                "('FC','000200000002A','%1',-3,-3);")
                     .arg(id);
    }
    QTemporaryDir dir;
    const QString traza = dir.filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    Hoja h({}, datos.join(u'\n'));
    QCOMPARE(h.ventana->Grilla().filas(), n + 2); // A1 and A2 too

    qsizetype antes = SentenciasDeTraza(traza).size();
    h.ventana->ArmaGrilla(true);
    QCOMPARE(SentenciasDeTraza(traza).size() - antes, 1);
    antes = SentenciasDeTraza(traza).size();
    h.abre(QStringLiteral("1"));
    const qsizetype sentencias = SentenciasDeTraza(traza).size() - antes;
    qputenv("HOJARUTA_TRAZA", QByteArray());
    QVERIFY(h.ventana->Existe());
    QCOMPARE(h.ventana->Grilla().filas(), n);
    // Every line counts both sales, at the class 2 price (20 + 21% + 1).
    QCOMPARE(h.celda(n - 1, 8) + u'|' + h.celda(n - 1, 6), QStringLiteral("5|5"));
    QCOMPARE(h.ventana->Modelo().ValorItem(n - 1), Currency::DesdeEscalado(252000));
    qInfo("N = %d: opening the run took %d statements", n, int(sentencias));
    QVERIFY2(sentencias <= 10, qPrintable(QString::number(sentencias)));
    static qsizetype conCinco = -1;
    if (n == 5)
        conCinco = sentencias;
    else
        QCOMPARE(sentencias, conCinco);
}

void TstFrmHojaRuta::inicializaInformaElError_data() {
    QTest::addColumn<int>("respuesta");
    QTest::addColumn<int>("cajas");
    QTest::newRow("reintentar: lo abre") << int(Respuesta::Retry) << 1;
    QTest::newRow("abandonar: sigue") << int(Respuesta::Abort) << 1;
}

void TstFrmHojaRuta::inicializaInformaElError() {
    // The sheet's own open of the run table, when it fails, is shown to the clerk
    // with its procedure's name; Retry opens it again.
    QFETCH(int, respuesta);
    QFETCH(int, cajas);
    Hoja h;
    h.inyeccion->empieza = QStringLiteral("SELECT top 1 * FROM V_MV_REPARTO");
    h.dialogo.olvida();
    h.dialogo.responde(static_cast<Respuesta>(respuesta));
    h.boton("CANCELAR");
    QVERIFY(h.inyeccion->disparada);
    QCOMPARE(h.dialogo.mostradas().size(), cajas);
    QCOMPARE(h.dialogo.mostradas().first().titulo, QStringLiteral("Error en AbrirRecordset"));
    QVERIFY(h.dialogo.mostradas().first().texto.contains(QStringLiteral("Fallo de prueba")));
    QCOMPARE(h.ver("Reparto"), QStringLiteral("122"));
}

void TstFrmHojaRuta::reporte_data() {
    QTest::addColumn<QString>("abre");      // the run opened first; empty: the new run offered
    QTest::addColumn<QString>("chofer");    // typed over the driver and left unsaved
    QTest::addColumn<QString>("tipeado");   // typed into the run number, without Enter
    QTest::addColumn<bool>("tecla");        // F8, or else the toolbar's REPORTE command
    QTest::addColumn<bool>("archivo");      // the report file is beside the program
    QTest::addColumn<QStringList>("cajas"); // the boxes shown, "title|text" as they begin
    QTest::addColumn<QString>("impreso");   // the driver on the sheet printed; empty: none

    const QString aviso = QStringLiteral("Aviso al operador...|");
    QTest::newRow("F8 sobre el reparto abierto")
        << "120" << QString() << QString() << true << true << QStringList() << "Perez";
    QTest::newRow("F8 sobre uno finalizado")
        << "121" << QString() << QString() << true << true << QStringList() << "Gomez";
    QTest::newRow("número tipeado sin Enter: el abierto")
        << "120" << QString() << "121" << true << true << QStringList() << "Perez";
    QTest::newRow("cambios sin grabar: primero el aviso, después lo grabado")
        << "120"
        << "Cambiado" << QString() << true << true
        << QStringList{aviso + QStringLiteral("El reparto 120 tiene cambios sin grabar: la "
                                              "planilla impresa muestra los últimos datos "
                                              "grabados.")}
        << "Perez";
    QTest::newRow("reparto nuevo: F8 está apagado")
        << QString() << QString() << QString() << true << true << QStringList() << QString();
    QTest::newRow("reparto nuevo: REPORTE dice que no hay nada")
        << QString() << QString() << QString() << false << true
        << QStringList{aviso + QStringLiteral("El reparto 122 es nuevo y todavía no se grabó: no "
                                              "hay nada que imprimir.")}
        << QString();
    QTest::newRow("sin el archivo: lo dice y falla en el comando")
        << "120" << QString() << QString() << true << false
        << QStringList{QStringLiteral("Aviso al Operador|No se encuentra el Archivo "),
                       QStringLiteral("Reportes - Barvex1_ButtonClick Aviso al operador!!! - 2 "
                                      "|Ha ocurrido el Siguiente Error (53) No se encuentra el "
                                      "archivo del reporte ")}
        << QString();
}

void TstFrmHojaRuta::reporte() {
    QFETCH(QString, abre);
    QFETCH(QString, chofer);
    QFETCH(QString, tipeado);
    QFETCH(bool, tecla);
    QFETCH(bool, archivo);
    QFETCH(QStringList, cajas);
    QFETCH(QString, impreso);
    // What the preview would show, kept instead: no window, no printer.
    struct SalidaRegistrada : reporte::Salida {
        QList<reporte::Documento> previas;
        bool ImprimeDirecto(const reporte::Documento&, int) override { return false; }
        void VistaPrevia(const reporte::Documento& d, bool, bool) override { previas << d; }
    } salida;

    Hoja h;
    if (archivo)
        QVERIFY(QFile::copy(QStringLiteral(ARCHIVO_PLANILLA),
                            h.dir.filePath(QStringLiteral("RP_PLAREPARTO.rpt"))));
    h.ventana->setSalidaReporte(&salida);
    if (!abre.isEmpty())
        h.abre(abre);
    if (!chofer.isEmpty())
        h.confirma("Chofer", chofer);
    if (!tipeado.isEmpty()) {
        h.campo("Reparto")->setFocus();
        h.campo("Reparto")->selectAll();
        QTest::keyClicks(h.campo("Reparto"), tipeado);
    }
    h.dialogo.olvida();
    for (qsizetype i = 0; i < cajas.size(); ++i)
        h.dialogo.responde(Respuesta::OK);
    if (tecla) {
        QVERIFY(h.foco());
        QTest::keyClick(h.foco(), Qt::Key_F8);
    } else {
        h.boton("REPORTE");
    }

    QCOMPARE(h.dialogo.mostradas().size(), cajas.size());
    for (qsizetype i = 0; i < cajas.size(); ++i) {
        const CajaMostrada& caja = h.dialogo.mostradas()[i];
        const QString vista = caja.titulo + u'|' + caja.texto;
        QVERIFY2(vista.startsWith(cajas[i]), qPrintable(vista));
    }
    QCOMPARE(salida.previas.size(), impreso.isEmpty() ? 0 : 1);
    if (impreso.isEmpty())
        return;
    // The run that was opened, as stored: its number and driver, nothing typed since.
    const QString volcado = salida.previas.first().Volcado();
    const auto linea = [](const QString& t) { return QStringLiteral("  ") + t + u'\n'; };
    QVERIFY(volcado.contains(linea(QStringLiteral("Reparto N°"))));
    QVERIFY2(volcado.contains(linea(abre)), qPrintable(volcado.left(400)));
    QVERIFY(volcado.contains(linea(impreso)));
    for (const QString& otro : {QStringLiteral("Cambiado"), tipeado})
        if (!otro.isEmpty())
            QVERIFY2(!volcado.contains(linea(otro)), qPrintable(otro));
    QCOMPARE(h.ver("Chofer"), chofer.isEmpty() ? impreso : chofer);
}

void TstFrmHojaRuta::exportar_data() {
    QTest::addColumn<QString>("archivo"); // answered in the save dialog; empty: cancelled
    QTest::addColumn<bool>("tecla");      // Ctrl+E, or else the toolbar's button
    QTest::newRow("Ctrl+E a un libro") << "r.xlsx" << true;
    QTest::newRow("el botón a un .csv") << "r.csv" << false;
    QTest::newRow("cancelado: nada") << QString() << true;
}

void TstFrmHojaRuta::exportar() {
    QFETCH(QString, archivo);
    QFETCH(bool, tecla);
    Hoja h;
    h.abre(QStringLiteral("120"));
    // What the sheet shows goes out, the unsaved driver too.
    h.confirma("Chofer", QStringLiteral("Cambiado"));
    h.dialogo.olvida();
    const QString ruta = archivo.isEmpty() ? QString() : h.dir.filePath(archivo);
    h.dialogo.responde(archivo.isEmpty() ? QVariant() : QVariant(ruta));
    if (tecla)
        QTest::keyClick(h.foco(), Qt::Key_E, Qt::ControlModifier);
    else
        h.ventana->findChild<QAction*>(QStringLiteral("Exportar"))->trigger();

    QCOMPARE(h.dialogo.mostradas().size(), 1);
    QCOMPARE(h.dialogo.mostradas()[0].tipo, QStringLiteral("EligeArchivoGuardar"));
    QCOMPARE(h.dialogo.mostradas()[0].texto, QStringLiteral("reparto-120.xlsx"));
    QCOMPARE(h.ver("Chofer"), QStringLiteral("Cambiado")); // the key typed nothing
    if (archivo.isEmpty()) {
        QCOMPARE(QDir(h.dir.path()).entryList({QStringLiteral("r.*")}), QStringList());
        return;
    }
    QStringList vistas; // the driver, then the first line's code, product and reloaded kg
    if (archivo.endsWith(QLatin1String(".csv"))) {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList filas = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        vistas << filas.value(4) << filas.value(11).section(u';', 0, 5);
    } else {
        const auto c = prueba::LeeXlsx(ruta);
        const auto fila = [&c](int n, char hasta) {
            QStringList r;
            for (char col = 'A'; col <= hasta; ++col)
                r << c.value(QString(QLatin1Char(col)) + QString::number(n)).valor;
            return r.join(u';').replace(u'.', u',');
        };
        vistas << fila(5, 'B') << fila(12, 'F');
    }
    QCOMPARE(vistas, (QStringList{QStringLiteral("Chofer;Cambiado"),
                                  QStringLiteral("A1;A1 Salame;10;10;2;2,5")}));
}

QTEST_MAIN(TstFrmHojaRuta)
#include "tst_frmhojaruta.moc"
