#include "report/frxPasswordCheck.h"

namespace frx {

namespace {

TfrxPasswordPrompt &installedPrompt()
{
    static TfrxPasswordPrompt prompt;
    return prompt;
}

} // namespace

void frxSetPasswordPrompt(TfrxPasswordPrompt prompt)
{
    installedPrompt() = std::move(prompt);
}

bool frxCheckPassword(const QString &password, QString &acceptedPassword)
{
    if (password.isEmpty() || password == acceptedPassword) return true;
    if (!installedPrompt()) return false;
    const std::optional<QString> entry = installedPrompt()();
    if (!entry || *entry != password) return false;
    acceptedPassword = password;
    return true;
}

} // namespace frx
