#include "platform/canvas.h"
#include "platform/fontsubstitution.h"
#include "platform/recordingcanvas.h"
#include "tests/support/gui_environment.h"

#include <QFontInfo>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

// The rectangle of the dark pixels; empty when there are none.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (isInk(line[x])) bounds |= QRect(x, y, 1, 1);
    }
    return bounds;
}

// The ink of `image` cropped and scaled to a 32 x 32 grey picture, for comparing glyph shapes.
QImage inkShape(const QImage &image)
{
    const QRect bounds = inkBounds(image);
    return image.copy(bounds).scaled(32, 32).convertToFormat(QImage::Format_Grayscale8);
}

// Mean absolute grey difference of two shapes, 0 (equal) … 255.
double difference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (32 * 32);
}

FontValue font(const QString &name, int height, unsigned style = 0)
{
    FontValue value;
    value.name = name;
    value.height = height;
    value.style = style;
    return value;
}

// Draws `text` once on a fresh white image and returns the image.
QImage drawn(const FontValue &value, int escapement, QPoint at, const QString &text,
             const int *advances = nullptr, QSize size = QSize(300, 300))
{
    QImage image = whiteImage(size.width(), size.height());
    Canvas canvas(&image);
    canvas.setFont(value, escapement);
    canvas.textOut(at.x(), at.y(), text, advances);
    canvas.end();
    return image;
}

} // namespace

TEST(canvas, windowsFaceNamesResolveToInstalledFonts)
{
    installFontSubstitutions();
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("楷体"))).family(), QStringLiteral("AR PL UKai CN"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("KaiTi"))).family(), QStringLiteral("AR PL UKai CN"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("宋体"))).family(), QStringLiteral("AR PL UMing CN"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("新宋体"))).family(), QStringLiteral("AR PL UMing CN"));
    const QString hei = QFontInfo(QFont(QStringLiteral("黑体"))).family();
    EXPECT_TRUE(hei.startsWith(QStringLiteral("Noto Sans CJK")) ||
                hei.startsWith(QStringLiteral("WenQuanYi")))
        << hei.toStdString();
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Tahoma"))).family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial"))).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Times New Roman"))).family(),
              QStringLiteral("Liberation Serif"));
    EXPECT_EQ(familyForFace(QStringLiteral("@楷体")), QStringLiteral("楷体"));
    EXPECT_TRUE(isVerticalFace(QStringLiteral("@宋体")));
    EXPECT_FALSE(isVerticalFace(QStringLiteral("宋体")));
}

