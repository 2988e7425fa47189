// Expressions of report texts: Calc and its cache, names the report resolves itself, variables,
// format suffixes, HideZeros, delimiters, bound objects, tags, highlights and the script functions.
#include "report/base/frxRes.h"
#include "report/base/frxVariables.h"
#include "tests/report/support/reportfixture.h"
#include "tests/support/gui_environment.h"

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;
using reportfixture::Report;

namespace {

// The text a lone unbound memo gets from `text` in a one-row report.
QString shown(Report &f, const QString &text, const std::function<void(TfrxMemoView *)> &setup = {})
{
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    TfrxMemoView *memo = Report::memo(row, u"Memo1"_s, 0, 20, text);
    if (setup) setup(memo);
    const bool ok = f.prepare();
    EXPECT_TRUE(ok) << f.report.ErrorList.Text().toStdString();
    const QStringList texts = f.texts(u"Memo1"_s);
    delete row;
    return texts.value(0);
}

} // namespace

TEST(frxClassExpressions, formatSuffixesBuildAFormatForOneExpression)
{
    Report f;
    f.setGuests({u"a"_s});
    EXPECT_EQ(shown(f, u"[12.5 #n%2,2f]"_s), u"12,50"_s);
    EXPECT_EQ(shown(f, u"[1 = 1 #b是,否] [1 = 2 #b是,否] ['x' #b是,否]"_s), u"是 否 否"_s);
    EXPECT_EQ(shown(f, u"[EncodeDate(2009, 10, 1) #ddd.mm.yyyy]"_s), u"01.10.2009"_s);
    // A hash followed by a closing parenthesis belongs to the expression.
    EXPECT_EQ(shown(f, u"[Pos(' #', 'a #b)')]"_s), u"2"_s);
    // Without a suffix the object's display format applies.
    EXPECT_EQ(shown(f, u"[3.14159]"_s,
                    [](TfrxMemoView *m) {
                        m->DisplayFormat().Kind = fkNumeric;
                        m->DisplayFormat().FormatStr = u"%.2f"_s;
                    }),
              u"3.14"_s);
}

TEST(frxClassExpressions, hideZerosEmptiesNumericZeroButNotTheString)
{
    Report f;
    f.setGuests({u"a"_s});
    const auto hide = [](TfrxMemoView *m) { m->HideZeros = true; };
    EXPECT_EQ(shown(f, u"[0]|[0.0]|['0']|[1 - 1]"_s, hide), u"||0|"_s);
    EXPECT_EQ(shown(f, u"[0]"_s), u"0"_s);
}

TEST(frxClassExpressions, customDelimitersAreRemovedAndSquareBracketsStay)
{
    Report f;
    f.setGuests({u"张三"_s});
    const auto delimiters = [](TfrxMemoView *m) { m->ExpressionDelimiters = u"<%,%>"_s; };
    EXPECT_EQ(shown(f, u"致 <%frxdbdtst1.\"姓名\"%> [1+2] <%'<%' + '%>'%>"_s, delimiters),
              u"致 张三 [1+2] <%%>"_s);
    // Nested pairs and delimiters inside quotes stay inside one expression.
    EXPECT_EQ(shown(f, u"[IIF(1 > 0, '[a]', [2])]"_s), u"[a]"_s);
    // Inserted values are not scanned again.
    EXPECT_EQ(shown(f, u"['[1+1]'] [2+2]"_s), u"[1+1] 4"_s);
}

TEST(frxClassExpressions, boundObjectsShowTheFieldAndAreNeverScanned)
{
    Report f;
    f.setGuests({u"[1+1] 张三"_s});
    EXPECT_EQ(shown(f, u"[nosuchname]"_s,
                    [&](TfrxMemoView *m) {
                        m->SetDataSet(&f.guests);
                        m->DataField = u"姓名"_s;
                    }),
              u"[1+1] 张三"_s);
    // Unbound, the field reference is resolved directly; ConvertNulls turns Null into the type's zero.
    f.setGuests({u"李四"_s});
    f.names.clear();
    EXPECT_EQ(shown(f, u"<[frxdbdtst1.\"姓名\"]>"_s), u"<0>"_s); // the user data set's fields are numeric
    f.report.EngineOptions.ConvertNulls = false;
    EXPECT_EQ(shown(f, u"<[frxdbdtst1.\"姓名\"]>"_s), u"<>"_s);
}

