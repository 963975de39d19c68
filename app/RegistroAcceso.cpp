// The access log: the statistics connection and its command time-out, the entry
// record of each run in Control_Acceso and its exit time.

#include "app/Aplicacion.h"

#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "platform/ado/Proveedor.h"

namespace {

// The statistics database's name, login and password are the suite's: every
// program of it connects so. The password is never written anywhere.
const QString kBaseEstadisticas = QStringLiteral("VX_ESTADISTICAS");
const QString kClaveEstadisticas = QStringLiteral("ZQ_CLAVEPRUEBAX");

constexpr qint16 kTiempoPorDefecto = 360;

QString fechaHora(const QDateTime& momento) {
    return momento.toString(QStringLiteral("dd/MM/yy HH:mm"));
}

// How the database tells the key it gave the row just inserted.
enum class Motor { Embebido, SqlServer, Oracle, Otro };

Motor motorDe(const QString& cadena) {
    const auto pares = ado::detalle::ParesOdbc(cadena);
    if (pares.contains(QStringLiteral("driver")) || pares.contains(QStringLiteral("dsn")))
        return Motor::Otro;
    if (cadena.contains(QLatin1String("ORACLE"), Qt::CaseInsensitive))
        return Motor::Oracle;
    const QString servidor = pares.value(QStringLiteral("server")).trimmed();
    const QString proveedor = pares.value(QStringLiteral("provider"));
    if (servidor.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0 ||
        proveedor.contains(QLatin1String("sqlite"), Qt::CaseInsensitive) ||
        proveedor.contains(QLatin1String("jet"), Qt::CaseInsensitive))
        return Motor::Embebido;
    return Motor::SqlServer;
}

// SCOPE_IDENTITY() means something only inside the insert's batch: it is kept in
// the session's CONTEXT_INFO, which a later batch of the same session reads.
const QString kGuardaIdSqlServer = QStringLiteral(
    "DECLARE @IdAcceso VARBINARY(128) SET @IdAcceso = CAST(CAST(SCOPE_IDENTITY() AS BIGINT) AS "
    "VARBINARY(128)) SET CONTEXT_INFO @IdAcceso");
const QString kLeeIdSqlServer =
    QStringLiteral("SELECT CAST(SUBSTRING(CONTEXT_INFO(), 1, 8) AS BIGINT) AS Id");
const QString kLeeIdEmbebido = QStringLiteral("SELECT last_insert_rowid() AS Id");
// Oracle gives the key through RETURNING; the session's CLIENT_INFO carries it out
// of the block.
const QString kLeeIdOracle =
    QStringLiteral("SELECT SYS_CONTEXT('USERENV', 'CLIENT_INFO') AS Id FROM DUAL");

QString comillas(const QString& texto) {
    return u'\'' + plataforma::DuplicaComillas(texto) + u'\'';
}

} // namespace

QString Aplicacion::SentenciaTarea(const QString& usuario, const QString& formulario) {
    return QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , "
                          "TA_MENU.Nombre ") +
           QStringLiteral(" FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = "
                          "TA_MENU.Clave ") +
           QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") + plataforma::DuplicaComillas(usuario) +
           QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") +
           plataforma::DuplicaComillas(formulario) + QStringLiteral("%')");
}

QString Aplicacion::SentenciaEgreso(const QDateTime& momento) const {
    return QStringLiteral("UPDATE CONTROL_ACCESO ") + QStringLiteral(" SET EGRESO = '") +
           fechaHora(momento) + u'\'' + QStringLiteral(" WHERE EGRESO IS NULL AND ") +
           QStringLiteral(" ID = ") + QString::number(gIdAcceso);
}

void Aplicacion::AbreEstadisticas() {
    sesion.gTimeOut = kTiempoPorDefecto;
    bool abierta = false;
    double valor = 0;
    plataforma::CorrePasos(plataforma::OmiteFalla,
                           {[&] {
                                if (estadisticas.gOpenFlag)
                                    estadisticas.gCnn().Close();
                            },
                            [&] {
                                estadisticas.gProveedor = DB_Dll::pSQLOLEDB;
                                estadisticas.gServidor = db.gServidor;
                                estadisticas.gDBName = kBaseEstadisticas;
                                estadisticas.gUsuario = kBaseEstadisticas;
                                estadisticas.gUserPassWord = kClaveEstadisticas;
                            },
                            [&] {
                                estadisticas.OpenServerADODB(false, ado::adUseClient, QString(),
                                                             true, false);
                                abierta = estadisticas.gOpenFlag;
                            },
                            [&] {
                                if (abierta)
                                    estadisticas.gCnn().setDefaultDatabase(kBaseEstadisticas);
                            },
                            [&] {
                                if (!abierta)
                                    return;
                                valor = plataforma::LeeNumero(cfg.CfgVX(QStringLiteral("TimeOut")));
                                if (qRound(valor) == 0)
                                    cfg.GrabaCfgVX(QStringLiteral("TimeOut"), 0, QString(), false,
                                                   QStringLiteral("BaseDeDatos"), true);
                            }});
    // A command time-out is a 16-bit number of seconds; anything else is no setting.
    const long segundos = qRound(valor);
    sesion.gTimeOut =
        segundos <= 0 || segundos > 32767 ? kTiempoPorDefecto : static_cast<qint16>(segundos);
}

