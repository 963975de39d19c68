// The run sheet's report at 100, 1,000 and 5,000 lines: statements sent and time
// taken to read and lay the run out, and to write the PDF. The budget is one
// second for a 1,000-line run, both together (Release build).

#include "DialogoMudo.h"
#include "Ensayo.h"
#include "app/Aplicacion.h"
#include "app/Reportes.h"
#include "report/Pintor.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

class SalidaGuardada : public reporte::Salida {
public:
    reporte::Documento documento;
    bool ImprimeDirecto(const reporte::Documento&, int) override { return false; }
    void VistaPrevia(const reporte::Documento& d, bool, bool) override { documento = d; }
};

QString datos(int n) {
    return DatosReparto(
        {QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('DATOS','PIVA','21'), ('DATOS','CANTIDADDECIMALES','2'), "
                        "('GENERAL','NOMBRE','DISTRIBUIDORA DE PRUEBA');"),
         QStringLiteral("INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, "
                        "Chofer, KmInicial, Gasto1, ImpRecaudado) VALUES "
                        "(1,'2024-03-01',2,'AB123CD','PEREZ',1000,150,90000);")},
        n, {.descripcion = QStringLiteral("ARTICULO DE PRUEBA %1")});
}

} // namespace

int main(int argc, char* argv[]) {
    FueraDePantalla();
    QGuiApplication qapp(argc, argv);
    std::printf("%s %7s\n", Columnas().c_str(), "pages");
    int resultado = 0;
    for (int n : {100, 1000, 5000}) {
        const Ensayo ensayo(datos(n));
        QFile::copy(QStringLiteral(ARCHIVO_PLANILLA),
                    ensayo.Ruta(QStringLiteral("RP_PLAREPARTO.rpt")));
        DialogoMudo dialogo;
        Aplicacion app(dialogo);
        app.carpetaEjecutable = ensayo.Carpeta();
        app.carpetaPuesto = ensayo.Carpeta();
        app.db.carpetaLog = ensayo.Carpeta();
        QString cadena;
        if (!app.IniciaAplicacion(
                false,
                QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ;")
                    .arg(ensayo.Base()),
                cadena, ado::adUseClient))
            return 1;

        SalidaGuardada salida;
        double total = 0;
        const auto mide = [&](const char* nombre, auto&& operacion) {
            const Medida m = ensayo.Mide(operacion);
            total += m.ms;
            std::printf("%s %7lld\n", Fila(n, nombre, m).c_str(),
                        static_cast<long long>(salida.documento.paginas.size()));
        };
        mide("read and lay out", [&] { ReportePlanilla(app, salida, QStringLiteral("1")); });
        mide("write PDF", [&] {
            reporte::EscribePdf(salida.documento, ensayo.Ruta(QStringLiteral("planilla.pdf")));
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
    }
    return resultado;
}
