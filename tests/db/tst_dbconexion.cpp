// The database-access object on real embedded databases: the administrator check,
// the catalogue, lost connections, failing and warning statements, the failure
// boxes, the error dialog with its log, and scripts on an Oracle connection.

#include "DialogoGuionado.h"
#include "ProveedorDePrueba.h"
#include "db/DB_Dll.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace prueba;
using plataforma::Respuesta;
using Apertura = DB_Dll::Apertura;

namespace {

// A fresh database (the program's schema unless another is given) and an instance
// on it, behind a provider that can lose the line.
struct Base {
    QTemporaryDir dir;
    QString ruta = dir.filePath(QStringLiteral("hojaruta.db"));
    DialogoGuionado dialogo;
    std::shared_ptr<Guion> guion = std::make_shared<Guion>();
    DB_Dll db{dialogo, nullptr, Fabrica(guion)};
    int terminado = 0;

    explicit Base(const QString& esquema = {}, const QString& datos = {}) {
        ado::sqlite::CreaBaseEmbebida(ruta, esquema.isEmpty() ? recursos::EsquemaSql() : esquema,
                                      datos);
        db.gServidor = QStringLiteral("sqlite");
        db.gDBName = ruta;
        db.gUsuario = QStringLiteral("ana");
        db.nombreEjecutable = QStringLiteral("hojaruta");
        db.gLogErr = dir.filePath(QStringLiteral("VXERR.LOG"));
        db.reloj = [] { return QDateTime(QDate(2024, 3, 15), QTime(10, 42, 7)); };
        db.terminaPrograma = [this] { ++terminado; };
    }
    void abre() {
        db.OpenServerADODB(false, ado::adUseClient, QString(), false, false);
        QVERIFY(db.gOpenFlag);
    }
    QByteArray registro() const {
        QFile f(db.gLogErr);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

const QString kAna =
    QStringLiteral("INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ana', 1);");

} // namespace

class TstDbConexion : public QObject {
    Q_OBJECT

private slots:
    void controlDeAdministrador_data();
    void controlDeAdministrador();
    void catalogo_data();
    void catalogo();
    void verCampoDB();
    void conexionPerdida_data();
    void conexionPerdida();
    void edicionPendiente();
    void avisosYFallas_data();
    void avisosYFallas();
    void fallaDeConexion_data();
    void fallaDeConexion();
    void estadisticasJuntoALaPrincipal();
    void archivoLocal_data();
    void archivoLocal();
    void tratamientoErrores_data();
    void tratamientoErrores();
    void tratamientoErroresSinRegistro();
    void scriptOracle_data();
    void scriptOracle();
    void sesionOracleRechazada();
    void lecturasTraducidas_data();
    void lecturasTraducidas();
    void sinDialogos_data();
    void sinDialogos();
    void transaccionDB_data();
    void transaccionDB();

private:
    std::unique_ptr<Base> demo_;
};

void TstDbConexion::controlDeAdministrador_data() {
    QTest::addColumn<QString>("esquema");
    QTest::addColumn<QString>("usuarios");
    QTest::addColumn<bool>("validaAdmin");
    QTest::addColumn<bool>("muestraError");
    QTest::addColumn<bool>("antes");
    QTest::addColumn<bool>("despues");
    const QString otra = QStringLiteral("CREATE TABLE OTRA (A INT);");
    // clang-format off
    QTest::newRow("Administrador 1") << "" << "('  ana ', 1)" << true << true << false << true;
    QTest::newRow("Administrador 2") << "" << "('ana', 2)" << true << true << true << false;
    QTest::newRow("otro usuario") << "" << "('beto', 1)" << true << true << true << false;
    QTest::newRow("sin dialogo, administrador") << "" << "('ana', 2)" << true << false << false << true;
    QTest::newRow("sin control, administrador") << "" << "('ana', 2)" << false << true << false << true;
    QTest::newRow("sin TA_USUARIOS, sigue si") << otra << "" << true << true << true << true;
    QTest::newRow("sin TA_USUARIOS, sigue no") << otra << "" << true << true << false << false;
    // clang-format on
}

void TstDbConexion::controlDeAdministrador() {
    QFETCH(QString, esquema);
    QFETCH(QString, usuarios);
    QFETCH(bool, validaAdmin);
    QFETCH(bool, muestraError);
    QFETCH(bool, antes);
    QFETCH(bool, despues);
    Base b(esquema, usuarios.isEmpty()
                        ? QString()
                        : "INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES " + usuarios);
    b.db.gEsAdmin = antes;
    b.db.OpenServerADODB(false, ado::adUseClient, QString(), validaAdmin, muestraError);
    QVERIFY(b.db.gOpenFlag);
    QCOMPARE(b.db.gEsAdmin, despues);
    if (validaAdmin && muestraError && esquema.isEmpty())
        QCOMPARE(b.guion->sentencias, QStringList{"SELECT TOP 1 * FROM ta_usuarios with(nolock)  "
                                                  "WHERE LTRIM(RTRIM(nombre)) ='ana' "});
}

void TstDbConexion::catalogo_data() {
    QTest::addColumn<QString>("tabla");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<bool>("existe");
    // clang-format off
    QTest::newRow("tabla") << "TA_USUARIOS" << "" << true;
    QTest::newRow("tabla, minusculas y blancos") << "  ta_usuarios " << "" << true;
    QTest::newRow("vista") << "V_MA_ARTICULOS" << "" << true;
    QTest::newRow("vista sinonimo") << "ss_ma_cuentas" << "" << true;
    QTest::newRow("prefijo de otra tabla") << "TA_USUARIO" << "" << false;
    QTest::newRow("columna, minusculas y blancos") << "TA_USUARIOS" << " administrador " << true;
    QTest::newRow("columna de vista") << "V_MA_ARTICULOS" << "IdArticulo" << true;
    QTest::newRow("columna que falta") << "TA_USUARIOS" << "Clave" << false;
    QTest::newRow("tabla que falta") << "TA_NO" << "Clave" << false;
    // clang-format on
}

void TstDbConexion::catalogo() {
    QFETCH(QString, tabla);
    QFETCH(QString, campo);
    QFETCH(bool, existe);
    Base b;
    b.abre();
    QCOMPARE(campo.isEmpty() ? b.db.ExisteTablaDB(tabla) : b.db.ExisteCampoDB(tabla, campo),
             existe);
    b.db.gProveedor = DB_Dll::pORAOLEDB; // Oracle's catalogue is not asked
    QVERIFY(b.db.ExisteCampoDB(tabla, QStringLiteral("NoHay")));
}

void TstDbConexion::verCampoDB() {
    Base b;
    b.abre();
    const QString t = QStringLiteral("TA_USUARIOS");
    const QString z = QStringLiteral("Zona");
    const QString tipo = QStringLiteral("varchar(10)");
    QVERIFY(b.db.VerCampoDB(t, z, false, tipo, true));
    QVERIFY(b.db.VerCampoDB(QStringLiteral("TA_NO"), z, true, tipo, true));
    QCOMPARE(b.guion->sentencias, QStringList());
    QVERIFY(b.db.VerCampoDB(t, z, true, tipo, true, QStringLiteral("'N'")));
    QVERIFY(b.db.VerCampoDB(t, z, true, tipo, true)); // there now: not added twice
    QCOMPARE(b.guion->sentencias,
             QStringList{"ALTER TABLE dbo.TA_USUARIOS ADD Zona varchar(10) Null  CONSTRAINT "
                         "DF_TA_USUARIOS_Zona DEFAULT ('N')"});
    QVERIFY(b.db.ExisteCampoDB(t, z));
}

void TstDbConexion::conexionPerdida_data() {
    QTest::addColumn<int>("perdidas");
    QTest::addColumn<int>("aperturasFallidas");
    QTest::addColumn<QList<Respuesta>>("respuestas");
    QTest::addColumn<Apertura>("resultado");
    QTest::addColumn<int>("terminado");
    QTest::addColumn<int>("aperturas");
    using R = Respuesta;
    // clang-format off
    QTest::newRow("una perdida: reconecta y repite") << 1 << 0 << QList<R>{} << Apertura::Abierta << 0 << 2;
    QTest::newRow("dos perdidas: al dialogo, reintentar") << 2 << 0 << QList<R>{R::Retry} << Apertura::Abierta << 0 << 3;
    QTest::newRow("dos perdidas: al dialogo, ignorar") << 2 << 0 << QList<R>{R::Ignore} << Apertura::Omitida << 0 << 3;
    QTest::newRow("dos perdidas: al dialogo, abortar") << 2 << 0 << QList<R>{R::Abort} << Apertura::Abandonada << 0 << 3;
    QTest::newRow("reconexion fallida: Si, Si") << 1 << 2 << QList<R>{R::Yes, R::Yes} << Apertura::Abierta << 0 << 2;
    QTest::newRow("reconexion fallida: No termina") << 1 << 1 << QList<R>{R::No} << Apertura::Abandonada << 1 << 1;
    // clang-format on
}

void TstDbConexion::conexionPerdida() {
    QFETCH(int, perdidas);
    QFETCH(int, aperturasFallidas);
    QFETCH(QList<Respuesta>, respuestas);
    QFETCH(Apertura, resultado);
    QFETCH(int, terminado);
    QFETCH(int, aperturas);
    Base b({}, kAna);
    b.abre();
    b.guion->fallasEjecucion = perdidas;
    b.guion->fallasApertura = aperturasFallidas;
    for (Respuesta r : respuestas)
        b.dialogo.responde(r);
    ado::Recordset rs;
    QCOMPARE(b.db.AbrirRecordset(QStringLiteral("SELECT Nombre FROM TA_USUARIOS"), rs), resultado);
    QCOMPARE(rs.State(),
             int(resultado == Apertura::Abierta ? ado::adStateOpen : ado::adStateClosed));
    QCOMPARE(b.terminado, terminado);
    QCOMPARE(b.guion->aperturas, aperturas);
    QCOMPARE(b.dialogo.mostradas().size(), respuestas.size());
    QByteArray registro;
    for (const CajaMostrada& caja : b.dialogo.mostradas()) {
        if (caja.titulo == u"AVISO AL OPERADOR") {
            QCOMPARE(caja.estilo, 20);
            QCOMPARE(caja.texto,
                     "\r\n\r\n\r\nSe perdio la conexion con la base de datos " + b.ruta +
                         "\r\n Servidor sqlite\r\n\r\nElija SI para reintentar conectarse\r\n"
                         "Elija NO para cerrar la aplicacion\r\n\r\n\r\n");
        } else {
            QCOMPARE(caja.titulo,
                     QStringLiteral("Microsoft OLE DB Provider for SQL Server - AbrirRecordset "
                                    "Aviso al operador!!! - 5 "));
            QCOMPARE(caja.estilo, 18);
            registro =
                "03-15-2024 10:42:07 Rutina: - AbrirRecordset Mensaje Ha ocurrido el Siguiente "
                "Error "
                "(-2147467259) General network error. Respondi\xF3 : " +
                (respuestas.first() == Respuesta::Retry    ? QByteArray("Reintentar")
                 : respuestas.first() == Respuesta::Ignore ? QByteArray("Ignorar")
                                                           : QByteArray("Abortar")) +
                "\r\n";
        }
    }
    QCOMPARE(b.registro(), registro);
}

void TstDbConexion::edicionPendiente() {
    Base b({}, kAna);
    b.abre();
    ado::Recordset rs;
    const auto edita = [&] {
        b.db.AbrirRecordset(QStringLiteral("SELECT * FROM TA_USUARIOS"), rs, nullptr,
                            ado::adOpenDynamic, ado::adLockOptimistic);
        rs.Fields(QStringLiteral("Administrador")) = 2;
    };
    edita();
    QVERIFY(b.db.CierraRecordset(rs));
    QCOMPARE(rs.State(), int(ado::adStateClosed));
    edita();
    b.db.AbrirRecordset(QStringLiteral("SELECT Administrador FROM TA_USUARIOS"), rs);
    QCOMPARE(rs.Fields(0).Value().toInt(), 1); // neither edit was written
    QCOMPARE(b.dialogo.mostradas().size(), 0);
}

void TstDbConexion::avisosYFallas_data() {
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<QList<int>>("avisos");
    QTest::addColumn<bool>("informa");
    QTest::addColumn<int>("quedan");
    QTest::addColumn<bool>("caja");
    const QString update = QStringLiteral("UPDATE TA_USUARIOS SET Email = 'x'");
    const QString largo = "INSERT INTO TA_USUARIOS (Nombre) VALUES ('" + QString(60, u'x') + "')";
    // clang-format off
    QTest::newRow("aviso 8152 solo: se borra") << update << QList<int>{8152} << false << 0 << false;
    QTest::newRow("8152 y otro: se borran") << update << QList<int>{8152, 3621} << false << 0 << false;
    QTest::newRow("tres avisos quedan") << update << QList<int>{8152, 3621, 3621} << false << 3 << false;
    QTest::newRow("8152 segundo queda") << update << QList<int>{3621, 8152} << false << 2 << false;
    QTest::newRow("con TRANS queda") << "UPDATE TA_USUARIOS SET Email = 'transporte'" << QList<int>{8152} << false << 1 << false;
    QTest::newRow("truncacion fallida conserva 8152") << largo << QList<int>{} << false << 2 << false;
    QTest::newRow("RSQL truncacion avisa") << largo << QList<int>{} << true << 2 << true;
    QTest::newRow("RSQL conversion avisa") << "UPDATE TA_USUARIOS SET Administrador = 'abc'" << QList<int>{} << true << -1 << true;
    QTest::newRow("RSQL clave duplicada calla") << kAna << QList<int>{} << true << -1 << false;
    QTest::newRow("RSQL tabla que falta calla") << "DELETE FROM TA_NO" << QList<int>{} << true << -1 << false;
    QTest::newRow("RSQL sintaxis calla") << "UPDATE TA_USUARIOS SETT" << QList<int>{} << true << -1 << false;
    QTest::newRow("RSQL con TRANS calla") << "UPDATE TA_USUARIOS SET Nombre = 'TRANS" + QString(60, u'x') + "'" << QList<int>{} << true << -1 << false;
    // clang-format on
}

void TstDbConexion::avisosYFallas() {
    QFETCH(QString, sentencia);
    QFETCH(QList<int>, avisos);
    QFETCH(bool, informa);
    QFETCH(int, quedan);
    QFETCH(bool, caja);
    Base b({}, kAna);
    b.abre();
    for (int n : avisos)
        b.guion->avisos.append(ado::Error{ado::codigo::DB_E_DATAOVERFLOW,
                                          QStringLiteral("aviso"),
                                          QStringLiteral("01000"),
                                          n,
                                          {}});
    if (caja)
        b.dialogo.responde(Respuesta::OK);
    long filas = -7;
    QString sql = sentencia;
    if (informa)
        b.db.EjecutaConsultaRSQL(sql, filas);
    else
        b.db.EjecutaConsultaSQL(sql, filas);
    ado::Errores& errores = b.db.gCnn().Errors();
    QCOMPARE(filas, avisos.isEmpty() ? -7L : 1L);
    if (quedan >= 0)
        QCOMPARE(errores.Count(), quedan);
    else
        QVERIFY(errores.Count() > 0);
    if (quedan == 2 && avisos.isEmpty())
        QCOMPARE(errores.Item(0).NativeError, 8152);
    QCOMPARE(b.dialogo.mostradas().size(), caja ? 1 : 0);
    if (caja) {
        QCOMPARE(b.dialogo.mostradas()[0].titulo, QStringLiteral("Aviso al operador!!!"));
        QCOMPARE(b.dialogo.mostradas()[0].texto, errores.Item(0).Description);
        QCOMPARE(b.dialogo.mostradas()[0].estilo, 16);
    }
}

void TstDbConexion::fallaDeConexion_data() {
    QTest::addColumn<bool>("muestraError");
    QTest::addColumn<QList<Respuesta>>("respuestas");
    QTest::newRow("Si: pide los datos, no hay ventana")
        << true << QList<Respuesta>{Respuesta::Yes, Respuesta::OK};
    QTest::newRow("No") << true << QList<Respuesta>{Respuesta::No};
    QTest::newRow("sin dialogo") << false << QList<Respuesta>{};
}

void TstDbConexion::fallaDeConexion() {
    QFETCH(bool, muestraError);
    QFETCH(QList<Respuesta>, respuestas);
    Base b;
    const QString falta = b.dir.filePath(QStringLiteral("falta.db"));
    b.db.gDBName = falta;
    b.db.gUsuario = QStringLiteral("OPERADOR");
    for (Respuesta r : respuestas)
        b.dialogo.responde(r);
    b.db.OpenServerADODB(false, ado::adUseClient, QString(), true, muestraError);
    QVERIFY(!b.db.gOpenFlag);
    QCOMPARE(b.dialogo.mostradas().size(), respuestas.size());
    if (respuestas.isEmpty())
        return;
    const QString CR = QStringLiteral("\r");
    const QString NL = QStringLiteral("\r\n");
    const CajaMostrada& caja = b.dialogo.mostradas()[0];
    QCOMPARE(caja.titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    QCOMPARE(caja.estilo, 20);
    QCOMPARE(caja.texto,
             " Estado de Sql: 08001" + CR + "Numero de Error: -2147467259" + CR +
                 "Descripcion: Cannot open database file \"" + falta +
                 "\": the file does not exist" + CR + "Codigo Nativo: 0" + CR + NL +
                 "Nombre de Proceso: hojaruta" + CR + NL + NL +
                 QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + NL +
                 "2. Verifique el nombre del servidor, quizas necesite agregarle el nombre de la "
                 "instancia, por ejemplo : sqlite\\KORALIS" +
                 NL + "3. Verifique si el inicio de sesion para el usuario OPERADOR existe" + NL +
                 NL + NL + " - Desea Intentarlo Nuevamente??? ");
    if (respuestas.size() > 1)
        QCOMPARE(b.dialogo.mostradas()[1].titulo, QStringLiteral("Aviso al Operador"));
}

void TstDbConexion::estadisticasJuntoALaPrincipal() {
    Base b({}, kAna);
    b.abre();
    ado::sqlite::CreaBaseEmbebida(b.dir.filePath(QStringLiteral("VX_ESTADISTICAS.db")),
                                  recursos::EstadisticasSql());
    DB_Dll vx(b.dialogo, &b.db);
    vx.gServidor = b.db.gServidor;
    vx.gDBName = vx.gUsuario = QStringLiteral("VX_ESTADISTICAS");
    vx.gUserPassWord = QStringLiteral("ZQ_CLAVEPRUEBAX");
    vx.OpenServerADODB(false, ado::adUseClient, QString(), true, false);
    QVERIFY(vx.gOpenFlag);
    QVERIFY(vx.ExisteTablaDB(QStringLiteral("TA_CONFIGURACION")));
    QVERIFY(!vx.ExisteTablaDB(QStringLiteral("TA_USUARIOS")));
    QCOMPARE(vx.gDBName, QStringLiteral("VX_ESTADISTICAS"));
    // Its key queries without synonyms go to the shared connection.
    QVERIFY(vx.ExisteEnTablaST(QStringLiteral("TA_USUARIOS"), QStringLiteral("ana"),
                               QStringLiteral("Nombre"), nullptr, 8));
}

void TstDbConexion::archivoLocal_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QVariant>("elegido");
    QTest::addColumn<bool>("abre");
    QTest::newRow("archivo dado") << "hojaruta.db" << QVariant() << true;
    QTest::newRow("se elige el archivo") << "" << QVariant(QStringLiteral("hojaruta.db")) << true;
    QTest::newRow("eleccion cancelada") << "" << QVariant() << false;
    QTest::newRow("archivo que falta") << "falta.db" << QVariant() << false;
}

void TstDbConexion::archivoLocal() {
    QFETCH(QString, base);
    QFETCH(QVariant, elegido);
    QFETCH(bool, abre);
    Base b;
    b.db.gProveedor = DB_Dll::pJETOLEDB40;
    b.db.gDBName = base.isEmpty() ? base : b.dir.filePath(base);
    const bool elige = base.isEmpty();
    if (elige)
        b.dialogo.responde(elegido.isValid() ? QVariant(b.dir.filePath(elegido.toString()))
                                             : elegido);
    if (!abre && !elige)
        b.dialogo.responde(Respuesta::OK);
    b.db.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    QCOMPARE(b.db.gOpenFlag, abre);
    QCOMPARE(b.db.gCnn().State(), int(abre ? ado::adStateOpen : ado::adStateClosed));
    if (abre)
        QCOMPARE(b.db.gConnString, "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =" + b.ruta +
                                       ";User ID=ana;Password=;");
    if (elige) {
        QCOMPARE(b.dialogo.mostradas()[0].titulo, QStringLiteral("Buscar Base de Datos"));
        QCOMPARE(b.dialogo.mostradas()[0].texto,
                 QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));
    } else if (!abre) {
        QCOMPARE(b.dialogo.mostradas()[0].texto, "-2147467259  Cannot open database file \"" +
                                                     b.db.gDBName + "\": the file does not exist");
        QCOMPARE(b.dialogo.mostradas()[0].estilo, 16);
        QCOMPARE(b.dialogo.mostradas()[0].titulo, QString());
    }
}

void TstDbConexion::tratamientoErrores_data() {
    QTest::addColumn<int>("botones");
    QTest::addColumn<Respuesta>("respuesta");
    QTest::addColumn<QString>("rutina");
    QTest::addColumn<QByteArray>("cola");
    using R = Respuesta;
    // clang-format off
    QTest::newRow("reintentar") << 18 << R::Retry << "Cfg" << QByteArray("- Cfg Mensaje M Respondi\xF3 : Reintentar\r\n");
    QTest::newRow("ignorar") << 18 << R::Ignore << "Cfg" << QByteArray("- Cfg Mensaje M Respondi\xF3 : Ignorar\r\n");
    QTest::newRow("abortar") << 18 << R::Abort << "Cfg" << QByteArray("- Cfg Mensaje M Respondi\xF3 : Abortar\r\n");
    QTest::newRow("cancelar") << 1 << R::Cancel << "Cfg" << QByteArray("- Cfg Mensaje M Respondi\xF3 : Cancelar\r\n");
    QTest::newRow("si") << 4 << R::Yes << "Cfg" << QByteArray("- Cfg Mensaje M Respondi\xF3 : S\xED\r\n");
    QTest::newRow("no") << 4 << R::No << "Cfg" << QByteArray("- Cfg Mensaje M Respondi\xF3 : No\r\n");
    QTest::newRow("aceptar, estilo 64") << 64 << R::OK << "Cfg" << QByteArray("- Cfg Mensaje M Respondi\xF3 : \r\n");
    QTest::newRow("sin rutina") << 18 << R::Retry << "" << QByteArray(" Mensaje M Respondi\xF3 : Reintentar\r\n");
    // clang-format on
}

void TstDbConexion::tratamientoErrores() {
    QFETCH(int, botones);
    QFETCH(Respuesta, respuesta);
    QFETCH(QString, rutina);
    QFETCH(QByteArray, cola);
    Base b;
    b.dialogo.responde(respuesta).responde(respuesta);
    const ado::Falla falla(3709, QStringLiteral("  Sin conexión   "),
                           QStringLiteral("ADODB.Connection"));
    const auto estilo = plataforma::Estilo::DeCodigo(botones);
    QCOMPARE(b.db.TratamientoErrores(falla, estilo, rutina), std::optional(respuesta));
    QCOMPARE(b.db.TratamientoErrores(falla, estilo, rutina), std::optional(respuesta));
    const CajaMostrada& caja = b.dialogo.mostradas()[0];
    QCOMPARE(caja.texto, QStringLiteral("Ha ocurrido el Siguiente Error (3709) Sin conexión"));
    QCOMPARE(caja.titulo, "ADODB.Connection" + (rutina.isEmpty() ? QString() : " - " + rutina) +
                              " Aviso al operador!!! - 5 ");
    QCOMPARE(caja.estilo, botones);
    const QByteArray linea =
        "03-15-2024 10:42:07 Rutina: " +
        cola.replace("Mensaje M", "Mensaje Ha ocurrido el Siguiente Error (3709) Sin conexi\xF3n");
    QCOMPARE(b.registro(), linea + linea);
}

void TstDbConexion::tratamientoErroresSinRegistro() {
    Base b;
    QCOMPARE(b.db.TratamientoErrores(ado::Falla(0, QStringLiteral("nada"))),
             std::optional<Respuesta>());
    QCOMPARE(b.dialogo.mostradas().size(), 0);
    QVERIFY(!QFile::exists(b.db.gLogErr));
    b.db.gLogErr = b.dir.filePath(QStringLiteral("no/hay/VXERR.LOG"));
    b.dialogo.responde(Respuesta::Ignore);
    QCOMPARE(b.db.TratamientoErrores(ado::Falla(5, QStringLiteral("x"))),
             std::optional(Respuesta::Ignore));
    QCOMPARE(b.dialogo.mostradas()[0].estilo, 18);
    QVERIFY(!QFile::exists(b.db.gLogErr));
    b.db.gLogErr.clear(); // the program's folder then
    b.db.carpetaLog = b.dir.path();
    b.dialogo.responde(Respuesta::Abort);
    b.db.TratamientoErrores(ado::Falla(5, QStringLiteral("x")));
    QFile f(b.dir.filePath(QStringLiteral("VXERR.LOG")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("03-15-2024 10:42:07 Rutina:  Mensaje Ha ocurrido el Siguiente Error (5) x "
                        "Respondi\xF3 : Abortar\r\n"));
}

void TstDbConexion::scriptOracle_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<int>>("avisos");
    QTest::addColumn<QStringList>("enviadas");
    QTest::addColumn<long>("filas");
    QTest::addColumn<QString>("queda");
    QTest::addColumn<int>("errores");
    const QStringList dos{"INSERT INTO A VALUES (1)", "INSERT INTO A VALUES (2)"};
    const QString lejos =
        "INSERT INTO A VALUES (1)" + QString(2000000, u' ') + "INSERT INTO A VALUES (2)";
    // clang-format off
    QTest::newRow("transaccion") << "BEGIN TRANSACTION INSERT INTO A VALUES (1) COMMIT TRANSACTION" << QList<int>{} << QStringList{"<BeginTrans>", "INSERT INTO A VALUES (1)", "<CommitTrans>"} << 1L << "" << 0;
    QTest::newRow("lineas GO") << "INSERT INTO A VALUES (1)\r\nGO\r\nINSERT INTO A VALUES (2)\r\nGO\r\n" << QList<int>{} << dos << 2L << "" << 0;
    QTest::newRow("SET NOCOUNT ON") << "SET NOCOUNT ON\r\nINSERT INTO A VALUES (1)\r\nINSERT INTO A VALUES (2)" << QList<int>{} << dos << 2L << "" << 0;
    QTest::newRow("punto y coma") << "INSERT INTO A VALUES (1);\r\nINSERT INTO A VALUES (2);" << QList<int>{} << dos << 2L << "" << 0;
    QTest::newRow("clave mas alla de 1999999") << lejos << QList<int>{} << dos << 2L << "" << 0;
    QTest::newRow("SELECT suelto no corre") << "SELECT * FROM A\r\n" << QList<int>{} << QStringList{} << 0L << "SELECT * FROM A \n" << 0;
    QTest::newRow("palabras en un literal") << "INSERT INTO A VALUES (LEN('[A] STOP DELETE GO COMMIT TRANSACTION\r\n'))" << QList<int>{} << QStringList{"INSERT INTO A VALUES (LENGTH('[A] STOP DELETE GO COMMIT TRANSACTION\r\n'))"} << 1L << "" << 0;
    QTest::newRow("clave dentro de una palabra") << "INSERT INTO A SELECT N FROM A_UPDATE_LOG" << QList<int>{} << QStringList{"INSERT INTO A SELECT N FROM A_UPDATE_LOG"} << 0L << "INSERT INTO A SELECT N FROM A_UPDATE_LOG" << 1;
    QTest::newRow("BEGIN TRAN no se ubica") << "BEGIN TRAN INSERT INTO A VALUES (1)" << QList<int>{} << QStringList{} << 0L << "BEGIN TRAN INSERT INTO A VALUES (1)" << 1;
    QTest::newRow("MERGE no se ubica") << "MERGE INTO A USING A B ON (A.N = B.N) WHEN MATCHED THEN UPDATE SET N = 1" << QList<int>{} << QStringList{} << 0L << "MERGE INTO A USING A B ON (A.N = B.N) WHEN MATCHED THEN UPDATE SET N = 1" << 1;
    QTest::newRow("EXEC no se ubica") << "EXEC sp_limpia 1" << QList<int>{} << QStringList{} << 0L << "EXEC sp_limpia 1" << 1;
    QTest::newRow("literal sin cerrar") << "INSERT INTO A VALUES (1) INSERT INTO A VALUES ('x)" << QList<int>{} << QStringList{} << 0L << "INSERT INTO A VALUES (1) INSERT INTO A VALUES ('x)" << 1;
    QTest::newRow("traduccion imposible: nada corre") << "INSERT INTO A VALUES (1) INSERT INTO A SELECT TOP 50 PERCENT N FROM A" << QList<int>{} << QStringList{} << 0L << "INSERT INTO A VALUES (1) INSERT INTO A SELECT TOP 50 PERCENT N FROM A" << 1;
    QTest::newRow("IF NOT EXISTS sin filas corre") << "IF NOT EXISTS (SELECT * FROM A) CREATE TABLE B (N INT)" << QList<int>{} << QStringList{"SELECT * FROM A", "CREATE TABLE B (N INT)"} << 0L << "" << 0;
    QTest::newRow("IF EXISTS sin filas no corre") << "IF EXISTS (SELECT * FROM A) DROP TABLE A" << QList<int>{} << QStringList{"SELECT * FROM A"} << 0L << "" << 0;
    QTest::newRow("IF EXISTS con filas corre") << "INSERT INTO A VALUES (1) IF EXISTS (SELECT N FROM A WHERE N = 1) UPDATE A SET N = 2" << QList<int>{} << QStringList{"INSERT INTO A VALUES (1)", "SELECT N FROM A WHERE N = 1", "UPDATE A SET N = 2"} << 2L << "" << 0;
    QTest::newRow("IF sin sentencia") << "INSERT INTO A VALUES (1) IF EXISTS (SELECT N FROM A)" << QList<int>{} << QStringList{} << 0L << "INSERT INTO A VALUES (1) IF EXISTS (SELECT N FROM A)" << 1;
    QTest::newRow("rollback, traduccion") << "BEGIN TRANS\r\nUPDATE A SET N = 1 WHERE N = ''\r\nROLLBACK TRANS" << QList<int>{} << QStringList{"<BeginTrans>", "UPDATE A SET N = 1 WHERE N  IS NULL ", "<RollbackTrans>"} << 0L << "" << 0;
    QTest::newRow("falla: queda el resto") << "BEGIN TRANSACTION INSERT INTO A VALUES (1) INSERT INTO NO VALUES (2) COMMIT TRANSACTION" << QList<int>{} << QStringList{"<BeginTrans>", "INSERT INTO A VALUES (1)", "INSERT INTO NO VALUES (2)"} << 1L << "INSERT INTO NO VALUES (2) COMMIT" << 1;
    QTest::newRow("265929 solo se borra") << "INSERT INTO A VALUES (1)" << QList<int>{265929} << QStringList{"INSERT INTO A VALUES (1)"} << 1L << "" << 0;
    QTest::newRow("265929 con otro queda") << "INSERT INTO A VALUES (1)" << QList<int>{265929, 265929} << QStringList{"INSERT INTO A VALUES (1)"} << 1L << "" << 2;
    // clang-format on
}

void TstDbConexion::scriptOracle() {
    QFETCH(QString, script);
    QFETCH(QList<int>, avisos);
    QFETCH(QStringList, enviadas);
    QFETCH(long, filas);
    QFETCH(QString, queda);
    QFETCH(int, errores);
    Base b(QStringLiteral("CREATE TABLE A (N INT);"));
    b.guion->archivo = b.ruta; // what the Oracle connection reaches
    b.guion->oracle = true;
    b.db.gServidor = QStringLiteral("SRV#");
    b.db.gDBName = QStringLiteral("ORCL");
    b.abre();
    // The session reads dates as the program writes them.
    QCOMPARE(b.guion->sentencias,
             QStringList{"ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY HH24:MI:SS'"});
    b.guion->sentencias.clear();
    for (int n : avisos)
        b.guion->avisos.append(
            ado::Error{n, QStringLiteral("aviso"), QStringLiteral("01000"), 0, {}});
    long afectadas = 10; // added to, never reset
    QString sql = script;
    b.db.EjecutaConsultaSQL(sql, afectadas);
    QCOMPARE(b.guion->sentencias, enviadas);
    QCOMPARE(afectadas, 10 + filas);
    QCOMPARE(sql, queda);
    QCOMPARE(b.db.gCnn().Errors().Count(), errores);
    // A failed script leaves its transaction open for the caller to roll back.
    QCOMPARE(b.db.gCnn().EnTransaccion(), !queda.isEmpty() && enviadas.value(0) == u"<BeginTrans>");
}

void TstDbConexion::sesionOracleRechazada() {
    // Without its date format the session would misread dates: no connection.
    Base b;
    b.guion->archivo = b.ruta; // the file takes no ALTER SESSION
    b.db.gServidor = QStringLiteral("SRV#");
    b.db.OpenServerADODB(false, ado::adUseClient, QString(), false, false);
    QVERIFY(!b.db.gOpenFlag);
    QCOMPARE(b.db.gCnn().State(), int(ado::adStateClosed));
    QVERIFY(b.db.gCnn().Errors().Count() > 0);
}

void TstDbConexion::lecturasTraducidas_data() {
    QTest::addColumn<QString>("sql");
    // clang-format off
    QTest::newRow("reparto por numero") << "SELECT TOP 1  * FROM V_MV_REPARTO with(nolock)  WHERE LTRIM(RTRIM(IDREPARTO)) ='10'";
    QTest::newRow("ultimo reparto") << "SELECT TOP 1 * FROM V_MV_REPARTO ORDER BY IDREPARTO DESC";
    QTest::newRow("repartos desde una fecha") << "SELECT IDREPARTO, ISNULL(Observaciones,'-') AS OBS FROM V_MV_REPARTO WHERE FECHA >= '2024-01-01' ORDER BY IDREPARTO";
    QTest::newRow("articulos de los rubros") << "SELECT * FROM V_MA_ARTICULOS WHERE SUSPENDIDO=0  and Idrubro in('   1','   2','   3') Order by idarticulo";
    QTest::newRow("rubro existe") << "SELECT TOP 1  * FROM v_ta_rubros with(nolock)  WHERE LTRIM(RTRIM(idrubro)) ='1'";
    QTest::newRow("cuentas de gasto") << "SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE CODIGO = '51104' AND TITULO = 0 AND MEDIODEPAGO IS NULL";
    QTest::newRow("configuracion") << "SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'CC_Col1'";
    QTest::newRow("comprobantes por letra") << "SELECT TC,SUBSTRING(IDCOMPROBANTE,13,1) AS LETRA, SUM(IMPORTE) AS TOTAL FROM V_MV_CPTE WHERE IDREPARTO = 10 AND FINALIZADA=0 AND ANULADA=0 GROUP BY TC, SUBSTRING(IDCOMPROBANTE,13,1)";
    QTest::newRow("vendido en el reparto") << " SELECT V_MV_Stock.IDArticulo,  SUM(CASE WHEN V_MV_Stock.Cantidad < 0 THEN ABS(V_MV_Stock.Cantidad) ELSE 0 END) AS VendidoKg FROM V_MV_Cpte INNER JOIN  V_MV_Stock ON  V_MV_Cpte.TC = V_MV_Stock.TC AND  V_MV_Cpte.IdComprobante = V_MV_Stock.IdComprobante  WHERE V_MV_Cpte.IdReparto = 10 GROUP BY V_MV_Stock.IDArticulo";
    QTest::newRow("ultimo asiento") << "SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WITH(NOLOCK) WHERE PERIODO > 0";
    QTest::newRow("consulta de articulos") << "SELECT TOP 5 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION";
    QTest::newRow("consulta de clientes con F5") << "SELECT TOP 3 RAZON_SOCIAL,CODIGO FROM VT_CLIENTES  with(nolock)  WHERE Dada_De_Baja = 0 and RAZON_SOCIAL like '%a%' ORDER BY RAZON_SOCIAL";
    QTest::newRow("arbol de familias") << "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a   Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia";
    QTest::newRow("talonarios") << "SELECT * FROM V_TA_CPTE   WHERE CODIGO = ' EGC' ORDER BY TALONARIO";
    // clang-format on
}

void TstDbConexion::lecturasTraducidas() {
    // There is no Oracle server here: the translated read runs on the demo data
    // (through OracleEnEmbebida for the few Oracle-only forms) and must give the
    // rows the SQL Server text gives.
    QFETCH(QString, sql);
    if (!demo_) { // one demo database for every row: only reads run on it
        demo_ = std::make_unique<Base>(QString(), recursos::DemoSql());
        demo_->abre();
    }
    Base& b = *demo_;
    auto guion = std::make_shared<Guion>();
    guion->archivo = b.ruta;
    guion->oracle = true;
    DB_Dll oracle(b.dialogo, nullptr, Fabrica(guion));
    oracle.gServidor = QStringLiteral("SRV#");
    oracle.gDBName = QStringLiteral("ORCL");
    oracle.OpenServerADODB(false, ado::adUseClient, QString(), false, false);
    QVERIFY(oracle.gOpenFlag);
    const auto filas = [&](DB_Dll& db) {
        ado::Recordset rs;
        db.Consulta(sql, rs);
        QList<QVariantList> r;
        QVariantList nombres;
        for (int i = 0; i < rs.FieldCount(); ++i)
            nombres << rs.Fields(i).Name().toUpper();
        r << nombres;
        for (; !rs.Eof(); rs.MoveNext()) {
            QVariantList fila;
            for (int i = 0; i < rs.FieldCount(); ++i)
                fila << rs.Fields(i).Value();
            r << fila;
        }
        return r;
    };
    const QList<QVariantList> esperadas = filas(b.db);
    QVERIFY2(esperadas.size() > 1, "the demo data must give rows to compare");
    QCOMPARE(filas(oracle), esperadas);
    QVERIFY(!guion->sentencias.last().contains(QLatin1String("nolock"), Qt::CaseInsensitive));
}

void TstDbConexion::sinDialogos_data() {
    QTest::addColumn<QString>("funcion");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("perdidas");
    QTest::addColumn<QString>("registroExtra"); // SQLSTATE of a record added to a success
    QTest::addColumn<int>("numero");            // of the failure raised; 0: none
    QTest::addColumn<int>("nativo");            // of its first record
    QTest::addColumn<int>("registros");
    QTest::addColumn<int>("aperturas");
    QTest::addColumn<int>("enviadas");
    QTest::addColumn<int>("quedanEnLaLista");
    const QString lee = QStringLiteral("SELECT Nombre FROM TA_USUARIOS");
    const QString cambia = QStringLiteral("UPDATE TA_USUARIOS SET Email = 'x'");
    using namespace ado::codigo;
    // clang-format off
    QTest::newRow("consulta: una perdida se repite en silencio") << "Consulta" << lee << 1 << "" << 0 << 0 << 0 << 2 << 2 << 0;
    QTest::newRow("consulta: dos perdidas, falla con sus registros") << "Consulta" << lee << 2 << "" << E_FAIL << 11 << 1 << 2 << 2 << 0;
    QTest::newRow("consulta que falla no se repite") << "Consulta" << "SELECT * FROM TA_NO" << 0 << "" << DB_E_NOTABLE << 208 << 1 << 1 << 1 << 0;
    QTest::newRow("ejecuta: una perdida se repite") << "Ejecuta" << cambia << 1 << "" << 0 << 0 << 0 << 2 << 2 << 0;
    QTest::newRow("ejecuta: clave duplicada") << "Ejecuta" << kAna << 0 << "" << DB_E_INTEGRITYVIOLATION << 2627 << 2 << 1 << 1 << 0;
    QTest::newRow("ejecuta: un aviso no es falla") << "Ejecuta" << cambia << 0 << "01000" << 0 << 0 << 0 << 1 << 1 << 1;
    QTest::newRow("ejecuta: un error entre los registros es falla") << "Ejecuta" << cambia << 0 << "42000" << DB_E_ERRORSINCOMMAND << 50000 << 1 << 1 << 1 << 0;
    // clang-format on
}

void TstDbConexion::sinDialogos() {
    QFETCH(QString, funcion);
    QFETCH(QString, sql);
    QFETCH(int, perdidas);
    QFETCH(QString, registroExtra);
    QFETCH(int, numero);
    QFETCH(int, nativo);
    QFETCH(int, registros);
    QFETCH(int, aperturas);
    QFETCH(int, enviadas);
    QFETCH(int, quedanEnLaLista);
    Base b({}, kAna);
    b.abre();
    b.guion->sentencias.clear();
    b.guion->fallasEjecucion = perdidas;
    if (!registroExtra.isEmpty())
        b.guion->avisos.append(ado::Error{ado::codigo::DB_E_ERRORSINCOMMAND,
                                          QStringLiteral("registro"),
                                          registroExtra,
                                          50000,
                                          {}});
    ado::Recordset rs;
    long filas = -1;
    std::optional<ado::Falla> falla;
    try {
        if (funcion == u"Consulta")
            b.db.Consulta(sql, rs);
        else
            filas = b.db.Ejecuta(sql);
    } catch (const ado::Falla& f) {
        falla = f;
    }
    QCOMPARE(falla ? falla->Number : 0, numero);
    QCOMPARE(falla ? falla->Registros.size() : 0, registros);
    QCOMPARE(falla ? falla->Registros.value(0).NativeError : 0, nativo);
    if (!falla && funcion == u"Consulta")
        QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("ana"));
    if (!falla && funcion == u"Ejecuta")
        QCOMPARE(filas, 1L);
    QCOMPARE(b.guion->aperturas, aperturas);
    QCOMPARE(b.guion->sentencias.size(), enviadas);
    QCOMPARE(b.db.gCnn().Errors().Count(), quedanEnLaLista);
    QCOMPARE(b.dialogo.mostradas().size(), 0);
    QVERIFY(b.db.gOpenFlag);
}

