#include "report/text/frxGraphicUtils.h"

#include "platform/recordingcanvas.h"
#include "tests/report/support/fonts.h"
#include "tests/support/gui_environment.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace frx;
using platform::FontValue;
using testsupport::fontOf;
using testsupport::mono;
using testsupport::monoAdvance;

namespace {

// A text rectangle in report units that holds exactly `characters` characters of the monospaced font
// (and half a character more, so that rounding never decides).
TfrxRect rectForCharacters(double characters, int height = 200, int points = 10)
{
    const double width = (characters + 0.5) * monoAdvance(points) / 6.25;
    return TfrxRect{0, 0, int(std::lround(width)), height};
}

struct Layout {
    QStringList text;
    FontValue font = mono();
    TfrxRect rect{0, 0, 200, 200};
    int rotation = 0;
    bool wordWrap = true;
    bool wordBreak = false;
    bool tags = false;
    bool wysiwyg = true;
    bool rtl = false;
    Extended lineSpacing = 0;
    Extended charSpacing = 0;
    Extended paragraphGap = 0;
    Extended scale = 1;
};

// Prepares `drawText` for `layout` the way a text object does: font, options, spacing, bounds, text.
void load(TfrxDrawText &drawText, const Layout &layout)
{
    drawText.ApplyFont(layout.font);
    drawText.ApplyOptions(layout.wordWrap, layout.tags, layout.rotation, layout.wysiwyg, true,
                          layout.wordBreak, layout.rtl);
    drawText.ApplySpacing(layout.lineSpacing, layout.charSpacing, layout.paragraphGap);
    const TfrxRect &r = layout.rect;
    const auto scaled = [&](int v) { return int(std::lround(v * double(layout.scale))); };
    drawText.ApplyBounds(r, TfrxDeviceRect{scaled(r.Left), scaled(r.Top), scaled(r.Right), scaled(r.Bottom)},
                         1, layout.scale, layout.scale);
    drawText.LoadText(layout.text);
}

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QRect inkBounds(const QImage &image, QRect area = QRect())
{
    if (area.isNull()) area = image.rect();
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(line[x]) < 128) bounds |= QRect(x, y, 1, 1);
    }
    return bounds;
}

QImage render(const Layout &layout, TfrxHAlign hAlign, TfrxVAlign vAlign, QSize size = QSize(500, 500))
{
    TfrxDrawText drawText;
    std::lock_guard guard(TfrxDrawText::Lock());
    load(drawText, layout);
    QImage image = whiteImage(size.width(), size.height());
    platform::Canvas canvas(&image);
    drawText.Render(canvas, hAlign, vAlign);
    canvas.end();
    return image;
}

// Ink of `image` cropped and scaled to 32 x 32 grey levels, for comparing glyph shapes.
QImage inkShape(const QImage &image, QRect area)
{
    return image.copy(inkBounds(image, area)).scaled(32, 32).convertToFormat(QImage::Format_Grayscale8);
}

double difference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (32 * 32);
}

} // namespace

TEST(frxHTMLTags, tagsAreRemovedAndCarryTheirAttributes)
{
    TfrxHTMLTagsList list;
    list.Init(0x000000, 12, 0, true);
    TfrxHTMLTags tags;
    const QString visible =
        list.ExpandHTMLTags(QStringLiteral("<b>粗</B>体<font color=\"#FF8000\">色</font>"), tags);
    EXPECT_EQ(visible, QStringLiteral("粗体色"));
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[0].CharPos, 4);
    EXPECT_EQ(tags[0].FontStyle, unsigned(platform::fsBold));
    EXPECT_FALSE(tags[0].SameAsPrevious);
    EXPECT_EQ(tags[1].CharPos, 9);
    EXPECT_EQ(tags[1].FontStyle, 0u);
    EXPECT_FALSE(tags[1].SameAsPrevious);
    EXPECT_EQ(tags[2].CharPos, 32);
    EXPECT_EQ(tags[2].FontColor, 0x0080FF); // red and blue exchanged
    EXPECT_FALSE(tags[2].Reduced);

    // The next line continues after CR LF and compares with the last character before it.
    const QString second = list.ExpandHTMLTags(QStringLiteral("<i>斜"), tags);
    EXPECT_EQ(second, QStringLiteral("斜"));
    EXPECT_EQ(tags[0].CharPos, 39 + 1 + 2 + 3);
    EXPECT_EQ(tags[0].FontStyle, unsigned(platform::fsItalic));
    EXPECT_EQ(tags[0].FontColor, 0);
}

