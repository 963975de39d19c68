#include "report/Error.h"

namespace reporte {

Error::Error(Tipo tipo_, QString mensaje_, bool informado_)
    : tipo(tipo_), mensaje(std::move(mensaje_)), informado(informado_), utf8_(mensaje.toUtf8()) {}

} // namespace reporte
