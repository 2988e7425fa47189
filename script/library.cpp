// The library table, its constants, and the functions that fit no other group.
#include "script/library.h"

#include "script/fsScript.h"
#include "script/library_p.h"
#include "script/parser.h"
#include "script/scripterror.h"

#include <QDateTime>

#include <cmath>
#include <random>

using namespace Qt::StringLiterals;

namespace script::library {

namespace detail {

void Table::add(const char *declaration, HostImpl impl)
{
    HostFunction f = parseDeclaration(QString::fromUtf8(declaration));
    f.impl = std::move(impl);
    const HostFunction &stored = functions.emplace_back(std::move(f));
    byName.insert(stored.name.toLower(), &stored);
}

void fail(const QString &message)
{
    throw ScriptError::runtime(message);
}

namespace {

int varTypeOf(const Variant &v)
{
    switch (v.type()) {
    case Variant::Type::Null:
        return 1;
    case Variant::Type::Integer:
        return 3;
    case Variant::Type::Int64:
        return 20;
    case Variant::Type::Float:
        return 5;
    case Variant::Type::String:
        return 258;
    case Variant::Type::Boolean:
        return 11;
    case Variant::Type::DateTime:
        return 7;
    case Variant::Type::Object:
        return 9;
    case Variant::Type::Array:
        return 0x200C;
    }
    return 0;
}

Variant initialForVarType(qint64 varType)
{
    switch (varType) {
    case 2:
    case 3:
    case 16:
    case 17:
    case 18:
        return Variant(0);
    case 19:
    case 20:
        return initialValue(Variant::Type::Int64);
    case 4:
    case 5:
    case 6:
        return Variant(0.0);
    case 7:
        return Variant::fromDateTime(0);
    case 8:
    case 256:
    case 258:
        return Variant(QString());
    case 11:
        return Variant(false);
    default:
        return {};
    }
}

std::mt19937_64 &generator()
{
    static std::mt19937_64 g(0);
    return g;
}

void addGeneral(Table &t)
{
    t.add("procedure ShowMessage(Msg: Variant)", [](HostCall &c) {
        c.script.showMessage(c.args[0].toString());
        return Variant();
    });
    t.add("procedure RaiseException(Param: Variant)",
          [](HostCall &c) -> Variant { fail(c.args[0].toString()); });
    t.add("function ExceptionMessage: String",
          [](HostCall &c) { return Variant(c.script.exceptionMessage()); });
    t.add("function CreateOleObject(ClassName: String): Variant", [](HostCall &c) -> Variant {
        fail(u"CreateOleObject('%1') is not supported on this platform"_s.arg(c.args[0].stringRef()));
    });
    t.add("function VarType(V: Variant): Integer", [](HostCall &c) { return Variant(varTypeOf(c.args[0])); });
    t.add("function VarArrayCreate(Bounds: array of Integer; VarType: Integer): Variant", [](HostCall &c) {
        const Variant &bounds = c.args[0];
        if (!bounds.isArray() || bounds.arrayCount() == 0 || bounds.arrayCount() % 2 != 0)
            fail(u"VarArrayCreate needs pairs of bounds"_s);
        Variant result = initialForVarType(c.args[1].toInt64());
        qint64 total = 1;
        for (qint64 i = bounds.arrayCount() - 2; i >= 0; i -= 2) {
            qint64 low = bounds.at(bounds.arrayLow() + i).toInt64();
            qint64 high = bounds.at(bounds.arrayLow() + i + 1).toInt64();
            if (high < low - 1 || high - low >= (1 << 24)) fail(u"Invalid variant array bounds"_s);
            total *= std::max<qint64>(high - low + 1, 1);
            if (total > (1 << 24)) fail(u"Array too large"_s);
            Variant level = Variant::array(low, high - low + 1);
            for (qint64 k = low; k <= high; ++k)
                level.elementRef(k) = result;
            result = level;
        }
        return result;
    });
    t.add("procedure Randomize", [](HostCall &) {
        generator().seed(quint64(QDateTime::currentMSecsSinceEpoch()));
        return Variant();
    });
    t.add("function Random(Range: Variant = Null): Variant", [](HostCall &c) {
        if (c.args[0].isNull()) return Variant(std::uniform_real_distribution<double>(0, 1)(generator()));
        qint64 range = c.args[0].toInt64();
        if (range <= 0) return Variant(0);
        return Variant(qint64(generator()() % quint64(range)));
    });
    t.add("procedure Inc(var X; N: Variant = 1)", [](HostCall &c) {
        c.args[0] = Variant::add(c.args[0], c.args[1]);
        return Variant();
    });
    t.add("procedure Dec(var X; N: Variant = 1)", [](HostCall &c) {
        c.args[0] = Variant::subtract(c.args[0], c.args[1]);
        return Variant();
    });

    // Report units per millimetre, centimetre, tenth of an inch and inch, and the character cell
    // of a dot-matrix page.
    t.constants.insert(u"fr01cm"_s, Variant(3.77953));
    t.constants.insert(u"fr1cm"_s, Variant(37.7953));
    t.constants.insert(u"fr01in"_s, Variant(9.6));
    t.constants.insert(u"fr1in"_s, Variant(96.0));
    t.constants.insert(u"fr1charx"_s, Variant(9.6));
    t.constants.insert(u"fr1chary"_s, Variant(17.0));
    t.constants.insert(u"null"_s, Variant());
    const std::pair<const char16_t *, int> varTypes[] = {
        {u"varempty", 0},     {u"varnull", 1},       {u"varsmallint", 2},  {u"varinteger", 3},
        {u"varsingle", 4},    {u"vardouble", 5},     {u"varcurrency", 6},  {u"vardate", 7},
        {u"varolestr", 8},    {u"vardispatch", 9},   {u"varerror", 10},    {u"varboolean", 11},
        {u"varvariant", 12},  {u"varunknown", 13},   {u"varshortint", 16}, {u"varbyte", 17},
        {u"varword", 18},     {u"varlongword", 19},  {u"varint64", 20},    {u"varstring", 256},
        {u"varustring", 258}, {u"vararray", 0x2000},
    };
    for (auto [name, value] : varTypes)
        t.constants.insert(QString::fromUtf16(name), Variant(value));
}

} // namespace

} // namespace detail

namespace {

const detail::Table &table()
{
    static const detail::Table t = [] {
        detail::Table t;
        detail::addGeneral(t);
        detail::addConversions(t);
        detail::addStrings(t);
        detail::addDates(t);
        detail::addArithmetic(t);
        return t;
    }();
    return t;
}

} // namespace

const HostFunction *findFunction(const QString &lowerName)
{
    return table().byName.value(lowerName);
}

const Variant *findConstant(const QString &lowerName)
{
    const auto &c = table().constants;
    auto it = c.constFind(lowerName);
    return it == c.constEnd() ? nullptr : &it.value();
}

qint64 roundHalfEven(double value)
{
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0)
        detail::fail(u"Invalid floating point operation"_s);
    return qint64(std::nearbyint(value));
}

} // namespace script::library
