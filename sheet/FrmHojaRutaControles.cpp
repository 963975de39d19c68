// What the sheet warns about as the clerk works: lines whose counts do not add up,
// an odometer that does not follow the vehicle's previous run, and the journal
// entry a finish posts, shown before it is posted. Also the product column the
// clerk widens by dragging its edge on the captions.

#include "sheet/FrmHojaRuta.h"

#include "DisposicionHoja.h"
#include "Interno.h"
#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "sheet/AsientoReparto.h"
#include "ui_FrmHojaRuta.h"

#include <QLabel>
#include <QMouseEvent>

using hoja::TextoNumero;

namespace {

constexpr int kVehiculo = 3, kKmInicial = 5, kKmFinal = 6; // model's header fields

} // namespace

void FrmHojaRuta::conectaControles() {
    ModeloGrilla* lineas = &reparto_.Lineas();
    connect(lineas, &ModeloGrilla::dataChanged, this,
            [this](const QModelIndex& desde, const QModelIndex& hasta) {
                revisaDescuadres(desde.row(), hasta.row());
            });
    const auto todas = [this] { revisaDescuadres(0, reparto_.Lineas().filas() - 1); };
    connect(lineas, &ModeloGrilla::modelReset, this, todas);
    connect(lineas, &ModeloGrilla::rowsInserted, this, todas);
    connect(lineas, &ModeloGrilla::rowsRemoved, this, todas);
    connect(&reparto_, &Reparto::campoCambiado, this, [this](int i) {
        // Another vehicle makes the previous run read for the last one meaningless.
        if (i == kVehiculo)
            kmAnterior_.reset();
        if (i == kVehiculo || i == kKmInicial || i == kKmFinal)
            muestraKm();
    });
}

void FrmHojaRuta::revisaDescuadres(int desde, int hasta) {
    ModeloGrilla& g = reparto_.Lineas();
    for (int f = std::max(desde, 0); f <= std::min(hasta, g.filas() - 1); ++f)
        g.setAviso(f, ReglasHoja::Descuadre(reparto_, f), ModeloGrilla::Aviso::Cantidades);
    ui_->lblDescuadres->setText(QString::number(g.conAviso(ModeloGrilla::Aviso::Cantidades)));
}

void FrmHojaRuta::buscaKmAnterior() {
    // A finalized run cannot be corrected any more: nothing to warn about.
    kmAnterior_ = reparto_.Finalizado.isEmpty() ? repo_.UltimoFinalizado(reparto_) : std::nullopt;
    muestraKm();
}

void FrmHojaRuta::muestraKm() {
    // A note, not a check: the clerk may have good reason (a van moved unrecorded).
    const QString nota = ReglasHoja::AvisoKmInicial(reparto_, kmAnterior_);
    ui_->lblKmAnterior->setText(nota);
    ui_->lblKmAnterior->setToolTip(nota);
    const auto km = ReglasHoja::KmRecorridos(reparto_);
    ui_->lblKmRecorridos->setText(km ? QStringLiteral("Km recorridos: ") + TextoNumero(*km)
                                     : QString());
}

bool FrmHojaRuta::confirmaFinalizar() {
    asientoMostrado_.reset();
    DatosAsiento datos;
    AsientoPrevio previo;
    try {
        datos = repo_.PreparaAsiento(reparto_);
        previo = repo_.PreveAsiento(reparto_, datos);
    } catch (const std::exception& e) {
        app_.TratamientoErroresGlobal(plataforma::FallaDe(e), plataforma::kEstiloError,
                                      QStringLiteral("cmdFinalizar_Click"));
        return false;
    }
    ModeloAsiento tabla(previo.lineas,
                        [this](Currency c) { return app_.FmtMoneda(TextoNumero(c), -1, false); });
    if (app_.dialogo.MsgBoxConTabla(
            QStringLiteral(
                "Recuerde: Una vez finalizado el Reparto NO SE PODRA MODIFICAR!\r\n-Confirma...?"),
            {previo.Leyenda(), &tabla},
            {plataforma::Botones::YesNo, plataforma::Icono::Question, 2},
            QStringLiteral("-Atención!")) != plataforma::Respuesta::Yes)
        return false;
    const auto descuadres = ReglasHoja::Descuadres(reparto_);
    if (!descuadres.isEmpty() &&
        app_.dialogo.MsgBox(ReglasHoja::PreguntaDescuadres(reparto_, descuadres),
                            {plataforma::Botones::YesNo, plataforma::Icono::Exclamation, 2},
                            QStringLiteral("-Atención!")) != plataforma::Respuesta::Yes)
        return false;
    asientoMostrado_ = AsientoMostrado{datos, previo.registra ? previo.numero : 0};
    return true;
}

void FrmHojaRuta::avisaNumeroAsiento(const DatosAsiento& asiento) {
    // The number shown was read before the save's lock; the one under the lock is
    // the one posted, so the journal keeps no gap and no repeat. The clerk hears of
    // it only when they differ.
    if (!asiento.registra || !asientoMostrado_ || asientoMostrado_->numero <= 0 ||
        asiento.numeroAsiento == asientoMostrado_->numero)
        return;
    aviso(QStringLiteral("Otro puesto registró un asiento mientras se confirmaba éste: el "
                         "asiento del reparto %1 se registró con el número %2, no con el %3 que "
                         "se mostró.")
              .arg(reparto_.NumeroTexto().trimmed())
              .arg(asiento.numeroAsiento)
              .arg(asientoMostrado_->numero));
}

bool FrmHojaRuta::arrastraProducto(QWidget* w, QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    if (tipo != QEvent::MouseMove && tipo != QEvent::MouseButtonPress &&
        tipo != QEvent::MouseButtonRelease)
        return false;
    QWidget* titulos = ui_->fraTitulos;
    if (w != titulos && w->parentWidget() != titulos)
        return false;
    const auto* raton = static_cast<QMouseEvent*>(evento);
    const int x = titulos->mapFromGlobal(raton->globalPosition().toPoint()).x();
    const QRect producto = ui_->lblTitProducto->geometry();
    const bool enElBorde = std::abs(x - (producto.x() + producto.width())) <= 4;
    switch (tipo) {
    case QEvent::MouseButtonPress:
        arrastrando_ = enElBorde && raton->button() == Qt::LeftButton;
        return arrastrando_;
    case QEvent::MouseButtonRelease:
        if (!arrastrando_)
            return false;
        arrastrando_ = false;
        return true;
    default:
        if (arrastrando_) {
            parteProducto_ = hoja::ParteProducto(*ui_, x - producto.x());
            hoja::AnchosGrilla(*ui_, parteProducto_);
            return true;
        }
        if (enElBorde)
            w->setCursor(Qt::SplitHCursor);
        else
            w->unsetCursor();
        return false;
    }
}
