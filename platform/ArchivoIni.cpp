#include "platform/ArchivoIni.h"

#include "platform/CarpetaPuesto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString BuscaSinMayusculas(const QString& ruta) {
    const QFileInfo info(ruta);
    if (info.exists())
        return ruta;
    const QDir carpeta = info.dir();
    const auto nombres = carpeta.entryList(QDir::Files);
    for (const QString& n : nombres)
        if (n.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return carpeta.filePath(n);
    return ruta;
}

QString ArchivoIni::Lee(const QString& archivo, const QString& seccion, const QString& clave,
                        const QString& defecto) {
    return LeeDe(QDir(puesto::Carpeta()).filePath(archivo), seccion, clave, defecto);
}

QString ArchivoIni::LeeDe(const QString& ruta, const QString& seccion, const QString& clave,
                          const QString& defecto) {
    QFile archivo(BuscaSinMayusculas(ruta));
    if (!archivo.open(QIODevice::ReadOnly))
        return defecto;
    const QString texto = QString::fromLatin1(archivo.readAll());
    bool enSeccion = false;
    for (QStringView linea : QStringView(texto).split(u'\n')) {
        linea = linea.trimmed(); // also drops the CR of CR LF
        if (linea.startsWith(u'[') && linea.endsWith(u']')) {
            enSeccion =
                linea.sliced(1, linea.size() - 2).trimmed().compare(seccion, Qt::CaseInsensitive) ==
                0;
            continue;
        }
        if (!enSeccion || linea.startsWith(u';'))
            continue;
        const auto igual = linea.indexOf(u'=');
        if (igual < 0)
            continue;
        if (linea.first(igual).trimmed().compare(clave, Qt::CaseInsensitive) == 0)
            return linea.sliced(igual + 1).trimmed().toString();
    }
    return defecto;
}
