// The forward-only reader. Tags are found with memchr in a 4096-byte buffer and handed on as
// views into it; only a tag that spans a refill is copied. Elements are read with an explicit
// stack, so nesting depth is bounded by memory, not by the call stack.
#include "report/xml/frxXML_p.h"

#include "platform/codepage.h"

#include <QIODevice>
#include <QStringDecoder>

#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;

namespace frx::detail {

namespace {

using Reason = TfrxInvalidXMLException::Reason;

// QString::fromUtf8 drops a byte order mark at the start of what it is given; at the start of a
// name or a text it is a character, and dropping it would write back another element ("\uFEFF/B"
// would become the end tag "/B").
QString fromUtf8KeepingMark(QByteArrayView bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Position and length of the load-on-demand marker ld="0" (with its separating space) in an
// attribute text, or -1: the marker is the attribute at the start of the text or after a space.
qsizetype findMarker(QByteArrayView text, qsizetype *length)
{
    // Every attribute has one "=", so looking at each is cheaper than a substring search.
    const char *begin = text.data();
    const char *end = begin + text.size();
    for (const char *from = begin; from < end;) {
        const auto *equals = static_cast<const char *>(std::memchr(from, '=', std::size_t(end - from)));
        if (!equals || end - equals < 4) break;
        const qsizetype at = equals - begin;
        if (equals[1] == '"' && equals[2] == '0' && equals[3] == '"' && at >= 2 &&
            lowerAscii(text[at - 2]) == 'l' && lowerAscii(text[at - 1]) == 'd') {
            if (at == 2) {
                *length = 6;
                return 0;
            }
            if (text[at - 3] == ' ') {
                *length = 7;
                return at - 3;
            }
        }
        from = equals + 1;
    }
    return -1;
}

// A cheap hash for the name cache; names are short.
std::size_t nameHash(QByteArrayView bytes)
{
    std::size_t hash = 2166136261u;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

} // namespace

void throwStreamError(bool writing)
{
    throw platform::FileError(writing ? u"Stream write error"_s : u"Stream read error"_s);
}

XmlReader::XmlReader(QIODevice &stream, bool legacyEncoding)
    : m_stream(stream), m_legacyEncoding(legacyEncoding), m_bufferStart(stream.pos())
{
}

void XmlReader::restoreStreamPosition()
{
    if (m_stream.isOpen() && !m_stream.isSequential()) m_stream.seek(position());
}

bool XmlReader::refill()
{
    m_bufferStart += m_fill;
    m_fill = 0;
    m_readPos = 0;
    qint64 count = m_stream.read(m_buffer.data(), xmlBlockSize);
    if (count < 0) {
        if (!m_stream.isReadable() || !m_stream.atEnd()) throwStreamError(false);
        count = 0;
    }
    m_fill = qsizetype(count);
    return count > 0;
}

// Moves the bytes of the current tag from the read buffer (from index `from`) to the collection
// buffer before the read buffer is refilled.
void XmlReader::keepTagBytes(qsizetype from)
{
    const qsizetype needed = m_collected.size() + (m_fill - from);
    if (m_collected.capacity() < needed) {
        // In 4096-byte steps, but never less than doubling: a tag of megabytes (a picture as hex
        // text) must not be copied once per step.
        const qsizetype rounded = (needed + xmlBlockSize - 1) / xmlBlockSize * xmlBlockSize;
        m_collected.reserve(std::max(rounded, 2 * m_collected.capacity()));
    }
    m_collected.append(m_buffer.data() + from, m_fill - from);
    m_collecting = true;
}

// Reads the bytes of a tag after its "<" up to its ">" into bytes. Returns false when the tag was
// a comment (then skipped).
bool XmlReader::readTagBytes(QByteArrayView &bytes)
{
    m_collected.resize(0); // keeps its capacity
    m_collecting = false;
    qsizetype tagStart = m_readPos;
    auto refillInTag = [&] {
        keepTagBytes(tagStart);
        if (!refill()) throw TfrxInvalidXMLException(Reason::EndOfInputInTag, position());
        tagStart = 0;
    };
    auto collectedCount = [&] { return m_collected.size() + (m_readPos - tagStart); };
    auto tagByte = [&](qsizetype k) {
        return k < m_collected.size() ? m_collected[k] : m_buffer[tagStart + k - m_collected.size()];
    };

    // The first three bytes decide whether this is a comment.
    while (collectedCount() < 3) {
        if (m_readPos == m_fill) refillInTag();
        const char c = m_buffer[m_readPos];
        if (c == '>' || c == '<') break;
        ++m_readPos;
    }
    if (collectedCount() == 3 && tagByte(0) == '!' && tagByte(1) == '-' && tagByte(2) == '-') {
        skipComment();
        return false;
    }

    for (;;) {
        if (m_readPos == m_fill) refillInTag();
        const char *base = m_buffer.data();
        const char *from = base + m_readPos;
        const char *end = base + m_fill;
        const auto *gt = static_cast<const char *>(std::memchr(from, '>', end - from));
        const char *stop = gt ? gt : end;
        if (const auto *lt = static_cast<const char *>(std::memchr(from, '<', stop - from)))
            throw TfrxInvalidXMLException(Reason::LessThanInTag, m_bufferStart + (lt - base));
        if (!gt) {
            m_readPos = m_fill;
            continue;
        }
        const qsizetype close = gt - base;
        m_readPos = close + 1;
        if (m_collecting) {
            m_collected.append(base + tagStart, close - tagStart);
            bytes = m_collected;
        } else {
            bytes = QByteArrayView(base + tagStart, close - tagStart);
        }
        return true;
    }
}

// Skips to the ">" that follows exactly two consecutive "-"; a third "-" restarts the count.
void XmlReader::skipComment()
{
    int dashes = 0;
    for (;;) {
        if (m_readPos == m_fill && !refill())
            throw TfrxInvalidXMLException(Reason::EndOfInputInTag, position());
        const char c = m_buffer[m_readPos++];
        if (c == '-') {
            if (++dashes == 3) dashes = 0;
        } else if (c == '>' && dashes == 2) {
            return;
        } else {
            dashes = 0;
        }
    }
}

XmlReader::Tag XmlReader::readTag()
{
    for (;;) {
        // Outside a tag everything up to "<" is skipped: a byte-order mark, text, line breaks.
        for (;;) {
            if (m_readPos == m_fill && !refill()) return Tag{{}, {}, position()};
            const char *from = m_buffer.data() + m_readPos;
            if (const auto *lt = static_cast<const char *>(std::memchr(from, '<', m_fill - m_readPos))) {
                m_readPos = lt - m_buffer.data() + 1;
                break;
            }
            m_readPos = m_fill;
        }
        Tag tag;
        tag.offset = position() - 1;
        QByteArrayView bytes;
        if (!readTagBytes(bytes)) continue;
        if (bytes.endsWith(' ')) bytes.chop(1);
        const qsizetype space = bytes.indexOf(' ');
        if (space < 0) {
            tag.name = bytes;
        } else {
            tag.name = bytes.first(space);
            tag.text = bytes.sliced(space + 1);
        }
        return tag;
    }
}

bool XmlReader::readHeader()
{
    const Tag tag = readTag();
    if (!tag.name.startsWith("?xml")) throw TfrxInvalidXMLException(Reason::NoDeclaration, tag.offset);
    const bool version = tag.text.contains("version=\"1.0") || tag.text.contains("version='1.0");
    m_legacyEncoding = version && !tag.text.contains("standalone=");
    return m_legacyEncoding;
}

QString XmlReader::decodeName(QByteArrayView bytes)
{
    if (bytes.isEmpty()) return {};
    NameSlot &slot = m_names[nameHash(bytes) % m_names.size()];
    if (QByteArrayView(slot.bytes) == bytes) return slot.name;
    slot.bytes = bytes.toByteArray();
    // Names are written in UTF-8; an old-format document has them in the system code page.
    if (isAscii(bytes))
        slot.name = QString::fromLatin1(bytes);
    else
        slot.name = m_legacyEncoding ? platform::fromSystemCodePage(slot.bytes) : fromUtf8KeepingMark(bytes);
    return slot.name;
}

QString XmlReader::decodeText(QByteArrayView bytes) const
{
    if (bytes.isEmpty()) return {};
    return m_legacyEncoding ? platform::fromSystemCodePage(bytes.toByteArray()) : fromUtf8KeepingMark(bytes);
}

bool XmlReader::assignTag(TfrxXMLItem *item, const Tag &tag, qint64 start, bool partialLoading)
{
    // What is read is kept in the form the writer gives back unchanged: a name without a final
    // "/", an attribute text without leading spaces and without load markers, and, for an element
    // with children, no final "/" (it would close the element when written).
    QByteArrayView name = tag.name;
    QByteArrayView text = tag.text;
    bool empty = false;
    if (name.endsWith('/')) {
        while (name.endsWith('/'))
            name.chop(1);
        empty = true;
    } else if (text.endsWith('/')) {
        text.chop(1);
        empty = true;
    }
    item->m_name = decodeName(name);
    qsizetype markerLength = 0;
    qsizetype marker = findMarker(text, &markerLength);
    const bool marked = marker >= 0;
    QByteArray unmarked;
    if (marked) {
        unmarked = text.toByteArray();
        do {
            unmarked.remove(marker, markerLength);
            marker = findMarker(unmarked, &markerLength);
        } while (marker >= 0);
        text = unmarked;
    }
    while (text.startsWith(' '))
        text = text.sliced(1);
    while (!empty && text.endsWith('/'))
        text.chop(1);
    item->m_text = decodeText(text);
    if (marked && partialLoading) {
        // Children read afterwards are dropped when the element closes; the stored copy stays
        // in the source stream at the position before its start tag.
        item->m_unloadable = true;
        item->setOffset(start);
        item->setStore(TfrxXMLItem::Store::Source);
    }
    return empty;
}

void XmlReader::readItem(TfrxXMLItem *item, bool partialLoading)
{
    std::vector<TfrxXMLItem *> open;
    // Siblings tend to have as many children as the one before (pages of a prepared report):
    // reserving that many saves growing each child list step by step.
    std::vector<int> childCounts;
    const auto openElement = [&](TfrxXMLItem *element) {
        if (open.size() < childCounts.size()) element->m_items.reserve(childCounts[open.size()]);
        open.push_back(element);
    };
    const auto close = [&](TfrxXMLItem *element) {
        if (partialLoading && element->store() == TfrxXMLItem::Store::Source && element->m_unloadable)
            element->Clear(); // marks it not loaded
    };

    qint64 start = position();
    Tag tag = readTag();
    if (tag.name.isEmpty() || tag.name.startsWith('/')) {
        // No element at all (end of input or a stray end tag): the root stays empty.
        item->m_name.clear();
        item->m_text.clear();
        return;
    }
    if (assignTag(item, tag, start, partialLoading)) {
        close(item);
        return;
    }
    openElement(item);
    while (!open.empty()) {
        start = position();
        tag = readTag();
        if (tag.name.isEmpty() || tag.name.startsWith('/')) {
            // An empty name is the end of the input: every open element ends quietly.
            TfrxXMLItem *element = open.back();
            if (!tag.name.isEmpty() &&
                decodeName(tag.name.sliced(1)).compare(element->m_name, Qt::CaseInsensitive) != 0)
                throw TfrxInvalidXMLException(Reason::MismatchedEndTag, tag.offset);
            open.pop_back();
            if (childCounts.size() <= open.size()) childCounts.resize(open.size() + 1);
            childCounts[open.size()] = element->Count();
            close(element);
            continue;
        }
        auto *child = new TfrxXMLItem;
        open.back()->appendChild(child);
        if (assignTag(child, tag, start, partialLoading))
            close(child);
        else
            openElement(child);
    }
}

} // namespace frx::detail
