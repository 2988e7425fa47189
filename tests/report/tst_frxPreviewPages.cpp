// The prepared-pages store: names, difference storage, rebuilding, caches, files, outline, anchors,
// logical numbers, editing and the hit logic of the preview.
#include "report/engine/frxPreviewPages.h"

#include "report/xml/frxXMLSerializer.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

class FakeEngine : public TfrxEngineState {
public:
    Extended CurY() const override { return curY; }
    int TotalPages() const override { return totalPages; }
    bool FinalPass() const override { return finalPass; }
    Extended curY = 0;
    int totalPages = 0;
    bool finalPass = true;
};

class RecordingObserver : public TfrxPreviewPagesObserver {
public:
    void pagesAdded(int first, int count) override { events << u"added %1 %2"_s.arg(first).arg(count); }
    void pagesCleared() override { events << u"cleared"_s; }
    void pagesChanged(int first) override { events << u"changed %1"_s.arg(first); }
    QStringList events;
};

// A card report: one page, one master band taller than half the page, a name and an event text.
struct CardReport {
    CardReport()
    {
        page = new TfrxReportPage(&report);
        page->SetName(u"Page1"_s);
        band = new TfrxMasterData(page);
        band->SetName(u"MasterData1"_s);
        band->SetBounds(0, 20, 718, 600);
        name = new TfrxMemoView(band);
        name->SetName(u"m0"_s);
        name->SetBounds(100, 50, 200, 40);
        name->DataField = u"姓名"_s;
        event = new TfrxMemoView(band);
        event->SetName(u"m1"_s);
        event->SetBounds(100, 150, 200, 40);
        event->SetText(u"婚礼"_s);
        pages.SetEngine(&engine);
    }

    // One run placing a card per guest, every band at Top 0.
    void run(const QStringList &guests)
    {
        pages.BeginRun();
        pages.AddSourcePage(page);
        pages.SetAppendMode(true);
        pages.StartPass();
        for (const QString &guest : guests) {
            pages.AddPage(page);
            name->SetText(guest);
            band->SetTop(0);
            pages.AddObject(band);
        }
        pages.FinishRun();
    }

    TfrxMemoView *memoOn(TfrxReportPage *rebuilt, const QString &memoName)
    {
        return dynamic_cast<TfrxMemoView *>(rebuilt->FindObject(memoName));
    }

    TfrxReport report;
    TfrxReportPage *page;
    TfrxMasterData *band;
    TfrxMemoView *name;
    TfrxMemoView *event;
    FakeEngine engine;
    TfrxPreviewPages pages{&report};
};

const QStringList guests{u"张三"_s, u"李四"_s, u"王五"_s};

} // namespace

TEST(frxDictionary, uniqueNamesFillFromOneAndFollowTheEnd)
{
    TfrxDictionary dictionary;
    EXPECT_EQ(dictionary.AddUnique(u"m"_s, u"Page0.m0"_s, nullptr), u"m1"_s);
    EXPECT_EQ(dictionary.AddUnique(u"m"_s, u"Page0.m1"_s, nullptr), u"m2"_s);
    EXPECT_EQ(dictionary.AddUnique(u"b"_s, u"Page0.MasterData1"_s, nullptr), u"b1"_s);
    EXPECT_EQ(dictionary.GetSourceName(u"m2"_s), u"Page0.m1"_s);
    EXPECT_EQ(dictionary.GetSourceName(u"m9"_s), QString());
    EXPECT_EQ(dictionary.GetObject(u"m9"_s), nullptr);

    TfrxDictionary sparse;
    sparse.Add(u"m10000"_s, u"Page0.x"_s, nullptr);
    EXPECT_EQ(sparse.UniqueName(u"m"_s), u"m10001"_s);
    sparse.Clear();
    sparse.Add(u"m1"_s, {}, nullptr);
    sparse.Add(u"m3"_s, {}, nullptr);
    EXPECT_EQ(sparse.UniqueName(u"m"_s), u"m2"_s);
    EXPECT_EQ(sparse.Names(), (QStringList{u"m1"_s, u"m3"_s}));
}

