// A printer of the workstation: device settings, measuring and jobs through the print device.
#include "report/output/frxPrinter.h"
#include "report/output/frxPrinter_p.h"

#include "platform/codepage.h"

namespace frx {

namespace {

// Printers list at most this many papers and bins, as the driver's buffers hold.
constexpr int kListLimit = 256;

// Device dots to whole millimetres.
Extended dotsToMm(int dots, int dpi)
{
    return Extended(roundHalfEven(Extended(dots) / dpi * 25.4L));
}

TPrinterOrientation orientationOf(const platform::DeviceMode &mode)
{
    return mode.landscape ? poLandscape : poPortrait;
}

} // namespace

void TfrxPrinter::Prepare()
{
    if (m_initialized) return;
    std::unique_ptr<platform::PrintDevice> device = platform::printSystem().open(m_name);
    if (!device) return;
    const std::optional<platform::DeviceMode> mode = device->defaultMode();
    if (!mode) return;
    m_device = std::move(device);
    if (!ApplyMode(*mode)) {
        m_device.reset();
        return;
    }
    m_defPaper = m_paper = mode->paperCode;
    m_defPaperWidth = m_paperWidth;
    m_defPaperHeight = m_paperHeight;
    m_defOrientation = m_orientation = orientationOf(*mode);

    const QList<platform::DevicePaper> papers = m_device->papers();
    for (int i = 0; i < papers.size() && i < kListLimit; ++i)
        if (papers[i].code != DMPAPER_USER) m_papers.append(NamedCode{papers[i].name, papers[i].code});
    const QList<platform::DeviceBin> bins = m_device->bins();
    for (int i = 0; i < bins.size() && i < kListLimit; ++i)
        if (bins[i].code != DMBIN_AUTO) m_bins.append(NamedCode{bins[i].name, bins[i].code});
    m_driverDialogBin = -1;
    m_initialized = true;
}

bool TfrxPrinter::ApplyMode(const platform::DeviceMode &mode)
{
    const std::optional<platform::DeviceMetrics> metrics = m_device ? m_device->measure(mode) : std::nullopt;
    if (!metrics || metrics->dpiX <= 0 || metrics->dpiY <= 0) {
        reportInvalidPrinter(m_name);
        return false;
    }
    if (m_printing && !m_device->setJobMode(mode)) {
        reportInvalidPrinter(m_name);
        return false;
    }
    m_mode = mode;
    m_dpi = QPoint(metrics->dpiX, metrics->dpiY);
    m_paperWidth = dotsToMm(metrics->physicalWidth, metrics->dpiX);
    m_paperHeight = dotsToMm(metrics->physicalHeight, metrics->dpiY);
    m_leftMargin = dotsToMm(metrics->offsetX, metrics->dpiX);
    m_topMargin = dotsToMm(metrics->offsetY, metrics->dpiY);
    m_rightMargin = m_paperWidth - dotsToMm(metrics->printableWidth, metrics->dpiX) - m_leftMargin;
    m_bottomMargin = m_paperHeight - dotsToMm(metrics->printableHeight, metrics->dpiY) - m_topMargin;
    return true;
}

void TfrxPrinter::SetPaperForView(int paperCode, Extended paperWidth, Extended paperHeight,
                                  TPrinterOrientation orientation)
{
    if (!m_initialized) return;
    if (paperCode == DMPAPER_USER) {
        // A size of its own is laid out on A4's unprintable margins.
        SetPaperForView(9, 0, 0, orientation);
        m_paperWidth = paperWidth;
        m_paperHeight = paperHeight;
    } else {
        platform::DeviceMode mode = m_mode;
        mode.paperCode = paperCode;
        mode.landscape = orientation == poLandscape;
        mode.paperWidthTenthsMm = mode.paperLengthTenthsMm = 0;
        if (!ApplyMode(mode)) return;
    }
    m_paper = paperCode;
    m_orientation = orientation;
}

void TfrxPrinter::SetPaperForPrint(int paperCode, Extended paperWidth, Extended paperHeight,
                                   TPrinterOrientation orientation, int bin, int duplex, int copies)
{
    if (!m_initialized) return;
    platform::DeviceMode mode = m_mode;
    mode.paperCode = paperCode;
    mode.landscape = orientation == poLandscape;
    mode.copies = copies;
    if (paperCode == DMPAPER_USER) {
        // The device mode holds the paper in portrait terms, in tenths of a millimetre.
        const int width = int(roundHalfEven(paperWidth * 10));
        const int height = int(roundHalfEven(paperHeight * 10));
        mode.paperWidthTenthsMm = mode.landscape ? height : width;
        mode.paperLengthTenthsMm = mode.landscape ? width : height;
    } else {
        mode.paperWidthTenthsMm = mode.paperLengthTenthsMm = 0;
    }
    const int source = m_driverDialogBin != -1 ? m_driverDialogBin : bin;
    if (source != DMBIN_AUTO) mode.bin = source;
    if (duplex != 1) mode.duplex = duplex == 4 ? platform::kDuplexSimplex : duplex;
    // Resetting a printer is slow; pages that keep the settings leave it alone.
    if (mode == m_mode && m_paper == paperCode && m_orientation == orientation) return;
    if (!ApplyMode(mode)) return;
    m_paper = paperCode;
    m_orientation = orientation;
}

QString TfrxPrinter::EffectiveJobTitle() const
{
    return m_jobTitle.isEmpty() ? QStringLiteral("Quillex Document") : m_jobTitle;
}

bool TfrxPrinter::BeginJob()
{
    if (!m_initialized || m_printing) return false;
    m_printing = m_device->beginJob(m_mode, EffectiveJobTitle(), m_outputFile);
    return m_printing;
}

bool TfrxPrinter::BeginSheet()
{
    if (!m_printing || !m_device->beginPage()) return false;
    if (platform::Canvas *canvas = m_device->canvas())
        m_canvas.Bind(canvas);
    else
        m_canvas.Bind(m_device->painter(), m_dpi);
    return true;
}

bool TfrxPrinter::EndSheet()
{
    m_canvas.Unbind();
    return m_printing && m_device->endPage();
}

bool TfrxPrinter::EndJob()
{
    m_canvas.Unbind();
    const bool sent = m_printing && m_device->endJob();
    m_printing = false;
    m_driverDialogBin = -1;
    return sent;
}

void TfrxPrinter::AbortJob()
{
    m_canvas.Unbind();
    if (m_printing) m_device->abortJob();
    m_printing = false;
    m_driverDialogBin = -1;
}

bool TfrxPrinter::BeginRawJob()
{
    return m_initialized && m_device->beginRawJob(EffectiveJobTitle());
}

bool TfrxPrinter::WriteRaw(const QString &text)
{
    return m_initialized && m_device->writeRaw(platform::toSystemCodePage(text));
}

bool TfrxPrinter::EndRawJob()
{
    return m_initialized && m_device->endRawJob();
}

} // namespace frx
