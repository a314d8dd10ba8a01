#include "kit/OVTag.h"

#include "kit/KitMetrics.h"

#include <QFontMetrics>
#include <QPainter>

OVTag::OVTag(const QString& text, const QColor& color, QWidget* parent)
    : QWidget(parent), m_text(text), m_color(color)
{
    setFont(KitMetrics::font(11, QFont::DemiBold));
}

QSize OVTag::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_text) + KitMetrics::px(16), fm.height() + KitMetrics::px(6));
}

void OVTag::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = m_color;
    fill.setAlphaF(0.2f);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(rect(), height() / 2.0, height() / 2.0);
    p.setPen(m_color);
    p.drawText(rect(), Qt::AlignCenter, m_text);
}
