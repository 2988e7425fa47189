#include "app/model/layoutstore.h"

#include "platform/profile.h"
#include "platform/profilewriter.h"

namespace {

const QString leftOffsetKey = QStringLiteral("OffsetLeft");
const QString topOffsetKey = QStringLiteral("OffsetTop");

} // namespace

LayoutStore::LayoutStore(const QString &shippedFile, const QString &userFile)
    : m_shippedFile(shippedFile), m_userFile(userFile)
{
}

bool LayoutStore::hasUserLayout(const QString &section) const
{
    return platform::ProfileFile(m_userFile).hasSection(section);
}

TemplateLayout LayoutStore::read(const QString &section) const
{
    const platform::ProfileFile user(m_userFile);
    const bool own = user.hasSection(section);
    const platform::ProfileFile profile = own ? user : platform::ProfileFile(m_shippedFile);
    TemplateLayout result;
    result.cardSize = layout::readCardSize(profile, section);
    if (own) {
        result.leftOffsetMm = profile.readInteger(section, leftOffsetKey, 0);
        result.topOffsetMm = profile.readInteger(section, topOffsetKey, 0);
    }
    for (int n = 0; n < cardItemCount; ++n)
        result.records[static_cast<size_t>(n)] = layout::readRecord(profile, section, n);
    return result;
}

void LayoutStore::save(const QString &section, const TemplateLayout &layout) const
{
    platform::ProfileEntries entries = {
        {QStringLiteral("PaperHeight"), QString::number(layout.cardSize.height)},
        {QStringLiteral("PaperWidth"), QString::number(layout.cardSize.width)},
        {leftOffsetKey, QString::number(layout.leftOffsetMm)},
        {topOffsetKey, QString::number(layout.topOffsetMm)}};
    for (int n = 0; n < cardItemCount; ++n) {
        const para &record = layout.records[static_cast<size_t>(n)];
        const QString number = QString::number(n);
        entries.append({QStringLiteral("Left") + number, QString::number(record.Left)});
        entries.append({QStringLiteral("Top") + number, QString::number(record.Top)});
        entries.append({QStringLiteral("Fontname") + number, record.Fontname});
        entries.append({QStringLiteral("Fontsize") + number, QString::number(record.Fontsize)});
        // An empty style text would read back as "[]": the same, no style.
        entries.append({QStringLiteral("Fontstyle") + number, record.Fontstyle});
    }
    platform::writeProfileText(
        m_userFile, platform::replaceProfileSection(platform::readProfileText(m_userFile), section, entries));
}

void LayoutStore::restoreDefault(const QString &section) const
{
    if (!hasUserLayout(section)) return;
    platform::writeProfileText(m_userFile,
                               platform::removeProfileSection(platform::readProfileText(m_userFile), section));
}
