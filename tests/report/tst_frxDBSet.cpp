#include "report/objects/frxDBSet.h"

#include "platform/csvcursor.h"
#include "platform/sqlitecursor.h"
#include "report/base/frxRes.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;

namespace {

std::string failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const platform::Error &error) {
        return error.message().toStdString();
    }
    return "no error";
}

// ---- the record cursor of the base and user data sets ----

TEST(UserDataSet, countedRangeStopsAtTheCount)
{
    TfrxUserDataSet dataSet;
    dataSet.RangeEnd = reCount;
    dataSet.RangeEndCount = 3;
    int nextCalls = 0;
    dataSet.OnNext = [&](TfrxDataSet *) { ++nextCalls; };
    QList<int> seen;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
        seen << dataSet.RecNo;
    EXPECT_EQ(seen, (QList<int>{0, 1, 2}));
    EXPECT_EQ(dataSet.RecNo, 2);
    EXPECT_EQ(nextCalls, 2);
    EXPECT_EQ(dataSet.RecordCount(), 3);
    dataSet.RangeBegin = rbCurrent;
    EXPECT_EQ(dataSet.RecordCount(), 0);
}

TEST(UserDataSet, emptyCountedRangeEndsAtOnce)
{
    TfrxUserDataSet dataSet;
    dataSet.RangeEnd = reCount;
    dataSet.First();
    EXPECT_TRUE(dataSet.Eof());
    dataSet.OnCheckEOF = [](TfrxDataSet *, bool &eof) { eof = false; };
    EXPECT_FALSE(dataSet.Eof());
}

TEST(UserDataSet, valuesComeFromTheCallbacksInOrder)
{
    TfrxUserDataSet dataSet;
    dataSet.Fields = QStringList{QStringLiteral("姓名"), QStringLiteral("ID")};
    dataSet.OnGetValue = [](const QString &field, script::Variant &value) {
        value = script::Variant(field + u'1');
    };
    EXPECT_EQ(dataSet.Value(QStringLiteral("姓名")).toString(), QStringLiteral("姓名1"));
    dataSet.OnNewGetValue = [](TfrxDataSet *, const QString &, script::Variant &value) {
        value = script::Variant(value.toString() + u'2');
    };
    EXPECT_EQ(dataSet.DisplayText(QStringLiteral("x")), QStringLiteral("x12"));
    EXPECT_EQ(dataSet.FieldsCount(), 2);
    EXPECT_TRUE(dataSet.HasField(QStringLiteral("id")));
    EXPECT_FALSE(dataSet.HasField(QStringLiteral("名")));
}

// ---- names ----

TEST(DataSetNames, userNameFollowsTheNameUntilSetApart)
{
    TfrxDBDataset dataSet;
    dataSet.SetName(QStringLiteral("frxdbdtst1"));
    EXPECT_EQ(dataSet.UserName(), QStringLiteral("frxdbdtst1"));
    dataSet.SetName(QStringLiteral("guests"));
    EXPECT_EQ(dataSet.UserName(), QStringLiteral("guests"));
    dataSet.SetUserName(QStringLiteral("客人"));
    dataSet.SetName(QStringLiteral("other"));
    EXPECT_EQ(dataSet.UserName(), QStringLiteral("客人"));
    EXPECT_EQ(failureOf([&] { dataSet.SetUserName(QStringLiteral("   ")); }), "prInvProp");
    EXPECT_EQ(dataSet.UserName(), QStringLiteral("客人"));
    TfrxDBDataset second;
    second.SetName(QStringLiteral("a"));
    EXPECT_NE(failureOf([&] { second.SetName(QStringLiteral("1x")); }), "no error");
    EXPECT_EQ(second.UserName(), QStringLiteral("a"));
}

