// The toolbar as the window uses it: function keys handed over, buttons clicked,
// the buttons each window state enables, tooltips and button style.

#include "platform/gui/Barvex1.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The states the sheet puts the bar in, as it sets them.
struct Estado {
    bool enEdicion;
    bool repartoExistente;
    bool modoCarga;
    bool modoNavegacion;
    bool consulta;
};

void aplica(Barvex1& barra, const Estado& e) {
    barra.setEstadoExtra1(false);
    barra.setEstadoExtra2(false);
    barra.setEnEdicion(e.enEdicion);
    barra.setRepartoExistente(e.repartoExistente);
    barra.setModoCarga(e.modoCarga);
    barra.setModoNavegacion(e.modoNavegacion);
    barra.setConsultaHabilitada(e.consulta);
}

QString habilitados(const Barvex1& barra) {
    QStringList l;
    for (const QString& clave : Barvex1::Claves()) {
        if (barra.Boton(clave)->isEnabled())
            l << clave;
    }
    return l.join(QLatin1Char(' '));
}

QToolButton* botonDe(Barvex1& barra, const QString& clave) {
    return qobject_cast<QToolButton*>(barra.widgetForAction(barra.Boton(clave)));
}

const Estado kEsperaNumero{false, false, false, true, true};
const Estado kRepartoNuevo{true, false, true, false, true};
const Estado kRepartoExistente{true, true, true, false, true};

} // namespace

Q_DECLARE_METATYPE(Estado)

class TstBarvex : public QObject {
    Q_OBJECT

private slots:
    void botonesEnOrden();
    void teclasDeFuncion_data();
    void teclasDeFuncion();
    void teclasQueNoSonDeLaBarra_data();
    void teclasQueNoSonDeLaBarra();
    void botonDeshabilitadoIgnoraSuTecla_data();
    void botonDeshabilitadoIgnoraSuTecla();
    void estados_data();
    void estados();
    void estadoNoDependeDelOrden();
    void clicEmiteLaClave();
    void estiloDeBotones();
    void noQuitaElFocoAlCampo();
};

void TstBarvex::botonesEnOrden() {
    Barvex1 barra;
    const QStringList esperadas{"NUEVO",     "GRABAR",   "BORRAR",  "CANCELAR",
                                "CONSULTAR", "PLANILLA", "REPORTE", "CERRAR"};
    QCOMPARE(Barvex1::Claves(), esperadas);
    QStringList textos;
    for (QAction* a : barra.actions())
        textos << a->text();
    QCOMPARE(textos, (QStringList{"Nuevo", "Grabar", "Borrar", "Cancelar", "Consultar", "Planilla",
                                  "Reporte", "Cerrar"}));
    QCOMPARE(barra.Boton("grabar"), barra.Boton("GRABAR"));
    QCOMPARE(barra.Boton("ACEPTAR"), nullptr);
    QCOMPARE(barra.Atajo("ACEPTAR"), QKeySequence());
}

void TstBarvex::teclasDeFuncion_data() {
    QTest::addColumn<int>("tecla");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("F2 graba") << int(Qt::Key_F2) << "GRABAR"
                              << "Grabar (F2)";
    QTest::newRow("F3 consulta") << int(Qt::Key_F3) << "CONSULTAR"
                                 << "Consultar (F3)";
    QTest::newRow("F4 nuevo") << int(Qt::Key_F4) << "NUEVO"
                              << "Nuevo (F4)";
    QTest::newRow("F5 cancela") << int(Qt::Key_F5) << "CANCELAR"
                                << "Cancelar (F5)";
    QTest::newRow("F6 borra") << int(Qt::Key_F6) << "BORRAR"
                              << "Borrar (F6)";
    QTest::newRow("F7 planilla") << int(Qt::Key_F7) << "PLANILLA"
                                 << "Planilla (F7)";
    QTest::newRow("F8 reporte") << int(Qt::Key_F8) << "REPORTE"
                                << "Reporte (F8)";
    QTest::newRow("F10 cierra") << int(Qt::Key_F10) << "CERRAR"
                                << "Cerrar (F10)";
}

void TstBarvex::teclasDeFuncion() {
    QFETCH(int, tecla);
    QFETCH(QString, clave);
    QFETCH(QString, tooltip);
    Barvex1 barra;
    // Every button enabled, so that only the key decides.
    for (QAction* a : barra.actions())
        a->setEnabled(true);
    QSignalSpy spy(&barra, &Barvex1::ButtonClick);

    QCOMPARE(barra.ProcesaTecla(tecla), true);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), clave);

    QCOMPARE(barra.Atajo(clave), QKeySequence(tecla));
    QCOMPARE(barra.Boton(clave)->toolTip(), tooltip);
}

void TstBarvex::teclasQueNoSonDeLaBarra_data() {
    QTest::addColumn<int>("tecla");
    QTest::addColumn<int>("modificadores");
    QTest::newRow("Esc queda para la celda") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier);
    QTest::newRow("F9") << int(Qt::Key_F9) << int(Qt::NoModifier);
    QTest::newRow("letra") << int(Qt::Key_G) << int(Qt::NoModifier);
    QTest::newRow("Mayus+F2") << int(Qt::Key_F2) << int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+F10") << int(Qt::Key_F10) << int(Qt::ControlModifier);
    QTest::newRow("Alt+F4") << int(Qt::Key_F4) << int(Qt::AltModifier);
}

