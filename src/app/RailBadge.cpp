#include "app/RailBadge.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

RailBadge::RailBadge(QWidget* parent) : QWidget(parent)
{
    setFixedSize(KitMetrics::px(36), KitMetrics::px(36));
}

void RailBadge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const OVColors colors;
    QColor bottom = colors.accent();
    bottom.setAlphaF(0.6f);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, colors.accent());
    fill.setColorAt(1, bottom);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), KitMetrics::pxF(11), KitMetrics::pxF(11));
    p.fillPath(shape, fill);

    const QPixmap leaf = KitIcons::pixmap(QStringLiteral("leaf.fill"), Qt::white, 19);
    const double dpr = leaf.devicePixelRatio();
    p.drawPixmap(QPointF((width() - leaf.width() / dpr) / 2.0, (height() - leaf.height() / dpr) / 2.0), leaf);
}
