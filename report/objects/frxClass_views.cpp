#include "report/objects/frxClass_p.h"

namespace frx {

// ---- printable objects ----

void TfrxReportComponent::BeforePrint()
{
    SavedBounds = {m_left, m_top, m_width, m_height};
}

void TfrxReportComponent::AfterPrint()
{
    SetBounds(SavedBounds.Left, SavedBounds.Top, SavedBounds.Width, SavedBounds.Height);
}

TfrxReportComponent::Rect TfrxReportComponent::GetRealBounds() const
{
    const Extended left = AbsLeft(), top = AbsTop();
    return {left, top, left + Width(), top + Height()};
}

const ClassInfo &TfrxReportComponent::staticClassInfo()
{
    return buildClass<TfrxReportComponent>(u"TfrxReportComponent", &TfrxComponent::staticClassInfo(), false,
                                           [](ClassBuilder<TfrxReportComponent> &) {});
}

TfrxDialogComponent::TfrxDialogComponent(TfrxComponent *owner) : TfrxReportComponent(owner)
{
    ComponentStyle &= ~csPreviewCopy;
}

const ClassInfo &TfrxDialogComponent::staticClassInfo()
{
    return buildClass<TfrxDialogComponent>(u"TfrxDialogComponent", &TfrxReportComponent::staticClassInfo(),
                                           false, [](ClassBuilder<TfrxDialogComponent> &) {});
}

const ClassInfo &TfrxDialogControl::staticClassInfo()
{
    using C = TfrxDialogControl;
    return buildClass<C>(u"TfrxDialogControl", &TfrxReportComponent::staticClassInfo(), false,
                         [](ClassBuilder<C> &b) {
                             publishBounds(b);
                             publishFont(b);
                             publishGroupIndex(b);
                             publishParentFont(b);
                             b.boolean(u"Enabled", &C::Enabled).def(true);
                             b.string(u"Hint", &C::Hint);
                             b.boolean(u"ShowHint", &C::ShowHint).def(false);
                             publishVisible(b);
                         });
}

// ---- views ----

TfrxView::TfrxView(TfrxComponent *owner) : TfrxReportComponent(owner)
{
    ComponentStyle = csPreviewCopy | csFullStateCopy;
}

void TfrxView::BeforePrint()
{
    TfrxReportComponent::BeforePrint();
    m_savedTagStr = TagStr;
    m_savedURL = URL;
    if (TfrxReport *report = OwnerReport()) report->SetScriptSelf(this);
}

void TfrxView::AfterPrint()
{
    TfrxReportComponent::AfterPrint();
    TagStr = m_savedTagStr;
    URL = m_savedURL;
}

void TfrxView::Notification(TfrxComponent *removed)
{
    TfrxReportComponent::Notification(removed);
    if (removed == m_dataSet.dataSet) m_dataSet.dataSet = nullptr;
}

const ClassInfo &TfrxView::staticClassInfo()
{
    using C = TfrxView;
    return buildClass<C>(u"TfrxView", &TfrxReportComponent::staticClassInfo(), false, [](ClassBuilder<C> &b) {
        b.string(u"Description", &C::Description);
        b.enumeration(u"Align", enums::TfrxAlign(), &C::Align).def(baNone);
        b.boolean(u"Printable", &C::Printable).def(true);
        b.enumeration(u"ShiftMode", enums::TfrxShiftMode(), &C::ShiftMode).def(smAlways);
        publishBounds(b);
        publishGroupIndex(b);
        publishRestrictions(b);
        publishVisible(b);
        b.string(u"OnAfterData", &C::OnAfterData);
        b.string(u"OnAfterPrint", &C::OnAfterPrint);
        b.string(u"OnBeforePrint", &C::OnBeforePrint);
        b.string(u"OnPreviewClick", &C::OnPreviewClick);
        b.string(u"OnPreviewDblClick", &C::OnPreviewDblClick);
        b.string(u"Hint", &C::Hint);
        b.boolean(u"ShowHint", &C::ShowHint).def(false);
    });
}

const ClassInfo &TfrxStretcheable::staticClassInfo()
{
    using C = TfrxStretcheable;
    return buildClass<C>(u"TfrxStretcheable", &TfrxView::staticClassInfo(), false, [](ClassBuilder<C> &b) {
        b.enumeration(u"StretchMode", enums::TfrxStretchMode(), &C::StretchMode).def(smDontStretch);
    });
}

// View properties published by the subclasses that use them.
template <class C> void publishViewProperty(ClassBuilder<C> &b, QStringView name)
{
    if (name == u"BrushStyle")
        b.enumeration(u"BrushStyle", enums::TBrushStyle(), &C::BrushStyle).def(bsSolid);
    else if (name == u"Color")
        b.integer(u"Color", &C::Color).def(clTransparent);
    else if (name == u"Cursor")
        b.integer(u"Cursor", &C::Cursor).def(0);
    else if (name == u"DataField")
        b.string(u"DataField", &C::DataField);
    else if (name == u"DataSet")
        publishDataSet(b);
    else if (name == u"Frame")
        publishFrame(b);
    else if (name == u"TagStr")
        b.string(u"TagStr", &C::TagStr);
    else if (name == u"URL")
        b.string(u"URL", &C::URL);
    else
        Q_ASSERT_X(false, "publishViewProperty", "unknown property");
}

// ---- lines ----

TfrxCustomLineView::TfrxCustomLineView(TfrxComponent *owner) : TfrxStretcheable(owner)
{
    ComponentStyle &= ~csFullStateCopy;
}

const ClassInfo &TfrxCustomLineView::staticClassInfo()
{
    return buildClass<TfrxCustomLineView>(u"TfrxCustomLineView", &TfrxStretcheable::staticClassInfo(), true,
                                          [](ClassBuilder<TfrxCustomLineView> &) {});
}

const ClassInfo &TfrxLineView::staticClassInfo()
{
    using C = TfrxLineView;
    return buildClass<C>(u"TfrxLineView", &TfrxCustomLineView::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) {
                             b.boolean(u"ArrowEnd", &C::ArrowEnd).def(false);
                             b.boolean(u"ArrowStart", &C::ArrowStart).def(false);
                             b.boolean(u"ArrowSolid", &C::ArrowSolid).def(false);
                             b.integer(u"ArrowLength", &C::ArrowLength).def(20);
                             b.integer(u"ArrowWidth", &C::ArrowWidth).def(5);
                             b.boolean(u"Diagonal", &C::Diagonal).def(false);
                             publishFrame(b);
                         });
}

