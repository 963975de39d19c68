#pragma once
// Money: a scaled 64-bit integer with four decimals, as the suite's Currency type.

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <compare>

class Currency {
public:
    static constexpr qint64 kEscala = 10000;

    constexpr Currency() = default;
    static constexpr Currency DesdeEscalado(qint64 escalado) {
        Currency c;
        c.v_ = escalado;
        return c;
    }
    // Rounds half to even at the fourth decimal, as Currency conversion does.
    static Currency DesdeDouble(double valor);
    constexpr qint64 escalado() const { return v_; }
    double aDouble() const { return static_cast<double>(v_) / kEscala; }
    // Plain text with a point and no grouping, trailing zeros dropped: "12.5", "-3".
    QString texto() const;

    // Sums and differences beyond Currency's range raise error 6 ("Desbordamiento")
    // instead of wrapping around.
    friend Currency operator+(Currency a, Currency b) {
        Currency r;
        if (__builtin_add_overflow(a.v_, b.v_, &r.v_))
            desborda();
        return r;
    }
    friend Currency operator-(Currency a, Currency b) {
        Currency r;
        if (__builtin_sub_overflow(a.v_, b.v_, &r.v_))
            desborda();
        return r;
    }
    Currency operator-() const { return Currency() - *this; }
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    // Products and quotients round half to even at the fourth decimal.
    friend Currency operator*(Currency a, Currency b);
    friend Currency operator/(Currency a, Currency b);
    friend constexpr auto operator<=>(Currency a, Currency b) = default;
    friend constexpr bool operator==(Currency a, Currency b) = default;

private:
    [[noreturn]] static void desborda();
    qint64 v_ = 0;
};

// Carried in a QVariant down to the providers, which bind it as an exact decimal.
Q_DECLARE_METATYPE(Currency)
