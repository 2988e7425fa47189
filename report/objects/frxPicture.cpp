// Picture files in and out of templates and prepared pages.
#include "report/objects/frxPicture.h"

#include "report/xml/frxXMLSerializer.h"

#include <platform/errors.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

namespace frx {

namespace {

// The graphic class name written ahead of a PNG file.
const QByteArray pngClass = QByteArrayLiteral("TPngImage");

// The reader format of a picture file by its signature; none for files we do not read. Only these
// decoders ever see bytes from a template.
QByteArray formatOf(const QByteArray &file)
{
    if (file.startsWith("\x89PNG\r\n\x1a\n")) return QByteArrayLiteral("png");
    if (file.startsWith("\xff\xd8\xff")) return QByteArrayLiteral("jpeg");
    if (file.startsWith("BM")) return QByteArrayLiteral("bmp");
    if (file.startsWith("GIF87a") || file.startsWith("GIF89a")) return QByteArrayLiteral("gif");
    return {};
}

quint32 littleEndian32(const QByteArray &bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

} // namespace

QByteArray TfrxStoredPicture::StreamFor(const QImage &image) const
{
    return !image.isNull() && image.cacheKey() == Key ? Stream : QByteArray();
}

QImage DecodePicture(const QByteArray &file)
{
    const QByteArray format = formatOf(file);
    if (format.isEmpty()) throw platform::Error(QStringLiteral("unknown picture format"));
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) throw platform::Error(QStringLiteral("the picture has no size"));
    if (qint64(size.width()) * size.height() > maxPicturePixels)
        throw platform::Error(
            QStringLiteral("the picture is too large (%1 x %2)").arg(size.width()).arg(size.height()));
    QImage image = reader.read();
    if (image.isNull())
        throw platform::Error(QStringLiteral("the picture is damaged: %1").arg(reader.errorString()));
    return image;
}

QByteArray EncodePicture(const QImage &image)
{
    QByteArray bytes;
    if (image.isNull()) return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) bytes.clear();
    return bytes;
}

QByteArray PictureStream(const QImage &image)
{
    const QByteArray file = EncodePicture(image);
    if (file.isEmpty()) return {};
    QByteArray data;
    data.append(char(pngClass.size()));
    data.append(pngClass);
    data.append(file);
    PropertyStreamWriter writer;
    writer.WriteName(QStringLiteral("Data"));
    writer.WriteBinary(data);
    return writer.Data();
}

QByteArray PictureFile(const QByteArray &stream)
{
    PropertyStreamReader reader(stream);
    if (reader.ReadName() != u"Data") throw platform::Error(QStringLiteral("no picture data"));
    const QByteArray data = reader.ReadBinary();
    const qsizetype nameLength = data.isEmpty() ? 0 : quint8(data[0]);
    if (data.size() <= nameLength + 1) throw platform::Error(QStringLiteral("the picture data is empty"));
    QByteArray file = data.sliced(nameLength + 1);
    if (formatOf(file).isEmpty() && file.size() > 4 && littleEndian32(file, 0) == quint32(file.size() - 4))
        file.remove(0, 4);
    return file;
}

QImage ReadPictureStream(const QByteArray &stream, TfrxStoredPicture &stored)
{
    QImage image = DecodePicture(PictureFile(stream));
    stored.Stream = stream;
    stored.Key = image.cacheKey();
    return image;
}

} // namespace frx
