// Aggregate functions of report texts: SUM, AVG, MIN, MAX and COUNT calls found in the texts of
// footers, with the values the engine accumulates for them row by row.
#pragma once

#include "script/variant.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace frx {

class TfrxBand;
class TfrxComponent;
class TfrxReport;

enum TfrxAggregateFunction { agSum, agAvg, agMin, agMax, agCount };

// Flags argument of an aggregate call.
enum TfrxAggregateFlag : int {
    afCountHidden = 1,  // rows of invisible bands count too
    afRunningTotal = 2, // not restarted by its footer
};

// One aggregate call of a footer text.
struct TfrxAggregateItem {
    TfrxAggregateFunction Function = agSum;
    QString Expression; // trimmed; empty for COUNT
    TfrxBand *DataBand = nullptr;
    TfrxBand *FooterBand = nullptr;
    QString MemoName;
    QString CallText;
    bool CountHidden = false;
    bool RunningTotal = false;
    bool IsPageFooter = false;
    // The text object lies in a vertical band but prints for a horizontal footer: it only ever shows
    // the values of a vertical column.
    bool PerColumn = false;

    script::Variant Value;
    int Count = 0;
    script::Variant LastValue; // before the last addition, for Retract
    int LastCount = 0;
    script::Variant KeepValue; // rows added while a keep block is open
    int KeepCount = 0;
    // Per vertical column (index 0 unused), grown on first use of a column.
    std::vector<script::Variant> VValues;
    std::vector<int> VCounts;

    // Forgets the values; the rows held back by an open keep block only with keptRowsToo (a footer
    // printed during the keep must not lose the rows that move to the next page).
    void Reset(bool keptRowsToo);
    // The value a footer shows: AVG value / count, COUNT the count, else the value; Null gives 0.
    // vColumn ≥ 1: the values of that vertical column.
    script::Variant Result(int vColumn) const;
};

// The aggregate calls of a report run, kept by the engine.
class TfrxAggregateList {
public:
    explicit TfrxAggregateList(TfrxReport *report) : m_report(report) {}

    void Clear();
    int Count() const { return int(m_items.size()); }
    TfrxAggregateItem &Items(int index) { return *m_items[size_t(index)]; }

    // Adds an item for every aggregate call in the text objects of `footer` and its child chain; an
    // item without a band argument counts `dataBand`. Calls are found in the delimited expressions of
    // text objects with AllowExpressions, inside parentheses and <...> references, and in the text of
    // report variables named there. Text objects moved from a footer into a vertical band belong to
    // that footer, not to the vertical band. New items start restarted.
    void Collect(TfrxBand *dataBand, TfrxBand *footer);
    // Adds the row just shown by `band` to the items counting it: their expression is evaluated
    // through the report's Calc (failures raise). vColumn ≥ 1 selects a vertical column's values;
    // items that show only vertical columns take no row at vColumn 0.
    void Accumulate(TfrxBand *band, int vColumn = 0);
    // Takes back the last row added to the items counting `band`.
    void Retract(TfrxBand *band);
    // Restarts the items printed by `footer`, except running totals that counted something.
    void Restart(TfrxBand *footer);
    // Page footer items collect into their keep values from now on / add them in and stop keeping.
    void HoldForKeep();
    void ReleaseKeep();
    // Restarts every item, running totals included (between two passes).
    void RestartAll();
    // The value of the first item printed by `footer` with that function name (SUM …), expression
    // (trimmed, case ignored), band (when given) and flags; Null when there is none. At vColumn 0 the
    // items that show only vertical columns are passed over.
    script::Variant ValueFor(TfrxBand *footer, int vColumn, int flags, TfrxBand *band,
                             const QString &expression, const QString &function) const;

    // The function of an upper-case name SUM, AVG, MIN, MAX or COUNT; false for any other name.
    static bool functionOf(QStringView name, TfrxAggregateFunction &function);

private:
    void collectMemo(TfrxComponent *object, TfrxBand *dataBand, TfrxBand *footer);
    void scan(const QString &text, TfrxBand *dataBand, TfrxBand *footer, const QString &memoName, int depth);
    void addCall(const QString &name, const QString &arguments, TfrxBand *dataBand, TfrxBand *footer,
                 const QString &memoName, const QString &callText);

    TfrxReport *m_report;
    std::vector<std::unique_ptr<TfrxAggregateItem>> m_items;
    bool m_keeping = false;
};

} // namespace frx
