// The run sheet's report at 100, 1,000 and 5,000 lines: statements sent and time
// taken to read and lay the run out, and to write the PDF. The budget is one
// second for a 1,000-line run, both together (Release build).

#include "DialogoMudo.h"
#include "app/Aplicacion.h"
#include "app/Reportes.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "report/Pintor.h"
#include "resources/Recursos.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

class SalidaGuardada : public reporte::Salida {
public:
    reporte::Documento documento;
    bool ImprimeDirecto(const reporte::Documento&, int) override { return false; }
    void VistaPrevia(const reporte::Documento& d, bool, bool) override { documento = d; }
};

QString datos(int n) {
    QStringList s;
    s << QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('DATOS','PIVA','21'), ('DATOS','CANTIDADDECIMALES','2'), "
                        "('GENERAL','NOMBRE','DISTRIBUIDORA DE PRUEBA');")
      << QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, Chofer, "
                        "KmInicial, Gasto1, ImpRecaudado) VALUES "
                        "(1,'2024-03-01',2,'AB123CD','PEREZ',1000,150,90000);")
      << QStringLiteral("INSERT INTO MV_CPTE (TC, IdComprobante, IdReparto, Importe) VALUES "
                        "('FC','000100000001A',1,10), ('NC','000100000002B',1,10);");
    for (int i = 0; i < n; ++i) {
        const QString id =
            Utilidades::AjustaCodigo(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')), 25);
        s << QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio1, Precio2, "
                            "TasaIva, Impuestos) VALUES ('%1','ARTICULO DE PRUEBA %2',10,20,%3,1);")
                 .arg(id)
                 .arg(i)
                 .arg(i % 2 ? QStringLiteral("NULL") : QStringLiteral("10.5"))
          << QStringLiteral(
                 "INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, Cantidad, "
                 "REC_CANTIDADUD, REC_CANTIDAD) VALUES (1,'%1',10,10.5,2,2);")
                 .arg(id)
          << QStringLiteral(
                 "INSERT INTO MV_STOCK (TC, IdComprobante, IdArticulo, Cantidad, CantidadUD) "
                 "VALUES ('FC','000100000001A','%1',-2,-2), "
                 "('NC','000100000002B','%1',1,1);")
                 .arg(id);
    }
    return s.join(u'\n');
}

int lineas(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qapp(argc, argv);
    std::printf("%-7s %-22s %10s %10s %7s\n", "lines", "operation", "statements", "ms", "pages");
    int resultado = 0;
    for (int n : {100, 1000, 5000}) {
        QTemporaryDir dir;
        const QString traza = dir.filePath(QStringLiteral("traza.txt"));
        qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        ado::sqlite::CreaBaseEmbebida(base, recursos::EsquemaSql(), datos(n));
        QFile::copy(QStringLiteral(ARCHIVO_PLANILLA),
                    dir.filePath(QStringLiteral("RP_PLAREPARTO.rpt")));
        DialogoMudo dialogo;
        Aplicacion app(dialogo);
        app.carpetaEjecutable = dir.path();
        app.db.carpetaLog = dir.path();
        QString cadena;
        if (!app.IniciaAplicacion(
                false,
                QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ;")
                    .arg(base),
                cadena, ado::adUseClient))
            return 1;

        SalidaGuardada salida;
        double total = 0;
        const auto mide = [&](const char* nombre, auto&& operacion) {
            const int antes = lineas(traza);
            QElapsedTimer reloj;
            reloj.start();
            operacion();
            const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
            total += ms;
            std::printf("%-7d %-22s %10d %10.1f %7lld\n", n, nombre, lineas(traza) - antes, ms,
                        static_cast<long long>(salida.documento.paginas.size()));
        };
        mide("read and lay out", [&] { ReportePlanilla(app, salida, QStringLiteral("1")); });
        mide("write PDF", [&] {
            reporte::EscribePdf(salida.documento, dir.filePath(QStringLiteral("planilla.pdf")));
        });
        std::printf("%-7d %-22s %10s %10.1f\n", n, "both", "", total);
        if (dialogo.cajas != 0) {
            std::printf("unexpected: %d boxes\n", dialogo.cajas);
            return 1;
        }
        if (n == 1000 && total > 1000) {
            std::printf("over the budget of 1000 ms for 1000 lines\n");
            resultado = 1;
        }
        qputenv("HOJARUTA_TRAZA", QByteArray());
    }
    return resultado;
}
