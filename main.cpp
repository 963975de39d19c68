// hojaruta: the load-control sheet of delivery runs.

#include "access/VentanaConexion.h"
#include "app/Aplicacion.h"
#include "app/gui/EsperaVisible.h"
#include "platform/gui/DialogoQt.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    // A statement waiting for another program's lock leaves the window painted.
    InstalaEsperaVisible();
    DialogoQt dialogo;
    Aplicacion app(dialogo);
    // Missing or wrong connection data are asked for in the connection dialog.
    VentanaConexion conexion(app);
    app.db.setPideParametros(&conexion);
    FrmHojaRuta ventana(app);
    if (!ventana.Form_Load())
        return 1;
    ventana.show();
    const int salida = qapp.exec();
    // The window writes the exit time when it closes; this covers an end that
    // did not go through it. Only the first call writes.
    app.FinalizaAplicacion();
    return salida;
}
