// The whole job's check as the user meets it: one list in the preview of every card that would
// print badly, and a question before any of them goes to the printer.
#include "support/mainwindow.h"

#include "report/engine/frxEngine.h"
#include "report/ui/frxPreview.h"
#include "report/ui/frxWidgetHost.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class JobCheck : public ::testing::Test, public apptest::MainWindowFixture {
protected:
    void SetUp() override
    {
        frx::frxInstallWidgetHost();
        QFile::copy(QStringLiteral(TOVARO_SOURCE_DIR "/data/frx.fr3"), dir.file(QStringLiteral("frx.fr3")));
        start();
    }

    void addGuests(const QStringList &names)
    {
        for (const QString &name : names) {
            form->edtMyName->setText(name);
            form->btnMyAdd->click();
        }
    }

    // Opens the preview of all cards, waits for them, runs inPreview and closes it.
    void inPreview(const std::function<void(frx::TfrxPreviewForm *)> &action)
    {
        frx::TfrxReport &report = form->cardReportPrinter().report();
        apptest::onNextModal([&](QWidget *modal) {
            auto *preview = qobject_cast<frx::TfrxPreviewForm *>(modal);
            if (preview) {
                (void)QTest::qWaitFor(
                    [&] { return !report.PreparationTimerActive() && !report.Engine()->RunActive; }, 20000);
                QCoreApplication::processEvents();
                action(preview);
            }
            modal->close();
        });
        form->btnPrintBtn->click();
    }
};

} // namespace

TEST_F(JobCheck, thePreviewListsEveryBadCardAndAsksBeforePrinting)
{
    // The name edit takes eight characters: the long names come in through the store.
    addGuests({QStringLiteral("张三"), QStringLiteral("李四")});
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names << QStringLiteral("客人%1").arg(i);
    names << QString(30, QChar(0x738B));
    form->guests().addGuests(names);

    QString listed;
    bool visible = false;
    QString question;
    inPreview([&](frx::TfrxPreviewForm *preview) {
        listed = preview->JobCheckE->toPlainText();
        visible = preview->JobCheckE->isVisible();
        apptest::onNextModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            question = box->text() + box->informativeText();
            box->button(QMessageBox::No)->click();
        });
        preview->PrintB->click();
    });
    EXPECT_TRUE(visible);
    EXPECT_TRUE(listed.contains(QStringLiteral("43 张请柬中 1 张"))) << listed.toStdString();
    EXPECT_TRUE(listed.contains(QString(30, QChar(0x738B)) + QStringLiteral("：“客人姓名”超出文本框")))
        << listed.toStdString();
    EXPECT_FALSE(listed.contains(QStringLiteral("张三")));
    EXPECT_TRUE(question.contains(QString(30, QChar(0x738B)))) << question.toStdString();
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join(u'\n').toStdString();
}

TEST_F(JobCheck, goodCardsPrintWithoutAQuestion)
{
    addGuests({QStringLiteral("张三")});
    bool visible = true;
    inPreview([&](frx::TfrxPreviewForm *preview) { visible = preview->JobCheckE->isVisible(); });
    EXPECT_FALSE(visible);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join(u'\n').toStdString();
}
