#include "platform/errors.h"
#include "platform/sqlitecursor.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace platform;

namespace {

const QString guestSchema =
    QStringLiteral("CREATE TABLE keren (ID INTEGER PRIMARY KEY AUTOINCREMENT, 姓名 TEXT)");
const QString guestQuery = QStringLiteral("select *  from keren");
const QString sortedQuery = QStringLiteral("select * from keren order by ID");

std::string failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const DatabaseError &error) {
        return error.message().toStdString();
    }
    return "no error";
}

// A plain second connection, as another program would hold one.
class Connection {
public:
    explicit Connection(const QString &path) { sqlite3_open(QFile::encodeName(path).constData(), &m_db); }
    ~Connection() { sqlite3_close(m_db); }
    int exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3 *m_db = nullptr;
};

class SqliteCursorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("tovaro.db"));
        SqliteCursor::createDatabase(m_path, guestSchema);
    }

    void openGuests(SqliteCursor &cursor, const QString &query = sortedQuery,
                    const QVariantList &parameters = {})
    {
        cursor.setDatabaseFile(m_path);
        cursor.setQuery(query);
        cursor.setParameters(parameters);
        cursor.open();
    }

    void addGuests(const QStringList &names)
    {
        SqliteCursor cursor;
        openGuests(cursor);
        for (const QString &name : names) {
            cursor.append();
            cursor.setValue(QStringLiteral("姓名"), name);
            cursor.post();
        }
    }

    // The names in the file, read through a fresh cursor in key order.
    QStringList namesInFile()
    {
        SqliteCursor cursor;
        openGuests(cursor);
        QStringList names;
        for (cursor.first(); !cursor.eof(); cursor.next())
            names << cursor.displayText(QStringLiteral("姓名"));
        return names;
    }

    QTemporaryDir m_dir;
    QString m_path;
};

struct Recorder : CursorObserver {
    QStringList events;
    void cursorOpened() override { events << QStringLiteral("opened"); }
    void cursorClosing() override { events << QStringLiteral("closing"); }
    void currentChanged() override { events << QStringLiteral("current"); }
    void rowsChanged() override { events << QStringLiteral("rows"); }
};

} // namespace

TEST_F(SqliteCursorTest, appendPostsAtOnceAndReportsTheNewKey)
{
    SqliteCursor cursor;
    openGuests(cursor, guestQuery);
    EXPECT_TRUE(cursor.eof());
    EXPECT_EQ(cursor.recordCount(), 0);
    const QStringList names{QStringLiteral("王小明"), QStringLiteral("李四"), QString()};
    for (int i = 0; i < names.size(); ++i) {
        cursor.append();
        EXPECT_TRUE(cursor.isEditing());
        cursor.setValue(QStringLiteral("姓名"), names[i]);
        cursor.post();
        EXPECT_FALSE(cursor.isEditing());
        EXPECT_EQ(cursor.newKey(), i + 1);
        EXPECT_EQ(cursor.recordNumber(), i + 1);
        EXPECT_EQ(cursor.value(QStringLiteral("ID")), QVariant(i + 1));
        EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), names[i]);
        // Another connection sees every posted row while this cursor stays open.
        EXPECT_EQ(namesInFile(), names.mid(0, i + 1));
    }
    EXPECT_EQ(cursor.recordCount(), 3);
    EXPECT_FALSE(cursor.isNull(QStringLiteral("姓名"))); // an empty name is a name, not a null
}

