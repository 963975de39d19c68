#include "platform/CarpetaPuesto.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace puesto {

QString Elige(const QString& variable, const QString& carpetaPrograma, bool programaEscribible,
              const QString& carpetaUsuario) {
    if (!variable.isEmpty())
        return variable;
    if (programaEscribible || carpetaUsuario.isEmpty())
        return carpetaPrograma;
    return carpetaUsuario;
}

QString CarpetaDelUsuario() {
    // Named here, not after the running program: hojaruta-reporte finds the same files.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/hojaruta");
}

QString Carpeta() {
    const QString programa =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return Elige(qEnvironmentVariable("HOJARUTA_INI_DIR"), programa,
                 QFileInfo(programa).isWritable(), CarpetaDelUsuario());
}

QStringList CopiaFaltantes(const QString& carpeta, const QString& sitio) {
    QStringList copiados;
    // The folder is made even with nothing to copy: the files are written into it.
    const QDir origen(sitio);
    if (!QDir().mkpath(carpeta) || !origen.exists())
        return copiados;
    const QStringList propios = QDir(carpeta).entryList(QDir::Files | QDir::Hidden);
    const auto loTiene = [&](const QString& nombre) {
        return std::any_of(propios.begin(), propios.end(), [&](const QString& p) {
            return p.compare(nombre, Qt::CaseInsensitive) == 0;
        });
    };
    for (const QString& nombre : origen.entryList(QDir::Files | QDir::Readable)) {
        if (loTiene(nombre))
            continue;
        const QString destino = QDir(carpeta).filePath(nombre);
        if (!QFile::copy(origen.filePath(nombre), destino))
            continue;
        // The copy is the user's to change (the site's file may be read-only).
        QFile::setPermissions(destino, QFile::permissions(destino) | QFileDevice::WriteOwner |
                                           QFileDevice::ReadOwner);
        copiados << nombre;
    }
    return copiados;
}

void Prepara() {
    const QString carpeta = Carpeta();
    if (carpeta != CarpetaDelUsuario())
        return;
    CopiaFaltantes(carpeta, QString::fromLatin1(kCarpetaSitio));
}

} // namespace puesto
