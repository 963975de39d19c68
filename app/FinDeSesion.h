#pragma once
// The end of the session (logout, shutdown) reaches the program as SIGTERM or
// SIGHUP. A signal handler may do next to nothing, so it only writes a byte into a
// socket pair; the other end is watched from the event loop, where `pedida` is
// emitted and the program can close as usual.

#include <QObject>

class QSocketNotifier;

class FinDeSesion : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; the previous ones come back when this is destroyed.
    // Only one may exist at a time.
    explicit FinDeSesion(QObject* padre = nullptr);
    ~FinDeSesion() override;
    FinDeSesion(const FinDeSesion&) = delete;
    FinDeSesion& operator=(const FinDeSesion&) = delete;

    // False when the handlers could not be installed; the signals then end the
    // program the system's way.
    bool activo() const { return notificador_ != nullptr; }

signals:
    // The session is ending: `senal` is SIGTERM or SIGHUP.
    void pedida(int senal);

private:
    void lee();

    int par_[2] = {-1, -1};
    QSocketNotifier* notificador_ = nullptr;
};
