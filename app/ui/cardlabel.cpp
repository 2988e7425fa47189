#include "app/ui/cardlabel.h"

#include "app/model/layoutprofile.h"
#include "platform/canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

CardLabel::CardLabel(const QString &caption, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    setCaption(caption);
}

void CardLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    QString shown = caption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(shown);
    // A caption of single characters each ended by a line break is the stacked form of a column.
    bool stacked = false;
    QStringList lines = caption.split(QStringLiteral("\r\n"));
    if (caption.endsWith(QStringLiteral("\r\n"))) {
        lines.removeLast();
        stacked = std::all_of(lines.cbegin(), lines.cend(), [](const QString &line) {
            return line.size() == 1 || (line.size() == 2 && line.at(0).isHighSurrogate());
        });
    }
    m_view.setSetting(stacked ? carditem::Setting::Column : carditem::Setting::Line);
    m_view.setText(stacked ? lines.join(QString()) : caption);
    refreshView();
}

void CardLabel::setCardScale(double pixelsPerMmX, double pixelsPerMmY)
{
    m_view.setScale(pixelsPerMmX, pixelsPerMmY);
    refreshView();
}

QSize CardLabel::sizeHint() const
{
    return m_view.sizePx();
}

void CardLabel::refreshView()
{
    platform::FontValue value;
    value.name = font().family();
    value.setSize(layout::fontPointSize(font()));
    value.style = (font().bold() ? platform::fsBold : 0u) | (font().italic() ? platform::fsItalic : 0u) |
                  (font().underline() ? platform::fsUnderline : 0u) |
                  (font().strikeOut() ? platform::fsStrikeOut : 0u);
    const QColor color = palette().color(foregroundRole());
    value.color = color.red() | (color.green() << 8) | (color.blue() << 16);
    m_view.setFont(value);
    resize(m_view.sizePx());
    update();
}

void CardLabel::setMouseHandlers(PressHandler press, PointHandler move, PointHandler release)
{
    m_press = std::move(press);
    m_move = std::move(move);
    m_release = std::move(release);
}

void CardLabel::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_press) m_press(this, event->button(), false, at.x(), at.y());
}

void CardLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_press) m_press(this, event->button(), true, at.x(), at.y());
}

void CardLabel::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_move) m_move(this, event->button(), at.x(), at.y());
}

void CardLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_release) m_release(this, event->button(), at.x(), at.y());
}

void CardLabel::setOverflowing(bool overflowing)
{
    if (overflowing == m_overflowing) return;
    m_overflowing = overflowing;
    update();
}

void CardLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    {
        platform::Canvas canvas(&painter, logicalDpiX(), logicalDpiY());
        m_view.paint(canvas, QPoint(0, 0));
    }
    if (!m_overflowing) return;
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void CardLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) refreshView();
}
