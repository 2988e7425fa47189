// Date-time text and calendar arithmetic with the fixed settings.
#include "script/formats.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>

using namespace Qt::StringLiterals;

namespace script::formats {

namespace {

constexpr qint64 JulianOfDayZero = 2415019; // 1899-12-30
constexpr qint64 MsPerDay = 86400000;

const char16_t *const MonthNumerals[] = {u"一", u"二", u"三", u"四", u"五",   u"六",
                                         u"七", u"八", u"九", u"十", u"十一", u"十二"};
const char16_t *const DayNumerals[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};

QDate dateOf(double dateTime)
{
    double days = std::trunc(dateTime);
    if (!std::isfinite(days) || std::fabs(days) > 4e6) return {};
    return QDate::fromJulianDay(JulianOfDayZero + qint64(days));
}

qint64 msOfDay(double dateTime)
{
    if (!std::isfinite(dateTime)) return 0;
    double frac = std::fabs(dateTime - std::trunc(dateTime));
    qint64 ms = qint64(std::llround(frac * double(MsPerDay)));
    return std::clamp<qint64>(ms, 0, MsPerDay - 1);
}

bool hasAmPm(const QString &f)
{
    QChar quote;
    for (qsizetype i = 0; i < f.size(); ++i) {
        QChar c = f.at(i);
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'a' || c == u'A') {
            QStringView rest = QStringView(f).mid(i);
            if (rest.startsWith(u"am/pm", Qt::CaseInsensitive) ||
                rest.startsWith(u"a/p", Qt::CaseInsensitive) || rest.startsWith(u"ampm", Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

void appendFormatted(QString &out, const QString &f, double dateTime, int depth)
{
    QDate date = dateOf(dateTime);
    int year = date.isValid() ? date.year() : 0, month = date.isValid() ? date.month() : 0,
        day = date.isValid() ? date.day() : 0;
    int dow = date.isValid() ? date.dayOfWeek() % 7 + 1 : 1;
    qint64 ms = msOfDay(dateTime);
    int hour = int(ms / 3600000), minute = int(ms / 60000 % 60), second = int(ms / 1000 % 60),
        milli = int(ms % 1000);
    bool twelve = hasAmPm(f);
    QChar lastToken;
    auto two = [](int v) { return QString::number(v).rightJustified(2, u'0'); };
    qsizetype i = 0, n = f.size();
    while (i < n) {
        QChar c = f.at(i);
        QChar up = c.toUpper();
        qsizetype run = 1;
        while (i + run < n && f.at(i + run).toUpper() == up)
            ++run;
        if (up.unicode() >= 'A' && up.unicode() <= 'Z') {
            if (up == u'M' && lastToken == u'H') up = u'N';
            lastToken = up;
        }
        switch (up.unicode()) {
        case '\'':
        case '"': {
            qsizetype end = f.indexOf(c, i + 1);
            if (end < 0) end = n;
            out += f.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        case 'C':
            if (depth < 2) {
                appendFormatted(out, shortDateFormat(), dateTime, depth + 1);
                if (ms != 0) {
                    out += u' ';
                    appendFormatted(out, longTimeFormat(), dateTime, depth + 1);
                }
            }
            i += 1;
            continue;
        case 'D':
            if (run >= 6 && depth < 2)
                appendFormatted(out, longDateFormat(), dateTime, depth + 1);
            else if (run == 5 && depth < 2)
                appendFormatted(out, shortDateFormat(), dateTime, depth + 1);
            else if (run == 4)
                out += longDayName(dow);
            else if (run == 3)
                out += shortDayName(dow);
            else if (run == 2)
                out += two(day);
            else
                out += QString::number(day);
            i += std::min<qsizetype>(run, 6);
            continue;
        case 'Y':
            out += run <= 2 ? two(year % 100) : QString::number(year).rightJustified(4, u'0');
            i += std::min<qsizetype>(run, 4);
            continue;
        case 'M':
            run = std::min<qsizetype>(run, 4);
            out += run == 4   ? longMonthName(month)
                   : run == 3 ? shortMonthName(month)
                   : run == 2 ? two(month)
                              : QString::number(month);
            i += run;
            continue;
        case 'N':
            run = std::min<qsizetype>(run, 2);
            out += run == 2 ? two(minute) : QString::number(minute);
            i += run;
            continue;
        case 'H': {
            run = std::min<qsizetype>(run, 2);
            int h = hour;
            if (twelve) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            out += run == 2 ? two(h) : QString::number(h);
            i += run;
            continue;
        }
        case 'S':
            run = std::min<qsizetype>(run, 2);
            out += run == 2 ? two(second) : QString::number(second);
            i += run;
            continue;
        case 'Z':
            run = run >= 3 ? 3 : 1;
            out += run == 3 ? QString::number(milli).rightJustified(3, u'0') : QString::number(milli);
            i += run;
            continue;
        case 'T':
            run = std::min<qsizetype>(run, 2);
            if (depth < 2)
                appendFormatted(out, run == 2 ? longTimeFormat() : shortTimeFormat(), dateTime, depth + 1);
            i += run;
            continue;
        case 'A': {
            QStringView rest = QStringView(f).mid(i);
            bool pm = hour >= 12;
            if (rest.startsWith(u"am/pm", Qt::CaseInsensitive)) {
                QStringView word = pm ? rest.mid(3, 2) : rest.left(2);
                out += word.toString();
                i += 5;
            } else if (rest.startsWith(u"a/p", Qt::CaseInsensitive)) {
                out += pm ? rest.at(2) : rest.at(0);
                i += 3;
            } else if (rest.startsWith(u"ampm", Qt::CaseInsensitive)) {
                out += pm ? u"下午"_s : u"上午"_s;
                i += 4;
            } else {
                out += c;
                i += 1;
            }
            continue;
        }
        case '/':
            out += DateSeparator;
            i += 1;
            continue;
        case ':':
            out += TimeSeparator;
            i += 1;
            continue;
        default:
            out += c;
            i += 1;
            continue;
        }
    }
}

} // namespace

QString shortDateFormat()
{
    return u"yyyy-mm-dd"_s;
}
QString longDateFormat()
{
    return u"yyyy'年'm'月'd'日'"_s;
}
QString shortTimeFormat()
{
    return u"hh:nn"_s;
}
QString longTimeFormat()
{
    return u"hh:nn:ss"_s;
}

QString shortMonthName(int month)
{
    return month >= 1 && month <= 12 ? QString::number(month) + u"月"_s : QString();
}

QString longMonthName(int month)
{
    return month >= 1 && month <= 12 ? QString::fromUtf16(MonthNumerals[month - 1]) + u"月"_s : QString();
}

QString shortDayName(int day)
{
    return day >= 1 && day <= 7 ? u"周"_s + QString::fromUtf16(DayNumerals[day - 1]) : QString();
}

QString longDayName(int day)
{
    return day >= 1 && day <= 7 ? u"星期"_s + QString::fromUtf16(DayNumerals[day - 1]) : QString();
}

QString formatDateTime(const QString &format, double dateTime)
{
    QString out;
    appendFormatted(out, format.isEmpty() ? u"c"_s : format, dateTime, 0);
    return out;
}

QString dateToText(double dateTime)
{
    return formatDateTime(shortDateFormat(), dateTime);
}
QString timeToText(double dateTime)
{
    return formatDateTime(longTimeFormat(), dateTime);
}
QString dateTimeToText(double dateTime)
{
    return formatDateTime(u"c"_s, dateTime);
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

std::optional<double> encodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return double(QDate(year, month, day).toJulianDay() - JulianOfDayZero);
}

std::optional<double> encodeTime(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return std::nullopt;
    return double(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / double(MsPerDay);
}

void decodeDate(double dateTime, int &year, int &month, int &day)
{
    QDate d = dateOf(dateTime);
    year = d.isValid() ? d.year() : 0;
    month = d.isValid() ? d.month() : 0;
    day = d.isValid() ? d.day() : 0;
}

void decodeTime(double dateTime, int &hour, int &minute, int &second, int &millisecond)
{
    qint64 ms = msOfDay(dateTime);
    hour = int(ms / 3600000);
    minute = int(ms / 60000 % 60);
    second = int(ms / 1000 % 60);
    millisecond = int(ms % 1000);
}

int dayOfWeek(double dateTime)
{
    QDate d = dateOf(dateTime);
    return d.isValid() ? d.dayOfWeek() % 7 + 1 : 1;
}

double now()
{
    QDateTime t = QDateTime::currentDateTime();
    return double(t.date().toJulianDay() - JulianOfDayZero) +
           double(t.time().msecsSinceStartOfDay()) / MsPerDay;
}

namespace {

bool allDigits(QStringView s)
{
    if (s.isEmpty() || s.size() > 9) return false;
    for (QChar c : s)
        if (c.unicode() < '0' || c.unicode() > '9') return false;
    return true;
}

} // namespace

std::optional<double> textToDate(const QString &text)
{
    QString s = text.trimmed();
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s.at(i) == u'/' || s.at(i) == u'-' || s.at(i) == u'.') {
            parts.append(QStringView(s).mid(start, i - start));
            start = i + 1;
        }
    }
    for (QStringView p : parts)
        if (!allDigits(p)) return std::nullopt;
    int year, month, day;
    int thisYear = QDate::currentDate().year();
    if (parts.size() == 3) {
        year = parts[0].toInt();
        month = parts[1].toInt();
        day = parts[2].toInt();
        if (parts[0].size() <= 2) {
            year += thisYear / 100 * 100;
            if (year > thisYear + 50) year -= 100;
        }
    } else if (parts.size() == 2) {
        year = thisYear;
        month = parts[0].toInt();
        day = parts[1].toInt();
    } else {
        return std::nullopt;
    }
    return encodeDate(year, month, day);
}

std::optional<double> textToTime(const QString &text)
{
    QString s = text.trimmed();
    int pm = -1;
    for (auto [marker, isPm] : {std::pair{u"AM"_s, 0}, {u"PM"_s, 1}, {u"上午"_s, 0}, {u"下午"_s, 1}}) {
        if (s.endsWith(marker, Qt::CaseInsensitive)) {
            pm = isPm;
            s = s.chopped(marker.size()).trimmed();
            break;
        }
        if (s.startsWith(marker, Qt::CaseInsensitive)) {
            pm = isPm;
            s = s.mid(marker.size()).trimmed();
            break;
        }
    }
    QStringList parts = s.split(TimeSeparator);
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    int ms = 0;
    if (parts.size() == 3 && parts[2].contains(u'.')) {
        QString z = parts[2].section(u'.', 1);
        parts[2] = parts[2].section(u'.', 0, 0);
        if (!allDigits(z)) return std::nullopt;
        ms = z.left(3).leftJustified(3, u'0').toInt();
    }
    for (const QString &p : parts)
        if (!allDigits(p)) return std::nullopt;
    int hour = parts[0].toInt();
    if (pm >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    return encodeTime(hour, parts[1].toInt(), parts.size() == 3 ? parts[2].toInt() : 0, ms);
}

std::optional<double> textToDateTime(const QString &text)
{
    QString s = text.trimmed();
    qsizetype space = s.indexOf(u' ');
    if (space < 0) {
        if (auto d = textToDate(s)) return d;
        return textToTime(s);
    }
    auto d = textToDate(s.left(space));
    auto t = textToTime(s.mid(space + 1));
    if (!d || !t) return std::nullopt;
    return *d + *t;
}

QString formatMaskText(const QString &mask, const QString &value)
{
    // Split off ";S;B" from the end: the save-literals flag and the blank character.
    QString body = mask;
    bool saveLiterals = true;
    QChar blank = u' ';
    QStringList fields;
    {
        qsizetype last = body.lastIndexOf(u';');
        if (last >= 0 && last == body.size() - 2 && (last == 0 || body.at(last - 1) != u'\\')) {
            qsizetype before = body.lastIndexOf(u';', last - 1);
            if (before >= 0 && before == last - 2) {
                saveLiterals = body.at(before + 1) != u'0';
                blank = body.at(last + 1);
                body.truncate(before);
            } else {
                saveLiterals = body.at(last + 1) != u'0';
                body.truncate(last);
            }
        }
    }
    QString out;
    qsizetype v = 0;
    int caseMode = 0; // 1 upper, -1 lower
    for (qsizetype i = 0; i < body.size(); ++i) {
        QChar c = body.at(i);
        switch (c.unicode()) {
        case '>':
            if (i + 1 < body.size() && body.at(i + 1) == u'<') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            continue;
        case '<':
            caseMode = -1;
            continue;
        case '!':
            continue;
        case '0':
        case '9':
        case '#':
        case 'L':
        case 'l':
        case 'A':
        case 'a':
        case 'C':
        case 'c': {
            QChar ch = v < value.size() ? value.at(v++) : blank;
            if (caseMode > 0)
                ch = ch.toUpper();
            else if (caseMode < 0)
                ch = ch.toLower();
            out += ch;
            continue;
        }
        case '\\':
            if (i + 1 < body.size()) c = body.at(++i);
            break;
        case ':':
            c = TimeSeparator;
            break;
        case '/':
            c = DateSeparator;
            break;
        case '_':
            c = u' ';
            break;
        default:
            break;
        }
        out += c;
        if (saveLiterals && v < value.size()) ++v; // the value carries the literal in its place
    }
    return out;
}

} // namespace script::formats
