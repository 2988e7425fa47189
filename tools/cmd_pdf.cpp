// tovaro-report pdf FILE.fp3 OUT.pdf: the pages of a prepared report as one vector PDF with embedded
// fonts, each page at its own paper size and orientation.
#include "tools/command.h"

#include "report/frxPageExport.h"
#include "report/frxPreviewPages.h"

#include <cstdio>

namespace {

int pdf(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return tools::fail(QStringLiteral("usage: tovaro-report pdf FILE.fp3 OUT.pdf"));
    try {
        frx::TfrxReport report;
        frx::TfrxPreviewPages pages(&report);
        if (!pages.LoadFromFile(arguments[0]))
            return tools::fail(QStringLiteral("%1: no such file").arg(arguments[0]));
        QList<int> indices;
        frx::frxParsePageRange(QString(), pages.Count(), indices);
        QString error;
        if (!frx::frxExportPdf([&pages](int index) { return pages.Page(index); }, indices, pages.Count(),
                               arguments[1], &error))
            return tools::fail(error);
        std::printf("%d pages written to %s\n", int(indices.size()), qPrintable(arguments[1]));
        return 0;
    } catch (const platform::Error &e) {
        return tools::fail(QStringLiteral("%1: %2").arg(arguments[0], e.message()));
    }
}

const tools::CommandRegistration registration(QStringLiteral("pdf"), QStringLiteral("pdf FILE.fp3 OUT.pdf"),
                                              pdf);

} // namespace
