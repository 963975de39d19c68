// The list lookup: its rows as a model (search, values read back, stock level,
// order) and the dialog offscreen (columns and widths, accepting, cancelling,
// search boxes and ticks).

#include "AplicacionDePrueba.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/ModeloConsulta.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

class TstListaConsulta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void busqueda_data();
    void busqueda();
    void acepta_data();
    void acepta();
    void nivelStock_data();
    void nivelStock();
    void columnas_data();
    void columnas();
    void orden_data();
    void orden();
    void cierre_data();
    void cierre();
    void cajasYMarcas();

private:
    std::unique_ptr<Lib_FrmCons3> lista(const QString& sql, const QString& devuelto = {});
    QTemporaryDir dir_;
    DialogoGuionado dialogo_;
    std::unique_ptr<Aplicacion> app_;
};

void TstListaConsulta::initTestCase() {
    const QString base = dir_.filePath(QStringLiteral("l.db"));
    ado::sqlite::CreaBaseEmbebida(
        base, recursos::EsquemaSql(),
        QStringLiteral(
            "INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
            "('V','NOM_PCLASE3','Mayorista');"
            "INSERT INTO MA_CUENTAS (CODIGO, Descripcion, TITULO) VALUES ('5.1.1','Combustible',0),"
            " ('5.1','Gastos',1), ('1.1.1','Caja',0);"
            "INSERT INTO MV_REPARTO (IdReparto, Fecha, Gasto1) VALUES (9,'2024-03-01',1),"
            " (10,'2023-02-20',2), (100,'2024-01-05',3);"
            "INSERT INTO TA_RUBROS VALUES ('   1','a'), ('   2','b'), ('  10','c'), ('  20','d'),"
            " ('  30','e');"
            "INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio3, PuntoPedido) VALUES "
            "('A','Con stock',1,5), ('B','Sin punto',1,0);"
            "INSERT INTO MV_STOCK (TC, IdComprobante, IdArticulo, CantidadUD) VALUES "
            "('AJ','1','A',6), ('AJ','1','B',1);"));
    app_ = prueba::AplicacionConectada(dialogo_, dir_.path(), base);
    QFile anchos(dir_.filePath(QStringLiteral("consultaslen.vxf")));
    QVERIFY(anchos.open(QIODevice::WriteOnly));
    anchos.write("\"TA_RUBROS\",\"2880|0|\"\r\n");
}

std::unique_ptr<Lib_FrmCons3> TstListaConsulta::lista(const QString& sql, const QString& devuelto) {
    auto d = std::make_unique<Lib_FrmCons3>(*app_);
    d->SQL = sql;
    d->CampoDevuelto = devuelto;
    d->Form_Load();
    return d;
}

namespace {
const QString kCuentas =
    QStringLiteral("SELECT Descripcion, CODIGO FROM MA_CUENTAS ORDER BY Descripcion");
}

void TstListaConsulta::busqueda_data() {
    QTest::addColumn<int>("columna");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("fila"); // from 1; 0 none
    QTest::newRow("comienzo") << 0 << "com" << 2;
    QTest::newRow("blancos y mayusculas") << 0 << "  GAS " << 3;
    QTest::newRow("vacio es la primera") << 0 << "" << 1;
    QTest::newRow("en medio no") << 0 << "bus" << 0;
    QTest::newRow("segunda columna") << 1 << "1.1" << 1;
    QTest::newRow("columna que no existe") << 2 << "" << 0;
}

void TstListaConsulta::busqueda() {
    QFETCH(int, columna);
    QFETCH(QString, texto);
    auto d = lista(kCuentas);
    QTEST(d->Busqueda(columna, texto), "fila");
}

void TstListaConsulta::acepta_data() {
    QTest::addColumn<int>("fila");
    QTest::addColumn<QString>("devuelto");
    QTest::addColumn<QStringList>("pedidos"); // empty: no list
    QTest::addColumn<QString>("valor");       // "-": nothing set
    QTest::addColumn<QStringList>("valores");
    QTest::newRow("codigo") << 1 << "codigo" << QStringList() << "5.1.1" << QStringList();
    QTest::newRow("sin campo: el ultimo pedido") << 1 << "" << QStringList{"Descripcion", "CODIGO"}
                                                 << "5.1.1" << QStringList{"Combustible", "5.1.1"};
    QTest::newRow("nombre desconocido da vacio")
        << 0 << "NADA" << QStringList{"CODIGO", "NADA"} << "" << QStringList{"1.1.1", ""};
    QTest::newRow("sin fila elegida") << -1 << "CODIGO" << QStringList() << "-" << QStringList();
}

