// Startup on an embedded database, the configuration store, the frame's error log
// and the default lookup definitions.

#include "AplicacionDePrueba.h"
#include "db/RegistroErrores.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const kDatos = R"SQL(
INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ADMIN', 1), ('CAJERO', 0);
INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor, ValorAux) VALUES
    ('DATOS', 'CANTIDADDECIMALES', '2', NULL),
    ('DATOS', 'CC_COL1', '   1', 'auxiliar'),
    ('DATOS', 'SS_CONFIDENCIALIDAD', 'si', NULL),
    ('DATOS', 'PERIODO', '2026', NULL),
    ('DATOS', 'MADERERA', 'NO', NULL),
    ('DATOS', 'V_MODIFICACPRECIO', 'x', NULL),
    ('DATOS', 'CFONDO', '0', NULL),
    ('DATOS', 'SinValor', NULL, 'solo aux'),
    ('DATOS', 'Nulos', NULL, NULL),
    ('DATOS', 'Con''Comilla', 'c', ' a ');
)SQL";

} // namespace

class TstAplicacion : public QObject {
    Q_OBJECT

private slots:
    void init();
    void arrancaSobreLaBase();
    void sinConexionTerminaElPrograma();
    void lineaVaciaPideDatosDeConexion();
    void usaElIniCuandoNoHayLinea();
    void cfgDeClaves();
    void cfgVariasComoCfg_data();
    void cfgVariasComoCfg();
    void cfgAntesDeConectarNoLee();
    void grabaDfgConservaValorAux();
    void sentenciasDeCfgYGrabaDfg();
    void existeRegistro_data();
    void existeRegistro();
    void consultasPorDefecto();
    void consultasExistentesNoSeTocan();
    void errorGlobalSeAnota_data();
    void errorGlobalSeAnota();
    void errorCeroNoMuestraNada();
    void driverOdbcDelIni();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString base_;
    QString linea(const QString& usuario = QStringLiteral("ADMIN")) const {
        return QStringLiteral("@server=sqlite; @dbname= %1; @usuario= %2; @Password= ; "
                              "@ParametroAdicional=25; @Caja=3;kora@")
            .arg(base_, usuario);
    }
    std::unique_ptr<Aplicacion> nueva(DialogoGuionado& dialogo) const {
        return prueba::NuevaAplicacion(dialogo, dir_->path());
    }
};

void TstAplicacion::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    base_ = dir_->filePath(QStringLiteral("hojaruta.db"));
    ado::sqlite::CreaBaseEmbebida(base_, recursos::EsquemaSql(), QString::fromUtf8(kDatos));
    qputenv("HOJARUTA_INI_DIR", dir_->path().toLocal8Bit());
}

