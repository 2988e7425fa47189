#include "report/objects/frxDBSet.h"

#include "report/objects/frxClass_p.h"
#include "report/base/frxRes.h"

namespace frx {

namespace {

const EnumInfo &rangeBeginInfo()
{
    static const EnumInfo info{QStringLiteral("TfrxRangeBegin"),
                               {QStringLiteral("rbFirst"), QStringLiteral("rbCurrent")}};
    return info;
}

const EnumInfo &rangeEndInfo()
{
    static const EnumInfo info{
        QStringLiteral("TfrxRangeEnd"),
        {QStringLiteral("reLast"), QStringLiteral("reCurrent"), QStringLiteral("reCount")}};
    return info;
}

bool visibleTo(const TfrxDataSet *dataSet, const TfrxReport *report)
{
    const TfrxReport *owner = dataSet->OwnerReport();
    return !owner || owner == report;
}

TfrxComponent *lookUpForReport(TfrxReport *report, const QString &userName)
{
    return TfrxGlobalDataSetList::instance().FindByUserName(report, userName);
}

// DataSetName setters of the object model find data sets through the global list; the classes
// of this unit are known to the class registry under their names.
const bool g_installed = [] {
    setGlobalDataSetLookup(&lookUpForReport);
    registerClass(TfrxDataSet::staticClassInfo());
    registerClass(TfrxUserDataSet::staticClassInfo());
    registerClass(TfrxCustomDBDataSet::staticClassInfo());
    registerClass(TfrxDBDataset::staticClassInfo());
    return true;
}();

} // namespace

// ---- the global list ----

TfrxGlobalDataSetList &TfrxGlobalDataSetList::instance()
{
    // Never destroyed: data sets of static lifetime may unregister after the end of main.
    static auto *list = new TfrxGlobalDataSetList;
    return *list;
}

void TfrxGlobalDataSetList::Add(TfrxDataSet *dataSet)
{
    QMutexLocker locker(&m_lock);
    m_list.append(dataSet);
}

void TfrxGlobalDataSetList::Remove(TfrxDataSet *dataSet)
{
    QMutexLocker locker(&m_lock);
    m_list.removeOne(dataSet);
}

TfrxDataSet *TfrxGlobalDataSetList::FindByUserName(const TfrxReport *report, const QString &userName)
{
    QMutexLocker locker(&m_lock);
    for (TfrxDataSet *dataSet : std::as_const(m_list))
        if (dataSet->UserName().compare(userName, Qt::CaseInsensitive) == 0 && visibleTo(dataSet, report))
            return dataSet;
    return nullptr;
}

TfrxDataSet *TfrxGlobalDataSetList::FindByName(const TfrxReport *report, const QString &name)
{
    QMutexLocker locker(&m_lock);
    for (TfrxDataSet *dataSet : std::as_const(m_list))
        if (sameTextAscii(dataSet->Name(), name) && visibleTo(dataSet, report)) return dataSet;
    return nullptr;
}

QList<TfrxDataSet *> TfrxGlobalDataSetList::DataSets()
{
    QMutexLocker locker(&m_lock);
    return m_list;
}

TfrxComponent *findHostDataSet(const TfrxReport *report, const QString &name)
{
    return name.isEmpty() ? nullptr : TfrxGlobalDataSetList::instance().FindByName(report, name);
}

bool splitFieldReference(const QString &reference, QString &alias, QString &fieldName)
{
    const qsizetype dot = reference.indexOf(QStringLiteral(".\""));
    if (dot < 0) return false;
    alias = reference.left(dot);
    fieldName = reference.mid(dot + 2);
    fieldName.chop(1);
    return true;
}

QString fieldReference(const QString &userName, const QString &fieldName)
{
    return userName + QStringLiteral(".\"") + fieldName + u'"';
}

// ---- TfrxDataSet ----

TfrxDataSet::TfrxDataSet(TfrxComponent *owner) : TfrxDialogComponent(owner)
{
    TfrxGlobalDataSetList::instance().Add(this);
}

TfrxDataSet::~TfrxDataSet()
{
    TfrxGlobalDataSetList::instance().Remove(this);
}

const ClassInfo &TfrxDataSet::staticClassInfo()
{
    using C = TfrxDataSet;
    return buildClass<C>(u"TfrxDataSet", &TfrxDialogComponent::staticClassInfo(), false,
                         [](ClassBuilder<C> &b) {
                             b.boolean(u"Enabled", &C::Enabled).def(true);
                             b.enumeration(u"RangeBegin", rangeBeginInfo(), &C::RangeBegin).def(rbFirst);
                             b.enumeration(u"RangeEnd", rangeEndInfo(), &C::RangeEnd).def(reLast);
                             b.integer(u"RangeEndCount", &C::RangeEndCount).def(0);
                             b.string(u"UserName", &C::UserName, &C::SetUserName);
                         });
}

void TfrxDataSet::SetName(const QString &name)
{
    const QString oldName = Name();
    TfrxDialogComponent::SetName(name);
    // After the naming rules passed, so that a refused name leaves UserName as it was.
    if (!name.isEmpty() && (m_userName.isEmpty() || m_userName == oldName)) m_userName = name;
}

void TfrxDataSet::SetUserName(const QString &userName)
{
    if (userName.trimmed().isEmpty()) throw platform::Error(frxGet(QStringLiteral("prInvProp")));
    m_userName = userName;
}

QString TfrxDataSet::DisplayText(const QString &)
{
    return {};
}

int TfrxDataSet::DisplayWidth(const QString &)
{
    return 10;
}

TfrxFieldType TfrxDataSet::FieldType(const QString &)
{
    return fftNumeric;
}

script::Variant TfrxDataSet::Value(const QString &)
{
    return {};
}

void TfrxDataSet::Open()
{
    if (OnOpen) OnOpen(this);
}

void TfrxDataSet::Close()
{
    if (OnClose) OnClose(this);
}

void TfrxDataSet::First()
{
    RecNo = 0;
    m_eof = false;
    if (OnFirst) OnFirst(this);
}

void TfrxDataSet::Next()
{
    m_eof = false;
    ++RecNo;
    if (RangeEnd == reCount && RecNo >= RangeEndCount) {
        RecNo = RangeEndCount - 1;
        m_eof = true;
        return;
    }
    if (OnNext) OnNext(this);
}

void TfrxDataSet::Prior()
{
    --RecNo;
    if (OnPrior) OnPrior(this);
}

bool TfrxDataSet::Eof()
{
    bool result = RangeEnd == reCount && (RecNo >= RangeEndCount || m_eof);
    if (OnCheckEOF) OnCheckEOF(this, result);
    return result;
}

int TfrxDataSet::RecordCount()
{
    return RangeBegin == rbFirst && RangeEnd == reCount ? RangeEndCount : 0;
}

bool TfrxDataSet::HasField(const QString &fieldName)
{
    QStringList fields;
    GetFieldList(fields);
    return fields.contains(fieldName, Qt::CaseInsensitive);
}

QString TfrxDataSet::fieldNotFound(const QString &fieldName)
{
    const QString text =
        frxGet(QStringLiteral("dbFldNotFound")) + u' ' + fieldReference(m_userName, fieldName);
    if (OwningReport)
        OwningReport->ErrorList.Add(TfrxError{.source = TfrxErrorSource::Data,
                                              .object = OwningReport->CurObject,
                                              .message = OwningReport->CurObject + QStringLiteral(": ") + text});
    return text;
}

// ---- TfrxUserDataSet ----

const ClassInfo &TfrxUserDataSet::staticClassInfo()
{
    using C = TfrxUserDataSet;
    return buildClass<C>(u"TfrxUserDataSet", &TfrxDataSet::staticClassInfo(), false,
                         [](ClassBuilder<C> &b) { b.stringList(u"Fields", &C::Fields); });
}

script::Variant TfrxUserDataSet::Value(const QString &fieldName)
{
    script::Variant value;
    if (OnGetValue) OnGetValue(fieldName, value);
    if (OnNewGetValue) OnNewGetValue(this, fieldName, value);
    return value;
}

QString TfrxUserDataSet::DisplayText(const QString &fieldName)
{
    return Value(fieldName).toString();
}

// ---- TfrxCustomDBDataSet ----

const ClassInfo &TfrxCustomDBDataSet::staticClassInfo()
{
    using C = TfrxCustomDBDataSet;
    return buildClass<C>(u"TfrxCustomDBDataSet", &TfrxDataSet::staticClassInfo(), false,
                         [](ClassBuilder<C> &b) {
                             b.boolean(u"CloseDataSource", &C::CloseDataSource);
                             b.stringList(u"FieldAliases", &C::FieldAliases);
                             b.boolean(u"OpenDataSource", &C::OpenDataSource).def(true);
                         });
}

int TfrxCustomDBDataSet::FieldsCount()
{
    QStringList fields;
    GetFieldList(fields);
    return int(fields.size());
}

QString TfrxCustomDBDataSet::ConvertAlias(const QString &userName) const
{
    for (const QString &line : FieldAliases) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        if (line.mid(equals + 1).compare(userName, Qt::CaseInsensitive) == 0) return line.left(equals);
    }
    return userName;
}

} // namespace frx
