#include "report/text/frxUnicodeUtils.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

TfrxWideStrings fromText(const QString &text)
{
    TfrxWideStrings list;
    list.setText(text);
    return list;
}

TfrxWideStrings loaded(const QByteArray &bytes, qint64 position = 0)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(position);
    TfrxWideStrings list;
    list.LoadFromStream(buffer);
    return list;
}

} // namespace

TEST(frxUnicodeUtils, insertBelowCountReplacesAndAtCountAppends)
{
    TfrxWideStrings list;
    int tag = 0;
    list.AddObject(u"一"_s, &tag);
    list.Insert(0, u"x"_s);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Strings(0), u"x"_s);
    EXPECT_EQ(list.Objects(0), &tag);
    list.setStrings(0, u"y"_s);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Strings(0), u"y"_s);
    list.Insert(1, u"二"_s);
    list.setStrings(2, u"三"_s);
    EXPECT_EQ(list.lines(), QStringList({u"y"_s, u"二"_s, u"三"_s}));
    EXPECT_EQ(list.Objects(2), nullptr);
}

TEST(frxUnicodeUtils, indexOutsideTheListFailsAndChangesNothing)
{
    TfrxWideStrings list = fromText(u"a\r\nb"_s);
    for (int index : {-1, 3, 100}) {
        try {
            list.Insert(index, u"x"_s);
            FAIL() << "no error for index " << index;
        } catch (const platform::Error &error) {
            EXPECT_EQ(error.message(), u"Wide String Out of Bounds"_s);
        }
        EXPECT_THROW(list.setStrings(index, u"x"_s), EWideStringsError);
    }
    EXPECT_THROW(list.Delete(2), EWideStringsError);
    EXPECT_THROW(list.Delete(-1), EWideStringsError);
    EXPECT_EQ(list.Text(), u"a\r\nb\r\n"_s);
}

TEST(frxUnicodeUtils, readingOutsideTheListYieldsNothing)
{
    TfrxWideStrings list;
    int tag = 0;
    list.Add(u"a"_s);
    list.setObjects(5, &tag);
    list.setObjects(-1, &tag);
    EXPECT_EQ(list.Strings(1), QString());
    EXPECT_EQ(list.Strings(-1), QString());
    EXPECT_EQ(list.Objects(0), nullptr);
    EXPECT_EQ(list.Objects(1), nullptr);
    list.setObjects(0, &tag);
    EXPECT_EQ(list.Objects(0), &tag);
}

