#include "report/ui/frxPreview.h"

#include "platform/ui/errorguard.h"
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/output/frxPainter.h"
#include "report/engine/frxPreviewPages.h"
#include "support/fakeprinters.h"
#include "support/modal.h"
#include "report/ui/frxWidgetHost.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

const QString cardsFile = QStringLiteral(TOVARO_TEST_DATA "/cards.fp3");

// A report whose prepared pages come from a prepared-report file.
struct LoadedReport {
    TfrxReport report;
    explicit LoadedReport(const QString &file = cardsFile)
    {
        report.EngineOptions.NewSilentMode = simSilent;
        if (!file.isEmpty()) report.PreviewPages()->LoadFromFile(file, true);
    }
};

// A preview window over a report, laid out offscreen at a fixed size.
struct Window {
    TfrxPreviewForm form;
    explicit Window(TfrxReport &report, QSize size = QSize(1000, 700))
    {
        report.PreviewOptions.Maximized = false;
        form.resize(size);
        form.ConfigureFromOptions(&report);
        form.show();
        QApplication::processEvents();
    }
    TfrxPreview &preview() { return *form.Preview; }
    QString status() const { return form.StatusPanels[0]->text(); }
};

// Two pages of text objects: "张三" twice on the first page, once on the second.
void addSearchPages(TfrxReport &report)
{
    TfrxReport source;
    const QList<QStringList> texts = {{u"来宾 张三"_s, u"其他"_s, u"张三先生"_s}, {u"张三"_s}};
    for (const QStringList &page : texts) {
        auto *p = new TfrxReportPage(&source);
        for (int i = 0; i < page.size(); ++i) {
            auto *memo = new TfrxMemoView(p);
            memo->SetBounds(40, 40 + i * 60, 300, 30);
            memo->SetText(page[i]);
        }
    }
    report.PreviewPages()->AddFrom(&source);
}

// A card report over `count` guests: one page per guest with the guest's name.
struct GuestCards {
    TfrxReport report;
    TfrxUserDataSet guests;
    explicit GuestCards(int count)
    {
        report.EngineOptions.NewSilentMode = simSilent;
        report.PreviewOptions.Maximized = false;
        guests.SetName(u"frxdbdtst1"_s);
        guests.Fields = {u"姓名"_s};
        guests.RangeEnd = reCount;
        guests.RangeEndCount = count;
        guests.OnGetValue = [this](const QString &, script::Variant &value) {
            value = u"来宾%1"_s.arg(guests.RecNo);
        };
        report.Datasets.Add()->SetDataSet(&guests);
        auto *page = new TfrxReportPage(&report);
        auto *band = new TfrxMasterData(page);
        band->SetBounds(0, 0, 700, 800);
        band->SetDataSet(&guests);
        auto *memo = new TfrxMemoView(band);
        memo->SetBounds(10, 10, 200, 30);
        memo->SetText(u"[frxdbdtst1.\"姓名\"]"_s);
    }
};

// Counts the paint events of the widget it is installed on.
struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

} // namespace

