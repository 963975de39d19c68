// The sheet's lookups: which lookup a field asks for and the columns a table's
// lookup shows, without a window; then F3 on the real sheet, the dialog worked
// with the keyboard, and what the field, its label and the database hold after.

#include "BaseHoja.h"
#include "LeeTraza.h"
#include "VentanaHoja.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/ModeloConsulta.h"
#include "sheet/ConsultasHoja.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>

class TstConsultasHoja : public QObject {
    Q_OBJECT

private slots:
    void definicionConsulta_data();
    void definicionConsulta();
    void queConsulta_data();
    void queConsulta();

    void cuentaElegidaSeGraba();
    void importeEligeLaCuentaDeSuFila();
    void nadaElegidoDejaElCampo_data();
    void nadaElegidoDejaElCampo();
    void rubroSeAgregaALaLista();
    void repartoElegidoSeAbre();
    void fecha();
    void sentenciasPorConsulta();
};

using Tipo = ConsultaDeCampo::Tipo;

namespace {

// Table name, and the description, key and extra columns of its lookup.
const char* const kDefiniciones[][5] = {
    {"articulos en minusculas", "v_ma_articulos", "DESCRIPCION", "IDarticulo", "DESCRIPCION"},
    {"rubros sin S", "V_TA_RUBROS", "DESCRIPCION", "IDRUBRO", ""},
    {"tecnicos por nombre", "V_TA_Tecnicos", "NOMBRE", "IDTecnico", ""},
    {"areas conserva la S", "P_TA_Areas", "Descripcion", "IDAreas", ""},
    {"empresas", "P_MA_Empresas", "NombreEmpresa", "IDEmpresa", ""},
    {"usuarios antes que TA_", "TA_USUARIOS", "NOMBRE", "NOMBRE", ""},
    {"otra TA_", "TA_ZONAS", "DESCRIPCION", "CODIGO", "DESCRIPCION"},
    {"clientes", "ma_clientes", "Razon_Social", "Codigo", "Codigo_sucursal"},
    {"otra MA_", "MA_CUENTAS", "Descripcion", "Codigo", "Descripcion"},
    {"desconocida no cambia", "VT_OTRA", "d", "k", "e"},
};

// DataField and Tag of a field, the lookup it asks for and the field that gets the value.
const struct {
    const char* nombre;
    const char* campo;
    const char* tag;
    Tipo tipo;
    const char* destino;
} kCampos[] = {
    {"sin clave", "Vehiculo", " ", Tipo::Ninguna, ""},
    {"fecha", "Fecha", "Fecha", Tipo::Fecha, "Fecha"},
    {"cuenta 3", "CuentaG3", "MA_CUENTAS3", Tipo::Cuentas, "CuentaG3"},
    {"importe 2 va a su cuenta", "Gasto2", "MA_CUENTAS1", Tipo::Cuentas, "CuentaG2"},
    {"importe del medio de pago", "GastoMP", "MA_CUENTAS1", Tipo::Cuentas, "CuentaMP"},
    {"rubros", "CC_Col1", "v_ma_articulos", Tipo::Rubros, "CC_Col1"},
    {"orden por articulo", "CC_Col2", "v_ma_articulos", Tipo::Tabla, "CC_Col2"},
    {"reparto", "Reparto", "V_MV_REPARTO", Tipo::Repartos, "Reparto"},
};

} // namespace

void TstConsultasHoja::definicionConsulta_data() {
    QTest::addColumn<int>("caso");
    for (int i = 0; i < int(std::size(kDefiniciones)); ++i)
        QTest::newRow(kDefiniciones[i][0]) << i;
}

void TstConsultasHoja::definicionConsulta() {
    QFETCH(int, caso);
    const auto& c = kDefiniciones[caso];
    QString d = QStringLiteral("d"), k = QStringLiteral("k"), e = QStringLiteral("e");
    DefinicionConsulta(QString::fromLatin1(c[1]), d, k, e);
    QCOMPARE(QStringList({d, k, e}), QStringList({c[2], c[3], c[4]}));
}

