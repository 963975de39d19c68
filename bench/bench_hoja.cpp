// The sheet's heavy operations at 100, 1,000 and 5,000 lines: statements sent and
// time taken to build the grid, open a saved run and recompute the totals.

#include "EnBaseEmbebida.h"
#include "Ensayo.h"
#include "sheet/ModeloGrilla.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    FueraDePantalla();
    QApplication qapp(argc, argv);
    std::printf("%s\n", Columnas().c_str());
    for (int n : {100, 1000, 5000}) {
        const Ensayo ensayo(DatosReparto(
            {QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                            "('DATOS','PIVA','21'), ('DATOS','CANTIDADDECIMALES','2');"),
             QStringLiteral(
                 "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES (1,'2024-03-01',2);")},
            n));
        HojaEnBaseEmbebida hoja(ensayo);
        if (!hoja.Abre())
            return 1;

        const auto mide = [&](const char* nombre, auto&& operacion) {
            std::printf("%s\n", Fila(n, nombre, ensayo.Mide(operacion)).c_str());
        };
        mide("build grid", [&] { hoja.ventana.ArmaGrilla(true); });
        mide("open run", [&] { hoja.AbreReparto(QStringLiteral("1")); });
        mide("recompute totals", [&] { hoja.ventana.CalculaTotalesResumen(); });
        if (hoja.ventana.Grilla().filas() != n || hoja.dialogo.cajas != 0) {
            std::printf("unexpected: %d lines, %d boxes\n", hoja.ventana.Grilla().filas(),
                        hoja.dialogo.cajas);
            return 1;
        }
        hoja.ventana.close();
    }
    return 0;
}
