// The tree lookup: its nodes as a model (nesting, search, ticks, what accepting
// returns), the new search's statement, and the dialog offscreen on a database
// (the families tree, the look-ups of the chosen code, the controller's view).

#include "AplicacionDePrueba.h"
#include "SentenciaConsulta.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "lookup/ModeloArbol.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

class TstArbolConsulta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void anidado_data();
    void anidado();
    void busca_data();
    void busca();
    void marcas();
    void nuevaBusqueda_data();
    void nuevaBusqueda();
    void familias();
    void acepta_data();
    void acepta();
    void desdeElControlador();
    void listaSimple();

private:
    QTemporaryDir dir_;
    DialogoGuionado dialogo_;
    std::unique_ptr<Aplicacion> app_;
};

namespace {

// Each node as code>parent's code, in tree order; the root is left out.
QString forma(const ModeloArbol& m) {
    QStringList s;
    for (const int n : m.EnOrden())
        if (n != ModeloArbol::kRaiz)
            s << m.Codigo(n) + u'>' + m.Codigo(m.Padre(n));
    return s.join(u' ');
}

std::unique_ptr<ModeloArbol> automatico(const QStringList& codigos) {
    auto m = std::make_unique<ModeloArbol>();
    for (const QString& c : codigos)
        m->AgregaAutomatico(c, QStringLiteral("d") + c);
    return m;
}

} // namespace

void TstArbolConsulta::initTestCase() {
    const QString base = dir_.filePath(QStringLiteral("a.db"));
    ado::sqlite::CreaBaseEmbebida(
        base, recursos::EsquemaSql(),
        QStringLiteral(
            "INSERT INTO TA_FAMILIAS VALUES ('01','Bebidas'), ('0101','Gaseosas'),"
            " ('0102','Aguas'), ('02','Almacen'), ('0201','Fideos'), ('0301','Sueltos');"
            "INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES ('2','Ventas'), ('21','Salon');"
            // The accounts are padded, so that a value tells which table it came from.
            "INSERT INTO MA_CUENTAS (CODIGO, Descripcion, TITULO) VALUES ('  21','Otra',0),"
            " ('  5','Gastos',1);"
            "INSERT INTO MA_POSICIONES (IDPOSICION, DESCRIPCION) VALUES ('A01','Pasillo');"));
    app_ = prueba::AplicacionConectada(dialogo_, dir_.path(), base);
}

void TstArbolConsulta::anidado_data() {
    QTest::addColumn<QStringList>("codigos");
    QTest::addColumn<QString>("arbol");
    QTest::newRow("prefijos") << QStringList{"1", "11", "111", "12", "2"}
                              << "1> 11>1 111>11 12>1 2>";
    QTest::newRow("el padre llega despues") << QStringList{"11", "1", "111"} << "11> 111>11 1>";
    QTest::newRow("sin distinguir mayusculas")
        << QStringList{"ab", "AB1", "aB12"} << "ab> AB1>ab aB12>AB1";
    QTest::newRow("el prefijo mas largo gana")
        << QStringList{"A", "A01", "A0101", "A02"} << "A> A01>A A0101>A01 A02>A";
}

void TstArbolConsulta::anidado() {
    QFETCH(QStringList, codigos);
    QTEST(forma(*automatico(codigos)), "arbol");
}

void TstArbolConsulta::busca_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("codigo"); // "-": nothing found
    QTest::newRow("comienzo de Consulta... es la raiz") << "con"
                                                        << "";
    QTest::newRow("caja vacia es la raiz") << ""
                                           << "";
    QTest::newRow("por codigo, en orden del arbol") << "11"
                                                    << "11";
    QTest::newRow("por descripcion, la primera en orden") << "do"
                                                          << "12";
    QTest::newRow("tras el primer guion todo es descripcion") << "1 - DAL"
                                                              << "7-1";
    QTest::newRow("el codigo se corta en el guion") << "7-"
                                                    << "-";
    QTest::newRow("el texto no se recorta") << " 1"
                                            << "-";
}

void TstArbolConsulta::busca() {
    QFETCH(QString, texto);
    QFETCH(QString, codigo);
    ModeloArbol m;
    m.AgregaAutomatico(QStringLiteral("1"), QStringLiteral("Uno"));
    m.AgregaAutomatico(QStringLiteral("12"), QStringLiteral("Doce"));
    m.AgregaAutomatico(QStringLiteral("2"), QStringLiteral("Dos"));
    m.AgregaAutomatico(QStringLiteral("11"), QStringLiteral("Once")); // after 12, above 2 in order
    m.AgregaAutomatico(QStringLiteral("7-1"), QStringLiteral("dalmata"));
    const int n = m.Busca(texto);
    QCOMPARE(n < 0 ? QStringLiteral("-") : m.Codigo(n), codigo);
}