TEST(frxUnicodeUtils, objectsFollowTheirLines)
{
    TfrxWideStrings list;
    int a = 0, c = 0;
    list.AddObject(u"a"_s, &a);
    list.Add(u"b"_s);
    list.AddObject(u"c"_s, &c);
    list.Delete(0);
    EXPECT_EQ(list.Objects(0), nullptr);
    EXPECT_EQ(list.Objects(1), &c);
    EXPECT_EQ(list.IndexOf(u"c"_s), 1);
    EXPECT_EQ(list.IndexOf(u"C"_s), -1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Add(u"c"_s);
    EXPECT_EQ(list.Objects(0), nullptr);
}

TEST(frxUnicodeUtils, textJoinsEveryLineWithCrLf)
{
    TfrxWideStrings list;
    EXPECT_EQ(list.Text(), QString());
    list.Add(QString());
    EXPECT_EQ(list.Text(), u"\r\n"_s);
    list.Add(u"张三"_s);
    EXPECT_EQ(list.Text(), u"\r\n张三\r\n"_s);
}

TEST(frxUnicodeUtils, settingTextSplitsAtBreaks)
{
    EXPECT_EQ(fromText(u"a\r\nb\r\n"_s).lines(), QStringList({u"a"_s, u"b"_s}));
    EXPECT_EQ(fromText(u"a\r\nb\r\n"_s).Text(), u"a\r\nb\r\n"_s);
    EXPECT_EQ(fromText(u"a\r\rb"_s).lines(), QStringList({u"a"_s, QString(), u"b"_s}));
    EXPECT_EQ(fromText(u"a\n\rb"_s).lines(), QStringList({u"a"_s, QString(), u"b"_s}));
    EXPECT_EQ(fromText(u"a\u2028b\nc"_s).lines(), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(fromText(u"a\r\n\u2028b"_s).lines(), QStringList({u"a"_s, u"b"_s}));
    EXPECT_EQ(fromText(u"a\n\u2028b"_s).lines(), QStringList({u"a"_s, u"b"_s}));
    EXPECT_EQ(fromText(u"a\u2028\nb"_s).lines(), QStringList({u"a"_s, QString(), u"b"_s}));
    EXPECT_EQ(fromText(u"a\r\n\r\n"_s).lines(), QStringList({u"a"_s, QString()}));
    EXPECT_EQ(fromText(u"\r\n"_s).lines(), QStringList({QString()}));
    EXPECT_EQ(fromText(QString()).Count(), 0);
    EXPECT_EQ(fromText(u"新郎"_s).lines(), QStringList({u"新郎"_s}));
}

TEST(frxUnicodeUtils, settingTextStopsAtTheFirstNul)
{
    const QString withNul = u"a\r\nb"_s + QChar(0) + u"c\r\nd"_s;
    EXPECT_EQ(fromText(withNul).lines(), QStringList({u"a"_s, u"b"_s}));
    EXPECT_EQ(fromText(QString(QChar(0)) + u"a"_s).Count(), 0);
    EXPECT_EQ(fromText(u"a\r"_s + QChar(0) + u"\nb"_s).lines(), QStringList({u"a"_s}));
}

TEST(frxUnicodeUtils, settingTextReplacesLinesAndObjects)
{
    TfrxWideStrings list;
    int tag = 0;
    list.AddObject(u"old"_s, &tag);
    list.Add(u"older"_s);
    list.setText(list.lines().at(1));
    EXPECT_EQ(list.lines(), QStringList({u"older"_s}));
    EXPECT_EQ(list.Objects(0), nullptr);
}

TEST(frxUnicodeUtils, loadDetectsTheUtf16ByteOrderMark)
{
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) + QByteArray("\x20\x5F\x09\x4E\r\0\n\0b\0", 10);
    EXPECT_EQ(loaded(utf16).lines(), QStringList({u"张三"_s, u"b"_s}));
    // An odd last byte is not half a character.
    EXPECT_EQ(loaded(QByteArray("\xFF\xFE"
                                "a\0b",
                                5))
                  .lines(),
              QStringList({u"a"_s}));
    // Reading starts at the stream's position.
    EXPECT_EQ(loaded(QByteArray("xy\xFF\xFE"
                                "a\0",
                                6),
                     2)
                  .lines(),
              QStringList({u"a"_s}));
}

TEST(frxUnicodeUtils, loadReadsOtherBytesAsCp936)
{
    EXPECT_EQ(loaded(QByteArray("\xD5\xC5\xC8\xFD\r\nLi")).lines(), QStringList({u"张三"_s, u"Li"_s}));
    // Two bytes FF FE alone are not a byte-order mark followed by text.
    EXPECT_EQ(loaded(QByteArray("\xFF\xFE", 2)).Count(), 1);
    EXPECT_EQ(loaded(QByteArray()).Count(), 0);
}

TEST(frxUnicodeUtils, saveWritesUtf16LeWithoutByteOrderMark)
{
    const TfrxWideStrings list = fromText(u"张\r\na"_s);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    list.SaveToStream(buffer);
    EXPECT_EQ(data, QByteArray("\x20\x5F\r\0\n\0a\0\r\0\n\0", 12));
}

TEST(frxUnicodeUtils, filesAreReplacedAndErrorsNameTheFile)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"备注.txt"_s);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a long old content that must be replaced entirely");
    file.close();

    fromText(u"一\r\n二"_s).SaveToFile(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\x00\x4E\r\0\n\0\x8C\x4E\r\0\n\0", 12));
    file.close();

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\xFF\xFE\x00\x4E", 4));
    file.close();
    TfrxWideStrings list;
    list.LoadFromFile(name);
    EXPECT_EQ(list.lines(), QStringList({u"一"_s}));

    try {
        list.LoadFromFile(dir.filePath(u"缺失.txt"_s));
        FAIL() << "no error for a missing file";
    } catch (const platform::FileError &error) {
        EXPECT_TRUE(error.message().contains(u"缺失.txt"_s)) << error.what();
    }
    EXPECT_EQ(list.lines(), QStringList({u"一"_s}));
    EXPECT_THROW(list.SaveToFile(dir.filePath(u"no/such/folder.txt"_s)), platform::FileError);
}

TEST(frxUnicodeUtils, unreadableStreamRaises)
{
    QBuffer closed;
    TfrxWideStrings list;
    EXPECT_THROW(list.LoadFromStream(closed), platform::FileError);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(list.SaveToStream(readOnly), platform::FileError);
}
