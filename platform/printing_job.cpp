#include "platform/printing_p.h"

#include <QPrintEngine>

#include <utility>

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

std::unique_ptr<QPrinter> makePrinter(const QString &printerName, int dpi)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPrinterName(printerName);
    if (dpi > 0) printer->setResolution(dpi);
    // The page origin is the paper's corner; the unprintable margins are the caller's business.
    printer->setFullPage(true);
    return printer;
}

} // namespace

QMargins minimumMarginsDots(const QPageLayout &layout, int dpi)
{
    QPageLayout copy = layout;
    copy.setMode(QPageLayout::FullPageMode);
    copy.setMargins(layout.minimumMargins());
    return copy.marginsPixels(dpi);
}

PrinterJob::PrinterJob(const QString &printerName, int dpi)
    : m_printerName(printerName), m_printer(makePrinter(printerName, dpi)), m_dpi(dpi)
{
}

void PrinterJob::applyOptions(const DocumentOptions &options)
{
    // Through the engine: the printer's own setters refuse changes once painting has begun, while
    // the queue reads the options only when the document is sent.
    QPrintEngine *engine = m_printer->printEngine();
    engine->setProperty(QPrintEngine::PPK_CopyCount, qMax(1, options.copies));
    if (options.duplex != 0) engine->setProperty(QPrintEngine::PPK_Duplex, int(qtDuplex(options.duplex)));
    engine->setProperty(kCupsOptionsKey, options.mediaSource.isEmpty()
                                             ? QStringList()
                                             : QStringList{QStringLiteral("media-source"), options.mediaSource});
    m_options = options;
}

bool PrinterJob::startPainting()
{
    if (!m_painter.begin(m_printer.get())) {
        m_error = QStringLiteral("the job could not start");
        return false;
    }
    m_pagesBegun = 0;
    return true;
}

bool PrinterJob::restart(const QPageLayout &layout)
{
    if (!m_painter.end()) {
        m_error = QStringLiteral("the printer refused the pages");
        return false;
    }
    const DocumentOptions options = m_options;
    m_printer = makePrinter(m_printerName, m_dpi);
    m_printer->setDocName(m_title);
    if (!applyLayout(layout)) return false;
    applyOptions(options);
    return startPainting();
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
    if (m_printerName.isEmpty() || m_printer->printerName() != m_printerName) {
        m_error = QStringLiteral("printer %1 cannot be reached").arg(m_printerName);
        return false;
    }
    if (!applyLayout(layout)) return false;
    m_title = title;
    m_printer->setDocName(title);
    applyOptions({mediaSource, mode.duplex, mode.copies});
    return startPainting();
}

bool PrinterJob::setMode(const DeviceMode &mode, const QPageLayout &layout, const QString &mediaSource)
{
    const DocumentOptions options{mediaSource, mode.duplex, mode.copies};
    // Before the first page the options still apply to this document.
    if (options == m_options || m_pagesBegun == 0) {
        if (options != m_options) applyOptions(options);
        return applyLayout(layout);
    }
    if (!layout.isValid()) {
        m_error = QStringLiteral("unknown paper");
        return false;
    }
    m_options = options;
    m_pendingLayout = layout;
    return true;
}

bool PrinterJob::beginPage()
{
    if (!m_painter.isActive() || m_pageOpen) return false;
    if (m_pendingLayout) {
        const QPageLayout layout = *std::exchange(m_pendingLayout, std::nullopt);
        if (!restart(layout)) return false;
    }
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
