#include "report/objects/frxClass_p.h"

namespace frx {

namespace {

bool onDotMatrixPage(const TfrxComponent *band)
{
    return dynamic_cast<const TfrxDMPPage *>(band->Parent()) != nullptr;
}

Extended snapped(Extended value, Extended cell)
{
    return Extended(roundHalfEven(value / cell)) * cell;
}

} // namespace

void TfrxBand::SetLeft(Extended value)
{
    TfrxReportComponent::SetLeft(onDotMatrixPage(this) ? snapped(value, fr1CharX) : value);
}

void TfrxBand::SetTop(Extended value)
{
    TfrxReportComponent::SetTop(onDotMatrixPage(this) ? snapped(value, fr1CharY) : value);
}

void TfrxBand::SetHeight(Extended value)
{
    TfrxReportComponent::SetHeight(onDotMatrixPage(this) ? snapped(value, fr1CharY) : value);
}

void TfrxBand::SetChild(TfrxChild *child)
{
    for (const TfrxBand *band = child; band; band = band->Child())
        if (band == this) throw platform::Error(QStringLiteral("Circular child reference is not allowed"));
    m_child = child;
    if (child) child->FreeNotification(this);
}

void TfrxBand::Notification(TfrxComponent *removed)
{
    TfrxReportComponent::Notification(removed);
    if (removed == m_child) m_child = nullptr;
}

void TfrxDataBand::Notification(TfrxComponent *removed)
{
    TfrxBand::Notification(removed);
    if (removed == m_dataSet.dataSet) m_dataSet.dataSet = nullptr;
}

namespace {

// Band properties that several band kinds publish, by name.
template <class C>
void publishBandProperties(ClassBuilder<C> &b, std::initializer_list<const char16_t *> names)
{
    for (const char16_t *n : names) {
        const QStringView name(n);
        if (name == u"AllowSplit")
            b.boolean(u"AllowSplit", &C::AllowSplit).def(false);
        else if (name == u"Child")
            b.component(u"Child", u"TfrxChild", &C::Child, &C::SetChild);
        else if (name == u"KeepChild")
            b.boolean(u"KeepChild", &C::KeepChild).def(false);
        else if (name == u"PrintChildIfInvisible")
            b.boolean(u"PrintChildIfInvisible", &C::PrintChildIfInvisible).def(false);
        else if (name == u"StartNewPage")
            b.boolean(u"StartNewPage", &C::StartNewPage).def(false);
        else if (name == u"Stretched")
            b.boolean(u"Stretched", &C::Stretched).def(false);
        else
            Q_ASSERT_X(false, "publishBandProperties", "unknown property");
    }
}

template <class C> const ClassInfo &plainBand(const char16_t *name)
{
    return buildClass<C>(name, &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &) {});
}

template <class C> const ClassInfo &splittableBand(const char16_t *name)
{
    return buildClass<C>(name, &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        publishBandProperties(b, {u"AllowSplit", u"Child", u"KeepChild", u"PrintChildIfInvisible",
                                  u"StartNewPage", u"Stretched"});
    });
}

template <class C> const ClassInfo &dataBandLevel(const char16_t *name)
{
    return buildClass<C>(name, &TfrxDataBand::staticClassInfo(), true, [](ClassBuilder<C> &) {});
}

} // namespace

const ClassInfo &TfrxBand::staticClassInfo()
{
    using C = TfrxBand;
    return buildClass<C>(u"TfrxBand", &TfrxReportComponent::staticClassInfo(), false, [](ClassBuilder<C> &b) {
        publishBounds(b);
        publishFont(b);
        publishParentFont(b);
        publishVisible(b);
        publishRestrictions(b);
        b.boolean(u"Vertical", &C::Vertical).def(false);
        b.string(u"OnAfterCalcHeight", &C::OnAfterCalcHeight);
        b.string(u"OnAfterPrint", &C::OnAfterPrint);
        b.string(u"OnBeforePrint", &C::OnBeforePrint);
    });
}

const ClassInfo &TfrxDataBand::staticClassInfo()
{
    using C = TfrxDataBand;
    return buildClass<C>(u"TfrxDataBand", &TfrxBand::staticClassInfo(), false, [](ClassBuilder<C> &b) {
        publishBandProperties(b, {u"AllowSplit", u"Child", u"KeepChild", u"PrintChildIfInvisible",
                                  u"StartNewPage", u"Stretched"});
        b.integer(u"Columns", &C::Columns).def(0);
        b.floating(u"ColumnWidth", &C::ColumnWidth);
        b.floating(u"ColumnGap", &C::ColumnGap);
        publishDataSet(b);
        b.boolean(u"FooterAfterEach", &C::FooterAfterEach).def(false);
        b.boolean(u"KeepFooter", &C::KeepFooter).def(false);
        b.boolean(u"KeepHeader", &C::KeepHeader).def(false);
        b.boolean(u"KeepTogether", &C::KeepTogether).def(false);
        b.boolean(u"PrintIfDetailEmpty", &C::PrintIfDetailEmpty).def(false);
        b.string(u"OutlineText", &C::OutlineText);
        b.integer(u"RowCount", &C::RowCount);
        b.string(u"OnMasterDetail", &C::OnMasterDetail);
    });
}

