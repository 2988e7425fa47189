// Script engine speed: a cached expression evaluated one million times (the card's field
// reference through a host Get) and a 20-line event procedure run 100,000 times, each the best
// of five runs in thread CPU time (the machine is shared, so wall time would count other
// programs). Prints RESULT script_cached_expr_ns and script_event_proc_us.
#include "script/fsScript.h"

#include <QHash>

#include <cstdio>
#include <ctime>

using namespace script;

namespace {

class Memo : public ScriptObject {
public:
    QString scriptClassName() const override { return QStringLiteral("TfrxMemoView"); }
    bool getProperty(const QString &name, Variant &value) override
    {
        auto it = m_props.constFind(name.toLower());
        if (it == m_props.constEnd()) return false;
        value = *it;
        return true;
    }
    bool setProperty(const QString &name, const Variant &value) override
    {
        auto it = m_props.find(name.toLower());
        if (it == m_props.end()) return false;
        *it = value;
        return true;
    }

private:
    QHash<QString, Variant> m_props{{QStringLiteral("text"), Variant(QString())},
                                    {QStringLiteral("left"), Variant(10)},
                                    {QStringLiteral("visible"), Variant(true)}};
};

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <typename F>
double bestSeconds(F &&f)
{
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        double start = cpuSeconds();
        f();
        best = std::min(best, cpuSeconds() - start);
    }
    return best;
}

} // namespace

int main()
{
    TfsScript report;
    QHash<QString, Variant> fields{
        {QString::fromUtf16(u"frxdbdtst1.\"姓名\""), Variant(QString::fromUtf16(u"张三"))}};
    report.addFunction(QStringLiteral("function Get(Name: String): Variant"),
                       [&](HostCall &c) { return fields.value(c.args[0].stringRef()); });
    Memo memo;
    report.addObject(QStringLiteral("Memo1"), &memo);
    Variant *value = report.addVariable(QStringLiteral("Value"));

    TfsScript cache;
    cache.setParent(&report);
    auto expression = cache.compileExpression(QString::fromUtf16(u"<frxdbdtst1.\"姓名\"> + ' 先生'"));
    const int evaluations = 1000000;
    qsizetype sink = 0;
    double exprSeconds = bestSeconds([&] {
        for (int i = 0; i < evaluations; ++i)
            sink += expression->evaluate().stringRef().size();
    });

    const QString event = QString::fromUtf16(u"var Count: Integer;\n"
                                             u"procedure Memo1OnBeforePrint(Sender: TfrxComponent);\n"
                                             u"var\n"
                                             u"  i, total: Integer;\n"
                                             u"  s: String;\n"
                                             u"begin\n"
                                             u"  total := 0;\n"
                                             u"  for i := 1 to 5 do\n"
                                             u"    total := total + i * 2;\n"
                                             u"  if total > 20 then\n"
                                             u"    s := 'big'\n"
                                             u"  else\n"
                                             u"    s := 'small';\n"
                                             u"  Memo1.Text := <frxdbdtst1.\"姓名\"> + ' ' + s;\n"
                                             u"  Memo1.Left := Memo1.Left + 1;\n"
                                             u"  if Memo1.Left > 1000 then Memo1.Left := 0;\n"
                                             u"  Memo1.Visible := Length(Memo1.Text) > 2;\n"
                                             u"  Value := total;\n"
                                             u"  Count := Count + 1;\n"
                                             u"  case Count mod 3 of\n"
                                             u"    0: s := Copy(s, 1, 2);\n"
                                             u"  end;\n"
                                             u"end;\n"
                                             u"begin end.");
    if (!report.compile(event)) {
        std::fprintf(stderr, "%s\n", qPrintable(report.errorText()));
        return 1;
    }
    const int runs = 100000;
    double eventSeconds = bestSeconds([&] {
        for (int i = 0; i < runs; ++i) {
            VariantList args{Variant(&memo)};
            report.call(QStringLiteral("Memo1OnBeforePrint"), args);
        }
    });
    if (sink == 0 || value->isNull()) return 1;
    std::printf("RESULT script_cached_expr_ns %.1f ns\n", exprSeconds / evaluations * 1e9);
    std::printf("RESULT script_event_proc_us %.2f us\n", eventSeconds / runs * 1e6);
    return 0;
}
