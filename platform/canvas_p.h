// Internals shared by the canvas files: the process-wide cache of resolved fonts.
#pragma once

#include "platform/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>

#include <mutex>

namespace platform {

// One resolved font at one pixel size and style, with its metrics and the advances of the
// characters measured so far. Entries live as long as the process; canvases keep plain pointers.
class FontEntry {
public:
    FontEntry(const QString &face, int height, unsigned style);

    QFont font;
    bool vertical = false;
    int em = 0; // character height in pixels
    TextMetrics metrics;

    // Natural advance of a code point in whole pixels; the caller holds fontCacheMutex().
    int advance(char32_t codePoint) const;

private:
    QFontMetrics m_metrics;
    mutable QHash<char32_t, int> m_advances;
};

std::mutex &fontCacheMutex();

// The cached entry for a face, a height in pixels (negative: character height, positive: cell
// height) and FontStyle bits.
const FontEntry &fontEntry(const QString &face, int height, unsigned style);

} // namespace platform
