// tovaro-report render and pdf: prepared-report files to PNG images and to one PDF.
#include "report/engine/frxPreviewPages.h"
#include "tests/support/gui_environment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;

namespace {

struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CommandRun run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

CommandRun tool(const QStringList &arguments)
{
    return run(QStringLiteral(TOVARO_BIN_DIR "/tovaro-report"), arguments);
}

const QString data = QStringLiteral(TOVARO_TEST_DATA);

class Engine : public TfrxEngineState {
public:
    Extended CurY() const override { return 0; }
    int TotalPages() const override { return 0; }
    bool FinalPass() const override { return true; }
};

// A prepared report of vertical cards, one per guest, placed as the engine places them.
void writeVerticalCards(const QString &fileName, const QStringList &guests)
{
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetPaperWidth(150);
    page->SetPaperHeight(220);
    auto *band = new TfrxMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetBounds(0, 0, 560, 820);
    QList<TfrxMemoView *> memos;
    const QStringList texts = {QString(), QStringLiteral("婚礼"), QStringLiteral("敬请光临")};
    for (int i = 0; i < texts.size(); ++i) {
        auto *memo = new TfrxMemoView(band);
        memo->SetName(QStringLiteral("m%1").arg(i));
        memo->SetBounds(480 - 80 * i, 60, 50, 400);
        FontValue font;
        font.name = QStringLiteral("@楷体");
        font.setSize(24);
        memo->SetFont(font);
        memo->SetRotation(270);
        memo->SetText(texts[i]);
        memos << memo;
    }
    Engine engine;
    TfrxPreviewPages pages(&report);
    pages.SetEngine(&engine);
    pages.BeginRun();
    pages.AddSourcePage(page);
    pages.SetAppendMode(true);
    pages.StartPass();
    for (const QString &guest : guests) {
        pages.AddPage(page);
        memos[0]->SetText(guest);
        pages.AddObject(band);
    }
    pages.FinishRun();
    pages.SaveToFile(fileName);
}

} // namespace

TEST(cmdRender, writesOneImagePerPageAtItsPaperSizeAndResolution)
{
    QTemporaryDir dir;
    CommandRun result = tool({QStringLiteral("render"), data + QStringLiteral("/cards.fp3"),
                              QStringLiteral("--png"), dir.filePath(QStringLiteral("all"))});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("all/page-0001.png"))).size(), QSize(794, 1123));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("all/page-0003.png"))).size(), QSize(380, 189));

    result = tool({QStringLiteral("render"), data + QStringLiteral("/cards.fp3"), QStringLiteral("--png"),
                   dir.filePath(QStringLiteral("some")), QStringLiteral("--dpi"), QStringLiteral("192"),
                   QStringLiteral("--pages"), QStringLiteral("2-")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("some"))).entryList(QDir::Files),
              (QStringList{QStringLiteral("page-0002.png"), QStringLiteral("page-0003.png")}));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("some/page-0002.png"))).size(), QSize(1587, 2245));
}

TEST(cmdRender, failuresGoToStderrWithExitOne)
{
    QTemporaryDir dir;
    CommandRun result = tool({QStringLiteral("render"), data + QStringLiteral("/无此文件.fp3"),
                              QStringLiteral("--png"), dir.path()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("无此文件.fp3: no such file")))
        << result.err.toStdString();
    result = tool({QStringLiteral("render"), data + QStringLiteral("/cards.fp3"), QStringLiteral("--png"),
                   dir.path(), QStringLiteral("--pages"), QStringLiteral("3-1")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("bad page range 3-1")));
    result = tool({QStringLiteral("render"), data + QStringLiteral("/broken.fp3"), QStringLiteral("--png"),
                   dir.path()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("broken.fp3: "))) << result.err.toStdString();
    result = tool({QStringLiteral("render"), data + QStringLiteral("/cards.fp3")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("usage: tovaro-report render")));
    result = tool({QStringLiteral("pdf"), data + QStringLiteral("/cards.fp3")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("usage: tovaro-report pdf FILE.fp3|TEMPLATE.fr3 OUT.pdf")));
}

