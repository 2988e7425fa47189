#include "report/objects/frxPicture.h"

#include "report/xml/frxXMLSerializer.h"

#include <platform/errors.h>

#include <QBuffer>
#include <QtEndian>

#include "tests/support/gui_environment.h"

#include <gtest/gtest.h>

using namespace frx;

namespace {

QByteArray fileOf(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage checkerboard()
{
    QImage image(6, 4, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(200, 0, 0) : qRgb(0, 0, 200));
    return image;
}

// A "Data" entry with a graphic class name and `file`, as another program would write it.
QByteArray streamOf(const QByteArray &className, const QByteArray &file)
{
    PropertyStreamWriter writer;
    writer.WriteName(QStringLiteral("Data"));
    writer.WriteBinary(char(className.size()) + className + file);
    return writer.Data();
}

QString refusal(const QByteArray &file)
{
    try {
        DecodePicture(file);
    } catch (const platform::Error &error) {
        return error.message();
    }
    return {};
}

TEST(Picture, filesOfEveryReadFormatDecode)
{
    const QImage image = checkerboard();
    for (const char *format : {"PNG", "BMP"}) {
        const QImage read = DecodePicture(fileOf(image, format));
        EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), image) << format;
    }
    EXPECT_EQ(DecodePicture(fileOf(image, "JPEG")).size(), image.size());
    const QByteArray gif =
        QByteArray::fromHex("47494638396101000100800000000000ffffff21f90401000000002c000000000100"
                            "01000002024401003b");
    EXPECT_EQ(DecodePicture(gif).size(), QSize(1, 1));
}

TEST(Picture, badFilesAreRefusedWithAReason)
{
    const QByteArray png = fileOf(checkerboard(), "PNG");
    EXPECT_EQ(refusal("not a picture"), u"unknown picture format");
    EXPECT_EQ(refusal(QByteArray()), u"unknown picture format");
    EXPECT_FALSE(refusal(png.left(png.size() / 2)).isEmpty());
    EXPECT_FALSE(refusal(png.left(20)).isEmpty());
    // A picture from another reader's format is refused, not handed to that reader.
    EXPECT_EQ(refusal(fileOf(checkerboard(), "XPM")), u"unknown picture format");

    // A header claiming a picture too large to hold is refused before anything is allocated.
    QByteArray bmp = fileOf(checkerboard(), "BMP");
    qToLittleEndian<qint32>(9000, bmp.data() + 18);
    qToLittleEndian<qint32>(9000, bmp.data() + 22);
    EXPECT_EQ(refusal(bmp), u"the picture is too large (9000 x 9000)");
}

TEST(Picture, streamsGiveTheirFileWithOrWithoutALengthAhead)
{
    const QByteArray png = fileOf(checkerboard(), "PNG");
    EXPECT_EQ(PictureFile(streamOf("TPngImage", png)), png);
    QByteArray sized(4, '\0');
    qToLittleEndian<quint32>(quint32(png.size()), sized.data());
    EXPECT_EQ(PictureFile(streamOf("TBitmap", sized + png)), png);
    // A length that does not match is part of the file.
    qToLittleEndian<quint32>(quint32(png.size() + 1), sized.data());
    EXPECT_EQ(PictureFile(streamOf("TBitmap", sized + png)).size(), png.size() + 4);

    EXPECT_THROW(PictureFile(streamOf("TPngImage", QByteArray())), platform::Error);
    EXPECT_THROW(PictureFile(QByteArray("\x04"
                                        "Date\x0a\x00\x00\x00\x00",
                                        9)),
                 platform::Error);
    EXPECT_THROW(PictureFile(QByteArray("\x04"
                                        "Data\x0a\xff\x00\x00\x00",
                                        9)),
                 platform::Error);
}

TEST(Picture, aReadStreamIsKeptWhileItsImageIsUnchanged)
{
    // JPEG is not what this system writes: keeping it is the only way to give back the same bytes.
    const QByteArray stream = streamOf("TJPEGImage", fileOf(checkerboard(), "JPEG"));
    TfrxStoredPicture stored;
    QImage image = ReadPictureStream(stream, stored);
    EXPECT_EQ(stored.StreamFor(image), stream);
    QImage copy = image;
    EXPECT_EQ(stored.StreamFor(copy), stream);
    copy.setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_TRUE(stored.StreamFor(copy).isEmpty());
    EXPECT_EQ(stored.StreamFor(image), stream);
    EXPECT_TRUE(stored.StreamFor(checkerboard()).isEmpty());
    EXPECT_TRUE(stored.StreamFor(QImage()).isEmpty());

    // A stream that cannot be read leaves what was kept.
    EXPECT_THROW(ReadPictureStream(streamOf("TPngImage", "junk"), stored), platform::Error);
    EXPECT_EQ(stored.Stream, stream);
}

TEST(Picture, newPicturesAreEncodedTheSameWayEveryTime)
{
    QImage image(5, 4, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30, 128));
    const QByteArray stream = PictureStream(image);
    EXPECT_EQ(PictureStream(image), stream);
    EXPECT_EQ(PictureStream(image.copy()), stream);
    TfrxStoredPicture stored;
    EXPECT_EQ(ReadPictureStream(stream, stored).convertToFormat(QImage::Format_ARGB32), image);
    EXPECT_TRUE(PictureStream(QImage()).isEmpty());
}

} // namespace
