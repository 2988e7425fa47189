// The date and time of the event as a card writes them: the year in Chinese numerals, solar and
// lunar month and day, the weekday and the time of day, computed from a calendar date with ICU's
// Chinese calendar; and the check that texts typed one by one still describe one day.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

namespace chinesedate {

// A day of the Chinese lunisolar calendar.
struct LunarDate {
    int month = 0; // 1..12
    bool isLeapMonth = false;
    int day = 0; // 1..30
};

// The lunar date of a solar date; empty when ICU cannot compute it (invalid date, missing data).
std::optional<LunarDate> lunarDate(const QDate &date);

// A year digit by digit in Chinese numerals with the ideograph zero: 2026 gives "二零二六".
QString yearText(int year);
// The year entries of the year list: yearText of every year from first to last, in order.
QStringList yearTexts(int first, int last);
// A month as the month lists write it: "一" … "十二".
QString monthText(int month);
// A solar day as the day list writes it: "一" … "十", "十一" … "二十", "二一" … "二九", "三十", "三一".
QString solarDayText(int day);
// A lunar month: monthText, after "闰" for a leap month ("闰六").
QString lunarMonthText(const LunarDate &lunar);
// A lunar day: "初一" … "初十", "十一" … "二十", "廿一" … "廿九", "三十".
QString lunarDayText(int day);
// A weekday (1 Monday … 7 Sunday) as the weekday list writes it: "一" … "六", "日".
QString weekdayText(int dayOfWeek);
// The time of day in words with its part of the day: 11:58 gives "中午十一点五十八分", 18:00
// "下午六点", 8:05 "上午八点零五分".
QString timeText(const QTime &time);

// Everything a calendar pick fills in.
struct CardDate {
    QString year;
    QString solarMonth;
    QString solarDay;
    QString lunarMonth;
    QString lunarDay;
    QString weekday;
};
// The texts of date; empty lunar texts when the lunar date cannot be computed.
CardDate cardDate(const QDate &date);

// The solar date typed texts name (year in Chinese numerals with "零", "〇" or "０" for zero,
// month and day as the lists write them or in full numerals); empty when they name none.
std::optional<QDate> solarDate(const QString &year, const QString &month, const QString &day);

// What is wrong with typed texts, one sentence per disagreement: a solar date that does not exist,
// a weekday or a lunar date that is not the solar date's. Empty when they agree, and when the
// solar texts are incomplete (nothing to compare with).
QStringList disagreements(const CardDate &typed);

} // namespace chinesedate
