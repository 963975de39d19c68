#pragma once
// What the benchmarks of the sheet, its lookups and its report share: a database
// file of their own whose statements are traced, so that an operation can be
// counted and timed, the run they fill it with, and the rows of their tables.

#include "platform/Utilidades.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

// Off screen unless the caller names a platform; before the application object.
inline void FueraDePantalla() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline double Milisegundos(const QElapsedTimer& reloj) {
    return static_cast<double>(reloj.nsecsElapsed()) / 1e6;
}

struct Medida {
    int sentencias = 0;
    double ms = 0;
};

// The schema and `datos` in hoja.db, in a temporary folder; every connection made
// while it lives traces its statements to a file of that folder.
class Ensayo {
public:
    explicit Ensayo(const QString& datos) {
        qputenv("HOJARUTA_TRAZA", traza_.toLocal8Bit());
        ado::sqlite::CreaBaseEmbebida(base_, recursos::EsquemaSql(), datos);
    }
    ~Ensayo() { qputenv("HOJARUTA_TRAZA", QByteArray()); }
    Ensayo(const Ensayo&) = delete;
    Ensayo& operator=(const Ensayo&) = delete;

    QString Carpeta() const { return dir_.path(); }
    QString Ruta(const QString& nombre) const { return dir_.filePath(nombre); }
    const QString& Base() const { return base_; }

    // Statements traced so far: one a line.
    int Sentencias() const {
        QFile f(traza_);
        return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) : 0;
    }

    template <class Operacion> Medida Mide(Operacion&& operacion) const {
        const int antes = Sentencias();
        QElapsedTimer reloj;
        reloj.start();
        operacion();
        const double ms = Milisegundos(reloj);
        return {Sentencias() - antes, ms};
    }

private:
    QTemporaryDir dir_;
    const QString traza_ = dir_.filePath(QStringLiteral("traza.txt"));
    const QString base_ = dir_.filePath(QStringLiteral("hoja.db"));
};

// The i-th article's code, padded as the sheet stores codes.
inline QString CodigoArticulo(int i) {
    return Utilidades::AjustaCodigo(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')), 25);
}

// How the articles of a benchmark's run are written.
struct Articulos {
    QString descripcion = QStringLiteral("Articulo %1"); // %1: the article's number
    bool ivaAlterno = true; // every other article without a VAT rate of its own
    // Run 1 with an invoice and a credit note, and each line with their stock movements.
    bool conComprobantes = true;
};

// The rows of `cabecera` (settings, the run), then one saved line in run 1 of each
// of n articles.
inline QString DatosReparto(QStringList cabecera, int n, const Articulos& a = {}) {
    if (a.conComprobantes)
        cabecera << QStringLiteral("INSERT INTO MV_CPTE (TC, IdComprobante, IdReparto, Importe) "
                                   "VALUES ('FC','000100000001A',1,10), "
                                   "('NC','000100000002B',1,10);");
    for (int i = 0; i < n; ++i) {
        const QString id = CodigoArticulo(i);
        const bool sinIva = a.ivaAlterno && i % 2;
        cabecera << QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, Precio1, "
                                   "Precio2, TasaIva, Impuestos) VALUES ('%1','%2',10,20,%3,1);")
                        .arg(id, a.descripcion.arg(i),
                             sinIva ? QStringLiteral("NULL") : QStringLiteral("10.5"))
                 << QStringLiteral(
                        "INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, Cantidad, "
                        "REC_CANTIDADUD, REC_CANTIDAD) VALUES (1,'%1',10,10.5,2,2);")
                        .arg(id);
        if (a.conComprobantes)
            cabecera << QStringLiteral(
                            "INSERT INTO MV_STOCK (TC, IdComprobante, IdArticulo, Cantidad, "
                            "CantidadUD) VALUES ('FC','000100000001A','%1',-2,-2), "
                            "('NC','000100000002B','%1',1,1);")
                            .arg(id);
    }
    return cabecera.join(u'\n');
}

// The columns every table of these benchmarks begins with: lines of the run,
// operation, statements, milliseconds. A benchmark may add columns after them.
inline std::string Columnas() {
    char texto[80];
    std::snprintf(texto, sizeof texto, "%-7s %-22s %10s %10s", "lines", "operation", "statements",
                  "ms");
    return texto;
}
inline std::string Fila(int lineas, const char* operacion, const Medida& m) {
    char texto[120];
    std::snprintf(texto, sizeof texto, "%-7d %-22s %10d %10.1f", lineas, operacion, m.sentencias,
                  m.ms);
    return texto;
}
