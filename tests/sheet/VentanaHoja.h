#pragma once
// The sheet window as a clerk finds it: loaded, shown and active.

#include "sheet/FrmHojaRuta.h"

#include <QSize>
#include <QTest>

#include <memory>

namespace prueba {

// `carpetaUsuario`: where the user's own files go (empty: the default); `tamano`: the
// window's size before it is shown (empty: its own).
inline std::unique_ptr<FrmHojaRuta>
VentanaActiva(Aplicacion& app, const QString& carpetaUsuario = {}, QSize tamano = {}) {
    auto ventana = std::make_unique<FrmHojaRuta>(app);
    if (!carpetaUsuario.isEmpty())
        ventana->setCarpetaRecuperacion(carpetaUsuario);
    if (!ventana->Form_Load())
        qFatal("no connection");
    if (tamano.isValid())
        ventana->resize(tamano);
    ventana->show();
    ventana->activateWindow();
    if (!QTest::qWaitForWindowActive(ventana.get()))
        qFatal("window not active");
    return ventana;
}

} // namespace prueba
