#pragma once
// The rows a list lookup shows, without widgets: one column per result column,
// each cell as the list shows it (trimmed text) and as its value (to sort by),
// the ticks, the stock colour of article rows, and the rules that read the
// chosen values back.

#include "platform/ado/Ado.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class ModeloConsulta : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int RolValor = Qt::UserRole;

    struct Columna {
        QString nombre;     // as the result names it
        QString titulo;     // the header
        int caracteres = 0; // width, in capital X of the list's font
    };

    // How a result is listed.
    struct Lectura {
        bool checkBoxes = false;
        QString campoDevuelto;    // its value, one of valoresDefault's items, ticks the row
        QString valoresDefault;   // "@10": every column of a non-article list is wider
        bool deArticulos = false; // PRECIOn columns are headed by the price list's name
        bool esArticulos = false; // rows are coloured by their stock
        bool muestraStock = false;
        QVariant niveles[4]; // colour numbers: red + 256 green + 65536 blue
        // The name of price list n (1..8); empty keeps the column's name.
        std::function<QString(int n)> nombreClase;
    };

    // What accepting gives back.
    struct Eleccion {
        bool acepta = false; // false: nothing was set
        QString campoDevuelto;
        std::optional<QVariant> valorDevuelto; // empty: unchanged
        QVariantList valores;
    };

    explicit ModeloConsulta(QObject* padre = nullptr);

    // Columns, then rows, of an open result; the rows from its current one on.
    void Encolumnar(ado::Recordset& rs, const Lectura& l);
    void Leer(ado::Recordset& rs, const Lectura& l);
    void Vacia();
    // One column headed `titulo` with a row per text, for the lookups that list
    // texts of their own; `marcas` ticks rows when there are check boxes.
    void Textos(const QString& titulo, const QStringList& filas, const QList<bool>& marcas,
                bool checkBoxes);

    // The comma-separated items of a ValoresDefault text, trimmed and case-folded:
    // a value ticks its row only when it is a whole item ("1" is not in "10,20").
    static QSet<QString> ItemsDefault(const QString& ValoresDefault);

    const QList<Columna>& Columnas() const { return columnas_; }
    bool CheckBoxes() const { return checkBoxes_; }
    // A row's value in a column counted from 1 (column 1 is the row's text);
    // empty text for a column that does not exist.
    QString Valor(int fila, int columna) const;
    // The first column (from 1) headed `nombre`, trimmed and case ignored; 0 for none.
    int IndiceColumna(const QString& nombre) const;
    // The first row (from 1) whose value in column Clave + 1 begins with
    // `QueValor`, trimmed, case ignored; 0 for none. Empty text matches row 1.
    int Busqueda(int Clave, const QString& QueValor) const;
    // Rows by the values of a column counted from 0: numbers as numbers, dates as
    // dates, texts regardless of case; empty cells first.
    void OrdenaPorValor(int columna, Qt::SortOrder orden = Qt::AscendingOrder);

    // Quantities, in the column headed "**Cantidad**". Insert adds 1 and ticks the
    // row; Delete takes 1 away, and at 0 or less leaves "0.00" and unticks it. A
    // list without the column, or no row, raises.
    void SumaCantidad(int fila, int paso);
    // A quantity typed for the row: a non-zero number becomes the cell and ticks the
    // row; anything else changes nothing. True when it changed.
    bool PonCantidad(int fila, const QString& respuesta);
    QString TextoCantidad(int fila) const;

    bool Marcada(int fila) const { return filas_.at(fila).marcada; }
    void setMarcada(int fila, bool marcada);
    void Marcar(); // every tick inverted
    void Destilda();
    std::optional<QColor> Color(int fila) const { return filas_.at(fila).color; }

    // Accepting with the row `fila` selected (-1 for none).
    Eleccion Acepta(int fila, const QString& CampoDevuelto,
                    const std::optional<QStringList>& CmpsDevueltos) const;

    // Which of the four stock levels an article row is in: 1..4.
    static int NivelStock(const QVariant& puntoPedido, const QVariant& stock);
    // A colour number of the suite as a colour.
    static QColor ColorDeNumero(const QVariant& numero);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion,
                        int rol = Qt::DisplayRole) const override;

private:
    // The quantity cell of a row, from 0; raises when there is none.
    int columnaCantidad(int fila) const;
    void ponCelda(int fila, int columna, const QString& texto, double valor);

    struct Fila {
        QStringList textos;
        QVariantList valores;
        bool marcada = false;
        std::optional<QColor> color;
    };

    QList<Columna> columnas_;
    QList<Fila> filas_;
    bool checkBoxes_ = false;
};
