// The report engine: walks the pages, bands and records of a report and hands every placed band to
// the prepared-pages store. It decides where each band goes, breaks pages and columns, repeats
// headers, keeps bands together, fills and stretches bands for the current record and cuts bands that
// do not fit an empty page into parts. All geometry is in report units (96 per inch).
#pragma once

#include "report/engine/frxAggregate.h"
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxPreviewPages.h"
#include "script/variant.h"

#include <QDateTime>
#include <QHash>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace frx {

class TfrxDataSet;
class TfrxUserDataSet;

// The engine state scripts and expressions read, and the operations the report calls.
class TfrxCustomEngine : public TfrxEngineState {
public:
    // The engine of `report`, writing to `pages`; neither is owned.
    TfrxCustomEngine(TfrxReport *report, TfrxPreviewPages *pages) : m_report(report), m_pages(pages) {}
    ~TfrxCustomEngine() override = default;

    // Prints the column footer, the summary on the last page, the page footer, and closes the page.
    virtual void FinishPage() = 0;
    // Moves to the next page column, or to a new page after the last column.
    virtual void NewColumn() = 0;
    // Finishes the page and starts a new one.
    virtual void NewPage() = 0;
    // Places a band and its child bands at the current position; nothing for none.
    virtual void ShowBand(TfrxBand *band) = 0;
    // ShowBand of the first band of that class on the active page (nothing if none).
    virtual void ShowBand(QStringView bandClass) = 0;
    // Height of the column header chain plus the page header chain.
    virtual Extended HeaderHeight() = 0;
    // Height of the column footer plus the page footer.
    virtual Extended FooterHeight() = 0;
    // Room left on the page above the footers.
    virtual Extended FreeSpace() = 0;
    // The value of an aggregate call (SUM, AVG, MIN, MAX, COUNT) in the band being prepared; Null
    // when that band prints no such call. `band` none: the call's own data band.
    virtual script::Variant AggregateValue(const QString &name, const QString &expression, TfrxBand *band,
                                           int flags) = 0;
    // One complete run over all pages; false when the run did not start (errors are logged).
    virtual bool BuildPages() = 0;

    // Ends the run at the next record: sets the report's Terminated flag and asks the report script
    // to stop what it runs now.
    void StopReport();
    // Anchors of the store at the current position.
    void AddAnchor(const QString &text) { m_pages->AddAnchor(text); }
    int GetAnchorPage(const QString &text) const { return m_pages->GetAnchorPage(text); }

    TfrxReport *Report() const { return m_report; }
    TfrxPreviewPages *PreviewPages() const { return m_pages; }

    Extended CurY() const override { return m_curY; }
    void SetCurY(Extended value) { m_curY = value; }
    int TotalPages() const override { return m_totalPages; }
    bool FinalPass() const override { return m_finalPass; }
    bool DoublePass() const;

    int CurColumn = 1;
    int CurVColumn = 0;
    Extended CurX = 0;
    Extended PageHeight = 0;
    Extended PageWidth = 0;
    QDate StartDate;
    QTime StartTime;
    bool SecondScriptCall = false;
    bool RunActive = false;
    int CurrentLine = 0;
    int CurrentLineThrough = 0;
    // Shows a dialog page instead of the built-in modal call; returns the modal result (2: cancel).
    std::function<int(TfrxDialogPage *page)> DialogRunner;

protected:
    TfrxReport *m_report;
    TfrxPreviewPages *m_pages;
    Extended m_curY = 0;
    int m_totalPages = 0;
    bool m_finalPass = true;
};

// One band to repeat at the top of every new page or column.
struct TfrxHeaderListItem {
    TfrxBand *Band = nullptr; // may be none
    Extended Left = 0;
    bool AddedInKeep = false;
};

