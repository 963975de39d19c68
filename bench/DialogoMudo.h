#pragma once
// The operator of a benchmark: every box is answered with OK and counted, so a run
// shows if anything complained.

#include "platform/DialogoOperador.h"

class DialogoMudo : public plataforma::DialogoOperador {
public:
    int cajas = 0;
    plataforma::Respuesta MsgBox(const QString&, plataforma::Estilo, const QString&) override {
        ++cajas;
        return plataforma::Respuesta::OK;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> EligeArchivo(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> EligeArchivoGuardar(const QString&, const QString&,
                                               const QString&) override {
        return std::nullopt;
    }
    std::optional<QDate> EligeFecha(const QDate&) override { return std::nullopt; }
};
