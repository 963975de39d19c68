// The report engine without a database: reading report files, calculated fields
// in Currency, laying rows out in pages, and the PDF.

#include "DialogoGuionado.h"
#include "platform/Utilidades.h"
#include "report/Definicion.h"
#include "report/Error.h"
#include "report/Expresion.h"
#include "report/Motor.h"
#include "report/Pintor.h"
#include "report/Reportes.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using reporte::Documento;

class TstMotor : public QObject {
    Q_OBJECT

private slots:
    void errores_data();
    void errores();
    void calculados_data();
    void calculados();
    void parametros_data();
    void parametros();
    void paginas();
    void titulosRepetidos_data();
    void titulosRepetidos();
    void sinDatos();
    void formulaRechazadaSinConsultas();
    void pdf();
    void opciones_data();
    void opciones();
};

namespace {

// Rows by query: the first table whose key the statement contains (and, when
// given, whose last bound value is the one given), else no rows; every call kept.
class FuenteFalsa : public reporte::FuenteDatos {
public:
    struct Entrada {
        QString clave;
        reporte::Tabla tabla;
        QVariant ultimoValor;
    };
    QList<Entrada> tablas;
    QList<std::pair<QString, QVariantList>> llamadas;

    reporte::Tabla Consulta(const QString& sql, const QVariantList& valores) override {
        llamadas.append({sql, valores});
        for (const Entrada& e : std::as_const(tablas))
            if (sql.contains(e.clave)) {
                if (e.ultimoValor.isValid() && valores.value(valores.size() - 1) != e.ultimoValor)
                    return {e.tabla.columnas, {}};
                return e.tabla;
            }
        throw reporte::Error(reporte::Error::Tipo::Consulta, QStringLiteral("sin tabla: ") + sql);
    }
};

const QByteArray kReporte = QByteArrayLiteral(R"(<?xml version="1.0"?>
<reporte formato="hojaruta-reporte" version="1" titulo="Prueba">
  <pagina tamano="100x100" margenes="10"/>
  <parametro nombre="empresa"/>
  <fuente nombre="R" principal="si">
    <seleccionable campo="Id" columna="R.Id"/>
    <sql>SELECT * FROM Lineas R WHERE {seleccion} AND R.Empresa = {?empresa}</sql>
  </fuente>
  <fuente nombre="S"><sql>SELECT * FROM Notas WHERE Id = {R.Id} AND x = '{no}'</sql></fuente>
  <calculado nombre="Valor">{Precio} + DOBLE({Precio} * {Tasa} / 100)</calculado>
  <encabezadoPagina><banda alto="10">
    <texto x="0" y="0" ancho="80" alto="5">{?empresa}</texto>
    <campo x="0" y="5" ancho="20" alto="5" campo="Id"/>
  </banda></encabezadoPagina>
  <grupo nombre="G" campo="Id" saltoPagina="si">
    <encabezado>
      <banda alto="5"><texto x="0" y="0" ancho="20" alto="5">Grupo</texto>
        <total x="20" y="0" ancho="20" alto="5" funcion="cuenta" nombre="Cuenta"/></banda>
      <banda alto="5" repetir="si"><texto x="0" y="0" ancho="20" alto="5">Títulos</texto></banda>
    </encabezado>
    <pie>
      <banda alto="5"><total x="0" y="0" ancho="30" alto="5" campo="Valor" nombre="SumaGrupo"/></banda>
      <lista fuente="S">
        <fila alto="5"><campo x="0" y="0" ancho="30" alto="5" campo="Nota"/></fila>
        <vacia alto="5"><texto x="0" y="0" ancho="30" alto="5">sin notas</texto></vacia>
        <pie alto="5"><total x="0" y="0" ancho="30" alto="5" campo="Monto" nombre="SumaNotas"/></pie>
      </lista>
    </pie>
  </grupo>
  <detalle><banda alto="5" suprimirSiVacio="Art">
    <campo x="0" y="0" ancho="20" alto="5" campo="Art"/>
    <campo x="20" y="0" ancho="20" alto="5" campo="Valor" ceroBlanco="si" nombre="Valor"/>
  </banda></detalle>
  <pieReporte><banda alto="5"><total x="0" y="0" ancho="30" alto="5" campo="Valor" nombre="SumaReporte"/></banda></pieReporte>
  <piePagina><banda alto="5"><numeroPagina x="0" y="0" ancho="80" alto="5"/></banda></piePagina>
</reporte>)");

reporte::Definicion definicion() {
    return reporte::LeeDefinicion(kReporte, QStringLiteral("prueba.rpt"));
}

// Group 1: 30 printed lines (or `lineas`), prices 1..30 at 21 %; group 2: one line
// without an article, which prints nothing. Notes: two for group 1, none for group 2.
FuenteFalsa fuenteDePrueba(int lineasGrupo1 = 30) {
    FuenteFalsa f;
    reporte::Tabla lineas{{QStringLiteral("Id"), QStringLiteral("Art"), QStringLiteral("Precio"),
                           QStringLiteral("Tasa")},
                          {}};
    for (int i = 1; i <= lineasGrupo1; ++i)
        lineas.filas << QVariantList{1, QStringLiteral("A%1").arg(i), i + 0.5, 21};
    lineas.filas << QVariantList{2, QVariant(), 99, 21};
    f.tablas.append({QStringLiteral("FROM Lineas"), lineas, {}});
    reporte::Tabla notas{{QStringLiteral("Nota"), QStringLiteral("Monto")},
                         {{QStringLiteral("uno"), 1.25}, {QStringLiteral("dos"), 2.5}}};
    f.tablas.append({QStringLiteral("FROM Notas WHERE Id = ?"), notas, 1});
    return f;
}

QStringList textos(const Documento& d, int pagina) {
    QStringList t;
    for (const reporte::Item& i : d.paginas[pagina].items)
        if (i.tipo == reporte::Item::Tipo::Texto)
            t << i.texto;
    return t;
}

Currency valorDe(const Documento& d, const QString& nombre, int cual = 0) {
    const auto items = d.Nombrados(nombre);
    if (cual >= items.size())
        return Currency::DesdeEscalado(-1);
    return items[cual]->valor.value<Currency>();
}

Currency moneda(const char* texto) {
    return Currency::DesdeDouble(QByteArray(texto).toDouble());
}

} // namespace

