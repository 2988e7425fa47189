// Reading and writing a prepared report of 10,000 pages (about 20 elements a page) with our XML
// document, and parsing the same bytes with pugixml when it is installed. Prints the median of
// several runs: RESULT xml_read_MBps, xml_write_MBps, pugixml_read_MBps, xml_read_vs_pugixml,
// xml_prop_Mlookups_per_s.
#include "report/xml/frxXML.h"

#include <QBuffer>
#include <QElapsedTimer>

#ifdef TOVARO_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <vector>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

constexpr int pageCount = 10000;
constexpr int memosPerPage = 18;
constexpr int runs = 7;

// The shape of a prepared card report: a page element per guest holding one band and its text
// objects, each with its differing attributes only; pages from the third on may be parked.
void buildPreparedReport(TfrxXMLDocument &document)
{
    TfrxXMLItem *root = document.RootItem();
    root->SetName(u"preparedreport"_s);
    TfrxXMLItem *pages = root->FindOrAdd(u"previewpages"_s);
    const QStringList surnames = {u"王"_s, u"李"_s, u"张"_s, u"刘"_s, u"陈"_s, u"杨"_s};
    for (int p = 0; p < pageCount; ++p) {
        TfrxXMLItem *page = pages->Add();
        page->SetName(u"page0"_s);
        page->SetUnloadable(p >= 2);
        TfrxXMLItem *band = page->Add();
        band->SetName(u"b1"_s);
        band->SetText(uR"(l="0" t="0" w="718.1107" h="1122.5197")"_s);
        for (int m = 0; m < memosPerPage; ++m) {
            TfrxXMLItem *memo = band->Add();
            memo->SetName(u"m%1"_s.arg(m + 1));
            QString text = m == 0 ? surnames[p % surnames.size()] + u"&#13;&#10;小明%1"_s.arg(p)
                                  : u"二〇二四年&#13;&#10;农历八月十五"_s;
            memo->SetText(uR"(n="m%1" l="%2" t="%3" w="37.8" h="302.4" Font.Name="@楷体" Text="%4")"_s.arg(m)
                              .arg(371.33 - m * 18.9)
                              .arg(m * 7.56)
                              .arg(text));
        }
    }
    TfrxXMLItem *logical = root->FindOrAdd(u"logicalpagenumbers"_s);
    for (int p = 0; p < pageCount; ++p) {
        TfrxXMLItem *number = logical->Add();
        number->SetName(u"page"_s);
        number->SetText(uR"(n="%1" t="%2")"_s.arg(p + 1).arg(pageCount));
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds of one call of work; what it returns is released after the clock has stopped.
template <typename Work> double measureOnce(Work &work)
{
    QElapsedTimer timer;
    timer.start();
    const auto made = work();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    (void)made;
    return seconds;
}

// Median seconds of one call of work over several runs, after one run that warms the allocator.
template <typename Work> double measure(Work work)
{
    work();
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i)
        seconds.push_back(measureOnce(work));
    return median(seconds);
}

} // namespace

int main()
{
    // Keep freed memory in the process: every run then parses into warm pages, so that the figures
    // compare parsing rather than the cost of fresh pages from the kernel.
    mallopt(M_MMAP_THRESHOLD, 512 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);

    TfrxXMLDocument source;
    buildPreparedReport(source);

    QByteArray bytes;
    const double writeSeconds = measure([&] {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        source.SaveToStream(out);
        bytes = out.data();
        return 0;
    });
    const double megabytes = double(bytes.size()) / (1024.0 * 1024.0);
    std::printf("document: %d pages, %.1f MB\n", pageCount, megabytes);

    int elements = 0;
    // Reading is timed without releasing the document afterwards, for both readers.
    auto ourRead = [&] {
        auto document = std::make_unique<TfrxXMLDocument>();
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        document->LoadFromStream(in);
        elements = document->RootItem()->Items(0)->Count();
        return document;
    };
    const double readSeconds = measure(ourRead);
    if (elements != pageCount) {
        std::fprintf(stderr, "bench_xml: read %d pages instead of %d\n", elements, pageCount);
        return 1;
    }

    // Attribute lookups as a page is rebuilt: a few names per text object.
    TfrxXMLDocument document;
    {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        document.LoadFromStream(in);
    }
    const TfrxXMLItem *pages = document.RootItem()->Items(0);
    qsizetype found = 0;
    int lookups = 0;
    const double propSeconds = measure([&] {
        lookups = 0;
        for (int p = 0; p < pages->Count(); p += 10) {
            const TfrxXMLItem *band = pages->Items(p)->Items(0);
            for (int m = 0; m < band->Count(); ++m) {
                const TfrxXMLItem *memo = band->Items(m);
                found += memo->Prop(u"l").size() + memo->Prop(u"t").size() + memo->Prop(u"Text").size() +
                         memo->Prop(u"Visible").size();
                lookups += 4;
            }
        }
        return 0;
    });

    std::printf("RESULT xml_write_MBps %.1f MB/s\n", megabytes / writeSeconds);
    std::printf("RESULT xml_read_MBps %.1f MB/s\n", megabytes / readSeconds);
    std::printf("RESULT xml_prop_Mlookups_per_s %.2f M/s\n", lookups / propSeconds / 1e6);

#ifdef TOVARO_HAVE_PUGIXML
    std::size_t pugiPages = 0;
    auto pugiRead = [&] {
        auto pugiDocument = std::make_unique<pugi::xml_document>();
        const pugi::xml_parse_result result = pugiDocument->load_buffer(
            bytes.constData(), std::size_t(bytes.size()), pugi::parse_default, pugi::encoding_utf8);
        if (!result)
            std::fprintf(stderr, "bench_xml: pugixml: %s at %td\n", result.description(), result.offset);
        pugiPages = 0;
        for (pugi::xml_node page : pugiDocument->first_child().first_child().children())
            pugiPages += !page.empty();
        return pugiDocument;
    };
    const double pugiSeconds = measure(pugiRead);
    if (pugiPages != std::size_t(pageCount)) {
        std::fprintf(stderr, "bench_xml: pugixml read %zu pages instead of %d\n", pugiPages, pageCount);
        return 1;
    }
    // The ratio from runs taken in turns, so that a busy machine slows both sides alike.
    std::vector<double> ratios;
    for (int i = 0; i < runs; ++i) {
        const double ours = measureOnce(ourRead);
        ratios.push_back(measureOnce(pugiRead) / ours);
    }
    std::printf("RESULT pugixml_read_MBps %.1f MB/s\n", megabytes / pugiSeconds);
    std::printf("RESULT xml_read_vs_pugixml %.2f x\n", median(ratios));
#else
    std::printf("bench_xml: pugixml is not installed; no comparison\n");
#endif
    return found > 0 ? 0 : 1;
}
