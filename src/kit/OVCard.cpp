#include "kit/OVCard.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QPainter>
#include <QVBoxLayout>

OVCard::OVCard(const QString& title, const QString& /*symbol*/, double padding, QWidget* parent) : QWidget(parent)
{
    m_body = new QVBoxLayout(this);
    const int pad = KitMetrics::px(padding);
    m_body->setContentsMargins(pad, pad, pad, pad);
    m_body->setSpacing(KitMetrics::px(10));
    if (!title.isEmpty())
        m_body->addWidget(new OVLabel(title, 15, QFont::Bold));
}

void OVCard::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const OVColors c;
    p.setPen(Qt::NoPen);
    p.setBrush(c.panelTop());
    p.drawRoundedRect(rect(), KitMetrics::pxF(22), KitMetrics::pxF(22));
}