void TstMotor::errores_data() {
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("mensaje");

    const QByteArray cabeza = QByteArrayLiteral(
        "<reporte formato=\"hojaruta-reporte\" version=\"1\">\n"
        "  <fuente nombre=\"R\" principal=\"si\"><sql>SELECT 1 WHERE {seleccion}</sql></fuente>\n");
    QTest::newRow("archivo que falta")
        << QByteArray() << QStringLiteral("No se encuentra el archivo del reporte {ruta}");
    QTest::newRow("reporte de otro motor")
        << QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0")
        << QStringLiteral("El archivo {ruta} no es un reporte de este programa");
    QTest::newRow("XML de otro programa")
        << QByteArrayLiteral("<?xml version=\"1.0\"?>\n<informe/>")
        << QStringLiteral("El archivo {ruta} no es un reporte de este programa");
    QTest::newRow("XML mal formado") << cabeza + "  <detalle>\n  <banda alto=\"5\">\n</reporte>"
                                     << QStringLiteral("Error en el reporte {ruta}, línea 5: "
                                                       "Opening and ending tag mismatch.");
    QTest::newRow("elemento desconocido")
        << cabeza +
               "  <detalle>\n    <banda alto=\"5\"><rectangulo/></banda>\n  </detalle>\n</reporte>"
        << QStringLiteral("Error en el reporte {ruta}, línea 4: elemento desconocido <rectangulo>");
    QTest::newRow("atributo mal escrito")
        << cabeza + "  <pagina tamano=\"A4\" orientacion=\"horizontal\" margen=\"5\"/>\n</reporte>"
        << QStringLiteral("Error en el reporte {ruta}, línea 3: atributo desconocido \"margen\" en "
                          "<pagina>");
    QTest::newRow("sin fuente principal")
        << QByteArrayLiteral("<reporte formato=\"hojaruta-reporte\" version=\"1\">\n"
                             "  <fuente nombre=\"R\"><sql>SELECT 1</sql></fuente>\n</reporte>")
        << QStringLiteral("Error en el reporte {ruta}, línea 1: falta la fuente principal");
    QTest::newRow("principal sin {seleccion}")
        << QByteArrayLiteral(
               "<reporte formato=\"hojaruta-reporte\" version=\"1\">\n"
               "  <fuente nombre=\"R\" principal=\"si\"><sql>SELECT 1</sql></fuente>\n"
               "</reporte>")
        << QStringLiteral("Error en el reporte {ruta}, línea 2: el SQL de la fuente principal no "
                          "tiene {seleccion}");
    QTest::newRow("campo calculado mal escrito")
        << cabeza + "  <calculado nombre=\"X\">{A} * (2 + </calculado>\n</reporte>"
        << QStringLiteral("Error en el reporte {ruta}, línea 3: campo calculado \"X\": falta un "
                          "valor en la posición 11");
    QTest::newRow("total de un grupo ajeno")
        << cabeza + "  <piePagina><banda alto=\"5\">\n"
                    "    <total x=\"0\" y=\"0\" ancho=\"9\" alto=\"5\" campo=\"A\" ambito=\"G\"/>\n"
                    "  </banda></piePagina>\n</reporte>"
        << QStringLiteral("Error en el reporte {ruta}, línea 4: un total aquí no puede sumar sobre "
                          "\"G\"");
    QTest::newRow("parámetro no declarado")
        << cabeza + "  <pieReporte><banda alto=\"5\">\n"
                    "    <texto x=\"0\" y=\"0\" ancho=\"9\" alto=\"5\">{?empresa}</texto>\n"
                    "  </banda></pieReporte>\n</reporte>"
        << QStringLiteral("Error en el reporte {ruta}, línea 4: el parámetro \"empresa\" no está "
                          "declarado");
    QTest::newRow("versión futura")
        << QByteArrayLiteral("<reporte formato=\"hojaruta-reporte\" version=\"2\"/>")
        << QStringLiteral("Error en el reporte {ruta}, línea 1: versión 2 del formato, este "
                          "programa lee la 1");
}

