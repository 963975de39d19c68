// The utility library's text, number and code helpers, the INI reader's folder,
// the environment, and money arithmetic.

#include "DialogoGuionado.h"
#include "Fallas.h"
#include "platform/CarpetaPuesto.h"
#include "platform/Utilidades.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cmath>
#include <limits>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

using namespace plataforma;

namespace {

Currency cur(qint64 escalado) {
    return Currency::DesdeEscalado(escalado);
}

const QLocale kEspanol(QLocale::Spanish, QLocale::Argentina);
const QLocale kIngles(QLocale::English, QLocale::UnitedStates);

// Sets or clears environment variables for one test and puts them back afterwards.
class VariablesDeEntorno {
public:
    void pon(const char* nombre, const QByteArray& valor) {
        guarda(nombre);
        qputenv(nombre, valor);
    }
    void quita(const char* nombre) {
        guarda(nombre);
        qunsetenv(nombre);
    }
    ~VariablesDeEntorno() {
        for (const auto& [nombre, valor] : previos_) {
            if (valor.isNull())
                qunsetenv(nombre);
            else
                qputenv(nombre, valor);
        }
    }

private:
    void guarda(const char* nombre) {
        previos_.append(
            {nombre, qEnvironmentVariableIsSet(nombre) ? qgetenv(nombre) : QByteArray()});
    }
    QList<std::pair<const char*, QByteArray>> previos_;
};

} // namespace

class TstUtilidades : public QObject {
    Q_OBJECT

private slots:
    void anumeroEnEspanol_data();
    void anumeroEnEspanol();
    void anumeroEnIngles_data();
    void anumeroEnIngles();
    void anumeroConOtroAgrupamiento();
    void localeDelOperador();
    void anumeroDesborda();
    void anumeroDeValor_data();
    void anumeroDeValor();
    void esNumerico_data();
    void esNumerico();
    void aEntero_data();
    void aEntero();
    void aEnteroDesborda();

    void cuentaPalabras_data();
    void cuentaPalabras();
    void quitaCaracteres_data();
    void quitaCaracteres();
    void reemplazaTexto_data();
    void reemplazaTexto();
    void reemplazaPalabra_data();
    void reemplazaPalabra();
    void ajustaCodigo_data();
    void ajustaCodigo();
    void rutaConBarra_data();
    void rutaConBarra();

    void codificaIdaYVuelta_data();
    void codificaIdaYVuelta();
    void decodificaTextoSinCodificar_data();
    void decodificaTextoSinCodificar();
    void codificadoSeLeeDelIni();
    void carpetaDelPuesto_data();
    void carpetaDelPuesto();
    void puestoSeLlenaDelSitio();

    void eligeFecha();
    void eligeFechaCancelada();
    void informaError_data();
    void informaError();
    void codigoDelEstilo_data();
    void codigoDelEstilo();
    void dialogoArchivo();
    void dialogoArchivoCancelado();
    void nombreDeUsuario();
    void carpetaSistemaEsEscribible();

    void currencyDesdeDouble_data();
    void currencyDesdeDouble();
    void currencyDesdeDoubleDesborda_data();
    void currencyDesdeDoubleDesborda();
    void currencyTexto_data();
    void currencyTexto();
    void currencyProducto_data();
    void currencyProducto();
    void currencyCociente_data();
    void currencyCociente();
    void currencyDesbordaYDividePorCero();
};

// ------------------------------------------------------------------ numbers

