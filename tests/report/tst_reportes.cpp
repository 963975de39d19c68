// Reports through the application: finding a report's file, and the run sheet's
// report on databases made from the schema and the demo data, compared with
// reference dumps and with the sheet's own arithmetic.
// HOJARUTA_REGENERA_VOLCADOS=1 rewrites the reference dumps instead.

#include "AplicacionDePrueba.h"
#include "app/Reportes.h"
#include "platform/Texto.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "report/Documento.h"
#include "resources/Recursos.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using reporte::Documento;

class TstReportes : public QObject {
    Q_OBJECT

private slots:
    void nombreReporte_data();
    void nombreReporte();
    void existeArchivo_data();
    void existeArchivo();
    void planilla_data();
    void planilla();
    void unaPagina_data();
    void unaPagina();
    void trescientasLineas();
    void empresaYConexion();
    void fallas_data();
    void fallas();
    void conValores_data();
    void conValores();
};

namespace {

const QString kPlanilla = QStringLiteral(ARCHIVO_PLANILLA);
const QString kVolcados = QStringLiteral(CARPETA_VOLCADOS);

// Run 13 has a header and no lines; run 14 has 300 lines of articles of its own.
const QString kDatosExtra = QStringLiteral(R"(
INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, Chofer, Observaciones)
  VALUES (13, '2026-12-04', 1, 'AA000AA', 'PRUEBA, SIN LINEAS', 'REPARTO SIN LINEAS');
INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, Chofer)
  VALUES (14, '2026-12-05', 2, 'AB123CD', 'PRUEBA, TRESCIENTAS LINEAS');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)
INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, IdRubro, Precio1, Precio2, TasaIva, Impuestos, Suspendido)
  SELECT printf('%25s', 'L' || i), 'ARTICULO ' || i, '   1', 10, 20.5, 21, 0, 0 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)
INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, Cantidad)
  SELECT 14, printf('%25s', 'L' || i), i, i * 1.5 FROM n;
)");

// What reaches the operator: recorded, nothing printed.
class SalidaRegistrada : public reporte::Salida {
public:
    QList<Documento> previas;
    QList<std::pair<bool, bool>> permisos;
    int directas = 0;

    bool ImprimeDirecto(const Documento&, int) override {
        ++directas;
        return false;
    }
    void VistaPrevia(const Documento& d, bool imprimir, bool exportar) override {
        previas << d;
        permisos << std::pair{imprimir, exportar};
    }
};

// The databases the tests start from, made once and copied for each test.
struct Bases {
    QTemporaryDir dir;
    QString demo = dir.filePath(QStringLiteral("demo.db"));
    QString vacia = dir.filePath(QStringLiteral("vacia.db"));
    Bases() {
        ado::sqlite::CreaBaseEmbebida(demo, recursos::EsquemaSql(),
                                      recursos::DemoSql() + kDatosExtra);
        ado::sqlite::CreaBaseEmbebida(vacia, recursos::EsquemaSql());
    }
};

const Bases& bases() {
    static const Bases b;
    return b;
}

// A program folder with the run sheet's report and a copy of a database, and the
// application started on it.
struct Programa {
    QTemporaryDir dir;
    QString base;
    DialogoGuionado dialogo;
    std::unique_ptr<Aplicacion> app;

    explicit Programa(bool conDemo = true, const QString& clave = QString()) {
        base = dir.filePath(QStringLiteral("hojaruta.db"));
        QFile::copy(conDemo ? bases().demo : bases().vacia, base);
        QFile::copy(kPlanilla, dir.filePath(QStringLiteral("RP_PLAREPARTO.rpt")));
        app = prueba::NuevaAplicacion(dialogo, dir.path());
        QString cadena;
        const QString linea =
            QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= %2; @Caja=1;")
                .arg(base, clave);
        if (!app->IniciaAplicacion(false, linea, cadena, ado::adUseClient))
            qFatal("the test database did not open");
    }
    QString carpeta() const { return app->sesion.carpetaPrograma; }
    void escribe(const QString& relativa, const QByteArray& contenido = "x") {
        const QString ruta = dir.filePath(relativa);
        QDir().mkpath(QFileInfo(ruta).path());
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly) || f.write(contenido) < 0)
            qFatal("cannot write a test file");
    }
};

