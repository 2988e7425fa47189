// A text item on the card canvas: a label sized to its text as the printed card sets it, with an
// integer tag for its drag state, that hands its mouse presses, moves and releases to the handlers
// given to it. The text is drawn by the printed card's own text layout at the canvas's pixels per
// millimetre: a caption stacked one character per line stands as the printed column (each
// character one em below the last, in the form the vertical card gives it), any other caption as
// a printed line. The label's font gives face, size in points and styles.
#pragma once

#include "app/model/carditem.h"

#include <QLabel>

#include <cstdint>
#include <functional>

class CardLabel : public QLabel {
    Q_OBJECT
public:
    // doubleClick marks the press that completes a double click; x, y are inside the label.
    using PressHandler =
        std::function<void(CardLabel *label, Qt::MouseButton button, bool doubleClick, int x, int y)>;
    using PointHandler = std::function<void(CardLabel *label, Qt::MouseButton button, int x, int y)>;

    explicit CardLabel(const QString &caption, QWidget *parent = nullptr);

    // The caption as set, line breaks "\r\n" included; shown with one line per "\r\n".
    // A caption of single characters each ended by "\r\n" is stacked.
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // An item whose text would be clipped on the printed card is outlined in red.
    bool isOverflowing() const { return m_overflowing; }
    void setOverflowing(bool overflowing);

    // The canvas's pixels per card millimetre (those of the card picture), across and down.
    void setCardScale(double pixelsPerMmX, double pixelsPerMmY);
    // True when the caption is set as a column.
    bool isColumn() const { return m_view.setting() == carditem::Setting::Column; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    std::int32_t tag() const { return m_tag; }
    void setTag(std::int32_t tag) { m_tag = tag; }

    void setMouseHandlers(PressHandler press, PointHandler move, PointHandler release);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Takes the label's font and caption into the view and sizes the label to it.
    void refreshView();

    QString m_caption;
    bool m_overflowing = false;
    mutable CardItemView m_view;
    std::int32_t m_tag = 0;
    PressHandler m_press;
    PointHandler m_move;
    PointHandler m_release;
};
