#include "platform/appdir.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::AppFolders;

namespace {

class AppFoldersTest : public ::testing::Test {
protected:
    AppFoldersTest()
    {
        QDir(tmp.path()).mkpath(QStringLiteral("bin"));
        QDir(tmp.path()).mkpath(QStringLiteral("share/tovaro"));
    }
    QString path(const QString &relative) const { return QDir(tmp.path()).filePath(relative); }
    void touch(const QString &relative) const
    {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    AppFolders locate() const
    {
        return platform::locateAppFolders(path(QStringLiteral("bin")), path(QStringLiteral("share/tovaro")),
                                          path(QStringLiteral("home/tovaro")),
                                          {QStringLiteral("temp.ini"), QStringLiteral("frx.fr3")});
    }

    QTemporaryDir tmp;
};

} // namespace

TEST_F(AppFoldersTest, aFolderHoldingTheDataFilesIsPortableAndWrittenInto)
{
    touch(QStringLiteral("bin/temp.ini"));
    touch(QStringLiteral("bin/frx.fr3"));
    const AppFolders folders = locate();
    EXPECT_TRUE(folders.portable);
    EXPECT_EQ(folders.userDir, path(QStringLiteral("bin")));
    EXPECT_EQ(folders.dataFile(QStringLiteral("temp.ini")), path(QStringLiteral("bin/temp.ini")));
}

TEST_F(AppFoldersTest, anInstalledProgramReadsTheSharedFolderAndWritesTheUsers)
{
    // One data file beside the program is not a portable copy: the written files go elsewhere.
    touch(QStringLiteral("bin/temp.ini"));
    touch(QStringLiteral("share/tovaro/temp.ini"));
    touch(QStringLiteral("share/tovaro/frx.fr3"));
    const AppFolders folders = locate();
    EXPECT_FALSE(folders.portable);
    EXPECT_EQ(folders.userDir, path(QStringLiteral("home/tovaro")));
    EXPECT_EQ(folders.dataFile(QStringLiteral("temp.ini")), path(QStringLiteral("bin/temp.ini")));
    EXPECT_EQ(folders.dataFile(QStringLiteral("frx.fr3")), path(QStringLiteral("share/tovaro/frx.fr3")));
    // A file found nowhere is named where it is looked for first.
    EXPECT_EQ(folders.dataFile(QStringLiteral("qingjian1.jpg")), path(QStringLiteral("bin/qingjian1.jpg")));
    EXPECT_EQ(folders.userFile(QStringLiteral("tovaro.db")), path(QStringLiteral("home/tovaro/tovaro.db")));
}

TEST_F(AppFoldersTest, theUsersFolderFollowsXdgDataHomeAndIsCreated)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", path(QStringLiteral("xdg")).toLocal8Bit());
    const AppFolders folders = platform::applicationFolders(QStringLiteral("../share/nothing-here"),
                                                            {QStringLiteral("no-such-data-file")});
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_FALSE(folders.portable);
    EXPECT_TRUE(folders.userDir.startsWith(path(QStringLiteral("xdg")))) << folders.userDir.toStdString();
    EXPECT_TRUE(QDir(folders.userDir).exists());
}