void TstBarvex::teclasQueNoSonDeLaBarra() {
    QFETCH(int, tecla);
    QFETCH(int, modificadores);
    Barvex1 barra;
    for (QAction* a : barra.actions())
        a->setEnabled(true);
    QSignalSpy spy(&barra, &Barvex1::ButtonClick);
    QCOMPARE(barra.ProcesaTecla(tecla, Qt::KeyboardModifiers(modificadores)), false);
    QCOMPARE(spy.count(), 0);
}

void TstBarvex::botonDeshabilitadoIgnoraSuTecla_data() {
    QTest::addColumn<Estado>("estado");
    QTest::addColumn<int>("tecla");
    QTest::newRow("F2 esperando el numero") << kEsperaNumero << int(Qt::Key_F2);
    QTest::newRow("F8 en un reparto nuevo") << kRepartoNuevo << int(Qt::Key_F8);
    QTest::newRow("F3 sin consultas") << Estado{true, true, true, false, false} << int(Qt::Key_F3);
}

void TstBarvex::botonDeshabilitadoIgnoraSuTecla() {
    QFETCH(Estado, estado);
    QFETCH(int, tecla);
    Barvex1 barra;
    aplica(barra, estado);
    QSignalSpy spy(&barra, &Barvex1::ButtonClick);
    QCOMPARE(barra.ProcesaTecla(tecla), false);
    QCOMPARE(spy.count(), 0);
    // F10 closes from any state.
    QCOMPARE(barra.ProcesaTecla(Qt::Key_F10), true);
    QCOMPARE(spy.count(), 1);
}

void TstBarvex::estados_data() {
    QTest::addColumn<Estado>("estado");
    QTest::addColumn<QString>("esperados");
    QTest::newRow("esperando el numero de reparto")
        << kEsperaNumero << "NUEVO CONSULTAR PLANILLA CERRAR";
    QTest::newRow("reparto nuevo en carga") << kRepartoNuevo << "GRABAR CANCELAR CONSULTAR CERRAR";
    QTest::newRow("reparto existente en carga")
        << kRepartoExistente << "GRABAR BORRAR CANCELAR CONSULTAR PLANILLA REPORTE CERRAR";
    // Opened from the menu's parameter: the window then switches to navigation
    // but the run stays on screen and can still be saved.
    QTest::newRow("existente abierto desde el menu")
        << Estado{true, true, false, true, true}
        << "GRABAR BORRAR CANCELAR CONSULTAR PLANILLA REPORTE CERRAR";
    QTest::newRow("nuevo abierto desde el menu")
        << Estado{true, false, false, true, true} << "GRABAR CANCELAR CONSULTAR PLANILLA CERRAR";
    QTest::newRow("consultas deshabilitadas en espera")
        << Estado{false, false, false, true, false} << "NUEVO PLANILLA CERRAR";
    QTest::newRow("consultas deshabilitadas en carga")
        << Estado{true, true, true, false, false}
        << "GRABAR BORRAR CANCELAR PLANILLA REPORTE CERRAR";
    QTest::newRow("todo apagado") << Estado{false, false, false, false, true}
                                  << "NUEVO CONSULTAR CERRAR";
}

void TstBarvex::estados() {
    QFETCH(Estado, estado);
    QFETCH(QString, esperados);
    Barvex1 barra;
    aplica(barra, estado);
    QCOMPARE(habilitados(barra), esperados);
    // The extra states belong to buttons this bar does not have.
    barra.setEstadoExtra1(true);
    barra.setEstadoExtra2(true);
    QCOMPARE(habilitados(barra), esperados);
}

void TstBarvex::estadoNoDependeDelOrden() {
    // From a loaded run back to waiting, flags set in the opposite order.
    Barvex1 a;
    aplica(a, kRepartoExistente);
    a.setModoNavegacion(true);
    a.setModoCarga(false);
    a.setRepartoExistente(false);
    a.setEnEdicion(false);
    Barvex1 b;
    aplica(b, kEsperaNumero);
    QCOMPARE(habilitados(a), habilitados(b));
}

void TstBarvex::clicEmiteLaClave() {
    Barvex1 barra;
    aplica(barra, kRepartoExistente);
    barra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&barra));
    QSignalSpy spy(&barra, &Barvex1::ButtonClick);
    QTest::mouseClick(botonDe(barra, "GRABAR"), Qt::LeftButton);
    QTest::mouseClick(botonDe(barra, "CERRAR"), Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("GRABAR"));
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("CERRAR"));
}

void TstBarvex::estiloDeBotones() {
    Barvex1 barra;
    barra.setStyleBar(0);
    QCOMPARE(barra.StyleBar(), 0);
    for (const QString& clave : Barvex1::Claves())
        QCOMPARE(botonDe(barra, clave)->autoRaise(), false);
    barra.setStyleBar(1);
    for (const QString& clave : Barvex1::Claves())
        QCOMPARE(botonDe(barra, clave)->autoRaise(), true);
}

void TstBarvex::noQuitaElFocoAlCampo() {
    QWidget ventana;
    auto* capa = new QVBoxLayout(&ventana);
    auto* barra = new Barvex1(&ventana);
    auto* campo = new QLineEdit(&ventana);
    capa->addWidget(barra);
    capa->addWidget(campo);
    aplica(*barra, kRepartoExistente);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    campo->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(campo));

    QSignalSpy spy(barra, &Barvex1::ButtonClick);
    QTest::mouseClick(botonDe(*barra, "CONSULTAR"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(campo));
    // Tab moves among the fields only.
    QTest::keyClick(campo, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(campo));
}

QTEST_MAIN(TstBarvex)
#include "tst_barvex.moc"
