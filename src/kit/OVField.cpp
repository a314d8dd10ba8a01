#include "kit/OVField.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QVBoxLayout>

OVField::OVField(const QString& label, QWidget* control, const QString& help, QWidget* parent)
    : QWidget(parent), m_control(control)
{
    const OVColors c;
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(KitMetrics::px(4));
    auto* caption = new OVLabel(label.toUpper(), 10, QFont::ExtraBold, c.dim());
    caption->setObjectName(QStringLiteral("fieldCaption"));
    caption->setFont(KitMetrics::font(10, QFont::ExtraBold, 0.8));
    col->addWidget(caption);
    if (control)
        col->addWidget(control);
    if (!help.isEmpty()) {
        auto* h = new OVLabel(help, 11, QFont::Normal, c.dim());
        h->setObjectName(QStringLiteral("fieldHelp"));
        h->setWrapping(true);
        col->addWidget(h);
    }
}
