#include "kit/WoodBackground.h"

#include "kit/QNMRThemes.h"

#include <QPainter>

WoodBackground::WoodBackground(QWidget* parent) : QWidget(parent) {}

QImage WoodBackground::render(const QSize& size, const QNMRTheme& theme)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(theme.bg.color());
    return image;
}

void WoodBackground::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, render(size(), QNMRThemes::current()));
}
