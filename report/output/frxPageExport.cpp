#include "report/output/frxPageExport.h"

#include "platform/canvas.h"
#include "platform/pngwriter.h"
#include "report/output/frxPainter.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace frx {

namespace {

// A bounded queue of rendered pages between the painting thread and the encoders.
class EncodeQueue {
public:
    explicit EncodeQueue(size_t limit) : m_limit(limit) {}

    void push(QImage image, QString fileName)
    {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [this] { return m_items.size() < m_limit || m_failed; });
        m_items.push_back({std::move(image), std::move(fileName)});
        m_notEmpty.notify_one();
    }
    void close()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
    }
    // Encodes until the queue is closed and empty.
    void work()
    {
        for (;;) {
            Item item;
            {
                std::unique_lock lock(m_mutex);
                m_notEmpty.wait(lock, [this] { return !m_items.empty() || m_closed; });
                if (m_items.empty()) return;
                item = std::move(m_items.front());
                m_items.pop_front();
                m_notFull.notify_one();
            }
            const bool ok = platform::writePng(item.image, item.fileName);
            std::lock_guard lock(m_mutex);
            if (ok) {
                ++m_written;
            } else if (!m_failed) {
                m_failed = true;
                m_error = QStringLiteral("cannot write %1").arg(item.fileName);
                m_notFull.notify_all();
            }
        }
    }
    bool failed()
    {
        std::lock_guard lock(m_mutex);
        return m_failed;
    }
    QString error()
    {
        std::lock_guard lock(m_mutex);
        return m_error;
    }
    int written()
    {
        std::lock_guard lock(m_mutex);
        return m_written;
    }

private:
    struct Item {
        QImage image;
        QString fileName;
    };
    std::mutex m_mutex;
    std::condition_variable m_notEmpty, m_notFull;
    std::deque<Item> m_items;
    size_t m_limit;
    bool m_closed = false;
    bool m_failed = false;
    QString m_error;
    int m_written = 0;
};

void setError(QString *error, const QString &text)
{
    if (error) *error = text;
}

} // namespace

bool frxParsePageRange(const QString &range, int count, QList<int> &indices)
{
    indices.clear();
    const QString text = range.trimmed();
    if (text.isEmpty()) {
        for (int i = 0; i < count; ++i)
            indices << i;
        return true;
    }
    for (const QString &part : text.split(u',')) {
        const QStringList ends = part.trimmed().split(u'-');
        if (ends.size() > 2 || part.trimmed().isEmpty()) return false;
        bool ok = true;
        const int first = ends[0].trimmed().isEmpty() ? 1 : ends[0].trimmed().toInt(&ok);
        if (!ok || first < 1) return false;
        int last = first;
        if (ends.size() == 2) {
            last = ends[1].trimmed().isEmpty() ? count : ends[1].trimmed().toInt(&ok);
            if (!ok || last < first) return false;
        }
        for (int page = first; page <= std::min(last, count); ++page)
            indices << page - 1;
    }
    return true;
}

int frxExportPng(const TfrxPageProvider &pages, const QList<int> &indices, int totalPages, const QString &dir,
                 int dpi, QString *error, int threads)
{
    if (!QDir().mkpath(dir)) {
        setError(error, QStringLiteral("cannot create the folder %1").arg(dir));
        return -1;
    }
    if (threads <= 0) threads = std::max(1, int(std::thread::hardware_concurrency()) - 1);
    EncodeQueue queue(size_t(threads) * 2);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&queue] { queue.work(); });

    const Extended scale = Extended(dpi) / 96;
    const int dotsPerMeter = int(roundHalfEven(dpi / 0.0254L));
    QString failure;
    // A page that fails to read or draw ends the export, never the workers: they are joined below.
    int current = 0;
    try {
        for (int index : indices) {
            current = index;
            if (queue.failed()) break;
            TfrxReportPage *page = pages(index);
            if (!page) {
                failure = QStringLiteral("page %1 cannot be read").arg(index + 1);
                break;
            }
            QImage image(frxPaperSizePixels(*page, dpi), QImage::Format_RGB32);
            if (image.isNull()) {
                failure = QStringLiteral("page %1 is too large to render").arg(index + 1);
                break;
            }
            image.setDotsPerMeterX(dotsPerMeter);
            image.setDotsPerMeterY(dotsPerMeter);
            image.fill(Qt::white);
            {
                platform::Canvas canvas(&image, dpi, dpi);
                TfrxPageDrawInfo info;
                info.Index = index;
                info.TotalPages = totalPages;
                frxDrawPage(*page, canvas, scale, scale, 0, 0, info);
            }
            queue.push(std::move(image),
                       QDir(dir).filePath(QStringLiteral("page-%1.png").arg(index + 1, 4, 10, QLatin1Char('0'))));
        }
    } catch (const platform::Error &e) {
        failure = QStringLiteral("page %1: %2").arg(current + 1).arg(e.message());
    } catch (const std::exception &e) {
        failure = QStringLiteral("page %1: %2").arg(current + 1).arg(QString::fromLocal8Bit(e.what()));
    }
    queue.close();
    for (std::thread &worker : workers)
        worker.join();
    if (failure.isEmpty() && queue.failed()) failure = queue.error();
    if (!failure.isEmpty()) {
        setError(error, failure);
        return -1;
    }
    return queue.written();
}

} // namespace frx
