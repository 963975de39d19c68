#include "lookup/ModeloArbol.h"

#include "lookup/ModeloConsulta.h"
#include "platform/ado/Falla.h"

namespace {

const QString kTextoRaiz = QStringLiteral("Consulta...");

bool es(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

} // namespace

ModeloArbol::ModeloArbol(QObject* padre) : QAbstractItemModel(padre) {
    Vacia();
}

void ModeloArbol::Vacia() {
    beginResetModel();
    nodos_.clear();
    claves_.clear();
    Nodo raiz;
    raiz.Key = QStringLiteral("A");
    raiz.Text = kTextoRaiz;
    nodos_ << raiz;
    claves_.insert(clave(raiz.Key), kRaiz);
    endResetModel();
}

void ModeloArbol::setCheckBoxes(bool si) {
    if (checkBoxes_ == si)
        return;
    beginResetModel();
    checkBoxes_ = si;
    endResetModel();
}

int ModeloArbol::agrega(int padre, const QString& codigo, const QString& descripcion) {
    Nodo n;
    n.Key = u'A' + codigo;
    n.Text = codigo + QStringLiteral(" - ") + descripcion;
    n.padre = padre;
    n.fila = static_cast<int>(nodos_[padre].hijos.size());
    const int nuevo = static_cast<int>(nodos_.size());
    beginInsertRows(IndiceDe(padre), n.fila, n.fila);
    nodos_ << n;
    nodos_[padre].hijos << nuevo;
    claves_.insert(clave(n.Key), nuevo);
    endInsertRows();
    return nuevo;
}

namespace {

// A node's code as the row gives it; a row without one cannot become a node.
QString codigoDe(const QVariant& codigo, const QHash<QString, int>& claves) {
    if (codigo.isNull())
        throw ado::Falla(94, QStringLiteral("Invalid use of Null"), QStringLiteral("Nodes.Add"));
    const QString c = codigo.toString();
    if (claves.contains((u'A' + c).toCaseFolded()))
        throw ado::Falla(35602, QStringLiteral("Key is not unique in collection"),
                         QStringLiteral("Nodes.Add"));
    return c;
}

} // namespace

int ModeloArbol::AgregaFamilia(const QVariant& codigo, const QVariant& descripcion,
                               const QVariant& codigoPadre) {
    const QString c = codigoDe(codigo, claves_);
    int padre = kRaiz;
    if (!codigoPadre.isNull())
        padre = claves_.value(clave(u'A' + codigoPadre.toString()), kRaiz);
    return agrega(padre, c, descripcion.toString());
}

int ModeloArbol::AgregaAutomatico(const QVariant& codigo, const QVariant& descripcion) {
    const QString c = codigoDe(codigo, claves_);
    const QString key = clave(u'A' + c);
    // The longest beginning of the key that is a node's key; the root "A" always is.
    int padre = kRaiz;
    for (qsizetype largo = key.size() - 1; largo > 1; --largo) {
        const auto i = claves_.constFind(key.left(largo));
        if (i != claves_.constEnd()) {
            padre = *i;
            break;
        }
    }
    return agrega(padre, c, descripcion.toString());
}

QList<int> ModeloArbol::EnOrden() const {
    QList<int> orden;
    orden.reserve(nodos_.size());
    QList<int> pila{kRaiz};
    while (!pila.isEmpty()) {
        const int n = pila.takeLast();
        orden << n;
        const QList<int>& hijos = nodos_[n].hijos;
        for (auto h = hijos.crbegin(); h != hijos.crend(); ++h)
            pila << *h;
    }
    return orden;
}

int ModeloArbol::Busca(const QString& texto) const {
    for (const int n : EnOrden()) {
        QString codigo, descripcion;
        if (n == kRaiz) {
            descripcion = kTextoRaiz;
        } else {
            const QString& t = nodos_[n].Text;
            const qsizetype guion = t.indexOf(u'-');
            codigo = t.left(guion).trimmed();
            descripcion = guion < 0 ? QString() : t.mid(guion + 1).trimmed();
        }
        if (codigo.startsWith(texto, Qt::CaseInsensitive) ||
            descripcion.startsWith(texto, Qt::CaseInsensitive))
            return n;
    }
    return -1;
}

void ModeloArbol::setMarcada(int nodo, bool marcada) {
    if (nodo < 0 || nodo >= nodos_.size())
        return;
    QList<int> pila{nodo};
    while (!pila.isEmpty()) {
        const int n = pila.takeLast();
        pila << nodos_[n].hijos;
        if (nodos_[n].marcada == marcada)
            continue;
        nodos_[n].marcada = marcada;
        const QModelIndex i = IndiceDe(n);
        emit dataChanged(i, i, {Qt::CheckStateRole});
    }
}

void ModeloArbol::PreMarca(const QString& ValoresDefault) {
    const QSet<QString> items = ModeloConsulta::ItemsDefault(ValoresDefault);
    if (items.isEmpty())
        return;
    for (int n = 1; n < nodos_.size(); ++n)
        if (items.contains(Codigo(n).trimmed().toCaseFolded()) && !nodos_[n].marcada) {
            nodos_[n].marcada = true;
            const QModelIndex i = IndiceDe(n);
            emit dataChanged(i, i, {Qt::CheckStateRole});
        }
}

ModeloArbol::Eleccion ModeloArbol::Acepta(int elegido, const QString& CampoDevuelto,
                                          const BuscaValor& busca) const {
    Eleccion e;
    const QString campo = CampoDevuelto.trimmed();
    if (checkBoxes_) {
        // The root has no code: ticking it only ticks what hangs below.
        for (const int n : EnOrden()) {
            if (n == kRaiz || !nodos_[n].marcada)
                continue;
            const QString codigo = Codigo(n);
            if (es(campo, "IDFAMILIA") || es(campo, "CODIGO")) {
                e.valores << codigo.trimmed();
            } else if (es(campo, "IDPOSICION")) {
                if (const auto v = busca(QStringLiteral("MA_POSICIONES"), campo, codigo))
                    e.valores << *v;
            }
        }
        e.acepta = true;
        return e;
    }
    if (elegido < 0 || elegido >= nodos_.size())
        return e;
    const QString codigo = Codigo(elegido);
    if (es(campo, "IDFAMILIA")) {
        e.valorDevuelto =
            busca(QStringLiteral("@admin_V_TA_FAMILIAS"), campo, codigo).value_or(QString());
    } else if (es(campo, "IDPOSICION")) {
        e.valorDevuelto = busca(QStringLiteral("MA_POSICIONES"), campo, codigo).value_or(QString());
    } else if (es(campo, "CODIGO")) {
        // A cost centre, or else an account.
        auto v = busca(QStringLiteral("TA_CCOSTO"), campo, codigo);
        if (!v)
            v = busca(QStringLiteral("MA_CUENTAS"), campo, codigo);
        e.valorDevuelto = v.value_or(QString());
    }
    e.acepta = true;
    return e;
}

// ------------------------------------------------------------------ the model

QModelIndex ModeloArbol::IndiceDe(int nodo) const {
    if (nodo < 0 || nodo >= nodos_.size())
        return {};
    return createIndex(nodos_[nodo].fila, 0, static_cast<quintptr>(nodo));
}

int ModeloArbol::NodoDe(const QModelIndex& indice) const {
    return indice.isValid() ? static_cast<int>(indice.internalId()) : -1;
}

QModelIndex ModeloArbol::index(int fila, int columna, const QModelIndex& padre) const {
    if (columna != 0 || fila < 0)
        return {};
    if (!padre.isValid())
        return fila == 0 ? IndiceDe(kRaiz) : QModelIndex();
    const QList<int>& hijos = nodos_[NodoDe(padre)].hijos;
    return fila < hijos.size() ? IndiceDe(hijos[fila]) : QModelIndex();
}

QModelIndex ModeloArbol::parent(const QModelIndex& indice) const {
    const int n = NodoDe(indice);
    return n <= kRaiz ? QModelIndex() : IndiceDe(nodos_[n].padre);
}

int ModeloArbol::rowCount(const QModelIndex& padre) const {
    if (!padre.isValid())
        return 1;
    return padre.column() == 0 ? static_cast<int>(nodos_[NodoDe(padre)].hijos.size()) : 0;
}

int ModeloArbol::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ModeloArbol::data(const QModelIndex& indice, int rol) const {
    const int n = NodoDe(indice);
    if (n < 0)
        return {};
    if (rol == Qt::DisplayRole)
        return nodos_[n].Text;
    if (rol == Qt::CheckStateRole && checkBoxes_)
        return nodos_[n].marcada ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ModeloArbol::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (!checkBoxes_ || rol != Qt::CheckStateRole || !indice.isValid())
        return false;
    setMarcada(NodoDe(indice), valor.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ModeloArbol::flags(const QModelIndex& indice) const {
    if (!indice.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkBoxes_)
        f |= Qt::ItemIsUserCheckable;
    return f;
}
