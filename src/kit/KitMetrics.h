#pragma once
// Turns the interface's sizes in points into pixels and makes its fonts. At zoom 1.0
// one point is one device-independent pixel; every kit size and font goes through
// here and is multiplied by the zoom factor the zoom host sets (1.0 where there is no
// zoom host: snapshot and test renders). Main thread only.

#include <QFont>

namespace KitMetrics {

// The factor the zoom host applies; 1.0 unless a zoom host set another.
double zoom();
void setZoom(double factor);

// points × zoom, rounded to whole pixels (px) or kept fractional (pxF).
int px(double points);
double pxF(double points);

// Inter (DejaVu Sans as fallback) at points × zoom, with the weight
// (QFont::Normal, Medium, DemiBold, Bold, ExtraBold, Black). Fractional sizes are kept.
QFont font(double points, int weight = QFont::Normal);
// The same with letter tracking in points added between characters.
QFont font(double points, int weight, double tracking);

// The advance of `text` in `font` (QFontMetricsF), remembered: long lists measure the
// same names and dates over and over, and shaping them is most of building a row.
qreal advance(const QFont& font, const QString& text);
// Forgets every advance remembered (when the installed fonts change; benchmarks of a
// first build start from nothing).
void forgetAdvances();

} // namespace KitMetrics
