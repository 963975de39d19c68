// Saving the run: header, lines and, when the run is finished, its stamp and its
// journal entry. Everything goes in one transaction, so a failure leaves the
// database as it was and the sheet as the operator typed it.

#include "Interno.h"
#include "app/Aplicacion.h"
#include "app/Numeracion.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "platform/ado/Valores.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"

#include <QDateTime>
#include <QLineEdit>

namespace {

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

QVariant Dinero(Currency c) {
    return c.aDouble();
}

// The provider's records describe the failure; a statement run without raising
// leaves them in the list instead. Warnings (class 01) are not failures.
void ExigeSinErrores(ado::Connection& cn, const QString& sql) {
    const ado::Errores& errores = cn.Errors();
    for (const ado::Error& e : errores.todos()) {
        if (e.SQLState.startsWith(QLatin1String("01")))
            continue;
        throw ado::Falla(e.Number ? e.Number : ado::codigo::E_FAIL, e.Description,
                         e.Source.isEmpty() ? sql : e.Source, errores.todos());
    }
}

} // namespace

// ------------------------------------------------------------------- checks

bool FrmHojaRuta::AsientoBalanceado() {
    // A debit without its account, or a credit without the means of payment, would
    // leave the ledger unbalanced: refuse before anything is written.
    QString falta;
    QLineEdit* foco = nullptr;
    Currency gastos;
    for (int i = 1; i <= 4 && falta.isEmpty(); ++i) {
        const Currency importe = Utilidades::ANumero(textoCampo(QStringLiteral("Gasto%1").arg(i)));
        if (importe <= Currency())
            continue;
        gastos += importe;
        if (textoCampo(QStringLiteral("CuentaG%1").arg(i)).trimmed().isEmpty()) {
            falta = QStringLiteral("Falta la cuenta del Gasto %1: ingrésela antes de finalizar "
                                   "el reparto!!!")
                        .arg(i);
            foco = Campo(QStringLiteral("CuentaG%1").arg(i));
        }
    }
    if (falta.isEmpty() && gastos > Currency() &&
        textoCampo(QStringLiteral("CuentaMP")).trimmed().isEmpty()) {
        falta = QStringLiteral("Falta la cuenta del Medio de Pago: ingrésela antes de finalizar "
                               "el reparto!!!");
        foco = Campo(QStringLiteral("CuentaMP"));
    }
    if (falta.isEmpty() && Utilidades::ANumero(textoCampo(QStringLiteral("GastoMP"))) != gastos) {
        falta = QStringLiteral("El importe del Medio de Pago no coincide con el total de los "
                               "gastos: corríjalo antes de finalizar el reparto!!!");
        foco = Campo(QStringLiteral("CuentaMP"));
    }
    if (falta.isEmpty())
        return true;
    app_.dialogo.MsgBox(
        falta, plataforma::Estilo{plataforma::Botones::OKOnly, plataforma::Icono::Information},
        QStringLiteral("Aviso al operador..."));
    if (foco && foco->isEnabled())
        foco->setFocus();
    return false;
}

// ------------------------------------------------------------------- saving

bool FrmHojaRuta::GrabaReparto() {
    ado::Connection& cn = app_.db.gCnn();
    for (;;) {
        // Numbering and the earlier-entry check only read; they run before the
        // transaction and report their own failures.
        std::optional<DatosAsiento> asiento;
        if (Finalizando_) {
            asiento = PreparaAsiento();
            if (!asiento)
                return false;
        }
        try {
            cn.BeginTrans();
            grabaCabecera();
            grabaLineas();
            if (asiento && asiento->registra)
                AsientoReparto(*asiento);
            cn.CommitTrans();
        } catch (const std::exception& e) {
            const ado::Falla falla = plataforma::FallaDe(e);
            // Undo first, then explain: the dialog reads the provider's records,
            // which ending the transaction clears.
            const QList<ado::Error> registros = cn.Errors().todos();
            if (cn.EnTransaccion()) {
                try {
                    cn.RollbackTrans();
                } catch (const ado::Falla&) {
                }
            }
            cn.Errors().Clear();
            cn.Errors().Add(registros);
            app_.util.Restablece(0);
            HayError_ = true;
            if (app_.MuestraErrorDatos(falla, QString()) == plataforma::Respuesta::Retry)
                continue;
            return false;
        }
        if (asiento && !asiento->aviso.isEmpty())
            app_.dialogo.MsgBox(asiento->aviso, plataforma::Estilo{}, QString());
        return true;
    }
}

