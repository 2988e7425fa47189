#include "app/model/cardgeometry.h"

namespace cardgeometry {

namespace {

// The 32-bit result of a product, wrapping like the platform's unchecked integer arithmetic.
std::int32_t mul32(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(a * b)));
}

std::int32_t add32(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(a + b)));
}

} // namespace

int pictureWidthPx(int cardWidthMm)
{
    return mul32(cardWidthMm, 992) / 350;
}

int pictureHeightPx(int cardHeightMm)
{
    return mul32(cardHeightMm, 680) / 240;
}

std::optional<int> pixelFromMm(int mm, int cardSizeMm, int pictureSizePx, int pictureOriginPx)
{
    if (cardSizeMm == 0) return std::nullopt;
    const std::int32_t product = mul32(pictureSizePx, mm);
    if (cardSizeMm == -1 && product == INT32_MIN)
        return add32(product, pictureOriginPx); // the one quotient that does not fit wraps to itself
    return add32(product / cardSizeMm, pictureOriginPx);
}

std::optional<int> mmFromPixel(int px, int cardSizeMm, int pictureSizePx, int pictureOriginPx)
{
    if (pictureSizePx == 0) return std::nullopt;
    const std::int32_t product = mul32(cardSizeMm, add32(px, -static_cast<std::int64_t>(pictureOriginPx)));
    if (pictureSizePx == -1 && product == INT32_MIN) return product;
    return product / pictureSizePx;
}

std::optional<double> pixelsPerMm(int pictureSizePx, int cardSizeMm)
{
    if (pictureSizePx <= 0 || cardSizeMm <= 0) return std::nullopt;
    return double(pictureSizePx) / cardSizeMm;
}

std::int32_t dragTag(int x, int y, bool dragging)
{
    std::uint32_t value = static_cast<std::uint32_t>(add32(mul32(y, 65536), x));
    if (dragging) value |= 0x80000000u;
    return static_cast<std::int32_t>(value);
}

bool tagDragging(std::int32_t tag)
{
    return (static_cast<std::uint32_t>(tag) & 0x80000000u) != 0;
}

int tagGrabX(std::int32_t tag)
{
    return static_cast<int>(static_cast<std::uint32_t>(tag) & 0xFFFFu);
}

int tagGrabY(std::int32_t tag)
{
    return static_cast<int>((static_cast<std::uint32_t>(tag) >> 16) & 0x7FFFu);
}

} // namespace cardgeometry
