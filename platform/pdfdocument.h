// A PDF file made page by page: each page's content goes to the file when the page is done, with the
// pictures and hatch patterns it brings first (each picture once per file); the fonts, the outline
// and the document information follow at the end. Memory stays flat however many pages there are.
#pragma once

#include "platform/pdffont.h"
#include "platform/pdfwriter.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <set>
#include <vector>

namespace platform {

// A bookmark: its title, the page (0-based, in the order written) and the height on it in points
// from the page's top, with the bookmarks below it.
struct PdfOutlineEntry {
    QString title;
    int page = 0;
    double top = 0;
    std::vector<PdfOutlineEntry> children;
};

// A link area of a page in points from the page's top left: to an address, or (empty url) to a
// height in points from the top of another page.
struct PdfLink {
    QRectF area;
    QString url;
    int page = 0;
    double top = 0;
};

// The document information dictionary; an invalid date is left out.
struct PdfInfo {
    QString title, author, subject;
    QDateTime created;
};

// What a page uses of the file's shared resources, by resource number.
struct PdfPageResources {
    std::set<int> fonts, images, patterns;
};

// Points per unit of the space of a page of `size` points: 1, or more for pages too large for readers.
double pdfUserUnit(QSizeF size);

class PdfDocument {
public:
    // A file of `pageCount` pages (their objects are numbered now, so that links and bookmarks can
    // point ahead).
    explicit PdfDocument(int pageCount);
    ~PdfDocument();
    PdfDocument(const PdfDocument &) = delete;
    PdfDocument &operator=(const PdfDocument &) = delete;

    bool open(const QString &fileName);

    // The resource number of a font (named /F<n> in content), made on its first use of that face.
    int font(const QRawFont &raw);
    PdfFont &fontAt(int number) { return *m_fonts[size_t(number)].font; }
    // The resource number of a picture (/I<n>), written on its first use; the same pixels (or JPEG
    // bytes) give the same picture. The picture's JPEG file, when given, goes into the file as it is.
    int image(const QImage &image, const QByteArray &jpeg = QByteArray());
    // The resource number of a hatch pattern (/P<n>): brush style 2…7 in a 0x00BBGGRR colour,
    // lines `spacing` device pixels apart, for pages drawn at `pixelToPoint` points per pixel.
    int hatch(int style, int color, double spacing, double lineWidth, double pixelToPoint, double pageHeight);

    // Writes the next page: `size` in points, content in the page's own coordinates.
    void addPage(QSizeF size, const QByteArray &content, const PdfPageResources &resources,
                 const std::vector<PdfLink> &links);
    int pagesWritten() const { return m_pagesWritten; }

    // Writes the fonts, bookmarks, information and closing tables; false with the reason when the
    // file could not be written completely or has no page.
    bool finish(const PdfInfo &info, const std::vector<PdfOutlineEntry> &outline, QString *error);

private:
    struct Font {
        QByteArray key;
        int object = 0;
        std::unique_ptr<PdfFont> font;
    };
    struct PendingLink {
        int object = 0;
        int page = 0;
        PdfLink link;
    };
    int writeOutline(const std::vector<PdfOutlineEntry> &entries, int parent, int &count);
    QByteArray destination(int page, double top) const;
    void writeLink(const PendingLink &pending);

    PdfWriter m_writer;
    int m_catalog = 0, m_pagesRoot = 0;
    std::vector<int> m_pageObjects;
    std::vector<double> m_pageHeights;
    std::vector<double> m_pageUnits; // points per unit of each page's own space
    int m_pagesWritten = 0;
    std::vector<Font> m_fonts;
    std::vector<PendingLink> m_links; // written at the end, when every page's height is known
    std::vector<int> m_images; // objects by resource number
    QHash<QByteArray, int> m_imagesByDigest;
    std::vector<int> m_patterns;
    QHash<QByteArray, int> m_patternsByKey;
};

} // namespace platform
