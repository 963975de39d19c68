#pragma once
// The program's way with failures, said once: a procedure is a list of steps and a
// handler. When a step fails the handler answers as the operator would: Retry
// repeats the step, Ignore goes on with the next one, anything else leaves.

#include "platform/DialogoOperador.h"
#include "platform/ado/Falla.h"

#include <functional>
#include <initializer_list>
#include <optional>

namespace plataforma {

using Paso = std::function<void()>;
using Manejador = std::function<Respuesta(const ado::Falla&)>;

// Runs the steps in order. Returns nothing when it reached the end, otherwise the
// answer that made it leave. A failure that is not an ado::Falla travels on.
std::optional<Respuesta> CorrePasos(const Manejador& manejador, std::initializer_list<Paso> pasos);

// A handler that skips every failing step without a word.
inline Respuesta OmiteFalla(const ado::Falla&) {
    return Respuesta::Ignore;
}

// The shared error dialogs ask nothing for an error numbered 0; to a procedure
// that is no reason to go on, so it leaves as on any answer but Retry or Ignore.
inline Respuesta SaleSiNoHubo(std::optional<Respuesta> respuesta) {
    return respuesta.value_or(Respuesta::Cancel);
}

// Makes an ado::Falla of anything a step may throw, so handlers see one type.
ado::Falla FallaDe(const std::exception& e);

} // namespace plataforma
