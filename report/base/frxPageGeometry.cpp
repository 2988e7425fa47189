#include "report/base/frxPageGeometry.h"

#include "report/objects/frxClass.h"

namespace frx {

namespace {

int roundInt(Extended value) { return int(roundHalfEven(value)); }

} // namespace

TfrxSizeUnits paperSizeUnits(const TfrxReportPage &page)
{
    return {mmToUnits(page.PaperWidth()), mmToUnits(page.PaperHeight())};
}

TfrxSizeUnits printableSizeUnits(const TfrxReportPage &page)
{
    return {mmToUnits(page.PaperWidth()) - mmToUnits(page.LeftMargin) - mmToUnits(page.RightMargin),
            mmToUnits(page.PaperHeight()) - mmToUnits(page.TopMargin) - mmToUnits(page.BottomMargin)};
}

TfrxSizeUnits paperAroundUnits(const TfrxReportPage &page, TfrxSizeUnits room)
{
    return {mmToUnits(page.LeftMargin) + room.width + mmToUnits(page.RightMargin),
            mmToUnits(page.TopMargin) + room.height + mmToUnits(page.BottomMargin)};
}

Extended columnPositionUnits(const TfrxReportPage &page, int column)
{
    if (column < 1 || column > page.ColumnPositions.size()) return 0;
    QString text = page.ColumnPositions.at(column - 1);
    text.remove(QLatin1Char(' '));
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return mmToUnits(text.toDouble());
}

QRect paperRectPixels(const TfrxReportPage &page, Extended scaleX, Extended scaleY, Extended offsetX,
                      Extended offsetY)
{
    const TfrxSizeUnits paper = paperSizeUnits(page);
    const QPoint topLeft(roundInt(offsetX), roundInt(offsetY));
    const QPoint bottomRight(roundInt(paper.width * scaleX + offsetX) - 1, roundInt(paper.height * scaleY + offsetY) - 1);
    return QRect(topLeft, bottomRight);
}

QRect marginRectPixels(const TfrxReportPage &page, Extended scaleX, Extended scaleY, Extended offsetX,
                       Extended offsetY)
{
    const int left = roundInt(offsetX + mmToUnits(page.LeftMargin) * scaleX);
    const int top = roundInt(offsetY + mmToUnits(page.TopMargin) * scaleY);
    const int right = roundInt(offsetX + mmToUnits(page.PaperWidth() - page.RightMargin) * scaleX);
    const int bottom = roundInt(offsetY + mmToUnits(page.PaperHeight() - page.BottomMargin) * scaleY);
    return QRect(left, top, right - left, bottom - top);
}

Extended marginOriginX(const TfrxReportPage &page, bool mirrored, Extended scaleX, Extended offsetX)
{
    return offsetX + mmToUnits(mirrored ? page.RightMargin : page.LeftMargin) * scaleX;
}

Extended marginOriginY(const TfrxReportPage &page, Extended scaleY, Extended offsetY)
{
    return offsetY + mmToUnits(page.TopMargin) * scaleY;
}

} // namespace frx
