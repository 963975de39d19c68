#pragma once
// Loopback ports for tests of connections that go nowhere: one nothing listens on,
// and a listener that takes connections and never says a word.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace prueba {

namespace detalle {
// A socket bound to a free loopback port; the port it got.
inline int enlazaLibre(int s) {
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof dir;
    ::bind(s, reinterpret_cast<sockaddr*>(&dir), sizeof dir);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&dir), &largo);
    return ntohs(dir.sin_port);
}
} // namespace detalle

inline int PuertoCerrado() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const int puerto = detalle::enlazaLibre(s);
    ::close(s);
    return puerto;
}

class ServidorMudo {
public:
    ServidorMudo() : s_(::socket(AF_INET, SOCK_STREAM, 0)) {
        puerto = detalle::enlazaLibre(s_);
        ::listen(s_, 4);
    }
    ~ServidorMudo() { ::close(s_); }
    ServidorMudo(const ServidorMudo&) = delete;
    ServidorMudo& operator=(const ServidorMudo&) = delete;
    int puerto = 0;

private:
    int s_ = -1;
};

} // namespace prueba
