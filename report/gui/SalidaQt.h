#pragma once
// Where the program's reports go: the printer, and the preview window.

#include "platform/DialogoOperador.h"
#include "report/Reportes.h"

class QPrinter;
class QWidget;

namespace reporte {

// Prints every page on a printer that is set up (and, for the copies, told so).
// Raises reporte::Error (Salida) when the printer refuses.
void ImprimeEn(const Documento& documento, QPrinter& impresora);

class SalidaQt : public Salida {
public:
    SalidaQt(plataforma::DialogoOperador& dialogo, QWidget* padre = nullptr)
        : dialogo_(dialogo), padre_(padre) {}

    bool ImprimeDirecto(const Documento& documento, int copias) override;
    void VistaPrevia(const Documento& documento, bool puedeImprimir, bool puedeExportar) override;

private:
    plataforma::DialogoOperador& dialogo_;
    QWidget* padre_;
};

} // namespace reporte
