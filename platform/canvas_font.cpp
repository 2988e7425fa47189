#include "platform/canvas_p.h"
#include "platform/fontsubstitution.h"
#include "platform/verticalforms.h"

#include <cmath>
#include <unordered_map>

namespace platform {

namespace {

struct FontKey {
    QString face;
    int height;
    unsigned style;
    bool operator==(const FontKey &other) const = default;
};

struct FontKeyHash {
    size_t operator()(const FontKey &key) const noexcept
    {
        return qHashMulti(0, key.face, key.height, key.style);
    }
};

QFont makeFont(const QString &face, int pixelSize, unsigned style)
{
    QFont font(familyForFace(face));
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold((style & fsBold) != 0);
    font.setItalic((style & fsItalic) != 0);
    font.setUnderline((style & fsUnderline) != 0);
    font.setStrikeOut((style & fsStrikeOut) != 0);
    // Extents are sums of single-character advances; kerning in drawing would disagree with them.
    font.setKerning(false);
    return font;
}

} // namespace

FontEntry::FontEntry(const QString &face, int height, unsigned style)
    : font(makeFont(face, height < 0 ? -height : (height == 0 ? 16 : height), style)), m_metrics(font)
{
    vertical = isVerticalFace(face);
    if (height > 0) {
        // A positive height asks for the cell height: scale the character height to fit it.
        const int cell = std::max(1, m_metrics.ascent() + m_metrics.descent());
        const int character = static_cast<int>(std::lround(static_cast<double>(height) * height / cell));
        font = makeFont(face, character, style);
        m_metrics = QFontMetrics(font);
    }
    em = font.pixelSize();
    metrics.ascent = m_metrics.ascent();
    metrics.descent = m_metrics.descent();
    metrics.height = metrics.ascent + metrics.descent;
    metrics.internalLeading = std::max(0, metrics.height - em);
}

int FontEntry::advance(char32_t codePoint) const
{
    auto found = m_advances.constFind(codePoint);
    if (found != m_advances.constEnd()) return *found;
    int width;
    if (codePoint < 0x10000) {
        width = m_metrics.horizontalAdvance(QChar(static_cast<char16_t>(codePoint)));
    } else {
        const char32_t units[1] = {codePoint};
        width = m_metrics.horizontalAdvance(QString::fromUcs4(units, 1));
    }
    m_advances.insert(codePoint, width);
    return width;
}

const QRawFont &FontEntry::rawFont() const
{
    if (!m_rawLoaded) {
        m_raw = QRawFont::fromFont(font);
        m_rawLoaded = true;
    }
    return m_raw;
}

quint32 FontEntry::glyph(char32_t codePoint) const
{
    auto found = m_glyphs.constFind(codePoint);
    if (found != m_glyphs.constEnd()) return *found;
    quint32 index = 0;
    const QRawFont &raw = rawFont();
    if (raw.isValid() && raw.supportsCharacter(codePoint)) {
        const char32_t units[1] = {codePoint};
        const QList<quint32> indexes = raw.glyphIndexesForString(QString::fromUcs4(units, 1));
        if (indexes.size() == 1) index = indexes.front();
    }
    m_glyphs.insert(codePoint, index);
    return index;
}

const VerticalGlyph &FontEntry::verticalGlyph(char32_t codePoint) const
{
    auto found = m_verticalGlyphs.constFind(codePoint);
    if (found != m_verticalGlyphs.constEnd()) return *found;
    VerticalGlyph result;
    const QRawFont &raw = rawFont();
    if (raw.isValid() && glyph(codePoint) != 0) {
        VerticalFace &face = verticalFace(raw);
        const VerticalChoice &choice = face.choice(codePoint);
        const double scale = static_cast<double>(em) / face.unitsPerEm();
        result.glyph = choice.glyph;
        result.upright = choice.upright;
        result.substituted = choice.substituted;
        // A replaced glyph takes its own vertical advance; the character's own glyph keeps the
        // advance it has in horizontal text, so that columns of ideographs measure as before.
        result.advance = choice.substituted ? static_cast<int>(std::lround(choice.verticalAdvance * scale))
                                            : advance(codePoint);
        result.offset = QPointF(-choice.originX * scale, choice.originY * scale);
    } else {
        const VerticalOrientation orientation = verticalOrientation(codePoint);
        result.upright =
            orientation == VerticalOrientation::Upright || orientation == VerticalOrientation::TransformedUpright;
        result.advance = advance(codePoint);
    }
    return *m_verticalGlyphs.insert(codePoint, result);
}

std::mutex &fontCacheMutex()
{
    static std::mutex mutex;
    return mutex;
}

const FontEntry &fontEntry(const QString &face, int height, unsigned style)
{
    static std::unordered_map<FontKey, std::unique_ptr<FontEntry>, FontKeyHash> cache;
    installFontSubstitutions();
    std::lock_guard lock(fontCacheMutex());
    FontKey key{face, height, style & (fsBold | fsItalic | fsUnderline | fsStrikeOut)};
    auto found = cache.find(key);
    if (found != cache.end()) return *found->second;
    auto entry = std::make_unique<FontEntry>(face, height, key.style);
    const FontEntry &result = *entry;
    cache.emplace(std::move(key), std::move(entry));
    return result;
}

} // namespace platform
