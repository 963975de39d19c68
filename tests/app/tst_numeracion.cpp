// The journal entry number of a month and the voucher taken from the voucher books.

#include "AplicacionDePrueba.h"
#include "DialogoGuionado.h"
#include "LeeTraza.h"
#include "app/Aplicacion.h"
#include "app/Numeracion.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kRs = QChar(0xFF) + QStringLiteral("RS");

struct Voucher {
    QString sucursal, numero, letra, nroHasta;
    bool modificable = false;
};

} // namespace

class TstNumeracion : public QObject {
    Q_OBJECT

private slots:
    void init();

    void numeroDeAsiento_data();
    void numeroDeAsiento();
    void sentenciasDelNumeroDeAsiento_data();
    void sentenciasDelNumeroDeAsiento();
    void textoStr_data();
    void textoStr();
    void numeroDeAsientoFallido_data();
    void numeroDeAsientoFallido();

    void comprobante_data();
    void comprobante();
    void talonariosAgotados_data();
    void talonariosAgotados();
    void sentenciasDelComprobante_data();
    void sentenciasDelComprobante();
    void columnaDeLetraInexistente();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString traza_;

    std::unique_ptr<Aplicacion> conectada(DialogoGuionado& dialogo, const QString& datos) {
        const QString base = dir_->filePath(QStringLiteral("hojaruta.db"));
        ado::sqlite::CreaBaseEmbebida(
            base, recursos::EsquemaSql(),
            QStringLiteral(
                "INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ADMIN', 1);\n") +
                datos);
        return prueba::AplicacionConectada(dialogo, dir_->path(), base);
    }
    QStringList enviadas() const { return SentenciasDeTraza(traza_); }
};

void TstNumeracion::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    traza_ = dir_->filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_INI_DIR", dir_->path().toLocal8Bit());
    qputenv("HOJARUTA_TRAZA", traza_.toLocal8Bit());
}

// ------------------------------------------------------------ entry number

namespace {
// Month 3 of period 2026 with entries of several register types, plus lines of
// other months and periods that must not count.
const char* const kDiario = R"SQL(
INSERT INTO MV_ASIENTOS (Mes_Operativo, "NUMERO ASIENTO", Periodo, Tipo_Reg) VALUES
    (3, 7, 2026, 'FC'), (3, 9, 2026, 'FC'), (3, 4, 2026, ''), (3, 6, 2026, 'ÿRS'),
    (3, 50, 2026, 'CO'), (4, 80, 2026, 'FC'), (3, 90, 2025, 'FC'), (4, 70, 2026, '');
)SQL";

// The journal, plus the cost-centre journal's rows when some are given.
QString diarioConCentros(const QString& centros) {
    QString datos = QString::fromUtf8(kDiario);
    if (!centros.isEmpty())
        datos += QStringLiteral("INSERT INTO MV_ASIENTOSCCOSTO (Mes_Operativo, \"NUMERO ASIENTO\", "
                                "Periodo, Tipo_Reg) VALUES ") +
                 centros + u';';
    return datos;
}

} // namespace

