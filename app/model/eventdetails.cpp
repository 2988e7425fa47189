#include "app/model/eventdetails.h"

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
