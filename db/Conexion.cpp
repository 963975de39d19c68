// Opening, reopening and the instance's failure dialog.

#include "Auxiliares.h"
#include "db/DB_Dll.h"
#include "db/RegistroErrores.h"
#include "platform/CarpetaPuesto.h"
#include "platform/Pasos.h"
#include "platform/Utilidades.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdlib>

using namespace db::detalle;
using plataforma::Botones;
using plataforma::Estilo;
using plataforma::Icono;
using plataforma::Respuesta;

namespace {

const QString CR = QStringLiteral("\r");
const QString NL = QStringLiteral("\r\n");

bool nombraArchivo(const QString& base) {
    return base.contains(u'/') || base.contains(u'\\') || !QFileInfo(base).suffix().isEmpty();
}

// An Oracle session reads and shows dates as the program writes them: day first,
// with the time. A date-like text that reaches a text column is then kept as it
// was written, and one that reaches a date column is read right. A session that
// refuses is no connection to work on: it is closed and the open fails.
void preparaSesion(ado::Connection& cn) {
    if (!Contiene(cn.ConnectionString(), QStringLiteral("ORACLE")))
        return;
    try {
        cn.Execute(QStringLiteral("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY HH24:MI:SS'"));
    } catch (const ado::Falla&) {
        try {
            cn.Close();
        } catch (const ado::Falla&) {
            // The refusal above is what the caller must hear about.
        }
        throw;
    }
}

} // namespace

DB_Dll::DB_Dll(plataforma::DialogoOperador& dialogo, DB_Dll* compartida,
               ado::FabricaProveedor fabrica)
    : dialogo_(dialogo), compartida_(compartida), fabrica_(std::move(fabrica)) {
    // Nothing is left to save when the operator gives up a lost connection.
    terminaPrograma = [] { std::exit(0); };
    reloj = [] { return QDateTime::currentDateTime(); };
}

DB_Dll::~DB_Dll() = default;

ado::Connection& DB_Dll::gCnn() {
    if (!cnn_) {
        cnn_ = std::make_unique<ado::Connection>(fabrica_);
        // The workstation's INI file names the ODBC drivers and bounds the login.
        cnn_->setOpcionesOdbc(
            ado::LeeOpcionesOdbc(QDir(puesto::Carpeta()).filePath(QStringLiteral("CN000pr.INI"))));
    }
    return *cnn_;
}

DialogoArchivo& DB_Dll::CmdDlg() {
    if (!cmdDlg_)
        cmdDlg_ = std::make_unique<DialogoArchivo>(dialogo_);
    return *cmdDlg_;
}

QString DB_Dll::ejecutable() const {
    if (!nombreEjecutable.isEmpty())
        return nombreEjecutable;
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStringLiteral("hojaruta");
}

bool DB_Dll::esConexionOracle() {
    return Contiene(gCnn().ConnectionString(), QStringLiteral("ORACLE"));
}

// ------------------------------------------------------------ connection strings

QString DB_Dll::baseEnCadena() const {
    // On the embedded server the statistics database is named bare, as on SQL
    // Server, while the shared instance names its file: the statistics file is
    // the one of that name beside it.
    if (!compartida_ || !esServidorEmbebido(gServidor))
        return gDBName;
    const QString base = SinBlancos(gDBName);
    const QString principal = SinBlancos(compartida_->gDBName);
    if (base.isEmpty() || nombraArchivo(base) || !nombraArchivo(principal))
        return gDBName;
    const QString carpeta = QFileInfo(principal).path();
    const QString archivo = base + QStringLiteral(".db");
    return carpeta == u"." && !principal.startsWith(QLatin1String("./"))
               ? archivo
               : QDir(carpeta).filePath(archivo);
}

