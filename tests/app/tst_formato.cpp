// Amounts formatted in a locale with a decimal point and in one with a decimal
// comma, what the operator sees when an amount cannot be formatted, and the
// yes/no reading of settings.

#include "DialogoGuionado.h"
#include "app/Aplicacion.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TstFormato : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void fmtMoneda_data();
    void fmtMoneda();
    void digitosDeMonedaDelLocale_data();
    void digitosDeMonedaDelLocale();
    void fallas_data();
    void fallas();
    void valorLogico_data();
    void valorLogico();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

namespace {

const QString kPunto = QStringLiteral("en_US"); // 1,234.5
const QString kComa = QStringLiteral("es_AR");  // 1.234,5

void fijaLocale(const QString& nombre) {
    QLocale::setDefault(QLocale(nombre));
}

} // namespace

void TstFormato::initTestCase() {
    // The error dialog logs under the temporary folder.
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("temp", "1");
    qputenv("tmp", dir_->path().toLocal8Bit());
}

void TstFormato::cleanupTestCase() {
    qunsetenv("temp");
    qunsetenv("tmp");
}

void TstFormato::cleanup() {
    QLocale::setDefault(QLocale::system());
}

void TstFormato::fmtMoneda_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("importe");
    QTest::addColumn<QVariant>("decimales");
    QTest::addColumn<bool>("miles");
    QTest::addColumn<QString>("cantidadDecimales"); // the configured setting
    QTest::addColumn<QString>("esperado");

    const QString sinConfig = QStringLiteral(" ");
    const auto fila = [&](const char* nombre, const QString& locale, const char* importe,
                          const QVariant& decimales, bool miles, const char* esperado,
                          const QString& config = QStringLiteral(" ")) {
        QTest::newRow(nombre) << locale << QString::fromUtf8(importe) << decimales << miles
                              << config << QString::fromUtf8(esperado);
    };

    // No decimals: halves go to the even digit and no separator is left behind.
    fila("punto: -2 deja 1234.5 en 1234", kPunto, "1234.5", -2, false, "1234");
    fila("punto: -2 sube 1235.5 a 1236", kPunto, "1235.5", -2, false, "1236");
    fila("punto: -2 con negativo", kPunto, "-1234.5", -2, false, "-1234");
    fila("coma: -2 deja 1234,5 en 1234", kComa, "1234,5", -2, false, "1234");
    fila("coma: -2 sube 1235,5 a 1236", kComa, "1235,5", -2, false, "1236");

    // Two decimals with thousands: each locale's own pair of separators.
    fila("punto: 2 con miles", kPunto, "1234.567", 2, true, "1,234.57");
    fila("coma: 2 con miles, texto con punto", kComa, "1234.567", 2, true, "1.234,57");
    fila("coma: 2 con miles, texto con coma", kComa, "1234,567", 2, true, "1.234,57");
    fila("coma: texto ya agrupado", kComa, "1.234.567,5", 2, true, "1.234.567,50");
    fila("punto: negativo con miles", kPunto, "-1234567.891", 2, true, "-1,234,567.89");
    fila("coma: negativo con miles", kComa, "-1234567,891", 2, true, "-1.234.567,89");
    fila("punto: 999 sin grupo", kPunto, "999", 1, true, "999.0");
    fila("punto: 1000 agrupa", kPunto, "1000", 1, true, "1,000.0");
    fila("punto: 100000 agrupa una vez", kPunto, "100000", 1, true, "100,000.0");

    // Rounding on the exact amount: as doubles 2.675 and 1.005 sit just below the half.
    fila("punto: 2.675 sube a 2.68", kPunto, "2.675", 2, false, "2.68");
    fila("punto: 1.005 queda en 1.00", kPunto, "1.005", 2, false, "1.00");
    fila("punto: 1.015 sube a 1.02", kPunto, "1.015", 2, false, "1.02");
    fila("coma: 1234,65 a un decimal queda en 1234,6", kComa, "1234,65", 1, false, "1234,6");
    fila("punto: 0.0005 a tres decimales queda en 0.000", kPunto, "0.0005", 3, false, "0.000");
    fila("punto: cero negativo sin signo", kPunto, "-0.004", 2, false, "0.00");
    fila("punto: -0.5 sin decimales es 0", kPunto, "-0.5", -2, false, "0");

    // More decimals than money keeps: the rest are zeros.
    fila("punto: 4 decimales", kPunto, "1234.5678", 4, false, "1234.5678");
    fila("coma: 6 decimales", kComa, "1234,5678", 6, true, "1.234,567800");

    // The ends of money's range.
    fila("punto: maximo con miles", kPunto, "922337203685477.5807", 2, true,
         "922,337,203,685,477.58");
    fila("punto: maximo sin decimales", kPunto, "922337203685477.5807", -2, false,
         "922337203685478");
    fila("punto: minimo sin decimales", kPunto, "-922337203685477.5808", -2, false,
         "-922337203685478");

    fila("punto: vacio es cero", kPunto, "", 2, false, "0.00");
    fila("coma: blancos es cero", kComa, "   ", 2, false, "0,00");

    // -3: the text as it came, number or not.
    fila("punto: -3 tal cual", kPunto, "1234.567", -3, true, "1234.567");
    fila("punto: -3 con texto que no es numero", kPunto, "abc", -3, false, "abc");
    fila("coma: -3 con texto que no es numero", kComa, " $ x,y ", -3, true, " $ x,y ");
    fila("coma: -3 vacio", kComa, "", -3, false, "");

    // -1: the configured decimals, read plainly; none configured is the locale's.
    fila("punto: -1 sin CantidadDecimales", kPunto, "1234.5", -1, false, "1234.50", sinConfig);
    fila("coma: -1 sin CantidadDecimales", kComa, "1234,5", -1, true, "1.234,50", sinConfig);
    fila("coma: -1 con CantidadDecimales vacia", kComa, "1234,5", -1, false, "1234,50", QString());
    fila("punto: -1 con 3", kPunto, "1234.5678", -1, false, "1234.568", QStringLiteral("3"));
    fila("punto: -1 lee el numero del comienzo", kPunto, "1234.5", -1, false, "1234.5",
         QStringLiteral(" 1 decimal"));
    fila("coma: -1 con -2 configurado", kComa, "1235,5", -1, false, "1236", QStringLiteral("-2"));

    // 0: the locale's currency digits.
    fila("punto: 0 usa dos decimales", kPunto, "1234.5", 0, true, "1,234.50");
    fila("coma: 0 usa dos decimales", kComa, "1234,5", 0, true, "1.234,50");

    // The count may come as a text or a number of another type.
    fila("coma: decimales en texto", kComa, "1234,567", QStringLiteral("2"), true, "1.234,57");
    fila("punto: decimales como real", kPunto, "1234.567", 2.0, false, "1234.57");
    fila("punto: decimales vacios son 0", kPunto, "1234.5", QVariant(), false, "1234.50");

    // A system without a locale is taken as Spanish (Argentina).
    fila("neutro como espanol", QStringLiteral("C"), "1234.567", 2, true, "1.234,57");
}

