// tovaro-report calc: one expression in a fresh report, printed as VarToStr shows it.
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CommandRun runCalc(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOVARO_BIN_DIR "/tovaro-report"),
                  QStringList{QStringLiteral("calc")} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(cmdCalc, printsTheValueAsVarToStrWould)
{
    const std::pair<const char *, const char *> cases[] = {
        {"7 div 2", "3\n"},
        {"-7 div 2", "-3\n"},
        {"7 / 2", "3.5\n"},
        {"Round(2.5)", "2\n"},
        {"Round(3.5)", "4\n"},
        {"FormatFloat('#,##0.00', 1234.5)", "1,234.50\n"},
        {"IIF(1 > 2, '甲', '乙') + ' 先生'", "乙 先生\n"},
        {"2147483647 + 1", "2147483648\n"},
        {"Null", "\n"},
        {"TotalPages#", "0\n"},
        {"Report.ScriptLanguage", "PascalScript\n"},
    };
    for (const auto &[expression, expected] : cases) {
        const CommandRun run = runCalc({QString::fromUtf8(expression)});
        EXPECT_EQ(run.exitCode, 0) << expression << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, QString::fromUtf8(expected)) << expression;
    }
}

TEST(cmdCalc, errorsGoToStderrWithExitOne)
{
    CommandRun run = runCalc({QStringLiteral("1 +")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("tovaro-report: "))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("'1 +'"))) << run.err.toStdString();

    run = runCalc({QStringLiteral("StrToInt('x')")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("'x' is not a valid integer value")))
        << run.err.toStdString();

    run = runCalc({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("usage: tovaro-report calc EXPR")));
}
