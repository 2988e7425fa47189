// Elements, attribute lookup and the document with its backing streams.
#include "report/frxXML.h"
#include "report/frxXML_p.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QTemporaryFile>

#include <vector>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

[[noreturn]] void throwListIndexError(qsizetype index)
{
    throw platform::Error(u"List index out of bounds (%1)"_s.arg(index));
}

// Position of the value of attribute name in text (just after its opening quote), and of the
// name's first character; -1 when absent. An attribute matches only as a whole name: at the start
// of the text or after a space, followed by ="; names compare ignoring case.
qsizetype findAttribute(QStringView text, QStringView name, qsizetype *nameStart)
{
    const qsizetype length = name.size();
    qsizetype equals = text.indexOf(u"=\"", length);
    while (equals >= 0) {
        const qsizetype start = equals - length;
        if ((start == 0 || text[start - 1] == u' ') &&
            text.sliced(start, length).compare(name, Qt::CaseInsensitive) == 0) {
            if (nameStart) *nameStart = start;
            return equals + 2;
        }
        equals = text.indexOf(u"=\"", equals + 1);
    }
    return -1;
}

} // namespace

// --- TfrxXMLItem ---------------------------------------------------------------------------

TfrxXMLItem::~TfrxXMLItem()
{
    if (!m_items.isEmpty()) destroyChildren();
    takeFromParent();
}

// Without recursion, so that deeply nested documents cannot exhaust the stack.
void TfrxXMLItem::destroyChildren()
{
    std::vector<TfrxXMLItem *> pending(m_items.begin(), m_items.end());
    m_items = {};
    while (!pending.empty()) {
        TfrxXMLItem *item = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), item->m_items.begin(), item->m_items.end());
        // The children were taken over: the element must neither destroy nor detach them again.
        item->m_items = {};
        item->m_parent = nullptr;
        delete item;
    }
}

TfrxXMLItem *TfrxXMLItem::Items(int index) const
{
    if (index < 0 || index >= m_items.size()) throwListIndexError(index);
    return m_items[index];
}

int TfrxXMLItem::IndexOf(const TfrxXMLItem *item) const
{
    return int(m_items.indexOf(item));
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
        if (QStringView(m_items[i]->m_name).compare(name, Qt::CaseInsensitive) == 0) return i;
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
    m_root->m_store = TfrxXMLItem::Store::None;

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
    writer.writeItem(m_root.get());
    writer.flush();
}

QIODevice *TfrxXMLDocument::storeOf(const TfrxXMLItem *item) const
{
    switch (item->m_store) {
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
    if (!store->seek(item->m_offset)) detail::throwStreamError(false);
    // Parked copies are written by this program in UTF-8; only the source may be in the old format.
    const bool legacy = item->m_store == TfrxXMLItem::Store::Source && m_legacyEncoding;
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
    item->m_offset = start;
    item->m_store = TfrxXMLItem::Store::Temp;
}

} // namespace frx
