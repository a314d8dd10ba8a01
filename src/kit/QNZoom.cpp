#include "kit/QNZoom.h"

#include "records/OVPrefs.h"

#include <algorithm>
#include <cmath>

namespace QNZoom {

const QList<int>& levels()
{
    static const QList<int> list = {85, 100, 115, 130, 150, 175, 200};
    return list;
}

double clamp(double factor)
{
    if (std::isnan(factor))
        return 1.0;
    // std::round rounds halves away from zero; infinities pass through to the bounds.
    const double rounded = std::round(factor * 100.0) / 100.0;
    return std::min(std::max(rounded, min), max);
}

double value()
{
    const double stored = OVPrefs::doubleValue(key).value_or(0.0);
    if (stored == 0.0)
        return 1.0;
    return clamp(stored);
}

void setValue(double factor)
{
    OVPrefs::setValue(key, clamp(factor));
}

QString levelTitle(int level)
{
    return QString::number(level) + QLatin1Char('%');
}

} // namespace QNZoom
