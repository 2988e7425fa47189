#include "app/model/chinesedate.h"

#include <gtest/gtest.h>

using namespace chinesedate;

namespace {

QString lunarText(const QDate &date)
{
    const std::optional<LunarDate> lunar = lunarDate(date);
    if (!lunar) return QStringLiteral("none");
    return lunarMonthText(*lunar) + QStringLiteral("月") + lunarDayText(lunar->day);
}

} // namespace

TEST(lunarDate, springFestivalIsTheFirstDayOfTheFirstMonth)
{
    const QDate festivals[] = {{2024, 2, 10}, {2025, 1, 29}, {2026, 2, 17}, {2027, 2, 6},
                               {2028, 1, 26}, {2029, 2, 13}, {2030, 2, 3}};
    for (const QDate &day : festivals) {
        EXPECT_EQ(lunarText(day), QStringLiteral("一月初一")) << day.toString(Qt::ISODate).toStdString();
        const std::optional<LunarDate> eve = lunarDate(day.addDays(-1));
        ASSERT_TRUE(eve);
        EXPECT_EQ(eve->month, 12);
        EXPECT_GE(eve->day, 29);
    }
}

TEST(lunarDate, leapMonthsFollowTheirMonth)
{
    EXPECT_EQ(lunarText({2023, 3, 21}), QStringLiteral("二月三十"));
    EXPECT_EQ(lunarText({2023, 3, 22}), QStringLiteral("闰二月初一"));
    EXPECT_EQ(lunarText({2023, 4, 20}), QStringLiteral("三月初一"));
    EXPECT_EQ(lunarText({2025, 7, 24}), QStringLiteral("六月三十"));
    EXPECT_EQ(lunarText({2025, 7, 25}), QStringLiteral("闰六月初一"));
    EXPECT_EQ(lunarText({2025, 8, 14}), QStringLiteral("闰六月廿一"));
    EXPECT_EQ(lunarText(QDate()), QStringLiteral("none"));
}

TEST(cardDate, fillsEveryDateText)
{
    // A new moon early on the morning of 9 December in China: the first of the eleventh month.
    const CardDate texts = cardDate({2026, 12, 9});
    EXPECT_EQ(texts.year, QStringLiteral("二零二六"));
    EXPECT_EQ(texts.solarMonth, QStringLiteral("十二"));
    EXPECT_EQ(texts.solarDay, QStringLiteral("九"));
    EXPECT_EQ(texts.lunarMonth, QStringLiteral("十一"));
    EXPECT_EQ(texts.lunarDay, QStringLiteral("初一"));
    EXPECT_EQ(texts.weekday, QStringLiteral("三"));
    EXPECT_EQ(cardDate({2026, 3, 1}).weekday, QStringLiteral("日"));
}

TEST(yearText, writesEveryDigitWithTheIdeographZero)
{
    EXPECT_EQ(yearText(2009), QStringLiteral("二零零九"));
    EXPECT_EQ(yearText(2010), QStringLiteral("二零一零"));
    EXPECT_EQ(yearTexts(2035, 2037), QStringList({QStringLiteral("二零三五"), QStringLiteral("二零三六"),
                                                  QStringLiteral("二零三七")}));
    EXPECT_TRUE(yearTexts(2030, 2029).isEmpty());
}

TEST(dayTexts, matchTheListsAndTheLunarCustom)
{
    EXPECT_EQ(solarDayText(10), QStringLiteral("十"));
    EXPECT_EQ(solarDayText(19), QStringLiteral("十九"));
    EXPECT_EQ(solarDayText(20), QStringLiteral("二十"));
    EXPECT_EQ(solarDayText(21), QStringLiteral("二一"));
    EXPECT_EQ(solarDayText(30), QStringLiteral("三十"));
    EXPECT_EQ(solarDayText(31), QStringLiteral("三一"));
    EXPECT_EQ(lunarDayText(10), QStringLiteral("初十"));
    EXPECT_EQ(lunarDayText(11), QStringLiteral("十一"));
    EXPECT_EQ(lunarDayText(20), QStringLiteral("二十"));
    EXPECT_EQ(lunarDayText(29), QStringLiteral("廿九"));
    EXPECT_EQ(lunarDayText(30), QStringLiteral("三十"));
    EXPECT_TRUE(lunarDayText(31).isEmpty());
}

TEST(timeText, namesThePartOfTheDayAndTheMinutes)
{
    EXPECT_EQ(timeText({11, 58}), QStringLiteral("中午十一点五十八分"));
    EXPECT_EQ(timeText({18, 0}), QStringLiteral("下午六点"));
    EXPECT_EQ(timeText({12, 0}), QStringLiteral("中午十二点"));
    EXPECT_EQ(timeText({8, 5}), QStringLiteral("上午八点零五分"));
    EXPECT_EQ(timeText({19, 30}), QStringLiteral("晚上七点三十分"));
    EXPECT_EQ(timeText({0, 10}), QStringLiteral("凌晨零点十分"));
    EXPECT_EQ(timeText({6, 21}), QStringLiteral("早上六点二十一分"));
    EXPECT_TRUE(timeText(QTime()).isEmpty());
}

TEST(solarDate, readsTheTextsAsTyped)
{
    EXPECT_EQ(solarDate(QStringLiteral("二零二六"), QStringLiteral("十二"), QStringLiteral("九")),
              QDate(2026, 12, 9));
    EXPECT_EQ(solarDate(QStringLiteral("二\uFF10一九"), QStringLiteral("三月"), QStringLiteral("三一日")),
              QDate(2019, 3, 31));
    EXPECT_EQ(solarDate(QStringLiteral("二〇二七年"), QStringLiteral("十"), QStringLiteral("二十一")),
              QDate(2027, 10, 21));
    EXPECT_FALSE(solarDate(QStringLiteral("二零二六"), QStringLiteral("二"), QStringLiteral("三十")));
    EXPECT_FALSE(solarDate(QStringLiteral("二零二六"), QStringLiteral("十三"), QStringLiteral("一")));
    EXPECT_FALSE(solarDate(QStringLiteral("明年"), QStringLiteral("一"), QStringLiteral("一")));
}

TEST(disagreements, tellWhatDoesNotMatchTheDate)
{
    CardDate typed = cardDate({2025, 8, 14});
    EXPECT_TRUE(disagreements(typed).isEmpty());
    // The lists' own forms and the usual written ones are read alike.
    typed.lunarMonth = QStringLiteral("闰六月");
    typed.lunarDay = QStringLiteral("二一");
    typed.weekday = QStringLiteral("星期四");
    EXPECT_TRUE(disagreements(typed).isEmpty());

    typed.lunarMonth = QStringLiteral("六"); // the leap month left out
    typed.weekday = QStringLiteral("五");
    EXPECT_EQ(disagreements(typed),
              QStringList({QStringLiteral("星期与日期不符：二零二五年八月十四日是星期四。"),
                           QStringLiteral("农历与日期不符：二零二五年八月十四日是农历闰六月廿一。")}));

    typed = cardDate({2026, 12, 9});
    typed.lunarDay = QStringLiteral("初二");
    EXPECT_EQ(disagreements(typed).size(), 1);
    typed.lunarDay.clear(); // an empty lunar day is not printed and not checked
    EXPECT_TRUE(disagreements(typed).isEmpty());

    typed.solarMonth = QStringLiteral("二");
    typed.solarDay = QStringLiteral("三十");
    ASSERT_EQ(disagreements(typed).size(), 1);
    EXPECT_TRUE(disagreements(typed).at(0).contains(QStringLiteral("不存在")));
}
