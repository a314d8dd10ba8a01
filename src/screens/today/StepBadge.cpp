#include "screens/today/StepBadge.h"

#include "kit/KitMetrics.h"

#include <QPainter>

StepBadge::StepBadge(int number, const QColor& fill, QWidget* parent)
    : QWidget(parent), m_number(number), m_fill(fill)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize StepBadge::sizeHint() const
{
    const int side = KitMetrics::px(20);
    return {side, side};
}

void StepBadge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double side = KitMetrics::pxF(20);
    const QRectF circle((width() - side) / 2, (height() - side) / 2, side, side);
    p.setPen(Qt::NoPen);
    p.setBrush(m_fill);
    p.drawEllipse(circle);
    p.setPen(Qt::white);
    p.setFont(KitMetrics::font(12, QFont::ExtraBold));
    p.drawText(circle, Qt::AlignCenter, QString::number(m_number));
}
