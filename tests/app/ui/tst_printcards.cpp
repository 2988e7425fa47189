// Printing cards end to end: the card program, offscreen, prints its cards through the preview on a
// real print server of the test's own (cupsd with a cups-pdf queue and queues with the drivers of
// real printers), and to a PDF file; what arrives is read back from the output itself (poppler,
// Ghostscript, the PCL raster the inkjet driver sends).
#include "support/mainwindow.h"
#include "support/printserver.h"

#include "app/ui/calibrationdialog.h"
#include "app/ui/guestgrid.h"
#include "app/ui/scrollbox.h"
#include "app/ui/spinedit.h"
#include "app/model/gueststore.h"
#include "platform/printing.h"
#include "report/engine/frxEngine.h"
#include "report/ui/frxPreview.h"
#include "report/ui/frxWidgetHost.h"
#include "report/engine/frxPreviewPages.h"
#include "report/ui/frxPrintDialog.h"
#include "report/ui/frxProgress.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

apptest::PrintServer *server = nullptr;

// The server runs for the whole program, started before any test asks for printers.
class PrintServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        server = new apptest::PrintServer(QStringLiteral("tovaro_cards"));
        // The windows the card program installs at start.
        frx::frxInstallWidgetHost();
    }
    void TearDown() override
    {
        delete server;
        server = nullptr;
    }
};

const auto *const printServerEnvironment = ::testing::AddGlobalTestEnvironment(new PrintServerEnvironment);

constexpr double pointsPerMm = 72.0 / 25.4;

// The card of the shipped vertical profile ("A4竖排模板"): 176 x 240 mm; the guest's name (item 0)
// stands at 143, 74 mm in 16 points, and no other item reaches right of 140 mm.
constexpr double cardWidthMm = 176, cardHeightMm = 240;
constexpr double nameLeftMm = 143, nameTopMm = 74;

class PrintCards : public ::testing::Test, public apptest::MainWindowFixture {
protected:
    void SetUp() override
    {
        if (!server->isRunning())
            GTEST_SKIP() << "print server could not start: " << server->failure().toStdString();
        QFile::copy(QStringLiteral(TOVARO_SOURCE_DIR "/data/frx.fr3"), dir.file(QStringLiteral("frx.fr3")));
        start();
        ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    }

    void addGuests(const QStringList &names)
    {
        for (const QString &name : names) {
            form->edtMyName->setText(name);
            form->btnMyAdd->click();
        }
    }

    frx::TfrxReport &report() { return form->cardReportPrinter().report(); }

    // Presses a print button of the main window; in the preview that opens, waits for the cards,
    // runs inPreview and closes the window. The number of cards the preview showed.
    int printThroughPreview(QToolButton *button, const std::function<void(frx::TfrxPreviewForm *)> &inPreview)
    {
        int cards = -1;
        apptest::onNextModal([&](QWidget *modal) {
            auto *preview = qobject_cast<frx::TfrxPreviewForm *>(modal);
            if (preview) {
                (void)QTest::qWaitFor(
                    [this] { return !report().PreparationTimerActive() && !report().Engine()->RunActive; },
                    20000);
                cards = report().PreviewPages()->Count();
                if (const QByteArray shots = qgetenv("TOVARO_SCREENSHOT_DIR"); !shots.isEmpty())
                    preview->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/card_preview.png"));
                inPreview(preview);
            }
            modal->close();
        });
        button->click();
        return cards;
    }

    // The preview's print button; the report's own print options choose the default printer, which
    // is the test queue.
    void printToQueue(frx::TfrxPreviewForm *preview) { preview->PrintB->click(); }

    // Chooses the printer on the toolbar as the user would.
    void choosePrinter(const QString &name)
    {
        const int index = form->cbbPrinter->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        form->cbbPrinter->setCurrentIndex(index);
        emit form->cbbPrinter->activated(index);
    }

    // The print button's menu item, which asks in the print dialog whatever the card report's
    // ShowDialog says; there "print to file" into file.
    void printToFile(frx::TfrxPreviewForm *preview, const QString &file)
    {
        ASSERT_FALSE(report().PrintOptions.ShowDialog);
        apptest::onNextModal([file](QWidget *modal) {
            auto *dialog = qobject_cast<frx::TfrxPrintDialog *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            dialog->FileCB->setChecked(true);
            apptest::onNextModal(
                [file](QWidget *chooser) {
                    if (auto *files = qobject_cast<QFileDialog *>(chooser)) {
                        const QFileInfo target(file);
                        files->setDirectory(target.absolutePath());
                        // Typed into the name field, as a user would (selectFile leaves a focused
                        // field alone).
                        auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                        ASSERT_NE(name, nullptr);
                        name->setText(target.fileName());
                        QMetaObject::invokeMethod(files, "accept");
                    } else {
                        chooser->close();
                    }
                },
                "QFileDialog");
            dialog->OkB->click();
        });
        auto *withDialog = preview->findChild<QAction *>(QStringLiteral("PrintDialogMI"));
        ASSERT_NE(withDialog, nullptr);
        withDialog->trigger();
    }
};

