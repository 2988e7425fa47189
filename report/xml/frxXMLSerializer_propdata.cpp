#include "report/xml/frxXMLSerializer.h"

#include "platform/codepage.h"
#include "platform/errors.h"

#include <QtEndian>

namespace frx {

namespace {

bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

} // namespace

// ---- writer ----

void PropertyStreamWriter::appendInt32(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 4);
}

void PropertyStreamWriter::WriteName(const QString &name)
{
    const QByteArray bytes = platform::toSystemCodePage(name);
    if (bytes.size() > 255) throw platform::Error(QStringLiteral("Property name too long: %1").arg(name));
    m_data.append(char(bytes.size()));
    m_data.append(bytes);
}

void PropertyStreamWriter::WriteInteger(qint64 value)
{
    if (value >= -128 && value <= 127) {
        m_data.append(char(PropertyTag::Int8));
        m_data.append(char(qint8(value)));
    } else if (value >= -32768 && value <= 32767) {
        m_data.append(char(PropertyTag::Int16));
        char bytes[2];
        qToLittleEndian(qint16(value), bytes);
        m_data.append(bytes, 2);
    } else if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max()) {
        m_data.append(char(PropertyTag::Int32));
        appendInt32(quint32(qint32(value)));
    } else {
        throw platform::Error(QStringLiteral("Integer %1 does not fit the property stream").arg(value));
    }
}

void PropertyStreamWriter::WriteString(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (utf8.size() >= 2 * value.size()) {
        m_data.append(char(PropertyTag::WString));
        appendInt32(quint32(value.size()));
        for (QChar c : value) {
            char bytes[2];
            qToLittleEndian(c.unicode(), bytes);
            m_data.append(bytes, 2);
        }
    } else if (isAscii(value)) {
        if (utf8.size() <= 255) {
            m_data.append(char(PropertyTag::String));
            m_data.append(char(utf8.size()));
        } else {
            m_data.append(char(PropertyTag::LString));
            appendInt32(quint32(utf8.size()));
        }
        m_data.append(utf8);
    } else {
        m_data.append(char(PropertyTag::Utf8String));
        appendInt32(quint32(utf8.size()));
        m_data.append(utf8);
    }
}

void PropertyStreamWriter::WriteBinary(const QByteArray &bytes)
{
    m_data.append(char(PropertyTag::Binary));
    appendInt32(quint32(bytes.size()));
    m_data.append(bytes);
}

// ---- reader ----

void PropertyStreamReader::fail(const QString &what) const
{
    throw platform::Error(QStringLiteral("Invalid property data at byte %1: %2").arg(m_pos).arg(what));
}

QByteArray PropertyStreamReader::readBytes(qint64 count)
{
    if (count < 0 || count > m_data.size() - m_pos) fail(QStringLiteral("unexpected end of data"));
    const QByteArray bytes = m_data.mid(m_pos, qsizetype(count));
    m_pos += qsizetype(count);
    return bytes;
}

quint32 PropertyStreamReader::readUInt32()
{
    const QByteArray bytes = readBytes(4);
    return qFromLittleEndian<quint32>(bytes.constData());
}

PropertyTag PropertyStreamReader::NextTag() const
{
    if (AtEnd()) fail(QStringLiteral("unexpected end of data"));
    return PropertyTag(quint8(m_data[m_pos]));
}

PropertyTag PropertyStreamReader::readTag()
{
    const PropertyTag tag = NextTag();
    ++m_pos;
    return tag;
}

void PropertyStreamReader::expect(PropertyTag tag)
{
    if (NextTag() != tag)
        fail(QStringLiteral("value of tag %1 where %2 was expected").arg(int(NextTag())).arg(int(tag)));
    ++m_pos;
}

QString PropertyStreamReader::ReadName()
{
    const QByteArray length = readBytes(1);
    return platform::fromSystemCodePage(readBytes(quint8(length[0])));
}

