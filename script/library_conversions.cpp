// Conversions between values and text, and the format functions.
#include "script/formats.h"
#include "script/fsScript.h"
#include "script/library_p.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace script::library::detail {

namespace {

VariantList argumentList(const Variant &args)
{
    if (!args.isArray()) return args.isNull() ? VariantList() : VariantList{args};
    VariantList list;
    for (qint64 i = 0, n = args.arrayCount(); i < n; ++i)
        list.push_back(args.at(args.arrayLow() + i));
    return list;
}

std::optional<qint64> integerText(const QString &s, bool wide)
{
    auto v = formats::textToInt(s);
    if (!v || wide) return v;
    if (*v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max()) {
        // "$FFFFFFFF" is -1 as a 32-bit value
        if (s.trimmed().startsWith(u'$') && quint64(*v) <= 0xFFFFFFFFull) return qint64(qint32(quint32(*v)));
        return std::nullopt;
    }
    return v;
}

} // namespace

void addConversions(Table &t)
{
    t.add("function IntToStr(Value: Int64): String",
          [](HostCall &c) { return Variant(QString::number(c.args[0].toInt64())); });
    t.add("function FloatToStr(Value: Extended): String",
          [](HostCall &c) { return Variant(formats::floatToText(c.args[0].floatValue())); });
    t.add("function DateToStr(Date: TDateTime): String",
          [](HostCall &c) { return Variant(formats::dateToText(c.args[0].floatValue())); });
    t.add("function TimeToStr(Time: TDateTime): String",
          [](HostCall &c) { return Variant(formats::timeToText(c.args[0].floatValue())); });
    t.add("function DateTimeToStr(DateTime: TDateTime): String",
          [](HostCall &c) { return Variant(formats::dateTimeToText(c.args[0].floatValue())); });
    t.add("function VarToStr(Value: Variant): String", [](HostCall &c) {
        const Variant &v = c.args[0];
        if (v.isObject()) return Variant(v.objectValue()->scriptClassName());
        if (v.isArray()) fail(u"Could not convert variant of type (Array) into type (String)"_s);
        return Variant(v.toString());
    });
    t.add("function StrToInt(S: String): Integer", [](HostCall &c) {
        auto v = integerText(c.args[0].stringRef(), false);
        if (!v) fail(u"'%1' is not a valid integer value"_s.arg(c.args[0].stringRef()));
        return Variant(*v);
    });
    t.add("function StrToInt64(S: String): Int64", [](HostCall &c) {
        auto v = integerText(c.args[0].stringRef(), true);
        if (!v) fail(u"'%1' is not a valid integer value"_s.arg(c.args[0].stringRef()));
        return Variant(*v).convertedTo(Variant::Type::Int64);
    });
    t.add("function StrToIntDef(S: String; Default: Integer): Integer", [](HostCall &c) {
        auto v = integerText(c.args[0].stringRef(), false);
        return v ? Variant(*v) : c.args[1];
    });
    t.add("function StrToFloatDef(S: String; Default: Extended): Extended", [](HostCall &c) {
        auto v = formats::textToFloat(c.args[0].stringRef());
        return v ? Variant(*v) : c.args[1];
    });
    t.add("function IntToHex(Value: Variant; Digits: Integer): String", [](HostCall &c) {
        // A value within 32 bits is written as a 32-bit one: IntToHex(-1, 1) is FFFFFFFF.
        const qint64 v = c.args[0].toInt64();
        const bool narrow = v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
        QString s = QString::number(narrow ? quint64(quint32(v)) : quint64(v), 16).toUpper();
        return Variant(s.rightJustified(std::clamp(c.args[1].toInt(), 0, 4096), u'0'));
    });
    t.add("function StrToFloat(S: String): Extended", [](HostCall &c) {
        auto v = formats::textToFloat(c.args[0].stringRef());
        if (!v) fail(u"'%1' is not a valid floating point value"_s.arg(c.args[0].stringRef()));
        return Variant(*v);
    });
    t.add("function StrToDate(S: String): TDateTime", [](HostCall &c) {
        auto v = formats::textToDate(c.args[0].stringRef());
        if (!v) fail(u"'%1' is not a valid date"_s.arg(c.args[0].stringRef()));
        return Variant::fromDateTime(*v);
    });
    t.add("function StrToTime(S: String): TDateTime", [](HostCall &c) {
        auto v = formats::textToTime(c.args[0].stringRef());
        if (!v) fail(u"'%1' is not a valid time"_s.arg(c.args[0].stringRef()));
        return Variant::fromDateTime(*v);
    });
    t.add("function StrToDateTime(S: String): TDateTime", [](HostCall &c) {
        auto v = formats::textToDateTime(c.args[0].stringRef());
        if (!v) fail(u"'%1' is not a valid date and time"_s.arg(c.args[0].stringRef()));
        return Variant::fromDateTime(*v);
    });
    t.add("function ValidInt(cInt: String): Boolean",
          [](HostCall &c) { return Variant(integerText(c.args[0].stringRef(), false).has_value()); });
    t.add("function ValidFloat(cFlt: String): Boolean",
          [](HostCall &c) { return Variant(formats::textToFloat(c.args[0].stringRef()).has_value()); });
    t.add("function ValidDate(cDate: String): Boolean",
          [](HostCall &c) { return Variant(formats::textToDateTime(c.args[0].stringRef()).has_value()); });
    t.add("function Format(Fmt: String; Args: array of const): String", [](HostCall &c) {
        QString s = formats::format(c.args[0].stringRef(), argumentList(c.args[1]));
        Variant::checkLength(s.size());
        return Variant(std::move(s));
    });
    t.add("function FormatFloat(Fmt: String; Value: Extended): String", [](HostCall &c) {
        return Variant(formats::formatFloat(c.args[0].stringRef(), c.args[1].floatValue()));
    });
    t.add("function FormatDateTime(Fmt: String; DateTime: TDateTime): String", [](HostCall &c) {
        return Variant(formats::formatDateTime(c.args[0].stringRef(), c.args[1].floatValue()));
    });
    t.add("function FormatMaskText(EditMask: String; Value: String): String", [](HostCall &c) {
        return Variant(formats::formatMaskText(c.args[0].stringRef(), c.args[1].stringRef()));
    });
}

} // namespace script::library::detail
