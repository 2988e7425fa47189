#include "platform/pdfcanvas.h"
#include "platform/canvas_p.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <cmath>

namespace platform {

namespace {

// Qt draws aliased strokes through the middle of the pixel a coordinate names.
constexpr double kPixelCentre = 0.5;
// A synthesised oblique leans as FreeType's does; a synthesised bold grows by a 24th of the em.
constexpr double kObliqueShear = 0x366A / 65536.0;
constexpr double kBoldStroke = 1.0 / 24;

// The dash lengths of a pen in pixels, as the painter canvas draws them with Qt (empty: solid).
std::vector<double> dashesOf(const Pen &pen, double width)
{
    if (!pen.geometric) {
        if (pen.width > 1) return {}; // a wide simple pen is solid
        switch (pen.style) {
        case PenStyle::Dash: return {18, 6};
        case PenStyle::Dot: return {3, 3};
        case PenStyle::DashDot: return {9, 6, 3, 6};
        case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
        default: return {};
        }
    }
    std::vector<double> units;
    switch (pen.style) {
    case PenStyle::Dash: units = {4, 2}; break;
    case PenStyle::Dot: units = {1, 2}; break;
    case PenStyle::DashDot: units = {4, 2, 1, 2}; break;
    case PenStyle::DashDotDot: units = {4, 2, 1, 2, 1, 2}; break;
    case PenStyle::UserPattern:
        for (int length : pen.dashPattern)
            units.push_back(std::max(0.01, double(length)) / width);
        if (units.size() % 2 != 0) units.insert(units.end(), units.begin(), units.end());
        break;
    default: break;
    }
    for (double &unit : units)
        unit *= width;
    return units;
}

// A 0x00BBGGRR colour as the three PDF components followed by its operator.
void appendRgb(QByteArray &out, int color, const char *op)
{
    pdfAppendNumber(out, (color & 0xFF) / 255.0, 3);
    out += ' ';
    pdfAppendNumber(out, ((color >> 8) & 0xFF) / 255.0, 3);
    out += ' ';
    pdfAppendNumber(out, ((color >> 16) & 0xFF) / 255.0, 3);
    out += op;
}

} // namespace

PdfCanvas::PdfCanvas(PdfDocument &document, int dpi)
    : Canvas(dpi, dpi), m_document(document), m_pixelToPoint(72.0 / dpi)
{
}

void PdfCanvas::beginPage(QSizeF size)
{
    m_pageSize = size;
    m_content.clear();
    m_resources = {};
    m_links.clear();
    m_jpegs.clear();
    m_saved.clear();
    m_clipOpen = false;
    m_clipDirty = false;
    // The page is the visible area: nothing outside it shows.
    m_hasClip = true;
    m_clip = QRegion(0, 0, int(std::ceil(size.width() / m_pixelToPoint)),
                     int(std::ceil(size.height() / m_pixelToPoint)));
    forgetState();
    // Device pixels from the top left corner, y downward.
    append(m_pixelToPoint);
    m_content += " 0 0 ";
    append(-m_pixelToPoint);
    m_content += " 0 ";
    append(size.height());
    m_content += " cm\n";
}

void PdfCanvas::addLink(const QRect &area, const QString &url)
{
    const QRectF points(area.x() * m_pixelToPoint, area.y() * m_pixelToPoint, area.width() * m_pixelToPoint,
                        area.height() * m_pixelToPoint);
    m_links.push_back(PdfLink{points, url, 0, 0});
}

void PdfCanvas::addLink(const QRect &area, int page, int top)
{
    addLink(area, QString());
    m_links.back().page = page;
    m_links.back().top = top * m_pixelToPoint;
}

void PdfCanvas::endPage()
{
    if (m_clipOpen) m_content += "Q\n";
    m_document.addPage(m_pageSize, m_content, m_resources, m_links);
    m_content.clear();
}

void PdfCanvas::append(double value)
{
    pdfAppendNumber(m_content, value);
}

void PdfCanvas::forgetState()
{
    m_fill = m_stroke = -1;
    m_lineState.clear();
}

void PdfCanvas::fillColor(int color)
{
    if (color == m_fill) return;
    m_fill = color;
    appendRgb(m_content, color, " rg\n");
}

void PdfCanvas::strokeColor(int color)
{
    if (color == m_stroke) return;
    m_stroke = color;
    appendRgb(m_content, color, " RG\n");
}

void PdfCanvas::applyPenState()
{
    const Pen &p = pen();
    strokeColor(p.color);
    // The same pens as on the screen: a simple pen is one pixel with the platform's dashes, or wider
    // and solid with round ends; a geometric pen has its width, caps and dashes.
    double width = 1;
    int cap = 0, join = 0;
    if (!p.geometric && p.width > 1) {
        width = p.width;
        cap = join = 1;
    } else if (p.geometric) {
        width = std::max(1, p.width);
        cap = p.cap == PenCap::Square ? 2 : p.cap == PenCap::Round ? 1 : 0;
    }
    QByteArray state;
    pdfAppendNumber(state, width);
    state += " w " + QByteArray::number(cap) + " J " + QByteArray::number(join) + " j [";
    const std::vector<double> dashes = dashesOf(p, width);
    for (size_t i = 0; i < dashes.size(); ++i) {
        if (i > 0) state += ' ';
        pdfAppendNumber(state, dashes[i]);
    }
    state += "] 0 d\n";
    if (state == m_lineState) return;
    m_lineState = state;
    m_content += state;
}

bool PdfCanvas::applyBrushFill()
{
    const Brush &b = brush();
    if (b.style == BrushStyle::Clear) return false;
    if (b.style == BrushStyle::Solid) {
        fillColor(b.color);
        return true;
    }
    // Hatches as on the screen at 96 dots per inch: a line every eight pixels.
    const double pixel = dpiX() / 96.0;
    // Patterns are placed in the page's own units, which may be larger than points.
    const double unit = pdfUserUnit(m_pageSize);
    const int pattern = m_document.hatch(int(b.style), b.color, 8 * pixel, pixel, m_pixelToPoint / unit,
                                         m_pageSize.height() / unit);
    m_resources.patterns.insert(pattern);
    m_content += "/Pattern cs /P" + QByteArray::number(pattern) + " scn\n";
    m_fill = -1;
    return true;
}

// ---- clipping ----

void PdfCanvas::changeClip(bool has, const QRegion &region)
{
    if (has == m_hasClip && (!has || region == m_clip)) return;
    m_hasClip = has;
    m_clip = has ? region : QRegion();
    m_clipDirty = true;
}

void PdfCanvas::flushClip()
{
    // A clip in PDF only narrows; a wider one starts again from the state saved before the last.
    if (!m_clipDirty) return;
    m_clipDirty = false;
    if (m_clipOpen) {
        m_content += "Q\n";
        forgetState();
        m_clipOpen = false;
    }
    if (!m_hasClip) return;
    m_content += "q\n";
    if (m_clip.isEmpty()) m_content += "0 0 0 0 re\n";
    for (const QRect &rect : m_clip) {
        append(rect.x());
        m_content += ' ';
        append(rect.y());
        m_content += ' ';
        append(rect.width());
        m_content += ' ';
        append(rect.height());
        m_content += " re\n";
    }
    m_content += "W n\n";
    m_clipOpen = true;
}

void PdfCanvas::setClipRect(const QRect &rect)
{
    changeClip(true, QRegion(rect));
}

void PdfCanvas::setClipRegion(const QRegion &region)
{
    changeClip(true, region);
}

void PdfCanvas::intersectClipRect(const QRect &rect)
{
    changeClip(true, m_hasClip ? m_clip.intersected(rect) : QRegion(rect));
}

void PdfCanvas::clearClip()
{
    changeClip(false, QRegion());
}

void PdfCanvas::saveClip()
{
    m_saved.emplace_back(m_hasClip, m_clip);
}

void PdfCanvas::restoreClip()
{
    if (m_saved.empty()) return;
    const auto [has, region] = m_saved.back();
    m_saved.pop_back();
    changeClip(has, region);
}

// ---- shapes ----

void PdfCanvas::drawLine(int x1, int y1, int x2, int y2)
{
    if (pen().style == PenStyle::Clear) return;
    flushClip();
    applyPenState();
    append(x1 + kPixelCentre);
    m_content += ' ';
    append(y1 + kPixelCentre);
    m_content += " m ";
    append(x2 + kPixelCentre);
    m_content += ' ';
    append(y2 + kPixelCentre);
    m_content += " l S\n";
}

void PdfCanvas::fillRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top) return;
    flushClip();
    if (!applyBrushFill()) return;
    append(left);
    m_content += ' ';
    append(top);
    m_content += ' ';
    append(right - left);
    m_content += ' ';
    append(bottom - top);
    m_content += " re f\n";
}

