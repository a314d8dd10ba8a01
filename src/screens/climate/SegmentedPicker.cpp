#include "screens/climate/SegmentedPicker.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

SegmentedPicker::SegmentedPicker(const QStringList& titles, QWidget* parent) : QWidget(parent), m_titles(titles)
{
    setFont(KitMetrics::font(12, QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SegmentedPicker::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    m_current = index;
    update();
}

QList<int> SegmentedPicker::segmentWidths() const
{
    const QFontMetrics fm(font());
    QList<int> widths;
    for (const QString& title : m_titles)
        widths.append(fm.horizontalAdvance(title) + 2 * KitMetrics::px(11));
    return widths;
}

QSize SegmentedPicker::sizeHint() const
{
    int w = 0;
    for (int width : segmentWidths())
        w += width;
    const QFontMetrics fm(font());
    return QSize(w + 2 * KitMetrics::px(2), fm.height() + 2 * KitMetrics::px(6));
}

QRect SegmentedPicker::segmentRect(int index) const
{
    const QList<int> widths = segmentWidths();
    const int inset = KitMetrics::px(2);
    int x = inset;
    for (int i = 0; i < index && i < widths.size(); ++i)
        x += widths[i];
    return QRect(x, inset, index < widths.size() ? widths[index] : 0, height() - 2 * inset);
}

void SegmentedPicker::paintEvent(QPaintEvent*)
{
    const OVColors colors;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = KitMetrics::pxF(8);
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.setBrush(OVColors::inset());
    p.drawRoundedRect(frame, radius, radius);

    for (int i = 0; i < count(); ++i) {
        const QRect seg = segmentRect(i);
        if (i == m_current) {
            QColor fill = colors.accent();
            fill.setAlphaF(0.85f);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(QRectF(seg), radius - 2, radius - 2);
        } else if (i > 0 && i != m_current + 1) {
            p.setPen(QPen(QColor(255, 255, 255, 30), 1));
            p.drawLine(QPointF(seg.left(), seg.top() + 5), QPointF(seg.left(), seg.bottom() - 5));
        }
        p.setPen(i == m_current ? colors.text() : colors.dim());
        p.drawText(seg, Qt::AlignCenter, m_titles[i]);
    }
}

void SegmentedPicker::mousePressEvent(QMouseEvent* event)
{
    for (int i = 0; i < count(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            if (i != m_current) {
                m_current = i;
                update();
            }
            emit activated(i);
            return;
        }
    }
}
