// The print job without widgets: a guest store in a real SQLite file, the program's own card
// template, and a preview window that only waits for the preparation the report starts.
#include "tests/support/gui_environment.h"
#include "tests/support/fakehost.h"

#include "app/model/calibrationsheet.h"
#include "app/model/cardprinter.h"
#include "app/model/gueststore.h"
#include "platform/errors.h"
#include "platform/profile.h"
#include "platform/canvas.h"
#include "report/output/frxPageExport.h"
#include "report/output/frxPainter.h"
#include "report/engine/frxPreviewPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Stands in for the modal preview: returns once the report's preparation timer has fired and the
// pages are made, recording what the guest list looked like while they were made.
class WaitingPreview : public frx::TfrxPreviewWindow {
public:
    WaitingPreview(frx::TfrxReport *report, GuestStore *guests, QStringList *queries, int *shown)
        : m_report(report), m_guests(guests), m_queries(queries), m_shown(shown)
    {
    }
    frx::TfrxPreparationObserver *observer() override { return nullptr; }
    void showModal() override
    {
        ++*m_shown;
        while (m_report->PreparationTimerActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        *m_queries << m_guests->query();
    }
    void showNonModal() override { showModal(); }
    void close() override {}
    void ShowMessage(const QString &) override {}

private:
    frx::TfrxReport *m_report;
    GuestStore *m_guests;
    QStringList *m_queries;
    int *m_shown;
};

class CardPrinterTest : public ::testing::Test {
protected:
    FakeHost host;
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(TOVARO_SOURCE_DIR "/data/frx.fr3"),
                                dir.filePath(QStringLiteral("frx.fr3"))));
        guests.setDatabaseFile(dir.filePath(QStringLiteral("tovaro.db")));
        guests.open();
        host.previewWindow = [this](frx::TfrxReport *report) {
            return std::make_unique<WaitingPreview>(report, &guests, &queriesWhilePreparing, &previewsShown);
        };

        state.templatePosition = 0;
        state.cardWidthText = QStringLiteral("150");
        state.cardHeightText = QStringLiteral("220");
        state.leftOffsetText = QStringLiteral("0");
        state.topOffsetText = QStringLiteral("0");
        for (int n = 0; n < cardItemCount; ++n) {
            para &p = state.layout[static_cast<size_t>(n)];
            p.Left = 10 + 7 * n;
            p.Top = 15;
            p.Fontname = QStringLiteral("楷体");
            p.Fontsize = 22;
            p.Fontstyle = QStringLiteral("[]");
        }
        state.layout[1] = para{100, 20, QStringLiteral("隶书"), 18, QStringLiteral("[fsBold,fsItalic]")};
        EventDetails &d = state.details;
        d.year = QStringLiteral("二零二六");
        d.lunarMonth = QStringLiteral("十月");
        d.solarMonth = QStringLiteral("十二");
        d.lunarDay = QStringLiteral("二十");
        d.solarDay = QStringLiteral("九");
        d.weekday = QStringLiteral("三");
        d.time = QStringLiteral("中午十二点");
        d.eventKind = QStringLiteral("婚礼");
        d.venue = QStringLiteral("和平饭店");
        d.father = QStringLiteral("王父");
        d.mother = QStringLiteral("李母");
        d.groom = QStringLiteral("王新郎");
        d.bride = QStringLiteral("李新娘");
    }

    void addGuests(const QStringList &names)
    {
        for (const QString &name : names)
            guests.addGuest(name);
    }
    frx::TfrxPreviewPages &pages() { return *printer.report().PreviewPages(); }
    // The prepared copy of a text object on page index (rebuilt objects carry their source's name).
    frx::TfrxCustomMemoView *preparedMemo(int index, const QString &name)
    {
        frx::TfrxReportPage *page = pages().Page(index);
        if (!page) return nullptr;
        for (frx::TfrxComponent *object : page->AllObjects()) {
            auto *memo = dynamic_cast<frx::TfrxCustomMemoView *>(object);
            if (!memo) continue;
            if (memo->Name() == name) return memo;
        }
        return nullptr;
    }
    QStringList preparedNames()
    {
        QStringList names;
        for (int i = 0; i < pages().Count(); ++i)
            names << preparedMemo(i, QStringLiteral("m0"))->Text().trimmed();
        return names;
    }
    QString errorOf(bool currentGuestOnly)
    {
        try {
            printer.print(state, guests, currentGuestOnly);
        } catch (const platform::Error &e) {
            return e.message();
        }
        return {};
    }
    void expectFullSortedList(int guestCount)
    {
        EXPECT_TRUE(guests.isOpen());
        EXPECT_EQ(guests.query(), GuestStore::sortedQuery());
        EXPECT_EQ(guests.cursor().recordCount(), guestCount);
    }

    QTemporaryDir dir;
    GuestStore guests;
    CardReportPrinter printer{dir.path()};
    CardState state;
    QStringList queriesWhilePreparing;
    int previewsShown = 0;
};

} // namespace