TEST(frxHTMLTags, subscriptsColourNamesAndUnknownTags)
{
    TfrxHTMLTagsList list;
    list.Init(0x000000, 12, 0, true);
    TfrxHTMLTags tags;
    EXPECT_EQ(list.ExpandHTMLTags(QStringLiteral("H<sub>2</sub>O<SUP>+</sup>"), tags),
              QStringLiteral("H2O+"));
    EXPECT_EQ(tags[1].FontSize, 8);
    EXPECT_EQ(tags[1].Lowered, 1);
    EXPECT_TRUE(tags[1].Reduced);
    EXPECT_FALSE(tags[1].SameAsPrevious);
    EXPECT_EQ(tags[2].FontSize, 12);
    EXPECT_FALSE(tags[2].Reduced);
    EXPECT_EQ(tags[3].FontSize, 8);
    EXPECT_EQ(tags[3].Lowered, 0);

    EXPECT_EQ(list.ExpandHTMLTags(QStringLiteral("<font color=  Navy>a</font><font color=Nope>b<x>"), tags),
              QStringLiteral("a<font color=Nope>b<x>"));
    EXPECT_EQ(tags[0].FontColor, 0x800000);
    EXPECT_EQ(tags[1].FontColor, 0);
    EXPECT_EQ(list.ExpandHTMLTags(QStringLiteral("<strike>s</strike><nowrap>n"), tags), QStringLiteral("sn"));
    EXPECT_EQ(tags[0].FontStyle, unsigned(platform::fsStrikeOut));
    EXPECT_TRUE(tags[1].NoWrap);

    // A line without visible characters becomes one space.
    EXPECT_EQ(list.ExpandHTMLTags(QStringLiteral("<b></b>"), tags), QStringLiteral(" "));
    EXPECT_EQ(tags.size(), 1u);
}

TEST(frxHTMLTags, withoutTagsEveryCharacterIsSameAsPrevious)
{
    TfrxHTMLTagsList list;
    list.Init(0x0000FF, 10, platform::fsBold, false);
    TfrxHTMLTags tags;
    EXPECT_EQ(list.ExpandHTMLTags(QStringLiteral("<b>x"), tags), QStringLiteral("<b>x"));
    ASSERT_EQ(tags.size(), 4u);
    for (const TfrxHTMLTag &tag : tags) {
        EXPECT_TRUE(tag.SameAsPrevious);
        EXPECT_EQ(tag.FontColor, 0x0000FF);
        EXPECT_EQ(tag.FontStyle, unsigned(platform::fsBold));
    }
    EXPECT_EQ(tags[3].CharPos, 4);
}

TEST(frxDrawText, wrapsAtSpacesAndCutsLongWords)
{
    TfrxDrawText drawText;
    Layout layout;
    layout.rect = rectForCharacters(10);
    layout.text = {QStringLiteral("aaaa bbbb cccc"), QStringLiteral("abcdefghijklmn"), QString(),
                   QStringLiteral("short")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(),
              (QStringList{QStringLiteral("aaaa bbbb"), QStringLiteral("cccc"), QStringLiteral("abcdefghij"),
                           QStringLiteral("klmn"), QStringLiteral(" "), QStringLiteral("short")}));
    EXPECT_EQ(drawText.ParagraphMark(0), 1);
    EXPECT_EQ(drawText.ParagraphMark(1), 2);
    EXPECT_EQ(drawText.ParagraphMark(2), 1);
    EXPECT_EQ(drawText.ParagraphMark(3), 2);
    EXPECT_EQ(drawText.ParagraphMark(4), 3);
    EXPECT_EQ(drawText.ParagraphMark(5), 3);
    EXPECT_EQ(drawText.SourceText(), QStringLiteral("aaaa bbbb cccc\r\nabcdefghijklmn\r\n\r\nshort\r\n"));
    // The tags follow their characters into the wrapped lines.
    EXPECT_EQ(drawText.Tags().Items(1).front().CharPos, 11);
    EXPECT_EQ(drawText.Tags().Items(3).front().CharPos, 17 + 10);

    drawText.MarkParagraphEdges(true, true);
    EXPECT_EQ(drawText.ParagraphMark(0), 0);
    EXPECT_EQ(drawText.ParagraphMark(5), 1);
}

