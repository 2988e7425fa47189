#include "fakedataset.h"

#include <QList>

namespace testsupport {

namespace {

QList<FakeDataSet *> &allDataSets()
{
    static QList<FakeDataSet *> list;
    return list;
}

frx::TfrxComponent *lookUp(frx::TfrxReport *report, const QString &userName)
{
    for (FakeDataSet *dataSet : allDataSets()) {
        const frx::TfrxReport *owner = dataSet->OwnerReport();
        if ((!owner || owner == report) && dataSet->UserName.compare(userName, Qt::CaseInsensitive) == 0)
            return dataSet;
    }
    return nullptr;
}

} // namespace

FakeDataSet::FakeDataSet(frx::TfrxComponent *owner, const QString &userName)
    : frx::TfrxDialogComponent(owner), UserName(userName)
{
    allDataSets().append(this);
    frx::setGlobalDataSetLookup(&lookUp);
}

FakeDataSet::~FakeDataSet()
{
    allDataSets().removeOne(this);
}

const frx::ClassInfo &FakeDataSet::staticClassInfo()
{
    static const frx::ClassInfo info = [] {
        frx::ClassInfo result;
        result.name = QStringLiteral("TfrxDataSet");
        result.parent = &frx::TfrxDialogComponent::staticClassInfo();
        frx::PropInfo userName;
        userName.name = QStringLiteral("UserName");
        userName.kind = frx::PropKind::String;
        userName.getter = [](const void *t) -> frx::PropValue {
            return static_cast<const FakeDataSet *>(static_cast<const frx::TfrxComponent *>(t))->UserName;
        };
        result.own.push_back(userName);
        result.finish();
        return result;
    }();
    return info;
}

} // namespace testsupport
