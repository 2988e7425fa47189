// Painting whole prepared pages: clipping to the paper, margins, the visibility test, the printer's
// rules, the page count and copy name markers, and a vertical card whose columns stand upright.
#include "report/output/frxPainter.h"

#include "platform/recordingcanvas.h"
#include "report/base/frxVariables.h"
#include "tests/support/gui_environment.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace frx;

namespace {

bool inked(const QImage &image, int x, int y)
{
    return image.pixel(x, y) != qRgb(255, 255, 255);
}

QRect inkBounds(const QImage &image, const QRect &area)
{
    QRect box;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (inked(image, x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

// Counts its paints and remembers whether it was being printed.
class CountingView : public TfrxView {
public:
    using TfrxView::TfrxView;
    void Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
              Extended OffsetY) override
    {
        ++paints;
        printed = IsPrinting;
        TfrxView::Draw(canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    }
    int paints = 0;
    bool printed = false;
};

// A page of 100 x 100 mm without margins holding one band that covers it.
struct TestPage {
    TestPage()
    {
        page.SetPaperWidth(100);
        page.SetPaperHeight(100);
        band = new TfrxMasterData(&page);
        band->SetBounds(0, 0, 378, 378);
    }
    TfrxReportPage page;
    TfrxMasterData *band = nullptr;
};

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void paint(TfrxReportPage &page, QImage &image, Extended scale = 1, Extended offset = 0,
           const TfrxPageDrawInfo &info = {})
{
    platform::Canvas canvas(&image, 96, 96);
    frxDrawPage(page, canvas, scale, scale, offset, offset, info);
}

} // namespace

TEST(PagePainting, objectsAreClippedToThePaperAndMovedByTheMargins)
{
    TestPage test;
    test.page.LeftMargin = 10;
    test.page.TopMargin = 5;
    auto *view = new TfrxView(test.band);
    view->SetBounds(-100, 20, 1000, 10); // far wider than the paper
    view->Color = 0;
    QImage image = whiteImage(500, 500);
    paint(test.page, image, 1, 20);
    // Paper from 20 to 20 + round(100 x 3.77953) - 1 = 397; the view's top at 20 + 5 mm + 20.
    const QRect ink = inkBounds(image, image.rect());
    EXPECT_EQ(ink.left(), 20);
    EXPECT_EQ(ink.right(), 397);
    EXPECT_EQ(ink.top(), 20 + int(roundHalfEven(5 * fr01cm + 20)));
    EXPECT_EQ(ink.height(), 10);
}

TEST(PagePainting, mirrorMarginsSwapOnOddPagesOnlyForThePaint)
{
    TestPage test;
    test.page.LeftMargin = 10;
    test.page.RightMargin = 30;
    test.page.MirrorMargins = true;
    auto *view = new TfrxView(test.band);
    view->SetBounds(0, 0, 5, 5);
    view->Color = 0;
    QImage even = whiteImage(400, 400);
    paint(test.page, even, 1, 0, TfrxPageDrawInfo{0});
    QImage odd = whiteImage(400, 400);
    paint(test.page, odd, 1, 0, TfrxPageDrawInfo{1});
    EXPECT_EQ(inkBounds(even, even.rect()).left(), int(roundHalfEven(10 * fr01cm)));
    EXPECT_EQ(inkBounds(odd, odd.rect()).left(), int(roundHalfEven(30 * fr01cm)));
    EXPECT_EQ(test.page.LeftMargin, 10);
    EXPECT_EQ(test.page.RightMargin, 30);
}

TEST(PagePainting, objectsFarOutsideTheVisibleAreaAreNotPainted)
{
    TestPage test;
    auto *near = new CountingView(test.band);
    near->SetBounds(0, 119, 10, 10); // 19 pixels below the visible area's bottom
    auto *far = new CountingView(test.band);
    far->SetBounds(0, 125, 10, 10); // 25 pixels below it
    QImage image = whiteImage(400, 400);
    platform::Canvas canvas(&image, 96, 96);
    canvas.setClipRect(QRect(0, 0, 400, 100));
    frxDrawPage(test.page, canvas, 1, 1, 0, 0);
    EXPECT_EQ(near->paints, 1);
    EXPECT_EQ(far->paints, 0);
    EXPECT_EQ(canvas.clipBounds(), QRect(0, 0, 400, 100)); // restored

    platform::RecordingCanvas recording;
    frxDrawPage(test.page, recording, 1, 1, 0, 0);
    EXPECT_EQ(far->paints, 1); // a recording keeps everything
}

TEST(PagePainting, printerPaintsOnlyPrintableObjectsAndTellsThemTheyArePrinted)
{
    TestPage test;
    auto *printable = new CountingView(test.band);
    printable->SetBounds(0, 0, 10, 10);
    auto *screenOnly = new CountingView(test.band);
    screenOnly->SetBounds(20, 0, 10, 10);
    screenOnly->Printable = false;
    QImage image = whiteImage(400, 400);
    platform::Canvas canvas(&image, 96, 96);
    canvas.setPrinterCanvas(true);
    frxDrawPage(test.page, canvas, 1, 1, 0, 0);
    EXPECT_EQ(printable->paints, 1);
    EXPECT_TRUE(printable->printed);
    EXPECT_FALSE(printable->IsPrinting);
    EXPECT_EQ(screenOnly->paints, 0);

    canvas.setPrinterCanvas(false);
    frxDrawPage(test.page, canvas, 1, 1, 0, 0);
    EXPECT_EQ(screenOnly->paints, 1);
    EXPECT_FALSE(printable->printed);
}

TEST(PagePainting, backPictureFillsTheAreaInsideTheMargins)
{
    TestPage test;
    test.page.LeftMargin = test.page.RightMargin = test.page.TopMargin = test.page.BottomMargin = 10;
    test.page.BackPicture = QImage(4, 4, QImage::Format_RGB32);
    test.page.BackPicture.fill(Qt::blue);
    QImage image = whiteImage(400, 400);
    paint(test.page, image);
    const int margin = int(roundHalfEven(10 * fr01cm));
    const int far = int(roundHalfEven(90 * fr01cm));
    EXPECT_EQ(inkBounds(image, image.rect()), QRect(QPoint(margin, margin), QPoint(far - 1, far - 1)));

    image = whiteImage(400, 400);
    test.page.BackPicturePrintable = false;
    platform::Canvas printer(&image, 96, 96);
    printer.setPrinterCanvas(true);
    frxDrawPage(test.page, printer, 1, 1, 0, 0);
    printer.end();
    EXPECT_TRUE(inkBounds(image, image.rect()).isNull());
}

int countPixels(const QImage &image, QRgb color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color ? 1 : 0;
    return count;
}

TEST(PagePainting, previewBackgroundCoversThePaperOnlyOnScreenWhenAsked)
{
    TestPage test;
    test.page.LeftMargin = 10; // the paper picture ignores margins
    QImage green(8, 8, QImage::Format_RGB32);
    green.fill(qRgb(0, 128, 0));
    test.page.PreviewBackground = green;
    TfrxPageDrawInfo screen;
    screen.PreviewBackground = true;

    QImage shown = whiteImage(400, 400);
    paint(test.page, shown, 1, 0, screen);
    EXPECT_EQ(shown.pixel(1, 1), qRgb(0, 128, 0));
    EXPECT_EQ(shown.pixel(376, 376), qRgb(0, 128, 0));
    EXPECT_EQ(shown.pixel(390, 390), qRgb(255, 255, 255));

    QImage plain = whiteImage(400, 400);
    paint(test.page, plain);
    EXPECT_EQ(countPixels(plain, qRgb(0, 128, 0)), 0);

    QImage printed = whiteImage(400, 400);
    platform::Canvas printer(&printed, 96, 96);
    printer.setPrinterCanvas(true);
    frxDrawPage(test.page, printer, 1, 1, 0, 0, screen);
    printer.end();
    EXPECT_EQ(countPixels(printed, qRgb(0, 128, 0)), 0);

    // A copy of the page (the prepared pages copy their source pages) keeps it.
    TfrxReportPage copy;
    copy.Assign(&test.page);
    EXPECT_EQ(copy.PreviewBackground, green);
}

TEST(PagePainting, anOverflowingTextIsOutlinedInRedOnScreenWhenAsked)
{
    TestPage test;
    auto *venue = new TfrxMemoView(test.band);
    venue->SetBounds(100, 20, 45, 150);
    venue->SetRotation(270);
    venue->WordWrap = false;
    FontValue font;
    font.name = QStringLiteral("@楷体");
    font.height = -29;
    venue->SetFont(font);
    venue->SetText(QStringLiteral("和平饭店"));
    EXPECT_FALSE(venue->TextOverflows());
    venue->SetText(QStringLiteral("上海市黄浦区南京东路和平饭店"));
    EXPECT_TRUE(venue->TextOverflows());
    ASSERT_EQ(frxOverflowingMemos(test.page).size(), 1);
    venue->SetVisible(false);
    EXPECT_TRUE(frxOverflowingMemos(test.page).isEmpty());
    venue->SetVisible(true);

    TfrxPageDrawInfo screen;
    screen.MarkOverflow = true;
    QImage marked = whiteImage(400, 400);
    paint(test.page, marked, 1, 0, screen);
    // The outline runs down both long sides of the object, on its edges.
    const auto redNear = [&marked](int x, int y) {
        return marked.pixel(x - 1, y) == qRgb(255, 0, 0) || marked.pixel(x, y) == qRgb(255, 0, 0);
    };
    EXPECT_TRUE(redNear(100, 100));
    EXPECT_TRUE(redNear(145, 100));
    EXPECT_FALSE(redNear(122, 100));

    QImage plain = whiteImage(400, 400);
    paint(test.page, plain);
    EXPECT_EQ(countPixels(plain, qRgb(255, 0, 0)), 0);
    QImage printed = whiteImage(400, 400);
    platform::Canvas printer(&printed, 96, 96);
    printer.setPrinterCanvas(true);
    frxDrawPage(test.page, printer, 1, 1, 0, 0, screen);
    printer.end();
    EXPECT_EQ(countPixels(printed, qRgb(255, 0, 0)), 0);
}

TEST(PagePainting, totalPagesAndCopyNameMarkersShowAtPaintTimeOnly)
{
    TestPage test;
    auto *memo = new TfrxMemoView(test.band);
    memo->SetBounds(0, 0, 300, 30);
    memo->SetText(QStringLiteral("第[TotalPages#]页 [TOTALPAGES#] [COPYNAME#]"));
    frxGlobalVariables().SetValue(QStringLiteral("CopyName2"), QStringLiteral("副本"));

    platform::RecordingCanvas recording;
    TfrxPageDrawInfo info;
    info.TotalPages = 7;
    info.CopyNo = 2;
    frxDrawPage(test.page, recording, 1, 1, 0, 0, info);
    QString shown;
    for (const platform::TextRecord &record : recording.textRecords())
        shown += record.text;
    // Only the first occurrence is replaced.
    EXPECT_EQ(shown, QStringLiteral("第7页 [TOTALPAGES#] 副本"));
    EXPECT_EQ(memo->Text(), QStringLiteral("第[TotalPages#]页 [TOTALPAGES#] [COPYNAME#]\r\n"));

    platform::RecordingCanvas third;
    info.CopyNo = 3; // no CopyName3: the marker shows nothing
    frxDrawPage(test.page, third, 1, 1, 0, 0, info);
    shown.clear();
    for (const platform::TextRecord &record : third.textRecords())
        shown += record.text;
    EXPECT_EQ(shown.trimmed(), QStringLiteral("第7页 [TOTALPAGES#]"));

    memo->AllowExpressions = false;
    platform::RecordingCanvas literal;
    frxDrawPage(test.page, literal, 1, 1, 0, 0, info);
    EXPECT_TRUE(literal.textRecords().front().text.contains(QStringLiteral("[TotalPages#]")));
}

TEST(CardPainting, verticalColumnsStandUprightFromRightToLeft)
{
    // Three columns of "一一一" in a vertical Kai face turned 270 degrees: upright characters make
    // three short horizontal strokes one below the other; a character lying on its side would make
    // vertical strokes side by side.
    TestPage test;
    QList<TfrxMemoView *> columns;
    for (int i = 0; i < 3; ++i) {
        auto *memo = new TfrxMemoView(test.band);
        memo->SetBounds(300 - 60 * i, 20, 40, 200);
        memo->SetFont([] {
            FontValue font;
            font.name = QStringLiteral("@楷体");
            font.setSize(20);
            return font;
        }());
        memo->SetRotation(270);
        memo->VAlign = vaCenter;
        memo->SetText(i == 0 ? QStringLiteral("一一一") : QStringLiteral("一"));
        columns << memo;
    }
    QImage image = whiteImage(400, 400);
    paint(test.page, image);

    for (int i = 0; i < 3; ++i) {
        const QRect box(300 - 60 * i, 20, 40, 200);
        const QRect ink = inkBounds(image, box);
        ASSERT_FALSE(ink.isNull()) << i;
        // Upright: each stroke is wider than tall.
        EXPECT_GT(ink.width(), 12) << i;
        if (i > 0) {
            EXPECT_LT(ink.height(), ink.width()) << i;
        }
        // vaCenter of a single column centres it across the box.
        EXPECT_NEAR(ink.center().x(), box.center().x(), 6) << i;
    }
    // The first column runs downward from the top: three separate strokes, the first near the top.
    const QRect first = inkBounds(image, QRect(300, 20, 40, 200));
    EXPECT_LT(first.top(), 20 + 30);
    int strokes = 0;
    bool previous = false;
    for (int y = first.top(); y <= first.bottom(); ++y) {
        bool row = false;
        for (int x = first.left(); x <= first.right() && !row; ++x)
            row = inked(image, x, y);
        strokes += row && !previous;
        previous = row;
    }
    EXPECT_EQ(strokes, 3);
    EXPECT_GT(first.height(), 3 * first.width() / 2);

    // Lines of one object follow from right to left: "一" (one stroke) right of "二" (two strokes).
    auto *twoLines = new TfrxMemoView(test.band);
    twoLines->SetBounds(20, 240, 80, 100);
    twoLines->SetFont(columns.front()->Font());
    twoLines->SetRotation(270);
    twoLines->LineSpacing = 20;
    twoLines->SetText(QStringLiteral("一\r\n二"));
    image = whiteImage(400, 400);
    paint(test.page, image);
    auto strokesIn = [&image](const QRect &area) {
        const QRect ink = inkBounds(image, area);
        int count = 0;
        bool previous = false;
        for (int y = ink.top(); y <= ink.bottom(); ++y) {
            bool row = false;
            for (int x = ink.left(); x <= ink.right() && !row; ++x)
                row = inked(image, x, y);
            count += row && !previous;
            previous = row;
        }
        return count;
    };
    EXPECT_EQ(strokesIn(QRect(62, 240, 38, 100)), 1);
    EXPECT_EQ(strokesIn(QRect(20, 240, 42, 100)), 2);
}
