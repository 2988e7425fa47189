// The password check of template loading. The engine core asks through a prompt that the window
// layer installs (the password dialog); without one, a protected template cannot be opened.
#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace frx {

// Asks the user for a report's password; nothing when the user cancelled.
using TfrxPasswordPrompt = std::function<std::optional<QString>()>;

// Installs the prompt used by frxCheckPassword; an empty one removes it.
void frxSetPasswordPrompt(TfrxPasswordPrompt prompt);

// Checks a loaded report password: an empty password, or one equal to acceptedPassword, passes
// without asking. Otherwise the prompt asks; an entry equal to password (letter case counts) passes
// and becomes acceptedPassword. A cancelled prompt, a wrong entry or a missing prompt fails.
bool frxCheckPassword(const QString &password, QString &acceptedPassword);

} // namespace frx
