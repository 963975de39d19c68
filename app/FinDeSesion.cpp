#include "app/FinDeSesion.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler can reach nothing but a plain global: the end of the pair it writes to.
volatile sig_atomic_t gExtremo = -1;
struct sigaction gAnteriores[2];
constexpr int kSenales[2] = {SIGTERM, SIGHUP};

extern "C" void alRecibir(int senal) {
    const int guardado = errno;
    const unsigned char byte = static_cast<unsigned char>(senal);
    if (gExtremo >= 0) {
        // A full pair already has a byte waiting: one is enough.
        [[maybe_unused]] const ssize_t n = ::write(gExtremo, &byte, 1);
    }
    errno = guardado;
}

} // namespace

FinDeSesion::FinDeSesion(QObject* padre) : QObject(padre) {
    if (gExtremo >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, par_) != 0)
        return;
    for (int fd : par_)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    gExtremo = par_[0];
    struct sigaction accion = {};
    accion.sa_handler = alRecibir;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kSenales[i], &accion, &gAnteriores[i]);
    notificador_ = new QSocketNotifier(par_[1], QSocketNotifier::Read, this);
    connect(notificador_, &QSocketNotifier::activated, this, &FinDeSesion::lee);
}

FinDeSesion::~FinDeSesion() {
    if (notificador_) {
        for (int i = 0; i < 2; ++i)
            ::sigaction(kSenales[i], &gAnteriores[i], nullptr);
        gExtremo = -1;
    }
    for (int fd : par_)
        if (fd >= 0)
            ::close(fd);
}

void FinDeSesion::lee() {
    // Every byte waiting is taken; the session ends once, whatever arrived.
    unsigned char bytes[16];
    int senal = 0;
    for (ssize_t n; (n = ::read(par_[1], bytes, sizeof bytes)) > 0;)
        senal = bytes[n - 1];
    if (senal != 0)
        emit pedida(senal);
}
