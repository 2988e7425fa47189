// Loads arbitrary bytes as an XML document, fully and with partial loading, looks attributes up
// and writes the result. Malformed input may only raise the documented errors, and whatever was
// read must be written as a document that reads back without error into the same elements, names
// and attribute texts.
#include "report/xml/frxXML.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace frx;

namespace {

void lookUpAttributes(TfrxXMLDocument &document)
{
    std::vector<TfrxXMLItem *> pending{document.RootItem()};
    while (!pending.empty()) {
        TfrxXMLItem *item = pending.back();
        pending.pop_back();
        document.LoadItem(item);
        try {
            item->Prop(u"Name");
            item->Prop(u"Text");
        } catch (const platform::ConvertError &) {
        }
        for (int i = 0; i < item->Count(); ++i)
            pending.push_back(item->Items(i));
    }
}

QByteArray save(TfrxXMLDocument &document)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    document.SaveToStream(out);
    return out.data();
}

// What was written must read back, with the same elements, names and attribute texts.
void checkWrittenDocumentReadsBack(TfrxXMLDocument &document)
{
    const QByteArray written = save(document);
    QBuffer in;
    in.setData(written);
    in.open(QIODevice::ReadOnly);
    TfrxXMLDocument copy;
    try {
        copy.LoadFromStream(in);
    } catch (const TfrxInvalidXMLException &) {
        std::abort();
    }
    std::vector<std::pair<const TfrxXMLItem *, const TfrxXMLItem *>> pending{
        {document.RootItem(), copy.RootItem()}};
    while (!pending.empty()) {
        auto [a, b] = pending.back();
        pending.pop_back();
        if (a->Name() != b->Name() || a->Text() != b->Text()) std::abort();
        if (!a->Loaded()) continue; // parked: its children were written from the stored copy
        if (a->Count() != b->Count()) std::abort();
        for (int i = 0; i < a->Count(); ++i)
            pending.push_back({a->Items(i), b->Items(i)});
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        TfrxXMLDocument document;
        QBuffer in;
        in.setData(bytes);
        in.open(QIODevice::ReadOnly);
        try {
            document.LoadFromStream(in);
        } catch (const TfrxInvalidXMLException &) {
        }
        lookUpAttributes(document);
        checkWrittenDocumentReadsBack(document);
    }
    {
        TfrxXMLDocument document;
        auto in = std::make_unique<QBuffer>();
        in->setData(bytes);
        in->open(QIODevice::ReadOnly);
        try {
            document.LoadFromStream(std::move(in), true);
        } catch (const TfrxInvalidXMLException &) {
        }
        save(document); // reads the parked elements back from the source
        lookUpAttributes(document);
        checkWrittenDocumentReadsBack(document);
    }
    return 0;
}
