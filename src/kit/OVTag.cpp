#include "kit/OVTag.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

OVTag::OVTag(const QString& text, const QColor& color, QWidget* parent)
    : QWidget(parent), m_text(text), m_color(color)
{
    setFont(KitMetrics::font(10.5, QFont::ExtraBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize OVTag::sizeHint() const
{
    const QFontMetricsF fm(font());
    return QSize(int(std::ceil(KitMetrics::advance(font(), m_text) + 2 * KitMetrics::pxF(8))),
                 int(std::ceil(fm.height() + 2 * KitMetrics::pxF(3))));
}

void OVTag::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = rect();
    const double radius = r.height() / 2;
    KitPaint::fillRounded(p, r, radius,
                          KitPaint::vertical(r, {KitPaint::withAlpha(m_color, 0.95), KitPaint::withAlpha(m_color, 0.6)}));
    KitPaint::rimRounded(p, r, radius, KitMetrics::pxF(0.7), QColor::fromRgbF(1, 1, 1, 0.3f));
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, m_text);
}
