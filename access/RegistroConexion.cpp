#include "access/RegistroConexion.h"

#include "app/Aplicacion.h"
#include "platform/Pasos.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using plataforma::Botones;
using plataforma::Estilo;
using plataforma::Icono;
using plataforma::Respuesta;

namespace {

const QString kAviso = QStringLiteral("AVISO AL OPERADOR");

// Failures Registrar steps over: a closed object, a service already running and
// the like.
bool seContinua(const ado::Falla& f) {
    return f.Number == ado::codigo::adErrObjectClosed || f.Number == ado::codigo::hr(0x80070420) ||
           f.Number == 1056 || f.Number == 440 || f.Number == 20480;
}

// A desktop entry's Exec value: the path quoted, with the characters the quoting
// and the file's own escapes reserve escaped.
QString argumentoExec(const QString& ruta) {
    QString r;
    for (const QChar c : ruta) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            r += QStringLiteral("\\\\") + (c == u'\\' ? QStringLiteral("\\\\") : QString(c));
        else if (c == u'%')
            r += QStringLiteral("%%");
        else
            r += c;
    }
    return u'"' + r + u'"';
}

} // namespace

RegistroConexion::RegistroConexion(Aplicacion& app)
    : carpetaPrograma(Utilidades::RutaConBarra(app.carpetaEjecutable)),
      carpetaEscritorio(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)),
      programa(QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString()),
      iniciaDesacoplado(
          [](const QString& p, const QStringList& a) { return QProcess::startDetached(p, a); }),
      app_(app) {}

void RegistroConexion::avisa(const QString& texto, const QString& titulo) {
    app_.dialogo.MsgBox(texto, Estilo{Botones::OKOnly, Icono::Information}, titulo);
}

bool RegistroConexion::ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname,
                                         const QString& Usuario, const QString& Password,
                                         const QString& Proveedor) {
    DB_Dll& db = app_.db;
    const bool oracle = Proveedor == DB_Dll::pORAOLEDB;
    const QString cadena = oracle ? QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") +
                                        Dbname + QStringLiteral(";User Id=") + Usuario +
                                        QStringLiteral(";Password=") + Password + u';'
                                  : QStringLiteral("PROVIDER=") + Proveedor + u';' +
                                        QStringLiteral("Server=") + Servidor + u';' +
                                        QStringLiteral("Database =") + Dbname + u';' +
                                        QStringLiteral("UId=") + Usuario + u';' +
                                        QStringLiteral("Pwd=") + Password + u';';
    bool existe = false;
    plataforma::CorrePasos(plataforma::OmiteFalla, {[&] {
                                                        if (db.gCnn().State() == ado::adStateOpen)
                                                            db.gCnn().Close();
                                                    },
                                                    [&] {
                                                        db.gCnn().Open(cadena, QString(), QString(),
                                                                       -1);
                                                        existe = true;
                                                    },
                                                    [&] {
                                                        if (db.gCnn().State() == ado::adStateOpen)
                                                            db.gCnn().Close();
                                                    }});
    // A failed try is an answer, not an error somebody should read later.
    db.gCnn().Errors().Clear();
    return existe;
}

bool RegistroConexion::registraLocal(ModeloAcceso& modelo, const QString& clave) {
    const QString ruta = modelo.campos.base;
    const QString archivo =
        QDir::isAbsolutePath(ruta) ? ruta : QDir(carpetaPrograma).filePath(ruta);
    if (!QFileInfo(archivo).isFile()) {
        avisa(QStringLiteral("No existe el archivo ") + ruta, kAviso);
        return false;
    }
    bool esHoja = false;
    DB_Dll& db = app_.db;
    plataforma::CorrePasos(plataforma::OmiteFalla,
                           {[&] {
                                if (db.gCnn().State() == ado::adStateOpen)
                                    db.gCnn().Close();
                            },
                            [&] {
                                db.gCnn().Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;"
                                                              "Database =") +
                                               archivo + u';');
                                ado::Recordset rs;
                                db.gCnn().OpenSchema(
                                    ado::adSchemaTables,
                                    {QVariant(), QVariant(), QStringLiteral("V_MV_REPARTO")}, rs);
                                esHoja = !rs.Eof();
                            },
                            [&] { db.gCnn().Close(); }});
    db.gCnn().Errors().Clear();
    if (!esHoja) {
        avisa(QStringLiteral("El archivo ") + ruta +
                  QStringLiteral(" no es una base de datos de la hoja de ruta: no tiene "
                                 "V_MV_REPARTO."),
              kAviso);
        return false;
    }
    modelo.archivo().RegistraConexion(clave, ruta, ruta, ruta, QStringLiteral("sqlite"), QString(),
                                      false);
    return true;
}

