#include "screens/greenhouses/SpotChip.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr double padX = 10;
constexpr double padY = 5;
constexpr double iconPoints = 12;
constexpr double iconGap = 5;
} // namespace

SpotChip::SpotChip(const Spot& spot, QWidget* parent) : QAbstractButton(parent), m_spot(spot), m_title(label(spot))
{
    setFont(KitMetrics::font(12, QFont::DemiBold));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Edit or delete this ") + spot.kind.name().toLower());
    setAccessibleName(m_title);
}

QString SpotChip::label(const Spot& spot)
{
    QString text = spot.kind.name() + QLatin1Char(' ') + spot.name;
    if (!spot.size.isEmpty())
        text += QStringLiteral(" · ") + spot.size;
    return text;
}

QString SpotChip::symbol(SpotKind kind)
{
    return kind == SpotKind::bed ? QStringLiteral("rectangle.split.3x1.fill") : QStringLiteral("tablecells.fill");
}

QSize SpotChip::sizeHint() const
{
    const QFontMetrics fm(font());
    const int w = KitMetrics::px(iconPoints + iconGap) + fm.horizontalAdvance(m_title) + 2 * KitMetrics::px(padX);
    const int h = std::max(fm.height(), KitMetrics::px(iconPoints)) + 2 * KitMetrics::px(padY);
    return QSize(w, h);
}

void SpotChip::paintEvent(QPaintEvent*)
{
    const OVColors colors;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect());
    const double radius = box.height() / 2;

    QColor fill = colors.accent();
    fill.setAlphaF(isDown() ? 0.5f : 0.35f);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(box, radius, radius);

    // The edge is drawn inside the capsule: inset by half the pen width.
    const double pen = KitMetrics::pxF(1);
    QColor edge(255, 255, 255);
    edge.setAlphaF(0.2f);
    p.setPen(QPen(edge, pen));
    p.setBrush(Qt::NoBrush);
    const QRectF inner = box.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    p.drawRoundedRect(inner, inner.height() / 2, inner.height() / 2);

    const int iconSize = KitMetrics::px(iconPoints);
    const int x = KitMetrics::px(padX);
    p.drawPixmap(QPoint(x, (height() - iconSize) / 2), KitIcons::pixmap(symbol(m_spot.kind), colors.text(), iconPoints));
    p.setFont(font());
    p.setPen(colors.text());
    const QRect textRect(x + KitMetrics::px(iconPoints + iconGap), 0, width(), height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, m_title);
}