void TstNumeracion::numeroDeAsiento_data() {
    QTest::addColumn<QString>("centros");
    QTest::addColumn<int>("mes");
    QTest::addColumn<QString>("periodo");
    QTest::addColumn<QVariant>("tipo"); // invalid: not passed
    QTest::addColumn<int>("numero");
    QTest::newRow("sin asientos del mes") << "" << 5 << "2026" << QVariant("FC") << 1;
    QTest::newRow("sin asientos del tipo") << "" << 3 << "2026" << QVariant("ND") << 1;
    QTest::newRow("sigue al maximo del tipo") << "" << 3 << "2026" << QVariant("FC") << 10;
    QTest::newRow("tipo con blancos se recorta") << "" << 3 << "2026" << QVariant(" FC ") << 10;
    QTest::newRow("periodo leido como numero") << "" << 3 << " 2025abc" << QVariant("FC") << 91;
    QTest::newRow("tipo vacio cuenta sin tipo y RS") << "" << 3 << "2026" << QVariant("") << 7;
    QTest::newRow("tipo en blanco igual que vacio") << "" << 3 << "2026" << QVariant(" ") << 7;
    QTest::newRow("sin tipo igual que vacio") << "" << 3 << "2026" << QVariant() << 7;
    QTest::newRow("centro de costo ya usa el numero")
        << "(3, 10, 2026, 'FC'), (3, 14, 2026, 'FC'), (3, 30, 2026, 'CO')" << 3 << "2026"
        << QVariant("FC") << 15;
    QTest::newRow("centro de costo sin ese numero")
        << "(3, 11, 2026, 'FC'), (3, 14, 2026, 'FC')" << 3 << "2026" << QVariant("FC") << 10;
    QTest::newRow("centro de costo de otro periodo")
        << "(3, 10, 2025, 'FC'), (3, 14, 2025, 'FC')" << 3 << "2026" << QVariant("FC") << 10;
    QTest::newRow("centro de costo sin diario")
        << "(5, 1, 2026, 'FC'), (5, 3, 2026, 'FC')" << 5 << "2026" << QVariant("FC") << 4;
    QTest::newRow("centro de costo con tipo vacio")
        << "(3, 7, 2026, 'ÿRS'), (3, 8, 2026, '')" << 3 << "2026" << QVariant() << 9;
}

