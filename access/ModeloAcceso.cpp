#include "access/ModeloAcceso.h"

namespace {

const QString kPuertoPorDefecto = QStringLiteral("1433");

bool esLocal(const QString& servidor) {
    return servidor.trimmed().compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}

} // namespace

void ModeloAcceso::llenarlist() {
    const QList<ConexionRegistrada> lineas = archivo_.Lee();
    lista.clear();
    for (const ConexionRegistrada& c : lineas)
        if (!c.clave.trimmed().isEmpty())
            lista << c.clave;
}

void ModeloAcceso::AsignarDatosBase(const QString& entrada) {
    const auto conexion = archivo_.DatosBase(entrada.trimmed());
    if (!conexion)
        return;
    QString servidor = conexion->servidor;
    const auto dosPuntos = servidor.indexOf(u':');
    if (dosPuntos >= 0) {
        puertoGuardado_ = servidor.mid(dosPuntos + 1).trimmed();
        servidor = servidor.left(dosPuntos).trimmed().toUpper();
    }
    campos.plataforma = PlataformaDB::SqlServer;
    if (esLocal(servidor)) {
        campos.plataforma = PlataformaDB::Sqlite;
    } else if (servidor.contains(u'#')) {
        campos.plataforma = PlataformaDB::Oracle;
        servidor.remove(u'#');
    }
    campos.servidor = servidor;
    campos.usuario.clear();
    campos.clave.clear();
    campos.base = conexion->base;
    campos.puerto = puertoGuardado_;
}

void ModeloAcceso::Carga(const QString& servidor, const QString& base, const QString& usuario,
                         const QString& clave) {
    campos.base = base;
    campos.usuario = usuario;
    campos.clave = clave;
    campos.plataforma = PlataformaDB::SqlServer;
    QString s = servidor;
    if (esLocal(s)) {
        campos.plataforma = PlataformaDB::Sqlite;
    } else if (s.contains(u'#')) {
        campos.plataforma = PlataformaDB::Oracle;
        s.remove(u'#');
    }
    const auto coma = s.indexOf(u',');
    if (coma >= 0) {
        campos.puerto = s.mid(coma + 1).trimmed();
        s = s.left(coma);
    }
    campos.servidor = s.trimmed();
}

QString ModeloAcceso::host() const {
    return campos.servidor.section(u':', 0, 0).trimmed();
}

QString ModeloAcceso::puertoElegido() const {
    QString puerto = campos.puerto.trimmed();
    if (puerto.isEmpty() && campos.servidor.contains(u':'))
        puerto = campos.servidor.section(u':', 1).trimmed();
    return puerto;
}

QString ModeloAcceso::Clave() const {
    if (campos.plataforma == PlataformaDB::Sqlite)
        return ArchivoBases::Clave(campos.base, QStringLiteral("sqlite"));
    return ArchivoBases::Clave(campos.base, campos.servidor);
}

QString ModeloAcceso::ServidorConexion() const {
    if (campos.plataforma == PlataformaDB::Sqlite)
        return QStringLiteral("sqlite");
    const QString puerto = puertoElegido();
    // 1433 is what the driver tries anyway; a named instance finds its own port.
    if (campos.plataforma == PlataformaDB::Oracle || puerto.isEmpty() ||
        puerto == kPuertoPorDefecto)
        return host();
    return host() + u',' + puerto;
}

QString ModeloAcceso::ServidorRegistrado() const {
    if (campos.plataforma == PlataformaDB::Sqlite)
        return QStringLiteral("sqlite");
    const QString puerto = puertoElegido();
    if (campos.plataforma == PlataformaDB::Oracle || puerto.isEmpty() ||
        puerto == kPuertoPorDefecto)
        return campos.servidor.trimmed();
    return host() + u':' + puerto;
}

void ModeloAcceso::Devuelve(QString& servidor, QString& base, QString& usuario, QString& clave,
                            int& plataforma) const {
    servidor = ServidorConexion();
    base = campos.base.trimmed();
    const bool local = campos.plataforma == PlataformaDB::Sqlite;
    usuario = local ? QString() : campos.usuario;
    clave = local ? QString() : campos.clave;
    plataforma = campos.plataforma == PlataformaDB::Oracle ? 1 : 0;
}
