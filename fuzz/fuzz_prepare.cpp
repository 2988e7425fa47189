// Prepares arbitrary bytes as a report template against a small guest data set. Whatever the
// template, preparation must end without a crash, a leak or unbounded memory; a run still going
// after two seconds is stopped the way the cancel button stops it.
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxEngine.h"
#include "report/xml/frxXMLSerializer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QTimer>

#include <cstddef>
#include <cstdint>

namespace {

// Three guests in the fields the card templates read.
frx::TfrxUserDataSet *guests()
{
    static frx::TfrxUserDataSet *set = [] {
        auto *dataSet = new frx::TfrxUserDataSet;
        dataSet->SetName(QStringLiteral("frxdbdtst1"));
        dataSet->Fields = {QStringLiteral("姓名"), QStringLiteral("称谓"), QStringLiteral("桌号")};
        dataSet->RangeEnd = frx::reCount;
        dataSet->RangeEndCount = 3;
        dataSet->OnGetValue = [dataSet](const QString &field, script::Variant &value) {
            static const QStringList names{QStringLiteral("王小明"), QStringLiteral("李娜"), QString()};
            const int row = dataSet->RecNo;
            if (field == QStringLiteral("姓名")) value = names.value(row);
            else if (field == QStringLiteral("称谓")) value = QStringLiteral("先生");
            else value = row + 1;
        };
        return dataSet;
    }();
    return set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_prepare";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *application = new QGuiApplication(argc, argv);
    (void)application;
    guests();
    frx::TfrxReport report;
    report.EngineOptions.NewSilentMode = frx::simSilent;
    report.OnLoadTemplate = [](frx::TfrxReport *, const QString &) {};
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    frx::LoadFromStream(report, buffer);
    // Without this the engine would not look at the event loop, where the watchdog waits.
    report.EngineOptions.ThreadSafe = false;
    // The engine and the script look at the event loop between records and statements.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&report] {
        if (report.Engine()) report.Engine()->StopReport();
    });
    watchdog.start(2000);
    report.PrepareReport(true);
    return 0;
}
