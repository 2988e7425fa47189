#include "app/model/newmoon.h"

#include <cmath>
#include <numbers>

namespace newmoon {

namespace {

double sinDeg(double degrees)
{
    return std::sin(degrees * std::numbers::pi / 180.0);
}

// Terrestrial minus universal time in seconds for a year, by the usual polynomial fits: the one
// for 2005 to 2050 and the long-term parabola elsewhere. Off by a minute at most in this century,
// which the day of a new moon rarely feels.
double deltaTSeconds(double year)
{
    if (year >= 2005 && year <= 2050) {
        const double t = year - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (year - 1820) / 100;
    return -20 + 32 * u * u;
}

} // namespace

double newMoonJulianDayUt(int k)
{
    // The mean new moon and its periodic and planetary corrections (the classical series of
    // lunar phases, good to a few seconds for centuries around 2000).
    const double kk = k;
    const double T = kk / 1236.85;
    const double T2 = T * T;
    const double T3 = T2 * T;
    const double T4 = T3 * T;
    double jde = 2451550.09766 + 29.530588861 * kk + 0.00015437 * T2 - 0.000000150 * T3 + 0.00000000073 * T4;
    const double E = 1 - 0.002516 * T - 0.0000074 * T2;
    const double M = 2.5534 + 29.10535670 * kk - 0.0000014 * T2 - 0.00000011 * T3;
    const double Mp = 201.5643 + 385.81693528 * kk + 0.0107582 * T2 + 0.00001238 * T3 - 0.000000058 * T4;
    const double F = 160.7108 + 390.67050284 * kk - 0.0016118 * T2 - 0.00000227 * T3 + 0.000000011 * T4;
    const double Om = 124.7746 - 1.56375588 * kk + 0.0020672 * T2 + 0.00000215 * T3;

    jde += -0.40720 * sinDeg(Mp) + 0.17241 * E * sinDeg(M) + 0.01608 * sinDeg(2 * Mp) +
           0.01039 * sinDeg(2 * F) + 0.00739 * E * sinDeg(Mp - M) - 0.00514 * E * sinDeg(Mp + M) +
           0.00208 * E * E * sinDeg(2 * M) - 0.00111 * sinDeg(Mp - 2 * F) - 0.00057 * sinDeg(Mp + 2 * F) +
           0.00056 * E * sinDeg(2 * Mp + M) - 0.00042 * sinDeg(3 * Mp) + 0.00042 * E * sinDeg(M + 2 * F) +
           0.00038 * E * sinDeg(M - 2 * F) - 0.00024 * E * sinDeg(2 * Mp - M) - 0.00017 * sinDeg(Om) -
           0.00007 * sinDeg(Mp + 2 * M) + 0.00004 * sinDeg(2 * Mp - 2 * F) + 0.00004 * sinDeg(3 * M) +
           0.00003 * sinDeg(Mp + M - 2 * F) + 0.00003 * sinDeg(2 * Mp + 2 * F) -
           0.00003 * sinDeg(Mp + M + 2 * F) + 0.00003 * sinDeg(Mp - M + 2 * F) -
           0.00002 * sinDeg(Mp - M - 2 * F) - 0.00002 * sinDeg(3 * Mp + M) + 0.00002 * sinDeg(4 * Mp);

    const double planetary[14][3] = {
        {299.77, 0.107408, 0.000325},  {251.88, 0.016321, 0.000165}, {251.83, 26.651886, 0.000164},
        {349.42, 36.412478, 0.000126}, {84.66, 18.206239, 0.000110}, {141.74, 53.303771, 0.000062},
        {207.14, 2.453732, 0.000060},  {154.84, 7.306860, 0.000056}, {34.52, 27.261239, 0.000047},
        {207.19, 0.121824, 0.000042},  {291.34, 1.844379, 0.000040}, {161.72, 24.198154, 0.000037},
        {239.56, 25.513099, 0.000035}, {331.55, 3.592518, 0.000023}};
    for (int i = 0; i < 14; ++i) {
        double argument = planetary[i][0] + planetary[i][1] * kk;
        if (i == 0) argument -= 0.009173 * T2;
        jde += planetary[i][2] * sinDeg(argument);
    }
    const double year = 2000 + kk / 12.3685;
    return jde - deltaTSeconds(year) / 86400.0;
}

QDate newMoonDayInChina(int k)
{
    // Julian days begin at noon; China's time is eight hours ahead of universal time.
    const double chinaJulianDay = newMoonJulianDayUt(k) + 8.0 / 24.0;
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(chinaJulianDay + 0.5)));
}

QDate lunarMonthStart(const QDate &date)
{
    if (!date.isValid()) return {};
    const double year = date.year() + (date.dayOfYear() - 0.5) / date.daysInYear();
    int k = static_cast<int>(std::floor((year - 2000) * 12.3685));
    while (newMoonDayInChina(k) > date)
        --k;
    while (newMoonDayInChina(k + 1) <= date)
        ++k;
    return newMoonDayInChina(k);
}

} // namespace newmoon
