#include "platform/printing.h"
#include "platform/printing_p.h"

#include <cmath>

namespace platform {

namespace {

QString orientationWord(const DeviceMode &mode)
{
    return mode.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait");
}

int dots(double mm, int dpi)
{
    return int(std::lround(mm / 25.4 * dpi));
}

} // namespace

FakePrintDevice::FakePrintDevice(Setup setup) : m_setup(std::move(setup))
{
    if (m_setup.dpiY == 0) m_setup.dpiY = m_setup.dpi;
}

FakePrintDevice::~FakePrintDevice()
{
    if (m_system) m_system->m_opened.remove(m_setup.name);
}

QList<DevicePaper> FakePrintDevice::papers()
{
    m_log.append(QStringLiteral("papers"));
    if (m_setup.papersLimit > 0) return m_setup.papers.mid(0, m_setup.papersLimit);
    return m_setup.papers;
}

std::optional<DeviceMode> FakePrintDevice::defaultMode()
{
    m_log.append(QStringLiteral("defaultMode"));
    return m_setup.defaultMode;
}

std::optional<QSizeF> FakePrintDevice::paperMm(const DeviceMode &mode) const
{
    const QPageLayout layout = pageLayoutForMode(mode, m_setup.papers);
    if (!layout.isValid()) return std::nullopt;
    return layout.fullRect(QPageLayout::Millimeter).size();
}

std::optional<DeviceMetrics> FakePrintDevice::measure(const DeviceMode &mode)
{
    ++m_measureCount;
    m_log.append(QStringLiteral("measure %1 %2").arg(mode.paperCode).arg(orientationWord(mode)));
    const std::optional<QSizeF> mm = paperMm(mode);
    if (!mm || m_setup.dpi <= 0 || m_setup.dpiY <= 0) return std::nullopt;
    DeviceMetrics metrics;
    metrics.dpiX = m_setup.dpi;
    metrics.dpiY = m_setup.dpiY;
    metrics.physicalWidth = dots(mm->width(), metrics.dpiX);
    metrics.physicalHeight = dots(mm->height(), metrics.dpiY);
    metrics.offsetX = m_setup.marginLeft;
    metrics.offsetY = m_setup.marginTop;
    metrics.printableWidth = metrics.physicalWidth - m_setup.marginLeft - m_setup.marginRight;
    metrics.printableHeight = metrics.physicalHeight - m_setup.marginTop - m_setup.marginBottom;
    return metrics;
}

bool FakePrintDevice::beginJob(const DeviceMode &mode, const QString &title, const QString &outputFile)
{
    m_log.append(outputFile.isEmpty() ? QStringLiteral("beginJob %1").arg(title)
                                      : QStringLiteral("beginJob %1 to %2").arg(title, outputFile));
    if (m_inJob || !paperMm(mode)) return false;
    if (!outputFile.isEmpty()) {
        auto job = std::make_unique<PdfFileJob>(outputFile, m_setup.dpi);
        if (!job->begin(pageLayoutForMode(mode, m_setup.papers), title)) return false;
        m_fileJob = std::move(job);
    } else {
        m_pages.clear();
    }
    m_jobMode = mode;
    m_inJob = true;
    return true;
}

bool FakePrintDevice::setJobMode(const DeviceMode &mode)
{
    m_log.append(QStringLiteral("jobMode %1 %2 bin %3 duplex %4 copies %5")
                     .arg(mode.paperCode)
                     .arg(orientationWord(mode))
                     .arg(mode.bin)
                     .arg(mode.duplex)
                     .arg(mode.copies));
    if (!m_inJob) return false;
    m_jobMode = mode;
    return !m_fileJob || m_fileJob->setLayout(pageLayoutForMode(mode, m_setup.papers));
}

bool FakePrintDevice::beginPage()
{
    m_log.append(QStringLiteral("beginPage"));
    if (!m_inJob || m_pagePainter) return false;
    if (m_fileJob) return m_fileJob->beginPage();
    m_page = std::make_unique<QPicture>();
    // Like a printer's page, the picture is as large as the printable area of the paper and shows
    // nothing beyond it.
    QRect printable;
    if (const std::optional<QSizeF> mm = paperMm(m_jobMode))
        printable = QRect(0, 0, dots(mm->width(), m_setup.dpi) - m_setup.marginLeft - m_setup.marginRight,
                          dots(mm->height(), m_setup.dpiY) - m_setup.marginTop - m_setup.marginBottom);
    m_page->setBoundingRect(printable);
    m_pagePainter = std::make_unique<QPainter>(m_page.get());
    m_page->setBoundingRect(printable);
    m_pagePainter->setClipRect(printable);
    return true;
}

bool FakePrintDevice::endPage()
{
    m_log.append(QStringLiteral("endPage"));
    if (!m_inJob) return false;
    if (m_fileJob) return m_fileJob->endPage();
    if (!m_pagePainter) return false;
    m_pagePainter->end();
    m_pagePainter.reset();
    m_pages.append(*m_page);
    m_page.reset();
    return true;
}

bool FakePrintDevice::endJob()
{
    m_log.append(QStringLiteral("endJob"));
    if (!m_inJob) return false;
    m_inJob = false;
    m_pagePainter.reset();
    m_page.reset();
    if (m_fileJob) {
        const bool written = m_fileJob->end();
        m_fileJob.reset();
        return written;
    }
    return true;
}

void FakePrintDevice::abortJob()
{
    m_log.append(QStringLiteral("abortJob"));
    if (m_fileJob) m_fileJob->abort();
    m_fileJob.reset();
    m_pagePainter.reset();
    m_page.reset();
    m_pages.clear();
    m_inJob = false;
}

QPainter *FakePrintDevice::painter()
{
    return m_pagePainter.get();
}

Canvas *FakePrintDevice::canvas()
{
    return m_fileJob ? m_fileJob->canvas() : nullptr;
}

bool FakePrintDevice::beginRawJob(const QString &title)
{
    m_log.append(QStringLiteral("beginRawJob %1").arg(title));
    if (m_inRawJob) return false;
    m_inRawJob = true;
    m_raw.clear();
    return true;
}

bool FakePrintDevice::writeRaw(const QByteArray &bytes)
{
    if (!m_inRawJob) return false;
    m_raw.append(bytes);
    return true;
}

bool FakePrintDevice::endRawJob()
{
    m_log.append(QStringLiteral("endRawJob"));
    const bool open = m_inRawJob;
    m_inRawJob = false;
    return open;
}

FakePrintSystem::FakePrintSystem(QList<FakePrintDevice::Setup> printers, QString defaultName)
    : m_printers(std::move(printers)), m_default(std::move(defaultName))
{
}

FakePrintSystem::~FakePrintSystem()
{
    for (FakePrintDevice *device : std::as_const(m_opened))
        device->m_system = nullptr;
}

QStringList FakePrintSystem::printerNames()
{
    QStringList names;
    for (const FakePrintDevice::Setup &setup : std::as_const(m_printers))
        names.append(setup.name);
    return names;
}

std::unique_ptr<PrintDevice> FakePrintSystem::open(const QString &name)
{
    for (const FakePrintDevice::Setup &setup : std::as_const(m_printers))
        if (setup.name == name) {
            auto device = std::make_unique<FakePrintDevice>(setup);
            if (FakePrintDevice *previous = m_opened.value(name)) previous->m_system = nullptr;
            device->m_system = this;
            m_opened.insert(name, device.get());
            return device;
        }
    return nullptr;
}

FakePrintDevice *FakePrintSystem::lastOpened(const QString &name) const
{
    return m_opened.value(name);
}

} // namespace platform