QStringList textos(const Documento& d, int pagina) {
    QStringList t;
    for (const reporte::Item& i : d.paginas[pagina].items)
        if (i.tipo == reporte::Item::Tipo::Texto)
            t << i.texto;
    return t;
}

Currency total(const Documento& d, const QString& nombre) {
    const auto items = d.Nombrados(nombre);
    return items.isEmpty() ? Currency::DesdeEscalado(-1) : items.first()->valor.value<Currency>();
}

// The figures of the load-control sheet for a run, computed as the sheet computes
// them, from the tables read one by one.
struct CifrasHoja {
    Currency cargaUd, cargaKg, recargaUd, recargaKg, devUd, devKg, vtaUd, vtaKg, importe;
    Currency valorCarga, gastos, final;
};

CifrasHoja cifrasDeLaHoja(Aplicacion& app, int reparto) {
    const auto lee = [&](const QString& sql) {
        auto rs = std::make_unique<ado::Recordset>();
        rs->Open(sql, app.db.gCnn());
        return rs;
    };
    const auto n = [](ado::Recordset& rs, const QString& campo) {
        return Utilidades::ANumero(rs.Fields(campo).Value());
    };
    CifrasHoja c;
    auto cabeza = lee(QStringLiteral("SELECT * FROM MV_REPARTO WHERE IdReparto = %1").arg(reparto));
    const QString clase = cabeza->Fields(QStringLiteral("Clase")).Value().toString();
    c.gastos = n(*cabeza, QStringLiteral("Gasto4")) + n(*cabeza, QStringLiteral("Gasto3")) +
               n(*cabeza, QStringLiteral("Gasto2")) + n(*cabeza, QStringLiteral("Gasto1"));
    c.final = n(*cabeza, QStringLiteral("ImpRecaudado")) - c.gastos;
    const Currency piva = Utilidades::ANumero(
        lee(QStringLiteral("SELECT Valor FROM TA_CONFIGURACION WHERE Clave = 'PIVA'"))
            ->Fields(0)
            .Value());
    auto lineas =
        lee(QStringLiteral("SELECT * FROM MV_REPARTODET WHERE IdReparto = %1").arg(reparto));
    for (; !lineas->Eof(); lineas->MoveNext()) {
        const QString id = lineas->Fields(QStringLiteral("IdArticulo")).Value().toString();
        const QString literal = u'\'' + plataforma::DuplicaComillas(id) + u'\'';
        auto a = lee(QStringLiteral("SELECT * FROM MA_ARTICULOS WHERE IdArticulo = ") + literal);
        const Currency P =
            n(*a, clase.isEmpty() ? QStringLiteral("Precio1") : QStringLiteral("Precio") + clase);
        const Currency T = n(*a, QStringLiteral("TasaIva")) == Currency()
                               ? piva
                               : n(*a, QStringLiteral("TasaIva"));
        const Currency valorItem = P + Currency::DesdeDouble(P.aDouble() * T.aDouble() / 100.0) +
                                   n(*a, QStringLiteral("Impuestos"));
        Currency vendidoKg, vendidoUd, devueltoKg, devueltoUd;
        auto movs =
            lee(QStringLiteral("SELECT S.Cantidad, S.CantidadUD FROM MV_STOCK S JOIN MV_CPTE "
                               "C ON C.TC = S.TC AND C.IdComprobante = S.IdComprobante "
                               "WHERE C.IdReparto = %1 AND S.IdArticulo = ")
                    .arg(reparto) +
                literal);
        for (; !movs->Eof(); movs->MoveNext()) {
            const Currency kg = n(*movs, QStringLiteral("Cantidad"));
            const Currency ud = n(*movs, QStringLiteral("CantidadUD"));
            if (kg < Currency()) {
                vendidoKg -= kg;
                vendidoUd += ud < Currency() ? -ud : ud;
            } else if (kg > Currency()) {
                devueltoKg += kg;
                devueltoUd += ud;
            }
        }
        const Currency ud = n(*lineas, QStringLiteral("CantidadUD"));
        const Currency kg = n(*lineas, QStringLiteral("Cantidad"));
        const Currency rud = n(*lineas, QStringLiteral("REC_CANTIDADUD"));
        const Currency rkg = n(*lineas, QStringLiteral("REC_CANTIDAD"));
        c.cargaUd += ud;
        c.cargaKg += kg;
        c.recargaUd += rud;
        c.recargaKg += rkg;
        c.vtaUd += vendidoUd;
        c.vtaKg += vendidoKg;
        c.devUd += ud + rud - vendidoUd + devueltoUd;
        c.devKg += kg + rkg - vendidoKg + devueltoKg;
        c.importe += valorItem * vendidoKg;
        c.valorCarga += (kg + rkg) * valorItem;
    }
    return c;
}

} // namespace

