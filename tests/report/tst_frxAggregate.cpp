// Aggregates: calls found in footers, totals through the engine (footers, groups, running totals,
// page footers, keeping), and the list's own rules.
#include "report/engine/frxAggregate.h"
#include "tests/report/support/reportfixture.h"
#include "tests/support/gui_environment.h"

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;
using reportfixture::Report;

namespace {

// Guests a..f with numbers 1..6 in groups x, x, y, y, y, z.
void sixGuests(Report &f)
{
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s});
    f.groups = {u"x"_s, u"x"_s, u"y"_s, u"y"_s, u"y"_s, u"z"_s};
    f.numbers = {1, 2, 3, 4, 5, 6};
}

} // namespace

TEST(frxAggregate, footerPrintsTotalsOfItsDataBand)
{
    Report f;
    sixGuests(f);
    f.master(u"MasterData1"_s, 100, 20);
    auto *footer = f.band<TfrxFooter>(u"Footer1"_s, 200, 20);
    Report::memo(footer, u"Total"_s, 0, 20,
                 u"[SUM(<frxdbdtst1.\"n\">,MasterData1)] [AVG(<frxdbdtst1.\"n\">)] [MIN(<frxdbdtst1.\"n\">)] "
                 u"[MAX(<frxdbdtst1.\"n\">)] [COUNT(MasterData1)] [sum (<frxdbdtst1.\"n\"> * 2)]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Total"_s), QStringList{u"21 3.5 1 6 6 42"_s});
}

TEST(frxAggregate, groupFootersRestartAndRunningTotalsGoOn)
{
    Report f;
    sixGuests(f);
    auto *header = f.band<TfrxGroupHeader>(u"GroupHeader1"_s, 50, 10);
    header->Condition = u"frxdbdtst1.\"g\""_s;
    f.master(u"MasterData1"_s, 100, 20);
    auto *groupFooter = f.band<TfrxGroupFooter>(u"GroupFooter1"_s, 200, 20);
    Report::memo(groupFooter, u"GroupTotal"_s, 0, 20,
                 u"[SUM(<frxdbdtst1.\"n\">,MasterData1)]/[SUM(<frxdbdtst1.\"n\">,MasterData1,2)]/"
                 u"[COUNT(MasterData1)]"_s);
    auto *summary = f.band<TfrxReportSummary>(u"ReportSummary1"_s, 300, 20);
    Report::memo(summary, u"GrandTotal"_s, 0, 20, u"[SUM(<frxdbdtst1.\"n\">,MasterData1)]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"GroupTotal"_s), (QStringList{u"3/3/2"_s, u"12/15/3"_s, u"6/21/1"_s}));
    EXPECT_EQ(f.texts(u"GrandTotal"_s), QStringList{u"21"_s});
}

TEST(frxAggregate, pageFootersTotalTheirPageAndHiddenRowsCountOnlyWithFlagOne)
{
    Report f;
    sixGuests(f);
    TfrxMasterData *row = f.master(u"MasterData1"_s, 100, 300);
    // Rows d and e are hidden by the script; three rows fit on a page.
    row->OnBeforePrint = u"RowBefore"_s;
    f.report.ScriptText = {
        u"procedure RowBefore(Sender: TfrxComponent);"_s,
        u"begin MasterData1.Visible := (<frxdbdtst1.\"n\"> < 4) or (<frxdbdtst1.\"n\"> > 5); end;"_s,
        u"begin end."_s};
    auto *footer = f.band<TfrxPageFooter>(u"PageFooter1"_s, 1000, 20);
    Report::memo(footer, u"PageTotal"_s, 0, 20,
                 u"[SUM(<frxdbdtst1.\"n\">)] [SUM(<frxdbdtst1.\"n\">,MasterData1,1)]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"PageTotal"_s), (QStringList{u"6 15"_s, u"6 6"_s}));
}

TEST(frxAggregate, aCallInAReportVariableIsCollectedAndEvaluatedInItsPlace)
{
    Report f;
    sixGuests(f);
    f.master(u"MasterData1"_s, 100, 20);
    f.report.Variables.SetValue(u"合计"_s, u"SUM(<frxdbdtst1.\"n\">) * 10"_s);
    Report::memo(f.band<TfrxFooter>(u"Footer1"_s, 200, 20), u"Total"_s, 0, 20, u"[合计]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Total"_s), QStringList{u"210"_s});
}

TEST(frxAggregate, aggregatesOutsideFootersAreEmptyAndCustomDelimitersAreScanned)
{
    Report f;
    sixGuests(f);
    TfrxMasterData *row = f.master(u"MasterData1"_s, 100, 20);
    Report::memo(row, u"InRow"_s, 0, 20, u"[SUM(<frxdbdtst1.\"n\">)]"_s);
    TfrxMemoView *total = Report::memo(f.band<TfrxFooter>(u"Footer1"_s, 200, 20), u"Total"_s, 0, 20,
                                       u"<<SUM(<frxdbdtst1.\"n\">)>> [x]"_s);
    total->ExpressionDelimiters = u"<<,>>"_s;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // Only footers print totals: elsewhere the call has no item and gives Null.
    EXPECT_EQ(f.texts(u"InRow"_s), QStringList(6, QString()));
    EXPECT_EQ(f.texts(u"Total"_s), QStringList{u"21 [x]"_s});
}

TEST(frxAggregate, doublePassRestartsRunningTotalsBetweenPasses)
{
    Report f;
    sixGuests(f);
    f.report.EngineOptions.DoublePass = true;
    f.master(u"MasterData1"_s, 100, 20);
    Report::memo(f.band<TfrxFooter>(u"Footer1"_s, 200, 20), u"Total"_s, 0, 20,
                 u"[SUM(<frxdbdtst1.\"n\">,MasterData1,2)]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Total"_s), QStringList{u"21"_s});
}