TEST(cmdPdf, verticalCardsBecomeOnePdfPagePerGuestWithTheirNames)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString cards = dir.filePath(QStringLiteral("cards.fp3"));
    writeVerticalCards(cards, {QStringLiteral("王小明"), QStringLiteral("李娜"), QStringLiteral("张伟")});
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    const CommandRun result = tool({QStringLiteral("pdf"), cards, pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("3 pages written to %1\n").arg(pdf));
    const QString info = run(QStringLiteral("pdfinfo"), {pdf}).out;
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           3"))) << info.toStdString();
    const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out;
    // A column reads back whole, from the top down, not as one character per line.
    for (const QString &name : {QStringLiteral("王小明"), QStringLiteral("李娜"), QStringLiteral("张伟")})
        EXPECT_TRUE(text.contains(name)) << text.toStdString();

    // The same cards as images: the name column stands at the right, upright characters one below
    // the other, taller than wide.
    const CommandRun images = tool({QStringLiteral("render"), cards, QStringLiteral("--png"), dir.path()});
    ASSERT_EQ(images.exitCode, 0) << images.err.toStdString();
    const QImage page(dir.filePath(QStringLiteral("page-0001.png")));
    QRect ink;
    for (int y = 60; y < 460; ++y)
        for (int x = 480; x < 530; ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255)) ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), 2 * ink.width());
}

TEST(cmdFrontEnd, helpForTheFrontEndAndEachCommandAndTheVersion)
{
    CommandRun result = tool({QStringLiteral("--help")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    for (const char *command : {"calc", "info", "pdf", "prepare", "print", "printers", "render"})
        EXPECT_TRUE(result.out.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(command)))) << command;
    EXPECT_TRUE(result.out.contains(QStringLiteral("Exit status:\n  0  the command did its work")));
    result = tool({QStringLiteral("pdf"), QStringLiteral("--help")});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("usage: tovaro-report pdf FILE.fp3|TEMPLATE.fr3 OUT.pdf")))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("--dataset NAME=FILE.db:QUERY")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("Exit status:")));
    result = tool({QStringLiteral("--version")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("tovaro-report 0."))) << result.out.toStdString();
    // Misuse is a failure with the overview on stderr.
    result = tool({QStringLiteral("nonsense")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("unknown command \"nonsense\""))) << result.err.toStdString();
    EXPECT_EQ(tool({}).exitCode, 1);
}

TEST(cmdFrontEnd, aTemplateWithItsDataSetsIsPreparedAndWrittenInOneRun)
{
    QTemporaryDir dir;
    const QString guests = dir.filePath(QStringLiteral("来宾.csv"));
    QFile csv(guests);
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("\xE5\xA7\x93\xE5\x90\x8D\n\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E\n\xE6\x9D\x8E\xE5\xA8\x9C\n"); // 姓名, 王小明, 李娜
    csv.close();
    const QString card = QStringLiteral(TOVARO_SOURCE_DIR "/data/frx.fr3");
    const QString dataSet = QStringLiteral("frxdbdtst1=") + guests;
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    CommandRun result = tool({QStringLiteral("pdf"), card, pdf, QStringLiteral("--dataset"), dataSet});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("2 pages written to %1\n").arg(pdf));
    result = tool({QStringLiteral("render"), card, QStringLiteral("--png"), dir.filePath(QStringLiteral("png")),
                   QStringLiteral("--dataset"), dataSet, QStringLiteral("--pages"), QStringLiteral("2")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("png"))).entryList(QDir::Files),
              QStringList{QStringLiteral("page-0002.png")});
    // Data sets belong to templates; a missing data file fails the run.
    result = tool({QStringLiteral("pdf"), data + QStringLiteral("/cards.fp3"), pdf, QStringLiteral("--dataset"), dataSet});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("data sets go with a report template"))) << result.err.toStdString();
    result = tool({QStringLiteral("pdf"), card, pdf, QStringLiteral("--dataset"),
                   QStringLiteral("frxdbdtst1=") + dir.filePath(QStringLiteral("无.csv"))});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(result.err.isEmpty());
}
