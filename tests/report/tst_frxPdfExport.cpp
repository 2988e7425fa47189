// The PDF as the screen shows it, read back by poppler and qpdf: styles a face lacks synthesised,
// dashed and dotted frames, faces without outlines (Type 1, colour emoji), columns of vertical text
// and one embedded font per face.
#include "report/output/frxPageExport.h"

#include "report/output/frxPainter.h"
#include "report/base/frxPageGeometry.h"
#include "tests/report/support/pdfinfo.h"
#include "tests/support/gui_environment.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace frx;

namespace {

struct Item {
    QString text;
    QString face;
    unsigned style = 0;
    TfrxFrameStyle frame = fsSolid;
    bool vertical = false;
};

// One page of 120 x 100 mm: the items one below the other (vertical ones side by side on the right),
// each 14 pt in a box of 300 x 40 report units, a frame of width 2 where one is asked for.
std::unique_ptr<TfrxReportPage> pageOf(const std::vector<Item> &items)
{
    auto page = std::make_unique<TfrxReportPage>();
    page->SetPaperWidth(120);
    page->SetPaperHeight(100);
    auto *band = new TfrxMasterData(page.get());
    band->SetBounds(0, 0, 450, 370);
    int row = 0, column = 0;
    for (const Item &item : items) {
        auto *memo = new TfrxMemoView(band);
        if (item.vertical) {
            memo->SetBounds(400 - 40 * column++, 10, 36, 300);
            memo->SetRotation(270);
        } else {
            memo->SetBounds(10, 10 + 50 * row++, 300, 40);
        }
        FontValue font;
        font.name = item.face;
        font.setSize(14);
        font.style = item.style;
        memo->SetFont(font);
        memo->SetText(item.text);
        if (item.frame != fsSolid) {
            memo->Frame().Typ = ftLeft | ftRight | ftTop | ftBottom;
            memo->Frame().SetStyle(item.frame);
            memo->Frame().SetWidth(2);
        }
    }
    return page;
}

bool haveTools(std::initializer_list<const char *> tools, QString *missing)
{
    for (const char *tool : tools)
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            *missing = QString::fromLatin1(tool) + QStringLiteral(" is not installed");
            return false;
        }
    return true;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

struct Output {
    QTemporaryDir dir;
    QString pdf;
    QImage png;     // our own rendering at 96 dpi, grey
    QImage fromPdf; // the PDF rendered by poppler at 96 dpi, grey
};

// The page as PDF (at the writer's own resolution) and as PNG, both seen at 96 dpi.
std::unique_ptr<Output> render(TfrxReportPage &page)
{
    auto out = std::make_unique<Output>();
    out->pdf = out->dir.filePath(QStringLiteral("page.pdf"));
    const TfrxPageProvider provider = [&page](int) { return &page; };
    QString error;
    if (!frxExportPdf(provider, {0}, 1, out->pdf, &error)) {
        ADD_FAILURE() << error.toStdString();
        return out;
    }
    if (frxExportPng(provider, {0}, 1, out->dir.path(), 96, &error, 1) != 1) ADD_FAILURE() << error.toStdString();
    out->png = QImage(out->dir.filePath(QStringLiteral("page-0001.png"))).convertToFormat(QImage::Format_Grayscale8);
    out->fromPdf = testing_support::pdfPageImage(out->pdf, 1, 96);
    return out;
}

// The dark pixels of `image` within `area`.
int inkIn(const QImage &image, const QRect &area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += image.constScanLine(y)[x] < 128;
    return ink;
}

// The runs of dark pixels along row y from x0 to x1.
int runsIn(const QImage &image, int y, int x0, int x1)
{
    int runs = 0;
    bool dark = false;
    for (int x = x0; x <= x1; ++x) {
        const bool now = image.constScanLine(y)[x] < 128;
        runs += now && !dark;
        dark = now;
    }
    return runs;
}

// Item n's box at 96 dpi (report units are pixels at 96 dpi; the page has no margins set).
QRect boxOf(const TfrxReportPage &page, int n)
{
    const auto *band = static_cast<const TfrxComponent *>(page.Objects().front());
    const auto *memo = static_cast<const TfrxView *>(band->Objects()[n]);
    const auto bounds = memo->GetRealBounds();
    const QPointF origin(marginOriginX(page, false, 1, 0), marginOriginY(page, 1, 0));
    return QRectF(QPointF(bounds.left, bounds.top) + origin, QPointF(bounds.right, bounds.bottom) + origin)
        .toAlignedRect();
}

} // namespace

