// A fast PNG encoder for rendered pages: 8-bit grey when every pixel is grey, else RGB, the "Up" row
// filter and run-length deflate, which suits pages that are mostly paper. Several times faster than
// QImage::save for such images.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

// The PNG bytes of `image` (any format; converted to RGB32 when needed) with its resolution in a
// pHYs chunk when it has one. An empty result means the image was null or zlib failed.
QByteArray encodePng(const QImage &image);

// Writes encodePng(image) to the file, replacing it. Returns false when encoding or writing fails.
bool writePng(const QImage &image, const QString &fileName);

} // namespace platform
