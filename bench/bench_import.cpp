// Importing a guest list of 10,000 names into a fresh guest store: reading the CSV file (GB18030,
// the slowest of the text encodings to detect), sorting the names against the list, and adding
// them in one transaction with the list opened again. Prints the median of several runs:
// RESULT import_10000_names_s, and the read alone as import_read_10000_names_s.
#include "app/model/guestfile.h"
#include "app/model/guestimport.h"
#include "app/model/gueststore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int nameCount = 10000;
constexpr int runs = 5;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QStringList surnames = {QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"),
                                  QStringLiteral("欧阳"), QStringLiteral("陈")};
    QString csv = QStringLiteral("序号,姓名,桌号\n");
    for (int n = 0; n < nameCount; ++n)
        csv += QStringLiteral("%1,%2小明%3,%4\n").arg(n + 1).arg(surnames.at(n % surnames.size())).arg(n).arg(n / 10);
    QStringEncoder gb18030("GB18030");
    const QString path = dir.filePath(QStringLiteral("名单.csv"));
    QFile file(path);
    if (!gb18030.isValid() || !file.open(QIODevice::WriteOnly)) return 1;
    file.write(gb18030(csv));
    file.close();

    std::vector<double> whole;
    std::vector<double> reading;
    for (int run = 0; run < runs; ++run) {
        const QString store = dir.filePath(QStringLiteral("tovaro%1.db").arg(run));
        GuestStore guests;
        guests.setDatabaseFile(store);
        guests.open();
        guests.addGuest(QStringLiteral("李小明1"));

        QElapsedTimer timer;
        timer.start();
        const QStringList names = guestfile::readNames(path);
        reading.push_back(timer.nsecsElapsed() / 1e9);
        const GuestImport plan(names, guests.names());
        guests.addGuests(plan.namesToAdd(false));
        whole.push_back(timer.nsecsElapsed() / 1e9);
        if (guests.count() != nameCount) {
            std::fprintf(stderr, "imported %d guests, expected %d\n", guests.count(), nameCount);
            return 1;
        }
    }
    std::printf("RESULT import_10000_names_s %.3f s\n", median(whole));
    std::printf("RESULT import_read_10000_names_s %.3f s\n", median(reading));
    return 0;
}