TEST(canvas, extentsOfEveryPrefixAddUp)
{
    Canvas canvas(600, 600);
    canvas.setFont(font(QStringLiteral("Arial"), -100));
    const QString text = QStringLiteral("Wi中文 x");
    std::vector<int> extents(text.size());
    canvas.textExtents(text, extents.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        EXPECT_EQ(extents[i], canvas.textWidth(QStringView(text).left(i + 1))) << i;
    EXPECT_GT(extents[0], extents[1] - extents[0]); // W is wider than i
    // A Chinese character falls back to a CJK face and is about one character height wide.
    EXPECT_NEAR(extents[2] - extents[1], 100, 5);

    // The low half of a surrogate pair adds nothing to the extent.
    const QString pair = QString::fromUcs4(U"a\U00020000b", 3);
    std::vector<int> pairExtents(pair.size());
    canvas.textExtents(pair, pairExtents.data());
    ASSERT_EQ(pair.size(), 4);
    EXPECT_GT(pairExtents[1], pairExtents[0]);
    EXPECT_EQ(pairExtents[2], pairExtents[1]);
    EXPECT_GT(pairExtents[3], pairExtents[2]);
}

TEST(canvas, measuresConsistentlyAtTheLogicalResolution)
{
    // The same point size at 600 and at 96 per inch: widths scale by the resolution ratio.
    Canvas fine(600, 600);
    Canvas coarse(96, 96);
    FontValue value = font(QStringLiteral("宋体"), 0);
    value.pixelsPerInch = 600;
    value.setSize(20);
    fine.setFont(value);
    value.pixelsPerInch = 96;
    value.setSize(20);
    coarse.setFont(value);
    const QString text = QStringLiteral("欢迎光临婚礼现场");
    EXPECT_EQ(fine.dpiX(), 600);
    EXPECT_NEAR(fine.textWidth(text) / 6.25, coarse.textWidth(text), coarse.textWidth(text) * 0.03);
}

TEST(canvas, heightsSelectCharacterOrCellHeight)
{
    Canvas canvas(96, 96);
    canvas.setFont(font(QStringLiteral("Tahoma"), -40));
    const TextMetrics character = canvas.textMetrics();
    EXPECT_GT(character.height, 40);
    EXPECT_EQ(character.internalLeading, character.height - 40);
    canvas.setFont(font(QStringLiteral("Tahoma"), 40));
    EXPECT_NEAR(canvas.textMetrics().height, 40, 1);
}

TEST(canvas, printerCanvasSizesFontsAtItsResolution)
{
    QImage image = whiteImage(10, 10);
    Canvas canvas(&image, 300, 300);
    canvas.setPrinterCanvas(true);
    FontValue value = font(QStringLiteral("Arial"), -13); // 10 points at 96 per inch
    canvas.setFont(value);
    EXPECT_EQ(canvas.font().height, -42);
    EXPECT_EQ(canvas.font().pixelsPerInch, 300);
    EXPECT_EQ(canvas.font().size(), 10);
}

TEST(canvas, escapementTurnsTheBaselineCounterClockwise)
{
    const FontValue value = font(QStringLiteral("Arial"), -30);
    const QString text = QStringLiteral("HHHHH");

    const QRect level = inkBounds(drawn(value, 0, {100, 100}, text));
    EXPECT_GT(level.width(), level.height() * 2);
    EXPECT_GE(level.left(), 100);
    EXPECT_GE(level.top(), 100);

    // 270 degrees: the baseline runs downward from the reference point, the cell lies to its left.
    const QRect down = inkBounds(drawn(value, 2700, {150, 50}, text));
    EXPECT_GT(down.height(), down.width() * 2);
    EXPECT_GE(down.top(), 50);
    EXPECT_LE(down.right(), 150);

    // 90 degrees: upward, the cell lies to the right.
    const QRect up = inkBounds(drawn(value, 900, {150, 250}, text));
    EXPECT_GT(up.height(), up.width() * 2);
    EXPECT_LE(up.bottom(), 250);
    EXPECT_GE(up.left(), 150);

    // 180 degrees: leftward, upside down above the reference point.
    const QRect back = inkBounds(drawn(value, 1800, {250, 150}, text));
    EXPECT_LE(back.right(), 250);
    EXPECT_LE(back.bottom(), 150);
    EXPECT_GT(back.width(), back.height() * 2);

    // 45 degrees: rises to the right.
    const QImage slanted = drawn(value, 450, {50, 250}, text);
    const QRect slant = inkBounds(slanted);
    EXPECT_NEAR(slant.width(), slant.height(), slant.width() / 4);
    // The ink of the upper rows lies further right than that of the lower rows.
    const QRect upper = inkBounds(slanted.copy(0, slant.top(), 300, slant.height() / 4));
    const QRect lower =
        inkBounds(slanted.copy(0, slant.bottom() - slant.height() / 4, 300, slant.height() / 4));
    EXPECT_GT(upper.center().x(), lower.center().x() + slant.width() / 3);
}

TEST(canvas, verticalFaceStandsFullWidthCharactersUprightAndLaysOthersAlongTheBaseline)
{
    const QString character = QStringLiteral("下");
    const QImage reference = inkShape(drawn(font(QStringLiteral("楷体"), -80), 0, {100, 100}, character));
    const QImage lying = inkShape(drawn(font(QStringLiteral("楷体"), -80), 2700, {200, 50}, character));
    const QImage upright = inkShape(drawn(font(QStringLiteral("@楷体"), -80), 2700, {200, 50}, character));
    EXPECT_LT(difference(upright, reference), 20);
    EXPECT_GT(difference(lying, reference), 2 * difference(upright, reference) + 10);

    // A half-width letter of the same face keeps the baseline's direction.
    const QString letter = QStringLiteral("L");
    const QImage plainLetter = inkShape(drawn(font(QStringLiteral("楷体"), -80), 2700, {200, 50}, letter));
    const QImage verticalLetter =
        inkShape(drawn(font(QStringLiteral("@楷体"), -80), 2700, {200, 50}, letter));
    EXPECT_LT(difference(verticalLetter, plainLetter), 10);

    // A column of upright characters runs downward from the reference point.
    const QString column = QStringLiteral("婚礼请柬");
    const QImage image =
        drawn(font(QStringLiteral("@楷体"), -40), 2700, {250, 20}, column, nullptr, {300, 300});
    const QRect ink = inkBounds(image);
    EXPECT_GE(ink.top(), 20);
    EXPECT_LE(ink.right(), 250);
    EXPECT_GT(ink.height(), 3 * 40);
    EXPECT_LT(ink.width(), 55);
}

TEST(canvas, advancesPlaceEveryCharacter)
{
    const FontValue value = font(QStringLiteral("Arial"), -30);
    const int advances[] = {80, 80, 80};
    const QImage image = drawn(value, 0, {10, 10}, QStringLiteral("III"), advances);
    const QRect first = inkBounds(image.copy(0, 0, 60, 100));
    const QRect second = inkBounds(image.copy(60, 0, 80, 100));
    const QRect third = inkBounds(image.copy(140, 0, 80, 100));
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    ASSERT_FALSE(third.isEmpty());
    EXPECT_EQ(second.left() + 60 - first.left(), 80);
    EXPECT_EQ(third.left() + 140 - first.left(), 160);
}

TEST(canvas, clippedTextStaysInsideTheClipRectangle)
{
    QImage image = whiteImage(300, 100);
    Canvas canvas(&image);
    canvas.setFont(font(QStringLiteral("Arial"), -40));
    canvas.textOut(10, 10, QStringLiteral("MMMMMMMM"), nullptr, toClipped, QRect(10, 10, 60, 60));
    canvas.textOut(10, 60, QStringLiteral("M"), nullptr, 0);
    canvas.end();
    const QRect clippedInk = inkBounds(image.copy(0, 0, 300, 55));
    EXPECT_LE(clippedInk.right(), 69);
    EXPECT_GT(clippedInk.right(), 50);
    EXPECT_FALSE(inkBounds(image.copy(0, 60, 300, 40)).isEmpty()); // the clip does not outlive the call
}

TEST(canvas, recordingCanvasKeepsTextOutputsInOrder)
{
    RecordingCanvas canvas(96);
    canvas.setFont(font(QStringLiteral("宋体"), -20));
    canvas.textOut(10, 20, QStringLiteral("张三"));
    canvas.setFont(font(QStringLiteral("@宋体"), -20), 2700);
    canvas.textOut(200, 30, QStringLiteral("李四先生"));
    canvas.setFont(font(QStringLiteral("宋体"), -20));
    canvas.textOut(10, 100, QStringLiteral("长长长长长长"), nullptr, toClipped, QRect(0, 90, 50, 40));
    ASSERT_EQ(canvas.textRecords().size(), 3u);
    const TextRecord &first = canvas.textRecords()[0];
    EXPECT_EQ(first.text, QStringLiteral("张三"));
    EXPECT_EQ(first.position, QPoint(10, 20));
    EXPECT_EQ(first.bounds.topLeft(), QPoint(10, 20));
    EXPECT_NEAR(first.bounds.width(), 40, 2);
    const TextRecord &second = canvas.textRecords()[1];
    EXPECT_EQ(second.text, QStringLiteral("李四先生"));
    EXPECT_EQ(second.bounds.top(), 30);
    EXPECT_EQ(second.bounds.right() + 1, 200);
    EXPECT_NEAR(second.bounds.height(), 80, 3);
    EXPECT_EQ(canvas.textRecords()[2].bounds.right(), 49);

    // The recorded picture replays the same ink.
    const QPicture &picture = canvas.finish();
    QImage image = whiteImage(300, 200);
    QPainter painter(&image);
    painter.drawPicture(0, 0, picture);
    painter.end();
    const QRect ink = inkBounds(image.copy(0, 0, 100, 60));
    EXPECT_GE(ink.left(), 10);
    EXPECT_GE(ink.top(), 20);
}

TEST(canvas, linesLeaveOutTheirLastPixelAndDashesHaveGaps)
{
    QImage image = whiteImage(200, 60);
    Canvas canvas(&image);
    canvas.setPen(Pen{PenStyle::Solid, 1, 0, false, PenCap::Square, {}});
    canvas.drawLine(10, 10, 20, 10);
    canvas.setPen(Pen{PenStyle::Dash, 1, 0, false, PenCap::Square, {}});
    canvas.drawLine(0, 30, 200, 30);
    canvas.end();
    EXPECT_TRUE(isInk(image.pixel(10, 10)));
    EXPECT_TRUE(isInk(image.pixel(19, 10)));
    EXPECT_FALSE(isInk(image.pixel(20, 10)));
    int inked = 0;
    for (int x = 0; x < 200; ++x)
        inked += isInk(image.pixel(x, 30)) ? 1 : 0;
    EXPECT_GT(inked, 100);
    EXPECT_LT(inked, 190);
}

TEST(canvas, geometricPensHaveSquareCapsAndUserPatterns)
{
    QImage image = whiteImage(200, 100);
    Canvas canvas(&image);
    canvas.setPen(Pen{PenStyle::Solid, 6, 0, true, PenCap::Square, {}});
    canvas.drawLine(20, 20, 100, 20);
    canvas.setPen(Pen{PenStyle::UserPattern, 4, 0, true, PenCap::Flat, {4, 4}});
    canvas.drawLine(20, 60, 180, 60);
    canvas.end();
    const QRect thick = inkBounds(image.copy(0, 0, 200, 40));
    EXPECT_NEAR(thick.left(), 17, 1);
    EXPECT_NEAR(thick.right(), 102, 1);
    EXPECT_NEAR(thick.height(), 6, 1);
    // Four on, four off along the pattern line.
    int transitions = 0;
    for (int x = 21; x < 180; ++x)
        transitions += isInk(image.pixel(x, 60)) != isInk(image.pixel(x - 1, 60)) ? 1 : 0;
    EXPECT_NEAR(transitions, 160 / 4, 3);
}

TEST(canvas, zeroLengthDashesWithRoundCapsAreDots)
{
    QImage image = whiteImage(200, 40);
    Canvas canvas(&image);
    canvas.setPen(Pen{PenStyle::UserPattern, 4, 0, true, PenCap::Round, {0, 8}});
    canvas.drawLine(20, 20, 180, 20);
    canvas.end();
    int dots = 0;
    for (int x = 21; x < 180; ++x)
        dots += isInk(image.pixel(x, 20)) && !isInk(image.pixel(x - 1, 20)) ? 1 : 0;
    EXPECT_NEAR(dots, 160 / 8, 2);
}

TEST(canvas, hatchBrushesLeaveTheGroundVisible)
{
    QImage image = whiteImage(64, 64);
    Canvas canvas(&image);
    canvas.setBrush(Brush{BrushStyle::Cross, 0x0000FF}); // red
    canvas.setPen(Pen{PenStyle::Clear, 1, 0, false, PenCap::Square, {}});
    canvas.fillRect(0, 0, 32, 32);
    canvas.setBrush(Brush{BrushStyle::Solid, 0xFF0000}); // blue
    canvas.rectangle(32, 32, 64, 64);
    canvas.end();
    int red = 0;
    int white = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            red += pixel == qRgb(255, 0, 0) ? 1 : 0;
            white += pixel == qRgb(255, 255, 255) ? 1 : 0;
        }
    EXPECT_GT(red, 50);
    EXPECT_GT(white, 500);
    EXPECT_EQ(red + white, 32 * 32);
    EXPECT_EQ(image.pixel(40, 40), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(63, 63), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(31, 40), qRgb(255, 255, 255));
}

