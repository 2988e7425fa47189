#include "platform/errors.h"
#include "platform/jpeg.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include <gtest/gtest.h>

using platform::decodeJpeg;
using platform::decodeJpegFile;
using platform::FileError;

namespace {

class JpegTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QString write(const char *name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QByteArray read(const QString &file) const
    {
        QFile in(file);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        return in.readAll();
    }

    // A card-like picture: red top half, blue bottom half.
    QString saveRedOverBlue(const char *name, QImage::Format format = QImage::Format_RGB32) const
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 40; ++x)
                image.setPixel(x, y, qRgb(255, 0, 0));
        const QString file = path(name);
        EXPECT_TRUE(image.convertToFormat(format).save(file, "JPEG", 95));
        return file;
    }

    QTemporaryDir m_dir;
};

std::string failureOf(const std::function<void()> &decode)
{
    try {
        decode();
    } catch (const FileError &error) {
        return error.message().toStdString();
    }
    return "no error";
}

// Encodes a uniform CMYK picture the way prepress programs do: Adobe marker, inverted samples.
QByteArray encodeInvertedCmyk(int width, int height, const unsigned char cmyk[4])
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(size_t(width) * 4);
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < 4; ++c)
            row[size_t(x) * 4 + c] = static_cast<unsigned char>(255 - cmyk[c]);
    while (info.next_scanline < info.image_height) {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

void expectNear(QRgb actual, QRgb expected)
{
    EXPECT_NEAR(qRed(actual), qRed(expected), 8);
    EXPECT_NEAR(qGreen(actual), qGreen(expected), 8);
    EXPECT_NEAR(qBlue(actual), qBlue(expected), 8);
}

} // namespace

TEST_F(JpegTest, decodesColourPictures)
{
    const QImage image = decodeJpegFile(saveRedOverBlue("卡片.jpg"));
    ASSERT_EQ(image.size(), QSize(40, 30));
    expectNear(image.pixel(20, 3), qRgb(255, 0, 0));
    expectNear(image.pixel(20, 27), qRgb(0, 0, 255));
}

TEST_F(JpegTest, decodesGrayscalePictures)
{
    const QImage image = decodeJpegFile(saveRedOverBlue("grey.jpg", QImage::Format_Grayscale8));
    ASSERT_EQ(image.size(), QSize(40, 30));
    EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
    EXPECT_GT(qGray(image.pixel(20, 3)), qGray(image.pixel(20, 27)));
}

TEST_F(JpegTest, decodesInvertedCmykPictures)
{
    const unsigned char red[4] = {0, 255, 255, 0};
    const unsigned char darkGreen[4] = {255, 0, 255, 128};
    const QImage redImage = decodeJpeg(encodeInvertedCmyk(16, 8, red), QStringLiteral("red"));
    ASSERT_EQ(redImage.size(), QSize(16, 8));
    expectNear(redImage.pixel(8, 4), qRgb(255, 0, 0));
    const QImage green = decodeJpeg(encodeInvertedCmyk(16, 8, darkGreen), QStringLiteral("green"));
    expectNear(green.pixel(8, 4), qRgb(0, 127, 0));
}

TEST_F(JpegTest, missingAndUnreadableFilesNameTheFileAndTheReason)
{
    const QString missing = path("qingjian9.jpg");
    EXPECT_EQ(failureOf([&] { decodeJpegFile(missing); }),
              QStringLiteral("无法打开图片文件 “%1”：文件不存在").arg(missing).toStdString());
    EXPECT_EQ(failureOf([&] { decodeJpegFile(m_dir.path()); }),
              QStringLiteral("无法打开图片文件 “%1”：这是一个文件夹").arg(m_dir.path()).toStdString());
}

TEST_F(JpegTest, brokenFilesNameTheFileAndTheReason)
{
    const QString good = saveRedOverBlue("good.jpg");
    const QByteArray bytes = read(good);

    const QString truncated = write("truncated.jpg", bytes.left(bytes.size() / 2));
    EXPECT_EQ(failureOf([&] { decodeJpegFile(truncated); }),
              QStringLiteral("无法解码图片 “%1”：文件不完整").arg(truncated).toStdString());

    // Cut inside the header, before any picture data.
    const QString headerOnly = write("header.jpg", bytes.left(40));
    EXPECT_EQ(failureOf([&] { decodeJpegFile(headerOnly); }),
              QStringLiteral("无法解码图片 “%1”：文件不完整").arg(headerOnly).toStdString());

    const QString png = path("picture.jpg");
    QImage(4, 4, QImage::Format_RGB32).save(png, "PNG");
    EXPECT_EQ(failureOf([&] { decodeJpegFile(png); }),
              QStringLiteral("无法解码图片 “%1”：不是 JPEG 图片").arg(png).toStdString());

    const QString empty = write("empty.jpg", QByteArray());
    EXPECT_EQ(failureOf([&] { decodeJpegFile(empty); }),
              QStringLiteral("无法解码图片 “%1”：文件为空").arg(empty).toStdString());

    // Valid markers, garbage where the frame header should be.
    QByteArray corrupt = bytes;
    const qsizetype frame = corrupt.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    corrupt[frame + 4] = '\0'; // frame header length 0
    corrupt[frame + 5] = '\0';
    const std::string message = failureOf([&] { decodeJpeg(corrupt, QStringLiteral("内置图片")); });
    EXPECT_EQ(message.rfind("无法解码图片 “内置图片”：图片数据损坏（", 0), 0u) << message;
}

TEST_F(JpegTest, everyTruncatedPrefixFailsCleanly)
{
    const QByteArray bytes = read(saveRedOverBlue("prefix.jpg"));
    for (qsizetype length = 0; length < bytes.size() - 2; length += 7)
        EXPECT_THROW(decodeJpeg(bytes.left(length), QStringLiteral("prefix")), FileError) << length;
}