TEST(frxClassExpressions, variablesHoldExpressionsUnlessTheyHoldLines)
{
    Report f;
    f.setGuests({u"a"_s});
    f.report.Variables.SetValue(u"和"_s, u"2+3"_s);
    f.report.Variables.SetValue(u"多行"_s, u"第一行\r\n第二行"_s);
    f.report.Variables.SetValue(u"数"_s, 7);
    f.report.Variables.SetValue(u"嵌套"_s, u"<和> * 2"_s);
    frxGlobalVariables().SetValue(u"全局式"_s, u"2+3"_s);
    EXPECT_EQ(shown(f, u"[和] [数] [嵌套] [全局式] [<和> + 1]"_s), u"5 7 10 2+3 6"_s);
    EXPECT_EQ(shown(f, u"[多行]"_s), u"第一行\r\n第二行"_s);
    frxGlobalVariables().Clear();
}

TEST(frxClassExpressions, setStoresValuesAndGetOfAnUnknownNameIsLoggedAsNull)
{
    Report f;
    f.setGuests({u"a"_s});
    f.report.ScriptText = {u"begin Set('日', EncodeDate(2009, 10, 1)); Set('文', '''甲'''); end."_s};
    EXPECT_EQ(shown(f, u"[FormatDateTime('yyyy/m/d', <日>)] [<文>]"_s), u"2009/10/1 甲"_s);

    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    Report::memo(row, u"Memo1"_s, 0, 20, u"[VarToStr(<无此名>) + '!']"_s);
    EXPECT_FALSE(f.prepare());
    EXPECT_EQ(f.report.ErrorList.Lines(), QStringList{frxGet(u"clUnknownVar"_s) + u" 无此名"_s});
    EXPECT_EQ(f.texts(u"Memo1"_s), QStringList{u"!"_s});
}

TEST(frxClassExpressions, theCacheCompilesEachTextOnceIgnoringCase)
{
    TfrxReport report;
    ASSERT_TRUE(report.CompileReportScript());
    EXPECT_EQ(report.Calc(u"Abs(-2) + 1"_s), script::Variant(3));
    EXPECT_EQ(report.Calc(u"ABS(-2) + 1"_s), script::Variant(3));
    EXPECT_EQ(report.CachedExpressionCount(), 1);
    EXPECT_EQ(report.Calc(u"abs(-3) + 1"_s), script::Variant(4));
    EXPECT_EQ(report.CachedExpressionCount(), 2);
    // Names the report resolves itself never reach the compiler.
    report.Variables.SetValue(u"v"_s, 1);
    EXPECT_EQ(report.Calc(u"V"_s), script::Variant(1));
    EXPECT_EQ(report.Calc(u"Line#"_s), script::Variant(0));
    EXPECT_EQ(report.CachedExpressionCount(), 2);
    ASSERT_TRUE(report.CompileReportScript());
    EXPECT_EQ(report.CachedExpressionCount(), 0);
}

TEST(frxClassExpressions, iifEvaluatesOnlyTheChosenBranch)
{
    TfrxReport report;
    ASSERT_TRUE(report.CompileReportScript());
    EXPECT_EQ(report.Calc(u"IIF(2 > 1, 'yes', 1 div 0)"_s), script::Variant(u"yes"_s));
    EXPECT_EQ(report.Calc(u"IIF(2 < 1, 1 div 0, 'no')"_s), script::Variant(u"no"_s));
}

TEST(frxClassExpressions, anAggregateNameWithTwoValuesIsNoAggregate)
{
    TfrxReport report;
    ASSERT_TRUE(report.CompileReportScript());
    EXPECT_EQ(report.Calc(u"Max(3, 7)"_s), script::Variant(7));
    EXPECT_EQ(report.Calc(u"MIN(3, 1 + 1)"_s), script::Variant(2));
    EXPECT_EQ(report.Calc(u"Max(2.5, 1)"_s), script::Variant(2.5));
    EXPECT_THROW(report.Calc(u"SUM(3, 7)"_s), std::exception);
    EXPECT_THROW(report.Calc(u"AVG(3, 'x')"_s), std::exception);
    EXPECT_TRUE(report.ErrorList.Text().contains(u"SUM 的第二个参数不是带区：7"_s))
        << report.ErrorList.Text().toStdString();
}