QString DB_Dll::CadenaConexion() const {
    if (gServidor.contains(u'#'))
        return QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + gDBName +
               QStringLiteral(";User Id=") + gUsuario + QStringLiteral(";Password=") +
               gUserPassWord + u';';
    return QStringLiteral("PROVIDER=") + pSQLOLEDB + u';' + QStringLiteral("Server=") + gServidor +
           u';' + QStringLiteral("Database =") + baseEnCadena() + u';' + QStringLiteral("UId=") +
           gUsuario + u';' + QStringLiteral("Pwd=") + gUserPassWord + u';' + gExtended;
}

QString DB_Dll::CadenaConexionLocal(const QString& CadenaID, const QString& CadenaPWD) const {
    return QStringLiteral("PROVIDER=") + gProveedor + u';' + QStringLiteral("Data Source =") +
           gDBName + u';' + CadenaID + u'=' + gUsuario + u';' + CadenaPWD + u'=' + gUserPassWord +
           u';' + gExtended;
}

// ------------------------------------------------------------------- opening

namespace {

// Until the connection window is there, the operator learns why nothing opens.
class SinVentanaConexion final : public PideParametrosConexion {
public:
    explicit SinVentanaConexion(plataforma::DialogoOperador& dialogo) : dialogo_(dialogo) {}
    bool Pide(QString&, QString&, QString&, QString&, int&) override {
        dialogo_.MsgBox(QStringLiteral("Faltan los datos de conexión a la base de datos "
                                       "(servidor, base de datos o usuario).\r\n"
                                       "Indíquelos en la línea de comandos del programa."),
                        Estilo{Botones::OKOnly, Icono::Exclamation},
                        QStringLiteral("Aviso al Operador"));
        return false;
    }

private:
    plataforma::DialogoOperador& dialogo_;
};

} // namespace

bool DB_Dll::PasoParametros() {
    SinVentanaConexion sinVentana(dialogo_);
    PideParametrosConexion& dialogo =
        pideParametros_ ? *pideParametros_ : static_cast<PideParametrosConexion&>(sinVentana);
    QString servidor = gServidor;
    QString base = gDBName;
    QString usuario = gUsuario;
    QString clave = gUserPassWord;
    int plataforma = 0; // always offered as SQL Server, whatever was chosen before
    if (!dialogo.Pide(servidor, base, usuario, clave, plataforma)) {
        gOpenFlag = false;
        return false;
    }
    gOpenFlag = true;
    gDBName = base;
    gServidor = servidor;
    gUsuario = usuario;
    gUserPassWord = clave;
    if (plataforma > 0) {
        gProveedor = pORAOLEDB;
        if (!gServidor.contains(u'#'))
            gServidor += u'#';
    } else {
        gProveedor = pSQLOLEDB;
    }
    return true;
}

