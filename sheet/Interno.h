#pragma once
// Small helpers the sheet's files share.

#include "platform/Currency.h"
#include "platform/Utilidades.h"
#include "platform/gui/Formularios.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QVariant>

namespace hoja {

// A number as the sheet writes it in a cell or a field: no grouping, only the
// significant decimals, the operator's decimal separator (so that ANumero reads it
// back as the same number whatever the locale groups with).
inline QString TextoNumero(Currency c) {
    QString t = c.texto();
    return t.replace(u'.', Utilidades::LocaleOperador().decimalPoint());
}

// A stored value as the sheet shows it: null as empty, numbers as above.
inline QString TextoValor(const QVariant& v) {
    return Formularios::TextoDeValor(Utilidades::SinNulo(v));
}

// A progress window for long loads: it appears only when the work lasts longer
// than half a second and keeps the window painting meanwhile.
class Progreso {
public:
    Progreso(QWidget* padre, const QString& texto, int total) : total_(total) {
        reloj_.start();
        padre_ = padre;
        texto_ = texto;
    }
    ~Progreso() {
        if (dialogo_)
            dialogo_->deleteLater();
    }
    void avanza(int hecho) {
        if ((hecho & 63) != 0)
            return;
        if (!dialogo_ && reloj_.elapsed() > 500 && padre_) {
            dialogo_ = new QProgressDialog(texto_, QString(), 0, total_, padre_);
            dialogo_->setWindowModality(Qt::WindowModal);
            dialogo_->setMinimumDuration(0);
        }
        if (dialogo_)
            dialogo_->setValue(hecho);
    }

private:
    QElapsedTimer reloj_;
    QPointer<QWidget> padre_;
    QString texto_;
    int total_;
    QPointer<QProgressDialog> dialogo_;
};

} // namespace hoja
