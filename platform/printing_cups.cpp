// The print system over CUPS: Qt enumerates the queues and their papers and draws the jobs;
// libcups gives the paper sources and takes raw jobs.
#include "platform/printing.h"
#include "platform/printing_p.h"

#include <QPrinterInfo>
#include <QSet>

#include <cups/cups.h>

#include <cmath>
#include <utility>

namespace platform {

namespace {

// The DMBIN code of a CUPS media-source keyword; 0 for keywords without one.
int binCodeForKeyword(const QString &keyword)
{
    static const QHash<QString, int> codes = {
        {QStringLiteral("top"), 1},
        {QStringLiteral("upper"), 1},
        {QStringLiteral("main"), 1},
        {QStringLiteral("bottom"), 2},
        {QStringLiteral("lower"), 2},
        {QStringLiteral("middle"), 3},
        {QStringLiteral("manual"), 4},
        {QStringLiteral("by-pass-tray"), 4},
        {QStringLiteral("envelope"), 5},
        {QStringLiteral("auto"), 7},
        {QStringLiteral("large-capacity"), 11},
    };
    return codes.value(keyword.toLower(), 0);
}

class CupsPrintDevice : public PrintDevice {
public:
    explicit CupsPrintDevice(const QString &name) : m_name(name) {}
    ~CupsPrintDevice() override
    {
        if (m_job) m_job->abort();
        if (m_rawJob > 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, m_name.toUtf8().constData(), m_rawJob, 0);
    }

    QString name() const override { return m_name; }
    QList<DevicePaper> papers() override;
    QList<DeviceBin> bins() override;
    QList<int> resolutions() override;
    bool supportsDuplex() override;
    std::optional<DeviceMode> defaultMode() override;
    std::optional<DeviceMetrics> measure(const DeviceMode &mode) override;
    bool beginJob(const DeviceMode &mode, const QString &title, const QString &outputFile) override;
    bool setJobMode(const DeviceMode &mode) override;
    bool beginPage() override;
    bool endPage() override;
    bool endJob() override;
    void abortJob() override;
    QPainter *painter() override { return m_job ? m_job->painter() : nullptr; }
    Canvas *canvas() override { return m_fileJob ? m_fileJob->canvas() : nullptr; }
    bool beginRawJob(const QString &title) override;
    bool writeRaw(const QByteArray &bytes) override;
    bool endRawJob() override;

private:
    // The queue as Qt sees it now; null when it is gone or the server is down.
    QPrinterInfo info() const { return QPrinterInfo::printerInfo(m_name); }
    int dpi();
    // The paper the queue prints mode on (printing_p.h, paperOnQueue).
    QPageLayout queueLayout(const DeviceMode &mode);
    QString mediaSourceKey(int bin);

    QString m_name;
    std::optional<QList<DevicePaper>> m_papers;
    std::optional<QList<DeviceBin>> m_bins;
    std::optional<QList<int>> m_resolutions;
    std::optional<QueuePapers> m_queuePapers;
    std::unique_ptr<QPrinter> m_measurePrinter;
    std::unique_ptr<PrinterJob> m_job;
    std::unique_ptr<PdfFileJob> m_fileJob;
    int m_dpi = 0;
    int m_rawJob = 0;
};

QList<DevicePaper> CupsPrintDevice::papers()
{
    if (!m_papers) {
        QList<DevicePaper> list;
        QSet<int> used;
        int nextDriverCode = kUserPaperCode + 1;
        for (const QPageSize &pageSize : info().supportedPageSizes()) {
            int code = paperCodeFromPageSize(pageSize);
            // Sizes without a Windows code, and a second paper of the same size (a borderless
            // variant), get codes of their own above the user-defined one, as drivers do.
            if (code == 0 || code == kUserPaperCode || used.contains(code)) code = nextDriverCode++;
            used.insert(code);
            list.append(DevicePaper{pageSize.name(), code, pageSize});
        }
        m_papers = list;
    }
    return *m_papers;
}

QList<DeviceBin> CupsPrintDevice::bins()
{
    if (m_bins) return *m_bins;
    QList<DeviceBin> list;
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, m_name.toUtf8().constData(), nullptr);
    if (dest) {
        if (cups_dinfo_t *dinfo = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
            if (ipp_attribute_t *sources =
                    cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, dinfo, "media-source")) {
                QSet<int> used;
                int nextUserCode = 256; // DMBIN_USER
                for (int i = 0; i < ippGetCount(sources); ++i) {
                    const char *keyword = ippGetString(sources, i, nullptr);
                    if (!keyword) continue;
                    const QString key = QString::fromUtf8(keyword);
                    int code = binCodeForKeyword(key);
                    if (code == 0 || used.contains(code)) code = nextUserCode++;
                    used.insert(code);
                    const char *label =
                        cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest, dinfo, "media-source", keyword);
                    list.append(DeviceBin{label ? QString::fromUtf8(label) : key, code, key});
                }
            }
            cupsFreeDestInfo(dinfo);
        }
        cupsFreeDests(1, dest);
    }
    m_bins = list;
    return list;
}

