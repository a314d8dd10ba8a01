#include "kit/KitMetrics.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

double g_zoom = 1.0;

// Pixels per point of the font system: sizes are given in device-independent pixels,
// and Qt turns point sizes into pixels with the screen's logical DPI.
double pointsPerPixel()
{
    double dpi = 96.0;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            dpi = screen->logicalDotsPerInchY();
    }
    return dpi > 0 ? 72.0 / dpi : 0.75;
}

} // namespace

namespace KitMetrics {

double zoom() { return g_zoom; }
void setZoom(double factor) { g_zoom = factor > 0 ? factor : 1.0; }
int px(double points) { return int(std::lround(points * g_zoom)); }
double pxF(double points) { return points * g_zoom; }

QFont font(double points, int weight)
{
    QFont f;
    f.setFamilies(QStringList{QStringLiteral("Inter"), QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(std::max(0.5, pxF(points) * pointsPerPixel()));
    f.setWeight(QFont::Weight(std::clamp(weight, 100, 900)));
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont font(double points, int weight, double tracking)
{
    QFont f = font(points, weight);
    f.setLetterSpacing(QFont::AbsoluteSpacing, pxF(tracking));
    return f;
}

namespace {
// Keyed by the font's own description as well as the text: two fonts that compare
// equal lay text out alike.
QHash<std::pair<QFont, QString>, qreal>& knownAdvances()
{
    static QHash<std::pair<QFont, QString>, qreal> known;
    return known;
}
} // namespace

void forgetAdvances() { knownAdvances().clear(); }

qreal advance(const QFont& font, const QString& text)
{
    auto& known = knownAdvances();
    const std::pair<QFont, QString> key(font, text);
    if (const auto found = known.constFind(key); found != known.cend())
        return *found;
    // A bound on memory; the lists measured again soon fill it back.
    if (known.size() >= 20000)
        known.clear();
    const qreal width = QFontMetricsF(font).horizontalAdvance(text);
    known.insert(key, width);
    return width;
}

} // namespace KitMetrics
