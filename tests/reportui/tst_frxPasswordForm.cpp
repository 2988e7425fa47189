#include "report/frxPasswordForm.h"

#include "report/frxPasswordCheck.h"
#include "support/modal.h"

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
    TfrxPasswordForm::Install();
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
    frxSetPasswordPrompt({});
}
