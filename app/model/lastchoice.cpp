#include "app/model/lastchoice.h"

#include "platform/profile.h"
#include "platform/profilewriter.h"

namespace {

const QString section = QStringLiteral("上次选择");
const QString templateKey = QStringLiteral("Template");
const QString printerKey = QStringLiteral("Printer");
const QString wholeCardsKey = QStringLiteral("WholeCards");

} // namespace

LastChoice loadLastChoice(const QString &path)
{
    const platform::ProfileFile profile(path);
    return {profile.readString(section, templateKey), profile.readString(section, printerKey),
            profile.readInteger(section, wholeCardsKey, 0) != 0};
}

void saveLastChoice(const QString &path, const LastChoice &choice)
{
    platform::writeProfileText(
        path, platform::replaceProfileSection(
                  platform::readProfileText(path), section,
                  {{templateKey, choice.templateName},
                   {printerKey, choice.printerName},
                   {wholeCardsKey, choice.wholeCards ? QStringLiteral("1") : QStringLiteral("0")}}));
}
