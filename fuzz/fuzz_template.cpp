// Feeds arbitrary bytes to a report as the content of a template file. Whatever the input, loading
// must end with the report usable and every problem as a line of its ErrorList.
#include "report/objects/frxDBSet.h"
#include "report/xml/frxXMLSerializer.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static frx::TfrxDBDataset *host = [] {
        auto *dataSet = new frx::TfrxDBDataset;
        dataSet->SetName(QStringLiteral("frxdbdtst1"));
        return dataSet;
    }();
    (void)host;
    frx::TfrxReport report;
    report.EngineOptions.NewSilentMode = frx::simSilent;
    // Ancestor templates named by the input are never looked for on disk.
    report.OnLoadTemplate = [](frx::TfrxReport *, const QString &) {};
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    frx::LoadFromStream(report, buffer);
    // The result can be written again and holds a data page, unless a refused password emptied it.
    bool hasDataPage = report.PagesCount() == 0;
    for (frx::TfrxComponent *object : report.Objects())
        hasDataPage = hasDataPage || dynamic_cast<frx::TfrxDataPage *>(object);
    if (!hasDataPage) __builtin_trap();
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    frx::SaveToStream(report, out);
    return 0;
}
