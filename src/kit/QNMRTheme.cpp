#include "kit/QNMRTheme.h"

#include <algorithm>
#include <cmath>

QString QNMRTheme::rawValue(Family family)
{
    switch (family) {
    case Family::masculine:
        return QStringLiteral("masculine");
    case Family::feminine:
        return QStringLiteral("feminine");
    case Family::black:
        return QStringLiteral("black");
    case Family::gray:
        return QStringLiteral("gray");
    case Family::extra:
        return QStringLiteral("extra");
    }
    return QStringLiteral("extra");
}

std::optional<QNMRTheme::Family> QNMRTheme::familyFromRaw(const QString& raw)
{
    for (Family f : {Family::masculine, Family::feminine, Family::black, Family::gray, Family::extra}) {
        if (rawValue(f) == raw)
            return f;
    }
    return std::nullopt;
}

QColor QNMRTheme::RGB::color() const
{
    return QColor::fromRgbF(float(r), float(g), float(b), 1.0f);
}

namespace {

double linearChannel(double c)
{
    if (c <= 0.03928)
        return c / 12.92;
    return std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double QNMRTheme::RGB::luminance() const
{
    return 0.2126 * linearChannel(r) + 0.7152 * linearChannel(g) + 0.0722 * linearChannel(b);
}

double QNMRTheme::RGB::contrast(const RGB& a, const RGB& b)
{
    const double la = a.luminance();
    const double lb = b.luminance();
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QNKitTheme QNMRTheme::kitTheme() const
{
    QNKitTheme k;
    k.bg = bg.color();
    k.text = text.color();
    k.dim = dim.color();
    k.rim = QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.25f);
    k.accent = accent.color();
    k.panelTop = panelTop.color();
    k.panelBottom = panelBottom.color();
    return k;
}
