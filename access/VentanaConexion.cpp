#include "access/VentanaConexion.h"

#include "access/ArchivoBases.h"
#include "access/frmAcceso.h"
#include "app/Aplicacion.h"

bool VentanaConexion::Pide(QString& servidor, QString& base, QString& usuario, QString& clave,
                           int& plataforma) {
    if (abierto_) {
        abierto_->modelo().Devuelve(servidor, base, usuario, clave, plataforma);
        return true;
    }
    ModeloAcceso modelo(
        ArchivoBases(Utilidades::RutaConBarra(app_.carpetaPuesto) + QStringLiteral("BASES.TXT")));
    modelo.Carga(servidor, base, usuario, clave);
    frmAcceso ventana(app_, modelo, padre_);
    abierto_ = &ventana;
    ventana.exec();
    abierto_ = nullptr;
    if (!ventana.Aceptar)
        return false;
    modelo.Devuelve(servidor, base, usuario, clave, plataforma);
    return true;
}
