// What a lookup lists, without windows: the statement built from a query, a
// definition or the table's columns; the definitions file and the column-width
// file as the suite writes them; and the controller around them.

#include "AplicacionDePrueba.h"
#include "ArchivosConsulta.h"
#include "SentenciaConsulta.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstSentenciasConsulta : public QObject {
    Q_OBJECT

private slots:
    void sentencias_data();
    void sentencias();
    void mascaras_data();
    void mascaras();
    void anchos_data();
    void anchos();
    void controlador();
    void simples_data();
    void simples();
    void nuevaBusqueda_data();
    void nuevaBusqueda();
    void faltanteYPrograma();
};

namespace {

// One lookup: what the caller gives, the definition the file holds ("Tabla;Campos;
// Condicion", empty for none), the table's columns (for a table without one), and
// the statement and search column that come out (no statement: the operator is
// told to configure the lookup).
struct Caso {
    const char* nombre;
    const char* sql;
    const char* campo;
    const char* where;
    const char* top; // the TopConsArt setting
    const char* mascara;
    const char* columnas;
    const char* sentencia;
    const char* campoFinal;
    const char* opcional = ""; // SentenciaOpcional
};

const Caso kCasos[] = {
    {"SELECT dentro del nombre es consulta", "V_SELECTIVOS", "", "", " ", "", "", "V_SELECTIVOS",
     ""},
    {"consulta de articulos lee la vista con stock",
     "select DESCRIPCION,IDarticulo from v_ma_articulos ", "", "", " ", "", "",
     "select DESCRIPCION,IDarticulo from VT_MA_ARTICULOS ", ""},
    {"consulta con condicion", "SELECT * FROM T", "", "X = 1", " ", "", "",
     "SELECT * FROM T WHERE  (X = 1) ", ""},
    {"clientes por defecto", "vt_clientes", "", "", " ",
     "VT_CLIENTES;|RAZON_SOCIAL|CODIGO|CONTACTO|;", "",
     "SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  with(nolock)  WHERE "
     "Dada_De_Baja = 0 ORDER BY RAZON_SOCIAL",
     "RAZON_SOCIAL"},
    {"articulos con condicion del llamador", "V_MA_ARTICULOS", "", "PRECIO1 > 0", " ",
     "V_MA_ARTICULOS;|DESCRIPCION|IDARTICULO|;", "",
     "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE  "
     "(PRECIO1 > 0)  ORDER BY DESCRIPCION",
     "DESCRIPCION"},
    {"articulos sin condicion", "V_MA_ARTICULOS", "", "", " ",
     "V_MA_ARTICULOS;|DESCRIPCION|IDARTICULO|;", "",
     "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
     "SUSPENDIDO = 0 ORDER BY DESCRIPCION",
     "DESCRIPCION"},
    {"la condicion de la definicion gana", "MA_CUENTAS", "", "X=1", "250,5",
     "MA_CUENTAS;|DESCRIPCION|CODIGO|;TITULO = 0", "",
     "SELECT TOP 250 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock)  WHERE TITULO = 0 ORDER BY "
     "DESCRIPCION",
     "DESCRIPCION"},
    {"una columna con campo dado", "MA_X", "CODIGO", "", " ", "MA_X;|DESCRIPCION|;", "",
     "SELECT TOP 1000 DESCRIPCION FROM MA_X  with(nolock)  ORDER BY CODIGO", "CODIGO"},
    {"una columna sin campo", "MA_X", "", "", " ", "MA_X;|A|;", "", "", ""},
    {"dos comas al empezar: sin ORDER BY", "MA_X", "", "", " ", "MA_X;,,A,B;", "",
     "SELECT TOP 1000 ,A,B FROM MA_X with(nolock) ", ""},
    {"definicion sin columnas", "MA_X", "C", "", " ", "MA_X;;", "",
     "SELECT TOP 1000 * FROM MA_X  with(nolock)  ORDER BY C", "C"},
    {"sin definicion: columnas de la tabla", "TABLA1", "", "", " ", "",
     "CODIGO,DESCRIPCION,ID,FECHAHORA_GRABACION,PRECIO",
     "SELECT TOP 1000 PRECIO,DESCRIPCION,CODIGO FROM TABLA1  ORDER BY DESCRIPCION", "DESCRIPCION"},
    {"deposito fijo", "V_TA_DEPOSITO", "NOMBRE", "", " ", "", "",
     "SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio FROM V_TA_DEPOSITO  ORDER BY IDDEPOSITO",
     "IDDEPOSITO"},
    {"tabla ilegible conserva el campo", "T", "NOMBRE", "", " ", "", "",
     "SELECT TOP 1000  *  FROM T  ORDER BY NOMBRE", "NOMBRE"},
    {"mutuales toman ID", "v_mv_mutuales", "", "", "muchas", "", "ID,FECHAHORA_MODIFICACION",
     "SELECT TOP 1000 FECHAHORA_MODIFICACION,ID FROM v_mv_mutuales  ORDER BY "
     "FECHAHORA_MODIFICACION",
     "FECHAHORA_MODIFICACION"},
    {"condicion de una letra sin parentesis", "T", "", "X", "0", "", "A",
     "SELECT TOP 1000 A FROM T WHERE  X ORDER BY A", "A"},
    {"sentencia opcional sin definicion", "T", "", "", " ", "", "", "SELECT 1", "", "SELECT 1"},
};

} // namespace

