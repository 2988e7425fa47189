// Applies arbitrary attribute texts to objects of every kind the card report holds. Bad names and
// values must end as error lines of the serialiser, never as a crash.
#include "report/xml/frxXMLSerializer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first byte picks the object, the rest is the attribute text.
    if (size == 0) return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    frx::TfrxReport report;
    report.OnLoadTemplate = [](frx::TfrxReport *, const QString &) {};
    auto *page = new frx::TfrxReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    auto *band = new frx::TfrxMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    auto *memo = new frx::TfrxMemoView(band);
    memo->SetName(QStringLiteral("m0"));
    auto *child = new frx::TfrxChild(page);
    child->SetName(QStringLiteral("Child1"));
    frx::TfrxComponent *targets[] = {
        &report, page, band, memo, child, new frx::TfrxPictureView(band), new frx::TfrxSubreport(band)};
    frx::TfrxXMLSerializer serializer;
    serializer.Owner = &report;
    serializer.OldFormat = data[0] & 0x80;
    serializer.ApplyAttributes(text, targets[data[0] % std::size(targets)]);
    serializer.FixupReferences();
    // What was applied can be collected again.
    serializer.CollectAttributes(&report);
    for (frx::TfrxComponent *object : report.AllObjects())
        serializer.CollectAttributes(object);
    return 0;
}
