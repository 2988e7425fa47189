// Bounds, absolute positions, alignment of child views, report page paper and columns.
#include "report/objects/frxClass.h"

#include <gtest/gtest.h>

using namespace frx;

namespace {

TfrxMemoView *memoAt(TfrxComponent *parent, Extended left, Extended top, Extended width, Extended height,
                     TfrxAlign align = baNone)
{
    auto *memo = new TfrxMemoView(parent);
    memo->SetBounds(left, top, width, height);
    memo->Align = align;
    return memo;
}

} // namespace

TEST(frxClassGeometry, absolutePositionsAddUpParents)
{
    TfrxReportPage page;
    auto *band = new TfrxMasterData(&page);
    band->SetBounds(10, 18.89765L, 700, 800);
    auto *memo = memoAt(band, 5.5L, 20, 30, 40);
    EXPECT_EQ(memo->AbsLeft(), 15.5L);
    EXPECT_EQ(memo->AbsTop(), 38.89765L);
    const auto bounds = memo->GetRealBounds();
    EXPECT_EQ(bounds.right, 45.5L);
    EXPECT_EQ(bounds.bottom, 78.89765L);

    TfrxDialogPage dialog;
    auto *control = memoAt(&dialog, 7, 8, 1, 1);
    dialog.SetLeft(100);
    EXPECT_EQ(control->AbsLeft(), 7);
}

TEST(frxClassGeometry, designerRestrictionsRefuseMovesAndSizes)
{
    TfrxMemoView memo;
    memo.Restrictions = rfDontMove | rfDontSize;
    memo.SetBounds(1, 2, 3, 4);
    EXPECT_EQ(memo.Left(), 1);
    memo.IsDesigning = true;
    memo.SetBounds(10, 20, 30, 40);
    EXPECT_EQ(memo.Left(), 1);
    EXPECT_EQ(memo.Top(), 2);
    EXPECT_EQ(memo.Width(), 3);
    EXPECT_EQ(memo.Height(), 4);
}

TEST(frxClassGeometry, printRestoresSavedBounds)
{
    TfrxMemoView memo;
    memo.SetBounds(1, 2, 3, 4);
    memo.TagStr = QStringLiteral("[甲]");
    memo.BeforePrint();
    memo.SetBounds(9, 9, 9, 9);
    memo.TagStr = QStringLiteral("乙");
    memo.AfterPrint();
    EXPECT_EQ(memo.Left(), 1);
    EXPECT_EQ(memo.Height(), 4);
    EXPECT_EQ(memo.TagStr, QStringLiteral("[甲]"));
}

TEST(frxClassGeometry, dotMatrixBandsSnapToCharacterCells)
{
    TfrxDMPPage page;
    auto *band = new TfrxMasterData(&page);
    band->SetBounds(15, 30, 100, 40);
    EXPECT_EQ(band->Left(), 2 * fr1CharX);
    EXPECT_EQ(band->Top(), 34);
    EXPECT_EQ(band->Width(), 100);
    EXPECT_EQ(band->Height(), 34);
}

TEST(frxClassGeometry, alignLeftAndRightFollowNeighbours)
{
    TfrxMasterData band;
    band.SetWidth(200);
    band.SetHeight(100);
    auto *a = memoAt(&band, 30, 0, 20, 10);
    auto *left = memoAt(&band, 90, 5, 10, 10, baLeft);
    auto *right = memoAt(&band, 10, 0, 15, 10, baRight);
    auto *below = memoAt(&band, 150, 50, 10, 10, baLeft);
    band.AlignChildren();
    EXPECT_EQ(a->Left(), 30);
    EXPECT_EQ(left->Left(), 50);  // after a
    EXPECT_EQ(right->Left(), 15); // before a: 30 - 15
    EXPECT_EQ(below->Left(), 0);  // overlaps nothing
}

