#include "services/PhotoTools.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <cmath>
#include <QImageReader>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace {

// Decodes the bytes and gives the picture's format and size.
std::pair<QByteArray, QSize> decoded(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return {reader.format(), reader.size()};
}

bool writeImage(const QString& path, QSize size, const char* format, QImage::Format pixels = QImage::Format_RGB32)
{
    QImage image(size, pixels);
    image.fill(QColor(40, 140, 60));
    QImageWriter writer(path, format);
    return writer.write(image);
}

// A JPEG whose EXIF block says "turn 90° clockwise to view" (orientation 6).
QByteArray withOrientation6(const QByteArray& jpeg)
{
    QByteArray tiff;
    tiff += QByteArray("MM\x00\x2A\x00\x00\x00\x08", 8);               // big-endian TIFF, IFD at 8
    tiff += QByteArray("\x00\x01", 2);                                 // one entry
    tiff += QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00", 12); // Orientation SHORT 1 = 6
    tiff += QByteArray("\x00\x00\x00\x00", 4);                         // no next IFD
    const QByteArray payload = QByteArray("Exif\x00\x00", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray app1("\xFF\xE1", 2);
    app1 += char(length >> 8);
    app1 += char(length & 0xFF);
    app1 += payload;
    return jpeg.left(2) + app1 + jpeg.mid(2); // right after the start-of-image marker
}

} // namespace

TEST(PhotoToolsSize, ScalingRule)
{
    EXPECT_EQ(PhotoTools::targetSize({4000, 3000}), QSize(1600, 1200));
    EXPECT_EQ(PhotoTools::targetSize({1200, 800}), QSize(1200, 800));
    EXPECT_EQ(PhotoTools::targetSize({6000, 4000}), QSize(1600, 1066)); // fraction dropped
    EXPECT_EQ(PhotoTools::targetSize({3000, 2}), QSize(1600, 1));
    EXPECT_EQ(PhotoTools::targetSize({100000, 3}), QSize(1600, 1));     // never below 1
    EXPECT_EQ(PhotoTools::targetSize({800, 600}, 0), QSize(1, 1));
    EXPECT_FALSE(PhotoTools::targetSize({800, 600}, std::nan("")).isValid());
    EXPECT_FALSE(PhotoTools::targetSize({0, 600}).isValid());
}

TEST(PhotoToolsFile, LargePngBecomesBoundedJpeg)
{
    testsupport::ScratchDir dir;
    const QString png = dir.file(QStringLiteral("big.png"));
    ASSERT_TRUE(writeImage(png, {4000, 3000}, "png", QImage::Format_ARGB32));
    const std::optional<QByteArray> bytes = PhotoTools::jpeg(png);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(decoded(*bytes), std::make_pair(QByteArray("jpeg"), QSize(1600, 1200)));

    const QString small = dir.file(QStringLiteral("small.png"));
    ASSERT_TRUE(writeImage(small, {1200, 800}, "png"));
    EXPECT_EQ(decoded(*PhotoTools::jpeg(small)).second, QSize(1200, 800));
}

// Camera photos beyond Qt's default decoding limit (here 48 megapixels) still load.
TEST(PhotoToolsFile, FortyEightMegapixelJpegIsDownscaled)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file(QStringLiteral("camera.jpg"));
    ASSERT_TRUE(writeImage(path, {8000, 6000}, "jpeg", QImage::Format_RGB888));
    const std::optional<QByteArray> bytes = PhotoTools::jpeg(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(decoded(*bytes).second, QSize(1600, 1200));
}

// BMP has no scaled decoding: the whole picture is decoded first, which Qt's
// default limit (128 MB) would refuse at this size.
TEST(PhotoToolsFile, BigPictureWithoutScaledDecoding)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file(QStringLiteral("scan.bmp"));
    ASSERT_TRUE(writeImage(path, {8000, 4400}, "bmp", QImage::Format_RGB888));
    const std::optional<QByteArray> bytes = PhotoTools::jpeg(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(decoded(*bytes).second, QSize(1600, 880));
}

// A picture that needs more than 256 MB decoded whole (here 72 megapixels of BMP,
// 288 MB) is refused without being decoded, as a crafted header would be.
TEST(PhotoToolsFile, PictureBeyondTheDecodingLimitIsRefused)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file(QStringLiteral("huge.bmp"));
    const qint32 width = 9000;
    const qint32 height = 8000;
    const qint32 rowBytes = width * 3; // a multiple of 4: no padding
    const quint32 pixelBytes = quint32(rowBytes) * quint32(height);
    QByteArray header(54, '\0');
    const auto put32 = [&header](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + pixelBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    header[26] = 1;  // planes
    header[28] = 24; // bits per pixel
    put32(34, pixelBytes);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(header), 54);
    const QByteArray row(rowBytes, char(0x50));
    for (int y = 0; y < height; ++y)
        ASSERT_EQ(file.write(row), rowBytes);
    file.close();
    ASSERT_EQ(QImageReader(path).size(), QSize(width, height));

    EXPECT_FALSE(PhotoTools::jpeg(path).has_value());
}

TEST(PhotoToolsFile, OrientationTagIsApplied)
{
    testsupport::ScratchDir dir;
    QByteArray plain;
    {
        QImage image(400, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QBuffer buffer(&plain);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "jpeg"));
    }
    const QString path = dir.file(QStringLiteral("portrait.jpg"));
    ASSERT_TRUE(testsupport::writeAll(path, withOrientation6(plain)));
    EXPECT_EQ(decoded(*PhotoTools::jpeg(path)).second, QSize(200, 400));
    EXPECT_EQ(decoded(*PhotoTools::jpeg(path, 100)).second, QSize(50, 100));
}

TEST(PhotoToolsFile, NonPicturesGiveNothing)
{
    testsupport::ScratchDir dir;
    const QString text = dir.file(QStringLiteral("notes.jpg"));
    ASSERT_TRUE(testsupport::writeAll(text, "just some text, not a picture\n"));
    EXPECT_FALSE(PhotoTools::jpeg(text).has_value());
    EXPECT_FALSE(PhotoTools::jpeg(dir.file(QStringLiteral("missing.png"))).has_value());
    EXPECT_FALSE(PhotoTools::jpeg(dir.path()).has_value());
    EXPECT_FALSE(PhotoTools::jpeg(QImage()).has_value());
    EXPECT_EQ(PhotoTools::notAPictureMessage, QStringLiteral("That file could not be read as a picture."));
}

TEST(PhotoToolsImage, InMemoryImageIsScaled)
{
    QImage image(3000, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const std::optional<QByteArray> bytes = PhotoTools::jpeg(image);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(decoded(*bytes), std::make_pair(QByteArray("jpeg"), QSize(1600, 1)));
}
