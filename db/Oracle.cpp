// Oracle: the program's SQL Server text rewritten into Oracle's dialect, and
// scripts cut into the single statements Oracle takes.

#include "Auxiliares.h"
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
    if (Contiene(Sentencia, QStringLiteral("SET NOCOUNT")) ||
        Contiene(Sentencia, QStringLiteral("IF NOT EXIST")))
        Sentencia.clear();
    return Sentencia;
}

void DB_Dll::EjecutaScript(QString& Script, long& RecordsAffected) {
    static const std::pair<const char*, const char*> normaliza[] = {
        {"SET NOCOUNT ON", ""},
        {"SET NOCOUNT OFF", ""},
        {" GO ", " "},
        {"\r\nGO ", " "},
        {"\r\nGO\r\n", " "},
        {"\r", " "},
        {"BEGIN TRANSACTION", "SET TRANSACTION"},
        {"BEGIN TRANS", "SET TRANSACTION"},
        {"COMMIT TRANSACTION", "COMMIT"},
        {"COMMIT TRANS", "COMMIT"},
        {"ROLLBACK TRANSACTION", "ROLLBACK"},
        {"ROLLBACK TRANS", "ROLLBACK"},
    };
    static const char* const claves[] = {"INSERT ",  "DELETE ",      "UPDATE ",         "CREATE ",
                                         "DROP ",    "ALTER ",       "SET TRANSACTION", "COMMIT",
                                         "ROLLBACK", "IF NOT EXIST", "IF EXIST",        "GRANT "};
    // Positions count from 1; this one, and any beyond, means "no keyword".
    constexpr qsizetype kNinguna = 1999999;
    const auto primeraClave = [&](qsizetype desde) {
        qsizetype menor = kNinguna;
        for (const char* clave : claves) {
            const auto i = Script.indexOf(QLatin1String(clave), desde - 1, CI);
            if (i >= 0 && i + 1 < menor)
                menor = i + 1;
        }
        return menor;
    };

    for (const auto& [busca, pone] : normaliza)
        Script.replace(QLatin1String(busca), QLatin1String(pone), CI);

    ado::Connection& cn = gCnn();
    for (;;) {
        const qsizetype inicio = primeraClave(1);
        if (inicio >= kNinguna)
            break;
        const qsizetype siguiente = primeraClave(inicio + 1);
        const qsizetype fin = siguiente >= kNinguna ? Script.size() : siguiente - 1;
        // Line feeds stay in the text: they are trimmed with the blanks.
        const QString sentencia = Script.mid(inicio - 1, fin - inicio + 1).trimmed();
        if (sentencia.compare(QLatin1String("SET TRANSACTION"), CI) == 0) {
            cn.BeginTrans();
        } else if (sentencia.compare(QLatin1String("COMMIT"), CI) == 0) {
            cn.CommitTrans();
        } else if (sentencia.compare(QLatin1String("ROLLBACK"), CI) == 0) {
            cn.RollbackTrans();
        } else {
            QString oracle = ORACLE_Dicc(sentencia);
            if (!SinBlancos(FiltraSentencia(oracle)).isEmpty()) {
                long filas = 0;
                cn.Execute(oracle, &filas, nullptr, -1);
                if (filas > 0)
                    RecordsAffected += filas;
            }
        }
        Script = Script.mid(fin);
    }
    if (cn.Errors().Count() == 1 && cn.Errors().Item(0).Number == 265929)
        cn.Errors().Clear();
}
