// Number and date-time text in the one fixed set of format settings of the script engine:
//   decimal separator ".", thousands separator ",", date separator "/", time separator ":",
//   short date "yyyy-mm-dd", long date "yyyy'年'm'月'd'日'", short time "hh:nn",
//   long time "hh:nn:ss", AM/PM "上午"/"下午",
//   short month names "1月" … "12月", long month names "一月" … "十二月",
//   short day names "周日" … "周六", long day names "星期日" … "星期六" (Sunday first).
// Date-times are days since 1899-12-30; the fraction is the time of day.
#pragma once

#include "script/variant.h"

#include <QString>

#include <optional>

namespace script::formats {

inline constexpr QChar DecimalSeparator = u'.';
inline constexpr QChar ThousandSeparator = u',';
inline constexpr QChar DateSeparator = u'/';
inline constexpr QChar TimeSeparator = u':';
QString shortDateFormat();
QString longDateFormat();
QString shortTimeFormat();
QString longTimeFormat();
QString shortMonthName(int month); // 1..12
QString longMonthName(int month);
QString shortDayName(int day); // 1 = Sunday .. 7
QString longDayName(int day);

// General form with up to 15 significant digits: 793.7013, 1000, 1E20, 1.5E-7, "NAN", "INF".
QString floatToText(double value);
// A number in decimal (optional sign, digits, ".", exponent) or "$" hexadecimal; blanks around it
// are ignored. Nothing for other text.
std::optional<double> textToFloat(const QString &text);
std::optional<qint64> textToInt(const QString &text);

// Picture formats: "0" digit, "#" optional digit, "." decimal point, "," thousands grouping,
// "E+" "E-" "e+" "e-" exponent, '…' and "…" literals, up to three sections split by ";"
// (positive; negative; zero). Raises on values it cannot format (never: non-finite give "NAN"/"INF").
QString formatFloat(const QString &format, double value);

// The "%" directives: %[index:][-][width][.precision]type with d u e f g n m p s x, "*" for width
// or precision from the arguments, "%%" for a percent sign. Raises a run-time ScriptError
// "Format 'X' invalid or incompatible with argument" on a mismatch.
QString format(const QString &format, const VariantList &args);

// Date-time formats: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz
// t tt am/pm a/p ampm / : and quoted literals; "m" after "h" or "hh" means minutes.
QString formatDateTime(const QString &format, double dateTime);
QString dateToText(double dateTime);     // short date
QString timeToText(double dateTime);     // long time
QString dateTimeToText(double dateTime); // short date, then long time unless it is midnight

// Calendar helpers. encodeDate/encodeTime give nothing for an invalid date or time.
std::optional<double> encodeDate(int year, int month, int day);
std::optional<double> encodeTime(int hour, int minute, int second, int millisecond);
void decodeDate(double dateTime, int &year, int &month, int &day);
void decodeTime(double dateTime, int &hour, int &minute, int &second, int &millisecond);
int dayOfWeek(double dateTime); // 1 = Sunday
bool isLeapYear(int year);
int daysInMonth(int year, int month);
double now();

// Parsing in the order of the short date (year, month, day); "/", "-" and "." all separate the
// parts, so the engine's own date text reads back. A time is h:n[:s[.z]] with an optional
// AM/PM marker. Nothing for text that is not a date or time.
std::optional<double> textToDate(const QString &text);
std::optional<double> textToTime(const QString &text);
std::optional<double> textToDateTime(const QString &text);

// Edit-mask formatting: mask characters 0 9 # L l A a C c take the next value character,
// "\" quotes a literal, ">" "<" "<>" switch case, ":" and "/" are the separators; a mask ends with
// optional ";S" (1: the value holds the literals too) and ";B" (character for missing input).
QString formatMaskText(const QString &mask, const QString &value);

} // namespace script::formats
