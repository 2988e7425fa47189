// The text layout service of the text objects: wraps text into lines measured at 600 per inch, so
// that the preview and the printout break lines at the same places, and draws the lines on any
// canvas with alignment, rotation, spacing, justification and a small set of HTML tags.
#pragma once

#include "platform/canvas.h"
#include "platform/font.h"
#include "report/text/frxUnicodeUtils.h"
#include "report/base/frxUtils.h"

#include <QString>
#include <QStringList>

#include <mutex>
#include <vector>

namespace frx {

enum TfrxHAlign { haLeft, haRight, haCenter, haBlock };
enum TfrxVAlign { vaTop, vaBottom, vaCenter };

// A rectangle by its four edges; right and bottom lie just outside it (width = Right - Left).
// The unit is part of the type, so that report units and device pixels cannot be passed for each
// other.
template <class Unit> struct TfrxRectIn {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};
struct TfrxReportUnits;
struct TfrxDevicePixels;
using TfrxRect = TfrxRectIn<TfrxReportUnits>;
using TfrxDeviceRect = TfrxRectIn<TfrxDevicePixels>;

// The attributes in force at one visible character of a wrapped line.
struct TfrxHTMLTag {
    int CharPos = 0;        // 1-based position in the source text (tags and CR LF counted)
    int FontSize = 0;       // points
    unsigned FontStyle = 0; // platform::FontStyle bits
    int FontColor = 0;      // 0x00BBGGRR
    int Lowered = 0;        // 1 for subscript
    bool NoWrap = false;
    bool SameAsPrevious = true;
    bool Reduced = false; // the size differs from the object's
};

// One tag per visible character of one line.
using TfrxHTMLTags = std::vector<TfrxHTMLTag>;

// The tag lines of a text and the parser state that produces them.
class TfrxHTMLTagsList {
public:
    // Starts a text: defaults and current attributes from the object's font, position 1, no lines.
    void Init(int defaultColor, int defaultSize, unsigned defaultStyle, bool allowTags);
    // Parses one source line: removes the recognised tags and returns the visible text (a single
    // space when nothing is visible); its tags come back in `tags`. The position then skips CR LF.
    QString ExpandHTMLTags(const QString &line, TfrxHTMLTags &tags);

    void Add(TfrxHTMLTags tags) { m_lines.push_back(std::move(tags)); }
    void Clear() { m_lines.clear(); }
    int Count() const { return int(m_lines.size()); }
    TfrxHTMLTags &Items(int index) { return m_lines[size_t(index)]; }
    const TfrxHTMLTags &Items(int index) const { return m_lines[size_t(index)]; }

    bool AllowTags() const { return m_allowTags; }
    int DefaultSize() const { return m_defaultSize; }
    int Position() const { return m_position; }

private:
    int tryTag(const QString &line, int index);
    void addCharacter(TfrxHTMLTags &tags);

    std::vector<TfrxHTMLTags> m_lines;
    int m_defaultColor = 0;
    int m_defaultSize = 10;
    unsigned m_defaultStyle = 0;
    bool m_allowTags = false;
    TfrxHTMLTag m_current;
    TfrxHTMLTag m_previous;
    bool m_hasPrevious = false;
    int m_position = 1;
};

// Looks up a colour name such as "clRed" (any case); returns false when unknown.
bool frxColorByName(const QString &name, int &color);

class TfrxDrawText {
public:
    TfrxDrawText();

    // The process-wide lock of all text layout; hold it from ApplyFont to the end of one object's
    // measure-or-draw sequence (std::lock_guard<std::recursive_mutex>).
    static std::recursive_mutex &Lock();

