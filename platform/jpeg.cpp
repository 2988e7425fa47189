#include "platform/jpeg.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

namespace platform {

namespace {

// libjpeg reports errors through a callback that must not return; it jumps back to the decoder
// with the reason kept here. No C++ object with a destructor lives between setjmp and longjmp.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char reason[JMSG_LENGTH_MAX + 64];
};

[[noreturn]] void failWithReason(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    switch (info->err->msg_code) {
    case JERR_NO_SOI:
        std::snprintf(manager->reason, sizeof manager->reason, "不是 JPEG 图片");
        break;
    case JERR_INPUT_EMPTY:
        std::snprintf(manager->reason, sizeof manager->reason, "文件为空");
        break;
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF:
        std::snprintf(manager->reason, sizeof manager->reason, "文件不完整");
        break;
    default: {
        char detail[JMSG_LENGTH_MAX];
        info->err->format_message(info, detail);
        std::snprintf(manager->reason, sizeof manager->reason, "图片数据损坏（%s）", detail);
        break;
    }
    }
    std::longjmp(manager->jump, 1);
}

void onError(j_common_ptr info)
{
    failWithReason(info);
}

// A warning about missing data means the file was cut short; libjpeg would pad it with grey.
// Other warnings concern data libjpeg recovers from and are let pass.
void onMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) failWithReason(info);
}

QString decodeFailure(const QString &sourceName, const QString &reason)
{
    return QStringLiteral("无法解码图片 “%1”：%2").arg(sourceName, reason);
}

// Turns a scan line of CMYK samples into RGB32 pixels. Files written by the usual prepress
// programs carry an Adobe marker and store the samples inverted.
void cmykToRgb(const JSAMPLE *cmyk, QRgb *rgb, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

// Decodes with libjpeg into image; returns false with reason filled on failure. Kept free of
// C++ objects with destructors on the stack, since libjpeg's error exit longjmps out of it.
bool decodeInto(const QByteArray &data, QImage &image, ErrorManager &errors, JSAMPLE *&cmykRow)
{
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    errors.reason[0] = '\0';
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);

    QImage::Format format = QImage::Format_RGB32;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        break;
    default:
        info.out_color_space = JCS_EXT_BGRX; // the byte order of QImage::Format_RGB32
        break;
    }
    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), format);
    if (image.isNull()) {
        std::snprintf(errors.reason, sizeof errors.reason, "图片太大，内存不足");
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.out_color_space == JCS_CMYK;
    if (cmyk) cmykRow = static_cast<JSAMPLE *>(std::malloc(size_t(info.output_width) * 4));
    while (info.output_scanline < info.output_height) {
        uchar *line = image.scanLine(int(info.output_scanline));
        JSAMPROW row = cmyk ? cmykRow : line;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) continue;
        if (cmyk)
            cmykToRgb(cmykRow, reinterpret_cast<QRgb *>(line), info.output_width, info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &data, const QString &sourceName)
{
    QImage image;
    ErrorManager errors;
    JSAMPLE *cmykRow = nullptr;
    const bool decoded = decodeInto(data, image, errors, cmykRow);
    std::free(cmykRow);
    if (!decoded) throw FileError(decodeFailure(sourceName, QString::fromUtf8(errors.reason)));
    return image;
}

QImage decodeJpegFile(const QString &path)
{
    const QFileInfo fileInfo(path);
    const auto openFailure = [&](const QString &reason) {
        return FileError(QStringLiteral("无法打开图片文件 “%1”：%2").arg(path, reason));
    };
    if (!fileInfo.exists()) throw openFailure(QStringLiteral("文件不存在"));
    if (fileInfo.isDir()) throw openFailure(QStringLiteral("这是一个文件夹"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw openFailure(file.error() == QFileDevice::PermissionsError ? QStringLiteral("没有读取权限")
                                                                        : QStringLiteral("无法读取文件"));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) throw openFailure(QStringLiteral("无法读取文件"));
    return decodeJpeg(data, path);
}

} // namespace platform
