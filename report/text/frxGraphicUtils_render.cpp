#include "report/text/frxGraphicUtils.h"

#include "platform/codepage.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace frx {

namespace {

constexpr Extended layoutPerScreen =
    Extended(TfrxDrawText::LayoutResolution) / TfrxDrawText::ScreenResolution;

int roundInt(Extended value)
{
    return int(roundHalfEven(value));
}

struct Direction {
    Extended sin;
    Extended cos;
};

// Exact for the right angles, so that axis-aligned text never drifts by a rounding.
Direction direction(int degrees)
{
    switch (degrees) {
    case 0:
        return {0, 1};
    case 90:
        return {1, 0};
    case 180:
        return {0, -1};
    case 270:
        return {-1, 0};
    default: {
        const Extended radians = degrees * std::numbers::pi_v<Extended> / 180;
        return {std::sin(radians), std::cos(radians)};
    }
    }
}

// Distributes `units` single units of `sign` over entries[first … last] by halving the range:
// the first half gets units div 2, the second the rest.
void spread(int *entries, int first, int last, int units, int sign)
{
    if (units <= 0 || last < first) return;
    if (first == last) {
        entries[first] += units * sign;
        return;
    }
    const int half = std::max(1, (last - first + 1) / 2);
    if (units == 1) {
        entries[first + half - 1] += sign;
        return;
    }
    spread(entries, first, first + half - 1, units / 2, sign);
    spread(entries, first + half, last, units - units / 2, sign);
}

// Spreads `excess` over `count` entries: every entry first takes |excess| div count when the
// excess is at least that large, the rest goes by the halving rule.
void spreadOver(int *entries, int count, int excess)
{
    if (count <= 0 || excess == 0) return;
    const int sign = excess < 0 ? -1 : 1;
    int units = std::abs(excess);
    if (units >= count) {
        const int each = units / count;
        for (int i = 0; i < count; ++i)
            entries[i] += each * sign;
        units -= each * count;
    }
    spread(entries, 0, count - 1, units, sign);
}

} // namespace

platform::FontValue TfrxDrawText::targetFont(const platform::Canvas &canvas, const TfrxHTMLTag &tag) const
{
    platform::FontValue font = m_font;
    font.style = tag.FontStyle;
    font.color = tag.FontColor;
    if (canvas.isPrinterCanvas()) {
        const int dpiY = canvas.dpiY() > 0 ? canvas.dpiY() : ScreenResolution;
        font.height = -roundInt(Extended(dpiY) * tag.FontSize * m_printScale / 72);
        font.pixelsPerInch = dpiY;
    } else {
        font.height = -roundInt(tag.FontSize * m_scaleY * ScreenResolution / 72);
        font.pixelsPerInch = canvas.dpiY();
    }
    return font;
}

