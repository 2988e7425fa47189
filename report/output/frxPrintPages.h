// Printing prepared pages: which pages a print run takes (the page-number ranges typed by the user,
// "1,3,5-12", "5-"), how pages and sheets tile, and the print run itself over the current printer.
// Headless: the print dialog is reached through the host (frxHost.h), so that the command-line
// front end prints with the same code as the preview.
#pragma once

#include "report/base/frxUtils.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace frx {

class TfrxReport;

// The pages selected by a page-number text. Ranges are kept as typed instead of being expanded, so
// that "1-2000000000" costs nothing; a range whose start is larger than its end selects nothing.
class TfrxPageNumbers {
public:
    struct Range {
        int first = 0;
        int last = 0;
        bool operator==(const Range &other) const = default;
    };

    // True when the text named no page at all: then every page is selected. A text naming only
    // empty ranges ("7-3") selects no page.
    bool SelectsAll() const { return !m_restricted; }
    // True when page number n (1-based) is selected.
    bool Contains(int n) const;
    // The non-empty ranges in the order typed, duplicates kept.
    const QList<Range> &Ranges() const { return m_ranges; }
    // Adds the range first-last; a range with first > last selects nothing but still restricts.
    void Append(Range range);

private:
    QList<Range> m_ranges;
    bool m_restricted = false;
};

// Parses a page-number text for a report of pageCount pages: spaces are ignored, items are
// separated by ",", an item is a number or a range "a-b", and a trailing "-" runs to the last
// page. An empty text selects every page. Text that is not of this form (letters, "1-2-3", a range
// without its start, numbers beyond the integer range) raises platform::Error naming the text.
TfrxPageNumbers ParsePageNumbers(const QString &text, int pageCount);

// How many sheets a large page is split over, or how many small pages join on one sheet: columns x
// rows, and whether the sheet is turned to landscape for it. Sizes are millimetres, the sheet's in
// portrait terms.
struct TfrxTiling {
    int columns = 1;
    int rows = 1;
    bool landscape = false;
    bool operator==(const TfrxTiling &other) const = default;
};

// Along each direction a part that leaves at least 11 mm over counts as one more; otherwise the
// ratio is rounded, but never to less than one. The turned sheet is taken when it needs fewer
// tiles. join false: the page over sheets (split); join true: pages on the sheet.
TfrxTiling frxTiling(Extended pageWidth, Extended pageHeight, Extended sheetWidth, Extended sheetHeight,
                     bool join);

// Prints the prepared pages of report on the current printer: the printer named by PrintOptions,
// the host's print dialog when ShowDialog is set, then the selected pages, copies
// and print mode. PrintOptions are the same afterwards. False when nothing or not everything was
// printed: no printer ("clNoPrinters"), an unusable printer, the dialog cancelled, the run
// terminated, or a job the printer refused; the reason has gone to the report's ReportError. A
// page-number text that cannot be read raises platform::Error after the run's end steps.
bool PrintPrepared(TfrxReport &report, int currentPageNo = 1);

} // namespace frx