void TstSentenciasConsulta::sentencias_data() {
    QTest::addColumn<int>("caso");
    for (int i = 0; i < int(std::size(kCasos)); ++i)
        QTest::newRow(kCasos[i].nombre) << i;
}

void TstSentenciasConsulta::sentencias() {
    QFETCH(int, caso);
    const Caso& c = kCasos[caso];
    const QStringList mascara = QString::fromUtf8(c.mascara).split(u';');
    consulta::Fuentes fuentes;
    fuentes.mascara = [&](const QString& tabla) -> std::optional<MascaraConsulta> {
        if (mascara.size() < 3 || tabla.compare(mascara[0], Qt::CaseInsensitive) != 0)
            return std::nullopt;
        return MascaraConsulta{QStringLiteral("T"), mascara[0], mascara[1], mascara[2]};
    };
    fuentes.columnas = [&](const QString&) {
        return QString::fromUtf8(c.columnas).split(u',', Qt::SkipEmptyParts);
    };
    QString campo = QString::fromUtf8(c.campo);
    QString where = consulta::AjustaWhere(QString::fromUtf8(c.where));
    const auto armado = consulta::ArmaSentencia(
        QString::fromUtf8(c.sql), campo, where, QString::fromUtf8(c.opcional),
        consulta::FilasTope(QString::fromUtf8(c.top)), true, fuentes);
    QCOMPARE(armado.faltaConfiguracion, QByteArray(c.sentencia).isEmpty());
    QCOMPARE(armado.sentencia, QString::fromUtf8(c.sentencia));
    QCOMPARE(campo, QString::fromUtf8(c.campoFinal));
}

namespace {

QByteArray campoFijo(const QByteArray& texto, int largo, char relleno) {
    return texto.leftJustified(largo, relleno, true);
}

QByteArray registro(const QByteArray& titulo, const QByteArray& tabla, const QByteArray& campos,
                    const QByteArray& condicion = {}, char relleno = ' ') {
    return campoFijo(titulo, 100, relleno) + campoFijo(tabla, 100, relleno) +
           campoFijo(campos, 500, relleno) + campoFijo(condicion, 500, relleno) + "\r\n";
}

} // namespace