bool RegistroConexion::Registrar(ModeloAcceso& modelo) {
    DB_Dll& db = app_.db;
    CamposAcceso& c = modelo.campos;
    const bool oracle = c.plataforma == PlataformaDB::Oracle;
    const bool local = c.plataforma == PlataformaDB::Sqlite;
    QString clave;
    bool registrado = false;
    bool termina = false;

    // Until the line is written, a failure other than the expected ones is shown
    // and the procedure goes on with ODBC.exe.
    const auto informa = [&](const ado::Falla& f) {
        app_.dialogo.MsgBox(QStringLiteral("SQL Server start failed.  ") + u'\r' +
                                QStringLiteral("SQL-DMO error:  ") + QString::number(f.Number) +
                                u' ' + f.Description,
                            Estilo{}, db.ejecutable());
    };
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            if (seContinua(f))
                return Respuesta::Ignore;
            informa(f);
            return Respuesta::Abort;
        },
        {[&] { clave = modelo.Clave(); },
         [&] {
             if (modelo.archivo().DatosBase(clave)) {
                 avisa(QStringLiteral("La conexion que intenta registrar ya existe "),
                       QStringLiteral("Atencion"));
                 termina = true;
             }
         },
         [&] {
             if (termina)
                 return;
             c.servidor = c.servidor.trimmed();
             c.usuario = c.usuario.trimmed();
             c.clave = c.clave.trimmed();
             c.base = c.base.trimmed();
             // Refused before anything is tried or written.
             const QString motivo = ArchivoBases::Rechazo(
                 {clave, c.base, modelo.ServidorRegistrado(), Utilidades::Codifica(c.base)});
             if (!motivo.isEmpty()) {
                 avisa(motivo, kAviso);
                 termina = true;
             }
         },
         [&] {
             if (termina)
                 return;
             if (local) {
                 registrado = registraLocal(modelo, clave);
                 termina = true;
                 return;
             }
             const QString servidor = modelo.ServidorConexion();
             // The suite's own convention first: a database whose login and
             // password are its name.
             const QString propia = c.base.toUpper();
             if (ExisteBaseDeDatos(servidor, propia, propia, propia,
                                   oracle ? DB_Dll::pORAOLEDB : DB_Dll::pSQLOLEDB))
                 return;
             if (db.gOpenFlag)
                 db.gCnn().Close();
             db.gServidor = oracle ? servidor + u'#' : servidor;
             db.gUsuario = c.usuario;
             db.gUserPassWord = c.clave;
             db.gDBName = c.base;
             db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
             if (!db.gOpenFlag) {
                 avisa(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + c.servidor +
                           QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"),
                       kAviso);
                 termina = true;
             }
         },
         [&] {
             if (termina)
                 return;
             modelo.archivo().RegistraConexion(clave, c.base, c.base, c.base,
                                               modelo.ServidorRegistrado(), QString(), oracle);
             registrado = true;
         }});
    if (termina && !registrado)
        return false;

    // After the line: ODBC.exe, the connection closed, the list refilled. A failure
    // here is shown and its step passed over.
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            if (!seContinua(f))
                informa(f);
            return Respuesta::Ignore;
        },
        {[&] {
             if (local)
                 return;
             const QString odbc = BuscaSinMayusculas(carpetaPrograma + QStringLiteral("ODBC.exe"));
             if (QFileInfo(odbc).isFile())
                 iniciaDesacoplado(odbc, {QStringLiteral("Server=") + modelo.ServidorConexion() +
                                          QStringLiteral(";DB=") + db.gDBName + u';'});
         },
         [&] {
             if (db.gCnn().State() == ado::adStateOpen)
                 db.gCnn().Close();
         },
         [&] { modelo.llenarlist(); }});
    return registrado;
}

QByteArray RegistroConexion::TextoAccesoDirecto(const QString& programa) {
    return (QStringLiteral("[Desktop Entry]\nType=Application\nName=Relojero\nExec=") +
            argumentoExec(programa) +
            QStringLiteral("\nIcon=hojaruta\nTerminal=false\nCategories=Office;\n"))
        .toUtf8();
}

bool RegistroConexion::CreaAccesoDirecto() {
    const QString ruta = QDir(carpetaEscritorio).filePath(QStringLiteral("Relojero.desktop"));
    QFile archivo(ruta);
    const QByteArray texto = TextoAccesoDirecto(programa);
    const bool escrito = QDir().mkpath(carpetaEscritorio) &&
                         archivo.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         archivo.write(texto) == texto.size();
    archivo.close();
    // Desktops start only launchers their owner may run.
    if (escrito && archivo.setPermissions(archivo.permissions() | QFile::ExeOwner | QFile::ExeUser))
        return true;
    app_.dialogo.MsgBox(QStringLiteral("No se pudo crear el acceso directo ") + ruta,
                        Estilo{Botones::OKOnly, Icono::Exclamation}, kAviso);
    return false;
}

bool RegistroConexion::EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto) {
    QProcess proceso;
    QEventLoop espera;
    bool fallo = false;
    QObject::connect(&proceso, &QProcess::finished, &espera, &QEventLoop::quit);
    QObject::connect(&proceso, &QProcess::errorOccurred, &espera,
                     [&](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             fallo = true;
                             espera.quit();
                         }
                     });
    proceso.startCommand(Archivo);
    // The window keeps answering while the command runs.
    if (!fallo && proceso.state() != QProcess::NotRunning)
        espera.exec();
    if (fallo) {
        ErrDevuelto = QStringLiteral("Error al ejecutar el comando");
        return false;
    }
    return true;
}
