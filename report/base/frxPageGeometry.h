// Page geometry in one place: paper sizes, margins and column positions are millimetres, report
// objects are report units (96 per inch), drawing happens in device pixels. Every conversion
// between the three goes through these functions so that the engine, the painter and the preview
// agree to the last bit on where a page and its printable room lie.
#pragma once

#include "report/base/frxUtils.h"

#include <QRect>

namespace frx {

class TfrxReportPage;

// Millimetres to report units and back.
constexpr Extended mmToUnits(Extended mm) { return mm * fr01cm; }
constexpr Extended unitsToMm(Extended units) { return units / fr01cm; }

// A size in report units.
struct TfrxSizeUnits {
    Extended width = 0;
    Extended height = 0;
    bool operator==(const TfrxSizeUnits &) const = default;
};

// The paper of a page.
TfrxSizeUnits paperSizeUnits(const TfrxReportPage &page);

// The room between the margins as the engine fills it: paper and margins converted one by one
// before they are subtracted (the page's own Width and Height subtract first; the two may differ
// in the last bits).
TfrxSizeUnits printableSizeUnits(const TfrxReportPage &page);

// The paper that holds `room` between the page's margins: the size of an endless page.
TfrxSizeUnits paperAroundUnits(const TfrxReportPage &page, TfrxSizeUnits room);

// Where column `column` (from 1) begins, from the page's ColumnPositions (millimetres as text, any
// decimal separator, blanks ignored); 0 for a column the list does not hold.
Extended columnPositionUnits(const TfrxReportPage &page, int column);

// The paper on a device: the page's corner at (offsetX, offsetY) device pixels, `scaleX`/`scaleY`
// device pixels per report unit; the right and bottom edges are the last pixels inside.
QRect paperRectPixels(const TfrxReportPage &page, Extended scaleX, Extended scaleY, Extended offsetX,
                      Extended offsetY);

// The room between the margins on a device, as paperRectPixels places the paper; the right and
// bottom edges are the first pixels outside.
QRect marginRectPixels(const TfrxReportPage &page, Extended scaleX, Extended scaleY, Extended offsetX,
                       Extended offsetY);

// The device position of the printable room's corner: the page offset moved by the left (or, on
// a mirrored page, the right) and the top margin.
Extended marginOriginX(const TfrxReportPage &page, bool mirrored, Extended scaleX, Extended offsetX);
Extended marginOriginY(const TfrxReportPage &page, Extended scaleY, Extended offsetY);

} // namespace frx
