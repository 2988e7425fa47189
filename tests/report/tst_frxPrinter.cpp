#include "report/output/frxPrinter.h"
#include "report/output/frxPrintableArea.h"

#include "platform/codepage.h"
#include "tests/report/support/pdfinfo.h"
#include "tests/support/gui_environment.h"
#include "tests/support/fakehost.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;
using platform::DevicePaper;
using platform::FakePrintDevice;
using platform::FakePrintSystem;

namespace {

FakePrintDevice::Setup printer(const QString &name)
{
    FakePrintDevice::Setup setup;
    setup.name = name;
    setup.papers = {
        DevicePaper{QStringLiteral("A4"), 9, QPageSize(QPageSize::A4)},
        DevicePaper{QStringLiteral("A5"), 11, QPageSize(QPageSize::A5)},
        DevicePaper{QStringLiteral("User"), 256, QPageSize(QPageSize::A6)},
        DevicePaper{QStringLiteral("请柬"), 257,
                    QPageSize(QSizeF(185, 260), QPageSize::Millimeter, QString(), QPageSize::ExactMatch)}};
    setup.bins = {platform::DeviceBin{QStringLiteral("Auto"), 7, QStringLiteral("auto")},
                  platform::DeviceBin{QStringLiteral("上层"), 1, QStringLiteral("top")},
                  platform::DeviceBin{QStringLiteral("手动"), 4, QStringLiteral("manual")}};
    // At 600 dots per inch: 100 dots = 4.23 mm, 50 = 2.12, 120 = 5.08, 60 = 2.54.
    setup.marginLeft = 100;
    setup.marginTop = 50;
    setup.marginRight = 120;
    setup.marginBottom = 60;
    return setup;
}

// Installs a fake print system for the test's life; errors reported by printers are collected.
class frxPrinterTest : public ::testing::Test {
protected:
    FakeHost host;
    void SetUp() override
    {
        host.printerError = [this](const QString &caption, const QString &text) {
            errors.append(caption + QStringLiteral(": ") + text);
        };
    }
    void TearDown() override
    {
        platform::setPrintSystem(nullptr);
    }

    FakePrintSystem *install(QList<FakePrintDevice::Setup> printers, const QString &defaultName)
    {
        auto system = std::make_unique<FakePrintSystem>(std::move(printers), defaultName);
        FakePrintSystem *raw = system.get();
        platform::setPrintSystem(std::move(system));
        return raw;
    }

    QStringList errors;
};

} // namespace

TEST(frxPaperTable, looksUpStandardSizesInMillimetres)
{
    const std::optional<PaperSizeMm> a4 = LookUpPaperSize(9);
    ASSERT_TRUE(a4);
    EXPECT_EQ(a4->width, 210);
    EXPECT_EQ(a4->height, 297);
    const std::optional<PaperSizeMm> envelope = LookUpPaperSize(19);
    ASSERT_TRUE(envelope);
    EXPECT_NEAR(double(envelope->width), 98.4, 1e-9);
    EXPECT_NEAR(double(envelope->height), 225.4, 1e-9);
    EXPECT_FALSE(LookUpPaperSize(48));
    EXPECT_FALSE(LookUpPaperSize(49));
    EXPECT_FALSE(LookUpPaperSize(256));
    EXPECT_FALSE(LookUpPaperSize(69));

    EXPECT_EQ(LookUpPaperCode(210, 297), 9);
    EXPECT_EQ(LookUpPaperCode(297, 210), 9);
    EXPECT_EQ(LookUpPaperCode(148, 210), 11);
    EXPECT_EQ(LookUpPaperCode(185, 260), DMPAPER_USER);
}

