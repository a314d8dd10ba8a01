#pragma once
// The drawing vocabulary the kit's painted widgets share: vertical gradients with
// evenly spaced stops, rounded shapes filled and rimmed inside their edge (the rim
// inset by half its width so the whole line lies within the shape), and soft shadows
// made from a blurred nine-slice image, cached per shape so large pages paint fast.
// All lengths are pixels; callers convert points through KitMetrics. Main thread only.

#include <QColor>
#include <QLinearGradient>
#include <QList>
#include <QRectF>

class QPainter;

namespace KitPaint {

// colour with its alpha multiplied by opacity.
QColor withAlpha(const QColor& color, double opacity);

// From the top edge of rect to its bottom edge, stops evenly spaced.
QLinearGradient vertical(const QRectF& rect, const QList<QColor>& colors);

void fillRounded(QPainter& p, const QRectF& rect, double radius, const QBrush& brush);
// Rim of width `width` drawn inside the rounded rectangle's edge.
void rimRounded(QPainter& p, const QRectF& rect, double radius, double width, const QBrush& brush);

// The sunken box every typed field (text, notes, day) sits in: a dark translucent
// fill with a faint light rim of `rimWidth` inside its edge.
void field(QPainter& p, const QRectF& rect, double radius, double rimWidth);

void fillEllipse(QPainter& p, const QRectF& rect, const QBrush& brush);
void rimEllipse(QPainter& p, const QRectF& rect, double width, const QBrush& brush);

// The shadow a rounded rectangle casts: colour, blur radius, offset downwards/right.
// Drawn before (under) the shape itself.
void shadow(QPainter& p, const QRectF& shape, double radius, const QColor& color, double blur,
            const QPointF& offset);

} // namespace KitPaint
