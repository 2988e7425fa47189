#include "app/model/cardgeometry.h"

#include <gtest/gtest.h>

using namespace cardgeometry;

TEST(cardgeometry, pictureFollowsCardSizeWithTruncatingDivision)
{
    EXPECT_EQ(pictureWidthPx(210), 595);  // 208320 / 350 = 595.2
    EXPECT_EQ(pictureHeightPx(285), 807); // 193800 / 240 = 807.5
    EXPECT_EQ(pictureWidthPx(350), 992);
    EXPECT_EQ(pictureHeightPx(240), 680);
    EXPECT_EQ(pictureWidthPx(100), 283);
    EXPECT_EQ(pictureHeightPx(100), 283);
    EXPECT_EQ(pictureWidthPx(-1), -2); // towards zero, not down
}

TEST(cardgeometry, millimetresBecomePixelsFromThePictureOrigin)
{
    EXPECT_EQ(pixelFromMm(20, 210, 595, 0), 56); // 11900 / 210 = 56.67
    EXPECT_EQ(pixelFromMm(20, 210, 595, 5), 61);
    EXPECT_EQ(pixelFromMm(-7, 210, 595, 0), -19); // -19.83 truncates towards zero
    EXPECT_EQ(pixelFromMm(0, 210, 595, -348), -348);
}

TEST(cardgeometry, pixelsBecomeMillimetresOfTheCard)
{
    EXPECT_EQ(mmFromPixel(100, 210, 595, 0), 35); // 21000 / 595 = 35.29
    EXPECT_EQ(mmFromPixel(105, 210, 595, 5), 35);
    EXPECT_EQ(mmFromPixel(5, 210, 595, 5), 0);
    EXPECT_EQ(mmFromPixel(0, 210, 595, 5), -1); // left of the picture: negative
    EXPECT_EQ(mmFromPixel(3, 210, 595, 5), 0);  // -0.7 truncates to 0
}

TEST(cardgeometry, zeroDivisorsGiveNoPosition)
{
    EXPECT_FALSE(pixelFromMm(20, 0, 595, 0).has_value());
    EXPECT_FALSE(mmFromPixel(100, 210, 0, 0).has_value());
    EXPECT_TRUE(mmFromPixel(100, 0, 595, 0).has_value()); // a card of 0 mm still has a picture width
}

TEST(cardgeometry, productsWrapLikeThirtyTwoBitIntegers)
{
    // 3000000 × 992 leaves the 32-bit range; the wrapped product divided by 350.
    const std::int32_t wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(3000000u * 992u));
    EXPECT_EQ(pictureWidthPx(3000000), wrapped / 350);
    EXPECT_EQ(pixelFromMm(1, -1, INT32_MIN, 0), INT32_MIN);
}

TEST(cardgeometry, dragTagHoldsGrabPointAndFlag)
{
    const std::int32_t tag = dragTag(12, 7, true);
    EXPECT_TRUE(tagDragging(tag));
    EXPECT_EQ(tagGrabX(tag), 12);
    EXPECT_EQ(tagGrabY(tag), 7);
    EXPECT_LT(tag, 0); // bit 31 makes the signed tag negative
    EXPECT_EQ(static_cast<std::uint32_t>(tag), 0x80000000u + 7u * 65536u + 12u);

    const std::int32_t released = dragTag(12, 7, false);
    EXPECT_FALSE(tagDragging(released));
    EXPECT_EQ(released, 7 * 65536 + 12);
    EXPECT_EQ(dragTag(0, 0, false), 0);

    const std::int32_t far = dragTag(65535, 32767, true);
    EXPECT_EQ(tagGrabX(far), 65535);
    EXPECT_EQ(tagGrabY(far), 32767);
    EXPECT_TRUE(tagDragging(far));
}
