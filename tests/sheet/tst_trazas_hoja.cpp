// The statements the sheet sends for its main flows, compared with reference
// files: opening run 10 of the demo data, saving it, opening and finishing it.
// A change of structure must leave every statement text as it was.
// HOJARUTA_REGENERA_TRAZAS=1 rewrites the reference files instead.
// Then what a start and a save cost in statements, whatever the run's size: on
// the suite's server every statement is a round trip.

#include "BaseHoja.h"
#include "LeeTraza.h"
#include "sheet/FrmHojaRuta.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

class TstTrazasHoja : public QObject {
    Q_OBJECT

private slots:
    void flujos();
    void arranque();
    void grabacionPorLotes_data();
    void grabacionPorLotes();
    void fallaEnUnLote_data();
    void fallaEnUnLote();
};

namespace {

const QString kCarpeta = QStringLiteral(CARPETA_TRAZAS);

void comparaConReferencia(const QString& nombre, const QStringList& sentencias) {
    const QString ruta = kCarpeta + u'/' + nombre + QStringLiteral(".sql");
    if (qEnvironmentVariableIntValue("HOJARUTA_REGENERA_TRAZAS") == 1) {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const QString& s : sentencias)
            f.write(s.toUtf8() + "\n;\n");
        return;
    }
    QFile f(ruta);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(ruta));
    QStringList esperadas = QString::fromUtf8(f.readAll()).split(QStringLiteral("\n;\n"));
    esperadas.removeLast(); // after the last separator
    for (qsizetype i = 0; i < std::min(esperadas.size(), sentencias.size()); ++i)
        QCOMPARE(sentencias[i], esperadas[i]);
    QCOMPARE(sentencias.size(), esperadas.size());
}

// Run 1 with one line of each of n articles.
QString repartoDe(int n) {
    QStringList s{QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                                 "('DATOS','PIVA','21'), ('DATOS','cantidaddecimales','2');"),
                  QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES "
                                 "(1,'2024-03-01',2);")};
    for (int i = 0; i < n; ++i)
        s << QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio1, Precio2, "
                            "TasaIva, Impuestos) VALUES ('%1','Articulo %2',10,20,10.5,1); "
                            "INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, "
                            "Cantidad, REC_CANTIDAD) VALUES (1,'%1',10,10.5,%2);")
                 .arg(prueba::art(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0'))))
                 .arg(i);
    return s.join(u'\n');
}

// The sheet started on a database of run 1 with n lines, the statements traced.
struct HojaTrazada {
    QTemporaryDir dir;
    QString traza = dir.filePath(QStringLiteral("traza.txt"));
    DialogoGuionado dialogo;
    std::shared_ptr<Inyeccion> inyeccion = std::make_shared<Inyeccion>();
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    explicit HojaTrazada(int n) {
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        prueba::CreaBase(base, repartoDe(n));
        qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
        app = prueba::Inicia(dialogo, dir, base, {}, ProveedorFallido::Fabrica(inyeccion));
        ventana = std::make_unique<FrmHojaRuta>(*app);
        if (!ventana->Form_Load())
            qFatal("the sheet did not start");
    }
    ~HojaTrazada() { qputenv("HOJARUTA_TRAZA", QByteArray()); }
    QStringList sentencias() const { return SentenciasDeTraza(traza); }
    void abre() {
        QLineEdit* numero = ventana->Campo(QStringLiteral("Reparto"));
        numero->setText(QStringLiteral("1"));
        QTest::keyClick(numero, Qt::Key_Return);
    }
    // The statements of one save, from its BEGIN on; whether it went through.
    std::pair<QStringList, bool> graba() {
        const qsizetype antes = sentencias().size();
        const bool grabado = ventana->GrabaReparto();
        return {sentencias().mid(antes), grabado};
    }
};

} // namespace

void TstTrazasHoja::arranque() {
    // Every global setting comes from one read. The entry the access log writes
    // (its insert, commit and key) is the suite's, not the sheet's.
    HojaTrazada h(3);
    QStringList propias = h.sentencias();
    const qsizetype acceso =
        propias.indexOf(QRegularExpression(QStringLiteral(".*INSERT INTO Control_Acceso.*"),
                                           QRegularExpression::DotMatchesEverythingOption));
    QVERIFY(acceso >= 0);
    propias.remove(acceso, 3);
    QVERIFY2(propias.size() <= 12, qPrintable(propias.join(u'\n')));
    QCOMPARE(propias.filter(QStringLiteral("FROM ta_configuracion")).size(), 4);
    QCOMPARE(h.app->cfg.global.CantidadDecimales, QStringLiteral("2"));
    QCOMPARE(h.app->cfg.global.Top_Default, QStringLiteral("1000"));
    QCOMPARE(h.ventana->Grilla().filas(), 3);
}

void TstTrazasHoja::grabacionPorLotes_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("maximo"); // statements of the save, BEGIN and COMMIT included
    QTest::newRow("5 lineas") << 5 << 8;
    QTest::newRow("600 lineas") << 600 << 8;
}