TEST_F(frxPrinterTest, workstationWithoutPrintersHasTheVirtualPrinter)
{
    install({}, QString());
    TfrxPrinters printers;
    EXPECT_FALSE(printers.HasRealPrinters());
    ASSERT_EQ(printers.Count(), 1);
    EXPECT_EQ(printers.Names(), QStringList{QStringLiteral("虚拟")});
    EXPECT_EQ(printers.CurrentIndex(), 0);
    EXPECT_EQ(printers.DefaultPrinterName(), QString());
    TfrxCustomPrinter *current = printers.Current();
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(current->Initialized());
    ASSERT_EQ(current->Papers().size(), 67);
    EXPECT_EQ(current->Papers().first(), (NamedCode{QStringLiteral("自定"), 256}));
    EXPECT_EQ(current->Papers()[1].code, 1);
    EXPECT_EQ(current->Papers().last().code, 68);
    EXPECT_EQ(current->PaperIndex(48), -1);
    QStringList names;
    for (const NamedCode &paper : current->Papers()) {
        EXPECT_FALSE(paper.name.isEmpty()) << paper.code;
        EXPECT_FALSE(names.contains(paper.name)) << paper.name.toStdString();
        names.append(paper.name);
    }
    EXPECT_EQ(current->PaperNameToCode(QStringLiteral("A4")), 9);
    EXPECT_EQ(current->Bins(), (QList<NamedCode>{{QStringLiteral("预设"), 7}}));
    EXPECT_EQ(current->DPI(), QPoint(600, 600));
    EXPECT_EQ(current->Paper(), 9);
    EXPECT_EQ(current->Orientation(), poPortrait);
    EXPECT_EQ(current->PaperWidth(), 210);
    EXPECT_EQ(current->PaperHeight(), 297);
    EXPECT_EQ(current->LeftMargin(), 5);
    EXPECT_EQ(current->TopMargin(), 5);
    EXPECT_EQ(current->RightMargin(), 5);
    EXPECT_EQ(current->BottomMargin(), 5);
    EXPECT_EQ(current->DefPaper(), 9);
    EXPECT_EQ(current->DefPaperWidth(), 210);
    EXPECT_EQ(current->DefPaperHeight(), 297);
    EXPECT_FALSE(current->BeginJob());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(frxPrinterTest, virtualPrinterTakesTableSizesOrTheGivenOnes)
{
    install({}, QString());
    TfrxPrinters printers;
    TfrxCustomPrinter *virtualPrinter = printers.Current();
    virtualPrinter->SetPaperForView(11, 0, 0, poLandscape);
    EXPECT_EQ(virtualPrinter->Paper(), 11);
    EXPECT_EQ(virtualPrinter->PaperWidth(), 210);
    EXPECT_EQ(virtualPrinter->PaperHeight(), 148);
    virtualPrinter->SetPaperForView(500, 90, 55, poPortrait);
    EXPECT_EQ(virtualPrinter->Paper(), 256);
    EXPECT_EQ(virtualPrinter->PaperWidth(), 90);
    EXPECT_EQ(virtualPrinter->PaperHeight(), 55);
    EXPECT_EQ(virtualPrinter->LeftMargin(), 5);
    virtualPrinter->SetPaperForPrint(9, 0, 0, poPortrait, 4, 1, 1);
    EXPECT_EQ(virtualPrinter->PaperWidth(), 210);
    EXPECT_EQ(virtualPrinter->DriverDialogBin(), 4);
}

TEST_F(frxPrinterTest, listStartsOnTheDefaultPrinterAndFindsNamesInAnyCase)
{
    install({printer(QStringLiteral("Office")), printer(QStringLiteral("Front Desk")),
             printer(QStringLiteral("前台"))},
            QStringLiteral("Front Desk"));
    TfrxPrinters printers;
    EXPECT_TRUE(printers.HasRealPrinters());
    EXPECT_EQ(printers.Names(),
              (QStringList{QStringLiteral("Office"), QStringLiteral("Front Desk"), QStringLiteral("前台")}));
    EXPECT_EQ(printers.CurrentIndex(), 1);
    EXPECT_TRUE(printers.Current()->Initialized());
    EXPECT_FALSE(printers.PrinterAt(0)->Initialized()); // prepared when it first becomes current
    EXPECT_EQ(printers.PrinterAt(-1), nullptr);
    EXPECT_EQ(printers.PrinterAt(3), nullptr);

    EXPECT_EQ(printers.FindByName(QStringLiteral("office")), 0);
    EXPECT_EQ(printers.FindByName(QStringLiteral("FRONT DESK")), 1);
    EXPECT_EQ(printers.FindByName(QStringLiteral("前台")), 2);
    EXPECT_EQ(printers.FindByName(QStringLiteral("Office ")), -1);
    EXPECT_EQ(printers.FindByName(QStringLiteral("预设")), -1);

    printers.SelectByName(QStringLiteral("OFFICE"));
    EXPECT_EQ(printers.CurrentIndex(), 0);
    EXPECT_TRUE(printers.Current()->Initialized());
    printers.SelectByName(QStringLiteral("预设"));
    EXPECT_EQ(printers.CurrentIndex(), 0);
    printers.SetCurrentIndex(7);
    EXPECT_EQ(printers.CurrentIndex(), 0);
    printers.SetCurrentIndex(-1);
    EXPECT_EQ(printers.CurrentIndex(), 1);
}

TEST_F(frxPrinterTest, defaultNotListedLeavesTheFirstPrinterCurrent)
{
    install({printer(QStringLiteral("A")), printer(QStringLiteral("B"))}, QStringLiteral("Gone"));
    TfrxPrinters printers;
    EXPECT_EQ(printers.CurrentIndex(), 0);
    EXPECT_EQ(printers.Current()->Name(), QStringLiteral("A"));
}

TEST_F(frxPrinterTest, refillEnumeratesAgain)
{
    install({printer(QStringLiteral("A"))}, QString());
    TfrxPrinters printers;
    EXPECT_EQ(printers.Count(), 1);
    install({printer(QStringLiteral("A")), printer(QStringLiteral("B"))}, QStringLiteral("B"));
    printers.Refill();
    EXPECT_EQ(printers.Names(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(printers.CurrentIndex(), 1);
    install({}, QString());
    printers.Refill();
    EXPECT_FALSE(printers.HasRealPrinters());
    EXPECT_EQ(printers.Names(), QStringList{QStringLiteral("虚拟")});
}

TEST_F(frxPrinterTest, prepareReadsPapersBinsAndMeasuredMargins)
{
    install({printer(QStringLiteral("Office"))}, QString());
    TfrxPrinters printers;
    TfrxCustomPrinter *office = printers.Current();
    ASSERT_TRUE(office->Initialized());
    // The device's own user-defined entry and its automatic bin are not listed twice.
    EXPECT_EQ(office->Papers(), (QList<NamedCode>{{QStringLiteral("自定"), 256},
                                                  {QStringLiteral("A4"), 9},
                                                  {QStringLiteral("A5"), 11},
                                                  {QStringLiteral("请柬"), 257}}));
    EXPECT_EQ(office->Bins(),
              (QList<NamedCode>{
                  {QStringLiteral("预设"), 7}, {QStringLiteral("上层"), 1}, {QStringLiteral("手动"), 4}}));
    EXPECT_EQ(office->BinNameToCode(QStringLiteral("手动")), 4);
    EXPECT_EQ(office->BinNameToCode(QStringLiteral("nope")), 7);
    EXPECT_EQ(office->PaperNameToCode(QStringLiteral("nope")), 256);
    EXPECT_EQ(office->DPI(), QPoint(600, 600));
    EXPECT_EQ(office->Paper(), 9);
    EXPECT_EQ(office->DefPaper(), 9);
    EXPECT_EQ(office->PaperWidth(), 210);
    EXPECT_EQ(office->PaperHeight(), 297);
    EXPECT_EQ(office->LeftMargin(), 4);
    EXPECT_EQ(office->TopMargin(), 2);
    // 4961 - 220 dots = 200.6 mm -> 201; 210 - 201 - 4.
    EXPECT_EQ(office->RightMargin(), 5);
    // 7016 - 110 dots = 292.3 mm -> 292; 297 - 292 - 2.
    EXPECT_EQ(office->BottomMargin(), 3);
    EXPECT_EQ(office->DriverDialogBin(), -1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(frxPrinterTest, thePrintableAreaOfACardIsAskedWithoutChangingThePaperInForce)
{
    install({printer(QStringLiteral("Office")), printer(QStringLiteral("Lab"))}, QStringLiteral("Office"));
    frxPrinters()->Refill();
    const std::optional<QRectF> card = frxPrintableAreaMm(QStringLiteral("lab"), 176, 240, poPortrait);
    ASSERT_TRUE(card);
    // Measured in dots from the paper's corner: 100, 50, 120 and 60 at 600 dots per inch.
    const double mm = 25.4 / 600;
    EXPECT_NEAR(card->left(), 100 * mm, 1e-9);
    EXPECT_NEAR(card->top(), 50 * mm, 1e-9);
    EXPECT_NEAR(card->right(), 176 - 120 * mm, 0.05);
    EXPECT_NEAR(card->bottom(), 240 - 60 * mm, 0.05);
    TfrxCustomPrinter *lab = frxPrinters()->PrinterAt(frxPrinters()->FindByName(QStringLiteral("Lab")));
    EXPECT_EQ(lab->Paper(), 9);
    EXPECT_EQ(lab->PaperWidth(), 210);
    EXPECT_TRUE(frxPrintableAreaMm(QString(), 240, 176, poLandscape));
    EXPECT_FALSE(frxPrintableAreaMm(QStringLiteral("nowhere"), 176, 240, poPortrait));

    install({}, QString());
    frxPrinters()->Refill();
    // The virtual printer keeps 5 mm on every side.
    EXPECT_EQ(frxPrintableAreaMm(QString(), 176, 240, poPortrait), QRectF(5, 5, 166, 230));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(frxPrinterTest, deviceSizesBecomeWholeMillimetres)
{
    FakePrintDevice::Setup setup = printer(QStringLiteral("Odd"));
    setup.papers.prepend(DevicePaper{
        QStringLiteral("Almost A4"), 300,
        QPageSize(QSizeF(209.9, 296.6), QPageSize::Millimeter, QString(), QPageSize::ExactMatch)});
    setup.defaultMode->paperCode = 300;
    install({setup}, QString());
    TfrxPrinters printers;
    EXPECT_EQ(printers.Current()->PaperWidth(), 210);
    EXPECT_EQ(printers.Current()->PaperHeight(), 297);
    EXPECT_EQ(printers.Current()->DefPaperHeight(), 297);
}

TEST_F(frxPrinterTest, onlyTheFirst256PapersAreListed)
{
    FakePrintDevice::Setup setup = printer(QStringLiteral("Big"));
    setup.papers.clear();
    for (int i = 0; i < 300; ++i)
        setup.papers.append(DevicePaper{QStringLiteral("P%1").arg(i), 1000 + i, QPageSize(QPageSize::A4)});
    setup.papers[10].code = 9;
    setup.papers[20].code = 256; // skipped, but counts among the 256
    install({setup}, QString());
    TfrxPrinters printers;
    const QList<NamedCode> &papers = printers.Current()->Papers();
    ASSERT_EQ(papers.size(), 1 + 255);
    EXPECT_EQ(papers.last().name, QStringLiteral("P255"));
}

TEST_F(frxPrinterTest, zeroResolutionMakesThePrinterInvalid)
{
    FakePrintDevice::Setup broken = printer(QStringLiteral("Broken"));
    broken.dpi = 0;
    FakePrintDevice::Setup unreachable = printer(QStringLiteral("Unreachable"));
    unreachable.defaultMode.reset();
    install({broken, unreachable}, QString());
    TfrxPrinters printers;
    EXPECT_FALSE(printers.Current()->Initialized());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("错误: 打印机“Broken”不能使用（Printer selected is not valid）")))
        << errors[0].toStdString();
    EXPECT_FALSE(printers.Current()->BeginJob());

    errors.clear();
    printers.SetCurrentIndex(1); // no device mode: unprepared, and silently so
    EXPECT_FALSE(printers.Current()->Initialized());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(printers.Current()->Papers().size(), 1);
}

TEST_F(frxPrinterTest, viewPaperFollowsTheDeviceAndKeepsPaperOnFailure)
{
    install({printer(QStringLiteral("Office"))}, QString());
    TfrxPrinters printers;
    TfrxCustomPrinter *office = printers.Current();
    office->SetPaperForView(11, 0, 0, poLandscape);
    EXPECT_EQ(office->Paper(), 11);
    EXPECT_EQ(office->Orientation(), poLandscape);
    EXPECT_EQ(office->PaperWidth(), 210);
    EXPECT_EQ(office->PaperHeight(), 148);

    // A size of its own keeps the margins measured for A4.
    office->SetPaperForView(256, 120, 180, poPortrait);
    EXPECT_EQ(office->Paper(), 256);
    EXPECT_EQ(office->PaperWidth(), 120);
    EXPECT_EQ(office->PaperHeight(), 180);
    EXPECT_EQ(office->LeftMargin(), 4);
    EXPECT_EQ(office->RightMargin(), 5);
    EXPECT_EQ(static_cast<TfrxPrinter *>(office)->Mode().paperCode, 9);

    office->SetPaperForView(257, 0, 0, poPortrait);
    EXPECT_EQ(office->PaperWidth(), 185);
    EXPECT_EQ(office->PaperHeight(), 260);

    EXPECT_TRUE(errors.isEmpty());
    office->SetPaperForView(999, 0, 0, poLandscape);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(office->Paper(), 257);
    EXPECT_EQ(office->Orientation(), poPortrait);
    EXPECT_EQ(office->PaperWidth(), 185);
    EXPECT_EQ(static_cast<TfrxPrinter *>(office)->Mode().paperCode, 257);
}

TEST_F(frxPrinterTest, printPaperReconfiguresOnlyOnChange)
{
    FakePrintSystem *system = install({printer(QStringLiteral("Office"))}, QString());
    TfrxPrinters printers;
    auto *office = static_cast<TfrxPrinter *>(printers.Current());
    FakePrintDevice *device = system->lastOpened(QStringLiteral("Office"));
    ASSERT_NE(device, nullptr);
    const int prepared = device->measureCount();

    office->SetPaperForPrint(9, 210, 297, poPortrait, 7, 1, 1);
    EXPECT_EQ(device->measureCount(), prepared); // the printer is already there
    office->SetPaperForPrint(11, 148, 210, poPortrait, 1, 1, 1);
    EXPECT_EQ(device->measureCount(), prepared + 1);
    office->SetPaperForPrint(11, 148, 210, poPortrait, 1, 1, 1);
    EXPECT_EQ(device->measureCount(), prepared + 1);
    EXPECT_EQ(office->Mode().bin, 1);
    // Bin 7 and duplex 1 leave the device's choice as it was.
    office->SetPaperForPrint(11, 148, 210, poPortrait, 7, 1, 1);
    EXPECT_EQ(device->measureCount(), prepared + 1);
    EXPECT_EQ(office->Mode().bin, 1);
    office->SetPaperForPrint(11, 148, 210, poPortrait, 7, 4, 3);
    EXPECT_EQ(device->measureCount(), prepared + 2);
    EXPECT_EQ(office->Mode().duplex, platform::kDuplexSimplex);
    EXPECT_EQ(office->Mode().copies, 3);
    office->SetPaperForPrint(11, 148, 210, poPortrait, 7, 2, 3);
    EXPECT_EQ(office->Mode().duplex, platform::kDuplexVertical);

    // A user-defined paper is held in portrait terms, in tenths of a millimetre.
    office->SetPaperForPrint(256, 200.04, 120.06, poLandscape, 7, 1, 1);
    EXPECT_EQ(office->Paper(), 256);
    EXPECT_EQ(office->Mode().paperWidthTenthsMm, 1201);
    EXPECT_EQ(office->Mode().paperLengthTenthsMm, 2000);
    EXPECT_EQ(office->PaperWidth(), 200);
    EXPECT_EQ(office->PaperHeight(), 120);
    EXPECT_EQ(office->Orientation(), poLandscape);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(frxPrinterTest, jobRunsSheetsOnTheDeviceWithADefaultTitle)
{
    FakePrintSystem *system = install({printer(QStringLiteral("Office"))}, QString());
    TfrxPrinters printers;
    TfrxCustomPrinter *office = printers.Current();
    FakePrintDevice *device = system->lastOpened(QStringLiteral("Office"));
    device->clearLog();

    EXPECT_EQ(office->Canvas()->Painter(), nullptr);
    EXPECT_FALSE(office->BeginSheet());
    ASSERT_TRUE(office->BeginJob());
    EXPECT_TRUE(office->Printing());
    EXPECT_FALSE(office->BeginJob());
    ASSERT_TRUE(office->BeginSheet());
    ASSERT_NE(office->Canvas()->Painter(), nullptr);
    office->Canvas()->Canvas()->rectangle(0, 0, 600, 600);
    ASSERT_TRUE(office->EndSheet());
    office->SetPaperForPrint(11, 148, 210, poLandscape, 7, 1, 1);
    ASSERT_TRUE(office->BeginSheet());
    ASSERT_TRUE(office->EndSheet());
    EXPECT_TRUE(office->EndJob());
    EXPECT_FALSE(office->Printing());
    EXPECT_EQ(device->pages().size(), 2);
    EXPECT_EQ(
        device->log(),
        (QStringList{QStringLiteral("beginJob Quillex Document"), QStringLiteral("beginPage"),
                     QStringLiteral("endPage"), QStringLiteral("measure 11 landscape"),
                     QStringLiteral("jobMode 11 landscape bin 7 duplex 0 copies 1"),
                     QStringLiteral("beginPage"), QStringLiteral("endPage"), QStringLiteral("endJob")}));

    device->clearLog();
    office->SetJobTitle(QStringLiteral("请柬"));
    ASSERT_TRUE(office->BeginJob());
    ASSERT_TRUE(office->BeginSheet());
    office->AbortJob();
    EXPECT_FALSE(office->Printing());
    EXPECT_EQ(office->Canvas()->Painter(), nullptr);
    EXPECT_EQ(device->log(), (QStringList{QStringLiteral("beginJob 请柬"), QStringLiteral("beginPage"),
                                          QStringLiteral("abortJob")}));
    EXPECT_TRUE(device->pages().isEmpty());
}

TEST_F(frxPrinterTest, printToFileWritesPdfPagesOfThePaperSizesThroughOurWriter)
{
    install({printer(QStringLiteral("Office"))}, QString());
    TfrxPrinters printers;
    TfrxCustomPrinter *office = printers.Current();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("请柬.pdf"));
    office->SetOutputFile(file);
    office->SetPaperForPrint(257, 185, 260, poPortrait, 7, 1, 1);
    ASSERT_TRUE(office->BeginJob());
    ASSERT_TRUE(office->BeginSheet());
    // The pages of a file go through our PDF canvas, not through a painter.
    EXPECT_EQ(office->Canvas()->Painter(), nullptr);
    platform::Canvas *canvas = office->Canvas()->Canvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_TRUE(canvas->isPrinterCanvas());
    platform::FontValue font;
    font.name = QStringLiteral("AR PL UKai CN");
    font.setSize(20);
    canvas->setFont(font);
    canvas->textOut(200, 200, QStringLiteral("张三"));
    ASSERT_TRUE(office->EndSheet());
    office->SetPaperForPrint(256, 150, 100, poLandscape, 7, 1, 1);
    ASSERT_TRUE(office->BeginSheet());
    ASSERT_TRUE(office->EndSheet());
    ASSERT_TRUE(office->EndJob());

    const QList<QSizeF> sizes = testing_support::pdfPageSizes(file);
    ASSERT_EQ(sizes.size(), 2);
    // 185 x 260 mm, then 150 x 100 mm (landscape), in points.
    EXPECT_TRUE(testing_support::samePoints(sizes[0], QSizeF(524.4, 737.0)))
        << sizes[0].width() << " x " << sizes[0].height();
    EXPECT_TRUE(testing_support::samePoints(sizes[1], QSizeF(425.2, 283.5)))
        << sizes[1].width() << " x " << sizes[1].height();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.contains("/Producer <feff0054006f007600610072006f>")); // "Tovaro"
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/BaseFont/[A-Z]{6}\\+"))
                    .match(QString::fromLatin1(bytes))
                    .hasMatch());
    EXPECT_TRUE(bytes.contains("/ToUnicode"));

    // A dropped job leaves no file behind.
    const QString dropped = dir.filePath(QStringLiteral("dropped.pdf"));
    office->SetOutputFile(dropped);
    ASSERT_TRUE(office->BeginJob());
    ASSERT_TRUE(office->BeginSheet());
    office->AbortJob();
    EXPECT_FALSE(QFile::exists(dropped));
}

TEST_F(frxPrinterTest, rawJobWritesTextInTheSystemCodePage)
{
    FakePrintSystem *system = install({printer(QStringLiteral("Dot"))}, QString());
    TfrxPrinters printers;
    TfrxCustomPrinter *dot = printers.Current();
    EXPECT_FALSE(dot->WriteRaw(QStringLiteral("x")));
    ASSERT_TRUE(dot->BeginRawJob());
    ASSERT_TRUE(dot->WriteRaw(QStringLiteral("\x1b@张三\r\n")));
    ASSERT_TRUE(dot->EndRawJob());
    EXPECT_EQ(system->lastOpened(QStringLiteral("Dot"))->rawData(),
              QByteArray("\x1b@") + platform::toSystemCodePage(QStringLiteral("张三")) + QByteArray("\r\n"));
}

TEST_F(frxPrinterTest, sheetCanvasDrawsAtThePrinterResolutionWithPrinterFonts)
{
    FakePrintSystem *system = install({printer(QStringLiteral("Wide"))}, QString());
    TfrxPrinters printers;
    TfrxCustomPrinter *wide = printers.Current();
    EXPECT_EQ(wide->Canvas()->Canvas(), nullptr);
    ASSERT_TRUE(wide->BeginJob());
    ASSERT_TRUE(wide->BeginSheet());
    platform::Canvas *canvas = wide->Canvas()->Canvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->dpiY(), 600);
    EXPECT_TRUE(canvas->isPrinterCanvas());
    EXPECT_EQ(canvas->painter(), wide->Canvas()->Painter());
    platform::FontValue font;
    font.name = QStringLiteral("宋体");
    font.setSize(10); // a height of -13 at 96 per inch
    canvas->setFont(font);
    // Ten points at 600 dots per inch are 83 dots, far wider than the 13 pixels the height says.
    EXPECT_GT(canvas->textWidth(QStringLiteral("张三")), 100);
    canvas->rectangle(0, 0, 600, 300);
    ASSERT_TRUE(wide->EndSheet());
    EXPECT_EQ(wide->Canvas()->Canvas(), nullptr);
    ASSERT_TRUE(wide->EndJob());
    const QList<QPicture> &pages = system->lastOpened(QStringLiteral("Wide"))->pages();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_FALSE(pages[0].boundingRect().isEmpty());
}

TEST_F(frxPrinterTest, processWideListIsBuiltOnce)
{
    install({}, QString());
    TfrxPrinters *list = frxPrinters();
    EXPECT_EQ(list, frxPrinters());
    EXPECT_NE(list->Current(), nullptr);
}

// Needs a CUPS server with at least one queue (the test set-up starts one); skipped otherwise.
TEST_F(frxPrinterTest, cupsQueuesAreListedPreparedAndPrintToFile)
{
    platform::setPrintSystem(platform::createCupsPrintSystem());
    TfrxPrinters printers;
    if (!printers.HasRealPrinters())
        GTEST_SKIP() << "no CUPS queue";
    TfrxCustomPrinter *current = printers.Current();
    ASSERT_TRUE(current->Initialized());
    EXPECT_GT(current->DPI().y(), 0);
    EXPECT_NE(current->PaperIndex(9), -1);
    current->SetPaperForView(9, 0, 0, poLandscape);
    EXPECT_EQ(current->PaperWidth(), 297);
    EXPECT_EQ(current->PaperHeight(), 210);

    QTemporaryDir dir;
    current->SetOutputFile(dir.filePath(QStringLiteral("cups.pdf")));
    current->SetPaperForPrint(11, 148, 210, poPortrait, 7, 1, 1);
    ASSERT_TRUE(current->BeginJob());
    ASSERT_TRUE(current->BeginSheet());
    current->Canvas()->Canvas()->rectangle(0, 0, 100, 100);
    ASSERT_TRUE(current->EndSheet());
    ASSERT_TRUE(current->EndJob());
    current->SetOutputFile(QString());
    const QList<QSizeF> sizes = testing_support::pdfPageSizes(dir.filePath(QStringLiteral("cups.pdf")));
    ASSERT_EQ(sizes.size(), 1);
    EXPECT_TRUE(testing_support::samePoints(sizes[0], QSizeF(419.5, 595.3)))
        << sizes[0].width() << " x " << sizes[0].height();
    EXPECT_TRUE(errors.isEmpty());
}
