#include "app/ui/scrollbox.h"

#include <QChildEvent>
#include <QScrollBar>

#include <algorithm>

ScrollBox::ScrollBox(QWidget *parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setSingleStep(8);
    verticalScrollBar()->setSingleStep(8);
}

void ScrollBox::updateRange()
{
    if (m_updating) return;
    m_updating = true;
    int right = 0;
    int bottom = 0;
    for (QObject *object : viewport()->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (!child || child->isHidden()) continue;
        right = std::max(right, child->geometry().right() + 1 + horizontalScrollBar()->value());
        bottom = std::max(bottom, child->geometry().bottom() + 1 + verticalScrollBar()->value());
    }
    // Two passes: showing one scroll bar narrows the client area and may call for the other.
    for (int pass = 0; pass < 2; ++pass) {
        const QSize client = viewport()->size();
        horizontalScrollBar()->setPageStep(std::max(1, client.width()));
        verticalScrollBar()->setPageStep(std::max(1, client.height()));
        horizontalScrollBar()->setRange(0, std::max(0, right - client.width()));
        verticalScrollBar()->setRange(0, std::max(0, bottom - client.height()));
    }
    m_updating = false;
}

void ScrollBox::scrollContentsBy(int dx, int dy)
{
    const bool wasUpdating = m_updating;
    m_updating = true;
    for (QObject *object : viewport()->children()) {
        if (auto *child = qobject_cast<QWidget *>(object)) child->move(child->pos() + QPoint(dx, dy));
    }
    viewport()->update();
    m_updating = wasUpdating;
}

bool ScrollBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->parent() == viewport()) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            updateRange();
            break;
        default:
            break;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool ScrollBox::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ChildAdded)
        static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
    else if (event->type() == QEvent::ChildRemoved)
        static_cast<QChildEvent *>(event)->child()->removeEventFilter(this);
    return QAbstractScrollArea::viewportEvent(event);
}

void ScrollBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateRange();
}
