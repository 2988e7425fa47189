// Small reports prepared and compared band by band with the places the engine's rules give: the
// bands of a page start and end, columns of bands and of pages, repeated headers, kept footers and
// children, split bands, endless pages, pages continued on the previous one and reports run per record.
// The page is 210 x 290 mm without margins: 793.7013 units wide, 1096.0637 high.
#include "report/objects/frxClass.h"
#include "report/objects/frxDBSet.h"
#include "report/engine/frxPreviewPages.h"
#include "tests/report/support/bandfixture.h"
#include "tests/support/gui_environment.h"

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

QT_BEGIN_NAMESPACE
// Failures show the lists as text.
inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << list.join(u" | "_s).toStdString();
}
QT_END_NAMESPACE

namespace {

using bandfixture::Table;

struct Golden : bandfixture::Fixture {
    // "Name left,top,height" of every band on a prepared page; values as stored, else the source's.
    QStringList placesOn(int index)
    {
        QStringList result;
        const TfrxXMLItem *page = pages().PageItem(index);
        for (int i = 0; i < page->Count(); ++i) {
            const TfrxXMLItem *b = page->Items(i);
            TfrxComponent *source = pages().Dictionary().GetObject(b->Name());
            auto value = [&](QStringView attribute, Extended fallback) {
                const QString stored = b->Prop(attribute);
                return stored.isEmpty() ? QString::number(double(fallback)) : stored;
            };
            result << u"%1 %2,%3,%4"_s.arg(sourceName(b), value(u"l", source ? source->Left() : 0),
                                           value(u"t", source ? source->Top() : 0),
                                           value(u"h", source ? source->Height() : 0));
        }
        return result;
    }
    QStringList allPages()
    {
        QStringList result;
        for (int i = 0; i < pages().Count(); ++i)
            result << u"page %1"_s.arg(i + 1) << placesOn(i);
        return result;
    }
    template <typename Band> Band *add(const QString &name, Extended top, Extended height)
    {
        return band<Band>(page, name, top, height);
    }
    static TfrxShapeView *shape(TfrxBand *owner, const QString &name, Extended top, Extended height)
    {
        auto *s = new TfrxShapeView(owner);
        s->SetName(name);
        s->SetBounds(0, top, 50, height);
        return s;
    }
    QString textOf(int pageIndex, int bandIndex, int objectIndex = 0)
    {
        return pages().PageItem(pageIndex)->Items(bandIndex)->Items(objectIndex)->Prop(u"u").trimmed();
    }
};

// Every kind of page band around four rows of 300, which need two pages.
struct PageBands : Golden {
    TfrxReportTitle *title = add<TfrxReportTitle>(u"Title"_s, 0, 30);
    TfrxChild *titleChild = add<TfrxChild>(u"TitleChild"_s, 40, 5);
    TfrxPageHeader *pageHeader = add<TfrxPageHeader>(u"PageHeader"_s, 50, 20);
    TfrxColumnHeader *columnHeader = add<TfrxColumnHeader>(u"ColumnHeader"_s, 80, 10);
    TfrxMasterData *data = master(page, u"Data"_s, 100, 300, rows);
    TfrxColumnFooter *columnFooter = add<TfrxColumnFooter>(u"ColumnFooter"_s, 500, 15);
    TfrxReportSummary *summary = add<TfrxReportSummary>(u"Summary"_s, 600, 40);
    TfrxPageFooter *pageFooter = add<TfrxPageFooter>(u"PageFooter"_s, 700, 25);
    TfrxOverlay *overlay = add<TfrxOverlay>(u"Overlay"_s, 800, 50);
    PageBands()
    {
        setRows(rows, {u"1"_s, u"2"_s, u"3"_s, u"4"_s});
        title->SetChild(titleChild);
    }
};

} // namespace