void TstArbolConsulta::marcas() {
    // Ten generations and a second branch; far more nodes than 16 bits count.
    QStringList codigos;
    QString c;
    for (int i = 0; i < 10; ++i)
        codigos << (c += u'1');
    for (int i = 0; i < 40000; ++i)
        codigos << QStringLiteral("2%1").arg(i, 5, 10, QLatin1Char('0'));
    const auto arbol = automatico(codigos);
    ModeloArbol& m = *arbol;
    QCOMPARE(m.Cantidad(), 40011);
    m.setCheckBoxes(true);
    const auto marcadas = [&] {
        QStringList s;
        for (const int n : m.EnOrden())
            if (m.Marcada(n))
                s << (n == ModeloArbol::kRaiz ? QStringLiteral("A") : m.Codigo(n));
        return s;
    };
    m.setMarcada(ModeloArbol::kRaiz, true);
    QCOMPARE(marcadas().size(), 40011); // the tenth generation too
    m.setMarcada(m.Busca(QStringLiteral("111")), false);
    QCOMPARE(marcadas().mid(0, 3), (QStringList{"A", "1", "11"})); // ancestors keep theirs
    QVERIFY(!m.Marcada(m.Busca(QStringLiteral("1111111111"))));
    // The root ticked gives no entry of its own.
    const auto ninguna = [](const QString&, const QString&, const QString&) {
        return std::optional<QString>();
    };
    const ModeloArbol::Eleccion e = m.Acepta(-1, QStringLiteral("idfamilia"), ninguna);
    QVERIFY(e.acepta && !e.valorDevuelto);
    QCOMPARE(e.valores.mid(0, 3), (QVariantList{"1", "11", "200000"}));

    // Pre-ticks are whole items, and only those nodes.
    const auto otro = automatico({"1", "11", "12", "111"});
    ModeloArbol& p = *otro;
    p.setCheckBoxes(true);
    p.PreMarca(QStringLiteral(" 11 ,1,x"));
    QStringList pre;
    for (const int n : p.EnOrden())
        if (p.Marcada(n))
            pre << p.Codigo(n);
    QCOMPARE(pre, (QStringList{"1", "11"}));
}

void TstArbolConsulta::nuevaBusqueda_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("textos"); // one F5 each
    QTest::addColumn<QString>("resultado");
    QTest::newRow("dos busquedas antes del order by")
        << "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO WHERE TITULO = 0 ORDER BY CODIGO"
        << QStringList{"AB", "CD"}
        << "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO WHERE TITULO = 0  and Descripcion like "
           "'%AB%'  and Descripcion like '%CD%' ORDER BY CODIGO";
    QTest::newRow("sin order by al final")
        << "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO" << QStringList{"x"}
        << "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO where "
           "Descripcion like '%x%' ";
    QTest::newRow("apostrofes duplicados")
        << "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO" << QStringList{"O'Higgins"}
        << "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO where Descripcion like '%O''Higgins%' ";
}

void TstArbolConsulta::nuevaBusqueda() {
    QFETCH(QString, sql);
    QFETCH(QStringList, textos);
    for (const QString& t : textos)
        sql = consulta::NuevaBusquedaArbol(sql, t);
    QTEST(sql, "resultado");
}

void TstArbolConsulta::familias() {
    // The statement as the suite's other programs send it.
    QCOMPARE(consulta::SentenciaFamilias(),
             QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 "
                            "idfamilia FROM @Admin_v_ta_familias a   Where a.IdFamilia < "
                            "b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < "
                            "Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY idfamilia DESC) AS "
                            "[relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY "
                            "IdFamilia"));
    Lib_FrmCons3Tree d(*app_);
    d.SQL = QStringLiteral("select * from V_TA_FAMILIAS");
    d.Form_Load();
    // 0301 hangs under 02, the greatest shorter code below it.
    QCOMPARE(forma(d.Modelo()), QStringLiteral("01> 0101>01 0102>01 02> 0201>02 0301>02"));
    QCOMPARE(d.Modelo().At(1).Text, QStringLiteral("01 - Bebidas"));
    QVERIFY(d.Arbol()->isExpanded(d.Modelo().IndiceDe(ModeloArbol::kRaiz)));
    // F5 puts the families statement back: the whole tree again, the box empty.
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.Caja()->setText(QStringLiteral("Gas"));
    QCOMPARE(d.NodoElegido(), 2);
    QVERIFY(d.Arbol()->isExpanded(d.Modelo().IndiceDe(1)));
    QTest::keyClick(d.Caja(), Qt::Key_F5);
    QCOMPARE(d.Caja()->text(), QString());
    QCOMPARE(d.Modelo().Cantidad(), 7);
    // A statement without rows: the root alone.
    d.SQL = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO WHERE CODIGO = 'no'");
    d.Form_Load();
    QCOMPARE(d.Modelo().Cantidad(), 1);
    QVERIFY(dialogo_.mostradas().isEmpty());
}

