// A photo or a scan of a card made into a template picture: read upright, the card cut out along
// its four corners and straightened into a rectangle of the card's proportions.
#pragma once

#include "app/model/layoutprofile.h"

#include <QImage>
#include <QPointF>
#include <QString>

#include <array>
#include <optional>

namespace cardphoto {

// The card's corners in photo pixels: top left, top right, bottom right, bottom left (as the card
// reads, whichever way the photo was taken).
using Corners = std::array<QPointF, 4>;

// Reads a JPEG or PNG file, turned upright by its EXIF orientation. Throws platform::FileError,
// in Chinese, naming the file and the reason.
QImage readPhoto(const QString &path);

// The card's size in mm a scan's resolution gives for corners, or nothing when the picture holds
// no resolution.
std::optional<layout::CardSizeMm> sizeFromResolution(const QImage &photo, const Corners &corners);

// The card cut out of photo along corners and straightened: a rectangle of cardSize's proportions,
// as many pixels across as the longer of the card's top and bottom edges has in the photo (at most
// maxSidePx on its longer side). Null when the corners span no area or the size is not positive.
QImage straighten(const QImage &photo, const Corners &corners, layout::CardSizeMm cardSize,
                  int maxSidePx = 4000);

} // namespace cardphoto
