// The text object: defaults, text, rotation, styles, highlight and format copies.
#include "report/objects/frxClass.h"

#include <gtest/gtest.h>

using namespace frx;

TEST(frxClassMemo, defaults)
{
    TfrxMemoView memo;
    EXPECT_TRUE(memo.AllowExpressions);
    EXPECT_TRUE(memo.Clipped);
    EXPECT_TRUE(memo.WordWrap);
    EXPECT_TRUE(memo.Wysiwyg);
    EXPECT_EQ(memo.GapX, 2);
    EXPECT_EQ(memo.GapY, 1);
    EXPECT_EQ(memo.LineSpacing, 2);
    EXPECT_EQ(memo.Color, clTransparent);
    EXPECT_EQ(memo.ExpressionDelimiters, QStringLiteral("[,]"));
    EXPECT_EQ(memo.ShiftMode, smAlways);
    EXPECT_EQ(memo.Highlight().Font.color, 255);
    EXPECT_EQ(memo.Highlight().Color, clTransparent);
    EXPECT_EQ(memo.DisplayFormat().Kind, fkText);
    EXPECT_EQ(memo.Frame().Typ, 0u);
    EXPECT_EQ(memo.Frame().ShadowWidth, 4);
    EXPECT_EQ(memo.ComponentStyle, unsigned(csPreviewCopy));
    EXPECT_EQ(TfrxShapeView().ComponentStyle, unsigned(csPreviewCopy));
    EXPECT_EQ(TfrxView().ComponentStyle, unsigned(csPreviewCopy | csFullStateCopy));
    EXPECT_EQ(TfrxSubreport().ComponentStyle, unsigned(csFullStateCopy));
    EXPECT_EQ(TfrxPictureView().Color, clWhite);
}

TEST(frxClassMemo, rotationKeepsSignModulo360)
{
    TfrxMemoView memo;
    memo.SetRotation(270);
    EXPECT_EQ(memo.Rotation(), 270);
    memo.SetRotation(-90);
    EXPECT_EQ(memo.Rotation(), -90);
    memo.SetRotation(720);
    EXPECT_EQ(memo.Rotation(), 0);
    memo.SetRotation(450);
    EXPECT_EQ(memo.Rotation(), 90);
    memo.SetRotation(-450);
    EXPECT_EQ(memo.Rotation(), -90);
}

