#pragma once
// The program's way with failures, said once: a procedure is a list of steps and a
// handler. When a step fails the handler answers as the operator would: retry (4)
// repeats the step, ignore (5) goes on with the next one, anything else leaves.

#include "platform/ado/Falla.h"

#include <functional>
#include <initializer_list>
#include <optional>

namespace plataforma {

using Paso = std::function<void()>;
using Manejador = std::function<int(const ado::Falla&)>;

// Runs the steps in order. Returns nothing when it reached the end, otherwise the
// answer that made it leave. A failure that is not an ado::Falla travels on.
std::optional<int> CorrePasos(const Manejador& manejador, std::initializer_list<Paso> pasos);

// A handler that skips every failing step without a word.
inline int OmiteFalla(const ado::Falla&) {
    return 5;
}

// Makes an ado::Falla of anything a step may throw, so handlers see one type.
ado::Falla FallaDe(const std::exception& e);

} // namespace plataforma
