// tovaro-report prepare: loads a report template, connects the named data sets to CSV files or
// SQLite queries, runs the engine and writes the prepared pages to a .fp3 file.
#include "tools/command.h"
#include "tools/preparing.h"

#include "platform/errors.h"
#include "report/engine/frxPreviewPages.h"

#include <cstdio>

namespace {

const QString kUsage =
    QStringLiteral("prepare TEMPLATE.fr3 --out FILE.fp3 [%1]...").arg(QLatin1String(tools::kDataSetUsage));

int prepare(const QStringList &arguments)
{
    tools::PreparedInput input;
    QString templateFile, outFile;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--out") || arg == QLatin1String("--dataset")) {
            if (i + 1 >= arguments.size()) return tools::fail(arg + QStringLiteral(" needs a value"));
            const QString value = arguments.at(++i);
            if (arg == QLatin1String("--out")) {
                outFile = value;
            } else if (const QString message = input.addDataSet(value); !message.isEmpty()) {
                return tools::fail(message);
            }
        } else if (templateFile.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            templateFile = arg;
        } else {
            return tools::fail(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        }
    }
    if (templateFile.isEmpty() || outFile.isEmpty())
        return tools::fail(QStringLiteral("usage: tovaro-report ") + kUsage);
    if (!tools::isTemplateFile(templateFile))
        return tools::fail(QStringLiteral("%1: not a report template (.fr3)").arg(templateFile));
    if (const int status = input.open(templateFile)) return status;
    try {
        input.pages().SaveToFile(outFile);
    } catch (const platform::Error &e) {
        return tools::fail(e.message());
    }
    std::printf("%d pages\n", input.pages().Count());
    return 0;
}

const tools::CommandRegistration
    registration(QStringLiteral("prepare"), kUsage,
                 QStringLiteral("Prepares a report template and writes its pages to a prepared-report file.\n"
                                "  --dataset NAME=FILE.csv        the CSV file (first row: field names)\n"
                                "  --dataset NAME=FILE.db:QUERY   the rows of an SQL query on an SQLite file"),
                 prepare);

} // namespace
