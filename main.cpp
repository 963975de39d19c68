// hojaruta: the load-control sheet of delivery runs.

#include "access/VentanaConexion.h"
#include "app/Aplicacion.h"
#include "app/FinDeSesion.h"
#include "app/gui/EsperaVisible.h"
#include "platform/CarpetaPuesto.h"
#include "platform/gui/DialogoQt.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUso =
    "Uso: hojaruta \"@server=SERVIDOR; @dbname= BASE; @usuario= USUARIO; @Password= CLAVE; "
    "@ParametroAdicional=REPARTO; @Caja=CAJA;kora@\"\n"
    "La planilla de control de carga de los repartos.\n"
    "\n"
    "  El menú del sistema pasa la conexión como un solo argumento; sin servidor o\n"
    "  usuario se piden en el diálogo \"Control de Acceso\". El servidor \"sqlite\" abre\n"
    "  un archivo SQLite, cuya ruta es @dbname=. @ParametroAdicional es el reparto que\n"
    "  se abre al empezar.\n"
    "\n"
    "  --help     muestra este texto y termina\n"
    "  --version  muestra la versión y termina\n";

// Answered before anything else: no display, no database, no window is needed.
bool OpcionDeConsola(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUso, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("hojaruta " HOJARUTA_VERSION "\n", stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (OpcionDeConsola(argc, argv))
        return 0;
    QApplication qapp(argc, argv);
    // Installed where the clerk cannot write, the workstation files are the clerk's own.
    puesto::Prepara();
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
