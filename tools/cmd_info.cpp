// tovaro-report info FILE.fp3: what a prepared-report file holds, page by page.
#include "tools/command.h"

#include "report/engine/frxPreviewPages.h"

#include <cstdio>

namespace {

// "pages N", then per page "page I: W x H mm, N objects" (I from 1, paper size in millimetres,
// objects at every level of the rebuilt page).
int showInfo(const QStringList &arguments)
{
    if (arguments.size() != 1) return tools::fail(QStringLiteral("usage: tovaro-report info FILE.fp3"));
    const QString &fileName = arguments.first();
    frx::TfrxReport report;
    frx::TfrxPreviewPages pages(&report);
    try {
        if (!pages.LoadFromFile(fileName))
            return tools::fail(QStringLiteral("%1: no such file").arg(fileName));
        std::printf("pages %d\n", pages.Count());
        for (int i = 0; i < pages.Count(); ++i) {
            frx::TfrxReportPage *page = pages.Page(i);
            const QString line =
                QStringLiteral("page %1: %2 x %3 mm, %4 objects")
                    .arg(i + 1)
                    .arg(frx::floatToText(page->PaperWidth()), frx::floatToText(page->PaperHeight()))
                    .arg(page->AllObjects().size());
            std::printf("%s\n", line.toUtf8().constData());
        }
    } catch (const platform::Error &error) {
        return tools::fail(QStringLiteral("%1: %2").arg(fileName, error.message()));
    }
    return 0;
}

const tools::CommandRegistration
    registration(QStringLiteral("info"), QStringLiteral("info FILE.fp3"),
                 QStringLiteral("Lists the pages of a prepared report: paper size and number of objects of each."), showInfo);

} // namespace
