// Internals shared by the CUPS and the fake print devices: the page layout of a device mode and a
// job over QPrinter that prints to a CUPS queue or writes a PDF file.
#pragma once

#include "platform/printing.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <memory>

namespace platform {

// The page of mode, with no margins (the caller measures the unprintable ones); invalid when the
// paper code is unknown. knownPapers are searched before the standard codes.
QPageLayout pageLayoutForMode(const DeviceMode &mode, const QList<DevicePaper> &knownPapers);

// The unprintable margins of layout (its minimum margins) in dots at dpi.
QMargins minimumMarginsDots(const QPageLayout &layout, int dpi);

// One job on a QPrinter. With an output file it writes PDF there; else it goes to the named
// CUPS queue, and fails to start when Qt cannot reach that queue (Qt would fall back to PDF).
class PrinterJob {
public:
    PrinterJob(const QString &printerName, const QString &outputFile, int dpi);

    // mediaSource is the printer's key of the bin to feed from; empty leaves the printer's choice.
    bool begin(const DeviceMode &mode, const QPageLayout &layout, const QString &mediaSource,
               const QString &title);
    // Takes effect from the next page; only the paper and orientation can change within a job.
    bool setMode(const DeviceMode &mode, const QPageLayout &layout);
    bool beginPage();
    bool endPage();
    bool end();
    void abort();
    QPainter *painter() { return m_pageOpen ? &m_painter : nullptr; }
    const QString &errorText() const { return m_error; }

private:
    bool applyLayout(const QPageLayout &layout);

    QString m_printerName;
    QString m_outputFile;
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    bool m_pageOpen = false;
    int m_pagesBegun = 0;
    QString m_error;
};

} // namespace platform
