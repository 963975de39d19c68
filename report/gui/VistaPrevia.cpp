#include "report/gui/VistaPrevia.h"

#include "report/Error.h"
#include "report/Pintor.h"
#include "report/gui/SalidaQt.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace reporte {

namespace {

constexpr double kZooms[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0};

QPushButton* boton(const QString& texto, const QString& nombre, QWidget* padre) {
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(nombre);
    // Enter must not press a button behind the operator's back.
    b->setAutoDefault(false);
    return b;
}

} // namespace

VistaPrevia::VistaPrevia(const Documento& documento, bool puedeImprimir, bool puedeExportar,
                         plataforma::DialogoOperador& dialogo, QWidget* padre)
    : QDialog(padre), documento_(documento), dialogo_(dialogo) {
    setWindowTitle(QStringLiteral("Vista previa"));
    setModal(true);

    pideArchivoPdf = [](QWidget* w) {
        return QFileDialog::getSaveFileName(w, QStringLiteral("Exportar PDF"), QString(),
                                            QStringLiteral("PDF (*.pdf)"));
    };
    pideImpresora = [](QPrinter& impresora, QWidget* w) {
        QPrintDialog d(&impresora, w);
        return d.exec() == QDialog::Accepted;
    };

    auto* primera = boton(QStringLiteral("|<"), QStringLiteral("primera"), this);
    anterior_ = boton(QStringLiteral("<"), QStringLiteral("anterior"), this);
    numero_ = new QLabel(this);
    numero_->setObjectName(QStringLiteral("numeroPagina"));
    siguiente_ = boton(QStringLiteral(">"), QStringLiteral("siguiente"), this);
    auto* ultima = boton(QStringLiteral(">|"), QStringLiteral("ultima"), this);
    zooms_ = new QComboBox(this);
    zooms_->setObjectName(QStringLiteral("zoom"));
    for (double z : kZooms)
        zooms_->addItem(QString::number(qRound(z * 100)) + u'%', z);
    zooms_->setCurrentIndex(2);
    auto* imprime = boton(QStringLiteral("Imprimir…"), QStringLiteral("imprimir"), this);
    auto* exporta = boton(QStringLiteral("Exportar PDF…"), QStringLiteral("exportar"), this);
    auto* cierra = boton(QStringLiteral("Cerrar"), QStringLiteral("cerrar"), this);
    imprime->setEnabled(puedeImprimir);
    exporta->setEnabled(puedeExportar);

    auto* barra = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{primera, anterior_, numero_, siguiente_, ultima, zooms_})
        barra->addWidget(w);
    barra->addStretch();
    barra->addWidget(imprime);
    barra->addWidget(exporta);
    barra->addWidget(cierra);

    hoja_ = new QLabel;
    hoja_->setAlignment(Qt::AlignCenter);
    desplazable_ = new QScrollArea(this);
    desplazable_->setWidget(hoja_);
    desplazable_->setWidgetResizable(true);
    desplazable_->setBackgroundRole(QPalette::Dark);

    auto* todo = new QVBoxLayout(this);
    todo->addLayout(barra);
    todo->addWidget(desplazable_, 1);

    connect(primera, &QPushButton::clicked, this, [this] { irA(0); });
    connect(anterior_, &QPushButton::clicked, this, [this] { irA(pagina_ - 1); });
    connect(siguiente_, &QPushButton::clicked, this, [this] { irA(pagina_ + 1); });
    connect(ultima, &QPushButton::clicked, this,
            [this] { irA(static_cast<int>(documento_.paginas.size()) - 1); });
    connect(zooms_, &QComboBox::currentIndexChanged, this,
            [this](int i) { setZoom(zooms_->itemData(i).toDouble()); });
    connect(imprime, &QPushButton::clicked, this, &VistaPrevia::imprimir);
    connect(exporta, &QPushButton::clicked, this, &VistaPrevia::exportar);
    connect(cierra, &QPushButton::clicked, this, &QDialog::reject);

    resize(1000, 760);
    muestra();
}

void VistaPrevia::irA(int pagina) {
    const int n = static_cast<int>(documento_.paginas.size());
    pagina_ = std::clamp(pagina, 0, std::max(0, n - 1));
    muestra();
}

void VistaPrevia::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, kZooms[0], kZooms[std::size(kZooms) - 1]);
    for (int i = 0; i < zooms_->count(); ++i)
        if (qFuzzyCompare(zooms_->itemData(i).toDouble(), zoom_)) {
            const QSignalBlocker bloqueo(zooms_);
            zooms_->setCurrentIndex(i);
        }
    muestra();
}

void VistaPrevia::muestra() {
    const int n = static_cast<int>(documento_.paginas.size());
    numero_->setText(QStringLiteral("Página %1 de %2").arg(n == 0 ? 0 : pagina_ + 1).arg(n));
    anterior_->setEnabled(pagina_ > 0);
    siguiente_->setEnabled(pagina_ + 1 < n);
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const double k = dpi / 25.4 * zoom_;
    QImage imagen(qRound(documento_.papel.width() * k), qRound(documento_.papel.height() * k),
                  QImage::Format_RGB32);
    // Letter sizes are points: the image must know its resolution.
    imagen.setDotsPerMeterX(qRound(k * 1000));
    imagen.setDotsPerMeterY(qRound(k * 1000));
    imagen.fill(Qt::white);
    if (n > 0) {
        QPainter p(&imagen);
        PintaPagina(p, documento_, pagina_, k);
    }
    hoja_->setPixmap(QPixmap::fromImage(imagen));
}

void VistaPrevia::imprimir() {
    QPrinter impresora(QPrinter::HighResolution);
    if (!pideImpresora(impresora, this))
        return;
    try {
        ImprimeEn(documento_, impresora);
    } catch (const Error& e) {
        dialogo_.MsgBox(
            e.mensaje, plataforma::Estilo{plataforma::Botones::OKOnly, plataforma::Icono::Critical},
            QStringLiteral("Aviso al Operador"));
    }
}

void VistaPrevia::exportar() {
    const QString ruta = pideArchivoPdf(this);
    if (ruta.isEmpty())
        return;
    try {
        EscribePdf(documento_, ruta);
    } catch (const Error& e) {
        dialogo_.MsgBox(
            e.mensaje, plataforma::Estilo{plataforma::Botones::OKOnly, plataforma::Icono::Critical},
            QStringLiteral("Aviso al Operador"));
    }
}

void VistaPrevia::keyPressEvent(QKeyEvent* e) {
    const bool control = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_PageDown:
        irA(pagina_ + 1);
        return;
    case Qt::Key_PageUp:
        irA(pagina_ - 1);
        return;
    case Qt::Key_Home:
        irA(0);
        return;
    case Qt::Key_End:
        irA(static_cast<int>(documento_.paginas.size()) - 1);
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (control) {
            zooms_->setCurrentIndex(std::min(zooms_->currentIndex() + 1, zooms_->count() - 1));
            return;
        }
        break;
    case Qt::Key_Minus:
        if (control) {
            zooms_->setCurrentIndex(std::max(zooms_->currentIndex() - 1, 0));
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(e);
}

} // namespace reporte
