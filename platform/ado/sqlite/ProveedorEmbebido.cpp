// The embedded provider: a SQLite file that answers the program's SQL Server text
// as SQL Server would on what the program relies on.

#include "ado/sqlite/ErroresSqlite.h"
#include "ado/sqlite/FuncionesTSql.h"
#include "ado/sqlite/Parametriza.h"
#include "ado/sqlite/ReescritorTSql.h"
#include "ado/sqlite/TipoDeclarado.h"
#include "platform/ado/EsperaBloqueo.h"
#include "platform/ado/Proveedor.h"
#include "platform/ado/Valores.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

namespace ado::detalle {

using ado::sqlite::Parametriza;

namespace {

// Declared type of a column as an ADO type code and defined size.
std::pair<int, int> tipoAdo(const char* declarado) {
    if (!declarado || !*declarado)
        return {adEmpty, 0};
    const auto [base, largo] = ado::sqlite::LeeTipoDeclarado(declarado);
    constexpr int sinLimite = 1073741823;
    if (base == "NVARCHAR")
        return {adVarWChar, largo ? largo : sinLimite};
    if (base == "VARCHAR")
        return {adVarChar, largo ? largo : sinLimite};
    if (base == "NCHAR")
        return {adWChar, largo ? largo : 1};
    if (base == "CHAR")
        return {adChar, largo ? largo : 1};
    if (base.contains("TEXT") || base.contains("CLOB"))
        return {adLongVarWChar, sinLimite};
    if (base == "BIT")
        return {adBoolean, 2};
    if (base == "TINYINT")
        return {adTinyInt, 1};
    if (base == "SMALLINT")
        return {adSmallInt, 2};
    if (base == "BIGINT")
        return {adBigInt, 8};
    if (base.contains("INT"))
        return {adInteger, 4};
    if (base.contains("MONEY"))
        return {adCurrency, 8};
    if (base == "NUMERIC" || base == "DECIMAL")
        return {adNumeric, 19};
    if (base == "FLOAT" || base == "REAL" || base.startsWith("DOUBLE"))
        return {adDouble, 8};
    if (base == "DATE")
        return {adDBDate, 6};
    if (base.contains("DATE") || base.contains("TIME"))
        return {adDBTimeStamp, 16};
    if (base.contains("BLOB") || base.contains("BINARY"))
        return {adLongVarBinary, sinLimite};
    return {adVarWChar, sinLimite};
}

int tipoPorValor(int claseSqlite) {
    switch (claseSqlite) {
    case SQLITE_INTEGER:
        return adInteger;
    case SQLITE_FLOAT:
        return adDouble;
    case SQLITE_BLOB:
        return adLongVarBinary;
    default:
        return adVarWChar;
    }
}

QString texto(const unsigned char* t, int bytes) {
    return QString::fromUtf8(reinterpret_cast<const char*>(t), bytes);
}

class ProveedorEmbebido final : public Proveedor {
public:
    ~ProveedorEmbebido() override { cerrar(); }

    void abrir(const DatosConexion& datos, int segundosConexion) override {
        const auto falla = [&](const QString& motivo) {
            return FallaConexion(
                QStringLiteral("Cannot open database file \"%1\": %2").arg(datos.archivo, motivo));
        };
        if (datos.archivo.isEmpty())
            throw falla(QStringLiteral("no file was named"));
        if (!QFileInfo::exists(datos.archivo))
            throw falla(QStringLiteral("the file does not exist"));
        sqlite3* db = nullptr;
        const int rc = sqlite3_open_v2(datos.archivo.toUtf8().constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            const QString motivo =
                db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close(db);
            throw falla(motivo);
        }
        db_ = db;
        sqlite3_busy_handler(db_, &ProveedorEmbebido::ocupada, this);
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        // Reading the schema now tells a file that is not a database from one that is;
        // a file locked by another program is waited for as long as a login.
        segundosComando_ = segundosConexion;
        const TrasEspera tras(*this);
        char* error = nullptr;
        if (sqlite3_exec(db_, "PRAGMA foreign_keys = ON; SELECT count(*) FROM sqlite_master;",
                         nullptr, nullptr, &error) != SQLITE_OK) {
            const QString motivo = QString::fromUtf8(error ? error : "unreadable");
            sqlite3_free(error);
            cerrar();
            throw falla(motivo);
        }
        ado::sqlite::RegistraFuncionesTSql(db_);
        sqlite3_progress_handler(db_, 4000, &ProveedorEmbebido::vigila, this);
    }

