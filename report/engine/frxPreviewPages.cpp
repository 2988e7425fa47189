// The store's document, runs and passes, and the placing of pages and objects by the engine.
#include "report/engine/frxPreviewPages.h"
#include "report/base/frxPageGeometry.h"

#include "report/xml/frxXMLSerializer.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

// A numeric attribute of a placed element, or the fallback when the element does not carry it.
Extended elementValue(const TfrxXMLItem *item, QStringView name, Extended fallback)
{
    const QString text = item->Prop(name);
    if (text.isEmpty()) return fallback;
    return textToFloat(text).value_or(fallback);
}

} // namespace

TfrxPreviewPages::TfrxPreviewPages(TfrxReport *report) : m_report(report), m_outline(this)
{
    m_doc.RootItem()->SetName(u"preparedreport"_s);
    m_pages = m_doc.RootItem()->FindOrAdd(u"previewpages"_s);
}

TfrxPreviewPages::~TfrxPreviewPages()
{
    if (m_runActive) unlinkSources();
    for (TfrxPreviewPagesObserver *observer : std::exchange(m_observers, {}))
        observer->pagesDestroyed();
}

void TfrxPreviewPages::addObserver(TfrxPreviewPagesObserver *observer)
{
    if (observer && !m_observers.contains(observer)) m_observers.append(observer);
}

void TfrxPreviewPages::removeObserver(TfrxPreviewPagesObserver *observer)
{
    m_observers.removeAll(observer);
}

void TfrxPreviewPages::notifyAdded(int first, int count)
{
    for (TfrxPreviewPagesObserver *observer : std::as_const(m_observers))
        observer->pagesAdded(first, count);
}

void TfrxPreviewPages::notifyCleared()
{
    for (TfrxPreviewPagesObserver *observer : std::as_const(m_observers))
        observer->pagesCleared();
}

void TfrxPreviewPages::notifyChanged(int first)
{
    for (TfrxPreviewPagesObserver *observer : std::as_const(m_observers))
        observer->pagesChanged(first);
}

// ---- the document ----

TfrxXMLItem *TfrxPreviewPages::RootChild(const QString &name)
{
    return m_doc.RootItem()->FindOrAdd(name);
}

const TfrxXMLItem *TfrxPreviewPages::findRootChild(QStringView name) const
{
    const int index = m_doc.RootItem()->Find(name);
    return index < 0 ? nullptr : m_doc.RootItem()->Items(index);
}

TfrxXMLItem *TfrxPreviewPages::pages()
{
    return m_pages;
}

int TfrxPreviewPages::Count() const
{
    return m_pages->Count();
}

TfrxXMLItem *TfrxPreviewPages::PageItem(int index)
{
    if (index < 0 || index >= Count()) return nullptr;
    TfrxXMLItem *item = m_pages->Items(index);
    m_doc.LoadItem(item);
    return item;
}

TfrxXMLItem *TfrxPreviewPages::currentPage()
{
    return PageItem(m_pageIndex);
}

void TfrxPreviewPages::SetPageIndex(int index)
{
    m_pageIndex = std::clamp(index, -1, Count() - 1);
}

// ---- runs and passes ----

void TfrxPreviewPages::Clear()
{
    ClearCache();
    if (m_runActive) unlinkSources();
    m_sourcePages.clear();
    m_sourceOriginals.clear();
    m_pageNames.clear();
    m_sourceInfo.clear();
    m_outline.LevelRoot();
    m_doc.Clear();
    m_doc.RootItem()->SetName(u"preparedreport"_s);
    m_doc.RootItem()->SetText({});
    m_pages = m_doc.RootItem()->FindOrAdd(u"previewpages"_s);
    m_dictionary.Clear();
    m_pictureCache.Clear();
    m_cachedPictures.clear();
    m_logical.clear();
    m_logicalCounter = 0;
    m_pageIndex = -1;
    m_passStartPage = -1;
    m_passStartObjects = 0;
    m_pendingBytes = 0;
    notifyCleared();
}

