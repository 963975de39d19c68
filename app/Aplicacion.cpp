#include "app/Aplicacion.h"

#include "app/LineaComando.h"
#include "db/RegistroErrores.h"
#include "platform/ArchivoIni.h"
#include "platform/CarpetaPuesto.h"
#include "platform/Pasos.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcessEnvironment>

namespace {

QString lineaDelProceso() {
    if (!QCoreApplication::instance())
        return {};
    return QCoreApplication::arguments().mid(1).join(u' ');
}

QString carpetaDelEjecutable() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

// Environment variables as Windows reads them: without regard to case.
QString variable(const QString& nombre) {
    const auto entorno = QProcessEnvironment::systemEnvironment();
    for (const QString& clave : entorno.keys())
        if (clave.compare(nombre, Qt::CaseInsensitive) == 0)
            return entorno.value(clave);
    return {};
}

// A whole number the workstation wrote; `defecto` when it is not one, or does not
// fit (the INI file is edited by hand).
int enteroOPorDefecto(const QString& texto, int defecto) {
    if (!Utilidades::EsNumerico(texto.trimmed()))
        return defecto;
    try {
        return Utilidades::AEntero(texto.trimmed());
    } catch (const ado::Falla&) {
        return defecto;
    }
}

// A fixed-width field of a definition record: Latin-1, padded with blanks.
QByteArray campoFijo(const QString& texto, int ancho) {
    QByteArray b = texto.toLatin1().left(ancho);
    b.append(QByteArray(ancho - b.size(), ' '));
    return b;
}

} // namespace

Aplicacion::Aplicacion(plataforma::DialogoOperador& dialogo_, ado::FabricaProveedor fabrica)
    : dialogo(dialogo_), db(dialogo_, nullptr, fabrica), estadisticas(dialogo_, &db, fabrica),
      cfg(db, estadisticas, dialogo_,
          [this](const ado::Falla& f, plataforma::Estilo botones, const QString& rutina) {
              return TratamientoErroresGlobal(f, botones, rutina);
          }),
      util(dialogo_), nombreMaquina(Entorno::NombreMaquina()),
      nombreUsuario(Entorno::NombreUsuario()), lineaProceso(lineaDelProceso()),
      carpetaEjecutable(carpetaDelEjecutable()), carpetaPuesto(puesto::Carpeta()),
      terminaPrograma([] { QCoreApplication::exit(1); }),
      reloj([] { return QDateTime::currentDateTime(); }) {}

QString Aplicacion::lineaDesdeIni() const {
    const QString seccion = lineacomando::MaquinaUsuario(nombreMaquina, nombreUsuario, false) +
                            QStringLiteral("BaseDeDatos");
    const auto lee = [&](const char* clave, const QString& defecto) {
        return ArchivoIni::Lee(QStringLiteral("CN000pr.INI"), seccion, QString::fromLatin1(clave),
                               defecto);
    };
    const auto limpio = [](const QString& v) {
        return Utilidades::QuitaCaracteres(v, QStringLiteral("|"));
    };
    const QString servidor = limpio(lee("Servidor", QString()));
    const QString base = limpio(lee("DbName", QString()));
    const QString usuario = limpio(
        Utilidades::Decodifica(lee("Usuario", Utilidades::Codifica(QStringLiteral("Vexmar")))));
    const QString clave = limpio(Utilidades::Decodifica(
        lee("UserPassWord", Utilidades::Codifica(QStringLiteral("pandero")))));
    return lineacomando::Arma(servidor, base, usuario, clave);
}