void TstAplicacion::arrancaSobreLaBase() {
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QString cadena;
    QVERIFY(app->IniciaAplicacion(false, linea(), cadena, ado::adUseClient));
    QVERIFY(app->db.gOpenFlag);
    QVERIFY(app->db.gEsAdmin);
    QCOMPARE(app->sesion.gParametroAdicional, QStringLiteral("25"));
    QCOMPARE(app->sesion.gCaja, QStringLiteral("3"));
    QCOMPARE(app->sesion.gUsuarioLogeado, QStringLiteral("ADMIN"));
    QCOMPARE(app->sesion.gMaquinaUsuario, QStringLiteral("PC01|ANA"));
    QCOMPARE(app->sesion.gConexionDSN, QStringLiteral("DSN=%1; UID=ADMIN; PWD=").arg(base_));
    QCOMPARE(app->db.gCnn().CommandTimeout(), 360);
    QCOMPARE(app->db.gCnn().IsolationLevel(), int(ado::adXactReadUncommitted));
    QCOMPARE(app->cfg.gTablaConfiguracion, QStringLiteral("ta_configuracion"));
    QCOMPARE(app->cfg.global.CantidadDecimales, QStringLiteral("2"));
    QVERIFY(app->cfg.global.SS_CONFIDENCIALIDAD);
    QVERIFY(app->db.confidencialidad);
    QCOMPARE(app->cfg.global.PERIODO, qint16(2026));
    QVERIFY(!app->cfg.global.MADERERA);
    QVERIFY(app->cfg.global.V_ModificaCPrecio);
    QCOMPARE(app->cfg.global.CFondo, 0xFFFF00);
    QCOMPARE(app->cfg.global.UNegocio, QStringLiteral("   1"));
    QCOMPARE(app->cfg.global.Top_Default, QStringLiteral("1000"));
    QCOMPARE(app->consultas.gRutaMascaraConsultas, dir_->path() + QStringLiteral("/consultas.vxf"));
    QVERIFY(app->consultas.gUsarMascarasConsultas);
    QVERIFY(QFile::exists(app->consultas.gRutaMascaraConsultas));
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstAplicacion::sinConexionTerminaElPrograma() {
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::No);
    auto app = nueva(dialogo);
    bool terminado = false;
    app->terminaPrograma = [&] { terminado = true; };
    QString cadena;
    base_ = dir_->filePath(QStringLiteral("no_existe.db"));
    QVERIFY(!app->IniciaAplicacion(false, linea(), cadena, ado::adUseClient));
    QVERIFY(terminado);
    QCOMPARE(dialogo.mostradas().size(), 1);
    QCOMPARE(dialogo.mostradas().first().titulo,
             QStringLiteral(" Error de Conexion a Base de Datos"));
}

void TstAplicacion::lineaVaciaPideDatosDeConexion() {
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    auto app = nueva(dialogo);
    bool terminado = false;
    app->terminaPrograma = [&] { terminado = true; };
    QString cadena;
    QVERIFY(!app->IniciaAplicacion(false, QString(), cadena, ado::adUseClient));
    QVERIFY(terminado);
    QVERIFY(!app->db.gOpenFlag);
}

