#include "platform/canvas.h"
#include "platform/canvas_p.h"

#include <QGlyphRun>

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Characters of East Asian width W or F, sorted.
constexpr Range fullWidthRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF01, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F202},
    {0x1F210, 0x1F23B}, {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265}, {0x1F300, 0x1F64F},
    {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

// The code point at `index` and the number of UTF-16 units it takes.
std::pair<char32_t, int> codePointAt(QStringView text, qsizetype index)
{
    const QChar unit = text[index];
    if (unit.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(unit, text[index + 1]), 2};
    return {unit.unicode(), 1};
}

} // namespace

bool isFullWidth(char32_t character)
{
    const Range *end = std::end(fullWidthRanges);
    const Range *found =
        std::upper_bound(std::begin(fullWidthRanges), end, character,
                         [](char32_t value, const Range &range) { return value < range.first; });
    return found != std::begin(fullWidthRanges) && character <= (found - 1)->last;
}

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
        sum += font.advance(codePoint);
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
        sum += font.advance(codePoint);
        i += units;
    }
    return sum;
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
    const int ascent = font.metrics.ascent;
    const int cell = font.metrics.height;
    // Upright glyphs of a vertical face share the frame turned a quarter counter-clockwise, where
    // a glyph drawn at the centre of its cell lands at (-natural / 2 - cell / 2, centre along).
    QTransform turned = frame;
    turned.rotate(-90);
    struct Run {
        bool turned = false;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    std::vector<Run> runs;
    {
        std::lock_guard lock(fontCacheMutex());
        int position = 0;
        for (qsizetype i = 0; i < text.size();) {
            const auto [codePoint, units] = codePointAt(text, i);
            const quint32 glyph = font.glyph(codePoint);
            if (glyph == 0) return false;
            const int natural = font.advance(codePoint);
            int advance = natural;
            if (advances) {
                advance = 0;
                for (int k = 0; k < units; ++k)
                    advance += advances[i + k];
            }
            const bool upright = font.vertical && isFullWidth(codePoint);
            if (runs.empty() || runs.back().turned != upright) runs.push_back(Run{upright, {}, {}});
            runs.back().glyphs.append(glyph);
            if (upright)
                runs.back().positions.append(
                    QPointF(-natural / 2.0 - cell / 2.0,
                            position + advance / 2.0 + (ascent - font.metrics.descent) / 2.0));
            else
                runs.back().positions.append(QPointF(position, ascent));
            position += advance;
            i += units;
        }
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
        const int cell = font.metrics.height;
        int position = 0;
        for (qsizetype i = 0; i < text.size();) {
            const auto [codePoint, units] = codePointAt(text, i);
            int natural;
            {
                std::lock_guard lock(fontCacheMutex());
                natural = font.advance(codePoint);
            }
            int advance = natural;
            if (advances) {
                advance = 0;
                for (int k = 0; k < units; ++k)
                    advance += advances[i + k];
            }
            const QString glyph = QString::fromRawData(text.data() + i, units);
            if (font.vertical && isFullWidth(codePoint)) {
                // The glyph turns a quarter counter-clockwise about the centre of its cell.
                QTransform turned = frame;
                turned.translate(position + advance / 2.0, cell / 2.0);
                turned.rotate(-90);
                m_painter->setWorldTransform(turned);
                m_painter->drawText(QPointF(-natural / 2.0, (ascent - font.metrics.descent) / 2.0), glyph);
                m_painter->setWorldTransform(frame);
            } else {
                m_painter->drawText(QPointF(position, ascent), glyph);
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
