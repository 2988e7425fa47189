// Rebuilding prepared pages as objects, the page cache, and the editing operations of the preview.
#include "report/engine/frxPreviewPages.h"

#include "report/xml/frxXMLSerializer.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

// Index of the source page named by a page element ("page" + number), or -1.
int sourceIndexOfName(const QString &name, int sourceCount)
{
    if (!name.startsWith(u"page"_s)) return -1;
    bool ok = false;
    const int index = QStringView(name).mid(4, 5).toInt(&ok);
    return ok && index >= 0 && index < sourceCount ? index : -1;
}

} // namespace

void TfrxPreviewPages::ClearCache()
{
    m_cache.clear();
}

void TfrxPreviewPages::cacheEvictLast()
{
    const int index = m_cache.back().index;
    if (m_report->EngineOptions.UseFileCache && index < Count()) {
        TfrxXMLItem *item = m_pages->Items(index);
        if (item->Unloadable()) m_doc.UnloadItem(item);
    }
    m_cache.pop_back();
}

TfrxReportPage *TfrxPreviewPages::Page(int index)
{
    if (index < 0 || index >= Count()) return nullptr;
    if (!m_runActive) {
        for (size_t i = 0; i < m_cache.size(); ++i) {
            if (m_cache[i].index != index) continue;
            std::swap(m_cache[0], m_cache[i]);
            return m_cache[0].page.get();
        }
    }
    std::unique_ptr<TfrxReportPage> page = rebuildPage(PageItem(index));
    page->AlignChildren();
    // During a run the same index can be rebuilt again; keep one entry per index.
    std::erase_if(m_cache, [index](const CachedPage &cached) { return cached.index == index; });
    m_cache.insert(m_cache.begin(), CachedPage{index, std::move(page)});
    const int limit = m_report->PreviewOptions.PagesInCache;
    if (m_cache.size() > 1 && int(m_cache.size()) > limit) cacheEvictLast();
    return m_cache.front().page.get();
}

std::unique_ptr<TfrxReportPage> TfrxPreviewPages::rebuildPage(TfrxXMLItem *item)
{
    const QString &name = item->Name();
    std::unique_ptr<TfrxReportPage> page;
    if (name.compare(u"TfrxReportPage"_s, Qt::CaseInsensitive) == 0 ||
        name.compare(u"TfrxDMPPage"_s, Qt::CaseInsensitive) == 0) {
        if (name.compare(u"TfrxDMPPage"_s, Qt::CaseInsensitive) == 0)
            page = std::make_unique<TfrxDMPPage>();
        else
            page = std::make_unique<TfrxReportPage>();
        TfrxXMLSerializer serializer;
        serializer.Owner = page.get();
        serializer.ReadObjectTree(page.get(), item);
        // The picture of the paper is not stored: a page written whole keeps the one of the source
        // page it was made from.
        const auto origin = qsizetype(quintptr(item->UserData())) - 1;
        if (origin >= 0 && origin < qsizetype(m_sourcePages.size()))
            page->PreviewBackground = m_sourcePages[size_t(origin)]->PreviewBackground;
        return page;
    }
    const int source = sourceIndexOfName(name, SourcePageCount());
    // A page element naming no source page (a damaged file) gives an empty page.
    if (source < 0) return std::make_unique<TfrxReportPage>();
    TfrxReportPage *sourcePage = m_sourcePages[source].get();
    page.reset(static_cast<TfrxReportPage *>(sourcePage->classInfo()->create(nullptr)));
    page->Assign(sourcePage);
    if (!sourcePage->Name().isEmpty()) page->SetName(sourcePage->Name());
    rebuildObjects(item, page.get());
    return page;
}

