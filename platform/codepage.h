// The system code page of this program is CP936 (GBK). Conversion in both directions.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Decodes CP936 bytes; bytes that are not valid CP936 become U+FFFD.
QString fromSystemCodePage(const QByteArray &bytes);

// Encodes to CP936; characters CP936 cannot represent become "?".
QByteArray toSystemCodePage(const QString &text);

} // namespace platform
