// Draws the preview window's toolbar image strip: 25 icons of 16 x 16 pixels in one row of 400 x 16,
// 24 bits per pixel, magenta (255, 0, 255) where an icon is transparent, written as a gzip-compressed
// BMP. Run once by hand, its output is committed:
//   tovaro_drawpreviewbuttons report/ui/frxPreviewButtons.bmp.gz
//
// Index meanings: 0 open, 1 save, 2 print, 3 export, 4 find, 5 thumbnails, 7 page settings, 8 first,
// 9 prior, 10 next, 11 last, 12 outline, 13 collapse, 14 expand, 15 zoom in, 16 zoom out, 20 new
// page, 21 edit page, 22 full screen, 23 e-mail, 24 PDF; 6 and 17 to 19 are plain sheets.
#include "platform/gzip.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

const QColor outline(0x3c, 0x4a, 0x5c);
const QColor sheet(0xff, 0xff, 0xff);
const QColor sheetEdge(0x6a, 0x78, 0x8a);
const QColor textLine(0xa8, 0xb4, 0xc4);
const QColor blue(0x2f, 0x6f, 0xc8);
const QColor lightBlue(0x9c, 0xc3, 0xf0);
const QColor green(0x2e, 0x9a, 0x4a);
const QColor red(0xc8, 0x30, 0x30);
const QColor yellow(0xf2, 0xc2, 0x4a);
const QColor darkYellow(0xb8, 0x86, 0x1c);
const QColor grey(0x9a, 0xa2, 0xac);
const QColor darkGrey(0x5a, 0x62, 0x6c);

using Draw = std::function<void(QPainter &)>;

void page(QPainter &p, int left = 3, int top = 1, int right = 12, int bottom = 14, bool lines = true)
{
    // A sheet with a folded top right corner.
    QPainterPath path;
    path.moveTo(left + 0.5, top + 0.5);
    path.lineTo(right - 3 + 0.5, top + 0.5);
    path.lineTo(right + 0.5, top + 3 + 0.5);
    path.lineTo(right + 0.5, bottom + 0.5);
    path.lineTo(left + 0.5, bottom + 0.5);
    path.closeSubpath();
    p.setPen(QPen(sheetEdge, 1));
    p.setBrush(sheet);
    p.drawPath(path);
    p.drawLine(QPointF(right - 3 + 0.5, top + 0.5), QPointF(right - 3 + 0.5, top + 3 + 0.5));
    p.drawLine(QPointF(right - 3 + 0.5, top + 3 + 0.5), QPointF(right + 0.5, top + 3 + 0.5));
    if (!lines) return;
    p.setPen(textLine);
    for (int y = top + 5; y <= bottom - 2; y += 2)
        p.drawLine(left + 2, y, right - 2, y);
}

void arrowHead(QPainter &p, QPointF tip, qreal dx, qreal dy, const QColor &colour, qreal size = 3.5)
{
    // A solid triangle pointing along (dx, dy), one of them 0 and the other +1 or -1.
    QPolygonF head;
    head << tip << QPointF(tip.x() - dx * size - dy * size, tip.y() - dy * size - dx * size)
         << QPointF(tip.x() - dx * size + dy * size, tip.y() - dy * size + dx * size);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void magnifier(QPainter &p, const QColor &lens = lightBlue)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(darkGrey, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(14, 14));
    p.setPen(QPen(outline, 1.6));
    p.setBrush(lens);
    p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void navigation(QPainter &p, bool forward, bool toEnd)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal dir = forward ? 1 : -1;
    const qreal tipX = forward ? (toEnd ? 11.5 : 12.5) : (toEnd ? 4.5 : 3.5);
    QPolygonF head;
    head << QPointF(tipX, 8) << QPointF(tipX - dir * 7, 2) << QPointF(tipX - dir * 7, 14);
    p.setPen(QPen(QColor(0x1f, 0x55, 0xa0), 1));
    p.setBrush(blue);
    p.drawPolygon(head);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (toEnd) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x55, 0xa0));
        p.drawRect(forward ? QRect(12, 2, 2, 13) : QRect(2, 2, 2, 13));
    }
}