bool Aplicacion::IniciaAplicacion(bool UsarIni, const QString& LineaComando, QString& ConnString,
                                  int CursorLocation) {
    QString linea;
    lineacomando::Parametros p;
    // An invalid-argument failure skips its step; any other ends the routine quietly.
    const auto manejo = [](const ado::Falla& f) {
        return f.Number == 5 ? plataforma::Respuesta::Ignore : plataforma::Respuesta::Abort;
    };
    bool abierta = true;
    const auto primeros = plataforma::CorrePasos(
        manejo, {[&] { sesion.carpetaPrograma = Utilidades::RutaConBarra(carpetaEjecutable); },
                 [&] { linea = LineaComando.isEmpty() ? lineaProceso : LineaComando; },
                 [&] {
                     if (linea.trimmed().isEmpty() && UsarIni)
                         linea = lineaDesdeIni();
                 },
                 [&] {
                     sesion.gMaquinaUsuario =
                         lineacomando::MaquinaUsuario(nombreMaquina, nombreUsuario, true);
                     sesion.gFlatToolbars = enteroOPorDefecto(
                         ArchivoIni::Lee(QStringLiteral("CN000pr.INI"), sesion.gMaquinaUsuario,
                                         QStringLiteral("FlatToolbars"), QStringLiteral("1")),
                         1);
                 }});
    if (primeros)
        return db.gOpenFlag;

    if (!db.gOpenFlag) {
        const auto conexion = plataforma::CorrePasos(
            manejo,
            {[&] {
                 p = lineacomando::Lee(linea);
                 sesion.gParametroAdicional = p.parametroAdicional;
                 sesion.gMenu = p.menu;
                 sesion.gUsuarioLogeado = p.usuarioLogeado;
                 sesion.gCaja = p.caja;
             },
             [&] {
                 // Oracle marker: a server written "#NAME" names an Oracle data source.
                 const QString servidor = p.servidor.trimmed();
                 if (servidor.size() > 1 && servidor.startsWith(u'#')) {
                     p.servidor = servidor.mid(1);
                     if (ConnString.isEmpty())
                         ConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") +
                                      p.base + QStringLiteral(";User Id=") + p.usuario +
                                      QStringLiteral(";Password=") + p.clave + u';';
                 }
             },
             [&] {
                 db.gUsuario = p.usuario;
                 db.gDBName = p.base;
                 db.gUserPassWord = p.clave;
                 db.gServidor = lineacomando::NormalizaServidor(p.servidor);
             },
             [&] {
                 db.OpenServerADODB(p.servidor.trimmed().isEmpty() || p.usuario.trimmed().isEmpty(),
                                    CursorLocation, ConnString, true, true);
             },
             [&] {
                 if (!db.gOpenFlag) {
                     abierta = false;
                     terminaPrograma();
                 }
             }});
        if (!abierta)
            return false;
        if (conexion)
            return db.gOpenFlag;

        const auto despues = plataforma::CorrePasos(
            manejo, {[&] { AbreEstadisticas(); },
                     [&] {
                         sesion.gUsuarioLogeado = db.gUsuario;
                         db.gCnn().setCommandTimeout(sesion.gTimeOut);
                         db.gCnn().setIsolationLevel(ado::adXactReadUncommitted);
                     }});
        if (despues)
            return db.gOpenFlag;
    }

    if (!db.gDBName.isEmpty()) {
        const auto base = plataforma::CorrePasos(
            manejo,
            {[&] {
                 sesion.gConexionDSN = QStringLiteral("DSN=") + db.gDBName +
                                       QStringLiteral("; UID=") + db.gUsuario +
                                       QStringLiteral("; PWD=") + db.gUserPassWord;
             },
             // The report engine needs no start of its own: each print makes one, and
             // finds the report files in sesion.carpetaPrograma.
             [&] { db.gCnn().setDefaultDatabase(db.gDBName); },
             [&] {
                 consultas.gConnString = db.gConnString;
                 consultas.gUsarMascarasConsultas = true;
                 consultas.gRutaMascaraConsultas =
                     Utilidades::RutaConBarra(carpetaPuesto) + QStringLiteral("consultas.vxf");
             },
             [&] {
                 if (QFile::exists(BuscaSinMayusculas(consultas.gRutaMascaraConsultas)))
                     return;
                 // Without the file the lookups use their built-in definitions; the
                 // rest of the start does not depend on it.
                 try {
                     CreaConsultasDefault();
                 } catch (const ado::Falla&) {
                     dialogo.MsgBox(QStringLiteral("No se pudo crear el archivo de consultas ") +
                                        consultas.gRutaMascaraConsultas +
                                        QStringLiteral(".\r\nEl programa sigue sin las consultas "
                                                       "predeterminadas."),
                                    plataforma::Estilo{plataforma::Botones::OKOnly,
                                                       plataforma::Icono::Exclamation},
                                    QStringLiteral("Aviso al Operador"));
                 }
             },
             [&] { db.gCnn().setDefaultDatabase(db.gDBName); },
             [&] {
                 cfg.CargaConfiguracionGlobal(sesion.carpetaPrograma, sesion.gUsuarioLogeado);
             }});
        if (base)
            return db.gOpenFlag;
    }
    RegistraAcceso(QString());
    return db.gOpenFlag;
}

