// tovaro-report render INPUT --png DIR [--dpi N] [--pages RANGE]: the pages of a prepared report, or
// of a report template prepared in the same run, as PNG images, page-0001.png and so on.
#include "tools/command.h"
#include "tools/preparing.h"

#include "platform/errors.h"
#include "report/output/frxPageExport.h"
#include "report/engine/frxPreviewPages.h"

#include <cstdio>

namespace {

const QString kUsage = QStringLiteral("render FILE.fp3|TEMPLATE.fr3 --png DIR [--dpi N] [--pages RANGE] [%1]...")
                           .arg(QLatin1String(tools::kDataSetUsage));

int render(const QStringList &arguments)
{
    tools::PreparedInput input;
    QString file, dir, range;
    int dpi = 96;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--png") && hasValue) {
            dir = arguments[++i];
        } else if (argument == QLatin1String("--dpi") && hasValue) {
            bool ok = false;
            dpi = arguments[++i].toInt(&ok);
            if (!ok || dpi < 10 || dpi > 2400)
                return tools::fail(QStringLiteral("--dpi wants a number from 10 to 2400"));
        } else if (argument == QLatin1String("--pages") && hasValue) {
            range = arguments[++i];
        } else if (argument == QLatin1String("--dataset") && hasValue) {
            const QString message = input.addDataSet(arguments[++i]);
            if (!message.isEmpty()) return tools::fail(message);
        } else if (file.isEmpty() && !argument.startsWith(u'-')) {
            file = argument;
        } else {
            return tools::fail(QStringLiteral("unexpected argument %1").arg(argument));
        }
    }
    if (file.isEmpty() || dir.isEmpty()) return tools::fail(QStringLiteral("usage: tovaro-report ") + kUsage);
    if (const int status = input.open(file)) return status;
    frx::TfrxPreviewPages &pages = input.pages();
    try {
        QList<int> indices;
        if (!frx::frxParsePageRange(range, pages.Count(), indices))
            return tools::fail(QStringLiteral("bad page range %1").arg(range));
        QString error;
        const int written = frx::frxExportPng([&pages](int index) { return pages.Page(index); }, indices,
                                              pages.Count(), dir, dpi, &error);
        if (written < 0) return tools::fail(error);
        std::printf("%d pages written to %s\n", written, qPrintable(dir));
        return 0;
    } catch (const platform::Error &e) {
        return tools::fail(QStringLiteral("%1: %2").arg(file, e.message()));
    }
}

const tools::CommandRegistration
    registration(QStringLiteral("render"), kUsage,
                 QStringLiteral("Draws the pages of a prepared report as PNG images in DIR (page-0001.png ...).\n"
                                "  --dpi N         resolution, 10 to 2400 (96 by default)\n"
                                "  --pages RANGE   pages such as 1,3-5 or 2- (all by default)\n"
                                "A report template (.fr3) is prepared first, in the same run, with the\n"
                                "data sets given:\n"
                                "  --dataset NAME=FILE.csv        the CSV file (first row: field names)\n"
                                "  --dataset NAME=FILE.db:QUERY   the rows of an SQL query on an SQLite file"),
                 render);

} // namespace
