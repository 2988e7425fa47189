#include "report/base/frxUtils.h"

#include <charconv>
#include <cmath>
#include <string>
#include <limits>

namespace frx {

qint64 roundHalfEven(Extended value)
{
    if (std::isnan(value))
        return 0;
    constexpr Extended maxValue = static_cast<Extended>(std::numeric_limits<qint64>::max());
    constexpr Extended minValue = static_cast<Extended>(std::numeric_limits<qint64>::min());
    if (value >= maxValue)
        return std::numeric_limits<qint64>::max();
    if (value <= minValue)
        return std::numeric_limits<qint64>::min();
    // The default floating-point rounding mode rounds halves to even, in one instruction; nothing in
    // the program changes that mode. (Rounding by floor and comparison switched the x87 control
    // word twice per call, which made rounding the costliest step of painting a page.)
    return static_cast<qint64>(std::llrint(value));
}

namespace {

// Removes trailing zeros of a fraction ("1.2500" -> "1.25", "3.000" -> "3").
void trimFraction(std::string &digits)
{
    const auto point = digits.find('.');
    if (point == std::string::npos)
        return;
    auto end = digits.find_last_not_of('0');
    if (end == point)
        --end;
    digits.erase(end + 1);
}

} // namespace

QString floatToText(Extended value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    // Round to 15 significant digits first; the decimal exponent of the rounded value decides the form.
    // std::to_chars ignores the process locale, unlike printf.
    char buffer[128];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string scientific(buffer, result.ptr);
    const auto ePos = scientific.find('e');
    const int exponent = std::stoi(scientific.substr(ePos + 1));
    std::string mantissa = scientific.substr(0, ePos);

    std::string text;
    if (exponent < 15 && std::fabs(value) >= 0.00001L) {
        const int decimals = std::max(0, 14 - exponent);
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        text.assign(buffer, result.ptr);
        trimFraction(text);
    } else {
        trimFraction(mantissa);
        text = mantissa + 'E' + std::to_string(exponent);
    }
    return QString::fromLatin1(text.c_str());
}

std::optional<Extended> textToFloat(const QString &text)
{
    QByteArray latin = text.trimmed().toLatin1();
    if (latin.isEmpty())
        return std::nullopt;
    latin.replace(',', '.');
    const char *begin = latin.constData();
    const char *end = begin + latin.size();
    if (*begin == '+')
        ++begin;
    Extended value = 0;
    const auto parsed = std::from_chars(begin, end, value, std::chars_format::general);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return std::nullopt;
    return value;
}

} // namespace frx
