#pragma once
// Reports: finding a report's file by its name, the report component wired to the
// application (data through DB_Dll, amounts through FmtMoneda, the operator's
// dialogs) and the load-control sheet's report.

#include "app/Aplicacion.h"
#include "report/Error.h"
#include "report/Formateador.h"
#include "report/FuenteDatos.h"
#include "report/Reportes.h"

#include <QString>
#include <QVariantList>

#include <memory>

// The file of the report `Nombre`: the one TA_REPORTES gives for the name (first
// the name under the key, machine|user|name when the key is blank), else the
// program folder's; a configured file that is missing is announced and replaced.
// `Nombre` becomes the name that was looked up first.
QString NombreReporte(Aplicacion& app, QString& Nombre, const QString& Clave);
// The path to use for a configured file; it is left in `Archivo` too. A relative
// file is the program folder's; "\" and "/" both separate folders.
QString VerificaReporte(Aplicacion& app, QString& Archivo, const QString& Nombre);
// Whether the file opens for reading; double quotes in the path are dropped and
// letter case is not significant.
bool ExisteArchivo(const QString& Ruta);

// The sheet's report of run `Reparto`, as REPORTE prints it: the file of
// RP_PLAREPARTO, the run as selection formula, the company name as parameter
// "empresa", straight to the preview (which may print and export). A failure the
// operator has already been shown ends it quietly; any other comes out as an
// ado::Falla for the caller's error dialog.
void ImprimePlanilla(Aplicacion& app, reporte::Salida& salida, const QString& Reparto);
// The same, raising every failure as the reporte::Error it is.
void ReportePlanilla(Aplicacion& app, reporte::Salida& salida, const QString& Reparto);

// The pieces ImprimePlanilla wires together, for other reports of the program.
namespace reportes {

// Report rows through the application's DB_Dll, so that report SQL gets the
// synonyms, the Oracle dialect and the statement trace; a failing query is shown
// through the shared error dialog and then raised as already reported.
class FuenteDatosDB : public reporte::FuenteDatos {
public:
    explicit FuenteDatosDB(Aplicacion& app) : app_(app) {}
    reporte::Tabla Consulta(const QString& sql, const QVariantList& valores) override;

private:
    Aplicacion& app_;
};

// The statement with each "?" outside quotes replaced by the SQL literal of the
// next value (a text quoted, a number with a point, a null as NULL), since the
// database layer takes statement texts.
QString ConValores(const QString& sql, const QVariantList& valores);

// Amounts as the program shows them (configured decimals, thousands grouped).
class FormateadorApp : public reporte::Formateador {
public:
    explicit FormateadorApp(Aplicacion& app) : app_(app) {}
    QString Moneda(Currency valor) const override;

private:
    Aplicacion& app_;
};

// The data source for the session's report connection text (gConexionDSN); any
// other text is refused without being repeated.
reporte::Conector ConectorDe(Aplicacion& app);

// The failure as the program's error dialog takes it.
ado::Falla FallaDe(const reporte::Error& error);

} // namespace reportes
