// tovaro-report calc EXPR: the value of one report expression, as a text object would compute it in
// a fresh report, printed the way VarToStr shows it.
#include "tools/command.h"

#include "platform/errors.h"
#include "report/objects/frxClass.h"
#include "script/scriptobject.h"

#include <cstdio>

namespace {

int calc(const QStringList &arguments)
{
    if (arguments.size() != 1) return tools::fail(QStringLiteral("usage: tovaro-report calc EXPR"));
    frx::TfrxReport report;
    report.EngineOptions.NewSilentMode = frx::simSilent;
    try {
        // The report script supplies Get, IIF and the report's names to the expression.
        if (!report.CompileReportScript()) return tools::fail(report.ErrorList.Text().trimmed());
        const script::Variant value = report.Calc(arguments.first());
        QString text;
        if (value.isObject())
            text = value.objectValue()->scriptClassName();
        else
            text = value.toString();
        std::printf("%s\n", text.toUtf8().constData());
    } catch (const platform::Error &error) {
        return tools::fail(error.message());
    }
    return 0;
}

const tools::CommandRegistration
    registration(QStringLiteral("calc"), QStringLiteral("calc EXPR"),
                 QStringLiteral("Evaluates an expression of the report script and prints its value.\n"
                                "EXPR is one argument, e.g. \"FormatFloat('#,##0.00', 1234.5)\"."),
                 calc);

} // namespace
