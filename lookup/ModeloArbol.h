#pragma once
// The nodes a tree lookup shows, without widgets: the root "Consulta...", one node
// per row hung under its parent, the ticks, the jump of the search box, and the
// rule that turns the chosen or ticked nodes into the values returned.

#include <QAbstractItemModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class ModeloArbol : public QAbstractItemModel {
    Q_OBJECT

public:
    static constexpr int kRaiz = 0;

    struct Nodo {
        QString Key;  // "A" and the code; the root's is "A"
        QString Text; // code " - " description
        int padre = -1;
        int fila = 0; // among its parent's children
        QList<int> hijos;
        bool marcada = false;
    };

    // What accepting gives back.
    struct Eleccion {
        bool acepta = false;                  // false: nothing happens
        std::optional<QString> valorDevuelto; // empty: not set
        QVariantList valores;                 // ticked nodes' values, in tree order
    };
    // The CampoDevuelto column of the row of `tabla` whose `campo` holds `codigo`;
    // nothing when there is no such row.
    using BuscaValor = std::function<std::optional<QString>(
        const QString& tabla, const QString& campo, const QString& codigo)>;

    explicit ModeloArbol(QObject* padre = nullptr);

    // The root alone.
    void Vacia();
    void setCheckBoxes(bool si);
    bool CheckBoxes() const { return checkBoxes_; }

    // A family under the node of its parent's code, or under the root when it has
    // none. A null code or a code already in the tree raises.
    int AgregaFamilia(const QVariant& codigo, const QVariant& descripcion,
                      const QVariant& codigoPadre);
    // A row under the node whose key is the longest beginning of its own key
    // (letter case ignored); the root begins every key.
    int AgregaAutomatico(const QVariant& codigo, const QVariant& descripcion);

    int Cantidad() const { return static_cast<int>(nodos_.size()); }
    const Nodo& At(int nodo) const { return nodos_.at(nodo); }
    // The key without its leading "A"; empty for the root.
    QString Codigo(int nodo) const { return nodos_.at(nodo).Key.mid(1); }
    int Padre(int nodo) const { return nodos_.at(nodo).padre; }
    // Every node, the root first, each followed by its descendants.
    QList<int> EnOrden() const;

    // The first node in tree order whose code text or description text (its text
    // split at the first "-", each part trimmed) begins with `texto`, case
    // ignored and `texto` as typed; -1 for none.
    int Busca(const QString& texto) const;

    bool Marcada(int nodo) const { return nodos_.at(nodo).marcada; }
    // The node and all its descendants; ancestors keep their state.
    void setMarcada(int nodo, bool marcada);
    // Ticks the nodes whose code, trimmed, is one of the comma-separated items.
    void PreMarca(const QString& ValoresDefault);

    // Accepting with `elegido` selected (-1 for none).
    Eleccion Acepta(int elegido, const QString& CampoDevuelto, const BuscaValor& busca) const;

    QModelIndex IndiceDe(int nodo) const;
    int NodoDe(const QModelIndex& indice) const;

    QModelIndex index(int fila, int columna, const QModelIndex& padre = {}) const override;
    QModelIndex parent(const QModelIndex& indice) const override;
    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

private:
    int agrega(int padre, const QString& codigo, const QString& descripcion);
    static QString clave(const QString& key) { return key.toCaseFolded(); }

    QList<Nodo> nodos_;
    QHash<QString, int> claves_; // case-folded key -> node
    bool checkBoxes_ = false;
};
