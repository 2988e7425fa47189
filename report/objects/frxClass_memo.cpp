#include "report/objects/frxClass_p.h"

namespace frx {

TfrxCustomMemoView::TfrxCustomMemoView(TfrxComponent *owner) : TfrxStretcheable(owner)
{
    ComponentStyle &= ~csFullStateCopy;
}

void TfrxCustomMemoView::SetMemo(const TfrxWideStrings &memo)
{
    m_memo.Clear();
    for (const QString &line : memo.lines())
        m_memo.Add(line);
}

QString TfrxCustomMemoView::AnsiText() const
{
    return platform::throughCodePage(platform::codePageOfCharset(Font().charset), m_memo.Text());
}

void TfrxCustomMemoView::SetAnsiText(const QString &text)
{
    m_memo.setText(platform::throughCodePage(platform::codePageOfCharset(Font().charset), text));
}

void TfrxCustomMemoView::SetStyle(const QString &style)
{
    m_style = style;
    TfrxReport *report = OwnerReport();
    if (!report) return;
    if (const TfrxStyleItem *item = report->Styles.Find(style)) {
        Color = item->Color;
        SetFont(item->Font);
        SetFrame(item->Frame);
    }
}

void TfrxCustomMemoView::SetFlowTo(TfrxCustomMemoView *target)
{
    m_flowTo = target;
    if (target) target->FreeNotification(this);
}

void TfrxCustomMemoView::Notification(TfrxComponent *removed)
{
    TfrxStretcheable::Notification(removed);
    if (removed == m_flowTo) m_flowTo = nullptr;
}

const ClassInfo &TfrxCustomMemoView::staticClassInfo()
{
    using C = TfrxCustomMemoView;
    return buildClass<C>(u"TfrxCustomMemoView", &TfrxStretcheable::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) {
                             b.boolean(u"FirstParaBreak", &C::FirstParaBreak).def(false);
                             b.boolean(u"LastParaBreak", &C::LastParaBreak).def(false);
                         });
}

namespace {

// Registers one property of the text object by name; the memo classes publish different selections.
template <class C> void publishMemoProperty(ClassBuilder<C> &b, QStringView name)
{
    if constexpr (std::is_same_v<C, TfrxDMPMemoView>) {
        if (name == u"TruncOutboundText") {
            b.boolean(u"TruncOutboundText", &C::TruncOutboundText).def(true);
            return;
        }
        if (name == u"FontStyle") {
            b.set(u"FontStyle", enums::TfrxDMPFontStyles(), &C::FontStyle).def(0u);
            return;
        }
    }
    if (name == u"Cursor")
        b.integer(u"Cursor", &C::Cursor).def(0);
    else if (name == u"TagStr")
        b.string(u"TagStr", &C::TagStr);
    else if (name == u"URL")
        b.string(u"URL", &C::URL);
    else if (name == u"AutoWidth")
        b.boolean(u"AutoWidth", &C::AutoWidth).def(false);
    else if (name == u"AllowExpressions")
        b.boolean(u"AllowExpressions", &C::AllowExpressions).def(true);
    else if (name == u"AllowHTMLTags")
        b.boolean(u"AllowHTMLTags", &C::AllowHTMLTags).def(false);
    else if (name == u"BrushStyle")
        b.enumeration(u"BrushStyle", enums::TBrushStyle(), &C::BrushStyle).def(bsSolid);
    else if (name == u"CharSpacing")
        b.floating(u"CharSpacing", &C::CharSpacing).stored([](const C &c) { return c.CharSpacing != 0; });
    else if (name == u"Clipped")
        b.boolean(u"Clipped", &C::Clipped).def(true);
    else if (name == u"Color")
        b.integer(u"Color", &C::Color).def(clTransparent);
    else if (name == u"DataField")
        b.string(u"DataField", &C::DataField);
    else if (name == u"DataSet")
        publishDataSet(b);
    else if (name == u"DisplayFormat")
        b.object(u"DisplayFormat", TfrxFormat::staticClassInfo(), [](C &c) { return &c.DisplayFormat(); });
    else if (name == u"ExpressionDelimiters")
        b.string(u"ExpressionDelimiters", &C::ExpressionDelimiters).stored([](const C &c) {
            return c.ExpressionDelimiters != u"[,]";
        });
    else if (name == u"FlowTo")
        b.component(u"FlowTo", u"TfrxCustomMemoView", &C::FlowTo, &C::SetFlowTo);
    else if (name == u"Font")
        publishFont(b);
    else if (name == u"Frame")
        publishFrame(b);
    else if (name == u"GapX")
        b.floating(u"GapX", &C::GapX).stored([](const C &c) { return c.GapX != 2; });
    else if (name == u"GapY")
        b.floating(u"GapY", &C::GapY).stored([](const C &c) { return c.GapY != 1; });
    else if (name == u"HAlign")
        b.enumeration(u"HAlign", enums::TfrxHAlign(), &C::HAlign).def(haLeft);
    else if (name == u"HideZeros")
        b.boolean(u"HideZeros", &C::HideZeros).def(false);
    else if (name == u"Highlight")
        b.object(u"Highlight", TfrxHighlight::staticClassInfo(), [](C &c) {
             return &c.Highlight();
         }).stored([](const C &c) { return !c.Highlight().Condition.trimmed().isEmpty(); });
    else if (name == u"LineSpacing")
        b.floating(u"LineSpacing", &C::LineSpacing).stored([](const C &c) { return c.LineSpacing != 2; });
    else if (name == u"Memo")
        b.textStore(
            u"Memo", [](const C &c) { return c.Memo().lines(); },
            [](C &c, const QStringList &lines) {
                c.Lines().Clear();
                for (const QString &line : lines)
                    c.Lines().Add(line);
            });
    else if (name == u"ParagraphGap")
        b.floating(u"ParagraphGap", &C::ParagraphGap).stored([](const C &c) { return c.ParagraphGap != 0; });
    else if (name == u"ParentFont")
        publishParentFont(b);
    else if (name == u"Rotation")
        b.integer(u"Rotation", &C::Rotation, &C::SetRotation).def(0);
    else if (name == u"RTLReading")
        b.boolean(u"RTLReading", &C::RTLReading).def(false);
    else if (name == u"Style")
        b.string(u"Style", &C::Style, &C::SetStyle);
    else if (name == u"SuppressRepeated")
        b.boolean(u"SuppressRepeated", &C::SuppressRepeated).def(false);
    else if (name == u"Underlines")
        b.boolean(u"Underlines", &C::Underlines).def(false);
    else if (name == u"UseDefaulCharset")
        b.boolean(u"UseDefaulCharset", &C::UseDefaulCharset).def(false);
    else if (name == u"WordBreak")
        b.boolean(u"WordBreak", &C::WordBreak).def(false);
    else if (name == u"WordWrap")
        b.boolean(u"WordWrap", &C::WordWrap).def(true);
    else if (name == u"Wysiwyg")
        b.boolean(u"Wysiwyg", &C::Wysiwyg).def(true);
    else if (name == u"VAlign")
        b.enumeration(u"VAlign", enums::TfrxVAlign(), &C::VAlign).def(vaTop);
    else
        Q_ASSERT_X(false, "publishMemoProperty", "unknown property");
}

template <class C>
void publishMemoProperties(ClassBuilder<C> &b, std::initializer_list<const char16_t *> names)
{
    for (const char16_t *name : names)
        publishMemoProperty(b, QStringView(name));
}

} // namespace