void TfrxDrawText::Render(platform::Canvas &canvas, TfrxHAlign HAlign, TfrxVAlign VAlign)
{
    if (m_lines.isEmpty()) return;
    std::lock_guard guard(m_lock);
    const int n = int(m_lines.size());
    TfrxHTMLTag base;
    base.FontSize = m_fontSize;
    base.FontStyle = m_font.style;
    base.FontColor = m_font.color;
    const TfrxHTMLTag &firstTag = m_tags.Items(0).front();
    const platform::FontValue startFont = targetFont(canvas, firstTag.SameAsPrevious ? base : firstTag);

    // Line steps and the block height at the layout resolution.
    const int h = -startFont.height;
    const int m = measuringHeight();
    const int lineGap = roundInt(m_lineSpacing * m_scaleY);
    int blockHeight;
    if (canvas.isPrinterCanvas()) {
        const int dpiY = canvas.dpiY() > 0 ? canvas.dpiY() : ScreenResolution;
        const Extended f = Extended(LayoutResolution) / dpiY / m_printScale;
        blockHeight = roundInt((m_lineSpacing * m_scaleY * f * n + Extended(m) * n) / f);
    } else {
        blockHeight =
            roundInt((m_lineSpacing * layoutPerScreen * n + Extended(m) * n) / layoutPerScreen * m_scaleY);
    }
    std::vector<int> steps(size_t(n), lineGap + h);
    if (m_wysiwyg && n > 1) {
        // Stretch or squeeze the steps by whole pixels so the block keeps its layout height.
        const int excess = blockHeight - n * (h + lineGap);
        const int sign = excess < 0 ? -1 : 1;
        int units = std::abs(excess);
        if (units >= n) {
            const int each = units / (n - 1);
            for (int i = 0; i < n - 1; ++i)
                steps[size_t(i)] += each * sign;
            units -= each * (n - 1);
        }
        spread(steps.data(), 0, n - 2, units, sign);
    }

    // Origin of the first line, line length and the room across the lines.
    const TfrxDeviceRect &r = m_outputRect;
    const int theta = m_rotation;
    const Direction dir = direction(theta);
    int x = 0;
    int y = 0;
    int lineLength = 0;
    int room = 0;
    switch (theta) {
    case 0:
        x = r.Left, y = r.Top, lineLength = r.Right - r.Left, room = r.Bottom - r.Top;
        break;
    case 90:
        x = r.Left, y = r.Bottom, lineLength = r.Bottom - r.Top, room = r.Right - r.Left;
        break;
    case 180:
        x = r.Right, y = r.Bottom, lineLength = r.Right - r.Left, room = r.Bottom - r.Top;
        break;
    case 270:
        x = r.Right, y = r.Top, lineLength = r.Bottom - r.Top, room = r.Right - r.Left;
        break;
    default: {
        const Extended S = std::fabs(dir.sin);
        const Extended C = std::fabs(dir.cos);
        lineLength = roundInt((r.Right - r.Left - S * blockHeight) / C);
        const Extended T = blockHeight;
        if (theta < 90) {
            x = r.Left;
            y = roundInt(S * lineLength) + r.Top;
            room = roundInt(T + r.Bottom - y - roundInt(C * T));
        } else if (theta < 180) {
            y = r.Bottom;
            x = roundInt(C * lineLength) + r.Left;
            room = roundInt(T + r.Bottom - r.Top - roundInt(C * T + S * lineLength));
        } else if (theta < 270) {
            x = r.Right;
            y = r.Bottom - roundInt(S * lineLength);
            room = roundInt(T + y - r.Top - roundInt(C * T));
        } else {
            y = r.Top;
            x = roundInt(S * T) + r.Left;
            room = roundInt(T + r.Bottom - r.Top - roundInt(S * lineLength + C * T));
        }
        break;
    }
    }
    if (VAlign != vaTop) {
        const Extended shift = Extended(room - blockHeight) / (VAlign == vaBottom ? 1 : 2);
        if (theta % 90 == 0) {
            x += roundInt(shift * dir.sin);
            y += roundInt(shift * dir.cos);
        } else if (theta < 90 || theta > 270) {
            y += roundInt(shift);
        } else {
            y -= roundInt(shift);
        }
    }

    for (int i = 0; i < n; ++i) {
        const int mark = m_marks[size_t(i)];
        const int indent = ((mark & 1) != 0 && (HAlign == haLeft || HAlign == haBlock))
                               ? roundInt(m_paragraphGap * m_scaleX)
                               : 0;
        TfrxHAlign align = HAlign;
        if ((mark & 2) != 0 && HAlign == haBlock) align = m_rtlReading ? haRight : haLeft;
        drawLine(canvas, i, x + indent, y, lineLength - indent, align);
        y += roundInt(steps[size_t(i)] * dir.cos);
        x += roundInt(steps[size_t(i)] * dir.sin);
    }
    m_measuringCanvas.setFontStyle(m_font.style);
}

