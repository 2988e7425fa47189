#include "report/xml/frxXMLSerializer.h"
#include "report/xml/frxXMLSerializer_p.h"

#include "report/objects/frxDBSet.h"
#include "report/base/frxRes.h"

#include <QIODevice>

namespace frx {

TfrxXMLSerializer::TfrxXMLSerializer(QIODevice *stream) : m_stream(stream) {}

TfrxXMLSerializer::~TfrxXMLSerializer() = default;

// ---- writing ----

void TfrxXMLSerializer::WriteObjectTree(TfrxComponent *object, bool saveChildren, TfrxXMLItem *item,
                                        bool useAncestor)
{
    std::unique_ptr<TfrxXMLDocument> document;
    if (!item) {
        document = std::make_unique<TfrxXMLDocument>();
        document->SetIndented(true);
        item = document->RootItem();
    }
    // Objects are written with an explicit stack, so the depth of a tree never touches the call stack.
    struct Pending {
        TfrxComponent *object;
        TfrxXMLItem *item;
    };
    std::vector<Pending> pending{{object, item}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        writeElement(next.object, next.item, next.object == object, useAncestor);
        if (!saveChildren) continue;
        const QList<TfrxComponent *> &children = next.object->Objects();
        std::vector<Pending> childItems;
        for (TfrxComponent *child : children)
            childItems.push_back({child, next.item->Add()});
        pending.insert(pending.end(), childItems.rbegin(), childItems.rend());
    }
    if (document) {
        if (!m_stream) throw platform::FileError(QStringLiteral("No stream to write the template to"));
        document->SaveToStream(*m_stream);
    }
}

void TfrxXMLSerializer::writeElement(TfrxComponent *object, TfrxXMLItem *item, bool isRoot, bool useAncestor)
{
    item->SetName(object->IsAncestor() && !useAncestor ? QStringLiteral("inherited") : object->ClassName());
    TfrxComponent *ancestor = OnGetAncestor ? OnGetAncestor(object) : nullptr;
    QString text;
    if (!isRoot) text = QStringLiteral(" Name=\"") + xmlEscape(object->Name()) + u'"';
    object->IsWriting = true;
    try {
        text += CollectAttributes(object, QString(), ancestor);
    } catch (...) {
        object->IsWriting = false;
        throw;
    }
    object->IsWriting = false;
    item->SetText(text);
}

// ---- reading ----

void TfrxXMLSerializer::ReadObjectTree(TfrxComponent *object, TfrxXMLItem *item)
{
    std::unique_ptr<TfrxXMLDocument> document;
    if (!item) {
        if (!m_stream) throw platform::FileError(QStringLiteral("No stream to read the template from"));
        document = std::make_unique<TfrxXMLDocument>();
        try {
            document->LoadFromStream(*m_stream);
        } catch (const TfrxInvalidXMLException &error) {
            // The elements before the damage are read all the same; the caller then learns of it.
            OldFormat = document->LegacyEncoding();
            if (!document->RootItem()->Name().isEmpty()) readTree(object, document->RootItem());
            throw;
        }
        OldFormat = document->LegacyEncoding();
        item = document->RootItem();
    }
    readTree(object, item);
}

void TfrxXMLSerializer::readTree(TfrxComponent *object, TfrxXMLItem *item)
{
    if (!Owner) Owner = object;
    CreateFixups();
    std::vector<TfrxComponent *> read;
    // Elements are read with an explicit stack (document order, parents before children).
    struct Pending {
        TfrxXMLItem *item;
        TfrxComponent *parent;
        int depth;
    };
    std::vector<Pending> pending{{item, nullptr, 0}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        TfrxComponent *target = readElement(next.item, next.parent, object);
        if (!target) continue;
        read.push_back(target);
        if (next.item->Count() > 0 && next.depth >= maxObjectDepth) {
            Errors.Add(QStringLiteral("Objects nested too deeply below %1").arg(target->Name()));
            continue;
        }
        for (int i = next.item->Count() - 1; i >= 0; --i)
            pending.push_back({next.item->Items(i), target, next.depth + 1});
    }
    FixupReferences();
    for (TfrxComponent *component : read)
        component->IsLoading = false;
}

TfrxComponent *TfrxXMLSerializer::readElement(TfrxXMLItem *item, TfrxComponent *parent, TfrxComponent *root)
{
    const bool inherited = item->Name().compare(u"inherited", Qt::CaseInsensitive) == 0;
    const ClassInfo *cls = nullptr;
    if (!inherited) {
        cls = findClass(item->Name());
        if (!cls || !cls->inTemplateRegistry) {
            Errors.Add(frxGet(QStringLiteral("xrCantFindClass")) + u' ' + item->Name());
            return nullptr;
        }
    }
    TfrxComponent *target = root;
    if (parent) {
        QString name;
        try {
            name = item->Prop(u"Name");
        } catch (const platform::Error &error) {
            Errors.Add(error.message());
        }
        target = Owner->FindComponent(name);
        if (!target) {
            if (inherited) return nullptr;
            if (!cls->create) {
                Errors.Add(frxGet(QStringLiteral("xrCantFindClass")) + u' ' + item->Name());
                return nullptr;
            }
            target = cls->create(parent);
        }
    }
    target->IsLoading = true;
    ApplyAttributes(item->Text(), target);
    return target;
}

TfrxComponent *TfrxXMLSerializer::AttributesToObject(const QString &text, TfrxComponent *owner,
                                                     bool skipReferences)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return nullptr;
    const qsizetype space = trimmed.indexOf(u' ');
    const QString className = space < 0 ? trimmed : trimmed.left(space);
    const ClassInfo *cls = findClass(className);
    if (!cls || !cls->inTemplateRegistry || !cls->create)
        throw platform::Error(frxGet(QStringLiteral("xrCantFindClass")) + u' ' + className);
    if (!Owner) Owner = owner;
    CreateFixups();
    TfrxComponent *object = cls->create(owner);
    object->IsLoading = true;
    ApplyAttributes(space < 0 ? QString() : trimmed.mid(space), object);
    if (skipReferences)
        CreateFixups();
    else
        FixupReferences();
    return object;
}

