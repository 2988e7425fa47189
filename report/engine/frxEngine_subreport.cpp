#include "report/engine/frxEngine.h"
#include "report/engine/frxEngine_p.h"
#include "report/base/frxPageGeometry.h"
#include "report/base/frxUtils.h"

#include <tuple>

namespace frx {

namespace {

// Gives each object of a copied tree the prepared name and source of the object it was copied from,
// so that the store writes it as a difference against the same source copy.
void linkCopies(TfrxComponent *copy, TfrxComponent *original)
{
    copy->PreparedName = original->PreparedName;
    copy->SourceComponent = original->SourceComponent;
    const QList<TfrxComponent *> &copies = copy->Objects();
    const QList<TfrxComponent *> &originals = original->Objects();
    for (TfrxComponent *child : copies)
        for (TfrxComponent *from : originals)
            if (from->Name() == child->Name()) {
                linkCopies(child, from);
                break;
            }
}

} // namespace

void TfrxEngine::runSubreport(TfrxSubreport *sub)
{
    TfrxReportPage *page = sub->Page();
    if (page == ActivePage || m_subreportPages.contains(page)) {
        m_report->ErrorList.Add(QStringLiteral("%1: 子报表的页面在自身之中打印，已跳过").arg(sub->Name()));
        return;
    }
    m_subreportPages.append(page);
    withFinally([&] { RunPage(page); }, [&] { m_subreportPages.removeLast(); });
}

void TfrxEngine::ShowSubreports(TfrxBand *band)
{
    QList<TfrxSubreport *> subreports;
    for (TfrxComponent *object : band->Objects())
        if (auto *sub = dynamic_cast<TfrxSubreport *>(object);
            sub && sub->Visible() && !sub->PrintOnParent && sub->Page())
            subreports.append(sub);
    if (subreports.isEmpty()) return;
    const int savedPage = m_pages->PageIndex();
    const int savedColumn = CurColumn;
    const Extended savedX = CurX, savedOriginX = PageOriginX, savedY = m_curY;
    const Extended printedHeight = state(band).printedHeight;
    // The furthest point any subreport reached: later page, then later column, then lower.
    std::tuple<int, int, Extended> furthest{-1, 0, 0};
    for (TfrxSubreport *sub : subreports) {
        m_pages->SetPageIndex(savedPage);
        CurColumn = savedColumn;
        PageOriginX = savedOriginX + sub->Left();
        CurX = savedX + sub->Left();
        m_curY = savedY - printedHeight + sub->Top();
        runSubreport(sub);
        furthest = std::max(furthest, std::tuple{m_pages->PageIndex(), CurColumn, m_curY});
    }
    m_pages->SetPageIndex(std::get<0>(furthest));
    CurColumn = std::get<1>(furthest);
    // The first column's position is not added back after subreports: they start at the page origin.
    CurX = savedOriginX + (CurColumn > 1 ? columnPositionUnits(*ActivePage, CurColumn) : 0);
    m_curY = std::get<2>(furthest);
    PageOriginX = savedOriginX;
}

void TfrxEngine::CaptureSubreports(TfrxBand *band)
{
    const bool owner = CaptureBand == nullptr;
    if (owner) {
        state(band).designObjectCount = int(band->Objects().size());
        CaptureBand = new TfrxNullBand;
    }
    const Extended savedX = CurX, savedY = m_curY, savedOriginX = PageOriginX;
    TfrxBand *capture = CaptureBand;
    auto release = [&] {
        CurX = savedX;
        m_curY = savedY;
        PageOriginX = savedOriginX;
        if (owner) {
            CaptureBand = nullptr;
            m_bandStates.erase(capture);
            delete capture;
        }
    };
    withFinally(
        [&] {
            if (owner) {
                const QList<TfrxComponent *> objects = band->Objects();
                for (TfrxComponent *object : objects) {
                    auto *sub = dynamic_cast<TfrxSubreport *>(object);
                    if (!sub || !sub->Visible() || !sub->PrintOnParent || !sub->Page()) continue;
                    PageOriginX = savedOriginX + sub->Left();
                    CurX = sub->Left();
                    m_curY = sub->Top();
                    runSubreport(sub);
                }
                CurX = savedX;
                m_curY = savedY;
                PageOriginX = savedOriginX;
                // The captured views become objects of the band at their absolute place; FinishBand frees
                // them after the band is placed.
                QList<TfrxView *> views;
                for (TfrxComponent *object : capture->AllObjects())
                    if (auto *view = dynamic_cast<TfrxView *>(object);
                        view && !dynamic_cast<TfrxSubreport *>(view))
                        views.append(view);
                QList<std::pair<Extended, Extended>> places;
                for (TfrxView *view : views)
                    places.append({view->AbsLeft(), view->AbsTop()});
                for (int i = 0; i < views.size(); ++i) {
                    TfrxView *view = views[i];
                    view->SetParentFont(false);
                    view->SetParent(band);
                    view->SetLeft(places[i].first);
                    view->SetTop(places[i].second);
                    if (auto *s = dynamic_cast<TfrxStretcheable *>(view)) s->StretchMode = smDontStretch;
                }
            }
        },
        release);
}

void TfrxEngine::captureCopy(TfrxBand *band)
{
    auto *copy = new TfrxBand(CaptureBand);
    copy->AssignAll(band);
    linkCopies(copy, band);
}

} // namespace frx
