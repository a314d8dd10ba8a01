#include "kit/OVField.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QVBoxLayout>

OVField::OVField(const QString& label, QWidget* control, const QString& help, QWidget* parent)
    : QWidget(parent), m_control(control)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(KitMetrics::px(5));
    col->addWidget(new OVLabel(label.toUpper(), 11, QFont::Bold, OVColors().dim()));
    col->addWidget(control);
    if (!help.isEmpty()) {
        auto* h = new OVLabel(help, 11, QFont::Normal, OVColors().dim());
        h->setWrapping(true);
        col->addWidget(h);
    }
}
