#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxEngine.h"
#include "report/engine/frxPreviewPages.h"
#include "report/base/frxRes.h"
#include "tests/support/gui_environment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

// A text object that needs `extra` more units than it has.
class GrowingMemo : public TfrxMemoView {
public:
    using TfrxMemoView::TfrxMemoView;
    Extended extra = 0;
    Extended CalcHeight() override { return Height() + extra; }
};

// A report with one page and the guest data set, built the way the card template describes it.
struct Fixture {
    TfrxReport report;
    TfrxUserDataSet guests;
    QStringList names;
    QStringList groups;
    TfrxReportPage *page = nullptr;

    Fixture()
    {
        report.EngineOptions.NewSilentMode = simSilent;
        // The tests look at the definition's objects after a run; reading the saved definition back
        // would replace them.
        report.EngineOptions.DestroyForms = false;
        guests.SetName(u"frxdbdtst1"_s);
        guests.Fields = {u"姓名"_s, u"g"_s};
        guests.RangeEnd = reCount;
        guests.OnGetValue = [this](const QString &field, script::Variant &value) {
            const int row = guests.RecNo;
            if (field == u"姓名"_s && row < names.size()) value = names.at(row);
            if (field == u"g"_s && row < groups.size()) value = groups.at(row);
        };
        report.Datasets.Add()->SetDataSet(&guests);
        new TfrxDataPage(&report);
        page = new TfrxReportPage(&report);
        page->SetName(u"Page1"_s);
        page->SetPaperWidth(210);
        page->SetPaperHeight(290);
    }
    void setGuests(const QStringList &list)
    {
        names = list;
        guests.RangeEndCount = int(list.size());
    }
    template <typename Band> Band *band(const QString &name, Extended top, Extended height)
    {
        auto *b = new Band(page);
        b->SetName(name);
        b->SetBounds(0, top, 700, height);
        return b;
    }
    TfrxMasterData *master(const QString &name, Extended top, Extended height)
    {
        auto *b = band<TfrxMasterData>(name, top, height);
        b->SetDataSet(&guests);
        return b;
    }
    static TfrxMemoView *memo(TfrxBand *owner, const QString &name, Extended top, Extended height,
                              const QString &text = {})
    {
        auto *m = new TfrxMemoView(owner);
        m->SetName(name);
        m->SetBounds(10, top, 100, height);
        m->SetText(text);
        return m;
    }
    bool prepare() { return report.PrepareReport(true); }
    TfrxPreviewPages &pages() { return *report.PreviewPages(); }

    // "Name@top" of every band on a prepared page, in order.
    QStringList bandsOn(int index)
    {
        QStringList result;
        const TfrxXMLItem *item = pages().PageItem(index);
        for (int i = 0; i < item->Count(); ++i) {
            const TfrxXMLItem *b = item->Items(i);
            TfrxComponent *source = pages().Dictionary().GetObject(b->Name());
            const QString top = b->Prop(u"t");
            result << (source ? source->Name() : b->Name()) + u"@"_s +
                          (top.isEmpty() && source ? QString::number(double(source->Top())) : top);
        }
        return result;
    }
    // The stored value of an attribute of the k-th object of the i-th band of a page.
    QString objectProp(int pageIndex, int bandIndex, int objectIndex, QStringView name)
    {
        return pages().PageItem(pageIndex)->Items(bandIndex)->Items(objectIndex)->Prop(name);
    }
};

} // namespace

