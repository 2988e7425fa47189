#include "report/objects/frxDBSet.h"
#include "report/engine/frxEngine.h"
#include "report/engine/frxEngine_p.h"
#include "report/base/frxPageGeometry.h"
#include "report/base/frxUtils.h"

#include <cmath>

namespace frx {

namespace {

bool isDataBand(const TfrxBand *band)
{
    return dynamic_cast<const TfrxDataBand *>(band) != nullptr;
}

} // namespace

QString TfrxEngine::calcText(const QString &expression)
{
    return m_report->Calc(expression).toString();
}

void TfrxEngine::ShowBand(QStringView bandClass)
{
    if (ActivePage) ShowBand(ActivePage->FindBand(bandClass));
}

void TfrxEngine::ShowBand(TfrxBand *band)
{
    if (!band) return;
    if (band->KeepChild) OpenKeep(band);
    PlaceBand(band);
    if (band->Child() && (band->Visible() || band->PrintChildIfInvisible)) ShowBand(band->Child());
    if (band->KeepChild) CloseKeep(band);
    if (isDataBand(band)) m_aggregates.Accumulate(band, 0);
}

void TfrxEngine::PlaceBand(TfrxBand *band)
{
    QList<int> verticalBreaks;
    const bool crossing = state(band).crossesVertical;
    const bool allowSplit = band->AllowSplit;
    if (crossing) {
        PrepareVerticalBands(band);
        CurX = 0;
        m_pages->SetAppendMode(true);
        verticalBreaks = VerticalPageBreaks;
    }
    if (band->Vertical) {
        ShowVerticalBand(band);
        return;
    }
    const bool multiColumn = isDataBand(band) && static_cast<TfrxDataBand *>(band)->Columns > 1;
    const bool nullBand = dynamic_cast<TfrxNullBand *>(band) != nullptr;
    const bool overlay = dynamic_cast<TfrxOverlay *>(band) != nullptr;
    const bool groupHeader = dynamic_cast<TfrxGroupHeader *>(band) != nullptr;
    if (!InPageStart && band->Visible() && band->StartNewPage && !CaptureBand &&
        (!(isDataBand(band) || groupHeader) || band->RowNo != 1)) {
        BreakingBand = band;
        if (groupHeader && static_cast<TfrxGroupHeader *>(band)->ResetPageNumbers)
            m_pages->RestartLogicalPages();
        NewPage();
        BreakingBand = nullptr;
    }
    withFinally(
        [&] {
            PrepareBand(band);
            BandState &st = state(band);
            st.printedHeight = band->Height();
            if (!band->Visible()) return;
            if (!multiColumn && !overlay && !nullBand && !CaptureBand && FreeSpace() < band->Height()) {
                if ((band->AllowSplit && !KeepActive) ||
                    (band->Height() > PageHeight - FooterHeight() && !st.crossesVertical)) {
                    if (!band->AllowSplit && band->RowNoThrough > 1 && !band->StartNewPage) {
                        BandInProgress = band;
                        NewColumn();
                    }
                    CloseKeep(band);
                    DrawSplitBand(band);
                    return;
                }
                if (!KeepActive) RepeatBandData(band);
                const bool wasKeeping = KeepActive;
                if (!(dynamic_cast<TfrxChild *>(band) && InPageStart)) NewColumn();
                if (FreeSpace() < band->Height() && wasKeeping) {
                    BandInProgress = band;
                    NewColumn();
                }
            }
            if (!nullBand) {
                band->SetLeft(multiColumn ? band->Left() + CurX : CurX);
                band->SetTop(m_curY);
            }
            if (CaptureBand)
                captureCopy(band);
            else if (st.crossesVertical)
                EmitVerticalPages(band, verticalBreaks);
            else if (!InPageStart || !m_pages->HasBandOnPage(band))
                m_pages->AddObject(band);
            m_curY += band->Height();
        },
        [&] {
            FinishBand(band);
            if (crossing) band->AllowSplit = allowSplit;
        });
    m_aggregates.Restart(band);
    if (band->Visible()) ShowSubreports(band);
}

Extended TfrxEngine::FreeSpace()
{
    if (ActivePage && ActivePage->EndlessHeight) return 1000000;
    const Extended footer = UseCarriedFooter ? CarriedFooterHeight : FooterHeight();
    return PageHeight - footer - m_curY;
}

Extended TfrxEngine::HeaderHeight()
{
    Extended height = 0;
    for (QStringView cls : {QStringView(u"TfrxColumnHeader"), QStringView(u"TfrxPageHeader")})
        for (TfrxBand *band = ActivePage->FindBand(cls); band; band = band->Child())
            height += band->Height();
    return height;
}

Extended TfrxEngine::FooterHeight()
{
    Extended height = 0;
    if (TfrxBand *band = ActivePage->FindBand(u"TfrxColumnFooter")) height += band->Height();
    if (TfrxBand *band = ActivePage->FindBand(u"TfrxPageFooter")) height += band->Height();
    return height;
}

// ---- breaks ----

void TfrxEngine::breakWithKeep(bool newPage)
{
    const bool keeping = KeepActive;
    if (keeping) {
        if (KeepingFooter) m_aggregates.Retract(KeptBand);
        m_pages->CutObjects(KeepStartIndex);
        m_curY = m_pages->BottomOfBands(0);
    }
    BandCausingBreak = BandInProgress;
    if (newPage) {
        FinishPage();
        AddPage();
    } else {
        ShowColumnFooter();
        StartNewColumn();
    }
    BandCausingBreak = nullptr;
    if (keeping) {
        m_aggregates.ReleaseKeep();
        const Extended x = newPage ? 0 : CurX;
        m_pages->PasteObjects(m_curY, x);
        m_pages->Outline().ShiftFrom(KeepOutlineMark, int(std::nearbyint(m_curY)));
        m_pages->ShiftAnchors(KeepAnchorMark, int(std::nearbyint(m_curY)));
        m_curY = m_pages->BottomOfBands(x);
        if (KeepingFooter) m_aggregates.Accumulate(KeptBand, 0);
    }
    KeepActive = false;
    KeepingHeader = false;
    if (newPage) AddPageOutline();
}

void TfrxEngine::NewColumn()
{
    if (CurColumn >= ActivePage->Columns()) {
        NewPage();
        return;
    }
    breakWithKeep(false);
}

void TfrxEngine::NewPage()
{
    breakWithKeep(true);
}

void TfrxEngine::StartNewColumn()
{
    ++CurColumn;
    const Extended x = columnPositionUnits(*ActivePage, CurColumn);
    m_curY = ColumnTopY;
    for (int i = 0; i < m_headerList.Count(); ++i) {
        const TfrxHeaderListItem item = m_headerList.Items(i);
        if (!item.Band || dynamic_cast<TfrxPageHeader *>(item.Band)) continue;
        if (item.Band == BandCausingBreak || item.AddedInKeep || KeepingHeader) continue;
        CurX = item.Left + x;
        ShowRepeatedBand(item.Band);
    }
    CurX = PageOriginX + x;
}

void TfrxEngine::ShowRepeatedBand(TfrxBand *band)
{
    for (TfrxBand *b = band; b;) {
        b->Overflow = true;
        bool shown = false;
        withFinally(
            [&] {
                PrepareBand(b);
                if (b->Visible()) {
                    b->SetLeft(CurX);
                    b->SetTop(m_curY);
                    m_pages->AddObject(b);
                    m_curY += b->Height();
                    shown = true;
                }
            },
            [&] {
                FinishBand(b);
                b->Overflow = false;
            });
        if (!shown && !b->PrintChildIfInvisible) break;
        b = b->Child();
    }
}

void TfrxEngine::ShowColumnFooter()
{
    TfrxBand *footer = ActivePage->FindBand(u"TfrxColumnFooter");
    if (!footer) return;
    withFinally(
        [&] {
            PrepareBand(footer);
            if (footer->Visible()) {
                footer->SetLeft(CurX - PageOriginX);
                footer->SetTop(m_curY);
                m_pages->AddObject(footer);
                m_curY += footer->Height();
            }
        },
        [&] { FinishBand(footer); });
    m_aggregates.Restart(footer);
}

void TfrxEngine::AddPage()
{
    // A band shown at the top of a page that breaks the page again would start pages without end.
    if (m_pageStartBand)
        throw platform::Error(QStringLiteral("%1: 带区在新页的页首也放不下").arg(m_pageStartBand->Name()));
    UseCarriedFooter = false;
    m_pages->AddPage(ActivePage);
    m_curY = 0;
    auto *overlay = static_cast<TfrxOverlay *>(ActivePage->FindBand(u"TfrxOverlay"));
    if (overlay && !overlay->PrintOnTop) {
        ShowBand(overlay);
        m_curY = 0;
    }
    ColumnTopY = 0;
    const Extended savedX = CurX;
    for (int i = 0; i < m_headerList.Count(); ++i) {
        // Showing a band may add to the list: the item is read before, and written by index.
        const TfrxHeaderListItem item = m_headerList.Items(i);
        CurX = item.Left;
        TfrxBand *band = item.Band;
        if (!band || band == BreakingBand) continue;
        if (auto *header = dynamic_cast<TfrxPageHeader *>(band);
            header && OnFirstPage && !header->PrintOnFirstPage) {
            if (!header->Child() || !header->PrintChildIfInvisible) continue;
            band = header->Child();
        }
        if ((KeepingHeader || item.AddedInKeep) && !KeepingFooter) continue;
        const bool dataHeader = dynamic_cast<TfrxHeader *>(band) != nullptr;
        // No data header on the pages a vertical band's row continues on, nor above the band that broke.
        if (dataHeader && (band == BandCausingBreak || SuppressHeaders)) continue;
        const int savedLine = CurrentLine, savedThrough = CurrentLineThrough;
        CurrentLine = band->RowNo;
        CurrentLineThrough = band->RowNoThrough;
        band->Overflow = true;
        InPageStart = true;
        const bool title = dynamic_cast<TfrxReportTitle *>(band) != nullptr;
        if (title) m_headerList.Items(i).Band = nullptr; // a title appears once
        m_pageStartBand = band;
        withFinally(
            [&] {
                ShowBand(band);
                if (dynamic_cast<TfrxPageHeader *>(item.Band)) ColumnTopY = state(band).printedHeight;
                if (title) AtFirstBand = false;
            },
            [&] {
                m_pageStartBand = nullptr;
                InPageStart = false;
                band->Overflow = false;
                CurrentLine = savedLine;
                CurrentLineThrough = savedThrough;
            });
    }
    CurX = savedX;
}

void TfrxEngine::FinishPage()
{
    if (!InPageEnd) ShowColumnFooter();
    if (!OnLastPage) {
        CurX = PageOriginX;
        CurColumn = 1;
    }
    if (OnLastPage && !InPageEnd) {
        TfrxBand *summary = ActivePage->FindBand(u"TfrxReportSummary");
        const Extended before = m_curY;
        InPageEnd = true;
        withFinally([&] { ShowBand(summary); }, [&] { InPageEnd = false; });
        if (summary && ActivePage->EndlessHeight) {
            PageHeight += m_curY - before;
            const TfrxSizeUnits around = paperAroundUnits(*ActivePage, {PageWidth, PageHeight});
            m_pages->SetPageSize(ActivePage, around.height, around.width);
        }
    }
    if (auto *footer = static_cast<TfrxPageFooter *>(ActivePage->FindBand(u"TfrxPageFooter"))) {
        m_curY = PageHeight - footer->Height();
        CarriedFooterHeight = OnLastPage && footer->PrintOnLastPage ? footer->Height() : 0;
        ShowFooterBand(footer);
    }
    auto *overlay = static_cast<TfrxOverlay *>(ActivePage->FindBand(u"TfrxOverlay"));
    if (overlay && overlay->PrintOnTop) {
        m_curY = 0;
        ShowFooterBand(overlay);
    }
    OnFirstPage = false;
}

void TfrxEngine::ShowFooterBand(TfrxBand *band)
{
    bool skipped = false;
    withFinally(
        [&] {
            PrepareBand(band);
            if (!band->Visible()) return;
            band->SetLeft(0);
            band->SetTop(m_curY);
            if (auto *footer = dynamic_cast<TfrxPageFooter *>(band);
                footer &&
                ((OnFirstPage && !footer->PrintOnFirstPage) || (OnLastPage && !footer->PrintOnLastPage))) {
                skipped = true; // its totals go on counting into the next page
                return;
            }
            if (!m_pages->HasBandOnPage(band)) m_pages->AddObject(band);
            m_curY += band->Height();
        },
        [&] { FinishBand(band); });
    if (!skipped) m_aggregates.Restart(band);
}

// ---- headers, keeping, columns, groups, outline ----

void TfrxEngine::AddToHeaderList(TfrxBand *band)
{
    auto *groupHeader = dynamic_cast<TfrxGroupHeader *>(band);
    const bool repeat =
        (dynamic_cast<TfrxHeader *>(band) && static_cast<TfrxHeader *>(band)->ReprintOnNewPage) ||
        (groupHeader && groupHeader->ReprintOnNewPage);
    if (repeat) headerListFor(band).Add(band, PageOriginX, KeepActive && !dynamic_cast<TfrxHeader *>(band));
}

void TfrxEngine::OpenKeep(TfrxBand *band, int position)
{
    // Vertical bands place nothing in the store themselves: there is nothing for them to keep.
    if (KeepActive || AtFirstBand || (band && band->Vertical)) return;
    KeepActive = true;
    KeptBand = band;
    KeepStartIndex = position == 0 ? m_pages->ObjectCount() : position;
    KeepOutlineMark = m_pages->Outline().Mark();
    KeepAnchorMark = m_pages->LastAnchorIndex();
    m_aggregates.HoldForKeep();
}

void TfrxEngine::CloseKeep(TfrxBand *band)
{
    if (!KeepActive || band != KeptBand) return;
    KeepActive = false;
    KeptBand = nullptr;
    m_aggregates.ReleaseKeep();
    KeepingHeader = false;
}

void TfrxEngine::setBandColumn(TfrxDataBand *band, int column)
{
    if (band->Columns < 2) return;
    BandState &st = state(band);
    if (column > band->Columns) column = 1;
    if (column == 1) st.columnBottom = 0;
    st.columnNo = column;
    band->SetLeft((column - 1) * (band->ColumnWidth + band->ColumnGap));
}

void TfrxEngine::NextBandColumn(TfrxDataBand *band, int cutPosition, Extended rowTop)
{
    if (band->Columns < 2) return;
    BandState &st = state(band);
    st.columnBottom = std::max(st.columnBottom, m_curY);
    if (st.columnNo < band->Columns) {
        m_curY = rowTop;
    } else if (st.columnBottom <= PageHeight - FooterHeight() || ActivePage->EndlessHeight) {
        m_curY = st.columnBottom;
    } else if (KeepActive) {
        NewColumn();
    } else {
        const Extended rowHeight = st.columnBottom - rowTop;
        m_pages->CutObjects(cutPosition);
        NewColumn();
        m_pages->PasteObjects(m_curY, CurX);
        m_curY += rowHeight;
    }
    if (band->Visible()) setBandColumn(band, st.columnNo + 1);
}

void TfrxEngine::InitGroups(TfrxDataBand *band, int from, bool first)
{
    BandState &st = state(band);
    for (int i = from; i < st.groups.size(); ++i) {
        TfrxGroupHeader *header = st.groups[i];
        if (first) {
            header->RowNo = 1;
            header->RowNoThrough = 1;
            for (TfrxComponent *object : header->Objects())
                if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object)) memo->ResetLastValue();
        } else {
            ++header->RowNo;
            if (i + 1 < st.groups.size()) st.groups[i + 1]->RowNo = 0;
            ++header->RowNoThrough;
        }
    }
    CheckDrill(band);
    for (int i = from; i < st.groups.size(); ++i) {
        TfrxGroupHeader *header = st.groups[i];
        CurrentLine = header->RowNo;
        CurrentLineThrough = header->RowNoThrough;
        m_report->CurObject = header->Name();
        state(header).lastCondition = m_report->Calc(header->Condition);
        if (header->KeepTogether) OpenKeep(header);
        ShowBand(header);
        AddBandOutline(header);
        AddToHeaderList(header);
    }
}

