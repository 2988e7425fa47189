// PDF files of our own writer read back by qpdf: structure, bookmarks, links and information.
#include "platform/pdfcanvas.h"

#include "tests/support/gui_environment.h"

#include <QFile>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

QByteArray qpdf(const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("qpdf"), arguments);
    process.waitForFinished(60000);
    if (exitCode) *exitCode = process.exitCode();
    return process.readAllStandardOutput() + process.readAllStandardError();
}

// Two pages of A6, the second on its side, with shapes of every kind, bookmarks and links.
void writeBooklet(const QString &path)
{
    PdfDocument document(2);
    ASSERT_TRUE(document.open(path));
    PdfCanvas canvas(document, 300);
    canvas.beginPage(QSizeF(297.64, 419.53));
    canvas.setBrush({BrushStyle::DiagCross, 0x0000FF});
    canvas.rectangle(10, 10, 300, 200);
    Pen dashed;
    dashed.style = PenStyle::Dash;
    dashed.color = 0xFF0000;
    canvas.setPen(dashed);
    canvas.ellipse(50, 50, 250, 150);
    canvas.saveClip();
    canvas.intersectClipRect(QRect(0, 0, 100, 100));
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(qRgba(255, 0, 0, 128));
    canvas.drawImage(QRect(20, 20, 80, 80), picture);
    canvas.restoreClip();
    canvas.addLink(QRect(10, 10, 290, 190), QStringLiteral("https://example.com/喜宴?a=(1)"));
    canvas.addLink(QRect(10, 300, 100, 100), 1, 600);
    canvas.endPage();
    canvas.beginPage(QSizeF(419.53, 297.64));
    canvas.setBrush({BrushStyle::Solid, 0x00FF00});
    canvas.polygon(QPolygon({QPoint(10, 10), QPoint(200, 10), QPoint(100, 200)}));
    canvas.drawImage(QRect(300, 300, 40, 40), picture);
    canvas.endPage();

    PdfInfo info{QStringLiteral("婚礼请柬"), QStringLiteral("王小明"), QStringLiteral("宾客名单"),
                 QDateTime(QDate(2024, 5, 20), QTime(10, 30), Qt::UTC)};
    std::vector<PdfOutlineEntry> outline{{QStringLiteral("第一桌"), 0, 0, {{QStringLiteral("李娜"), 1, 120, {}}}},
                                         {QStringLiteral("第二桌"), 1, 0, {}}};
    QString error;
    ASSERT_TRUE(document.finish(info, outline, &error)) << error.toStdString();
}

} // namespace

TEST(PdfDocument, qpdfReadsPagesBookmarksLinksAndInformation)
{
    if (QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty()) GTEST_SKIP() << "qpdf is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("booklet.pdf"));
    writeBooklet(path);
    int status = -1;
    const QByteArray check = qpdf({QStringLiteral("--check"), path}, &status);
    EXPECT_EQ(status, 0) << check.toStdString();

    const QJsonObject json = QJsonDocument::fromJson(qpdf({QStringLiteral("--json=2"), path})).object();
    const QJsonArray pages = json[u"pages"].toArray();
    ASSERT_EQ(pages.size(), 2);
    // The repeated picture is one image object for both pages.
    EXPECT_EQ(pages[0][u"images"][0][u"object"], pages[1][u"images"][0][u"object"]);

    const QJsonArray outlines = json[u"outlines"].toArray();
    ASSERT_EQ(outlines.size(), 2);
    EXPECT_EQ(outlines[0][u"title"].toString(), QStringLiteral("第一桌"));
    EXPECT_EQ(outlines[0][u"destpageposfrom1"].toInt(), 1);
    EXPECT_EQ(outlines[0][u"kids"][0][u"title"].toString(), QStringLiteral("李娜"));
    EXPECT_EQ(outlines[0][u"kids"][0][u"destpageposfrom1"].toInt(), 2);
    EXPECT_EQ(outlines[1][u"destpageposfrom1"].toInt(), 2);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // An address is 7-bit: the UTF-8 of other characters percent-encoded.
    EXPECT_TRUE(bytes.contains("/URI(https://example.com/%E5%96%9C%E5%AE%B4?a=\\(1\\))"));
    // The inner link lands on the second page (on its side: 297.64 high), 600 px = 144 pt from its top.
    EXPECT_TRUE(bytes.contains("/XYZ 0 153.64 null]"));
    EXPECT_TRUE(bytes.contains("/CreationDate (D:20240520103000Z)"));

    const QJsonObject info = json[u"qpdf"][1].toObject();
    QString title;
    for (auto it = info.begin(); it != info.end(); ++it)
        if (it.value()[u"value"][u"/Title"].isString()) title = it.value()[u"value"][u"/Title"].toString();
    EXPECT_EQ(title, QStringLiteral("u:婚礼请柬"));
}

