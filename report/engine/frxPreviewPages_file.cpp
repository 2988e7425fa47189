// The prepared-report file (.fp3): the store's document with the report's attributes, the source
// pages, the dictionary, the picture cache and the logical page numbers written into it.
#include "report/engine/frxPreviewPages.h"

#include "report/xml/frxXMLSerializer.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

QString boolText(bool value)
{
    return value ? u"1"_s : u"0"_s;
}

// The source page index and object name of a source name "Page" + index + "." + name.
bool splitSourceName(const QString &sourceName, int &page, QString &object)
{
    const qsizetype dot = sourceName.indexOf(u'.');
    if (!sourceName.startsWith(u"Page"_s) || dot < 0) return false;
    bool ok = false;
    page = QStringView(sourceName).sliced(4, dot - 4).toInt(&ok);
    object = sourceName.mid(dot + 1);
    return ok;
}

} // namespace

void TfrxPreviewPages::writeFileParts()
{
    TfrxXMLItem *report = RootChild(u"report"_s);
    report->Clear();
    TfrxXMLItem *attributes = report->Add();
    attributes->SetName(m_report->ClassName());
    attributes->SetText(
        u"DotMatrixReport=\""_s + boolText(m_report->DotMatrixReport) +
        u"\" PreviewOptions.OutlineVisible=\""_s + boolText(m_report->PreviewOptions.OutlineVisible) +
        u"\" PreviewOptions.OutlineWidth=\""_s + QString::number(m_report->PreviewOptions.OutlineWidth) +
        u"\" ReportOptions.Name=\""_s + xmlEscape(m_report->ReportOptions.Name) + u'"');

    TfrxXMLItem *sources = RootChild(u"sourcepages"_s);
    sources->Clear();
    for (const auto &page : m_sourcePages) {
        TfrxXMLSerializer serializer;
        serializer.Owner = page.get();
        serializer.WriteObjectTree(page.get(), true, sources->Add());
    }

    TfrxXMLItem *dictionary = RootChild(u"dictionary"_s);
    dictionary->Clear();
    for (const QString &name : m_dictionary.Names()) {
        TfrxXMLItem *entry = dictionary->Add();
        entry->SetName(name);
        entry->SetText(u"name=\""_s + xmlEscape(m_dictionary.GetSourceName(name)) + u'"');
    }

    m_pictureCache.SaveToXML(RootChild(u"picturecache"_s));

    TfrxXMLItem *logical = RootChild(u"logicalpagenumbers"_s);
    logical->Clear();
    for (const LogicalPage &entry : m_logical) {
        TfrxXMLItem *page = logical->Add();
        page->SetName(u"page"_s);
        QString text = u"n=\""_s + QString::number(entry.n) + u'"';
        if (entry.t) text += u" t=\""_s + QString::number(entry.t) + u'"';
        page->SetText(text);
    }
}

// The parts held outside the document while in memory are dropped from it after saving and loading.
void TfrxPreviewPages::dropFileParts()
{
    for (const QString &name :
         {u"sourcepages"_s, u"dictionary"_s, u"picturecache"_s, u"logicalpagenumbers"_s}) {
        const int index = m_doc.RootItem()->Find(name);
        if (index >= 0) delete m_doc.RootItem()->Items(index);
    }
}

