#pragma once
// The operator, scripted: every box shown is recorded, answers come from a queue
// given beforehand. A box with no answer queued, or an answer left unused when the
// object goes away, fails the running test.

#include "platform/DialogoOperador.h"

#include <QByteArray>
#include <QList>
#include <QVariant>

#include <functional>

struct CajaMostrada {
    QString tipo; // "MsgBox", "InputBox", "EligeArchivo", "EligeArchivoGuardar", "EligeFecha"
    QString texto;
    QString titulo;
    int estilo = 0; // a message box's style as the suite's code (18, 292, ...)
    // A table shown with the text: its caption, then its header and each row as
    // the box shows them, cells joined by "|".
    QString leyenda;
    QStringList tabla;
};

class DialogoGuionado : public plataforma::DialogoOperador {
public:
    ~DialogoGuionado() override;

    // Queues the next answer: a Respuesta for MsgBox, a QString (or an invalid
    // QVariant for cancel) for InputBox and the file choices, a QDate for EligeFecha.
    // A message box given anything but a Respuesta fails the test.
    DialogoGuionado& responde(plataforma::Respuesta respuesta);
    DialogoGuionado& responde(const QVariant& respuesta);
    DialogoGuionado& responde(int) = delete; // a bare code would pass for a text answer
    // From now on a box with no queued answer gets this one instead of failing the
    // test: for scenarios whose boxes are not the point (bad input, say).
    void respondeSiempre(plataforma::Respuesta respuesta) {
        porDefecto_ = QVariant::fromValue(respuesta);
    }
    void respondeSiempre(const QVariant& respuesta) { porDefecto_ = respuesta; }
    void respondeSiempre(int) = delete;

    plataforma::Respuesta MsgBox(const QString& texto, plataforma::Estilo estilo,
                                 const QString& titulo) override;
    plataforma::Respuesta MsgBoxConTabla(const QString& texto, const plataforma::Tabla& tabla,
                                         plataforma::Estilo estilo, const QString& titulo) override;
    std::optional<QString> InputBox(const QString& pregunta, const QString& titulo,
                                    const QString& inicial) override;
    std::optional<QString> EligeArchivo(const QString& titulo, const QString& filtro) override;
    // Recorded with the name offered as its text.
    std::optional<QString> EligeArchivoGuardar(const QString& titulo, const QString& filtro,
                                               const QString& nombre) override;
    std::optional<QDate> EligeFecha(const QDate& inicial) override;

    // Runs as each box shows, before it is answered: what happens elsewhere while
    // the operator reads it.
    std::function<void(const CajaMostrada&)> alMostrar;

    const QList<CajaMostrada>& mostradas() const { return mostradas_; }
    int pendientes() const { return static_cast<int>(respuestas_.size()); }
    void olvida() { mostradas_.clear(); }

private:
    QVariant siguiente(const CajaMostrada& caja);
    plataforma::Respuesta respuestaDe(const QVariant& r, const QString& titulo);
    QList<QVariant> respuestas_;
    QVariant porDefecto_;
    QList<CajaMostrada> mostradas_;
};

namespace plataforma {
// How tests print an answer that may be missing (found by argument lookup).
inline char* toString(const std::optional<Respuesta>& r) {
    return qstrdup(r ? QByteArray::number(static_cast<int>(*r)).constData() : "nothing");
}
} // namespace plataforma
