#include "platform/codepage.h"
#include "platform/profile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::ProfileFile;

namespace {

ProfileFile profileOf(const char *utf8)
{
    return ProfileFile::fromData(QByteArray(utf8));
}

const char *const cardProfile = "[A4竖排模板]\r\n"
                                "PaperHeight=297\r\n"
                                "PaperWidth = 210 \r\n"
                                "Left1=12\r\n"
                                "Left16=-7\r\n"
                                "Fontname0=@楷体\r\n"
                                "Fontstyle3=[fsBold]\r\n"
                                "[A4横排模板]\r\n"
                                "PaperHeight=210\r\n";

} // namespace

TEST(profile, sectionsAndKeysCompareWithoutCase)
{
    const ProfileFile profile = profileOf(cardProfile);
    EXPECT_EQ(profile.readInteger(QStringLiteral("a4竖排模板"), QStringLiteral("paperheight")), 297);
    EXPECT_EQ(profile.readInteger(QStringLiteral("A4竖排模板"), QStringLiteral("PAPERWIDTH")), 210);
    EXPECT_EQ(profile.readString(QStringLiteral("A4竖排模板"), QStringLiteral("fontname0")),
              QStringLiteral("@楷体"));
    EXPECT_EQ(profile.readInteger(QStringLiteral("a4横排模板"), QStringLiteral("PaperHeight")), 210);
    EXPECT_TRUE(profile.hasSection(QStringLiteral("A4横排模板")));
    EXPECT_FALSE(profile.hasSection(QStringLiteral("A3竖排模板")));
}

TEST(profile, keysOfItemsOneAndSixteenAreDistinctAndLeadingZerosAreNotRead)
{
    const ProfileFile profile = profileOf(cardProfile);
    EXPECT_EQ(profile.readInteger(QStringLiteral("A4竖排模板"), QStringLiteral("Left1")), 12);
    EXPECT_EQ(profile.readInteger(QStringLiteral("A4竖排模板"), QStringLiteral("Left16")), -7);
    EXPECT_EQ(profile.readInteger(QStringLiteral("A4竖排模板"), QStringLiteral("Left01"), 0), 0);
}

TEST(profile, missingKeysAndSectionsGiveTheDefault)
{
    const ProfileFile profile = profileOf(cardProfile);
    EXPECT_EQ(
        profile.readString(QStringLiteral("A4竖排模板"), QStringLiteral("Fontstyle4"), QStringLiteral("[]")),
        QStringLiteral("[]"));
    EXPECT_EQ(profile.readInteger(QStringLiteral("A3竖排模板"), QStringLiteral("PaperHeight"), 5), 5);
    EXPECT_EQ(
        profile.readString(QStringLiteral("A4竖排模板"), QStringLiteral("Fontstyle3"), QStringLiteral("[]")),
        QStringLiteral("[fsBold]"));
}

TEST(profile, blanksAroundNamesAndValuesAreDroppedButInnerOnesKept)
{
    const ProfileFile profile = profileOf("  [ 段 ]  \n\t key one \t=  宋体 粗  \n");
    EXPECT_EQ(profile.readString(QStringLiteral("段"), QStringLiteral("key one")), QStringLiteral("宋体 粗"));
    // An ideographic space is text, not a blank.
    const ProfileFile wide = profileOf("[s]\nk=\u3000值\u3000\n");
    EXPECT_EQ(wide.readString(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("\u3000值\u3000"));
}

TEST(profile, quotesAroundAValueAreDropped)
{
    const ProfileFile profile = profileOf("[s]\na=\"  x \"\nb='y'\nc=\"z'\nd=\"\ne=\"\"\nf=say \"hi\"\n");
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("a")), QStringLiteral("  x "));
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("b")), QStringLiteral("y"));
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("c")), QStringLiteral("\"z'"));
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("d")), QStringLiteral("\""));
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("e"), QStringLiteral("默认")),
              QString());
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("f")), QStringLiteral("say \"hi\""));
}

