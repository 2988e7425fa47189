#include "app/model/layoutprofile.h"

#include "platform/profile.h"

#include <QFont>

#include <cmath>

namespace layout {

CardSizeMm readCardSize(const platform::ProfileFile &profile, const QString &section)
{
    CardSizeMm size;
    size.height = profile.readInteger(section, QStringLiteral("PaperHeight"), 0);
    size.width = profile.readInteger(section, QStringLiteral("PaperWidth"), 0);
    return size;
}

para readRecord(const platform::ProfileFile &profile, const QString &section, int n)
{
    const QString number = QString::number(n);
    para record;
    record.Left = profile.readInteger(section, QStringLiteral("Left") + number, 0);
    record.Top = profile.readInteger(section, QStringLiteral("Top") + number, 0);
    record.Fontname = profile.readString(section, QStringLiteral("Fontname") + number);
    record.Fontsize = profile.readInteger(section, QStringLiteral("Fontsize") + number, 0);
    record.Fontstyle =
        profile.readString(section, QStringLiteral("Fontstyle") + number, QStringLiteral("[]"));
    return record;
}

void applyStyleText(QFont &font, const QString &styleText)
{
    if (styleText.contains(QStringLiteral("fsBold"))) font.setBold(true);
    if (styleText.contains(QStringLiteral("fsItalic"))) font.setItalic(true);
    if (styleText.contains(QStringLiteral("fsUnderline"))) font.setUnderline(true);
    if (styleText.contains(QStringLiteral("fsStrikeOut"))) font.setStrikeOut(true);
}

QString styleTextFromFont(const QFont &font)
{
    QString text;
    if (font.bold()) text += QStringLiteral("fsBold");
    if (font.italic()) text += QStringLiteral(" fsItalic");
    if (font.underline()) text += QStringLiteral(" fsUnderline");
    if (font.strikeOut()) text += QStringLiteral(" fsStrikeOut");
    return text;
}

int fontPointSize(const QFont &font)
{
    if (font.pointSize() > 0) return font.pointSize();
    if (font.pointSizeF() > 0) return static_cast<int>(std::lround(font.pointSizeF()));
    if (font.pixelSize() > 0) return static_cast<int>(std::lround(font.pixelSize() * 72.0 / 96.0));
    return 0;
}

} // namespace layout
