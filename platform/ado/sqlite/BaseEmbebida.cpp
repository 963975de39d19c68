#include "platform/ado/sqlite/BaseEmbebida.h"

#include "ado/sqlite/ErroresSqlite.h"
#include "ado/sqlite/FuncionesTSql.h"
#include "ado/sqlite/TipoDeclarado.h"
#include "platform/ado/Valores.h"

#include <QFile>
#include <QStringList>

#include <sqlite3.h>

namespace ado::sqlite {

namespace {

using ado::detalle::FallaConexion;

struct Columna {
    QString nombre;
    QByteArray base; // declared type without its length
    int largo = 0;
    bool claveEntera = false; // the rowid alias, an integer by construction
};

// The stored form of a date value written as d/m/yyyy, d/m/yy, yyyy-mm-dd or
// yyyymmdd (with an optional time): "yyyy-mm-dd" at midnight, "yyyy-mm-dd hh:mm:ss"
// otherwise; 'X' for a date that cannot exist (31/02/2024); NULL for text that is
// no date at all. Plain SQL with built-in functions only, so that the stock sqlite3
// tool can still write to the file. date() alone keeps "2024-02-31" as it is; the
// "+0 days" modifier makes it roll over, which tells the impossible date.
QString fechaNormalizada(const QString& x) {
    const QString dmy = QStringLiteral(
        "(SELECT CASE "
        "WHEN (d GLOB '[0-9]' OR d GLOB '[0-9][0-9]') AND (m GLOB '[0-9]' OR m GLOB '[0-9][0-9]') "
        "AND (y GLOB '[0-9][0-9][0-9][0-9]' OR y GLOB '[0-9][0-9][0-9][0-9] *') "
        "THEN printf('%04d-%02d-%02d', substr(y,1,4), m, d) || substr(y,5) "
        "WHEN (d GLOB '[0-9]' OR d GLOB '[0-9][0-9]') AND (m GLOB '[0-9]' OR m GLOB '[0-9][0-9]') "
        "AND (y GLOB '[0-9][0-9]' OR y GLOB '[0-9][0-9] *') "
        "THEN printf('%04d-%02d-%02d', CASE WHEN substr(y,1,2) < '50' THEN 2000 ELSE 1900 END "
        "+ substr(y,1,2), m, d) || substr(y,3) END "
        "FROM (SELECT substr(s,1,p-1) AS d, substr(r,1,instr(r,'/')-1) AS m, "
        "substr(r,instr(r,'/')+1) AS y "
        "FROM (SELECT s, p, substr(s,p+1) AS r FROM (SELECT s, instr(s,'/') AS p)) WHERE p > 0))");
    const QString iso =
        QStringLiteral("CASE WHEN typeof(s) = 'integer' AND s BETWEEN 10000101 AND 99991231 "
                       "THEN printf('%04d-%02d-%02d', s / 10000, s / 100 % 100, s % 100) "
                       "WHEN typeof(s) <> 'text' THEN NULL "
                       "WHEN s GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]*' THEN s "
                       "ELSE %1 END")
            .arg(dmy);
    return QStringLiteral(
               "(SELECT CASE WHEN v IS NULL THEN NULL "
               "WHEN date(v, '+0 days') IS NULL OR date(v, '+0 days') <> substr(v,1,10) THEN 'X' "
               "WHEN time(v) = '00:00:00' THEN date(v) ELSE datetime(v) END "
               "FROM (SELECT %1 AS v FROM (SELECT %2 AS s)))")
        .arg(iso, x);
}

QList<Columna> columnasDe(sqlite3* db, const QString& tabla) {
    QList<Columna> r;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT name, type, pk FROM pragma_table_info(?1)", -1, &st, nullptr);
    const QByteArray t = tabla.toUtf8();
    sqlite3_bind_text(st, 1, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        Columna c;
        c.nombre = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        const auto tipo =
            LeeTipoDeclarado(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        c.base = tipo.base;
        c.largo = tipo.largo;
        c.claveEntera = sqlite3_column_int(st, 2) > 0 && c.base == "INTEGER";
        r.append(c);
    }
    sqlite3_finalize(st);
    return r;
}

QStringList tablasDe(sqlite3* db) {
    QStringList r;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT name FROM sqlite_master WHERE type = 'table' "
                       "AND name NOT LIKE 'sqlite%' ORDER BY name",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        r << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return r;
}

bool esTexto(const QByteArray& b) {
    return b == "VARCHAR" || b == "NVARCHAR" || b == "CHAR" || b == "NCHAR";
}
bool esEntero(const QByteArray& b) {
    return b == "INT" || b == "INTEGER" || b == "SMALLINT" || b == "TINYINT" || b == "BIGINT" ||
           b == "BIT";
}
bool esDecimal(const QByteArray& b) {
    return b == "NUMERIC" || b == "DECIMAL" || b == "MONEY" || b == "SMALLMONEY" || b == "FLOAT" ||
           b == "REAL";
}
bool esFecha(const QByteArray& b) {
    return b == "DATETIME" || b == "SMALLDATETIME" || b == "DATE";
}

// One BEFORE trigger per table, event and kind of check, so each raises the number
// SQL Server gives for that kind.
QString validacion(const QString& tabla, const QString& evento, const QString& sufijo,
                   const QStringList& condiciones, const QString& mensaje) {
    if (condiciones.isEmpty())
        return {};
    return QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 WHEN %4 BEGIN SELECT RAISE(ABORT, "
                          "'%5'); END;\n")
        .arg(CitaIdentificador(QStringLiteral("hr_%1_%2_%3")
                                   .arg(tabla, evento.section(u' ', 0, 0).toLower(), sufijo)),
             evento, CitaIdentificador(tabla), condiciones.join(QStringLiteral(" OR ")), mensaje);
}

QString triggersDe(sqlite3* db, const QString& tabla) {
    QStringList largos, enteros, decimales, sinForma, imposibles, noNormales, normaliza;
    QStringList fechas;
    for (const Columna& c : columnasDe(db, tabla)) {
        const QString nuevo = QStringLiteral("NEW.") + CitaIdentificador(c.nombre);
        if (esTexto(c.base) && c.largo > 0)
            largos << QStringLiteral("length(%1) > %2").arg(nuevo).arg(c.largo);
        else if (esEntero(c.base) && !c.claveEntera)
            enteros << QStringLiteral("typeof(%1) IN ('text','blob')").arg(nuevo);
        else if (esDecimal(c.base))
            decimales << QStringLiteral("typeof(%1) IN ('text','blob')").arg(nuevo);
        else if (esFecha(c.base)) {
            const QString norma = fechaNormalizada(nuevo);
            sinForma << QStringLiteral("(%1 IS NOT NULL AND %2 IS NULL)").arg(nuevo, norma);
            imposibles << QStringLiteral("%1 = 'X'").arg(norma);
            noNormales << QStringLiteral("%1 IS NOT %2").arg(nuevo, norma);
            normaliza << QStringLiteral("%1 = %2").arg(
                CitaIdentificador(c.nombre), fechaNormalizada(CitaIdentificador(c.nombre)));
            fechas << CitaIdentificador(c.nombre);
        }
    }
    QString sql;
    for (const QString& evento : {QStringLiteral("INSERT"), QStringLiteral("UPDATE")}) {
        sql += validacion(tabla, evento, QStringLiteral("largo"), largos,
                          QStringLiteral("8152|22001|String or binary data would be truncated."));
        sql += validacion(tabla, evento, QStringLiteral("entero"), enteros,
                          QStringLiteral("245|22018|Conversion failed when converting the "
                                         "nvarchar value to data type int."));
        sql += validacion(tabla, evento, QStringLiteral("decimal"), decimales,
                          QStringLiteral("8114|22018|Error converting data type nvarchar to "
                                         "numeric."));
        sql += validacion(tabla, evento, QStringLiteral("fecha"), sinForma,
                          QStringLiteral("241|22007|Conversion failed when converting date "
                                         "and/or time from character string."));
        sql += validacion(tabla, evento, QStringLiteral("fechaimposible"), imposibles,
                          QStringLiteral("242|22008|The conversion of a nvarchar data type to a "
                                         "datetime data type resulted in an out-of-range "
                                         "value."));
        if (!noNormales.isEmpty()) {
            // Dates arrive in the operator's d/m/yyyy too; they are kept as ISO text.
            sql += QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3 WHEN %4 BEGIN UPDATE %3 SET %5 "
                                  "WHERE rowid = NEW.rowid; END;\n")
                       .arg(CitaIdentificador(
                                QStringLiteral("hr_%1_%2_fechaiso").arg(tabla, evento.toLower())),
                            evento == QLatin1String("UPDATE")
                                ? QStringLiteral("UPDATE OF ") + fechas.join(u',')
                                : evento,
                            CitaIdentificador(tabla), noNormales.join(QStringLiteral(" OR ")),
                            normaliza.join(u','));
        }
    }
    return sql;
}

void ejecuta(sqlite3* db, const QString& sql, const QString& que) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString mensaje = QString::fromUtf8(error ? error : "failure");
        sqlite3_free(error);
        throw FallaConexion(QStringLiteral("%1: %2").arg(que, mensaje));
    }
}

} // namespace

void CreaBaseEmbebida(const QString& ruta, const QString& esquema, const QString& datos) {
    if (QFile::exists(ruta))
        throw FallaConexion(QStringLiteral("The database file \"%1\" already exists.").arg(ruta));
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(ruta.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString mensaje = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        throw FallaConexion(
            QStringLiteral("Cannot create database file \"%1\": %2").arg(ruta, mensaje));
    }
    RegistraFuncionesTSql(db);
    try {
        ejecuta(db, QStringLiteral("PRAGMA foreign_keys = ON; BEGIN;"), ruta);
        ejecuta(db, esquema, QStringLiteral("schema"));
        QString triggers;
        for (const QString& tabla : tablasDe(db))
            triggers += triggersDe(db, tabla);
        ejecuta(db, triggers, QStringLiteral("validation triggers"));
        if (!datos.isEmpty())
            ejecuta(db, datos, QStringLiteral("data"));
        ejecuta(db, QStringLiteral("COMMIT;"), ruta);
    } catch (...) {
        sqlite3_close(db);
        QFile::remove(ruta);
        throw;
    }
    sqlite3_close(db);
}

} // namespace ado::sqlite