TEST(frxClassMemo, textSplitsIntoLines)
{
    TfrxMemoView memo;
    memo.SetText(QStringLiteral("新  郎\r\n新  娘\r\n"));
    EXPECT_EQ(memo.Memo().Count(), 2);
    EXPECT_EQ(memo.Text(), QStringLiteral("新  郎\r\n新  娘\r\n"));
    memo.SetText(QStringLiteral("a\r\rb"));
    EXPECT_EQ(memo.Memo().lines(), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    memo.Lines().setStrings(0, QStringLiteral("x"));
    EXPECT_EQ(memo.Memo().Strings(0), QStringLiteral("x"));

    TfrxMemoView copy;
    copy.SetMemo(memo.Memo());
    EXPECT_EQ(copy.Text(), QStringLiteral("x\r\n\r\nb\r\n"));
}

TEST(frxClassMemo, ownFontSurvivesBandFontChange)
{
    TfrxMasterData band;
    auto *memo = new TfrxMemoView(&band);
    FontValue kai;
    kai.name = QStringLiteral("@楷体");
    kai.height = -37;
    memo->SetFont(kai);
    EXPECT_FALSE(memo->ParentFont());
    FontValue song;
    song.name = QStringLiteral("宋体");
    band.SetFont(song);
    EXPECT_EQ(memo->Font().name, QStringLiteral("@楷体"));
    EXPECT_EQ(memo->Font().height, -37);
}

TEST(frxClassMemo, styleAppliesColourFontAndFrame)
{
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    auto *band = new TfrxMasterData(page);
    auto *memo = new TfrxMemoView(band);
    TfrxStyleItem *style = report.Styles.Add();
    style->SetName(QStringLiteral("标题"));
    style->Color = 0x00FF00;
    style->Font.name = QStringLiteral("黑体");
    style->Frame.Typ = ftTop | ftBottom;

    memo->SetStyle(QStringLiteral("标题"));
    EXPECT_EQ(memo->Color, 0x00FF00);
    EXPECT_EQ(memo->Font().name, QStringLiteral("黑体"));
    EXPECT_FALSE(memo->ParentFont());
    EXPECT_EQ(memo->Frame().Typ, unsigned(ftTop | ftBottom));

    memo->SetStyle(QStringLiteral("无"));
    EXPECT_EQ(memo->Style(), QStringLiteral("无"));
    EXPECT_EQ(memo->Color, 0x00FF00);

    // Apply clears names that no style has and re-applies the others.
    report.Styles.Apply();
    EXPECT_EQ(memo->Style(), QString());
    memo->SetStyle(QStringLiteral("标题"));
    style->Color = 0x0000FF;
    report.Styles.Apply();
    EXPECT_EQ(memo->Color, 0x0000FF);
}

TEST(frxClassMemo, frameValuesReachAllLines)
{
    TfrxFrame frame;
    frame.SetColor(0x123456);
    frame.SetStyle(fsDot);
    frame.SetWidth(2.5L);
    for (const TfrxFrameLine *line : {&frame.LeftLine, &frame.TopLine, &frame.RightLine, &frame.BottomLine}) {
        EXPECT_EQ(line->Color, 0x123456);
        EXPECT_EQ(line->Style, fsDot);
        EXPECT_EQ(line->Width, 2.5L);
    }
    frame.TopLine.Color = 1;
    TfrxFrame copy = frame;
    EXPECT_TRUE(copy == frame);
    EXPECT_EQ(copy.TopLine.Frame(), &copy);

    // A line's value is stored only where it differs from the frame's own.
    const PropInfo *lineColor = TfrxFrameLine::staticClassInfo().property(u"Color");
    EXPECT_TRUE(lineColor->isStored(&copy.TopLine));
    EXPECT_FALSE(lineColor->isStored(&copy.LeftLine));
}

TEST(frxClassMemo, storedRulesOfTheTextObject)
{
    TfrxMemoView memo;
    const ClassInfo &info = TfrxMemoView::staticClassInfo();
    EXPECT_FALSE(info.property(u"GapX")->isStored(static_cast<TfrxComponent *>(&memo)));
    EXPECT_FALSE(info.property(u"Highlight")->isStored(static_cast<TfrxComponent *>(&memo)));
    EXPECT_FALSE(info.property(u"Font")->isStored(static_cast<TfrxComponent *>(&memo)));
    memo.GapX = 3;
    memo.Highlight().Condition = QStringLiteral(" <Value> > 0 ");
    memo.SetFont(FontValue());
    EXPECT_TRUE(info.property(u"GapX")->isStored(static_cast<TfrxComponent *>(&memo)));
    EXPECT_TRUE(info.property(u"Highlight")->isStored(static_cast<TfrxComponent *>(&memo)));
    EXPECT_TRUE(info.property(u"Font")->isStored(static_cast<TfrxComponent *>(&memo)));
    memo.Highlight().Condition = QStringLiteral("   ");
    EXPECT_FALSE(info.property(u"Highlight")->isStored(static_cast<TfrxComponent *>(&memo)));
}

TEST(frxClassMemo, sysMemoPublishesFewerProperties)
{
    const ClassInfo &info = TfrxSysMemoView::staticClassInfo();
    EXPECT_NE(info.property(u"Rotation"), nullptr);
    EXPECT_NE(info.property(u"Memo"), nullptr);
    EXPECT_EQ(info.property(u"DataField"), nullptr);
    EXPECT_EQ(info.property(u"WordBreak"), nullptr);
    EXPECT_NE(TfrxDMPMemoView::staticClassInfo().property(u"TruncOutboundText"), nullptr);
}