TEST(frxClassGeometry, alignWidthStretchesBetweenNeighbours)
{
    TfrxMasterData band;
    band.SetWidth(300);
    band.SetHeight(100);
    auto *a = memoAt(&band, 10, 0, 20, 10);
    auto *filler = memoAt(&band, 100, 0, 10, 10, baWidth);
    auto *b = memoAt(&band, 200, 0, 30, 10);
    auto *lonely = memoAt(&band, 50, 50, 10, 10, baWidth);
    band.AlignChildren();
    EXPECT_EQ(filler->Left(), 30);
    EXPECT_EQ(filler->Width(), 170);
    EXPECT_EQ(a->Left(), 10);
    EXPECT_EQ(b->Left(), 200);
    EXPECT_EQ(lonely->Left(), 0);
    EXPECT_EQ(lonely->Width(), 300);
}

TEST(frxClassGeometry, alignTouchingTopsDoNotOverlap)
{
    TfrxMasterData band;
    band.SetWidth(100);
    memoAt(&band, 0, 0, 40, 10);
    auto *under = memoAt(&band, 70, 10 - 0.00005L, 10, 10, baLeft);
    band.AlignChildren();
    EXPECT_EQ(under->Left(), 0);
}

TEST(frxClassGeometry, alignSortsNegativePositionsByMagnitude)
{
    // -5 sorts before -20, so the view at -20 finds the one at -5 as its left neighbour.
    TfrxMasterData band;
    band.SetWidth(100);
    memoAt(&band, -5, 0, 10, 10);
    auto *far = memoAt(&band, -20, 0, 10, 10, baLeft);
    band.AlignChildren();
    EXPECT_EQ(far->Left(), 5);
}

TEST(frxClassGeometry, alignEqualKeysStandInReverseOrder)
{
    TfrxMasterData band;
    band.SetWidth(100);
    auto *first = memoAt(&band, 10, 0, 10, 10, baLeft);
    auto *second = memoAt(&band, 10, 0, 15, 10, baLeft);
    band.AlignChildren();
    // second stands before first in the sorted list: it gets 0, first follows it.
    EXPECT_EQ(second->Left(), 0);
    EXPECT_EQ(first->Left(), 15);
}

TEST(frxClassGeometry, alignCenterBottomClient)
{
    TfrxMasterData band;
    band.SetWidth(200);
    band.SetHeight(80);
    auto *center = memoAt(&band, 0, 0, 50, 10, baCenter);
    auto *bottom = memoAt(&band, 3, 0, 50, 10, baBottom);
    auto *client = memoAt(&band, 3, 4, 5, 6, baClient);
    band.AlignChildren();
    EXPECT_EQ(center->Left(), 75);
    EXPECT_EQ(bottom->Top(), 70);
    EXPECT_EQ(client->Left(), 0);
    EXPECT_EQ(client->Width(), 200);
    EXPECT_EQ(client->Height(), 80);
}

TEST(frxClassGeometry, pageAlignsBandsToPrintableArea)
{
    TfrxReportPage page;
    page.LeftMargin = 10;
    page.RightMargin = 10;
    page.TopMargin = 20;
    page.BottomMargin = 7;
    auto *band = new TfrxMasterData(&page);
    band->SetLeft(3);
    auto *vertical = new TfrxMasterData(&page);
    vertical->Vertical = true;
    vertical->SetTop(100);
    auto *client = memoAt(band, 1, 1, 1, 1, baClient);
    band->SetHeight(50);
    page.AlignChildren();
    EXPECT_EQ(band->Width(), 190 * fr01cm - 3);
    EXPECT_EQ(vertical->Height(), 270 * fr01cm - 100);
    EXPECT_EQ(client->Width(), 190 * fr01cm - 3);
    EXPECT_EQ(page.Width(), 794);
    EXPECT_EQ(page.Height(), 1123);
}

TEST(frxClassPages, freshPageIsA4Portrait)
{
    TfrxReportPage page;
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.PaperHeight(), 297);
    EXPECT_EQ(page.Width(), 794);
    EXPECT_EQ(page.Height(), 1123);
    EXPECT_EQ(page.Orientation(), poPortrait);
    EXPECT_EQ(page.Bin, 7);
    EXPECT_EQ(page.Color, clTransparent);
}

