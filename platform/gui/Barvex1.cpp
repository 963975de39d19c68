#include "platform/gui/Barvex1.h"

#include <QAction>
#include <QStyle>
#include <QToolButton>

// Which button each state enables. The window sets the flags; the bar derives
// every button from all of them at once, so the order in which they are set
// does not matter.
//
// "editing" = EnEdicion or ModoCarga: a run is on screen, new or existing
// (the window sets both when it enables its detail, and may turn ModoCarga off
// again for a run it opened by itself, keeping EnEdicion).
//
//   button      enabled when
//   NUEVO       not editing (a new record starts from the empty window)
//   GRABAR      editing
//   BORRAR      RepartoExistente (there is a stored record to delete)
//   CANCELAR    editing
//   CONSULTAR   ConsultaHabilitada (lookups serve the number as well as the fields)
//   PLANILLA    RepartoExistente or ModoNavegacion (browsing the table while
//               choosing a record, or beside a stored one)
//   REPORTE     RepartoExistente (only a stored record can be printed)
//   CERRAR      always
//
// EstadoExtra1 and EstadoExtra2 belong to the extra buttons of other windows;
// this bar has none, so they change nothing.

namespace {

struct DefBoton {
    const char* clave;
    const char* texto;
    Qt::Key tecla;
    QStyle::StandardPixmap icono;
};

// F1 stays with help and Esc with cancelling a cell edit; F9 is left free.
constexpr DefBoton kBotones[] = {
    {"NUEVO", "Nuevo", Qt::Key_F4, QStyle::SP_FileIcon},
    {"GRABAR", "Grabar", Qt::Key_F2, QStyle::SP_DialogSaveButton},
    {"BORRAR", "Borrar", Qt::Key_F6, QStyle::SP_TrashIcon},
    {"CANCELAR", "Cancelar", Qt::Key_F5, QStyle::SP_DialogCancelButton},
    {"CONSULTAR", "Consultar", Qt::Key_F3, QStyle::SP_FileDialogContentsView},
    {"PLANILLA", "Planilla", Qt::Key_F7, QStyle::SP_FileDialogDetailedView},
    {"REPORTE", "Reporte", Qt::Key_F8, QStyle::SP_FileDialogInfoView},
    {"CERRAR", "Cerrar", Qt::Key_F10, QStyle::SP_DialogCloseButton},
};

const DefBoton* defDe(const QString& clave) {
    for (const auto& d : kBotones) {
        if (clave.compare(QLatin1String(d.clave), Qt::CaseInsensitive) == 0) {
            return &d;
        }
    }
    return nullptr;
}

const char* const kPropClave = "clave";

} // namespace

const QStringList& Barvex1::Claves() {
    static const QStringList claves = [] {
        QStringList l;
        for (const auto& d : kBotones) {
            l << QString::fromLatin1(d.clave);
        }
        return l;
    }();
    return claves;
}

Barvex1::Barvex1(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("Barvex1"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // The window's fields keep the keyboard: the bar is worked with the mouse or
    // through the function keys the window hands over.
    setFocusPolicy(Qt::NoFocus);

    for (const auto& d : kBotones) {
        const QString clave = QString::fromLatin1(d.clave);
        const QString texto = QString::fromLatin1(d.texto);
        QAction* accion = addAction(style()->standardIcon(d.icono), texto);
        accion->setObjectName(clave);
        accion->setProperty(kPropClave, clave);
        // No QAction shortcut: the window passes its keys to ProcesaTecla, and a
        // shortcut as well would press the button twice or take the key from a
        // cell editor.
        accion->setToolTip(QStringLiteral("%1 (%2)").arg(
            texto, QKeySequence(d.tecla).toString(QKeySequence::PortableText)));
        connect(accion, &QAction::triggered, this, [this, clave] { emit ButtonClick(clave); });
        if (QWidget* boton = widgetForAction(accion)) {
            boton->setFocusPolicy(Qt::NoFocus);
        }
    }
    setStyleBar(styleBar_);
    actualiza();
}

QAction* Barvex1::Boton(const QString& clave) const {
    const DefBoton* d = defDe(clave);
    if (!d) {
        return nullptr;
    }
    const auto acciones = actions();
    for (QAction* a : acciones) {
        if (a->property(kPropClave).toString() == QLatin1String(d->clave)) {
            return a;
        }
    }
    return nullptr;
}

QKeySequence Barvex1::Atajo(const QString& clave) const {
    const DefBoton* d = defDe(clave);
    return d ? QKeySequence(d->tecla) : QKeySequence();
}

bool Barvex1::ProcesaTecla(int tecla, Qt::KeyboardModifiers modificadores) {
    // Shift+F2 and the like are other keys; the keypad flag says nothing here.
    if ((modificadores & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    for (const auto& d : kBotones) {
        if (d.tecla != tecla) {
            continue;
        }
        QAction* accion = Boton(QString::fromLatin1(d.clave));
        if (!accion || !accion->isEnabled() || !accion->isVisible()) {
            return false;
        }
        emit ButtonClick(QString::fromLatin1(d.clave));
        return true;
    }
    return false;
}

void Barvex1::setEnEdicion(bool v) {
    enEdicion_ = v;
    actualiza();
}

void Barvex1::setSoloLectura(bool v) {
    soloLectura_ = v;
    actualiza();
}

void Barvex1::setRepartoExistente(bool v) {
    repartoExistente_ = v;
    actualiza();
}

void Barvex1::setModoCarga(bool v) {
    modoCarga_ = v;
    actualiza();
}

void Barvex1::setModoNavegacion(bool v) {
    modoNavegacion_ = v;
    actualiza();
}

void Barvex1::setConsultaHabilitada(bool v) {
    consultaHabilitada_ = v;
    actualiza();
}

void Barvex1::setEstadoExtra1(bool v) {
    estadoExtra1_ = v;
    actualiza();
}

void Barvex1::setEstadoExtra2(bool v) {
    estadoExtra2_ = v;
    actualiza();
}

void Barvex1::setStyleBar(int estilo) {
    styleBar_ = estilo;
    const auto acciones = actions();
    for (QAction* a : acciones) {
        if (auto* boton = qobject_cast<QToolButton*>(widgetForAction(a))) {
            boton->setAutoRaise(estilo != 0);
        }
    }
}

void Barvex1::actualiza() {
    const bool editando = enEdicion_ || modoCarga_;
    const auto habilita = [this](const char* clave, bool v) {
        if (QAction* a = Boton(QString::fromLatin1(clave))) {
            a->setEnabled(v);
        }
    };
    habilita("NUEVO", !editando);
    habilita("GRABAR", editando && !soloLectura_);
    habilita("BORRAR", repartoExistente_);
    habilita("CANCELAR", editando);
    habilita("CONSULTAR", consultaHabilitada_);
    habilita("PLANILLA", repartoExistente_ || modoNavegacion_);
    habilita("REPORTE", repartoExistente_);
    habilita("CERRAR", true);
}
