#include "app/gui/EsperaVisible.h"

#include "platform/ado/EsperaBloqueo.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>

#include <memory>
#include <utility>
#include <vector>

namespace {

// Holds back the operator's input during a wait and hands it over when the wait is
// over, in its order. Window-system input already waits in its own queue
// (ExcludeUserInputEvents); this catches what reaches the objects as posted events.
class Retenedor final : public QObject {
public:
    void empieza() {
        if (activo_)
            return;
        activo_ = true;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::instance()->installEventFilter(this);
    }

    void termina() {
        if (!activo_)
            return;
        activo_ = false;
        QCoreApplication::instance()->removeEventFilter(this);
        QGuiApplication::restoreOverrideCursor();
        for (auto& [destino, evento] : retenidos_)
            if (destino)
                QCoreApplication::postEvent(destino, evento.release());
        retenidos_.clear();
    }

protected:
    bool eventFilter(QObject* destino, QEvent* evento) override {
        if (evento->type() == QEvent::Close) {
            // Closing would write the exit time on the waiting connection.
            evento->ignore();
            return true;
        }
        if (!evento->isInputEvent())
            return false;
        retenidos_.emplace_back(destino, std::unique_ptr<QEvent>(evento->clone()));
        return true;
    }

private:
    bool activo_ = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> retenidos_;
};

} // namespace

void InstalaEsperaVisible() {
    auto* retenedor = new Retenedor;
    retenedor->setParent(QCoreApplication::instance());
    const QPointer<Retenedor> r(retenedor);
    ado::InstalaEsperaBloqueo({[r](qint64, qint64) {
                                   if (!r)
                                       return;
                                   r->empieza();
                                   QCoreApplication::processEvents(
                                       QEventLoop::ExcludeUserInputEvents);
                               },
                               [r] {
                                   if (r)
                                       r->termina();
                               }});
}
