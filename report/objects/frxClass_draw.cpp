// Painting of views: the paint geometry, the background with its hatches, the drop shadow and the
// frame with every line style and the rules that close its corners.
#include "report/objects/frxClass.h"
#include "report/objects/frxClass_draw_p.h"

#include <cstdlib>

namespace frx {

using paint::roundInt;
using paint::thickLine;

namespace {

platform::Pen cosmeticPen(platform::PenStyle style, int color)
{
    platform::Pen pen;
    pen.style = style;
    pen.color = color;
    return pen;
}

platform::Pen geometricPen(int width, int color, platform::PenCap cap)
{
    platform::Pen pen;
    pen.width = width;
    pen.color = color;
    pen.geometric = true;
    pen.cap = cap;
    return pen;
}

platform::PenStyle dashStyle(TfrxFrameStyle style)
{
    switch (style) {
    case fsDash:
        return platform::PenStyle::Dash;
    case fsDot:
        return platform::PenStyle::Dot;
    case fsDashDot:
        return platform::PenStyle::DashDot;
    case fsDashDotDot:
        return platform::PenStyle::DashDotDot;
    default:
        return platform::PenStyle::Solid;
    }
}

// One line of the frame's width dashed as the screen shows it at 96 dpi (`scale` device pixels per
// screen pixel); dots get round ends and keep their rhythm.
platform::Pen strokedDashPen(TfrxFrameStyle style, int width, int color, double scale)
{
    platform::Pen pen = geometricPen(std::max(width, 1), color, platform::PenCap::Flat);
    pen.style = platform::PenStyle::UserPattern;
    std::vector<double> screen;
    switch (style) {
    case fsDash: screen = {18, 6}; break;
    case fsDot: screen = {3, 3}; break;
    case fsDashDot: screen = {9, 6, 3, 6}; break;
    default: screen = {9, 3, 3, 3, 3, 3}; break;
    }
    for (size_t i = 0; i < screen.size(); ++i) {
        double length = screen[i] * scale;
        if (style == fsDot) length += i % 2 == 0 ? -pen.width : pen.width;
        pen.dashPattern.push_back(std::max(0, int(std::lround(length))));
    }
    if (style == fsDot) pen.cap = platform::PenCap::Round;
    return pen;
}

} // namespace

void paint::thickLine(platform::Canvas &canvas, int x1, int y1, int x2, int y2, int width)
{
    width = std::max(width, 1);
    const bool horizontal = std::abs(x2 - x1) > std::abs(y2 - y1);
    for (int offset = -(width / 2); offset <= (width - 1) / 2; ++offset) {
        if (horizontal)
            canvas.drawLine(x1, y1 + offset, x2, y2 + offset);
        else
            canvas.drawLine(x1 + offset, y1, x2 + offset, y2);
    }
}

void TfrxReportComponent::Draw(platform::Canvas &, Extended, Extended, Extended, Extended) {}

TfrxView::PaintGeometry TfrxView::GeometryAt(Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                             Extended OffsetY) const
{
    PaintGeometry g;
    g.ScaleX = ScaleX;
    g.ScaleY = ScaleY;
    g.OffsetX = OffsetX;
    g.OffsetY = OffsetY;
    const Extended left = AbsLeft();
    const Extended top = AbsTop();
    g.X = roundInt(OffsetX + left * ScaleX);
    g.Y = roundInt(OffsetY + top * ScaleY);
    g.X1 = roundInt(OffsetX + (left + Width()) * ScaleX);
    g.Y1 = roundInt(OffsetY + (top + Height()) * ScaleY);
    if (m_frame.DropShadow) {
        // The shadow lies inside the object's box.
        g.X1 -= roundInt(m_frame.ShadowWidth * ScaleX);
        g.Y1 -= roundInt(m_frame.ShadowWidth * ScaleY);
    }
    g.DX = g.X1 - g.X;
    g.DY = g.Y1 - g.Y;
    g.FrameWidth = roundInt(m_frame.Width() * ScaleX);
    return g;
}

void TfrxView::PrepareDrawing(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                              Extended OffsetY)
{
    m_paint = GeometryAt(ScaleX, ScaleY, OffsetX, OffsetY);
    m_paint.Canvas = &canvas;
}

void TfrxView::Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                    Extended OffsetY)
{
    PrepareDrawing(canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    PaintBackground();
    PaintFrame();
}

void TfrxView::PaintBackground()
{
    platform::Canvas &canvas = *m_paint.Canvas;
    const PaintGeometry &g = m_paint;
    if (Color != clTransparent && BrushStyle != bsClear) {
        canvas.setBrush({platform::BrushStyle::Solid, Color});
        canvas.fillRect(g.X, g.Y, g.X1, g.Y1);
    }
    if (BrushStyle >= bsHorizontal) {
        canvas.setBrush({platform::BrushStyle(BrushStyle), m_frame.Color()});
        canvas.fillRect(g.X, g.Y, g.X1 + 1, g.Y1 + 1);
    }
}

void TfrxView::PaintFrame()
{
    platform::Canvas &canvas = *m_paint.Canvas;
    const PaintGeometry &g = m_paint;
    if (m_frame.DropShadow) {
        canvas.setPen(cosmeticPen(platform::PenStyle::Solid, m_frame.ShadowColor));
        const int w = roundInt(m_frame.ShadowWidth * g.ScaleX);
        thickLine(canvas, g.X1 + w / 2, g.Y + w, g.X1 + w / 2, g.Y1, w);
        const int h = roundInt(m_frame.ShadowWidth * g.ScaleY);
        thickLine(canvas, g.X + h, g.Y1 + h / 2, g.X1 + h, g.Y1 + h / 2, h);
    }
    const TfrxFrameTypes typ = m_frame.Typ;
    if (typ == 0 || m_frame.Color() == clTransparent || m_frame.Width() == 0) return;

    const bool left = typ & ftLeft, right = typ & ftRight, top = typ & ftTop, bottom = typ & ftBottom;
    // Dashed one-pixel pens leave out their last pixel and a two-pixel one sits half a pixel off, so
    // the left side starts higher and the bottom side runs further for those to meet at the corners.
    auto cornerFix = [&](const TfrxFrameLine &line, int width) {
        return line.Style != fsSolid && roundInt(line.Width * g.ScaleX) == width;
    };
    if (left) {
        const int y = cornerFix(m_frame.LeftLine, 2) ? g.Y - 1 : g.Y;
        PaintFrameLine(m_frame.LeftLine, g.X, y, g.X, g.Y1, top, bottom, true);
    }
    if (right) PaintFrameLine(m_frame.RightLine, g.X1, g.Y, g.X1, g.Y1, top, bottom, false);
    if (top) PaintFrameLine(m_frame.TopLine, g.X, g.Y, g.X1, g.Y, left, right, true);
    if (bottom) {
        const int x = cornerFix(m_frame.BottomLine, 1) ? g.X1 + 1 : g.X1;
        PaintFrameLine(m_frame.BottomLine, g.X, g.Y1, x, g.Y1, left, right, false);
    }
}

void TfrxView::PaintFrameLine(const TfrxFrameLine &line, int x1, int y1, int x2, int y2, bool startJoined,
                              bool endJoined, bool outsideIsNegative)
{
    platform::Canvas &canvas = *m_paint.Canvas;
    const int w = roundInt(line.Width * m_paint.ScaleX);
    const bool horizontal = std::abs(x2 - x1) > std::abs(y2 - y1);
    // Moves the start (or end) of a stroke along the side by `delta` pixels, positive outwards.
    auto stretch = [horizontal](int &a1, int &b1, int &a2, int &b2, int startDelta, int endDelta) {
        if (horizontal) {
            a1 -= startDelta;
            a2 += endDelta;
        } else {
            b1 -= startDelta;
            b2 += endDelta;
        }
    };

    switch (line.Style) {
    case fsSolid:
    case fsDouble: {
        // The square end caps reach half the width beyond each end: pull back the free ends.
        const int half = w / 2;
        stretch(x1, y1, x2, y2, startJoined ? 0 : -half, endJoined ? 0 : -half);
        if (line.Style == fsSolid) {
            canvas.setPen(geometricPen(w, line.Color, platform::PenCap::Square));
            canvas.drawLine(x1, y1, x2, y2);
            break;
        }
        // Three bands across the side: outer and inner in the line colour, the middle in Color.
        // Where a neighbour joins, the outer band runs on by w and the inner one stops w short.
        for (int band = -1; band <= 1; ++band) {
            const int offset = band * w;
            int ax = x1, ay = y1, bx = x2, by = y2;
            if (horizontal) {
                ay += offset;
                by += offset;
            } else {
                ax += offset;
                bx += offset;
            }
            const bool outside = band != 0 && ((band < 0) == outsideIsNegative);
            const bool inside = band != 0 && !outside;
            const int joinDelta = outside ? w : inside ? -w : 0;
            stretch(ax, ay, bx, by, startJoined ? joinDelta : 0, endJoined ? joinDelta : 0);
            int color = line.Color;
            if (band == 0) {
                if (Color == clTransparent) continue;
                color = Color;
            }
            canvas.setPen(geometricPen(w, color, platform::PenCap::Square));
            canvas.drawLine(ax, ay, bx, by);
        }
        break;
    }
    case fsDash:
    case fsDot:
    case fsDashDot:
    case fsDashDotDot:
        if (canvas.isVectorTarget()) {
            canvas.setPen(strokedDashPen(line.Style, w, line.Color, canvas.dpiX() / 96.0));
            canvas.drawLine(x1, y1, x2, y2);
            break;
        }
        canvas.setPen(cosmeticPen(dashStyle(line.Style), line.Color));
        thickLine(canvas, x1, y1, x2, y2, w);
        break;
    case fsAltDot:
    case fsSquare: {
        if (Color != clTransparent) {
            canvas.setPen(cosmeticPen(platform::PenStyle::Solid, Color));
            thickLine(canvas, x1, y1, x2, y2, w);
        }
        platform::Pen pen = geometricPen(std::max(w, 1), line.Color, platform::PenCap::Flat);
        pen.style = platform::PenStyle::UserPattern;
        if (w <= 1) {
            pen.dashPattern = {1, 1};
        } else if (line.Style == fsSquare) {
            pen.dashPattern = {w, w};
        } else {
            pen.dashPattern = {0, 2 * w};
            pen.cap = platform::PenCap::Round;
        }
        canvas.setPen(pen);
        canvas.drawLine(x1, y1, x2, y2);
        break;
    }
    }
}

} // namespace frx
