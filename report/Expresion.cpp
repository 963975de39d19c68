#include "report/Expresion.h"

#include "platform/ado/Falla.h"

#include <cmath>

namespace reporte {

struct Expresion::Nodo {
    enum class Op {
        Numero,
        Campo,
        Parametro,
        Suma,
        Resta,
        Producto,
        Cociente,
        Negativo,
        Abs,
        Doble,
        Redondea
    };
    Op op = Op::Numero;
    Currency moneda;
    double doble = 0;
    QString nombre;
    std::vector<std::unique_ptr<Nodo>> hijos;
};

namespace {

using Nodo = Expresion::Nodo;
using Op = Nodo::Op;

std::unique_ptr<Nodo> nodo(Op op) {
    auto n = std::make_unique<Nodo>();
    n->op = op;
    return n;
}

class Analizador {
public:
    explicit Analizador(const QString& t) : t_(t) {}

    std::unique_ptr<Nodo> todo() {
        auto e = expresion();
        blancos();
        if (e && i_ < t_.size())
            falla(QStringLiteral("sobra texto"));
        return error_.isEmpty() ? std::move(e) : nullptr;
    }
    QString error() const { return error_; }

private:
    void falla(const QString& que) {
        if (error_.isEmpty())
            error_ = que + QStringLiteral(" en la posición ") + QString::number(i_ + 1);
    }
    void blancos() {
        while (i_ < t_.size() && t_[i_].isSpace())
            ++i_;
    }
    bool toma(QChar c) {
        blancos();
        if (i_ < t_.size() && t_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }

    std::unique_ptr<Nodo> expresion() {
        auto izq = termino();
        while (izq) {
            Op op;
            if (toma(u'+'))
                op = Op::Suma;
            else if (toma(u'-'))
                op = Op::Resta;
            else
                break;
            auto der = termino();
            if (!der)
                return nullptr;
            auto n = nodo(op);
            n->hijos.push_back(std::move(izq));
            n->hijos.push_back(std::move(der));
            izq = std::move(n);
        }
        return izq;
    }

    std::unique_ptr<Nodo> termino() {
        auto izq = factor();
        while (izq) {
            Op op;
            if (toma(u'*'))
                op = Op::Producto;
            else if (toma(u'/'))
                op = Op::Cociente;
            else
                break;
            auto der = factor();
            if (!der)
                return nullptr;
            auto n = nodo(op);
            n->hijos.push_back(std::move(izq));
            n->hijos.push_back(std::move(der));
            izq = std::move(n);
        }
        return izq;
    }

    std::unique_ptr<Nodo> factor() {
        blancos();
        if (i_ >= t_.size()) {
            falla(QStringLiteral("falta un valor"));
            return nullptr;
        }
        const QChar c = t_[i_];
        if (c == u'-' || c == u'+') {
            ++i_;
            auto f = factor();
            if (!f || c == u'+')
                return f;
            auto n = nodo(Op::Negativo);
            n->hijos.push_back(std::move(f));
            return n;
        }
        if (c == u'(') {
            ++i_;
            auto e = expresion();
            if (e && !toma(u')')) {
                falla(QStringLiteral("falta \")\""));
                return nullptr;
            }
            return e;
        }
        if (c == u'{')
            return referencia();
        if (c.isDigit() || c == u'.')
            return numero();
        if (c.isLetter())
            return funcion();
        falla(QStringLiteral("carácter inesperado \"") + c + u'"');
        return nullptr;
    }

    std::unique_ptr<Nodo> referencia() {
        ++i_; // the brace
        const qsizetype cierre = t_.indexOf(u'}', i_);
        if (cierre < 0) {
            falla(QStringLiteral("falta \"}\""));
            return nullptr;
        }
        QString nombre = t_.mid(i_, cierre - i_).trimmed();
        const bool parametro = nombre.startsWith(u'?');
        if (parametro)
            nombre = nombre.mid(1).trimmed();
        if (nombre.isEmpty()) {
            falla(QStringLiteral("falta el nombre entre llaves"));
            return nullptr;
        }
        i_ = cierre + 1;
        auto n = nodo(parametro ? Op::Parametro : Op::Campo);
        n->nombre = nombre;
        return n;
    }

    std::unique_ptr<Nodo> numero() {
        const qsizetype desde = i_;
        while (i_ < t_.size() && (t_[i_].isDigit() || t_[i_] == u'.'))
            ++i_;
        const QString texto = t_.mid(desde, i_ - desde);
        bool ok = false;
        const double d = texto.toDouble(&ok);
        const qsizetype punto = texto.indexOf(u'.');
        if (!ok || texto.count(u'.') > 1 || (punto >= 0 && texto.size() - punto - 1 > 4)) {
            i_ = desde;
            falla(QStringLiteral("número no válido \"") + texto + u'"');
            return nullptr;
        }
        auto n = nodo(Op::Numero);
        n->doble = d;
        // Exact: at most four decimals were accepted.
        n->moneda = Currency::DesdeDouble(d);
        return n;
    }

    std::unique_ptr<Nodo> funcion() {
        const qsizetype desde = i_;
        while (i_ < t_.size() && (t_[i_].isLetterOrNumber() || t_[i_] == u'_'))
            ++i_;
        const QString nombre = t_.mid(desde, i_ - desde).toUpper();
        Op op;
        int argumentos = 1;
        if (nombre == u"ABS") {
            op = Op::Abs;
        } else if (nombre == u"DOBLE") {
            op = Op::Doble;
        } else if (nombre == u"REDONDEA") {
            op = Op::Redondea;
            argumentos = 2;
        } else {
            const QString escrito = t_.mid(desde, i_ - desde);
            i_ = desde;
            falla(QStringLiteral("función desconocida \"") + escrito + u'"');
            return nullptr;
        }
        if (!toma(u'(')) {
            falla(QStringLiteral("falta \"(\""));
            return nullptr;
        }
        auto n = nodo(op);
        for (int a = 0; a < argumentos; ++a) {
            if (a > 0 && !toma(u',')) {
                falla(QStringLiteral("falta \",\""));
                return nullptr;
            }
            auto e = expresion();
            if (!e)
                return nullptr;
            n->hijos.push_back(std::move(e));
        }
        if (!toma(u')')) {
            falla(QStringLiteral("falta \")\""));
            return nullptr;
        }
        if (op == Op::Redondea) {
            const Nodo& d = *n->hijos[1];
            if (d.op != Op::Numero || d.doble != std::floor(d.doble) || d.doble > 4) {
                falla(QStringLiteral("REDONDEA lleva de 0 a 4 decimales"));
                return nullptr;
            }
        }
        return n;
    }

    const QString& t_;
    qsizetype i_ = 0;
    QString error_;
};

// Half to even at `decimales` decimals, on the scaled integer.
Currency redondea(Currency c, int decimales) {
    qint64 paso = 1;
    for (int i = decimales; i < 4; ++i)
        paso *= 10;
    const qint64 v = c.escalado();
    qint64 q = v / paso;
    const qint64 resto = v % paso;
    const qint64 doble = resto < 0 ? -2 * resto : 2 * resto;
    if (doble > paso || (doble == paso && q % 2 != 0))
        q += v < 0 ? -1 : 1;
    return Currency::DesdeEscalado(q * paso);
}

double enDoble(const Nodo& n, const Expresion::Lector& lee);

Currency enMoneda(const Nodo& n, const Expresion::Lector& lee) {
    const auto h = [&](int i) { return enMoneda(*n.hijos[i], lee); };
    switch (n.op) {
    case Op::Numero:
        return n.moneda;
    case Op::Campo:
        return lee(n.nombre, false);
    case Op::Parametro:
        return lee(n.nombre, true);
    case Op::Suma:
        return h(0) + h(1);
    case Op::Resta:
        return h(0) - h(1);
    case Op::Producto:
        return h(0) * h(1);
    case Op::Cociente:
        return h(0) / h(1);
    case Op::Negativo:
        return -h(0);
    case Op::Abs: {
        const Currency v = h(0);
        return v < Currency() ? -v : v;
    }
    case Op::Doble:
        return Currency::DesdeDouble(enDoble(*n.hijos[0], lee));
    case Op::Redondea:
        return redondea(h(0), static_cast<int>(n.hijos[1]->doble));
    }
    return {};
}

double enDoble(const Nodo& n, const Expresion::Lector& lee) {
    const auto h = [&](int i) { return enDoble(*n.hijos[i], lee); };
    switch (n.op) {
    case Op::Numero:
        return n.doble;
    case Op::Campo:
    case Op::Parametro:
    case Op::Doble:
    case Op::Redondea:
        return enMoneda(n, lee).aDouble();
    case Op::Suma:
        return h(0) + h(1);
    case Op::Resta:
        return h(0) - h(1);
    case Op::Producto:
        return h(0) * h(1);
    case Op::Cociente: {
        const double d = h(1);
        if (d == 0)
            throw ado::Falla(11, QStringLiteral("División por cero"), QStringLiteral("Currency"));
        return h(0) / d;
    }
    case Op::Negativo:
        return -h(0);
    case Op::Abs:
        return std::fabs(h(0));
    }
    return 0;
}

void campos(const Nodo& n, QStringList& lista) {
    if (n.op == Op::Campo && !lista.contains(n.nombre, Qt::CaseInsensitive))
        lista << n.nombre;
    for (const auto& h : n.hijos)
        campos(*h, lista);
}

} // namespace

Expresion::Expresion(std::unique_ptr<Nodo> raiz) : raiz_(std::move(raiz)) {}
Expresion::~Expresion() = default;

std::shared_ptr<const Expresion> Expresion::Compila(const QString& texto, QString& error) {
    Analizador a(texto);
    auto raiz = a.todo();
    if (!raiz) {
        error = a.error();
        return nullptr;
    }
    error.clear();
    return std::make_shared<const Expresion>(std::move(raiz));
}

Currency Expresion::Evalua(const Lector& lector) const {
    return enMoneda(*raiz_, lector);
}

QStringList Expresion::Campos() const {
    QStringList lista;
    campos(*raiz_, lista);
    return lista;
}

} // namespace reporte
