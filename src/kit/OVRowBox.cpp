#include "kit/OVRowBox.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QPainter>
#include <QVBoxLayout>

OVRowBox::OVRowBox(bool highlight, QWidget* parent) : QWidget(parent), m_highlight(highlight)
{
    m_body = new QVBoxLayout(this);
    m_body->setContentsMargins(KitMetrics::px(14), KitMetrics::px(10), KitMetrics::px(14), KitMetrics::px(10));
    m_body->setSpacing(0);
}

void OVRowBox::setHighlight(bool on)
{
    m_highlight = on;
    update();
}

void OVRowBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = m_highlight ? OVColors::alert() : QColor(0, 0, 0);
    fill.setAlphaF(m_highlight ? 0.18f : 0.22f);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(rect(), KitMetrics::pxF(14), KitMetrics::pxF(14));
}
