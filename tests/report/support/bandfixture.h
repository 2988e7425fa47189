// A report with one page and two one-column data sets ("rows" and "cols", field "v"), for tests
// that prepare band layouts and compare the prepared pages band by band and object by object.
#pragma once

#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxPreviewPages.h"

#include <QStringList>

namespace bandfixture {

using namespace frx;
using namespace Qt::StringLiterals;

// A data set of one column "v" over fixed values.
struct Table {
    TfrxUserDataSet set;
    QStringList values;
    Table(const QString &name, const QStringList &rows) : values(rows)
    {
        set.SetName(name);
        set.Fields = {u"v"_s};
        set.RangeEnd = reCount;
        set.RangeEndCount = int(rows.size());
        set.OnGetValue = [this](const QString &, script::Variant &value) {
            if (set.RecNo < values.size()) value = values.at(set.RecNo);
        };
    }
};

struct Fixture {
    TfrxReport report;
    Table rows{u"rows"_s, {}};
    Table cols{u"cols"_s, {}};
    TfrxReportPage *page = nullptr;

    Fixture()
    {
        report.EngineOptions.NewSilentMode = simSilent;
        // The tests look at the definition's objects after a run; reading the saved definition back
        // would replace them.
        report.EngineOptions.DestroyForms = false;
        report.Datasets.Add()->SetDataSet(&rows.set);
        report.Datasets.Add()->SetDataSet(&cols.set);
        new TfrxDataPage(&report);
        page = addPage(u"Page1"_s);
    }
    TfrxReportPage *addPage(const QString &name)
    {
        auto *p = new TfrxReportPage(&report);
        p->SetName(name);
        p->SetPaperWidth(210);
        p->SetPaperHeight(290);
        return p;
    }
    static void setRows(Table &table, const QStringList &values)
    {
        table.values = values;
        table.set.RangeEndCount = int(values.size());
    }
    template <typename Band>
    Band *band(TfrxReportPage *owner, const QString &name, Extended top, Extended height)
    {
        auto *b = new Band(owner);
        b->SetName(name);
        b->SetBounds(0, top, 700, height);
        return b;
    }
    TfrxMasterData *master(TfrxReportPage *owner, const QString &name, Extended top, Extended height,
                           Table &table)
    {
        auto *b = band<TfrxMasterData>(owner, name, top, height);
        b->SetDataSet(&table.set);
        return b;
    }
    static TfrxMemoView *memo(TfrxComponent *owner, const QString &name, Extended left, Extended top,
                              Extended width, Extended height, const QString &text)
    {
        auto *m = new TfrxMemoView(owner);
        m->SetName(name);
        m->SetBounds(left, top, width, height);
        m->SetText(text);
        return m;
    }
    bool prepare() { return report.PrepareReport(true); }
    TfrxPreviewPages &pages() { return *report.PreviewPages(); }
    QString sourceName(const TfrxXMLItem *item)
    {
        TfrxComponent *source = pages().Dictionary().GetObject(item->Name());
        return source ? source->Name() : item->Name();
    }
    // "Name@top" of every band on a prepared page, in order.
    QStringList bandsOn(int index)
    {
        QStringList result;
        const TfrxXMLItem *item = pages().PageItem(index);
        for (int i = 0; i < item->Count(); ++i) {
            const TfrxXMLItem *b = item->Items(i);
            TfrxComponent *source = pages().Dictionary().GetObject(b->Name());
            const QString top = b->Prop(u"t");
            result << sourceName(b) + u"@"_s +
                          (top.isEmpty() && source ? QString::number(double(source->Top())) : top);
        }
        return result;
    }
    // "name l t text" of every object of a band element: the values stored or those of the source.
    QStringList objectsOf(const TfrxXMLItem *band)
    {
        QStringList result;
        for (int i = 0; i < band->Count(); ++i) {
            const TfrxXMLItem *o = band->Items(i);
            TfrxComponent *source = pages().Dictionary().GetObject(o->Name());
            auto value = [&](QStringView attribute, Extended fallback) {
                const QString stored = o->Prop(attribute);
                return stored.isEmpty() ? QString::number(double(fallback)) : stored;
            };
            QString text = o->Prop(u"u").trimmed();
            if (text.isEmpty())
                if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(source)) text = memo->Text().trimmed();
            result << u"%1 %2 %3 %4"_s.arg(sourceName(o), value(u"l", source ? source->Left() : 0),
                                           value(u"t", source ? source->Top() : 0), text);
        }
        return result;
    }
};

} // namespace bandfixture
