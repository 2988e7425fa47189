// The engine's band kinds beyond plain data bands: drill-down groups, subreports beside a band and
// printed on it, vertical bands laid across horizontal ones, and suppressed values shown again on a
// new page.
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxEngine.h"
#include "report/engine/frxPreviewPages.h"
#include "tests/report/support/bandfixture.h"
#include "tests/support/gui_environment.h"

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

using bandfixture::Fixture;
using bandfixture::Table;

struct DrillGroups : Fixture {
    TfrxGroupHeader *header = nullptr;
    TfrxMasterData *data = nullptr;
    TfrxGroupFooter *footer = nullptr;
    DrillGroups()
    {
        setRows(rows, {u"x"_s, u"x"_s, u"y"_s});
        header = band<TfrxGroupHeader>(page, u"GroupHeader1"_s, 50, 10);
        header->Condition = u"rows.\"v\""_s;
        header->DrillDown = true;
        data = master(page, u"MasterData1"_s, 100, 20, rows);
        footer = band<TfrxGroupFooter>(page, u"GroupFooter1"_s, 200, 5);
    }
};

} // namespace

TEST(frxEngineDrillDown, collapsedGroupsShowOnlyTheirHeadersUntilTheirKeyIsListed)
{
    DrillGroups f;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"GroupHeader1@0"_s, u"GroupHeader1@10"_s}));
    // Each header carries its through row number, which names its key for the preview's toggle.
    EXPECT_EQ(f.pages().PageItem(0)->Items(1)->Prop(u"Tag"), u"2"_s);
    // The run leaves the definition visible as designed.
    EXPECT_TRUE(f.data->Visible());
    EXPECT_TRUE(f.footer->Visible());

    f.report.DrillState = QStringList{u"GroupHeader1.2"_s};
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"GroupHeader1@0"_s, u"GroupHeader1@10"_s, u"MasterData1@20"_s,
                                         u"GroupFooter1@40"_s}));
}

TEST(frxEngineDrillDown, expandedByDefaultAndFootersKeptOnRequest)
{
    DrillGroups f;
    f.header->ExpandDrillDown = true;
    f.report.DrillState = QStringList{u"GroupHeader1.1"_s};
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"GroupHeader1@0"_s, u"GroupHeader1@10"_s, u"MasterData1@20"_s,
                                         u"GroupFooter1@40"_s}));

    f.header->ShowFooterIfDrillDown = true;
    f.report.DrillState = QStringList{u"GroupHeader1.1"_s, u"GroupHeader1.2"_s};
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"GroupHeader1@0"_s, u"GroupFooter1@10"_s, u"GroupHeader1@15"_s,
                                         u"GroupFooter1@25"_s}));
}

TEST(frxEngineSubreports, aSubreportBesideTheBandRunsAtItsPlaceAndTheNextRowFollowsItsEnd)
{
    Fixture f;
    Fixture::setRows(f.rows, {u"r1"_s, u"r2"_s});
    Fixture::setRows(f.cols, {u"a"_s, u"b"_s, u"c"_s});
    TfrxMasterData *row = f.master(f.page, u"MasterData1"_s, 10, 100, f.rows);
    TfrxReportPage *inner = f.addPage(u"Page2"_s);
    f.master(inner, u"MasterData2"_s, 10, 30, f.cols);
    auto *sub = new TfrxSubreport(row);
    sub->SetName(u"Subreport1"_s);
    sub->SetBounds(300, 20, 200, 30);
    sub->SetPage(inner);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // The subreport page is not run on its own.
    ASSERT_EQ(f.pages().Count(), 1);
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s, u"MasterData2@20"_s, u"MasterData2@50"_s,
                                         u"MasterData2@80"_s, u"MasterData1@110"_s, u"MasterData2@130"_s,
                                         u"MasterData2@160"_s, u"MasterData2@190"_s}));
    EXPECT_EQ(f.pages().PageItem(0)->Items(1)->Prop(u"l"), u"300"_s);
}

TEST(frxEngineSubreports, aSubreportPrintedOnTheParentBecomesObjectsOfTheBand)
{
    Fixture f;
    Fixture::setRows(f.rows, {u"r1"_s});
    Fixture::setRows(f.cols, {u"a"_s, u"b"_s, u"c"_s});
    TfrxMasterData *row = f.master(f.page, u"MasterData1"_s, 10, 100, f.rows);
    row->Stretched = true;
    Fixture::memo(row, u"title"_s, 0, 0, 100, 20, u"[rows.\"v\"]"_s);
    TfrxReportPage *inner = f.addPage(u"Page2"_s);
    TfrxMasterData *item = f.master(inner, u"MasterData2"_s, 10, 30, f.cols);
    Fixture::memo(item, u"item"_s, 5, 0, 100, 20, u"[cols.\"v\"]"_s);
    auto *sub = new TfrxSubreport(row);
    sub->SetName(u"Subreport1"_s);
    sub->SetBounds(300, 50, 200, 30);
    sub->SetPage(inner);
    sub->PrintOnParent = true;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 1);
    // One band, grown around the captured rows (the last ends at 110 + 20), holding them at their
    // absolute places.
    ASSERT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s}));
    const TfrxXMLItem *band = f.pages().PageItem(0)->Items(0);
    EXPECT_EQ(band->Prop(u"h"), u"130"_s);
    EXPECT_EQ(f.objectsOf(band),
              (QStringList{u"title 0 0 r1"_s, u"item 305 50 a"_s, u"item 305 80 b"_s, u"item 305 110 c"_s}));
    // The captured objects were freed; the band is as designed.
    EXPECT_EQ(row->Objects().size(), 2);
    EXPECT_EQ(row->Height(), Extended(100));
    EXPECT_EQ(item->Objects().size(), 1);
}