TEST(frxPictureCache, storesPicturesInMemoryAndInFrPicFiles)
{
    TfrxPictureCache cache;
    EXPECT_EQ(cache.AddPicture("\x01\x02\xff"), 1);
    EXPECT_EQ(cache.AddPicture("abc"), 2);
    EXPECT_EQ(cache.GetPicture(1), QByteArray("\x01\x02\xff"));
    EXPECT_EQ(cache.GetPicture(2), QByteArray("abc"));
    EXPECT_TRUE(cache.GetPicture(0).isEmpty());
    EXPECT_TRUE(cache.GetPicture(3).isEmpty());

    TfrxXMLItem element;
    cache.SaveToXML(&element);
    ASSERT_EQ(element.Count(), 2);
    EXPECT_EQ(element.Items(0)->Text(), u"stream=\"0102FF\""_s);
    TfrxPictureCache copy;
    copy.LoadFromXML(&element);
    EXPECT_EQ(copy.GetPicture(2), QByteArray("abc"));

    // The file setting cannot change while segments exist.
    cache.SetUseFileCache(true);
    EXPECT_FALSE(cache.UseFileCache());

    QTemporaryDir dir;
    TfrxPictureCache files;
    files.SetUseFileCache(true);
    files.SetTempDir(dir.path());
    files.AddPicture("xyz");
    const QStringList made = QDir(dir.path()).entryList(QDir::Files);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made.first().startsWith(u"frPic"_s));
    EXPECT_EQ(files.GetPicture(1), QByteArray("xyz"));
    files.Clear();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(frxPreviewPages, cardRunStoresOnlyDifferences)
{
    // Declared first, so that it outlives the pages, which tell their observers when they go.
    RecordingObserver observer;
    CardReport card;
    card.pages.addObserver(&observer);
    card.run(guests);

    ASSERT_EQ(card.pages.Count(), 3);
    EXPECT_EQ(observer.events, (QStringList{u"added 0 1"_s, u"added 1 1"_s, u"added 2 1"_s}));
    EXPECT_EQ(card.name->PreparedName, u"m1"_s);
    EXPECT_EQ(card.event->PreparedName, u"m2"_s);
    EXPECT_EQ(card.pages.Dictionary().GetSourceName(u"m1"_s), u"Page0.m0"_s);
    EXPECT_EQ(card.pages.Dictionary().GetSourceName(u"b1"_s), u"Page0.MasterData1"_s);
    // The run is over: the report's objects no longer point at the copies.
    EXPECT_EQ(card.name->SourceComponent, nullptr);

    for (int i = 0; i < 3; ++i) {
        const TfrxXMLItem *page = card.pages.PageItem(i);
        EXPECT_EQ(page->Name(), u"page0"_s);
        EXPECT_EQ(page->Unloadable(), i >= 2);
        ASSERT_EQ(page->Count(), 1);
        const TfrxXMLItem *band = page->Items(0);
        EXPECT_EQ(band->Name(), u"b1"_s);
        EXPECT_EQ(band->Text().trimmed(), u"t=\"0\""_s);
        ASSERT_EQ(band->Count(), 2);
        EXPECT_EQ(band->Items(0)->Name(), u"m1"_s);
        EXPECT_EQ(band->Items(0)->Prop(u"u"), guests[i]);
        EXPECT_EQ(band->Items(1)->Text().trimmed(), u"u=\"婚礼\""_s);
    }
    // Equal texts of different pages are one string in memory.
    EXPECT_EQ(card.pages.PageItem(0)->Items(0)->Items(1)->Text().constData(),
              card.pages.PageItem(2)->Items(0)->Items(1)->Text().constData());
}

TEST(frxPreviewPages, firstOfTwoPassesStoresBaseDifferenceOnly)
{
    CardReport card;
    card.report.EngineOptions.DoublePass = true;
    card.engine.finalPass = false;
    card.pages.BeginRun();
    card.pages.AddSourcePage(card.page);
    card.pages.StartPass();
    card.pages.AddPage(card.page);
    card.name->SetText(u"张三"_s);
    card.name->SetLeft(110);
    card.band->SetTop(0);
    card.pages.AddObject(card.band);
    const TfrxXMLItem *band = card.pages.PageItem(0)->Items(0);
    EXPECT_EQ(band->Items(0)->Text().trimmed(), u"l=\"110\""_s);
    EXPECT_EQ(band->Items(1)->Text(), QString());

    card.engine.totalPages = card.pages.Count();
    card.pages.ResetFirstPass();
    EXPECT_EQ(card.pages.Count(), 0);
    card.engine.finalPass = true;
    card.pages.AddPage(card.page);
    card.pages.AddObject(card.band);
    band = card.pages.PageItem(0)->Items(0);
    EXPECT_EQ(band->Items(0)->Text().trimmed(), u"l=\"110\" u=\"张三\""_s);
    card.pages.FinishRun();
}