void TstUtilidades::anumeroEnEspanol_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<qint64>("escalado");
    QTest::newRow("coma decimal") << "12,5" << qint64(125000);
    QTest::newRow("miles y coma") << "1.234,56" << qint64(12345600);
    QTest::newRow("punto solitario con decimales") << "12.5" << qint64(125000);
    QTest::newRow("punto de miles") << "1.234" << qint64(12340000);
    QTest::newRow("miles varias veces") << "1.234.567" << qint64(12345670000);
    QTest::newRow("cero punto tres cifras es decimal") << "0.500" << qint64(5000);
    QTest::newRow("cuatro cifras y punto es decimal") << "1234.567" << qint64(12345670);
    QTest::newRow("ambos separadores al modo ingles") << "1,234.56" << qint64(12345600);
    QTest::newRow("coma sin parte entera") << ",5" << qint64(5000);
    QTest::newRow("vacio") << "" << qint64(0);
    QTest::newRow("tres puntos") << "..." << qint64(0);
    QTest::newRow("letras") << "abc" << qint64(0);
    QTest::newRow("numero seguido de letras") << "12abc" << qint64(0);
    QTest::newRow("blanco entre cifras") << "1 234" << qint64(0);
    QTest::newRow("miles mal agrupados") << "1.23,4" << qint64(0);
    QTest::newRow("blancos alrededor") << "  42  " << qint64(420000);
    QTest::newRow("signo menos") << "-12,5" << qint64(-125000);
    QTest::newRow("pesos y blancos") << " $ 1.500,25 " << qint64(15002500);
    QTest::newRow("signo y pesos") << "-$5" << qint64(-50000);
    QTest::newRow("mitad va al par hacia abajo") << "0,00005" << qint64(0);
    QTest::newRow("mitad va al par hacia arriba") << "0,00015" << qint64(2);
    QTest::newRow("mas de la mitad sube") << "0,000051" << qint64(1);
    QTest::newRow("el mayor importe")
        << "922.337.203.685.477,5807" << std::numeric_limits<qint64>::max();
    QTest::newRow("el menor importe")
        << "-922.337.203.685.477,5808" << std::numeric_limits<qint64>::min();
}

void TstUtilidades::anumeroEnEspanol() {
    QFETCH(QString, texto);
    QFETCH(qint64, escalado);
    QCOMPARE(Utilidades::ANumero(texto, kEspanol).escalado(), escalado);
}

void TstUtilidades::anumeroEnIngles_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<qint64>("escalado");
    QTest::newRow("punto decimal") << "12.5" << qint64(125000);
    QTest::newRow("coma de miles") << "1,234" << qint64(12340000);
    QTest::newRow("punto con tres cifras es decimal") << "1.234" << qint64(12340);
    QTest::newRow("coma solitaria con decimales") << "12,5" << qint64(125000);
    QTest::newRow("miles y punto") << "1,234.56" << qint64(12345600);
}

void TstUtilidades::anumeroEnIngles() {
    QFETCH(QString, texto);
    QFETCH(qint64, escalado);
    QCOMPARE(Utilidades::ANumero(texto, kIngles).escalado(), escalado);
}

void TstUtilidades::anumeroConOtroAgrupamiento() {
    // A locale that groups with a blank of its own.
    const QLocale frances(QLocale::French, QLocale::France);
    const QString texto = QStringLiteral("1") + frances.groupSeparator() + QStringLiteral("234,5");
    QCOMPARE(Utilidades::ANumero(texto, frances).escalado(), qint64(12345000));
}

void TstUtilidades::localeDelOperador() {
    const QLocale neutro = Utilidades::LocaleOperador(QLocale::c());
    QCOMPARE(neutro.language(), QLocale::Spanish);
    QCOMPARE(neutro.territory(), QLocale::Argentina);
    QCOMPARE(neutro.decimalPoint(), QStringLiteral(","));
    QCOMPARE(Utilidades::LocaleOperador(kIngles).decimalPoint(), QStringLiteral("."));
}

void TstUtilidades::anumeroDesborda() {
    const QString enorme = QStringLiteral("922.337.203.685.478");
    QCOMPARE(fallaDe([&] { Utilidades::ANumero(enorme, kEspanol); }).Number, 6);
    QCOMPARE(fallaDe([&] {
                 Utilidades::ANumero(QStringLiteral("99999999999999999999999999999"), kEspanol);
             }).Number,
             6);
    QVERIFY(Utilidades::EsNumerico(enorme, kEspanol));
    // Read for a value, too large is no number.
    QVERIFY(!Utilidades::NumeroEn(QStringLiteral("99999999999999999999999999999")));
}

void TstUtilidades::anumeroDeValor_data() {
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<qint64>("escalado");
    QTest::newRow("nulo") << QVariant() << qint64(0);
    QTest::newRow("real de la base") << QVariant(1234.56789) << qint64(12345679);
    QTest::newRow("entero de la base") << QVariant(qint64(57)) << qint64(570000);
    QTest::newRow("texto con coma") << QVariant(QStringLiteral("12,5")) << qint64(125000);
    QTest::newRow("texto vacio") << QVariant(QString()) << qint64(0);
    QTest::newRow("dinero de la base")
        << QVariant::fromValue(Currency::DesdeEscalado(488030000)) << qint64(488030000);
}