TEST_F(SqliteCursorTest, fieldsAreFoundByNameWithoutCase)
{
    addGuests({QStringLiteral("张三")});
    SqliteCursor cursor;
    openGuests(cursor);
    ASSERT_EQ(cursor.fieldCount(), 2);
    EXPECT_EQ(cursor.field(0).name, QStringLiteral("ID"));
    EXPECT_EQ(cursor.field(0).kind, FieldKind::Integer);
    EXPECT_EQ(cursor.field(1).name, QStringLiteral("姓名"));
    EXPECT_EQ(cursor.field(1).kind, FieldKind::String);
    EXPECT_EQ(cursor.fieldIndex(QStringLiteral("id")), 0);
    EXPECT_EQ(cursor.fieldIndex(QStringLiteral("姓名")), 1);
    EXPECT_EQ(cursor.fieldIndex(QStringLiteral("年龄")), -1);
    EXPECT_EQ(cursor.value(QStringLiteral("iD")), QVariant(1));
    EXPECT_EQ(cursor.value(QStringLiteral("姓名")), QVariant(QStringLiteral("张三")));
    EXPECT_EQ(failureOf([&] { cursor.value(QStringLiteral("年龄")); }), "Field '年龄' not found");
    EXPECT_EQ(failureOf([&] { cursor.displayText(QStringLiteral("年龄")); }), "Field '年龄' not found");
}

TEST_F(SqliteCursorTest, navigationKeepsRecordNumbersAndEnds)
{
    addGuests({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    SqliteCursor cursor;
    openGuests(cursor);
    EXPECT_EQ(cursor.recordNumber(), 1);
    EXPECT_FALSE(cursor.bof());
    cursor.prior();
    EXPECT_TRUE(cursor.bof());
    EXPECT_EQ(cursor.recordNumber(), 1);
    cursor.next();
    cursor.next();
    EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), QStringLiteral("丙"));
    EXPECT_FALSE(cursor.eof());
    cursor.next();
    EXPECT_TRUE(cursor.eof());
    EXPECT_EQ(cursor.recordNumber(), 3); // still on the last record
    cursor.setRecordNumber(2);
    EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), QStringLiteral("乙"));
    EXPECT_FALSE(cursor.eof());
    EXPECT_EQ(failureOf([&] { cursor.setRecordNumber(4); }), "Record number 4 is out of range (1 to 3)");
    EXPECT_EQ(failureOf([&] { cursor.setRecordNumber(0); }), "Record number 0 is out of range (1 to 3)");
    cursor.first();
    EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), QStringLiteral("甲"));
}

TEST_F(SqliteCursorTest, emptyAndClosedCursorsAnswerOrRefuseClearly)
{
    SqliteCursor cursor;
    EXPECT_FALSE(cursor.isOpen());
    EXPECT_EQ(failureOf([&] { cursor.first(); }), "Cannot perform this operation on a closed cursor");
    EXPECT_EQ(failureOf([&] { cursor.append(); }), "Cannot perform this operation on a closed cursor");
    EXPECT_EQ(failureOf([&] { cursor.value(QStringLiteral("姓名")); }),
              "Cannot perform this operation on a closed cursor");
    cursor.close(); // closing a closed cursor does nothing

    openGuests(cursor);
    EXPECT_TRUE(cursor.eof());
    EXPECT_TRUE(cursor.bof());
    EXPECT_EQ(cursor.recordNumber(), 0);
    EXPECT_EQ(failureOf([&] { cursor.value(QStringLiteral("姓名")); }), "No current record");
    EXPECT_EQ(failureOf([&] { cursor.edit(); }), "No current record");
    EXPECT_NO_THROW(cursor.deleteCurrent());
    EXPECT_EQ(cursor.recordCount(), 0);
}

TEST_F(SqliteCursorTest, deleteStandsOnTheNextRecordOrThePreviousAfterTheLast)
{
    addGuests({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四")});
    SqliteCursor cursor;
    openGuests(cursor);
    cursor.setRecordNumber(2);
    cursor.deleteCurrent();
    EXPECT_EQ(cursor.recordNumber(), 2); // the row numbers below close up
    EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), QStringLiteral("三"));
    EXPECT_EQ(namesInFile(), QStringList({QStringLiteral("一"), QStringLiteral("三"), QStringLiteral("四")}));

    cursor.setRecordNumber(3);
    cursor.deleteCurrent();
    EXPECT_EQ(cursor.recordNumber(), 2);
    EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), QStringLiteral("三"));
    EXPECT_FALSE(cursor.eof());

    // Clearing the list: delete while not past the end.
    int deletions = 0;
    while (!cursor.eof()) {
        cursor.deleteCurrent();
        ASSERT_LT(++deletions, 10);
    }
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(cursor.recordCount(), 0);
    EXPECT_TRUE(namesInFile().isEmpty());
}

