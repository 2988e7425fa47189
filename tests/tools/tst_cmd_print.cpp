// tovaro-report print: the failures it must report instead of printing somewhere else. Printing
// itself runs through the print run's own tests and the print-server test.
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct CommandRun {
    int exitCode = -1;
    QString err;
};

CommandRun runPrint(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOVARO_BIN_DIR "/tovaro-report"), QStringList{u"print"_s} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

const QString cards = QStringLiteral(TOVARO_TEST_DATA "/cards.fp3");

} // namespace

TEST(cmdPrint, anUnknownPrinterIsRefusedByName)
{
    const CommandRun run = runPrint({cards, u"--printer"_s, u"没有这台"_s});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"tovaro-report: no printer named \"没有这台\"\n"_s))
        << run.err.toStdString();
}

TEST(cmdPrint, badArgumentsAndFilesFail)
{
    CommandRun run = runPrint({cards, u"--copies"_s, u"0"_s});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"--copies takes a number from 1 to 9999, not \"0\""_s))
        << run.err.toStdString();

    run = runPrint({u"/nonexistent/cards.fp3"_s});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"tovaro-report: /nonexistent/cards.fp3: no such file\n"_s))
        << run.err.toStdString();

    run = runPrint({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"usage: tovaro-report print FILE.fp3"_s));

    run = runPrint({cards, u"--pages"_s, u"1-x"_s});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"页码范围无效: \"1-x\""_s) ||
                run.err.contains(u"在你的系统没有安装打印机"_s))
        << run.err.toStdString();
}
