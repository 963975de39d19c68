// The throwing path: queries, statements and transactions for code that handles
// failures itself. Nothing here shows a box; every failure is raised as an
// ado::Falla that carries the provider's records.

#include "Auxiliares.h"
#include "db/DB_Dll.h"

#include <algorithm>

using namespace db::detalle;

namespace {

// The line to the server went down: what the provider reports for a broken or
// unreachable connection, with its records (an object error without records is a
// mistake of the caller, not a lost line).
bool esConexionPerdida(const ado::Falla& f) {
    return (f.Number == ado::codigo::E_FAIL || f.Number == ado::codigo::adErrInvalidConnection) &&
           !f.Registros.isEmpty();
}

bool esAviso(const ado::Error& e) {
    return e.SQLState.startsWith(QLatin1String("01"));
}

} // namespace

// The records travel with the failure; the list is left clean so that nobody
// reads them twice, or reads them as a later statement's.
void DB_Dll::lanza(const ado::Falla& falla) {
    gCnn().Errors().Clear();
    throw falla;
}

template <typename F> void DB_Dll::conReconexion(F&& intento) {
    try {
        intento();
        return;
    } catch (const ado::Falla& falla) {
        if (!esConexionPerdida(falla) || gCnn().EnTransaccion() || !reconecta(true))
            lanza(falla);
    }
    try {
        intento();
    } catch (const ado::Falla& falla) {
        lanza(falla);
    }
}

void DB_Dll::abreSinDialogos(const QString& sql, ado::Recordset& rs, int cursor, int bloqueo) {
    // A recordset still editing would refuse to close: its pending row is dropped,
    // as the caller is opening something else.
    if (rs.State() != ado::adStateClosed) {
        if (rs.EditMode() != ado::adEditNone)
            rs.CancelUpdate();
        rs.Close();
    }
    QString texto = SS_TSinonimos(sql);
    if (esConexionOracle())
        texto = ORACLE_Dicc(texto);
    conReconexion([&] { rs.Open(texto, gCnn(), cursor, bloqueo, -1); });
}

void DB_Dll::Consulta(const QString& sql, ado::Recordset& rs) {
    abreSinDialogos(sql, rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
}

void DB_Dll::ConsultaEditable(const QString& sql, ado::Recordset& rs) {
    abreSinDialogos(sql, rs, ado::adOpenDynamic, ado::adLockOptimistic);
}

long DB_Dll::Ejecuta(const QString& sql) {
    return Ejecuta(sql, {});
}

long DB_Dll::Ejecuta(const QString& sql, const QVariantList& parametros) {
    QString texto = SS_TSinonimos(sql);
    if (esConexionOracle())
        texto = ORACLE_Dicc(texto);
    long filas = 0;
    conReconexion([&] {
        filas = 0;
        if (parametros.isEmpty())
            gCnn().Execute(texto, &filas, nullptr, -1);
        else
            gCnn().Execute(texto, parametros, &filas);
        // A provider may report a failure without failing the call (an error
        // among the records of a statement that went through): it is one.
        const QList<ado::Error>& registros = gCnn().Errors().todos();
        for (const ado::Error& e : registros) {
            if (esAviso(e))
                continue;
            throw ado::Falla(e.Number != 0 ? e.Number : ado::codigo::E_FAIL, e.Description,
                             e.Source, registros);
        }
    });
    return filas;
}

int DB_Dll::FilasPorInsercion(int columnas) {
    if (esConexionOracle())
        return 1;
    // SQL Server takes at most 1,000 rows and 2,100 parameters a statement; the
    // embedded file's bound (32,766 values) is kept well clear of.
    const int valores = esServidorEmbebido(gServidor) ? 16000 : 2000;
    return std::clamp(valores / std::max(columnas, 1), 1, 1000);
}

// ------------------------------------------------------------- transactions

TransaccionDB::TransaccionDB(DB_Dll& db) : db_(db) {
    try {
        db_.gCnn().BeginTrans();
    } catch (const ado::Falla& falla) {
        db_.lanza(falla);
    }
}

TransaccionDB::~TransaccionDB() {
    if (terminada_)
        return;
    ado::Connection& cn = db_.gCnn();
    try {
        if (cn.EnTransaccion())
            cn.RollbackTrans();
    } catch (const ado::Falla&) {
        // A destructor cannot raise, and the failure that is leaving the scope (it
        // carries its records) is the one the caller must see; a server that
        // cannot roll back has lost the transaction anyway.
    }
    cn.Errors().Clear();
}

void TransaccionDB::Confirma() {
    try {
        db_.gCnn().CommitTrans();
    } catch (const ado::Falla& falla) {
        db_.lanza(falla);
    }
    terminada_ = true;
}
