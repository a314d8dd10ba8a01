#include "kit/KitRule.h"

#include <QFrame>
#include <QVBoxLayout>

namespace KitRule {

QWidget* make(const QColor& dim, const QMargins& around)
{
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(around);
    auto* line = new QFrame;
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    QColor colour = dim;
    colour.setAlphaF(0.35f);
    pal.setColor(QPalette::Window, colour);
    line->setPalette(pal);
    layout->addWidget(line);
    return holder;
}

} // namespace KitRule