TEST_F(SqliteCursorTest, aNameWithAQuoteIsFoundThroughAParameter)
{
    addGuests({QStringLiteral("O'Brien"), QStringLiteral("王'五"), QStringLiteral("O")});
    SqliteCursor cursor;
    openGuests(cursor, QStringLiteral("select * from keren where 姓名=? order by id "),
               {QStringLiteral("王'五")});
    ASSERT_EQ(cursor.recordCount(), 1);
    EXPECT_EQ(cursor.value(QStringLiteral("姓名")), QVariant(QStringLiteral("王'五")));
    cursor.close();

    openGuests(cursor, QStringLiteral("select * from keren where 姓名=? order by id "),
               {QStringLiteral("O'Brien")});
    EXPECT_EQ(cursor.recordCount(), 1);
    EXPECT_EQ(cursor.value(QStringLiteral("ID")), QVariant(1));
    cursor.close();

    EXPECT_EQ(failureOf([&] { openGuests(cursor, QStringLiteral("select * from keren where 姓名=?")); }),
              "The query \"select * from keren where 姓名=?\" takes 1 parameters, but 0 were given");
    EXPECT_FALSE(cursor.isOpen());
}

TEST_F(SqliteCursorTest, theTableAfterFromIsTheOneWrittenTo)
{
    Connection other(m_path);
    ASSERT_EQ(other.exec("CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT);"
                         "INSERT INTO notes VALUES (7, 'from keren');"),
              SQLITE_OK);
    SqliteCursor cursor;
    // "from" inside a string, a comment and a subquery does not count.
    openGuests(cursor,
               QStringLiteral(
                   "select 姓名, 'from notes' as tag, (select count(*) from notes) as n, ID -- from notes\n"
                   "from \"keren\" /* from notes */ order by ID"));
    cursor.append();
    cursor.setValue(QStringLiteral("姓名"), QStringLiteral("赵六"));
    EXPECT_EQ(failureOf([&] { cursor.setValue(QStringLiteral("tag"), QStringLiteral("x")); }),
              "Field 'tag' cannot be changed: it is no column of table 'keren'");
    cursor.post();
    EXPECT_EQ(namesInFile(), QStringList({QStringLiteral("赵六")}));
    EXPECT_EQ(cursor.value(QStringLiteral("ID")), QVariant(1));
    // An expression column takes the kind of its first value.
    cursor.close();
    cursor.open();
    EXPECT_EQ(cursor.field(2).kind, FieldKind::Integer);
    EXPECT_EQ(cursor.value(QStringLiteral("n")), QVariant(1));
    EXPECT_EQ(cursor.value(QStringLiteral("tag")), QVariant(QStringLiteral("from notes")));
}

TEST_F(SqliteCursorTest, editPostsByKeyAndCancelDropsTheChange)
{
    addGuests({QStringLiteral("张三"), QStringLiteral("李四")});
    SqliteCursor cursor;
    openGuests(cursor);
    cursor.setRecordNumber(2);
    cursor.edit();
    cursor.setValue(QStringLiteral("姓名"), QStringLiteral("李小四"));
    EXPECT_EQ(cursor.value(QStringLiteral("姓名")), QVariant(QStringLiteral("李小四")));
    cursor.post();
    EXPECT_EQ(namesInFile(), QStringList({QStringLiteral("张三"), QStringLiteral("李小四")}));

    cursor.first();
    cursor.edit();
    cursor.setValue(QStringLiteral("姓名"), QStringLiteral("不要"));
    cursor.cancel();
    EXPECT_EQ(cursor.value(QStringLiteral("姓名")), QVariant(QStringLiteral("张三")));
    EXPECT_EQ(namesInFile(), QStringList({QStringLiteral("张三"), QStringLiteral("李小四")}));

    EXPECT_EQ(failureOf([&] { cursor.setValue(QStringLiteral("姓名"), QStringLiteral("x")); }),
              "Cannot change field '姓名': the cursor is not appending or editing");
}

