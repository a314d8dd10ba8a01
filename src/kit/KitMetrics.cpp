#include "kit/KitMetrics.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {
double g_zoom = 1.0;
}

namespace KitMetrics {

double zoom() { return g_zoom; }
void setZoom(double factor) { g_zoom = factor > 0 ? factor : 1.0; }
int px(double points) { return int(std::lround(points * g_zoom)); }
double pxF(double points) { return points * g_zoom; }

QFont font(double points, int weight)
{
    QFont f(QStringLiteral("Inter"));
    f.setFamilies(QStringList{QStringLiteral("Inter"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(std::max(1, px(points)));
    f.setWeight(QFont::Weight(weight));
    return f;
}

} // namespace KitMetrics
