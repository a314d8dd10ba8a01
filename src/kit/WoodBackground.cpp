#include "kit/WoodBackground.h"

#include "kit/OVRender.h"
#include "kit/OVColors.h"

#include <QCache>
#include <QDateTime>
#include <QTimer>
#include <QFutureWatcher>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

double WoodBackground::Random::next()
{
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return double((state >> 33) % 10000u) / 10000.0;
}

WoodBackground::Grain WoodBackground::grain(int index, Random& rnd)
{
    Grain g{};
    g.x0 = 9.0 * index - 12 + 6 * rnd.next();
    g.amp = 2 + 7 * rnd.next();
    g.freq = 0.004 + 0.006 * rnd.next();
    g.phase = 6.28 * rnd.next();
    g.panelColor = rnd.next() >= 0.5;
    g.opacity = g.panelColor ? 0.1 + 0.14 * rnd.next() : 0.1 + 0.12 * rnd.next();
    g.width = 0.6 + 1.8 * rnd.next();
    return g;
}

WoodBackground::WoodBackground(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage WoodBackground::render(const QSize& size, const QNMRTheme& theme)
{
    return render(size, theme, 1.0);
}

QImage WoodBackground::render(const QSize& size, const QNMRTheme& theme, double dpr)
{
    const double w = std::max(0, size.width());
    const double h = std::max(0, size.height());
    QImage image(QSize(int(std::ceil(w * dpr)), int(std::ceil(h * dpr))).expandedTo(QSize(1, 1)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Random rnd;
    const QColor bg = theme.bg.color();
    const QColor panelTop = theme.panelTop.color();
    const QRectF all(0, 0, w, h);

    // Ground.
    p.fillRect(all, bg);

    // Grain lines.
    const int n = int(w / 9) + 4;
    for (int i = 0; i < n; ++i) {
        const Grain g = grain(i, rnd);
        QPainterPath path(QPointF(g.x0, -10));
        for (double y = -10; y < h + 10; y += 14)
            path.lineTo(g.x0 + g.amp * std::sin(g.freq * y + g.phase) + 14 * std::sin(0.0013 * y + 0.37 * i), y);
        QColor color = g.panelColor ? panelTop : QColor(0, 0, 0);
        color.setAlphaF(float(g.opacity));
        const double width = g.width;
        p.strokePath(path, QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    }

    // Knots.
    QColor knot(0, 0, 0);
    knot.setAlphaF(0.07f);
    p.setPen(QPen(knot, 1.2));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 3; ++k) {
        const double cx = rnd.next() * w;
        const double cy = rnd.next() * h;
        for (int ring = 0; ring < 5; ++ring) {
            const double ew = 30 + 16 * ring;
            const double eh = 14 + 7 * ring;
            p.drawEllipse(QRectF(cx - ew / 2, cy - eh / 2, ew, eh));
        }
    }
    p.setPen(Qt::NoPen);

    // Warm glow from above.
    QRadialGradient warm(QPointF(0.55 * w, -40), 0.75 * std::max(w, h));
    const double warmStart = 10.0 / std::max(1e-9, 0.75 * std::max(w, h));
    warm.setColorAt(0, QColor::fromRgbF(1.0f, 0.8f, 0.48f, 0.2f));
    warm.setColorAt(std::clamp(warmStart, 0.0, 1.0), QColor::fromRgbF(1.0f, 0.8f, 0.48f, 0.2f));
    warm.setColorAt(1, QColor::fromRgbF(1.0f, 0.8f, 0.48f, 0.0f));
    p.fillRect(all, warm);

    // Green glow from the bottom-left corner.
    QRadialGradient green(QPointF(0, h), 0.6 * w);
    const double greenStart = 10.0 / std::max(1e-9, 0.6 * w);
    green.setColorAt(0, QColor::fromRgbF(0.4f, 0.75f, 0.38f, 0.09f));
    green.setColorAt(std::clamp(greenStart, 0.0, 1.0), QColor::fromRgbF(0.4f, 0.75f, 0.38f, 0.09f));
    green.setColorAt(1, QColor::fromRgbF(0.4f, 0.75f, 0.38f, 0.0f));
    if (w > 0)
        p.fillRect(all, green);

    // Shade towards the bottom.
    QLinearGradient shade(QPointF(0, 0.4 * h), QPointF(0, h));
    shade.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0));
    shade.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.28f));
    p.fillRect(all, shade);
    p.end();
    return image;
}

namespace {

// A few entries: the main window, a sheet or two and a snapshot at once.
QCache<QString, QPixmap>& pixmapCache()
{
    static QCache<QString, QPixmap> cache(6);
    return cache;
}

QString cacheKey(const QNMRTheme& theme, const QSize& size, double dpr)
{
    return QStringLiteral("%1|%2x%3@%4|%5.%6.%7")
        .arg(theme.id)
        .arg(size.width())
        .arg(size.height())
        .arg(dpr)
        .arg(theme.bg.color().rgb())
        .arg(theme.panelTop.color().rgb())
        .arg(theme.name);
}

} // namespace

QPixmap WoodBackground::cached(const QSize& size, double dpr)
{
    const QNMRTheme theme = OVColors::current();
    const QString key = cacheKey(theme, size, dpr);
    if (QPixmap* hit = pixmapCache().object(key))
        return *hit;
    auto* pm = new QPixmap(QPixmap::fromImage(render(size, theme, dpr)));
    const QPixmap result = *pm;
    pixmapCache().insert(key, pm);
    return result;
}

void WoodBackground::paint(QPainter& p, const QRect& rect, double dpr)
{
    if (rect.isEmpty())
        return;
    p.drawPixmap(rect.topLeft(), cached(rect.size(), dpr));
}

void WoodBackground::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_lastResizeMs = QDateTime::currentMSecsSinceEpoch();
}

void WoodBackground::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const double dpr = devicePixelRatioF();
    const bool onScreen = !OVRender::snapshotMode && !window()->testAttribute(Qt::WA_DontShowOnScreen);
    const qint64 sinceResize = QDateTime::currentMSecsSinceEpoch() - m_lastResizeMs;
    if (onScreen && sinceResize < 150 && !m_last.isNull() && m_last.deviceIndependentSize().toSize() != size()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), m_last);
        if (!m_settleQueued) {
            m_settleQueued = true;
            QTimer::singleShot(160, this, [this] {
                m_settleQueued = false;
                update();
            });
        }
        return;
    }
    if (onScreen && m_progressive) {
        const QNMRTheme theme = OVColors::current();
        const QString key = cacheKey(theme, size(), dpr);
        if (!pixmapCache().contains(key)) {
            if (!m_last.isNull()) {
                p.setRenderHint(QPainter::SmoothPixmapTransform);
                p.drawPixmap(rect(), m_last);
            } else {
                p.fillRect(rect(), theme.bg.color());
            }
            if (!m_rendering) {
                m_rendering = true;
                const QSize canvas = size();
                auto* watcher = new QFutureWatcher<QImage>(this);
                connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, key] {
                    m_rendering = false;
                    pixmapCache().insert(key, new QPixmap(QPixmap::fromImage(watcher->result())));
                    watcher->deleteLater();
                    update();
                });
                watcher->setFuture(QtConcurrent::run([canvas, theme, dpr] { return render(canvas, theme, dpr); }));
            }
            return;
        }
    }
    m_last = cached(size(), dpr);
    p.drawPixmap(0, 0, m_last);
}
