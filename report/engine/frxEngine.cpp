#include "report/engine/frxEngine.h"
#include "report/engine/frxEngine_p.h"
#include "report/base/frxPageGeometry.h"
#include "report/base/frxUtils.h"

#include "report/objects/frxDBSet.h"
#include "report/base/frxMessages.h"


namespace frx {

void TfrxCustomEngine::StopReport()
{
    m_report->Terminated = true;
    m_report->StopScript();
}

bool TfrxCustomEngine::DoublePass() const
{
    return m_report->EngineOptions.DoublePass;
}

void TfrxHeaderList::Remove(TfrxBand *band)
{
    for (auto it = m_items.begin(); it != m_items.end(); ++it)
        if (it->Band == band) {
            m_items.erase(it);
            return;
        }
}

TfrxEngine::TfrxEngine(TfrxReport *report, TfrxPreviewPages *pages)
    : TfrxCustomEngine(report, pages), m_aggregates(report)
{
    pages->SetEngine(this);
}

TfrxEngine::~TfrxEngine() = default;

int TfrxEngine::BandNumber(const TfrxBand *band)
{
    // Most derived classes first: the number is that of the highest class the band belongs to.
    if (dynamic_cast<const TfrxOverlay *>(band)) return 17;
    if (dynamic_cast<const TfrxColumnFooter *>(band)) return 16;
    if (dynamic_cast<const TfrxColumnHeader *>(band)) return 15;
    if (dynamic_cast<const TfrxChild *>(band)) return 14;
    if (dynamic_cast<const TfrxGroupFooter *>(band)) return 13;
    if (dynamic_cast<const TfrxGroupHeader *>(band)) return 12;
    if (dynamic_cast<const TfrxDataBand6 *>(band)) return 11;
    if (dynamic_cast<const TfrxDataBand5 *>(band)) return 10;
    if (dynamic_cast<const TfrxDataBand4 *>(band)) return 9;
    if (dynamic_cast<const TfrxSubdetailData *>(band)) return 8;
    if (dynamic_cast<const TfrxDetailData *>(band)) return 7;
    if (dynamic_cast<const TfrxMasterData *>(band)) return 6;
    if (dynamic_cast<const TfrxFooter *>(band)) return 5;
    if (dynamic_cast<const TfrxHeader *>(band)) return 4;
    if (dynamic_cast<const TfrxPageFooter *>(band)) return 3;
    if (dynamic_cast<const TfrxPageHeader *>(band)) return 2;
    if (dynamic_cast<const TfrxReportSummary *>(band)) return 1;
    if (dynamic_cast<const TfrxReportTitle *>(band)) return 0;
    return -1;
}

TfrxDataSet *TfrxEngine::dataSetOf(TfrxDataBand *band)
{
    return state(band).dataSet;
}

void TfrxEngine::runScriptEvent(TfrxComponent *sender, const QString &procName)
{
    if (!procName.isEmpty()) m_report->RunScriptEvent(sender, procName);
}

void TfrxEngine::processMessages()
{
    if (!m_report->EngineOptions.ThreadSafe) frxProcessMessages(false);
}

// ---- the run ----

void TfrxEngine::collectAggregates(TfrxReportPage *page)
{
    const QList<TfrxDataBand *> &masters = nestedBands(page);
    for (TfrxDataBand *band : masters)
        collectAggregates(band);
    for (TfrxComponent *object : page->Objects())
        if (auto *band = dynamic_cast<TfrxDataBand *>(object); band && band->Vertical)
            m_aggregates.Collect(band, band);
    for (TfrxDataBand *band : m_verticalMasterBands.value(page))
        collectAggregates(band);
    if (masters.isEmpty()) return;
    // Page-wide footers count the first master band unless their calls name another.
    for (QStringView cls : {QStringView(u"TfrxPageFooter"), QStringView(u"TfrxColumnFooter"),
                            QStringView(u"TfrxReportSummary")})
        if (TfrxBand *footer = page->FindBand(cls)) m_aggregates.Collect(masters.first(), footer);
}

void TfrxEngine::collectAggregates(TfrxDataBand *band)
{
    BandState &st = state(band);
    if (st.footer) m_aggregates.Collect(band, st.footer);
    for (TfrxGroupHeader *header : st.groups)
        if (TfrxBand *footer = state(header).footer) m_aggregates.Collect(band, footer);
    const QList<TfrxDataBand *> nested = st.nested;
    for (TfrxDataBand *inner : nested)
        collectAggregates(inner);
}

script::Variant TfrxEngine::AggregateValue(const QString &name, const QString &expression, TfrxBand *band,
                                           int flags)
{
    return m_aggregates.ValueFor(BandInProgress, VColumnInProgress, flags, band, expression, name);
}

bool TfrxEngine::BuildPages()
{
    bool result = false;
    const bool started = InitializeRun();
    withFinally(
        [&] {
            if (started) {
                struct StopGuard {
                    TfrxEngine *e;
                    ~StopGuard()
                    {
                        try {
                            e->m_report->RunScriptEvent(e->m_report, e->m_report->OnStopReport);
                        } catch (...) {
                        }
                    }
                } stopGuard{this};
                for (int i = 0; i < m_report->Datasets.Count(); ++i)
                    if (auto *ds = dynamic_cast<TfrxDataSet *>(m_report->Datasets.Items(i)->DataSet())) {
                        ds->OwningReport = m_report;
                        ds->Initialize();
                    }
                m_report->RunScriptEvent(m_report, m_report->OnStartReport);
                if (RunDialogs()) {
                    for (int i = 0; i < m_report->PagesCount(); ++i)
                        if (auto *page = dynamic_cast<TfrxReportPage *>(m_report->Pages(i))) {
                            m_pages->AddSourcePage(page);
                            collectAggregates(page);
                        }
                    m_finalPass = !DoublePass();
                    m_totalPages = 0;
                    m_pages->StartPass();
                    RunReportPages();
                    if (DoublePass()) {
                        m_totalPages = m_pages->Count();
                        m_pages->ResetFirstPass();
                        m_aggregates.RestartAll();
                        m_finalPass = true;
                        RunReportPages();
                    }
                    result = true;
                }
            }
        },
        [&] { finalizeRun(); });
    return result;
}

void TfrxEngine::finalizeRun()
{
    for (int i = 0; i < m_report->Datasets.Count(); ++i)
        if (auto *ds = dynamic_cast<TfrxDataSet *>(m_report->Datasets.Items(i)->DataSet())) {
            try {
                ds->Finalize();
            } catch (...) {
            }
        }
    m_pages->FinishRun();
    RunActive = false;
    restoreDefinition();
    m_aggregates.Clear();
    // Band run-time state points into the definition; it is rebuilt at the next run.
    m_bandStates.clear();
    m_objectStates.clear();
    m_masterBands.clear();
    m_verticalMasterBands.clear();
}

void TfrxEngine::restoreDefinition()
{
    for (auto it = m_drillDesign.begin(); it != m_drillDesign.end(); ++it)
        it.key()->SetVisible(it.value());
    m_drillDesign.clear();
    for (auto it = m_crossings.rbegin(); it != m_crossings.rend(); ++it) {
        // Detached first, then put back one by one: the band gets its objects in the designed order.
        for (TfrxComponent *object : it->objects)
            object->SetParent(nullptr);
        for (int i = 0; i < it->objects.size(); ++i) {
            TfrxComponent *object = it->objects[i];
            object->SetParent(it->band);
            object->SetLeft(it->lefts[i]);
            object->SourceBand = nullptr;
        }
    }
    m_crossings.clear();
    VerticalMaster = nullptr;
    CaptureBand = nullptr;
    VerticalHeaders.Clear();
}

bool TfrxEngine::InitializeRun()
{
    CarriedFooterHeight = 0;
    m_pages->BeginRun();
    m_pages->SetAppendMode(true);
    StartDate = QDate::currentDate();
    StartTime = QTime::currentTime();
    RunActive = true;
    KeepActive = false;
    CurVColumn = 0;
    VColumnInProgress = 0;
    CaptureBand = nullptr;
    m_aggregates.Clear();
    m_bandStates.clear();
    m_objectStates.clear();
    m_masterBands.clear();
    m_verticalMasterBands.clear();
    for (int i = 0; i < m_report->PagesCount(); ++i)
        if (auto *page = dynamic_cast<TfrxReportPage *>(m_report->Pages(i))) {
            PreparePage(page, false);
            PreparePage(page, true);
        }
    TfrxComponent *reportDataSet = m_report->DataSet();
    for (int i = 0; i < m_report->PagesCount(); ++i) {
        auto *page = dynamic_cast<TfrxReportPage *>(m_report->Pages(i));
        if (!page) continue;
        if (reportDataSet && reportDataSet == page->DataSet()) {
            m_report->ErrorList.Add(
                QStringLiteral("Cannot use the same dataset for Report.DataSet and Page.DataSet"));
            break;
        }
        for (TfrxDataBand *band : nestedBands(page)) {
            if (reportDataSet && band->DataSet() == reportDataSet) {
                m_report->ErrorList.Add(
                    QStringLiteral("Cannot use the same dataset for Report.DataSet and Band.DataSet"));
                break;
            }
            if (page->DataSet() && band->DataSet() == page->DataSet()) {
                m_report->ErrorList.Add(
                    QStringLiteral("Cannot use the same dataset for Page.DataSet and Band.DataSet"));
                break;
            }
        }
    }
    return m_report->ErrorList.Count() == 0;
}

bool TfrxEngine::RunDialogs()
{
    if (!m_report->OnRunDialogs.trimmed().isEmpty()) {
        script::VariantList params{script::Variant(true)};
        m_report->CallScriptFunction(m_report->OnRunDialogs, params);
        return params[0].toBool();
    }
    for (int i = 0; i < m_report->PagesCount(); ++i) {
        auto *dialog = dynamic_cast<TfrxDialogPage *>(m_report->Pages(i));
        if (!dialog || !dialog->Visible() || dialog->Objects().isEmpty()) continue;
        // Without a runner there is no window to show in a headless run; the dialog is passed over.
        if (DialogRunner && DialogRunner(dialog) == 2) return false;
    }
    return true;
}

void TfrxEngine::RunReportPages()
{
    OnFirstReportPage = true;
    if (auto *ds = dynamic_cast<TfrxDataSet *>(m_report->DataSet())) {
        ds->First();
        while (!ds->Eof() && !m_report->Terminated) {
            RunPages();
            ds->Next();
        }
    } else {
        RunPages();
    }
}

void TfrxEngine::RunPages()
{
    for (int i = 0; i < m_report->PagesCount(); ++i) {
        auto *page = dynamic_cast<TfrxReportPage *>(m_report->Pages(i));
        if (!page) continue;
        ActivePage = page;
        if (!page->Subreport() && page->Visible()) RunPage(page);
        if (m_report->Terminated) break;
        OnFirstReportPage = false;
    }
}

void TfrxEngine::RunPage(TfrxReportPage *page)
{
    if (page->Subreport()) {
        RunDataBands(page);
        return;
    }
    AtFirstBand = true;
    runScriptEvent(page, page->OnBeforePrint);
    if (auto *ds = dynamic_cast<TfrxDataSet *>(page->DataSet())) {
        ds->First();
        while (!ds->Eof() && !m_report->Terminated) {
            RunPageCopy(page);
            ds->Next();
        }
    } else {
        for (int i = 0; i < page->PageCount() && !m_report->Terminated; ++i)
            RunPageCopy(page);
    }
    runScriptEvent(page, page->OnAfterPrint);
}

void TfrxEngine::RunPageCopy(TfrxReportPage *page)
{
    if (!HasData(page, m_report->EngineOptions.PrintIfEmpty)) return;
    InitPage();
    ShowPageObjects();
    if (m_report->OnManualBuild)
        m_report->OnManualBuild(page);
    else if (!page->OnManualBuild.trimmed().isEmpty())
        m_report->RunScriptEvent(page, page->OnManualBuild);
    else
        RunDataBands(page);
    OnLastPage = true;
    if (page->EndlessHeight || page->EndlessWidth) {
        if (page->EndlessHeight) PageHeight = FooterHeight() + m_curY;
        const TfrxSizeUnits paper = paperSizeUnits(*page);
        const TfrxSizeUnits around = paperAroundUnits(*page, {PageWidth, PageHeight});
        m_pages->SetPageSize(page, page->EndlessHeight ? around.height : paper.height,
                             page->EndlessWidth ? around.width : paper.width);
    }
    FinishPage();
    OnLastPage = false;
}

const QList<TfrxDataBand *> &TfrxEngine::nestedBands(TfrxComponent *owner)
{
    if (auto *page = dynamic_cast<TfrxReportPage *>(owner)) {
        auto it = m_masterBands.find(page);
        return it == m_masterBands.end() ? m_noBands : *it;
    }
    if (auto *band = dynamic_cast<TfrxBand *>(owner)) return state(band).nested;
    return m_noBands;
}

bool TfrxEngine::HasData(TfrxComponent *owner, bool flag)
{
    if (flag) return true;
    const QList<TfrxDataBand *> &bands = nestedBands(owner);
    if (bands.isEmpty()) return !dynamic_cast<TfrxReportPage *>(owner);
    for (TfrxDataBand *band : bands) {
        TfrxDataSet *ds = dataSetOf(band);
        if (!ds) continue;
        runScriptEvent(band, band->OnMasterDetail);
        ds->First();
        while (!ds->Eof()) {
            if (HasData(band, band->PrintIfDetailEmpty)) return true;
            ds->Next();
        }
    }
    return false;
}

void TfrxEngine::InitPage()
{
    TfrxReportPage *page = ActivePage;
    TfrxBand *title = page->FindBand(u"TfrxReportTitle");
    TfrxBand *header = page->FindBand(u"TfrxPageHeader");
    m_headerList.Clear();
    if (page->TitleBeforeHeader) {
        m_headerList.Add(title, 0, false);
        m_headerList.Add(header, 0, false);
    } else {
        m_headerList.Add(header, 0, false);
        m_headerList.Add(title, 0, false);
    }
    const TfrxSizeUnits room = printableSizeUnits(*page);
    PageHeight = room.height;
    PageWidth = room.width;
    CurX = 0;
    m_curY = 0;
    PageOriginX = 0;
    CurColumn = 1;
    VerticalMaster = nullptr;
    OnFirstPage = true;
    OnLastPage = false;
    m_pages->Outline().LevelRoot();
    if (page->ResetPageNumbers) m_pages->RestartLogicalPages();
    if (m_pages->Count() > 0 && page->PrintOnPreviousPage) {
        UseCarriedFooter = CarriedFooterHeight != 0;
        m_pages->SetPageIndex(m_pages->Count() - 1);
        m_curY = m_pages->BottomOfBands(0);
        m_headerList.Remove(title);
        ShowBand(title);
    } else {
        AddPage();
    }
    if (OnFirstReportPage) m_pages->SetRunFirstPage(m_pages->PageIndex());
    ColumnTopY = m_curY;
    TfrxBand *columnHeader = page->FindBand(u"TfrxColumnHeader");
    ShowBand(columnHeader);
    if (columnHeader) m_headerList.Add(columnHeader, 0, false);
    m_headerList.Remove(title);
    AddPageOutline();
}

void TfrxEngine::ShowPageObjects()
{
    QList<TfrxComponent *> views;
    for (TfrxComponent *object : ActivePage->Objects())
        if (!dynamic_cast<TfrxBand *>(object)) views.append(object);
    if (views.isEmpty()) return;
    // The null band lends its place in the tree to the page's own views for one emission.
    TfrxNullBand band;
    band.SetBounds(0, 0, PageWidth, PageHeight);
    const Extended savedY = m_curY;
    struct Restore {
        QList<TfrxComponent *> &views;
        TfrxReportPage *page;
        TfrxNullBand &band;
        std::unordered_map<TfrxBand *, BandState> &states;
        ~Restore()
        {
            for (TfrxComponent *view : views)
                view->SetParent(page);
            // A later band may be built at this address: it must not find this one's shift targets.
            states.erase(&band);
        }
    } restore{views, ActivePage, band, m_bandStates};
    for (TfrxComponent *view : views)
        view->SetParent(&band);
    band.AlignChildren();
    ShowBand(&band);
    m_curY = savedY;
}

void TfrxEngine::RunDataBands(TfrxComponent *owner)
{
    processMessages();
    if (m_report->Terminated) return;
    const QList<TfrxDataBand *> bands = nestedBands(owner);
    for (TfrxDataBand *band : bands) {
        TfrxDataSet *ds = dataSetOf(band);
        if (!ds) continue;
        BandState &st = state(band);
        ds->First();
        band->RowNo = 1;
        band->RowNoThrough = 1;
        setBandColumn(band, 1);
        for (TfrxComponent *object : band->Objects())
            if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object)) memo->ResetLastValue();
        bool first = true;
        int footerKeepPosition = 0, cutPosition = 0;
        bool shownAny = false;
        Extended rowTop = m_curY;
        while (!ds->Eof()) {
            if (HasData(band, band->PrintIfDetailEmpty)) {
                if (first) {
                    if (band->KeepHeader && st.header) {
                        KeepingHeader = true;
                        OpenKeep(band);
                    }
                    if (st.header) {
                        AddToHeaderList(st.header);
                        ShowBand(st.header);
                    }
                    if (band->KeepTogether) OpenKeep(band);
                } else if (st.groups.isEmpty() && band->KeepTogether) {
                    OpenKeep(band);
                }
                if (!st.groups.isEmpty()) {
                    if (first)
                        InitGroups(band, 0, true);
                    else
                        CheckGroups(band);
                }
                if (band->KeepFooter) footerKeepPosition = m_pages->ObjectCount();
                if (band->Columns > 1 && st.columnNo == 1) cutPosition = m_pages->ObjectCount();
                rowTop = m_curY;
                CurrentLine = band->RowNo;
                CurrentLineThrough = band->RowNoThrough;
                ShowBand(band);
                shownAny = true;
                if (first && band->KeepHeader && st.header) CloseKeep(band);
                ++band->RowNo;
                ++band->RowNoThrough;
                NextBandColumn(band, cutPosition, rowTop);
                AddBandOutline(band);
                RunDataBands(band);
                if (!band->OutlineText.isEmpty()) m_pages->Outline().LevelUp();
                first = false;
            }
            AtFirstBand = false;
            if (band->FooterAfterEach) ShowBand(st.footer);
            if (st.groups.isEmpty() && band->KeepTogether) CloseKeep(band);
            ds->Next();
            if ((band->RowCount != 0 && band->RowCount < band->RowNo) || m_report->Terminated) break;
        }
        setBandColumn(band, band->Columns);
        NextBandColumn(band, cutPosition, rowTop);
        if (shownAny) {
            EndGroups(band, 0);
            if (!band->FooterAfterEach) {
                if (band->KeepFooter) OpenKeep(band, footerKeepPosition);
                KeepingFooter = true;
                ShowBand(st.footer);
                if (band->KeepFooter) CloseKeep(band);
                KeepingFooter = false;
            }
            headerListFor(st.header).Remove(st.header);
            if (!st.groups.isEmpty() && band->KeepTogether) CloseKeep(band);
        }
        if (m_report->Terminated) break;
        AtFirstBand = false;
    }
}

} // namespace frx