TEST_F(SqliteCursorTest, movingAwayPostsAPendingAppend)
{
    SqliteCursor cursor;
    openGuests(cursor);
    cursor.append();
    cursor.setValue(QStringLiteral("姓名"), QStringLiteral("钱七"));
    cursor.first();
    EXPECT_FALSE(cursor.isEditing());
    EXPECT_EQ(namesInFile(), QStringList({QStringLiteral("钱七")}));
}

TEST_F(SqliteCursorTest, aMissingStoreIsAnErrorAndIsNeverCreated)
{
    const QString missing = m_dir.filePath(QStringLiteral("没有.db"));
    SqliteCursor cursor;
    cursor.setDatabaseFile(missing);
    cursor.setQuery(guestQuery);
    EXPECT_EQ(
        failureOf([&] { cursor.open(); }),
        QStringLiteral("Cannot open the database '%1': the file does not exist").arg(missing).toStdString());
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(cursor.isOpen());

    cursor.setDatabaseFile(m_dir.path());
    EXPECT_EQ(
        failureOf([&] { cursor.open(); }),
        QStringLiteral("Cannot open the database '%1': it is a folder").arg(m_dir.path()).toStdString());

    EXPECT_EQ(
        failureOf([&] { SqliteCursor::createDatabase(m_path, guestSchema); }),
        QStringLiteral("Cannot create the database '%1': the file already exists").arg(m_path).toStdString());
    const QString badSchema = m_dir.filePath(QStringLiteral("bad.db"));
    EXPECT_NE(failureOf([&] { SqliteCursor::createDatabase(badSchema, QStringLiteral("CREATE TABLE (")); }),
              "no error");
    EXPECT_FALSE(QFile::exists(badSchema));
}