void TstConsultasHoja::queConsulta_data() {
    QTest::addColumn<int>("caso");
    for (int i = 0; i < int(std::size(kCampos)); ++i)
        QTest::newRow(kCampos[i].nombre) << i;
}

void TstConsultasHoja::queConsulta() {
    QFETCH(int, caso);
    const auto& c = kCampos[caso];
    const ConsultaDeCampo q = QueConsulta(QString::fromLatin1(c.campo), QString::fromLatin1(c.tag));
    QCOMPARE(q.tipo, c.tipo);
    QCOMPARE(q.destino, QString::fromLatin1(c.destino));
}

namespace {

// The sheet on the small test database, shown and active.
struct Hoja {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    std::unique_ptr<Aplicacion> app;
    std::unique_ptr<FrmHojaRuta> ventana;

    Hoja() {
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        prueba::CreaBase(base, prueba::DatosDemo());
        app = prueba::Inicia(dialogo, dir, base);
        ventana = prueba::VentanaActiva(*app, {}, QSize(1100, 760));
    }
    QLineEdit* campo(const char* n) const { return ventana->Campo(QString::fromLatin1(n)); }
    QString texto(const char* n) const { return campo(n)->text(); }
    QString etiqueta(const char* n) const {
        return ventana->Etiqueta(QString::fromLatin1(n))->text();
    }
    void confirma(const char* n, const QString& valor) {
        campo(n)->setFocus();
        campo(n)->setText(valor);
        QTest::keyClick(campo(n), Qt::Key_Return);
    }
    // F3 in the field; `enDialogo` works the lookup dialog from inside its modal
    // loop. False when no dialog came up.
    bool consulta(const char* n, const std::function<void(Lib_FrmCons3&)>& enDialogo) {
        bool visto = false;
        QTimer espera;
        QObject::connect(&espera, &QTimer::timeout, [&] {
            auto* d = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible() || visto)
                return;
            visto = true;
            espera.stop();
            enDialogo(*d);
            if (d->isVisible()) // a failed check must not leave the test waiting
                d->reject();
        });
        espera.start(5);
        campo(n)->setFocus();
        QTest::keyClick(campo(n), Qt::Key_F3);
        return visto;
    }
    int cuenta(const QString& sql) {
        ado::Recordset rs;
        app->db.AbrirRecordset(sql, rs);
        return rs.Fields(0).Value().toInt();
    }
};

// Types into the first search box and confirms the row it lands on.
void eligePorTexto(Lib_FrmCons3& d, const QString& texto) {
    d.Caja(0)->setFocus();
    QTest::keyClicks(d.Caja(0), texto);
    QTest::keyClick(d.Caja(0), Qt::Key_Return);
}

QWidget* foco() {
    return QApplication::focusWidget();
}

} // namespace

void TstConsultasHoja::cuentaElegidaSeGraba() {
    Hoja h;
    h.confirma("Reparto", QStringLiteral("120"));
    QStringList filas;
    QVERIFY(h.consulta("CuentaG3", [&](Lib_FrmCons3& d) {
        for (int f = 0; f < d.Modelo().rowCount(); ++f)
            filas << d.Modelo().Valor(f, 1);
        eligePorTexto(d, QStringLiteral("com"));
    }));
    // The accounts by their description, as the definition file orders them.
    QCOMPARE(filas, QStringList({"Caja", "Combustible", "Gastos"}));
    QCOMPARE(h.texto("CuentaG3"), QStringLiteral("5.1.1"));
    QCOMPARE(h.etiqueta("lblCuentaG3"), QStringLiteral("Combustible"));
    QTRY_COMPARE(foco(), static_cast<QWidget*>(h.campo("Gasto3")));
    QTest::keyClick(h.campo("Gasto3"), Qt::Key_F2);
    QCOMPARE(h.cuenta(QStringLiteral("SELECT COUNT(*) FROM MV_REPARTO WHERE IdReparto = 120 AND "
                                     "CuentaG3 = '5.1.1'")),
             1);
    QCOMPARE(h.dialogo.mostradas().size(), 0);
}

