// The list lookup: its rows as a model (search, values read back, stock level,
// order) and the dialog offscreen (columns and widths, accepting, cancelling,
// search boxes and ticks).

#include "AplicacionDePrueba.h"
#include "Fallas.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/ModeloConsulta.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
    void cantidades_data();
    void cantidades();
    void teclasEnLista_data();
    void teclasEnLista();
    void busquedasSeApilan();
    void faltante();
    void ordenPorCabecera();
    void preMarcasDelControlador();

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

namespace {
// Rubros with a quantity column, as a caller that takes quantities writes it.
const QString kConCantidad = QStringLiteral(
    "SELECT IdRubro, Descripcion, '1.0' AS [**Cantidad**] FROM TA_RUBROS ORDER BY IdRubro");
} // namespace

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

    // Ticks: "10, 20" ticks the rows 10 and 20 (whole items: not 1 nor 2); Marcar
    // twice gives them back, and without CampoDevuelto the first column is returned.
    auto m = std::make_unique<Lib_FrmCons3>(*app_);
    m->SQL = QStringLiteral("SELECT IdRubro FROM TA_RUBROS ORDER BY IdRubro");
    m->CampoDevuelto = QStringLiteral("IdRubro");
    m->CheckBoxes = true;
    m->ValoresDefault = QStringLiteral("10, 20");
    m->Form_Load();
    m->CampoDevuelto.clear();
    QPushButton* marcar = m->findChild<QPushButton*>(QStringLiteral("cmdMarcar"));
    marcar->click();
    marcar->click();
    m->findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
    QCOMPARE(m->Valores, std::optional<QVariantList>({"10", "20"}));
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

void TstListaConsulta::cantidades_data() {
    QTest::addColumn<QString>("teclas"); // +: Insert, -: Delete, =x: Shift+Insert answered x
    QTest::addColumn<QString>("celda");
    QTest::addColumn<bool>("marcada");
    QTest::newRow("delete en 1.0 destilda") << "-"
                                            << "0.00" << false;
    QTest::newRow("insert despues de 0.00") << "-+"
                                            << "1.0" << true;
    QTest::newRow("insert suma") << "++"
                                 << "3.0" << true;
    QTest::newRow("cantidad tipeada") << "=2.5"
                                      << "2.50" << true;
    QTest::newRow("cantidad con coma") << "=2,5"
                                       << "2.50" << true;
    QTest::newRow("cero no cambia") << "=0"
                                    << "1.0" << false;
    QTest::newRow("vacia no cambia") << "="
                                     << "1.0" << false;
    QTest::newRow("letras no cambian") << "=abc"
                                       << "1.0" << false;
}

void TstListaConsulta::cantidades() {
    QFETCH(QString, teclas);
    auto d = lista(kConCantidad);
    ModeloConsulta& modelo = d->Modelo();
    if (teclas.startsWith(u'=')) {
        modelo.PonCantidad(0, teclas.mid(1));
    } else {
        for (QChar t : teclas)
            modelo.SumaCantidad(0, t == u'+' ? 1 : -1);
    }
    QTEST(modelo.TextoCantidad(0), "celda");
    QTEST(modelo.Marcada(0), "marcada");
    // A list without the column fails, for the key handler's dialog.
    QVERIFY(!fallaDe([&] { lista(kCuentas)->Modelo().SumaCantidad(0, 1); }).Description.isEmpty());
}

void TstListaConsulta::teclasEnLista_data() {
    QTest::addColumn<int>("tecla");
    QTest::addColumn<int>("modificadores");
    QTest::addColumn<QString>("texto"); // the event's text
    QTest::addColumn<QString>("caja");  // the search box afterwards, which had "1"
    QTest::newRow("digito del teclado numerico") << int(Qt::Key_2) << int(Qt::KeypadModifier) << "2"
                                                 << "12";
    QTest::newRow("letra como se tipeo") << int(Qt::Key_A) << 0 << "a"
                                         << "1a";
    QTest::newRow("tecla de funcion no escribe") << int(Qt::Key_F7) << 0 << ""
                                                 << "1";
    QTest::newRow("retroceso borra") << int(Qt::Key_Backspace) << 0 << "\b"
                                     << "";
    QTest::newRow("espacio sin marcas") << int(Qt::Key_Space) << 0 << " "
                                        << "1 ";
}

void TstListaConsulta::teclasEnLista() {
    QFETCH(int, tecla);
    QFETCH(int, modificadores);
    QFETCH(QString, texto);
    auto d = lista(QStringLiteral("SELECT IdRubro, Descripcion FROM TA_RUBROS ORDER BY IdRubro"));
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    d->Caja(1)->setFocus();
    d->Caja(1)->setText(QStringLiteral("1"));
    d->Lista()->setFocus();
    QKeyEvent e(QEvent::KeyPress, tecla, Qt::KeyboardModifiers(modificadores), texto);
    QApplication::sendEvent(d->Lista(), &e);
    QTEST(d->Caja(1)->text(), "caja");
}

