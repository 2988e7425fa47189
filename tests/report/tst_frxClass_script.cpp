// The report's objects as the report script sees them: properties through the property registry,
// text objects, data sets, the report, its engine and outline, Sender, Self and Value, stopping.
#include "report/objects/frxClass_prepare_p.h"
#include "tests/report/support/reportfixture.h"
#include "tests/support/gui_environment.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;
using reportfixture::Report;

TEST(frxClassScript, anOnBeforePrintEventSetsTheTextOfAMemoForEachRow)
{
    Report f;
    f.setGuests({u"张三"_s, u"李四"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    TfrxMemoView *memo = Report::memo(row, u"Memo1"_s, 0, 20, u"设计"_s);
    memo->OnBeforePrint = u"Memo1OnBeforePrint"_s;
    Report::memo(row, u"Memo2"_s, 20, 20, u"[Memo1.Lines.Count]"_s)->OnBeforePrint = u"ViaSender"_s;
    f.report.ScriptText = {
        u"procedure Memo1OnBeforePrint(Sender: TfrxComponent);"_s,
        u"begin Memo1.Text := '致 ' + <frxdbdtst1.\"姓名\"> + ' [Line]'; end;"_s,
        u"procedure ViaSender(Sender: TfrxComponent);"_s,
        u"begin if Sender is TfrxMemoView then TfrxMemoView(Sender).Lines.Add(Sender.Name + ' ' + Self.Name); end;"_s,
        u"begin end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // The text set by the event is then expanded like a designed one.
    EXPECT_EQ(f.texts(u"Memo1"_s), (QStringList{u"致 张三 1"_s, u"致 李四 2"_s}));
    EXPECT_EQ(f.texts(u"Memo2"_s), (QStringList{u"1\r\nMemo2 Memo2"_s, u"1\r\nMemo2 Memo2"_s}));
    EXPECT_EQ(memo->Text(), u"设计\r\n"_s); // the definition is unchanged after the run
}

TEST(frxClassScript, propertiesOfBandsPagesValueObjectsAndTheReportAreReadAndWritten)
{
    Report f;
    f.setGuests({u"a"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    TfrxMemoView *memo = Report::memo(row, u"Memo1"_s, 0, 20, u"[Report.Variables['结果']]"_s);
    f.report.ScriptText = {
        u"begin"_s,
        u"  Memo1.Font.Name := '宋体';"_s,
        u"  Memo1.HAlign := haRight;"_s,
        u"  if Memo1.HAlign = haRight then Memo1.HAlign := 'haCenter';"_s,
        u"  Memo1.Frame.Typ := ftLeft + ftRight + ftTop + ftBottom;"_s,
        u"  Memo1.DisplayFormat.FormatStr := '%.1f';"_s,
        u"  Report.Variables['结果'] := FloatToStr(Page1.PaperWidth) + ' ' + MasterData1.DataSet.Name + ' ' +"_s,
        u"    IntToStr(Report.Variables.Count) + ' ' + Memo1.Font.Name;"_s,
        u"  frxGlobalVariables['全局'] := 7;"_s,
        u"end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(memo->Font().name, u"宋体"_s);
    EXPECT_EQ(memo->HAlign, haCenter);
    EXPECT_EQ(memo->Frame().Typ, 15u);
    EXPECT_EQ(memo->DisplayFormat().FormatStr, u"%.1f"_s);
    // Count was read before the assignment. The variable's text is an expression when read by name, but
    // Variables[...] gives it as stored.
    EXPECT_EQ(f.texts(u"Memo1"_s), QStringList{u"210 frxdbdtst1 0 宋体"_s});
    EXPECT_EQ(frxGlobalVariables().Value(u"全局"_s), script::Variant(7));

    f.report.ScriptText = {u"begin Memo1.Nope := 1; end."_s};
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.report.ErrorList.Text().contains(u"TfrxMemoView has no writable property 'Nope'"_s))
        << f.report.ErrorList.Text().toStdString();
    f.report.ScriptText = {u"begin Memo1.HAlign := 'haNowhere'; end."_s};
    EXPECT_FALSE(f.prepare());
}

TEST(frxClassScript, dataSetsAreWalkedByScripts)
{
    Report f;
    f.setGuests({u"张三"_s, u"李四"_s, u"王五"_s});
    f.master(u"MasterData1"_s, 0, 40);
    f.report.OnStartReport = u"Start"_s;
    f.report.ScriptText = {u"procedure Start(Sender: TfrxComponent);"_s,
                           u"var s: String;"_s,
                           u"begin"_s,
                           u"  frxdbdtst1.First;"_s,
                           u"  while not frxdbdtst1.Eof do begin"_s,
                           u"    s := s + frxdbdtst1.Value['姓名'];"_s,
                           u"    frxdbdtst1.Next;"_s,
                           u"  end;"_s,
                           u"  Set('all', s);"_s,
                           u"end;"_s,
                           u"begin end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.report.Variables.Value(u"all"_s).toString(), u"张三李四王五"_s);
}

TEST(frxClassScript, engineAndOutlineAreReachableAndStopReportEndsTheRunQuietly)
{
    Report f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 300);
    row->OnBeforePrint = u"Row"_s;
    Report::memo(row, u"Memo1"_s, 0, 20, u"[Engine.CurY] [Engine.FreeSpace > 0]"_s);
    f.report.ScriptText = {
        u"procedure Row(Sender: TfrxComponent);"_s,
        u"begin"_s,
        u"  Outline.LevelRoot;"_s,
        u"  Outline.AddItem(<frxdbdtst1.\"姓名\">);"_s,
        u"  Engine.AddAnchor(<frxdbdtst1.\"姓名\">);"_s,
        u"  if <Line> = 3 then begin Engine.StopReport; while True do Memo1.Text := 'never'; end;"_s,
        u"end;"_s,
        u"begin end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Memo1"_s), (QStringList{u"0 True"_s, u"300 True"_s, u"600 True"_s}));
    f.pages().Outline().LevelRoot();
    EXPECT_EQ(f.pages().Outline().Count(), 3);
    int page = -1, top = -1;
    EXPECT_TRUE(f.pages().FindAnchor(u"c"_s, page, top));
    EXPECT_EQ(top, 600);

    // Page operations are refused outside a run.
    f.report.ScriptText = {u"begin Engine.NewPage; end."_s};
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(
        f.report.ErrorList.Text().contains(u"Engine.NewPage can only be called while the report runs"_s));
}

TEST(frxClassScript, aScriptThatNeverEndsStopsWhenTheReportIsTerminated)
{
    Report f;
    f.setGuests({u"a"_s, u"b"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 300);
    row->OnBeforePrint = u"Row"_s;
    f.report.ScriptText = {u"procedure Row(Sender: TfrxComponent);"_s, u"begin while True do ; end;"_s,
                           u"begin end."_s};
    // The cancel button of a progress window arrives through the message queue.
    QTimer::singleShot(50, [&] { f.report.Terminated = true; });
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.pages().Count(), 1);
}

TEST(frxClassScript, aLoopAfterStopReportEndsAndTheLastPageStillGetsItsFooter)
{
    Report f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    f.numbers = {1, 2, 3, 4};
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 300);
    row->OnBeforePrint = u"Row"_s;
    Report::memo(row, u"Memo1"_s, 0, 20, u"[<frxdbdtst1.\"姓名\">]"_s);
    auto *footer = f.band<TfrxPageFooter>(u"PageFooter1"_s, 1000, 20);
    Report::memo(footer, u"Total"_s, 0, 20, u"[Page#] [SUM(<frxdbdtst1.\"n\">)] [COUNT(MasterData1)]"_s);
    f.report.ScriptText = {u"var i: Integer;"_s,
                           u"procedure Row(Sender: TfrxComponent);"_s,
                           u"begin"_s,
                           u"  if <Line> = 2 then begin"_s,
                           u"    Engine.StopReport;"_s,
                           u"    while True do begin i := i + 1; Set('i', i); end;"_s,
                           u"  end;"_s,
                           u"end;"_s,
                           u"begin end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Memo1"_s), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(f.texts(u"Total"_s), QStringList{u"1 3 2"_s});
    // The loop ended at its first turn, not when the report next looked at its messages.
    EXPECT_TRUE(f.report.Variables.Value(u"i"_s).isNull());
}

TEST(frxClassScript, stopReportFromTheHostWhileAScriptRunsStopsThatScriptAtOnce)
{
    Report f;
    f.setGuests({u"a"_s, u"b"_s, u"c"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 300);
    row->OnBeforePrint = u"Row"_s;
    auto *child = f.band<TfrxChild>(u"Child1"_s, 400, 20);
    child->OnBeforePrint = u"Extra"_s;
    f.report.OnBeforePrint = [&](TfrxReportComponent *c) {
        if (c == child) f.report.Engine()->StopReport();
    };
    // The row's event shows the child band, whose before-print hook ends the run.
    f.report.ScriptText = {u"var i: Integer;"_s,
                           u"procedure Row(Sender: TfrxComponent);"_s,
                           u"begin"_s,
                           u"  Engine.ShowBand(Child1);"_s,
                           u"  while True do begin i := i + 1; Set('i', i); end;"_s,
                           u"end;"_s,
                           u"procedure Extra(Sender: TfrxComponent);"_s,
                           u"begin Set('extra', True); end;"_s,
                           u"begin end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.pages().Count(), 1);
    EXPECT_TRUE(f.report.Variables.Value(u"i"_s).isNull());
}

TEST(frxClassScript, scriptsCreateArraysKeyedByTheTextOfAnyValueAndFreeThem)
{
    Report f;
    f.setGuests({u"a"_s});
    f.master(u"MasterData1"_s, 0, 40);
    f.report.ScriptText = {u"var a, b: TfrxArray;"_s,
                           u"begin"_s,
                           u"  a := TfrxArray.Create;"_s,
                           u"  b := TfrxArray.Create;"_s,
                           u"  a.Variables[1] := '一';"_s,
                           u"  a['1'] := a.Variables['1'] + '壹';"_s,
                           u"  a['Key'] := 2.5;"_s,
                           u"  b['key'] := 'b';"_s,
                           u"  Set('count', a.Count);"_s,
                           u"  Set('one', a[1]);"_s,
                           u"  Set('key', a.Variables['KEY']);"_s,
                           u"  Set('missing', VarToStr(a['missing']) = '');"_s,
                           u"  Set('is', a is TfrxArray);"_s,
                           u"  a.Free;"_s,
                           u"  Set('other', b['KEY']);"_s,
                           u"end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    auto value = [&](const QString &name) { return f.report.Variables.Value(name); };
    EXPECT_EQ(value(u"count"_s), script::Variant(2));
    EXPECT_EQ(value(u"one"_s), script::Variant(u"一壹"_s));
    EXPECT_EQ(value(u"key"_s), script::Variant(2.5));
    EXPECT_EQ(value(u"missing"_s), script::Variant(true));
    EXPECT_EQ(value(u"is"_s), script::Variant(true));
    EXPECT_EQ(value(u"other"_s), script::Variant(u"b"_s));

    // A freed array refuses to be used again.
    f.report.ScriptText = {u"var a: TfrxArray;"_s, u"begin a := TfrxArray.Create; a.Free; a[1] := 0; end."_s};
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.report.ErrorList.Text().contains(u"The TfrxArray has been freed"_s))
        << f.report.ErrorList.Text().toStdString();
}

TEST(frxClassScript, variablesRefuseObjectsThatWouldOutliveTheRun)
{
    Report f;
    f.setGuests({u"a"_s});
    f.master(u"MasterData1"_s, 0, 40);
    for (const QString &store :
         {u"Report.Variables['keep'] := a;"_s, u"Set('keep', a);"_s, u"frxGlobalVariables['keep'] := a;"_s}) {
        f.report.ScriptText = {u"var a: TfrxArray;"_s, u"begin a := TfrxArray.Create; "_s + store, u"end."_s};
        EXPECT_FALSE(f.prepare()) << store.toStdString();
        EXPECT_TRUE(f.report.ErrorList.Text().contains(u"Variable keep cannot hold an object"_s))
            << store.toStdString() << ": " << f.report.ErrorList.Text().toStdString();
    }
    EXPECT_TRUE(f.report.Variables.Value(u"keep"_s).isNull());
    EXPECT_TRUE(frxGlobalVariables().Value(u"keep"_s).isNull());
}

TEST(frxClassScript, valueHoldsTheLastMemoValueAndCalcHeightMeasures)
{
    Report f;
    f.setGuests({u"a"_s});
    f.numbers = {21};
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 80);
    Report::memo(row, u"Memo1"_s, 0, 20, u"[<frxdbdtst1.\"n\"> * 2]"_s);
    Report::memo(row, u"Memo2"_s, 20, 20, u"[Value + 1]"_s)->OnBeforePrint = u"Measure"_s;
    Report::memo(row, u"Memo3"_s, 40, 20, u"[Report.Variables['h']]"_s);
    f.report.ScriptText = {
        u"procedure Measure(Sender: TfrxComponent);"_s,
        u"begin Report.Variables['h'] := (Memo1.CalcHeight > 0) and (Memo1.CalcWidth > 0); end;"_s,
        u"begin end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Memo2"_s), QStringList{u"43"_s});
    EXPECT_EQ(f.texts(u"Memo3"_s), QStringList{u"True"_s});
}

TEST(frxClassScript, reportMethodsThatWouldReplaceTheRunningReportAreRefused)
{
    Report f;
    f.setGuests({u"a"_s});
    f.master(u"MasterData1"_s, 0, 80);
    f.report.ScriptText = {u"begin Report.LoadFromFile('x.fr3'); end."_s};
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.report.ErrorList.Text().contains(
        u"LoadFromFile cannot be called while the report is being prepared"_s))
        << f.report.ErrorList.Text().toStdString();
    f.report.ScriptText = {u"begin if Report.Calc('1 + 1') <> 2 then Report.Calc('nosuch'); end."_s};
    EXPECT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    f.report.ScriptText = {u"begin Report.Calc('nosuch'); end."_s};
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.report.ErrorList.Text().contains(u"Error in Calc expression: "_s));
}

TEST(frxClassScript, aCalcFailureTheScriptCatchesLeavesTheErrorListEmpty)
{
    Report f;
    f.setGuests({u"a"_s});
    TfrxMasterData *row = f.master(u"MasterData1"_s, 0, 40);
    Report::memo(row, u"Memo1"_s, 0, 20, u"[Report.Variables['结果']]"_s);
    f.report.ScriptText = {
        u"begin"_s,
        u"  try Report.Calc('1 div 0') except Report.Variables['结果'] := ExceptionMessage end;"_s,
        u"end."_s};
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.texts(u"Memo1"_s), QStringList{u"Error in Calc expression: Division by zero"_s});
    // Uncaught, it stops the run with the same text and no object name before it.
    f.report.ScriptText = {u"begin Report.Calc('1 div 0'); end."_s};
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.report.ErrorList.Text().contains(u"Error in Calc expression: Division by zero"_s))
        << f.report.ErrorList.Text().toStdString();
}