TEST(PdfFaithful, boldItalicAndFramesLookAsOnTheScreen)
{
    QString missing;
    if (!haveTools({"pdftoppm"}, &missing)) GTEST_SKIP() << missing.toStdString();
    // The Kai face has neither bold nor italic: both are synthesised, on the screen and in the file.
    auto page = pageOf({{QStringLiteral("王小明先生台启"), QStringLiteral("楷体")},
                        {QStringLiteral("王小明先生台启"), QStringLiteral("楷体"), platform::fsBold},
                        {QStringLiteral("王小明先生台启"), QStringLiteral("楷体"), platform::fsItalic},
                        {QStringLiteral("敬请光临"), QStringLiteral("楷体"), 0, fsDot},
                        {QStringLiteral("敬请光临"), QStringLiteral("楷体"), 0, fsDash}});
    const auto out = render(*page);
    ASSERT_FALSE(out->fromPdf.isNull());
    ASSERT_EQ(out->fromPdf.size(), out->png.size());

    const QRect regular = boxOf(*page, 0), bold = boxOf(*page, 1), italic = boxOf(*page, 2);
    const int regularInk = inkIn(out->png, regular);
    ASSERT_GT(regularInk, 300);
    for (const QRect &box : {regular, bold, italic}) {
        const double ratio = double(inkIn(out->fromPdf, box)) / inkIn(out->png, box);
        EXPECT_NEAR(ratio, 1.0, 0.15) << box.y();
    }
    EXPECT_GT(inkIn(out->fromPdf, bold), regularInk * 1.15);
    // The slant moves the tops of the glyphs to the right, as on the screen.
    const QRect leanPng = testing_support::darkBounds(out->png.copy(italic));
    const QRect leanPdf = testing_support::darkBounds(out->fromPdf.copy(italic));
    EXPECT_LE(std::abs(leanPng.right() - leanPdf.right()), 2);
    EXPECT_LE(std::abs(leanPng.left() - leanPdf.left()), 2);

    // Dots and dashes along the top edge of each frame: as many as on the screen, not a solid line.
    for (int n : {3, 4}) {
        const QRect frame = boxOf(*page, n);
        int pngRuns = 0, pdfRuns = 0;
        for (int y = frame.top() - 1; y <= frame.top() + 1; ++y) {
            pngRuns = std::max(pngRuns, runsIn(out->png, y, frame.left() + 4, frame.right() - 4));
            pdfRuns = std::max(pdfRuns, runsIn(out->fromPdf, y, frame.left() + 4, frame.right() - 4));
        }
        EXPECT_GT(pngRuns, 5) << n;
        EXPECT_NEAR(pdfRuns, pngRuns, 2) << n;
    }
}

TEST(PdfFaithful, facesWithoutOutlinesAreDrawnAndReadBack)
{
    QString missing;
    if (!haveTools({"pdftoppm", "pdftotext", "pdffonts", "qpdf"}, &missing)) GTEST_SKIP() << missing.toStdString();
    // A Type 1 face (Ghostscript's fonts) and a colour emoji in a name.
    const QString type1 = QStringLiteral("/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1");
    if (!QFile::exists(type1)) GTEST_SKIP() << "fonts-urw-base35 is not installed";
    const int added = QFontDatabase::addApplicationFont(type1);
    ASSERT_GE(added, 0);
    const QString nimbus = QFontDatabase::applicationFontFamilies(added).value(0);
    const bool emoji = QFontDatabase::families().contains(QStringLiteral("Noto Color Emoji"));
    auto page = pageOf({{QStringLiteral("Dear Guest"), nimbus},
                        {emoji ? QStringLiteral("王小明🎉") : QStringLiteral("王小明"), QStringLiteral("楷体")}});
    const auto out = render(*page);
    ASSERT_FALSE(out->fromPdf.isNull());
    for (int n : {0, 1}) {
        const QRect box = boxOf(*page, n);
        const int png = inkIn(out->png, box);
        EXPECT_GT(png, 100) << n;
        EXPECT_NEAR(double(inkIn(out->fromPdf, box)) / png, 1.0, 0.2) << n;
    }
    EXPECT_TRUE(run(QStringLiteral("qpdf"), {QStringLiteral("--check"), out->pdf}).contains(QStringLiteral("No syntax")));
    // Every font in the file is embedded; the Type 1 face is none of them.
    const QString fonts = run(QStringLiteral("pdffonts"), {out->pdf});
    EXPECT_FALSE(fonts.contains(QStringLiteral("Nimbus"))) << fonts.toStdString();
    for (const QString &line : fonts.split(u'\n', Qt::SkipEmptyParts).mid(2))
        EXPECT_TRUE(line.contains(QRegularExpression(QStringLiteral(R"(\s+yes\s+yes\s+yes\s)")))) << line.toStdString();
    const QString text = run(QStringLiteral("pdftotext"), {out->pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Dear Guest"))) << text.toStdString();
    EXPECT_TRUE(text.contains(emoji ? QStringLiteral("王小明🎉") : QStringLiteral("王小明"))) << text.toStdString();
    QFontDatabase::removeApplicationFont(added);
}

TEST(PdfFaithful, oneFontPerFaceAndColumnsReadInTurn)
{
    QString missing;
    if (!haveTools({"pdffonts", "pdftotext"}, &missing)) GTEST_SKIP() << missing.toStdString();
    // 黑体 is Noto Sans CJK SC under another name: one face, one font in the file.
    auto page = pageOf({{QStringLiteral("十月一日"), QStringLiteral("黑体")},
                        {QStringLiteral("晚六时"), QStringLiteral("Noto Sans CJK SC")},
                        {QStringLiteral("喜来登酒店"), QStringLiteral("@楷体"), 0, fsSolid, true},
                        {QStringLiteral("二楼宴会厅"), QStringLiteral("@楷体"), 0, fsSolid, true}});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fonts.pdf"));
    QString error;
    ASSERT_TRUE(frxExportPdf([&page](int) { return page.get(); }, {0}, 1, path, &error)) << error.toStdString();
    const QString fonts = run(QStringLiteral("pdffonts"), {path});
    EXPECT_EQ(fonts.count(QStringLiteral("NotoSansCJK")), 1) << fonts.toStdString();
    EXPECT_EQ(fonts.count(QStringLiteral("UKai")), 1) << fonts.toStdString();

    // Each column reads as one piece, in poppler's reading order as well as in its raw one.
    for (const QStringList &mode : {QStringList(), QStringList{QStringLiteral("-raw")}}) {
        QString text = run(QStringLiteral("pdftotext"), mode + QStringList{path, QStringLiteral("-")});
        text.remove(QRegularExpression(QStringLiteral("\\s")));
        for (const char *words : {"十月一日", "晚六时", "喜来登酒店", "二楼宴会厅"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(words))) << words << "\n" << text.toStdString();
    }
}
