#pragma once
// The sheet window of a benchmark on an embedded database file: its application is
// pointed at the file with the line the suite's menu would pass, and the window's
// load connects it.

#include "DialogoMudo.h"
#include "Ensayo.h"
#include "app/Aplicacion.h"
#include "sheet/FrmHojaRuta.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

inline Aplicacion& EnBaseEmbebida(Aplicacion& app, const QString& carpeta, const QString& base) {
    app.carpetaEjecutable = carpeta;
    app.carpetaPuesto = carpeta;
    app.db.carpetaLog = carpeta;
    app.lineaProceso = QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; "
                                      "@Password= ; @ParametroAdicional=; @Caja=1;kora@")
                           .arg(base);
    return app;
}

// The sheet window over the database of an Ensayo; its operator answers every box
// with OK and counts them.
struct HojaEnBaseEmbebida {
    explicit HojaEnBaseEmbebida(const Ensayo& ensayo)
        : ventana(EnBaseEmbebida(app, ensayo.Carpeta(), ensayo.Base())) {}

    // Loads the window (connecting the application) and shows it.
    bool Abre() {
        if (!ventana.Form_Load())
            return false;
        ventana.show();
        return true;
    }

    // The clerk types the run's number and Enter: the run is read.
    void AbreReparto(const QString& numero) {
        QLineEdit* reparto = ventana.Campo(QStringLiteral("Reparto"));
        reparto->setText(numero);
        reparto->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(reparto, &enter);
    }

    DialogoMudo dialogo;
    Aplicacion app{dialogo};
    FrmHojaRuta ventana;
};
