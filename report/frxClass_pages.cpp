#include "report/frxClass_p.h"

namespace frx {

// The paper sizes in tenths of a millimetre (portrait) of the standard paper codes.
std::optional<std::pair<Extended, Extended>> paperSizeMm(int paperCode)
{
    struct Paper {
        int code, width, height;
    };
    static constexpr Paper papers[] = {
        {1, 2159, 2794},   {2, 2159, 2794},  {3, 2794, 4318},  {4, 4318, 2794},  {5, 2159, 3556},
        {6, 1397, 2159},   {7, 1842, 2667},  {8, 2970, 4200},  {9, 2100, 2970},  {10, 2100, 2970},
        {11, 1480, 2100},  {12, 2500, 3540}, {13, 1820, 2570}, {14, 2159, 3302}, {15, 2150, 2750},
        {16, 2540, 3556},  {17, 2794, 4318}, {18, 2159, 2794}, {19, 984, 2254},  {20, 1048, 2413},
        {21, 1143, 2635},  {22, 1207, 2794}, {23, 1270, 2921}, {24, 4318, 5588}, {25, 5588, 8636},
        {26, 8636, 11176}, {27, 1100, 2200}, {28, 1620, 2290}, {29, 3240, 4580}, {30, 2290, 3240},
        {31, 1140, 1620},  {32, 1140, 2290}, {33, 2500, 3530}, {34, 1760, 2500}, {35, 1760, 1250},
        {36, 1100, 2300},  {37, 984, 1905},  {38, 920, 1651},  {39, 3778, 2794}, {40, 2159, 3048},
        {41, 2159, 3302},  {42, 2500, 3530}, {43, 1000, 1480}, {44, 2286, 2794}, {45, 2540, 2794},
        {46, 3810, 2794},  {47, 2200, 2200}, {50, 2355, 3048}, {51, 2355, 3810}, {52, 2969, 4572},
        {53, 2354, 3223},  {54, 2101, 2794}, {55, 2100, 2970}, {56, 2355, 3048}, {57, 2270, 3560},
        {58, 3050, 4870},  {59, 2159, 3223}, {60, 2100, 3300}, {61, 1480, 2100}, {62, 1820, 2570},
        {63, 3220, 4450},  {64, 1740, 2350}, {65, 2010, 2760}, {66, 4200, 5940}, {67, 2970, 4200},
        {68, 3220, 4450},
    };
    for (const Paper &paper : papers)
        if (paper.code == paperCode)
            return std::pair{Extended(paper.width) / 10, Extended(paper.height) / 10};
    return std::nullopt;
}

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
    m_width = Extended(roundHalfEven(m_paperWidth * fr01cm));
    m_height = Extended(roundHalfEven(m_paperHeight * fr01cm));
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
    if (const auto size = paperSizeMm(code)) {
        m_paperWidth = size->first;
        m_paperHeight = size->second;
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
    m_width = (m_paperWidth - LeftMargin - RightMargin) * fr01cm;
    m_height = (m_paperHeight - TopMargin - BottomMargin) * fr01cm;
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
