// The account lookup over 10,000 accounts (TopConsArt 20000): F3 on an account
// field until the list is on screen, filling the list, a keystroke in a search
// box, sorting by a column, and the statements each lookup sends.

#include "EnBaseEmbebida.h"
#include "Ensayo.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/ModeloConsulta.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kCuentas = 10000;

QString datos() {
    QStringList s;
    s << QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('CONSULTAS','TOPCONSART','20000');");
    for (int i = 0; i < kCuentas; i += 500) {
        QStringList filas;
        for (int j = i; j < i + 500; ++j)
            filas << QStringLiteral("('6.%1','Cuenta de gastos %1',0)")
                         .arg(j, 5, 10, QLatin1Char('0'));
        s << QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, Descripcion, TITULO) VALUES ") +
                 filas.join(u',') + u';';
    }
    return s.join(u'\n');
}

void tecla(QWidget* w, int codigo, const QString& texto = {}) {
    QKeyEvent pulsa(QEvent::KeyPress, codigo, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &pulsa);
    QKeyEvent suelta(QEvent::KeyRelease, codigo, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &suelta);
}

} // namespace

int main(int argc, char* argv[]) {
    FueraDePantalla();
    QApplication qapp(argc, argv);
    const Ensayo ensayo(datos());
    HojaEnBaseEmbebida hoja(ensayo);
    if (!hoja.Abre())
        return 1;
    FrmHojaRuta& ventana = hoja.ventana;
    ventana.activateWindow();
    // The field that has the focus says which lookup F3 opens: the window must be active.
    QElapsedTimer activa;
    activa.start();
    while (!ventana.isActiveWindow() && activa.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QLineEdit* cuenta = ventana.Campo(QStringLiteral("CuentaG1"));

    std::printf("%-28s %10s %10s %12s\n", "operation", "statements", "ms", "per unit");
    bool fallo = false;
    for (const char* vez : {"first lookup (F3 to shown)", "later lookup (F3 to shown)"}) {
        const int antes = ensayo.Sentencias();
        QElapsedTimer reloj;
        double hastaVerla = 0;
        int sentencias = 0;
        int filas = 0;
        double peorTecla = 0;
        QTimer espera;
        QObject::connect(&espera, &QTimer::timeout, [&] {
            auto* d = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible())
                return;
            espera.stop();
            hastaVerla = Milisegundos(reloj);
            sentencias = ensayo.Sentencias() - antes;

            filas = d->Modelo().rowCount();
            // Each keystroke jumps to the first matching row: the worst of them.
            for (QChar c : QStringLiteral("cuenta de gastos 09999")) {
                QElapsedTimer t;
                t.start();
                tecla(d->Caja(0), c.toUpper().unicode(), QString(c));
                peorTecla = std::max(peorTecla, Milisegundos(t));
            }
            if (d->FilaElegida() != kCuentas - 1)
                fallo = true;
            tecla(d->Caja(0), Qt::Key_Escape);
        });
        espera.start(0);
        cuenta->setFocus();
        QApplication::processEvents();
        reloj.start();
        tecla(cuenta, Qt::Key_F3);
        std::printf("%-28s %10d %10.1f %9d rows\n", vez, sentencias, hastaVerla, filas);
        std::printf("%-28s %10s %10.2f %12s\n", "  worst keystroke", "-", peorTecla, "");
        fallo = fallo || filas != kCuentas;
    }

    // Filling the list alone, from a result already read.
    {
        ado::Recordset rs;
        hoja.app.db.AbrirRecordset(
            QStringLiteral("SELECT TOP 20000 DESCRIPCION,CODIGO FROM MA_CUENTAS ORDER BY CODIGO"),
            rs);
        ModeloConsulta modelo;
        const ModeloConsulta::Lectura l;
        QElapsedTimer reloj;
        reloj.start();
        modelo.Encolumnar(rs, l);
        modelo.Leer(rs, l);
        const double t = Milisegundos(reloj);
        std::printf("%-28s %10s %10.1f %7.0f rows/ms\n", "fill the list", "-", t,
                    modelo.rowCount() / std::max(t, 0.001));
        fallo = fallo || modelo.rowCount() != kCuentas;

        // A header click: by the code, descending, then by the description.
        reloj.restart();
        modelo.OrdenaPorValor(1, Qt::DescendingOrder);
        const double porCodigo = Milisegundos(reloj);
        reloj.restart();
        modelo.OrdenaPorValor(0, Qt::AscendingOrder);
        const double porDescripcion = Milisegundos(reloj);
        std::printf("%-28s %10s %10.1f %12s\n", "sort by a column (code)", "-", porCodigo, "");
        std::printf("%-28s %10s %10.1f %12s\n", "sort by a column (text)", "-", porDescripcion, "");
        fallo = fallo || modelo.Valor(0, 1) != QStringLiteral("Cuenta de gastos 00000");
    }
    if (fallo || hoja.dialogo.cajas != 0) {
        std::printf("unexpected: a lookup did not list or find every account, or %d boxes\n",
                    hoja.dialogo.cajas);
        return 1;
    }
    ventana.close();
    return 0;
}
