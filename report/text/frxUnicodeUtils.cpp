#include "report/text/frxUnicodeUtils.h"

#include "platform/codepage.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

[[noreturn]] void outOfBounds()
{
    throw EWideStringsError(u"Wide String Out of Bounds"_s);
}

QByteArray toUtf16Le(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

QString fromUtf16Le(const char *data, qsizetype bytes)
{
    QString text(bytes / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(data, text.size(), text.data());
    return text;
}

} // namespace

int TfrxWideStrings::Add(const QString &s)
{
    m_lines.append(s);
    if (!m_objects.isEmpty()) m_objects.append(nullptr);
    return Count() - 1;
}

int TfrxWideStrings::AddObject(const QString &s, void *object)
{
    const int index = Add(s);
    setObjects(index, object);
    return index;
}

void TfrxWideStrings::Clear()
{
    m_lines.clear();
    m_objects.clear();
}

void TfrxWideStrings::Delete(int index)
{
    if (index < 0 || index >= Count()) outOfBounds();
    m_lines.removeAt(index);
    if (!m_objects.isEmpty()) m_objects.removeAt(index);
}

int TfrxWideStrings::IndexOf(const QString &s) const
{
    return int(m_lines.indexOf(s));
}

void TfrxWideStrings::Insert(int index, const QString &s)
{
    if (index >= 0 && index < Count())
        m_lines[index] = s;
    else if (index == Count())
        Add(s);
    else
        outOfBounds();
}

QString TfrxWideStrings::Strings(int index) const
{
    return index >= 0 && index < Count() ? m_lines.at(index) : QString();
}

void *TfrxWideStrings::Objects(int index) const
{
    return index >= 0 && index < m_objects.size() ? m_objects.at(index) : nullptr;
}

void TfrxWideStrings::setObjects(int index, void *object)
{
    if (index < 0 || index >= Count()) return;
    if (m_objects.isEmpty()) {
        if (!object) return;
        m_objects.resize(m_lines.size(), nullptr);
    }
    m_objects[index] = object;
}

QString TfrxWideStrings::Text() const
{
    qsizetype size = 0;
    for (const QString &line : m_lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : m_lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

void TfrxWideStrings::setText(const QString &text)
{
    // A copy (shared, not duplicated) keeps the text alive when it refers to one of our own lines.
    const QString value = text;
    Clear();
    const QChar *const begin = value.constData();
    const QChar *end = begin;
    const QChar *const limit = begin + value.size();
    while (end != limit && end->unicode() != 0)
        ++end;

    const QChar *p = begin;
    while (p != end) {
        const QChar *const start = p;
        while (p != end && p->unicode() != u'\r' && p->unicode() != u'\n' && p->unicode() != 0x2028)
            ++p;
        // Text set per record is mostly a single line: share the value instead of copying it.
        if (start == begin && p == limit)
            m_lines.append(value);
        else
            m_lines.append(QString(start, p - start));
        if (p != end && p->unicode() == u'\r') ++p;
        if (p != end && p->unicode() == u'\n') ++p;
        if (p != end && p->unicode() == 0x2028) ++p;
    }
}

void TfrxWideStrings::LoadFromStream(QIODevice &stream)
{
    if (!stream.isReadable())
        throw platform::FileError(u"Cannot read the text: the stream is not open for reading"_s);
    const QByteArray bytes = stream.readAll();
    if (bytes.size() > 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE)
        setText(fromUtf16Le(bytes.constData() + 2, bytes.size() - 2));
    else
        setText(platform::fromSystemCodePage(bytes));
}

void TfrxWideStrings::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::FileError(u"Cannot open file \"%1\": %2"_s.arg(fileName, file.errorString()));
    LoadFromStream(file);
}

void TfrxWideStrings::SaveToStream(QIODevice &stream) const
{
    const QByteArray bytes = toUtf16Le(Text());
    if (stream.write(bytes) != bytes.size())
        throw platform::FileError(u"Cannot write the text: %1"_s.arg(stream.errorString()));
}

void TfrxWideStrings::SaveToFile(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw platform::FileError(u"Cannot create file \"%1\": %2"_s.arg(fileName, file.errorString()));
    const QByteArray bytes = toUtf16Le(Text());
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw platform::FileError(u"Cannot write file \"%1\": %2"_s.arg(fileName, file.errorString()));
}

bool TfrxWideStrings::operator==(const TfrxWideStrings &other) const
{
    if (m_lines != other.m_lines) return false;
    for (int i = 0; i < Count(); ++i) {
        if (Objects(i) != other.Objects(i)) return false;
    }
    return true;
}

} // namespace frx
