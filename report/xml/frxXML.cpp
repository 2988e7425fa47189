// Elements, attribute lookup and the document with its backing streams.
#include "report/xml/frxXML.h"
#include "report/xml/frxXML_p.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QTemporaryFile>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <vector>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

[[noreturn]] void throwListIndexError(qsizetype index)
{
    throw platform::Error(u"List index out of bounds (%1)"_s.arg(index));
}

// Whether a equals b ignoring case; ASCII text is compared without calling into the locale.
bool equalsIgnoringCase(QStringView a, QStringView b)
{
    if (a.size() != b.size()) return a.compare(b, Qt::CaseInsensitive) == 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x == y) continue;
        if ((x | y) >= 0x80) return a.compare(b, Qt::CaseInsensitive) == 0;
        if (x >= u'A' && x <= u'Z') x += u'a' - u'A';
        if (y >= u'A' && y <= u'Z') y += u'a' - u'A';
        if (x != y) return false;
    }
    return true;
}

// Position of the value of attribute name in text (just after its opening quote), and of the
// name's first character; -1 when absent. An attribute matches only as a whole name: at the start
// of the text or after a space, followed by ="; names compare ignoring case. Every =" has its
// quote, so the quotes are what is searched for.
qsizetype findAttribute(QStringView text, QStringView name, qsizetype *nameStart)
{
    const qsizetype length = name.size();
    const QChar *chars = text.data();
    for (qsizetype quote = length + 1; quote < text.size(); ++quote) {
        if (chars[quote] != u'"' || chars[quote - 1] != u'=') continue;
        const qsizetype start = quote - 1 - length;
        if ((start == 0 || chars[start - 1] == u' ') &&
            equalsIgnoringCase(text.sliced(start, length), name)) {
            if (nameStart) *nameStart = start;
            return quote + 1;
        }
    }
    return -1;
}

// The address sanitizer is to see every element's own allocation.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool poolElements = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool poolElements = false;
#else
constexpr bool poolElements = true;
#endif
#else
constexpr bool poolElements = true;
#endif

// Fixed-size blocks for elements, carved from chunks that are kept for the life of the process
// (reachable from one list); freed blocks go to the freeing thread's list.
struct FreeBlock {
    FreeBlock *next;
};
constexpr std::size_t blocksPerChunk = 1024;
thread_local FreeBlock *freeBlocks = nullptr;

void *allocateBlock()
{
    static std::mutex chunksLock;
    static std::vector<std::unique_ptr<std::byte[]>> chunks;
    constexpr std::size_t blockSize =
        (sizeof(TfrxXMLItem) + alignof(TfrxXMLItem) - 1) / alignof(TfrxXMLItem) * alignof(TfrxXMLItem);
    if (!freeBlocks) {
        std::unique_ptr<std::byte[]> chunk(new std::byte[blockSize * blocksPerChunk]); // not zeroed
        for (std::size_t i = blocksPerChunk; i-- > 0;) {
            auto *block = reinterpret_cast<FreeBlock *>(chunk.get() + i * blockSize);
            block->next = freeBlocks;
            freeBlocks = block;
        }
        const std::lock_guard lock(chunksLock);
        chunks.push_back(std::move(chunk));
    }
    FreeBlock *block = freeBlocks;
    freeBlocks = block->next;
    return block;
}

// User values of elements, by element; an element that has one says so with a flag.
struct UserDataTable {
    std::mutex lock;
    QHash<const TfrxXMLItem *, void *> values;
};

UserDataTable &userDataTable()
{
    static UserDataTable table;
    return table;
}

} // namespace

// --- TfrxXMLItem::Children ------------------------------------------------------------------

void TfrxXMLItem::Children::grow(int atLeast)
{
    const int capacity = std::max(atLeast, m_block ? m_block->capacity + m_block->capacity / 2 : 1);
    auto *block = static_cast<Block *>(
        ::operator new(offsetof(Block, items) + std::size_t(capacity) * sizeof(TfrxXMLItem *)));
    block->size = size();
    block->capacity = capacity;
    if (m_block) {
        std::memcpy(block->items, m_block->items, std::size_t(m_block->size) * sizeof(TfrxXMLItem *));
        ::operator delete(m_block);
    }
    m_block = block;
}

void TfrxXMLItem::Children::release()
{
    ::operator delete(m_block);
    m_block = nullptr;
}

int TfrxXMLItem::Children::indexOf(const TfrxXMLItem *item) const
{
    for (int i = 0; i < size(); ++i)
        if (m_block->items[i] == item) return i;
    return -1;
}

void TfrxXMLItem::Children::removeOne(const TfrxXMLItem *item)
{
    for (int i = size(); i-- > 0;)
        if (m_block->items[i] == item) {
            std::memmove(m_block->items + i, m_block->items + i + 1,
                         std::size_t(m_block->size - i - 1) * sizeof(TfrxXMLItem *));
            if (--m_block->size == 0) release();
            return;
        }
}