void TstAplicacion::usaElIniCuandoNoHayLinea() {
    QFile ini(dir_->filePath(QStringLiteral("cn000pr.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral(
                  "[PC01|ANA]\r\nFlatToolbars=0\r\n[PC01|ANABaseDeDatos]\r\nServidor=sqlite\r\n"
                  "DbName=%1\r\nUsuario=%2\r\nUserPassWord=%3\r\n")
                  .arg(base_, Utilidades::Codifica(QStringLiteral("CAJERO")),
                       Utilidades::Codifica(QStringLiteral("x|y")))
                  .toLatin1());
    ini.close();
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QString cadena;
    QVERIFY(app->IniciaAplicacion(true, QString(), cadena, ado::adUseClient));
    QCOMPARE(app->db.gUsuario, QStringLiteral("CAJERO"));
    QCOMPARE(app->db.gUserPassWord, QStringLiteral("xy"));
    QVERIFY(!app->db.gEsAdmin);
    QCOMPARE(app->sesion.gFlatToolbars, 0);
}

void TstAplicacion::cfgDeClaves() {
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QString cadena;
    QVERIFY(app->IniciaAplicacion(false, linea(), cadena, ado::adUseClient));
    QString aux;
    QCOMPARE(app->cfg.Cfg(QStringLiteral("cc_col1"), aux), QStringLiteral("   1"));
    QCOMPARE(aux, QStringLiteral("auxiliar"));
    QCOMPARE(app->cfg.Cfg(QStringLiteral("NO_EXISTE"), aux), QStringLiteral(" "));
    QCOMPARE(aux, QString());
    QCOMPARE(app->cfg.Cfg(QStringLiteral("theme")), QStringLiteral("1"));
    QCOMPARE(app->cfg.Cfg(QStringLiteral("clave'rara")), QStringLiteral(" "));
}

void TstAplicacion::cfgVariasComoCfg_data() {
    QTest::addColumn<QString>("clave");
    QTest::newRow("presente") << "PERIODO";
    QTest::newRow("otras mayusculas") << "cc_col1";
    QTest::newRow("con blancos alrededor") << "  CantidadDecimales ";
    QTest::newRow("ausente") << "NO_EXISTE";
    QTest::newRow("VALOR nulo") << "SINVALOR";
    QTest::newRow("VALOR y valoraux nulos") << "nulos";
    QTest::newRow("con comilla") << "con'comilla";
    QTest::newRow("THEME ausente") << "Theme";
}

void TstAplicacion::cfgVariasComoCfg() {
    // Read among other keys in one statement, a key gives what its own read gives.
    QFETCH(QString, clave);
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QString cadena;
    QVERIFY(app->IniciaAplicacion(false, linea(), cadena, ado::adUseClient));
    const auto juntas =
        app->cfg.CfgVarias({QStringLiteral("MADERERA"), clave, QStringLiteral("OTRA_AUSENTE"),
                            QStringLiteral("CFondo")});
    QVERIFY(juntas);
    QCOMPARE(juntas->size(), 4);
    QString aux = QStringLiteral("previo");
    const QString valor = app->cfg.Cfg(clave, aux);
    QCOMPARE(juntas->at(1).valor, valor);
    QCOMPARE(juntas->at(1).aux, aux);
    QCOMPARE(juntas->at(0).valor, QStringLiteral("NO"));
    QCOMPARE(juntas->at(2).valor, QStringLiteral(" "));
    QCOMPARE(juntas->at(3).valor, QStringLiteral("0"));
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstAplicacion::cfgAntesDeConectarNoLee() {
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QVERIFY(!app->cfg.CfgVarias({QStringLiteral("CC_COL1")}));
    QString aux = QStringLiteral("x");
    QCOMPARE(app->cfg.Cfg(QStringLiteral("CC_COL1"), aux), QString());
    QCOMPARE(aux, QString());
    QVERIFY(app->cfg.gTablaConfiguracion.isEmpty());
}

void TstAplicacion::grabaDfgConservaValorAux() {
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QString cadena;
    QVERIFY(app->IniciaAplicacion(false, linea(), cadena, ado::adUseClient));
    app->cfg.GrabaDfg(QStringLiteral("cc_col1 "), QStringLiteral("  9  "), QString(), false,
                      QStringLiteral("DATOS"), true);
    QString aux;
    QCOMPARE(app->cfg.Cfg(QStringLiteral("CC_COL1"), aux), QStringLiteral("9"));
    QCOMPARE(aux, QStringLiteral("auxiliar"));
    app->cfg.GrabaDfg(QStringLiteral("nueva"), QStringLiteral(" v "), QStringLiteral(" a "), true,
                      QStringLiteral("DATOS"), false);
    QCOMPARE(app->cfg.Cfg(QStringLiteral("NUEVA"), aux), QStringLiteral(" v "));
    QCOMPARE(aux, QStringLiteral("a"));
    ado::Recordset rs;
    rs.Open(
        QStringLiteral("SELECT Clave, PoliticaNegocio FROM TA_CONFIGURACION WHERE Clave = 'nueva'"),
        app->db.gCnn());
    QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("NUEVA"));
    QCOMPARE(rs.Fields(1).Value().toInt(), 1);
}

void TstAplicacion::sentenciasDeCfgYGrabaDfg() {
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    app->cfg.gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    QCOMPARE(
        app->cfg.SentenciaCfg(QStringLiteral(" PIVA ")),
        QStringLiteral(
            "SELECT VALOR, valoraux FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE = 'PIVA'"));
    QCOMPARE(app->cfg.SentenciaCfg(QStringLiteral("[Fecha Desde]")),
             QStringLiteral("SELECT VALOR, VALORAUX FROM TA_CONFIGURACION WITH(NOLOCK)  WHERE "
                            "CLAVE = '[FECHA DESDE]'"));
    QCOMPARE(
        app->cfg.SentenciaGrabaDfg(QStringLiteral(" CC_Col1")),
        QStringLiteral("SELECT * FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE = ' CC_Col1'"));
}

void TstAplicacion::existeRegistro_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("condicion");
    QTest::addColumn<bool>("existe");
    QTest::newRow("texto recortado") << " ADMIN "
                                     << "Nombre" << 8 << "" << false;
    QTest::newRow("texto") << "ADMIN"
                           << "Nombre" << 8 << "" << true;
    QTest::newRow("numero") << "1abc"
                            << "Administrador" << 3 << "" << true;
    QTest::newRow("numero ausente") << "7"
                                    << "Administrador" << 4 << "" << false;
    QTest::newRow("condicion") << ""
                               << "" << 0 << "Nombre = 'CAJERO'" << true;
    QTest::newRow("condicion con WHERE") << ""
                                         << "" << 0 << " WHERE Nombre = 'NADIE'" << false;
}

