#pragma once
// The sheet as the clerk left it when the session ended before it was saved, kept
// in a file of the user's own until the next start on the same database. No
// widgets: the window decides when to keep it and when to offer it back.

#include "sheet/ModeloGrilla.h"

#include <QString>
#include <QStringList>

#include <optional>

class Reparto;

struct HojaRecuperada {
    QString servidor; // the database it belongs to; never its password
    QString base;
    QString numero;        // the confirmed run number, as confirmed
    bool existe = false;   // an existing run, otherwise a new one
    QStringList campos;    // every header field's text, in `Reparto::Campos()` order
    QStringList etiquetas; // the descriptions beside the five accounts
    ModeloGrilla::Textos lineas;
};

class Recuperacion {
public:
    // The file of the database `servidor` + `base` inside `carpeta`.
    Recuperacion(const QString& carpeta, const QString& servidor, const QString& base);

    const QString& Ruta() const { return ruta_; }
    bool Existe() const;
    // Written whole or not at all; false when it could not be.
    bool Guarda(const Reparto& reparto) const;
    // Nothing when the file is missing, unreadable or of another database.
    std::optional<HojaRecuperada> Lee() const;
    void Borra() const;

    HojaRecuperada Toma(const Reparto& reparto) const;
    // Puts the header fields (all but the run number, which the sheet has just
    // opened), the account descriptions and the lines back into the run.
    static void Devuelve(const HojaRecuperada& hoja, Reparto& reparto);

private:
    QString servidor_;
    QString base_;
    QString ruta_;
};
