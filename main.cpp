// hojaruta: the load-control sheet of delivery runs.

#include "access/VentanaConexion.h"
#include "app/Aplicacion.h"
#include "app/FinDeSesion.h"
#include "app/gui/EsperaVisible.h"
#include "platform/gui/DialogoQt.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    // The folder of the user's own files (the unsaved run) is named after it.
    QCoreApplication::setApplicationName(QStringLiteral("hojaruta"));
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
    // Logout or shutdown: the window closes without asking, keeping what was not saved.
    FinDeSesion finDeSesion;
    QObject::connect(&finDeSesion, &FinDeSesion::pedida, &ventana, &FrmHojaRuta::TerminaSesion);
    ventana.RecuerdaVentana();
    ventana.show();
    const int salida = qapp.exec();
    // The window writes the exit time when it closes; this covers an end that
    // did not go through it. Only the first call writes.
    app.FinalizaAplicacion();
    return salida;
}
