// hojaruta-reporte: prints or archives a report from a script, without windows and
// without waiting for anyone. See README.md for its arguments and exit codes.

#include "app/Aplicacion.h"
#include "app/Reportes.h"
#include "platform/CarpetaPuesto.h"
#include "platform/DialogoOperador.h"
#include "report/Error.h"
#include "report/Pintor.h"
#include "report/Reportes.h"
#include "report/gui/SalidaQt.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextStream>

namespace {

enum Salida {
    kBien = 0,
    kUso = 1,
    kConexion = 2,
    kArchivoReporte = 3,
    kFormula = 4,
    kConsulta = 5,
    kEscritura = 6,
};

const char* const kUsoTexto =
    "uso: hojaruta-reporte CONEXION --como-hoja REPARTO [salidas]\n"
    "     hojaruta-reporte CONEXION REPORTE [--formula FORMULA] [--parametro 'nombre = "
    "\"valor\"']... "
    "[salidas]\n"
    "salidas (al menos una): --pdf ARCHIVO  --texto ARCHIVO  --imprime\n"
    "CONEXION es el texto de conexión de la suite: \"@server=...; @dbname= ...; @usuario= ...; "
    "@Password= ...;\"\n"
    "REPORTE es un nombre de reporte (TA_REPORTES o la carpeta del programa) o la ruta de un .rpt\n"
    "códigos de salida: 0 bien, 1 uso, 2 conexión, 3 archivo de reporte, 4 fórmula, 5 consulta, "
    "6 salida (impresora o archivo)\n";

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// The operator is not there: every box is written to standard error with its
// text, and answered the cautious way (Cancel, No, Abort), so nothing waits.
class DialogoConsola : public plataforma::DialogoDesatendido {
public:
    plataforma::Respuesta MsgBox(const QString& texto, plataforma::Estilo estilo,
                                 const QString&) override {
        using plataforma::Botones;
        using plataforma::Respuesta;
        err() << texto << Qt::endl;
        switch (estilo.botones) {
        case Botones::OKCancel:
        case Botones::YesNoCancel:
        case Botones::RetryCancel:
            return Respuesta::Cancel;
        case Botones::AbortRetryIgnore:
            return Respuesta::Abort;
        case Botones::YesNo:
            return Respuesta::No;
        case Botones::OKOnly:
            break;
        }
        return Respuesta::OK;
    }
    std::optional<QString> InputBox(const QString& pregunta, const QString&,
                                    const QString&) override {
        err() << pregunta << Qt::endl;
        return std::nullopt;
    }
};

// The laid-out report goes to the files and the printer asked for.
class SalidaArchivos : public reporte::Salida {
public:
    QString pdf;
    QString texto;
    bool imprime = false;
    int resultado = kBien;

    bool ImprimeDirecto(const reporte::Documento& d, int) override {
        escribe(d);
        return true;
    }
    void VistaPrevia(const reporte::Documento& d, bool, bool) override { escribe(d); }

private:
    void escribe(const reporte::Documento& d) {
        try {
            if (!texto.isEmpty()) {
                QFile f(texto);
                if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                    f.write(d.Volcado().toUtf8()) < 0 || !f.flush())
                    throw reporte::Error(reporte::Error::Tipo::Salida,
                                         QStringLiteral("No se puede escribir el archivo ") +
                                             texto);
            }
            if (!pdf.isEmpty())
                reporte::EscribePdf(d, pdf);
            if (imprime) {
                const QPrinterInfo predeterminada = QPrinterInfo::defaultPrinter();
                if (predeterminada.isNull())
                    throw reporte::Error(reporte::Error::Tipo::Salida,
                                         QStringLiteral("No hay una impresora predeterminada"));
                QPrinter impresora(predeterminada, QPrinter::HighResolution);
                reporte::ImprimeEn(d, impresora);
            }
        } catch (const reporte::Error& e) {
            err() << e.mensaje << Qt::endl;
            resultado = kEscritura;
        }
    }
};

