#include "app/model/cardphoto.h"

#include "platform/errors.h"

#include <QDir>
#include <QImageReader>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace cardphoto {

QImage readPhoto(const QString &path)
{
    QImageReader reader(path);
    // A phone stores the picture as the sensor saw it and the turn in EXIF.
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    QImage image;
    if (format == "jpeg" || format == "png") image = reader.read();
    if (image.isNull()) {
        const QString reason = format.isEmpty() || (format != "jpeg" && format != "png")
                                   ? QStringLiteral("不是 JPEG 或 PNG 图片")
                                   : reader.errorString();
        throw platform::FileError(
            QStringLiteral("无法读取图片“%1”：%2。").arg(QDir::toNativeSeparators(path), reason));
    }
    return image;
}

std::optional<layout::CardSizeMm> sizeFromResolution(const QImage &photo, const Corners &corners)
{
    if (photo.dotsPerMeterX() <= 0 || photo.dotsPerMeterY() <= 0) return std::nullopt;
    const double across =
        std::max(QLineF(corners[0], corners[1]).length(), QLineF(corners[3], corners[2]).length());
    const double down =
        std::max(QLineF(corners[0], corners[3]).length(), QLineF(corners[1], corners[2]).length());
    const auto mm = [](double pixels, int dotsPerMeter) {
        return static_cast<int>(std::lround(pixels * 1000.0 / dotsPerMeter));
    };
    return layout::CardSizeMm{mm(across, photo.dotsPerMeterX()), mm(down, photo.dotsPerMeterY())};
}

QImage straighten(const QImage &photo, const Corners &corners, layout::CardSizeMm cardSize, int maxSidePx)
{
    if (photo.isNull() || cardSize.width <= 0 || cardSize.height <= 0) return {};
    const QPolygonF quad({corners[0], corners[1], corners[2], corners[3]});
    // Twice the signed area (shoelace): nothing to cut out of a line or a point.
    double area = 0;
    for (int i = 0; i < 4; ++i) {
        const QPointF &a = quad[i];
        const QPointF &b = quad[(i + 1) % 4];
        area += a.x() * b.y() - b.x() * a.y();
    }
    if (std::abs(area) < 1) return {};

    const double across =
        std::max(QLineF(corners[0], corners[1]).length(), QLineF(corners[3], corners[2]).length());
    double widthPx = across;
    double heightPx = across * cardSize.height / cardSize.width;
    const double scale = std::min(1.0, maxSidePx / std::max(widthPx, heightPx));
    const QSize size(std::max(1, static_cast<int>(std::lround(widthPx * scale))),
                     std::max(1, static_cast<int>(std::lround(heightPx * scale))));

    QTransform transform;
    const QPolygonF target(QRectF(0, 0, size.width(), size.height()));
    // QRectF's polygon closes with its first corner again: the four corners are its first four.
    if (!QTransform::quadToQuad(quad, QPolygonF({target[0], target[1], target[2], target[3]}), transform))
        return {};
    QImage card(size, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(transform);
    painter.drawImage(QPointF(0, 0), photo);
    painter.end();
    // The picture's resolution follows the card's size, for printing it at its size.
    card.setDotsPerMeterX(static_cast<int>(std::lround(size.width() * 1000.0 / cardSize.width)));
    card.setDotsPerMeterY(static_cast<int>(std::lround(size.height() * 1000.0 / cardSize.height)));
    return card;
}

} // namespace cardphoto
