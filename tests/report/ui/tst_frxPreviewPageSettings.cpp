#include "report/ui/frxPreviewPageSettings.h"

#include "platform/ui/errorguard.h"
#include "report/objects/frxClass.h"
#include "report/output/frxPrinter.h"
#include "support/fakeprinters.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

class frxPageSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setErrorPresenter([this](QWidget *, const QString &text) { errors.append(text); });
        report.IniFile = dir.filePath(u"tovaro.ini"_s);
        page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = 10;
    }
    void TearDown() override { platform::setErrorPresenter({}); }

    void setUnits(int units)
    {
        frxOpenIniFile(report.IniFile)->setValue(u"Form.TfrxDesignerForm/Units"_s, units);
    }

    testsupport::FakePrinters printers;
    QTemporaryDir dir;
    TfrxReport report;
    TfrxReportPage page;
    QStringList errors;
};

} // namespace

TEST_F(frxPageSettingsTest, inchesShowA4As827By1169)
{
    setUnits(1);
    TfrxPageSettingsForm form(&page, &report);
    form.show();
    EXPECT_EQ(form.windowTitle(), u"页面设置"_s);
    EXPECT_EQ(form.WidthE->text(), u"8.27"_s);
    EXPECT_EQ(form.HeightE->text(), u"11.69"_s);
    EXPECT_EQ(form.MarginLeftE->text(), u"0.39"_s);
    for (QLabel *unit : {form.UnitL1, form.UnitL2, form.UnitL3, form.UnitL4, form.UnitL5, form.UnitL6})
        EXPECT_EQ(unit->text(), u"in"_s);
    EXPECT_EQ(form.SizeCB->currentText(), u"A4"_s);
    EXPECT_TRUE(form.PortraitRB->isChecked());
    EXPECT_TRUE(form.ApplyToCurRB->isChecked());

    // Confirming unchanged fields must not move the page by the rounding of the display.
    form.OKB->click();
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(double(page.PaperWidth()), 210.0);
    EXPECT_EQ(double(page.LeftMargin), 10.0);
    EXPECT_EQ(double(page.BottomMargin), 10.0);
}

TEST_F(frxPageSettingsTest, centimetresByDefaultAndForUnitsTwoAndThree)
{
    for (int units : {0, 3}) {
        setUnits(units);
        TfrxPageSettingsForm form(&page, &report);
        form.show();
        EXPECT_EQ(form.WidthE->text(), u"21"_s);
        EXPECT_EQ(form.HeightE->text(), u"29.7"_s);
        EXPECT_EQ(form.MarginTopE->text(), u"1"_s);
        EXPECT_EQ(form.UnitL6->text(), u"cm"_s);
        form.reject();
    }
}

TEST_F(frxPageSettingsTest, typingAWidthSwitchesToTheUserDefinedPaper)
{
    TfrxPageSettingsForm form(&page, &report);
    form.show();
    ASSERT_EQ(form.SizeCB->currentText(), u"A4"_s);
    form.WidthE->setText(u"15,5"_s);
    EXPECT_EQ(form.SizeCB->currentIndex(), 0);
    EXPECT_EQ(form.SizeCB->currentData().toInt(), 256);
    form.MarginLeftE->setText(u" 2.5 "_s);
    form.OKB->click();
    EXPECT_EQ(page.PaperSize(), 256);
    EXPECT_NEAR(double(page.PaperWidth()), 155.0, 1e-9);
    EXPECT_NEAR(double(page.PaperHeight()), 297.0, 1e-9);
    EXPECT_NEAR(double(page.LeftMargin), 25.0, 1e-9);
}

