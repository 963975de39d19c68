#pragma once
// The article grid's cells: 15 text columns per line, as the sheet computes them.
// A plain table model, so that thousands of lines cost one string per cell and not
// one item object each.

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

class ModeloGrilla : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumnas = 15;

    explicit ModeloGrilla(QObject* padre = nullptr);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

    int filas() const { return static_cast<int>(filas_.size()); }
    // Grows or shrinks to n lines; the lines kept keep their texts.
    void setFilas(int n);
    const QString& texto(int fila, int columna) const;
    void setTexto(int fila, int columna, const QString& texto);
    // Every cell's text, line by line: a copy costs one reference per cell.
    using Textos = std::vector<std::array<QString, kColumnas>>;
    const Textos& textos() const { return filas_; }
    // A warning on a line: shown in red, the text as its tooltip; empty clears it.
    // A line may carry one of each kind; the tooltip shows them all.
    enum class Aviso { Articulo, Cantidades };
    void setAviso(int fila, const QString& aviso, Aviso clase = Aviso::Articulo);
    QString aviso(int fila) const;
    const QString& aviso(int fila, Aviso clase) const;
    // How many lines carry a warning of the kind.
    int conAviso(Aviso clase) const;
    // Empties every cell and keeps the number of lines.
    void limpia();

    // Many changes at once: views hear of them once, when the batch ends (also when
    // it ends by an exception).
    class Lote {
    public:
        explicit Lote(ModeloGrilla& m) : m_(m) { m_.empiezaLote(); }
        ~Lote() { m_.terminaLote(); }
        Lote(const Lote&) = delete;
        Lote& operator=(const Lote&) = delete;

    private:
        ModeloGrilla& m_;
    };

private:
    void empiezaLote();
    void terminaLote();

    Textos filas_;
    std::vector<std::array<QString, 2>> avisos_;
    int lotes_ = 0;
};
