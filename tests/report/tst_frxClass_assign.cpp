// Copying report objects: Assign (own properties) and AssignAll (with the children).
#include "report/objects/frxClass.h"

#include <gtest/gtest.h>

using namespace frx;

TEST(frxClassAssign, assignCopiesPropertiesAndTextNotName)
{
    TfrxMemoView source, target;
    source.SetName(QStringLiteral("m0"));
    source.SetBounds(551.41775L, 139.84261L, 64.25201L, 393.07112L);
    FontValue font;
    font.name = QStringLiteral("@楷体");
    font.height = -37;
    source.SetFont(font);
    source.SetRotation(270);
    source.VAlign = vaCenter;
    source.WordWrap = false;
    source.Frame().SetColor(0xFF);
    source.Frame().TopLine.Width = 3;
    source.Highlight().Condition = QStringLiteral("Value > 0");
    source.SetText(QStringLiteral("[frxdbdtst1.\"姓名\"]"));
    new TfrxMemoView(&target);

    target.Assign(&source);
    EXPECT_EQ(target.Name(), QString());
    EXPECT_TRUE(target.Objects().isEmpty());
    EXPECT_EQ(target.Left(), 551.41775L);
    EXPECT_EQ(target.Height(), 393.07112L);
    EXPECT_EQ(target.Font(), font);
    EXPECT_FALSE(target.ParentFont());
    EXPECT_EQ(target.Rotation(), 270);
    EXPECT_EQ(target.VAlign, vaCenter);
    EXPECT_FALSE(target.WordWrap);
    EXPECT_TRUE(target.Frame() == source.Frame());
    EXPECT_EQ(target.Highlight().Condition, QStringLiteral("Value > 0"));
    EXPECT_EQ(target.Text(), QStringLiteral("[frxdbdtst1.\"姓名\"]\r\n"));
    EXPECT_FALSE(target.IsLoading);
    EXPECT_EQ(target.DifferenceText(&source), QStringLiteral(" u=\"[frxdbdtst1.&#34;姓名&#34;]\""));
}

TEST(frxClassAssign, assignAllCopiesTheTreeWithReferences)
{
    TfrxReport source;
    auto *page = new TfrxReportPage(&source);
    page->SetName(QStringLiteral("Page1"));
    page->SetOrientation(poLandscape);
    page->SetPaperWidth(220);
    page->SetPaperHeight(150);
    auto *band = new TfrxMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    auto *child = new TfrxChild(page);
    child->SetName(QStringLiteral("Child1"));
    band->SetChild(child);
    auto *m0 = new TfrxMemoView(band);
    m0->SetName(QStringLiteral("m0"));
    auto *m1 = new TfrxMemoView(band);
    m1->SetName(QStringLiteral("m1"));
    m1->SetText(QStringLiteral("携"));
    m0->SetFlowTo(m1);
    source.ScriptText = {QStringLiteral("begin"), QStringLiteral("  ShowMessage('你好');"),
                         QStringLiteral("end.")};
    source.PreviewOptions.Zoom = 2;

    TfrxReport copy;
    copy.AssignAll(&source);
    QStringList names;
    for (const TfrxComponent *object : copy.AllObjects())
        names.append(object->ClassName() + u':' + object->Name());
    EXPECT_EQ(names.join(u' '),
              QStringLiteral("TfrxReportPage:Page1 TfrxMasterData:MasterData1 TfrxMemoView:m0 "
                             "TfrxMemoView:m1 TfrxChild:Child1"));
    auto *copiedPage = static_cast<TfrxReportPage *>(copy.Pages(0));
    EXPECT_EQ(copiedPage->Orientation(), poLandscape);
    EXPECT_EQ(copiedPage->PaperWidth(), 220);
    EXPECT_EQ(copiedPage->PaperSize(), 256);
    auto *copiedBand = static_cast<TfrxBand *>(copy.FindObject(u"MasterData1"));
    EXPECT_EQ(copiedBand->Child(), copy.FindObject(u"Child1"));
    auto *copiedM0 = static_cast<TfrxMemoView *>(copy.FindObject(u"m0"));
    EXPECT_EQ(copiedM0->FlowTo(), copy.FindObject(u"m1"));
    EXPECT_EQ(static_cast<TfrxMemoView *>(copy.FindObject(u"m1"))->Text(), QStringLiteral("携\r\n"));
    EXPECT_EQ(copy.ScriptText, source.ScriptText);
    EXPECT_EQ(copy.PreviewOptions.Zoom, 2);
    EXPECT_TRUE(copy.ErrorList.Lines().isEmpty());
}

TEST(frxClassAssign, assignAllIntoTheSameReportReusesObjectsByName)
{
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    auto *band = new TfrxMasterData(page);
    auto *memo = new TfrxMemoView(band);
    memo->SetName(QStringLiteral("m0"));
    memo->SetText(QStringLiteral("甲"));
    auto *other = new TfrxMasterData(page);
    other->AssignAll(band);
    // The name is found among the report's objects: that object is updated in place, not duplicated.
    EXPECT_TRUE(other->Objects().isEmpty());
    EXPECT_EQ(band->Objects().size(), 1);
    EXPECT_EQ(memo->Text(), QStringLiteral("甲\r\n"));
}
