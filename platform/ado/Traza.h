#pragma once
// Statement trace: when HOJARUTA_TRAZA names a file, every statement a connection
// sends is appended to it as one line: microseconds, a tab, the row count (or
// "error"), a tab, the statement with backslash, CR, LF and tab escaped.

#include <QElapsedTimer>
#include <QFile>
#include <QString>

namespace ado {

class Traza {
public:
    // Follows HOJARUTA_TRAZA as it is when the connection is made.
    Traza();
    void Anota(const QString& sql, qint64 microsegundos, long filas);
    void AnotaFalla(const QString& sql, qint64 microsegundos);
    template <typename F> void Mide(const QString& sql, F&& f) {
        QElapsedTimer reloj;
        reloj.start();
        try {
            f();
        } catch (...) {
            AnotaFalla(sql, reloj.nsecsElapsed() / 1000);
            throw;
        }
        Anota(sql, reloj.nsecsElapsed() / 1000, 0);
    }

private:
    void escribe(const QString& sql, qint64 us, const QString& filas);
    QFile archivo_;
};

} // namespace ado
