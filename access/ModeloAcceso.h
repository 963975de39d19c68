#pragma once
// What the connection dialog edits, without widgets: the typed fields, the list of
// registered connections, and how both turn into the parameters of a connection.

#include "access/ArchivoBases.h"

#include <QStringList>

enum class PlataformaDB { SqlServer = 0, Oracle = 1, Sqlite = 2 };

struct CamposAcceso {
    QString usuario;
    QString clave;
    QString base;     // for the local file, its path
    QString servidor; // host and instance, or "host:port"
    QString puerto = QStringLiteral("1433");
    PlataformaDB plataforma = PlataformaDB::SqlServer;
};

class ModeloAcceso {
public:
    explicit ModeloAcceso(ArchivoBases archivo) : archivo_(std::move(archivo)) {}

    CamposAcceso campos;
    // The keys shown in lstBases.
    QStringList lista;

    const ArchivoBases& archivo() const { return archivo_; }

    // The list from the file: every line's key that is not blank, in file order.
    // Raises ado::Falla when the file cannot be read.
    void llenarlist();
    // Fills the fields from a registered connection (its server's ":port" becomes
    // the port; the port found last stays when a later one has none). User and
    // password are emptied. Raises ado::Falla when the file cannot be read.
    void AsignarDatosBase(const QString& entrada);

    // The current parameters of the connection, as the dialog opens on them: the
    // local file for the server "sqlite", Oracle for a "#", "host,port" split.
    void Carga(const QString& servidor, const QString& base, const QString& usuario,
               const QString& clave);
    // The parameters to connect with: a port other than 1433 goes into the server
    // text as "host,port"; `plataforma` is 1 for Oracle, else 0.
    void Devuelve(QString& servidor, QString& base, QString& usuario, QString& clave,
                  int& plataforma) const;

    // The registration key of the typed data.
    QString Clave() const;
    // The server to connect with, and the one written in BASES.TXT ("host:port").
    QString ServidorConexion() const;
    QString ServidorRegistrado() const;

private:
    QString host() const;
    QString puertoElegido() const;

    ArchivoBases archivo_;
    QString puertoGuardado_; // the last port a registered connection gave
};
