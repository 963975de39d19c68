// Saving a run of 100, 1,000 and 5,000 lines in its one transaction: statements
// sent and time taken (target: 1,000 lines well under 150 ms), beside plain
// sqlite3 doing the same delete and inserts on the same schema, its validation
// triggers included, with one prepared statement (target: within 4 times that).

#include "EnBaseEmbebida.h"
#include "Ensayo.h"
#include "sheet/ModeloGrilla.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>

namespace {

// Run 1 with one saved line of each of n articles.
QString datos(int n) {
    return DatosReparto(
        {QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('DATOS','PIVA','21');"),
         QStringLiteral(
             "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES (1,'2024-03-01',2);")},
        n, {.ivaAlterno = false, .conComprobantes = false});
}

// The reference: the lines deleted and inserted again through the same view, one
// prepared statement rebound for each line, in one transaction.
double grabaConSqlite(const QString& ruta, int n) {
    sqlite3* db = nullptr;
    if (sqlite3_open(ruta.toUtf8().constData(), &db) != SQLITE_OK)
        qFatal("the reference database did not open");
    const char* insercion =
        "INSERT INTO V_MV_REPARTODET (IdReparto,IdArticulo,Descripcion,CantidadUD,Cantidad,"
        "REC_CANTIDADUD,REC_CANTIDAD,DEV_CANTIDADUD,DEV_CANTIDAD,Costo,Importe_S_Iva,Impuestos,"
        "aliciva) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)";
    QList<QByteArray> ids, descripciones;
    for (int i = 0; i < n; ++i) {
        ids << CodigoArticulo(i).toUtf8();
        descripciones << QByteArray("P") + QByteArray::number(i) + " Articulo " +
                             QByteArray::number(i);
    }
    QElapsedTimer reloj;
    reloj.start();
    bool ok = sqlite3_exec(db, "BEGIN TRANSACTION", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "DELETE FROM V_MV_REPARTODET WHERE IdReparto = 1", nullptr, nullptr,
                           nullptr) == SQLITE_OK;
    sqlite3_stmt* st = nullptr;
    ok = ok && sqlite3_prepare_v2(db, insercion, -1, &st, nullptr) == SQLITE_OK;
    for (int i = 0; ok && i < n; ++i) {
        sqlite3_bind_int64(st, 1, 1);
        sqlite3_bind_text(st, 2, ids[i].constData(), static_cast<int>(ids[i].size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(st, 3, descripciones[i].constData(),
                          static_cast<int>(descripciones[i].size()), SQLITE_STATIC);
        const double cantidades[] = {10, 10.5, 2, 2, 12, 12.5, 0, 20, 1, 10.5};
        for (int c = 0; c < 10; ++c)
            sqlite3_bind_double(st, c + 4, cantidades[c]);
        ok = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    ok = ok && sqlite3_exec(db, "COMMIT TRANSACTION", nullptr, nullptr, nullptr) == SQLITE_OK;
    const double ms = Milisegundos(reloj);
    if (!ok)
        qFatal("the reference save failed: %s", sqlite3_errmsg(db));
    sqlite3_close(db);
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    FueraDePantalla();
    QApplication qapp(argc, argv);
    std::printf("%s\n", Columnas().c_str());
    for (int n : {100, 1000, 5000}) {
        const Ensayo ensayo(datos(n));
        HojaEnBaseEmbebida hoja(ensayo);
        if (!hoja.Abre())
            return 1;
        hoja.AbreReparto(QStringLiteral("1"));

        bool grabado = false;
        const Medida grabacion = ensayo.Mide([&] { grabado = hoja.ventana.GrabaReparto(); });
        std::printf("%s\n", Fila(n, "save run", grabacion).c_str());
        const QString referencia = ensayo.Ruta(QStringLiteral("referencia.db"));
        ado::sqlite::CreaBaseEmbebida(referencia, recursos::EsquemaSql(), datos(n));
        const double msSqlite = grabaConSqlite(referencia, n);
        std::printf("%s   (%.1fx)\n", Fila(n, "plain sqlite3 save", {n + 3, msSqlite}).c_str(),
                    grabacion.ms / msSqlite);
        if (!grabado || hoja.ventana.Grilla().filas() != n || hoja.dialogo.cajas != 0) {
            std::printf("unexpected: saved %d, %d lines, %d boxes\n", grabado,
                        hoja.ventana.Grilla().filas(), hoja.dialogo.cajas);
            return 1;
        }
        hoja.ventana.close();
    }
    return 0;
}
