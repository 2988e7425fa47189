#include "platform/printing.h"
#include "platform/printing_p.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "tst_printing";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
}

// The page sizes pdfinfo reads from a PDF file, in points ("Page    1 size: 595 x 842 pts (A4)").
QList<QSizeF> pdfPageSizes(const QString &file)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("99"), file});
    pdfinfo.waitForFinished();
    QList<QSizeF> sizes;
    for (const QString &line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QLatin1String("Page")) && line.contains(QLatin1String("size:"))) {
            const QStringList words = line.section(QLatin1String("size:"), 1).simplified().split(u' ');
            sizes.append(QSizeF(words.value(0).toDouble(), words.value(2).toDouble()));
        }
    return sizes;
}

// True when a and b differ by at most one point in each direction.
bool samePoints(const QSizeF &a, const QSizeF &b)
{
    return std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

FakePrintDevice::Setup a4Printer()
{
    FakePrintDevice::Setup setup;
    setup.name = QStringLiteral("办公室");
    setup.papers = {
        DevicePaper{QStringLiteral("A4"), 9, QPageSize(QPageSize::A4)},
        DevicePaper{QStringLiteral("Half"), 257,
                    QPageSize(QSizeF(100, 150), QPageSize::Millimeter, QString(), QPageSize::ExactMatch)}};
    setup.marginLeft = 100;
    setup.marginTop = 50;
    setup.marginRight = 120;
    setup.marginBottom = 60;
    return setup;
}

} // namespace

TEST(printing, standardTableHasSixtySixCodesWithoutFortyEightAndFortyNine)
{
    const QList<int> &codes = standardPaperCodes();
    ASSERT_EQ(codes.size(), 66);
    EXPECT_EQ(codes.first(), 1);
    EXPECT_EQ(codes.last(), 68);
    EXPECT_FALSE(codes.contains(48));
    EXPECT_FALSE(codes.contains(49));
    EXPECT_EQ(standardPaperSizeTenthsMm(9), QSize(2100, 2970));
    EXPECT_EQ(standardPaperSizeTenthsMm(4), QSize(4318, 2794));
    EXPECT_EQ(standardPaperSizeTenthsMm(26), QSize(8636, 11176));
    EXPECT_FALSE(standardPaperSizeTenthsMm(48));
    EXPECT_FALSE(standardPaperSizeTenthsMm(256));
    EXPECT_FALSE(standardPaperSizeTenthsMm(0));
}

TEST(printing, codeBySizeTakesTheFirstCodeInEitherOrientation)
{
    EXPECT_EQ(standardPaperCodeBySize(210, 297), 9);
    EXPECT_EQ(standardPaperCodeBySize(297, 210), 9);
    EXPECT_EQ(standardPaperCodeBySize(209.9, 297.2), 9);
    EXPECT_EQ(standardPaperCodeBySize(215.9, 279.4), 1);
    EXPECT_EQ(standardPaperCodeBySize(209, 297), kUserPaperCode);
    EXPECT_EQ(standardPaperCodeBySize(100, 100), kUserPaperCode);
}

TEST(printing, pageSizesMapToWindowsCodes)
{
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::A4)), 9);
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::Letter)), 1);
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::A3)), 8);
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::A5)), 11);
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::JisB5)), 13);
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::B5)), 34); // ISO B5 is the envelope size
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::A6)), 70); // beyond the table, Qt knows it
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::AnsiC)), 24);
    // Qt calls the 18 x 24 in sheet code 24, which Windows uses for 17 x 22 in.
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QPageSize::ArchC)), 0);
    EXPECT_EQ(paperCodeFromPageSize(QPageSize(QSizeF(100, 150), QPageSize::Millimeter)), 0);
    EXPECT_EQ(paperCodeFromPageSize(QPageSize()), 0);
}

