// The virtual printer: the standard paper table and fixed margins, no device.
#include "report/output/frxPrinter.h"

namespace frx {

namespace {

constexpr Extended kVirtualMarginMm = 5;

// A name for every standard paper, each different: the common name of the size, or its
// dimensions where the size has no common name or shares one with an earlier code.
QStringList standardPaperNames()
{
    QStringList names;
    for (int code : platform::standardPaperCodes()) {
        const QString common = platform::pageSizeFromPaperCode(code).name();
        QString name = common;
        if (name.isEmpty() || name.startsWith(QLatin1String("Custom")) || names.contains(name)) {
            const PaperSizeMm size = *LookUpPaperSize(code);
            name = QStringLiteral("%1 × %2 mm").arg(double(size.width)).arg(double(size.height));
            if (names.contains(name)) name += QStringLiteral(" (%1)").arg(code);
        }
        names.append(name);
    }
    return names;
}

} // namespace

void TfrxVirtualPrinter::Prepare()
{
    if (m_initialized) return;
    m_dpi = QPoint(600, 600);
    m_defPaper = 9;
    m_defOrientation = poPortrait;
    m_defPaperWidth = 210;
    m_defPaperHeight = 297;
    static const QStringList names = standardPaperNames();
    const QList<int> &codes = platform::standardPaperCodes();
    for (int i = 0; i < codes.size(); ++i)
        m_papers.append(NamedCode{names[i], codes[i]});
    m_driverDialogBin = -1;
    m_initialized = true;
    SetPaperForView(m_defPaper, m_defPaperWidth, m_defPaperHeight, m_defOrientation);
}

void TfrxVirtualPrinter::SetPaperForView(int paperCode, Extended paperWidth, Extended paperHeight,
                                         TPrinterOrientation orientation)
{
    if (const std::optional<PaperSizeMm> size = LookUpPaperSize(paperCode)) {
        const bool landscape = orientation == poLandscape;
        m_paperWidth = landscape ? size->height : size->width;
        m_paperHeight = landscape ? size->width : size->height;
    } else {
        paperCode = DMPAPER_USER;
        m_paperWidth = paperWidth;
        m_paperHeight = paperHeight;
    }
    m_paper = paperCode;
    m_orientation = orientation;
    m_leftMargin = m_topMargin = m_rightMargin = m_bottomMargin = kVirtualMarginMm;
}

void TfrxVirtualPrinter::SetPaperForPrint(int paperCode, Extended paperWidth, Extended paperHeight,
                                          TPrinterOrientation orientation, int bin, int, int)
{
    SetPaperForView(paperCode, paperWidth, paperHeight, orientation);
    m_driverDialogBin = bin;
}

} // namespace frx
