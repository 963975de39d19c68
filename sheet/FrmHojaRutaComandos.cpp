// The sheet's commands: saving and finishing a run, cancelling, printing, exporting,
// and the toolbar that runs them.

#include "sheet/FrmHojaRuta.h"

#include "Interno.h"
#include "app/Aplicacion.h"
#include "app/Reportes.h"
#include "platform/Pasos.h"
#include "platform/gui/Barvex1.h"
#include "platform/gui/Grillas.h"
#include "report/gui/SalidaQt.h"
#include "sheet/ExportaReparto.h"
#include "ui_FrmHojaRuta.h"

#include <QLineEdit>
#include <QStatusBar>
#include <QTime>

// ------------------------------------------------------------------- saving

bool FrmHojaRuta::AsientoBalanceado() {
    const auto falta = ReglasHoja::AsientoBalanceado(reparto_);
    if (!falta)
        return true;
    aviso(falta->mensaje);
    if (QLineEdit* caja = Campo(falta->campo); caja && caja->isEnabled())
        caja->setFocus();
    return false;
}

bool FrmHojaRuta::GrabaReparto() {
    // The entry's settings only read; its number is read under the save's lock.
    std::optional<DatosAsiento> asiento;
    if (Finalizando_)
        asiento = asientoMostrado_ ? asientoMostrado_->datos : repo_.PreparaAsiento(reparto_);
    for (;;) {
        Grabacion grabacion;
        try {
            grabacion = repo_.Graba(reparto_, Finalizando_, asiento ? &*asiento : nullptr);
        } catch (const std::exception& e) {
            // The transaction is undone; the failure keeps the provider's records
            // for the dialog.
            const ado::Falla falla = plataforma::FallaDe(e);
            app_.util.Restablece(0);
            HayError_ = true;
            // A value the table could not take names its field.
            const QString campo =
                falla.Number == ado::codigo::adErrDataConversion ? falla.Source : QString();
            if (app_.MuestraErrorDatos(falla, campo) == plataforma::Respuesta::Retry)
                continue;
            return false;
        }
        switch (grabacion) {
        case Grabacion::Grabada:
            if (asiento && !asiento->aviso.isEmpty())
                app_.dialogo.MsgBox(asiento->aviso, {}, QString());
            else if (asiento)
                avisaNumeroAsiento(*asiento);
            return true;
        case Grabacion::SinAsiento:
            // A finalized run can never be finished again, so it is not finished
            // without the entry it must post.
            if (asiento->sinTipoRegistro)
                app_.dialogo.MsgBox(asiento->aviso, {}, QString());
            else if (!asiento->aviso.isEmpty())
                aviso(asiento->aviso);
            return false;
        case Grabacion::NumeroOcupado:
            if (!otroNumero())
                return false;
            continue;
        case Grabacion::CambiadaEnOtroPuesto:
            recargaCambiado();
            return false;
        }
    }
}

bool FrmHojaRuta::otroNumero() {
    // Another workstation saved a run under this new number meanwhile: the sheet
    // is kept and may take the next free one.
    const QString ocupado = reparto_.NumeroTexto().trimmed();
    const QString proximo = repo_.ProximoReparto();
    if (app_.dialogo.MsgBox(
            QStringLiteral("El número de reparto %1 ya fue grabado en otro puesto: no se grabó "
                           "nada. ¿Graba este reparto con el número %2?")
                .arg(ocupado, proximo),
            {plataforma::Botones::YesNo, plataforma::Icono::Question, 1},
            QStringLiteral("Aviso al operador...")) != plataforma::Respuesta::Yes)
        return false;
    reparto_.setCampo(QStringLiteral("Reparto"), proximo);
    reparto_.ConfirmaNumero(proximo);
    actualizaTitulo();
    return true;
}

void FrmHojaRuta::recargaCambiado() {
    const QString numero = reparto_.NumeroTexto().trimmed();
    if (app_.dialogo.MsgBox(
            QStringLiteral("El reparto %1 fue modificado en otro puesto desde que se abrió en "
                           "esta hoja: no se grabó nada. ¿Lo vuelve a abrir? Se descartan los "
                           "cambios de esta hoja.")
                .arg(numero),
            {plataforma::Botones::YesNo, plataforma::Icono::Exclamation, 2},
            QStringLiteral("Aviso al operador...")) != plataforma::Respuesta::Yes)
        return; // the sheet stays as typed
    reparto_.setCampo(QStringLiteral("Reparto"), reparto_.NumeroTexto());
    abreReparto();
}

// ----------------------------------------------------------------- commands

