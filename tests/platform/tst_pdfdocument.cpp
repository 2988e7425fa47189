// PDF files of our own writer read back by qpdf: structure, bookmarks, links and information.
#include "platform/pdfcanvas.h"

#include "tests/support/gui_environment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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
    EXPECT_TRUE(bytes.contains("/URI(https://example.com/\xE5\x96\x9C\xE5\xAE\xB4?a=\\(1\\))"));
    // The inner link lands on the second page (on its side: 297.64 high), 600 px = 144 pt from its top.
    EXPECT_TRUE(bytes.contains("/XYZ 0 153.64 null]"));
    EXPECT_TRUE(bytes.contains("/CreationDate (D:20240520103000Z)"));

    const QJsonObject info = json[u"qpdf"][1].toObject();
    QString title;
    for (auto it = info.begin(); it != info.end(); ++it)
        if (it.value()[u"value"][u"/Title"].isString()) title = it.value()[u"value"][u"/Title"].toString();
    EXPECT_EQ(title, QStringLiteral("u:婚礼请柬"));
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
