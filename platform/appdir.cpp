#include "platform/appdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString applicationDir()
{
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

QString applicationFile(const QString &fileName)
{
    return QDir(applicationDir()).filePath(fileName);
}

} // namespace platform
