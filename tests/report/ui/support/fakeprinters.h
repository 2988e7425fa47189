// A fake print system with two printers for the dialog tests, installed for one test's life.
#pragma once

#include "platform/printing.h"
#include "report/output/frxPrinter.h"

#include <memory>

namespace testsupport {

inline platform::FakePrintDevice::Setup fakePrinter(const QString &name)
{
    using platform::DevicePaper;
    platform::FakePrintDevice::Setup setup;
    setup.name = name;
    setup.papers = {DevicePaper{QStringLiteral("A4"), 9, QPageSize(QPageSize::A4)},
                    DevicePaper{QStringLiteral("A5"), 11, QPageSize(QPageSize::A5)},
                    DevicePaper{QStringLiteral("Letter"), 1, QPageSize(QPageSize::Letter)}};
    return setup;
}

// Installs printers "办公室" (the default) and "Lab" with A4, A5 and Letter; restores CUPS after.
class FakePrinters {
public:
    FakePrinters()
    {
        platform::setPrintSystem(std::make_unique<platform::FakePrintSystem>(
            QList<platform::FakePrintDevice::Setup>{fakePrinter(QStringLiteral("办公室")),
                                                    fakePrinter(QStringLiteral("Lab"))},
            QStringLiteral("办公室")));
        frx::frxPrinters()->Refill();
    }
    ~FakePrinters()
    {
        platform::setPrintSystem(nullptr);
        frx::frxPrinters()->Refill();
    }
};

} // namespace testsupport
