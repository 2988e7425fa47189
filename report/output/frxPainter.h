// The one paint path of prepared pages: a rebuilt page painted into any canvas the caller owns
// (preview, printer, PDF, PNG, tests), with clipping, background picture, margins and the
// visibility test that skips objects far outside the visible area.
#pragma once

#include "report/objects/frxClass.h"

#include <QSize>

namespace platform {
class Canvas;
}

namespace frx {

// What a page painter hands to the objects besides the factors.
struct TfrxPageDrawInfo {
    int Index = 0;      // page index in the prepared pages (odd indices mirror the margins)
    int TotalPages = 1; // shown for "[TOTALPAGES#]"
    int CopyNo = 0;     // copy being printed, from 1, for "[COPYNAME#]"; 0 outside printing
    Extended PrintScale = 1;
    // Screen-only aids, never drawn on a printer canvas; only the preview asks for them.
    bool PreviewBackground = false; // the page's PreviewBackground under everything, on the paper
    bool MarkOverflow = false;      // a red outline around each text object whose text overflows it
};

// Paints `page` on `canvas` (neither owned): ScaleX, ScaleY are device pixels per report unit,
// OffsetX, OffsetY the device position of the paper's top left corner. On a printer canvas
// (Canvas::isPrinterCanvas) nothing is clipped and only Printable objects are painted; elsewhere the
// paint is clipped to the paper. Margins and clipping are restored afterwards, also on failure.
void frxDrawPage(TfrxReportPage &page, platform::Canvas &canvas, Extended ScaleX, Extended ScaleY,
                 Extended OffsetX, Extended OffsetY, const TfrxPageDrawInfo &info = {});

class TfrxPreviewPages;

// The prepared pages' DrawPage: rebuilds page `index` of `pages` and paints it as above with the
// store's page count, copy number and print scale, and the screen-only aids of `screen` (its other
// fields are ignored). Does nothing for an index outside the pages; raises platform::FileError when
// a parked page cannot be read back.
void frxDrawPage(TfrxPreviewPages &pages, int index, platform::Canvas &canvas, Extended ScaleX,
                 Extended ScaleY, Extended OffsetX, Extended OffsetY, const TfrxPageDrawInfo &screen = {});

// The visible text objects of `page` whose text overflows them (TextOverflows), in paint order.
QList<TfrxCustomMemoView *> frxOverflowingMemos(TfrxReportPage &page);

// The paper of `page` in device pixels at `dpi` dots per inch (round(mm x 3.77953 x dpi / 96)).
QSize frxPaperSizePixels(const TfrxReportPage &page, int dpi);

} // namespace frx
