#include "platform/errors.h"
#include "platform/profile.h"
#include "platform/profilewriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(profilewriter, replacingASectionKeepsTheOthersAndDropsEveryCopyOfIt)
{
    const QString text = QStringLiteral("[A4竖排模板]\nLeft1=1\n[A4横排模板]\nLeft1=2\n[a4竖排模板 ]\nLeft1=3\n");
    const QString replaced = platform::replaceProfileSection(text, QStringLiteral("A4竖排模板"),
                                                             {{QStringLiteral("Left1"), QStringLiteral("9")}});
    const platform::ProfileFile profile = platform::ProfileFile::fromData(replaced.toUtf8());
    EXPECT_EQ(profile.readInteger(QStringLiteral("A4竖排模板"), QStringLiteral("Left1")), 9);
    EXPECT_EQ(profile.readInteger(QStringLiteral("A4横排模板"), QStringLiteral("Left1")), 2);
    EXPECT_EQ(replaced.count(QStringLiteral("竖排")), 1);
    const QString removed = platform::removeProfileSection(replaced, QStringLiteral("a4竖排模板"));
    EXPECT_FALSE(platform::ProfileFile::fromData(removed.toUtf8()).hasSection(QStringLiteral("A4竖排模板")));
    EXPECT_TRUE(platform::ProfileFile::fromData(removed.toUtf8()).hasSection(QStringLiteral("A4横排模板")));
}

TEST(profilewriter, valuesReadBackAsWritten)
{
    const QStringList values = {QStringLiteral(" 和平饭店 "), QStringLiteral("'引号'"), QStringLiteral("\"双\""),
                                QStringLiteral("a=b;c"), QString()};
    platform::ProfileEntries entries;
    for (qsizetype i = 0; i < values.size(); ++i)
        entries.append({QStringLiteral("Key%1").arg(i), values[i]});
    const platform::ProfileFile profile = platform::ProfileFile::fromData(
        platform::replaceProfileSection({}, QStringLiteral("设置内容"), entries).toUtf8());
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(profile.readString(QStringLiteral("设置内容"), QStringLiteral("Key%1").arg(i),
                                     QStringLiteral("missing")),
                  values[i])
            << i;
}

TEST(profilewriter, aFailedWriteSaysSoInChineseAndLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/user.ini"));
    platform::writeProfileText(path, QStringLiteral("[甲]\nA=1\n"));
    EXPECT_EQ(platform::readProfileText(path), QStringLiteral("[甲]\nA=1\n"));
    // A folder standing where the new file is to be renamed to makes the write fail.
    const QString blocked = dir.filePath(QStringLiteral("blocked.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    try {
        platform::writeProfileText(blocked, QStringLiteral("[乙]\n"));
        FAIL() << "no error";
    } catch (const platform::FileError &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("无法保存文件“"))) << error.message().toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0); // no temporary file left behind
}
