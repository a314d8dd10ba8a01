#include "kit/KitPaint.h"

#include <QCache>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace KitPaint {
namespace {

// Three passes of a box blur over the alpha channel approximate a Gaussian whose
// standard deviation is about half the blur radius, the usual reading of a shadow's
// blur radius.
void boxBlurAlpha(QImage& image, int boxRadius)
{
    if (boxRadius < 1)
        return;
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line(std::max(w, h));
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int length = horizontal ? w : h;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> uchar& {
                uchar* bits = horizontal ? image.scanLine(l) + i * 4 : image.scanLine(i) + l * 4;
                return bits[3];
            };
            for (int i = 0; i < length; ++i)
                line[i] = at(i);
            int sum = 0;
            const int span = 2 * boxRadius + 1;
            for (int i = -boxRadius; i <= boxRadius; ++i)
                sum += (i >= 0 && i < length) ? line[i] : 0;
            for (int i = 0; i < length; ++i) {
                at(i) = uchar(sum / span);
                const int out = i - boxRadius;
                const int in = i + boxRadius + 1;
                sum += (in < length ? line[in] : 0) - (out >= 0 ? line[out] : 0);
            }
        }
    };
    for (int k = 0; k < 3; ++k) {
        pass(true);
        pass(false);
    }
}

// A blurred rounded square whose straight middle is one pixel: stretched as nine
// slices it gives the shadow of a rounded rectangle of any size with that corner.
struct ShadowTile {
    QImage image; // opaque black with blurred alpha
    int margin;   // blur extent outside the shape
    int corner;   // corner radius, whole pixels
};

const ShadowTile& tile(int corner, int boxRadius)
{
    static QCache<quint64, ShadowTile> cache(64);
    const quint64 key = (quint64(corner) << 32) | quint64(boxRadius);
    if (ShadowTile* hit = cache.object(key))
        return *hit;
    auto* t = new ShadowTile;
    t->margin = 3 * boxRadius + 1;
    t->corner = corner;
    const int side = 2 * (t->margin + corner) + 1;
    t->image = QImage(side, side, QImage::Format_ARGB32);
    t->image.fill(Qt::transparent);
    {
        QPainter p(&t->image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(t->margin, t->margin, 2 * corner + 1, 2 * corner + 1), corner, corner);
    }
    boxBlurAlpha(t->image, boxRadius);
    cache.insert(key, t);
    return *cache.object(key);
}

} // namespace

QColor withAlpha(const QColor& color, double opacity)
{
    QColor c = color;
    c.setAlphaF(float(std::clamp(color.alphaF() * opacity, 0.0, 1.0)));
    return c;
}

QLinearGradient vertical(const QRectF& rect, const QList<QColor>& colors)
{
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    const qsizetype n = colors.size();
    for (qsizetype i = 0; i < n; ++i)
        g.setColorAt(n == 1 ? 0.0 : double(i) / double(n - 1), colors[i]);
    return g;
}

void fillRounded(QPainter& p, const QRectF& rect, double radius, const QBrush& brush)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    const double r = std::min(radius, std::min(rect.width(), rect.height()) / 2);
    p.drawRoundedRect(rect, r, r);
    p.restore();
}

void field(QPainter& p, const QRectF& rect, double radius, double rimWidth)
{
    fillRounded(p, rect, radius, QColor::fromRgbF(0, 0, 0, 0.32f));
    rimRounded(p, rect, radius, rimWidth, QColor::fromRgbF(1, 1, 1, 0.14f));
}

void rimRounded(QPainter& p, const QRectF& rect, double radius, double width, const QBrush& brush)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(brush, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF inner = rect.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    const double r = std::max(0.0, std::min(radius - width / 2, std::min(inner.width(), inner.height()) / 2));
    p.drawRoundedRect(inner, r, r);
    p.restore();
}

void fillEllipse(QPainter& p, const QRectF& rect, const QBrush& brush)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawEllipse(rect);
    p.restore();
}

void rimEllipse(QPainter& p, const QRectF& rect, double width, const QBrush& brush)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(brush, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(rect.adjusted(width / 2, width / 2, -width / 2, -width / 2));
    p.restore();
}

void shadow(QPainter& p, const QRectF& shape, double radius, const QColor& color, double blur,
            const QPointF& offset)
{
    if (shape.isEmpty() || color.alpha() == 0)
        return;
    const int corner = int(std::lround(std::min(radius, std::min(shape.width(), shape.height()) / 2)));
    const int boxRadius = std::max(1, int(std::lround(blur / 2)));
    const ShadowTile& t = tile(corner, boxRadius);
    const int m = t.margin;
    const int c = t.corner;
    const QRectF r = shape.translated(offset).adjusted(-m, -m, m, m);
    const double edge = m + c; // the tile's fixed corner size
    const double midW = std::max(0.0, r.width() - 2 * edge);
    const double midH = std::max(0.0, r.height() - 2 * edge);
    const double xs[4] = {r.left(), r.left() + edge, r.left() + edge + midW, r.right()};
    const double ys[4] = {r.top(), r.top() + edge, r.top() + edge + midH, r.bottom()};
    const int side = t.image.width();
    const int sxs[4] = {0, m + c, m + c + 1, side};
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // The tile is black; paint it at the shadow's alpha (shadows here are black).
    p.setOpacity(p.opacity() * color.alphaF());
    for (int iy = 0; iy < 3; ++iy) {
        for (int ix = 0; ix < 3; ++ix) {
            const QRectF target(xs[ix], ys[iy], xs[ix + 1] - xs[ix], ys[iy + 1] - ys[iy]);
            if (target.width() <= 0 || target.height() <= 0)
                continue;
            const QRectF source(sxs[ix], sxs[iy], sxs[ix + 1] - sxs[ix], sxs[iy + 1] - sxs[iy]);
            p.drawImage(target, t.image, source);
        }
    }
    p.restore();
}

} // namespace KitPaint