void Aplicacion::RegistraAcceso(const QString& Formulario) {
    gIdAcceso = 0;
    const QString ejecutable = db.ejecutable();
    QString formulario;
    QString tarea;
    QStringList valores; // Maquina, Usuario, Formulario, Ingreso as inserted
    QStringList sentencias;
    Motor motor = Motor::Otro;
    bool grabado = false;
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {[&] {
             formulario = Formulario.isEmpty() ? ejecutable : Formulario;
             sesion.gUsuarioLogeado = db.gUsuario;
         },
         [&] {
             ado::Recordset rs;
             db.Consulta(SentenciaTarea(sesion.gUsuarioLogeado, formulario), rs);
             if (!rs.Eof())
                 tarea =
                     Utilidades::SinNulo(rs.Fields(QStringLiteral("Nombre")).Value()).toString();
             else if (ejecutable.compare(QLatin1String("CN000PR"), Qt::CaseInsensitive) == 0)
                 tarea = QStringLiteral("Menu Principal");
             else if (db.gUsuario == db.gDBName ||
                      db.gUsuario == QLatin1String("SUPERVISOR VEXMAR MC"))
                 tarea = ejecutable;
             rs.Close();
         },
         [&] {
             // The builders drop apostrophes from values; the Id lookup below
             // compares with the values as they were stored.
             const auto limpio = [](const QString& v) { return QString(v).remove(u'\''); };
             valores = {limpio(nombreMaquina.trimmed().toUpper()),
                        limpio(sesion.gUsuarioLogeado.trimmed().toUpper()),
                        limpio(formulario.trimmed().toUpper()), fechaHora(reloj())};
             const auto par = [&](const char* campo, QString valor, bool nuevo) {
                 AgregaCampoValor(QString::fromLatin1(campo), valor, QStringLiteral("'"), nuevo);
             };
             par("Maquina", valores[0], true);
             par("Usuario", valores[1], false);
             par("Formulario", valores[2], false);
             par("Tarea", tarea.trimmed().toUpper(), false);
             par("Ingreso", valores[3], false);
             par("NombreUsuario", sesion.gUsuarioLogeado, false);
             QString condicion;
             ArmaSentencia(Pares, sentencias, QStringLiteral("Control_Acceso"), false, condicion,
                           false);
             motor = motorDe(db.gCnn().ConnectionString());
         },
         [&] {
             if (motor == Motor::Oracle) {
                 // The script runner cuts Oracle text at its keywords, which a
                 // block with RETURNING cannot survive: it runs whole here.
                 const QString bloque =
                     QStringLiteral("DECLARE v_id NUMBER; BEGIN ") + sentencias.first() +
                     QStringLiteral(" RETURNING Id INTO v_id; "
                                    "DBMS_APPLICATION_INFO.SET_CLIENT_INFO(TO_CHAR(v_id)); END;");
                 try {
                     TransaccionDB transaccion(db);
                     db.gCnn().Execute(bloque);
                     transaccion.Confirma();
                     grabado = true;
                 } catch (const ado::Falla& f) {
                     const qint32 nativo =
                         f.Registros.isEmpty() ? f.Number : f.Registros.first().NativeError;
                     RegistraErrorAux(bloque, ejecutable, nativo, f.Description);
                 }
                 return;
             }
             if (motor == Motor::SqlServer)
                 sentencias << kGuardaIdSqlServer << QString();
             bool huboError = false;
             qint32 codigo = 0;
             QString script;
             QString mensaje;
             GActualizarDatoScript(sentencias, huboError, codigo, false, false, script, mensaje,
                                   true);
             grabado = !huboError;
         },
         [&] {
             if (!grabado)
                 return;
             QString sql;
             switch (motor) {
             case Motor::Embebido:
                 sql = kLeeIdEmbebido;
                 break;
             case Motor::SqlServer:
                 sql = kLeeIdSqlServer;
                 break;
             case Motor::Oracle:
                 sql = kLeeIdOracle;
                 break;
             case Motor::Otro:
                 // No provider identity to ask for: the newest open record of this
                 // workstation, user, form and minute.
                 sql = QStringLiteral("SELECT MAX(Id) AS Id FROM Control_Acceso  with(nolock)  "
                                      "WHERE Maquina = ") +
                       comillas(valores[0]) + QStringLiteral(" AND Usuario = ") +
                       comillas(valores[1]) + QStringLiteral(" AND Formulario = ") +
                       comillas(valores[2]) + QStringLiteral(" AND Ingreso = ") +
                       comillas(valores[3]) + QStringLiteral(" AND EGRESO IS NULL");
                 break;
             }
             ado::Recordset rs;
             db.Consulta(sql, rs);
             if (!rs.Eof())
                 gIdAcceso = static_cast<qint32>(
                     plataforma::LeeNumero(Utilidades::SinNulo(rs.Fields(0).Value()).toString()));
             rs.Close();
         }});
}

void Aplicacion::RegistraEgreso() {
    // Without a record of its own the run has no exit to write: an Id of 0 would
    // match nothing at best.
    if (gIdAcceso == 0 || !db.gOpenFlag)
        return;
    try {
        db.Ejecuta(SentenciaEgreso(reloj()));
    } catch (const ado::Falla& f) {
        dialogo.MsgBox(f.Description, plataforma::Estilo{}, QString());
    }
}

void Aplicacion::FinalizaAplicacion() {
    if (finalizada_)
        return;
    finalizada_ = true;
    RegistraEgreso();
    for (DB_Dll* objeto : {&estadisticas, &db}) {
        try {
            if (objeto->gCnn().State() == ado::adStateOpen)
                objeto->gCnn().Close();
        } catch (const ado::Falla&) {
            // The program is ending: a connection that will not close is let go.
        }
        objeto->gOpenFlag = false;
    }
}
