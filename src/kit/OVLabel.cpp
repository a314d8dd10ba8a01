#include "kit/OVLabel.h"

#include "kit/KitMetrics.h"

OVLabel::OVLabel(const QString& text, double points, int weight, const QColor& color, QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
    setFont(KitMetrics::font(points, weight));
    setColor(color);
}

void OVLabel::setColor(const QColor& color)
{
    if (!color.isValid())
        return;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    setPalette(pal);
}

void OVLabel::setWrapping(bool on) { setWordWrap(on); }
