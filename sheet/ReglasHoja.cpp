#include "sheet/ReglasHoja.h"

#include "Interno.h"
#include "platform/Utilidades.h"
#include "platform/ado/Falla.h"
#include "sheet/Reparto.h"
#include "sheet/RepositorioReparto.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

namespace {

using Resultado = ReglasHoja::Resultado;
using Efecto = ReglasHoja::Efecto;

// What a rule sees of the value.
struct Valor {
    QString V;     // trimmed
    QString crudo; // as typed
    const Reparto& r;
    bool grabando;
    RepositorioReparto& repo;
};

Resultado falla(const char* mensaje, bool detiene) {
    Resultado res;
    res.ok = false;
    res.mensaje = QString::fromUtf8(mensaje);
    res.detiene = detiene;
    return res;
}

Resultado con(Efecto efecto, QString valor = {}) {
    Resultado res;
    res.efecto = efecto;
    res.valor = std::move(valor);
    return res;
}

bool numericoOVacio(const Valor& v) {
    return v.V.isEmpty() || Utilidades::EsNumerico(v.V);
}

// The number as the clerk will see it stored.
QString comoSeLee(const Valor& v) {
    return v.V.isEmpty() ? QString() : hoja::TextoNumero(Utilidades::ANumero(v.V));
}

Resultado cantidad(const Valor& v, Efecto efecto) {
    if (!numericoOVacio(v))
        return falla("Debe ingresar una cantidad!!!", false);
    Resultado res = con(efecto);
    res.normalizado = comoSeLee(v);
    return res;
}

// What was loaded and reloaded is never below zero; returns may be.
Resultado cantidadCargada(const Valor& v, Efecto efecto) {
    Resultado res = cantidad(v, efecto);
    if (res.ok && Utilidades::ANumero(v.V) < Currency())
        return falla("La cantidad cargada no puede ser negativa!!!", false);
    return res;
}

// An amount or odometer field: a number or nothing, never a text read as 0.
Resultado importe(const Valor& v) {
    if (!numericoOVacio(v))
        return falla("Debe ingresar un valor numérico!!!", false);
    Resultado res;
    res.normalizado = comoSeLee(v);
    return res;
}

Resultado kmFinal(const Valor& v) {
    Resultado res = importe(v);
    const QString inicio = v.r.Campo(QStringLiteral("KmInicial")).trimmed();
    if (res.ok && !v.V.isEmpty() && !inicio.isEmpty() &&
        Utilidades::ANumero(v.V) < Utilidades::ANumero(inicio))
        return falla("El Km final no puede ser menor que el Km inicial!!!", false);
    return res;
}

Resultado editor(const Valor& v) {
    return cantidad(v, Efecto::Ninguno);
}

Resultado clase(const Valor& v) {
    // Only the whole classes 1 to 5 have a price column.
    static const QRegularExpression entero(QStringLiteral("^[0-9]+$"));
    const bool ok =
        v.V.isEmpty() || (entero.match(v.V).hasMatch() && v.V.toInt() >= 1 && v.V.toInt() <= 5);
    if (!ok)
        return falla("Debe ingresar un número entre 1 y 5 !!!", false);
    return con(Efecto::RecalculaPrecios);
}

Resultado rubros(const Valor& v) {
    QString lista = v.crudo;
    const bool valido = v.repo.RubrosValidos(lista);
    Resultado res = valido ? con(Efecto::GrabaRubros, lista)
                           : falla("El código de artículo es inexistente!!!", false);
    if (!valido) {
        // The checked list is shown even when a code failed.
        res.efecto = Efecto::GrabaRubros;
        res.valor = lista;
    }
    return res;
}

Resultado reparto(const Valor& v) {
    if (v.V.isEmpty() || !Utilidades::EsNumerico(v.V))
        return falla("Debe ingresar un valor numérico!!!", true);
    QString finalizado;
    if (v.repo.Existe(v.V, &finalizado)) {
        // An open run keeps what is on screen while a save checks it.
        if (!finalizado.isEmpty() || !v.grabando)
            return con(Efecto::AbreReparto);
        return {};
    }
    if (!v.grabando)
        return con(Efecto::NuevoReparto);
    return {};
}

Resultado fecha(const Valor& v) {
    if (v.grabando && !ReglasHoja::FechaValida(v.V))
        return falla("Debe ingresar un formato de fecha válido!!!", true);
    return {};
}

Resultado cuentaGasto(const Valor& v, int n) {
    if (v.V.isEmpty())
        return {};
    Resultado res;
    if (const auto d = v.repo.DescripcionCuenta(v.V, false)) {
        res = con(Efecto::EtiquetaCuenta, *d);
    } else {
        res =
            falla("Debe ingresar una cuenta que no sea cuenta título y que sea de gastos!!!", true);
        res.efecto = Efecto::EtiquetaCuenta;
        res.valor = QStringLiteral("...");
    }
    res.cuenta = n;
    return res;
}

Resultado cuentaMedioPago(const Valor& v) {
    if (v.V.isEmpty())
        return {};
    if (const auto d = v.repo.DescripcionCuenta(v.V, true))
        return con(Efecto::MedioDePago, *d);
    Resultado res = falla("Debe ingresar una cuenta que no sea cuenta título y que sea de medios "
                          "de pago!!!",
                          true);
    res.efecto = Efecto::MedioDePago;
    res.valor = QStringLiteral("...");
    return res;
}

using Regla = Resultado (*)(const Valor&);

// By DataField in lower case; a field without a rule always passes.
const QHash<QString, Regla>& Reglas() {
    static const QHash<QString, Regla> reglas = {
        {QStringLiteral("editar"), editor},
        {QStringLiteral("clase"), clase},
        {QStringLiteral("cc_col1"), rubros},
        {QStringLiteral("cargas_carcantud"),
         [](const Valor& v) { return cantidadCargada(v, Efecto::DevolucionUd); }},
        {QStringLiteral("cargas_recarcantud"),
         [](const Valor& v) { return cantidadCargada(v, Efecto::DevolucionUd); }},
        {QStringLiteral("cargas_devcantud"),
         [](const Valor& v) { return cantidad(v, Efecto::DevolucionUd); }},
        {QStringLiteral("cargas_carcant"),
         [](const Valor& v) { return cantidadCargada(v, Efecto::DevolucionKg); }},
        {QStringLiteral("cargas_recarcant"),
         [](const Valor& v) { return cantidadCargada(v, Efecto::DevolucionKg); }},
        {QStringLiteral("cargas_devcant"),
         [](const Valor& v) { return cantidad(v, Efecto::DevolucionKg); }},
        {QStringLiteral("reparto"), reparto},
        {QStringLiteral("fecha"), fecha},
        {QStringLiteral("cuentag1"), [](const Valor& v) { return cuentaGasto(v, 1); }},
        {QStringLiteral("cuentag2"), [](const Valor& v) { return cuentaGasto(v, 2); }},
        {QStringLiteral("cuentag3"), [](const Valor& v) { return cuentaGasto(v, 3); }},
        {QStringLiteral("cuentag4"), [](const Valor& v) { return cuentaGasto(v, 4); }},
        {QStringLiteral("cuentamp"), cuentaMedioPago},
        {QStringLiteral("kminicial"), importe},
        {QStringLiteral("kmfinal"), kmFinal},
        {QStringLiteral("gasto1"), importe},
        {QStringLiteral("gasto2"), importe},
        {QStringLiteral("gasto3"), importe},
        {QStringLiteral("gasto4"), importe},
        {QStringLiteral("imprecaudado"),
         [](const Valor& v) {
             // "..." is what the field shows before anything was collected.
             return v.V == QLatin1String("...") ? Resultado{} : importe(v);
         }},
    };
    return reglas;
}

} // namespace

