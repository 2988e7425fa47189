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

HostImpl unary(double (*f)(double))
{
    return [f](HostCall &c) { return checked(f(c.args[0].floatValue())); };
}

} // namespace

void addArithmetic(Table &t)
{
    t.add("function Round(E: Extended): Int64",
          [](HostCall &c) { return Variant(roundHalfEven(c.args[0].floatValue())); });
    t.add("function Trunc(E: Extended): Int64", [](HostCall &c) {
        double v = std::trunc(c.args[0].floatValue());
        if (!std::isfinite(v) || v >= 9223372036854775808.0 || v < -9223372036854775808.0)
            fail(u"Invalid floating point operation"_s);
        return Variant(qint64(v));
    });
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
}

} // namespace script::library::detail
