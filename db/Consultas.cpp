// Queries and statements, and the common questions about one table.

#include "Auxiliares.h"
#include "db/DB_Dll.h"
#include "platform/Pasos.h"
#include "platform/Utilidades.h"

using namespace db::detalle;
using plataforma::Botones;
using plataforma::CorrePasos;
using plataforma::Estilo;
using plataforma::Icono;
using plataforma::Respuesta;

namespace {

const QString kTrans = QStringLiteral("TRANS");

QString textoLineas(std::initializer_list<QString> lineas) {
    QString r;
    for (const QString& l : lineas)
        r += l;
    return r;
}

} // namespace

// ------------------------------------------------------------------ recordsets

QString DB_Dll::textoConexionPerdida() const {
    const QString NL = QStringLiteral("\r\n");
    const DB_Dll& principal = compartida();
    return textoLineas({NL, NL, NL, QStringLiteral("Se perdio la conexion con la base de datos "),
                        principal.gDBName, NL, QStringLiteral(" Servidor "), principal.gServidor,
                        NL, NL, QStringLiteral("Elija SI para reintentar conectarse"), NL,
                        QStringLiteral("Elija NO para cerrar la aplicacion"), NL, NL, NL});
}

DB_Dll::Apertura DB_Dll::AbrirRecordset(QString& SentenciaSQL, ado::Recordset& Lrcs,
                                        ado::Connection* Conexionactiva, int CursorType,
                                        int LockType, int Options, bool ConvOracle) {
    int reintentos = 1;
    bool abierta = false;
    const auto manejador = [&](const ado::Falla& f) {
        const bool perdida =
            (f.Number == ado::codigo::E_FAIL || f.Number == ado::codigo::adErrInvalidConnection) &&
            gCnn().Errors().Count() > 0;
        if (perdida) {
            ReintentaConectar();
            while (!gOpenFlag) {
                if (dialogo_.MsgBox(textoConexionPerdida(), Estilo{Botones::YesNo, Icono::Critical},
                                    QStringLiteral("AVISO AL OPERADOR")) != Respuesta::Yes) {
                    if (terminaPrograma)
                        terminaPrograma();
                    return Respuesta::No;
                }
                ReintentaConectar();
            }
            // One automatic repeat per call; a second loss goes to the operator.
            if (++reintentos < 3)
                return Respuesta::Retry;
        }
        return plataforma::SaleSiNoHubo(
            TratamientoErrores(f, plataforma::kEstiloError, QStringLiteral("AbrirRecordset")));
    };
    const auto sale =
        CorrePasos(manejador, {
                                  [&] { CierraRecordset(Lrcs); },
                                  [&] { SentenciaSQL = SS_TSinonimos(SentenciaSQL); },
                                  [&] {
                                      ado::Connection& cn =
                                          Conexionactiva ? *Conexionactiva : gCnn();
                                      const QString texto = ConvOracle && esConexionOracle()
                                                                ? ORACLE_Dicc(SentenciaSQL)
                                                                : SentenciaSQL;
                                      Lrcs.Open(texto, cn, CursorType, LockType, Options);
                                      abierta = true;
                                  },
                              });
    if (abierta)
        return Apertura::Abierta;
    return sale ? Apertura::Abandonada : Apertura::Omitida;
}

DB_Dll::Apertura DB_Dll::AbrirRecordset(const QString& SentenciaSQL, ado::Recordset& Lrcs,
                                        ado::Connection* Conexionactiva, int CursorType,
                                        int LockType, int Options, bool ConvOracle) {
    QString sql = SentenciaSQL;
    return AbrirRecordset(sql, Lrcs, Conexionactiva, CursorType, LockType, Options, ConvOracle);
}

