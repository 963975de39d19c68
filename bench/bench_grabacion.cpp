// Saving a run of 100, 1,000 and 5,000 lines in its one transaction: statements
// sent and time taken (target: 1,000 lines well under 150 ms), beside plain
// sqlite3 doing the same delete and inserts on the same schema, its validation
// triggers included, with one prepared statement (target: within 4 times that).

#include "DialogoMudo.h"
#include "EnBaseEmbebida.h"
#include "app/Aplicacion.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

// Run 1 with one saved line of each of n articles.
QString datos(int n) {
    QStringList s;
    s << QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('DATOS','PIVA','21');")
      << QStringLiteral(
             "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase) VALUES (1,'2024-03-01',2);");
    for (int i = 0; i < n; ++i) {
        const QString id =
            Utilidades::AjustaCodigo(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')), 25);
        s << QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio1, Precio2, "
                            "TasaIva, Impuestos) VALUES ('%1','Articulo %2',10,20,10.5,1);")
                 .arg(id)
                 .arg(i)
          << QStringLiteral("INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, "
                            "Cantidad, REC_CANTIDADUD, REC_CANTIDAD) VALUES (1,'%1',10,10.5,2,2);")
                 .arg(id);
    }
    return s.join(u'\n');
}

int lineas(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) : 0;
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
        ids << Utilidades::AjustaCodigo(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')), 25)
                   .toUtf8();
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
    const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
    if (!ok)
        qFatal("the reference save failed: %s", sqlite3_errmsg(db));
    sqlite3_close(db);
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    std::printf("%-7s %-22s %10s %10s\n", "lines", "operation", "statements", "ms");
    for (int n : {100, 1000, 5000}) {
        QTemporaryDir dir;
        const QString traza = dir.filePath(QStringLiteral("traza.txt"));
        qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
        const QString base = dir.filePath(QStringLiteral("hoja.db"));
        ado::sqlite::CreaBaseEmbebida(base, recursos::EsquemaSql(), datos(n));
        DialogoMudo dialogo;
        Aplicacion app(dialogo);
        EnBaseEmbebida(app, dir.path(), base);
        FrmHojaRuta ventana(app);
        if (!ventana.Form_Load())
            return 1;
        ventana.show();
        QLineEdit* reparto = ventana.Campo(QStringLiteral("Reparto"));
        reparto->setText(QStringLiteral("1"));
        reparto->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(reparto, &enter);

        const int antes = lineas(traza);
        QElapsedTimer reloj;
        reloj.start();
        const bool grabado = ventana.GrabaReparto();
        const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
        std::printf("%-7d %-22s %10d %10.1f\n", n, "save run", lineas(traza) - antes, ms);
        const QString referencia = dir.filePath(QStringLiteral("referencia.db"));
        ado::sqlite::CreaBaseEmbebida(referencia, recursos::EsquemaSql(), datos(n));
        const double msSqlite = grabaConSqlite(referencia, n);
        std::printf("%-7d %-22s %10d %10.1f   (%.1fx)\n", n, "plain sqlite3 save", n + 3, msSqlite,
                    ms / msSqlite);
        if (!grabado || ventana.Grilla().filas() != n || dialogo.cajas != 0) {
            std::printf("unexpected: saved %d, %d lines, %d boxes\n", grabado,
                        ventana.Grilla().filas(), dialogo.cajas);
            return 1;
        }
        qputenv("HOJARUTA_TRAZA", QByteArray());
        ventana.close();
    }
    return 0;
}