void TstFormato::fmtMoneda() {
    QFETCH(QString, locale);
    QFETCH(QString, importe);
    QFETCH(QVariant, decimales);
    QFETCH(bool, miles);
    QFETCH(QString, cantidadDecimales);
    QFETCH(QString, esperado);
    fijaLocale(locale);
    DialogoGuionado dialogo; // any box would fail the test
    Aplicacion app(dialogo);
    app.cfg.global.CantidadDecimales = cantidadDecimales;
    QCOMPARE(app.FmtMoneda(importe, decimales, miles), esperado);
}

void TstFormato::digitosDeMonedaDelLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("importe");
    QTest::addColumn<bool>("miles");
    QTest::addColumn<QString>("esperado");
    // Yen and Chilean peso have no decimals: the half goes to the even unit.
    QTest::newRow("yen, 1234.5") << "ja_JP"
                                 << "1234.5" << false << "1234";
    QTest::newRow("yen, 1235.5 con miles") << "ja_JP"
                                           << "1235.5" << true << "1,236";
    QTest::newRow("peso chileno") << "es_CL"
                                  << "1235,5" << true << "1.236";
    // A sign with points of its own ("kr.", "د.ك.") is not taken for decimals.
    QTest::newRow("corona danesa") << "da_DK"
                                   << "1234,5" << true << "1.234,50";
    QTest::newRow("dinar kuwaiti, tres decimales")
        << "ar_KW"
        << "1234.5" << false << QStringLiteral("1234\u066B500");
}

void TstFormato::digitosDeMonedaDelLocale() {
    QFETCH(QString, locale);
    QFETCH(QString, importe);
    QFETCH(bool, miles);
    QFETCH(QString, esperado);
    fijaLocale(locale);
    DialogoGuionado dialogo;
    Aplicacion app(dialogo);
    QCOMPARE(app.FmtMoneda(importe, 0, miles), esperado);
    // -1 with nothing configured comes to the same.
    QCOMPARE(app.FmtMoneda(importe, -1, miles), esperado);
}

