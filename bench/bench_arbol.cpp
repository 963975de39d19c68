// Building the automatic tree of a lookup: 2,000 and 20,000 codes nested by
// prefix (top codes with twenty children of nine children each), each node's
// parent found through the keys.

#include "lookup/ModeloArbol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>

namespace {

QStringList codigos(int cuantos) {
    QStringList c;
    for (int a = 0; c.size() < cuantos; ++a) {
        const QString uno = QStringLiteral("%1").arg(a, 3, 10, QLatin1Char('0'));
        c << uno;
        for (int b = 0; b < 20 && c.size() < cuantos; ++b) {
            const QString dos = uno + QStringLiteral("%1").arg(b, 2, 10, QLatin1Char('0'));
            c << dos;
            for (int d = 0; d < 9 && c.size() < cuantos; ++d)
                c << dos + QString::number(d);
        }
    }
    return c;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    for (const int cuantos : {2000, 20000}) {
        const QStringList c = codigos(cuantos);
        double mejor = 1e9;
        for (int vuelta = 0; vuelta < 6; ++vuelta) {
            QElapsedTimer reloj;
            reloj.start();
            ModeloArbol m;
            for (const QString& codigo : c)
                m.AgregaAutomatico(codigo, QStringLiteral("Descripcion ") + codigo);
            mejor = std::min(mejor, static_cast<double>(reloj.nsecsElapsed()) / 1e6);
            if (m.Cantidad() != cuantos + 1)
                std::printf("unexpected node count %d\n", m.Cantidad());
        }
        std::printf("automatic tree, %5d nodes: %8.2f ms (best of six runs)\n", cuantos, mejor);
    }
    return 0;
}
