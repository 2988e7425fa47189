// Prepares the invitation card report (one master band of seventeen text objects, the guest name
// bound to a field) over 1,000 and 10,000 guests read from an SQLite file, then saves and loads the
// 10,000-card .fp3 file. Prints preparation time, cards per second, memory and file bytes per card.
#include "platform/sqlitecursor.h"
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxPreviewPages.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace frx;

namespace {

double seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Resident memory of the process in bytes.
qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

void makeGuests(const QString &path, int count)
{
    QString sql = QStringLiteral("CREATE TABLE keren (ID INTEGER PRIMARY KEY, 姓名 TEXT);");
    for (int i = 1; i <= count; ++i)
        sql += QStringLiteral("INSERT INTO keren VALUES (%1, '宾客%1');").arg(i);
    platform::SqliteCursor::createDatabase(path, sql);
}

// The card page of the template: the band, the bound name and sixteen fixed texts.
void buildCard(TfrxReport &report, TfrxDBDataset &guests)
{
    report.EngineOptions.NewSilentMode = simSilent;
    report.Datasets.Add()->SetDataSet(&guests);
    new TfrxDataPage(&report);
    auto *page = new TfrxReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetPaperWidth(210);
    page->SetPaperHeight(290);
    auto *band = new TfrxMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetBounds(0, 18.89765, 793.7013, 812.59895);
    band->SetDataSet(&guests);
    const QStringList texts{QStringLiteral("[frxdbdtst1.\"姓名\"]"),
                            QStringLiteral("二零零九"),
                            QStringLiteral("十二"),
                            QStringLiteral("十二"),
                            QStringLiteral("二八"),
                            QStringLiteral("二八"),
                            QStringLiteral("天"),
                            QStringLiteral("新  郎"),
                            QStringLiteral("新  娘"),
                            QStringLiteral("某某宾馆"),
                            QStringLiteral("中"),
                            QStringLiteral("父  亲"),
                            QStringLiteral("母  亲"),
                            QStringLiteral("携"),
                            QStringLiteral("新  郎"),
                            QStringLiteral("新  娘"),
                            QStringLiteral("举行")};
    for (int i = 0; i < texts.size(); ++i) {
        auto *memo = new TfrxMemoView(band);
        memo->SetName(QStringLiteral("m%1").arg(i));
        memo->SetBounds(500 - 30 * i, 100 + 10 * i, 45.35436, 120);
        memo->SetText(texts.at(i));
        memo->SetRotation(270);
        memo->VAlign = vaCenter;
        memo->SetVisible(i != 11 && i != 12 && i != 13 && i != 16);
    }
    auto *name = static_cast<TfrxMemoView *>(report.FindObject(u"m0"));
    name->SetDataSet(&guests);
    name->DataField = QStringLiteral("姓名");
}

struct Run {
    double prepareSeconds = 0;
    qint64 memoryBytes = 0;
    int pages = 0;
};

Run prepareCards(const QString &database, int count, TfrxReport &report, TfrxDBDataset &guests,
                 platform::SqliteCursor &cursor)
{
    cursor.setDatabaseFile(database);
    cursor.setQuery(QStringLiteral("select * from keren order by ID"));
    guests.SetName(QStringLiteral("frxdbdtst1"));
    guests.SetDataSet(&cursor);
    buildCard(report, guests);
    const qint64 before = residentBytes();
    const auto start = std::chrono::steady_clock::now();
    report.PrepareReport(true);
    Run run;
    run.prepareSeconds = seconds(start);
    run.memoryBytes = residentBytes() - before;
    run.pages = report.PreviewPages()->Count();
    if (run.pages != count) std::fprintf(stderr, "expected %d pages, got %d\n", count, run.pages);
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    double small = 0;
    for (int count : {1000, 10000}) {
        const QString database = dir.filePath(QStringLiteral("guests%1.db").arg(count));
        makeGuests(database, count);
        platform::SqliteCursor cursor;
        TfrxDBDataset guests;
        TfrxReport report;
        const Run run = prepareCards(database, count, report, guests, cursor);
        std::printf("RESULT prepare_%d_cards_s %.3f s\n", count, run.prepareSeconds);
        std::printf("RESULT prepare_%d_cards_per_s %.0f cards/s\n", count, count / run.prepareSeconds);
        std::printf("RESULT prepare_%d_memory_per_card %.0f bytes\n", count, double(run.memoryBytes) / count);
        if (count == 1000) small = run.prepareSeconds;
        if (count != 10000) continue;
        std::printf("RESULT prepare_growth_10x %.2f x\n", run.prepareSeconds / small);
        const QString file = dir.filePath(QStringLiteral("cards.fp3"));
        auto start = std::chrono::steady_clock::now();
        report.PreviewPages()->SaveToFile(file);
        const double save = seconds(start);
        std::printf("RESULT fp3_save_10000_cards_s %.3f s\n", save);
        std::printf("RESULT fp3_bytes_per_card %.0f bytes\n", double(QFile(file).size()) / count);
        TfrxReport reader;
        start = std::chrono::steady_clock::now();
        reader.PreviewPages()->LoadFromFile(file, true);
        const double load = seconds(start);
        std::printf("RESULT fp3_load_10000_cards_s %.3f s\n", load);
        std::printf("RESULT fp3_save_plus_load_10000_cards_s %.3f s\n", save + load);
        if (reader.PreviewPages()->Count() != count)
            std::fprintf(stderr, "loaded %d pages\n", reader.PreviewPages()->Count());
    }
    return 0;
}
