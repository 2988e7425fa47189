#include "platform/printing.h"
#include "platform/printing_p.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

struct StandardPaper {
    int code;
    int widthTenthsMm;
    int heightTenthsMm;
};

// Windows' standard paper sizes, portrait, in tenths of a millimetre.
constexpr StandardPaper kStandardPapers[] = {
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

const StandardPaper *findStandard(int code)
{
    for (const StandardPaper &paper : kStandardPapers)
        if (paper.code == code) return &paper;
    return nullptr;
}

bool sameSize(double a, double b)
{
    return std::abs(a - b) < 0.5;
}

std::unique_ptr<PrintSystem> &installedSystem()
{
    static std::unique_ptr<PrintSystem> system;
    return system;
}

} // namespace

PrintSystem &printSystem()
{
    std::unique_ptr<PrintSystem> &system = installedSystem();
    if (!system) system = createCupsPrintSystem();
    return *system;
}

void setPrintSystem(std::unique_ptr<PrintSystem> system)
{
    installedSystem() = std::move(system);
}

std::optional<QSize> standardPaperSizeTenthsMm(int code)
{
    if (const StandardPaper *paper = findStandard(code))
        return QSize(paper->widthTenthsMm, paper->heightTenthsMm);
    return std::nullopt;
}

const QList<int> &standardPaperCodes()
{
    static const QList<int> codes = [] {
        QList<int> list;
        for (const StandardPaper &paper : kStandardPapers)
            list.append(paper.code);
        return list;
    }();
    return codes;
}

int standardPaperCodeBySize(double widthMm, double heightMm)
{
    for (const StandardPaper &paper : kStandardPapers) {
        const double w = paper.widthTenthsMm / 10.0;
        const double h = paper.heightTenthsMm / 10.0;
        if ((sameSize(w, widthMm) && sameSize(h, heightMm)) ||
            (sameSize(w, heightMm) && sameSize(h, widthMm)))
            return paper.code;
    }
    return kUserPaperCode;
}

int paperCodeFromPageSize(const QPageSize &pageSize)
{
    if (!pageSize.isValid()) return 0;
    const QSizeF mm = pageSize.size(QPageSize::Millimeter);
    // Qt's own Windows code wins when the table agrees with it on the size (A4 Small stays 10);
    // Qt knows a few codes with other sizes than Windows has (the ANSI C, D and E sheets).
    const int qtCode = pageSize.windowsId();
    if (const StandardPaper *paper = findStandard(qtCode)) {
        if (sameSize(paper->widthTenthsMm / 10.0, mm.width()) &&
            sameSize(paper->heightTenthsMm / 10.0, mm.height()))
            return qtCode;
    }
    const int bySize = standardPaperCodeBySize(mm.width(), mm.height());
    if (bySize != kUserPaperCode) return bySize;
    if (qtCode > 0 && qtCode != kUserPaperCode && !findStandard(qtCode)) return qtCode;
    return 0;
}

QPageSize pageSizeFromPaperCode(int code)
{
    if (const StandardPaper *paper = findStandard(code)) {
        const QPageSize::PageSizeId id = QPageSize::id(code);
        const QSizeF mm(paper->widthTenthsMm / 10.0, paper->heightTenthsMm / 10.0);
        if (id != QPageSize::Custom) {
            const QPageSize known(id);
            const QSizeF knownMm = known.size(QPageSize::Millimeter);
            if (sameSize(knownMm.width(), mm.width()) && sameSize(knownMm.height(), mm.height()))
                return known;
        }
        return QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    }
    if (code == kUserPaperCode || code <= 0) return QPageSize();
    const QPageSize::PageSizeId id = QPageSize::id(code);
    return id == QPageSize::Custom ? QPageSize() : QPageSize(id);
}

QPageLayout pageLayoutForMode(const DeviceMode &mode, const QList<DevicePaper> &knownPapers)
{
    QPageSize pageSize;
    bool landscape = mode.landscape;
    if (mode.paperCode == kUserPaperCode) {
        const int width = mode.paperWidthTenthsMm, length = mode.paperLengthTenthsMm;
        // A paper wider than long goes to Qt as the upright paper turned: the sheet is the same,
        // and CUPS, given a wide custom size with a turn, would turn the page once more.
        if (width > length) landscape = !landscape;
        if (width > 0 && length > 0)
            pageSize = QPageSize(QSizeF(std::min(width, length) / 10.0, std::max(width, length) / 10.0),
                                 QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    } else {
        for (const DevicePaper &paper : knownPapers)
            if (paper.code == mode.paperCode) {
                pageSize = paper.pageSize;
                break;
            }
        if (!pageSize.isValid()) pageSize = pageSizeFromPaperCode(mode.paperCode);
    }
    if (!pageSize.isValid()) return QPageLayout();
    return QPageLayout(pageSize, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

} // namespace platform