int codigo(const reporte::Error& e) {
    switch (e.tipo) {
    case reporte::Error::Tipo::Archivo:
    case reporte::Error::Tipo::Formato:
        return kArchivoReporte;
    case reporte::Error::Tipo::Formula:
        return kFormula;
    case reporte::Error::Tipo::Consulta:
        return kConsulta;
    case reporte::Error::Tipo::Conexion:
        return kConexion;
    case reporte::Error::Tipo::Salida:
        return kEscritura;
    }
    return kConsulta;
}

int uso(const QString& problema = {}) {
    if (!problema.isEmpty())
        err() << problema << "\n";
    err() << kUsoTexto;
    err().flush();
    return kUso;
}

} // namespace

int main(int argc, char* argv[]) {
    // A script runs with no display: the painting needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    // Installed where the user cannot write, the workstation files are the user's own.
    puesto::Prepara();

    const QStringList args = qapp.arguments().mid(1);
    QString conexion, nombre, reparto, formula;
    QStringList parametros;
    bool comoHoja = false;
    SalidaArchivos salida;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto valor = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        std::optional<QString> v;
        if (a == u"--ayuda" || a == u"--help")
            return uso();
        if (a == u"--como-hoja") {
            if (!(v = valor()))
                return uso(QStringLiteral("falta el número de reparto"));
            comoHoja = true;
            reparto = *v;
        } else if (a == u"--formula") {
            if (!(v = valor()))
                return uso(QStringLiteral("falta la fórmula"));
            formula = *v;
        } else if (a == u"--parametro") {
            if (!(v = valor()))
                return uso(QStringLiteral("falta el parámetro"));
            parametros << *v;
        } else if (a == u"--pdf") {
            if (!(v = valor()))
                return uso(QStringLiteral("falta el archivo PDF"));
            salida.pdf = *v;
        } else if (a == u"--texto") {
            if (!(v = valor()))
                return uso(QStringLiteral("falta el archivo de texto"));
            salida.texto = *v;
        } else if (a == u"--imprime") {
            salida.imprime = true;
        } else if (a.startsWith(u"--")) {
            return uso(QStringLiteral("opción desconocida: ") + a);
        } else if (conexion.isNull()) {
            conexion = a;
        } else if (nombre.isNull()) {
            nombre = a;
        } else {
            return uso(QStringLiteral("sobra un argumento"));
        }
    }
    if (conexion.trimmed().isEmpty())
        return uso(QStringLiteral("falta la conexión"));
    if (comoHoja == !nombre.isNull())
        return uso(QStringLiteral("se da un REPORTE o --como-hoja, uno de los dos"));
    if (comoHoja && (!formula.isNull() || !parametros.isEmpty()))
        return uso(QStringLiteral("--como-hoja ya fija la fórmula y el parámetro"));
    if (salida.pdf.isEmpty() && salida.texto.isEmpty() && !salida.imprime)
        return uso(QStringLiteral("falta una salida"));

    DialogoConsola dialogo;
    Aplicacion app(dialogo);
    app.terminaPrograma = [] {};
    QString cadena;
    if (!app.IniciaAplicacion(false, conexion, cadena, ado::adUseClient) || !app.db.gOpenFlag)
        return kConexion;

    try {
        if (comoHoja) {
            ReportePlanilla(app, salida, reparto);
        } else {
            // A path is taken as it is; a name is looked up as the program looks it up.
            QString archivo = nombre;
            if (!nombre.endsWith(u".rpt", Qt::CaseInsensitive) && !nombre.contains(u'/') &&
                !nombre.contains(u'\\'))
                archivo = NombreReporte(app, nombre, app.sesion.gMaquinaUsuario);
            reportes::FormateadorApp formato(app);
            reporte::Reportes reportes(reportes::ConectorDe(app), formato, salida, dialogo,
                                       app.reloj);
            reportes.OpcionImpresion2 = true;
            reportes.OpcionImpresion3 = true;
            reportes.Imprime(archivo, QStringList{QString()}, formula, app.sesion.gConexionDSN,
                             parametros);
        }
    } catch (const reporte::Error& e) {
        if (!e.informado)
            err() << e.mensaje << Qt::endl;
        return codigo(e);
    } catch (const ado::Falla& f) {
        err() << f.Description << Qt::endl;
        return kConsulta;
    }
    return salida.resultado;
}
