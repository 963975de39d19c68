#pragma once
// The operator of a benchmark: every box is answered with OK and counted, so a run
// shows if anything complained.

#include "platform/DialogoOperador.h"

class DialogoMudo : public plataforma::DialogoDesatendido {
public:
    int cajas = 0;
    plataforma::Respuesta MsgBox(const QString&, plataforma::Estilo, const QString&) override {
        ++cajas;
        return plataforma::Respuesta::OK;
    }
};