void TstDbConexion::transaccionDB_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<bool>("quedaBeto");
    QTest::addColumn<QString>("final"); // what the provider was last told
    QTest::addColumn<int>("nativo");    // of the failure that left the scope
    QTest::addColumn<int>("registros");
    // clang-format off
    QTest::newRow("confirmada") << "confirma" << true << "<CommitTrans>" << 0 << 0;
    QTest::newRow("sin confirmar se deshace") << "nada" << false << "<RollbackTrans>" << 0 << 0;
    QTest::newRow("una falla deshace y conserva sus registros") << "duplicada" << false << "<RollbackTrans>" << 2627 << 2;
    QTest::newRow("una perdida no reconecta: deshace") << "perdida" << false << "<RollbackTrans>" << 11 << 1;
    QTest::newRow("otra excepcion tambien deshace") << "excepcion" << false << "<RollbackTrans>" << 0 << 0;
    // clang-format on
}

void TstDbConexion::transaccionDB() {
    QFETCH(QString, caso);
    QFETCH(bool, quedaBeto);
    QFETCH(QString, final);
    QFETCH(int, nativo);
    QFETCH(int, registros);
    Base b({}, kAna);
    b.abre();
    const QString beto =
        QStringLiteral("INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('beto', 2)");
    std::optional<ado::Falla> falla;
    bool otra = false;
    try {
        TransaccionDB transaccion(b.db);
        QVERIFY(b.db.gCnn().EnTransaccion());
        b.db.Ejecuta(beto);
        if (caso == u"duplicada")
            b.db.Ejecuta(kAna);
        if (caso == u"perdida") {
            b.guion->fallasEjecucion = 1;
            b.db.Ejecuta(QStringLiteral("UPDATE TA_USUARIOS SET Email = 'x'"));
        }
        if (caso == u"excepcion")
            throw std::runtime_error("del llamador");
        if (caso == u"confirma")
            transaccion.Confirma();
    } catch (const ado::Falla& f) {
        falla = f;
    } catch (const std::runtime_error&) {
        otra = true;
    }
    QCOMPARE(otra, caso == u"excepcion");
    QCOMPARE(falla ? falla->Registros.value(0).NativeError : 0, nativo);
    QCOMPARE(falla ? falla->Registros.size() : 0, registros);
    QCOMPARE(b.guion->sentencias.first(), QStringLiteral("<BeginTrans>"));
    QCOMPARE(b.guion->sentencias.last(), final);
    QCOMPARE(b.guion->aperturas, 1);
    QVERIFY(!b.db.gCnn().EnTransaccion());
    QCOMPARE(b.db.gCnn().Errors().Count(), 0);
    QCOMPARE(b.db.ExisteEnTabla(QStringLiteral("TA_USUARIOS"), QStringLiteral("beto"),
                                QStringLiteral("Nombre"), nullptr, 8),
             quedaBeto);
}

QTEST_GUILESS_MAIN(TstDbConexion)
#include "tst_dbconexion.moc"
