// The run as a model, without a window: the field checks as a table, the totals,
// the entry's balance, the confirmed run number; reading a run and the article
// master into the model, with Qt's model tester watching the lines wherever they are
// filled, set or shrunk; and saving: what reaches the database, what a failure at
// any statement leaves behind, and the journal entry a finished run posts, once.

#include "BaseHoja.h"
#include "Fallas.h"
#include "sheet/ReglasHoja.h"
#include "sheet/Reparto.h"
#include "sheet/RepositorioReparto.h"

#include <QAbstractItemModelTester>
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
    void totales_data();
    void totales();
    void asientoBalanceado_data();
    void asientoBalanceado();
    void numeroConfirmado();
    void lineas();
    void carga_data();
    void carga();
    void grillaPorRubros_data();
    void grillaPorRubros();
    void linea_data();
    void linea();
    void proximoReparto();
    void grabar_data();
    void grabar();
    void fallaEnCadaSentencia_data();
    void fallaEnCadaSentencia();
    void otroPuestoGraboAntes_data();
    void otroPuestoGraboAntes();
    void dosFinalizanALaVez();
    void conversionNombraElCampo();
    void asiento();
    void asientoUnaVez_data();
    void asientoUnaVez();

private:
    std::unique_ptr<prueba::Base> base_; // read only, shared by the tests that only read
};

using E = ReglasHoja::Efecto;
Q_DECLARE_METATYPE(E)

namespace {

// A row of the rules table; an empty message: the value passes.
void regla(const char* nombre, const char* campo, const char* texto, bool grabando,
           const QString& mensaje, bool detiene, E efecto, const char* valor = "") {
    QTest::newRow(nombre) << QString::fromUtf8(campo) << QString::fromUtf8(texto) << grabando
                          << mensaje << detiene << efecto << QString::fromUtf8(valor);
}

// A run whose lines Qt's model tester watches: a wrong begin/end pair, a row count
// out of step or a bad index fails the running test.
struct Vigilado : Reparto {
    QAbstractItemModelTester tester{&Lineas(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest};
};

// Each line as the operator sees it: product, the eight quantities and the amount.
QStringList lineasDe(const Reparto& r) {
    QStringList res;
    for (int f = 0; f < r.Lineas().filas(); ++f) {
        QStringList c;
        for (int col : {0, 1, 2, 3, 4, 5, 6, 7, 8, 14})
            c << r.Lineas().texto(f, col);
        res << c.join(u'|');
    }
    return res;
}

// Opens run `numero` as the sheet does: a saved one, its header and then its lines;
// a new one, the article list.
void abre(RepositorioReparto& repo, Reparto& r, const QString& numero) {
    r.ConfirmaNumero(numero);
    r.Existe = repo.Existe(numero);
    if (r.Existe) {
        repo.CargaCabecera(r);
        repo.CargaDetalle(r);
    } else {
        repo.ArmaGrilla(r, QString());
    }
}

// A new run 122 of 15/03/2024 with expenses in Gasto1 and Gasto3, their means of
// payment, and 12 units of A1.
void nuevoConGastos(RepositorioReparto& repo, Reparto& r) {
    abre(repo, r, QStringLiteral("122"));
    prueba::PonCampos(r, {"Reparto=122", "Fecha=15/03/2024", "Clase=1", "Chofer=Ana",
                          "Observaciones=  salida temprana  ", "CuentaG1=511", "Gasto1=100",
                          "CuentaG3=513", "Gasto3=50,5", "CuentaMP=111", "GastoMP=150,5"});
    r.Lineas().setTexto(0, col::CargaUd, QStringLiteral("12"));
    repo.CalculaDevolucion(r, 0, true);
}

// Finishes the run as the sheet does: the entry's settings, then one save.
std::pair<Grabacion, DatosAsiento> finaliza(RepositorioReparto& repo, const Reparto& r) {
    DatosAsiento d = repo.PreparaAsiento(r);
    const Grabacion g = repo.Graba(r, true, &d);
    return {g, d};
}

const QString kLineasDel122 =
    QStringLiteral("SELECT COUNT(*) FROM MV_REPARTODET WHERE IdReparto = 122");
const QString kAsientoDel122 =
    QStringLiteral("SELECT Secuencia FROM MV_ASIENTOS WHERE Cpte_Origen = '122' ORDER BY 1");
const QString kFinalizado122 = QStringLiteral(
    "SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = 122 AND FINALIZADO IS NOT NULL");

} // namespace

void TstModeloHoja::initTestCase() {
    base_ = std::make_unique<prueba::Base>();
}

void TstModeloHoja::reglas_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("grabando");
    QTest::addColumn<QString>("mensaje"); // empty: the value passes
    QTest::addColumn<bool>("detiene");
    QTest::addColumn<E>("efecto");
    QTest::addColumn<QString>("valor");

