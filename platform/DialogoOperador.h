#pragma once
// Every message box, input box, file choice and date choice goes through this
// service, so that the database layer never shows anything by itself and tests
// can answer in place of the operator. Styles and answers are the message-box
// codes the program's routines are written in.

#include <QDate>
#include <QString>

#include <optional>

namespace plataforma {

// Button sets, icons and default button, added together as a style.
enum EstiloMensaje {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

enum Respuesta {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7
};

class DialogoOperador {
public:
    virtual ~DialogoOperador() = default;
    // Shows a message box; returns the answer code.
    virtual int MsgBox(const QString& texto, int estilo = vbOKOnly, const QString& titulo = {}) = 0;
    // Asks for a text; nothing when the operator cancels.
    virtual std::optional<QString> InputBox(const QString& pregunta, const QString& titulo,
                                            const QString& inicial = {}) = 0;
    // Asks for a file to open; nothing when the operator cancels.
    virtual std::optional<QString> EligeArchivo(const QString& titulo, const QString& filtro) = 0;
    // Asks for a date on a calendar; nothing when the operator cancels.
    virtual std::optional<QDate> EligeFecha(const QDate& inicial) = 0;
};

} // namespace plataforma
