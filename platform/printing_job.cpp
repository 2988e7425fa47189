#include "platform/printing_p.h"

#include <QPrintEngine>

namespace platform {

namespace {

// The key under which Qt's CUPS engine takes extra job options (name, value, name, value, ...).
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QPrinter::DuplexMode qtDuplex(int duplex)
{
    switch (duplex) {
    case kDuplexVertical:
        return QPrinter::DuplexLongSide;
    case kDuplexHorizontal:
        return QPrinter::DuplexShortSide;
    default:
        return QPrinter::DuplexNone;
    }
}

} // namespace

QMargins minimumMarginsDots(const QPageLayout &layout, int dpi)
{
    QPageLayout copy = layout;
    copy.setMode(QPageLayout::FullPageMode);
    copy.setMargins(layout.minimumMargins());
    return copy.marginsPixels(dpi);
}

PrinterJob::PrinterJob(const QString &printerName, const QString &outputFile, int dpi)
    : m_printerName(printerName), m_outputFile(outputFile),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    if (!outputFile.isEmpty()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(outputFile);
    } else {
        m_printer->setPrinterName(printerName);
    }
    if (dpi > 0) m_printer->setResolution(dpi);
    // The page origin is the paper's corner; the unprintable margins are the caller's business.
    m_printer->setFullPage(true);
}

bool PrinterJob::applyLayout(const QPageLayout &layout)
{
    if (!layout.isValid()) {
        m_error = QStringLiteral("unknown paper");
        return false;
    }
    QPageLayout wanted = layout;
    wanted.setMode(QPageLayout::FullPageMode);
    if (!m_printer->setPageLayout(wanted)) {
        m_error = QStringLiteral("the printer refused the paper");
        return false;
    }
    return true;
}

bool PrinterJob::begin(const DeviceMode &mode, const QPageLayout &layout, const QString &mediaSource,
                       const QString &title)
{
    // Without a reachable queue Qt quietly turns the printer into a PDF writer with no name.
    if (m_outputFile.isEmpty() && (m_printerName.isEmpty() || m_printer->printerName() != m_printerName)) {
        m_error = QStringLiteral("printer %1 cannot be reached").arg(m_printerName);
        return false;
    }
    if (!applyLayout(layout)) return false;
    m_printer->setDocName(title);
    m_printer->setCopyCount(qMax(1, mode.copies));
    if (mode.duplex != 0) m_printer->setDuplex(qtDuplex(mode.duplex));
    if (!mediaSource.isEmpty() && m_outputFile.isEmpty())
        m_printer->printEngine()->setProperty(kCupsOptionsKey,
                                              QStringList{QStringLiteral("media-source"), mediaSource});
    if (!m_painter.begin(m_printer.get())) {
        m_error = QStringLiteral("the job could not start");
        return false;
    }
    m_pagesBegun = 0;
    return true;
}

bool PrinterJob::setMode(const DeviceMode &, const QPageLayout &layout)
{
    return applyLayout(layout);
}

bool PrinterJob::beginPage()
{
    if (!m_painter.isActive() || m_pageOpen) return false;
    // QPainter::begin opened the first page already.
    if (m_pagesBegun > 0 && !m_printer->newPage()) {
        m_error = QStringLiteral("the printer refused a new page");
        return false;
    }
    // Like a printer's device context, the origin is the corner of the printable area.
    const QMargins offset = minimumMarginsDots(m_printer->pageLayout(), m_printer->resolution());
    m_painter.resetTransform();
    m_painter.translate(offset.left(), offset.top());
    m_pageOpen = true;
    ++m_pagesBegun;
    return true;
}

bool PrinterJob::endPage()
{
    if (!m_pageOpen) return false;
    m_pageOpen = false;
    return true;
}

bool PrinterJob::end()
{
    m_pageOpen = false;
    if (!m_painter.isActive()) return false;
    return m_painter.end();
}

void PrinterJob::abort()
{
    m_pageOpen = false;
    if (m_painter.isActive()) {
        m_printer->abort();
        m_painter.end();
    }
}

} // namespace platform
