#include "platform/pngwriter.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A page-like image: paper with a few coloured marks, one pixel wide at the edges.
QImage sample(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x * 7 + y * 3) % 11 == 0) image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(width - 1, height - 1, qRgb(250, 0, 5));
    return image;
}

} // namespace

TEST(PngWriter, decodesToTheSamePixels)
{
    for (const QSize size : {QSize(1, 1), QSize(3, 2), QSize(718, 416), QSize(257, 1031)}) {
        const QImage image = sample(size.width(), size.height());
        const QByteArray bytes = encodePng(image);
        ASSERT_FALSE(bytes.isEmpty()) << size.width();
        QImage decoded;
        ASSERT_TRUE(decoded.loadFromData(bytes, "PNG")) << size.width();
        EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image) << size.width();
    }
}

TEST(PngWriter, greyPagesBecomeGreyImagesWithTheSamePixels)
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 10; x < 290; ++x)
        image.setPixel(x, 100, qRgb(x % 256, x % 256, x % 256));
    const QByteArray bytes = encodePng(image);
    EXPECT_EQ(bytes[25], 0); // colour type in IHDR: grey
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(bytes, "PNG"));
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image);
    image.setPixel(5, 5, qRgb(200, 10, 10));
    EXPECT_EQ(encodePng(image)[25], 2); // one coloured pixel: RGB
}

TEST(PngWriter, keepsTheResolutionAndConvertsOtherFormats)
{
    QImage image = sample(40, 30).convertToFormat(QImage::Format_Indexed8);
    image.setDotsPerMeterX(11811); // 300 per inch
    image.setDotsPerMeterY(3780);
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(encodePng(image), "PNG"));
    EXPECT_EQ(decoded.dotsPerMeterX(), 11811);
    EXPECT_EQ(decoded.dotsPerMeterY(), 3780);
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
}

TEST(PngWriter, nullImageAndUnwritableFileFail)
{
    EXPECT_TRUE(encodePng(QImage()).isEmpty());
    EXPECT_FALSE(writePng(QImage(), QStringLiteral("/tmp/never.png")));
    QTemporaryDir dir;
    EXPECT_FALSE(writePng(sample(4, 4), dir.path() + QStringLiteral("/missing/page.png")));
    const QString name = dir.path() + QStringLiteral("/page.png");
    EXPECT_TRUE(writePng(sample(4, 4), name));
    EXPECT_EQ(QImage(name).convertToFormat(QImage::Format_RGB32), sample(4, 4));
}
