#include "resources/Recursos.h"

#include "platform/ado/sqlite/BaseEmbebida.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace recursos {

namespace {

QString lee(const QString& nombre) {
    QFile f(QStringLiteral(":/sql/") + nombre);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing resource %s", qPrintable(nombre));
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString EsquemaSql() {
    return lee(QStringLiteral("esquema.sql"));
}
QString DemoSql() {
    return lee(QStringLiteral("demo.sql"));
}
QString EstadisticasSql() {
    return lee(QStringLiteral("estadisticas.sql"));
}

void CreaBaseVacia(const QString& ruta) {
    ado::sqlite::CreaBaseEmbebida(ruta, EsquemaSql());
}

QStringList CreaBasesDemo(const QString& carpeta) {
    const QDir dir(carpeta);
    QStringList hechos;
    const auto crea = [&](const QString& nombre, const QString& esquema, const QString& datos) {
        const QString ruta = dir.absoluteFilePath(nombre);
        if (QFile::exists(ruta))
            return;
        ado::sqlite::CreaBaseEmbebida(ruta, esquema, datos);
        hechos << ruta;
    };
    crea(QStringLiteral("hojaruta.db"), EsquemaSql(), DemoSql());
    crea(QStringLiteral("VX_ESTADISTICAS.db"), EstadisticasSql(), QString());
    return hechos;
}

} // namespace recursos
