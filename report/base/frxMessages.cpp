#include "report/base/frxMessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace frx {

void frxProcessMessages(bool now)
{
    if (!QCoreApplication::instance()) return;
    static QElapsedTimer lastPass;
    if (!now && lastPass.isValid() && !lastPass.hasExpired(frxMessageIntervalMs)) return;
    QCoreApplication::processEvents();
    lastPass.start();
}

} // namespace frx
