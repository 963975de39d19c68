#pragma once
// Window helpers of the utility library: filling and emptying entry fields, the keys
// that confirm a field and where the focus goes next, key filters by kind of field,
// and finding a field by the column it is bound to.
//
// A control is bound to a column by its "DataField" dynamic property; its kind of
// content, for FiltraTecla, is its "Filtro" dynamic property.

#include "platform/ado/Ado.h"

#include <QList>
#include <QLocale>
#include <QPointer>
#include <QString>
#include <QVariant>

class QLineEdit;
class QWidget;

class Formularios {
public:
    // Empties the text of every entry field of the window: line edits, text edits
    // and combo boxes (an editable one loses its text, a fixed list its choice).
    // Spin boxes keep their value, and dialogs the window owns are left alone.
    static void LimpiaFormulario(QWidget* ventana);

    // Every control whose DataField names a column of the recordset's current row
    // receives that column's value as text (see TextoDeValor); the others keep theirs.
    // Without a current row it raises the recordset's error and changes nothing.
    static void CargaControles(const QList<QWidget*>& controles, ado::Recordset& rs);

    // How a value is shown in a field: null as an empty text, numbers without
    // grouping and with only their significant decimals (at most four), dates as
    // dd/MM/yyyy, with the time only when there is one.
    static QString TextoDeValor(const QVariant& valor);
    static QString TextoDeValor(const QVariant& valor, const QLocale& local);

    // The keys that confirm a field: Enter (13, Return and the keypad's Enter) and
    // Tab (9) move on; Shift+Tab, Up and Down move back or on; Esc (27) confirms and
    // stays. Key codes are Qt's or the suite's for these; the suite's 38 and 40 (Up
    // and Down) are not taken, since for Qt they are the keys "&" and "(".
    static bool EsTeclaAvance(int tecla);

    // The focus order of a window's fields, as the operator goes through them. A new
    // order replaces any earlier one that shares a control with it.
    void DeclaraOrden(const QList<QWidget*>& orden);

    // Moves the focus on from `desde` (the focused control when not given) for the
    // key: Enter, Tab and Down to the next control of the declared order, Shift+Tab
    // and Up to the previous one, skipping hidden and disabled controls and wrapping
    // at the ends. A control outside every declared order follows the window's tab
    // order. Other keys, Esc among them, leave the focus where it is. Returns whether
    // the focus moved.
    bool AvanzaFoco(int tecla, QWidget* desde = nullptr);

    // Filters a typed character by the field's "Filtro" property, before it reaches
    // the field: sets `caracter` to a null QChar to drop it, or changes it.
    //   "numero"     digits, "," and "." and a sign;
    //   "entero"     digits and a sign;
    //   "fecha"      digits and "/"; "-" and "." become "/";
    //   "mayusculas" letters become capitals;
    //   anything else, or no property: the character as typed.
    // Control characters (Backspace, Enter, Tab, Esc) always pass.
    static void FiltraTecla(QLineEdit* caja, QChar& caracter);

    // The index of the control whose DataField equals `nombre` regardless of case;
    // -1 when there is none.
    static int IndiceControl(const QString& nombre, const QList<QWidget*>& controles);

private:
    QList<QList<QPointer<QWidget>>> ordenes_;
};
