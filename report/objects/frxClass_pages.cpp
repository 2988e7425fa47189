#include "report/objects/frxClass_p.h"
#include "report/base/frxPageGeometry.h"

namespace frx {

// ---- pages ----

const ClassInfo &TfrxPage::staticClassInfo()
{
    using C = TfrxPage;
    return buildClass<C>(u"TfrxPage", &TfrxComponent::staticClassInfo(), false, [](ClassBuilder<C> &b) {
        publishFont(b);
        publishVisible(b);
    });
}

TfrxReportPage::TfrxReportPage(TfrxComponent *owner) : TfrxPage(owner)
{
    UpdateDimensions();
}

void TfrxReportPage::UpdateDimensions()
{
    m_width = Extended(roundHalfEven(mmToUnits(m_paperWidth)));
    m_height = Extended(roundHalfEven(mmToUnits(m_paperHeight)));
}

namespace {

Extended roundedTo8Decimals(Extended mm)
{
    return Extended(roundHalfEven(mm * 1e8L)) / 1e8L;
}

} // namespace

void TfrxReportPage::SetPaperWidth(Extended mm)
{
    m_paperWidth = roundedTo8Decimals(mm);
    m_paperSize = 256;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperHeight(Extended mm)
{
    m_paperHeight = roundedTo8Decimals(mm);
    m_paperSize = 256;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperSize(int code)
{
    m_paperSize = code;
    if (code >= 256) return;
    if (const auto size = LookUpPaperSize(code)) {
        m_paperWidth = size->width;
        m_paperHeight = size->height;
        if (m_orientation == poLandscape) std::swap(m_paperWidth, m_paperHeight);
    }
    UpdateDimensions();
}

void TfrxReportPage::SetOrientation(TPrinterOrientation orientation)
{
    if (orientation != m_orientation) {
        std::swap(m_paperWidth, m_paperHeight);
        const Extended left = LeftMargin, right = RightMargin, top = TopMargin, bottom = BottomMargin;
        if (orientation == poLandscape) {
            LeftMargin = top;
            RightMargin = bottom;
            TopMargin = right;
            BottomMargin = left;
        } else {
            LeftMargin = bottom;
            RightMargin = top;
            TopMargin = left;
            BottomMargin = right;
        }
        m_orientation = orientation;
        UpdateDimensions();
    }
    m_orientation = orientation;
}

void TfrxReportPage::SetColumns(int count)
{
    // One position text per column: a damaged template must not make millions of them.
    if (count > maxColumns) throw platform::Error(QStringLiteral("Too many columns: %1").arg(count));
    m_columns = count;
    ColumnPositions.clear();
    if (count <= 0) return;
    ColumnWidth = (m_paperWidth - LeftMargin - RightMargin) / count;
    for (int i = 0; i < count; ++i)
        ColumnPositions.append(floatToText(i * ColumnWidth));
}

TfrxBand *TfrxReportPage::FindBand(QStringView className) const
{
    for (TfrxComponent *child : Objects())
        if (auto *band = dynamic_cast<TfrxBand *>(child); band && band->InheritsFrom(className)) return band;
    return nullptr;
}

void TfrxReportPage::Notification(TfrxComponent *removed)
{
    TfrxPage::Notification(removed);
    if (removed == m_dataSet.dataSet) m_dataSet.dataSet = nullptr;
    if (removed == m_subreport) m_subreport = nullptr;
}

void TfrxReportPage::AlignChildren()
{
    m_width = mmToUnits(m_paperWidth - LeftMargin - RightMargin);
    m_height = mmToUnits(m_paperHeight - TopMargin - BottomMargin);
    TfrxPage::AlignChildren();
    for (TfrxComponent *child : Objects()) {
        auto *band = dynamic_cast<TfrxBand *>(child);
        if (!band) continue;
        if (band->Vertical)
            band->SetHeight(m_height - band->Top());
        else
            band->SetWidth(m_width - band->Left());
        band->AlignChildren();
    }
    UpdateDimensions();
}

const ClassInfo &TfrxReportPage::staticClassInfo()
{
    using C = TfrxReportPage;
    return buildClass<C>(u"TfrxReportPage", &TfrxPage::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.enumeration(u"Orientation", enums::TPrinterOrientation(), &C::Orientation, &C::SetOrientation)
            .def(poPortrait);
        b.floating(u"PaperWidth", &C::PaperWidth, &C::SetPaperWidth);
        b.floating(u"PaperHeight", &C::PaperHeight, &C::SetPaperHeight);
        b.integer(u"PaperSize", &C::PaperSize, &C::SetPaperSize);
        b.floating(u"LeftMargin", &C::LeftMargin);
        b.floating(u"RightMargin", &C::RightMargin);
        b.floating(u"TopMargin", &C::TopMargin);
        b.floating(u"BottomMargin", &C::BottomMargin);
        b.boolean(u"MirrorMargins", &C::MirrorMargins).def(false);
        b.integer(u"Columns", &C::Columns, &C::SetColumns).def(0);
        b.floating(u"ColumnWidth", &C::ColumnWidth);
        b.stringList(u"ColumnPositions", &C::ColumnPositions);
        b.integer(u"Bin", &C::Bin).def(7);
        b.integer(u"BinOtherPages", &C::BinOtherPages).def(7);
        b.boolean(u"BackPictureVisible", &C::BackPictureVisible).def(true);
        b.boolean(u"BackPicturePrintable", &C::BackPicturePrintable).def(true);
        b.integer(u"PageCount", &C::PageCount, &C::SetPageCount).def(1);
        b.integer(u"Color", &C::Color).def(clTransparent);
        publishDataSet(b);
        b.enumeration(u"Duplex", enums::TfrxDuplexMode(), &C::Duplex).def(dmNone);
        publishFrame(b);
        b.boolean(u"EndlessHeight", &C::EndlessHeight).def(false);
        b.boolean(u"EndlessWidth", &C::EndlessWidth).def(false);
        b.boolean(u"LargeDesignHeight", &C::LargeDesignHeight).def(false);
        b.string(u"OutlineText", &C::OutlineText);
        b.boolean(u"PrintIfEmpty", &C::PrintIfEmpty).def(true);
        b.boolean(u"PrintOnPreviousPage", &C::PrintOnPreviousPage).def(false);
        b.boolean(u"ResetPageNumbers", &C::ResetPageNumbers).def(false);
        b.boolean(u"TitleBeforeHeader", &C::TitleBeforeHeader).def(true);
        b.stringList(u"HGuides", &C::HGuides);
        b.stringList(u"VGuides", &C::VGuides);
        b.string(u"OnAfterPrint", &C::OnAfterPrint);
        b.string(u"OnBeforePrint", &C::OnBeforePrint);
        b.string(u"OnManualBuild", &C::OnManualBuild);
    });
}

const ClassInfo &TfrxDialogPage::staticClassInfo()
{
    using C = TfrxDialogPage;
    return buildClass<C>(u"TfrxDialogPage", &TfrxPage::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.enumeration(u"BorderStyle", enums::TFormBorderStyle(), &C::BorderStyle).def(bsSizeable);
        b.string(u"Caption", &C::Caption);
        b.integer(u"Color", &C::Color).def(-16777201);
        publishBounds(b);
        b.enumeration(u"Position", enums::TPosition(), &C::Position).def(poScreenCenter);
        b.enumeration(u"WindowState", enums::TWindowState(), &C::WindowState).def(wsNormal);
        b.string(u"OnActivate", &C::OnActivate);
        b.string(u"OnClick", &C::OnClick);
        b.string(u"OnCloseQuery", &C::OnCloseQuery);
        b.string(u"OnDeactivate", &C::OnDeactivate);
        b.string(u"OnHide", &C::OnHide);
        b.string(u"OnKeyDown", &C::OnKeyDown);
        b.string(u"OnKeyPress", &C::OnKeyPress);
        b.string(u"OnKeyUp", &C::OnKeyUp);
        b.string(u"OnShow", &C::OnShow);
        b.string(u"OnResize", &C::OnResize);
    });
}

TfrxDataPage::TfrxDataPage(TfrxComponent *owner) : TfrxPage(owner)
{
    m_width = 1000;
    m_height = 1000;
}

const ClassInfo &TfrxDataPage::staticClassInfo()
{
    using C = TfrxDataPage;
    return buildClass<C>(u"TfrxDataPage", &TfrxPage::staticClassInfo(), true,
                         [](ClassBuilder<C> &b) { publishBounds(b); });
}

const ClassInfo &TfrxDMPPage::staticClassInfo()
{
    using C = TfrxDMPPage;
    return buildClass<C>(u"TfrxDMPPage", &TfrxReportPage::staticClassInfo(), true, [](ClassBuilder<C> &b) {
        b.set(u"FontStyle", enums::TfrxDMPFontStyles(), &C::FontStyle).def(0u);
    });
}

} // namespace frx
