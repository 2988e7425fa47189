#include "tools/preparing.h"

#include "platform/csvcursor.h"
#include "platform/errors.h"
#include "platform/sqlitecursor.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxPreviewPages.h"
#include "report/xml/frxXMLSerializer.h"
#include "tools/command.h"

#include <QFileInfo>

#include <cstdio>

namespace tools {

struct PreparedInput::DataSource {
    std::unique_ptr<platform::Cursor> cursor;
    frx::TfrxDBDataset dataSet;
};

bool isTemplateFile(const QString &file)
{
    return QFileInfo(file).suffix().compare(QLatin1String("fr3"), Qt::CaseInsensitive) == 0;
}

PreparedInput::PreparedInput() = default;
PreparedInput::~PreparedInput() = default;

QString PreparedInput::addDataSet(const QString &spec)
{
    const qsizetype eq = spec.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return QStringLiteral("--dataset needs NAME=FILE.csv or NAME=FILE.db:QUERY, not \"%1\"").arg(spec);
    const QString name = spec.left(eq);
    const QString rest = spec.mid(eq + 1);
    auto source = std::make_unique<DataSource>();
    const qsizetype db = rest.indexOf(QStringLiteral(".db:"), 0, Qt::CaseInsensitive);
    if (db >= 0) {
        auto cursor = std::make_unique<platform::SqliteCursor>();
        cursor->setDatabaseFile(rest.left(db + 3));
        cursor->setQuery(rest.mid(db + 4));
        source->cursor = std::move(cursor);
    } else {
        auto cursor = std::make_unique<platform::CsvCursor>();
        cursor->setFileName(rest);
        source->cursor = std::move(cursor);
    }
    try {
        source->dataSet.SetName(name);
    } catch (const platform::Error &) {
        // A user name need not be an identifier; the component name is only for references.
    }
    source->dataSet.SetUserName(name);
    source->dataSet.SetDataSet(source->cursor.get());
    m_sources.push_back(std::move(source));
    return {};
}

int PreparedInput::open(const QString &file)
{
    if (!QFileInfo::exists(file)) return fail(QStringLiteral("%1: no such file").arg(file));
    try {
        if (!isTemplateFile(file)) {
            if (!m_sources.empty())
                return fail(QStringLiteral("%1: data sets go with a report template (.fr3)").arg(file));
            m_filePages = std::make_unique<frx::TfrxPreviewPages>(&m_report);
            if (!m_filePages->LoadFromFile(file)) return fail(QStringLiteral("%1: no such file").arg(file));
            return 0;
        }
        frx::LoadFromFile(m_report, file, true);
        if (m_report.ErrorList.Count() > 0) {
            std::fprintf(stderr, "%s", m_report.ErrorList.Text().toUtf8().constData());
            return 1;
        }
        m_report.EngineOptions.NewSilentMode = frx::simSilent;
        if (!m_report.PrepareReport(true)) {
            std::fprintf(stderr, "%s", m_report.ErrorList.Text().toUtf8().constData());
            return 1;
        }
        return 0;
    } catch (const platform::Error &e) {
        return fail(QStringLiteral("%1: %2").arg(file, e.message()));
    }
}

frx::TfrxPreviewPages &PreparedInput::pages()
{
    return m_filePages ? *m_filePages : *m_report.PreviewPages();
}

} // namespace tools
