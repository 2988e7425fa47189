// The prepared-pages store on the card road: 10,000 card pages of one band with seventeen text
// objects placed, then saved to and loaded from a .fp3 stream; processor time and heap bytes per card.
#include "report/engine/frxPreviewPages.h"

#include <QBuffer>

#include <cstdio>
#include <ctime>
#include <malloc.h>

using namespace frx;

namespace {

// Processor time of this process: on a shared machine the wall clock also counts the others.
struct Clock {
    using time_point = std::clock_t;
    static time_point now() { return std::clock(); }
};

double secondsSince(Clock::time_point start)
{
    return double(Clock::now() - start) / CLOCKS_PER_SEC;
}

qint64 heapInUse()
{
    return qint64(mallinfo2().uordblks);
}

class Engine : public TfrxEngineState {
public:
    Extended CurY() const override { return 0; }
    int TotalPages() const override { return 0; }
    bool FinalPass() const override { return true; }
};

} // namespace

int main()
{
    const int cards = 10000;
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    auto *band = new TfrxMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetBounds(0, 20, 718, 600);
    std::vector<TfrxMemoView *> memos;
    for (int i = 0; i < 17; ++i) {
        auto *memo = new TfrxMemoView(band);
        memo->SetName(QStringLiteral("m%1").arg(i));
        memo->SetBounds(600 - 36 * i, 40, 36, 380);
        memo->SetText(QStringLiteral("婚礼文字%1").arg(i));
        memos.push_back(memo);
    }

    Engine engine;
    TfrxPreviewPages pages(&report);
    pages.SetEngine(&engine);
    const qint64 heapBefore = heapInUse();
    const auto start = Clock::now();
    pages.BeginRun();
    pages.AddSourcePage(page);
    pages.SetAppendMode(true);
    pages.StartPass();
    for (int i = 0; i < cards; ++i) {
        pages.AddPage(page);
        memos[0]->SetText(QStringLiteral("客人%1").arg(i));
        band->SetTop(0);
        pages.AddObject(band);
    }
    pages.FinishRun();
    const double placing = secondsSince(start);
    const qint64 heapAfter = heapInUse();

    QBuffer file;
    file.open(QIODevice::ReadWrite);
    const auto saveStart = Clock::now();
    pages.SaveToStream(file);
    const double saving = secondsSince(saveStart);
    file.seek(0);
    TfrxReport other;
    TfrxPreviewPages loaded(&other);
    const auto loadStart = Clock::now();
    loaded.LoadFromStream(file);
    const double loading = secondsSince(loadStart);

    const auto rebuildStart = Clock::now();
    for (int i = 0; i < 1000; ++i)
        loaded.Page(i);
    const double rebuilding = secondsSince(rebuildStart);

    std::printf("RESULT store_place_10000_cards_s %.4f s\n", placing);
    std::printf("RESULT store_heap_per_card_bytes %lld B\n", (long long)((heapAfter - heapBefore) / cards));
    std::printf("RESULT fp3_save_10000_cards_s %.4f s\n", saving);
    std::printf("RESULT fp3_load_10000_cards_s %.4f s\n", loading);
    std::printf("RESULT fp3_bytes_per_card %lld B\n", (long long)(file.size() / cards));
    std::printf("RESULT page_rebuild_1000_s %.4f s\n", rebuilding);
    return loaded.Count() == cards ? 0 : 1;
}
