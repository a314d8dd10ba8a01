#include "kit/OVHeader.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/KitShadow.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QPixmap badge(const QString& symbol, double dpr)
{
    const OVColors c;
    const double side = KitMetrics::pxF(46);
    QPixmap pm(QSize(int(std::ceil(side * dpr)), int(std::ceil(side * dpr))));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, side, side);
    KitPaint::fillEllipse(p, r, KitPaint::vertical(r, {KitPaint::withAlpha(c.accent(), 0.95),
                                                       KitPaint::withAlpha(c.accent(), 0.55)}));
    KitPaint::rimEllipse(p, r, KitMetrics::pxF(1),
                         KitPaint::vertical(r, {QColor::fromRgbF(1, 1, 1, 0.6f), QColor::fromRgbF(0, 0, 0, 0.4f)}));
    const QPixmap icon = KitIcons::pixmap(symbol, Qt::white, 20 * 1.2);
    const QSizeF is = icon.deviceIndependentSize();
    p.drawPixmap(QPointF((side - is.width()) / 2, (side - is.height()) / 2), icon);
    return pm;
}

} // namespace

int OVHeader::shadowRoom() { return KitMetrics::px(8); }

OVHeader::OVHeader(const QString& title, const QString& subtitle, const QString& symbol, QWidget* parent)
    : QWidget(parent)
{
    const OVColors c;
    auto* row = new QHBoxLayout(this);
    const int room = shadowRoom();
    row->setContentsMargins(room, room, room, room);
    row->setSpacing(KitMetrics::px(14));
    m_badge = new QLabel;
    m_badge->setFixedSize(KitMetrics::px(46), KitMetrics::px(46));
    m_badge->setPixmap(badge(symbol, devicePixelRatioF()));
    KitShadow::cast(m_badge, -1, 0.4, 4, QPointF(0, 2));
    row->addWidget(m_badge, 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(KitMetrics::px(3));
    auto* titleLabel = new OVLabel(title, 26, QFont::ExtraBold, c.text());
    titleLabel->setObjectName(QStringLiteral("headerTitle"));
    texts->addWidget(titleLabel);
    m_subtitle = new OVLabel(subtitle, 13, QFont::Normal, c.dim());
    m_subtitle->setObjectName(QStringLiteral("headerSubtitle"));
    m_subtitle->setWrapping(true);
    texts->addWidget(m_subtitle);
    row->addLayout(texts, 1);
    row->addSpacing(KitMetrics::px(10));
    m_trailing = new QHBoxLayout;
    m_trailing->setContentsMargins(0, 0, 0, 0);
    m_trailing->setSpacing(KitMetrics::px(8));
    row->addLayout(m_trailing);
}

void OVHeader::setSubtitle(const QString& subtitle) { m_subtitle->setText(subtitle); }
QString OVHeader::subtitle() const { return m_subtitle->text(); }