void TstSentenciasConsulta::mascaras_data() {
    QTest::addColumn<QByteArray>("archivo"); // written as consultas.vxf
    QTest::addColumn<QString>("buscada");
    QTest::addColumn<QString>("titulo"); // empty: nothing found
    QTest::addColumn<QString>("campos");
    QTest::addColumn<QString>("condicion");
    const QByteArray dos = registro("PRIMERA", "V_MA_ARTICULOS", "|A|B|") +
                           registro("SEGUNDA", "V_MA_ARTICULOS", "|C|D|");
    QTest::newRow("la primera de dos") << dos << "V_MA_ARTICULOS"
                                       << "PRIMERA"
                                       << "|A|B|"
                                       << "";
    QTest::newRow("blancos y minusculas") << dos << " v_ma_articulos "
                                          << "PRIMERA"
                                          << "|A|B|"
                                          << "";
    QTest::newRow("no esta") << dos << "MA_CUENTAS"
                             << ""
                             << ""
                             << "";
    QTest::newRow("relleno con NUL")
        << registro("OTRA", "X", "|A|") + registro("NUL", "MA_CUENTAS", "|C|", "T = 0", '\0')
        << "ma_cuentas"
        << "NUL"
        << "|C|"
        << "T = 0";
    QTest::newRow("relleno con 255")
        << registro("FF", "MA_CUENTAS", "|C|", "", '\xff') << "MA_CUENTAS"
        << "FF"
        << "|C|"
        << "";
    QTest::newRow("ultimo registro corto")
        << registro("OTRA", "X", "|A|") + registro("CORTO", "MA_CUENTAS", "|C|", "T = 0").left(701)
        << "MA_CUENTAS"
        << "CORTO"
        << "|C|"
        << "T";
    QTest::newRow("archivo vacio") << QByteArray() << "X"
                                   << ""
                                   << ""
                                   << "";
}

void TstSentenciasConsulta::mascaras() {
    QFETCH(QByteArray, archivo);
    QFETCH(QString, buscada);
    QFETCH(QString, titulo);
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("consultas.vxf")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(archivo);
    f.close();
    // The sheet spells the name in capitals; startup wrote it in lower case.
    const auto m = consulta::BuscarMascara(dir.filePath(QStringLiteral("CONSULTAS.VXF")), buscada);
    QCOMPARE(m.has_value(), !titulo.isEmpty());
    if (m) {
        QCOMPARE(m->Titulo, titulo);
        QTEST(m->Campos, "campos");
        QTEST(m->Condicion, "condicion");
    }
    QVERIFY(!consulta::BuscarMascara(dir.filePath(QStringLiteral("otra.vxf")), buscada));
}

void TstSentenciasConsulta::anchos_data() {
    QTest::addColumn<QByteArray>("archivo");
    QTest::addColumn<QString>("tabla");
    QTest::addColumn<QString>("anchos"); // "-" a width ignored; "sin": no line
    QTest::newRow("una linea") << QByteArray("\"V_MA_ARTICULOS\",\"2880|1200|\"\r\n")
                               << "v_ma_articulos"
                               << "2880 1200";
    QTest::newRow("la ultima gana")
        << QByteArray("\"T\",\"1|2|\"\r\n\"U\",\"9|\"\r\n\"T\",\"300|400|\"\r\n") << "T"
        << "300 400";
    QTest::newRow("anchos malos se ignoran") << QByteArray("\"T\",\"0|abc|-5||300|\"\r\n") << "T"
                                             << "- - - - 300";
    QTest::newRow("otra tabla") << QByteArray("\"U\",\"9|\"\r\n") << "T"
                                << "sin";
    QTest::newRow("linea rota") << QByteArray("\"T\r\nbasura\r\n") << "T"
                                << "";
}

void TstSentenciasConsulta::anchos() {
    QFETCH(QByteArray, archivo);
    QFETCH(QString, tabla);
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("CONSULTASLEN.VXF")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(archivo);
    f.close();
    const auto a = consulta::AnchosGuardados(f.fileName(), tabla);
    QStringList texto;
    if (a)
        for (const auto& w : *a)
            texto << (w ? QString::number(*w) : QStringLiteral("-"));
    QTEST(a ? texto.join(u' ') : QStringLiteral("sin"), "anchos");
}

namespace {

// The list dialog as the controller sees it: records what it is given and
// answers with a row chosen beforehand.
class VistaFalsa : public VistaConsulta {
public:
    QList<ListaPedida> pedidos;
    ListaElegida respuesta;
    QList<ArbolPedido> arboles;
    QList<ListaSimple> simples;
    ListaElegida MuestraLista(const ListaPedida& p) override {
        pedidos << p;
        return respuesta;
    }
    ArbolElegido MuestraArbol(const ArbolPedido& p) override {
        arboles << p;
        return {respuesta.ValorDevuelto, respuesta.Valores};
    }
    ListaElegida MuestraSimple(const ListaSimple& l) override {
        simples << l;
        return respuesta;
    }
};

} // namespace

