// How a character of a vertical ("@") face is set in a column: its Unicode vertical orientation,
// the vertical presentation form that stands for it, and the font's own vertical alternate.
#pragma once

#include <QRawFont>

#include <QHash>

#include <memory>

namespace platform {

// The Unicode Vertical_Orientation of a character: Upright and TransformedUpright stand upright in a
// column, Rotated and TransformedRotated lie along it; the transformed ones want a vertical glyph
// (an alternate or a presentation form) where the font has one.
enum class VerticalOrientation { Upright, Rotated, TransformedUpright, TransformedRotated };
VerticalOrientation verticalOrientation(char32_t character);

// The vertical presentation form (U+FE10–FE19, U+FE30–FE4F) of a character set in a column, for a
// character of East Asian forms (full-width or ideographic punctuation, dashes, ellipses); 0 when
// there is none. Plain ASCII punctuation has none: in a column it lies along the line like Latin.
char32_t verticalPresentationForm(char32_t character);

// One character of a vertical face in font units: the glyph to draw (0: the font lacks the
// character), whether it stands upright, whether it replaces the character's own glyph, and for an
// upright glyph the offset from its horizontal origin to its vertical origin (the top centre of
// its place in the column, y upward) and its vertical advance.
struct VerticalChoice {
    quint32 glyph = 0;
    bool upright = false;
    bool substituted = false;
    double originX = 0;
    double originY = 0;
    double verticalAdvance = 0;
};

// The vertical decisions for the characters of one font file, made once per character: the font's
// `vert`/`vrt2` alternate through HarfBuzz, else the presentation form when the font has it, else
// the character's own glyph, upright or lying by its orientation. Not thread-safe: callers
// serialise (the canvas holds its font cache lock).
class VerticalFace {
public:
    // Reads the font's tables through `raw`, which must outlive the face.
    explicit VerticalFace(const QRawFont *raw);
    ~VerticalFace();
    VerticalFace(const VerticalFace &) = delete;
    VerticalFace &operator=(const VerticalFace &) = delete;

    int unitsPerEm() const;
    const VerticalChoice &choice(char32_t character);

private:
    struct Fonts;
    std::unique_ptr<Fonts> m_fonts;
    QHash<char32_t, VerticalChoice> m_choices;
};

// The shared vertical face of a raw font's file (family and style), made on first use and kept for
// the process. The caller holds the font cache lock; `raw` must live as long as the process.
VerticalFace &verticalFace(const QRawFont &raw);

} // namespace platform
