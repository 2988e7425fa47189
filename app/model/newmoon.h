// New moons to the minute, for the first days of lunar months. A lunar month begins on the day,
// in China's time (UTC+8), that holds its new moon; when a new moon falls minutes from midnight,
// only a precise time names the right day.
#pragma once

#include <QDate>

namespace newmoon {

// The instant of new moon number k (k = 0: 6 January 2000) as a Julian day in Universal Time.
double newMoonJulianDayUt(int k);

// The day in China's time that holds new moon number k.
QDate newMoonDayInChina(int k);

// The first day of the lunar month that holds date: the last new-moon day on or before it.
// Invalid for an invalid date.
QDate lunarMonthStart(const QDate &date);

} // namespace newmoon
