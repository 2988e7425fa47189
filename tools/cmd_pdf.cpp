// tovaro-report pdf INPUT OUT.pdf: the pages of a prepared report, or of a report template prepared
// in the same run, as one vector PDF with subset fonts, bookmarks and links, each page at its own
// paper size.
#include "tools/command.h"
#include "tools/preparing.h"

#include "platform/errors.h"
#include "report/output/frxPageExport.h"
#include "report/engine/frxPreviewPages.h"

#include <cstdio>

namespace {

const QString kUsage = QStringLiteral("pdf FILE.fp3|TEMPLATE.fr3 OUT.pdf [%1]...").arg(QLatin1String(tools::kDataSetUsage));

int pdf(const QStringList &arguments)
{
    tools::PreparedInput input;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--dataset") && i + 1 < arguments.size()) {
            const QString message = input.addDataSet(arguments[++i]);
            if (!message.isEmpty()) return tools::fail(message);
        } else if (!arguments[i].startsWith(QLatin1String("--"))) {
            files << arguments[i];
        } else {
            return tools::fail(QStringLiteral("unexpected argument %1").arg(arguments[i]));
        }
    }
    if (files.size() != 2) return tools::fail(QStringLiteral("usage: tovaro-report ") + kUsage);
    if (const int status = input.open(files[0])) return status;
    frx::TfrxPreviewPages &pages = input.pages();
    try {
        QList<int> indices;
        frx::frxParsePageRange(QString(), pages.Count(), indices);
        QString error;
        if (!frx::frxExportPdf(pages, indices, files[1], &error))
            return tools::fail(error);
        std::printf("%d pages written to %s\n", int(indices.size()), qPrintable(files[1]));
        return 0;
    } catch (const platform::Error &e) {
        return tools::fail(QStringLiteral("%1: %2").arg(files[0], e.message()));
    }
}

const tools::CommandRegistration
    registration(QStringLiteral("pdf"), kUsage,
                 QStringLiteral("Writes the pages of a prepared report as one PDF file.\n"
                                "A report template (.fr3) is prepared first, in the same run, with the\n"
                                "data sets given:\n"
                                "  --dataset NAME=FILE.csv        the CSV file (first row: field names)\n"
                                "  --dataset NAME=FILE.db:QUERY   the rows of an SQL query on an SQLite file"),
                 pdf);

} // namespace