    const QString numerico = QStringLiteral("Debe ingresar un valor numérico!!!");
    const QString cantidad = QStringLiteral("Debe ingresar una cantidad!!!");
    const QString clase = QStringLiteral("Debe ingresar un número entre 1 y 5 !!!");
    const QString gasto =
        QStringLiteral("Debe ingresar una cuenta que no sea cuenta título y que sea de gastos!!!");
    const QString pago = QStringLiteral("Debe ingresar una cuenta que no sea cuenta título y que "
                                        "sea de medios de pago!!!");
    const QString no;
    regla("reparto con letras", "Reparto", "12a", false, numerico, true, E::Ninguno);
    regla("reparto vacio", "REPARTO", "  ", false, numerico, true, E::Ninguno);
    regla("reparto abierto", "Reparto", "120", false, no, false, E::AbreReparto);
    regla("reparto abierto al grabar", "Reparto", " 120 ", true, no, false, E::Ninguno);
    regla("reparto finalizado al grabar", "reparto", "121", true, no, false, E::AbreReparto);
    regla("reparto inexistente", "Reparto", "500", false, no, false, E::NuevoReparto);
    regla("reparto inexistente al grabar", "Reparto", "500", true, no, false, E::Ninguno);
    regla("clase 0", "Clase", "0", false, clase, false, E::Ninguno);
    regla("clase 6", "Clase", "6", false, clase, false, E::Ninguno);
    regla("clase con letra", "Clase", "A", false, clase, false, E::Ninguno);
    regla("clase decimal", "Clase", "2.5", false, clase, false, E::Ninguno);
    regla("clase 2", "Clase", "2", false, no, false, E::RecalculaPrecios);
    regla("clase vacia", "Clase", "", false, no, false, E::RecalculaPrecios);
    regla("fecha imposible al grabar", "Fecha", "31/02/2024", true,
          QStringLiteral("Debe ingresar un formato de fecha válido!!!"), true, E::Ninguno);
    regla("fecha imposible al tipear", "Fecha", "31/02/2024", false, no, false, E::Ninguno);
    regla("fecha corta", "Fecha", "1/3/24", true, no, false, E::Ninguno);
    regla("cuenta titulo", "CuentaG2", "5.1", false, gasto, true, E::EtiquetaCuenta, "...");
    regla("cuenta de pago como gasto", "CUENTAG3", "1.1.1", false, gasto, true, E::EtiquetaCuenta,
          "...");
    regla("cuenta con apostrofo", "CuentaG1", "5'1", false, gasto, true, E::EtiquetaCuenta, "...");
    regla("cuenta de gasto", "CuentaG2", " 5.1.1", false, no, false, E::EtiquetaCuenta,
          "Combustible");
    regla("cuenta vacia", "CuentaG1", "", false, no, false, E::Ninguno);
    regla("medio de pago de gastos", "CuentaMP", "5.1.1", false, pago, true, E::MedioDePago, "...");
    regla("medio de pago", "CuentaMP", "1.1.1", false, no, false, E::MedioDePago, "Caja");
    regla("carga con letras", "Cargas_CarCant", "x", false, cantidad, false, E::Ninguno);
    regla("carga en kg", "Cargas_ReCarCant", "2,5", false, no, false, E::DevolucionKg);
    regla("carga en unidades", "Cargas_CarCantUD", "", false, no, false, E::DevolucionUd);
    regla("editor con letras", "Editar", "1x", false, cantidad, false, E::Ninguno);
    regla("rubro inexistente", "CC_Col1", "1,9", false,
          QStringLiteral("El código de artículo es inexistente!!!"), false, E::GrabaRubros,
          "'   1','   9'");
    regla("rubros", "CC_Col1", "1, 2,", false, no, false, E::GrabaRubros, "'   1','   2'");
    regla("carga negativa", "Cargas_CarCantUD", "-2", false,
          QStringLiteral("La cantidad cargada no puede ser negativa!!!"), false, E::Ninguno);
    regla("gasto con letras", "Gasto1", "1.2.3,4,5", false, numerico, false, E::Ninguno);
    regla("recaudado sin cargar", "ImpRecaudado", "...", true, no, false, E::Ninguno);
    regla("sin regla", "Observaciones", "'; DROP TABLE X", true, no, false, E::Ninguno);
}

void TstModeloHoja::reglas() {
    QFETCH(QString, campo);
    QFETCH(QString, texto);
    QFETCH(bool, grabando);
    QFETCH(QString, mensaje);
    QFETCH(bool, detiene);
    QFETCH(E, efecto);
    QFETCH(QString, valor);
    RepositorioReparto repo(*base_->app);
    ReglasHoja reglas(repo);
    Reparto r;
    const ReglasHoja::Resultado res = reglas.Valida(campo, texto, r, grabando);
    QCOMPARE(res.ok, mensaje.isEmpty());
    QCOMPARE(res.mensaje, mensaje);
    QCOMPARE(res.detiene, detiene);
    QCOMPARE(res.efecto, efecto);
    QCOMPARE(res.valor, valor);
    QVERIFY(base_->dialogo.mostradas().isEmpty());
}

