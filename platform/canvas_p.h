// Internals shared by the canvas files: the process-wide cache of resolved fonts.
#pragma once

#include "platform/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>

#include <mutex>

namespace platform {

// A character of a vertical face at one pixel size: the glyph drawn, whether it stands upright,
// its advance along the line in pixels and, when upright, the offset in pixels from its vertical
// origin (top centre of its place in the column) to its horizontal origin, y downward.
struct VerticalGlyph {
    quint32 glyph = 0;
    bool upright = false;
    bool substituted = false;
    int advance = 0;
    QPointF offset;
};

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
    // How a vertical face sets a code point in its line (glyph 0: a fallback font draws it, upright
    // by the character's orientation); the caller holds fontCacheMutex().
    const VerticalGlyph &verticalGlyph(char32_t codePoint) const;
    // The advance along the line in whole pixels of the glyph drawn for a code point; the caller
    // holds fontCacheMutex().
    int lineAdvance(char32_t codePoint) const
    {
        return vertical ? verticalGlyph(codePoint).advance : advance(codePoint);
    }

private:
    QFontMetrics m_metrics;
    mutable QHash<char32_t, int> m_advances;
    mutable QHash<char32_t, quint32> m_glyphs;
    mutable QHash<char32_t, VerticalGlyph> m_verticalGlyphs;
    mutable QRawFont m_raw;
    mutable bool m_rawLoaded = false;
};

std::mutex &fontCacheMutex();

// One character of a line where the canvas puts it: its glyph in the font (0: a fallback font
// draws it), whether it stands upright, its place along the line and its advance there, and the
// glyph's horizontal origin — in the line's frame, or for an upright glyph in the frame turned a
// quarter counter-clockwise.
struct GlyphPlacement {
    quint32 glyph = 0;
    bool upright = false;
    int position = 0;
    int advance = 0;
    int naturalAdvance = 0;
    QPointF origin;
    qsizetype typedStart = 0;
    int typedLength = 0;
};

// Places the characters of `text` at `advances` (null: their natural advances) in `font`, one per
// code point, as every output of the canvas draws them; takes the font cache lock itself.
std::vector<GlyphPlacement> placeGlyphs(const FontEntry &font, QStringView text, const int *advances);

// The cached entry for a face, a height in pixels (negative: character height, positive: cell
// height) and FontStyle bits.
const FontEntry &fontEntry(const QString &face, int height, unsigned style);

} // namespace platform