void TfrxPreviewPages::readFileParts()
{
    TfrxXMLItem *root = m_doc.RootItem();
    root->SetName(u"preparedreport"_s);
    m_pages = root->FindOrAdd(u"previewpages"_s);

    const int reportIndex = root->Find(u"report");
    if (reportIndex >= 0 && root->Items(reportIndex)->Count() > 0) {
        TfrxXMLSerializer serializer;
        serializer.Owner = m_report;
        serializer.ApplyAttributes(root->Items(reportIndex)->Items(0)->Text(), m_report);
    }

    if (const int index = root->Find(u"sourcepages"); index >= 0) {
        const TfrxXMLItem *sources = root->Items(index);
        for (int i = 0; i < sources->Count(); ++i) {
            TfrxXMLItem *element = sources->Items(i);
            std::unique_ptr<TfrxReportPage> page;
            if (element->Name().compare(u"TfrxDMPPage"_s, Qt::CaseInsensitive) == 0)
                page = std::make_unique<TfrxDMPPage>();
            else
                page = std::make_unique<TfrxReportPage>();
            TfrxXMLSerializer serializer;
            serializer.Owner = page.get();
            serializer.ReadObjectTree(page.get(), element);
            for (TfrxComponent *object : page->AllObjects()) {
                SourceInfo &info = m_sourceInfo[object];
                info.storedForm = object->ComponentStyle & csFullStateCopy
                                      ? object->ClassName()
                                      : serializer.ObjectToAttributes(object);
            }
            m_pageNames.append(u"page"_s + QString::number(m_sourcePages.size()));
            m_sourcePages.push_back(std::move(page));
            m_sourceOriginals.push_back(nullptr);
        }
    }

    if (const int index = root->Find(u"dictionary"); index >= 0) {
        const TfrxXMLItem *dictionary = root->Items(index);
        for (int i = 0; i < dictionary->Count(); ++i) {
            const TfrxXMLItem *entry = dictionary->Items(i);
            const QString sourceName = entry->Prop(u"name");
            int page = -1;
            QString objectName;
            TfrxComponent *object = nullptr;
            if (splitSourceName(sourceName, page, objectName) && page >= 0 && page < SourcePageCount())
                object = m_sourcePages[page]->FindObject(objectName);
            m_dictionary.Add(entry->Name(), sourceName, object);
            if (object) object->PreparedName = entry->Name();
        }
    }

    if (const int index = root->Find(u"picturecache"); index >= 0)
        m_pictureCache.LoadFromXML(root->Items(index));

    if (const int index = root->Find(u"logicalpagenumbers"); index >= 0) {
        const TfrxXMLItem *logical = root->Items(index);
        m_logical.reserve(logical->Count());
        for (int i = 0; i < logical->Count(); ++i) {
            const TfrxXMLItem *entry = logical->Items(i);
            m_logical.push_back({entry->Prop(u"n").toInt(), entry->Prop(u"t").toInt()});
        }
    }
    dropFileParts();
    // The file does not say which pages may be parked; the rule of the run applies again.
    for (int i = 2; i < Count(); ++i) {
        TfrxXMLItem *page = m_pages->Items(i);
        if (page->Name().startsWith(u"page"_s)) page->SetUnloadable(true);
    }
    m_pageIndex = Count() - 1;
}

void TfrxPreviewPages::SaveToStream(QIODevice &stream)
{
    writeFileParts();
    try {
        m_doc.SaveToStream(stream);
    } catch (...) {
        dropFileParts();
        throw;
    }
    dropFileParts();
}

void TfrxPreviewPages::LoadFromStream(QIODevice &stream)
{
    Clear();
    try {
        m_doc.LoadFromStream(stream);
        readFileParts();
    } catch (...) {
        Clear();
        throw;
    }
    if (Count()) notifyAdded(0, Count());
}

void TfrxPreviewPages::LoadFromStream(std::unique_ptr<QIODevice> stream, bool allowPartial)
{
    Clear();
    try {
        m_doc.LoadFromStream(std::move(stream), allowPartial);
        readFileParts();
    } catch (...) {
        Clear();
        throw;
    }
    if (Count()) notifyAdded(0, Count());
}

bool TfrxPreviewPages::LoadFromFile(const QString &fileName, bool excIfNotFound)
{
    const bool exists = QFile::exists(fileName);
    if (!exists && !excIfNotFound) return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::FileError(u"Cannot open file \"%1\". %2"_s.arg(fileName, file.errorString()));
    LoadFromStream(file);
    return true;
}

void TfrxPreviewPages::SaveToFile(const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw platform::FileError(u"Cannot create file \"%1\". %2"_s.arg(fileName, file.errorString()));
    SaveToStream(file);
    if (!file.commit())
        throw platform::FileError(u"Cannot write file \"%1\". %2"_s.arg(fileName, file.errorString()));
}

} // namespace frx
