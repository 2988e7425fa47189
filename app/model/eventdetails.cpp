#include "app/model/eventdetails.h"

#include "platform/profile.h"
#include "platform/profilewriter.h"

bool EventDetails::isFarewell() const
{
    return eventKind.trimmed() == QStringLiteral("考学送行");
}

bool EventDetails::showsItem(int item) const
{
    switch (item) {
    case 11:
    case 12:
    case 13:
        return printParents;
    case 16:
        return printEventKind;
    case 8:
    case 15:
        return !isFarewell() || !bride.trimmed().isEmpty();
    default:
        return true;
    }
}

QString EventDetails::canvasText(int item) const
{
    if (item == 16) return QStringLiteral("举行");
    return printedText(item);
}

QString EventDetails::printedText(int item) const
{
    switch (item) {
    case 1:
        return year;
    case 2:
        return lunarMonth;
    case 3:
        return solarMonth;
    case 4:
        return lunarDay;
    case 5:
        return solarDay;
    case 6:
        return weekday;
    case 7:
        return groom;
    case 8:
        return bride;
    case 9:
        return venue;
    case 10:
        return time;
    case 11:
        return father;
    case 12:
        return mother;
    case 14:
        return groom;
    case 15:
        return bride;
    case 16:
        return eventKind;
    default:
        return {};
    }
}

QString stackText(const QString &text)
{
    QString stacked;
    stacked.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        stacked += text.at(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            stacked += text.at(++i);
        stacked += QStringLiteral("\r\n");
    }
    return stacked;
}

namespace {

const QString detailsSection = QStringLiteral("设置内容");

// Every text field with its key, for reading and writing alike.
template <typename Details, typename Visit>
void forEachText(Details &details, Visit visit)
{
    visit(QStringLiteral("Year"), details.year);
    visit(QStringLiteral("SolarMonth"), details.solarMonth);
    visit(QStringLiteral("SolarDay"), details.solarDay);
    visit(QStringLiteral("LunarMonth"), details.lunarMonth);
    visit(QStringLiteral("LunarDay"), details.lunarDay);
    visit(QStringLiteral("Weekday"), details.weekday);
    visit(QStringLiteral("Time"), details.time);
    visit(QStringLiteral("EventKind"), details.eventKind);
    visit(QStringLiteral("Venue"), details.venue);
    visit(QStringLiteral("Father"), details.father);
    visit(QStringLiteral("Mother"), details.mother);
    visit(QStringLiteral("Groom"), details.groom);
    visit(QStringLiteral("Bride"), details.bride);
}

} // namespace

EventDetails loadEventDetails(const QString &path, const EventDetails &defaults)
{
    const platform::ProfileFile profile(path);
    EventDetails details = defaults;
    if (!profile.hasSection(detailsSection)) return details;
    // A missing key reads as a value no field can hold, and the field keeps its default.
    const QString missing(QChar(u'\n'));
    forEachText(details, [&](const QString &key, QString &field) {
        const QString value = profile.readString(detailsSection, key, missing);
        if (value != missing) field = value;
    });
    details.printEventKind = profile.readInteger(detailsSection, QStringLiteral("PrintEventKind"),
                                                 defaults.printEventKind) != 0;
    details.printParents =
        profile.readInteger(detailsSection, QStringLiteral("PrintParents"), defaults.printParents) != 0;
    return details;
}

void saveEventDetails(const QString &path, const EventDetails &details)
{
    platform::ProfileEntries entries;
    forEachText(details, [&](const QString &key, const QString &field) { entries.append({key, field}); });
    entries.append({QStringLiteral("PrintEventKind"), QString::number(details.printEventKind ? 1 : 0)});
    entries.append({QStringLiteral("PrintParents"), QString::number(details.printParents ? 1 : 0)});
    platform::writeProfileText(
        path, platform::replaceProfileSection(platform::readProfileText(path), detailsSection, entries));
}
