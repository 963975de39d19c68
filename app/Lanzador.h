#pragma once
// Starting another program of the suite, typically a table's maintenance program,
// with the current connection and user on its command line.

#include <QString>

class Aplicacion;

// The program to start and its one argument, as the suite's programs read it.
struct LineaPrograma {
    QString programa;
    QString argumento;
};

// The command line for the program key `Programa` ("SHELL:NAME", six characters of
// prefix and a full path, or a bare name). `Parametro` keeps only what follows its
// first blank. Paths take "\" or "/".
LineaPrograma ArmaLineaPrograma(Aplicacion& app, const QString& Programa, QString& Parametro);

// Starts that program without waiting for it. `IdProceso` receives its process id,
// 0 when it did not start (the operator is told).
void MenuExes(Aplicacion& app, QString& Programa, QString& Parametro, qint32& IdProceso);
