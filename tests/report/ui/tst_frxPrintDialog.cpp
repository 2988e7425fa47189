#include "report/ui/frxPrintDialog.h"

#include "platform/ui/errorguard.h"
#include "report/objects/frxClass.h"
#include "report/engine/frxPreviewPages.h"
#include "report/ui/frxPrintDialog_p.h"
#include "report/output/frxPrintPages.h"
#include "report/output/frxPrinter.h"
#include "report/ui/frxProgress.h"
#include "support/fakeprinters.h"
#include "support/modal.h"
#include "tests/support/fakehost.h"
#include "report/ui/frxWidgetHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

QStringList items(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

class frxPrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setErrorPresenter([this](QWidget *, const QString &text) { errors.append(text); });
    }
    void TearDown() override { platform::setErrorPresenter({}); }

    testsupport::FakePrinters printers;
    TfrxReport report;
    QStringList errors;
};

} // namespace

TEST_F(frxPrintDialogTest, controlsCarryTheirTextsAndLists)
{
    TfrxPrintDialog dialog(&report);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), u"打印"_s);
    EXPECT_EQ(dialog.DescrL->text(), u"输入页数/文件范围，并以逗号分隔(例如:1,3,5-12)"_s);
    EXPECT_EQ(dialog.CollateCB->text(), u"自动分页(&T)"_s);
    EXPECT_EQ(items(dialog.PrintersCB), (QStringList{u"办公室"_s, u"Lab"_s}));
    EXPECT_EQ(dialog.PrintersCB->currentIndex(), 0);
    EXPECT_EQ(items(dialog.OrderCB), (QStringList{u"直接 (1-9)"_s, u"反转 (9-1)"_s}));
    EXPECT_EQ(items(dialog.DuplexCB), (QStringList{u"默认"_s, u"垂直"_s, u"水平"_s, u"Simplex"_s}));
    EXPECT_EQ(items(dialog.PrintModeCB), (QStringList{u"默认"_s, u"切分大页"_s, u"连接小页"_s, u"比列"_s}));
    // The sheet list: the default entry, then the printer's papers without the user-defined one.
    EXPECT_EQ(items(dialog.PagPageSizeCB), (QStringList{u"默认"_s, u"A4"_s, u"A5"_s, u"Letter"_s}));
    EXPECT_FALSE(dialog.PagPageSizeCB->isEnabled());
    EXPECT_TRUE(dialog.AllRB->isChecked());
    EXPECT_TRUE(dialog.OkB->isDefault());
    EXPECT_EQ(dialog.FileDlg->windowTitle(), u"Print To File"_s);
    EXPECT_EQ(dialog.FileDlg->nameFilters(), QStringList{u"Printer files (*.prn)"_s});
    dialog.reject();
}

TEST_F(frxPrintDialogTest, zeroCopiesBecomeOne)
{
    report.PrintOptions.Copies = 0;
    TfrxPrintDialog dialog(&report);
    dialog.show();
    EXPECT_EQ(dialog.CopiesE->value(), 1);
    dialog.OkB->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(report.PrintOptions.Copies, 1);
}

TEST_F(frxPrintDialogTest, pageNumbersAndFiltersRoundTrip)
{
    report.PrintOptions.PageNumbers = u"1,3,5-12"_s;
    report.PrintOptions.PrintPages = ppEven;
    report.PrintOptions.Reverse = true;
    report.PrintOptions.Copies = 3;
    report.PrintOptions.Collate = false;
    TfrxPrintDialog dialog(&report);
    dialog.show();
    EXPECT_TRUE(dialog.PageNumbersRB->isChecked());
    EXPECT_EQ(dialog.PageNumbersE->text(), u"1,3,5-12"_s);
    EXPECT_EQ(dialog.PrintPagesCB->currentIndex(), int(ppEven));
    EXPECT_EQ(dialog.OrderCB->currentIndex(), 1);
    EXPECT_FALSE(dialog.CollateCB->isChecked());

    dialog.PageNumbersE->setText(u" 2 , 4-"_s);
    dialog.DuplexCB->setCurrentIndex(2);
    dialog.OkB->click();
    EXPECT_EQ(report.PrintOptions.PageNumbers, u" 2 , 4-"_s);
    EXPECT_EQ(report.PrintOptions.PrintPages, ppEven);
    EXPECT_TRUE(report.PrintOptions.Reverse);
    EXPECT_EQ(report.PrintOptions.Copies, 3);
    EXPECT_FALSE(report.PrintOptions.Collate);
    EXPECT_EQ(dialog.Duplex(), 2);
}

