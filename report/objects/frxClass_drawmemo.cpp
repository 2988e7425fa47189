// Painting and measuring of text objects through the text layout service: the text rectangle inside
// frame and gaps, page count and copy name markers, automatic width, underlines, height and width
// of the content, and printing a long text in parts across pages.
#include "report/objects/frxClass.h"
#include "report/objects/frxClass_draw_p.h"
#include "report/base/frxVariables.h"

#include <mutex>

namespace frx {

using paint::roundInt;

namespace {

// Restores the object's fill colour when a highlight replaced it for one paint or measurement.
class ColorKeeper {
public:
    explicit ColorKeeper(int &color) : m_color(color), m_saved(color) {}
    ~ColorKeeper() { m_color = m_saved; }
    ColorKeeper(const ColorKeeper &) = delete;
    ColorKeeper &operator=(const ColorKeeper &) = delete;

private:
    int &m_color;
    int m_saved;
};

// Replaces the first occurrence of `marker` (case ignored) in `text`.
void replaceFirst(QString &text, QStringView marker, const QString &value)
{
    const qsizetype at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at >= 0) text.replace(at, marker.size(), value);
}

constexpr TfrxRect unboundedRect{0, 0, 10000, 10000};

} // namespace

TfrxDrawText &TfrxCustomMemoView::DrawText() const
{
    // Every sequence runs under the process-wide lock and starts from ApplyFont, so the shared
    // service serves reports and free objects alike.
    return frxDrawText();
}

void TfrxCustomMemoView::ApplyLayout(TfrxDrawText &drawText)
{
    if (m_highlight.Active) {
        drawText.ApplyFont(m_highlight.Font);
        Color = m_highlight.Color;
    } else {
        drawText.ApplyFont(Font());
    }
    drawText.ApplyOptions(WordWrap, AllowHTMLTags, m_rotation, Wysiwyg, Clipped, WordBreak, RTLReading);
    drawText.SetUseDefaulCharset(UseDefaulCharset);
    drawText.ApplySpacing(LineSpacing, CharSpacing, ParagraphGap);
}

Extended TfrxCustomMemoView::HorizontalInsets() const
{
    const TfrxFrame &frame = Frame();
    const Extended width = frame.Width();
    Extended insets = 2 * GapX;
    if (frame.Typ & ftLeft) insets += (width - 1) / 2;
    if (frame.Typ & ftRight) insets += width / 2;
    if (frame.DropShadow) insets += frame.ShadowWidth;
    return insets;
}

Extended TfrxCustomMemoView::VerticalInsets() const
{
    const TfrxFrame &frame = Frame();
    const Extended width = frame.Width();
    Extended insets = 2 * GapY;
    if (frame.Typ & ftTop) insets += (width - 1) / 2;
    if (frame.Typ & ftBottom) insets += width / 2;
    if (frame.DropShadow) insets += frame.ShadowWidth;
    return insets;
}

template <class Rect> Rect TfrxCustomMemoView::textRectOf(const PaintGeometry &g) const
{
    const TfrxFrame &frame = Frame();
    const Extended width = frame.Width();
    Rect r;
    r.Left = g.X + roundInt(GapX * g.ScaleX);
    r.Top = g.Y + roundInt(GapY * g.ScaleY);
    r.Right = g.X1 - roundInt(GapX * g.ScaleX) + 1;
    r.Bottom = g.Y1 - roundInt(GapY * g.ScaleY) + 1;
    if (frame.Typ & ftLeft) r.Left += roundInt((g.ScaleX * width - 1) / 2);
    if (frame.Typ & ftTop) r.Top += roundInt((g.ScaleY * width - 1) / 2);
    if (frame.Typ & ftRight) r.Right -= roundInt(g.ScaleX * width / 2);
    if (frame.Typ & ftBottom) r.Bottom -= roundInt(g.ScaleY * width / 2);
    return r;
}

TfrxRect TfrxCustomMemoView::TextRect() const
{
    return textRectOf<TfrxRect>(GeometryAt(1, 1, 0, 0));
}

TfrxDeviceRect TfrxCustomMemoView::DeviceTextRect() const
{
    return textRectOf<TfrxDeviceRect>(m_paint);
}

TfrxWideStrings TfrxCustomMemoView::PaintedText() const
{
    TfrxWideStrings lines = m_memo;
    if (IsDesigning || !AllowExpressions) return lines;
    QString text = lines.Text();
    const bool hasTotal = text.contains(u"[TOTALPAGES#]", Qt::CaseInsensitive);
    const bool hasCopy = text.contains(u"[COPYNAME#]", Qt::CaseInsensitive);
    if (!hasTotal && !hasCopy) return lines;
    if (hasTotal) replaceFirst(text, u"[TOTALPAGES#]", QString::number(TotalPages));
    if (hasCopy) {
        const TfrxVariables &globals = frxGlobalVariables();
        const QString name = QStringLiteral("CopyName") + QString::number(CopyNo);
        const QString value = globals.IndexOf(name) >= 0 ? globals.Value(name).toString() : QString();
        replaceFirst(text, u"[COPYNAME#]", value);
    }
    lines.setText(text);
    return lines;
}

