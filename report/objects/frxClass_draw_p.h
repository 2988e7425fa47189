// Drawing helpers shared by the painting files of the object model.
#pragma once

#include "platform/canvas.h"
#include "report/base/frxUtils.h"

namespace frx::paint {

inline int roundInt(Extended value)
{
    return int(roundHalfEven(value));
}

// A line `width` pixels thick drawn as parallel one-pixel lines with the current pen, at offsets
// -(width div 2) … (width - 1) div 2 across it: vertically for a line more horizontal than vertical,
// otherwise horizontally. A width of 0 counts as 1.
void thickLine(platform::Canvas &canvas, int x1, int y1, int x2, int y2, int width);

} // namespace frx::paint