TEST(frxPreviewPages, rebuiltPageCarriesStoredValues)
{
    CardReport card;
    card.event->SetFont({});
    card.run(guests);
    TfrxReportPage *page = card.pages.Page(1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name(), u"Page1"_s);
    ASSERT_EQ(page->Objects().size(), 1);
    auto *band = dynamic_cast<TfrxMasterData *>(page->Objects().first());
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->Name(), u"MasterData1"_s);
    EXPECT_EQ(band->Top(), 0);
    EXPECT_EQ(band->Height(), 600);
    TfrxMemoView *name = card.memoOn(page, u"m0"_s);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->Text(), u"李四\r\n"_s);
    EXPECT_EQ(name->Left(), 100);
    EXPECT_EQ(name->Width(), 200);
    // The copy on the source page is not bound to data.
    EXPECT_TRUE(name->DataField.isEmpty());
    EXPECT_EQ(card.memoOn(page, u"m1"_s)->Text(), u"婚礼\r\n"_s);
    EXPECT_EQ(card.pages.PageSize(1), QSize(794, 1123));
}

TEST(frxPreviewPages, pageCacheKeepsMostRecentPages)
{
    CardReport card;
    card.report.PreviewOptions.PagesInCache = 2;
    card.run(guests);
    TfrxReportPage *first = card.pages.Page(0);
    card.pages.Page(1);
    EXPECT_EQ(card.pages.Page(0), first); // a hit: swapped to the front
    card.pages.Page(2);                   // page 1 is dropped
    EXPECT_EQ(card.pages.PagesInCache(), 2);
    EXPECT_EQ(card.pages.Page(0), first);

    // During a run every request rebuilds.
    card.pages.BeginRun();
    EXPECT_NE(card.pages.Page(0), first);
    card.pages.FinishRun();
    EXPECT_EQ(card.pages.PagesInCache(), 0);
}

TEST(frxPreviewPages, fileCacheParksOlderPages)
{
    CardReport card;
    QTemporaryDir dir;
    card.report.EngineOptions.UseFileCache = true;
    card.report.EngineOptions.MaxMemSize = 0;
    card.report.EngineOptions.TempDir = dir.path();
    QStringList many;
    for (int i = 0; i < 6; ++i)
        many << u"客人%1"_s.arg(i);
    card.run(many);

    const TfrxXMLItem *pagesElement = card.pages.Document().RootItem()->Items(0);
    EXPECT_TRUE(pagesElement->Items(0)->Loaded());
    EXPECT_TRUE(pagesElement->Items(1)->Loaded());
    // Each check parks the pages before the last finished one.
    EXPECT_FALSE(pagesElement->Items(2)->Loaded());
    EXPECT_FALSE(pagesElement->Items(3)->Loaded());
    EXPECT_TRUE(pagesElement->Items(4)->Loaded());
    EXPECT_TRUE(pagesElement->Items(5)->Loaded());
    EXPECT_TRUE(card.pages.Document().TempFileName().startsWith(dir.path()));

    EXPECT_EQ(card.memoOn(card.pages.Page(3), u"m0"_s)->Text(), u"客人3\r\n"_s);

    QBuffer file;
    file.open(QIODevice::ReadWrite);
    card.pages.SaveToStream(file);
    file.seek(0);
    TfrxReport other;
    TfrxPreviewPages loaded(&other);
    loaded.LoadFromStream(file);
    ASSERT_EQ(loaded.Count(), 6);
    EXPECT_EQ(card.memoOn(loaded.Page(4), u"m0"_s)->Text(), u"客人4\r\n"_s);
}

