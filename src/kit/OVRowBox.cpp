#include "kit/OVRowBox.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/KitShadow.h"
#include "kit/OVColors.h"

#include <QPainter>
#include <QVBoxLayout>

OVRowBox::OVRowBox(bool highlight, QWidget* parent) : QWidget(parent), m_highlight(highlight)
{
    m_body = new QVBoxLayout(this);
    m_body->setContentsMargins(KitMetrics::px(14), KitMetrics::px(10), KitMetrics::px(14), KitMetrics::px(10));
    m_body->setSpacing(0);
    KitShadow::setPaintsOwn(this);
}

void OVRowBox::setHighlight(bool on)
{
    if (m_highlight == on)
        return;
    m_highlight = on;
    update();
}

void OVRowBox::paintBox(QPainter& p, const QRectF& rect, bool highlight)
{
    const double radius = KitMetrics::pxF(14);
    const QColor fill = highlight ? KitPaint::withAlpha(OVColors::alert(), 0.18) : QColor::fromRgbF(0, 0, 0, 0.22f);
    const QColor rim = highlight ? KitPaint::withAlpha(OVColors::alert(), 0.6) : QColor::fromRgbF(1, 1, 1, 0.07f);
    KitPaint::fillRounded(p, rect, radius, fill);
    KitPaint::rimRounded(p, rect, radius, KitMetrics::pxF(1), rim);
}

void OVRowBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintBox(p, rect(), m_highlight);
    KitShadow::paintCasters(this, p);
}
