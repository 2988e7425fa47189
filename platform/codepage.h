// Conversion between Unicode and the ANSI code pages of font character sets. The system code page
// of this program is CP936 (GBK).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace platform {

// The system code page (GBK).
constexpr int SystemCodePage = 936;

// Decodes CP936 bytes; bytes that are not valid CP936 become U+FFFD.
QString fromSystemCodePage(const QByteArray &bytes);

// Encodes to CP936; characters CP936 cannot represent become "?".
QByteArray toSystemCodePage(const QString &text);

// The ANSI code page of a font character set: 936 for GB2312 (134), 1251 for Russian (204) and so
// on. The default (1) and OEM (255) sets and sets without a code page of their own give the system
// code page; the symbol set (2) gives 0: symbol fonts take characters as they are.
int codePageOfCharset(int charset);

// Whether this system converts between Unicode and `codePage` (0 counts: it converts nothing).
bool hasCodePage(int codePage);

// Decodes bytes in `codePage`; invalid bytes become U+FFFD. Throws platform::Error when the system
// lacks the conversion.
QString fromCodePage(int codePage, const QByteArray &bytes);

// Encodes in `codePage`; each character it cannot hold becomes one "?". Throws platform::Error when
// the system lacks the conversion.
QByteArray toCodePage(int codePage, const QString &text);

// `text` as it comes back from a trip through `codePage`: each character the code page cannot hold
// becomes "?". When `sources` is given it receives, for every UTF-16 unit of the result, the index in
// `text` of the character it came from. Code page 0 keeps the text. Throws platform::Error when the
// system lacks the conversion.
QString throughCodePage(int codePage, QStringView text, std::vector<int> *sources = nullptr);

} // namespace platform
