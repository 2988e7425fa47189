// Internals shared by the formatting files.
#pragma once

#include <QString>

namespace script::formats::detail {

// The decimal digits of a finite value: Digits holds no leading zeros (empty for zero), and the
// value is 0.Digits × 10^Exponent. Rounding is half away from zero on the decimal digits.
struct Decimal {
    QString digits;
    int exponent = 0;
    bool negative = false;
};
// Rounded to at most Significant digits.
Decimal toSignificant(double value, int significant);
// Rounded to Decimals digits after the decimal point.
Decimal toFixed(double value, int decimals);

// "1234567" -> "1,234,567".
QString groupThousands(const QString &digits);
// Integer and fraction digit strings of a Decimal with Decimals digits after the point
// (the integer part is "0" for values below one).
void splitFixed(const Decimal &d, int decimals, QString &integer, QString &fraction);

} // namespace script::formats::detail
