// Date and time functions.
#include "script/formats.h"
#include "script/fsScript.h"
#include "script/library_p.h"

#include <QDate>

#include <cmath>

using namespace Qt::StringLiterals;

namespace script::library::detail {

namespace {

constexpr qint64 MSecsPerDay = 86400000;

// Whole milliseconds since day zero, the time of day counted from the start of its day also
// before day zero (-1.25 is six in the morning of 1899-12-29).
qint64 milliseconds(double dateTime)
{
    if (!std::isfinite(dateTime) || std::fabs(dateTime) > 1e7) fail(u"Invalid argument to date encode"_s);
    const double day = std::trunc(dateTime);
    return qint64(day) * MSecsPerDay + qint64(std::llround(std::fabs(dateTime - day) * MSecsPerDay));
}

QDate dateOf(double dateTime)
{
    int y, m, d;
    formats::decodeDate(dateTime, y, m, d);
    return QDate(y, m, d);
}

// The same day Count months on, the day cut to the new month's length, the time kept.
double incMonth(double dateTime, qint64 count)
{
    int y, m, d;
    formats::decodeDate(dateTime, y, m, d);
    const qint64 months = qint64(y) * 12 + (m - 1) + std::clamp<qint64>(count, -200000, 200000);
    const int year = int(months / 12), month = int(months % 12) + 1;
    auto date = year >= 1 && year <= 9999
                    ? formats::encodeDate(year, month, std::min(d, formats::daysInMonth(year, month)))
                    : std::nullopt;
    if (!date) fail(u"Invalid argument to date encode"_s);
    const double time = std::fabs(dateTime - std::trunc(dateTime));
    return *date >= 0 ? *date + time : *date - time;
}

} // namespace

void addDates(Table &t)
{
    t.add("function EncodeDate(Year, Month, Day: Integer): TDateTime", [](HostCall &c) {
        auto d = formats::encodeDate(c.args[0].toInt(), c.args[1].toInt(), c.args[2].toInt());
        if (!d) fail(u"Invalid argument to date encode"_s);
        return Variant::fromDateTime(*d);
    });
    t.add("function EncodeTime(Hour, Min, Sec, MSec: Integer): TDateTime", [](HostCall &c) {
        auto d =
            formats::encodeTime(c.args[0].toInt(), c.args[1].toInt(), c.args[2].toInt(), c.args[3].toInt());
        if (!d) fail(u"Invalid argument to time encode"_s);
        return Variant::fromDateTime(*d);
    });
    t.add("procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Integer)", [](HostCall &c) {
        int y, m, d;
        formats::decodeDate(c.args[0].floatValue(), y, m, d);
        c.args[1] = Variant(y);
        c.args[2] = Variant(m);
        c.args[3] = Variant(d);
        return Variant();
    });
    t.add("procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Integer)", [](HostCall &c) {
        int h, m, s, ms;
        formats::decodeTime(c.args[0].floatValue(), h, m, s, ms);
        c.args[1] = Variant(h);
        c.args[2] = Variant(m);
        c.args[3] = Variant(s);
        c.args[4] = Variant(ms);
        return Variant();
    });
    t.add("function Date: TDateTime",
          [](HostCall &) { return Variant::fromDateTime(std::trunc(formats::now())); });
    t.add("function Time: TDateTime", [](HostCall &) {
        double n = formats::now();
        return Variant::fromDateTime(n - std::trunc(n));
    });
    t.add("function Now: TDateTime", [](HostCall &) { return Variant::fromDateTime(formats::now()); });
    t.add("function DayOfWeek(Date: TDateTime): Integer",
          [](HostCall &c) { return Variant(formats::dayOfWeek(c.args[0].floatValue())); });
    t.add("function IsLeapYear(Year: Integer): Boolean", [](HostCall &c) {
        return Variant(formats::isLeapYear(c.args[0].int64Value() > 0 ? int(c.args[0].int64Value()) : 0));
    });
    // DaysInMonth(Date) or DaysInMonth(Year, Month).
    t.add("function DaysInMonth(YearOrDate: Variant; Month: Integer = 0): Integer", [](HostCall &c) {
        int month = c.args[1].toInt();
        if (month == 0) {
            int y, m, d;
            formats::decodeDate(c.args[0].toDateTime(), y, m, d);
            return Variant(formats::daysInMonth(y, m));
        }
        return Variant(formats::daysInMonth(c.args[0].toInt(), month));
    });
    auto part = [](int which) {
        return [which](HostCall &c) {
            int y, m, d;
            formats::decodeDate(c.args[0].floatValue(), y, m, d);
            return Variant(which == 0 ? d : which == 1 ? m : y);
        };
    };
    t.add("function IncMonth(Date: TDateTime; NumberOfMonths: Integer = 1): TDateTime", [](HostCall &c) {
        return Variant::fromDateTime(incMonth(c.args[0].floatValue(), c.args[1].int64Value()));
    });
    t.add("function IncDay(Value: TDateTime; NumberOfDays: Integer = 1): TDateTime", [](HostCall &c) {
        return Variant::fromDateTime(c.args[0].floatValue() + double(c.args[1].int64Value()));
    });
    t.add("function DaysBetween(ANow, AThen: TDateTime): Integer", [](HostCall &c) {
        const qint64 span = std::abs(milliseconds(c.args[0].floatValue()) - milliseconds(c.args[1].floatValue()));
        return Variant(span / MSecsPerDay);
    });
    t.add("function WeekOf(Value: TDateTime): Integer",
          [](HostCall &c) { return Variant(dateOf(c.args[0].floatValue()).weekNumber()); });
    t.add("function DayOfTheWeek(Value: TDateTime): Integer",
          [](HostCall &c) { return Variant(dateOf(c.args[0].floatValue()).dayOfWeek()); });
    t.add("function DayOf(Date: TDateTime): Integer", part(0));
    t.add("function MonthOf(Date: TDateTime): Integer", part(1));
    t.add("function YearOf(Date: TDateTime): Integer", part(2));
}

} // namespace script::library::detail
