#include "tests/report/support/pdfinfo.h"

#include <QProcess>
#include <QStringList>

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

bool samePoints(const QSizeF &a, const QSizeF &b)
{
    return std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

} // namespace testing_support