ReglasHoja::Resultado ReglasHoja::Valida(const QString& dataField, const QString& texto,
                                         const Reparto& r, bool grabando) {
    const Regla regla = Reglas().value(dataField.trimmed().toLower());
    if (!regla)
        return {};
    return regla(Valor{texto.trimmed(), texto, r, grabando, repositorio_});
}

bool ReglasHoja::FechaValida(const QString& texto) {
    for (const char* formato : {"d/M/yyyy", "d/M/yy", "yyyy-MM-dd"})
        if (QDate::fromString(texto, QString::fromLatin1(formato)).isValid())
            return true;
    return false;
}

std::optional<ReglasHoja::Falta> ReglasHoja::AsientoBalanceado(const Reparto& r) {
    // A debit without its account, or a credit without the means of payment, would
    // leave the ledger unbalanced: refuse before anything is written.
    Currency gastos;
    for (int i = 1; i <= 4; ++i) {
        const Currency importe = r.Importe(QStringLiteral("Gasto%1").arg(i));
        if (importe < Currency())
            return Falta{QStringLiteral("El Gasto %1 es negativo: corríjalo antes de finalizar el "
                                        "reparto!!!")
                             .arg(i),
                         QStringLiteral("Gasto%1").arg(i)};
        if (importe == Currency())
            continue;
        gastos += importe;
        if (r.Campo(QStringLiteral("CuentaG%1").arg(i)).trimmed().isEmpty())
            return Falta{QStringLiteral("Falta la cuenta del Gasto %1: ingrésela antes de "
                                        "finalizar el reparto!!!")
                             .arg(i),
                         QStringLiteral("CuentaG%1").arg(i)};
    }
    if (gastos > Currency() && r.Campo(QStringLiteral("CuentaMP")).trimmed().isEmpty())
        return Falta{QStringLiteral("Falta la cuenta del Medio de Pago: ingrésela antes de "
                                    "finalizar el reparto!!!"),
                     QStringLiteral("CuentaMP")};
    if (r.Importe(QStringLiteral("GastoMP")) != gastos)
        return Falta{QStringLiteral("El importe del Medio de Pago no coincide con el total de "
                                    "los gastos: corríjalo antes de finalizar el reparto!!!"),
                     QStringLiteral("CuentaMP")};
    return std::nullopt;
}

