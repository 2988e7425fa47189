// The layout of the seventeen text items of a card: positions in card millimetres and fonts, read
// from the layout profile file (one section per card template) and changed on the canvas.
#pragma once

#include <QString>

#include <array>

class QFont;

namespace platform {
class ProfileFile;
}

// Number of text items on a card: 0 is the guest's name, 1 to 16 the event details.
inline constexpr int cardItemCount = 17;

// One text item's layout record.
struct para {
    int Left = 0;      // mm from the card's left edge, without the whole-layout offset
    int Top = 0;       // mm from the card's top edge, without the whole-layout offset
    QString Fontname;  // face name; empty leaves a font's face unchanged
    int Fontsize = 0;  // points; 0 means the platform's default height
    QString Fontstyle; // style text: "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut" as substrings
};

// The layout table: one record per text item, indexed by item number.
using LayoutTable = std::array<para, cardItemCount>;

namespace layout {

// The card size a profile section gives, in mm; 0 for a missing key, section or file.
struct CardSizeMm {
    int width = 0;
    int height = 0;
};

// "PaperWidth" and "PaperHeight" of section.
CardSizeMm readCardSize(const platform::ProfileFile &profile, const QString &section);

// The record of item n (0..16) from section: keys "Left"n, "Top"n, "Fontname"n, "Fontsize"n and
// "Fontstyle"n (default "[]").
para readRecord(const platform::ProfileFile &profile, const QString &section, int n);

// Switches on, in font, every style named in styleText; styles already on stay on.
void applyStyleText(QFont &font, const QString &styleText);

// The style text of font's styles: "fsBold", " fsItalic", " fsUnderline", " fsStrikeOut" in this
// order for those that are on (the last three with their leading blank); empty for none.
QString styleTextFromFont(const QFont &font);

// The font's size in whole points, also for a font sized in pixels (at 96 pixels per inch).
int fontPointSize(const QFont &font);

} // namespace layout
