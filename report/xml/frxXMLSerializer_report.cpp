#include "report/xml/frxXMLSerializer.h"

#include "report/base/frxPasswordCheck.h"
#include "report/base/frxRes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRecursiveMutex>
#include <QSaveFile>

#include <mutex>

namespace frx {

namespace {

// Held around reading for reports that ask to be thread-safe.
QRecursiveMutex &readingLock()
{
    static QRecursiveMutex lock;
    return lock;
}

// Template files being loaded on this thread, so that a report naming itself (or a file that names
// it back) as its ParentReport fails instead of recursing without end.
thread_local QStringList t_loading;

class LoadingGuard {
public:
    explicit LoadingGuard(const QString &fileName) : m_name(QFileInfo(fileName).absoluteFilePath())
    {
        if (t_loading.contains(m_name))
            throw platform::FileError(QStringLiteral("The template %1 inherits from itself").arg(fileName));
        t_loading.append(m_name);
    }
    ~LoadingGuard() { t_loading.removeOne(m_name); }

private:
    QString m_name;
};

// Reads a document into the object and hands the errors to its report's ErrorList.
void readComponent(TfrxComponent &object, QIODevice &stream)
{
    object.Clear();
    TfrxReport *report = object.OwnerReport();
    TfrxXMLSerializer serializer(&stream);
    serializer.Owner = report ? static_cast<TfrxComponent *>(report) : &object;
    std::unique_lock<QRecursiveMutex> lock;
    if (report && report->EngineOptions.ThreadSafe) lock = std::unique_lock(readingLock());
    try {
        serializer.ReadObjectTree(&object);
    } catch (...) {
        if (report)
            for (const QString &line : serializer.Errors.Lines())
                report->ErrorList.Add(TfrxError{.source = TfrxErrorSource::Template, .message = line});
        throw;
    }
    if (report)
        for (const QString &line : serializer.Errors.Lines())
            report->ErrorList.Add(TfrxError{.source = TfrxErrorSource::Template, .message = line});
}

// A report always has a data page first; non-visual objects found elsewhere are moved onto a new one.
void ensureDataPage(TfrxReport &report)
{
    for (TfrxComponent *object : report.Objects())
        if (dynamic_cast<TfrxDataPage *>(object)) return;
    auto *page = new TfrxDataPage(&report);
    try {
        if (report.FindObject(u"Data"))
            page->CreateUniqueName();
        else
            page->SetName(QStringLiteral("Data"));
    } catch (const platform::Error &) {
        // "Data" is taken by a component outside the report's tree.
        page->CreateUniqueName();
    }
    // Objects has no insertion point of its own: the other children go behind the new page.
    const QList<TfrxComponent *> others = report.Objects();
    for (TfrxComponent *object : others) {
        if (object == page) continue;
        object->SetParent(nullptr);
        object->SetParent(&report);
    }
    int index = 0;
    const QList<TfrxComponent *> all = report.AllObjects();
    for (TfrxComponent *object : all) {
        if (!dynamic_cast<TfrxDialogComponent *>(object) || object->Parent() == page) continue;
        object->SetParent(page);
        object->SetLeft(60 + 64 * index++);
        object->SetTop(20);
    }
}

// Sets the line and column (1-based, in characters of UTF-8 text) of a byte offset of a seekable
// stream; the stream's position is left where it was.
void placeAt(QIODevice &stream, qint64 offset, TfrxError &error)
{
    const qint64 kept = stream.pos();
    if (!stream.seek(0)) return;
    const QByteArray before = stream.read(offset);
    stream.seek(kept);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    error.line = int(before.count('\n')) + 1;
    error.column = int(QString::fromUtf8(before.mid(lineStart)).size()) + 1;
}

QString errorsText(const TfrxReport &report)
{
    return frxGet(QStringLiteral("clErrors")) + QStringLiteral("\r\n") + report.ErrorList.Text();
}

// No password, or the one accepted before, passes; otherwise the user is asked.
bool passwordAccepted(TfrxReport &report)
{
    if (report.Reloading || report.EngineOptions.ThreadSafe) return true;
    return frxCheckPassword(report.ReportOptions.Password, report.ReportOptions.PrevPassword);
}

void loadReport(TfrxReport &report, QIODevice &stream)
{
    report.ErrorList.Clear();
    report.ReportOptions.Password = report.ReportOptions.HiddenPassword;
    TfrxEngineOptions engineOptions;
    engineOptions.Assign(report.EngineOptions);
    const TfrxPreviewOptions previewOptions = report.PreviewOptions;
    const QString iniFile = report.IniFile;
    QObject *preview = report.Preview;
    const bool oldStyleProgress = report.OldStyleProgress;
    const bool showProgress = report.ShowProgress;
    const bool storeInDFM = report.StoreInDFM;

    const qint64 start = stream.isSequential() ? -1 : stream.pos();
    try {
        readComponent(report, stream);
    } catch (const TfrxInvalidXMLException &error) {
        TfrxError entry{.source = TfrxErrorSource::Template, .message = error.message()};
        if (start >= 0) placeAt(stream, start + error.offset(), entry);
        report.ErrorList.Add(entry);
    } catch (const platform::Error &error) {
        report.ErrorList.Add(TfrxError{.source = TfrxErrorSource::Template, .message = error.message()});
    }

    ensureDataPage(report);
    const bool convertNulls = report.EngineOptions.ConvertNulls;
    const bool doublePass = report.EngineOptions.DoublePass;
    report.EngineOptions.Assign(engineOptions);
    report.EngineOptions.ConvertNulls = convertNulls;
    report.EngineOptions.DoublePass = doublePass;
    const TfrxPreviewOptions loaded = report.PreviewOptions;
    report.PreviewOptions = previewOptions;
    report.PreviewOptions.OutlineVisible = loaded.OutlineVisible;
    report.PreviewOptions.OutlineWidth = loaded.OutlineWidth;
    report.PreviewOptions.OutlineExpand = loaded.OutlineExpand;
    report.PreviewOptions.PagesInCache = loaded.PagesInCache;
    report.PreviewOptions.ThumbnailVisible = loaded.ThumbnailVisible;
    report.IniFile = iniFile;
    report.Preview = preview;
    report.OldStyleProgress = oldStyleProgress;
    report.ShowProgress = showProgress;
    report.StoreInDFM = storeInDFM;
    report.ReportOptions.Password = shiftedPassword(report.ReportOptions.Password, 10);

    if (!passwordAccepted(report)) {
        report.ErrorList.Add(frxGet(QStringLiteral("Invalid password")));
        const QString text = errorsText(report);
        // Emptied before the errors are shown, so that a raising error reporter cannot leave the
        // protected definition behind in the report.
        report.Clear();
        report.ReportError(text);
        return;
    }
    if (report.ErrorList.Count() > 0) report.ReportError(errorsText(report));
}

} // namespace

void LoadFromStream(TfrxComponent &object, QIODevice &stream)
{
    if (auto *report = dynamic_cast<TfrxReport *>(&object))
        loadReport(*report, stream);
    else
        readComponent(object, stream);
}

bool LoadFromFile(TfrxReport &report, const QString &fileName, bool exceptionIfNotFound)
{
    report.Clear();
    report.TemplateFileName.clear();
    const bool exists = QFileInfo(fileName).isFile();
    if (!exists && !exceptionIfNotFound) return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const LoadingGuard guard(fileName);
    report.TemplateFileName = fileName;
    LoadFromStream(report, file);
    return exists;
}

void SaveToStream(TfrxComponent &object, QIODevice &stream, bool saveChildren, bool saveDefaultValues,
                  bool useAncestor)
{
    TfrxReport *report = object.OwnerReport();
    TfrxXMLSerializer serializer(&stream);
    serializer.Owner = report ? static_cast<TfrxComponent *>(report) : &object;
    serializer.SerializeDefaultValues = saveDefaultValues;
    auto *asReport = dynamic_cast<TfrxReport *>(&object);
    if (asReport)
        serializer.OnGetAncestor = [asReport](TfrxComponent *component) -> TfrxComponent * {
            TfrxReport *parent = asReport->ParentReportObject();
            if (!parent) return nullptr;
            if (component == asReport) return parent;
            return parent->FindObject(component->Name());
        };
    if (!asReport) {
        serializer.WriteObjectTree(&object, saveChildren, nullptr, useAncestor);
        return;
    }
    const QString password = asReport->ReportOptions.Password;
    QObject *preview = asReport->Preview;
    asReport->ReportOptions.PrevPassword = password;
    asReport->ReportOptions.Password = shiftedPassword(password, -10);
    asReport->Preview = nullptr;
    try {
        serializer.WriteObjectTree(&object, saveChildren, nullptr, useAncestor);
    } catch (...) {
        asReport->ReportOptions.Password = password;
        asReport->Preview = preview;
        throw;
    }
    asReport->ReportOptions.Password = password;
    asReport->Preview = preview;
}

void SaveToFile(TfrxReport &report, const QString &fileName)
{
    const QString parent = report.ParentReport();
    if (parent.size() >= 2 && parent[1] == u':')
        report.SetParentReport(QFileInfo(fileName).absoluteDir().relativeFilePath(parent));
    // Written beside the old file and moved over it, so a failed write leaves the old template.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw platform::FileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    SaveToStream(report, file, true, false, false);
    if (!file.commit())
        throw platform::FileError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

} // namespace frx