TEST(frxDrawText, wrapLimitsAndOptions)
{
    TfrxDrawText drawText;
    Layout layout;
    layout.text = {QStringLiteral("abc")};
    layout.rect = rectForCharacters(0.2); // narrower than one character
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));

    layout.rect = rectForCharacters(10);
    layout.wordWrap = false;
    layout.text = {QStringLiteral("aaaa bbbb cccc dddd")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(), QStringList{layout.text});

    // The paragraph gap shortens only the first line's limit.
    layout.wordWrap = true;
    layout.paragraphGap = 3.0 * monoAdvance() / 6.25;
    layout.text = {QStringLiteral("aaaa bbbb cccc dddd")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(),
              (QStringList{QStringLiteral("aaaa"), QStringLiteral("bbbb cccc"), QStringLiteral("dddd")}));

    // A space inside a no-wrap region is no break candidate.
    layout.paragraphGap = 0;
    layout.tags = true;
    layout.text = {QStringLiteral("a <nowrap>bb cc</nowrap> dddd")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(), (QStringList{QStringLiteral("a bb cc"), QStringLiteral("dddd")}));

    // Character spacing makes every character wider at the layout resolution.
    layout.tags = false;
    layout.charSpacing = 1.0 * monoAdvance() / 6.25;
    layout.text = {QStringLiteral("abcdefghij")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(), (QStringList{QStringLiteral("abcde"), QStringLiteral("fghij")}));
}

TEST(frxDrawText, wordBreakHyphenatesRussianSyllables)
{
    TfrxDrawText drawText;
    Layout layout;
    layout.rect = rectForCharacters(10);
    layout.wordBreak = true;
    layout.text = {QStringLiteral("ПРИВЕТСТВУЮ"), QStringLiteral("ДА ПРИВЕТСТВУЮ"),
                   QStringLiteral("abcdefghijklmn"), QStringLiteral("Да приветствую")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(),
              (QStringList{QStringLiteral("ПРИВЕТСТ-"), QStringLiteral("ВУЮ"), QStringLiteral("ДА ПРИВЕТ-"),
                           QStringLiteral("СТВУЮ"), QStringLiteral("abcdefghij"), QStringLiteral("klmn"),
                           QStringLiteral("Да привет-"), QStringLiteral("ствую")}));
    // The hyphen carries the tag of the character before it.
    const TfrxHTMLTags &tags = drawText.Tags().Items(0);
    ASSERT_EQ(tags.size(), 9u);
    EXPECT_EQ(tags[8].CharPos, tags[7].CharPos);

    // A doubled consonant before a vowel keeps the vowel with the first part: ВАННА is not split as ВА-ННА.
    layout.rect = rectForCharacters(4);
    layout.text = {QStringLiteral("ВАННА")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(), (QStringList{QStringLiteral("ВАН-"), QStringLiteral("НА")}));
    // Words of three letters are never split.
    layout.rect = rectForCharacters(2);
    layout.text = {QStringLiteral("ДОМ")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines(), (QStringList{QStringLiteral("ДО"), QStringLiteral("М")}));
}

