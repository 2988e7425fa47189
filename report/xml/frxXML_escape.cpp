// Escaping of attribute values and the invalid-input error.
#include "report/xml/frxXML.h"

using namespace Qt::StringLiterals;

namespace frx {

TfrxInvalidXMLException::TfrxInvalidXMLException(Reason reason, qint64 offset)
    : platform::Error(u"Invalid file format"_s), m_reason(reason), m_offset(offset)
{
}

namespace {

// Length of the reference that replaces c, or 0 when c stays as it is.
constexpr int escapedLength(char16_t c)
{
    switch (c) {
    case u'\n':
    case u'\r':
    case u'"':
    case u'&':
    case u'<':
    case u'>':
        return 5; // &#10; &#13; &#34; &#38; &#60; &#62;
    default:
        return 0;
    }
}

bool startsWithQuotEntity(QStringView text, qsizetype i)
{
    return text.sliced(i).startsWith(u"&quot;");
}

// The decimal integer of text (optional sign, digits only), or raises ConvertError.
qint64 toDecimalInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    qint64 value = 0;
    const qsizetype firstDigit = i;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9' || value > (qint64(1) << 40)) break;
        value = value * 10 + (c - u'0');
    }
    if (i == firstDigit || i != text.size())
        throw platform::ConvertError(u"'"_s + text.toString() + u"' is not a valid integer value"_s);
    return negative ? -value : value;
}

} // namespace

QString xmlEscape(const QString &text)
{
    const QStringView view(text);
    qsizetype size = 0;
    for (qsizetype i = 0; i < view.size(); ++i) {
        const char16_t c = view[i].unicode();
        if (c == u'&' && startsWithQuotEntity(view, i)) {
            size += 5;
            i += 5;
        } else {
            const int length = escapedLength(c);
            size += length ? length : 1;
        }
    }
    if (size == view.size()) return text;

    QString result(size, Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < view.size(); ++i) {
        char16_t c = view[i].unicode();
        if (c == u'&' && startsWithQuotEntity(view, i)) {
            c = u'"';
            i += 5;
        }
        if (!escapedLength(c)) {
            *out++ = QChar(c);
            continue;
        }
        *out++ = u'&';
        *out++ = u'#';
        *out++ = QChar(u'0' + c / 10);
        *out++ = QChar(u'0' + c % 10);
        *out++ = u';';
    }
    return result;
}

QString xmlUnescape(const QString &text)
{
    const QStringView view(text);
    qsizetype amp = view.indexOf(u'&');
    if (amp < 0) return text;

    QString result;
    result.reserve(view.size());
    result.append(view.first(amp));
    const qsizetype last = view.size() - 1; // the last character is never the start of a reference
    qsizetype i = amp;
    while (i < last) {
        if (view[i] != u'&') {
            // Copy the run up to the next "&" (or up to the last character) in one go.
            qsizetype next = view.indexOf(u'&', i);
            if (next < 0 || next > last) next = last;
            result.append(view.sliced(i, next - i));
            i = next;
            continue;
        }
        if (view[i + 1] == u'#' && i + 2 < view.size()) {
            const qsizetype semicolon = view.indexOf(u';', i + 2);
            if (semicolon < 0) break; // no reference ends here: the rest stays as it is
            const QStringView digits = view.sliced(i + 2, semicolon - i - 2);
            const qint64 code = toDecimalInteger(digits);
            if (code < 0 || code > 0x10FFFF)
                throw platform::ConvertError(u"'"_s + digits.toString() +
                                             u"' is not a valid integer value"_s);
            if (code > 0xFFFF) {
                const char32_t ucs4 = char32_t(code);
                result.append(QStringView(QChar::fromUcs4(ucs4)));
            } else {
                result.append(QChar(char16_t(code)));
            }
            i = semicolon + 1;
            continue;
        }
        const QStringView rest = view.sliced(i);
        if (rest.startsWith(u"&quot;")) {
            result.append(u'"');
            i += 6;
        } else if (rest.startsWith(u"&amp;")) {
            result.append(u'&');
            i += 5;
        } else if (rest.startsWith(u"&lt;")) {
            result.append(u'<');
            i += 4;
        } else if (rest.startsWith(u"&gt;")) {
            result.append(u'>');
            i += 4;
        } else {
            result.append(u'&');
            ++i;
        }
    }
    if (i < view.size()) result.append(view.sliced(i));
    return result;
}

} // namespace frx