TEST(frxPreviewPages, savedAndLoadedStoreGivesSamePages)
{
    CardReport card;
    card.report.ReportOptions.Name = u"请柬 \"一\""_s;
    card.report.PreviewOptions.OutlineVisible = true;
    card.pages.BeginRun();
    card.pages.AddSourcePage(card.page);
    card.pages.SetAppendMode(true);
    card.pages.StartPass();
    for (int i = 0; i < 3; ++i) {
        card.pages.AddPage(card.page);
        card.name->SetText(guests[i]);
        card.band->SetTop(0);
        card.pages.AddObject(card.band);
        card.pages.Outline().LevelRoot();
        card.pages.Outline().AddItem(guests[i], 10 * i);
        card.engine.curY = 5 + i;
        card.pages.AddAnchor(u"a%1"_s.arg(i));
    }
    card.pages.RestartLogicalPages();
    card.pages.FinishRun();

    QBuffer file;
    file.open(QIODevice::ReadWrite);
    card.pages.SaveToStream(file);
    const QByteArray bytes = file.data();
    EXPECT_TRUE(
        bytes.contains("<TfrxReport DotMatrixReport=\"0\" PreviewOptions.OutlineVisible=\"1\" "
                       "PreviewOptions.OutlineWidth=\"120\" ReportOptions.Name=\"请柬 &#34;一&#34;\""));
    EXPECT_TRUE(bytes.contains("<m1 name=\"Page0.m0\"/>"));

    TfrxReport other;
    TfrxPreviewPages loaded(&other);
    FakeEngine engine;
    loaded.SetEngine(&engine);
    file.seek(0);
    loaded.LoadFromStream(file);
    EXPECT_TRUE(other.PreviewOptions.OutlineVisible);
    EXPECT_EQ(other.ReportOptions.Name, card.report.ReportOptions.Name);
    ASSERT_EQ(loaded.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        TfrxReportPage *page = loaded.Page(i);
        EXPECT_EQ(card.memoOn(page, u"m0"_s)->Text(), guests[i] + u"\r\n"_s);
        EXPECT_EQ(card.memoOn(page, u"m1"_s)->Text(), u"婚礼\r\n"_s);
        EXPECT_EQ(loaded.PageSize(i), card.pages.PageSize(i));
        loaded.SetPageIndex(i);
        EXPECT_EQ(loaded.LogicalPageNo(), i + 1);
        EXPECT_EQ(loaded.LogicalPageCount(), 3);
    }
    EXPECT_EQ(loaded.GetAnchorPage(u"A1"_s), 2);
    EXPECT_EQ(loaded.Outline().Count(), 3);
    QString text;
    int page = 0, top = 0;
    loaded.Outline().GetItem(2, text, page, top);
    EXPECT_EQ(text, guests[2]);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(top, 20);

    // The same file saved again reads the same.
    QBuffer again;
    again.open(QIODevice::ReadWrite);
    loaded.SaveToStream(again);
    EXPECT_EQ(again.data().count("<page0"), 3);
    EXPECT_EQ(again.data().count("<m1"), 4);
}

TEST(frxPreviewPages, filesFailSoundly)
{
    CardReport card;
    card.run(guests);
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"无.fp3"_s);
    EXPECT_FALSE(card.pages.LoadFromFile(missing));
    EXPECT_EQ(card.pages.Count(), 3);
    EXPECT_THROW(card.pages.LoadFromFile(missing, true), platform::FileError);
    EXPECT_EQ(card.pages.Count(), 3);

    const QString path = dir.filePath(u"卡片.fp3"_s);
    card.pages.SaveToFile(path);
    TfrxReport other;
    TfrxPreviewPages loaded(&other);
    EXPECT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.Count(), 3);

    QBuffer broken;
    broken.setData("<?xml version=\"1.0\"?><preparedreport><previewpages><page0 <b1/>");
    broken.open(QIODevice::ReadOnly);
    EXPECT_THROW(loaded.LoadFromStream(broken), TfrxInvalidXMLException);
    EXPECT_EQ(loaded.Count(), 0);
    EXPECT_EQ(loaded.SourcePageCount(), 0);
}

TEST(frxPreviewPages, outlineLevelsAndShifting)
{
    TfrxReport report;
    TfrxPreviewPages pages(&report);
    TfrxOutline &outline = pages.Outline();
    outline.AddItem(u"一"_s, 10);
    outline.AddItem(u"一.1"_s, 20); // below the first
    outline.LevelUp();
    TfrxXMLItem *mark = outline.Mark();
    outline.AddItem(u"一.2"_s, 300);
    outline.AddItem(u"一.2.1"_s, 320);
    outline.LevelUp();
    outline.LevelUp();
    outline.AddItem(u"一.3"_s, 400);
    outline.LevelRoot();
    outline.AddItem(u"二"_s, 500);
    outline.LevelRoot();
    outline.LevelUp(); // nothing above the top
    EXPECT_EQ(outline.Count(), 2);

    outline.LevelRoot();
    outline.LevelDown(0);
    EXPECT_EQ(outline.Count(), 3);
    outline.ShiftFrom(mark, 0);
    QString text;
    int page = 0, top = 0;
    outline.GetItem(0, text, page, top);
    EXPECT_EQ(page, -1); // the mark itself stays (added while no page existed)
    EXPECT_EQ(top, 20);
    outline.GetItem(1, text, page, top);
    EXPECT_EQ(text, u"一.2"_s);
    EXPECT_EQ(page, 0);
    EXPECT_EQ(top, 0);
    outline.GetItem(2, text, page, top);
    EXPECT_EQ(top, 100);
    outline.LevelDown(1);
    outline.GetItem(0, text, page, top);
    EXPECT_EQ(page, 0);
    EXPECT_EQ(top, 20);
    outline.LevelRoot();
    outline.GetItem(1, text, page, top);
    EXPECT_EQ(top, 500); // outside the marked level
}

