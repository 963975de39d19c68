// Oracle: the program's SQL Server text rewritten into Oracle's dialect, and
// scripts cut into the single statements Oracle takes.

#include "Auxiliares.h"
#include "ScriptOracle.h"
#include "TraduceOracle.h"
#include "db/DB_Dll.h"
#include "platform/Utilidades.h"

using namespace db::detalle;

namespace {

constexpr auto CI = Qt::CaseInsensitive;

// A single word is no statement: it is left alone, save LEN asked for by name.
std::optional<QString> palabraSola(const QString& texto) {
    if (Utilidades::CuentaPalabras(texto) > 1)
        return std::nullopt;
    return texto.compare(QLatin1String("LEN"), CI) == 0 ? QStringLiteral("LENGTH") : texto;
}

} // namespace

QString DB_Dll::ORACLE_Dicc(const QString& Valor) const {
    if (!Contiene(gConnString, QStringLiteral("ORACLE")))
        return Valor;
    if (const auto sola = palabraSola(Valor))
        return *sola;
    return db::oracle::Traduce(Valor);
}

QString DB_Dll::ConvierteTopOracle(const QString& Sentencia) const {
    if (!Contiene(gConnString, QStringLiteral("oracle")))
        return Sentencia;
    if (const auto sola = palabraSola(Sentencia))
        return *sola;
    return db::oracle::ConvierteTop(Sentencia);
}

// ---------------------------------------------------------------- scripts

QString DB_Dll::FiltraSentencia(QString& Sentencia) {
    if (db::oracle::EsSetNocount(Sentencia))
        Sentencia.clear();
    return Sentencia;
}

void DB_Dll::EjecutaScript(QString& Script, long& RecordsAffected) {
    using db::oracle::PasoScript;
    ado::Connection& cn = gCnn();
    // Callers judge a script by the connection's error list alone (they roll back
    // and log by it), so whatever stops one is put there: the provider's records
    // are already, a failure of our own goes in as the one entry.
    const auto anota = [&cn](const ado::Falla& f) {
        if (!f.Registros.isEmpty()) {
            if (cn.Errors().Count() == 0)
                cn.Errors().Add(f.Registros);
            return;
        }
        cn.Errors().Clear();
        cn.Errors().Add(
            ado::Error{f.Number, f.Description, QStringLiteral("42000"), f.Number, f.Source});
    };

    Script = db::oracle::NormalizaScript(Script);
    const QString normalizado = Script;
    // Everything is cut and translated before anything runs: a script that cannot
    // be carried over whole is not begun.
    QList<PasoScript> pasos;
    try {
        pasos = db::oracle::CortaScript(normalizado);
        for (PasoScript& paso : pasos) {
            if (paso.clase != PasoScript::Clase::Sentencia)
                continue;
            paso.sentencia = ORACLE_Dicc(paso.sentencia);
            FiltraSentencia(paso.sentencia);
            if (!paso.condicion.isEmpty())
                paso.condicion = ORACLE_Dicc(paso.condicion);
        }
    } catch (const ado::Falla& f) {
        anota(f);
        throw;
    }

    try {
        for (const PasoScript& paso : pasos) {
            // What is left for the caller when this step fails.
            Script = normalizado.mid(paso.inicio);
            switch (paso.clase) {
            case PasoScript::Clase::Inicia:
                cn.BeginTrans();
                break;
            // Oracle takes COMMIT and ROLLBACK with no transaction open as doing nothing.
            case PasoScript::Clase::Confirma:
                if (cn.EnTransaccion())
                    cn.CommitTrans();
                break;
            case PasoScript::Clase::Revierte:
                if (cn.EnTransaccion())
                    cn.RollbackTrans();
                break;
            case PasoScript::Clase::Sentencia:
                if (!paso.condicion.isEmpty()) {
                    ado::Recordset rs;
                    rs.Open(paso.condicion, cn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
                    const bool hay = !rs.Eof();
                    rs.Close();
                    if (hay == paso.niega)
                        break;
                }
                if (!SinBlancos(paso.sentencia).isEmpty()) {
                    long filas = 0;
                    cn.Execute(paso.sentencia, &filas, nullptr, -1);
                    if (filas > 0)
                        RecordsAffected += filas;
                }
                break;
            }
        }
    } catch (const ado::Falla& f) {
        anota(f);
        throw;
    }
    if (!pasos.isEmpty())
        Script.clear();
    if (cn.Errors().Count() == 1 && cn.Errors().Item(0).Number == 265929)
        cn.Errors().Clear();
}