void TstAplicacion::existeRegistro() {
    QFETCH(QString, valor);
    QFETCH(QString, campo);
    QFETCH(int, tipo);
    QFETCH(QString, condicion);
    QFETCH(bool, existe);
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QString cadena;
    QVERIFY(app->IniciaAplicacion(false, linea(), cadena, ado::adUseClient));
    QCOMPARE(app->cfg.ExisteRegistro(QStringLiteral("TA_USUARIOS"), valor, campo, nullptr, tipo,
                                     condicion),
             existe);
}

void TstAplicacion::consultasPorDefecto() {
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    app->consultas.gRutaMascaraConsultas = dir_->filePath(QStringLiteral("consultas.vxf"));
    app->CreaConsultasDefault();
    QFile f(app->consultas.gRutaMascaraConsultas);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray datos = f.readAll();
    QCOMPARE(datos.size(), 11 * 1202);
    const auto campo = [&](int registro, int desde, int largo) {
        return datos.mid(registro * 1202 + desde, largo);
    };
    QCOMPARE(campo(0, 0, 100), QByteArray("ARTICULOS").leftJustified(100, ' '));
    QCOMPARE(campo(0, 100, 100), QByteArray("V_MA_ARTICULOS").leftJustified(100, ' '));
    QCOMPARE(campo(0, 200, 500), QByteArray("|DESCRIPCION|IDARTICULO|").leftJustified(500, ' '));
    QCOMPARE(campo(0, 700, 500), QByteArray(500, ' '));
    QCOMPARE(campo(0, 1200, 2), QByteArray("\r\n"));
    QCOMPARE(campo(3, 200, 500).trimmed(),
             QByteArray("|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"));
    QCOMPARE(campo(10, 0, 100).trimmed(), QByteArray("DEPOSITO"));
    QCOMPARE(campo(10, 100, 100).trimmed(), QByteArray("V_TA_DEPOSITO"));
}

void TstAplicacion::consultasExistentesNoSeTocan() {
    QFile f(dir_->filePath(QStringLiteral("CONSULTAS.VXF")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("propio");
    f.close();
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QString cadena;
    QVERIFY(app->IniciaAplicacion(false, linea(), cadena, ado::adUseClient));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("propio"));
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("consultas.vxf"))));
}

void TstAplicacion::errorGlobalSeAnota_data() {
    QTest::addColumn<plataforma::Respuesta>("respuesta");
    QTest::addColumn<QString>("rutina");
    QTest::addColumn<QByteArray>("linea");
    QTest::newRow("reintentar con rutina")
        << plataforma::Respuesta::Retry << "Cfg"
        << QByteArray(
               "03-15-2024 10:42:07 Rutina: - Cfg Mensaje Ha ocurrido el Siguiente Error (3709) "
               "sin conexion Respondi\xf3 : Reintentar\r\n");
    QTest::newRow("ignorar sin rutina")
        << plataforma::Respuesta::Ignore << ""
        << QByteArray("03-15-2024 10:42:07 Rutina:  Mensaje Ha ocurrido el Siguiente Error (3709) "
                      "sin conexion Respondi\xf3 : Ignorar\r\n");
    QTest::newRow("si") << plataforma::Respuesta::Yes << "X"
                        << QByteArray(
                               "03-15-2024 10:42:07 Rutina: - X Mensaje Ha ocurrido el Siguiente "
                               "Error (3709) sin conexion Respondi\xf3 : S\xed\r\n");
    QTest::newRow("aceptar deja la palabra vacia")
        << plataforma::Respuesta::OK << "X"
        << QByteArray(
               "03-15-2024 10:42:07 Rutina: - X Mensaje Ha ocurrido el Siguiente Error (3709) "
               "sin conexion Respondi\xf3 : \r\n");
}