void TfrxCustomMemoView::ApplyAutoWidth(TfrxDrawText &drawText, const TfrxWideStrings &lines)
{
    drawText.ApplyBounds(unboundedRect);
    drawText.LoadText(lines);
    const Extended oldWidth = Width();
    const Extended newWidth = drawText.BlockWidth() + HorizontalInsets();
    SetWidth(newWidth);
    if (HAlign == haRight)
        SetLeft(Left() + oldWidth - newWidth);
    else if (HAlign == haCenter)
        SetLeft(Left() + (oldWidth - newWidth) / 2);
    if (auto *band = dynamic_cast<TfrxBand *>(Parent())) band->AlignChildren();
}

void TfrxCustomMemoView::PaintUnderlines(TfrxDrawText &drawText)
{
    platform::Canvas &canvas = *m_paint.Canvas;
    const PaintGeometry &g = m_paint;
    platform::Pen pen;
    pen.width = std::max(g.FrameWidth, 1);
    pen.color = Frame().Color();
    canvas.setPen(pen);
    const Extended step = drawText.RowHeight() * g.ScaleY;
    if (step <= 0) return;
    for (Extended y = (GapY - LineSpacing + 1) * g.ScaleY + step + g.Y; y < g.Y1; y += step) {
        const int row = roundInt(y);
        canvas.drawLine(g.X, row, g.X1, row);
    }
}

void TfrxCustomMemoView::Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                              Extended OffsetY)
{
    TfrxDrawText &drawText = DrawText();
    const TfrxWideStrings lines = PaintedText();
    ColorKeeper keeper(Color);
    std::lock_guard guard(TfrxDrawText::Lock());
    ApplyLayout(drawText);
    if (!IsDesigning && AutoWidth) ApplyAutoWidth(drawText, lines);

    PrepareDrawing(canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    const TfrxDeviceRect textRect = DeviceTextRect();
    const TfrxRect unscaledRect = TextRect();
    drawText.ApplyBounds(unscaledRect, textRect, IsPrinting ? PrintScale : 1, ScaleX, ScaleY);
    drawText.LoadText(lines);
    drawText.MarkParagraphEdges(FirstParaBreak, LastParaBreak);

    PaintBackground();
    PaintFrame();
    if (Underlines && m_rotation == 0) PaintUnderlines(drawText);
    drawText.Render(canvas, HAlign, VAlign);
}

Extended TfrxCustomMemoView::CalcHeight()
{
    TfrxDrawText &drawText = DrawText();
    ColorKeeper keeper(Color);
    std::lock_guard guard(TfrxDrawText::Lock());
    ApplyLayout(drawText);
    const TfrxRect rect = AutoWidth ? unboundedRect : TextRect();
    drawText.ApplyBounds(rect);
    drawText.LoadText(m_memo);
    return Extended(roundHalfEven(drawText.BlockHeight() + VerticalInsets()));
}

Extended TfrxCustomMemoView::CalcWidth()
{
    TfrxDrawText &drawText = DrawText();
    ColorKeeper keeper(Color);
    std::lock_guard guard(TfrxDrawText::Lock());
    ApplyLayout(drawText);
    drawText.ApplyBounds(unboundedRect);
    drawText.LoadText(m_memo);
    return Extended(roundHalfEven(drawText.BlockWidth() + HorizontalInsets()));
}

bool TfrxCustomMemoView::TextOverflows()
{
    TfrxDrawText &drawText = DrawText();
    const TfrxWideStrings lines = PaintedText();
    ColorKeeper keeper(Color);
    std::lock_guard guard(TfrxDrawText::Lock());
    ApplyLayout(drawText);
    const TfrxRect rect = TextRect();
    drawText.ApplyBounds(rect);
    drawText.LoadText(lines);
    // Lines of a quarter-turned text run along the rectangle's height.
    const int turned = ((m_rotation % 180) + 180) % 180;
    const bool alongHeight = turned >= 45 && turned < 135;
    const Extended along = alongHeight ? rect.Height() : rect.Width();
    const Extended across = alongHeight ? rect.Width() : rect.Height();
    // Half a unit of slack: the rectangle is whole units, the layout is not.
    return drawText.BlockWidth() > along + 0.5L || drawText.BlockHeight() > across + 0.5L;
}

void TfrxCustomMemoView::InitPart()
{
    m_partText = m_memo.Text();
    FirstParaBreak = false;
    LastParaBreak = false;
}

Extended TfrxCustomMemoView::DrawPart()
{
    TfrxDrawText &drawText = DrawText();
    ColorKeeper keeper(Color);
    std::lock_guard guard(TfrxDrawText::Lock());
    m_memo.setText(m_partText);
    ApplyLayout(drawText);
    if (!IsDesigning && AutoWidth) ApplyAutoWidth(drawText, m_memo);
    const TfrxRect rect = TextRect();
    drawText.ApplyBounds(rect);
    drawText.LoadText(m_memo);
    drawText.MarkParagraphEdges(FirstParaBreak, LastParaBreak);
    m_partText = drawText.SplitAtBottom();
    m_memo.setText(drawText.FittedText());
    LastParaBreak = drawText.LastParaBreak();
    const Extended spare = drawText.SpareHeight();
    return spare == 0 ? Height() : spare;
}

} // namespace frx
