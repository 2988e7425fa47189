// The print run: prepared pages to the current printer, page by page, split over sheets, joined on
// sheets or scaled to a sheet, with copies, collation, per-page paper, bin and duplex.
#include "report/output/frxPrintPages.h"

#include "platform/canvas.h"
#include "platform/errors.h"
#include "report/objects/frxClass.h"
#include "report/base/frxHost.h"
#include "report/output/frxPainter.h"
#include "report/engine/frxPreviewPages.h"
#include "report/output/frxPrinter.h"
#include "report/output/frxPrinter_p.h"
#include "report/base/frxRes.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace frx {

namespace {

int tileCount(Extended a, Extended b)
{
    if (b <= 0) return 1;
    const Extended whole = std::trunc(a / b);
    const qint64 n = a - whole * b >= 11 ? qint64(whole) + 1 : roundHalfEven(a / b);
    return int(std::clamp<qint64>(n, 1, 10000));
}

const QString kPageRefused = QStringLiteral("打印机拒绝了新的一页，打印中断。请检查打印机的纸张和连接，再打印一次");

void processMessages()
{
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

// The settings a printed page asked the printer for; a page that asks for the same leaves the
// printer alone.
struct SheetSettings {
    int paper = 0;
    qint64 width = 0;
    qint64 height = 0;
    int bin = DMBIN_AUTO;
    TPrinterOrientation orientation = poPortrait;
    int duplex = 0;
    bool operator==(const SheetSettings &other) const = default;
};

class PrintRun {
public:
    PrintRun(TfrxReport &report, TfrxCustomPrinter *printer, int dialogDuplex, TfrxPageNumbers selection,
             Extended sheetWidth, Extended sheetHeight)
        : m_report(report), m_pages(*report.PreviewPages()), m_printer(printer), m_dialogDuplex(dialogDuplex),
          m_selection(std::move(selection)), m_sheetWidth(sheetWidth), m_sheetHeight(sheetHeight)
    {
        if (report.OnPrinterShift && !toFile()) m_shiftMm = report.OnPrinterShift(printer->Name());
    }

    // The loop over copies and pages; false when it stopped early or the printer refused.
    bool Run();

private:
    bool DefaultPass();
    bool SplitPass();
    bool JoinPass();
    // The pages a pass takes, in printing order.
    QList<int> SelectedPages(bool reverse) const;
    bool Selected(int index) const;
    // Copies the device makes of each page, and the copy number it carries.
    int DeviceCopies() const;
    int Bin(int index) const;
    int Duplex(const TfrxReportPage &page) const;
    // The start of every page: the page after the report's page event, or why there is none.
    struct StartedPage {
        bool stopped = false;           // the run was terminated
        TfrxReportPage *page = nullptr; // null when the index has no page
        int copies = 1;                 // the copies the device makes of it
    };
    StartedPage StartPage(int index);
    bool PrintPage(int index);
    bool PrintSplitPage(int index);
    bool EnsureJob();
    bool BeginSheet();
    bool EndSheet(int pageNo);
    bool EmptySheet();
    void Draw(int index, Extended scaleX, Extended scaleY, Extended offsetXMm, Extended offsetYMm);
    // The unprintable margins of the output in millimetres: the printer's, or none for a file,
    // whose pages start at the paper's corner whatever printer is selected.
    Extended leftMargin() const { return toFile() ? 0 : m_printer->LeftMargin(); }
    Extended topMargin() const { return toFile() ? 0 : m_printer->TopMargin(); }
    Extended rightMargin() const { return toFile() ? 0 : m_printer->RightMargin(); }
    Extended bottomMargin() const { return toFile() ? 0 : m_printer->BottomMargin(); }
    bool toFile() const { return !m_printer->OutputFile().isEmpty(); }
    void Terminate();
    bool Refused(const QString &what);

    TfrxReport &m_report;
    TfrxPreviewPages &m_pages;
    TfrxCustomPrinter *m_printer;
    QPointF m_shiftMm; // the report's move for this printer
    int m_dialogDuplex;
    TfrxPageNumbers m_selection;
    bool m_started = false;
    bool m_failed = false;
    int m_sheets = 0;
    std::optional<SheetSettings> m_last;
    // The sheet of the non-default modes, millimetres in portrait terms.
    Extended m_sheetWidth = 0;
    Extended m_sheetHeight = 0;
    int m_copies = 1;
};

QList<int> PrintRun::SelectedPages(bool reverse) const
{
    QList<int> indices;
    const int count = m_pages.Count();
    for (int i = 0; i < count; ++i)
        if (Selected(i)) indices.append(i);
    if (reverse) std::reverse(indices.begin(), indices.end());
    return indices;
}

bool PrintRun::Selected(int index) const
{
    const int pageNo = index + 1;
    if (!m_selection.Contains(pageNo)) return false;
    switch (m_report.PrintOptions.PrintPages) {
    case ppOdd:
        return pageNo % 2 == 1;
    case ppEven:
        return pageNo % 2 == 0;
    case ppAll:
        break;
    }
    return true;
}

int PrintRun::DeviceCopies() const
{
    return m_report.PrintOptions.Collate ? 1 : m_copies;
}

int PrintRun::Bin(int index) const
{
    TfrxReportPage *page = m_pages.Page(index);
    return index == 0 ? page->Bin : page->BinOtherPages;
}

int PrintRun::Duplex(const TfrxReportPage &page) const
{
    return m_dialogDuplex != 0 ? m_dialogDuplex : int(page.Duplex);
}

bool PrintRun::Refused(const QString &what)
{
    m_failed = true;
    m_report.ReportError(QStringLiteral("打印机“%1”：%2。").arg(m_printer->Name(), what));
    return false;
}

bool PrintRun::EnsureJob()
{
    if (m_started) return true;
    if (!m_printer->BeginJob())
        return Refused(QStringLiteral("打印任务无法开始。请确认打印机已开机、接好，在系统的打印机设置里可以打印，再打印一次"));
    m_started = true;
    return true;
}

bool PrintRun::BeginSheet()
{
    if (!m_printer->BeginSheet() || !m_printer->Canvas()->Canvas()) {
        m_printer->AbortJob();
        m_started = false;
        return Refused(kPageRefused);
    }
    return true;
}

bool PrintRun::EndSheet(int pageNo)
{
    m_report.InternalOnProgress(ptPrinting, pageNo);
    if (!m_printer->EndSheet()) {
        m_printer->AbortJob();
        m_started = false;
        return Refused(kPageRefused);
    }
    processMessages();
    ++m_sheets;
    return true;
}

bool PrintRun::EmptySheet()
{
    if (!BeginSheet()) return false;
    if (!m_printer->EndSheet()) {
        Terminate();
        return Refused(kPageRefused);
    }
    ++m_sheets;
    return true;
}

void PrintRun::Terminate()
{
    if (m_started) m_printer->AbortJob();
    m_started = false;
}

// Paints page index with its origin offsetXMm, offsetYMm millimetres from the printable area's
// corner; scale factors are device dots per report unit.
void PrintRun::Draw(int index, Extended scaleX, Extended scaleY, Extended offsetXMm, Extended offsetYMm)
{
    const QPoint dpi = m_printer->DPI();
    offsetXMm += m_shiftMm.x();
    offsetYMm += m_shiftMm.y();
    frxDrawPage(m_pages, index, *m_printer->Canvas()->Canvas(), scaleX, scaleY, offsetXMm * dpi.x() / 25.4L,
                offsetYMm * dpi.y() / 25.4L);
}

PrintRun::StartedPage PrintRun::StartPage(int index)
{
    if (m_report.Terminated) {
        Terminate();
        return {.stopped = true};
    }
    TfrxReportPage *page = m_pages.Page(index);
    if (!page) return {};
    const int copies = DeviceCopies();
    if (!m_report.PrintOptions.Collate) m_pages.CopyNo = 1;
    if (m_report.OnPrintPage) m_report.OnPrintPage(page, m_pages.CopyNo);
    // The event may have rebuilt pages; take the page again.
    return {.page = m_pages.Page(index), .copies = copies};
}

bool PrintRun::PrintPage(int index)
{
    const StartedPage started = StartPage(index);
    if (started.stopped) return false;
    if (!started.page) return true;
    TfrxReportPage *page = started.page;
    const int copies = started.copies;

    const TfrxPrintMode mode = m_report.PrintOptions.PrintMode;
    const SheetSettings settings{page->PaperSize(),
                                 roundHalfEven(page->PaperWidth()),
                                 roundHalfEven(page->PaperHeight()),
                                 Bin(index),
                                 page->Orientation(),
                                 Duplex(*page)};
    Extended rx = 1, ry = 1;
    if (mode == pmScale) {
        const bool changed = !m_last || m_last->bin != settings.bin ||
                             m_last->orientation != settings.orientation || m_last->duplex != settings.duplex;
        if (!m_started || changed) {
            const bool landscape = settings.orientation == poLandscape;
            m_printer->SetPaperForPrint(m_report.PrintOptions.PrintOnSheet,
                                        landscape ? m_sheetHeight : m_sheetWidth,
                                        landscape ? m_sheetWidth : m_sheetHeight, settings.orientation,
                                        settings.bin, settings.duplex + 1, copies);
        }
        rx = m_printer->PaperWidth() / page->PaperWidth();
        ry = m_printer->PaperHeight() / page->PaperHeight();
        m_pages.PrintScale = qMin(rx, ry);
    } else if (!m_started || !m_last || *m_last != settings) {
        m_printer->SetPaperForPrint(settings.paper, page->PaperWidth(), page->PaperHeight(),
                                    settings.orientation, settings.bin, settings.duplex + 1, copies);
    }
    if (!EnsureJob() || !BeginSheet()) return false;

    const QPoint dpi = m_printer->DPI();
    Draw(index, dpi.x() / 96.0L * rx, dpi.y() / 96.0L * ry, -leftMargin(), -topMargin());
    if (!EndSheet(index + 1)) return false;
    m_last = settings;
    // A long run keeps one rebuilt page at a time, not a cache full of them.
    m_pages.ClearCache();
    return true;
}

bool PrintRun::PrintSplitPage(int index)
{
    const StartedPage started = StartPage(index);
    if (started.stopped) return false;
    if (!started.page) return true;
    TfrxReportPage *page = started.page;
    const int copies = started.copies;

    const TfrxTiling tiling =
        frxTiling(page->PaperWidth(), page->PaperHeight(), m_sheetWidth, m_sheetHeight, false);
    const TPrinterOrientation orientation = tiling.landscape ? poLandscape : poPortrait;
    const SheetSettings settings{
        m_report.PrintOptions.PrintOnSheet, 0, 0, Bin(index), orientation, Duplex(*page)};
    if (!m_started || !m_last || *m_last != settings)
        m_printer->SetPaperForPrint(settings.paper, tiling.landscape ? m_sheetHeight : m_sheetWidth,
                                    tiling.landscape ? m_sheetWidth : m_sheetHeight, orientation,
                                    settings.bin, settings.duplex + 1, copies);
    if (!EnsureJob()) return false;
    m_last = settings;

    // Consecutive sheets continue each other's printable areas.
    const Extended printableWidth = m_printer->PaperWidth() - leftMargin() - rightMargin();
    const Extended printableHeight = m_printer->PaperHeight() - topMargin() - bottomMargin();
    const QPoint dpi = m_printer->DPI();
    for (int row = 0; row < tiling.rows; ++row)
        for (int column = 0; column < tiling.columns; ++column) {
            if (m_report.Terminated) {
                Terminate();
                return false;
            }
            if (!BeginSheet()) return false;
            Draw(index, dpi.x() / 96.0L, dpi.y() / 96.0L, -leftMargin() - column * printableWidth,
                 -topMargin() - row * printableHeight);
            if (!EndSheet(index + 1)) return false;
        }
    m_pages.ClearCache();
    return true;
}

bool PrintRun::DefaultPass()
{
    for (int index : SelectedPages(m_report.PrintOptions.Reverse))
        if (!PrintPage(index)) return false;
    return true;
}

bool PrintRun::SplitPass()
{
    for (int index : SelectedPages(m_report.PrintOptions.Reverse))
        if (!PrintSplitPage(index)) return false;
    return true;
}

// Every selected page Copies times in succession, in cells as large as the first of them.
bool PrintRun::JoinPass()
{
    const QList<int> indices = SelectedPages(false);
    if (indices.isEmpty()) return true;
    TfrxReportPage *first = m_pages.Page(indices.first());
    if (!first) return true;
    const Extended cellWidth = first->PaperWidth();
    const Extended cellHeight = first->PaperHeight();
    const TfrxTiling tiling = frxTiling(cellWidth, cellHeight, m_sheetWidth, m_sheetHeight, true);
    const TPrinterOrientation orientation = tiling.landscape ? poLandscape : poPortrait;
    m_printer->SetPaperForPrint(
        m_report.PrintOptions.PrintOnSheet, tiling.landscape ? m_sheetHeight : m_sheetWidth,
        tiling.landscape ? m_sheetWidth : m_sheetHeight, orientation, first->Bin, Duplex(*first) + 1, 1);
    if (!EnsureJob()) return false;

    struct Cell {
        int index;
        int copyNo;
    };
    QList<Cell> cells;
    for (int index : indices)
        for (int copy = 1; copy <= m_copies; ++copy)
            cells.append(Cell{index, copy});
    const int perSheet = tiling.columns * tiling.rows;
    const QPoint dpi = m_printer->DPI();
    int sheetNo = 0;
    for (qsizetype start = 0; start < cells.size(); start += perSheet) {
        if (m_report.Terminated) {
            Terminate();
            return false;
        }
        if (!BeginSheet()) return false;
        for (int k = 0; k < perSheet && start + k < cells.size(); ++k) {
            const Cell &cell = cells[start + k];
            m_pages.CopyNo = cell.copyNo;
            if (m_report.OnPrintPage) m_report.OnPrintPage(m_pages.Page(cell.index), cell.copyNo);
            const int column = k % tiling.columns;
            const int row = k / tiling.columns;
            Draw(cell.index, dpi.x() / 96.0L, dpi.y() / 96.0L, -leftMargin() + column * cellWidth,
                 -topMargin() + row * cellHeight);
        }
        if (!EndSheet(++sheetNo)) return false;
    }
    return true;
}

bool PrintRun::Run()
{
    m_report.InternalOnProgressStart(ptPrinting);
    m_report.Terminated = false;
    m_printer->SetJobTitle(!m_report.ReportOptions.Name.isEmpty() ? m_report.ReportOptions.Name
                                                                  : m_report.TemplateFileName);
    m_copies = qMax(1, m_report.PrintOptions.Copies);
    const TfrxPrintMode mode = m_report.PrintOptions.PrintMode;

    bool completed = true;
    try {
        const auto pass = [&] {
            switch (mode) {
            case pmSplit:
                return SplitPass();
            case pmJoin:
                return JoinPass();
            case pmDefault:
            case pmScale:
                break;
            }
            return DefaultPass();
        };
        // Joined sheets carry every copy already.
        if (m_report.PrintOptions.Collate && mode != pmJoin) {
            for (int copy = 1; copy <= m_copies && completed; ++copy) {
                m_pages.CopyNo = copy;
                completed = pass();
                const bool duplex =
                    m_last && (m_last->duplex == dmVertical || m_last->duplex == dmHorizontal);
                if (completed && duplex && m_sheets % 2 == 1) {
                    // The next copy starts on the front of a new sheet.
                    completed = EmptySheet();
                }
                if (m_report.Terminated) completed = false;
            }
        } else {
            m_pages.CopyNo = 1;
            completed = pass();
        }
    } catch (...) {
        Terminate();
        m_report.InternalOnProgressStop(ptPrinting);
        throw;
    }
    if (m_started && !m_printer->EndJob())
        completed = Refused(QStringLiteral("打印任务未能送到打印机。请检查打印机的连接和系统的打印队列，再打印一次"));
    m_started = false;
    m_report.InternalOnProgressStop(ptPrinting);
    return completed && !m_failed;
}

// What a run changes and puts back at its end: the options, the print scale and the output file a
// dialog gave the printer; the copy number goes back to 0, as outside printing.
class RunState {
public:
    explicit RunState(TfrxReport &report) : m_report(report)
    {
        m_options.Assign(report.PrintOptions);
    }
    // The printer whose output file goes back to outputFile at the end.
    void KeepOutputFile(TfrxCustomPrinter *printer, const QString &outputFile)
    {
        m_printer = printer;
        m_outputFile = outputFile;
    }
    // The end steps: the event, then everything back as it was.
    void Finish()
    {
        Restore();
        if (m_report.OnAfterPrintReport) m_report.OnAfterPrintReport();
    }
    void Restore()
    {
        TfrxPreviewPages *pages = m_report.PreviewPages();
        pages->CopyNo = 0;
        pages->PrintScale = 1;
        m_report.PrintOptions.Assign(m_options);
        // A file chosen in the dialog is for this run only.
        if (m_printer) m_printer->SetOutputFile(m_outputFile);
    }

private:
    TfrxReport &m_report;
    TfrxPrintOptions m_options;
    TfrxCustomPrinter *m_printer = nullptr;
    QString m_outputFile;
};

// The run from the printer's selection to the last page.
bool PrintWithOptions(TfrxReport &report, int currentPageNo, RunState &state)
{
    TfrxPrinters *printers = frxPrinters();
    TfrxPreviewPages &pages = *report.PreviewPages();
    pages.PrintScale = 1;
    printers->SelectByName(report.PrintOptions.Printer);
    state.KeepOutputFile(printers->Current(), printers->Current()->OutputFile());
    int dialogDuplex = 0;
    if (report.PrintOptions.ShowDialog) {
        const int printerBefore = printers->CurrentIndex();
        const std::optional<int> duplex = frxHost().RunPrintDialog(report, currentPageNo);
        if (!duplex) return false;
        dialogDuplex = *duplex;
        // A printer chosen in the dialog prints to the printer again after this run.
        if (printers->CurrentIndex() != printerBefore) state.KeepOutputFile(printers->Current(), QString());
    }
    TfrxCustomPrinter *printer = printers->Current();

    Extended sheetWidth = 0, sheetHeight = 0;
    if (report.PrintOptions.PrintMode != pmDefault && printer->Initialized()) {
        const int sheet = report.PrintOptions.PrintOnSheet;
        if (sheet == DMPAPER_USER) {
            const bool landscape = printer->Orientation() == poLandscape;
            printer->SetPaperForView(DMPAPER_USER, landscape ? printer->PaperHeight() : printer->PaperWidth(),
                                     landscape ? printer->PaperWidth() : printer->PaperHeight(), poPortrait);
        } else {
            printer->SetPaperForView(sheet, 0, 0, poPortrait);
        }
        sheetWidth = printer->PaperWidth();
        sheetHeight = printer->PaperHeight();
    }

    if (report.OnPrintReport) report.OnPrintReport();
    if (!report.OnReportPrint.isEmpty()) report.RunScriptEvent(&report, report.OnReportPrint, true);

    if (!printer->Initialized()) {
        report.ReportError(invalidPrinterText(printer->Name()));
        return false;
    }
    const TfrxPageNumbers selection = ParsePageNumbers(report.PrintOptions.PageNumbers, pages.Count());
    pages.ClearCache();
    PrintRun run(report, printer, dialogDuplex, selection, sheetWidth, sheetHeight);
    return run.Run();
}

} // namespace

TfrxTiling frxTiling(Extended pageWidth, Extended pageHeight, Extended sheetWidth, Extended sheetHeight,
                     bool join)
{
    const auto count = [&](Extended sw, Extended sh, bool landscape) {
        return join ? TfrxTiling{tileCount(sw, pageWidth), tileCount(sh, pageHeight), landscape}
                    : TfrxTiling{tileCount(pageWidth, sw), tileCount(pageHeight, sh), landscape};
    };
    const TfrxTiling upright = count(sheetWidth, sheetHeight, false);
    const TfrxTiling turned = count(sheetHeight, sheetWidth, true);
    return turned.columns * turned.rows < upright.columns * upright.rows ? turned : upright;
}

bool PrintPrepared(TfrxReport &report, int currentPageNo)
{
    if (!frxPrinters()->HasRealPrinters()) {
        report.ReportError(frxGet(QStringLiteral("clNoPrinters")));
        return false;
    }
    RunState state(report);
    bool printed = false;
    try {
        printed = PrintWithOptions(report, currentPageNo, state);
    } catch (...) {
        // The first failure is the one to report; the end steps still run.
        try {
            state.Finish();
        } catch (...) {
            state.Restore();
        }
        throw;
    }
    state.Finish();
    return printed;
}

} // namespace frx
