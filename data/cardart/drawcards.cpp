// Draws the card program's blank card pictures (the wedding's and the farewell party's, each with
// vertical and with horizontal text) and writes the layout profiles that place the seventeen text
// items on them. Run once by hand, its output is committed under data/:
//   tovaro_drawcards OUTDIR   (writes OUTDIR/qingjian1.jpg … qingjian4.jpg and OUTDIR/temp.ini)
//
// Each card is drawn in the pixels the card canvas shows it at for its first template, so that the
// fixed words of the picture and the blanks for the text items line up on screen; the profile's
// millimetres are those pixels divided by the canvas scale (992 pixels for 350 mm across, 680 for
// 240 mm down).
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const QColor red(0xB0, 0x16, 0x1C);
const QColor deepRed(0x8A, 0x0E, 0x14);
const QColor gold(0xD4, 0xA2, 0x3A);
const QColor paleGold(0xEF, 0xD9, 0x9A);
const QColor paper(0xFC, 0xF5, 0xE6);
const QString kai = QStringLiteral("AR PL UKai CN");

struct Item {
    int xPx;
    int yPx;
    int points;
    const char *style;
};

QFont kaiFont(int pixelSize)
{
    QFont font(kai);
    font.setPixelSize(pixelSize);
    return font;
}

// Fixed words of the card: one character under the other (vertical) or a line (horizontal).
void words(QPainter &p, const QString &text, QPointF at, int em, bool vertical, QColor colour = red)
{
    p.setFont(kaiFont(em));
    p.setPen(colour);
    if (!vertical) {
        p.drawText(QRectF(at.x(), at.y(), em * text.size() * 1.1, em * 1.4), Qt::AlignLeft | Qt::AlignTop,
                   text);
        return;
    }
    for (int i = 0; i < text.size(); ++i)
        p.drawText(QRectF(at.x(), at.y() + i * em * 1.25, em * 1.2, em * 1.3), Qt::AlignLeft | Qt::AlignTop,
                   text.mid(i, 1));
}

// A faint guide where a text item goes.
void blank(QPainter &p, QRectF area)
{
    p.setPen(QPen(QColor(gold.red(), gold.green(), gold.blue(), 110), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    if (area.width() < area.height())
        p.drawLine(QPointF(area.left() - 3, area.top()), QPointF(area.left() - 3, area.bottom()));
    else
        p.drawLine(QPointF(area.left(), area.bottom() + 2), QPointF(area.right(), area.bottom() + 2));
}

void cloudCorner(QPainter &p, QPointF corner, double sx, double sy)
{
    p.save();
    p.translate(corner);
    p.scale(sx, sy);
    p.setPen(QPen(gold, 2));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(0, 46);
    path.cubicTo(0, 16, 16, 0, 46, 0);
    path.moveTo(10, 46);
    path.cubicTo(10, 22, 22, 10, 46, 10);
    p.drawPath(path);
    p.drawEllipse(QPointF(22, 22), 6, 6);
    p.restore();
}

void frame(QPainter &p, QRectF card)
{
    p.fillRect(card, red);
    const QRectF inner = card.adjusted(22, 22, -22, -22);
    p.fillRect(inner, paper);
    p.setPen(QPen(gold, 3));
    p.drawRect(card.adjusted(9, 9, -9, -9));
    p.setPen(QPen(paleGold, 1));
    p.drawRect(card.adjusted(15, 15, -15, -15));
    p.setPen(QPen(gold, 1.5));
    p.drawRect(inner.adjusted(6, 6, -6, -6));
    const QRectF c = inner.adjusted(12, 12, -12, -12);
    cloudCorner(p, c.topLeft(), 1, 1);
    cloudCorner(p, c.topRight(), -1, 1);
    cloudCorner(p, c.bottomLeft(), 1, -1);
    cloudCorner(p, c.bottomRight(), -1, -1);
}

void doubleHappiness(QPainter &p, QPointF centre, double radius)
{
    p.setPen(QPen(gold, 3));
    p.setBrush(red);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(paleGold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius - 6, radius - 6);
    p.setFont(kaiFont(static_cast<int>(radius * 1.15)));
    p.setPen(gold);
    p.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), Qt::AlignCenter,
               QStringLiteral("囍"));
}