TEST(DataSetNames, fieldReferencesSplitAtTheQuotedFullStop)
{
    QString alias, field;
    ASSERT_TRUE(splitFieldReference(QStringLiteral("frxdbdtst1.\"姓名\""), alias, field));
    EXPECT_EQ(alias, QStringLiteral("frxdbdtst1"));
    EXPECT_EQ(field, QStringLiteral("姓名"));
    ASSERT_TRUE(splitFieldReference(QStringLiteral("a.b.\"c.\"d\""), alias, field));
    EXPECT_EQ(alias, QStringLiteral("a.b"));
    EXPECT_EQ(field, QStringLiteral("c.\"d"));
    EXPECT_FALSE(splitFieldReference(QStringLiteral("a.b"), alias, field));
    EXPECT_EQ(fieldReference(QStringLiteral("d"), QStringLiteral("f")), QStringLiteral("d.\"f\""));
}

// ---- the global list and name lookup ----

TEST(GlobalList, hostDataSetsAreSeenByEveryReportReportOwnedOnesByTheirOwn)
{
    TfrxReport other;
    auto *otherData = new TfrxDataPage(&other);
    auto *owned = new TfrxUserDataSet(otherData);
    owned->SetName(QStringLiteral("frxdbdtst1"));
    TfrxDBDataset host;
    host.SetName(QStringLiteral("frxdbdtst1"));

    TfrxReport third;
    auto *page = new TfrxReportPage(&third);
    auto *band = new TfrxMasterData(page);
    band->SetDataSetName(QStringLiteral("FRXDBDTST1"));
    EXPECT_EQ(band->DataSet(), &host);
    band->SetDataSetName(QStringLiteral("nothing"));
    EXPECT_EQ(band->DataSet(), &host);
    EXPECT_EQ(band->DataSetName(), QStringLiteral("frxdbdtst1"));

    auto *otherBand = new TfrxMasterData(new TfrxReportPage(&other));
    otherBand->SetDataSetName(QStringLiteral("frxdbdtst1"));
    EXPECT_EQ(otherBand->DataSet(), owned);
    EXPECT_EQ(findHostDataSet(&third, QStringLiteral("FrxDbDtst1")), &host);
}

TEST(GlobalList, destroyedDataSetsLeaveListsAndReferences)
{
    TfrxReport report;
    auto *memo = new TfrxMemoView(new TfrxMasterData(new TfrxReportPage(&report)));
    const int before = TfrxGlobalDataSetList::instance().DataSets().size();
    {
        TfrxDBDataset host;
        host.SetName(QStringLiteral("gone"));
        EXPECT_EQ(TfrxGlobalDataSetList::instance().DataSets().size(), before + 1);
        memo->SetDataSet(&host);
        report.Datasets.Add()->SetDataSet(&host);
        EXPECT_EQ(report.GetDataset(QStringLiteral("gone")), &host);
    }
    EXPECT_EQ(TfrxGlobalDataSetList::instance().DataSets().size(), before);
    EXPECT_EQ(memo->DataSet(), nullptr);
    EXPECT_EQ(memo->DataSetName(), QStringLiteral("gone"));
    EXPECT_EQ(report.Datasets.Count(), 0);
}

// ---- data sets over cursors ----

class DBDatasetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("tovaro.db"));
        platform::SqliteCursor::createDatabase(
            m_path,
            QStringLiteral("CREATE TABLE keren (ID INTEGER PRIMARY KEY AUTOINCREMENT, 姓名 TEXT, 照片 BLOB);"
                           "INSERT INTO keren (姓名, 照片) VALUES ('张三', x'FFFE41004200'), ('李四', NULL),"
                           " ('王五', NULL)"));
        cursor.setDatabaseFile(m_path);
        cursor.setQuery(QStringLiteral("select * from keren order by ID"));
        dataSet.SetName(QStringLiteral("frxdbdtst1"));
        dataSet.SetDataSet(&cursor);
        page = new TfrxReportPage(&report);
        report.Datasets.Add()->SetDataSet(&dataSet);
        dataSet.OwningReport = &report;
    }

    QStringList names(const QString &field)
    {
        QStringList result;
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
            result << dataSet.Value(field).toString();
        return result;
    }

    QTemporaryDir m_dir;
    QString m_path;
    platform::SqliteCursor cursor;
    TfrxDBDataset dataSet;
    TfrxReport report;
    TfrxReportPage *page;
};