bool DB_Dll::CierraRecordset(ado::Recordset& LrcsTemp) {
    CorrePasos(
        [&](const ado::Falla& f) {
            if (f.Number == ado::codigo::adErrIllegalOperation) {
                // An edit is pending: drop it so that the recordset can close.
                try {
                    LrcsTemp.CancelUpdate();
                    if (LrcsTemp.State() != ado::adStateClosed)
                        LrcsTemp.Close();
                } catch (const ado::Falla&) {
                    // Dropping the edit is all that was asked: whatever else the
                    // recordset refuses, the caller is done with it.
                }
                return Respuesta::OK;
            }
            return plataforma::SaleSiNoHubo(
                TratamientoErrores(f, plataforma::kEstiloError, QStringLiteral("CierraRecordset")));
        },
        {[&] {
            if (LrcsTemp.State() != ado::adStateClosed)
                LrcsTemp.Close();
        }});
    return LrcsTemp.State() == ado::adStateClosed;
}

// -------------------------------------------------------------------- commands

void DB_Dll::ejecuta(QString& sql, long& filas, ado::Recordset* Lrcs, bool informa) {
    try {
        // Only a script that remakes a view goes through the synonyms; other
        // statements just lose their markers.
        if (Contiene(sql, QStringLiteral("DROP")) && Contiene(sql, QStringLiteral("CREATE")) &&
            !Contiene(sql, QStringLiteral("DELETE")) && !Contiene(sql, QStringLiteral("@ADMIN_")))
            sql = SS_TSinonimos(sql);
        else
            sql.remove(QStringLiteral("@Admin_"), Qt::CaseInsensitive);
        if (esConexionOracle()) {
            EjecutaScript(sql, filas);
        } else {
            long n = 0;
            gCnn().Execute(sql, &n, Lrcs, -1);
            filas = n;
        }
        // A truncation warning of a statement that went through is not a failure.
        ado::Errores& errores = compartida().gCnn().Errors();
        if ((errores.Count() == 1 || errores.Count() == 2) && !Contiene(sql, kTrans) &&
            errores.Item(0).NativeError == 8152)
            errores.Clear();
    } catch (const ado::Falla& f) {
        // A failed statement keeps every message of the provider: callers read them.
        // Only the provider's failures are kept quiet; anything else is a fault of
        // the program and travels on.
        if (!informa)
            return;
        using namespace ado::codigo;
        const bool esperada = f.Number == E_FAIL || f.Number == DB_E_INTEGRITYVIOLATION ||
                              f.Number == DB_E_NOTABLE || f.Number == DB_E_ERRORSINCOMMAND;
        if (!esperada && !Contiene(sql, kTrans))
            dialogo_.MsgBox(f.Description, Estilo{Botones::OKOnly, Icono::Critical},
                            QStringLiteral("Aviso al operador!!!"));
    }
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, long& RecordsAffected,
                                ado::Recordset* Lrcs) {
    ejecuta(SentenciaSQL, RecordsAffected, Lrcs, false);
}

void DB_Dll::EjecutaConsultaSQL(const QString& SentenciaSQL) {
    QString sql = SentenciaSQL;
    long filas = 0;
    ejecuta(sql, filas, nullptr, false);
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, long& RecordsAffected,
                                 ado::Recordset* Lrcs) {
    ejecuta(SentenciaSQL, RecordsAffected, Lrcs, true);
}

void DB_Dll::EjecutaConsultaRSQL(const QString& SentenciaSQL) {
    QString sql = SentenciaSQL;
    long filas = 0;
    ejecuta(sql, filas, nullptr, true);
}

// --------------------------------------------------------------- table queries

