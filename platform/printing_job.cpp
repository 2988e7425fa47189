#include "platform/printing_p.h"

#include <QPrintEngine>

#include <cmath>
#include <optional>
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
    const QMargins m = copy.marginsPixels(dpi);
    if (layout.orientation() == QPageLayout::Landscape) return QMargins(m.bottom(), m.left(), m.top(), m.right());
    return m;
}

namespace {

bool holds(const QSizeF &paper, const QSizeF &page)
{
    // Sizes from a driver are rounded to points: half a millimetre is the same paper.
    return paper.width() + 0.5 >= page.width() && paper.height() + 0.5 >= page.height();
}

bool sameSize(const QSizeF &a, const QSizeF &b)
{
    return std::abs(a.width() - b.width()) < 0.5 && std::abs(a.height() - b.height()) < 0.5;
}

} // namespace

QPageLayout paperOnQueue(const QPageLayout &layout, const QueuePapers &queue)
{
    if (!layout.isValid() || queue.customSizes || queue.sizes.isEmpty()) return layout;
    const QSizeF upright = layout.pageSize().size(QPageSize::Millimeter);
    for (const QPageSize &size : queue.sizes)
        if (sameSize(size.size(QPageSize::Millimeter), upright)) return layout;
    // The page as it stands on the sheet.
    const QSizeF page = layout.fullRect(QPageLayout::Millimeter).size();
    const auto turnedTo = [&](const QPageSize &size) -> std::optional<QPageLayout::Orientation> {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        const QPageLayout::Orientation own = layout.orientation();
        const QPageLayout::Orientation other =
            own == QPageLayout::Portrait ? QPageLayout::Landscape : QPageLayout::Portrait;
        const auto onSheet = [&](QPageLayout::Orientation o) {
            return o == QPageLayout::Portrait ? mm : mm.transposed();
        };
        if (holds(onSheet(own), page)) return own;
        if (holds(onSheet(other), page)) return other;
        return std::nullopt;
    };
    const auto onPaper = [&](const QPageSize &size, QPageLayout::Orientation o) {
        return QPageLayout(size, o, QMarginsF(), QPageLayout::Millimeter);
    };
    if (queue.defaultSize.isValid())
        if (const auto o = turnedTo(queue.defaultSize)) return onPaper(queue.defaultSize, *o);
    std::optional<QPageLayout> smallest;
    double smallestArea = 0;
    for (const QPageSize &size : queue.sizes) {
        const auto o = turnedTo(size);
        if (!o) continue;
        const QSizeF mm = size.size(QPageSize::Millimeter);
        if (!smallest || mm.width() * mm.height() < smallestArea) {
            smallest = onPaper(size, *o);
            smallestArea = mm.width() * mm.height();
        }
    }
    if (smallest) return *smallest;
    const QPageSize fallback = queue.defaultSize.isValid() ? queue.defaultSize : queue.sizes.first();
    return onPaper(fallback, layout.orientation());
}

bool setPrinterPaper(QPrinter &printer, const QPageLayout &layout)
{
    if (!layout.isValid()) return false;
    // Not through setPageLayout: the queue refuses a layout whose margins are smaller than its
    // unprintable ones, and a page drawn from the paper's corner has none. Setting the size lets
    // the queue fill in those margins itself.
    printer.setFullPage(true);
    printer.setPageOrientation(layout.orientation());
    if (!printer.setPageSize(layout.pageSize())) return false;
    return printer.pageLayout().orientation() == layout.orientation();
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
    // Pages drawn from the paper's corner are as large as the paper: a queue that fits them to its
    // printable area by default would shrink and move every card.
    QStringList cupsOptions{QStringLiteral("print-scaling"), QStringLiteral("none"), QStringLiteral("fit-to-page"),
                            QStringLiteral("false")};
    if (!options.mediaSource.isEmpty()) cupsOptions << QStringLiteral("media-source") << options.mediaSource;
    engine->setProperty(kCupsOptionsKey, cupsOptions);
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
    if (!setPrinterPaper(*m_printer, layout)) {
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
    // Like a printer's device context, the origin is the corner of the printable area, here at the
    // whole millimetres the report engine measures it by: a page drawn back by those millimetres
    // starts exactly at the paper's corner.
    const int dpi = m_printer->resolution();
    const QMargins offset = minimumMarginsDots(m_printer->pageLayout(), dpi);
    const auto wholeMm = [dpi](int dots) {
        return int(std::lround(std::nearbyint(dots * 25.4 / dpi) / 25.4 * dpi));
    };
    m_painter.resetTransform();
    m_painter.translate(wholeMm(offset.left()), wholeMm(offset.top()));
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