bool saveJpeg(const QImage &image, const QString &path)
{
    return image.save(path, "JPG", 92);
}

// The vertical card: columns from right to left, one character under the other.
QImage verticalCard(std::vector<Item> &items)
{
    const QSizeF canvas(498, 680); // 176 × 240 mm on the card canvas
    QImage image(595, 807, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(image.width() / canvas.width(), image.height() / canvas.height());
    frame(p, QRectF(QPointF(0, 0), canvas));
    doubleHappiness(p, QPointF(249, 92), 46);

    const int em = 17;
    const auto column = [&](int x, const QString &text, int y) { words(p, text, QPointF(x, y), em, true); };
    // Right-most column: the guest.
    column(404, QStringLiteral("恭请"), 160);
    blank(p, QRectF(404, 208, 24, 230));
    column(404, QStringLiteral("台启"), 448);
    // The date.
    column(364, QStringLiteral("谨定于"), 160);
    blank(p, QRectF(364, 226, 20, 90));
    column(364, QStringLiteral("年"), 322);
    column(326, QStringLiteral("公历"), 160);
    column(326, QStringLiteral("月"), 252);
    column(326, QStringLiteral("日"), 326);
    blank(p, QRectF(326, 204, 20, 44));
    blank(p, QRectF(326, 276, 20, 44));
    column(288, QStringLiteral("农历"), 160);
    column(288, QStringLiteral("月"), 252);
    column(288, QStringLiteral("日"), 326);
    blank(p, QRectF(288, 204, 20, 44));
    blank(p, QRectF(288, 276, 20, 44));
    column(250, QStringLiteral("星期"), 160);
    blank(p, QRectF(250, 204, 20, 230));
    // The couple and the feast.
    column(212, QStringLiteral("为"), 160);
    blank(p, QRectF(212, 184, 20, 130));
    column(174, QStringLiteral("与"), 160);
    blank(p, QRectF(174, 184, 20, 100));
    column(174, QStringLiteral("敬备喜筵"), 300);
    column(136, QStringLiteral("席设"), 160);
    blank(p, QRectF(136, 204, 20, 250));
    // The hosts.
    column(89, QStringLiteral("敬邀"), 612);
    p.setPen(QPen(gold, 1));
    p.drawLine(QPointF(60, 400), QPointF(120, 400));

    // Items 0 to 16: x, y in canvas pixels, size in points, style.
    items = {{404, 210, 16, "[]"}, {364, 228, 12, "[]"},       {288, 206, 12, "[]"},
             {326, 206, 12, "[]"}, {288, 278, 12, "[]"},       {326, 278, 12, "[]"},
             {250, 206, 12, "[]"}, {212, 186, 13, "[fsBold]"}, {174, 186, 13, "[fsBold]"},
             {136, 206, 12, "[]"}, {250, 232, 12, "[]"},       {108, 420, 12, "[]"},
             {70, 420, 12, "[]"},  {89, 500, 12, "[]"},        {108, 520, 12, "[]"},
             {70, 520, 12, "[]"},  {212, 260, 12, "[]"}};
    return image;
}

// The horizontal card: a red panel with the ornament on the left, lines of text on the right.
QImage horizontalCard(std::vector<Item> &items)
{
    QImage image(807, 595, QImage::Format_RGB32); // 285 × 210 mm on the card canvas
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF card(0, 0, 807, 595);
    frame(p, card);
    const QRectF panel(28, 28, 220, 539);
    p.fillRect(panel, red);
    p.setPen(QPen(gold, 1.5));
    p.drawRect(panel.adjusted(8, 8, -8, -8));
    doubleHappiness(p, QPointF(panel.center().x(), 200), 70);
    words(p, QStringLiteral("请柬"), QPointF(panel.center().x() - 22, 320), 44, true, paleGold);

    const int em = 18;
    const auto line = [&](int x, int y, const QString &text) { words(p, text, QPointF(x, y), em, false); };
    line(590, 96, QStringLiteral("台启"));
    blank(p, QRectF(300, 90, 280, 24));
    line(300, 160, QStringLiteral("谨定于"));
    line(434, 160, QStringLiteral("年 公历"));
    line(548, 160, QStringLiteral("月"));
    line(610, 160, QStringLiteral("日"));
    blank(p, QRectF(360, 158, 70, 20));
    blank(p, QRectF(508, 158, 38, 20));
    blank(p, QRectF(570, 158, 38, 20));
    line(300, 214, QStringLiteral("农历"));
    line(380, 214, QStringLiteral("月"));
    line(442, 214, QStringLiteral("日"));
    line(476, 214, QStringLiteral("星期"));
    blank(p, QRectF(340, 212, 38, 20));
    blank(p, QRectF(402, 212, 38, 20));
    blank(p, QRectF(518, 212, 200, 20));
    line(300, 268, QStringLiteral("为"));
    line(408, 268, QStringLiteral("与"));
    blank(p, QRectF(324, 266, 80, 20));
    blank(p, QRectF(432, 266, 80, 20));
    blank(p, QRectF(520, 266, 70, 20));
    line(600, 268, QStringLiteral("敬备喜筵"));
    line(300, 322, QStringLiteral("席设"));
    blank(p, QRectF(344, 320, 340, 20));
    line(300, 376, QStringLiteral("恭候光临"));
    line(690, 490, QStringLiteral("敬邀"));

    items = {{304, 88, 16, "[]"},  {362, 160, 12, "[]"},       {342, 214, 12, "[]"},
             {510, 160, 12, "[]"}, {404, 214, 12, "[]"},       {572, 160, 12, "[]"},
             {520, 214, 12, "[]"}, {326, 268, 13, "[fsBold]"}, {434, 268, 13, "[fsBold]"},
             {346, 322, 12, "[]"}, {546, 214, 12, "[]"},       {470, 440, 12, "[]"},
             {560, 440, 12, "[]"}, {650, 440, 12, "[]"},       {470, 490, 12, "[]"},
             {560, 490, 12, "[]"}, {522, 268, 12, "[]"}};
    return image;
}

// The farewell party's ornament: a gold-edged banner with its words instead of the wedding's 囍.
void banner(QPainter &p, QRectF area, const QString &text, bool vertical)
{
    p.setPen(QPen(gold, 3));
    p.setBrush(red);
    p.drawRoundedRect(area, 10, 10);
    p.setPen(QPen(paleGold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(area.adjusted(6, 6, -6, -6), 6, 6);
    const int em = static_cast<int>((vertical ? area.width() : area.height()) * 0.55);
    p.setFont(kaiFont(em));
    p.setPen(gold);
    if (!vertical) {
        p.drawText(area, Qt::AlignCenter, text);
        return;
    }
    const double step = (area.height() - 24) / text.size();
    for (int i = 0; i < text.size(); ++i)
        p.drawText(QRectF(area.left(), area.top() + 12 + i * step, area.width(), step), Qt::AlignCenter,
                   text.mid(i, 1));
}

// The farewell party's vertical card: the wedding card's columns without the couple.
QImage verticalFarewellCard(std::vector<Item> &items)
{
    const QSizeF canvas(498, 680); // 176 × 240 mm on the card canvas
    QImage image(595, 807, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(image.width() / canvas.width(), image.height() / canvas.height());
    frame(p, QRectF(QPointF(0, 0), canvas));
    banner(p, QRectF(139, 62, 220, 64), QStringLiteral("前程似锦"), false);

    const int em = 17;
    const auto column = [&](int x, const QString &text, int y) { words(p, text, QPointF(x, y), em, true); };
    column(404, QStringLiteral("恭请"), 160);
    blank(p, QRectF(404, 208, 24, 230));
    column(404, QStringLiteral("台启"), 448);
    column(364, QStringLiteral("谨定于"), 160);
    blank(p, QRectF(364, 226, 20, 90));
    column(364, QStringLiteral("年"), 322);
    column(326, QStringLiteral("公历"), 160);
    column(326, QStringLiteral("月"), 252);
    column(326, QStringLiteral("日"), 326);
    blank(p, QRectF(326, 204, 20, 44));
    blank(p, QRectF(326, 276, 20, 44));
    column(288, QStringLiteral("农历"), 160);
    column(288, QStringLiteral("月"), 252);
    column(288, QStringLiteral("日"), 326);
    blank(p, QRectF(288, 204, 20, 44));
    blank(p, QRectF(288, 276, 20, 44));
    column(250, QStringLiteral("星期"), 160);
    blank(p, QRectF(250, 204, 20, 230));
    // The student and the party.
    column(212, QStringLiteral("为"), 160);
    blank(p, QRectF(212, 184, 20, 110));
    blank(p, QRectF(212, 300, 20, 90));
    column(174, QStringLiteral("敬备薄宴"), 300);
    column(136, QStringLiteral("席设"), 160);
    blank(p, QRectF(136, 204, 20, 250));
    column(89, QStringLiteral("敬邀"), 612);
    p.setPen(QPen(gold, 1));
    p.drawLine(QPointF(60, 400), QPointF(120, 400));

    // Item 8 (a second name) has no blank of its own: it stands after the student's when filled in.
    items = {{404, 210, 16, "[]"}, {364, 228, 12, "[]"},       {288, 206, 12, "[]"},
             {326, 206, 12, "[]"}, {288, 278, 12, "[]"},       {326, 278, 12, "[]"},
             {250, 206, 12, "[]"}, {212, 186, 13, "[fsBold]"}, {174, 186, 13, "[fsBold]"},
             {136, 206, 12, "[]"}, {250, 232, 12, "[]"},       {108, 420, 12, "[]"},
             {70, 420, 12, "[]"},  {89, 500, 12, "[]"},        {108, 520, 12, "[]"},
             {70, 520, 12, "[]"},  {212, 302, 12, "[]"}};
    return image;
}

// The farewell party's horizontal card: the banner on the left panel, the lines on the right.
QImage horizontalFarewellCard(std::vector<Item> &items)
{
    QImage image(807, 595, QImage::Format_RGB32); // 285 × 210 mm on the card canvas
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF card(0, 0, 807, 595);
    frame(p, card);
    const QRectF panel(28, 28, 220, 539);
    p.fillRect(panel, red);
    p.setPen(QPen(gold, 1.5));
    p.drawRect(panel.adjusted(8, 8, -8, -8));
    banner(p, QRectF(panel.center().x() - 45, 80, 90, 400), QStringLiteral("前程似锦"), true);

    const int em = 18;
    const auto line = [&](int x, int y, const QString &text) { words(p, text, QPointF(x, y), em, false); };
    line(590, 96, QStringLiteral("台启"));
    blank(p, QRectF(300, 90, 280, 24));
    line(300, 160, QStringLiteral("谨定于"));
    line(434, 160, QStringLiteral("年 公历"));
    line(548, 160, QStringLiteral("月"));
    line(610, 160, QStringLiteral("日"));
    blank(p, QRectF(360, 158, 70, 20));
    blank(p, QRectF(508, 158, 38, 20));
    blank(p, QRectF(570, 158, 38, 20));
    line(300, 214, QStringLiteral("农历"));
    line(380, 214, QStringLiteral("月"));
    line(442, 214, QStringLiteral("日"));
    line(476, 214, QStringLiteral("星期"));
    blank(p, QRectF(340, 212, 38, 20));
    blank(p, QRectF(402, 212, 38, 20));
    blank(p, QRectF(518, 212, 200, 20));
    line(300, 268, QStringLiteral("为"));
    blank(p, QRectF(324, 266, 100, 20));
    blank(p, QRectF(434, 266, 80, 20));
    line(600, 268, QStringLiteral("敬备薄宴"));
    line(300, 322, QStringLiteral("席设"));
    blank(p, QRectF(344, 320, 340, 20));
    line(300, 376, QStringLiteral("恭候光临"));
    line(690, 490, QStringLiteral("敬邀"));

    items = {{304, 88, 16, "[]"},  {362, 160, 12, "[]"},       {342, 214, 12, "[]"},
             {510, 160, 12, "[]"}, {404, 214, 12, "[]"},       {572, 160, 12, "[]"},
             {520, 214, 12, "[]"}, {326, 268, 13, "[fsBold]"}, {522, 268, 13, "[fsBold]"},
             {346, 322, 12, "[]"}, {546, 214, 12, "[]"},       {470, 440, 12, "[]"},
             {560, 440, 12, "[]"}, {650, 440, 12, "[]"},       {470, 490, 12, "[]"},
             {560, 490, 12, "[]"}, {436, 268, 12, "[]"}};
    return image;
}

// One profile section: the card size and the items, converted from canvas pixels to millimetres of
// a card of the given size (the picture stretches with the card).
void writeSection(QTextStream &out, const QString &name, int widthMm, int heightMm, QSizeF canvasPx,
                  const std::vector<Item> &items)
{
    out << "[" << name << "]\n";
    out << "PaperWidth=" << widthMm << "\n";
    out << "PaperHeight=" << heightMm << "\n";
    for (size_t n = 0; n < items.size(); ++n) {
        const Item &item = items[n];
        const int left = static_cast<int>(std::lround(item.xPx * widthMm / canvasPx.width()));
        const int top = static_cast<int>(std::lround(item.yPx * heightMm / canvasPx.height()));
        out << "Left" << n << "=" << left << "\n";
        out << "Top" << n << "=" << top << "\n";
        out << "Fontname" << n << "=楷体\n";
        out << "Fontsize" << n << "=" << item.points << "\n";
        out << "Fontstyle" << n << "=" << item.style << "\n";
    }
    out << "\n";
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tovaro_drawcards OUTDIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    std::vector<Item> vertical;
    std::vector<Item> horizontal;
    std::vector<Item> farewellVertical;
    std::vector<Item> farewellHorizontal;
    if (!saveJpeg(verticalCard(vertical), dir + QStringLiteral("/qingjian1.jpg")) ||
        !saveJpeg(horizontalCard(horizontal), dir + QStringLiteral("/qingjian2.jpg")) ||
        !saveJpeg(verticalFarewellCard(farewellVertical), dir + QStringLiteral("/qingjian3.jpg")) ||
        !saveJpeg(horizontalFarewellCard(farewellHorizontal), dir + QStringLiteral("/qingjian4.jpg"))) {
        std::fprintf(stderr, "tovaro_drawcards: cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    QFile ini(dir + QStringLiteral("/temp.ini"));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "tovaro_drawcards: cannot write %s/temp.ini\n", argv[1]);
        return 1;
    }
    QTextStream out(&ini);
    out << "; Layout profiles of the card templates: card size in mm, then for each text item 0..16\n"
           "; its position in mm from the card's top-left corner and its font.\n"
           "; Written by data/cardart/drawcards.cpp together with the pictures.\n\n";
    writeSection(out, QStringLiteral("A4竖排模板"), 176, 240, QSizeF(498, 680), vertical);
    writeSection(out, QStringLiteral("A3竖排模板"), 190, 240, QSizeF(498, 680), vertical);
    writeSection(out, QStringLiteral("A4横排模板"), 285, 210, QSizeF(807, 595), horizontal);
    writeSection(out, QStringLiteral("送行横排模板"), 285, 210, QSizeF(807, 595), farewellHorizontal);
    writeSection(out, QStringLiteral("送行竖排模板"), 176, 240, QSizeF(498, 680), farewellVertical);
    return 0;
}
