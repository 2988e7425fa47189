// Number text: the general form, parsing, picture formats and "%" directives.
#include "script/formats.h"

#include "script/formats_p.h"
#include "script/scripterror.h"

#include <cmath>
#include <cstdio>
#include <limits>

using namespace Qt::StringLiterals;

namespace script::formats {

namespace detail {

namespace {

// 18 significant digits, more than a double holds, so the later decimal rounding sees the value.
Decimal exactish(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
    QString digits;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits.append(QLatin1Char(*p));
    int exponent = std::atoi(p + 1);
    d.digits = digits;
    d.exponent = exponent + 1;
    return d;
}

// Keeps Count leading digits, rounding half away from zero, and strips trailing zeros.
void roundDigits(Decimal &d, int count)
{
    if (count < 0) {
        d.digits.clear();
        return;
    }
    if (d.digits.size() > count) {
        bool up = d.digits.at(count) >= u'5';
        d.digits.truncate(count);
        if (up) {
            int i = count - 1;
            for (; i >= 0; --i) {
                if (d.digits.at(i) == u'9') {
                    d.digits[i] = u'0';
                } else {
                    d.digits[i] = QChar(d.digits.at(i).unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                d.digits.prepend(u'1');
                d.digits.truncate(std::max(count, 1));
                ++d.exponent;
            }
        }
    }
    while (!d.digits.isEmpty() && d.digits.endsWith(u'0'))
        d.digits.chop(1);
    if (d.digits.isEmpty()) d.exponent = 0;
}

} // namespace

Decimal toSignificant(double value, int significant)
{
    Decimal d = exactish(value);
    roundDigits(d, significant);
    return d;
}

Decimal toFixed(double value, int decimals)
{
    Decimal d = exactish(value);
    if (!d.digits.isEmpty()) roundDigits(d, d.exponent + decimals);
    return d;
}

QString groupThousands(const QString &digits)
{
    QString out;
    out.reserve(digits.size() + digits.size() / 3);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.append(ThousandSeparator);
        out.append(digits.at(i));
    }
    return out;
}

void splitFixed(const Decimal &d, int decimals, QString &integer, QString &fraction)
{
    integer.clear();
    fraction.clear();
    if (d.exponent > 0) {
        integer = d.digits.left(d.exponent);
        integer.append(QString(std::max<qsizetype>(0, d.exponent - d.digits.size()), u'0'));
        fraction = d.digits.mid(d.exponent);
    } else {
        fraction = QString(-d.exponent, u'0') + d.digits;
    }
    if (integer.isEmpty()) integer = u"0"_s;
    if (fraction.size() < decimals) fraction.append(QString(decimals - fraction.size(), u'0'));
    fraction.truncate(std::max(decimals, 0));
}

} // namespace detail

using namespace detail;

QString floatToText(double value)
{
    if (std::isnan(value)) return u"NAN"_s;
    if (std::isinf(value)) return value < 0 ? u"-INF"_s : u"INF"_s;
    Decimal d = toSignificant(value, 15);
    if (d.digits.isEmpty()) return u"0"_s;
    QString out = d.negative ? u"-"_s : QString();
    if (d.exponent <= 15 && d.exponent >= -4) {
        QString integer, fraction;
        splitFixed(d, 0, integer, fraction);
        fraction = d.exponent >= 0 ? d.digits.mid(d.exponent) : QString(-d.exponent, u'0') + d.digits;
        out += integer;
        if (!fraction.isEmpty()) out += DecimalSeparator + fraction;
        return out;
    }
    out += d.digits.at(0);
    if (d.digits.size() > 1) out += DecimalSeparator + d.digits.mid(1);
    out += u'E' + QString::number(d.exponent - 1);
    return out;
}

std::optional<qint64> textToInt(const QString &text)
{
    QStringView s = QStringView(text).trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    if (s.isEmpty()) return std::nullopt;
    int base = 10;
    if (s.front() == u'$') {
        base = 16;
        s = s.mid(1);
    } else if (s.size() > 2 && s.front() == u'0' && (s.at(1) == u'x' || s.at(1) == u'X')) {
        base = 16;
        s = s.mid(2);
    }
    if (s.isEmpty()) return std::nullopt;
    quint64 value = 0;
    for (QChar c : s) {
        int digit = c >= u'0' && c <= u'9'   ? c.unicode() - u'0'
                    : c >= u'a' && c <= u'f' ? c.unicode() - u'a' + 10
                    : c >= u'A' && c <= u'F' ? c.unicode() - u'A' + 10
                                             : 99;
        if (digit >= base) return std::nullopt;
        if (value > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(base))
            return std::nullopt;
        value = value * quint64(base) + quint64(digit);
    }
    if (base == 16 && !negative) return qint64(value); // $FFFFFFFFFFFFFFFF is -1, as the language has it
    if (value > quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0)) return std::nullopt;
    return negative ? qint64(0 - value) : qint64(value);
}

std::optional<double> textToFloat(const QString &text)
{
    QStringView s = QStringView(text).trimmed();
    if (s.isEmpty()) return std::nullopt;
    if (s.contains(u'$')) {
        if (auto i = textToInt(text)) return double(*i);
        return std::nullopt;
    }
    // digits [. digits] [E [sign] digits], with an optional leading sign
    qsizetype i = 0, n = s.size();
    if (s.at(i) == u'+' || s.at(i) == u'-') ++i;
    qsizetype digits = 0;
    while (i < n && s.at(i).isDigit() && s.at(i).unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && s.at(i) == DecimalSeparator) {
        ++i;
        while (i < n && s.at(i).unicode() >= '0' && s.at(i).unicode() <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (s.at(i) == u'e' || s.at(i) == u'E')) {
        ++i;
        if (i < n && (s.at(i) == u'+' || s.at(i) == u'-')) ++i;
        qsizetype expDigits = 0;
        while (i < n && s.at(i).unicode() >= '0' && s.at(i).unicode() <= '9') {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    double v = std::strtod(s.toLatin1().constData(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

namespace {

// One ";"-separated section of a picture format, analysed.
struct Picture {
    QString text;
    int intPlaceholders = 0; // "0" and "#" before the decimal point
    int intZeros = 0;        // placeholders from the first "0" on
    int decZeros = 0;
    int decHashes = 0;
    bool thousands = false;
    bool scientific = false;
    bool hasDigits = false;
};

Picture analyse(const QString &text)
{
    Picture p;
    p.text = text;
    bool afterPoint = false, seenZero = false;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            p.hasDigits = true;
            if (afterPoint) {
                if (c == u'0')
                    p.decZeros = p.decZeros + p.decHashes + 1, p.decHashes = 0;
                else
                    ++p.decHashes;
            } else {
                ++p.intPlaceholders;
                if (c == u'0') seenZero = true;
                if (seenZero) ++p.intZeros;
            }
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
        } else if (c == u',') {
            p.thousands = true; // wherever it stands, a comma asks for grouping of the integer part
        } else if ((c == u'E' || c == u'e') && i + 1 < text.size() &&
                   (text.at(i + 1) == u'+' || text.at(i + 1) == u'-')) {
            p.scientific = true;
            break;
        }
    }
    return p;
}

QStringList splitSections(const QString &format)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    sections.append(current);
    return sections;
}

// Renders Value (already of the section's sign) through a picture.
QString render(const Picture &p, double value, bool withMinus)
{
    int decimals = p.decZeros + p.decHashes;
    QString integer, fraction;
    int exponent = 0;
    if (!p.hasDigits) {
        // A section without digit placeholders is its literal text alone.
    } else if (p.scientific) {
        int intDigits = std::max(p.intPlaceholders, 1);
        Decimal d = toSignificant(value, intDigits + decimals);
        if (!d.digits.isEmpty()) exponent = d.exponent - intDigits;
        QString digits = d.digits.leftJustified(intDigits + decimals, u'0');
        integer = digits.left(intDigits);
        fraction = digits.mid(intDigits);
    } else {
        splitFixed(toFixed(value, decimals), decimals, integer, fraction);
    }
    while (fraction.size() > p.decZeros && fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!p.scientific) {
        while (integer.size() > 1 && integer.startsWith(u'0'))
            integer.remove(0, 1);
        if (integer == u"0"_s && p.intZeros == 0) integer.clear();
        if (integer.size() < p.intZeros) integer.prepend(QString(p.intZeros - integer.size(), u'0'));
    }

    QString out = withMinus ? u"-"_s : QString();
    const QString &t = p.text;
    int placeholder = 0;
    qsizetype next = 0; // next integer digit to emit
    bool afterPoint = false;
    qsizetype fracNext = 0;
    auto emitInteger = [&](qsizetype count) {
        for (qsizetype k = 0; k < count && next < integer.size(); ++k, ++next) {
            out.append(integer.at(next));
            qsizetype left = integer.size() - next - 1;
            if (p.thousands && left > 0 && left % 3 == 0) out.append(ThousandSeparator);
        }
    };
    for (qsizetype i = 0; i < t.size(); ++i) {
        QChar c = t.at(i);
        if (c == u'\'' || c == u'"') {
            qsizetype end = t.indexOf(c, i + 1);
            if (end < 0) end = t.size();
            out.append(t.mid(i + 1, end - i - 1));
            i = end;
        } else if ((c == u'0' || c == u'#') && !afterPoint) {
            // The first placeholder also takes the digits the picture has no room for.
            qsizetype room = p.intPlaceholders - placeholder;
            qsizetype digitsLeft = integer.size() - next;
            ++placeholder;
            if (digitsLeft > room)
                emitInteger(digitsLeft - room + 1);
            else if (digitsLeft == room)
                emitInteger(1);
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
            emitInteger(integer.size());
            if (!fraction.isEmpty()) out.append(DecimalSeparator);
        } else if (c == u'.') {
            // only the first point is the decimal point; later ones are not printed
        } else if ((c == u'0' || c == u'#') && afterPoint) {
            if (fracNext < fraction.size()) out.append(fraction.at(fracNext++));
        } else if (c == u',') {
            // grouping is a property of the whole integer part
        } else if ((c == u'E' || c == u'e') && i + 1 < t.size() &&
                   (t.at(i + 1) == u'+' || t.at(i + 1) == u'-')) {
            emitInteger(integer.size());
            bool plus = t.at(i + 1) == u'+';
            int zeros = 0;
            qsizetype j = i + 2;
            while (j < t.size() && t.at(j) == u'0' && zeros < 4) {
                ++zeros;
                ++j;
            }
            out.append(c);
            if (exponent < 0)
                out.append(u'-');
            else if (plus)
                out.append(u'+');
            out.append(QString::number(std::abs(exponent)).rightJustified(zeros, u'0'));
            i = j - 1;
        } else {
            out.append(c);
        }
    }
    emitInteger(integer.size());
    return p.hasDigits ? out : out.mid(withMinus ? 1 : 0);
}

} // namespace

QString formatFloat(const QString &format, double value)
{
    if (!std::isfinite(value)) return floatToText(value);
    QStringList sections = splitSections(format);
    // An empty positive section means the general form, whatever the other sections hold.
    if (sections.at(0).isEmpty()) return floatToText(value);
    Picture positive = analyse(sections.at(0));
    // The section is chosen by the value as the positive picture rounds it.
    int decimals = positive.decZeros + positive.decHashes;
    bool zero = positive.scientific ? value == 0 : toFixed(value, decimals).digits.isEmpty();
    if (zero && sections.size() > 2 && !sections.at(2).isEmpty())
        return render(analyse(sections.at(2)), 0, false);
    if (value < 0 && !zero) {
        if (sections.size() > 1 && !sections.at(1).isEmpty())
            return render(analyse(sections.at(1)), -value, false);
        return render(positive, -value, true);
    }
    return render(positive, std::fabs(value), false);
}

} // namespace script::formats