void TstUtilidades::anumeroDeValor() {
    QFETCH(QVariant, valor);
    QFETCH(qint64, escalado);
    QCOMPARE(Utilidades::ANumero(valor).escalado(), escalado);
}

void TstUtilidades::esNumerico_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("numerico");
    QTest::newRow("decimal") << "12,5" << true;
    QTest::newRow("vacio") << "" << false;
    QTest::newRow("tres puntos") << "..." << false;
    QTest::newRow("letras") << "A" << false;
}

void TstUtilidades::esNumerico() {
    QFETCH(QString, texto);
    QFETCH(bool, numerico);
    QCOMPARE(Utilidades::EsNumerico(texto, kEspanol), numerico);
}

void TstUtilidades::aEntero_data() {
    // Texts that read the same in any locale, since AEntero takes the operator's.
    QTest::addColumn<QString>("texto");
    QTest::addColumn<qint32>("entero");
    QTest::newRow("se trunca") << "12,9" << 12;
    QTest::newRow("negativo se trunca hacia cero") << "-12,9" << -12;
    QTest::newRow("letras") << "abc" << 0;
    QTest::newRow("el mayor") << "2.147.483.647" << std::numeric_limits<qint32>::max();
    QTest::newRow("el menor") << "-2.147.483.648" << std::numeric_limits<qint32>::min();
}

void TstUtilidades::aEntero() {
    QFETCH(QString, texto);
    QFETCH(qint32, entero);
    QCOMPARE(Utilidades::AEntero(texto), entero);
}

void TstUtilidades::aEnteroDesborda() {
    QCOMPARE(fallaDe([] { Utilidades::AEntero(QStringLiteral("2.147.483.648")); }).Number, 6);
}

// ------------------------------------------------------------------ texts

void TstUtilidades::cuentaPalabras_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("palabras");
    QTest::newRow("vacio") << "" << 0;
    QTest::newRow("solo blancos") << "   " << 0;
    QTest::newRow("una palabra") << "LEN" << 1;
    QTest::newRow("una palabra entre blancos") << "  LEN  " << 1;
    QTest::newRow("sentencia") << "SELECT TOP 5 * FROM T" << 6;
    QTest::newRow("blancos repetidos") << "a   b" << 2;
    QTest::newRow("tabuladores y saltos de linea") << "SELECT\t*\r\nFROM T" << 4;
}

void TstUtilidades::cuentaPalabras() {
    QFETCH(QString, texto);
    QFETCH(int, palabras);
    QCOMPARE(Utilidades::CuentaPalabras(texto), palabras);
}

void TstUtilidades::quitaCaracteres_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QStringList>("quitar");
    QTest::addColumn<QString>("resultado");
    QTest::newRow("barras") << "a|b|c|" << QStringList{"|"} << "abc";
    QTest::newRow("apostrofos") << "'1','2'" << QStringList{"'"} << "1,2";
    QTest::newRow("ceros y 255 de registro fijo")
        << QStringLiteral("V_X\u00ff\u00ff") + QChar(0) + QChar(0)
        << QStringList{QString(QChar(0)), QStringLiteral("\u00ff")} << "V_X";
    QTest::newRow("tres textos") << "a-b_c.d" << QStringList{"-", "_", "."} << "abcd";
    QTest::newRow("texto de varios caracteres") << "xxabxxab" << QStringList{"ab"} << "xxxx";
    QTest::newRow("distingue mayusculas") << "aAa" << QStringList{"a"} << "A";
    QTest::newRow("nada que quitar") << "abc" << QStringList{""} << "abc";
}

void TstUtilidades::quitaCaracteres() {
    QFETCH(QString, texto);
    QFETCH(QStringList, quitar);
    QFETCH(QString, resultado);
    QCOMPARE(Utilidades::QuitaCaracteres(texto, quitar.value(0), quitar.value(1), quitar.value(2)),
             resultado);
}

void TstUtilidades::reemplazaTexto_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("busca");
    QTest::addColumn<QString>("reemplazo");
    QTest::addColumn<QString>("resultado");
    QTest::newRow("todas las barras") << "|A|B|"
                                      << "|"
                                      << ","
                                      << ",A,B,";
    QTest::newRow("busqueda vacia no cambia") << "abc"
                                              << ""
                                              << "x"
                                              << "abc";
}

