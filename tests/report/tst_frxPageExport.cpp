// PNG and PDF output of prepared pages, checked with the decoded images and poppler's tools.
#include "report/output/frxPageExport.h"

#include "report/output/frxPainter.h"
#include "report/objects/frxPicture.h"
#include "report/xml/frxXMLSerializer.h"
#include "tests/report/support/pdfinfo.h"
#include "tests/report/support/reportfixture.h"
#include "tests/support/gui_environment.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// An invitation card: the guest's name in a Kai face (a TrueType collection), the venue standing as
// a column in a vertical "@" face, the date in Noto Sans CJK (CFF outlines), a frame and a line.
std::vector<std::unique_ptr<TfrxReportPage>> invitations(const QStringList &guests)
{
    std::vector<std::unique_ptr<TfrxReportPage>> pages;
    const auto fontOf = [](const QString &name, int size) {
        FontValue font;
        font.name = name;
        font.setSize(size);
        return font;
    };
    for (const QString &guest : guests) {
        auto page = std::make_unique<TfrxReportPage>();
        page->SetPaperWidth(100);
        page->SetPaperHeight(150);
        auto *band = new TfrxMasterData(page.get());
        band->SetBounds(0, 0, 360, 500);
        auto *name = new TfrxMemoView(band);
        name->SetBounds(20, 20, 220, 50);
        name->SetFont(fontOf(QStringLiteral("楷体"), 24));
        name->SetText(guest + QStringLiteral(" 先生"));
        auto *venue = new TfrxMemoView(band);
        venue->SetBounds(250, 20, 50, 300);
        venue->SetFont(fontOf(QStringLiteral("@楷体"), 20));
        venue->SetRotation(270);
        venue->SetText(QStringLiteral("喜来登酒店（二楼）"));
        auto *date = new TfrxMemoView(band);
        date->SetBounds(20, 100, 220, 40);
        date->SetFont(fontOf(QStringLiteral("Noto Sans CJK SC"), 14));
        date->SetText(QStringLiteral("十月一日 晚六时"));
        date->Frame().Typ = ftLeft | ftRight | ftTop | ftBottom;
        date->Frame().DropShadow = true;
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
    // 150 x 220 mm is 425.2 x 623.62 points; the third page lies on its side.
    EXPECT_TRUE(info.contains(QStringLiteral("Page    1 size:  425.2 x 623.62 pts"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Page    3 size:  623.62 x 425.2 pts"))) << info.toStdString();
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

TEST(PdfExport, otherToolsFindTheFileSoundWithSubsetFontsAndEveryText)
{
    for (const char *tool : {"qpdf", "pdffonts", "pdftotext"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    auto pages = invitations({QStringLiteral("王小明"), QStringLiteral("欧阳娜娜")});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cards.pdf"));
    QString error;
    ASSERT_TRUE(frxExportPdf(providerOf(pages), {0, 1}, 2, path, &error)) << error.toStdString();

    QProcess check;
    check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    check.waitForFinished(60000);
    const QString report = QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
    EXPECT_EQ(check.exitCode(), 0) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("No syntax or stream encoding errors found"))) << report.toStdString();

    // Every font embedded as a tagged subset with its map back to the characters: the Kai face as
    // TrueType, Noto Sans CJK with its CFF outlines.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_GE(fonts.size(), 2);
    static const QRegularExpression subset(QStringLiteral(R"(^[A-Z]{6}\+\S+\s.*Identity-H\s+yes\s+yes\s+yes)"));
    for (const QString &font : fonts)
        EXPECT_TRUE(subset.match(font).hasMatch()) << font.toStdString();
    EXPECT_EQ(fonts.filter(QStringLiteral("CID TrueType")).size(), 1);
    EXPECT_EQ(fonts.filter(QStringLiteral("CID Type 0C")).size(), 1);

    QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    // Each guest on one card; the date and the venue column (its brackets drawn as vertical forms)
    // on both.
    const std::pair<const char *, int> expected[] = {
        {"王小明先生", 1}, {"欧阳娜娜先生", 1}, {"十月一日晚六时", 2}, {"喜来登酒店（二楼）", 2}};
    for (const auto &[words, count] : expected)
        EXPECT_EQ(text.count(QString::fromUtf8(words)), count) << words << "\n" << text.toStdString();
}

TEST(PdfExport, samePagesGiveTheSameBytes)
{
    auto pages = invitations({QStringLiteral("王小明"), QStringLiteral("李娜")});
    QTemporaryDir dir;
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    QByteArray files[2];
    for (int i = 0; i < 2; ++i) {
        // The same file name: the title is taken from it.
        const QString path = dir.filePath(QStringLiteral("%1/cards.pdf").arg(i));
        QDir(dir.path()).mkdir(QString::number(i));
        QString error;
        ASSERT_TRUE(frxExportPdf(providerOf(pages), {0, 1}, 2, path, &error)) << error.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        files[i] = file.readAll();
    }
    qunsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(files[0], files[1]);
}

TEST(PdfExport, rendersLikeThePngOfThePage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    auto pages = invitations({QStringLiteral("王小明")});
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(frxExportPdf(providerOf(pages), {0}, 1, dir.filePath(QStringLiteral("card.pdf")), &error, 96))
        << error.toStdString();
    ASSERT_EQ(frxExportPng(providerOf(pages), {0}, 1, dir.path(), 96, &error, 1), 1) << error.toStdString();
    const QImage png =
        QImage(dir.filePath(QStringLiteral("page-0001.png"))).convertToFormat(QImage::Format_Grayscale8);
    const QImage pdf = testing_support::pdfPageImage(dir.filePath(QStringLiteral("card.pdf")), 1, 96);
    ASSERT_FALSE(pdf.isNull());
    ASSERT_EQ(pdf.size(), png.size());
    // Both rasterisers smooth glyph edges their own way, a pixel either way: a pixel of one image
    // counts as different when no pixel of the other within one pixel of it has nearly its grey.
    const auto differing = [](const QImage &a, const QImage &b) {
        int count = 0;
        for (int y = 1; y + 1 < a.height(); ++y)
            for (int x = 1; x + 1 < a.width(); ++x) {
                bool near = false;
                for (int dy = -1; dy <= 1 && !near; ++dy)
                    for (int dx = -1; dx <= 1 && !near; ++dx)
                        near = std::abs(a.constScanLine(y)[x] - b.constScanLine(y + dy)[x + dx]) <= 64;
                count += !near;
            }
        return count;
    };
    int ink = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            ink += png.constScanLine(y)[x] < 128;
    EXPECT_GT(ink, 500);
    EXPECT_LT(differing(png, pdf), ink / 20);
    EXPECT_LT(differing(pdf, png), ink / 20);
    const QRect inkPng = testing_support::darkBounds(png), inkPdf = testing_support::darkBounds(pdf);
    EXPECT_LE((inkPng.topLeft() - inkPdf.topLeft()).manhattanLength(), 2);
    EXPECT_LE((inkPng.bottomRight() - inkPdf.bottomRight()).manhattanLength(), 2);
}

// A real report run: each guest's band is a bookmark and an anchor, a text object links to the
// anchor of the second guest and another to an address, and a photograph taken from a JPEG file.
TEST(PdfExport, aPreparedReportKeepsItsBookmarksLinksAndJpegFile)
{
    if (QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty()) GTEST_SKIP() << "qpdf is not installed";
    reportfixture::Report f;
    f.setGuests({QStringLiteral("王小明"), QStringLiteral("李娜"), QStringLiteral("张伟")});
    // One band a page: the paper is 290 mm (1096 units) high.
    TfrxMasterData *row = f.master(QStringLiteral("MasterData1"), 0, 700);
    row->OutlineText = QStringLiteral("<frxdbdtst1.\"姓名\">");
    row->OnAfterPrint = QStringLiteral("Row");
    f.report.ScriptText = {QStringLiteral("procedure Row(Sender: TfrxComponent);"),
                           QStringLiteral("begin Engine.AddAnchor(<frxdbdtst1.\"姓名\">); end;"),
                           QStringLiteral("begin end.")};
    reportfixture::Report::memo(row, QStringLiteral("ToLiNa"), 0, 20, QStringLiteral("李娜"))->URL =
        QStringLiteral("#李娜");
    reportfixture::Report::memo(row, QStringLiteral("Site"), 40, 20, QStringLiteral("网站"))->URL =
        QStringLiteral("https://example.com/喜宴");
    QImage photo(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 6, y * 8, 128));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(photo.save(&buffer, "JPEG"));
    PropertyStreamWriter stream;
    stream.WriteName(QStringLiteral("Data"));
    stream.WriteBinary(QByteArray("\x0aTJPEGImage") + jpeg);
    auto *picture = new TfrxPictureView(row);
    picture->SetName(QStringLiteral("Photo"));
    picture->SetBounds(400, 0, 160, 120);
    picture->Picture = ReadPictureStream(stream.Data(), picture->StoredPicture);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 3);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cards.pdf"));
    QString error;
    ASSERT_TRUE(frxExportPdf(f.pages(), {0, 1, 2}, path, &error)) << error.toStdString();
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--json=2"), path});
    qpdf.waitForFinished(60000);
    const QJsonObject json = QJsonDocument::fromJson(qpdf.readAllStandardOutput()).object();
    const QJsonArray pages = json[u"pages"].toArray();
    ASSERT_EQ(pages.size(), 3);
    const QJsonArray outlines = json[u"outlines"].toArray();
    ASSERT_EQ(outlines.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(outlines[i][u"title"].toString(), f.names[i]);
        EXPECT_EQ(outlines[i][u"destpageposfrom1"].toInt(), i + 1);
    }

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Every page links to the page of the anchor of 李娜 (the second) and to the address.
    int anchorPage = -1, top = 0;
    ASSERT_TRUE(f.pages().FindAnchor(QStringLiteral("李娜"), anchorPage, top));
    EXPECT_EQ(anchorPage, 1);
    const QByteArray target = pages[anchorPage][u"object"].toString().toLatin1();
    EXPECT_EQ(bytes.count("/Subtype/Link"), 6);
    EXPECT_EQ(bytes.count("/Border[0 0 0]/Dest[" + target + "/XYZ 0 "), 3) << target.constData();
    EXPECT_EQ(bytes.count("/URI(https://example.com/%E5%96%9C%E5%AE%B4)"), 3);
    // The photograph is the JPEG file itself, once for all pages.
    EXPECT_EQ(bytes.count("/Filter/DCTDecode/Length " + QByteArray::number(jpeg.size()) + ">>\nstream\n" + jpeg +
                          "\nendstream"),
              1);
}
