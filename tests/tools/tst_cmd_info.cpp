// tovaro-report info: the page list of a prepared-report file, and clear failures.
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CommandRun runInfo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOVARO_BIN_DIR "/tovaro-report"),
                  QStringList{QStringLiteral("info")} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

const QString data = QStringLiteral(TOVARO_TEST_DATA);

} // namespace

TEST(cmdInfo, listsPagesWithSizesAndObjectCounts)
{
    const CommandRun run = runInfo({data + QStringLiteral("/cards.fp3")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("pages 3\n"
                                      "page 1: 210 x 297 mm, 3 objects\n"
                                      "page 2: 210 x 297 mm, 1 objects\n"
                                      "page 3: 100.5 x 50 mm, 0 objects\n"));
    EXPECT_FALSE(run.err.contains(QStringLiteral("tovaro-report:")));
}

TEST(cmdInfo, failuresGoToStderrWithExitOne)
{
    CommandRun run = runInfo({data + QStringLiteral("/无此文件.fp3")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("无此文件.fp3: no such file"))) << run.err.toStdString();

    run = runInfo({data + QStringLiteral("/broken.fp3")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("broken.fp3: Invalid file format"))) << run.err.toStdString();

    run = runInfo({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("usage: tovaro-report info FILE.fp3")));
}
