#include "platform/ui/errorguard.h"
#include "platform/errors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

namespace {

struct Shown {
    QWidget *parent;
    QString text;
};

class ErrorGuardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setErrorPresenter([this](QWidget *parent, const QString &text) {
            m_shown.push_back({parent, text});
        });
    }
    void TearDown() override { setErrorPresenter({}); }

    std::vector<Shown> m_shown;
};

QApplication &application()
{
    static int argc = 1;
    static char name[] = "tst_errorguard";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

} // namespace

TEST(errorBoxText, appendsAFullStopUnlessThereIsOne)
{
    EXPECT_EQ(errorBoxText(QStringLiteral("Field '姓名' not found")),
              QStringLiteral("Field '姓名' not found."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("文件不存在。")), QStringLiteral("文件不存在。"));
    EXPECT_EQ(errorBoxText(QStringLiteral("文件不存在")), QStringLiteral("文件不存在."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST_F(ErrorGuardTest, aHandlerThatSucceedsShowsNothing)
{
    int runs = 0;
    EXPECT_TRUE(guard(nullptr, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(ErrorGuardTest, everyKindOfExceptionIsShownAndStopsTheHandler)
{
    QWidget *const parent = reinterpret_cast<QWidget *>(0x1234); // only passed through
    bool rest = false;
    EXPECT_FALSE(guard(parent, [&] {
        throw DatabaseError(QStringLiteral("无法打开数据库 “tovaro.db”"));
        rest = true;
    }));
    EXPECT_FALSE(rest);
    EXPECT_FALSE(guard(nullptr, [] { throw std::runtime_error("字段 ID 无效"); }));
    EXPECT_FALSE(guard(nullptr, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(guard(nullptr, [] { throw 42; }));

    ASSERT_EQ(m_shown.size(), 4u);
    EXPECT_EQ(m_shown[0].parent, parent);
    EXPECT_EQ(m_shown[0].text, QStringLiteral("无法打开数据库 “tovaro.db”."));
    EXPECT_EQ(m_shown[1].text, QStringLiteral("字段 ID 无效."));
    EXPECT_EQ(m_shown[2].text, QStringLiteral("内存不足."));
    EXPECT_EQ(m_shown[3].text, QStringLiteral("发生未知错误."));
}

TEST_F(ErrorGuardTest, aFailingPresenterDoesNotEscapeTheGuard)
{
    setErrorPresenter([](QWidget *, const QString &) { throw std::runtime_error("presenter broke"); });
    EXPECT_NO_THROW(EXPECT_FALSE(guard(nullptr, [] { throw Error(QStringLiteral("x")); })));
}

TEST(errorBox, isCriticalWithOkAndTheProgramCaption)
{
    application();
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    // The box is modal: inspect and close it from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_FALSE(guard(
        nullptr, [] { throw FileError(QStringLiteral("无法打开图片文件 “qingjian1.jpg”：文件不存在")); }));
    EXPECT_EQ(caption, QStringLiteral("Tovaro"));
    EXPECT_EQ(text, QStringLiteral("无法打开图片文件 “qingjian1.jpg”：文件不存在."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}