void TstUtilidades::reemplazaTexto() {
    QFETCH(QString, texto);
    QFETCH(QString, busca);
    QFETCH(QString, reemplazo);
    QFETCH(QString, resultado);
    QCOMPARE(Utilidades::ReemplazaTexto(texto, busca, reemplazo), resultado);
}

void TstUtilidades::reemplazaPalabra_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("resultado");
    QTest::newRow("en una consulta") << "SELECT * FROM V_MA_ARTICULOS WHERE X = 1"
                                     << "SELECT * FROM VT_MA_ARTICULOS WHERE X = 1";
    QTest::newRow("sin distinguir mayusculas") << "select * from v_ma_articulos"
                                               << "select * from VT_MA_ARTICULOS";
    QTest::newRow("dos veces") << "V_MA_ARTICULOS,V_MA_ARTICULOS"
                               << "VT_MA_ARTICULOS,VT_MA_ARTICULOS";
    QTest::newRow("con duenio y corchetes") << "dbo.V_MA_ARTICULOS [V_MA_ARTICULOS]"
                                            << "dbo.VT_MA_ARTICULOS [VT_MA_ARTICULOS]";
    QTest::newRow("parte de otro nombre al principio") << "SS_V_MA_ARTICULOS"
                                                       << "SS_V_MA_ARTICULOS";
    QTest::newRow("parte de otro nombre al final") << "V_MA_ARTICULOS2"
                                                   << "V_MA_ARTICULOS2";
    QTest::newRow("ya reemplazado") << "VT_MA_ARTICULOS"
                                    << "VT_MA_ARTICULOS";
}

void TstUtilidades::reemplazaPalabra() {
    QFETCH(QString, texto);
    QFETCH(QString, resultado);
    QCOMPARE(Utilidades::ReemplazaPalabra(texto, QStringLiteral("V_MA_ARTICULOS"),
                                          QStringLiteral("VT_MA_ARTICULOS")),
             resultado);
}

void TstUtilidades::ajustaCodigo_data() {
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<int>("ancho");
    QTest::addColumn<QString>("resultado");
    QTest::newRow("rubro") << "1" << 4 << "   1";
    QTest::newRow("rubro con blancos") << " 12 " << 4 << "  12";
    QTest::newRow("mas largo que el ancho se conserva") << "12345" << 4 << "12345";
    QTest::newRow("vacio") << "" << 4 << "    ";
    QTest::newRow("articulo") << "A1" << 25 << QString(23, u' ') + "A1";
    QTest::newRow("sin ancho solo recorta") << "  A1 " << 0 << "A1";
}

void TstUtilidades::ajustaCodigo() {
    QFETCH(QString, codigo);
    QFETCH(int, ancho);
    QFETCH(QString, resultado);
    QCOMPARE(Utilidades::AjustaCodigo(codigo, ancho), resultado);
}

void TstUtilidades::rutaConBarra_data() {
    const QString barra = QDir::separator();
    QTest::addColumn<QString>("carpeta");
    QTest::addColumn<QString>("resultado");
    QTest::newRow("sin barra") << "/opt/hojaruta"
                               << "/opt/hojaruta" + barra;
    QTest::newRow("con barra") << "/opt/hojaruta/"
                               << "/opt/hojaruta/";
    QTest::newRow("raiz") << "/"
                          << "/";
    QTest::newRow("vacia queda vacia") << ""
                                       << "";
}

void TstUtilidades::rutaConBarra() {
    QFETCH(QString, carpeta);
    QFETCH(QString, resultado);
    QCOMPARE(Utilidades::RutaConBarra(carpeta), resultado);
}

// ------------------------------------------------------------------ scrambling

void TstUtilidades::codificaIdaYVuelta_data() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("usuario") << "Vexmar";
    QTest::newRow("clave") << "pandero";
    QTest::newRow("acentos y enie") << QStringLiteral("Peña Álvarez");
    QTest::newRow("separadores del ini") << "a|b=c;[d],\"e\"";
    QTest::newRow("largo") << QString(300, u'z');
}

