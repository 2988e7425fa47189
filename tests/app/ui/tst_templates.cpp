// The template list in the window: the farewell party's cards, the user's own templates made from
// a photo of a bought card, and the choice kept for the next start.
#include "support/mainwindow.h"

#include "app/ui/cardlabel.h"
#include "app/ui/newtemplatedialog.h"
#include "app/ui/spinedit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void shoot(QWidget *widget, const char *name)
{
    if (const QByteArray shots = qgetenv("TOVARO_SCREENSHOT_DIR"); !shots.isEmpty())
        widget->grab().save(QString::fromLocal8Bit(shots) + u'/' + QString::fromLatin1(name));
}

class Templates : public ::testing::Test, public apptest::MainWindowFixture {
protected:
    TMainForm &f() { return *form; }
    CardLabel *qj(int n) { return f().item(n); }

    // A photo of the horizontal card lying at an angle on a grey table, made with ImageMagick; empty
    // when convert is missing.
    QString angledPhoto()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("convert"));
        if (program.isEmpty()) return {};
        const QString photo = dir.file(QStringLiteral("photo.jpg"));
        QProcess process;
        process.start(program,
                      {dir.file(QStringLiteral("qingjian2.jpg")), QStringLiteral("-bordercolor"),
                       QStringLiteral("gray50"), QStringLiteral("-border"), QStringLiteral("100"),
                       QStringLiteral("-distort"), QStringLiteral("Perspective"),
                       QStringLiteral("100,100 140,150  907,100 880,90  907,695 930,720  100,695 90,640"),
                       photo});
        return process.waitForFinished(60000) && process.exitCode() == 0 ? photo : QString();
    }

    // Makes a template from photo through the dialog, as a user marks it.
    bool makeTemplate(const QString &photo, const QString &name)
    {
        apptest::onNextModal(
            [name](QWidget *modal) {
                auto *dialog = qobject_cast<NewTemplateDialog *>(modal);
                dialog->cornerView->setCorners(
                    {QPointF(140, 150), QPointF(880, 90), QPointF(930, 720), QPointF(90, 640)});
                dialog->rbHorizontal->setChecked(true);
                dialog->edtWidth->setValue(200);
                dialog->edtHeight->setValue(150);
                dialog->edtName->setText(name);
                shoot(dialog, "newtemplate_dialog.png");
                dialog->buttons->button(QDialogButtonBox::Ok)->click();
            },
            "NewTemplateDialog");
        return f().newTemplateFromFile(photo);
    }
};

} // namespace

TEST_F(Templates, theFarewellPartyHasCardsOfItsOwnWithoutTheBride)
{
    start();
    ASSERT_EQ(f().cbb1->count(), 5);
    EXPECT_EQ(f().cbb1->itemText(3), QStringLiteral("送行横排模板"));
    chooseTemplate(4);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(f().isVerticalLayout());
    EXPECT_EQ(f().cardState().templatePosition, 0);
    EXPECT_EQ(f().edtPWidth->text(), QStringLiteral("176"));
    EXPECT_EQ(f().img1->pixmap().toImage().pixel(300, 60),
              QImage(dir.file(QStringLiteral("qingjian3.jpg"))).pixel(300, 60));
    EXPECT_FALSE(qj(8)->isHidden()); // a wedding still has its bride

    EventDetails details = dialog->details();
    details.eventKind = QStringLiteral("考学送行");
    dialog->setDetails(details);
    chooseTemplate(3);
    EXPECT_TRUE(f().isHorizontalLayout());
    EXPECT_TRUE(qj(8)->isHidden());
    EXPECT_TRUE(qj(15)->isHidden());
    EXPECT_FALSE(qj(7)->isHidden());
    EXPECT_FALSE(qj(14)->isHidden());
}

TEST_F(Templates, theTemplateAndPrinterChosenLastAreChosenAtTheNextStart)
{
    start();
    chooseTemplate(2);
    restart();
    EXPECT_EQ(f().cbb1->currentText(), QStringLiteral("A4横排模板"));
    EXPECT_EQ(f().edtPWidth->text(), QStringLiteral("285"));
    EXPECT_TRUE(QFile::exists(dir.file(TMainForm::lastChoiceFileName())));
}