void TfrxEngine::CheckGroups(TfrxDataBand *band)
{
    BandState &st = state(band);
    CheckDrill(band);
    for (int i = 0; i < st.groups.size(); ++i) {
        TfrxGroupHeader *header = st.groups[i];
        m_report->CurObject = header->Name();
        const script::Variant value = m_report->Calc(header->Condition);
        if (script::Variant::equals(value, state(header).lastCondition)) continue;
        setBandColumn(band, band->Columns);
        NextBandColumn(band, 0, m_curY);
        TfrxDataSet *ds = dataSetOf(band);
        bool steppedBack = true;
        try {
            ds->Prior();
        } catch (...) {
            steppedBack = false;
        }
        EndGroups(band, i);
        if (steppedBack) ds->Next();
        InitGroups(band, i, false);
        band->RowNo = 1;
        for (TfrxComponent *object : band->Objects())
            if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object)) memo->ResetLastValue();
        break;
    }
}

void TfrxEngine::EndGroups(TfrxDataBand *band, int from)
{
    BandState &st = state(band);
    for (int i = int(st.groups.size()) - 1; i >= from; --i) {
        TfrxGroupHeader *header = st.groups[i];
        auto *footer = static_cast<TfrxGroupFooter *>(state(header).footer);
        if (footer && footer->HideIfSingleDataRecord && band->RowNo < 3)
            m_aggregates.Restart(footer);
        else if (footer)
            ShowBand(footer);
        if (!header->OutlineText.isEmpty()) m_pages->Outline().LevelUp();
        headerListFor(header).Remove(header);
        if (header->KeepTogether) CloseKeep(header);
    }
}

