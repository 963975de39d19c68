#include "platform/gui/Formularios.h"

#include "platform/Utilidades.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QTextEdit>

#include <cmath>

namespace {

const char* const kCampo = "DataField";
const char* const kFiltro = "Filtro";

// +1 for the keys that move on, -1 for those that move back, 0 for the others.
int sentido(int tecla) {
    switch (tecla) {
    case 13:
    case 9:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Down:
        return 1;
    case Qt::Key_Backtab:
    case Qt::Key_Up:
        return -1;
    default:
        return 0;
    }
}

bool puedeTenerFoco(const QWidget* w) {
    return w->isEnabled() && w->isVisibleTo(w->window()) &&
           (w->focusPolicy() != Qt::NoFocus || w->focusProxy());
}

// Where `desde` stands in the order: itself, or the member that holds it (the line
// edit of a combo box, say).
qsizetype posicionEn(const QList<QPointer<QWidget>>& orden, const QWidget* desde) {
    for (qsizetype i = 0; i < orden.size(); ++i)
        if (orden[i] == desde)
            return i;
    for (qsizetype i = 0; i < orden.size(); ++i)
        if (orden[i] && (orden[i]->isAncestorOf(desde) || orden[i]->focusProxy() == desde))
            return i;
    return -1;
}

void ponTexto(QWidget* w, const QString& texto) {
    if (auto* linea = qobject_cast<QLineEdit*>(w)) {
        linea->setText(texto);
    } else if (auto* plano = qobject_cast<QPlainTextEdit*>(w)) {
        plano->setPlainText(texto);
    } else if (auto* rico = qobject_cast<QTextEdit*>(w)) {
        rico->setPlainText(texto);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable())
            combo->setEditText(texto);
        else
            combo->setCurrentIndex(combo->findText(texto, Qt::MatchFixedString));
    } else if (auto* etiqueta = qobject_cast<QLabel*>(w)) {
        etiqueta->setText(texto);
    }
}

} // namespace

void Formularios::LimpiaFormulario(QWidget* ventana) {
    if (!ventana)
        return;
    const QWidget* propia = ventana->window();
    const auto deEstaVentana = [&](const QWidget* w) { return w->window() == propia; };
    for (QLineEdit* linea : ventana->findChildren<QLineEdit*>()) {
        // The line edits inside combo and spin boxes belong to them.
        const QWidget* duenio = linea->parentWidget();
        if (!deEstaVentana(linea) || qobject_cast<const QComboBox*>(duenio) ||
            qobject_cast<const QAbstractSpinBox*>(duenio))
            continue;
        linea->clear();
    }
    for (QTextEdit* texto : ventana->findChildren<QTextEdit*>())
        if (deEstaVentana(texto) &&
            !qobject_cast<QTextBrowser*>(texto)) // a browser shows, not takes
            texto->clear();
    for (QPlainTextEdit* texto : ventana->findChildren<QPlainTextEdit*>())
        if (deEstaVentana(texto))
            texto->clear();
    for (QComboBox* combo : ventana->findChildren<QComboBox*>()) {
        if (!deEstaVentana(combo))
            continue;
        if (combo->isEditable())
            combo->clearEditText();
        else
            combo->setCurrentIndex(-1);
    }
}

void Formularios::CargaControles(const QList<QWidget*>& controles, ado::Recordset& rs) {
    // Every value is read before any field changes, so a failure leaves them all as
    // they were.
    QList<std::pair<QWidget*, QString>> cargas;
    for (QWidget* control : controles) {
        if (!control)
            continue;
        const QString campo = control->property(kCampo).toString().trimmed();
        if (campo.isEmpty() || !rs.TieneCampo(campo))
            continue;
        cargas.append({control, TextoDeValor(Utilidades::SinNulo(rs.Fields(campo).Value()))});
    }
    for (const auto& [control, texto] : cargas)
        ponTexto(control, texto);
}

QString Formularios::TextoDeValor(const QVariant& valor) {
    return TextoDeValor(valor, Utilidades::LocaleOperador());
}