    void cerrar() override {
        for (sqlite3_stmt* s : preparadas_)
            sqlite3_finalize(s);
        preparadas_.clear();
        if (db_)
            sqlite3_close(db_);
        db_ = nullptr;
    }

    Resultado ejecuta(const QString& sql, const QVariantList& parametrosDados) override {
        const TrasEspera tras(*this);
        QVariantList parametros = parametrosDados;
        QString sqlite = reescrito(sql);
        if (parametros.isEmpty())
            sqlite = Parametriza(sqlite, parametros);
        Resultado r;
        QList<Error> errores;
        const QByteArray utf8 = sqlite.toUtf8();
        const char* resto = utf8.constData();
        const char* fin = resto + utf8.size();
        bool primeraSentencia = true;
        reloj_.start();
        while (resto < fin) {
            sqlite3_stmt* st = nullptr;
            const char* siguiente = nullptr;
            bool enCache = false;
            if (primeraSentencia) {
                // A statement text seen before reuses its prepared form.
                auto it = preparadas_.constFind(sqlite);
                if (it != preparadas_.constEnd()) {
                    st = *it;
                    siguiente = fin;
                    enCache = true;
                }
            }
            if (!st) {
                const int rc =
                    sqlite3_prepare_v2(db_, resto, static_cast<int>(fin - resto), &st, &siguiente);
                if (rc != SQLITE_OK) {
                    errores.append(TraduceError(db_, rc));
                    break; // SQL Server rejects a batch that does not compile
                }
                if (!st) { // only blanks or comments were left
                    resto = siguiente;
                    continue;
                }
                // What follows the statement may be only blanks and a ";".
                const char* cola = siguiente;
                while (cola < fin &&
                       (*cola == ';' || std::isspace(static_cast<unsigned char>(*cola))))
                    ++cola;
                if (cola == fin)
                    siguiente = fin;
                if (primeraSentencia && siguiente == fin && preparadasCabe()) {
                    preparadas_.insert(sqlite, st);
                    enCache = true;
                }
            }
            primeraSentencia = false;
            const bool seguir = corre(st, parametros, r, errores);
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
            if (!enCache)
                sqlite3_finalize(st);
            if (!seguir)
                break;
            resto = siguiente;
        }
        if (!errores.isEmpty()) {
            const Error& primero = errores.first();
            throw Falla(primero.Number, primero.Description, primero.Source, errores);
        }
        return r;
    }

    // Every transaction of the program writes. Taking the write lock at BEGIN makes
    // what it reads first (a save's check against another workstation's save, the
    // next journal entry number) hold until it commits, and puts any wait for the
    // lock where it can be bounded: a transaction that has read and then finds the
    // lock taken would fail at once.
    void iniciaTransaccion() override { exec("BEGIN IMMEDIATE TRANSACTION"); }
    void confirmaTransaccion() override { exec("COMMIT TRANSACTION"); }
    void revierteTransaccion() override { exec("ROLLBACK TRANSACTION"); }

    Resultado tablas() override {
        Resultado r = consultaInterna(
            "SELECT 'main', 'dbo', name, CASE type WHEN 'view' THEN 'VIEW' ELSE 'TABLE' END "
            "FROM sqlite_master WHERE type IN ('table','view') AND name NOT LIKE 'sqlite%' "
            "ORDER BY name");
        r.columnas = EsquemaDeTablas().columnas;
        return r;
    }

