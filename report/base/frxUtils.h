// Shared numeric helpers of the report engine: unit constants, rounding and the
// number <-> text rules that template files, the prepared-pages format and the
// dialogs rely on.
#pragma once

#include <QString>

#include <optional>

namespace frx {

using Extended = long double;

// Report units (pixels at 96 per inch) per millimetre, centimetre, tenth of an inch, inch,
// and the character cell of a dot-matrix page.
inline constexpr Extended fr01cm = 3.77953L;
inline constexpr Extended fr1cm = 37.7953L;
inline constexpr Extended fr01in = 9.6L;
inline constexpr Extended fr1in = 96.0L;
inline constexpr Extended fr1CharX = 9.6L;
inline constexpr Extended fr1CharY = 17.0L;

// Colours are 0x00BBGGRR; this one means "no fill".
inline constexpr int clTransparent = 0x1FFFFFFF;
inline constexpr int clBlack = 0x000000;
inline constexpr int clWhite = 0xFFFFFF;

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Values outside the 64-bit range saturate.
qint64 roundHalfEven(Extended value);

// Formats a number in the general decimal form with up to 15 significant digits and "." as
// decimal separator: 793.7013, 1000, 0.5, 1E20, 1.5E-7. Fixed notation is used while the integer
// part has at most 15 digits and the magnitude is at least 0.00001.
QString floatToText(Extended value);

// Parses a decimal number typed by a user or stored in a file; both "." and "," are accepted as
// decimal separator, surrounding blanks are ignored. Returns nothing for text that is not a number.
std::optional<Extended> textToFloat(const QString &text);

} // namespace frx
