// Fonts for tests that lay out or paint text: a font value by face and size, and the monospaced face
// whose fixed advance lets a test size text rectangles to an exact number of characters.
#pragma once

#include "platform/canvas.h"

#include <QString>

namespace testsupport {

// A font value of that face, size in points and style bits.
platform::FontValue fontOf(const QString &name, int points, unsigned style = 0);
// The monospaced face at that size.
platform::FontValue mono(int points = 10);
// The advance of one character of the monospaced face at the layout resolution (600 per inch).
int monoAdvance(int points = 10);

} // namespace testsupport
