#include "tests/report/support/pdfinfo.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cmath>

namespace testing_support {

QList<QSizeF> pdfPageSizes(const QString &file)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("9999"), file});
    if (!pdfinfo.waitForFinished() || pdfinfo.exitCode() != 0) return {};
    // Lines such as "Page    1 size: 595 x 842 pts (A4)".
    QList<QSizeF> sizes;
    for (const QString &line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split(u'\n')) {
        if (!line.startsWith(QLatin1String("Page")) || !line.contains(QLatin1String("size:"))) continue;
        const QStringList words = line.section(QLatin1String("size:"), 1).simplified().split(u' ');
        sizes.append(QSizeF(words.value(0).toDouble(), words.value(2).toDouble()));
    }
    return sizes;
}

QImage pdfPageImage(const QString &file, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), number,
                    QStringLiteral("-l"), number, QStringLiteral("-singlefile"), file, prefix});
    if (!pdftoppm.waitForFinished() || pdftoppm.exitCode() != 0) return {};
    return QImage(prefix + QStringLiteral(".pgm"));
}

QRect darkBounds(const QImage &grey)
{
    QRect box;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            if (qGray(grey.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    return box;
}

bool samePoints(const QSizeF &a, const QSizeF &b)
{
    return std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

} // namespace testing_support