TEST(frxPreviewPages, anchorsTakeTheLastOfATextAndShift)
{
    CardReport card;
    card.run({u"a"_s, u"b"_s, u"c"_s});
    card.pages.SetPageIndex(0);
    card.engine.curY = 10.5;
    card.pages.AddAnchor(u"婚礼"_s);
    card.pages.SetPageIndex(1);
    card.engine.curY = 40;
    card.pages.AddAnchor(u"婚礼"_s);
    EXPECT_EQ(card.pages.GetAnchorPage(u"婚礼"_s), 2);
    EXPECT_EQ(card.pages.GetAnchorPage(u"没有"_s), 1);
    int page = 0, top = 0;
    card.pages.FindAnchor(u"婚礼"_s, page, top);
    EXPECT_EQ(top, 40);

    EXPECT_EQ(card.pages.LastAnchorIndex(), 1);
    card.pages.ShiftAnchors(0, 5);
    card.pages.FindAnchor(u"婚礼"_s, page, top);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(top, 5);
    ASSERT_TRUE(card.pages.FindAnchor(u"婚礼"_s, page, top));
    EXPECT_EQ(card.pages.Document().RootItem()->FindOrAdd(u"anchors"_s)->Items(0)->Prop(u"top"), u"10"_s);
}

TEST(frxPreviewPages, logicalNumbersSurviveIntoTheFinalPass)
{
    CardReport card;
    card.report.EngineOptions.DoublePass = true;
    card.engine.finalPass = false;
    card.pages.BeginRun();
    card.pages.AddSourcePage(card.page);
    card.pages.SetAppendMode(true);
    card.pages.StartPass();
    for (int i = 0; i < 2; ++i) {
        card.pages.AddPage(card.page);
        card.pages.AddAnchor(u"第%1页"_s.arg(i + 1));
    }
    EXPECT_EQ(card.pages.LogicalPageNo(), 2);
    EXPECT_EQ(card.pages.LogicalPageCount(), 0); // the group is still open

    card.engine.totalPages = card.pages.Count();
    card.pages.ResetFirstPass();
    card.engine.finalPass = true;
    EXPECT_EQ(card.pages.Count(), 0);
    card.pages.AddPage(card.page);
    EXPECT_EQ(card.pages.LogicalPageNo(), 1);
    EXPECT_EQ(card.pages.LogicalPageCount(), 2);
    EXPECT_EQ(card.pages.GetAnchorPage(u"第2页"_s), 2);
    card.pages.AddPage(card.page);
    card.pages.AddPage(card.page); // beyond the first pass: counted from the run's first page
    EXPECT_EQ(card.pages.LogicalPageNo(), 3);
    EXPECT_EQ(card.pages.LogicalPageCount(), 2);
    card.pages.FinishRun();
}

TEST(frxPreviewPages, secondPassOfAnAppendingRunKeepsEarlierPages)
{
    CardReport card;
    card.run({u"甲"_s});
    card.pages.BeginRun();
    card.pages.SetAppendMode(true);
    card.pages.StartPass();
    card.pages.SetAppendMode(false);
    card.pages.SetPageIndex(0);
    card.band->SetTop(600);
    card.pages.AddObject(card.band); // on the last page of the earlier run
    card.pages.SetAppendMode(true);
    card.pages.AddPage(card.page);
    card.pages.AddObject(card.band);
    ASSERT_EQ(card.pages.Count(), 2);
    card.pages.ResetFirstPass();
    EXPECT_EQ(card.pages.Count(), 1);
    EXPECT_EQ(card.pages.PageItem(0)->Count(), 1);
    EXPECT_EQ(card.pages.PageIndex(), 0);
    card.pages.FinishRun();
}

TEST(frxPreviewPages, reusingPagesWithoutAppendMode)
{
    CardReport card;
    card.run(guests);
    card.pages.BeginRun();
    card.pages.SetAppendMode(false);
    card.pages.SetPageIndex(-1);
    card.pages.AddPage(card.page);
    card.pages.AddPage(card.page);
    EXPECT_EQ(card.pages.Count(), 3);
    EXPECT_EQ(card.pages.PageIndex(), 1);
    card.pages.FinishRun();
}