void TstSentenciasConsulta::controlador() {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("c.db"));
    ado::sqlite::CreaBaseEmbebida(
        base, recursos::EsquemaSql(),
        QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                       "('C','STK_NIVEL2','255'), ('C','USACONSULTALIKE','si'), "
                       "('C','TOPCONSART','50');"));
    DialogoGuionado dialogo;
    auto app = prueba::AplicacionConectada(dialogo, dir.path(), base);
    QFile f(app->consultas.gRutaMascaraConsultas);
    QVERIFY(f.open(QIODevice::Append));
    f.write(registro("UNA", "MA_UNA", "|DESCRIPCION|"));
    f.close();
    VistaFalsa vista;
    Lib_ClsCons3 c(*app, vista);
    QCOMPARE(c.StkNivel2, QVariant(QStringLiteral("255")));
    QCOMPARE(c.StkNivel1, QVariant(QStringLiteral(" "))); // no row reads as one blank
    QVERIFY(c.UsaConsultaLike());
    QVERIFY(c.gUsarMascarasConsultas);

    vista.respuesta = {QStringLiteral("5.1.1"), QVariantList{QStringLiteral("Caja")}, {}};
    c.CampoDevuelto = QStringLiteral("CODIGO");
    c.Checks = true;
    std::optional<QStringList> devueltos = QStringList{QStringLiteral("Descripcion")};
    QString campo;
    QString where = QStringLiteral("TITULO = 0");
    c.ConsultaSearch(QStringLiteral("MA_CUENTAS"), &devueltos, QStringLiteral("Co"), &campo,
                     &where);
    QCOMPARE(vista.pedidos.size(), 1);
    const ListaPedida& p = vista.pedidos[0];
    QCOMPARE(p.SQL, QStringLiteral("SELECT TOP 50 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock) "
                                   " WHERE  (TITULO = 0)  ORDER BY DESCRIPCION"));
    QVERIFY(!p.OrdenarPorLwv);
    QCOMPARE(p.FiltroInicial, QStringLiteral("Co"));
    QCOMPARE(p.CampoDevuelto, QStringLiteral("CODIGO"));
    QVERIFY(p.CheckBoxes && p.CfgUsaConsultaLIKE);
    QCOMPARE(p.CmpsDevueltos, std::optional<QStringList>(QStringList{"Descripcion"}));
    QCOMPARE(p.gConnString, app->db.gConnString);
    QCOMPARE(campo, QStringLiteral("DESCRIPCION"));
    QCOMPARE(where, QStringLiteral(" (TITULO = 0) "));
    // The choice comes back; what steers one lookup is reset for the next.
    QCOMPARE(c.ValorDevuelto.toString(), QStringLiteral("5.1.1"));
    QCOMPARE(c.Valores, std::optional<QVariantList>(QVariantList{QStringLiteral("Caja")}));
    QVERIFY(!devueltos && !c.Checks && c.CampoDevuelto.isEmpty());

    // A query without ORDER BY is sorted by the list itself.
    c.ConsultaSearch(QStringLiteral("select a from t"));
    QVERIFY(vista.pedidos.last().OrdenarPorLwv);

    // A definition of one column: the operator is told, nothing is listed, and
    // the last lookup's value is gone.
    dialogo.responde(plataforma::Respuesta::OK);
    c.CampoDevuelto = QStringLiteral("X");
    c.ConsultaSearch(QStringLiteral("ma_una"));
    QCOMPARE(vista.pedidos.size(), 2);
    QCOMPARE(dialogo.mostradas().last().texto,
             QStringLiteral("Debe configurar la consulta para esta tabla"));
    QCOMPARE(dialogo.mostradas().last().titulo, QStringLiteral("Aviso al operador"));
    QCOMPARE(dialogo.mostradas().last().estilo, 64);
    QVERIFY(c.ValorDevuelto.toString().isEmpty() && !c.Valores && c.CampoDevuelto.isEmpty());
}

