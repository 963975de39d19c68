// The database layer against plain sqlite3 on the same schema database:
//  - 10,000 small SELECTs, each a different SQL Server text (rewritten, then run);
//  - 10,000 rows added through an updatable recordset inside one transaction;
//  - the same through plain sqlite3, as the reference.
// Prints times and the ratio to the reference. Not a test: nothing fails on speed.

#include "platform/ado/Ado.h"
#include "resources/Recursos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>

namespace {

constexpr int kVeces = 10000;

QString cadenaDe(const QString& ruta) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=;Pwd=;").arg(ruta);
}

QString articulo(int i) {
    return QString::number(1000 + i).rightJustified(25, u' ');
}

// Articles to look up, written once through plain SQL.
void siembra(const QString& ruta) {
    ado::Connection cn;
    cn.Open(cadenaDe(ruta));
    cn.BeginTrans();
    for (int i = 0; i < 500; ++i)
        cn.Execute(QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, IdRubro, "
                                  "Precio1) VALUES ('%1', 'Articulo %2', '   1', %3)")
                       .arg(articulo(i))
                       .arg(i)
                       .arg(100 + i));
    cn.CommitTrans();
}

double selectsCapa(const QString& ruta) {
    ado::Connection cn;
    cn.Open(cadenaDe(ruta));
    ado::Recordset rs;
    double suma = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kVeces; ++i) {
        rs.Open(QStringLiteral("SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE "
                               "LTRIM(RTRIM(IdArticulo)) ='%1'")
                    .arg(1000 + i % 500),
                cn);
        if (!rs.Eof())
            suma += rs.Fields(QStringLiteral("Precio1")).Value().toDouble();
        rs.Close();
    }
    const double ms = t.nsecsElapsed() / 1e6;
    if (suma <= 0)
        qFatal("the lookups found nothing");
    return ms;
}

// The same lookups in plain sqlite3: one prepared statement, rebound each time.
double selectsSqlite(const QString& ruta, bool preparaCadaVez) {
    sqlite3* db = nullptr;
    sqlite3_open(ruta.toUtf8().constData(), &db);
    const char* sql = "SELECT * FROM V_MA_ARTICULOS WHERE ltrim(rtrim(IdArticulo)) = ?1 LIMIT 1";
    sqlite3_stmt* st = nullptr;
    double suma = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kVeces; ++i) {
        const QByteArray clave = QByteArray::number(1000 + i % 500);
        if (preparaCadaVez || !st) {
            if (st)
                sqlite3_finalize(st);
            const QByteArray texto =
                "SELECT * FROM V_MA_ARTICULOS WHERE ltrim(rtrim(IdArticulo)) = '" + clave +
                "' LIMIT 1";
            sqlite3_prepare_v2(db, preparaCadaVez ? texto.constData() : sql, -1, &st, nullptr);
        }
        if (!preparaCadaVez)
            sqlite3_bind_text(st, 1, clave.constData(), static_cast<int>(clave.size()),
                              SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW) {
            // Read every column, as the layer does.
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                sqlite3_column_text(st, c);
                if (qstrcmp(sqlite3_column_name(st, c), "Precio1") == 0)
                    suma += sqlite3_column_double(st, c);
            }
        }
        sqlite3_reset(st);
    }
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (suma <= 0)
        qFatal("the plain lookups found nothing");
    return ms;
}

double insercionesCapa(const QString& ruta) {
    ado::Connection cn;
    cn.Open(cadenaDe(ruta));
    ado::Recordset rs;
    QElapsedTimer t;
    t.start();
    cn.BeginTrans();
    rs.Open(QStringLiteral("SELECT top 1 * FROM V_MV_REPARTODET WHERE IDREPARTO = 1"), cn,
            ado::adOpenDynamic, ado::adLockOptimistic);
    for (int i = 0; i < kVeces; ++i) {
        rs.AddNew();
        rs.Fields(QStringLiteral("IdReparto")) = 1;
        rs.Fields(QStringLiteral("IdArticulo")) = articulo(i);
        rs.Fields(QStringLiteral("Descripcion")) = QStringLiteral("Articulo %1").arg(i);
        rs.Fields(QStringLiteral("CantidadUD")) = QStringLiteral("3");
        rs.Fields(QStringLiteral("Cantidad")) = QStringLiteral("12,5");
        rs.Fields(QStringLiteral("Costo")) = 100.25;
        rs.Fields(QStringLiteral("Importe_S_Iva")) = 150.5;
        rs.Fields(QStringLiteral("aliciva")) = 21;
        rs.Update();
    }
    rs.Close();
    cn.CommitTrans();
    return t.nsecsElapsed() / 1e6;
}

double insercionesSqlite(const QString& ruta) {
    sqlite3* db = nullptr;
    sqlite3_open(ruta.toUtf8().constData(), &db);
    QElapsedTimer t;
    t.start();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, Descripcion, CantidadUD, "
                       "Cantidad, Costo, Importe_S_Iva, aliciva) VALUES (?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (int i = 0; i < kVeces; ++i) {
        const QByteArray id = articulo(i).toUtf8();
        const QByteArray desc = QStringLiteral("Articulo %1").arg(i).toUtf8();
        sqlite3_bind_int(st, 1, 2);
        sqlite3_bind_text(st, 2, id.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, desc.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 4, 3);
        sqlite3_bind_double(st, 5, 12.5);
        sqlite3_bind_double(st, 6, 100.25);
        sqlite3_bind_double(st, 7, 150.5);
        sqlite3_bind_int(st, 8, 21);
        if (sqlite3_step(st) != SQLITE_DONE)
            qFatal("plain insert failed: %s", sqlite3_errmsg(db));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("bench.db"));
    recursos::CreaBaseVacia(ruta);
    siembra(ruta);

    const auto linea = [&](const char* que, double capa, double referencia) {
        out << QStringLiteral("%1  layer %2 ms  plain sqlite3 %3 ms  ratio %4\n")
                   .arg(QString::fromLatin1(que), -44)
                   .arg(capa, 8, 'f', 1)
                   .arg(referencia, 8, 'f', 1)
                   .arg(capa / referencia, 5, 'f', 2);
    };
    const double capaSel = selectsCapa(ruta);
    linea("10,000 SELECTs vs one prepared statement", capaSel, selectsSqlite(ruta, false));
    linea("10,000 SELECTs vs prepare per text", capaSel, selectsSqlite(ruta, true));
    linea("10,000 recordset inserts in a transaction", insercionesCapa(ruta),
          insercionesSqlite(ruta));
    return 0;
}
