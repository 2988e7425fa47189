// The report component: defaults, options, collections, errors, pages and clearing.
#include "report/objects/frxClass.h"
#include "support/fakedataset.h"
#include "tests/support/fakehost.h"

#include <platform/appdir.h>

#include <QBuffer>

#include <gtest/gtest.h>

using namespace frx;

TEST(frxReport, newReportDefaults)
{
    TfrxReport report;
    EXPECT_EQ(report.PagesCount(), 0);
    EXPECT_EQ(report.Version(), QStringLiteral("4.7.61"));
    EXPECT_EQ(report.ScriptText, (QStringList{QStringLiteral("begin"), QString(), QStringLiteral("end.")}));
    EXPECT_EQ(report.ScriptLanguage, QStringLiteral("PascalScript"));
    EXPECT_EQ(report.Datasets.Count(), 0);
    EXPECT_EQ(report.PrintOptions.Printer, QStringLiteral("预设"));
    EXPECT_EQ(report.PreviewOptions.Buttons, 4095u);
    EXPECT_TRUE(report.PreviewOptions.Modal);
    EXPECT_EQ(report.EngineOptions.NewSilentMode, simMessageBoxes);
    EXPECT_TRUE(report.EngineOptions.UseGlobalDataSetList);
    EXPECT_TRUE(report.ShowProgress);
    EXPECT_TRUE(report.StoreInDFM);
    EXPECT_TRUE(report.IniFile.startsWith(u"\\Software\\"));
    EXPECT_EQ(report.SystemVariables.size(), 9);
    EXPECT_GT(report.ReportOptions.CreateDate, 40000);
}

TEST(frxReport, versionSetterIgnoresItsArgument)
{
    TfrxReport report;
    report.SetVersion(QStringLiteral("1.0"));
    EXPECT_EQ(report.Version(), QStringLiteral("4.7.61"));
    EXPECT_TRUE(writeProperty(&report, u"Version", QStringLiteral("2.0")));
    EXPECT_EQ(report.Version(), QStringLiteral("4.7.61"));
}

TEST(frxReport, pagesIndexAllObjects)
{
    TfrxReport report;
    EXPECT_THROW(report.Pages(1), platform::Error);
    try {
        report.Pages(1);
    } catch (const platform::Error &error) {
        EXPECT_EQ(error.message(), QStringLiteral("List index out of bounds (1)"));
    }
    auto *data = new TfrxDataPage(&report);
    auto *card = new TfrxReportPage(&report);
    EXPECT_EQ(report.Pages(0), data);
    EXPECT_EQ(report.Pages(1), card);
    EXPECT_EQ(report.PagesCount(), 2);
}

TEST(frxReport, clearResetsSomeOptionsAndKeepsOthers)
{
    TfrxReport report;
    new TfrxReportPage(&report);
    report.PreviewOptions.OutlineWidth = 300;
    report.PreviewOptions.Zoom = 1.5L;
    report.EngineOptions.DoublePass = true;
    report.EngineOptions.MaxMemSize = 99;
    report.PrintOptions.Copies = 3;
    report.PrintOptions.ShowDialog = false;
    report.ReportOptions.Author = QStringLiteral("王五");
    report.ReportOptions.Password = QStringLiteral("密码");
    report.ScriptText = {QStringLiteral("x")};
    report.DotMatrixReport = true;
    report.OnStartReport = QStringLiteral("Start");
    report.Variables.SetValue(QStringLiteral("日期"), QStringLiteral("'2009'"));
    report.Styles.Add()->SetName(QStringLiteral("Body"));

    report.Clear();
    EXPECT_EQ(report.PagesCount(), 0);
    EXPECT_EQ(report.PreviewOptions.OutlineWidth, 120);
    EXPECT_EQ(report.PreviewOptions.Zoom, 1.5L);
    EXPECT_FALSE(report.EngineOptions.DoublePass);
    EXPECT_EQ(report.EngineOptions.MaxMemSize, 99);
    EXPECT_EQ(report.PrintOptions.Copies, 1);
    EXPECT_TRUE(report.PrintOptions.ShowDialog);
    EXPECT_TRUE(report.ReportOptions.Author.isEmpty());
    EXPECT_TRUE(report.ReportOptions.Password.isEmpty());
    EXPECT_EQ(report.ScriptText.size(), 3);
    EXPECT_FALSE(report.DotMatrixReport);
    EXPECT_TRUE(report.OnStartReport.isEmpty());
    EXPECT_EQ(report.Variables.Count(), 0);
    EXPECT_EQ(report.Styles.Count(), 0);
}

