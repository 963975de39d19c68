#pragma once
// The delivery run the sheet holds, with no widgets: the header as the texts the
// clerk typed (the statements need them verbatim), the confirmed run number, the
// article lines and what is derived from them. The window only shows and edits it.

#include "platform/Currency.h"
#include "sheet/ModeloGrilla.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// Grid columns of a line.
namespace col {
enum : int {
    Producto = 0,
    CargaUd = 1,
    CargaKg = 2,
    RecargaUd = 3,
    RecargaKg = 4,
    DevUd = 5,
    DevKg = 6,
    VtaUd = 7,
    VtaKg = 8,
    Id = 9,
    Costo = 10,
    Precio = 11,
    Tasa = 12,
    Impuestos = 13,
    Importe = 14,
};
} // namespace col

// The figures of the frame "Resumen".
struct TotalesReparto {
    Currency aRecaudar; // value of what was loaded and reloaded
    Currency gastos;    // the four expenses
    Currency total;     // collected minus expenses
};

class Reparto : public QObject {
    Q_OBJECT

public:
    // The header fields by index, as `txtFields` holds them.
    static const QStringList& Campos();

    explicit Reparto(QObject* padre = nullptr);

    // ------------------------------------------------------------- header
    // The text of a header field by its DataField name, regardless of case.
    QString Campo(const QString& dataField) const;
    void setCampo(const QString& dataField, const QString& texto);
    // Every header field empty; the lines stay.
    void LimpiaCampos();
    // The field as the operator's locale reads a number; 0 when it holds none.
    Currency Importe(const QString& dataField) const;

    // The run number as last confirmed: its text goes verbatim into statements, its
    // value is what is stored. Empty until a number is confirmed.
    const QString& NumeroTexto() const { return numeroTexto_; }
    qint64 Numero() const { return numero_; }
    void ConfirmaNumero(const QString& texto);

    // What was loaded or offered, to tell unsaved changes from it.
    void MarcaComoCargado();
    // Whether a field or a line differs from what was loaded or offered. The run
    // number and the two configuration fields are not the run's data.
    bool HayCambios() const;

    bool Existe = false;       // an existing run is loaded, otherwise a new one
    QString Finalizado;        // the stored FINALIZADO, as shown; empty while open
    QString CuentaEtiqueta[5]; // descriptions of CuentaG1..4 and CuentaMP
    int LineaIncompleta = 0;   // the line (1-based) where loading the lines failed
    // The stored header and lines as this sheet read them: a save writes only while
    // the stored run still matches them, so another workstation's save is never
    // overwritten unseen.
    QByteArray HuellaCabecera, HuellaLineas;

    // -------------------------------------------------------------- lines
    ModeloGrilla& Lineas() { return lineas_; }
    const ModeloGrilla& Lineas() const { return lineas_; }
    Currency Cantidad(int fila, int columna) const;
    // A line's unit value: price plus its tax rate plus the fixed taxes; 0 when a
    // figure of the line is not a number.
    Currency ValorItem(int fila) const;

    // ------------------------------------------------------------- totals
    TotalesReparto Totales() const;
    // The four expenses added, as the means of payment takes them.
    Currency SumaGastos() const;

signals:
    // A header field changed through the model (not through its own widget).
    void campoCambiado(int indice);

private:
    QString campos_[21];
    QString numeroTexto_;
    qint64 numero_ = 0;
    ModeloGrilla lineas_;
    QString cargados_[21];
    ModeloGrilla::Textos lineasCargadas_;
};
