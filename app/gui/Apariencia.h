#pragma once
// The program's look: the skin the operator chose, applied to the whole
// application, and the program's icon and toolbar style on a window.

#include "app/Apariencia.h"

class Aplicacion;
class QApplication;
class QIcon;
class QWidget;

// Applies the user's skin (style, palette and, when there is one, the skin's
// Styles/<name>.qss) to the application. A missing or broken skin leaves the
// look as it was; it never stops the start. Returns the skin chosen.
Piel CargaEstilo(Aplicacion& app, QApplication& qapp);
// The program's icon on the window (vexmar.ico from the current folder when the
// program's own cannot be had), and the toolbar style gFlatToolbars on its
// toolbars named Barvex1, TBarRep1 and Util0011. Every failing step is skipped.
void AsignaIcono(QWidget* ventana, int gFlatToolbars);
// The program's icon.
QIcon IconoPrograma();
