// A real print server for the printing tests: cupsd of the tests' own with a PDF queue and queues
// with the drivers of real printers (started by scripts/cups-test-server.sh), and the tools that
// read back what arrives: poppler for PDF, Ghostscript for PostScript, a reader of PCL raster.
#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace apptest {

class PrintServer {
public:
    // Starts the server with a queue of that name as its default printer and points this
    // process's CUPS clients at it (CUPS_SERVER). Call before anything asks for printers.
    explicit PrintServer(const QString &queue);
    // Stops the server by its PID.
    ~PrintServer();

    bool isRunning() const { return m_failure.isEmpty(); }
    // Why the server could not start; empty when it runs.
    QString failure() const { return m_failure; }
    QString queue() const { return m_queue; }
    // The folder where the queue's PDF files land.
    QString outputDir() const;
    // The PDF files that have arrived, oldest job first.
    QStringList arrived() const;
    // Waits (at most timeoutMs) for more than `count` files to have arrived and for the newest to
    // be complete; its path, or empty on time-out.
    QString waitForFile(int count, int timeoutMs = 30000) const;

    // The queue with a real printer's driver: kind "ps" (Generic PostScript), "hp" (HP Color
    // LaserJet, PDF) or "inkjet" (Gutenprint, PCL raster).
    QString driverQueue(const QString &kind) const { return m_queue + QLatin1Char('_') + kind; }
    // The jobs that have arrived on that queue (what the printer would receive), oldest first.
    QStringList driverJobs(const QString &kind) const;
    // Waits (at most timeoutMs) for more than `count` jobs on that queue; the newest's path, or
    // empty on time-out.
    QString waitForDriverJob(const QString &kind, int count, int timeoutMs = 60000) const;
    // The printable area the driver of that queue states for the paper named keyword ("A4",
    // "Letter"), in millimetres from the paper's top left corner; empty when it states none.
    QRectF printableAreaMm(const QString &kind, const QString &keyword) const;

private:
    QTemporaryDir m_dir;
    QString m_queue;
    QString m_failure;
};

// The page sizes of a PDF in points, in page order; empty when pdfinfo cannot read it.
QList<QSizeF> pdfPageSizes(const QString &file);
// The text of a PDF (pdftotext), pages separated by form feeds; empty on failure.
QString pdfText(const QString &file);
// Page `page` (from 1) rendered in grey at dpi (pdftoppm); a null image on failure.
QImage renderPdfPage(const QString &file, int page, int dpi);

// A printed page read back: its picture in grey and its resolution.
struct PrintedPage {
    QImage grey;
    int dpi = 0;
    // The paper in millimetres.
    QSizeF sizeMm() const { return QSizeF(grey.width() * 25.4 / dpi, grey.height() * 25.4 / dpi); }
};

// The pages of a printer job rendered or decoded in grey: PostScript through Ghostscript at dpi, a
// PDF (after the printer commands a job may start with) through poppler at dpi, PCL raster as it
// stands (dpi then is the job's own, pclPrintableLeftMm the left edge of the printable area the
// printer counts from). Empty when the job cannot be read.
QList<PrintedPage> readPrinterJob(const QString &file, int dpi, double pclPrintableLeftMm = 0);

// The smallest rectangle holding every dark pixel (below grey 128) of region; empty when none.
QRect inkBounds(const QImage &grey, const QRect &region);
// The number of separate runs of rows (vertical) or columns (horizontal) of region that hold ink.
int inkRuns(const QImage &grey, const QRect &region, Qt::Orientation across);

} // namespace apptest
