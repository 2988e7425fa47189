#include "app/model/carditem.h"

#include "report/base/frxUtils.h"

#include <cmath>

namespace carditem {

void applySetting(frx::TfrxCustomMemoView &memo, Setting setting)
{
    if (setting == Setting::Column) {
        memo.SetRotation(270);
        memo.VAlign = frx::vaBottom;
    } else {
        memo.SetRotation(0);
        memo.VAlign = frx::vaTop;
    }
}

QString printedFace(const QString &face, Setting setting)
{
    return setting == Setting::Column ? QStringLiteral("@") + face : face;
}

QRectF textBlockUnits(frx::TfrxCustomMemoView &memo)
{
    // The object measures along its lines without a bound and across them in its own rectangle.
    const double along = double(memo.CalcWidth() - memo.HorizontalInsets());
    const double across = double(memo.CalcHeight() - memo.VerticalInsets());
    const QPointF start(double(memo.GapX), double(memo.GapY));
    const bool column = ((memo.Rotation() % 360) + 360) % 360 == 270;
    return column ? QRectF(start, QSizeF(across, along)) : QRectF(start, QSizeF(along, across));
}

} // namespace carditem

CardItemView::CardItemView()
{
    // As the card template has its text objects: one line per source line, no frame, no fill.
    m_memo.WordWrap = false;
    carditem::applySetting(m_memo, m_setting);
}

void CardItemView::setText(const QString &text)
{
    m_memo.SetText(text);
}

void CardItemView::setSetting(carditem::Setting setting)
{
    if (setting == m_setting) return;
    platform::FontValue font = m_memo.Font();
    if (m_setting == carditem::Setting::Column && font.name.startsWith(u'@')) font.name.remove(0, 1);
    m_setting = setting;
    font.name = carditem::printedFace(font.name, setting);
    m_memo.SetFont(font);
    carditem::applySetting(m_memo, setting);
}

void CardItemView::setFont(const platform::FontValue &font)
{
    platform::FontValue printed = font;
    printed.name = carditem::printedFace(font.name, m_setting);
    m_memo.SetFont(printed);
}

void CardItemView::setScale(double pixelsPerMmX, double pixelsPerMmY)
{
    // Report units are pixels at 96 per inch: fonts in points come out at their size on the card.
    m_unitsScaleX = pixelsPerMmX / double(frx::fr01cm);
    m_unitsScaleY = pixelsPerMmY / double(frx::fr01cm);
}

QSize CardItemView::sizePx()
{
    m_memo.SetLeft(0);
    m_memo.SetTop(0);
    m_memo.SetWidth(10000);
    m_memo.SetHeight(10000);
    const QRectF block = carditem::textBlockUnits(m_memo);
    const double width = block.right() + double(m_memo.GapX);
    const double height = block.bottom() + double(m_memo.GapY);
    // A pixel more than the block: the device rounds every line and glyph on its own.
    return QSize(int(std::ceil(width * m_unitsScaleX)) + 1, int(std::ceil(height * m_unitsScaleY)) + 1);
}

void CardItemView::paint(platform::Canvas &canvas, QPoint originPx)
{
    const QSize size = sizePx();
    // The object as large as the item, so that its alignment leaves the text where it prints.
    m_memo.SetWidth(size.width() / m_unitsScaleX);
    m_memo.SetHeight(size.height() / m_unitsScaleY);
    m_memo.Draw(canvas, m_unitsScaleX, m_unitsScaleY, originPx.x(), originPx.y());
}
