// The run as a model, without a window: the field checks as a table, the totals,
// the entry's balance and the run number the statements use.

#include "AplicacionDePrueba.h"
#include "BaseHoja.h"
#include "sheet/ReglasHoja.h"
#include "sheet/Reparto.h"
#include "sheet/RepositorioReparto.h"

#include <QSignalSpy>
#include <QTest>

class TstModeloHoja : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void reglas_data();
    void reglas();
    void numerosComoSeLeen_data();
    void numerosComoSeLeen();
    void totales();
    void asientoBalanceado_data();
    void asientoBalanceado();
    void numeroConfirmado();

private:
    QTemporaryDir dir_;
    DialogoGuionado dialogo_;
    std::unique_ptr<Aplicacion> app_;
};

using Efecto = ReglasHoja::Efecto;
Q_DECLARE_METATYPE(Efecto)

void TstModeloHoja::initTestCase() {
    const QString base = dir_.filePath(QStringLiteral("hoja.db"));
    prueba::CreaBase(base, prueba::DatosDemo());
    app_ = prueba::AplicacionConectada(dialogo_, dir_.path(), base);
}

void TstModeloHoja::reglas_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("grabando");
    QTest::addColumn<QString>("mensaje"); // empty: the value passes
    QTest::addColumn<bool>("detiene");
    QTest::addColumn<Efecto>("efecto");
    QTest::addColumn<QString>("valor");

    const QString numerico = QStringLiteral("Debe ingresar un valor numérico!!!");
    const QString cantidad = QStringLiteral("Debe ingresar una cantidad!!!");
    const QString clase = QStringLiteral("Debe ingresar un número entre 1 y 5 !!!");
    const QString gasto =
        QStringLiteral("Debe ingresar una cuenta que no sea cuenta título y que sea de gastos!!!");
    const QString pago = QStringLiteral("Debe ingresar una cuenta que no sea cuenta título y que "
                                        "sea de medios de pago!!!");
    const auto fila = [](const char* nombre) { return &QTest::newRow(nombre); };
    *fila("reparto con letras") << "Reparto"
                                << "12a" << false << numerico << true << Efecto::Ninguno << "";
    *fila("reparto vacio") << "REPARTO"
                           << "  " << false << numerico << true << Efecto::Ninguno << "";
    *fila("reparto abierto") << "Reparto"
                             << "120" << false << "" << false << Efecto::AbreReparto << "";
    *fila("reparto abierto al grabar") << "Reparto"
                                       << " 120 " << true << "" << false << Efecto::Ninguno << "";
    *fila("reparto finalizado al grabar")
        << "reparto"
        << "121" << true << "" << false << Efecto::AbreReparto << "";
    *fila("reparto inexistente") << "Reparto"
                                 << "500" << false << "" << false << Efecto::NuevoReparto << "";
    *fila("reparto inexistente al grabar") << "Reparto"
                                           << "500" << true << "" << false << Efecto::Ninguno << "";
    *fila("clase 6") << "Clase"
                     << "6" << false << clase << false << Efecto::Ninguno << "";
    *fila("clase decimal") << "Clase"
                           << "1.5" << false << clase << false << Efecto::Ninguno << "";
    *fila("clase 2") << "Clase"
                     << "2" << false << "" << false << Efecto::RecalculaPrecios << "";
    *fila("clase vacia") << "Clase"
                         << "" << false << "" << false << Efecto::RecalculaPrecios << "";
    *fila("fecha imposible al grabar")
        << "Fecha"
        << "31/02/2024" << true << "Debe ingresar un formato de fecha válido!!!" << true
        << Efecto::Ninguno << "";
    *fila("fecha imposible al tipear")
        << "Fecha"
        << "31/02/2024" << false << "" << false << Efecto::Ninguno << "";
    *fila("fecha corta") << "Fecha"
                         << "1/3/24" << true << "" << false << Efecto::Ninguno << "";
    *fila("cuenta titulo") << "CuentaG2"
                           << "5.1" << false << gasto << true << Efecto::EtiquetaCuenta << "...";
    *fila("cuenta de pago como gasto")
        << "CUENTAG3"
        << "1.1.1" << false << gasto << true << Efecto::EtiquetaCuenta << "...";
    *fila("cuenta de gasto") << "CuentaG2"
                             << " 5.1.1" << false << "" << false << Efecto::EtiquetaCuenta
                             << "Combustible";
    *fila("cuenta vacia") << "CuentaG1"
                          << "" << false << "" << false << Efecto::Ninguno << "";
    *fila("medio de pago de gastos")
        << "CuentaMP"
        << "5.1.1" << false << pago << true << Efecto::MedioDePago << "...";
    *fila("medio de pago") << "CuentaMP"
                           << "1.1.1" << false << "" << false << Efecto::MedioDePago << "Caja";
    *fila("carga con letras") << "Cargas_CarCant"
                              << "x" << false << cantidad << false << Efecto::Ninguno << "";
    *fila("carga en kg") << "Cargas_ReCarCant"
                         << "2,5" << false << "" << false << Efecto::DevolucionKg << "";
    *fila("carga en unidades") << "Cargas_CarCantUD"
                               << "" << false << "" << false << Efecto::DevolucionUd << "";
    *fila("editor con letras") << "Editar"
                               << "1x" << false << cantidad << false << Efecto::Ninguno << "";
    *fila("rubro inexistente") << "CC_Col1"
                               << "1,9" << false << "El código de artículo es inexistente!!!"
                               << false << Efecto::GrabaRubros << "'   1','   9'";
    *fila("rubros") << "CC_Col1"
                    << "1, 2," << false << "" << false << Efecto::GrabaRubros << "'   1','   2'";
    *fila("carga negativa") << "Cargas_CarCantUD"
                            << "-2" << false << "La cantidad cargada no puede ser negativa!!!"
                            << false << Efecto::Ninguno << "";
    *fila("gasto con letras") << "Gasto1"
                              << "1.2.3,4,5" << false << numerico << false << Efecto::Ninguno << "";
    *fila("recaudado sin cargar") << "ImpRecaudado"
                                  << "..." << true << "" << false << Efecto::Ninguno << "";
    *fila("sin regla") << "Observaciones"
                       << "'; DROP TABLE X" << true << "" << false << Efecto::Ninguno << "";
}

