// A scroll box whose children stand in the coordinates of its visible client area: scrolling moves
// the children themselves, so a child's position always says where it is seen. The scroll range
// grows and shrinks with the children's extent.
#pragma once

#include <QAbstractScrollArea>

class ScrollBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ScrollBox(QWidget *parent = nullptr);

    // The widget the children go into.
    QWidget *client() const { return viewport(); }
    // Recomputes the scroll ranges from the children's extent; a position beyond the new range
    // scrolls back, moving the children.
    void updateRange();

protected:
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool m_updating = false;
};
