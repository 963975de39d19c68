#pragma once
// The report component as the program calls it: three options set beforehand,
// then Imprime with a report file, a connection, a selection formula and named
// parameter texts.
//
//   OpcionImpresion1  straight to the default printer (with no printer the operator
//                     is told so and gets the preview instead);
//   OpcionImpresion2  the preview may print;
//   OpcionImpresion3  the preview may export a PDF.

#include "platform/DialogoOperador.h"
#include "report/Documento.h"
#include "report/Formateador.h"
#include "report/FuenteDatos.h"

#include <QDateTime>
#include <QStringList>

#include <functional>
#include <memory>

namespace reporte {

// Where a laid-out report goes: the printer and the preview window of the program,
// files of a command-line tool, a record of calls in tests.
class Salida {
public:
    virtual ~Salida() = default;
    // Prints on the default printer; false when there is none.
    virtual bool ImprimeDirecto(const Documento& documento, int copias) = 0;
    virtual void VistaPrevia(const Documento& documento, bool puedeImprimir,
                             bool puedeExportar) = 0;
};

// The data source for a report connection text. The text names the connection
// and may carry its password: it is handed here and nowhere else.
using Conector = std::function<std::unique_ptr<FuenteDatos>(const QString& conexion)>;

class Reportes {
public:
    Reportes(Conector conector, const Formateador& formato, Salida& salida,
             plataforma::DialogoOperador& dialogo, std::function<QDateTime()> reloj = {});

    bool OpcionImpresion1 = false;
    bool OpcionImpresion2 = false;
    bool OpcionImpresion3 = false;

    // Runs the report file `Archivo` on the connection. `Copias` holds a text per
    // copy (one empty text: one copy); `Parametro` and `Parametro2` are parameter
    // texts "nombre = 'valor'", an empty one standing for none. Raises
    // reporte::Error.
    void Imprime(const QString& Archivo, const QStringList& Copias, const QString& Formula,
                 const QString& Conexion, QString& Parametro, QString& Parametro2);
    // The same with any number of parameter texts.
    void Imprime(const QString& Archivo, const QStringList& Copias, const QString& Formula,
                 const QString& Conexion, const QStringList& parametros);

    static const QString kSinImpresora;

private:
    Conector conector_;
    const Formateador& formato_;
    Salida& salida_;
    plataforma::DialogoOperador& dialogo_;
    std::function<QDateTime()> reloj_;
};

} // namespace reporte
