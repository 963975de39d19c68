#include "platform/ado/EsperaBloqueo.h"

#include <utility>

namespace ado {

namespace {
EsperaBloqueo& instalada() {
    static EsperaBloqueo espera;
    return espera;
}
} // namespace

EsperaBloqueo InstalaEsperaBloqueo(EsperaBloqueo espera) {
    return std::exchange(instalada(), std::move(espera));
}

const EsperaBloqueo& EsperaBloqueoInstalada() {
    return instalada();
}

} // namespace ado