TEST(frxDrawText, linesLongerThanTheWidthTableAreMeasuredSafely)
{
    TfrxDrawText drawText;
    Layout layout;
    layout.rect = TfrxRect{0, 0, 10000, 10000};
    layout.text = {QString(40000, QLatin1Char('x')), QStringLiteral("tail")};
    load(drawText, layout);
    ASSERT_GT(drawText.WrappedLines().size(), 2);
    qsizetype total = 0;
    for (qsizetype i = 0; i + 1 < drawText.WrappedLines().size(); ++i)
        total += drawText.WrappedLines()[i].size();
    EXPECT_EQ(total, 40000);
    EXPECT_EQ(drawText.WrappedLines().last(), QStringLiteral("tail"));

    layout.wordWrap = false;
    load(drawText, layout);
    ASSERT_EQ(drawText.WrappedLines().size(), 2);
    EXPECT_NEAR(double(drawText.BlockWidth()), 40000.0 * monoAdvance() / 6.25, 1);
    const QImage image = render(layout, haLeft, vaTop, QSize(200, 60));
    EXPECT_FALSE(inkBounds(image).isEmpty());
}

TEST(frxDrawText, heightsAndWidthsInReportUnits)
{
    TfrxDrawText drawText;
    Layout layout;
    layout.rect = rectForCharacters(10);
    layout.lineSpacing = 2;
    layout.text = {QStringLiteral("aaaa bbbb cccc"), QStringLiteral("dd")};
    load(drawText, layout);
    // 10 points at 600 per inch: 83 pixels.
    EXPECT_NEAR(double(drawText.RowHeight()), 83 / 6.25 + 2, 1e-9);
    platform::Canvas canvas(600, 600);
    FontValue measuring = mono();
    measuring.height = -83;
    canvas.setFont(measuring);
    const double leading = canvas.textMetrics().internalLeading;
    EXPECT_NEAR(double(drawText.BlockHeight()), 3 * (83 / 6.25 + 2) + leading / 6.25 - 2, 1e-9);
    EXPECT_NEAR(double(drawText.BlockWidth()), 9 * monoAdvance() / 6.25, 1e-9);

    // The paragraph gap widens first lines; character spacing widens every character.
    layout.paragraphGap = 5;
    layout.charSpacing = 1;
    layout.rect = TfrxRect{0, 0, 10000, 10000};
    layout.text = {QStringLiteral("abc"), QString()};
    load(drawText, layout);
    EXPECT_NEAR(double(drawText.BlockWidth()), (3 * monoAdvance() + 3 * 6 + 31) / 6.25, 1e-9);

    TfrxDrawText empty;
    EXPECT_EQ(empty.BlockHeight(), 0);
}

TEST(frxDrawText, splitAtBottomKeepsTheRowsThatFit)
{
    TfrxDrawText drawText;
    Layout layout;
    layout.text = {QStringLiteral("aaaa bbbb cccc dddd eeee"), QStringLiteral("ffff")};
    layout.rect = rectForCharacters(10);
    const double row = 83 / 6.25;
    layout.rect.Bottom = int(2.5 * row);
    load(drawText, layout);
    ASSERT_EQ(drawText.WrappedLines().size(), 4);
    EXPECT_EQ(drawText.SplitAtBottom(), QStringLiteral("eeee\r\nffff\r\n"));
    EXPECT_EQ(drawText.FittedText(), QStringLiteral("aaaa bbbb cccc dddd "));
    EXPECT_TRUE(drawText.LastParaBreak());
    EXPECT_NEAR(double(drawText.SpareHeight()), layout.rect.Bottom + 1 - 2 * row, 1e-9);

    // Tags in force at the cut are restated at the start of the rest.
    layout.tags = true;
    layout.wordBreak = true;
    layout.rect.Bottom = int(1.5 * row);
    layout.text = {QStringLiteral("<b>aa <font color=Red>ПРИВЕТСТВУЮ</font></b>")};
    load(drawText, layout);
    EXPECT_EQ(drawText.WrappedLines().first(), QStringLiteral("aa ПРИВЕТ-"));
    EXPECT_EQ(drawText.SplitAtBottom(), QStringLiteral("<b><font color=\"#FF0000\">СТВУЮ</font></b>\r\n"));
    EXPECT_EQ(drawText.FittedText(), QStringLiteral("<b>aa <font color=Red>ПРИВЕТ-"));

    // Everything fits: nothing is left over.
    layout.tags = false;
    layout.rect.Bottom = 1000;
    layout.text = {QStringLiteral("one")};
    load(drawText, layout);
    EXPECT_EQ(drawText.SplitAtBottom(), QString());
    EXPECT_EQ(drawText.FittedText(), QStringLiteral("one\r\n"));
    EXPECT_FALSE(drawText.LastParaBreak());

    // No row fits.
    layout.rect.Bottom = 5;
    load(drawText, layout);
    EXPECT_EQ(drawText.SpareHeight(), 0);
    EXPECT_EQ(drawText.SplitAtBottom(), QStringLiteral("one\r\n"));
    EXPECT_EQ(drawText.FittedText(), QString());

    // Gaps wider than the object turn the rectangle inside out: still no row, and nothing read
    // before the first line.
    layout.rect.Top = 40;
    layout.rect.Bottom = 10;
    load(drawText, layout);
    EXPECT_EQ(drawText.SpareHeight(), 0);
    EXPECT_EQ(drawText.SplitAtBottom(), QStringLiteral("one\r\n"));
}

