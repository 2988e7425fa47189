#include "report/objects/frxDBSet.h"
#include "report/engine/frxEngine.h"
#include "report/engine/frxEngine_p.h"

#include <algorithm>

namespace frx {

namespace {

constexpr Extended Tolerance = 0.0001;

} // namespace

void TfrxEngine::moveCrossingObjects(TfrxReportPage *page)
{
    QList<TfrxBand *> verticals;
    QList<TfrxBand *> horizontals;
    for (TfrxComponent *object : page->Objects())
        if (auto *band = dynamic_cast<TfrxBand *>(object)) {
            if (band->Vertical)
                verticals.append(band);
            else if (!dynamic_cast<TfrxOverlay *>(band))
                horizontals.append(band);
        }
    if (verticals.isEmpty()) return;
    for (TfrxBand *band : horizontals) {
        Crossing crossing{band, band->Objects(), {}};
        bool moved = false;
        for (TfrxComponent *object : crossing.objects) {
            crossing.lefts.append(object->Left());
            const Extended left = object->AbsLeft(), right = left + object->Width();
            for (TfrxBand *vertical : verticals) {
                const Extended vLeft = vertical->AbsLeft();
                if (left < vLeft - Tolerance || right > vLeft + vertical->Width() + Tolerance) continue;
                object->SetParent(vertical);
                object->SourceBand = band;
                object->SetLeft(left - vLeft);
                moved = true;
                break;
            }
        }
        if (!moved) continue;
        state(band).crossesVertical = true;
        m_crossings.push_back(std::move(crossing));
    }
}

void TfrxEngine::PrepareVerticalBands(TfrxBand *band)
{
    VerticalMaster = band;
    state(band).designObjectCount = int(band->Objects().size());
    band->AllowSplit = false;
    VerticalHeaders.Clear();
    VerticalPageBreaks = {0};
    CurVColumn = 0;
    RunVerticalDataBands(ActivePage);
    VerticalPageBreaks.append(int(band->Objects().size()));
}

void TfrxEngine::RunVerticalDataBands(TfrxComponent *owner)
{
    QList<TfrxDataBand *> bands;
    if (auto *page = dynamic_cast<TfrxReportPage *>(owner))
        bands = m_verticalMasterBands.value(page);
    else
        bands = nestedBands(owner);
    for (TfrxDataBand *band : bands) {
        TfrxDataSet *ds = dataSetOf(band);
        if (!ds) continue;
        BandState &st = state(band);
        ds->First();
        band->RowNo = 1;
        band->RowNoThrough = 1;
        for (TfrxComponent *object : band->Objects())
            if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object)) memo->ResetLastValue();
        bool first = true;
        while (!ds->Eof()) {
            if (first && st.header) {
                AddToHeaderList(st.header);
                ShowBand(st.header);
            }
            if (!st.groups.isEmpty()) {
                if (first)
                    InitGroups(band, 0, true);
                else
                    CheckGroups(band);
            }
            CurrentLine = band->RowNo;
            CurrentLineThrough = band->RowNoThrough;
            ShowBand(band);
            ++band->RowNo;
            ++band->RowNoThrough;
            RunVerticalDataBands(band);
            first = false;
            if (band->FooterAfterEach) ShowBand(st.footer);
            ds->Next();
            if ((band->RowCount != 0 && band->RowCount < band->RowNo) || m_report->Terminated) break;
        }
        if (!first) {
            EndGroups(band, 0);
            if (!band->FooterAfterEach) ShowBand(st.footer);
            VerticalHeaders.Remove(st.header);
        }
        if (m_report->Terminated) break;
    }
}

