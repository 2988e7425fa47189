// How the preview follows its prepared pages: the store's notifications are gathered and shown at
// once while the preview is idle, and a few times a second while the engine adds pages, so that a
// long run is not spent repainting.
#include "report/ui/frxPreview.h"

#include "platform/recordingcanvas.h"
#include "platform/ui/errorguard.h"
#include "report/engine/frxEngine.h"
#include "report/base/frxUtils.h"

#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

namespace frx {

void TfrxPreview::ObservePages(TfrxPreviewPages *pages)
{
    if (pages == m_pages) return;
    if (m_pages) m_pages->removeObserver(this);
    m_pages = pages;
    if (m_pages) m_pages->addObserver(this);
    Workspace->SetPreviewPages(m_pages);
    Thumbnail->SetPreviewPages(m_pages);
}

void TfrxPreview::pagesAdded(int, int)
{
    m_layoutStale = true;
    SchedulePageChanges();
}

void TfrxPreview::pagesChanged(int first)
{
    for (TfrxPreviewWorkspace *pane : {Workspace, Thumbnail})
        pane->DropPictures();
    if (m_recordedPage >= first) m_recordedPage = -1;
    m_layoutStale = m_outlineStale = m_pagesReplaced = true;
    SchedulePageChanges();
}

void TfrxPreview::pagesCleared()
{
    // What was drawn or found belongs to pages that are gone.
    for (TfrxPreviewWorkspace *pane : {Workspace, Thumbnail}) {
        pane->DropPictures();
        pane->SetHighlight(-1, {});
    }
    m_hitFound = false;
    m_recordedPage = -1;
    m_recorded.reset();
    // A drill-down refresh keeps the place it shows until the new pages are there.
    if (!m_refreshing) {
        for (TfrxPreviewWorkspace *pane : {Workspace, Thumbnail}) {
            pane->PageList.Clear();
            pane->horizontalScrollBar()->setRange(0, 0);
            pane->verticalScrollBar()->setRange(0, 0);
            pane->PageNo = 1;
        }
        m_pageNo = 1;
    }
    m_layoutStale = m_outlineStale = m_pagesReplaced = true;
    SchedulePageChanges();
}

void TfrxPreview::pagesDestroyed()
{
    m_refreshTimer->stop();
    m_pages = nullptr;
    m_report = nullptr;
    Workspace->SetPreviewPages(nullptr);
    Thumbnail->SetPreviewPages(nullptr);
    for (TfrxPreviewWorkspace *pane : {Workspace, Thumbnail}) {
        pane->PageList.Clear();
        pane->DropPictures();
    }
    m_recorded.reset();
    m_recordedPage = -1;
    OutlineTree->clear();
}

void TfrxPreview::SchedulePageChanges()
{
    const bool running = m_working || (m_pages && m_pages->RunActive());
    const bool finalPass = !m_report || m_report->Engine()->FinalPass();
    const bool firstCard = finalPass && !m_refreshing && Workspace->PageList.Count() == 0;
    if (!running || firstCard)
        ApplyPageChanges();
    else if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

void TfrxPreview::ApplyPageChanges()
{
    m_refreshTimer->stop();
    if (!m_pages || m_frozen || m_refreshing) return;
    if (m_working) {
        FollowPreparation();
        return;
    }
    if (!m_layoutStale && !m_outlineStale) return;
    m_layoutStale = m_pagesReplaced = false;
    Rebuild();
    if (m_outlineStale) {
        m_outlineStale = false;
        RebuildOutline();
    }
    // Pages removed from the end take the current page with them.
    if (m_pageNo > PageCount() && PageCount() > 0)
        ShowPage(PageCount());
    else
        UpdatePageChanged();
    if (OnStateChanged) OnStateChanged();
}

void TfrxPreview::FollowPreparation()
{
    // The first of two passes only counts its pages; its pages go away when it ends.
    const bool finalPass = !m_report || m_report->Engine()->FinalPass();
    if (finalPass && m_layoutStale) {
        TfrxPageList &list = Workspace->PageList;
        const int before = list.Count();
        if (before == 0 || m_pagesReplaced) {
            // The first card: the zoom is fitted to it and it is shown at once.
            m_layoutStale = m_pagesReplaced = false;
            Rebuild();
            ShowPage(m_pageNo);
        } else {
            m_layoutStale = false;
            // New pages fill the last row (which centres again) and the rows below it.
            const int changedTop = list.Items(before - 1).Y;
            FillPageLists(false);
            Workspace->UpdateScrollRange();
            const int viewBottom = Workspace->verticalScrollBar()->value() + Workspace->viewport()->height();
            if (changedTop < viewBottom) Workspace->viewport()->update();
        }
    }
    UpdatePageChanged();
}

void TfrxPreview::FillPageLists(bool thumbnails)
{
    Workspace->PageList.Clear();
    if (thumbnails) Thumbnail->PageList.Clear();
    for (int i = 0; i < PageCount(); ++i) {
        const QSize size = m_pages->PageSize(i);
        Workspace->PageList.AddPage(int(roundHalfEven(size.width() * m_zoom)),
                                    int(roundHalfEven(size.height() * m_zoom)));
        if (thumbnails)
            Thumbnail->PageList.AddPage(int(roundHalfEven(size.width() * Thumbnail->Zoom)),
                                        int(roundHalfEven(size.height() * Thumbnail->Zoom)));
    }
    Workspace->PageList.CalcBounds(Workspace->AvailableWidth());
    if (thumbnails) Thumbnail->PageList.CalcBounds(Thumbnail->AvailableWidth());
}

} // namespace frx