void TstUtilidades::codificaIdaYVuelta() {
    QFETCH(QString, texto);
    const QString codificado = Utilidades::Codifica(texto);
    QVERIFY(codificado != texto);
    // It must survive the INI file, the connections file and being trimmed.
    for (QChar c : codificado) {
        QVERIFY2(c.unicode() > 0x20 && c.unicode() < 0x7f, qPrintable(codificado));
        QVERIFY2(!QStringLiteral("|=;[],\"").contains(c), qPrintable(codificado));
    }
    QCOMPARE(Utilidades::Decodifica(codificado), texto);
}

void TstUtilidades::decodificaTextoSinCodificar_data() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("vacio") << "";
    QTest::newRow("usuario escrito a mano") << "sa";
    QTest::newRow("con minusculas") << "Vexmar";
    QTest::newRow("cifras") << "123456";
    QTest::newRow("largo impar") << Utilidades::Codifica(QStringLiteral("abc")).chopped(1);
    QTest::newRow("control alterado") << [] {
        QString t = Utilidades::Codifica(QStringLiteral("abc"));
        t[t.size() - 1] = t.back() == u'K' ? u'Q' : u'K';
        return t;
    }();
}

void TstUtilidades::decodificaTextoSinCodificar() {
    QFETCH(QString, texto);
    QCOMPARE(Utilidades::Decodifica(texto), texto);
}