namespace {

enum class Forma { Existe, ExisteST, Datos };

QString sentenciaClave(Forma forma, const QString& tabla, const QVariant& valorBuscado,
                       const QString& campo, int tipo, const QString& condicion, bool usaTrim) {
    const QString valor = valorBuscado.toString();
    if (forma != Forma::Datos && !SinBlancos(condicion).isEmpty()) {
        const QString union_ = Contiene(condicion, QStringLiteral(" WHERE "))
                                   ? QStringLiteral(" ")
                                   : QStringLiteral(" WHERE ");
        const QString cabeza =
            forma == Forma::Existe
                ? QStringLiteral("SELECT TOP 1 * FROM ") + tabla + QStringLiteral(" with(nolock) ")
                : QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" with(nolock)  ");
        return cabeza + union_ + condicion;
    }
    const QString cabeza = (forma == Forma::ExisteST ? QStringLiteral("SELECT * FROM ")
                                                     : QStringLiteral("SELECT TOP 1 * FROM ")) +
                           tabla +
                           (forma == Forma::ExisteST ? QStringLiteral(" with(nolock)   WHERE ")
                                                     : QStringLiteral(" with(nolock)  WHERE "));
    QString sql;
    switch (tipo) {
    case 8:
        if (forma == Forma::Existe)
            sql = QStringLiteral("SELECT TOP 1  * FROM ") + tabla +
                  QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") + campo +
                  QStringLiteral(")) ='") + SinBlancos(valor) + u'\'';
        else if (forma == Forma::ExisteST)
            sql = cabeza + campo + QStringLiteral(" ='") + valor + u'\'';
        else if (usaTrim)
            sql = cabeza + QStringLiteral("LTRIM(RTRIM(") + campo + QStringLiteral(")) ='") +
                  SinBlancos(valor) + QStringLiteral("' ");
        else
            sql = cabeza + campo + QStringLiteral(" ='") + valor + QStringLiteral("' ");
        break;
    case 7:
        sql =
            forma == Forma::Datos
                ? cabeza + campo + QStringLiteral(" = #") + SinBlancos(valor) + QStringLiteral("# ")
                : cabeza + campo + QStringLiteral(" = ") + SinBlancos(valor) + u' ';
        break;
    case 3:
    case 4:
    case 5:
        sql = cabeza + campo + QStringLiteral(" = ") + TextoNumero(LeeNumero(valor));
        break;
    default:
        sql = cabeza + campo + QStringLiteral(" = ") + valor;
        break;
    }
    if (forma == Forma::Datos && !SinBlancos(condicion).isEmpty())
        sql += QStringLiteral(" AND ") + condicion;
    return sql;
}

} // namespace

Respuesta DB_Dll::avisoOperador(const ado::Falla& falla) {
    return dialogo_.MsgBox(falla.Description, Estilo{Botones::AbortRetryIgnore, Icono::Critical},
                           QStringLiteral("Aviso al Operador"));
}

bool DB_Dll::existeEn(const QString& sql, ado::Connection& cn, ado::Recordset* Lrcs,
                      bool SoloLectura, bool traduce) {
    bool existe = false;
    std::optional<Respuesta> sale;
    const auto manejador = [this](const ado::Falla& f) { return avisoOperador(f); };
    if (!Lrcs) {
        ado::Recordset rs;
        sale =
            CorrePasos(manejador, {
                                      [&] {
                                          rs.Open(traduce ? ORACLE_Dicc(sql) : sql, cn,
                                                  ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
                                      },
                                      [&] { existe = !rs.BOF(); },
                                      [&] { rs.Close(); },
                                  });
    } else {
        const int cursor = SoloLectura ? int(ado::adOpenForwardOnly) : Lrcs->CursorType();
        const int bloqueo = SoloLectura ? int(ado::adLockReadOnly) : Lrcs->LockType();
        sale = CorrePasos(manejador, {
                                         [&] {
                                             if (Lrcs->State() != ado::adStateClosed)
                                                 Lrcs->Close();
                                         },
                                         [&] { Lrcs->Open(sql, cn, cursor, bloqueo, -1); },
                                         [&] { existe = !Lrcs->BOF(); },
                                     });
    }
    return sale ? false : existe;
}

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QVariant& ValorBuscado, const QString& Campo,
                           ado::Recordset* Lrcs, int Tipodato, const QString& Condicion,
                           bool SoloLectura) {
    const QString sql = SS_TSinonimos(
        sentenciaClave(Forma::Existe, Tabla, ValorBuscado, Campo, Tipodato, Condicion, true));
    return existeEn(sql, gCnn(), Lrcs, SoloLectura, true);
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QVariant& ValorBuscado,
                             const QString& Campo, ado::Recordset* Lrcs, int Tipodato,
                             const QString& Condicion, bool SoloLectura) {
    const QString sql =
        sentenciaClave(Forma::ExisteST, Tabla, ValorBuscado, Campo, Tipodato, Condicion, false);
    return existeEn(sql, compartida().gCnn(), Lrcs, SoloLectura, false);
}

