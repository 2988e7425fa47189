// Windows face names that report templates and layout profiles carry (楷体, 宋体, 黑体, Tahoma,
// Arial …) mapped to fonts installed on this system.
#pragma once

#include <QString>

namespace platform {

// Registers the Qt font substitutions for the Windows face names, choosing for each the first
// candidate that is installed. Idempotent; needs a QGuiApplication. The canvas calls it before it
// creates its first font, so headless callers need not remember it.
void installFontSubstitutions();

// The face name without a leading "@" (the vertical-form marker), as Qt should look it up.
QString familyForFace(const QString &face);

// True for a face name that asks for the vertical form: full-width characters stand turned a
// quarter turn counter-clockwise against the baseline.
bool isVerticalFace(const QString &face);

} // namespace platform