// The bands repeated at the top of each new page or column, in the order they were entered.
class TfrxHeaderList {
public:
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    TfrxHeaderListItem &Items(int index) { return m_items[size_t(index)]; }
    void Add(TfrxBand *band, Extended left, bool addedInKeep)
    {
        m_items.push_back({band, left, addedInKeep});
    }
    // Deletes the first item of that band; nothing when there is none.
    void Remove(TfrxBand *band);

private:
    std::vector<TfrxHeaderListItem> m_items;
};

class TfrxEngine : public TfrxCustomEngine {
public:
    TfrxEngine(TfrxReport *report, TfrxPreviewPages *pages);
    ~TfrxEngine() override;

    void FinishPage() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TfrxBand *band) override;
    void ShowBand(QStringView bandClass) override;
    Extended HeaderHeight() override;
    Extended FooterHeight() override;
    Extended FreeSpace() override;
    script::Variant AggregateValue(const QString &name, const QString &expression, TfrxBand *band,
                                   int flags) override;
    bool BuildPages() override;
    TfrxAggregateList &AggregateList() { return m_aggregates; }

    // The band number that orders the band tree (0 report title ... 17 overlay; -1 for other bands).
    static int BandNumber(const TfrxBand *band);

private:
    // Run-time state the engine keeps on a band; rebuilt by the band tree before every run.
    struct BandState {
        QList<TfrxDataBand *> nested;
        TfrxBand *header = nullptr;
        TfrxBand *footer = nullptr;
        QList<TfrxGroupHeader *> groups; // enclosing group headers of a data band, outermost first
        Extended printedHeight = 0;
        int designObjectCount = -1;
        bool crossesVertical = false;
        int columnNo = 1;
        Extended columnBottom = 0;
        script::Variant lastCondition; // of a group header
        std::unique_ptr<TfrxUserDataSet> rowCounter;
        TfrxDataSet *dataSet = nullptr;
        bool shiftTargetsBuilt = false;
        QList<TfrxComponent *> shiftTargets; // objects with no other object above them
        QList<TfrxComponent *> shiftOrder;   // all objects, every one after those above it
    };
    struct ObjectState {
        QList<TfrxComponent *> shiftTargets; // objects directly below
        Extended growth = 0;
        Extended savedHeight = 0, savedTop = 0;
    };

    BandState &state(TfrxBand *band) { return m_bandStates[band]; }
    TfrxDataSet *dataSetOf(TfrxDataBand *band);

    // ---- the run (frxEngine.cpp)
    bool InitializeRun();
    void finalizeRun();
    bool RunDialogs();
    void RunReportPages();
    void RunPages();
    void RunPage(TfrxReportPage *page);
    void RunPageCopy(TfrxReportPage *page);
    bool HasData(TfrxComponent *owner, bool flag);
    void InitPage();
    void ShowPageObjects();
    void RunDataBands(TfrxComponent *owner);
    void collectAggregates(TfrxReportPage *page);
    void collectAggregates(TfrxDataBand *band);
    const QList<TfrxDataBand *> &nestedBands(TfrxComponent *owner);
    // Puts back what a run changed in the definition: visibility set by drill-down, objects moved into
    // vertical bands.
    void restoreDefinition();
    void runScriptEvent(TfrxComponent *sender, const QString &procName);
    void processMessages();

    // ---- the band tree (frxEngine_tree.cpp)
    void PreparePage(TfrxReportPage *page, bool vertical);

    // ---- placing (frxEngine_place.cpp)
    void PlaceBand(TfrxBand *band);
    void AddPage();
    void StartNewColumn();
    void ShowColumnFooter();
    void ShowFooterBand(TfrxBand *band);
    void ShowRepeatedBand(TfrxBand *band);
    void AddToHeaderList(TfrxBand *band);
    // The header list of the band's orientation.
    TfrxHeaderList &headerListFor(const TfrxBand *band)
    {
        return band && band->Vertical ? VerticalHeaders : m_headerList;
    }
    void OpenKeep(TfrxBand *band, int position = 0);
    void CloseKeep(TfrxBand *band);
    void breakWithKeep(bool newPage);
    void setBandColumn(TfrxDataBand *band, int column);
    void NextBandColumn(TfrxDataBand *band, int cutPosition, Extended rowTop);
    void InitGroups(TfrxDataBand *band, int from, bool first);
    void CheckGroups(TfrxDataBand *band);
    void EndGroups(TfrxDataBand *band, int from);
    void CheckDrill(TfrxDataBand *band);
    void setDrillVisible(TfrxBand *band, bool visible);
    void AddPageOutline();
    void AddBandOutline(TfrxBand *band);
    QString calcText(const QString &expression);

    // ---- preparing one band (frxEngine_band.cpp)
    void PrepareBand(TfrxBand *band);
    void FinishBand(TfrxBand *band);
    void BuildShiftTargets(TfrxBand *band);
    // Moves the objects below grown objects, each once.
    void ShiftObjects(TfrxBand *band);
    void DrawSplitBand(TfrxBand *band);
    void RepeatBandData(TfrxBand *band);

    // ---- subreports (frxEngine_subreport.cpp)
    void ShowSubreports(TfrxBand *band);
    void CaptureSubreports(TfrxBand *band);
    void captureCopy(TfrxBand *band);
    // Runs the subreport's page, unless that page is already running: then an error line.
    void runSubreport(TfrxSubreport *sub);

    // ---- vertical bands (frxEngine_vertical.cpp)
    void moveCrossingObjects(TfrxReportPage *page);
    void PrepareVerticalBands(TfrxBand *band);
    void RunVerticalDataBands(TfrxComponent *owner);
    void ShowVerticalBand(TfrxBand *band);
    void EmitVerticalPages(TfrxBand *band, const QList<int> &breaks);

    TfrxAggregateList m_aggregates;
    TfrxHeaderList m_headerList;
    TfrxBand *m_pageStartBand = nullptr;         // the band AddPage is showing at a page's top
    QList<TfrxReportPage *> m_subreportPages;    // the subreport pages running, outermost first
    std::unordered_map<TfrxBand *, BandState> m_bandStates;
    QHash<TfrxComponent *, ObjectState> m_objectStates;
    QHash<TfrxReportPage *, QList<TfrxDataBand *>> m_masterBands;
    QHash<TfrxReportPage *, QList<TfrxDataBand *>> m_verticalMasterBands;
    // Designed visibility of the bands drill-down changed during the run.
    QHash<TfrxBand *, bool> m_drillDesign;
    // A horizontal band whose objects were moved into vertical bands, with its objects as designed.
    struct Crossing {
        TfrxBand *band;
        QList<TfrxComponent *> objects;
        QList<Extended> lefts;
    };
    std::vector<Crossing> m_crossings;
    QList<TfrxDataBand *> m_noBands;

    TfrxReportPage *ActivePage = nullptr;
    TfrxBand *BandInProgress = nullptr;
    TfrxBand *BandCausingBreak = nullptr;
    TfrxBand *BreakingBand = nullptr;
    bool InPageStart = false;
    bool InPageEnd = false;
    bool OnFirstReportPage = false;
    Extended ColumnTopY = 0;
    bool AtFirstBand = false;
    bool OnFirstPage = false;
    bool OnLastPage = false;
    bool KeepActive = false;
    TfrxBand *KeptBand = nullptr;
    bool KeepingFooter = false;
    bool KeepingHeader = false;
    int KeepStartIndex = 0;
    TfrxXMLItem *KeepOutlineMark = nullptr;
    int KeepAnchorMark = 0;
    Extended CarriedFooterHeight = 0;
    bool UseCarriedFooter = false;
    Extended PageOriginX = 0;
    TfrxBand *CaptureBand = nullptr; // bands are copied into it instead of being emitted
    bool SuppressHeaders = false;
    TfrxHeaderList VerticalHeaders;
    TfrxBand *VerticalMaster = nullptr;
    // The vertical column whose totals the cells being filled show; 0 outside a vertical data band.
    int VColumnInProgress = 0;
    QList<int> VerticalPageBreaks; // object counts of the vertical master where a horizontal page ends
};

} // namespace frx
