// Table synonyms for users who are not administrators, and the schema helpers.

#include "Auxiliares.h"
#include "db/DB_Dll.h"
#include "platform/Pasos.h"

using namespace db::detalle;

namespace {

struct Sinonimo {
    const char* tabla;
    const char* sinonimo;
    bool segunEjecutable; // kept under the names of two other programs of the suite
};

// The order matters: AC_CUENTASDIARIO_CCOSTO must not be read as AC_CUENTASDIARIO,
// which the forms' closing blank or point already ensure.
constexpr Sinonimo kSinonimos[] = {
    {"MA_CUENTAS", "SS_MA_CUENTAS", false},
    {"V_TA_DEPOSITO", "SS_V_TA_DEPOSITO", true},
    {"MV_ASIENTOS", "SS_MV_ASIENTOS", false},
    {"V_TA_FAMILIAS", "SS_V_TA_FAMILIAS", true},
    {"V_TA_CAJAS", "SS_V_TA_CAJAS", false},
    {"AC_CUENTASDIARIO", "SS_AC_CUENTASDIARIO", false},
    {"AC_CUENTASDIARIO_CCOSTO", "SS_AC_CUENTAS_DIARIO_CCOSTO", false},
};

const QString kMarcaAdmin = QStringLiteral("@Admin_");

QString sinMarcaAdmin(QString sql) {
    return sql.remove(kMarcaAdmin, Qt::CaseInsensitive);
}

} // namespace

QString DB_Dll::SS_TSinonimos(const QString& SQL) const {
    if (gEsAdmin)
        return sinMarcaAdmin(SQL);
    if (Contiene(SQL, QStringLiteral("MV_ASIENTOS")) && !confidencialidad)
        return sinMarcaAdmin(SQL);

    QString s = SQL;
    const bool ejecutableExcluido =
        ejecutablesSinSinonimoDeposito.contains(ejecutable(), Qt::CaseInsensitive);
    for (const Sinonimo& e : kSinonimos) {
        if (e.segunEjecutable && ejecutableExcluido)
            continue;
        const QString t = QLatin1String(e.tabla);
        const QString n = QLatin1String(e.sinonimo);
        // Only a name that stands between these characters is a table name.
        static constexpr std::pair<char, char> formas[] = {
            {' ', ' '}, {'(', ' '}, {' ', '.'}, {'(', '.'}, {',', '.'}};
        for (const auto& [antes, despues] : formas)
            s.replace(QLatin1Char(antes) + t + QLatin1Char(despues),
                      QLatin1Char(antes) + n + QLatin1Char(despues), Qt::CaseInsensitive);
        if (t == u"MA_CUENTAS") {
            s.replace(QStringLiteral("{MA_CUENTAS."), QStringLiteral("{SS_MA_CUENTAS."),
                      Qt::CaseInsensitive);
            s.replace(QStringLiteral("@Admin_MA_CUENTAS"), QStringLiteral("MA_CUENTAS"),
                      Qt::CaseInsensitive);
        }
    }
    return sinMarcaAdmin(s);
}

bool DB_Dll::ExisteTablaDB(const QString& Tabla) {
    bool existe = false;
    ado::Recordset rs;
    const auto sale = plataforma::CorrePasos(
        [this](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(compartida().TratamientoErrores(
                f, plataforma::kEstiloError, QStringLiteral("VerificaCampos")));
        },
        {
            [&] { gCnn().OpenSchema(ado::adSchemaTables, {}, rs); },
            [&] {
                const QString buscada = SinBlancos(Tabla);
                for (; !existe && !rs.Eof(); rs.MoveNext())
                    existe = SinBlancos(rs.Fields(QStringLiteral("TABLE_NAME")).Value().toString())
                                 .compare(buscada, Qt::CaseInsensitive) == 0;
            },
        });
    return sale ? false : existe;
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo) {
    // Oracle's catalogue is not asked: every column is taken as present.
    if (Contiene(compartida().gProveedor, QStringLiteral("ORACLE")))
        return true;
    bool existe = false;
    ado::Recordset rs;
    const auto sale = plataforma::CorrePasos(
        [this](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(compartida().TratamientoErrores(
                f, plataforma::kEstiloError, QStringLiteral("VerificaCampos")));
        },
        {
            [&] {
                gCnn().OpenSchema(ado::adSchemaColumns, {gDBName, QVariant(), Tabla, QVariant()},
                                  rs);
            },
            [&] {
                const QString buscado = SinBlancos(Campo);
                for (; !existe && !rs.Eof(); rs.MoveNext())
                    existe = SinBlancos(rs.Fields(QStringLiteral("COLUMN_NAME")).Value().toString())
                                 .compare(buscado, Qt::CaseInsensitive) == 0;
            },
        });
    return sale ? false : existe;
}

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                      bool PermiteNulos, const QVariant& ValorDefault) {
    QString sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo +
                  u' ' + Tipo +
                  (PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null "));
    if (ValorDefault.isValid())
        sql += QStringLiteral(" CONSTRAINT DF_") + SinBlancos(Tabla) + u'_' + SinBlancos(Campo) +
               QStringLiteral(" DEFAULT (") + ValorDefault.toString() + u')';
    long filas = 0;
    plataforma::CorrePasos(
        [this](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(compartida().TratamientoErrores(
                f, plataforma::kEstiloError, QStringLiteral("errAddField")));
        },
        {[&] { EjecutaConsultaSQL(sql, filas); }});
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar,
                        const QString& Tipo, bool PermiteNulos, const QVariant& ValorDefault) {
    if (ExisteTablaDB(Tabla) && !ExisteCampoDB(Tabla, Campo) && Agregar)
        AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    return true;
}
