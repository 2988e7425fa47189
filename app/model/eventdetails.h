// The event details in the terms of the card: what the event details dialog holds, the texts
// each text item shows on the canvas and prints, and the stacking of vertical texts.
#pragma once

#include <QString>

// A snapshot of the dialog's fields, in the terms of the card.
struct EventDetails {
    QString year;                // cbb1
    QString solarMonth;          // cbb2
    QString solarDay;            // cbb3
    QString lunarMonth;          // cbb4
    QString lunarDay;            // cbb5
    QString weekday;             // cbb6
    QString time;                // edt1
    QString eventKind;           // cbb10, printed as item 16
    QString venue;               // edt3
    QString father;              // edt5
    QString mother;              // edt7
    QString groom;               // edt6
    QString bride;               // edt8
    bool printEventKind = false; // chk1: item 16
    bool printParents = false;   // chk2: items 11, 12 and 13

    // The farewell party (考学送行): a card without a bride.
    bool isFarewell() const;
    // Whether item n (0..16) is on the card: 11 to 13 with printParents, 16 with printEventKind;
    // at the farewell party the bride's items 8 and 15 only when a bride's name is given; every
    // other item always.
    bool showsItem(int item) const;

    // The canvas text of item n (1..12, 14..16) before stacking; item 16 is always "举行".
    // Items 0 and 13 have no dialog field: an empty text.
    QString canvasText(int item) const;
    // The printed text of item n (1..12, 14..16); item 16 is the kind of event.
    QString printedText(int item) const;
};

// Stacks text for the vertical layout: every character followed by a carriage return and a line
// feed. A surrogate pair stays together as one character.
QString stackText(const QString &text);

// The details the user confirmed last, kept in a profile file of their own (section "设置内容")
// across starts. Reading a missing file or key keeps the value of defaults; booleans are 0 or 1.
EventDetails loadEventDetails(const QString &path, const EventDetails &defaults);
// Writes details to path atomically; throws platform::FileError when it cannot be written.
void saveEventDetails(const QString &path, const EventDetails &details);