void TstNumeracion::numeroDeAsiento() {
    QFETCH(QString, centros);
    QFETCH(int, mes);
    QFETCH(QString, periodo);
    QFETCH(QVariant, tipo);
    QFETCH(int, numero);
    DialogoGuionado dialogo;
    auto app = conectada(dialogo, diarioConCentros(centros));
    Numeracion n(*app);
    const qint32 r = tipo.isValid() ? n.ValidaTCRegistraciones(mes, periodo, tipo.toString())
                                    : n.ValidaTCRegistraciones(mes, periodo);
    QCOMPARE(r, numero);
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstNumeracion::sentenciasDelNumeroDeAsiento_data() {
    QTest::addColumn<QVariant>("tipo");
    QTest::addColumn<QString>("centros");
    QTest::addColumn<QStringList>("sentencias");
    const QString fc = QStringLiteral(" AND TIPO_REG = 'FC' AND PERIODO =  2026");
    const QString vacio = QStringLiteral(" AND (TIPO_REG = '") + kRs +
                          QStringLiteral("' OR TIPO_REG = '') AND PERIODO =  2026");
    const QString maximo = QStringLiteral("SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM %1 "
                                          "WITH(NOLOCK) WHERE MES_OPERATIVO = 3");
    const QString usado = QStringLiteral("SELECT [NUMERO ASIENTO] AS [NRO_ASIENTO] FROM "
                                         "MV_ASIENTOSCCOSTO WITH(NOLOCK) WHERE MES_OPERATIVO = 3");
    QTest::newRow("con tipo") << QVariant("FC") << ""
                              << QStringList{maximo.arg("MV_ASIENTOS") + fc,
                                             usado + fc + " AND [NUMERO ASIENTO] = 10"};
    QTest::newRow("sin tipo") << QVariant() << ""
                              << QStringList{maximo.arg("MV_ASIENTOS") + vacio,
                                             usado + vacio + " AND [NUMERO ASIENTO] = 7"};
    QTest::newRow("numero tomado en centros de costo")
        << QVariant("FC") << "(3, 10, 2026, 'FC')"
        << QStringList{maximo.arg("MV_ASIENTOS") + fc, usado + fc + " AND [NUMERO ASIENTO] = 10",
                       maximo.arg("MV_ASIENTOSCCOSTO") + fc};
}

void TstNumeracion::sentenciasDelNumeroDeAsiento() {
    QFETCH(QVariant, tipo);
    QFETCH(QString, centros);
    QFETCH(QStringList, sentencias);
    DialogoGuionado dialogo;
    auto app = conectada(dialogo, diarioConCentros(centros));
    const qsizetype antes = enviadas().size();
    Numeracion n(*app);
    if (tipo.isValid())
        n.ValidaTCRegistraciones(3, QStringLiteral("2026"), tipo.toString());
    else
        n.ValidaTCRegistraciones(3, QStringLiteral("2026"));
    QCOMPARE(enviadas().mid(antes), sentencias);
}

void TstNumeracion::textoStr_data() {
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("texto");
    QTest::newRow("positivo") << 2026.0 << " 2026";
    QTest::newRow("cero") << 0.0 << " 0";
    QTest::newRow("negativo") << -3.0 << "-3";
    QTest::newRow("fraccion sin cero") << 0.5 << " .5";
    QTest::newRow("fraccion negativa") << -0.25 << "-.25";
}

void TstNumeracion::textoStr() {
    QFETCH(double, valor);
    QFETCH(QString, texto);
    QCOMPARE(Numeracion::TextoStr(valor), texto);
}

void TstNumeracion::numeroDeAsientoFallido_data() {
    QTest::addColumn<QString>("tabla");
    QTest::addColumn<plataforma::Respuesta>("respuesta");
    QTest::addColumn<int>("numero");
    using plataforma::Respuesta;
    // The open reports its own failure first; the routine's dialog follows.
    QTest::newRow("sin diario, abandona") << "MV_ASIENTOS" << Respuesta::Abort << 0;
    QTest::newRow("sin centros de costo, abandona con el numero alcanzado")
        << "MV_ASIENTOSCCOSTO" << Respuesta::Abort << 10;
    QTest::newRow("sin centros de costo, ignora") << "MV_ASIENTOSCCOSTO" << Respuesta::Ignore << 10;
}

void TstNumeracion::numeroDeAsientoFallido() {
    QFETCH(QString, tabla);
    QFETCH(plataforma::Respuesta, respuesta);
    QFETCH(int, numero);
    DialogoGuionado dialogo;
    auto app = conectada(dialogo,
                         QString::fromUtf8(kDiario) + QStringLiteral("DROP TABLE ") + tabla + u';');
    dialogo.responde(plataforma::Respuesta::Ignore).responde(respuesta);
    Numeracion n(*app);
    QCOMPARE(n.ValidaTCRegistraciones(3, QStringLiteral("2026"), QStringLiteral("FC")), numero);
    QVERIFY(dialogo.mostradas().size() >= 2);
    QVERIFY(dialogo.mostradas()[0].titulo.contains(QStringLiteral("AbrirRecordset")));
    QVERIFY(dialogo.mostradas()[1].titulo.contains(
        QStringLiteral(" - ValidaTCRegistraciones Aviso al operador!!! - 5 ")));
    if (respuesta == plataforma::Respuesta::Ignore) // the remaining steps are skipped quietly
        QCOMPARE(dialogo.mostradas().size(), 2);
}

// ---------------------------------------------------------------- vouchers

namespace {
const char* const kColumnas =
    "INSERT INTO TA_CPTE (CODIGO, TALONARIO, UNEGOCIO, Letras, Modificanumeracion, "
    "A_ULTIMO_NRO, A_NRO_HASTA, A_SUC_DEFAULT, AVence, B_ULTIMO_NRO, B_NRO_HASTA, B_SUC_DEFAULT, "
    "X_ULTIMO_NRO, X_NRO_HASTA, X_SUC_DEFAULT, XVence) VALUES ";

QString libros(const QString& filas) {
    return filas.isEmpty() ? QString() : QString::fromLatin1(kColumnas) + filas + u';';
}
} // namespace

void TstNumeracion::comprobante_data() {
    QTest::addColumn<QString>("datos");
    QTest::addColumn<QString>("tc");
    QTest::addColumn<QString>("sucursal");
    QTest::addColumn<QString>("letra");
    QTest::addColumn<QString>("fecha");
    QTest::addColumn<QString>("unegocio");
    QTest::addColumn<QString>("sucursalSal");
    QTest::addColumn<QString>("numeroSal"); // "sin": left as it was
    QTest::addColumn<QString>("letraSal");
    QTest::addColumn<QString>("nroHastaSal");
    QTest::addColumn<int>("modificableSal"); // -1: left as it was

    QTest::newRow("sin talonario") << ""
                                   << "CBCT"
                                   << ""
                                   << ""
                                   << ""
                                   << ""
                                   << "1"
                                   << "1"
                                   << "X"
                                   << "99999999" << -1;
    QTest::newRow("talonario en cero da 00000001")
        << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, 500, "
                  "3, NULL)")
        << "CBCT"
        << ""
        << ""
        << ""
        << ""
        << "0003"
        << "00000001"
        << "X"
        << "00000500" << 1;
    QTest::newRow("ultimo numero del talonario")
        << libros("('CBCT', 1, NULL, 'X', 'NO', NULL, NULL, NULL, NULL, NULL, NULL, NULL, 41, 500, "
                  "12, NULL)")
        << "CBCT"
        << ""
        << ""
        << ""
        << ""
        << "0012"
        << "00000041"
        << "X"
        << "00000500" << 0;
    QTest::newRow("letra del primer talonario para otro tipo que OT")
        << libros(
               "('CBCT', 1, NULL, 'AB', 'SI', 7, 100, 2, NULL, NULL, NULL, NULL, 5, 10, 1, NULL)")
        << "CBCT"
        << ""
        << "X"
        << ""
        << ""
        << "0002"
        << "00000007"
        << "A"
        << "00000100" << 1;
    QTest::newRow("OT conserva la letra")
        << libros(
               "('  OT', 1, NULL, 'AB', NULL, 7, 100, 2, NULL, NULL, NULL, NULL, 5, 10, 1, NULL)")
        << "OT"
        << ""
        << "X"
        << ""
        << ""
        << "0001"
        << "00000005"
        << "X"
        << "00000010" << 1;
    QTest::newRow("agotado se salta al siguiente")
        << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 10, 10, "
                  "1, NULL),"
                  "('CBCT', 2, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 3, 10, "
                  "2, NULL)")
        << "CBCT"
        << ""
        << ""
        << ""
        << ""
        << "0002"
        << "00000003"
        << "X"
        << "00000010" << 1;
    QTest::newRow("vencido se salta") << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, "
                                                "NULL, NULL, NULL, NULL, 1, 10, 1, '2024-01-31'),"
                                                "('CBCT', 2, NULL, 'X', NULL, NULL, NULL, NULL, "
                                                "NULL, NULL, NULL, NULL, 2, 10, 2, NULL)")
                                      << "CBCT"
                                      << ""
                                      << ""
                                      << "15/03/2024"
                                      << ""
                                      << "0002"
                                      << "00000002"
                                      << "X"
                                      << "00000010" << 1;
    QTest::newRow("vigente hasta su dia")
        << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, 10, "
                  "1, '2024-03-15')")
        << "CBCT"
        << ""
        << ""
        << "15/03/2024"
        << ""
        << "0001"
        << "00000001"
        << "X"
        << "00000010" << 1;
    QTest::newRow("vencido aunque como texto parezca vigente")
        << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, 10, "
                  "1, '2024-12-31'),"
                  "('CBCT', 2, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 2, 10, "
                  "2, NULL)")
        << "CBCT"
        << ""
        << ""
        << "15/01/2025"
        << ""
        << "0002"
        << "00000002"
        << "X"
        << "00000010" << 1;
    QTest::newRow("sin fecha no se mira el vencimiento")
        << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, 10, "
                  "1, '2000-01-01')")
        << "CBCT"
        << ""
        << ""
        << ""
        << ""
        << "0001"
        << "00000001"
        << "X"
        << "00000010" << 1;
    QTest::newRow("sucursal del usuario para FC")
        << "UPDATE TA_USUARIOS SET sucot = '0002', letot = 'B' WHERE Nombre = 'ADMIN';" +
               libros("('  FC', 1, NULL, 'AB', NULL, 1, 100, 1, NULL, 11, 100, 1, NULL, NULL, "
                      "NULL, NULL),"
                      "('  FC', 2, NULL, 'AB', NULL, 1, 100, 2, NULL, 77, 100, 2, NULL, NULL, "
                      "NULL, NULL)")
        << "FC"
        << ""
        << ""
        << ""
        << ""
        << "0002"
        << "00000077"
        << "B"
        << "00000100" << 1;
    QTest::newRow("sucursal del usuario sin talonario de ella")
        << "UPDATE TA_USUARIOS SET sucot = '0009', letot = 'B' WHERE Nombre = 'ADMIN';" +
               libros("('  FC', 1, NULL, 'AB', NULL, 1, 100, 1, NULL, 11, 100, 1, NULL, NULL, "
                      "NULL, NULL)")
        << "FC"
        << ""
        << ""
        << ""
        << ""
        << "0009"
        << "sin"
        << "B"
        << "99999999" << -1;
    QTest::newRow("sucursal 0000 del usuario no cuenta")
        << "UPDATE TA_USUARIOS SET sucot = '0000', letot = 'B' WHERE Nombre = 'ADMIN';" +
               libros("('  FC', 1, NULL, 'AB', NULL, 4, 100, 1, NULL, 11, 100, 1, NULL, NULL, "
                      "NULL, NULL)")
        << "FC"
        << ""
        << ""
        << ""
        << ""
        << "0001"
        << "00000004"
        << "A"
        << "00000100" << 1;
    QTest::newRow("sucursal dada no usa la del usuario")
        << "UPDATE TA_USUARIOS SET sucot = '0002', letot = 'B' WHERE Nombre = 'ADMIN';" +
               libros("('  FC', 1, NULL, 'AB', NULL, 4, 100, 1, NULL, 11, 100, 1, NULL, NULL, "
                      "NULL, NULL),"
                      "('  FC', 2, NULL, 'AB', NULL, 8, 100, 2, NULL, 11, 100, 2, NULL, NULL, "
                      "NULL, NULL)")
        << "FC"
        << "1"
        << "A"
        << ""
        << ""
        << "0001"
        << "00000004"
        << "A"
        << "00000100" << 1;
    QTest::newRow("letra pedida con asterisco")
        << libros(
               "('CBCT', 1, NULL, 'A', NULL, 4, 100, 1, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
               "NULL),"
               "('CBCT', 2, NULL, 'AB', NULL, 4, 100, 2, NULL, 21, 100, 2, NULL, NULL, NULL, NULL)")
        << "CBCT"
        << ""
        << "*B"
        << ""
        << ""
        << "0002"
        << "00000021"
        << "B"
        << "00000100" << 1;
    QTest::newRow("unidad de negocio propia o ninguna")
        << libros("('CBCT', 1, '   1', 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 5, 10, "
                  "1, NULL),"
                  "('CBCT', 2, '   2', 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 6, 10, "
                  "2, NULL),"
                  "('CBCT', 3, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 7, 10, "
                  "3, NULL)")
        << "CBCT"
        << ""
        << ""
        << ""
        << "2"
        << "0002"
        << "00000006"
        << "X"
        << "00000010" << 1;
    QTest::newRow("unidad de negocio sin talonario vuelve a todos")
        << libros("('CBCT', 1, '   1', 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 5, 10, "
                  "1, NULL)")
        << "CBCT"
        << ""
        << ""
        << ""
        << "2"
        << "0001"
        << "00000005"
        << "X"
        << "00000010" << 1;
}

