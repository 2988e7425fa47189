#include "headlessprint.h"

#include "report/frxClass.h"
#include "report/frxPainter.h"
#include "report/frxPreviewPages.h"
#include "report/frxPrinter.h"

namespace apptest {

bool printPreparedPages(frx::TfrxReport &report, const QString &printerName, const QString &outputFile)
{
    frx::TfrxPrinters *printers = frx::frxPrinters();
    const int index = printers->FindByName(printerName);
    if (index < 0) return false;
    printers->SetCurrentIndex(index);
    frx::TfrxCustomPrinter *printer = printers->Current();
    printer->SetOutputFile(outputFile);
    frx::TfrxPreviewPages &pages = *report.PreviewPages();
    bool started = false;
    bool ok = true;
    for (int i = 0; i < pages.Count() && ok; ++i) {
        frx::TfrxReportPage *page = pages.Page(i);
        printer->SetPaperForPrint(page->PaperSize(), page->PaperWidth(), page->PaperHeight(),
                                  page->Orientation(), platform::kAutoBinCode, 1, 1);
        if (!started && !(started = printer->BeginJob())) return false;
        ok = printer->BeginSheet();
        if (!ok) break;
        // The sheet's origin is the corner of the printable area; the page's is the paper's.
        const QPoint dpi = printer->DPI();
        frx::frxDrawPage(pages, i, *printer->Canvas()->Canvas(), dpi.x() / 96.0L, dpi.y() / 96.0L,
                         -printer->LeftMargin() * dpi.x() / 25.4L, -printer->TopMargin() * dpi.y() / 25.4L);
        ok = printer->EndSheet();
    }
    if (!ok) {
        printer->AbortJob();
        return false;
    }
    const bool delivered = printer->EndJob();
    printer->SetOutputFile({});
    return delivered;
}

} // namespace apptest