TEST(frxPreviewPages, cutAndPasteMovesBands)
{
    CardReport card;
    card.pages.BeginRun();
    card.pages.AddSourcePage(card.page);
    card.pages.StartPass();
    card.pages.AddPage(card.page);
    for (int i = 0; i < 3; ++i) {
        card.band->SetTop(100 * i);
        card.pages.AddObject(card.band);
    }
    EXPECT_EQ(card.pages.ObjectCount(), 3);
    EXPECT_EQ(card.pages.BottomOfBands(0), 800);
    card.pages.CutObjects(1);
    EXPECT_EQ(card.pages.ObjectCount(), 1);
    EXPECT_EQ(card.pages.BottomOfBands(0), 600);
    card.pages.PasteObjects(30, 5);
    ASSERT_EQ(card.pages.ObjectCount(), 3);
    const TfrxXMLItem *page = card.pages.PageItem(0);
    EXPECT_EQ(page->Items(1)->Prop(u"t"), u"30"_s);
    EXPECT_EQ(page->Items(1)->Prop(u"l"), u"5"_s);
    EXPECT_EQ(page->Items(2)->Prop(u"t"), u"130"_s);
    EXPECT_EQ(card.pages.Document().RootItem()->Find(u"cutted"), -1);
    // Only bands in the column at x count, except headers.
    EXPECT_EQ(card.pages.BottomOfBands(5), 730);
    EXPECT_EQ(card.pages.BottomOfBands(300), 0);
    card.pages.FinishRun();
}

TEST(frxPreviewPages, bandOnPageAndFooters)
{
    CardReport card;
    auto *footer = new TfrxPageFooter(card.page);
    footer->SetName(u"PageFooter1"_s);
    footer->SetBounds(0, 700, 718, 30);
    auto *other = new TfrxPageFooter;
    card.pages.BeginRun();
    card.pages.AddSourcePage(card.page);
    card.pages.StartPass();
    card.pages.AddPage(card.page);
    EXPECT_FALSE(card.pages.HasBandOnPage(card.band));
    card.pages.AddObject(card.band);
    EXPECT_TRUE(card.pages.HasBandOnPage(card.band));
    EXPECT_FALSE(card.pages.HasBandOnPage(footer));
    card.pages.AddObject(footer);
    EXPECT_TRUE(card.pages.HasBandOnPage(other)); // any page footer counts for page footers
    EXPECT_EQ(card.pages.BottomOfBands(0), 620);  // footers do not count
    card.pages.FinishRun();
    delete other;
}

TEST(frxPreviewPages, pageSizesAndEndlessPages)
{
    CardReport card;
    card.run(guests);
    EXPECT_EQ(card.pages.PageSize(-1), QSize(0, 0));
    EXPECT_EQ(card.pages.PageSize(3), QSize(0, 0));
    card.pages.SetPageSize(card.page, 500, 300);
    EXPECT_EQ(card.pages.SourcePage(0)->PaperSize(), 256);
    EXPECT_EQ(card.pages.PageSize(0), QSize(300, 500));
    EXPECT_EQ(card.pages.Page(0)->PaperWidth(), card.pages.SourcePage(0)->PaperWidth());
}

TEST(frxPreviewPages, editingPages)
{
    RecordingObserver observer; // outlives the pages
    CardReport card;
    card.page->PreviewBackground = QImage(4, 4, QImage::Format_RGB32);
    card.run({u"独"_s});
    card.pages.addObserver(&observer);
    card.pages.DeletePage(0);
    EXPECT_EQ(card.pages.Count(), 1);
    EXPECT_TRUE(observer.events.isEmpty());

    card.pages.AddEmptyPage(0);
    ASSERT_EQ(card.pages.Count(), 2);
    EXPECT_EQ(card.pages.PageItem(0)->Name(), u"page0"_s);
    EXPECT_TRUE(card.pages.Page(0)->Objects().isEmpty());

    TfrxReportPage *page = card.pages.Page(1);
    card.memoOn(page, u"m0"_s)->SetText(u"改过"_s);
    card.pages.ModifyPage(1, page);
    EXPECT_EQ(card.pages.PageItem(1)->Name(), u"TfrxReportPage"_s);
    EXPECT_EQ(card.memoOn(card.pages.Page(1), u"m0"_s)->Text(), u"改过\r\n"_s);
    // The picture of the paper is not stored with the page, yet an edited page keeps showing it.
    EXPECT_FALSE(card.pages.Page(1)->PreviewBackground.isNull());

    card.pages.DeletePage(0);
    EXPECT_EQ(card.pages.Count(), 1);
    EXPECT_EQ(observer.events, (QStringList{u"changed 0"_s, u"changed 1"_s, u"changed 0"_s}));

    TfrxReport another;
    auto *page2 = new TfrxReportPage(&another);
    page2->SetPaperWidth(100);
    card.pages.AddFrom(&another);
    EXPECT_EQ(card.pages.Count(), 2);
    EXPECT_EQ(card.pages.PageSize(1).width(), 378);
    card.pages.Clear();
    EXPECT_EQ(observer.events.last(), u"cleared"_s);
    EXPECT_EQ(card.pages.Page(0), nullptr);
}

