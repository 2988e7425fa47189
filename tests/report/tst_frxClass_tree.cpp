// Tree, ownership, names, fonts, bindings and the property registry of the report objects.
#include "report/objects/frxClass.h"
#include "support/fakedataset.h"

#include <gtest/gtest.h>

using namespace frx;

namespace {

QString names(const QList<TfrxComponent *> &objects)
{
    QStringList list;
    for (const TfrxComponent *object : objects)
        list.append(object->Name());
    return list.join(u',');
}

// The card report's shape: data page, page with a master data band holding two text objects.
struct CardReport {
    TfrxReport report;
    TfrxDataPage *data = new TfrxDataPage(&report);
    TfrxReportPage *page = new TfrxReportPage(&report);
    TfrxMasterData *band = new TfrxMasterData(page);
    TfrxMemoView *m0 = new TfrxMemoView(band);
    TfrxMemoView *m1 = new TfrxMemoView(band);
    CardReport()
    {
        data->SetName(QStringLiteral("Data"));
        page->SetName(QStringLiteral("Page1"));
        band->SetName(QStringLiteral("MasterData1"));
        m0->SetName(QStringLiteral("m0"));
        m1->SetName(QStringLiteral("m1"));
    }
};

} // namespace

TEST(frxClassTree, allObjectsListsDescendantsInPreOrder)
{
    CardReport card;
    EXPECT_EQ(names(card.report.AllObjects()), QStringLiteral("Data,Page1,MasterData1,m0,m1"));
    EXPECT_EQ(names(card.band->AllObjects()), QStringLiteral("m0,m1"));
    EXPECT_EQ(card.m0->Page(), card.page);
    EXPECT_EQ(card.m0->OwnerReport(), &card.report);
    EXPECT_EQ(card.m0->Owner(), &card.report);
    EXPECT_EQ(card.report.Components().size(), 5);
}

TEST(frxClassTree, findObjectFoldsAsciiCaseOnly)
{
    CardReport card;
    EXPECT_EQ(card.report.FindObject(u"M0"), card.m0);
    EXPECT_EQ(card.report.FindObject(u"masterdata1"), card.band);
    EXPECT_EQ(card.band->FindObject(u"Page1"), nullptr);
    card.m1->SetName(QStringLiteral("Ä甲"));
    EXPECT_EQ(card.report.FindObject(u"Ä甲"), card.m1);
    EXPECT_EQ(card.report.FindObject(u"ä甲"), nullptr);
    EXPECT_EQ(card.report.FindObject(u"m9"), nullptr);
}

TEST(frxClassTree, findObjectWithEmptyNameReturnsFirstUnnamed)
{
    CardReport card;
    EXPECT_EQ(card.report.FindObject(u""), nullptr);
    auto *unnamed = new TfrxMemoView(card.band);
    EXPECT_EQ(card.report.FindObject(u""), unnamed);
}

TEST(frxClassTree, nameRules)
{
    CardReport card;
    card.m1->SetName(QStringLiteral("M1"));
    EXPECT_EQ(card.m1->Name(), QStringLiteral("m1"));
    try {
        card.m1->SetName(QStringLiteral("M0"));
        FAIL();
    } catch (const platform::Error &error) {
        EXPECT_EQ(error.message(), QStringLiteral("prDupl"));
    }
    EXPECT_EQ(card.m1->Name(), QStringLiteral("m1"));
    EXPECT_THROW(card.m1->SetName(QStringLiteral("1x")), platform::Error);
    EXPECT_THROW(card.m1->SetName(QStringLiteral("a b")), platform::Error);
    card.m1->SetName(QStringLiteral("姓名_2"));
    EXPECT_EQ(card.m1->Name(), QStringLiteral("姓名_2"));

    card.m1->SetAncestor(true);
    try {
        card.m1->SetName(QStringLiteral("x"));
        FAIL();
    } catch (const platform::Error &error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("Could not rename 姓名_2, it was introduced in the ancestor report"));
    }
}