TEST(frxClassPages, orientationSwapsPaperAndTurnsMargins)
{
    TfrxReportPage page;
    page.LeftMargin = 1;
    page.TopMargin = 2;
    page.RightMargin = 3;
    page.BottomMargin = 4;
    page.SetOrientation(poLandscape);
    EXPECT_EQ(page.PaperWidth(), 297);
    EXPECT_EQ(page.PaperHeight(), 210);
    EXPECT_EQ(page.Width(), 1123);
    EXPECT_EQ(page.Height(), 794);
    EXPECT_EQ(page.LeftMargin, 2);
    EXPECT_EQ(page.RightMargin, 4);
    EXPECT_EQ(page.TopMargin, 3);
    EXPECT_EQ(page.BottomMargin, 1);
    page.SetOrientation(poLandscape);
    EXPECT_EQ(page.PaperWidth(), 297);
    EXPECT_EQ(page.LeftMargin, 2);
    page.SetOrientation(poPortrait);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.LeftMargin, 1);
    EXPECT_EQ(page.RightMargin, 3);
    EXPECT_EQ(page.TopMargin, 2);
    EXPECT_EQ(page.BottomMargin, 4);
    EXPECT_EQ(page.PaperSize(), 9);
}

TEST(frxClassPages, paperSetters)
{
    TfrxReportPage page;
    page.SetPaperWidth(100.123456789L);
    EXPECT_EQ(floatToText(page.PaperWidth()), QStringLiteral("100.12345679"));
    EXPECT_EQ(page.PaperSize(), 256);
    EXPECT_EQ(page.Width(), 378);

    page.SetOrientation(poLandscape);
    page.SetPaperSize(11); // A5 148 x 210, swapped for landscape
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.PaperHeight(), 148);
    EXPECT_EQ(page.Height(), 559);
    page.SetPaperSize(48); // unknown code: sizes stay
    EXPECT_EQ(page.PaperSize(), 48);
    EXPECT_EQ(page.PaperWidth(), 210);
    page.SetPaperSize(300);
    EXPECT_EQ(page.PaperSize(), 300);

    // The card job: landscape first, then the card's own size.
    TfrxReportPage card;
    card.SetOrientation(poLandscape);
    card.SetPaperWidth(220);
    card.SetPaperHeight(150);
    EXPECT_EQ(card.PaperWidth(), 220);
    EXPECT_EQ(card.PaperHeight(), 150);
    EXPECT_EQ(card.Width(), 831);
    EXPECT_EQ(card.Height(), 567);
}

TEST(frxClassPages, columnsFillPositions)
{
    TfrxReportPage page;
    page.LeftMargin = 10;
    page.RightMargin = 20;
    page.SetColumns(3);
    EXPECT_EQ(page.ColumnWidth, 60);
    EXPECT_EQ(page.ColumnPositions,
              (QStringList{QStringLiteral("0"), QStringLiteral("60"), QStringLiteral("120")}));
    page.SetColumns(0);
    EXPECT_EQ(page.Columns(), 0);
    EXPECT_TRUE(page.ColumnPositions.isEmpty());
    EXPECT_EQ(page.ColumnWidth, 60);
    page.SetPageCount(0);
    EXPECT_EQ(page.PageCount(), 1);
}

TEST(frxClassPages, findBandAndDataPage)
{
    TfrxReportPage page;
    new TfrxPageHeader(&page);
    auto *master = new TfrxMasterData(&page);
    EXPECT_EQ(page.FindBand(u"TfrxDataBand"), master);
    EXPECT_EQ(page.FindBand(u"TfrxFooter"), nullptr);
    TfrxDataPage data;
    EXPECT_EQ(data.Width(), 1000);
    EXPECT_EQ(data.Height(), 1000);
}