void TstNumeracion::comprobante() {
    QFETCH(QString, datos);
    QFETCH(QString, tc);
    QFETCH(QString, sucursal);
    QFETCH(QString, letra);
    QFETCH(QString, fecha);
    QFETCH(QString, unegocio);
    QFETCH(QString, sucursalSal);
    QFETCH(QString, numeroSal);
    QFETCH(QString, letraSal);
    QFETCH(QString, nroHastaSal);
    QFETCH(int, modificableSal);
    DialogoGuionado dialogo;
    auto app = conectada(dialogo, datos);
    QString numero = QStringLiteral("sin");
    QString nroHasta = QStringLiteral("99999999");
    // Started opposite to what a chosen book gives, so that a write shows.
    bool modificable = modificableSal == 0;
    Numeracion(*app).Obtener_Nro_Comprobante_Contable(tc, sucursal, numero, letra, modificable,
                                                      fecha, unegocio, nroHasta);
    QCOMPARE(sucursal, sucursalSal);
    QCOMPARE(numero, numeroSal);
    QCOMPARE(letra, letraSal);
    QCOMPARE(nroHasta, nroHastaSal);
    QCOMPARE(modificable, modificableSal == 1);
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstNumeracion::talonariosAgotados_data() {
    QTest::addColumn<QString>("datos");
    QTest::addColumn<QString>("fecha");
    QTest::newRow("todos agotados") << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, "
                                              "NULL, NULL, NULL, NULL, 10, 10, 1, NULL),"
                                              "('CBCT', 2, NULL, 'X', NULL, NULL, NULL, NULL, "
                                              "NULL, NULL, NULL, NULL, 12, 10, 2, NULL)")
                                    << "";
    QTest::newRow("uno agotado y el otro vencido")
        << libros("('CBCT', 1, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 10, 10, "
                  "1, NULL),"
                  "('CBCT', 2, NULL, 'X', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, 10, "
                  "2, '2023-12-31')")
        << "15/03/2024";
}

