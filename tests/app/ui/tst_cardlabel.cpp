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
    font.setPixelSize(40);

    CardLabel stacked(stackText(QStringLiteral("（，")));
    stacked.setFont(font);
    stacked.setStyleSheet(QStringLiteral("background: white; color: black"));
    stacked.adjustSize();
    const QImage column = stacked.grab().toImage();
    const int pitch = stacked.fontMetrics().lineSpacing();
    const int top = (column.height() - 2 * pitch) / 2;
    const QRect bracket = inkBounds(column, QRect(0, top, column.width(), pitch));
    ASSERT_FALSE(bracket.isEmpty());
    EXPECT_GT(bracket.width(), 2 * bracket.height());
    const QRect comma = inkBounds(column, QRect(0, top + pitch, column.width(), pitch));
    ASSERT_FALSE(comma.isEmpty());
    EXPECT_GT(comma.center().x(), column.width() / 2);
    EXPECT_LT(comma.center().y(), top + pitch + pitch / 2);

    CardLabel level(QStringLiteral("（"));
    level.setFont(font);
    level.setStyleSheet(QStringLiteral("background: white; color: black"));
    level.adjustSize();
    const QImage line = level.grab().toImage();
    const QRect upright = inkBounds(line, line.rect());
    ASSERT_FALSE(upright.isEmpty());
    EXPECT_GT(upright.height(), 2 * upright.width());
}

} // namespace