void TfrxEngine::ShowVerticalBand(TfrxBand *band)
{
    TfrxBand *master = VerticalMaster;
    const bool data = dynamic_cast<TfrxDataBand *>(band) != nullptr;
    if (data) ++CurVColumn;
    const bool footer = dynamic_cast<TfrxFooter *>(band) || dynamic_cast<TfrxGroupFooter *>(band);
    BandInProgress = footer || !master ? band : master;
    m_report->CurObject = band->Name();
    band->BeforePrint();
    m_report->NotifyBeforePrint(band);
    if (band->Visible() && master) {
        if (CurX + band->Width() > PageWidth) {
            if (ActivePage->EndlessWidth) {
                PageWidth += band->Width();
            } else if (CurX > 0) {
                // The row goes on on the next horizontal page, which repeats the vertical headers.
                CurX = 0;
                VerticalPageBreaks.append(int(master->Objects().size()));
                for (int i = 0; i < VerticalHeaders.Count(); ++i)
                    ShowBand(VerticalHeaders.Items(i).Band);
            }
        }
        // Totals in the master's cells under a data band are that column's.
        struct ColumnInProgress {
            int &column;
            ~ColumnInProgress() { column = 0; }
        } columnInProgress{VColumnInProgress};
        VColumnInProgress = data ? CurVColumn : 0;
        const QList<TfrxComponent *> objects = band->Objects();
        for (TfrxComponent *object : objects) {
            auto *printable = dynamic_cast<TfrxReportComponent *>(object);
            if (!printable || object->SourceBand != master || !object->classInfo()->create) continue;
            m_report->CurObject = object->Name();
            printable->BeforePrint();
            m_report->NotifyBeforePrint(printable);
            if (object->Visible()) {
                printable->GetData();
                if (auto *view = dynamic_cast<TfrxView *>(object); view && !view->OnAfterData.isEmpty())
                    m_report->RunScriptEvent(view, view->OnAfterData);
            }
            // The copy is a free object: it takes no name in the report and is freed after the row.
            TfrxComponent *copy = object->classInfo()->create(nullptr);
            copy->Assign(object);
            copy->PreparedName = object->PreparedName;
            copy->SourceComponent = object->SourceComponent;
            copy->SetParentFont(false);
            copy->SetLeft(object->Left() + CurX);
            copy->SetParent(master);
            printable->AfterPrint();
        }
        CurX += band->Width();
    }
    m_report->CurObject = band->Name();
    m_report->NotifyAfterPrint(band);
    band->AfterPrint();
    if (data && master)
        m_aggregates.Accumulate(master, CurVColumn);
    else if (footer)
        m_aggregates.Restart(band);
}

void TfrxEngine::EmitVerticalPages(TfrxBand *band, const QList<int> &breaks)
{
    m_pages->SetAppendMode(false);
    const int savedPage = m_pages->PageIndex();
    const Extended savedY = m_curY, savedX = CurX;
    const QList<TfrxComponent *> all = band->Objects();
    for (TfrxComponent *object : all)
        object->SetParent(nullptr);
    auto restore = [&] {
        for (TfrxComponent *object : band->Objects())
            object->SetParent(nullptr);
        for (TfrxComponent *object : all)
            object->SetParent(band);
        m_pages->SetPageIndex(savedPage);
        m_curY = savedY;
        CurX = savedX;
        m_pages->SetAppendMode(true);
    };
    withFinally(
        [&] {
            // Each stretch of the master's objects between two breaks is the row's part on one page.
            for (int k = 0; k + 1 < breaks.size(); ++k) {
                const int from = std::clamp(breaks[k], 0, int(all.size()));
                const int to = std::clamp(breaks[k + 1], from, int(all.size()));
                for (int i = from; i < to; ++i)
                    all[i]->SetParent(band);
                m_pages->AddObject(band);
                for (int i = from; i < to; ++i)
                    all[i]->SetParent(nullptr);
                if (k + 2 < breaks.size()) {
                    SuppressHeaders = true;
                    withFinally([&] { NewPage(); }, [&] { SuppressHeaders = false; });
                } else {
                    FinishPage();
                }
            }
        },
        restore);
}

} // namespace frx