// ---- pictures and shapes ----

TfrxPictureView::TfrxPictureView(TfrxComponent *owner) : TfrxView(owner)
{
    ComponentStyle &= ~csFullStateCopy;
    Color = clWhite;
}

const ClassInfo &TfrxPictureView::staticClassInfo()
{
    using C = TfrxPictureView;
    return buildClass<C>(u"TfrxPictureView", &TfrxView::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.boolean(u"AutoSize", &C::AutoSize).def(false);
        b.boolean(u"Center", &C::Center).def(false);
        publishViewProperty(b, u"DataField");
        publishViewProperty(b, u"DataSet");
        b.string(u"FileLink", &C::FileLink);
        b.integer(u"ImageIndex", &C::ImageIndex).def(0);
        b.boolean(u"KeepAspectRatio", &C::KeepAspectRatio).def(true);
        b.boolean(u"Stretched", &C::Stretched).def(true);
        b.boolean(u"HightQuality", &C::HightQuality).def(false);
        publishViewProperty(b, u"Cursor");
        publishViewProperty(b, u"TagStr");
        publishViewProperty(b, u"URL");
    });
}

TfrxShapeView::TfrxShapeView(TfrxComponent *owner) : TfrxView(owner)
{
    ComponentStyle &= ~csFullStateCopy;
}

const ClassInfo &TfrxShapeView::staticClassInfo()
{
    using C = TfrxShapeView;
    return buildClass<C>(u"TfrxShapeView", &TfrxView::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.enumeration(u"Shape", enums::TfrxShapeKind(), &C::Shape).def(skRectangle);
        b.integer(u"Curve", &C::Curve).def(0);
        publishViewProperty(b, u"BrushStyle");
        publishViewProperty(b, u"Color");
        publishViewProperty(b, u"Frame");
    });
}

// ---- subreports ----

TfrxSubreport::TfrxSubreport(TfrxComponent *owner) : TfrxView(owner)
{
    ComponentStyle &= ~csPreviewCopy;
    Frame().Typ = ftLeft | ftRight | ftTop | ftBottom;
    FontValue font = Font();
    font.name = QStringLiteral("Tahoma");
    font.setSize(8);
    SetFont(font);
    Color = 0xC0C0C0;
}

TfrxSubreport::~TfrxSubreport()
{
    if (m_page) m_page->m_subreport = nullptr;
}

void TfrxSubreport::SetPage(TfrxReportPage *page)
{
    if (m_page) m_page->m_subreport = nullptr;
    m_page = page;
    if (page) {
        page->m_subreport = this;
        page->FreeNotification(this);
    }
}

void TfrxSubreport::Notification(TfrxComponent *removed)
{
    TfrxView::Notification(removed);
    if (removed == m_page) m_page = nullptr;
}

const ClassInfo &TfrxSubreport::staticClassInfo()
{
    using C = TfrxSubreport;
    return buildClass<C>(u"TfrxSubreport", &TfrxView::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.component(u"Page", u"TfrxReportPage", &C::Page, &C::SetPage);
        b.boolean(u"PrintOnParent", &C::PrintOnParent).def(false);
    });
}

// ---- dot-matrix command ----

const ClassInfo &TfrxDMPCommand::staticClassInfo()
{
    using C = TfrxDMPCommand;
    return buildClass<C>(u"TfrxDMPCommand", &TfrxView::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) { b.string(u"Command", &C::Command); });
}

const ClassInfo &TfrxDMPLineView::staticClassInfo()
{
    using C = TfrxDMPLineView;
    return buildClass<C>(u"TfrxDMPLineView", &TfrxCustomLineView::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) {
                             b.set(u"FontStyle", enums::TfrxDMPFontStyles(), &C::FontStyle).def(0u);
                             publishFrame(b);
                         });
}

} // namespace frx
