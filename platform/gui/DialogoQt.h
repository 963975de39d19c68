#pragma once
// The operator-dialog service on Qt widgets. Every box can be answered from the
// keyboard: Enter takes the default button, Esc the cautious one (Cancel, No or
// Abort), and each button's underlined letter presses it.

#include "platform/DialogoOperador.h"

class QWidget;

class DialogoQt : public plataforma::DialogoOperador {
public:
    plataforma::Respuesta MsgBox(const QString& texto, plataforma::Estilo estilo = {},
                                 const QString& titulo = {}) override;
    plataforma::Respuesta MsgBoxConTabla(const QString& texto, const plataforma::Tabla& tabla,
                                         plataforma::Estilo estilo, const QString& titulo) override;
    std::optional<QString> InputBox(const QString& pregunta, const QString& titulo,
                                    const QString& inicial = {}) override;
    std::optional<QString> EligeArchivo(const QString& titulo, const QString& filtro) override;
    std::optional<QString> EligeArchivoGuardar(const QString& titulo, const QString& filtro,
                                               const QString& nombre) override;
    std::optional<QDate> EligeFecha(const QDate& inicial) override;

    // The suite writes file filters as "Description|*.a;*.b|Other|*.c"; Qt wants
    // "Description (*.a *.b);;Other (*.c)".
    static QString FiltroQt(const QString& filtroSuite);

private:
    static QWidget* padre();
    static plataforma::Respuesta muestra(const QString& texto, plataforma::Estilo estilo,
                                         const QString& titulo, const plataforma::Tabla* tabla);
};
