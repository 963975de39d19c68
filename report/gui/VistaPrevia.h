#pragma once
// The modal "Vista previa" window of a laid-out report: one page at a time, zoom,
// "Página n de m", and, when the caller allows, "Imprimir…" and "Exportar PDF…".
// Esc closes it; PgUp/PgDn, Home/End turn pages; Ctrl++ and Ctrl+- zoom.

#include "platform/DialogoOperador.h"
#include "report/Documento.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace reporte {

class VistaPrevia : public QDialog {
    Q_OBJECT

public:
    VistaPrevia(const Documento& documento, bool puedeImprimir, bool puedeExportar,
                plataforma::DialogoOperador& dialogo, QWidget* padre = nullptr);

    int pagina() const { return pagina_; }
    void irA(int pagina);
    double zoom() const { return zoom_; }
    void setZoom(double zoom);

    // Where the PDF goes (empty: the operator cancelled), and the printer set up by
    // the operator (false: cancelled). Dialogs by default; tests put their own.
    std::function<QString(QWidget*)> pideArchivoPdf;
    std::function<bool(QPrinter&, QWidget*)> pideImpresora;

    void imprimir();
    void exportar();

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void muestra();

    const Documento& documento_;
    plataforma::DialogoOperador& dialogo_;
    int pagina_ = 0;
    double zoom_ = 1.0;
    QLabel* hoja_;
    QLabel* numero_;
    QScrollArea* desplazable_;
    QComboBox* zooms_;
    QPushButton* anterior_;
    QPushButton* siguiente_;
};

} // namespace reporte
