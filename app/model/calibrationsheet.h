// The calibration sheet: one sheet at the card size that shows where a printer puts the card: the
// blank card's picture in light grey, a small numbered cross at each item's place and millimetre
// rulers along the top and left edges, all moved by the whole-layout offsets in force as the
// printed cards are. Printed on a blank card, the grey picture's distance from the card's own shows
// how far the offsets are out.
#pragma once

#include "app/model/cardprinter.h"

#include <QPointF>

namespace calibration {

// Cross arms reach this far from the item's place, in mm.
inline constexpr double crossArmMm = 3;

// The place of item n on the sheet in report units from the paper's corner: the corner of its
// printed text object, offsets included (the print job's factor of 3.78 units per mm). Throws
// platform::ConvertError for a size or offset text that is not a number.
QPointF itemPlaceUnits(const CardState &state, int n);

// The card picture lightened to a faint grey: black becomes light grey, white stays white.
QImage faintPicture(const QImage &picture);

// Empties report and fills it with the sheet of state as its one page (paper of the card size,
// turned as the card job turns it, no margins), and makes it the report's prepared page.
void buildSheet(frx::TfrxReport &report, const CardState &state);

} // namespace calibration
