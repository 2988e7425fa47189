#include "report/objects/frxClass_p.h"

#include <cmath>
#include <memory>

namespace frx {

namespace {

// Appends one pair ` name="value"`; the value is already in its final (escaped) form.
void pair(QString &text, QStringView name, const QString &value)
{
    text += QLatin1Char(' ');
    text += name;
    text += u"=\"";
    text += value;
    text += QLatin1Char('"');
}

void pairFloat(QString &text, QStringView name, Extended value, Extended source)
{
    if (std::fabs(value - source) > 0.0001L) pair(text, name, floatToText(value));
}

void pairInt(QString &text, QStringView name, qint64 value, qint64 source)
{
    if (value != source) pair(text, name, QString::number(value));
}

void pairBool(QString &text, QStringView name, bool value, bool source)
{
    if (value != source) pair(text, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void pairString(QString &text, QStringView name, const QString &value, const QString &source)
{
    if (value != source) pair(text, name, xmlEscape(value));
}

void appendFrameDifferences(QString &text, const TfrxFrame &frame, const TfrxFrame &source)
{
    pairInt(text, u"Frame.Color", frame.Color(), source.Color());
    pairBool(text, u"Frame.DropShadow", frame.DropShadow, source.DropShadow);
    pairInt(text, u"Frame.ShadowColor", frame.ShadowColor, source.ShadowColor);
    pairFloat(text, u"Frame.ShadowWidth", frame.ShadowWidth, source.ShadowWidth);
    pairInt(text, u"Frame.Style", frame.Style(), source.Style());
    pairInt(text, u"Frame.Typ", frame.Typ, source.Typ);
    pairFloat(text, u"Frame.Width", frame.Width(), source.Width());

    const bool colorChanged = frame.Color() != source.Color();
    const bool styleChanged = frame.Style() != source.Style();
    const bool widthChanged = std::fabs(frame.Width() - source.Width()) > 0.0001L;
    // Whole names, not prefix + suffix: every placed object of every page passes here.
    const struct {
        const char16_t *color, *style, *width;
        const TfrxFrameLine &line, &sourceLine;
    } lines[] = {
        {u"Frame.LeftLine.Color", u"Frame.LeftLine.Style", u"Frame.LeftLine.Width", frame.LeftLine,
         source.LeftLine},
        {u"Frame.TopLine.Color", u"Frame.TopLine.Style", u"Frame.TopLine.Width", frame.TopLine, source.TopLine},
        {u"Frame.RightLine.Color", u"Frame.RightLine.Style", u"Frame.RightLine.Width", frame.RightLine,
         source.RightLine},
        {u"Frame.BottomLine.Color", u"Frame.BottomLine.Style", u"Frame.BottomLine.Width", frame.BottomLine,
         source.BottomLine}};
    for (const auto &l : lines) {
        // A line is compared with the frame's own value where that changed, else with the source line.
        pairInt(text, l.color, l.line.Color, colorChanged ? frame.Color() : l.sourceLine.Color);
        pairInt(text, l.style, l.line.Style, styleChanged ? frame.Style() : l.sourceLine.Style);
        pairFloat(text, l.width, l.line.Width, widthChanged ? frame.Width() : l.sourceLine.Width);
    }
}

} // namespace

QString TfrxComponent::BaseDifferenceText(TfrxComponent *source) const
{
    QString text;
    pairFloat(text, u"l", m_left, source->m_left);
    if (dynamic_cast<const TfrxBand *>(this))
        pair(text, u"t", floatToText(m_top));
    else
        pairFloat(text, u"t", m_top, source->m_top);
    const auto *memo = dynamic_cast<const TfrxCustomMemoView *>(this);
    if (!(memo && memo->AutoWidth)) pairFloat(text, u"w", m_width, source->m_width);
    pairFloat(text, u"h", m_height, source->m_height);
    pairBool(text, u"Visible", m_visible, source->m_visible);
    if (!m_parentFont) {
        const FontValue &font = m_font, &sourceFont = source->m_font;
        pairString(text, u"Font.Name", font.name, sourceFont.name);
        pairInt(text, u"Font.Size", font.size(), sourceFont.size());
        pairInt(text, u"Font.Color", font.color, sourceFont.color);
        pairInt(text, u"Font.Style", font.style, sourceFont.style);
        pairInt(text, u"Font.Charset", font.charset, sourceFont.charset);
    }
    pairBool(text, u"ParentFont", m_parentFont, source->m_parentFont);
    pairInt(text, u"Tag", Tag, source->Tag);
    return text;
}

QString TfrxComponent::DifferenceText(TfrxComponent *source)
{
    std::unique_ptr<TfrxComponent> fresh;
    if (!source || source->classInfo() != classInfo()) {
        fresh.reset(classInfo()->create(nullptr));
        source = fresh.get();
    }
    QString text = BaseDifferenceText(source);
    appendDifferences(text, source);
    return text;
}

void TfrxComponent::appendDifferences(QString &, TfrxComponent *) {}

QString TfrxComponent::FullStateText(TfrxComponent *source)
{
    QString text = storedAttributes(this);
    if (source) {
        text += QLatin1Char(' ');
        text += BaseDifferenceText(source);
    }
    return text;
}

void TfrxView::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    const auto *source = static_cast<const TfrxView *>(sourceComponent);
    pairInt(text, u"BrushStyle", BrushStyle, source->BrushStyle);
    pairInt(text, u"Align", Align, source->Align);
    pairInt(text, u"Color", Color, source->Color);
    appendFrameDifferences(text, m_frame, source->m_frame);
    pairInt(text, u"Cursor", Cursor, source->Cursor);
    pairBool(text, u"Printable", Printable, source->Printable);
    pairString(text, u"TagStr", TagStr, source->TagStr);
    pairString(text, u"URL", URL, source->URL);
}

void TfrxCustomMemoView::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    TfrxView::appendDifferences(text, sourceComponent);
    const auto *source = static_cast<const TfrxCustomMemoView *>(sourceComponent);
    pairBool(text, u"AutoWidth", AutoWidth, source->AutoWidth);
    pairFloat(text, u"CharSpacing", CharSpacing, source->CharSpacing);
    pairFloat(text, u"GapX", GapX, source->GapX);
    pairFloat(text, u"GapY", GapY, source->GapY);
    pairInt(text, u"HAlign", HAlign, source->HAlign);
    pairBool(text, u"Highlight.Active", m_highlight.Active, source->m_highlight.Active);
    pairFloat(text, u"LineSpacing", LineSpacing, source->LineSpacing);
    pairBool(text, u"UseDefaulCharset", UseDefaulCharset, source->UseDefaulCharset);
    QString body;
    if (m_memo.Count() == 1) {
        body = m_memo.Strings(0);
    } else if (m_memo.Count() > 1) {
        body = m_memo.Text();
        body.chop(2);
    }
    pair(text, u"u", xmlEscape(body));
    pairFloat(text, u"ParagraphGap", ParagraphGap, source->ParagraphGap);
    pairInt(text, u"Rotation", m_rotation, source->m_rotation);
    pairBool(text, u"RTLReading", RTLReading, source->RTLReading);
    pairBool(text, u"Underlines", Underlines, source->Underlines);
    pairInt(text, u"VAlign", VAlign, source->VAlign);
    pairBool(text, u"WordWrap", WordWrap, source->WordWrap);
    if (FirstParaBreak) pair(text, u"FirstParaBreak", QStringLiteral("1"));
    if (LastParaBreak) pair(text, u"LastParaBreak", QStringLiteral("1"));
    FirstParaBreak = LastParaBreak;
    LastParaBreak = false;
}

void TfrxShapeView::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    TfrxView::appendDifferences(text, sourceComponent);
    pairInt(text, u"Shape", Shape, static_cast<const TfrxShapeView *>(sourceComponent)->Shape);
}

void TfrxPictureView::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    TfrxView::appendDifferences(text, sourceComponent);
    pair(text, u"ImageIndex", QString::number(ImageIndex));
}

void TfrxBand::appendDifferences(QString &, TfrxComponent *) {}

void TfrxGroupHeader::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    TfrxBand::appendDifferences(text, sourceComponent);
    if (DrillDown) pair(text, u"Tag", QString::number(RowNoThrough));
}

void TfrxDMPMemoView::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    TfrxCustomMemoView::appendDifferences(text, sourceComponent);
    pairInt(text, u"FontStyle", FontStyle, static_cast<const TfrxDMPMemoView *>(sourceComponent)->FontStyle);
}

void TfrxDMPLineView::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    TfrxCustomLineView::appendDifferences(text, sourceComponent);
    pairInt(text, u"FontStyle", FontStyle, static_cast<const TfrxDMPLineView *>(sourceComponent)->FontStyle);
}

void TfrxDMPCommand::appendDifferences(QString &text, TfrxComponent *sourceComponent)
{
    TfrxView::appendDifferences(text, sourceComponent);
    pairString(text, u"Command", Command, static_cast<const TfrxDMPCommand *>(sourceComponent)->Command);
}

} // namespace frx