TEST(frxClassTree, createUniqueNameSkipsUsedNamesIgnoringCase)
{
    CardReport card;
    card.m0->SetName(QStringLiteral("MEMO1"));
    auto *memo = new TfrxMemoView(card.band);
    memo->CreateUniqueName();
    EXPECT_EQ(memo->Name(), QStringLiteral("Memo2"));
    auto *page = new TfrxReportPage(&card.report);
    page->CreateUniqueName();
    EXPECT_EQ(page->Name(), QStringLiteral("Page2"));
    auto *header = new TfrxGroupHeader(card.page);
    header->CreateUniqueName();
    EXPECT_EQ(header->Name(), QStringLiteral("GroupHeader1"));
    EXPECT_EQ(TfrxPictureView().NamePrefix(), QStringLiteral("Picture"));
}

TEST(frxClassTree, parentChangeMovesAndTakesFont)
{
    CardReport card;
    auto *other = new TfrxMasterData(card.page);
    FontValue font;
    font.name = QStringLiteral("@楷体");
    other->SetFont(font);
    card.m0->SetParent(other);
    EXPECT_EQ(names(card.band->Objects()), QStringLiteral("m1"));
    EXPECT_EQ(names(other->Objects()), QStringLiteral("m0"));
    EXPECT_EQ(card.m0->Font().name, QStringLiteral("@楷体"));
    EXPECT_TRUE(card.m0->ParentFont());
    EXPECT_THROW(card.band->SetParent(card.m1), platform::Error);
    EXPECT_EQ(card.band->Parent(), card.page);
}

TEST(frxClassTree, fontChangesPropagateToChildrenThatFollow)
{
    CardReport card;
    FontValue own;
    own.name = QStringLiteral("宋体");
    card.m1->SetFont(own);
    EXPECT_FALSE(card.m1->ParentFont());

    FontValue bandFont;
    bandFont.name = QStringLiteral("黑体");
    bandFont.setSize(14);
    card.band->SetFont(bandFont);
    EXPECT_FALSE(card.band->ParentFont());
    EXPECT_EQ(card.m0->Font().name, QStringLiteral("黑体"));
    EXPECT_EQ(card.m0->Font().height, -19);
    EXPECT_TRUE(card.m0->ParentFont());
    EXPECT_EQ(card.m1->Font().name, QStringLiteral("宋体"));

    card.m1->SetParentFont(true);
    EXPECT_EQ(card.m1->Font().name, QStringLiteral("黑体"));
    EXPECT_TRUE(writeProperty(card.band, u"Font.Name", QStringLiteral("Arial")));
    EXPECT_EQ(card.m1->Font().name, QStringLiteral("Arial"));
}

TEST(frxClassTree, clearKeepsAncestorObjectsAndClearsThem)
{
    CardReport card;
    card.page->SetAncestor(true);
    card.report.TfrxComponent::Clear();
    EXPECT_EQ(names(card.report.AllObjects()), QStringLiteral("Page1"));
}

TEST(frxClassTree, destroyedReferencesAreCleared)
{
    CardReport card;
    auto *child = new TfrxChild(card.page);
    card.band->SetChild(child);
    card.m0->SetFlowTo(card.m1);
    testsupport::FakeDataSet dataSet(nullptr, QStringLiteral("frxdbdtst1"));
    card.band->SetDataSetName(QStringLiteral("frxdbdtst1"));
    card.m0->SetDataSet(&dataSet);
    EXPECT_EQ(card.band->DataSet(), &dataSet);
    EXPECT_EQ(card.m0->DataSetName(), QStringLiteral("frxdbdtst1"));

    delete child;
    delete card.m1;
    EXPECT_EQ(card.band->Child(), nullptr);
    EXPECT_EQ(card.m0->FlowTo(), nullptr);
    EXPECT_EQ(names(card.band->Objects()), QStringLiteral("m0"));
}