TEST(frxClassScript, errorsKeepWhereTheyCameFrom)
{
    // Every compilation problem is kept, each with its position.
    Report f;
    f.setGuests({u"a"_s});
    f.report.ScriptText = {u"begin"_s, u"  x := ;"_s, u"  y := ;"_s, u"end."_s};
    EXPECT_FALSE(f.prepare());
    QList<TfrxError> entries = f.report.ErrorList.Entries();
    ASSERT_GE(entries.size(), 2);
    EXPECT_EQ(entries.at(0).source, TfrxErrorSource::Script);
    EXPECT_EQ(entries.at(0).line, 2);
    EXPECT_EQ(entries.at(1).line, 3);

    // A run-time failure carries the statement's line and the procedures it went through.
    Report g;
    g.setGuests({u"a"_s});
    g.report.ScriptText = {u"procedure Inner; begin"_s, u"  RaiseException('坏');"_s, u"end;"_s,
                           u"procedure Outer; begin Inner; end;"_s, u"begin"_s, u"  Outer;"_s, u"end."_s};
    EXPECT_FALSE(g.prepare());
    entries = g.report.ErrorList.Entries();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.at(0).source, TfrxErrorSource::Script);
    EXPECT_EQ(entries.at(0).line, 2);
    EXPECT_EQ(entries.at(0).callChain,
              (QStringList{u"[line 2] in Inner"_s, u"[line 4] in Outer"_s, u"[line 6] in main block"_s}));
}