const ClassInfo &TfrxMasterData::staticClassInfo()
{
    return dataBandLevel<TfrxMasterData>(u"TfrxMasterData");
}
const ClassInfo &TfrxDetailData::staticClassInfo()
{
    return dataBandLevel<TfrxDetailData>(u"TfrxDetailData");
}
const ClassInfo &TfrxSubdetailData::staticClassInfo()
{
    return dataBandLevel<TfrxSubdetailData>(u"TfrxSubdetailData");
}
const ClassInfo &TfrxDataBand4::staticClassInfo()
{
    return dataBandLevel<TfrxDataBand4>(u"TfrxDataBand4");
}
const ClassInfo &TfrxDataBand5::staticClassInfo()
{
    return dataBandLevel<TfrxDataBand5>(u"TfrxDataBand5");
}
const ClassInfo &TfrxDataBand6::staticClassInfo()
{
    return dataBandLevel<TfrxDataBand6>(u"TfrxDataBand6");
}
const ClassInfo &TfrxColumnFooter::staticClassInfo()
{
    return plainBand<TfrxColumnFooter>(u"TfrxColumnFooter");
}
const ClassInfo &TfrxNullBand::staticClassInfo()
{
    return plainBand<TfrxNullBand>(u"TfrxNullBand");
}
const ClassInfo &TfrxReportTitle::staticClassInfo()
{
    return splittableBand<TfrxReportTitle>(u"TfrxReportTitle");
}
const ClassInfo &TfrxReportSummary::staticClassInfo()
{
    return splittableBand<TfrxReportSummary>(u"TfrxReportSummary");
}
const ClassInfo &TfrxChild::staticClassInfo()
{
    return splittableBand<TfrxChild>(u"TfrxChild");
}

const ClassInfo &TfrxHeader::staticClassInfo()
{
    using C = TfrxHeader;
    return buildClass<C>(u"TfrxHeader", &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        publishBandProperties(b, {u"AllowSplit", u"Child", u"KeepChild", u"PrintChildIfInvisible"});
        b.boolean(u"ReprintOnNewPage", &C::ReprintOnNewPage).def(false);
        publishBandProperties(b, {u"StartNewPage", u"Stretched"});
    });
}

const ClassInfo &TfrxFooter::staticClassInfo()
{
    using C = TfrxFooter;
    return buildClass<C>(u"TfrxFooter", &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        publishBandProperties(
            b, {u"AllowSplit", u"Child", u"KeepChild", u"PrintChildIfInvisible", u"Stretched"});
    });
}

const ClassInfo &TfrxPageHeader::staticClassInfo()
{
    using C = TfrxPageHeader;
    return buildClass<C>(u"TfrxPageHeader", &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        publishBandProperties(b, {u"Child", u"PrintChildIfInvisible"});
        b.boolean(u"PrintOnFirstPage", &C::PrintOnFirstPage).def(true);
        publishBandProperties(b, {u"Stretched"});
    });
}

const ClassInfo &TfrxPageFooter::staticClassInfo()
{
    using C = TfrxPageFooter;
    return buildClass<C>(u"TfrxPageFooter", &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.boolean(u"PrintOnFirstPage", &C::PrintOnFirstPage).def(true);
        b.boolean(u"PrintOnLastPage", &C::PrintOnLastPage).def(true);
    });
}

const ClassInfo &TfrxColumnHeader::staticClassInfo()
{
    using C = TfrxColumnHeader;
    return buildClass<C>(u"TfrxColumnHeader", &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        publishBandProperties(b, {u"Child", u"Stretched"});
    });
}

const ClassInfo &TfrxGroupHeader::staticClassInfo()
{
    using C = TfrxGroupHeader;
    return buildClass<C>(u"TfrxGroupHeader", &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        publishBandProperties(b, {u"AllowSplit", u"Child"});
        b.string(u"Condition", &C::Condition);
        b.boolean(u"DrillDown", &C::DrillDown).def(false);
        b.boolean(u"ExpandDrillDown", &C::ExpandDrillDown).def(false);
        publishBandProperties(b, {u"KeepChild"});
        b.boolean(u"KeepTogether", &C::KeepTogether).def(false);
        b.boolean(u"ReprintOnNewPage", &C::ReprintOnNewPage).def(false);
        b.string(u"OutlineText", &C::OutlineText);
        publishBandProperties(b, {u"PrintChildIfInvisible"});
        b.boolean(u"ResetPageNumbers", &C::ResetPageNumbers).def(false);
        b.boolean(u"ShowFooterIfDrillDown", &C::ShowFooterIfDrillDown).def(false);
        publishBandProperties(b, {u"StartNewPage", u"Stretched"});
    });
}

const ClassInfo &TfrxGroupFooter::staticClassInfo()
{
    using C = TfrxGroupFooter;
    return buildClass<C>(u"TfrxGroupFooter", &TfrxBand::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        publishBandProperties(b, {u"AllowSplit", u"Child"});
        b.boolean(u"HideIfSingleDataRecord", &C::HideIfSingleDataRecord).def(false);
        publishBandProperties(b, {u"KeepChild", u"PrintChildIfInvisible", u"Stretched"});
    });
}

const ClassInfo &TfrxOverlay::staticClassInfo()
{
    using C = TfrxOverlay;
    return buildClass<C>(u"TfrxOverlay", &TfrxBand::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) { b.boolean(u"PrintOnTop", &C::PrintOnTop).def(false); });
}

} // namespace frx