TEST(frxEngineGolden, pageBandsTakeTheirPlacesAroundTheRowsOnEveryPage)
{
    PageBands f;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // The overlay lies under everything; the title and its child come once, before the page header;
    // the rows start below the column header and the room above the footers (1096.0637 - 15 - 25)
    // holds three; the column footer follows the last row, the page footer sits on the page bottom.
    EXPECT_EQ(
        f.allPages(),
        (QStringList{u"page 1"_s, u"Overlay 0,0,50"_s, u"Title 0,0,30"_s, u"TitleChild 0,30,5"_s,
                     u"PageHeader 0,35,20"_s, u"ColumnHeader 0,55,10"_s, u"Data 0,65,300"_s,
                     u"Data 0,365,300"_s, u"Data 0,665,300"_s, u"ColumnFooter 0,965,15"_s,
                     u"PageFooter 0,1071.0637,25"_s, u"page 2"_s, u"Overlay 0,0,50"_s, u"PageHeader 0,0,20"_s,
                     u"ColumnHeader 0,20,10"_s, u"Data 0,30,300"_s, u"ColumnFooter 0,330,15"_s,
                     u"Summary 0,345,40"_s, u"PageFooter 0,1071.0637,25"_s}));

    // Title after the page header; an overlay on top comes last, at the top of the page.
    f.page->TitleBeforeHeader = false;
    f.overlay->PrintOnTop = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.placesOn(0), (QStringList{u"PageHeader 0,0,20"_s, u"Title 0,20,30"_s, u"TitleChild 0,50,5"_s,
                                          u"ColumnHeader 0,55,10"_s, u"Data 0,65,300"_s, u"Data 0,365,300"_s,
                                          u"Data 0,665,300"_s, u"ColumnFooter 0,965,15"_s,
                                          u"PageFooter 0,1071.0637,25"_s, u"Overlay 0,0,50"_s}));
}

TEST(frxEngineGolden, childBandsFollowTheirBandKeptWithItAndEvenWhenItIsHidden)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s});
    TfrxMasterData *data = f.master(f.page, u"Data"_s, 0, 300, f.rows);
    auto *child = f.add<TfrxChild>(u"Child"_s, 400, 300);
    data->SetChild(child);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // The second child has 196.06 left on the first page: it goes on alone.
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,300"_s, u"Child 0,300,300"_s,
                                         u"Data 0,600,300"_s, u"page 2"_s, u"Child 0,0,300"_s}));

    data->KeepChild = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,300"_s, u"Child 0,300,300"_s, u"page 2"_s,
                                         u"Data 0,0,300"_s, u"Child 0,300,300"_s}));

    data->KeepChild = false;
    data->SetVisible(false);
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.placesOn(0), QStringList());
    data->PrintChildIfInvisible = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.placesOn(0), (QStringList{u"Child 0,0,300"_s, u"Child 0,300,300"_s}));
}

TEST(frxEngineGolden, headersRepeatOnlyWhenAskedAndFootersComeAfterEachRowOrKeepTheLastRow)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s, u"3"_s});
    auto *header = f.add<TfrxHeader>(u"Header"_s, 0, 20);
    f.master(f.page, u"Data"_s, 100, 400, f.rows);
    auto *footer = f.add<TfrxFooter>(u"Footer"_s, 600, 300);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.allPages(),
              (QStringList{u"page 1"_s, u"Header 0,0,20"_s, u"Data 0,20,400"_s, u"Data 0,420,400"_s,
                           u"page 2"_s, u"Data 0,0,400"_s, u"Footer 0,400,300"_s}));

    header->ReprintOnNewPage = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.placesOn(1), (QStringList{u"Header 0,0,20"_s, u"Data 0,20,400"_s, u"Footer 0,420,300"_s}));

    // Two rows leave 296.06, too little for the footer: with KeepFooter the last row goes with it.
    header->ReprintOnNewPage = false;
    header->SetVisible(false);
    Golden::setRows(f.rows, {u"1"_s, u"2"_s});
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,400"_s, u"Data 0,400,400"_s, u"page 2"_s,
                                         u"Footer 0,0,300"_s}));
    auto *data = dynamic_cast<TfrxDataBand *>(f.report.FindObject(u"Data"_s));
    data->KeepFooter = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,400"_s, u"page 2"_s, u"Data 0,0,400"_s,
                                         u"Footer 0,400,300"_s}));

    data->KeepFooter = false;
    data->FooterAfterEach = true;
    footer->SetHeight(10);
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,400"_s, u"Footer 0,400,10"_s,
                                         u"Data 0,410,400"_s, u"Footer 0,810,10"_s}));
}

