#include "report/ui/frxProgress.h"

#include "report/objects/frxDBSet.h"
#include "report/engine/frxPreviewPages.h"
#include "tests/support/fakehost.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

// A visible, active top-level window standing for the preview.
struct ActiveWindow {
    QWidget window;
    ActiveWindow()
    {
        window.resize(400, 300);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

} // namespace

TEST(frxProgress, cancelSetsTerminatedAndCloses)
{
    TfrxProgress progress;
    progress.StartProgress(0, QString(), false, true);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_FALSE(progress.CancelRequested());
    EXPECT_EQ(progress.CancelB->text(), u"取消"_s);
    progress.CancelB->click();
    EXPECT_TRUE(progress.CancelRequested());
    EXPECT_FALSE(progress.isVisible());
    // A new run starts without the old request.
    progress.StartProgress(3, u"打印页1"_s, true, true);
    EXPECT_FALSE(progress.CancelRequested());
}

TEST(frxProgress, disablesTheActiveWindowWhileItExists)
{
    ActiveWindow active;
    ASSERT_EQ(QApplication::activeWindow(), &active.window);
    {
        TfrxProgress progress;
        EXPECT_EQ(progress.ActiveForm(), &active.window);
        EXPECT_FALSE(active.window.isEnabled());
        progress.StartProgress(0, QString(), false, true);
        EXPECT_TRUE(progress.CancelB->isEnabled());
    }
    EXPECT_TRUE(active.window.isEnabled());

    TfrxProgress progress;
    progress.StartProgress(0, QString(), false, true);
    progress.CancelB->click();
    EXPECT_TRUE(active.window.isEnabled());
}

TEST(frxProgress, barMovesTheMessage)
{
    TfrxProgress progress;
    progress.StartProgress(10, u"打印页1"_s, true, false);
    EXPECT_TRUE(progress.Bar->isVisible());
    EXPECT_FALSE(progress.CancelB->isVisible());
    EXPECT_EQ(progress.LMessage->y(), 15);
    EXPECT_EQ(progress.Bar->maximum(), 10);
    progress.SetProgressPosition(4);
    EXPECT_EQ(progress.Bar->value(), 4);
    progress.SetProgressText(u"打印页2"_s);
    EXPECT_EQ(progress.LMessage->text(), u"打印页2"_s);
    progress.ShowBar(false);
    EXPECT_EQ(progress.LMessage->y(), 35);
    EXPECT_FALSE(progress.Bar->isVisible());
    EXPECT_EQ(progress.size(), QSize(271, 101));
}

TEST(frxProgress, staysOnTheMonitor)
{
    ActiveWindow active;
    const QRect area = active.window.screen()->availableGeometry();
    active.window.move(area.right() - 100, area.bottom() - 50);
    TfrxProgress progress;
    progress.StartProgress(0, QString(), false, true);
    EXPECT_TRUE(area.contains(progress.frameGeometry())) << progress.frameGeometry().x();
}

TEST(frxProgressDisplay, printingShowsPagesAndCancelTerminatesAtTheNextPage)
{
    TfrxReport report;
    TfrxProgressDisplay display(&report);
    display.Start(ptPrinting);
    ASSERT_NE(display.Window(), nullptr);
    EXPECT_TRUE(display.Window()->isVisible());
    display.Progress(ptPrinting, 1);
    EXPECT_EQ(display.Window()->LMessage->text(), u"打印页1"_s);
    display.Progress(ptPrinting, 2);
    EXPECT_EQ(display.Window()->LMessage->text(), u"打印页2"_s);
    display.Window()->CancelB->click();
    // The request waits for the next page.
    EXPECT_FALSE(report.Terminated);
    display.Progress(ptPrinting, 3);
    EXPECT_TRUE(report.Terminated);
    display.Stop(ptPrinting);
    EXPECT_EQ(display.Window(), nullptr);
}

TEST(frxProgressDisplay, preparingShowsAWindowOnlyInTheOldStyle)
{
    TfrxReport report;
    TfrxProgressDisplay display(&report);
    display.Start(ptRunning);
    EXPECT_EQ(display.Window(), nullptr);
    report.OldStyleProgress = true;
    display.Start(ptRunning);
    ASSERT_NE(display.Window(), nullptr);
    display.Progress(ptRunning, 4, true);
    EXPECT_EQ(display.Window()->LMessage->text(), u"第一遍处理页4"_s);
    display.Progress(ptRunning, 5);
    EXPECT_EQ(display.Window()->LMessage->text(), u"正在生成页 5"_s);
    display.Stop(ptRunning);
    report.ShowProgress = false;
    display.Start(ptExporting);
    EXPECT_EQ(display.Window(), nullptr);
}

TEST(frxProgressDisplay, reportPreparationDrivesTheWindowAndItsCancel)
{
    TfrxReport report;
    report.EngineOptions.NewSilentMode = simSilent;
    report.OldStyleProgress = true;
    TfrxUserDataSet guests;
    guests.SetName(u"frxdbdtst1"_s);
    guests.RangeEnd = reCount;
    guests.RangeEndCount = 50;
    report.Datasets.Add()->SetDataSet(&guests);
    auto *band = new TfrxMasterData(new TfrxReportPage(&report));
    band->SetBounds(0, 0, 700, 800);
    band->SetDataSet(&guests);

    TfrxProgressDisplay *display = nullptr;
    FakeHost host;
    host.progressWindow = [&](TfrxReport *owner) -> std::unique_ptr<TfrxProgressWindow> {
        auto made = std::make_unique<TfrxProgressDisplay>(owner);
        display = made.get();
        return made;
    };
    QStringList messages;
    report.OnProgress = [&](TfrxProgressType, int pageNo) {
        ASSERT_NE(display, nullptr);
        ASSERT_NE(display->Window(), nullptr);
        messages << display->Window()->LMessage->text();
        if (pageNo == 3) display->Window()->CancelB->click();
    };
    report.PrepareReport(true);
    // The report's own event comes first, so it sees the message of the page before; the cancel
    // made at page 3 is taken up by the window's update for that page.
    EXPECT_EQ(messages, (QStringList{QString(), u"正在生成页 1"_s, u"正在生成页 2"_s}));
    EXPECT_EQ(report.PreviewPages()->Count(), 3);
    EXPECT_EQ(display->Window(), nullptr);
}