TEST(printing, windowsCodesMapToPageSizes)
{
    EXPECT_EQ(pageSizeFromPaperCode(9).id(), QPageSize::A4);
    EXPECT_EQ(pageSizeFromPaperCode(1).id(), QPageSize::Letter);
    EXPECT_EQ(pageSizeFromPaperCode(70).id(), QPageSize::A6);
    const QSizeF cSheet = pageSizeFromPaperCode(24).size(QPageSize::Millimeter);
    EXPECT_NEAR(cSheet.width(), 431.8, 0.05);
    EXPECT_NEAR(cSheet.height(), 558.8, 0.05);
    const QSizeF folio = pageSizeFromPaperCode(14).size(QPageSize::Millimeter);
    EXPECT_NEAR(folio.width(), 215.9, 0.2);
    EXPECT_NEAR(folio.height(), 330.2, 0.3);
    EXPECT_FALSE(pageSizeFromPaperCode(kUserPaperCode).isValid());
    EXPECT_FALSE(pageSizeFromPaperCode(48).isValid());
    EXPECT_FALSE(pageSizeFromPaperCode(0).isValid());
    // Every table code comes back as a code of the same size.
    for (int code : standardPaperCodes()) {
        const int back = paperCodeFromPageSize(pageSizeFromPaperCode(code));
        EXPECT_EQ(standardPaperSizeTenthsMm(back), standardPaperSizeTenthsMm(code)) << code;
    }
}

TEST(printing, modeLayoutUsesPrinterPapersThenStandardCodesThenUserSize)
{
    const QList<DevicePaper> papers = a4Printer().papers;
    DeviceMode mode;
    mode.paperCode = 257;
    mode.landscape = true;
    QPageLayout layout = pageLayoutForMode(mode, papers);
    ASSERT_TRUE(layout.isValid());
    EXPECT_EQ(layout.fullRect(QPageLayout::Millimeter).size().toSize(), QSize(150, 100));

    mode = DeviceMode{};
    mode.paperCode = kUserPaperCode;
    mode.paperWidthTenthsMm = 1000;
    mode.paperLengthTenthsMm = 1555;
    layout = pageLayoutForMode(mode, {});
    EXPECT_NEAR(layout.fullRect(QPageLayout::Millimeter).height(), 155.5, 0.01);

    // A user paper wider than long (a landscape card of 176 x 240 mm asks for width 240 and
    // length 176): the same sheet, handed over upright and turned.
    mode.paperWidthTenthsMm = 2400;
    mode.paperLengthTenthsMm = 1760;
    mode.landscape = true;
    layout = pageLayoutForMode(mode, {});
    EXPECT_EQ(layout.fullRect(QPageLayout::Millimeter).size().toSize(), QSize(176, 240));
    EXPECT_EQ(layout.orientation(), QPageLayout::Portrait);
    EXPECT_EQ(layout.pageSize().size(QPageSize::Millimeter).toSize(), QSize(176, 240));
    mode.landscape = false;
    layout = pageLayoutForMode(mode, {});
    EXPECT_EQ(layout.fullRect(QPageLayout::Millimeter).size().toSize(), QSize(240, 176));
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);

    mode.paperWidthTenthsMm = 0;
    EXPECT_FALSE(pageLayoutForMode(mode, {}).isValid());
    mode.paperCode = 999;
    EXPECT_FALSE(pageLayoutForMode(mode, {}).isValid());
}