void TfrxXMLItem::Children::move(int from, int to)
{
    TfrxXMLItem *item = m_block->items[from];
    if (from < to)
        std::memmove(m_block->items + from, m_block->items + from + 1, std::size_t(to - from) * sizeof(item));
    else
        std::memmove(m_block->items + to + 1, m_block->items + to, std::size_t(from - to) * sizeof(item));
    m_block->items[to] = item;
}

std::vector<TfrxXMLItem *> TfrxXMLItem::Children::take()
{
    std::vector<TfrxXMLItem *> items(begin(), end());
    release();
    return items;
}

// --- TfrxXMLItem ---------------------------------------------------------------------------

void *TfrxXMLItem::operator new(std::size_t size)
{
    if constexpr (poolElements) return allocateBlock();
    return ::operator new(size);
}

void TfrxXMLItem::operator delete(void *memory) noexcept
{
    if constexpr (poolElements) {
        if (!memory) return;
        auto *block = static_cast<FreeBlock *>(memory);
        block->next = freeBlocks;
        freeBlocks = block;
    } else {
        ::operator delete(memory);
    }
}

TfrxXMLItem::~TfrxXMLItem()
{
    if (!m_items.isEmpty()) destroyChildren();
    takeFromParent();
    if (m_hasUserData) {
        UserDataTable &table = userDataTable();
        const std::lock_guard lock(table.lock);
        table.values.remove(this);
    }
}

void *TfrxXMLItem::UserData() const
{
    if (!m_hasUserData) return nullptr;
    UserDataTable &table = userDataTable();
    const std::lock_guard lock(table.lock);
    return table.values.value(this);
}

void TfrxXMLItem::SetUserData(void *data)
{
    if (!data && !m_hasUserData) return;
    UserDataTable &table = userDataTable();
    const std::lock_guard lock(table.lock);
    if (data)
        table.values.insert(this, data);
    else
        table.values.remove(this);
    m_hasUserData = data != nullptr;
}

// Without recursion, so that deeply nested documents cannot exhaust the stack.
void TfrxXMLItem::destroyChildren()
{
    std::vector<TfrxXMLItem *> pending = m_items.take();
    while (!pending.empty()) {
        TfrxXMLItem *item = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), item->m_items.begin(), item->m_items.end());
        // The children were taken over: the element must neither destroy nor detach them again.
        item->m_items.release();
        item->m_parent = nullptr;
        delete item;
    }
}

void TfrxXMLItem::ReserveChildren(int count)
{
    m_items.reserve(count);
}

TfrxXMLItem *TfrxXMLItem::Items(int index) const
{
    if (index < 0 || index >= m_items.size()) throwListIndexError(index);
    return m_items[index];
}

int TfrxXMLItem::IndexOf(const TfrxXMLItem *item) const
{
    return m_items.indexOf(item);
}

TfrxXMLItem *TfrxXMLItem::Add()
{
    auto *item = new TfrxXMLItem;
    appendChild(item);
    return item;
}

void TfrxXMLItem::AddItem(TfrxXMLItem *item)
{
    for (const TfrxXMLItem *ancestor = this; ancestor; ancestor = ancestor->m_parent) {
        if (ancestor == item) throw platform::Error(u"Circular child reference is not allowed"_s);
    }
    item->takeFromParent();
    appendChild(item);
}

void TfrxXMLItem::InsertItem(int index, TfrxXMLItem *item)
{
    const int limit = item->m_parent == this ? Count() - 1 : Count();
    if (index < 0 || index > limit) throwListIndexError(index);
    AddItem(item);
    m_items.move(m_items.size() - 1, index);
}

int TfrxXMLItem::Find(QStringView name) const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (equalsIgnoringCase(m_items[i]->m_name, name)) return i;
    }
    return -1;
}

TfrxXMLItem *TfrxXMLItem::FindOrAdd(const QString &name)
{
    const int index = Find(name);
    if (index >= 0) return m_items[index];
    TfrxXMLItem *item = Add();
    item->m_name = name;
    return item;
}

QString TfrxXMLItem::Prop(QStringView name) const
{
    const QStringView text(m_text);
    const qsizetype start = findAttribute(text, name, nullptr);
    if (start < 0) return {};
    qsizetype end = text.indexOf(u'"', start);
    if (end < 0) end = text.size();
    return xmlUnescape(text.sliced(start, end - start).toString());
}

