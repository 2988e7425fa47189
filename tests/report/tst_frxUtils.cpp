#include "report/base/frxUtils.h"

#include <gtest/gtest.h>

using namespace frx;

TEST(frxUtils, roundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(2.5L), 2);
    EXPECT_EQ(roundHalfEven(3.5L), 4);
    EXPECT_EQ(roundHalfEven(-2.5L), -2);
    EXPECT_EQ(roundHalfEven(-3.5L), -4);
    EXPECT_EQ(roundHalfEven(2.4999L), 2);
    EXPECT_EQ(roundHalfEven(-0.5L), 0);
    EXPECT_EQ(roundHalfEven(793.7013L), 794);
    EXPECT_EQ(roundHalfEven(1e30L), std::numeric_limits<qint64>::max());
}

TEST(frxUtils, floatToTextUsesGeneralFormWithFifteenDigits)
{
    EXPECT_EQ(floatToText(793.7013L), QStringLiteral("793.7013"));
    EXPECT_EQ(floatToText(1000), QStringLiteral("1000"));
    EXPECT_EQ(floatToText(0), QStringLiteral("0"));
    EXPECT_EQ(floatToText(-0.5L), QStringLiteral("-0.5"));
    EXPECT_EQ(floatToText(210 * fr01cm), QStringLiteral("793.7013"));
    EXPECT_EQ(floatToText(0.1L + 0.2L), QStringLiteral("0.3"));
    EXPECT_EQ(floatToText(1.0L / 3), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(floatToText(0.00001L), QStringLiteral("0.00001"));
    EXPECT_EQ(floatToText(0.000001L), QStringLiteral("1E-6"));
    EXPECT_EQ(floatToText(1.5e-7L), QStringLiteral("1.5E-7"));
    EXPECT_EQ(floatToText(1e14L), QStringLiteral("100000000000000"));
    EXPECT_EQ(floatToText(1e15L), QStringLiteral("1E15"));
    EXPECT_EQ(floatToText(999999999999999.9L), QStringLiteral("1E15"));
}

TEST(frxUtils, textToFloatAcceptsPointAndComma)
{
    EXPECT_EQ(textToFloat(QStringLiteral("1.5")), 1.5L);
    EXPECT_EQ(textToFloat(QStringLiteral(" 1,5 ")), 1.5L);
    EXPECT_EQ(textToFloat(QStringLiteral("-20")), -20.0L);
    EXPECT_EQ(textToFloat(QStringLiteral("+2e3")), 2000.0L);
    EXPECT_FALSE(textToFloat(QStringLiteral("")).has_value());
    EXPECT_FALSE(textToFloat(QStringLiteral("1.5mm")).has_value());
    EXPECT_FALSE(textToFloat(QStringLiteral("一")).has_value());
    EXPECT_FALSE(textToFloat(QStringLiteral("1 5")).has_value());
}