namespace {

// Rows down the page, columns across from a vertical data band; the cell lies in the vertical band.
struct CrossTab : Fixture {
    TfrxMasterData *row = nullptr;
    TfrxMasterData *column = nullptr;
    TfrxMemoView *cell = nullptr;
    CrossTab(const QStringList &rowValues, const QStringList &columnValues)
    {
        setRows(rows, rowValues);
        setRows(cols, columnValues);
        column = master(page, u"MasterData2"_s, 0, 0, cols);
        column->Vertical = true;
        column->SetBounds(100, 0, 250, 0);
        row = master(page, u"MasterData1"_s, 10, 30, rows);
        Fixture::memo(row, u"title"_s, 0, 0, 90, 20, u"[rows.\"v\"]"_s);
        cell = Fixture::memo(row, u"cell"_s, 110, 0, 200, 20, u"[rows.\"v\"][cols.\"v\"]"_s);
    }
};

} // namespace

TEST(frxEngineVertical, cellsOfAVerticalBandRepeatAcrossTheRowPerColumnRecord)
{
    CrossTab f({u"r1"_s, u"r2"_s}, {u"a"_s, u"b"_s});
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 1);
    ASSERT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s, u"MasterData1@30"_s}));
    // Each column record adds a copy of the cell, moved right by the vertical band's width.
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(0)),
              (QStringList{u"title 0 0 r1"_s, u"cell 10 0 r1a"_s, u"cell 260 0 r1b"_s}));
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(1)),
              (QStringList{u"title 0 0 r2"_s, u"cell 10 0 r2a"_s, u"cell 260 0 r2b"_s}));
    // The cell is back in its band, at its designed place, and the copies are gone.
    EXPECT_EQ(f.cell->Parent(), f.row);
    EXPECT_EQ(f.cell->Left(), Extended(110));
    EXPECT_EQ(f.row->Objects().size(), 2);
    EXPECT_EQ(f.row->Objects().last(), f.cell);
    EXPECT_TRUE(f.column->Objects().isEmpty());
}

TEST(frxEngineVertical, columnsBeyondThePageWidthGoToTheNextPageAtTheSameRowPlace)
{
    // 793.7 units of page width hold three columns of 250.
    CrossTab f({u"r1"_s, u"r2"_s}, {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s});
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 2);
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s, u"MasterData1@30"_s}));
    EXPECT_EQ(f.bandsOn(1), (QStringList{u"MasterData1@0"_s, u"MasterData1@30"_s}));
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(1)),
              (QStringList{u"title 0 0 r2"_s, u"cell 10 0 r2a"_s, u"cell 260 0 r2b"_s, u"cell 510 0 r2c"_s}));
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(1)->Items(1)),
              (QStringList{u"cell 10 0 r2d"_s, u"cell 260 0 r2e"_s}));
}

TEST(frxEngineVertical, aRepeatedHeaderIsNotRepeatedOnThePagesOfColumnsBeyondTheWidth)
{
    CrossTab f({u"r1"_s}, {u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    auto *header = f.band<TfrxHeader>(f.page, u"Header1"_s, 0, 10);
    header->ReprintOnNewPage = true;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 2);
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"Header1@0"_s, u"MasterData1@10"_s}));
    EXPECT_EQ(f.bandsOn(1), (QStringList{u"MasterData1@10"_s}));
}