void TstReportes::nombreReporte_data() {
    QTest::addColumn<QString>("datos");        // rows of the test database
    QTest::addColumn<QStringList>("archivos"); // in the program folder; "@" in the current one
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QString>("esperado");
    QTest::addColumn<QString>("aviso"); // the missing-file message, if any

    const QString fila =
        QStringLiteral("INSERT INTO TA_REPORTES (NOMBRE, Archivo) VALUES ('%1', '%2');");
    const QString aviso = QStringLiteral(
        "No se encuentra el Archivo %1 (RP_X) por favor verifique la configuración de "
        "Reportes\r\n Se tomara en su lugar el formulario {carpeta}RP_X.rpt");
    const QString clave = QStringLiteral("PC01|ANA");

    QTest::newRow("fila con ruta completa existente")
        << fila.arg(QStringLiteral("RP_X"), QStringLiteral("{carpeta}otros/Mio.rpt"))
        << QStringList{QStringLiteral("otros/Mio.rpt")} << clave
        << QStringLiteral("{carpeta}otros/Mio.rpt") << QString();
    QTest::newRow("fila con nombre base") << fila.arg(QStringLiteral("RP_X"), QStringLiteral("Mio"))
                                          << QStringList{QStringLiteral("Mio.rpt")} << clave
                                          << QStringLiteral("{carpeta}Mio.rpt") << QString();
    QTest::newRow("fila cuyo archivo falta")
        << fila.arg(QStringLiteral("RP_X"), QStringLiteral("Falta"))
        << QStringList{QStringLiteral("RP_X.rpt")} << clave << QStringLiteral("{carpeta}RP_X.rpt")
        << aviso.arg(QStringLiteral("{carpeta}Falta.rpt"));
    QTest::newRow("sin fila, archivo en la carpeta")
        << QString() << QStringList{QStringLiteral("RP_X.rpt")} << clave
        << QStringLiteral("{carpeta}RP_X.rpt") << QString();
    QTest::newRow("sin fila ni archivo")
        << QString() << QStringList() << clave << QStringLiteral("{carpeta}RP_X.rpt")
        << aviso.arg(QStringLiteral("{carpeta}.rpt"));
    QTest::newRow("clave vacía: primero máquina|usuario|nombre")
        << fila.arg(QStringLiteral("pc01|ana|RP_X"), QStringLiteral("Propio")) +
               fila.arg(QStringLiteral("RP_X"), QStringLiteral("Comun"))
        << QStringList{QStringLiteral("Propio.rpt"), QStringLiteral("Comun.rpt")} << QString()
        << QStringLiteral("{carpeta}Propio.rpt") << QString();
    QTest::newRow("clave vacía: después el nombre solo")
        << fila.arg(QStringLiteral("RP_X"), QStringLiteral("Comun"))
        << QStringList{QStringLiteral("Comun.rpt")} << QString()
        << QStringLiteral("{carpeta}Comun.rpt") << QString();
    QTest::newRow("barra invertida y otras mayúsculas")
        << fila.arg(QStringLiteral("rp_x"), QStringLiteral("reportes\\mio.RPT"))
        << QStringList{QStringLiteral("Reportes/MIO.rpt")} << clave
        << QStringLiteral("{carpeta}Reportes/MIO.rpt") << QString();
    QTest::newRow("relativa: de la carpeta del programa, no de la actual")
        << fila.arg(QStringLiteral("RP_X"), QStringLiteral("sub/Mio.rpt"))
        << QStringList{QStringLiteral("@sub/Mio.rpt"), QStringLiteral("RP_X.rpt")} << clave
        << QStringLiteral("{carpeta}RP_X.rpt") << aviso.arg(QStringLiteral("{carpeta}sub/Mio.rpt"));
    QTest::newRow("comprobante de compras")
        << QStringLiteral("INSERT INTO TA_CPTE (CODIGO, TALONARIO, SISTEMA) VALUES ('RP_X', 1, "
                          "'compras');")
        << QStringList{QStringLiteral("CpteCompras.RPT")} << clave
        << QStringLiteral("{carpeta}CpteCompras.RPT") << QString();
}

