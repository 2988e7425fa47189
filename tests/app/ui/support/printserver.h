// A real print server for the printing tests: cupsd of the tests' own with a PDF queue (started by
// scripts/cups-test-server.sh), and poppler's tools to read back the PDF files that arrive.
#pragma once

#include <QImage>
#include <QList>
#include <QRect>
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

// The smallest rectangle holding every dark pixel (below grey 128) of region; empty when none.
QRect inkBounds(const QImage &grey, const QRect &region);
// The number of separate runs of rows (vertical) or columns (horizontal) of region that hold ink.
int inkRuns(const QImage &grey, const QRect &region, Qt::Orientation across);

} // namespace apptest
