#include "platform/canvas.h"
#include "platform/canvas_p.h"

#include <QPaintDevice>
#include <QPainterPath>

#include <cmath>

namespace platform {

QColor colorFromBgr(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

Canvas::Canvas(QPaintDevice *device)
    : m_ownPainter(std::make_unique<QPainter>(device)), m_painter(m_ownPainter.get()),
      m_dpiX(device->logicalDpiX()), m_dpiY(device->logicalDpiY())
{
    init();
}

Canvas::Canvas(QPaintDevice *device, int dpiX, int dpiY)
    : m_ownPainter(std::make_unique<QPainter>(device)), m_painter(m_ownPainter.get()), m_dpiX(dpiX),
      m_dpiY(dpiY)
{
    init();
}

Canvas::Canvas(QPainter *painter, int dpiX, int dpiY) : m_painter(painter), m_dpiX(dpiX), m_dpiY(dpiY)
{
    init();
}

Canvas::Canvas(int dpiX, int dpiY) : m_dpiX(dpiX), m_dpiY(dpiY)
{
    m_ownImage = std::make_unique<QImage>(1, 1, QImage::Format_ARGB32_Premultiplied);
    m_ownImage->setDotsPerMeterX(static_cast<int>(std::lround(dpiX / 0.0254)));
    m_ownImage->setDotsPerMeterY(static_cast<int>(std::lround(dpiY / 0.0254)));
    m_ownPainter = std::make_unique<QPainter>(m_ownImage.get());
    m_painter = m_ownPainter.get();
    init();
}

Canvas::~Canvas()
{
    end();
}

void Canvas::end()
{
    if (m_ownPainter && m_ownPainter->isActive()) m_ownPainter->end();
}

void Canvas::init()
{
    // Shapes and lines are drawn pixel-exact like the platform they stand in for; text is smoothed.
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    m_painter->setBackgroundMode(Qt::TransparentMode);
    setFont(m_font);
    applyPen();
    applyBrush();
}

void Canvas::setPen(const Pen &pen)
{
    m_pen = pen;
    applyPen();
}

void Canvas::applyPen()
{
    QPen qpen(colorFromBgr(m_pen.color));
    if (m_pen.style == PenStyle::Clear) {
        qpen.setStyle(Qt::NoPen);
    } else if (!m_pen.geometric) {
        if (m_pen.width > 1) {
            // A wide simple pen is solid with round ends whatever its style.
            qpen.setWidth(m_pen.width);
            qpen.setCapStyle(Qt::RoundCap);
            qpen.setJoinStyle(Qt::RoundJoin);
        } else {
            qpen.setWidth(1);
            qpen.setCosmetic(true);
            qpen.setCapStyle(Qt::FlatCap);
            switch (m_pen.style) {
            case PenStyle::Dash:
                qpen.setDashPattern({18, 6});
                break;
            case PenStyle::Dot:
                qpen.setDashPattern({3, 3});
                break;
            case PenStyle::DashDot:
                qpen.setDashPattern({9, 6, 3, 6});
                break;
            case PenStyle::DashDotDot:
                qpen.setDashPattern({9, 3, 3, 3, 3, 3});
                break;
            default:
                break;
            }
        }
    } else {
        const int width = std::max(1, m_pen.width);
        qpen.setWidth(width);
        qpen.setJoinStyle(Qt::MiterJoin);
        switch (m_pen.cap) {
        case PenCap::Square:
            qpen.setCapStyle(Qt::SquareCap);
            break;
        case PenCap::Flat:
            qpen.setCapStyle(Qt::FlatCap);
            break;
        case PenCap::Round:
            qpen.setCapStyle(Qt::RoundCap);
            break;
        }
        switch (m_pen.style) {
        case PenStyle::Dash:
            qpen.setStyle(Qt::DashLine);
            break;
        case PenStyle::Dot:
            qpen.setStyle(Qt::DotLine);
            break;
        case PenStyle::DashDot:
            qpen.setStyle(Qt::DashDotLine);
            break;
        case PenStyle::DashDotDot:
            qpen.setStyle(Qt::DashDotDotLine);
            break;
        case PenStyle::UserPattern:
            if (!m_pen.dashPattern.empty()) {
                // Qt measures dashes in pen widths, the pattern is in pixels.
                QList<qreal> pattern;
                // Qt's dasher drops dashes of length 0; a hundredth of a pixel still gets its caps,
                // so a 0 with round caps paints a dot.
                for (int length : m_pen.dashPattern)
                    pattern.append(std::max(0.01, static_cast<qreal>(length)) / width);
                if (pattern.size() % 2 != 0) pattern.append(pattern);
                qpen.setDashPattern(pattern);
            }
            break;
        default:
            break;
        }
    }
    m_painter->setPen(qpen);
}

void Canvas::setBrush(const Brush &brush)
{
    m_brush = brush;
    applyBrush();
}

void Canvas::applyBrush()
{
    static constexpr Qt::BrushStyle styles[] = {Qt::SolidPattern, Qt::NoBrush,         Qt::HorPattern,
                                                Qt::VerPattern,   Qt::FDiagPattern,    Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
    const auto index = static_cast<size_t>(m_brush.style);
    m_painter->setBrush(
        QBrush(colorFromBgr(m_brush.color), index < std::size(styles) ? styles[index] : Qt::NoBrush));
}

void Canvas::moveTo(int x, int y)
{
    m_penPosition = QPoint(x, y);
}

void Canvas::lineTo(int x, int y)
{
    drawLine(m_penPosition.x(), m_penPosition.y(), x, y);
    m_penPosition = QPoint(x, y);
}

void Canvas::drawLine(int x1, int y1, int x2, int y2)
{
    // Qt's aliased one-pixel lines already leave out the last pixel, as the platform's do.
    if (m_pen.style == PenStyle::Clear) return;
    m_painter->drawLine(x1, y1, x2, y2);
}

void Canvas::polyline(const QPolygon &points)
{
    for (int i = 1; i < points.size(); ++i)
        drawLine(points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
    if (!points.isEmpty()) m_penPosition = points.last();
}

namespace {

// The outline rectangle of a shape covering left … right - 1: a one-pixel pen runs along its
// outermost pixels.
QRectF outline(int left, int top, int right, int bottom)
{
    return QRectF(left, top, right - left - 1, bottom - top - 1);
}

} // namespace

void Canvas::rectangle(int left, int top, int right, int bottom)
{
    if (m_brush.style != BrushStyle::Clear) fillRect(left, top, right, bottom);
    if (m_pen.style != PenStyle::Clear) {
        m_painter->setBrush(Qt::NoBrush);
        m_painter->drawRect(outline(left, top, right, bottom));
        applyBrush();
    }
}

void Canvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    m_painter->drawRoundedRect(outline(left, top, right, bottom), cornerWidth / 2.0, cornerHeight / 2.0);
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    m_painter->drawEllipse(outline(left, top, right, bottom));
}

void Canvas::polygon(const QPolygon &points)
{
    m_painter->drawPolygon(points);
}

void Canvas::fillRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top || m_brush.style == BrushStyle::Clear) return;
    m_painter->fillRect(QRect(left, top, right - left, bottom - top), m_painter->brush());
}

void Canvas::drawImage(const QRect &target, const QImage &image, bool smooth)
{
    if (image.isNull() || target.isEmpty()) return;
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    m_painter->drawImage(target, image);
}

void Canvas::setClipRect(const QRect &rect)
{
    m_painter->setClipRect(rect, Qt::ReplaceClip);
}

void Canvas::setClipRegion(const QRegion &region)
{
    m_painter->setClipRegion(region, Qt::ReplaceClip);
}

void Canvas::intersectClipRect(const QRect &rect)
{
    m_painter->setClipRect(rect, m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void Canvas::clearClip()
{
    m_painter->setClipping(false);
}

bool Canvas::hasClip() const
{
    return m_painter->hasClipping();
}

QRect Canvas::clipBounds() const
{
    return m_painter->hasClipping() ? m_painter->clipBoundingRect().toAlignedRect() : QRect();
}

void Canvas::saveClip()
{
    m_savedHasClip.push_back(m_painter->hasClipping());
    m_savedClips.push_back(m_painter->hasClipping() ? m_painter->clipRegion() : QRegion());
}

void Canvas::restoreClip()
{
    if (m_savedClips.empty()) return;
    if (m_savedHasClip.back())
        m_painter->setClipRegion(m_savedClips.back(), Qt::ReplaceClip);
    else
        m_painter->setClipping(false);
    m_savedClips.pop_back();
    m_savedHasClip.pop_back();
}

} // namespace platform
