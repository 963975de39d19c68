// Creates the demo databases in a folder (hojaruta.db and VX_ESTADISTICAS.db)
// when they are missing.

#include "platform/ado/Falla.h"
#include "resources/Recursos.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: hojaruta-creabase FOLDER\n";
        return 2;
    }
    if (!QDir().mkpath(args[1])) {
        err << "cannot create the folder " << args[1] << "\n";
        return 1;
    }
    try {
        const QStringList hechos = recursos::CreaBasesDemo(args[1]);
        for (const QString& f : hechos)
            out << "created " << f << "\n";
        if (hechos.isEmpty())
            out << "the demo databases in " << args[1] << " are ready\n";
    } catch (const ado::Falla& f) {
        err << f.Description << "\n";
        return 1;
    }
    return 0;
}
