#include "app/DividerLine.h"

#include <QPainter>

namespace {
// The separator colour of the dark appearance before the line's own opacity.
constexpr double separatorAlpha = 0.25;
} // namespace

DividerLine::DividerLine(Qt::Orientation orientation, double opacity, QWidget* parent)
    : QWidget(parent), m_orientation(orientation), m_opacity(opacity)
{
    if (orientation == Qt::Vertical) {
        setFixedWidth(1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    } else {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}

QSize DividerLine::sizeHint() const
{
    return QSize(1, 1);
}

void DividerLine::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgbF(1, 1, 1, float(separatorAlpha * m_opacity)));
}