TEST(frxEngineGolden, bandColumnsFillRowsAcrossAndARowBelowThePageMovesWhole)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s});
    TfrxMasterData *data = f.master(f.page, u"Data"_s, 0, 100, f.rows);
    data->Columns = 3;
    data->ColumnWidth = 200;
    data->ColumnGap = 20;
    f.add<TfrxFooter>(u"Footer"_s, 200, 10);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.placesOn(0), (QStringList{u"Data 0,0,100"_s, u"Data 220,0,100"_s, u"Data 440,0,100"_s,
                                          u"Data 0,100,100"_s, u"Data 220,100,100"_s, u"Data 440,100,100"_s,
                                          u"Data 0,200,100"_s, u"Footer 0,300,10"_s}));

    // Rows of 400: the third row would end at 1200, so its three bands move to the next page.
    data->SetHeight(400);
    Golden::setRows(f.rows, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s});
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.allPages(),
              (QStringList{u"page 1"_s, u"Data 0,0,400"_s, u"Data 220,0,400"_s, u"Data 440,0,400"_s,
                           u"Data 0,400,400"_s, u"Data 220,400,400"_s, u"Data 440,400,400"_s, u"page 2"_s,
                           u"Data 0,0,400"_s, u"Data 220,0,400"_s, u"Footer 0,400,10"_s}));
}

TEST(frxEngineGolden, pageColumnsStartAtTheirPositionsWithTheColumnHeaderAndFooter)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    f.page->SetColumns(2);
    f.page->ColumnPositions = {u"0"_s, u"100"_s};
    f.add<TfrxColumnHeader>(u"ColumnHeader"_s, 0, 10);
    f.master(f.page, u"Data"_s, 100, 400, f.rows);
    f.add<TfrxColumnFooter>(u"ColumnFooter"_s, 600, 15);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // 100 mm = 377.953 units; each column holds two rows above the column footer.
    EXPECT_EQ(
        f.allPages(),
        (QStringList{u"page 1"_s, u"ColumnHeader 0,0,10"_s, u"Data 0,10,400"_s, u"Data 0,410,400"_s,
                     u"ColumnFooter 0,810,15"_s, u"ColumnHeader 377.953,0,10"_s, u"Data 377.953,10,400"_s,
                     u"Data 377.953,410,400"_s, u"ColumnFooter 377.953,810,15"_s, u"page 2"_s,
                     u"ColumnHeader 0,0,10"_s, u"Data 0,10,400"_s, u"ColumnFooter 0,410,15"_s}));
}

TEST(frxEngineGolden, aSplittableBandFillsThePageAndGoesOnOnTheNext)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s, u"3"_s});
    TfrxMasterData *data = f.master(f.page, u"Data"_s, 0, 400, f.rows);
    Golden::shape(data, u"S1"_s, 0, 100);
    Golden::shape(data, u"S2"_s, 250, 100);
    Golden::shape(data, u"S3"_s, 360, 40);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,400"_s, u"Data 0,400,400"_s, u"page 2"_s,
                                         u"Data 0,0,400"_s}));

    // 296.06 are left for the third row: S1 fits there; S2, which does not, starts the next part,
    // and S3 keeps its distance below it.
    data->AllowSplit = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,400"_s, u"Data 0,400,400"_s,
                                         u"Data 0,800,100"_s, u"page 2"_s, u"Data 0,0,150"_s}));
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(2)), (QStringList{u"S1 0 0 "_s}));
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(1)->Items(0)), (QStringList{u"S2 0 0 "_s, u"S3 0 110 "_s}));
}

TEST(frxEngineGolden, endlessPagesGrowToHoldEveryRow)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    f.master(f.page, u"Data"_s, 0, 400, f.rows);
    f.add<TfrxPageFooter>(u"PageFooter"_s, 600, 20);
    f.add<TfrxReportSummary>(u"Summary"_s, 500, 30);
    f.page->EndlessHeight = true;
    f.page->TopMargin = 10;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    // The page is as tall as the rows and the footer, plus the summary, plus the top margin.
    EXPECT_EQ(f.allPages(), (QStringList{u"page 1"_s, u"Data 0,0,400"_s, u"Data 0,400,400"_s,
                                         u"Data 0,800,400"_s, u"Data 0,1200,400"_s, u"Data 0,1600,400"_s,
                                         u"Summary 0,2000,30"_s, u"PageFooter 0,2030,20"_s}));
    EXPECT_NEAR(double(f.pages().Page(0)->PaperHeight()), (2050 + 37.7953) / 3.77953, 0.01);
    EXPECT_NEAR(double(f.pages().Page(0)->PaperWidth()), 210, 0.01);
}