TEST_F(frxPageSettingsTest, choosingAPaperShowsItsSize)
{
    TfrxPageSettingsForm form(&page, &report);
    form.show();
    form.SizeCB->setCurrentIndex(form.SizeCB->findText(u"A5"_s));
    emit form.SizeCB->activated(form.SizeCB->currentIndex());
    EXPECT_EQ(form.WidthE->text(), u"14.8"_s);
    EXPECT_EQ(form.HeightE->text(), u"21"_s);
    // Filling the fields from the paper is not typing: the paper stays chosen.
    EXPECT_EQ(form.SizeCB->currentText(), u"A5"_s);
    form.LandscapeRB->click();
    EXPECT_EQ(form.WidthE->text(), u"21"_s);
    EXPECT_TRUE(form.LandscapeImg->isVisibleTo(&form));
    EXPECT_FALSE(form.PortraitImg->isVisibleTo(&form));
    form.OKB->click();
    EXPECT_EQ(page.PaperSize(), 11);
    EXPECT_EQ(page.Orientation(), poLandscape);
    EXPECT_NEAR(double(page.PaperWidth()), 210.0, 1e-9);
    EXPECT_NEAR(double(page.PaperHeight()), 148.0, 1e-9);
}

TEST_F(frxPageSettingsTest, userSizeTurnsWithTheOrientationOnly)
{
    page.SetPaperWidth(100);
    page.SetPaperHeight(150);
    TfrxPageSettingsForm form(&page, &report);
    form.show();
    EXPECT_EQ(form.SizeCB->currentData().toInt(), 256);
    form.LandscapeRB->click();
    EXPECT_EQ(form.WidthE->text(), u"15"_s);
    EXPECT_EQ(form.HeightE->text(), u"10"_s);
    // Picking the user-defined entry again leaves the fields as they are.
    emit form.SizeCB->activated(0);
    EXPECT_EQ(form.WidthE->text(), u"15"_s);
    EXPECT_EQ(form.HeightE->text(), u"10"_s);
    form.PortraitRB->click();
    EXPECT_EQ(form.WidthE->text(), u"10"_s);
    form.reject();
}

TEST_F(frxPageSettingsTest, badNumberKeepsTheDialogOpenAndThePageUnchanged)
{
    TfrxPageSettingsForm form(&page, &report);
    form.show();
    form.LandscapeRB->click();
    form.MarginBottomE->setText(u"abc"_s);
    form.OKB->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(errors, QStringList{u"\"abc\" 不是有效的数字."_s});
    EXPECT_EQ(page.Orientation(), poPortrait);
    EXPECT_EQ(double(page.BottomMargin), 10.0);
    form.reject();
    EXPECT_EQ(page.Orientation(), poPortrait);
}

TEST_F(frxPageSettingsTest, applyToAllPagesOfTheReport)
{
    auto *first = new TfrxReportPage(&report);
    auto *second = new TfrxReportPage(&report);
    page.SetOrientation(poLandscape);
    page.SetPaperSize(11);
    page.LeftMargin = 7;
    frxApplyPageSettingsToAll(&report, page);
    for (TfrxReportPage *p : {first, second}) {
        EXPECT_EQ(p->PaperSize(), 11);
        EXPECT_EQ(p->Orientation(), poLandscape);
        EXPECT_NEAR(double(p->PaperWidth()), 210.0, 1e-9);
        EXPECT_EQ(double(p->LeftMargin), 7.0);
    }
}

TEST(frxIniFile, registryPathsAndFiles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"a.ini"_s);
    EXPECT_EQ(frxOpenIniFile(file)->fileName(), file);
    const QString user = frxOpenIniFile(u"\\Software\\Tovaro\\Reports"_s)->fileName();
    EXPECT_TRUE(user.endsWith(u"Tovaro/Reports.ini"_s)) << user.toStdString();
}

TEST_F(frxPageSettingsTest, keepsItsDesignedSizeWhenShown)
{
    TfrxPageSettingsForm form(&page, &report);
    form.show();
    EXPECT_GE(form.width(), 286);
    if (const QByteArray dir = qgetenv("TOVARO_SCREENSHOT_DIR"); !dir.isEmpty())
        form.grab().save(QString::fromLocal8Bit(dir) + u"/page_settings.png"_s);
    form.reject();
}
