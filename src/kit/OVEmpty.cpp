#include "kit/OVEmpty.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QLabel>
#include <QVBoxLayout>

OVEmpty::OVEmpty(const QString& symbol, const QString& title, const QString& message, QWidget* parent)
    : OVEmpty(symbol, title, message, OVColors::leaf(), parent)
{
}

OVEmpty::OVEmpty(const QString& symbol, const QString& title, const QString& message, const QColor& tint,
                 QWidget* parent)
    : QWidget(parent)
{
    const OVColors c;
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, KitMetrics::px(22), 0, KitMetrics::px(22));
    col->setSpacing(KitMetrics::px(8));
    auto* icon = KitIcons::label(symbol, KitPaint::withAlpha(tint, 0.85), 30 * 1.2);
    icon->setAlignment(Qt::AlignCenter);
    col->addWidget(icon, 0, Qt::AlignHCenter);
    auto* t = new OVLabel(title, 15, QFont::Bold, c.text());
    t->setObjectName(QStringLiteral("emptyTitle"));
    t->setAlignment(Qt::AlignCenter);
    t->setWrapping(true);
    col->addWidget(t);
    auto* m = new OVLabel(message, 12.5, QFont::Normal, c.dim());
    m->setObjectName(QStringLiteral("emptyMessage"));
    m->setAlignment(Qt::AlignCenter);
    m->setWrapping(true);
    col->addWidget(m);
}
