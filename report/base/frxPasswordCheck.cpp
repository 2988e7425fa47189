#include "report/base/frxPasswordCheck.h"

#include "report/base/frxHost.h"

namespace frx {

bool frxCheckPassword(const QString &password, QString &acceptedPassword)
{
    if (password.isEmpty() || password == acceptedPassword) return true;
    const std::optional<QString> entry = frxHost().AskPassword();
    if (!entry || *entry != password) return false;
    acceptedPassword = password;
    return true;
}

} // namespace frx