namespace {

class RecordingHost : public TfrxObjectOverHost {
public:
    void SetCursor(int value) override { cursor = value; }
    void SetStatusText(int index, const QString &text) override { status[index] = text; }
    bool HintsShown() const override { return hints; }
    void SetHintsShown(bool shown) override { hints = shown; }
    void ShowHint(const QString &text) override { hint = text; }
    void ToggleDrillDown(const QString &key) override { calls << u"drill "_s + key; }
    void GoToPage(int pageNo) override { calls << u"page %1"_s.arg(pageNo); }
    void GoToPosition(int pageIndex, int top) override
    {
        calls << u"position %1 %2"_s.arg(pageIndex).arg(top);
    }
    void OpenUrl(const QString &url) override { calls << u"open "_s + url; }
    bool ClickObject(TfrxView *view, bool doubleClick) override
    {
        calls << u"click %1 %2"_s.arg(view->Name()).arg(doubleClick);
        if (modify) static_cast<TfrxMemoView *>(view)->SetText(u"点过"_s);
        return modify;
    }
    void MouseOverObject(TfrxView *view) override { calls << u"over "_s + view->Name(); }

    int cursor = -1;
    QString status[2] = {u"old"_s, u"old"_s};
    bool hints = true;
    QString hint;
    QStringList calls;
    bool modify = false;
};

} // namespace

TEST(frxPreviewPages, objectOverFindsTheTopmostObject)
{
    CardReport card;
    card.page->LeftMargin = 10;
    card.page->TopMargin = 10;
    card.name->URL = u"@2"_s;
    card.event->Cursor = 7;
    card.event->URL = u"#婚礼"_s;
    card.event->Hint = u"短|长的提示"_s;
    card.event->ShowHint = true;
    card.run(guests);
    card.pages.SetPageIndex(2);
    card.pages.AddAnchor(u"婚礼"_s);

    // The name object at (100, 50) of the band at 0, margins 10 mm, scale 2: device x from
    // 2 * (37.7953 + 100) = 275.6 -> 276 to 276 + 400.
    // The event text, examined first and passed over, has ShowHint: hints go off.
    RecordingHost host;
    card.pages.ObjectOver(0, 276, 2 * 38 + 100, false, false, 2, 2, 0, 0, host);
    EXPECT_EQ(host.cursor, crHandPoint);
    EXPECT_EQ(host.status[0], u"@2"_s);
    EXPECT_EQ(host.status[1], QString());
    EXPECT_FALSE(host.hints);
    EXPECT_EQ(host.calls, QStringList{u"over m0"_s});

    host.calls.clear();
    card.pages.ObjectOver(0, 275, 2 * 38 + 100, true, false, 2, 2, 0, 0, host);
    EXPECT_EQ(host.cursor, crDefault); // left of it lies the band only
    EXPECT_TRUE(host.calls.isEmpty());
    card.pages.ObjectOver(0, 276, 2 * 38 + 100, true, false, 2, 2, 0, 0, host);
    EXPECT_EQ(host.calls, (QStringList{u"page 2"_s, u"click m0 0"_s}));

    // The event text: its own cursor, its hint, an anchor link; a modifying click replaces the page.
    host.calls.clear();
    host.hints = true;
    host.modify = true;
    card.pages.ObjectOver(1, 276 + 10, 76 + 300 + 10, true, true, 2, 2, 0, 0, host);
    EXPECT_EQ(host.cursor, 7);
    EXPECT_EQ(host.status[0], u"#婚礼"_s);
    EXPECT_EQ(host.status[1], u"长的提示"_s);
    EXPECT_EQ(host.hint, u"短"_s);
    EXPECT_EQ(host.calls, (QStringList{u"position 2 0"_s, u"click m1 1"_s}));
    EXPECT_EQ(card.pages.PageItem(1)->Name(), u"TfrxReportPage"_s);
    EXPECT_EQ(card.memoOn(card.pages.Page(1), u"m1"_s)->Text(), u"点过\r\n"_s);

    // Nothing while a run is active.
    host.calls.clear();
    card.pages.BeginRun();
    card.pages.ObjectOver(0, 276, 176, true, false, 2, 2, 0, 0, host);
    EXPECT_TRUE(host.calls.isEmpty());
    card.pages.FinishRun();
}