TEST(profile, commentsLinesWithoutEqualsAndRepeatsFollowTheProfileService)
{
    const ProfileFile profile = profileOf("top=1\n"
                                          "[s]\n"
                                          ";k=commented\n"
                                          "k\n"
                                          "k=first\n"
                                          "K=second\n"
                                          "empty=\n"
                                          "=nameless\n"
                                          "[S]\n"
                                          "k=third\n"
                                          "other=only in the repeated section\n"
                                          "[broken\n"
                                          "late=still s\n");
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("first"));
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral(";k"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("empty"), QStringLiteral("-")),
              QString());
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral(""), QStringLiteral("-")),
              QStringLiteral("nameless"));
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("other"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_EQ(profile.readString(QStringLiteral(""), QStringLiteral("top"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_FALSE(profile.hasSection(QStringLiteral("broken")));
}

TEST(profile, valuesAreCutAt2047Characters)
{
    const QByteArray longValue(3000, 'x');
    const ProfileFile profile = ProfileFile::fromData("[s]\nk=" + longValue + "\nafter=1\n");
    EXPECT_EQ(profile.readString(QStringLiteral("s"), QStringLiteral("k")).size(), 2047);
    EXPECT_EQ(profile.readInteger(QStringLiteral("s"), QStringLiteral("after")), 1);

    // A character outside the BMP straddling the limit is dropped whole.
    const QByteArray straddling = QByteArray(2046, 'y') + "\xF0\x9F\x8E\x89";
    const ProfileFile emoji = ProfileFile::fromData("[s]\nk=" + straddling + "\n");
    EXPECT_EQ(emoji.readString(QStringLiteral("s"), QStringLiteral("k")), QString(2046, u'y'));
}

TEST(profile, integersAreDecimalWithSignOrHexadecimal)
{
    const auto parse = [](const char *text) {
        return ProfileFile::parseInteger(QString::fromUtf8(text), 99);
    };
    EXPECT_EQ(parse("42"), 42);
    EXPECT_EQ(parse("+42"), 42);
    EXPECT_EQ(parse("-42"), -42);
    EXPECT_EQ(parse(" 7 "), 7);
    EXPECT_EQ(parse("0x1F"), 31);
    EXPECT_EQ(parse("0XfF"), 255);
    EXPECT_EQ(parse("0x1"), 1);
    EXPECT_EQ(parse("0xFFFFFFFF"), -1);
    EXPECT_EQ(parse("2147483647"), 2147483647);
    EXPECT_EQ(parse("-2147483648"), -2147483647 - 1);
    // Not a valid integer: the default.
    EXPECT_EQ(parse("0x"), 99);
    EXPECT_EQ(parse("0xG1"), 99);
    EXPECT_EQ(parse("0x100000000"), 99);
    EXPECT_EQ(parse("2147483648"), 99);
    EXPECT_EQ(parse("-2147483649"), 99);
    EXPECT_EQ(parse("12abc"), 99);
    EXPECT_EQ(parse("1 2"), 99);
    EXPECT_EQ(parse("-"), 99);
    EXPECT_EQ(parse(""), 99);
    EXPECT_EQ(parse("-0x10"), 99);
    EXPECT_EQ(parse("１２"), 99); // full-width digits are not digits here
    EXPECT_EQ(parse("99999999999999999999999"), 99);
}

TEST(profile, readsUtf8WithAndWithoutBomUtf16AndCp936Files)
{
    const QString text = QStringLiteral("[A4横排模板]\r\nFontname7=黑体\r\n");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    QByteArray utf16le("\xFF\xFE", 2);
    utf16le.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    const QByteArray cp936 = platform::toSystemCodePage(text);
    ASSERT_NE(cp936, text.toUtf8());

    for (const QString &path :
         {write(QStringLiteral("plain.ini"), text.toUtf8()),
          write(QStringLiteral("bom.ini"), "\xEF\xBB\xBF" + text.toUtf8()),
          write(QStringLiteral("utf16.ini"), utf16le), write(QStringLiteral("gbk.ini"), cp936)}) {
        const ProfileFile profile(path);
        EXPECT_TRUE(profile.exists()) << path.toStdString();
        EXPECT_EQ(profile.readString(QStringLiteral("a4横排模板"), QStringLiteral("FONTNAME7")),
                  QStringLiteral("黑体"))
            << path.toStdString();
    }
}

TEST(profile, missingFileReadsAsEmpty)
{
    const ProfileFile profile(QStringLiteral("/nonexistent/temp.ini"));
    EXPECT_FALSE(profile.exists());
    EXPECT_FALSE(profile.hasSection(QStringLiteral("A4竖排模板")));
    EXPECT_EQ(profile.readInteger(QStringLiteral("A4竖排模板"), QStringLiteral("PaperWidth")), 0);
}