// The name column of the card: from the item's left edge, one 16-point character wide, down to the
// card's bottom edge; in pixels at dpi.
QRect nameColumnPixels(int dpi)
{
    const double pixelsPerMm = dpi / 25.4;
    return QRect(QPoint(int((nameLeftMm - 1) * pixelsPerMm), int((nameTopMm - 1) * pixelsPerMm)),
                 QPoint(int((nameLeftMm + 9) * pixelsPerMm), int(cardHeightMm * pixelsPerMm) - 1));
}

// Where the name's ink starts on a printed page, in millimetres from the paper's corner.
QPointF nameInkMm(const apptest::PrintedPage &page)
{
    const QRect ink = apptest::inkBounds(page.grey, nameColumnPixels(page.dpi));
    if (ink.isEmpty()) return QPointF(-1, -1);
    return QPointF(ink.left() * 25.4 / page.dpi, ink.top() * 25.4 / page.dpi);
}

void saveForLooking(const QImage &image, const QString &name)
{
    if (const QByteArray shots = qgetenv("TOVARO_SCREENSHOT_DIR"); !shots.isEmpty())
        image.save(QString::fromLocal8Bit(shots) + QLatin1Char('/') + name);
}

QRect rightOfNameColumnPixels(int dpi)
{
    const double pixelsPerMm = dpi / 25.4;
    return QRect(QPoint(int((nameLeftMm + 9) * pixelsPerMm) + 1, 0),
                 QPoint(int(cardWidthMm * pixelsPerMm) - 1, int(cardHeightMm * pixelsPerMm) - 1));
}

} // namespace

TEST_F(PrintCards, printAllSendsOneUprightCardPerGuestToTheQueue)
{
    // "一二三" is all level strokes: upright in its column they stack as six bands of ink.
    addGuests({QStringLiteral("一二三"), QStringLiteral("O'Brien"), QStringLiteral("张三丰")});
    const int before = int(server->arrived().size());
    const int cards =
        printThroughPreview(form->btnPrintBtn, [this](frx::TfrxPreviewForm *p) { printToQueue(p); });
    EXPECT_EQ(cards, 3);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    const QString pdf = server->waitForFile(before);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF arrived in " << server->outputDir().toStdString();

    const QList<QSizeF> sizes = apptest::pdfPageSizes(pdf);
    ASSERT_EQ(sizes.size(), 3);
    for (const QSizeF &size : sizes) {
        EXPECT_NEAR(size.width(), cardWidthMm * pointsPerMm, 1.0);
        EXPECT_NEAR(size.height(), cardHeightMm * pointsPerMm, 1.0);
    }

    const int dpi = 100;
    const QImage page = apptest::renderPdfPage(pdf, 1, dpi);
    ASSERT_FALSE(page.isNull());
    page.save(QDir::temp().filePath(QStringLiteral("tovaro_printed_card.png")));
    const QRect column = nameColumnPixels(dpi);
    const QRect ink = apptest::inkBounds(page, column);
    ASSERT_FALSE(ink.isEmpty()) << "no ink where the name goes";
    // The name runs down from its place, one character wide.
    EXPECT_LT(ink.left() - column.left(), 3 * dpi / 25.4);
    EXPECT_LT(ink.top() - column.top(), 6 * dpi / 25.4);
    EXPECT_GT(ink.height(), 2 * ink.width());
    EXPECT_EQ(apptest::inkRuns(page, ink, Qt::Horizontal), 1);
    EXPECT_GE(apptest::inkRuns(page, ink, Qt::Vertical), 6);
    EXPECT_TRUE(apptest::inkBounds(page, rightOfNameColumnPixels(dpi)).isEmpty());

    EXPECT_EQ(form->guests().query(), GuestStore::sortedQuery());
}

