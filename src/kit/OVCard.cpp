#include "kit/OVCard.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/KitShadow.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

OVCard::OVCard(const QString& title, const QString& symbol, double padding, QWidget* parent) : QWidget(parent)
{
    m_body = new QVBoxLayout(this);
    const int pad = KitMetrics::px(padding);
    m_body->setContentsMargins(pad, pad, pad, pad);
    m_body->setSpacing(KitMetrics::px(10));
    if (!title.isEmpty()) {
        const OVColors c;
        auto* row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(KitMetrics::px(8));
        if (!symbol.isEmpty())
            row->addWidget(KitIcons::label(symbol, OVColors::leaf(), 14 * 1.2));
        auto* label = new OVLabel(title, 15, QFont::Bold, c.text());
        label->setObjectName(QStringLiteral("cardTitle"));
        row->addWidget(label);
        row->addStretch(1);
        m_body->addLayout(row);
    }
    KitShadow::cast(this, 22, 0.35, 10, QPointF(0, 5));
    KitShadow::setPaintsOwn(this);
}

void OVCard::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const OVColors c;
    const QRectF r = rect();
    const double radius = KitMetrics::pxF(22);
    KitPaint::fillRounded(p, r, radius,
                          KitPaint::vertical(r, {KitPaint::withAlpha(c.panelTop(), 0.94),
                                                 KitPaint::withAlpha(c.panelBottom(), 0.94)}));
    KitPaint::rimRounded(p, r, radius, KitMetrics::pxF(1),
                         KitPaint::vertical(r, {KitPaint::withAlpha(OVColors::warmLight(), 0.45),
                                                QColor::fromRgbF(1, 1, 1, 0.08f),
                                                QColor::fromRgbF(0, 0, 0, 0.45f)}));
    KitShadow::paintCasters(this, p);
}