void TstAplicacion::errorGlobalSeAnota() {
    QFETCH(plataforma::Respuesta, respuesta);
    QFETCH(QString, rutina);
    QFETCH(QByteArray, linea);
    qputenv("temp", "1");
    qputenv("tmp", dir_->path().toLocal8Bit());
    DialogoGuionado dialogo;
    dialogo.responde(respuesta);
    auto app = nueva(dialogo);
    QCOMPARE(app->RutaLogGlobal(), dir_->path() + QStringLiteral("/VXERR.LOG"));
    const ado::Falla falla(3709, QStringLiteral("  sin conexion "),
                           QStringLiteral("ADODB.Recordset"));
    QCOMPARE(app->TratamientoErroresGlobal(falla, plataforma::kEstiloError, rutina),
             std::optional(respuesta));
    const CajaMostrada& caja = dialogo.mostradas().first();
    QCOMPARE(caja.texto, QStringLiteral("Ha ocurrido el Siguiente Error (3709) sin conexion"));
    QCOMPARE(caja.titulo, QStringLiteral("ADODB.Recordset") +
                              (rutina.isEmpty() ? QString() : QStringLiteral(" - ") + rutina) +
                              QStringLiteral(" Aviso al operador!!! - 2 "));
    QCOMPARE(caja.estilo, 18);
    QFile log(app->RutaLogGlobal());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), linea);
    qunsetenv("temp");
    qunsetenv("tmp");
}

void TstAplicacion::errorCeroNoMuestraNada() {
    qputenv("temp", "1");
    qputenv("tmp", dir_->path().toLocal8Bit());
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    QCOMPARE(app->TratamientoErroresGlobal(ado::Falla(0, QStringLiteral("nada"))),
             std::optional<plataforma::Respuesta>());
    QVERIFY(!QFile::exists(app->RutaLogGlobal()));
    // With temp unset the system folder is used, even when tmp is set.
    qunsetenv("temp");
    QVERIFY(!app->RutaLogGlobal().startsWith(dir_->path()));
    qunsetenv("tmp");
}

void TstAplicacion::driverOdbcDelIni() {
    QFile ini(dir_->filePath(QStringLiteral("CN000pr.INI")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[ODBC]\r\nDriverSqlServer=SinDriverInstalado\r\nSegundosConexion=3\r\n");
    ini.close();
    DialogoGuionado dialogo;
    auto app = nueva(dialogo);
    app->db.gServidor = QStringLiteral("srv01");
    app->db.gDBName = QStringLiteral("GESTION");
    app->db.gUsuario = QStringLiteral("ana");
    app->db.OpenServerADODB(false, ado::adUseClient, QString(), false, false);
    QVERIFY(!app->db.gOpenFlag);
    QCOMPARE(app->db.gCnn().opcionesOdbc().segundosConexion, 3);
    QVERIFY(app->db.gCnn().Errors().Count() > 0);
    QCOMPARE(app->db.gCnn().Errors().Item(0).SQLState, QStringLiteral("IM002"));
    QVERIFY2(
        app->db.gCnn().Errors().Item(0).Description.contains(QLatin1String("SinDriverInstalado")),
        qPrintable(app->db.gCnn().Errors().Item(0).Description));
}

QTEST_GUILESS_MAIN(TstAplicacion)
#include "tst_aplicacion.moc"
