#pragma once
// The suite's utility library: text, number and code helpers, the INI reader and
// the machine's environment. Window helpers live in platform/gui (Formularios,
// Grillas) since this library is Qt Core only; the report engine is report/.

#include "platform/ArchivoIni.h"
#include "platform/Currency.h"
#include "platform/DialogoOperador.h"
#include "platform/ado/Falla.h"

#include <QLocale>
#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>

class Utilidades {
public:
    explicit Utilidades(plataforma::DialogoOperador& dialogo) : dialogo_(dialogo) {}

    // At most `ancho` characters.
    static QString Recorta(const QString& texto, int ancho);
    // The locale numbers are typed in: the system's, or Spanish (Argentina) when the
    // system gives the neutral C locale.
    static QLocale LocaleOperador();
    static QLocale LocaleOperador(const QLocale& sistema);
    // The number the text holds, read in the operator's locale (see Utilidades.cpp
    // for the rule); 0 for a text that holds no number. A number beyond Currency's
    // range raises error 6.
    static Currency ANumero(const QString& texto);
    static Currency ANumero(const QString& texto, const QLocale& local);
    static Currency ANumero(const QVariant& valor);
    // The number the text holds in the operator's locale; nothing when it holds none
    // or one too large for money.
    static std::optional<Currency> NumeroEn(const QString& texto);
    // Whether ANumero finds a number in the text (an empty text holds none).
    static bool EsNumerico(const QString& texto);
    static bool EsNumerico(const QString& texto, const QLocale& local);
    static qint32 AEntero(const QString& texto);
    // The value, or an empty text for a null.
    static QVariant SinNulo(const QVariant& valor);
    static int CuentaPalabras(const QString& texto);
    static QString QuitaCaracteres(const QString& texto, const QString& a, const QString& b = {},
                                   const QString& c = {});
    static QString ReemplazaTexto(const QString& texto, const QString& busca,
                                  const QString& reemplazo);
    // Replaces `busca` only where it stands as a whole word (a name), ignoring case.
    static QString ReemplazaPalabra(const QString& texto, const QString& busca,
                                    const QString& reemplazo);
    // Right-aligned, padded with blanks to `ancho` (25 for article ids, 4 for rubros);
    // a longer code is kept whole, a width of 0 or less only trims.
    static QString AjustaCodigo(const QString& codigo, int ancho = 25);
    // Reversible scrambling of the INI file's user and password.
    static QString Codifica(const QString& texto);
    static QString Decodifica(const QString& texto);
    // The folder ending in the platform's separator.
    static QString RutaConBarra(const QString& carpeta);

    // A date the operator picks on a calendar, as dd/mm/yyyy; empty when cancelled.
    QString EligeFecha();
    // Shows the failure and returns the answer: Retry, Ignore, or Abort to leave.
    plataforma::Respuesta InformaError(const ado::Falla& error, const QString& rutina);
    // Window preparation hooks of the suite's frame; nothing is read back.
    void PreparaVentana(QObject* ventana, int opcion);
    void Restablece(int opcion);

private:
    plataforma::DialogoOperador& dialogo_;
};

class Entorno {
public:
    static QString NombreMaquina();
    static QString NombreUsuario();
    // The folder the suite keeps shared files in when no other is given.
    static QString CarpetaSistema();
};

// The file-choice dialog of the library, over the operator-dialog service.
class DialogoArchivo {
public:
    explicit DialogoArchivo(plataforma::DialogoOperador& dialogo) : dialogo_(dialogo) {}
    void TituloDialogo(const QString& titulo) { titulo_ = titulo; }
    // "Description|*.ext" as the suite writes filters.
    void FiltroDialogo(const QString& filtro) { filtro_ = filtro; }
    void AbrirDialogo();
    QString ArchivoElegido() const { return elegido_; }
    bool Cancelado() const { return cancelado_; }

private:
    plataforma::DialogoOperador& dialogo_;
    QString titulo_;
    QString filtro_;
    QString elegido_;
    bool cancelado_ = false;
};