const ClassInfo &TfrxMemoView::staticClassInfo()
{
    using C = TfrxMemoView;
    return buildClass<C>(u"TfrxMemoView", &TfrxCustomMemoView::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) {
                             publishMemoProperties(b, {u"Cursor",
                                                       u"TagStr",
                                                       u"URL",
                                                       u"AutoWidth",
                                                       u"AllowExpressions",
                                                       u"AllowHTMLTags",
                                                       u"BrushStyle",
                                                       u"CharSpacing",
                                                       u"Clipped",
                                                       u"Color",
                                                       u"DataField",
                                                       u"DataSet",
                                                       u"DisplayFormat",
                                                       u"ExpressionDelimiters",
                                                       u"FlowTo",
                                                       u"Font",
                                                       u"Frame",
                                                       u"GapX",
                                                       u"GapY",
                                                       u"HAlign",
                                                       u"HideZeros",
                                                       u"Highlight",
                                                       u"LineSpacing",
                                                       u"Memo",
                                                       u"ParagraphGap",
                                                       u"ParentFont",
                                                       u"Rotation",
                                                       u"RTLReading",
                                                       u"Style",
                                                       u"SuppressRepeated",
                                                       u"Underlines",
                                                       u"UseDefaulCharset",
                                                       u"WordBreak",
                                                       u"WordWrap",
                                                       u"Wysiwyg",
                                                       u"VAlign"});
                         });
}

const ClassInfo &TfrxSysMemoView::staticClassInfo()
{
    using C = TfrxSysMemoView;
    return buildClass<C>(u"TfrxSysMemoView", &TfrxCustomMemoView::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) {
                             publishMemoProperties(b, {u"AutoWidth",  u"BrushStyle",    u"CharSpacing",
                                                       u"Color",      u"DisplayFormat", u"Font",
                                                       u"Frame",      u"GapX",          u"GapY",
                                                       u"HAlign",     u"HideZeros",     u"Highlight",
                                                       u"Memo",       u"ParentFont",    u"Rotation",
                                                       u"RTLReading", u"Style",         u"SuppressRepeated",
                                                       u"VAlign",     u"WordWrap"});
                         });
}

const ClassInfo &TfrxDMPMemoView::staticClassInfo()
{
    using C = TfrxDMPMemoView;
    return buildClass<C>(
        u"TfrxDMPMemoView", &TfrxCustomMemoView::staticClassInfo(), true, [](ClassBuilder<C> &b) {
            publishMemoProperties(b, {u"AutoWidth", u"DataField", u"DataSet", u"DisplayFormat",
                                      u"ExpressionDelimiters", u"FlowTo", u"FontStyle", u"Frame", u"HAlign",
                                      u"HideZeros", u"Memo", u"SuppressRepeated", u"TruncOutboundText",
                                      u"VAlign", u"WordWrap"});
        });
}

} // namespace frx
