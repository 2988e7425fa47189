// Internals shared by the CUPS and the fake print devices: the page layout of a device mode, a job
// over QPrinter that prints to a CUPS queue, and a job that writes a PDF file with our own writer.
#pragma once

#include "platform/pdfcanvas.h"
#include "platform/printing.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <memory>
#include <optional>

namespace platform {

// The page of mode, with no margins (the caller measures the unprintable ones); invalid when the
// paper code is unknown. knownPapers are searched before the standard codes.
QPageLayout pageLayoutForMode(const DeviceMode &mode, const QList<DevicePaper> &knownPapers);

// The unprintable margins of layout (its minimum margins) in dots at dpi, as the page is turned. Qt
// gives a queue's margins in upright terms whatever the orientation; a landscape page is the upright
// sheet turned a quarter counter-clockwise, so its left margin is the sheet's bottom one.
QMargins minimumMarginsDots(const QPageLayout &layout, int dpi);

// What a queue offers for paper: its sizes, its default, whether it takes sizes of its own.
struct QueuePapers {
    QList<QPageSize> sizes;
    QPageSize defaultSize;
    bool customSizes = false;
};

// The paper a queue really prints layout on. A size the queue lacks and cannot take would go onto
// its default paper, centred or scaled by the print server; instead the page goes onto a paper that
// holds it in its orientation (the default paper first, else the smallest), so that it can be drawn
// from the paper's corner. Without such a paper, the default paper in the page's orientation.
QPageLayout paperOnQueue(const QPageLayout &layout, const QueuePapers &queue);

// Sets printer to the paper and orientation of layout, drawing from the paper's corner; false when
// the printer did not take the paper.
bool setPrinterPaper(QPrinter &printer, const QPageLayout &layout);

// One job on a QPrinter to the named CUPS queue; it fails to start when Qt cannot reach that queue
// (Qt would fall back to PDF). The pages go as drawn: the job asks the print server not to scale
// them to the printable area, whatever the queue's own default.
class PrinterJob {
public:
    PrinterJob(const QString &printerName, int dpi);

    // mediaSource is the printer's key of the bin to feed from; empty leaves the printer's choice.
    bool begin(const DeviceMode &mode, const QPageLayout &layout, const QString &mediaSource,
               const QString &title);
    // Takes effect from the next page. A queue takes bin, duplex and copies for a whole document:
    // when one of them changes after pages were printed, the pages so far go to the queue as one
    // job and the job goes on as a new one with the new options.
    bool setMode(const DeviceMode &mode, const QPageLayout &layout, const QString &mediaSource);
    bool beginPage();
    bool endPage();
    bool end();
    void abort();
    QPainter *painter() { return m_pageOpen ? &m_painter : nullptr; }
    const QString &errorText() const { return m_error; }

private:
    // The options a queue applies to a whole document.
    struct DocumentOptions {
        QString mediaSource;
        int duplex = 0;
        int copies = 1;
        bool operator==(const DocumentOptions &other) const = default;
    };
    bool applyLayout(const QPageLayout &layout);
    void applyOptions(const DocumentOptions &options);
    bool startPainting();
    // Sends the pages so far and starts the next document of the job with m_options.
    bool restart(const QPageLayout &layout);

    QString m_title;
    DocumentOptions m_options;
    std::optional<QPageLayout> m_pendingLayout; // set while a new document must start

    QString m_printerName;
    std::unique_ptr<QPrinter> m_printer;
    int m_dpi = 0;
    QPainter m_painter;
    bool m_pageOpen = false;
    int m_pagesBegun = 0;
    QString m_error;
};

// One job written to a PDF file through PdfCanvas at `dpi` device dots per inch, each page the
// full paper of the layout in force (its origin the paper's corner). The file is created by begin
// and removed by abort.
class PdfFileJob {
public:
    PdfFileJob(const QString &fileName, int dpi);
    ~PdfFileJob();
    PdfFileJob(const PdfFileJob &) = delete;
    PdfFileJob &operator=(const PdfFileJob &) = delete;

    bool begin(const QPageLayout &layout, const QString &title);
    // The paper of the pages begun from now on; false for an invalid layout.
    bool setLayout(const QPageLayout &layout);
    bool beginPage();
    bool endPage();
    // Writes the fonts and closing tables; false when the file could not be written.
    bool end();
    void abort();
    // The canvas of the open page, a printer canvas (null outside a page).
    Canvas *canvas() { return m_pageOpen ? m_canvas.get() : nullptr; }
    const QString &errorText() const { return m_error; }

private:
    QString m_fileName;
    int m_dpi = 0;
    QString m_title;
    QSizeF m_pagePoints;
    std::unique_ptr<PdfDocument> m_document;
    std::unique_ptr<PdfCanvas> m_canvas;
    bool m_pageOpen = false;
    QString m_error;
};

} // namespace platform
