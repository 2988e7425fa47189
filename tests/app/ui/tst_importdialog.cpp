// Bringing whole guest lists in and out through the main window: the import preview, the
// multi-line paste into the name edit, and the CSV export.
#include "app/ui/importdialog.h"

#include "app/model/guestfile.h"
#include "app/ui/guestgrid.h"
#include "platform/errors.h"
#include "support/mainwindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ImportTest : public ::testing::Test, public apptest::MainWindowFixture {
protected:
    void SetUp() override
    {
        start();
        form->guests().addGuests({QStringLiteral("李四")});
    }
    QString write(const QByteArray &bytes)
    {
        const QString path = dir.file(QStringLiteral("名单.csv"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Runs action on the preview when it opens, then presses its button.
    void onPreview(std::function<void(TImportDialog *)> action, bool accept = true)
    {
        apptest::onNextModal(
            [action, accept](QWidget *modal) {
                auto *preview = qobject_cast<TImportDialog *>(modal);
                ASSERT_TRUE(preview);
                action(preview);
                (accept ? preview->btnOk : preview->btnCancel)->click();
            },
            "TImportDialog");
    }
};

} // namespace

TEST_F(ImportTest, thePreviewCountsAndTheChoiceDecidesWhatIsAdded)
{
    const QString path = write("\xEF\xBB\xBF序号,姓名\n1,张三\n2,\n3,李四\n4,张三\n5,王五\n");
    QString summary;
    onPreview([&](TImportDialog *preview) {
        summary = preview->lblSummary->text();
        EXPECT_EQ(preview->tblNames->rowCount(), 5);
        EXPECT_EQ(preview->tblNames->item(2, 1)->text(), QStringLiteral("名单中已有"));
        if (const QByteArray shots = qgetenv("TOVARO_SCREENSHOT_DIR"); !shots.isEmpty())
            preview->grab().save(
                QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("import_preview.png")));
    });
    form->importFile(path);
    EXPECT_EQ(summary, QStringLiteral(
                           "将添加 2 位客人。空姓名 1 个，不添加；文件中重复 1 个，名单中已有 1 个，跳过。"));
    EXPECT_EQ(form->guests().names(),
              QStringList({QStringLiteral("李四"), QStringLiteral("张三"), QStringLiteral("王五")}));
    EXPECT_EQ(form->dbgrd1->model()->rowCount(), 3);

    onPreview([](TImportDialog *preview) { preview->chkKeep->setChecked(true); });
    form->importFile(path);
    EXPECT_EQ(form->guests().names().size(), 3 + 4);

    onPreview([](TImportDialog *) {}, false);
    form->importFile(path);
    EXPECT_EQ(form->guests().names().size(), 7);
}

TEST_F(ImportTest, aDamagedFileChangesNothing)
{
    QFile xlsx(QStringLiteral(TOVARO_SOURCE_DIR "/tests/app/model/data/guests.xlsx"));
    ASSERT_TRUE(xlsx.open(QIODevice::ReadOnly));
    const QString path = write(xlsx.readAll().left(300));
    EXPECT_THROW(form->importFile(path), platform::FileError);
    EXPECT_EQ(form->guests().names(), QStringList{QStringLiteral("李四")});
}

TEST_F(ImportTest, pastingSeveralLinesOffersEachAsAGuest)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("张三\r\n王五\t同学\r\n"));
    onPreview([](TImportDialog *) {});
    form->edtMyName->setFocus();
    QTest::keySequence(form->edtMyName, QKeySequence::Paste);
    EXPECT_EQ(form->guests().names(),
              QStringList({QStringLiteral("李四"), QStringLiteral("张三"), QStringLiteral("王五")}));
    EXPECT_TRUE(form->edtMyName->text().isEmpty());

    // One line pastes as it always did.
    QGuiApplication::clipboard()->setText(QStringLiteral("赵六"));
    QTest::keySequence(form->edtMyName, QKeySequence::Paste);
    EXPECT_EQ(form->edtMyName->text(), QStringLiteral("赵六"));
}

TEST_F(ImportTest, theExportReadsBackAsTheList)
{
    form->guests().addGuests({QStringLiteral("张三"), QStringLiteral("王,五")});
    const QString path = dir.file(QStringLiteral("导出.csv"));
    form->exportFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF序号,姓名\r\n1,李四\r\n2,张三\r\n3,\"王,五\"\r\n"));
    EXPECT_EQ(guestfile::readNames(path), form->guests().names());
    EXPECT_THROW(form->exportFile(dir.file(QStringLiteral("没有的文件夹/导出.csv"))), platform::FileError);
}