TEST(frxReport, optionCopiesFollowTheirRules)
{
    TfrxEngineOptions engine, engineSource;
    engineSource.MaxMemSize = 5;
    engineSource.ThreadSafe = true;
    engine.Assign(engineSource);
    EXPECT_EQ(engine.MaxMemSize, 5);
    EXPECT_FALSE(engine.ThreadSafe);

    engine.SetSilentMode(true);
    EXPECT_EQ(engine.NewSilentMode, simSilent);
    engine.NewSilentMode = simReThrow;
    EXPECT_FALSE(engine.SilentMode());
    engine.SetSilentMode(false);
    EXPECT_EQ(engine.NewSilentMode, simMessageBoxes);

    TfrxPrintOptions print, printSource;
    printSource.Printer = QStringLiteral("PDF");
    printSource.PagesOnSheet = 4;
    print.Assign(printSource);
    EXPECT_EQ(print.Printer, QStringLiteral("PDF"));
    EXPECT_EQ(print.PagesOnSheet, 0);

    TfrxReportOptions info, infoSource;
    infoSource.Name = QStringLiteral("请柬");
    infoSource.PrevPassword = QStringLiteral("old");
    info.Assign(infoSource);
    EXPECT_EQ(info.Name, QStringLiteral("请柬"));
    EXPECT_TRUE(info.PrevPassword.isEmpty());
}

TEST(frxReport, reportErrorFollowsSilentMode)
{
    TfrxReport report;
    static QString shownCaption, shownText;
    FakeHost host;
    host.errorBox = [](const QString &caption, const QString &text) {
        shownCaption = caption;
        shownText = text;
    };
    report.ReportError(QStringLiteral("出错了"));
    EXPECT_EQ(shownCaption, QStringLiteral("错误"));
    EXPECT_EQ(shownText, QStringLiteral("出错了"));

    shownText.clear();
    report.EngineOptions.NewSilentMode = simSilent;
    report.ReportError(QStringLiteral("静默"));
    EXPECT_TRUE(shownText.isEmpty());

    report.EngineOptions.NewSilentMode = simReThrow;
    try {
        report.ReportError(QStringLiteral("抛出"));
        FAIL();
    } catch (const platform::Error &error) {
        EXPECT_EQ(error.message(), QStringLiteral("抛出"));
    }
}

