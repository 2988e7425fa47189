// The preview toolbar's image strip, kept gzip-compressed in the resources.
#include "report/ui/frxPreview.h"

#include "platform/errors.h"
#include "platform/gzip.h"

#include <QFile>

static void initPreviewResources()
{
    Q_INIT_RESOURCE(frxPreview);
}

namespace frx {

namespace {

constexpr int kIconSize = 16;
constexpr int kIconCount = 25;

QList<QPixmap> loadStrip()
{
    initPreviewResources();
    QList<QPixmap> icons;
    QImage strip;
    QFile file(QStringLiteral(":/frx/PreviewButtons"));
    if (file.open(QIODevice::ReadOnly)) {
        try {
            strip = QImage::fromData(platform::gunzip(file.readAll()), "BMP");
        } catch (const platform::Error &) {
            strip = QImage();
        }
    }
    // 24 bits leave no alpha: magenta marks the transparent pixels.
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < strip.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x)
            if ((line[x] & 0xFFFFFF) == 0xFF00FF) line[x] = 0;
    }
    for (int i = 0; i < kIconCount; ++i) {
        const QRect cell(i * kIconSize, 0, kIconSize, kIconSize);
        icons.append(strip.width() >= cell.right() + 1 ? QPixmap::fromImage(strip.copy(cell)) : QPixmap());
    }
    return icons;
}

} // namespace

const QList<QPixmap> &frxPreviewButtonImages()
{
    static const QList<QPixmap> icons = loadStrip();
    return icons;
}

} // namespace frx
