#include "report/ui/frxPrintDialog_p.h"

#include <QPainter>
#include <QPainterPath>

namespace frx::printdialog {

namespace {

const QColor kInk(0x40, 0x40, 0x40);
const QColor kPaper(Qt::white);
const QColor kSheetEdge(0x70, 0x70, 0x70);
const QColor kPrint(0x2a, 0x6c, 0xc4);

QPixmap blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A sheet with a folded corner and a few lines of text.
void drawSheet(QPainter &p, const QRectF &r, const QString &number = QString())
{
    const qreal fold = qMin(r.width(), r.height()) * 0.22;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(QPen(kSheetEdge, 1));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
    if (!number.isEmpty()) {
        QFont font = p.font();
        font.setPixelSize(int(r.height() * 0.42));
        font.setBold(true);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(r.adjusted(0, fold * 0.5, 0, 0), Qt::AlignCenter, number);
    }
}

// A page of print inside r: a heading bar and lines of text.
void drawPrintedPage(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.fillRect(QRectF(r.left() + 2, r.top() + 2, r.width() - 4, 2), kPrint);
    p.setPen(QPen(QColor(0x9a, 0x9a, 0x9a), 1));
    for (qreal y = r.top() + 6; y < r.bottom() - 2; y += 3)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void drawArrow(QPainter &p, QPointF from, QPointF to)
{
    p.setPen(QPen(kPrint, 1.5));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF wing1 = line;
    wing1.setLength(4);
    wing1.setAngle(line.angle() + 30);
    QLineF wing2 = line;
    wing2.setLength(4);
    wing2.setAngle(line.angle() - 30);
    p.drawLine(wing1);
    p.drawLine(wing2);
}

} // namespace

QPixmap printerIcon()
{
    QPixmap pixmap = blank(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Paper going in at the top, the body, the tray with a printed sheet.
    p.setPen(QPen(kSheetEdge, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 0.5, 7, 5));
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
    p.setBrush(QColor(0xc8, 0xc8, 0xc8));
    p.drawRoundedRect(QRectF(0.5, 5.5, 15, 6.5), 1.5, 1.5);
    p.setBrush(QColor(0x8a, 0x8a, 0x8a));
    p.drawRect(QRectF(2.5, 10.5, 11, 2));
    p.fillRect(QRectF(12, 7, 2, 1.5), QColor(0x30, 0xb0, 0x30));
    p.setPen(QPen(kSheetEdge, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 11.5, 7, 4));
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(6, 13.5), QPointF(10, 13.5));
    return pixmap;
}

QPixmap collateImage(bool collated)
{
    // Two stacks of three sheets, the top sheet of each stack to the front.
    QPixmap pixmap = blank(110, 54);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QSizeF sheet(22, 30);
    for (int stack = 0; stack < (collated ? 2 : 3); ++stack) {
        const qreal left = collated ? 8 + stack * 52 : 4 + stack * 36;
        const int sheets = collated ? 3 : 2;
        for (int i = sheets - 1; i >= 0; --i) {
            const QString number = QString::number(collated ? i + 1 : stack + 1);
            drawSheet(p, QRectF(QPointF(left + i * 8, 4 + i * 8), sheet), number);
        }
    }
    return pixmap;
}

QPixmap printModeImage(int mode)
{
    QPixmap pixmap = blank(64, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (mode) {
    case 1: {
        // A large page over two sheets, the cut dashed.
        drawPrintedPage(p, QRectF(1.5, 2.5, 38, 27));
        p.setPen(QPen(Qt::red, 1, Qt::DashLine));
        p.drawLine(QPointF(20.5, 1), QPointF(20.5, 31));
        drawArrow(p, QPointF(42, 16), QPointF(50, 16));
        drawSheet(p, QRectF(52.5, 4.5, 10, 14));
        drawSheet(p, QRectF(52.5, 17.5, 10, 14));
        break;
    }
    case 2: {
        // Two small pages onto one sheet.
        drawPrintedPage(p, QRectF(1.5, 2.5, 12, 12));
        drawPrintedPage(p, QRectF(1.5, 17.5, 12, 12));
        drawArrow(p, QPointF(16, 16), QPointF(24, 16));
        drawSheet(p, QRectF(27.5, 1.5, 34, 29));
        drawPrintedPage(p, QRectF(30.5, 6.5, 13, 20));
        drawPrintedPage(p, QRectF(45.5, 6.5, 13, 20));
        break;
    }
    case 3: {
        // A small page stretched to fill the sheet.
        drawPrintedPage(p, QRectF(2.5, 9.5, 12, 14));
        drawArrow(p, QPointF(17, 16), QPointF(26, 16));
        drawSheet(p, QRectF(28.5, 1.5, 33, 29));
        drawPrintedPage(p, QRectF(30.5, 6.5, 26, 22));
        break;
    }
    default:
        // One page, one sheet.
        drawSheet(p, QRectF(16.5, 1.5, 31, 29));
        drawPrintedPage(p, QRectF(19.5, 7.5, 24, 20));
        break;
    }
    return pixmap;
}

} // namespace frx::printdialog
