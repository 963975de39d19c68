#pragma once
// The sheet window as a clerk finds it: loaded, shown and active.

#include "DialogoGuionado.h"
#include "sheet/FrmHojaRuta.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSize>
#include <QTableView>
#include <QTest>

#include <initializer_list>

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

// Types into the grid's current cell as a clerk does: the first key opens the
// cell's editor; Enter confirms it unless `confirmando` is false.
inline void Tipea(FrmHojaRuta& ventana, const QString& texto, bool confirmando = true) {
    QTableView* g = ventana.VistaGrilla();
    g->setFocus();
    QTest::keyClicks(g, texto.left(1));
    QTest::keyClicks(ventana.txtEditCC(), texto.mid(1));
    if (confirmando)
        QTest::keyClick(ventana.txtEditCC(), Qt::Key_Return);
}

inline void TipeaEn(FrmHojaRuta& ventana, int fila, int col, const QString& texto) {
    ventana.VistaGrilla()->setCurrentIndex(ventana.Grilla().index(fila, col));
    Tipea(ventana, texto);
}

// "Finalizar"; the answers go to its confirmation and the boxes that follow.
inline void Finaliza(FrmHojaRuta& ventana, DialogoGuionado& dialogo,
                     std::initializer_list<plataforma::Respuesta> respuestas) {
    for (plataforma::Respuesta r : respuestas)
        dialogo.responde(r);
    QTest::mouseClick(ventana.findChild<QPushButton*>(QStringLiteral("cmdFinalizar")),
                      Qt::LeftButton);
}

} // namespace prueba
