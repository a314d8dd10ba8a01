#include "kit/QNPanel.h"

#include "kit/KitMetrics.h"
#include "kit/QNUI.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

QNPanel::QNPanel(double radius, double padding, QWidget* parent) : QWidget(parent), m_radius(radius)
{
    m_body = new QVBoxLayout(this);
    const int pad = KitMetrics::px(padding);
    m_body->setContentsMargins(pad, pad, pad, pad);
    m_body->setSpacing(0);
}

void QNPanel::paintEvent(QPaintEvent*)
{
    const QNKitTheme t = QNUI::shared().theme();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    const double radius = std::min(KitMetrics::pxF(m_radius), std::min(r.width(), r.height()) / 2);

    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, t.panelTop);
    fill.setColorAt(1, t.panelBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);

    // The rim lies wholly inside the shape: inset by half its width.
    const double w = KitMetrics::pxF(1);
    const QRectF rimRect = r.adjusted(w / 2, w / 2, -w / 2, -w / 2);
    QLinearGradient rim(r.topLeft(), r.bottomLeft());
    rim.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.35f));
    rim.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.5f));
    p.setPen(QPen(QBrush(rim), w));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rimRect, std::max(0.0, radius - w / 2), std::max(0.0, radius - w / 2));
}
