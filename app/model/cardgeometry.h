// The arithmetic between card millimetres and canvas pixels, and the drag state a canvas label
// keeps in its tag. All of it is signed 32-bit integer arithmetic with truncating division; a
// product that leaves the 32-bit range wraps as the platform's integers do.
#pragma once

#include <cstdint>
#include <optional>

namespace cardgeometry {

// Picture width in pixels for a card width in mm: width × 992 div 350.
int pictureWidthPx(int cardWidthMm);
// Picture height in pixels for a card height in mm: height × 680 div 240.
int pictureHeightPx(int cardHeightMm);

// Canvas pixel of a millimetre position along one axis: pictureSizePx × mm div cardSizeMm +
// pictureOriginPx. Empty when cardSizeMm is 0 (no card size to scale by).
std::optional<int> pixelFromMm(int mm, int cardSizeMm, int pictureSizePx, int pictureOriginPx);

// Card millimetre of a canvas pixel along one axis: cardSizeMm × (px − pictureOriginPx) div
// pictureSizePx. Empty when pictureSizePx is 0.
std::optional<int> mmFromPixel(int px, int cardSizeMm, int pictureSizePx, int pictureOriginPx);

// The canvas's pixels per card millimetre along one axis: the picture's size over the card's. Empty
// when either is not above 0. Text items are drawn at this scale, so they stand on the picture as
// they stand on the card.
std::optional<double> pixelsPerMm(int pictureSizePx, int cardSizeMm);

// The drag state in a label's tag: bits 0–15 the grab point's x, bits 16–30 its y, bit 31 set
// while a drag is in progress. The value is y × 65536 + x, with bit 31 for a press that drags.
std::int32_t dragTag(int x, int y, bool dragging);
bool tagDragging(std::int32_t tag);
int tagGrabX(std::int32_t tag);
int tagGrabY(std::int32_t tag);

} // namespace cardgeometry