void FrmHojaRuta::grabaCabecera() {
    ado::Connection& cn = app_.db.gCnn();
    const QString reparto = textoCampo(QStringLiteral("Reparto"));
    ado::Recordset rs;
    const auto abre = [&](const QString& sql) {
        rs.Open(app_.db.ORACLE_Dicc(app_.db.SS_TSinonimos(sql)), cn, ado::adOpenDynamic,
                ado::adLockOptimistic, -1);
    };
    if (Existe_) {
        abre(QStringLiteral("SELECT * FROM V_MV_REPARTO WHERE IDREPARTO = ") + reparto);
    } else {
        abre(QStringLiteral("select top 1 * from v_mv_reparto"));
        rs.AddNew();
    }
    const auto texto = [&](const char* campo) { return textoCampo(QString::fromLatin1(campo)); };
    const auto importe = [&](const char* campo) {
        return Dinero(Utilidades::ANumero(texto(campo)));
    };
    rs.Fields(QStringLiteral("IdReparto")) = plataforma::LeeNumero(reparto.trimmed());
    rs.Fields(QStringLiteral("IdComplemento")) = 0;
    rs.Fields(QStringLiteral("Fecha")) = texto("Fecha").trimmed();
    rs.Fields(QStringLiteral("vehiculo")) = texto("Vehiculo").trimmed();
    rs.Fields(QStringLiteral("Chofer")) = texto("Chofer").trimmed();
    rs.Fields(QStringLiteral("Clase")) = plataforma::LeeNumero(texto("Clase").trimmed());
    // "..." is what the field shows before anything was collected.
    const QString recaudado = texto("ImpRecaudado");
    rs.Fields(QStringLiteral("ImpRecaudado")) =
        recaudado == QLatin1String("...") ? QVariant(0) : importe("ImpRecaudado");
    rs.Fields(QStringLiteral("Observaciones")) = texto("Observaciones");
    rs.Fields(QStringLiteral("kminicial")) = importe("KmInicial");
    rs.Fields(QStringLiteral("kmfinal")) = importe("KmFinal");
    for (int i = 1; i <= 4; ++i)
        rs.Fields(QStringLiteral("CUENTAG%1").arg(i)) =
            textoCampo(QStringLiteral("CuentaG%1").arg(i));
    rs.Fields(QStringLiteral("CuentaMP")) = texto("CuentaMP");
    for (int i = 1; i <= 4; ++i)
        rs.Fields(QStringLiteral("gasto%1").arg(i)) =
            Dinero(Utilidades::ANumero(textoCampo(QStringLiteral("Gasto%1").arg(i))));
    rs.Fields(QStringLiteral("gastoMP")) = importe("GastoMP");
    if (Finalizando_)
        rs.Fields(QStringLiteral("FINALIZADO")) = QDateTime::currentDateTime();
    rs.Update();
    rs.Close();
}

