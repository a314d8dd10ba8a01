#include "services/PhotoTools.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cmath>

namespace PhotoTools {

namespace {

constexpr int kJpegQuality = 85;

// The most memory one decoded picture may take. Qt's default (128 MB) is less than a
// 48-megapixel photo needs whole, but JPEGs, which cameras make, are decoded at the
// stored size and never come near it; formats without scaled decoding are decoded
// whole first, up to 64 megapixels at 4 bytes each. A crafted header asking for more
// is refused before anything is allocated, like any other unreadable picture.
constexpr int kAllocationLimitMB = 256;

int scaledSide(double side, double scale)
{
    const double value = std::floor(side * scale);
    if (!(value >= 1))
        return 1;
    return static_cast<int>(std::min(value, side));
}

} // namespace

QSize targetSize(QSize size, double maxSide)
{
    if (size.isEmpty() || std::isnan(maxSide))
        return {};
    const double w = size.width();
    const double h = size.height();
    const double scale = std::min(maxSide / std::max(w, h), 1.0);
    return {scaledSide(w, scale), scaledSide(h, scale)};
}

std::optional<QByteArray> jpeg(const QImage& source, double maxSide)
{
    if (source.isNull())
        return std::nullopt;
    const QSize target = targetSize(source.size(), maxSide);
    if (!target.isValid())
        return std::nullopt;

    QImage image = target == source.size()
                       ? source
                       : source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.isNull())
        return std::nullopt;
    if (image.colorSpace().isValid() && image.colorSpace() != QColorSpace(QColorSpace::SRgb)) {
        if (image.isGrayscale() && !image.hasAlphaChannel())
            image = image.convertToFormat(QImage::Format_RGB32);
        image.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
    }
    // JPEG holds no alpha: transparent parts come out black, as a premultiplied
    // draw would leave them.
    if (image.hasAlphaChannel())
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                    .convertToFormat(QImage::Format_RGB32);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return std::nullopt;
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(image) || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> jpeg(const QString& path, double maxSide)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kAllocationLimitMB);
    if (!reader.canRead())
        return std::nullopt;

    // Decode straight at the stored size when the photo is larger. The scale is the
    // same along both sides, so sizing before the orientation turn is the same as
    // sizing after it.
    const QSize stored = reader.size();
    if (stored.isValid()) {
        const QSize target = targetSize(stored, maxSide);
        if (target.isValid() && target != stored)
            reader.setScaledSize(target);
    }
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return jpeg(image, maxSide);
}

} // namespace PhotoTools