void TstArbolConsulta::acepta_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("campo"); // CampoDevuelto
    QTest::addColumn<QString>("busca"); // typed in the box; "-": nothing selected
    QTest::addColumn<QString>("valor"); // "(sin)": not set, the dialog stays open
    const QString centros = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO UNION ALL "
                                           "SELECT '5', 'Gastos' ORDER BY 1");
    QTest::newRow("centro de costo antes que cuenta") << centros << "CODIGO"
                                                      << "21"
                                                      << "21";
    QTest::newRow("si no, la cuenta") << centros << "codigo"
                                      << "5"
                                      << "  5";
    QTest::newRow("en ninguna") << "SELECT '9', 'x'"
                                << "CODIGO"
                                << "9"
                                << "";
    QTest::newRow("posicion") << "SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES"
                              << "IDPOSICION"
                              << "A0"
                              << "A01";
    QTest::newRow("familia") << "select * from v_ta_familias"
                             << "IDFAMILIA"
                             << "Agu"
                             << "0102";
    QTest::newRow("otro campo no fija nada") << centros << "DESCRIPCION"
                                             << "2"
                                             << "(vacio)";
    QTest::newRow("nada elegido no hace nada") << centros << "CODIGO"
                                               << "-"
                                               << "(sin)";
}

void TstArbolConsulta::acepta() {
    QFETCH(QString, sql);
    QFETCH(QString, busca);
    Lib_FrmCons3Tree d(*app_);
    d.SQL = sql;
    QFETCH(QString, campo);
    d.CampoDevuelto = campo;
    d.Form_Load();
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    if (busca != u'-')
        QTest::keyClicks(d.Caja(), busca);
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
    const QString valor = d.isVisible()               ? QStringLiteral("(sin)")
                          : d.ValorDevuelto.isValid() ? d.ValorDevuelto.toString()
                                                      : QStringLiteral("(vacio)");
    QTEST(valor, "valor");
    QVERIFY(dialogo_.mostradas().isEmpty());
}

void TstArbolConsulta::desdeElControlador() {
    // The tree dialog as the controller shows it: ticks kept from ValoresDefault,
    // one more ticked by the operator, Enter; the ticked codes come back.
    VistaConsultaQt vista(*app_, nullptr);
    Lib_ClsCons3 c(*app_, vista);
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<Lib_FrmCons3Tree*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->Modelo().setData(d->Modelo().IndiceDe(d->Modelo().Busca(QStringLiteral("0201"))),
                            Qt::Checked, Qt::CheckStateRole);
        QTest::keyClick(d->Caja(), Qt::Key_Return);
    });
    c.Checks = true;
    c.CampoDevuelto = QStringLiteral("IDFAMILIA");
    c.ConsultaSearch(QStringLiteral("SELECT IdFamilia FROM V_TA_FAMILIAS"), nullptr, {}, nullptr,
                     nullptr, {}, true, QStringLiteral("0102"));
    QCOMPARE(c.Valores, std::optional<QVariantList>({"0102", "0201"}));
    QVERIFY(!c.Checks && c.CampoDevuelto.isEmpty());
}

void TstArbolConsulta::listaSimple() {
    // Options ticked by their first character; 200 characters make the dialog as
    // wide as the screen.
    Lib_FrmCons3 d(*app_);
    d.PreparaListaSimple({QStringLiteral("Opciones"),
                          {QString(199, u'a'), QStringLiteral("b")},
                          {true, false},
                          true,
                          200});
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(d.width(), d.screen()->geometry().width());
    QCOMPARE(d.windowTitle(), QStringLiteral("Opciones"));
    QVERIFY(!d.findChild<QPushButton*>(QStringLiteral("cmdNuevaBusqueda"))->isVisible());
    d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
    QCOMPARE(d.Valores, std::optional<QVariantList>({QString(199, u'a')}));
}

QTEST_MAIN(TstArbolConsulta)
#include "tst_arbol_consulta.moc"
