#pragma once
// The interface zoom factor shared by every window, kept in the settings under
// "qnmr.zoom". 1.0 is actual size. Every value that leaves this namespace is rounded
// to two decimals and lies within 0.85…2.0, so repeated steps land on exact menu
// values (1.15 + 0.15 reads back as 1.3). A stored value out of range or with more
// decimals is corrected where it is read and left in the settings until the next write.

#include <QList>
#include <QString>

namespace QNZoom {

inline const QString key = QStringLiteral("qnmr.zoom");
inline constexpr double min = 0.85;
inline constexpr double max = 2.0;
inline constexpr double step = 0.15;
inline const QString originID = QStringLiteral("qnmr-zoom-origin");

// The "Zoom Level" choices in percent: 85, 100, 115, 130, 150, 175, 200.
const QList<int>& levels();

// Rounds to two decimals (halves away from zero) and bounds to min…max.
// Not-a-number gives 1.0: a factor no one can draw with is treated as actual size.
double clamp(double factor);

// The stored factor: 1.0 when nothing (or 0, or no number) is stored, else clamp of it.
double value();
// Stores clamp of the factor.
void setValue(double factor);

// "115%" for 115.
QString levelTitle(int level);

} // namespace QNZoom
