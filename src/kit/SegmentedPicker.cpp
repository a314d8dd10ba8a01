#include "kit/SegmentedPicker.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

SegmentedPicker::SegmentedPicker(const QStringList& titles, QWidget* parent) : QWidget(parent), m_titles(titles)
{
    setFont(KitMetrics::font(12.5, QFont::DemiBold));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SegmentedPicker::setCurrentIndex(int index)
{
    // An index it does not have (a stray stored value) chooses no segment.
    if (index < 0 || index >= count())
        index = -1;
    if (index == m_current)
        return;
    m_current = index;
    update();
}

QSize SegmentedPicker::sizeHint() const
{
    const QFontMetrics fm(font());
    int widest = 0;
    for (const QString& title : m_titles)
        widest = std::max(widest, fm.horizontalAdvance(title));
    const int segment = widest + 2 * KitMetrics::px(14);
    return QSize(segment * std::max(1, count()), fm.height() + 2 * KitMetrics::px(6));
}

QRect SegmentedPicker::segmentRect(int index) const
{
    const int n = std::max(1, count());
    const int left = width() * index / n;
    const int right = width() * (index + 1) / n;
    return QRect(left, 0, right - left, height());
}

void SegmentedPicker::paintEvent(QPaintEvent*)
{
    const OVColors colors;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double radius = KitMetrics::pxF(8);
    p.setPen(QPen(QColor(255, 255, 255, 30), KitMetrics::pxF(1)));
    p.setBrush(OVColors::inset());
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setFont(font());
    for (int i = 0; i < count(); ++i) {
        const QRectF segment = QRectF(segmentRect(i)).adjusted(2, 2, -2, -2);
        if (i == m_current) {
            p.setPen(Qt::NoPen);
            p.setBrush(colors.accent());
            p.drawRoundedRect(segment, radius - 2, radius - 2);
        }
        p.setPen(i == m_current ? colors.text() : colors.dim());
        p.drawText(segment, Qt::AlignCenter, m_titles.at(i));
    }
    if (hasFocus()) {
        p.setPen(QPen(colors.accent(), KitMetrics::pxF(1.5)));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), radius, radius);
    }
}

void SegmentedPicker::mousePressEvent(QMouseEvent* event)
{
    for (int i = 0; i < count(); ++i)
        if (segmentRect(i).contains(event->position().toPoint()))
            choose(i);
}

void SegmentedPicker::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left)
        choose(m_current - 1);
    else if (event->key() == Qt::Key_Right)
        choose(m_current + 1);
    else
        QWidget::keyPressEvent(event);
}

void SegmentedPicker::choose(int index)
{
    if (index < 0 || index >= count())
        return;
    m_current = index;
    update();
    emit activated(index);
}
