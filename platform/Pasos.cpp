#include "platform/Pasos.h"

#include <QString>

namespace plataforma {

std::optional<Respuesta> CorrePasos(const Manejador& manejador, std::initializer_list<Paso> pasos) {
    for (const Paso& paso : pasos) {
        for (;;) {
            try {
                paso();
                break;
            } catch (const ado::Falla& falla) {
                const Respuesta respuesta = manejador(falla);
                if (respuesta == Respuesta::Retry)
                    continue;
                if (respuesta == Respuesta::Ignore)
                    break;
                return respuesta;
            }
        }
    }
    return std::nullopt;
}

ado::Falla FallaDe(const std::exception& e) {
    if (const auto* f = dynamic_cast<const ado::Falla*>(&e))
        return *f;
    return ado::Falla(5, QString::fromLocal8Bit(e.what()), QStringLiteral("hojaruta"));
}

} // namespace plataforma