QString DB_Dll::textoFallaConexion(const ado::Error& e) const {
    return QStringLiteral(" Estado de Sql: ") + e.SQLState + CR +
           QStringLiteral("Numero de Error: ") + QString::number(e.Number) + CR +
           QStringLiteral("Descripcion: ") + e.Description + CR +
           QStringLiteral("Codigo Nativo: ") + QString::number(e.NativeError) + CR + NL +
           QStringLiteral("Nombre de Proceso: ") + ejecutable() + CR + NL + NL +
           QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + NL +
           QStringLiteral("2. Verifique el nombre del servidor, quizas necesite agregarle el "
                          "nombre de la instancia, por ejemplo : ") +
           gServidor + QStringLiteral("\\KORALIS") + NL +
           QStringLiteral("3. Verifique si el inicio de sesion para el usuario ") + gUsuario +
           QStringLiteral(" existe") + NL + NL + NL +
           QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, int lCursor, const QString& ConnString,
                             bool ValidaAdmin, bool MuestraError) {
    bool cerradoYRepetido = false;
    gOpenFlag = true;
    if (gProveedor.isEmpty())
        gProveedor = pSQLOLEDB;
    gConnString = SinBlancos(ConnString).isEmpty() ? CadenaConexion() : ConnString;
    if (PideParametrosSQL) {
        if (!PasoParametros())
            return;
        gConnString = CadenaConexion();
    }

    // An open connection is closed and the step repeated, once per call.
    const auto repiteCerrando = [&](const ado::Falla& f) {
        if (f.Number != ado::codigo::adErrObjectOpen || cerradoYRepetido)
            return false;
        cerradoYRepetido = true;
        try {
            gCnn().Close();
        } catch (const ado::Falla&) {
            // Closing is only the way to a clean open: the repeated open says
            // whether the connection works.
        }
        return true;
    };

    const auto manejador = [&](const ado::Falla& f) {
        if (!MuestraError) {
            if (repiteCerrando(f))
                return Respuesta::Retry;
            gOpenFlag = false;
            return Respuesta::Abort;
        }
        ado::Errores& errores = gCnn().Errors();
        if (errores.Count() > 0) {
            const Respuesta respuesta = dialogo_.MsgBox(
                textoFallaConexion(errores.Item(0)), Estilo{Botones::YesNo, Icono::Critical},
                QStringLiteral(" Error de Conexion a Base de Datos"));
            if (respuesta != Respuesta::Yes) {
                gOpenFlag = false;
                return respuesta;
            }
            errores.Clear();
            if (pideParametros_)
                pideParametros_->Oculta();
            if (!PasoParametros())
                return Respuesta::Cancel;
            gConnString = CadenaConexion();
            return Respuesta::Retry;
        }
        if (repiteCerrando(f))
            return Respuesta::Retry;
        dialogo_.MsgBox(f.Description, Estilo{}, QString());
        // A connection that did not open is not reported as open.
        gOpenFlag = gCnn().State() == ado::adStateOpen;
        return Respuesta::OK;
    };

    plataforma::CorrePasos(
        manejador, {
                       [&] {
                           gCnn().setCursorLocation(lCursor);
                           gCnn().Open(gConnString, QString(), QString(), -1);
                           preparaSesion(gCnn());
                       },
                       [&] {
                           if (!ValidaAdmin) {
                               gEsAdmin = true;
                               return;
                           }
                           if (SinBlancos(gDBName).isEmpty())
                               return;
                           gCnn().setDefaultDatabase(gDBName);
                           if (!ExisteTablaDB(QStringLiteral("TA_USUARIOS")))
                               return;
                           if (!MuestraError) {
                               gEsAdmin = true;
                               return;
                           }
                           const QVariant administrador =
                               DatosTabla(QStringLiteral("ta_usuarios"), gUsuario,
                                          QStringLiteral("Administrador"), QStringLiteral("nombre"),
                                          8, QString(), true, false);
                           gEsAdmin = LeeNumero(administrador.toString()) == 1;
                       },
                   });
}

bool DB_Dll::PasoArchivo() {
    DialogoArchivo& dlg = CmdDlg();
    dlg.TituloDialogo(QStringLiteral("Buscar Base de Datos"));
    dlg.FiltroDialogo(QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));
    dlg.AbrirDialogo();
    if (dlg.Cancelado())
        return false;
    gDBName = dlg.ArchivoElegido();
    return true;
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                            const QString& CadenaPWD) {
    QString clave; // the password fragment, once the file asked for one
    for (;;) {
        if (SinBlancos(gDBName).isEmpty() && !PasoArchivo()) {
            gOpenFlag = false;
            return;
        }
        const QString cadena =
            (ConnString.isEmpty() ? CadenaConexionLocal(CadenaID, CadenaPWD) : ConnString) + clave;
        try {
            gCnn().Open(cadena, QString(), QString(), -1);
            gConnString = cadena;
            gOpenFlag = true;
            return;
        } catch (const ado::Falla& f) {
            ado::Errores& errores = gCnn().Errors();
            const QString estado = errores.Count() > 0 ? errores.Item(0).SQLState : QString();
            if (errores.Count() > 0 &&
                (estado == u"3024" || estado == u"3051" || estado == u"3044")) {
                // Missing, unopenable or badly placed file: choose another one.
                if (!PasoArchivo()) {
                    gOpenFlag = false;
                    return;
                }
                continue;
            }
            if (errores.Count() > 0 && estado == u"3031") {
                if (gIgnoraPassWord.toBool()) {
                    clave = QStringLiteral("Jet OLEDB:Database Password=") + gUserPassWord + u';';
                } else {
                    const auto respuesta = dialogo_.InputBox(QStringLiteral("ingrese el password:"),
                                                             QStringLiteral("Password Access"));
                    if (!respuesta) {
                        gOpenFlag = false; // cancelling the password gives up the open
                        return;
                    }
                    clave = QStringLiteral(" Jet OLEDB:Database Password=") + *respuesta + u';';
                }
                continue;
            }
            dialogo_.MsgBox(QString::number(f.Number) + QStringLiteral("  ") + f.Description,
                            Estilo{Botones::OKOnly, Icono::Critical}, QString());
            gOpenFlag = false;
            return;
        }
    }
}

