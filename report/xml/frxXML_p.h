// Internals of frxXML shared by its files: the forward-only reader and the buffered writer.
#pragma once

#include "report/xml/frxXML.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringEncoder>

#include <array>

namespace frx::detail {

inline constexpr qsizetype xmlBlockSize = 4096;

// Reads tags from a stream through a 4096-byte buffer, starting at the stream's current
// position. Positions are absolute stream positions.
class XmlReader {
public:
    XmlReader(QIODevice &stream, bool legacyEncoding);

    // Reads the declaration; returns whether the document is in the old format (and from then on
    // decodes attribute texts from the system code page). Raises on a missing declaration.
    bool readHeader();
    // Reads one element with all its children into item (its name and text are replaced). With
    // partialLoading, elements marked ld="0" are left unloaded with their stream position.
    void readItem(TfrxXMLItem *item, bool partialLoading);
    // Puts the stream at the position just after the last byte consumed.
    void restoreStreamPosition();

private:
    // One tag as read: views into the read buffer or the collection buffer, valid until the next
    // read. An empty name means the end of the input.
    struct Tag {
        QByteArrayView name;
        QByteArrayView text;
        qint64 offset = 0; // of its "<"
    };

    qint64 position() const { return m_bufferStart + m_readPos; }
    bool refill();
    void keepTagBytes(qsizetype from);
    Tag readTag();
    bool readTagBytes(QByteArrayView &bytes);
    void skipComment();
    QString decodeName(QByteArrayView bytes);
    QString decodeText(QByteArrayView bytes) const;
    // Fills item from a start or empty-element tag; returns whether the element is empty.
    bool assignTag(TfrxXMLItem *item, const Tag &tag, qint64 start, bool partialLoading);

    QIODevice &m_stream;
    bool m_legacyEncoding;
    std::array<char, xmlBlockSize> m_buffer;
    qsizetype m_fill = 0;
    qsizetype m_readPos = 0;
    qint64 m_bufferStart = 0;
    // Bytes of a tag that spans buffer refills; grows in 4096-byte steps.
    QByteArray m_collected;
    bool m_collecting = false;

    // Element names repeat (page0, b1, m1 ...): recently decoded names are shared.
    struct NameSlot {
        QByteArray bytes;
        QString name;
    };
    std::array<NameSlot, 64> m_names;
};

// Writes elements to a stream through a buffer flushed in blocks of just over 4096 bytes.
class XmlWriter {
public:
    // document supplies the stored copies of parked elements (may be null); appendAtEnd writes
    // every block at the current end of the stream (the temporary file is also read from).
    XmlWriter(QIODevice &stream, bool indented, TfrxXMLDocument *document, bool appendAtEnd);

    void writeDeclaration();
    // Writes the element and its children, bringing parked ones back for the time of writing.
    void writeItem(TfrxXMLItem *item);
    void flush();

private:
    void writeStartTag(const TfrxXMLItem *item, int depth);
    void writeEndTag(const TfrxXMLItem *item, int depth);
    void writeIndent(int depth);
    void writeName(const QString &name);
    void writeUtf8(QStringView text);
    void append(QByteArrayView bytes) { m_buffer.append(bytes.data(), bytes.size()); }
    void flushIfFull();
    bool isParked(const TfrxXMLItem *item) const;

    QIODevice &m_stream;
    bool m_indented;
    TfrxXMLDocument *m_document;
    bool m_appendAtEnd;
    QByteArray m_buffer;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};

// Raises platform::FileError for a failed stream operation.
[[noreturn]] void throwStreamError(bool writing);

} // namespace frx::detail
