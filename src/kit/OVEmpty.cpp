#include "kit/OVEmpty.h"

#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QVBoxLayout>

OVEmpty::OVEmpty(const QString& /*symbol*/, const QString& title, const QString& message, QWidget* parent)
    : QWidget(parent)
{
    auto* col = new QVBoxLayout(this);
    auto* t = new OVLabel(title, 16, QFont::Bold);
    t->setAlignment(Qt::AlignCenter);
    auto* m = new OVLabel(message, 13, QFont::Normal, OVColors().dim());
    m->setAlignment(Qt::AlignCenter);
    m->setWrapping(true);
    col->addWidget(t);
    col->addWidget(m);
}
