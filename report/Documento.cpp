#include "report/Documento.h"

#include <algorithm>

namespace reporte {

QString Documento::Volcado() const {
    QString r;
    const int n = static_cast<int>(paginas.size());
    for (int p = 0; p < n; ++p) {
        r += QStringLiteral("--- página %1 de %2 (%3 x %4 mm)\n")
                 .arg(p + 1)
                 .arg(n)
                 .arg(papel.width(), 0, 'f', 0)
                 .arg(papel.height(), 0, 'f', 0);
        QList<const Item*> textos;
        for (const Item& i : paginas[p].items)
            if (i.tipo == Item::Tipo::Texto && !i.texto.isEmpty())
                textos << &i;
        std::stable_sort(textos.begin(), textos.end(), [](const Item* a, const Item* b) {
            // Tenths of a millimetre, so that positions that print alike sort alike.
            const auto y = [](const Item* i) { return qRound(i->rect.y() * 10); };
            const auto x = [](const Item* i) { return qRound(i->rect.x() * 10); };
            return y(a) != y(b) ? y(a) < y(b) : x(a) < x(b);
        });
        for (const Item* i : textos) {
            QString t = i->texto;
            t.replace(u'\\', QStringLiteral("\\\\"))
                .replace(u'\r', QStringLiteral("\\r"))
                .replace(u'\n', QStringLiteral("\\n"));
            r += QStringLiteral("%1 %2  %3\n")
                     .arg(i->rect.x(), 6, 'f', 1)
                     .arg(i->rect.y(), 6, 'f', 1)
                     .arg(t);
        }
    }
    return r;
}

QList<const Item*> Documento::Nombrados(const QString& nombre) const {
    QList<const Item*> r;
    for (const Pagina& p : paginas)
        for (const Item& i : p.items)
            if (i.nombre.compare(nombre, Qt::CaseInsensitive) == 0)
                r << &i;
    return r;
}

} // namespace reporte
