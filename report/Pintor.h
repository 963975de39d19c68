#pragma once
// Painting laid-out pages: on a screen image, a printer or a PDF file. Positions
// are millimetres; letter sizes are points, so a device must report its real
// resolution (printers and PDF writers do; an image gets it set).

#include "report/Documento.h"

#include <QIODevice>
#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace reporte {

// Paints page `pagina` (from 0) with the painter's origin at the paper's top left
// corner, `puntosPorMm` device pixels to the millimetre.
void PintaPagina(QPainter& pintor, const Documento& documento, int pagina, double puntosPorMm);

// The whole document as PDF. Raises reporte::Error (Salida) naming the file when
// it cannot be written.
void EscribePdf(const Documento& documento, const QString& ruta);
void EscribePdf(const Documento& documento, QIODevice& destino);

// Every page on a paged device (a printer, say) that has begun its first page and
// whose page is the document's, from the paper's edge.
void PintaDocumento(const Documento& documento, QPagedPaintDevice& dispositivo, double puntosPorMm);

// The page layout of the document: its paper, turned, without margins.
QPageLayout Disposicion(const Documento& documento);

} // namespace reporte
