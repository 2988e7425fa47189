// The "%" directives of Format.
#include "script/formats.h"

#include "script/formats_p.h"
#include "script/scripterror.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace script::formats {

namespace {

using detail::Decimal;

constexpr int MaxWidth = 4096; // keeps a hostile width from allocating without bound

// The messages quote the format itself, cut to its first 31 characters as the language does.
QString quoted(const QString &format)
{
    return format.left(31);
}

[[noreturn]] void invalid(const QString &format)
{
    throw ScriptError::runtime(
        QStringLiteral("Format '%1' invalid or incompatible with argument").arg(quoted(format)));
}

[[noreturn]] void missing(const QString &format)
{
    throw ScriptError::runtime(QStringLiteral("No argument for format '%1'").arg(quoted(format)));
}

// Values with more integer digits than the fixed forms hold (18) take the general form.
constexpr int FixedDigits = 18;

QString fixed(double value, int decimals, bool thousands)
{
    if (std::fabs(value) >= 1e18 && detail::toSignificant(value, 15).exponent > FixedDigits)
        return floatToText(value);
    Decimal d = detail::toFixed(value, decimals);
    QString integer, fraction;
    detail::splitFixed(d, decimals, integer, fraction);
    if (thousands) integer = detail::groupThousands(integer);
    QString out = d.negative && !d.digits.isEmpty() ? u"-"_s : QString();
    out += integer;
    if (decimals > 0) out += DecimalSeparator + fraction;
    return out;
}

// %e: one digit, the decimal point, Precision - 1 digits, "E", sign and at least three digits.
QString scientific(double value, int precision)
{
    precision = std::clamp(precision, 1, 18);
    Decimal d = detail::toSignificant(value, precision);
    QString digits = d.digits.leftJustified(precision, u'0');
    int exponent = d.digits.isEmpty() ? 0 : d.exponent - 1;
    QString out = d.negative && !d.digits.isEmpty() ? u"-"_s : QString();
    out += digits.at(0);
    if (precision > 1) out += DecimalSeparator + digits.mid(1);
    out += exponent < 0 ? u"E-"_s : u"E+"_s;
    out += QString::number(std::abs(exponent)).rightJustified(3, u'0');
    return out;
}

QString general(double value, int precision)
{
    precision = std::clamp(precision, 1, 18);
    Decimal d = detail::toSignificant(value, precision);
    if (d.digits.isEmpty()) return u"0"_s;
    QString out = d.negative ? u"-"_s : QString();
    if (d.exponent <= precision && d.exponent >= -4) {
        QString integer = d.exponent > 0 ? d.digits.left(d.exponent).leftJustified(d.exponent, u'0') : u"0"_s;
        QString fraction = d.exponent >= 0 ? d.digits.mid(d.exponent) : QString(-d.exponent, u'0') + d.digits;
        out += integer;
        if (!fraction.isEmpty()) out += DecimalSeparator + fraction;
        return out;
    }
    // The general form's exponent has no plus sign and no leading zeros: 1E20, 1.5E-7.
    out += d.digits.at(0);
    if (d.digits.size() > 1) out += DecimalSeparator + d.digits.mid(1);
    out += u'E' + QString::number(d.exponent - 1);
    return out;
}

bool integral(const Variant &v, qint64 &out)
{
    switch (v.type()) {
    case Variant::Type::Integer:
    case Variant::Type::Int64:
        out = v.int64Value();
        return true;
    case Variant::Type::Boolean:
        out = v.boolValue() ? 1 : 0;
        return true;
    case Variant::Type::String:
        if (auto i = textToInt(v.stringRef())) {
            out = *i;
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool floating(const Variant &v, double &out)
{
    switch (v.type()) {
    case Variant::Type::Integer:
    case Variant::Type::Int64:
    case Variant::Type::Float:
    case Variant::Type::DateTime:
        out = v.toFloat();
        return true;
    case Variant::Type::String:
        if (auto f = textToFloat(v.stringRef())) {
            out = *f;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace

QString format(const QString &fmt, const VariantList &args)
{
    QString out;
    size_t argIndex = 0;
    qsizetype i = 0, n = fmt.size();
    auto number = [&](int &value) {
        bool any = false;
        value = 0;
        while (i < n && fmt.at(i).unicode() >= '0' && fmt.at(i).unicode() <= '9') {
            value = std::min(value * 10 + (fmt.at(i).unicode() - '0'), 100000);
            ++i;
            any = true;
        }
        return any;
    };
    while (i < n) {
        QChar c = fmt.at(i);
        if (c != u'%') {
            out.append(c);
            ++i;
            continue;
        }
        ++i;
        if (i < n && fmt.at(i) == u'%') {
            out.append(u'%');
            ++i;
            continue;
        }
        auto takeStar = [&](int &value) {
            if (argIndex >= args.size()) missing(fmt);
            qint64 v;
            if (!integral(args[argIndex++], v)) invalid(fmt);
            value = int(std::clamp<qint64>(v, -MaxWidth, MaxWidth));
        };
        int index = -1, width = -1, precision = -1, value;
        bool left = false;
        // [index:]
        qsizetype save = i;
        if (i < n && fmt.at(i) == u'*') {
            ++i;
            takeStar(value);
            if (i < n && fmt.at(i) == u':')
                index = value, ++i;
            else
                width = value;
        } else if (number(value)) {
            if (i < n && fmt.at(i) == u':') {
                index = value;
                ++i;
            } else {
                i = save;
            }
        } else if (i < n && fmt.at(i) == u':') {
            index = 0;
            ++i;
        }
        if (index >= 0) argIndex = size_t(index);
        if (i < n && fmt.at(i) == u'-') {
            left = true;
            ++i;
        }
        if (width < 0) {
            if (i < n && fmt.at(i) == u'*') {
                ++i;
                takeStar(width);
            } else if (number(value)) {
                width = value;
            }
        }
        if (i < n && fmt.at(i) == u'.') {
            ++i;
            if (i < n && fmt.at(i) == u'*') {
                ++i;
                takeStar(precision);
            } else {
                number(precision);
            }
        }
        if (i >= n) invalid(fmt);
        QChar type = fmt.at(i).toLower();
        ++i;
        if (argIndex >= args.size()) missing(fmt);
        const Variant &arg = args[argIndex++];
        QString text;
        qint64 iv;
        double fv;
        switch (type.unicode()) {
        case 'd':
        case 'u':
            if (!integral(arg, iv)) invalid(fmt);
            if (type == u'u' && iv < 0) {
                // No sign: the value's own width read as unsigned.
                text = QString::number(arg.type() == Variant::Type::Int64 ? quint64(iv) : quint64(quint32(iv)));
                iv = 0;
            } else {
                text = QString::number(iv < 0 ? -(quint64)iv : (quint64)iv);
            }
            if (precision > 0) text = text.rightJustified(std::min(precision, MaxWidth), u'0');
            if (iv < 0) text.prepend(u'-');
            break;
        case 'x':
            if (!integral(arg, iv)) invalid(fmt);
            text =
                QString::number(arg.type() == Variant::Type::Int64 ? quint64(iv) : quint64(quint32(iv)), 16)
                    .toUpper();
            if (precision > 0) text = text.rightJustified(std::min(precision, MaxWidth), u'0');
            break;
        case 'e':
            if (!floating(arg, fv)) invalid(fmt);
            text = std::isfinite(fv) ? scientific(fv, precision < 0 ? 15 : precision) : floatToText(fv);
            break;
        case 'f':
        case 'n':
        case 'm':
            if (!floating(arg, fv)) invalid(fmt);
            if (!std::isfinite(fv)) {
                text = floatToText(fv);
            } else {
                text = fixed(fv, std::min(precision < 0 ? 2 : precision, 18), type != u'f');
                if (type == u'm') {
                    bool negative = text.startsWith(u'-');
                    text = u"¥"_s + (negative ? u"-"_s : QString()) + text.mid(negative ? 1 : 0);
                }
            }
            break;
        case 'g':
            if (!floating(arg, fv)) invalid(fmt);
            text = std::isfinite(fv) ? general(fv, precision < 0 ? 15 : precision) : floatToText(fv);
            break;
        case 's':
            if (arg.isObject() || arg.isArray()) invalid(fmt);
            text = arg.toString();
            if (precision >= 0 && precision < text.size()) text.truncate(precision);
            break;
        case 'p':
            if (!arg.isObject() && !integral(arg, iv)) invalid(fmt);
            text = QString::number(arg.isObject() ? quintptr(arg.objectValue()) : quint64(iv), 16)
                       .toUpper()
                       .rightJustified(16, u'0');
            break;
        default:
            invalid(fmt);
        }
        width = std::min(width, MaxWidth);
        if (width > text.size())
            text = left ? text.leftJustified(width, u' ') : text.rightJustified(width, u' ');
        out += text;
    }
    return out;
}

} // namespace script::formats
