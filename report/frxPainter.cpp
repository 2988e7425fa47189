#include "report/frxPainter.h"
#include "report/frxPageGeometry.h"

#include "platform/canvas.h"
#include "platform/recordingcanvas.h"
#include "report/frxPreviewPages.h"

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
    }
}

void frxDrawPage(TfrxPreviewPages &pages, int index, platform::Canvas &canvas, Extended ScaleX,
                 Extended ScaleY, Extended OffsetX, Extended OffsetY)
{
    TfrxReportPage *page = index >= 0 && index < pages.Count() ? pages.Page(index) : nullptr;
    if (!page) return;
    TfrxPageDrawInfo info;
    info.Index = index;
    info.TotalPages = pages.Count();
    info.CopyNo = pages.CopyNo;
    info.PrintScale = pages.PrintScale;
    frxDrawPage(*page, canvas, ScaleX, ScaleY, OffsetX, OffsetY, info);
}

} // namespace frx
