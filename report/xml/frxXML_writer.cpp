// The buffered writer. Attribute texts are encoded straight into the output buffer; elements are
// written with an explicit stack, so nesting depth is bounded by memory, not by the call stack.
#include "report/xml/frxXML_p.h"

#include <QIODevice>

#include <vector>

namespace frx::detail {

XmlWriter::XmlWriter(QIODevice &stream, bool indented, TfrxXMLDocument *document, bool appendAtEnd)
    : m_stream(stream), m_indented(indented), m_document(document), m_appendAtEnd(appendAtEnd)
{
    m_buffer.reserve(2 * xmlBlockSize);
}

void XmlWriter::flush()
{
    if (m_buffer.isEmpty()) return;
    if (m_appendAtEnd && !m_stream.seek(m_stream.size())) throwStreamError(true);
    if (m_stream.write(m_buffer) != m_buffer.size()) throwStreamError(true);
    m_buffer.clear();
}

void XmlWriter::flushIfFull()
{
    if (m_buffer.size() > xmlBlockSize) flush();
}

void XmlWriter::writeDeclaration()
{
    append("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>");
    if (m_indented) append("\r\n");
}

void XmlWriter::writeIndent(int depth)
{
    if (m_indented) m_buffer.append(qsizetype(2) * depth, ' ');
}

void XmlWriter::writeName(const QString &name)
{
    bool ascii = true;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (!ascii) {
        writeUtf8(name);
        return;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + name.size());
    char *out = m_buffer.data() + old;
    for (const QChar c : name)
        *out++ = char(c.unicode());
}

void XmlWriter::writeUtf8(QStringView text)
{
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + m_encoder.requiredSpace(text.size()));
    char *end = m_encoder.appendToBuffer(m_buffer.data() + old, text);
    m_buffer.resize(end - m_buffer.constData());
}

void XmlWriter::writeStartTag(const TfrxXMLItem *item, int depth)
{
    writeIndent(depth);
    m_buffer.append('<');
    writeName(item->m_name);
    if (!item->m_text.isEmpty()) {
        if (!item->m_text.startsWith(u' ')) m_buffer.append(' ');
        writeUtf8(item->m_text);
    }
    if (item->m_unloadable)
        append(" ld=\"0\"");
    else if (item->Count() && item->m_text.endsWith(u'/'))
        append("  "); // the reader drops one trailing space; a "/" before ">" would end the element
    else if (item->Count() && item->m_text.endsWith(u' '))
        m_buffer.append(' '); // kept through the one trailing space the reader drops
    append(item->Count() ? QByteArrayView(">") : QByteArrayView("/>"));
    if (m_indented) append("\r\n");
    flushIfFull();
}

void XmlWriter::writeEndTag(const TfrxXMLItem *item, int depth)
{
    writeIndent(depth);
    append("</");
    writeName(item->m_name);
    m_buffer.append('>');
    if (m_indented) append("\r\n");
    flushIfFull();
}

bool XmlWriter::isParked(const TfrxXMLItem *item) const
{
    return m_document && item->m_unloadable && !item->m_loaded && m_document->storeOf(item);
}

void XmlWriter::writeItem(TfrxXMLItem *item)
{
    struct Open {
        TfrxXMLItem *item;
        int next;
        bool reloaded;
    };
    std::vector<Open> open;

    // Writes one element's start tag; returns whether its children follow.
    const auto start = [&](TfrxXMLItem *element) {
        const bool reloaded = isParked(element);
        if (reloaded) m_document->LoadItem(element);
        writeStartTag(element, int(open.size()));
        if (element->Count()) {
            open.push_back({element, 0, reloaded});
        } else if (reloaded) {
            element->Clear();
        }
    };

    start(item);
    while (!open.empty()) {
        Open &top = open.back();
        if (top.next < top.item->Count()) {
            start(top.item->m_items[top.next++]);
            continue;
        }
        const Open done = top;
        open.pop_back();
        writeEndTag(done.item, int(open.size()));
        if (done.reloaded) done.item->Clear(); // parked again: the stored copy is still in place
    }
}

} // namespace frx::detail
