// JPEG decoding with libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

// Decodes a JPEG file. Throws FileError whose text names the file and the reason
// (missing, unreadable, not a JPEG, truncated or corrupt).
QImage decodeJpegFile(const QString &path);

// Decodes JPEG bytes; sourceName names the data in error texts.
QImage decodeJpeg(const QByteArray &data, const QString &sourceName);

} // namespace platform