TEST_F(Templates, aPhotoOfTheBoughtCardBecomesATemplateToArrangeSaveExportAndDelete)
{
    const QString photo = angledPhoto();
    if (photo.isEmpty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    start();
    ASSERT_TRUE(makeTemplate(photo, QStringLiteral("王家喜帖")));
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(f().cbb1->count(), 6);
    EXPECT_EQ(f().cbb1->currentText(), QStringLiteral("王家喜帖"));
    EXPECT_TRUE(f().isHorizontalLayout());
    EXPECT_EQ(f().cardState().templatePosition, 2);
    EXPECT_EQ(f().edtPWidth->text(), QStringLiteral("200"));
    EXPECT_EQ(f().edtPHeight->text(), QStringLiteral("150"));
    // Straightened: as wide as the card's longer edge in the photo, in the card's proportions.
    const QSize picture = f().img1->pixmap().size();
    EXPECT_NEAR(picture.width(), 844, 2);
    EXPECT_NEAR(picture.height(), picture.width() * 150 / 200, 1);
    // The shipped horizontal layout, scaled from 285 × 210 to 200 × 150 mm.
    EXPECT_EQ(f().layoutTable()[0].Left, std::lround(107 * 200 / 285.0));
    shoot(&f(), "newtemplate_main.png");
    // Nothing of it in the data folder's files: it lives in its own folder.
    EXPECT_TRUE(QDir(dir.file(TMainForm::userTemplatesFolderName())).exists());

    // Arranged and saved like any template, and chosen again at the next start.
    f().edtPLeft->setText(QStringLiteral("4"));
    f().btnSaveLayoutClick();
    restart();
    EXPECT_EQ(f().cbb1->currentText(), QStringLiteral("王家喜帖"));
    EXPECT_EQ(f().edtPLeft->text(), QStringLiteral("4"));

    const QString zip = dir.file(QStringLiteral("王家喜帖.zip"));
    f().userTemplates().exportTo(*f().currentTemplate(), zip);

    // Deleted after a question; a "no" keeps it.
    apptest::onNextModal(
        [](QWidget *box) { qobject_cast<QMessageBox *>(box)->button(QMessageBox::No)->click(); },
        "QMessageBox");
    f().btnDeleteTemplateClick();
    EXPECT_EQ(f().cbb1->count(), 6);
    apptest::onNextModal(
        [](QWidget *box) { qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click(); },
        "QMessageBox");
    f().btnDeleteTemplateClick();
    EXPECT_EQ(f().cbb1->count(), 5);
    EXPECT_EQ(f().cbb1->currentText(), QStringLiteral("A4竖排模板"));

    // Imported again from the file handed on, arranged as it was.
    f().importTemplateFile(zip);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(f().cbb1->currentText(), QStringLiteral("王家喜帖"));
    EXPECT_EQ(f().edtPLeft->text(), QStringLiteral("4"));
    EXPECT_EQ(f().img1->pixmap().size(), picture);
}

TEST_F(Templates, theDialogRefusesATakenNameAndCornersThatSpanNoCard)
{
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(Qt::red);
    NewTemplateDialog dialog(photo, {QStringLiteral("A4竖排模板")});
    QPushButton *ok = dialog.buttons->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.rbHorizontal->isChecked()); // wider than tall
    EXPECT_TRUE(ok->isEnabled());
    dialog.edtName->setText(QStringLiteral("a4竖排模板"));
    EXPECT_FALSE(ok->isEnabled());
    dialog.edtName->setText(QStringLiteral("我的"));
    EXPECT_TRUE(ok->isEnabled());
    dialog.cornerView->setCorners({QPointF(10, 10), QPointF(10, 10), QPointF(10, 10), QPointF(10, 10)});
    EXPECT_FALSE(ok->isEnabled());

    // A corner is dragged with the mouse.
    dialog.cornerView->setCorners({QPointF(0, 0), QPointF(400, 0), QPointF(400, 300), QPointF(0, 300)});
    const QPoint from = dialog.cornerView->shownCorner(0).toPoint();
    QTest::mousePress(dialog.cornerView, Qt::LeftButton, {}, from);
    QTest::mouseMove(dialog.cornerView, from + QPoint(40, 30));
    QTest::mouseRelease(dialog.cornerView, Qt::LeftButton, {}, from + QPoint(40, 30));
    EXPECT_GT(dialog.corners()[0].x(), 20);
    EXPECT_GT(dialog.corners()[0].y(), 20);
}
