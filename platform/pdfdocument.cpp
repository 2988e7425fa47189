#include "platform/pdfdocument.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

QByteArray ref(int id)
{
    return QByteArray::number(id) + " 0 R";
}

QByteArray number(double value, int decimals = 2)
{
    QByteArray out;
    pdfAppendNumber(out, value, decimals);
    return out;
}

// A date in universal time says so; a local date of unknown zone is written as it reads.
QByteArray dateString(const QDateTime &date)
{
    const bool universal = date.timeSpec() == Qt::UTC;
    return "(D:" + date.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + (universal ? "Z)" : ")");
}

} // namespace

PdfDocument::PdfDocument(int pageCount)
{
    m_catalog = m_writer.reserve();
    m_pagesRoot = m_writer.reserve();
    for (int i = 0; i < pageCount; ++i)
        m_pageObjects.push_back(m_writer.reserve());
}

PdfDocument::~PdfDocument() = default;

bool PdfDocument::open(const QString &fileName)
{
    return m_writer.open(fileName);
}

int PdfDocument::font(const QRawFont &raw)
{
    const QByteArray key = pdfFaceKey(raw);
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].key == key) return int(i);
    m_fonts.push_back(Font{key, m_writer.reserve(), std::make_unique<PdfFont>(raw)});
    return int(m_fonts.size()) - 1;
}

namespace {

// The colour components of a JPEG file by its frame header (1 grey, 3 colour); 0 when it has
// none that PDF readers take as it is.
int jpegComponents(const QByteArray &jpeg)
{
    qsizetype at = 2;
    while (at + 9 < jpeg.size()) {
        if (quint8(jpeg[at]) != 0xFF) return 0;
        const quint8 marker = quint8(jpeg[at + 1]);
        const int length = quint8(jpeg[at + 2]) << 8 | quint8(jpeg[at + 3]);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            const int components = quint8(jpeg[at + 9]);
            return components == 1 || components == 3 ? components : 0;
        }
        at += 2 + length;
    }
    return 0;
}

} // namespace

int PdfDocument::image(const QImage &image, const QByteArray &jpeg)
{
    const int components = jpeg.isEmpty() ? 0 : jpegComponents(jpeg);
    // A JPEG is known by its bytes, anything else by its pixels; only a digest of them is kept,
    // so that the memory stays flat however many different pictures the pages have.
    QImage pixels;
    QCryptographicHash digest(QCryptographicHash::Blake2b_256);
    if (components != 0) {
        digest.addData(QByteArrayLiteral("jpeg"));
        digest.addData(jpeg);
    } else {
        pixels = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                         : image.convertToFormat(QImage::Format_RGB32);
        const qint32 header[] = {pixels.width(), pixels.height(), int(pixels.format())};
        digest.addData(QByteArrayView(reinterpret_cast<const char *>(header), sizeof header));
        const qsizetype row = qsizetype(pixels.width()) * 4;
        for (int y = 0; y < pixels.height(); ++y)
            digest.addData(QByteArrayView(reinterpret_cast<const char *>(pixels.constScanLine(y)), row));
    }
    const QByteArray key = digest.result();
    const auto known = m_imagesByDigest.constFind(key);
    if (known != m_imagesByDigest.constEnd()) return *known;

    const int object = m_writer.reserve();
    const int width = image.width(), height = image.height();
    QByteArray dictionary = "/Type/XObject/Subtype/Image/Width " + QByteArray::number(width) + "/Height " +
                            QByteArray::number(height) + "/BitsPerComponent 8";
    if (components != 0) {
        dictionary += components == 1 ? "/ColorSpace/DeviceGray" : "/ColorSpace/DeviceRGB";
        m_writer.stream(object, dictionary + "/Filter/DCTDecode", jpeg, false);
    } else {
        QByteArray rgb(qsizetype(width) * height * 3, Qt::Uninitialized);
        QByteArray alpha;
        if (pixels.hasAlphaChannel()) alpha.resize(qsizetype(width) * height);
        char *out = rgb.data();
        for (int y = 0; y < height; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                *out++ = char(qRed(line[x]));
                *out++ = char(qGreen(line[x]));
                *out++ = char(qBlue(line[x]));
                if (!alpha.isEmpty()) alpha[qsizetype(y) * width + x] = char(qAlpha(line[x]));
            }
        }
        if (!alpha.isEmpty()) {
            const int mask = m_writer.reserve();
            m_writer.stream(mask,
                            "/Type/XObject/Subtype/Image/Width " + QByteArray::number(width) + "/Height " +
                                QByteArray::number(height) + "/ColorSpace/DeviceGray/BitsPerComponent 8",
                            alpha);
            dictionary += "/SMask " + ref(mask);
        }
        m_writer.stream(object, dictionary + "/ColorSpace/DeviceRGB", rgb);
    }
    m_images.push_back(object);
    m_imagesByDigest.insert(key, int(m_images.size()) - 1);
    return int(m_images.size()) - 1;
}

