#include "app/Lanzador.h"

#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "platform/Utilidades.h"

#include <QProcess>

LineaPrograma ArmaLineaPrograma(Aplicacion& app, const QString& Programa, QString& Parametro) {
    if (const qsizetype blanco = Parametro.indexOf(u' '); blanco >= 0)
        Parametro = Parametro.mid(blanco + 1);
    DB_Dll& db = app.db;
    // The started program connects through Oracle only when its server carries the
    // marker, which this program removed from its own on reading it.
    const QString servidor = db.gOpenFlag && db.esConexionOracle() && !db.gServidor.contains(u'#')
                                 ? u'#' + db.gServidor
                                 : db.gServidor;
    LineaPrograma l;
    l.argumento = QStringLiteral(" ; @server=") + servidor + QStringLiteral("; @dbname=") +
                  db.gDBName + QStringLiteral("; @usuario=") + db.gUsuario +
                  QStringLiteral("; @Password=") + db.gUserPassWord +
                  QStringLiteral("; @ParametroAdicional=") + Parametro +
                  QStringLiteral("; kora@ ; @UsuarioLogeado = ") + app.sesion.gUsuarioLogeado +
                  QStringLiteral("; @Caja=") + app.sesion.gCaja + u';';
    const QString carpeta = Utilidades::RutaConBarra(app.carpetaEjecutable);
    QString programa;
    if (Programa.contains(u'\\') || Programa.contains(u'/'))
        programa = Programa.mid(6);
    else if (Programa.contains(QLatin1String("SHELL"), Qt::CaseInsensitive))
        programa = carpeta + Programa.mid(6);
    else
        programa = carpeta + Programa;
    l.programa = QString(programa).replace(u'\\', u'/');
    return l;
}

void MenuExes(Aplicacion& app, QString& Programa, QString& Parametro, qint32& IdProceso) {
    LineaPrograma linea;
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(app.TratamientoErroresGlobal(
                f, plataforma::kEstiloError, QStringLiteral("MenuExes")));
        },
        {
            [&] { linea = ArmaLineaPrograma(app, Programa, Parametro); },
            [&] {
                qint64 pid = 0;
                if (!QProcess::startDetached(linea.programa, {linea.argumento}, QString(), &pid))
                    // The argument carries the password: only the program is named.
                    throw ado::Falla(ado::codigo::E_FAIL,
                                     QStringLiteral("No se pudo iniciar el programa ") +
                                         linea.programa,
                                     QStringLiteral("MenuExes"));
                IdProceso = static_cast<qint32>(pid);
            },
            [&] {
                if (IdProceso == 0)
                    app.dialogo.MsgBox(QStringLiteral("Opcion no Implementada!\r"
                                                      "Comuniquese con su proveedor de sistemas"),
                                       {plataforma::Botones::OKOnly, plataforma::Icono::Critical},
                                       QStringLiteral("Atención"));
            },
        });
}