void TstListaConsulta::acepta() {
    QFETCH(int, fila);
    QFETCH(QString, devuelto);
    QFETCH(QStringList, pedidos);
    QFETCH(QStringList, valores);
    auto d = lista(kCuentas);
    const auto e = d->Modelo().Acepta(
        fila, devuelto, pedidos.isEmpty() ? std::nullopt : std::optional<QStringList>(pedidos));
    QTEST(e.valorDevuelto ? e.valorDevuelto->toString() : QStringLiteral("-"), "valor");
    QCOMPARE(e.valores, QVariant(valores).toList());
}

void TstListaConsulta::nivelStock_data() {
    QTest::addColumn<QVariant>("punto");
    QTest::addColumn<QVariant>("stock");
    QTest::addColumn<int>("nivel");
    QTest::newRow("punto 0 con stock") << QVariant(0) << QVariant(1) << 1;
    QTest::newRow("sobre el punto") << QVariant(5) << QVariant(6.0) << 2;
    QTest::newRow("bajo el punto") << QVariant(5) << QVariant(4) << 3;
    QTest::newRow("en el punto") << QVariant(5) << QVariant(5) << 4;
    QTest::newRow("sin punto ni stock") << QVariant() << QVariant() << 4;
    QTest::newRow("punto negativo") << QVariant(-1) << QVariant(3) << 4;
}

void TstListaConsulta::nivelStock() {
    QFETCH(QVariant, punto);
    QFETCH(QVariant, stock);
    QTEST(ModeloConsulta::NivelStock(punto, stock), "nivel");
}

void TstListaConsulta::columnas_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("defecto"); // ValoresDefault
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<QList<int>>("equis"); // widths in capital X
    const QString reparto = QStringLiteral("SELECT Observaciones, Gasto1 FROM MV_REPARTO");
    const QString articulos =
        QStringLiteral("SELECT Descripcion, Precio3 FROM VT_MA_ARTICULOS ORDER BY IdArticulo");
    QTest::newRow("texto de 1000 y moneda")
        << reparto << "" << QStringList{"Observaciones", "Gasto1"} << QList<int>{60, 12};
    QTest::newRow("@10 ensancha") << reparto << "@10" << QStringList{"Observaciones", "Gasto1"}
                                  << QList<int>{70, 22};
    QTest::newRow("articulos: precio con su nombre")
        << articulos << "@10" << QStringList{"Descripcion", "Mayorista"} << QList<int>{60, 12};
}

void TstListaConsulta::columnas() {
    QFETCH(QString, sql);
    QFETCH(QStringList, titulos);
    QFETCH(QList<int>, equis);
    auto d = std::make_unique<Lib_FrmCons3>(*app_);
    d->SQL = sql;
    QFETCH(QString, defecto);
    d->ValoresDefault = defecto;
    d->Form_Load();
    const QFontMetrics fm(d->Lista()->font());
    for (int i = 0; i < titulos.size(); ++i) {
        QCOMPARE(d->Modelo().headerData(i, Qt::Horizontal).toString(), titulos[i]);
        QCOMPARE(d->IndiceColumna(titulos[i]), i + 1);
        QCOMPARE(d->Lista()->header()->sectionSize(i),
                 fm.horizontalAdvance(QString(equis[i], u'X')));
    }
    QCOMPARE(d->IndiceColumna(QStringLiteral("Precio3")), 0);
}

void TstListaConsulta::orden_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("filas");
    QTest::newRow("numeros como numeros") << "SELECT IdReparto FROM MV_REPARTO"
                                          << "9 10 100";
    QTest::newRow("fechas como fechas") << "SELECT Fecha FROM MV_REPARTO"
                                        << "20/02/2023 05/01/2024 01/03/2024";
    QTest::newRow("la sentencia ya ordena")
        << "SELECT IdReparto FROM MV_REPARTO ORDER BY IdReparto DESC"
        << "100 10 9";
}

void TstListaConsulta::orden() {
    QFETCH(QString, sql);
    auto d = std::make_unique<Lib_FrmCons3>(*app_);
    d->SQL = sql;
    d->OrdenarPorLwv = !sql.contains(QLatin1String("ORDER BY"));
    d->Form_Load();
    QStringList filas;
    for (int f = 0; f < d->Modelo().rowCount(); ++f)
        filas << d->Modelo().Valor(f, 1);
    QTEST(filas.join(u' '), "filas");
}