TEST_F(DBDatasetTest, walksEveryRecordAndLeavesTheCursorOpen)
{
    dataSet.Initialize();
    EXPECT_EQ(names(QStringLiteral("姓名")),
              (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")}));
    EXPECT_EQ(dataSet.RecordCount(), 3);
    EXPECT_EQ(dataSet.Value(QStringLiteral("ID")).type(), script::Variant::Type::Integer);
    EXPECT_TRUE(dataSet.Value(QStringLiteral("照片")).isNull());
    EXPECT_EQ(dataSet.FieldType(QStringLiteral("姓名")), fftString);
    EXPECT_EQ(dataSet.FieldType(QStringLiteral("nothing")), fftNumeric);
    dataSet.Finalize();
    EXPECT_TRUE(cursor.isOpen());
    dataSet.CloseDataSource = true;
    dataSet.Initialize();
    dataSet.First();
    dataSet.Finalize();
    EXPECT_FALSE(cursor.isOpen());
}

TEST_F(DBDatasetTest, unknownFieldsAreNullWithOneErrorLine)
{
    report.CurObject = QStringLiteral("m0");
    dataSet.Initialize();
    dataSet.First();
    EXPECT_TRUE(dataSet.Value(QStringLiteral("名字")).isNull());
    EXPECT_TRUE(dataSet.Value(QStringLiteral("名字")).isNull());
    const QString text = frxGet(QStringLiteral("dbFldNotFound")) + QStringLiteral(" frxdbdtst1.\"名字\"");
    EXPECT_EQ(report.ErrorList.Lines(), QStringList{QStringLiteral("m0: ") + text});
    EXPECT_EQ(dataSet.DisplayText(QStringLiteral("名字")), text);
    EXPECT_EQ(report.ErrorList.Count(), 1);
    EXPECT_EQ(dataSet.DisplayText(QStringLiteral("姓名")), QStringLiteral("张三"));
}

TEST_F(DBDatasetTest, aliasesRenameAndHideFields)
{
    dataSet.FieldAliases = QStringList{QStringLiteral("姓名=Name"), QStringLiteral("-ID=ID")};
    QStringList fields;
    dataSet.GetFieldList(fields);
    EXPECT_EQ(fields, QStringList{QStringLiteral("Name")});
    EXPECT_EQ(dataSet.FieldsCount(), 1);
    dataSet.Initialize();
    EXPECT_EQ(names(QStringLiteral("name")),
              (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")}));
    EXPECT_TRUE(dataSet.Value(QStringLiteral("ID")).isNull());
    EXPECT_EQ(dataSet.FieldType(QStringLiteral("Name")), fftString);
}

TEST_F(DBDatasetTest, currentRecordRangeUsesABookmark)
{
    cursor.open();
    cursor.next();
    dataSet.RangeBegin = rbCurrent;
    dataSet.RangeEnd = reCurrent;
    dataSet.Initialize();
    EXPECT_EQ(names(QStringLiteral("姓名")), QStringList{QStringLiteral("李四")});
    cursor.first();
    dataSet.Finalize();
    EXPECT_EQ(cursor.value(QStringLiteral("姓名")).toString(), QStringLiteral("李四"));
}

TEST_F(DBDatasetTest, closingTheCursorDropsTheOpenState)
{
    dataSet.Initialize();
    dataSet.First();
    cursor.close();
    EXPECT_EQ(dataSet.DisplayText(QStringLiteral("姓名")), QStringLiteral("张三")); // opened again on demand
    dataSet.Finalize();
    cursor.close();
    dataSet.Open();
    dataSet.Close();
    EXPECT_FALSE(cursor.isOpen());
    EXPECT_EQ(dataSet.DisplayWidth(QStringLiteral("姓名")), 10);
}

TEST_F(DBDatasetTest, largeObjectsGoToTextStoresAndStreams)
{
    dataSet.Initialize();
    dataSet.First();
    EXPECT_TRUE(dataSet.IsBlobField(QStringLiteral("照片")));
    EXPECT_FALSE(dataSet.IsBlobField(QStringLiteral("姓名")));
    TfrxWideStrings text;
    dataSet.AssignBlobTo(QStringLiteral("照片"), text);
    EXPECT_EQ(text.Text(), QStringLiteral("AB\r\n"));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    dataSet.AssignBlobTo(QStringLiteral("照片"), stream);
    EXPECT_EQ(stream.pos(), 0);
    EXPECT_EQ(stream.data(), QByteArray("\xFF\xFE"
                                        "A\0B\0",
                                        6));
}

TEST_F(DBDatasetTest, aDetachedOrSwappedCursorIsNeverCalledAgain)
{
    dataSet.Initialize();
    dataSet.First();
    dataSet.Next();
    dataSet.SetDataSet(nullptr);
    const std::string notConnected = frxGet(QStringLiteral("dbNotConn"))
                                         .replace(QStringLiteral("%s"), QStringLiteral("frxdbdtst1"))
                                         .toStdString();
    EXPECT_EQ(failureOf([&] { dataSet.Eof(); }), notConnected);
    EXPECT_EQ(failureOf([&] { dataSet.Value(QStringLiteral("姓名")); }), notConnected);
    // Another cursor is opened and read from its own start.
    platform::SqliteCursor other;
    other.setDatabaseFile(m_path);
    other.setQuery(QStringLiteral("select * from keren where ID > 2"));
    dataSet.SetDataSet(&other);
    EXPECT_EQ(names(QStringLiteral("姓名")), QStringList{QStringLiteral("王五")});
    dataSet.SetDataSet(nullptr);
}

TEST(DBDataset, withoutACursorItCannotStart)
{
    TfrxDBDataset dataSet;
    dataSet.SetName(QStringLiteral("frxdbdtst1"));
    const std::string expected = frxGet(QStringLiteral("dbNotConn"))
                                     .replace(QStringLiteral("%s"), QStringLiteral("frxdbdtst1"))
                                     .toStdString();
    EXPECT_EQ(failureOf([&] { dataSet.Initialize(); }), expected);
    EXPECT_EQ(dataSet.DisplayWidth(QStringLiteral("x")), 10);
}

TEST(DBDataset, readsCsvFilesThroughADataSource)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("guests.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ID,姓名\n1,张三\n2,\"李, 四\"\n");
    file.close();
    platform::CsvCursor cursor;
    cursor.setFileName(path);
    struct Source : HostDataSource {
        platform::Cursor *cursor;
        platform::Cursor *dataSetCursor() const override { return cursor; }
    } source;
    source.cursor = &cursor;
    TfrxDBDataset dataSet;
    dataSet.SetName(QStringLiteral("guests"));
    dataSet.SetDataSet(&cursor);
    dataSet.SetDataSource(&source);
    EXPECT_EQ(dataSet.DataSet(), nullptr);
    EXPECT_EQ(dataSet.source(), &cursor);
    EXPECT_EQ(dataSet.DisplayText(QStringLiteral("姓名")), QStringLiteral("张三"));
    dataSet.First();
    dataSet.Next();
    EXPECT_EQ(dataSet.Value(QStringLiteral("姓名")).toString(), QStringLiteral("李, 四"));
    EXPECT_EQ(dataSet.RecNo, 1);
    dataSet.Next();
    EXPECT_TRUE(dataSet.Eof());
}

} // namespace
