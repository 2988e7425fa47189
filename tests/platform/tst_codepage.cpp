#include "platform/codepage.h"

#include <gtest/gtest.h>

using platform::fromSystemCodePage;
using platform::toSystemCodePage;

TEST(codepage, chineseRoundTripsThroughCp936)
{
    const QString text = QStringLiteral("A4竖排模板 王小明，携 ￥100 €");
    const QByteArray bytes = toSystemCodePage(text);
    EXPECT_EQ(bytes.left(8), QByteArray("A4\xCA\xFA\xC5\xC5\xC4\xA3", 8));
    EXPECT_TRUE(bytes.endsWith(" \x80"));
    EXPECT_EQ(fromSystemCodePage(bytes), text);
    EXPECT_EQ(toSystemCodePage(QString()), QByteArray());
    EXPECT_EQ(fromSystemCodePage(QByteArray()), QString());
}

TEST(codepage, longTextGrowsTheBuffer)
{
    const QString text = QString(QStringLiteral("喜")).repeated(100000) + QStringLiteral("end");
    EXPECT_EQ(fromSystemCodePage(toSystemCodePage(text)), text);
}

TEST(codepage, unrepresentableCharactersBecomeOneQuestionMarkEach)
{
    // Hangul, an emoji (one character, two UTF-16 units) and a lone surrogate.
    const QString text = QStringLiteral("a\uD55Cb\U0001F389c") + QChar(0xD800) + QStringLiteral("d");
    EXPECT_EQ(toSystemCodePage(text), QByteArray("a?b?c?d"));
}

TEST(codepage, invalidBytesBecomeReplacementCharacters)
{
    // 0xFF is no lead byte; 0xB0 alone at the end is an incomplete pair; 0x81 0x20 is a lead byte
    // followed by a byte that cannot trail it: the blank survives.
    EXPECT_EQ(fromSystemCodePage(QByteArray("x\xFFy", 3)), QStringLiteral("x\uFFFDy"));
    EXPECT_EQ(fromSystemCodePage(QByteArray("\xCA\xFA\xB0", 3)), QStringLiteral("竖\uFFFD"));
    EXPECT_EQ(fromSystemCodePage(QByteArray("\x81 z", 3)), QStringLiteral("\uFFFD z"));
}