void TstNumeracion::talonariosAgotados() {
    QFETCH(QString, datos);
    QFETCH(QString, fecha);
    DialogoGuionado dialogo;
    auto app = conectada(dialogo, datos);
    dialogo.responde(plataforma::Respuesta::OK);
    QString sucursal;
    QString numero;
    QString letra;
    QString nroHasta = QStringLiteral("99999999");
    bool modificable = false;
    Numeracion(*app).Obtener_Nro_Comprobante_Contable(
        QStringLiteral("CBCT"), sucursal, numero, letra, modificable, fecha, QString(), nroHasta);
    QCOMPARE(sucursal, QString());
    QCOMPARE(numero, QString());
    QCOMPARE(letra, QStringLiteral("X"));
    QCOMPARE(nroHasta, QStringLiteral("99999999"));
    QCOMPARE(dialogo.mostradas().size(), 1);
    QCOMPARE(dialogo.mostradas()[0].texto,
             QStringLiteral("Todos los talonarios del comprobante CBCT se encuentran utilizados, "
                            "debe dar de alta un nuevo talonario para el comprobante CBCT"));
    QCOMPARE(dialogo.mostradas()[0].estilo, 0); // OK only, no icon
}

void TstNumeracion::sentenciasDelComprobante_data() {
    QTest::addColumn<QString>("datos");
    QTest::addColumn<QString>("tc");
    QTest::addColumn<QString>("letra");
    QTest::addColumn<QString>("unegocio");
    QTest::addColumn<QStringList>("sentencias");
    const QString fila = libros(
        "('  FC', 1, '   1', 'AB', NULL, 1, 100, 2, NULL, 11, 100, 2, NULL, NULL, NULL, NULL)");
    QTest::newRow("sin unidad de negocio")
        << fila << "CBCT"
        << ""
        << "" << QStringList{"SELECT * FROM V_TA_CPTE   WHERE CODIGO = 'CBCT' ORDER BY TALONARIO"};
    QTest::newRow("letra pedida")
        << fila << "CBCT"
        << "*B"
        << ""
        << QStringList{"SELECT * FROM V_TA_CPTE   WHERE CODIGO = 'CBCT' AND (LETRAs LIKE('%B%'))  "
                       "ORDER BY TALONARIO"};
    QTest::newRow("sucursal del usuario")
        << "UPDATE TA_USUARIOS SET sucot = '0002', letot = 'B' WHERE Nombre = 'ADMIN';" + fila
        << "FC"
        << ""
        << ""
        << QStringList{"SELECT * FROM V_TA_CPTE  WHERE CODIGO = '  FC'  AND A_SUC_DEFAULT = '0002'",
                       "SELECT * FROM V_TA_CPTE   WHERE CODIGO = '  FC' AND A_SUC_DEFAULT = '0002' "
                       "ORDER BY TALONARIO"};
    QTest::newRow("sucursal del usuario sin talonario de ella")
        << "UPDATE TA_USUARIOS SET sucot = '0009' WHERE Nombre = 'ADMIN';" + fila << "FC"
        << ""
        << ""
        << QStringList{"SELECT * FROM V_TA_CPTE  WHERE CODIGO = '  FC'  AND A_SUC_DEFAULT = '0009'",
                       "SELECT * FROM V_TA_CPTE   WHERE CODIGO = '  FC' ORDER BY TALONARIO"};
    QTest::newRow("unidad de negocio")
        << fila << "FC"
        << ""
        << "1"
        << QStringList{"SELECT * FROM V_TA_CPTE WHERE  CODIGO = '  FC' AND (UNEGOCIO = '   1' OR "
                       "(UNEGOCIO = '' OR UNEGOCIO is null) )   ORDER BY TALONARIO"};
    QTest::newRow("unidad de negocio sin talonario")
        << fila << "FC"
        << ""
        << "7"
        << QStringList{"SELECT * FROM V_TA_CPTE WHERE  CODIGO = '  FC' AND (UNEGOCIO = '   7' OR "
                       "(UNEGOCIO = '' OR UNEGOCIO is null) )   ORDER BY TALONARIO",
                       "SELECT * FROM V_TA_CPTE  WHERE CODIGO = '  FC' ORDER BY TALONARIO"};
}

