#include "screens/schedules/ToggleChip.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QFontMetrics>
#include <QPainter>

ToggleChip::ToggleChip(const QString& title, QWidget* parent) : QAbstractButton(parent), m_title(title)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setFont(KitMetrics::font(12, QFont::DemiBold));
    setAccessibleName(title);
}

QSize ToggleChip::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_title) + KitMetrics::px(20), fm.height() + KitMetrics::px(10));
}

void ToggleChip::paintEvent(QPaintEvent*)
{
    const OVColors colors;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = KitMetrics::pxF(7);
    if (isChecked()) {
        p.setPen(Qt::NoPen);
        p.setBrush(colors.accent());
    } else {
        QColor edge = colors.text();
        edge.setAlphaF(hasFocus() ? 0.45f : 0.14f);
        p.setPen(QPen(edge, 1));
        p.setBrush(OVColors::inset());
    }
    p.drawRoundedRect(box, radius, radius);
    QColor ink = isChecked() ? QColor(Qt::white) : colors.text();
    if (!isEnabled())
        ink.setAlphaF(0.4f);
    p.setPen(ink);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_title);
}
