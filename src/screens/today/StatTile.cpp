#include "screens/today/StatTile.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

StatTile::StatTile(const QString& title, const QString& value, const QString& symbol, const QColor& tint,
                   QWidget* parent)
    : OVCard(QString(), QString(), 14, parent), m_title(title), m_value(value), m_symbol(symbol), m_tint(tint)
{
    const OVColors colors;
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(12));
    body()->addLayout(row);

    QLabel* icon = KitIcons::label(symbol, tint, 22);
    icon->setFixedWidth(KitMetrics::px(30));
    icon->setAlignment(Qt::AlignCenter);
    row->addWidget(icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(KitMetrics::px(1));
    auto* figure = new OVLabel(value, 22, QFont::ExtraBold, colors.text());
    figure->setObjectName(QStringLiteral("value"));
    auto* caption = new OVLabel(title, 11.5, QFont::DemiBold, colors.dim());
    caption->setObjectName(QStringLiteral("title"));
    texts->addWidget(figure);
    texts->addWidget(caption);
    row->addLayout(texts);
    row->addStretch(1);
}