void TstMotor::errores() {
    QFETCH(QByteArray, contenido);
    QFETCH(QString, mensaje);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("RP_PRUEBA.rpt"));
    if (!contenido.isEmpty()) {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    try {
        reporte::LeeDefinicion(ruta);
        QFAIL("the file was read");
    } catch (const reporte::Error& e) {
        QCOMPARE(e.mensaje, QString(mensaje).replace(QStringLiteral("{ruta}"), ruta));
    }
}

void TstMotor::calculados_data() {
    QTest::addColumn<QString>("expresion");
    QTest::addColumn<QString>("resultado"); // the error, when it does not compile

    // A = 1.2345, B = 0.5, P = 100, T = 21, I = 5; parameter p = "1,5" in the
    // operator's locale.
    QTest::newRow("valor del ítem de la planilla")
        << QStringLiteral("{P} + DOBLE({P} * {T} / 100) + {I}") << QStringLiteral("126");
    QTest::newRow("el producto redondea al par")
        << QStringLiteral("{A} * {B}") << QStringLiteral("0.6172");
    QTest::newRow("suma y resta exactas")
        << QStringLiteral("{A} + {A} - {B}") << QStringLiteral("1.969");
    QTest::newRow("negativo y paréntesis")
        << QStringLiteral("-({B} - {A}) * 2") << QStringLiteral("1.469");
    QTest::newRow("REDONDEA al par")
        << QStringLiteral("REDONDEA({A}, 3)") << QStringLiteral("1.234");
    QTest::newRow("ABS y cociente")
        << QStringLiteral("ABS({B} - {P}) / 3") << QStringLiteral("33.1667");
    QTest::newRow("parámetro en el locale del operador")
        << QStringLiteral("{?p} * 2") << QStringLiteral("3");
    QTest::newRow("campo nulo vale cero") << QStringLiteral("{Nulo} + 1") << QStringLiteral("1");
    QTest::newRow("función desconocida")
        << QStringLiteral("RAIZ({A})")
        << QStringLiteral("error: función desconocida \"RAIZ\" en la posición 1");
    QTest::newRow("falta cerrar") << QStringLiteral("({A} + 1")
                                  << QStringLiteral("error: falta \")\" en la posición 9");
    QTest::newRow("más de cuatro decimales")
        << QStringLiteral("{A} * 0.00001")
        << QStringLiteral("error: número no válido \"0.00001\" en la posición 7");
}

void TstMotor::calculados() {
    QFETCH(QString, expresion);
    QFETCH(QString, resultado);
    QString error;
    const auto e = reporte::Expresion::Compila(expresion, error);
    if (!e) {
        QCOMPARE(QStringLiteral("error: ") + error, resultado);
        return;
    }
    const QHash<QString, QVariant> campos{
        {QStringLiteral("A"), 1.2345}, {QStringLiteral("B"), 0.5},
        {QStringLiteral("P"), 100},    {QStringLiteral("T"), 21},
        {QStringLiteral("I"), 5},      {QStringLiteral("Nulo"), QVariant()}};
    const Currency v = e->Evalua([&](const QString& n, bool parametro) {
        if (parametro)
            return Utilidades::ANumero(QStringLiteral("1,5"));
        return Utilidades::ANumero(campos.value(n));
    });
    QCOMPARE(v.texto(), resultado);
}