void boxSign(QPainter &p, bool plus)
{
    p.setPen(outline);
    p.setBrush(sheet);
    p.drawRect(2, 2, 11, 11);
    p.setPen(QPen(blue, 2));
    p.drawLine(5, 8, 11, 8);
    if (plus) p.drawLine(8, 5, 8, 11);
}

const std::vector<Draw> &icons()
{
    static const std::vector<Draw> list = {
        // 0 open: an open yellow folder.
        [](QPainter &p) {
            p.setPen(darkYellow);
            p.setBrush(yellow.darker(115));
            p.drawRect(1, 3, 12, 10);
            p.drawRect(1, 2, 5, 1);
            QPolygonF front;
            front << QPointF(3.5, 6.5) << QPointF(15.5, 6.5) << QPointF(13.5, 13.5) << QPointF(1.5, 13.5);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setBrush(yellow);
            p.drawPolygon(front);
        },
        // 1 save: a blue floppy disk.
        [](QPainter &p) {
            p.setPen(QColor(0x1f, 0x45, 0x80));
            p.setBrush(blue);
            p.drawRect(1, 1, 14, 14);
            p.setPen(Qt::NoPen);
            p.setBrush(sheet);
            p.drawRect(4, 2, 8, 5);
            p.setBrush(QColor(0xd8, 0xdc, 0xe2));
            p.drawRect(4, 10, 8, 5);
            p.setBrush(darkGrey);
            p.drawRect(9, 11, 2, 3);
        },
        // 2 print: a printer with a sheet coming out.
        [](QPainter &p) {
            page(p, 4, 0, 11, 6, false);
            p.setPen(darkGrey);
            p.setBrush(grey);
            p.drawRect(1, 6, 14, 6);
            p.setBrush(QColor(0xd0, 0xd6, 0xdc));
            p.drawRect(3, 10, 10, 5);
            p.setPen(green);
            p.drawPoint(12, 8);
            p.setPen(textLine);
            p.drawLine(5, 12, 11, 12);
        },
        // 3 export: a sheet with a green arrow leaving it.
        [](QPainter &p) {
            page(p, 1, 1, 10, 14);
            p.setPen(QPen(green, 2));
            p.drawLine(7, 9, 12, 9);
            p.setRenderHint(QPainter::Antialiasing, true);
            arrowHead(p, QPointF(16, 9), 1, 0, green, 4);
        },
        // 4 find: a magnifier.
        [](QPainter &p) { magnifier(p); },
        // 5 thumbnails: four small sheets.
        [](QPainter &p) {
            for (int y : {1, 9})
                for (int x : {1, 9}) {
                    p.setPen(sheetEdge);
                    p.setBrush(sheet);
                    p.drawRect(x, y, 5, 5);
                    p.setPen(textLine);
                    p.drawLine(x + 1, y + 2, x + 4, y + 2);
                }
        },
        // 6: a plain sheet.
        [](QPainter &p) { page(p); },
        // 7 page settings: a sheet with a set square.
        [](QPainter &p) {
            page(p, 1, 1, 10, 14);
            QPolygon square;
            square << QPoint(7, 15) << QPoint(15, 15) << QPoint(15, 7);
            p.setPen(QColor(0x1f, 0x55, 0xa0));
            p.setBrush(lightBlue);
            p.drawPolygon(square);
            p.setBrush(sheet);
            p.drawPolygon(QPolygon({QPoint(11, 13), QPoint(13, 13), QPoint(13, 11)}));
        },
        // 8 first, 9 prior, 10 next, 11 last.
        [](QPainter &p) { navigation(p, false, true); },
        [](QPainter &p) { navigation(p, false, false); },
        [](QPainter &p) { navigation(p, true, false); },
        [](QPainter &p) { navigation(p, true, true); },
        // 12 outline: a small tree.
        [](QPainter &p) {
            p.setPen(grey);
            p.drawLine(3, 4, 3, 13);
            p.drawLine(3, 8, 6, 8);
            p.drawLine(3, 13, 6, 13);
            p.setPen(Qt::NoPen);
            p.setBrush(blue);
            p.drawRect(1, 1, 5, 3);
            p.setBrush(yellow);
            p.drawRect(7, 7, 3, 3);
            p.drawRect(7, 12, 3, 3);
            p.setPen(darkGrey);
            p.drawLine(8, 2, 14, 2);
            p.drawLine(12, 8, 15, 8);
            p.drawLine(12, 13, 15, 13);
        },
        // 13 collapse, 14 expand.
        [](QPainter &p) { boxSign(p, false); },
        [](QPainter &p) { boxSign(p, true); },
        // 15 zoom in, 16 zoom out.
        [](QPainter &p) {
            magnifier(p, sheet);
            p.setPen(QPen(blue, 2));
            p.drawLine(4, 7, 9, 7);
            p.drawLine(7, 4, 7, 9);
        },
        [](QPainter &p) {
            magnifier(p, sheet);
            p.setPen(QPen(blue, 2));
            p.drawLine(4, 7, 9, 7);
        },
        // 17 to 19: plain sheets.
        [](QPainter &p) { page(p); },
        [](QPainter &p) { page(p); },
        [](QPainter &p) { page(p); },
        // 20 new page: a sheet with a green plus.
        [](QPainter &p) {
            page(p, 1, 1, 10, 14);
            p.setPen(QPen(green, 2));
            p.drawLine(9, 12, 15, 12);
            p.drawLine(12, 9, 12, 15);
        },
        // 21 edit page: a sheet with a pencil.
        [](QPainter &p) {
            page(p, 1, 1, 10, 14);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(QPen(darkYellow, 3.2, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(14.5, 4.5), QPointF(8, 11));
            p.setPen(QPen(yellow, 1.6, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(14.5, 4.5), QPointF(8, 11));
            arrowHead(p, QPointF(5.5, 13.5), -0.7, 0.7, darkGrey, 2.2);
        },
        // 22 full screen: arrows to the four corners.
        [](QPainter &p) {
            p.setPen(darkGrey);
            p.setBrush(QColor(0xe8, 0xee, 0xf6));
            p.drawRect(3, 3, 9, 9);
            p.setPen(QPen(blue, 2));
            for (QPoint c : {QPoint(1, 1), QPoint(14, 1), QPoint(1, 14), QPoint(14, 14)}) {
                const int dx = c.x() == 1 ? 1 : -1, dy = c.y() == 1 ? 1 : -1;
                p.drawLine(c.x(), c.y(), c.x() + dx * 4, c.y());
                p.drawLine(c.x(), c.y(), c.x(), c.y() + dy * 4);
            }
        },
        // 23 e-mail: an envelope.
        [](QPainter &p) {
            p.setPen(darkGrey);
            p.setBrush(QColor(0xfa, 0xf4, 0xdc));
            p.drawRect(1, 3, 14, 10);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.drawLine(QPointF(1.5, 3.5), QPointF(8, 9));
            p.drawLine(QPointF(14.5, 3.5), QPointF(8, 9));
        },
        // 24 PDF: a sheet with a red band.
        [](QPainter &p) {
            page(p, 2, 1, 13, 14, false);
            p.setPen(Qt::NoPen);
            p.setBrush(red);
            p.drawRect(1, 8, 12, 5);
            p.setBrush(sheet);
            p.drawRect(3, 9, 1, 3);
            p.drawRect(6, 9, 2, 1);
            p.drawRect(6, 11, 2, 1);
            p.drawRect(10, 9, 2, 1);
            p.drawRect(10, 10, 1, 2);
        },
    };
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tovaro_drawpreviewbuttons OUT.bmp.gz\n");
        return 1;
    }
    constexpr int size = 16;
    const int count = int(icons().size());
    QImage drawn(size * count, size, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    for (int i = 0; i < count; ++i) {
        QPainter p(&drawn);
        p.translate(i * size, 0);
        p.setClipRect(0, 0, size, size);
        icons()[size_t(i)](p);
    }
    // 24 bits leave no alpha: half-covered pixels keep their colour, the rest become the key colour.
    QImage strip(drawn.size(), QImage::Format_RGB888);
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor c = drawn.pixelColor(x, y);
            strip.setPixelColor(
                x, y, c.alpha() >= 110 ? QColor(c.red(), c.green(), c.blue()) : QColor(255, 0, 255));
        }
    QBuffer bmp;
    bmp.open(QIODevice::WriteOnly);
    if (!strip.save(&bmp, "BMP")) {
        std::fprintf(stderr, "cannot encode the strip\n");
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(platform::gzip(bmp.data())) < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