int PdfDocument::hatch(int style, int color, double spacing, double lineWidth, double pixelToPoint,
                       double pageHeight)
{
    QByteArray key = QByteArray::number(style) + ' ' + QByteArray::number(color) + ' ' + number(spacing) + ' ' +
                     number(lineWidth) + ' ' + number(pixelToPoint, 6) + ' ' + number(pageHeight);
    const auto found = m_patternsByKey.constFind(key);
    if (found != m_patternsByKey.constEnd()) return *found;

    // One cell of the hatch in device pixels; the pattern space is the page's, turned to pixels.
    const double s = spacing, h = s / 2;
    QByteArray cell;
    cell += number((color & 0xFF) / 255.0, 3) + ' ' + number(((color >> 8) & 0xFF) / 255.0, 3) + ' ' +
            number(((color >> 16) & 0xFF) / 255.0, 3) + " RG " + number(lineWidth) + " w 0 J\n";
    const QByteArray full = number(s), half = number(h);
    const bool horizontal = style == 2 || style == 6, vertical = style == 3 || style == 6;
    const bool forward = style == 4 || style == 7, backward = style == 5 || style == 7;
    if (horizontal) cell += "0 " + half + " m " + full + ' ' + half + " l S\n";
    if (vertical) cell += half + " 0 m " + half + ' ' + full + " l S\n";
    // Diagonals run past the cell's corners so that neighbouring cells join without gaps.
    if (forward) cell += "-1 -1 m " + number(s + 1) + ' ' + number(s + 1) + " l S\n";
    if (backward) cell += "-1 " + number(s + 1) + " m " + number(s + 1) + " -1 l S\n";
    const int object = m_writer.reserve();
    m_writer.stream(object,
                    "/Type/Pattern/PatternType 1/PaintType 1/TilingType 1/BBox[0 0 " + full + ' ' + full +
                        "]/XStep " + full + "/YStep " + full + "/Resources<<>>/Matrix[" + number(pixelToPoint, 6) +
                        " 0 0 " + number(-pixelToPoint, 6) + " 0 " + number(pageHeight) + ']',
                    cell);
    m_patterns.push_back(object);
    m_patternsByKey.insert(key, int(m_patterns.size()) - 1);
    return int(m_patterns.size()) - 1;
}

void PdfDocument::addPage(QSizeF size, const QByteArray &content, const PdfPageResources &resources,
                          const std::vector<PdfLink> &links)
{
    const int index = m_pagesWritten++;
    if (size_t(index) >= m_pageObjects.size()) m_pageObjects.push_back(m_writer.reserve());
    const double unit = pdfUserUnit(size);
    m_pageHeights.push_back(size.height());
    m_pageUnits.push_back(unit);
    const int contents = m_writer.reserve();
    if (unit == 1) {
        m_writer.stream(contents, QByteArray(), content);
    } else {
        // The page's numbers stay in points; the larger unit turns them into the page's own.
        m_writer.stream(contents, QByteArray(), number(1 / unit, 6) + " 0 0 " + number(1 / unit, 6) + " 0 0 cm\n" + content);
    }

    QByteArray page = "<</Type/Page/Parent " + ref(m_pagesRoot) + "/MediaBox[0 0 " + number(size.width() / unit) +
                      ' ' + number(size.height() / unit) + ']';
    if (unit != 1) page += "/UserUnit " + number(unit);
    page += "/Resources<</ProcSet[/PDF/Text/ImageC]";
    if (!resources.fonts.empty()) {
        page += "/Font<<";
        for (int font : resources.fonts)
            page += "/F" + QByteArray::number(font) + ' ' + ref(m_fonts[size_t(font)].object);
        page += ">>";
    }
    if (!resources.images.empty()) {
        page += "/XObject<<";
        for (int image : resources.images)
            page += "/I" + QByteArray::number(image) + ' ' + ref(m_images[size_t(image)]);
        page += ">>";
    }
    if (!resources.patterns.empty()) {
        page += "/Pattern<<";
        for (int pattern : resources.patterns)
            page += "/P" + QByteArray::number(pattern) + ' ' + ref(m_patterns[size_t(pattern)]);
        page += ">>";
    }
    page += ">>/Contents " + ref(contents);
    if (!links.empty()) {
        page += "/Annots[";
        for (const PdfLink &link : links) {
            m_links.push_back(PendingLink{m_writer.reserve(), index, link});
            page += ref(m_links.back().object) + ' ';
        }
        page.chop(1);
        page += ']';
    }
    page += ">>";
    m_writer.object(m_pageObjects[size_t(index)], page);
}

QByteArray PdfDocument::destination(int page, double top) const
{
    page = std::clamp(page, 0, m_pagesWritten - 1);
    const double unit = m_pageUnits[size_t(page)];
    return '[' + ref(m_pageObjects[size_t(page)]) + "/XYZ 0 " + number((m_pageHeights[size_t(page)] - top) / unit) +
           " null]";
}

