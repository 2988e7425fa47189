// A report with one page and a user data set of guests (fields 姓名, g, n), for tests that prepare
// reports and read the prepared texts back.
#pragma once

#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxPreviewPages.h"

#include <QStringList>

namespace reportfixture {

using namespace frx;

struct Report {
    TfrxReport report;
    TfrxUserDataSet guests;
    QStringList names;
    QStringList groups;
    QList<script::Variant> numbers;
    TfrxReportPage *page = nullptr;

    Report()
    {
        report.EngineOptions.NewSilentMode = simSilent;
        // The tests look at the definition's objects after a run; reading the saved definition back
        // would replace them.
        report.EngineOptions.DestroyForms = false;
        guests.SetName(QStringLiteral("frxdbdtst1"));
        guests.Fields = {QStringLiteral("姓名"), QStringLiteral("g"), QStringLiteral("n")};
        guests.RangeEnd = reCount;
        guests.OnGetValue = [this](const QString &field, script::Variant &value) {
            const int row = guests.RecNo;
            if (field == QStringLiteral("姓名") && row < names.size()) value = names.at(row);
            if (field == QStringLiteral("g") && row < groups.size()) value = groups.at(row);
            if (field == QStringLiteral("n") && row < numbers.size()) value = numbers.at(row);
        };
        report.Datasets.Add()->SetDataSet(&guests);
        new TfrxDataPage(&report);
        page = new TfrxReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetPaperWidth(210);
        page->SetPaperHeight(290);
    }
    void setGuests(const QStringList &list)
    {
        names = list;
        guests.RangeEndCount = int(list.size());
    }
    template <typename Band> Band *band(const QString &name, Extended top, Extended height)
    {
        auto *b = new Band(page);
        b->SetName(name);
        b->SetBounds(0, top, 700, height);
        return b;
    }
    TfrxMasterData *master(const QString &name, Extended top, Extended height)
    {
        auto *b = band<TfrxMasterData>(name, top, height);
        b->SetDataSet(&guests);
        return b;
    }
    static TfrxMemoView *memo(TfrxComponent *owner, const QString &name, Extended top, Extended height,
                              const QString &text = {})
    {
        auto *m = new TfrxMemoView(owner);
        m->SetName(name);
        m->SetBounds(10, top, 300, height);
        m->SetText(text);
        return m;
    }
    bool prepare() { return report.PrepareReport(true); }
    TfrxPreviewPages &pages() { return *report.PreviewPages(); }

    // The prepared texts of the objects of one source name, page by page, in order.
    QStringList texts(const QString &objectName)
    {
        QStringList result;
        for (int p = 0; p < pages().Count(); ++p) {
            const TfrxXMLItem *page = pages().PageItem(p);
            for (int b = 0; b < page->Count(); ++b)
                for (int o = 0; o < page->Items(b)->Count(); ++o) {
                    const TfrxXMLItem *item = page->Items(b)->Items(o);
                    TfrxComponent *source = pages().Dictionary().GetObject(item->Name());
                    if (source && source->Name() == objectName) result << item->Prop(u"u").trimmed();
                }
        }
        return result;
    }
};

} // namespace reportfixture