void TstConsultasHoja::importeEligeLaCuentaDeSuFila() {
    Hoja h;
    h.confirma("Reparto", QStringLiteral("120"));
    h.campo("Gasto2")->setText(QStringLiteral("50"));
    QVERIFY(
        h.consulta("Gasto2", [](Lib_FrmCons3& d) { eligePorTexto(d, QStringLiteral("Comb")); }));
    QCOMPARE(h.texto("CuentaG2"), QStringLiteral("5.1.1"));
    QCOMPARE(h.etiqueta("lblCuentaG2"), QStringLiteral("Combustible"));
    QCOMPARE(h.texto("Gasto2"), QStringLiteral("50"));
    QCOMPARE(h.texto("CuentaG1"), QStringLiteral("5.1.1")); // as the run had it
    QTRY_COMPARE(foco(), static_cast<QWidget*>(h.campo("Gasto2")));
}

void TstConsultasHoja::nadaElegidoDejaElCampo_data() {
    QTest::addColumn<int>("como");
    QTest::newRow("Esc, tras las teclas de la hoja") << 0;
    QTest::newRow("boton Cancelar") << 1;
    QTest::newRow("ventana cerrada") << 2;
    QTest::newRow("aceptar sin filas") << 3;
}

void TstConsultasHoja::nadaElegidoDejaElCampo() {
    QFETCH(int, como);
    Hoja h;
    h.confirma("Reparto", QStringLiteral("120"));
    h.confirma("CuentaMP", QStringLiteral("1.1.1"));
    QCOMPARE(h.etiqueta("lblCuentaPag"), QStringLiteral("Caja"));
    QVERIFY(h.consulta("CuentaMP", [&](Lib_FrmCons3& d) {
        if (como == 0) {
            // F5 is CANCELAR on the sheet, F3 its lookup, F2 GRABAR: not here.
            for (Qt::Key k : {Qt::Key_F5, Qt::Key_F3, Qt::Key_F2, Qt::Key_F10})
                QTest::keyClick(d.Caja(0), k);
            QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(&d));
            QTest::keyClick(d.Caja(0), Qt::Key_Escape);
        } else if (como == 1) {
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdCancelar")),
                              Qt::LeftButton);
        } else if (como == 2) {
            d.close();
        } else {
            d.Lista()->clearSelection();
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdAceptar")),
                              Qt::LeftButton);
        }
        QVERIFY(!d.isVisible());
    }));
    QCOMPARE(h.texto("CuentaMP"), QStringLiteral("1.1.1"));
    QCOMPARE(h.etiqueta("lblCuentaPag"), QStringLiteral("Caja"));
    QCOMPARE(h.dialogo.mostradas().size(), 0);
}

void TstConsultasHoja::rubroSeAgregaALaLista() {
    Hoja h;
    h.confirma("CC_Col1", QStringLiteral("1"));
    QCOMPARE(h.texto("CC_Col1"), QStringLiteral("'   1'"));
    QString primera;
    QVERIFY(h.consulta("CC_Col1", [&](Lib_FrmCons3& d) {
        primera = d.Modelo().Valor(0, 1);
        QCOMPARE(d.Modelo().Columnas().size(), 2);
        eligePorTexto(d, QStringLiteral("Q"));
    }));
    QCOMPARE(primera, QStringLiteral("Fiambres")); // sorted by the list itself
    QCOMPARE(h.texto("CC_Col1"), QStringLiteral("'   1','   2'"));
    QCOMPARE(h.app->cfg.Cfg(QStringLiteral("CC_Col1")), QStringLiteral("'   1','   2'"));
    // A rubro already in the list is not added twice.
    QVERIFY(h.consulta("CC_Col1", [](Lib_FrmCons3& d) { eligePorTexto(d, QStringLiteral("F")); }));
    QCOMPARE(h.texto("CC_Col1"), QStringLiteral("'   1','   2'"));
}

