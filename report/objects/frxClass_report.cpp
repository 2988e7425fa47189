#include "report/objects/frxClass_p.h"

#include "report/base/frxHost.h"
#include "report/base/frxRes.h"

#include <platform/appdir.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace frx {

namespace {
int g_inheritanceDepth = 0;
} // namespace

// ---- sorted text list ----

void SortedStringList::Add(const QString &line)
{
    const auto less = [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    };
    const auto at = std::lower_bound(m_lines.begin(), m_lines.end(), line, less);
    if (at != m_lines.end() && at->compare(line, Qt::CaseInsensitive) == 0) return;
    m_lines.insert(at, line);
}

QString SortedStringList::Text() const
{
    QString text;
    for (const QString &line : m_lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

// ---- data set list ----

void TfrxDataSetItem::SetDataSet(TfrxComponent *dataSet)
{
    m_link.set(m_report, dataSet);
}

void TfrxDataSetItem::SetDataSetName(const QString &name)
{
    m_link.setName(m_report, name);
}

const ClassInfo &TfrxDataSetItem::staticClassInfo()
{
    using C = TfrxDataSetItem;
    return buildClass<C>(u"TfrxDataSetItem", nullptr, false, [](ClassBuilder<C> &b) {
        b.component(u"DataSet", u"TfrxDataSet", &C::DataSet, &C::SetDataSet);
        b.string(u"DataSetName", &C::DataSetName, &C::SetDataSetName);
    });
}

TfrxDataSetItem *TfrxReportDataSets::Add()
{
    m_items.push_back(std::make_unique<TfrxDataSetItem>(m_report));
    return m_items.back().get();
}

void TfrxReportDataSets::Delete(int index)
{
    if (index >= 0 && index < Count()) m_items.erase(m_items.begin() + index);
}

TfrxDataSetItem *TfrxReportDataSets::Find(const TfrxComponent *dataSet) const
{
    for (const auto &item : m_items)
        if (item->DataSet() == dataSet) return item.get();
    return nullptr;
}

TfrxDataSetItem *TfrxReportDataSets::Find(const QString &userName) const
{
    for (const auto &item : m_items)
        if (item->DataSet() && sameTextAscii(dataSetUserName(item->DataSet()), userName)) return item.get();
    return nullptr;
}

void TfrxReportDataSets::Removed(const TfrxComponent *dataSet)
{
    std::erase_if(m_items, [dataSet](const auto &item) { return item->DataSet() == dataSet; });
}

// ---- styles ----

TfrxStyleItem::TfrxStyleItem(TfrxStyles *styles) : m_styles(styles) {}

void TfrxStyleItem::SetName(const QString &name)
{
    if (m_styles) {
        const TfrxStyleItem *other = m_styles->Find(name);
        if (other && other != this) throw platform::Error(QStringLiteral("Duplicate name"));
    }
    m_name = name;
}

const ClassInfo &TfrxStyleItem::staticClassInfo()
{
    using C = TfrxStyleItem;
    return buildClass<C>(u"TfrxStyleItem", nullptr, true, [](ClassBuilder<C> &b) {
        b.string(u"Name", &C::Name, &C::SetName);
        b.integer(u"Color", &C::Color).def(clTransparent);
        b.object(u"Font", fontClassInfo(), [](C &c) { return &c.Font; });
        b.object(u"Frame", TfrxFrame::staticClassInfo(), [](C &c) { return &c.Frame; });
    });
}

TfrxStyleItem *TfrxStyles::Add()
{
    m_items.push_back(std::make_unique<TfrxStyleItem>(this));
    return m_items.back().get();
}

TfrxStyleItem *TfrxStyles::Find(const QString &name) const
{
    for (const auto &item : m_items)
        if (item->Name().compare(name, Qt::CaseInsensitive) == 0) return item.get();
    return nullptr;
}

void TfrxStyles::Apply()
{
    if (!m_report) return;
    for (TfrxComponent *object : m_report->AllObjects())
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object)) {
            if (Find(memo->Style()))
                memo->SetStyle(memo->Style());
            else
                memo->SetStyle(QString());
        }
}