TEST(frxAggregate, listRetractsKeepsAndMatchesByFunctionExpressionAndFlags)
{
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    auto *data = new TfrxMasterData(page);
    data->SetName(u"MasterData1"_s);
    auto *footer = new TfrxPageFooter(page);
    footer->SetName(u"PageFooter1"_s);
    auto *memo = new TfrxMemoView(footer);
    memo->SetName(u"Memo1"_s);
    memo->SetText(u"[Sum( Value )] [COUNT(MasterData1, 2)] [MAX('(' + 'x')] [Sum('a,b')]"_s);
    ASSERT_TRUE(report.CompileReportScript());

    TfrxAggregateList list(&report);
    list.Collect(data, footer);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(0).Expression, u"Value"_s);
    EXPECT_EQ(list.Items(0).CallText, u"Sum( Value )"_s);
    EXPECT_EQ(list.Items(1).Function, agCount);
    EXPECT_TRUE(list.Items(1).RunningTotal);
    EXPECT_EQ(list.Items(2).Expression, u"'(' + 'x'"_s);
    EXPECT_EQ(list.Items(3).Expression, u"'a,b'"_s);
    EXPECT_TRUE(list.Items(0).IsPageFooter);

    report.Variables.SetValue(u"Value"_s, 5);
    list.Accumulate(data);
    report.Variables.SetValue(u"Value"_s, 7);
    list.Accumulate(data);
    EXPECT_EQ(list.ValueFor(footer, 0, 0, nullptr, u"value"_s, u"SUM"_s), script::Variant(12));
    list.Retract(data);
    EXPECT_EQ(list.ValueFor(footer, 0, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(5));
    // Flags must match: there is no plain COUNT, only the running one.
    EXPECT_TRUE(list.ValueFor(footer, 0, 0, nullptr, QString(), u"COUNT"_s).isNull());
    EXPECT_EQ(list.ValueFor(footer, 0, 2, data, QString(), u"COUNT"_s), script::Variant(1));
    EXPECT_TRUE(list.ValueFor(data, 0, 0, nullptr, u"Value"_s, u"SUM"_s).isNull());

    // Rows added while keeping join the page footer's totals only when the keep ends.
    list.HoldForKeep();
    list.Accumulate(data);
    EXPECT_EQ(list.ValueFor(footer, 0, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(5));
    list.Restart(footer);
    list.ReleaseKeep();
    EXPECT_EQ(list.ValueFor(footer, 0, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(7));
    EXPECT_EQ(list.ValueFor(footer, 0, 2, nullptr, QString(), u"COUNT"_s), script::Variant(2));
    list.RestartAll();
    EXPECT_EQ(list.ValueFor(footer, 0, 2, nullptr, QString(), u"COUNT"_s), script::Variant(0));

    // Vertical columns keep values of their own; True counts as 1.
    report.Variables.SetValue(u"Value"_s, true);
    list.Accumulate(data, 3);
    list.Accumulate(data, 3);
    EXPECT_EQ(list.ValueFor(footer, 3, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(2));
    EXPECT_EQ(list.ValueFor(footer, 0, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(0));
    // A column far past the first thousand keeps its own too; a column that counted nothing shows 0,
    // not the total of the rows.
    list.Accumulate(data, 1500);
    EXPECT_EQ(list.ValueFor(footer, 1500, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(1));
    list.Accumulate(data);
    EXPECT_EQ(list.ValueFor(footer, 0, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(1));
    EXPECT_EQ(list.ValueFor(footer, 7, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(0));
    EXPECT_EQ(list.ValueFor(footer, 7, 2, nullptr, QString(), u"COUNT"_s), script::Variant(0));
}

TEST(frxAggregate, footerTextsMovedIntoAVerticalBandCountOnlyPerColumn)
{
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    auto *data = new TfrxMasterData(page);
    data->SetName(u"MasterData1"_s);
    auto *footer = new TfrxFooter(page);
    footer->SetName(u"Footer1"_s);
    auto *column = new TfrxMasterData(page);
    column->SetName(u"MasterData2"_s);
    column->Vertical = true;
    auto *beside = new TfrxMemoView(footer);
    beside->SetName(u"Memo1"_s);
    beside->SetText(u"[SUM(Value)]"_s);
    // Moved from the footer into the vertical band, as a run does with a cell under a column.
    auto *cell = new TfrxMemoView(column);
    cell->SetName(u"Memo2"_s);
    cell->SetText(u"[SUM(Value)] [COUNT(MasterData1)]"_s);
    cell->SourceBand = footer;
    ASSERT_TRUE(report.CompileReportScript());

    TfrxAggregateList list(&report);
    list.Collect(data, footer);
    list.Collect(column, column);
    ASSERT_EQ(list.Count(), 3); // the cell belongs to the footer, not to the vertical band
    EXPECT_FALSE(list.Items(0).PerColumn);
    EXPECT_TRUE(list.Items(1).PerColumn);
    EXPECT_EQ(list.Items(1).FooterBand, footer);
    EXPECT_EQ(list.Items(2).DataBand, data);

    report.Variables.SetValue(u"Value"_s, 4);
    list.Accumulate(data, 2);
    list.Accumulate(data);
    // The text beside the columns shows the rows; the cell's call at column 0 is not taken for it.
    EXPECT_EQ(list.Items(1).Count, 0);
    EXPECT_EQ(list.ValueFor(footer, 0, 0, nullptr, u"Value"_s, u"SUM"_s), script::Variant(4));
    EXPECT_TRUE(list.ValueFor(footer, 0, 0, nullptr, QString(), u"COUNT"_s).isNull());
    EXPECT_EQ(list.ValueFor(footer, 2, 0, nullptr, QString(), u"COUNT"_s), script::Variant(1));
    EXPECT_EQ(list.ValueFor(footer, 1, 0, nullptr, QString(), u"COUNT"_s), script::Variant(0));
}
