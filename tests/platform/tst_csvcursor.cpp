#include "platform/csvcursor.h"
#include "platform/errors.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::string failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const DatabaseError &error) {
        return error.message().toStdString();
    }
    return "no error";
}

class CsvCursorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("guests.csv"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST(CsvParse, quotedCellsHoldCommasBreaksAndQuotes)
{
    const auto rows =
        CsvCursor::parse(QStringLiteral("a,\"b,c\",\"x\"\"y\"\r\n\"1\n2\",,\n\n"), QStringLiteral("t"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (QStringList{QStringLiteral("a"), QStringLiteral("b,c"), QStringLiteral("x\"y")}));
    EXPECT_EQ(rows[1], (QStringList{QStringLiteral("1\n2"), QString(), QString()}));
}

TEST(CsvParse, malformedQuotesNameTheLine)
{
    EXPECT_EQ(failureOf([] { CsvCursor::parse(QStringLiteral("a\n\"open\n"), QStringLiteral("g.csv")); }),
              "g.csv, line 2: a quoted cell is not closed");
    EXPECT_EQ(failureOf([] { CsvCursor::parse(QStringLiteral("a\nb\n\"x\"y\n"), QStringLiteral("g.csv")); }),
              "g.csv, line 3: text after a closing quote");
}

TEST_F(CsvCursorTest, readsRecordsByHeaderNames)
{
    CsvCursor cursor;
    cursor.setFileName(write("\xEF\xBB\xBF"
                             "ID,姓名\r\n1,张三\r\n2,李四\r\n3\r\n"));
    cursor.open();
    EXPECT_EQ(cursor.fieldCount(), 2);
    EXPECT_EQ(cursor.field(1).name, QStringLiteral("姓名"));
    EXPECT_EQ(cursor.field(1).kind, FieldKind::String);
    EXPECT_EQ(cursor.recordCount(), 3);
    QStringList names;
    for (cursor.first(); !cursor.eof(); cursor.next())
        names << cursor.value(QStringLiteral("姓名")).toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QString()}));
    EXPECT_EQ(cursor.recordNumber(), 3);
    EXPECT_EQ(cursor.value(QStringLiteral("id")).toString(), QStringLiteral("3"));
    EXPECT_FALSE(cursor.isNull(QStringLiteral("姓名")));
    EXPECT_EQ(failureOf([&] { cursor.value(QStringLiteral("Name")); }), "Field 'Name' not found");
}

TEST_F(CsvCursorTest, bookmarksSurviveNavigationButNotReopening)
{
    CsvCursor cursor;
    cursor.setFileName(write("n\na\nb\nc\n"));
    cursor.open();
    cursor.next();
    Bookmark second = cursor.bookmark();
    cursor.next();
    EXPECT_GT(cursor.compareBookmarks(cursor.bookmark(), second), 0);
    cursor.gotoBookmark(second);
    EXPECT_EQ(cursor.value(QStringLiteral("n")).toString(), QStringLiteral("b"));
    cursor.close();
    cursor.open();
    EXPECT_NE(failureOf([&] { cursor.gotoBookmark(second); }), "no error");
}

TEST_F(CsvCursorTest, badFilesFailToOpenAndStayClosed)
{
    CsvCursor cursor;
    cursor.setFileName(m_dir.filePath(QStringLiteral("missing.csv")));
    EXPECT_NE(failureOf([&] { cursor.open(); }), "no error");
    cursor.setFileName(write(""));
    EXPECT_NE(failureOf([&] { cursor.open(); }).find("has no header row"), std::string::npos);
    cursor.setFileName(write("a,A\n1,2\n"));
    EXPECT_NE(failureOf([&] { cursor.open(); }).find("names the field 'A' twice"), std::string::npos);
    cursor.setFileName(write("a\n1,2\n"));
    EXPECT_NE(failureOf([&] { cursor.open(); }).find("record 1 has 2 cells"), std::string::npos);
    EXPECT_FALSE(cursor.isOpen());
}

TEST_F(CsvCursorTest, isReadOnlyAndNotifiesObservers)
{
    struct Watch : CursorObserver {
        int opened = 0, closing = 0;
        void cursorOpened() override { ++opened; }
        void cursorClosing() override { ++closing; }
    } watch;
    CsvCursor cursor;
    cursor.addObserver(&watch);
    cursor.setFileName(write("n\na\n"));
    cursor.open();
    EXPECT_NE(failureOf([&] { cursor.append(); }).find("is read-only"), std::string::npos);
    EXPECT_NE(failureOf([&] { cursor.deleteCurrent(); }).find("is read-only"), std::string::npos);
    EXPECT_EQ(cursor.recordCount(), 1);
    cursor.close();
    cursor.close();
    EXPECT_EQ(watch.opened, 1);
    EXPECT_EQ(watch.closing, 1);
}

TEST_F(CsvCursorTest, headerOnlyFileIsEmpty)
{
    CsvCursor cursor;
    cursor.setFileName(write("姓名\r\n"));
    cursor.open();
    EXPECT_TRUE(cursor.eof());
    EXPECT_TRUE(cursor.bof());
    EXPECT_EQ(cursor.recordNumber(), 0);
    EXPECT_EQ(failureOf([&] { cursor.value(QStringLiteral("姓名")); }), "No current record");
}

} // namespace