TEST_F(PrintCards, printAllToAFileWritesEveryGuestsName)
{
    const QStringList names{QStringLiteral("一二三"), QStringLiteral("O'Brien"), QStringLiteral("张三丰")};
    addGuests(names);
    const QString file = dir.file(QStringLiteral("cards.prn"));
    const int cards =
        printThroughPreview(form->btnPrintBtn, [&](frx::TfrxPreviewForm *p) { printToFile(p, file); });
    EXPECT_EQ(cards, 3);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(apptest::pdfPageSizes(file).size(), 3) << file.toStdString();
    QString text = apptest::pdfText(file);
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    for (const QString &name : names)
        EXPECT_TRUE(text.contains(name)) << name.toStdString() << " not in " << text.toStdString();
    // Written by our own PDF writer: its producer, and the faces as tagged subsets that map back to
    // the characters.
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.contains("/Producer <feff0054006f007600610072006f>"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/BaseFont/[A-Z]{6}\\+")).match(QString::fromLatin1(bytes)).hasMatch());
    EXPECT_TRUE(bytes.contains("/ToUnicode"));
}

TEST_F(PrintCards, printCurrentWithTwoGuestsOfThatNameGivesTwoCards)
{
    addGuests({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张三")});
    form->guests().cursor().first();
    ASSERT_EQ(form->guests().currentName(), QStringLiteral("张三"));
    const int before = int(server->arrived().size());
    const int cards =
        printThroughPreview(form->btnPrintPreviewBtn, [this](frx::TfrxPreviewForm *p) { printToQueue(p); });
    EXPECT_EQ(cards, 2);
    const QString pdf = server->waitForFile(before);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(apptest::pdfPageSizes(pdf).size(), 2);
    EXPECT_EQ(form->guests().query(), GuestStore::sortedQuery());
    EXPECT_EQ(form->dbgrd1->model()->rowCount(), 3);
}

TEST_F(PrintCards, aChangeOfCopiesWithinAJobReachesTheQueueFromThatPage)
{
    // The queue takes copies (like bin and duplex) per document: the first page goes alone, the
    // two after the change follow as the next document.
    std::unique_ptr<platform::PrintSystem> system = platform::createCupsPrintSystem();
    std::unique_ptr<platform::PrintDevice> device = system->open(server->queue());
    ASSERT_NE(device, nullptr);
    const int before = int(server->arrived().size());
    platform::DeviceMode mode;
    ASSERT_TRUE(device->beginJob(mode, QStringLiteral("copies"), QString()));
    ASSERT_TRUE(device->beginPage() && device->endPage());
    mode.copies = 2;
    ASSERT_TRUE(device->setJobMode(mode));
    for (int page = 0; page < 2; ++page)
        ASSERT_TRUE(device->beginPage() && device->endPage());
    ASSERT_TRUE(device->endJob());
    ASSERT_FALSE(server->waitForFile(before + 1).isEmpty()) << "the second document did not arrive";
    const QStringList arrived = server->arrived().mid(before);
    ASSERT_EQ(arrived.size(), 2);
    EXPECT_EQ(apptest::pdfPageSizes(arrived[0]).size(), 1);
    EXPECT_GE(apptest::pdfPageSizes(arrived[1]).size(), 2);
}

TEST_F(PrintCards, aCalibrationSheetGoesThroughThePrintDialogAndItsMoveIsAddedToThatPrintersOffsets)
{
    form->edtPLeft->setText(QStringLiteral("3"));
    const int before = int(server->arrived().size());
    bool asked = false;
    apptest::onNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<frx::TfrxPrintDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        apptest::onNextModal(
            [&](QWidget *question) {
                auto *calibration = qobject_cast<CalibrationDialog *>(question);
                asked = calibration != nullptr;
                if (!calibration) {
                    question->close();
                    return;
                }
                calibration->edtRight->setValue(2);
                calibration->edtDown->setValue(-1);
                calibration->accept();
            },
            "CalibrationDialog");
        dialog->OkB->click();
    });
    form->btnCalibrate->click();
    ASSERT_TRUE(asked);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    const QString pdf = server->waitForFile(before);
    ASSERT_FALSE(pdf.isEmpty()) << "no calibration sheet arrived in " << server->outputDir().toStdString();
    ASSERT_EQ(apptest::pdfPageSizes(pdf).size(), 1);

    EXPECT_EQ(form->cbbPrinter->currentText(), server->queue());
    EXPECT_EQ(form->edtPLeft->text(), QStringLiteral("5"));
    EXPECT_EQ(form->edtPTop->text(), QStringLiteral("-1"));
    restart();
    EXPECT_EQ(form->edtPLeft->text(), QStringLiteral("5"));
}

TEST_F(PrintCards, cardsLandWhereThePdfExportPutsThemOnTheQueuesOfRealDrivers)
{
    // Laser and inkjet drivers have unprintable margins and none of them takes the card's size:
    // each card goes onto the paper the queue takes, drawn from the paper's corner, and the HP
    // queue would even fit pages to its printable area unless told not to.
    const QStringList names{QStringLiteral("一二三"), QStringLiteral("张三丰")};
    addGuests(names);
    form->guests().cursor().first();
    const QRect picture(form->img1->mapTo(form->scrlbx1, QPoint(0, 0)), form->img1->size());
    saveForLooking(form->scrlbx1->grab(picture & form->scrlbx1->rect()).toImage(), QStringLiteral("canvas.png"));
    const int dpi = 150;
    const QString file = dir.file(QStringLiteral("reference.prn"));
    ASSERT_EQ(printThroughPreview(form->btnPrintBtn, [&](frx::TfrxPreviewForm *p) { printToFile(p, file); }), 2);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    QList<QPointF> expected;
    for (int page = 1; page <= 2; ++page) {
        const QImage image = apptest::renderPdfPage(file, page, dpi);
        ASSERT_FALSE(image.isNull());
        expected << nameInkMm(apptest::PrintedPage{image, dpi});
        ASSERT_GE(expected.last().x(), 0) << "no name on the exported card " << page;
    }

    struct Queue {
        QString kind;
        QString paper;  // the driver's name of the paper the cards land on
        QSizeF paperMm;
    };
    const QList<Queue> queues{{QStringLiteral("ps"), QStringLiteral("Letter"), QSizeF(215.9, 279.4)},
                              {QStringLiteral("hp"), QStringLiteral("A4"), QSizeF(210, 297)},
                              {QStringLiteral("inkjet"), QStringLiteral("A4"), QSizeF(210, 297)}};
    for (const Queue &queue : queues) {
        SCOPED_TRACE(queue.kind.toStdString());
        choosePrinter(server->driverQueue(queue.kind));
        const int before = int(server->driverJobs(queue.kind).size());
        EXPECT_EQ(printThroughPreview(form->btnPrintBtn, [this](frx::TfrxPreviewForm *p) { printToQueue(p); }), 2);
        ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
        const QString job = server->waitForDriverJob(queue.kind, before);
        ASSERT_FALSE(job.isEmpty()) << "nothing arrived on " << server->driverQueue(queue.kind).toStdString();
        const QRectF printable = server->printableAreaMm(queue.kind, queue.paper);
        ASSERT_FALSE(printable.isEmpty());
        const QList<apptest::PrintedPage> pages = apptest::readPrinterJob(job, dpi, printable.left());
        ASSERT_EQ(pages.size(), 2) << job.toStdString();
        for (int i = 0; i < 2; ++i) {
            EXPECT_NEAR(pages[i].sizeMm().width(), queue.paperMm.width(), 1.0);
            EXPECT_NEAR(pages[i].sizeMm().height(), queue.paperMm.height(), 1.0);
            const QPointF ink = nameInkMm(pages[i]);
            EXPECT_NEAR(ink.x(), expected[i].x(), 0.5) << "card " << i + 1;
            EXPECT_NEAR(ink.y(), expected[i].y(), 0.5) << "card " << i + 1;
        }
        saveForLooking(pages.first().grey, QStringLiteral("printed_%1.png").arg(queue.kind));
    }
}

TEST_F(PrintCards, wholeCardsCarryTheirPictureInFullColourIntoThePdfAndOverprintingDoesNot)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    if (program.isEmpty()) GTEST_SKIP() << "poppler's pdfimages is not installed";
    addGuests({QStringLiteral("张三")});
    // The pictures in a PDF as pdfimages lists them: "width height color" of each.
    const auto images = [&](const QString &file) {
        QProcess process;
        process.start(program, {QStringLiteral("-list"), file});
        process.waitForFinished(30000);
        QStringList found;
        const QStringList lines = QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n');
        for (const QString &line : lines.mid(2)) {
            const QStringList columns = line.simplified().split(u' ');
            if (columns.size() > 5) found << columns.mid(3, 3).join(u' ');
        }
        return found;
    };

    form->actWholeCards->setChecked(true);
    const QString whole = dir.file(QStringLiteral("whole.prn"));
    const int cards =
        printThroughPreview(form->btnPrintBtn, [&](frx::TfrxPreviewForm *p) { printToFile(p, whole); });
    EXPECT_EQ(cards, 1);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    // The picture at its own resolution (595 × 807 pixels for 176 × 240 mm), in colour.
    EXPECT_EQ(images(whole), QStringList{QStringLiteral("595 807 rgb")});
    const QImage page = apptest::renderPdfPage(whole, 1, 72);
    // Rendered in grey: the card's red frame dark at its edge, its paper light inside.
    EXPECT_LT(qGray(page.pixel(3, page.height() / 2)), 120);
    EXPECT_GT(qGray(page.pixel(page.width() / 2, page.height() - 60)), 200);
    EXPECT_TRUE(apptest::pdfText(whole).contains(QStringLiteral("张")));

    form->actWholeCards->setChecked(false);
    const QString overprint = dir.file(QStringLiteral("overprint.prn"));
    printThroughPreview(form->btnPrintBtn, [&](frx::TfrxPreviewForm *p) { printToFile(p, overprint); });
    EXPECT_TRUE(images(overprint).isEmpty());
}
