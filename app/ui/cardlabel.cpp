#include "app/ui/cardlabel.h"

#include "platform/canvas.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>

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
    m_stackedCharacters.clear();
    if (caption.endsWith(QStringLiteral("\r\n"))) {
        QStringList lines = caption.split(QStringLiteral("\r\n"));
        lines.removeLast();
        const bool single = std::all_of(lines.cbegin(), lines.cend(), [](const QString &line) {
            return line.size() == 1 || (line.size() == 2 && line.at(0).isHighSurrogate());
        });
        if (single) m_stackedCharacters = lines;
    }
    adjustSize();
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

void CardLabel::paintEvent(QPaintEvent *event)
{
    paintContents(event);
    if (!m_overflowing) return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void CardLabel::paintContents(QPaintEvent *event)
{
    if (m_stackedCharacters.isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    // The column is drawn like the printed card's text: the label's face as a vertical face, its
    // baseline running down the middle of the label, one character in each line of the label.
    QPainter painter(this);
    platform::Canvas canvas(&painter, logicalDpiX(), logicalDpiY());
    platform::FontValue value;
    value.name = QLatin1Char('@') + font().family();
    value.height = -QFontInfo(font()).pixelSize();
    value.pixelsPerInch = logicalDpiY();
    value.style = (font().bold() ? platform::fsBold : 0u) | (font().italic() ? platform::fsItalic : 0u);
    const QColor color = palette().color(foregroundRole());
    value.color = color.red() | (color.green() << 8) | (color.blue() << 16);
    canvas.setFont(value, 2700);
    const QRect area = contentsRect();
    const int pitch = fontMetrics().lineSpacing();
    const int top = area.top() + (area.height() - pitch * int(m_stackedCharacters.size())) / 2;
    const int right = area.center().x() + (canvas.textMetrics().height + 1) / 2;
    for (qsizetype i = 0; i < m_stackedCharacters.size(); ++i) {
        const QString &character = m_stackedCharacters.at(i);
        const int advance = canvas.textWidth(character);
        canvas.textOut(right, top + int(i) * pitch + (pitch - advance) / 2, character);
    }
}

void CardLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) adjustSize();
}
