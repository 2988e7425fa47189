// The operators of the language on Variants.
#include "script/variant.h"

#include "script/formats.h"
#include "script/scripterror.h"

#include <cmath>
#include <limits>

namespace script {

namespace {

using Type = Variant::Type;

[[noreturn]] void invalidOperation()
{
    throw ScriptError::runtime(QStringLiteral("Invalid variant operation"));
}

[[noreturn]] void divisionByZero()
{
    throw ScriptError::runtime(QStringLiteral("Division by zero"));
}

bool isIntegral(Type t)
{
    return t == Type::Integer || t == Type::Int64 || t == Type::Boolean;
}

// The numeric class of an operand: how it takes part in arithmetic.
enum class Num { Int, Float, Date };

// Strings convert to the number they hold (an integer stays integral); other types by their kind.
Num numClass(const Variant &v, Variant &converted)
{
    switch (v.type()) {
    case Type::Integer:
    case Type::Int64:
    case Type::Boolean:
        return Num::Int;
    case Type::Float:
        return Num::Float;
    case Type::DateTime:
        return Num::Date;
    case Type::String:
        if (auto i = formats::textToInt(v.stringRef())) {
            converted = Variant(*i);
            return Num::Int;
        }
        converted = Variant(v.toFloat());
        return Num::Float;
    default:
        invalidOperation();
    }
}

Variant checkedFloat(double r)
{
    if (std::isinf(r)) throw ScriptError::runtime(QStringLiteral("Floating point overflow"));
    if (std::isnan(r)) throw ScriptError::runtime(QStringLiteral("Invalid floating point operation"));
    return Variant(r);
}

enum class Op { Add, Subtract, Multiply };

Variant arithmetic(Op op, const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull()) return {};
    Variant ca, cb;
    Num na = numClass(a, ca), nb = numClass(b, cb);
    const Variant &x = ca.isNull() ? a : ca;
    const Variant &y = cb.isNull() ? b : cb;
    if (na == Num::Int && nb == Num::Int) {
        qint64 l = x.toInt64(), r = y.toInt64(), result;
        bool overflow = op == Op::Add        ? __builtin_add_overflow(l, r, &result)
                        : op == Op::Subtract ? __builtin_sub_overflow(l, r, &result)
                                             : __builtin_mul_overflow(l, r, &result);
        if (!overflow) {
            Variant v(result);
            // Int64 operands keep the wide type even when the result would fit.
            if (v.type() == Type::Integer && (x.type() == Type::Int64 || y.type() == Type::Int64))
                return v.convertedTo(Type::Int64);
            return v;
        }
        double fl = double(l), fr = double(r);
        return Variant(op == Op::Add ? fl + fr : op == Op::Subtract ? fl - fr : fl * fr);
    }
    double l = x.toFloat(), r = y.toFloat();
    double result = op == Op::Add ? l + r : op == Op::Subtract ? l - r : l * r;
    if (!std::isfinite(result)) return checkedFloat(result);
    if (op != Op::Multiply && (na == Num::Date) != (nb == Num::Date)) return Variant::fromDateTime(result);
    if (op == Op::Add && na == Num::Date && nb == Num::Date) return Variant::fromDateTime(result);
    return Variant(result);
}

qint64 integerOperand(const Variant &v)
{
    if (v.type() == Type::Object || v.type() == Type::Array) invalidOperation();
    return v.toInt64();
}

// Integer result of a bitwise or integer-division operator: 32-bit when both operands were.
Variant integerResult(qint64 value, const Variant &a, const Variant &b)
{
    Variant v(value);
    if (v.type() == Type::Integer && (a.type() == Type::Int64 || b.type() == Type::Int64))
        return v.convertedTo(Type::Int64);
    return v;
}

} // namespace

Variant Variant::add(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::String && b.m_type == Type::String) {
        checkLength(a.m_string.size() + b.m_string.size());
        return Variant(a.m_string + b.m_string);
    }
    if (a.m_type == Type::Integer && b.m_type == Type::Integer) return Variant(a.m_int64 + b.m_int64);
    return arithmetic(Op::Add, a, b);
}

Variant Variant::subtract(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::Integer && b.m_type == Type::Integer) return Variant(a.m_int64 - b.m_int64);
    return arithmetic(Op::Subtract, a, b);
}

Variant Variant::multiply(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::Integer && b.m_type == Type::Integer) return Variant(a.m_int64 * b.m_int64);
    return arithmetic(Op::Multiply, a, b);
}

Variant Variant::divide(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull()) return {};
    Variant ca, cb;
    numClass(a, ca);
    numClass(b, cb);
    double r = (cb.isNull() ? b : cb).toFloat();
    if (r == 0) divisionByZero();
    return checkedFloat((ca.isNull() ? a : ca).toFloat() / r);
}

Variant Variant::intDivide(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull()) return {};
    qint64 l = integerOperand(a), r = integerOperand(b);
    if (r == 0) divisionByZero();
    if (r == -1 && l == std::numeric_limits<qint64>::min()) return Variant(-double(l));
    return integerResult(l / r, a, b);
}

