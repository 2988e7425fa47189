// Makes invitation cards (150 x 220 mm, seventeen vertical Kai texts, one guest name each) from a guest
// list: placed into the prepared pages as the engine places them, then rebuilt and painted to PNG at 96
// dpi (1,000 cards) and to one PDF through the one paint path (1,000 and 10,000 cards, in one process).
// In the same run the peer programs make the same cards; prints every figure, the peak memory and how
// many times faster we are than the fastest peer at each count.
#include "platform/allocator.h"
#include "report/output/frxPageExport.h"
#include "report/engine/frxPreviewPages.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

using namespace frx;

namespace {

constexpr int cardCount = 1000;
constexpr int largeCount = 10000;

double seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

QStringList guestNames(int count)
{
    const QString family = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗");
    const QString given = QStringLiteral("伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀英华");
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QString(family[i % family.size()]) + given[(i / 7) % given.size()] +
                     given[(i * 13 + 5) % given.size()];
    return names;
}

class Engine : public TfrxEngineState {
public:
    Extended CurY() const override { return 0; }
    int TotalPages() const override { return 0; }
    bool FinalPass() const override { return true; }
};

// The card report: one page of 150 x 220 mm with a band and seventeen text objects turned 270
// degrees in the vertical Kai face, in columns from right to left; m0 carries the guest's name.
TfrxReportPage *cardPage(TfrxReport &report)
{
    static const QStringList texts = {QString(),
                                      QStringLiteral("二零零九"),
                                      QStringLiteral("十月"),
                                      QStringLiteral("二十六"),
                                      QStringLiteral("农历九月"),
                                      QStringLiteral("初九"),
                                      QStringLiteral("星期一"),
                                      QStringLiteral("张伟"),
                                      QStringLiteral("李娜"),
                                      QStringLiteral("某某宾馆"),
                                      QStringLiteral("中午十一点五十八分"),
                                      QStringLiteral("张建国"),
                                      QStringLiteral("刘秀英"),
                                      QStringLiteral("李明华"),
                                      QStringLiteral("王秀兰"),
                                      QStringLiteral("敬邀"),
                                      QStringLiteral("恕邀不周")};
    auto *page = new TfrxReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetPaperWidth(150);
    page->SetPaperHeight(220);
    auto *band = new TfrxMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetBounds(0, 0, 150 * fr01cm, 220 * fr01cm);
    for (int i = 0; i < texts.size(); ++i) {
        auto *memo = new TfrxMemoView(band);
        memo->SetName(QStringLiteral("m%1").arg(i));
        const int column = i == 0 ? 0 : (i + 2) / 3;
        const int row = i == 0 ? 0 : (i - 1) % 3;
        memo->SetBounds((135 - 15 * column) * fr01cm - 20, (25 + 62 * row) * fr01cm, 40, 60 * fr01cm);
        FontValue font;
        font.name = QStringLiteral("@楷体");
        font.setSize(i == 0 ? 28 : 16);
        memo->SetFont(font);
        memo->SetRotation(270);
        memo->VAlign = vaCenter;
        memo->SetText(texts[i]);
    }
    return page;
}

// Places one card per guest into the prepared pages, as the engine does on the card road.
void prepare(TfrxPreviewPages &pages, TfrxReportPage *page, const QStringList &guests)
{
    auto *band = static_cast<TfrxBand *>(page->Objects().front());
    auto *name = static_cast<TfrxMemoView *>(band->Objects().front());
    pages.Clear();
    pages.BeginRun();
    pages.AddSourcePage(page);
    pages.SetAppendMode(true);
    pages.StartPass();
    for (const QString &guest : guests) {
        pages.AddPage(page);
        name->SetText(guest);
        band->SetTop(0);
        pages.AddObject(band);
    }
    pages.FinishRun();
}

QList<int> allPages(int count)
{
    QList<int> indices;
    for (int i = 0; i < count; ++i)
        indices << i;
    return indices;
}

// Runs the peers' script and returns their "RESULT peer_… <s> s" figures by peer name.
QList<QPair<QString, double>> runPeers(const QString &workDir, int count)
{
    QList<QPair<QString, double>> results;
    // The peers' scripts sit beside the project's checkout unless TOVARO_PEERS names their run.sh.
    const QString script = qEnvironmentVariableIsSet("TOVARO_PEERS")
                               ? qEnvironmentVariable("TOVARO_PEERS")
                               : QStringLiteral(TOVARO_SOURCE_DIR "/../shared/peers/run.sh");
    if (!QFileInfo::exists(script)) {
        std::printf("SKIP peers: no %s\n", script.toUtf8().constData());
        return results;
    }
    QProcess process;
    process.start(QStringLiteral("bash"), {script, QString::number(count), workDir});
    if (!process.waitForFinished(30 * 60 * 1000)) return results;
    if (process.exitCode() != 0) std::printf("SKIP peers: run.sh failed\n");
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression line(QStringLiteral(R"(RESULT peer_(\w+?)_\d+_cards_s ([0-9.]+) s)"));
    for (const QString &text : output.split(u'\n')) {
        const auto match = line.match(text);
        if (match.hasMatch()) {
            results.append({match.captured(1), match.captured(2).toDouble()});
            std::printf("%s\n", text.toUtf8().constData());
        } else if (text.startsWith(QStringLiteral("SKIP"))) {
            std::printf("%s\n", text.toUtf8().constData());
        }
    }
    return results;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::keepFreedMemory();
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList guests = guestNames(cardCount);
    QString error;

    TfrxReport report;
    TfrxReportPage *page = cardPage(report);
    Engine engine;
    TfrxPreviewPages pages(&report);
    pages.SetEngine(&engine);
    const TfrxPageProvider provider = [&pages](int i) { return pages.Page(i); };

    // Warm up the font caches once so that neither figure pays for the first glyph loads.
    prepare(pages, page, guests.mid(0, 2));
    frxExportPdf(provider, {0, 1}, 2, dir.filePath(QStringLiteral("w.pdf")), &error);

    prepare(pages, page, guests);
    auto start = std::chrono::steady_clock::now();
    if (frxExportPng(provider, allPages(cardCount), cardCount, dir.filePath(QStringLiteral("png")), 96,
                     &error) != cardCount) {
        std::fprintf(stderr, "PNG export failed: %s\n", error.toUtf8().constData());
        return 1;
    }
    const double pngSeconds = seconds(start);
    std::printf("RESULT render_png_96dpi %.0f pages/s\n", cardCount / pngSeconds);

    // Prepare and PDF at each count in this process; the peers make the same number of cards.
    for (const int count : {cardCount, largeCount}) {
        const QStringList list = guestNames(count);
        start = std::chrono::steady_clock::now();
        prepare(pages, page, list);
        const double prepared = seconds(start);
        start = std::chrono::steady_clock::now();
        if (!frxExportPdf(pages, allPages(count), dir.filePath(QStringLiteral("cards.pdf")), &error)) {
            std::fprintf(stderr, "PDF export failed: %s\n", error.toUtf8().constData());
            return 1;
        }
        const double pdfSeconds = seconds(start);
        const double ours = prepared + pdfSeconds;
        // The part of the PDF's time that goes to rebuilding the pages from their differences.
        pages.ClearCache();
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i)
            pages.Page(i);
        const double rebuilt = seconds(start);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("RESULT render_prepare_%d_cards_s %.3f s\n", count, prepared);
        std::printf("RESULT render_pdf_%d_cards_s %.3f s\n", count, pdfSeconds);
        std::printf("RESULT render_rebuild_%d_cards_s %.3f s\n", count, rebuilt);
        std::printf("RESULT render_pdf_%d_bytes %lld bytes\n", count,
                    static_cast<long long>(QFileInfo(dir.filePath(QStringLiteral("cards.pdf"))).size()));
        std::printf("RESULT ours_%d_cards_s %.3f s\n", count, ours);
        std::printf("RESULT peak_rss_after_%d_cards %ld kB\n", count, usage.ru_maxrss);

        const auto peers = runPeers(dir.filePath(QStringLiteral("peers%1").arg(count)), count);
        if (peers.isEmpty()) {
            std::printf("SKIP peers: none ran\n");
            continue;
        }
        auto fastest = peers.front();
        for (const auto &peer : peers)
            if (peer.second < fastest.second) fastest = peer;
        std::printf("RESULT speedup_vs_fastest_peer_%s_%d_cards %.2f x\n", fastest.first.toUtf8().constData(),
                    count, fastest.second / ours);
    }
    return 0;
}