void TfrxDrawText::drawLine(platform::Canvas &canvas, int index, int x, int y, int length, TfrxHAlign align)
{
    const QString *linePtr = &m_lines[index];
    const TfrxHTMLTags *tagsPtr = &m_tags.Items(index);
    if (m_font.charset != 1 && !m_useDefaulCharset) {
        // Drawn as the code page of the font's character set has it; a character it cannot hold
        // shows as "?" and keeps the attributes of the character it stands for.
        const int codePage = platform::codePageOfCharset(m_font.charset);
        if (codePage != 0 && platform::hasCodePage(codePage)) {
            m_codePageLine = platform::throughCodePage(codePage, *linePtr, &m_codePageSources);
            m_codePageTags.clear();
            for (const int source : m_codePageSources)
                m_codePageTags.push_back((*tagsPtr)[size_t(source)]);
            linePtr = &m_codePageLine;
            tagsPtr = &m_codePageTags;
        }
    }
    const QString &line = *linePtr;
    const TfrxHTMLTags &tags = *tagsPtr;
    const unsigned outputOptions = m_outputOptions | (linePtr == &m_codePageLine ? platform::toCodePageText : 0u);
    const int count = int(line.size());
    const Direction dir = direction(m_rotation);
    TfrxHTMLTag base;
    base.FontSize = m_fontSize;
    base.FontStyle = m_font.style;
    base.FontColor = m_font.color;

    // Width at the layout resolution and the natural advances on the target.
    const int spacing600 = roundInt(m_charSpacing * layoutPerScreen);
    const int width600 = measure(m_measuringCanvas, line, tags.data(), spacing600, false) - spacing600;
    const int spacing = roundInt(m_charSpacing * m_scaleX);
    canvas.setFont(targetFont(canvas, base));
    const int natural = measure(canvas, line, tags.data(), spacing, false);
    if (qsizetype(m_advances.size()) < count) m_advances.resize(size_t(count));
    int *advances = m_advances.data();
    std::copy(m_widths.begin(), m_widths.begin() + count, advances);

    int target;
    if (canvas.isPrinterCanvas()) {
        const int dpiX = canvas.dpiX() > 0 ? canvas.dpiX() : ScreenResolution;
        target = roundInt(Extended(width600) * m_printScale * dpiX / LayoutResolution);
    } else {
        target = roundInt(width600 / layoutPerScreen * m_scaleX);
    }
    if (!m_wysiwyg) target = natural - spacing;

    int spaces = 0;
    for (QChar c : line)
        spaces += (c == QLatin1Char(' ') || c == QChar(0)) ? 1 : 0;
    if (align == haBlock && spaces == 0) align = haLeft;

    const int free = length - target;
    if (align == haRight) {
        x += roundInt((free + 1) * dir.cos) - 1;
        y -= roundInt((free + 1) * dir.sin);
        if (m_rotation == 0 && (m_font.style & (platform::fsBold | platform::fsItalic)) != 0) x -= 1;
    } else if (align == haCenter) {
        x += roundInt(Extended(free) / 2 * dir.cos);
        y -= roundInt(Extended(free) / 2 * dir.sin);
    }

    if (m_wysiwyg) {
        if (align == haBlock) {
            // Justified: the spaces take up the free length.
            const int excess = std::abs(length) + spacing - natural;
            const int each = excess / spaces;
            int extra = excess % spaces;
            const int sign = extra < 0 ? -1 : 1;
            for (int i = 0; i < count; ++i) {
                if (line[i] != QLatin1Char(' ') && line[i] != QChar(0)) continue;
                advances[i] += each;
                if (extra != 0) {
                    advances[i] += sign;
                    extra -= sign;
                }
            }
        } else {
            spreadOver(advances, count, target + spacing - natural);
        }
    }

    const QRect clip(m_outputRect.Left, m_outputRect.Top, m_outputRect.Width(), m_outputRect.Height());
    const int escapement = m_rotation * 10;
    for (int start = 0; start < count;) {
        int end = start + 1;
        while (end < count && tags[size_t(end)].SameAsPrevious)
            ++end;
        const TfrxHTMLTag &tag = tags[size_t(start)];
        canvas.setFont(targetFont(canvas, tag), escapement);
        const int lowered = roundInt(tag.Lowered * tag.FontSize * m_scaleY);
        canvas.textOut(x + roundInt(lowered * dir.sin), y + roundInt(lowered * dir.cos),
                       QStringView(line).mid(start, end - start), m_wysiwyg ? advances + start : nullptr,
                       outputOptions, clip);
        int advance = 0;
        for (int i = start; i < end; ++i)
            advance += advances[i];
        x += roundInt(advance * dir.cos);
        y -= roundInt(advance * dir.sin);
        start = end;
    }
}

} // namespace frx