TEST(printing, aSizeTheQueueLacksGoesOnAPaperThatHoldsItDrawnFromTheCorner)
{
    const QPageSize letter(QPageSize::Letter), a4(QPageSize::A4), a5(QPageSize::A5), a3(QPageSize::A3);
    const QPageSize card(QSizeF(176, 240), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    const QPageLayout upright(card, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    const QPageLayout turned(card, QPageLayout::Landscape, QMarginsF(), QPageLayout::Millimeter);
    const auto paper = [](const QPageLayout &layout) {
        return layout.fullRect(QPageLayout::Millimeter).size().toSize();
    };

    // The Generic PostScript driver: Letter by default, no sizes of its own.
    const QueuePapers genericPs{{letter, a4, a5, a3}, letter, false};
    EXPECT_EQ(paper(paperOnQueue(upright, genericPs)), QSize(216, 279));
    EXPECT_EQ(paperOnQueue(upright, genericPs).orientation(), QPageLayout::Portrait);
    EXPECT_EQ(paper(paperOnQueue(turned, genericPs)), QSize(279, 216));
    // A default paper too small for the card gives way to the smallest that holds it.
    EXPECT_EQ(paper(paperOnQueue(upright, QueuePapers{{a5, a3, a4}, a5, false})), QSize(210, 297));
    // Held only turned: the sheet turns.
    const QPageLayout wide(QPageSize(QSizeF(280, 200), QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                           QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    const QPageLayout onA4 = paperOnQueue(wide, QueuePapers{{a5, a4}, a4, false});
    EXPECT_EQ(paper(onA4), QSize(297, 210));
    // Nothing holds it: the default paper as the page stands, and the rest does not print.
    const QPageLayout huge(QPageSize(QSizeF(400, 500), QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                           QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    EXPECT_EQ(paper(paperOnQueue(huge, genericPs)), QSize(216, 279));

    // A queue taking sizes of its own, or having the size, prints the page on its own paper.
    EXPECT_EQ(paper(paperOnQueue(upright, QueuePapers{{letter, a4}, letter, true})), QSize(176, 240));
    const QPageLayout a4Custom(QPageSize(QSizeF(210, 297), QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                               QPageLayout::Landscape, QMarginsF(), QPageLayout::Millimeter);
    EXPECT_EQ(paper(paperOnQueue(a4Custom, genericPs)), QSize(297, 210));
}

TEST(printing, aTurnedPageHasTheUprightSheetsMarginsTurned)
{
    // Margins as a driver gives them for the upright sheet: 18 pt left and right, 36 pt top, 24 pt
    // bottom; at 72 dpi one dot a point.
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Point,
                       QMarginsF(18, 36, 18, 24));
    EXPECT_EQ(minimumMarginsDots(layout, 72), QMargins(18, 36, 18, 24));
    layout.setOrientation(QPageLayout::Landscape);
    // Turned a quarter counter-clockwise: the sheet's bottom edge is the page's left.
    EXPECT_EQ(minimumMarginsDots(layout, 72), QMargins(24, 18, 36, 18));
    EXPECT_EQ(minimumMarginsDots(layout, 144), QMargins(48, 36, 72, 36));
}

TEST(printing, fakeMeasuresTheModePaperInDots)
{
    ensureApplication();
    FakePrintDevice device(a4Printer());
    DeviceMode mode;
    const std::optional<DeviceMetrics> portrait = device.measure(mode);
    ASSERT_TRUE(portrait);
    EXPECT_EQ(portrait->dpiX, 600);
    EXPECT_EQ(portrait->physicalWidth, 4961);
    EXPECT_EQ(portrait->physicalHeight, 7016);
    EXPECT_EQ(portrait->offsetX, 100);
    EXPECT_EQ(portrait->printableWidth, 4961 - 220);
    EXPECT_EQ(portrait->printableHeight, 7016 - 110);
    mode.landscape = true;
    EXPECT_EQ(device.measure(mode)->physicalWidth, 7016);
    mode.paperCode = 999;
    EXPECT_FALSE(device.measure(mode));
    EXPECT_EQ(device.measureCount(), 3);
}

TEST(printing, fakeRecordsPagesAndRawBytes)
{
    ensureApplication();
    FakePrintDevice device(a4Printer());
    EXPECT_FALSE(device.beginPage());
    ASSERT_TRUE(device.beginJob(DeviceMode{}, QStringLiteral("请柬"), QString()));
    EXPECT_FALSE(device.beginJob(DeviceMode{}, QStringLiteral("again"), QString()));
    for (int page = 0; page < 2; ++page) {
        ASSERT_TRUE(device.beginPage());
        ASSERT_NE(device.painter(), nullptr);
        device.painter()->drawLine(0, 0, 100, 100);
        ASSERT_TRUE(device.endPage());
        EXPECT_EQ(device.painter(), nullptr);
    }
    EXPECT_TRUE(device.endJob());
    EXPECT_EQ(device.pages().size(), 2);
    EXPECT_FALSE(device.endJob());

    EXPECT_FALSE(device.writeRaw("x"));
    ASSERT_TRUE(device.beginRawJob(QStringLiteral("raw")));
    EXPECT_TRUE(device.writeRaw("\x1b@"));
    EXPECT_TRUE(device.writeRaw("AB"));
    EXPECT_TRUE(device.endRawJob());
    EXPECT_EQ(device.rawData(), QByteArray("\x1b@AB"));
}

TEST(printing, jobToFileWritesPdfPagesOfEachModeSize)
{
    ensureApplication();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("job.pdf"));
    FakePrintDevice device(a4Printer());
    ASSERT_TRUE(device.beginJob(DeviceMode{}, QStringLiteral("file"), file));
    ASSERT_TRUE(device.beginPage());
    // A file is drawn through our PDF canvas, a printer canvas at the device's resolution.
    EXPECT_EQ(device.painter(), nullptr);
    ASSERT_NE(device.canvas(), nullptr);
    EXPECT_TRUE(device.canvas()->isPrinterCanvas());
    EXPECT_EQ(device.canvas()->dpiX(), a4Printer().dpi);
    device.canvas()->textOut(100, 100, QStringLiteral("第一页"));
    ASSERT_TRUE(device.endPage());
    EXPECT_EQ(device.canvas(), nullptr);
    DeviceMode a5Landscape;
    a5Landscape.paperCode = 11;
    a5Landscape.landscape = true;
    ASSERT_TRUE(device.setJobMode(a5Landscape));
    ASSERT_TRUE(device.beginPage());
    ASSERT_TRUE(device.endPage());
    ASSERT_TRUE(device.endJob());
    EXPECT_TRUE(device.pages().isEmpty()); // file jobs paint into the file only
    const QList<QSizeF> sizes = pdfPageSizes(file);
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_TRUE(samePoints(sizes[0], QSizeF(595.3, 841.9))) << sizes[0].width() << " x " << sizes[0].height();
    EXPECT_TRUE(samePoints(sizes[1], QSizeF(595.3, 419.5))) << sizes[1].width() << " x " << sizes[1].height();
}

TEST(printing, jobForUnreachableQueueDoesNotFallBackToPdf)
{
    ensureApplication();
    PrinterJob job(QStringLiteral("tovaro-no-such-queue"), 600);
    DeviceMode mode;
    EXPECT_FALSE(job.begin(mode, pageLayoutForMode(mode, {}), QString(), QStringLiteral("t")));
    EXPECT_EQ(job.painter(), nullptr);
    EXPECT_FALSE(job.beginPage());
    EXPECT_EQ(createCupsPrintSystem()->open(QStringLiteral("tovaro-no-such-queue")), nullptr);
}

TEST(printing, fakeSystemHandsOutDevicesByName)
{
    FakePrintDevice::Setup second;
    second.name = QStringLiteral("Second");
    auto system = std::make_unique<FakePrintSystem>(QList<FakePrintDevice::Setup>{a4Printer(), second},
                                                    QStringLiteral("Second"));
    EXPECT_EQ(system->printerNames(), (QStringList{QStringLiteral("办公室"), QStringLiteral("Second")}));
    EXPECT_EQ(system->open(QStringLiteral("missing")), nullptr);
    std::unique_ptr<PrintDevice> device = system->open(QStringLiteral("Second"));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(system->lastOpened(QStringLiteral("Second")), device.get());
    device.reset();
    EXPECT_EQ(system->lastOpened(QStringLiteral("Second")), nullptr);
    // A device may outlive its system.
    device = system->open(QStringLiteral("Second"));
    system.reset();
    device.reset();
}

// Needs a CUPS server with at least one queue (the test set-up starts one); skipped otherwise.
TEST(printing, cupsQueueListsPapersAndPrintsToFile)
{
    ensureApplication();
    std::unique_ptr<PrintSystem> system = createCupsPrintSystem();
    const QStringList names = system->printerNames();
    if (names.isEmpty()) GTEST_SKIP() << "no CUPS queue";
    std::unique_ptr<PrintDevice> device = system->open(names.first());
    ASSERT_NE(device, nullptr);
    const QList<DevicePaper> papers = device->papers();
    ASSERT_FALSE(papers.isEmpty());
    QSet<int> codes;
    for (const DevicePaper &paper : papers) {
        EXPECT_FALSE(codes.contains(paper.code)) << paper.code;
        codes.insert(paper.code);
    }
    EXPECT_TRUE(codes.contains(9));
    const std::optional<DeviceMode> mode = device->defaultMode();
    ASSERT_TRUE(mode);
    const std::optional<DeviceMetrics> metrics = device->measure(*mode);
    ASSERT_TRUE(metrics);
    EXPECT_GT(metrics->dpiX, 0);
    EXPECT_GT(metrics->physicalWidth, metrics->printableWidth - 1);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cups.pdf"));
    DeviceMode a4;
    ASSERT_TRUE(device->beginJob(a4, QStringLiteral("file"), file));
    ASSERT_TRUE(device->beginPage());
    ASSERT_TRUE(device->endPage());
    ASSERT_TRUE(device->endJob());
    const QList<QSizeF> sizes = pdfPageSizes(file);
    ASSERT_EQ(sizes.size(), 1);
    EXPECT_TRUE(samePoints(sizes[0], QSizeF(595.3, 841.9))) << sizes[0].width() << " x " << sizes[0].height();
}