void TstReportes::nombreReporte() {
    QFETCH(QString, datos);
    QFETCH(QStringList, archivos);
    QFETCH(QString, clave);
    QFETCH(QString, esperado);
    QFETCH(QString, aviso);
    QTemporaryDir otra;
    Programa p(false);
    const QString carpeta = p.carpeta();
    QString d = datos;
    if (!d.isEmpty())
        p.app->db.EjecutaConsultaRSQL(d.replace(QStringLiteral("{carpeta}"), carpeta));
    for (const QString& a : archivos) {
        if (a.startsWith(u'@')) {
            QDir().mkpath(otra.filePath(QStringLiteral("sub")));
            QFile f(otra.filePath(a.mid(1)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else {
            p.escribe(a);
        }
    }
    const QString actual = QDir::currentPath();
    QDir::setCurrent(otra.path());
    if (!aviso.isEmpty())
        p.dialogo.responde(plataforma::Respuesta::OK);
    QString nombre = QStringLiteral("RP_X");
    const QString r = NombreReporte(*p.app, nombre, clave);
    QDir::setCurrent(actual);

    QCOMPARE(r, QString(esperado).replace(QStringLiteral("{carpeta}"), carpeta));
    QCOMPARE(nombre, clave.isEmpty() ? QStringLiteral("pc01|ana|RP_X") : QStringLiteral("RP_X"));
    QCOMPARE(p.dialogo.mostradas().size(), aviso.isEmpty() ? 0 : 1);
    if (!aviso.isEmpty()) {
        const CajaMostrada& caja = p.dialogo.mostradas().first();
        QCOMPARE(caja.texto, QString(aviso).replace(QStringLiteral("{carpeta}"), carpeta));
        QCOMPARE(caja.titulo, QStringLiteral("Aviso al Operador"));
        QCOMPARE(caja.estilo, 16);
    }
}

void TstReportes::existeArchivo_data() {
    QTest::addColumn<QString>("ruta"); // relative to a folder holding Hoja.rpt and sub/
    QTest::addColumn<bool>("existe");
    QTest::newRow("tal cual") << QStringLiteral("Hoja.rpt") << true;
    QTest::newRow("entre comillas") << QStringLiteral("\"Hoja.rpt\"") << true;
    QTest::newRow("otras mayúsculas") << QStringLiteral("HOJA.RPT") << true;
    QTest::newRow("una carpeta") << QStringLiteral("sub") << false;
    QTest::newRow("no está") << QStringLiteral("Otra.rpt") << false;
}

void TstReportes::existeArchivo() {
    QFETCH(QString, ruta);
    QFETCH(bool, existe);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    QFile f(dir.filePath(QStringLiteral("Hoja.rpt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QString completa =
        ruta.startsWith(u'"') ? u'"' + dir.filePath(ruta.mid(1)) : dir.filePath(ruta);
    QCOMPARE(ExisteArchivo(completa), existe);
}

void TstReportes::planilla_data() {
    QTest::addColumn<int>("reparto");
    QTest::newRow("reparto 1, finalizado") << 1;
    QTest::newRow("reparto 10, en la calle") << 10;
}

void TstReportes::planilla() {
    QFETCH(int, reparto);
    Programa p;
    SalidaRegistrada salida;
    ImprimePlanilla(*p.app, salida, QString::number(reparto));
    QCOMPARE(salida.previas.size(), 1);
    QCOMPARE(salida.directas, 0);
    QCOMPARE(salida.permisos.first(), (std::pair{true, true}));
    const Documento& d = salida.previas.first();

    const QString ruta = kVolcados + QStringLiteral("/planilla_%1.txt").arg(reparto);
    QFile f(ruta);
    if (qEnvironmentVariableIntValue("HOJARUTA_REGENERA_VOLCADOS") == 1) {
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(d.Volcado().toUtf8());
    } else {
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(ruta));
        const QStringList esperado = QString::fromUtf8(f.readAll()).split(u'\n');
        const QStringList obtenido = d.Volcado().split(u'\n');
        for (qsizetype i = 0; i < std::min(esperado.size(), obtenido.size()); ++i)
            QCOMPARE(obtenido[i], esperado[i]);
        QCOMPARE(obtenido.size(), esperado.size());
    }

    // Every total equals the sheet's own arithmetic, to the last decimal.
    const CifrasHoja c = cifrasDeLaHoja(*p.app, reparto);
    QCOMPARE(total(d, QStringLiteral("TotalCantidadUD")), c.cargaUd);
    QCOMPARE(total(d, QStringLiteral("TotalCantidad")), c.cargaKg);
    QCOMPARE(total(d, QStringLiteral("TotalREC_CANTIDADUD")), c.recargaUd);
    QCOMPARE(total(d, QStringLiteral("TotalREC_CANTIDAD")), c.recargaKg);
    QCOMPARE(total(d, QStringLiteral("TotalDevolucionUd")), c.devUd);
    QCOMPARE(total(d, QStringLiteral("TotalDevolucionKg")), c.devKg);
    QCOMPARE(total(d, QStringLiteral("TotalVendidoUd")), c.vtaUd);
    QCOMPARE(total(d, QStringLiteral("TotalVendidoKg")), c.vtaKg);
    QCOMPARE(total(d, QStringLiteral("TotalImporte")), c.importe);
    QCOMPARE(total(d, QStringLiteral("ValorCarga")), c.valorCarga);
    QCOMPARE(total(d, QStringLiteral("TotalGastos")), c.gastos);
    QCOMPARE(total(d, QStringLiteral("TotalFinal")), c.final);
    QVERIFY(c.vtaKg > Currency() && c.valorCarga > Currency());
}

void TstReportes::unaPagina_data() {
    QTest::addColumn<int>("reparto");
    QTest::addColumn<QString>("texto");
    QTest::newRow("reparto sin líneas") << 13 << QStringLiteral("REPARTO SIN LINEAS");
    QTest::newRow("reparto que no existe") << 999 << QStringLiteral("Sin datos para la selección");
}

void TstReportes::unaPagina() {
    QFETCH(int, reparto);
    QFETCH(QString, texto);
    Programa p;
    SalidaRegistrada salida;
    ImprimePlanilla(*p.app, salida, QString::number(reparto));
    QCOMPARE(salida.previas.size(), 1);
    const Documento& d = salida.previas.first();
    QCOMPARE(d.paginas.size(), 1);
    const QStringList t = textos(d, 0);
    QVERIFY2(t.contains(texto), qPrintable(t.join(u'|')));
    QVERIFY(t.contains(QStringLiteral("Página 1 de 1")));
    QVERIFY(!t.contains(QStringLiteral("1001 JAMON COCIDO SUPERIOR PIEZA 4.5 KG")));
    int totales = 0;
    for (const reporte::Item* i : d.Nombrados(QStringLiteral("TotalCantidad"))) {
        QCOMPARE(i->valor.value<Currency>(), Currency());
        QCOMPARE(i->texto, QStringLiteral("0"));
        ++totales;
    }
    QCOMPARE(totales, 1);
}

void TstReportes::trescientasLineas() {
    Programa p;
    SalidaRegistrada salida;
    ImprimePlanilla(*p.app, salida, QStringLiteral("14"));
    const Documento& d = salida.previas.first();
    const int n = static_cast<int>(d.paginas.size());
    QVERIFY2(n >= 8, qPrintable(QString::number(n)));
    int siguiente = 1;
    for (int i = 0; i < n; ++i) {
        const QStringList t = textos(d, i);
        QVERIFY(t.contains(QStringLiteral("PLANILLA DE CARGA DEL REPARTO")));
        QVERIFY(t.contains(QStringLiteral("14")));
        QVERIFY(t.contains(QStringLiteral("Página %1 de %2").arg(i + 1).arg(n)));
        for (const QString& s : t)
            if (s == QStringLiteral("L%1 ARTICULO %1").arg(siguiente))
                ++siguiente;
    }
    QCOMPARE(siguiente, 301);
    // The text dump, page by page: the column titles, once, above the page's first
    // line, on every page, the last one (totals, expenses, vouchers) too.
    const QStringList paginas = d.Volcado().split(
        QRegularExpression(QStringLiteral("^--- página "), QRegularExpression::MultilineOption),
        Qt::SkipEmptyParts);
    QCOMPARE(paginas.size(), n);
    for (const QString& pagina : paginas) {
        for (const char* titulo : {"Producto", "Recarga", "Dev. y Sobrantes", "Vta. Total"})
            QCOMPARE(pagina.count(QStringLiteral("  ") + QString::fromUtf8(titulo) + u'\n'), 1);
        const qsizetype linea = pagina.indexOf(QStringLiteral(" ARTICULO "));
        QVERIFY(linea < 0 || pagina.indexOf(QStringLiteral("  Producto\n")) < linea);
    }
    QCOMPARE(total(d, QStringLiteral("TotalCantidadUD")), Currency::DesdeEscalado(45150 * 10000));
}

void TstReportes::empresaYConexion() {
    Programa p(true, QStringLiteral("s3creto"));
    p.app->db.EjecutaConsultaRSQL(
        QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = 'PANADERIA O''HIGGINS S.A.' WHERE "
                       "Clave = 'NOMBRE'"));
    QVERIFY(p.app->sesion.gConexionDSN.contains(QStringLiteral("s3creto")));
    SalidaRegistrada salida;
    ImprimePlanilla(*p.app, salida, QStringLiteral("10"));
    const Documento& d = salida.previas.first();
    QCOMPARE(textos(d, 0).first(), QStringLiteral("PANADERIA O'HIGGINS S.A."));
    QVERIFY(!d.Volcado().contains(QStringLiteral("s3creto")));
    QVERIFY(!d.Volcado().contains(QStringLiteral("DSN=")));
}

void TstReportes::fallas_data() {
    QTest::addColumn<QString>("reparto");
    QTest::addColumn<QByteArray>("archivo"); // RP_PLAREPARTO.rpt's content; empty: the real one
    QTest::addColumn<int>("numero");         // of the ado::Falla raised; 0: none
    QTest::addColumn<QString>("mensaje");    // of the falla, or of the box shown

    QTest::newRow("fórmula hostil") << QStringLiteral("10 OR 1=1") << QByteArray() << 20515
                                    << QStringLiteral("Fórmula de selección no válida: se esperaba "
                                                      "un campo entre llaves en la posición 32 de "
                                                      "\"{V_MV_Reparto.IDReparto}=10 OR 1=1\"");
    QTest::newRow("número vacío") << QString() << QByteArray() << 20515
                                  << QStringLiteral(
                                         "Fórmula de selección no válida: falta el valor "
                                         "en la posición 26 de "
                                         "\"{V_MV_Reparto.IDReparto}=\"");
    QTest::newRow("reporte de otro programa")
        << QStringLiteral("10") << QByteArrayLiteral("\xD0\xCF\x11\xE0") << 321
        << QStringLiteral(
               "El archivo {carpeta}RP_PLAREPARTO.rpt no es un reporte de este programa");
    QTest::newRow("XML roto") << QStringLiteral("10")
                              << QByteArrayLiteral("<reporte formato=\"hojaruta-reporte\" "
                                                   "version=\"1\">\n<pagina>\n</reporte>")
                              << 321
                              << QStringLiteral("Error en el reporte {carpeta}RP_PLAREPARTO.rpt, "
                                                "línea 3: Opening and ending tag mismatch.");
    QTest::newRow("consulta que falla: la muestra el diálogo de errores")
        << QStringLiteral("10")
        << QByteArrayLiteral("<reporte formato=\"hojaruta-reporte\" version=\"1\">\n"
                             "<fuente nombre=\"V_MV_Reparto\" principal=\"si\">"
                             "<seleccionable campo=\"IdReparto\" columna=\"IdReparto\"/>"
                             "<sql>SELECT * FROM NO_EXISTE WHERE {seleccion}</sql></fuente>\n"
                             "</reporte>")
        << 0 << QStringLiteral("Ha ocurrido el Siguiente Error");
}

void TstReportes::fallas() {
    QFETCH(QString, reparto);
    QFETCH(QByteArray, archivo);
    QFETCH(int, numero);
    QFETCH(QString, mensaje);
    Programa p;
    if (!archivo.isEmpty())
        p.escribe(QStringLiteral("RP_PLAREPARTO.rpt"), archivo);
    if (numero == 0)
        p.dialogo.responde(plataforma::Respuesta::Abort);
    SalidaRegistrada salida;
    try {
        ImprimePlanilla(*p.app, salida, reparto);
        QCOMPARE(0, numero);
        QCOMPARE(p.dialogo.mostradas().size(), 1);
        QVERIFY2(p.dialogo.mostradas().first().texto.startsWith(mensaje),
                 qPrintable(p.dialogo.mostradas().first().texto));
        QVERIFY(p.dialogo.mostradas().first().titulo.contains(QStringLiteral("AbrirRecordset")));
    } catch (const ado::Falla& f) {
        QCOMPARE(f.Number, numero);
        QCOMPARE(f.Description, QString(mensaje).replace(QStringLiteral("{carpeta}"), p.carpeta()));
        QCOMPARE(f.Source, QStringLiteral("Reportes"));
    }
    QVERIFY(salida.previas.isEmpty());
}

void TstReportes::conValores_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("valores");
    QTest::addColumn<QString>("texto");
    QTest::newRow("texto con apóstrofo")
        << QStringLiteral("SELECT * FROM T WHERE a = ?") << QVariantList{QStringLiteral("O'Brien")}
        << QStringLiteral("SELECT * FROM T WHERE a = 'O''Brien'");
    QTest::newRow("números y nulo")
        << QStringLiteral("? + ? + ?") << QVariantList{10LL, 2.5, QVariant()}
        << QStringLiteral("10 + 2.5 + NULL");
    QTest::newRow("signos dentro de literales y nombres")
        << QStringLiteral("SELECT '?''?', [a?], \"b?\" FROM T WHERE x = ?") << QVariantList{1}
        << QStringLiteral("SELECT '?''?', [a?], \"b?\" FROM T WHERE x = 1");
}

void TstReportes::conValores() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, valores);
    QFETCH(QString, texto);
    QCOMPARE(reportes::ConValores(sql, valores), texto);
}

QTEST_MAIN(TstReportes)
#include "tst_reportes.moc"
