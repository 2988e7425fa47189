#include "platform/codepage.h"
#include "platform/errors.h"

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

TEST(codepage, fontCharsetsMapToTheirCodePages)
{
    using platform::codePageOfCharset;
    const std::pair<int, int> expected[] = {{134, 936},  {136, 950},  {128, 932},  {129, 949},  {204, 1251},
                                            {238, 1250}, {161, 1253}, {162, 1254}, {177, 1255}, {178, 1256},
                                            {186, 1257}, {222, 874},  {163, 1258}, {0, 1252},   {130, 1361}};
    for (const auto &[charset, codePage] : expected) {
        EXPECT_EQ(codePageOfCharset(charset), codePage) << charset;
        EXPECT_TRUE(platform::hasCodePage(codePage)) << codePage;
    }
    // The default and OEM sets and unknown numbers are the system's; symbol fonts convert nothing.
    EXPECT_EQ(codePageOfCharset(1), 936);
    EXPECT_EQ(codePageOfCharset(255), 936);
    EXPECT_EQ(codePageOfCharset(77), 936);
    EXPECT_EQ(codePageOfCharset(2), 0);
    EXPECT_TRUE(platform::hasCodePage(0));
    EXPECT_FALSE(platform::hasCodePage(4711));
    EXPECT_THROW(platform::toCodePage(4711, QStringLiteral("x")), platform::Error);
}

TEST(codepage, eachCodePageKeepsItsOwnScript)
{
    using platform::throughCodePage;
    const QString chinese = QStringLiteral("王小明");
    EXPECT_EQ(throughCodePage(936, chinese), chinese);
    EXPECT_EQ(throughCodePage(950, QStringLiteral("臺灣")), QStringLiteral("臺灣"));
    EXPECT_EQ(throughCodePage(932, QStringLiteral("カナ漢字")), QStringLiteral("カナ漢字"));
    EXPECT_EQ(throughCodePage(1251, chinese + QStringLiteral(" Иван")), QStringLiteral("??? Иван"));
    EXPECT_EQ(throughCodePage(1252, QStringLiteral("café 王")), QStringLiteral("café ?"));
    EXPECT_EQ(platform::toCodePage(1251, QStringLiteral("Яx")), QByteArray("\xDFx"));
    EXPECT_EQ(platform::fromCodePage(950, QByteArray("\xA4\xA4")), QStringLiteral("中"));
    EXPECT_EQ(throughCodePage(0, QStringLiteral("\uF041王")), QStringLiteral("\uF041王"));
}

TEST(codepage, roundTripTellsWhereEachCharacterCameFrom)
{
    std::vector<int> sources;
    // One UTF-16 unit each: the mapping is the identity.
    EXPECT_EQ(platform::throughCodePage(1251, u"王a", &sources), QStringLiteral("?a"));
    EXPECT_EQ(sources, (std::vector<int>{0, 1}));
    // A character outside the BMP takes two units and comes back as one "?".
    EXPECT_EQ(platform::throughCodePage(936, u"a\U0001F389王", &sources), QStringLiteral("a?王"));
    EXPECT_EQ(sources, (std::vector<int>{0, 1, 3}));
    // The Vietnamese code page composes a letter and its accent on decoding; drawn per character
    // the pair stays two characters with their own tags.
    EXPECT_EQ(platform::throughCodePage(1258, u"e\u0301", nullptr), QStringLiteral("\u00E9"));
    EXPECT_EQ(platform::fromCodePage(1258, QByteArray("Viet")), QStringLiteral("Viet"));
    EXPECT_EQ(platform::throughCodePage(1258, u"e\u0301王", &sources), QStringLiteral("e\u0301?"));
    EXPECT_EQ(sources, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(platform::throughCodePage(0, u"ab", &sources), QStringLiteral("ab"));
    EXPECT_EQ(sources, (std::vector<int>{0, 1}));
    EXPECT_EQ(platform::throughCodePage(936, u"", &sources), QString());
    EXPECT_TRUE(sources.empty());
}