void TstModeloHoja::totales_data() {
    QTest::addColumn<QStringList>("lineas");  // the cells of each line, "|" between them
    QTest::addColumn<QStringList>("campos");  // DataField=texto
    QTest::addColumn<QStringList>("valores"); // ValorItem of each line
    QTest::addColumn<QString>("totales");     // a recaudar | gastos | total
    // 10 kg + 2.5 kg reloaded at 100 + 21% + 5, and 4 kg at 50 + 10.5%.
    QTest::newRow("dos lineas") << QStringList{"|10|10|2|2,5|||||A1|60|100|21|5",
                                               "||4|||||||A2|30|50|10,5|0"}
                                << QStringList{"Gasto1=1.500", "Gasto4=0,5", "ImpRecaudado=2000"}
                                << QStringList{"126", "55.25"} << "1796|1500.5|499.5";
    QTest::newRow("gastos mayores que lo recaudado")
        << QStringList{} << QStringList{"Gasto1=100", "Gasto2=50", "Gasto4=25", "ImpRecaudado=100"}
        << QStringList{} << "0|175|-75";
    QTest::newRow("precio fuera de rango")
        << QStringList{"|1|1|||||||A1|60|99999999999999999999|21|5"} << QStringList{}
        << QStringList{"0"} << "0|0|0";
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
    RepositorioReparto repo(*base_->app);
    ReglasHoja reglas(repo);
    Reparto r;
    r.setCampo(QStringLiteral("KmInicial"), kmInicial);
    const ReglasHoja::Resultado res = reglas.Valida(campo, texto, r, false);
    QCOMPARE(res.mensaje, mensaje);
    QCOMPARE(res.normalizado, normalizado);
}

void TstModeloHoja::totales() {
    QFETCH(QStringList, lineas);
    QFETCH(QStringList, campos);
    QFETCH(QStringList, valores);
    QFETCH(QString, totales);
    Vigilado r;
    r.Lineas().setFilas(static_cast<int>(lineas.size()));
    for (int f = 0; f < lineas.size(); ++f) {
        const QStringList celdas = lineas[f].split(u'|');
        for (int c = 0; c < celdas.size(); ++c)
            r.Lineas().setTexto(f, c, celdas[c]);
    }
    prueba::PonCampos(r, campos);
    for (int f = 0; f < valores.size(); ++f)
        QCOMPARE(r.ValorItem(f).texto(), valores[f]);
    const TotalesReparto t = r.Totales();
    QCOMPARE(t.aRecaudar.texto() + u'|' + t.gastos.texto() + u'|' + t.total.texto(), totales);
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
    QTest::addColumn<QString>("campos"); // DataField=texto, blank between them
    QTest::addColumn<QString>("falta");  // the field to correct; empty: balanced
    QTest::addColumn<QString>("mensaje");
    const auto fila = [](const char* nombre, const char* campos, const char* falta,
                         const QString& mensaje) {
        QTest::newRow(nombre) << QString::fromLatin1(campos) << QString::fromLatin1(falta)
                              << mensaje;
    };
    const QString distinto = QStringLiteral("El importe del Medio de Pago no coincide con el total "
                                            "de los gastos: corríjalo antes de finalizar el "
                                            "reparto!!!");
    fila("sin gastos", "", "", {});
    fila("balanceado",
         "Gasto1=100 CuentaG1=5.1.1 Gasto3=50 CuentaG3=5.1.1 CuentaMP=1.1.1 GastoMP=150", "", {});
    fila("gasto sin cuenta", "Gasto1=100 CuentaG1=5.1.1 Gasto3=5 CuentaMP=1.1.1 GastoMP=105",
         "CuentaG3",
         QStringLiteral("Falta la cuenta del Gasto 3: ingrésela antes de finalizar el reparto!!!"));
    fila("sin medio de pago", "Gasto1=100 CuentaG1=5.1.1", "CuentaMP",
         QStringLiteral("Falta la cuenta del Medio de Pago: ingrésela antes de finalizar el "
                        "reparto!!!"));
    fila("medio de pago distinto", "Gasto1=100 CuentaG1=5.1.1 CuentaMP=1.1.1 GastoMP=90",
         "CuentaMP", distinto);
    fila("gasto negativo", "Gasto1=100 CuentaG1=5.1.1 Gasto2=-10 CuentaMP=1.1.1 GastoMP=90",
         "Gasto2",
         QStringLiteral("El Gasto 2 es negativo: corríjalo antes de finalizar el reparto!!!"));
}

