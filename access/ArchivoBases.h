#pragma once
// BASES.TXT, the registered connections the suite's programs share: one line per
// connection, five fields separated by commas, Latin-1, CR LF.

#include <QList>
#include <QString>

#include <optional>

struct ConexionRegistrada {
    QString clave;      // shown in the list: "DATABASE / SERVER"
    QString base;       // the database as typed
    QString base2;      // the same again; nobody reads it back
    QString codificada; // the database, scrambled
    QString servidor;   // as typed, with any ":port"; "#" marks Oracle
};

class ArchivoBases {
public:
    explicit ArchivoBases(QString ruta) : ruta_(std::move(ruta)) {}
    const QString& ruta() const { return ruta_; }

    // The key of a connection: the database and the server without its port,
    // upper-cased, trimmed.
    static QString Clave(const QString& base, const QString& servidor);

    // Every line, in file order, padded to five fields: a short or damaged line
    // never stops the reading. A missing file has none; a file that cannot be read
    // raises ado::Falla.
    QList<ConexionRegistrada> Lee() const;
    // The first line whose key, trimmed, equals `Nombre` trimmed.
    std::optional<ConexionRegistrada> DatosBase(const QString& Nombre) const;

    // Why these fields cannot be written to the file (a comma, or a character
    // Latin-1 lacks); empty when they can.
    static QString Rechazo(const QStringList& campos);
    // Appends a line: the server followed by "#" for Oracle and "/suffix:" when
    // there is a suffix; the fourth field scrambled. Raises ado::Falla when the
    // file cannot be written or a field is refused (nothing is written then).
    void RegistraConexion(const QString& clave, const QString& base, const QString& campo3,
                          const QString& campo4, const QString& servidor, const QString& sufijo,
                          bool oracle) const;

private:
    QString ruta_;
};
