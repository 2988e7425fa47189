// Internals shared by the frxXMLSerializer_*.cpp files.
#pragma once

#include "report/xml/frxXMLSerializer.h"

#include <optional>

namespace frx::serializer {

// Compares ignoring the case of A-Z only.
bool sameAscii(QStringView a, QStringView b);

// A 32-bit integer as templates write it: optional blanks around, an optional sign, decimal digits
// or "$"/"0x" hexadecimal. Nothing for anything else or a value outside the 32-bit range.
std::optional<qint64> parseInteger(QStringView text);

// A float whatever decimal separator it was written with; blanks anywhere are ignored. Nothing for
// text that is not a finite number.
std::optional<Extended> parseFloat(const QString &text);

// The lines of a string list's text: split at CR LF, CR or LF; a final break adds no empty line.
QStringList splitLines(const QString &text);

} // namespace frx::serializer