TEST(frxDrawText, rotationIsNormalised)
{
    TfrxDrawText drawText;
    drawText.ApplyOptions(true, false, 450, true, true, false, false);
    EXPECT_EQ(drawText.Rotation(), 90);
    drawText.ApplyOptions(true, false, -90, true, true, false, false);
    EXPECT_EQ(drawText.Rotation(), 270);
}

TEST(frxDrawText, horizontalAlignmentAndVerticalAlignment)
{
    Layout layout;
    layout.font = fontOf(QStringLiteral("Arial"), 20);
    layout.rect = TfrxRect{50, 50, 450, 450};
    layout.text = {QStringLiteral("HHHH")};
    const QRect left = inkBounds(render(layout, haLeft, vaTop));
    EXPECT_NEAR(left.left(), 52, 3);
    EXPECT_NEAR(left.top(), 50 + 5, 5);
    const QRect right = inkBounds(render(layout, haRight, vaTop));
    EXPECT_NEAR(right.right(), 449, 3);
    EXPECT_EQ(right.width(), left.width());
    const QRect center = inkBounds(render(layout, haCenter, vaCenter));
    EXPECT_NEAR(center.center().x(), 250, 3);
    EXPECT_NEAR(center.center().y(), 250, 4);
    const QRect bottom = inkBounds(render(layout, haLeft, vaBottom));
    EXPECT_NEAR(bottom.bottom(), 449 - 5, 5);
}

