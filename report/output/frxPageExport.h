// Output of prepared pages without windows: PNG images (rendered here, encoded on worker threads)
// and one vector PDF with embedded fonts, each page at its own paper size and orientation. Both go
// through frxDrawPage, the one paint path.
#pragma once

#include "report/objects/frxClass.h"

#include <QList>
#include <QString>

#include <functional>

namespace frx {

// Hands out the rebuilt page of an index (not owned; valid until the next call), or none.
using TfrxPageProvider = std::function<TfrxReportPage *(int index)>;

// Page indices (0-based) named by a range text of page numbers from 1, such as "1-3,5,8-" or "" for
// all `count` pages; numbers past the count are dropped. Returns false for a malformed text.
bool frxParsePageRange(const QString &range, int count, QList<int> &indices);

// Renders the pages `indices` at `dpi` dots per inch and writes each as DIR/page-NNNN.png (number from
// 1, four digits at least), encoding on `threads` worker threads (0: one per core but the painting
// one, at least one). `totalPages` is shown for "[TOTALPAGES#]". Returns the number of files written;
// on failure stops, puts the reason into `error` and returns -1.
int frxExportPng(const TfrxPageProvider &pages, const QList<int> &indices, int totalPages, const QString &dir,
                 int dpi, QString *error, int threads = 0);

// Writes the pages `indices` into one PDF at `dpi` device resolution (text and lines stay vectors,
// fonts are embedded as subsets), one page at a time. Returns false with the reason in `error` when
// the file cannot be written.
bool frxExportPdf(const TfrxPageProvider &pages, const QList<int> &indices, int totalPages,
                  const QString &fileName, QString *error, int dpi = 600);

class TfrxPreviewPages;

// The same for prepared pages, with what the report knows besides: its outline as bookmarks,
// objects' addresses as links ("#anchor" and "@page" ones lead into the file), title, author and
// subject from the report options and the time of the export (SOURCE_DATE_EPOCH, when set, instead).
// `progress`, when given, hears of each page written (from 1) and stops the export by returning false.
bool frxExportPdf(TfrxPreviewPages &pages, const QList<int> &indices, const QString &fileName, QString *error,
                  const std::function<bool(int written, int count)> &progress = {}, int dpi = 600);

} // namespace frx