TEST(canvas, clipRegionsNestAndRestore)
{
    QImage image = whiteImage(100, 100);
    Canvas canvas(&image);
    canvas.setPen(Pen{PenStyle::Clear, 1, 0, false, PenCap::Square, {}});
    canvas.setBrush(Brush{BrushStyle::Solid, 0});
    canvas.setClipRect(QRect(0, 0, 50, 100));
    canvas.saveClip();
    canvas.intersectClipRect(QRect(0, 0, 100, 20));
    EXPECT_EQ(canvas.clipBounds(), QRect(0, 0, 50, 20));
    canvas.fillRect(0, 0, 100, 100);
    canvas.restoreClip();
    EXPECT_EQ(canvas.clipBounds(), QRect(0, 0, 50, 100));
    canvas.clearClip();
    EXPECT_FALSE(canvas.hasClip());
    canvas.end();
    EXPECT_TRUE(isInk(image.pixel(49, 19)));
    EXPECT_FALSE(isInk(image.pixel(50, 19)));
    EXPECT_FALSE(isInk(image.pixel(10, 20)));
}

TEST(canvas, pdfTargetsKeepTextAndEmbedFonts)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("card.pdf"));
    {
        QPdfWriter writer(path);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A5));
        Canvas canvas(&writer);
        EXPECT_EQ(canvas.dpiX(), 600);
        canvas.setFont(font(QStringLiteral("宋体"), -200));
        const int advances[] = {220, 220, 220, 220};
        canvas.textOut(300, 300, QStringLiteral("敬请光临"), advances);
        canvas.setFont(font(QStringLiteral("@楷体"), -200), 2700);
        canvas.textOut(2500, 800, QStringLiteral("王小明"));
    }
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("敬")) && text.contains(QStringLiteral("临")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("王"))) << text.toStdString();
}
