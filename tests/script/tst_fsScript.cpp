#include "script/fsScript.h"

#include "support/fakehost.h"

#include <gtest/gtest.h>

#include <thread>

using namespace script;

namespace {

QString q(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

TEST(fsScript, cachedExpressionSeesFreshVariableValues)
{
    fakehost::Host host;
    auto e = host.script.compileExpression(q(u"<frxdbdtst1.\"姓名\"> + ' 先生'"));
    EXPECT_EQ(e->evaluate(), Variant(q(u"张三 先生")));
    host.fields[q(u"frxdbdtst1.\"姓名\"")] = Variant(q(u"李四"));
    EXPECT_EQ(e->evaluate(), Variant(q(u"李四 先生")));

    auto withValue = host.script.compileExpression(q(u"Value * 2"));
    for (int i = 0; i < 3; ++i) {
        *host.value = Variant(i);
        EXPECT_EQ(withValue->evaluate(), Variant(i * 2));
    }
    *host.self = Variant(&host.memo);
    EXPECT_EQ(host.script.compileExpression(q(u"Self.Left + 1"))->evaluate(), Variant(11));
}

TEST(fsScript, expressionErrorsCarryPositionAndMessage)
{
    fakehost::Host host;
    try {
        host.script.compileExpression(q(u"1 + Nonesuch"));
        FAIL() << "compiled";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.kind(), ScriptError::Kind::Compile);
        EXPECT_EQ(e.message(), q(u"[line 1:5] Error at 'Nonesuch': Unknown identifier 'Nonesuch'"));
    }
    EXPECT_THROW(host.script.compileExpression(q(u"(1 + 2")), ScriptError);
    EXPECT_THROW(host.script.compileExpression(q(u"1 2")), ScriptError);
    EXPECT_THROW(host.script.compileExpression(q(u"<unterminated")), ScriptError);
    EXPECT_THROW(host.script.compileExpression(QString()), ScriptError);
}

TEST(fsScript, expressionsReachTheParentScope)
{
    fakehost::Host host;
    ASSERT_TRUE(host.script.compile(q(u"var Total: Integer = 40; function Twice(X: Integer): Integer; "
                                      u"begin Result := X * 2 end; begin end.")));
    TfsScript cache;
    cache.setParent(&host.script);
    auto e = cache.compileExpression(q(u"Twice(Total) + Memo1.Left"));
    EXPECT_EQ(e->evaluate(), Variant(90));
    cache.setParent(&cache); // a cycle is refused
    EXPECT_EQ(cache.parent(), &host.script);
    Variant total;
    ASSERT_TRUE(host.script.globalValue(q(u"TOTAL"), total));
    EXPECT_EQ(total, Variant(40));
}

TEST(fsScript, callPassesVarParametersBack)
{
    TfsScript s;
    ASSERT_TRUE(s.compile(q(u"procedure RunDialogs(var Ok: Boolean; Extra: Integer = 7); "
                            u"begin Ok := Extra = 7 end; "
                            u"function Add(A, B: Integer): Integer; begin Result := A + B end; begin end.")));
    VariantList args{Variant(false)};
    s.call(q(u"rundialogs"), args);
    EXPECT_EQ(args[0], Variant(true));
    VariantList two{Variant(2), Variant(q(u"3"))};
    EXPECT_EQ(s.call(q(u"Add"), two), Variant(5));
    VariantList none;
    EXPECT_THROW(s.call(q(u"Add"), none), ScriptError);
    EXPECT_THROW(s.call(q(u"Missing"), none), ScriptError);
    EXPECT_TRUE(s.hasRoutine(q(u"ADD")));
    EXPECT_EQ(s.mainStatementCount(), 0);
}

TEST(fsScript, runtimeErrorsCarryTheCallChain)
{
    TfsScript s;
    ASSERT_TRUE(s.compile(q(u"procedure Inner;\nbegin\n  RaiseException('失败')\nend;\n"
                            u"procedure Outer;\nbegin\n  Inner\nend;\nbegin\n  Outer\nend.")));
    try {
        s.runMain();
        FAIL() << "no error";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), q(u"失败"));
        EXPECT_EQ(e.line(), 3);
        EXPECT_EQ(e.callChain(), QStringList({q(u"[line 3] in Inner"), q(u"[line 7] in Outer"),
                                              q(u"[line 10] in main block")}));
    }
}

TEST(fsScript, endlessProgramStopsWhenAsked)
{
    TfsScript s;
    ASSERT_TRUE(s.compile(q(u"begin while True do try except end end.")));
    std::thread stopper([&] {
        while (!s.isRunning())
            std::this_thread::yield();
        s.requestStop();
    });
    try {
        s.runMain();
        ADD_FAILURE() << "returned";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.kind(), ScriptError::Kind::Stopped); // not caught by the script's except
    }
    stopper.join();

    // The request belongs to that run: the next one starts afresh and stops through its poll.
    int polls = 0;
    s.setPollHandler([&] { ++polls == 3 ? s.requestStop() : void(); }, 100);
    EXPECT_THROW(s.runMain(), ScriptError);
    EXPECT_EQ(polls, 3);
}

TEST(fsScript, aStopRequestEndsWithTheRunItStopped)
{
    TfsScript parent;
    parent.addFunction(q(u"procedure Halt"), [&](HostCall &) {
        parent.requestStop();
        return Variant();
    });
    ASSERT_TRUE(parent.compile(q(u"procedure P; begin Halt; while True do ; end; begin end.")));
    VariantList none;
    try {
        parent.call(q(u"P"), none);
        ADD_FAILURE() << "returned";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.kind(), ScriptError::Kind::Stopped);
    }
    // Expressions of a child script watch the parent's requests, but that one is over.
    TfsScript child;
    child.setParent(&parent);
    EXPECT_EQ(child.compileExpression(q(u"1 + 2"))->evaluate(), Variant(3));
}

