#pragma once
// Turns a picture chosen for a plant into JPEG bytes of bounded size, ready to be
// stored as a photo record. The longer side is at most `maxSide` pixels (never
// enlarged; each side at least 1), sRGB, quality 85; the camera's orientation tag
// is applied, so the stored picture stands the way it was taken.
// Large photos are decoded at reduced size where the format allows it, and no
// camera photo is refused for its pixel count (a 48-megapixel JPEG decodes). A
// picture that would need more than 256 MB decoded (over 64 megapixels in a format
// without scaled decoding) is refused like a file that is no picture.
// Nothing here throws or talks to the user: every failure is "no data".

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace PhotoTools {

inline constexpr double kDefaultMaxSide = 1600;

// What the user is told when a chosen file gives no picture.
inline const QString notAPictureMessage = QStringLiteral("That file could not be read as a picture.");

// The JPEG bytes of the picture file at `path`; nothing when it is no picture
// this installation can read, or when encoding fails.
std::optional<QByteArray> jpeg(const QString& path, double maxSide = kDefaultMaxSide);
// The JPEG bytes of an image already in memory.
std::optional<QByteArray> jpeg(const QImage& image, double maxSide = kDefaultMaxSide);

// The stored size of a picture of `size`: both sides times
// min(maxSide / longer side, 1), fractions dropped, at least 1. Invalid for an
// empty size or a maxSide that is not a number.
QSize targetSize(QSize size, double maxSide = kDefaultMaxSide);

} // namespace PhotoTools
