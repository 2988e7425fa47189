// Number and date text in the fixed settings, at their edges.
#include "script/formats.h"

#include <QDate>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace script;
using namespace script::formats;

TEST(formats, floatToTextEdges)
{
    EXPECT_EQ(floatToText(0), QStringLiteral("0"));
    EXPECT_EQ(floatToText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(floatToText(999999999999999.9), QStringLiteral("1E15")); // rounding carries into a new digit
    EXPECT_EQ(floatToText(0.000099999), QStringLiteral("0.000099999"));
    EXPECT_EQ(floatToText(0.0000099999), QStringLiteral("9.9999E-6"));
    EXPECT_EQ(floatToText(210 * 3.77953), QStringLiteral("793.7013"));
    EXPECT_EQ(floatToText(std::nan("")), QStringLiteral("NAN"));
    EXPECT_EQ(floatToText(-std::numeric_limits<double>::infinity()), QStringLiteral("-INF"));
    EXPECT_EQ(floatToText(5e-324), QStringLiteral("4.94065645841247E-324"));
}

TEST(formats, textToNumberAcceptsOnlyWholeNumbers)
{
    EXPECT_EQ(textToInt(QStringLiteral(" -12 ")), 12 * -1);
    EXPECT_EQ(textToInt(QStringLiteral("$FFFFFFFFFFFFFFFF")), -1);
    EXPECT_EQ(textToInt(QStringLiteral("9223372036854775807")), std::numeric_limits<qint64>::max());
    EXPECT_EQ(textToInt(QStringLiteral("-9223372036854775808")), std::numeric_limits<qint64>::min());
    EXPECT_FALSE(textToInt(QStringLiteral("9223372036854775808")));
    EXPECT_FALSE(textToInt(QStringLiteral("$")));
    EXPECT_FALSE(textToInt(QStringLiteral("12a")));
    EXPECT_FALSE(textToInt(QStringLiteral("")));
    EXPECT_FALSE(textToInt(QString::fromUtf16(u"１２"))); // full-width digits are not digits here
    EXPECT_EQ(textToFloat(QStringLiteral("+.5")), 0.5);
    EXPECT_EQ(textToFloat(QStringLiteral("5.")), 5.0);
    EXPECT_EQ(textToFloat(QStringLiteral("$10")), 16.0);
    EXPECT_FALSE(textToFloat(QStringLiteral(".")));
    EXPECT_FALSE(textToFloat(QStringLiteral("1e")));
    EXPECT_FALSE(textToFloat(QStringLiteral("e5")));
    EXPECT_FALSE(textToFloat(QStringLiteral("1e999")));
    EXPECT_FALSE(textToFloat(QStringLiteral("1,5")));
    EXPECT_FALSE(textToFloat(QStringLiteral("nan")));
}

TEST(formats, formatFloatRoundingCarries)
{
    EXPECT_EQ(formatFloat(QStringLiteral("0.00"), 9.995), QStringLiteral("9.99")); // 9.99499… stays below
    EXPECT_EQ(formatFloat(QStringLiteral("0.00"), 9.9951), QStringLiteral("10.00"));
    EXPECT_EQ(formatFloat(QStringLiteral("#,##0"), 999999.5), QStringLiteral("1,000,000"));
    EXPECT_EQ(formatFloat(QStringLiteral("0.0"), -0.04), QStringLiteral("0.0"));
    EXPECT_EQ(formatFloat(QStringLiteral("#,##0.00"), 1e20),
              QStringLiteral("100,000,000,000,000,000,000.00"));
    EXPECT_EQ(formatFloat(QStringLiteral("0.00E+00"), 9.999e9), QStringLiteral("1.00E+10"));
    EXPECT_EQ(formatFloat(QStringLiteral("0.00E+00"), 0), QStringLiteral("0.00E+00"));
    EXPECT_EQ(formatFloat(QStringLiteral("0"), std::numeric_limits<double>::infinity()),
              QStringLiteral("INF"));
    EXPECT_EQ(formatFloat(QStringLiteral("'#'0"), 5), QStringLiteral("#5")); // quoted placeholders are text
}

TEST(formats, formatDirectivesAgainstBadInput)
{
    VariantList none;
    EXPECT_EQ(format(QStringLiteral("%*d"), {Variant(100000), Variant(1)}).size(), 4096); // width is bounded
    EXPECT_EQ(format(QStringLiteral("%s|%s"), {Variant(), Variant(true)}), QStringLiteral("|True"));
    EXPECT_EQ(format(QStringLiteral("%u"), {Variant(-1)}), QStringLiteral("4294967295"));
    EXPECT_EQ(format(QStringLiteral("%x"), {Variant(-1)}), QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(format(QStringLiteral("%.1f"), {Variant(QStringLiteral("2.25"))}), QStringLiteral("2.3"));
    EXPECT_THROW(format(QStringLiteral("%z"), {Variant(1)}), std::exception);
    EXPECT_THROW(format(QStringLiteral("%s"), none), std::exception);
    EXPECT_THROW(format(QStringLiteral("%d"), {Variant(QStringLiteral("x"))}), std::exception);
}

TEST(formats, calendarEdges)
{
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(encodeDate(2000, 2, 29), 36585.0);
    EXPECT_FALSE(encodeDate(1900, 2, 29));
    EXPECT_FALSE(encodeDate(0, 1, 1));
    EXPECT_FALSE(encodeDate(2024, 13, 1));
    int y, m, d, h, n, s, ms;
    decodeDate(-1.25, y, m, d); // before day zero; the time part is the fraction's size
    EXPECT_EQ(QDate(y, m, d), QDate(1899, 12, 29));
    decodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(h, 6);
    decodeTime(0.99999999999, h, n, s, ms); // never rounds up to 24:00
    EXPECT_EQ(h, 23);
    EXPECT_EQ(ms, 999);
    EXPECT_EQ(dayOfWeek(0), 7); // 1899-12-30 was a Saturday
    EXPECT_EQ(formatDateTime(QStringLiteral("yyyy/mm/dd"), 1e300), QStringLiteral("0000/00/00"));
    EXPECT_EQ(dateTimeToText(*encodeDate(2024, 3, 5) + *encodeTime(0, 0, 1, 0)),
              QStringLiteral("2024-03-05 00:00:01"));
}

TEST(formats, parsingDatesAndTimes)
{
    EXPECT_EQ(textToDate(QStringLiteral("2024-3-5")), encodeDate(2024, 3, 5));
    EXPECT_EQ(textToDate(QStringLiteral("2024.03.05")), encodeDate(2024, 3, 5));
    EXPECT_FALSE(textToDate(QStringLiteral("2024-03")) &&
                 textToDate(QStringLiteral("2024-03")) == encodeDate(2024, 3, 1));
    EXPECT_FALSE(textToDate(QStringLiteral("2024--05")));
    EXPECT_FALSE(textToDate(QStringLiteral("a-b-c")));
    EXPECT_EQ(textToTime(QStringLiteral("23:59:59.5")), encodeTime(23, 59, 59, 500));
    EXPECT_EQ(textToTime(QString::fromUtf16(u"下午 3:00")), encodeTime(15, 0, 0, 0));
    EXPECT_EQ(textToTime(QStringLiteral("12:00 AM")), encodeTime(0, 0, 0, 0));
    EXPECT_FALSE(textToTime(QStringLiteral("13:00 PM")));
    EXPECT_FALSE(textToTime(QStringLiteral("24:00")));
    EXPECT_FALSE(textToTime(QStringLiteral("12")));
    EXPECT_FALSE(textToDateTime(QStringLiteral("2024-03-05 x")));
}

TEST(formats, maskText)
{
    EXPECT_EQ(formatMaskText(QStringLiteral("!99/99/00;1;_"), QStringLiteral("12/31/99")),
              QStringLiteral("12/31/99"));
    EXPECT_EQ(formatMaskText(QStringLiteral("\\(000\\);0;*"), QStringLiteral("7")), QStringLiteral("(7**)"));
    EXPECT_EQ(formatMaskText(QStringLiteral("<LLL"), QStringLiteral("ABC")), QStringLiteral("abc"));
    EXPECT_EQ(formatMaskText(QString(), QStringLiteral("x")), QString());
}
