#include "app/ui/cardlabel.h"

#include <QMouseEvent>

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

void CardLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) adjustSize();
}
