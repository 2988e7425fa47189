// The drawing surface of the report engine: fonts with escapement, text extents, text output with
// per-character advances, pens, brushes, shapes, images and clipping over a QPainter, for QImage,
// QPrinter and widget targets alike (PdfCanvas draws the same calls into a PDF file). Coordinates
// are device pixels; colours are 0x00BBGGRR.
#pragma once

#include "platform/font.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QStringView>

#include <memory>
#include <vector>

class QPaintDevice;

namespace platform {

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, UserPattern };
enum class PenCap { Square, Flat, Round };

// A pen. A cosmetic pen is one pixel wide whatever its width says, with the platform's dash
// rhythm; a geometric pen is `width` pixels wide with the given end caps, and for UserPattern
// strokes `dashPattern` (alternating on and off lengths in pixels; 0 with round caps is a dot).
struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    int color = 0;
    bool geometric = false;
    PenCap cap = PenCap::Square;
    std::vector<int> dashPattern;
};

// Brush styles in the order report templates number them (hatch kind = style - 2).
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    int color = 0xFFFFFF;
};

// Metrics of the selected font in device pixels: cell height = ascent + descent; the internal
// leading is the part of the cell above the character height.
struct TextMetrics {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
};

// toCodePageText: the text is what came back from the font's code page (drawn alike; recorded as such).
enum TextOutOption : unsigned { toClipped = 1, toRtlReading = 2, toCodePageText = 4 };

// One glyph of a line as the canvas draws it in the selected font: the font's glyph (0: the font
// lacks the character and a fallback font draws it), whether it stands upright against the baseline
// (the characters of a vertical "@" face that a column sets upright, among them the vertical
// alternates and presentation forms that replace the typed punctuation), its advance along the
// line in pixels, and the typed characters it stands for (UTF-16 positions in the line), which
// output formats keep as the glyph's text.
struct PlacedGlyph {
    quint32 glyph = 0;
    bool upright = false;
    bool substituted = false;
    int advance = 0;
    qsizetype typedStart = 0;
    qsizetype typedLength = 0;
};

// Converts a 0x00BBGGRR colour to Qt.
QColor colorFromBgr(int color);

class FontEntry;

class Canvas {
public:
    // Paints on `device` (not owned) with a painter of its own, begun here and ended by the
    // destructor; the resolution is the device's logical resolution.
    explicit Canvas(QPaintDevice *device);
    // The same at a resolution of the caller's choosing.
    Canvas(QPaintDevice *device, int dpiX, int dpiY);
    // Paints through `painter` (not owned, already active), e.g. in a widget's paint event, at the
    // given resolution in dots per inch.
    Canvas(QPainter *painter, int dpiX, int dpiY);
    // A measuring canvas at the given resolution over a private one-pixel bitmap.
    Canvas(int dpiX, int dpiY);
    virtual ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    // Device resolution in dots per inch.
    int dpiX() const { return m_dpiX; }
    int dpiY() const { return m_dpiY; }

    // A printer canvas sizes each font it selects by its point size at the vertical device
    // resolution instead of by its stored height.
    void setPrinterCanvas(bool printer) { m_printerCanvas = printer; }
    bool isPrinterCanvas() const { return m_printerCanvas; }
    // A target that keeps shapes as shapes at any resolution (PDF): wide dashed lines are better
    // stroked once with their width than built from rows of device pixels.
    virtual bool isVectorTarget() const { return false; }

    // Selects a font: the height is in device pixels (negative: character height, positive: cell
    // height), `escapementTenths` turns the baseline counter-clockwise in tenths of a degree.
    void setFont(const FontValue &font, int escapementTenths = 0);
    const FontValue &font() const { return m_font; }
    int escapement() const { return m_escapement; }
    // Changes only the style bits of the selected font (measuring with tag styles).
    void setFontStyle(unsigned style);
    TextMetrics textMetrics() const;

    // Fills extents[i] with the width in pixels of the first i + 1 characters of `text` (UTF-16
    // units; the low half of a surrogate pair adds nothing). `extents` holds text.size() entries.
    void textExtents(QStringView text, int *extents) const;
    // Width in pixels of `text` in the selected font.
    int textWidth(QStringView text) const;
    // The glyphs that textOut draws for `text` in the selected font, one per character, in order.
    std::vector<PlacedGlyph> glyphs(QStringView text) const;

    // Draws `text` with its character cell's top left at (x, y) in the baseline's own frame,
    // turned by the font's escapement. `advances` (text.size() entries, may be null for natural
    // advances) gives the pen movement after each UTF-16 unit. With toClipped the output is clipped
    // to `clip`. Text is drawn in the font colour on a transparent background.
    virtual void textOut(int x, int y, QStringView text, const int *advances = nullptr, unsigned options = 0,
                         const QRect &clip = QRect());
    // The device rectangle that textOut would cover for the same arguments.
    QRect textBounds(int x, int y, QStringView text, const int *advances = nullptr) const;

    void setPen(const Pen &pen);
    const Pen &pen() const { return m_pen; }
    void setBrush(const Brush &brush);
    const Brush &brush() const { return m_brush; }

    // Drawing and clipping are virtual so that other output formats (PDF) take the same paint path.
    // Lines run from the first point up to, not including, the last.
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    virtual void drawLine(int x1, int y1, int x2, int y2);
    void polyline(const QPolygon &points);
    // Shapes cover left … right - 1, top … bottom - 1: outlined with the pen, filled with the brush.
    virtual void rectangle(int left, int top, int right, int bottom);
    virtual void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    virtual void ellipse(int left, int top, int right, int bottom);
    virtual void polygon(const QPolygon &points);
    // Fills left … right - 1, top … bottom - 1 with the brush, no outline.
    virtual void fillRect(int left, int top, int right, int bottom);
    // Draws `image` stretched to `target`; `smooth` filters when scaling.
    virtual void drawImage(const QRect &target, const QImage &image, bool smooth = true);

    // Clipping in device pixels: replace, intersect, remove; saveClip/restoreClip nest.
    virtual void setClipRect(const QRect &rect);
    virtual void setClipRegion(const QRegion &region);
    virtual void intersectClipRect(const QRect &rect);
    virtual void clearClip();
    virtual bool hasClip() const;
    virtual QRect clipBounds() const;
    virtual void saveClip();
    virtual void restoreClip();

    // The painter used, for callers that need Qt directly (preview widgets); owned by the canvas
    // or by whoever passed it in.
    QPainter *painter() const { return m_painter; }
    // Ends a painter the canvas began itself, so that the device can be saved or replayed.
    void end();

protected:
    const FontEntry &entry() const;
    void drawTextRun(int x, int y, QStringView text, const int *advances, unsigned options,
                     const QRect &clip);

private:
    void init();
    void applyPen();
    void applyBrush();
    int advanceOf(const FontEntry &entry, QStringView text, qsizetype index) const;

    std::unique_ptr<QImage> m_ownImage;
    std::unique_ptr<QPainter> m_ownPainter;
    QPainter *m_painter = nullptr;
    int m_dpiX = 96;
    int m_dpiY = 96;
    bool m_printerCanvas = false;
    FontValue m_font;
    int m_escapement = 0;
    const FontEntry *m_entry = nullptr;
    Pen m_pen;
    Brush m_brush;
    QPoint m_penPosition;
    std::vector<QRegion> m_savedClips;
    std::vector<bool> m_savedHasClip;
};

} // namespace platform