// Children before grandchildren, without recursion, so that a deeply nested file cannot exhaust the
// stack.
void TfrxPreviewPages::rebuildObjects(TfrxXMLItem *item, TfrxComponent *parent)
{
    TfrxXMLSerializer serializer;
    serializer.Owner = parent;
    std::vector<std::pair<TfrxXMLItem *, TfrxComponent *>> pending{{item, parent}};
    while (!pending.empty()) {
        auto [element, owner] = pending.back();
        pending.pop_back();
        for (int i = 0; i < element->Count(); ++i) {
            TfrxXMLItem *child = element->Items(i);
            TfrxComponent *source = m_dictionary.GetObject(child->Name());
            TfrxComponent *object = nullptr;
            try {
                if (source && !(source->ComponentStyle & csFullStateCopy) && source->classInfo()->create &&
                    source->classInfo()->inTemplateRegistry) {
                    // The source copy is what its stored form reads back as: copying it spares
                    // parsing every stored attribute again on every page.
                    object = source->classInfo()->create(owner);
                    object->Assign(source);
                    object->IsLoading = true;
                    serializer.CreateFixups();
                    serializer.ApplyAttributes(child->Text(), object);
                    serializer.FixupReferences();
                    if (!source->Name().isEmpty()) object->SetName(source->Name());
                } else if (source) {
                    const auto info = m_sourceInfo.constFind(source);
                    const QString stored =
                        info == m_sourceInfo.cend() ? source->ClassName() : info->storedForm;
                    object = serializer.AttributesToObject(stored + u' ' + child->Text(), owner);
                    if (object && !source->Name().isEmpty()) object->SetName(source->Name());
                } else {
                    object = serializer.AttributesToObject(child->Name() + u' ' + child->Text(), owner);
                }
            } catch (const platform::Error &) {
                // An element of an unknown class is left out with its children; the rest of the
                // page still shows.
                continue;
            }
            if (!object) continue;
            object->IsLoading = false;
            // A placed picture lives in the picture cache; index 0 means it had none.
            if (auto *picture = dynamic_cast<TfrxPictureView *>(object); picture && source) {
                picture->Picture = QImage();
                picture->StoredPicture = TfrxStoredPicture();
                const QByteArray bytes = m_pictureCache.GetPicture(picture->ImageIndex);
                try {
                    if (!bytes.isEmpty()) picture->Picture = DecodePicture(bytes);
                } catch (const platform::Error &) {
                    // A damaged cache entry shows as no picture.
                }
            }
            if (child->Count()) pending.push_back({child, object});
        }
    }
}

QSize TfrxPreviewPages::PageSize(int index)
{
    if (index < 0 || index >= Count()) return {0, 0};
    const int source = sourceIndexOfName(m_pages->Items(index)->Name(), SourcePageCount());
    const TfrxReportPage *page = source >= 0 ? m_sourcePages[source].get() : Page(index);
    if (!page) return {0, 0};
    return {int(roundHalfEven(page->Width())), int(roundHalfEven(page->Height()))};
}

// ---- editing ----

void TfrxPreviewPages::writeWholePage(TfrxXMLItem *item, TfrxReportPage *page)
{
    TfrxXMLSerializer serializer;
    serializer.Owner = page;
    serializer.WriteObjectTree(page, true, item);
}

void TfrxPreviewPages::AddEmptyPage(int index)
{
    if (index < 0 || index >= Count()) return;
    auto *item = new TfrxXMLItem;
    item->SetName(m_pages->Items(index)->Name());
    m_pages->InsertItem(index, item);
    ClearCache();
    notifyChanged(index);
}

void TfrxPreviewPages::DeletePage(int index)
{
    if (Count() < 2 || index < 0 || index >= Count()) return;
    delete m_pages->Items(index);
    if (m_pageIndex >= Count()) m_pageIndex = Count() - 1;
    ClearCache();
    notifyChanged(index);
}

void TfrxPreviewPages::ModifyPage(int index, TfrxReportPage *page)
{
    TfrxXMLItem *item = PageItem(index);
    if (!item || !page) return;
    // The page object may be the cached one that is about to be dropped: write it first.
    auto *fresh = new TfrxXMLItem;
    writeWholePage(fresh, page);
    const int source = sourceIndexOfName(item->Name(), SourcePageCount());
    fresh->SetUserData(source >= 0 ? reinterpret_cast<void *>(quintptr(source + 1)) : item->UserData());
    m_pages->InsertItem(index, fresh);
    delete item;
    ClearCache();
    notifyChanged(index);
}

void TfrxPreviewPages::AddFrom(TfrxReport *report)
{
    const int first = Count();
    for (int i = 0; i < report->PagesCount(); ++i) {
        auto *page = dynamic_cast<TfrxReportPage *>(report->Pages(i));
        if (!page) continue;
        writeWholePage(m_pages->Add(), page);
    }
    ClearCache();
    if (Count() > first) notifyAdded(first, Count() - first);
}

} // namespace frx