QList<int> CupsPrintDevice::resolutions()
{
    if (!m_resolutions) m_resolutions = info().supportedResolutions();
    return *m_resolutions;
}

bool CupsPrintDevice::supportsDuplex()
{
    const QList<QPrinter::DuplexMode> modes = info().supportedDuplexModes();
    return modes.contains(QPrinter::DuplexLongSide) || modes.contains(QPrinter::DuplexShortSide);
}

std::optional<DeviceMode> CupsPrintDevice::defaultMode()
{
    const QPrinterInfo printer = info();
    if (printer.isNull()) return std::nullopt;
    DeviceMode mode;
    const QPageSize defaultSize = printer.defaultPageSize();
    mode.paperCode = 9;
    for (const DevicePaper &paper : papers())
        if (paper.pageSize.isEquivalentTo(defaultSize)) {
            mode.paperCode = paper.code;
            break;
        }
    return mode;
}

// The resolution the queue prints at by default, in dots per inch; 0 when it names none.
int defaultResolution(const QString &name)
{
    int resolution = 0;
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr);
    if (!dest) return 0;
    if (cups_dinfo_t *dinfo = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        if (ipp_attribute_t *value =
                cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, dinfo, "printer-resolution")) {
            int yres = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int xres = ippGetResolution(value, 0, &yres, &units);
            if (xres > 0 && xres == yres)
                resolution = units == IPP_RES_PER_INCH ? xres : int(std::lround(xres * 2.54));
        }
        cupsFreeDestInfo(dinfo);
    }
    cupsFreeDests(1, dest);
    return resolution;
}

int CupsPrintDevice::dpi()
{
    if (m_dpi == 0) {
        const QPrinterInfo printer = info();
        if (printer.isNull()) return 0;
        m_measurePrinter = std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
        m_measurePrinter->setFullPage(true);
        // Qt's high resolution is a fixed 1200; the queue's own default is what its driver uses.
        if (const int resolution = defaultResolution(m_name); resolution > 0)
            m_measurePrinter->setResolution(resolution);
        m_dpi = m_measurePrinter->resolution();
    }
    return m_dpi;
}

QPageLayout CupsPrintDevice::queueLayout(const DeviceMode &mode)
{
    if (!m_queuePapers) {
        const QPrinterInfo printer = info();
        m_queuePapers = QueuePapers{printer.supportedPageSizes(), printer.defaultPageSize(),
                                    printer.supportsCustomPageSizes()};
    }
    return paperOnQueue(pageLayoutForMode(mode, papers()), *m_queuePapers);
}