QStringList TfrxStyles::GetList() const
{
    QStringList names;
    for (const auto &item : m_items)
        names.append(item->Name());
    return names;
}

void TfrxStyles::LoadFromStream(QIODevice &stream)
{
    Clear();
    TfrxXMLDocument document;
    document.LoadFromStream(stream);
    const TfrxXMLItem *root = document.RootItem();
    if (root->Name().compare(u"style", Qt::CaseInsensitive) == 0) {
        Name = root->Prop(u"Name");
        QStringList errors;
        for (int i = 0; i < root->Count(); ++i) {
            const TfrxXMLItem *element = root->Items(i);
            if (element->Name().compare(u"item", Qt::CaseInsensitive) != 0) continue;
            TfrxStyleItem *item = Add();
            applyAttributeText(item, TfrxStyleItem::staticClassInfo(), element->Text(), errors);
        }
        if (m_report)
            for (const QString &error : errors)
                m_report->ErrorList.Add(TfrxError{.source = TfrxErrorSource::Template, .message = error});
    }
    Apply();
}

void TfrxStyles::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    LoadFromStream(file);
}

void TfrxStyles::SaveToStream(QIODevice &stream) const
{
    TfrxXMLDocument document;
    document.SetIndented(true);
    TfrxXMLItem *root = document.RootItem();
    root->SetName(QStringLiteral("style"));
    root->SetProp(u"Name", Name);
    for (const auto &item : m_items) {
        TfrxXMLItem *element = root->Add();
        element->SetName(QStringLiteral("item"));
        element->SetText(storedAttributes(item.get(), TfrxStyleItem::staticClassInfo()).mid(1));
    }
    document.SaveToStream(stream);
}

void TfrxStyles::SaveToFile(const QString &fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw platform::FileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    SaveToStream(file);
}

// ---- the report ----

TfrxReport::TfrxReport(TfrxComponent *owner)
    : TfrxComponent(owner), Datasets(this), EnabledDataSets(this), Styles(this)
{
    Clear();
}

TfrxReport::~TfrxReport() = default;

const ClassInfo &TfrxReport::staticClassInfo()
{
    using C = TfrxReport;
    return buildClass<C>(u"TfrxReport", &TfrxComponent::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.string(u"Version", &C::Version, &C::SetVersion);
        b.string(u"ParentReport", &C::ParentReport, &C::SetParentReport);
        publishDataSet(b);
        b.boolean(u"DotMatrixReport", &C::DotMatrixReport).def(false);
        b.object(u"EngineOptions", TfrxEngineOptions::staticClassInfo(),
                 [](C &c) { return &c.EngineOptions; });
        b.string(u"IniFile", &C::IniFile);
        b.boolean(u"OldStyleProgress", &C::OldStyleProgress).def(false);
        b.object(u"PreviewOptions", TfrxPreviewOptions::staticClassInfo(),
                 [](C &c) { return &c.PreviewOptions; });
        b.object(u"PrintOptions", TfrxPrintOptions::staticClassInfo(), [](C &c) { return &c.PrintOptions; });
        b.object(u"ReportOptions", TfrxReportOptions::staticClassInfo(),
                 [](C &c) { return &c.ReportOptions; });
        b.string(u"ScriptLanguage", &C::ScriptLanguage);
        b.stringList(u"ScriptText", &C::ScriptText);
        b.boolean(u"ShowProgress", &C::ShowProgress).def(true);
        b.boolean(u"StoreInDFM", &C::StoreInDFM).def(true);
        b.string(u"OnRunDialogs", &C::OnRunDialogs);
        b.string(u"OnStartReport", &C::OnStartReport);
        b.string(u"OnStopReport", &C::OnStopReport);
        b.string(u"OnReportPrint", &C::OnReportPrint);
    });
}