QString Aplicacion::RutaLogGlobal() const {
    QString carpeta =
        variable(QStringLiteral("temp")).isEmpty() ? QString() : variable(QStringLiteral("tmp"));
    carpeta = carpeta.trimmed();
    if (carpeta.isEmpty())
        carpeta = Entorno::CarpetaSistema();
    return Utilidades::RutaConBarra(carpeta) + QStringLiteral("VXERR.LOG");
}

std::optional<plataforma::Respuesta>
Aplicacion::TratamientoErroresGlobal(const ado::Falla& CodErr, plataforma::Estilo Botones,
                                     const QString& Rutina) {
    const QString ruta = RutaLogGlobal();
    const QString texto = QStringLiteral("Ha ocurrido el Siguiente Error (") +
                          QString::number(CodErr.Number) + QStringLiteral(") ") +
                          CodErr.Description.trimmed();
    const QString parteRutina = Rutina.isEmpty() ? QString() : QStringLiteral(" - ") + Rutina;
    const QString titulo =
        CodErr.Source + parteRutina + QStringLiteral(" Aviso al operador!!! - 2 ");
    if (CodErr.Number == 0)
        return std::nullopt;
    const plataforma::Respuesta respuesta = dialogo.MsgBox(texto, Botones, titulo);
    RegistroErrores::Anota(ruta, RegistroErrores::Linea(reloj(), Rutina, texto, respuesta));
    return respuesta;
}

void Aplicacion::CreaConsultasDefault() {
    struct Definicion {
        const char* titulo;
        const char* tabla;
        const char* campos;
    };
    static constexpr Definicion kDefiniciones[] = {
        {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
        {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
        {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
        {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
        {"VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|"},
        {"TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|"},
        {"MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"},
        {"CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|"},
        {"TAREAS", "V_TA_Tareas", "|Descripcion|IdTarea|"},
        {"UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|"},
        {"DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|"},
    };
    constexpr qint64 kLargoRegistro = 1202;
    QFile archivo(BuscaSinMayusculas(consultas.gRutaMascaraConsultas));
    if (!archivo.open(QIODevice::ReadWrite))
        throw ado::Falla(75, QStringLiteral("Path/File access error: ") + archivo.fileName(),
                         QStringLiteral("hojaruta"));
    for (const Definicion& d : kDefiniciones) {
        QByteArray registro;
        registro += campoFijo(QString::fromLatin1(d.titulo).trimmed(), 100);
        registro += campoFijo(QString::fromLatin1(d.tabla), 100);
        registro += campoFijo(QString::fromLatin1(d.campos).trimmed(), 500);
        registro += campoFijo(QString(), 500);
        registro += "\r\n";
        // Each record goes after the last whole record of the file.
        archivo.seek(archivo.size() / kLargoRegistro * kLargoRegistro);
        archivo.write(registro);
    }
}