void FrmHojaRuta::grabaLineas() {
    ado::Connection& cn = app_.db.gCnn();
    const QString reparto = textoCampo(QStringLiteral("Reparto"));
    QString borra = QStringLiteral("delete V_MV_REPARTODET WHERE IDREPARTO = ") + reparto;
    long filas = 0;
    app_.db.EjecutaConsultaSQL(borra, filas);
    ExigeSinErrores(cn, borra);

    ado::Recordset rs;
    rs.Open(
        app_.db.ORACLE_Dicc(app_.db.SS_TSinonimos(
            QStringLiteral("SELECT top 1 * FROM V_MV_REPARTODET WHERE IDREPARTO = ") + reparto)),
        cn, ado::adOpenDynamic, ado::adLockOptimistic, -1);
    // Looked up once: a run may carry thousands of lines.
    const auto indice = [&](const char* nombre) {
        const QString n = QString::fromLatin1(nombre);
        for (int i = 0; i < rs.FieldCount(); ++i)
            if (rs.Fields(i).Name().compare(n, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    const int cId = indice("IdReparto"), cArt = indice("IdArticulo"), cDesc = indice("Descripcion"),
              cCosto = indice("Costo"), cPrecio = indice("Importe_S_Iva"),
              cImp = indice("Impuestos"), cTasa = indice("aliciva");
    const int cCant[] = {indice("CantidadUD"),   indice("Cantidad"),       indice("REC_CANTIDADUD"),
                         indice("REC_CANTIDAD"), indice("DEV_CANTIDADUD"), indice("DEV_CANTIDAD")};
    const auto campo = [&](int i) {
        if (i < 0) // the view lacks the column: let the layer say which
            throw ado::Falla(ado::codigo::adErrItemNotFound,
                             QStringLiteral("Item cannot be found in the collection corresponding "
                                            "to the requested name or ordinal."),
                             QStringLiteral("V_MV_REPARTODET"));
        return rs.Fields(i);
    };
    const QVariant id = plataforma::LeeNumero(reparto.trimmed());
    const ModeloGrilla& g = Grilla();
    for (int f = 0; f < g.filas(); ++f) {
        rs.AddNew();
        campo(cId) = id;
        campo(cArt) = Utilidades::AjustaCodigo(g.texto(f, 9), 25);
        campo(cDesc) = g.texto(f, 0);
        // Quantities go as typed; the database converts them.
        for (int c = 0; c < 6; ++c) {
            const QString& t = g.texto(f, c + 1);
            campo(cCant[c]) = t.isEmpty() ? QVariant(0) : QVariant(t);
        }
        campo(cCosto) = Dinero(Utilidades::ANumero(g.texto(f, 10)));
        campo(cPrecio) = Dinero(Utilidades::ANumero(g.texto(f, 11)));
        campo(cImp) = Dinero(Utilidades::ANumero(g.texto(f, 13)));
        campo(cTasa) = Dinero(Utilidades::ANumero(g.texto(f, 12)));
        rs.Update();
    }
    rs.Close();
}

// --------------------------------------------------------- the journal entry

std::optional<FrmHojaRuta::DatosAsiento> FrmHojaRuta::PreparaAsiento() {
    DatosAsiento d;
    const QString fecha = textoCampo(QStringLiteral("Fecha"));
    const auto leida = ado::InterpretaFecha(fecha.trimmed());
    d.mes = leida ? leida->date().month() : 0;
    d.tc = app_.cfg.Cfg(QStringLiteral("EQU_CYB_CreditoCaja")).trimmed();

    // One entry per run: a run finished again keeps the entry it already has.
    const QString reparto = textoCampo(QStringLiteral("Reparto")).trimmed();
    ado::Recordset rs;
    if (app_.db.AbrirRecordset(
            QStringLiteral("SELECT COUNT(*) AS LINEAS FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = '") +
                plataforma::DuplicaComillas(d.tc) +
                QStringLiteral("' AND LTRIM(RTRIM(Cpte_Origen)) = '") +
                plataforma::DuplicaComillas(reparto) + u'\'',
            rs) != DB_Dll::Apertura::Abierta)
        return std::nullopt; // the operator gave up on the failure already shown
    const int previas = rs.Eof() ? 0 : rs.Fields(0).Value().toInt();
    app_.db.CierraRecordset(rs);
    if (previas > 0) {
        d.aviso = QStringLiteral("El reparto ") + reparto +
                  QStringLiteral(" ya tiene su asiento contable: no se registra otro.");
        return d;
    }

    Numeracion numeracion(app_);
    QString sucursal, numero, letra, hasta = QStringLiteral("99999999");
    bool modificable = false;
    numeracion.Obtener_Nro_Comprobante_Contable(d.tc, sucursal, numero, letra, modificable,
                                                QString(), QString(), hasta);
    d.sucursal = Ceros(sucursal, 4);
    d.numero = Ceros(numero, 8);
    d.letra = letra;
    d.periodo = app_.cfg.Cfg(QStringLiteral("PERIODO"));
    d.tipoReg = app_.cfg.Cfg(QStringLiteral("TIPOREGFACTURACION"));
    if (d.tipoReg.isEmpty()) {
        // The run is still saved and finished; finishing it again posts the entry.
        d.aviso = kSinTipoRegistro;
        return d;
    }
    const qint32 n = numeracion.ValidaTCRegistraciones(d.mes, d.periodo, d.tipoReg);
    if (n <= 0)
        return std::nullopt; // numbering failed and the operator gave up
    d.numeroAsiento = static_cast<qint16>(n);
    d.registra = true;
    return d;
}

void FrmHojaRuta::AsientoReparto(const DatosAsiento& d) {
    ado::Connection& cn = app_.db.gCnn();
    const QString fecha = textoCampo(QStringLiteral("Fecha"));
    const QString detalle = textoCampo(QStringLiteral("Observaciones")).trimmed();
    const QString origen = textoCampo(QStringLiteral("Reparto"));
    const QString caja = Utilidades::AjustaCodigo(app_.sesion.gCaja.trimmed(), 4);
    const Currency total = Utilidades::ANumero(textoCampo(QStringLiteral("GastoMP")));

    ado::Recordset rs;
    rs.Open(app_.db.ORACLE_Dicc(
                app_.db.SS_TSinonimos(QStringLiteral("SELECT TOP 1 * FROM MV_ASIENTOS"))),
            cn, ado::adOpenDynamic, ado::adLockOptimistic, -1);
    qint16 secuencia = 0;
    const auto linea = [&](const QString& campoImporte, const QString& campoCuenta,
                           const char* lado) {
        const Currency importe = Utilidades::ANumero(textoCampo(campoImporte));
        const QString cuenta = textoCampo(campoCuenta);
        if (cuenta.trimmed().isEmpty() || importe <= Currency())
            return;
        ++secuencia;
        rs.AddNew();
        rs.Fields(QStringLiteral("Fecha")) = fecha;
        rs.Fields(QStringLiteral("FechaSubDiario")) = fecha;
        rs.Fields(QStringLiteral("Mes_Operativo")) = d.mes;
        rs.Fields(QStringLiteral("numero asiento")) = d.numeroAsiento;
        rs.Fields(QStringLiteral("Cuenta")) = Utilidades::ANumero(cuenta).texto();
        rs.Fields(QStringLiteral("Secuencia")) = secuencia;
        rs.Fields(QStringLiteral("Cabimporte")) = Dinero(total);
        rs.Fields(QStringLiteral("Debe-Haber")) = QString::fromLatin1(lado);
        rs.Fields(QStringLiteral("Importe")) = Dinero(importe);
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
    };
    for (int i = 1; i <= 4; ++i)
        linea(QStringLiteral("Gasto%1").arg(i), QStringLiteral("CuentaG%1").arg(i), "D");
    linea(QStringLiteral("GastoMP"), QStringLiteral("CuentaMP"), "H");
    rs.Close();
}