void TfrxEngine::setDrillVisible(TfrxBand *band, bool visible)
{
    if (!band) return;
    if (!m_drillDesign.contains(band)) m_drillDesign.insert(band, band->Visible());
    band->SetVisible(visible);
}

void TfrxEngine::CheckDrill(TfrxDataBand *band)
{
    const QList<TfrxGroupHeader *> &groups = state(band).groups;
    for (int i = 0; i < groups.size(); ++i) {
        TfrxGroupHeader *header = groups[i];
        if (!header->DrillDown) continue;
        const QString key = header->Name() + QLatin1Char('.') + QString::number(header->RowNoThrough);
        const bool listed = m_report->DrillState.contains(key);
        const bool visible = header->ExpandDrillDown ? !listed : listed;
        for (int j = i + 1; j < groups.size(); ++j) {
            setDrillVisible(groups[j], visible);
            setDrillVisible(state(groups[j]).footer, visible);
        }
        setDrillVisible(band, visible);
        if (!header->ShowFooterIfDrillDown) setDrillVisible(state(header).footer, visible);
        if (!visible) break;
    }
}

void TfrxEngine::AddPageOutline()
{
    if (ActivePage->OutlineText.isEmpty()) return;
    m_pages->Outline().LevelRoot();
    m_pages->Outline().AddItem(calcText(ActivePage->OutlineText), 0);
}

void TfrxEngine::AddBandOutline(TfrxBand *band)
{
    QString text;
    if (auto *data = dynamic_cast<TfrxDataBand *>(band))
        text = data->OutlineText;
    else if (auto *group = dynamic_cast<TfrxGroupHeader *>(band))
        text = group->OutlineText;
    if (text.isEmpty() || !band->Visible() || band->Vertical) return;
    const Extended height = band->Stretched ? state(band).printedHeight : band->Height();
    m_pages->Outline().AddItem(calcText(text), int(std::nearbyint(m_curY - height)));
}

} // namespace frx
