// A text item as the printed card sets it: the text object's turn and alignment in each layout,
// the face it prints in, and where its text stands inside the object. The card canvas draws its
// items through CardItemView with the same text layout at the canvas's own pixels per millimetre,
// so that a layout arranged on the canvas prints as it looks.
#pragma once

#include "report/objects/frxClass.h"

#include <QRectF>
#include <QSize>
#include <QString>

namespace carditem {

// A column of the vertical layout runs down the card; a line of the horizontal one runs across.
enum class Setting { Column, Line };

// Turns memo as the printed card does: a column 270 degrees with its block pushed to the object's
// left edge, so that the text starts at the object's top left corner; a line level, at the top.
void applySetting(frx::TfrxCustomMemoView &memo, Setting setting);

// The face a column prints in: the "@" form of face, which stands full-width characters upright
// in the turned column; a line prints in face itself.
QString printedFace(const QString &face, Setting setting);

// Where memo's text block stands, in report units from the object's top left corner: the lines
// as laid out at the layout resolution with the object's gaps, for an object set by applySetting
// (other alignments are not placed). Takes the text layout lock.
QRectF textBlockUnits(frx::TfrxCustomMemoView &memo);

} // namespace carditem

// One text item of the canvas: its text, font and setting in a text object of its own, drawn at
// the canvas's pixels per millimetre. The object's top left corner is the item's place.
class CardItemView {
public:
    CardItemView();

    // The text unstacked, as the printed card gets it.
    void setText(const QString &text);
    QString text() const { return m_memo.Text(); }
    void setSetting(carditem::Setting setting);
    carditem::Setting setting() const { return m_setting; }
    // The face without "@" (a column adds it), the size in points, styles and colour.
    void setFont(const platform::FontValue &font);
    // The canvas's pixels per card millimetre, across and down.
    void setScale(double pixelsPerMmX, double pixelsPerMmY);

    // The item's size on the canvas: its text block with the object's gaps, in whole pixels that
    // hold all of it.
    QSize sizePx();
    // Draws the item with its top left corner at originPx.
    void paint(platform::Canvas &canvas, QPoint originPx);

private:
    frx::TfrxMemoView m_memo;
    carditem::Setting m_setting = carditem::Setting::Line;
    double m_unitsScaleX = 0.75; // canvas pixels per report unit
    double m_unitsScaleY = 0.75;
};