TEST(frxDrawText, rightAnglesStartAtTheirCornersAndStackLines)
{
    Layout layout;
    layout.font = fontOf(QStringLiteral("Arial"), 16);
    layout.rect = TfrxRect{100, 100, 400, 400};
    layout.text = {QStringLiteral("HHHHHH"), QStringLiteral("HHH")};

    // 90: upward from the bottom left, the second line to the right of the first.
    layout.rotation = 90;
    QImage image = render(layout, haLeft, vaTop);
    QRect ink = inkBounds(image);
    EXPECT_NEAR(ink.left(), 100 + 3, 4);
    EXPECT_NEAR(ink.bottom(), 399, 4);
    const QRect firstUp = inkBounds(image, QRect(100, 100, 23, 300));
    const QRect secondUp = inkBounds(image, QRect(123, 100, 30, 300));
    EXPECT_NEAR(firstUp.height(), 2 * secondUp.height(), 10);
    EXPECT_NEAR(firstUp.bottom(), secondUp.bottom(), 2);

    // 180: upside down from the bottom right, the second line above.
    layout.rotation = 180;
    image = render(layout, haLeft, vaTop);
    ink = inkBounds(image);
    EXPECT_NEAR(ink.right(), 399 - 2, 4);
    EXPECT_NEAR(ink.bottom(), 399 - 4, 5);
    const QRect lowerLine = inkBounds(image, QRect(100, 378, 300, 22));
    const QRect upperLine = inkBounds(image, QRect(100, 350, 300, 28));
    EXPECT_GT(lowerLine.width(), upperLine.width() * 3 / 2);
    EXPECT_NEAR(upperLine.right(), lowerLine.right(), 2);

    // 270: downward from the top right, the second line to the left.
    layout.rotation = 270;
    image = render(layout, haLeft, vaTop);
    ink = inkBounds(image);
    EXPECT_NEAR(ink.right(), 399 - 3, 4);
    EXPECT_NEAR(ink.top(), 100 + 2, 4);
    const QRect firstDown = inkBounds(image, QRect(378, 100, 22, 300));
    const QRect secondDown = inkBounds(image, QRect(350, 100, 28, 300));
    EXPECT_NEAR(firstDown.height(), 2 * secondDown.height(), 10);
    EXPECT_NEAR(firstDown.top(), secondDown.top(), 2);

    // 270 with vaBottom: the block is pushed to the left edge.
    image = render(layout, haLeft, vaBottom);
    ink = inkBounds(image);
    EXPECT_NEAR(ink.left(), 100 + 3, 5);
}

TEST(frxDrawText, oddAnglesStayInsideTheRectangle)
{
    Layout layout;
    layout.font = fontOf(QStringLiteral("Arial"), 16);
    layout.rect = TfrxRect{100, 100, 400, 400};
    layout.rotation = 30;
    layout.wordWrap = false;
    layout.text = {QStringLiteral("HHHHHHHH")};
    const QImage image = render(layout, haLeft, vaTop);
    const QRect ink = inkBounds(image);
    EXPECT_GE(ink.left(), 100);
    EXPECT_LE(ink.right(), 400);
    EXPECT_GE(ink.top(), 100);
    // The line rises to the right: its right end is higher than its left end.
    const QRect leftEnd = inkBounds(image, QRect(ink.left(), ink.top(), 30, ink.height()));
    const QRect rightEnd = inkBounds(image, QRect(ink.right() - 30, ink.top(), 31, ink.height()));
    EXPECT_GT(leftEnd.center().y(), rightEnd.center().y() + 40);

    layout.rotation = 300;
    const QRect down = inkBounds(render(layout, haLeft, vaTop));
    EXPECT_GE(down.left(), 100);
    EXPECT_GE(down.top(), 100);
    EXPECT_LE(down.bottom(), 400);
}

TEST(frxDrawText, verticalCardTextStandsUprightInColumnsFromTheRight)
{
    Layout layout;
    layout.font = fontOf(QStringLiteral("@楷体"), 24);
    layout.rect = TfrxRect{40, 20, 240, 420};
    layout.rotation = 270;
    layout.text = {QStringLiteral("王小明"), QStringLiteral("先生台启")};

    const QImage top = render(layout, haLeft, vaTop, QSize(280, 440));
    top.save(QStringLiteral("/tmp/tovaro_vertical_card.png"));
    const QRect ink = inkBounds(top);
    EXPECT_NEAR(ink.right(), 239, 6);
    EXPECT_NEAR(ink.top(), 22, 6);
    // Two columns: the first (three characters) at the right, the second (four) to its left.
    const int columnWidth = 32;
    const QRect first = inkBounds(top, QRect(240 - columnWidth, 0, columnWidth, 440));
    const QRect second = inkBounds(top, QRect(240 - 2 * columnWidth - 2, 0, columnWidth, 440));
    EXPECT_NEAR(first.height(), 3 * 32, 12);
    EXPECT_NEAR(second.height(), 4 * 32, 12);

    // Each character stands upright: its shape matches the character drawn level.
    Layout level = layout;
    level.font = fontOf(QStringLiteral("楷体"), 24);
    level.rotation = 0;
    level.text = {QStringLiteral("王")};
    const QImage reference = render(level, haLeft, vaTop, QSize(280, 440));
    const QImage upright = inkShape(top, QRect(240 - columnWidth, 20, columnWidth, 34));
    EXPECT_LT(difference(upright, inkShape(reference, QRect(40, 20, 40, 40))), 25);

    // vaCenter centres the columns across the rectangle, vaBottom pushes them to its left edge.
    const QRect centred = inkBounds(render(layout, haLeft, vaCenter, QSize(280, 440)));
    EXPECT_NEAR(centred.center().x(), 140, 4);
    EXPECT_NEAR(centred.top(), ink.top(), 1);
    const QRect bottom = inkBounds(render(layout, haLeft, vaBottom, QSize(280, 440)));
    EXPECT_NEAR(bottom.left(), 41, 5);
    // haCenter centres each column along its length.
    const QRect along = inkBounds(render(layout, haCenter, vaTop, QSize(280, 440)));
    EXPECT_NEAR(along.center().y(), 220, 5);
}

