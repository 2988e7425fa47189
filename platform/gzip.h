// Inflating gzip streams with zlib.
#pragma once

#include <QByteArray>

namespace platform {

// Inflates a complete gzip stream (concatenated members are joined). Throws Error on a
// stream that is not gzip, is truncated or fails its check sum.
QByteArray gunzip(const QByteArray &compressed);

// Compresses to a gzip stream (used by the build-time tools and tests).
QByteArray gzip(const QByteArray &data);

} // namespace platform
