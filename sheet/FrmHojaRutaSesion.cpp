// The sheet across sessions: the unsaved run kept when the session ends and
// offered back at the next start, and the window's size, place and product column
// kept per user.

#include "sheet/FrmHojaRuta.h"

#include "DisposicionHoja.h"
#include "app/Aplicacion.h"
#include "ui_FrmHojaRuta.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QProgressDialog>

Recuperacion FrmHojaRuta::RecuperacionDeLaBase() const {
    return Recuperacion(carpetaRecuperacion_, app_.db.gServidor, app_.db.gDBName);
}

void FrmHojaRuta::TerminaSesion() {
    if (terminando_)
        return;
    if (cargando_ > 0) {
        QWidget* caja = QApplication::activeModalWidget();
        if (!caja || qobject_cast<QProgressDialog*>(caja)) {
            // Carried out once the run is whole and marked as loaded.
            terminaAlCargar_ = true;
            return;
        }
        // A box waits in the middle of the load for an answer nobody will give:
        // what the sheet holds is half a run nobody typed, so nothing is kept.
        terminando_ = true;
        QCoreApplication::exit(0);
        return;
    }
    terminando_ = true;
    // The fields and the grid's editor write into the model as the clerk types, so
    // the model is what the screen shows.
    if (reparto_.HayCambios() && !RecuperacionDeLaBase().Guarda(reparto_))
        qWarning("hojaruta: the unsaved run could not be kept in %s",
                 qPrintable(RecuperacionDeLaBase().Ruta()));
    if (QApplication::activeModalWidget()) {
        // A box waits for an answer nobody will give. Every event loop ends, and any
        // box the interrupted procedure still shows gets its cautious answer at
        // once; the program's end writes the exit time.
        QCoreApplication::exit(0);
        return;
    }
    close();
}

void FrmHojaRuta::OfreceRecuperacion() {
    const Recuperacion rec = RecuperacionDeLaBase();
    if (!rec.Existe())
        return;
    const std::optional<HojaRecuperada> hoja = rec.Lee();
    if (!hoja) {
        rec.Borra(); // nothing in it can be put back
        return;
    }
    const auto r = app_.dialogo.MsgBox(QStringLiteral("¿Recupera los cambios sin grabar del "
                                                      "reparto ") +
                                           hoja->numero.trimmed() + QStringLiteral("?"),
                                       {plataforma::Botones::YesNo, plataforma::Icono::Question, 1},
                                       QStringLiteral("Aviso al operador..."));
    // The session ended while asking: nobody answered, so the next start asks again.
    if (terminando_)
        return;
    // Offered once: whatever the answer, it is not offered again.
    rec.Borra();
    if (r == plataforma::Respuesta::Yes)
        recupera(*hoja);
}

void FrmHojaRuta::recupera(const HojaRecuperada& hoja) {
    // The run is opened as Enter would open it; a new one gets the number a new run
    // gets now.
    reparto_.setCampo(QStringLiteral("Reparto"),
                      hoja.existe ? hoja.numero.trimmed() : repo_.ProximoReparto());
    teclaCampo(Campo(QStringLiteral("Reparto")), Qt::Key_Return);
    // A run finalized meanwhile is never written again: nothing goes over it.
    if (HayError_ || !reparto_.Finalizado.isEmpty())
        return;
    Recuperacion::Devuelve(hoja, reparto_);
    muestraEtiquetas();
    CalculaTotalesResumen();
    actualizaTitulo();
}

// ----------------------------------------------------------- the window

void FrmHojaRuta::closeEvent(QCloseEvent* evento) {
    if (!terminando_ && !descartaCambios()) {
        evento->ignore();
        return;
    }
    app_.db.CierraRecordset(rsTabla);
    app_.FinalizaAplicacion();
    if (recuerdaVentana_) {
        QSettings ventana = ventanaDelUsuario();
        ventana.setValue(QStringLiteral("geometria"), saveGeometry());
        ventana.setValue(QStringLiteral("parteProducto"), parteProducto_);
    }
    evento->accept();
}

QSettings FrmHojaRuta::ventanaDelUsuario() const {
    // The user's own file, beside the unsaved run's: never the suite's INI.
    return QSettings(carpetaRecuperacion_ + QStringLiteral("/ventana.ini"), QSettings::IniFormat);
}

void FrmHojaRuta::RecuerdaVentana() {
    recuerdaVentana_ = true;
    const QSettings ventana = ventanaDelUsuario();
    restoreGeometry(ventana.value(QStringLiteral("geometria")).toByteArray());
    bool ok = false;
    const double parte = ventana.value(QStringLiteral("parteProducto")).toDouble(&ok);
    if (ok)
        parteProducto_ = hoja::AcotaParte(parte);
    hoja::AnchosGrilla(*ui_, parteProducto_);
}