TEST(frxClassTree, dataSetNameBindingKeepsPreviousOnUnknownName)
{
    CardReport card;
    testsupport::FakeDataSet guests(nullptr, QStringLiteral("frxdbdtst1"));
    card.m0->SetDataSetName(QStringLiteral("FRXDBDTST1"));
    EXPECT_EQ(card.m0->DataSet(), &guests);
    card.m0->DataField = QStringLiteral("姓名");
    EXPECT_TRUE(card.m0->IsDataField());
    card.m0->SetDataSetName(QStringLiteral("无此数据"));
    EXPECT_EQ(card.m0->DataSet(), &guests);
    EXPECT_EQ(card.m0->DataSetName(), QStringLiteral("frxdbdtst1"));
    card.m0->SetDataSetName(QString());
    EXPECT_EQ(card.m0->DataSet(), nullptr);
    EXPECT_EQ(card.m0->DataSetName(), QString());

    // A free object belongs to no report: the reference stays.
    TfrxMemoView free;
    free.SetDataSet(&guests);
    free.SetDataSetName(QStringLiteral("other"));
    EXPECT_EQ(free.DataSet(), &guests);
    EXPECT_EQ(free.DataSetName(), QStringLiteral("frxdbdtst1"));
}

TEST(frxClassTree, destroyingDataSetClearsReferenceButKeepsName)
{
    CardReport card;
    auto *guests = new testsupport::FakeDataSet(nullptr, QStringLiteral("frxdbdtst1"));
    card.band->SetDataSet(guests);
    card.report.SetDataSet(guests);
    card.report.Datasets.Add()->SetDataSet(guests);
    delete guests;
    EXPECT_EQ(card.band->DataSet(), nullptr);
    EXPECT_EQ(card.band->DataSetName(), QStringLiteral("frxdbdtst1"));
    EXPECT_EQ(card.report.DataSet(), nullptr);
    EXPECT_EQ(card.report.Datasets.Count(), 0);
}

TEST(frxClassTree, childChainMustNotBeCircular)
{
    CardReport card;
    auto *a = new TfrxChild(card.page);
    auto *b = new TfrxChild(card.page);
    a->SetChild(b);
    try {
        b->SetChild(a);
        FAIL();
    } catch (const platform::Error &error) {
        EXPECT_EQ(error.message(), QStringLiteral("Circular child reference is not allowed"));
    }
    EXPECT_EQ(b->Child(), nullptr);
    EXPECT_THROW(a->SetChild(a), platform::Error);
    EXPECT_EQ(a->Child(), b);
}

TEST(frxClassProperties, publishedOrderOfTheTextObject)
{
    QStringList order;
    for (const PropInfo *info : TfrxMemoView::staticClassInfo().all)
        order.append(info->name);
    EXPECT_EQ(
        order.join(u' '),
        QStringLiteral("Name Tag Description Align Printable ShiftMode Left Top Width Height GroupIndex "
                       "Restrictions Visible OnAfterData OnAfterPrint OnBeforePrint OnPreviewClick "
                       "OnPreviewDblClick Hint ShowHint StretchMode FirstParaBreak LastParaBreak Cursor "
                       "TagStr URL AutoWidth AllowExpressions AllowHTMLTags BrushStyle CharSpacing Clipped "
                       "Color DataField DataSet DataSetName DisplayFormat ExpressionDelimiters FlowTo Font "
                       "Frame GapX GapY HAlign HideZeros Highlight LineSpacing Memo ParagraphGap ParentFont "
                       "Rotation RTLReading Style SuppressRepeated Underlines UseDefaulCharset WordBreak "
                       "WordWrap Wysiwyg VAlign"));
}

TEST(frxClassProperties, publishedOrderOfTheReportPage)
{
    QStringList order;
    for (const PropInfo *info : TfrxReportPage::staticClassInfo().all)
        order.append(info->name);
    EXPECT_EQ(
        order.join(u' '),
        QStringLiteral("Name Tag Font Visible Orientation PaperWidth PaperHeight PaperSize LeftMargin "
                       "RightMargin TopMargin BottomMargin MirrorMargins Columns ColumnWidth ColumnPositions "
                       "Bin BinOtherPages BackPictureVisible BackPicturePrintable PageCount Color DataSet "
                       "DataSetName Duplex Frame EndlessHeight EndlessWidth LargeDesignHeight OutlineText "
                       "PrintIfEmpty PrintOnPreviousPage ResetPageNumbers TitleBeforeHeader HGuides VGuides "
                       "OnAfterPrint OnBeforePrint OnManualBuild"));
}

