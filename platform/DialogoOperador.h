#pragma once
// Every message box, input box, file choice and date choice goes through this
// service, so that the database layer never shows anything by itself and tests
// can answer in place of the operator. Styles and answers are typed, with the
// message-box codes the suite's routines are written in as their values.

#include <QDate>
#include <QString>

class QAbstractItemModel;

#include <optional>

namespace plataforma {

// The button the operator pressed.
enum class Respuesta { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

enum class Botones {
    OKOnly = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};

enum class Icono { Ninguno = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };

// A message box's style: buttons, icon, default button (1..3).
struct Estilo {
    Botones botones = Botones::OKOnly;
    Icono icono = Icono::Ninguno;
    int porDefecto = 1;

    // The suite's numeric code (buttons + icon + 256 per default button past the
    // first): 18 is abort/retry/ignore with the critical icon.
    constexpr int codigo() const {
        const int boton = porDefecto == 2 || porDefecto == 3 ? porDefecto - 1 : 0;
        return static_cast<int>(botones) + static_cast<int>(icono) + boton * 256;
    }
    // And back; parts the suite does not define read as the plain ones.
    static constexpr Estilo DeCodigo(int codigo) {
        Estilo e;
        const int botones = codigo & 0x0f;
        e.botones = botones <= 5 ? static_cast<Botones>(botones) : Botones::OKOnly;
        const int icono = codigo & 0x70;
        e.icono = icono >= 16 && icono <= 64 && icono % 16 == 0 ? static_cast<Icono>(icono)
                                                                : Icono::Ninguno;
        const int boton = (codigo >> 8) & 0x03;
        e.porDefecto = boton <= 2 ? boton + 1 : 1;
        return e;
    }
    friend constexpr bool operator==(const Estilo&, const Estilo&) = default;
};

// A read-only table shown under a message box's text: a caption above it and its
// rows (the model is only read, and only while the box is shown).
struct Tabla {
    QString leyenda;
    const QAbstractItemModel* modelo = nullptr;
};

// The style of the shared error dialog when the caller names none.
inline constexpr Estilo kEstiloError{Botones::AbortRetryIgnore, Icono::Critical};

class DialogoOperador {
public:
    virtual ~DialogoOperador() = default;
    // Shows a message box; returns the button pressed.
    virtual Respuesta MsgBox(const QString& texto, Estilo estilo = {},
                             const QString& titulo = {}) = 0;
    // A message box with a table under its text, for a question whose answer the
    // operator must see whole first. A service that cannot show a table shows the
    // text alone.
    virtual Respuesta MsgBoxConTabla(const QString& texto, const Tabla& tabla, Estilo estilo,
                                     const QString& titulo) {
        (void)tabla;
        return MsgBox(texto, estilo, titulo);
    }
    // Asks for a text; nothing when the operator cancels.
    virtual std::optional<QString> InputBox(const QString& pregunta, const QString& titulo,
                                            const QString& inicial = {}) = 0;
    // Asks for a file to open; nothing when the operator cancels.
    virtual std::optional<QString> EligeArchivo(const QString& titulo, const QString& filtro) = 0;
    // Asks where to save a file, offering `nombre`; nothing when the operator cancels.
    // A name typed without an extension of the filter gets the chosen one's.
    virtual std::optional<QString> EligeArchivoGuardar(const QString& titulo, const QString& filtro,
                                                       const QString& nombre) = 0;
    // Asks for a date on a calendar; nothing when the operator cancels.
    virtual std::optional<QDate> EligeFecha(const QDate& inicial) = 0;
};

// An operator who is not at the keyboard: no text is typed, no file or date chosen.
// What a message box gets is each such service's own choice.
class DialogoDesatendido : public DialogoOperador {
public:
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

} // namespace plataforma
