// Number and date text in the fixed settings, at their edges.
#include "script/formats.h"

#include <QDate>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace script;
using namespace script::formats;
using namespace Qt::StringLiterals;

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

namespace {

struct Row {
    const char16_t *format;
    double value;
    const char16_t *expected;
};

void expectPictures(std::initializer_list<Row> rows)
{
    for (const Row &r : rows)
        EXPECT_EQ(formatFloat(QString::fromUtf16(r.format), r.value).toStdString(),
                  QString::fromUtf16(r.expected).toStdString())
            << QString::fromUtf16(r.format).toStdString() << " with " << r.value;
}

struct Directive {
    const char16_t *format;
    VariantList args;
    const char16_t *expected; // or the error message
};

void expectDirectives(std::initializer_list<Directive> rows)
{
    for (const Directive &r : rows) {
        QString got;
        try {
            got = format(QString::fromUtf16(r.format), r.args);
        } catch (const std::exception &e) {
            got = QString::fromUtf8(e.what());
        }
        EXPECT_EQ(got.toStdString(), QString::fromUtf16(r.expected).toStdString())
            << QString::fromUtf16(r.format).toStdString();
    }
}

} // namespace

TEST(formats, formatFloatSections)
{
    expectPictures({
        {u"0;\"neg\"", -5, u"neg"}, // a section without placeholders is its literal alone
        {u"0;\"neg\"", 5, u"5"},
        {u"\"pos\";\"neg\";\"zero\"", 7, u"pos"},
        {u"\"pos\";\"neg\";\"zero\"", -7, u"neg"},
        {u"\"pos\";\"neg\";\"zero\"", 0, u"zero"},
        {u"'无'", 3, u"无"},
        {u"0.0;-0.0", -2.25, u"-2.3"}, // two sections: zero takes the first
        {u"0.0;-0.0", 0, u"0.0"},
        {u"0.0;[0.0]", -0.5, u"[0.5]"},
        {u"0.0;;", -1, u"-1.0"}, // empty sections fall back to the first, with its minus
        {u"0.0;;\"-\"", 0, u"-"},
        {u";\"neg\"", -1.5, u"-1.5"}, // an empty first section means the general form
        {u";", 1e20, u"1E20"},
    });
}

TEST(formats, formatFloatPlaceholders)
{
    expectPictures({
        {u"#", 0, u""},
        {u"#.#", 0.04, u""},
        {u"0.#", 0.04, u"0"},
        {u"#,##0", 1234567, u"1,234,567"},
        {u"0.00,", 1234.5, u"1,234.50"}, // a comma anywhere asks for grouping
        {u"#,#", 12, u"12"},
        {u"00.000", 1.5, u"01.500"},
        {u"0.0#", 1.005, u"1.0"}, // 1.00499… in binary
        {u"0.0#", 1.25, u"1.25"},
        {u"#0.0#", 123.456, u"123.46"},
        {u"0.0.0", 2.5, u"2.50"}, // a second point is one more placeholder's point
        {u"0%", 0.5, u"1%"}, // a percent sign is text; nothing is scaled
        {u"0.0 元", 12, u"12.0 元"},
        {u"\"#0\"0", 4, u"#04"},
        {u"0.00E+00", 0.000123456, u"1.23E-04"},
        {u"0.00E-00", 123456, u"1.23E05"},
        {u"0.00E-00", 0.000123456, u"1.23E-04"},
        {u"00.0E+0", 123456, u"12.3E+4"},
        {u"0E+0000", 5e-300, u"5E-0300"},
        {u"0.0e+0", -0.5, u"-5.0e-1"},
        {u"0", 0.5, u"1"}, // decimal halves go away from zero
        {u"0", -2.5, u"-3"},
        {u"0.0", 0.25, u"0.3"},
        {u"0.0", 0.35, u"0.3"}, // 0.34999… in binary
    });
}

TEST(formats, formatDirectiveTable)
{
    expectDirectives({
        {u"%d|%5d|%-5d|%.3d|%5.3d", {1, 2, 3, 4, 5}, u"1|    2|3    |004|  005"},
        {u"%.3d", {-7}, u"-007"},
        {u"%u|%u", {-1, Variant(qint64(-1) << 40)}, u"4294967295|18446742974197923840"},
        {u"%x|%.4x|%X", {255, 10, -1}, u"FF|000A|FFFFFFFF"},
        {u"%e", {1e20}, u"1.00000000000000E+020"},
        {u"%.3e|%.1e", {-0.00012345, 9.96}, u"-1.23E-004|1E+001"},
        {u"%10.2e", {5}, u"  5.0E+000"},
        {u"%g|%g|%g|%g", {1e20, 1.5e-7, 123456.0, 0.00001}, u"1E20|1.5E-7|123456|0.00001"}, // fixed down to 0.00001
        {u"%g", {0.0000099}, u"9.9E-6"},
        {u"%.3g|%.3g|%.3g", {1234.0, 123.0, 0.0001234}, u"1.23E3|123|0.000123"},
        {u"%g", {0.1 + 0.2}, u"0.3"},
        {u"%f|%.0f|%.1f|%.3f", {2.5, 2.5, 0.05, -1.0625}, u"2.50|3|0.1|-1.063"},
        {u"%f", {1e20}, u"1E20"}, // beyond eighteen integer digits the general form
        {u"%n|%.0n", {-1234567.891, 999.5}, u"-1,234,567.89|1,000"},
        {u"%m|%.0m", {1234.5, -2}, u"¥1,234.50|¥-2"},
        {u"%s|%5s|%-5s|%.2s", {u"中文"_s, u"ab"_s, u"cd"_s, u"xyz"_s}, u"中文|   ab|cd   |xy"},
        {u"%2:s%1:s%0:s%s", {u"a"_s, u"b"_s, u"c"_s}, u"cbab"}, // an index moves on from there
        {u"%*.*f|%-*d|", {8, 2, 3.14159, 3, 1}, u"    3.14|1  |"},
        {u"%p", {Variant(qint64(255))}, u"00000000000000FF"},
        {u"%d%%", {50}, u"50%"},
        {u"%d %d", {1}, u"No argument for format '%d %d'"},
        {u"%3:s", {1}, u"No argument for format '%3:s'"},
        {u"%d", {2.5}, u"Format '%d' invalid or incompatible with argument"},
        {u"%f", {u"x"_s}, u"Format '%f' invalid or incompatible with argument"},
        {u"%y", {1}, u"Format '%y' invalid or incompatible with argument"},
        {u"value: %5.", {1}, u"Format 'value: %5.' invalid or incompatible with argument"},
        {u"a fairly long format text with %q in it", {1}, u"Format 'a fairly long format text with ' invalid or incompatible with argument"},
    });
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