void TstMotor::parametros_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("valor");

    QTest::newRow("como lo pasa la planilla")
        << QStringLiteral("empresa = 'LOS ALAMOS S.R.L.'") << QStringLiteral("empresa")
        << QStringLiteral("LOS ALAMOS S.R.L.");
    QTest::newRow("apóstrofo dentro del valor")
        << QStringLiteral("empresa = 'PANADERIA O'HIGGINS'") << QStringLiteral("empresa")
        << QStringLiteral("PANADERIA O'HIGGINS");
    QTest::newRow("valor de un blanco")
        << QStringLiteral("empresa = ' '") << QStringLiteral("empresa") << QStringLiteral(" ");
    QTest::newRow("sin apóstrofos")
        << QStringLiteral(" desde=  2024 ") << QStringLiteral("desde") << QStringLiteral("2024");
    QTest::newRow("un solo apóstrofo")
        << QStringLiteral("x = 'abc") << QStringLiteral("x") << QStringLiteral("'abc");
}

void TstMotor::parametros() {
    QFETCH(QString, texto);
    QFETCH(QString, nombre);
    QFETCH(QString, valor);
    const reporte::ParametroDado p = reporte::LeeParametro(texto);
    QCOMPARE(p.nombre, nombre);
    QCOMPARE(p.valor, valor);
}

void TstMotor::paginas() {
    FuenteFalsa fuente = fuenteDePrueba();
    reporte::Formateador formato;
    reporte::Motor motor(fuente, formato,
                         [] { return QDateTime(QDate(2024, 3, 15), QTime(10, 0)); });
    const Documento d = motor.Genera(
        definicion(), QStringLiteral("{R.Id} >= 1"),
        {QStringLiteral("empresa = 'PANADERIA O'HIGGINS'"), QStringLiteral("otro = '1'")});

    // Page 1 holds 11 lines under the headers, page 2 twelve under the repeated
    // titles, page 3 the last seven and the group's footer; group 2 starts page 4.
    QCOMPARE(d.paginas.size(), 4);
    const QList<int> lineas{11, 12, 7, 0};
    QStringList arts;
    for (int p = 0; p < 4; ++p) {
        const QStringList t = textos(d, p);
        QCOMPARE(t.first(), QStringLiteral("PANADERIA O'HIGGINS"));
        QVERIFY(t.contains(QStringLiteral("Página %1 de 4").arg(p + 1)));
        QCOMPARE(t.count(QStringLiteral("Títulos")), 1);
        QCOMPARE(t.count(QStringLiteral("Grupo")), p == 0 || p == 3 ? 1 : 0);
        int enPagina = 0;
        for (const QString& s : t)
            if (QRegularExpression(QStringLiteral("^A\\d+$")).match(s).hasMatch()) {
                arts << s;
                ++enPagina;
            }
        QCOMPARE(enPagina, lineas[p]);
    }
    QStringList esperados;
    for (int i = 1; i <= 30; ++i)
        esperados << QStringLiteral("A%1").arg(i);
    QCOMPARE(arts, esperados);
    // The page header shows the row in course: group 2's number on its page.
    QCOMPARE(textos(d, 3).at(1), QStringLiteral("2"));

    // Σ (p + p × 21 %), p = i + 0.5: 465 + 15 + 0.21 × 480 = 580.8.
    QCOMPARE(valorDe(d, QStringLiteral("SumaGrupo")), moneda("580.8"));
    QCOMPARE(valorDe(d, QStringLiteral("SumaGrupo"), 1), Currency());
    QCOMPARE(valorDe(d, QStringLiteral("SumaReporte")), moneda("580.8"));
    QCOMPARE(d.Nombrados(QStringLiteral("Cuenta"))[0]->texto, QStringLiteral("30"));
    QCOMPARE(d.Nombrados(QStringLiteral("Cuenta"))[1]->texto, QStringLiteral("0"));
    QCOMPARE(valorDe(d, QStringLiteral("Valor")), moneda("1.815"));
    QCOMPARE(d.Nombrados(QStringLiteral("Valor"))[0]->texto, QStringLiteral("1,815"));
    QCOMPARE(valorDe(d, QStringLiteral("SumaNotas")), moneda("3.75"));
    QCOMPARE(valorDe(d, QStringLiteral("SumaNotas"), 1), Currency());
    QVERIFY(textos(d, 2).contains(QStringLiteral("dos")));
    QVERIFY(textos(d, 3).contains(QStringLiteral("sin notas")));

    // What went to the database: the formula and the parameter bound, each list
    // with its group's number, the apostrophes of the SQL left alone.
    QCOMPARE(fuente.llamadas.size(), 3);
    QCOMPARE(fuente.llamadas[0].first,
             QStringLiteral("SELECT * FROM Lineas R WHERE ((R.Id >= ?)) AND R.Empresa = ?"));
    QCOMPARE(fuente.llamadas[0].second, (QVariantList{1LL, QStringLiteral("PANADERIA O'HIGGINS")}));
    QCOMPARE(fuente.llamadas[1].first,
             QStringLiteral("SELECT * FROM Notas WHERE Id = ? AND x = '{no}'"));
    QCOMPARE(fuente.llamadas[1].second, QVariantList{1});
    QCOMPARE(fuente.llamadas[2].second, QVariantList{2});
}