TEST_F(SqliteCursorTest, aDamagedStoreIsNamedSo)
{
    const QString damaged = m_dir.filePath(QStringLiteral("damaged.db"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    SqliteCursor cursor;
    cursor.setDatabaseFile(damaged);
    cursor.setQuery(guestQuery);
    EXPECT_EQ(failureOf([&] { cursor.open(); }),
              QStringLiteral("The database '%1' is damaged or is not a database (file is not a database)")
                  .arg(damaged)
                  .toStdString());
    EXPECT_FALSE(cursor.isOpen());
}

TEST_F(SqliteCursorTest, badQueriesAreRefusedWithSqliteMessages)
{
    addGuests({QStringLiteral("张三")});
    SqliteCursor cursor;
    EXPECT_EQ(failureOf([&] { openGuests(cursor, QStringLiteral("selec * from keren")); }),
              "Error in the query \"selec * from keren\": near \"selec\": syntax error");
    EXPECT_EQ(failureOf([&] { openGuests(cursor, QStringLiteral("select * from guests")); }),
              "Error in the query \"select * from guests\": no such table: guests");
    EXPECT_EQ(failureOf([&] { openGuests(cursor, QStringLiteral("delete from keren")); }),
              "The query \"delete from keren\" does not read records");
    EXPECT_EQ(failureOf([&] { openGuests(cursor, QStringLiteral("select 1; delete from keren")); }),
              "The query \"select 1; delete from keren\" holds more than one statement");
    EXPECT_EQ(failureOf([&] { openGuests(cursor, QStringLiteral("select 1;; delete from keren")); }),
              "The query \"select 1;; delete from keren\" holds more than one statement");
    EXPECT_EQ(failureOf([&] { openGuests(cursor, QString()); }), "The query is empty");
    EXPECT_FALSE(cursor.isOpen());
    EXPECT_EQ(namesInFile(), QStringList({QStringLiteral("张三")}));

    openGuests(cursor, QStringLiteral("select count(*) as n from keren;"));
    EXPECT_EQ(cursor.value(QStringLiteral("n")), QVariant(1));
    EXPECT_EQ(failureOf([&] { cursor.append(); }), "no error"); // FROM keren: appending is possible
    cursor.cancel();
    cursor.close();
    openGuests(cursor, QStringLiteral("select 姓名 from keren"));
    EXPECT_EQ(failureOf([&] { cursor.deleteCurrent(); }),
              "The query \"select 姓名 from keren\" does not read the key column ID of table 'keren'");
    EXPECT_EQ(cursor.recordCount(), 1);
}

TEST_F(SqliteCursorTest, aLockedStoreGivesAClearErrorAndLosesNoRow)
{
    addGuests({QStringLiteral("张三")});
    Connection other(m_path);
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    SqliteCursor cursor;
    EXPECT_EQ(failureOf([&] { openGuests(cursor); }),
              QStringLiteral("The database '%1' is locked by another program (database is locked)")
                  .arg(m_path)
                  .toStdString());
    EXPECT_FALSE(cursor.isOpen());
    ASSERT_EQ(other.exec("COMMIT"), SQLITE_OK);

    openGuests(cursor);
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    cursor.append();
    cursor.setValue(QStringLiteral("姓名"), QStringLiteral("李四"));
    EXPECT_EQ(failureOf([&] { cursor.post(); }),
              QStringLiteral("The database '%1' is locked by another program (database is locked)")
                  .arg(m_path)
                  .toStdString());
    // The failed post keeps what was typed, and the snapshot claims no row the file lacks.
    EXPECT_TRUE(cursor.isEditing());
    EXPECT_EQ(cursor.recordCount(), 1);
    EXPECT_EQ(failureOf([&] { cursor.deleteCurrent(); }), "no error"); // drops the unposted append only
    cursor.append();
    cursor.setValue(QStringLiteral("姓名"), QStringLiteral("李四"));
    ASSERT_EQ(other.exec("COMMIT"), SQLITE_OK);
    cursor.post();
    EXPECT_EQ(namesInFile(), QStringList({QStringLiteral("张三"), QStringLiteral("李四")}));
}

TEST_F(SqliteCursorTest, bookmarksFindTheirRecordAndCompareByPosition)
{
    addGuests({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    SqliteCursor cursor;
    openGuests(cursor);
    cursor.setRecordNumber(2);
    Bookmark second = cursor.bookmark();
    cursor.setRecordNumber(3);
    Bookmark third = cursor.bookmark();
    const Bookmark alsoThird = cursor.bookmark();
    cursor.first();
    cursor.gotoBookmark(second);
    EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), QStringLiteral("乙"));
    EXPECT_LT(cursor.compareBookmarks(second, third), 0);
    EXPECT_GT(cursor.compareBookmarks(third, second), 0);
    EXPECT_EQ(cursor.compareBookmarks(third, alsoThird), 0);

    // Deleting a record before the bookmarked one keeps the bookmark on its record.
    cursor.first();
    cursor.deleteCurrent();
    cursor.gotoBookmark(third);
    EXPECT_EQ(cursor.displayText(QStringLiteral("姓名")), QStringLiteral("丙"));
    // A deleted record's bookmark no longer leads anywhere.
    cursor.gotoBookmark(second);
    cursor.deleteCurrent();
    EXPECT_EQ(failureOf([&] { cursor.gotoBookmark(second); }),
              "The bookmark does not stand for a record of this cursor");

    Bookmark released = cursor.bookmark();
    cursor.releaseBookmark(released);
    EXPECT_EQ(released, nullptr);
    EXPECT_EQ(cursor.compareBookmarks(released, released), 0);
    EXPECT_NE(cursor.compareBookmarks(released, third), 0);
    EXPECT_NE(cursor.compareBookmarks(second, third), 0);

    SqliteCursor other;
    openGuests(other);
    EXPECT_NE(other.compareBookmarks(third, other.bookmark()), 0);
    EXPECT_EQ(failureOf([&] { other.gotoBookmark(third); }),
              "The bookmark does not stand for a record of this cursor");
    cursor.close();
    openGuests(cursor);
    EXPECT_EQ(failureOf([&] { cursor.gotoBookmark(third); }),
              "The bookmark does not stand for a record of this cursor");
}

TEST_F(SqliteCursorTest, observersHearOpeningClosingAndChanges)
{
    Recorder recorder;
    SqliteCursor cursor;
    cursor.addObserver(&recorder);
    cursor.addObserver(&recorder);
    openGuests(cursor);
    cursor.append();
    cursor.setValue(QStringLiteral("姓名"), QStringLiteral("孙八"));
    cursor.post();
    cursor.deleteCurrent();
    cursor.close();
    cursor.close();
    EXPECT_EQ(recorder.events,
              QStringList({QStringLiteral("opened"), QStringLiteral("current"), QStringLiteral("rows"),
                           QStringLiteral("current"), QStringLiteral("rows"), QStringLiteral("current"),
                           QStringLiteral("closing")}));

    recorder.events.clear();
    cursor.setQuery(QStringLiteral("selec"));
    EXPECT_THROW(cursor.open(), DatabaseError);
    cursor.removeObserver(&recorder);
    openGuests(cursor);
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST_F(SqliteCursorTest, kindsValuesAndWidthsFollowTheDeclaredTypes)
{
    Connection other(m_path);
    ASSERT_EQ(
        other.exec("CREATE TABLE t (n INTEGER, big BIGINT, r REAL, b BOOLEAN, d DATETIME, s VARCHAR(20),"
                   " x BLOB, free);"
                   "INSERT INTO t VALUES (5, 12345678901, 2.5, 1, '2024-05-01 18:30:00', 'abc', x'0102', 3);"
                   "INSERT INTO t VALUES (NULL, NULL, 3, 0, '2024-05-02', NULL, NULL, NULL);"),
        SQLITE_OK);
    SqliteCursor cursor;
    openGuests(cursor, QStringLiteral("select * from t"));
    const std::vector<FieldKind> kinds{FieldKind::Integer, FieldKind::LargeInt, FieldKind::Float,
                                       FieldKind::Boolean, FieldKind::DateTime, FieldKind::String,
                                       FieldKind::Blob,    FieldKind::Integer};
    ASSERT_EQ(cursor.fieldCount(), int(kinds.size()));
    for (int i = 0; i < cursor.fieldCount(); ++i)
        EXPECT_EQ(cursor.field(i).kind, kinds[size_t(i)]) << i;

    EXPECT_EQ(cursor.value(QStringLiteral("big")), QVariant(qint64(12345678901)));
    EXPECT_EQ(cursor.value(QStringLiteral("b")), QVariant(true));
    EXPECT_EQ(cursor.value(QStringLiteral("d")), QVariant(QDateTime(QDate(2024, 5, 1), QTime(18, 30))));
    EXPECT_EQ(cursor.value(QStringLiteral("x")), QVariant(QByteArray("\x01\x02")));
    EXPECT_EQ(cursor.displayText(QStringLiteral("r")), QStringLiteral("2.5"));
    EXPECT_EQ(cursor.displayText(QStringLiteral("b")), QStringLiteral("True"));
    EXPECT_EQ(cursor.displayText(QStringLiteral("d")), QStringLiteral("2024-05-01 18:30:00"));
    EXPECT_EQ(cursor.displayText(QStringLiteral("x")), QStringLiteral("(BLOB)"));
    EXPECT_EQ(cursor.displayWidth(QStringLiteral("s")), 20);
    EXPECT_EQ(cursor.displayWidth(QStringLiteral("big")), 15);
    EXPECT_EQ(cursor.displayWidth(QStringLiteral("d")), 20);
    EXPECT_EQ(cursor.displayWidth(QStringLiteral("n")), 10);

    cursor.next();
    EXPECT_TRUE(cursor.isNull(QStringLiteral("n")));
    EXPECT_EQ(cursor.value(QStringLiteral("n")), QVariant());
    EXPECT_EQ(cursor.displayText(QStringLiteral("s")), QString());
    EXPECT_EQ(cursor.value(QStringLiteral("r")), QVariant(3.0));
    EXPECT_EQ(cursor.displayText(QStringLiteral("b")), QStringLiteral("False"));
    EXPECT_EQ(cursor.displayText(QStringLiteral("d")), QStringLiteral("2024-05-02"));
}