void TstListaConsulta::busquedasSeApilan() {
    auto d = lista(QStringLiteral("SELECT IdRubro, Descripcion FROM TA_RUBROS ORDER BY IdRubro"));
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    const auto buscaCon = [&](int caja, const QString& texto) {
        d->Caja(caja)->setFocus();
        d->Caja(caja)->setText(texto);
        QTest::keyClick(d->Caja(caja), Qt::Key_F5);
        QCOMPARE(d->Caja(caja)->text(), QString());
    };
    buscaCon(0, QStringLiteral("*0")); // codes ending in 0 (at the start, "*" is "%")
    QCOMPARE(d->Modelo().rowCount(), 3);
    buscaCon(1, QStringLiteral("d")); // and descriptions starting with d
    QCOMPARE(d->Modelo().rowCount(), 1);
    QCOMPARE(d->Modelo().Valor(0, 2), QStringLiteral("d"));
    QCOMPARE(d->SQL, QStringLiteral("SELECT IdRubro, Descripcion FROM TA_RUBROS  where IdRubro "
                                    "like '%0%'  and Descripcion like 'd%' ORDER BY IdRubro   "));
    d->findChild<QPushButton*>(QStringLiteral("cmdNuevaBusqueda"))->click();
    QCOMPARE(d->Modelo().rowCount(), 5);
    // A hostile text stays inside its literal: nothing is found, nothing changes.
    buscaCon(1, QStringLiteral("' OR 1=1 --"));
    QCOMPARE(d->Modelo().rowCount(), 0);
    QVERIFY(dialogo_.mostradas().isEmpty());
}

void TstListaConsulta::faltante() {
    auto d = lista(QStringLiteral("SELECT IdArticulo, Descripcion FROM VT_MA_ARTICULOS ORDER BY "
                                  "IdArticulo"));
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    const auto cuenta = [&] {
        ado::Recordset rs;
        app_->db.AbrirRecordset(QStringLiteral("SELECT COUNT(*) FROM MV_FALTANTES WHERE "
                                               "Descripcion = 'Con stock'"),
                                rs);
        return rs.Fields(0).Value().toInt();
    };
    const int antes = cuenta();
    dialogo_.responde(plataforma::Respuesta::No);
    QTest::keyClick(d->Lista(), Qt::Key_F12);
    QCOMPARE(dialogo_.mostradas().last().texto,
             QStringLiteral("Desea informar el articulo A Con stock\r\ncomo un faltante de "
                            "stock?"));
    QCOMPARE(cuenta(), antes);
    dialogo_.responde(plataforma::Respuesta::Yes);
    QTest::keyClick(d->Caja(0), Qt::Key_F12);
    QCOMPARE(cuenta(), antes + 1);
    // A list that is not of articles ignores the key.
    d->close();
    auto c = lista(kCuentas);
    c->show();
    QVERIFY(QTest::qWaitForWindowExposed(c.get()));
    const qsizetype cajas = dialogo_.mostradas().size();
    QTest::keyClick(c->Lista(), Qt::Key_F12);
    QCOMPARE(dialogo_.mostradas().size(), cajas);
}

void TstListaConsulta::ordenPorCabecera() {
    auto d = lista(QStringLiteral("SELECT IdReparto, Fecha FROM MV_REPARTO ORDER BY IdReparto"));
    const auto columna = [&](int c) {
        QStringList v;
        for (int f = 0; f < d->Modelo().rowCount(); ++f)
            v << d->Modelo().Valor(f, c);
        return v.join(u',');
    };
    QHeaderView* h = d->Lista()->header();
    // The first click sorts descending; numbers as numbers, dates as dates.
    emit h->sectionClicked(0);
    QCOMPARE(columna(1), QStringLiteral("100,10,9"));
    emit h->sectionClicked(1);
    QCOMPARE(columna(1), QStringLiteral("10,100,9"));
}

void TstListaConsulta::preMarcasDelControlador() {
    // A check-box lookup opens with the rows its caller ticked (whole codes) and
    // returns them when the operator accepts without changing anything.
    VistaConsultaQt vista(*app_, nullptr);
    Lib_ClsCons3 c(*app_, vista);
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget());
        QVERIFY(d);
        QTest::keyClick(d->Lista(), Qt::Key_Return);
    });
    c.Checks = true;
    c.CampoDevuelto = QStringLiteral("IdRubro");
    c.ConsultaSearch(QStringLiteral("SELECT IdRubro FROM TA_RUBROS ORDER BY IdRubro"), nullptr, {},
                     nullptr, nullptr, {}, false, QStringLiteral("1,20"));
    QCOMPARE(c.Valores, std::optional<QVariantList>({"1", "20"}));
}

QTEST_MAIN(TstListaConsulta)
#include "tst_lista_consulta.moc"
