// A canvas whose pages become the pages of a PDF file: the same paint path as preview and printer,
// with text as runs of the glyphs and positions the canvas's own layout chose (nothing is shaped
// again), shapes as paths, hatches as patterns and pictures as images. Coordinates are device
// pixels at the canvas's resolution, as on every canvas.
#pragma once

#include "platform/canvas.h"
#include "platform/pdfdocument.h"

#include <QHash>

#include <array>

namespace platform {

class PdfCanvas : public Canvas {
public:
    // Draws into `document` (not owned) at `dpi` device pixels per inch.
    PdfCanvas(PdfDocument &document, int dpi);

    // Starts a page of `size` points; the whole page is the visible area until clipped.
    void beginPage(QSizeF size);
    // Makes `area` (device pixels) a link to an address, or to a height in pixels on another page.
    void addLink(const QRect &area, const QString &url);
    void addLink(const QRect &area, int page, int top);
    // The JPEG file `image` was decoded from, for the page being drawn: it goes into the file as it is.
    void keepJpeg(const QImage &image, const QByteArray &jpeg) { m_jpegs.insert(image.cacheKey(), jpeg); }
    // Hands the finished page to the document.
    void endPage();

    bool isVectorTarget() const override { return true; }
    void textOut(int x, int y, QStringView text, const int *advances = nullptr, unsigned options = 0,
                 const QRect &clip = QRect()) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void polygon(const QPolygon &points) override;
    void fillRect(int left, int top, int right, int bottom) override;
    void drawImage(const QRect &target, const QImage &image, bool smooth = true) override;

    void setClipRect(const QRect &rect) override;
    void setClipRegion(const QRegion &region) override;
    void intersectClipRect(const QRect &rect) override;
    void clearClip() override;
    bool hasClip() const override { return m_hasClip; }
    QRect clipBounds() const override { return m_hasClip ? m_clip.boundingRect() : QRect(); }
    void saveClip() override;
    void restoreClip() override;

private:
    struct Fallback {
        QRawFont raw;
        quint32 glyph = 0;
        int number = 0; // its PDF font
    };
    void changeClip(bool has, const QRegion &region);
    void flushClip();
    void forgetState();
    void fillColor(int color);
    void strokeColor(int color);
    void applyPenState();
    // Sets the fill for the brush; false for a clear brush.
    bool applyBrushFill();
    void append(double value);
    void appendPath(const QPainterPath &path);
    void paintPath(const QPainterPath &path, bool evenOdd);
    int fontNumber(const FontEntry &font);
    const Fallback &fallback(const FontEntry &font, QStringView typed);
    // One glyph of font `number` placed by `matrix` (glyph space to device pixels).
    void showGlyph(int number, const QRawFont &raw, const QTransform &matrix, quint32 glyph, QStringView typed,
                   bool bold);
    void drawGlyphShape(const QRawFont &raw, quint32 glyph, QStringView typed, const QTransform &pixelMatrix,
                        bool bold);
    void beginText();
    void endText();
    void selectTextFont(int number);
    void appendTextMatrix(const QTransform &matrix);
    void appendGlyphCode(quint32 code);

    PdfDocument &m_document;
    double m_pixelToPoint;
    QSizeF m_pageSize;
    QByteArray m_content;
    PdfPageResources m_resources;
    std::vector<PdfLink> m_links;

    bool m_hasClip = false;
    QRegion m_clip;
    bool m_clipDirty = false;
    bool m_clipOpen = false;
    std::vector<std::pair<bool, QRegion>> m_saved;

    int m_fill = -1, m_stroke = -1;
    bool m_inText = false;
    int m_textFont = -1; // the font of the open text object
    std::array<double, 4> m_textLinear = {qQNaN(), qQNaN(), qQNaN(), qQNaN()}; // none written yet
    QByteArray m_textLinearText; // m_textLinear as written, with a blank after each number
    QByteArray m_lineState;
    QHash<qint64, QByteArray> m_jpegs;
    QHash<const FontEntry *, int> m_fonts;
    QRawFont m_readBack; // the face of invisible text over glyphs drawn as shapes
    int m_readBackFont = -1;
    QHash<QPair<const FontEntry *, QString>, Fallback> m_fallbacks;
};

} // namespace platform