QVariant DB_Dll::DatosTabla(const QString& Tabla, const QVariant& ValorBuscado,
                            const QString& CampoDevuelto, const QString& Campo, int Tipodato,
                            const QString& Condicion, bool UsaTrim, bool IgnoraError) {
    QString sql =
        sentenciaClave(Forma::Datos, Tabla, ValorBuscado, Campo, Tipodato, Condicion, UsaTrim);
    QVariant resultado;
    bool perdida = false;
    ado::Recordset rs;
    const auto sale = CorrePasos(
        [&](const ado::Falla& f) {
            if (IgnoraError) {
                resultado = QString();
                return Respuesta::Cancel;
            }
            return avisoOperador(f);
        },
        {
            [&] {
                AbrirRecordset(sql, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1,
                               true);
                perdida = !gOpenFlag;
            },
            [&] {
                if (perdida)
                    return;
                resultado = rs.Eof()
                                ? QString()
                                : Utilidades::SinNulo(rs.Fields(CampoDevuelto).Value()).toString();
            },
            [&] {
                if (rs.State() != ado::adStateClosed)
                    rs.Close();
            },
        });
    if (perdida)
        return {};
    if (sale)
        return IgnoraError ? QVariant(QString()) : QVariant();
    return resultado;
}

// ------------------------------------------------------------------ aggregates

std::optional<QString> DB_Dll::leeAgregado(const QString& sql, const QString& columna) {
    ado::Recordset rs;
    rs.Open(sql, gCnn(), ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
    if (rs.Eof())
        return std::nullopt;
    const QString valor = Utilidades::SinNulo(rs.Fields(columna).Value()).toString();
    rs.Close();
    return valor;
}

namespace {

// Nothing when the query gave no row.
QVariant numerico(const std::optional<QString>& texto) {
    return texto ? QVariant(LeeNumero(*texto)) : QVariant();
}

} // namespace

QVariant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo, int Tipo,
                             QString& Condicion) {
    const auto sentencia = [&] {
        QString sql = QStringLiteral("SELECT MAX(") + QueCampo +
                      QStringLiteral(") AS MAYOR FROM ") + QueTabla;
        if (!SinBlancos(Condicion).isEmpty())
            sql += QStringLiteral(" WHERE ") + SinBlancos(Condicion);
        return sql;
    };
    auto mayor = leeAgregado(sentencia(), QStringLiteral("MAYOR"));
    // Article codes that start with 0 are not numbered ones: the greatest is
    // looked for among the others.
    if (mayor && QueTabla.compare(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive) == 0 &&
        SinBlancos(*mayor).startsWith(u'0')) {
        const QString excluye = QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'");
        Condicion = SinBlancos(Condicion).isEmpty()
                        ? excluye
                        : Condicion + QStringLiteral(" and substring(ltrim(idarticulo),1,1)<>'0'");
        mayor = leeAgregado(sentencia(), QStringLiteral("MAYOR"));
    }
    if (Tipo == 7)
        return mayor ? QVariant(*mayor) : QVariant();
    return numerico(mayor);
}

QVariant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo, int Tipo) {
    QString condicion;
    return BuscaMaximo(QueTabla, QueCampo, Tipo, condicion);
}

QVariant DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo, int /*Tipo*/,
                             const QString& Condicion) {
    QString sql = QStringLiteral("SELECT MIN(") + QueCampo + QStringLiteral(") AS MENOR FROM ") +
                  QueTabla + QStringLiteral("  with(nolock) ");
    if (!SinBlancos(Condicion).isEmpty())
        sql += QStringLiteral(" WHERE ") + SinBlancos(Condicion);
    return numerico(leeAgregado(sql, QStringLiteral("MENOR")));
}

QVariant DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, int /*Tipo*/,
                                   const QString& Condicion) {
    QString sql =
        QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (!SinBlancos(Condicion).isEmpty())
        sql += QStringLiteral(" WHERE ") + Condicion;
    return numerico(leeAgregado(sql, QStringLiteral("MAYOR")));
}