void PdfCanvas::rectangle(int left, int top, int right, int bottom)
{
    fillRect(left, top, right, bottom);
    if (pen().style == PenStyle::Clear) return;
    flushClip();
    applyPenState();
    append(left + kPixelCentre);
    m_content += ' ';
    append(top + kPixelCentre);
    m_content += ' ';
    append(right - left - 1);
    m_content += ' ';
    append(bottom - top - 1);
    m_content += " re S\n";
}

void PdfCanvas::appendPath(const QPainterPath &path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        append(element.x);
        m_content += ' ';
        append(element.y);
        if (element.isMoveTo()) {
            m_content += " m\n";
        } else if (element.isLineTo()) {
            m_content += " l\n";
        } else {
            for (int k = 1; k <= 2; ++k) {
                m_content += ' ';
                append(path.elementAt(i + k).x);
                m_content += ' ';
                append(path.elementAt(i + k).y);
            }
            m_content += " c\n";
            i += 2;
        }
    }
}

void PdfCanvas::paintPath(const QPainterPath &path, bool evenOdd)
{
    flushClip();
    const bool stroke = pen().style != PenStyle::Clear;
    const bool fill = applyBrushFill();
    if (!stroke && !fill) return;
    if (stroke) applyPenState();
    appendPath(path);
    if (fill && stroke)
        m_content += evenOdd ? "b*\n" : "b\n";
    else if (fill)
        m_content += evenOdd ? "f*\n" : "f\n";
    else
        m_content += "s\n";
}

void PdfCanvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(left + kPixelCentre, top + kPixelCentre, right - left - 1, bottom - top - 1),
                        cornerWidth / 2.0, cornerHeight / 2.0);
    paintPath(path, false);
}

void PdfCanvas::ellipse(int left, int top, int right, int bottom)
{
    QPainterPath path;
    path.addEllipse(QRectF(left + kPixelCentre, top + kPixelCentre, right - left - 1, bottom - top - 1));
    paintPath(path, false);
}

void PdfCanvas::polygon(const QPolygon &points)
{
    if (points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(QPolygonF(points).translated(kPixelCentre, kPixelCentre));
    path.closeSubpath();
    paintPath(path, true);
}

void PdfCanvas::drawImage(const QRect &target, const QImage &image, bool smooth)
{
    if (image.isNull() || target.isEmpty()) return;
    flushClip();
    const int number = m_document.image(image, m_jpegs.value(image.cacheKey()));
    m_resources.images.insert(number);
    m_content += "q ";
    append(target.width());
    m_content += " 0 0 ";
    append(-target.height());
    m_content += ' ';
    append(target.x());
    m_content += ' ';
    append(target.y() + target.height());
    m_content += " cm /I" + QByteArray::number(number) + " Do Q\n";
}

// ---- text ----

int PdfCanvas::fontNumber(const FontEntry &font)
{
    auto found = m_fonts.constFind(&font);
    if (found == m_fonts.constEnd()) found = m_fonts.insert(&font, m_document.font(font.rawFont()));
    return *found;
}

const PdfCanvas::Fallback &PdfCanvas::fallback(const FontEntry &font, QStringView typed)
{
    const QPair<const FontEntry *, QString> key(&font, typed.toString());
    auto found = m_fallbacks.constFind(key);
    if (found != m_fallbacks.constEnd()) return *found;
    // The font that Qt's own text drawing would pick for a character this font lacks.
    Fallback result;
    QTextLayout layout(key.second, font.font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (!runs.isEmpty() && !runs.front().glyphIndexes().isEmpty()) {
        result.raw = runs.front().rawFont();
        result.glyph = runs.front().glyphIndexes().front();
        result.number = m_document.font(result.raw);
    }
    return *m_fallbacks.insert(key, result);
}

void PdfCanvas::beginText()
{
    if (m_inText) return;
    m_content += "BT\n";
    m_inText = true;
    m_textFont = -1;
}

void PdfCanvas::endText()
{
    if (!m_inText) return;
    m_content += "ET\n";
    m_inText = false;
}

void PdfCanvas::selectTextFont(int number)
{
    // The font stays selected up to the end of the text object.
    if (number == m_textFont) return;
    m_textFont = number;
    m_resources.fonts.insert(number);
    m_content += "/F";
    m_content += QByteArray::number(number);
    m_content += " 1 Tf ";
}

void PdfCanvas::appendTextMatrix(const QTransform &matrix)
{
    // The glyphs of a column share their size and turn: those four numbers are written once.
    const std::array<double, 4> linear{matrix.m11(), matrix.m12(), matrix.m21(), matrix.m22()};
    if (linear != m_textLinear) {
        m_textLinear = linear;
        m_textLinearText.clear();
        for (double value : linear) {
            pdfAppendNumber(m_textLinearText, value, 3);
            m_textLinearText += ' ';
        }
    }
    m_content += m_textLinearText;
    append(matrix.dx());
    m_content += ' ';
    append(matrix.dy());
    m_content += " Tm ";
}

void PdfCanvas::appendGlyphCode(quint32 code)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const char text[6] = {'<', hex[(code >> 12) & 0xF], hex[(code >> 8) & 0xF], hex[(code >> 4) & 0xF],
                          hex[code & 0xF], '>'};
    m_content.append(text, sizeof text);
}

void PdfCanvas::showGlyph(int number, const QRawFont &raw, const QTransform &matrix, quint32 glyph,
                          QStringView typed, bool bold)
{
    PdfFont &font = m_document.fontAt(number);
    if (font.hasOutlines()) {
        font.use(glyph, typed);
        beginText();
        selectTextFont(number);
        appendTextMatrix(matrix);
        appendGlyphCode(font.code(glyph));
        m_content += " Tj\n";
        return;
    }
    endText();
    drawGlyphShape(raw, glyph, typed, QTransform::fromScale(1 / raw.pixelSize(), -1 / raw.pixelSize()) * matrix, bold);
    // Over the shape, the characters as invisible text in a face that has outlines, so that they
    // read back and can be found.
    if (!m_readBack.isValid()) {
        QFont face(QStringLiteral("DejaVu Sans"));
        face.setPixelSize(100);
        m_readBack = QRawFont::fromFont(face);
        m_readBackFont = m_readBack.isValid() ? m_document.font(m_readBack) : -1;
    }
    if (m_readBackFont < 0 || !m_document.fontAt(m_readBackFont).hasOutlines()) return;
    quint32 stand = m_readBack.glyphIndexesForString(typed.toString()).value(0);
    if (stand == 0) stand = m_readBack.glyphIndexesForString(QStringLiteral(" ")).value(0);
    PdfFont &reader = m_document.fontAt(m_readBackFont);
    reader.use(stand, typed);
    beginText();
    m_content += "3 Tr ";
    selectTextFont(m_readBackFont);
    appendTextMatrix(matrix);
    appendGlyphCode(reader.code(stand));
    m_content += bold ? " Tj 2 Tr\n" : " Tj 0 Tr\n";
}

void PdfCanvas::drawGlyphShape(const QRawFont &raw, quint32 glyph, QStringView typed, const QTransform &pixelMatrix,
                               bool bold)
{
    // A face without a program for PDF: its outline as a path (Type 1 and bitmap faces have one
    // through FreeType), a colour glyph as its picture.
    const QPainterPath path = raw.pathForGlyph(glyph);
    if (!path.isEmpty()) {
        appendPath(pixelMatrix.map(path));
        m_content += bold ? "B\n" : "f\n";
        return;
    }
    // A colour glyph is painted as Qt paints it on the screen, in its cell at the face's size.
    QFont face(raw.familyName());
    face.setPixelSize(std::max(1, qRound(raw.pixelSize())));
    const QFontMetricsF metrics(face);
    const QRectF box = QRectF(0, -metrics.ascent(), metrics.horizontalAdvance(typed.toString()), metrics.height())
                           .toAlignedRect();
    if (box.isEmpty()) return;
    QImage picture(box.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setFont(face);
        painter.drawText(-box.topLeft(), typed.toString());
    }
    const int number = m_document.image(picture);
    m_resources.images.insert(number);
    const QTransform place = QTransform(box.width(), 0, 0, -box.height(), box.x(), box.bottom()) * pixelMatrix;
    m_content += "q ";
    for (double value : {place.m11(), place.m12(), place.m21(), place.m22(), place.dx(), place.dy()}) {
        pdfAppendNumber(m_content, value, 4);
        m_content += ' ';
    }
    m_content += "cm /I" + QByteArray::number(number) + " Do Q\n";
}

void PdfCanvas::textOut(int x, int y, QStringView text, const int *advances, unsigned options, const QRect &clip)
{
    if (text.isEmpty()) return;
    const FontEntry &font = entry();
    const QRawFont &raw = font.rawFont();
    if (!raw.isValid()) return;
    flushClip();
    const bool clipped = (options & toClipped) != 0 && !clip.contains(textBounds(x, y, text, advances));
    if (clipped) {
        m_content += "q ";
        append(clip.x());
        m_content += ' ';
        append(clip.y());
        m_content += ' ';
        append(clip.width());
        m_content += ' ';
        append(clip.height());
        m_content += " re W n\n";
    }

    QTransform frame;
    frame.translate(x, y);
    if (escapement() != 0) frame.rotate(-escapement() / 10.0);
    QTransform turned = frame;
    turned.rotate(-90);
    const double size = raw.pixelSize();
    const int own = fontNumber(font);
    PdfFont &ownFont = m_document.fontAt(own);
    // What the face lacks of the style asked for is synthesised as Qt does on the screen.
    const bool oblique = font.font.style() != QFont::StyleNormal && !ownFont.isItalic();
    const bool bold = font.font.weight() >= QFont::Bold && !ownFont.isBold();
    // Glyph space (y upward, one unit per em) in the line's frame at a horizontal origin.
    const auto glyphMatrix = [&](double emSize, QPointF origin, const QTransform &in) {
        return QTransform(emSize, 0, oblique ? kObliqueShear * emSize : 0, -emSize, origin.x(), origin.y()) * in;
    };

    const std::vector<GlyphPlacement> placed = placeGlyphs(font, text, advances);
    // Glyphs placed one by one (a column, or drawn as shapes) are read back as the text typed.
    bool single = !ownFont.hasOutlines();
    for (const GlyphPlacement &glyph : placed)
        single = single || glyph.upright || glyph.glyph == 0;
    if (single) m_content += "/Span<</ActualText " + pdfTextString(text.toString()) + ">>BDC\n";

    const int color = Canvas::font().color;
    fillColor(color);
    if (bold) {
        // Outlines stroked as well as filled grow by the width of the stroke.
        strokeColor(color);
        m_content += "2 Tr ";
        pdfAppendNumber(m_content, kBoldStroke * size, 3);
        m_content += " w\n";
        m_lineState.clear();
    }
    int width = 0;
    for (size_t i = 0; i < placed.size();) {
        const GlyphPlacement &first = placed[i];
        width = first.position + first.advance;
        const QStringView typed = text.mid(first.typedStart, first.typedLength);
        if (first.glyph == 0) {
            const Fallback &other = fallback(font, typed);
            ++i;
            if (other.glyph == 0 || !other.raw.isValid()) continue;
            const double otherSize = other.raw.pixelSize();
            QTransform in = frame;
            QPointF origin = first.origin;
            if (first.upright) {
                // A fallback font's glyph turns a quarter counter-clockwise about the centre of its cell.
                in.translate(first.position + first.advance / 2.0, font.metrics.height / 2.0);
                in.rotate(-90);
                origin = QPointF(-first.naturalAdvance / 2.0, (font.metrics.ascent - font.metrics.descent) / 2.0);
            }
            showGlyph(other.number, other.raw, glyphMatrix(otherSize, origin, in), other.glyph, typed, bold);
            continue;
        }
        if (first.upright || !ownFont.hasOutlines()) {
            showGlyph(own, raw, glyphMatrix(size, first.origin, first.upright ? turned : frame), first.glyph, typed,
                      bold);
            ++i;
            continue;
        }
        // A run of glyphs along the line: one position, then each glyph's advance as the layout has it.
        beginText();
        selectTextFont(own);
        appendTextMatrix(glyphMatrix(size, first.origin, frame));
        m_content += '[';
        for (; i < placed.size() && placed[i].glyph != 0 && !placed[i].upright; ++i) {
            const GlyphPlacement &glyph = placed[i];
            ownFont.use(glyph.glyph, text.mid(glyph.typedStart, glyph.typedLength));
            appendGlyphCode(ownFont.code(glyph.glyph));
            const double adjustment = ownFont.width(glyph.glyph) - glyph.advance * 1000.0 / size;
            if (std::abs(adjustment) >= 0.05) pdfAppendNumber(m_content, adjustment, 1);
            width = glyph.position + glyph.advance;
        }
        m_content += "] TJ\n";
    }
    if (bold) m_content += "0 Tr\n";
    endText();

    if (font.font.underline() || font.font.strikeOut()) {
        // The lines under and through the text, as Qt draws them for the font.
        const double thickness = std::max(1.0, raw.lineThickness());
        std::vector<double> positions;
        if (font.font.underline()) positions.push_back(font.metrics.ascent + raw.underlinePosition());
        if (font.font.strikeOut()) positions.push_back(font.metrics.ascent - raw.xHeight() / 2);
        m_content += "q ";
        for (double value : {frame.m11(), frame.m12(), frame.m21(), frame.m22(), frame.dx(), frame.dy()}) {
            pdfAppendNumber(m_content, value, 4);
            m_content += ' ';
        }
        m_content += "cm\n";
        for (double position : positions) {
            append(0);
            m_content += ' ';
            append(position - thickness / 2);
            m_content += ' ';
            append(width);
            m_content += ' ';
            append(thickness);
            m_content += " re f\n";
        }
        m_content += "Q\n";
    }
    if (single) m_content += "EMC\n";
    if (clipped) {
        m_content += "Q\n";
        forgetState();
    }
}

} // namespace platform