void TstMotor::titulosRepetidos_data() {
    QTest::addColumn<int>("lineas");
    QTest::addColumn<QList<int>>("titulos"); // "Títulos" on each page
    QTest::addColumn<QList<int>>("arts");    // lines on each page

    // A page takes 11 lines under the headers, 12 under the titles alone; group 2
    // always starts the last page.
    QTest::newRow("el pie cabe tras las líneas")
        << 30 << QList<int>{1, 1, 1, 1} << QList<int>{11, 12, 7, 0};
    QTest::newRow("el pie solo en su página")
        << 35 << QList<int>{1, 1, 1, 1, 1} << QList<int>{11, 12, 12, 0, 0};
}

void TstMotor::titulosRepetidos() {
    // The group's titles head every page the group is on, the one its footer
    // spills onto too; the next group's page has its own, once.
    QFETCH(int, lineas);
    QFETCH(QList<int>, titulos);
    QFETCH(QList<int>, arts);
    FuenteFalsa fuente = fuenteDePrueba(lineas);
    reporte::Formateador formato;
    reporte::Motor motor(fuente, formato);
    const Documento d = motor.Genera(definicion(), QString(), {});
    QCOMPARE(d.paginas.size(), titulos.size());
    const QRegularExpression art(QStringLiteral("^A\\d+$"));
    for (int p = 0; p < d.paginas.size(); ++p) {
        const QStringList t = textos(d, p);
        QCOMPARE(t.count(QStringLiteral("Títulos")), titulos[p]);
        QCOMPARE(static_cast<int>(t.filter(art).size()), arts[p]);
    }
    // The footer's page, when alone, holds the group's total and its notes.
    const int pie = static_cast<int>(d.paginas.size()) - 2;
    QVERIFY(textos(d, pie).contains(QStringLiteral("dos")));
}

void TstMotor::sinDatos() {
    FuenteFalsa fuente;
    fuente.tablas.append({QStringLiteral("FROM Lineas"),
                          reporte::Tabla{{QStringLiteral("Id"), QStringLiteral("Art"),
                                          QStringLiteral("Precio"), QStringLiteral("Tasa")},
                                         {}},
                          {}});
    reporte::Formateador formato;
    reporte::Motor motor(fuente, formato);
    const Documento d = motor.Genera(definicion(), QStringLiteral("{R.Id}=5"), {});
    QCOMPARE(d.paginas.size(), 1);
    const QStringList t = textos(d, 0);
    QVERIFY(t.contains(QStringLiteral("Sin datos para la selección")));
    QVERIFY(t.contains(QStringLiteral("Página 1 de 1")));
    QCOMPARE(valorDe(d, QStringLiteral("SumaReporte")), Currency());
    QCOMPARE(fuente.llamadas.size(), 1);
}

void TstMotor::formulaRechazadaSinConsultas() {
    FuenteFalsa fuente = fuenteDePrueba();
    reporte::Formateador formato;
    reporte::Motor motor(fuente, formato);
    for (const char* hostil :
         {"{R.Id}=1 OR 1=1", "{R.Id}=1; DELETE FROM Lineas", "{Lineas.Id}=1", "{R.Id}="}) {
        try {
            motor.Genera(definicion(), QString::fromUtf8(hostil), {});
            QFAIL(hostil);
        } catch (const reporte::Error& e) {
            QCOMPARE(e.tipo, reporte::Error::Tipo::Formula);
        }
    }
    QVERIFY(fuente.llamadas.isEmpty());
}

