#include "app/Configuracion.h"

#include "db/DB_Dll.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "platform/Utilidades.h"

#include <QHash>
#include <QTime>

#include <cstdlib>

namespace {

bool esSi(const QString& v) {
    return v.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}

// False for an empty value and for "NO"; true for anything else.
bool pruebaNo(const QString& v) {
    return !v.trimmed().isEmpty() && v.compare(QLatin1String("NO"), Qt::CaseInsensitive) != 0;
}

// How the server matches a key: without regard to letter case or trailing blanks.
QString claveComparable(const QString& clave) {
    QString k = clave;
    while (!k.isEmpty() && k.back() == u' ')
        k.chop(1);
    return k.toUpper();
}

// The keys the global settings are read from, all in one statement.
const char* const kClavesGlobales[] = {
    "MostrarStockenConsultas",
    "TituloClientes",
    "TituloProveedores",
    "EXIGECLAVECONSULTALIKEARTICULOS",
    "UsaConsultaLike",
    "CantidadDecimales",
    "SS_CONFIDENCIALIDAD",
    "UsaMultilesMonedas",
    "UsaFacturaProforma",
    "USACCOSTO",
    "USA_STK_STOCK_UDKG",
    "UNIDADDEMEDIDA_M3",
    "UNIDADDEMEDIDA_BL",
    "UNIDADDEMEDIDA_KG",
    "PERIODO",
    "RazonSocialPorUneg",
    "VALIDACODIGOBARRA",
    "CFondo",
    "CLetra",
    "ModuloOrdenDeTrabajo",
    "V_ModificaCPrecio",
    "C_ModificaCPrecio",
    "MADERERA",
    "MAD_TIRAS",
    "MAD_P2",
    "MAD_ML",
    "MAD_M2",
    "MAD_HOJAS",
    "MAD_ML_P2",
    "MAD_M2_P2",
    "MAD_ML_M2",
    "CuentaCtroDist",
    "MaxDto",
    "MaxDtoProforma",
    "PideClave_StockNeg",
    "PideClave_MarkUpBase",
    "PideClave_LimiteCredito",
    "SS_BloqueoActivo",
    "UTILIZARFECHADIA",
    "AsignacionAutomaticaDeLoteING",
    "AsignacionAutomaticaDeLoteINGOP",
    "CONDIVAEMPRESA",
    "CONDIVA",
    "Top_Default",
};

qint16 entero16(const QString& v) {
    return static_cast<qint16>(qRound(Utilidades::ANumero(v.trimmed()).aDouble()));
}

} // namespace

Configuracion::Configuracion(DB_Dll& principal, DB_Dll& estadisticas,
                             plataforma::DialogoOperador& dialogo, Tratamiento tratamiento)
    : principal_(principal), estadisticas_(estadisticas), dialogo_(dialogo),
      tratamiento_(std::move(tratamiento)) {}

QString Configuracion::SentenciaCfg(const QString& Clave) const {
    QString sql = QStringLiteral("SELECT VALOR, valoraux FROM ") + gTablaConfiguracion +
                  QStringLiteral(" with(nolock)  WHERE CLAVE = '") +
                  plataforma::DuplicaComillas(Clave.trimmed()) + u'\'';
    const QString k = Clave.trimmed();
    if (k.compare(QLatin1String("[FECHA HASTA]"), Qt::CaseInsensitive) == 0 ||
        k.compare(QLatin1String("[FECHA DESDE]"), Qt::CaseInsensitive) == 0)
        sql = sql.toUpper();
    return sql;
}

QString Configuracion::SentenciaGrabaDfg(const QString& Clave) const {
    return QStringLiteral("SELECT * FROM ") + gTablaConfiguracion +
           QStringLiteral(" with(nolock)  WHERE CLAVE = '") + plataforma::DuplicaComillas(Clave) +
           u'\'';
}

