// What the main window hands to the print job: the card state as it stands when a print button is
// pressed, and the guest list the cards are made for.
#pragma once

#include "app/layoutprofile.h"
#include "app/tmp.h"

#include <QString>

class GuestStore;

struct CardState {
    int templatePosition = -1; // 0, 1 vertical layout; 2, 3 horizontal; anything else neither
    QString cardWidthText;     // the card-size and offset spin edits' texts, in mm
    QString cardHeightText;
    QString leftOffsetText;
    QString topOffsetText;
    LayoutTable layout;
    EventDetails details;
};

class CardPrinter {
public:
    virtual ~CardPrinter() = default;
    // Prints cards from state: for the current guest of guests only, or for every guest. Throws
    // platform::Error on failure; the caller's guard shows it.
    virtual void print(const CardState &state, GuestStore &guests, bool currentGuestOnly) = 0;
};
