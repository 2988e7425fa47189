#include "app/model/guestfile.h"
#include "app/model/guestimport.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace guestfile;

namespace {

QString fixture(const char *name)
{
    return QDir(QStringLiteral(TOVARO_TEST_DATA)).filePath(QString::fromLatin1(name));
}

class GuestFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("名单.txt"))
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // The message readNames() throws, or "read" when it reads.
    std::string failure(const QString &path)
    {
        try {
            readNames(path);
        } catch (const platform::FileError &error) {
            return error.message().toStdString();
        }
        return "read";
    }
    QTemporaryDir dir;
};

} // namespace

TEST(decodeText, takesEveryEncodingAListComesIn)
{
    const QString names = QStringLiteral("张三\n欧阳小燕\n");
    QStringEncoder utf16le(QStringConverter::Utf16LE);
    QStringEncoder utf16be(QStringConverter::Utf16BE);
    QStringEncoder gb18030("GB18030");
    ASSERT_TRUE(gb18030.isValid());
    EXPECT_EQ(decodeText(names.toUtf8()), names);
    EXPECT_EQ(decodeText("\xEF\xBB\xBF" + names.toUtf8()), names);
    EXPECT_EQ(decodeText("\xFF\xFE" + QByteArray(utf16le(names))), names);
    EXPECT_EQ(decodeText("\xFE\xFF" + QByteArray(utf16be(names))), names);
    const QByteArray gbk = gb18030(names);
    EXPECT_EQ(gbk.left(2), QByteArray("\xD5\xC5")); // 张 in GBK: not UTF-8
    EXPECT_EQ(decodeText(gbk), names);
}

TEST(parseDelimited, splitsLinesAndQuotedCells)
{
    EXPECT_EQ(
        parseDelimited(QStringLiteral("张三\r\n李四\n\n王五")),
        Rows({{QStringLiteral("张三")}, {QStringLiteral("李四")}, {QString()}, {QStringLiteral("王五")}}));
    EXPECT_EQ(parseDelimited(QStringLiteral("1,\"王,小\"\"明\"\"\",x\n2,\"两\n行\"\n")),
              Rows({{QStringLiteral("1"), QStringLiteral("王,小\"明\""), QStringLiteral("x")},
                    {QStringLiteral("2"), QStringLiteral("两\n行")}}));
    EXPECT_EQ(parseDelimited(QStringLiteral("序号\t姓名\n1\t张,三")),
              Rows({{QStringLiteral("序号"), QStringLiteral("姓名")},
                    {QStringLiteral("1"), QStringLiteral("张,三")}}));
}

TEST(namesOfRows, takesTheNamedColumnOrTheFirst)
{
    EXPECT_EQ(namesOfRows({{QStringLiteral("序号"), QStringLiteral("姓名")},
                           {QStringLiteral("1"), QStringLiteral("\u3000张三 ")},
                           {QStringLiteral("2")},
                           {QString()},
                           {QString(), QString()}}),
              QStringList({QStringLiteral("张三"), QString()}));
    EXPECT_EQ(namesOfRows({{QString()},
                           {QStringLiteral("No"), QStringLiteral(" NAME ")},
                           {QStringLiteral("1"), QStringLiteral("Li")}}),
              QStringList({QStringLiteral("Li")}));
    // Without such a heading every row's first cell is a name, the first row too.
    EXPECT_EQ(namesOfRows({{QStringLiteral("张三"), QStringLiteral("同事")}, {QStringLiteral("李四")}}),
              QStringList({QStringLiteral("张三"), QStringLiteral("李四")}));
}

TEST_F(GuestFileTest, readsSpreadsheets)
{
    // Shared strings with a rich text run and a phonetic hint, an inline string, a missing row.
    EXPECT_EQ(readNames(fixture("guests.xlsx")),
              QStringList({QStringLiteral("张三"), QString(), QStringLiteral("欧阳小燕"),
                           QStringLiteral("赵六"), QStringLiteral("李四")}));
    EXPECT_EQ(readNames(fixture("guests.xls")),
              QStringList({QStringLiteral("张三"), QStringLiteral("李四"), QString(),
                           QStringLiteral("王小明"), QStringLiteral("12345")}));
    // The kind is told by the content, not by the name.
    QFile::copy(fixture("guests.xls"), dir.filePath(QStringLiteral("名单.csv")));
    EXPECT_EQ(readNames(dir.filePath(QStringLiteral("名单.csv"))).size(), 5);
}

TEST_F(GuestFileTest, damagedFilesAreRefusedWithTheirName)
{
    for (const char *name : {"guests.xlsx", "guests.xls"}) {
        QFile original(fixture(name));
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        const QByteArray bytes = original.readAll();
        const QString path = write(bytes.left(bytes.size() / 2), QStringLiteral("坏的名单"));
        const std::string message = failure(path);
        EXPECT_NE(message.find("无法读取名单文件“" + QDir::toNativeSeparators(path).toStdString() + "”"),
                  std::string::npos)
            << message;
    }
    EXPECT_NE(failure(write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16))).find("不是文本文件"),
              std::string::npos);
    EXPECT_NE(failure(dir.filePath(QStringLiteral("没有.txt"))), "read");
}

TEST_F(GuestFileTest, anExportedListReadsBackTheSame)
{
    const QStringList names = {QStringLiteral("张三"), QStringLiteral("王\"小\",明"), QString()};
    const QByteArray csv = namesToCsv(names);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF序号,姓名\r\n1,张三\r\n"));
    EXPECT_EQ(readNames(write(csv)), names);
}

TEST(GuestImport, sortsNamesByWhatAnImportWouldDo)
{
    const GuestImport plan({QStringLiteral("张三"), QString(), QStringLiteral("李四"), QStringLiteral("王五"),
                            QStringLiteral("王五"), QStringLiteral("李四")},
                           {QStringLiteral("李四")});
    EXPECT_EQ(plan.count(ImportStatus::New), 2);
    EXPECT_EQ(plan.count(ImportStatus::Empty), 1);
    EXPECT_EQ(plan.count(ImportStatus::AlreadyInList), 2);
    EXPECT_EQ(plan.count(ImportStatus::DuplicateInFile), 1);
    EXPECT_EQ(plan.namesToAdd(false), QStringList({QStringLiteral("张三"), QStringLiteral("王五")}));
    EXPECT_EQ(plan.namesToAdd(true),
              QStringList({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"),
                           QStringLiteral("王五"), QStringLiteral("李四")}));
}
