#include "report/Pintor.h"

#include "report/Error.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

namespace reporte {

namespace {

int banderas(const Item& i) {
    int f = Qt::AlignVCenter;
    switch (i.alineacion) {
    case Alineacion::Izquierda:
        f |= Qt::AlignLeft;
        break;
    case Alineacion::Centro:
        f |= Qt::AlignHCenter;
        break;
    case Alineacion::Derecha:
        f |= Qt::AlignRight;
        break;
    }
    if (i.multilinea)
        f = (f & ~Qt::AlignVCenter) | Qt::AlignTop | Qt::TextWordWrap;
    return f;
}

} // namespace

QPageLayout Disposicion(const Documento& d) {
    return QPageLayout(d.tamano, d.horizontal ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

void PintaPagina(QPainter& p, const Documento& d, int pagina, double k) {
    if (pagina < 0 || pagina >= d.paginas.size())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const auto en = [k](const QRectF& r) {
        return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k);
    };
    QFont letra;
    QString familiaPuesta;
    for (const Item& i : d.paginas[pagina].items) {
        switch (i.tipo) {
        case Item::Tipo::Texto: {
            if (i.texto.isEmpty())
                break;
            // Setting the family anew costs a font lookup; most items share one.
            if (i.letra.familia != familiaPuesta) {
                letra.setFamily(i.letra.familia.isEmpty() ? QStringLiteral("DejaVu Sans")
                                                          : i.letra.familia);
                familiaPuesta = i.letra.familia;
            }
            letra.setPointSizeF(i.letra.puntos);
            letra.setBold(i.letra.negrita);
            letra.setItalic(i.letra.cursiva);
            p.setFont(letra);
            p.setPen(Qt::black);
            const QRectF r = en(i.rect);
            if (i.multilinea) {
                p.drawText(r, banderas(i), i.texto);
            } else {
                // One line: what does not fit is cut at the box's edge.
                p.save();
                p.setClipRect(r);
                p.drawText(r, banderas(i) | Qt::TextSingleLine, i.texto);
                p.restore();
            }
            break;
        }
        case Item::Tipo::Linea:
            p.setPen(QPen(Qt::black, i.grosor * k));
            p.drawLine(QPointF(i.rect.left() * k, i.rect.top() * k),
                       QPointF(i.rect.right() * k, i.rect.bottom() * k));
            break;
        case Item::Tipo::Caja:
            p.setPen(QPen(Qt::black, i.grosor * k));
            p.setBrush(Qt::NoBrush);
            p.drawRect(en(i.rect));
            break;
        case Item::Tipo::Imagen:
            p.drawImage(en(i.rect), i.imagen);
            break;
        }
    }
    p.restore();
}

void EscribePdf(const Documento& d, QIODevice& destino) {
    QPdfWriter pdf(&destino);
    constexpr int kPuntosPorPulgada = 300;
    pdf.setResolution(kPuntosPorPulgada);
    pdf.setPageLayout(Disposicion(d));
    pdf.setTitle(d.titulo);
    pdf.setCreator(QStringLiteral("hojaruta"));
    PintaDocumento(d, pdf, kPuntosPorPulgada / 25.4);
}

void PintaDocumento(const Documento& d, QPagedPaintDevice& dispositivo, double k) {
    QPainter p;
    if (!p.begin(&dispositivo))
        throw Error(Error::Tipo::Salida, QStringLiteral("No se puede pintar el reporte"));
    for (int i = 0; i < d.paginas.size(); ++i) {
        if (i > 0)
            dispositivo.newPage();
        PintaPagina(p, d, i, k);
    }
    p.end();
}

void EscribePdf(const Documento& d, const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(Error::Tipo::Salida, QStringLiteral("No se puede escribir el archivo ") + ruta);
    EscribePdf(d, f);
    if (!f.flush())
        throw Error(Error::Tipo::Salida, QStringLiteral("No se puede escribir el archivo ") + ruta);
}

} // namespace reporte
