// Pictures as templates and prepared pages carry them: the stored form of a picture property (a
// "Data" entry holding a graphic class name and the picture file), the careful decoding of picture
// files that come from outside, and the one encoding used for pictures assigned in memory.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace frx {

// The stored form a picture was read from, kept beside the image decoded from it so that an unchanged
// picture is written back exactly as it was read.
struct TfrxStoredPicture {
    QByteArray Stream; // the whole property stream of the picture's PropData
    qint64 Key = 0;    // QImage::cacheKey of the image the stream gave

    // The kept stream while `image` is still the image it gave; empty once the picture was replaced
    // or changed.
    QByteArray StreamFor(const QImage &image) const;
};

// The largest picture accepted from a file, in pixels (what 256 MB hold at four bytes a pixel).
inline constexpr qint64 maxPicturePixels = qint64(64) * 1024 * 1024;

// Decodes a picture file (PNG, JPEG, BMP or GIF, recognised by its signature). Anything else, a
// picture larger than maxPicturePixels or damaged data raises platform::Error with the reason.
QImage DecodePicture(const QByteArray &file);

// The PNG file of `image`; the same image always gives the same bytes. Empty for a null image.
QByteArray EncodePicture(const QImage &image);

// A picture property stream for `image`: one "Data" entry with a graphic class name and the PNG file.
QByteArray PictureStream(const QImage &image);

// The picture file inside a picture property stream (the "Data" entry without its class name, and
// without the 32-bit length some graphic classes put ahead of the file). Raises platform::Error when
// the stream holds no such entry.
QByteArray PictureFile(const QByteArray &stream);

// Reads a picture property stream: the image, and in `stored` the stream kept for writing it back.
// Raises platform::Error when the stream holds no readable picture; `stored` is then unchanged.
QImage ReadPictureStream(const QByteArray &stream, TfrxStoredPicture &stored);

} // namespace frx
