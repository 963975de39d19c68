// The sheet's heavy operations at 100, 1,000 and 5,000 lines: statements sent and
// time taken to build the grid, open a saved run and recompute the totals.

#include "DialogoMudo.h"
#include "EnBaseEmbebida.h"
#include "app/Aplicacion.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString datos(int n) {
    QStringList s;
    s << QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('DATOS','PIVA','21'), ('DATOS','CANTIDADDECIMALES','2');")
      << QStringLiteral(
             "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES (1,'2024-03-01',2);")
      << QStringLiteral("INSERT INTO MV_CPTE (TC, IdComprobante, IdReparto, Importe) VALUES "
                        "('FC','000100000001A',1,10), ('NC','000100000002B',1,10);");
    for (int i = 0; i < n; ++i) {
        const QString id =
            Utilidades::AjustaCodigo(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')), 25);
        s << QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio1, Precio2, "
                            "TasaIva, Impuestos) VALUES ('%1','Articulo %2',10,20,%3,1);")
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
    QApplication qapp(argc, argv);
    std::printf("%-7s %-22s %10s %10s\n", "lines", "operation", "statements", "ms");
    for (int n : {100, 1000, 5000}) {
        QTemporaryDir dir;
        const QString traza = dir.filePath(QStringLiteral("traza.txt"));
        qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        ado::sqlite::CreaBaseEmbebida(base, recursos::EsquemaSql(), datos(n));
        DialogoMudo dialogo;
        Aplicacion app(dialogo);
        EnBaseEmbebida(app, dir.path(), base);
        FrmHojaRuta ventana(app);
        if (!ventana.Form_Load())
            return 1;
        ventana.show();

        const auto mide = [&](const char* nombre, auto&& operacion) {
            const int antes = lineas(traza);
            QElapsedTimer reloj;
            reloj.start();
            operacion();
            const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
            std::printf("%-7d %-22s %10d %10.1f\n", n, nombre, lineas(traza) - antes, ms);
        };
        mide("build grid", [&] { ventana.ArmaGrilla(true); });
        mide("open run", [&] {
            QLineEdit* reparto = ventana.Campo(QStringLiteral("Reparto"));
            reparto->setText(QStringLiteral("1"));
            reparto->setFocus();
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QApplication::sendEvent(reparto, &enter);
        });
        mide("recompute totals", [&] { ventana.CalculaTotalesResumen(); });
        if (ventana.Grilla().filas() != n || dialogo.cajas != 0) {
            std::printf("unexpected: %d lines, %d boxes\n", ventana.Grilla().filas(),
                        dialogo.cajas);
            return 1;
        }
        qputenv("HOJARUTA_TRAZA", QByteArray());
        ventana.close();
    }
    return 0;
}