TEST(frxDrawText, wysiwygSpreadsAdvancesToTheLayoutWidth)
{
    // At twice the scale the line takes exactly twice its layout width, in whole pixels.
    Layout layout;
    layout.font = fontOf(QStringLiteral("Tahoma"), 9);
    layout.rect = TfrxRect{10, 10, 240, 100};
    layout.scale = 2;
    layout.wordWrap = false;
    layout.text = {QStringLiteral("Wysiwyg keeps the line width")};
    TfrxDrawText drawText;
    load(drawText, layout);
    const double width = double(drawText.BlockWidth());
    const QRect ink = inkBounds(render(layout, haLeft, vaTop));
    EXPECT_NEAR(ink.width(), width * 2, 4);

    // Justified lines fill the line; the paragraph's last line stays at the left; without Wysiwyg
    // justification has no effect.
    layout.scale = 1;
    layout.wordWrap = true;
    layout.font = mono();
    layout.rect = TfrxRect{0, 0, rectForCharacters(16).Right, 200};
    layout.text = {QStringLiteral("aaaaa bbbbb cccccc ddd")};
    QImage image = render(layout, haBlock, vaTop);
    const QRect firstLine = inkBounds(image, QRect(0, 0, 300, 14));
    const QRect lastLine = inkBounds(image, QRect(0, 14, 300, 14));
    EXPECT_NEAR(firstLine.right(), layout.rect.Right - 1, 3);
    EXPECT_LT(lastLine.right(), firstLine.right() - 30);
    layout.wysiwyg = false;
    image = render(layout, haBlock, vaTop);
    EXPECT_LT(inkBounds(image, QRect(0, 0, 300, 14)).right(), firstLine.right() - 30);
    layout.wysiwyg = true;
    layout.rtl = true;
    image = render(layout, haBlock, vaTop);
    EXPECT_NEAR(inkBounds(image, QRect(0, 14, 300, 14)).right(), layout.rect.Right - 1, 3);
}

TEST(frxDrawText, paragraphGapIndentsFirstLinesOfLeftText)
{
    Layout layout;
    layout.rect = TfrxRect{20, 0, 400, 200};
    layout.paragraphGap = 40;
    layout.text = {QStringLiteral("H")};
    EXPECT_NEAR(inkBounds(render(layout, haLeft, vaTop)).left(), 20 + 40 + 1, 2);
    EXPECT_NEAR(inkBounds(render(layout, haBlock, vaTop)).left(), 20 + 40 + 1, 2);
    const QRect right = inkBounds(render(layout, haRight, vaTop));
    EXPECT_NEAR(right.right(), 399, 2);
}