void TstConsultasHoja::repartoElegidoSeAbre() {
    Hoja h;
    QStringList numeros, titulos;
    QVERIFY(h.consulta("Reparto", [&](Lib_FrmCons3& d) {
        for (int f = 0; f < d.Modelo().rowCount(); ++f)
            numeros << d.Modelo().Valor(f, 1);
        for (const auto& c : d.Modelo().Columnas())
            titulos << c.titulo;
        eligePorTexto(d, QStringLiteral("120"));
        QCOMPARE(d.Modelo().Valor(0, 5), QStringLiteral("05/03/2024")); // 121, finalized
    }));
    QCOMPARE(numeros, QStringList({"121", "120"}));
    QCOMPARE(titulos, QStringList({"IdReparto", "Fecha", "Vehiculo", "Chofer", "FINALIZADO"}));
    QVERIFY(h.ventana->Existe());
    QCOMPARE(h.texto("Reparto"), QStringLiteral("120"));
    QCOMPARE(h.texto("Chofer"), QStringLiteral("Perez"));
}

void TstConsultasHoja::fecha() {
    Hoja h;
    h.confirma("Reparto", QStringLiteral("500"));
    h.dialogo.responde(QVariant(QDate(2024, 5, 6))).responde(QVariant());
    h.campo("Fecha")->setFocus();
    QTest::keyClick(h.campo("Fecha"), Qt::Key_F3);
    QCOMPARE(h.texto("Fecha"), QStringLiteral("06/05/2024"));
    QTRY_COMPARE(foco(), static_cast<QWidget*>(h.campo("Clase"))); // confirmed, moved on
    h.campo("Fecha")->setFocus();
    QTest::keyClick(h.campo("Fecha"), Qt::Key_F3); // the picker cancelled
    QCOMPARE(h.texto("Fecha"), QStringLiteral("06/05/2024"));
    QTRY_COMPARE(foco(), static_cast<QWidget*>(h.campo("Fecha")));
}

void TstConsultasHoja::sentenciasPorConsulta() {
    QTemporaryDir trazas;
    const QString traza = trazas.filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    Hoja h;
    qputenv("HOJARUTA_TRAZA", QByteArray());
    h.confirma("Reparto", QStringLiteral("120"));
    QStringList antes, enDialogo;
    const auto mide = [&](const char* campo) {
        antes = SentenciasDeTraza(traza);
        return h.consulta(campo, [&](Lib_FrmCons3& d) {
            enDialogo = SentenciasDeTraza(traza).mid(antes.size());
            QTest::keyClick(d.Caja(0), Qt::Key_Escape);
        });
    };
    // The first lookup makes the controller: its six settings, the row limit, the list.
    QVERIFY(mide("CuentaG1"));
    QCOMPARE(enDialogo.size(), 8);
    QVERIFY(enDialogo[0].contains(QLatin1String("'MostrarStockenConsultas'")));
    QVERIFY(enDialogo[5].contains(QLatin1String("'UsaConsultaLike'")));
    QVERIFY(enDialogo[6].contains(QLatin1String("'TopConsArt'")));
    // As the definition file builds it, the table read through its synonym.
    QCOMPARE(enDialogo[7], QStringLiteral("SELECT TOP 1000 DESCRIPCION,CODIGO FROM SS_MA_CUENTAS  "
                                          "with(nolock)  ORDER BY DESCRIPCION "));
    for (const char* campo : {"CuentaG2", "Gasto4"}) {
        QVERIFY(mide(campo));
        QCOMPARE(enDialogo.size(), 2);
    }
}

QTEST_MAIN(TstConsultasHoja)
#include "tst_consultas_hoja.moc"
