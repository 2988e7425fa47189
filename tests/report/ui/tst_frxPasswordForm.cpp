#include "report/ui/frxPasswordForm.h"

#include "report/objects/frxClass.h"
#include "report/base/frxPasswordCheck.h"
#include "report/xml/frxXMLSerializer.h"
#include "support/modal.h"
#include "tests/support/fakehost.h"

#include <QTemporaryDir>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

TEST(frxPasswordForm, textsFromTheTableAndMaskedEntry)
{
    TfrxPasswordForm form;
    // The table has no entries 5000 and 5001, so their names show.
    EXPECT_EQ(form.windowTitle(), u"5000"_s);
    EXPECT_EQ(form.PasswordL->text(), u"5001"_s);
    EXPECT_EQ(form.OkB->text(), u"确定"_s);
    EXPECT_EQ(form.CancelB->text(), u"取消"_s);
    EXPECT_EQ(form.PasswordE->echoMode(), QLineEdit::Password);
    form.PasswordE->setText(u"密码"_s);
    EXPECT_EQ(form.PasswordE->displayText(), u"**"_s);
}

TEST(frxPasswordForm, loadingAsksThroughTheDialog)
{
    FakeHost host;
    host.password = &TfrxPasswordForm::Ask;
    QString accepted;
    testsupport::whenModal([](QWidget *modal) {
        auto *form = qobject_cast<TfrxPasswordForm *>(modal);
        ASSERT_NE(form, nullptr);
        form->PasswordE->setText(u"Key"_s);
        form->OkB->click();
    });
    EXPECT_FALSE(frxCheckPassword(u"key"_s, accepted));
    EXPECT_TRUE(accepted.isEmpty());

    testsupport::whenModal([](QWidget *modal) {
        static_cast<TfrxPasswordForm *>(modal)->PasswordE->setText(u"key"_s);
        static_cast<TfrxPasswordForm *>(modal)->OkB->click();
    });
    EXPECT_TRUE(frxCheckPassword(u"key"_s, accepted));
    EXPECT_EQ(accepted, u"key"_s);

    testsupport::whenModal([](QWidget *modal) { static_cast<TfrxPasswordForm *>(modal)->CancelB->click(); });
    EXPECT_FALSE(frxCheckPassword(u"other"_s, accepted));
}

namespace {

QStringList g_shownErrors;

void collectError(const QString &, const QString &text)
{
    g_shownErrors.append(text);
}

} // namespace

TEST(frxPasswordForm, aProtectedTemplateOpensOnlyWithItsPassword)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"card.fr3"_s);
    {
        TfrxReport report;
        auto *page = new TfrxReportPage(&report);
        page->SetName(u"Page1"_s);
        report.ReportOptions.Password = u"喜"_s;
        SaveToFile(report, file);
    }
    FakeHost host;
    host.password = &TfrxPasswordForm::Ask;
    host.errorBox = &collectError;

    TfrxReport report;
    int asked = 0;
    testsupport::whenModal([&](QWidget *modal) {
        ++asked;
        auto *form = qobject_cast<TfrxPasswordForm *>(modal);
        ASSERT_NE(form, nullptr);
        form->PasswordE->setText(u"喜"_s);
        form->OkB->click();
    });
    EXPECT_TRUE(LoadFromFile(report, file));
    EXPECT_EQ(asked, 1);
    EXPECT_NE(report.FindObject(u"Page1"_s), nullptr);
    EXPECT_TRUE(g_shownErrors.isEmpty());

    TfrxReport other;
    testsupport::whenModal([](QWidget *modal) {
        static_cast<TfrxPasswordForm *>(modal)->PasswordE->setText(u"错"_s);
        static_cast<TfrxPasswordForm *>(modal)->OkB->click();
    });
    LoadFromFile(other, file);
    EXPECT_EQ(other.FindObject(u"Page1"_s), nullptr);
    ASSERT_EQ(g_shownErrors.size(), 1);
    EXPECT_TRUE(g_shownErrors.first().contains(u"Invalid password"_s));

}