void TstListaConsulta::cierre_data() {
    QTest::addColumn<int>("como");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("conValores"); // Valores present afterwards
    QTest::newRow("Enter en la lista") << 0 << "5.1.1" << true;
    QTest::newRow("doble clic") << 1 << "5.1.1" << true;
    QTest::newRow("Aceptar") << 2 << "5.1.1" << true;
    QTest::newRow("Enter en la caja") << 3 << "5.1.1" << true;
    QTest::newRow("Esc") << 4 << "" << false;
    QTest::newRow("ventana cerrada") << 5 << "" << true;
}

void TstListaConsulta::cierre() {
    QFETCH(int, como);
    auto d = lista(kCuentas, QStringLiteral("CODIGO"));
    d->FiltroInicial = QStringLiteral("co"); // the next load starts on Combustible
    d->Form_Load();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    QTreeView* l = d->Lista();
    const QRect fila = l->visualRect(d->Modelo().index(d->FilaElegida(), 0));
    switch (como) {
    case 0:
        l->setFocus();
        QTest::keyClick(l, Qt::Key_Return);
        break;
    case 1:
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, fila.center());
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, fila.center());
        break;
    case 2:
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
        break;
    case 3:
        d->Caja(0)->setFocus();
        QTest::keyClick(d->Caja(0), Qt::Key_Return);
        break;
    case 4:
        QTest::keyClick(d->Caja(0), Qt::Key_Escape);
        break;
    default:
        d->close();
    }
    QVERIFY(!d->isVisible());
    QTEST(d->ValorDevuelto.toString(), "valor");
    QTEST(d->Valores.has_value(), "conValores");
}

void TstListaConsulta::cajasYMarcas() {
    auto d = lista(QStringLiteral("SELECT IdRubro, Descripcion FROM TA_RUBROS ORDER BY IdRubro"));
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    // Saved widths: 2880 twips for the first column; the 0 leaves the second as it was.
    QHeaderView* h = d->Lista()->header();
    const double dpi = d->logicalDpiX();
    QCOMPARE(h->sectionSize(0), qRound(2880 * dpi / 1440));
    QCOMPARE(h->sectionSize(1), d->Lista()->fontMetrics().horizontalAdvance(QString(50, u'X')));
    QCOMPARE(d->Caja(1)->width(), h->sectionSize(1) - qRound(50 * dpi / 1440));
    QCOMPARE(d->Caja(1)->x() - d->Caja(0)->x(), h->sectionSize(0));
    // Typing in the second box finds a row by the second column, in colour.
    d->Caja(1)->setFocus();
    QTest::keyClicks(d->Caja(1), QStringLiteral("D"));
    QCOMPARE(d->FilaElegida(), 3);
    QCOMPARE(d->CajaActual(), 1);
    QVERIFY(d->Caja(1)->styleSheet().contains(QLatin1String("0, 255, 255")));
    QTest::keyClick(d->Caja(1), Qt::Key_PageDown);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d->Lista()));
    QVERIFY(d->Caja(1)->styleSheet().contains(QLatin1String("255, 255, 255")));
    QCOMPARE(d->FilaElegida(), 3); // the key only moved the focus

    // Ticks: "10,20" holds 1, 2, 10 and 20; Marcar twice gives them back, and
    // without CampoDevuelto the first column is returned.
    auto m = std::make_unique<Lib_FrmCons3>(*app_);
    m->SQL = QStringLiteral("SELECT IdRubro FROM TA_RUBROS ORDER BY IdRubro");
    m->CampoDevuelto = QStringLiteral("IdRubro");
    m->CheckBoxes = true;
    m->ValoresDefault = QStringLiteral("10,20");
    m->Form_Load();
    m->CampoDevuelto.clear();
    QPushButton* marcar = m->findChild<QPushButton*>(QStringLiteral("cmdMarcar"));
    marcar->click();
    marcar->click();
    m->findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
    QCOMPARE(m->Valores, std::optional<QVariantList>({"1", "2", "10", "20"}));
    QCOMPARE(m->CampoDevuelto, QStringLiteral("IdRubro"));

    // Article rows in the colour of their stock level.
    auto s = std::make_unique<Lib_FrmCons3>(*app_);
    s->SQL = QStringLiteral("SELECT Descripcion, PuntoPedido, Stock FROM VT_MA_ARTICULOS ORDER BY "
                            "IdArticulo");
    s->MuestraStock = QStringLiteral("si");
    s->StkNivel1 = QStringLiteral("65280");
    s->StkNivel2 = 255;
    s->Form_Load();
    QCOMPARE(s->Modelo().Color(0), std::optional<QColor>(QColor(255, 0, 0))); // 6 over 5
    QCOMPARE(s->Modelo().Color(1), std::optional<QColor>(QColor(0, 255, 0))); // no point, 1
}

QTEST_MAIN(TstListaConsulta)
#include "tst_lista_consulta.moc"