QString Configuracion::SentenciaCfgVarias(const QStringList& Claves) const {
    QStringList citadas;
    for (const QString& c : Claves)
        citadas << u'\'' + plataforma::DuplicaComillas(c.trimmed()) + u'\'';
    return QStringLiteral("SELECT CLAVE, VALOR, valoraux FROM ") + gTablaConfiguracion +
           QStringLiteral(" with(nolock)  WHERE CLAVE IN (") + citadas.join(u',') + u')';
}

std::optional<QList<Configuracion::ValorCfg>> Configuracion::CfgVarias(const QStringList& Claves) {
    if (!principal_.gOpenFlag || Claves.isEmpty())
        return std::nullopt;
    if (gTablaConfiguracion.trimmed().isEmpty())
        gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    QHash<QString, ValorCfg> filas;
    ado::Recordset rs;
    try {
        principal_.Consulta(SentenciaCfgVarias(Claves), rs);
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString clave = claveComparable(
                Utilidades::SinNulo(rs.Fields(QStringLiteral("CLAVE")).Value()).toString());
            // The first row of a key is the one a read of that key alone gives.
            if (!filas.contains(clave))
                filas.insert(
                    clave,
                    {Utilidades::SinNulo(rs.Fields(QStringLiteral("VALOR")).Value()).toString(),
                     Utilidades::SinNulo(rs.Fields(QStringLiteral("valoraux")).Value())
                         .toString()});
        }
        rs.Close();
    } catch (const ado::Falla&) {
        return std::nullopt;
    }
    QList<ValorCfg> valores;
    for (const QString& c : Claves) {
        const QString k = c.trimmed();
        ValorCfg v = filas.value(claveComparable(k), ValorCfg{QStringLiteral(" "), QString()});
        if (k.compare(QLatin1String("THEME"), Qt::CaseInsensitive) == 0 &&
            v.valor.trimmed().isEmpty())
            v.valor = QStringLiteral("1");
        valores.append(v);
    }
    return valores;
}

QString Configuracion::lee(DB_Dll& db, const QString& rutina, const QString& Clave,
                           QString& ValorAux) {
    if (gTablaConfiguracion.trimmed().isEmpty())
        gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    QString resultado;
    ValorAux.clear();
    ado::Recordset rs;
    const auto respuesta = plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            // Ignore goes on with the next step; any other answer, Retry included,
            // leaves with an empty value.
            return tratamiento_(f, plataforma::kEstiloError, rutina) ==
                           plataforma::Respuesta::Ignore
                       ? plataforma::Respuesta::Ignore
                       : plataforma::Respuesta::Cancel;
        },
        {[&] {
             QString sql = SentenciaCfg(Clave);
             db.AbrirRecordset(sql, rs);
         },
         [&] {
             if (rs.Eof()) {
                 resultado = QStringLiteral(" ");
             } else {
                 resultado =
                     Utilidades::SinNulo(rs.Fields(QStringLiteral("VALOR")).Value()).toString();
                 ValorAux =
                     Utilidades::SinNulo(rs.Fields(QStringLiteral("valoraux")).Value()).toString();
             }
         },
         [&] {
             db.CierraRecordset(rs);
             if (Clave.trimmed().compare(QLatin1String("THEME"), Qt::CaseInsensitive) == 0 &&
                 resultado.trimmed().isEmpty())
                 resultado = QStringLiteral("1");
         }});
    if (respuesta) { // the operator gave up: the neutral result
        if (rs.State() == ado::adStateOpen) {
            rs.CancelUpdate();
            rs.Close();
        }
        ValorAux.clear();
        return QString();
    }
    return resultado;
}

QString Configuracion::Cfg(const QString& Clave, QString& ValorAux) {
    if (!principal_.gOpenFlag) {
        ValorAux.clear();
        return QString();
    }
    return lee(principal_, QStringLiteral("Cfg"), Clave, ValorAux);
}

QString Configuracion::Cfg(const QString& Clave) {
    QString aux;
    return Cfg(Clave, aux);
}

