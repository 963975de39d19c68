#include "access/ArchivoBases.h"

#include "platform/Utilidades.h"
#include "platform/ado/Falla.h"

#include <QFile>
#include <QStringConverter>

namespace {

ado::Falla fallaArchivo(const QFile& archivo) {
    return ado::Falla(75, QStringLiteral("Path/File access error: ") + archivo.fileName(),
                      QStringLiteral("BASES.TXT"));
}

} // namespace

QString ArchivoBases::Clave(const QString& base, const QString& servidor) {
    return base.trimmed().toUpper() + QStringLiteral(" / ") +
           servidor.section(u':', 0, 0).trimmed().toUpper();
}

QList<ConexionRegistrada> ArchivoBases::Lee() const {
    QFile archivo(BuscaSinMayusculas(ruta_));
    if (!archivo.exists())
        return {};
    if (!archivo.open(QIODevice::ReadOnly))
        throw fallaArchivo(archivo);
    QList<ConexionRegistrada> lineas;
    const QList<QByteArray> crudas = archivo.readAll().split('\n');
    for (QByteArray cruda : crudas) {
        if (cruda.endsWith('\r'))
            cruda.chop(1);
        if (cruda.isEmpty())
            continue;
        QStringList campos = QString::fromLatin1(cruda).split(u',');
        while (campos.size() < 5)
            campos << QString();
        lineas << ConexionRegistrada{campos[0], campos[1], campos[2], campos[3], campos[4]};
    }
    return lineas;
}

std::optional<ConexionRegistrada> ArchivoBases::DatosBase(const QString& Nombre) const {
    const QString buscada = Nombre.trimmed();
    for (const ConexionRegistrada& c : Lee())
        if (c.clave.trimmed() == buscada)
            return c;
    return std::nullopt;
}

QString ArchivoBases::Rechazo(const QStringList& campos) {
    for (const QString& campo : campos) {
        if (campo.contains(u','))
            return QStringLiteral("El nombre de la base de datos y el del servidor no pueden "
                                  "llevar comas: la conexión no se registró.");
        for (const QChar c : campo)
            if (c.unicode() > 0xff)
                return QStringLiteral("El nombre de la base de datos o el del servidor tiene "
                                      "caracteres que BASES.TXT no puede guardar: la conexión no "
                                      "se registró.");
    }
    return {};
}

void ArchivoBases::RegistraConexion(const QString& clave, const QString& base,
                                    const QString& campo3, const QString& campo4,
                                    const QString& servidor, const QString& sufijo,
                                    bool oracle) const {
    QString quinto = servidor;
    if (oracle)
        quinto += u'#';
    if (!sufijo.isEmpty())
        quinto += u'/' + sufijo + u':';
    const QStringList campos{clave.trimmed(), base.trimmed(), campo3.trimmed(),
                             Utilidades::Codifica(campo4).trimmed(), quinto.trimmed()};
    if (const QString motivo = Rechazo(campos); !motivo.isEmpty())
        throw ado::Falla(5, motivo, QStringLiteral("BASES.TXT"));
    QFile archivo(BuscaSinMayusculas(ruta_));
    if (!archivo.open(QIODevice::Append))
        throw fallaArchivo(archivo);
    const QByteArray linea = campos.join(u',').toLatin1() + "\r\n";
    if (archivo.write(linea) != linea.size())
        throw fallaArchivo(archivo);
}
