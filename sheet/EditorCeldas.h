#pragma once
// The article grid's in-place cell editor: a line edit laid over the current
// quantity cell. Every change reaches the cell at once; a confirming key checks
// the value through the sheet's check and moves on, as the clerk types down the
// grid.

#include <QObject>

#include <functional>

class ModeloGrilla;
class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class QTableView;

class EditorCeldas : public QObject {
    Q_OBJECT

public:
    // `valida` checks the editor's value and answers whether it passed.
    EditorCeldas(QTableView* vista, ModeloGrilla& modelo, std::function<bool(QLineEdit*)> valida);

    QLineEdit* caja() const { return txtEditCC_; }
    int filaActual() const;
    int columnaActual() const;
    void setCeldaActual(int fila, int columna);
    // Opens the editor on the current cell: with the typed character, or with the
    // cell's text for a blank or no character.
    void abre(int codigo, const QString& caracter);
    // A grid shown but not editable: the editor never opens.
    void setSoloLectura(bool si) { soloLectura_ = si; }
    // Writes the editor's text into its cell and hides it.
    void cierra();

    // What the window's event filter hands over; true when the event was taken.
    bool teclaEditor(QKeyEvent* ev);
    bool teclaGrilla(QKeyEvent* ev);
    void focoEditor(bool entra, QFocusEvent* ev);
    void focoGrilla(bool entra);

private:
    void textPropiedades();
    void grabaCelda();
    void editKeyCode(int tecla);

    QTableView* vista_;
    ModeloGrilla& modelo_;
    std::function<bool(QLineEdit*)> valida_;
    QLineEdit* txtEditCC_;
    bool validando_ = false;
    bool soloLectura_ = false;
};
