#pragma once
// What tests expect of a call that must fail.

#include "platform/ado/Falla.h"

#include <QTest>

// Runs `f`, which must fail; returns the failure. A call that does not fail fails
// the running test.
template <typename F> ado::Falla fallaDe(F&& f) {
    try {
        f();
    } catch (const ado::Falla& falla) {
        return falla;
    }
    QTest::qFail("the call did not fail", __FILE__, __LINE__);
    return ado::Falla(0, QString());
}
