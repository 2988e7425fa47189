// A print job written to a file by our own PDF writer: the same canvas as the PDF export, with the
// fonts subset and mapped back to their characters, each page at the paper of the mode in force.
#include "platform/printing_p.h"

#include <QFile>

namespace platform {

PdfFileJob::PdfFileJob(const QString &fileName, int dpi) : m_fileName(fileName), m_dpi(dpi) {}

PdfFileJob::~PdfFileJob()
{
    abort();
}

bool PdfFileJob::begin(const QPageLayout &layout, const QString &title)
{
    if (!setLayout(layout)) return false;
    m_title = title;
    m_document = std::make_unique<PdfDocument>(0);
    if (!m_document->open(m_fileName)) {
        m_document.reset();
        m_error = QStringLiteral("cannot write %1").arg(m_fileName);
        return false;
    }
    m_canvas = std::make_unique<PdfCanvas>(*m_document, m_dpi);
    // It stands for the printer: fonts by their point size, every printable object, no clipping.
    m_canvas->setPrinterCanvas(true);
    return true;
}

bool PdfFileJob::setLayout(const QPageLayout &layout)
{
    if (!layout.isValid()) {
        m_error = QStringLiteral("unknown paper");
        return false;
    }
    m_pagePoints = layout.fullRect(QPageLayout::Point).size();
    return true;
}

bool PdfFileJob::beginPage()
{
    if (!m_canvas || m_pageOpen) return false;
    m_canvas->beginPage(m_pagePoints);
    m_pageOpen = true;
    return true;
}

bool PdfFileJob::endPage()
{
    if (!m_pageOpen) return false;
    m_pageOpen = false;
    m_canvas->endPage();
    return true;
}

bool PdfFileJob::end()
{
    if (!m_document) return false;
    if (m_pageOpen) endPage();
    PdfInfo info;
    info.title = m_title;
    const bool written = m_document->finish(info, {}, &m_error);
    m_canvas.reset();
    m_document.reset();
    return written;
}

void PdfFileJob::abort()
{
    if (!m_document) return;
    m_pageOpen = false;
    m_canvas.reset();
    m_document.reset();
    // Nothing of a dropped job stays behind.
    QFile::remove(m_fileName);
}

} // namespace platform
