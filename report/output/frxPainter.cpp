#include "report/output/frxPainter.h"
#include "report/base/frxPageGeometry.h"

#include "platform/canvas.h"
#include "platform/recordingcanvas.h"
#include "report/engine/frxPreviewPages.h"

#include <QPaintDevice>
#include <utility>

namespace frx {

namespace {

int roundInt(Extended value)
{
    return int(roundHalfEven(value));
}

// Exchanges the left and right margins for the duration of a paint.
class MarginMirror {
public:
    MarginMirror(TfrxReportPage &page, bool active) : m_page(page), m_active(active)
    {
        if (m_active) std::swap(m_page.LeftMargin, m_page.RightMargin);
    }
    ~MarginMirror()
    {
        if (m_active) std::swap(m_page.LeftMargin, m_page.RightMargin);
    }
    MarginMirror(const MarginMirror &) = delete;
    MarginMirror &operator=(const MarginMirror &) = delete;

private:
    TfrxReportPage &m_page;
    bool m_active;
};

class ClipKeeper {
public:
    explicit ClipKeeper(platform::Canvas &canvas) : m_canvas(canvas) { m_canvas.saveClip(); }
    ~ClipKeeper() { m_canvas.restoreClip(); }
    ClipKeeper(const ClipKeeper &) = delete;
    ClipKeeper &operator=(const ClipKeeper &) = delete;

private:
    platform::Canvas &m_canvas;
};

// The part of the device that can show anything: the clip when there is one, else the device.
QRect visibleArea(const platform::Canvas &canvas)
{
    if (canvas.hasClip()) return canvas.clipBounds();
    const QPaintDevice *device = canvas.painter() ? canvas.painter()->device() : nullptr;
    return device ? QRect(0, 0, device->width(), device->height()) : QRect();
}

// Marks the object as being printed (or not) for the duration of its paint.
class PrintingFlag {
public:
    PrintingFlag(TfrxComponent &object, bool printing) : m_object(object), m_saved(object.IsPrinting)
    {
        m_object.IsPrinting = printing;
    }
    ~PrintingFlag() { m_object.IsPrinting = m_saved; }
    PrintingFlag(const PrintingFlag &) = delete;
    PrintingFlag &operator=(const PrintingFlag &) = delete;

private:
    TfrxComponent &m_object;
    bool m_saved;
};

// Outlines an object in red, two pixels wide, on its own bounds.
void markOverflow(platform::Canvas &canvas, TfrxView &view, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                  Extended OffsetY)
{
    const auto bounds = view.GetRealBounds();
    platform::Pen pen;
    pen.width = 2;
    pen.color = 0x0000FF;
    pen.geometric = true;
    canvas.setPen(pen);
    canvas.setBrush(platform::Brush{platform::BrushStyle::Clear, 0});
    canvas.rectangle(roundInt(OffsetX + bounds.left * ScaleX), roundInt(OffsetY + bounds.top * ScaleY),
                     roundInt(OffsetX + bounds.right * ScaleX), roundInt(OffsetY + bounds.bottom * ScaleY));
}

} // namespace

QSize frxPaperSizePixels(const TfrxReportPage &page, int dpi)
{
    const Extended scale = Extended(dpi) / 96;
    const TfrxSizeUnits paper = paperSizeUnits(page);
    return QSize(roundInt(paper.width * scale), roundInt(paper.height * scale));
}

void frxDrawPage(TfrxReportPage &page, platform::Canvas &canvas, Extended ScaleX, Extended ScaleY,
                 Extended OffsetX, Extended OffsetY, const TfrxPageDrawInfo &info)
{
    const bool printer = canvas.isPrinterCanvas();
    // A recording keeps everything: whoever replays it decides what is visible.
    const bool recording = dynamic_cast<platform::RecordingCanvas *>(&canvas) != nullptr;
    MarginMirror mirror(page, page.MirrorMargins && info.Index % 2 == 1);
    const QRect visible = visibleArea(canvas);
    ClipKeeper clip(canvas);
    if (!printer) canvas.intersectClipRect(paperRectPixels(page, ScaleX, ScaleY, OffsetX, OffsetY));

    if (!page.BackPicture.isNull() && page.BackPictureVisible && (!printer || page.BackPicturePrintable))
        canvas.drawImage(marginRectPixels(page, ScaleX, ScaleY, OffsetX, OffsetY), page.BackPicture, true);
    // The preview background stands for the pre-printed paper itself: the whole sheet, no margins.
    if (!printer && info.PreviewBackground && !page.PreviewBackground.isNull())
        canvas.drawImage(paperRectPixels(page, ScaleX, ScaleY, OffsetX, OffsetY), page.PreviewBackground, true);

    // The margins were swapped above for a mirrored page.
    OffsetX = marginOriginX(page, false, ScaleX, OffsetX);
    OffsetY = marginOriginY(page, ScaleY, OffsetY);
    // A copy: an object that widens itself realigns its band while the walk goes on.
    const QList<TfrxComponent *> objects = page.AllObjects();
    for (TfrxComponent *object : objects) {
        auto *view = dynamic_cast<TfrxView *>(object);
        if (!view || !view->Visible() || (printer && !view->Printable)) continue;
        if (!recording) {
            const auto bounds = view->GetRealBounds();
            const QRect box(QPoint(roundInt(OffsetX + bounds.left * ScaleX) - 20,
                                   roundInt(OffsetY + bounds.top * ScaleY) - 20),
                            QPoint(roundInt(OffsetX + bounds.right * ScaleX) + 20,
                                   roundInt(OffsetY + bounds.bottom * ScaleY) + 20));
            if (!box.normalized().intersects(visible)) continue;
        }
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(view)) {
            memo->TotalPages = info.TotalPages;
            memo->CopyNo = info.CopyNo;
            memo->PrintScale = info.PrintScale;
        }
        PrintingFlag printing(*view, printer);
        view->Draw(canvas, ScaleX, ScaleY, OffsetX, OffsetY);
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(view);
            memo && !printer && info.MarkOverflow && memo->TextOverflows())
            markOverflow(canvas, *memo, ScaleX, ScaleY, OffsetX, OffsetY);
    }
}

QList<TfrxCustomMemoView *> frxOverflowingMemos(TfrxReportPage &page)
{
    QList<TfrxCustomMemoView *> result;
    for (TfrxComponent *object : page.AllObjects())
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object);
            memo && memo->Visible() && memo->TextOverflows())
            result.append(memo);
    return result;
}

void frxDrawPage(TfrxPreviewPages &pages, int index, platform::Canvas &canvas, Extended ScaleX,
                 Extended ScaleY, Extended OffsetX, Extended OffsetY, const TfrxPageDrawInfo &screen)
{
    TfrxReportPage *page = index >= 0 && index < pages.Count() ? pages.Page(index) : nullptr;
    if (!page) return;
    TfrxPageDrawInfo info;
    info.Index = index;
    info.TotalPages = pages.Count();
    info.CopyNo = pages.CopyNo;
    info.PrintScale = pages.PrintScale;
    info.PreviewBackground = screen.PreviewBackground;
    info.MarkOverflow = screen.MarkOverflow;
    frxDrawPage(*page, canvas, ScaleX, ScaleY, OffsetX, OffsetY, info);
}

} // namespace frx
