#include "app/ui/tmp.h"

#include "app/model/chinesedate.h"

#include "support/apptest.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace {

QStringList entries(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

class EventDialog : public ::testing::Test {
protected:
    void SetUp() override { apptest::ensureApplication(); }
};

} // namespace

TEST(stackText, putsALineBreakAfterEveryCharacter)
{
    EXPECT_EQ(stackText(QStringLiteral("新郎")), QStringLiteral("新\r\n郎\r\n"));
    EXPECT_EQ(stackText(QString()), QString());
    EXPECT_EQ(stackText(QStringLiteral("A")), QStringLiteral("A\r\n"));
}

TEST(stackText, keepsSurrogatePairsTogether)
{
    const QString rare = QString::fromUcs4(U"𠀀"); // U+20000, two UTF-16 units
    ASSERT_EQ(rare.size(), 2);
    EXPECT_EQ(stackText(QStringLiteral("王") + rare),
              QStringLiteral("王\r\n") + rare + QStringLiteral("\r\n"));
    // A lone surrogate is one unit of its own.
    const QString lone(QChar(0xD840));
    EXPECT_EQ(stackText(lone + QStringLiteral("王")), lone + QStringLiteral("\r\n王\r\n"));
}

TEST_F(EventDialog, startsWithItsStoredValues)
{
    Tfrm_tmp dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("设置内容"));
    const EventDetails d = dialog.details();
    EXPECT_EQ(d.year, QStringLiteral("二零零九"));
    EXPECT_EQ(d.solarMonth, QStringLiteral("一"));
    EXPECT_EQ(d.lunarDay, QStringLiteral("一"));
    EXPECT_EQ(d.weekday, QStringLiteral("一"));
    EXPECT_EQ(d.time, QStringLiteral("中午十一点五十八分"));
    EXPECT_EQ(d.eventKind, QStringLiteral("婚礼"));
    EXPECT_TRUE(d.venue.isEmpty());
    EXPECT_TRUE(d.groom.isEmpty());
    EXPECT_FALSE(d.printEventKind);
    EXPECT_FALSE(d.printParents);
    EXPECT_EQ(dialog.chk1->text(), QStringLiteral("打印\u3000\u3000[举行]"));
    EXPECT_EQ(dialog.chk2->text(), QStringLiteral("打印\u3000\u3000[父母携]"));
    EXPECT_EQ(dialog.btn2->text(), QStringLiteral("确定"));
    EXPECT_EQ(dialog.btn1->text(), QStringLiteral("取消"));
}

TEST_F(EventDialog, listsHoldTheirEntriesExactlyAsStored)
{
    Tfrm_tmp dialog;
    const QStringList years = entries(dialog.cbb1);
    ASSERT_EQ(years.size(), 22 + QDate::currentDate().year() + 10 - 2019);
    EXPECT_EQ(years.at(0), QStringLiteral("二\uFF10\uFF10九"));
    EXPECT_EQ(years.at(10), QStringLiteral("二\uFF10一九"));
    EXPECT_TRUE(years.at(11).isEmpty());
    EXPECT_EQ(years.at(12), QStringLiteral("二零零九"));
    EXPECT_EQ(years.at(13), QStringLiteral("二零一零"));
    EXPECT_EQ(years.at(14), QStringLiteral("二零一二")); // the second group has no 2011
    EXPECT_FALSE(years.contains(QStringLiteral("二零一一")));
    EXPECT_EQ(years.at(21), QStringLiteral("二零一九"));
    EXPECT_EQ(years.at(22), QStringLiteral("二零二零"));
    EXPECT_EQ(years.last(), chinesedate::yearText(QDate::currentDate().year() + 10));

    EXPECT_EQ(entries(dialog.cbb2).size(), 12);
    EXPECT_EQ(entries(dialog.cbb2).last(), QStringLiteral("十二"));
    EXPECT_EQ(entries(dialog.cbb4), entries(dialog.cbb2));
    const QStringList days = entries(dialog.cbb3);
    ASSERT_EQ(days.size(), 31);
    EXPECT_EQ(days.at(20), QStringLiteral("二一"));
    EXPECT_EQ(days.at(30), QStringLiteral("三一"));
    const QStringList lunarDays = entries(dialog.cbb5);
    ASSERT_EQ(lunarDays.size(), 32);
    EXPECT_TRUE(lunarDays.last().isEmpty());
    EXPECT_EQ(
        entries(dialog.cbb6),
        (QStringList{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四"),
                     QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("日")}));
    EXPECT_EQ(entries(dialog.cbb10), (QStringList{QStringLiteral("婚礼"), QStringLiteral("考学送行")}));
    for (QComboBox *combo :
         {dialog.cbb1, dialog.cbb2, dialog.cbb3, dialog.cbb4, dialog.cbb5, dialog.cbb6, dialog.cbb10})
        EXPECT_TRUE(combo->isEditable());
}