void TfrxReport::Clear()
{
    TfrxComponent::Clear();
    Datasets.Clear();
    Variables.Clear();
    EngineOptions.Clear();
    PreviewOptions.Clear();
    PrintOptions.Clear();
    ReportOptions.Clear();
    Styles.Clear();
    Styles.Name.clear();
    m_dataSet = {};
    DotMatrixReport = false;
    SetParentReport(QString());
    ScriptLanguage = QStringLiteral("PascalScript");
    ScriptText = {QStringLiteral("begin"), QString(), QStringLiteral("end.")};
    SystemVariables = {QStringLiteral("Date"),  QStringLiteral("Time"),       QStringLiteral("Page"),
                       QStringLiteral("Page#"), QStringLiteral("TotalPages"), QStringLiteral("TotalPages#"),
                       QStringLiteral("Line"),  QStringLiteral("Line#"),      QStringLiteral("CopyName#")};
    OnRunDialogs.clear();
    OnStartReport.clear();
    OnStopReport.clear();
}

void TfrxReport::Notification(TfrxComponent *removed)
{
    TfrxComponent::Notification(removed);
    Datasets.Removed(removed);
    EnabledDataSets.Removed(removed);
    if (removed == m_dataSet.dataSet) m_dataSet.dataSet = nullptr;
}

TfrxPage *TfrxReport::Pages(int index) const
{
    if (index < 0 || index >= PagesCount())
        throw platform::Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    return dynamic_cast<TfrxPage *>(Objects()[index]);
}

TfrxComponent *TfrxReport::GetDataset(const QString &alias) const
{
    const TfrxDataSetItem *item = Datasets.Find(alias);
    return item ? item->DataSet() : nullptr;
}

void TfrxReport::ReportError(const QString &text)
{
    switch (EngineOptions.NewSilentMode) {
    case simMessageBoxes:
        frxHost().ShowError(frxGet(QStringLiteral("mbError")), text);
        break;
    case simSilent:
        break;
    case simReThrow:
        throw platform::Error(text);
    }
}

QString TfrxReport::ApplicationFolder() const
{
    return (IsDesigning ? QDir::currentPath() : platform::applicationDir()) + u'/';
}

namespace {

void setAncestorFlags(TfrxReport *report, bool value)
{
    report->SetAncestor(value);
    for (TfrxComponent *object : report->AllObjects())
        object->SetAncestor(value);
}

// A name is taken as it stands when it is absolute: "/...", "X:..." or "\\server...".
bool isAbsoluteTemplateName(const QString &name)
{
    return name.size() < 2 || name[1] == u':' || name.startsWith(u"\\\\") || name.startsWith(u'/');
}

} // namespace

void TfrxReport::SetParentReport(const QString &fileName)
{
    m_parentReport = fileName;
    m_parentReportObject.reset();
    if (fileName.isEmpty()) {
        setAncestorFlags(this, false);
        return;
    }
    if (g_inheritanceDepth >= 16)
        throw platform::Error(QStringLiteral("Report inheritance is nested too deeply: ") + fileName);
    ++g_inheritanceDepth;
    struct DepthGuard {
        ~DepthGuard() { --g_inheritanceDepth; }
    } guard;

    const QString savedTemplate = TemplateFileName;
    if (OnLoadTemplate) {
        OnLoadTemplate(this, fileName);
    } else {
        QString path = fileName;
        if (!isAbsoluteTemplateName(fileName)) {
            path = QFileInfo(TemplateFileName).absolutePath() + u'/' + fileName;
            if (!QFile::exists(path)) path = ApplicationFolder() + fileName;
        }
        frxHost().LoadTemplate(this, path);
    }
    TemplateFileName = savedTemplate;

    m_parentReportObject = std::make_unique<TfrxReport>();
    m_parentReportObject->AssignAll(this);
    for (TfrxComponent *object : m_parentReportObject->Objects())
        if (auto *page = dynamic_cast<TfrxReportPage *>(object)) page->SetPaperSize(256);
    setAncestorFlags(this, true);
    m_parentReport = fileName;
}

} // namespace frx
