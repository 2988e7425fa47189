// The texts prepared pages store: difference texts against a source copy and full-state texts.
#include "report/objects/frxClass.h"

#include <gtest/gtest.h>

using namespace frx;

TEST(frxClassTexts, textObjectDiffersOnlyByText)
{
    TfrxMemoView source, copy;
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" u=\"\""));
    copy.SetText(QStringLiteral("a\r\nb"));
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" u=\"a&#13;&#10;b\""));
    copy.SetText(QStringLiteral("张三 \"先生\""));
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" u=\"张三 &#34;先生&#34;\""));
}

TEST(frxClassTexts, floatsDifferBeyondOneTenThousandth)
{
    TfrxMemoView source, copy;
    source.SetLeft(10);
    copy.SetLeft(10.00005L);
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" u=\"\""));
    copy.SetLeft(10.001L);
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" l=\"10.001\" u=\"\""));
}

TEST(frxClassTexts, bandAlwaysCarriesTop)
{
    TfrxMasterData source, copy;
    source.SetTop(18.89765L);
    copy.SetTop(18.89765L);
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" t=\"18.89765\""));
    copy.SetHeight(812.59895L);
    copy.SetVisible(false);
    copy.Tag = 7;
    EXPECT_EQ(copy.DifferenceText(&source),
              QStringLiteral(" t=\"18.89765\" h=\"812.59895\" Visible=\"0\" Tag=\"7\""));
}

TEST(frxClassTexts, fontIsComparedOnlyWithoutParentFont)
{
    TfrxMemoView source, copy;
    FontValue font;
    font.name = QStringLiteral("@楷体");
    font.height = -29;
    font.style = platform::fsBold | platform::fsItalic;
    copy.SetFont(font);
    EXPECT_EQ(
        copy.DifferenceText(&source),
        QStringLiteral(" Font.Name=\"@楷体\" Font.Size=\"22\" Font.Style=\"3\" ParentFont=\"0\" u=\"\""));
}

TEST(frxClassTexts, autoWidthSuppressesWidth)
{
    TfrxMemoView source, copy;
    copy.SetWidth(50);
    copy.AutoWidth = true;
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" AutoWidth=\"1\" u=\"\""));
}

TEST(frxClassTexts, textObjectAttributesInOrder)
{
    TfrxMemoView source, copy;
    copy.BrushStyle = bsClear;
    copy.Align = baRight;
    copy.Color = 0xFF;
    copy.Cursor = crHand;
    copy.Printable = false;
    copy.TagStr = QStringLiteral("<甲>");
    copy.URL = QStringLiteral("u&v");
    copy.GapX = 3;
    copy.HAlign = haCenter;
    copy.Highlight().Active = true;
    copy.SetText(QStringLiteral("二零零九"));
    copy.SetRotation(270);
    copy.VAlign = vaCenter;
    copy.WordWrap = false;
    EXPECT_EQ(copy.DifferenceText(&source),
              QStringLiteral(
                  " BrushStyle=\"1\" Align=\"2\" Color=\"255\" Cursor=\"150\" Printable=\"0\""
                  " TagStr=\"&#60;甲&#62;\" URL=\"u&#38;v\" GapX=\"3\" HAlign=\"2\""
                  " Highlight.Active=\"1\" u=\"二零零九\" Rotation=\"270\" VAlign=\"2\" WordWrap=\"0\""));
}

TEST(frxClassTexts, frameLinesAgainstFrameOrSourceLine)
{
    TfrxMemoView source, copy;
    copy.Frame().Typ = 15;
    copy.Frame().SetColor(0xFF);
    copy.Frame().TopLine.Color = 0x00FF00;
    // The frame colour changed: lines are compared with it, so only the top line is written.
    EXPECT_EQ(copy.DifferenceText(&source),
              QStringLiteral(" Frame.Color=\"255\" Frame.Typ=\"15\" Frame.TopLine.Color=\"65280\" u=\"\""));

    TfrxMemoView copy2;
    copy2.Frame().LeftLine.Width = 3;
    // The frame width did not change: the line is compared with the source line.
    EXPECT_EQ(copy2.DifferenceText(&source), QStringLiteral(" Frame.LeftLine.Width=\"3\" u=\"\""));
}