void TstModeloHoja::asientoBalanceado() {
    QFETCH(QString, campos);
    QFETCH(QString, falta);
    QFETCH(QString, mensaje);
    Reparto r;
    prueba::PonCampos(r, campos.split(u' ', Qt::SkipEmptyParts));
    const auto res = ReglasHoja::AsientoBalanceado(r);
    QCOMPARE(res ? res->campo : QString(), falta);
    QCOMPARE(res ? res->mensaje : QString(), mensaje);
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

void TstModeloHoja::lineas() {
    // Growing and shrinking keeps the lines kept and tells the views which lines
    // came and went; emptying keeps the number of lines; a batch is told once.
    Vigilado r;
    ModeloGrilla& g = r.Lineas();
    QStringList avisos;
    const auto anota = [&](const char* que) {
        return [&avisos, que](const QModelIndex&, int desde, int hasta) {
            avisos << QStringLiteral("%1%2-%3").arg(QLatin1String(que)).arg(desde).arg(hasta);
        };
    };
    connect(&g, &ModeloGrilla::rowsInserted, this, anota("+"));
    connect(&g, &ModeloGrilla::rowsRemoved, this, anota("-"));
    connect(&g, &ModeloGrilla::modelReset, this, [&avisos] { avisos << QStringLiteral("todo"); });
    g.setFilas(3);
    g.setTexto(0, col::CargaUd, QStringLiteral("4"));
    g.setTexto(2, col::Id, QStringLiteral("A2"));
    g.setTexto(3, col::Id, QStringLiteral("fuera")); // past the last line: ignored
    g.setFilas(1);
    g.setFilas(2);
    QCOMPARE(g.texto(0, col::CargaUd), QStringLiteral("4"));
    QCOMPARE(g.texto(1, col::Id), QString());
    g.limpia();
    QCOMPARE(g.filas(), 2);
    QCOMPARE(g.texto(0, col::CargaUd), QString());
    {
        ModeloGrilla::Lote lote(g);
        g.setFilas(5);
        g.setTexto(4, col::Id, QStringLiteral("A1"));
        g.setFilas(4);
    }
    QCOMPARE(g.rowCount(), 4);
    g.setFilas(-1);
    QCOMPARE(g.rowCount(), 0);
    QCOMPARE(avisos, (QStringList{"+0-2", "-1-2", "+1-1", "todo", "todo", "-0-3"}));
}

void TstModeloHoja::carga_data() {
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QStringList>("cabecera"); // DataField=texto
    QTest::addColumn<QString>("finalizado");
    QTest::addColumn<QStringList>("etiquetas"); // CuentaG1..4, CuentaMP
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QString>("totales"); // a recaudar | gastos | total
    QTest::addColumn<QStringList>("comprobantes");
    QTest::addColumn<QStringList>("cobranzas");
    // Two sales of 3 kg are 6 sold; the stored returns (99) give way to loaded +
    // reloaded - sold + the kilogram that came back; 126 a unit, 6 sold kg.
    QTest::newRow("abierto con ventas")
        << "120"
        << QStringList{"Chofer=Perez",   "Fecha=01/03/2024", "Clase=1",          "Vehiculo=AB123",
                       "CuentaG1=5.1.1", "Gasto1=100",       "ImpRecaudado=1000"}
        << "" << QStringList{"Combustible", "", "", "", ""}
        << QStringList{"A1 Salame|10|10|2|2,5|7|7,5|6|6|756"} << "1575|100|900"
        << QStringList{"FC|A|750", "NC|B|126"} << QStringList{"CB|300"};
    // No saved lines: the article list stays as it was.
    QTest::newRow("finalizado sin lineas")
        << "121" << QStringList{"Chofer=Gomez", "Fecha=02/03/2024", "CuentaG1=", "Gasto1="}
        << "05/03/2024" << QStringList{"", "", "", "", ""}
        << QStringList{"A1 Salame|||||||||0", "A2 Queso|||||||||0"} << "0|0|0" << QStringList{}
        << QStringList{};
}

void TstModeloHoja::carga() {
    QFETCH(QString, numero);
    QFETCH(QStringList, cabecera);
    QFETCH(QString, finalizado);
    QFETCH(QStringList, etiquetas);
    QFETCH(QStringList, lineas);
    QFETCH(QString, totales);
    QFETCH(QStringList, comprobantes);
    QFETCH(QStringList, cobranzas);
    RepositorioReparto repo(*base_->app);
    Vigilado r;
    repo.ArmaGrilla(r, QString()); // the sheet's article list before a run opens
    r.setCampo(QStringLiteral("Chofer"), QStringLiteral("Otro")); // what was typed gives way
    abre(repo, r, numero);
    QVERIFY(r.Existe);
    for (const QString& c : cabecera)
        QCOMPARE(r.Campo(c.section(u'=', 0, 0)), c.section(u'=', 1));
    QCOMPARE(r.Finalizado, finalizado);
    QCOMPARE(QStringList(r.CuentaEtiqueta, r.CuentaEtiqueta + 5), etiquetas);
    QCOMPARE(lineasDe(r), lineas);
    const TotalesReparto t = r.Totales();
    QCOMPARE(t.aRecaudar.texto() + u'|' + t.gastos.texto() + u'|' + t.total.texto(), totales);
    ado::Recordset rs;
    repo.Comprobantes(numero, rs);
    QCOMPARE(prueba::Filas(rs), comprobantes);
    QCOMPARE(rs.Fields(1).Name().toUpper(), QStringLiteral("LETRA")); // the grid's heading
    repo.Cobranzas(numero, rs);
    QCOMPARE(prueba::Filas(rs), cobranzas);
    QVERIFY(base_->dialogo.mostradas().isEmpty());
}

void TstModeloHoja::grillaPorRubros_data() {
    QTest::addColumn<QString>("rubros"); // as typed
    QTest::addColumn<bool>("valido");
    QTest::addColumn<QString>("lista"); // as the statements quote it
    QTest::addColumn<QStringList>("productos");
    const QStringList todos{"A1 Salame", "A2 Queso"}; // A3 is suspended
    QTest::newRow("sin filtro") << "" << true << "" << todos;
    QTest::newRow("dos rubros") << "1, 2," << true << "'   1','   2'" << todos;
    QTest::newRow("solo quesos") << "2" << true << "'   2'" << QStringList{"A2 Queso"};
    QTest::newRow("entre apostrofos") << "'1'" << true << "'   1'" << QStringList{"A1 Salame"};
    QTest::newRow("uno inexistente")
        << "9,1" << false << "'   9','   1'" << QStringList{"A1 Salame"};
}

void TstModeloHoja::grillaPorRubros() {
    QFETCH(QString, rubros);
    QFETCH(bool, valido);
    QFETCH(QString, lista);
    QFETCH(QStringList, productos);
    RepositorioReparto repo(*base_->app);
    QString l = rubros;
    QCOMPARE(repo.RubrosValidos(l), valido);
    QCOMPARE(l, lista);
    repo.GrabaRubros(l);
    QCOMPARE(base_->app->cfg.Cfg(QStringLiteral("CC_Col1")).trimmed(), lista);

    Vigilado r;
    repo.ArmaGrilla(r, QString());
    r.Lineas().limpia();
    repo.ArmaGrilla(r, l.isEmpty() ? QString() : QStringLiteral(" and Idrubro in(") + l + u')');
    QStringList hay;
    for (int f = 0; f < r.Lineas().filas(); ++f) {
        hay << r.Lineas().texto(f, col::Producto);
        QCOMPARE(r.Lineas().texto(f, col::CargaUd), QString());
    }
    QCOMPARE(hay, productos);
}

void TstModeloHoja::linea_data() {
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QStringList>("cambios"); // "DataField=texto", or "columna=texto" of line 0
    QTest::addColumn<QString>("calcula");     // "precios", or the returns in "ud" or "kg"
    QTest::addColumn<bool>("falla");          // no price column: the line keeps its prices
    QTest::addColumn<QString>("linea");       // price | ValorItem | returns ud | kg | amount
    // Run 120: 10 + 2 units, 10 + 2.5 kg loaded, 6 sold, 1 back; 6 sold kg priced.
    QTest::newRow("clase vacia usa PRECIO1")
        << "120" << QStringList{"Clase="} << "precios" << false << "100|126|7|7,5|756";
    QTest::newRow("clase 1") << "120" << QStringList{"Clase=1"} << "precios" << false
                             << "100|126|7|7,5|756";
    QTest::newRow("clase 3") << "120" << QStringList{"Clase=3"} << "precios" << false
                             << "300|368|7|7,5|2208";
    QTest::newRow("clase 5") << "120" << QStringList{"Clase=5"} << "precios" << false
                             << "500|610|7|7,5|3660";
    QTest::newRow("clase 6 sin columna")
        << "120" << QStringList{"Clase=6"} << "precios" << true << "100|126|7|7,5|756";
    QTest::newRow("clase 2.0 sin columna")
        << "120" << QStringList{"Clase=2.0"} << "precios" << true << "100|126|7|7,5|756";
    QTest::newRow("recarga con ventas, ud")
        << "120" << QStringList{"3=4"} << "ud" << false << "100|126|9|7,5|756";
    QTest::newRow("recarga con ventas, kg")
        << "120" << QStringList{"4=3,5"} << "kg" << false << "100|126|7|8,5|756";
    // A new run, its article list: nothing sold, nothing back.
    QTest::newRow("sin comprobantes")
        << "122" << QStringList{"1=12", "3=2"} << "ud" << false << "100|126|14||0";
    QTest::newRow("coma decimal") << "122" << QStringList{"2=12,5"} << "kg" << false
                                  << "100|126||12,5|0";
}

void TstModeloHoja::linea() {
    QFETCH(QString, numero);
    QFETCH(QStringList, cambios);
    QFETCH(QString, calcula);
    QFETCH(bool, falla);
    QFETCH(QString, linea);
    RepositorioReparto repo(*base_->app);
    Vigilado r;
    abre(repo, r, numero);
    for (const QString& c : cambios) {
        if (c.front().isDigit())
            prueba::PonCeldas(r, {c});
        else
            prueba::PonCampos(r, {c});
    }
    const auto calculo = [&] {
        if (calcula == QLatin1String("precios"))
            repo.RecalculaPrecios(r);
        else
            repo.CalculaDevolucion(r, 0, calcula == QLatin1String("ud"));
    };
    if (falla)
        fallaDe(calculo);
    else
        calculo();
    const ModeloGrilla& g = r.Lineas();
    QCOMPARE(QStringList({g.texto(0, col::Precio), r.ValorItem(0).texto(), g.texto(0, col::DevUd),
                          g.texto(0, col::DevKg), g.texto(0, col::Importe)})
                 .join(u'|'),
             linea);
}

void TstModeloHoja::proximoReparto() {
    prueba::Base b;
    RepositorioReparto repo(*b.app);
    QCOMPARE(repo.ProximoReparto(), QStringLiteral("122"));
    // With no runs and no articles: the first run, an empty grid.
    b.app->db.gCnn().Execute(QStringLiteral("DELETE FROM MV_REPARTO; DELETE FROM MA_ARTICULOS"));
    QCOMPARE(repo.ProximoReparto(), QStringLiteral("1"));
    Vigilado r;
    repo.ArmaGrilla(r, QString());
    QCOMPARE(r.Lineas().filas(), 0);
}

// ------------------------------------------------------------------- saving

void TstModeloHoja::grabar_data() {
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QStringList>("campos");
    QTest::addColumn<QString>("filtro"); // the article list to build; "-": the saved lines
    QTest::addColumn<QStringList>("celdas");
    QTest::addColumn<QString>("cabecera");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<int>("repartos");
    // Blanks around the number and the vehicle go; "..." collected is nothing; one
    // line per grid row, empty cells as zeros, the idle article too.
    QTest::newRow("nuevo") << " 122 "
                           << QStringList{"Fecha=15/03/2024", "Vehiculo=  XY9  ", "Clase=2",
                                          "ImpRecaudado=..."}
                           << "" << QStringList{"0,1=12", "0,2=3,5"} << "122|XY9||2|0|2024-03-15|"
                           << QStringList{"A1|A1 Salame|12|3.5|0|3.5|200|21",
                                          "A2|A2 Queso|0|0|0|0|55|10.5"}
                           << 3;
    // Saved again without finishing, a finished run keeps its stamp.
    QTest::newRow("finalizado, de nuevo")
        << "121" << QStringList{} << "-" << QStringList{}
        << "121|AB123|Gomez|1|0|2024-03-02|2024-03-05" << QStringList{} << 2;
    // Only rubro 2 in the grid now: the saved line of A1 goes.
    QTest::newRow("abierto, con otras lineas")
        << "120" << QStringList{"Chofer=O'Brien"} << " and Idrubro in('   2')"
        << QStringList{"0,1=4"} << "120|AB123|O'Brien|1|1000|2024-03-01|"
        << QStringList{"A2|A2 Queso|4|0|0|0|50|10.5"} << 2;
}

void TstModeloHoja::grabar() {
    QFETCH(QString, numero);
    QFETCH(QStringList, campos);
    QFETCH(QString, filtro);
    QFETCH(QStringList, celdas);
    QFETCH(QString, cabecera);
    QFETCH(QStringList, lineas);
    QFETCH(int, repartos);
    prueba::Base b;
    RepositorioReparto repo(*b.app);
    Vigilado r;
    abre(repo, r, numero);
    prueba::PonCampos(r, campos);
    if (filtro != QLatin1String("-")) {
        r.Lineas().limpia();
        repo.ArmaGrilla(r, filtro);
    }
    for (const QString& c : celdas) {
        prueba::PonCeldas(r, {c});
        repo.CalculaDevolucion(r, c.section(u',', 0, 0).toInt(),
                               c.section(u',', 1).section(u'=', 0, 0).toInt() % 2 == 1);
    }
    QCOMPARE(repo.Graba(r, false, nullptr), Grabacion::Grabada);

    const QString n = numero.trimmed();
    QCOMPARE(b.filas(QStringLiteral("SELECT IdReparto, Vehiculo, Chofer, Clase, ImpRecaudado, "
                                    "Fecha, FINALIZADO FROM MV_REPARTO WHERE IdReparto = ") +
                     n),
             QStringList{cabecera});
    QCOMPARE(b.filas(QStringLiteral("SELECT trim(IdArticulo), Descripcion, CantidadUD, Cantidad, "
                                    "REC_CANTIDADUD, DEV_CANTIDAD, Importe_S_Iva, aliciva FROM "
                                    "MV_REPARTODET WHERE IdReparto = ") +
                     n + QStringLiteral(" ORDER BY IdArticulo")),
             lineas);
    QCOMPARE(b.filas(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO")),
             QStringList{QString::number(repartos)});
    QCOMPARE(b.filas(QStringLiteral("SELECT COUNT(*) FROM MV_ASIENTOS")), QStringList{"1"});
    QVERIFY(b.dialogo.mostradas().isEmpty());
}

void TstModeloHoja::fallaEnCadaSentencia_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("sentencia"); // how the k-th statement begins
    QTest::newRow("control de la cabecera") << 1 << "SELECT * FROM V_MV_REPARTO WITH (UPDLOCK";
    QTest::newRow("asiento previo") << 2 << "SELECT COUNT(*) AS LINEAS FROM MV_ASIENTOS";
    // 3 to 6 number the entry through the numbering's own dialogs.
    QTest::newRow("cabecera") << 7 << "INSERT INTO \"MV_REPARTO\"";
    QTest::newRow("borrado de lineas") << 8 << "delete V_MV_REPARTODET WHERE IDREPARTO = 122";
    QTest::newRow("apertura de lineas") << 9 << "SELECT top 1 * FROM V_MV_REPARTODET";
    // Both lines go in one statement.
    QTest::newRow("lineas") << 10 << "INSERT INTO V_MV_REPARTODET";
    QTest::newRow("apertura del asiento") << 11 << "SELECT TOP 1 * FROM MV_ASIENTOS";
    QTest::newRow("debe 1") << 12 << "INSERT INTO \"MV_ASIENTOS\"";
    QTest::newRow("debe 2") << 13 << "INSERT INTO \"MV_ASIENTOS\"";
    QTest::newRow("haber") << 14 << "INSERT INTO \"MV_ASIENTOS\"";
}

void TstModeloHoja::fallaEnCadaSentencia() {
    QFETCH(int, k);
    QFETCH(QString, sentencia);
    prueba::Base b;
    RepositorioReparto repo(*b.app);
    Vigilado r;
    nuevoConGastos(repo, r);
    const QStringList antes = prueba::TablasDeGrabacion(b.app->db);
    b.inyeccion->fallaLa(k);
    const ado::Falla f = fallaDe([&] { finaliza(repo, r); });
    QVERIFY(b.inyeccion->disparada);
    QVERIFY2(b.inyeccion->sentencia.startsWith(sentencia), qPrintable(b.inyeccion->sentencia));
    // Undone whole, and the failure still carries what the server said.
    QCOMPARE(prueba::TablasDeGrabacion(b.app->db), antes);
    QCOMPARE(f.Description, QStringLiteral("Fallo de prueba"));
    QCOMPARE(f.Registros.size(), 1);
    QCOMPARE(f.Registros.first().NativeError, 50000);

    // Tried again, it goes through once, in exactly fourteen statements.
    b.inyeccion->fallaLa(15);
    QCOMPARE(finaliza(repo, r).first, Grabacion::Grabada);
    QVERIFY(!b.inyeccion->disparada);
    QCOMPARE(b.filas(kFinalizado122), QStringList{"1"});
    QCOMPARE(b.filas(kLineasDel122), QStringList{"2"});
    QCOMPARE(b.filas(kAsientoDel122), (QStringList{"1", "2", "3"}));
    QVERIFY(b.dialogo.mostradas().isEmpty());
}

void TstModeloHoja::otroPuestoGraboAntes_data() {
    QTest::addColumn<QString>("numero");     // opened at both workstations
    QTest::addColumn<QStringList>("campos"); // what the other one changes before saving
    QTest::addColumn<QStringList>("celdas"); // "-": it saves nothing
    QTest::addColumn<int>("grabacion");      // how this workstation's save then ends
    QTest::newRow("cabecera") << "120" << QStringList{"Chofer=Otro"} << QStringList{}
                              << int(Grabacion::CambiadaEnOtroPuesto);
    QTest::newRow("lineas") << "120" << QStringList{} << QStringList{"1=7"}
                            << int(Grabacion::CambiadaEnOtroPuesto);
    QTest::newRow("numero nuevo") << "122" << QStringList{"Fecha=16/03/2024", "Chofer=Otro"}
                                  << QStringList{} << int(Grabacion::NumeroOcupado);
    QTest::newRow("solo lo miro") << "120" << QStringList{} << QStringList{"-"}
                                  << int(Grabacion::Grabada);
}

void TstModeloHoja::otroPuestoGraboAntes() {
    QFETCH(QString, numero);
    QFETCH(QStringList, campos);
    QFETCH(QStringList, celdas);
    QFETCH(int, grabacion);
    prueba::Base b;
    DialogoGuionado suDialogo;
    auto otro = b.otroPuesto(suDialogo);
    RepositorioReparto repo(*b.app), suRepo(*otro);
    Vigilado r, suyo;
    abre(repo, r, numero);
    abre(suRepo, suyo, numero);
    prueba::PonCampos(r, {"Observaciones=de este puesto"});
    prueba::PonCampos(suyo, campos);
    if (celdas != QStringList{"-"}) {
        prueba::PonCeldas(suyo, celdas);
        QCOMPARE(suRepo.Graba(suyo, false, nullptr), Grabacion::Grabada);
    }
    const QStringList antes = prueba::TablasDeGrabacion(b.app->db);
    QCOMPARE(int(repo.Graba(r, false, nullptr)), grabacion);
    if (grabacion != int(Grabacion::Grabada)) {
        // Nothing of this workstation's sheet overwrote the other one's save.
        QCOMPARE(prueba::TablasDeGrabacion(b.app->db), antes);
    } else {
        QCOMPARE(b.filas(QStringLiteral("SELECT Observaciones FROM MV_REPARTO WHERE IdReparto = ") +
                         numero),
                 QStringList{"de este puesto"});
    }
    QVERIFY(b.dialogo.mostradas().isEmpty());
}

void TstModeloHoja::dosFinalizanALaVez() {
    prueba::Base b;
    DialogoGuionado suDialogo;
    auto otro = b.otroPuesto(suDialogo);
    otro->db.gCnn().setCommandTimeout(1);
    RepositorioReparto repo(*b.app), suRepo(*otro);
    Vigilado r, suyo;
    nuevoConGastos(repo, r);
    abre(suRepo, suyo, QStringLiteral("123"));
    prueba::PonCampos(suyo, {"Reparto=123", "Fecha=20/03/2024", "Clase=1", "CuentaG1=511",
                             "Gasto1=80", "CuentaMP=111", "GastoMP=80"});
    // The other workstation prepares its finish and tries to save while this one's
    // save holds the write lock, past its check: it must wait for it, and the
    // number it posts once it goes through is read after this one's.
    DatosAsiento suAsiento;
    bool esperoElBloqueo = false;
    b.inyeccion->pausaEn = 2;
    b.inyeccion->pausa = [&] {
        suAsiento = suRepo.PreparaAsiento(suyo);
        DatosAsiento intento = suAsiento;
        esperoElBloqueo =
            !fallaDe([&] { suRepo.Graba(suyo, true, &intento); }).Description.isEmpty();
    };
    QCOMPARE(finaliza(repo, r).first, Grabacion::Grabada);
    QVERIFY(esperoElBloqueo);
    QCOMPARE(b.filas(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = 123")),
             QStringList{"0"});
    QCOMPARE(suRepo.Graba(suyo, true, &suAsiento), Grabacion::Grabada);
    QCOMPARE(b.filas(QStringLiteral("SELECT DISTINCT Cpte_Origen, \"NUMERO ASIENTO\" FROM "
                                    "MV_ASIENTOS WHERE Cpte_Origen IN ('122','123') ORDER BY 1")),
             (QStringList{"122|8", "123|9"}));
}

void TstModeloHoja::conversionNombraElCampo() {
    prueba::Base b;
    RepositorioReparto repo(*b.app);
    Vigilado r;
    abre(repo, r, QStringLiteral("122"));
    prueba::PonCampos(r, {"Fecha=pasado mañana"});
    const QStringList antes = prueba::TablasDeGrabacion(b.app->db);
    const ado::Falla f = fallaDe([&] { repo.Graba(r, false, nullptr); });
    QCOMPARE(f.Number, ado::codigo::adErrDataConversion);
    QCOMPARE(f.Source, QStringLiteral("Fecha"));
    QCOMPARE(prueba::TablasDeGrabacion(b.app->db), antes);
}

void TstModeloHoja::asiento() {
    prueba::Base b;
    b.app->sesion.gCaja = QStringLiteral("7");
    RepositorioReparto repo(*b.app);
    Vigilado r;
    nuevoConGastos(repo, r);
    const auto [g, d] = finaliza(repo, r);
    QCOMPARE(g, Grabacion::Grabada);
    QVERIFY(d.registra);
    QCOMPARE(d.aviso, QString());
    // Entry 8: after entry 4 and the cost-centre journal's 7.
    QCOMPARE(
        b.filas(QStringLiteral(
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
    QCOMPARE(b.filas(kFinalizado122), QStringList{"1"});
}

void TstModeloHoja::asientoUnaVez_data() {
    QTest::addColumn<QString>("datos");
    QTest::addColumn<int>("grabacion1"); // the first finish
    QTest::addColumn<QString>("aviso1");
    QTest::addColumn<QString>("asiento1");
    QTest::addColumn<QString>("aviso2"); // after finishing again
    QTest::addColumn<QString>("asiento2");
    QTest::newRow("finalizado dos veces")
        << "" << int(Grabacion::Grabada) << ""
        << "1,2,3"
        << "El reparto 122 ya tiene su asiento contable: no se registra otro."
        << "1,2,3";
    // Nothing is written without the entry; once the setting is there, it is posted.
    QTest::newRow("sin tipo de registro")
        << "UPDATE TA_CONFIGURACION SET Valor = '' WHERE Clave = 'TIPOREGFACTURACION';"
        << int(Grabacion::SinAsiento)
        << "No se ha informado El Tipo de Registro que generará el Asiento, corrija esto desde "
           "configuración y vuelva a intentarlo"
        << ""
        << ""
        << "1,2,3";
}

void TstModeloHoja::asientoUnaVez() {
    QFETCH(QString, datos);
    QFETCH(int, grabacion1);
    QFETCH(QString, aviso1);
    QFETCH(QString, asiento1);
    QFETCH(QString, aviso2);
    QFETCH(QString, asiento2);
    prueba::Base b(datos);
    RepositorioReparto repo(*b.app);
    Vigilado r;
    nuevoConGastos(repo, r);
    auto [g, d] = finaliza(repo, r);
    QCOMPARE(int(g), grabacion1);
    QCOMPARE(d.aviso, aviso1);
    QCOMPARE(b.filas(kAsientoDel122).join(u','), asiento1);
    QCOMPARE(b.filas(kFinalizado122), QStringList{g == Grabacion::Grabada ? "1" : "0"});

    b.app->cfg.GrabaDfg(QStringLiteral("TIPOREGFACTURACION"), QStringLiteral("CB"));
    if (g == Grabacion::Grabada) {
        // The stored run is what the sheet reads again before finishing it again.
        r.Existe = true;
        repo.CargaCabecera(r);
        repo.CargaDetalle(r);
    }
    std::tie(g, d) = finaliza(repo, r);
    QCOMPARE(g, Grabacion::Grabada);
    QCOMPARE(d.aviso, aviso2);
    QCOMPARE(b.filas(kAsientoDel122).join(u','), asiento2);
    QVERIFY(b.dialogo.mostradas().isEmpty());
}

QTEST_MAIN(TstModeloHoja)
#include "tst_modelo_hoja.moc"