qint64 PropertyStreamReader::ReadInteger()
{
    switch (NextTag()) {
    case PropertyTag::Int8:
        ++m_pos;
        return qint8(readBytes(1)[0]);
    case PropertyTag::Int16: {
        ++m_pos;
        const QByteArray bytes = readBytes(2);
        return qFromLittleEndian<qint16>(bytes.constData());
    }
    case PropertyTag::Int32:
        ++m_pos;
        return qint32(readUInt32());
    default:
        fail(QStringLiteral("value of tag %1 where an integer was expected").arg(int(NextTag())));
    }
}

QString PropertyStreamReader::ReadString()
{
    switch (NextTag()) {
    case PropertyTag::String: {
        ++m_pos;
        const QByteArray length = readBytes(1);
        return platform::fromSystemCodePage(readBytes(quint8(length[0])));
    }
    case PropertyTag::LString:
        ++m_pos;
        return platform::fromSystemCodePage(readBytes(readUInt32()));
    case PropertyTag::Utf8String:
        ++m_pos;
        return QString::fromUtf8(readBytes(readUInt32()));
    case PropertyTag::WString: {
        ++m_pos;
        const qint64 count = readUInt32();
        const QByteArray bytes = readBytes(count * 2);
        QString text(qsizetype(count), Qt::Uninitialized);
        for (qsizetype i = 0; i < qsizetype(count); ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(bytes.constData() + 2 * i));
        return text;
    }
    default:
        fail(QStringLiteral("value of tag %1 where a string was expected").arg(int(NextTag())));
    }
}

QByteArray PropertyStreamReader::ReadBinary()
{
    expect(PropertyTag::Binary);
    return readBytes(readUInt32());
}

void PropertyStreamReader::SkipValue()
{
    skipValue(0);
}

bool PropertyStreamReader::NextIsInteger() const
{
    const PropertyTag tag = NextTag();
    return tag == PropertyTag::Int8 || tag == PropertyTag::Int16 || tag == PropertyTag::Int32;
}

void PropertyStreamReader::skipValue(int depth)
{
    // Damaged data may nest lists without end; the depth bounds the recursion.
    if (depth > maxNesting) fail(QStringLiteral("lists nested too deeply"));
    switch (NextTag()) {
    case PropertyTag::List:
        ++m_pos;
        while (!EndOfList())
            skipValue(depth + 1);
        ++m_pos;
        break;
    case PropertyTag::Collection:
        // Items: an optional order number, then a list of name/value pairs.
        ++m_pos;
        while (!EndOfList()) {
            if (NextIsInteger()) ReadInteger();
            ReadListBegin();
            while (!EndOfList()) {
                ReadName();
                skipValue(depth + 1);
            }
            ++m_pos;
        }
        ++m_pos;
        break;
    case PropertyTag::Int8:
    case PropertyTag::Int16:
    case PropertyTag::Int32:
        ReadInteger();
        break;
    case PropertyTag::Binary:
        ReadBinary();
        break;
    case PropertyTag::String:
    case PropertyTag::LString:
    case PropertyTag::Utf8String:
    case PropertyTag::WString:
        ReadString();
        break;
    default:
        fail(QStringLiteral("unknown value tag %1").arg(int(NextTag())));
    }
}

// ---- hexadecimal ----

QString bytesToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray hexToBytes(QStringView text)
{
    const auto digit = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'A' && c <= u'F') return c - u'A' + 10;
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        return -1;
    };
    if (text.size() % 2 != 0)
        throw platform::ConvertError(QStringLiteral("Odd number of hexadecimal digits in property data"));
    QByteArray bytes(text.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int high = digit(text[2 * i].unicode()), low = digit(text[2 * i + 1].unicode());
        if (high < 0 || low < 0)
            throw platform::ConvertError(QStringLiteral("'%1' is not a hexadecimal digit")
                                             .arg(high < 0 ? text[2 * i] : text[2 * i + 1]));
        bytes[i] = char(high * 16 + low);
    }
    return bytes;
}

QString shiftedPassword(const QString &password, int delta)
{
    QString result = password;
    for (QChar &c : result)
        c = QChar(char16_t(c.unicode() + delta));
    return result;
}

} // namespace frx
