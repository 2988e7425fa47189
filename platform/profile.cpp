#include "platform/profile.h"

#include "platform/codepage.h"

#include <QFile>
#include <QStringDecoder>

#include <limits>

namespace platform {

namespace {

constexpr qsizetype maxValueLength = 2047;

// The blanks the profile service drops around names and values; CR goes with them, so CR LF
// files read like LF files. Ideographic spaces are data, not blanks.
bool isBlank(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\r':
    case u'\n':
    case u'\v':
    case u'\f':
    case 0x1a: // the end-of-file mark of old editors
        return true;
    default:
        return false;
    }
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString decodeContents(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return fromSystemCodePage(bytes);
}

// A value enclosed in a matching pair of single or double quotes loses them.
QStringView stripQuotes(QStringView value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.sliced(1, value.size() - 2);
    }
    return value;
}

QStringView cutToMaxLength(QStringView value)
{
    if (value.size() <= maxValueLength) return value;
    qsizetype length = maxValueLength;
    // Never leave half of a surrogate pair at the end.
    if (value[length - 1].isHighSurrogate()) --length;
    return value.first(length);
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

} // namespace

ProfileFile::ProfileFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError) return;
    m_exists = true;
    parse(contents);
}

ProfileFile ProfileFile::fromData(const QByteArray &contents)
{
    ProfileFile profile;
    profile.m_exists = true;
    profile.parse(contents);
    return profile;
}

void ProfileFile::parse(const QByteArray &contents)
{
    const QString text = decodeContents(contents);
    // Keys before the first section and keys of a repeated section go nowhere.
    QHash<QString, QString> *section = nullptr;
    for (QStringView rawLine : QStringView(text).split(u'\n')) {
        const QStringView line = trimBlanks(rawLine);
        if (line.isEmpty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0) {
                const QString name = trimBlanks(line.sliced(1, close - 1)).toString().toLower();
                section = m_sections.contains(name) ? nullptr : &m_sections[name];
                continue;
            }
            // A header without its bracket reads as an ordinary line, as the profile service does.
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || section == nullptr) continue;
        const QString key = trimBlanks(line.first(equals)).toString().toLower();
        if (section->contains(key)) continue;
        const QStringView value = cutToMaxLength(stripQuotes(trimBlanks(line.sliced(equals + 1))));
        section->insert(key, value.toString());
    }
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto sectionIt = m_sections.constFind(trimBlanks(section).toString().toLower());
    if (sectionIt == m_sections.constEnd()) return defaultValue;
    const auto keyIt = sectionIt->constFind(trimBlanks(key).toString().toLower());
    if (keyIt == sectionIt->constEnd()) return defaultValue;
    return *keyIt;
}

int ProfileFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    return parseInteger(readString(section, key), defaultValue);
}

bool ProfileFile::hasSection(const QString &section) const
{
    return m_sections.contains(trimBlanks(section).toString().toLower());
}

int ProfileFile::parseInteger(const QString &text, int defaultValue)
{
    const QStringView value = trimBlanks(text);
    if (value.size() >= 3 && value[0] == u'0' && (value[1] == u'x' || value[1] == u'X')) {
        // Up to 32 bits of hexadecimal; 0xFFFFFFFF is -1 as in a 32-bit register.
        quint64 result = 0;
        for (QChar c : value.sliced(2)) {
            const int digit = hexDigit(c.unicode());
            if (digit < 0) return defaultValue;
            result = result * 16 + digit;
            if (result > std::numeric_limits<quint32>::max()) return defaultValue;
        }
        return static_cast<int>(static_cast<quint32>(result));
    }
    qsizetype pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == u'+' || value[pos] == u'-')) {
        negative = value[pos] == u'-';
        ++pos;
    }
    if (pos == value.size()) return defaultValue;
    qint64 magnitude = 0;
    for (; pos < value.size(); ++pos) {
        const char16_t c = value[pos].unicode();
        if (c < u'0' || c > u'9') return defaultValue;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1) return defaultValue;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max()) return defaultValue;
    return static_cast<int>(result);
}

} // namespace platform