void TstUtilidades::codificadoSeLeeDelIni() {
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    VariablesDeEntorno entorno;
    entorno.pon("HOJARUTA_INI_DIR", QFile::encodeName(carpeta.path()));
    QFile ini(carpeta.filePath(QStringLiteral("CN000pr.INI")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(
        "[PC01|ANA]\r\nFlatToolbars=0\r\n[PC01|ANABaseDeDatos]\r\nServidor=sqlite\r\nUsuario=" +
        Utilidades::Codifica(QStringLiteral("operador")).toLatin1() + "\r\n");
    ini.close();

    const QString seccion = QStringLiteral("PC01|ANABaseDeDatos");
    const auto lee = [&](const char* clave, const char* defecto) {
        return ArchivoIni::Lee(QStringLiteral("cn000pr.ini"), seccion, QString::fromLatin1(clave),
                               Utilidades::Codifica(QString::fromLatin1(defecto)));
    };
    QCOMPARE(Utilidades::Decodifica(lee("Usuario", "Vexmar")), QStringLiteral("operador"));
    QCOMPARE(Utilidades::Decodifica(lee("UserPassWord", "pandero")), QStringLiteral("pandero"));
    QCOMPARE(ArchivoIni::Lee(QStringLiteral("cn000pr.ini"), QStringLiteral("PC01|ANA"),
                             QStringLiteral("FlatToolbars"), QStringLiteral("1")),
             QStringLiteral("0"));
}

void TstUtilidades::carpetaDelPuesto_data() {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<bool>("escribible");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("esperada");
    const QString programa = QStringLiteral("/usr/lib/hojaruta");
    const QString usuario = QStringLiteral("/home/ana/.config/hojaruta");
    QTest::newRow("the suite's layout") << QString() << true << usuario << programa;
    QTest::newRow("installed") << QString() << false << usuario << usuario;
    QTest::newRow("variable wins") << "/srv/puesto" << false << usuario << "/srv/puesto";
    QTest::newRow("no user folder") << QString() << false << QString() << programa;
}

void TstUtilidades::carpetaDelPuesto() {
    QFETCH(QString, variable);
    QFETCH(bool, escribible);
    QFETCH(QString, usuario);
    QFETCH(QString, esperada);
    QCOMPARE(puesto::Elige(variable, QStringLiteral("/usr/lib/hojaruta"), escribible, usuario),
             esperada);
    // This process: its folder is writable, so only the variable moves it.
    VariablesDeEntorno entorno;
    entorno.quita("HOJARUTA_INI_DIR");
    QCOMPARE(puesto::Carpeta(), QCoreApplication::applicationDirPath());
    entorno.pon("HOJARUTA_INI_DIR", "/srv/puesto");
    QCOMPARE(puesto::Carpeta(), QStringLiteral("/srv/puesto"));
}

// The clerk's folder gets the administrator's files it lacks, and keeps its own.
void TstUtilidades::puestoSeLlenaDelSitio() {
    QTemporaryDir sitio, casa;
    QVERIFY(sitio.isValid() && casa.isValid());
    const auto escribe = [](const QString& ruta, const QByteArray& texto) {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(texto);
    };
    escribe(sitio.filePath(QStringLiteral("BASES.TXT")), "DEL SITIO");
    escribe(sitio.filePath(QStringLiteral("CN000pr.INI")), "[PC01|ANA]\r\n");
    escribe(sitio.filePath(QStringLiteral("CONSULTAS.VXF")), "MASCARAS");
    QFile::setPermissions(sitio.filePath(QStringLiteral("CONSULTAS.VXF")),
                          QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QString carpeta = casa.filePath(QStringLiteral("config/hojaruta"));
    QVERIFY(QDir().mkpath(carpeta));
    escribe(QDir(carpeta).filePath(QStringLiteral("bases.txt")), "PROPIO");

    QStringList copiados = puesto::CopiaFaltantes(carpeta, sitio.path());
    copiados.sort();
    QCOMPARE(copiados,
             (QStringList{QStringLiteral("CN000pr.INI"), QStringLiteral("CONSULTAS.VXF")}));
    QFile propio(QDir(carpeta).filePath(QStringLiteral("bases.txt")));
    QVERIFY(propio.open(QIODevice::ReadOnly));
    QCOMPARE(propio.readAll(), QByteArray("PROPIO"));
    QVERIFY(QFile::permissions(QDir(carpeta).filePath(QStringLiteral("CONSULTAS.VXF"))) &
            QFileDevice::WriteOwner);
    // A second start copies nothing; a missing site or a new folder are no failure.
    QCOMPARE(puesto::CopiaFaltantes(carpeta, sitio.path()), QStringList());
    const QString sinSitio = casa.filePath(QStringLiteral("sin-sitio/hojaruta"));
    QCOMPARE(puesto::CopiaFaltantes(sinSitio, casa.filePath(QStringLiteral("no-hay"))),
             QStringList());
    QVERIFY(QFileInfo(sinSitio).isDir());
    QCOMPARE(puesto::CopiaFaltantes(casa.filePath(QStringLiteral("nueva/a")), sitio.path()).size(),
             3);
}

// ------------------------------------------------------------------ dialogs, environment

void TstUtilidades::eligeFecha() {
    DialogoGuionado operador;
    operador.responde(QDate(2024, 3, 5));
    Utilidades u(operador);
    QCOMPARE(u.EligeFecha(), QStringLiteral("05/03/2024"));
    QCOMPARE(operador.mostradas().size(), 1);
    // The calendar opens on today.
    QCOMPARE(operador.mostradas().first().texto, QDate::currentDate().toString(Qt::ISODate));
}

void TstUtilidades::eligeFechaCancelada() {
    DialogoGuionado operador;
    operador.responde(QVariant());
    Utilidades u(operador);
    QCOMPARE(u.EligeFecha(), QString());
}

void TstUtilidades::informaError_data() {
    QTest::addColumn<QString>("rutina");
    QTest::addColumn<QString>("fuente");
    QTest::addColumn<Respuesta>("respuesta");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("titulo");
    QTest::newRow("reintentar") << "AbrirRecordset"
                                << "ADODB" << Respuesta::Retry
                                << "Ha ocurrido el siguiente error (3709) Conexión cerrada\n"
                                   "Origen: ADODB"
                                << "Error en AbrirRecordset";
    QTest::newRow("omitir, sin origen")
        << "EditKeyCode"
        << "" << Respuesta::Ignore << "Ha ocurrido el siguiente error (3709) Conexión cerrada"
        << "Error en EditKeyCode";
    QTest::newRow("anular, sin rutina")
        << ""
        << "" << Respuesta::Abort << "Ha ocurrido el siguiente error (3709) Conexión cerrada"
        << "Aviso al operador";
}

void TstUtilidades::informaError() {
    QFETCH(QString, rutina);
    QFETCH(QString, fuente);
    QFETCH(Respuesta, respuesta);
    QFETCH(QString, texto);
    QFETCH(QString, titulo);
    DialogoGuionado operador;
    operador.responde(respuesta);
    Utilidades u(operador);
    QCOMPARE(
        u.InformaError(ado::Falla(3709, QStringLiteral("  Conexión cerrada "), fuente), rutina),
        respuesta);
    QCOMPARE(operador.mostradas().size(), 1);
    const CajaMostrada& caja = operador.mostradas().first();
    QCOMPARE(caja.texto, texto);
    QCOMPARE(caja.titulo, titulo);
    QCOMPARE(caja.estilo, 18);
}

void TstUtilidades::codigoDelEstilo_data() {
    QTest::addColumn<Estilo>("estilo");
    QTest::addColumn<int>("codigo");
    using B = Botones;
    // clang-format off
    QTest::newRow("error compartido") << kEstiloError << 18;
    QTest::newRow("sin nada") << Estilo{} << 0;
    QTest::newRow("Si/No critico") << Estilo{B::YesNo, Icono::Critical} << 20;
    QTest::newRow("Si/No/Cancelar exclamacion") << Estilo{B::YesNoCancel, Icono::Exclamation} << 51;
    QTest::newRow("informacion") << Estilo{B::OKOnly, Icono::Information} << 64;
    QTest::newRow("pregunta, No por defecto") << Estilo{B::YesNo, Icono::Question, 2} << 292;
    QTest::newRow("tercero por defecto") << Estilo{B::AbortRetryIgnore, Icono::Ninguno, 3} << 514;
    QTest::newRow("Reintentar/Cancelar") << Estilo{B::RetryCancel} << 5;
    // clang-format on
}

void TstUtilidades::codigoDelEstilo() {
    QFETCH(Estilo, estilo);
    QFETCH(int, codigo);
    QCOMPARE(estilo.codigo(), codigo);
    QVERIFY(Estilo::DeCodigo(codigo) == estilo);
}

void TstUtilidades::dialogoArchivo() {
    DialogoGuionado operador;
    operador.responde(QStringLiteral("/informes/Reparto.rpt"));
    DialogoArchivo dialogo(operador);
    dialogo.TituloDialogo(QStringLiteral("Elija el reporte"));
    dialogo.FiltroDialogo(QStringLiteral("Reportes|*.rpt"));
    dialogo.AbrirDialogo();
    QVERIFY(!dialogo.Cancelado());
    QCOMPARE(dialogo.ArchivoElegido(), QStringLiteral("/informes/Reparto.rpt"));
    QCOMPARE(operador.mostradas().first().titulo, QStringLiteral("Elija el reporte"));
    QCOMPARE(operador.mostradas().first().texto, QStringLiteral("Reportes|*.rpt"));
}

void TstUtilidades::dialogoArchivoCancelado() {
    DialogoGuionado operador;
    operador.responde(QStringLiteral("/informes/Reparto.rpt")).responde(QVariant());
    DialogoArchivo dialogo(operador);
    dialogo.AbrirDialogo();
    dialogo.AbrirDialogo(); // a cancelled second choice forgets the first
    QVERIFY(dialogo.Cancelado());
    QCOMPARE(dialogo.ArchivoElegido(), QString());
}

void TstUtilidades::nombreDeUsuario() {
    VariablesDeEntorno entorno;
    entorno.pon("USER", "ana");
    entorno.pon("LOGNAME", "otro");
    QCOMPARE(Entorno::NombreUsuario(), QStringLiteral("ana"));
    entorno.quita("USER");
    QCOMPARE(Entorno::NombreUsuario(), QStringLiteral("otro"));
#ifdef Q_OS_UNIX
    entorno.quita("LOGNAME");
    entorno.quita("USERNAME");
    const passwd* pw = getpwuid(geteuid());
    QVERIFY(pw);
    QCOMPARE(Entorno::NombreUsuario(), QString::fromLocal8Bit(pw->pw_name));
#endif
}

void TstUtilidades::carpetaSistemaEsEscribible() {
    // The error log falls back on it, so a clerk must be able to write there.
    const QString carpeta = Entorno::CarpetaSistema();
    QVERIFY(QDir(carpeta).exists());
    QTemporaryFile prueba(Utilidades::RutaConBarra(carpeta) + QStringLiteral("hojaruta-XXXXXX"));
    QVERIFY(prueba.open());
}

// ------------------------------------------------------------------ Currency

void TstUtilidades::currencyDesdeDouble_data() {
    QTest::addColumn<double>("valor");
    QTest::addColumn<qint64>("escalado");
    QTest::newRow("exacto") << 12.5 << qint64(125000);
    QTest::newRow("redondea arriba") << 1.23456 << qint64(12346);
    QTest::newRow("negativo redondea hacia afuera") << -1.23456 << qint64(-12346);
    QTest::newRow("ruido binario") << 0.1 + 0.2 << qint64(3000);
    // Halves of the scaled value go to the even neighbour.
    QTest::newRow("mitad baja a cero") << 0.00005 << qint64(0);
    QTest::newRow("mitad baja al par") << 0.00025 << qint64(2);
    QTest::newRow("mitad sube al par") << 0.00035 << qint64(4);
    QTest::newRow("mitad con parte entera") << 0.12345 << qint64(1234);
    QTest::newRow("mitad negativa") << -0.00025 << qint64(-2);
}

void TstUtilidades::currencyDesdeDouble() {
    QFETCH(double, valor);
    QFETCH(qint64, escalado);
    QCOMPARE(Currency::DesdeDouble(valor).escalado(), escalado);
}

void TstUtilidades::currencyDesdeDoubleDesborda_data() {
    QTest::addColumn<double>("valor");
    QTest::newRow("grande") << 1e15;
    QTest::newRow("grande negativo") << -1e15;
    QTest::newRow("infinito") << std::numeric_limits<double>::infinity();
    QTest::newRow("no es numero") << std::numeric_limits<double>::quiet_NaN();
}

void TstUtilidades::currencyDesdeDoubleDesborda() {
    QFETCH(double, valor);
    QCOMPARE(fallaDe([&] { Currency::DesdeDouble(valor); }).Number, 6);
}

void TstUtilidades::currencyTexto_data() {
    QTest::addColumn<qint64>("escalado");
    QTest::addColumn<QString>("texto");
    QTest::newRow("decimales sin ceros") << qint64(125000) << "12.5";
    QTest::newRow("cero") << qint64(0) << "0";
    QTest::newRow("diezmilesimo") << qint64(1) << "0.0001";
    QTest::newRow("el menor") << std::numeric_limits<qint64>::min() << "-922337203685477.5808";
}

void TstUtilidades::currencyTexto() {
    QFETCH(qint64, escalado);
    QFETCH(QString, texto);
    QCOMPARE(cur(escalado).texto(), texto);
}

void TstUtilidades::currencyProducto_data() {
    QTest::addColumn<qint64>("a");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<qint64>("producto");
    QTest::newRow("precio por cantidad") << qint64(123456) << qint64(25000) << qint64(308640);
    QTest::newRow("mitad baja al par") << qint64(1) << qint64(5000) << qint64(0);
    QTest::newRow("mitad sube al par") << qint64(3) << qint64(5000) << qint64(2);
    QTest::newRow("mitad negativa al par") << qint64(-3) << qint64(5000) << qint64(-2);
    QTest::newRow("resultado intermedio enorme")
        << qint64(900000000000000000) << qint64(100000) << qint64(9000000000000000000);
}

void TstUtilidades::currencyProducto() {
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    QFETCH(qint64, producto);
    QCOMPARE((cur(a) * cur(b)).escalado(), producto);
}

void TstUtilidades::currencyCociente_data() {
    QTest::addColumn<qint64>("a");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<qint64>("cociente");
    QTest::newRow("un tercio") << qint64(10000) << qint64(30000) << qint64(3333);
    QTest::newRow("dos tercios") << qint64(20000) << qint64(30000) << qint64(6667);
    QTest::newRow("mitad sube al par") << qint64(3) << qint64(20000) << qint64(2);
    QTest::newRow("divisor negativo") << qint64(3) << qint64(-20000) << qint64(-2);
}

void TstUtilidades::currencyCociente() {
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    QFETCH(qint64, cociente);
    QCOMPARE((cur(a) / cur(b)).escalado(), cociente);
}

void TstUtilidades::currencyDesbordaYDividePorCero() {
    const Currency grande = cur(std::numeric_limits<qint64>::max());
    QCOMPARE(fallaDe([&] { (void)(grande * cur(20000)); }).Number, 6);
    QCOMPARE(fallaDe([&] { (void)(grande / cur(5000)); }).Number, 6);
    QCOMPARE(fallaDe([&] { (void)(cur(10000) / Currency()); }).Number, 11);
}

QTEST_GUILESS_MAIN(TstUtilidades)
#include "tst_utilidades.moc"
