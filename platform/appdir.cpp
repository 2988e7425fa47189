#include "platform/appdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

QString AppFolders::dataFile(const QString &name) const
{
    for (const QString &dir : dataDirs) {
        const QString path = QDir(dir).filePath(name);
        if (QFileInfo::exists(path)) return path;
    }
    return dataDirs.isEmpty() ? name : QDir(dataDirs.first()).filePath(name);
}

QString AppFolders::userFile(const QString &name) const
{
    return QDir(userDir).filePath(name);
}

AppFolders AppFolders::inOneFolder(const QString &dir)
{
    return AppFolders{{dir}, dir, true};
}

AppFolders locateAppFolders(const QString &exeDir, const QString &installedDataDir,
                            const QString &userDataDir, const QStringList &dataFiles)
{
    AppFolders folders;
    folders.dataDirs << exeDir;
    if (QDir::cleanPath(installedDataDir) != QDir::cleanPath(exeDir)) folders.dataDirs << installedDataDir;
    bool holdsData = !dataFiles.isEmpty();
    for (const QString &name : dataFiles)
        holdsData = holdsData && QFileInfo::exists(QDir(exeDir).filePath(name));
    // Root may write anywhere, /usr/bin included; a folder without the data files beside the
    // program is an installed prefix all the same.
    folders.portable = holdsData && QFileInfo(exeDir).isWritable();
    folders.userDir = folders.portable ? exeDir : userDataDir;
    return folders;
}

AppFolders applicationFolders(const QString &relativeDataDir, const QStringList &dataFiles)
{
    const QString exeDir = applicationDir();
    AppFolders folders =
        locateAppFolders(exeDir, QDir::cleanPath(QDir(exeDir).filePath(relativeDataDir)),
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), dataFiles);
    QDir().mkpath(folders.userDir);
    return folders;
}

} // namespace platform