    Resultado columnas(const QString& tabla) override {
        Resultado r = EsquemaDeColumnas();
        const QStringList tablas = tabla.isEmpty() ? nombresTablas() : QStringList{tabla};
        for (const QString& t : tablas) {
            for (const auto& c : infoColumnas(t)) {
                const auto [tipo, tamano] = tipoAdo(c.declarado.constData());
                r.filas.append({QStringLiteral("main"), QStringLiteral("dbo"), c.tabla, c.nombre,
                                c.posicion, tipo == adEmpty ? adVarWChar : tipo,
                                EsTipoTexto(tipo) ? QVariant(tamano) : QVariant(), c.nulos});
            }
        }
        return r;
    }

    QStringList clavePrimaria(const QString& tabla) override {
        const QString k = tabla.toUpper();
        auto it = claves_.constFind(k);
        if (it != claves_.constEnd())
            return *it;
        QList<std::pair<int, QString>> partes;
        for (const auto& c : infoColumnas(tabla))
            if (c.pk > 0)
                partes.append({c.pk, c.nombre});
        std::sort(partes.begin(), partes.end());
        QStringList clave;
        for (const auto& p : partes)
            clave << p.second;
        claves_.insert(k, clave);
        return clave;
    }

    QVariant ultimaIdentidad() override {
        return static_cast<qint64>(sqlite3_last_insert_rowid(db_));
    }

    void fijaTiempoComando(int segundos) override { segundosComando_ = segundos; }

    void fijaAislamiento(int nivelAdo) override {
        exec(nivelAdo == adXactReadUncommitted ? "PRAGMA read_uncommitted = 1"
                                               : "PRAGMA read_uncommitted = 0");
    }

    void fijaBaseDefecto(const QString&) override {
        // A file holds one database: there is nothing to switch to.
    }

private:
    struct InfoColumna {
        QString tabla;
        QString nombre;
        QByteArray declarado;
        int posicion;
        bool nulos;
        int pk;
    };

    // Ends the wait the hook was told of, however the call that waited ends.
    struct TrasEspera {
        ProveedorEmbebido& p;
        ~TrasEspera() {
            if (!p.avisada_)
                return;
            p.avisada_ = false;
            if (const auto& termina = EsperaBloqueoInstalada().termina)
                termina();
        }
    };

    // Another connection holds the lock: wait in short sleeps, telling the hook now
    // and then, until the command time-out; then SQLite gives up with SQLITE_BUSY,
    // which is told as SQL Server tells a time-out.
    static int ocupada(void* yo, int veces) {
        constexpr qint64 kPausaMs = 20;
        constexpr qint64 kAvisoMs = 75;
        auto* p = static_cast<ProveedorEmbebido*>(yo);
        if (veces == 0) {
            p->espera_.start();
            p->ultimoAviso_ = 0;
        }
        const qint64 limite = LimiteEsperaMs(p->segundosComando_);
        const qint64 esperado = p->espera_.elapsed();
        if (esperado >= limite)
            return 0;
        if (esperado - p->ultimoAviso_ >= kAvisoMs) {
            p->ultimoAviso_ = esperado;
            if (const auto& esperando = EsperaBloqueoInstalada().esperando) {
                p->avisada_ = true;
                esperando(esperado, limite);
            }
        }
        const qint64 resta = limite - p->espera_.elapsed();
        sqlite3_sleep(static_cast<int>(std::clamp<qint64>(resta, 1, kPausaMs)));
        return 1;
    }

    static int vigila(void* yo) {
        auto* p = static_cast<ProveedorEmbebido*>(yo);
        return p->segundosComando_ > 0 && p->reloj_.isValid() &&
               p->reloj_.elapsed() > p->segundosComando_ * 1000LL;
    }

    QString reescrito(const QString& sql) {
        auto it = reescrituras_.constFind(sql);
        if (it != reescrituras_.constEnd())
            return *it;
        if (reescrituras_.size() > 4000)
            reescrituras_.clear();
        const QString r = ado::sqlite::ReescribeTSql(sql);
        reescrituras_.insert(sql, r);
        return r;
    }

