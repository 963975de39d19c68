#pragma once
// Every statement of the sheet: reading a run and the article master into the
// model, the account and rubros checks, the summaries, and saving a run with its
// journal entry in one transaction. No widgets; failures of the save travel as
// ado::Falla, reads report through the database object's own dialogs.

#include "platform/Currency.h"
#include "platform/ado/Ado.h"
#include "sheet/AsientoReparto.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class Aplicacion;
class Reparto;

// An article row as a line takes it.
struct Articulo {
    QVariant IdArticulo, Descripcion, Costo, TasaIva, Impuestos;
    QVariant Precio[6]; // 1..5
};

// Sold and returned quantities of one article on the run's vouchers.
struct Movimientos {
    Currency vendidoKg, vendidoUd, devueltoKg, devueltoUd;
};

// What the journal entry of a finish needs. The settings are read before the save;
// the earlier-entry check and the entry's number under the save's write lock.
struct DatosAsiento {
    bool registra = false; // false: no lines are posted
    QString aviso;         // told to the operator: after the save, or why it was refused
    QString tc, sucursal, numero, letra, periodo, tipoReg;
    bool sinTipoRegistro = false; // no register type configured: nothing can be posted
    qint32 numeroAsiento = 0;
    int mes = 0;
};

// The vehicle's run before this one, finished: its number and its "Fin" (none
// when it was left empty).
struct RepartoAnterior {
    QString numero;
    std::optional<Currency> kmFinal;
};

// How a save ended that raised nothing. Only Grabada wrote anything.
enum class Grabacion {
    Grabada,
    CambiadaEnOtroPuesto, // the stored run is no longer the one this sheet read
    NumeroOcupado,        // a new run's number was taken at another workstation
    SinAsiento,           // the finish cannot post its entry; DatosAsiento::aviso says why
};

// Told how far a long load went: lines done out of the total.
using AvisoProgreso = std::function<void(int hecho, int total)>;

class RepositorioReparto {
public:
    explicit RepositorioReparto(Aplicacion& app) : app_(app) {}

    // ------------------------------------------------------------------ runs
    // The next free run number: the highest plus one, "1" for an empty table.
    QString ProximoReparto();
    // Whether the run exists; its FINALIZADO (null as empty) when it does.
    bool Existe(const QString& numero, QString* finalizado = nullptr);
    // The stored header into the model's fields, its stamp and account labels.
    // Each step is skipped when it fails.
    void CargaCabecera(Reparto& r);
    // The run's lines, priced by the model's class, with their sold quantities and
    // the recomputed returns.
    void CargaDetalle(Reparto& r, const AvisoProgreso& progreso = {});
    // The same vehicle's last finished run before this one: the latest by date
    // (then by number) among the runs numbered below it. One read; nothing
    // without a vehicle or a confirmed number.
    std::optional<RepartoAnterior> UltimoFinalizado(const Reparto& r);

    // --------------------------------------------------------- article lines
    // One line per active article of the rubros list `filtro` (empty: all).
    void ArmaGrilla(Reparto& r, const QString& filtro, const AvisoProgreso& progreso = {});
    // Checks each rubro of the comma-separated list; rewrites the list as the
    // statement's quoted codes. False when one does not exist.
    bool RubrosValidos(QString& lista);
    // Re-prices every line from the article master by the model's class.
    void RecalculaPrecios(Reparto& r);
    // Re-prices one line from the article master.
    void RecalculaFila(Reparto& r, int fila);
    // Recomputes a line's returns from its quantities and the run's vouchers.
    void CalculaDevolucion(Reparto& r, int fila, bool enUnidades);
    // The default tax rate, read once per sheet.
    QString Piva();
    void OlvidaPiva() { piva_.reset(); }

    // ---------------------------------------------------------------- checks
    // The account's description when it is an expense account (or, with
    // `medioDePago`, a means-of-payment account) that takes entries.
    std::optional<QString> DescripcionCuenta(const QString& codigo, bool medioDePago);
    void GrabaRubros(const QString& lista);
    QString ObtieneTipoRegCont();

    // ------------------------------------------------------------- summaries
    void Comprobantes(const QString& numero, ado::Recordset& rs);
    void Cobranzas(const QString& numero, ado::Recordset& rs);

    // ---------------------------------------------------------------- saving
    // The settings the journal entry of a finish takes; they only read.
    DatosAsiento PreparaAsiento(const Reparto& r);
    // What the finish would post, as the save would decide it now; the number is
    // read without the lock, so another finish may still take it first.
    AsientoPrevio PreveAsiento(const Reparto& r, const DatosAsiento& d);
    // In one transaction, or nothing: takes the write lock, checks that the stored
    // run is still the one the sheet read (a new run: that its number is free),
    // with `asiento` numbers the entry, then writes the header, the lines and, with
    // `asiento`, the stamp and the journal lines. Raises the failure after undoing it.
    Grabacion Graba(const Reparto& r, bool finalizando, DatosAsiento* asiento);

    // Fills line `fila` from an article, priced by the model's class. A class
    // without a price column raises before the line changes.
    void LlenaArticulo(Reparto& r, int fila, const Articulo& a);

private:
    // Opens a read through the database object's dialogs; false when it did not open.
    bool abre(const QString& sql, ado::Recordset& rs);
    static Articulo leeArticulo(ado::Recordset& rs);
    std::optional<Articulo> articuloPorId(const QString& idArticulo);
    QHash<QString, Articulo> articulosPorConsulta(const QString& sql);
    QHash<QString, Movimientos> movimientosDelReparto(const QString& reparto,
                                                      const QString& articulo = {});
    // Opens the stored header for writing, under the lock; true when the stored
    // run is still the one the sheet read.
    bool sigueComoSeLeyo(const Reparto& r, ado::Recordset& cabecera);
    // Why no entry is posted when the run already has its own.
    std::optional<QString> yaTieneAsiento(const Reparto& r, const DatosAsiento& d);
    bool numeraAsiento(const Reparto& r, DatosAsiento& d);
    void grabaCabecera(const Reparto& r, bool finalizando, ado::Recordset& rs);
    void grabaLineas(const Reparto& r);
    void asientoReparto(const Reparto& r, const DatosAsiento& d);

    Aplicacion& app_;
    std::optional<QString> piva_;
    // The run row the last Existe read: the header load that follows it on the
    // same Enter takes it instead of reading it again. Used once; a save forgets it.
    struct FilaReparto {
        QString numero;
        QHash<QString, QVariant> valores; // by upper-case field name
        QByteArray huella;                // HuellaFila of the row as read
    };
    std::optional<FilaReparto> filaReparto_;
    // The row under the cursor of `rs`, as the cache keeps it.
    static FilaReparto filaDe(const QString& numero, ado::Recordset& rs);
};

// The key the database compares article codes by: padded, without regard to case.
QString ClaveArticulo(const QString& idArticulo);
// A fingerprint of the current row's values, and of a set of rows in any order.
QByteArray HuellaFila(ado::Recordset& rs);
QByteArray HuellaDeFilas(QList<QByteArray> filas);
// Returns and leftovers = loaded + reloaded - sold + what came back on vouchers.
void CalculaDevolucionEn(Reparto& r, int fila, bool enUnidades, const Movimientos& m);