void TstNumeracion::sentenciasDelComprobante() {
    QFETCH(QString, datos);
    QFETCH(QString, tc);
    QFETCH(QString, letra);
    QFETCH(QString, unegocio);
    QFETCH(QStringList, sentencias);
    DialogoGuionado dialogo;
    auto app = conectada(dialogo, datos);
    const qsizetype antes = enviadas().size();
    QString sucursal, numero, nroHasta;
    bool modificable = false;
    Numeracion(*app).Obtener_Nro_Comprobante_Contable(tc, sucursal, numero, letra, modificable,
                                                      QString(), unegocio, nroHasta);
    QStringList cpte;
    for (const QString& s : enviadas().mid(antes))
        if (s.contains(QLatin1String("V_TA_CPTE")))
            cpte << s;
    QCOMPARE(cpte, sentencias);
}

void TstNumeracion::columnaDeLetraInexistente() {
    // A letter the book table has no columns for is a failure of the routine.
    DialogoGuionado dialogo;
    auto app = conectada(dialogo, libros("('  OT', 1, NULL, 'A', NULL, 1, 10, 1, NULL, NULL, NULL, "
                                         "NULL, NULL, NULL, NULL, NULL)"));
    dialogo.responde(plataforma::Respuesta::Abort);
    QString sucursal, numero, nroHasta;
    QString letra = QStringLiteral("Z");
    bool modificable = false;
    Numeracion(*app).Obtener_Nro_Comprobante_Contable(QStringLiteral("OT"), sucursal, numero, letra,
                                                      modificable, QString(), QString(), nroHasta);
    QCOMPARE(dialogo.mostradas().size(), 1);
    QVERIFY(dialogo.mostradas()[0].titulo.contains(
        QStringLiteral(" - Obtener_Nro_Comprobante_Contable Aviso al operador!!! - 5 ")));
    QCOMPARE(sucursal, QString());
    QCOMPARE(numero, QString());
}

QTEST_GUILESS_MAIN(TstNumeracion)
#include "tst_numeracion.moc"
