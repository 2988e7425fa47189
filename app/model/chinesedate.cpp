#include "app/model/chinesedate.h"

#include "app/model/newmoon.h"

#include <unicode/ucal.h>

#include <memory>

namespace chinesedate {

namespace {

const char16_t digitChars[] = u"零一二三四五六七八九";

// 1..99 in full Chinese numerals: "十", "十一", "二十", "二十一".
QString numeral(int n)
{
    if (n < 10) return QString(QChar(digitChars[n]));
    QString text = n / 10 == 1 ? QString() : QString(QChar(digitChars[n / 10]));
    text += QStringLiteral("十");
    if (n % 10) text += QChar(digitChars[n % 10]);
    return text;
}

// The value of one digit character, or -1.
int digitValue(QChar c)
{
    if (c.unicode() >= u'0' && c.unicode() <= u'9') return c.unicode() - u'0';
    if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) return c.unicode() - 0xFF10; // full-width
    if (c == u'〇' || c == u'○') return 0;
    for (int n = 0; n < 10; ++n)
        if (c == QChar(digitChars[n])) return n;
    if (c == u'两') return 2;
    return -1;
}

// Digits read one after another ("二零二六", "二一", "31"); empty text or any other character:
// nothing.
std::optional<int> positional(QStringView text)
{
    if (text.isEmpty() || text.size() > 6) return {};
    int value = 0;
    for (QChar c : text) {
        const int digit = digitValue(c);
        if (digit < 0) return {};
        value = value * 10 + digit;
    }
    return value;
}

// A number as people write day and month numbers: positional digits, or with "十" ("十二",
// "二十一"), "廿"/"卅" for twenty/thirty, and "初" before the first ten days.
std::optional<int> number(QString text)
{
    text = text.trimmed();
    if (text.startsWith(u'初')) text.remove(0, 1);
    if (text.startsWith(u'廿') || text.startsWith(u'卅')) {
        const int tens = text.startsWith(u'廿') ? 20 : 30;
        if (text.size() == 1) return tens;
        const std::optional<int> unit = positional(QStringView(text).mid(1));
        return unit && *unit < 10 ? std::optional<int>(tens + *unit) : std::nullopt;
    }
    const qsizetype ten = text.indexOf(u'十');
    if (ten < 0) return positional(text);
    const QStringView before = QStringView(text).left(ten);
    const QStringView after = QStringView(text).mid(ten + 1);
    const std::optional<int> tens = before.isEmpty() ? std::optional<int>(1) : positional(before);
    const std::optional<int> unit = after.isEmpty() ? std::optional<int>(0) : positional(after);
    if (!tens || !unit || *tens > 9 || *unit > 9) return {};
    return *tens * 10 + *unit;
}

QString withoutSuffix(QString text, QStringView suffix)
{
    text = text.trimmed();
    if (text.endsWith(suffix)) text.chop(suffix.size());
    return text;
}

struct TypedLunarMonth {
    int month = 0;
    bool isLeapMonth = false;
};

std::optional<TypedLunarMonth> lunarMonth(QString text)
{
    text = withoutSuffix(text, u"月");
    TypedLunarMonth result;
    if (text.startsWith(u'闰') || text.startsWith(u'閏')) {
        result.isLeapMonth = true;
        text.remove(0, 1);
    }
    if (text == u"正")
        result.month = 1;
    else if (text == u"冬")
        result.month = 11;
    else if (text == u"腊" || text == u"臘")
        result.month = 12;
    else if (const std::optional<int> n = number(text))
        result.month = *n;
    if (result.month < 1 || result.month > 12) return {};
    return result;
}

std::optional<int> weekday(QString text)
{
    text = text.trimmed();
    for (QStringView prefix : {u"星期", u"礼拜", u"周"})
        if (text.startsWith(prefix)) text.remove(0, prefix.size());
    if (text == u"日" || text == u"天") return 7;
    const std::optional<int> n = number(text);
    return n && *n >= 1 && *n <= 6 ? n : std::nullopt;
}

QString dateInWords(const QDate &date)
{
    return yearText(date.year()) + QStringLiteral("年") + monthText(date.month()) + QStringLiteral("月") +
           solarDayText(date.day()) + QStringLiteral("日");
}

struct CalendarCloser {
    void operator()(UCalendar *calendar) const { ucal_close(calendar); }
};

} // namespace

std::optional<LunarDate> lunarDate(const QDate &date)
{
    if (!date.isValid()) return {};
    // ICU's own new moons are off by minutes, which moves a month's first day when the new moon
    // falls close to midnight in China (the Spring Festivals of 2027 and 2030). The day comes from
    // the precise new moon; ICU names the month from the month's middle, far from either edge.
    const QDate start = newmoon::lunarMonthStart(date);
    UErrorCode status = U_ZERO_ERROR;
    // The calendar's zone only maps the instant to a day; the Chinese calendar computes in
    // China's own time whatever the zone is.
    std::unique_ptr<UCalendar, CalendarCloser> calendar(
        ucal_open(u"GMT", -1, "zh_CN@calendar=chinese", UCAL_DEFAULT, &status));
    if (U_FAILURE(status)) return {};
    const UDate middle = double(QDate(1970, 1, 1).daysTo(start.addDays(14))) * U_MILLIS_PER_DAY;
    ucal_setMillis(calendar.get(), middle, &status);
    LunarDate lunar;
    lunar.month = ucal_get(calendar.get(), UCAL_MONTH, &status) + 1;
    lunar.isLeapMonth = ucal_get(calendar.get(), UCAL_IS_LEAP_MONTH, &status) != 0;
    lunar.day = static_cast<int>(start.daysTo(date)) + 1;
    if (U_FAILURE(status)) return {};
    return lunar;
}