TEST(frxClassExpressions, otherScriptLanguagesAreRefusedClearly)
{
    Report f;
    f.setGuests({u"a"_s});
    f.master(u"MasterData1"_s, 0, 40);
    f.report.ScriptLanguage = u"C++Script"_s;
    EXPECT_FALSE(f.prepare());
    EXPECT_EQ(f.report.ErrorList.Lines(), QStringList{u"script language C++Script is not supported"_s});
}

TEST(frxClassExpressions, lineCountsRowsWithinTheMasterRecordAndLineSharpThroughTheRun)
{
    Report f;
    f.setGuests({u"甲"_s, u"乙"_s});
    TfrxUserDataSet items;
    items.SetName(u"items"_s);
    items.RangeEnd = reCount;
    items.RangeEndCount = 3;
    f.report.Datasets.Add()->SetDataSet(&items);
    f.master(u"MasterData1"_s, 0, 20);
    auto *detail = f.band<TfrxDetailData>(u"DetailData1"_s, 50, 20);
    detail->SetDataSet(&items);
    Report::memo(detail, u"Row"_s, 0, 20, u"[Line]/[Line#]"_s);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Row"_s), (QStringList{u"1/1"_s, u"2/2"_s, u"3/3"_s, u"1/1"_s, u"2/2"_s, u"3/3"_s}));
}

TEST(frxClassExpressions, totalPagesSharpStaysAMarkerForDrawing)
{
    Report f;
    f.setGuests({u"a"_s});
    EXPECT_EQ(shown(f, u"第[Page#]页 共[totalpages#]页 [CopyName#]"_s),
              u"第1页 共[TotalPages#]页 [CopyName#]"_s);
}

TEST(frxClassExpressions, tagsAndHighlightsAreEvaluatedPerRowAndRestored)
{
    Report f;
    f.setGuests({u"张三"_s, u"李四"_s});
    f.numbers = {1, 2};
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    TfrxMemoView *memo = Report::memo(row, u"Memo1"_s, 0, 20, u"x"_s);
    memo->TagStr = u"[<frxdbdtst1.\"n\"> * 10]"_s;
    memo->URL = u"http://例/[frxdbdtst1.\"姓名\"]"_s;
    memo->Highlight().Condition = u"<frxdbdtst1.\"n\"> > 1"_s;
    QStringList seen;
    f.report.OnAfterPrint = [&](TfrxReportComponent *c) {
        if (c == memo)
            seen << memo->TagStr + u' ' + memo->URL + u' ' + (memo->Highlight().Active ? u"on"_s : u"off"_s);
    };
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(seen, (QStringList{u"10 http://例/张三 off"_s, u"20 http://例/李四 on"_s}));
    EXPECT_EQ(memo->TagStr, u"[<frxdbdtst1.\"n\"> * 10]"_s);
}

TEST(frxClassExpressions, suppressRepeatedEmptiesARepeatedText)
{
    Report f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s});
    f.groups = {u"x"_s, u"x"_s, u"y"_s};
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    Report::memo(row, u"Memo1"_s, 0, 20, u"[frxdbdtst1.\"g\"]"_s)->SuppressRepeated = true;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Memo1"_s), (QStringList{u"x"_s, QString(), u"y"_s}));
}

TEST(frxVariables, arraysAreKeyedByTheTextOfAnyValue)
{
    TfrxArray array;
    array.SetValue(1, u"一"_s);
    array.SetValue(u"1"_s, u"壹"_s);
    array.SetValue(u"Key"_s, 2.5);
    EXPECT_EQ(array.Count(), 2);
    EXPECT_EQ(array.Value(1), script::Variant(u"壹"_s));
    EXPECT_EQ(array.Value(u"KEY"_s), script::Variant(2.5));
    EXPECT_TRUE(array.Value(u"missing"_s).isNull());
}

namespace {

// Binds a memo to the name field and gives its font the character set.
std::function<void(TfrxMemoView *)> boundWithCharset(Report &f, int charset, bool useDefault = false)
{
    return [&f, charset, useDefault](TfrxMemoView *m) {
        m->SetDataSet(&f.guests);
        m->DataField = u"姓名"_s;
        m->mutableFont()->charset = charset;
        m->UseDefaulCharset = useDefault;
    };
}

} // namespace