void TstSentenciasConsulta::simples_data() {
    QTest::addColumn<int>("como");            // 0 file, 1 options, 2 ticks
    QTest::addColumn<QStringList>("entrada"); // the file's bytes as one text, or the options
    QTest::addColumn<QStringList>("filas");
    QTest::addColumn<QString>("marcas"); // one 0/1 per row
    QTest::addColumn<int>("caracteres");
    QTest::newRow("archivo con linea vacia") << 0 << QStringList{"uno\r\n\r\ntres largo\r\n"}
                                             << QStringList{"uno", "", "tres largo"} << "" << 10;
    QTest::newRow("archivo vacio: el titulo da el ancho")
        << 0 << QStringList{""} << QStringList() << "" << 5;
    QTest::newRow("una sola opcion se muestra")
        << 1 << QStringList{"Solo"} << QStringList{"Solo"} << "" << 5;
    QTest::newRow("marcas por el primer caracter")
        << 2 << QStringList{"1Primera", "0Segunda larga"} << QStringList{"Primera", "Segunda larga"}
        << "10" << 14;
}

void TstSentenciasConsulta::simples() {
    QFETCH(int, como);
    QFETCH(QStringList, entrada);
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir.path());
    VistaFalsa vista;
    Lib_ClsCons3 c(*app, vista);
    vista.respuesta = {QStringLiteral("elegida"), QVariantList{QStringLiteral("Primera")}, {}};
    const QString titulo = QStringLiteral("Tit_5");
    QString devuelto;
    if (como == 0) {
        QFile f(dir.filePath(QStringLiteral("lineas.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(entrada[0].toLatin1());
        f.close();
        // The path is matched without regard to letter case, double quotes dropped.
        devuelto = c.ConsultaDesdeArchivo(titulo,
                                          u'"' + dir.filePath(QStringLiteral("LINEAS.TXT")) + u'"');
    } else if (como == 1) {
        devuelto = c.MenuOpciones(titulo, entrada);
    } else {
        c.CheckOpciones(titulo, std::nullopt, entrada);
        QCOMPARE(c.Valores, vista.respuesta.Valores);
    }
    QCOMPARE(vista.simples.size(), 1);
    const ListaSimple& l = vista.simples[0];
    QCOMPARE(l.Titulo, titulo);
    QTEST(l.filas, "filas");
    QString marcas;
    for (bool m : l.marcas)
        marcas += m ? u'1' : u'0';
    QTEST(marcas, "marcas");
    QCOMPARE(l.CheckBoxes, como == 2);
    QTEST(l.caracteres, "caracteres");
    QCOMPARE(devuelto, como == 2 ? QString() : QStringLiteral("elegida"));

    // A file that is not there: the operator is told, nothing is shown.
    dialogo.responde(plataforma::Respuesta::OK);
    const QString falta = dir.filePath(QStringLiteral("no.txt"));
    QCOMPARE(c.ConsultaDesdeArchivo(titulo, falta), QString());
    QCOMPARE(dialogo.mostradas().last().texto,
             QStringLiteral("No existe el archivo ") + falta +
                 QStringLiteral(" que desea consultar consulta "));
    QCOMPARE(dialogo.mostradas().last().estilo, 0);
    QCOMPARE(dialogo.mostradas().last().titulo, QString());
    QCOMPARE(vista.simples.size(), 1);
}

void TstSentenciasConsulta::nuevaBusqueda_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("columna");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("usaLike");
    QTest::addColumn<QString>("resultado");
    const QString clientes = QStringLiteral("SELECT RAZON_SOCIAL FROM VT_CLIENTES ");
    QTest::newRow("al comienzo, sin where")
        << clientes + QStringLiteral("ORDER BY RAZON_SOCIAL ") << "RAZON_SOCIAL"
        << "R*O" << false
        << clientes + QStringLiteral(" where RAZON_SOCIAL like 'R%O%' ORDER BY RAZON_SOCIAL ");
    QTest::newRow("al comienzo, con where")
        << clientes + QStringLiteral("WHERE Baja = 0 ORDER BY RAZON_SOCIAL ") << "RAZON_SOCIAL"
        << "R*O" << false
        << clientes + QStringLiteral(
                          "WHERE Baja = 0  and RAZON_SOCIAL like 'R%O%' ORDER BY RAZON_SOCIAL ");
    QTest::newRow("en cualquier parte, dos palabras")
        << clientes << "RAZON_SOCIAL"
        << "jose perez" << true
        << clientes + QStringLiteral(" where RAZON_SOCIAL like '%jose%perez%' ");
    QTest::newRow("apostrofo") << clientes << "RAZON_SOCIAL"
                               << "D'A" << false
                               << clientes + QStringLiteral(" where RAZON_SOCIAL like 'D''A%' ");
    QTest::newRow("inyeccion queda en el literal")
        << clientes << "RAZON_SOCIAL"
        << "' OR 1=1 --" << true
        << clientes + QStringLiteral(" where RAZON_SOCIAL like '%''%OR%1=1%--%' ");
    QTest::newRow("columna ORDERS no es order by")
        << QStringLiteral("SELECT ORDERS FROM T ") << "ORDERS"
        << "1" << false << QStringLiteral("SELECT ORDERS FROM T  where ORDERS like '1%' ");
    QTest::newRow("where de una subconsulta no cuenta")
        << QStringLiteral("SELECT A FROM T WHERE 1=1 ") << "A"
        << "x" << false << QStringLiteral("SELECT A FROM T WHERE 1=1  and A like 'x%' ");
    QTest::newRow("where entre parentesis no cuenta")
        << QStringLiteral("SELECT A FROM (SELECT A FROM U WHERE B = 1) X GROUP BY A ORDER BY A ")
        << "A"
        << "x" << false
        << QStringLiteral("SELECT A FROM (SELECT A FROM U WHERE B = 1) X  where A like 'x%' "
                          "GROUP BY A ORDER BY A ");
    QTest::newRow("articulos con prefijo")
        << QStringLiteral("SELECT v_ma_articulos.IdArticulo FROM v_ma_articulos ") << "Descripcion"
        << "sal" << false
        << QStringLiteral("SELECT v_ma_articulos.IdArticulo FROM v_ma_articulos  where "
                          "v_ma_articulos.Descripcion like 'sal%' ");
}

void TstSentenciasConsulta::nuevaBusqueda() {
    QFETCH(QString, sql);
    QFETCH(QString, columna);
    QFETCH(QString, texto);
    QFETCH(bool, usaLike);
    QTEST(consulta::NuevaBusqueda(sql, sql, columna, texto, usaLike), "resultado");
}

void TstSentenciasConsulta::faltanteYPrograma() {
    QCOMPARE(consulta::SentenciaFaltante(QDateTime(QDate(2024, 3, 5), QTime(9, 7, 2)),
                                         QStringLiteral("A'1"), QStringLiteral(" D'Angelo "),
                                         QStringLiteral("O'Neil")),
             QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,"
                            "Usuario) values('2024-03-05T09:07:02','") +
                 QString(22, u' ') + QStringLiteral("A''1") +
                 QStringLiteral("','D''Angelo','O''Neil')"));
    const std::pair<const char*, const char*> programas[] = {
        {"v_ta_rubros", "SHELL:V_TA_TABLAS|v_ta_rubros"},
        {" VT_CLIENTES ", "SHELL:V_MA_CLIENTES|1"},
        {"VT_PROVEEDORES", "SHELL:V_MA_CLIENTES|0"},
        {"V_TA_TECNICOS", "SHELL:V_TA_Tecnicos|"},
        {"V_TA_VENDEDORES", "SHELL:V_TA_VENDEDORES|"},
        {"VT_MA_ARTICULOS", "SHELL:V_MA_ARTICULOS|"},
        {"MA_CUENTAS", "SHELL:V_TA_TABLAS|MA_CUENTAS"},
    };
    for (const auto& [tabla, esperado] : programas) {
        const auto p = consulta::ProgramaMantenimiento(QString::fromLatin1(tabla));
        QCOMPARE(p.programa + u'|' + p.parametro, QString::fromLatin1(esperado));
    }
}

QTEST_MAIN(TstSentenciasConsulta)
#include "tst_sentencias_consulta.moc"