void TfrxXMLItem::SetProp(QStringView name, const QString &value)
{
    qsizetype at = m_text.size();
    qsizetype nameStart = 0;
    const qsizetype start = findAttribute(m_text, name, &nameStart);
    if (start >= 0) {
        qsizetype end = m_text.indexOf(u'"', start);
        end = end < 0 ? m_text.size() : end + 1;
        m_text.remove(nameStart, end - nameStart);
        at = nameStart;
    }
    QString pair;
    const QString escaped = xmlEscape(value);
    pair.reserve(name.size() + escaped.size() + 4);
    if (at > 0 && m_text[at - 1] != u' ') pair.append(u' ');
    pair.append(name);
    pair.append(u"=\"");
    pair.append(escaped);
    pair.append(u'"');
    m_text.insert(at, pair);
}

void TfrxXMLItem::Clear()
{
    if (!m_items.isEmpty()) destroyChildren();
    if (m_unloadable) m_loaded = false;
}

void TfrxXMLItem::appendChild(TfrxXMLItem *item)
{
    item->m_parent = this;
    m_items.append(item);
}

void TfrxXMLItem::takeFromParent()
{
    if (!m_parent) return;
    m_parent->m_items.removeOne(this);
    m_parent = nullptr;
}

// --- TfrxXMLDocument -----------------------------------------------------------------------

TfrxXMLDocument::TfrxXMLDocument() : m_root(std::make_unique<TfrxXMLItem>()) {}

TfrxXMLDocument::~TfrxXMLDocument() = default;

QString TfrxXMLDocument::TempFileName() const
{
    return m_temp ? m_temp->fileName() : QString();
}

void TfrxXMLDocument::Clear()
{
    m_root->Clear();
    releaseStreams();
}

void TfrxXMLDocument::releaseStreams()
{
    m_source.reset();
    m_temp.reset(); // closes and deletes the file
}

void TfrxXMLDocument::LoadFromStream(QIODevice &stream)
{
    releaseStreams();
    readDocument(stream, false);
}

void TfrxXMLDocument::LoadFromStream(std::unique_ptr<QIODevice> stream, bool partialLoading)
{
    releaseStreams();
    QIODevice &source = *stream;
    // Kept before reading: elements left unloaded point into it even when reading fails later.
    if (partialLoading) m_source = std::move(stream);
    readDocument(source, partialLoading);
}

void TfrxXMLDocument::readDocument(QIODevice &stream, bool partialLoading)
{
    m_root->Clear();
    m_root->m_name.clear();
    m_root->m_text.clear();
    m_root->m_offset = 0;
    m_root->m_loaded = true;
    m_root->m_unloadable = false;
    m_root->setStore(TfrxXMLItem::Store::None);

    detail::XmlReader reader(stream, false);
    try {
        m_legacyEncoding = false;
        m_legacyEncoding = reader.readHeader();
        reader.readItem(m_root.get(), partialLoading);
    } catch (...) {
        reader.restoreStreamPosition();
        throw;
    }
    reader.restoreStreamPosition();
}

void TfrxXMLDocument::SaveToStream(QIODevice &stream)
{
    detail::XmlWriter writer(stream, m_indented, this, false);
    writer.writeDeclaration();
    // A document without any element (nothing was read into it) is the declaration alone.
    const TfrxXMLItem *root = m_root.get();
    if (!root->m_name.isEmpty() || !root->m_text.isEmpty() || root->Count()) writer.writeItem(m_root.get());
    writer.flush();
}

QIODevice *TfrxXMLDocument::storeOf(const TfrxXMLItem *item) const
{
    switch (item->store()) {
    case TfrxXMLItem::Store::Source:
        return m_source.get();
    case TfrxXMLItem::Store::Temp:
        return m_temp.get();
    case TfrxXMLItem::Store::None:
        break;
    }
    return nullptr;
}

void TfrxXMLDocument::LoadItem(TfrxXMLItem *item)
{
    if (!item->m_unloadable || item->m_loaded) return;
    QIODevice *store = storeOf(item);
    if (!store) return;
    if (!store->seek(item->Offset())) detail::throwStreamError(false);
    // Parked copies are written by this program in UTF-8; only the source may be in the old format.
    const bool legacy = item->store() == TfrxXMLItem::Store::Source && m_legacyEncoding;
    const QString text = item->m_text;
    detail::XmlReader reader(*store, legacy);
    reader.readItem(item, false);
    item->m_text = text;
    item->m_loaded = true;
}

void TfrxXMLDocument::UnloadItem(TfrxXMLItem *item)
{
    if (!item->m_loaded || !item->m_unloadable) return;
    if (!m_temp) {
        QString folder = m_tempFolder;
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
        auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(u"frXXXXXX"_s));
        if (!file->open())
            throw platform::FileError(
                u"Cannot create file \"%1\". %2"_s.arg(file->fileTemplate(), file->errorString()));
        m_temp = std::move(file);
    }
    const qint64 start = m_temp->size();
    detail::XmlWriter writer(*m_temp, false, this, true);
    writer.writeItem(item);
    writer.flush();
    item->Clear();
    item->setOffset(start);
    item->setStore(TfrxXMLItem::Store::Temp);
}

} // namespace frx