TEST(frxClassExpressions, boundTextGoesThroughTheCodePageOfTheFontCharset)
{
    Report f;
    f.setGuests({u"王小明 Иван"_s});
    // GBK holds both scripts; the Cyrillic code page only its own.
    EXPECT_EQ(shown(f, {}, boundWithCharset(f, 134)), u"王小明 Иван"_s);
    EXPECT_EQ(shown(f, {}, boundWithCharset(f, 204)), u"??? Иван"_s);
    EXPECT_EQ(shown(f, {}, boundWithCharset(f, 0)), u"??? ????"_s);
    // UseDefaulCharset, the default set and symbol fonts leave the text alone.
    EXPECT_EQ(shown(f, {}, boundWithCharset(f, 204, true)), u"王小明 Иван"_s);
    EXPECT_EQ(shown(f, {}, boundWithCharset(f, 1)), u"王小明 Иван"_s);
    EXPECT_EQ(shown(f, {}, boundWithCharset(f, 2)), u"王小明 Иван"_s);
    // A display format other than text formats the value itself.
    f.numbers = {script::Variant(12.5)};
    EXPECT_EQ(shown(f, {},
                    [&](TfrxMemoView *m) {
                        boundWithCharset(f, 204)(m);
                        m->DataField = u"n"_s;
                        m->DisplayFormat().Kind = fkNumeric;
                        m->DisplayFormat().FormatStr = u"%.1f 元"_s;
                    }),
              u"12.5 元"_s);
}

TEST(frxClassExpressions, expressionsAndTheirValuesGoThroughTheCodePage)
{
    Report f;
    f.setGuests({u"张三"_s});
    const auto charset = [](int value, bool useDefault = false) {
        return [value, useDefault](TfrxMemoView *m) {
            m->mutableFont()->charset = value;
            m->UseDefaulCharset = useDefault;
        };
    };
    // The value is shown as the code page has it.
    EXPECT_EQ(shown(f, u"致 [frxdbdtst1.\"姓名\"]"_s, charset(134)), u"致 张三"_s);
    f.groups = {u"李四"_s};
    EXPECT_EQ(shown(f, u"[frxdbdtst1.\"g\"] [Length(<frxdbdtst1.\"g\">)]"_s, charset(204)), u"?? 2"_s);
    EXPECT_EQ(shown(f, u"[frxdbdtst1.\"g\"]"_s, charset(204, true)), u"李四"_s);
    // The expression itself goes through first: the literal arrives as "?".
    EXPECT_EQ(shown(f, u"[Pos('?', '王Я')]"_s, charset(204)), u"1"_s);
    EXPECT_EQ(shown(f, u"[Pos('?', '王Я')]"_s, charset(134)), u"0"_s);
    // The markers drawn later are untouched.
    EXPECT_EQ(shown(f, u"[TotalPages#]"_s, charset(204)), u"[TotalPages#]"_s);
}

TEST(frxClassExpressions, ansiTextReadsAndWritesThroughTheCodePageOfTheFont)
{
    Report f;
    f.setGuests({u"a"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 60);
    TfrxMemoView *cyrillic = Report::memo(row, u"Memo1"_s, 0, 20);
    cyrillic->mutableFont()->charset = 204;
    cyrillic->UseDefaulCharset = true; // AnsiText follows the character set all the same
    Report::memo(row, u"Memo2"_s, 20, 20);
    Report::memo(row, u"Memo3"_s, 40, 20);
    f.report.ScriptText = {u"begin"_s, u"  Memo1.AnsiText := '王 Иван';"_s, u"  Memo2.Text := Memo1.Text;"_s,
                           // The default set is the system's code page, which holds Chinese but no Hangul.
                           u"  Memo3.Text := '王 한';"_s, u"  Memo3.Text := Memo3.AnsiText;"_s, u"end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Memo2"_s), QStringList{u"? Иван"_s});
    EXPECT_EQ(f.texts(u"Memo3"_s), QStringList{u"王 ?"_s});
    cyrillic->SetText(u"Ж王"_s);
    EXPECT_EQ(cyrillic->AnsiText(), u"Ж?\r\n"_s);
}
