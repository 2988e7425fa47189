#include "report/objects/frxDBSet.h"
#include "report/engine/frxEngine.h"
#include "report/base/frxRes.h"

#include <map>

namespace frx {

void TfrxEngine::PreparePage(TfrxReportPage *page, bool vertical)
{
    page->AlignChildren();
    QList<TfrxDataBand *> &masters = vertical ? m_verticalMasterBands[page] : m_masterBands[page];
    masters.clear();
    QList<TfrxBand *> bands;
    for (TfrxComponent *object : page->Objects())
        if (auto *band = dynamic_cast<TfrxBand *>(object); band && band->Vertical == vertical)
            bands.append(band);

    for (TfrxBand *band : bands) {
        BandState &st = state(band);
        st.shiftTargetsBuilt = false;
        st.nested.clear();
        st.header = st.footer = nullptr;
        st.groups.clear();
        st.crossesVertical = false;
        if (auto *data = dynamic_cast<TfrxDataBand *>(band)) {
            st.dataSet = dynamic_cast<TfrxDataSet *>(data->DataSet());
            if (!st.dataSet && data->RowCount > 0) {
                st.rowCounter = std::make_unique<TfrxUserDataSet>();
                st.rowCounter->RangeEnd = reCount;
                st.rowCounter->RangeEndCount = data->RowCount;
                st.dataSet = st.rowCounter.get();
            }
        }
    }
    // Objects that lie inside vertical bands move there before the shift relations are built, so
    // that a horizontal band never shifts what it no longer holds.
    if (!vertical) moveCrossingObjects(page);
    for (TfrxBand *band : bands)
        BuildShiftTargets(band);

    // Bands that take part in the tree, ordered by position; of equal keys the first met wins.
    std::map<QString, TfrxBand *> byKey;
    for (TfrxBand *band : bands) {
        const int number = BandNumber(band);
        if (number < 4 || number > 13) continue;
        const QString key =
            QString::asprintf("%9.2f", double(vertical ? band->Left() : band->Top())).toLower();
        byKey.emplace(key, band);
    }
    QList<TfrxBand *> list;
    for (auto &entry : byKey)
        list.append(entry.second);
    TfrxErrorList &errors = m_report->ErrorList;

    // Groups: a run of group headers belongs to the next data band after it.
    for (int i = 0; i < list.size(); ++i) {
        if (!dynamic_cast<TfrxGroupHeader *>(list[i])) continue;
        int j = i;
        QList<TfrxGroupHeader *> chain;
        while (j < list.size() && dynamic_cast<TfrxGroupHeader *>(list[j]))
            chain.append(static_cast<TfrxGroupHeader *>(list[j++]));
        TfrxDataBand *data = nullptr;
        for (int k = j; k < list.size() && !data; ++k)
            data = dynamic_cast<TfrxDataBand *>(list[k]);
        if (data)
            state(data).groups = chain;
        else
            for (TfrxGroupHeader *header : chain)
                errors.Add(frxGet(QStringLiteral("enUnconnGroup")) + QLatin1Char(' ') + header->Name());
        i = j - 1;
    }
    for (int i = 0; i < list.size(); ++i) {
        if (!dynamic_cast<TfrxGroupFooter *>(list[i])) continue;
        for (int k = i - 1; k >= 0; --k)
            if (auto *header = dynamic_cast<TfrxGroupHeader *>(list[k])) {
                if (!state(header).footer) {
                    state(header).footer = list[i];
                    list[i] = nullptr;
                }
                break;
            }
    }
    for (TfrxBand *&band : list) {
        if (dynamic_cast<TfrxGroupHeader *>(band)) band = nullptr;
        if (band && dynamic_cast<TfrxGroupFooter *>(band)) {
            errors.Add(frxGet(QStringLiteral("enUnconnGFooter")) + QLatin1Char(' ') + band->Name());
            band = nullptr;
        }
    }
    list.removeAll(nullptr);

    // Headers and footers stick to the data band beside them.
    for (int i = 0; i < list.size(); ++i) {
        auto *data = dynamic_cast<TfrxDataBand *>(list[i]);
        if (!data) continue;
        if (i > 0 && list[i - 1] && BandNumber(list[i - 1]) == 4) {
            state(data).header = list[i - 1];
            list[i - 1] = nullptr;
        }
        if (i + 1 < list.size() && BandNumber(list[i + 1]) == 5) {
            state(data).footer = list[i + 1];
            list[i + 1] = nullptr;
        }
    }
    for (TfrxBand *&band : list)
        if (band && (BandNumber(band) == 4 || BandNumber(band) == 5)) {
            errors.Add(frxGet(QStringLiteral("enUnconnHeader")) + QLatin1Char(' ') + band->Name());
            band = nullptr;
        }
    list.removeAll(nullptr);

    // Data levels: each band one number deeper than the current level nests in it.
    for (int i = 0; i < list.size(); ++i) {
        auto *master = dynamic_cast<TfrxMasterData *>(list[i]);
        if (!master) continue;
        if (state(master).dataSet) masters.append(master);
        list[i] = nullptr;
        QList<TfrxDataBand *> levels{master};
        for (int j = i + 1; j < list.size() && !levels.isEmpty(); ++j) {
            auto *band = dynamic_cast<TfrxDataBand *>(list[j]);
            if (!band) continue;
            const int number = BandNumber(band);
            while (!levels.isEmpty() && number <= BandNumber(levels.last()))
                levels.removeLast();
            if (levels.isEmpty()) break;
            if (number != BandNumber(levels.last()) + 1) continue;
            if (state(band).dataSet) state(levels.last()).nested.append(band);
            list[j] = nullptr;
            if (number < 11) levels.append(band);
        }
    }
    for (TfrxBand *band : list)
        if (band) errors.Add(frxGet(QStringLiteral("enBandPos")) + QLatin1Char(' ') + band->Name());
}

} // namespace frx