TEST_F(EventDialog, tabOrderEndsWithTheTimeEdit)
{
    Tfrm_tmp dialog;
    const QList<QWidget *> expected = {dialog.cbb1, dialog.cbb2,  dialog.cbb3, dialog.cbb4, dialog.cbb5,
                                       dialog.cbb6, dialog.cbb10, dialog.edt3, dialog.edt5, dialog.edt7,
                                       dialog.edt6, dialog.edt8,  dialog.chk1, dialog.chk2, dialog.btn1,
                                       dialog.btn2, dialog.edt1};
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    expected.first()->setFocus();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        QWidget *control = focus;
        while (control && !expected.contains(control))
            control = control->parentWidget();
        ASSERT_EQ(control, expected.at(i)) << "step " << i;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    dialog.hide();
}

TEST_F(EventDialog, fieldsMapOntoTheItems)
{
    Tfrm_tmp dialog;
    dialog.cbb1->setEditText(QStringLiteral("二零二四"));
    dialog.cbb2->setEditText(QStringLiteral("五"));
    dialog.cbb3->setEditText(QStringLiteral("二十"));
    dialog.cbb4->setEditText(QStringLiteral("四"));
    dialog.cbb5->setEditText(QStringLiteral("十三"));
    dialog.cbb6->setEditText(QStringLiteral("日"));
    dialog.edt3->setText(QStringLiteral("和平饭店"));
    dialog.edt5->setText(QStringLiteral("王大"));
    dialog.edt7->setText(QStringLiteral("李二"));
    dialog.edt6->setText(QStringLiteral("王小明"));
    dialog.edt8->setText(QStringLiteral("张丽"));
    dialog.cbb10->setCurrentIndex(1);
    const EventDetails d = dialog.details();
    const QStringList canvas = {QString(),
                                QStringLiteral("二零二四"),
                                QStringLiteral("四"),
                                QStringLiteral("五"),
                                QStringLiteral("十三"),
                                QStringLiteral("二十"),
                                QStringLiteral("日"),
                                QStringLiteral("王小明"),
                                QStringLiteral("张丽"),
                                QStringLiteral("和平饭店"),
                                QStringLiteral("中午十一点五十八分"),
                                QStringLiteral("王大"),
                                QStringLiteral("李二"),
                                QString(),
                                QStringLiteral("王小明"),
                                QStringLiteral("张丽"),
                                QStringLiteral("举行")};
    for (int n = 0; n < 17; ++n)
        EXPECT_EQ(d.canvasText(n), canvas.at(n)) << n;
    EXPECT_EQ(d.printedText(16), QStringLiteral("考学送行"));
    EXPECT_EQ(d.printedText(9), QStringLiteral("和平饭店"));
}

TEST_F(EventDialog, calendarAndClockFillTheTexts)
{
    Tfrm_tmp dialog;
    dialog.dtpDate->setDate(QDate(2025, 8, 14));
    const EventDetails d = dialog.details();
    EXPECT_EQ(QStringList({d.year, d.solarMonth, d.solarDay, d.lunarMonth, d.lunarDay, d.weekday}),
              QStringList({QStringLiteral("二零二五"), QStringLiteral("八"), QStringLiteral("十四"),
                           QStringLiteral("闰六"), QStringLiteral("廿一"), QStringLiteral("四")}));
    EXPECT_TRUE(dialog.lblCheck->text().isEmpty());
    dialog.dtpTime->setTime(QTime(18, 0));
    EXPECT_EQ(dialog.edt1->text(), QStringLiteral("下午六点"));
}

TEST_F(EventDialog, typedTextsThatDisagreeAreToldNotRefused)
{
    Tfrm_tmp dialog;
    dialog.dtpDate->setDate(QDate(2026, 12, 9));
    dialog.cbb6->setEditText(QStringLiteral("五"));
    EXPECT_EQ(dialog.lblCheck->text(), QStringLiteral("星期与日期不符：二零二六年十二月九日是星期三。"));
    // Typing another solar day moves the calendar there without rewriting the other texts.
    dialog.cbb3->setEditText(QStringLiteral("十一"));
    EXPECT_EQ(dialog.dtpDate->date(), QDate(2026, 12, 11));
    EXPECT_EQ(dialog.details().lunarDay, QStringLiteral("初一"));
    EXPECT_EQ(dialog.lblCheck->text(),
              QStringLiteral("农历与日期不符：二零二六年十二月十一日是农历十一月初三。"));
    EXPECT_TRUE(dialog.btn2->isEnabled());

    // On request, a picture of the dialog with its calendar open.
    const QByteArray shots = qgetenv("TOVARO_SCREENSHOT_DIR");
    if (shots.isEmpty()) return;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // A press on the drop-down arrow at the right edge opens the calendar.
    QTest::mouseClick(dialog.dtpDate, Qt::LeftButton, {},
                      QPoint(dialog.dtpDate->width() - 6, dialog.dtpDate->height() / 2));
    QWidget *popup = dialog.dtpDate->calendarWidget()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    const QPoint at = popup->mapToGlobal(QPoint()) - dialog.mapToGlobal(QPoint());
    QPixmap picture(std::max(dialog.width(), at.x() + popup->width()),
                    std::max(dialog.height(), at.y() + popup->height()));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, dialog.grab());
    painter.drawPixmap(at, popup->grab());
    painter.end();
    EXPECT_TRUE(
        picture.save(QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("event_dialog.png"))));
    popup->hide();
}