void TfrxPreviewPages::BeginRun()
{
    m_pictureCache.SetUseFileCache(m_report->PreviewOptions.PictureCacheInFile);
    m_pictureCache.SetTempDir(m_report->EngineOptions.TempDir);
    m_doc.SetTempFolder(m_report->EngineOptions.TempDir);
    m_runActive = true;
    m_runFirstPage = Count();
    if (m_progress) m_progress->ProgressStart(ptRunning);
}

void TfrxPreviewPages::copyToSource(TfrxComponent *original, TfrxComponent *parentCopy, int sourceIndex,
                                    bool bandsAsB)
{
    const ClassInfo *info = original->classInfo();
    if (!info->create) return;
    TfrxComponent *copy = info->create(parentCopy);
    copy->Assign(original);
    if (!original->Name().isEmpty()) copy->SetName(original->Name());
    original->SourceComponent = copy;
    copy->SourceComponent = original;

    const QString base =
        bandsAsB && dynamic_cast<TfrxBand *>(original) ? u"b"_s : original->NamePrefix().left(1).toLower();
    const QString prepared = m_dictionary.AddUnique(
        base, u"Page"_s + QString::number(sourceIndex) + u'.' + original->Name(), copy);
    if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(copy)) {
        memo->SetDataSet(nullptr);
        memo->DataField.clear();
    }
    SourceInfo &source = m_sourceInfo[copy];
    if (copy->ComponentStyle & csFullStateCopy) {
        source.storedForm = copy->ClassName();
    } else {
        TfrxXMLSerializer serializer;
        source.storedForm = serializer.ObjectToAttributes(copy);
    }
    original->PreparedName = prepared;
    copy->PreparedName = prepared;

    const QList<TfrxComponent *> children = original->Objects();
    for (TfrxComponent *child : children)
        copyToSource(child, copy, sourceIndex, bandsAsB);
}

void TfrxPreviewPages::AddSourcePage(TfrxReportPage *page)
{
    const int index = int(m_sourcePages.size());
    std::unique_ptr<TfrxReportPage> copy(static_cast<TfrxReportPage *>(page->classInfo()->create(nullptr)));
    copy->Assign(page);
    if (!page->Name().isEmpty()) copy->SetName(page->Name());
    TfrxReportPage *target = copy.get();
    m_sourcePages.push_back(std::move(copy));
    m_sourceOriginals.push_back(page);
    m_pageNames.append(u"page"_s + QString::number(index));
    const QList<TfrxComponent *> children = page->Objects();
    for (TfrxComponent *child : children)
        copyToSource(child, target, index, true);
}

void TfrxPreviewPages::AddToSourcePage(TfrxComponent *object)
{
    if (m_sourcePages.empty()) return;
    const int index = int(m_sourcePages.size()) - 1;
    copyToSource(object, m_sourcePages.back().get(), index, false);
}

int TfrxPreviewPages::sourceIndexOf(TfrxReportPage *page)
{
    const auto it = std::find(m_sourceOriginals.begin(), m_sourceOriginals.end(), page);
    if (it != m_sourceOriginals.end()) return int(it - m_sourceOriginals.begin());
    // A page the engine did not register: register it now rather than store an unreadable page.
    AddSourcePage(page);
    return int(m_sourcePages.size()) - 1;
}

void TfrxPreviewPages::StartPass()
{
    if (Count() == 0) {
        m_passStartPage = -1;
        m_passStartObjects = 0;
    } else {
        m_passStartPage = Count() - 1;
        m_passStartObjects = PageItem(m_passStartPage)->Count();
    }
    RestartLogicalPages();
}

void TfrxPreviewPages::ResetFirstPass()
{
    ClearCache();
    if (m_passStartPage < 0) {
        TfrxXMLItem *root = m_doc.RootItem();
        for (int i = 0; i < root->Count(); ++i) {
            TfrxXMLItem *child = root->Items(i);
            if (child->Name().compare(u"anchors"_s, Qt::CaseInsensitive) != 0 &&
                child->Name().compare(u"logicalpagenumbers"_s, Qt::CaseInsensitive) != 0)
                child->Clear();
        }
        m_outline.LevelRoot();
    } else {
        TfrxXMLItem *start = PageItem(m_passStartPage);
        while (start->Count() > m_passStartObjects)
            delete start->Items(start->Count() - 1);
        while (Count() > m_passStartPage + 1)
            delete m_pages->Items(Count() - 1);
    }
    RestartLogicalPages();
    m_pageIndex = m_passStartPage;
    m_pendingBytes = 0;
    notifyChanged(std::max(m_passStartPage, 0));
}