// ------------------------------------------------------- counts and odometer

namespace {

int signo(Currency c) {
    return c > Currency() ? 1 : (c < Currency() ? -1 : 0);
}

} // namespace

QString ReglasHoja::Descuadre(const Reparto& r, int fila) {
    const auto cant = [&](int c) {
        return Utilidades::NumeroEn(r.Lineas().texto(fila, c)).value_or(Currency());
    };
    const auto vendidoDeMas = [&](int carga, int recarga, int venta, const char* unidad) {
        const Currency cargado = cant(carga) + cant(recarga);
        if (cant(venta) <= cargado)
            return QString();
        return QStringLiteral("Se vendieron %1 %2 y se cargaron %3 (carga y recarga): la "
                              "devolución queda negativa.")
            .arg(hoja::TextoNumero(cant(venta)), QString::fromUtf8(unidad),
                 hoja::TextoNumero(cargado));
    };
    for (const QString& motivo : {vendidoDeMas(col::CargaUd, col::RecargaUd, col::VtaUd, "Uds."),
                                  vendidoDeMas(col::CargaKg, col::RecargaKg, col::VtaKg, "Kgs.")})
        if (!motivo.isEmpty())
            return motivo;
    struct Par {
        int ud, kg;
        const char* nombre;
    };
    static constexpr Par kPares[] = {{col::CargaUd, col::CargaKg, "Carga"},
                                     {col::RecargaUd, col::RecargaKg, "Recarga"},
                                     {col::DevUd, col::DevKg, "Dev. y Sobrantes"},
                                     {col::VtaUd, col::VtaKg, "Vta. Total"}};
    for (const Par& p : kPares)
        if (signo(cant(p.ud)) * signo(cant(p.kg)) < 0)
            return QStringLiteral("%1: las Uds. (%2) y los Kgs. (%3) tienen distinto signo.")
                .arg(QString::fromUtf8(p.nombre), hoja::TextoNumero(cant(p.ud)),
                     hoja::TextoNumero(cant(p.kg)));
    return {};
}

QList<ReglasHoja::LineaDescuadrada> ReglasHoja::Descuadres(const Reparto& r) {
    QList<LineaDescuadrada> lineas;
    for (int f = 0; f < r.Lineas().filas(); ++f)
        if (QString motivo = Descuadre(r, f); !motivo.isEmpty())
            lineas.append({f, std::move(motivo)});
    return lineas;
}

QString ReglasHoja::PreguntaDescuadres(const Reparto& r, const QList<LineaDescuadrada>& lineas) {
    if (lineas.isEmpty())
        return {};
    const LineaDescuadrada& primera = lineas.first();
    QString t = QStringLiteral("La línea %1 (%2) no cuadra: %3")
                    .arg(primera.fila + 1)
                    .arg(r.Lineas().texto(primera.fila, col::Producto).trimmed(), primera.motivo);
    if (lineas.size() > 1)
        t += QStringLiteral("\r\nNo cuadran %1 líneas en total.").arg(lineas.size());
    return t + QStringLiteral("\r\n¿Finaliza el reparto de todos modos?");
}

QString ReglasHoja::AvisoKmInicial(const Reparto& r,
                                   const std::optional<RepartoAnterior>& anterior) {
    const auto inicio = Utilidades::NumeroEn(r.Campo(QStringLiteral("KmInicial")));
    if (!inicio || !anterior || !anterior->kmFinal || *inicio == *anterior->kmFinal)
        return {};
    return QStringLiteral("El reparto anterior del vehículo (N° %1) terminó en %2 km.")
        .arg(anterior->numero, hoja::TextoNumero(*anterior->kmFinal));
}

std::optional<Currency> ReglasHoja::KmRecorridos(const Reparto& r) {
    const auto inicio = Utilidades::NumeroEn(r.Campo(QStringLiteral("KmInicial")));
    const auto fin = Utilidades::NumeroEn(r.Campo(QStringLiteral("KmFinal")));
    if (!inicio || !fin || *fin < *inicio)
        return std::nullopt;
    return *fin - *inicio;
}