    bool preparadasCabe() {
        if (preparadas_.size() < 256)
            return true;
        for (sqlite3_stmt* s : preparadas_)
            sqlite3_finalize(s);
        preparadas_.clear();
        return true;
    }

    static void liga(sqlite3_stmt* st, int i, const QVariant& v) {
        if (v.isNull()) {
            sqlite3_bind_null(st, i);
            return;
        }
        if (v.metaType() == QMetaType::fromType<Currency>()) {
            // The exact decimal, or the integer when there are no decimals: a NUMERIC
            // column then stores what it stored for the same amount as a double.
            const Currency c = v.value<Currency>();
            if (c.escalado() % Currency::kEscala == 0)
                sqlite3_bind_int64(st, i, c.escalado() / Currency::kEscala);
            else
                bindTexto(st, i, c.texto());
            return;
        }
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::Bool:
            sqlite3_bind_int64(st, i, v.toLongLong());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(st, i, v.toDouble());
            return;
        case QMetaType::QDateTime:
            bindTexto(st, i, TextoFechaIso(v.toDateTime()));
            return;
        case QMetaType::QDate:
            bindTexto(st, i, v.toDate().toString(Qt::ISODate));
            return;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            sqlite3_bind_blob(st, i, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
            return;
        }
        default:
            bindTexto(st, i, v.toString());
        }
    }

    static void bindTexto(sqlite3_stmt* st, int i, const QString& s) {
        const QByteArray b = s.toUtf8();
        sqlite3_bind_text(st, i, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
    }

    // Runs one prepared statement; false when the batch must stop.
    bool corre(sqlite3_stmt* st, const QVariantList& parametros, Resultado& r,
               QList<Error>& errores) {
        const int n = sqlite3_bind_parameter_count(st);
        for (int i = 0; i < n && i < parametros.size(); ++i)
            liga(st, i + 1, parametros[i]);
        const int columnas = sqlite3_column_count(st);
        const bool devuelveFilas = columnas > 0 && r.columnas.isEmpty();
        QList<std::pair<int, int>> tipos;
        if (devuelveFilas) {
            for (int c = 0; c < columnas; ++c) {
                Columna col;
                col.nombre = QString::fromUtf8(sqlite3_column_name(st, c));
                const auto [tipo, tamano] = tipoAdo(sqlite3_column_decltype(st, c));
                col.tipo = tipo;
                col.tamano = tamano;
                if (const char* t = sqlite3_column_table_name(st, c))
                    col.tablaBase = QString::fromUtf8(t);
                if (const char* o = sqlite3_column_origin_name(st, c))
                    col.columnaBase = QString::fromUtf8(o);
                r.columnas.append(col);
            }
        }
        const auto antes = sqlite3_total_changes64(db_);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (!devuelveFilas)
                continue;
            QVariantList fila;
            fila.reserve(columnas);
            for (int c = 0; c < columnas; ++c)
                fila.append(valor(st, c, r.columnas[c]));
            r.filas.append(std::move(fila));
        }
        if (devuelveFilas)
            for (qsizetype c = 0; c < r.columnas.size(); ++c)
                if (r.columnas[c].tipo == adEmpty) // an expression: its first value tells its type
                    r.columnas[c].tipo =
                        tipoPorValor(r.filas.isEmpty() ? SQLITE_TEXT : claseDe(r.filas.first()[c]));
        if (rc != SQLITE_DONE) {
            const auto e = TraduceError(db_, rc);
            errores.append(e);
            if (!TerminaSoloLaSentencia(e.first().NativeError))
                return false;
            return true;
        }
        if (!sqlite3_stmt_readonly(st)) {
            // Through a view's INSTEAD OF trigger the statement itself counts no row.
            long cambios = static_cast<long>(sqlite3_changes64(db_));
            if (cambios == 0)
                cambios = static_cast<long>(sqlite3_total_changes64(db_) - antes);
            r.filasAfectadas = (r.filasAfectadas < 0 ? 0 : r.filasAfectadas) + cambios;
        }
        return true;
    }

