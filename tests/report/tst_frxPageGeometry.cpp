// Millimetres, report units and device pixels of a page: paper, printable room, columns.
#include "report/objects/frxClass.h"
#include "report/base/frxPageGeometry.h"

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

// A4 with margins of 10, 20, 5 and 15 mm (left, right, top, bottom).
struct Page {
    TfrxReportPage page;
    Page()
    {
        page.SetPaperWidth(210);
        page.SetPaperHeight(297);
        page.LeftMargin = 10;
        page.RightMargin = 20;
        page.TopMargin = 5;
        page.BottomMargin = 15;
    }
};

} // namespace

TEST(frxPageGeometry, paperAndPrintableRoomInReportUnits)
{
    Page p;
    EXPECT_EQ(paperSizeUnits(p.page), (TfrxSizeUnits{210 * fr01cm, 297 * fr01cm}));
    const TfrxSizeUnits room = printableSizeUnits(p.page);
    EXPECT_NEAR(double(room.width), 180 * 3.77953, 1e-9);
    EXPECT_NEAR(double(room.height), 277 * 3.77953, 1e-9);
    // An endless page grows around its room by exactly the margins it lost.
    const TfrxSizeUnits around = paperAroundUnits(p.page, {room.width, room.height + 100});
    EXPECT_NEAR(double(around.width), double(210 * fr01cm), 1e-12);
    EXPECT_NEAR(double(around.height), double(297 * fr01cm + 100), 1e-12);
    EXPECT_NEAR(double(unitsToMm(mmToUnits(123.45L))), 123.45, 1e-12);
}

TEST(frxPageGeometry, rectanglesOnTheDevice)
{
    Page p;
    // At 96 dpi the paper's last pixel is one short of its rounded size.
    EXPECT_EQ(paperRectPixels(p.page, 1, 1, 0, 0), QRect(QPoint(0, 0), QPoint(793, 1122)));
    // At 300 dpi, moved by (12.5, 7.5) pixels: the offsets round half to even.
    const Extended scale = 300.0L / 96;
    EXPECT_EQ(paperRectPixels(p.page, scale, scale, 12.5L, 7.5L).topLeft(), QPoint(12, 8));
    EXPECT_EQ(marginRectPixels(p.page, 1, 1, 0, 0), QRect(38, 19, 718 - 38, 1066 - 19));
    EXPECT_NEAR(double(marginOriginX(p.page, false, 2, 3)), 3 + 2 * 37.7953, 1e-9);
    EXPECT_NEAR(double(marginOriginX(p.page, true, 2, 3)), 3 + 2 * 75.5906, 1e-9);
    EXPECT_NEAR(double(marginOriginY(p.page, 2, 3)), 3 + 2 * 5 * 3.77953, 1e-9);
}

TEST(frxPageGeometry, columnPositionsReadAnySeparatorAndStayInTheList)
{
    Page p;
    p.page.ColumnPositions = {u"0"_s, u" 62,5"_s, u"1 25.5"_s};
    EXPECT_EQ(columnPositionUnits(p.page, 1), 0);
    EXPECT_NEAR(double(columnPositionUnits(p.page, 2)), 62.5 * 3.77953, 1e-9);
    EXPECT_NEAR(double(columnPositionUnits(p.page, 3)), 125.5 * 3.77953, 1e-9);
    EXPECT_EQ(columnPositionUnits(p.page, 0), 0);
    EXPECT_EQ(columnPositionUnits(p.page, 4), 0);
}