void TstFormato::fallas_data() {
    QTest::addColumn<QString>("importe");
    QTest::addColumn<QVariant>("decimales");
    QTest::addColumn<QList<plataforma::Respuesta>>("respuestas");
    using R = plataforma::Respuesta;
    QTest::addColumn<QString>("esperado");
    QTest::addColumn<QString>("mensaje"); // of every box shown
    QTest::addColumn<QString>("fuente");  // where the failure arose

    const QString tipos =
        QStringLiteral("Ha ocurrido el Siguiente Error (13) No coinciden los tipos");
    const QString argumento = QStringLiteral(
        "Ha ocurrido el Siguiente Error (5) Argumento o llamada a procedimiento no válida");
    const QString desborde = QStringLiteral("Ha ocurrido el Siguiente Error (6) Desbordamiento");

    QTest::newRow("importe no numerico, anular")
        << "12abc" << QVariant(2) << QList<R>{R::Abort} << "" << tipos << "hojaruta";
    QTest::newRow("importe no numerico, omitir sigue con cero")
        << "12abc" << QVariant(2) << QList<R>{R::Ignore} << "0.00" << tipos << "hojaruta";
    QTest::newRow("importe no numerico, reintentar repite el paso")
        << "12abc" << QVariant(2) << QList<R>{R::Retry, R::Retry, R::Abort} << "" << tipos
        << "hojaruta";
    QTest::newRow("importe no numerico, cancelar deja vacio")
        << "12abc" << QVariant(2) << QList<R>{R::Cancel} << "" << tipos << "hojaruta";
    QTest::newRow("importe fuera de rango") << "99999999999999999999" << QVariant(2)
                                            << QList<R>{R::Abort} << "" << desborde << "ANumero";
    QTest::newRow("decimales no numericos, omitir usa los de la moneda")
        << "1234.5" << QVariant(QStringLiteral("dos")) << QList<R>{R::Ignore} << "1234.50" << tipos
        << "hojaruta";
    QTest::newRow("decimales no numericos, anular")
        << "1234.5" << QVariant(QStringLiteral("dos")) << QList<R>{R::Abort} << "" << tipos
        << "hojaruta";
    QTest::newRow("decimales negativos, anular")
        << "1234.5" << QVariant(-5) << QList<R>{R::Abort} << "" << argumento << "hojaruta";
    QTest::newRow("decimales negativos, omitir muestra el numero")
        << "1234.5" << QVariant(-5) << QList<R>{R::Ignore} << "1234.5" << argumento << "hojaruta";
    QTest::newRow("demasiados decimales, anular")
        << "1234.5" << QVariant(1000) << QList<R>{R::Abort} << "" << argumento << "hojaruta";
}

void TstFormato::fallas() {
    QFETCH(QString, importe);
    QFETCH(QVariant, decimales);
    QFETCH(QList<plataforma::Respuesta>, respuestas);
    QFETCH(QString, esperado);
    QFETCH(QString, mensaje);
    QFETCH(QString, fuente);
    fijaLocale(kPunto);
    DialogoGuionado dialogo;
    for (plataforma::Respuesta r : respuestas)
        dialogo.responde(r);
    Aplicacion app(dialogo);
    QCOMPARE(app.FmtMoneda(importe, decimales, false), esperado);
    QCOMPARE(dialogo.mostradas().size(), respuestas.size());
    for (const CajaMostrada& caja : dialogo.mostradas()) {
        QCOMPARE(caja.texto, mensaje);
        QCOMPARE(caja.titulo, fuente + QStringLiteral(" - FmtMoneda Aviso al operador!!! - 2 "));
        QCOMPARE(caja.estilo, 18);
    }
}

void TstFormato::valorLogico_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("defecto");
    QTest::addColumn<bool>("esperado");

    const char* const verdaderos[] = {"TRUE", "true", "VERDADERO", "Verdadero", "1",
                                      "SI",   "si",   "sI",        "S",         "s"};
    for (const char* t : verdaderos) {
        QTest::addRow("'%s' con defecto falso", t) << QString::fromLatin1(t) << false << true;
        QTest::addRow("'%s' con defecto verdadero", t) << QString::fromLatin1(t) << true << true;
    }
    const char* const falsos[] = {"FALSE", "false", "FALSO", "Falso", "0", "NO", "no", "N", "n"};
    for (const char* t : falsos) {
        QTest::addRow("'%s' con defecto verdadero", t) << QString::fromLatin1(t) << true << false;
        QTest::addRow("'%s' con defecto falso", t) << QString::fromLatin1(t) << false << false;
    }
    // Outside both lists, blanks included: the default.
    const char* const otros[] = {" SI", "SI ", " NO", "NO ",       "",       "YES",
                                 "2",   "SIN", "Ss",  "S\xc3\x8d", "verdad", "-1"};
    for (const char* t : otros) {
        QTest::addRow("'%s' con defecto falso", t) << QString::fromUtf8(t) << false << false;
        QTest::addRow("'%s' con defecto verdadero", t) << QString::fromUtf8(t) << true << true;
    }
}

void TstFormato::valorLogico() {
    QFETCH(QString, texto);
    QFETCH(bool, defecto);
    QFETCH(bool, esperado);
    QCOMPARE(Aplicacion::ValorLogico(texto, defecto), esperado);
}

QTEST_GUILESS_MAIN(TstFormato)
#include "tst_formato.moc"
