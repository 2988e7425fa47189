// The password check of template loading. The engine core asks the host (frxHost.h), whose
// window layer shows the password dialog; a headless host gives none, and a protected template
// cannot be opened.
#pragma once

#include <QString>


namespace frx {

// Checks a loaded report password: an empty password, or one equal to acceptedPassword, passes
// without asking. Otherwise the prompt asks; an entry equal to password (letter case counts) passes
// and becomes acceptedPassword. A cancelled prompt, a wrong entry or no prompt at all fails.
bool frxCheckPassword(const QString &password, QString &acceptedPassword);

} // namespace frx