TEST(frxClassProperties, dottedNamesWalkValueObjects)
{
    TfrxMemoView memo;
    EXPECT_TRUE(writeProperty(&memo, u"frame.leftline.color", qint64(255)));
    EXPECT_EQ(memo.Frame().LeftLine.Color, 255);
    EXPECT_TRUE(writeProperty(&memo, u"Frame.Width", Extended(2)));
    EXPECT_EQ(memo.Frame().TopLine.Width, 2);
    EXPECT_TRUE(writeProperty(&memo, u"Highlight.Font.Color", qint64(0xFF00)));
    EXPECT_EQ(memo.Highlight().Font.color, 0xFF00);
    EXPECT_TRUE(memo.ParentFont());
    EXPECT_TRUE(writeProperty(&memo, u"Font.Size", qint64(22)));
    EXPECT_EQ(memo.Font().height, -29);
    EXPECT_FALSE(memo.ParentFont());
    EXPECT_EQ(std::get<qint64>(readProperty(&memo, u"VAlign")), qint64(vaTop));
    EXPECT_FALSE(writeProperty(&memo, u"Frame.Nothing", qint64(1)));
    EXPECT_FALSE(writeProperty(&memo, u"Left.Color", qint64(1)));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(readProperty(&memo, u"NoSuchProperty")));

    const auto path = resolveProperty(&memo, u"Memo.Text");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->info->kind, PropKind::TextStore);
    EXPECT_EQ(path->rest, QStringLiteral("Text"));
}

TEST(frxClassProperties, settersCheckKindsRangesAndReferences)
{
    CardReport card;
    const PropInfo *valign = card.m0->classInfo()->property(u"VAlign");
    valign->setValue(card.m0, QStringLiteral("vaCenter"));
    EXPECT_EQ(card.m0->VAlign, vaCenter);
    EXPECT_THROW(valign->setValue(card.m0, QStringLiteral("vaMiddle")), platform::Error);
    EXPECT_THROW(valign->setValue(card.m0, qint64(3)), platform::Error);
    EXPECT_EQ(card.m0->VAlign, vaCenter);
    EXPECT_THROW(writeProperty(card.m0, u"Frame.Typ", qint64(16)), platform::Error);
    EXPECT_THROW(writeProperty(card.m0, u"Left", QStringLiteral("1")), platform::Error);
    // A text object is not a data set.
    EXPECT_THROW(writeProperty(card.m0, u"DataSet", static_cast<TfrxComponent *>(card.m1)), platform::Error);
    EXPECT_TRUE(writeProperty(card.m0, u"FlowTo", static_cast<TfrxComponent *>(card.m1)));
    EXPECT_EQ(card.m0->FlowTo(), card.m1);
    EXPECT_TRUE(writeProperty(card.m0, u"Rotation", qint64(450)));
    EXPECT_EQ(card.m0->Rotation(), 90);
}

TEST(frxClassProperties, classRegistryCreatesByName)
{
    EXPECT_EQ(findClass(u"tfrxmemoview"), &TfrxMemoView::staticClassInfo());
    EXPECT_TRUE(findClass(u"TfrxMasterData")->inTemplateRegistry);
    EXPECT_FALSE(findClass(u"TfrxDataBand")->inTemplateRegistry);
    EXPECT_FALSE(findClass(u"TfrxBand")->inTemplateRegistry);
    EXPECT_EQ(findClass(u"TfrxUnknown"), nullptr);

    TfrxReport report;
    auto *page = findClass(u"TfrxReportPage")->create(&report);
    auto *band = findClass(u"TfrxMasterData")->create(page);
    EXPECT_EQ(band->ClassName(), QStringLiteral("TfrxMasterData"));
    EXPECT_TRUE(band->InheritsFrom(u"TfrxDataBand"));
    EXPECT_EQ(band->Parent(), page);
    EXPECT_EQ(report.PagesCount(), 1);
    EXPECT_FALSE(findClass(u"TfrxFrame")->create);
}
