#include "printserver.h"
#include "pclraster.h"

#include <optional>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace apptest {

namespace {

const QString script = QStringLiteral(TOVARO_SOURCE_DIR "/scripts/cups-test-server.sh");

// Runs a program to its end; its standard output, or nothing when it fails or cannot start.
std::optional<QByteArray> runTool(const QString &program, const QStringList &arguments,
                                  QString *errors = nullptr, int timeoutMs = 60000)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        if (errors) *errors = QStringLiteral("%1 did not finish").arg(program);
        return std::nullopt;
    }
    if (errors) *errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
    return process.readAllStandardOutput();
}

bool dark(const QImage &grey, int x, int y)
{
    return qGray(grey.pixel(x, y)) < 128;
}

} // namespace

PrintServer::PrintServer(const QString &queue) : m_queue(queue)
{
    if (!m_dir.isValid()) {
        m_failure = QStringLiteral("no temporary folder");
        return;
    }
    QString errors;
    const auto socket =
        runTool(QStringLiteral("bash"), {script, QStringLiteral("start"), m_dir.path(), queue}, &errors);
    if (!socket) {
        m_failure = errors.isEmpty() ? QStringLiteral("cups-test-server.sh failed") : errors;
        return;
    }
    qputenv("CUPS_SERVER", socket->trimmed());
}

PrintServer::~PrintServer()
{
    if (m_failure.isEmpty()) runTool(QStringLiteral("bash"), {script, QStringLiteral("stop"), m_dir.path()});
}

QString PrintServer::outputDir() const
{
    return m_dir.filePath(QStringLiteral("out"));
}

QStringList PrintServer::arrived() const
{
    // cups-pdf names the files after the job's title, ending in "-job_N.pdf".
    static const QRegularExpression jobNumber(QStringLiteral("job_(\\d+)\\.pdf$"));
    QList<std::pair<int, QString>> jobs;
    for (const QFileInfo &file : QDir(outputDir()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
        const QRegularExpressionMatch match = jobNumber.match(file.fileName());
        jobs.push_back({match.hasMatch() ? match.captured(1).toInt() : 0, file.filePath()});
    }
    std::sort(jobs.begin(), jobs.end());
    QStringList files;
    for (const auto &job : jobs)
        files << job.second;
    return files;
}

QString PrintServer::waitForFile(int count, int timeoutMs) const
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QStringList files = arrived();
        // cups-pdf writes the file in place: complete once poppler reads it.
        if (files.size() > count && !pdfPageSizes(files.last()).isEmpty()) return files.last();
        QThread::msleep(100);
    }
    return {};
}

QStringList PrintServer::driverJobs(const QString &kind) const
{
    // The backend names the files after the job's number and renames them into place when whole.
    QList<std::pair<int, QString>> jobs;
    const QDir folder(m_dir.filePath(QStringLiteral("jobs/") + driverQueue(kind)));
    for (const QFileInfo &file : folder.entryInfoList({QStringLiteral("*.prn")}, QDir::Files))
        jobs.push_back({file.baseName().toInt(), file.filePath()});
    std::sort(jobs.begin(), jobs.end());
    QStringList files;
    for (const auto &job : jobs)
        files << job.second;
    return files;
}

QString PrintServer::waitForDriverJob(const QString &kind, int count, int timeoutMs) const
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QStringList files = driverJobs(kind);
        if (files.size() > count) return files.last();
        QThread::msleep(100);
    }
    return {};
}

