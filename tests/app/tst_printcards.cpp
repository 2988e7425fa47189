// Printing cards end to end: the card program, offscreen, prints its cards on a real print server
// of the test's own (cupsd with a cups-pdf queue), and to a PDF file; the PDF files that arrive are
// read back with poppler's tools. The preview is a stand-in that waits for the cards and prints
// them headless, as the preview's print command would.
#include "support/headlessprint.h"
#include "support/mainwindow.h"
#include "support/printserver.h"

#include "app/guestgrid.h"
#include "app/gueststore.h"
#include "report/frxPreviewPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

apptest::PrintServer *server = nullptr;

// The server runs for the whole program, started before any test asks for printers.
class PrintServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { server = new apptest::PrintServer(QStringLiteral("tovaro_cards")); }
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

// The modal preview's stand-in: lets the report's preparation timer fire, then prints.
class PrintingPreview : public frx::TfrxPreviewWindow {
public:
    PrintingPreview(frx::TfrxReport *report, std::function<void(frx::TfrxReport &)> print)
        : m_report(report), m_print(std::move(print))
    {
    }
    frx::TfrxPreparationObserver *observer() override { return nullptr; }
    void showModal() override
    {
        while (m_report->PreparationTimerActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_print(*m_report);
    }
    void showNonModal() override { showModal(); }
    void close() override {}

private:
    frx::TfrxReport *m_report;
    std::function<void(frx::TfrxReport &)> m_print;
};

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

    // Presses a print button of the main window; the preview that opens waits for the cards and
    // prints them on the test queue, or into file. The number of cards the preview showed.
    int printThroughPreview(QToolButton *button, const QString &file = {})
    {
        int cards = -1;
        bool printed = false;
        frx::setPreviewWindowFactory([&](frx::TfrxReport *shown) {
            return std::make_unique<PrintingPreview>(shown, [&](frx::TfrxReport &r) {
                cards = r.PreviewPages()->Count();
                printed = apptest::printPreparedPages(r, server->queue(), file);
            });
        });
        button->click();
        frx::setPreviewWindowFactory({});
        EXPECT_TRUE(printed);
        return cards;
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
    const int cards = printThroughPreview(form->btnPrintBtn);
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
    const int cards = printThroughPreview(form->btnPrintBtn, file);
    EXPECT_EQ(cards, 3);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(apptest::pdfPageSizes(file).size(), 3) << file.toStdString();
    QString text = apptest::pdfText(file);
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    for (const QString &name : names)
        EXPECT_TRUE(text.contains(name)) << name.toStdString() << " not in " << text.toStdString();
}

TEST_F(PrintCards, printCurrentWithTwoGuestsOfThatNameGivesTwoCards)
{
    addGuests({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张三")});
    form->guests().cursor().first();
    ASSERT_EQ(form->guests().currentName(), QStringLiteral("张三"));
    const int before = int(server->arrived().size());
    const int cards = printThroughPreview(form->btnPrintPreviewBtn);
    EXPECT_EQ(cards, 2);
    const QString pdf = server->waitForFile(before);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(apptest::pdfPageSizes(pdf).size(), 2);
    EXPECT_EQ(form->guests().query(), GuestStore::sortedQuery());
    EXPECT_EQ(form->dbgrd1->model()->rowCount(), 3);
}