void TstMotor::pdf() {
    FuenteFalsa fuente = fuenteDePrueba();
    reporte::Formateador formato;
    reporte::Motor motor(fuente, formato);
    const Documento d = motor.Genera(definicion(), QString(), {});
    QBuffer destino;
    QVERIFY(destino.open(QIODevice::WriteOnly));
    reporte::EscribePdf(d, destino);
    const QByteArray pdf = destino.data();
    QVERIFY(pdf.startsWith("%PDF-"));
    const auto paginas = QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))
                             .globalMatch(QString::fromLatin1(pdf));
    int n = 0;
    for (auto it = paginas; it.hasNext(); it.next())
        ++n;
    QCOMPARE(n, 4);

    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("no/existe/r.pdf"));
    try {
        reporte::EscribePdf(d, ruta);
        QFAIL("wrote into a missing folder");
    } catch (const reporte::Error& e) {
        QCOMPARE(e.mensaje, QStringLiteral("No se puede escribir el archivo ") + ruta);
    }
}

void TstMotor::opciones_data() {
    QTest::addColumn<bool>("directo");     // OpcionImpresion1
    QTest::addColumn<bool>("imprimir");    // OpcionImpresion2
    QTest::addColumn<bool>("exportar");    // OpcionImpresion3
    QTest::addColumn<bool>("impresora");   // there is a default printer
    QTest::addColumn<QString>("esperado"); // what reached the operator

    QTest::newRow("a la impresora") << true << false << false << true << QStringLiteral("impresa");
    QTest::newRow("a la impresora, que no hay")
        << true << true << false << false << QStringLiteral("aviso, vista previa 1 0");
    QTest::newRow("vista previa como la planilla")
        << false << true << true << true << QStringLiteral("vista previa 1 1");
    QTest::newRow("vista previa sola")
        << false << false << false << true << QStringLiteral("vista previa 0 0");
}

void TstMotor::opciones() {
    QFETCH(bool, directo);
    QFETCH(bool, imprimir);
    QFETCH(bool, exportar);
    QFETCH(bool, impresora);
    QFETCH(QString, esperado);

    struct SalidaDePrueba : reporte::Salida {
        bool impresora = false;
        QString vista;
        bool ImprimeDirecto(const Documento& d, int copias) override {
            if (impresora)
                vista = d.paginas.isEmpty() || copias != 1 ? QStringLiteral("?")
                                                           : QStringLiteral("impresa");
            return impresora;
        }
        void VistaPrevia(const Documento&, bool i, bool e) override {
            vista += QStringLiteral("vista previa %1 %2").arg(int(i)).arg(int(e));
        }
    } salida;
    salida.impresora = impresora;

    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("RP_PRUEBA.rpt"));
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(kReporte) > 0);
    f.close();
    QStringList conexiones;
    const reporte::Conector conector = [&](const QString& conexion) {
        conexiones << conexion;
        return std::make_unique<FuenteFalsa>(fuenteDePrueba());
    };
    DialogoGuionado dialogo;
    if (directo && !impresora) {
        dialogo.responde(plataforma::Respuesta::OK);
        salida.vista = QStringLiteral("aviso, ");
    }
    reporte::Formateador formato;
    reporte::Reportes reportes(conector, formato, salida, dialogo);
    reportes.OpcionImpresion1 = directo;
    reportes.OpcionImpresion2 = imprimir;
    reportes.OpcionImpresion3 = exportar;
    QString parametro = QStringLiteral("empresa = 'X'");
    QString vacio;
    reportes.Imprime(ruta, {QString()}, QStringLiteral("{R.Id}=1"),
                     QStringLiteral("DSN=base; UID=u; PWD=p"), parametro, vacio);
    QCOMPARE(salida.vista, esperado);
    QCOMPARE(conexiones, QStringList{QStringLiteral("DSN=base; UID=u; PWD=p")});
    if (directo && !impresora) {
        QCOMPARE(dialogo.mostradas().first().texto, reporte::Reportes::kSinImpresora);
        QCOMPARE(dialogo.mostradas().first().titulo, QStringLiteral("Aviso al Operador"));
    }
}

QTEST_MAIN(TstMotor)
#include "tst_motor.moc"
