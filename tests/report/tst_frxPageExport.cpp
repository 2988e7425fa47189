// PNG and PDF output of prepared pages, checked with the decoded images and poppler's tools.
#include "report/frxPageExport.h"

#include "report/frxPainter.h"
#include "tests/support/gui_environment.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace frx;

namespace {

// Cards of 150 x 220 mm (every third one turned to landscape) with the guest's name in a Kai face.
std::vector<std::unique_ptr<TfrxReportPage>> cards(const QStringList &guests)
{
    std::vector<std::unique_ptr<TfrxReportPage>> pages;
    for (qsizetype i = 0; i < guests.size(); ++i) {
        auto page = std::make_unique<TfrxReportPage>();
        page->SetPaperWidth(150);
        page->SetPaperHeight(220);
        if (i % 3 == 2) page->SetOrientation(poLandscape);
        auto *band = new TfrxMasterData(page.get());
        band->SetBounds(0, 0, 500, 500);
        auto *name = new TfrxMemoView(band);
        name->SetBounds(20, 20, 300, 60);
        FontValue font;
        font.name = QStringLiteral("楷体");
        font.setSize(28);
        name->SetFont(font);
        name->SetText(guests[i] + QStringLiteral(" 第[TOTALPAGES#]张"));
        pages.push_back(std::move(page));
    }
    return pages;
}

TfrxPageProvider providerOf(std::vector<std::unique_ptr<TfrxReportPage>> &pages)
{
    return [&pages](int index) { return index < int(pages.size()) ? pages[size_t(index)].get() : nullptr; };
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(PageRange, namesPagesFromOneAndDropsThosePastTheEnd)
{
    QList<int> indices;
    ASSERT_TRUE(frxParsePageRange(QStringLiteral("1-3, 5,8-"), 10, indices));
    EXPECT_EQ(indices, (QList<int>{0, 1, 2, 4, 7, 8, 9}));
    ASSERT_TRUE(frxParsePageRange(QString(), 3, indices));
    EXPECT_EQ(indices, (QList<int>{0, 1, 2}));
    ASSERT_TRUE(frxParsePageRange(QStringLiteral("12"), 10, indices));
    EXPECT_TRUE(indices.isEmpty());
    ASSERT_TRUE(frxParsePageRange(QStringLiteral("-2"), 10, indices));
    EXPECT_EQ(indices, (QList<int>{0, 1}));
    for (const char *bad : {"3-1", "a", "0", "1-2-3", "2,,3", "1-x"})
        EXPECT_FALSE(frxParsePageRange(QString::fromLatin1(bad), 10, indices)) << bad;
}

TEST(PngExport, writesOneImagePerPageAtItsPaperSize)
{
    auto pages = cards({QStringLiteral("王小明"), QStringLiteral("李娜"), QStringLiteral("张伟")});
    QTemporaryDir dir;
    QString error;
    const int written =
        frxExportPng(providerOf(pages), {0, 1, 2}, 3, dir.filePath(QStringLiteral("out")), 96, &error, 2);
    ASSERT_EQ(written, 3) << error.toStdString();
    const QImage portrait(dir.filePath(QStringLiteral("out/page-0001.png")));
    const QImage landscape(dir.filePath(QStringLiteral("out/page-0003.png")));
    EXPECT_EQ(portrait.size(), QSize(567, 831)); // round(150 x 3.77953), round(220 x 3.77953)
    EXPECT_EQ(landscape.size(), QSize(831, 567));
    EXPECT_EQ(portrait.dotsPerMeterX(), 3780);
    // The name lands inside its text object's box.
    bool ink = false;
    for (int y = 20; y < 80 && !ink; ++y)
        for (int x = 20; x < 320 && !ink; ++x)
            ink = portrait.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_TRUE(ink);
}

TEST(PngExport, failsWithAReasonWhenTheFolderOrAPageIsMissing)
{
    auto pages = cards({QStringLiteral("王小明")});
    QString error;
    EXPECT_EQ(frxExportPng(providerOf(pages), {0}, 1, QStringLiteral("/proc/none"), 96, &error), -1);
    EXPECT_FALSE(error.isEmpty());
    QTemporaryDir dir;
    error.clear();
    EXPECT_EQ(frxExportPng(providerOf(pages), {0, 5}, 1, dir.path(), 96, &error), -1);
    EXPECT_EQ(error, QStringLiteral("page 6 cannot be read"));
    // A page that throws ends the export with its reason; the encoders are joined, the run goes on.
    const TfrxPageProvider provider = providerOf(pages);
    const TfrxPageProvider throwing = [&provider](int index) -> TfrxReportPage * {
        if (index == 1) throw platform::FileError(QStringLiteral("损坏的页面"));
        return provider(0);
    };
    error.clear();
    EXPECT_EQ(frxExportPng(throwing, {0, 1, 0}, 3, dir.path(), 96, &error, 2), -1);
    EXPECT_EQ(error, QStringLiteral("page 2: 损坏的页面"));
}

TEST(PdfExport, onePdfPagePerPageWithItsSizeOrientationAndText)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    auto pages = cards({QStringLiteral("王小明"), QStringLiteral("李娜"), QStringLiteral("张伟")});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cards.pdf"));
    QString error;
    ASSERT_TRUE(frxExportPdf(providerOf(pages), {0, 1, 2}, 3, path, &error)) << error.toStdString();
    const QString info = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                         QStringLiteral("-l"), QStringLiteral("3"), path});
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           3"))) << info.toStdString();
    // 150 x 220 mm is 425 x 624 whole points; the third page lies on its side.
    EXPECT_TRUE(info.contains(QStringLiteral("Page    1 size:  425 x 624 pts"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Page    3 size:  624 x 425 pts"))) << info.toStdString();
    const QString fonts = run(QStringLiteral("pdffonts"), {path});
    static const QRegularExpression embedded(QStringLiteral(R"(UKai\S*\s+CID TrueType\s+Identity-H\s+yes)"));
    EXPECT_TRUE(embedded.match(fonts).hasMatch()) << fonts.toStdString();
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("王小明 第3张"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("张伟"))) << text.toStdString();
}

TEST(PdfExport, unwritableFileIsReported)
{
    auto pages = cards({QStringLiteral("王小明")});
    QString error;
    EXPECT_FALSE(frxExportPdf(providerOf(pages), {0}, 1, QStringLiteral("/proc/none/cards.pdf"), &error));
    EXPECT_EQ(error, QStringLiteral("cannot write /proc/none/cards.pdf"));
    EXPECT_FALSE(frxExportPdf(providerOf(pages), {}, 1, QStringLiteral("/tmp/x.pdf"), &error));
}
