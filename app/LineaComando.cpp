#include "app/LineaComando.h"

namespace lineacomando {

QString Parametro(const QString& linea, const QString& clave, const QString& defecto) {
    const auto pos = linea.indexOf(clave, 0, Qt::CaseInsensitive);
    if (pos < 0)
        return defecto;
    const auto inicio = pos + clave.size();
    const auto fin = linea.indexOf(u';', pos);
    QString valor;
    if (fin >= 0)
        valor = linea.mid(inicio, fin - inicio);
    else if (clave.compare(QLatin1String("@ParametroAdicional"), Qt::CaseInsensitive) == 0)
        valor = linea.mid(inicio, 19); // the key's own length, as the suite reads it
    valor.remove(u'=');
    return valor.trimmed();
}

Parametros Lee(const QString& linea) {
    Parametros p;
    p.parametroAdicional = Parametro(linea, QStringLiteral("@ParametroAdicional"));
    p.menu = Parametro(linea, QStringLiteral("@Menu"));
    p.servidor = Parametro(linea, QStringLiteral("@Server"));
    p.base = Parametro(linea, QStringLiteral("@DbName"));
    p.usuario = Parametro(linea, QStringLiteral("@Usuario"));
    p.clave = Parametro(linea, QStringLiteral("@Password"));
    p.usuarioLogeado = Parametro(linea, QStringLiteral("@UsuarioLogeado"));
    p.caja = Parametro(linea, QStringLiteral("@Caja"), QStringLiteral("1"));
    return p;
}

QString Arma(const QString& servidor, const QString& base, const QString& usuario,
             const QString& clave) {
    return QStringLiteral("@server=") + servidor + QStringLiteral("; @dbname= ") + base +
           QStringLiteral("; @usuario= ") + usuario + QStringLiteral("; @Password= ") + clave +
           QStringLiteral("; @ParametroAdicional=; @Caja=1;kora@");
}

QString NormalizaServidor(const QString& servidor) {
    QString s = servidor;
    const auto barra = s.indexOf(u'/');
    if (barra >= 0)
        s = s.mid(barra + 1);
    const auto dosPuntos = s.indexOf(u':');
    return dosPuntos >= 0 ? s.left(dosPuntos) : s;
}

QString MaquinaUsuario(const QString& maquina, const QString& usuario, bool corta) {
    const QString clave = maquina.toUpper() + u'|' + usuario.toUpper();
    if (corta && clave.trimmed().size() > 50)
        return clave.left(50);
    return clave;
}

} // namespace lineacomando
