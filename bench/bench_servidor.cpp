// A run's 600 lines saved over a socket, as the sheet saves them: the old lines
// deleted and the new ones inserted in one transaction, one line a statement
// against as many a statement as the connection takes. Statements and
// milliseconds against the throwaway server of scripts/servidor-prueba.sh:
//
//   bash scripts/servidor-prueba.sh build/bench/bench_servidor

#include "DialogoMudo.h"
#include "db/DB_Dll.h"
#include "platform/Currency.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLineas = 600;
constexpr int kColumnas = 13;
constexpr int kVueltas = 7;

QString insercion(int filas) {
    const QString marcas = u'(' + QStringList(kColumnas, QStringLiteral("?")).join(u',') + u')';
    return QStringLiteral("INSERT INTO MV_REPARTODET (IdReparto,IdArticulo,Descripcion,CantidadUD,"
                          "Cantidad,REC_CANTIDADUD,REC_CANTIDAD,DEV_CANTIDADUD,DEV_CANTIDAD,Costo,"
                          "Importe_S_Iva,Impuestos,aliciva) VALUES ") +
           QStringList(filas, marcas).join(u',');
}

// One save; returns the statements sent.
int graba(DB_Dll& db, int porSentencia) {
    int sentencias = 0;
    TransaccionDB tx(db);
    db.Ejecuta(QStringLiteral("DELETE FROM MV_REPARTODET WHERE IdReparto = 1"));
    ++sentencias;
    for (int desde = 0; desde < kLineas; desde += porSentencia) {
        const int filas = std::min(porSentencia, kLineas - desde);
        QVariantList valores;
        for (int f = desde; f < desde + filas; ++f) {
            valores << 1 << QStringLiteral("%1").arg(f, 25) << QStringLiteral("Articulo %1").arg(f);
            for (int c = 0; c < 9; ++c)
                valores << QVariant::fromValue(Currency::DesdeEscalado(105000 + c));
            valores << 21.0;
        }
        db.Ejecuta(insercion(filas), valores);
        ++sentencias;
    }
    tx.Confirma();
    return sentencias;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString puerto = qEnvironmentVariable("HOJARUTA_PG_PUERTO");
    if (puerto.isEmpty()) {
        std::fprintf(stderr, "run it through scripts/servidor-prueba.sh\n");
        return 1;
    }
    DialogoMudo dialogo;
    DB_Dll db(dialogo);
    db.OpenServerADODB(false, ado::adUseClient,
                       QStringLiteral("DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=%1;"
                                      "DATABASE=hojaruta;UID=hojaruta;")
                           .arg(puerto),
                       false, false);
    if (!db.gOpenFlag)
        return 1;
    db.Ejecuta(QStringLiteral(
        "CREATE TABLE MV_REPARTODET (IdReparto INT NOT NULL, IdArticulo VARCHAR(25) NOT NULL, "
        "Descripcion VARCHAR(150), CantidadUD NUMERIC(18,4), Cantidad NUMERIC(18,4), "
        "REC_CANTIDADUD NUMERIC(18,4), REC_CANTIDAD NUMERIC(18,4), DEV_CANTIDADUD NUMERIC(18,4), "
        "DEV_CANTIDAD NUMERIC(18,4), Costo NUMERIC(19,4), Importe_S_Iva NUMERIC(19,4), "
        "Impuestos NUMERIC(19,4), aliciva NUMERIC(6,2), PRIMARY KEY (IdReparto, IdArticulo))"));
    std::printf("%d lines over a loopback socket (median of %d saves)\n", kLineas, kVueltas);
    for (const int porSentencia : {1, db.FilasPorInsercion(kColumnas)}) {
        std::vector<qint64> ms;
        int sentencias = 0;
        for (int v = 0; v < kVueltas; ++v) {
            QElapsedTimer reloj;
            reloj.start();
            sentencias = graba(db, porSentencia);
            ms.push_back(reloj.elapsed());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("  %4d lines a statement: %4d statements, %5lld ms\n", porSentencia, sentencias,
                    static_cast<long long>(ms[ms.size() / 2]));
    }
    // What the socket alone costs: a statement that asks the server nothing.
    QElapsedTimer reloj;
    reloj.start();
    for (int i = 0; i < kLineas; ++i)
        db.Ejecuta(QStringLiteral("UPDATE MV_REPARTODET SET aliciva = 21 WHERE 1 = 0"));
    std::printf("  %d empty round trips:              %5lld ms\n", kLineas,
                static_cast<long long>(reloj.elapsed()));
    return dialogo.cajas == 0 ? 0 : 1;
}
