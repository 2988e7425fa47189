// The print run over a recording printer: page selection, copies and collation, order, paper, bin
// and duplex changes, the print modes, termination, the dialog runner and the end steps.
#include "report/output/frxPrintPages.h"

#include "platform/printing.h"
#include "report/objects/frxClass.h"
#include "report/engine/frxPreviewPages.h"
#include "report/output/frxPrinter.h"
#include "support/pdfinfo.h"
#include "tests/support/gui_environment.h"
#include "tests/support/fakehost.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;
using platform::DevicePaper;
using platform::FakePrintDevice;
using platform::FakePrintSystem;

namespace {

QStringList g_errors;

void collectError(const QString &caption, const QString &text)
{
    g_errors.append(caption + u": "_s + text);
}

FakePrintDevice::Setup officePrinter(const QString &name)
{
    FakePrintDevice::Setup setup;
    setup.name = name;
    setup.dpi = 120;
    setup.papers = {DevicePaper{u"A3"_s, 8, QPageSize(QPageSize::A3)},
                    DevicePaper{u"A4"_s, 9, QPageSize(QPageSize::A4)},
                    DevicePaper{u"A5"_s, 11, QPageSize(QPageSize::A5)}};
    setup.bins = {platform::DeviceBin{u"Auto"_s, 7, u"auto"_s}, platform::DeviceBin{u"上层"_s, 1, u"top"_s},
                  platform::DeviceBin{u"下层"_s, 2, u"bottom"_s}};
    return setup;
}

struct PageSpec {
    int paper = 9;
    TPrinterOrientation orientation = poPortrait;
    TfrxDuplexMode duplex = dmNone;
    int bin = 7;
    int binOtherPages = 7;
    // The black view's top and height in millimetres; a height of 0 fills the paper.
    Extended inkTop = 0;
    Extended inkHeight = 0;
};

// Where a printed sheet got ink, in device dots.
QRect Ink(const QPicture &sheet)
{
    QImage image(1800, 1800, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPicture(0, 0, sheet);
    painter.end();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
    return box;
}

class frxPrintRunTest : public ::testing::Test {
protected:
    FakeHost host;
    void SetUp() override
    {
        g_errors.clear();
        host.errorBox = &collectError;
        Install({officePrinter(u"Office"_s), officePrinter(u"Lab"_s)}, u"Office"_s);
        report.ReportOptions.Name = u"请柬"_s;
        report.PrintOptions.ShowDialog = false;
        report.OnProgress = [this](TfrxProgressType kind, int pageNo) {
            if (kind == ptPrinting) printed.append(pageNo);
        };
        report.OnPrintPage = [this](TfrxReportPage *, int copyNo) { copyNumbers.append(copyNo); };
    }
    void TearDown() override
    {
        platform::setPrintSystem(nullptr);
        frxPrinters()->Refill();
    }

    void Install(QList<FakePrintDevice::Setup> printers, const QString &defaultName)
    {
        auto owned = std::make_unique<FakePrintSystem>(std::move(printers), defaultName);
        system = owned.get();
        platform::setPrintSystem(std::move(owned));
        frxPrinters()->Refill();
    }

    FakePrintDevice *Device(const QString &name = u"Office"_s) const { return system->lastOpened(name); }

    // Adds prepared pages, each with a black text object over the whole paper (or a strip of it).
    void AddPages(const QList<PageSpec> &specs)
    {
        TfrxReport source;
        for (const PageSpec &spec : specs) {
            auto *page = new TfrxReportPage(&source);
            page->SetPaperSize(spec.paper);
            page->SetOrientation(spec.orientation);
            page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 0;
            page->Duplex = spec.duplex;
            page->Bin = spec.bin;
            page->BinOtherPages = spec.binOtherPages;
            auto *band = new TfrxMasterData(page);
            const Extended width = page->PaperWidth() * fr01cm, height = page->PaperHeight() * fr01cm;
            band->SetBounds(0, 0, width, height);
            auto *view = new TfrxMemoView(band);
            if (spec.inkHeight > 0)
                view->SetBounds(0, spec.inkTop * fr01cm, width, spec.inkHeight * fr01cm);
            else
                view->SetBounds(0, 0, width, height);
            view->Color = 0;
        }
        report.PreviewPages()->AddFrom(&source);
    }
    void AddA4Pages(int count) { AddPages(QList<PageSpec>(count)); }

    // The device calls that configure the printer or make sheets.
    QStringList JobLog() const
    {
        QStringList lines;
        for (const QString &line : Device()->log())
            if (line.startsWith(u"measure"_s) || line.startsWith(u"jobMode"_s) ||
                line.startsWith(u"beginJob"_s) || line == u"beginPage"_s || line == u"endJob"_s ||
                line == u"abortJob"_s)
                lines.append(line);
        return lines;
    }
    int Count(const QString &line) const { return int(JobLog().count(line)); }
    TfrxPrinter *Office() const { return static_cast<TfrxPrinter *>(frxPrinters()->Current()); }

    FakePrintSystem *system = nullptr;
    TfrxReport report;
    QList<int> printed;
    QList<int> copyNumbers;
};

} // namespace

TEST_F(frxPrintRunTest, collatedCopiesPrintTheWholeReportOnceEach)
{
    AddA4Pages(2);
    report.PrintOptions.Copies = 3;
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(printed, (QList<int>{1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(copyNumbers, (QList<int>{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(Count(u"beginPage"_s), 6);
    EXPECT_EQ(Count(u"beginJob 请柬"_s), 1);
    EXPECT_EQ(Office()->Mode().copies, 1);
    EXPECT_EQ(Device()->pages().size(), 6);
    EXPECT_TRUE(g_errors.isEmpty()) << g_errors.join(u'\n').toStdString();
}

TEST_F(frxPrintRunTest, eachPrintedPageIsFreedBeforeTheNext)
{
    AddA4Pages(4);
    TfrxPreviewPages &pages = *report.PreviewPages();
    for (int i = 0; i < 3; ++i)
        (void)pages.Page(i);
    ASSERT_EQ(pages.PagesInCache(), 3);
    QList<int> cachedWhenTaken;
    report.OnPrintPage = [&](TfrxReportPage *, int) { cachedWhenTaken.append(pages.PagesInCache()); };
    EXPECT_TRUE(PrintPrepared(report));
    // Only the page being printed is held as objects.
    EXPECT_EQ(cachedWhenTaken, (QList<int>{1, 1, 1, 1}));
    EXPECT_EQ(pages.PagesInCache(), 0);
}

TEST_F(frxPrintRunTest, uncollatedCopiesAreLeftToTheDevice)
{
    AddA4Pages(2);
    report.PrintOptions.Copies = 3;
    report.PrintOptions.Collate = false;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(printed, (QList<int>{1, 2}));
    EXPECT_EQ(copyNumbers, (QList<int>{1, 1}));
    EXPECT_EQ(Office()->Mode().copies, 3);
}

TEST_F(frxPrintRunTest, zeroCopiesPrintOneAndTheOptionsComeBack)
{
    AddA4Pages(2);
    EXPECT_EQ(report.PreviewPages()->CopyNo, 0);
    report.PrintOptions.Copies = 0;
    report.PrintOptions.PageNumbers = u"2"_s;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(printed, QList<int>{2});
    EXPECT_EQ(report.PrintOptions.Copies, 0);
    EXPECT_EQ(report.PrintOptions.PageNumbers, u"2"_s);
    // Outside printing no copy is being printed: "[COPYNAME#]" is not the first copy's name.
    EXPECT_EQ(report.PreviewPages()->CopyNo, 0);
}

TEST_F(frxPrintRunTest, pageNumbersOddEvenAndReverseSelectAndOrder)
{
    AddA4Pages(12);
    report.PrintOptions.PageNumbers = u"1,3,5-12"_s;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(printed, (QList<int>{1, 3, 5, 6, 7, 8, 9, 10, 11, 12}));

    printed.clear();
    report.PrintOptions.PageNumbers = u"1-3"_s;
    report.PrintOptions.PrintPages = ppEven;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(printed, QList<int>{2});

    printed.clear();
    report.PrintOptions.PageNumbers = u" 9 -"_s;
    report.PrintOptions.PrintPages = ppOdd;
    report.PrintOptions.Reverse = true;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(printed, (QList<int>{11, 9}));

    // A range that selects nothing prints nothing and starts no job.
    printed.clear();
    Device()->clearLog();
    report.PrintOptions.PageNumbers = u"7-3"_s;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_EQ(Count(u"beginJob 请柬"_s), 0);
}

TEST_F(frxPrintRunTest, unreadablePageNumbersRaiseAfterTheEndSteps)
{
    AddA4Pages(2);
    int ended = 0;
    report.OnAfterPrintReport = [&] { ++ended; };
    report.PrintOptions.PageNumbers = u"1-x"_s;
    EXPECT_THROW(PrintPrepared(report), platform::Error);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(report.PrintOptions.PageNumbers, u"1-x"_s);
    EXPECT_TRUE(printed.isEmpty());
}

TEST_F(frxPrintRunTest, thePrinterIsSetOnlyWhenThePaperChanges)
{
    AddPages({PageSpec{}, PageSpec{}, PageSpec{11}, PageSpec{11}, PageSpec{11, poLandscape}});
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report));
    // The first page keeps the printer's own settings: nothing to measure.
    EXPECT_EQ(JobLog(),
              (QStringList{u"beginJob 请柬"_s, u"beginPage"_s, u"beginPage"_s, u"measure 11 portrait"_s,
                           u"jobMode 11 portrait bin 7 duplex 0 copies 1"_s, u"beginPage"_s, u"beginPage"_s,
                           u"measure 11 landscape"_s, u"jobMode 11 landscape bin 7 duplex 0 copies 1"_s,
                           u"beginPage"_s, u"endJob"_s}));
    EXPECT_EQ(Office()->Paper(), 11);
    EXPECT_EQ(Office()->Orientation(), poLandscape);
}

TEST_F(frxPrintRunTest, theFirstPageTakesItsBinAndTheOthersTheirs)
{
    const PageSpec spec{9, poPortrait, dmNone, 1, 2};
    AddPages({spec, spec, spec});
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(JobLog(), (QStringList{u"measure 9 portrait"_s, u"beginJob 请柬"_s, u"beginPage"_s,
                                     u"measure 9 portrait"_s, u"jobMode 9 portrait bin 2 duplex 0 copies 1"_s,
                                     u"beginPage"_s, u"beginPage"_s, u"endJob"_s}));
}

TEST_F(frxPrintRunTest, collatedDuplexCopiesStartOnANewSheet)
{
    const PageSpec spec{9, poPortrait, dmVertical};
    AddPages({spec, spec, spec});
    report.PrintOptions.Copies = 2;
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(printed, (QList<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(Count(u"beginPage"_s), 8);
    EXPECT_EQ(Office()->Mode().duplex, platform::kDuplexVertical);
    // An even report needs no empty sheet.
    report.PreviewPages()->DeletePage(2);
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(Count(u"beginPage"_s), 4);
}

TEST_F(frxPrintRunTest, theDialogsDuplexChoiceOverridesThePages)
{
    AddA4Pages(3);
    report.PrintOptions.ShowDialog = true;
    host.printDialog = [](TfrxReport &r, int currentPageNo) -> std::optional<int> {
        r.PrintOptions.Copies = 2;
        r.PrintOptions.PageNumbers = QString::number(currentPageNo);
        return 2;
    };
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report, 3));
    EXPECT_EQ(printed, (QList<int>{3, 3}));
    EXPECT_EQ(Office()->Mode().duplex, platform::kDuplexHorizontal);
    // One page a copy: an empty sheet after each.
    EXPECT_EQ(Count(u"beginPage"_s), 4);
    // The dialog's choices held for that run only.
    EXPECT_EQ(report.PrintOptions.Copies, 1);
    EXPECT_TRUE(report.PrintOptions.PageNumbers.isEmpty());
}

TEST_F(frxPrintRunTest, aCancelledDialogPrintsNothing)
{
    AddA4Pages(1);
    report.PrintOptions.ShowDialog = true;
    QStringList events;
    report.OnPrintReport = [&] { events.append(u"print"_s); };
    report.OnAfterPrintReport = [&] { events.append(u"after"_s); };
    host.printDialog = [](TfrxReport &, int) -> std::optional<int> { return std::nullopt; };
    Device()->clearLog();
    EXPECT_FALSE(PrintPrepared(report));
    EXPECT_TRUE(JobLog().isEmpty());
    EXPECT_EQ(events, QStringList{u"after"_s});

    host.printDialog = [](TfrxReport &, int) -> std::optional<int> { return 0; };
    events.clear();
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(events, (QStringList{u"print"_s, u"after"_s}));
}

TEST_F(frxPrintRunTest, thePrinterNamedInTheOptionsIsUsed)
{
    AddA4Pages(1);
    report.PrintOptions.Printer = u"lab"_s;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(frxPrinters()->Current()->Name(), u"Lab"_s);
    EXPECT_EQ(Device(u"Lab"_s)->pages().size(), 1);

    // The default "预设" names no printer and leaves the current one.
    report.PrintOptions.Printer = u"预设"_s;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(Device(u"Lab"_s)->pages().size(), 1);
}

TEST_F(frxPrintRunTest, terminationAbortsTheJobAtTheNextPage)
{
    AddA4Pages(4);
    report.PrintOptions.Copies = 2;
    report.OnProgress = [this](TfrxProgressType kind, int pageNo) {
        if (kind != ptPrinting) return;
        printed.append(pageNo);
        if (pageNo == 2) report.Terminated = true;
    };
    Device()->clearLog();
    EXPECT_FALSE(PrintPrepared(report));
    EXPECT_EQ(printed, (QList<int>{1, 2}));
    EXPECT_EQ(JobLog().last(), u"abortJob"_s);
    EXPECT_EQ(Count(u"endJob"_s), 0);
}

TEST_F(frxPrintRunTest, withoutPrintersNothingPrints)
{
    Install({}, QString());
    AddA4Pages(1);
    int ended = 0;
    report.OnAfterPrintReport = [&] { ++ended; };
    EXPECT_FALSE(PrintPrepared(report));
    EXPECT_EQ(g_errors, QStringList{u"错误: 在你的系统没有安装打印机"_s});
    EXPECT_EQ(ended, 0);
}

TEST_F(frxPrintRunTest, anUnreachablePrinterIsReportedAndTheEndStepsRun)
{
    FakePrintDevice::Setup broken = officePrinter(u"Broken"_s);
    broken.defaultMode.reset();
    Install({broken}, u"Broken"_s);
    AddA4Pages(1);
    int ended = 0;
    report.OnAfterPrintReport = [&] { ++ended; };
    EXPECT_FALSE(PrintPrepared(report));
    ASSERT_EQ(g_errors.size(), 1);
    EXPECT_TRUE(g_errors[0].startsWith(u"错误: 打印机“Broken”不能使用（Printer selected is not valid）"_s))
        << g_errors[0].toStdString();
    EXPECT_EQ(ended, 1);
}

TEST_F(frxPrintRunTest, scaleStretchesEachPageToTheSheet)
{
    AddPages({PageSpec{11}});
    report.PrintOptions.PrintMode = pmScale;
    report.PrintOptions.PrintOnSheet = 9;
    Extended scale = 0;
    report.OnProgress = [&](TfrxProgressType kind, int) {
        if (kind == ptPrinting) scale = report.PreviewPages()->PrintScale;
    };
    EXPECT_TRUE(PrintPrepared(report));
    // A5 (148 x 210) onto A4 (210 x 297): both ratios near 1.414, the smaller one for the fonts.
    EXPECT_NEAR(double(scale), 297.0 / 210.0, 0.002);
    ASSERT_EQ(Device()->pages().size(), 1);
    // The page's black view fills the A4 sheet at 120 dots per inch.
    const QRect ink = Ink(Device()->pages().first());
    EXPECT_NEAR(ink.width(), 210 / 25.4 * 120, 2);
    EXPECT_NEAR(ink.height(), 297 / 25.4 * 120, 2);
    EXPECT_EQ(Office()->Paper(), 9);
    EXPECT_EQ(report.PreviewPages()->PrintScale, 1);
}

TEST_F(frxPrintRunTest, splitPrintsALargePageOverTurnedSheets)
{
    PageSpec a3{8};
    a3.inkTop = 250;
    a3.inkHeight = 50;
    AddPages({a3});
    report.PrintOptions.PrintMode = pmSplit;
    report.PrintOptions.PrintOnSheet = 9;
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report));
    // A3 over A4: two landscape sheets, the second showing the lower half.
    EXPECT_EQ(Count(u"beginPage"_s), 2);
    EXPECT_EQ(Office()->Orientation(), poLandscape);
    ASSERT_EQ(Device()->pages().size(), 2);
    // The ink 250 to 300 mm down the page lies on the second sheet, 40 mm down.
    EXPECT_TRUE(Ink(Device()->pages()[0]).isEmpty());
    const QRect second = Ink(Device()->pages()[1]);
    EXPECT_NEAR(second.top(), 40 / 25.4 * 120, 2);
    EXPECT_NEAR(second.height(), 50 / 25.4 * 120, 2);
    EXPECT_NEAR(second.width(), 297 / 25.4 * 120, 2);
    EXPECT_EQ(printed, (QList<int>{1, 1}));
}

TEST_F(frxPrintRunTest, joinPutsSmallPagesSideBySideWithEveryCopy)
{
    AddPages({PageSpec{11}, PageSpec{11}});
    report.PrintOptions.PrintMode = pmJoin;
    report.PrintOptions.PrintOnSheet = 9;
    report.PrintOptions.Copies = 2;
    Device()->clearLog();
    EXPECT_TRUE(PrintPrepared(report));
    // Two A5 pages fit a landscape A4 sheet: pages 1, 1 on the first sheet, 2, 2 on the second.
    EXPECT_EQ(Count(u"beginPage"_s), 2);
    EXPECT_EQ(copyNumbers, (QList<int>{1, 2, 1, 2}));
    EXPECT_EQ(Office()->Orientation(), poLandscape);
    ASSERT_EQ(Device()->pages().size(), 2);
    const QRect ink = Ink(Device()->pages()[0]);
    EXPECT_NEAR(ink.width(), 2 * 148 / 25.4 * 120, 3);
    EXPECT_NEAR(ink.height(), 210 / 25.4 * 120, 2);
}

TEST(frxTiling, partsOfElevenMillimetresCountAsATile)
{
    // Split: A3 over A4 takes two turned sheets instead of four upright ones.
    EXPECT_EQ(frxTiling(297, 420, 210, 297, false), (TfrxTiling{1, 2, true}));
    EXPECT_EQ(frxTiling(210, 297, 210, 297, false), (TfrxTiling{1, 1, false}));
    // 20 mm over: one more column; 5 mm over: rounded away.
    EXPECT_EQ(frxTiling(230, 297, 210, 297, false), (TfrxTiling{2, 1, false}));
    EXPECT_EQ(frxTiling(215, 297, 210, 297, false), (TfrxTiling{1, 1, false}));
    // A page much smaller than the sheet still prints on one.
    EXPECT_EQ(frxTiling(8, 8, 210, 297, false), (TfrxTiling{1, 1, false}));
    // Join: two A5 pages on a turned A4 sheet, four A6 on an upright one.
    EXPECT_EQ(frxTiling(148, 210, 210, 297, true), (TfrxTiling{2, 1, true}));
    EXPECT_EQ(frxTiling(105, 148, 210, 297, true), (TfrxTiling{2, 2, false}));
}

TEST_F(frxPrintRunTest, printingToAFileWritesOnePdfPagePerPage)
{
    AddPages({PageSpec{}, PageSpec{11}});
    QTemporaryDir dir;
    const QString file = dir.filePath(u"cards.prn"_s);
    Office()->SetOutputFile(file);
    EXPECT_TRUE(PrintPrepared(report));
    const QList<QSizeF> sizes = testing_support::pdfPageSizes(file);
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_TRUE(testing_support::samePoints(sizes[0], QSizeF(595.3, 841.9)));
    EXPECT_TRUE(testing_support::samePoints(sizes[1], QSizeF(419.5, 595.3)));
}

TEST_F(frxPrintRunTest, aFileGetsTheInkWhereThePageHasItWhateverThePrintersMargins)
{
    FakePrintDevice::Setup margins = officePrinter(u"Margins"_s);
    margins.marginLeft = margins.marginTop = 60; // half an inch at 120 dpi
    margins.marginRight = margins.marginBottom = 30;
    Install({margins}, u"Margins"_s);
    // A strip from 100 to 120 mm down the page, across the whole width.
    AddPages({PageSpec{9, poPortrait, dmNone, 7, 7, 100, 20}});
    QTemporaryDir dir;
    const QString file = dir.filePath(u"cards.pdf"_s);
    Office()->SetOutputFile(file);
    ASSERT_TRUE(PrintPrepared(report));
    const QImage sheet = testing_support::pdfPageImage(file, 1, 254); // 10 dots a millimetre
    if (sheet.isNull()) GTEST_SKIP() << "poppler-utils is not installed";
    const QRect ink = testing_support::darkBounds(sheet);
    EXPECT_NEAR(ink.left(), 0, 2);
    EXPECT_NEAR(ink.right(), 2100, 3);
    EXPECT_NEAR(ink.top(), 1000, 2);
    EXPECT_NEAR(ink.bottom(), 1200, 2);
}

TEST_F(frxPrintRunTest, thePrintersShiftMovesEverythingPrintedOnThatPrinterOnly)
{
    AddPages({PageSpec{9, poPortrait, dmNone, 7, 7, 100, 50}});
    EXPECT_TRUE(PrintPrepared(report));
    const QRect unmoved = Ink(Device()->pages().first());
    QStringList asked;
    report.OnPrinterShift = [&asked](const QString &printer) {
        asked.append(printer);
        return printer == u"Office"_s ? QPointF(5, -2) : QPointF();
    };
    EXPECT_TRUE(PrintPrepared(report));
    const QRect moved = Ink(Device()->pages().first());
    EXPECT_EQ(asked, QStringList{u"Office"_s});
    // 120 dots per inch: 5 mm right and 2 mm up.
    EXPECT_NEAR(moved.left() - unmoved.left(), 5 / 25.4 * 120, 1);
    EXPECT_NEAR(moved.top() - unmoved.top(), -2 / 25.4 * 120, 1);

    report.PrintOptions.Printer = u"Lab"_s;
    EXPECT_TRUE(PrintPrepared(report));
    EXPECT_EQ(Ink(Device(u"Lab"_s)->pages().first()), unmoved);
}
