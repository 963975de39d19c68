// The journal entry a finish posts, shown before it is posted.

#include "sheet/FrmHojaRuta.h"

#include "Interno.h"
#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "sheet/AsientoReparto.h"
#include "ui_FrmHojaRuta.h"

using hoja::TextoNumero;

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
