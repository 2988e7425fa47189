#include "platform/gzip.h"

#include "platform/errors.h"

#include <zlib.h>

namespace platform {

namespace {

// More than this after inflating is taken for a hostile stream rather than data of ours.
constexpr qsizetype maxInflatedSize = qsizetype(1) << 30;

Error gzipError(const QString &reason)
{
    return Error(QStringLiteral("gzip 数据无效：%1").arg(reason));
}

bool startsMember(const Bytef *data, uInt size)
{
    return size >= 2 && data[0] == 0x1f && data[1] == 0x8b;
}

} // namespace

QByteArray gunzip(const QByteArray &compressed)
{
    const auto *input = reinterpret_cast<const Bytef *>(compressed.constData());
    if (compressed.size() > qsizetype(UINT_MAX)) throw gzipError(QStringLiteral("数据过大"));
    if (!startsMember(input, uInt(compressed.size()))) throw gzipError(QStringLiteral("不是 gzip 格式"));

    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) throw gzipError(QStringLiteral("无法初始化解压"));
    stream.next_in = const_cast<Bytef *>(input);
    stream.avail_in = uInt(compressed.size());

    QByteArray out;
    out.resize(qMax<qsizetype>(qsizetype(compressed.size()) * 4, 4096));
    qsizetype written = 0;
    QString failure;
    for (;;) {
        if (written == out.size()) {
            if (out.size() >= maxInflatedSize) {
                failure = QStringLiteral("解压后的数据过大");
                break;
            }
            out.resize(qMin(out.size() * 2, maxInflatedSize));
        }
        stream.next_out = reinterpret_cast<Bytef *>(out.data() + written);
        stream.avail_out = uInt(out.size() - written);
        const int result = inflate(&stream, Z_NO_FLUSH);
        written = out.size() - stream.avail_out;
        if (result == Z_STREAM_END) {
            if (stream.avail_in == 0) break;
            // Another member follows: its content is appended, as gzip -d does.
            if (!startsMember(stream.next_in, stream.avail_in)) {
                failure = QStringLiteral("数据末尾有多余的字节");
                break;
            }
            inflateReset(&stream);
            continue;
        }
        if (result == Z_OK) continue;
        if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            failure = QStringLiteral("数据不完整");
            break;
        }
        if (result == Z_BUF_ERROR) continue; // only the output was full
        failure = stream.msg ? QStringLiteral("数据损坏（%1）").arg(QLatin1String(stream.msg))
                             : QStringLiteral("数据损坏");
        break;
    }
    inflateEnd(&stream);
    if (!failure.isEmpty()) throw gzipError(failure);
    out.resize(written);
    return out;
}

QByteArray gzip(const QByteArray &data)
{
    if (data.size() > qsizetype(UINT_MAX)) throw Error(QStringLiteral("gzip 压缩失败：数据过大"));
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Error(QStringLiteral("gzip 压缩失败：无法初始化"));
    QByteArray out;
    out.resize(qsizetype(deflateBound(&stream, uLong(data.size()))));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    const qsizetype written = qsizetype(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw Error(QStringLiteral("gzip 压缩失败"));
    out.resize(written);
    return out;
}

} // namespace platform
