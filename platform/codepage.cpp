#include "platform/codepage.h"

#include "platform/errors.h"

#include <cerrno>
#include <iconv.h>

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
        out.resize(qsizetype(written));
        return out;
    }

private:
    iconv_t m_cd;
};

} // namespace

QString fromSystemCodePage(const QByteArray &bytes)
{
    thread_local Converter decoder("UTF-16LE", "CP936");
    const QByteArray utf16 =
        decoder.convert(bytes.constData(), size_t(bytes.size()), [](const char *, size_t, QByteArray &out) {
            out.append("\xFD\xFF", 2); // U+FFFD, then go on after the offending byte
            return size_t(1);
        });
    return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
}

QByteArray toSystemCodePage(const QString &text)
{
    thread_local Converter encoder("CP936", "UTF-16LE");
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

} // namespace platform
