// Report files by name, and the load-control sheet's report.

#include "app/Reportes.h"

#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "report/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The suite writes "\" in its tables; here both separate folders.
QString conBarras(QString ruta) {
    return ruta.replace(u'\\', u'/');
}

// The path with each of its parts found whatever its letter case, when there is
// such a file; the path itself otherwise.
QString sinMayusculas(const QString& ruta) {
    if (ruta.isEmpty() || QFileInfo::exists(ruta))
        return ruta;
    const bool absoluta = ruta.startsWith(u'/');
    QString hecho = absoluta ? QStringLiteral("/") : QString();
    const QStringList partes = ruta.split(u'/', Qt::SkipEmptyParts);
    for (const QString& parte : partes) {
        QDir carpeta(hecho.isEmpty() ? QStringLiteral(".") : hecho);
        QString encontrada;
        if (QFileInfo::exists(carpeta.filePath(parte))) {
            encontrada = parte;
        } else {
            const auto nombres = carpeta.entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot);
            for (const QString& n : nombres)
                if (n.compare(parte, Qt::CaseInsensitive) == 0) {
                    encontrada = n;
                    break;
                }
        }
        if (encontrada.isEmpty())
            return ruta;
        hecho += (hecho.isEmpty() || hecho.endsWith(u'/') ? QString() : QStringLiteral("/")) +
                 encontrada;
    }
    return hecho;
}

} // namespace

bool ExisteArchivo(const QString& Ruta) {
    QFile f(sinMayusculas(conBarras(QString(Ruta).remove(u'"'))));
    if (QFileInfo(f.fileName()).isDir() || !f.open(QIODevice::ReadOnly))
        return false;
    f.close();
    return true;
}

QString VerificaReporte(Aplicacion& app, QString& Archivo, const QString& Nombre) {
    const QString carpeta = app.sesion.carpetaPrograma;
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] {
                if (!Archivo.isEmpty())
                    return;
                Archivo = carpeta + Nombre + QStringLiteral(".rpt");
                if (ExisteArchivo(Archivo))
                    return;
                const QString sistema =
                    app.db
                        .DatosTabla(QStringLiteral("V_TA_CPTE"), Nombre, QStringLiteral("SISTEMA"),
                                    QStringLiteral("Codigo"), 8, QString(), true, false)
                        .toString();
                Archivo = sistema.compare(u"Compras", Qt::CaseInsensitive) == 0
                              ? carpeta + QStringLiteral("CpteCompras.RPT")
                              : QString();
            },
            [&] {
                Archivo = conBarras(Archivo);
                if (!Archivo.trimmed().right(4).endsWith(u".RPT", Qt::CaseInsensitive))
                    Archivo = carpeta + Archivo + QStringLiteral(".rpt");
                else if (QFileInfo(Archivo.trimmed()).isRelative())
                    // The program folder's, not the folder the program was started from.
                    Archivo = carpeta + Archivo.trimmed();
            },
            [&] {
                if (ExisteArchivo(Archivo))
                    return;
                const QString porOmision = carpeta + Nombre + QStringLiteral(".rpt");
                app.dialogo.MsgBox(
                    QStringLiteral("No se encuentra el Archivo ") + Archivo + QStringLiteral(" (") +
                        Nombre + QStringLiteral(")") +
                        QStringLiteral(" por favor verifique la configuración de "
                                       "Reportes") +
                        QStringLiteral("\r\n") +
                        QStringLiteral(" Se tomara en su lugar el formulario ") + porOmision,
                    plataforma::Estilo{plataforma::Botones::OKOnly, plataforma::Icono::Critical},
                    QStringLiteral("Aviso al Operador"));
                Archivo = porOmision;
            },
            [&] { Archivo = sinMayusculas(Archivo); },
        });
    return Archivo;
}

QString NombreReporte(Aplicacion& app, QString& Nombre, const QString& Clave) {
    const QString G = Nombre;
    QString resultado;
    QString archivo;
    bool hallado = false;
    const auto busca = [&](const QString& nombre) {
        ado::Recordset rs;
        app.db.AbrirRecordset(QStringLiteral("SELECT * FROM TA_REPORTES  with(nolock)  WHERE "
                                             "NOMBRE = '") +
                                  plataforma::DuplicaComillas(nombre.trimmed()) + u'\'',
                              rs);
        hallado = rs.State() == ado::adStateOpen && !rs.Eof();
        if (hallado)
            archivo = Utilidades::SinNulo(rs.Fields(QStringLiteral("Archivo")).Value()).toString();
        app.db.CierraRecordset(rs);
    };
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(app.TratamientoErroresGlobal(
                f, plataforma::kEstiloError, QStringLiteral("NombreReporte$")));
        },
        {
            [&] {
                if (Clave.trimmed().isEmpty())
                    Nombre = app.nombreMaquina + u'|' + app.nombreUsuario + u'|' + Nombre;
            },
            [&] { busca(Nombre); },
            [&] {
                if (!hallado)
                    busca(G);
            },
            [&] {
                QString configurado = hallado ? archivo : QString();
                resultado = VerificaReporte(app, configurado, G);
            },
        });
    return resultado;
}

void ReportePlanilla(Aplicacion& app, reporte::Salida& salida, const QString& Reparto) {
    const QString Formula = QStringLiteral("{V_MV_Reparto.IDReparto}=") + Reparto;
    QString Parametro =
        QStringLiteral("empresa = '") + app.cfg.Cfg(QStringLiteral("NOMBRE")) + u'\'';
    reportes::FormateadorApp formato(app);
    reporte::Reportes Reportes(reportes::ConectorDe(app), formato, salida, app.dialogo, app.reloj);
    Reportes.OpcionImpresion1 = false;
    Reportes.OpcionImpresion2 = true;
    Reportes.OpcionImpresion3 = true;
    QString nombre = QStringLiteral("RP_PLAREPARTO");
    const QString Archivo = NombreReporte(app, nombre, app.sesion.gMaquinaUsuario);
    QString vacio;
    Reportes.Imprime(Archivo, QStringList{QString()}, Formula, app.sesion.gConexionDSN, Parametro,
                     vacio);
}

void ImprimePlanilla(Aplicacion& app, reporte::Salida& salida, const QString& Reparto) {
    try {
        ReportePlanilla(app, salida, Reparto);
    } catch (const reporte::Error& e) {
        if (e.informado)
            return;
        throw reportes::FallaDe(e);
    }
}
