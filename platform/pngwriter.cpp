#include "platform/pngwriter.h"

#include <QFile>

#include <zlib.h>

#include <vector>

namespace platform {

namespace {

void appendBigEndian(QByteArray &out, quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    out.append(bytes, 4);
}

void appendChunk(QByteArray &out, const char type[4], const QByteArray &data)
{
    appendBigEndian(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef *>(out.constData() + start), uInt(data.size() + 4));
    appendBigEndian(out, quint32(crc));
}

} // namespace

QByteArray encodePng(const QImage &source)
{
    if (source.isNull()) return {};
    const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width(), height = image.height();
    // Pages of black text on white paper are grey throughout: one byte a pixel instead of three.
    bool grey = true;
    for (int y = 0; y < height && grey; ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width && grey; ++x)
            grey = qRed(pixels[x]) == qGreen(pixels[x]) && qGreen(pixels[x]) == qBlue(pixels[x]);
    }
    const size_t channels = grey ? 1 : 3;
    const size_t rowBytes = size_t(width) * channels;

    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return {};
    QByteArray compressed;
    compressed.resize(qsizetype(deflateBound(&stream, uLong((rowBytes + 1) * size_t(height)))));
    stream.next_out = reinterpret_cast<Bytef *>(compressed.data());
    stream.avail_out = uInt(compressed.size());

    // One filtered row: the filter byte 2 ("Up") and each byte minus the byte above it.
    std::vector<unsigned char> previous(rowBytes, 0), current(rowBytes), filtered(rowBytes + 1);
    filtered[0] = 2;
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (grey) {
            for (int x = 0; x < width; ++x)
                current[size_t(x)] = static_cast<unsigned char>(qGreen(pixels[x]));
        } else {
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = pixels[x];
                current[size_t(x) * 3] = static_cast<unsigned char>(qRed(pixel));
                current[size_t(x) * 3 + 1] = static_cast<unsigned char>(qGreen(pixel));
                current[size_t(x) * 3 + 2] = static_cast<unsigned char>(qBlue(pixel));
            }
        }
        for (size_t i = 0; i < rowBytes; ++i)
            filtered[i + 1] = static_cast<unsigned char>(current[i] - previous[i]);
        previous.swap(current);
        stream.next_in = filtered.data();
        stream.avail_in = uInt(filtered.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        const int result = deflate(&stream, flush);
        ok = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK;
    }
    compressed.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    if (!ok) return {};

    QByteArray out;
    out.reserve(compressed.size() + 128);
    out.append("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, quint32(width));
    appendBigEndian(header, quint32(height));
    header.append('\x08');                 // 8 bits a sample
    header.append(grey ? '\x00' : '\x02'); // grey or RGB
    header.append("\x00\x00\x00", 3);      // deflate, adaptive filters, no interlace
    appendChunk(out, "IHDR", header);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray physical;
        appendBigEndian(physical, quint32(image.dotsPerMeterX()));
        appendBigEndian(physical, quint32(image.dotsPerMeterY()));
        physical.append('\x01'); // per metre
        appendChunk(out, "pHYs", physical);
    }
    appendChunk(out, "IDAT", compressed);
    appendChunk(out, "IEND", QByteArray());
    return out;
}

bool writePng(const QImage &image, const QString &fileName)
{
    const QByteArray bytes = encodePng(image);
    if (bytes.isEmpty()) return false;
    // A plain file: rendered pages are scratch output, not worth a sync to disk each.
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace platform