void DB_Dll::ReintentaConectar() {
    reconecta(false);
}

// Closes and reopens the connection with its own connection string; true when it
// is open again. Interactively a failure other than closing a closed connection
// ends it, a server that cannot be reached silently and any other failure through
// the error dialog. Quietly only the reopen counts: a dead line may refuse the
// time-out or the close, and the reopen is what tells whether the server is back.
bool DB_Dll::reconecta(bool callado) {
    const DB_Dll& principal = compartida();
    const QString usuario = principal.gUsuario;
    const QString clave = principal.gUserPassWord;
    bool reabriendo = false;
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            if (f.Number == ado::codigo::adErrObjectClosed || (callado && !reabriendo))
                return Respuesta::Ignore;
            gOpenFlag = false;
            if (callado || f.Number == ado::codigo::E_FAIL) // the server cannot be reached
                return Respuesta::Abort;
            return plataforma::SaleSiNoHubo(
                TratamientoErrores(f, plataforma::kEstiloError, QStringLiteral("AbrirRecordset")));
        },
        {
            [&] { gOpenFlag = false; },
            [&] { gCnn().setCommandTimeout(5); },
            [&] { gCnn().Close(); },
            [&] {
                reabriendo = true;
                gCnn().Open(gCnn().ConnectionString(), usuario, clave, -1);
                preparaSesion(gCnn());
            },
            [&] { gOpenFlag = true; },
        });
    return gOpenFlag;
}

// ------------------------------------------------------------------ failures

std::optional<Respuesta> DB_Dll::TratamientoErrores(const ado::Falla& CodErr, Estilo Botones,
                                                    const QString& Rutina) {
    QString ruta = gLogErr;
    if (ruta.isEmpty()) {
        QString carpeta = carpetaLog;
        if (carpeta.isEmpty())
            carpeta = puesto::Carpeta();
        if (!carpeta.endsWith(u'/') && !carpeta.endsWith(u'\\'))
            carpeta += u'/';
        ruta = carpeta + QStringLiteral("VXERR.LOG");
    }
    const QString texto = QStringLiteral("Ha ocurrido el Siguiente Error (") +
                          QString::number(CodErr.Number) + QStringLiteral(") ") +
                          SinBlancos(CodErr.Description);
    const QString parteRutina = Rutina.isEmpty() ? QString() : QStringLiteral(" - ") + Rutina;
    const QString titulo =
        CodErr.Source + parteRutina + QStringLiteral(" Aviso al operador!!! - 5 ");
    if (CodErr.Number == 0)
        return std::nullopt;
    const Respuesta respuesta = dialogo_.MsgBox(texto, Botones, titulo);
    RegistroErrores::Anota(ruta,
                           RegistroErrores::Linea(reloj ? reloj() : QDateTime::currentDateTime(),
                                                  Rutina, texto, respuesta));
    return respuesta;
}
