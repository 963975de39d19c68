#include "report/Formula.h"

#include "report/Error.h"

namespace reporte {

namespace {

class Traductor {
public:
    Traductor(const QString& t, const Definicion& d) : t_(t), d_(d) {}

    Seleccion traduce() {
        blancos();
        if (i_ >= t_.size())
            return {QStringLiteral("1=1"), {}};
        Seleccion s;
        s.where = o(s.valores);
        blancos();
        if (i_ < t_.size())
            falla(QStringLiteral("sobra texto"));
        return s;
    }

private:
    [[noreturn]] void falla(const QString& que) const {
        throw Error(Error::Tipo::Formula, QStringLiteral("Fórmula de selección no válida: ") + que +
                                              QStringLiteral(" en la posición ") +
                                              QString::number(i_ + 1) + QStringLiteral(" de \"") +
                                              t_ + u'"');
    }
    void blancos() {
        while (i_ < t_.size() && t_[i_].isSpace())
            ++i_;
    }
    // A keyword standing as a whole word.
    bool palabra(QLatin1StringView p) {
        blancos();
        const qsizetype fin = i_ + p.size();
        if (fin > t_.size() ||
            QStringView(t_).mid(i_, p.size()).compare(p, Qt::CaseInsensitive) != 0)
            return false;
        if (fin < t_.size() && (t_[fin].isLetterOrNumber() || t_[fin] == u'_'))
            return false;
        i_ = fin;
        return true;
    }
    bool signo(QChar c) {
        blancos();
        if (i_ < t_.size() && t_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }

    QString o(QVariantList& v) {
        QString r = y(v);
        while (palabra(QLatin1StringView("or")))
            r += QStringLiteral(" OR ") + y(v);
        return r;
    }
    QString y(QVariantList& v) {
        QString r = no(v);
        while (palabra(QLatin1StringView("and")))
            r += QStringLiteral(" AND ") + no(v);
        return r;
    }
    QString no(QVariantList& v) {
        if (palabra(QLatin1StringView("not")))
            return QStringLiteral("NOT ") + no(v);
        if (signo(u'(')) {
            const QString r = o(v);
            if (!signo(u')'))
                falla(QStringLiteral("falta \")\""));
            return u'(' + r + u')';
        }
        return comparacion(v);
    }

    QString comparacion(QVariantList& v) {
        const Seleccionable& s = campo();
        blancos();
        static const QLatin1StringView kOperadores[] = {
            QLatin1StringView("<="), QLatin1StringView(">="), QLatin1StringView("<>"),
            QLatin1StringView("="),  QLatin1StringView("<"),  QLatin1StringView(">")};
        QString op;
        for (QLatin1StringView candidato : kOperadores)
            if (QStringView(t_).mid(i_).startsWith(candidato)) {
                op = candidato;
                i_ += candidato.size();
                break;
            }
        if (op.isEmpty())
            falla(QStringLiteral("se esperaba un operador de comparación"));
        v << valor(s);
        return u'(' + s.columna + u' ' + op + QStringLiteral(" ?)");
    }

    const Seleccionable& campo() {
        blancos();
        if (!signo(u'{'))
            falla(QStringLiteral("se esperaba un campo entre llaves"));
        const qsizetype cierre = t_.indexOf(u'}', i_);
        if (cierre < 0)
            falla(QStringLiteral("falta \"}\""));
        const QString nombre = t_.mid(i_, cierre - i_).trimmed();
        const qsizetype punto = nombre.indexOf(u'.');
        if (punto <= 0 || punto == nombre.size() - 1)
            falla(QStringLiteral("el campo se escribe {Fuente.Campo}"));
        const QString tabla = nombre.left(punto).trimmed();
        const QString columna = nombre.mid(punto + 1).trimmed();
        const Fuente* f = d_.fuente(tabla);
        if (!f)
            falla(QStringLiteral("\"") + tabla + QStringLiteral("\" no es una fuente del reporte"));
        for (const Seleccionable& s : f->seleccionables)
            if (s.campo.compare(columna, Qt::CaseInsensitive) == 0) {
                i_ = cierre + 1;
                return s;
            }
        falla(QStringLiteral("el campo \"") + nombre +
              QStringLiteral("\" no se puede usar en la selección"));
    }

    QVariant valor(const Seleccionable& s) {
        blancos();
        if (i_ >= t_.size())
            falla(QStringLiteral("falta el valor"));
        const QChar c = t_[i_];
        if (c == u'\'' || c == u'"') {
            if (s.numerico)
                falla(QStringLiteral("se esperaba un número"));
            QString texto;
            for (++i_;; ++i_) {
                if (i_ >= t_.size())
                    falla(QStringLiteral("falta cerrar el texto"));
                if (t_[i_] == c) {
                    if (i_ + 1 < t_.size() && t_[i_ + 1] == c) {
                        texto += c;
                        ++i_;
                        continue;
                    }
                    ++i_;
                    return texto;
                }
                texto += t_[i_];
            }
        }
        if (!s.numerico)
            falla(QStringLiteral("se esperaba un texto entre comillas"));
        const qsizetype desde = i_;
        if (c == u'-' || c == u'+')
            ++i_;
        const qsizetype cifras = i_;
        while (i_ < t_.size() && t_[i_].isDigit())
            ++i_;
        bool decimal = false;
        if (i_ < t_.size() && t_[i_] == u'.') {
            decimal = true;
            ++i_;
            while (i_ < t_.size() && t_[i_].isDigit())
                ++i_;
        }
        const QString texto = t_.mid(desde, i_ - desde);
        if (i_ == cifras || texto.endsWith(u'.') ||
            (i_ < t_.size() && (t_[i_].isLetterOrNumber() || t_[i_] == u'_' || t_[i_] == u'.'))) {
            i_ = desde;
            falla(QStringLiteral("se esperaba un número"));
        }
        bool ok = false;
        if (!decimal) {
            const qlonglong n = texto.toLongLong(&ok);
            if (ok)
                return n;
        }
        const double d = texto.toDouble(&ok);
        if (!ok) {
            i_ = desde;
            falla(QStringLiteral("número fuera de rango"));
        }
        return d;
    }

    const QString& t_;
    const Definicion& d_;
    qsizetype i_ = 0;
};

} // namespace

Seleccion TraduceFormula(const QString& formula, const Definicion& definicion) {
    return Traductor(formula, definicion).traduce();
}

} // namespace reporte
