#include "app/Numeracion.h"

#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "platform/ado/Valores.h"

namespace {

using plataforma::LeeNumero;

bool esNulo(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

double numero(const QVariant& v) {
    if (esNulo(v))
        return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : LeeNumero(v.toString());
}

QString conCeros(double valor, int ancho) {
    return QStringLiteral("%1").arg(qRound64(valor), ancho, 10, QLatin1Char('0'));
}

QString texto(const QVariant& v) {
    if (esNulo(v))
        return {};
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime f = v.toDateTime();
        return f.time() == QTime(0, 0) ? f.toString(QStringLiteral("dd/MM/yyyy"))
                                       : f.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    return v.toString();
}

// Whether a voucher dated `fecha` may still come from a book expiring `vence`.
// Two dates are compared as dates: as texts, day-first dates of different months
// or years would order wrongly. Anything that is not a date is compared as text.
bool dentroDeVencimiento(const QString& fecha, const QVariant& vence) {
    const QString venceTexto = texto(vence).trimmed();
    if (fecha.trimmed().isEmpty() || venceTexto.isEmpty())
        return true;
    const auto f = ado::InterpretaFecha(fecha.trimmed());
    const auto v = vence.typeId() == QMetaType::QDateTime
                       ? std::optional<QDateTime>(vence.toDateTime())
                       : ado::InterpretaFecha(venceTexto);
    if (f && v)
        return f->date() <= v->date();
    return fecha.trimmed().compare(venceTexto) <= 0;
}

} // namespace

QString Numeracion::TextoStr(double valor) {
    QString t = plataforma::TextoNumero(valor);
    if (t.startsWith(QLatin1String("0.")))
        t.remove(0, 1);
    else if (t.startsWith(QLatin1String("-0.")))
        t.remove(1, 1);
    return valor < 0 ? t : u' ' + t;
}

qint32 Numeracion::ValidaTCRegistraciones(int Mes, const QString& Periodo,
                                          const std::optional<QString>& TipoReg) {
    DB_Dll& db = app_.db;
    qint32 resultado = 0;
    QString mes;
    QString periodo;
    QString tipo;
    QString condicion; // from the register type to the period
    bool enCentros = false;
    ado::Recordset rs;
    const auto maximo = [&](const QString& tabla) {
        return QStringLiteral("SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM ") + tabla +
               QStringLiteral(" WITH(NOLOCK) WHERE MES_OPERATIVO = ") + mes + condicion;
    };
    const auto leido = [&]() -> QVariant {
        if (rs.Eof())
            return {};
        return rs.Fields(QStringLiteral("NRO_ASIENTO")).Value();
    };
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(db.TratamientoErrores(
                f, plataforma::kEstiloError, QStringLiteral("ValidaTCRegistraciones")));
        },
        {[&] {
             mes = QString::number(Mes);
             periodo = TextoStr(LeeNumero(Periodo));
             tipo = TipoReg ? TipoReg->trimmed() : QString();
         },
         [&] {
             const QString periodoSentencia = TextoStr(LeeNumero(periodo));
             if (tipo.isEmpty())
                 condicion = QStringLiteral(" AND (TIPO_REG = '") + QChar(0xFF) +
                             QStringLiteral("RS' OR TIPO_REG = '') AND PERIODO = ") +
                             periodoSentencia;
             else
                 condicion = QStringLiteral(" AND TIPO_REG = '") +
                             plataforma::DuplicaComillas(tipo) +
                             QStringLiteral("' AND PERIODO = ") + periodoSentencia;
         },
         [&] { db.AbrirRecordset(maximo(QStringLiteral("@ADMIN_MV_ASIENTOS")), rs); },
         [&] {
             const QVariant v = leido();
             resultado = esNulo(v) ? 1 : static_cast<qint32>(numero(v) + 1);
             db.CierraRecordset(rs);
         },
         [&] {
             // The cost-centre journal shares the numbering: the number may be taken there.
             db.AbrirRecordset(QStringLiteral("SELECT [NUMERO ASIENTO] AS [NRO_ASIENTO] FROM ") +
                                   QStringLiteral("@ADMIN_MV_ASIENTOSCCOSTO") +
                                   QStringLiteral(" WITH(NOLOCK) WHERE MES_OPERATIVO = ") + mes +
                                   condicion + QStringLiteral(" AND [NUMERO ASIENTO] = ") +
                                   QString::number(resultado),
                               rs);
         },
         [&] {
             enCentros = !esNulo(leido());
             db.CierraRecordset(rs);
         },
         [&] {
             if (enCentros)
                 db.AbrirRecordset(maximo(QStringLiteral("@ADMIN_MV_ASIENTOSCCOSTO")), rs);
         },
         [&] {
             if (!enCentros)
                 return;
             const QVariant v = leido();
             if (!esNulo(v))
                 resultado = static_cast<qint32>(numero(v) + 1);
             db.CierraRecordset(rs);
         }});
    if (rs.State() == ado::adStateOpen)
        rs.Close();
    return resultado;
}