void FrmHojaRuta::Grabar() {
    if (!reparto_.Finalizado.isEmpty())
        return; // a finalized run is never written again
    // A run number typed and not confirmed is confirmed first, as Enter would: the
    // save then writes the run the clerk has on screen, or nothing.
    QLineEdit* numero = Campo(QStringLiteral("Reparto"));
    const QString tipeado = reparto_.Campo(QStringLiteral("Reparto"));
    if (tipeado.trimmed() == reparto_.NumeroTexto().trimmed()) {
        // The same number, written with blanks around it: as typed, as ever.
        reparto_.ConfirmaNumero(tipeado);
    } else {
        const QString antes = reparto_.NumeroTexto();
        teclaCampo(numero, Qt::Key_Return);
        if (HayError_ || reparto_.NumeroTexto() != antes ||
            reparto_.Campo(QStringLiteral("Reparto")) != antes)
            return;
    }
    if (reparto_.LineaIncompleta > 0) {
        aviso(QStringLiteral("Las líneas del reparto %1 no se cargaron completas (falló la línea "
                             "%2): no se puede grabar. Vuelva a abrir el reparto.")
                  .arg(reparto_.NumeroTexto().trimmed())
                  .arg(reparto_.LineaIncompleta));
        return;
    }
    Grabando_ = true;
    try {
        // A failed save keeps the sheet as typed, so the operator can try again.
        if (Datosvalidos() && (!Finalizando_ || AsientoBalanceado()) && GrabaReparto()) {
            const QString grabado = reparto_.NumeroTexto().trimmed();
            Inicializa();
            // The sheet is empty again: the status bar says what became of the run.
            statusBar()->showMessage(
                QStringLiteral("Reparto %1 grabado a las %2")
                    .arg(grabado, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
        }
    } catch (...) {
        Grabando_ = false;
        throw;
    }
    Grabando_ = false;
}

void FrmHojaRuta::Cancelar() {
    if (!descartaCambios())
        return;
    Inicializa();
    Campo(QStringLiteral("Reparto"))->setFocus();
    Grabando_ = false;
}

void FrmHojaRuta::Imprimir() {
    // The report reads the database, so it prints the run that was loaded, under the
    // number confirmed, whatever is typed in the field since.
    const QString numero = reparto_.NumeroTexto().trimmed();
    if (!reparto_.Existe) {
        aviso(QStringLiteral("El reparto %1 es nuevo y todavía no se grabó: no hay nada que "
                             "imprimir.")
                  .arg(numero));
        return;
    }
    if (reparto_.HayCambios())
        aviso(QStringLiteral("El reparto %1 tiene cambios sin grabar: la planilla impresa muestra "
                             "los últimos datos grabados.")
                  .arg(numero));
    reporte::SalidaQt vista(app_.dialogo, this);
    ImprimePlanilla(app_, salidaReporte_ ? *salidaReporte_ : vista, reparto_.NumeroTexto());
}

void FrmHojaRuta::Exportar() {
    // What the sheet shows, unsaved changes included: the clerk exports what is seen.
    const QString numero = reparto_.NumeroTexto().trimmed().isEmpty()
                               ? reparto_.Campo(QStringLiteral("Reparto")).trimmed()
                               : reparto_.NumeroTexto().trimmed();
    const auto ruta =
        app_.dialogo.EligeArchivoGuardar(QStringLiteral("Exportar el reparto"), exporta::Filtro(),
                                         QStringLiteral("reparto-%1.xlsx").arg(numero));
    if (!ruta)
        return;
    const QString error = exporta::Escribe(reparto_, *ruta);
    if (!error.isEmpty()) {
        aviso(error);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Reparto %1 exportado a %2").arg(numero, *ruta));
}

void FrmHojaRuta::Barvex1_ButtonClick(const QString& clave) {
    const QString k = clave.trimmed().toUpper();
    try {
        if (k == QLatin1String("GRABAR")) {
            Grabar();
        } else if (k == QLatin1String("PLANILLA")) {
            Grillas::MuestraTabla(TablaActiva, app_.db.gCnn(), QStringLiteral("Repartos"), this);
        } else if (k == QLatin1String("CERRAR")) {
            close();
        } else if (k == QLatin1String("CANCELAR")) {
            Cancelar();
        } else if (k == QLatin1String("CONSULTAR")) {
            Consultar();
        } else if (k == QLatin1String("REPORTE")) {
            Imprimir();
        } else if (k == QLatin1String("EXPORTAR")) {
            Exportar();
        }
        // NUEVO and BORRAR do nothing on this sheet.
    } catch (const std::exception& e) {
        app_.TratamientoErroresGlobal(plataforma::FallaDe(e), plataforma::kEstiloError,
                                      QStringLiteral("Barvex1_ButtonClick"));
    }
}

void FrmHojaRuta::cmdFinalizar_Click() {
    if (!confirmaFinalizar())
        return;
    Finalizando_ = true;
    Barvex1_ButtonClick(QStringLiteral("GRABAR"));
    Finalizando_ = false;
    asientoMostrado_.reset();
}

void FrmHojaRuta::cambiaDePestana() {
    QTabWidget* pestanas = ui_->SSTab1;
    pestanas->setCurrentIndex((pestanas->currentIndex() + 1) % pestanas->count());
    // The focus goes where the clerk left it on that page, else to its first stop,
    // never stays on a field now hidden.
    QWidget* pagina = pestanas->currentWidget();
    QWidget* destino = pagina->focusWidget();
    if (!destino || !destino->isVisible() || !destino->isEnabled()) {
        destino = pagina->nextInFocusChain();
        while (destino != pagina &&
               (!pagina->isAncestorOf(destino) || !destino->isVisible() || !destino->isEnabled() ||
                destino->focusPolicy() == Qt::NoFocus))
            destino = destino->nextInFocusChain();
    }
    if (destino != pagina)
        destino->setFocus(Qt::TabFocusReason);
}