QString Formularios::TextoDeValor(const QVariant& valor, const QLocale& local) {
    if (valor.isNull())
        return {};
    switch (valor.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime f = valor.toDateTime();
        if (f.time() == QTime(0, 0))
            return f.toString(QStringLiteral("dd/MM/yyyy"));
        return f.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case QMetaType::QDate:
        return valor.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::Double:
    case QMetaType::Float: {
        const double v = valor.toDouble();
        if (!std::isfinite(v))
            return QString::number(v);
        // Money and quantities carry four decimals; beyond them is binary noise.
        QString t = QString::number(v, 'f', 4);
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
        if (t == QStringLiteral("-0"))
            t = QStringLiteral("0");
        return t.replace(u'.', local.decimalPoint());
    }
    case QMetaType::Bool:
        return valor.toBool() ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    case QMetaType::QByteArray:
        return QString::fromLatin1(valor.toByteArray());
    default:
        return valor.toString();
    }
}

bool Formularios::EsTeclaAvance(int tecla) {
    return sentido(tecla) != 0 || tecla == 27 || tecla == Qt::Key_Escape;
}

void Formularios::DeclaraOrden(const QList<QWidget*>& orden) {
    ordenes_.removeIf([&](const QList<QPointer<QWidget>>& vieja) {
        bool viva = false;
        for (const QPointer<QWidget>& w : vieja) {
            if (w && orden.contains(w.data()))
                return true;
            viva = viva || w;
        }
        return !viva;
    });
    QList<QPointer<QWidget>> nueva;
    for (QWidget* w : orden)
        nueva.append(w);
    ordenes_.append(nueva);
}

bool Formularios::AvanzaFoco(int tecla, QWidget* desde) {
    const int paso = sentido(tecla);
    if (paso == 0)
        return false;
    if (!desde)
        desde = QApplication::focusWidget();
    if (!desde)
        return false;
    const Qt::FocusReason razon = paso > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason;

    for (const auto& orden : ordenes_) {
        const qsizetype pos = posicionEn(orden, desde);
        if (pos < 0)
            continue;
        const qsizetype n = orden.size();
        for (qsizetype k = 1; k < n; ++k) {
            QWidget* w = orden[((pos + paso * k) % n + n) % n];
            if (w && puedeTenerFoco(w)) {
                w->setFocus(razon);
                return true;
            }
        }
        return false;
    }

    // Not in any declared order: the window's own tab order, as Tab would go.
    QWidget* w = desde;
    for (int vueltas = 0; vueltas < 10000; ++vueltas) {
        w = paso > 0 ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == desde)
            return false;
        if (w->window() == desde->window() && !w->focusProxy() &&
            (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && puedeTenerFoco(w)) {
            w->setFocus(razon);
            return true;
        }
    }
    return false;
}

void Formularios::FiltraTecla(QLineEdit* caja, QChar& caracter) {
    if (!caja || caracter.isNull() || caracter.category() == QChar::Other_Control)
        return;
    const QString filtro = caja->property(kFiltro).toString().trimmed().toLower();
    const QChar c = caracter;
    const bool digito = c >= u'0' && c <= u'9';
    const bool signo = c == u'-' || c == u'+';
    if (filtro == QStringLiteral("numero")) {
        if (!digito && !signo && c != u',' && c != u'.')
            caracter = QChar();
    } else if (filtro == QStringLiteral("entero")) {
        if (!digito && !signo)
            caracter = QChar();
    } else if (filtro == QStringLiteral("fecha")) {
        if (c == u'-' || c == u'.')
            caracter = u'/';
        else if (!digito && c != u'/')
            caracter = QChar();
    } else if (filtro == QStringLiteral("mayusculas")) {
        caracter = c.toUpper();
    }
}

int Formularios::IndiceControl(const QString& nombre, const QList<QWidget*>& controles) {
    if (nombre.isEmpty())
        return -1;
    for (qsizetype i = 0; i < controles.size(); ++i)
        if (controles[i] &&
            controles[i]->property(kCampo).toString().compare(nombre, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}