std::optional<DeviceMetrics> CupsPrintDevice::measure(const DeviceMode &mode)
{
    if (info().isNull()) return std::nullopt;
    const int resolution = dpi();
    const QPageLayout layout = queueLayout(mode);
    if (resolution <= 0 || !layout.isValid()) return std::nullopt;
    if (!setPrinterPaper(*m_measurePrinter, layout)) return std::nullopt;
    // The minimum margins are what the printer cannot print on for this paper.
    const QPageLayout actual = m_measurePrinter->pageLayout();
    const QRect full = actual.fullRectPixels(resolution);
    const QMargins margins = minimumMarginsDots(actual, resolution);
    DeviceMetrics metrics;
    metrics.dpiX = metrics.dpiY = resolution;
    metrics.physicalWidth = full.width();
    metrics.physicalHeight = full.height();
    metrics.offsetX = margins.left();
    metrics.offsetY = margins.top();
    metrics.printableWidth = full.width() - margins.left() - margins.right();
    metrics.printableHeight = full.height() - margins.top() - margins.bottom();
    return metrics;
}

QString CupsPrintDevice::mediaSourceKey(int bin)
{
    if (bin == kAutoBinCode) return QString();
    for (const DeviceBin &known : bins())
        if (known.code == bin) return known.key;
    return QString();
}

bool CupsPrintDevice::beginJob(const DeviceMode &mode, const QString &title, const QString &outputFile)
{
    if (m_job || m_fileJob) return false;
    if (!outputFile.isEmpty()) {
        auto job = std::make_unique<PdfFileJob>(outputFile, dpi());
        if (!job->begin(pageLayoutForMode(mode, papers()), title)) return false;
        m_fileJob = std::move(job);
        return true;
    }
    auto job = std::make_unique<PrinterJob>(m_name, dpi());
    if (!job->begin(mode, queueLayout(mode), mediaSourceKey(mode.bin), title)) return false;
    m_job = std::move(job);
    return true;
}

bool CupsPrintDevice::setJobMode(const DeviceMode &mode)
{
    if (m_fileJob) return m_fileJob->setLayout(pageLayoutForMode(mode, papers()));
    return m_job && m_job->setMode(mode, queueLayout(mode), mediaSourceKey(mode.bin));
}

bool CupsPrintDevice::beginPage()
{
    if (m_fileJob) return m_fileJob->beginPage();
    return m_job && m_job->beginPage();
}

bool CupsPrintDevice::endPage()
{
    if (m_fileJob) return m_fileJob->endPage();
    return m_job && m_job->endPage();
}

bool CupsPrintDevice::endJob()
{
    if (m_fileJob) return std::exchange(m_fileJob, nullptr)->end();
    if (!m_job) return false;
    const bool sent = m_job->end();
    m_job.reset();
    return sent;
}

void CupsPrintDevice::abortJob()
{
    if (m_fileJob) std::exchange(m_fileJob, nullptr)->abort();
    if (m_job) m_job->abort();
    m_job.reset();
}

bool CupsPrintDevice::beginRawJob(const QString &title)
{
    if (m_rawJob > 0) return false;
    const QByteArray name = m_name.toUtf8();
    const QByteArray docName = title.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), docName.constData(), 0, nullptr);
    if (job <= 0) return false;
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, docName.constData(), CUPS_FORMAT_RAW,
                          1) != HTTP_STATUS_CONTINUE) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return false;
    }
    m_rawJob = job;
    return true;
}

bool CupsPrintDevice::writeRaw(const QByteArray &bytes)
{
    if (m_rawJob <= 0) return false;
    return cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.constData(), size_t(bytes.size())) ==
           HTTP_STATUS_CONTINUE;
}

bool CupsPrintDevice::endRawJob()
{
    if (m_rawJob <= 0) return false;
    m_rawJob = 0;
    return cupsFinishDocument(CUPS_HTTP_DEFAULT, m_name.toUtf8().constData()) == IPP_STATUS_OK;
}

class CupsPrintSystem : public PrintSystem {
public:
    QStringList printerNames() override { return QPrinterInfo::availablePrinterNames(); }
    QString defaultPrinterName() override { return QPrinterInfo::defaultPrinterName(); }
    std::unique_ptr<PrintDevice> open(const QString &name) override
    {
        if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull()) return nullptr;
        return std::make_unique<CupsPrintDevice>(name);
    }
};

} // namespace

std::unique_ptr<PrintSystem> createCupsPrintSystem()
{
    return std::make_unique<CupsPrintSystem>();
}

} // namespace platform