void TstTrazasHoja::grabacionPorLotes() {
    QFETCH(int, n);
    QFETCH(int, maximo);
    HojaTrazada h(n);
    h.abre();
    QCOMPARE(h.ventana->Grilla().filas(), n);
    const auto [sentencias, grabado] = h.graba();
    QVERIFY(grabado);
    QVERIFY2(sentencias.size() <= maximo, qPrintable(sentencias.join(u'\n').left(4000)));
    // Every line back, with its quantities as the sheet read them.
    QCOMPARE(prueba::Filas(h.app->db, QStringLiteral("SELECT COUNT(*), SUM(Cantidad), "
                                                     "SUM(REC_CANTIDAD), MAX(IdArticulo) FROM "
                                                     "MV_REPARTODET WHERE IdReparto = 1")),
             QStringList{
                 QStringLiteral("%1|%2|%3|%4")
                     .arg(n)
                     .arg(10.5 * n)
                     .arg(n * (n - 1) / 2)
                     .arg(prueba::art(QStringLiteral("P%1").arg(n - 1, 5, 10, QLatin1Char('0'))))});
    QCOMPARE(h.dialogo.mostradas().size(), 0);
}

void TstTrazasHoja::fallaEnUnLote_data() {
    QTest::addColumn<QString>("sentencia"); // the one that fails
    QTest::addColumn<int>("cual");          // which of the save's statements so begun
    QTest::newRow("borrado de las lineas") << "delete V_MV_REPARTODET" << 0;
    QTest::newRow("lote del medio") << "INSERT INTO V_MV_REPARTODET" << 1;
}

void TstTrazasHoja::fallaEnUnLote() {
    // Enough lines for three inserts: a failure in any leaves the database as it
    // was and tells the operator the same way.
    QFETCH(QString, sentencia);
    QFETCH(int, cual);
    HojaTrazada h(2500);
    h.abre();
    // A first save shows where the statement falls inside the transaction.
    const auto [primera, grabado] = h.graba();
    QVERIFY(grabado);
    // Saved, the run is opened again, as the sheet does, before it is changed.
    h.abre();
    int k = 0, vistas = 0;
    for (qsizetype i = primera.indexOf(QStringLiteral("BEGIN TRANSACTION")) + 1;
         i < primera.size() && k == 0; ++i)
        if (primera[i].startsWith(sentencia) && vistas++ == cual)
            k = static_cast<int>(i - primera.indexOf(QStringLiteral("BEGIN TRANSACTION")));
    QVERIFY(k > 0);
    if (cual > 0) // really the middle one of three
        QCOMPARE(primera.filter(QRegularExpression(u'^' + sentencia)).size(), 3);

    h.ventana->Grilla().setTexto(0, col::CargaKg, QStringLiteral("77"));
    const QStringList antes = prueba::TablasDeGrabacion(h.app->db);
    h.inyeccion->fallaLa(k);
    h.dialogo.responde(plataforma::Respuesta::Cancel);
    QVERIFY(!h.graba().second);
    QVERIFY(h.inyeccion->disparada);
    QVERIFY(h.inyeccion->sentencia.startsWith(sentencia));
    QCOMPARE(prueba::TablasDeGrabacion(h.app->db), antes);
    QCOMPARE(h.dialogo.mostradas().size(), 1);
    const CajaMostrada caja = h.dialogo.mostradas().first();
    QVERIFY2(caja.titulo.contains(QStringLiteral(" - Actualizar Datos Aviso al operador!!!")),
             qPrintable(caja.titulo));
    QVERIFY(caja.texto.contains(QStringLiteral("Fallo de prueba")));
    static std::optional<CajaMostrada> primeraCaja;
    if (!primeraCaja)
        primeraCaja = caja;
    QCOMPARE(caja.texto + caja.titulo + QString::number(caja.estilo),
             primeraCaja->texto + primeraCaja->titulo + QString::number(primeraCaja->estilo));
    // The sheet keeps what was typed.
    QCOMPARE(h.ventana->Grilla().texto(0, col::CargaKg), QStringLiteral("77"));
}

void TstTrazasHoja::flujos() {
    QTemporaryDir dir;
    const QString traza = dir.filePath(QStringLiteral("traza.txt"));
    const QString base = dir.filePath(QStringLiteral("demo.db"));
    ado::sqlite::CreaBaseEmbebida(base, recursos::EsquemaSql(), recursos::DemoSql());
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    DialogoGuionado dialogo;
    auto app = prueba::Inicia(dialogo, dir, base);
    FrmHojaRuta ventana(*app);
    QVERIFY(ventana.Form_Load());
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    auto* reparto = ventana.findChild<QLineEdit*>(QStringLiteral("txtFields_0"));
    QVERIFY(reparto);

    qsizetype desde = SentenciasDeTraza(traza).size();
    const auto tramo = [&] {
        const QStringList todas = SentenciasDeTraza(traza);
        const QStringList nuevas = todas.mid(desde);
        desde = todas.size();
        return nuevas;
    };
    const auto abre = [&] {
        reparto->setFocus();
        reparto->setText(QStringLiteral("10"));
        QTest::keyClick(reparto, Qt::Key_Return);
    };

    abre();
    comparaConReferencia(QStringLiteral("abrir_10"), tramo());

    QTest::keyClick(&ventana, Qt::Key_F2);
    comparaConReferencia(QStringLiteral("grabar_10"), tramo());

    abre();
    tramo();
    dialogo.responde(plataforma::Respuesta::Yes);
    QTest::mouseClick(ventana.findChild<QPushButton*>(QStringLiteral("cmdFinalizar")),
                      Qt::LeftButton);
    comparaConReferencia(QStringLiteral("finalizar_10"), tramo());
    qputenv("HOJARUTA_TRAZA", QByteArray());
    QCOMPARE(dialogo.pendientes(), 0);
}

QTEST_MAIN(TstTrazasHoja)
#include "tst_trazas_hoja.moc"