QString Configuracion::CfgVX(const QString& Clave, QString& ValorAux) {
    return lee(estadisticas_, QStringLiteral("CfgVX"), Clave, ValorAux);
}

QString Configuracion::CfgVX(const QString& Clave) {
    QString aux;
    return CfgVX(Clave, aux);
}

void Configuracion::graba(DB_Dll& db, const QString& Clave, const QVariant& Valor,
                          const QString& ValorAux, bool PoliticaNegocio, const QString& Grupo,
                          bool RecortaValor) {
    ado::Recordset rs;
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {[&] {
             QString sql = SentenciaGrabaDfg(Clave);
             db.AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic);
         },
         [&] {
             if (rs.Eof())
                 rs.AddNew();
             else
                 rs.MoveFirst();
         },
         [&] { rs.Fields(QStringLiteral("Grupo")) = Grupo; },
         [&] { rs.Fields(QStringLiteral("Clave")) = Clave.trimmed().toUpper(); },
         [&] {
             rs.Fields(QStringLiteral("Valor")) =
                 RecortaValor ? QVariant(Valor.toString().trimmed()) : Valor;
         },
         [&] { rs.Fields(QStringLiteral("PoliticaNegocio")) = PoliticaNegocio ? 1 : 0; },
         [&] {
             if (!ValorAux.isEmpty())
                 rs.Fields(QStringLiteral("ValorAux")) = ValorAux.trimmed();
         },
         [&] { rs.Update(); },
         [&] {
             if (rs.EditMode() != ado::adEditNone)
                 rs.CancelUpdate();
             rs.Close();
         }});
}

void Configuracion::GrabaDfg(const QString& Clave, const QVariant& Valor, const QString& ValorAux,
                             bool PoliticaNegocio, const QString& Grupo, bool RecortaValor) {
    graba(principal_, Clave, Valor, ValorAux, PoliticaNegocio, Grupo, RecortaValor);
}

void Configuracion::GrabaCfgVX(const QString& Clave, const QVariant& Valor, const QString& ValorAux,
                               bool PoliticaNegocio, const QString& Grupo, bool RecortaValor) {
    graba(estadisticas_, Clave, Valor, ValorAux, PoliticaNegocio, Grupo, RecortaValor);
}

bool Configuracion::ExisteRegistro(const QString& Tabla, const QString& Valor, const QString& Campo,
                                   ado::Recordset* Registros, int Tipo, const QString& Condicion,
                                   bool Reabre) {
    QString sql;
    if (!Condicion.isEmpty()) {
        sql = QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)  ") +
              (Condicion.contains(QLatin1String(" WHERE "), Qt::CaseInsensitive)
                   ? QStringLiteral(" ")
                   : QStringLiteral(" WHERE ")) +
              Condicion;
    } else {
        const QString inicio =
            QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral("  with(nolock)  WHERE ");
        switch (Tipo) {
        case 8:
            sql = inicio + QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) ='") +
                  Valor + u'\'';
            break;
        case 7:
            sql = inicio + Campo + QStringLiteral(" = ") + Valor.trimmed() + u' ';
            break;
        case 3:
        case 4:
        case 5:
            sql = inicio + Campo + QStringLiteral(" = ") +
                  plataforma::TextoNumero(plataforma::LeeNumero(Valor)).trimmed();
            break;
        default:
            sql = inicio + Campo + QStringLiteral(" = ") + Valor;
        }
    }
    sql = principal_.SS_TSinonimos(sql);

    bool hay = false;
    ado::Recordset propia;
    ado::Recordset& rs = Registros ? *Registros : propia;
    const int cursor = Registros && !Reabre ? rs.CursorType() : ado::adOpenForwardOnly;
    const int cierre = Registros && !Reabre ? rs.LockType() : ado::adLockReadOnly;
    plataforma::CorrePasos(
        [&](const ado::Falla& f) {
            return dialogo_.MsgBox(f.Description,
                                   plataforma::Estilo{plataforma::Botones::AbortRetryIgnore,
                                                      plataforma::Icono::Critical},
                                   QStringLiteral("Aviso al Operador"));
        },
        {[&] {
             if (rs.State() == ado::adStateOpen)
                 rs.Close();
         },
         [&] { rs.Open(sql, principal_.gCnn(), cursor, cierre); }, [&] { hay = !rs.Eof(); },
         [&] {
             if (!Registros)
                 rs.Close();
         }});
    return hay;
}

