#include "platform/codepage.h"

#include "platform/errors.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <unordered_map>

namespace platform {

namespace {

// One iconv descriptor per direction and thread, opened on first use and reset before each call.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw Error(
                QStringLiteral("系统缺少 %1 到 %2 的字符转换").arg(QLatin1String(from), QLatin1String(to)));
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts in; on a sequence it cannot take, calls onInvalid(remainingIn, out) which must
    // consume at least one input byte and may append replacement output.
    template <typename OnInvalid> QByteArray convert(const char *in, size_t inLeft, OnInvalid onInvalid)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray out;
        out.resize(qsizetype(inLeft) * 2 + 16);
        size_t written = 0;
        char *inPtr = const_cast<char *>(in);
        while (inLeft > 0) {
            char *outPtr = out.data() + written;
            size_t outLeft = size_t(out.size()) - written;
            const size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            written = size_t(outPtr - out.data());
            if (result != size_t(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ (invalid) or EINVAL (incomplete at the end): the caller decides.
            out.resize(qsizetype(written));
            const size_t consumed = onInvalid(inPtr, inLeft, out);
            written = size_t(out.size());
            out.resize(qsizetype(written + inLeft * 2 + 16));
            inPtr += consumed;
            inLeft -= consumed;
        }
        // Flush what a stateful conversion still holds (the Vietnamese decoder keeps the last
        // letter back in case an accent follows).
        while (true) {
            char *outPtr = out.data() + written;
            size_t outLeft = size_t(out.size()) - written;
            const size_t result = iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft);
            written = size_t(outPtr - out.data());
            if (result != size_t(-1) || errno != E2BIG) break;
            out.resize(out.size() * 2);
        }
        out.resize(qsizetype(written));
        return out;
    }

private:
    iconv_t m_cd;
};

QByteArray iconvName(int codePage)
{
    return codePage == 1361 ? QByteArray("JOHAB") : "CP" + QByteArray::number(codePage);
}

struct CodePageConverters {
    explicit CodePageConverters(int codePage)
        : decoder("UTF-16LE", iconvName(codePage).constData()),
          encoder(iconvName(codePage).constData(), "UTF-16LE")
    {
    }
    Converter decoder;
    Converter encoder;
};

// The converters of this thread, opened on first use of each code page.
CodePageConverters &converters(int codePage)
{
    thread_local std::unordered_map<int, std::unique_ptr<CodePageConverters>> opened;
    std::unique_ptr<CodePageConverters> &slot = opened[codePage];
    if (!slot) slot = std::make_unique<CodePageConverters>(codePage);
    return *slot;
}

QString decode(Converter &decoder, const QByteArray &bytes)
{
    const QByteArray utf16 =
        decoder.convert(bytes.constData(), size_t(bytes.size()), [](const char *, size_t, QByteArray &out) {
            out.append("\xFD\xFF", 2); // U+FFFD, then go on after the offending byte
            return size_t(1);
        });
    return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
}

QByteArray encode(Converter &encoder, QStringView text)
{
    return encoder.convert(reinterpret_cast<const char *>(text.utf16()), size_t(text.size()) * 2,
                           [](const char *in, size_t left, QByteArray &out) {
                               out.append('?');
                               // A character outside the BMP is one "?", not two.
                               const auto *unit = reinterpret_cast<const char16_t *>(in);
                               if (left >= 4 && QChar::isHighSurrogate(unit[0]) &&
                                   QChar::isLowSurrogate(unit[1]))
                                   return size_t(4);
                               return size_t(2);
                           });
}

} // namespace

QString fromSystemCodePage(const QByteArray &bytes)
{
    return fromCodePage(SystemCodePage, bytes);
}

QByteArray toSystemCodePage(const QString &text)
{
    return toCodePage(SystemCodePage, text);
}

int codePageOfCharset(int charset)
{
    struct Entry {
        int charset;
        int codePage;
    };
    // Symbol fonts (2) take characters as they are; the default set (1) is the system's.
    static constexpr Entry table[] = {
        {0, 1252},   {2, 0},      {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950}, {161, 1253},
        {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250},
    };
    for (const Entry &entry : table)
        if (entry.charset == charset) return entry.codePage;
    return SystemCodePage;
}

bool hasCodePage(int codePage)
{
    if (codePage == 0) return true;
    thread_local std::unordered_map<int, bool> known;
    const auto found = known.find(codePage);
    if (found != known.end()) return found->second;
    bool available = true;
    try {
        converters(codePage);
    } catch (const Error &) {
        available = false;
    }
    known.emplace(codePage, available);
    return available;
}

QString fromCodePage(int codePage, const QByteArray &bytes)
{
    return decode(converters(codePage).decoder, bytes);
}

QByteArray toCodePage(int codePage, const QString &text)
{
    return encode(converters(codePage).encoder, text);
}

QString throughCodePage(int codePage, QStringView text, std::vector<int> *sources)
{
    if (sources) sources->clear();
    if (codePage == 0 || text.isEmpty()) {
        if (sources)
            for (qsizetype i = 0; i < text.size(); ++i)
                sources->push_back(int(i));
        return text.toString();
    }
    CodePageConverters &c = converters(codePage);
    QString whole = decode(c.decoder, encode(c.encoder, text));
    // The code pages here turn one BMP character into one, so an unchanged length means every
    // unit came from the unit at its own place.
    if (whole.size() == text.size()) {
        if (sources)
            for (qsizetype i = 0; i < text.size(); ++i)
                sources->push_back(int(i));
        return whole;
    }
    if (!sources) return whole;
    // A pair that became one "?" or characters composed on decoding: character by character.
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = (QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size() &&
                                  QChar::isLowSurrogate(text[i + 1].unicode()))
                                     ? 2
                                     : 1;
        const QString one = decode(c.decoder, encode(c.encoder, text.mid(i, length)));
        result += one;
        sources->insert(sources->end(), size_t(one.size()), int(i));
        i += length;
    }
    return result;
}

} // namespace platform
