// Fake host objects for the script tests: a report-like object tree with properties, methods and
// indexed properties, and a script preloaded with them.
#pragma once

#include "script/fsScript.h"
#include "script/scriptobject.h"

#include <QHash>
#include <QStringList>

#include <memory>

namespace fakehost {

// An object with named Variant properties, a class name and a base class name; its methods are
// Clear (empties Text), Add(x) (appends to Lines), and indexed properties Variables[...] /
// Value[...] kept in a map.
class FakeObject : public script::ScriptObject {
public:
    FakeObject(QString className, QString baseClass = {});
    QString scriptClassName() const override { return m_class; }
    bool isA(const QString &className) const override;
    bool getProperty(const QString &name, script::Variant &value) override;
    bool setProperty(const QString &name, const script::Variant &value) override;
    bool callMethod(const QString &name, script::VariantList &args, script::Variant &result) override;
    bool getIndexed(const QString &name, const script::VariantList &index, script::Variant &value) override;
    bool setIndexed(const QString &name, const script::VariantList &index,
                    const script::Variant &value) override;

    QHash<QString, script::Variant> properties; // by lower-case name
    QHash<QString, script::Variant> indexed;    // "variables:x" -> value
    QStringList lines;
    int calls = 0;

private:
    QString m_class, m_base;
};

// A script with: Memo1 (TfrxMemoView: Text, Left, Visible), MasterData1 (TfrxMasterData: Visible),
// Report (TfrxReport: Variables[...]), Engine (TfrxEngine: CurY, NewPage), the variables Value and
// Self, a Get that answers field references from `fields`, and ShowMessage collected in `output`.
struct Host {
    Host();
    script::TfsScript script;
    FakeObject memo{QStringLiteral("TfrxMemoView"), QStringLiteral("TfrxView")};
    FakeObject band{QStringLiteral("TfrxMasterData"), QStringLiteral("TfrxBand")};
    FakeObject report{QStringLiteral("TfrxReport")};
    FakeObject engine{QStringLiteral("TfrxEngine")};
    script::Variant *value = nullptr;
    script::Variant *self = nullptr;
    QHash<QString, script::Variant> fields;
    QStringList output;
    int getCalls = 0;
};

} // namespace fakehost