void TfrxPreviewPages::unlinkSources()
{
    for (const auto &page : m_sourcePages) {
        for (TfrxComponent *copy : page->AllObjects()) {
            if (TfrxComponent *original = copy->SourceComponent) {
                if (original->SourceComponent == copy) original->SourceComponent = nullptr;
                copy->SourceComponent = nullptr;
            }
        }
    }
}

void TfrxPreviewPages::FinishRun()
{
    ClearCache();
    unlinkSources();
    m_runActive = false;
    if (m_progress) m_progress->ProgressStop(ptRunning);
}

// ---- pages and objects ----

void TfrxPreviewPages::unloadCheck()
{
    const TfrxEngineOptions &options = m_report->EngineOptions;
    if (!options.UseFileCache || m_pendingBytes <= qint64(options.MaxMemSize) * 1048576) return;
    for (int i = Count() - 2; i >= 0; --i) {
        TfrxXMLItem *item = m_pages->Items(i);
        if (!item->Unloadable()) break;
        m_doc.UnloadItem(item);
    }
    m_pendingBytes = 0;
}

void TfrxPreviewPages::AddPage(TfrxReportPage *page)
{
    unloadCheck();
    ++m_pageIndex;
    if (m_pageIndex < Count() && !m_appendMode) return;
    const int source = sourceIndexOf(page);
    TfrxXMLItem *item = m_pages->Add();
    item->SetName(m_pageNames[source]);
    if (Count() >= 3) item->SetUnloadable(true);
    m_pendingBytes += item->Name().size() + 16 + qint64(sizeof(TfrxXMLItem));
    m_appendMode = false;
    m_pageIndex = Count() - 1;
    if (m_progress) m_progress->Progress(ptRunning, m_pageIndex + 1);
    NextLogicalPage();
    notifyAdded(m_pageIndex, 1);
}

void TfrxPreviewPages::addObjectTo(TfrxXMLItem *parent, TfrxComponent *object)
{
    if (!object->Visible() || !(object->ComponentStyle & csPreviewCopy)) return;
    TfrxXMLItem *item = parent->Add();
    TfrxComponent *source = object->SourceComponent;
    if (source) {
        item->SetName(object->PreparedName);
        // The picture goes to the picture cache once; the element keeps its number.
        auto *picture = dynamic_cast<TfrxPictureView *>(object);
        const int designIndex = picture ? picture->ImageIndex : 0;
        if (picture) picture->ImageIndex = cachedPicture(*picture);
        QString text;
        if (firstOfTwoPasses())
            text = object->BaseDifferenceText(source);
        else if (object->ComponentStyle & csFullStateCopy)
            text = object->FullStateText(source);
        else
            text = object->DifferenceText(source);
        // Most objects of a card repeat the text of the previous card: share that string.
        const auto info = m_sourceInfo.find(source);
        if (info != m_sourceInfo.end()) {
            if (info->lastText == text)
                text = info->lastText;
            else
                info->lastText = text;
        }
        item->SetText(text);
        if (picture) picture->ImageIndex = designIndex;
    } else {
        item->SetName(object->ClassName());
        item->SetText(storedAttributes(object));
    }
    m_pendingBytes += item->Name().size() + item->Text().size() + 16 + qint64(sizeof(TfrxXMLItem));
    if (!object->Objects().isEmpty()) item->ReserveChildren(int(object->Objects().size()));
    for (TfrxComponent *child : object->Objects())
        addObjectTo(item, child);
}