TEST(frxEngine, cardReportGivesOnePageNamedPage0PerGuestWithTheBandAtTop0)
{
    for (Extended margin : {Extended(0), Extended(10)}) {
        Fixture f;
        f.page->TopMargin = f.page->BottomMargin = f.page->LeftMargin = f.page->RightMargin = margin;
        f.setGuests({u"张三"_s, u"李四"_s, u"王五"_s});
        TfrxMasterData *card = f.master(u"MasterData1"_s, 18.89765, 812.59895);
        TfrxMemoView *name = Fixture::memo(card, u"m0"_s, 139.84261, 393.07112, u"[frxdbdtst1.\"姓名\"]"_s);
        name->SetDataSet(&f.guests);
        name->DataField = u"姓名"_s;
        Fixture::memo(card, u"m1"_s, 105.82684, 124.72449, u"二零零九"_s);
        ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();

        ASSERT_EQ(f.pages().Count(), 3);
        const QStringList guests{u"张三"_s, u"李四"_s, u"王五"_s};
        for (int i = 0; i < 3; ++i) {
            const TfrxXMLItem *item = f.pages().PageItem(i);
            EXPECT_EQ(item->Name(), u"page0"_s);
            ASSERT_EQ(item->Count(), 1);
            EXPECT_EQ(item->Items(0)->Name(), u"b1"_s);
            EXPECT_EQ(item->Items(0)->Prop(u"t"), u"0"_s);
            ASSERT_EQ(item->Items(0)->Count(), 2);
            EXPECT_EQ(item->Items(0)->Items(0)->Name(), u"m1"_s);
            EXPECT_EQ(f.objectProp(i, 0, 0, u"u").trimmed(), guests[i]);
            // The fixed text keeps its designed place.
            EXPECT_EQ(f.objectProp(i, 0, 1, u"u").trimmed(), u"二零零九"_s);
            EXPECT_TRUE(f.objectProp(i, 0, 1, u"t").isEmpty());
        }
        // The definition is back as designed.
        EXPECT_DOUBLE_EQ(double(card->Top()), 18.89765);
        EXPECT_EQ(name->Text(), u"王五\r\n"_s);
        EXPECT_EQ(f.report.FindObject(u"m1")->Top(), Extended(105.82684));
    }
}

TEST(frxEngine, emptyDataPrintsThePageOnlyWithPrintIfEmpty)
{
    Fixture f;
    f.setGuests({});
    Fixture::memo(f.master(u"MasterData1"_s, 20, 800), u"m0"_s, 0, 20);
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.pages().Count(), 1);
    EXPECT_EQ(f.pages().PageItem(0)->Count(), 0);

    f.report.EngineOptions.PrintIfEmpty = false;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.pages().Count(), 0);
}

TEST(frxEngine, bandsStackDownThePageAndBreakWhenFull)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s});
    // 1096.06 units of page: a header of 100 and bands of 300 leave room for three rows a page.
    f.band<TfrxPageHeader>(u"PageHeader1"_s, 0, 100);
    TfrxMasterData *row = f.master(u"MasterData1"_s, 200, 300);
    Fixture::memo(row, u"m0"_s, 0, 20, u"[Line]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 2);
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"PageHeader1@0"_s, u"MasterData1@100"_s, u"MasterData1@400"_s,
                                         u"MasterData1@700"_s}));
    EXPECT_EQ(f.bandsOn(1), (QStringList{u"PageHeader1@0"_s, u"MasterData1@100"_s, u"MasterData1@400"_s}));
    // Line counts the rows of the band.
    EXPECT_EQ(f.objectProp(1, 2, 0, u"u").trimmed(), u"5"_s);
}

TEST(frxEngine, pageFooterSkipsTheFirstPageWithoutPrintOnFirstPage)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s});
    auto *footer = f.band<TfrxPageFooter>(u"PageFooter1"_s, 900, 50);
    footer->PrintOnFirstPage = false;
    f.master(u"MasterData1"_s, 100, 600);
    ASSERT_TRUE(f.prepare());
    ASSERT_EQ(f.pages().Count(), 3);
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s}));
    // The footer sits at the bottom of the printable height (1096.06 - 50).
    EXPECT_EQ(f.bandsOn(1).last().left(15), u"PageFooter1@104"_s);
    EXPECT_EQ(f.bandsOn(2).size(), 2);
}

TEST(frxEngine, headerAndFooterFrameTheRowsAndRowCountLimitsThem)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    f.band<TfrxHeader>(u"Header1"_s, 50, 30);
    TfrxMasterData *row = f.master(u"MasterData1"_s, 100, 40);
    row->RowCount = 3;
    f.band<TfrxFooter>(u"Footer1"_s, 200, 20);
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"Header1@0"_s, u"MasterData1@30"_s, u"MasterData1@70"_s,
                                         u"MasterData1@110"_s, u"Footer1@150"_s}));
}

TEST(frxEngine, bandTreeLogsMisplacedBandsAndDoesNotRun)
{
    Fixture f;
    f.setGuests({u"a"_s});
    auto *detail = f.band<TfrxDetailData>(u"DetailData1"_s, 10, 20);
    detail->SetDataSet(&f.guests);
    f.master(u"MasterData1"_s, 100, 40);
    f.band<TfrxFooter>(u"Footer1"_s, 300, 20);
    f.band<TfrxFooter>(u"Footer2"_s, 400, 20);
    EXPECT_FALSE(f.prepare());
    EXPECT_EQ(f.report.ErrorList.Lines(), (QStringList{frxGet(u"enBandPos"_s) + u" DetailData1"_s,
                                                       frxGet(u"enUnconnHeader"_s) + u" Footer2"_s}));
    EXPECT_EQ(f.pages().Count(), 0);
}

