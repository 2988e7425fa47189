#include "report/objects/frxClass_p.h"

namespace frx {

// ---- enumerations ----

namespace enums {

#define FRX_ENUM(Type, ...)                                                                                  \
    const EnumInfo &Type()                                                                                   \
    {                                                                                                        \
        static const EnumInfo info{QStringLiteral(#Type),                                                    \
                                   QString::fromLatin1(#__VA_ARGS__).remove(u' ').split(u',')};              \
        return info;                                                                                         \
    }

FRX_ENUM(TfrxAlign, baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient)
FRX_ENUM(TfrxShiftMode, smDontShift, smAlways, smWhenOverlapped)
FRX_ENUM(TfrxStretchMode, smDontStretch, smActualHeight, smMaxHeight)
FRX_ENUM(TfrxFrameStyle, fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare)
FRX_ENUM(TfrxFrameTypes, ftLeft, ftRight, ftTop, ftBottom)
FRX_ENUM(TfrxHAlign, haLeft, haRight, haCenter, haBlock)
FRX_ENUM(TfrxVAlign, vaTop, vaBottom, vaCenter)
FRX_ENUM(TfrxRestrictions, rfDontModify, rfDontSize, rfDontMove, rfDontDelete, rfDontEdit)
FRX_ENUM(TfrxShapeKind, skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1,
         skDiagonal2)
FRX_ENUM(TfrxDuplexMode, dmNone, dmVertical, dmHorizontal, dmSimplex)
FRX_ENUM(TPrinterOrientation, poPortrait, poLandscape)
FRX_ENUM(TfrxFormatKind, fkText, fkNumeric, fkDateTime, fkBoolean)
FRX_ENUM(TfrxDMPFontStyles, fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed,
         fsxWide, fsx12cpi, fsx15cpi)
FRX_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
         bsDiagCross)
FRX_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
FRX_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
         poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
FRX_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
FRX_ENUM(TFontStyles, fsBold, fsItalic, fsUnderline, fsStrikeOut)
FRX_ENUM(TfrxPreviewButtons, pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup,
         pbTools, pbEdit, pbNavigator, pbExportQuick, pbNoClose, pbNoFullScreen, pbNoEmail)
FRX_ENUM(TfrxZoomMode, zmDefault, zmWholePage, zmPageWidth, zmManyPages)
FRX_ENUM(TfrxPrintMode, pmDefault, pmSplit, pmJoin, pmScale)
FRX_ENUM(TfrxPrintPages, ppAll, ppOdd, ppEven)
FRX_ENUM(TfrxSilentMode, simMessageBoxes, simSilent, simReThrow)

#undef FRX_ENUM

} // namespace enums

// ---- font ----

const ClassInfo &fontClassInfo()
{
    return buildClass<FontValue>(u"TFont", nullptr, false, [](ClassBuilder<FontValue> &b) {
        b.integer(u"Charset", &FontValue::charset);
        b.integer(u"Color", &FontValue::color);
        b.integer(u"Height", &FontValue::height);
        b.string(u"Name", &FontValue::name);
        b.integer(u"Size", &FontValue::size, &FontValue::setSize).stored([](const FontValue &) {
            return false;
        });
        b.set(u"Style", enums::TFontStyles(), &FontValue::style);
    });
}

// ---- frames ----

bool TfrxFrameLine::sameValues(const TfrxFrameLine &other) const
{
    return Color == other.Color && Style == other.Style && Width == other.Width;
}

const ClassInfo &TfrxFrameLine::staticClassInfo()
{
    return buildClass<TfrxFrameLine>(u"TfrxFrameLine", nullptr, false, [](ClassBuilder<TfrxFrameLine> &b) {
        b.integer(u"Color", &TfrxFrameLine::Color).stored([](const TfrxFrameLine &l) {
            return !l.Frame() || l.Color != l.Frame()->Color();
        });
        b.enumeration(u"Style", enums::TfrxFrameStyle(), &TfrxFrameLine::Style)
            .stored([](const TfrxFrameLine &l) { return !l.Frame() || l.Style != l.Frame()->Style(); });
        b.floating(u"Width", &TfrxFrameLine::Width).stored([](const TfrxFrameLine &l) {
            return !l.Frame() || l.Width != l.Frame()->Width();
        });
    });
}

TfrxFrame::TfrxFrame()
{
    adoptLines();
}

TfrxFrame::TfrxFrame(const TfrxFrame &other)
{
    *this = other;
}

TfrxFrame &TfrxFrame::operator=(const TfrxFrame &other)
{
    m_color = other.m_color;
    m_style = other.m_style;
    m_width = other.m_width;
    DropShadow = other.DropShadow;
    ShadowColor = other.ShadowColor;
    ShadowWidth = other.ShadowWidth;
    Typ = other.Typ;
    LeftLine = other.LeftLine;
    TopLine = other.TopLine;
    RightLine = other.RightLine;
    BottomLine = other.BottomLine;
    adoptLines();
    return *this;
}

void TfrxFrame::adoptLines()
{
    for (TfrxFrameLine *line : {&LeftLine, &TopLine, &RightLine, &BottomLine})
        line->m_frame = this;
}

bool TfrxFrame::operator==(const TfrxFrame &other) const
{
    return m_color == other.m_color && m_style == other.m_style && m_width == other.m_width &&
           DropShadow == other.DropShadow && ShadowColor == other.ShadowColor &&
           ShadowWidth == other.ShadowWidth && Typ == other.Typ && LeftLine.sameValues(other.LeftLine) &&
           TopLine.sameValues(other.TopLine) && RightLine.sameValues(other.RightLine) &&
           BottomLine.sameValues(other.BottomLine);
}

void TfrxFrame::SetColor(int color)
{
    m_color = color;
    for (TfrxFrameLine *line : {&LeftLine, &TopLine, &RightLine, &BottomLine})
        line->Color = color;
}

void TfrxFrame::SetStyle(TfrxFrameStyle style)
{
    m_style = style;
    for (TfrxFrameLine *line : {&LeftLine, &TopLine, &RightLine, &BottomLine})
        line->Style = style;
}

void TfrxFrame::SetWidth(Extended width)
{
    m_width = width;
    for (TfrxFrameLine *line : {&LeftLine, &TopLine, &RightLine, &BottomLine})
        line->Width = width;
}

const ClassInfo &TfrxFrame::staticClassInfo()
{
    return buildClass<TfrxFrame>(u"TfrxFrame", nullptr, true, [](ClassBuilder<TfrxFrame> &b) {
        b.integer(u"Color", &TfrxFrame::Color, &TfrxFrame::SetColor).def(clBlack);
        b.boolean(u"DropShadow", &TfrxFrame::DropShadow).def(false);
        b.integer(u"ShadowColor", &TfrxFrame::ShadowColor).def(clBlack);
        b.floating(u"ShadowWidth", &TfrxFrame::ShadowWidth).stored([](const TfrxFrame &f) {
            return f.ShadowWidth != 4;
        });
        b.enumeration(u"Style", enums::TfrxFrameStyle(), &TfrxFrame::Style, &TfrxFrame::SetStyle)
            .def(fsSolid);
        b.set(u"Typ", enums::TfrxFrameTypes(), &TfrxFrame::Typ).def(0u);
        b.floating(u"Width", &TfrxFrame::Width, &TfrxFrame::SetWidth).stored([](const TfrxFrame &f) {
            return f.Width() != 1;
        });
        const ClassInfo &line = TfrxFrameLine::staticClassInfo();
        b.object(u"LeftLine", line, [](TfrxFrame &f) { return &f.LeftLine; });
        b.object(u"TopLine", line, [](TfrxFrame &f) { return &f.TopLine; });
        b.object(u"RightLine", line, [](TfrxFrame &f) { return &f.RightLine; });
        b.object(u"BottomLine", line, [](TfrxFrame &f) { return &f.BottomLine; });
    });
}

// ---- format and highlight ----

const ClassInfo &TfrxFormat::staticClassInfo()
{
    return buildClass<TfrxFormat>(u"TfrxFormat", nullptr, false, [](ClassBuilder<TfrxFormat> &b) {
        b.string(u"DecimalSeparator", &TfrxFormat::DecimalSeparator);
        b.string(u"FormatStr", &TfrxFormat::FormatStr);
        b.enumeration(u"Kind", enums::TfrxFormatKind(), &TfrxFormat::Kind).def(fkText);
        b.string(u"ThousandSeparator", &TfrxFormat::ThousandSeparator);
    });
}

TfrxHighlight::TfrxHighlight()
{
    Font.color = 0x0000FF;
}

const ClassInfo &TfrxHighlight::staticClassInfo()
{
    return buildClass<TfrxHighlight>(u"TfrxHighlight", nullptr, true, [](ClassBuilder<TfrxHighlight> &b) {
        b.boolean(u"Active", &TfrxHighlight::Active).def(false);
        b.integer(u"Color", &TfrxHighlight::Color).def(clTransparent);
        b.string(u"Condition", &TfrxHighlight::Condition);
        b.object(u"Font", fontClassInfo(), [](TfrxHighlight &h) { return &h.Font; });
    });
}

} // namespace frx