void TstModeloHoja::reglas() {
    QFETCH(QString, campo);
    QFETCH(QString, texto);
    QFETCH(bool, grabando);
    QFETCH(QString, mensaje);
    QFETCH(bool, detiene);
    QFETCH(Efecto, efecto);
    QFETCH(QString, valor);
    RepositorioReparto repo(*app_);
    ReglasHoja reglas(repo);
    Reparto r;
    const ReglasHoja::Resultado res = reglas.Valida(campo, texto, r, grabando);
    QCOMPARE(res.ok, mensaje.isEmpty());
    QCOMPARE(res.mensaje, mensaje);
    QCOMPARE(res.detiene, detiene);
    QCOMPARE(res.efecto, efecto);
    QCOMPARE(res.valor, valor);
    QVERIFY(dialogo_.mostradas().isEmpty());
}

void TstModeloHoja::numerosComoSeLeen_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("kmInicial");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<QString>("normalizado"); // what the field shows once confirmed
    QTest::newRow("miles") << "Cargas_CarCant"
                           << ""
                           << "1.500"
                           << ""
                           << "1500";
    QTest::newRow("decimal con punto") << "Cargas_ReCarCant"
                                       << ""
                                       << "2.5"
                                       << ""
                                       << "2,5";
    QTest::newRow("miles y decimales") << "Gasto3"
                                       << ""
                                       << "1.234,50"
                                       << ""
                                       << "1234,5";
    QTest::newRow("vacio") << "Gasto3"
                           << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("km final menor") << "KmFinal"
                                    << "48.855"
                                    << "48800"
                                    << "El Km final no puede ser menor que el Km inicial!!!"
                                    << "";
    QTest::newRow("km final mayor") << "KmFinal"
                                    << "48.855"
                                    << "48.976"
                                    << ""
                                    << "48976";
}

void TstModeloHoja::numerosComoSeLeen() {
    QFETCH(QString, campo);
    QFETCH(QString, kmInicial);
    QFETCH(QString, texto);
    QFETCH(QString, mensaje);
    QFETCH(QString, normalizado);
    RepositorioReparto repo(*app_);
    ReglasHoja reglas(repo);
    Reparto r;
    r.setCampo(QStringLiteral("KmInicial"), kmInicial);
    const ReglasHoja::Resultado res = reglas.Valida(campo, texto, r, false);
    QCOMPARE(res.mensaje, mensaje);
    QCOMPARE(res.normalizado, normalizado);
}