TEST(frxEngine, bandsAtTheSameTopPrintOnlyTheFirstAndBandsWithoutDataNothing)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s});
    f.master(u"MasterData1"_s, 100, 40);
    f.master(u"MasterData2"_s, 100.001, 40);
    f.band<TfrxMasterData>(u"MasterData3"_s, 300, 40); // no data set
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s, u"MasterData1@40"_s}));
}

TEST(frxEngine, groupsPrintHeadersAndFootersWhenTheConditionChanges)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    f.groups = {u"x"_s, u"x"_s, u"y"_s, u"z"_s};
    auto *header = f.band<TfrxGroupHeader>(u"GroupHeader1"_s, 50, 10);
    header->Condition = u"frxdbdtst1.\"g\""_s;
    f.master(u"MasterData1"_s, 100, 20);
    auto *footer = f.band<TfrxGroupFooter>(u"GroupFooter1"_s, 200, 5);
    footer->HideIfSingleDataRecord = true;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.bandsOn(0), (QStringList{u"GroupHeader1@0"_s, u"MasterData1@10"_s, u"MasterData1@30"_s,
                                         u"GroupFooter1@50"_s, u"GroupHeader1@55"_s, u"MasterData1@65"_s,
                                         u"GroupHeader1@85"_s, u"MasterData1@95"_s}));
}

TEST(frxEngine, startNewPageBreaksBeforeEveryRowButTheFirst)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s});
    f.master(u"MasterData1"_s, 100, 40)->StartNewPage = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.pages().Count(), 3);
    EXPECT_EQ(f.bandsOn(2), (QStringList{u"MasterData1@0"_s}));
}

TEST(frxEngine, keepTogetherMovesTheHeaderWithItsFirstRow)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    f.master(u"MasterData1"_s, 10, 1000); // fills the first page
    auto *detailHeader = f.band<TfrxHeader>(u"Header2"_s, 100, 50);
    auto *second = f.band<TfrxMasterData>(u"MasterData2"_s, 200, 90);
    second->SetDataSet(&f.guests);
    second->KeepHeader = true;
    second->RowCount = 1;
    (void)detailHeader;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // Last page: the fourth big row (1000) leaves 96 units: the header (50) would fit, the row
    // (90) not, so both move together to a new page.
    const int last = f.pages().Count() - 1;
    EXPECT_EQ(f.bandsOn(last), (QStringList{u"Header2@0"_s, u"MasterData2@50"_s}));
    EXPECT_EQ(f.bandsOn(last - 1), (QStringList{u"MasterData1@0"_s}));
}

TEST(frxEngine, grownObjectsShiftTheObjectBelowOncePerObjectAbove)
{
    Fixture f;
    f.setGuests({u"a"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 100, 200);
    row->Stretched = true;
    auto add = [&](const QString &name, Extended left, Extended top, Extended width, Extended extra,
                   TfrxShiftMode shift = smAlways) {
        auto *m = new GrowingMemo(row);
        m->SetName(name);
        m->SetBounds(left, top, width, 20);
        m->StretchMode = extra > 0 ? smActualHeight : smDontStretch;
        m->extra = extra;
        m->ShiftMode = shift;
        return m;
    };
    add(u"left"_s, 0, 0, 100, 10);
    add(u"right"_s, 150, 0, 100, 30);
    add(u"below"_s, 0, 50, 300, 0);
    add(u"aside"_s, 400, 25, 100, 0, smWhenOverlapped);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // Shifted by both growths (10 + 30); the band grows around it.
    EXPECT_EQ(f.objectProp(0, 0, 2, u"t"), u"90"_s);
    EXPECT_EQ(f.pages().PageItem(0)->Items(0)->Prop(u"h"), u"110"_s);
    // Nothing above it grew into it: it stays.
    EXPECT_EQ(f.objectProp(0, 0, 3, u"t"), QString());
}

TEST(frxEngine, maxHeightObjectsReachTheLowestBottomOfTheBand)
{
    Fixture f;
    f.setGuests({u"a"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 100, 200);
    auto *tall = Fixture::memo(row, u"tall"_s, 0, 150);
    auto *max = Fixture::memo(row, u"max"_s, 10, 20);
    max->StretchMode = smMaxHeight;
    (void)tall;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.objectProp(0, 0, 1, u"h"), u"140"_s);
}

TEST(frxEngine, aBandTallerThanThreePagesIsSplitIntoParts)
{
    Fixture f;
    f.setGuests({u"a"_s});
    f.page->SetPaperHeight(100); // 377.95 units of page
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 1000);
    // Shapes cannot be split, so each one moves whole into the part that has room for it.
    for (auto [name, top] : {std::pair{u"top"_s, 0}, {u"middle"_s, 350}, {u"low"_s, 800}}) {
        auto *shape = new TfrxShapeView(row);
        shape->SetName(name);
        shape->SetBounds(10, top, 100, 100);
    }
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(f.pages().PageItem(i)->Count(), 1);
        EXPECT_EQ(f.bandsOn(i).first(), u"MasterData1@0"_s);
        EXPECT_EQ(f.pages().PageItem(i)->Items(0)->Count(), 1);
    }
    // The middle object starts its part at the top of the second page.
    EXPECT_EQ(f.objectProp(1, 0, 0, u"t"), u"0"_s);
    EXPECT_EQ(f.pages().Dictionary().GetObject(f.pages().PageItem(2)->Items(0)->Items(0)->Name())->Name(),
              u"low"_s);
    EXPECT_EQ(row->Objects().size(), 3);
    EXPECT_EQ(row->Height(), Extended(1000));
}

