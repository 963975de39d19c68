#pragma once
// The one failure of the report engine: what went wrong, in words an operator can
// act on, naming the report file where there is one.

#include <QByteArray>
#include <QString>

#include <exception>

namespace reporte {

class Error : public std::exception {
public:
    enum class Tipo {
        Archivo,  // the report file is missing or unreadable
        Formato,  // the file is not ours, or not well formed
        Formula,  // the selection formula was refused
        Consulta, // a query of the report failed
        Conexion, // the report's connection is not one the program can use
        Salida,   // the printer or the output file failed
    };

    // `informado`: the operator has already been told (the data source showed the
    // failure through the shared error dialog), so callers stay silent.
    Error(Tipo tipo, QString mensaje, bool informado = false);
    const char* what() const noexcept override { return utf8_.constData(); }

    Tipo tipo;
    QString mensaje;
    bool informado;

private:
    QByteArray utf8_;
};

} // namespace reporte
