#include "app/model/layoutprofile.h"

#include "support/datadir.h"
#include "tests/support/gui_environment.h"

#include "platform/profile.h"

#include <QFont>

#include <gtest/gtest.h>

namespace {

class LayoutProfile : public ::testing::Test {
protected:
    platform::ProfileFile profile(const QString &text)
    {
        m_dir.writeProfile(text);
        return platform::ProfileFile(m_dir.file(QStringLiteral("temp.ini")));
    }

    apptest::DataDir m_dir;
};

} // namespace

TEST_F(LayoutProfile, readsCardSizeAndRecordsOfASection)
{
    const auto file = profile(QStringLiteral("[A4竖排模板]\nPaperHeight=285\nPaperWidth = 210 \n"
                                             "Left3=40\nTop3=-12\nFontname3= 楷体 \nFontsize3=0x10\n"
                                             "Fontstyle3=[fsBold]\n"));
    const layout::CardSizeMm size = layout::readCardSize(file, QStringLiteral("A4竖排模板"));
    EXPECT_EQ(size.width, 210);
    EXPECT_EQ(size.height, 285);
    const para record = layout::readRecord(file, QStringLiteral("A4竖排模板"), 3);
    EXPECT_EQ(record.Left, 40);
    EXPECT_EQ(record.Top, -12);
    EXPECT_EQ(record.Fontname, QStringLiteral("楷体"));
    EXPECT_EQ(record.Fontsize, 16);
    EXPECT_EQ(record.Fontstyle, QStringLiteral("[fsBold]"));
}

TEST_F(LayoutProfile, missingKeysSectionOrFileGiveDefaults)
{
    const auto file = profile(QStringLiteral("[A4竖排模板]\nLeft1=abc\n"));
    const para record = layout::readRecord(file, QStringLiteral("A4竖排模板"), 1);
    EXPECT_EQ(record.Left, 0); // not an integer
    EXPECT_EQ(record.Top, 0);
    EXPECT_TRUE(record.Fontname.isEmpty());
    EXPECT_EQ(record.Fontsize, 0);
    EXPECT_EQ(record.Fontstyle, QStringLiteral("[]"));
    const layout::CardSizeMm none = layout::readCardSize(file, QStringLiteral("别的模板"));
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
    const platform::ProfileFile missing(m_dir.file(QStringLiteral("nothing.ini")));
    EXPECT_EQ(layout::readCardSize(missing, QStringLiteral("A4竖排模板")).width, 0);
}

TEST_F(LayoutProfile, sectionNamesIgnoreCase)
{
    const auto file = profile(QStringLiteral("[a4横排模板]\nPaperWidth=285\nPaperHeight=210\n"));
    EXPECT_EQ(layout::readCardSize(file, QStringLiteral("A4横排模板")).width, 285);
}

TEST_F(LayoutProfile, keysOfItemsOneAndSixteenAreDistinctAndLeadingZerosAreNotRead)
{
    const auto file = profile(QStringLiteral("[T]\nLeft1=11\nLeft16=16\nLeft01=99\nTop02=5\n"));
    EXPECT_EQ(layout::readRecord(file, QStringLiteral("T"), 1).Left, 11);
    EXPECT_EQ(layout::readRecord(file, QStringLiteral("T"), 16).Left, 16);
    EXPECT_EQ(layout::readRecord(file, QStringLiteral("T"), 2).Top, 0);
}

TEST_F(LayoutProfile, styleWordsAreCaseSensitiveSubstringsAndOnlyAdd)
{
    QFont font;
    layout::applyStyleText(font, QStringLiteral("bold"));
    EXPECT_FALSE(font.bold());
    layout::applyStyleText(font, QStringLiteral("[fsbold, FSITALIC]"));
    EXPECT_FALSE(font.bold());
    EXPECT_FALSE(font.italic());

    layout::applyStyleText(font, QStringLiteral("[fsBold,fsItalic]"));
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    QFont same;
    layout::applyStyleText(same, QStringLiteral("fsBold fsItalic"));
    EXPECT_EQ(same.bold(), font.bold());
    EXPECT_EQ(same.italic(), font.italic());

    layout::applyStyleText(font, QStringLiteral("[]")); // no style removes nothing
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    layout::applyStyleText(font, QStringLiteral("xfsUnderlinex,fsStrikeOut"));
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
}

TEST_F(LayoutProfile, styleTextIsBuiltInOrderWithLeadingBlanks)
{
    QFont font;
    EXPECT_EQ(layout::styleTextFromFont(font), QString());
    font.setItalic(true);
    EXPECT_EQ(layout::styleTextFromFont(font), QStringLiteral(" fsItalic"));
    font.setBold(true);
    EXPECT_EQ(layout::styleTextFromFont(font), QStringLiteral("fsBold fsItalic"));
    font.setUnderline(true);
    font.setStrikeOut(true);
    EXPECT_EQ(layout::styleTextFromFont(font), QStringLiteral("fsBold fsItalic fsUnderline fsStrikeOut"));
    // A built text reads back as the same styles.
    QFont back;
    layout::applyStyleText(back, layout::styleTextFromFont(font));
    EXPECT_TRUE(back.bold() && back.italic() && back.underline() && back.strikeOut());
}

TEST_F(LayoutProfile, shippedProfilesFitTheSpinLimitsAndTheirPictures)
{
    const platform::ProfileFile file(QStringLiteral(TOVARO_SOURCE_DIR "/data/temp.ini"));
    for (const QString &section :
         {QStringLiteral("A4竖排模板"), QStringLiteral("A3竖排模板"), QStringLiteral("A4横排模板")}) {
        SCOPED_TRACE(section.toStdString());
        const layout::CardSizeMm size = layout::readCardSize(file, section);
        EXPECT_GE(size.width, 100);
        EXPECT_LE(size.width, 350);
        EXPECT_GE(size.height, 100);
        EXPECT_LE(size.height, 240);
        for (int n = 0; n < cardItemCount; ++n) {
            const para record = layout::readRecord(file, section, n);
            EXPECT_GT(record.Left, 0);
            EXPECT_LT(record.Left, size.width - 10);
            EXPECT_GT(record.Top, 0);
            EXPECT_LT(record.Top, size.height - 10);
            EXPECT_FALSE(record.Fontname.isEmpty());
            EXPECT_GT(record.Fontsize, 0);
        }
    }
}

TEST_F(LayoutProfile, fontPointSizeCoversPixelSizedFonts)
{
    QFont points;
    points.setPointSize(16);
    EXPECT_EQ(layout::fontPointSize(points), 16);
    QFont pixels;
    pixels.setPixelSize(11);
    EXPECT_EQ(layout::fontPointSize(pixels), 8);
}
