// Templates that would keep the engine going for ever: bands no page can hold, variables and
// subreports that name themselves, and layers of stretching objects. Each ends in an error line.
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxEngine.h"
#include "report/engine/frxPreviewPages.h"
#include "tests/support/gui_environment.h"

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

class GrowingMemo : public TfrxMemoView {
public:
    using TfrxMemoView::TfrxMemoView;
    Extended extra = 0;
    Extended CalcHeight() override { return Height() + extra; }
};

struct Fixture {
    TfrxReport report;
    TfrxUserDataSet rows;
    TfrxReportPage *page = nullptr;

    explicit Fixture(int count = 1)
    {
        report.EngineOptions.NewSilentMode = simSilent;
        rows.SetName(u"rows"_s);
        rows.Fields = {u"v"_s};
        rows.RangeEnd = reCount;
        rows.RangeEndCount = count;
        report.Datasets.Add()->SetDataSet(&rows);
        new TfrxDataPage(&report);
        page = addPage(u"Page1"_s);
    }
    TfrxReportPage *addPage(const QString &name)
    {
        auto *p = new TfrxReportPage(&report);
        p->SetName(name);
        p->SetPaperWidth(210);
        p->SetPaperHeight(100); // 377.95 units
        return p;
    }
    template <typename Band> Band *band(TfrxReportPage *owner, const QString &name, Extended height)
    {
        auto *b = new Band(owner);
        b->SetName(name);
        b->SetBounds(0, owner->Objects().size() * 1000, 700, height);
        if constexpr (std::is_base_of_v<TfrxDataBand, Band>) b->SetDataSet(&rows);
        return b;
    }
    bool prepare() { return report.PrepareReport(true); }
    QString errors() const { return report.ErrorList.Text(); }
    int pageCount() { return report.PreviewPages()->Count(); }
};

} // namespace

TEST(frxEngineLimits, aSplitBandThatNoEmptyPageCanTakeIsReportedAfterOneBlankPage)
{
    // An unsplittable object taller than the room below the page header.
    {
        Fixture f;
        f.band<TfrxPageHeader>(f.page, u"PageHeader1"_s, 200);
        auto *row = f.band<TfrxMasterData>(f.page, u"MasterData1"_s, 300);
        row->AllowSplit = true;
        auto *shape = new TfrxShapeView(row);
        shape->SetBounds(0, 0, 100, 300);
        EXPECT_FALSE(f.prepare());
        EXPECT_TRUE(f.errors().contains(u"MasterData1: 带区在空白页上也放不下"_s)) << f.errors().toStdString();
        EXPECT_LE(f.pageCount(), 3);
    }
    // Pages with no room at all, or less than none: a text object never gets a line in.
    for (Extended paperHeight : {20.0, 5.0}) {
        Fixture f;
        f.page->TopMargin = 10;
        f.page->BottomMargin = 10;
        f.page->SetPaperHeight(paperHeight);
        auto *row = f.band<TfrxMasterData>(f.page, u"MasterData1"_s, 100);
        row->AllowSplit = true;
        auto *memo = new TfrxMemoView(row);
        memo->SetBounds(0, 0, 300, 100);
        memo->StretchMode = smActualHeight;
        memo->SetText(u"第一行\r\n第二行\r\n第三行"_s);
        EXPECT_FALSE(f.prepare());
        EXPECT_TRUE(f.errors().contains(u"MasterData1: 带区在空白页上也放不下"_s)) << f.errors().toStdString();
        EXPECT_LE(f.pageCount(), 3);
    }
}

TEST(frxEngineLimits, aPageHeaderTallerThanItsPageIsReportedNotRepeated)
{
    Fixture f;
    // Its object fits a page, but not below the header's first part: the split breaks the page
    // while the header is being shown at its top.
    auto *header = f.band<TfrxPageHeader>(f.page, u"PageHeader1"_s, 500);
    header->AllowSplit = true;
    auto *shape = new TfrxShapeView(header);
    shape->SetBounds(0, 200, 100, 300);
    f.band<TfrxMasterData>(f.page, u"MasterData1"_s, 20);
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.errors().contains(u"PageHeader1: "_s)) << f.errors().toStdString();
}

TEST(frxEngineLimits, variablesNamingThemselvesAreReportedWhereTheCircleCloses)
{
    for (const QStringList &definitions : {QStringList{u"甲"_s, u"Get('甲') + 1"_s},
                                           QStringList{u"甲"_s, u"乙"_s, u"乙"_s, u"丙"_s, u"丙"_s, u"甲"_s}}) {
        Fixture f;
        for (qsizetype i = 0; i < definitions.size(); i += 2) {
            TfrxVariable *variable = f.report.Variables.Add();
            variable->Name = definitions.at(i);
            variable->Value = definitions.at(i + 1);
        }
        auto *row = f.band<TfrxMasterData>(f.page, u"MasterData1"_s, 20);
        auto *memo = new TfrxMemoView(row);
        memo->SetName(u"Memo1"_s);
        memo->SetText(u"[甲]"_s);
        EXPECT_FALSE(f.prepare());
        EXPECT_TRUE(f.errors().contains(u"Memo1: 变量 甲 循环引用了自身"_s)) << f.errors().toStdString();
    }
}

TEST(frxEngineLimits, subreportsPrintingTheirOwnPageAreSkippedWithAnErrorLine)
{
    Fixture f;
    auto *row = f.band<TfrxMasterData>(f.page, u"MasterData1"_s, 40);
    TfrxReportPage *inner = f.addPage(u"Page2"_s);
    TfrxReportPage *innermost = f.addPage(u"Page3"_s);
    auto subreport = [](TfrxBand *owner, const QString &name, TfrxReportPage *target, bool onParent) {
        auto *sub = new TfrxSubreport(owner);
        sub->SetName(name);
        sub->SetBounds(0, 0, 100, 20);
        sub->PrintOnParent = onParent;
        sub->SetPage(target);
    };
    subreport(row, u"Outer"_s, inner, false);
    // Through another page, and printed on the parent.
    subreport(f.band<TfrxMasterData>(inner, u"MasterData2"_s, 20), u"Middle"_s, innermost, true);
    subreport(f.band<TfrxMasterData>(innermost, u"MasterData3"_s, 20), u"Back"_s, inner, false);
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.errors().contains(u"Back: 子报表的页面在自身之中打印"_s)) << f.errors().toStdString();
    EXPECT_EQ(f.pageCount(), 1);
}

TEST(frxEngineLimits, layersOfGrowingObjectsEachMoveOnceBelowTheLowestAbove)
{
    // Two side-by-side objects per layer, each below both of the layer above: 2^29 paths from the top.
    Fixture f;
    f.page->SetPaperHeight(300);
    auto *row = f.band<TfrxMasterData>(f.page, u"MasterData1"_s, 600);
    row->Stretched = true;
    for (int layer = 0; layer < 30; ++layer)
        for (int side = 0; side < 2; ++side) {
            auto *memo = new GrowingMemo(row);
            memo->SetBounds(side * 50, layer * 20, 100, 20);
            memo->StretchMode = smActualHeight;
            memo->ShiftMode = smWhenOverlapped;
            memo->extra = 10;
        }
    ASSERT_TRUE(f.prepare()) << f.errors().toStdString();
    // Every layer grew by 10 and starts at the bottom of the one above: 29 · 30.
    const TfrxXMLItem *band = f.report.PreviewPages()->PageItem(0)->Items(0);
    EXPECT_EQ(band->Items(band->Count() - 1)->Prop(u"t"), u"870"_s);
    EXPECT_EQ(band->Prop(u"h"), u"900"_s);
}
