#include "pclraster.h"

#include <QPainter>

#include <optional>

namespace apptest {

namespace {

// The paper of a PCL page size code, in millimetres.
std::optional<QSizeF> pclPaperMm(int code)
{
    switch (code) {
    case 1: return QSizeF(184.15, 266.7); // Executive
    case 2: return QSizeF(215.9, 279.4);  // Letter
    case 3: return QSizeF(215.9, 355.6);  // Legal
    case 25: return QSizeF(148, 210);     // A5
    case 26: return QSizeF(210, 297);     // A4
    case 27: return QSizeF(297, 420);     // A3
    default: return std::nullopt;
    }
}

// One row of compression mode 2 (TIFF PackBits); nothing when the data runs short.
std::optional<QByteArray> unpackBits(const QByteArray &data)
{
    QByteArray row;
    for (qsizetype i = 0; i < data.size();) {
        const int control = qint8(data[i++]);
        if (control >= 0) {
            if (i + control + 1 > data.size()) return std::nullopt;
            row += data.mid(i, control + 1);
            i += control + 1;
        } else if (control != -128) {
            if (i >= data.size()) return std::nullopt;
            row += QByteArray(1 - control, data[i++]);
        }
    }
    return row;
}

// A PCL escape sequence: ESC, the parameterised character, the group character, then values each
// ending in a letter (lower case when another value follows).
struct Escape {
    char parameterised = 0;
    char group = 0;
    QList<std::pair<double, char>> values; // value, command letter (upper case)
};

} // namespace

QList<PrintedPage> readPclRaster(const QByteArray &job, double printableLeftMm)
{
    QList<PrintedPage> pages;
    int dpi = 75;
    int compression = 0;
    QSizeF paperMm;
    QPointF cursorDecipoints;
    std::optional<QImage> page;
    int row = 0;       // the next raster row, in dots from the raster's top
    QPointF rasterDots; // where the raster starts on the page
    QByteArray planes;  // the planes of the row so far, OR-ed together

    const auto startPage = [&] {
        if (page || paperMm.isEmpty()) return;
        page = QImage(int(paperMm.width() / 25.4 * dpi + 0.5), int(paperMm.height() / 25.4 * dpi + 0.5),
                      QImage::Format_Grayscale8);
        page->fill(255);
    };
    const auto endPage = [&] {
        if (page) pages.append(PrintedPage{*page, dpi});
        page.reset();
    };
    const auto putRow = [&](const QByteArray &bits) {
        startPage();
        if (!page) return;
        const int y = int(rasterDots.y()) + row;
        if (y < 0 || y >= page->height()) return;
        uchar *line = page->scanLine(y);
        for (qsizetype byte = 0; byte < bits.size(); ++byte)
            for (int bit = 0; bit < 8; ++bit)
                if (uchar(bits[byte]) & (0x80 >> bit)) {
                    const int x = int(rasterDots.x()) + int(byte) * 8 + bit;
                    if (x >= 0 && x < page->width()) line[x] = 0;
                }
    };

    for (qsizetype i = 0; i < job.size();) {
        const char c = job[i];
        if (c == '\f') {
            startPage();
            endPage();
            ++i;
            continue;
        }
        if (c != '\x1b') {
            ++i;
            continue;
        }
        if (i + 1 < job.size() && job[i + 1] == 'E') { // reset: a page begun is printed
            endPage();
            i += 2;
            continue;
        }
        if (i + 2 >= job.size()) break;
        Escape escape{job[i + 1], job[i + 2], {}};
        i += 3;
        if (escape.parameterised == '%') { // the job language around the PCL: skip to its end
            const qsizetype next = job.indexOf("\x1b", i);
            i = next < 0 ? job.size() : next;
            continue;
        }
        while (i < job.size()) {
            qsizetype start = i;
            while (i < job.size() && (QChar(job[i]).isDigit() || job[i] == '.' || job[i] == '-' || job[i] == '+'))
                ++i;
            if (i >= job.size()) break;
            const char letter = job[i++];
            const double value = job.mid(start, i - 1 - start).toDouble();
            escape.values.append({value, char(QChar(letter).toUpper().toLatin1())});
            const int data = int(value);
            // Raster data follows its command.
            if (escape.parameterised == '*' && escape.group == 'b' && (letter == 'W' || letter == 'V' ||
                                                                       letter == 'w' || letter == 'v')) {
                const QByteArray packed = job.mid(i, data);
                i += data;
                std::optional<QByteArray> bits = compression == 2 ? unpackBits(packed)
                                                 : compression == 0 ? std::optional(packed)
                                                                    : std::nullopt;
                if (!bits) return {}; // a compression this reader does not know
                if (planes.size() < bits->size()) planes.resize(bits->size(), 0);
                for (qsizetype b = 0; b < bits->size(); ++b)
                    planes[b] = char(planes[b] | (*bits)[b]);
                if (letter == 'W' || letter == 'w') {
                    putRow(planes);
                    planes.clear();
                    ++row;
                }
            }
            if (QChar(letter).isUpper()) break;
        }
        for (const auto &[value, command] : escape.values) {
            const QByteArray key = QByteArray(1, escape.parameterised) + escape.group;
            if (key == "&l" && command == 'H' && value == 0) { // eject the page
                startPage();
                endPage();
            } else if (key == "&l" && command == 'A') {
                if (const std::optional<QSizeF> size = pclPaperMm(int(value))) paperMm = *size;
            } else if (key == "*t" && command == 'R') {
                dpi = int(value);
            } else if (key == "*b" && command == 'M') {
                compression = int(value);
            } else if (key == "*b" && command == 'Y') {
                row += int(value);
            } else if (key == "&a" && command == 'H') {
                cursorDecipoints.setX(value);
            } else if (key == "&a" && command == 'V') {
                cursorDecipoints.setY(value);
            } else if (key == "*r" && command == 'A') {
                // Across from the printable area's left edge, down from the paper's top: the job
                // sets no top margin of its own.
                rasterDots = QPointF((printableLeftMm / 25.4 + cursorDecipoints.x() / 720) * dpi,
                                     cursorDecipoints.y() / 720 * dpi);
                row = 0;
            }
        }
    }
    endPage();
    return pages;
}

} // namespace apptest