    // Takes the face, style, character set, colour and point size of `font` for measuring.
    void ApplyFont(const platform::FontValue &font);
    // Stores the options; the rotation is kept as Rotation mod 360 (negative angles normalised).
    void ApplyOptions(bool WordWrap, bool AllowHTMLTags, int Rotation, bool Wysiwyg, bool Clipped,
                      bool WordBreak, bool RTLReading);
    // Off: lines of a font whose character set is not the default one are drawn as they come back
    // through that set's code page.
    void SetUseDefaulCharset(bool UseDefaulCharset) { m_useDefaulCharset = UseDefaulCharset; }
    // Spacings in report units.
    void ApplySpacing(Extended LineSpacing, Extended CharSpacing, Extended ParagraphGap);
    // `textRect` in report units, `outputRect` in device pixels (also the clip), the print scale
    // (1 except while printing) and the device pixels per report unit.
    void ApplyBounds(const TfrxRect &textRect, const TfrxDeviceRect &outputRect, Extended PrintScale,
                     Extended ScaleX, Extended ScaleY);
    // For measuring and splitting: laid out at one pixel per report unit, where the output
    // rectangle is the text rectangle itself.
    void ApplyBounds(const TfrxRect &textRect);
    // Wraps the source lines into the text rectangle.
    void LoadText(const TfrxWideStrings &lines);
    void LoadText(const QStringList &lines);
    // Drops the first line's paragraph start when the text continues a paragraph, and the last
    // line's paragraph end when the paragraph goes on after it.
    void MarkParagraphEdges(bool FirstParaBreak, bool LastParaBreak);

    // Draws the wrapped lines into the output rectangle on `canvas`.
    void Render(platform::Canvas &canvas, TfrxHAlign HAlign, TfrxVAlign VAlign);
    // Height and width of the wrapped text and the height of one row, in report units.
    Extended BlockHeight() const;
    Extended BlockWidth();
    Extended RowHeight() const;
    // Keeps the lines that fit into the text rectangle's height; returns the source text that is
    // left over for the next page (with tags restoring its attributes) and remembers the kept part.
    QString SplitAtBottom();
    // The room left below the rows that fit, in report units (0 when none fits, never exactly 0
    // otherwise).
    Extended SpareHeight() const;
    // The source text kept by the last SplitAtBottom.
    QString FittedText() const { return m_fittedText; }
    // True when the last SplitAtBottom cut inside a paragraph.
    bool LastParaBreak() const { return m_lastParaBreak; }

    // The wrapped lines, their paragraph marks (1 first line, 2 last line, 3 both) and tags.
    const QStringList &WrappedLines() const { return m_lines; }
    int ParagraphMark(int index) const { return m_marks[size_t(index)]; }
    const TfrxHTMLTagsList &Tags() const { return m_tags; }
    // The source text: every source line followed by CR LF.
    const QString &SourceText() const { return m_sourceText; }
    int Rotation() const { return m_rotation; }

    static constexpr int LayoutResolution = 600;
    static constexpr int ScreenResolution = 96;

private:
    // Widths of the characters of `text` (one tag each) on `canvas` with `spacing` added, into
    // the width table; cumulative when asked. Returns the sum.
    int measure(platform::Canvas &canvas, QStringView text, const TfrxHTMLTag *tags, int spacing,
                bool cumulative);
    int *widthTable(qsizetype count);
    void wrapLine(const QString &line, TfrxHTMLTags &&tags);
    void addLine(const QString &text, TfrxHTMLTags tags, int mark);
    int measuringHeight() const;
    platform::FontValue targetFont(const platform::Canvas &canvas, const TfrxHTMLTag &tag) const;
    void drawLine(platform::Canvas &canvas, int index, int x, int y, int length, TfrxHAlign align);

    std::recursive_mutex &m_lock;
    platform::Canvas m_measuringCanvas;
    std::vector<int> m_widths;
    std::vector<int> m_advances;

    platform::FontValue m_font;
    int m_fontSize = 10;
    TfrxHTMLTagsList m_tags;
    Extended m_lineSpacing = 0;
    Extended m_charSpacing = 0;
    Extended m_paragraphGap = 0;
    TfrxRect m_textRect;
    TfrxDeviceRect m_outputRect;
    Extended m_printScale = 1;
    Extended m_scaleX = 1;
    Extended m_scaleY = 1;
    int m_rotation = 0;
    bool m_rtlReading = false;
    bool m_wordWrap = true;
    bool m_wordBreak = false;
    bool m_wysiwyg = true;
    bool m_clipped = true;
    bool m_allowTags = false;
    bool m_useDefaulCharset = false;
    unsigned m_outputOptions = 0;
    // A line after its trip through the font's code page, its tags and where each character came from.
    QString m_codePageLine;
    TfrxHTMLTags m_codePageTags;
    std::vector<int> m_codePageSources;

    QStringList m_lines;
    std::vector<int> m_marks;
    QString m_sourceText;
    QString m_fittedText;
    bool m_lastParaBreak = false;
};

// The shared layout service, created on first use, for objects that belong to no report.
TfrxDrawText &frxDrawText();

} // namespace frx
