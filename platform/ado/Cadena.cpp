// Reading ADO-style and ODBC connection strings into what a provider needs.

#include "platform/ado/Proveedor.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>

namespace ado::detalle {

namespace {

QHash<QString, QString> pares(const QString& cadena) {
    QHash<QString, QString> r;
    for (const QString& parte : cadena.split(u';')) {
        const auto igual = parte.indexOf(u'=');
        if (igual < 0)
            continue;
        const QString clave = parte.first(igual).trimmed().toLower();
        if (!clave.isEmpty() && !r.contains(clave))
            r.insert(clave, parte.sliced(igual + 1).trimmed());
    }
    return r;
}

QString primero(const QHash<QString, QString>& p, std::initializer_list<const char*> claves) {
    for (const char* c : claves) {
        const auto it = p.find(QLatin1String(c));
        if (it != p.end())
            return *it;
    }
    return {};
}

// ODBC attribute values holding ";" or braces go inside braces.
QString valorOdbc(const QString& v) {
    if (!v.contains(u';') && !v.contains(u'{') && !v.contains(u'}') && v.trimmed() == v)
        return v;
    QString s = v;
    s.replace(QLatin1String("}"), QLatin1String("}}"));
    return u'{' + s + u'}';
}

QString archivoEmbebido(const QString& nombre) {
    if (nombre.isEmpty() || QDir::isAbsolutePath(nombre))
        return nombre;
    const QString base =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(base).filePath(nombre);
}

} // namespace

// An ODBC connection string's keys (lower case) and values, braces removed.
QHash<QString, QString> ParesOdbc(const QString& cadena) {
    QHash<QString, QString> r;
    qsizetype i = 0;
    while (i < cadena.size()) {
        const auto igual = cadena.indexOf(u'=', i);
        if (igual < 0)
            break;
        const QString clave = cadena.mid(i, igual - i).trimmed().toLower();
        qsizetype j = igual + 1;
        while (j < cadena.size() && cadena[j] == u' ')
            ++j;
        QString valor;
        if (j < cadena.size() && cadena[j] == u'{') {
            for (++j; j < cadena.size(); ++j) {
                if (cadena[j] == u'}') {
                    if (j + 1 < cadena.size() && cadena[j + 1] == u'}') {
                        valor += u'}';
                        ++j;
                        continue;
                    }
                    ++j;
                    break;
                }
                valor += cadena[j];
            }
            const auto pyc = cadena.indexOf(u';', j);
            i = pyc < 0 ? cadena.size() : pyc + 1;
        } else {
            const auto pyc = cadena.indexOf(u';', j);
            const qsizetype fin = pyc < 0 ? cadena.size() : pyc;
            valor = cadena.mid(j, fin - j).trimmed();
            i = fin + 1;
        }
        if (!clave.isEmpty() && !r.contains(clave))
            r.insert(clave, valor);
    }
    return r;
}

DatosConexion InterpretaCadena(const QString& cadena, const QString& usuario, const QString& clave,
                               const OpcionesOdbc& opciones) {
    const auto p = pares(cadena);
    DatosConexion d;
    const QString uid = usuario.isEmpty() ? primero(p, {"uid", "user id"}) : usuario;
    const QString pwd = clave.isEmpty() ? primero(p, {"pwd", "password"}) : clave;

    if (p.contains(QStringLiteral("driver")) || p.contains(QStringLiteral("dsn"))) {
        d.cadenaOdbc = cadena;
        if (!usuario.isEmpty() && !p.contains(QStringLiteral("uid")))
            d.cadenaOdbc += QStringLiteral(";UID=") + valorOdbc(usuario);
        if (!clave.isEmpty() && !p.contains(QStringLiteral("pwd")))
            d.cadenaOdbc += QStringLiteral(";PWD=") + valorOdbc(clave);
        d.descripcion = primero(p, {"server", "dsn", "database", "driver"});
        return d;
    }

    const QString proveedor = primero(p, {"provider"}).toLower();
    const QString servidor = primero(p, {"server", "data source"});
    if (servidor.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0 ||
        proveedor.contains(QLatin1String("jet")) || proveedor.contains(QLatin1String("sqlite"))) {
        d.tipo = DatosConexion::Tipo::Embebida;
        const QString base = servidor.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0
                                 ? primero(p, {"database", "initial catalog"})
                                 : primero(p, {"data source", "database"});
        d.archivo = archivoEmbebido(base);
        d.descripcion = d.archivo;
        return d;
    }
    if (proveedor.contains(QLatin1String("oraoledb")) ||
        proveedor.contains(QLatin1String("oracle"))) {
        const QString fuente = primero(p, {"data source"});
        d.cadenaOdbc =
            QStringLiteral("DRIVER={%1};DBQ=%2;UID=%3;PWD=%4;")
                .arg(opciones.driverOracle, valorOdbc(fuente), valorOdbc(uid), valorOdbc(pwd));
        d.descripcion = fuente;
        return d;
    }
    if (proveedor.isEmpty() || proveedor.startsWith(QLatin1String("sqloledb")) ||
        proveedor.startsWith(QLatin1String("msoledbsql")) ||
        proveedor.startsWith(QLatin1String("sqlncli"))) {
        QString host = servidor;
        if (host.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
            host = host.sliced(4);
        QString puerto;
        const auto coma = host.indexOf(u',');
        if (coma >= 0) {
            puerto = host.sliced(coma + 1).trimmed();
            host = host.first(coma).trimmed();
        }
        d.cadenaOdbc =
            QStringLiteral("DRIVER={%1};SERVER=%2;").arg(opciones.driverSqlServer, valorOdbc(host));
        if (!puerto.isEmpty())
            d.cadenaOdbc += QStringLiteral("PORT=%1;").arg(valorOdbc(puerto));
        const QString base = primero(p, {"database", "initial catalog"});
        if (!base.isEmpty())
            d.cadenaOdbc += QStringLiteral("DATABASE=%1;").arg(valorOdbc(base));
        d.cadenaOdbc += QStringLiteral("UID=%1;PWD=%2;").arg(valorOdbc(uid), valorOdbc(pwd));
        d.descripcion = servidor;
        return d;
    }
    throw Falla(
        codigo::adErrProviderNotFound,
        QStringLiteral("Provider cannot be found. It may not be properly installed."),
        QStringLiteral("ADODB.Connection"),
        {Error{codigo::adErrProviderNotFound,
               QStringLiteral("Provider cannot be found. It may not be properly installed."),
               QString(), 0, QStringLiteral("ADODB.Connection")}});
}

} // namespace ado::detalle