void PdfDocument::writeLink(const PendingLink &pending)
{
    const double height = m_pageHeights[size_t(pending.page)], unit = m_pageUnits[size_t(pending.page)];
    const QRectF &area = pending.link.area;
    QByteArray body = "<</Type/Annot/Subtype/Link/Rect[" + number(area.left() / unit) + ' ' +
                      number((height - area.bottom()) / unit) + ' ' + number(area.right() / unit) + ' ' +
                      number((height - area.top()) / unit) + "]/Border[0 0 0]";
    if (!pending.link.url.isEmpty()) {
        // An address is 7-bit text: other bytes of its UTF-8 (and blanks) are percent-encoded.
        QByteArray uri;
        for (const char c : pending.link.url.toUtf8()) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte <= 0x20 || byte >= 0x7F) {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
                uri += escaped;
            } else {
                uri += c;
            }
        }
        uri.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
        body += "/A<</S/URI/URI(" + uri + ")>>";
    } else {
        body += "/Dest" + destination(pending.link.page, pending.link.top);
    }
    body += ">>";
    m_writer.object(pending.object, body);
}

int PdfDocument::writeOutline(const std::vector<PdfOutlineEntry> &entries, int parent, int &count)
{
    // Objects of one level are numbered first, so that each can name its neighbours.
    std::vector<int> objects;
    for (size_t i = 0; i < entries.size(); ++i)
        objects.push_back(m_writer.reserve());
    for (size_t i = 0; i < entries.size(); ++i) {
        const PdfOutlineEntry &entry = entries[i];
        ++count;
        QByteArray body = "<</Title " + pdfTextString(entry.title) + "/Parent " + ref(parent) + "/Dest" +
                          destination(entry.page, entry.top);
        if (i > 0) body += "/Prev " + ref(objects[i - 1]);
        if (i + 1 < entries.size()) body += "/Next " + ref(objects[i + 1]);
        if (!entry.children.empty()) {
            int below = 0;
            const int first = writeOutline(entry.children, objects[i], below);
            body += "/First " + ref(first) + "/Last " + ref(first + int(entry.children.size()) - 1) +
                    "/Count -" + QByteArray::number(below);
        }
        body += ">>";
        m_writer.object(objects[i], body);
    }
    return objects.empty() ? 0 : objects.front();
}

double pdfUserUnit(QSizeF size)
{
    // Readers take pages of at most 14,400 units a side.
    constexpr double kLargest = 14400;
    return std::max(1.0, std::ceil(std::max(size.width(), size.height()) / kLargest));
}

bool PdfDocument::finish(const PdfInfo &info, const std::vector<PdfOutlineEntry> &outline, QString *error)
{
    if (m_pagesWritten == 0) {
        if (error) *error = QStringLiteral("there are no pages to write");
        return false;
    }
    for (const Font &font : m_fonts)
        if (font.font->used() && !font.font->write(m_writer, font.object, error)) return false;
    for (const PendingLink &link : m_links)
        writeLink(link);
    m_pageObjects.resize(size_t(m_pagesWritten));

    QByteArray kids;
    for (int page : m_pageObjects)
        kids += ref(page) + ' ';
    kids.chop(1);
    m_writer.object(m_pagesRoot, "<</Type/Pages/Kids[" + kids + "]/Count " + QByteArray::number(m_pagesWritten) + ">>");

    QByteArray catalog = "<</Type/Catalog/Pages " + ref(m_pagesRoot);
    if (!outline.empty() && m_pagesWritten > 0) {
        const int root = m_writer.reserve();
        int count = 0;
        const int first = writeOutline(outline, root, count);
        m_writer.object(root, "<</Type/Outlines/First " + ref(first) + "/Last " +
                                  ref(first + int(outline.size()) - 1) + "/Count " + QByteArray::number(count) + ">>");
        catalog += "/Outlines " + ref(root) + "/PageMode/UseOutlines";
    }
    catalog += ">>";
    m_writer.object(m_catalog, catalog);

    QByteArray body = "<</Producer " + pdfTextString(QStringLiteral("Tovaro")) + "/Creator " +
                      pdfTextString(QStringLiteral("Tovaro"));
    if (!info.title.isEmpty()) body += "/Title " + pdfTextString(info.title);
    if (!info.author.isEmpty()) body += "/Author " + pdfTextString(info.author);
    if (!info.subject.isEmpty()) body += "/Subject " + pdfTextString(info.subject);
    if (info.created.isValid()) body += "/CreationDate " + dateString(info.created);
    body += ">>";
    const int infoObject = m_writer.reserve();
    m_writer.object(infoObject, body);
    if (!m_writer.finish(m_catalog, infoObject)) {
        if (error && error->isEmpty()) *error = QStringLiteral("cannot write the PDF file");
        return false;
    }
    return true;
}

} // namespace platform
