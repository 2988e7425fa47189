// The preview under failing commands: every key and click that fails shows the error box and the
// window goes on working.
#include "report/ui/frxPreview.h"

#include "platform/ui/errorguard.h"
#include "report/frxClass.h"
#include "report/frxPreviewPages.h"
#include "support/modal.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

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
        dialog->selectFile(fileName);
        static_cast<QDialog *>(dialog)->accept();
    });
}

} // namespace

TEST(frxPreviewErrors, keysOnABrokenFileAndAnUnwritablePathShowTheErrorAndTheWindowGoesOn)
{
    Recorder errors;
    TfrxReport report;
    report.EngineOptions.NewSilentMode = simSilent;
    report.PreviewPages()->LoadFromFile(QStringLiteral(TOVARO_TEST_DATA "/cards.fp3"), true);
    report.PreviewOptions.Maximized = false;
    TfrxPreviewForm form;
    form.resize(800, 600);
    form.ConfigureFromOptions(&report);
    form.show();
    QApplication::processEvents();
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

    // The file the preview writes ("请柬" takes ".fp3") is a folder: no one can write it, not even root.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"请柬.fp3"_s));
    chooseFile(dir.filePath(u"请柬"_s));
    QTest::keyClick(preview.Workspace, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(errors.shown.size(), 2);
    EXPECT_FALSE(preview.Frozen());

    // The window still answers keys.
    QTest::keyClick(preview.Workspace, Qt::Key_End);
    EXPECT_EQ(preview.PageNo(), std::max(1, preview.PageCount()));
}
