#pragma once
// The connection dialog's commands that reach outside it, without widgets:
// "Registrar" (test the typed connection and add it to BASES.TXT), "Crear Acceso
// Directo" (the program on the operator's desktop) and running a command line.

#include "access/ModeloAcceso.h"

#include <QStringList>

#include <functional>

class Aplicacion;

class RegistroConexion {
public:
    explicit RegistroConexion(Aplicacion& app);

    // The program's folder, with its separator (ODBC.exe is looked for there).
    QString carpetaPrograma;
    // The desktop folder and the program the shortcut starts.
    QString carpetaEscritorio;
    QString programa;
    // Starts a program without waiting for it; false when it could not start.
    std::function<bool(const QString& programa, const QStringList& argumentos)> iniciaDesacoplado;

    // "Registrar". The fields come back trimmed; the list is refilled. True when a
    // line was added to BASES.TXT.
    bool Registrar(ModeloAcceso& modelo);
    // "Crear Acceso Directo": Relojero.desktop on the desktop, replaced when there.
    // Tells the operator when it cannot be written; true when written.
    bool CreaAccesoDirecto();
    // Runs the command line and waits for its end, letting events through. False,
    // with ErrDevuelto set, when it could not be started.
    static bool EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto);
    // Whether a connection with these values can be opened (on the shared object's
    // connection, which is left closed).
    bool ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
                           const QString& Password, const QString& Proveedor);
    // The text of the shortcut file.
    static QByteArray TextoAccesoDirecto(const QString& programa);

private:
    bool registraLocal(ModeloAcceso& modelo, const QString& clave);
    void avisa(const QString& texto, const QString& titulo);

    Aplicacion& app_;
};