int TfrxPreviewPages::cachedPicture(const TfrxPictureView &view)
{
    const QImage &picture = view.Picture;
    if (picture.isNull()) return 0;
    const auto known = m_cachedPictures.constFind(picture.cacheKey());
    if (known != m_cachedPictures.cend()) return *known;
    // A picture as read from its template keeps its own file; only a new one is encoded.
    QByteArray bytes;
    if (const QByteArray stream = view.StoredPicture.StreamFor(picture); !stream.isEmpty()) {
        try {
            bytes = PictureFile(stream);
        } catch (const platform::Error &) {
            // Not for a stream that was read successfully; encoding below covers it anyway.
        }
    }
    if (bytes.isEmpty()) bytes = EncodePicture(picture);
    if (bytes.isEmpty()) return 0;
    const int index = m_pictureCache.AddPicture(bytes);
    m_cachedPictures.insert(picture.cacheKey(), index);
    return index;
}

void TfrxPreviewPages::AddObject(TfrxComponent *object)
{
    if (TfrxXMLItem *page = currentPage()) addObjectTo(page, object);
}

int TfrxPreviewPages::ObjectCount()
{
    const TfrxXMLItem *page = currentPage();
    return page ? page->Count() : 0;
}

void TfrxPreviewPages::CutObjects(int index)
{
    TfrxXMLItem *page = currentPage();
    if (!page || index < 0) return;
    TfrxXMLItem *cut = RootChild(u"cutted"_s);
    while (page->Count() > index)
        cut->AddItem(page->Items(index));
}

void TfrxPreviewPages::PasteObjects(Extended y, Extended x)
{
    const int index = m_doc.RootItem()->Find(u"cutted");
    if (index < 0) return;
    TfrxXMLItem *cut = m_doc.RootItem()->Items(index);
    TfrxXMLItem *page = currentPage();
    if (cut->Count() > 0 && page) {
        const Extended left0 = elementValue(cut->Items(0), u"l", 0);
        const Extended top0 = elementValue(cut->Items(0), u"t", 0);
        while (cut->Count() > 0) {
            TfrxXMLItem *item = cut->Items(0);
            item->SetProp(u"l", floatToText(elementValue(item, u"l", 0) + x - left0));
            item->SetProp(u"t", floatToText(elementValue(item, u"t", 0) + y - top0));
            page->AddItem(item);
        }
    }
    delete cut;
}

Extended TfrxPreviewPages::BottomOfBands(Extended x)
{
    const TfrxXMLItem *page = currentPage();
    if (!page) return 0;
    Extended result = 0;
    for (int i = 0; i < page->Count(); ++i) {
        const TfrxXMLItem *item = page->Items(i);
        auto *band = dynamic_cast<TfrxBand *>(m_dictionary.GetObject(item->Name()));
        if (!band || dynamic_cast<TfrxPageFooter *>(band) || dynamic_cast<TfrxOverlay *>(band)) continue;
        const Extended left = elementValue(item, u"l", band->Left());
        if (x == 0 || std::fabs(x - left) < 0.001L || dynamic_cast<TfrxPageHeader *>(band) ||
            dynamic_cast<TfrxReportTitle *>(band)) {
            const Extended bottom =
                elementValue(item, u"t", band->Top()) + elementValue(item, u"h", band->Height());
            result = std::max(result, bottom);
        }
    }
    return result;
}

bool TfrxPreviewPages::HasBandOnPage(TfrxBand *band)
{
    const TfrxXMLItem *page = currentPage();
    if (!page || !band) return false;
    const bool pageFooter = dynamic_cast<TfrxPageFooter *>(band);
    const bool columnFooter = dynamic_cast<TfrxColumnFooter *>(band);
    for (int i = 0; i < page->Count(); ++i) {
        const TfrxXMLItem *item = page->Items(i);
        if (!band->PreparedName.isEmpty() && item->Name() == band->PreparedName) return true;
        if (!pageFooter && !columnFooter) continue;
        TfrxComponent *source = m_dictionary.GetObject(item->Name());
        if (pageFooter && dynamic_cast<TfrxPageFooter *>(source)) return true;
        if (columnFooter && dynamic_cast<TfrxColumnFooter *>(source)) return true;
    }
    return false;
}

void TfrxPreviewPages::SetPageSize(TfrxReportPage *page, Extended height, Extended width)
{
    TfrxReportPage *copy = m_sourcePages[sourceIndexOf(page)].get();
    copy->SetPaperSize(256);
    copy->SetPaperWidth(unitsToMm(width));
    copy->SetPaperHeight(unitsToMm(height));
}

} // namespace frx
