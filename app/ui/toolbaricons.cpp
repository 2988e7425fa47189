#include "app/ui/toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const QColor cardRed(0xC8, 0x1E, 0x1E);
const QColor gold(0xD9, 0xA4, 0x1E);
const QColor ink(0x40, 0x40, 0x40);

// The picture is drawn at four times the size and scaled down, which smooths its edges.
QIcon drawn(const std::function<void(QPainter &)> &draw)
{
    QPixmap large(64, 64);
    large.fill(Qt::transparent);
    {
        QPainter painter(&large);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(4, 4);
        draw(painter);
    }
    QIcon icon;
    icon.addPixmap(large.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    icon.addPixmap(large.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return icon;
}

void card(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(cardRed.darker(140), 0.8));
    p.setBrush(cardRed);
    p.drawRoundedRect(r, 1, 1);
    p.setPen(QPen(gold, 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(1.3, 1.3, -1.3, -1.3));
}

void printer(QPainter &p)
{
    p.setPen(QPen(ink, 0.8));
    p.setBrush(QColor(0xE8, 0xE8, 0xE8));
    p.drawRoundedRect(QRectF(1, 7, 14, 6), 1.2, 1.2);
    p.setBrush(QColor(0x9A, 0x9A, 0x9A));
    p.drawRect(QRectF(3.5, 11, 9, 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3C, 0xB0, 0x3C));
    p.drawEllipse(QPointF(12.8, 9), 0.8, 0.8);
}

} // namespace

QList<QIcon> toolbarImages()
{
    QList<QIcon> images;
    images << drawn([](QPainter &p) {
        card(p, QRectF(1.5, 2.5, 10, 12.5));
        QPainterPath pen;
        pen.moveTo(14.8, 2.2);
        pen.lineTo(15.8, 3.2);
        pen.lineTo(8.5, 10.5);
        pen.lineTo(6.8, 11.2);
        pen.lineTo(7.5, 9.5);
        pen.closeSubpath();
        p.setPen(QPen(ink, 0.6));
        p.setBrush(gold);
        p.drawPath(pen);
    });
    images << drawn([](QPainter &p) {
        card(p, QRectF(1.5, 1.5, 10, 12.5));
        p.setPen(QPen(ink, 1.6));
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(QPointF(9.5, 9.5), 3.3, 3.3);
        p.drawLine(QPointF(11.9, 11.9), QPointF(15, 15));
    });
    images << drawn([](QPainter &p) {
        card(p, QRectF(4, 0.8, 8, 7.5));
        printer(p);
    });
    images << drawn([](QPainter &p) {
        card(p, QRectF(6, 0.4, 7.5, 7));
        card(p, QRectF(4.5, 1.4, 7.5, 7));
        card(p, QRectF(3, 2.4, 7.5, 7));
        printer(p);
    });
    // Import and export: a list with an arrow going in or coming out.
    for (const bool inward : {true, false})
        images << drawn([inward](QPainter &p) {
            card(p, QRectF(1.5, 1.5, 9, 13));
            p.setPen(QPen(ink, 0.8));
            for (double y : {5.0, 8.0, 11.0})
                p.drawLine(QPointF(3.5, y), QPointF(8.5, y));
            p.setPen(QPen(gold.darker(130), 1.6));
            const double from = inward ? 15.5 : 9.5;
            const double to = inward ? 9.5 : 15.5;
            p.drawLine(QPointF(from, 8), QPointF(to, 8));
            p.drawLine(QPointF(to, 8), QPointF(to + (inward ? 2.5 : -2.5), 5.5));
            p.drawLine(QPointF(to, 8), QPointF(to + (inward ? 2.5 : -2.5), 10.5));
        });
    // Printing the chosen guests: a card with a tick over the printer.
    images << drawn([](QPainter &p) {
        card(p, QRectF(4, 0.8, 8, 7.5));
        p.setPen(QPen(QColor(0x20, 0x80, 0x20), 1.4));
        p.drawLine(QPointF(5.8, 4.4), QPointF(7.5, 6));
        p.drawLine(QPointF(7.5, 6), QPointF(10.5, 2.4));
        printer(p);
    });
    return images;
}
