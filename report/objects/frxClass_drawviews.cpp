// Painting of lines with their arrow heads, of shapes and of pictures.
#include "report/objects/frxClass.h"
#include "report/objects/frxClass_draw_p.h"

#include <algorithm>
#include <cmath>

namespace frx {

using paint::roundInt;
using paint::thickLine;

namespace {

platform::PenStyle penStyleOf(TfrxFrameStyle style)
{
    switch (style) {
    case fsDash:
        return platform::PenStyle::Dash;
    case fsDot:
    case fsAltDot:
        return platform::PenStyle::Dot;
    case fsDashDot:
        return platform::PenStyle::DashDot;
    case fsDashDotDot:
        return platform::PenStyle::DashDotDot;
    default:
        return platform::PenStyle::Solid;
    }
}

// The outline pen of a figure: the frame's colour and style at the frame pixel width; a clear pen
// when the frame has no colour or no width.
platform::Pen outlinePen(const TfrxFrame &frame, int width)
{
    platform::Pen pen;
    if (frame.Color() == clTransparent || frame.Width() == 0) {
        pen.style = platform::PenStyle::Clear;
        return pen;
    }
    pen.color = frame.Color();
    pen.style = penStyleOf(frame.Style());
    pen.width = std::max(width, 1);
    pen.geometric = width > 1;
    return pen;
}

} // namespace

void TfrxCustomLineView::Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                              Extended OffsetY)
{
    const bool vertical = !Diagonal && Width() <= Height();
    if (!Diagonal) {
        if (vertical)
            SetWidth(0);
        else
            SetHeight(0);
    }
    PrepareDrawing(canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    const PaintGeometry &g = m_paint;
    const TfrxFrame &frame = Frame();
    if (frame.Color() == clTransparent || frame.Width() == 0) return;

    int x1 = g.X, y1 = g.Y, x2 = g.X1, y2 = g.Y1;
    if (Diagonal) {
        canvas.setPen(outlinePen(frame, g.FrameWidth));
        canvas.drawLine(x1, y1, x2, y2);
    } else if (vertical) {
        x2 = x1;
        PaintFrameLine(frame.LeftLine, x1, y1, x2, y2, false, false, true);
    } else {
        y2 = y1;
        PaintFrameLine(frame.TopLine, x1, y1, x2, y2, false, false, true);
    }
    if (!ArrowStart && !ArrowEnd) return;

    // An arrow head with its tip at the end point, ArrowLength long and 2 x ArrowWidth wide.
    const Extended length = ArrowLength * ScaleX;
    const Extended halfWidth = ArrowWidth * ScaleX;
    auto head = [&](int fromX, int fromY, int tipX, int tipY) {
        const Extended dx = tipX - fromX, dy = tipY - fromY;
        const Extended norm = std::sqrt(dx * dx + dy * dy);
        if (norm == 0) return;
        const Extended ux = dx / norm, uy = dy / norm;
        const Extended baseX = tipX - ux * length, baseY = tipY - uy * length;
        const QPoint side1(roundInt(baseX - uy * halfWidth), roundInt(baseY + ux * halfWidth));
        const QPoint side2(roundInt(baseX + uy * halfWidth), roundInt(baseY - ux * halfWidth));
        const QPoint tip(tipX, tipY);
        if (ArrowSolid) {
            platform::Pen pen;
            pen.color = frame.Color();
            canvas.setPen(pen);
            canvas.setBrush({platform::BrushStyle::Solid, frame.Color()});
            canvas.polygon(QPolygon({side1, tip, side2}));
        } else {
            canvas.setPen(outlinePen(frame, g.FrameWidth));
            canvas.polyline(QPolygon({side1, tip, side2}));
        }
    };
    if (ArrowEnd) head(x1, y1, x2, y2);
    if (ArrowStart) head(x2, y2, x1, y1);
}

void TfrxShapeView::Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                         Extended OffsetY)
{
    PrepareDrawing(canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    const PaintGeometry &g = m_paint;
    if (Color == clTransparent || BrushStyle == bsClear)
        canvas.setBrush({platform::BrushStyle::Clear, 0});
    else
        canvas.setBrush({platform::BrushStyle(BrushStyle), Color});
    canvas.setPen(outlinePen(Frame(), g.FrameWidth));

    // Figures cover X … X1 and Y … Y1 inclusive, like the frame sides drawn at X1 and Y1.
    const int right = g.X1 + 1, bottom = g.Y1 + 1;
    const int midX = (g.X + g.X1) / 2, midY = (g.Y + g.Y1) / 2;
    switch (Shape) {
    case skRectangle:
        canvas.rectangle(g.X, g.Y, right, bottom);
        break;
    case skRoundRectangle: {
        const int corner = Curve == 0 ? std::min(g.DX, g.DY) / 4 : roundInt(Curve * ScaleX * 10);
        canvas.roundRect(g.X, g.Y, right, bottom, corner, corner);
        break;
    }
    case skEllipse:
        canvas.ellipse(g.X, g.Y, right, bottom);
        break;
    case skTriangle:
        canvas.polygon(QPolygon({QPoint(g.X, g.Y1), QPoint(midX, g.Y), QPoint(g.X1, g.Y1)}));
        break;
    case skDiamond:
        canvas.polygon(
            QPolygon({QPoint(midX, g.Y), QPoint(g.X1, midY), QPoint(midX, g.Y1), QPoint(g.X, midY)}));
        break;
    case skDiagonal1:
    case skDiagonal2: {
        platform::Pen pen = outlinePen(Frame(), 1);
        canvas.setPen(pen);
        if (pen.style == platform::PenStyle::Clear) break;
        if (Shape == skDiagonal1)
            thickLine(canvas, g.X, g.Y1, g.X1, g.Y, g.FrameWidth);
        else
            thickLine(canvas, g.X, g.Y, g.X1, g.Y1, g.FrameWidth);
        break;
    }
    }
}

QRect TfrxPictureView::PictureRect() const
{
    const PaintGeometry &g = m_paint;
    const QRect box(g.X, g.Y, g.DX, g.DY);
    if (Picture.isNull()) return box;
    const int imageWidth = Picture.width(), imageHeight = Picture.height();
    int width = box.width(), height = box.height();
    if (!Stretched) {
        width = roundInt(imageWidth * g.ScaleX);
        height = roundInt(imageHeight * g.ScaleY);
    } else if (KeepAspectRatio) {
        const Extended ratio =
            std::min(Extended(box.width()) / imageWidth, Extended(box.height()) / imageHeight);
        width = roundInt(imageWidth * ratio);
        height = roundInt(imageHeight * ratio);
    }
    if (!Center) return QRect(box.x(), box.y(), width, height);
    return QRect(box.x() + (box.width() - width) / 2, box.y() + (box.height() - height) / 2, width, height);
}

void TfrxPictureView::Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                           Extended OffsetY)
{
    PrepareDrawing(canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    PaintBackground();
    if (!Picture.isNull() && m_paint.DX > 0 && m_paint.DY > 0) {
        canvas.saveClip();
        canvas.intersectClipRect(QRect(m_paint.X, m_paint.Y, m_paint.DX, m_paint.DY));
        canvas.drawImage(PictureRect(), Picture, true);
        canvas.restoreClip();
    }
    PaintFrame();
}

} // namespace frx