    static int claseDe(const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::LongLong:
            return SQLITE_INTEGER;
        case QMetaType::Double:
            return SQLITE_FLOAT;
        case QMetaType::QByteArray:
            return SQLITE_BLOB;
        default:
            return SQLITE_TEXT;
        }
    }

    static QVariant valor(sqlite3_stmt* st, int c, const Columna& col) {
        switch (sqlite3_column_type(st, c)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return static_cast<qint64>(sqlite3_column_int64(st, c));
        case SQLITE_FLOAT:
            return sqlite3_column_double(st, c);
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, c)),
                              sqlite3_column_bytes(st, c));
        default: {
            const QString s = texto(sqlite3_column_text(st, c), sqlite3_column_bytes(st, c));
            if (EsTipoFecha(col.tipo))
                if (auto f = InterpretaFecha(s))
                    return *f;
            return s;
        }
        }
    }

    void exec(const char* sql) {
        const TrasEspera tras(*this);
        char* error = nullptr;
        const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
        sqlite3_free(error);
        if (rc != SQLITE_OK) {
            const auto e = TraduceError(db_, rc);
            throw Falla(e.first().Number, e.first().Description, e.first().Source, e);
        }
    }

    Resultado consultaInterna(const char* sql) {
        const TrasEspera tras(*this);
        sqlite3_stmt* st = nullptr;
        const int rc = sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        if (rc != SQLITE_OK) {
            const auto e = TraduceError(db_, rc);
            throw Falla(e.first().Number, e.first().Description, e.first().Source, e);
        }
        Resultado r;
        const int columnas = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            QVariantList fila;
            for (int c = 0; c < columnas; ++c)
                fila.append(valor(st, c, Columna{}));
            r.filas.append(fila);
        }
        sqlite3_finalize(st);
        return r;
    }

    QStringList nombresTablas() {
        QStringList t;
        for (const auto& f : consultaInterna("SELECT name FROM sqlite_master WHERE type IN "
                                             "('table','view') AND name NOT LIKE 'sqlite%' "
                                             "ORDER BY name")
                                 .filas)
            t << f.first().toString();
        return t;
    }

    QList<InfoColumna> infoColumnas(const QString& tabla) {
        const TrasEspera tras(*this);
        QList<InfoColumna> r;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_,
                               "SELECT name, type, cid + 1, \"notnull\" = 0, pk "
                               "FROM pragma_table_info(?1)",
                               -1, &st, nullptr) != SQLITE_OK) {
            const auto e = TraduceError(db_, sqlite3_errcode(db_));
            throw Falla(e.first().Number, e.first().Description, e.first().Source, e);
        }
        bindTexto(st, 1, tabla.trimmed());
        while (sqlite3_step(st) == SQLITE_ROW) {
            InfoColumna c;
            c.tabla = tabla.trimmed();
            c.nombre = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            c.declarado = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
            c.posicion = sqlite3_column_int(st, 2);
            c.nulos = sqlite3_column_int(st, 3) != 0;
            c.pk = sqlite3_column_int(st, 4);
            r.append(c);
        }
        sqlite3_finalize(st);
        return r;
    }

    sqlite3* db_ = nullptr;
    QHash<QString, QString> reescrituras_;
    QHash<QString, sqlite3_stmt*> preparadas_;
    QHash<QString, QStringList> claves_;
    QElapsedTimer reloj_;
    QElapsedTimer espera_; // the current wait for a lock
    qint64 ultimoAviso_ = 0;
    bool avisada_ = false; // the hook was told of the current wait
    int segundosComando_ = kSegundosEsperaPorDefecto;
};

} // namespace

std::unique_ptr<Proveedor> CreaProveedorEmbebido() {
    return std::make_unique<ProveedorEmbebido>();
}

} // namespace ado::detalle
