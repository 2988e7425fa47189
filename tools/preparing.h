// The prepared pages a command works on: read from a prepared-report file (.fp3), or made in the
// same run from a report template (.fr3) and the data sets named on the command line.
#pragma once

#include "report/objects/frxClass.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace frx {
class TfrxDBDataset;
class TfrxPreviewPages;
} // namespace frx

namespace platform {
class Cursor;
}

namespace tools {

// How a data set is named on the command line.
inline constexpr const char *kDataSetUsage = "--dataset NAME=FILE.csv | NAME=FILE.db:QUERY";

// Whether a file is a report template (by its .fr3 suffix) rather than prepared pages.
bool isTemplateFile(const QString &file);

class PreparedInput {
public:
    PreparedInput();
    ~PreparedInput();

    // Adds the data set of one "NAME=FILE.csv" or "NAME=FILE.db:QUERY" argument (used by a
    // template); the message for a malformed one, empty on success.
    QString addDataSet(const QString &spec);
    // Reads the prepared pages of a .fp3 file, or loads the template and prepares it with the data
    // sets added. 0 when the pages are there; else 1, the reasons written to stderr.
    int open(const QString &file);
    frx::TfrxPreviewPages &pages();

private:
    struct DataSource;
    // In this order, so the report lets go of the pages before it and of the data sets after it.
    std::vector<std::unique_ptr<DataSource>> m_sources;
    frx::TfrxReport m_report;
    std::unique_ptr<frx::TfrxPreviewPages> m_filePages;
};

} // namespace tools