QString yearText(int year)
{
    QString text;
    for (QChar c : QString::number(year))
        text += c == u'-' ? QChar(u'-') : QChar(digitChars[c.unicode() - u'0']);
    return text;
}

QStringList yearTexts(int first, int last)
{
    QStringList texts;
    for (int year = first; year <= last; ++year)
        texts << yearText(year);
    return texts;
}

QString monthText(int month)
{
    return month >= 1 && month <= 12 ? numeral(month) : QString();
}

QString solarDayText(int day)
{
    if (day < 1 || day > 31) return {};
    // Past twenty the list drops the "十": "二一", "三一"; round tens keep it.
    if (day > 20 && day % 10) return QString(QChar(digitChars[day / 10])) + QChar(digitChars[day % 10]);
    return numeral(day);
}

QString lunarMonthText(const LunarDate &lunar)
{
    return (lunar.isLeapMonth ? QStringLiteral("闰") : QString()) + monthText(lunar.month);
}

QString lunarDayText(int day)
{
    if (day < 1 || day > 30) return {};
    if (day <= 10) return QStringLiteral("初") + numeral(day);
    if (day > 20 && day < 30) return QStringLiteral("廿") + QChar(digitChars[day % 10]);
    return numeral(day);
}

QString weekdayText(int dayOfWeek)
{
    if (dayOfWeek == 7) return QStringLiteral("日");
    return dayOfWeek >= 1 && dayOfWeek <= 6 ? numeral(dayOfWeek) : QString();
}

QString timeText(const QTime &time)
{
    if (!time.isValid()) return {};
    const int hour = time.hour();
    const int minute = time.minute();
    QString part;
    if (hour < 5)
        part = QStringLiteral("凌晨");
    else if (hour < 8)
        part = QStringLiteral("早上");
    else if (hour < 11)
        part = QStringLiteral("上午");
    else if (hour < 13)
        part = QStringLiteral("中午");
    else if (hour < 19)
        part = QStringLiteral("下午");
    else
        part = QStringLiteral("晚上");
    QString text = part + (hour == 0 ? QStringLiteral("零") : numeral(hour > 12 ? hour - 12 : hour)) +
                   QStringLiteral("点");
    if (minute > 0)
        text += (minute < 10 ? QStringLiteral("零") : QString()) + numeral(minute) + QStringLiteral("分");
    return text;
}

CardDate cardDate(const QDate &date)
{
    CardDate texts;
    if (!date.isValid()) return texts;
    texts.year = yearText(date.year());
    texts.solarMonth = monthText(date.month());
    texts.solarDay = solarDayText(date.day());
    texts.weekday = weekdayText(date.dayOfWeek());
    if (const std::optional<LunarDate> lunar = lunarDate(date)) {
        texts.lunarMonth = lunarMonthText(*lunar);
        texts.lunarDay = lunarDayText(lunar->day);
    }
    return texts;
}

std::optional<QDate> solarDate(const QString &year, const QString &month, const QString &day)
{
    const std::optional<int> y = positional(withoutSuffix(year, u"年"));
    const std::optional<int> m = number(withoutSuffix(month, u"月"));
    QString dayText = withoutSuffix(day, u"日");
    const std::optional<int> d = number(withoutSuffix(dayText, u"号"));
    if (!y || !m || !d) return {};
    const QDate date(*y, *m, *d);
    if (!date.isValid()) return {};
    return date;
}

QStringList disagreements(const CardDate &typed)
{
    if (typed.year.trimmed().isEmpty() || typed.solarMonth.trimmed().isEmpty() ||
        typed.solarDay.trimmed().isEmpty())
        return {};
    const std::optional<QDate> date = solarDate(typed.year, typed.solarMonth, typed.solarDay);
    if (!date)
        return {QStringLiteral("公历日期“%1年%2月%3日”不存在或无法识别，星期和农历无法核对。")
                    .arg(typed.year.trimmed(), typed.solarMonth.trimmed(), typed.solarDay.trimmed())};

    QStringList problems;
    const std::optional<int> typedWeekday = weekday(typed.weekday);
    if (!typed.weekday.trimmed().isEmpty() && typedWeekday != date->dayOfWeek())
        problems << QStringLiteral("星期与日期不符：%1是星期%2。")
                        .arg(dateInWords(*date), weekdayText(date->dayOfWeek()));

    const std::optional<LunarDate> lunar = lunarDate(*date);
    if (!lunar) return problems;
    bool lunarAgrees = true;
    if (!typed.lunarMonth.trimmed().isEmpty()) {
        const std::optional<TypedLunarMonth> month = lunarMonth(typed.lunarMonth);
        lunarAgrees = month && month->month == lunar->month && month->isLeapMonth == lunar->isLeapMonth;
    }
    if (!typed.lunarDay.trimmed().isEmpty()) {
        const std::optional<int> day = number(withoutSuffix(typed.lunarDay, u"日"));
        lunarAgrees = lunarAgrees && day == lunar->day;
    }
    if (!lunarAgrees)
        problems << QStringLiteral("农历与日期不符：%1是农历%2月%3。")
                        .arg(dateInWords(*date), lunarMonthText(*lunar), lunarDayText(lunar->day));
    return problems;
}

} // namespace chinesedate
