// A minimal report data set for tests of the object model: a dialog component whose class is named
// TfrxDataSet and publishes UserName, found through the global data set lookup.
#pragma once

#include "report/objects/frxClass.h"

namespace testsupport {

class FakeDataSet : public frx::TfrxDialogComponent {
public:
    explicit FakeDataSet(frx::TfrxComponent *owner = nullptr, const QString &userName = QString());
    ~FakeDataSet() override;
    static const frx::ClassInfo &staticClassInfo();
    const frx::ClassInfo *classInfo() const override { return &staticClassInfo(); }
    QString UserName;
};

} // namespace testsupport
