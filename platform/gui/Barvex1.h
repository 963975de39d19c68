#pragma once
// The suite's toolbar: one button per command key text, one signal carrying the
// key text, function keys for every button, and state flags that enable the
// buttons a clerk expects in each state of a window.

#include <QToolBar>

class QAction;

class Barvex1 : public QToolBar {
    Q_OBJECT

public:
    // The key texts of the buttons, in their order on the bar.
    static const QStringList&
    Claves(); // NUEVO GRABAR BORRAR CANCELAR CONSULTAR PLANILLA REPORTE CERRAR

    explicit Barvex1(QWidget* parent = nullptr);

    // A key of the window, handed over first: the function key of an enabled button
    // presses it (ButtonClick is emitted). True when the key was taken.
    bool ProcesaTecla(int tecla, Qt::KeyboardModifiers modificadores = Qt::NoModifier);

    // The button of a key text (case ignored); null for an unknown text.
    QAction* Boton(const QString& clave) const;
    // The function key of a button, as shown in its tooltip.
    QKeySequence Atajo(const QString& clave) const;

    // Window states; each change re-enables the buttons.
    bool EnEdicion() const { return enEdicion_; }
    void setEnEdicion(bool v);
    bool RepartoExistente() const { return repartoExistente_; }
    void setRepartoExistente(bool v);
    bool ModoCarga() const { return modoCarga_; }
    void setModoCarga(bool v);
    bool ModoNavegacion() const { return modoNavegacion_; }
    void setModoNavegacion(bool v);
    bool ConsultaHabilitada() const { return consultaHabilitada_; }
    void setConsultaHabilitada(bool v);
    bool EstadoExtra1() const { return estadoExtra1_; }
    void setEstadoExtra1(bool v);
    bool EstadoExtra2() const { return estadoExtra2_; }
    void setEstadoExtra2(bool v);
    // A record shown but not editable: nothing to save.
    bool SoloLectura() const { return soloLectura_; }
    void setSoloLectura(bool v);
    // Flat (1) or raised (0) buttons, from the workstation's FlatToolbars setting.
    int StyleBar() const { return styleBar_; }
    void setStyleBar(int estilo);

signals:
    void ButtonClick(const QString& clave);

private:
    void actualiza();

    bool enEdicion_ = false;
    bool repartoExistente_ = false;
    bool modoCarga_ = true;
    bool modoNavegacion_ = false;
    bool consultaHabilitada_ = true;
    bool estadoExtra1_ = false;
    bool estadoExtra2_ = false;
    bool soloLectura_ = false;
    int styleBar_ = 1;
};
