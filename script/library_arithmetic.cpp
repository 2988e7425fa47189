// Arithmetic functions.
#include "script/fsScript.h"
#include "script/library.h"
#include "script/library_p.h"

#include <cmath>
#include <limits>
#include <numbers>

using namespace Qt::StringLiterals;

namespace script::library::detail {

namespace {

Variant checked(double r)
{
    if (std::isnan(r)) fail(u"Invalid floating point operation"_s);
    if (std::isinf(r)) fail(u"Floating point overflow"_s);
    return Variant(r);
}

// An already whole Value as an integer; beyond 64 bits an invalid operation.
qint64 wholeNumber(double v)
{
    if (!std::isfinite(v) || v >= 9223372036854775808.0 || v < -9223372036854775808.0)
        fail(u"Invalid floating point operation"_s);
    return qint64(v);
}

HostImpl unary(double (*f)(double))
{
    return [f](HostCall &c) { return checked(f(c.args[0].floatValue())); };
}

} // namespace

void addArithmetic(Table &t)
{
    t.add("function Round(E: Extended): Int64",
          [](HostCall &c) { return Variant(roundHalfEven(c.args[0].floatValue())); });
    t.add("function Trunc(E: Extended): Int64",
          [](HostCall &c) { return Variant(wholeNumber(std::trunc(c.args[0].floatValue()))); });
    t.add("function Int(E: Extended): Extended",
          [](HostCall &c) { return Variant(std::trunc(c.args[0].floatValue())); });
    t.add("function Frac(E: Extended): Extended", [](HostCall &c) {
        double v = c.args[0].floatValue();
        return Variant(v - std::trunc(v));
    });
    t.add("function Sqrt(E: Extended): Extended", [](HostCall &c) {
        double v = c.args[0].floatValue();
        if (v < 0) fail(u"Invalid floating point operation"_s);
        return Variant(std::sqrt(v));
    });
    t.add("function Abs(E: Variant): Variant", [](HostCall &c) {
        const Variant &v = c.args[0];
        switch (v.type()) {
        case Variant::Type::Null:
            return Variant();
        case Variant::Type::Integer:
        case Variant::Type::Int64:
            if (v.int64Value() == std::numeric_limits<qint64>::min()) return Variant(-double(v.int64Value()));
            return Variant(v.int64Value() < 0 ? -v.int64Value() : v.int64Value()).convertedTo(v.type());
        default:
            return Variant(std::fabs(v.toFloat()));
        }
    });
    t.add("function Sin(E: Extended): Extended", unary([](double v) { return std::sin(v); }));
    t.add("function Cos(E: Extended): Extended", unary([](double v) { return std::cos(v); }));
    t.add("function Tan(E: Extended): Extended", unary([](double v) { return std::tan(v); }));
    t.add("function ArcTan(E: Extended): Extended", unary([](double v) { return std::atan(v); }));
    t.add("function Exp(E: Extended): Extended", unary([](double v) { return std::exp(v); }));
    t.add("function Ln(E: Extended): Extended", [](HostCall &c) {
        double v = c.args[0].floatValue();
        if (v <= 0) fail(u"Invalid floating point operation"_s);
        return Variant(std::log(v));
    });
    t.add("function Pi: Extended", [](HostCall &) { return Variant(std::numbers::pi); });
    t.add("function Sqr(E: Variant): Variant", [](HostCall &c) {
        const Variant &v = c.args[0];
        if (v.type() == Variant::Type::Integer || v.type() == Variant::Type::Int64) return Variant::multiply(v, v);
        return checked(v.floatValue() * v.floatValue());
    });
    t.add("function Power(Base, Exponent: Extended): Extended", [](HostCall &c) {
        const double base = c.args[0].floatValue(), exponent = c.args[1].floatValue();
        if (base == 0 && exponent < 0) fail(u"Floating point division by zero"_s);
        return checked(std::pow(base, exponent));
    });
    t.add("function Odd(X: Int64): Boolean", [](HostCall &c) { return Variant((c.args[0].int64Value() & 1) != 0); });
    t.add("function Ceil(X: Extended): Integer",
          [](HostCall &c) { return Variant(wholeNumber(std::ceil(c.args[0].floatValue()))); });
    t.add("function Floor(X: Extended): Integer",
          [](HostCall &c) { return Variant(wholeNumber(std::floor(c.args[0].floatValue()))); });
    t.constants.insert(u"maxint"_s, Variant(std::numeric_limits<int>::max()));
}

} // namespace script::library::detail
