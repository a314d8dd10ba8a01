#include "screens/climate/ManualEntryBanner.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "records/OVInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

ManualEntryBanner::ManualEntryBanner(QWidget* parent) : QWidget(parent)
{
    const OVColors colors;
    auto* row = new QHBoxLayout(this);
    const int inset = KitMetrics::px(10);
    row->setContentsMargins(inset, inset, inset, inset);
    row->setSpacing(KitMetrics::px(10));
    QLabel* hand = KitIcons::label(QStringLiteral("hand.raised.fill"), OVColors::warmLight(), 14);
    row->addWidget(hand, 0, Qt::AlignVCenter);
    auto* text = new OVLabel(OVInfo::manualOnlyNote, 12, QFont::DemiBold, colors.dim());
    text->setWrapping(true);
    row->addWidget(text, 1);
}

void ManualEntryBanner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgbF(0, 0, 0, 0.25f));
    const double r = KitMetrics::pxF(12);
    p.drawRoundedRect(QRectF(rect()), r, r);
}