TEST(frxDrawText, subscriptsAreSmallerAndLowered)
{
    Layout layout;
    layout.font = fontOf(QStringLiteral("Arial"), 30);
    layout.rect = TfrxRect{0, 0, 400, 200};
    layout.tags = true;
    layout.text = {QStringLiteral("H<sub>H</sub><sup>H</sup>")};
    const QImage image = render(layout, haLeft, vaTop);
    const QRect all = inkBounds(image);
    const int firstWidth =
        inkBounds(render(Layout{{QStringLiteral("H")}, layout.font}, haLeft, vaTop)).width();
    const QRect normal = inkBounds(image, QRect(0, 0, all.left() + firstWidth + 2, 200));
    const QRect rest = inkBounds(image, QRect(all.left() + firstWidth + 3, 0, 300, 200));
    ASSERT_FALSE(rest.isEmpty());
    const QRect sub = inkBounds(image, QRect(rest.left(), 0, rest.width() / 2, 200));
    const QRect sup = inkBounds(image, QRect(rest.left() + rest.width() / 2 + 1, 0, rest.width() / 2, 200));
    EXPECT_NEAR(sub.height(), normal.height() * 2 / 3, 3);
    EXPECT_NEAR(sup.height(), normal.height() * 2 / 3, 3);
    EXPECT_LT(sup.bottom(), normal.bottom() - 5);
    EXPECT_NEAR(sub.bottom(), sup.bottom() + 20, 2); // lowered by its size
}

TEST(frxDrawText, renderOnTheRecordingCanvasKeepsLinesInOrder)
{
    TfrxDrawText drawText;
    Layout layout;
    layout.font = fontOf(QStringLiteral("宋体"), 12);
    layout.rect = TfrxRect{10, 10, 300, 300};
    layout.text = {QStringLiteral("第一行"), QStringLiteral("第二行")};
    std::lock_guard guard(TfrxDrawText::Lock());
    load(drawText, layout);
    platform::RecordingCanvas canvas;
    drawText.Render(canvas, haLeft, vaTop);
    ASSERT_EQ(canvas.textRecords().size(), 2u);
    EXPECT_EQ(canvas.textRecords()[0].text, QStringLiteral("第一行"));
    EXPECT_EQ(canvas.textRecords()[0].position, QPoint(10, 10));
    EXPECT_EQ(canvas.textRecords()[1].text, QStringLiteral("第二行"));
    EXPECT_EQ(canvas.textRecords()[1].position, QPoint(10, 10 + 16));
}

TEST(frxDrawText, linesOfAFontCharsetAreDrawnAsItsCodePageHasThem)
{
    const auto recorded = [](int charset, bool useDefault, const QString &text) {
        TfrxDrawText drawText;
        Layout layout;
        layout.font = fontOf(QStringLiteral("宋体"), 12);
        layout.font.charset = charset;
        layout.rect = TfrxRect{10, 10, 400, 100};
        layout.tags = true;
        layout.text = {text};
        std::lock_guard guard(TfrxDrawText::Lock());
        drawText.SetUseDefaulCharset(useDefault);
        load(drawText, layout);
        platform::RecordingCanvas canvas;
        drawText.Render(canvas, haLeft, vaTop);
        QStringList runs;
        for (const platform::TextRecord &record : canvas.textRecords())
            runs << (record.wide ? QString() : QStringLiteral("~")) + record.text;
        return runs;
    };
    // Each "?" keeps the attributes of the character it stands for; an emoji is one "?".
    const QString text = QStringLiteral("王<b>小Я</b>\U0001F389<i>a</i>");
    EXPECT_EQ(recorded(204, false, text), (QStringList{QStringLiteral("~?"), QStringLiteral("~?Я"),
                                                       QStringLiteral("~?"), QStringLiteral("~a")}));
    EXPECT_EQ(recorded(134, false, text), (QStringList{QStringLiteral("~王"), QStringLiteral("~小Я"),
                                                       QStringLiteral("~?"), QStringLiteral("~a")}));
    EXPECT_EQ(recorded(204, true, text), (QStringList{QStringLiteral("王"), QStringLiteral("小Я"),
                                                      QStringLiteral("\U0001F389"), QStringLiteral("a")}));
    EXPECT_EQ(recorded(1, false, text).first(), QStringLiteral("王"));
    EXPECT_EQ(recorded(2, false, text).first(), QStringLiteral("王"));
}