QRectF PrintServer::printableAreaMm(const QString &kind, const QString &keyword) const
{
    QFile ppd(m_dir.filePath(QStringLiteral("etc/ppd/%1.ppd").arg(driverQueue(kind))));
    if (!ppd.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromLatin1(ppd.readAll());
    // *ImageableArea A4/A4: "10.000 41.000 585.000 835.000", points from the bottom left corner.
    const auto find = [&](const QString &keywordName, int values) {
        QString pattern = QStringLiteral("^\\*%1 %2(?:/[^:]*)?:\\s*\"").arg(keywordName, QRegularExpression::escape(keyword));
        for (int i = 0; i < values; ++i)
            pattern += i == 0 ? QStringLiteral("([\\d.]+)") : QStringLiteral(" ([\\d.]+)");
        return QRegularExpression(pattern + QStringLiteral("\""), QRegularExpression::MultilineOption).match(text);
    };
    const QRegularExpressionMatch area = find(QStringLiteral("ImageableArea"), 4);
    const QRegularExpressionMatch paper = find(QStringLiteral("PaperDimension"), 2);
    if (!area.hasMatch() || !paper.hasMatch()) return {};
    const double mm = 25.4 / 72, height = paper.captured(2).toDouble();
    return QRectF(QPointF(area.captured(1).toDouble() * mm, (height - area.captured(4).toDouble()) * mm),
                  QPointF(area.captured(3).toDouble() * mm, (height - area.captured(2).toDouble()) * mm));
}

namespace {

QList<PrintedPage> renderedPages(const QString &folder, int dpi)
{
    QList<PrintedPage> pages;
    QStringList names = QDir(folder).entryList({QStringLiteral("page-*")}, QDir::Files);
    // Numbered without padding by Ghostscript: page-10 after page-9.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.section(u'-', 1).section(u'.', 0, 0).toInt() < b.section(u'-', 1).section(u'.', 0, 0).toInt();
    });
    for (const QString &name : names)
        pages.append(PrintedPage{QImage(QDir(folder).filePath(name)).convertToFormat(QImage::Format_Grayscale8), dpi});
    return pages;
}

} // namespace

QList<PrintedPage> readPrinterJob(const QString &file, int dpi, double pclPrintableLeftMm)
{
    QFile job(file);
    if (!job.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = job.readAll();
    QTemporaryDir dir;
    const QString resolution = QString::number(dpi);
    if (bytes.startsWith("%!")) {
        if (!runTool(QStringLiteral("gs"),
                     {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
                      QStringLiteral("-dNOPAUSE"), QStringLiteral("-sDEVICE=pnggray"), QStringLiteral("-r") + resolution,
                      QStringLiteral("-sOutputFile=") + dir.filePath(QStringLiteral("page-%d.png")), file}))
            return {};
        return renderedPages(dir.path(), dpi);
    }
    if (const qsizetype pdf = bytes.indexOf("%PDF-"); pdf >= 0) {
        // A laser printer's job wraps the PDF in its job language.
        QFile inner(dir.filePath(QStringLiteral("job.pdf")));
        if (!inner.open(QIODevice::WriteOnly) || inner.write(bytes.mid(pdf)) < 0) return {};
        inner.close();
        if (!runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), resolution,
                                                  inner.fileName(), dir.filePath(QStringLiteral("page"))}))
            return {};
        return renderedPages(dir.path(), dpi);
    }
    return readPclRaster(bytes, pclPrintableLeftMm);
}

QList<QSizeF> pdfPageSizes(const QString &file)
{
    const auto output =
        runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                            QStringLiteral("100000"), file});
    if (!output) return {};
    static const QRegularExpression size(QStringLiteral("^Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                         QRegularExpression::MultilineOption);
    QList<QSizeF> sizes;
    auto it = size.globalMatch(QString::fromUtf8(*output));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        sizes << QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return sizes;
}

QString pdfText(const QString &file)
{
    const auto output = runTool(QStringLiteral("pdftotext"),
                                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    return output ? QString::fromUtf8(*output) : QString();
}

QImage renderPdfPage(const QString &file, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    if (!runTool(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                  number, QStringLiteral("-l"), number, QStringLiteral("-singlefile"), file, prefix}))
        return {};
    return QImage(prefix + QStringLiteral(".pgm"));
}

QRect inkBounds(const QImage &grey, const QRect &region)
{
    QRect bounds;
    const QRect area = region & grey.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (dark(grey, x, y)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int inkRuns(const QImage &grey, const QRect &region, Qt::Orientation across)
{
    const QRect area = region & grey.rect();
    const bool rows = across == Qt::Vertical;
    const int first = rows ? area.top() : area.left();
    const int last = rows ? area.bottom() : area.right();
    int runs = 0;
    bool inRun = false;
    for (int i = first; i <= last; ++i) {
        bool ink = false;
        const int from = rows ? area.left() : area.top();
        const int to = rows ? area.right() : area.bottom();
        for (int j = from; j <= to && !ink; ++j)
            ink = rows ? dark(grey, j, i) : dark(grey, i, j);
        if (ink && !inRun) ++runs;
        inRun = ink;
    }
    return runs;
}

} // namespace apptest