QString TfrxXMLSerializer::ObjectToAttributes(TfrxComponent *object)
{
    return object->ClassName() + CollectAttributes(object);
}

// ---- references ----

QString TfrxXMLSerializer::ReferenceName(const TfrxComponent *component) const
{
    const TfrxComponent *owner = component->Owner();
    if (!owner || owner == Owner) return component->Name();
    if (const TfrxReport *report = dynamic_cast<const TfrxReport *>(Owner);
        report && owner == report->Owner())
        return component->Name();
    return owner->Name() + u'.' + component->Name();
}

TfrxComponent *TfrxXMLSerializer::findReference(const QString &name) const
{
    if (!Owner || name.isEmpty()) return nullptr;
    if (TfrxComponent *found = Owner->FindObject(name)) return found;
    const qsizetype dot = name.indexOf(u'.');
    TfrxReport *report = dynamic_cast<TfrxReport *>(Owner);
    if (dot >= 0) {
        // owner name + "." + component name: the host object holding the report, when it has that name.
        TfrxComponent *host = report ? report->Owner() : Owner->Owner();
        if (host && name.lastIndexOf(u'.') == dot &&
            serializer::sameAscii(host->Name(), QStringView(name).left(dot)))
            return host->FindComponent(QStringView(name).mid(dot + 1));
        return nullptr;
    }
    if (TfrxComponent *found = Owner->FindComponent(name)) return found;
    if (report && report->Owner())
        if (TfrxComponent *found = report->Owner()->FindComponent(name)) return found;
    // The host's data sets live outside any report; they are known through the data set list.
    return findHostDataSet(report ? report : Owner->OwnerReport(), name);
}

void TfrxXMLSerializer::FixupReferences()
{
    const std::vector<Fixup> fixups = std::exchange(m_fixups, {});
    for (const Fixup &fixup : fixups) {
        TfrxComponent *found = findReference(fixup.name);
        if (!found) continue;
        try {
            fixup.info->setValue(fixup.target, found);
        } catch (const platform::Error &error) {
            Errors.Add(error.message());
        }
    }
}

} // namespace frx
