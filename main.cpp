// hojaruta: the load-control sheet of delivery runs.

#include "app/Aplicacion.h"
#include "platform/gui/DialogoQt.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    DialogoQt dialogo;
    Aplicacion app(dialogo);
    FrmHojaRuta ventana(app);
    if (!ventana.Form_Load())
        return 1;
    ventana.show();
    return qapp.exec();
}
