#pragma once
// The operator, scripted: every box shown is recorded, answers come from a queue
// given beforehand. A box with no answer queued, or an answer left unused when the
// object goes away, fails the running test.

#include "platform/DialogoOperador.h"

#include <QList>
#include <QVariant>

struct CajaMostrada {
    QString tipo; // "MsgBox", "InputBox", "EligeArchivo", "EligeFecha"
    QString texto;
    QString titulo;
    int estilo = 0;
};

class DialogoGuionado : public plataforma::DialogoOperador {
public:
    ~DialogoGuionado() override;

    // Queues the next answer: an answer code for MsgBox, a QString (or an invalid
    // QVariant for cancel) for InputBox and EligeArchivo, a QDate for EligeFecha.
    DialogoGuionado& responde(const QVariant& respuesta);
    // From now on a box with no queued answer gets this one instead of failing the
    // test: for scenarios whose boxes are not the point (bad input, say).
    void respondeSiempre(const QVariant& respuesta) { porDefecto_ = respuesta; }

    int MsgBox(const QString& texto, int estilo, const QString& titulo) override;
    std::optional<QString> InputBox(const QString& pregunta, const QString& titulo,
                                    const QString& inicial) override;
    std::optional<QString> EligeArchivo(const QString& titulo, const QString& filtro) override;
    std::optional<QDate> EligeFecha(const QDate& inicial) override;

    const QList<CajaMostrada>& mostradas() const { return mostradas_; }
    int pendientes() const { return static_cast<int>(respuestas_.size()); }
    void olvida() { mostradas_.clear(); }

private:
    QVariant siguiente(const CajaMostrada& caja);
    QList<QVariant> respuestas_;
    QVariant porDefecto_;
    QList<CajaMostrada> mostradas_;
};