Variant Variant::modulo(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull()) return {};
    qint64 l = integerOperand(a), r = integerOperand(b);
    if (r == 0) divisionByZero();
    if (r == -1) return integerResult(0, a, b);
    return integerResult(l % r, a, b);
}

Variant Variant::negate(const Variant &a)
{
    switch (a.m_type) {
    case Type::Null:
        return {};
    case Type::Integer:
    case Type::Boolean:
        return Variant(-a.toInt64());
    case Type::Int64:
        if (a.m_int64 == std::numeric_limits<qint64>::min()) return Variant(-double(a.m_int64));
        return Variant(-a.m_int64).convertedTo(Type::Int64);
    case Type::Float:
        return Variant(-a.m_float);
    case Type::DateTime:
        return fromDateTime(-a.m_float);
    case Type::String: {
        Variant c;
        numClass(a, c);
        return negate(c);
    }
    default:
        invalidOperation();
    }
}

Variant Variant::bitAnd(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::Boolean && b.m_type == Type::Boolean)
        return Variant(a.m_int64 != 0 && b.m_int64 != 0);
    if (a.isNull() || b.isNull()) return {};
    return integerResult(integerOperand(a) & integerOperand(b), a, b);
}

Variant Variant::bitOr(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::Boolean && b.m_type == Type::Boolean)
        return Variant(a.m_int64 != 0 || b.m_int64 != 0);
    if (a.isNull() || b.isNull()) return {};
    return integerResult(integerOperand(a) | integerOperand(b), a, b);
}

Variant Variant::bitXor(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::Boolean && b.m_type == Type::Boolean)
        return Variant((a.m_int64 != 0) != (b.m_int64 != 0));
    if (a.isNull() || b.isNull()) return {};
    return integerResult(integerOperand(a) ^ integerOperand(b), a, b);
}

Variant Variant::logicalNot(const Variant &a)
{
    if (a.m_type == Type::Boolean) return Variant(a.m_int64 == 0);
    if (a.isNull()) return {};
    if (a.m_type == Type::String) {
        if (a.m_string.compare(QLatin1StringView("true"), Qt::CaseInsensitive) == 0) return Variant(false);
        if (a.m_string.compare(QLatin1StringView("false"), Qt::CaseInsensitive) == 0) return Variant(true);
    }
    return integerResult(~integerOperand(a), a, a);
}

Variant Variant::shiftLeft(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull()) return {};
    qint64 l = integerOperand(a), n = integerOperand(b);
    if (a.m_type != Type::Int64) return Variant(int(quint32(l) << (n & 31)));
    return integerResult(qint64(quint64(l) << (n & 63)), a, b);
}

Variant Variant::shiftRight(const Variant &a, const Variant &b)
{
    if (a.isNull() || b.isNull()) return {};
    qint64 l = integerOperand(a), n = integerOperand(b);
    if (a.m_type != Type::Int64) return Variant(int(quint32(l) >> (n & 31)));
    return integerResult(qint64(quint64(l) >> (n & 63)), a, b);
}

namespace {

int compareFloats(double l, double r)
{
    return l < r ? -1 : l > r ? 1 : 0;
}

} // namespace

int Variant::compare(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::Integer && b.m_type == Type::Integer)
        return a.m_int64 < b.m_int64 ? -1 : a.m_int64 > b.m_int64 ? 1 : 0;
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull() ? 0 : a.isNull() ? -1 : 1;
    if (a.m_type == Type::String && b.m_type == Type::String) {
        int c = QString::compare(a.m_string, b.m_string, Qt::CaseSensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (a.m_type == Type::Object || b.m_type == Type::Object) {
        if (a.m_type == b.m_type && a.m_object == b.m_object) return 0;
        if (a.m_type == b.m_type) return a.m_object < b.m_object ? -1 : 1;
        invalidOperation();
    }
    if (a.m_type == Type::Array || b.m_type == Type::Array) invalidOperation();
    if (a.m_type == Type::Boolean && b.m_type == Type::Boolean)
        return int(a.m_int64 != 0) - int(b.m_int64 != 0);
    Variant ca, cb;
    numClass(a, ca);
    numClass(b, cb);
    const Variant &x = ca.isNull() ? a : ca;
    const Variant &y = cb.isNull() ? b : cb;
    if (isIntegral(x.m_type) && isIntegral(y.m_type)) {
        qint64 l = x.toInt64(), r = y.toInt64();
        return l < r ? -1 : l > r ? 1 : 0;
    }
    return compareFloats(x.toFloat(), y.toFloat());
}

bool Variant::equals(const Variant &a, const Variant &b)
{
    if (a.m_type == Type::String && b.m_type == Type::String) return a.m_string == b.m_string;
    if ((a.m_type == Type::Object) != (b.m_type == Type::Object))
        return false; // an object never equals a number, a string or Null
    return compare(a, b) == 0;
}

} // namespace script
