// Which pages of a prepared report a print run takes: the page-number ranges typed by the user
// ("1,3,5-12", "5-"). Headless, so that the print run and the command-line
// front end share it with the print dialog.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace frx {

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

} // namespace frx
