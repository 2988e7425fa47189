#include "app/model/eventdetails.h"
#include "app/ui/cardlabel.h"
#include "tests/app/ui/support/apptest.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QRect inkBounds(const QImage &image, QRect area)
{
    QRect bounds;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// A stacked caption stands like the printed column: its bracket lies across the column as "︵" and
// its comma sits in the upper right of its place; a caption on one line keeps the horizontal forms.
TEST(CardLabel, stackedCaptionsTakeTheVerticalForms)
{
    apptest::ensureApplication();
    QFont font(QStringLiteral("黑体"));
    font.setPointSize(30);

    CardLabel stacked(stackText(QStringLiteral("（，")));
    stacked.setFont(font);
    stacked.setStyleSheet(QStringLiteral("background: white; color: black"));
    ASSERT_TRUE(stacked.isColumn());
    const QImage column = stacked.grab().toImage();
    // Two characters one em each, one under the other.
    const int place = column.height() / 2;
    const QRect bracket = inkBounds(column, QRect(0, 0, column.width(), place));
    ASSERT_FALSE(bracket.isEmpty());
    EXPECT_GT(bracket.width(), 2 * bracket.height());
    const QRect comma = inkBounds(column, QRect(0, place, column.width(), place));
    ASSERT_FALSE(comma.isEmpty());
    EXPECT_GT(comma.center().x(), bracket.center().x()); // the bracket lies across the column's middle
    EXPECT_LT(comma.center().y(), place + place / 2);

    CardLabel level(QStringLiteral("（"));
    level.setFont(font);
    level.setStyleSheet(QStringLiteral("background: white; color: black"));
    ASSERT_FALSE(level.isColumn());
    const QImage line = level.grab().toImage();
    const QRect upright = inkBounds(line, line.rect());
    ASSERT_FALSE(upright.isEmpty());
    EXPECT_GT(upright.height(), 2 * upright.width());
}

// The label is as large as its text at the card's scale: a column of four characters of 30 points
// is four ems long at the scale given, and twice as long at twice the scale; the font's stored
// size stays.
TEST(CardLabel, itemsFollowTheCardsScale)
{
    apptest::ensureApplication();
    QFont font(QStringLiteral("黑体"));
    font.setPointSize(30);
    CardLabel label(stackText(QStringLiteral("欧阳小明")));
    label.setFont(font);
    const double perMm = 992.0 / 350;
    label.setCardScale(perMm, perMm);
    const double em = 30 * 25.4 / 72 * perMm;
    EXPECT_NEAR(label.height(), 4 * em, 4);
    EXPECT_LT(label.width(), 2 * em); // one line: an em and the font's leading
    label.setCardScale(2 * perMm, 2 * perMm);
    EXPECT_NEAR(label.height(), 8 * em, 6);
    EXPECT_EQ(label.font().pointSize(), 30);
}

} // namespace
