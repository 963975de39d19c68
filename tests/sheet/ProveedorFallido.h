#pragma once
// The embedded provider with one planted failure: the k-th statement sent inside a
// transaction fails once, as a server would refuse it.

#include "platform/ado/Falla.h"
#include "platform/ado/Proveedor.h"

#include <functional>
#include <memory>
#include <utility>

struct Inyeccion {
    int fallaEn = 0;        // 0: nothing fails
    int enTransaccion = -1; // statements counted since BEGIN; -1 outside one
    bool disparada = false;
    QString sentencia; // the one that failed
    QString empieza;   // also fails once the first statement that begins so, anywhere
    // Runs once just before the k-th statement inside a transaction: another
    // workstation acting in the middle of this one's save.
    int pausaEn = 0;
    std::function<void()> pausa;
    std::function<void()> alEmpezarTransaccion; // runs just before each BEGIN
    // Runs once just before the first statement that begins with `antesDe`, anywhere:
    // something that happens while the window is busy with it.
    QString antesDe;
    std::function<void()> alLlegar;

    void fallaLa(int k) {
        *this = Inyeccion();
        fallaEn = k;
    }
};

class ProveedorFallido final : public ado::detalle::Proveedor {
public:
    explicit ProveedorFallido(std::shared_ptr<Inyeccion> i)
        : i_(std::move(i)), real_(ado::detalle::CreaProveedorEmbebido()) {}
    // A factory for the application object, sharing `i` with the test.
    static ado::FabricaProveedor Fabrica(std::shared_ptr<Inyeccion> i) {
        return [i](const ado::detalle::DatosConexion&) {
            return std::make_unique<ProveedorFallido>(i);
        };
    }

    void abrir(const ado::detalle::DatosConexion& d, int s) override { real_->abrir(d, s); }
    void cerrar() override { real_->cerrar(); }
    ado::detalle::Resultado ejecuta(const QString& sql, const QVariantList& p) override {
        if (i_->alLlegar && !i_->antesDe.isEmpty() && sql.startsWith(i_->antesDe))
            std::exchange(i_->alLlegar, {})();
        const bool porTexto = !i_->empieza.isEmpty() && sql.startsWith(i_->empieza);
        const bool enTransaccion = i_->enTransaccion >= 0;
        if (enTransaccion)
            ++i_->enTransaccion;
        if (enTransaccion && i_->enTransaccion == i_->pausaEn && i_->pausa)
            std::exchange(i_->pausa, {})();
        const bool porOrden = enTransaccion && i_->enTransaccion == i_->fallaEn;
        if ((porTexto || porOrden) && !i_->disparada) {
            i_->disparada = true;
            i_->sentencia = sql;
            const QString t = QStringLiteral("Fallo de prueba");
            // Outside a save, E_FAIL with records would read as a lost connection.
            const ado::Numero n =
                porOrden ? ado::codigo::E_FAIL : ado::codigo::DB_E_ERRORSINCOMMAND;
            throw ado::Falla(
                n, t, QStringLiteral("Prueba"),
                {ado::Error{n, t, QStringLiteral("42000"), 50000, QStringLiteral("Prueba")}});
        }
        return real_->ejecuta(sql, p);
    }
    void iniciaTransaccion() override {
        if (i_->alEmpezarTransaccion)
            i_->alEmpezarTransaccion();
        real_->iniciaTransaccion();
        i_->enTransaccion = 0;
    }
    void confirmaTransaccion() override {
        i_->enTransaccion = -1;
        real_->confirmaTransaccion();
    }
    void revierteTransaccion() override {
        i_->enTransaccion = -1;
        real_->revierteTransaccion();
    }
    ado::detalle::Resultado tablas() override { return real_->tablas(); }
    ado::detalle::Resultado columnas(const QString& t) override { return real_->columnas(t); }
    QStringList clavePrimaria(const QString& t) override { return real_->clavePrimaria(t); }
    QVariant ultimaIdentidad() override { return real_->ultimaIdentidad(); }
    void fijaTiempoComando(int s) override { real_->fijaTiempoComando(s); }
    void fijaAislamiento(int n) override { real_->fijaAislamiento(n); }
    void fijaBaseDefecto(const QString& b) override { real_->fijaBaseDefecto(b); }

private:
    std::shared_ptr<Inyeccion> i_;
    std::unique_ptr<ado::detalle::Proveedor> real_;
};
