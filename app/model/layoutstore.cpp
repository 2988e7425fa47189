#include "app/model/layoutstore.h"

#include "platform/profile.h"
#include "platform/profilewriter.h"

namespace {

const QString leftOffsetKey = QStringLiteral("OffsetLeft");
const QString topOffsetKey = QStringLiteral("OffsetTop");

} // namespace

namespace layout {

QList<std::pair<QString, QString>> layoutEntries(const TemplateLayout &layout)
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
    return entries;
}

TemplateLayout readLayout(const platform::ProfileFile &profile, const QString &section)
{
    TemplateLayout result;
    result.cardSize = readCardSize(profile, section);
    result.leftOffsetMm = profile.readInteger(section, leftOffsetKey, 0);
    result.topOffsetMm = profile.readInteger(section, topOffsetKey, 0);
    for (int n = 0; n < cardItemCount; ++n)
        result.records[static_cast<size_t>(n)] = readRecord(profile, section, n);
    return result;
}

} // namespace layout

LayoutStore::LayoutStore(const QString &shippedFile, const QString &userFile)
    : m_shippedFile(shippedFile), m_userFile(userFile)
{
}

bool LayoutStore::hasUserLayout(const QString &section) const
{
    return platform::ProfileFile(m_userFile).hasSection(section);
}

QString LayoutStore::printerSection(const QString &section, const QString &printer)
{
    QString name = printer;
    for (QChar &c : name)
        if (c == u']' || c == u'\r' || c == u'\n') c = u'_';
    return section + u'@' + name;
}

std::optional<OffsetsMm> LayoutStore::printerOffsets(const QString &section, const QString &printer) const
{
    if (printer.isEmpty()) return std::nullopt;
    const platform::ProfileFile user(m_userFile);
    const QString own = printerSection(section, printer);
    if (!user.hasSection(own)) return std::nullopt;
    return OffsetsMm{user.readInteger(own, leftOffsetKey, 0), user.readInteger(own, topOffsetKey, 0)};
}

void LayoutStore::savePrinterOffsets(const QString &section, const QString &printer, OffsetsMm offsets) const
{
    const platform::ProfileEntries entries = {{leftOffsetKey, QString::number(offsets.left)},
                                              {topOffsetKey, QString::number(offsets.top)}};
    platform::writeProfileText(m_userFile,
                               platform::replaceProfileSection(platform::readProfileText(m_userFile),
                                                               printerSection(section, printer), entries));
}

TemplateLayout LayoutStore::read(const QString &section, const QString &printer) const
{
    const platform::ProfileFile user(m_userFile);
    const bool own = user.hasSection(section);
    TemplateLayout result = layout::readLayout(own ? user : platform::ProfileFile(m_shippedFile), section);
    if (const auto offsets = printerOffsets(section, printer)) {
        result.leftOffsetMm = offsets->left;
        result.topOffsetMm = offsets->top;
    }
    return result;
}

void LayoutStore::save(const QString &section, const TemplateLayout &layout, const QString &printer) const
{
    platform::ProfileEntries entries = layout::layoutEntries(layout);
    // A printer's offsets are that printer's alone; without one they belong to the layout.
    if (!printer.isEmpty())
        entries.removeIf(
            [](const auto &entry) { return entry.first == leftOffsetKey || entry.first == topOffsetKey; });
    QString text = platform::replaceProfileSection(platform::readProfileText(m_userFile), section, entries);
    if (!printer.isEmpty())
        text = platform::replaceProfileSection(
            text, printerSection(section, printer),
            {{leftOffsetKey, QString::number(layout.leftOffsetMm)}, {topOffsetKey, QString::number(layout.topOffsetMm)}});
    // One write: the layout and its offsets are saved together or not at all.
    platform::writeProfileText(m_userFile, text);
}

void LayoutStore::restoreDefault(const QString &section) const
{
    if (!hasUserLayout(section)) return;
    platform::writeProfileText(m_userFile,
                               platform::removeProfileSection(platform::readProfileText(m_userFile), section));
}