namespace {

// An object with one property V, for classes whose objects scripts create.
class Box : public ScriptObject {
public:
    QString scriptClassName() const override { return q(u"TBox"); }
    bool getProperty(const QString &name, Variant &value) override
    {
        if (name.compare(q(u"V"), Qt::CaseInsensitive) != 0) return false;
        value = v;
        return true;
    }
    bool setProperty(const QString &name, const Variant &value) override
    {
        if (name.compare(q(u"V"), Qt::CaseInsensitive) != 0) return false;
        v = value;
        return true;
    }
    Variant v;
};

} // namespace

TEST(fsScript, scriptsCreateObjectsOfClassesThatHaveAConstructor)
{
    std::vector<std::unique_ptr<Box>> boxes;
    TfsScript s;
    s.addClass(q(u"TBox"), [&] {
        boxes.push_back(std::make_unique<Box>());
        return Variant(boxes.back().get());
    });
    s.addClass(q(u"TPlain"));
    ASSERT_TRUE(s.compile(q(u"var a, b: TBox; r: Variant;"
                            u"begin a := TBox.Create; b := tbox.create(); a.V := 2; b.V := a.V + 1;"
                            u"  r := (a is TBox) and (a <> b); end.")))
        << s.errorText().toStdString();
    s.runMain();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]->v, Variant(2));
    EXPECT_EQ(boxes[1]->v, Variant(3));
    Variant r;
    ASSERT_TRUE(s.globalValue(q(u"r"), r));
    EXPECT_EQ(r, Variant(true));

    // Only Create follows the class name, and only classes with a constructor have it.
    EXPECT_FALSE(s.compile(q(u"var a: Variant; begin a := TBox.Make; end.")));
    EXPECT_TRUE(s.errorText().contains(q(u"Expected Create after 'TBox.'"))) << s.errorText().toStdString();
    EXPECT_FALSE(s.compile(q(u"var a: Variant; begin a := TPlain.Create; end.")));
    EXPECT_TRUE(s.errorText().contains(q(u"Type name 'TPlain' used as a value")))
        << s.errorText().toStdString();
}

TEST(fsScript, stepLimitAndRecursionDepthAreBounded)
{
    TfsScript s;
    s.setStepLimit(1000);
    ASSERT_TRUE(s.compile(q(u"var i: Integer; begin repeat i := i + 1 until False end.")));
    try {
        s.runMain();
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.kind(), ScriptError::Kind::Limit);
        EXPECT_EQ(e.message(), q(u"Step limit exceeded"));
    }
    TfsScript r;
    ASSERT_TRUE(r.compile(q(u"procedure P; begin P end; begin P end.")));
    try {
        r.runMain();
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), q(u"Stack overflow"));
    }
}

TEST(fsScript, macroFunctionsReceiveSourceText)
{
    fakehost::Host host;
    auto e = host.script.compileExpression(q(u"SUM(<frxdbdtst1.\"金额\"> * (1 + 2), MasterData1, 2)"));
    EXPECT_EQ(e->evaluate(), Variant(q(u"<frxdbdtst1.\"金额\"> * (1 + 2)|MasterData1|2")));
    EXPECT_EQ(host.script.compileExpression(q(u"IIF(Memo1.Left = 10, 'a' + 'b', Nonesuch)"))->evaluate(),
              Variant(q(u"ab"))); // the branch not taken is never compiled
    EXPECT_EQ(host.getCalls, 0);
}

TEST(fsScript, registrationsSurviveRecompilationAndCanBeRemoved)
{
    fakehost::Host host;
    ASSERT_TRUE(host.script.compile(q(u"begin Memo1.Text := 'a' end.")));
    ASSERT_TRUE(host.script.compile(q(u"begin Memo1.Text := 'b' end.")));
    host.script.runMain();
    EXPECT_EQ(host.memo.properties.value(q(u"text")), Variant(q(u"b")));
    host.script.addConstant(q(u"Answer"), Variant(42));
    EXPECT_EQ(host.script.compileExpression(q(u"answer"))->evaluate(), Variant(42));
    host.script.removeName(q(u"Memo1"));
    EXPECT_FALSE(host.script.compile(q(u"begin Memo1.Text := 'c' end.")));
    EXPECT_EQ(host.script.errorText(), q(u"[line 1:7] Error at 'Memo1': Unknown identifier 'Memo1'"));
    EXPECT_FALSE(host.script.compile(q(u"begin Report := nil end.")));
}

TEST(fsScript, declarationsOfHostFunctionsAreChecked)
{
    TfsScript s;
    EXPECT_THROW(s.addFunction(q(u"function (A: Integer): Integer"), {}), ScriptError);
    EXPECT_THROW(s.addFunction(q(u"function F(A: Integer = X): Integer"), {}), ScriptError);
    s.addFunction(q(u"function Twice(A: Integer = 4): Integer"),
                  [](HostCall &c) { return Variant(c.args[0].toInt() * 2); });
    EXPECT_EQ(s.compileExpression(q(u"Twice + Twice(1.5)"))->evaluate(), Variant(12)); // 1.5 rounds to 2
    EXPECT_THROW(s.compileExpression(q(u"Twice(1, 2)")), ScriptError);
}
