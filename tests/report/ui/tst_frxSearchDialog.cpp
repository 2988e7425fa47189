#include "report/ui/frxSearchDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

TEST(frxSearchDialog, captionsAndHiddenReplacePanel)
{
    TfrxSearchDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), u"寻找文本"_s);
    EXPECT_EQ(dialog.TextL->text(), u"寻找目标:"_s);
    EXPECT_EQ(dialog.TopCB->text(), u"起点"_s);
    EXPECT_EQ(dialog.OkB->text(), u"确定"_s);
    EXPECT_TRUE(dialog.OkB->isDefault());
    EXPECT_FALSE(dialog.ReplacePanel->isVisible());
    dialog.reject();
}

// The search text survives the dialog for the rest of the run; cancelling keeps the earlier one.
TEST(frxSearchDialog, keepsTheLastConfirmedTextForTheRun)
{
    {
        TfrxSearchDialog dialog;
        dialog.show();
        dialog.TextE->setText(u"王小明"_s);
        dialog.OkB->click();
    }
    EXPECT_EQ(TfrxSearchDialog::LastText(), u"王小明"_s);
    {
        TfrxSearchDialog dialog;
        dialog.show();
        EXPECT_EQ(dialog.TextE->text(), u"王小明"_s);
        EXPECT_EQ(dialog.TextE->selectedText(), u"王小明"_s);
        dialog.TextE->setText(u"李"_s);
        dialog.CancelB->click();
    }
    TfrxSearchDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.TextE->text(), u"王小明"_s);
    dialog.reject();
}