void Configuracion::CargaConfiguracionGlobal(const QString& CarpetaPrograma,
                                             const QString& usuarioLogeado) {
    ConfiguracionGlobal& g = global;
    // Every key comes from one read; should it fail, each key is read alone, with
    // the dialogs of that read.
    QHash<QString, QString> leidas;
    const auto texto = [&](const char* clave) {
        const QString k = QString::fromLatin1(clave);
        const auto it = leidas.constFind(k);
        return it != leidas.cend() ? *it : Cfg(k);
    };
    const auto recortado = [&](const char* clave) { return texto(clave).trimmed(); };
    const auto si = [&](const char* clave) { return esSi(texto(clave)); };
    const auto siRecortado = [&](const char* clave) { return esSi(texto(clave).trimmed()); };
    const auto no = [&](const char* clave) { return pruebaNo(texto(clave)); };
    const auto moneda = [&](const char* clave) {
        return Utilidades::ANumero(texto(clave).trimmed());
    };
    const auto color = [&](const char* clave) {
        return static_cast<qint32>(Utilidades::ANumero(texto(clave)).aDouble());
    };

    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {[&] {
             std::srand(static_cast<unsigned>(QTime::currentTime().msecsSinceStartOfDay()));
             gTablaConfiguracion = QStringLiteral("ta_configuracion");
             QStringList claves;
             for (const char* c : kClavesGlobales)
                 claves << QString::fromLatin1(c);
             if (const auto valores = CfgVarias(claves))
                 for (qsizetype i = 0; i < claves.size(); ++i)
                     leidas.insert(claves[i], valores->at(i).valor);
         },
         [&] { g.MostrarStockenConsultas = si("MostrarStockenConsultas"); },
         [&] { g.TituloClientes = recortado("TituloClientes"); },
         [&] { g.TituloProveedores = recortado("TituloProveedores"); },
         [&] { g.ArchivoTareas = CarpetaPrograma + QStringLiteral("VXDOCTareas.vxf"); },
         [&] { g.EXIGECLAVECONSULTALIKEARTICULOS = si("EXIGECLAVECONSULTALIKEARTICULOS"); },
         [&] { g.UsaConsultaLike = si("UsaConsultaLike"); },
         [&] { g.CantidadDecimales = texto("CantidadDecimales"); },
         [&] { g.SS_CONFIDENCIALIDAD = si("SS_CONFIDENCIALIDAD"); },
         // CantidadDecimalesVentas only counts under the suite's sales programs.
         [&] { g.UsaMultilesMonedas = si("UsaMultilesMonedas"); },
         [&] { g.UsaFacturaProforma = si("UsaFacturaProforma"); },
         [&] { g.USACCOSTO = si("USACCOSTO"); },
         [&] { g.USA_STK_STOCK_UDKG = si("USA_STK_STOCK_UDKG"); },
         [&] {
             ado::Recordset rs;
             QString sql =
                 QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '") +
                 plataforma::DuplicaComillas(usuarioLogeado) + u'\'';
             if (principal_.AbrirRecordset(sql, rs) == DB_Dll::Apertura::Abierta && !rs.Eof()) {
                 g.UNegocio =
                     Utilidades::SinNulo(rs.Fields(QStringLiteral("UNegocio")).Value()).toString();
                 if (g.UsaFacturaProforma)
                     g.UsaFacturaProforma =
                         rs.Fields(QStringLiteral("verproforma")).Value().toBool();
             }
             principal_.CierraRecordset(rs);
         },
         [&] {
             if (g.UNegocio.isEmpty())
                 g.UNegocio = QStringLiteral("   1");
         },
         [&] { g.UNIDADDEMEDIDA_M3 = recortado("UNIDADDEMEDIDA_M3"); },
         [&] { g.UNIDADDEMEDIDA_BL = recortado("UNIDADDEMEDIDA_BL"); },
         [&] { g.UNIDADDEMEDIDA_KG = recortado("UNIDADDEMEDIDA_KG"); },
         [&] { g.PERIODO = entero16(texto("PERIODO")); },
         [&] { g.RazonSocialPorUneg = siRecortado("RazonSocialPorUneg"); },
         [&] { g.VALIDACODIGOBARRA = siRecortado("VALIDACODIGOBARRA"); },
         [&] {
             g.CFondo = color("CFondo");
             if (g.CFondo == 0)
                 g.CFondo = 0xFFFF00;
         },
         [&] { g.CLetra = color("CLetra"); },
         [&] {
             g.ModuloOrdenDeTrabajo = texto("ModuloOrdenDeTrabajo")
                                          .trimmed()
                                          .compare(QLatin1String("NO"), Qt::CaseInsensitive) != 0;
         },
         [&] { g.V_ModificaCPrecio = no("V_ModificaCPrecio"); },
         [&] { g.C_ModificaCPrecio = no("C_ModificaCPrecio"); },
         [&] { g.MADERERA = no("MADERERA"); }, [&] { g.MAD_TIRAS = recortado("MAD_TIRAS"); },
         [&] { g.MAD_P2 = recortado("MAD_P2"); }, [&] { g.MAD_ML = recortado("MAD_ML"); },
         [&] { g.MAD_M2 = recortado("MAD_M2"); }, [&] { g.MAD_HOJAS = recortado("MAD_HOJAS"); },
         [&] { g.MAD_ML_P2 = recortado("MAD_ML_P2"); },
         [&] { g.MAD_M2_P2 = recortado("MAD_M2_P2"); },
         [&] { g.MAD_ML_M2 = recortado("MAD_ML_M2"); },
         [&] { g.CuentaCtroDist = recortado("CuentaCtroDist"); },
         [&] { g.MaxDto = moneda("MaxDto"); }, [&] { g.MaxDtoProforma = moneda("MaxDtoProforma"); },
         [&] { g.PideClave_StockNeg = no("PideClave_StockNeg"); },
         [&] { g.PideClave_MarkUpBase = no("PideClave_MarkUpBase"); },
         [&] { g.PideClave_LimiteCredito = no("PideClave_LimiteCredito"); },
         [&] { g.SS_BloqueoActivo = si("SS_BloqueoActivo"); },
         [&] { g.UTILIZARFECHADIA = si("UTILIZARFECHADIA"); },
         [&] { g.AsignacionAutomaticaDeLoteING = si("AsignacionAutomaticaDeLoteING"); },
         [&] { g.AsignacionAutomaticaDeLoteINGOP = si("AsignacionAutomaticaDeLoteINGOP"); },
         [&] {
             g.CONDIVAEMPRESA = entero16(texto("CONDIVAEMPRESA"));
             if (g.CONDIVAEMPRESA == 0)
                 g.CONDIVAEMPRESA = entero16(texto("CONDIVA"));
             if (g.CONDIVAEMPRESA == 0)
                 g.CONDIVAEMPRESA = 1;
         },
         [&] {
             g.Top_Default = texto("Top_Default");
             if (g.Top_Default.trimmed().isEmpty())
                 g.Top_Default = QStringLiteral("1000");
         }});
    // The synonym rewrite reads this setting on every statement.
    principal_.confidencialidad = g.SS_CONFIDENCIALIDAD;
}
