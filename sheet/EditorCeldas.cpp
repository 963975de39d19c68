#include "EditorCeldas.h"

#include "platform/gui/Formularios.h"
#include "sheet/ModeloGrilla.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>

namespace {

const QString kEditor =
    QStringLiteral("QLineEdit { background-color: rgb(0, 0, 255); color: white; font-weight: bold;"
                   " border: none; }");

} // namespace

EditorCeldas::EditorCeldas(QTableView* vista, ModeloGrilla& modelo,
                           std::function<bool(QLineEdit*)> valida)
    : QObject(vista), vista_(vista), modelo_(modelo), valida_(std::move(valida)),
      txtEditCC_(new QLineEdit(vista->viewport())) {
    txtEditCC_->setObjectName(QStringLiteral("txtEditCC"));
    txtEditCC_->setProperty("DataField", QStringLiteral("Editar"));
    txtEditCC_->setMaxLength(150);
    txtEditCC_->setFrame(false);
    txtEditCC_->hide();
    connect(txtEditCC_, &QLineEdit::textChanged, this, [this] {
        textPropiedades();
        grabaCelda();
    });
    connect(vista_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex&, const QModelIndex&) {
                if (txtEditCC_->isVisible())
                    cierra();
            });
}

void EditorCeldas::focoEditor(bool entra, QFocusEvent* ev) {
    if (entra) {
        textPropiedades();
        txtEditCC_->setStyleSheet(kEditor);
        return;
    }
    const auto razon = ev->reason();
    if (!validando_ && txtEditCC_->isVisible() && razon != Qt::ActiveWindowFocusReason &&
        razon != Qt::PopupFocusReason) {
        validando_ = true;
        const bool ok = valida_(txtEditCC_);
        validando_ = false;
        if (!ok)
            QTimer::singleShot(0, txtEditCC_, [this] { txtEditCC_->setFocus(); });
    }
}

void EditorCeldas::focoGrilla(bool entra) {
    if (entra && txtEditCC_->isVisible())
        cierra();
}

int EditorCeldas::filaActual() const {
    const QModelIndex i = vista_->currentIndex();
    return i.isValid() ? i.row() : 0;
}

int EditorCeldas::columnaActual() const {
    const QModelIndex i = vista_->currentIndex();
    return i.isValid() ? i.column() : 1;
}

void EditorCeldas::setCeldaActual(int fila, int columna) {
    if (fila < 0 || fila >= modelo_.filas())
        return;
    vista_->setCurrentIndex(modelo_.index(fila, columna));
}

bool EditorCeldas::teclaGrilla(QKeyEvent* ev) {
    const QString texto = ev->text();
    if (texto.size() != 1 || ev->key() == Qt::Key_Tab || ev->key() == Qt::Key_Backtab)
        return false;
    const int codigo = texto.at(0).unicode();
    if (codigo == 27)
        return true;
    abre(codigo, texto);
    return true;
}

void EditorCeldas::abre(int codigo, const QString& caracter) {
    QTableView* vista = vista_;
    const int col = columnaActual();
    if (soloLectura_ || col < 1 || col > 4 || modelo_.filas() == 0)
        return;
    const int fila = filaActual();
    if (!vista->currentIndex().isValid())
        setCeldaActual(fila, col);
    txtEditCC_->setProperty("fila", fila);
    txtEditCC_->setProperty("columna", col);
    txtEditCC_->setGeometry(vista->visualRect(modelo_.index(fila, col)));
    txtEditCC_->show();
    textPropiedades();
    // Shown first: the typed character reaches the cell at once, as every change does.
    if (codigo > 32)
        txtEditCC_->setText(caracter);
    else
        txtEditCC_->setText(modelo_.texto(fila, col));
    txtEditCC_->end(false);
    txtEditCC_->setFocus();
}

void EditorCeldas::cierra() {
    if (!txtEditCC_ || !txtEditCC_->isVisible())
        return;
    const int fila = txtEditCC_->property("fila").toInt();
    const int col = txtEditCC_->property("columna").toInt();
    modelo_.setTexto(fila, col, txtEditCC_->text());
    validando_ = true; // hiding moves the focus; the cell was already checked
    txtEditCC_->hide();
    validando_ = false;
}

void EditorCeldas::textPropiedades() {
    static const char* const kCampoDe[] = {nullptr,
                                           "Cargas_CarCantUD",
                                           "Cargas_CarCant",
                                           "Cargas_ReCarCantUD",
                                           "Cargas_ReCarCant",
                                           "Cargas_DevCantUD",
                                           "Cargas_DevCant"};
    const int col =
        txtEditCC_->isVisible() ? txtEditCC_->property("columna").toInt() : columnaActual();
    if (col >= 1 && col <= 6)
        txtEditCC_->setProperty("DataField", QString::fromLatin1(kCampoDe[col]));
}

void EditorCeldas::grabaCelda() {
    static const QStringList kCampos = {
        QStringLiteral("Cargas_CarCantUD"),   QStringLiteral("Cargas_CarCant"),
        QStringLiteral("Cargas_ReCarCantUD"), QStringLiteral("Cargas_ReCarCant"),
        QStringLiteral("Cargas_DevCantUD"),   QStringLiteral("Cargas_DevCant")};
    const int i = static_cast<int>(kCampos.indexOf(txtEditCC_->property("DataField").toString()));
    if (i < 0 || !txtEditCC_->isVisible())
        return;
    modelo_.setTexto(txtEditCC_->property("fila").toInt(), i + 1, txtEditCC_->text());
}

bool EditorCeldas::teclaEditor(QKeyEvent* ev) {
    const int tecla = ev->key();
    if (!Formularios::EsTeclaAvance(tecla))
        return false;
    validando_ = true;
    if (valida_(txtEditCC_)) {
        editKeyCode(tecla);
        const QSignalBlocker bloqueo(txtEditCC_);
        txtEditCC_->setText(modelo_.texto(filaActual(), columnaActual()));
    } else {
        txtEditCC_->setFocus();
    }
    validando_ = false;
    return true;
}

void EditorCeldas::editKeyCode(int tecla) {
    QTableView* vista = vista_;
    const int ultima = modelo_.filas() - 1;
    // Typed text reaches the cell before the current cell moves.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const int fila = filaActual();
    const int col = columnaActual();
    switch (tecla) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case 13:
        vista->setFocus();
        cierra();
        if (col != 4)
            setCeldaActual(fila, col + 1);
        else if (fila != ultima)
            setCeldaActual(fila + 1, 1);
        break;
    case Qt::Key_Escape:
    case 27:
        cierra();
        vista->setFocus();
        break;
    case Qt::Key_Up:
        vista->setFocus();
        cierra();
        if (fila > 0)
            setCeldaActual(fila - 1, col);
        break;
    case Qt::Key_Down:
        vista->setFocus();
        cierra();
        if (fila != ultima)
            setCeldaActual(fila + 1, col);
        break;
    default:
        break;
    }
    // The current cell stays in sight: one row down when it went below the bottom.
    const QRect celda = vista->visualRect(vista->currentIndex());
    if (celda.bottom() > vista->viewport()->height())
        vista->verticalScrollBar()->setValue(vista->verticalScrollBar()->value() + 1);
}
