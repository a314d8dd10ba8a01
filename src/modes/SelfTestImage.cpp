#include "modes/SelfTestImage.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace OVSelfTest {

QByteArray testImageData()
{
    QImage image(8, 8, QImage::Format_RGBA8888);
    const auto channel = [](double fraction) { return qRound(fraction * 255.0); };
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgba(channel(0.2), channel(x / 8.0), channel(0.2), 255));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

} // namespace OVSelfTest
