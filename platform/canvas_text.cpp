#include "platform/canvas.h"
#include "platform/canvas_p.h"

#include <QGlyphRun>
#include <QTransform>

#include <utility>

namespace platform {

namespace {

// The code point at `index` and the number of UTF-16 units it takes.
std::pair<char32_t, int> codePointAt(QStringView text, qsizetype index)
{
    const QChar unit = text[index];
    if (unit.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(unit, text[index + 1]), 2};
    return {unit.unicode(), 1};
}

// A character as drawn: its glyph (0: a fallback font draws it), upright or along the line, its
// natural advance and, upright, the offset from its vertical to its horizontal origin.
VerticalGlyph glyphOf(const FontEntry &font, char32_t codePoint)
{
    if (font.vertical) return font.verticalGlyph(codePoint);
    VerticalGlyph along;
    along.glyph = font.glyph(codePoint);
    along.advance = font.advance(codePoint);
    return along;
}

} // namespace

void Canvas::setFont(const FontValue &font, int escapementTenths)
{
    m_font = font;
    if (m_printerCanvas && m_font.pixelsPerInch != m_dpiY) {
        const int points = m_font.size();
        m_font.pixelsPerInch = m_dpiY;
        m_font.setSize(points);
    }
    m_escapement = escapementTenths;
    m_entry = &fontEntry(m_font.name, m_font.height, m_font.style);
}

void Canvas::setFontStyle(unsigned style)
{
    if (style == m_font.style) return;
    m_font.style = style;
    m_entry = &fontEntry(m_font.name, m_font.height, m_font.style);
}

const FontEntry &Canvas::entry() const
{
    return *m_entry;
}

TextMetrics Canvas::textMetrics() const
{
    return entry().metrics;
}

void Canvas::textExtents(QStringView text, int *extents) const
{
    const FontEntry &font = entry();
    std::lock_guard lock(fontCacheMutex());
    int sum = 0;
    for (qsizetype i = 0; i < text.size();) {
        const auto [codePoint, units] = codePointAt(text, i);
        sum += font.lineAdvance(codePoint);
        for (int k = 0; k < units; ++k)
            extents[i + k] = sum;
        i += units;
    }
}

int Canvas::textWidth(QStringView text) const
{
    const FontEntry &font = entry();
    std::lock_guard lock(fontCacheMutex());
    int sum = 0;
    for (qsizetype i = 0; i < text.size();) {
        const auto [codePoint, units] = codePointAt(text, i);
        sum += font.lineAdvance(codePoint);
        i += units;
    }
    return sum;
}

std::vector<PlacedGlyph> Canvas::glyphs(QStringView text) const
{
    const FontEntry &font = entry();
    std::vector<PlacedGlyph> result;
    result.reserve(static_cast<size_t>(text.size()));
    std::lock_guard lock(fontCacheMutex());
    for (qsizetype i = 0; i < text.size();) {
        const auto [codePoint, units] = codePointAt(text, i);
        const VerticalGlyph glyph = glyphOf(font, codePoint);
        result.push_back(PlacedGlyph{glyph.glyph, glyph.upright, glyph.substituted, glyph.advance, i, units});
        i += units;
    }
    return result;
}

QRect Canvas::textBounds(int x, int y, QStringView text, const int *advances) const
{
    int width = 0;
    if (advances) {
        for (qsizetype i = 0; i < text.size(); ++i)
            width += advances[i];
    } else {
        width = textWidth(text);
    }
    QTransform transform;
    transform.translate(x, y);
    transform.rotate(-m_escapement / 10.0);
    return transform.mapRect(QRectF(0, 0, width, entry().metrics.height)).toAlignedRect();
}

void Canvas::textOut(int x, int y, QStringView text, const int *advances, unsigned options, const QRect &clip)
{
    drawTextRun(x, y, text, advances, options, clip);
}

namespace {

// The horizontal origin of an upright glyph in the frame turned a quarter counter-clockwise, for a
// place in the line that starts at `position` and is `advance` long: the glyph's vertical origin
// sits in the middle of the cell across the line, at the top of the place along it, the glyph's
// own advance centred in the place.
QPointF uprightOrigin(const FontEntry &font, const VerticalGlyph &glyph, int position, int advance)
{
    return QPointF(-font.metrics.height / 2.0 + glyph.offset.x(),
                   position + (advance - glyph.advance) / 2.0 + glyph.offset.y());
}

int advanceAt(const int *advances, qsizetype index, int units, int natural)
{
    if (!advances) return natural;
    int advance = 0;
    for (int k = 0; k < units; ++k)
        advance += advances[index + k];
    return advance;
}

} // namespace

std::vector<GlyphPlacement> placeGlyphs(const FontEntry &font, QStringView text, const int *advances)
{
    std::vector<GlyphPlacement> placed;
    placed.reserve(static_cast<size_t>(text.size()));
    const int ascent = font.metrics.ascent;
    std::lock_guard lock(fontCacheMutex());
    int position = 0;
    for (qsizetype i = 0; i < text.size();) {
        const auto [codePoint, units] = codePointAt(text, i);
        const VerticalGlyph glyph = glyphOf(font, codePoint);
        const int advance = advanceAt(advances, i, units, glyph.advance);
        placed.push_back(GlyphPlacement{glyph.glyph, glyph.upright, position, advance, glyph.advance,
                                        glyph.upright ? uprightOrigin(font, glyph, position, advance)
                                                      : QPointF(position, ascent),
                                        i, units});
        position += advance;
        i += units;
    }
    return placed;
}

namespace {

// Draws the characters at their advances as runs of the font's own glyphs; false (nothing drawn)
// when a character needs a fallback font or the font is underlined or struck out.
bool drawPlacedGlyphs(QPainter &painter, const FontEntry &font, const QTransform &frame, QStringView text,
                      const int *advances)
{
    // Shaping every character on its own is what makes per-character output slow, above all into
    // PDF; placed glyphs of the font itself go out as a few runs instead. Characters the font lacks
    // (a fallback font would draw them) and decorated fonts take the character-by-character path.
    if (font.font.underline() || font.font.strikeOut()) return false;
    const QRawFont &raw = font.rawFont();
    if (!raw.isValid()) return false;
    // Upright glyphs of a vertical face share the frame turned a quarter counter-clockwise.
    QTransform turned = frame;
    turned.rotate(-90);
    struct Run {
        bool turned = false;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    std::vector<Run> runs;
    for (const GlyphPlacement &glyph : placeGlyphs(font, text, advances)) {
        if (glyph.glyph == 0) return false;
        if (runs.empty() || runs.back().turned != glyph.upright) runs.push_back(Run{glyph.upright, {}, {}});
        runs.back().glyphs.append(glyph.glyph);
        runs.back().positions.append(glyph.origin);
    }
    for (const Run &run : runs) {
        QGlyphRun glyphRun;
        glyphRun.setRawFont(raw);
        glyphRun.setGlyphIndexes(run.glyphs);
        glyphRun.setPositions(run.positions);
        painter.setWorldTransform(run.turned ? turned : frame);
        painter.drawGlyphRun(QPointF(0, 0), glyphRun);
    }
    return true;
}

} // namespace

void Canvas::drawTextRun(int x, int y, QStringView text, const int *advances, unsigned options,
                         const QRect &clip)
{
    if (text.isEmpty()) return;
    const FontEntry &font = entry();
    bool clipped = false;
    if ((options & toClipped) != 0 && !clip.contains(textBounds(x, y, text, advances))) {
        m_painter->save();
        m_painter->setClipRect(clip, m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        clipped = true;
    }
    m_painter->setFont(font.font);
    m_painter->setPen(colorFromBgr(m_font.color));

    const QTransform base = m_painter->worldTransform();
    QTransform frame = base;
    frame.translate(x, y);
    if (m_escapement != 0)
        frame.rotate(-m_escapement / 10.0); // Qt turns clockwise on screen, the escapement counter-clockwise
    m_painter->setWorldTransform(frame);

    const int ascent = font.metrics.ascent;
    if (!advances && !font.vertical) {
        m_painter->setLayoutDirection((options & toRtlReading) != 0 ? Qt::RightToLeft : Qt::LeftToRight);
        m_painter->drawText(QPointF(0, ascent), text.toString());
    } else if (!drawPlacedGlyphs(*m_painter, font, frame, text, advances)) {
        QTransform turned = frame;
        turned.rotate(-90);
        int position = 0;
        for (qsizetype i = 0; i < text.size();) {
            const auto [codePoint, units] = codePointAt(text, i);
            VerticalGlyph glyph;
            {
                std::lock_guard lock(fontCacheMutex());
                glyph = glyphOf(font, codePoint);
            }
            const int advance = advanceAt(advances, i, units, glyph.advance);
            const QString typed = QString::fromRawData(text.data() + i, units);
            if (glyph.upright && glyph.glyph != 0) {
                QGlyphRun glyphRun;
                glyphRun.setRawFont(font.rawFont());
                glyphRun.setGlyphIndexes({glyph.glyph});
                glyphRun.setPositions({uprightOrigin(font, glyph, position, advance)});
                glyphRun.setUnderline(font.font.underline());
                glyphRun.setStrikeOut(font.font.strikeOut());
                m_painter->setWorldTransform(turned);
                m_painter->drawGlyphRun(QPointF(0, 0), glyphRun);
                m_painter->setWorldTransform(frame);
            } else if (glyph.upright) {
                // A fallback font's glyph turns a quarter counter-clockwise about the centre of its cell.
                QTransform centred = frame;
                centred.translate(position + advance / 2.0, font.metrics.height / 2.0);
                centred.rotate(-90);
                m_painter->setWorldTransform(centred);
                m_painter->drawText(QPointF(-glyph.advance / 2.0, (ascent - font.metrics.descent) / 2.0), typed);
                m_painter->setWorldTransform(frame);
            } else {
                m_painter->drawText(QPointF(position, ascent), typed);
            }
            position += advance;
            i += units;
        }
    }
    m_painter->setWorldTransform(base);
    if (clipped) m_painter->restore();
    applyPen();
}

} // namespace platform
