#include "report/gui/SalidaQt.h"

#include "report/Error.h"
#include "report/Pintor.h"
#include "report/gui/VistaPrevia.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace reporte {

void ImprimeEn(const Documento& d, QPrinter& impresora) {
    impresora.setFullPage(true);
    impresora.setPageLayout(Disposicion(d));
    impresora.setDocName(d.titulo);
    PintaDocumento(d, impresora, impresora.resolution() / 25.4);
}

bool SalidaQt::ImprimeDirecto(const Documento& documento, int copias) {
    const QPrinterInfo predeterminada = QPrinterInfo::defaultPrinter();
    if (predeterminada.isNull())
        return false;
    QPrinter impresora(predeterminada, QPrinter::HighResolution);
    impresora.setCopyCount(copias);
    ImprimeEn(documento, impresora);
    return true;
}

void SalidaQt::VistaPrevia(const Documento& documento, bool puedeImprimir, bool puedeExportar) {
    reporte::VistaPrevia vista(documento, puedeImprimir, puedeExportar, dialogo_, padre_);
    vista.exec();
}

} // namespace reporte
