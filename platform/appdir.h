// Where the program's files are: the read-only data files it ships with, found beside the
// executable or in the installed data folder, and the folder everything it writes goes into.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Absolute path of the executable's folder, ending without a separator. Before a
// QCoreApplication exists it is the folder of /proc/self/exe.
QString applicationDir();

// applicationDir() joined with a file name.
QString applicationFile(const QString &fileName);

struct AppFolders {
    // Searched in this order for a read-only data file.
    QStringList dataDirs;
    // Where every file the program writes goes; never a folder of an installed prefix.
    QString userDir;
    // True when userDir is the executable's own folder (a copied folder or the build folder).
    bool portable = false;

    // The first of dataDirs that holds name, joined with it; when none does, the first of
    // dataDirs joined with it, so that the error of a missing file names the usual place.
    QString dataFile(const QString &name) const;
    // userDir joined with name.
    QString userFile(const QString &name) const;

    // Data and written files in one folder, as a portable copy has them.
    static AppFolders inOneFolder(const QString &dir);
};

// The folders of an executable in exeDir: data files beside it, then in installedDataDir; written
// files beside it when exeDir is writable and holds every one of dataFiles, else in userDataDir.
AppFolders locateAppFolders(const QString &exeDir, const QString &installedDataDir,
                            const QString &userDataDir, const QStringList &dataFiles);

// The folders of the running program: installedDataDir relative to the executable's folder
// (for example "../share/tovaro"), the user's data folder QStandardPaths::AppDataLocation (which
// follows XDG_DATA_HOME). The folder written into is created when missing; when it cannot be,
// opening a file there fails later with its own message.
AppFolders applicationFolders(const QString &relativeDataDir, const QStringList &dataFiles);

} // namespace platform