TEST_F(frxPrintDialogTest, allAndCurrentPage)
{
    report.PrintOptions.PageNumbers = u"2"_s;
    {
        TfrxPrintDialog dialog(&report, 4);
        dialog.show();
        dialog.CurPageRB->setChecked(true);
        dialog.OkB->click();
        EXPECT_EQ(report.PrintOptions.PageNumbers, u"4"_s);
    }
    TfrxPrintDialog dialog(&report, 4);
    dialog.show();
    dialog.AllRB->setChecked(true);
    dialog.OkB->click();
    EXPECT_TRUE(report.PrintOptions.PageNumbers.isEmpty());
}

TEST_F(frxPrintDialogTest, unreadablePageRangeKeepsTheDialogOpen)
{
    TfrxPrintDialog dialog(&report);
    dialog.show();
    dialog.PageNumbersRB->setChecked(true);
    dialog.PageNumbersE->setText(u"1-x"_s);
    dialog.OkB->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(errors, QStringList{u"页码范围无效: \"1-x\"."_s});
    EXPECT_TRUE(report.PrintOptions.PageNumbers.isEmpty());
    dialog.PageNumbersE->setText(u"1-3"_s);
    dialog.OkB->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(report.PrintOptions.PageNumbers, u"1-3"_s);
}

TEST_F(frxPrintDialogTest, cancelRestoresThePrinterAndWritesNothing)
{
    report.PrintOptions.Copies = 2;
    TfrxPrintDialog dialog(&report);
    dialog.show();
    dialog.PrintersCB->setCurrentIndex(1);
    emit dialog.PrintersCB->activated(1);
    EXPECT_EQ(frxPrinters()->Current()->Name(), u"Lab"_s);
    dialog.CopiesE->setValue(5);
    dialog.CancelB->click();
    EXPECT_EQ(frxPrinters()->Current()->Name(), u"办公室"_s);
    EXPECT_EQ(report.PrintOptions.Copies, 2);
}

TEST_F(frxPrintDialogTest, chosenPrinterStaysAfterOk)
{
    TfrxPrintDialog dialog(&report);
    dialog.show();
    dialog.PrintersCB->setCurrentIndex(1);
    emit dialog.PrintersCB->activated(1);
    dialog.OkB->click();
    EXPECT_EQ(frxPrinters()->Current()->Name(), u"Lab"_s);
}

TEST_F(frxPrintDialogTest, printModeChoosesTheSheet)
{
    TfrxPrintDialog dialog(&report);
    dialog.show();
    dialog.PrintModeCB->setCurrentIndex(pmScale);
    emit dialog.PrintModeCB->activated(pmScale);
    EXPECT_TRUE(dialog.PagPageSizeCB->isEnabled());
    EXPECT_EQ(dialog.PagPageSizeCB->currentText(), u"A4"_s);
    dialog.PagPageSizeCB->setCurrentIndex(2);
    dialog.OkB->click();
    EXPECT_EQ(report.PrintOptions.PrintMode, pmScale);
    EXPECT_EQ(report.PrintOptions.PrintOnSheet, 11);

    // Shown again, the sheet list offers the stored sheet; back to the default mode it is
    // "default", which stands for the printer's own paper.
    TfrxPrintDialog again(&report);
    again.show();
    EXPECT_EQ(again.PagPageSizeCB->currentText(), u"A5"_s);
    again.PrintModeCB->setCurrentIndex(pmDefault);
    emit again.PrintModeCB->activated(pmDefault);
    EXPECT_FALSE(again.PagPageSizeCB->isEnabled());
    again.OkB->click();
    EXPECT_EQ(report.PrintOptions.PrintOnSheet, 256);
}

TEST_F(frxPrintDialogTest, printToFileAsksForAPrnFile)
{
    QTemporaryDir dir;
    TfrxPrintDialog dialog(&report);
    dialog.show();
    dialog.FileCB->setChecked(true);
    int asked = 0;
    dialog.AskPrintFile = [&]() -> std::optional<QString> {
        ++asked;
        return dir.filePath(u"请柬.pdf"_s);
    };
    dialog.OkB->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(frxPrinters()->Current()->OutputFile(), dir.filePath(u"请柬.prn"_s));

    // Cancelling the file dialog cancels printing, and the next dialog clears the file.
    TfrxPrintDialog second(&report);
    second.show();
    second.FileCB->setChecked(true);
    second.AskPrintFile = [] { return std::optional<QString>(); };
    second.OkB->click();
    EXPECT_EQ(second.result(), QDialog::Rejected);
    TfrxPrintDialog third(&report);
    third.show();
    third.OkB->click();
    EXPECT_TRUE(frxPrinters()->Current()->OutputFile().isEmpty());
}

TEST_F(frxPrintDialogTest, theFileDialogIsAskedForAFile)
{
    TfrxPrintDialog dialog(&report);
    dialog.show();
    testsupport::whenModal([](QWidget *modal) {
        auto *fileDialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(fileDialog, nullptr);
        EXPECT_EQ(fileDialog->acceptMode(), QFileDialog::AcceptSave);
        static_cast<QDialog *>(fileDialog)->reject();
    });
    EXPECT_FALSE(dialog.AskPrintFile().has_value());
    dialog.reject();
}