TEST(frxClassTexts, paragraphBreaksMoveOnAfterEachPart)
{
    TfrxMemoView source, copy;
    copy.LastParaBreak = true;
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" u=\"\" LastParaBreak=\"1\""));
    EXPECT_TRUE(copy.FirstParaBreak);
    EXPECT_FALSE(copy.LastParaBreak);
    EXPECT_EQ(copy.DifferenceText(&source), QStringLiteral(" u=\"\" FirstParaBreak=\"1\""));
    EXPECT_FALSE(copy.FirstParaBreak);
}

TEST(frxClassTexts, otherClassesAppendTheirOwn)
{
    TfrxShapeView shape, shapeSource;
    shape.Shape = skEllipse;
    EXPECT_EQ(shape.DifferenceText(&shapeSource), QStringLiteral(" Shape=\"2\""));

    TfrxPictureView picture, pictureSource;
    picture.ImageIndex = 4;
    EXPECT_EQ(picture.DifferenceText(&pictureSource), QStringLiteral(" ImageIndex=\"4\""));

    TfrxGroupHeader header, headerSource;
    header.DrillDown = true;
    header.RowNoThrough = 12;
    EXPECT_EQ(header.DifferenceText(&headerSource), QStringLiteral(" t=\"0\" Tag=\"12\""));

    TfrxDMPCommand command, commandSource;
    command.Command = QStringLiteral("#27\"");
    EXPECT_EQ(command.DifferenceText(&commandSource), QStringLiteral(" Command=\"#27&#34;\""));
}

TEST(frxClassTexts, fullStateTextIsTheTemplateAttributes)
{
    TfrxView view, source;
    view.SetBounds(1, 2, 3.5L, 4);
    view.Hint = QStringLiteral("提示");
    view.SetVisible(false);
    EXPECT_EQ(
        view.FullStateText(nullptr),
        QStringLiteral(" Left=\"1\" Top=\"2\" Width=\"3.5\" Height=\"4\" Visible=\"False\" Hint=\"提示\""));
    source.SetBounds(1, 2, 3, 4);
    EXPECT_EQ(
        view.FullStateText(&source),
        QStringLiteral(" Left=\"1\" Top=\"2\" Width=\"3.5\" Height=\"4\" Visible=\"False\" Hint=\"提示\""
                       "  w=\"3.5\" Visible=\"0\""));
}

TEST(frxClassTexts, storedAttributesOfACardTextObject)
{
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    auto *band = new TfrxMasterData(page);
    auto *m11 = new TfrxMemoView(band);
    m11->SetBounds(21.74026L, 241.88992L, 41.57483L, 98.26778L);
    FontValue font;
    font.name = QStringLiteral("宋体");
    font.height = -29;
    font.charset = 134;
    m11->SetFont(font);
    m11->SetVisible(false);
    m11->WordWrap = false;
    m11->SetRotation(90);
    m11->VAlign = vaBottom;
    m11->SetText(QStringLiteral("父  亲"));
    EXPECT_EQ(storedAttributes(m11),
              QStringLiteral(" Left=\"21.74026\" Top=\"241.88992\" Width=\"41.57483\" Height=\"98.26778\""
                             " Visible=\"False\" DisplayFormat.DecimalSeparator=\".\""
                             " DisplayFormat.ThousandSeparator=\",\" Font.Charset=\"134\" Font.Color=\"0\""
                             " Font.Height=\"-29\" Font.Name=\"宋体\" Font.Style=\"0\""
                             " ParentFont=\"False\" Rotation=\"90\" WordWrap=\"False\" VAlign=\"vaBottom\""
                             " Text=\"父  亲\""));
}