TEST(frxPreviewImages, stripHoldsTwentyFiveIconsWithTransparentBackground)
{
    const QList<QPixmap> &icons = frxPreviewButtonImages();
    ASSERT_EQ(icons.size(), 25);
    for (const QPixmap &icon : icons) {
        ASSERT_EQ(icon.size(), QSize(16, 16));
        EXPECT_TRUE(icon.hasAlphaChannel());
    }
    // The print icon has ink in the middle and nothing in its top left corner.
    const QImage print = icons[2].toImage();
    EXPECT_EQ(qAlpha(print.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(print.pixel(8, 9)), 255);
}

TEST(frxPageList, rowsAreFilledFromTheLeftAndCentred)
{
    TfrxPageList list;
    for (int i = 0; i < 4; ++i)
        list.AddPage(100, 140 + i);
    list.CalcBounds(350);
    // Three pages fit in 350 (0, 110, 220); the row is 330 wide with its gaps: shifted by 15 + 10.
    EXPECT_EQ(list.Items(0).X, 25);
    EXPECT_EQ(list.Items(1).X, 135);
    EXPECT_EQ(list.Items(2).X, 245);
    EXPECT_EQ(list.Items(0).Y, 10);
    EXPECT_EQ(list.Items(2).Y, 10);
    // The next row starts 10 below the tallest page of the first, alone and centred.
    EXPECT_EQ(list.Items(3).Y, 10 + 142 + 10);
    EXPECT_EQ(list.Items(3).X, (350 - 110 + 10) / 2 + 10);
    EXPECT_EQ(list.Bounds(), QSize(340, 162 + 143 + 10));

    // A page wider than the space still gets a row of its own, 10 from the left.
    TfrxPageList wide;
    wide.AddPage(500, 100);
    wide.AddPage(500, 100);
    wide.CalcBounds(300);
    EXPECT_EQ(wide.Items(0).X, 10);
    EXPECT_EQ(wide.Items(1).Y, 120);
}

TEST(frxPageList, findPageByPositionAndPoint)
{
    TfrxPageList list;
    for (int i = 0; i < 5; ++i)
        list.AddPage(100, 100);
    list.CalcBounds(100);
    // Pages at y = 10, 120, 230, 340, 450; a fifth of the height counts as already shown.
    EXPECT_EQ(list.FindPage(0), 0);
    EXPECT_EQ(list.FindPage(99), 0);
    EXPECT_EQ(list.FindPage(100), 1);
    EXPECT_EQ(list.FindPage(10000), 4);
    EXPECT_EQ(list.FindPage(150, list.Items(1).X + 5), 1);
    EXPECT_EQ(list.FindPage(115, list.Items(1).X + 5), -1); // in the gap between two pages
    EXPECT_EQ(TfrxPageList().FindPage(0), -1);
    // A page not laid out yet stands as an A4 sheet near the top.
    EXPECT_EQ(list.PageRect(7, 1000, 0.5L), QRect(301, 5, 397, 562));
}

TEST(frxPreviewForm, buttonsFollowTheOptions)
{
    LoadedReport loaded;
    loaded.report.PreviewOptions.Buttons = pbPrint | pbZoom | pbFind | pbNoFullScreen | pbNoClose;
    Window w(loaded.report);
    TfrxPreviewForm &f = w.form;
    EXPECT_TRUE(f.ControlShown(f.PrintB));
    EXPECT_FALSE(f.ControlShown(f.OpenB));
    EXPECT_FALSE(f.ControlShown(f.SaveB));
    EXPECT_TRUE(f.ControlShown(f.ZoomPlusB));
    EXPECT_TRUE(f.ControlShown(f.Sep3));
    EXPECT_TRUE(f.ControlShown(f.Sep1));
    EXPECT_FALSE(f.ControlShown(f.FullScreenBtn));
    EXPECT_FALSE(f.ControlShown(f.CancelB));
    // Neither page settings nor edit: their separator goes too.
    EXPECT_FALSE(f.ControlShown(f.Sep2));
    for (QObject *navigation :
         std::initializer_list<QObject *>{f.FirstB, f.PriorB, f.NextB, f.LastB, f.Sep4, f.Sep5})
        EXPECT_FALSE(f.ControlShown(navigation));
    // No export filter is registered.
    for (QObject *exporting : std::initializer_list<QObject *>{f.ExportB, f.PdfB, f.EmailB})
        EXPECT_FALSE(f.ControlShown(exporting));

    // The right-click menu repeats the visible buttons up to the second separator, by their hints.
    QStringList items;
    for (QAction *action : f.RightMenu->actions())
        if (action->isVisible()) items << (action->isSeparator() ? u"-"_s : action->text());
    EXPECT_EQ(items, (QStringList{u"打印"_s, u"寻找"_s, u"-"_s, u"放大"_s, u"缩小"_s}));

    LoadedReport other;
    other.report.PreviewOptions.Buttons = pbNavigator | pbOutline | pbEdit;
    Window v(other.report);
    EXPECT_FALSE(v.form.ControlShown(v.form.ZoomPlusB));
    EXPECT_FALSE(v.form.ControlShown(v.form.ZoomMinusB));
    EXPECT_FALSE(v.form.ControlShown(v.form.Sep3));
    EXPECT_FALSE(v.form.ControlShown(v.form.FullScreenBtn));
    EXPECT_FALSE(v.form.ControlShown(v.form.Sep1));
    // No designer: the edit button and its separator stay hidden.
    EXPECT_FALSE(v.form.ControlShown(v.form.DesignerB));
    EXPECT_FALSE(v.form.ControlShown(v.form.Sep2));
    EXPECT_TRUE(v.form.ControlShown(v.form.OutlineB));
    EXPECT_TRUE(v.form.ControlShown(v.form.ThumbB));
    EXPECT_TRUE(v.form.ControlShown(v.form.NextB));
    EXPECT_TRUE(v.form.ControlShown(v.form.Sep4));
    EXPECT_TRUE(v.form.ControlShown(v.form.CancelB));
    EXPECT_EQ(v.form.CancelB->text(), u"关闭(&X)"_s);
}

TEST(frxPreviewForm, zoomStepsStopAtAQuarter)
{
    QStringList errors;
    platform::setErrorPresenter([&](QWidget *, const QString &text) { errors << text; });
    LoadedReport loaded;
    Window w(loaded.report);
    TfrxPreviewForm &f = w.form;
    EXPECT_EQ(f.ZoomCB->currentText(), u"100%"_s);

    f.ZoomCB->setCurrentIndex(0);
    f.ZoomCBClick();
    EXPECT_EQ(w.preview().Zoom(), 0.25L);
    f.ZoomMinusB->click();
    EXPECT_EQ(w.preview().Zoom(), 0.25L);
    EXPECT_EQ(f.ZoomCB->currentText(), u"25%"_s);
    f.ZoomPlusB->click();
    EXPECT_EQ(w.preview().Zoom(), 0.5L);

    // Typing a number and Enter; "%" and spaces are dropped, "," is a decimal separator.
    f.ZoomCB->lineEdit()->setText(u"37"_s);
    QTest::keyClick(f.ZoomCB->lineEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(double(w.preview().Zoom()), 0.37);
    EXPECT_EQ(f.ZoomCB->currentText(), u"37%"_s);
    f.ZoomCB->lineEdit()->setText(u" 12,5 % "_s);
    QTest::keyClick(f.ZoomCB->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w.preview().Zoom(), 0.25L);
    EXPECT_TRUE(errors.isEmpty());
    f.ZoomCB->lineEdit()->setText(u"大"_s);
    QTest::keyClick(f.ZoomCB->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(errors, QStringList{u"'大' is not a valid floating point value."_s});
    EXPECT_EQ(w.preview().Zoom(), 0.25L);

    // Ctrl and the wheel: steps of 0.1, shrinking only from 0.3 up.
    w.preview().ZoomTo(0.29L);
    w.preview().MouseWheel(false, true);
    EXPECT_EQ(w.preview().Zoom(), 0.29L);
    w.preview().ZoomTo(0.3L);
    w.preview().MouseWheel(false, true);
    EXPECT_EQ(w.preview().Zoom(), 0.25L);
    w.preview().MouseWheel(true, true);
    EXPECT_DOUBLE_EQ(double(w.preview().Zoom()), 0.35);
    // The same over the status bar and the toolbar, away from the pages.
    for (QWidget *over : {static_cast<QWidget *>(f.StatusBar), static_cast<QWidget *>(f.ToolBar)}) {
        QWheelEvent wheel(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
    }
    EXPECT_DOUBLE_EQ(double(w.preview().Zoom()), 0.55);
    platform::setErrorPresenter({});
}

TEST(frxPreviewForm, fittingZoomModes)
{
    LoadedReport loaded;
    Window w(loaded.report, QSize(1300, 700));
    TfrxPreview &p = w.preview();
    const QSize page = loaded.report.PreviewPages()->PageSize(0); // portrait, 210 x 290 mm
    ASSERT_GT(page.height(), page.width());
    w.form.ZoomCB->setCurrentIndex(7);
    w.form.ZoomCBClick();
    EXPECT_EQ(p.ZoomMode(), zmWholePage);
    EXPECT_DOUBLE_EQ(double(p.Zoom()), double(p.Workspace->height() - 26) / page.height());
    w.form.ZoomCB->setCurrentIndex(6);
    w.form.ZoomCBClick();
    EXPECT_EQ(p.ZoomMode(), zmPageWidth);
    EXPECT_DOUBLE_EQ(double(p.Zoom()), double(p.Workspace->AvailableWidth()) / page.width());
    EXPECT_EQ(w.form.ZoomCB->currentText(), QString::number(qRound(double(p.Zoom()) * 100)) + u'%');

    // At half size the three cards stand side by side in one centred row.
    p.ZoomTo(0.5L);
    const TfrxPageList &list = p.Workspace->PageList;
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Y, list.Items(2).Y);
    const int left = list.Items(0).X;
    const int right = p.Workspace->AvailableWidth() + 20 - (list.Items(2).X + list.Items(2).Width);
    EXPECT_LE(std::abs(left - right), 1);
}

TEST(frxPreviewForm, pageNavigation)
{
    LoadedReport loaded;
    Window w(loaded.report);
    TfrxPreviewForm &f = w.form;
    EXPECT_EQ(w.status(), u"页 1 / 3"_s);
    f.NextB->click();
    EXPECT_EQ(w.preview().PageNo(), 2);
    EXPECT_EQ(w.status(), u"页 2 / 3"_s);
    EXPECT_EQ(f.PageE->text(), u"2"_s);
    f.LastB->click();
    f.NextB->click();
    EXPECT_EQ(w.preview().PageNo(), 3);
    f.PriorB->click();
    EXPECT_EQ(w.preview().PageNo(), 2);
    f.FirstB->click();
    f.PriorB->click();
    EXPECT_EQ(w.preview().PageNo(), 1);

    f.PageE->setText(u"99"_s);
    QTest::keyClick(f.PageE, Qt::Key_Return);
    EXPECT_EQ(w.preview().PageNo(), 3);
    f.PageE->setText(u"0"_s);
    QTest::keyClick(f.PageE, Qt::Key_Return);
    EXPECT_EQ(w.preview().PageNo(), 1);
    EXPECT_TRUE(f.isVisible()); // Enter in the page field does not close the window

    // The page's top lands 10 pixels below the top of the view.
    w.preview().ShowPage(2);
    QScrollBar *vertical = w.preview().Workspace->verticalScrollBar();
    EXPECT_EQ(vertical->value(), w.preview().Workspace->PageList.Items(1).Y - 10);

    // Keys: Ctrl+Page Down moves one page, Page Down scrolls 300 pixels, Home and End.
    QWidget *workspace = w.preview().Workspace;
    QTest::keyClick(workspace, Qt::Key_Home);
    EXPECT_EQ(w.preview().PageNo(), 1);
    QTest::keyClick(workspace, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(w.preview().PageNo(), 2);
    const int before = vertical->value();
    QTest::keyClick(workspace, Qt::Key_PageDown);
    EXPECT_EQ(vertical->value(), before + 300);
    QTest::keyClick(workspace, Qt::Key_End);
    EXPECT_EQ(w.preview().PageNo(), 3);

    // Scrolling to the top makes the first page current again.
    vertical->setValue(0);
    EXPECT_EQ(w.preview().PageNo(), 1);
    EXPECT_EQ(w.status(), u"页 1 / 3"_s);
}

TEST(frxPreviewForm, withoutPagesOnlyCloseIsEnabled)
{
    LoadedReport empty{QString()};
    Window w(empty.report);
    TfrxPreviewForm &f = w.form;
    EXPECT_EQ(w.status(), u"页 0 / 0"_s);
    EXPECT_EQ(f.PageE->text(), u"0"_s);
    for (QToolButton *button : f.ToolBar->findChildren<QToolButton *>()) {
        if (button->objectName().isEmpty()) continue; // the toolbar's own extension button
        EXPECT_FALSE(button->isEnabled()) << qPrintable(button->objectName());
    }
    EXPECT_FALSE(f.ZoomCB->isEnabled());
    EXPECT_FALSE(f.PageE->isEnabled());
    EXPECT_TRUE(f.CancelB->isEnabled());
    f.CancelB->click();
    EXPECT_FALSE(f.isVisible());
}

TEST(frxPreviewForm, escapeCancelsThePreparationThenCloses)
{
    GuestCards cards(500);
    TfrxReport &report = cards.report;
    TfrxWidgetHost host;
    TfrxScopedHost installed(host);
    TfrxPreviewForm *form = nullptr;
    bool refusedToClose = false;
    bool cancelShown = false;
    report.OnProgress = [&](TfrxProgressType, int pageNo) {
        if (!form) form = qobject_cast<TfrxPreviewForm *>(QApplication::activeModalWidget());
        if (!form) return;
        if (pageNo == 3) {
            cancelShown = form->CancelB->text() == u"取消"_s && !form->PrintB->isEnabled();
            refusedToClose = !form->close() && form->isVisible();
        }
        if (pageNo == 5) QTest::keyClick(form->Preview->Workspace, Qt::Key_Escape);
    };
    QString progressText;
    report.OnProgress = [&, previous = report.OnProgress](TfrxProgressType kind, int pageNo) {
        previous(kind, pageNo);
        if (form && pageNo == 4) progressText = form->StatusPanels[2]->text();
    };
    int closed = 0;
    report.OnClosePreview = [&] { ++closed; };
    int pagesWhenClosed = -1;
    testsupport::whenModal([&](QWidget *modal) {
        // Once the preparation has stopped, the second Escape closes the window.
        auto *shown = qobject_cast<TfrxPreviewForm *>(modal);
        ASSERT_NE(shown, nullptr);
        auto *poll = new QTimer(shown);
        QObject::connect(poll, &QTimer::timeout, shown, [&, shown, poll] {
            if (shown->Preview->Working() || report.PreparationTimerActive()) return;
            poll->stop();
            pagesWhenClosed = shown->Preview->PageCount();
            EXPECT_EQ(shown->CancelB->text(), u"关闭(&X)"_s);
            EXPECT_TRUE(shown->PrintB->isEnabled());
            // The progress text goes with the run it told of.
            EXPECT_TRUE(shown->StatusPanels[2]->text().isEmpty());
            QTest::keyClick(shown->Preview->Workspace, Qt::Key_Escape);
        });
        poll->start(20);
    });
    report.ShowReport(true);
    EXPECT_TRUE(cancelShown);
    EXPECT_TRUE(refusedToClose);
    EXPECT_GE(pagesWhenClosed, 5);
    EXPECT_LT(pagesWhenClosed, 20);
    EXPECT_EQ(report.PreviewPages()->Count(), pagesWhenClosed);
    // The engine's progress reached the status bar, and the report heard of the closing once.
    EXPECT_EQ(progressText, u"正在生成页 3"_s);
    EXPECT_EQ(closed, 1);
}

TEST(frxPreviewForm, findTextHitsInOrderAndInverts)
{
    LoadedReport loaded{QString()};
    addSearchPages(loaded.report);
    Window w(loaded.report);
    TfrxPreview &p = w.preview();
    ASSERT_EQ(p.PageCount(), 2);
    EXPECT_TRUE(p.Find(u"张三"_s, false, true));
    EXPECT_EQ(p.HitPage(), 0);
    const QRect first = p.HitRect();
    EXPECT_LT(first.top(), 80);

    // The hit shows inverted: the pixels under it change against the plain page.
    const QImage inverted = p.Workspace->viewport()->grab().toImage();
    const QRect onView = p.Workspace->ViewRect(0);
    p.Workspace->SetHighlight(-1, {});
    const QImage plain = p.Workspace->viewport()->grab().toImage();
    int changed = 0, area = 0;
    for (int y = first.top(); y < first.bottom(); ++y)
        for (int x = first.left(); x < first.right(); ++x, ++area) {
            const QRgb a = plain.pixel(onView.left() + x, onView.top() + y);
            const QRgb b = inverted.pixel(onView.left() + x, onView.top() + y);
            if (qRed(a) + qRed(b) == 255 && qGreen(a) + qGreen(b) == 255 && qBlue(a) + qBlue(b) == 255)
                ++changed;
        }
    EXPECT_GT(area, 100);
    EXPECT_EQ(changed, area);
    // Outside the hit nothing changes.
    EXPECT_EQ(plain.pixel(onView.left() + 5, onView.bottom() - 5),
              inverted.pixel(onView.left() + 5, onView.bottom() - 5));

    EXPECT_TRUE(p.FindAgain());
    EXPECT_EQ(p.HitPage(), 0);
    EXPECT_GT(p.HitRect().top(), 100);
    EXPECT_TRUE(p.FindAgain());
    EXPECT_EQ(p.HitPage(), 1);
    EXPECT_EQ(p.PageNo(), 2);
    // No further hit leaves everything as it was.
    EXPECT_FALSE(p.FindAgain());
    EXPECT_EQ(p.HitPage(), 1);
    // Case matters only when asked to; a search from the shown page skips the earlier ones.
    EXPECT_FALSE(p.Find(u"其他先生"_s, false, true));
    p.ShowPage(2);
    EXPECT_TRUE(p.Find(u"张三"_s, true, false));
    EXPECT_EQ(p.HitPage(), 1);
}

TEST(frxPreviewForm, findTextFindsTheTypedCharactersOfVerticalForms)
{
    LoadedReport loaded{QString()};
    TfrxReport source;
    auto *page = new TfrxReportPage(&source);
    auto *memo = new TfrxMemoView(page);
    memo->SetBounds(300, 40, 40, 600);
    FontValue font = memo->Font();
    font.name = u"@黑体"_s;
    font.setSize(18);
    memo->SetFont(font);
    memo->SetRotation(270);
    memo->SetText(u"喜来登（二楼）大厅，“金厅”。"_s);
    loaded.report.PreviewPages()->AddFrom(&source);
    Window w(loaded.report);
    // The brackets and the comma are drawn as their vertical forms, and still found as typed.
    EXPECT_TRUE(w.preview().Find(u"（二楼）"_s, false, true));
    EXPECT_TRUE(w.preview().Find(u"，“金厅”"_s, false, true));
}

TEST(frxPreviewForm, saveAndOpenPreparedReports)
{
    QTemporaryDir dir;
    LoadedReport loaded;
    Window w(loaded.report);
    TfrxPreview &p = w.preview();
    p.ShowPage(3);
    const QString file = dir.filePath(u"请柬.fp3"_s);
    p.SavePrepared(file);
    EXPECT_FALSE(p.Frozen());
    EXPECT_FALSE(p.ProgressPanel->isVisible());

    p.ClearPreview();
    EXPECT_EQ(p.PageCount(), 0);
    EXPECT_EQ(w.status(), u"页 0 / 0"_s);
    EXPECT_FALSE(w.form.PrintB->isEnabled());

    p.OpenPrepared(file);
    EXPECT_EQ(p.PageCount(), 3);
    EXPECT_EQ(p.PageNo(), 1);
    EXPECT_EQ(w.status(), u"页 1 / 3"_s);
    EXPECT_TRUE(w.form.PrintB->isEnabled());

    // A broken file still leaves the preview thawed on page 1 before the error reaches the caller.
    const QString broken = dir.filePath(u"broken.fp3"_s);
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("<?xml version=\"1.0\"?><preparedreport><previewpages><page0");
    out.close();
    EXPECT_THROW(p.OpenPrepared(broken), platform::Error);
    EXPECT_FALSE(p.Frozen());
    EXPECT_FALSE(p.ProgressPanel->isVisible());
    EXPECT_EQ(p.PageNo(), 1);
}

TEST(frxPreviewForm, panesShareOnePlace)
{
    LoadedReport loaded;
    Window w(loaded.report);
    TfrxPreviewForm &f = w.form;
    f.ThumbB->click();
    EXPECT_TRUE(w.preview().ThumbnailVisible());
    EXPECT_TRUE(f.ThumbB->isChecked());
    EXPECT_EQ(w.preview().Thumbnail->PageList.Count(), 3);
    f.OutlineB->click();
    EXPECT_TRUE(w.preview().OutlineVisible());
    EXPECT_FALSE(w.preview().ThumbnailVisible());
    EXPECT_FALSE(f.ThumbB->isChecked());
    f.OutlineB->click();
    EXPECT_FALSE(w.preview().OutlineVisible());
    EXPECT_FALSE(w.preview().OutlineTree->isVisible());
}

TEST(frxPreviewForm, fullScreenHidesTheBars)
{
    LoadedReport loaded;
    Window w(loaded.report);
    QTest::keyClick(w.preview().Workspace, Qt::Key_F11);
    EXPECT_TRUE(w.form.IsFullScreen());
    EXPECT_FALSE(w.form.ToolBar->isVisible());
    EXPECT_FALSE(w.form.StatusBar->isVisible());
    QTest::mouseDClick(w.preview().Workspace->viewport(), Qt::LeftButton);
    EXPECT_FALSE(w.form.IsFullScreen());
    EXPECT_TRUE(w.form.ToolBar->isVisible());
}

TEST(frxPreviewForm, pageSettingsForTheShownPageOnly)
{
    testsupport::FakePrinters printers;
    LoadedReport loaded;
    Window w(loaded.report);
    TfrxPreview &p = w.preview();
    const QSize before = loaded.report.PreviewPages()->PageSize(1);
    p.ShowPage(2);
    testsupport::whenModal([](QWidget *modal) {
        modal->findChild<QRadioButton *>(u"LandscapeRB"_s)->click();
        modal->findChild<QPushButton *>(u"OKB"_s)->click();
    });
    p.EditPageSettings();
    const QSize after = loaded.report.PreviewPages()->PageSize(1);
    EXPECT_EQ(after, before.transposed());
    EXPECT_EQ(loaded.report.PreviewPages()->PageSize(0), before);
    EXPECT_EQ(p.Workspace->PageList.Items(1).Width, after.width());
}

TEST(frxPreviewForm, pageSettingsForAllPagesPrepareTheReportAgain)
{
    testsupport::FakePrinters printers;
    TfrxReport report;
    report.EngineOptions.NewSilentMode = simSilent;
    TfrxUserDataSet guests;
    guests.SetName(u"frxdbdtst1"_s);
    guests.RangeEnd = reCount;
    guests.RangeEndCount = 3;
    report.Datasets.Add()->SetDataSet(&guests);
    auto *page = new TfrxReportPage(&report);
    auto *band = new TfrxMasterData(page);
    band->SetBounds(0, 0, 500, 400);
    band->SetDataSet(&guests);
    band->StartNewPage = true;
    auto *memo = new TfrxMemoView(band);
    memo->SetBounds(10, 10, 200, 30);
    memo->SetText(u"[Line#]"_s);
    ASSERT_TRUE(report.PrepareReport(true));
    ASSERT_EQ(report.PreviewPages()->Count(), 3);
    const QSize portrait = report.PreviewPages()->PageSize(0);
    ASSERT_LT(portrait.width(), portrait.height());

    Window w(report);
    TfrxPreview &p = w.preview();
    p.ShowPage(2);
    testsupport::whenModal([](QWidget *modal) {
        modal->findChild<QRadioButton *>(u"LandscapeRB"_s)->click();
        modal->findChild<QLineEdit *>(u"MarginLeftE"_s)->setText(u"3"_s);
        modal->findChild<QRadioButton *>(u"ApplyToAllRB"_s)->click();
        modal->findChild<QPushButton *>(u"OKB"_s)->click();
    });
    p.EditPageSettings();
    (void)QTest::qWaitFor([&] { return !report.PreparationTimerActive() && !p.Working(); }, 10000);

    // Each run reads the definition back, so the page is looked up again; the settings are part of it.
    TfrxReportPage *designed = nullptr;
    for (int i = 0; i < report.PagesCount() && !designed; ++i)
        designed = dynamic_cast<TfrxReportPage *>(report.Pages(i));
    ASSERT_TRUE(designed);
    EXPECT_EQ(designed->Orientation(), poLandscape);
    EXPECT_EQ(double(designed->LeftMargin), 30.0); // typed in centimetres
    ASSERT_EQ(report.PreviewPages()->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(report.PreviewPages()->PageSize(i), portrait.transposed()) << i;
    EXPECT_EQ(p.PageCount(), 3);
    EXPECT_EQ(p.Workspace->PageList.Items(0).Width, portrait.height());
}

TEST(frxPreviewForm, paintsTheCardsOnTheGreyWorkspace)
{
    LoadedReport loaded;
    Window w(loaded.report, QSize(1100, 720));
    w.preview().ZoomTo(0.5L);
    QApplication::processEvents();
    const QImage view = w.preview().Workspace->viewport()->grab().toImage();
    EXPECT_EQ(view.pixel(2, 2), qRgb(128, 128, 128));
    const QRect card = w.preview().Workspace->ViewRect(0);
    EXPECT_EQ(view.pixel(card.left(), card.top() + 20), qRgb(0, 0, 0)); // the frame
    // Ink of the card's texts lies within the page.
    int ink = 0;
    for (int y = card.top() + 1; y < card.bottom(); ++y)
        for (int x = card.left() + 1; x < card.right(); ++x)
            if (qGray(view.pixel(x, y)) < 160) ++ink;
    EXPECT_GT(ink, 50);
    if (const QByteArray dir = qgetenv("TOVARO_SCREENSHOT_DIR"); !dir.isEmpty())
        w.form.grab().save(QString::fromLocal8Bit(dir) + u"/preview.png"_s);
}

TEST(frxPreviewForm, highZoomDrawsOnlyWhatIsInViewAndKeepsMemoryBounded)
{
    LoadedReport loaded;
    Window w(loaded.report, QSize(1100, 720));
    TfrxPreviewWorkspace &workspace = *w.preview().Workspace;
    // Somewhere with ink: the first dark pixel of the page drawn at 100 %.
    QImage small(frxPaperSizePixels(*loaded.report.PreviewPages()->Page(0), 96), QImage::Format_RGB32);
    small.fill(Qt::white);
    {
        platform::Canvas canvas(&small, 96, 96);
        frxDrawPage(*loaded.report.PreviewPages(), 0, canvas, 1, 1, 0, 0);
    }
    QPoint inked(-1, -1);
    for (int y = 0; y < small.height() && inked.x() < 0; ++y)
        for (int x = 0; x < small.width() && inked.x() < 0; ++x)
            if (qGray(small.pixel(x, y)) < 100) inked = QPoint(x, y);
    ASSERT_GE(inked.x(), 0);
    w.preview().ZoomTo(10);
    QApplication::processEvents();
    const QPoint origin = workspace.ViewRect(0).topLeft() +
                          QPoint(workspace.horizontalScrollBar()->value(), workspace.verticalScrollBar()->value());
    workspace.horizontalScrollBar()->setValue(origin.x() + inked.x() * 10 - 300);
    workspace.verticalScrollBar()->setValue(origin.y() + inked.y() * 10 - 200);
    QApplication::processEvents();
    const QImage view = workspace.viewport()->grab().toImage();
    // A card at 1000 % is 60 million pixels; what is kept stays far below.
    EXPECT_LE(workspace.CachedPixels(), 16 * 1024 * 1024);

    // What shows is the page drawn whole at that zoom, at the same place.
    const QRect page = workspace.ViewRect(0);
    QImage expected(view.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        platform::Canvas canvas(&expected, 96, 96);
        frxDrawPage(*loaded.report.PreviewPages(), 0, canvas, 10, 10, page.left(), page.top());
    }
    const QRect inside = page.adjusted(2, 2, -2, -2).intersected(view.rect());
    ASSERT_FALSE(inside.isEmpty());
    int differing = 0, ink = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (view.pixel(x, y) != expected.pixel(x, y)) ++differing;
            if (qGray(expected.pixel(x, y)) < 160) ++ink;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(ink, 0);
}

TEST(frxPreviewForm, followsItsPagesWithoutBeingTold)
{
    LoadedReport loaded;
    Window w(loaded.report);
    TfrxPreviewPages &pages = *loaded.report.PreviewPages();
    addSearchPages(loaded.report);
    EXPECT_EQ(w.preview().Workspace->PageList.Count(), 5);
    EXPECT_EQ(w.status(), u"页 1 / 5"_s);
    w.preview().Last();
    pages.DeletePage(4);
    EXPECT_EQ(w.preview().Workspace->PageList.Count(), 4);
    EXPECT_EQ(w.status(), u"页 4 / 4"_s);
    pages.Clear();
    EXPECT_EQ(w.preview().Workspace->PageList.Count(), 0);
    EXPECT_EQ(w.status(), u"页 0 / 0"_s);
    EXPECT_FALSE(w.form.PrintB->isEnabled());
}

TEST(frxPreviewForm, forgetsTheReportThatGoesAway)
{
    auto loaded = std::make_unique<LoadedReport>();
    TfrxPreview preview;
    preview.resize(800, 600);
    preview.InitFromReport(&loaded->report);
    ASSERT_EQ(preview.PageCount(), 3);
    loaded.reset();
    EXPECT_EQ(preview.Report(), nullptr);
    EXPECT_EQ(preview.PageCount(), 0);
    preview.ShowPage(2);
    EXPECT_EQ(preview.PageNo(), 1);
}

TEST(frxPreviewForm, aLongPreparationShowsTheFirstCardAtOnceAndRepaintsAFewTimesASecond)
{
    GuestCards cards(2000);
    TfrxWidgetHost host;
    TfrxScopedHost installed(host);
    TfrxPreviewForm *form = nullptr;
    int laidOutAtSecondPage = -1;
    PaintCounter paints;
    QElapsedTimer running;
    // Messages are processed at every page here, so each refresh the preview asks for is painted.
    cards.report.OnProgress = [&](TfrxProgressType, int pageNo) {
        if (!form) {
            form = qobject_cast<TfrxPreviewForm *>(QApplication::activeModalWidget());
            if (!form) return;
            running.start();
            form->Preview->Workspace->viewport()->installEventFilter(&paints);
            form->StatusPanels[0]->installEventFilter(&paints);
        }
        if (pageNo == 2) laidOutAtSecondPage = form->Preview->Workspace->PageList.Count();
        QApplication::processEvents();
    };
    qint64 elapsedMs = 0;
    testsupport::whenModal([&](QWidget *modal) {
        auto *shown = qobject_cast<TfrxPreviewForm *>(modal);
        ASSERT_NE(shown, nullptr);
        auto *poll = new QTimer(shown);
        QObject::connect(poll, &QTimer::timeout, shown, [&, shown, poll] {
            if (shown->Preview->Working() || cards.report.PreparationTimerActive()) return;
            poll->stop();
            elapsedMs = running.elapsed();
            EXPECT_EQ(shown->Preview->Workspace->PageList.Count(), 2000);
            shown->close();
        });
        poll->start(20);
    });
    cards.report.ShowReport(true);
    EXPECT_EQ(laidOutAtSecondPage, 1);
    // The pages and their count in the status bar; besides the refreshes: the empty first card, the
    // card complete, the progress panel going, the end, each in both.
    EXPECT_LE(paints.count, 2 * (elapsedMs / TfrxPreview::PageRefreshMs + 4));
}

TEST(frxPreviewForm, minimisingTheModalPreviewMinimisesTheProgramAndTheProgramComesBackWithIt)
{
    GuestCards cards(2);
    TfrxReport &report = cards.report;
    TfrxWidgetHost host;
    TfrxScopedHost installed(host);
    QWidget program;
    program.show();
    bool programMinimised = false, previewBack = false;
    testsupport::whenModal([&](QWidget *modal) {
        modal->showMinimized();
        QApplication::processEvents();
        programMinimised = program.isMinimized();
        // The user brings the program back from the task bar.
        program.setWindowState(program.windowState() & ~Qt::WindowMinimized);
        QApplication::processEvents();
        previewBack = modal->isVisible() && !modal->isMinimized();
        auto *poll = new QTimer(modal);
        QObject::connect(poll, &QTimer::timeout, modal, [&report, modal, poll] {
            if (report.PreparationTimerActive() || qobject_cast<TfrxPreviewForm *>(modal)->Preview->Working()) return;
            poll->stop();
            modal->close();
        });
        poll->start(20);
    });
    report.ShowReport(true);
    EXPECT_TRUE(programMinimised);
    EXPECT_TRUE(previewBack);
    EXPECT_FALSE(program.isMinimized());
}