TEST(frxEngineGolden, anEndlessWidthPageGrowsForVerticalBandsBeyondIt)
{
    Golden f;
    Golden::setRows(f.rows, {u"r"_s});
    Golden::setRows(f.cols, {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s});
    TfrxMasterData *column = f.master(f.page, u"Column"_s, 0, 0, f.cols);
    column->Vertical = true;
    column->SetBounds(100, 0, 250, 0);
    TfrxMasterData *row = f.master(f.page, u"Row"_s, 10, 30, f.rows);
    Golden::memo(row, u"cell"_s, 110, 0, 200, 20, u"[cols.\"v\"]"_s);
    f.page->EndlessWidth = true;
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 1);
    EXPECT_EQ(f.objectsOf(f.pages().PageItem(0)->Items(0)),
              (QStringList{u"cell 10 0 a"_s, u"cell 260 0 b"_s, u"cell 510 0 c"_s, u"cell 760 0 d"_s,
                           u"cell 1010 0 e"_s}));
    // Two columns beyond the 793.70 units widen the page by two band widths.
    EXPECT_NEAR(double(f.pages().Page(0)->PaperWidth()), 210 + 500 / 3.77953, 0.01);
}

TEST(frxEngineGolden, aPageGoesOnOnThePreviousPageAndPageNumbersRestartWhenAsked)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s, u"3"_s, u"4"_s});
    Golden::setRows(f.cols, {u"a"_s});
    f.master(f.page, u"Data"_s, 100, 300, f.rows);
    auto *footer = f.add<TfrxPageFooter>(u"PageFooter"_s, 600, 20);
    Golden::memo(footer, u"number"_s, 0, 0, 100, 20, u"[Page]/[Page#]"_s);
    TfrxReportPage *second = f.addPage(u"Page2"_s);
    f.band<TfrxReportTitle>(second, u"Title2"_s, 0, 30);
    f.master(second, u"Data2"_s, 100, 300, f.cols);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 3);
    EXPECT_EQ(f.placesOn(2), (QStringList{u"Title2 0,0,30"_s, u"Data2 0,30,300"_s}));
    EXPECT_EQ(f.textOf(0, 3), u"1/1"_s);
    EXPECT_EQ(f.textOf(1, 1), u"2/2"_s);

    second->PrintOnPreviousPage = true;
    ASSERT_TRUE(f.prepare());
    ASSERT_EQ(f.pages().Count(), 2);
    EXPECT_EQ(f.placesOn(1), (QStringList{u"Data 0,0,300"_s, u"PageFooter 0,1076.0637,20"_s,
                                          u"Title2 0,300,30"_s, u"Data2 0,330,300"_s}));

    second->PrintOnPreviousPage = false;
    second->ResetPageNumbers = true;
    auto *footer2 = f.band<TfrxPageFooter>(second, u"PageFooter2"_s, 600, 20);
    Golden::memo(footer2, u"number2"_s, 0, 0, 100, 20, u"[Page]/[Page#]"_s);
    ASSERT_TRUE(f.prepare());
    ASSERT_EQ(f.pages().Count(), 3);
    EXPECT_EQ(f.textOf(2, 2), u"1/3"_s);
}

TEST(frxEngineGolden, aReportDataSetRunsThePagesOncePerRecordAndEmptyDetailsHideTheirMaster)
{
    Golden f;
    Golden::setRows(f.rows, {u"1"_s, u"2"_s});
    Golden::setRows(f.cols, {u"a"_s, u"b"_s, u"c"_s});
    TfrxMasterData *data = f.master(f.page, u"Data"_s, 100, 20, f.cols);
    Golden::memo(data, u"cell"_s, 0, 0, 100, 20, u"[rows.\"v\"][cols.\"v\"]"_s);
    f.report.SetDataSet(&f.rows.set);
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList.Text().toStdString();
    ASSERT_EQ(f.pages().Count(), 2);
    EXPECT_EQ(f.placesOn(1), (QStringList{u"Data 0,0,20"_s, u"Data 0,20,20"_s, u"Data 0,40,20"_s}));
    EXPECT_EQ(f.textOf(0, 0) + f.textOf(0, 2) + f.textOf(1, 0) + f.textOf(1, 2), u"1a1c2a2c"_s);

    // A master whose detail has no rows prints only with PrintIfDetailEmpty.
    f.report.SetDataSet(nullptr);
    data->SetDataSet(&f.rows.set);
    TfrxDetailData *detail = f.band<TfrxDetailData>(f.page, u"Detail"_s, 200, 20);
    detail->SetDataSet(&f.cols.set);
    Golden::setRows(f.cols, {});
    ASSERT_TRUE(f.prepare());
    ASSERT_EQ(f.pages().Count(), 1);
    EXPECT_EQ(f.placesOn(0), QStringList());
    data->PrintIfDetailEmpty = true;
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.placesOn(0), (QStringList{u"Data 0,0,20"_s, u"Data 0,20,20"_s}));
}