TEST(frxEngine, expressionsOfUnboundTextsAreExpandedAndFailuresStopTheRun)
{
    Fixture f;
    f.setGuests({u"张三"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    Fixture::memo(row, u"m0"_s, 0, 20, u"致 [frxdbdtst1.\"姓名\"] 先生 [1+2 #n%2,2f]"_s);
    Fixture::memo(row, u"m1"_s, 20, 20, u"[nosuchname]"_s);
    EXPECT_FALSE(f.prepare());
    ASSERT_EQ(f.report.ErrorList.Count(), 1);
    EXPECT_TRUE(f.report.ErrorList.Lines().first().startsWith(u"m1: "_s + frxGet(u"clExprError"_s)));

    row->Objects().last()->SetVisible(false);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.objectProp(0, 0, 0, u"u").trimmed(), u"致 张三 先生 3,00"_s);
}

TEST(frxEngine, doublePassKnowsTheFirstPassPageCount)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s});
    f.report.EngineOptions.DoublePass = true;
    f.master(u"MasterData1"_s, 0, 800);
    Fixture::memo(f.band<TfrxPageFooter>(u"PageFooter1"_s, 900, 20), u"m0"_s, 0, 20,
                  u"[TotalPages#]/[Page#] [TotalPages]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 2);
    // The marker is left for drawing; the first pass's count is known in the final pass.
    EXPECT_EQ(f.objectProp(1, 1, 0, u"u").trimmed(), u"[TotalPages#]/2 2"_s);
    EXPECT_EQ(f.report.Engine()->TotalPages(), 2);
}

TEST(frxEngine, stopReportFromAnEventEndsTheRecordLoop)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    f.master(u"MasterData1"_s, 0, 800);
    int shown = 0;
    f.report.OnBeforePrint = [&](TfrxReportComponent *c) {
        if (dynamic_cast<TfrxMasterData *>(c) && ++shown == 2) f.report.Engine()->StopReport();
    };
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.pages().Count(), 2);
}

namespace {

struct RecordingPreview : TfrxPreparationObserver {
    QStringList events;
    void PreparationStarted() override { events << u"started"_s; }
    void PageProduced(int pageIndex) override { events << u"page %1"_s.arg(pageIndex); }
    void PreparationFinished() override { events << u"finished"_s; }
};

} // namespace

TEST(frxReportPreparation, showReportPreparesOnTheTimerTickAndTellsThePreview)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s});
    f.master(u"MasterData1"_s, 0, 800);
    RecordingPreview preview;
    f.report.PreviewControl = &preview;
    f.report.ShowReport(true);
    // Nothing is prepared before the timer fires from the event loop.
    EXPECT_TRUE(f.report.PreparationTimerActive());
    EXPECT_EQ(f.pages().Count(), 0);
    while (f.report.PreparationTimerActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_EQ(f.pages().Count(), 2);
    EXPECT_EQ(preview.events, (QStringList{u"started"_s, u"page 0"_s, u"page 1"_s, u"finished"_s}));

    // Appending keeps the pages already there.
    EXPECT_TRUE(f.report.PrepareReport(false));
    EXPECT_EQ(f.pages().Count(), 4);
}