TEST(frxPreviewPages, objectOverTogglesDrillDownGroups)
{
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    page->SetName(u"Page1"_s);
    auto *header = new TfrxGroupHeader(page);
    header->SetName(u"GroupHeader1"_s);
    header->SetBounds(0, 0, 718, 100);
    header->DrillDown = true;
    TfrxPreviewPages pages(&report);
    FakeEngine engine;
    pages.SetEngine(&engine);
    pages.BeginRun();
    pages.AddSourcePage(page);
    pages.StartPass();
    pages.AddPage(page);
    header->RowNoThrough = 7; // stored as the header's Tag
    pages.AddObject(header);
    pages.FinishRun();

    RecordingHost host;
    pages.ObjectOver(0, 10, 10, true, false, 1, 1, 0, 0, host);
    EXPECT_EQ(host.cursor, crHandPoint);
    EXPECT_EQ(host.calls, QStringList{u"drill GroupHeader1.7"_s});
    host.calls.clear();
    pages.ObjectOver(0, 10, 10, true, true, 1, 1, 0, 0, host);
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST(frxPreviewPages, placedPicturesGoToThePictureCacheOnceAndComeBackFromIt)
{
    CardReport card;
    auto *view = new TfrxPictureView(card.band);
    view->SetName(u"Picture1"_s);
    view->SetBounds(10, 10, 40, 40);
    QImage red(4, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(2, 2, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    card.pages.BeginRun();
    card.pages.AddSourcePage(card.page);
    card.pages.SetAppendMode(true);
    card.pages.StartPass();
    for (const QImage &picture : {red, red, QImage(), blue}) {
        card.pages.AddPage(card.page);
        view->Picture = picture;
        card.pages.AddObject(card.band);
    }
    card.pages.FinishRun();
    // The same image placed twice is stored once; the object keeps its designed index.
    EXPECT_EQ(card.pages.PictureCache().Count(), 2);
    EXPECT_EQ(view->ImageIndex, 0);

    auto pictureOn = [](TfrxReportPage *page) {
        auto *rebuilt = dynamic_cast<TfrxPictureView *>(page->FindObject(u"Picture1"));
        return rebuilt ? rebuilt->Picture : QImage(1, 1, QImage::Format_Mono);
    };
    const auto same = [](const QImage &a, const QImage &b) {
        return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_TRUE(same(pictureOn(card.pages.Page(1)), red));
    EXPECT_TRUE(pictureOn(card.pages.Page(2)).isNull());
    EXPECT_TRUE(same(pictureOn(card.pages.Page(3)), blue));

    QBuffer file;
    file.open(QIODevice::ReadWrite);
    card.pages.SaveToStream(file);
    TfrxReport other;
    TfrxPreviewPages loaded(&other);
    FakeEngine engine;
    loaded.SetEngine(&engine);
    file.seek(0);
    loaded.LoadFromStream(file);
    EXPECT_TRUE(same(pictureOn(loaded.Page(0)), red));
    EXPECT_TRUE(same(pictureOn(loaded.Page(3)), blue));
}

TEST(frxPreviewPages, aPictureReadFromItsTemplateIsCachedAsItsOwnFile)
{
    CardReport card;
    auto *view = new TfrxPictureView(card.band);
    view->SetName(u"Picture1"_s);
    view->SetBounds(10, 10, 40, 40);
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QByteArray bmp;
    QBuffer file(&bmp);
    file.open(QIODevice::WriteOnly);
    image.save(&file, "BMP");
    PropertyStreamWriter writer;
    writer.WriteName(u"Data"_s);
    writer.WriteBinary("\x07TBitmap" + bmp);
    view->Picture = ReadPictureStream(writer.Data(), view->StoredPicture);
    card.pages.BeginRun();
    card.pages.AddSourcePage(card.page);
    card.pages.StartPass();
    card.pages.AddPage(card.page);
    card.pages.AddObject(card.band);
    // Changed afterwards, the picture is a new one and is encoded.
    view->Picture.setPixel(0, 0, qRgb(0, 0, 0));
    card.pages.AddPage(card.page);
    card.pages.AddObject(card.band);
    card.pages.FinishRun();
    ASSERT_EQ(card.pages.PictureCache().Count(), 2);
    EXPECT_EQ(card.pages.PictureCache().GetPicture(1), bmp);
    EXPECT_TRUE(card.pages.PictureCache().GetPicture(2).startsWith("\x89PNG"));
}