void Numeracion::Obtener_Nro_Comprobante_Contable(const QString& TC, QString& Sucursal,
                                                  QString& Numero, QString& Letra,
                                                  bool& Modificable, const QString& Fecha,
                                                  const QString& UNegocio, QString& NroHasta) {
    DB_Dll& db = app_.db;
    const QString tc = TC.trimmed().toUpper();
    const QString codigo = plataforma::DuplicaComillas(Utilidades::AjustaCodigo(TC.trimmed(), 4));
    QString filtro;
    bool agotado = false;
    bool sinTalonario = false;
    ado::Recordset rs;
    const auto es = [&](std::initializer_list<const char*> tipos) {
        for (const char* t : tipos)
            if (tc == QLatin1String(t))
                return true;
        return false;
    };
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(db.TratamientoErrores(
                f, plataforma::kEstiloError, QStringLiteral("Obtener_Nro_Comprobante_Contable")));
        },
        {[&] {
             // The user's own branch and letter for the voucher types that have them.
             if (!es({"OT", "FC", "NC", "ND"}) || !Sucursal.trimmed().isEmpty())
                 return;
             ado::Recordset usuario;
             if (app_.cfg.ExisteRegistro(QStringLiteral("TA_Usuarios"),
                                         plataforma::DuplicaComillas(app_.sesion.gUsuarioLogeado),
                                         QStringLiteral("Nombre"), &usuario, 8)) {
                 const QString sucot =
                     texto(usuario.Fields(QStringLiteral("sucot")).Value()).trimmed();
                 const QString letot =
                     texto(usuario.Fields(QStringLiteral("letot")).Value()).trimmed();
                 if (!sucot.isEmpty() && sucot != QLatin1String("0000")) {
                     Sucursal = u'*' + sucot;
                     if (!letot.isEmpty())
                         Letra = letot;
                 }
             }
             db.CierraRecordset(usuario);
         },
         [&] {
             if (Letra.trimmed().isEmpty())
                 Letra = QStringLiteral("X");
         },
         [&] {
             if (Letra.size() > 1 && Letra.startsWith(u'*')) {
                 Letra.remove(0, 1);
                 filtro = QStringLiteral(" AND (LETRAs LIKE('%") +
                          plataforma::DuplicaComillas(Letra) + QStringLiteral("%')) ");
             }
         },
         [&] {
             if (!(Sucursal.size() > 1 && Sucursal.startsWith(u'*')))
                 return;
             Sucursal.remove(0, 1);
             filtro = QStringLiteral(" AND A_SUC_DEFAULT = '") +
                      plataforma::DuplicaComillas(Sucursal) + u'\'';
             db.AbrirRecordset(QStringLiteral("SELECT * FROM V_TA_CPTE  WHERE CODIGO = '") +
                                   codigo + QStringLiteral("' ") + filtro,
                               rs);
             if (rs.Eof())
                 filtro.clear();
             db.CierraRecordset(rs);
         },
         [&] {
             const QString unidad = UNegocio.trimmed();
             if (unidad.isEmpty())
                 db.AbrirRecordset(QStringLiteral("SELECT * FROM V_TA_CPTE   WHERE CODIGO = '") +
                                       codigo + u'\'' + filtro +
                                       QStringLiteral(" ORDER BY TALONARIO"),
                                   rs);
             else
                 db.AbrirRecordset(
                     QStringLiteral("SELECT * FROM V_TA_CPTE WHERE  CODIGO = '") + codigo +
                         QStringLiteral("' AND (UNEGOCIO = '") +
                         plataforma::DuplicaComillas(Utilidades::AjustaCodigo(unidad, 4)) +
                         QStringLiteral("' OR (UNEGOCIO = '' OR UNEGOCIO is null) ) ") + filtro +
                         QStringLiteral("  ORDER BY TALONARIO"),
                     rs);
             if (!unidad.isEmpty() && rs.Eof())
                 db.AbrirRecordset(QStringLiteral("SELECT * FROM V_TA_CPTE  WHERE CODIGO = '") +
                                       codigo + QStringLiteral("' ORDER BY TALONARIO"),
                                   rs);
         },
         [&] {
             if (!rs.Eof())
                 return;
             Sucursal = QStringLiteral("1");
             Numero = QStringLiteral("1");
             Letra = QStringLiteral("X");
             sinTalonario = true;
         },
         [&] {
             // A retry takes up the book that failed; the ones before it are done.
             for (; !sinTalonario && !rs.Eof(); rs.MoveNext()) {
                 const QString letras = texto(rs.Fields(QStringLiteral("Letras")).Value());
                 if (!letras.contains(Letra.trimmed(), Qt::CaseInsensitive) &&
                     tc != QLatin1String("OT")) {
                     Letra = letras.left(1);
                     if (Letra.trimmed().isEmpty())
                         Letra = QStringLiteral("X");
                 }
                 const QString l = Letra.trimmed();
                 const QVariant ultimo = rs.Fields(l + QStringLiteral("_ULTIMO_NRO")).Value();
                 const QVariant hasta = rs.Fields(l + QStringLiteral("_NRO_HASTA")).Value();
                 // A book without an upper number is never used up.
                 if (!esNulo(hasta) && numero(ultimo) >= numero(hasta)) {
                     agotado = true;
                     continue;
                 }
                 if (!dentroDeVencimiento(Fecha, rs.Fields(l + QStringLiteral("Vence")).Value()))
                     continue;
                 const double sucursalLibro =
                     numero(rs.Fields(l + QStringLiteral("_SUC_DEFAULT")).Value());
                 if (es({"FC", "OT", "PR"}) && !Sucursal.trimmed().isEmpty() &&
                     LeeNumero(Sucursal) != sucursalLibro)
                     continue;
                 Sucursal = conCeros(sucursalLibro, 4);
                 Numero =
                     numero(ultimo) == 0 ? QStringLiteral("00000001") : conCeros(numero(ultimo), 8);
                 if (!esNulo(hasta))
                     NroHasta = conCeros(numero(hasta), 8);
                 Modificable = Aplicacion::ValorLogico(
                     texto(rs.Fields(QStringLiteral("Modificanumeracion")).Value()), true);
                 agotado = false;
                 break;
             }
         },
         [&] {
             if (!sinTalonario)
                 Letra = Letra.trimmed();
         },
         [&] {
             if (agotado && !sinTalonario)
                 app_.dialogo.MsgBox(
                     QStringLiteral("Todos los talonarios del comprobante ") + TC +
                         QStringLiteral(" se encuentran utilizados, debe dar de alta "
                                        "un nuevo talonario para el comprobante ") +
                         TC,
                     plataforma::Estilo{});
         }});
    if (rs.State() == ado::adStateOpen)
        rs.Close();
}
