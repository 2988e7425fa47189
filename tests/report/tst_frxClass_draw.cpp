// Painting of views and prepared pages, checked by where ink lands on real images with real fonts.
#include "report/objects/frxClass.h"
#include "report/output/frxPainter.h"

#include "platform/recordingcanvas.h"
#include "tests/report/support/fonts.h"
#include "tests/support/gui_environment.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace frx;
using testsupport::fontOf;
using testsupport::mono;
using testsupport::monoAdvance;

namespace {

QImage whiteImage(int width = 200, int height = 200)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool inked(const QImage &image, int x, int y)
{
    return image.pixel(x, y) != qRgb(255, 255, 255);
}

bool isColor(const QImage &image, int x, int y, int bgr)
{
    return image.pixel(x, y) == platform::colorFromBgr(bgr).rgb();
}

// The bounding box of the non-white pixels inside `area`.
QRect inkBounds(const QImage &image, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (inked(image, x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

void draw(TfrxView &view, QImage &image, Extended scale = 1)
{
    platform::Canvas canvas(&image, 96, 96);
    view.Draw(canvas, scale, scale, 0, 0);
}

// A view at (10, 10) of 50 x 30 units with the frame sides `typ`.
void frameBox(TfrxView &view, TfrxFrameTypes typ, TfrxFrameStyle style, Extended width)
{
    view.SetBounds(10, 10, 50, 30);
    view.Frame().Typ = typ;
    view.Frame().SetStyle(style);
    view.Frame().SetWidth(width);
}

constexpr TfrxFrameTypes allSides = ftLeft | ftRight | ftTop | ftBottom;

} // namespace

TEST(FramePainting, solidBoxClosesEveryCornerAndStaysOnTheEdges)
{
    TfrxView view;
    frameBox(view, allSides, fsSolid, 1);
    QImage image = whiteImage();
    draw(view, image);
    for (int x = 10; x <= 60; ++x) {
        EXPECT_TRUE(inked(image, x, 10)) << x;
        EXPECT_TRUE(inked(image, x, 40)) << x;
    }
    for (int y = 10; y <= 40; ++y) {
        EXPECT_TRUE(inked(image, 10, y)) << y;
        EXPECT_TRUE(inked(image, 60, y)) << y;
    }
    EXPECT_EQ(inkBounds(image, image.rect()), QRect(QPoint(10, 10), QPoint(60, 40)));
    EXPECT_FALSE(inked(image, 30, 25)); // transparent inside
}

TEST(FramePainting, thickSolidSidesFillTheJoinedCornerAndStopAtFreeEnds)
{
    TfrxView view;
    frameBox(view, ftLeft | ftTop, fsSolid, 4);
    QImage image = whiteImage();
    draw(view, image);
    // The corner square where the two sides meet is filled, also its outer part.
    for (int y = 8; y <= 11; ++y)
        for (int x = 8; x <= 11; ++x)
            EXPECT_TRUE(inked(image, x, y)) << x << "," << y;
    const QRect ink = inkBounds(image, image.rect());
    // Free ends are pulled back by half the width: the square caps end at the box's far edges.
    EXPECT_EQ(ink.right(), 59);
    EXPECT_EQ(ink.bottom(), 39);
    EXPECT_EQ(ink.left(), 8);
    EXPECT_EQ(ink.top(), 8);
}

TEST(FramePainting, sidesTakeTheirOwnLineColours)
{
    TfrxView view;
    frameBox(view, allSides, fsSolid, 1);
    view.Frame().RightLine.Color = 0x0000FF;  // red
    view.Frame().BottomLine.Color = 0xFF0000; // blue
    QImage image = whiteImage();
    draw(view, image);
    EXPECT_TRUE(isColor(image, 10, 25, clBlack));
    EXPECT_TRUE(isColor(image, 60, 25, 0x0000FF));
    EXPECT_TRUE(isColor(image, 30, 40, 0xFF0000));
    EXPECT_TRUE(isColor(image, 30, 10, clBlack));
}

TEST(FramePainting, dashedOnePixelFrameClosesTheBottomRightCorner)
{
    for (TfrxFrameStyle style : {fsDash, fsDot, fsDashDot, fsDashDotDot}) {
        TfrxView view;
        view.SetBounds(10, 10, 2, 2); // short enough for every dash rhythm to be "on"
        view.Frame().Typ = allSides;
        view.Frame().SetStyle(style);
        QImage image = whiteImage(40, 40);
        draw(view, image);
        EXPECT_TRUE(inked(image, 12, 12)) << style;
        EXPECT_TRUE(inked(image, 10, 10)) << style;
        EXPECT_EQ(inkBounds(image, image.rect()), QRect(QPoint(10, 10), QPoint(12, 12))) << style;
    }
}

TEST(FramePainting, dashedSidesHaveGaps)
{
    TfrxView view;
    frameBox(view, ftTop, fsDot, 1);
    QImage image = whiteImage();
    draw(view, image);
    int on = 0;
    for (int x = 10; x < 60; ++x)
        on += inked(image, x, 10);
    EXPECT_GT(on, 10);
    EXPECT_LT(on, 40);
}

TEST(FramePainting, doubleFrameShowsTwoLinesWithTheFillBetween)
{
    TfrxView view;
    frameBox(view, allSides, fsDouble, 1);
    view.Color = 0x00FF00; // green fill, also between the two lines
    QImage image = whiteImage();
    draw(view, image, 3);
    // At scale 3 the side at x = 30 is three bands of 3 pixels: 26..28 outer, 29..31 middle, 32..34 inner.
    const int y = 75;
    EXPECT_TRUE(isColor(image, 27, y, clBlack));
    EXPECT_TRUE(isColor(image, 30, y, 0x00FF00));
    EXPECT_TRUE(isColor(image, 33, y, clBlack));
    EXPECT_TRUE(isColor(image, 29, y, 0x00FF00)); // outside the box: only the middle band is green
    EXPECT_TRUE(isColor(image, 25, y, clWhite));
    // The outer lines of two sides meet at the corner: no notch in the outer ring.
    EXPECT_TRUE(isColor(image, 27, 27, clBlack));
    EXPECT_TRUE(isColor(image, 182, 122, clBlack));
}

TEST(FramePainting, squareAndAltDotStylesDrawSpacedMarks)
{
    for (TfrxFrameStyle style : {fsSquare, fsAltDot}) {
        TfrxView view;
        frameBox(view, ftTop, style, 3);
        QImage image = whiteImage();
        draw(view, image);
        int on = 0;
        for (int x = 12; x < 58; ++x)
            on += inked(image, x, 10);
        EXPECT_GT(on, 5) << style;
        EXPECT_LT(on, 40) << style;
    }
}

TEST(FramePainting, noFrameWithoutSidesColourOrWidth)
{
    TfrxView noSides;
    frameBox(noSides, 0, fsSolid, 1);
    TfrxView noColour;
    frameBox(noColour, allSides, fsSolid, 1);
    noColour.Frame().SetColor(clTransparent);
    TfrxView noWidth;
    frameBox(noWidth, allSides, fsSolid, 0);
    for (TfrxView *view : {&noSides, &noColour, &noWidth}) {
        QImage image = whiteImage();
        draw(*view, image);
        EXPECT_TRUE(inkBounds(image, image.rect()).isNull());
    }
}

TEST(FramePainting, dropShadowLiesInsideTheBoxBelowAndRight)
{
    TfrxView view;
    frameBox(view, allSides, fsSolid, 1);
    view.Frame().DropShadow = true;
    view.Frame().ShadowColor = 0x808080;
    view.Frame().ShadowWidth = 4;
    QImage image = whiteImage();
    draw(view, image);
    // The frame shrinks to 10..56 x 10..36; the shadow fills 56..59 right and 36..39 below.
    EXPECT_TRUE(isColor(image, 56, 25, clBlack));
    EXPECT_TRUE(isColor(image, 58, 25, 0x808080));
    EXPECT_TRUE(isColor(image, 30, 38, 0x808080));
    EXPECT_TRUE(isColor(image, 58, 38, 0x808080)); // the corner
    EXPECT_TRUE(isColor(image, 58, 12, clWhite));  // the shadow starts 4 below the top
    EXPECT_TRUE(isColor(image, 12, 38, clWhite));  // and 4 right of the left edge
    EXPECT_EQ(view.Geometry().X1, 56);
    EXPECT_EQ(inkBounds(image, image.rect()), QRect(QPoint(10, 10), QPoint(59, 39)));
}

TEST(BackgroundPainting, colourFillsTheBoxAndHatchesUseTheFrameColour)
{
    TfrxView filled;
    filled.SetBounds(10, 10, 40, 40);
    filled.Color = 0x00FFFF; // yellow
    QImage image = whiteImage();
    draw(filled, image);
    EXPECT_TRUE(isColor(image, 10, 10, 0x00FFFF));
    EXPECT_TRUE(isColor(image, 49, 49, 0x00FFFF));
    EXPECT_TRUE(isColor(image, 50, 50, clWhite));

    TfrxView hatched;
    hatched.SetBounds(10, 10, 40, 40);
    hatched.BrushStyle = bsHorizontal;
    hatched.Frame().SetColor(0x0000FF);
    image = whiteImage();
    draw(hatched, image);
    int redRows = 0;
    for (int y = 10; y <= 50; ++y)
        redRows += isColor(image, 30, y, 0x0000FF);
    EXPECT_GT(redRows, 2);
    EXPECT_LT(redRows, 20);
    EXPECT_TRUE(inkBounds(image, image.rect()).right() <= 50);

    TfrxView clear;
    clear.SetBounds(10, 10, 40, 40);
    clear.Color = 0x00FFFF;
    clear.BrushStyle = bsClear;
    image = whiteImage();
    draw(clear, image);
    EXPECT_TRUE(inkBounds(image, image.rect()).isNull());
}

TEST(ShapePainting, ellipseFillsItsMiddleNotItsCorners)
{
    TfrxShapeView shape;
    shape.SetBounds(10, 10, 60, 40);
    shape.Shape = skEllipse;
    shape.Color = 0x00FF00;
    QImage image = whiteImage();
    draw(shape, image);
    EXPECT_TRUE(isColor(image, 40, 30, 0x00FF00));
    EXPECT_TRUE(isColor(image, 11, 11, clWhite));
    EXPECT_TRUE(inked(image, 10, 30));
    EXPECT_TRUE(inked(image, 70, 30));
}

TEST(LinePainting, lineWiderThanTallBecomesHorizontalWithArrowHead)
{
    TfrxLineView line;
    line.SetBounds(20, 50, 100, 8);
    line.ArrowEnd = true;
    line.ArrowSolid = true;
    QImage image = whiteImage();
    draw(line, image);
    EXPECT_EQ(line.Height(), 0);
    EXPECT_TRUE(inked(image, 60, 50));
    // The head: 20 long, 5 to each side, tip at x = 120.
    EXPECT_TRUE(inked(image, 110, 48));
    EXPECT_TRUE(inked(image, 110, 52));
    EXPECT_FALSE(inked(image, 90, 47));
    const QRect ink = inkBounds(image, image.rect());
    EXPECT_GE(ink.top(), 44);
    EXPECT_LE(ink.bottom(), 56);
}

TEST(LinePainting, tallLineBecomesVertical)
{
    TfrxLineView line;
    line.SetBounds(30, 20, 5, 100);
    QImage image = whiteImage();
    draw(line, image);
    EXPECT_EQ(line.Width(), 0);
    EXPECT_EQ(inkBounds(image, image.rect()), QRect(QPoint(30, 20), QPoint(30, 120)));
}

TEST(PicturePainting, pictureRectFollowsStretchAspectAndCentre)
{
    TfrxPictureView picture;
    picture.SetBounds(0, 0, 100, 100);
    picture.Picture = QImage(200, 100, QImage::Format_RGB32);
    picture.Picture.fill(Qt::red);
    QImage image = whiteImage();
    draw(picture, image);
    EXPECT_EQ(picture.PictureRect(), QRect(0, 0, 100, 50)); // fitted, at the top left
    picture.Center = true;
    draw(picture, image);
    EXPECT_EQ(picture.PictureRect(), QRect(0, 25, 100, 50));
    picture.KeepAspectRatio = false;
    draw(picture, image);
    EXPECT_EQ(picture.PictureRect(), QRect(0, 0, 100, 100));
    picture.Stretched = false;
    draw(picture, image, 2); // natural size times the scale, centred, clipped to the box
    EXPECT_EQ(picture.PictureRect(), QRect(-100, 0, 400, 200));
    image = whiteImage(300, 300);
    draw(picture, image, 2);
    EXPECT_EQ(inkBounds(image, image.rect()), QRect(0, 0, 200, 200));
}

namespace {

Extended rowHeight(const FontValue &font, Extended lineSpacing)
{
    std::lock_guard guard(TfrxDrawText::Lock());
    TfrxDrawText &drawText = frxDrawText();
    drawText.ApplyFont(font);
    drawText.ApplySpacing(lineSpacing, 0, 0);
    return drawText.RowHeight();
}

// Rows in which every pixel from x1 to x2 is inked.
int fullRows(const QImage &image, int x1, int x2, int y1, int y2)
{
    int rows = 0;
    for (int y = y1; y <= y2; ++y) {
        bool full = true;
        for (int x = x1; x <= x2 && full; ++x)
            full = inked(image, x, y);
        rows += full;
    }
    return rows;
}

} // namespace

TEST(MemoMeasuring, emptyTextMeasuresTheInsetsAloneRoundedHalfToEven)
{
    TfrxMemoView memo;
    memo.SetBounds(0, 0, 100, 50);
    memo.Frame().Typ = allSides;
    memo.Frame().SetWidth(3);
    // Vertical: 2 x GapY 1 + (3 - 1) / 2 + 3 / 2 = 4.5; horizontal: 2 x GapX 2 + 1 + 1.5 = 6.5.
    EXPECT_EQ(memo.CalcHeight(), 4);
    EXPECT_EQ(memo.CalcWidth(), 6);
    memo.Frame().DropShadow = true; // the shadow's 4 units are inside the box too
    EXPECT_EQ(memo.CalcHeight(), 8);
    EXPECT_EQ(memo.CalcWidth(), 10);
}

TEST(MemoMeasuring, calcWidthIsTheLongestLinePlusInsets)
{
    TfrxMemoView memo;
    memo.SetFont(mono());
    memo.SetBounds(0, 0, 20, 20); // narrower than the text: CalcWidth does not wrap
    memo.SetText(QStringLiteral("0123456789\r\nabc"));
    memo.Frame().Typ = ftLeft | ftRight;
    memo.Frame().SetWidth(2);
    const Extended expected = 10 * monoAdvance() / 6.25L + 2 * 2 + 0.5L + 1;
    EXPECT_EQ(memo.CalcWidth(), roundHalfEven(expected));
}

TEST(MemoMeasuring, calcHeightWrapsInsideTheGapsAndFrame)
{
    const Extended textWidth = 10.5L * monoAdvance() / 6.25L; // ten characters and a half
    TfrxMemoView memo;
    memo.SetFont(mono());
    memo.GapX = 0;
    memo.SetText(QStringLiteral("aaaaa bbbb"));
    memo.SetBounds(0, 0, textWidth, 100);
    const Extended oneRow = memo.CalcHeight();
    // The same width with gaps of 5 leaves room for nine characters: the text takes two rows.
    memo.GapX = 5;
    memo.SetWidth(textWidth);
    const Extended twoRows = memo.CalcHeight();
    EXPECT_NEAR(twoRows - oneRow, rowHeight(mono(), memo.LineSpacing), 1);
    // A frame on the left and right takes room as well.
    memo.GapX = 0;
    memo.Frame().Typ = ftLeft | ftRight;
    memo.Frame().SetWidth(10);
    EXPECT_EQ(memo.CalcHeight(), twoRows);
    // AutoWidth measures in an unbounded rectangle: one row again.
    memo.AutoWidth = true;
    EXPECT_EQ(memo.CalcHeight(), oneRow);
}

TEST(MemoParts, longTextSplitsIntoPartsThatKeepEveryLine)
{
    TfrxMemoView memo;
    memo.SetFont(fontOf(QStringLiteral("AR PL UMing CN"), 12));
    QStringList lines;
    for (int i = 1; i <= 10; ++i)
        lines << QStringLiteral("第%1行").arg(i);
    memo.SetText(lines.join(QStringLiteral("\r\n")));
    const Extended row = rowHeight(memo.Font(), memo.LineSpacing);
    memo.SetBounds(0, 0, 200, 3.5L * row); // three rows and a half fit
    memo.InitPart();

    QStringList printed;
    int parts = 0;
    while (!memo.PartText().isEmpty() && parts < 10) {
        const Extended spare = memo.DrawPart();
        ++parts;
        printed += memo.Memo().lines();
        if (!memo.PartText().isEmpty()) {
            EXPECT_NEAR(spare, 0.5L * row, 0.01) << parts;
        }
    }
    EXPECT_EQ(parts, 4);
    EXPECT_EQ(printed, lines);
    EXPECT_FALSE(memo.LastParaBreak);
}

TEST(MemoParts, noRowFittingGivesTheWholeHeightAndKeepsTheText)
{
    TfrxMemoView memo;
    memo.SetFont(mono(20));
    memo.SetText(QStringLiteral("一\r\n二"));
    memo.SetBounds(0, 0, 200, 5);
    memo.InitPart();
    EXPECT_EQ(memo.DrawPart(), 5);
    EXPECT_EQ(memo.Memo().Count(), 0);
    EXPECT_TRUE(memo.PartText().startsWith(QStringLiteral("一")));
}

TEST(MemoParts, paragraphCutInTheMiddleContinuesOnTheNextPart)
{
    TfrxMemoView memo;
    memo.SetFont(mono());
    memo.SetText(QStringLiteral("aaa bbb ccc ddd eee fff ggg hhh"));
    const Extended row = rowHeight(mono(), memo.LineSpacing);
    memo.SetBounds(0, 0, 4.5L * monoAdvance() / 6.25L + 4, 2.5L * row); // "aaa " per row, two rows
    memo.InitPart();
    memo.DrawPart();
    EXPECT_EQ(memo.Memo().Count(), 1);
    EXPECT_EQ(memo.Memo().Strings(0).trimmed(), QStringLiteral("aaa bbb"));
    EXPECT_TRUE(memo.LastParaBreak);
    EXPECT_TRUE(memo.PartText().startsWith(QStringLiteral("ccc")));
}

TEST(MemoPainting, underlinesRuleTheRowsOnlyOfUnrotatedText)
{
    TfrxMemoView memo;
    memo.SetFont(mono());
    memo.SetBounds(10, 10, 150, 100);
    memo.Underlines = true;
    QImage image = whiteImage();
    draw(memo, image);
    const int rows = fullRows(image, 10, 159, 10, 110);
    const Extended row = rowHeight(mono(), memo.LineSpacing);
    EXPECT_EQ(rows, int(100 / row));

    memo.SetRotation(90);
    image = whiteImage();
    draw(memo, image);
    EXPECT_EQ(fullRows(image, 10, 159, 10, 110), 0);
}

TEST(MemoPainting, autoWidthKeepsTheRightEdgeOrTheCentre)
{
    TfrxMemoView right;
    right.SetFont(mono());
    right.SetText(QStringLiteral("abc"));
    right.SetBounds(100, 10, 80, 20);
    right.AutoWidth = true;
    right.HAlign = haRight;
    const Extended width = right.CalcWidth();
    QImage image = whiteImage();
    draw(right, image);
    EXPECT_NEAR(right.Width(), width, 0.5);
    EXPECT_NEAR(right.Left() + right.Width(), 180, 1e-9);

    TfrxMemoView centre;
    centre.SetFont(mono());
    centre.SetText(QStringLiteral("abc"));
    centre.SetBounds(100, 10, 80, 20);
    centre.AutoWidth = true;
    centre.HAlign = haCenter;
    draw(centre, image);
    EXPECT_NEAR(centre.Left() + centre.Width() / 2, 140, 1e-9);
}

TEST(MemoPainting, highlightColourFillsOnlyForThePaint)
{
    TfrxMemoView memo;
    memo.SetBounds(10, 10, 50, 20);
    memo.Highlight().Active = true;
    memo.Highlight().Color = 0x00FFFF;
    QImage image = whiteImage();
    draw(memo, image);
    EXPECT_TRUE(isColor(image, 30, 20, 0x00FFFF));
    EXPECT_EQ(memo.Color, clTransparent);
}
