#include "script/scanner.h"

#include <gtest/gtest.h>

using namespace script;

namespace {

std::vector<Token> scanAll(const QString &source)
{
    Scanner s(source);
    std::vector<Token> tokens;
    for (;;) {
        Token t = s.next();
        tokens.push_back(t);
        if (t.kind == Tok::End || tokens.size() > 100) return tokens;
    }
}

std::vector<Tok> kinds(const QString &source)
{
    std::vector<Tok> k;
    for (const Token &t : scanAll(source))
        k.push_back(t.kind);
    return k;
}

} // namespace

TEST(Scanner, keywordsIgnoreCaseAndIdentifiersMayBeChinese)
{
    auto t = scanAll(QString::fromUtf16(u"BEGIN End 姓名 _x1 DIV mod"));
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t[0].kind, Tok::Begin);
    EXPECT_EQ(t[1].kind, Tok::EndKw);
    EXPECT_EQ(t[2].kind, Tok::Identifier);
    EXPECT_EQ(t[2].text, QString::fromUtf16(u"姓名"));
    EXPECT_EQ(t[3].text, QStringLiteral("_x1"));
    EXPECT_EQ(t[4].kind, Tok::Div);
    EXPECT_EQ(t[5].kind, Tok::Mod);
}

TEST(Scanner, numbers)
{
    auto t = scanAll(QStringLiteral("42 $1F 3.25 1e3 2.5E-2 1..5 9223372036854775808 $10000000000000000"));
    EXPECT_EQ(t[0].kind, Tok::Integer);
    EXPECT_EQ(t[0].integer, 42);
    EXPECT_EQ(t[1].integer, 31);
    EXPECT_EQ(t[2].kind, Tok::Float);
    EXPECT_DOUBLE_EQ(t[2].real, 3.25);
    EXPECT_DOUBLE_EQ(t[3].real, 1000);
    EXPECT_DOUBLE_EQ(t[4].real, 0.025);
    EXPECT_EQ(t[5].kind, Tok::Integer); // "1..5" is a range, not a number 1.
    EXPECT_EQ(t[6].kind, Tok::DotDot);
    EXPECT_EQ(t[7].integer, 5);
    EXPECT_EQ(t[8].kind, Tok::Float); // too big for Int64
    EXPECT_EQ(t[9].kind, Tok::Error);
    EXPECT_EQ(t[9].text, QStringLiteral("Number out of range"));
}

TEST(Scanner, stringsWithDoubledQuotesAndCharacterCodes)
{
    auto t = scanAll(QStringLiteral("'It''s' #13#10 'a'#9'b' #$4E2D '' #$1F600"));
    EXPECT_EQ(t[0].text, QStringLiteral("It's"));
    EXPECT_EQ(t[1].text, QStringLiteral("\r\n"));
    EXPECT_EQ(t[2].text, QStringLiteral("a\tb"));
    EXPECT_EQ(t[3].text, QString::fromUtf16(u"中"));
    EXPECT_EQ(t[4].kind, Tok::String);
    EXPECT_TRUE(t[4].text.isEmpty());
    EXPECT_EQ(t[5].text, QString::fromUtf16(u"\U0001F600"));
    EXPECT_EQ(scanAll(QStringLiteral("#1114112"))[0].kind, Tok::Error);
    // "#$" without a hex digit is no character code; the scanner must still move on.
    EXPECT_EQ(kinds(QStringLiteral("#$#x")),
              (std::vector<Tok>{Tok::Error, Tok::Error, Tok::Error, Tok::Identifier, Tok::End}));
    auto open = scanAll(QStringLiteral("'abc\nx"));
    EXPECT_EQ(open[0].kind, Tok::Error);
    EXPECT_EQ(open[0].text, QStringLiteral("Unterminated string"));
    EXPECT_EQ(open[1].text, QStringLiteral("x")); // scanning goes on on the next line
}

TEST(Scanner, commentsOfAllThreeForms)
{
    EXPECT_EQ(kinds(QStringLiteral("a // b\n{ c } (* d *) e")),
              (std::vector<Tok>{Tok::Identifier, Tok::Identifier, Tok::End}));
    auto t = scanAll(QStringLiteral("a { never closed"));
    EXPECT_EQ(t[1].kind, Tok::Error);
    EXPECT_EQ(t[1].text, QStringLiteral("Unterminated comment"));
    EXPECT_EQ(t[1].column, 3);
    EXPECT_EQ(kinds(QStringLiteral("(*)*)x")), (std::vector<Tok>{Tok::Identifier, Tok::End}));
}

TEST(Scanner, operatorsAndPositions)
{
    EXPECT_EQ(kinds(QStringLiteral("<> <= >= := .. < > = ^ @")),
              (std::vector<Tok>{Tok::NotEqual, Tok::LessEqual, Tok::GreaterEqual, Tok::Assign, Tok::DotDot,
                                Tok::Less, Tok::Greater, Tok::Equal, Tok::Caret, Tok::At, Tok::End}));
    auto t = scanAll(QStringLiteral("x :=\n  y;"));
    EXPECT_EQ(t[0].line, 1);
    EXPECT_EQ(t[1].column, 3);
    EXPECT_EQ(t[2].line, 2);
    EXPECT_EQ(t[2].column, 3);
    EXPECT_EQ(t[2].start, 7);
    EXPECT_EQ(t[3].kind, Tok::Semicolon);
    auto bad = scanAll(QStringLiteral("a ? b"));
    EXPECT_EQ(bad[1].kind, Tok::Error);
    EXPECT_EQ(bad[1].text, QStringLiteral("Unexpected character"));
    EXPECT_EQ(bad[2].text, QStringLiteral("b"));
}

TEST(Scanner, rawTextUpToAClosingCharacter)
{
    Scanner s(QString::fromUtf16(u"<frxdbdtst1.\"姓名\"> + 1"));
    EXPECT_EQ(s.next().kind, Tok::Less);
    QString raw;
    ASSERT_TRUE(s.rawUntil(u'>', raw));
    EXPECT_EQ(raw, QString::fromUtf16(u"frxdbdtst1.\"姓名\""));
    EXPECT_EQ(s.next().kind, Tok::Plus);
    EXPECT_FALSE(s.rawUntil(u'>', raw));
}