TEST_F(CardPrinterTest, allGuestsGiveOneCardPageEachInListOrder)
{
    addGuests({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")});
    printer.print(state, guests, false);
    EXPECT_EQ(previewsShown, 1);
    EXPECT_EQ(printer.report().ErrorList.Count(), 0) << printer.report().ErrorList.Text().toStdString();
    ASSERT_EQ(pages().Count(), 3);
    EXPECT_EQ(preparedNames(),
              (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")}));
    // The card page takes the card size, turned for the vertical layout.
    frx::TfrxReportPage *page = pages().Page(0);
    EXPECT_EQ(page->Orientation(), frx::poLandscape);
    EXPECT_NEAR(double(page->PaperWidth()), 150, 1e-9);
    EXPECT_NEAR(double(page->PaperHeight()), 220, 1e-9);
    expectFullSortedList(3);
}

TEST_F(CardPrinterTest, currentGuestPrintsEveryGuestOfThatNameWhileNarrowed)
{
    addGuests(
        {QStringLiteral("张三"), QStringLiteral("O'Brien"), QStringLiteral("张三"), QStringLiteral("李四")});
    guests.cursor().first();
    printer.print(state, guests, true);
    ASSERT_EQ(pages().Count(), 2);
    EXPECT_EQ(preparedNames(), (QStringList{QStringLiteral("张三"), QStringLiteral("张三")}));
    EXPECT_EQ(queriesWhilePreparing, QStringList{GuestStore::nameQuery()});
    expectFullSortedList(4);
    EXPECT_EQ(guests.currentName(), QStringLiteral("张三"));

    // A quote in the name is data, not query text.
    guests.cursor().next();
    ASSERT_EQ(guests.currentName(), QStringLiteral("O'Brien"));
    printer.print(state, guests, true);
    EXPECT_EQ(preparedNames(), QStringList{QStringLiteral("O'Brien")});
    expectFullSortedList(4);
}

TEST_F(CardPrinterTest, chosenGuestsPrintInTheListsOrderAndTheListComesBack)
{
    QStringList ten;
    for (int n = 1; n <= 10; ++n)
        ten << QStringLiteral("客人%1").arg(n);
    guests.addGuests(ten);
    printer.printGuests(state, guests, guests.ids({8, 1, 4}));
    EXPECT_EQ(preparedNames(),
              (QStringList{QStringLiteral("客人2"), QStringLiteral("客人5"), QStringLiteral("客人9")}));
    EXPECT_EQ(queriesWhilePreparing, QStringList{GuestStore::idsQuery()});
    expectFullSortedList(10);

    // A job that fails still gives the whole list back.
    QFile::remove(printer.templateFile());
    EXPECT_THROW(printer.printGuests(state, guests, guests.ids({0})), platform::Error);
    expectFullSortedList(10);
}

TEST_F(CardPrinterTest, verticalLayoutSetsGeometryRotationFontAndTextsOnThePreparedCard)
{
    addGuests({QStringLiteral("张三")});
    printer.print(state, guests, false);
    ASSERT_EQ(pages().Count(), 1);
    frx::TfrxCustomMemoView *m1 = preparedMemo(0, QStringLiteral("m1"));
    ASSERT_TRUE(m1);
    // Item 1 at 100, 20 mm on a 150 x 220 mm card.
    EXPECT_NEAR(double(m1->Left()), 378.0, 1e-6);
    EXPECT_NEAR(double(m1->Width()), 187.11, 1e-6);
    EXPECT_NEAR(double(m1->Top()), 75.6, 1e-6);
    EXPECT_NEAR(double(m1->Height()), 754.11, 1e-6);
    EXPECT_EQ(m1->Rotation(), 270);
    EXPECT_EQ(m1->VAlign, frx::vaBottom);
    EXPECT_EQ(m1->Font().name, QStringLiteral("@隶书"));
    EXPECT_EQ(m1->Font().size(), 18);
    EXPECT_EQ(m1->Font().style, unsigned(platform::fsBold | platform::fsItalic));
    EXPECT_EQ(m1->Text().trimmed(), QStringLiteral("二零二六"));

    // Texts go unstacked to their objects; the guest's name and "携" stay the template's.
    const std::pair<const char *, QString> texts[] = {
        {"m2", QStringLiteral("十月")},        {"m3", QStringLiteral("十二")},
        {"m4", QStringLiteral("二十")},        {"m5", QStringLiteral("九")},
        {"m6", QStringLiteral("三")},          {"m7", QStringLiteral("王新郎")},
        {"m8", QStringLiteral("李新娘")},      {"m9", QStringLiteral("和平饭店")},
        {"m10", QStringLiteral("中午十二点")}, {"m14", QStringLiteral("王新郎")},
        {"m15", QStringLiteral("李新娘")},     {"m0", QStringLiteral("张三")}};
    for (const auto &[name, text] : texts) {
        frx::TfrxCustomMemoView *memo = preparedMemo(0, QString::fromLatin1(name));
        ASSERT_TRUE(memo) << name;
        EXPECT_EQ(memo->Text().trimmed(), text) << name;
        EXPECT_EQ(memo->Font().name, QStringLiteral("@楷体")) << name;
    }
    // Hidden in the template and not asked for: not on the card.
    for (const char *name : {"m11", "m12", "m13", "m16"})
        EXPECT_FALSE(preparedMemo(0, QString::fromLatin1(name))) << name;
}

TEST_F(CardPrinterTest, horizontalLayoutKeepsTheTemplateHeightAndFacesWithoutAt)
{
    state.templatePosition = 2;
    state.layout[2].Fontname.clear();
    addGuests({QStringLiteral("张三")});
    printer.print(state, guests, false);
    frx::TfrxReportPage *page = pages().Page(0);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Orientation(), frx::poPortrait);
    frx::TfrxCustomMemoView *m1 = preparedMemo(0, QStringLiteral("m1"));
    ASSERT_TRUE(m1);
    EXPECT_NEAR(double(m1->Left()), 378.0, 1e-6);
    EXPECT_NEAR(double(m1->Width()), 187.11, 1e-6);
    EXPECT_NEAR(double(m1->Top()), 75.6, 1e-6);
    EXPECT_NEAR(double(m1->Height()), 124.72449, 1e-6);
    EXPECT_EQ(m1->Rotation(), 0);
    EXPECT_EQ(m1->VAlign, frx::vaTop);
    EXPECT_EQ(m1->Font().name, QStringLiteral("隶书"));
    // An empty face leaves the template's.
    EXPECT_EQ(preparedMemo(0, QStringLiteral("m2"))->Font().name, QStringLiteral("@楷体"));
}

TEST_F(CardPrinterTest, offsetsMoveAndWidenEveryItem)
{
    state.leftOffsetText = QStringLiteral("-5");
    state.topOffsetText = QStringLiteral("3");
    addGuests({QStringLiteral("张三")});
    printer.print(state, guests, false);
    frx::TfrxCustomMemoView *m1 = preparedMemo(0, QStringLiteral("m1"));
    ASSERT_TRUE(m1);
    EXPECT_NEAR(double(m1->Left()), 95 * 3.78, 1e-6);
    EXPECT_NEAR(double(m1->Width()), 54.5 * 3.78, 1e-6);
    EXPECT_NEAR(double(m1->Top()), 23 * 3.78, 1e-6);
    EXPECT_NEAR(double(m1->Height()), 196.5 * 3.78, 1e-6);
}

TEST_F(CardPrinterTest, checkBoxesShowTheParentsAndTheKindOfEvent)
{
    state.details.printParents = true;
    state.details.printEventKind = true;
    addGuests({QStringLiteral("张三")});
    printer.print(state, guests, false);
    const std::pair<const char *, QString> shown[] = {{"m11", QStringLiteral("王父")},
                                                      {"m12", QStringLiteral("李母")},
                                                      {"m13", QStringLiteral("携")},
                                                      {"m16", QStringLiteral("婚礼")}};
    for (const auto &[name, text] : shown) {
        frx::TfrxCustomMemoView *memo = preparedMemo(0, QString::fromLatin1(name));
        ASSERT_TRUE(memo) << name;
        EXPECT_EQ(memo->Text().trimmed(), text) << name;
    }
}

TEST_F(CardPrinterTest, neitherLayoutLeavesGeometryButSetsSizeAndTexts)
{
    state.templatePosition = -1;
    addGuests({QStringLiteral("张三")});
    printer.print(state, guests, false);
    frx::TfrxCustomMemoView *m1 = preparedMemo(0, QStringLiteral("m1"));
    ASSERT_TRUE(m1);
    EXPECT_NEAR(double(m1->Left()), 446.82715, 1e-6);
    EXPECT_EQ(m1->Font().name, QStringLiteral("@楷体"));
    EXPECT_EQ(m1->Font().size(), 18);
    EXPECT_EQ(m1->Text().trimmed(), QStringLiteral("二零二六"));
}

TEST_F(CardPrinterTest, brokenTemplatesGiveOurMessageAndTheFullListBack)
{
    addGuests({QStringLiteral("张三"), QStringLiteral("李四")});
    const QString file = QDir::toNativeSeparators(printer.templateFile());
    QFile original(printer.templateFile());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(original.readAll());
    original.close();
    const auto writeTemplate = [&](const QString &text) {
        QFile out(printer.templateFile());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text.toUtf8());
    };

    QFile::remove(printer.templateFile());
    EXPECT_EQ(errorOf(true), QStringLiteral("找不到请柬报表模板文件“%1”。").arg(file));
    expectFullSortedList(2);

    QString noCardPage = xml;
    noCardPage.remove(noCardPage.indexOf(QStringLiteral("<TfrxReportPage")),
                      noCardPage.indexOf(QStringLiteral("</TfrxReportPage>")) + 17 -
                          noCardPage.indexOf(QStringLiteral("<TfrxReportPage")));
    writeTemplate(noCardPage);
    EXPECT_EQ(errorOf(true), QStringLiteral("请柬报表模板文件“%1”中没有请柬页（第 2 页）。").arg(file));
    expectFullSortedList(2);

    QString noM7 = xml;
    noM7.replace(QStringLiteral("Name=\"m7\""), QStringLiteral("Name=\"x7\""));
    writeTemplate(noM7);
    EXPECT_EQ(errorOf(true), QStringLiteral("请柬报表模板文件“%1”中没有文本对象“m7”。").arg(file));
    expectFullSortedList(2);

    writeTemplate(xml);
    state.cardWidthText = QStringLiteral("宽");
    EXPECT_EQ(errorOf(true), QStringLiteral("'宽' is not a valid floating point value"));
    expectFullSortedList(2);
    EXPECT_EQ(previewsShown, 0);
}

TEST_F(CardPrinterTest, aFailingPreparationStillRestoresTheFullList)
{
    addGuests({QStringLiteral("张三"), QStringLiteral("李四")});
    // A script that does not compile: the report shows its errors itself, from the preview.
    QFile original(printer.templateFile());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QString xml = QString::fromUtf8(original.readAll());
    original.close();
    xml.replace(QStringLiteral("ScriptText.Text=\"begin&#13;&#10;&#13;&#10;end.\""),
                QStringLiteral("ScriptText.Text=\"begin x := ; end.\""));
    QFile out(printer.templateFile());
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(xml.toUtf8());
    out.close();
    guests.cursor().first();
    EXPECT_EQ(errorOf(true), QString());
    EXPECT_GT(printer.report().ErrorList.Count(), 0);
    EXPECT_EQ(pages().Count(), 0);
    expectFullSortedList(2);
}

TEST_F(CardPrinterTest, aClosedGuestListFailsBeforeAnythingIsLoaded)
{
    guests.close();
    EXPECT_FALSE(errorOf(false).isEmpty());
    EXPECT_EQ(previewsShown, 0);
    expectFullSortedList(0);
}

TEST_F(CardPrinterTest, theShippedVerticalProfileGivesACardPerGuestToLookAt)
{
    const platform::ProfileFile profile(QStringLiteral(TOVARO_SOURCE_DIR "/data/temp.ini"));
    const QString section = QStringLiteral("A4竖排模板");
    const layout::CardSizeMm size = layout::readCardSize(profile, section);
    ASSERT_GT(size.width, 0);
    state.cardWidthText = QString::number(size.width);
    state.cardHeightText = QString::number(size.height);
    for (int n = 0; n < cardItemCount; ++n)
        state.layout[static_cast<size_t>(n)] = layout::readRecord(profile, section, n);
    state.details.printParents = true;
    state.details.printEventKind = true;
    addGuests({QStringLiteral("欧阳志远"), QStringLiteral("O'Brien 李")});
    printer.print(state, guests, false);
    ASSERT_EQ(pages().Count(), 2);
    EXPECT_NEAR(double(pages().Page(0)->PaperWidth()), size.width, 1e-9);
    EXPECT_NEAR(double(pages().Page(0)->PaperHeight()), size.height, 1e-9);
    // Kept for a look with tovaro-report render.
    pages().SaveToFile(QDir::temp().filePath(QStringLiteral("tovaro_cards.fp3")));
}

TEST_F(CardPrinterTest, theCardPictureShowsBehindThePreviewOnlyNeverInPrintsExportsOrFiles)
{
    addGuests({QStringLiteral("张三")});
    QImage card(35, 22, QImage::Format_RGB32);
    card.fill(qRgb(0, 128, 0));
    state.cardPicture = card;
    printer.print(state, guests, false);
    ASSERT_EQ(pages().Count(), 1);
    frx::TfrxReportPage *page = pages().Page(0);
    ASSERT_FALSE(page->PreviewBackground.isNull());
    const QSize paper = frx::frxPaperSizePixels(*page, 96);
    const auto greenShare = [](const QImage &image) {
        qsizetype green = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                green += image.pixel(x, y) == qRgb(0, 128, 0) ? 1 : 0;
        return double(green) / double(image.width() * image.height());
    };

    QImage screen(paper, QImage::Format_RGB32);
    screen.fill(Qt::white);
    {
        platform::Canvas canvas(&screen, 96, 96);
        frx::TfrxPageDrawInfo aids;
        aids.PreviewBackground = true;
        frx::frxDrawPage(pages(), 0, canvas, 1, 1, 0, 0, aids);
    }
    EXPECT_GT(greenShare(screen), 0.9);

    const frx::TfrxPageProvider provider = [this](int index) { return pages().Page(index); };
    QString error;
    ASSERT_EQ(frx::frxExportPng(provider, {0}, 1, dir.path(), 96, &error), 1) << error.toStdString();
    const QImage exported(dir.filePath(QStringLiteral("page-0001.png")));
    ASSERT_FALSE(exported.isNull());
    EXPECT_EQ(greenShare(exported), 0);

    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    ASSERT_TRUE(frx::frxExportPdf(provider, {0}, 1, pdf, &error)) << error.toStdString();
    const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    if (!pdfimages.isEmpty()) {
        QProcess list;
        list.start(pdfimages, {QStringLiteral("-list"), pdf});
        ASSERT_TRUE(list.waitForFinished(60000));
        // A header of two lines and no image.
        EXPECT_EQ(QString::fromUtf8(list.readAllStandardOutput()).trimmed().count(u'\n'), 1);
    }

    // The prepared-report file holds no picture and gives none back.
    const QString fp3 = dir.filePath(QStringLiteral("cards.fp3"));
    pages().SaveToFile(fp3);
    frx::TfrxReport reader;
    reader.PreviewPages()->LoadFromFile(fp3);
    ASSERT_EQ(reader.PreviewPages()->Count(), 1);
    EXPECT_TRUE(reader.PreviewPages()->Page(0)->PreviewBackground.isNull());
    QFile fp3File(fp3);
    ASSERT_TRUE(fp3File.open(QIODevice::ReadOnly));
    EXPECT_FALSE(fp3File.readAll().contains("stream="));
}

TEST_F(CardPrinterTest, aVenueTooLongForItsPlaceIsReportedAsOverflowing)
{
    // Both leave 69.5 mm down to the card's bottom edge: room for eight characters.
    state.layout[0].Top = 150;
    state.layout[9].Top = 150;
    state.details.venue = QStringLiteral("和平饭店");
    EXPECT_TRUE(printer.overflowingItems(state, QStringLiteral("张三")).isEmpty());
    state.details.venue = QStringLiteral("上海市黄浦区南京东路和平饭店");
    EXPECT_EQ(printer.overflowingItems(state, QStringLiteral("张三")), QList<int>{9});
    // Hidden items do not count; a long name does.
    state.details.printParents = false;
    state.details.father = QStringLiteral("上海市黄浦区南京东路和平饭店");
    EXPECT_EQ(printer.overflowingItems(state, QStringLiteral("欧阳上海市黄浦区南京东路")), (QList<int>{0, 9}));
}

TEST_F(CardPrinterTest, anotherPrinterMovesTheCardsByTheDifferenceOfItsOwnOffsets)
{
    state.leftOffsetText = QStringLiteral("3");
    state.topOffsetText = QStringLiteral("-2");
    state.printerName = QStringLiteral("HP");
    state.printerOffsets = [](const QString &printer) -> std::optional<OffsetsMm> {
        if (printer == QStringLiteral("Epson")) return OffsetsMm{5, 1};
        return std::nullopt;
    };
    EXPECT_EQ(printerShiftMm(state, QStringLiteral("Epson")), QPointF(2, 3));
    EXPECT_EQ(printerShiftMm(state, QStringLiteral("hp")), QPointF());
    EXPECT_EQ(printerShiftMm(state, QStringLiteral("Canon")), QPointF()); // none stored: as they are

    addGuests({QStringLiteral("张三")});
    printer.print(state, guests, false);
    EXPECT_EQ(printer.report().PrintOptions.Printer, QStringLiteral("HP"));
    ASSERT_TRUE(printer.report().OnPrinterShift);
    EXPECT_EQ(printer.report().OnPrinterShift(QStringLiteral("Epson")), QPointF(2, 3));
}

TEST_F(CardPrinterTest, calibrationCrossesLandWhereThePrintedItemsStand)
{
    state.leftOffsetText = QStringLiteral("4");
    state.topOffsetText = QStringLiteral("-3");
    QImage card(100, 70, QImage::Format_RGB32);
    card.fill(Qt::black);
    state.cardPicture = card;
    addGuests({QStringLiteral("张三")});
    printer.print(state, guests, false);

    frx::TfrxReport sheet;
    calibration::buildSheet(sheet, state);
    ASSERT_EQ(sheet.PreviewPages()->Count(), 1);
    frx::TfrxReportPage *page = sheet.PreviewPages()->Page(0);
    EXPECT_NEAR(double(page->PaperWidth()), 150, 1e-9);
    EXPECT_NEAR(double(page->PaperHeight()), 220, 1e-9);
    // Two pixels per report unit.
    const QSize paper = frx::frxPaperSizePixels(*page, 192);
    QImage image(paper, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        platform::Canvas canvas(&image, 192, 192);
        frx::frxDrawPage(*sheet.PreviewPages(), 0, canvas, 2, 2, 0, 0);
    }
    const auto dark = [&image](double x, double y) { return qGray(image.pixel(int(x), int(y))) < 100; };
    // The faint card: light grey, never dark, from the offsets on.
    EXPECT_EQ(qGray(image.pixel(200, 200)), 255 - 255 * 3 / 10);
    EXPECT_EQ(image.pixel(int(4 * 3.78 * 2) - 3, 200), qRgb(255, 255, 255));
    for (int n : {0, 5, 9, 14}) {
        const frx::TfrxCustomMemoView *memo = preparedMemo(0, QStringLiteral("m%1").arg(n));
        ASSERT_NE(memo, nullptr);
        const double x = double(memo->AbsLeft()) * 2, y = double(memo->AbsTop()) * 2;
        const QPointF place = calibration::itemPlaceUnits(state, n) * 2;
        EXPECT_NEAR(place.x(), x, 1) << n;
        EXPECT_NEAR(place.y(), y, 1) << n;
        // Ink along both arms, none in the corner between them.
        for (int d : {-15, -8, 8, 15}) {
            EXPECT_TRUE(dark(x + d, y) || dark(x + d, y + 1)) << n << " at " << d;
            EXPECT_TRUE(dark(x, y + d) || dark(x + 1, y + d)) << n << " at " << d;
        }
        EXPECT_FALSE(dark(x - 10, y - 10)) << n;
    }
}
