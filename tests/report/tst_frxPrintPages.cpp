#include "report/output/frxPrintPages.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

// The page numbers of a pageCount-page report that the text selects.
QList<int> selected(const QString &text, int pageCount)
{
    const TfrxPageNumbers numbers = ParsePageNumbers(text, pageCount);
    QList<int> pages;
    for (int n = 1; n <= pageCount; ++n)
        if (numbers.Contains(n)) pages.append(n);
    return pages;
}

QString errorOf(const QString &text)
{
    try {
        ParsePageNumbers(text, 20);
    } catch (const platform::Error &error) {
        return error.message();
    }
    return {};
}

} // namespace

TEST(frxPrintPages, numbersAndRanges)
{
    EXPECT_EQ(selected(u"1,3,5-12"_s, 20), (QList<int>{1, 3, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(selected(u"12-12"_s, 20), QList<int>{12});
    // Duplicates stay in the list but select a page once.
    const TfrxPageNumbers numbers = ParsePageNumbers(u"2,2,1-3"_s, 5);
    EXPECT_EQ(numbers.Ranges(), (QList<TfrxPageNumbers::Range>{{2, 2}, {2, 2}, {1, 3}}));
    EXPECT_EQ(selected(u"2,2,1-3"_s, 5), (QList<int>{1, 2, 3}));
}

TEST(frxPrintPages, openRangeRunsToTheLastPage)
{
    EXPECT_EQ(selected(u"5-"_s, 8), (QList<int>{5, 6, 7, 8}));
    EXPECT_EQ(selected(u"1,7-"_s, 8), (QList<int>{1, 7, 8}));
    // Past the end: the range is empty, and an empty range is a selection, not "every page".
    EXPECT_EQ(selected(u"9-"_s, 8), QList<int>{});
}

TEST(frxPrintPages, emptyTextSelectsEveryPage)
{
    EXPECT_TRUE(ParsePageNumbers(QString(), 3).SelectsAll());
    EXPECT_TRUE(ParsePageNumbers(u"   "_s, 3).SelectsAll());
    EXPECT_EQ(selected(QString(), 3), (QList<int>{1, 2, 3}));
}

TEST(frxPrintPages, reversedRangeSelectsNothing)
{
    EXPECT_EQ(selected(u"7-3"_s, 10), QList<int>{});
    EXPECT_FALSE(ParsePageNumbers(u"7-3"_s, 10).SelectsAll());
    EXPECT_EQ(selected(u"7-3,9"_s, 10), QList<int>{9});
}

TEST(frxPrintPages, spacesAnywhereAreIgnored)
{
    EXPECT_EQ(selected(u"2 , 4"_s, 5), (QList<int>{2, 4}));
    EXPECT_EQ(selected(u" 1 0 - 1 2 "_s, 20), (QList<int>{10, 11, 12}));
    EXPECT_EQ(selected(u"3 -"_s, 4), (QList<int>{3, 4}));
}

TEST(frxPrintPages, emptyItemsArePassedOver)
{
    EXPECT_EQ(selected(u"1,,3,"_s, 5), (QList<int>{1, 3}));
    EXPECT_TRUE(ParsePageNumbers(u","_s, 5).SelectsAll());
}

TEST(frxPrintPages, hugeRangeIsNotExpanded)
{
    const TfrxPageNumbers numbers = ParsePageNumbers(u"1-2147483647"_s, 3);
    EXPECT_EQ(numbers.Ranges().size(), 1);
    EXPECT_TRUE(numbers.Contains(2147483647));
    EXPECT_FALSE(numbers.Contains(0));
}

TEST(frxPrintPages, invalidTextRaisesAnErrorNamingIt)
{
    EXPECT_EQ(errorOf(u"1,a"_s), u"页码范围无效: \"1,a\""_s);
    for (const QString &text : {u"-5"_s, u"1-2-3"_s, u"1--3"_s, u"１"_s, u"2147483648"_s, u"3.5"_s, u"1;2"_s})
        EXPECT_FALSE(errorOf(text).isEmpty()) << text.toStdString();
    EXPECT_TRUE(errorOf(u"2147483647"_s).isEmpty());
}
