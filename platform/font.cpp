#include "platform/font.h"

#include <cstdlib>

namespace platform {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero (the Windows MulDiv).
int mulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace

int FontValue::size() const
{
    return -mulDiv(height, 72, pixelsPerInch);
}

void FontValue::setSize(int points)
{
    height = -mulDiv(points, pixelsPerInch, 72);
}

} // namespace platform
