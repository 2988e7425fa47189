// Printing a report's prepared pages without windows, page by page on its own paper, through the
// engine's printer list and the one paint path: the stand-in for the preview's print command in
// the end-to-end printing tests.
#pragma once

#include <QString>

namespace frx {
class TfrxReport;
}

namespace apptest {

// Prints every prepared page of report on the printer of that name, or into outputFile as PDF when
// it is not empty. False when the printer is unknown or a job or page was refused.
bool printPreparedPages(frx::TfrxReport &report, const QString &printerName, const QString &outputFile = {});

} // namespace apptest
