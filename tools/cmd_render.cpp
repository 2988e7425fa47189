// tovaro-report render FILE.fp3 --png DIR [--dpi N] [--pages RANGE]: the pages of a prepared report
// as PNG images, page-0001.png and so on.
#include "tools/command.h"

#include "report/frxPageExport.h"
#include "report/frxPreviewPages.h"

#include <cstdio>
#include <exception>

namespace {

int render(const QStringList &arguments)
{
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
        } else if (file.isEmpty() && !argument.startsWith(u'-')) {
            file = argument;
        } else {
            return tools::fail(QStringLiteral("unexpected argument %1").arg(argument));
        }
    }
    if (file.isEmpty() || dir.isEmpty())
        return tools::fail(
            QStringLiteral("usage: tovaro-report render FILE.fp3 --png DIR [--dpi N] [--pages RANGE]"));
    try {
        frx::TfrxReport report;
        frx::TfrxPreviewPages pages(&report);
        if (!pages.LoadFromFile(file)) return tools::fail(QStringLiteral("%1: no such file").arg(file));
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
    registration(QStringLiteral("render"),
                 QStringLiteral("render FILE.fp3 --png DIR [--dpi N] [--pages RANGE]"), render);

} // namespace