void TstModeloHoja::totales() {
    // Two lines: 10 kg + 2.5 kg reloaded at 100 + 21% + 5, and 4 kg at 50 + 10.5%.
    Reparto r;
    ModeloGrilla& g = r.Lineas();
    g.setFilas(2);
    const QStringList uno = {"", "10", "10", "2",  "2,5", "",   "",
                             "", "",   "A1", "60", "100", "21", "5"};
    const QStringList dos = {"", "", "4", "", "", "", "", "", "", "A2", "30", "50", "10,5", "0"};
    for (int c = 0; c < uno.size(); ++c) {
        g.setTexto(0, c, uno[c]);
        g.setTexto(1, c, dos[c]);
    }
    r.setCampo(QStringLiteral("Gasto1"), QStringLiteral("1.500"));
    r.setCampo(QStringLiteral("Gasto4"), QStringLiteral("0,5"));
    r.setCampo(QStringLiteral("ImpRecaudado"), QStringLiteral("2000"));
    QCOMPARE(r.ValorItem(0), Currency::DesdeEscalado(1260000));
    QCOMPARE(r.ValorItem(1), Currency::DesdeEscalado(552500));
    const TotalesReparto t = r.Totales();
    QCOMPARE(t.aRecaudar, Currency::DesdeEscalado(17960000));
    QCOMPARE(t.gastos, Currency::DesdeEscalado(15005000));
    QCOMPARE(t.total, Currency::DesdeEscalado(20000000 - 15005000));
    QCOMPARE(r.SumaGastos(), t.gastos);
    // Sums past Currency's range fail with error 6 instead of wrapping around.
    r.setCampo(QStringLiteral("Gasto1"), QStringLiteral("900000000000000"));
    r.setCampo(QStringLiteral("Gasto2"), QStringLiteral("900000000000000"));
    try {
        r.SumaGastos();
        QFAIL("no overflow");
    } catch (const ado::Falla& f) {
        QCOMPARE(f.Number, 6);
    }
}

void TstModeloHoja::asientoBalanceado_data() {
    QTest::addColumn<QStringList>("campos"); // DataField=texto
    QTest::addColumn<QString>("falta");      // the field to correct; empty: balanced
    QTest::newRow("sin gastos") << QStringList{} << "";
    QTest::newRow("balanceado") << QStringList{"Gasto1=100",     "CuentaG1=5.1.1", "Gasto3=50",
                                               "CuentaG3=5.1.1", "CuentaMP=1.1.1", "GastoMP=150"}
                                << "";
    QTest::newRow("gasto sin cuenta")
        << QStringList{"Gasto1=100", "CuentaG1=5.1.1", "Gasto2=5", "CuentaMP=1.1.1", "GastoMP=105"}
        << "CuentaG2";
    QTest::newRow("sin medio de pago") << QStringList{"Gasto1=100", "CuentaG1=5.1.1"} << "CuentaMP";
    QTest::newRow("medio de pago distinto")
        << QStringList{"Gasto1=100", "CuentaG1=5.1.1", "CuentaMP=1.1.1", "GastoMP=90"}
        << "CuentaMP";
    QTest::newRow("gasto negativo")
        << QStringList{"Gasto1=100", "CuentaG1=5.1.1", "Gasto2=-10", "CuentaMP=1.1.1", "GastoMP=90"}
        << "Gasto2";
}

void TstModeloHoja::asientoBalanceado() {
    QFETCH(QStringList, campos);
    QFETCH(QString, falta);
    Reparto r;
    for (const QString& c : campos)
        r.setCampo(c.section(u'=', 0, 0), c.section(u'=', 1));
    const auto res = ReglasHoja::AsientoBalanceado(r);
    QCOMPARE(res ? res->campo : QString(), falta);
}

void TstModeloHoja::numeroConfirmado() {
    // Typing changes the field only; the statements use what was confirmed, as typed.
    Reparto r;
    QSignalSpy cambios(&r, &Reparto::campoCambiado);
    r.setCampo(QStringLiteral("REPARTO"), QStringLiteral(" 12 "));
    QCOMPARE(cambios.size(), 1);
    QCOMPARE(cambios.at(0).at(0).toInt(), 0);
    QCOMPARE(r.NumeroTexto(), QString());
    r.ConfirmaNumero(r.Campo(QStringLiteral("reparto")));
    r.setCampo(QStringLiteral("Reparto"), QStringLiteral("13"));
    QCOMPARE(r.NumeroTexto(), QStringLiteral(" 12 "));
    QCOMPARE(r.Numero(), 12);
}

QTEST_MAIN(TstModeloHoja)
#include "tst_modelo_hoja.moc"
