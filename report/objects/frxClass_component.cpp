#include "report/objects/frxClass_p.h"

#include "report/base/frxRes.h"

#include <QSet>

namespace frx {

// ---- data set references ----

namespace {
GlobalDataSetLookup g_globalDataSetLookup = nullptr;
}

void setGlobalDataSetLookup(GlobalDataSetLookup lookup)
{
    g_globalDataSetLookup = lookup;
}

QString dataSetUserName(const TfrxComponent *dataSet)
{
    if (!dataSet) return {};
    if (const PropInfo *info = dataSet->classInfo()->property(u"UserName"))
        return std::get<QString>(info->value(static_cast<const TfrxComponent *>(dataSet)));
    return dataSet->Name();
}

void TfrxDataSetLink::set(TfrxComponent *self, TfrxComponent *newDataSet)
{
    dataSet = newDataSet;
    name = dataSetUserName(newDataSet);
    if (newDataSet) newDataSet->FreeNotification(self);
}

void TfrxDataSetLink::setName(TfrxComponent *self, const QString &newName)
{
    name = newName;
    dataSet = self->FindDataSet(dataSet, newName);
    if (dataSet) dataSet->FreeNotification(self);
}

QString TfrxDataSetLink::userName() const
{
    return dataSet ? dataSetUserName(dataSet) : name;
}

// ---- construction and destruction ----

TfrxComponent::TfrxComponent(TfrxComponent *owner)
{
    if (!owner) return;
    TfrxReport *report = owner->OwnerReport();
    m_owner = report ? static_cast<TfrxComponent *>(report) : owner->m_owner;
    if (m_owner) m_owner->m_components.append(this);
    TfrxComponent::SetParent(owner);
}

TfrxComponent::~TfrxComponent()
{
    const QList<TfrxComponent *> links = std::exchange(m_notifyLinks, {});
    for (TfrxComponent *other : links) {
        other->m_notifyLinks.removeOne(this);
        other->Notification(this);
    }
    detachFromParent();
    for (TfrxComponent *component : std::exchange(m_components, {}))
        component->m_owner = nullptr;
    for (TfrxComponent *child : std::exchange(m_objects, {})) {
        child->m_parent = nullptr;
        delete child;
    }
    if (m_owner) m_owner->m_components.removeOne(this);
}

void TfrxComponent::detachFromParent()
{
    if (m_parent) m_parent->m_objects.removeOne(this);
    m_parent = nullptr;
}

const ClassInfo &TfrxComponent::staticClassInfo()
{
    return buildClass<TfrxComponent>(u"TfrxComponent", nullptr, false, [](ClassBuilder<TfrxComponent> &b) {
        b.string(u"Name", &TfrxComponent::Name, &TfrxComponent::SetName).stored([](const TfrxComponent &) {
            return false;
        });
        b.integer(u"Tag", &TfrxComponent::Tag).def(0);
    });
}

// ---- tree ----

void TfrxComponent::SetParent(TfrxComponent *parent)
{
    if (parent == m_parent) return;
    for (const TfrxComponent *p = parent; p; p = p->m_parent)
        if (p == this) throw platform::Error(QStringLiteral("Cannot make %1 a child of itself").arg(m_name));
    detachFromParent();
    m_parent = parent;
    if (parent) {
        parent->m_objects.append(this);
        SetParentFont(m_parentFont);
    }
}

void TfrxComponent::appendAllObjects(QList<TfrxComponent *> &list) const
{
    for (TfrxComponent *child : m_objects) {
        list.append(child);
        child->appendAllObjects(list);
    }
}

const QList<TfrxComponent *> &TfrxComponent::AllObjects()
{
    m_allObjects.clear();
    appendAllObjects(m_allObjects);
    return m_allObjects;
}

TfrxPage *TfrxComponent::Page() const
{
    for (const TfrxComponent *c = this; c; c = c->m_parent)
        if (auto *page = dynamic_cast<const TfrxPage *>(c)) return const_cast<TfrxPage *>(page);
    return nullptr;
}

namespace {

// Whether the object is of that class or of one derived from it, by the class table: a pointer
// comparison at each step, where a failing dynamic_cast compares type names all the way up. These
// tests run for every object rebuilt or painted.
bool isOfClass(const TfrxComponent *object, const ClassInfo &cls)
{
    for (const ClassInfo *info = object->classInfo(); info; info = info->parent)
        if (info == &cls) return true;
    return false;
}

} // namespace

TfrxReport *TfrxComponent::OwnerReport() const
{
    const ClassInfo &report = TfrxReport::staticClassInfo();
    for (const TfrxComponent *c = this; c; c = c->m_parent)
        if (isOfClass(c, report)) return static_cast<TfrxReport *>(const_cast<TfrxComponent *>(c));
    return nullptr;
}

TfrxComponent *TfrxComponent::FindComponent(QStringView name) const
{
    if (name.isEmpty()) return nullptr;
    for (TfrxComponent *component : m_components)
        if (sameTextAscii(component->m_name, name)) return component;
    return nullptr;
}

namespace {

TfrxComponent *findBelow(const QList<TfrxComponent *> &objects, QStringView name)
{
    for (TfrxComponent *child : objects) {
        if (sameTextAscii(child->Name(), name)) return child;
        if (TfrxComponent *found = findBelow(child->Objects(), name)) return found;
    }
    return nullptr;
}

// Letters (any script), digits and underscores, not starting with a digit.
bool isValidIdentifier(const QString &name)
{
    if (name.isEmpty() || name[0].isDigit()) return false;
    for (QChar c : name)
        if (!(c == u'_' || c.isLetterOrNumber())) return false;
    return true;
}

} // namespace

TfrxComponent *TfrxComponent::FindObject(QStringView name)
{
    return findBelow(m_objects, name);
}

void TfrxComponent::Clear()
{
    qsizetype i = 0;
    while (i < m_objects.size()) {
        TfrxComponent *child = m_objects[i];
        if (child->IsAncestor()) {
            child->Clear();
            ++i;
        } else {
            delete child;
        }
    }
}

// ---- names ----

void TfrxComponent::SetName(const QString &name)
{
    setNameChecked(name, true);
}

void TfrxComponent::setNameChecked(const QString &name, bool checkReport)
{
    if (sameTextAscii(name, m_name)) return;
    TfrxReport *report = checkReport ? OwnerReport() : nullptr;
    if (!name.isEmpty() && report) {
        TfrxComponent *found = static_cast<TfrxComponent *>(report)->FindObject(name);
        if (found && found != this) throw platform::Error(frxGet(QStringLiteral("prDupl")));
        if (IsAncestor())
            throw platform::Error(QStringLiteral("Could not rename ") + m_name +
                                  QStringLiteral(", it was introduced in the ancestor report"));
    }
    if (!name.isEmpty() && !isValidIdentifier(name))
        throw platform::Error(QStringLiteral("'%1' is not a valid component name").arg(name));
    if (m_owner) {
        TfrxComponent *other = m_owner->FindComponent(name);
        if (other && other != this)
            throw platform::Error(QStringLiteral("A component named %1 already exists").arg(name));
    }
    m_name = name;
}

QString TfrxComponent::NamePrefix() const
{
    QString prefix = ClassName();
    const qsizetype tfrx = prefix.indexOf(u"Tfrx");
    if (tfrx >= 0) prefix.remove(tfrx, 4);
    const qsizetype view = prefix.indexOf(u"View");
    if (view >= 0) prefix.remove(view, 4);
    return prefix;
}

void TfrxComponent::CreateUniqueName()
{
    TfrxComponent *scope = OwnerReport();
    if (!scope) scope = m_parent;
    QSet<QString> used;
    if (scope)
        for (const TfrxComponent *c : scope->AllObjects())
            used.insert(asciiLower(c->m_name));
    const QString prefix = NamePrefix();
    for (int i = 1;; ++i) {
        const QString candidate = prefix + QString::number(i);
        if (!used.contains(asciiLower(candidate))) {
            SetName(candidate);
            return;
        }
    }
}

// ---- bounds ----

void TfrxComponent::SetLeft(Extended value)
{
    if (!(IsDesigning && (Restrictions & rfDontMove))) m_left = value;
}

void TfrxComponent::SetTop(Extended value)
{
    if (!(IsDesigning && (Restrictions & rfDontMove))) m_top = value;
}

void TfrxComponent::SetWidth(Extended value)
{
    if (!(IsDesigning && (Restrictions & rfDontSize))) m_width = value;
}

void TfrxComponent::SetHeight(Extended value)
{
    if (!(IsDesigning && (Restrictions & rfDontSize))) m_height = value;
}

void TfrxComponent::SetBounds(Extended left, Extended top, Extended width, Extended height)
{
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

Extended TfrxComponent::AbsLeft() const
{
    if (!m_parent || isOfClass(m_parent, TfrxDialogPage::staticClassInfo())) return m_left;
    return m_parent->AbsLeft() + m_left;
}

Extended TfrxComponent::AbsTop() const
{
    if (!m_parent || isOfClass(m_parent, TfrxDialogPage::staticClassInfo())) return m_top;
    return m_parent->AbsTop() + m_top;
}

// ---- font and visibility ----

void TfrxComponent::SetFont(const FontValue &font)
{
    m_font = font;
    FontChanged();
}

FontValue *TfrxComponent::mutableFont()
{
    return &m_font;
}

void TfrxComponent::SetParentFont(bool value)
{
    if (value && m_parent) {
        m_font = m_parent->m_font;
        FontChanged();
    }
    m_parentFont = value;
}

void TfrxComponent::FontChanged()
{
    m_parentFont = false;
    for (TfrxComponent *child : m_objects)
        if (child->m_parentFont) child->SetParentFont(true);
}

void TfrxComponent::SetVisible(bool value)
{
    m_visible = value;
}

// ---- notifications and data sets ----

void TfrxComponent::FreeNotification(TfrxComponent *other)
{
    if (!other || other == this || m_notifyLinks.contains(other)) return;
    m_notifyLinks.append(other);
    other->m_notifyLinks.append(this);
}

void TfrxComponent::Notification(TfrxComponent *) {}

TfrxComponent *TfrxComponent::FindDataSet(TfrxComponent *current, const QString &name)
{
    if (name.isEmpty()) return nullptr;
    TfrxReport *report = OwnerReport();
    if (!report) return current;
    if (report->EngineOptions.UseGlobalDataSetList) {
        TfrxComponent *found = g_globalDataSetLookup ? g_globalDataSetLookup(report, name) : nullptr;
        return found ? found : current;
    }
    const TfrxDataSetItem *item = report->EnabledDataSets.Find(name);
    return item ? item->DataSet() : nullptr;
}

} // namespace frx
