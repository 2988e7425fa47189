#include "report/frxProgress.h"

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
