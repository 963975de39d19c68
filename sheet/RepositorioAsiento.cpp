// The repository's journal entry: the settings a finish reads, the number it
// takes under the save's lock, what the finish question shows, and the lines.

#include "sheet/RepositorioReparto.h"

#include "app/Aplicacion.h"
#include "app/Numeracion.h"
#include "platform/Texto.h"
#include "platform/Utilidades.h"
#include "platform/ado/Valores.h"
#include "sheet/AsientoReparto.h"
#include "sheet/Reparto.h"

using plataforma::DuplicaComillas;

namespace {

constexpr qint32 kMaximoAsiento = 32767;

const QString kSinTipoRegistro =
    QStringLiteral("No se ha informado El Tipo de Registro que generará el Asiento, corrija esto "
                   "desde configuración y vuelva a intentarlo");

// "0000"-style formatting of a numbering output; an empty one stays empty, as a
// used-up voucher book leaves it.
QString Ceros(const QString& valor, int ancho) {
    const QString t = valor.trimmed();
    if (t.isEmpty())
        return t;
    return QString::number(static_cast<qint64>(plataforma::LeeNumero(t)))
        .rightJustified(ancho, u'0');
}

QString AvisoMaximo(qint32 n) {
    // The journal stores the number in 16 bits: it would wrap to a negative one.
    return QStringLiteral("El número de asiento %1 supera el máximo que admite el libro "
                          "diario (32767): no se puede finalizar el reparto.")
        .arg(n);
}

} // namespace

DatosAsiento RepositorioReparto::PreparaAsiento(const Reparto& r) {
    DatosAsiento d;
    const auto leida = ado::InterpretaFecha(r.Campo(QStringLiteral("Fecha")).trimmed());
    d.mes = leida ? leida->date().month() : 0;
    d.tc = app_.cfg.Cfg(QStringLiteral("EQU_CYB_CreditoCaja")).trimmed();
    d.periodo = app_.cfg.Cfg(QStringLiteral("PERIODO"));
    d.tipoReg = app_.cfg.Cfg(QStringLiteral("TIPOREGFACTURACION"));
    return d;
}

std::optional<QString> RepositorioReparto::yaTieneAsiento(const Reparto& r, const DatosAsiento& d) {
    // One entry per run: a run finished again keeps the entry it already has.
    const QString reparto = r.NumeroTexto().trimmed();
    ado::Recordset rs;
    app_.db.Consulta(
        QStringLiteral("SELECT COUNT(*) AS LINEAS FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = '") +
            DuplicaComillas(d.tc) + QStringLiteral("' AND LTRIM(RTRIM(Cpte_Origen)) = '") +
            DuplicaComillas(reparto) + u'\'',
        rs);
    const int previas = rs.Eof() ? 0 : rs.Fields(0).Value().toInt();
    rs.Close();
    if (previas == 0)
        return std::nullopt;
    return QStringLiteral("El reparto ") + reparto +
           QStringLiteral(" ya tiene su asiento contable: no se registra otro.");
}

bool RepositorioReparto::numeraAsiento(const Reparto& r, DatosAsiento& d) {
    if (auto ya = yaTieneAsiento(r, d)) {
        d.registra = false;
        d.aviso = std::move(*ya);
        return true;
    }
    if (d.tipoReg.isEmpty()) {
        d.aviso = kSinTipoRegistro;
        d.sinTipoRegistro = true;
        return false;
    }
    Numeracion numeracion(app_);
    QString sucursal, numero, letra, hasta = QStringLiteral("99999999");
    bool modificable = false;
    numeracion.Obtener_Nro_Comprobante_Contable(d.tc, sucursal, numero, letra, modificable,
                                                QString(), QString(), hasta);
    d.sucursal = Ceros(sucursal, 4);
    d.numero = Ceros(numero, 8);
    d.letra = letra;
    const qint32 n = numeracion.ValidaTCRegistraciones(d.mes, d.periodo, d.tipoReg);
    if (n <= 0)
        return false; // numbering failed and the operator gave up
    d.numeroAsiento = n;
    if (n > kMaximoAsiento) {
        d.aviso = AvisoMaximo(n);
        return false;
    }
    d.registra = true;
    return true;
}

AsientoPrevio RepositorioReparto::PreveAsiento(const Reparto& r, const DatosAsiento& d) {
    // The same decisions as numeraAsiento, without the lock; the voucher is not
    // shown, so its book is not read here (an exhausted one would be told twice).
    AsientoPrevio p;
    p.fecha = r.Campo(QStringLiteral("Fecha")).trimmed();
    p.detalle = r.Campo(QStringLiteral("Observaciones")).trimmed();
    if (auto ya = yaTieneAsiento(r, d)) {
        p.motivo = std::move(*ya);
        return p;
    }
    if (d.tipoReg.isEmpty()) {
        p.motivo = kSinTipoRegistro;
        return p;
    }
    p.numero = Numeracion(app_).ValidaTCRegistraciones(d.mes, d.periodo, d.tipoReg);
    if (p.numero > kMaximoAsiento) {
        p.motivo = AvisoMaximo(p.numero);
        return p;
    }
    p.registra = true;
    p.lineas = LineasAsiento(r);
    return p;
}

void RepositorioReparto::asientoReparto(const Reparto& r, const DatosAsiento& d) {
    const QString fecha = r.Campo(QStringLiteral("Fecha"));
    const QString detalle = r.Campo(QStringLiteral("Observaciones")).trimmed();
    const QString origen = r.NumeroTexto();
    const QString caja = Utilidades::AjustaCodigo(app_.sesion.gCaja.trimmed(), 4);
    const Currency total = r.Importe(QStringLiteral("GastoMP"));

    ado::Recordset rs;
    app_.db.ConsultaEditable(QStringLiteral("SELECT TOP 1 * FROM MV_ASIENTOS"), rs);
    for (const LineaAsiento& l : LineasAsiento(r)) {
        rs.AddNew();
        rs.Fields(QStringLiteral("Fecha")) = fecha;
        rs.Fields(QStringLiteral("FechaSubDiario")) = fecha;
        rs.Fields(QStringLiteral("Mes_Operativo")) = d.mes;
        rs.Fields(QStringLiteral("numero asiento")) = static_cast<qint16>(d.numeroAsiento);
        rs.Fields(QStringLiteral("Cuenta")) = l.cuenta;
        rs.Fields(QStringLiteral("Secuencia")) = l.secuencia;
        rs.Fields(QStringLiteral("Cabimporte")) = total;
        rs.Fields(QStringLiteral("Debe-Haber")) =
            l.debe ? QStringLiteral("D") : QStringLiteral("H");
        rs.Fields(QStringLiteral("Importe")) = l.importe;
        rs.Fields(QStringLiteral("Periodo")) = d.periodo;
        rs.Fields(QStringLiteral("tc")) = d.tc;
        rs.Fields(QStringLiteral("Sucursal")) = d.sucursal;
        rs.Fields(QStringLiteral("Numero")) = d.numero;
        rs.Fields(QStringLiteral("letra")) = d.letra;
        rs.Fields(QStringLiteral("Tipo_Reg")) = d.tipoReg;
        rs.Fields(QStringLiteral("Detalle")) = detalle;
        rs.Fields(QStringLiteral("Moneda")) = QStringLiteral("   1");
        rs.Fields(QStringLiteral("Cotizacion")) = 1;
        rs.Fields(QStringLiteral("IdCajas")) = caja;
        rs.Fields(QStringLiteral("Cpte_Origen")) = origen;
        rs.Update();
    }
    rs.Close();
}