TEST(frxEngineVertical, totalsUnderAColumnAreThatColumnsAndRowTotalsRestartEachRow)
{
    // Rows 1, 2, 3 across columns 10, 20; every cell is row x column.
    CrossTab f({u"1"_s, u"2"_s, u"3"_s}, {u"10"_s, u"20"_s});
    const QString product = u"StrToInt(<rows.\"v\">) * StrToInt(<cols.\"v\">)"_s;
    f.cell->SetText(u"[%1]"_s.arg(product));
    // A vertical footer after the column band totals each row.
    auto *rowTotals = new TfrxFooter(f.page);
    rowTotals->SetName(u"Footer2"_s);
    rowTotals->Vertical = true;
    rowTotals->SetBounds(400, 0, 150, 0);
    Fixture::memo(f.row, u"rowTotal"_s, 410, 0, 100, 20, u"[SUM(%1, MasterData2)]"_s.arg(product));
    // The rows' footer: a grand total beside the columns, and a total with a count under each.
    auto *footer = f.band<TfrxFooter>(f.page, u"Footer1"_s, 60, 20);
    Fixture::memo(footer, u"total"_s, 0, 0, 90, 20, u"[SUM(StrToInt(<rows.\"v\">))]"_s);
    Fixture::memo(footer, u"columnTotal"_s, 110, 0, 200, 20,
                  u"[SUM(%1)] [COUNT(MasterData1)]"_s.arg(product));
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 1);
    ASSERT_EQ(f.bandsOn(0),
              (QStringList{u"MasterData1@0"_s, u"MasterData1@30"_s, u"MasterData1@60"_s, u"Footer1@90"_s}));
    const TfrxXMLItem *page = f.pages().PageItem(0);
    EXPECT_EQ(f.objectsOf(page->Items(0)),
              (QStringList{u"title 0 0 1"_s, u"cell 10 0 10"_s, u"cell 260 0 20"_s, u"rowTotal 510 0 30"_s}));
    EXPECT_EQ(f.objectsOf(page->Items(2)),
              (QStringList{u"title 0 0 3"_s, u"cell 10 0 30"_s, u"cell 260 0 60"_s, u"rowTotal 510 0 90"_s}));
    EXPECT_EQ(f.objectsOf(page->Items(3)),
              (QStringList{u"total 0 0 6"_s, u"columnTotal 10 0 60 3"_s, u"columnTotal 260 0 120 3"_s}));
    // The footer's cell is back in it after the run.
    EXPECT_EQ(f.report.FindObject(u"columnTotal"_s)->Parent(), footer);
}

TEST(frxEngineRepeat, aSuppressedValueShowsAgainWhenItsBandMovesToANewPage)
{
    Fixture f;
    Fixture::setRows(f.rows, {u"same"_s, u"same"_s, u"same"_s, u"same"_s});
    // 1096.06 units of page hold two rows of 400.
    TfrxMasterData *row = f.master(f.page, u"MasterData1"_s, 10, 400, f.rows);
    Fixture::memo(row, u"m0"_s, 0, 0, 100, 20, u"[rows.\"v\"]"_s)->SuppressRepeated = true;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 2);
    auto text = [&](int page, int band) {
        return f.pages().PageItem(page)->Items(band)->Items(0)->Prop(u"u").trimmed();
    };
    EXPECT_EQ(text(0, 0), u"same"_s);
    EXPECT_EQ(text(0, 1), QString());
    EXPECT_EQ(text(1, 0), u"same"_s);
    EXPECT_EQ(text(1, 1), QString());
}

namespace {

// Three text objects of two rows each, the first flowing into the second and that into the third.
struct FlowChain : Fixture {
    TfrxMemoView *first = nullptr, *second = nullptr, *third = nullptr;
    FlowChain()
    {
        setRows(rows, {u"甲"_s, u"乙"_s});
        TfrxMasterData *row = master(page, u"MasterData1"_s, 10, 300, rows);
        first = Fixture::memo(row, u"first"_s, 0, 0, 200, 20, u"一\n二"_s);
        const Extended twoRows = first->CalcHeight();
        first->SetHeight(twoRows);
        first->SetText(u"[rows.\"v\"]\n二\n三\n['[' + '2]']四\n五"_s);
        second = Fixture::memo(row, u"second"_s, 0, 100, 200, twoRows, u"设计"_s);
        third = Fixture::memo(row, u"third"_s, 0, 200, 200, twoRows, u"设计"_s);
        first->SetFlowTo(second);
        second->SetFlowTo(third);
    }
};

} // namespace

TEST(frxEngineFlow, textThatDoesNotFitGoesOnInTheNextObjectsOfTheChain)
{
    FlowChain f;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s, u"MasterData1@300"_s}));
    // The rest is text already evaluated: brackets that an expression gave are not evaluated again.
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(0)),
              (QStringList{u"first 0 0 甲\r\n二"_s, u"second 0 100 三\r\n[2]四"_s, u"third 0 200 五"_s}));
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(1)),
              (QStringList{u"first 0 0 乙\r\n二"_s, u"second 0 100 三\r\n[2]四"_s, u"third 0 200 五"_s}));
    EXPECT_FALSE(f.second->AllowExpressions);
}

TEST(frxEngineFlow, aChainBackToItselfIsAnErrorNamingTheObjectAndFlowsNothing)
{
    FlowChain f;
    f.first->SetFlowTo(f.first);
    f.second->SetFlowTo(nullptr);
    EXPECT_FALSE(f.prepare());
    EXPECT_EQ(f.report.ErrorList.Lines(), (QStringList{u"first 的续接文本对象（FlowTo）绕回了它自己"_s}));
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(0)).first(),
              u"first 0 0 甲\r\n二\r\n三\r\n[2]四\r\n五"_s);

    f.first->SetFlowTo(f.second);
    f.second->SetFlowTo(f.third);
    f.third->SetFlowTo(f.second);
    EXPECT_FALSE(f.prepare());
    EXPECT_EQ(f.report.ErrorList.Lines(), (QStringList{u"second 的续接文本对象（FlowTo）绕回了它自己"_s,
                                                       u"third 的续接文本对象（FlowTo）绕回了它自己"_s}));
}
