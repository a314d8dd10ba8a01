#include "kit/OVAddButton.h"

OVAddButton::OVAddButton(const QString& title, QWidget* parent) : QNChromeButton(title, true, false, parent)
{
    setSymbol(QStringLiteral("plus"));
}
