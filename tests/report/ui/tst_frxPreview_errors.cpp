// The preview under failing commands: every key and click that fails shows the error box and the
// window goes on working.
#include "report/ui/frxPreview.h"

#include "platform/ui/errorguard.h"
#include "report/objects/frxClass.h"
#include "report/engine/frxPreviewPages.h"
#include "support/modal.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

struct Recorder {
    QStringList shown;
    Recorder()
    {
        platform::setErrorPresenter([this](QWidget *, const QString &text) { shown.append(text); });
    }
    ~Recorder() { platform::setErrorPresenter({}); }
};

// Answers the next file dialog with fileName.
void chooseFile(const QString &fileName)
{
    testsupport::whenModal([fileName](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        // selectFile leaves a focused name field alone: type into it as a user does.
        auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        ASSERT_NE(name, nullptr);
        name->setText(fileName);
        static_cast<QDialog *>(dialog)->accept();
    });
}

// The prepared cards in a preview window, with the error boxes recorded.
struct CardsPreview {
    Recorder errors;
    TfrxReport report;
    TfrxPreviewForm form;
    CardsPreview()
    {
        report.EngineOptions.NewSilentMode = simSilent;
        report.PreviewPages()->LoadFromFile(QStringLiteral(TOVARO_TEST_DATA "/cards.fp3"), true);
        report.PreviewOptions.Maximized = false;
        form.resize(800, 600);
        form.ConfigureFromOptions(&report);
        form.show();
        QApplication::processEvents();
    }
};

} // namespace

TEST(frxPreviewErrors, keysOnABrokenFileAndAnUnwritablePathShowTheErrorAndTheWindowGoesOn)
{
    CardsPreview cards;
    Recorder &errors = cards.errors;
    TfrxPreviewForm &form = cards.form;
    TfrxPreview &preview = *form.Preview;
    const int pages = preview.PageCount();
    ASSERT_GT(pages, 0);

    QTemporaryDir dir;
    const QString broken = dir.filePath(u"损坏.fp3"_s);
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("<?xml version=\"1.0\"?><preparedreport><previewpages><page0");
    out.close();
    chooseFile(broken);
    QTest::keyClick(preview.Workspace, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(errors.shown.size(), 1);
    EXPECT_FALSE(preview.Frozen());

    // A folder that does not exist: no one can write there, not even root. (A folder named like the
    // file would be entered by the dialog's name completion instead of being chosen.)
    chooseFile(dir.filePath(u"没有的文件夹/请柬"_s));
    QTest::keyClick(preview.Workspace, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(errors.shown.size(), 2);
    EXPECT_FALSE(preview.Frozen());

    // The window still answers keys.
    QTest::keyClick(preview.Workspace, Qt::Key_End);
    EXPECT_EQ(preview.PageNo(), std::max(1, preview.PageCount()));
}

TEST(frxPreviewErrors, thePdfButtonWritesTheChosenFileOrShowsWhyItCannot)
{
    CardsPreview cards;
    Recorder &errors = cards.errors;
    TfrxPreviewForm &form = cards.form;
    ASSERT_TRUE(form.ControlShown(form.PdfB));
    EXPECT_EQ(form.PdfB->text(), u"导出PDF"_s);
    const int pages = form.Preview->PageCount();

    QTemporaryDir dir;
    chooseFile(dir.filePath(u"请柬"_s));
    form.PdfB->click();
    QFile file(dir.filePath(u"请柬.pdf"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_TRUE(bytes.contains("/Count " + QByteArray::number(pages) + ">>"));
    EXPECT_TRUE(errors.shown.isEmpty()) << errors.shown.join(u'\n').toStdString();

    // The export menu offers the same writer.
    ASSERT_TRUE(form.ControlShown(form.ExportB));
    file.close();
    ASSERT_TRUE(file.remove());
    chooseFile(dir.filePath(u"菜单"_s));
    form.ExportPopup->findChild<QAction *>(u"ExportPdfMI"_s)->trigger();
    EXPECT_EQ(QFile(dir.filePath(u"菜单.pdf"_s)).size(), bytes.size());

    chooseFile(dir.filePath(u"没有的文件夹/请柬"_s));
    form.PdfB->click();
    ASSERT_EQ(errors.shown.size(), 1);
    EXPECT_TRUE(errors.shown.front().startsWith(u"无法导出PDF文件"_s)) << errors.shown.front().toStdString();
    EXPECT_FALSE(form.Preview->Frozen());
}
