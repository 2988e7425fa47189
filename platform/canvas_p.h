// Internals shared by the canvas files: the process-wide cache of resolved fonts.
#pragma once

#include "platform/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>

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
    // The font's own glyph of a code point, 0 when it has none (a fallback font would draw it);
    // the caller holds fontCacheMutex().
    quint32 glyph(char32_t codePoint) const;
    // The font as glyph outlines, for drawing whole runs of placed glyphs without shaping.
    const QRawFont &rawFont() const;

private:
    QFontMetrics m_metrics;
    mutable QHash<char32_t, int> m_advances;
    mutable QHash<char32_t, quint32> m_glyphs;
    mutable QRawFont m_raw;
    mutable bool m_rawLoaded = false;
};

std::mutex &fontCacheMutex();

// The cached entry for a face, a height in pixels (negative: character height, positive: cell
// height) and FontStyle bits.
const FontEntry &fontEntry(const QString &face, int height, unsigned style);

} // namespace platform
