#pragma once
// While a statement waits for a lock that another program holds on the embedded
// database, the window that sent it must keep repainting. The windows' side installs
// here what to do meanwhile; the provider only calls it. One hook for the process.

#include <QtGlobal>

#include <functional>

namespace ado {

struct EsperaBloqueo {
    // Every ~75 ms of a wait: the milliseconds waited and the most it will wait.
    std::function<void(qint64 esperado, qint64 limite)> esperando;
    // Once when a wait that called `esperando` is over, the lock had or not.
    std::function<void()> termina;
};

// Installs the hook (an empty one removes it) and returns the one it replaces.
EsperaBloqueo InstalaEsperaBloqueo(EsperaBloqueo espera);
const EsperaBloqueo& EsperaBloqueoInstalada();

// How long a statement waits for a lock under a command time-out: 0 or less is no
// setting, and a wait is never endless.
constexpr int kSegundosEsperaPorDefecto = 360;
constexpr qint64 LimiteEsperaMs(int segundosComando) {
    return 1000LL * (segundosComando > 0 ? segundosComando : kSegundosEsperaPorDefecto);
}

} // namespace ado
