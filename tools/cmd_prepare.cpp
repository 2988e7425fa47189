// tovaro-report prepare: loads a report template, connects the named data sets to CSV files or
// SQLite queries, runs the engine and writes the prepared pages to a .fp3 file.
#include "tools/command.h"

#include "platform/csvcursor.h"
#include "platform/errors.h"
#include "platform/sqlitecursor.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxPreviewPages.h"
#include "report/frxXMLSerializer.h"

#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct DataSource {
    std::unique_ptr<platform::Cursor> cursor;
    std::unique_ptr<frx::TfrxDBDataset> dataSet;
};

// Makes the data set of one "NAME=FILE.csv" or "NAME=FILE.db:QUERY" argument; empty message on success.
QString makeDataSource(const QString &spec, DataSource &source)
{
    const qsizetype eq = spec.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return QStringLiteral("--dataset needs NAME=FILE.csv or NAME=FILE.db:QUERY, not \"%1\"").arg(spec);
    const QString name = spec.left(eq);
    const QString rest = spec.mid(eq + 1);
    const qsizetype db = rest.indexOf(QStringLiteral(".db:"), 0, Qt::CaseInsensitive);
    if (db >= 0) {
        auto cursor = std::make_unique<platform::SqliteCursor>();
        cursor->setDatabaseFile(rest.left(db + 3));
        cursor->setQuery(rest.mid(db + 4));
        source.cursor = std::move(cursor);
    } else {
        auto cursor = std::make_unique<platform::CsvCursor>();
        cursor->setFileName(rest);
        source.cursor = std::move(cursor);
    }
    source.dataSet = std::make_unique<frx::TfrxDBDataset>();
    try {
        source.dataSet->SetName(name);
    } catch (const platform::Error &) {
        // A user name need not be an identifier; the component name is only for references.
    }
    source.dataSet->SetUserName(name);
    source.dataSet->SetDataSet(source.cursor.get());
    return {};
}

int prepare(const QStringList &arguments)
{
    QString templateFile, outFile;
    std::vector<DataSource> sources;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--out") || arg == QLatin1String("--dataset")) {
            if (i + 1 >= arguments.size()) return tools::fail(arg + QStringLiteral(" needs a value"));
            const QString value = arguments.at(++i);
            if (arg == QLatin1String("--out")) {
                outFile = value;
            } else {
                sources.emplace_back();
                const QString message = makeDataSource(value, sources.back());
                if (!message.isEmpty()) return tools::fail(message);
            }
        } else if (templateFile.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            templateFile = arg;
        } else {
            return tools::fail(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        }
    }
    if (templateFile.isEmpty() || outFile.isEmpty())
        return tools::fail(QStringLiteral("usage: prepare TEMPLATE --out FILE.fp3 [--dataset NAME=FILE.csv | "
                                          "NAME=FILE.db:QUERY]..."));
    if (!QFileInfo::exists(templateFile))
        return tools::fail(QStringLiteral("%1: no such file").arg(templateFile));
    try {
        frx::TfrxReport report;
        frx::LoadFromFile(report, templateFile, true);
        if (report.ErrorList.Count() > 0) {
            std::fprintf(stderr, "%s", report.ErrorList.Text().toUtf8().constData());
            return 1;
        }
        report.EngineOptions.NewSilentMode = frx::simSilent;
        const bool ok = report.PrepareReport(true);
        if (!ok) {
            std::fprintf(stderr, "%s", report.ErrorList.Text().toUtf8().constData());
            return 1;
        }
        report.PreviewPages()->SaveToFile(outFile);
        std::printf("%d pages\n", report.PreviewPages()->Count());
    } catch (const platform::Error &e) {
        return tools::fail(e.message());
    }
    return 0;
}

const tools::CommandRegistration registration(QStringLiteral("prepare"),
                                              QStringLiteral("prepare TEMPLATE --out FILE.fp3 [--dataset "
                                                             "NAME=FILE.csv | NAME=FILE.db:QUERY]..."),
                                              prepare);

} // namespace
