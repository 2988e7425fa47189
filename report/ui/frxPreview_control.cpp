// The preview control: panes, page layout, the current page, zoom, scrolling, keys and the mouse.
#include "report/ui/frxPreview.h"
#include "report/base/frxPageGeometry.h"

#include "platform/ui/errorguard.h"
#include "platform/recordingcanvas.h"
#include "platform/errors.h"
#include "report/output/frxPainter.h"
#include "report/base/frxRes.h"
#include "report/base/frxUtils.h"

#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>

namespace frx {

namespace {

constexpr int kPanelWidth = 260;
constexpr int kPanelHeight = 75;
constexpr int kScrollLine = 8;
constexpr int kScrollPage = 300;
constexpr int kWheelStep = 20;
constexpr Extended kMinZoom = 0.25L;

} // namespace

// What the prepared pages ask of the preview while deciding what lies under the mouse.
class TfrxPreview::ObjectHost : public TfrxObjectOverHost {
public:
    explicit ObjectHost(TfrxPreview *preview) : m_preview(preview) {}
    void SetCursor(int cursor) override
    {
        m_preview->Workspace->viewport()->setCursor(cursor == crHandPoint ? Qt::PointingHandCursor
                                                                          : Qt::ArrowCursor);
    }
    void SetStatusText(int index, const QString &text) override
    {
        if (m_preview->OnStatusText) m_preview->OnStatusText(index, text);
    }
    bool HintsShown() const override { return m_hints && m_preview->UseReportHints; }
    void SetHintsShown(bool shown) override { m_hints = shown; }
    void ShowHint(const QString &text) override
    {
        QToolTip::showText(QCursor::pos(), text, m_preview->Workspace->viewport());
    }
    void ToggleDrillDown(const QString &key) override
    {
        QStringList &state = m_preview->m_report->DrillState;
        if (!state.removeAll(key)) state.append(key);
        // The store is being walked now; prepare again once the click is over.
        QTimer::singleShot(0, m_preview, [preview = m_preview] {
            platform::guard(preview, [preview] { preview->RefreshPreparation(); });
        });
    }
    void GoToPage(int pageNo) override { m_preview->ShowPage(pageNo); }
    void GoToPosition(int pageIndex, int top) override { m_preview->ScrollToPosition(pageIndex, top); }
    void OpenUrl(const QString &url) override { QDesktopServices::openUrl(QUrl::fromUserInput(url)); }
    bool ClickObject(TfrxView *view, bool doubleClick) override
    {
        const QString &handler = doubleClick ? view->OnPreviewDblClick : view->OnPreviewClick;
        if (!handler.isEmpty()) m_preview->m_report->RunScriptEvent(view, handler, true);
        return false;
    }
    void MouseOverObject(TfrxView *) override {}

private:
    TfrxPreview *m_preview;
    bool m_hints = true;
};

TfrxPreview::TfrxPreview(QWidget *parent) : QWidget(parent), m_host(std::make_unique<ObjectHost>(this))
{
    setObjectName(QStringLiteral("Preview"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(4);
    Splitter->setChildrenCollapsible(false);
    layout->addWidget(Splitter);

    OutlineTree = new QTreeWidget(Splitter);
    OutlineTree->setObjectName(QStringLiteral("OutlineTree"));
    OutlineTree->setHeaderHidden(true);
    OutlineTree->setFrameShape(QFrame::NoFrame);
    OutlineTree->setContextMenuPolicy(Qt::CustomContextMenu);
    OutlineTree->hide();
    auto *outlineMenu = new QMenu(OutlineTree);
    const QList<QPixmap> &images = frxPreviewButtonImages();
    outlineMenu->addAction(images.value(13), frxGet(601), OutlineTree, &QTreeWidget::collapseAll);
    outlineMenu->addAction(images.value(14), frxGet(600), OutlineTree, &QTreeWidget::expandAll);
    connect(OutlineTree, &QWidget::customContextMenuRequested, outlineMenu,
            [this, outlineMenu](const QPoint &at) {
                outlineMenu->popup(OutlineTree->viewport()->mapToGlobal(at));
            });
    connect(OutlineTree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { platform::guard(this, [&] { OutlineClick(item); }); });

    Thumbnail = new TfrxPreviewWorkspace(this, true, Splitter);
    Thumbnail->hide();
    Workspace = new TfrxPreviewWorkspace(this, false, Splitter);
    Splitter->setStretchFactor(2, 1);
    setFocusProxy(Workspace);

    ProgressPanel = new QFrame(this);
    ProgressPanel->setObjectName(QStringLiteral("ProgressPanel"));
    ProgressPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ProgressPanel->setAutoFillBackground(true);
    ProgressPanel->setFixedSize(kPanelWidth, kPanelHeight);
    ProgressLabel = new QLabel(ProgressPanel);
    ProgressLabel->setAlignment(Qt::AlignCenter);
    ProgressLabel->setGeometry(4, 20, 255 - 4, 20);
    ProgressCancel = new QPushButton(frxGet(QStringLiteral("clCancel")), ProgressPanel);
    ProgressCancel->setObjectName(QStringLiteral("ProgressCancel"));
    ProgressCancel->setGeometry(92, 44, 75, 25);
    ProgressCancel->hide();
    connect(ProgressCancel, &QPushButton::clicked, this, &TfrxPreview::CancelPreparation);
    ProgressPanel->hide();

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(PageRefreshMs);
    connect(m_refreshTimer, &QTimer::timeout, this,
            [this] { platform::guard(this, [this] { ApplyPageChanges(); }); });
}

TfrxPreview::~TfrxPreview()
{
    if (m_pages) m_pages->removeObserver(this);
}

int TfrxPreview::PageCount() const
{
    return m_pages ? m_pages->Count() : 0;
}

void TfrxPreview::InitFromReport(TfrxReport *report)
{
    m_report = report;
    ObservePages(report ? report->PreviewPages() : nullptr);
    m_searchText.clear();
    m_searched = false;
    m_hitFound = false;
    m_lastHit = -1;
    m_recordedPage = -1;
    if (!report) return;
    const TfrxPreviewOptions &options = report->PreviewOptions;
    SetOutlineWidth(options.OutlineWidth);
    SetOutlineVisible(options.OutlineVisible);
    SetThumbnailVisible(options.ThumbnailVisible);
    m_zoomMode = options.ZoomMode;
    m_zoom = std::max(options.Zoom, kMinZoom);
    const bool mirrored = options.RightToLeftPreview && !qobject_cast<TfrxPreviewForm *>(window());
    Workspace->RightToLeft = Thumbnail->RightToLeft = mirrored;
    Rebuild();
    RebuildOutline();
    ShowPage(1);
}

void TfrxPreview::SetPreviewBackgroundVisible(bool visible)
{
    if (visible == m_backgroundVisible) return;
    m_backgroundVisible = visible;
    for (TfrxPreviewWorkspace *pane : {Workspace, Thumbnail}) {
        pane->DropPictures();
        pane->viewport()->update();
    }
}

bool TfrxPreview::HasPreviewBackground() const
{
    if (!m_report) return false;
    for (int i = 0; i < m_report->PagesCount(); ++i)
        if (auto *page = dynamic_cast<TfrxReportPage *>(m_report->Pages(i)); page && !page->PreviewBackground.isNull())
            return true;
    return false;
}

int TfrxPreview::OverflowCount()
{
    if (m_working || m_frozen || PageCount() == 0) return 0;
    try {
        TfrxReportPage *page = m_pages->Page(m_pageNo - 1);
        return page ? int(frxOverflowingMemos(*page).size()) : 0;
    } catch (const platform::Error &) {
        // A page that cannot be read back shows blank; there is nothing on it to flag.
        return 0;
    }
}

void TfrxPreview::ShowPage(int n)
{
    const int count = PageCount();
    if (n > count) n = count;
    if (n < 1) n = 1;
    const bool changed = n != m_pageNo;
    m_pageNo = n;
    Workspace->PageNo = Thumbnail->PageNo = n;
    if (changed) {
        Workspace->viewport()->update();
        Thumbnail->viewport()->update();
    }
    m_showingPage = true;
    for (TfrxPreviewWorkspace *pane : {Workspace, Thumbnail}) {
        const QRect rect = pane->PageList.PageRect(n - 1, pane->AvailableWidth(), pane->Zoom);
        pane->verticalScrollBar()->setValue(rect.top() - 10);
    }
    m_showingPage = false;
    UpdatePageChanged();
}

void TfrxPreview::UpdatePageChanged()
{
    if (OnPageChanged) OnPageChanged(this, m_pageNo);
}

void TfrxPreview::ZoomTo(Extended zoom)
{
    m_zoom = zoom < kMinZoom ? kMinZoom : zoom;
    m_zoomMode = zmDefault;
    Rebuild();
}

void TfrxPreview::SetZoomMode(TfrxZoomMode mode)
{
    m_zoomMode = mode;
    Rebuild();
}

void TfrxPreview::Rebuild()
{
    if (m_frozen || PageCount() == 0) return;
    Workspace->SetHighlight(-1, {});
    m_recordedPage = -1;
    m_recorded.reset();

    const QSize page = m_pages->PageSize(m_pageNo - 1);
    const int available = Workspace->AvailableWidth();
    bool scrollToPage = false;
    if (page.width() > 0 && page.height() > 0) {
        Extended fitted = 0;
        if (m_zoomMode == zmWholePage) {
            const Extended clientWidth = std::max(1, Workspace->width());
            const Extended clientHeight = std::max(1, Workspace->height());
            if (page.height() / clientHeight >= page.width() / clientWidth)
                fitted = Extended(Workspace->height() - 26) / page.height();
            else
                fitted = Extended(available) / page.width();
            scrollToPage = true;
        } else if (m_zoomMode == zmPageWidth) {
            fitted = Extended(available) / page.width();
        }
        // A window too small to fit anything keeps the zoom it had.
        if (fitted > 0) m_zoom = fitted;
    }
    Workspace->Zoom = m_zoom;
    Thumbnail->Zoom = 0.1L;
    FillPageLists(!m_working);
    for (TfrxPreviewWorkspace *pane : {Workspace, Thumbnail}) {
        pane->DropPictures();
        pane->UpdateScrollRange();
        if (!m_refreshing) pane->viewport()->update();
    }
    if (scrollToPage) {
        m_showingPage = true;
        ScrollToPosition(m_pageNo - 1, 0);
        m_showingPage = false;
    }
    if (OnZoomChanged) OnZoomChanged(m_zoom);
}

void TfrxPreview::ScrollToPosition(int pageIndex, int top)
{
    if (!m_pages || PageCount() == 0) return;
    pageIndex = std::clamp(pageIndex, 0, PageCount() - 1);
    const QRect rect = Workspace->PageList.PageRect(pageIndex, Workspace->AvailableWidth(), m_zoom);
    int y = rect.top() - 10;
    if (top != 0) {
        const TfrxReportPage *page = m_pages->Page(pageIndex);
        const Extended margin = page ? page->TopMargin : 0;
        y = rect.top() + int(roundHalfEven((mmToUnits(margin) + top) * m_zoom)) - 10;
    }
    Workspace->verticalScrollBar()->setValue(y);
}

void TfrxPreview::WorkspaceScrolled(TfrxPreviewWorkspace *workspace)
{
    if (workspace != Workspace || m_showingPage) return;
    const int index = Workspace->TopPage();
    if (index < 0 || index + 1 == m_pageNo) return;
    m_pageNo = index + 1;
    Workspace->PageNo = Thumbnail->PageNo = m_pageNo;
    Thumbnail->viewport()->update();
    UpdatePageChanged();
}

void TfrxPreview::SetOutlineVisible(bool visible)
{
    const bool changed = visible != m_outlineVisible || (visible && m_thumbnailVisible);
    m_outlineVisible = visible;
    if (visible) m_thumbnailVisible = false;
    ApplyPaneVisibility();
    if (changed) Rebuild();
}

void TfrxPreview::SetThumbnailVisible(bool visible)
{
    const bool changed = visible != m_thumbnailVisible || (visible && m_outlineVisible);
    m_thumbnailVisible = visible;
    if (visible) m_outlineVisible = false;
    ApplyPaneVisibility();
    if (changed) Rebuild();
}

void TfrxPreview::SetOutlineWidth(int width)
{
    m_outlineWidth = width;
    ApplyPaneVisibility();
}

void TfrxPreview::ApplyPaneVisibility()
{
    OutlineTree->setVisible(m_outlineVisible);
    Thumbnail->setVisible(m_thumbnailVisible);
    if (m_outlineVisible || m_thumbnailVisible) {
        const int rest = std::max(1, width() - m_outlineWidth - Splitter->handleWidth());
        Splitter->setSizes(
            {m_outlineVisible ? m_outlineWidth : 0, m_thumbnailVisible ? m_outlineWidth : 0, rest});
    }
    if (OnStateChanged) OnStateChanged();
}

void TfrxPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (ProgressPanel->isVisible()) PlaceProgressPanel();
}

bool TfrxPreview::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const TfrxPreviewButtons buttons = m_report ? m_report->PreviewOptions.Buttons : 0;
    QScrollBar *vertical = Workspace->verticalScrollBar();
    QScrollBar *horizontal = Workspace->horizontalScrollBar();
    switch (key) {
    case Qt::Key_Up:
        vertical->setValue(vertical->value() - kScrollLine);
        return true;
    case Qt::Key_Down:
        vertical->setValue(vertical->value() + kScrollLine);
        return true;
    case Qt::Key_Left:
        horizontal->setValue(horizontal->value() - kScrollLine);
        return true;
    case Qt::Key_Right:
        horizontal->setValue(horizontal->value() + kScrollLine);
        return true;
    case Qt::Key_PageUp:
        if (ctrl)
            Prior();
        else
            vertical->setValue(vertical->value() - kScrollPage);
        return true;
    case Qt::Key_PageDown:
        if (ctrl)
            Next();
        else
            vertical->setValue(vertical->value() + kScrollPage);
        return true;
    case Qt::Key_Home:
        First();
        return true;
    case Qt::Key_End:
        Last();
        return true;
    case Qt::Key_F3:
        if (!(buttons & pbFind)) return false;
        FindAgain();
        return true;
    default:
        break;
    }
    if (!ctrl) return false;
    if (key == Qt::Key_P && (buttons & pbPrint))
        PrintPages();
    else if (key == Qt::Key_S && (buttons & pbSave))
        SaveAs();
    else if (key == Qt::Key_F && (buttons & pbFind))
        FindText();
    else if (key == Qt::Key_O && (buttons & pbLoad))
        OpenAs();
    else
        return false;
    return true;
}

void TfrxPreview::MouseWheel(bool forward, bool ctrl)
{
    if (ctrl) {
        if (forward)
            ZoomTo(m_zoom + 0.1L);
        else if (m_zoom >= 0.3L)
            ZoomTo(m_zoom - 0.1L);
        return;
    }
    QScrollBar *vertical = Workspace->verticalScrollBar();
    vertical->setValue(vertical->value() + (forward ? -kWheelStep : kWheelStep));
}

void TfrxPreview::WorkspaceMouseMove(TfrxPreviewWorkspace *workspace, const QPoint &viewportPoint)
{
    if (!m_pages || m_working || m_frozen) return;
    const int index = workspace->PageAt(viewportPoint);
    if (index < 0) {
        workspace->viewport()->setCursor(Qt::ArrowCursor);
        return;
    }
    const QRect rect = workspace->ViewRect(index);
    m_pages->ObjectOver(index, viewportPoint.x(), viewportPoint.y(), false, false, m_zoom, m_zoom,
                        rect.left(), rect.top(), *m_host);
}

void TfrxPreview::WorkspaceClick(TfrxPreviewWorkspace *workspace, const QPoint &viewportPoint,
                                 Qt::MouseButton button, bool doubleClick)
{
    if (workspace == Workspace && OnClick) OnClick();
    const int index = workspace->PageAt(viewportPoint);
    if (index < 0) return;
    if (workspace == Thumbnail) {
        ShowPage(index + 1);
        return;
    }
    if (index + 1 != m_pageNo) {
        m_pageNo = index + 1;
        Workspace->PageNo = Thumbnail->PageNo = m_pageNo;
        Thumbnail->viewport()->update();
        UpdatePageChanged();
    }
    if (button != Qt::LeftButton || !m_pages || m_working || m_frozen) return;
    const QRect rect = workspace->ViewRect(index);
    m_pages->ObjectOver(index, viewportPoint.x(), viewportPoint.y(), true, doubleClick, m_zoom, m_zoom,
                        rect.left(), rect.top(), *m_host);
}

} // namespace frx
