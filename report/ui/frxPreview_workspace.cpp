// A pane of pages: painting the pages near the top of the view, scrolling, panning with the mouse,
// the wheel and the keys, all passed on to the preview control.
#include "report/ui/frxPreview.h"

#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/ui/errorguard.h"
#include "report/output/frxPainter.h"
#include "report/base/frxUtils.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace frx {

namespace {

constexpr int kPaintWindow = 40;  // pages painted before and after the page at the top of the view
constexpr int kPicturesKept = 16; // drawn pages kept for repainting
// All kept pictures together stay under this many pixels (64 MB); a page larger than a quarter of it
// at the current zoom is drawn part by part as it comes into view and not kept, so that memory does
// not grow with the zoom.
constexpr qint64 kPictureBudgetPixels = 16 * 1024 * 1024;
constexpr qint64 kWholePictureLimitPixels = kPictureBudgetPixels / 4;

qint64 pixelsOf(const QSize &size) { return qint64(size.width()) * size.height(); }
constexpr int kLineStep = 8;
constexpr int kPageStep = 300;

} // namespace

TfrxPreviewWorkspace::TfrxPreviewWorkspace(TfrxPreview *preview, bool thumbnail, QWidget *parent)
    : QAbstractScrollArea(parent), IsThumbnail(thumbnail), m_preview(preview)
{
    setObjectName(thumbnail ? QStringLiteral("Thumbnail") : QStringLiteral("Workspace"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(thumbnail ? Qt::ClickFocus : Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(!thumbnail);
    for (QScrollBar *bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(kLineStep);
        bar->setPageStep(kPageStep);
    }
    if (thumbnail) Zoom = 0.1L;
}

int TfrxPreviewWorkspace::AvailableWidth() const
{
    return width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) - 26;
}

void TfrxPreviewWorkspace::UpdateScrollRange()
{
    const QSize bounds = PageList.Bounds();
    horizontalScrollBar()->setRange(0, std::max(0, bounds.width() - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, bounds.height() - viewport()->height()));
}

QRect TfrxPreviewWorkspace::ViewRect(int index) const
{
    return PageList.PageRect(index, AvailableWidth(), Zoom, RightToLeft, viewport()->width())
        .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

int TfrxPreviewWorkspace::PageAt(const QPoint &viewportPoint) const
{
    const int x = viewportPoint.x() + horizontalScrollBar()->value();
    const int y = viewportPoint.y() + verticalScrollBar()->value();
    if (!RightToLeft) return PageList.FindPage(y, x);
    // Mirrored rows: test the rectangles as placed.
    const int near = PageList.FindPage(y);
    for (int i = std::max(0, near - 20); i <= std::min(PageList.Count() - 1, near + 20); ++i)
        if (ViewRect(i).contains(viewportPoint)) return i;
    return -1;
}

int TfrxPreviewWorkspace::TopPage() const
{
    return PageList.FindPage(verticalScrollBar()->value());
}

void TfrxPreviewWorkspace::SetHighlight(int pageIndex, const QRect &rect)
{
    m_highlightPage = pageIndex;
    m_highlight = rect;
    viewport()->update();
}

QImage TfrxPreviewWorkspace::picture(int index, const QRect &rect)
{
    auto found = m_pictures.find(index);
    if (found != m_pictures.end() && found->size() == rect.size()) {
        m_pictureOrder.removeOne(index);
        m_pictureOrder.append(index);
        return *found;
    }
    QImage image(rect.size(), QImage::Format_RGB32);
    drawInto(image, index, 0, 0);
    // A page still being produced grows: keep only finished ones.
    const bool growing = m_preview->Working() && index >= m_pages->Count() - 1;
    if (growing) {
        m_pictures.remove(index);
        m_pictureOrder.removeOne(index);
        return image;
    }
    m_pictures.remove(index);
    m_pictureOrder.removeOne(index);
    while (!m_pictureOrder.isEmpty() &&
           (m_pictureOrder.size() >= kPicturesKept ||
            CachedPixels() + pixelsOf(image.size()) > kPictureBudgetPixels))
        m_pictures.remove(m_pictureOrder.takeFirst());
    m_pictureOrder.append(index);
    m_pictures.insert(index, image);
    return image;
}

void TfrxPreviewWorkspace::drawInto(QImage &image, int index, int offsetX, int offsetY)
{
    image.fill(Qt::white);
    try {
        platform::Canvas canvas(&image, 96, 96);
        // On screen only: the paper picture behind the page and the marks of overflowing texts.
        TfrxPageDrawInfo screen;
        screen.PreviewBackground = m_preview->PreviewBackgroundVisible();
        screen.MarkOverflow = true;
        frxDrawPage(*m_pages, index, canvas, Zoom, Zoom, offsetX, offsetY, screen);
    } catch (const platform::Error &) {
        // A page that cannot be read back stays blank; the next layout tries again.
    }
}

void TfrxPreviewWorkspace::paintPart(QPainter &painter, int index, const QRect &rect, const QRect &part)
{
    if (part.isEmpty()) return;
    QImage image(part.size(), QImage::Format_RGB32);
    drawInto(image, index, rect.left() - part.left(), rect.top() - part.top());
    painter.drawImage(part.topLeft(), image);
}

qint64 TfrxPreviewWorkspace::CachedPixels() const
{
    qint64 pixels = 0;
    for (const QImage &image : m_pictures)
        pixels += pixelsOf(image.size());
    return pixels;
}

void TfrxPreviewWorkspace::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QColor back = platform::colorFromBgr(BackColor);
    if (Frozen || !m_pages || PageList.Count() == 0) {
        painter.fillRect(event->rect(), back);
        return;
    }
    const int top = std::max(0, TopPage());
    const int first = std::max(0, top - kPaintWindow);
    const int last = std::min(PageList.Count() - 1, top + kPaintWindow);
    QRegion background(event->rect());
    for (int i = first; i <= last; ++i)
        background -= ViewRect(i);
    for (const QRect &r : background)
        painter.fillRect(r, back);

    for (int i = first; i <= last; ++i) {
        const QRect rect = ViewRect(i);
        if (!rect.intersects(event->rect()) || rect.isEmpty()) continue;
        if (i < m_pages->Count() && pixelsOf(rect.size()) > kWholePictureLimitPixels)
            paintPart(painter, i, rect, rect.intersected(event->rect()));
        else if (i < m_pages->Count())
            painter.drawImage(rect.topLeft(), picture(i, rect));
        else
            painter.fillRect(rect, Qt::white);
        const bool active = IsThumbnail && i == PageNo - 1;
        painter.setPen(platform::colorFromBgr(active ? ActiveFrameColor : FrameColor));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        if (active) painter.drawRect(rect.adjusted(1, 1, -2, -2));
        if (IsThumbnail) {
            QFont font(QStringLiteral("Arial"));
            font.setPointSize(8);
            painter.setFont(font);
            const QString number = QStringLiteral(" %1 ").arg(i + 1);
            const QFontMetrics metrics(font);
            const QRect label(rect.left() + 1, rect.top() + 1, metrics.horizontalAdvance(number),
                              metrics.height());
            painter.fillRect(label, back);
            painter.setPen(Qt::white);
            painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, number);
        }
        if (i == m_highlightPage && !m_highlight.isEmpty()) {
            const QRect hit(rect.left() + int(roundHalfEven(m_highlight.left() * Zoom)) - 1,
                            rect.top() + int(roundHalfEven(m_highlight.top() * Zoom)),
                            int(roundHalfEven(m_highlight.width() * Zoom)) + 2,
                            int(roundHalfEven(m_highlight.height() * Zoom)));
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(hit, Qt::white);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
}

void TfrxPreviewWorkspace::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    platform::guard(m_preview, [this] {
        if (!IsThumbnail)
            m_preview->Rebuild();
        else
            UpdateScrollRange();
    });
}

void TfrxPreviewWorkspace::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !Frozen && PageAt(event->position().toPoint()) >= 0) {
        m_dragging = true;
        m_moved = false;
        m_lastPos = event->globalPosition().toPoint();
        m_pressPos = m_lastPos;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void TfrxPreviewWorkspace::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        const QPoint now = event->globalPosition().toPoint();
        const QPoint delta = now - m_lastPos;
        m_lastPos = now;
        if ((now - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) m_moved = true;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
        return;
    }
    if (!IsThumbnail && event->buttons() == Qt::NoButton)
        platform::guard(m_preview, [&] { m_preview->WorkspaceMouseMove(this, event->position().toPoint()); });
}

void TfrxPreviewWorkspace::mouseReleaseEvent(QMouseEvent *event)
{
    const bool panned = m_dragging && m_moved;
    m_dragging = false;
    if (panned) return;
    // Two clicks within the double-click time make one double click.
    const bool doubleClick =
        m_lastClick.isValid() && m_lastClick.elapsed() <= QApplication::doubleClickInterval();
    if (doubleClick)
        m_lastClick.invalidate();
    else
        m_lastClick.start();
    platform::guard(m_preview, [&] {
        m_preview->WorkspaceClick(this, event->position().toPoint(), event->button(), doubleClick);
    });
}

void TfrxPreviewWorkspace::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!IsThumbnail && m_preview->OnDblClick) platform::guard(m_preview, m_preview->OnDblClick);
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void TfrxPreviewWorkspace::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    platform::guard(m_preview, [&] { m_preview->MouseWheel(delta > 0, event->modifiers() & Qt::ControlModifier); });
    event->accept();
}

void TfrxPreviewWorkspace::keyPressEvent(QKeyEvent *event)
{
    // A key that fails has been handled: its error was shown.
    bool used = true;
    if (!IsThumbnail)
        platform::guard(m_preview, [&] { used = m_preview->KeyDown(event->key(), event->modifiers()); });
    else
        used = false;
    event->setAccepted(used);
}

void TfrxPreviewWorkspace::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
    platform::guard(m_preview, [this] { m_preview->WorkspaceScrolled(this); });
}

} // namespace frx