TEST_F(frxPrintDialogTest, collationPictureFollowsTheCheckBox)
{
    TfrxPrintDialog dialog(&report);
    dialog.show();
    auto *picture = static_cast<QLabel *>(dialog.CopiesPB);
    const QImage collated = printdialog::collateImage(true).toImage();
    const QImage separate = printdialog::collateImage(false).toImage();
    ASSERT_NE(collated, separate);
    EXPECT_EQ(picture->pixmap().toImage(), collated);
    dialog.CollateCB->setChecked(false);
    EXPECT_EQ(picture->pixmap().toImage(), separate);
    dialog.reject();
}

TEST_F(frxPrintDialogTest, keepsItsDesignedSizeWhenShown)
{
    TfrxPrintDialog dialog(&report);
    dialog.show();
    EXPECT_GE(dialog.width(), 557);
    EXPECT_GE(dialog.height(), 334);
    if (const QByteArray dir = qgetenv("TOVARO_SCREENSHOT_DIR"); !dir.isEmpty())
        dialog.grab().save(QString::fromLocal8Bit(dir) + u"/print_dialog.png"_s);
    dialog.reject();
}

namespace {

// Prepared pages of A5 paper, count of them, each with a black view.
void addPages(TfrxReport &report, int count)
{
    TfrxReport source;
    for (int i = 0; i < count; ++i) {
        auto *page = new TfrxReportPage(&source);
        page->SetPaperSize(11);
        auto *band = new TfrxMasterData(page);
        band->SetBounds(0, 0, 300, 300);
        auto *view = new TfrxMemoView(band);
        view->SetBounds(0, 0, 300, 300);
        view->Color = 0;
    }
    report.PreviewPages()->AddFrom(&source);
}

} // namespace

TEST_F(frxPrintDialogTest, printRunsAskThroughTheDialog)
{
    FakeHost host;
    host.printDialog = &TfrxPrintDialog::Run;
    addPages(report, 3);
    QList<int> printed;
    report.OnProgress = [&](TfrxProgressType kind, int pageNo) {
        if (kind == ptPrinting) printed.append(pageNo);
    };
    testsupport::whenModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TfrxPrintDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        // The page the preview shows is the current page.
        dialog->CurPageRB->setChecked(true);
        dialog->CopiesE->setValue(2);
        dialog->OkB->click();
    });
    EXPECT_TRUE(report.Print(2));
    EXPECT_EQ(printed, (QList<int>{2, 2}));
    EXPECT_EQ(report.PrintOptions.Copies, 1);

    // Cancelled: nothing printed.
    printed.clear();
    testsupport::whenModal([](QWidget *modal) { static_cast<TfrxPrintDialog *>(modal)->CancelB->click(); });
    EXPECT_FALSE(report.Print());
    EXPECT_TRUE(printed.isEmpty());
}

TEST_F(frxPrintDialogTest, printToFileFromTheDialogWritesThePdfThere)
{
    FakeHost host;
    host.printDialog = &TfrxPrintDialog::Run;
    addPages(report, 2);
    QTemporaryDir dir;
    testsupport::whenModal([&](QWidget *modal) {
        auto *dialog = static_cast<TfrxPrintDialog *>(modal);
        dialog->FileCB->setChecked(true);
        dialog->AskPrintFile = [&] { return std::optional<QString>(dir.filePath(u"cards"_s)); };
        dialog->OkB->click();
    });
    EXPECT_TRUE(report.Print());
    QFile written(dir.filePath(u"cards.prn"_s));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5).startsWith("%PDF-"));
    // The file was for that run: the printer prints on paper again.
    EXPECT_TRUE(frxPrinters()->Current()->OutputFile().isEmpty());
}

TEST_F(frxPrintDialogTest, theProgressWindowNamesPagesAndItsCancelStopsPrinting)
{
    TfrxWidgetHost host;
    TfrxScopedHost installed(host);
    report.PrintOptions.ShowDialog = false;
    addPages(report, 4);
    QList<int> printed;
    QStringList shown;
    report.OnProgress = [&](TfrxProgressType kind, int pageNo) {
        if (kind != ptPrinting) return;
        printed.append(pageNo);
        // The report's event comes first; the window still names the page before.
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *progress = qobject_cast<TfrxProgress *>(widget); progress && progress->isVisible()) {
                shown.append(progress->LMessage->text());
                if (pageNo == 2) progress->CancelB->click();
            }
    };
    EXPECT_FALSE(report.Print());
    EXPECT_EQ(printed, (QList<int>{1, 2}));
    EXPECT_EQ(shown, (QStringList{QString(), u"打印页1"_s}));
    for (QWidget *widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TfrxProgress *>(widget), nullptr);
}
