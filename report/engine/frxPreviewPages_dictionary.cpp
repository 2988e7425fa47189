// The dictionary of prepared names and the picture cache of the prepared pages.
#include "report/engine/frxPreviewPages.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace frx {

// ---- TfrxDictionary ----

void TfrxDictionary::Clear()
{
    m_names.clear();
    m_sources.clear();
}

void TfrxDictionary::Add(const QString &name, const QString &sourceName, TfrxComponent *object)
{
    m_names.insert(name, int(m_sources.size()));
    m_sources.push_back({sourceName, object});
}

QString TfrxDictionary::UniqueName(const QString &base) const
{
    int i = 10000;
    while (i > 1 && !m_names.contains(base + QString::number(i)))
        i /= 2;
    while (m_names.contains(base + QString::number(i)))
        ++i;
    return base + QString::number(i);
}

QString TfrxDictionary::AddUnique(const QString &base, const QString &sourceName, TfrxComponent *object)
{
    const QString name = UniqueName(base);
    Add(name, sourceName, object);
    return name;
}

TfrxComponent *TfrxDictionary::GetObject(const QString &name) const
{
    const auto it = m_names.constFind(name);
    return it == m_names.cend() ? nullptr : m_sources[*it].object;
}

QString TfrxDictionary::GetSourceName(const QString &name) const
{
    const auto it = m_names.constFind(name);
    return it == m_names.cend() ? QString() : m_sources[*it].name;
}

// ---- TfrxPictureCache ----

TfrxPictureCache::TfrxPictureCache() = default;

TfrxPictureCache::~TfrxPictureCache() = default;

void TfrxPictureCache::Clear()
{
    m_items.clear();
    m_segments.clear(); // temporary files delete themselves
}

void TfrxPictureCache::SetUseFileCache(bool value)
{
    if (m_segments.empty()) m_useFileCache = value;
}

void TfrxPictureCache::SetTempDir(const QString &folder)
{
    if (m_segments.empty()) m_tempDir = folder;
}

int TfrxPictureCache::AddPicture(const QByteArray &data)
{
    if (m_segments.empty() || m_segments.back()->size() > SegmentLimit) {
        std::unique_ptr<QIODevice> segment;
        if (m_useFileCache) {
            QString folder = m_tempDir;
            if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
            auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(u"frPicXXXXXX"_s));
            // Asking for the name gives the file one (it may be created without a name).
            if (!file->open() || file->fileName().isEmpty())
                throw platform::FileError(
                    u"Cannot create file \"%1\". %2"_s.arg(file->fileTemplate(), file->errorString()));
            segment = std::move(file);
        } else {
            auto buffer = std::make_unique<QBuffer>();
            buffer->open(QIODevice::ReadWrite);
            segment = std::move(buffer);
        }
        m_segments.push_back(std::move(segment));
    }
    QIODevice &segment = *m_segments.back();
    const qint64 offset = segment.size();
    if (!segment.seek(offset) || segment.write(data) != data.size())
        throw platform::FileError(u"Cannot write the picture cache: %1"_s.arg(segment.errorString()));
    m_items.push_back({int(m_segments.size()) - 1, offset});
    return int(m_items.size());
}

QByteArray TfrxPictureCache::GetPicture(int index) const
{
    if (index < 1 || index > int(m_items.size())) return {};
    const Item &item = m_items[index - 1];
    QIODevice &segment = *m_segments[item.segment];
    qint64 end = segment.size();
    if (index < int(m_items.size()) && m_items[index].segment == item.segment) end = m_items[index].offset;
    if (!segment.seek(item.offset)) return {};
    return segment.read(end - item.offset);
}

void TfrxPictureCache::SaveToXML(TfrxXMLItem *item) const
{
    item->Clear();
    for (int i = 1; i <= Count(); ++i) {
        TfrxXMLItem *child = item->Add();
        child->SetName(u"item"_s);
        child->SetText(u"stream=\""_s + QString::fromLatin1(GetPicture(i).toHex().toUpper()) + u'"');
    }
}

void TfrxPictureCache::LoadFromXML(const TfrxXMLItem *item)
{
    Clear();
    for (int i = 0; i < item->Count(); ++i) {
        const QString hex = item->Items(i)->Prop(u"stream");
        AddPicture(QByteArray::fromHex(hex.toLatin1()));
    }
}

} // namespace frx