TEST(frxReport, errorListIsSortedWithoutDuplicates)
{
    TfrxReport report;
    report.ErrorList.Add(QStringLiteral("b"));
    report.ErrorList.Add(QStringLiteral("A"));
    report.ErrorList.Add(QStringLiteral("B"));
    report.ErrorList.Add(QStringLiteral("c"));
    EXPECT_EQ(report.ErrorList.Lines(),
              (QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(report.ErrorList.Text(), QStringLiteral("A\r\nb\r\nc\r\n"));
}

TEST(frxReport, getDatasetFindsByUserName)
{
    TfrxReport report;
    testsupport::FakeDataSet guests(nullptr, QStringLiteral("frxdbdtst1"));
    TfrxDataSetItem *item = report.Datasets.Add();
    item->SetDataSetName(QStringLiteral("frxdbdtst1"));
    EXPECT_EQ(item->DataSet(), &guests);
    EXPECT_EQ(report.GetDataset(QStringLiteral("FRXDBDTST1")), &guests);
    EXPECT_EQ(report.GetDataset(QStringLiteral("无")), nullptr);
    item->SetDataSetName(QString());
    EXPECT_EQ(item->DataSet(), nullptr);
}

TEST(frxReport, dataSetVisibleOnlyToItsOwnReport)
{
    TfrxReport owning, other;
    auto *dataPage = new TfrxDataPage(&owning);
    testsupport::FakeDataSet host(nullptr, QStringLiteral("frxdbdtst1"));
    auto *own = new testsupport::FakeDataSet(dataPage, QStringLiteral("自有"));
    auto *page = new TfrxReportPage(&other);
    auto *band = new TfrxMasterData(page);
    band->SetDataSetName(QStringLiteral("自有"));
    EXPECT_EQ(band->DataSet(), nullptr);
    band->SetDataSetName(QStringLiteral("frxdbdtst1"));
    EXPECT_EQ(band->DataSet(), &host);

    // Without the global list the report's own list decides, and an unknown name clears the reference.
    other.EngineOptions.UseGlobalDataSetList = false;
    other.EnabledDataSets.Add()->SetDataSet(own);
    band->SetDataSetName(QStringLiteral("自有"));
    EXPECT_EQ(band->DataSet(), own);
    band->SetDataSetName(QStringLiteral("frxdbdtst1"));
    EXPECT_EQ(band->DataSet(), nullptr);
}

TEST(frxReport, styleNamesAreUniqueIgnoringCase)
{
    TfrxReport report;
    report.Styles.Add()->SetName(QStringLiteral("Body"));
    TfrxStyleItem *second = report.Styles.Add();
    second->SetName(QStringLiteral("标题"));
    try {
        second->SetName(QStringLiteral("body"));
        FAIL();
    } catch (const platform::Error &error) {
        EXPECT_EQ(error.message(), QStringLiteral("Duplicate name"));
    }
    EXPECT_EQ(second->Name(), QStringLiteral("标题"));
    EXPECT_EQ(report.Styles.GetList(), (QStringList{QStringLiteral("Body"), QStringLiteral("标题")}));
    EXPECT_EQ(report.Styles.Find(QStringLiteral("BODY")), report.Styles.Items(0));
}

TEST(frxReport, variablesByNameIgnoringCase)
{
    TfrxVariables variables;
    EXPECT_TRUE(variables.Value(QStringLiteral("Year")).isNull());
    variables.SetValue(QStringLiteral("Year"), QStringLiteral("'二零零九'"));
    variables.SetValue(QStringLiteral("YEAR"), QStringLiteral("'2010'"));
    EXPECT_EQ(variables.Count(), 1);
    EXPECT_EQ(variables.Value(QStringLiteral("year")).toString(), QStringLiteral("'2010'"));
}

TEST(frxReport, applicationFolder)
{
    TfrxReport report;
    EXPECT_EQ(report.ApplicationFolder(), platform::applicationDir() + u'/');
}

TEST(frxReport, parentReportCopiesAndMarksAncestors)
{
    TfrxReport report;
    static TfrxReport *loadedInto = nullptr;
    report.OnLoadTemplate = [](TfrxReport *target, const QString &name) {
        loadedInto = target;
        target->Clear();
        auto *page = new TfrxReportPage(target);
        page->SetName(QStringLiteral("Page1"));
        auto *memo = new TfrxMemoView(page);
        memo->SetName(QStringLiteral("m0"));
        memo->SetText(name);
    };
    report.TemplateFileName = QStringLiteral("/tmp/card.fr3");
    report.SetParentReport(QStringLiteral("base.fr3"));
    EXPECT_EQ(loadedInto, &report);
    EXPECT_EQ(report.ParentReport(), QStringLiteral("base.fr3"));
    EXPECT_EQ(report.TemplateFileName, QStringLiteral("/tmp/card.fr3"));
    EXPECT_TRUE(report.IsAncestor());
    EXPECT_TRUE(report.FindObject(u"m0")->IsAncestor());
    ASSERT_NE(report.ParentReportObject(), nullptr);
    auto *parentPage = dynamic_cast<TfrxReportPage *>(report.ParentReportObject()->FindObject(u"Page1"));
    ASSERT_NE(parentPage, nullptr);
    EXPECT_EQ(parentPage->PaperSize(), 256);
    EXPECT_EQ(static_cast<TfrxMemoView *>(report.ParentReportObject()->FindObject(u"m0"))->Text(),
              QStringLiteral("base.fr3\r\n"));

    // Objects from the ancestor survive Clear; clearing the parent name drops the marks.
    report.TfrxComponent::Clear();
    EXPECT_NE(report.FindObject(u"m0"), nullptr);
    report.SetParentReport(QString());
    EXPECT_FALSE(report.FindObject(u"m0")->IsAncestor());
    EXPECT_EQ(report.ParentReportObject(), nullptr);
}

TEST(frxReport, styleSheetRoundTrip)
{
    TfrxReport report;
    report.Styles.Name = QStringLiteral("请柬样式");
    TfrxStyleItem *title = report.Styles.Add();
    title->SetName(QStringLiteral("标题"));
    title->Color = 0xFF;
    title->Font.name = QStringLiteral("黑体");
    title->Font.style = platform::fsBold;
    title->Frame.Typ = ftLeft | ftRight;
    title->Frame.SetWidth(2);
    report.Styles.Add()->SetName(QStringLiteral("Body"));

    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    report.Styles.SaveToStream(buffer);
    const QString written = QString::fromUtf8(buffer.data());
    EXPECT_TRUE(written.contains(QStringLiteral("<style Name=\"请柬样式\">")));
    EXPECT_TRUE(written.contains(
        QStringLiteral("<item Name=\"标题\" Color=\"255\" Font.Charset=\"1\" Font.Color=\"0\""
                       " Font.Height=\"-13\" Font.Name=\"黑体\" Font.Style=\"1\""
                       " Frame.Typ=\"3\" Frame.Width=\"2\"/>")))
        << qPrintable(written);

    TfrxReport other;
    auto *page = new TfrxReportPage(&other);
    auto *memo = new TfrxMemoView(new TfrxMasterData(page));
    memo->SetStyle(QStringLiteral("标题"));
    buffer.seek(0);
    other.Styles.LoadFromStream(buffer);
    ASSERT_EQ(other.Styles.Count(), 2);
    EXPECT_EQ(other.Styles.Name, QStringLiteral("请柬样式"));
    const TfrxStyleItem *loaded = other.Styles.Find(QStringLiteral("标题"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Color, 0xFF);
    EXPECT_EQ(loaded->Font.style, unsigned(platform::fsBold));
    EXPECT_TRUE(loaded->Frame == title->Frame);
    // Loading applies the styles to the report's text objects.
    EXPECT_EQ(memo->Color, 0xFF);
    EXPECT_EQ(memo->Font().name, QStringLiteral("黑体"));
}

TEST(frxReport, styleSheetBadValuesBecomeErrorLines)
{
    TfrxReport report;
    QBuffer buffer;
    buffer.setData(
        QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                          "<style Name=\"s\"><item Name=\"a\" Color=\"red\" Frame.Style=\"fsWavy\"/>"
                          "<other Name=\"b\"/><item Name=\"c\" Frame.Style=\"fsDot\"/></style>"));
    buffer.open(QIODevice::ReadOnly);
    report.Styles.LoadFromStream(buffer);
    EXPECT_EQ(report.Styles.GetList(), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    EXPECT_EQ(report.Styles.Items(1)->Frame.Style(), fsDot);
    EXPECT_EQ(report.Styles.Items(0)->Frame.Style(), fsSolid);
    EXPECT_EQ(report.ErrorList.Lines(), (QStringList{QStringLiteral("'red' is not a valid integer value"),
                                                     QStringLiteral("Invalid property value")}));
}

TEST(frxReport, attributeTextsConvertByKind)
{
    const ClassInfo &page = TfrxReportPage::staticClassInfo();
    EXPECT_EQ(std::get<Extended>(propertyValueFromText(*page.property(u"LeftMargin"), QStringLiteral("1,5"))),
              1.5L);
    EXPECT_EQ(
        std::get<Extended>(propertyValueFromText(*page.property(u"LeftMargin"), QStringLiteral(" 1.5"))),
        1.5L);
    EXPECT_EQ(std::get<QString>(
                  propertyValueFromText(*page.property(u"Orientation"), QStringLiteral("poLandscape"))),
              QStringLiteral("poLandscape"));
    EXPECT_EQ(std::get<qint64>(propertyValueFromText(*page.property(u"Orientation"), QStringLiteral("1"))),
              1);
    EXPECT_THROW(propertyValueFromText(*page.property(u"Orientation"), QStringLiteral("poSideways")),
                 platform::Error);
    EXPECT_EQ(std::get<bool>(propertyValueFromText(*page.property(u"PrintIfEmpty"), QStringLiteral("false"))),
              false);
    EXPECT_THROW(propertyValueFromText(*page.property(u"Bin"), QStringLiteral("7a")), platform::Error);
    EXPECT_EQ(
        std::get<QStringList>(propertyValueFromText(*page.property(u"HGuides"), QStringLiteral("1\r\n2"))),
        (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}
