// Feeds arbitrary bytes to the profile reader as the content of a layout profile file.
#include "platform/profile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const platform::ProfileFile profile = platform::ProfileFile::fromData(bytes);
    const QString sections[] = {QStringLiteral("A4竖排模板"), QStringLiteral("s"), QString()};
    const QString keys[] = {QStringLiteral("PaperHeight"), QStringLiteral("Fontname0"), QStringLiteral("k"),
                            QString()};
    for (const QString &section : sections) {
        profile.hasSection(section);
        for (const QString &key : keys) {
            const QString value = profile.readString(section, key, QStringLiteral("-"));
            if (value.size() > 2047) __builtin_trap();
            profile.readInteger(section, key, 7);
        }
    }
    platform::ProfileFile::parseInteger(QString::fromUtf8(bytes), 0);
    return 0;
}