TEST(frxReportPreparation, aMissingDataSetIsReportedAndNothingRuns)
{
    Fixture f;
    f.setGuests({u"a"_s});
    f.master(u"MasterData1"_s, 0, 800);
    f.report.Datasets.Add()->SetDataSetName(u"gone"_s);
    QString shown;
    f.report.EngineOptions.NewSilentMode = simReThrow;
    try {
        f.report.PrepareReport(true);
    } catch (const platform::Error &e) {
        shown = e.message();
    }
    EXPECT_TRUE(shown.startsWith(frxGet(u"clErrors"_s) + u"\r\n"_s));
    EXPECT_TRUE(shown.contains(frxGet(u"clDSNotExist"_s).replace(u"%s"_s, QString()).left(3)));
    EXPECT_EQ(f.pages().Count(), 0);
}

TEST(frxReportPreparation, scriptEventsRunOnlyDuringTheRunAndCompileErrorsAreLogged)
{
    Fixture f;
    f.setGuests({u"a"_s, u"b"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    Fixture::memo(row, u"m0"_s, 0, 20, u"[Counter]"_s);
    f.report.ScriptText = {u"var Counter: Integer;"_s, u"procedure RowBefore(Sender: Variant);"_s,
                           u"begin Counter := Counter + 10; end;"_s, u"begin Counter := 1; end."_s};
    row->OnBeforePrint = u"RowBefore"_s;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.objectProp(0, 0, 0, u"u").trimmed(), u"11"_s);
    EXPECT_EQ(f.objectProp(0, 1, 0, u"u").trimmed(), u"21"_s);

    f.report.ScriptText = {u"begin x := ; end."_s};
    EXPECT_FALSE(f.prepare());
    ASSERT_EQ(f.report.ErrorList.Count(), 1);
    EXPECT_TRUE(f.report.ErrorList.Lines().first().startsWith(u"Script"_s));
}

TEST(frxReportPreparation, whatAScriptChangesInTheDefinitionIsUndoneForTheNextRun)
{
    Fixture f;
    f.report.EngineOptions.DestroyForms = true;
    f.report.ReportOptions.Password = u"口令"_s;
    f.setGuests({u"a"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    Fixture::memo(row, u"Memo1"_s, 0, 20, u"设计"_s);
    Fixture::memo(row, u"Memo2"_s, 20, 20, u"可见"_s);
    // The main block sees whether an earlier run's change is still there.
    f.report.ScriptText = {u"begin"_s,
                           u"  if Memo2.Visible then Memo1.Text := '第一次' else Memo1.Text := '又一次';"_s,
                           u"  Memo2.Visible := False;"_s, u"end."_s};
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
        ASSERT_EQ(f.bandsOn(0), (QStringList{u"MasterData1@0"_s}));
        ASSERT_EQ(f.pages().PageItem(0)->Items(0)->Count(), 1);
        EXPECT_EQ(f.objectProp(0, 0, 0, u"u").trimmed(), u"第一次"_s) << "run " << run;
        auto *memo1 = dynamic_cast<TfrxMemoView *>(f.report.FindObject(u"Memo1"_s));
        ASSERT_TRUE(memo1);
        EXPECT_EQ(memo1->Text(), u"设计\r\n"_s);
        EXPECT_TRUE(f.report.FindObject(u"Memo2"_s)->Visible());
        EXPECT_EQ(f.report.ReportOptions.Password, u"口令"_s);
    }

    // The errors of a failing run are the ones kept after the definition is read back.
    auto *memo2 = dynamic_cast<TfrxMemoView *>(f.report.FindObject(u"Memo2"_s));
    memo2->SetText(u"[没有这个名字]"_s);
    f.report.ScriptText = {u"begin end."_s};
    EXPECT_FALSE(f.prepare());
    ASSERT_EQ(f.report.ErrorList.Count(), 1);
    EXPECT_TRUE(f.report.ErrorList.Lines().first().startsWith(u"Memo2: "_s))
        << f.report.ErrorList.Text().toStdString();

    // A script may switch the option off; the change then stays.
    dynamic_cast<TfrxMemoView *>(f.report.FindObject(u"Memo2"_s))->SetText(u"可见"_s);
    f.report.ScriptText = {u"begin Memo1.Text := '留下'; Report.EngineOptions.DestroyForms := False; end."_s};
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(dynamic_cast<TfrxMemoView *>(f.report.FindObject(u"Memo1"_s))->Text(), u"留下\r\n"_s);
}
