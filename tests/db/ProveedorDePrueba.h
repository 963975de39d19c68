#pragma once
// A provider the tests put between a connection and the database: it records every
// statement, can lose the line or refuse to connect a number of times, adds
// warnings to a statement that goes through, refuses a commit, stands in for an
// Oracle server, and answers from an embedded file or with canned rows.

#include "platform/ado/Proveedor.h"

#include <QRegularExpression>
#include <QStringList>

#include <optional>

#include <functional>
#include <memory>

namespace prueba {

using namespace ado::detalle;

struct Guion {
    QStringList sentencias;
    int fallasEjecucion = 0; // the next statements fail as on a lost line
    int fallasApertura = 0;  // the next opens fail as on an unreachable server
    int aperturas = 0;
    QList<ado::Error> avisos; // warnings of the next statement that goes through
    QString archivo;          // when set, every connection opens this embedded file
    std::function<Resultado(const QString&)> responde; // canned answer without a file
    bool oracle = false; // the file stands in for an Oracle server (OracleEnEmbebida)
    // A commit the server refuses with this record: it ends the transaction itself.
    std::optional<ado::Error> confirmacionRechazada;
};

// What the program sends to Oracle, made runnable on the embedded file that stands
// in for the server, as there is no Oracle server here. Only the Oracle-only forms
// the translation writes are carried back, each to what the file takes: the ROWNUM
// limit that closes a query becomes LIMIT, NVL is IFNULL, a TO_DATE of a day/month/
// year text is the ISO text the file stores. The session's settings are no
// statement for the file (empty text). Everything else reaches the file as sent.
inline QString OracleEnEmbebida(const QString& sql) {
    if (sql.startsWith(QLatin1String("ALTER SESSION"), Qt::CaseInsensitive))
        return {};
    QString r = sql;
    static const QRegularExpression rownum(
        QStringLiteral("\\s*\\b(?:WHERE|AND)\\s+ROWNUM\\s*<=\\s*(\\d+)\\s*(?=\\)|$)"));
    static const QRegularExpression toDate(QStringLiteral(
        "TO_DATE\\('(\\d{2})/(\\d{2})/(\\d{4})( \\d{2}:\\d{2}:\\d{2})?','[^']*'\\)"));
    static const QRegularExpression nvl(QStringLiteral("\\bNVL\\("));
    r.replace(rownum, QStringLiteral(" LIMIT \\1"));
    r.replace(toDate, QStringLiteral("'\\3-\\2-\\1\\4'"));
    r.replace(nvl, QStringLiteral("IFNULL("));
    return r;
}

inline ado::Falla LineaPerdida(const QString& estado = QStringLiteral("08S01")) {
    const QString fuente = QStringLiteral("Microsoft OLE DB Provider for SQL Server");
    const QString texto = QStringLiteral("General network error.");
    return ado::Falla(ado::codigo::E_FAIL, texto, fuente,
                      {ado::Error{ado::codigo::E_FAIL, texto, estado, 11, fuente}});
}

// One row of one column; no row at all when `valor` is not given.
inline Resultado Filas(const QString& columna, std::optional<QVariant> valor = std::nullopt) {
    Resultado r;
    r.columnas.append(Columna{columna, ado::adVarWChar, 50, {}, {}});
    if (valor)
        r.filas.append(QVariantList{*valor});
    return r;
}

class Proveedor final : public ado::detalle::Proveedor {
public:
    explicit Proveedor(std::shared_ptr<Guion> g) : g_(std::move(g)) {}

    void abrir(const DatosConexion& datos, int segundos) override {
        if (g_->fallasApertura > 0 && g_->fallasApertura--)
            throw LineaPerdida(QStringLiteral("08001"));
        ++g_->aperturas;
        DatosConexion d = datos;
        if (!g_->archivo.isEmpty())
            d = DatosConexion{DatosConexion::Tipo::Embebida, g_->archivo, {}, {}};
        if (d.tipo == DatosConexion::Tipo::Embebida) {
            real_ = CreaProveedorEmbebido();
            real_->abrir(d, segundos);
        }
    }
    void cerrar() override { real_.reset(); }
    Resultado ejecuta(const QString& sql, const QVariantList& parametros) override {
        g_->sentencias << sql;
        if (g_->fallasEjecucion > 0 && g_->fallasEjecucion--)
            throw LineaPerdida();
        if (g_->confirmacionRechazada && sql.trimmed().startsWith(QLatin1String("COMMIT")))
            rechaza([this] { real_->ejecuta(QStringLiteral("ROLLBACK TRANSACTION"), {}); });
        const QString texto = g_->oracle ? OracleEnEmbebida(sql) : sql;
        if (texto.isEmpty() && !sql.isEmpty())
            return Resultado{};
        Resultado r = real_          ? real_->ejecuta(texto, parametros)
                      : g_->responde ? g_->responde(sql)
                                     : Resultado{};
        r.avisos += std::exchange(g_->avisos, {});
        return r;
    }
    void iniciaTransaccion() override {
        transaccion("<BeginTrans>", &ado::detalle::Proveedor::iniciaTransaccion);
    }
    void confirmaTransaccion() override {
        if (g_->confirmacionRechazada) {
            g_->sentencias << QStringLiteral("<CommitTrans>");
            rechaza([this] { real_->revierteTransaccion(); });
        }
        transaccion("<CommitTrans>", &ado::detalle::Proveedor::confirmaTransaccion);
    }
    void revierteTransaccion() override {
        transaccion("<RollbackTrans>", &ado::detalle::Proveedor::revierteTransaccion);
    }
    Resultado tablas() override { return real_ ? real_->tablas() : Resultado{}; }
    Resultado columnas(const QString& t) override {
        return real_ ? real_->columnas(t) : Resultado{};
    }
    QStringList clavePrimaria(const QString& t) override {
        return real_ ? real_->clavePrimaria(t) : QStringList{};
    }
    QVariant ultimaIdentidad() override { return real_ ? real_->ultimaIdentidad() : QVariant(); }
    void fijaTiempoComando(int s) override {
        if (real_)
            real_->fijaTiempoComando(s);
    }
    void fijaAislamiento(int n) override {
        if (real_)
            real_->fijaAislamiento(n);
    }
    void fijaBaseDefecto(const QString& b) override {
        if (real_)
            real_->fijaBaseDefecto(b);
    }

private:
    template <typename F> [[noreturn]] void rechaza(F revierte) {
        if (real_)
            revierte();
        const ado::Error& e = *g_->confirmacionRechazada;
        throw ado::Falla(ado::codigo::DB_E_ERRORSINCOMMAND, e.Description, e.Source, {e});
    }
    void transaccion(const char* marca, void (ado::detalle::Proveedor::*op)()) {
        g_->sentencias << QLatin1String(marca);
        if (real_)
            (real_.get()->*op)();
    }
    std::shared_ptr<Guion> g_;
    std::unique_ptr<ado::detalle::Proveedor> real_;
};

inline ado::FabricaProveedor Fabrica(std::shared_ptr<Guion> g) {
    return [g](const DatosConexion&) { return std::make_unique<Proveedor>(g); };
}

} // namespace prueba