TEST(PdfDocument, noPageIsAFailureAndFewerPagesThanAnnouncedStillGiveASoundFile)
{
    if (QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty()) GTEST_SKIP() << "qpdf is not installed";
    QTemporaryDir dir;
    QString error;
    {
        PdfDocument empty(3);
        ASSERT_TRUE(empty.open(dir.filePath(QStringLiteral("empty.pdf"))));
        EXPECT_FALSE(empty.finish({}, {}, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    // Three pages announced, one made, the second of them a page too large for readers' units.
    const QString path = dir.filePath(QStringLiteral("short.pdf"));
    PdfDocument document(3);
    ASSERT_TRUE(document.open(path));
    PdfCanvas canvas(document, 72);
    canvas.beginPage(QSizeF(20000, 400));
    canvas.setBrush({BrushStyle::Solid, 0xFF});
    canvas.fillRect(100, 100, 19000, 300);
    canvas.addLink(QRect(100, 100, 200, 200), QStringLiteral("https://example.com/"));
    canvas.endPage();
    ASSERT_TRUE(document.finish({}, {}, &error)) << error.toStdString();
    int status = -1;
    const QByteArray check = qpdf({QStringLiteral("--check"), path}, &status);
    EXPECT_EQ(status, 0) << check.toStdString();
    EXPECT_FALSE(check.contains("WARNING")) << check.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(qpdf({QStringLiteral("--json=2"), path})).object();
    ASSERT_EQ(json[u"pages"].toArray().size(), 1);
    // 20,000 points in units of two points: 10,000 wide, within what readers take.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("/MediaBox[0 0 10000 200]/UserUnit 2")) << bytes.left(2000).toStdString();
    EXPECT_TRUE(bytes.contains("/Rect[50 50 150 150]"));
}

namespace {

QString tool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

// Lines of text in the faces named, one below the other, at 300 dpi.
void writeFaces(const QString &path, const std::vector<std::tuple<QString, unsigned, QString>> &lines)
{
    PdfDocument document(1);
    ASSERT_TRUE(document.open(path));
    PdfCanvas canvas(document, 300);
    canvas.beginPage(QSizeF(300, 400));
    int y = 40;
    for (const auto &[face, style, text] : lines) {
        FontValue font;
        font.name = face;
        font.pixelsPerInch = 300;
        font.setSize(14);
        font.style = style;
        canvas.setFont(font);
        canvas.textOut(40, y, text);
        y += 100;
    }
    canvas.endPage();
    QString error;
    ASSERT_TRUE(document.finish({}, {}, &error)) << error.toStdString();
}

} // namespace

TEST(PdfFonts, oneFontPerFaceSmallSubsetsAndFacesWithoutOutlinesDrawnAsShapes)
{
    for (const char *program : {"qpdf", "pdffonts", "pdftotext"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            GTEST_SKIP() << program << " is not installed";
    const QString type1 = QStringLiteral("/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1");
    if (!QFile::exists(type1)) GTEST_SKIP() << "fonts-urw-base35 is not installed";
    const int added = QFontDatabase::addApplicationFont(type1);
    ASSERT_GE(added, 0);
    const QString nimbus = QFontDatabase::applicationFontFamilies(added).value(0);
    // 黑体 is Noto Sans CJK SC under another name, asked bold or not the same face; the emoji comes
    // from the colour emoji face, when there is one.
    const bool emoji = QFontDatabase::families().contains(QStringLiteral("Noto Color Emoji"));
    const QString name = emoji ? QStringLiteral("王小明🎉") : QStringLiteral("王小明");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("faces.pdf"));
    writeFaces(path, {{QStringLiteral("黑体"), 0, QStringLiteral("十月一日")},
                      {QStringLiteral("Noto Sans CJK SC"), 0, QStringLiteral("晚六时")},
                      {QStringLiteral("黑体"), fsBold, QStringLiteral("恭候")},
                      {QStringLiteral("楷体"), 0, name},
                      {nimbus, 0, QStringLiteral("Dear Guest")}});
    QFontDatabase::removeApplicationFont(added);

    int status = -1;
    const QByteArray check = qpdf({QStringLiteral("--check"), path}, &status);
    EXPECT_EQ(status, 0) << check.toStdString();
    // The bold Noto is a file of its own; the Type 1 and emoji faces are drawn, not embedded, with
    // invisible text in DejaVu Sans over them.
    const QString fonts = tool(QStringLiteral("pdffonts"), {path});
    EXPECT_EQ(fonts.count(QStringLiteral("NotoSansCJKsc-Regular")), 1) << fonts.toStdString();
    EXPECT_FALSE(fonts.contains(QStringLiteral("Nimbus"))) << fonts.toStdString();
    EXPECT_FALSE(fonts.contains(QStringLiteral("Emoji"))) << fonts.toStdString();
    const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(rows.size(), 4) << fonts.toStdString();
    for (const QString &row : rows)
        EXPECT_TRUE(row.contains(QRegularExpression(QStringLiteral(R"(\s+yes\s+yes\s+yes\s)")))) << row.toStdString();

    // The CFF subset of nine glyphs is a few kilobytes, not as large as every glyph id up to the last.
    const QJsonObject json = QJsonDocument::fromJson(qpdf({QStringLiteral("--json=2"), path})).object();
    const QJsonObject objects = json[u"qpdf"][1].toObject();
    int cff = 0;
    for (auto it = objects.begin(); it != objects.end(); ++it) {
        const QJsonObject stream = it.value()[u"stream"][u"dict"].toObject();
        if (stream[u"/Subtype"].toString() == QStringLiteral("/CIDFontType0C")) cff = stream[u"/Length"].toInt();
    }
    EXPECT_GT(cff, 0);
    EXPECT_LT(cff, 12000);

    QString text = tool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    for (const QString &words : {QStringLiteral("十月一日"), QStringLiteral("晚六时"), QStringLiteral("恭候"), name,
                                 QStringLiteral("Dear Guest")})
        EXPECT_TRUE(text.contains(words)) << words.toStdString() << "\n" << text.toStdString();
}

TEST(PdfNumbers, roundHalfAwayFromZeroWithoutTrailingZerosOrNegativeZero)
{
    const auto text = [](double value, int decimals) {
        QByteArray out;
        pdfAppendNumber(out, value, decimals);
        return out;
    };
    EXPECT_EQ(text(12.345, 2), "12.35");
    EXPECT_EQ(text(-12.5, 0), "-13");
    EXPECT_EQ(text(0.1, 3), "0.1");
    EXPECT_EQ(text(2.0, 2), "2");
    EXPECT_EQ(text(-0.004, 2), "0");
    EXPECT_EQ(text(-0.06, 1), "-0.1");
    EXPECT_EQ(text(595.2756, 2), "595.28");
    EXPECT_EQ(text(1234567.891, 6), "1234567.891");
    // Past the digit-by-digit range the general path writes the same way.
    EXPECT_EQ(text(-3e12, 2), "-3000000000000");
    EXPECT_EQ(text(2.5e13 + 0.25, 1), "25000000000000.3");
}
